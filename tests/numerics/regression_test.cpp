// The curve fit's regression: the failure table and edge cases of the polynomial fit with their
// printed messages, the orthogonal-polynomial regression's rules, the sort's permutation, and
// the statistics of degenerate fits.
#include "NumericsStop.h"

#include "numerics/numerics.h"

#include <DFORRT/Allocatable.h>
#include <DFORRT_standin.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <random>
#include <string>
#include <vector>

namespace {

using namespace kvpvs::numerics;
using kvpvs::test::NumericsCapture;
using Lines = std::vector<std::string>;

const double NaN = std::nan("");

const Lines TRACE_HEAD = {"     Here is a traceback of subprogram calls in reverse order:",
                          "     Routine name                    Error type  Error code",
                          "     ------------                    ----------  ----------"};

// The traceback of the perfect-fit note raised four levels below PFIT.
Lines PerfectFit(int degree)
{
    Lines l = {"",
               " *** WARNING  ERROR 11 from OPFIT3.  The degree " + std::to_string(degree) +
                   " polynomial fit is a perfect",
               " ***          fit within machine precision."};
    l.insert(l.end(), TRACE_HEAD.begin(), TRACE_HEAD.end());
    l.insert(l.end(), {"     OPFIT3                               6          11    (Called internally)",
                       "     OPFIT4                               0           0    (Called internally)",
                       "     OPFIT                                0           0    (Called internally)",
                       "     PFIT2                                0           0    (Called internally)",
                       "     PFIT                                 0           0",
                       "     USER                                 0           0"});
    return l;
}

Lines Join(Lines a, const Lines& b)
{
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

struct Fit {
    std::vector<double> b, seqss, stats;
};

class PolynomialFit : public ::testing::Test {
protected:
    Fit Run(std::vector<double> x, std::vector<double> y, int ndeg)
    {
        Fit f{std::vector<double>(static_cast<std::size_t>(ndeg + 1), -7.0), std::vector<double>(static_cast<std::size_t>(ndeg + 1)),
              std::vector<double>(10)};
        stopped = capture.run([&] {
            PFIT(static_cast<int>(x.size()), x.data(), y.data(), ndeg, f.b.data(), f.seqss.data(), f.stats.data());
        });
        return f;
    }
    NumericsCapture capture;
    std::optional<kvpvs::test::NumericsStopped> stopped;
};

TEST_F(PolynomialFit, ThreePointsOfDegreeTwoGiveTheInterpolatingParabolaAndThePerfectFitNote)
{
    // Through (1, 1), (2, 3), (4, 2): y = -8/3 + 9/2 x - 5/6 x^2.
    const Fit f = Run({1, 2, 4}, {1, 3, 2}, 2);
    ASSERT_FALSE(stopped);
    EXPECT_NEAR(f.b[0], -8.0 / 3.0, 1e-14);
    EXPECT_NEAR(f.b[1], 4.5, 1e-14);
    EXPECT_NEAR(f.b[2], -5.0 / 6.0, 1e-14);
    EXPECT_EQ(f.stats[7], 0.0);
    EXPECT_EQ(f.stats[8], 0.0);
    EXPECT_EQ(capture.records(), PerfectFit(2));
}

TEST_F(PolynomialFit, CollinearPointsAtDegreeThreeGiveTheLineAndWarningSix)
{
    const Fit f = Run({1, 2, 3, 4, 5}, {3, 5, 7, 9, 11}, 3);
    ASSERT_FALSE(stopped);
    EXPECT_NEAR(f.b[0], 1.0, 1e-14);
    EXPECT_NEAR(f.b[1], 2.0, 1e-14);
    EXPECT_EQ(f.b[2], 0.0);
    EXPECT_EQ(f.b[3], 0.0);
    EXPECT_EQ(f.seqss[2], 0.0);
    EXPECT_EQ(f.seqss[3], 0.0);
    EXPECT_EQ(capture.records(),
              Join(PerfectFit(1), {"", " *** WARNING  ERROR 6 from PFIT.  A perfect fit was obtained with a",
                                   " ***          polynomial of lower degree (=1) than NDEG = 3 as requested."}));
    EXPECT_EQ(ERTYPE(1), 3);
    EXPECT_EQ(ERCODE(1), 6);
}

TEST_F(PolynomialFit, TwoReplicatedAbscissasGiveTheLineThroughTheGroupMeansAndWarningFive)
{
    const Fit f = Run({1, 1, 3, 3}, {1, 2, 5, 6}, 3);
    ASSERT_FALSE(stopped);
    EXPECT_NEAR(f.b[0], -0.5, 1e-14);  // means 1.5 at x = 1 and 5.5 at x = 3
    EXPECT_NEAR(f.b[1], 2.0, 1e-14);
    EXPECT_EQ(f.b[2], 0.0);
    EXPECT_EQ(f.b[3], 0.0);
    EXPECT_EQ(capture.records(),
              (Lines{"", " *** WARNING  ERROR 5 from PFIT.  A degree 1 polynomial is fitted.  There are",
                     " ***          only 2 distinct abscissas, so a higher degree polynomial fit ",
                     " ***          cannot be computed."}));
}

TEST_F(PolynomialFit, ConstantResponseIsTheMeanWithWarningFour)
{
    const Fit f = Run({1, 2, 3}, {4, 4, 4}, 2);
    ASSERT_FALSE(stopped);
    EXPECT_EQ(f.b, (std::vector<double>{4, 0, 0}));
    EXPECT_TRUE(std::isnan(f.stats[0]));
    EXPECT_TRUE(std::isnan(f.stats[2]));
    EXPECT_EQ(capture.records(),
              Join(PerfectFit(0), {"", " *** WARNING  ERROR 4 from PFIT.  The y values are constant.  A zero order",
                                   " ***          polynomial is fit.  High order coefficients are set to zero."}));
}

TEST_F(PolynomialFit, DegreeZeroIsTheMeanWithoutAnXStatistic)
{
    const Fit f = Run({1, 2, 3, 4}, {1, 2, 4, 9}, 0);
    ASSERT_FALSE(stopped);
    EXPECT_EQ(f.b[0], 4.0);
    EXPECT_TRUE(std::isnan(f.stats[0]));
    EXPECT_TRUE(std::isnan(f.stats[2]));
    EXPECT_EQ(f.stats[5], 0.0);
    EXPECT_EQ(f.seqss[0], 4 * 16.0);  // n' times the squared mean
    EXPECT_TRUE(capture.records().empty());
}

TEST_F(PolynomialFit, PairsWithANaNOrAnInfinityAreLeftOutAndCounted)
{
    const double inf = RCONST(7);
    const Fit with = Run({1, 2, 3, 4, 5, 6, -inf}, {2, 3, NaN, 8, 11, inf, 4}, 2);
    const Fit without = Run({1, 2, 4, 5}, {2, 3, 8, 11}, 2);
    EXPECT_EQ(with.b, without.b);
    EXPECT_EQ(with.stats[9], 3.0);
    EXPECT_EQ(without.stats[9], 0.0);
    // Means and variances of the valid pairs: x 3, y 6, var x 10/3.
    EXPECT_DOUBLE_EQ(with.stats[0], 3.0);
    EXPECT_DOUBLE_EQ(with.stats[1], 6.0);
    EXPECT_DOUBLE_EQ(with.stats[2], 10.0 / 3.0);
}

TEST_F(PolynomialFit, DescendingAbscissasGiveTheCoefficientsOfAscendingOnes)
{
    const Fit up = Run({1, 2, 3, 4, 5, 6}, {1.5, 2.0, 4.5, 4.0, 7.5, 9.0}, 2);
    const Fit down = Run({6, 5, 4, 3, 2, 1}, {9.0, 7.5, 4.0, 4.5, 2.0, 1.5}, 2);
    EXPECT_EQ(up.b, down.b);
}

struct Failure {
    const char* name;
    std::vector<double> x, y;
    int nobs, ndeg;
    bool fail_allocation;
    std::string routine;
    int type, code;
    Lines printed;
};

class PolynomialFitStops : public PolynomialFit, public ::testing::WithParamInterface<Failure> {};

TEST_P(PolynomialFitStops, WithItsMessageAndNoCoefficients)
{
    const Failure& c = GetParam();
    std::vector<double> b(3, -7.0), seqss(3), stats(10);
    std::vector<double> x(c.x), y(c.y);
    if (c.fail_allocation)
        dforrt::StandInFailNextAllocation();
    stopped = capture.run([&] { PFIT(c.nobs, x.data(), y.data(), c.ndeg, b.data(), seqss.data(), stats.data()); });
    ASSERT_TRUE(stopped);
    EXPECT_EQ(stopped->routine, c.routine);
    EXPECT_EQ(stopped->type, c.type);
    EXPECT_EQ(stopped->code, c.code);
    EXPECT_EQ(stopped->printed, c.printed);
    EXPECT_EQ(b, std::vector<double>(3, -7.0));
    EXPECT_EQ(dforrt::StandInLiveAllocations(), 0);
}

INSTANTIATE_TEST_SUITE_P(
    Numerics, PolynomialFitStops,
    ::testing::Values(
        Failure{"NoObservations", {1}, {1}, 0, 1, false, "PFIT", 5, 1,
                {"", " *** TERMINAL ERROR 1 from PFIT.  The number of observations must be at least",
                 " ***          1 while NOBS = 0 is given."}},
        Failure{"NegativeDegree", {1, 2}, {1, 2}, 2, -1, false, "PFIT", 5, 2,
                {"", " *** TERMINAL ERROR 2 from PFIT.  NDEG = -1.  The degree of the polynomial to",
                 " ***          be fit must be greater than or equal to 0."}},
        Failure{"NoWorkStorage", {1, 2}, {1, 2}, 2, 2, true, "PFIT", 5, 3,
                {"", " *** TERMINAL ERROR 3 from PFIT.  The required storage cannot be allocated",
                 " ***          based on NOBS = 2 and NDEG = 2."}},
        // 11 NOBS + 11 NDEG + (NDEG + 3)(NDEG + 1) + 5 doubles pass 2^31 and any machine's memory.
        Failure{"WorkStorageBeyondMemory", {1, 2}, {1, 2}, 2, 2000000000, false, "PFIT", 5, 3,
                {"", " *** TERMINAL ERROR 3 from PFIT.  The required storage cannot be allocated",
                 " ***          based on NOBS = 2 and NDEG = 2000000000."}},
        Failure{"OneObservation", {1}, {1}, 1, 1, false, "OPFIT", 5, 1,
                Join({"", " *** TERMINAL ERROR 1 from OPFIT.  NOBS = 1.  The number of observations,",
                      " ***          NOBS, must be greater than 1."},
                     Join(TRACE_HEAD, {"     OPFIT                                5           1    (Called internally)",
                                       "     PFIT2                                0           0    (Called internally)",
                                       "     PFIT                                 0           0",
                                       "     USER                                 0           0"}))},
        Failure{"EveryPairHasANaN", {1, NaN, 3}, {NaN, 2, NaN}, 3, 2, false, "PFIT", 4, 3,
                {"", " *** FATAL    ERROR 3 from PFIT.  There are no valid data points.  Each (x,y)",
                 " ***          pair contains NaN (not a number)."}},
        Failure{"ConstantX", {1, 1, 1}, {1, 2, 5}, 3, 2, false, "PFIT", 4, 7,
                {"", " *** FATAL    ERROR 7 from PFIT.  The x values are constant.  At least two",
                 " ***          distinct x values are needed."}},
        Failure{"OnlyOnePairWithoutANaN", {1, NaN, 3}, {NaN, 2, 5}, 3, 2, false, "PFIT", 4, 7,
                {"", " *** FATAL    ERROR 7 from PFIT.  The x values are constant.  At least two",
                 " ***          distinct x values are needed."}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(PolynomialFitWork, SizeIsCountedIn64Bits)
{
    EXPECT_EQ(pfit_work_size(10, 2), 110 + 22 + 15 + 5);
    // (46340 + 3)(46340 + 1) alone passes 2^31.
    EXPECT_EQ(pfit_work_size(1, 46340), 11 + 11LL * 46340 + 46343LL * 46341 + 5);
    EXPECT_GT(pfit_work_size(1, 46340), 2147483647LL);
}

// ---- orthogonal-polynomial regression ------------------------------------------------------

struct OpResult {
    int ndeg = -1;
    double smult = 0, sadd = 0, dfe = 0, sse = 0, dfpe = -1, sspe = -1;
    int nmiss = -1;
    std::vector<double> alpha, beta, ocoef, d;
};

class OrthogonalFit : public ::testing::Test {
protected:
    // Columns: x, y[, frequency, weight].
    OpResult Run(const std::vector<std::vector<double>>& cols, int maxdeg, int icrit = 0, double crit = 0.0, int lof = 0,
                 int ifrq = 0, int iwt = 0)
    {
        const int n = static_cast<int>(cols[0].size());
        std::vector<double> X;
        for (const auto& c : cols)
            X.insert(X.end(), c.begin(), c.end());
        OpResult r;
        const std::size_t m = static_cast<std::size_t>(maxdeg + 1);
        r.alpha.assign(m, NaN);
        r.beta.assign(m, NaN);
        r.ocoef.assign(m, NaN);
        r.d.assign(m, NaN);
        std::vector<double> wk(8 * static_cast<std::size_t>(n));
        std::vector<int> iwk(static_cast<std::size_t>(n));
        stopped = capture.run([&] {
            OPFIT(n, static_cast<int>(cols.size()), X.data(), n, 2, 1, ifrq, iwt, maxdeg, icrit, crit, lof, r.ndeg,
                  r.smult, r.sadd, r.alpha.data(), r.beta.data(), r.ocoef.data(), r.d.data(), r.dfe, r.sse, r.dfpe,
                  r.sspe, r.nmiss, wk.data(), iwk.data());
        });
        return r;
    }
    NumericsCapture capture;
    std::optional<kvpvs::test::NumericsStopped> stopped;
};

TEST_F(OrthogonalFit, TwoDistinctAbscissasAllowAtMostALine)
{
    const OpResult r = Run({{0, 0, 0, 2, 2}, {1, 2, 3, 7, 8}}, 4);
    EXPECT_EQ(r.ndeg, 1);
    EXPECT_EQ(ERTYPE(1), 3);
    EXPECT_EQ(ERCODE(1), 5);
}

TEST_F(OrthogonalFit, DegreeZeroIsTheWeightedMeanWithoutAMessage)
{
    const OpResult r = Run({{1, 2, 3, 4}, {2, 4, 4, 10}}, 0);
    EXPECT_EQ(r.ndeg, 0);
    EXPECT_EQ(r.ocoef[0], 5.0);
    EXPECT_EQ(r.d[0], 4.0);
    EXPECT_EQ(r.sse, 36.0);  // 9 + 1 + 1 + 25
    EXPECT_TRUE(capture.records().empty());
}

TEST_F(OrthogonalFit, DistinctAbscissasSwitchTheLackOfFitTestOff)
{
    // ICRIT 2 would stop on the lack-of-fit p-value; with DFPE = 0 the R-squared rule decides,
    // with CRIT / 100: the line through y = x^2 explains more than 5 % and ends the fit.
    const OpResult r = Run({{1, 2, 3, 4, 5}, {1, 4, 9, 16, 25}}, 3, 2, 5.0, 1);
    EXPECT_FALSE(stopped);
    EXPECT_EQ(r.dfpe, 0.0);
    EXPECT_EQ(r.sspe, 0.0);
    EXPECT_EQ(r.ndeg, 1);
}

TEST_F(OrthogonalFit, AnRSquaredCriterionStopsAtTheFirstDegreeReachingIt)
{
    const std::vector<double> x = {-3, -2, -1, 0, 1, 2, 3};
    std::vector<double> y;
    for (double v : x)
        y.push_back(v * v * v + v + 0.5 * v * v);
    // The share of the corrected total that the line explains: (sum x y)^2 / sum x^2 / SST.
    double sxx = 0, sxy = 0, ybar = 0;
    for (std::size_t i = 0; i < x.size(); ++i)
        ybar += y[i] / 7.0;
    double sst = 0;
    for (std::size_t i = 0; i < x.size(); ++i) {
        sxx += x[i] * x[i];
        sxy += x[i] * y[i];
        sst += (y[i] - ybar) * (y[i] - ybar);
    }
    const double r2_line = sxy * sxy / sxx / sst;
    ASSERT_GT(r2_line, 0.85);  // the line alone reaches 85 %
    ASSERT_LT(r2_line, 0.9);
    const OpResult r = Run({x, y}, 3, 1, 85.0);
    EXPECT_EQ(r.ndeg, 1);
    // The quadratic adds the even part, 21 of 2029: 89.35 %; the cubic reaches 100 %.
    EXPECT_EQ(Run({x, y}, 3, 1, 89.0).ndeg, 2);
    EXPECT_EQ(Run({x, y}, 3, 1, 90.0).ndeg, 3);
}

TEST_F(OrthogonalFit, ARowWithANaNWeightIsCountedAndLeftOut)
{
    const OpResult r = Run({{1, 2, 3, 4}, {1, 2, 3, 5}, {1, 1, 1, 1}, {1, NaN, 1, 1}}, 1, 0, 0.0, 0, 3, 4);
    EXPECT_EQ(r.nmiss, 1);
    EXPECT_EQ(r.d[0], 3.0);
}

TEST_F(OrthogonalFit, ANegativeWeightIsFatalOneNamingTheRow)
{
    Run({{1, 2, 3, 4}, {1, 2, 3, 5}, {1, 1, 1, 1}, {1, 1, -2, 1}}, 1, 0, 0.0, 0, 3, 4);
    ASSERT_TRUE(stopped);
    EXPECT_EQ(stopped->type, 4);
    EXPECT_EQ(stopped->code, 1);
    EXPECT_EQ(capture.records(), (Lines{"", " *** FATAL    ERROR 1 from OPFIT.  The weight for row 3 of X was",
                                        " ***          -2.000000000000000E+00.  Weights must be nonnegative."}));
}

TEST_F(OrthogonalFit, ConstantAbscissasAreNotScaled)
{
    const OpResult r = Run({{2, 2, 2}, {1, 2, 3}}, 1);
    ASSERT_TRUE(stopped);
    EXPECT_EQ(stopped->code, 7);
    EXPECT_EQ(r.smult, 0.0);  // untouched: no division by the zero range
}

TEST(SortWithPermutation, AgreesWithStdSortAndCarriesThePermutation)
{
    NumericsCapture capture;
    std::mt19937 gen(11u);
    std::uniform_int_distribution<int> pick(0, 40);  // many repeats
    for (int n : {1, 2, 3, 11, 12, 13, 50, 1000, 20000}) {
        std::vector<double> ra(static_cast<std::size_t>(n)), rb(static_cast<std::size_t>(n));
        std::vector<int> perm(static_cast<std::size_t>(n));
        for (int i = 0; i < n; ++i) {
            ra[static_cast<std::size_t>(i)] = pick(gen) * 0.5;
            perm[static_cast<std::size_t>(i)] = i + 1;
        }
        SORTPM(n, ra.data(), rb.data(), perm.data());
        std::vector<double> expected(ra);
        std::sort(expected.begin(), expected.end());
        EXPECT_EQ(rb, expected) << n;
        for (int i = 0; i < n; ++i)
            EXPECT_EQ(ra[static_cast<std::size_t>(perm[static_cast<std::size_t>(i)] - 1)], rb[static_cast<std::size_t>(i)]);
    }
}

TEST(SortWithPermutation, EqualElementsAreNeverExchanged)
{
    NumericsCapture capture;
    const std::vector<double> ra(37, 4.0);
    std::vector<double> rb(37);
    std::vector<int> perm(37);
    for (int i = 0; i < 37; ++i)
        perm[static_cast<std::size_t>(i)] = i + 1;
    const std::vector<int> identity(perm);
    SORTPM(37, ra.data(), rb.data(), perm.data());
    EXPECT_EQ(perm, identity);
    std::vector<int> one = {5};
    double x = 3.0, y = 0.0;
    SORTPM(1, &x, &y, one.data());
    EXPECT_EQ(y, 3.0);
    EXPECT_EQ(one[0], 5);
}

// ---- statistics of degenerate fits -------------------------------------------------------------

TEST(RegressionStatistics, AnExactFitWithoutErrorDegreesOfFreedomHasNoErrorVariance)
{
    NumericsCapture capture;
    // Orthogonal fit of y = 1 + x through x = -2, 0, 2 (z = x): P1 = z, D = 3, 8.
    const double alpha[1] = {0.0}, beta[1] = {0.0}, ocoef[2] = {1.0, 1.0}, d[2] = {3.0, 8.0};
    double aov[15], sqss[4], coef[8], tlof[4], wk[16];
    ASSERT_FALSE(capture.run([&] {
        OPTAB(1, alpha, beta, 1.0, 0.0, ocoef, d, 0.0, 0.0, 0, 0.0, 0.0, 0, aov, sqss, 1, coef, 2, tlof, 1, wk);
    }));
    EXPECT_EQ(aov[4], 0.0);
    EXPECT_TRUE(std::isnan(aov[7]));
    EXPECT_TRUE(std::isnan(aov[11]));
    EXPECT_EQ(coef[0], 1.0);
    EXPECT_EQ(coef[1], 1.0);
    for (int i = 2; i < 8; ++i)
        EXPECT_TRUE(std::isnan(coef[i])) << i;
}

TEST(RegressionStatistics, DegreeZeroHasNoRegressionDegreesOfFreedom)
{
    NumericsCapture capture;
    const double ocoef[1] = {2.5}, d[1] = {4.0};
    double aov[15], coef[4], wk[8];
    ASSERT_FALSE(capture.run([&] {
        OPTAB(0, nullptr, nullptr, 1.0, 0.0, ocoef, d, 3.0, 6.0, 0, 0.0, 0.0, 0, aov, nullptr, 1, coef, 1, nullptr, 1, wk);
    }));
    EXPECT_EQ(coef[0], 2.5);
    EXPECT_DOUBLE_EQ(coef[1], std::sqrt(0.5));  // sqrt(MSE / D(1)), MSE = 6 / 3
    EXPECT_TRUE(std::isnan(aov[6]));
    EXPECT_TRUE(std::isnan(aov[8]));
    EXPECT_TRUE(std::isnan(aov[9]));
}

TEST(RegressionStatistics, AZeroSequentialSumOfSquaresHasFZeroAndPValueOne)
{
    NumericsCapture capture;
    double f = -1, p = -1;
    FMCF(0.0, 2.0, 1.0, 4.0, f, p);
    EXPECT_EQ(f, 0.0);
    EXPECT_EQ(p, 1.0);
    EXPECT_EQ(ERTYPE(1), 1);  // the NOTE of the F distribution
    EXPECT_EQ(ERCODE(1), 3);
}

TEST(RegressionStatistics, AZeroStandardErrorGivesAnInfiniteTAndPValueZero)
{
    double t = 0, p = -1;
    FMCT(-3.0, 0.0, 5.0, t, p);
    EXPECT_EQ(t, -HUGE_VAL);
    EXPECT_EQ(p, 0.0);
}

// A NaN degree of freedom has no p-value, whatever the statistic, as one not above 0 has none.
TEST(RegressionStatistics, ANaNDegreeOfFreedomGivesANaNPValueWhateverTheStatistic)
{
    NumericsCapture capture;
    const double nan = std::nan("");
    const auto p_of = [&](auto call) {
        double statistic = 0.0, p = -1.0;
        EXPECT_FALSE(capture.run([&] { call(statistic, p); }));
        return p;
    };
    // F = +inf over a zero mean square, and F = 2; t = +-inf over a zero standard error, and t = 2.
    EXPECT_TRUE(std::isnan(p_of([&](double& f, double& p) { FMCF(1.0, 0.0, nan, 4.0, f, p); })));
    EXPECT_TRUE(std::isnan(p_of([&](double& f, double& p) { FMCF(1.0, 0.0, 4.0, nan, f, p); })));
    EXPECT_TRUE(std::isnan(p_of([&](double& f, double& p) { FMCF(2.0, 1.0, nan, 4.0, f, p); })));
    EXPECT_TRUE(std::isnan(p_of([&](double& t, double& p) { FMCT(1.0, 0.0, nan, t, p); })));
    EXPECT_TRUE(std::isnan(p_of([&](double& t, double& p) { FMCT(-1.0, 0.0, nan, t, p); })));
    EXPECT_TRUE(std::isnan(p_of([&](double& t, double& p) { FMCT(2.0, 1.0, nan, t, p); })));
    EXPECT_TRUE(capture.records().empty());
}

}  // namespace
