// Cost of the curve fit on 10,000 and 100,000 points (x steps of 0.1 from 0, a smooth
// settlement-like curve plus noise) at degrees 2, 5 and 10, with the points in profile order and
// shuffled, beside LAPACK's
// least squares by QR without pivoting (dgels) on the raw Vandermonde matrix of the same data in
// the same run. curvefit's time includes its sort and statistics; dgels's the building of its
// matrix. The exact solution (rational arithmetic) is computed in the set-up; the closing table
// prints both times, their ratio, each method's largest relative coefficient error and a
// checksum of curvefit's coefficients (the same in every repetition and in both orders) for each
// size, then each method's cost per point at 100,000 points over that at 10,000.
#include <benchmark/benchmark.h>

#include <gmpxx.h>
#include <lapacke.h>

#include "curvefit/curvefit.h"

#include <algorithm>
#include <bit>
#include <chrono>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <map>
#include <random>
#include <string>
#include <vector>

namespace {

constexpr int SIZES[] = {10000, 100000};

struct Data {
    std::vector<double> x, y;
};

Data& profile(int n)
{
    static std::map<int, Data> cache;
    Data& p = cache[n];
    if (p.x.empty()) {
        std::mt19937 gen(20240607u);
        std::uniform_real_distribution<double> noise(-1.0, 1.0);
        for (int i = 0; i < n; ++i) {
            const double x = i * 0.1;
            p.x.push_back(x);
            p.y.push_back(50.0 * std::sin(x / 150.0) + 0.02 * x - 30.0 * std::exp(-x / 200.0) + noise(gen));
        }
    }
    return p;
}

Data& shuffled(int n)
{
    static std::map<int, Data> cache;
    Data& out = cache[n];
    if (out.x.empty()) {
        const Data& s = profile(n);
        std::vector<int> order(static_cast<std::size_t>(n));
        for (int i = 0; i < n; ++i)
            order[static_cast<std::size_t>(i)] = i;
        std::shuffle(order.begin(), order.end(), std::mt19937(99u));
        for (int i : order) {
            out.x.push_back(s.x[static_cast<std::size_t>(i)]);
            out.y.push_back(s.y[static_cast<std::size_t>(i)]);
        }
    }
    return out;
}

int Size(const Data& d) { return static_cast<int>(d.x.size()); }

// Exact least-squares coefficients of the profile: normal equations solved in rationals.
std::vector<mpq_class> Exact(int n, int degree)
{
    const int p = degree + 1;
    const Data& d = profile(n);
    std::vector<mpq_class> s(static_cast<std::size_t>(2 * p - 1)), r(static_cast<std::size_t>(p));
    for (int i = 0; i < n; ++i) {
        const mpq_class x(d.x[static_cast<std::size_t>(i)]), y(d.y[static_cast<std::size_t>(i)]);
        mpq_class pw(1);
        for (int k = 0; k < 2 * p - 1; ++k) {
            s[static_cast<std::size_t>(k)] += pw;
            if (k < p)
                r[static_cast<std::size_t>(k)] += pw * y;
            pw *= x;
        }
    }
    std::vector<std::vector<mpq_class>> m(static_cast<std::size_t>(p), std::vector<mpq_class>(static_cast<std::size_t>(p + 1)));
    for (int j = 0; j < p; ++j) {
        for (int k = 0; k < p; ++k)
            m[j][k] = s[static_cast<std::size_t>(j + k)];
        m[j][p] = r[static_cast<std::size_t>(j)];
    }
    for (int c = 0; c < p; ++c) {
        const mpq_class piv = m[c][c];
        for (int k = c; k <= p; ++k)
            m[c][k] /= piv;
        for (int j = 0; j < p; ++j)
            if (j != c && m[j][c] != 0) {
                const mpq_class f = m[j][c];
                for (int k = c; k <= p; ++k)
                    m[j][k] -= f * m[c][k];
            }
    }
    std::vector<mpq_class> b;
    for (int j = 0; j < p; ++j)
        b.push_back(m[j][p]);
    return b;
}

double RelError(const std::vector<double>& b, const std::vector<mpq_class>& exact)
{
    double worst = 0.0;
    for (std::size_t i = 0; i < exact.size(); ++i) {
        const mpq_class diff = abs(mpq_class(b[i]) - exact[i]);
        worst = std::max(worst, exact[i] == 0 ? diff.get_d() : mpq_class(diff / abs(exact[i])).get_d());
    }
    return worst;
}

std::vector<double> Dgels(const Data& d, int degree)
{
    const int p = degree + 1;
    const int n = Size(d);
    std::vector<double> a(static_cast<std::size_t>(n) * static_cast<std::size_t>(p));
    for (int i = 0; i < n; ++i) {
        double pw = 1.0;
        for (int k = 0; k < p; ++k) {
            a[static_cast<std::size_t>(k) * static_cast<std::size_t>(n) + static_cast<std::size_t>(i)] = pw;
            pw *= d.x[static_cast<std::size_t>(i)];
        }
    }
    std::vector<double> rhs(d.y);
    LAPACKE_dgels(LAPACK_COL_MAJOR, 'N', n, p, 1, a.data(), n, rhs.data(), n);
    rhs.resize(static_cast<std::size_t>(p));
    return rhs;
}

std::vector<double> Curvefit(Data& d, int degree)
{
    std::vector<double> b(static_cast<std::size_t>(degree + 1));
    curvefit(Size(d), d.x.data(), d.y.data(), degree, b.data());
    return b;
}

std::uint64_t Checksum(const std::vector<double>& b)
{
    std::uint64_t h = 1469598103934665603ULL;
    for (double v : b)
        h = (h ^ std::bit_cast<std::uint64_t>(v)) * 1099511628211ULL;
    return h;
}

struct Row {
    double ms_ours = 0, ms_dgels = 0, err_ours = 0, err_dgels = 0;
    std::uint64_t checksum = 0;
    bool checksum_stable = true;
};

std::map<std::string, Row>& table()
{
    static std::map<std::string, Row> t;
    return t;
}

std::string Name(int degree, bool shuffle)
{
    return std::string(shuffle ? "shuffled" : "profile") + " degree " + std::to_string(degree);
}

std::string Key(int n, int degree, bool shuffle) { return std::to_string(n) + " " + Name(degree, shuffle); }

void BM_curvefit(benchmark::State& state)
{
    const int degree = static_cast<int>(state.range(0));
    const bool shuffle = state.range(1) != 0;
    const int n = static_cast<int>(state.range(2));
    Data& d = shuffle ? shuffled(n) : profile(n);
    Row& row = table()[Key(n, degree, shuffle)];
    std::vector<double> b;
    const auto t0 = std::chrono::steady_clock::now();
    for (auto _ : state) {
        b = Curvefit(d, degree);
        benchmark::DoNotOptimize(b.data());
        const std::uint64_t sum = Checksum(b);
        if (row.checksum != 0 && sum != row.checksum)
            row.checksum_stable = false;
        row.checksum = sum;
    }
    row.ms_ours = std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - t0).count() /
                  static_cast<double>(state.iterations());
}

void BM_dgels(benchmark::State& state)
{
    const int degree = static_cast<int>(state.range(0));
    const bool shuffle = state.range(1) != 0;
    const int n = static_cast<int>(state.range(2));
    const Data& d = shuffle ? shuffled(n) : profile(n);
    std::vector<double> b;
    const auto t0 = std::chrono::steady_clock::now();
    for (auto _ : state) {
        b = Dgels(d, degree);
        benchmark::DoNotOptimize(b.data());
    }
    table()[Key(n, degree, shuffle)].ms_dgels =
        std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - t0).count() /
        static_cast<double>(state.iterations());
}

BENCHMARK(BM_curvefit)->ArgsProduct({{2, 5, 10}, {0, 1}, {SIZES[0], SIZES[1]}})->Unit(benchmark::kMillisecond);
BENCHMARK(BM_dgels)->ArgsProduct({{2, 5, 10}, {0, 1}, {SIZES[0], SIZES[1]}})->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv)
{
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    for (int n : SIZES)
        for (int degree : {2, 5, 10}) {
            const std::vector<mpq_class> exact = Exact(n, degree);
            for (bool shuffle : {false, true}) {
                Data& d = shuffle ? shuffled(n) : profile(n);
                Row& row = table()[Key(n, degree, shuffle)];
                row.err_ours = RelError(Curvefit(d, degree), exact);
                row.err_dgels = RelError(Dgels(d, degree), exact);
            }
        }
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    for (int n : SIZES) {
        std::printf("\n%d points\n", n);
        std::printf("%-18s %10s %10s %7s %12s %12s  %-18s\n", "data", "curvefit", "dgels", "ratio", "err curvefit",
                    "err dgels", "checksum");
        std::printf("%-18s %10s %10s %7s %12s %12s\n", "", "ms", "ms", "", "(relative)", "(relative)");
        for (int degree : {2, 5, 10})
            for (bool shuffle : {false, true}) {
                const Row& r = table()[Key(n, degree, shuffle)];
                std::printf("%-18s %10.3f %10.3f %7.2f %12.3e %12.3e  %016llx%s\n", Name(degree, shuffle).c_str(),
                            r.ms_ours, r.ms_dgels, r.ms_dgels > 0 ? r.ms_ours / r.ms_dgels : 0.0, r.err_ours,
                            r.err_dgels, static_cast<unsigned long long>(r.checksum),
                            r.checksum_stable ? "" : " (changed)");
            }
    }
    // Cost per point at the larger size over that at the smaller: 1 for a cost linear in the points.
    std::printf("\ncost per point, %d / %d points   curvefit   dgels\n", SIZES[1], SIZES[0]);
    const double scale = static_cast<double>(SIZES[0]) / SIZES[1];
    for (int degree : {2, 5, 10})
        for (bool shuffle : {false, true}) {
            const Row& small = table()[Key(SIZES[0], degree, shuffle)];
            const Row& large = table()[Key(SIZES[1], degree, shuffle)];
            std::printf("%-33s %9.2f %7.2f\n", Name(degree, shuffle).c_str(),
                        small.ms_ours > 0 ? large.ms_ours * scale / small.ms_ours : 0.0,
                        small.ms_dgels > 0 ? large.ms_dgels * scale / small.ms_dgels : 0.0);
        }
    return 0;
}
