// Beam histories on the single-degree-of-freedom model: the record made from the twelve end
// forces, entry by entry, the moment with end offsets and the combined stress, and the beam
// report against its golden texts.
#include "timehistory/CPVSTHCalcBeamFunc.h"

#include "single_dof_model.h"

#include "GoldenText.h"

#include <gtest/gtest.h>

#include <climits>
#include <cmath>
#include <string>
#include <vector>

namespace {

using namespace thtest;
using kvpvs::testing::GoldenText;

// MakeBeamRecord entry by entry: (r0..r5) = (-f0, f2, -f1, -f3, -f5, -f4),
// (r6..r11) = (f6, -f8, f7, f9, f11, f10).
class BeamMapping : public ::testing::TestWithParam<int> {};

TEST_P(BeamMapping, UnitForce)
{
    const int j = GetParam();
    double f[12] = {};
    f[j] = 1.0;
    std::vector<double> s = BeamArray();
    double r[26];
    CPVSTHCalcBeamFunc::MakeBeamRecord(s.data(), f, r);
    const int src[12] = {0, 2, 1, 3, 5, 4, 6, 8, 7, 9, 11, 10};
    const double sgn[12] = {-1, 1, -1, -1, -1, -1, 1, -1, 1, 1, 1, 1};
    double e[26] = {};
    for (int i = 0; i < 12; ++i)
        e[i] = src[i] == j ? sgn[i] : 0.0;
    const double* c = s.data() + 24;
    const double* d = s.data() + 102;
    double st[14] = {-e[0] * c[0], -e[1] * c[2], -e[2] * c[1], e[5] * c[3], e[5] * c[4], -e[4] * c[5], -e[4] * c[6],
                     e[6] * d[7], e[7] * d[9], e[8] * d[8], -e[11] * d[10], -e[11] * d[11], e[10] * d[12], e[10] * d[13]};
    for (int i = 0; i < 14; ++i)
        e[12 + i] = st[i];
    for (int i = 0; i < 26; ++i)
        EXPECT_EQ(r[i], e[i]) << "entry " << i;
}
INSTANTIATE_TEST_SUITE_P(EachForce, BeamMapping, ::testing::Range(0, 12),
                         [](const ::testing::TestParamInfo<int>& i) { return "Force" + std::to_string(i.param); });

TEST_F(SingleDofModel, BeamMomentWithOffsetsAndCombinedStress)
{
    // End offsets set: f4 += o1 f2 with o1 the element length (place 0 of the record).
    T_PCFMO_D off;
    off.bOffset = 1;
    off.dOffset[1] = 0.3;
    off.dOffset[2] = 0.2;
    off.dOffset[3] = 0.4;
    T_PCFMO_D::SetDefault(off);
    CClassNode nodes(doc.GetModelDB());
    T_NODE_D a, b;
    b.dXyz[0] = 5.0;
    nodes.Set(101, a);
    nodes.Set(102, b);
    T_ELEM_D e;
    e.aNodeK.Add(101);
    e.aNodeK.Add(102);
    CClassElem(doc.GetModelDB()).Set(kBeam, e);
    T_THRD_D s;
    s.nCode = 2;
    s.nAcasK = kModalCase;
    s.nEntityK = kBeam;
    s.nComponent = 4; // moment y at I
    std::vector<double> v = Run(s);
    ASSERT_EQ(static_cast<int>(v.size()), kSteps);
    for (int i = 0; i < kSteps; ++i) {
        double u = kPhi1 * std::sin(kW * T(i));
        double f[12];
        for (int c = 0; c < 12; ++c)
            f[c] = (1.0 + c) * u;
        f[4] += 5.0 * f[2];
        f[5] -= 0.2 * f[1];
        // moment y at I is -f5 after the correction (moment unit 12 has no factor here)
        EXPECT_NEAR(v[i], -f[5], 1e-9);
    }
    s.nComponent = 3;
    s.nResultKind = 1; // stress: component 13 bending (+y)
    s.nSubPosition = 1;
    std::vector<double> comb = Run(s);
    s.nSubPosition = 0;
    std::vector<double> plain = Run(s);
    s.nComponent = 0;
    std::vector<double> axial = Run(s);
    for (int i = 0; i < kSteps; ++i)
        EXPECT_NEAR(comb[i], plain[i] + axial[i], 1e-9);
}

// The second beam (61), its force columns times -0.5, holds the minima of the forces; the modal
// and the direct case give the same text.
TEST_F(TextReport, BeamForcesAndStressesMatchTheGoldenTexts)
{
    const std::string forces = GoldenText("beam_force.txt");
    EXPECT_EQ(Report(3, kModalCase, 0, kRepStride, {kBeam2, kBeam}), forces);
    EXPECT_EQ(Report(3, kDirectCase, 0, kRepStride, {kBeam2, kBeam}), forces);
    EXPECT_EQ(Report(3, kModalCase, 1, kRepStride, {kBeam2, kBeam}), GoldenText("beam_stress.txt"));
    EXPECT_EQ(Report(3, kDirectCase, 1, INT_MAX, {kBeam2, kBeam}), GoldenText("beam_stress_one_step.txt"));
}

} // namespace
