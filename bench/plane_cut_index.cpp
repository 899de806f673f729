// The cell index and the force-sum display on tetrahedral meshes, linear and 10-node, of
// 1,080,000 and 5,000,000 cells (five per box of 60^3 and 100^3 boxes) with a linear stress
// field and ten cutting planes, on one thread. Per mesh: the index's build on the display's grid
// (best of three) and the bytes per cell it holds; the engine's cut, area and integral of the
// point values against VTK's general pipeline (vtkCutter + vtkIntegrateAttributes) on the same
// grid and planes; the display's refresh (MakeVData + Process) and its cut + integrate against
// the same VTK figure, where the model and the host's copy of it fit in 4.5 GiB (not the 5
// million 10-node cells: their grid is then made from the model alone). The six components share
// one result row. KVPVS_PLANE_CUT_INDEX_MESH="boxes,nodes" (nodes 4 or 10) runs one mesh of
// boxes^3 boxes instead. The registered benchmark builds the index of the last mesh.
#include "ForceSumFixtures.h"
#include "planecut/cut_index.h"
#include "planecut/cut_integration.h"
#include "planecut/plane_cut.h"

#include <benchmark/benchmark.h>
#include <vtkCellData.h>
#include <vtkCutter.h>
#include <vtkDataArray.h>
#include <vtkDoubleArray.h>
#include <vtkNew.h>
#include <vtkPlane.h>
#include <vtkPointData.h>
#include <vtkPoints.h>
#include <vtkPolyData.h>
#include <vtkSmartPointer.h>
#include <vtkUnstructuredGrid.h>
#include <vtkUnstructuredGridAlgorithm.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

// VTK 9.1's vtkSMPTools.h does not compile as C++20 (a template-id constructor); its three
// entry points used here are declared as the library exports them.
class vtkSMPTools {
public:
    static bool SetBackend(const char* backend);
    static void Initialize(int numThreads);
    static int GetEstimatedNumberOfThreads();
};

namespace {

using namespace kvpvs::test;
using clk = std::chrono::steady_clock;

struct T_MESH {
    int nBoxes, nNodes;
};
std::vector<T_MESH> Meshes()
{
    if (const char* p = std::getenv("KVPVS_PLANE_CUT_INDEX_MESH")) {
        int b = 0, n = 0;
        if (std::sscanf(p, "%d,%d", &b, &n) == 2 && b > 0 && (n == 4 || n == 10))
            return {{b, n}};
    }
    return {{60, 4}, {60, 10}, {100, 4}, {100, 10}};
}

double Since(clk::time_point t0) { return std::chrono::duration<double>(clk::now() - t0).count(); }

// The six stress components share one row (s = 10 + x - 2 y + 0.5 z, per node and at the
// centre): the display reads six columns as from six rows, in a sixth of the memory.
void AddSharedStressRow(ForceSumModel& m)
{
    CDBBase* pModel = m.doc.GetModelDB();
    CDBBase* pPost = m.doc.GetPostDB();
    T_PVTIF_D row;
    row.nItem = 141;
    row.nStepK = m.nStepK;
    row.nQuantity = 5;
    row.nResultClass = 8;
    const auto nRowK = static_cast<int>(CClassPVtif(pPost).Add(row));
    std::fill(m.nRowK, m.nRowK + 6, nRowK);
    const auto& nodes = pModel->Table<T_NODE_D>();
    const auto field = [](const double* x) { return 10.0 + x[0] - 2.0 * x[1] + 0.5 * x[2]; };
    T_PVAL_D val;
    for (const auto& [k, e] : pModel->Table<T_ELEM_D>()) {
        double v[11] = {}, c[3] = {};
        const int n = e.aNodeK.GetSize();
        for (int j = 0; j < n; ++j) {
            const double* x = nodes.at(e.aNodeK[j]).dXyz;
            v[j + 1] = field(x);
            for (int d = 0; d < 3; ++d)
                c[d] += x[d] / n;
        }
        v[0] = field(c);
        val.Append(k, v, n + 1);
    }
    CClassPVal(pPost).Set(static_cast<unsigned int>(nRowK), val);
}

// Ten oblique planes across a block of b^3 unit boxes.
std::vector<T_TEST_PLANE> Planes(int b)
{
    std::vector<T_TEST_PLANE> planes;
    static const char* kName[] = {"P1", "P2", "P3", "P4", "P5", "P6", "P7", "P8", "P9", "P10"};
    for (int p = 0; p < 10; ++p) {
        const double n[3] = {0.9701425001453319, 0.24253562503633297, 0.0};
        planes.push_back({{(0.046 + p * 0.094) * b, 0.484 * b, 0.495 * b},
                          {{n[0], n[1], n[2]}, {-n[1], n[0], 0.0}, {0.0, 0.0, 1.0}},
                          kName[p]});
    }
    return planes;
}

// The model's mesh as a grid with the stress row's values averaged at the nodes, as the display
// fills its own; for a mesh whose display would not fit in memory.
vtkSmartPointer<vtkUnstructuredGrid> GridOfModel(ForceSumModel& m)
{
    CDBBase* pModel = m.doc.GetModelDB();
    const auto& nodes = pModel->Table<T_NODE_D>();
    std::vector<vtkIdType> aPoint(nodes.empty() ? 0 : nodes.rbegin()->first + 1, -1);
    vtkNew<vtkPoints> pts;
    pts->SetDataTypeToDouble();
    pts->SetNumberOfPoints(static_cast<vtkIdType>(nodes.size()));
    vtkIdType nPoint = 0;
    for (const auto& [k, n] : nodes) {
        pts->SetPoint(nPoint, n.dXyz);
        aPoint[k] = nPoint++;
    }
    auto grid = vtkSmartPointer<vtkUnstructuredGrid>::New();
    grid->SetPoints(pts);
    const auto& elems = pModel->Table<T_ELEM_D>();
    grid->Allocate(static_cast<vtkIdType>(elems.size()));
    std::vector<double> aSum(static_cast<size_t>(nPoint), 0.0), aCount(static_cast<size_t>(nPoint), 0.0);
    const T_PVAL_D& val = m.doc.GetPostDB()->Table<T_PVAL_D>().at(static_cast<unsigned int>(m.nRowK[0]));
    for (const auto& [k, e] : elems) {
        vtkIdType ids[10];
        int nValues = 0;
        const double* pValue = val.Find(k, nValues);
        for (int j = 0; j < e.aNodeK.GetSize(); ++j) {
            ids[j] = aPoint[e.aNodeK[j]];
            aSum[static_cast<size_t>(ids[j])] += pValue[j + 1];
            aCount[static_cast<size_t>(ids[j])] += 1.0;
        }
        grid->InsertNextCell(e.nCellType, e.aNodeK.GetSize(), ids);
    }
    vtkNew<vtkDoubleArray> stress;
    stress->SetNumberOfComponents(6);
    stress->SetNumberOfTuples(nPoint);
    for (vtkIdType p = 0; p < nPoint; ++p)
        for (int c = 0; c < 6; ++c)
            stress->SetTypedComponent(p, c, aSum[static_cast<size_t>(p)] / aCount[static_cast<size_t>(p)]);
    grid->GetPointData()->SetScalars(stress);
    return grid;
}

// The engine alone over the planes: cut, area and the integral of the point values.
double EngineCutIntegrate(vtkUnstructuredGrid* grid, const kvpvs::planecut::PlaneCutIndex& index,
                          const T_VD_LCLDIRSUM_HOB_D& rec, double& dArea)
{
    dArea = 0;
    const auto t0 = clk::now();
    for (int p = 0; p < rec.aPlane.GetSize(); ++p) {
        kvpvs::planecut::PlaneCut cut;
        kvpvs::planecut::CutGridByPlane(grid, index, rec.aPlane[p].dOrigin, rec.aPlane[p].dNormal, cut);
        dArea += kvpvs::planecut::AreaOfCut(cut.pOutput).dArea;
        std::vector<double> aIntegral;
        kvpvs::planecut::IntegratePointArray(cut.pOutput, cut.pOutput->GetPointData()->GetScalars(), aIntegral);
    }
    return Since(t0);
}

vtkSmartPointer<vtkUnstructuredGrid> g_lastGrid; // the registered benchmark's

// The display when the model, the host's copy of it and the display's grid fit in 4.5 GiB
// (some 2 GiB a million 10-node cells, 0.8 GiB a million linear ones); the engine alone always.
void RunMesh(const T_MESH& mesh)
{
    constexpr int kRuns = 3;
    const double dCells = 5.0 * mesh.nBoxes * mesh.nBoxes * mesh.nBoxes;
    const bool bDisplay = dCells * (mesh.nNodes == 10 ? 2.0 : 0.8) / 1e6 < 4.5;
    HexBlockGrid block;
    block.nx = block.ny = block.nz = mesh.nBoxes;
    block.bTetrahedra = true;
    block.bQuadratic = mesh.nNodes == 10;
    T_VD_LCLDIRSUM_HOB_D rec;
    double dFirst = 0, dIndexInProcess = 0, tRefresh = 1e300, tCut = 1e300, dSum = 0;
    vtkSmartPointer<vtkUnstructuredGrid> grid;
    {
        ForceSumModel m;
        BuildHexBlock(m, block);
        AddSharedStressRow(m);
        FillRecord(rec, m, 0, Planes(mesh.nBoxes));
        if (!bDisplay) {
            grid = GridOfModel(m);
        } else {
            LdfsDisplay d;
            d.rec = rec;
            d.Build(m, 8);
            const auto tFirst = clk::now();
            d.pVM->Process();
            dFirst = Since(tFirst);
            using VM = CPVSVisualMethodLDFS;
            dIndexInProcess = d.pVM->m_dPhaseSeconds[VM::kPhaseIndex];
            for (int r = 0; r < kRuns; ++r) {
                const auto t0 = clk::now();
                d.pVD->MakeVData(&d.vs, &d.as, 0);
                d.pVM->Process();
                tRefresh = std::min(tRefresh, Since(t0));
                tCut =
                    std::min(tCut, d.pVM->m_dPhaseSeconds[VM::kPhaseCut] + d.pVM->m_dPhaseSeconds[VM::kPhaseIntegrate]);
            }
            for (int i = 0; i < d.pVM->m_aValue[0].GetSize(); ++i)
                dSum += d.pVM->m_aValue[0][i];
            // The grid the display cuts, as VTK's cutter and the engine alone are handed it.
            grid = vtkSmartPointer<vtkUnstructuredGrid>::New();
            d.pVD->MakeVGeomDataByPlane(rec.aAxis[0], rec.aPlane[0], grid, &d.vs, &d.as, nullptr, d.pVM->GetMDTCtrl(),
                                        0);
        }
    }

    double tBuild = 1e300, tEngine = 1e300, dArea = 0, dVtkArea = 0, tVtk = 1e300;
    size_t nBytes = 0;
    kvpvs::planecut::PlaneCutIndex index;
    for (int r = 0; r < kRuns; ++r) {
        index.Clear();
        const auto t0 = clk::now();
        index.Build(grid);
        tBuild = std::min(tBuild, Since(t0));
        nBytes = index.Bytes();
    }
    for (int r = 0; r < kRuns; ++r) {
        tEngine = std::min(tEngine, EngineCutIntegrate(grid, index, rec, dArea));
        tVtk = std::min(tVtk, VtkCutAndIntegrate(grid, rec, dVtkArea));
    }

    const long long nCells = grid->GetNumberOfCells();
    std::printf("plane_cut_index: %lld %d-node tetrahedra (%d^3 boxes), %lld points, 10 planes (best of %d runs)\n",
                nCells, mesh.nNodes, mesh.nBoxes, static_cast<long long>(grid->GetNumberOfPoints()), kRuns);
    std::printf("  index build:                                  %.4f s\n", tBuild);
    std::printf("  index bytes per cell:                         %.1f (%.0f MiB)\n",
                static_cast<double>(nBytes) / static_cast<double>(nCells), static_cast<double>(nBytes) / 1048576.0);
    std::printf("  engine cut + area + integral, 10 planes:      %.4f s (area %.4f)\n", tEngine, dArea);
    std::printf("  VTK vtkCutter + vtkIntegrateAttributes, 10:   %.4f s (1 thread; area %.4f)\n", tVtk, dVtkArea);
    std::printf("  ratio VTK / engine: %.2f\n", tVtk / tEngine);
    if (!bDisplay) {
        std::printf("  display: not run (the model and the host's copy of it would take over 4.5 GiB)\n");
    } else {
        std::printf("  first display's Process (index included):     %.4f s (index %.4f s)\n", dFirst, dIndexInProcess);
        std::printf("  module refresh (MakeVData + Process):         %.4f s\n", tRefresh);
        std::printf("  module cut + integrate, 10 planes:            %.4f s\n", tCut);
        std::printf("  ratio VTK / module cut+integrate: %.2f; refresh / VTK: %.2f\n", tVtk / tCut, tRefresh / tVtk);
        std::printf("  sum of the first component over the planes: %.17g\n", dSum);
    }
    g_lastGrid = grid;
}

void BM_IndexBuild(benchmark::State& state)
{
    for (auto _ : state) {
        kvpvs::planecut::PlaneCutIndex index;
        index.Build(g_lastGrid);
        benchmark::DoNotOptimize(index.Bytes());
    }
}
BENCHMARK(BM_IndexBuild)->Unit(benchmark::kMillisecond)->Iterations(3);

} // namespace

int main(int argc, char** argv)
{
    vtkSMPTools::SetBackend("Sequential");
    vtkSMPTools::Initialize(1);
    std::printf("VTK SMP threads: %d\n", vtkSMPTools::GetEstimatedNumberOfThreads());
    for (const T_MESH& mesh : Meshes())
        RunMesh(mesh);

    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
