// Error stack of the numerical library against texts worked out by hand from its rules:
// what is printed when, how lines wrap, the traceback, and where the process stops.
#include "NumericsStop.h"

#include "numerics/error_machinery.h"
#include "numerics/numerics.h"

#include <gtest/gtest.h>

#include <limits>
#include <string>
#include <vector>

namespace {

using namespace kvpvs::numerics;
using kvpvs::test::NumericsCapture;
using Lines = std::vector<std::string>;

std::string blanks(int n) { return std::string(static_cast<std::size_t>(n), ' '); }

const std::string TRACE_HEAD1 = "     Here is a traceback of subprogram calls in reverse order:";
const std::string TRACE_HEAD2 = "     Routine name                    Error type  Error code";
const std::string TRACE_HEAD3 = "     ------------                    ----------  ----------";

class ErrorMachinery : public ::testing::Test {
protected:
    NumericsCapture capture;
};

TEST_F(ErrorMachinery, WarningFromDeepLevelPrintsOnceWhenLevelTwoPops)
{
    ERPUSH("OUTER");
    ERPUSH("INNER");
    ERSETI(1, 7);
    ERMES(3, 4, "Value %(I1) is odd.");
    ERPOP("INNER");
    EXPECT_TRUE(capture.records().empty()) << "a WARNING waits for level 2";
    ERPOP("OUTER");
    EXPECT_EQ(capture.records(), (Lines{"", " *** WARNING  ERROR 4 from OUTER.  Value 7 is odd."}));
    EXPECT_EQ(ERTYPE(0), 3);
    EXPECT_EQ(ERCODE(0), 4);
    EXPECT_EQ(ERTYPE(1), 3);
    EXPECT_EQ(error_state().level, 1);
}

TEST_F(ErrorMachinery, TerminalAtLevelThreePrintsTracebackAtOnceAndStopsAtItsPop)
{
    bool after_pop = false;
    ERPUSH("OUTER");
    ERPUSH("INNER");
    ERMES(5, 2, "Bad thing.");
    const Lines expected{"",
                         " *** TERMINAL ERROR 2 from INNER.  Bad thing.",
                         TRACE_HEAD1,
                         TRACE_HEAD2,
                         TRACE_HEAD3,
                         "     INNER" + blanks(32) + "5" + blanks(11) + "2    (Called internally)",
                         "     OUTER" + blanks(32) + "0" + blanks(11) + "0",
                         "     USER" + blanks(33) + "0" + blanks(11) + "0"};
    EXPECT_EQ(capture.records(), expected) << "printed before any pop";
    auto stop = capture.run([&] {
        ERPOP("INNER");
        after_pop = true;
    });
    ASSERT_TRUE(stop);
    EXPECT_FALSE(after_pop);
    EXPECT_EQ(stop->routine, "INNER");
    EXPECT_EQ(stop->level, 3);
    EXPECT_EQ(stop->printed, expected) << "nothing more at the pop";
}

TEST_F(ErrorMachinery, TerminalAtLevelOneNeverStops)
{
    ERMES(5, 3, "Recorded by the caller.");
    EXPECT_EQ(capture.records(), (Lines{"", " *** TERMINAL ERROR 3 from USER.  Recorded by the caller."}));
    EXPECT_EQ(ERTYPE(0), 5);
    EXPECT_EQ(capture.stops(), 0);
}

TEST_F(ErrorMachinery, FatalAtLevelThreeStopsWhenLevelTwoPops)
{
    ERPUSH("TOP");
    ERPUSH("SUB");
    ERMES(4, 8, "Fatal.");
    ERPOP("SUB");
    EXPECT_TRUE(capture.records().empty());
    auto stop = capture.run([] { ERPOP("TOP"); });
    ASSERT_TRUE(stop);
    EXPECT_EQ(stop->routine, "TOP");
    EXPECT_EQ(stop->printed, (Lines{"", " *** FATAL    ERROR 8 from TOP.  Fatal."}));
}

TEST_F(ErrorMachinery, ImmediateWarningPrintsAtOnceAndDoesNotStop)
{
    ERPUSH("TOP");
    ERMES(6, 1, "Now.");
    EXPECT_EQ(capture.records(), (Lines{"", " *** WARNING  ERROR 1 from TOP.  Now."}));
    ERPOP("TOP");
    EXPECT_EQ(capture.records().size(), 2u);
    EXPECT_FALSE(error_state().pending_warning) << "taken when level 2 pops";
}

TEST_F(ErrorMachinery, ImmediateFatalStopsWhenLevelTwoPops)
{
    ERPUSH("TOP");
    ERPUSH("SUB");
    ERMES(7, 2, "Now.");
    ERPOP("SUB");
    auto stop = capture.run([] { ERPOP("TOP"); });
    ASSERT_TRUE(stop);
    EXPECT_EQ(stop->routine, "TOP");
    EXPECT_EQ(stop->type, 7);
}

TEST_F(ErrorMachinery, NoteAndAlertAreSeenByTheCallerOnlyAlertIsPassedOn)
{
    ERPUSH("CALLER");
    ERPUSH("SUB");
    ERMES(1, 3, "A note.");
    ERPOP("SUB");
    EXPECT_EQ(ERTYPE(1), 1);
    EXPECT_EQ(ERCODE(1), 3);
    EXPECT_EQ(ERTYPE(0), 0) << "a NOTE is not passed on";
    ERPUSH("SUB");
    ERMES(2, 4, "An alert.");
    ERPOP("SUB");
    EXPECT_EQ(ERTYPE(1), 2);
    EXPECT_EQ(ERTYPE(0), 2);
    EXPECT_EQ(ERCODE(0), 4);
    ERPOP("CALLER");
    EXPECT_TRUE(capture.records().empty());
}

TEST_F(ErrorMachinery, NothingRecordedReadsMinusOneAboveTheCurrentLevel)
{
    EXPECT_EQ(ERTYPE(1), -1);
    EXPECT_EQ(ERCODE(1), -1);
    ERPUSH("A");
    ERPOP("A");
    EXPECT_EQ(ERTYPE(1), 0);
    EXPECT_EQ(ERCODE(1), 0);
}

TEST_F(ErrorMachinery, TypeOrCodeZeroClearsThePendingMessage)
{
    ERPUSH("A");
    ERPUSH("B");
    ERMES(3, 1, "Pending.");
    ERPOP("B");
    ERMES(0, 0, " ");
    ERPOP("A");
    ERPUSH("A");
    ERMES(3, 0, "Cleared by code 0.");
    ERPOP("A");
    EXPECT_TRUE(capture.records().empty());
}

TEST_F(ErrorMachinery, PopMatchesThroughTrailingBlanks)
{
    ERPUSH("NAME");
    ERPOP("NAME   ");
    EXPECT_EQ(error_state().level, 1);
}

TEST_F(ErrorMachinery, PopOnEmptyStackStops)
{
    auto stop = capture.run([] { ERPOP("NOBODY"); });
    ASSERT_TRUE(stop);
    EXPECT_EQ(stop->routine, "ERPOP");
    EXPECT_EQ(stop->code, 1);
    EXPECT_EQ(stop->printed,
              (Lines{"", " *** TERMINAL ERROR 1 from ERPOP.  Error condition in ERPOP.  Cannot pop from",
                     " ***          NOBODY because stack is empty."}));
}

TEST_F(ErrorMachinery, PopWithAnotherNameStops)
{
    ERPUSH("ALPHA");
    auto stop = capture.run([] { ERPOP("BETA"); });
    ASSERT_TRUE(stop);
    EXPECT_EQ(stop->routine, "ALPHA");
    EXPECT_EQ(stop->code, 2);
    EXPECT_EQ(stop->printed,
              (Lines{"", " *** TERMINAL ERROR 2 from ALPHA.  Error condition in ERPOP.  BETA does not",
                     " ***          match the name ALPHA in the stack."}));
}

TEST_F(ErrorMachinery, FortyNineNestedCallsAreAllowedTheFiftiethStops)
{
    for (int i = 0; i < 49; ++i)
        ERPUSH("NEST");
    EXPECT_EQ(error_state().level, 50);
    auto stop = capture.run([] { ERPUSH("NEST"); });
    ASSERT_TRUE(stop);
    EXPECT_EQ(stop->level, 50);
    ASSERT_EQ(stop->printed.size(), 56u);
    EXPECT_EQ(stop->printed[1], " *** TERMINAL ERROR 1 from NEST.  Error condition in ERPUSH.  Push would");
    EXPECT_EQ(stop->printed[2], " ***          cause stack level to exceed 50. ");
    EXPECT_EQ(stop->printed[3], TRACE_HEAD1);
    EXPECT_EQ(stop->printed[6], "     NEST" + blanks(33) + "5" + blanks(11) + "1    (Called internally)");
    EXPECT_EQ(stop->printed[54], "     NEST" + blanks(33) + "0" + blanks(11) + "0");
    EXPECT_EQ(stop->printed[55], "     USER" + blanks(33) + "0" + blanks(11) + "0");
}

struct KeywordCase {
    const char* name;
    const char* tmpl;
    const char* printed;
};

class Keywords : public ErrorMachinery, public ::testing::WithParamInterface<KeywordCase> {};

TEST_P(Keywords, AreFilledOrLeftAsWritten)
{
    ERPUSH("KEY");
    ERSETI(1, 5);
    ERSETI(1, 6);
    ERSETL(2, "text   ");
    ERSETL(-3, "kept  ");
    ERMES(3, 1, GetParam().tmpl);
    ERPOP("KEY");
    EXPECT_EQ(capture.records(), (Lines{"", std::string(" *** WARNING  ERROR 1 from KEY.  ") + GetParam().printed}));
}

INSTANTIATE_TEST_SUITE_P(
    ErrorMachinery, Keywords,
    ::testing::Values(KeywordCase{"FirstStoredValue", "n=%(I1)", "n=5"},
                      KeywordCase{"LetterWithoutRegardToCase", "n=%(i1)", "n=5"},
                      KeywordCase{"DigitZero", "%(I0)", "%(I0)"},
                      KeywordCase{"LetterOutsideTheSet", "%(X1)", "%(X1)"},
                      KeywordCase{"NeverStored", "%(I2)", "%(I2)"},
                      KeywordCase{"TextTrimmed", "[%(L2)]", "[text]"},
                      KeywordCase{"NegativeIndexKeepsBlanks", "[%(L3)]", "[kept  ]"},
                      KeywordCase{"AtTheVeryEnd", "%(I1)", "5"},
                      KeywordCase{"CutShort", "x%(I1", "x%(I1"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(ErrorMachinery, FullParameterStoreLeavesTheKeywordLiteral)
{
    ERPUSH("FULL");
    ERSETL(1, std::string(255, 'a'));  // entry "*L1*255%" and the text: ends at 263
    ERSETL(2, std::string(28, 'b'));   // 263 + 28 + 8 = 299: fits, ends at 298
    ERSETI(1, 5);                      // 298 + 1 + 8 > 300: not stored
    ERMES(3, 1, "N=%(I1)");
    ERPOP("FULL");
    EXPECT_EQ(capture.records(), (Lines{"", " *** WARNING  ERROR 1 from FULL.  N=%(I1)"}));
}

TEST_F(ErrorMachinery, LongWordIsCutWithoutLosingACharacter)
{
    ERPUSH("WRAP");
    ERMES(3, 1, std::string(100, 'x'));
    ERPOP("WRAP");
    // The room after the header ends before the word; the first line breaks at the last
    // blank of ".  ", the word goes on in lines of 64.
    EXPECT_EQ(capture.records(), (Lines{"", " *** WARNING  ERROR 1 from WRAP. ",
                                        " ***          " + std::string(64, 'x'),
                                        " ***          " + std::string(36, 'x')}));
}

TEST_F(ErrorMachinery, LineBreakMarksEndLinesAndKeepTheBlankAfterThem)
{
    ERPUSH("BRK");
    ERMES(3, 9, "First part.%/Second part.%/ Third");
    ERPOP("BRK");
    EXPECT_EQ(capture.records(), (Lines{"", " *** WARNING  ERROR 9 from BRK.  First part.",
                                        " ***          Second part.", " ***           Third"}));
}

TEST_F(ErrorMachinery, ContinuationLinesEndAtABlankAndDropOneLeadingBlank)
{
    ERPUSH("LONG");
    // Room 47 after " 1 from LONG"; continuation lines of 64.
    ERMES(3, 1,
          "aaaa bbbb cccc dddd eeee ffff gggg hhhh iiii jjjj kkkk llll mmmm nnnn oooo pppp "
          "qqqq rrrr ssss tttt uuuu vvvv wwww xxxx  yyyy");
    ERPOP("LONG");
    EXPECT_EQ(capture.records(),
              (Lines{"", " *** WARNING  ERROR 1 from LONG.  aaaa bbbb cccc dddd eeee ffff gggg hhhh",
                     " ***          iiii jjjj kkkk llll mmmm nnnn oooo pppp qqqq rrrr ssss tttt ",
                     " ***          uuuu vvvv wwww xxxx  yyyy"}));
}

TEST_F(ErrorMachinery, LowerCaseFirstLetterIsRaisedInHeaderAndTraceback)
{
    ERPUSH("OUTER");
    ERPUSH("dGAMMA");
    ERMES(5, 1, "X.");
    EXPECT_EQ(capture.records()[1], " *** TERMINAL ERROR 1 from DGAMMA.  X.");
    EXPECT_EQ(capture.records()[5], "     DGAMMA" + blanks(31) + "5" + blanks(11) + "1    (Called internally)");
}

TEST_F(ErrorMachinery, IllegalTypePrintsUnknownWithTracebackAndStops)
{
    ERPUSH("A");
    ERPUSH("B");
    auto stop = capture.run([] { ERMES(9, 3, "x"); });
    ASSERT_TRUE(stop);
    EXPECT_EQ(stop->routine, "B");
    EXPECT_EQ(stop->type, 9);
    EXPECT_EQ(stop->code, 0) << "the code is not stored";
    EXPECT_EQ(stop->printed,
              (Lines{"", " *** UNKNOWN  ERROR 0 from B.  Error from ERMES.  Illegal error type",
                     " ***          specified.", TRACE_HEAD1, TRACE_HEAD2, TRACE_HEAD3,
                     "     B" + blanks(36) + "9" + blanks(11) + "0    (Called internally)",
                     "     A" + blanks(36) + "0" + blanks(11) + "0",
                     "     USER" + blanks(33) + "0" + blanks(11) + "0"}));
}

TEST_F(ErrorMachinery, ErtypeAndErcodeRefuseOtherArguments)
{
    ERPUSH("ASK");
    auto stop = capture.run([] { ERTYPE(2); });
    ASSERT_TRUE(stop);
    EXPECT_EQ(stop->type, 5);
    EXPECT_EQ(stop->code, 1);
    EXPECT_EQ(stop->printed, (Lines{"", " *** TERMINAL ERROR 1 from ASK.  The argument passed to ERTYPE must be 0 or 1."}));
    ERPUSH("ASK");
    stop = capture.run([] { ERCODE(-1); });
    ASSERT_TRUE(stop);
    EXPECT_EQ(stop->printed.back(), " *** TERMINAL ERROR 1 from ASK.  The argument passed to ERCODE must be 0 or 1.");
}

TEST_F(ErrorMachinery, DoubleParametersUseOneDigitBeforeThePoint)
{
    ERPUSH("D");
    ERSETD(1, -1.0);
    ERSETD(2, 1e-300);
    ERSETD(3, 0.0);
    ERSETD(4, RCONST(6));
    ERSETD(5, RCONST(8));
    ERSETD(6, 9.99);
    ERMES(1, 1, "%(D1)|%(D2)|%(D3)|%(D4)|%(D5)|%(D6)");  // a NOTE: built, never printed
    const ErrorState& s = error_state();
    EXPECT_EQ(std::string(s.message, static_cast<std::size_t>(s.message_length)),
              ".  -1.000000000000000E+00|1.000000000000000-300|0.000000000000000E+00|NaN|-Infinity|"
              "9.990000000000000E+00");
    ERPOP("D");
    EXPECT_TRUE(capture.records().empty());
}

// A stop inside ERPUSH, ERMES and ERPOP leaves the stack up; the reset brings back the state
// of first use, and a WARNING at level 2 prints again.
TEST_F(ErrorMachinery, ResetAfterUnwoundStopsGivesAFreshState)
{
    reset_error_state();
    const ErrorState fresh = error_state();
    for (int i = 0; i < 49; ++i)
        ERPUSH("NEST");
    EXPECT_TRUE(capture.run([] { ERPUSH("NEST"); }));
    EXPECT_EQ(error_state(), fresh);

    ERPUSH("A");
    ERPUSH("B");
    ERSETI(1, 1);
    EXPECT_TRUE(capture.run([] { ERMES(-5, 1, "x"); }));
    EXPECT_EQ(error_state(), fresh);

    ERPUSH("A");
    ERPUSH("B");
    ERMES(5, 1, "x");
    EXPECT_TRUE(capture.run([] { ERPOP("B"); }));
    EXPECT_EQ(error_state(), fresh);

    capture.clear();
    ERPUSH("AGAIN");
    ERMES(3, 2, "Printed again.");
    ERPOP("AGAIN");
    EXPECT_EQ(capture.records(), (Lines{"", " *** WARNING  ERROR 2 from AGAIN.  Printed again."}));
}

TEST_F(ErrorMachinery, MachineRoutinesWriteTheirOwnTextAndStop)
{
    auto stop = capture.run([] { ICONST(13); });
    ASSERT_TRUE(stop);
    EXPECT_EQ(stop->printed, (Lines{"", " *** TERMINAL ERROR 5 from ICONST.  The argument",
                                    " ***          must be between 1 and 12 inclusive.",
                                    " ***          N =     13.", ""}));
    capture.clear();
    stop = capture.run([] {
        int unit = 0;
        IOUNIT(-4, unit);
    });
    ASSERT_TRUE(stop);
    EXPECT_EQ(stop->printed, (Lines{" *** TERMINAL ERROR 5 from IOUNIT.  The absolute",
                                    " ***          value of the index variable must be",
                                    " ***          1, 2, or 3.  IABS(N) =      4."}));
}

TEST_F(ErrorMachinery, UnitsAndIntegerConstants)
{
    int unit = 0;
    IOUNIT(1, unit);
    EXPECT_EQ(unit, 5);
    IOUNIT(2, unit);
    EXPECT_EQ(unit, 6);
    IOUNIT(3, unit);
    EXPECT_EQ(unit, 6);
    EXPECT_EQ(ICONST(1), 32);
    EXPECT_EQ(ICONST(2), 4);
    EXPECT_EQ(ICONST(3), std::numeric_limits<int>::radix);
    EXPECT_EQ(ICONST(4), std::numeric_limits<int>::digits);
    EXPECT_EQ(ICONST(5), std::numeric_limits<int>::max());
    EXPECT_EQ(ICONST(6), std::numeric_limits<float>::radix);
    EXPECT_EQ(ICONST(7), std::numeric_limits<float>::digits);
    EXPECT_EQ(ICONST(8), std::numeric_limits<float>::min_exponent);
    EXPECT_EQ(ICONST(9), std::numeric_limits<float>::max_exponent);
    EXPECT_EQ(ICONST(10), std::numeric_limits<double>::digits);
    EXPECT_EQ(ICONST(11), std::numeric_limits<double>::min_exponent);
    EXPECT_EQ(ICONST(12), std::numeric_limits<double>::max_exponent);
}

}  // namespace
