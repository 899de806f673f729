// Cost of the plate result routines (set-up call and per-step evaluation) and of the
// released-freedom completion with and without releases. Each benchmark sums its outputs
// into a checksum counter; shell_stiffness also checks, once, that reusing the last
// element's condensation gives bit for bit what a fresh library gives.
#include <benchmark/benchmark.h>
#include <cmath>
#include <cstring>
#include <memory>

#include "recovery/kernels/element_library.h"

using namespace kvpvs::recovery;

namespace {

struct Setup {
    SharedBlocks blocks;
    std::unique_ptr<ElementLibrary> lib;
    Mat33 T;
    FixedMatrix<3, 4> quad, tri;
    FixedMatrix<6, 4> U;
    FixedMatrix<8, 5> out;

    explicit Setup(Build b) : lib(std::make_unique<ElementLibrary>(b, blocks))
    {
        blocks.material_block.elastic_modulus = 2.0e5;
        blocks.material_block.poisson_ratio = 0.3;
        blocks.section_values[0] = 0.25;
        blocks.section_values[1] = 0.25;
        const double c = std::cos(0.3), s = std::sin(0.3);
        T.fill(0.0);
        T(1, 1) = c;
        T(1, 2) = s;
        T(2, 1) = -s;
        T(2, 2) = c;
        T(3, 3) = 1.0;
        const double q[4][2] = {{0, 0}, {2.2, 0.3}, {1.9, 1.7}, {-0.2, 1.3}};
        const double t[3][2] = {{0, 0}, {2.1, 0}, {0.6, 1.4}};
        for (int k = 1; k <= 4; ++k) {
            quad(1, k) = 1.0 + c * q[k - 1][0] - s * q[k - 1][1];
            quad(2, k) = 2.0 + s * q[k - 1][0] + c * q[k - 1][1];
            quad(3, k) = 0.5;
            if (k <= 3) {
                tri(1, k) = 1.0 + c * t[k - 1][0] - s * t[k - 1][1];
                tri(2, k) = 2.0 + s * t[k - 1][0] + c * t[k - 1][1];
                tri(3, k) = 0.5;
            }
        }
        for (int i = 1; i <= 24; ++i) U(i) = 1e-3 * std::sin(0.7 * i);
    }
    double sum() const
    {
        double s = 0.0;
        for (int i = 1; i <= 40; ++i) s += out(i);
        return s;
    }
};

template <int Routine>
void run_results(Setup& s, int step)
{
    int nn = 3;
    if constexpr (Routine == 0) s.lib->quad_thick_results(4, s.U, s.out, s.quad, s.T, step, 0);
    if constexpr (Routine == 1) s.lib->quad_thin_results(4, s.U, s.out, s.quad, s.T, step, 0);
    if constexpr (Routine == 2) s.lib->tri_thick_results(nn, s.U, s.out, s.tri, s.T, step);
    if constexpr (Routine == 3) s.lib->tri_thin_results(nn, s.U, s.out, s.tri, s.T, step, 1);
}

template <int Routine>
void BM_PlateResultsSetup(benchmark::State& state)
{
    Setup s(Build::history);
    double checksum = 0.0;
    for (auto _ : state) {
        run_results<Routine>(s, 1);
        checksum += s.sum();
        benchmark::DoNotOptimize(s.out.a.data());
    }
    state.counters["checksum"] = checksum / static_cast<double>(state.iterations());
}

template <int Routine>
void BM_PlateResultsStep(benchmark::State& state)
{
    Setup s(Build::history);
    run_results<Routine>(s, 1);
    double checksum = 0.0;
    for (auto _ : state) {
        run_results<Routine>(s, 2);
        checksum += s.sum();
        benchmark::DoNotOptimize(s.out.a.data());
    }
    state.counters["checksum"] = checksum / static_cast<double>(state.iterations());
}

BENCHMARK(BM_PlateResultsSetup<0>)->Name("quad_thick_results/setup");
BENCHMARK(BM_PlateResultsStep<0>)->Name("quad_thick_results/step");
BENCHMARK(BM_PlateResultsSetup<1>)->Name("quad_thin_results/setup");
BENCHMARK(BM_PlateResultsStep<1>)->Name("quad_thin_results/step");
BENCHMARK(BM_PlateResultsSetup<2>)->Name("tri_thick_results/setup");
BENCHMARK(BM_PlateResultsStep<2>)->Name("tri_thick_results/step");
BENCHMARK(BM_PlateResultsSetup<3>)->Name("tri_thin_results/setup");
BENCHMARK(BM_PlateResultsStep<3>)->Name("tri_thin_results/step");

// shell_stiffness on the quadrilateral of plate type `type`; release code 110 on node 2
// when released. alternate = true switches between two elements so every call rebuilds.
void BM_ShellStiffness(benchmark::State& state, int type, bool released, bool alternate)
{
    Setup s(Build::single_step);
    FixedVector<4> codes;
    codes.fill(0.0);
    if (released) codes(2) = 110.0;
    FixedMatrix<3, 4> other = s.quad;
    other(1, 3) += 0.1;
    FixedMatrix<6, 4> U;

    // Reused condensation against a fresh library: identical bits.
    {
        Setup fresh(Build::single_step);
        FixedMatrix<6, 4> a = s.U, b = s.U, c = s.U;
        s.lib->shell_stiffness(type, a.a.data(), 24, s.quad, 4, s.T, codes);
        s.lib->shell_stiffness(type, b.a.data(), 24, s.quad, 4, s.T, codes);
        fresh.lib->shell_stiffness(type, c.a.data(), 24, s.quad, 4, s.T, codes);
        if (std::memcmp(a.a.data(), c.a.data(), sizeof(double) * 24) != 0 ||
            std::memcmp(b.a.data(), c.a.data(), sizeof(double) * 24) != 0) {
            state.SkipWithError("reused condensation differs from a fresh one");
            return;
        }
    }
    double checksum = 0.0;
    long i = 0;
    for (auto _ : state) {
        U = s.U;
        const FixedMatrix<3, 4>& xyz = alternate && (i++ & 1) ? other : s.quad;
        s.lib->shell_stiffness(type, U.a.data(), 24, xyz, 4, s.T, codes);
        checksum += U(3, 2) + U(4, 2);  // the released w and theta-x of node 2
        benchmark::DoNotOptimize(U.a.data());
    }
    state.counters["checksum"] = checksum / static_cast<double>(state.iterations());
}

BENCHMARK_CAPTURE(BM_ShellStiffness, thick_no_release, 0, false, false);
BENCHMARK_CAPTURE(BM_ShellStiffness, thick_release_same_element, 0, true, false);
BENCHMARK_CAPTURE(BM_ShellStiffness, thick_release_new_element, 0, true, true);
BENCHMARK_CAPTURE(BM_ShellStiffness, thin_release_same_element, 1, true, false);
BENCHMARK_CAPTURE(BM_ShellStiffness, thin_release_new_element, 1, true, true);

}  // namespace

BENCHMARK_MAIN();
