// Faces lying in the cutting plane that the two sides divide differently: n x n cubes of side
// 0.01, a hexahedron under each and two wedges over it, cut on their interface, with and
// without one more hexahedron whose top face lies in the plane 1e4 away in both directions.
// The wedges' faces are cut less the hexahedra's through a tree of the faces' boxes, so the far
// face costs one more face, not a coarser search. Prints per run the time of one cut and the
// cut's area (n^2 1e-4, plus 1e-4 with the far face).
#include "planecut/cut_integration.h"
#include "planecut/plane_cut.h"

#include <benchmark/benchmark.h>
#include <vtkCellType.h>
#include <vtkNew.h>
#include <vtkPoints.h>
#include <vtkPolyData.h>
#include <vtkSmartPointer.h>
#include <vtkUnstructuredGrid.h>

namespace {

vtkSmartPointer<vtkUnstructuredGrid> Layers(int n, bool bFar)
{
    constexpr double h = 0.01;
    auto grid = vtkSmartPointer<vtkUnstructuredGrid>::New();
    vtkNew<vtkPoints> pts;
    pts->SetDataTypeToDouble();
    auto id = [&](int i, int j, int k) { return static_cast<vtkIdType>((k * (n + 1) + j) * (n + 1) + i); };
    for (int k = 0; k <= 2; ++k)
        for (int j = 0; j <= n; ++j)
            for (int i = 0; i <= n; ++i)
                pts->InsertNextPoint(i * h, j * h, k * h);
    for (int j = 0; j < n; ++j)
        for (int i = 0; i < n; ++i) {
            vtkIdType c[3][4];
            for (int k = 0; k < 3; ++k) {
                c[k][0] = id(i, j, k), c[k][1] = id(i + 1, j, k);
                c[k][2] = id(i + 1, j + 1, k), c[k][3] = id(i, j + 1, k);
            }
            const vtkIdType hex[8] = {c[0][0], c[0][1], c[0][2], c[0][3], c[1][0], c[1][1], c[1][2], c[1][3]};
            grid->InsertNextCell(VTK_HEXAHEDRON, 8, hex);
            const vtkIdType w0[6] = {c[1][0], c[1][1], c[1][2], c[2][0], c[2][1], c[2][2]};
            const vtkIdType w1[6] = {c[1][0], c[1][2], c[1][3], c[2][0], c[2][2], c[2][3]};
            grid->InsertNextCell(VTK_WEDGE, 6, w0);
            grid->InsertNextCell(VTK_WEDGE, 6, w1);
        }
    if (bFar) {
        vtkIdType far[8];
        for (int q = 0; q < 8; ++q)
            far[q] = pts->InsertNextPoint(1e4 + (q == 1 || q == 2 || q == 5 || q == 6 ? h : 0),
                                          1e4 + (q == 2 || q == 3 || q == 6 || q == 7 ? h : 0), q < 4 ? 0 : h);
        grid->InsertNextCell(VTK_HEXAHEDRON, 8, far);
    }
    grid->SetPoints(pts);
    return grid;
}

// Args: cubes per side, far face (0 or 1).
void BM_CutOnFacesDividedDifferently(benchmark::State& state)
{
    auto grid = Layers(static_cast<int>(state.range(0)), state.range(1) != 0);
    kvpvs::planecut::PlaneCutIndex index;
    index.Build(grid);
    const double o[3] = {0, 0, 0.01}, n[3] = {0, 0, 1};
    double dArea = 0;
    for (auto _ : state) {
        kvpvs::planecut::PlaneCut cut;
        kvpvs::planecut::CutGridByPlane(grid, index, o, n, cut);
        dArea = kvpvs::planecut::AreaOfCut(cut.pOutput).dArea;
    }
    state.counters["area"] = dArea;
    state.counters["cells"] = static_cast<double>(grid->GetNumberOfCells());
}
BENCHMARK(BM_CutOnFacesDividedDifferently)
    ->Args({120, 0})
    ->Args({120, 1})
    ->Args({240, 0})
    ->Args({240, 1})
    ->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
