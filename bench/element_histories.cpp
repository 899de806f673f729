// Plate histories: a modal history (20 modes, 10,000 steps) of 1,000 four-node plates and a
// direct history (5,000 steps) of 200, each plate's centre Mx over all steps. The whole chain:
// a stored plate function per plate run by the time-history engine (plate function, element-
// results entry, plate family, kernels, unit conversion); and the family alone through the
// entry, one call per plate. In the same run, the readers' floor (the same displacement
// histories read alone through read_element_data, behind the same entry) and Eigen's product of
// a 94 x 24 matrix with the 24 x n displacements, the bound of any linear recovery. Prints the
// time per element-step, both ratios and the checksums of the series.
#include "recovery/drivers/element_results.h"
#include "recovery/drivers/family_dispatch.h"
#include "recovery/drivers/record_readers.h"
#include "result_files/reference_shell.h"
#include "result_files/result_file_writer.h"
#include "timehistory/CPVSTHEngine.h"

#include "DBDoc.h"
#include "THResultBuilder.h"

#include <benchmark/benchmark.h>
#include <eigen3/Eigen/Dense>

#include <chrono>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <map>
#include <utility>
#include <string>
#include <unistd.h>
#include <vector>

namespace {

using namespace kvpvs::recovery;
namespace rf = kvpvs::resultfiles;

// Centre Mx: row 24 + 14 * 0 + 10.
constexpr int ROW = 34;

struct Model {
    const char* name;
    int nx, ny;      // plates along x and y
    int steps;
    int modes;       // 0: direct history
    std::string base;
    std::vector<std::string> files;
    int plates() const { return nx * ny; }
    int node(int i, int j) const { return 1 + i + (nx + 1) * j; }
};

Model g_modal{"modal", 40, 25, 10000, 20, {}, {}};
Model g_direct{"direct", 20, 10, 5000, 0, {}, {}};

void plate_nodes(const Model& m, int e, int nodes[4])
{
    const int i = (e - 1) % m.nx;
    const int j = (e - 1) / m.nx;
    nodes[0] = m.node(i, j);
    nodes[1] = m.node(i + 1, j);
    nodes[2] = m.node(i + 1, j + 1);
    nodes[3] = m.node(i, j + 1);
}

// A wall in the plane x-z, tilted about z: plates of 1.0 x 0.8 with their PLAT records.
void write_model(Model& m)
{
    m.base = (std::filesystem::temp_directory_path() / ("kvpvs_bench_eh_" + std::string(m.name) + "_" + std::to_string(getpid()))).string();
    rf::ResultSetBuilder b;
    rf::HistoryFacts h;
    h.type = m.modes > 0 ? 1 : 2;
    h.case_or_file = 1;
    h.modes = m.modes;
    h.steps_per_mode = m.modes > 0 ? m.steps : 0;
    b.set_history(1, h);
    b.add_material(1, 2.5e7, 0.2);
    const double c = std::cos(0.3), s = std::sin(0.3);
    auto position = [&](int n) {
        const int i = (n - 1) % (m.nx + 1);
        const int j = (n - 1) / (m.nx + 1);
        return rf::Point3{1.0 * i * c, 1.0 * i * s, 0.8 * j};
    };
    const int nodes = (m.nx + 1) * (m.ny + 1);
    for (int n = 1; n <= nodes; ++n) {
        const rf::Point3 p = position(n);
        b.set_node(n, p[0], p[1], p[2]);
    }
    std::vector<rf::Record> plat;
    for (int e = 1; e <= m.plates(); ++e) {
        b.set_element(e, 1);
        int nn[4];
        plate_nodes(m, e, nn);
        std::vector<rf::Point3> corners;
        rf::PlateRecordFacts f;
        for (int k = 0; k < 4; ++k) {
            corners.push_back(position(nn[k]));
            f.nodes[static_cast<std::size_t>(k)] = nn[k];
            f.xyz[static_cast<std::size_t>(k)] = corners.back();
            for (int d = 1; d <= 6; ++d)
                f.equations.push_back(6 * (nn[k] - 1) + d);
        }
        f.matrix = rf::shell_stiffness_global(corners, rf::flat_element_axes(corners), {2.5e7, 0.2, 0.3, 0.3});
        f.matrix_rows = 24;
        f.section[0] = f.section[1] = 0.3;
        f.E = 2.5e7;
        f.nu = 0.2;
        plat.push_back(rf::plate_record(f));
    }
    b.add_family_records("PLAT", rf::PLATE_RECORD_WORDS, std::move(plat));
    const int equations = 6 * nodes;
    if (m.modes > 0) {
        for (int eq = 1; eq <= equations; ++eq) {
            std::vector<double> shape;
            for (int k = 1; k <= m.modes; ++k)
                shape.push_back(1e-3 * std::sin(0.37 * eq * k));
            b.set_mode_shape(eq, shape);
        }
        std::vector<double> q;
        for (int k = 1; k <= m.modes; ++k)
            for (int i = 1; i <= m.steps; ++i)
                q.push_back(std::sin(0.01 * k * i) / k);
        b.set_modal_coordinates(1, m.modes, m.steps, q);
    } else {
        std::vector<double> series(static_cast<std::size_t>(m.steps));
        for (int eq = 1; eq <= equations; ++eq) {
            for (int i = 0; i < m.steps; ++i)
                series[static_cast<std::size_t>(i)] = 1e-3 * std::sin(0.011 * i + 0.7 * eq);
            b.set_direct_series(1, eq, series);
        }
    }
    b.write(m.base);
    m.files = {b.elem_file_name(m.base), b.result_file_name(m.base), b.direct_file_name(m.base, 1)};
}

double files_megabytes(const Model& m)
{
    double total = 0.0;
    for (const auto& f : m.files) {
        std::error_code ec;
        const auto size = std::filesystem::file_size(f, ec);
        if (!ec)
            total += static_cast<double>(size);
    }
    return total / 1e6;
}

// FNV-1a over the bits of every value of the series.
struct Checksum {
    std::uint64_t h = 1469598103934665603ULL;
    void mix(double v)
    {
        std::uint64_t w = 0;
        std::memcpy(&w, &v, sizeof w);
        for (int b = 0; b < 8; ++b) {
            h ^= (w >> (8 * b)) & 0xffU;
            h *= 1099511628211ULL;
        }
    }
};

// The readers' floor: the family routine that reads the element's displacement histories, with
// axes, and nothing else.
const Model* g_model = nullptr;
int g_element = 1;
std::vector<double> g_displacement;
std::vector<double> g_axes;
void reading_family(DriverBuildState& build, double* work, int)
{
    int nodes[4];
    plate_nodes(*g_model, g_element, nodes);
    int equations[24];
    for (int k = 0; k < 4; ++k)
        for (int d = 0; d < 6; ++d)
            equations[6 * k + d] = 6 * (nodes[k] - 1) + d + 1;
    const std::size_t need = static_cast<std::size_t>(MAX_ELEMENT_DOFS) * static_cast<std::size_t>(value_columns(build));
    if (g_displacement.size() < need) {
        g_displacement.resize(need);
        g_axes.resize(need);
    }
    read_element_data(build, g_displacement.data(), g_axes.data(), 24, equations, nodes, 4, 0);
    work[ROW - 1] = g_axes[0];
}

struct Figures {
    double chain_ns = 0.0;
    std::uint64_t chain_checksum = 0;
    double family_ns = 0.0;
    double floor_ns = 0.0;
    double eigen_ns = 0.0;
    std::uint64_t checksum = 0;
};
Figures g_figures[2];

Figures& figures_of(const Model& m) { return g_figures[&m == &g_modal ? 0 : 1]; }

double run_entry(const Model& m, std::vector<double>& out, Checksum* sum)
{
    const auto t0 = std::chrono::steady_clock::now();
    for (int e = 1; e <= m.plates(); ++e) {
        g_element = e;
        history_build::element_results(m.base.data(), static_cast<int>(m.base.size()), 3, e, ROW, 1, m.steps, 4, 0,
                                       out.data(), 0, e);
        if (sum)
            for (int i = 0; i < m.steps; ++i)
                sum->mix(out[static_cast<std::size_t>(i)]);
    }
    const auto t1 = std::chrono::steady_clock::now();
    return std::chrono::duration<double, std::nano>(t1 - t0).count() / (static_cast<double>(m.plates()) * m.steps);
}

void BM_Family(benchmark::State& state, Model* m)
{
    std::vector<double> out(static_cast<std::size_t>(m->steps));
    for (auto _ : state) {
        Checksum sum;
        const double ns = run_entry(*m, out, &sum);
        figures_of(*m).family_ns = ns;
        figures_of(*m).checksum = sum.h;
        state.counters["ns_per_element_step"] = ns;
    }
}

// The whole chain: a document whose time-history case is connected with the model's files
// (history 1; plate e is PLAT record e and element record e), and per plate its stored centre
// Mxx function (stored code 4, unit forces, component 3) run by the engine.
void BM_Chain(benchmark::State& state, Model* m)
{
    CDBDoc doc;
    CZORDocBase::SetCurDoc(&doc);
    std::vector<double> times(static_cast<std::size_t>(m->steps));
    for (int i = 0; i < m->steps; ++i)
        times[static_cast<std::size_t>(i)] = 0.01 * (i + 1);
    constexpr unsigned acas = 1;
    CTHResultBuilder b(doc, acas, 1, 1, times, 1);
    std::map<unsigned int, std::pair<int, int>> ids;
    CClassElem elems(doc.GetModelDB());
    for (int e = 1; e <= m->plates(); ++e) {
        int nn[4];
        plate_nodes(*m, e, nn);
        T_ELEM_D rec;
        for (int n : nn)
            rec.aNodeK.Add(static_cast<unsigned int>(n));
        elems.Set(static_cast<unsigned int>(e), rec);
        ids[static_cast<unsigned int>(e)] = {e, e};
    }
    b.ConnectResultFiles(m->files[0].c_str(), 1, ids);
    CPVSTHEngine engine;
    for (auto _ : state) {
        Checksum sum;
        const auto t0 = std::chrono::steady_clock::now();
        for (int e = 1; e <= m->plates(); ++e) {
            T_THRD_D f;
            f.nCode = 4;
            f.nEntityK = static_cast<unsigned int>(e);
            f.nResultKind = 2;
            f.nComponent = 3;
            f.nAcasK = acas;
            const CArray<double, double>* a = engine.Run(&f);
            for (int i = 0; i < a->GetSize(); ++i)
                sum.mix((*a)[i]);
        }
        const auto t1 = std::chrono::steady_clock::now();
        const double ns = std::chrono::duration<double, std::nano>(t1 - t0).count() / (static_cast<double>(m->plates()) * m->steps);
        figures_of(*m).chain_ns = ns;
        figures_of(*m).chain_checksum = sum.h;
        state.counters["ns_per_element_step"] = ns;
    }
    CZORDocBase::SetCurDoc(nullptr);
}

void BM_ReadersFloor(benchmark::State& state, Model* m)
{
    std::vector<double> out(static_cast<std::size_t>(m->steps));
    FamilyRoutine saved = family_table(Build::history)[1];
    family_table(Build::history)[1] = reading_family;
    g_model = m;
    for (auto _ : state) {
        const double ns = run_entry(*m, out, nullptr);
        figures_of(*m).floor_ns = ns;
        state.counters["ns_per_element_step"] = ns;
    }
    family_table(Build::history)[1] = saved;
}

void BM_EigenProduct(benchmark::State& state, Model* m)
{
    Eigen::Matrix<double, 94, 24> A;
    for (int c = 0; c < 24; ++c)
        for (int r = 0; r < 94; ++r)
            A(r, c) = std::sin(0.1 * r + 0.3 * c);
    Eigen::MatrixXd U(24, m->steps);
    for (int i = 0; i < m->steps; ++i)
        for (int r = 0; r < 24; ++r)
            U(r, i) = 1e-3 * std::cos(0.01 * i + r);
    Eigen::MatrixXd R(94, m->steps);
    for (auto _ : state) {
        const auto t0 = std::chrono::steady_clock::now();
        for (int e = 1; e <= m->plates(); ++e) {
            R.noalias() = A * U;
            benchmark::DoNotOptimize(R.data());
        }
        const auto t1 = std::chrono::steady_clock::now();
        const double ns = std::chrono::duration<double, std::nano>(t1 - t0).count() / (static_cast<double>(m->plates()) * m->steps);
        figures_of(*m).eigen_ns = ns;
        state.counters["ns_per_element_step"] = ns;
    }
}

} // namespace

int main(int argc, char** argv)
{
    benchmark::Initialize(&argc, argv);
    write_model(g_modal);
    write_model(g_direct);
    std::printf("files: modal %.1f MB, direct %.1f MB\n", files_megabytes(g_modal), files_megabytes(g_direct));
    for (Model* m : {&g_modal, &g_direct}) {
        const std::string n = m->name;
        benchmark::RegisterBenchmark(("Chain/" + n).c_str(), BM_Chain, m)->Iterations(1)->Unit(benchmark::kMillisecond);
        benchmark::RegisterBenchmark(("Family/" + n).c_str(), BM_Family, m)->Iterations(1)->Unit(benchmark::kMillisecond);
        benchmark::RegisterBenchmark(("ReadersFloor/" + n).c_str(), BM_ReadersFloor, m)->Iterations(1)->Unit(benchmark::kMillisecond);
        benchmark::RegisterBenchmark(("EigenProduct/" + n).c_str(), BM_EigenProduct, m)->Iterations(1)->Unit(benchmark::kMillisecond);
    }
    benchmark::RunSpecifiedBenchmarks();
    for (Model* m : {&g_modal, &g_direct}) {
        const Figures& f = figures_of(*m);
        std::printf("%s: %d plates x %d steps: whole chain %.1f ns per element-step, family alone %.1f ns, readers' "
                    "floor %.1f ns, Eigen 94x24 product %.2f ns; chain / floor %.2f, chain / Eigen %.1f, family / "
                    "floor %.2f, family / Eigen %.1f; checksums chain %016llx, family %016llx\n",
                    m->name, m->plates(), m->steps, f.chain_ns, f.family_ns, f.floor_ns, f.eigen_ns,
                    f.floor_ns > 0 ? f.chain_ns / f.floor_ns : 0.0, f.eigen_ns > 0 ? f.chain_ns / f.eigen_ns : 0.0,
                    f.floor_ns > 0 ? f.family_ns / f.floor_ns : 0.0, f.eigen_ns > 0 ? f.family_ns / f.eigen_ns : 0.0,
                    static_cast<unsigned long long>(f.chain_checksum), static_cast<unsigned long long>(f.checksum));
    }
    for (Model* m : {&g_modal, &g_direct})
        for (const auto& f : m->files)
            std::filesystem::remove(f);
    benchmark::Shutdown();
    return 0;
}
