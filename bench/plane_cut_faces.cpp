// Cuts whose cost once grew with how the faces lie. One coarse face over many small ones: n x n
// hexahedra of side 0.01 under one wedge pair covering them all, cut on their common plane (the
// wedges' faces are cut less the hexahedra's, which cover them): 10,000, 40,000 and 160,000
// small faces. A bent layer: 400 x 400 x 2 hexahedra of side 1 cut on their middle node layer,
// flat or with its nodes moved by +-1e-9 at random, so that every cell crosses the plane. Each
// prints the best of its runs (one cut each) and the cut's area; after the runs the ratios:
// 160,000 small faces against 40,000 (goal at most 6) and the bent layer against the flat one
// (goal at most 3).
#include "planecut/cut_integration.h"
#include "planecut/plane_cut.h"

#include <benchmark/benchmark.h>
#include <vtkCellType.h>
#include <vtkNew.h>
#include <vtkPoints.h>
#include <vtkPolyData.h>
#include <vtkSmartPointer.h>
#include <vtkUnstructuredGrid.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <map>
#include <random>
#include <string>

namespace {

std::map<std::string, double> g_best; // seconds of the fastest cut, by case

// n x n hexahedra of side h in nz layers; with bWedges one wedge pair over them all.
vtkSmartPointer<vtkUnstructuredGrid> Layers(int n, int nz, double h, bool bWedges, double dBend)
{
    auto grid = vtkSmartPointer<vtkUnstructuredGrid>::New();
    vtkNew<vtkPoints> pts;
    pts->SetDataTypeToDouble();
    std::mt19937 rng(7);
    auto id = [&](int i, int j, int k) { return static_cast<vtkIdType>((k * (n + 1) + j) * (n + 1) + i); };
    for (int k = 0; k <= nz; ++k)
        for (int j = 0; j <= n; ++j)
            for (int i = 0; i <= n; ++i)
                pts->InsertNextPoint(i * h, j * h, k * h + (k == 1 ? (rng() % 2 ? dBend : -dBend) : 0.0));
    for (int k = 0; k < nz; ++k)
        for (int j = 0; j < n; ++j)
            for (int i = 0; i < n; ++i) {
                const vtkIdType hex[8] = {id(i, j, k),     id(i + 1, j, k),     id(i + 1, j + 1, k),     id(i, j + 1, k),
                                          id(i, j, k + 1), id(i + 1, j, k + 1), id(i + 1, j + 1, k + 1), id(i, j + 1, k + 1)};
                grid->InsertNextCell(VTK_HEXAHEDRON, 8, hex);
            }
    if (bWedges) {
        const double L = n * h;
        vtkIdType c[8];
        for (int q = 0; q < 8; ++q)
            c[q] = pts->InsertNextPoint(q % 4 == 1 || q % 4 == 2 ? L : 0, q % 4 >= 2 ? L : 0, q < 4 ? h : 2 * h);
        const vtkIdType w0[6] = {c[0], c[1], c[2], c[4], c[5], c[6]}, w1[6] = {c[0], c[2], c[3], c[4], c[6], c[7]};
        grid->InsertNextCell(VTK_WEDGE, 6, w0);
        grid->InsertNextCell(VTK_WEDGE, 6, w1);
    }
    grid->SetPoints(pts);
    return grid;
}

void TimeCuts(benchmark::State& state, vtkUnstructuredGrid* grid, double z, const std::string& strCase)
{
    kvpvs::planecut::PlaneCutIndex index;
    index.Build(grid);
    const double o[3] = {0, 0, z}, n[3] = {0, 0, 1};
    double dArea = 0, dBest = 1e300;
    for (auto _ : state) {
        const auto t0 = std::chrono::steady_clock::now();
        kvpvs::planecut::PlaneCut cut;
        kvpvs::planecut::CutGridByPlane(grid, index, o, n, cut);
        dBest = std::min(dBest, std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count());
        dArea = kvpvs::planecut::AreaOfCut(cut.pOutput).dArea;
    }
    state.counters["area"] = dArea;
    state.counters["best_s"] = dBest;
    g_best[strCase] = std::min(g_best.count(strCase) ? g_best[strCase] : 1e300, dBest);
}

// Args: small faces per side.
void BM_CoarseFaceOverSmallFaces(benchmark::State& state)
{
    const int n = static_cast<int>(state.range(0));
    auto grid = Layers(n, 1, 0.01, true, 0.0);
    TimeCuts(state, grid, 0.01, "small" + std::to_string(n * n));
}
BENCHMARK(BM_CoarseFaceOverSmallFaces)->Arg(100)->Arg(200)->Arg(400)->Iterations(3)->Unit(benchmark::kMillisecond);

// Args: 0 flat, 1 bent.
void BM_LayerFlatOrBent(benchmark::State& state)
{
    auto grid = Layers(400, 2, 1.0, false, state.range(0) ? 1e-9 : 0.0);
    TimeCuts(state, grid, 1.0, state.range(0) ? "bent" : "flat");
}
BENCHMARK(BM_LayerFlatOrBent)->Arg(0)->Arg(1)->Iterations(3)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv)
{
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    auto ratio = [](const char* a, const char* b) {
        return g_best.count(a) && g_best.count(b) ? g_best[a] / g_best[b] : -1.0;
    };
    std::printf("plane_cut_faces: 160,000 / 40,000 small faces under one face: %.2f (goal <= 6)\n",
                ratio("small160000", "small40000"));
    std::printf("plane_cut_faces: bent / flat layer of 400 x 400 x 2: %.2f (goal <= 3)\n", ratio("bent", "flat"));
    return 0;
}
