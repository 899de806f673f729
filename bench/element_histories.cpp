// Plate histories: a modal history (20 modes, 10,000 steps) of 1,000 four-node plates and a
// direct history (5,000 steps) of 200, each plate's centre Mx over all steps. The whole chain:
// a stored plate function per plate run by the time-history engine (plate function, element-
// results entry, plate family, kernels, unit conversion); and the family alone through the
// entry, one call per plate. In the same run, the readers' floor (the same displacement
// histories read alone through read_element_data, behind the same entry) and Eigen's product of
// a 94 x 24 matrix with the 24 x n displacements, the bound of any linear recovery. Prints the
// time per element-step, both ratios and the checksums of the series.
// Eight-node plates (modal, 10,000 steps) besides: the set-up of one element (four sub-plate
// stiffnesses, the condensation, the centre node recovered over all values) and the per-step
// cost (the stiffness product and the four sub-plate results), against Eigen's LLT-based Schur
// complement and solve on the same 54 x 54 assembly and Eigen's product of a 174 x 48 matrix
// with the 48 x n displacements.
// Twenty-node solids and eight-node plane-strain elements (modal, 10,000 steps) the same way:
// the set-up of one element (its result matrix: stiffness and stress rows) and the per-step
// cost (the rest of an element's entry call per step), against Eigen's product of each
// family's result matrix (228 x 120, 60 x 48) with all steps' displacements, and the 20-node
// stiffness accumulation against Eigen's sum of 27 B^T D B products of the same sizes.
#include "recovery/drivers/element_results.h"
#include "recovery/drivers/family_dispatch.h"
#include "recovery/drivers/family_support.h"
#include "recovery/drivers/plane_families.h"
#include "recovery/drivers/record_readers.h"
#include "recovery/drivers/solid_families.h"
#include "recovery/drivers/sub_plate_results.h"
#include "recovery/drivers/sub_plate_stiffness.h"
#include "result_files/element_records.h"
#include "result_files/reference_shell.h"
#include "result_files/result_file_writer.h"
#include "timehistory/CPVSTHEngine.h"

#include "DBDoc.h"
#include "THResultBuilder.h"

#include <benchmark/benchmark.h>
#include <eigen3/Eigen/Dense>

#include <algorithm>
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


// --- Eight-node plates -------------------------------------------------------------------------
// The same tilted wall of 1.0 x 0.8 plates, each with its four mid-side nodes: corner (i, j) is
// node 1 + i + (nx + 1) j, then the mid-sides of the horizontal, then of the vertical sides.
struct QuadModel {
    int nx = 5, ny = 4, steps = 10000, modes = 20;
    std::string base;
    std::vector<std::string> files;
    int plates() const { return nx * ny; }
    int corner(int i, int j) const { return 1 + i + (nx + 1) * j; }
    int horizontal(int i, int j) const { return (nx + 1) * (ny + 1) + 1 + i + nx * j; }
    int vertical(int i, int j) const { return (nx + 1) * (ny + 1) + nx * (ny + 1) + 1 + i + (nx + 1) * j; }
    int nodes() const { return vertical(nx, ny - 1); }
    void element_nodes(int e, int n[8]) const
    {
        const int i = (e - 1) % nx;
        const int j = (e - 1) / nx;
        const int list[8] = {corner(i, j), corner(i + 1, j), corner(i + 1, j + 1), corner(i, j + 1),
                             horizontal(i, j), vertical(i + 1, j), horizontal(i, j + 1), vertical(i, j)};
        std::copy(list, list + 8, n);
    }
};

QuadModel g_quad;
// Centre Mx: row 48 + 14 * 0 + 10.
constexpr int QUAD_ROW = 58;

void write_quad_model(QuadModel& m)
{
    m.base = (std::filesystem::temp_directory_path() / ("kvpvs_bench_eh_quad_" + std::to_string(getpid()))).string();
    rf::ResultSetBuilder b;
    rf::HistoryFacts h;
    h.type = 1;
    h.case_or_file = 1;
    h.modes = m.modes;
    h.steps_per_mode = m.steps;
    b.set_history(1, h);
    b.add_material(1, 2.5e7, 0.2);
    const double c = std::cos(0.3), s = std::sin(0.3);
    auto place = [&](double x, double z) { return rf::Point3{x * c, x * s, z}; };
    std::vector<rf::Point3> at(static_cast<std::size_t>(m.nodes() + 1));
    for (int j = 0; j <= m.ny; ++j)
        for (int i = 0; i <= m.nx; ++i) {
            at[static_cast<std::size_t>(m.corner(i, j))] = place(1.0 * i, 0.8 * j);
            if (i < m.nx)
                at[static_cast<std::size_t>(m.horizontal(i, j))] = place(1.0 * i + 0.5, 0.8 * j);
            if (j < m.ny)
                at[static_cast<std::size_t>(m.vertical(i, j))] = place(1.0 * i, 0.8 * j + 0.4);
        }
    for (int n = 1; n <= m.nodes(); ++n)
        b.set_node(n, at[static_cast<std::size_t>(n)][0], at[static_cast<std::size_t>(n)][1], at[static_cast<std::size_t>(n)][2]);
    std::vector<rf::QuadPlateRecordFacts> plth;
    for (int e = 1; e <= m.plates(); ++e) {
        b.set_element(e, 1);
        int nn[8];
        m.element_nodes(e, nn);
        rf::QuadPlateRecordFacts f;
        for (int k = 0; k < 8; ++k) {
            f.nodes[static_cast<std::size_t>(k)] = nn[k];
            for (int d = 1; d <= 6; ++d)
                f.equations.push_back(6 * (nn[k] - 1) + d);
        }
        f.section[0] = f.section[1] = 0.3;
        f.E = 2.5e7;
        f.nu = 0.2;
        plth.push_back(f);
    }
    b.add_plth_records(plth);
    for (int eq = 1; eq <= 6 * m.nodes(); ++eq) {
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
    b.write(m.base);
    m.files = {b.elem_file_name(m.base), b.result_file_name(m.base)};
}

struct QuadFigures {
    double family_ns = 0.0;       // per element-step, through the entry
    double setup_us = 0.0;        // per element: stiffness, sub-plate displacements of all values
    double step_ns = 0.0;         // per element-step: K D and the four sub-plate results
    double condense_us = 0.0;     // condense_stiffness + recover_internal_dofs, all values
    double eigen_schur_us = 0.0;  // LLT Schur complement and solve, all values
    double eigen_product_ns = 0.0;  // 174 x 48 times 48 x n, per step
    std::uint64_t checksum = 0;
} g_quad_figures;

// The first element's geometry, section and displacements, as the family loads them.
struct QuadElement {
    kvpvs::recovery::FixedMatrix<3, 8> X;
    kvpvs::recovery::Mat33 T;
    std::vector<double> U;  // (120, n)
};

QuadElement quad_element(const QuadModel& m)
{
    QuadElement q;
    const double c = std::cos(0.3), s = std::sin(0.3);
    const double local[8][2] = {{0, 0}, {1, 0}, {1, 0.8}, {0, 0.8}, {0.5, 0}, {1, 0.4}, {0.5, 0.8}, {0, 0.4}};
    for (int k = 0; k < 8; ++k) {
        q.X(1, k + 1) = local[k][0] * c;
        q.X(2, k + 1) = local[k][0] * s;
        q.X(3, k + 1) = local[k][1];
    }
    double x[4], y[4], z[4];
    for (int k = 0; k < 4; ++k) {
        x[k] = q.X(1, k + 1);
        y[k] = q.X(2, k + 1);
        z[k] = q.X(3, k + 1);
    }
    element_axes(x, y, z, q.T, 4);
    q.U.assign(static_cast<std::size_t>(MAX_ELEMENT_DOFS) * static_cast<std::size_t>(m.steps), 0.0);
    for (int i = 0; i < m.steps; ++i)
        for (int r = 0; r < 48; ++r)
            q.U[static_cast<std::size_t>(r + MAX_ELEMENT_DOFS * i)] = 1e-3 * std::sin(0.01 * i + 0.7 * r);
    SharedBlocks& blocks = shared_blocks();
    blocks.section_values.fill(0.0);
    blocks.section_values[0] = blocks.section_values[1] = 0.3;
    blocks.material_block.elastic_modulus = 2.5e7;
    blocks.material_block.poisson_ratio = 0.2;
    blocks.material_block.material_type = 0;
    blocks.membrane_flag = 0;
    blocks.plane_mode = 0;
    return q;
}

double elapsed_ns(std::chrono::steady_clock::time_point t0)
{
    return std::chrono::duration<double, std::nano>(std::chrono::steady_clock::now() - t0).count();
}

void BM_QuadFamily(benchmark::State& state)
{
    const QuadModel& m = g_quad;
    std::vector<double> out(static_cast<std::size_t>(m.steps));
    for (auto _ : state) {
        Checksum sum;
        const auto t0 = std::chrono::steady_clock::now();
        for (int e = 1; e <= m.plates(); ++e) {
            history_build::element_results(m.base.data(), static_cast<int>(m.base.size()), 7, e, QUAD_ROW, 1, m.steps, 4,
                                           0, out.data(), 0, e);
            for (double v : out)
                sum.mix(v);
        }
        g_quad_figures.family_ns = elapsed_ns(t0) / (static_cast<double>(m.plates()) * m.steps);
        g_quad_figures.checksum = sum.h;
        state.counters["ns_per_element_step"] = g_quad_figures.family_ns;
    }
}

void BM_QuadSetUpAndStep(benchmark::State& state)
{
    const QuadModel& m = g_quad;
    DriverBuildState& build = driver_build(Build::history);
    QuadElement q = quad_element(m);
    const int n = m.steps;
    std::vector<double> S(static_cast<std::size_t>(24 * 4) * static_cast<std::size_t>(n));
    FixedMatrix<48, 48> K;
    FixedMatrix<24, 4> E;
    FixedMatrix<8, 9> P;
    std::vector<double> F(48);
    double sink = 0.0;
    for (auto _ : state) {
        const auto t0 = std::chrono::steady_clock::now();
        sub_plate_displacements(build, 8, 0, ConstMatView(q.U.data(), MAX_ELEMENT_DOFS, MAX_ELEMENT_DOFS, n),
                                MatView(S.data(), 24, 24, 4 * n), n, q.X);
        quadratic_plate_stiffness(build, 8, K, q.X);
        g_quad_figures.setup_us = elapsed_ns(t0) / 1e3;
        const auto t1 = std::chrono::steady_clock::now();
        for (int i = 0; i < n; ++i) {
            const double* d = q.U.data() + static_cast<std::size_t>(MAX_ELEMENT_DOFS) * static_cast<std::size_t>(i);
            quad_plate_forces(K, d, 48, F.data());
            sink += F[47];
            std::copy_n(S.data() + static_cast<std::size_t>(96) * static_cast<std::size_t>(i), 96, E.a.begin());
            sub_plate_stresses(build, 8, 0, E, P, q.X, i + 1, q.T);
            sink += P(1, 1);
        }
        g_quad_figures.step_ns = elapsed_ns(t1) / n;
        benchmark::DoNotOptimize(sink);
        state.counters["setup_us"] = g_quad_figures.setup_us;
        state.counters["step_ns"] = g_quad_figures.step_ns;
    }
}

void BM_QuadCondensation(benchmark::State& state)
{
    const QuadModel& m = g_quad;
    DriverBuildState& build = driver_build(Build::history);
    QuadElement q = quad_element(m);
    const int n = m.steps;
    std::vector<double> G(54 * 54);
    double x[8], y[8], z[8];
    for (int k = 0; k < 8; ++k) {
        x[k] = q.X(1, k + 1);
        y[k] = q.X(2, k + 1);
        z[k] = q.X(3, k + 1);
    }
    SubPlateAxes Ts{};
    assemble_sub_plate_matrix(build, MatView(G.data(), 54, 54, 54), x, y, z, 8, 0, Ts);
    const std::vector<double> loads(static_cast<std::size_t>(54) * static_cast<std::size_t>(n), 0.0);
    std::vector<double> Q(static_cast<std::size_t>(6) * static_cast<std::size_t>(n));
    Eigen::Map<const Eigen::MatrixXd> Gm(G.data(), 54, 54);
    Eigen::MatrixXd Ue(48, n);
    for (int i = 0; i < n; ++i)
        for (int r = 0; r < 48; ++r)
            Ue(r, i) = q.U[static_cast<std::size_t>(r + MAX_ELEMENT_DOFS * i)];
    double check_ours = 0.0, check_eigen = 0.0;
    for (auto _ : state) {
        std::vector<double> Gc = G;
        const auto t0 = std::chrono::steady_clock::now();
        condense_stiffness(54, 6, MatView(Gc.data(), 54, 54, 54));
        recover_internal_dofs(54, 6, ConstMatView(q.U.data(), MAX_ELEMENT_DOFS, MAX_ELEMENT_DOFS, n),
                              ConstMatView(G.data(), 54, 54, 54), ConstMatView(loads.data(), 54, 54, n),
                              MatView(Q.data(), 6, 6, n), n);
        g_quad_figures.condense_us = elapsed_ns(t0) / 1e3;
        check_ours = Gc[0] + Q[0];

        const auto t1 = std::chrono::steady_clock::now();
        const Eigen::LLT<Eigen::Matrix<double, 6, 6>> llt(Gm.block<6, 6>(48, 48));
        const Eigen::Matrix<double, 48, 48> Sc = Gm.block<48, 48>(0, 0) - Gm.block<48, 6>(0, 48) * llt.solve(Gm.block<6, 48>(48, 0));
        const Eigen::MatrixXd Qe = llt.solve(-(Gm.block<6, 48>(48, 0) * Ue));
        g_quad_figures.eigen_schur_us = elapsed_ns(t1) / 1e3;
        check_eigen = Sc(0, 0) + Qe(0, 0);
        benchmark::DoNotOptimize(check_ours);
        benchmark::DoNotOptimize(check_eigen);
        state.counters["ours_us"] = g_quad_figures.condense_us;
        state.counters["eigen_us"] = g_quad_figures.eigen_schur_us;
    }
    if (std::fabs(check_ours - check_eigen) > 1e-6 * std::fabs(check_eigen))
        std::printf("condensation check differs: %.17g against Eigen %.17g\n", check_ours, check_eigen);
}

void BM_QuadEigenProduct(benchmark::State& state)
{
    const int n = g_quad.steps;
    Eigen::Matrix<double, 174, 48> A;
    for (int c = 0; c < 48; ++c)
        for (int r = 0; r < 174; ++r)
            A(r, c) = std::sin(0.1 * r + 0.3 * c);
    Eigen::MatrixXd U(48, n);
    for (int i = 0; i < n; ++i)
        for (int r = 0; r < 48; ++r)
            U(r, i) = 1e-3 * std::cos(0.01 * i + r);
    Eigen::MatrixXd R(174, n);
    for (auto _ : state) {
        const auto t0 = std::chrono::steady_clock::now();
        R.noalias() = A * U;
        benchmark::DoNotOptimize(R.data());
        g_quad_figures.eigen_product_ns = elapsed_ns(t0) / n;
        state.counters["ns_per_step"] = g_quad_figures.eigen_product_ns;
    }
}

void report_quad()
{
    const QuadFigures& f = g_quad_figures;
    std::printf("eight-node modal: %d plates x %d steps: family %.1f ns per element-step; set-up %.1f us per element "
                "(of it condensation and centre recovery %.1f us, Eigen LLT Schur complement and solve %.1f us, "
                "ours / Eigen %.2f); per step %.1f ns, Eigen 174x48 product %.2f ns, per step / Eigen %.1f; "
                "checksum %016llx\n",
                g_quad.plates(), g_quad.steps, f.family_ns, f.setup_us, f.condense_us, f.eigen_schur_us,
                f.eigen_schur_us > 0 ? f.condense_us / f.eigen_schur_us : 0.0, f.step_ns, f.eigen_product_ns,
                f.eigen_product_ns > 0 ? f.step_ns / f.eigen_product_ns : 0.0, static_cast<unsigned long long>(f.checksum));
}
// --- Twenty-node solids and eight-node plane-strain elements ----------------------------------
// Elements of their own nodes and equations, side by side along x: a 2 x 1.5 x 1 box of 20
// nodes, or a 2 x 1.5 rectangle of 8 in the X-Y plane.
struct SolidModel {
    const char* name;
    int kind;          // 8 quadratic solid, 6 quadratic plane strain
    int nodes;         // per element
    int row;           // centre Sig-zz (solid) or Sig-xx (plane strain)
    int elements = 20, steps = 10000, modes = 20;
    std::string base;
    std::vector<std::string> files;
};

SolidModel g_hex{"twenty-node solid", 8, 20, 63, 20, 10000, 20, {}, {}};
SolidModel g_plstrn{"eight-node plane strain", 6, 8, 25, 20, 10000, 20, {}, {}};

constexpr double SOLID_E = 3.0e4, SOLID_NU = 0.3;

// Node k of element e at its place: corners, then mid-sides, in the families' orders.
rf::Point3 solid_model_node(const SolidModel& m, int e, int k)
{
    const double ox = 2.5 * (e - 1);
    if (m.nodes == 20) {
        const double xi[20] = {-1, 1, 1, -1, -1, 1, 1, -1, 0, 1, 0, -1, 0, 1, 0, -1, -1, 1, 1, -1};
        const double eta[20] = {-1, -1, 1, 1, -1, -1, 1, 1, -1, 0, 1, 0, -1, 0, 1, 0, -1, -1, 1, 1};
        const double zeta[20] = {-1, -1, -1, -1, 1, 1, 1, 1, -1, -1, -1, -1, 1, 1, 1, 1, 0, 0, 0, 0};
        return {ox + (1 + xi[k]), 0.75 * (1 + eta[k]), 0.5 * (1 + zeta[k])};
    }
    const double xi[8] = {-1, 1, 1, -1, 0, 1, 0, -1}, eta[8] = {-1, -1, 1, 1, -1, 0, 1, 0};
    return {ox + (1 + xi[k]), 0.75 * (1 + eta[k]), 0.0};
}

void write_solid_model(SolidModel& m)
{
    m.base = (std::filesystem::temp_directory_path() /
              ("kvpvs_bench_eh_k" + std::to_string(m.kind) + "_" + std::to_string(getpid())))
                 .string();
    rf::ResultSetBuilder b;
    rf::HistoryFacts h;
    h.type = 1;
    h.case_or_file = 1;
    h.modes = m.modes;
    h.steps_per_mode = m.steps;
    b.set_history(1, h);
    b.add_material(1, SOLID_E, SOLID_NU);
    std::vector<std::vector<double>> records;
    for (int e = 1; e <= m.elements; ++e) {
        b.set_element(e, 1);
        std::vector<double> nodes;
        for (int k = 0; k < m.nodes; ++k) {
            const int n = (e - 1) * m.nodes + k + 1;
            const rf::Point3 x = solid_model_node(m, e, k);
            b.set_node(n, x[0], x[1], x[2]);
            nodes.push_back(n);
        }
        const std::vector<double> eq = rf::node_equations(m.nodes, 6 * m.nodes * (e - 1) + 1);
        if (m.kind == 8) {
            rf::QuadraticSolidFacts f;
            f.equations = eq;
            f.node_count = m.nodes;
            f.nodes = nodes;
            f.material = {SOLID_E, SOLID_NU, 0, {}};
            records.push_back(rf::quadratic_solid_record_values(f));
        } else {
            rf::QuadraticPlaneFacts f;
            f.equations = eq;
            f.node_count = m.nodes;
            f.nodes = nodes;
            f.section[0] = 1.0;
            f.material = {SOLID_E, SOLID_NU, 0, {}};
            f.axis_vector = {1, 0, 0};
            records.push_back(rf::plane_strain_record_values(f));
        }
    }
    rf::add_element_records(b, m.kind == 8 ? "PSOH" : "PSRH", 3, records);
    for (int eq = 1; eq <= 6 * m.nodes * m.elements; ++eq) {
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
    b.write(m.base);
    m.files = {b.elem_file_name(m.base), b.result_file_name(m.base)};
}

struct SolidFigures {
    double family_ns = 0.0;        // per element-step, through the entry
    double setup_us = 0.0;         // per element: the result matrix
    double step_ns = 0.0;          // per element-step: the entry's rest
    double eigen_product_ns = 0.0; // result matrix times the displacements, per step
    double stiffness_us = 0.0;     // 20-node set-up, repeated apart from the entry
    double eigen_btdb_us = 0.0;    // Eigen's sum of 27 B^T D B
    std::uint64_t checksum = 0;
};
SolidFigures g_solid_figures[2];
SolidFigures& solid_figures_of(const SolidModel& m) { return g_solid_figures[&m == &g_hex ? 0 : 1]; }

// The material block and the 2-D mode word as the families load them.
void load_solid_material(int plane_mode)
{
    SharedBlocks& blocks = shared_blocks();
    blocks.section_values.fill(0.0);
    blocks.section_values[0] = 1.0;
    blocks.material_block.elastic_modulus = SOLID_E;
    blocks.material_block.poisson_ratio = SOLID_NU;
    blocks.material_block.material_type = 0;
    blocks.material_block.material_constants.fill(0.0);
    blocks.plane_mode = plane_mode;
}

// One element's result matrix as the family forms it: M(228, 120) or W(60, 48).
double solid_setup_ns(const SolidModel& m, int repeats)
{
    DriverBuildState& build = driver_build(Build::history);
    std::vector<double> X(static_cast<std::size_t>(3 * m.nodes));
    for (int k = 0; k < m.nodes; ++k) {
        const rf::Point3 x = solid_model_node(m, 1, k);
        for (int d = 0; d < 3; ++d)
            X[static_cast<std::size_t>(3 * k + d)] = x[static_cast<std::size_t>(d)];
    }
    std::vector<double> M(m.kind == 8 ? 228 * 120 : 60 * 48);
    double sink = 0.0;
    const auto t0 = std::chrono::steady_clock::now();
    for (int r = 0; r < repeats; ++r) {
        if (m.kind == 8) {
            load_solid_material(0);
            Mat33 T{};
            T(1, 1) = T(2, 2) = T(3, 3) = 1.0;
            quadratic_solid_result_matrix(build, 20, MatView(M.data(), 228, 228, 120),
                                          ConstMatView(X.data(), 3, 3, 20), T, 27);
        } else {
            load_solid_material(1);
            std::fill(M.begin(), M.end(), 0.0);
            quadratic_2d_result_matrix(build, 8, MatView(M.data(), 60, 60, 48), ConstMatView(X.data(), 3, 3, 8));
        }
        sink += M[0];
    }
    benchmark::DoNotOptimize(sink);
    return elapsed_ns(t0) / repeats;
}

void BM_SolidFamily(benchmark::State& state, SolidModel* m)
{
    std::vector<double> out(static_cast<std::size_t>(m->steps));
    SolidFigures& f = solid_figures_of(*m);
    for (auto _ : state) {
        Checksum sum;
        const auto t0 = std::chrono::steady_clock::now();
        for (int e = 1; e <= m->elements; ++e) {
            history_build::element_results(m->base.data(), static_cast<int>(m->base.size()), m->kind, e, m->row, 1,
                                           m->steps, 4, 0, out.data(), 1, e);
            for (double v : out)
                sum.mix(v);
        }
        f.family_ns = elapsed_ns(t0) / (static_cast<double>(m->elements) * m->steps);
        f.checksum = sum.h;
        f.setup_us = solid_setup_ns(*m, 20) / 1e3;
        f.step_ns = f.family_ns - f.setup_us * 1e3 / m->steps;
        state.counters["ns_per_element_step"] = f.family_ns;
        state.counters["setup_us"] = f.setup_us;
    }
}

void BM_SolidEigenProduct(benchmark::State& state, SolidModel* m)
{
    const int rows = m->kind == 8 ? 228 : 60, cols = m->kind == 8 ? 120 : 48, n = m->steps;
    Eigen::MatrixXd A(rows, cols);
    for (int c = 0; c < cols; ++c)
        for (int r = 0; r < rows; ++r)
            A(r, c) = std::sin(0.1 * r + 0.3 * c);
    Eigen::MatrixXd U(cols, n);
    for (int i = 0; i < n; ++i)
        for (int r = 0; r < cols; ++r)
            U(r, i) = 1e-3 * std::cos(0.01 * i + r);
    Eigen::MatrixXd R(rows, n);
    for (auto _ : state) {
        const auto t0 = std::chrono::steady_clock::now();
        R.noalias() = A * U;
        benchmark::DoNotOptimize(R.data());
        solid_figures_of(*m).eigen_product_ns = elapsed_ns(t0) / n;
        state.counters["ns_per_step"] = solid_figures_of(*m).eigen_product_ns;
    }
}

// The 20-node set-up (the stiffness accumulated over 27 points, then the stress rows) against
// Eigen's sum of 27 weighted B^T D B products, B 6 x 60 and D 6 x 6: the stiffness alone is not
// reachable from outside the family, so the ratio bounds the accumulation from above.
void BM_SolidStiffness(benchmark::State& state)
{
    std::vector<Eigen::Matrix<double, 6, 60>> B(27);
    for (int p = 0; p < 27; ++p)
        for (int c = 0; c < 60; ++c)
            for (int r = 0; r < 6; ++r)
                B[static_cast<std::size_t>(p)](r, c) = std::sin(0.2 * r + 0.05 * c + 0.7 * p);
    Eigen::Matrix<double, 6, 6> D = Eigen::Matrix<double, 6, 6>::Identity() * SOLID_E;
    constexpr int REPEATS = 50;
    for (auto _ : state) {
        g_solid_figures[0].stiffness_us = solid_setup_ns(g_hex, REPEATS) / 1e3;
        Eigen::Matrix<double, 60, 60> Ke;
        const auto t1 = std::chrono::steady_clock::now();
        for (int r = 0; r < REPEATS; ++r) {
            Ke.setZero();
            for (int p = 0; p < 27; ++p)
                Ke.noalias() += 0.3 * B[static_cast<std::size_t>(p)].transpose() * (D * B[static_cast<std::size_t>(p)]);
            benchmark::DoNotOptimize(Ke.data());
        }
        g_solid_figures[0].eigen_btdb_us = elapsed_ns(t1) / REPEATS / 1e3;
        state.counters["ours_us"] = g_solid_figures[0].stiffness_us;
        state.counters["eigen_us"] = g_solid_figures[0].eigen_btdb_us;
    }
}

void report_solids()
{
    for (const SolidModel* m : {&g_hex, &g_plstrn}) {
        const SolidFigures& f = solid_figures_of(*m);
        std::printf("%s modal: %d elements x %d steps: family %.1f ns per element-step; set-up (result matrix) %.1f us "
                    "per element; per step %.1f ns, Eigen %dx%d product %.2f ns, per step / Eigen %.1f; checksum "
                    "%016llx\n",
                    m->name, m->elements, m->steps, f.family_ns, f.setup_us, f.step_ns, m->kind == 8 ? 228 : 60,
                    m->kind == 8 ? 120 : 48, f.eigen_product_ns,
                    f.eigen_product_ns > 0 ? f.step_ns / f.eigen_product_ns : 0.0,
                    static_cast<unsigned long long>(f.checksum));
    }
    const SolidFigures& h = g_solid_figures[0];
    std::printf("twenty-node set-up (stiffness over 27 points and stress rows) %.1f us, Eigen's sum of 27 B^T D B "
                "%.1f us, ours / Eigen %.2f\n",
                h.stiffness_us, h.eigen_btdb_us, h.eigen_btdb_us > 0 ? h.stiffness_us / h.eigen_btdb_us : 0.0);
}
} // namespace

int main(int argc, char** argv)
{
    benchmark::Initialize(&argc, argv);
    write_model(g_modal);
    write_model(g_direct);
    write_quad_model(g_quad);
    write_solid_model(g_hex);
    write_solid_model(g_plstrn);
    std::printf("files: modal %.1f MB, direct %.1f MB\n", files_megabytes(g_modal), files_megabytes(g_direct));
    for (Model* m : {&g_modal, &g_direct}) {
        const std::string n = m->name;
        benchmark::RegisterBenchmark(("Chain/" + n).c_str(), BM_Chain, m)->Iterations(1)->Unit(benchmark::kMillisecond);
        benchmark::RegisterBenchmark(("Family/" + n).c_str(), BM_Family, m)->Iterations(1)->Unit(benchmark::kMillisecond);
        benchmark::RegisterBenchmark(("ReadersFloor/" + n).c_str(), BM_ReadersFloor, m)->Iterations(1)->Unit(benchmark::kMillisecond);
        benchmark::RegisterBenchmark(("EigenProduct/" + n).c_str(), BM_EigenProduct, m)->Iterations(1)->Unit(benchmark::kMillisecond);
    }
    benchmark::RegisterBenchmark("QuadFamily/modal", BM_QuadFamily)->Iterations(1)->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark("QuadSetUpAndStep/modal", BM_QuadSetUpAndStep)->Iterations(1)->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark("QuadCondensation/modal", BM_QuadCondensation)->Iterations(1)->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark("QuadEigenProduct/modal", BM_QuadEigenProduct)->Iterations(1)->Unit(benchmark::kMillisecond);
    for (SolidModel* m : {&g_hex, &g_plstrn}) {
        const std::string n = m->kind == 8 ? "hex20" : "plstrn8";
        benchmark::RegisterBenchmark(("SolidFamily/" + n).c_str(), BM_SolidFamily, m)->Iterations(1)->Unit(benchmark::kMillisecond);
        benchmark::RegisterBenchmark(("SolidEigenProduct/" + n).c_str(), BM_SolidEigenProduct, m)->Iterations(1)->Unit(benchmark::kMillisecond);
    }
    benchmark::RegisterBenchmark("SolidStiffness/hex20", BM_SolidStiffness)->Iterations(1)->Unit(benchmark::kMillisecond);
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
    report_quad();
    report_solids();
    for (Model* m : {&g_modal, &g_direct})
        for (const auto& f : m->files)
            std::filesystem::remove(f);
    for (const auto& f : g_quad.files)
        std::filesystem::remove(f);
    for (const SolidModel* m : {&g_hex, &g_plstrn})
        for (const auto& f : m->files)
            std::filesystem::remove(f);
    benchmark::Shutdown();
    return 0;
}
