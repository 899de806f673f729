// Truss histories on the single-degree-of-freedom model: force and stress at each end against
// the closed form, a stored array of the wrong size, the sampled extremes, and the truss report
// against its golden texts.
#include "timehistory/CPVSTHCalcTrssFunc.h"

#include "single_dof_model.h"

#include "GoldenText.h"

#include <gtest/gtest.h>

#include <climits>
#include <cmath>
#include <ostream>
#include <string>
#include <vector>

namespace {

using namespace thtest;
using kvpvs::testing::GoldenText;

struct TrussCase {
    int storedKind, position, mode;
    unsigned acas;
};

void PrintTo(const TrussCase& c, std::ostream* os)
{
    *os << CaseName(c.acas) << (c.storedKind ? ", stress" : ", force") << (c.position ? " at end J" : " at end I")
        << ", mode " << c.mode;
}

std::string truss_name(const ::testing::TestParamInfo<TrussCase>& i)
{
    const TrussCase& c = i.param;
    return std::string(CaseName(c.acas)) + (c.storedKind ? "Stress" : "Force") + (c.position ? "AtEndJ" : "AtEndI") +
           (c.mode ? "Mode" + std::to_string(c.mode) : std::string());
}

class TrussHistory : public SingleDofModel, public ::testing::WithParamInterface<TrussCase> {};

TEST_P(TrussHistory, ForceAndStressAtEachEnd)
{
    const TrussCase c = GetParam();
    T_THRD_D s;
    s.nCode = 1;
    s.nAcasK = c.acas;
    s.nEntityK = kTruss;
    s.nResultKind = c.storedKind;
    s.nPosition = c.position;
    s.nModeNumber = c.mode;
    std::vector<double> v = Run(s);
    ASSERT_EQ(static_cast<int>(v.size()), kSteps);
    for (int i = 0; i < kSteps; ++i) {
        double u = kPhi1 * std::sin(kW * T(i));
        // FI = 3 u, FJ = 4 u; record (-FI, FJ, -FI f2, FJ f3); mode 2 of one mode: zeros.
        double rec[4] = {-3 * u, 4 * u, -3 * u * 0.5, 4 * u * 0.25};
        double e = c.mode == 2 ? 0.0 : rec[2 * c.storedKind + (c.position ? 1 : 0)] * (c.storedKind ? kStress : kForce);
        EXPECT_NEAR(v[i], e, 1e-9) << i;
    }
}

INSTANTIATE_TEST_SUITE_P(Ends, TrussHistory,
                         ::testing::Values(TrussCase{0, 0, 0, kModalCase}, TrussCase{0, 1, 1, kModalCase},
                                           TrussCase{1, 0, 0, kModalCase}, TrussCase{1, 1, 0, kModalCase},
                                           TrussCase{0, 0, 2, kModalCase}, TrussCase{0, 0, 0, kDirectCase},
                                           TrussCase{1, 1, 0, kDirectCase}),
                         truss_name);

TEST_F(SingleDofModel, TrussArrayOfWrongSizeFails)
{
    auto* b = ctrl[0];
    for (int size : {62, 64}) {
        std::vector<double> a = TrussArray();
        a.resize(static_cast<size_t>(size));
        b->Data().truss[kTruss] = a;
        T_THRD_D s;
        s.nCode = 1;
        s.nAcasK = kModalCase;
        s.nEntityK = kTruss;
        EXPECT_TRUE(Run(s).empty()) << size;
    }
    std::vector<double> a = TrussArray();
    a[61] = 5; // stored m differs from the truss's 4
    b->Data().truss[kTruss] = a;
    T_THRD_D s;
    s.nCode = 1;
    s.nAcasK = kModalCase;
    s.nEntityK = kTruss;
    EXPECT_TRUE(Run(s).empty());
}

TEST_F(SingleDofModel, MaxMinKeepsTheFirstOfTies)
{
    CPostCtrlGeoTech* post = BeginModalQuery();
    CPVSTHCalcTrssFunc f;
    f.SetAnalTypeCtrl(ctrl[0]);
    T_THRD_D req;
    req.nAcasK = kModalCase;
    req.nEntityK = kTruss;
    f.Init(req);
    CArray<double, double> out;
    double mx = 0, mn = 0;
    int smx = -1, smn = -1;
    ASSERT_EQ(f.CalcMaxMin(1, kTruss, 0, 1, out, mx, smx, mn, smn, 0, kSteps, 3), 1);
    double emx = -1e300, emn = 1e300;
    int es = 0, en = 0;
    for (int i = 0, s = 0; s < kSteps; ++i, s += 3) {
        double v = kForce * 4 * kPhi1 * std::sin(kW * T(s));
        EXPECT_NEAR(out[i], v, 1e-9);
        if (v > emx) { emx = v; es = s; }
        if (v < emn) { emn = v; en = s; }
    }
    EXPECT_EQ(smx, es);
    EXPECT_EQ(smn, en);
    post->EndQueryResult();
}

// The second truss (49) comes first; its columns times -2 make it hold the minima.
TEST_F(TextReport, TrussForcesAndStressesMatchTheGoldenTexts)
{
    EXPECT_EQ(Report(2, kModalCase, 0, kRepStride, {kTruss, kTruss2}), GoldenText("truss_force.txt"));
    EXPECT_EQ(Report(2, kDirectCase, 1, kRepStride, {kTruss, kTruss2}), GoldenText("truss_stress.txt"));
    EXPECT_EQ(Report(2, kModalCase, 1, INT_MAX - 3, {kTruss, kTruss2}), GoldenText("truss_stress_one_step.txt"));
}

} // namespace
