// Text routines: integers to and from fields, ranged copy, searches, and the text to integer
// reader with its failure rows.
#include "NumericsStop.h"

#include "numerics/numerics.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using namespace kvpvs::numerics;
using kvpvs::test::NumericsCapture;
using Lines = std::vector<std::string>;

class Text : public ::testing::Test {
protected:
    NumericsCapture capture;
};

struct TxtintCase {
    const char* name;
    const char* text;
    int number;
};

class TxtintReads : public Text, public ::testing::WithParamInterface<TxtintCase> {};

TEST_P(TxtintReads, TheAcceptedForm)
{
    int n = 99;
    TXTINT(GetParam().text, n);
    EXPECT_EQ(n, GetParam().number);
    EXPECT_EQ(ERTYPE(1), 0);
}

INSTANTIATE_TEST_SUITE_P(Text, TxtintReads,
                         ::testing::Values(TxtintCase{"BlanksAround", "  -42  ", -42}, TxtintCase{"Plus", "+7", 7},
                                           TxtintCase{"BlankAfterSign", "- 5", -5},
                                           TxtintCase{"Largest", "2147483647", 2147483647},
                                           TxtintCase{"SmallestAccepted", "-2147483647", -2147483647},
                                           TxtintCase{"Zero", "0", 0}),
                         [](const auto& info) { return std::string(info.param.name); });

struct TxtintFailure {
    const char* name;
    std::string text;
    int code;
    int number;  // what NUMBER holds after the error
    Lines printed;
};

class TxtintRefuses : public Text, public ::testing::WithParamInterface<TxtintFailure> {};

TEST_P(TxtintRefuses, WithItsCodeAndMessage)
{
    const TxtintFailure& c = GetParam();
    int n = 99;
    auto stop = capture.run([&] { TXTINT(c.text, n); });
    ASSERT_TRUE(stop);
    EXPECT_EQ(stop->routine, "TXTINT");
    EXPECT_EQ(stop->code, c.code);
    EXPECT_EQ(n, c.number);
    Lines printed = stop->printed;
    printed.erase(printed.begin());
    EXPECT_EQ(printed, c.printed);
}

INSTANTIATE_TEST_SUITE_P(
    Text, TxtintRefuses,
    ::testing::Values(
        TxtintFailure{"Empty", "", 1, 0, {" *** TERMINAL ERROR 1 from TXTINT.  The length of the input string is 0"}},
        TxtintFailure{"AllBlank", "   ", 4, 0,
                      {" *** TERMINAL ERROR 4 from TXTINT.  The input string '   ' cannot be",
                       " ***          converted to an integer."}},
        TxtintFailure{"TooLarge", "2147483648", 3, 214748364,
                      {" *** TERMINAL ERROR 3 from TXTINT.  The string '2147483648' is too large to",
                       " ***          be converted to an integer."}},
        TxtintFailure{"TooLargeNegative", "-2147483648", 3, 214748364,
                      {" *** TERMINAL ERROR 3 from TXTINT.  The string '-2147483648' is too large to",
                       " ***          be converted to an integer."}},
        TxtintFailure{"LetterAfterDigits", "12x", 2, 12,
                      {" *** TERMINAL ERROR 2 from TXTINT.  The string '12x' contains a nonnumeric",
                       " ***          character at position 3"}},
        TxtintFailure{"LetterAfterBlank", "12 x", 2, 12,
                      {" *** TERMINAL ERROR 2 from TXTINT.  The string '12 x' contains a nonnumeric",
                       " ***          character at position 3"}},
        TxtintFailure{"LetterFirst", "x12", 2, 0,
                      {" *** TERMINAL ERROR 2 from TXTINT.  The string 'x12' contains a nonnumeric",
                       " ***          character at position 1"}},
        TxtintFailure{"SignThenLetter", "-x", 2, 0,
                      {" *** TERMINAL ERROR 2 from TXTINT.  The string '-x' contains a nonnumeric",
                       " ***          character at position 1"}},
        TxtintFailure{"LoneSign", "-", 2, 0,
                      {" *** TERMINAL ERROR 2 from TXTINT.  The string '-' contains a nonnumeric",
                       " ***          character at position 1"}},
        TxtintFailure{"TrailingBlanksShown", "-7 x  ", 2, -7,
                      {" *** TERMINAL ERROR 2 from TXTINT.  The string '-7 x  ' contains a nonnumeric",
                       " ***          character at position 3"}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(Text, StrintReportsWhereTheNumberEnds)
{
    int n = 0, st = 0;
    STRINT(" -12 ", n, st);
    EXPECT_EQ(st, 0);
    EXPECT_EQ(n, -12);
    STRINT("15.2", n, st);
    EXPECT_EQ(st, 3);
    EXPECT_EQ(n, 15);
    STRINT("", n, st);
    EXPECT_EQ(st, -1);
    STRINT("    ", n, st);
    EXPECT_EQ(st, -1);
    STRINT("99999999999", n, st);
    EXPECT_EQ(st, -2);
    STRINT(" +x", n, st);
    EXPECT_EQ(st, 2);
    EXPECT_EQ(n, 0);
    STRINT("+ 2147483647", n, st);
    EXPECT_EQ(st, 0);
    EXPECT_EQ(n, 2147483647);
    EXPECT_TRUE(capture.records().empty()) << "STRINT reports by status only";
}

TEST_F(Text, IntstrRightJustifies)
{
    char f[6];
    int st = 9;
    INTSTR(-42, f, st);
    EXPECT_EQ(std::string(f, 6), "   -42");
    EXPECT_EQ(st, 0);
    INTSTR(1234567, f, st);
    EXPECT_EQ(std::string(f, 6), "******");
    EXPECT_EQ(st, 1);
    INTSTR(-2147483647 - 1, f, st);
    EXPECT_EQ(st, 5);
    INTSTR(7, std::span<char>(f, 0), st);
    EXPECT_EQ(st, -1);
}

TEST_F(Text, TxcopyCopiesRangesWithBlankFill)
{
    std::string t = "abcdefgh";
    int st = 9;
    TXCOPY("XYZ", 1, 3, t, 2, 6, st);
    EXPECT_EQ(t, "aXYZ  gh");
    EXPECT_EQ(st, 0);
    TXCOPY("12345", 2, 5, t, 1, 2, st);
    EXPECT_EQ(t, "23YZ  gh");
    EXPECT_EQ(st, -4) << "two characters did not fit";
    TXCOPY("12345", 1, 2, t, 7, 9, st);
    EXPECT_EQ(st, -1);
    EXPECT_EQ(t, "23YZ  gh") << "nothing copied past the end";
    TXCOPY("12345", 0, 2, t, 1, 2, st);
    EXPECT_EQ(st, -2);
    TXCOPY("12345", 3, 6, t, 1, 2, st);
    EXPECT_EQ(st, -2);
    TXCOPY("12345", 4, 3, t, 1, 2, st);  // an empty source range blanks the target range
    EXPECT_EQ(st, 0);
    EXPECT_EQ(t, "  YZ  gh");
}

TEST_F(Text, SearchesAndComparison)
{
    EXPECT_EQ(TXVRFY("123a5", "0123456789"), 4);
    EXPECT_EQ(TXVRFY("12", "0123456789"), 0);
    EXPECT_EQ(TXINDX("(1PE24.15)", "pe"), 3);
    EXPECT_EQ(TXINDC("(1PE24.15)", "pe"), 0);
    EXPECT_EQ(TXINDC("(1PE24.15)", "PE"), 3);
    EXPECT_EQ(TXCMPI("none", "NONE   "), 0);
    EXPECT_EQ(TXCMPI("A", "B"), -1);
    EXPECT_EQ(TXCMPI("abc", "ab"), 1);
}

}  // namespace
