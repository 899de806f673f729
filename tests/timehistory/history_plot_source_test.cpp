// The history-plot value source and the element-results entry on the single-degree-of-freedom
// model: a step's value is the series entry, the element readers' row, kind and option passed
// to the one-step entry, no value without a control, and the result files' base path.
#include "timehistory/CPVSTHCalcHistPlotData.h"
#include "timehistory/ElementResultsEntry.h"

#include "single_dof_model.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using namespace thtest;

TEST_F(SingleDofModel, HistoryPlotStepEqualsSeriesEntry)
{
    T_THRD_D s;
    s.nCode = 1;
    s.nAcasK = kModalCase;
    s.nEntityK = kTruss;
    std::vector<double> fi = Run(s);
    s.nPosition = 1;
    s.nResultKind = 1;
    std::vector<double> sj = Run(s);
    CPVSTHCalcHistPlotData src(kModalCase);
    ASSERT_EQ(src.BeginQuery(1), 1);
    for (int k : {0, 17, kSteps - 1}) {
        T_PSTRT_D r;
        ASSERT_EQ(src.GetTrussValue(k, kTruss, r), 1);
        EXPECT_DOUBLE_EQ(r.dForceI, fi[k]);
        EXPECT_DOUBLE_EQ(r.dStressJ, sj[k]);
    }
    T_PSTRT_D r;
    EXPECT_EQ(src.GetTrussValue(-1, kTruss, r), 0);
    EXPECT_EQ(src.GetTrussValue(kSteps, kTruss, r), 0);
    src.EndQuery();
    EXPECT_EQ(ctrl[0]->GetOpenCount(), 0); // nothing released, nothing reopened
}

// Recording double of the one-step entry.
struct StepCall {
    std::string path;
    int len, kind, type, row, hist, count, step, prod, flag, option, id;
    int calls = 0;
} g_step;

void RecordStep(const char* p, int len, int kind, int type, int row, int hist, int count, int step, int prod,
                int flag, double* out, int option, int id)
{
    g_step = StepCall{std::string(p, static_cast<size_t>(len)), len, kind, type, row, hist, count, step, prod, flag,
                      option, id, g_step.calls + 1};
    *out = 2.0e-6 * row;
}

TEST_F(SingleDofModel, ElementReadersPassRowKindAndOptionToTheStepEntry)
{
    g_step = StepCall{};
    kvpvs::timehistory::CurrentElementResultsEntry().step = &RecordStep;
    CDocCtrl::GetInitCtrl(&doc)->SetPreference(T_PREFERENCE{1e-6});
    CPVSTHCalcHistPlotData src(kModalCase);
    ASSERT_EQ(src.BeginQuery(7), 1);
    EXPECT_FALSE(ctrl[0]->IsXa1Open());
    double v = -1;
    ASSERT_EQ(src.GetPlstrnStress(4, 70, 4, 0, 3, 3, v), 1);
    EXPECT_EQ(g_step.calls, 1);
    EXPECT_EQ(g_step.path, "/data/run/case");
    EXPECT_EQ(g_step.len, 14);
    EXPECT_EQ(g_step.kind, 2);
    EXPECT_EQ(g_step.type, 7);
    EXPECT_EQ(g_step.row, 16);
    EXPECT_EQ(g_step.hist, 1);
    EXPECT_EQ(g_step.count, kSteps);
    EXPECT_EQ(g_step.step, 5);
    EXPECT_EQ(g_step.prod, 4);
    EXPECT_EQ(g_step.flag, 0);
    EXPECT_EQ(g_step.option, 3); // plane strain passes the option word unchanged
    EXPECT_EQ(g_step.id, 700);
    EXPECT_DOUBLE_EQ(v, 32e-6 * kStress);
    src.GetPlateUnitForce(0, 70, 4, 0, 1, 7, v);
    EXPECT_EQ(g_step.row, 38);
    EXPECT_EQ(g_step.option, 0); // plate kinds pass 0
    src.GetSolidStrain(0, 70, 20, 0, 1, 5, v);
    EXPECT_EQ(g_step.row, 192);
    src.GetPlateStress(0, 70, 6, 0, 1, 0, v);
    EXPECT_EQ(g_step.row, 49);
    EXPECT_EQ(g_step.kind, 7);
    EXPECT_DOUBLE_EQ(v, 49 * 2e-6 * kStress);
    // Strain (unit type 0) of row 1... a value below the tolerance becomes 0.
    src.GetPlstrnStrain(0, 70, 4, 0, 0, 0, v); // row 33: 6.6e-5
    EXPECT_DOUBLE_EQ(v, 6.6e-5);
    int calls = g_step.calls;
    v = -1;
    EXPECT_EQ(src.GetPlstrnStress(0, 70, 5, 0, 0, 0, v), 1);
    EXPECT_EQ(g_step.calls, calls); // 5 nodes: no kind, no call
    EXPECT_EQ(v, 0.0);
    src.EndQuery();
    EXPECT_TRUE(ctrl[0]->IsXa1Open());
    EXPECT_TRUE(ctrl[0]->IsXa2Open());
}

TEST_F(SingleDofModel, ValueSourceWithoutControlFails)
{
    CTHResultBuilder::PostCtrl(doc)->AddCaseWithoutControl(99);
    CPVSTHCalcHistPlotData src(99);
    EXPECT_EQ(src.BeginQuery(1), 1);
    T_PSTRT_D r;
    EXPECT_EQ(src.GetTrussValue(0, kTruss, r), 0);
    double v = 0;
    EXPECT_EQ(src.GetPlstrnStress(0, 70, 4, 0, 0, 0, v), 0);
    src.EndQuery();
}

TEST(ResultBasePath, TooLongFailsAndLengthIsTheBasePath)
{
    char buf[kvpvs::timehistory::BASE_PATH_CHARS];
    int n = -1;
    EXPECT_EQ(kvpvs::timehistory::MakeResultBasePath("C:\\w\\a.b\\run.xa2", buf, n), 1);
    EXPECT_STREQ(buf, "C:\\w\\a.b\\run");
    EXPECT_EQ(n, 12);
    EXPECT_EQ(kvpvs::timehistory::MakeResultBasePath(CString('x', 1030) + ".xa2", buf, n), 0);
}

} // namespace
