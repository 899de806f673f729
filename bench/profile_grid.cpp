// Settlement profile grid over a block of 200,000 linear hexahedra (100 x 100 x 20) carrying a
// smooth node field: a 300 x 300-cell grid at mid-depth with bands, and 20 index lines of 200
// divisions with area labels. Times the module's Process by stage (model grid, probe, bands,
// curves) and MakeProfGridTable (grid table, index-line tables), best of three on one thread,
// beside a plain vtkProbeFilter of the same grid points on the prebuilt model grid; prints the
// probe stage's ratio to it and an output checksum (drawn values, curves, table texts).
// Then the time and memory of finding the points the cells use (the probes' model is that part)
// in model grids of about a million hexahedra or tetrahedra, with every point used and with one
// more point that no cell uses (the grid then is copied without it).
#include "ProfileGridFixtures.h"
#include "ProcessMemory.h"
#include "visualmethods/UsedPart.h"

#include <benchmark/benchmark.h>
#include <malloc.h>
#include <vtkCellArray.h>
#include <vtkCellType.h>
#include <vtkDataArray.h>
#include <vtkDoubleArray.h>
#include <vtkNew.h>
#include <vtkPointData.h>
#include <vtkPoints.h>
#include <vtkPolyData.h>
#include <vtkProbeFilter.h>
#include <vtkSmartPointer.h>
#include <vtkUnstructuredGrid.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <string>

using namespace kvpvs::test;

namespace {

constexpr int kNx = 100, kNy = 100, kNz = 20, kGridDiv = 300, kLines = 20, kLineDiv = 200;

struct Checksum {
    std::uint64_t h = 1469598103934665603ull;
    void Add(const void* p, size_t n)
    {
        const auto* b = static_cast<const unsigned char*>(p);
        for (size_t i = 0; i < n; ++i)
            h = (h ^ b[i]) * 1099511628211ull;
    }
    void Add(double d) { Add(&d, sizeof d); }
};

double Now()
{
    return std::chrono::duration<double>(std::chrono::steady_clock::now().time_since_epoch()).count();
}

// A smooth settlement trough and its displacement, sampled at the nodes.
unsigned int AddSmoothRow(ProfileGridModel& m)
{
    T_PENGR_D ent;
    ent.nKind = 1;
    CClassPEngr(m.doc.GetPostDB()).Set(1, ent);
    T_PVTIF_D row;
    row.nItem = 3;
    row.nStepK = m.nStepK;
    row.nEngrK = 1;
    row.strName = "DZ";
    const unsigned int nRowK = CClassPVtif(m.doc.GetPostDB()).Add(row);
    T_PVAL_D v;
    CClassNode nodes(m.doc.GetModelDB());
    CArray<unsigned int, unsigned int> keys;
    nodes.GetKeyList(keys);
    for (int i = 0; i < keys.GetSize(); ++i) {
        T_NODE_D n;
        nodes.Get(keys[i], n);
        const double x = n.dXyz[0], y = n.dXyz[1], z = n.dXyz[2];
        const double w = -0.05 * std::exp(-((x - 50) * (x - 50) + (y - 50) * (y - 50)) / 800.0) * (1.0 + z / 40.0);
        const double run[4] = {w, 0.2 * w * std::sin(x / 15.0), 0.2 * w * std::cos(y / 15.0), w};
        v.Append(keys[i], run, 4);
    }
    CClassPVal(m.doc.GetPostDB()).Set(nRowK, v);
    return nRowK;
}

struct Bench {
    ProfileGridModel m;
    ProfileGridDisplay d;
    Bench()
    {
        m.BuildBlock(MeshKind::Box, kNx, kNy, kNz, 1.0, {0, 0, -20});
        d.rec.Initialize();
        d.rec.nPVtifK = AddSmoothRow(m);
        d.rec.nSpfgK = m.AddGrid("Bench grid", {0.5, 0.5, -10.25}, {99.5, 0.5, -10.25}, {0.5, 99.5, -10.25}, kGridDiv,
                                 kGridDiv);
        d.rec.bBandContour = 1;
        d.rec.bArea = 1;
        for (int l = 0; l < kLines; ++l) {
            T_SPFG_GRID_IDX_BASE line{l % 2, 15 + 27 * (l / 2), kLineDiv, 0.0};
            d.rec.GridIdx.aIdx.Add(line);
        }
        d.Build(m);
    }
};

std::uint64_t OutputChecksum(Bench& b)
{
    Checksum cs;
    auto addPoly = [&](vtkPolyData* p) {
        for (vtkIdType i = 0; i < p->GetNumberOfPoints(); ++i) {
            double q[3];
            p->GetPoint(i, q);
            cs.Add(q, sizeof q);
            if (vtkDataArray* s = p->GetPointData()->GetScalars())
                cs.Add(s->GetComponent(i, 0));
        }
    };
    addPoly(b.d.pVM->GetGridSurface());
    addPoly(b.d.pVM->GetProfileCurves());
    cs.Add(static_cast<double>(b.d.pVM->GetDataSetPst()->GetNumberOfCells()));
    for (int i = 0; i < b.d.pVM->GetLabelTexts().GetSize(); ++i)
        cs.Add(b.d.pVM->GetLabelTexts()[i].GetString(), std::strlen(b.d.pVM->GetLabelTexts()[i].GetString()));
    IPostGeneralTableData* pStore = IPostGeneralTableData::Instance();
    for (int t = 0; t < pStore->GetCount(); ++t) {
        const T_POST_GENR_TABL_D* x = pStore->GetTable(pStore->GetTableKey(t));
        for (int i = 0; i < x->aCell.GetSize(); ++i)
            cs.Add(x->aCell[i].GetString(), std::strlen(x->aCell[i].GetString()));
    }
    return cs.h;
}

// A block of about a million linear cells as the model grid holds it (double points, a value and a
// displacement per point): 100^3 hexahedra, or six tetrahedra in each of 55^3 cubes; with bUnused,
// one more point, at the origin, that no cell uses.
vtkSmartPointer<vtkUnstructuredGrid> MillionCells(bool bTet, bool bUnused)
{
    const int n = bTet ? 55 : 100, m = n + 1;
    auto pGrid = vtkSmartPointer<vtkUnstructuredGrid>::New();
    vtkNew<vtkPoints> pPoints;
    pPoints->SetDataTypeToDouble();
    vtkNew<vtkDoubleArray> pValues, pDisp;
    pDisp->SetNumberOfComponents(3);
    for (int k = 0; k < m; ++k)
        for (int j = 0; j < m; ++j)
            for (int i = 0; i < m; ++i) {
                pPoints->InsertNextPoint(512345.0 + i, 6543210.0 + j, -k);
                pValues->InsertNextValue(-0.001 * k);
                pDisp->InsertNextTuple3(0.0, 0.0, -0.001 * k);
            }
    if (bUnused) {
        pPoints->InsertNextPoint(0.0, 0.0, 0.0);
        pValues->InsertNextValue(0.0);
        pDisp->InsertNextTuple3(0.0, 0.0, 0.0);
    }
    pGrid->SetPoints(pPoints);
    pGrid->GetPointData()->SetScalars(pValues);
    pGrid->GetPointData()->SetVectors(pDisp);
    static const int kTet[6][4] = {{0, 1, 2, 6}, {0, 2, 3, 6}, {0, 3, 7, 6}, {0, 7, 4, 6}, {0, 4, 5, 6}, {0, 5, 1, 6}};
    const vtkIdType nCubes = static_cast<vtkIdType>(n) * n * n;
    pGrid->AllocateExact(bTet ? 6 * nCubes : nCubes, bTet ? 24 * nCubes : 8 * nCubes);
    auto id = [m](int i, int j, int k) { return static_cast<vtkIdType>(i + m * (j + m * k)); };
    for (int k = 0; k < n; ++k)
        for (int j = 0; j < n; ++j)
            for (int i = 0; i < n; ++i) {
                const vtkIdType c[8] = {
                    id(i, j, k),     id(i + 1, j, k),     id(i + 1, j + 1, k),     id(i, j + 1, k),
                    id(i, j, k + 1), id(i + 1, j, k + 1), id(i + 1, j + 1, k + 1), id(i, j + 1, k + 1)};
                if (!bTet) {
                    pGrid->InsertNextCell(VTK_HEXAHEDRON, 8, c);
                    continue;
                }
                for (const auto& t : kTet) {
                    const vtkIdType ids[4] = {c[t[0]], c[t[1]], c[t[2]], c[t[3]]};
                    pGrid->InsertNextCell(VTK_TETRA, 4, ids);
                }
            }
    return pGrid;
}

// The used part of each million-cell grid: best of five times; the peak of resident memory over
// the grid's own while the part is found, and what the part holds beside the grid, with the free
// memory the allocator keeps handed back first (reused, it would not show).
void ReportUsedPart()
{
    std::printf("used part of a model grid (best of 5 runs; memory: peak over the grid, part held):\n");
    for (bool bTet : {false, true})
        for (bool bUnused : {false, true}) {
            vtkSmartPointer<vtkUnstructuredGrid> pGrid = MillionCells(bTet, bUnused);
            double tBest = 1e300, dPeakMiB = 0.0, dHeldMiB = 0.0;
            for (int r = 0; r < 5; ++r) {
                malloc_trim(0);
                ResetPeak();
                const double dBaseMiB = StatusMiB("VmRSS");
                const double t0 = Now();
                vtkSmartPointer<vtkUnstructuredGrid> pUsed = kvpvs::visualmethods::UsedPart(pGrid);
                tBest = std::min(tBest, Now() - t0);
                dPeakMiB = std::max(dPeakMiB, StatusMiB("VmHWM") - dBaseMiB);
                malloc_trim(0);
                dHeldMiB = std::max(dHeldMiB, StatusMiB("VmRSS") - dBaseMiB);
            }
            std::printf("  %7lld %s, %7lld points%s: %.4f s, peak %.1f MiB, held %.1f MiB (grid %.1f MiB)\n",
                        static_cast<long long>(pGrid->GetNumberOfCells()), bTet ? "tetrahedra" : "hexahedra ",
                        static_cast<long long>(pGrid->GetNumberOfPoints()), bUnused ? ", one unused" : "            ",
                        tBest, dPeakMiB, dHeldMiB, static_cast<double>(pGrid->GetActualMemorySize()) / 1024.0);
        }
}

void BM_UsedPart(benchmark::State& state)
{
    vtkSmartPointer<vtkUnstructuredGrid> pGrid = MillionCells(state.range(0) != 0, state.range(1) != 0);
    for (auto _ : state)
        benchmark::DoNotOptimize(kvpvs::visualmethods::UsedPart(pGrid).Get());
}
BENCHMARK(BM_UsedPart)
    ->ArgNames({"tet", "unused"})
    ->ArgsProduct({{0, 1}, {0, 1}})
    ->Unit(benchmark::kMillisecond)
    ->Iterations(5);

void BM_ProcessProfileGrid(benchmark::State& state)
{
    static Bench b;
    for (auto _ : state)
        benchmark::DoNotOptimize(b.d.pVM->Process());
}
BENCHMARK(BM_ProcessProfileGrid)->Unit(benchmark::kMillisecond)->Iterations(2);

void Report()
{
    Bench b;
    const int nRuns = 3;
    double tProcess = 1e300, tStage[CPVSVisualMethodGlbProfGrid::kStageCount], tTable1 = 1e300, tTable2 = 1e300,
           tPlain = 1e300;
    std::fill(std::begin(tStage), std::end(tStage), 1e300);
    std::uint64_t nSum = 0;
    for (int r = 0; r < nRuns; ++r) {
        IPostGeneralTableData::Instance()->ClearTables();
        double t0 = Now();
        b.d.pVM->Process();
        tProcess = std::min(tProcess, Now() - t0);
        for (int s = 0; s < CPVSVisualMethodGlbProfGrid::kStageCount; ++s)
            tStage[s] = std::min(tStage[s], b.d.pVM->m_dStageSeconds[s]);
        // The tables replace the drawn data sets: checksum the display first, then the tables.
        const std::uint64_t nDrawn = OutputChecksum(b);
        t0 = Now();
        b.d.pVM->MakeProfGridTable(1, b.d.rec, 0);
        tTable1 = std::min(tTable1, Now() - t0);
        t0 = Now();
        b.d.pVM->MakeProfGridTable(2, b.d.rec, 0);
        tTable2 = std::min(tTable2, Now() - t0);
        const std::uint64_t nRun = nDrawn ^ OutputChecksum(b);
        if (r > 0 && nRun != nSum)
            std::printf("  output checksum differs between runs: %016llx / %016llx\n",
                        static_cast<unsigned long long>(nSum), static_cast<unsigned long long>(nRun));
        nSum = nRun;
    }

    // The plain filter: the same grid points probed in the same model grid, built beforehand.
    CPostVisualState* pState = CPostVisualState::Instance();
    vtkUnstructuredGrid* pModel = vtkUnstructuredGrid::New();
    b.d.pVD->MakeVGeomData(pModel, pState->GetCurrentPA(), pState->GetCurrentPAnim(), nullptr, b.d.pVM->GetMDTCtrl(),
                           nullptr, nullptr, nullptr, nullptr);
    CArray<T_NODE_D, T_NODE_D&> aNode;
    CArray<T_ELEM_D, T_ELEM_D&> aElem;
    CClassSpfg(b.m.doc.GetModelDB()).GetGeomData(b.d.rec.nSpfgK, aNode, aElem);
    double dPlainSum = 0.0;
    for (int r = 0; r < nRuns; ++r) {
        const double t0 = Now();
        vtkPoints* pPts = vtkPoints::New(VTK_DOUBLE);
        pPts->SetNumberOfPoints(aNode.GetSize());
        for (int i = 0; i < aNode.GetSize(); ++i)
            pPts->SetPoint(i, aNode[i].dXyz);
        vtkPolyData* pIn = vtkPolyData::New();
        pIn->SetPoints(pPts);
        vtkProbeFilter* pProbe = vtkProbeFilter::New();
        pProbe->SetInputData(pIn);
        pProbe->SetSourceData(pModel);
        pProbe->Update();
        tPlain = std::min(tPlain, Now() - t0);
        dPlainSum = 0.0;
        vtkDataArray* s = pProbe->GetOutput()->GetPointData()->GetScalars();
        for (vtkIdType i = 0; s && i < s->GetNumberOfTuples(); ++i)
            dPlainSum += s->GetComponent(i, 0);
        pProbe->Delete();
        pIn->Delete();
        pPts->Delete();
    }
    pModel->Delete();

    std::printf("profile_grid: %d hexahedra, grid %d x %d cells (%d points), %d index lines of %d divisions "
                "(best of %d runs)\n",
                kNx * kNy * kNz, kGridDiv, kGridDiv, (kGridDiv + 1) * (kGridDiv + 1), kLines, kLineDiv, nRuns);
    std::printf("  module Process:                        %.4f s\n", tProcess);
    std::printf("    model grid:                          %.4f s\n", tStage[CPVSVisualMethodGlbProfGrid::kStageModelGrid]);
    std::printf("    probe:                               %.4f s\n", tStage[CPVSVisualMethodGlbProfGrid::kStageProbe]);
    std::printf("    bands:                               %.4f s\n", tStage[CPVSVisualMethodGlbProfGrid::kStageBands]);
    std::printf("    curves and areas:                    %.4f s\n", tStage[CPVSVisualMethodGlbProfGrid::kStageCurves]);
    std::printf("  MakeProfGridTable grid table:          %.4f s\n", tTable1);
    std::printf("  MakeProfGridTable index-line tables:   %.4f s\n", tTable2);
    std::printf("  plain vtkProbeFilter, same points:     %.4f s (value sum %.10g)\n", tPlain, dPlainSum);
    std::printf("  ratio module probe / plain probe:      %.2f\n", tStage[CPVSVisualMethodGlbProfGrid::kStageProbe] / tPlain);
    std::printf("  output checksum: %016llx\n", static_cast<unsigned long long>(nSum));
}

} // namespace

int main(int argc, char** argv)
{
    Report();
    ReportUsedPart();
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
