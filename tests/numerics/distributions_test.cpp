// Incomplete beta, Student's t and F against Boost.Math in 50 digits (itself checked on closed
// forms first), by branch, with the failure rows.
#include "NumericsStop.h"

#include "numerics/numerics.h"

// After the library's header: Boost brings <signal.h>, whose NSIG macro names one of its arguments.
#include "NumericsReference.h"

#include <boost/math/distributions/students_t.hpp>
#include <boost/math/special_functions/beta.hpp>
#include <boost/math/special_functions/gamma.hpp>
#include <boost/multiprecision/cpp_bin_float.hpp>
#include <gtest/gtest.h>

#include <algorithm>
#include <cfloat>
#include <cmath>
#include <string>
#include <vector>

namespace {

using namespace kvpvs::numerics;
using kvpvs::test::NumericsCapture;
using kvpvs::test::t_within_bound;
using Lines = std::vector<std::string>;
using Big = boost::multiprecision::cpp_bin_float_50;

constexpr double U = 0x1p-53;

double ref_ibeta(double x, double p, double q)
{
    return static_cast<double>(boost::math::ibeta(Big(p), Big(q), Big(x)));
}

double ref_t(double t, double df)
{
    return static_cast<double>(boost::math::cdf(boost::math::students_t_distribution<Big>(Big(df)), Big(t)));
}

class Distributions : public ::testing::Test {
protected:
    NumericsCapture capture;
};

TEST_F(Distributions, ReferenceAgreesWithClosedForms)
{
    for (double x : {0.01, 0.3, 0.5, 0.77, 0.999}) {
        EXPECT_NEAR(ref_ibeta(x, 1.0, 3.5), 1.0 - std::pow(1.0 - x, 3.5), 4 * U);
        EXPECT_NEAR(ref_ibeta(x, 2.5, 1.0), std::pow(x, 2.5), 4 * U);
        const Big arcsine = 2 / boost::math::constants::pi<Big>() * asin(sqrt(Big(x)));
        EXPECT_NEAR(ref_ibeta(x, 0.5, 0.5), static_cast<double>(arcsine), 4 * U);
    }
    for (double t : {-7.0, -1.0, 0.3, 2.0, 40.0}) {
        EXPECT_NEAR(ref_t(t, 1.0), 0.5 + std::atan(t) / M_PI, 4 * U);
        EXPECT_NEAR(ref_t(t, 2.0), 0.5 + t / (2.0 * std::sqrt(2.0 + t * t)), 4 * U);
    }
}

TEST_F(Distributions, DbetaiHoldsAbsoluteToleranceAgainstBoost)
{
    const double shapes[] = {0.05, 0.5, 1.0, 1.5, 2.0, 3.7, 10.0, 25.5, 60.0, 300.0};
    // Binary fractions, so that 1 - x is exact for the complement identity.
    const double xs[] = {0.0, 0x1p-40, 0.015625, 0.125, 0.1875, 0.25, 0.3125, 0.5, 0.6875, 0.8125, 0.875, 0.984375, 1.0 - 0x1p-30, 1.0};
    for (double p : shapes)
        for (double q : shapes)
            for (double x : xs) {
                const double tol = 32.0 * (1.0 + p + q) * U;
                const double r = DBETAI(x, p, q);
                EXPECT_NEAR(r, ref_ibeta(x, p, q), tol) << "x = " << x << ", p = " << p << ", q = " << q;
                EXPECT_NEAR(r, 1.0 - DBETAI(1.0 - x, q, p), 2 * tol) << "complement at x = " << x;
            }
    EXPECT_EQ(DBETAI(0.0, 2.0, 3.0), 0.0);
    EXPECT_EQ(DBETAI(1.0, 2.0, 3.0), 1.0);
    EXPECT_NEAR(DBETAI(0.5, 0.5, 0.5), 0.5, 4 * U);
    EXPECT_NEAR(DBETAI(0.3, 2.0, 3.0), 0.3483, 1e-12);
    EXPECT_TRUE(capture.records().empty());
}

struct TCase {
    const char* branch;
    std::vector<double> dfs;
    std::vector<double> ts;
    double tol;  // absolute; 0: within max(1e-10, 8 cond eps) relative
};

class TdistBranches : public Distributions, public ::testing::WithParamInterface<TCase> {};

TEST_P(TdistBranches, HoldTheirToleranceAgainstBoost)
{
    const TCase& c = GetParam();
    for (double df : c.dfs)
        for (double t : c.ts) {
            if (c.tol > 0.0)
                EXPECT_NEAR(TDIST(t, df), ref_t(t, df), c.tol) << "t = " << t << ", df = " << df;
            else
                EXPECT_TRUE(t_within_bound(TDIST(t, df), t, df)) << "t = " << t << ", df = " << df;
        }
}

INSTANTIATE_TEST_SUITE_P(
    Distributions, TdistBranches,
    ::testing::Values(
        // whole DF below 20, t^2 < 4 and t^2 < DF
        TCase{"FiniteSum", {2, 3, 4, 5, 8, 13, 19}, {-1.9, -1.0, -0.3, 0.0, 0.2, 0.9, 1.4, 1.99}, 1e-13},
        // whole DF below 20, 4 <= t^2 < DF
        TCase{"TailSeries", {5, 6, 9, 12, 17, 19}, {-4.3, -3.0, -2.0, 2.0, 2.3, 2.9, 4.1}, 1e-15},
        // DF <= t^2
        TCase{"IncompleteBeta", {1, 1.5, 2, 3.3, 5, 19}, {-30.0, -5.0, -4.4, 4.4, 6.0, 100.0}, 0.0},
        // t^2 < DF beside a DF that is not whole or from 20: the central series, or the incomplete
        // beta function below 2^-5, on both sides of t^2 = 4.6
        TCase{"Inside", {1.5, 2.5, 3.5, 3.7, 7.3, 12.5, 19.5, 20, 21, 33.3, 40, 150.5, 201, 1000, 1e6, 1e9},
              {-6.0, -3.2, -2.2, -2.1, -1.2, -0.7, 0.0, 0.4, 1.0, 1.2, 3.9}, 0.0},
        // far tails, where DF + t^2 or t^2 overflows, and the ratio DF / (DF + t^2) underflows
        TCase{"FarLowerTail", {1, 3.5, 40, 1000, 1e4, 7e4, 1e300}, {-1e300, -1e160, -38.0, -30.0, -20.0, -6.0}, 0.0}),
    [](const auto& info) { return std::string(info.param.branch); });

TEST_F(Distributions, TdistEdgeCases)
{
    for (double df : {1.0, 2.0, 7.0, 19.0, 20.0, 3.5, 1000.0})
        EXPECT_EQ(TDIST(0.0, df), 0.5) << df;
    EXPECT_NEAR(TDIST(1.0, 1.0), 0.75, 4 * U);
    EXPECT_NEAR(TDIST(1.0, 2.0), 0.5 + 0.5 / std::sqrt(3.0), 4 * U);
    EXPECT_NEAR(TDIST(2.5, 10.0), 0.984277, 1e-6);
    EXPECT_NEAR(TDIST(2.0, 25.0), 0.971762, 1e-6);
    EXPECT_NEAR(TDIST(1.0, 3.5), 0.80933137321827723, 1e-15);
    EXPECT_NEAR(TDIST(3.0, 5.0), 0.984950, 1e-6);
    EXPECT_EQ(TDIST(30.0, 1000.0), 1.0);
    for (double df : {10.0, 3.5, 1000.0})
        for (double t : {0.3, 1.7, 2.5, 3.1, 8.0, 40.0})
            EXPECT_NEAR(TDIST(t, df) + TDIST(-t, df), 1.0, 4 * U) << t << ", " << df;
    // Ulp by ulp where the lower tail crosses 2^-6, where the central series gives way to the
    // incomplete beta function: no drop beyond 2 ulps. (Further out the rounding of t^2 moves
    // the value by its condition number, some 6 ulps a step of t.)
    for (double df : {7.3, 25.0, 64.5})
        for (double level : {0x1p-6}) {
            double lo = 0.0, hi = 50.0;
            for (int i = 0; i < 200; ++i)
                (TDIST(-0.5 * (lo + hi), df) > level ? lo : hi) = 0.5 * (lo + hi);
            double t = -lo;
            for (int i = 0; i < 400; ++i)
                t = std::nextafter(t, -100.0);
            double previous = TDIST(t, df), worst = 0.0;
            for (int i = 0; i < 800; ++i) {
                t = std::nextafter(t, 0.0);
                const double v = TDIST(t, df);
                worst = std::max(worst, (previous - v) / (std::nextafter(v, 1.0) - v));
                previous = v;
            }
            EXPECT_LE(worst, 2.0) << "TDIST(t, " << df << ") near " << -lo;
        }
    EXPECT_TRUE(std::isnan(TDIST(RCONST(6), 5.0)));
    EXPECT_TRUE(std::isnan(TDIST(RCONST(6), 30.0)));
    EXPECT_EQ(TDIST(RCONST(7), 5.0), 1.0);
    EXPECT_EQ(TDIST(RCONST(8), 5.0), 0.0);
    EXPECT_TRUE(capture.records().empty()) << "a NaN T returns NaN without a message";
}

// A coefficient's two-sided p-value is the tail itself, as far out as it goes: formed as
// 2 (1 - TDIST(|t|)) it kept no digit below 2^-53.
TEST_F(Distributions, TTestPValuesAreTheTwoSidedTailToItsBound)
{
    const struct {
        double est, se, dfe;
    } rows[] = {{20.0, 1.0, 20.0}, {-32.700942327270624, 1.0, 154.0}, {2.5, 1.0, 10.0}, {-4e3, 0.5, 3.0},
                {12.0, 1.0, 7.5},  {7.0, 1.0, 1e6}};
    for (const auto& r : rows) {
        double t = 0.0, p = -1.0;
        FMCT(r.est, r.se, r.dfe, t, p);
        EXPECT_TRUE(kvpvs::test::two_sided_within_bound(p, t, r.dfe)) << "t = " << t << ", DFE = " << r.dfe;
    }
    EXPECT_TRUE(capture.records().empty());
}

TEST_F(Distributions, InfiniteDegreesOfFreedomGiveTheNormalDistribution)
{
    // Phi(t) = erfc(-t / sqrt 2) / 2 in long double. The argument |t| sqrt 0.5 and its square are
    // rounded in double, each to about an ulp that erfc's condition number 2x^2 = t^2 multiplies:
    // 2 t^2 ulps and a few for the series, down to the subnormal doubles.
    const double inf = RCONST(7);
    for (double t : {-38.0, -37.0, -19.0, -18.0, -6.5, -1.96, -0.3, 0.0, 0.7, 2.0, 8.0, 25.0}) {
        const double phi = static_cast<double>(0.5L * std::erfc(-static_cast<long double>(t) / std::sqrt(2.0L)));
        EXPECT_NEAR(TDIST(t, inf), phi, (2 * t * t + 16) * U * phi) << "t = " << t;
    }
    EXPECT_EQ(TDIST(-39.0, inf), 0.0); // below half the smallest subnormal
    EXPECT_EQ(TDIST(inf, inf), 1.0);
    EXPECT_EQ(TDIST(-inf, inf), 0.0);
    EXPECT_TRUE(capture.records().empty());
}

TEST_F(Distributions, ShapesFarBeyondTheSumsEndAtOnce)
{
    // q = 1e15 whole: a finite sum of 1e15 terms whose scale count (about 1e297) never comes
    // down to 0, so no term counts: I = 0, as the mean 1e300 / (1e300 + 1e15) says.
    EXPECT_EQ(DBETAI(0.5, 1e300, 1e15), 0.0);
    EXPECT_TRUE(capture.records().empty());
}

double ref_f(double f, double dfn, double dfd)
{
    // The smaller beta argument formed directly, as 1 - x may round even in 50 digits.
    const Big nf = Big(dfn) * Big(f);
    if (nf > Big(dfd))
        return static_cast<double>(boost::math::ibetac(Big(dfd) / 2, Big(dfn) / 2, Big(dfd) / (nf + Big(dfd))));
    return static_cast<double>(boost::math::ibeta(Big(dfn) / 2, Big(dfd) / 2, nf / (nf + Big(dfd))));
}

TEST_F(Distributions, FdistWithAHugeDenominatorNearsTheChiSquareLimit)
{
    struct Point {
        double f, dfn, chi_square;  // the limit: chi-square(DFN) at DFN F, by closed form
    };
    const long double pi = 3.141592653589793238462643383279503L;
    const auto erf_sqrt = [](long double v) { return std::erf(std::sqrt(v)); };
    const Point points[] = {
        {1.0, 1.0, static_cast<double>(erf_sqrt(0.5L))},
        {1e-6, 1.0, static_cast<double>(erf_sqrt(0.5e-6L))},
        {30.0, 1.0, static_cast<double>(1.0L - std::erfc(std::sqrt(15.0L)))},
        {0.4, 3.0, static_cast<double>(erf_sqrt(0.6L) - 2.0L * std::sqrt(0.6L / pi) * std::exp(-0.6L))},
        {2.5, 4.0, static_cast<double>(1.0L - std::exp(-5.0L) * 6.0L)},
    };
    for (const Point& p : points) {
        // Denominators beyond the incomplete beta's finite sum, against Boost in 50 digits.
        for (double n : {1e10, 1e12, 1e15})
            EXPECT_NEAR(FDIST(p.f, p.dfn, n), ref_f(p.f, p.dfn, n), 4 * U * ref_f(p.f, p.dfn, n))
                << "F = " << p.f << ", DFN = " << p.dfn << ", DFD = " << n;
        // Past 1e16 the distance to the limit, of order 1 / DFD, is under the rounding.
        for (double n : {1e16, 1e20, 1e100, DBL_MAX})
            EXPECT_NEAR(FDIST(p.f, p.dfn, n), p.chi_square, 4 * U * p.chi_square)
                << "F = " << p.f << ", DFN = " << p.dfn << ", DFD = " << n;
    }
    EXPECT_TRUE(capture.records().empty());
}

// Within 1e-10 of the reference, or both below the tail floor 1e-100.
::testing::AssertionResult near_reference(double value, double ref)
{
    if (std::fabs(value - ref) <= 1e-10 * ref || (ref < 1e-100 && value <= 1e-100))
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << value << " against " << ref << ", relative "
                                         << std::fabs(value - ref) / ref;
}

// The upper tail of chi-square(m) / m at 1 / f, the limit of 1 - FDIST(F, DFN, m) as DFN grows; and
// P(a, z), the limit of DBETAI(z / b, a, b) as b grows.
double ref_chi_limit(double f, double m) { return static_cast<double>(boost::math::gamma_q(Big(m) / 2, Big(m) / (2 * Big(f)))); }
double ref_gamma_limit(double x, double a, double b) { return static_cast<double>(boost::math::gamma_p(Big(a), Big(b) * Big(x))); }

struct ValueRow {
    const char* name;
    double (*call)();
    double (*ref)();
};

class DistributionValues : public Distributions, public ::testing::WithParamInterface<ValueRow> {};

TEST_P(DistributionValues, AreTheValueWithoutAMessage)
{
    const ValueRow& row = GetParam();
    double value = 0.0;
    const auto stop = capture.run([&] { value = row.call(); });
    ASSERT_FALSE(stop) << "stopped with code " << stop->code;
    EXPECT_TRUE(near_reference(value, row.ref()));
    EXPECT_TRUE(capture.records().empty());
}

INSTANTIATE_TEST_SUITE_P(
    Rows, DistributionValues,
    ::testing::Values(
        // Denominators beyond the incomplete beta's sum, numerators beyond the chi-square limit.
        ValueRow{"Fdist1And12At1p4e8", [] { return FDIST(1.0, 12.0, 1.4e8); }, [] { return ref_f(1.0, 12.0, 1.4e8); }},
        ValueRow{"Fdist1And100At1e10", [] { return FDIST(1.0, 100.0, 1e10); }, [] { return ref_f(1.0, 100.0, 1e10); }},
        ValueRow{"Fdist1And1000At1e12", [] { return FDIST(1.0, 1000.0, 1e12); }, [] { return ref_f(1.0, 1000.0, 1e12); }},
        // Half a subnormal DFN is not the shape, but the value is 1 to within 1e-18.
        ValueRow{"FdistSubnormalDfn", [] { return FDIST(1.0, 5e-324, 0x1p28); }, [] { return ref_f(1.0, 5e-324, 0x1p28); }},
        ValueRow{"FdistSubnormalDfnTinyF", [] { return FDIST(1e-300, 5e-324, 0x1p28); },
                 [] { return ref_f(1e-300, 5e-324, 0x1p28); }},
        ValueRow{"FdistSubnormalDfnHugeDfd", [] { return FDIST(1e308, 5e-324, 1e308); },
                 [] { return ref_f(1e308, 5e-324, 1e308); }},
        // ln(1 - y) of a huge shape, once an exponent off by up to q 2^-53.
        ValueRow{"FdistJustAbove2p20", [] { return FDIST(1.002, 0x1p20 + 1.0, 0x1p70); },
                 [] { return ref_f(1.002, 0x1p20 + 1.0, 0x1p70); }},
        ValueRow{"FdistAt2p80", [] { return FDIST(1.0, 0x1p20 + 2.0, 0x1p80); }, [] { return ref_f(1.0, 0x1p20 + 2.0, 0x1p80); }},
        ValueRow{"FdistDfn1e300", [] { return FDIST(1.0, 1e300, 1e6); }, [] { return ref_f(1.0, 1e300, 1e6); }},
        ValueRow{"FdistDfnLargest", [] { return FDIST(1.0, DBL_MAX, 0x1p27 + 2.0); },
                 [] { return ref_f(1.0, DBL_MAX, 0x1p27 + 2.0); }},
        ValueRow{"FdistDfd1e300", [] { return FDIST(1.0, 2e6, 1e300); }, [] { return ref_f(1.0, 2e6, 1e300); }},
        // DFN F overflows; the quotients do not.
        ValueRow{"FdistDfnFOverflows", [] { return FDIST(1e308, 1000.0, 1e-3); }, [] { return ref_f(1e308, 1000.0, 1e-3); }},
        ValueRow{"DbetaiHugeQ", [] { return DBETAI(8.47e-20, 50.0, 0x1p69); }, [] { return ref_ibeta(8.47e-20, 50.0, 0x1p69); }},
        // The gamma limit of a shape of 1e9, whose incomplete gamma sums run some 10 sqrt(1e9) terms.
        ValueRow{"FdistGammaLimitOfAShapeOf1e9", [] { return FDIST(0.99995, 2e9, 1e60); },
                 [] { return ref_f(0.99995, 2e9, 1e60); }},
        // Small values whose complement is near 1: 1 - DBETAI(1 - x, q, p) would keep ~4 digits.
        ValueRow{"FdistSmallAgainstItsComplement", [] { return FDIST(0.05, 1000.0, 3.0); },
                 [] { return ref_f(0.05, 1000.0, 3.0); }},
        ValueRow{"DbetaiSmallAgainstItsComplement", [] { return DBETAI(0.9375, 500.0, 1.5); },
                 [] { return ref_ibeta(0.9375, 500.0, 1.5); }},
        ValueRow{"DbetaiSmallFractionalQ", [] { return DBETAI(0.984375, 500.0, 0.35); },
                 [] { return ref_ibeta(0.984375, 500.0, 0.35); }},
        // A subnormal x (or ln x given) beside one huge shape and one small: the large-shape route.
        ValueRow{"FdistDfn1e308", [] { return FDIST(1.0, 1e308, 1.0); }, [] { return ref_chi_limit(1.0, 1.0); }},
        ValueRow{"FdistDfn1e308Dfd3", [] { return FDIST(2.0, 1e308, 3.0); }, [] { return ref_chi_limit(2.0, 3.0); }},
        ValueRow{"FdistDfnLargestDfdHalf", [] { return FDIST(1.0, DBL_MAX, 0.5); }, [] { return ref_chi_limit(1.0, 0.5); }},
        ValueRow{"FdistDfnLargestDfd2p5", [] { return FDIST(1.0, DBL_MAX, 2.5); }, [] { return ref_chi_limit(1.0, 2.5); }},
        ValueRow{"DbetaiSubnormalXBesideLargestQ", [] { return DBETAI(1e-310, 1.0, DBL_MAX); },
                 [] { return ref_gamma_limit(1e-310, 1.0, DBL_MAX); }},
        ValueRow{"DbetaiSmallestXBesideLargestQ", [] { return DBETAI(5e-324, 0.5, DBL_MAX); },
                 [] { return ref_gamma_limit(5e-324, 0.5, DBL_MAX); }},
        ValueRow{"DbetaiSmallestXP2p5BesideLargestQ", [] { return DBETAI(5e-324, 2.5, DBL_MAX); },
                 [] { return ref_gamma_limit(5e-324, 2.5, DBL_MAX); }},
        // x Q = 400 beside a shape of 1e-7: not the small shape's series, whose terms there would
        // grow to some e^400.
        ValueRow{"DbetaiTinyPFarFromZero", [] { return DBETAI(0.4, 1e-7, 1000.0); }, [] { return ref_ibeta(0.4, 1e-7, 1000.0); }}),
    [](const auto& info) { return std::string(info.param.name); });

// The upper tail of F, 1 - FDIST, as ref_f forms the lower one.
double ref_f_upper(double f, double dfn, double dfd)
{
    const Big nf = Big(dfn) * Big(f);
    if (nf > Big(dfd))
        return static_cast<double>(boost::math::ibeta(Big(dfd) / 2, Big(dfn) / 2, Big(dfd) / (nf + Big(dfd))));
    return static_cast<double>(boost::math::ibetac(Big(dfn) / 2, Big(dfd) / 2, nf / (nf + Big(dfd))));
}

// Within `ulps` units of 2^-53 of the reference (a value near 1), or 1e-10 relative for 0.
::testing::AssertionResult near_in_ulps(double value, double ref, double ulps)
{
    const double tol = ulps > 0.0 ? ulps * U : 1e-10 * ref;
    if (std::fabs(value - ref) <= tol)
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << value << " against " << ref << ", " << std::fabs(value - ref) / U
                                         << " units of 2^-53";
}

TEST_F(Distributions, EdgesOfTheRangeHoldTheirBound)
{
    // At x = 0 and 1 the value is 0 and 1, whatever the shapes.
    for (double tiny : {4.9e-324, 1e-300})
        for (double huge : {1e15, 1e300}) {
            EXPECT_EQ(DBETAI(0.0, tiny, huge), 0.0);
            EXPECT_EQ(DBETAI(0.0, huge, tiny), 0.0);
            EXPECT_EQ(DBETAI(1.0, huge, tiny), 1.0);
            EXPECT_EQ(DBETAI(1.0, tiny, huge), 1.0);
        }
    struct Row {
        const char* what;
        double value, ref;
        double ulps;  // 0: within 1e-10 relative
    };
    double p_wide = 0.0, p_near_one = 0.0, p_tiny_dfn = 0.0, p_tiny_shape = 0.0, f = 0.0;
    FMCF(2.0, 1.0, 100.0, 10000.0, f, p_wide);
    FMCF(1e14, 1.0, 2e-14, 1e6, f, p_tiny_shape);
    FMCF(100.0, 1.0, 2.0, 1000.0, f, p_near_one);
    FMCF(0.0025, 1.0, 3e-25, 0.25, f, p_tiny_dfn);
    const double inf = RCONST(7);
    const double one_less = 1.0 - U;
    const double f_subnormal = 9.9999999999999694e-311;
    const auto upper_of_two_large = [](double x) { return incomplete_beta(x, 1.0 - x, 1e12, 3e12, RCONST(6)).upper; };
    const Row rows[] = {
        // DFN F underflows; F itself does not.
        {"FDIST(5e-324, 2e-6, 2e-6)", FDIST(5e-324, 2e-6, 2e-6), ref_f(5e-324, 2e-6, 2e-6), 0},
        {"FDIST(5e-324, 0.001, 1)", FDIST(5e-324, 0.001, 1.0), ref_f(5e-324, 0.001, 1.0), 0},
        {"DBETAI(1e-20, 10.5, 1e12)", DBETAI(1e-20, 10.5, 1e12), ref_ibeta(1e-20, 10.5, 1e12), 0},
        {"DBETAI(0.99778709621008266, 4096, 2)", DBETAI(0.99778709621008266, 4096.0, 2.0),
         ref_ibeta(0.99778709621008266, 4096.0, 2.0), 0},
        {"FDIST(1, 1048576, 2e-6)", FDIST(1.0, 1048576.0, 2e-6), ref_f(1.0, 1048576.0, 2e-6), 0},
        // Both shapes huge, the mean 0.0154: the true value rounds to 1.
        {"DBETAI(0.1, 2^20, 2^26 + 1)", DBETAI(0.1, 0x1p20, 0x1p26 + 1.0), 1.0, 4},
        // Near 1: within 4 ulps, so 1 minus the value is the complement.
        {"DBETAI(0.1, 2, 333.5)", DBETAI(0.1, 2.0, 333.5), ref_ibeta(0.1, 2.0, 333.5), 4},
        {"DBETAI(0.1, 1, 333.5)", DBETAI(0.1, 1.0, 333.5), ref_ibeta(0.1, 1.0, 333.5), 4},
        {"FDIST(2, 100, 10000)", FDIST(2.0, 100.0, 10000.0), ref_f(2.0, 100.0, 10000.0), 4},
        // The F test's p-value from the upper tail itself.
        {"p-value of F(2; 100, 10000)", p_wide, ref_f_upper(2.0, 100.0, 10000.0), 0},
        {"p-value of F(100; 2, 1000)", p_near_one, ref_f_upper(100.0, 2.0, 1000.0), 0},
        // Above every F, and where DFD / 2F or DFD / (DFN F + DFD) underflows.
        {"FDIST(inf, 65536, 1)", FDIST(inf, 65536.0, 1.0), 1.0, 0},
        {"FDIST(inf, 1e308, 1)", FDIST(inf, 1e308, 1.0), 1.0, 0},
        {"FDIST(1e308, 65536, 1e-20)", FDIST(1e308, 65536.0, 1e-20), ref_f(1e308, 65536.0, 1e-20), 0},
        {"FDIST(1e308, 0.001, 1e-20)", FDIST(1e308, 0.001, 1e-20), ref_f(1e308, 0.001, 1e-20), 0},
        // DFN F + DFD overflows; F lies some 4e152 spreads of ln F below 1: the value underflows.
        {"FDIST(0.9, 1e308, 1e308)", FDIST(0.9, 1e308, 1e308), 0.0, 0},
        // A tail of the size of a tiny shape beside its complement near 1, whose ln Gamma terms
        // are some ln(1 / shape): the tail formed directly.
        {"DBETAI(1 - 2^-53, 1, 1e-20)", DBETAI(one_less, 1.0, 1e-20), ref_ibeta(one_less, 1.0, 1e-20), 0},
        {"DBETAI(1 - 2^-53, 0.5, 1e-20)", DBETAI(one_less, 0.5, 1e-20), ref_ibeta(one_less, 0.5, 1e-20), 0},
        {"DBETAI(1 - 2^-53, 0.5, 1e-300)", DBETAI(one_less, 0.5, 1e-300), ref_ibeta(one_less, 0.5, 1e-300), 0},
        {"DBETAI(1 - 1e-9, 1e8, 1e-13)", DBETAI(1.0 - 1e-9, 1e8, 1e-13), ref_ibeta(1.0 - 1e-9, 1e8, 1e-13), 0},
        {"FDIST(1e300, 2, 1e-20)", FDIST(1e300, 2.0, 1e-20), ref_f(1e300, 2.0, 1e-20), 0},
        {"FDIST(1e200, 65536, 1e-20)", FDIST(1e200, 65536.0, 1e-20), ref_f(1e200, 65536.0, 1e-20), 0},
        {"p-value of F(0.0025; 3e-25, 0.25)", p_tiny_dfn, ref_f_upper(0.0025, 3e-25, 0.25), 0},
        // the small shape's series at its edges: 1 - x = 1/2, and a tiny DFN / 2 beside z = 1
        {"DBETAI(0.5, 2.5, 1e-7)", DBETAI(0.5, 2.5, 1e-7), ref_ibeta(0.5, 2.5, 1e-7), 0},
        {"p-value of F(1e14; 2e-14, 1e6)", p_tiny_shape, ref_f_upper(1e14, 2e-14, 1e6), 0},
        // The bottom of the range: values from the smallest normal double up, and F or x
        // subnormal, taken through their logarithms.
        {"FDIST(DBL_MIN, 2, 1)", FDIST(DBL_MIN, 2.0, 1.0), ref_f(DBL_MIN, 2.0, 1.0), 0},
        {"DBETAI(1e-300, 1, 1e-6)", DBETAI(1e-300, 1.0, 1e-6), ref_ibeta(1e-300, 1.0, 1e-6), 0},
        {"DBETAI(0.01, 153, 0.5)", DBETAI(0.01, 153.0, 0.5), ref_ibeta(0.01, 153.0, 0.5), 0},
        {"DBETAI(0.00995, 156, 3.5)", DBETAI(0.00995, 156.0, 3.5), ref_ibeta(0.00995, 156.0, 3.5), 0},
        {"FDIST(1e-320, 1e12, 1e300)", FDIST(1e-320, 1e12, 1e300), 0.0, 0}, // y^(5e11) underflows
        {"FDIST(1e-310, 1, 2^28)", FDIST(f_subnormal, 1.0, 0x1p28), ref_f(f_subnormal, 1.0, 0x1p28), 0},
        {"FDIST(5e-322, 1, 2^28)", FDIST(5e-322, 1.0, 0x1p28), ref_f(5e-322, 1.0, 0x1p28), 0}, // y underflows
        {"FDIST(1e-310, 0.1, 1e12)", FDIST(f_subnormal, 0.1, 1e12), ref_f(f_subnormal, 0.1, 1e12), 0},
        {"FDIST(1e-310, 0.001, 1e8)", FDIST(f_subnormal, 0.001, 1e8), ref_f(f_subnormal, 0.001, 1e8), 0},
        {"DBETAI(4.35e-322, 0.5, 46079.68)", DBETAI(4.35e-322, 0.5, 46079.68), ref_ibeta(4.35e-322, 0.5, 46079.68), 0},
        // Below the normal range: the subnormal the value rounds to.
        {"FDIST(1e-310, 2, 1e12)", FDIST(f_subnormal, 2.0, 1e12), ref_f(f_subnormal, 2.0, 1e12), 0},
        // Both shapes from 2^30, about the mean 1/4 of 1e12 and 3e12 in spreads of 2.165e-7 (60-digit
        // quadrature): the tail on x's side of the mean itself, the other as 1 less it.
        {"DBETAI(0.5, 1e12, 1e12)", DBETAI(0.5, 1e12, 1e12), 0.5, 0},
        {"FDIST(1, 1e308, 1e308)", FDIST(1.0, 1e308, 1e308), 0.5, 0},  // DFN F + DFD overflows
        {"FDIST(1.0000001, 1e20, 1e20)", FDIST(1.0000001, 1e20, 1e20), 1.0, 0},
        {"at the mean", DBETAI(0.25, 1e12, 3e12), 0.5000000767764776, 4},
        {"a spread below", DBETAI(0.24999978349364904, 1e12, 3e12), 0.15865525391760749, 0},
        {"a spread above", DBETAI(0.25000021650635096, 1e12, 3e12), 0.8413447460823925, 4},
        {"5 spreads below", DBETAI(0.24999891746824526, 1e12, 3e12), 2.86644705028191e-07, 0},
        {"30 spreads below", DBETAI(0.2499935048094716, 1e12, 3e12), 4.881283529493667e-198, 0},
        {"37 spreads below", DBETAI(0.2499919676143799, 1e12, 3e12), 1.3909745070377297e-301, 0},
        {"5 spreads above, the upper tail", upper_of_two_large(0.25000108253175474), 2.8665843875478206e-07, 0},
        {"30 spreads above, the upper tail", upper_of_two_large(0.25000649519052837), 4.932275650764106e-198, 0},
    };
    for (const Row& r : rows)
        EXPECT_TRUE(near_in_ulps(r.value, r.ref, r.ulps)) << r.what;
    EXPECT_TRUE(capture.records().empty());
}

TEST_F(Distributions, LogarithmsAndLargeShapesKeepTheirDigits)
{
    // The factor x^p (1 - x)^q / B(p, q) of the continued fraction and of the short sums: ln(1 - x)
    // and ln x from log1p of the one of x, 1 - x that has not rounded, and through Stirling's
    // series for large shapes, and in a wider precision than double for far tails. Each row
    // loses some q 2^-53 or more without its own.
    double p_value = 0.0, f = 0.0;
    FMCF(10.0, 1.0, 20000.0, 20.0, f, p_value);
    struct Row {
        const char* what;
        double value, ref;
        double tol = 1e-14;  // relative
    };
    // x from 1 - x = 0.3 rounded, as FDIST forms both: the sums take ln x from 1 - x.
    const double x1 = 0.3;
    const double x_near_one = 1.0 - 1.9 / 388.0;
    const Big exact_x = 1 - Big(x1);
    const double below = std::nextafter(0x1p30, 0.0);
    const double above = std::nextafter(0x1p30, 0x1p31);
    const double x_low = 0.24996696375260222;
    const double x_high = 0.25003303624739776;
    const Row rows[] = {
        {"ln(1 - x)", DBETAI(1e-9, 0.5, 1e4), ref_ibeta(1e-9, 0.5, 1e4)},
        {"the sums' ln x from 1 - x", incomplete_beta(1.0 - x1, x1, 400.0, 5.0, RCONST(6)).lower,
         static_cast<double>(boost::math::ibeta(Big(400), Big(5), exact_x))},
        // the sums' ln(1 - x), some q 2^-54 / (1 - x) off from a rounded 1 - x
        {"the sums' ln(1 - x)", DBETAI(0.37125, 6.0, 9.9), ref_ibeta(0.37125, 6.0, 9.9), 3 * U},
        {"ln x from 1 - x", p_value, ref_f_upper(10.0, 20000.0, 20.0)},
        {"Stirling's series at the mean", DBETAI(0.25, 1e6, 3e6), ref_ibeta(0.25, 1e6, 3e6)},
        // Far tails, whose factor's logarithm (some 270 to 575) once kept only its double's digits.
        {"far below the mean", DBETAI(1e-6, 33.3, 4096.0), ref_ibeta(1e-6, 33.3, 4096.0)},
        {"far below the mean of unequal shapes", DBETAI(0.5, 1000.0, 33.3), ref_ibeta(0.5, 1000.0, 33.3)},
        {"beside a tiny shape", DBETAI(0.99716303361149683, 33.3, 0.001), ref_ibeta(0.99716303361149683, 33.3, 0.001)},
        // a small tail by its own fraction, not as -expm1 of the other's logarithm
        {"small tail beside a shape of 1e-6", DBETAI(0.9999, 8800.0, 1.1e-6), ref_ibeta(0.9999, 8800.0, 1.1e-6)},
        // ln Gamma's steps by a small shape, some 20 times the tail they leave: Stirling's series
        // to the rounding of the step
        {"small shape's series", DBETAI(x_near_one, 388.0, 0x1p-18), ref_ibeta(x_near_one, 388.0, 0x1p-18), 4 * U},
        // ln y of a subnormal y (some -710) from F, in the wider precision
        {"ln y where DFN F underflows", FDIST(DBL_MIN, 2.0, 50.0), ref_f(DBL_MIN, 2.0, 50.0)},
        {"ln y where y underflows", FDIST(2.3e-308, 1.0, 65000.0), ref_f(2.3e-308, 1.0, 65000.0)},
        // Across the switch to the expansion about the mean at a first shape of 2^30 (the fraction
        // below it), 5 spreads either side of the mean (60-digit quadrature)
        {"below 2^30", DBETAI(x_low, below, 0x3p30), 2.8644206415106026e-07, 8 * U},
        {"at 2^30", DBETAI(x_low, 0x1p30, 0x3p30), 2.8644206414637935e-07, 8 * U},
        {"above 2^30", DBETAI(x_low, above, 0x3p30), 2.8644206413701757e-07, 8 * U},
        {"upper tail below 2^30", incomplete_beta(x_high, 1.0 - x_high, below, 0x3p30, RCONST(6)).upper,
         2.8686118422889347e-07, 8 * U},
        {"upper tail at 2^30", incomplete_beta(x_high, 1.0 - x_high, 0x1p30, 0x3p30, RCONST(6)).upper,
         2.8686118423358063e-07, 8 * U},
        {"upper tail above 2^30", incomplete_beta(x_high, 1.0 - x_high, above, 0x3p30, RCONST(6)).upper,
         2.8686118424295496e-07, 8 * U},
    };
    for (const Row& r : rows)
        EXPECT_NEAR(r.value, r.ref, r.tol * r.ref) << r.what;
    EXPECT_TRUE(capture.records().empty());
}

TEST_F(Distributions, DbetaiDoesNotFallAsXOrQRises)
{
    // Ulp by ulp across the switches: at x = 0.2 and inside the 1 - r form below x = 0.8 (where
    // they once were), at the reach of the sums (x = 0.96), at the continued fraction's switch
    // (x (p + q + 2) = p + 1), where a tiny second shape's series takes over (p (1 - x) = 2,
    // 1 - x = 1/2, for shapes up to a quarter), and where the value crosses 1/2 (found by
    // bisection), where the route turns to the other tail. No drop beyond 2 ulps, nor as the
    // second shape rises past 2^-20 and a quarter near x = 1.
    struct Sweep {
        double x, p, q;
    };
    std::vector<Sweep> sweeps = {{0.2, 30.0, 50.0},
                                 {0.8, 3.0, 2.5},
                                 {0.96, 100.0, 2.0},
                                 {1.5 / 2002.5, 0.5, 2000.0},
                                 {1.7 / 100002.7, 0.7, 1e5},
                                 {1.0 - 2.0 / 1e4, 1e4, 1e-10},
                                 {0.5, 3.0, 1e-9},
                                 {1.0 - 2.0 / 388.0, 388.0, 0.2},
                                 {0.5, 17.0, 0.2},
                                 {2.0 / 5000.0, 0.2, 5000.0},
                                 {0.25, 1e12, 3e12}};
    const std::pair<double, double> medians[] = {{0.5, 40.0},  {300.0, 2000.0},  {3.0, 2.5}, {2.0, 3.0},
                                                 {0.5, 0.5},   {5.0, 1.5},       {1.2, 7.0}, {9.0, 9.0},
                                                 {1.5, 333.5}, {2000.0, 40000.0}};
    for (const auto& [p, q] : medians) {
        double lo = 0.0, hi = 1.0;
        for (int i = 0; i < 60; ++i)
            (DBETAI(0.5 * (lo + hi), p, q) < 0.5 ? lo : hi) = 0.5 * (lo + hi);
        sweeps.push_back({lo, p, q});
    }
    for (const Sweep& s : sweeps) {
        double x = s.x;
        for (int i = 0; i < 400; ++i)
            x = std::nextafter(x, 0.0);
        double previous = DBETAI(x, s.p, s.q);
        double worst = 0.0;
        for (int i = 0; i < 800; ++i) {
            x = std::nextafter(x, 1.0);
            const double v = DBETAI(x, s.p, s.q);
            worst = std::max(worst, (previous - v) / (std::nextafter(v, 1.0) - v));
            previous = v;
        }
        EXPECT_LE(worst, 2.0) << "DBETAI(x, " << s.p << ", " << s.q << ") near " << s.x;
    }
    const Sweep q_sweeps[] = {{1.0 - 0x1p-20, 1e6, 0x1p-20}, {1.0 - 1.0 / 17.0, 17.0, 0x1p-20}, {1.0 - 1.0 / 388.0, 388.0, 0.25}};
    for (const Sweep& s : q_sweeps) {
        double q = s.q;
        for (int i = 0; i < 50; ++i)
            q = std::nextafter(q, 0.0);
        double previous = DBETAI(s.x, s.p, q);
        double worst = 0.0;
        for (int i = 0; i < 100; ++i) {
            q = std::nextafter(q, 1.0);
            const double v = DBETAI(s.x, s.p, q);
            worst = std::max(worst, (previous - v) / (std::nextafter(v, 1.0) - v));
            previous = v;
        }
        EXPECT_LE(worst, 2.0) << "DBETAI(" << s.x << ", " << s.p << ", q) near q = " << s.q;
    }
    EXPECT_TRUE(capture.records().empty());
}

TEST_F(Distributions, FdistAndDbetaiOverTheWholeRangeAreTheValueWithoutAStop)
{
    // Degrees of freedom and F from 1e-3 to 1e300, through every branch: the sums, the large
    // shapes, the chi-square limit, the expansion about the mean of two large shapes; none stops.
    // With both beyond 1e12, ln F is normal with a spread below 2e-6: F off 1 by 1% or more is
    // 0 or 1 within e^-10^7, and 1/2 at F = 1 beside equal degrees; elsewhere at F = 1 a value in
    // [0, 1], whose digits the rows of two large shapes hold.
    const double dfs[] = {1e-3, 0.7, 3.0, 41.0, 1e3, 1e5, 0x1p20, 1.4e8, 1e12, 1e20, 1e60, 1e300};
    const double fs[] = {1e-3, 0.05, 0.5, 0.98, 1.0, 1.02, 3.0, 50.0, 1e4, 1e30, 1e300};
    const auto reference = [](double f, double dfn, double dfd, auto&& exact) {
        if (std::min(dfn, dfd) < 1e12)
            return exact();
        return f >= 1.01 ? 1.0 : f <= 0.99 ? 0.0 : dfn == dfd ? 0.5 : RCONST(6);
    };
    const auto holds = [](double value, double ref) {
        return std::isnan(ref) ? value >= 0.0 && value <= 1.0 : near_reference(value, ref);
    };
    for (double dfn : dfs)
        for (double dfd : dfs)
            for (double f : fs) {
                double value = 0.0;
                EXPECT_FALSE(capture.run([&] { value = FDIST(f, dfn, dfd); }))
                    << "FDIST(" << f << ", " << dfn << ", " << dfd << ") stopped";
                EXPECT_TRUE(holds(value, reference(f, dfn, dfd, [&] { return ref_f(f, dfn, dfd); })))
                    << "FDIST(" << f << ", " << dfn << ", " << dfd << ")";
                const Big nf = Big(dfn) * Big(f);
                const double x = static_cast<double>(nf / (nf + Big(dfd)));
                // x has rounded: the F it stands for.
                const double fx = x == 1.0 ? RCONST(7) : static_cast<double>(Big(x) / (1 - Big(x)) * Big(dfd) / Big(dfn));
                EXPECT_FALSE(capture.run([&] { value = DBETAI(x, dfn / 2, dfd / 2); }))
                    << "DBETAI(" << x << ", " << dfn / 2 << ", " << dfd / 2 << ") stopped";
                EXPECT_TRUE(holds(value, reference(fx, dfn, dfd, [&] { return ref_ibeta(x, dfn / 2, dfd / 2); })))
                    << "DBETAI(" << x << ", " << dfn / 2 << ", " << dfd / 2 << ")";
            }
}

struct StopRow {
    const char* name;
    double (*call)();
    const char* routine;
    int code;
    Lines printed;  // without the leading empty line of each message
};

class DistributionStops : public Distributions, public ::testing::WithParamInterface<StopRow> {};

TEST_P(DistributionStops, PrintTheirMessagesAndStop)
{
    const StopRow& row = GetParam();
    auto stop = capture.run([&] { row.call(); });
    ASSERT_TRUE(stop);
    EXPECT_EQ(stop->routine, row.routine);
    EXPECT_EQ(stop->type, 5);
    EXPECT_EQ(stop->code, row.code);
    Lines printed;
    for (const std::string& r : stop->printed)
        if (!r.empty())
            printed.push_back(r);
    EXPECT_EQ(printed, row.printed);
}

INSTANTIATE_TEST_SUITE_P(
    Rows, DistributionStops,
    ::testing::Values(
        StopRow{"TdistDfBelowOne", [] { return TDIST(1.0, 0.5); }, "TDIST", 1,
                {" *** TERMINAL ERROR 1 from TDIST.  The input number of degrees of freedom, DF",
                 " ***          = 5.000000000000000E-01, must be at least 1."}},
        StopRow{"TdistDfNan", [] { return TDIST(1.0, NAN); }, "TDIST", 1,
                {" *** TERMINAL ERROR 1 from TDIST.  The input number of degrees of freedom, DF",
                 " ***          = NaN, must be at least 1."}},
        StopRow{"DbetaiXAboveOne", [] { return DBETAI(1.5, 2.0, 3.0); }, "DBETAI", 5,
                {" *** TERMINAL ERROR 5 from DBETAI.  X = 1.500000000000000E+00 is not in the",
                 " ***          range (0.0,1.0)."}},
        StopRow{"DbetaiBothErrors", [] { return DBETAI(1.5, 0.0, 1.0); }, "DBETAI", 6,
                {" *** TERMINAL ERROR 5 from DBETAI.  X = 1.500000000000000E+00 is not in the",
                 " ***          range (0.0,1.0).",
                 " *** TERMINAL ERROR 6 from DBETAI.  Both PIN = 0.000000000000000E+00 and QIN",
                 " ***          = 1.000000000000000E+00 must be greater than 0.0."}},
        StopRow{"DbetaiNanX", [] { return DBETAI(NAN, 2.0, 3.0); }, "DBETAI", 5,
                {" *** TERMINAL ERROR 5 from DBETAI.  X = NaN is not in the range (0.0,1.0)."}},
        StopRow{"DbetaiNanShape", [] { return DBETAI(0.5, 2.0, NAN); }, "DBETAI", 6,
                {" *** TERMINAL ERROR 6 from DBETAI.  Both PIN = 2.000000000000000E+00 and QIN",
                 " ***          = NaN must be greater than 0.0."}},
        StopRow{"DbetaiInfiniteShape", [] { return DBETAI(0.0, 0.5, INFINITY); }, "DBETAI", 6,
                {" *** TERMINAL ERROR 6 from DBETAI.  Both PIN = 5.000000000000000E-01 and QIN",
                 " ***          = Infinity must be finite."}},
        // Halving a subnormal DFD loses the shape, and with a DFD below 1e-289 a subnormal DFN too.
        StopRow{"FdistSubnormalDfd", [] { return FDIST(1.0, 3.0, 5e-324); }, "FDIST", 2,
                {" *** TERMINAL ERROR 2 from FDIST.  DFD = 4.940656458412465-324 must be at",
                 " ***          least 4.450147717014403E-308."}},
        StopRow{"FdistSubnormalDfnTinyDfd", [] { return FDIST(1.0, 5e-324, 1e-300); }, "FDIST", 1,
                {" *** TERMINAL ERROR 1 from FDIST.  DFN = 4.940656458412465-324 must be at",
                 " ***          least 4.450147717014403E-308 when DFD = 1.000000000000000-300 ",
                 " ***          is below 1E-289."}},
        StopRow{"FdistNanDfn", [] { return FDIST(1.0, NAN, 3.0); }, "FDIST", 1,
                {" *** TERMINAL ERROR 1 from FDIST.  DFN = NaN must be greater than 0.0."}},
        StopRow{"FdistNanDfd", [] { return FDIST(1.0, 3.0, NAN); }, "FDIST", 2,
                {" *** TERMINAL ERROR 2 from FDIST.  DFD = NaN must be greater than 0.0."}},
        // A NaN F is refused before the route of a subnormal DFN returns.
        StopRow{"FdistNanFBesideSubnormalDfn", [] { return FDIST(NAN, 1e-310, 1.0); }, "DBETAI", 5,
                {" *** TERMINAL ERROR 5 from DBETAI.  X = NaN is not in the range (0.0,1.0).",
                 "     Here is a traceback of subprogram calls in reverse order:",
                 "     Routine name                    Error type  Error code",
                 "     ------------                    ----------  ----------",
                 "     DBETAI                               5           5    (Called internally)",
                 "     FDIST                                0           0",
                 "     USER                                 0           0"}},
        StopRow{"FdistInfiniteDfn", [] { return FDIST(INFINITY, INFINITY, 1e308); }, "FDIST", 1,
                {" *** TERMINAL ERROR 1 from FDIST.  DFN = Infinity must be finite."}},
        StopRow{"FdistInfiniteDfd", [] { return FDIST(2.0, 3.0, INFINITY); }, "FDIST", 2,
                {" *** TERMINAL ERROR 2 from FDIST.  DFD = Infinity must be finite."}}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
