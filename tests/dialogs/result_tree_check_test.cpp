// Check boxes of the result tree: a toggle reaches the whole subtree and every ancestor shows
// all, none or some of its children checked; clicks on the state icon and the space bar.
#include "dialogs/CMyTreeCtrl4PVS.h"

#include <gtest/gtest.h>

namespace {

constexpr int OFF = CMyTreeCtrl4PVS::CHECK_OFF;
constexpr int ON = CMyTreeCtrl4PVS::CHECK_ON;
constexpr int PARTLY = CMyTreeCtrl4PVS::CHECK_PARTLY;

class TestTree : public CMyTreeCtrl4PVS {
public:
    using CMyTreeCtrl4PVS::WindowProc;
    void Click(HTREEITEM h)
    {
        const POINT pt = StateIconPoint(h);
        WindowProc(WM_LBUTTONDOWN, 0, MAKELPARAM(pt.x, pt.y));
    }
};

// set > step > {group A > rows a1 a2, group B > row b1}
class ResultTreeChecks : public ::testing::Test {
protected:
    void SetUp() override
    {
        tree.InitCheckImages();
        set = tree.InsertCheckItem("Set", TVI_ROOT);
        step = tree.InsertCheckItem("Step", set);
        groupA = tree.InsertCheckItem("A", step);
        a1 = tree.InsertCheckItem("a1", groupA);
        a2 = tree.InsertCheckItem("a2", groupA);
        groupB = tree.InsertCheckItem("B", step);
        b1 = tree.InsertCheckItem("b1", groupB);
        tree.Expand(set, TVE_EXPAND);
        tree.Expand(step, TVE_EXPAND);
        tree.Expand(groupA, TVE_EXPAND);
        tree.Expand(groupB, TVE_EXPAND);
    }
    int S(HTREEITEM h) const { return tree.GetCheckState(h); }

    TestTree tree;
    HTREEITEM set, step, groupA, a1, a2, groupB, b1;
};

TEST_F(ResultTreeChecks, ItemsStartUncheckedWithFourStateImages)
{
    for (HTREEITEM h : {set, step, groupA, a1, a2, groupB, b1}) {
        EXPECT_EQ(S(h), OFF);
        EXPECT_FALSE(tree.IsItemChecked(h));
    }
    ASSERT_NE(tree.GetImageList(TVSIL_STATE), nullptr);
    EXPECT_EQ(tree.GetImageList(TVSIL_STATE)->GetImageCount(), 4);
}

TEST_F(ResultTreeChecks, CheckingGroupChecksRowsAndMarksAncestorsPartly)
{
    tree.ToggleCheck(groupA);
    EXPECT_EQ(S(a1), ON);
    EXPECT_EQ(S(a2), ON);
    EXPECT_EQ(S(groupB), OFF);
    EXPECT_EQ(S(step), PARTLY);
    EXPECT_EQ(S(set), PARTLY);
    tree.ToggleCheck(groupB);
    EXPECT_EQ(S(step), ON);
    EXPECT_EQ(S(set), ON);
}

TEST_F(ResultTreeChecks, UncheckingLastRowUnchecksUpToRoot)
{
    tree.ToggleCheck(a1);
    EXPECT_EQ(S(groupA), PARTLY);
    EXPECT_EQ(S(step), PARTLY);
    tree.ToggleCheck(a1);
    EXPECT_EQ(S(groupA), OFF);
    EXPECT_EQ(S(step), OFF);
    EXPECT_EQ(S(set), OFF);
}

TEST_F(ResultTreeChecks, ClickOnPartlyCheckedItemUnchecksSubtree)
{
    tree.Click(a1);
    ASSERT_EQ(S(a1), ON);
    ASSERT_EQ(S(step), PARTLY);
    tree.Click(step);
    for (HTREEITEM h : {set, step, groupA, a1, a2, groupB, b1})
        EXPECT_EQ(S(h), OFF);
    EXPECT_EQ(tree.GetSelectedItem(), step);
}

TEST_F(ResultTreeChecks, ClickOnLabelSelectsWithoutToggling)
{
    POINT pt = tree.StateIconPoint(b1);
    pt.x += 30;
    tree.WindowProc(WM_LBUTTONDOWN, 0, MAKELPARAM(pt.x, pt.y));
    EXPECT_EQ(tree.GetSelectedItem(), b1);
    EXPECT_EQ(S(b1), OFF);
}

TEST_F(ResultTreeChecks, SpaceTogglesSelectedAndNothingWithoutSelection)
{
    tree.WindowProc(WM_KEYDOWN, VK_SPACE, 0);
    for (HTREEITEM h : {set, step, groupA, a1, a2, groupB, b1})
        EXPECT_EQ(S(h), OFF);
    tree.SelectItem(b1);
    tree.WindowProc(WM_KEYDOWN, VK_SPACE, 0);
    EXPECT_EQ(S(b1), ON);
    EXPECT_EQ(S(groupB), ON);
    EXPECT_EQ(S(step), PARTLY);
}

TEST_F(ResultTreeChecks, CollapsedItemsTakeNoRow)
{
    tree.Expand(groupA, TVE_COLLAPSE);
    // Rows: Set, Step, A, B, b1: b1's icon is on the fifth row.
    EXPECT_EQ(tree.StateIconPoint(b1).y, 4 * 16 + 8);
    EXPECT_EQ(tree.StateIconPoint(a1).x, -1);
}

} // namespace
