// Cost per call of the numerical library's special functions and distributions on fixed
// argument grids, beside glibc's erfc, tgamma, lgamma and Boost.Math's ibeta and Student's t
// cdf in double on the same grids in the same run; and DBETAI and FDIST where shapes are large
// or far apart, beside a plain continued fraction (modified Lentz, stopping at 2^-52, where
// ours stops at 2^-58; its factor from lgamma), and DBETAI beside a second shape about 2^-20
// near x = 1 beside Boost.Math's ibeta, and DBETAI alone where both shapes are from 2^30 (no
// peer, nor a reference a set-up can afford: the tests hold its values). The largest error of
// each side against a 50-digit Boost.Math reference is computed in the set-up; the closing table
// prints the times, their ratio (ours / peer) and both errors.
#include <benchmark/benchmark.h>

#include <boost/math/distributions/students_t.hpp>
#include <boost/math/special_functions/beta.hpp>
#include <boost/math/special_functions/erf.hpp>
#include <boost/math/special_functions/gamma.hpp>
#include <boost/multiprecision/cpp_bin_float.hpp>

#include <chrono>
#include <cmath>
#include <cstdio>
#include <map>
#include <string>
#include <vector>

#include "numerics/numerics.h"

namespace {

using namespace kvpvs::numerics;
using Big = boost::multiprecision::cpp_bin_float_50;

struct Args3 {
    double a, b, c;
};

struct Grids {
    std::vector<double> erfc_x, gamma_x, lgamma_x;
    std::vector<Args3> ibeta;  // x, p, q
    std::vector<Args3> tcdf;   // t, df
    // x, p, q: a small shape beside one of 500 to 5e5; both shapes 1e5 to 1e7 about the mean
    std::vector<Args3> beta_apart, beta_large;
    std::vector<Args3> fdist_apart;  // F, DFN, DFD: the F test of a fit of 1e3 to 1e6 points
    // x, p, q: a second shape about 2^-20 beside p of 17 to 1e6, x near 1 ((1 - x) p up to 2)
    std::vector<Args3> beta_tiny_q;
    // x, p, q: both shapes 2^30 to 1e20 within 30 spreads of the mean, and 5e307 at it
    std::vector<Args3> beta_huge;
};

const Grids& grids()
{
    static const Grids g = [] {
        Grids g;
        for (int i = 0; i < 1000; ++i)
            g.erfc_x.push_back(-5.0 + 31.0 * i / 1000.0);  // [-5, 26)
        for (int i = 0; i < 1000; ++i) {
            const double x = -9.75 + 179.0 * i / 1000.0 + 0.0137;
            if (!(x <= 0.0 && x == std::nearbyint(x)))
                g.gamma_x.push_back(x);
        }
        for (int i = 1; i <= 1000; ++i)
            g.lgamma_x.push_back(0.05 * i * std::sqrt(1.0 + i));
        const double shapes[] = {0.5, 1.0, 2.5, 7.0, 20.0};
        for (double p : shapes)
            for (double q : shapes)
                for (int i = 1; i < 20; ++i)
                    g.ibeta.push_back({i / 20.0, p, q});
        const double dfs[] = {1, 2, 3, 5, 8, 13, 19, 25, 40, 2.5, 7.5, 100.5};
        for (double df : dfs)
            for (int i = 0; i < 40; ++i)
                g.tcdf.push_back({-6.0 + 12.0 * i / 39.0, df, 0.0});
        for (double dfn : {1.0, 2.0, 3.0, 5.0, 9.0})
            for (double dfd : {1e3, 1e4, 1e5, 1e6})
                for (double f : {0.3, 0.8, 1.5, 3.0, 8.0}) {
                    g.fdist_apart.push_back({f, dfn, dfd});
                    g.beta_apart.push_back({dfn * f / (dfn * f + dfd), dfn / 2.0, dfd / 2.0});
                }
        for (double p : {1e5, 1e6, 1e7})
            for (double q : {1e5, 1e6, 1e7})
                for (double k : {-3.0, -1.0, 0.0, 1.0, 3.0}) {
                    const double spread = std::sqrt(p * q / (p + q)) / (p + q);
                    g.beta_large.push_back({p / (p + q) + k * spread, p, q});
                }
        for (double p : {17.0, 387.96286197838356, 5000.0, 1e6})
            for (double q : {0x1p-20 * (1.0 - 0x1p-52), 0x1p-20, 0x1p-20 * (1.0 + 0x1p-51), 9.7635971255876165e-07, 0x1p-16})
                for (double k : {1e-3, 0.1, 0.5, 1.0, 1.9})
                    g.beta_tiny_q.push_back({1.0 - k / p, p, q});
        g.beta_tiny_q.push_back({0.99999999999649136, 387.96286197838356, 9.7635971255876165e-07});
        for (const auto& [p, q] : {std::pair{0x1p30, 0x1p30}, std::pair{0x1p30, 0x3p30}, std::pair{1e12, 3e12},
                                   std::pair{1e15, 1e15}, std::pair{3e20, 1e20}})
            for (double k : {-30.0, -5.0, -1.0, 0.0, 1.0, 5.0, 30.0}) {
                const double spread = std::sqrt(p * q / (p + q)) / (p + q);
                g.beta_huge.push_back({p / (p + q) + k * spread, p, q});
            }
        g.beta_huge.push_back({0.5, 5e307, 5e307});
        return g;
    }();
    return g;
}

struct Row {
    double ns_ours = 0, ns_peer = 0, err_ours = 0, err_peer = 0;
    const char* error_kind = "";
};
std::map<std::string, Row>& table()
{
    static std::map<std::string, Row> t;
    return t;
}

double rel(double v, const Big& ref)
{
    const Big r = ref == 0 ? Big(0) : abs((Big(v) - ref) / ref);
    return static_cast<double>(r);
}
double absdiff(double v, const Big& ref) { return static_cast<double>(abs(Big(v) - ref)); }

// The peer of the large and far-apart shapes: I_x(a, b) by the continued fraction below
// x (a + b + 2) < a + 1 (else 1 minus the other's), its factor x^a (1 - x)^b / B(a, b) from lgamma.
double fraction(double a, double b, double x)
{
    constexpr double TINY = 1e-300;
    const auto floor_tiny = [](double v) { return std::fabs(v) < TINY ? TINY : v; };
    double c = 1.0;
    double d = 1.0 / floor_tiny(1.0 - (a + b) * x / (a + 1.0));
    double h = d;
    for (int m = 1; m < 1000000; ++m) {
        double an = m * (b - m) * x / ((a - 1.0 + 2 * m) * (a + 2 * m));
        d = 1.0 / floor_tiny(1.0 + an * d);
        c = floor_tiny(1.0 + an / c);
        h *= d * c;
        an = -(a + m) * (a + b + m) * x / ((a + 2 * m) * (a + 1.0 + 2 * m));
        d = 1.0 / floor_tiny(1.0 + an * d);
        c = floor_tiny(1.0 + an / c);
        const double step = d * c;
        h *= step;
        if (std::fabs(step - 1.0) <= 0x1p-52)
            break;
    }
    return h;
}
double plain_ibeta(double x, double a, double b)
{
    if (x == 0.0 || x == 1.0)
        return x;
    const double factor =
        std::exp(std::lgamma(a + b) - std::lgamma(a) - std::lgamma(b) + a * std::log(x) + b * std::log1p(-x));
    if (x * (a + b + 2.0) < a + 1.0)
        return factor * fraction(a, b, x) / a;
    return 1.0 - factor * fraction(b, a, 1.0 - x) / b;
}
double plain_fdist(double f, double dfn, double dfd) { return plain_ibeta(dfn * f / (dfn * f + dfd), dfn / 2.0, dfd / 2.0); }

double ref_fdist(const Args3& a)
{
    const Big nf = Big(a.b) * Big(a.a);
    return static_cast<double>(boost::math::ibeta(Big(a.b) / 2, Big(a.c) / 2, nf / (nf + Big(a.c))));
}

// Largest errors of both sides against the 50-digit reference, before any timing.
void compute_errors()
{
    const Grids& g = grids();
    auto& t = table();
    for (double x : g.erfc_x) {
        const Big ref = boost::math::erfc(Big(x));
        t["erfc"].err_ours = std::max(t["erfc"].err_ours, rel(DERFC(x), ref));
        t["erfc"].err_peer = std::max(t["erfc"].err_peer, rel(std::erfc(x), ref));
    }
    t["erfc"].error_kind = "relative";
    for (double x : g.gamma_x) {
        const Big ref = boost::math::tgamma(Big(x));
        t["gamma"].err_ours = std::max(t["gamma"].err_ours, rel(DGAMMA(x), ref));
        t["gamma"].err_peer = std::max(t["gamma"].err_peer, rel(std::tgamma(x), ref));
    }
    t["gamma"].error_kind = "relative";
    for (double x : g.lgamma_x) {
        const Big ref = boost::math::lgamma(Big(x));
        t["lgamma"].err_ours = std::max(t["lgamma"].err_ours, absdiff(DLNGAM(x), ref));
        t["lgamma"].err_peer = std::max(t["lgamma"].err_peer, absdiff(std::lgamma(x), ref));
    }
    t["lgamma"].error_kind = "absolute";
    for (const Args3& a : g.ibeta) {
        const Big ref = boost::math::ibeta(Big(a.b), Big(a.c), Big(a.a));
        t["ibeta"].err_ours = std::max(t["ibeta"].err_ours, absdiff(DBETAI(a.a, a.b, a.c), ref));
        t["ibeta"].err_peer = std::max(t["ibeta"].err_peer, absdiff(boost::math::ibeta(a.b, a.c, a.a), ref));
    }
    t["ibeta"].error_kind = "absolute";
    for (const Args3& a : g.tcdf) {
        const Big ref = boost::math::cdf(boost::math::students_t_distribution<Big>(Big(a.b)), Big(a.a));
        t["t cdf"].err_ours = std::max(t["t cdf"].err_ours, absdiff(TDIST(a.a, a.b), ref));
        t["t cdf"].err_peer = std::max(
            t["t cdf"].err_peer, absdiff(boost::math::cdf(boost::math::students_t_distribution<double>(a.b), a.a), ref));
    }
    t["t cdf"].error_kind = "absolute";
    for (const auto& [name, grid] : {std::pair{"beta 0.5-20", &g.ibeta}, std::pair{"beta apart", &g.beta_apart},
                                     std::pair{"beta large", &g.beta_large}, std::pair{"beta q~2^-20", &g.beta_tiny_q}}) {
        for (const Args3& a : *grid) {
            const Big ref = boost::math::ibeta(Big(a.b), Big(a.c), Big(a.a));
            t[name].err_ours = std::max(t[name].err_ours, absdiff(DBETAI(a.a, a.b, a.c), ref));
            t[name].err_peer = std::max(t[name].err_peer, absdiff(plain_ibeta(a.a, a.b, a.c), ref));
        }
        t[name].error_kind = "absolute";
    }
    for (const Args3& a : g.fdist_apart) {
        const double ref = ref_fdist(a);
        t["F apart"].err_ours = std::max(t["F apart"].err_ours, std::fabs(FDIST(a.a, a.b, a.c) - ref));
        t["F apart"].err_peer = std::max(t["F apart"].err_peer, std::fabs(plain_fdist(a.a, a.b, a.c) - ref));
    }
    t["F apart"].error_kind = "absolute";
}

// Times every call of f over the grid; records ns per call.
template <class Grid, class F>
void run(benchmark::State& state, const Grid& grid, double Row::*slot, const char* name, F f)
{
    double sink = 0.0;
    const auto t0 = std::chrono::steady_clock::now();
    for (auto _ : state)
        for (const auto& a : grid) {
            sink += f(a);
            benchmark::DoNotOptimize(sink);
        }
    const double ns = std::chrono::duration<double, std::nano>(std::chrono::steady_clock::now() - t0).count();
    const double per_call = ns / (static_cast<double>(state.iterations()) * static_cast<double>(grid.size()));
    table()[name].*slot = per_call;
    state.counters["ns_per_call"] = per_call;
}

void BM_DERFC(benchmark::State& s) { run(s, grids().erfc_x, &Row::ns_ours, "erfc", [](double x) { return DERFC(x); }); }
void BM_glibc_erfc(benchmark::State& s) { run(s, grids().erfc_x, &Row::ns_peer, "erfc", [](double x) { return std::erfc(x); }); }
void BM_DGAMMA(benchmark::State& s) { run(s, grids().gamma_x, &Row::ns_ours, "gamma", [](double x) { return DGAMMA(x); }); }
void BM_glibc_tgamma(benchmark::State& s) { run(s, grids().gamma_x, &Row::ns_peer, "gamma", [](double x) { return std::tgamma(x); }); }
void BM_DLNGAM(benchmark::State& s) { run(s, grids().lgamma_x, &Row::ns_ours, "lgamma", [](double x) { return DLNGAM(x); }); }
void BM_glibc_lgamma(benchmark::State& s) { run(s, grids().lgamma_x, &Row::ns_peer, "lgamma", [](double x) { return std::lgamma(x); }); }
void BM_DBETAI(benchmark::State& s)
{
    run(s, grids().ibeta, &Row::ns_ours, "ibeta", [](const Args3& a) { return DBETAI(a.a, a.b, a.c); });
}
void BM_boost_ibeta(benchmark::State& s)
{
    run(s, grids().ibeta, &Row::ns_peer, "ibeta", [](const Args3& a) { return boost::math::ibeta(a.b, a.c, a.a); });
}
void BM_TDIST(benchmark::State& s)
{
    run(s, grids().tcdf, &Row::ns_ours, "t cdf", [](const Args3& a) { return TDIST(a.a, a.b); });
}
void BM_boost_students_t_cdf(benchmark::State& s)
{
    run(s, grids().tcdf, &Row::ns_peer, "t cdf", [](const Args3& a) {
        return boost::math::cdf(boost::math::students_t_distribution<double>(a.b), a.a);
    });
}

void BM_DBETAI_common(benchmark::State& s)
{
    run(s, grids().ibeta, &Row::ns_ours, "beta 0.5-20", [](const Args3& a) { return DBETAI(a.a, a.b, a.c); });
}
void BM_fraction_common(benchmark::State& s)
{
    run(s, grids().ibeta, &Row::ns_peer, "beta 0.5-20", [](const Args3& a) { return plain_ibeta(a.a, a.b, a.c); });
}
void BM_DBETAI_apart(benchmark::State& s)
{
    run(s, grids().beta_apart, &Row::ns_ours, "beta apart", [](const Args3& a) { return DBETAI(a.a, a.b, a.c); });
}
void BM_fraction_apart(benchmark::State& s)
{
    run(s, grids().beta_apart, &Row::ns_peer, "beta apart", [](const Args3& a) { return plain_ibeta(a.a, a.b, a.c); });
}
void BM_DBETAI_large(benchmark::State& s)
{
    run(s, grids().beta_large, &Row::ns_ours, "beta large", [](const Args3& a) { return DBETAI(a.a, a.b, a.c); });
}
void BM_fraction_large(benchmark::State& s)
{
    run(s, grids().beta_large, &Row::ns_peer, "beta large", [](const Args3& a) { return plain_ibeta(a.a, a.b, a.c); });
}
void BM_DBETAI_tiny_q(benchmark::State& s)
{
    run(s, grids().beta_tiny_q, &Row::ns_ours, "beta q~2^-20", [](const Args3& a) { return DBETAI(a.a, a.b, a.c); });
}
void BM_boost_ibeta_tiny_q(benchmark::State& s)
{
    run(s, grids().beta_tiny_q, &Row::ns_peer, "beta q~2^-20",
        [](const Args3& a) { return boost::math::ibeta(a.b, a.c, a.a); });
}
void BM_DBETAI_huge(benchmark::State& s)
{
    run(s, grids().beta_huge, &Row::ns_ours, "beta huge", [](const Args3& a) { return DBETAI(a.a, a.b, a.c); });
}
void BM_FDIST_apart(benchmark::State& s)
{
    run(s, grids().fdist_apart, &Row::ns_ours, "F apart", [](const Args3& a) { return FDIST(a.a, a.b, a.c); });
}
void BM_fraction_F_apart(benchmark::State& s)
{
    run(s, grids().fdist_apart, &Row::ns_peer, "F apart", [](const Args3& a) { return plain_fdist(a.a, a.b, a.c); });
}

BENCHMARK(BM_DERFC);
BENCHMARK(BM_glibc_erfc);
BENCHMARK(BM_DGAMMA);
BENCHMARK(BM_glibc_tgamma);
BENCHMARK(BM_DLNGAM);
BENCHMARK(BM_glibc_lgamma);
BENCHMARK(BM_DBETAI);
BENCHMARK(BM_boost_ibeta);
BENCHMARK(BM_TDIST);
BENCHMARK(BM_boost_students_t_cdf);
BENCHMARK(BM_DBETAI_common);
BENCHMARK(BM_fraction_common);
BENCHMARK(BM_DBETAI_apart);
BENCHMARK(BM_fraction_apart);
BENCHMARK(BM_DBETAI_large);
BENCHMARK(BM_fraction_large);
BENCHMARK(BM_DBETAI_tiny_q);
BENCHMARK(BM_boost_ibeta_tiny_q);
BENCHMARK(BM_DBETAI_huge);
BENCHMARK(BM_FDIST_apart);
BENCHMARK(BM_fraction_F_apart);

}  // namespace

int main(int argc, char** argv)
{
    compute_errors();
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    std::printf("\n%-11s %12s %12s %8s   %-9s %12s %12s\n", "function", "ours ns", "peer ns", "ratio", "error", "ours max",
                "peer max");
    for (const char* name : {"erfc", "gamma", "lgamma", "ibeta", "t cdf", "beta 0.5-20", "beta apart", "beta large", "beta q~2^-20",
                             "beta huge", "F apart"}) {
        const Row& r = table()[name];
        if (r.ns_peer == 0.0) {  // ours alone
            std::printf("%-11s %12.1f\n", name, r.ns_ours);
            continue;
        }
        std::printf("%-11s %12.1f %12.1f %8.2f   %-9s %12.3e %12.3e\n", name, r.ns_ours, r.ns_peer, r.ns_ours / r.ns_peer,
                    r.error_kind, r.err_ours, r.err_peer);
    }
    return 0;
}
