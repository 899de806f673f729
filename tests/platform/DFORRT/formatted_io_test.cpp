// Record output to units, the process stop, and the internal formatted write on worked
// examples derived by hand from Fortran's output rules and on the texts it must refuse.
#include "DFORRT/FormattedIO.h"

#include <gtest/gtest.h>

#include <csignal>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <limits>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

namespace {

struct CapturedRecords {
    std::vector<std::pair<int, std::string>> records;
};

void Capture(void* context, int unit, std::string_view record)
{
    static_cast<CapturedRecords*>(context)->records.emplace_back(unit, std::string(record));
}

TEST(RecordOutput, UnitSixWithASinkDeliversEachRecordAsItStandsAndTheOthersGoToStandardOutput)
{
    CapturedRecords captured;
    const dforrt::SinkBinding previous = dforrt::SetRecordSink(6, {&Capture, &captured});
    EXPECT_EQ(previous.sink, nullptr);

    testing::internal::CaptureStdout();
    dforrt::WriteRecord(6, " *** WARNING  ERROR 3 from DGAMMA.");
    dforrt::WriteRecord(6, "");
    dforrt::WriteRecord(6, "  trailing blanks  ");
    dforrt::WriteRecord(5, "unit 5 has no sink");
    dforrt::WriteRecord(-1, "no such unit");
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "unit 5 has no sink\nno such unit\n");

    const std::vector<std::pair<int, std::string>> expected = {
        {6, " *** WARNING  ERROR 3 from DGAMMA."}, {6, ""}, {6, "  trailing blanks  "}};
    EXPECT_EQ(captured.records, expected);

    // Installing returns the binding it replaces; removing it sends unit 6 to standard output.
    CapturedRecords second;
    const dforrt::SinkBinding first = dforrt::SetRecordSink(6, {&Capture, &second});
    EXPECT_EQ(first.sink, &Capture);
    EXPECT_EQ(first.context, &captured);
    const dforrt::SinkBinding removed = dforrt::SetRecordSink(6, {});
    EXPECT_EQ(removed.context, &second);
    testing::internal::CaptureStdout();
    dforrt::WriteRecord(6, "after removal");
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "after removal\n");
    EXPECT_TRUE(second.records.empty());

    // Units outside the table take no sink.
    EXPECT_EQ(dforrt::SetRecordSink(1000, {&Capture, &second}).sink, nullptr);
    EXPECT_EQ(dforrt::SetRecordSink(1000, {}).sink, nullptr);
}

struct StopReached {};

int g_stops = 0;

void ThrowingHandler()
{
    ++g_stops;
    throw StopReached{};
}

void ReturningHandler() {}

TEST(ProcessStop, AThrowingHandlerUnwindsThroughTheStopAndNothingAfterItRuns)
{
    g_stops = 0;
    const dforrt::StopHandler before = dforrt::SetStopHandler(&ThrowingHandler);
    bool after_stop = false;
    EXPECT_THROW(
        {
            dforrt::for_stop_core();
            after_stop = true;
        },
        StopReached);
    EXPECT_FALSE(after_stop);
    EXPECT_EQ(g_stops, 1);
    EXPECT_EQ(dforrt::SetStopHandler(before), &ThrowingHandler);
}

TEST(ProcessStopDeathTest, AHandlerThatReturnsMakesTheStopAbort)
{
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT(
        {
            dforrt::SetStopHandler(&ReturningHandler);
            dforrt::for_stop_core();
        },
        testing::KilledBySignal(SIGABRT), "");
}

TEST(ProcessStopDeathTest, WithoutAHandlerTheStopFlushesTheUnitsAndEndsWithStatusZero)
{
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    // A name of this run's own (the child re-runs the test with the same flags): the program runs
    // whole in file order and shuffled at once, and a shared file would be written by both.
    const std::string run = GTEST_FLAG_GET(shuffle) ? std::to_string(GTEST_FLAG_GET(random_seed)) : "file";
    const std::filesystem::path out = std::filesystem::path(testing::TempDir()) / ("dforrt_stop_stdout_" + run + ".txt");
    std::filesystem::remove(out);
    EXPECT_EXIT(
        {
            dforrt::SetStopHandler(nullptr);
            if (!std::freopen(out.c_str(), "w", stdout))
                std::_Exit(3);
            dforrt::WriteRecord(6, "last record before the stop");
            dforrt::for_stop_core();
        },
        testing::ExitedWithCode(0), "");
    std::ifstream in(out);
    std::stringstream text;
    text << in.rdbuf();
    EXPECT_EQ(text.str(), "last record before the stop\n");
    std::filesystem::remove(out);
}

struct RealExample {
    const char* name;
    const char* descriptor;
    double value;
    const char* text;
};

void PrintTo(const RealExample& c, std::ostream* os) { *os << c.descriptor << " of " << c.value; }

class InternalWriteOfAReal : public testing::TestWithParam<RealExample> {};

TEST_P(InternalWriteOfAReal, WritesTheFortranField)
{
    std::string text;
    ASSERT_EQ(dforrt::FormatReal(GetParam().descriptor, GetParam().value, text), dforrt::FMT_OK);
    EXPECT_EQ(text, GetParam().text);
}

constexpr double INF = std::numeric_limits<double>::infinity();

INSTANTIATE_TEST_SUITE_P(
    WorkedExamples, InternalWriteOfAReal,
    testing::Values(
        RealExample{"LeadingZeroDroppedInATightField", "F3.2", 0.5, ".50"},
        RealExample{"LeadingZeroKeptWhereItFits", "F4.2", 0.5, "0.50"},
        RealExample{"PointKeptWithoutDecimals", "F2.0", 2.0, "2."},
        RealExample{"NegativeRoundingToZeroKeepsSign", "F6.3", -0.0001, "-0.000"},
        RealExample{"ExactTieRoundsDownToEven", "F4.2", 0.125, "0.12"},
        RealExample{"ExactTieRoundsUpToEven", "F4.2", 0.375, "0.38"},
        RealExample{"TooNarrowIsAsterisks", "F5.2", 123.0, "*****"},
        RealExample{"BlanksAndParenthesesIgnored", "(0PF10. 2)", 123.456, "    123.46"},
        RealExample{"ScaleFactorMultipliesF", "2PF8.2", 1.5, "  150.00"},
        RealExample{"EWithoutScaleWritesZeroPointMantissa", "E10.3", 1234.5, " 0.123E+04"},
        RealExample{"DWritesTheLetterD", "D10.3", 1234.5, " 0.123D+04"},
        RealExample{"DWithExponentWidth", "D11.3E3", 1234.5, " 0.123D+004"},
        RealExample{"ThreeDigitExponentDropsTheLetter", "1PE24.15", 1e-300, "   1.000000000000000-300"},
        RealExample{"ExponentTooWideForEeIsAsterisks", "E10.3E2", 1e-300, "**********"},
        RealExample{"NegativeScalePutsZerosAfterThePoint", "-1PE12.4", 1.0, "  0.0100E+02"},
        RealExample{"GChoosesEAfterRoundingUp", "G12.5", 99999.5, " 0.10000E+06"},
        RealExample{"GUsesFWithTrailingBlanks", "G12.5", 99999.4, "  99999.    "},
        RealExample{"NaNRightJustified", "F5.1", std::numeric_limits<double>::quiet_NaN(), "  NaN"},
        RealExample{"InfinitySpelledOut", "E10.3", INF, "  Infinity"},
        RealExample{"NegativeInfinitySpelledOut", "F9.2", -INF, "-Infinity"},
        RealExample{"NaNTooNarrowIsAsterisks", "F2.0", std::numeric_limits<double>::quiet_NaN(), "**"}),
    [](const testing::TestParamInfo<RealExample>& info) { return std::string(info.param.name); });

TEST(InternalWriteOfAnInteger, PadsToMDigitsAndFillsOverflowWithAsterisks)
{
    std::string text;
    ASSERT_EQ(dforrt::FormatInteger("I5.3", -7, text), dforrt::FMT_OK);
    EXPECT_EQ(text, " -007");
    ASSERT_EQ(dforrt::FormatInteger("I3.0", 0, text), dforrt::FMT_OK);
    EXPECT_EQ(text, "   ");
    ASSERT_EQ(dforrt::FormatInteger("I2", 100, text), dforrt::FMT_OK);
    EXPECT_EQ(text, "**");
    ASSERT_EQ(dforrt::FormatInteger("(I20)", std::numeric_limits<long long>::min(), text), dforrt::FMT_OK);
    EXPECT_EQ(text, "-9223372036854775808");
}

struct RefusedText {
    const char* name;
    const char* descriptor;
    bool integer;
    double value;
    int status;
};

void PrintTo(const RefusedText& c, std::ostream* os) { *os << '"' << c.descriptor << '"'; }

class InternalWriteRefuses : public testing::TestWithParam<RefusedText> {};

TEST_P(InternalWriteRefuses, WithAStatusAndLeavesTheTextUntouched)
{
    const RefusedText& c = GetParam();
    std::string text = "kept";
    const int status = c.integer ? dforrt::FormatInteger(c.descriptor, static_cast<long long>(c.value), text)
                                 : dforrt::FormatReal(c.descriptor, c.value, text);
    EXPECT_EQ(status, c.status);
    EXPECT_EQ(text, "kept");
}

INSTANTIATE_TEST_SUITE_P(
    BadTexts, InternalWriteRefuses,
    testing::Values(RefusedText{"Empty", "", false, 1.0, dforrt::FMT_BAD_DESCRIPTOR},
                    RefusedText{"EmptyParentheses", "()", false, 1.0, dforrt::FMT_BAD_DESCRIPTOR},
                    RefusedText{"UnclosedParenthesis", "(F10.3", false, 1.0, dforrt::FMT_BAD_DESCRIPTOR},
                    RefusedText{"NoDecimals", "F10", false, 1.0, dforrt::FMT_BAD_DESCRIPTOR},
                    RefusedText{"NoWidth", "F.3", false, 1.0, dforrt::FMT_BAD_DESCRIPTOR},
                    RefusedText{"OtherEditLetter", "A10", false, 1.0, dforrt::FMT_BAD_DESCRIPTOR},
                    RefusedText{"ESEditing", "ES12.4", false, 1.0, dforrt::FMT_BAD_DESCRIPTOR},
                    RefusedText{"ZeroWidth", "F0.3", false, 1.0, dforrt::FMT_BAD_DESCRIPTOR},
                    RefusedText{"ZeroWidthInteger", "I0", true, 1.0, dforrt::FMT_BAD_DESCRIPTOR},
                    RefusedText{"ZeroExponentDigits", "E10.3E0", false, 1.0, dforrt::FMT_BAD_DESCRIPTOR},
                    RefusedText{"ExponentWidthOnF", "F10.3E2", false, 1.0, dforrt::FMT_BAD_DESCRIPTOR},
                    RefusedText{"ScaleFactorBeforeI", "1PI5", true, 1.0, dforrt::FMT_BAD_DESCRIPTOR},
                    RefusedText{"ScaleFactorWithoutNumber", "PE10.3", false, 1.0, dforrt::FMT_BAD_DESCRIPTOR},
                    RefusedText{"ScaleFactorAlone", "1P", false, 1.0, dforrt::FMT_BAD_DESCRIPTOR},
                    RefusedText{"RepeatCount", "2F10.3", false, 1.0, dforrt::FMT_BAD_DESCRIPTOR},
                    RefusedText{"TwoDescriptors", "F10.3,I5", false, 1.0, dforrt::FMT_BAD_DESCRIPTOR},
                    RefusedText{"WidthAbove255", "F256.3", false, 1.0, dforrt::FMT_BAD_DESCRIPTOR},
                    RefusedText{"HugeWidth", "F99999999999999999999.3", false, 1.0, dforrt::FMT_BAD_DESCRIPTOR},
                    RefusedText{"MinimumDigitsAboveWidth", "I3.5", true, 1.0, dforrt::FMT_BAD_DESCRIPTOR},
                    RefusedText{"TrailingCharacter", "F10.3X", false, 1.0, dforrt::FMT_BAD_DESCRIPTOR},
                    RefusedText{"IntegerDescriptorForAReal", "I5", false, 1.0, dforrt::FMT_WRONG_TYPE},
                    RefusedText{"RealDescriptorForAnInteger", "F10.3", true, 1.0, dforrt::FMT_WRONG_TYPE},
                    RefusedText{"EWithoutDigitsOrScale", "E10.0", false, 1.0, dforrt::FMT_BAD_SCALE},
                    RefusedText{"ScaleBelowMinusD", "-3PE12.3", false, 1.0, dforrt::FMT_BAD_SCALE},
                    RefusedText{"ScaleAboveDPlusOne", "5PD12.3", false, 1.0, dforrt::FMT_BAD_SCALE},
                    RefusedText{"GWithoutDigitsIsEWithoutDigits", "G10.0", false, 1.0, dforrt::FMT_BAD_SCALE},
                    RefusedText{"GEditingByEWithBadScale", "-5PG12.4", false, 1e9, dforrt::FMT_BAD_SCALE}),
    [](const testing::TestParamInfo<RefusedText>& info) { return std::string(info.param.name); });

} // namespace
