// Small-value and window rules of the history functions and the one-step value source: values
// below 1e-13 after conversion become 0, a report window starting beyond the examined steps
// keeps the caller's indices, the user's zero tolerance (strict on both sides), and the beam
// record's quarter segments and corner stresses worked out by hand.
#include "timehistory/CPVSTHCalcFuncFactory.h"
#include "timehistory/CPVSTHCalcHistPlotData.h"

#include "single_dof_model.h"

#include <gtest/gtest.h>

#include <memory>

namespace {

using namespace thtest;

TEST_F(SingleDofModel, ConvertedValuesBelowOneInTenToTheThirteenBecomeZero)
{
    // Plane-strain stress: unit type 17, so values are multiplied by kStress before the rule.
    std::unique_ptr<CPVSTHCalcFuncBase> f(CPVSTHCalcFuncFactory::Create(4));
    ASSERT_NE(f, nullptr);
    CArray<double, double> a;
    for (double v : {5e-14 / kStress, -2e-13 / kStress, 5e-14, -1e-14 / kStress})
        a.Add(v);
    ASSERT_EQ(f->ConvertSeries(2, 0, &a), 1);
    EXPECT_EQ(a[0], 0.0);
    EXPECT_DOUBLE_EQ(a[1], -2e-13);
    EXPECT_DOUBLE_EQ(a[2], 5e-14 * kStress) << "the rule applies to the converted value";
    EXPECT_EQ(a[3], 0.0);
}

TEST_F(SingleDofModel, AWindowStartingBeyondTheExaminedStepsKeepsTheCallersIndices)
{
    std::unique_ptr<CPVSTHCalcFuncBase> f(CPVSTHCalcFuncFactory::Create(2));
    f->SetAnalTypeCtrl(ctrl[0]);
    T_THRD_D req;
    req.nAcasK = kModalCase;
    req.nEntityK = kTruss;
    f->Init(req);
    ASSERT_EQ(f->GetStepCount(), kSteps);
    // The last step is never examined: a window starting there starts nowhere.
    for (double dStart : {T(kSteps - 1), 5.0}) {
        int nFirst = 3, nLast = 8;
        EXPECT_EQ(f->GetStepWindow(nFirst, nLast, dStart, dStart + 1.0), 1) << dStart;
        EXPECT_EQ(nFirst, 3);
        EXPECT_EQ(nLast, 8);
        nFirst = 8;
        nLast = 3;
        EXPECT_EQ(f->GetStepWindow(nFirst, nLast, dStart, dStart + 1.0), 0) << dStart;
        EXPECT_EQ(nFirst, 8);
        EXPECT_EQ(nLast, 3);
    }
}

double g_dEntryValue = 0.0;

void WriteEntryValue(const char*, int, int, int, int, int, int, int, int, int, double* out, int, int)
{
    *out = g_dEntryValue;
}

TEST_F(SingleDofModel, ValuesStrictlyInsideTheZeroToleranceBecomeZero)
{
    kvpvs::timehistory::CurrentElementResultsEntry().step = &WriteEntryValue;
    CDocCtrl::GetInitCtrl(&doc)->SetPreference(T_PREFERENCE{1e-6});
    CPVSTHCalcHistPlotData src(kModalCase);
    ASSERT_EQ(src.BeginQuery(8), 1);
    // Plane-strain strain has no unit: the entry's value is the converted value.
    const double in[5] = {5e-7, -5e-7, 1e-6, -1e-6, 2e-6}, want[5] = {0.0, 0.0, 1e-6, -1e-6, 2e-6};
    for (int i = 0; i < 5; ++i) {
        g_dEntryValue = in[i];
        double v = -1.0;
        ASSERT_EQ(src.GetPlstrnStrain(0, 70, 4, 0, 0, 0, v), 1);
        EXPECT_EQ(v, want[i]) << in[i];
    }
    src.EndQuery();
}

TEST(BeamRecord, QuartersInterpolateTheEndsAndCornersCombineAxialWithBending)
{
    // End I forces 0, end J 4 (c + 1); stresses (c + 1)^2 at end I and 4 more at end J, so
    // the corner sums are 12 more at end J.
    double r[26] = {};
    for (int c = 0; c < 6; ++c)
        r[6 + c] = 4.0 * (c + 1);
    for (int c = 0; c < 7; ++c) {
        r[12 + c] = (c + 1.0) * (c + 1.0);
        r[19 + c] = r[12 + c] + 4.0;
    }
    // Axial 1 plus bending: corner 1 (-y 25, +z 36), 2 (+y 16, +z 36), 3 (+y 16, -z 49),
    // 4 (-y 25, -z 49).
    const double cornerI[4] = {62.0, 53.0, 66.0, 75.0};
    T_PSTRB_D rec;
    CPVSTHCalcHistPlotData::FillBeamRecord(1, rec, r);
    for (int q = 0; q < 4; ++q) {
        for (int c = 0; c < 6; ++c) {
            EXPECT_EQ(rec.dForce[q][c], (c + 1.0) * q) << "quarter " << q << " force " << c;
            EXPECT_EQ(rec.dForce[q][6 + c], (c + 1.0) * (q + 1)) << "quarter " << q << " force " << c;
        }
        for (int c = 0; c < 7; ++c) {
            EXPECT_EQ(rec.dStress[q][c], (c + 1.0) * (c + 1.0) + q) << "quarter " << q << " stress " << c;
            EXPECT_EQ(rec.dStress[q][7 + c], (c + 1.0) * (c + 1.0) + q + 1) << "quarter " << q << " stress " << c;
        }
        EXPECT_EQ(rec.dStress[q][14], 0.0);
        EXPECT_EQ(rec.dStress[q][15], 0.0);
        for (int i = 0; i < 4; ++i) {
            EXPECT_EQ(rec.dStress[q][16 + 2 * i], cornerI[i] + 3.0 * q) << "quarter " << q << " corner " << i;
            EXPECT_EQ(rec.dStress[q][17 + 2 * i], cornerI[i] + 3.0 * (q + 1)) << "quarter " << q << " corner " << i;
        }
    }
    EXPECT_EQ(rec.dMaxCombined, 87.0);
    EXPECT_EQ(rec.nMaxCombinedSeg, 3);
}

} // namespace
