// Machine constants, the NaN test, the guarded quotient, strided kernels (reference BLAS
// stride convention) and the argument checks with their messages and code steps.
#include "NumericsStop.h"

#include "numerics/numerics.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>
#include <vector>

namespace {

using namespace kvpvs::numerics;
using kvpvs::test::NumericsCapture;
using Lines = std::vector<std::string>;
using L = std::numeric_limits<double>;

class KernelsAndChecks : public ::testing::Test {
protected:
    NumericsCapture capture;
};

TEST_F(KernelsAndChecks, RconstAndIsnanFollowTheIeeeFormat)
{
    EXPECT_EQ(RCONST(1), L::min());
    EXPECT_EQ(RCONST(2), L::max());
    EXPECT_EQ(RCONST(3), L::epsilon() / 2);
    EXPECT_EQ(RCONST(4), L::epsilon());
    EXPECT_EQ(RCONST(5), std::log10(2.0));
    EXPECT_TRUE(std::isnan(RCONST(6)));
    EXPECT_EQ(RCONST(7), L::infinity());
    EXPECT_EQ(RCONST(8), -L::infinity());
    for (double x : {0.0, -0.0, 1.0, L::denorm_min(), L::max(), L::infinity(), -L::infinity(), L::quiet_NaN(),
                     -L::quiet_NaN(), L::signaling_NaN()})
        EXPECT_EQ(ISNAN(x), std::isnan(x)) << x;
}

TEST_F(KernelsAndChecks, RconstOutsideItsTableStops)
{
    auto stop = capture.run([] { RCONST(9); });
    ASSERT_TRUE(stop);
    EXPECT_EQ(stop->routine, "RCONST");
    EXPECT_EQ(stop->code, 5);
    EXPECT_EQ(stop->printed, (Lines{"", " *** TERMINAL ERROR 5 from RCONST.  The argument must be between 1 and 8",
                                    " ***          inclusive. N = 9"}));
}

struct QuotientCase {
    const char* name;
    double a, b, q;  // q NaN: expect NaN
};

class Safeeq : public KernelsAndChecks, public ::testing::WithParamInterface<QuotientCase> {};

TEST_P(Safeeq, FollowsItsTable)
{
    double q = 123.0;
    SAFEEQ(GetParam().a, GetParam().b, q);
    if (std::isnan(GetParam().q))
        EXPECT_TRUE(std::isnan(q));
    else
        EXPECT_EQ(q, GetParam().q);
}

INSTANTIATE_TEST_SUITE_P(
    KernelsAndChecks, Safeeq,
    ::testing::Values(QuotientCase{"ZeroOverZero", 0.0, 0.0, NAN}, QuotientCase{"OneOverZero", 1.0, 0.0, INFINITY},
                      QuotientCase{"MinusOneOverZero", -1.0, 0.0, -INFINITY},
                      QuotientCase{"MinusOneOverMinusZero", -1.0, -0.0, -INFINITY},
                      QuotientCase{"Underflow", 1e-300, 1e10, 0.0}, QuotientCase{"NanOverOne", NAN, 1.0, NAN},
                      QuotientCase{"OneOverNan", 1.0, NAN, NAN}, QuotientCase{"Overflow", -1e300, 1e-10, -INFINITY},
                      QuotientCase{"Ordinary", 3.0, -4.0, -0.75}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(KernelsAndChecks, StridesFollowTheReferenceConvention)
{
    const double x[6] = {1, 2, 3, 4, 5, 6};
    double y[6] = {};
    VCOPY(3, x, 2, y, -1);  // x(1), x(3), x(5) into y(3), y(2), y(1)
    EXPECT_EQ((std::vector<double>(y, y + 3)), (std::vector<double>{5, 3, 1}));
    const double w[3] = {1, 10, 100};
    EXPECT_EQ(VDOT(3, x, 1, w, -1), 1 * 100 + 2 * 10 + 3 * 1);
    EXPECT_EQ(VDOT3(2, x, 1, x, 1, w, 1), 1 * 1 * 1 + 2 * 2 * 10);
    EXPECT_EQ(VDOT3(2, x, -2, w, 1, w, 1), 3 * 1 * 1 + 1 * 10 * 10);
    EXPECT_EQ(VSUM(3, x, 2), 1 + 3 + 5);
    EXPECT_EQ(VSUM(0, x, 1), 0.0);
    EXPECT_EQ(VDOT(-1, x, 1, x, 1), 0.0);
    double f[4] = {};
    VFILL(2, 7.0, f, 3);
    EXPECT_EQ((std::vector<double>(f, f + 4)), (std::vector<double>{7, 0, 0, 7}));
    int i[3] = {};
    IFILL(3, -2, i, 1);
    EXPECT_EQ((std::vector<int>(i, i + 3)), (std::vector<int>{-2, -2, -2}));
}

TEST_F(KernelsAndChecks, ExtremeIndexIsTheFirst)
{
    const double a[4] = {3, 5, 5, 1};
    const double b[3] = {2, 1, 1};
    const double c[3] = {4, 4, 4};
    EXPECT_EQ(IXMAX(4, a, 1), 2);
    EXPECT_EQ(IXMIN(3, b, 1), 2);
    EXPECT_EQ(IXMAX(3, c, 1), 1);
    EXPECT_EQ(IXMIN(3, c, 1), 1);
    EXPECT_EQ(IXMAX(0, a, 1), 0);
    EXPECT_EQ(IXMIN(1, a, 1), 1);
    EXPECT_EQ(IXMAX(2, a, 3), 1) << "elements 1 and 4";
}

// Checks post at the caller's level: raise them inside a pushed routine, which then stops.
TEST_F(KernelsAndChecks, ChecksAdvanceTheCodeWhetherOrNotTheyPost)
{
    ERPUSH("CALLER");
    int code = 1;
    CKRANG(5, "N", 1, 1, 10, code);
    CKLE(2, "M", 1, 3, "N", 1, code);
    CKCOL(1, 2, "IC", 2, 0, "NC", 2, code);
    CKDIM(1, 2, "NR", 2, 4, "LD", 2, code);
    CKDNN(0.0, "W", 1, code);
    EXPECT_EQ(code, 1 + 1 + 1 + 2 + 3 + 1);
    EXPECT_EQ(ERTYPE(0), 0);
    ERPOP("CALLER");
    EXPECT_TRUE(capture.records().empty());
}

struct CheckRow {
    const char* name;
    void (*call)(int& code);
    int code;  // the code posted, counted from 1
    Lines printed;
};

class CheckMessages : public KernelsAndChecks, public ::testing::WithParamInterface<CheckRow> {};

TEST_P(CheckMessages, NameTheArgumentAndStopTheCaller)
{
    ERPUSH("CALLER");
    int code = 1;
    GetParam().call(code);
    EXPECT_EQ(ERCODE(0), GetParam().code);
    auto stop = capture.run([] { ERPOP("CALLER"); });
    ASSERT_TRUE(stop);
    EXPECT_EQ(stop->routine, "CALLER");
    Lines printed = stop->printed;
    printed.erase(printed.begin());
    EXPECT_EQ(printed, GetParam().printed);
}

INSTANTIATE_TEST_SUITE_P(
    KernelsAndChecks, CheckMessages,
    ::testing::Values(
        CheckRow{"RangeTwoSided", [](int& c) { CKRANG(11, "NDEG", 4, 0, 10, c); }, 1,
                 {" *** TERMINAL ERROR 1 from CALLER.  NDEG = 11.  NDEG must be greater than or",
                  " ***          equal to 0 and less than or equal to 10."}},
        CheckRow{"RangeOneSided", [](int& c) { CKRANG(-2, "NOBS", 4, 1, -1, c); }, 1,
                 {" *** TERMINAL ERROR 1 from CALLER.  NOBS = -2.  NOBS must be greater than or",
                  " ***          equal to 1."}},
        CheckRow{"LessOrEqual", [](int& c) { CKLE(7, "NDEG", 4, 3, "NOBS", 4, c); }, 1,
                 {" *** TERMINAL ERROR 1 from CALLER.  NDEG = 7 and NOBS = 3.  NDEG must be less",
                  " ***          than or equal to NOBS."}},
        CheckRow{"ColumnAboveCount", [](int& c) { CKCOL(1, 5, "IX", 2, 4, "NCOL", 4, c); }, 2,
                 {" *** TERMINAL ERROR 2 from CALLER.  IX = 5 and NCOL = 4.  IX must be less",
                  " ***          than or equal to NCOL."}},
        CheckRow{"DimensionStarSkipsTheLowerBound", [](int& c) { CKDIM(1, 9, "*NR", 3, 8, "LDX", 3, c); }, 3,
                 {" *** TERMINAL ERROR 3 from CALLER.  NR = 9 and LDX = 8.  NR must be less than",
                  " ***          or equal to LDX."}},
        CheckRow{"DimensionLeading", [](int& c) { CKDIM(1, 2, "NR", 2, 0, "LDX", 3, c); }, 2,
                 {" *** TERMINAL ERROR 2 from CALLER.  LDX = 0.  LDX must be greater than or",
                  " ***          equal to 1."}},
        CheckRow{"Negative", [](int& c) { CKDNN(-0.5, "W", 1, c); }, 1,
                 {" *** TERMINAL ERROR 1 from CALLER.  W = -5.000000000000000E-01.  W must be",
                  " ***          greater than or equal to zero."}},
        CheckRow{"NanIsRefused", [](int& c) { CKDNN(NAN, "W", 1, c); }, 1,
                 {" *** TERMINAL ERROR 1 from CALLER.  W = NaN.  W must be greater than or equal",
                  " ***          to zero."}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(KernelsAndChecks, ColumnCheckWithNoColumnsAdvancesByTwoAfterOneMessage)
{
    ERPUSH("CALLER");
    int code = 1;
    CKCOL(1, 0, "IX", 2, 0, "NCOL", 4, code);
    EXPECT_EQ(code, 3);
    EXPECT_EQ(ERCODE(0), 1);
    EXPECT_TRUE(capture.run([] { ERPOP("CALLER"); }));
}

}  // namespace
