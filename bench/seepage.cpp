// Seepage displays on a structured block of 200,000 linear hexahedra with a smooth nodal flow
// field, one thread, best of three runs:
// - flow paths from 1,000 start points: the module's Process (flow grid build, tracing) against
//   VTK's plain stream tracer with the same settings on the prebuilt grid;
// - flow discharge through ten planes: the module's Process (grid build, cell index, cut, sum)
//   against vtkCutter + vtkIntegrateAttributes per plane on the same grid.
// Prints the stage times, both ratios and the output checksum, then runs the registered
// benchmarks.
#include "visualdata/CPVSVisualDataFlowDiscWKVR.h"
#include "visualdata/CPVSVisualDataFlowPathWKVR.h"
#include "visualmethods/CPVSVisualMethodFlowDiscWKVR.h"
#include "visualmethods/CPVSVisualMethodGlbFlowPath.h"

#include "DBDoc.h"
#include "DBModelRecords.h"
#include "PVSModelData.h"
#include "PVSMeshMngrBrdg.h"
#include "TempDir.h"

#include <benchmark/benchmark.h>
#include <dlfcn.h>
#include <vtkCellData.h>
#include <vtkCutter.h>
#include <vtkDataArray.h>
#include <vtkDoubleArray.h>
#include <vtkIdList.h>
#include <vtkMergePoints.h>
#include <vtkNew.h>
#include <vtkPlane.h>
#include <vtkPointData.h>
#include <vtkPoints.h>
#include <vtkPolyData.h>
#include <vtkRungeKutta2.h>
#include <vtkSmartPointer.h>
#include <vtkStreamTracer.h>
#include <vtkUnstructuredGrid.h>
#include <vtkUnstructuredGridAlgorithm.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <memory>
#include <vector>

// VTK 9.1's vtkSMPTools.h does not compile as C++20; its entry points as the library exports them.
class vtkSMPTools {
public:
    static bool SetBackend(const char* backend);
    static void Initialize(int numThreads);
    static int GetEstimatedNumberOfThreads();
};

namespace {

constexpr int kNx = 100, kNy = 50, kNz = 40;
constexpr double kH = 0.5; // cell size [m]
constexpr int kRuns = 3;

using clk = std::chrono::steady_clock;
double Since(clk::time_point t0) { return std::chrono::duration<double>(clk::now() - t0).count(); }

// FNV-1a over the bytes of every output: a faster path must reproduce them bit for bit.
struct Checksum {
    std::uint64_t h = 14695981039346656037ull;
    void Bytes(const void* p, size_t n)
    {
        const auto* b = static_cast<const unsigned char*>(p);
        for (size_t i = 0; i < n; ++i) {
            h ^= b[i];
            h *= 1099511628211ull;
        }
    }
    void Double(double d) { Bytes(&d, sizeof d); }
    void Int(long long v) { Bytes(&v, sizeof v); }
};

void HashDataSet(Checksum& cs, vtkDataSet* pDS)
{
    cs.Int(pDS ? pDS->GetNumberOfPoints() : -1);
    if (!pDS)
        return;
    cs.Int(pDS->GetNumberOfCells());
    for (vtkIdType p = 0; p < pDS->GetNumberOfPoints(); ++p) {
        double x[3];
        pDS->GetPoint(p, x);
        cs.Bytes(x, sizeof x);
    }
    vtkNew<vtkIdList> ids;
    for (vtkIdType c = 0; c < pDS->GetNumberOfCells(); ++c) {
        pDS->GetCellPoints(c, ids);
        for (vtkIdType j = 0; j < ids->GetNumberOfIds(); ++j)
            cs.Int(ids->GetId(j));
    }
    if (vtkDataArray* s = pDS->GetPointData()->GetScalars())
        for (vtkIdType t = 0; t < s->GetNumberOfTuples(); ++t)
            cs.Double(s->GetTuple1(t));
}

// The model: nodes, hexahedra and a nodal velocity row of a smooth field (a uniform drift with
// a meander and a downward part), with the view's bridge over the block.
struct Model {
    kvpvs::testing::TempDir dir{"kvpvs_bench_seepage"};
    CDBDoc doc;
    CPVSMeshMngrBrdg bridge;
    unsigned int nRowK = 0;
    T_PVIST_ALL_D vs;
    T_PVIST_ANIM_D as;
    Model()
    {
        doc.SetPathName((dir.path() + "/model.kvp").c_str());
        CZORDocBase::SetCurDoc(&doc);
        CDBBase* pDB = doc.GetModelDB();
        CClassNode clsNode(pDB);
        CClassElem clsElem(pDB);
        T_PVAL_D val;
        auto id = [](int i, int j, int k) { return static_cast<unsigned int>((k * (kNy + 1) + j) * (kNx + 1) + i + 1); };
        for (int k = 0; k <= kNz; ++k)
            for (int j = 0; j <= kNy; ++j)
                for (int i = 0; i <= kNx; ++i) {
                    T_NODE_D n;
                    n.dXyz[0] = i * kH;
                    n.dXyz[1] = j * kH;
                    n.dXyz[2] = -k * kH;
                    clsNode.Set(id(i, j, k), n);
                    const double v[3] = {1.0 + 0.3 * std::sin(n.dXyz[1] * 0.4), 0.25 * std::cos(n.dXyz[0] * 0.3),
                                         -0.2 - 0.1 * std::sin(n.dXyz[0] * 0.2)};
                    const double run[7] = {0, v[0], v[1], v[2], 0, 0, 0};
                    val.Append(id(i, j, k), run, 7);
                }
        unsigned int nElemK = 1;
        for (int k = 0; k < kNz; ++k)
            for (int j = 0; j < kNy; ++j)
                for (int i = 0; i < kNx; ++i) {
                    T_ELEM_D e;
                    e.nType = 8;
                    e.nCellType = 12;
                    const unsigned int ids[8] = {id(i, j, k),         id(i + 1, j, k),         id(i + 1, j + 1, k),
                                                 id(i, j + 1, k),     id(i, j, k + 1),         id(i + 1, j, k + 1),
                                                 id(i + 1, j + 1, k + 1), id(i, j + 1, k + 1)};
                    for (unsigned int n : ids)
                        e.aNodeK.Add(n);
                    clsElem.Set(nElemK++, e);
                }
        CDBBase* pPost = doc.GetPostDB();
        T_PENGR_D engr;
        engr.nKind = 1;
        T_PVTIF_D row;
        row.nEngrK = CClassPEngr(pPost).Add(engr);
        row.nQuantity = 7;
        row.nResultClass = 38;
        row.nCompCode = 7;
        row.aComp.Add(7);
        nRowK = CClassPVtif(pPost).Add(row);
        CClassPVal(pPost).Set(nRowK, val);
        const double bb[6] = {0, kNx * kH, 0, kNy * kH, -kNz * kH, 0};
        bridge.SetBounds(bb);
    }
    ~Model() { CZORDocBase::SetCurDoc(nullptr); }
    double Diagonal() const { return std::sqrt(kNx * kH * kNx * kH + kNy * kH * kNy * kH + kNz * kH * kNz * kH); }
};

// 1,000 start points: a 10 x 10 x 10 lattice inside the block.
void Seeds(T_VD_FLOWPATH_WPLKVR_D& rec)
{
    for (int k = 0; k < 10; ++k)
        for (int j = 0; j < 10; ++j)
            for (int i = 0; i < 10; ++i) {
                rec.aStartX.Add((i + 0.5) * kNx * kH / 10.0);
                rec.aStartY.Add((j + 0.5) * kNy * kH / 10.0);
                rec.aStartZ.Add(-(k + 0.5) * kNz * kH / 10.0);
            }
}

template <class VD, class VM, class REC>
struct Display {
    std::unique_ptr<VD> pVD;
    std::unique_ptr<VM> pVM;
    Display(Model& m, REC& rec, unsigned int nType)
    {
        T_VD_PARAM_D vp;
        vp.pDoc = &m.doc;
        vp.pUserDefData = &rec;
        pVD = std::make_unique<VD>(nType, vp);
        T_VM_PARAM_D mp;
        mp.pDoc = &m.doc;
        mp.pVData = pVD.get();
        mp.pVS = &m.vs;
        mp.pAS = &m.as;
        mp.nVMType = pVD->GetVisualMethodType(&m.vs);
        pVM = std::make_unique<VM>(mp);
        T_MD_PARAM_D md{1, nType};
        pVM->SetMDTCtrl(new CPVSModelDataFEM(md, &m.doc));
    }
    void Values(Model& m)
    {
        CPVSVisualDataBase::ResetVDataStatics();
        pVD->MakeVData(&m.vs, &m.as, 0);
    }
};
using PathDisplay = Display<CPVSVisualDataFlowPathWKVR, CPVSVisualMethodGlbFlowPath, T_VD_FLOWPATH_WPLKVR_D>;
using DiscDisplay = Display<CPVSVisualDataFlowDiscWKVR, CPVSVisualMethodFlowDiscWKVR, T_VD_FLOWDISC_WPLKVR_D>;

// Freed at the end of main, which removes its scratch folder.
std::unique_ptr<Model> g_model;

Model& TheModel()
{
    if (!g_model)
        g_model = std::make_unique<Model>();
    return *g_model;
}

void FlowPaths(Model& m, Checksum& cs)
{
    T_VD_FLOWPATH_WPLKVR_D rec;
    rec.Initialize();
    rec.nFlowPVtifK = m.nRowK;
    Seeds(rec);
    PathDisplay d(m, rec, 1);
    using VM = CPVSVisualMethodGlbFlowPath;
    double tProcess = 1e300, tPhase[VM::kPhaseCount];
    std::fill(std::begin(tPhase), std::end(tPhase), 1e300);
    for (int r = 0; r < kRuns; ++r) {
        d.Values(m);
        const auto t0 = clk::now();
        d.pVM->Process();
        tProcess = std::min(tProcess, Since(t0));
        for (int k = 0; k < VM::kPhaseCount; ++k)
            tPhase[k] = std::min(tPhase[k], d.pVM->m_dPhaseSeconds[k]);
    }
    vtkDataSet* pPaths = d.pVM->GetDataSetPst();
    HashDataSet(cs, pPaths);

    // The prebuilt grid, as the module builds it, for the plain tracer, which traces it where it
    // stands (the module traces it about its centre).
    vtkNew<vtkUnstructuredGrid> grid;
    vtkNew<vtkPoints> pts;
    pts->SetDataTypeToDouble();
    vtkNew<vtkDoubleArray> vec, mag;
    vec->SetNumberOfComponents(3);
    vtkNew<vtkMergePoints> loc;
    double bb[6];
    m.bridge.GetBounds(bb);
    loc->InitPointInsertion(pts, bb);
    int nCount = 0;
    double dTotal = 0;
    d.pVD->MakeVGeomDataNode(grid, &m.vs, &m.as, nullptr, d.pVM->GetMDTCtrl(), nullptr, nullptr, nullptr, nullptr,
                             nCount, dTotal, pts, vec, mag, loc, nullptr);
    grid->SetPoints(pts);
    grid->GetPointData()->SetScalars(mag);
    grid->GetPointData()->SetVectors(vec);
    vtkNew<vtkPolyData> seeds;
    vtkNew<vtkPoints> seedPts;
    seedPts->SetDataTypeToDouble();
    for (int i = 0; i < rec.aStartX.GetSize(); ++i)
        seedPts->InsertNextPoint(rec.aStartX[i], rec.aStartY[i], rec.aStartZ[i]);
    seeds->SetPoints(seedPts);
    const double L = m.Diagonal();
    double tPlain = 1e300;
    vtkIdType nPlainPts = 0;
    for (int r = 0; r < kRuns; ++r) {
        vtkNew<vtkStreamTracer> plain;
        plain->SetInputData(grid);
        plain->SetSourceData(seeds);
        plain->SetMaximumPropagation(L);
        plain->SetIntegrationStepUnit(vtkStreamTracer::LENGTH_UNIT);
        plain->SetInitialIntegrationStep(L * 0.001);
        plain->SetMinimumIntegrationStep(L * 0.001);
        plain->SetMaximumIntegrationStep(L * 0.001);
        plain->SetIntegrationDirectionToBoth();
        plain->SetIntegrator(vtkNew<vtkRungeKutta2>());
        plain->SetComputeVorticity(false);
        const auto t0 = clk::now();
        plain->Update();
        tPlain = std::min(tPlain, Since(t0));
        nPlainPts = plain->GetOutput()->GetNumberOfPoints();
    }
    std::printf("flow paths: %d hexahedra, %d start points (best of %d runs)\n", kNx * kNy * kNz,
                rec.aStartX.GetSize(), kRuns);
    std::printf("  module Process:                        %.4f s\n", tProcess);
    std::printf("    flow grid build (MakeVGeomDataNode): %.4f s\n", tPhase[VM::kPhaseGrid]);
    std::printf("    tracing:                             %.4f s\n", tPhase[VM::kPhaseTrace]);
    std::printf("  VTK vtkStreamTracer on the prebuilt grid: %.4f s (%lld points; module %lld)\n", tPlain,
                static_cast<long long>(nPlainPts), static_cast<long long>(pPaths->GetNumberOfPoints()));
    std::printf("  ratio module Process / VTK tracer: %.2f; module tracing / VTK tracer: %.2f\n", tProcess / tPlain,
                tPhase[VM::kPhaseTrace] / tPlain);
}

void Discharge(Model& m, Checksum& cs)
{
    T_VD_FLOWDISC_WPLKVR_D rec;
    rec.Initialize();
    rec.nPVtifK = m.nRowK;
    for (int i = 0; i < 10; ++i) {
        T_PVIST_PLNE_D p;
        p.dOrigin[0] = (i + 0.37) * kNx * kH / 10.0;
        p.dOrigin[1] = kNy * kH / 2.0;
        p.dOrigin[2] = -kNz * kH / 2.0;
        p.dNormal[0] = 1.0;
        p.dNormal[1] = 0.1 * i;
        p.dNormal[2] = 0.05 * (i % 3);
        rec.aPlane.Add(p);
    }
    DiscDisplay d(m, rec, 4);
    using VM = CPVSVisualMethodFlowDiscWKVR;
    double tProcess = 1e300, tRefresh = 1e300, tPhase[VM::kPhaseCount];
    std::fill(std::begin(tPhase), std::end(tPhase), 1e300);
    // The display shown once, then refreshed as stepping through results does: MakeVData and
    // Process, on the same mesh and active set.
    d.Values(m);
    d.pVM->Process();
    for (int r = 0; r < kRuns; ++r) {
        const auto t0 = clk::now();
        d.Values(m);
        const auto t1 = clk::now();
        d.pVM->Process();
        tProcess = std::min(tProcess, Since(t1));
        tRefresh = std::min(tRefresh, Since(t0));
        for (int k = 0; k < VM::kPhaseCount; ++k)
            tPhase[k] = std::min(tPhase[k], d.pVM->m_dPhaseSeconds[k]);
    }
    cs.Int(d.pVM->m_aDischarge.GetSize());
    for (int i = 0; i < d.pVM->m_aDischarge.GetSize(); ++i) {
        cs.Double(d.pVM->m_aDischarge[i]);
        cs.Bytes(d.pVM->m_aResultPoint[i].dOrigin, sizeof(double) * 3);
    }
    HashDataSet(cs, d.pVM->GetDataSetPst());

    vtkNew<vtkUnstructuredGrid> grid;
    d.pVD->MakeVGeomData(grid, &m.vs, &m.as, nullptr, d.pVM->GetMDTCtrl(), nullptr, nullptr, nullptr, nullptr);
    static void* pLib = dlopen("libvtkFiltersParallel-9.1.so.1", RTLD_NOW | RTLD_GLOBAL);
    using PFN = vtkUnstructuredGridAlgorithm* (*)();
    auto pfn = pLib ? reinterpret_cast<PFN>(dlsym(pLib, "_ZN22vtkIntegrateAttributes3NewEv")) : nullptr;
    double tVtk = 1e300, dVtkSum = 0;
    for (int r = 0; r < kRuns && pfn; ++r) {
        dVtkSum = 0;
        const auto t0 = clk::now();
        for (int i = 0; i < rec.aPlane.GetSize(); ++i) {
            vtkNew<vtkPlane> plane;
            plane->SetOrigin(rec.aPlane[i].dOrigin);
            plane->SetNormal(rec.aPlane[i].dNormal);
            vtkNew<vtkCutter> cutter;
            cutter->SetCutFunction(plane);
            cutter->SetInputData(grid);
            cutter->SetOutputPointsPrecision(vtkAlgorithm::DOUBLE_PRECISION);
            vtkSmartPointer<vtkUnstructuredGridAlgorithm> integ;
            integ.TakeReference(pfn());
            integ->SetInputConnection(cutter->GetOutputPort());
            integ->Update();
            const double* n = rec.aPlane[i].dNormal;
            const double l = std::sqrt(n[0] * n[0] + n[1] * n[1] + n[2] * n[2]);
            if (vtkDataArray* q = integ->GetOutput()->GetCellData()->GetArray(CPVSVisualDataFlowDiscWKVR::kVectorName))
                dVtkSum += (q->GetComponent(0, 0) * n[0] + q->GetComponent(0, 1) * n[1] + q->GetComponent(0, 2) * n[2]) / l;
        }
        tVtk = std::min(tVtk, Since(t0));
    }
    double dSum = 0;
    for (int i = 0; i < d.pVM->m_aDischarge.GetSize(); ++i)
        dSum += d.pVM->m_aDischarge[i];
    const double tCutSum = tPhase[VM::kPhaseCut] + tPhase[VM::kPhaseSum];
    std::printf("flow discharge: %d hexahedra, %d planes, %d results (best of %d runs)\n", kNx * kNy * kNz,
                rec.aPlane.GetSize(), d.pVM->m_aDischarge.GetSize(), kRuns);
    std::printf("  module Process:                    %.4f s\n", tProcess);
    std::printf("    grid build (once per Process):   %.4f s\n", tPhase[VM::kPhaseGrid]);
    std::printf("    cell index (once per Process):   %.4f s\n", tPhase[VM::kPhaseIndex]);
    std::printf("    cut, 10 planes:                  %.4f s\n", tPhase[VM::kPhaseCut]);
    std::printf("    sum, 10 planes:                  %.4f s\n", tPhase[VM::kPhaseSum]);
    std::printf("  VTK vtkCutter + vtkIntegrateAttributes, 10 planes: %.4f s (1 thread)\n", tVtk);
    std::printf("  total discharge: module %.10g, VTK %.10g\n", dSum, dVtkSum);
    std::printf("  ratio VTK / module cut+sum: %.2f; VTK / module Process: %.2f\n", tVtk / tCutSum, tVtk / tProcess);
    std::printf("  module refresh (MakeVData + Process): %.4f s\n", tRefresh);
    std::printf("  discharge refresh / VTK: %.2f\n", tRefresh / tVtk);
}

void BM_FlowDischargeProcess(benchmark::State& state)
{
    Model& m = TheModel();
    T_VD_FLOWDISC_WPLKVR_D rec;
    rec.Initialize();
    rec.nPVtifK = m.nRowK;
    T_PVIST_PLNE_D p;
    p.dOrigin[0] = 12.3;
    p.dNormal[0] = 1.0;
    rec.aPlane.Add(p);
    DiscDisplay d(m, rec, 4);
    d.Values(m);
    for (auto _ : state)
        d.pVM->Process();
}
BENCHMARK(BM_FlowDischargeProcess)->Unit(benchmark::kMillisecond)->Iterations(3);

} // namespace

int main(int argc, char** argv)
{
    vtkSMPTools::SetBackend("Sequential");
    vtkSMPTools::Initialize(1);
    std::printf("VTK SMP threads: %d\n", vtkSMPTools::GetEstimatedNumberOfThreads());
    Model& m = TheModel();
    Checksum cs;
    FlowPaths(m, cs);
    Discharge(m, cs);
    std::printf("output checksum: %016llx\n", static_cast<unsigned long long>(cs.h));
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    g_model.reset();
    return 0;
}
