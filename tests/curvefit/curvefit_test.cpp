// The exported curve fit as the host calls it: coefficients constant first, the library's
// messages in the host's output window, and every stop ending inside the call with the
// coefficients zero, the error state as it was made, and the host's stop handler and unit 6
// output put back.
#include "curvefit/curvefit.h"

#include "numerics/error_machinery.h"
#include "numerics/numerics.h"

#include <DFORRT/FormattedIO.h>
#include <DFORRT_standin.h>
#include <MsgOut_standin.h>

#include <gtest/gtest.h>

#include <cmath>
#include <random>
#include <string>
#include <utility>
#include <vector>

namespace {

using kvpvs::numerics::error_state;
using kvpvs::numerics::ErrorState;
using kvpvs::numerics::reset_error_state;

void HostStop() {}
void HostSink(void*, int, std::string_view) {}
void Collect(void* text, int, std::string_view record) { static_cast<std::string*>(text)->append(record).append("\n"); }

class CurveFit : public ::testing::Test {
protected:
    CurveFit()
    {
        reset_error_state();
        fresh_ = error_state();
        MsgOutStandIn::Reset();
        previous_handler_ = dforrt::SetStopHandler(&HostStop);
        previous_sink_ = dforrt::SetRecordSink(6, {&HostSink, this});
    }
    ~CurveFit() override
    {
        dforrt::SetStopHandler(previous_handler_);
        dforrt::SetRecordSink(6, previous_sink_);
        reset_error_state();
    }
    // The host's handler and sink are in place again after the call.
    void ExpectHostSettingsBack()
    {
        EXPECT_EQ(dforrt::SetStopHandler(&HostStop), &HostStop);
        const dforrt::SinkBinding sink = dforrt::SetRecordSink(6, {&HostSink, this});
        EXPECT_EQ(sink.sink, &HostSink);
        EXPECT_EQ(sink.context, this);
    }
    ErrorState fresh_{};
    dforrt::StopHandler previous_handler_ = nullptr;
    dforrt::SinkBinding previous_sink_;
};

TEST_F(CurveFit, AParabolaThroughFivePointsConstantFirst)
{
    std::vector<double> x = {-2, -1, 0, 1, 2}, y;
    for (double v : x)
        y.push_back(1.0 - 2.0 * v + 0.5 * v * v + (v == 0 ? 0.25 : 0.0));
    double b[3] = {9, 9, 9};
    curvefit(5, x.data(), y.data(), 2, b);
    // The bump of 0.25 at 0 spreads by least squares: y = 1.1785714 - 2x + 0.4642857x^2.
    EXPECT_NEAR(b[0], 1.0 + 0.25 * 17.0 / 35.0, 1e-14);
    EXPECT_NEAR(b[1], -2.0, 1e-14);
    EXPECT_NEAR(b[2], 0.5 - 0.25 * 5.0 / 35.0, 1e-14);
    EXPECT_TRUE(MsgOutStandIn::Messages().empty());
    ExpectHostSettingsBack();
}

struct Stop {
    const char* name;
    std::vector<double> x, y;
    int ndeg;
    int fail_allocations;  // allocations to fail before the call: 1 SEQSS, 2 PFIT's work
    std::vector<std::string> window;
};

class CurveFitStops : public CurveFit, public ::testing::WithParamInterface<Stop> {};

TEST_P(CurveFitStops, LeaveTheZeroPolynomialTheMessageAndTheStateAsMade)
{
    const Stop& c = GetParam();
    std::vector<double> x(c.x), y(c.y), b(static_cast<std::size_t>(c.ndeg + 1), 7.0);
    if (c.fail_allocations > 0)
        dforrt::StandInFailNextAllocation();
    curvefit(static_cast<int>(x.size()), x.data(), y.data(), c.ndeg, b.data());
    EXPECT_EQ(b, std::vector<double>(static_cast<std::size_t>(c.ndeg + 1), 0.0));
    std::vector<std::string> window;
    for (const auto& m : MsgOutStandIn::Messages()) {
        window.push_back(m.text);
        EXPECT_EQ(m.type, 0);
        EXPECT_FALSE(m.to_window);
    }
    EXPECT_EQ(window, c.window);
    EXPECT_TRUE(error_state() == fresh_);
    EXPECT_EQ(dforrt::StandInLiveAllocations(), 0);
    ExpectHostSettingsBack();

    // The next fit reports its own warning only.
    MsgOutStandIn::Reset();
    std::vector<double> x2 = {1, 1, 3, 3}, y2 = {1, 2, 5, 6}, b2(4);
    curvefit(4, x2.data(), y2.data(), 3, b2.data());
    EXPECT_EQ(MsgOutStandIn::Text(), "\n"
                                     " *** WARNING  ERROR 5 from PFIT.  A degree 1 polynomial is fitted.  There are\n"
                                     " ***          only 2 distinct abscissas, so a higher degree polynomial fit \n"
                                     " ***          cannot be computed.\n");
    EXPECT_NEAR(b2[1], 2.0, 1e-14);
}

const double NaN = std::nan("");

INSTANTIATE_TEST_SUITE_P(
    CurveFit, CurveFitStops,
    ::testing::Values(
        Stop{"ConstantX", {2, 2, 2, 2}, {1, 2, 3, 4}, 2, 0,
             {"", " *** FATAL    ERROR 7 from PFIT.  The x values are constant.  At least two",
              " ***          distinct x values are needed."}},
        Stop{"EveryPairWithANaN", {NaN, 1, 2}, {1, NaN, NaN}, 1, 0,
             {"", " *** FATAL    ERROR 3 from PFIT.  There are no valid data points.  Each (x,y)",
              " ***          pair contains NaN (not a number)."}},
        Stop{"NoStorageForTheSequentialSums", {1, 2, 3}, {1, 2, 4}, 2, 1,
             {"", " *** TERMINAL ERROR 3 from PFIT.  The required storage cannot be allocated",
              " ***          based on NOBS = 3 and NDEG = 2."}},
        Stop{"NoObservations", {}, {}, 1, 0,
             {"", " *** TERMINAL ERROR 1 from PFIT.  The number of observations must be at least",
              " ***          1 while NOBS = 0 is given."}},
        // Scaled onto [-2, 2] by 1e200, the cubic term's power coefficient overflows.
        Stop{"CoefficientsNotFinite", {0, 1e-200, 2e-200, 3e-200, 4e-200}, {1, 2, 0, 3, 1}, 3, 0,
             {"", " *** FATAL    ERROR 8 from PFIT.  The coefficients of the degree 3 polynomial",
              " ***          are not all finite.  The x values lie too close together, or ",
              " ***          the x or y values are too large, for this degree."}},
        // Steps of the least double: 4 / (x range) is infinite.
        Stop{"AbscissasInSubnormalSteps", {0, 0x1p-1074, 0x1p-1073, 0x3p-1074}, {1, 2, 0, 3}, 1, 0,
             {"", " *** FATAL    ERROR 8 from PFIT.  The coefficients of the degree 1 polynomial",
              " ***          are not all finite.  The x values lie too close together, or ",
              " ***          the x or y values are too large, for this degree."}},
        Stop{"OneObservation", {1}, {1}, 1, 0,
             {"", " *** TERMINAL ERROR 1 from OPFIT.  NOBS = 1.  The number of observations,",
              " ***          NOBS, must be greater than 1.",
              "     Here is a traceback of subprogram calls in reverse order:",
              "     Routine name                    Error type  Error code",
              "     ------------                    ----------  ----------",
              "     OPFIT                                5           1    (Called internally)",
              "     PFIT2                                0           0    (Called internally)",
              "     PFIT                                 0           0",
              "     USER                                 0           0"}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(CurveFit, TooFewPointsFitTheHighestDegreeTheyAllowWithWarningFive)
{
    double x[3] = {0, 1, 2}, y[3] = {1, 0, 3}, b[6] = {9, 9, 9, 9, 9, 9};
    curvefit(3, x, y, 5, b);
    // Through (0, 1), (1, 0), (2, 3): 1 - 3x + 2x^2.
    EXPECT_NEAR(b[0], 1.0, 1e-14);
    EXPECT_NEAR(b[1], -3.0, 1e-14);
    EXPECT_NEAR(b[2], 2.0, 1e-14);
    EXPECT_EQ(b[3], 0.0);
    EXPECT_EQ(b[5], 0.0);
    const std::string text = MsgOutStandIn::Text();
    EXPECT_NE(text.find("ERROR 11 from OPFIT3.  The degree 2 polynomial fit is a perfect"), std::string::npos);
    EXPECT_NE(text.find(" *** WARNING  ERROR 5 from PFIT.  A degree 2 polynomial is fitted."), std::string::npos);
}

struct Result {
    std::vector<double> b;
    std::string printed;
};

Result CurveFitOf(std::vector<double> x, std::vector<double> y, int ndeg)
{
    reset_error_state();
    MsgOutStandIn::Reset();
    Result r{std::vector<double>(static_cast<std::size_t>(ndeg + 1)), ""};
    curvefit(static_cast<int>(x.size()), x.data(), y.data(), ndeg, r.b.data());
    r.printed = MsgOutStandIn::Text();
    return r;
}

// The library's own fit, with every statistic: the reference of the curve fit's shorter road.
Result LibraryFitOf(std::vector<double> x, std::vector<double> y, int ndeg)
{
    reset_error_state();
    Result r{std::vector<double>(static_cast<std::size_t>(ndeg + 1)), ""};
    std::vector<double> seqss(r.b.size()), stats(10);
    const dforrt::SinkBinding previous = dforrt::SetRecordSink(6, {&Collect, &r.printed});
    kvpvs::numerics::PFIT(static_cast<int>(x.size()), x.data(), y.data(), ndeg, r.b.data(), seqss.data(), stats.data());
    dforrt::SetRecordSink(6, previous);
    return r;
}

TEST_F(CurveFit, CoefficientsAndMessagesAreTheLibrarysFitsInAnyOrder)
{
    // Three replicated x and symmetric y: WARNING 5, and the linear term's F of 0 posts a note over its text.
    const Result replicated = CurveFitOf({-1, -1, 0, 0, 1, 1}, {1, 2, 0, 0.5, 1, 2}, 3);
    const Result library = LibraryFitOf({-1, -1, 0, 0, 1, 1}, {1, 2, 0, 0.5, 1, 2}, 3);
    EXPECT_EQ(replicated.b, library.b);
    EXPECT_NE(replicated.printed.find("WARNING  ERROR 5 from PFIT"), std::string::npos);
    EXPECT_EQ(replicated.printed, library.printed);

    // Strictly increasing x go unsorted; the last pair out of order, with a row of NaN y and a
    // smaller x between them, is sorted into the same points, bit for bit.
    std::vector<double> x, y;
    std::mt19937 gen(5);
    std::uniform_real_distribution<double> noise(-1.0, 1.0);
    for (int i = 0; i < 12; ++i) {
        x.push_back(0.7 * i);
        y.push_back(0.1 * i * i + noise(gen));
    }
    const Result sorted = CurveFitOf(x, y, 3);
    std::swap(x[10], x[11]);
    std::swap(y[10], y[11]);
    x.insert(x.begin() + 11, -1.0);
    y.insert(y.begin() + 11, NaN);
    EXPECT_EQ(CurveFitOf(x, y, 3).b, sorted.b);
}

}  // namespace
