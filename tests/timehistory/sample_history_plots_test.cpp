// What the sample's shaking gives the history dialogs: time-history cases with their elements
// listed by type, a stored displacement graph that the engine's own reading of the same node
// reproduces, a hysteresis loop and an input wave, and a damped sine.
#include "timehistory/CPVSTHEngine.h"

#include "ClassAcas.h"
#include "ClassPGrph.h"
#include "ClassThfc.h"
#include "DBModelRecords.h"
#include "SampleDynamics.h"
#include "SampleProject.h"
#include "SampleSchema.h"
#include "THResultBuilder.h"

#include <gtest/gtest.h>

#include <cmath>
#include <map>
#include <vector>

namespace {

using namespace kvpvs::sample;

class SampleHistoryPlots : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(BuildSampleProject(doc, SampleOptions(), sample));
        CZORDocBase::SetCurDoc(&doc);
        opt.nSteps = 80;
        ASSERT_TRUE(BuildSampleDynamics(doc, opt, dyn));
    }
    void TearDown() override { CZORDocBase::SetCurDoc(nullptr); }
    // The stored graphs by type.
    std::map<int, unsigned> GraphsByType()
    {
        std::map<int, unsigned> m;
        CClassPGrph g(doc.GetPostDB());
        CArray<unsigned, unsigned> keys;
        g.GetKeyList(keys);
        for (int i = 0; i < keys.GetSize(); ++i) {
            T_PGRPH_D r;
            if (g.Get(keys[i], r))
                m[r.nType] = keys[i];
        }
        return m;
    }

    CDBDoc doc;
    SampleSummary sample;
    DynamicsOptions opt;
    DynamicsSummary dyn;
};

TEST_F(SampleHistoryPlots, ShakingCasesAreTimeHistoryCasesListingTheirElementsByType)
{
    CPostCtrlGeoTech* pPost = CTHResultBuilder::PostCtrl(doc);
    for (unsigned k : {kAcasQuakeModal, kAcasQuakeDirect}) {
        T_ACAS_D c;
        ASSERT_TRUE(CClassAcas(doc.GetModelDB()).Get(k, c));
        EXPECT_EQ(c.nType, 4);
        EXPECT_FALSE(c.strName.IsEmpty());
        CPostCtrlAnlTypeBase* pCtrl = nullptr;
        ASSERT_TRUE(pPost->GetPostCtrlSub(k, &pCtrl));
        const struct {
            int nCode;
            const KeyRange& range;
        } kinds[] = {{1, sample.trussStruts}, {2, sample.beamStruts}, {5, sample.wall}, {15, sample.soil}};
        for (const auto& kind : kinds) {
            CArray<unsigned, unsigned> listed;
            pCtrl->GetSeqIdInfo()->GetElemKeyListByType(kind.nCode, listed);
            std::vector<unsigned> expected;
            for (unsigned e = kind.range.nFirst; e <= kind.range.nLast; ++e)
                expected.push_back(e);
            EXPECT_EQ(std::vector<unsigned>(listed.begin(), listed.end()), expected) << "code " << kind.nCode;
        }
    }
}

TEST_F(SampleHistoryPlots, StoredDisplacementGraphIsTheEnginesHistoryOfTheStrutNode)
{
    const auto graphs = GraphsByType();
    ASSERT_EQ(graphs.size(), 3u);
    ASSERT_TRUE(graphs.count(1) && graphs.count(2) && graphs.count(6));
    CArray<double, double> t, dx;
    ASSERT_TRUE(CTHResultBuilder::PostCtrl(doc)->GetGraphData(graphs.at(1), t, dx));
    T_THRD_D s;
    s.nCode = 0;
    s.nEntityK = dyn.nNodeK;
    s.nAcasK = kAcasQuakeModal;
    CPVSTHEngine engine;
    const CArray<double, double>* p = engine.Run(&s);
    ASSERT_NE(p, nullptr);
    ASSERT_EQ(p->GetSize(), opt.nSteps);
    ASSERT_EQ(dx.GetSize(), opt.nSteps);
    double peak = 0.0;
    for (int i = 0; i < opt.nSteps; ++i) {
        EXPECT_DOUBLE_EQ(t[i], opt.dDt * (i + 1));
        peak = std::fmax(peak, std::fabs(dx[i]));
    }
    EXPECT_GT(peak, 0.0);
    for (int i = 0; i < opt.nSteps; ++i)
        EXPECT_NEAR(dx[i], (*p)[i], 1e-9 * peak) << "step " << i;

    CArray<double, double> d, v;
    ASSERT_TRUE(CTHResultBuilder::PostCtrl(doc)->GetGraphData(graphs.at(2), d, v));
    ASSERT_EQ(d.GetSize(), opt.nSteps);
    for (int i = 0; i < opt.nSteps; ++i) {
        double gd, gv, ga;
        QuakeGroundMotion(opt.dDt * (i + 1), gd, gv, ga);
        EXPECT_EQ(d[i], gd);
        EXPECT_EQ(v[i], gv);
    }
}

TEST_F(SampleHistoryPlots, OffersADampedSine)
{
    CClassThfc thfc(doc.GetModelDB());
    ASSERT_EQ(thfc.GetCount(), 1);
    CArray<unsigned, unsigned> keys;
    thfc.GetKeyList(keys);
    T_THFC_D f;
    ASSERT_TRUE(thfc.Get(keys[0], f));
    EXPECT_EQ(f.nType, 1);
    EXPECT_GT(f.dParam[2], 0.0) << "a frequency";
    EXPECT_GE(f.dParam[3], 0.0) << "a decay";
}

} // namespace
