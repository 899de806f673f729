// Certified least-squares polynomial problems: the certificate is the exact solution of the
// normal equations in rational arithmetic (the data are exact doubles), giving coefficients,
// sums of squares and coefficient variances exactly; standard errors and p-values follow in
// 50 digits. The library's fit is held to these beside LAPACK's QR (dgels, no pivoting) on the
// raw Vandermonde matrix of the same data.
#include "NumericsStop.h"

#include "numerics/numerics.h"

// After the library's header: Boost brings <signal.h>, whose NSIG macro names one of its arguments.
#include "NumericsReference.h"

#include <boost/math/distributions/students_t.hpp>
#include <boost/multiprecision/cpp_bin_float.hpp>
#include <gmpxx.h>
#include <gtest/gtest.h>
#include <lapacke.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <limits>
#include <optional>
#include <random>
#include <string>
#include <vector>

namespace {

using namespace kvpvs::numerics;
using kvpvs::test::NumericsCapture;
using Big = boost::multiprecision::cpp_bin_float_50;

struct Problem {
    std::string name;
    std::vector<double> x, y;
    int degree = 0;
    bool curve = false;  // a 10,000-point noisy curve: scaled coefficient bound too
    std::vector<double> w;  // weights; none: each 1
};

struct Certificate {
    std::vector<mpq_class> b;     // power-basis coefficients
    std::vector<mpq_class> ginv;  // diagonal of (V^T V)^-1
    mpq_class sse, ssr, sst, mean;
    long dfe = 0;
};

Certificate Certify(const Problem& pr)
{
    const int p = pr.degree + 1;
    const std::size_t n = pr.x.size();
    std::vector<mpq_class> s(static_cast<std::size_t>(2 * p - 1)), r(static_cast<std::size_t>(p));
    mpq_class sumy, sumy2, sumw;
    for (std::size_t i = 0; i < n; ++i) {
        const mpq_class x(pr.x[i]), y(pr.y[i]), w(pr.w.empty() ? 1.0 : pr.w[i]);
        mpq_class pw(w);
        for (int k = 0; k < 2 * p - 1; ++k) {
            s[static_cast<std::size_t>(k)] += pw;
            if (k < p)
                r[static_cast<std::size_t>(k)] += pw * y;
            pw *= x;
        }
        sumw += w;
        sumy += w * y;
        sumy2 += w * y * y;
    }
    // Gauss-Jordan on [G | r | I], G(j,k) = sum w x^(j+k).
    const int w = 2 * p + 1;
    std::vector<std::vector<mpq_class>> m(static_cast<std::size_t>(p), std::vector<mpq_class>(static_cast<std::size_t>(w)));
    for (int j = 0; j < p; ++j) {
        for (int k = 0; k < p; ++k)
            m[j][k] = s[static_cast<std::size_t>(j + k)];
        m[j][p] = r[static_cast<std::size_t>(j)];
        m[j][p + 1 + j] = 1;
    }
    for (int c = 0; c < p; ++c) {
        int piv = c;
        while (m[piv][c] == 0)
            ++piv;
        std::swap(m[piv], m[c]);
        const mpq_class d = m[c][c];
        for (int k = c; k < w; ++k)
            m[c][k] /= d;
        for (int j = 0; j < p; ++j) {
            if (j == c || m[j][c] == 0)
                continue;
            const mpq_class f = m[j][c];
            for (int k = c; k < w; ++k)
                m[j][k] -= f * m[c][k];
        }
    }
    Certificate cert;
    mpq_class explained;
    for (int j = 0; j < p; ++j) {
        cert.b.push_back(m[j][p]);
        cert.ginv.push_back(m[j][p + 1 + j]);
        explained += m[j][p] * r[static_cast<std::size_t>(j)];
    }
    cert.mean = sumy / sumw;
    cert.sse = sumy2 - explained;
    cert.sst = sumy2 - sumy * sumy / sumw;
    cert.ssr = cert.sst - cert.sse;
    cert.dfe = static_cast<long>(n) - p;
    return cert;
}

double AbsDiff(double computed, const mpq_class& exact) { return mpq_class(abs(mpq_class(computed) - exact)).get_d(); }

Big ToBig(const mpq_class& q) { return Big(q.get_num().get_str()) / Big(q.get_den().get_str()); }

// |computed - exact| / |exact|, or absolute where the exact value is 0.
double RelError(double computed, const mpq_class& exact)
{
    if (std::isnan(computed))
        return HUGE_VAL;
    const mpq_class diff = abs(mpq_class(computed) - exact);
    return exact == 0 ? diff.get_d() : mpq_class(diff / abs(exact)).get_d();
}

struct LibraryFit {
    std::vector<double> b, seqss, stats;
    std::vector<double> coef, aov;  // COEF (p by 4), AOV
    double mean = 0.0;              // OCOEF(1), as OPFIT wrote it
    int ndeg = 0;
    std::vector<std::string> records;  // what OPFIT and OPTAB printed
    std::optional<kvpvs::test::NumericsStopped> stopped;
};

// OPFIT (with a weight column where the problem has weights) and OPTAB; PFIT beside them for
// unweighted problems.
LibraryFit FitWithLibrary(const Problem& pr)
{
    NumericsCapture capture;
    const int n = static_cast<int>(pr.x.size());
    const int d = pr.degree;
    const int p = d + 1;
    LibraryFit f;
    f.b.assign(static_cast<std::size_t>(p), 0.0);
    f.seqss.assign(static_cast<std::size_t>(p), 0.0);
    f.stats.assign(10, 0.0);
    if (pr.w.empty()) {
        EXPECT_FALSE(
            capture.run([&] { PFIT(n, pr.x.data(), pr.y.data(), d, f.b.data(), f.seqss.data(), f.stats.data()); }));
    }
    capture.clear();

    std::vector<double> X(pr.x);
    X.insert(X.end(), pr.y.begin(), pr.y.end());
    X.insert(X.end(), pr.w.begin(), pr.w.end());
    const int ncol = pr.w.empty() ? 2 : 3;
    const int iwt = pr.w.empty() ? 0 : 3;
    std::vector<double> alpha(static_cast<std::size_t>(std::max(d, 1))), beta(alpha), ocoef(static_cast<std::size_t>(p)),
        dd(static_cast<std::size_t>(p)), wk(8 * static_cast<std::size_t>(n));
    std::vector<int> iwk(static_cast<std::size_t>(n));
    double smult = 0, sadd = 0, dfe = 0, sse = 0, dfpe = 0, sspe = 0;
    int nmiss = 0;
    f.coef.assign(4 * static_cast<std::size_t>(p), 0.0);
    f.aov.assign(15, 0.0);
    std::vector<double> sqss(4 * static_cast<std::size_t>(std::max(d, 1))), tlof(sqss),
        scratch(static_cast<std::size_t>(p * (p + 6)));
    f.stopped = capture.run([&] {
        OPFIT(n, ncol, X.data(), n, 2, 1, 0, iwt, d, 0, 0.0, 0, f.ndeg, smult, sadd, alpha.data(), beta.data(),
              ocoef.data(), dd.data(), dfe, sse, dfpe, sspe, nmiss, wk.data(), iwk.data());
        OPTAB(f.ndeg, alpha.data(), beta.data(), smult, sadd, ocoef.data(), dd.data(), dfe, sse, 0, dfpe, sspe, 0,
              f.aov.data(), sqss.data(), std::max(d, 1), f.coef.data(), p, tlof.data(), std::max(d, 1), scratch.data());
    });
    f.records = capture.records();
    f.mean = ocoef[0];
    return f;
}

std::vector<double> FitWithDgels(const Problem& pr)
{
    const int n = static_cast<int>(pr.x.size());
    const int p = pr.degree + 1;
    std::vector<double> a(static_cast<std::size_t>(n) * static_cast<std::size_t>(p));
    std::vector<double> rhs(pr.y);
    for (int i = 0; i < n; ++i) {
        // A weighted row is the row times the square root of its weight.
        const double root = pr.w.empty() ? 1.0 : std::sqrt(pr.w[static_cast<std::size_t>(i)]);
        double pw = root;
        for (int k = 0; k < p; ++k) {
            a[static_cast<std::size_t>(k) * static_cast<std::size_t>(n) + static_cast<std::size_t>(i)] = pw;
            pw *= pr.x[static_cast<std::size_t>(i)];
        }
        rhs[static_cast<std::size_t>(i)] *= root;
    }
    EXPECT_EQ(LAPACKE_dgels(LAPACK_COL_MAJOR, 'N', n, p, 1, a.data(), n, rhs.data(), n), 0);
    rhs.resize(static_cast<std::size_t>(p));
    return rhs;
}

double CoefError(const std::vector<double>& b, const Certificate& c)
{
    double worst = 0.0;
    for (std::size_t i = 0; i < c.b.size(); ++i)
        worst = std::max(worst, RelError(b[i], c.b[i]));
    return worst;
}

// 10,000 points, x = 0, 0.1, ..., 999.9: a smooth settlement-like curve plus uniform noise.
Problem NoisyCurve(int degree)
{
    Problem pr;
    pr.name = "NoisyCurveDegree" + std::to_string(degree);
    pr.degree = degree;
    pr.curve = true;
    std::mt19937 gen(20240607u + static_cast<unsigned>(degree));
    std::uniform_real_distribution<double> noise(-1.0, 1.0);
    for (int i = 0; i < 10000; ++i) {
        const double x = i * 0.1;
        pr.x.push_back(x);
        pr.y.push_back(50.0 * std::sin(x / 150.0) + 0.02 * x - 30.0 * std::exp(-x / 200.0) + noise(gen));
    }
    return pr;
}

// y = 3 - 2x + 0.5x^2 - 0.25x^3 + 0.125x^4 - 0.0625x^5 exactly at x = -10..10.
Problem OnAPolynomial()
{
    Problem pr;
    pr.name = "ExactlyOnAQuintic";
    pr.degree = 5;
    for (int i = -10; i <= 10; ++i) {
        const double x = i;
        pr.x.push_back(x);
        pr.y.push_back(3.0 - 2.0 * x + 0.5 * x * x - 0.25 * x * x * x + 0.125 * x * x * x * x - 0.0625 * x * x * x * x * x);
    }
    return pr;
}

// Degree 10 on x in [20, 21] (a short interval far from 0): 101 points with noise.
Problem IllConditioned()
{
    Problem pr;
    pr.name = "Degree10OnAShortIntervalFarFromZero";
    pr.degree = 10;
    std::mt19937 gen(7u);
    std::uniform_real_distribution<double> noise(-0.05, 0.05);
    for (int i = 0; i <= 100; ++i) {
        const double x = 20.0 + i / 128.0;
        pr.x.push_back(x);
        pr.y.push_back(std::cos(3.0 * (x - 20.0)) + noise(gen));
    }
    return pr;
}

// A statistic against its exact value: within rel of it (and a few least doubles, which values
// in the subnormal range are spaced by), or infinite of its sign where the exact value lies
// beyond DBL_MAX; never NaN.
void ExpectStatistic(double computed, const mpq_class& exact, double rel, const std::string& what)
{
    ASSERT_FALSE(std::isnan(computed)) << what;
    if (std::isinf(computed)) {
        EXPECT_GE(abs(exact), mpq_class(std::numeric_limits<double>::max()) * mpq_class(1.0 - rel))
            << what << " is infinite, exactly " << exact.get_d();
        EXPECT_EQ(computed > 0, exact > 0) << what;
        return;
    }
    const mpq_class error = abs(mpq_class(computed) - exact);
    EXPECT_LE(error, mpq_class(rel) * abs(exact) + 4 * mpq_class(std::numeric_limits<double>::denorm_min()))
        << what << " = " << computed << ", exactly " << exact.get_d();
}

class Certified : public ::testing::TestWithParam<Problem> {};

TEST_P(Certified, CoefficientsSumsOfSquaresStandardErrorsAndPValues)
{
    const Problem& pr = GetParam();
    const Certificate c = Certify(pr);
    const LibraryFit lib = FitWithLibrary(pr);
    const std::vector<double> qr = FitWithDgels(pr);
    ASSERT_FALSE(lib.stopped);
    ASSERT_EQ(lib.ndeg, pr.degree);

    const double ours = CoefError(lib.coef, c);
    const double theirs = CoefError(qr, c);
    std::printf("%-40s coefficient error: ours %.3e, dgels %.3e\n", pr.name.c_str(), ours, theirs);
    const double bound = std::max(1e-11, 10.0 * theirs);
    EXPECT_LE(ours, bound);
    for (std::size_t i = 0; pr.w.empty() && i < lib.b.size(); ++i)
        EXPECT_EQ(lib.b[i], lib.coef[i]) << "PFIT's coefficient " << i << " is OPTAB's";

    if (pr.curve) {
        double xmax = 0.0, ymax = 0.0;
        for (double v : pr.x)
            xmax = std::max(xmax, std::fabs(v));
        for (double v : pr.y)
            ymax = std::max(ymax, std::fabs(v));
        const double limit = (pr.degree <= 5 ? 1e-10 : 1e-7) * ymax;
        for (std::size_t i = 0; i < lib.b.size(); ++i) {
            const double scaled =
                AbsDiff(lib.coef[i], c.b[i]) * std::pow(xmax, static_cast<double>(i));
            EXPECT_LE(scaled, limit) << "coefficient " << i;
        }
    }

    ExpectStatistic(lib.aov[3], c.ssr, 1e-10, "SSR");
    if (c.sse != 0)  // else rounding is all that is left
        ExpectStatistic(lib.aov[4], c.sse, 1e-8, "SSE");
    ExpectStatistic(lib.aov[5], c.sst, 1e-10, "corrected total");
    ExpectStatistic(lib.aov[10], 100 * c.ssr / c.sst, 1e-10, "R-squared");
    if (pr.w.empty()) {
        EXPECT_EQ(lib.stats[9], 0.0);
        EXPECT_EQ(lib.stats[7], static_cast<double>(c.dfe));
    }

    if (c.sse == 0)
        return;  // exact data: no error variance to certify standard errors against
    const Big mse = ToBig(c.sse) / Big(c.dfe);
    const boost::math::students_t_distribution<Big> t(Big(c.dfe));
    const std::size_t p = static_cast<std::size_t>(pr.degree + 1);
    for (std::size_t i = 0; i < p; ++i) {
        const Big se = sqrt(mse * ToBig(c.ginv[i]));
        const Big tv = ToBig(c.b[i]) / se;
        const Big pv = 2 * boost::math::cdf(boost::math::complement(t, abs(tv)));
        const double se_err = static_cast<double>(abs(Big(lib.coef[p + i]) - se) / se);
        EXPECT_LE(se_err, bound) << "standard error " << i;
        EXPECT_NEAR(lib.coef[3 * p + i], static_cast<double>(pv), 1e-10) << "p-value " << i;
        // To its own relative accuracy at the t the table holds, however small.
        EXPECT_TRUE(kvpvs::test::two_sided_within_bound(lib.coef[3 * p + i], lib.coef[2 * p + i], c.dfe))
            << "p-value " << i;
    }
    // One hypothesis, one p-value: a line's slope tested by t and by the analysis of variance's F = t^2.
    if (pr.degree == 1) {
        EXPECT_TRUE(kvpvs::test::two_sided_within_bound(lib.aov[9], lib.coef[2 * p + 1], c.dfe)) << "F test";
    }
}

// Ten points of ordinary shape: y = scale (v + shift), x = 0..9, with weights where given.
Problem TenPoints(const std::string& name, int degree, double scale, double shift, std::vector<double> w = {})
{
    const double v[] = {1.5, 2.25, 2.0, 3.75, 3.5, 5.0, 4.25, 6.5, 6.0, 7.75};
    Problem pr{name, {}, {}, degree, false, std::move(w)};
    for (int i = 0; i < 10; ++i) {
        pr.x.push_back(i);
        pr.y.push_back(scale * (v[i] + shift));
    }
    return pr;
}

// A handful of points close to a line, as settlement or calibration readings are: slopes with t of
// 8,500 and 4,200, intercepts with p-values of 5e-13 and 2e-23.
Problem CloseToALine(const std::string& name, std::vector<double> x, std::vector<double> y)
{
    return Problem{name, std::move(x), std::move(y), 1, false, {}};
}

// Weights 10^-300, 10^-233.3, ..., 10^300 against x, rising or falling.
std::vector<double> WeightsAcrossTheRange(bool rising)
{
    std::vector<double> w;
    for (int i = 0; i < 10; ++i)
        w.push_back(std::pow(10.0, 600.0 * (rising ? i : 9 - i) / 9 - 300.0));
    return w;
}

// Beside the data of ordinary range: y about 1e155 with a spread of 1e153, whose SSR is finite
// but not 100 SSR; and weights from 1e-300 to 1e300.
INSTANTIATE_TEST_SUITE_P(Numerics, Certified,
                         ::testing::Values(OnAPolynomial(), NoisyCurve(2), NoisyCurve(5), NoisyCurve(10),
                                           IllConditioned(), TenPoints("ResponseAbout1e155", 1, 1e153, 100.0),
                                           TenPoints("WeightsRisingFrom1eMinus300To1e300", 1, 10.0, 0.0,
                                                     WeightsAcrossTheRange(true)),
                                           TenPoints("WeightsFallingFrom1e300To1eMinus300", 1, 10.0, 0.0,
                                                     WeightsAcrossTheRange(false)),
                                           TenPoints("ResponseAbout1e200WeightsOf1eMinus200", 1, 1e199, 0.0,
                                                     std::vector<double>(10, 1e-200)),
                                           TenPoints("ResponseAbout1e100ToAPartIn1e10WeightsOf1eMinus300", 1, 1e90,
                                                     1e10, std::vector<double>(10, 1e-300)),
                                           CloseToALine("SixPointsCloseToALine", {0, 1, 2, 3, 4, 5},
                                                        {2.001, 4.998, 8.0015, 11.0005, 13.999, 17.0005}),
                                           CloseToALine("EightDailyReadingsCloseToALine", {1, 2, 3, 4, 5, 6, 7, 8},
                                                        {12.85, 13.7025, 14.549, 15.4005, 16.2495, 17.101,
                                                         17.9485, 18.8005})),
                         [](const auto& info) { return info.param.name; });

// Through PFIT, the curve fit's road: the coefficients, the sequential squares, the statistics
// and what was printed.
struct CurveFit {
    std::vector<double> b, seqss, stats;
    std::vector<std::string> records;
};

CurveFit FitThroughPfit(const Problem& pr)
{
    NumericsCapture capture;
    CurveFit f;
    f.b.assign(static_cast<std::size_t>(pr.degree + 1), -7.0);
    f.seqss.assign(f.b.size(), -7.0);
    f.stats.assign(10, -7.0);
    EXPECT_FALSE(capture.run([&] {
        PFIT(static_cast<int>(pr.x.size()), pr.x.data(), pr.y.data(), pr.degree, f.b.data(), f.seqss.data(),
             f.stats.data());
    }));
    f.records = capture.records();
    return f;
}

// The statistics of PFIT against the exact ones: mean and variance of y, R-squared, the
// regression and error sums of squares (SSE to 1e-8: it is what is left of y; of a perfect fit,
// only the rounding of y is left, some ulp of the largest |y| at each point).
void ExpectStatistics(const CurveFit& f, const Certificate& c, const std::vector<double>& y, bool perfect = false)
{
    const std::size_t n = y.size();
    ExpectStatistic(f.stats[1], c.mean, 1e-10, "mean of y");
    ExpectStatistic(f.stats[3], c.sst / mpq_class(static_cast<long>(n - 1)), 1e-10, "variance of y");
    if (c.sst != 0)
        ExpectStatistic(f.stats[4], 100 * c.ssr / c.sst, 1e-10, "R-squared");
    ExpectStatistic(f.stats[6], c.ssr, 1e-10, "SSR");
    if (!perfect) {
        ExpectStatistic(f.stats[8], c.sse, 1e-8, "SSE");
        return;
    }
    double largest = 0.0;
    for (double v : y)
        largest = std::max(largest, std::fabs(v));
    const mpq_class ulp = mpq_class(std::numeric_limits<double>::epsilon()) * mpq_class(largest);
    EXPECT_LE(mpq_class(f.stats[8]), 16 * ulp * ulp * mpq_class(static_cast<long>(n))) << "SSE of a perfect fit";
}

// Random data about an offset, their spread from the whole offset down to 1e-12 of it, at
// degrees 0 to 3: the coefficients, sums of squares and R-squared are those of the exact
// solution of the same doubles whatever the offset, without a message.
TEST(CertifiedOffsets, FitAndSumsOfSquaresAreTheExactOnesWhateverTheOffset)
{
    std::mt19937 gen(41u);
    std::uniform_real_distribution<double> unit(-1.0, 1.0);
    std::uniform_int_distribution<int> count(6, 40);
    std::uniform_int_distribution<int> degree(0, 3);
    for (double ratio : {1.0, 1e-3, 1e-6, 1e-9, 1e-12})
        for (double offset : {1.0, -37.25, 5e6, 3e-4, -2e17})
            for (int trial = 0; trial < 8; ++trial) {
                Problem pr;
                pr.degree = degree(gen);
                const int n = count(gen);
                for (int i = 0; i < n; ++i) {
                    pr.x.push_back(8.0 + 12.0 * unit(gen));
                    pr.y.push_back(offset + ratio * std::fabs(offset) * unit(gen));
                }
                SCOPED_TRACE("spread " + std::to_string(ratio) + " of offset " + std::to_string(offset) +
                             ", degree " + std::to_string(pr.degree) + ", " + std::to_string(n) + " points");
                const Certificate c = Certify(pr);
                const CurveFit f = FitThroughPfit(pr);
                EXPECT_TRUE(f.records.empty());
                for (std::size_t i = 0; i < c.b.size(); ++i)
                    ExpectStatistic(f.b[i], c.b[i], 1e-10, "b" + std::to_string(i));
                ExpectStatistics(f, c, pr.y);
            }
}

// Data of ordinary shape far from 1: their squares overflow or underflow in double. The fit
// and its statistics are held to the exact solution of the same doubles, without a stop or a
// perfect-fit note.
struct FarMagnitude {
    const char* name;
    double scale;
    int degree;
    bool on_a_line;  // exactly: the perfect-fit note of the requested degree is right
};

class FarMagnitudes : public ::testing::TestWithParam<FarMagnitude> {};

TEST_P(FarMagnitudes, FitAsTheExactSolutionDoes)
{
    const FarMagnitude& c = GetParam();
    Problem pr;
    pr.degree = c.degree;
    const double v[] = {1.5, 2.25, 2.0, 3.75, 3.5, 5.0, 4.25, 6.5, 6.0, 7.75};
    for (int i = 0; i < 10; ++i) {
        pr.x.push_back(i);
        pr.y.push_back(c.on_a_line ? c.scale + c.scale / 10 * i : c.scale * v[i]);
    }
    const Certificate exact = Certify(pr);
    const CurveFit f = FitThroughPfit(pr);
    // In rationals throughout: converted to double, differences among subnormals would be 0.
    mpq_class largest;
    for (const mpq_class& q : exact.b)
        largest = std::max(largest, mpq_class(abs(q)));
    // The few roundings of an ordinary fit; subnormal coefficients are spaced by the least
    // double, and a few roundings of that come besides.
    const mpq_class tol = mpq_class(1e-14) * largest + 8 * mpq_class(std::numeric_limits<double>::denorm_min());
    for (std::size_t i = 0; i < f.b.size(); ++i) {
        const mpq_class error = abs(mpq_class(f.b[i]) - exact.b[i]);
        EXPECT_LE(error, tol) << "coefficient " << i << " = " << f.b[i];
    }
    const std::vector<std::string>& r = f.records;
    if (c.on_a_line)  // the note of the requested degree, and nothing after its traceback
        EXPECT_TRUE(r.size() == 12 && r[1] == " *** WARNING  ERROR 11 from OPFIT3.  The degree " +
                                                    std::to_string(c.degree) + " polynomial fit is a perfect")
            << testing::PrintToString(r);
    else
        EXPECT_TRUE(r.empty()) << testing::PrintToString(r);

    ExpectStatistics(f, exact, pr.y, c.on_a_line);
    // The sum of squares of the mean, then what each degree adds to the regression's.
    ExpectStatistic(f.seqss[0], 10 * exact.mean * exact.mean, 1e-10, "SEQSS(1)");
    mpq_class below;
    for (int k = 1; k <= c.degree; ++k) {
        Problem lower = pr;
        lower.degree = k;
        const mpq_class ssr = Certify(lower).ssr;
        ExpectStatistic(f.seqss[static_cast<std::size_t>(k)], ssr - below, 1e-10,
                        "SEQSS(" + std::to_string(k + 1) + ")");
        below = ssr;
    }
}

INSTANTIATE_TEST_SUITE_P(Numerics, FarMagnitudes,
                         ::testing::Values(FarMagnitude{"LineAt1e155", 1e155, 1, true},
                                           FarMagnitude{"At1e155", 1e155, 2, false},
                                           FarMagnitude{"At1e300", 1e300, 1, false},
                                           FarMagnitude{"At1e307", 1e307, 2, false},
                                           FarMagnitude{"At1eMinus165", 1e-165, 1, false},
                                           FarMagnitude{"At1eMinus300", 1e-300, 2, false},
                                           FarMagnitude{"Subnormal", 0x1p-1040, 1, false},
                                           FarMagnitude{"AFewLeastDoubles", 0x1p-1072, 1, false}),
                         [](const auto& info) { return std::string(info.param.name); });

// The fits that the sums of squares formed as sum y^2 less the explained squares refused: y
// of x = 0..9 far from zero against their spread, at degrees 0, 1 and 2, and y apart only in
// their last bits. Each is fitted: at the degree asked, or at a lower one with the perfect-fit
// note and WARNING 6 where the exact fit of that degree leaves less than 10 DBL_EPSILON of the
// total sum of squares. Its values are the exact fit's within 1e-10 of the spread of y and a
// few roundings of y itself, and its R-squared is the exact one.
TEST(CertifiedOffsets, DataFarFromZeroAgainstTheirSpreadAreFitted)
{
    const auto line = [](double a, double b) {
        std::vector<double> y;
        for (int i = 0; i < 10; ++i)
            y.push_back(a + b * i);
        return y;
    };
    std::vector<double> alternating;
    for (int i = 0; i < 10; ++i)
        alternating.push_back(i % 2 == 0 ? 0.3 : 0.1 + 0.2);
    const std::vector<double> zero_to_nine = {0, 1, 2, 3, 4, 5, 6, 7, 8, 9};
    const std::vector<std::pair<std::vector<double>, std::vector<double>>> data = {
        {zero_to_nine, line(1, 1e-9)},     {zero_to_nine, line(1, 3e-9)},     {zero_to_nine, line(1, 1e-10)},
        {zero_to_nine, line(1, 1e-11)},    {zero_to_nine, line(1, 1e-12)},    {zero_to_nine, line(1000, 1e-7)},
        {zero_to_nine, line(5e6, -0.001)}, {zero_to_nine, alternating},       {zero_to_nine, line(1000, 1e-8)},
        {zero_to_nine, line(1000, 3e-7)},  {{1, 2, 3}, {1, 1 + 0x1p-50, 1 + 0x1p-51}}};
    const double eps = std::numeric_limits<double>::epsilon();
    for (std::size_t row = 0; row < data.size(); ++row)
        for (int degree = 0; degree <= 2; ++degree) {
            SCOPED_TRACE("row " + std::to_string(row) + ", degree " + std::to_string(degree));
            Problem pr{"", data[row].first, data[row].second, degree, false, {}};
            const CurveFit f = FitThroughPfit(pr);
            // The lowest degree whose exact fit is perfect within machine precision.
            int fitted = degree;
            for (int k = 1; k < degree; ++k) {
                Problem lower = pr;
                lower.degree = k;
                const Certificate c = Certify(lower);
                if (c.sse <= 10 * eps * c.sst) {
                    fitted = k;
                    break;
                }
            }
            ASSERT_EQ(f.stats[5], fitted);
            if (fitted < degree) {  // note 11 and WARNING 6
                EXPECT_EQ(f.records.size(), 15u) << testing::PrintToString(f.records);
            }
            pr.degree = fitted;
            const Certificate c = Certify(pr);
            const auto [low, high] = std::minmax_element(pr.y.begin(), pr.y.end());
            const double largest = std::max(std::fabs(*low), std::fabs(*high));
            for (double x : pr.x) {
                mpq_class ours, exact, power(1);
                for (int k = 0; k <= fitted; ++k) {
                    ours += mpq_class(f.b[static_cast<std::size_t>(k)]) * power;
                    exact += c.b[static_cast<std::size_t>(k)] * power;
                    power *= mpq_class(x);
                }
                EXPECT_LE(abs(ours - exact), mpq_class(1e-10 * (*high - *low) + 4 * eps * largest)) << "at x = " << x;
            }
            for (std::size_t k = static_cast<std::size_t>(fitted) + 1; k < f.b.size(); ++k)
                EXPECT_EQ(f.b[k], 0.0);
            if (c.sst != 0)
                ExpectStatistic(f.stats[4], 100 * c.ssr / c.sst, 1e-10, "R-squared");
        }
}

// Fits whose sums of squares, or whose sum of the weights, lie beyond the range of doubles at
// the caller's scale: the statistics formed from them could not be right, so OPFIT refuses
// them with FATAL 9 naming the sum, and only where the exact sum is indeed out of range.
TEST(CertifiedRanges, SumsBeyondTheRangeOfDoublesAreRefusedByName)
{
    struct Row {
        Problem pr;
        const char* sum;  // as the message names it
    };
    const std::vector<Row> rows = {
        {TenPoints("y about 1e300, spread 1e299", 1, 1e299, 10.0), "corrected total sum of squares"},
        {TenPoints("y about 1e-300", 1, 1e-300, 0.0), "corrected total sum of squares"},
        {TenPoints("weights 1e300, y spread 1e5", 1, 1e5, 0.0, std::vector<double>(10, 1e300)),
         "corrected total sum of squares"},
        {TenPoints("every weight 5e-324", 2, 1.0, 0.0, std::vector<double>(10, 5e-324)), "sum of the weights"},
        {TenPoints("every weight 1e308", 1, 1.0, 0.0, std::vector<double>(10, 1e308)), "sum of the weights"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.pr.name);
        const LibraryFit lib = FitWithLibrary(row.pr);
        if (!lib.stopped) {
            ADD_FAILURE() << "fitted without a stop";
            continue;
        }
        EXPECT_EQ(lib.stopped->type, 4);
        EXPECT_EQ(lib.stopped->code, 9);
        std::string text;
        for (const std::string& r : lib.records)
            text += r.substr(std::min<std::size_t>(r.size(), 14)) + " ";
        EXPECT_NE(text.find(std::string("The ") + row.sum + " of the degree"), std::string::npos) << text;

        mpq_class exact;
        if (std::string(row.sum) == "sum of the weights") {
            for (double w : row.pr.w)
                exact += mpq_class(w);
        } else {
            exact = Certify(row.pr).sst;
        }
        EXPECT_TRUE(exact > mpq_class(std::numeric_limits<double>::max()) ||
                    exact < mpq_class(std::numeric_limits<double>::min()))
            << exact.get_d();
        // What it wrote before refusing: the weighted mean holds whatever the scale of the sums.
        ExpectStatistic(lib.mean, Certify(row.pr).mean, 1e-14, "mean");
    }
}

// R-squared of fits that are perfect within rounding, against the exact one: within 1e-10 of
// it, and never above 100 %. NIST's Wampler2 (y a quintic in x = 0..20) shifted by 1e6 through
// PFIT and OPTAB, and an exact line under unequal weights.
TEST(CertifiedRanges, RSquaredOfAPerfectFitIsAtMostOneHundred)
{
    Problem wampler{"Wampler2 + 1e6", {}, {}, 5, false, {}};
    for (int i = 0; i <= 20; ++i) {
        const double x = i;
        // 1 + 0.1 x + ... + 1e-5 x^5, as the decimal data read
        const double scaled = 100000 + 10000 * x + 1000 * x * x + 100 * x * x * x + 10 * x * x * x * x + x * x * x * x * x;
        wampler.x.push_back(x);
        wampler.y.push_back(scaled / 1e5 + 1e6);
    }
    Problem weighted{"an exact line, weighted", {}, {}, 1, false, {}};
    for (int i = 0; i < 6; ++i) {
        weighted.x.push_back(i);
        weighted.y.push_back(3.0 - 2.0 * i);
        weighted.w.push_back(0.5 + 0.1 * i);
    }
    for (const Problem& pr : {wampler, weighted}) {
        SCOPED_TRACE(pr.name);
        const Certificate c = Certify(pr);
        const LibraryFit lib = FitWithLibrary(pr);
        ASSERT_FALSE(lib.stopped);
        const mpq_class exact = 100 * c.ssr / c.sst;
        ExpectStatistic(lib.aov[10], exact, 1e-10, "R-squared of OPTAB");
        EXPECT_LE(lib.aov[10], 100.0);
        if (pr.w.empty()) {
            ExpectStatistic(lib.stats[4], exact, 1e-10, "R-squared of PFIT");
            EXPECT_LE(lib.stats[4], 100.0);
        }
    }
}

}  // namespace
