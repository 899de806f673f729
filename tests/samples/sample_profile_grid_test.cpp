// The sample's settlement profile grid: where it lies (on the horizontal work plane, corners in
// output lengths), which work plane it takes, and that its index lines fall on the grid.
#include "SampleProfileGrid.h"
#include "SampleSlope.h"

#include "ClassSpfg.h"
#include "UnitCtrl.h"

#include <TDF_ChildIterator.hxx>
#include <TDF_Label.hxx>
#include <TDataStd_TreeNode.hxx>
#include <gp_Ax3.hxx>

#include <gtest/gtest.h>

namespace kvpvs::sample {
namespace {

constexpr double kOut = 2.5; // output length per model length

int WorkPlaneCount(CDBDoc& doc)
{
    int n = 0;
    for (TDF_ChildIterator it(doc.GetSubRootNode(0)->Label().Root().FindChild(1080).FindChild(2)); it.More(); it.Next())
        ++n;
    return n;
}

class SampleProfileGridTest : public ::testing::Test {
protected:
    void SetUp() override { CDocCtrl::GetUnitCtrl(&m_doc)->SetFactor(1, kOut); }
    T_SPFG_D Stored()
    {
        T_SPFG_D g;
        EXPECT_TRUE(CClassSpfg(m_doc.GetModelDB()).Get(m_sum.nGridK, g));
        return g;
    }
    CDBDoc m_doc;
    ProfileGridSummary m_sum;
};

TEST_F(SampleProfileGridTest, WritesGroundLevelPlaneWhenTheTreeHasNone)
{
    ASSERT_EQ(FindHorizontalWorkPlane(m_doc), 0);
    ASSERT_TRUE(BuildSampleProfileGrid(m_doc, m_sum));
    EXPECT_EQ(m_sum.nPlaneTag, 2);
    EXPECT_EQ(FindHorizontalWorkPlane(m_doc), 2);
    const T_SPFG_D g = Stored();
    // Corners x 0 to 30, y 0 to 8 at z = 0, stored in output lengths.
    const double UL[3] = {0, 8 * kOut, 0}, LL[3] = {0, 0, 0}, UR[3] = {30 * kOut, 8 * kOut, 0},
                 LR[3] = {30 * kOut, 0, 0};
    for (int k = 0; k < 3; ++k) {
        EXPECT_NEAR(g.dUL[k], UL[k], 1e-12) << k;
        EXPECT_NEAR(g.dLL[k], LL[k], 1e-12) << k;
        EXPECT_NEAR(g.dUR[k], UR[k], 1e-12) << k;
        EXPECT_NEAR(g.dLR[k], LR[k], 1e-12) << k;
    }
    EXPECT_EQ(g.nDivX, 30);
    EXPECT_EQ(g.nDivY, 8);
    EXPECT_STREQ(g.strName.GetString(), m_sum.strName.c_str());
}

TEST_F(SampleProfileGridTest, GridNodesAreMetreCellsAtGroundLevelInModelUnits)
{
    ASSERT_TRUE(BuildSampleProfileGrid(m_doc, m_sum));
    CArray<T_NODE_D, T_NODE_D&> aNode;
    CArray<T_ELEM_D, T_ELEM_D&> aElem;
    ASSERT_TRUE(CClassSpfg(m_doc.GetModelDB()).GetGeomData(m_sum.nGridK, aNode, aElem));
    ASSERT_EQ(aNode.GetSize(), 31 * 9);
    EXPECT_EQ(aElem.GetSize(), 30 * 8);
    for (int k = 0; k < aNode.GetSize(); ++k) {
        EXPECT_NEAR(aNode[k].dXyz[0], k % 31, 1e-12) << k;
        EXPECT_NEAR(aNode[k].dXyz[1], k / 31, 1e-12) << k;
        EXPECT_NEAR(aNode[k].dXyz[2], 0.0, 1e-12) << k;
    }
}

TEST_F(SampleProfileGridTest, IndexLinesCrossThePitAndTheTroughBehindTheWall)
{
    ASSERT_TRUE(BuildSampleProfileGrid(m_doc, m_sum));
    ASSERT_EQ(m_sum.aLine.size(), 3u);
    CClassSpfg spfg(m_doc.GetModelDB());
    // Where each line lies in model units: y = 2, x = 5 (the pit), x = 18 (behind the wall at 10).
    const double dAt[3] = {2.0, 5.0, 18.0};
    for (size_t i = 0; i < m_sum.aLine.size(); ++i) {
        const ProfileGridLine& l = m_sum.aLine[i];
        EXPECT_GE(l.nDivision, 1);
        double p[3], plane[2];
        ASSERT_TRUE(
            spfg.GetCoorByGridIdx(m_sum.nGridK, l.nAxis == 0 ? l.nIndex : 0, l.nAxis == 0 ? 0 : l.nIndex, p, plane))
            << i;
        EXPECT_NEAR(p[l.nAxis == 0 ? 0 : 1] / kOut, dAt[i], 1e-12) << i;
    }
}

TEST_F(SampleProfileGridTest, TakesTheSlopeStepsGroundPlaneAndWritesNoOther)
{
    const gp_Ax3 section(gp_Pnt(0, 0, 0), gp_Dir(0, -1, 0), gp_Dir(1, 0, 0));
    WriteSampleWorkPlane(m_doc, 1, "Current WorkPlane", section, {}, {});
    WriteSampleWorkPlane(m_doc, 2, "Ground level", gp_Ax3(gp_Pnt(0, 0, 0), gp_Dir(0, 0, 1), gp_Dir(1, 0, 0)), {0, 5},
                         {0, 5});
    ASSERT_TRUE(BuildSampleProfileGrid(m_doc, m_sum));
    EXPECT_EQ(m_sum.nPlaneTag, 2);
    EXPECT_EQ(WorkPlaneCount(m_doc), 2);
}

TEST_F(SampleProfileGridTest, CurrentWorkPlaneIsNeverTakenEvenWhenHorizontal)
{
    WriteSampleWorkPlane(m_doc, 1, "Current WorkPlane", gp_Ax3(gp_Pnt(0, 0, 0), gp_Dir(0, 0, 1), gp_Dir(1, 0, 0)), {},
                         {});
    ASSERT_TRUE(BuildSampleProfileGrid(m_doc, m_sum));
    EXPECT_EQ(m_sum.nPlaneTag, 2);
    EXPECT_EQ(WorkPlaneCount(m_doc), 2);
}

TEST_F(SampleProfileGridTest, CornersAreFormedInTheWorkPlanesAxes)
{
    // A horizontal plane at the pit's floor: the picked ground-level corners fall onto it.
    WriteSampleWorkPlane(m_doc, 3, "Pit floor", gp_Ax3(gp_Pnt(0, 0, -9), gp_Dir(0, 0, 1), gp_Dir(1, 0, 0)), {}, {});
    ASSERT_TRUE(BuildSampleProfileGrid(m_doc, m_sum));
    EXPECT_EQ(m_sum.nPlaneTag, 3);
    const T_SPFG_D g = Stored();
    EXPECT_NEAR(g.dLL[2], -9 * kOut, 1e-12);
    EXPECT_NEAR(g.dUR[2], -9 * kOut, 1e-12);
    EXPECT_NEAR(g.dUR[0], 30 * kOut, 1e-12);
    EXPECT_NEAR(m_sum.dUpperRight[2], -9.0, 1e-12) << "the summary is in model units";
    EXPECT_NEAR(m_sum.dUpperRight[1], 8.0, 1e-12);
}

TEST_F(SampleProfileGridTest, SecondGridTakesTheNextKey)
{
    ASSERT_TRUE(BuildSampleProfileGrid(m_doc, m_sum));
    ProfileGridSummary second;
    ASSERT_TRUE(BuildSampleProfileGrid(m_doc, second));
    EXPECT_EQ(second.nGridK, m_sum.nGridK + 1);
    EXPECT_EQ(second.nPlaneTag, m_sum.nPlaneTag) << "the plane written first is found again";
}

} // namespace
} // namespace kvpvs::sample
