// The library's printed tables: the regression printout for one small fit, and the writer's
// options, formats, labels, triangles, continuation lines and pages, each against a text derived
// by hand from the layout rules (widths, spacing, right alignment and centring).
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

const double NaN = std::numeric_limits<double>::quiet_NaN();
const double Inf = std::numeric_limits<double>::infinity();

class Tables : public ::testing::Test {
protected:
    ~Tables() override
    {
        // Global settings made by a test are put back for the next.
        int v = -2;
        capture.run([&] {
            WRTOPT(-3, v, 1);
            v = 7 == 7 ? 2 : 0;
            WRTOPT(-7, v, 1);
            int zero = 0;
            WRTOPT(0, zero, zero);
            int w = 78, l = 60;
            PAGEOPT(-1, w);
            PAGEOPT(-2, l);
        });
    }
    void Print(std::string_view title, int nra, int nca, const std::vector<double>& a, int itring, std::string_view fmt,
               std::vector<std::string_view> rl, std::vector<std::string_view> cl)
    {
        std::vector<std::string> chwk(static_cast<std::size_t>(std::max(nca, 1)));
        stopped = capture.run([&] {
            PRTREG(title, nra, nca, a.data(), std::max(nra, 1), itring, fmt, rl, cl, chwk);
        });
    }
    NumericsCapture capture;
    std::optional<kvpvs::test::NumericsStopped> stopped;
};

// x = 0, 0, 1, 1, 2, 2 and y = 0, 2, 1, 3, 5, 7 with a line: slope Sxy / Sxx = 10 / 4, intercept
// 3 - 2.5; SST 34, SSR 25, SSE 9 on 4 degrees of freedom; pure error 6 on 3 (group means 1, 2, 6),
// lack of fit 3 on 1. R-squared 25 / 34, adjusted 1 - 2.25 / 6.8, sd 1.5, mean 3, CV 50; standard
// errors sqrt(2.25 (1/6 + 1/4)) and sqrt(2.25 / 4); p-values of t(4) and F(1,3) from their
// incomplete beta functions.
TEST_F(Tables, TheFiveRegressionTablesOfOneSmallFit)
{
    const double X[12] = {0, 0, 1, 1, 2, 2, 0, 2, 1, 3, 5, 7};
    int ndeg = 0, nmiss = 0, iwk[6];
    double smult, sadd, alpha[1], beta[1], ocoef[2], d[2], dfe, sse, dfpe, sspe, wk[48];
    double aov[15], sqss[4], coef[8], tlof[4], scratch[16];
    ASSERT_FALSE(capture.run([&] {
        OPFIT(6, 2, X, 6, 2, 1, 0, 0, 1, 0, 0.0, 1, ndeg, smult, sadd, alpha, beta, ocoef, d, dfe, sse, dfpe, sspe, nmiss,
              wk, iwk);
        OPTAB(ndeg, alpha, beta, smult, sadd, ocoef, d, dfe, sse, 1, dfpe, sspe, 1, aov, sqss, 1, coef, 2, tlof, 1,
              scratch);
    }));
    const Lines expected = {
        " ",
        "R-squared   Adjusted  Est. Std. Dev.              Coefficient of",
        "(percent)  R-squared  of Model Error        Mean  Var. (percent)",
        "   73.529     66.912             1.5           3              50",
        " ",
        "                  * * * Analysis of Variance * * *",
        "                              Sum of        Mean             Prob. of",
        "Source                DF     Squares      Square  Overall F  Larger F",
        "Regression             1          25       25.00     11.111    0.0290",
        "Residual               4           9        2.25",
        "Corrected Total        5          34",
        " ",
        "         * * * Inference on Coefficients * * *",
        "                     Standard                 Prob. of",
        "Coef.    Estimate       Error  t-statistic  Larger |t|",
        "    1         0.5      0.9682        0.516      0.6328",
        "    2         2.5      0.7500        3.333      0.0290",
        " ",
        "            * * * Sequential Statistics * * *",
        "Degree of   Degrees of      Sum of               Prob. of",
        "Polynomial     Freedom     Squares  F-statistic  Larger F",
        "         1           1          25       11.111    0.0290",
        " ",
        "            * * * Tests of Lack of Fit * * *",
        "Degree of   Degrees of      Sum of               Prob. of",
        "Polynomial     Freedom     Squares  F-statistic  Larger F",
        "         1           1           3        1.500    0.3081",
    };
    EXPECT_EQ(capture.records(), expected);

    // The blank cells of the analysis of variance were for that table only.
    capture.clear();
    Print("after", 2, 2, {1, NaN, 2, 3}, 0, "(F6.1)", {"NUMBER"}, {"NUMBER"});
    EXPECT_EQ(capture.records(), (Lines{"      after", "        1       2", "1     1.0     2.0", "2     NaN     3.0"}));
}

TEST_F(Tables, ATitleWithALineBreakTakesTwoLinesEachCentred)
{
    Print("First line%/Second", 1, 2, {1, 2}, 0, "(I30)", {"NONE"}, {"NONE"});
    // Table: 30 + 2 + 30 = 62 wide, centre 31; lines of 10 and 6 shift by 26 and 28.
    EXPECT_EQ(capture.records(), (Lines{std::string(26, ' ') + "First line", std::string(28, ' ') + "Second",
                                        std::string(29, ' ') + "1" + std::string(31, ' ') + "2"}));
}

TEST_F(Tables, UpperTriangleLeavesTheLowerCellsBlank)
{
    Print(" ", 3, 3, {1, 4, 7, 2, 5, 8, 3, 6, 9}, 1, "(I3)", {"NONE"}, {"NONE"});
    EXPECT_EQ(capture.records(), (Lines{"  1    2    3", "       5    6", "            9"}));
}

TEST_F(Tables, SpacingSetForOneCallOnlyOrForAll)
{
    int four = 4;
    capture.run([&] { WRTOPT(-7, four, 0); });
    Print(" ", 1, 2, {1, 2}, 0, "(I2)", {"NONE"}, {"NONE"});
    Print(" ", 1, 2, {1, 2}, 0, "(I2)", {"NONE"}, {"NONE"});
    capture.run([&] { WRTOPT(-7, four, 1); });
    Print(" ", 1, 2, {1, 2}, 0, "(I2)", {"NONE"}, {"NONE"});
    Print(" ", 1, 2, {1, 2}, 0, "(I2)", {"NONE"}, {"NONE"});
    EXPECT_EQ(capture.records(), (Lines{" 1     2", " 1   2", " 1     2", " 1     2"}));
}

TEST_F(Tables, WholeRowsContinueOnLinesIndentedOneToFourThenZero)
{
    int zero = 0, width = 20;
    capture.run([&] {
        WRTOPT(-2, zero, zero);
        PAGEOPT(-1, width);
    });
    std::vector<double> a;
    for (int j = 1; j <= 7; ++j)
        a.push_back(j);
    // Columns of 5 with spacing 2 after the row number: 1 + 7 + 7 = 15 fit the 20 less the
    // reserved 4; each continuation holds two columns, indented 1, 2, 3 past the row numbers.
    Print(" ", 1, 7, a, 0, "(I5)", {"NUMBER"}, {"NONE"});
    EXPECT_EQ(capture.records(), (Lines{"1      1      2", "        3      4", "         5      6", "          7"}));
}

TEST_F(Tables, OptionSixChoosesTheDefaultFormat)
{
    int v = 0;
    capture.run([&] { WRTOPT(-6, v, 0); });
    Print(" ", 1, 2, {12, -345}, 0, " ", {"NONE"}, {"NONE"});
    v = 5;
    capture.run([&] { WRTOPT(-6, v, 0); });
    Print(" ", 1, 1, {0.1}, 0, " ", {"NONE"}, {"NONE"});
    EXPECT_EQ(capture.records(), (Lines{"        12        -345", " 1.00000000000000E-01"}));
    // Option 6 at its default 3: four digits for the largest value, 3.5 (F10.3), narrowed to the
    // width it needs, INT(3 + log10(3.5 + 0.00051) + 3) = 6.
    capture.clear();
    Print(" ", 1, 2, {1.25, -3.5}, 0, " ", {"NONE"}, {"NONE"});
    EXPECT_EQ(capture.records(), (Lines{" 1.250  -3.500"}));
}

TEST_F(Tables, PagingContinuesThePageCountFromTheCallBefore)
{
    int zero = 0, length = 10;
    capture.run([&] {
        WRTOPT(-3, zero, 1);
        PAGEOPT(-2, length);
    });
    Print(" ", 4, 1, {1, 2, 3, 4}, 0, "(I1)", {"NONE"}, {"NONE"});
    int count = -9;
    capture.run([&] { WRTOPT(3, count, 0); });
    EXPECT_EQ(count, 4);
    Print(" ", 8, 1, {1, 2, 3, 4, 5, 6, 7, 8}, 0, "(I1)", {"NONE"}, {"NONE"});
    // The first call starts a page and writes 4 lines; the second fills the page to 10 and
    // starts a new one for the rest.
    EXPECT_EQ(capture.records(), (Lines{"1", "1", "2", "3", "4", "1", "2", "3", "4", "5", "6", "1", "7", "8"}));
}

struct BadFormat {
    const char* name;
    const char* fmt;
    int code;
};

class TablesRefuseFormat : public Tables, public ::testing::WithParamInterface<BadFormat> {};

TEST_P(TablesRefuseFormat, WithItsCodeBeforeWritingAnything)
{
    Print(" ", 1, 2, {1, 2}, 0, GetParam().fmt, {"NONE"}, {"NONE"});
    ASSERT_TRUE(stopped);
    EXPECT_EQ(stopped->routine, "PRTREG");
    EXPECT_EQ(stopped->type, 5);
    EXPECT_EQ(stopped->code, GetParam().code);
    ASSERT_GE(stopped->printed.size(), 2u);
    const std::string head = " *** TERMINAL ERROR " + std::to_string(GetParam().code) + " from PRTREG.  ";
    EXPECT_EQ(stopped->printed[1].substr(0, head.size()), head);
}

INSTANTIATE_TEST_SUITE_P(
    Numerics, TablesRefuseFormat,
    ::testing::Values(BadFormat{"NoLeftParenthesis", "F10.3,I5)", 6}, BadFormat{"NoRightParenthesis", "(F10.3,I5", 7},
                      BadFormat{"RepeatNotANumber", "(xF10.3)", 8}, BadFormat{"RepeatZero", "(0F10.3)", 9},
                      BadFormat{"WWithoutPoint", "(F5.1,W10)", 10}, BadFormat{"WidthNotANumber", "(Fx.3)", 11},
                      BadFormat{"WWidthTooLarge", "(W41.4)", 12}, BadFormat{"WDigitsMissing", "(W10.)", 13},
                      BadFormat{"WDigitsTooMany", "(W10.9)", 14}, BadFormat{"ScaleWithoutNumber", "(PF10.3)", 15},
                      BadFormat{"FWithoutPoint", "(F10)", 16}, BadFormat{"FWidthTooLarge", "(F41.3)", 17},
                      BadFormat{"FDigitsMissing", "(F10.)", 18}, BadFormat{"FDigitsTooMany", "(F10.9)", 19},
                      BadFormat{"IWidthZero", "(I0)", 20}, BadFormat{"IMinimumTooMany", "(I5.6)", 21},
                      BadFormat{"EWithoutPoint", "(E12)", 22}, BadFormat{"EWidthSeven", "(E7.1)", 23},
                      BadFormat{"ExponentWithoutDigits", "(E12.4E)", 24}, BadFormat{"ExponentZero", "(E12.4E0)", 25},
                      BadFormat{"EDigitsTooMany", "(E12.6)", 26}, BadFormat{"NoEditLetter", "(F5.1,12)", 33},
                      BadFormat{"EmptyItem", "(F5.1,,I5)", 34}, BadFormat{"TooShort", "(I)", 35}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(Tables, APageTooNarrowStopsBeforeAnythingIsWritten)
{
    int width = 20;
    capture.run([&] { PAGEOPT(-1, width); });
    Print(" ", 1, 1, {1}, 0, "(F15.2)", {"NUMBER"}, {"NONE"});
    ASSERT_TRUE(stopped);
    EXPECT_EQ(stopped->code, 36);  // 15 + 2 + 1 + 4 = 22 > 20, field width 15
    EXPECT_EQ(stopped->printed, (Lines{"",
                                       " *** TERMINAL ERROR 36 from PRTREG.  A page width of 20 was retrieved via",
                                       " ***          routine PAGEOPT.  The format FMT contains a field width of 15.  ",
                                       " ***          Either the largest field width in FMT must be decreased or the ",
                                       " ***          page width increased to at least 22 by a call to PAGEOPT."}));
    width = 10;
    capture.run([&] { PAGEOPT(-1, width); });
    capture.clear();
    Print(" ", 1, 1, {1}, 0, "(F8.2)", {"NUMBER"}, {"NONE"});
    ASSERT_TRUE(stopped);
    EXPECT_EQ(stopped->code, 37);  // 8 + 2 + 1 + 4 = 15 > 10 with a field below 12
    EXPECT_EQ(stopped->printed, (Lines{"",
                                       " *** TERMINAL ERROR 37 from PRTREG.  A page width of 10 was retrieved via",
                                       " ***          routine PAGEOPT.  The page width must be increased to at least ",
                                       " ***          15 by a call to PAGEOPT."}));
}

// ---- routines of one value or one descriptor -----------------------------------------------------

struct FormatCase {
    const char* name;
    double x;
    int width, digits;
    const char* format;
};

class FormatForAValue : public ::testing::TestWithParam<FormatCase> {};

TEST_P(FormatForAValue, IsTheFOrExponentFormItNeeds)
{
    NumericsCapture capture;
    EXPECT_EQ(FMTMAT(GetParam().x, GetParam().width, GetParam().digits), GetParam().format);
}

INSTANTIATE_TEST_SUITE_P(Numerics, FormatForAValue,
                         ::testing::Values(FormatCase{"Hundreds", 123.456, 10, 5, "(0PF10. 2)"},
                                           FormatCase{"Half", 0.5, 10, 5, "(0PF10. 5)"},
                                           FormatCase{"Large", 1.0e8, 12, 5, "(1PD12. 4)"},
                                           FormatCase{"ZeroKeepsItsDigits", 0.0, 10, 3, "(0PF10. 3)"},
                                           FormatCase{"RoundingCarriesADigit", 9.9996, 10, 4, "(0PF10. 2)"},
                                           FormatCase{"NaNInANarrowField", NaN, 6, 3, "(0PF 6. 0)"},
                                           FormatCase{"Small", 0.0001234, 10, 3, "(1PD10. 2)"}),
                         [](const auto& info) { return std::string(info.param.name); });

// Widths and digit counts over the whole int range, sampled at its edges: each of the three checks
// posts its code exactly when its condition holds (NSIG <= NWIDTH - 2 in exact arithmetic), and a
// format comes only when none fails.
TEST(OutputSupport, FormatChecksHoldOverTheWholeIntRange)
{
    const int lo = std::numeric_limits<int>::min(), hi = std::numeric_limits<int>::max();
    std::vector<int> samples = {lo, lo + 1, lo + 2, -1, 0};
    for (int v = 1; v <= 42; ++v)
        samples.push_back(v);
    samples.insert(samples.end(), {hi - 1, hi});
    NumericsCapture capture;
    for (int w : samples)
        for (int d : samples) {
            std::string format;
            capture.clear();
            const auto stop = capture.run([&] { format = FMTMAT(1.5, w, d); });
            std::string expected;
            if (w < 3 || w > 40)
                expected += '1';
            if (d < 1)
                expected += '2';
            if (d > static_cast<long long>(w) - 2)
                expected += '3';
            std::string codes;
            bool low_width_shown = w > lo + 1;
            for (const std::string& r : stop ? stop->printed : Lines{}) {
                if (r.rfind(" *** TERMINAL ERROR ", 0) == 0)
                    codes += r[20];
                low_width_shown = low_width_shown || r.find(std::to_string(static_cast<long long>(w) - 2)) != std::string::npos;
            }
            EXPECT_EQ(codes, expected) << "NWIDTH = " << w << ", NSIG = " << d;
            EXPECT_TRUE(low_width_shown) << "NWIDTH = " << w << ", NSIG = " << d;
            if (expected.empty()) {
                EXPECT_EQ(format.size(), 10u);
                EXPECT_TRUE(format.rfind("(0PF", 0) == 0 || format.rfind("(1PD", 0) == 0) << format;
            }
        }
}

TEST(OutputSupport, DecimalsLoweredToWhatTheValuesNeed)
{
    NumericsCapture capture;
    std::string f = "(0PF10. 4)";
    const double halves[2] = {1.5, 2.0};
    WRFDIG(2, 1, halves, 2, 0, f);
    EXPECT_EQ(f, "(0PF10. 1)");
    f = "(0PF10. 4)";
    const double whole[2] = {3.0, -12.0};
    WRFDIG(2, 1, whole, 2, 0, f);
    EXPECT_EQ(f, "(0PF10. 0)");
    f = "(0PF10. 4)";
    const double all[2] = {1.5, 0.1234};
    WRFDIG(2, 1, all, 2, 0, f);
    EXPECT_EQ(f, "(0PF10. 4)");
}

TEST(OutputSupport, WholeNumbersMustFitTheirWidth)
{
    int flag = -1;
    const double fit[3] = {-99, 999, NaN};
    WRWHOL(3, fit, 3, flag);
    EXPECT_EQ(flag, 1);
    const double low[1] = {-100};
    WRWHOL(1, low, 3, flag);
    EXPECT_EQ(flag, 0);
    const double high[1] = {1000};
    WRWHOL(1, high, 3, flag);
    EXPECT_EQ(flag, 0);
}

TEST(OutputSupport, LargestMagnitudeFirstOfEqualsAndNoneAmongNaNs)
{
    NumericsCapture capture;
    int imax = -1;
    const double x[3] = {1, -3, 3};
    MAXABS(3, x, 1, imax);
    EXPECT_EQ(imax, 2);
    const double nans[2] = {NaN, NaN};
    MAXABS(2, nans, 1, imax);
    EXPECT_EQ(imax, 0);
}

TEST(OutputSupport, RowsOfAColumnByTheTriangleOption)
{
    int first = 0, n = -1;
    WRROWS(-2, 1, 5, 2, first, n);
    EXPECT_EQ(first, 3);
    EXPECT_EQ(n, 3);
    WRROWS(2, 1, 5, 1, first, n);
    EXPECT_EQ(n, 0);
    int r1, r2, c1, c2;
    EXPECT_FALSE(WRTRI(2, 3, 5, 1, 3, r1, r2, c1, c2));  // the last column is the first row
    EXPECT_TRUE(WRTRI(1, 2, 5, 1, 4, r1, r2, c1, c2));
    EXPECT_EQ(r2, 4);
    EXPECT_EQ(c1, 2);
}

TEST(OutputSupport, DescriptorsOfAListCountTheirRepeats)
{
    NumericsCapture capture;
    EXPECT_EQ(WRITEM(1, "(F10.3,2I5)"), "(F10.3)");
    EXPECT_EQ(WRITEM(2, "(F10.3,2I5)"), "(I5)");
    EXPECT_EQ(WRITEM(3, "(F10.3,2I5)"), "(I5)");
    EXPECT_EQ(WRITEM(4, "(F10.3,2I5)"), "(F10.3)");  // past the end: from the first item again
    EXPECT_EQ(WRITEM(2, "(1PE12.5,2w10.4)"), "(W10.4)");
    EXPECT_EQ(WRITEM(1, "(1P2E12.5)"), "(1PE12.5)");  // a number before P is the scale factor
}

TEST(OutputSupport, PageWidthAtLeastTen)
{
    NumericsCapture capture;
    int page = 10;
    EXPECT_FALSE(capture.run([&] { PAGEOPT(-1, page); }));
    page = 9;
    const auto s = capture.run([&] { PAGEOPT(-1, page); });
    ASSERT_TRUE(s);
    EXPECT_EQ(s->printed, (Lines{"", " *** TERMINAL ERROR 2 from PAGEOPT.  IPAGE = 9.  Page width must be greater",
                                 " ***          than or equal to 10."}));
    page = 78;
    capture.run([&] { PAGEOPT(-1, page); });
}

TEST(OutputSupport, CharacterOfACode)
{
    NumericsCapture capture;
    EXPECT_EQ(ACHAR(65), 'A');
    const auto s = capture.run([] { ACHAR(-1); });
    ASSERT_TRUE(s);
    EXPECT_EQ(s->code, 1);
}

struct CellCase {
    const char* name;
    double x;
    int setting;
    const char* fmt;
    std::string cell;
};

std::string Cell(std::string text, int end)
{
    std::string c(40, ' ');
    if (end > 0)
        c.replace(static_cast<std::size_t>(end) - text.size(), text.size(), text);
    return c;
}

class CellText : public ::testing::TestWithParam<CellCase> {};

TEST_P(CellText, OfNaNInfinityAndIntegers)
{
    NumericsCapture capture;
    int v = GetParam().setting;
    WRTOPT(-4, v, 0);
    EXPECT_EQ(WRELEM(GetParam().x, GetParam().fmt), GetParam().cell);
    int zero = 0;
    WRTOPT(0, zero, zero);
}

INSTANTIATE_TEST_SUITE_P(
    Numerics, CellText,
    ::testing::Values(CellCase{"NaNAsDots", NaN, 0, "(F8.2)", std::string(40, '.')},
                      CellCase{"NaNAsBlanks", NaN, 1, "(F8.2)", std::string(40, ' ')},
                      CellCase{"NaNAsText", NaN, 2, "(F8.2)", Cell("NaN", 8)},
                      CellCase{"NaNBlankWithText", NaN, 3, "(F8.2)", std::string(40, ' ')},
                      CellCase{"PlusInfinityAsPlusSigns", Inf, 0, "(F8.2)", std::string(40, '+')},
                      CellCase{"PlusInfinityAsPlusSignsToo", Inf, 1, "(F8.2)", std::string(40, '+')},
                      CellCase{"PlusInfinityAsText", Inf, 2, "(F8.2)", Cell("Inf", 8)},
                      CellCase{"PlusInfinityAsTextToo", Inf, 3, "(F8.2)", Cell("Inf", 8)},
                      CellCase{"MinusInfinityAsText", -Inf, 2, "(F8.2)", Cell("-Inf", 8)},
                      CellCase{"MinusInfinityInThreeColumnsDropsTheSign", -Inf, 2, "(F3.0)", Cell("Inf", 3)},
                      CellCase{"IntegerTruncates", 3.99, 2, "(I5)", Cell("3", 5)},
                      CellCase{"IntegerTooLarge", 3e9, 2, "(I12)", std::string(40, '*')},
                      CellCase{"FixedPoint", -2.5, 2, "(F6.2)", Cell(" -2.50", 6)}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(WriteOptions, ArgumentErrorsLeaveTheOptionsUnchanged)
{
    NumericsCapture capture;
    int v = 6;
    auto s = capture.run([&] { WRTOPT(-7, v, 0); });
    ASSERT_TRUE(s);
    EXPECT_EQ(s->code, 2);
    int scope_two = 0;
    s = capture.run([&] { WRTOPT(7, scope_two, 2); });
    ASSERT_TRUE(s);
    EXPECT_EQ(s->code, 2);
    int current = -1;
    WRTOPT(7, current, 0);
    EXPECT_EQ(current, 2);
}

TEST(LabelLines, ABreakMakesTwoLinesWhateverTheWidth)
{
    for (int width : {8, 15, 40})
        EXPECT_EQ(WRLBL("Sum of%/Squares", width, 0, width / 3).lines, 2) << width;
    EXPECT_EQ(WRLBL("%/", 10, 0, 3).lines, 1);
    EXPECT_EQ(WRLBL("", 10, 0, 3).lines, 0);
    // A width no wider than the hot zone still moves on: one character per line at least.
    // "a", "-", "b", then the rest "-c" ends before the hot zone does.
    EXPECT_EQ(WRLBL("a-b-c", 2, 0, 5).lines, 4);
}

TEST(LabelLines, BreakAtABlankInTheHotZoneOrAfterAWord)
{
    const std::string_view text = "Coefficient of variation";
    const LabelLine first = WRLBL(text, 15, 0, 5, 1);
    EXPECT_EQ(text.substr(static_cast<std::size_t>(first.first - 1), static_cast<std::size_t>(first.last - first.first + 1)),
              "Coefficient");  // the first blank of the hot zone, positions 11 to 16
    const LabelLine second = WRLBL(text, 15, 2, 5, 2);
    EXPECT_EQ(second.width, 2 + 12);  // "of variation" ends before the hot zone does
    EXPECT_TRUE(second.is_last);
}

}  // namespace
