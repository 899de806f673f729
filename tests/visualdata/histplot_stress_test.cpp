// Element stress history plot: the averaging rules at a shared node, the method by the
// averaging switch, and the builds that fail or find nothing to read.
#include "visualdata/CPVSVisualDataHistoryPlotStrs.h"

#include "DBDoc.h"
#include "PostVisualState.h"
#include "THResultBuilder.h"

#include <gtest/gtest.h>

#include <cfloat>
#include <memory>
#include <vector>

namespace {

// The node value after the contributions, in visit order, as the display combines them.
double Combined(int nMode, const std::vector<double>& v)
{
    double d = CPVSVisualDataHistoryPlotStrs::AverageStart(nMode);
    for (double x : v)
        d = CPVSVisualDataHistoryPlotStrs::AverageCombine(nMode, d, x);
    return (nMode < 2 || nMode > 5) ? d / static_cast<double>(v.size()) : d;
}

TEST(StressPlotAveraging, SharedNodeByMode)
{
    EXPECT_EQ(Combined(1, {2, 4}), 3.0);
    EXPECT_EQ(Combined(2, {-7, -3}), -3.0);
    EXPECT_EQ(Combined(3, {2, 4}), 2.0);
    EXPECT_EQ(Combined(4, {-5, 3}), 5.0);
    EXPECT_EQ(Combined(5, {-5, 3}), 3.0);
    EXPECT_EQ(Combined(5, {-4}), 4.0); // magnitudes only
    EXPECT_EQ(CPVSVisualDataHistoryPlotStrs::AverageStart(2), -DBL_MAX);
    EXPECT_EQ(CPVSVisualDataHistoryPlotStrs::AverageStart(3), DBL_MAX);
    EXPECT_EQ(CPVSVisualDataHistoryPlotStrs::AverageStart(5), DBL_MAX);
    EXPECT_EQ(CPVSVisualDataHistoryPlotStrs::AverageStart(4), 0.0);
}

TEST(StressPlotAveraging, ModesOutsideOneToFiveAverage)
{
    for (int mode : {0, 6, -1, 1000})
        EXPECT_EQ(Combined(mode, {-5, 3}), -1.0) << mode;
}

class StressPlotBuild : public ::testing::Test {
protected:
    void SetUp() override
    {
        CZORDocBase::SetCurDoc(&doc);
        builder = std::make_unique<CTHResultBuilder>(doc, kAcas, 1, 1, std::vector<double>{0.1, 0.2}, 1);
    }
    void TearDown() override { CZORDocBase::SetCurDoc(nullptr); }
    std::unique_ptr<CPVSVisualDataHistoryPlotStrs> Make(unsigned nAcas, int nType)
    {
        T_VD_HISTPLOT_TVCKVR_D rec;
        rec.Initialize();
        rec.m_nAcasKey = nAcas;
        rec.m_nResultType = nType;
        T_VD_PARAM_D p;
        p.pDoc = &doc;
        p.pUserDefData = &rec;
        return std::make_unique<CPVSVisualDataHistoryPlotStrs>(7, p);
    }
    static constexpr unsigned kAcas = 5;
    CDBDoc doc;
    std::unique_ptr<CTHResultBuilder> builder;
};

TEST_F(StressPlotBuild, MethodFollowsTheAveragingSwitch)
{
    auto vd = Make(kAcas, 9);
    T_PVIST_ALL_D vs;
    vs.bAverage = 1;
    EXPECT_EQ(vd->GetVisualMethodType(&vs), 1);
    vs.bAverage = 0;
    EXPECT_EQ(vd->GetVisualMethodType(&vs), 2);
}

TEST_F(StressPlotBuild, ResultTypeOrCaseOutsideFails)
{
    T_PVIST_ALL_D vs;
    for (int type : {0, 6, 13, -1})
        EXPECT_EQ(Make(kAcas, type)->MakeVData(&vs, nullptr, 0), 0) << type;
    EXPECT_EQ(Make(99, 9)->MakeVData(&vs, nullptr, 0), 0);
}

TEST_F(StressPlotBuild, NoElementsOfTheFamilyGivesEmptyTables)
{
    for (int avg : {0, 1}) {
        T_PVIST_ALL_D vs;
        vs.bAverage = avg;
        for (int type = 7; type <= 12; ++type) {
            auto vd = Make(kAcas, type);
            EXPECT_EQ(vd->MakeVData(&vs, nullptr, 0), 1) << type;
            CArray<CString, CString&> a;
            EXPECT_EQ(vd->GetPostOutput4Probe(2, 1, a, 0), 0);
            EXPECT_EQ(vd->GetPostOutput4Probe(1, 1, a, 0), 0);
            EXPECT_EQ(a.GetSize(), 0);
        }
    }
}

} // namespace
