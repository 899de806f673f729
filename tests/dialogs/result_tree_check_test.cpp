// Check boxes of the result tree: a toggle reaches the whole subtree and every ancestor shows
// all, none or some of its children checked; clicks on the state icon and the space bar; the
// tree built from a document's post database.
#include "dialogs/CMyTreeCtrl4PVS.h"
#include "dialogs/CTreeCtrlPVS.h"

#include "Comp2ResultType.h"
#include "DBDoc.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

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

// ---- the tree built from a document's post database ----------------------------------------
namespace {

class ResultTreeBuild : public ::testing::Test {
protected:
    void SetUp() override
    {
        CZORDocBase::SetCurDoc(&doc);
        CClassPOsif sets(doc.GetPostDB());
        T_POSIF_D set;
        set.strName = "Stages";
        sets.Set(1, set);
        set.strName = "Empty set";
        sets.Set(2, set);
        CClassPLsif steps(doc.GetPostDB());
        T_PLSIF_D step;
        step.nOsifK = 1;
        step.strName = "Stage 1";
        steps.Set(10, step);
        step.strName = "Stage 2";
        steps.Set(11, step);
        // Stage 1: a solid stress, a displacement, a reaction, an unmapped row, a code-18 row.
        AddRow(100, 10, 141, "SXX");
        AddRow(101, 10, 1, "DX\tline");
        AddRow(102, 10, 11, "RFX");
        AddRow(103, 10, 709, "Comb");
        AddRow(104, 10, 9001, "Hidden");
        // Stage 2: only rows without a shown group.
        AddRow(110, 11, 9001, "Hidden 2");
        CTKVRComp2ResultType::SetResultType(9001, 18);
    }
    void TearDown() override
    {
        CTKVRComp2ResultType::SetResultType(9001, -1);
        CZORDocBase::SetCurDoc(nullptr);
    }
    void AddRow(UINT nKey, UINT nStepK, UINT nItem, const char* pszName)
    {
        T_PVTIF_D row;
        row.nStepK = nStepK;
        row.nItem = nItem;
        row.strName = pszName;
        CClassPVtif(doc.GetPostDB()).Set(nKey, row);
    }
    std::vector<std::string> Children(HTREEITEM h) const
    {
        std::vector<std::string> out;
        for (HTREEITEM c = tree.GetChildItem(h); c; c = tree.GetNextSiblingItem(c))
            out.emplace_back(tree.GetItemText(c).GetString());
        return out;
    }

    CDBDoc doc;
    CTreeCtrlPVS tree;
};

TEST_F(ResultTreeBuild, GroupsInDisplayOrderWithRowKeys)
{
    tree.InitCheckImages();
    tree.BuildResultTree();
    const HTREEITEM hSet = tree.GetRootItem();
    ASSERT_NE(hSet, nullptr);
    EXPECT_EQ(Children(TVI_ROOT), (std::vector<std::string>{"Stages", "Empty set"}));
    EXPECT_TRUE(tree.IsExpanded(hSet));
    EXPECT_EQ(tree.GetItemData(hSet), 1u);
    EXPECT_FALSE(tree.ItemHasChildren(tree.GetNextSiblingItem(hSet)));
    const HTREEITEM hStage1 = tree.GetChildItem(hSet);
    EXPECT_EQ(Children(hSet), (std::vector<std::string>{"Stage 1", "Stage 2"}));
    EXPECT_FALSE(tree.IsExpanded(hStage1));
    EXPECT_EQ(tree.GetItemData(hStage1), 10u);
    // Reaction before Displacement, Solid Stresses last; code 18 and unmapped rows absent.
    EXPECT_EQ(Children(hStage1), (std::vector<std::string>{"Reaction", "Displacement", "Solid Stresses"}));
    EXPECT_FALSE(tree.ItemHasChildren(tree.GetNextSiblingItem(hStage1)));

    const HTREEITEM hReaction = tree.GetChildItem(hStage1);
    EXPECT_EQ(tree.GetItemData(hReaction), 2u);
    const HTREEITEM hDisp = tree.GetNextSiblingItem(hReaction);
    const HTREEITEM hDx = tree.GetChildItem(hDisp);
    EXPECT_EQ(Children(hDisp), (std::vector<std::string>{"DXline"}));
    UINT nRowK = 0;
    ASSERT_TRUE(tree.m_mapRowItems.Lookup(hDx, nRowK));
    EXPECT_EQ(nRowK, 101u);
    EXPECT_EQ(tree.m_mapRowItems.GetCount(), 3);
    EXPECT_EQ(tree.GetCheckState(hDx), CMyTreeCtrl4PVS::CHECK_OFF);
}

TEST_F(ResultTreeBuild, NoDocumentLeavesTreeEmpty)
{
    CZORDocBase::SetCurDoc(nullptr);
    tree.BuildResultTree();
    EXPECT_EQ(tree.GetCount(), 0u);
}

} // namespace
