// Force sums over structured blocks of 200,000 and 1,600,000 linear hexahedra with a linear
// stress field and ten cutting planes each: the module's refresh of a shown display (MakeVData,
// then Process: grid values, cell index values, cut, integrate and the surface values, timed
// apart) against VTK's general pipeline (vtkCutter + vtkIntegrateAttributes) on the same grid and
// planes, both on one thread. Prints per block the timings, cut + integrate per plane for both
// and their ratio, the module's share of memory against the grid's size, the output checksum
// and the six sums of every plane, then runs the registered benchmarks.
#include "visualdata/CPVSVisualDataLDFS.h"
#include "visualmethods/CPVSVisualMethodLDFS.h"

#include "DBDoc.h"
#include "DBModelRecords.h"
#include "ForceSumFixtures.h"
#include "ProcessMemory.h"
#include "TempDir.h"

#include <benchmark/benchmark.h>
#include <vtkCutter.h>
#include <vtkDataArray.h>
#include <vtkCellData.h>
#include <vtkPlane.h>
#include <vtkPolyData.h>
#include <vtkSmartPointer.h>
#include <vtkUnstructuredGrid.h>
#include <vtkUnstructuredGridAlgorithm.h>

#include <vtkCellArray.h>
#include <vtkCellIterator.h>
#include <vtkDataSet.h>
#include <vtkIdList.h>
#include <vtkPointData.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iterator>
#include <memory>
#include <string>
#include <sys/resource.h>
#include <unistd.h>
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

// The blocks: 200,000 and 1,600,000 hexahedra; KVPVS_FORCE_SUM_GRID="nx,ny,nz" runs one block
// of that size instead, for profiling.
struct T_BLOCK {
    int nx, ny, nz;
};
std::vector<T_BLOCK> Blocks()
{
    if (const char* p = std::getenv("KVPVS_FORCE_SUM_GRID")) {
        int a = 0, b = 0, c = 0;
        if (std::sscanf(p, "%d,%d,%d", &a, &b, &c) == 3 && a > 0 && b > 0 && c > 0)
            return {{a, b, c}};
    }
    return {{100, 50, 40}, {200, 100, 80}};
}

// Peak resident memory of the process so far, MiB.
double PeakMiB()
{
    rusage ru{};
    getrusage(RUSAGE_SELF, &ru);
    return static_cast<double>(ru.ru_maxrss) / 1024.0;
}

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
    if (!pDS) {
        cs.Int(-1);
        return;
    }
    cs.Int(pDS->GetNumberOfPoints());
    cs.Int(pDS->GetNumberOfCells());
    for (vtkIdType p = 0; p < pDS->GetNumberOfPoints(); ++p) {
        double x[3];
        pDS->GetPoint(p, x);
        cs.Bytes(x, sizeof x);
    }
    vtkIdList* pIds = vtkIdList::New();
    for (vtkIdType c = 0; c < pDS->GetNumberOfCells(); ++c) {
        cs.Int(pDS->GetCellType(c));
        pDS->GetCellPoints(c, pIds);
        for (vtkIdType j = 0; j < pIds->GetNumberOfIds(); ++j)
            cs.Int(pIds->GetId(j));
    }
    pIds->Delete();
    vtkPointData* pPD = pDS->GetPointData();
    for (int a = 0; a < pPD->GetNumberOfArrays(); ++a) {
        vtkDataArray* pArr = pPD->GetArray(a);
        if (!pArr)
            continue;
        cs.Int(pArr->GetNumberOfComponents());
        for (vtkIdType t = 0; t < pArr->GetNumberOfTuples(); ++t)
            for (int k = 0; k < pArr->GetNumberOfComponents(); ++k)
                cs.Double(pArr->GetComponent(t, k));
    }
}

struct Model {
    kvpvs::testing::TempDir dir{"kvpvs_bench_ldfs"}; // outlives the document
    int NX, NY, NZ;
    CDBDoc doc;
    T_VD_LCLDIRSUM_HOB_D rec;
    T_PVIST_ALL_D vs;
    T_PVIST_ANIM_D as;

    std::string strFolder;

    Model(int nx, int ny, int nz) : NX(nx), NY(ny), NZ(nz)
    {
        strFolder = dir.path() + "/";
        doc.SetPathName((strFolder + "bench.kvp").c_str());
        CZORDocBase::SetCurDoc(&doc);
        CDBBase* pDB = doc.GetModelDB();
        CDBBase* pPost = doc.GetPostDB();
        // A step and its set: the report's heading lines name them.
        T_POSIF_D set;
        set.strName = "Bench Set";
        CClassPOsif(pPost).Set(1, set);
        T_PLSIF_D step;
        step.nOsifK = 1;
        step.strName = "Bench Step";
        CClassPLsif(pPost).Set(1, step);
        auto& nodes = pDB->Table<T_NODE_D>();
        auto key = [this](int i, int j, int k) { return static_cast<unsigned int>((k * (NY + 1) + j) * (NX + 1) + i + 1); };
        for (int k = 0; k <= NZ; ++k)
            for (int j = 0; j <= NY; ++j)
                for (int i = 0; i <= NX; ++i) {
                    T_NODE_D n;
                    n.dXyz[0] = i * 0.5;
                    n.dXyz[1] = j * 0.5;
                    n.dXyz[2] = k * 0.5;
                    nodes[key(i, j, k)] = n;
                }
        auto& elems = pDB->Table<T_ELEM_D>();
        unsigned int ek = 1;
        for (int k = 0; k < NZ; ++k)
            for (int j = 0; j < NY; ++j)
                for (int i = 0; i < NX; ++i) {
                    T_ELEM_D e;
                    e.nType = 8;
                    e.nCellType = 12;
                    const unsigned int ids[8] = {key(i, j, k),     key(i + 1, j, k),     key(i + 1, j + 1, k),
                                                 key(i, j + 1, k), key(i, j, k + 1),     key(i + 1, j, k + 1),
                                                 key(i + 1, j + 1, k + 1), key(i, j + 1, k + 1)};
                    for (unsigned int n : ids)
                        e.aNodeK.Add(n);
                    elems[ek++] = e;
                }
        rec.Initialize();
        rec.nCutKind = 0;
        rec.nCompCount = 6;
        rec.bIncludeText = 0;
        for (int c = 0; c < 6; ++c) {
            T_PVTIF_D row;
            row.nStepK = 1;
            const unsigned int rk = CClassPVtif(pPost).Add(row);
            rec.nCompPVtifK[c] = static_cast<int>(rk);
            T_PVAL_D val;
            for (const auto& [k, e] : elems) {
                double v[9];
                double cx = 0;
                for (int j = 0; j < 8; ++j) {
                    const T_NODE_D& n = nodes[e.aNodeK[j]];
                    // A linear stress field: s_c = 10 c + x - 2 y + 0.5 z.
                    v[j + 1] = 10.0 * c + n.dXyz[0] - 2.0 * n.dXyz[1] + 0.5 * n.dXyz[2];
                    cx += v[j + 1] / 8.0;
                }
                v[0] = cx;
                val.Append(k, v, 9);
            }
            CClassPVal(pPost).Set(rk, val);
        }
        // Ten oblique planes across the block.
        for (int p = 0; p < 10; ++p) {
            T_PVIST_PLNE_D pl;
            T_VD_LCLDIRSUM_HOB_BASE_D ax;
            const double n[3] = {0.9701425001453319, 0.24253562503633297, 0.0};
            pl.dOrigin[0] = 2.3 + p * 4.7;
            pl.dOrigin[1] = 12.1;
            pl.dOrigin[2] = 9.9;
            if (NX != 100 || NY != 50 || NZ != 40) {
                // Another block: the same planes, moved in proportion so that each still cuts it.
                pl.dOrigin[0] *= NX / 100.0;
                pl.dOrigin[1] *= NY / 50.0;
                pl.dOrigin[2] *= NZ / 40.0;
            }
            for (int k = 0; k < 3; ++k)
                pl.dNormal[k] = ax.dAxis[0][k] = n[k];
            ax.dAxis[1][0] = -n[1];
            ax.dAxis[1][1] = n[0];
            ax.dAxis[2][2] = 1.0;
            ax.strName.Format("P%d", p + 1);
            rec.aPlane.Add(pl);
            rec.aAxis.Add(ax);
        }
    }
};

Model& TheModel()
{
    static Model m(100, 50, 40);
    return m;
}

struct Display {
    std::unique_ptr<CPVSVisualDataLDFS> pVD;
    std::unique_ptr<CPVSVisualMethodLDFS> pVM;
    explicit Display(Model& m)
    {
        T_VD_PARAM_D vp;
        vp.pDoc = &m.doc;
        vp.pUserDefData = &m.rec;
        pVD = std::make_unique<CPVSVisualDataLDFS>(8, vp);
        pVD->MakeVData(&m.vs, &m.as, 0);
        T_VM_PARAM_D mp;
        mp.pDoc = &m.doc;
        mp.pVData = pVD.get();
        mp.pVS = &m.vs;
        mp.pAS = &m.as;
        pVM = std::make_unique<CPVSVisualMethodLDFS>(mp);
        T_MD_PARAM_D md;
        md.bFlag = 1;
        md.nType = 8;
        const double dBeforeMiB = StatusMiB("VmRSS");
        pVM->SetMDTCtrl(new CPVSModelDataFEM(md, &m.doc));
        dModelDataMiB = StatusMiB("VmRSS") - dBeforeMiB;
    }
    // The host's copy of the mesh that it hands the method: part of the module's share here.
    double dModelDataMiB = 0;
};

// The checksum of everything a Process produces: the six sums and the plane record of every
// plane, the appended cuts (points, polygons, interpolated values: the cut areas and centres
// follow from them), the mesh data set, and the bytes of the report.
std::uint64_t OutputChecksum(Display& d, const Model& m, double& dCutArea)
{
    Checksum cs;
    CPVSVisualMethodLDFS& vm = *d.pVM;
    cs.Int(vm.m_aPlaneResult.GetSize());
    for (int k = 0; k < 6; ++k) {
        cs.Int(vm.m_aValue[k].GetSize());
        for (int i = 0; i < vm.m_aValue[k].GetSize(); ++i)
            cs.Double(vm.m_aValue[k][i]);
    }
    for (int i = 0; i < vm.m_aPlaneResult.GetSize(); ++i) {
        const T_LCLDIR_PLNE_D& pr = vm.m_aPlaneResult[i];
        cs.Bytes(pr.dCentre, sizeof pr.dCentre);
        cs.Bytes(pr.dXDir, sizeof pr.dXDir);
        cs.Bytes(pr.dYDir, sizeof pr.dYDir);
        cs.Bytes(pr.strName.GetString(), std::strlen(pr.strName.GetString()));
    }
    HashDataSet(cs, vm.GetDataSetPst());
    HashDataSet(cs, vm.GetDataSetPre());
    dCutArea = 0;
    if (auto* pPoly = vtkPolyData::SafeDownCast(vm.GetDataSetPst())) {
        vtkIdType n = 0;
        const vtkIdType* pIds = nullptr;
        vtkCellArray* pPolys = pPoly->GetPolys();
        for (pPolys->InitTraversal(); pPolys->GetNextCell(n, pIds);)
            for (vtkIdType k = 0; k + 2 < n; ++k) {
                double a[3], b[3], c[3];
                pPoly->GetPoint(pIds[0], a);
                pPoly->GetPoint(pIds[k + 1], b);
                pPoly->GetPoint(pIds[k + 2], c);
                const double u[3] = {b[0] - a[0], b[1] - a[1], b[2] - a[2]};
                const double v[3] = {c[0] - a[0], c[1] - a[1], c[2] - a[2]};
                const double w[3] = {u[1] * v[2] - u[2] * v[1], u[2] * v[0] - u[0] * v[2], u[0] * v[1] - u[1] * v[0]};
                dCutArea += 0.5 * std::sqrt(w[0] * w[0] + w[1] * w[1] + w[2] * w[2]);
            }
    }
    cs.Double(dCutArea);
    const std::string strReport = m.strFolder + "LdfsFile.txt";
    std::remove(strReport.c_str());
    vm.TextLclDirForSum();
    std::ifstream in(strReport, std::ios::binary);
    const std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    cs.Int(static_cast<long long>(bytes.size()));
    cs.Bytes(bytes.data(), bytes.size());
    return cs.h;
}

void BM_ModuleProcess(benchmark::State& state)
{
    Model& m = TheModel();
    Display d(m);
    d.pVM->Process();
    for (auto _ : state) {
        // A refresh: new values on the same mesh and active set.
        d.pVD->MakeVData(&m.vs, &m.as, 0);
        d.pVM->Process();
    }
}
BENCHMARK(BM_ModuleProcess)->Unit(benchmark::kMillisecond)->Iterations(3);

} // namespace

namespace {

// One block: three Processes and three VTK runs, best of each; prints the figures.
void RunBlock(const T_BLOCK& b)
{
    Model m(b.nx, b.ny, b.nz);
    // The module's share of memory: the peak from here on over what the model holds already.
    ResetPeak();
    const double dBaseMiB = StatusMiB("VmRSS");
    using clk = std::chrono::steady_clock;
    auto since = [](clk::time_point t0) { return std::chrono::duration<double>(clk::now() - t0).count(); };
    const auto tShow = clk::now();
    Display d(m);
    d.pVM->Process();
    const double tFirst = since(tShow);
    const double dFirstMiB = StatusMiB("VmHWM") - dBaseMiB;
    ResetPeak();

    // Each run is a refresh as a display stepping through results makes it: MakeVData reads the
    // values anew, Process fills the grid with them, cuts and integrates the ten planes and
    // forms the surface, keeping what depends on the mesh alone. The stages are timed inside
    // Process; the best of three runs is reported for each, as for VTK.
    constexpr int kRuns = 3;
    using VM = CPVSVisualMethodLDFS;
    double tPhase[VM::kPhaseCount], tProcess = 1e300, tRefresh = 1e300;
    for (double& t : tPhase)
        t = 1e300;
    std::uint64_t nSum = 0;
    double dCutArea = 0;
    for (int r = 0; r < kRuns; ++r) {
        const auto t0 = clk::now();
        d.pVD->MakeVData(&m.vs, &m.as, 0);
        const auto t1 = clk::now();
        d.pVM->Process();
        tProcess = std::min(tProcess, since(t1));
        tRefresh = std::min(tRefresh, since(t0));
        for (int k = 0; k < VM::kPhaseCount; ++k)
            tPhase[k] = std::min(tPhase[k], d.pVM->m_dPhaseSeconds[k]);
        const std::uint64_t nRun = OutputChecksum(d, m, dCutArea);
        if (r > 0 && nRun != nSum)
            std::printf("  output checksum differs between runs: %016llx / %016llx\n",
                        static_cast<unsigned long long>(nSum), static_cast<unsigned long long>(nRun));
        nSum = nRun;
    }
    const double dPeakModule = PeakMiB();
    const double dRefreshMiB = StatusMiB("VmHWM") - dBaseMiB;
    const double dModuleMiB = std::max(dFirstMiB, dRefreshMiB);
    // The grid the module draws and cuts, as VTK's cutter is handed it.
    auto grid = vtkSmartPointer<vtkUnstructuredGrid>::New();
    d.pVD->MakeVGeomDataByPlane(m.rec.aAxis[0], m.rec.aPlane[0], grid, &m.vs, &m.as, nullptr, d.pVM->GetMDTCtrl(), 0);
    const double dGridMiB = static_cast<double>(grid->GetActualMemorySize()) / 1024.0;
    const int nPlanes = m.rec.aPlane.GetSize();
    const double tCutIntegrate = tPhase[VM::kPhaseCut] + tPhase[VM::kPhaseIntegrate];

    double area = 0, tVtk = 1e300;
    for (int r = 0; r < kRuns; ++r)
        tVtk = std::min(tVtk, kvpvs::test::VtkCutAndIntegrate(grid, m.rec, area));
    std::printf("force_sum: %d hexahedra, %d planes, %d results (best of %d runs)\n", b.nx * b.ny * b.nz, nPlanes,
                d.pVM->m_aValue[0].GetSize(), kRuns);
    std::printf("  first display (MakeVData + Process):             %.4f s\n", tFirst);
    std::printf("  module refresh (MakeVData + Process):            %.4f s\n", tRefresh);
    std::printf("  module Process:                                  %.4f s\n", tProcess);
    std::printf("    grid values (once per Process):                %.4f s\n", tPhase[VM::kPhaseGrid]);
    std::printf("    cell index (once per mesh):                    %.4f s\n", tPhase[VM::kPhaseIndex]);
    std::printf("    cut, %2d planes:                                %.4f s\n", nPlanes, tPhase[VM::kPhaseCut]);
    std::printf("    integrate, %2d planes:                          %.4f s\n", nPlanes, tPhase[VM::kPhaseIntegrate]);
    std::printf("    cuts collected for drawing (once per Process): %.4f s\n", tPhase[VM::kPhaseAppend]);
    std::printf("    surface values (once per Process):             %.4f s\n", tPhase[VM::kPhaseSurface]);
    std::printf("  module cut + integrate per plane:                %.6f s\n", tCutIntegrate / nPlanes);
    std::printf("  VTK vtkCutter + vtkIntegrateAttributes per plane: %.6f s (1 thread; total area %.4f)\n",
                tVtk / nPlanes, area);
    std::printf("  ratio VTK / module cut+integrate: %.2f; VTK / module Process: %.2f\n", tVtk / tCutIntegrate,
                tVtk / tProcess);
    std::printf("  peak memory: %.0f MiB after the module's runs, %.0f MiB after VTK's\n", dPeakModule, PeakMiB());
    std::printf("  module share of memory: peak %.0f MiB over the model's (first display %.0f, refreshes %.0f; "
                "the host's model data %.0f of it); grid %.0f MiB\n",
                dModuleMiB, dFirstMiB, dRefreshMiB, d.dModelDataMiB, dGridMiB);
    std::printf("  output checksum: %016llx (cut area %.10g)\n", static_cast<unsigned long long>(nSum), dCutArea);
    std::printf("  refresh / VTK: %.2f\n", tRefresh / tVtk);
    // The six sums of every plane in full, to compare builds whose pieces of the cut differ.
    for (int i = 0; i < d.pVM->m_aValue[0].GetSize(); ++i) {
        std::printf("  sums %2d:", i + 1);
        for (int k = 0; k < 6; ++k)
            std::printf(" %.17g", d.pVM->m_aValue[k][i]);
        std::printf("\n");
    }
    std::printf("  module peak / grid: %.2f\n", dModuleMiB / dGridMiB);
}

} // namespace

int main(int argc, char** argv)
{
    vtkSMPTools::SetBackend("Sequential");
    vtkSMPTools::Initialize(1);
    std::printf("VTK SMP threads: %d\n", vtkSMPTools::GetEstimatedNumberOfThreads());
    for (const T_BLOCK& b : Blocks())
        RunBlock(b);

    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
