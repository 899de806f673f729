// Node histories on the single-degree-of-freedom model: displacement, velocity and
// acceleration against the closed form (relative, plus the ground's motion, or minus a second
// node's), and the node report against its golden texts.
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

struct DispCase {
    int kind, dispType;
    unsigned acas;
};

void PrintTo(const DispCase& c, std::ostream* os)
{
    *os << CaseName(c.acas) << ", result kind " << c.kind << ", displacement type " << c.dispType;
}

// Stored motion relative to the ground, plus the ground motion, or minus a second node's.
std::string disp_name(const ::testing::TestParamInfo<DispCase>& i)
{
    static const char* const kinds[] = {"Displacement", "Velocity", "Acceleration"};
    static const char* const types[] = {"", "PlusGround", "MinusSecondNode"};
    return std::string(CaseName(i.param.acas)) + kinds[i.param.kind] + types[i.param.dispType];
}

class DisplacementHistory : public SingleDofModel, public ::testing::WithParamInterface<DispCase> {};

TEST_P(DisplacementHistory, FollowsTheClosedForm)
{
    const DispCase c = GetParam();
    std::vector<double> s = Run(Disp(c.acas, c.kind, 0, c.dispType, 1, 2));
    ASSERT_EQ(static_cast<int>(s.size()), kSteps);
    for (int i = 0; i < kSteps; ++i) {
        double t = T(i), sn = std::sin(kW * t), cs = std::cos(kW * t);
        // u = phi q; v = phi q'; a = phi q''; ground X: 0.1 t, 0.1, 0; second node phi2.
        double phi = c.dispType == 2 ? kPhi1 - kPhi2 : kPhi1;
        double expect = c.kind == 0 ? kLen * phi * sn : (c.kind == 1 ? kVel * phi * kW * cs : -kAcc * phi * kW * kW * sn);
        if (c.dispType == 1)
            expect += c.kind == 0 ? kLen * 0.1 * t : (c.kind == 1 ? kVel * 0.1 : 0.0);
        EXPECT_NEAR(s[i], expect, 1e-9 * (1.0 + std::fabs(expect))) << "step " << i;
    }
}

INSTANTIATE_TEST_SUITE_P(ModalAndDirect, DisplacementHistory,
                         ::testing::Values(DispCase{0, 0, kModalCase}, DispCase{1, 0, kModalCase},
                                           DispCase{2, 0, kModalCase}, DispCase{0, 1, kModalCase},
                                           DispCase{1, 1, kModalCase}, DispCase{0, 2, kModalCase},
                                           DispCase{2, 2, kModalCase}, DispCase{0, 0, kDirectCase},
                                           DispCase{1, 0, kDirectCase}, DispCase{2, 0, kDirectCase},
                                           DispCase{0, 1, kDirectCase}, DispCase{0, 2, kDirectCase}),
                         disp_name);

// Nodes 2 and 1 reported in ascending order; the modal and the direct case give the same text.
// A stride near INT_MAX from a window that starts after step 0 prints the first step alone.
TEST_F(TextReport, DisplacementOfTwoNodesMatchesTheGoldenText)
{
    const std::string every_second = GoldenText("displacement.txt");
    EXPECT_EQ(Report(1, kModalCase, 0, kRepStride, {2, 1}), every_second);
    EXPECT_EQ(Report(1, kDirectCase, 0, kRepStride, {2, 1}), every_second);
    EXPECT_EQ(Report(1, kDirectCase, 0, INT_MAX, {2, 1}), GoldenText("displacement_one_step.txt"));
}

} // namespace
