// The sample's force-sum rows: per step the item codes the force-sum dialog looks for, the
// layout "element value, then one per node", and values that follow the sample's closed-form
// fields at the stage's excavation depth.
#include "SampleForceSumRows.h"
#include "SampleProject.h"
#include "SampleSchema.h"

#include "DBDoc.h"
#include "DBModelRecords.h"

#include <gtest/gtest.h>

#include <cmath>
#include <map>
#include <set>

namespace kvpvs::sample {
namespace {

class SampleForceSumRowsTest : public ::testing::TestWithParam<bool> {
protected:
    void SetUp() override
    {
        SampleOptions opt;
        opt.bResultsEveryStage = GetParam();
        ASSERT_TRUE(BuildSampleProject(m_doc, opt, m_sum));
        CClassPVtif rows(m_doc.GetPostDB());
        CArray<unsigned int, unsigned int> keys;
        rows.GetKeyList(keys);
        for (int i = 0; i < keys.GetSize(); ++i) {
            T_PVTIF_D r;
            ASSERT_TRUE(rows.Get(keys[i], r));
            m_items[r.nStepK].insert(r.nItem);
            m_byStepItem[{r.nStepK, r.nItem}].push_back(keys[i]);
        }
    }
    // The excavation of stage s of the sample: 0, 3, 6 and 9 m.
    size_t Count(unsigned int step, unsigned int item) { return m_byStepItem[std::make_pair(step, item)].size(); }
    unsigned int Row(unsigned int step, unsigned int item) { return m_byStepItem[std::make_pair(step, item)].at(0); }
    static double Depth(size_t s) { return 3.0 * static_cast<double>(s); }

    CDBDoc m_doc;
    SampleSummary m_sum;
    std::map<unsigned int, std::set<unsigned int>> m_items;
    std::map<std::pair<unsigned int, unsigned int>, std::vector<unsigned int>> m_byStepItem;
};

TEST_P(SampleForceSumRowsTest, EveryStepWithStressesHasTheDialogsCodesOnce)
{
    const size_t nFirst = GetParam() ? 0 : 3;
    for (size_t s = 0; s < m_sum.aStageK.size(); ++s) {
        const unsigned int step = m_sum.aStageK[s];
        for (unsigned int item = 141; item <= 146; ++item)
            EXPECT_EQ(Count(step, item), s >= nFirst ? 1u : 0u) << "stage " << s << " item " << item;
        // The wall stands from stage 1 on: a plate cut needs all six of 85-87 and 91-93.
        for (unsigned int item : {85u, 86u, 87u, 91u, 92u, 93u})
            EXPECT_EQ(Count(step, item), s >= nFirst && s >= 1 ? 1u : 0u)
                << "stage " << s << " item " << item;
    }
    // The combination step carries none of them.
    for (unsigned int item : {141u, 85u, 91u})
        EXPECT_TRUE(Count(m_sum.nDummyStepK, item) == 0);
}

TEST_P(SampleForceSumRowsTest, StressRowsHoldTheCentreThenOneValuePerNodeOfTheField)
{
    CClassPVal vals(m_doc.GetPostDB());
    CClassPVtif rows(m_doc.GetPostDB());
    CClassElem elems(m_doc.GetModelDB());
    CClassNode nodes(m_doc.GetModelDB());
    CClassStage stages(m_doc.GetModelDB());
    int nChecked = 0;
    for (size_t s = GetParam() ? 0 : 3; s < m_sum.aStageK.size(); ++s) {
        const unsigned int step = m_sum.aStageK[s];
        T_STAGE_D stage;
        ASSERT_TRUE(stages.Get(step, stage));
        SampleFields f;
        f.dExcavation = Depth(s);
        for (unsigned int c = 0; c < 6; ++c) {
            const unsigned int k = Row(step, 141 + c);
            T_PVTIF_D r;
            ASSERT_TRUE(rows.Get(k, r));
            EXPECT_EQ(r.nResultClass, kClsSolidStress);
            EXPECT_EQ(r.nCompCode, c);
            T_PVAL_D v;
            ASSERT_TRUE(vals.Get(k, v));
            int nSolids = 0;
            for (int i = 0; i < stage.aActiveElemK.GetSize(); ++i) {
                T_ELEM_D e;
                ASSERT_TRUE(elems.Get(stage.aActiveElemK[i], e));
                int n = 0;
                const double* pRun = v.Find(stage.aActiveElemK[i], n);
                if (e.nType != kElemSolid) {
                    EXPECT_EQ(pRun, nullptr);
                    continue;
                }
                ++nSolids;
                ASSERT_NE(pRun, nullptr);
                ASSERT_EQ(n, 1 + e.aNodeK.GetSize());
                double centre[3] = {0, 0, 0};
                for (int j = 0; j < e.aNodeK.GetSize(); ++j) {
                    T_NODE_D nd;
                    ASSERT_TRUE(nodes.Get(e.aNodeK[j], nd));
                    double sg[6];
                    f.Stress(nd.dXyz, sg);
                    EXPECT_NEAR(pRun[1 + j], sg[c], 1e-9 * (1.0 + std::fabs(sg[c])));
                    for (int d = 0; d < 3; ++d)
                        centre[d] += nd.dXyz[d] / e.aNodeK.GetSize();
                }
                double sg[6];
                f.Stress(centre, sg);
                EXPECT_NEAR(pRun[0], sg[c], 1e-9 * (1.0 + std::fabs(sg[c])));
                ++nChecked;
            }
            EXPECT_EQ(v.GetEntityCount(), nSolids);
        }
    }
    EXPECT_GT(nChecked, 0);
}

TEST_P(SampleForceSumRowsTest, WallRowsCarryTheWallsWeightAndShearFlowPerNode)
{
    CClassPVal vals(m_doc.GetPostDB());
    CClassElem elems(m_doc.GetModelDB());
    CClassNode nodes(m_doc.GetModelDB());
    const unsigned int step = m_sum.aStageK.back();
    T_PVAL_D vN, vS, vM;
    ASSERT_TRUE(vals.Get(Row(step, 86u), vN));
    ASSERT_TRUE(vals.Get(Row(step, 87u), vS));
    ASSERT_TRUE(vals.Get(Row(step, 92u), vM));
    EXPECT_EQ(static_cast<unsigned int>(vN.GetEntityCount()), m_sum.wall.Count());
    for (unsigned int k = m_sum.wall.nFirst; k <= m_sum.wall.nLast; ++k) {
        T_ELEM_D e;
        ASSERT_TRUE(elems.Get(k, e));
        int n = 0;
        const double* pN = vN.Find(k, n);
        ASSERT_NE(pN, nullptr);
        ASSERT_EQ(n, 1 + e.aNodeK.GetSize());
        const double* pS = vS.Find(k, n);
        ASSERT_EQ(n, 1 + e.aNodeK.GetSize());
        vM.Find(k, n);
        ASSERT_EQ(n, 1 + e.aNodeK.GetSize());
        for (int j = 0; j < e.aNodeK.GetSize(); ++j) {
            T_NODE_D nd;
            ASSERT_TRUE(nodes.Get(e.aNodeK[j], nd));
            // NYY = -γ t depth with γ = 25 kN/m3, t = 0.8 m; NXY = (y - 10) / 2.
            EXPECT_NEAR(pN[1 + j], -25.0 * 0.8 * (-nd.dXyz[2]), 1e-9);
            EXPECT_NEAR(pS[1 + j], 0.5 * (nd.dXyz[1] - 10.0), 1e-12);
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Stages, SampleForceSumRowsTest, ::testing::Values(true, false),
                         [](const auto& info) { return info.param ? "EveryStage" : "LastStageOnly"; });

} // namespace
} // namespace kvpvs::sample
