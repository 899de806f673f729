// Nodal history plot: node values at one step from the case's stored histories, the four-value
// layout by component, output units, the scalar fallbacks and the texts.
#include "visualdata/CPVSVisualDataHistoryPlotTKVR.h"

#include "DBDoc.h"
#include "THResultBuilder.h"
#include "UnitCtrl.h"

#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <string>
#include <vector>

namespace {

constexpr unsigned kAcas = 7;
constexpr int kSteps = 5;
constexpr double kVelF = 100.0, kAccF = 10.0;

class NodalHistoryPlot : public ::testing::Test {
protected:
    void SetUp() override
    {
        CZORDocBase::SetCurDoc(&doc);
        CClassNode clsNode(doc.GetModelDB());
        for (int i = 0; i < 3; ++i) {
            T_NODE_D n;
            n.dXyz[0] = i;
            nodeK.push_back(clsNode.Add(n));
        }
        std::vector<double> times;
        for (int i = 0; i < kSteps; ++i)
            times.push_back(0.1 * (i + 1));
        builder = std::make_unique<CTHResultBuilder>(doc, kAcas, 1, 1, times, 1);
        // Node 0: step k moves (3k, 4k, 0) (twice that as velocity, three times as
        // acceleration) and turns (0.01k, -0.02k, 0.03k); node 1 has no
        // history; node 2 answers only the displacement reader.
        for (int kind = 1; kind <= 3; ++kind) {
            std::vector<T_PDISP_D> h(kSteps);
            for (int k = 0; k < kSteps; ++k) {
                h[k].dDx = 3.0 * k * (4 - kind);
                h[k].dDy = 4.0 * k * (4 - kind);
                h[k].dRx = 0.01 * k;
                h[k].dRy = -0.02 * k;
                h[k].dRz = 0.03 * k;
            }
            builder->Data().nodeHistory[kind - 1][nodeK[0]] = h;
        }
        std::vector<T_PDISP_D> h2(kSteps);
        h2[2].dDz = -6.0;
        builder->Data().nodeHistory[2][nodeK[2]] = h2;
        CUnitCtrl* u = CDocCtrl::GetUnitCtrl(&doc);
        u->SetFactor(22, kVelF);
        u->SetFactor(21, kAccF);
        CPVSVisualDataBase::ResetVDataStatics();
    }
    void TearDown() override { CZORDocBase::SetCurDoc(nullptr); }

    std::unique_ptr<CPVSVisualDataHistoryPlotTKVR> Make(int nType, int nComp, int nStep)
    {
        T_VD_HISTPLOT_TVCKVR_D rec;
        rec.Initialize();
        rec.m_nAcasKey = kAcas;
        rec.m_nResultType = nType;
        rec.m_nComponent = nComp;
        rec.m_nTimeStep = nStep;
        T_VD_PARAM_D p;
        p.pDoc = &doc;
        p.pUserDefData = &rec;
        return std::make_unique<CPVSVisualDataHistoryPlotTKVR>(3, p);
    }
    static std::vector<double> Values(CPVSVisualDataHistoryPlotTKVR& vd, unsigned k)
    {
        double v[3];
        double s = 0;
        if (!vd.GetVector(k, v, 0))
            return {};
        vd.GetScalar(k, s, 0);
        return {s, v[0], v[1], v[2]};
    }

    CDBDoc doc;
    std::vector<unsigned int> nodeK;
    std::unique_ptr<CTHResultBuilder> builder;
};

TEST_F(NodalHistoryPlot, ResultantTranslationAndItsVector)
{
    auto vd = Make(0, 6, 1);
    ASSERT_EQ(vd->MakeVData(nullptr, nullptr, 0), 1);
    EXPECT_EQ(Values(*vd, nodeK[0]), (std::vector<double>{5, 3, 4, 0}));
    EXPECT_EQ(Values(*vd, nodeK[2]), (std::vector<double>{0, 0, 0, 0}));
    EXPECT_TRUE(Values(*vd, nodeK[1]).empty());
    EXPECT_EQ(vd->GetVisualMethodType(nullptr), 1);
}

TEST_F(NodalHistoryPlot, SingleComponentGoesToItsAxisEntry)
{
    struct C {
        int comp;
        std::vector<double> want;
    };
    // Step 1 of node 0: (3, 4, 0) and (0.01, -0.02, 0.03).
    for (const C& c : {C{0, {3, 3, 0, 0}}, C{1, {4, 0, 4, 0}}, C{2, {0, 0, 0, 0}}, C{3, {0.01, 0.01, 0, 0}},
                       C{4, {-0.02, 0, -0.02, 0}}, C{5, {0.03, 0, 0, 0.03}}}) {
        auto vd = Make(0, c.comp, 1);
        ASSERT_EQ(vd->MakeVData(nullptr, nullptr, 0), 1);
        EXPECT_EQ(Values(*vd, nodeK[0]), c.want) << c.comp;
    }
    auto vd = Make(0, 7, 1);
    ASSERT_EQ(vd->MakeVData(nullptr, nullptr, 0), 1);
    const std::vector<double> v = Values(*vd, nodeK[0]);
    ASSERT_EQ(v.size(), 4u);
    EXPECT_DOUBLE_EQ(v[0], std::sqrt(0.01 * 0.01 + 0.02 * 0.02 + 0.03 * 0.03));
    EXPECT_EQ(v[2], -0.02);
}

TEST_F(NodalHistoryPlot, VelocityAndAccelerationInTheirUnitsRotationsAsRead)
{
    auto vel = Make(1, 0, 2);
    ASSERT_EQ(vel->MakeVData(nullptr, nullptr, 0), 1);
    EXPECT_DOUBLE_EQ(Values(*vel, nodeK[0])[0], 3.0 * 2 * 2 * kVelF);
    auto acc = Make(2, 1, 3);
    ASSERT_EQ(acc->MakeVData(nullptr, nullptr, 0), 1);
    EXPECT_DOUBLE_EQ(Values(*acc, nodeK[0])[0], 4.0 * 3 * 3 * kAccF);
    auto rot = Make(1, 5, 3);
    ASSERT_EQ(rot->MakeVData(nullptr, nullptr, 0), 1);
    EXPECT_DOUBLE_EQ(Values(*rot, nodeK[0])[0], 0.03 * 3);
}

TEST_F(NodalHistoryPlot, EveryStepEqualsTheStoredSeries)
{
    for (int k = 0; k < kSteps; ++k) {
        auto vd = Make(0, 1, k);
        ASSERT_EQ(vd->MakeVData(nullptr, nullptr, 0), 1);
        EXPECT_EQ(Values(*vd, nodeK[0])[0], builder->Data().nodeHistory[2][nodeK[0]][k].dDy) << k;
    }
    auto past = Make(0, 1, kSteps);
    ASSERT_EQ(past->MakeVData(nullptr, nullptr, 0), 1);
    EXPECT_TRUE(Values(*past, nodeK[0]).empty());
}

TEST_F(NodalHistoryPlot, BadComponentOrCaseFails)
{
    EXPECT_EQ(Make(0, 8, 1)->MakeVData(nullptr, nullptr, 0), 0);
    EXPECT_EQ(Make(0, -1, 1)->MakeVData(nullptr, nullptr, 0), 0);
    auto vd = Make(0, 0, 1);
    T_VD_HISTPLOT_TVCKVR_D rec;
    rec.Initialize();
    rec.m_nAcasKey = 99;
    T_VD_PARAM_D p;
    p.pDoc = &doc;
    p.pUserDefData = &rec;
    CPVSVisualDataHistoryPlotTKVR other(3, p);
    EXPECT_EQ(other.MakeVData(nullptr, nullptr, 0), 0);
    EXPECT_EQ(CTHResultBuilder::PostCtrl(doc)->GetQueryDepth(), 0);
}

TEST_F(NodalHistoryPlot, ScalarFallbacksForANodeWithoutValue)
{
    auto vd = Make(0, 6, 2);
    ASSERT_EQ(vd->MakeVData(nullptr, nullptr, 0), 1);
    double v = -1;
    EXPECT_EQ(vd->GetScalar(nodeK[1], v, 1), 1);
    EXPECT_EQ(v, 0.0); // minimum over 10 (node 0) and 6 (node 2), from the reset 0
    EXPECT_EQ(vd->GetScalar(nodeK[1], v, 2), 1);
    EXPECT_EQ(v, 10.0);
    for (int opt : {4, 5, 6})
        EXPECT_EQ(vd->GetScalar(nodeK[1], v, opt), 0) << opt;
    for (int opt : {0, 3, 7}) {
        v = -1;
        EXPECT_EQ(vd->GetScalar(nodeK[1], v, opt), 1) << opt;
        EXPECT_EQ(v, 0.0) << opt;
    }
}

TEST_F(NodalHistoryPlot, ToolTipAndProbeTexts)
{
    auto vd = Make(0, 6, 1);
    ASSERT_EQ(vd->MakeVData(nullptr, nullptr, 0), 1);
    CArray<CString, CString&> a;
    ASSERT_EQ(vd->GetPostOutput4ToolTip(1, nodeK[0], a), 1);
    ASSERT_EQ(a.GetSize(), 5);
    EXPECT_EQ(std::string(a[0]), "Node No. " + std::to_string(nodeK[0]));
    EXPECT_EQ(std::string(a[1]), "Total Value : 5");
    EXPECT_EQ(std::string(a[2]), "X Value : 3");
    EXPECT_EQ(std::string(a[3]), "Y Value : 4");
    EXPECT_EQ(std::string(a[4]), "Z Value : 0");
    EXPECT_EQ(vd->GetPostOutput4ToolTip(2, nodeK[0], a), 0);
    EXPECT_EQ(a.GetSize(), 0);
    EXPECT_EQ(vd->GetPostOutput4ToolTip(1, nodeK[1], a), 0);
    ASSERT_EQ(vd->GetPostOutput4Probe(1, nodeK[0], a, 0), 1);
    ASSERT_EQ(a.GetSize(), 1);
    EXPECT_EQ(std::string(a[0]), "5");
    EXPECT_EQ(vd->GetPostOutput4Probe(2, nodeK[0], a, 0), 0);
    EXPECT_EQ(vd->GetPostOutput4Probe(1, nodeK[1], a, 0), 0);
}

} // namespace
