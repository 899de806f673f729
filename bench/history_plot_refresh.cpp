// A stress history plot of 10,000 and of 100,000 twenty-node solids refreshed at one step: the
// display reads every element's value through the single-step entry of the recovery library
// from result files written in the set-up with few steps, so that a refresh reads nearly all
// their bytes. Prints the time per element, the share spent opening and closing the files, a
// plain sequential read of the same files from the same page cache as the bound and the ratio
// of the two, and a checksum of the values shown (bit-identical across optimisations). A first
// frame, a new display, forms every element's centre rows; the later frames of an animation,
// the same display made again at alternating steps, find the rows that it kept.
#include "visualdata/CPVSVisualDataHistoryPlotStrs.h"

#include "result_files/element_records.h"
#include "result_files/result_file_writer.h"

#include "DBDoc.h"
#include "PostVisualState.h"
#include "THResultBuilder.h"
#include "TempDir.h"

#include <DFORRT/DirectUnits.h>

#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <map>
#include <memory>
#include <string>
#include <unistd.h>
#include <vector>

namespace {

namespace rf = kvpvs::resultfiles;

constexpr int STEPS = 2;
constexpr int SHOWN_STEP = 1; // 0-based: the last step; an animation alternates with step 0
constexpr unsigned ACAS = 77, THIS = 7;

// One layer of nx x ny unit cubes of twenty nodes, corners and mid-edges shared, every freedom
// free; each node moves by a uniform strain whose factor changes with the step.
struct Model {
    int nx = 0, ny = 0;
    CDBDoc doc;
    std::unique_ptr<kvpvs::testing::TempDir> dir;
    std::string base;
    std::vector<std::string> files;
    std::unique_ptr<CTHResultBuilder> th;
    std::vector<unsigned int> elemK;
    int Elements() const { return nx * ny; }
};

std::int64_t files_bytes(const Model& m)
{
    std::int64_t total = 0;
    for (const auto& f : m.files)
        total += static_cast<std::int64_t>(std::filesystem::file_size(f));
    return total;
}

void warm(const Model& m)
{
    std::vector<char> buffer(1 << 20);
    for (const auto& f : m.files) {
        const int fd = ::open(f.c_str(), O_RDONLY);
        if (fd < 0)
            continue;
        ::fsync(fd);
        while (::read(fd, buffer.data(), buffer.size()) > 0) {
        }
        ::close(fd);
    }
}

std::unique_ptr<Model> build(int nx, int ny)
{
    auto m = std::make_unique<Model>();
    m->nx = nx;
    m->ny = ny;
    m->dir = std::make_unique<kvpvs::testing::TempDir>("kvpvs_bench_histplot");
    m->base = m->dir->file("model");
    rf::ResultSetBuilder b;
    rf::HistoryFacts h;
    h.type = 2;
    h.case_or_file = 1;
    b.set_history(1, h);
    b.add_material(1, 2.0e7, 0.3);
    // Lattice of half steps: a node where at most one index is odd.
    const int ax = 2 * nx + 1, ay = 2 * ny + 1, az = 3;
    std::vector<int> id(static_cast<std::size_t>(ax) * ay * az, 0);
    auto at = [&](int a, int c, int z) -> int& { return id[(static_cast<std::size_t>(z) * ay + c) * ax + a]; };
    int nodes = 0;
    CClassNode clsNode(m->doc.GetModelDB());
    std::vector<double> series(STEPS);
    const double eps[3] = {2e-4, -1e-4, 1.5e-4};
    for (int z = 0; z < az; ++z)
        for (int c = 0; c < ay; ++c)
            for (int a = 0; a < ax; ++a) {
                if ((a & 1) + (c & 1) + (z & 1) > 1)
                    continue;
                const int n = ++nodes;
                at(a, c, z) = n;
                const double x[3] = {0.5 * a, 0.5 * c, 0.5 * z};
                b.set_node(n, x[0], x[1], x[2]);
                T_NODE_D rec;
                for (int d = 0; d < 3; ++d)
                    rec.dXyz[d] = x[d];
                clsNode.Set(static_cast<unsigned int>(n), rec);
                for (int d = 0; d < 6; ++d) {
                    for (int s = 0; s < STEPS; ++s)
                        series[static_cast<std::size_t>(s)] = d < 3 ? (1.0 + 0.5 * s) * eps[d] * x[d] : 0.0;
                    b.set_direct_series(1, 6 * (n - 1) + d + 1, series);
                }
            }
    // The twenty nodes of a cube in the family's order: corners of zeta = -1, of zeta = +1,
    // mid-edges of both faces, then the vertical mid-edges.
    const int xi[20] = {-1, 1, 1, -1, -1, 1, 1, -1, 0, 1, 0, -1, 0, 1, 0, -1, -1, 1, 1, -1};
    const int eta[20] = {-1, -1, 1, 1, -1, -1, 1, 1, -1, 0, 1, 0, -1, 0, 1, 0, -1, -1, 1, 1};
    const int zeta[20] = {-1, -1, -1, -1, 1, 1, 1, 1, -1, -1, -1, -1, 1, 1, 1, 1, 0, 0, 0, 0};
    std::vector<rf::Record> records;
    records.reserve(static_cast<std::size_t>(nx) * ny);
    CClassElem clsElem(m->doc.GetModelDB());
    std::map<unsigned int, std::pair<int, int>> seq;
    int e = 0;
    for (int j = 0; j < ny; ++j)
        for (int i = 0; i < nx; ++i) {
            ++e;
            rf::QuadraticSolidFacts f;
            f.node_count = 20;
            f.material = {2.0e7, 0.3, 0, {}};
            T_ELEM_D el;
            el.nCellType = 25;
            for (int k = 0; k < 20; ++k) {
                const int n = at(2 * i + 1 + xi[k], 2 * j + 1 + eta[k], 1 + zeta[k]);
                f.nodes.push_back(n);
                for (int d = 1; d <= 6; ++d)
                    f.equations.push_back(6 * (n - 1) + d);
                el.aNodeK.Add(static_cast<unsigned int>(n));
            }
            records.push_back(rf::doubles_record(rf::quadratic_solid_record_values(f)));
            b.set_element(e, 1);
            const unsigned int k = static_cast<unsigned int>(e);
            clsElem.Set(k, el);
            m->elemK.push_back(k);
            seq[k] = {e, e};
        }
    b.add_family_records("PSOH", 2 * 156, std::move(records));
    b.write(m->base);
    m->files = {b.elem_file_name(m->base), b.result_file_name(m->base), b.direct_file_name(m->base, 1)};
    std::vector<double> times;
    for (int s = 1; s <= STEPS; ++s)
        times.push_back(0.01 * s);
    m->th = std::make_unique<CTHResultBuilder>(m->doc, ACAS, THIS, 1, times, 1);
    m->th->ConnectResultFiles(m->files[0].c_str(), 1, seq);
    for (unsigned int k : m->elemK)
        m->th->Ctrl()->GetSeqIdInfo()->SetElemTypeCode(k, 16);
    warm(*m);
    return m;
}

std::unique_ptr<Model> g_model[2];
double g_open_close_share[2] = {0, 0};
double g_seconds_per_element[2] = {0, 0};
double g_later_seconds_per_element[2] = {0, 0};
std::uint64_t g_checksum[2] = {0, 0};

// A display's first frame: its values at a step.
std::unique_ptr<CPVSVisualDataHistoryPlotStrs> refresh(Model& m, int step = SHOWN_STEP)
{
    CZORDocBase::SetCurDoc(&m.doc);
    T_VD_HISTPLOT_TVCKVR_D rec;
    rec.Initialize();
    rec.m_nAcasKey = ACAS;
    rec.m_nResultType = 9;
    rec.m_bGlobal = 1;
    rec.m_nComponent = 0;
    rec.m_nTimeStep = step;
    T_VD_PARAM_D p;
    p.pDoc = &m.doc;
    p.pUserDefData = &rec;
    auto vd = std::make_unique<CPVSVisualDataHistoryPlotStrs>(7, p);
    T_PVIST_ALL_D vs;
    vs.bAverage = 0;
    vd->MakeVData(&vs, nullptr, 0);
    return vd;
}

// A later frame of the same display at another step.
void later_frame(CPVSVisualDataHistoryPlotStrs& vd, int step)
{
    vd.SetTimeStep(step);
    T_PVIST_ALL_D vs;
    vs.bAverage = 0;
    vd.MakeVData(&vs, nullptr, 0);
}

std::uint64_t checksum(Model& m, CPVSVisualDataHistoryPlotStrs& vd)
{
    std::uint64_t h = 1469598103934665603ULL;
    for (unsigned int k : m.elemK) {
        const double v = vd.GetElemCenterVal(k);
        std::uint64_t w = 0;
        std::memcpy(&w, &v, sizeof w);
        for (int b = 0; b < 8; ++b) {
            h ^= (w >> (8 * b)) & 0xffU;
            h *= 1099511628211ULL;
        }
    }
    return h;
}

void BM_Refresh(benchmark::State& state)
{
    const int which = static_cast<int>(state.range(0));
    Model& m = *g_model[which];
    double total = 0.0, open_close = 0.0;
    for (auto _ : state) {
        // A first frame: a new display, no element's rows kept.
        dforrt::DirectUnits::ResetOpenCloseSeconds();
        const auto t0 = std::chrono::steady_clock::now();
        auto vd = refresh(m);
        total += std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
        open_close += dforrt::DirectUnits::OpenCloseSeconds();
        benchmark::DoNotOptimize(vd.get());
    }
    g_open_close_share[which] = total > 0 ? open_close / total : 0.0;
    g_seconds_per_element[which] = total / static_cast<double>(state.iterations()) / m.Elements();
    state.counters["elements"] = m.Elements();
    state.counters["us_per_element"] = 1e6 * g_seconds_per_element[which];
    state.counters["open_close_share"] = g_open_close_share[which];
    state.SetBytesProcessed(state.iterations() * files_bytes(m));
}

// Later frames of an animation through both steps, after a first frame.
void BM_LaterFrame(benchmark::State& state)
{
    const int which = static_cast<int>(state.range(0));
    Model& m = *g_model[which];
    auto vd = refresh(m, 0);
    int step = 0;
    double total = 0.0;
    for (auto _ : state) {
        step = 1 - step;
        const auto t0 = std::chrono::steady_clock::now();
        later_frame(*vd, step);
        total += std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
        benchmark::DoNotOptimize(vd.get());
    }
    g_later_seconds_per_element[which] = total / static_cast<double>(state.iterations()) / m.Elements();
    state.counters["us_per_element"] = 1e6 * g_later_seconds_per_element[which];
}

void BM_PlainSequentialRead(benchmark::State& state)
{
    Model& m = *g_model[state.range(0)];
    std::vector<char> buffer(1 << 20);
    for (auto _ : state) {
        for (const auto& f : m.files) {
            const int fd = ::open(f.c_str(), O_RDONLY);
            ssize_t r;
            while ((r = ::read(fd, buffer.data(), buffer.size())) > 0)
                benchmark::DoNotOptimize(buffer.data());
            ::close(fd);
        }
    }
    state.SetBytesProcessed(state.iterations() * files_bytes(m));
}

BENCHMARK(BM_PlainSequentialRead)->Arg(0)->Unit(benchmark::kMillisecond)->MinTime(1.0);
BENCHMARK(BM_Refresh)->Arg(0)->Unit(benchmark::kMillisecond)->MinTime(2.0);
BENCHMARK(BM_LaterFrame)->Arg(0)->Unit(benchmark::kMillisecond)->MinTime(2.0);
BENCHMARK(BM_PlainSequentialRead)->Arg(1)->Unit(benchmark::kMillisecond)->MinTime(1.0);
BENCHMARK(BM_Refresh)->Arg(1)->Unit(benchmark::kMillisecond)->Iterations(4);
BENCHMARK(BM_LaterFrame)->Arg(1)->Unit(benchmark::kMillisecond)->Iterations(4);

class RatioReporter : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& runs) override
    {
        ConsoleReporter::ReportRuns(runs);
        for (const Run& r : runs) {
            const int which = r.benchmark_name().find("/1") != std::string::npos ? 1 : 0;
            const double t = r.GetAdjustedRealTime();
            if (r.benchmark_name().find("Refresh") != std::string::npos)
                refresh_ms[which] = t;
            else if (r.benchmark_name().find("LaterFrame") != std::string::npos)
                later_ms[which] = t;
            else
                plain_ms[which] = t;
        }
    }
    double refresh_ms[2] = {0, 0};
    double later_ms[2] = {0, 0};
    double plain_ms[2] = {0, 0};
};

} // namespace

int main(int argc, char** argv)
{
    benchmark::Initialize(&argc, argv);
    const int sizes[2][2] = {{100, 100}, {250, 400}};
    for (int i = 0; i < 2; ++i) {
        g_model[i] = build(sizes[i][0], sizes[i][1]);
        std::printf("%d solids: %.1f MB in %zu files\n", g_model[i]->Elements(),
                    static_cast<double>(files_bytes(*g_model[i])) / 1e6, g_model[i]->files.size());
    }
    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    for (int i = 0; i < 2; ++i) {
        // A first frame's values, and a later frame's at the same step after one at the other
        // step, which must be the same.
        auto vd = refresh(*g_model[i]);
        g_checksum[i] = checksum(*g_model[i], *vd);
        later_frame(*vd, 1 - SHOWN_STEP);
        later_frame(*vd, SHOWN_STEP);
        const std::uint64_t later = checksum(*g_model[i], *vd);
        const double plain = reporter.plain_ms[i];
        const double ratio = plain > 0 ? reporter.refresh_ms[i] / plain : 0.0;
        const double later_ratio = plain > 0 ? reporter.later_ms[i] / plain : 0.0;
        std::printf("%d solids: %.2f us per element, %.1f%% opening and closing files, refresh %.1f ms, plain "
                    "sequential read %.1f ms, ratio %.1f; later frames %.2f us per element, ratio %.1f; checksum "
                    "%016llx%s\n",
                    g_model[i]->Elements(), 1e6 * g_seconds_per_element[i], 100.0 * g_open_close_share[i],
                    reporter.refresh_ms[i], plain, ratio, 1e6 * g_later_seconds_per_element[i], later_ratio,
                    static_cast<unsigned long long>(g_checksum[i]),
                    later == g_checksum[i] ? "" : " (A LATER FRAME DIFFERS)");
    }
    CZORDocBase::SetCurDoc(nullptr);
    for (auto& m : g_model)
        m.reset();
    benchmark::Shutdown();
    return 0;
}
