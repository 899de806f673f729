// Reading a result set of about 200 MB: every element's record and the whole displacement
// history of its degrees of freedom through the element-results entry and its readers,
// against a plain sequential read of the same files, timed before and after it from the same
// page cache. Prints both throughputs and their ratio.
#include "recovery/drivers/element_results.h"
#include "recovery/drivers/family_dispatch.h"
#include "recovery/drivers/record_readers.h"
#include "result_files/result_file_writer.h"

#include "TempDir.h"

#include <benchmark/benchmark.h>

#include <cstdint>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <memory>
#include <string>
#include <unistd.h>
#include <vector>

namespace {

using namespace kvpvs::recovery;

// A grid of GRID x GRID nodes, six free equations per node, STEPS steps of direct history:
// the direct file holds 3 x 8 x STEPS bytes per equation, about 195 MB in all.
constexpr int GRID = 26;
constexpr int STEPS = 2000;
constexpr int ELEMENTS = (GRID - 1) * (GRID - 1);

std::unique_ptr<kvpvs::testing::TempDir> g_dir;
std::string g_base;
std::vector<std::string> g_files;
std::vector<double> g_displacement(static_cast<std::size_t>(MAX_ELEMENT_DOFS) * STEPS);
std::vector<double> g_axes(static_cast<std::size_t>(MAX_ELEMENT_DOFS) * STEPS);
double g_checksum = 0.0;

int node_of(int i, int j) { return 1 + i + GRID * j; }

// The family routine of the benchmark: the readers' part of a family routine, for the
// 4-node element of the grid whose number the entry stored in the element record.
int g_element = 1;
void reading_family(DriverBuildState& build, double* work, int)
{
    const int e = g_element - 1;
    const int i = e % (GRID - 1);
    const int j = e / (GRID - 1);
    const int nodes[4] = {node_of(i, j), node_of(i + 1, j), node_of(i + 1, j + 1), node_of(i, j + 1)};
    int equations[24];
    for (int k = 0; k < 4; ++k)
        for (int d = 0; d < 6; ++d)
            equations[6 * k + d] = 6 * (nodes[k] - 1) + d + 1;
    read_element_data(build, g_displacement.data(), g_axes.data(), 24, equations, nodes, 4, 1);
    work[0] = g_displacement[0] + g_displacement[static_cast<std::size_t>(MAX_ELEMENT_DOFS) * (STEPS - 1) + 23];
}

void write_result_set()
{
    g_dir = std::make_unique<kvpvs::testing::TempDir>("kvpvs_bench_rf");
    g_base = g_dir->file("model");
    kvpvs::resultfiles::ResultSetBuilder b;
    kvpvs::resultfiles::HistoryFacts h;
    h.type = 2;
    h.case_or_file = 1;
    b.set_history(1, h);
    b.add_material(1, 2.0e8, 0.3);
    for (int e = 1; e <= ELEMENTS; ++e)
        b.set_element(e, 1, {4, e});
    std::vector<double> series(STEPS);
    for (int n = 1; n <= GRID * GRID; ++n) {
        b.set_node(n, n % GRID, n / GRID, 0.0);
        for (int d = 1; d <= 6; ++d) {
            const int eq = 6 * (n - 1) + d;
            for (int s = 0; s < STEPS; ++s)
                series[static_cast<std::size_t>(s)] = 1e-3 * eq + 1e-6 * s;
            b.set_direct_series(1, eq, series);
        }
    }
    b.write(g_base);
    g_files = {b.elem_file_name(g_base), b.result_file_name(g_base), b.direct_file_name(g_base, 1)};
    // Both readers find the same page cache: the files written back (no write-back while
    // timing) and read once in full before either is timed.
    std::vector<char> buffer(1 << 20);
    for (const auto& f : g_files) {
        const int fd = ::open(f.c_str(), O_RDONLY);
        if (fd < 0)
            continue;
        ::fsync(fd);
        while (::read(fd, buffer.data(), buffer.size()) > 0) {
        }
        ::close(fd);
    }
}

std::int64_t files_bytes()
{
    std::int64_t total = 0;
    for (const auto& f : g_files)
        total += static_cast<std::int64_t>(std::filesystem::file_size(f));
    return total;
}

void BM_ProductionReader(benchmark::State& state)
{
    // One entry call fills the history facts; then, as a family routine does for its element,
    // every element's record and the history of its degrees of freedom.
    family_table(Build::history).fill(reading_family);
    double out[STEPS];
    g_element = 1;
    history_build::element_results(g_base.data(), static_cast<int>(g_base.size()), 3, 0, 1, 1, STEPS, 4, 0, out, 0, 1);
    SharedBlocks& blocks = shared_blocks();
    blocks.result_path_block.result_path_length = static_cast<int>(g_base.size());
    DriverBuildState& build = driver_build(Build::history);
    double work[1];
    for (auto _ : state) {
        for (g_element = 1; g_element <= ELEMENTS; ++g_element) {
            read_element_record(build, g_element);
            reading_family(build, work, 0);
            g_checksum += work[0];
        }
    }
    // What the readers delivered: 24 series of STEPS doubles per element.
    state.SetBytesProcessed(state.iterations() * ELEMENTS * 24LL * STEPS * 8LL);
    family_table(Build::history).fill(nullptr);
}

void BM_PlainSequentialRead(benchmark::State& state)
{
    std::vector<char> buffer(1 << 20);
    for (auto _ : state) {
        for (const auto& f : g_files) {
            const int fd = ::open(f.c_str(), O_RDONLY);
            ssize_t r;
            while ((r = ::read(fd, buffer.data(), buffer.size())) > 0)
                benchmark::DoNotOptimize(buffer.data());
            ::close(fd);
        }
    }
    state.SetBytesProcessed(state.iterations() * files_bytes());
}

// The plain read runs before and after the production reader; the ratio takes their mean,
// so that a drift of the machine during the run weighs on both sides alike.
BENCHMARK(BM_PlainSequentialRead)->Unit(benchmark::kMillisecond)->MinTime(2.0);
BENCHMARK(BM_ProductionReader)->Unit(benchmark::kMillisecond)->MinTime(2.0);
BENCHMARK(BM_PlainSequentialRead)->Unit(benchmark::kMillisecond)->MinTime(2.0);

// FNV-1a over the bits of every value the readers deliver: the material of each element and
// the 24 series of its degrees of freedom, step after step. Outside the timed loops, so that
// a faster reader shows it delivers the same bits.
std::uint64_t delivered_checksum()
{
    family_table(Build::history).fill(reading_family);
    double out[STEPS];
    history_build::element_results(g_base.data(), static_cast<int>(g_base.size()), 3, 0, 1, 1, STEPS, 4, 0, out, 0, 1);
    shared_blocks().result_path_block.result_path_length = static_cast<int>(g_base.size());
    DriverBuildState& build = driver_build(Build::history);
    std::uint64_t h = 1469598103934665603ULL;
    auto mix = [&h](double v) {
        std::uint64_t w = 0;
        std::memcpy(&w, &v, sizeof w);
        for (int b = 0; b < 8; ++b) {
            h ^= (w >> (8 * b)) & 0xffU;
            h *= 1099511628211ULL;
        }
    };
    double work[1];
    for (g_element = 1; g_element <= ELEMENTS; ++g_element) {
        read_element_record(build, g_element);
        reading_family(build, work, 0);
        mix(shared_blocks().material_block.elastic_modulus);
        mix(shared_blocks().material_block.poisson_ratio);
        for (int i = 0; i < STEPS; ++i)
            for (int r = 0; r < 24; ++r)
                mix(g_displacement[static_cast<std::size_t>(r) + static_cast<std::size_t>(MAX_ELEMENT_DOFS) * static_cast<std::size_t>(i)]);
    }
    family_table(Build::history).fill(nullptr);
    return h;
}

class RateReporter : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& runs) override
    {
        ConsoleReporter::ReportRuns(runs);
        for (const Run& r : runs) {
            const auto c = r.counters.find("bytes_per_second");
            if (c == r.counters.end())
                continue;
            if (r.benchmark_name().find("Production") != std::string::npos) {
                production = c->second.value;
            } else {
                plain_sum += c->second.value;
                ++plain_runs;
            }
        }
        plain = plain_runs > 0 ? plain_sum / plain_runs : 0.0;
    }
    double production = 0.0;
    double plain = 0.0;
    double plain_sum = 0.0;
    int plain_runs = 0;
};

} // namespace

int main(int argc, char** argv)
{
    benchmark::Initialize(&argc, argv);
    write_result_set();
    std::printf("result set: %.1f MB in %zu files\n", static_cast<double>(files_bytes()) / 1e6, g_files.size());
    RateReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    std::printf("checksum of the delivered values %016llx\n", static_cast<unsigned long long>(delivered_checksum()));
    g_dir.reset();
    if (reporter.production > 0.0 && reporter.plain > 0.0)
        std::printf("production reader %.0f MB/s, plain sequential read %.0f MB/s, ratio %.2f (checksum %g)\n",
                    reporter.production / 1e6, reporter.plain / 1e6, reporter.production / reporter.plain, g_checksum);
    benchmark::Shutdown();
    return 0;
}
