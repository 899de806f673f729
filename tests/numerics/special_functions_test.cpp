// Chebyshev series, error function and gamma family against MPFR at 256 bits, and their
// failure rows (type, code, printed text, where the stop comes).
#include "NumericsStop.h"

#include "numerics/chebyshev_tables.h"
#include "numerics/numerics.h"

#include <gtest/gtest.h>
#include <mpfr.h>

#include <cmath>
#include <string>
#include <vector>

namespace {

using namespace kvpvs::numerics;
using kvpvs::test::NumericsCapture;
using Lines = std::vector<std::string>;

constexpr double U = 0x1p-53;

// One 256-bit value, rounded to double at the end.
class Big {
public:
    explicit Big(mpfr_prec_t bits = 256) { mpfr_init2(v_, bits); }
    explicit Big(double x, mpfr_prec_t bits = 256) : Big(bits) { mpfr_set_d(v_, x, MPFR_RNDN); }
    ~Big() { mpfr_clear(v_); }
    Big(const Big&) = delete;
    Big& operator=(const Big&) = delete;
    mpfr_ptr get() { return v_; }
    double d() const { return mpfr_get_d(v_, MPFR_RNDN); }

private:
    mpfr_t v_;
};

double ref_erfc(double x) { Big r, a(x); mpfr_erfc(r.get(), a.get(), MPFR_RNDN); return r.d(); }
double ref_gamma(double x) { Big r, a(x); mpfr_gamma(r.get(), a.get(), MPFR_RNDN); return r.d(); }
double ref_lngamma(double x) { Big r, a(x); int sign = 0; mpfr_lgamma(r.get(), &sign, a.get(), MPFR_RNDN); return r.d(); }
double ref_log1p(double x) { Big r, a(x); mpfr_log1p(r.get(), a.get(), MPFR_RNDN); return r.d(); }

// ln Gamma(x) - ((x - 0.5) ln x - x + ln sqrt(2 pi)): the terms cancel to about 1/(12 x) of
// x ln x, so the precision grows with x (2048 bits reach x = 1e200).
double ref_stirling_correction(double x)
{
    const mpfr_prec_t bits = 2048;
    Big a(x, bits), lg(bits), t(bits), l(bits), c(bits);
    int sign = 0;
    mpfr_lgamma(lg.get(), &sign, a.get(), MPFR_RNDN);
    mpfr_log(l.get(), a.get(), MPFR_RNDN);
    mpfr_sub_d(t.get(), a.get(), 0.5, MPFR_RNDN);
    mpfr_mul(t.get(), t.get(), l.get(), MPFR_RNDN);
    mpfr_sub(t.get(), t.get(), a.get(), MPFR_RNDN);
    mpfr_const_pi(c.get(), MPFR_RNDN);
    mpfr_mul_ui(c.get(), c.get(), 2, MPFR_RNDN);
    mpfr_log(c.get(), c.get(), MPFR_RNDN);
    mpfr_div_ui(c.get(), c.get(), 2, MPFR_RNDN);
    mpfr_add(t.get(), t.get(), c.get(), MPFR_RNDN);
    mpfr_sub(lg.get(), lg.get(), t.get(), MPFR_RNDN);
    return lg.d();
}

double ref_lbeta(double a, double b)
{
    Big x(a), y(b), s, la, lb, ls;
    int sign = 0;
    mpfr_add(s.get(), x.get(), y.get(), MPFR_RNDN);  // a + b exactly at 256 bits
    mpfr_lgamma(la.get(), &sign, x.get(), MPFR_RNDN);
    mpfr_lgamma(lb.get(), &sign, y.get(), MPFR_RNDN);
    mpfr_lgamma(ls.get(), &sign, s.get(), MPFR_RNDN);
    mpfr_add(la.get(), la.get(), lb.get(), MPFR_RNDN);
    mpfr_sub(la.get(), la.get(), ls.get(), MPFR_RNDN);
    return la.d();
}

// Factor by which accuracy is lost near a negative integer: |x| over the distance to it.
double pole_factor(double x)
{
    if (x >= 0.0)
        return 1.0;
    const double dist = std::fabs(x - std::nearbyint(x));
    return std::max(1.0, std::fabs(x) / dist);
}

std::vector<double> grid(double from, double to, double step)
{
    std::vector<double> xs;
    for (double x = from; x <= to; x += step)
        xs.push_back(x);
    return xs;
}

class SpecialFunctions : public ::testing::Test {
protected:
    NumericsCapture capture;
};

TEST_F(SpecialFunctions, DerfcHoldsRelativeToleranceAgainstMpfr)
{
    for (double x : grid(-6.0, 26.5, 0.0173)) {
        const double ref = ref_erfc(x);
        EXPECT_NEAR(DERFC(x), ref, std::fabs(ref) * (x * x + 8.0) * 2.0 * U) << "x = " << x;
    }
    for (double x : {0.0, 1e-9, 1.0, -1.0, 2.0, 3.0})
        EXPECT_NEAR(DERFC(x), ref_erfc(x), std::fabs(ref_erfc(x)) * (x * x + 8.0) * 2.0 * U) << x;
    EXPECT_TRUE(capture.records().empty());
}

TEST_F(SpecialFunctions, DerfcEndsAtTwoAndZero)
{
    EXPECT_EQ(DERFC(-30.0), 2.0);
    EXPECT_EQ(ERTYPE(1), 0);
    EXPECT_EQ(DERFC(30.0), 0.0);
    EXPECT_EQ(ERTYPE(1), 2) << "underflow ALERT";
    EXPECT_EQ(ERCODE(1), 1);
    EXPECT_TRUE(capture.records().empty()) << "an ALERT is never printed";
}

TEST_F(SpecialFunctions, DgammaHoldsItsToleranceAgainstMpfr)
{
    for (double x : grid(-170.4, 171.6, 0.0731)) {
        if (x <= 0.0 && x == std::nearbyint(x))
            continue;
        const double y = std::fabs(x);
        const double tol = (y <= 10.0 ? 1e-14 : 4.0 * (1.0 + y * std::log(y)) * U) * pole_factor(x);
        const double ref = ref_gamma(x);
        capture.run([&] { EXPECT_NEAR(DGAMMA(x), ref, std::fabs(ref) * tol) << "x = " << x; });
    }
    EXPECT_EQ(DGAMMA(1.0), 1.0);
    EXPECT_EQ(DGAMMA(2.0), 1.0);
    EXPECT_NEAR(DGAMMA(5.0), 24.0, 24.0 * 1e-14);
    EXPECT_NEAR(DGAMMA(0.5), std::sqrt(M_PI), 1e-14);
    EXPECT_NEAR(DGAMMA(-0.5), -2.0 * std::sqrt(M_PI), 1e-14);
    EXPECT_NEAR(DGAMMA(11.0), 3628800.0, 3628800.0 * 1e-14);
}

TEST_F(SpecialFunctions, DlngamHoldsAbsoluteToleranceAgainstMpfr)
{
    for (double x : grid(-170.4, 500.0, 0.0917)) {
        if (x <= 0.0 && x == std::nearbyint(x))
            continue;
        const double ref = ref_lngamma(x);
        const double tol = 4.0 * U * std::max(1.0, std::fabs(ref)) * pole_factor(x);
        capture.run([&] { EXPECT_NEAR(DLNGAM(x), ref, tol) << "x = " << x; });
    }
    for (double x : {1.0, 2.0, 0.5, 100.0, -10.5, 1e5, 1e300})
        EXPECT_NEAR(DLNGAM(x), ref_lngamma(x), 4.0 * U * std::max(1.0, std::fabs(ref_lngamma(x)))) << x;
    EXPECT_NEAR(DLNGAM(100.0), 359.1342054, 1e-7);
}

TEST_F(SpecialFunctions, D9lgmcHoldsRelativeToleranceAgainstMpfr)
{
    for (double x : {10.0, 10.5, 12.0, 20.0, 47.3, 100.0, 1e3, 1e5, 1e7, 9e7, 1e8, 1e12, 1e200}) {
        const double ref = ref_stirling_correction(x);
        EXPECT_NEAR(D9LGMC(x), ref, std::fabs(ref) * 4e-15) << "x = " << x;
    }
    EXPECT_NEAR(D9LGMC(10.0), 0.0083305634, 1e-10);
    EXPECT_EQ(D9LGMC(1e8), 1.0 / 1.2e9);
}

TEST_F(SpecialFunctions, DlnrelHoldsRelativeToleranceAgainstMpfr)
{
    std::vector<double> xs = grid(-0.99, 3.0, 0.00371);
    for (double x : {-1.0 + 1.5e-8, -0.999999, -0.375, 0.375, 1e-300, -1e-10, 1e-5, 0.5, 1e10, 1e300})
        xs.push_back(x);
    for (double x : xs) {
        const double ref = ref_log1p(x);
        EXPECT_NEAR(DLNREL(x), ref, std::fabs(ref) * 8.0 * U) << "x = " << x;
    }
    EXPECT_EQ(DLNREL(0.0), 0.0);
    EXPECT_TRUE(capture.records().empty());
}

TEST_F(SpecialFunctions, DlbetaHoldsAbsoluteToleranceAgainstMpfr)
{
    const double values[] = {1e-3, 0.1, 0.5, 1.0, 1.5, 2.0, 3.7, 9.99, 10.0, 20.0, 30.0, 123.4, 1e4, 1e8};
    for (double a : values)
        for (double b : values) {
            const double tol = 8.0 * U * (std::fabs(ref_lngamma(a)) + std::fabs(ref_lngamma(b)) +
                                          std::fabs(ref_lngamma(a + b)));
            EXPECT_NEAR(DLBETA(a, b), ref_lbeta(a, b), tol) << "a = " << a << ", b = " << b;
        }
    EXPECT_EQ(DLBETA(1.0, 1.0), 0.0);
    EXPECT_NEAR(DLBETA(0.5, 0.5), std::log(M_PI), 4 * U);
}

TEST_F(SpecialFunctions, DlbetaClearsTheUnderflowOfAVanishingCorrection)
{
    // p + q beyond D9LGMC's xmax (about 3.745e306): its correction underflows to 0.
    const double p = 20.0, q = 3.8e306;
    ERPUSH("CALLER");
    const double r = DLBETA(p, q);
    EXPECT_EQ(ERTYPE(1), 0);
    EXPECT_EQ(ERCODE(1), 0);
    EXPECT_EQ(ERTYPE(0), 0);
    ERPOP("CALLER");
    EXPECT_TRUE(std::isfinite(r));
    EXPECT_TRUE(capture.records().empty());
}

TEST_F(SpecialFunctions, D9gamlFindsTheGammaRange)
{
    double xmin = 0.0, xmax = 0.0;
    D9GAML(xmin, xmax);
    EXPECT_EQ(xmin, -170.56749727266123);
    EXPECT_EQ(xmax, 171.61447887182297);
}

// Term counts for the tables' own tolerances: 0.1 * 2^-53 (2^-53 for Stirling's).
TEST_F(SpecialFunctions, InitdsCountsTheTermsOfEachTable)
{
    using namespace tables;
    const float eta = 0.1f * static_cast<float>(U);
    EXPECT_EQ(INITDS(ERFCS, 21, eta), 12);
    EXPECT_EQ(INITDS(ERC2CS, 49, eta), 24);
    EXPECT_EQ(INITDS(ERFCCS, 59, eta), 25);
    EXPECT_EQ(INITDS(GAMCS, 42, eta), 23);
    EXPECT_EQ(INITDS(ALGMCS, 15, static_cast<float>(U)), 6);
    EXPECT_EQ(INITDS(ALNRCS, 43, eta), 23);
    EXPECT_EQ(ERFCS[0], -0.049046121234691806);
    EXPECT_EQ(ERC2CS[0], -0.0696013466023095);
    EXPECT_EQ(ERFCCS[0], 0.07151793102029248);
    EXPECT_EQ(GAMCS[0], 0.00857119559098933);
    EXPECT_EQ(ALGMCS[0], 0.16663894804518634);
    EXPECT_EQ(ALNRCS[0], 1.037869356274377);
    const double small[3] = {1e-20, 1e-20, 1e-20};
    EXPECT_EQ(INITDS(small, 3, eta), 1);
}

TEST_F(SpecialFunctions, DcsevlMatchesTheSeriesSummedIn256Bits)
{
    using namespace tables;
    for (int n : {1, 2, 23, 42}) {
        double abs_sum = 0.0;
        for (int k = 0; k < n; ++k)
            abs_sum += std::fabs(GAMCS[k]);
        for (double x : grid(-1.05, 1.05, 0.0137)) {
            // c(1)/2 + sum c(k) T(k-1)(x) with T by its recurrence in 256 bits.
            Big t0(1.0), t1(x), t2, sum, term, bx(x);
            mpfr_set_d(sum.get(), GAMCS[0] / 2, MPFR_RNDN);
            for (int k = 1; k < n; ++k) {
                if (k >= 2) {
                    mpfr_mul(t2.get(), t1.get(), bx.get(), MPFR_RNDN);
                    mpfr_mul_ui(t2.get(), t2.get(), 2, MPFR_RNDN);
                    mpfr_sub(t2.get(), t2.get(), t0.get(), MPFR_RNDN);
                    mpfr_set(t0.get(), t1.get(), MPFR_RNDN);
                    mpfr_set(t1.get(), t2.get(), MPFR_RNDN);
                }
                mpfr_mul_d(term.get(), t1.get(), GAMCS[k], MPFR_RNDN);
                mpfr_add(sum.get(), sum.get(), term.get(), MPFR_RNDN);
            }
            EXPECT_NEAR(DCSEVL(x, GAMCS, n), sum.d(), 4.0 * U * abs_sum) << "n = " << n << ", x = " << x;
        }
    }
    EXPECT_EQ(DCSEVL(0.7, GAMCS, 1), GAMCS[0] / 2);
    EXPECT_TRUE(capture.records().empty()) << "1.05 is inside the tolerated interval";
}

// ---- failure rows -------------------------------------------------------------------------

struct StopRow {
    const char* name;
    double (*call)();
    const char* routine;
    int code;
    Lines printed;  // records from the first message line on
};

class SpecialFunctionStops : public SpecialFunctions, public ::testing::WithParamInterface<StopRow> {};

TEST_P(SpecialFunctionStops, PrintTheirMessageAndStopWhenTheRoutinePops)
{
    const StopRow& row = GetParam();
    auto stop = capture.run([&] { row.call(); });
    ASSERT_TRUE(stop);
    EXPECT_EQ(stop->routine, row.routine);
    EXPECT_EQ(stop->type, 5);
    EXPECT_EQ(stop->code, row.code);
    Lines printed = stop->printed;
    ASSERT_FALSE(printed.empty());
    printed.erase(printed.begin());
    EXPECT_EQ(printed, row.printed);
}

const double* no_table = nullptr;

INSTANTIATE_TEST_SUITE_P(
    Rows, SpecialFunctionStops,
    ::testing::Values(
        StopRow{"InitdsNoCoefficients", [] { return double(INITDS(no_table, 0, 1.0f)); }, "INITDS", 5,
                {" *** TERMINAL ERROR 5 from INITDS.  The number of coefficients is less than",
                 " ***          1. NOS = 0."}},
        StopRow{"InitdsOneCoefficient", [] { static const double c[1] = {0.0}; return double(INITDS(c, 1, 1.0f)); },
                "INITDS", 6,
                {" *** TERMINAL ERROR 6 from INITDS.  Too much accuracy may be requested. ETA",
                 " ***          should be increased."}},
        StopRow{"DcsevlNoTerms", [] { return DCSEVL(0.0, tables::GAMCS, 0); }, "DCSEVL", 5,
                {" *** TERMINAL ERROR 5 from DCSEVL.  The number of terms in the series is not",
                 " ***          positive. N = 0."}},
        StopRow{"DcsevlTooManyTerms", [] { return DCSEVL(0.0, tables::GAMCS, 1001); }, "DCSEVL", 6,
                {" *** TERMINAL ERROR 6 from DCSEVL.  The number of terms in the series is",
                 " ***          greater than 1000. N = 1001."}},
        StopRow{"DgammaZero", [] { return DGAMMA(0.0); }, "DGAMMA", 5,
                {" *** TERMINAL ERROR 5 from DGAMMA.  The argument for the function can not be",
                 " ***          zero."}},
        StopRow{"DgammaNearZero", [] { return DGAMMA(1e-308); }, "DGAMMA", 4,
                {" *** TERMINAL ERROR 4 from DGAMMA.  The function overflows because X =",
                 " ***          9.999999999999999-309 is too close to zero."}},
        StopRow{"DgammaNegativeInteger", [] { return DGAMMA(-3.0); }, "DGAMMA", 6,
                {" *** TERMINAL ERROR 6 from DGAMMA.  The argument for the function can not be",
                 " ***          a negative integer. Argument X = -3.000000000000000E+00."}},
        StopRow{"DgammaOverflow", [] { return DGAMMA(172.0); }, "DGAMMA", 4,
                {" *** TERMINAL ERROR 4 from DGAMMA.  The function overflows because X =",
                 " ***          1.720000000000000E+02 is greater than 1.716144788718230E+02."}},
        StopRow{"DlngamOverflow", [] { return DLNGAM(1e306); }, "DLNGAM", 4,
                {" *** TERMINAL ERROR 4 from DLNGAM.  The function overflows because",
                 " ***          ABS(1.000000000000000+306) is greater than ",
                 " ***          2.532737276080076+305."}},
        StopRow{"DlngamNegativeIntegerBelowTen", [] { return DLNGAM(-3.0); }, "DGAMMA", 6,
                {" *** TERMINAL ERROR 6 from DGAMMA.  The argument for the function can not be",
                 " ***          a negative integer. Argument X = -3.000000000000000E+00.", "     Here is a traceback of subprogram calls in reverse order:",
                 "     Routine name                    Error type  Error code",
                 "     ------------                    ----------  ----------",
                 "     DGAMMA                               5           6    (Called internally)",
                 "     DLNGAM                               0           0",
                 "     USER                                 0           0"}},
        StopRow{"D9lgmcBelowTen", [] { return D9LGMC(9.99); }, "D9LGMC", 5,
                {" *** TERMINAL ERROR 5 from D9LGMC.  The argument X = 9.990000000000000E+00",
                 " ***          must be greater than or equal to 10.0."}},
        StopRow{"DlnrelMinusOne", [] { return DLNREL(-1.0); }, "DLNREL", 5,
                {" *** TERMINAL ERROR 5 from DLNREL.  The argument X = -1.000000000000000E+00",
                 " ***          must be greater than -1.0."}},
        StopRow{"DlbetaZero", [] { return DLBETA(0.0, 1.0); }, "DLBETA", 5,
                {" *** TERMINAL ERROR 5 from DLBETA.  Both arguments for the function must be",
                 " ***          greater than zero."}},
        StopRow{"DlbetaInfinite", [] { return DLBETA(RCONST(7), 2.0); }, "DLBETA", 5,
                {" *** TERMINAL ERROR 5 from DLBETA.  Both arguments for the function must be",
                 " ***          finite."}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(SpecialFunctions, WarningsAndAlertsReturnTheirValue)
{
    // Whole X below -10: the half-precision WARNING, and sin(12 pi) is not exactly 0.
    const double g = DGAMMA(-12.0);
    EXPECT_TRUE(std::isfinite(g));
    EXPECT_GT(std::fabs(g), 1e6);
    EXPECT_EQ(ERTYPE(1), 3);
    EXPECT_EQ(ERCODE(1), 2);
    EXPECT_EQ(capture.records(),
              (Lines{"", " *** WARNING  ERROR 2 from DGAMMA.  The result is accurate to less than one",
                     " ***          half precision because X = -1.200000000000000E+01 is too close ",
                     " ***          to a negative integer."}));
    capture.clear();

    EXPECT_EQ(DGAMMA(-180.0), 0.0);
    EXPECT_EQ(ERTYPE(1), 2);
    EXPECT_EQ(ERCODE(1), 1);

    DLNGAM(-11.0);
    EXPECT_EQ(ERTYPE(1), 3);
    EXPECT_EQ(ERCODE(1), 2);
    capture.clear();

    const double r = DLNREL(-0.99999999);
    EXPECT_NEAR(r, ref_log1p(-0.99999999), 1e-6);
    EXPECT_EQ(ERTYPE(1), 3);
    EXPECT_EQ(ERCODE(1), 2);
    ASSERT_GE(capture.records().size(), 2u);
    EXPECT_EQ(capture.records()[1],
              " *** WARNING  ERROR 2 from DLNREL.  The result is accurate to less than one");

    EXPECT_EQ(D9LGMC(1e307), 0.0);
    EXPECT_EQ(ERTYPE(1), 2);
    EXPECT_EQ(ERCODE(1), 1);

    capture.clear();
    ERPUSH("CALLER");
    DCSEVL(1.2, tables::GAMCS, 5);
    EXPECT_EQ(ERTYPE(1), 3);
    EXPECT_EQ(ERCODE(1), 7);
    ERPOP("CALLER");
    EXPECT_EQ(capture.records(), (Lines{"", " *** WARNING  ERROR 7 from CALLER.  The argument X = 1.200000000000000E+00 is",
                                        " ***          outside the interval (-1.1,+1.1)."}));
}

TEST_F(SpecialFunctions, NanArgumentsGiveNan)
{
    const double nan = RCONST(6);
    EXPECT_TRUE(std::isnan(DERFC(nan)));
    EXPECT_TRUE(std::isnan(DGAMMA(nan)));
    EXPECT_TRUE(std::isnan(DLNGAM(nan)));
    EXPECT_TRUE(std::isnan(D9LGMC(nan)));
    EXPECT_TRUE(std::isnan(DLNREL(nan)));
    EXPECT_TRUE(std::isnan(DLBETA(nan, 1.0)));
    EXPECT_TRUE(std::isnan(DLBETA(1.0, nan)));
}

}  // namespace
