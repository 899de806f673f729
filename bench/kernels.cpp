// Per-element cost of the element library's kernels: stiffness and stress recovery of the
// 8-node plane element, and the isoparametric point evaluator of the quadratic solids.
// Counters: ns_per_element (or ns_per_point) and GFLOP/s, the latter from an operation
// count of the loops (multiply and add each count one; divisions one; the shape-function
// arithmetic is taken as 25 operations per node).
#include <benchmark/benchmark.h>

#include <array>
#include <chrono>
#include <cmath>

#include "recovery/kernels/element_library.h"

namespace {

using namespace kvpvs::recovery;

// Counters from the loop's own clock: ns per item and GFLOP/s (flops per ns).
void set_counters(benchmark::State& state, double flops_per_item, const char* time_name,
                  std::chrono::steady_clock::duration elapsed)
{
    const double items = static_cast<double>(state.iterations());
    const double ns = static_cast<double>(std::chrono::duration_cast<std::chrono::nanoseconds>(elapsed).count());
    state.counters[time_name] = ns / items;
    state.counters["GFLOP/s"] = items * flops_per_item / ns;
}

// Operations of one isoparam_jacobian point (no extra modes, B not counted: it is copies).
double isoparam_flops(int nnode, int ndim)
{
    const double n = nnode, d = ndim;
    const double det_and_inverse = ndim == 2 ? 3 + 1 + 4 : 17 + 1 + 27 + 9;
    return 25 * n + 2 * n * d + 2 * n * d * d + det_and_inverse + 2 * n * d * d;
}

// quadratic_2d_stiffness of nnode nodes: points of the rule, each an isoparam_jacobian and
// a B^T D B accumulation (D B, then the upper triangle of B^T (D B)), plus local
// coordinates and the 48 x 48 block rotation (K T then T^T W).
double stiffness_flops(int nnode)
{
    const double ndof = 2 * nnode, nstr = 3, npts = nnode == 6 ? 3 : 9;
    const double per_point = isoparam_flops(nnode, 2) + 3 + ndof * nstr * (2 * nstr + 1) + ndof * (ndof + 1) / 2 * 2 * nstr;
    return npts * per_point + nnode * 2 * 13 + 2 * (48.0 * 48.0 * 3 * 2);
}

// quadratic_2d_stresses: per point an isoparam_jacobian and per node D B (3 x 2) and its
// turn to global directions (3 x 3, two products and two sums each).
double stress_flops(int nnode)
{
    const double npts = nnode == 6 ? 4 : 10;
    return npts * (isoparam_flops(nnode, 2) + nnode * (3 * 2 * 2 * 3 + 3 * 3 * 4)) + nnode * 2 * 13;
}

struct PlaneElement {
    SharedBlocks blocks;
    ElementLibrary lib{Build::history, blocks};
    Mat33 T;
    FixedMatrix<3, 8> X;
    PlaneElement()
    {
        blocks.material_block.elastic_modulus = 2.0e5;
        blocks.material_block.poisson_ratio = 0.3;
        blocks.section_values[0] = 0.25;
        const double c = std::cos(0.3), s = std::sin(0.3);
        T(1, 1) = c;
        T(1, 2) = s;
        T(2, 1) = -s;
        T(2, 2) = c;
        T(3, 3) = 1.0;
        const double xy[8][2] = {{0, 0}, {4, 0.5}, {4.5, 3.5}, {-0.3, 3}, {2.1, 0.2}, {4.3, 2.0}, {2.0, 3.3}, {-0.1, 1.5}};
        for (int k = 1; k <= 8; ++k) {
            X(1, k) = xy[k - 1][0] * c - xy[k - 1][1] * s;
            X(2, k) = xy[k - 1][0] * s + xy[k - 1][1] * c;
            X(3, k) = 1.0;
        }
    }
};

void BM_Quad8Stiffness(benchmark::State& state)
{
    PlaneElement e;
    static FixedMatrix<48, 48> K, W;
    FixedMatrix<4, 17> R;
    const auto start = std::chrono::steady_clock::now();
    for (auto _ : state) {
        e.lib.quadratic_2d_stiffness(K, W, R, 48, 8, e.X, e.T, 1);
        benchmark::DoNotOptimize(K.a.data());
        benchmark::ClobberMemory();
    }
    set_counters(state, stiffness_flops(8), "ns_per_element", std::chrono::steady_clock::now() - start);
}
BENCHMARK(BM_Quad8Stiffness);

void BM_Quad8StressRecovery(benchmark::State& state)
{
    PlaneElement e;
    static FixedMatrix<60, 48> S;
    FixedMatrix<4, 17> R;
    const auto start = std::chrono::steady_clock::now();
    for (auto _ : state) {
        e.lib.quadratic_2d_stresses(S, R, 8, e.X, e.T);
        benchmark::DoNotOptimize(S.a.data());
        benchmark::ClobberMemory();
    }
    set_counters(state, stress_flops(8), "ns_per_element", std::chrono::steady_clock::now() - start);
}
BENCHMARK(BM_Quad8StressRecovery);

// Natural node positions of the quadratic solids (the library's node orders), scaled and
// mildly distorted.
template <int NNODE>
void solid_nodes(FixedMatrix<3, NNODE>& X)
{
    static const double tet[10][3] = {{0, 0, 0}, {1, 0, 0}, {0, 1, 0}, {0, 0, 1}, {.5, 0, 0}, {.5, .5, 0}, {0, .5, 0}, {0, 0, .5}, {.5, 0, .5}, {0, .5, .5}};
    static const double wedge[15][3] = {{0, 0, -1}, {1, 0, -1}, {0, 1, -1}, {0, 0, 1}, {1, 0, 1}, {0, 1, 1}, {.5, 0, -1}, {.5, .5, -1},
                                        {0, .5, -1}, {.5, 0, 1}, {.5, .5, 1}, {0, .5, 1}, {0, 0, 0}, {1, 0, 0}, {0, 1, 0}};
    static const double hex[20][3] = {{-1, -1, -1}, {1, -1, -1}, {1, 1, -1}, {-1, 1, -1}, {-1, -1, 1}, {1, -1, 1}, {1, 1, 1}, {-1, 1, 1},
                                      {0, -1, -1}, {1, 0, -1}, {0, 1, -1}, {-1, 0, -1}, {0, -1, 1}, {1, 0, 1}, {0, 1, 1}, {-1, 0, 1},
                                      {-1, -1, 0}, {1, -1, 0}, {1, 1, 0}, {-1, 1, 0}};
    const double(*nat)[3] = NNODE == 10 ? tet : NNODE == 15 ? wedge : hex;
    for (int k = 1; k <= NNODE; ++k)
        for (int i = 1; i <= 3; ++i) X(i, k) = 1.5 * nat[k - 1][i - 1] + 0.05 * std::sin(1.7 * k + i);
}

template <int NNODE, int NPTS>
void BM_IsoparamJacobian(benchmark::State& state)
{
    SharedBlocks blocks;
    ElementLibrary lib(Build::history, blocks);
    FixedMatrix<3, NNODE> X;
    solid_nodes<NNODE>(X);
    FixedMatrix<6, 3 * (NNODE + 3)> B;
    FixedMatrix<3, NNODE + 3> CD;
    FixedVector<NNODE + 3> N;
    FixedVector<3> x;
    std::array<std::array<double, 3>, NPTS> pts{};
    for (int p = 1; p <= NPTS; ++p) {
        double w;
        integration_points(pts[p - 1][0], pts[p - 1][1], pts[p - 1][2], w, p, NPTS, NNODE, 6);
    }
    int p = 0;
    double sum = 0.0;
    const auto start = std::chrono::steady_clock::now();
    for (auto _ : state) {
        double det;
        lib.isoparam_jacobian(B, det, CD, N, x, pts[p][0], pts[p][1], pts[p][2], X, NNODE, 3, 6, 0, 0);
        sum += det;
        p = p + 1 == NPTS ? 0 : p + 1;
        benchmark::DoNotOptimize(B.a.data());
        benchmark::ClobberMemory();
    }
    const auto elapsed = std::chrono::steady_clock::now() - start;
    benchmark::DoNotOptimize(sum);
    set_counters(state, isoparam_flops(NNODE, 3), "ns_per_point", elapsed);
}
BENCHMARK(BM_IsoparamJacobian<10, 4>)->Name("BM_IsoparamJacobian/Tet10");
BENCHMARK(BM_IsoparamJacobian<15, 9>)->Name("BM_IsoparamJacobian/Wedge15");
BENCHMARK(BM_IsoparamJacobian<20, 27>)->Name("BM_IsoparamJacobian/Hex20");

}  // namespace

BENCHMARK_MAIN();
