// Work planes and saved view states in a document's data tree: what is written reads back,
// entries of the earlier storage form are read and rewritten in the current one, short or
// inconsistent entries read as far as they hold, and new entries never overwrite stored ones.
#include "dialogs/OCAF_IWorkSpcData.h"

#include "MsgDll.h"
#include "ZORDocBase.h"

#include <Standard_ConstructionError.hxx>
#include <TDF_Data.hxx>
#include <TDataStd_IntegerArray.hxx>
#include <TDataStd_Name.hxx>
#include <TDataStd_RealArray.hxx>
#include <TDataXtd_Plane.hxx>
#include <gp_Pln.hxx>

#include <gtest/gtest.h>

#include <vector>

namespace {

using WS = OCAF_IWorkSpcData;

std::vector<double> ToVector(const CArray<double, double>& a)
{
    return std::vector<double>(a.GetData(), a.GetData() + a.GetSize());
}

void Fill(CArray<double, double>& a, const std::vector<double>& v)
{
    a.RemoveAll();
    for (double d : v)
        a.Add(d);
}

std::vector<double> StoredReals(const TDF_Label& label)
{
    Handle(TDataStd_RealArray) p;
    if (!label.FindAttribute(TDataStd_RealArray::GetID(), p))
        return {};
    std::vector<double> v;
    for (int i = p->Lower(); i <= p->Upper(); ++i)
        v.push_back(p->Value(i));
    return v;
}

class WorkSpace : public ::testing::Test {
protected:
    void SetUp() override
    {
        CMsgDll::SetText("IDS_BASE_User_Defined_WorkPlane", "User Defined WorkPlane");
        node = doc.GetSubRootNode(0);
    }
    // A left-handed placement tilted out of every axis: origin (1, 2, 3), normal along (1, 1, 1).
    static gp_Ax3 Tilted()
    {
        gp_Ax3 ax(gp_Pnt(1, 2, 3), gp_Dir(1, 1, 1), gp_Dir(1, -1, 0));
        ax.YReverse();
        return ax;
    }
    T_WORKPLANE Plane(const char* pszName, std::vector<double> l1, std::vector<double> l2)
    {
        T_WORKPLANE wp;
        wp.Initialize();
        wp.strName = pszName;
        wp.dPair[0] = 0.5;
        wp.dPair[1] = -2.25;
        wp.nKind = 1;
        wp.placement = Tilted();
        Fill(wp.aList1, l1);
        Fill(wp.aList2, l2);
        return wp;
    }
    // Writes an entry by hand, as an earlier version or a damaged file left it.
    TDF_Label RawEntry(int nTag, const std::vector<int>& ints, const std::vector<double>& reals, bool bPlane = true)
    {
        const TDF_Label label = WS::GetWorkPlaneLabel(node).FindChild(nTag, Standard_True);
        TDataStd_Name::Set(label, "raw");
        if (!ints.empty()) {
            Handle(TDataStd_IntegerArray) pInt = TDataStd_IntegerArray::Set(label, 1, static_cast<int>(ints.size()));
            for (size_t i = 0; i < ints.size(); ++i)
                pInt->SetValue(static_cast<int>(i) + 1, ints[i]);
        }
        if (!reals.empty()) {
            Handle(TDataStd_RealArray) pReal = TDataStd_RealArray::Set(label, 1, static_cast<int>(reals.size()));
            for (size_t i = 0; i < reals.size(); ++i)
                pReal->SetValue(static_cast<int>(i) + 1, reals[i]);
        }
        if (bPlane)
            TDataXtd_Plane::Set(label, gp_Pln(gp::XOY()));
        return label;
    }
    CZORDocBase doc;
    Handle(TDataStd_TreeNode) node;
};

TEST_F(WorkSpace, APlaneWithBothListsReadsBackWithItsPlacementAndHandedness)
{
    const int n = WS::AddWorkPlane(node, Plane("Berm", {0, 1.5, 3}, {-1, 2}));
    ASSERT_GT(n, 0);
    const T_WORKPLANE wp = WS::GetWorkPlane(node, n);
    EXPECT_EQ(TCollection_AsciiString(wp.strName), TCollection_AsciiString("Berm"));
    EXPECT_EQ(wp.nKind, 1);
    EXPECT_EQ(wp.dPair[0], 0.5);
    EXPECT_EQ(wp.dPair[1], -2.25);
    EXPECT_EQ(wp.nCount1, 3);
    EXPECT_EQ(wp.nCount2, 2);
    EXPECT_EQ(ToVector(wp.aList1), (std::vector<double>{0, 1.5, 3}));
    EXPECT_EQ(ToVector(wp.aList2), (std::vector<double>{-1, 2}));
    const gp_Ax3 ax = Tilted();
    EXPECT_TRUE(wp.placement.Location().IsEqual(ax.Location(), 1e-12));
    EXPECT_TRUE(wp.placement.Direction().IsEqual(ax.Direction(), 1e-12));
    EXPECT_TRUE(wp.placement.XDirection().IsEqual(ax.XDirection(), 1e-12));
    EXPECT_FALSE(wp.placement.Direct()) << "a left-handed placement stays left-handed";
    EXPECT_EQ(StoredReals(WS::GetWorkPlaneLabel(node).FindChild(n)), (std::vector<double>{0.5, -2.25, 0, 1.5, 3, -1, 2}));
}

TEST_F(WorkSpace, APlaneWithOneEmptyListReadsWithoutListsAndKeepsOnlyThePair)
{
    const int n = WS::AddWorkPlane(node, Plane("Flat", {1, 2, 3}, {}));
    const TDF_Label label = WS::GetWorkPlaneLabel(node).FindChild(n);
    EXPECT_EQ(StoredReals(label).size(), 5u);
    const T_WORKPLANE wp = WS::GetWorkPlane(node, n);
    EXPECT_EQ(wp.nCount1, 0);
    EXPECT_EQ(wp.nCount2, 0);
    EXPECT_EQ(wp.aList1.GetSize(), 0);
    EXPECT_EQ(wp.aList2.GetSize(), 0);
    EXPECT_EQ(StoredReals(label), (std::vector<double>{0.5, -2.25})) << "the stored array becomes the pair";
}

TEST_F(WorkSpace, TheEarlierFormIsReadAndRewrittenInTheCurrentOne)
{
    // A = 2, B = 3: the earlier form held A x B = 6 values after the pair.
    const TDF_Label label = RawEntry(7, {0, 2, 3}, {4, 5, 10, 11, 20, 21, 22, 99});
    const T_WORKPLANE wp = WS::GetWorkPlane(node, 7);
    EXPECT_EQ(ToVector(wp.aList1), (std::vector<double>{10, 11}));
    EXPECT_EQ(ToVector(wp.aList2), (std::vector<double>{20, 21, 22}));
    EXPECT_EQ(StoredReals(label), (std::vector<double>{4, 5, 10, 11, 20, 21, 22}));
    EXPECT_EQ(ToVector(WS::GetWorkPlane(node, 7).aList2), (std::vector<double>{20, 21, 22})) << "and reads the same again";
}

TEST_F(WorkSpace, AnEarlierFormShorterThanTheListsReadsWithoutListsAndStaysStored)
{
    // A = 1, B = 4: A x B + 2 = 6 values, one fewer than the lists need.
    const TDF_Label label = RawEntry(3, {0, 1, 4}, {4, 5, 10, 20, 21, 22});
    const T_WORKPLANE wp = WS::GetWorkPlane(node, 3);
    EXPECT_EQ(wp.aList1.GetSize(), 0);
    EXPECT_EQ(wp.aList2.GetSize(), 0);
    EXPECT_EQ(wp.nCount1, 0);
    EXPECT_EQ(wp.dPair[0], 4);
    EXPECT_EQ(StoredReals(label), (std::vector<double>{4, 5, 10, 20, 21, 22}));
}

struct T_BROKEN_ENTRY {
    const char* pszName;
    std::vector<int> ints;
    std::vector<double> reals;
    bool bPlane;
    bool bPairRead;
};

class WorkSpaceBroken : public WorkSpace, public ::testing::WithParamInterface<T_BROKEN_ENTRY> {};

TEST_P(WorkSpaceBroken, ReadsAsFarAsTheEntryHoldsAndChangesNothing)
{
    const T_BROKEN_ENTRY& e = GetParam();
    const TDF_Label label = RawEntry(2, e.ints, e.reals, e.bPlane);
    const std::vector<double> before = StoredReals(label);
    const T_WORKPLANE wp = WS::GetWorkPlane(node, 2);
    EXPECT_EQ(wp.aList1.GetSize(), 0);
    EXPECT_EQ(wp.aList2.GetSize(), 0);
    EXPECT_EQ(wp.dPair[0], e.bPairRead ? 4.0 : 0.0);
    EXPECT_EQ(StoredReals(label), before);
}

INSTANTIATE_TEST_SUITE_P(
    Entries, WorkSpaceBroken,
    ::testing::Values(T_BROKEN_ENTRY{"TwoIntegers", {0, 1}, {4, 5, 1, 2}, true, false},
                      T_BROKEN_ENTRY{"NoIntegers", {}, {4, 5, 1, 2}, true, false},
                      T_BROKEN_ENTRY{"OneReal", {0, 1, 1}, {4}, true, false},
                      T_BROKEN_ENTRY{"NoPlane", {0, 1, 1}, {4, 5, 1, 2}, false, false},
                      T_BROKEN_ENTRY{"NegativeCount", {0, -3, 2}, {4, 5, 1, 2}, true, true},
                      T_BROKEN_ENTRY{"ListsPastTheArray", {0, 3, 3}, {4, 5, 1, 2, 3}, true, true},
                      T_BROKEN_ENTRY{"HugeCounts", {0, 2147483647, 2147483647}, {4, 5, 1}, true, true}),
    [](const ::testing::TestParamInfo<T_BROKEN_ENTRY>& i) { return std::string(i.param.pszName); });

TEST_F(WorkSpace, AddWritesAboveTheHighestStoredEntry)
{
    const TDF_Label list = WS::GetWorkPlaneLabel(node);
    ASSERT_EQ(WS::SetWorkPlane(node, 1, Plane("a", {1}, {2})), 1);
    ASSERT_EQ(WS::SetWorkPlane(node, 4, Plane("b", {1}, {2})), 1);
    EXPECT_EQ(WS::AddWorkPlane(node, Plane("c", {1}, {2})), 5);
    EXPECT_EQ(list.FindChild(5).IsNull(), Standard_False);
}

TEST_F(WorkSpace, ADeletedPlaneIsGoneAndReadsAsAFreshRecord)
{
    const int n = WS::AddWorkPlane(node, Plane("Gone", {1, 2}, {3}));
    EXPECT_EQ(WS::IsWorkPlane(node, n), 1);
    EXPECT_EQ(WS::IsWorkPlane(node, n + 1), 0);
    EXPECT_EQ(WS::DelWorkPlane(node, n), 1);
    EXPECT_EQ(WS::IsWorkPlane(node, n), 0);
    const T_WORKPLANE wp = WS::GetWorkPlane(node, n);
    EXPECT_EQ(TCollection_AsciiString(wp.strName), TCollection_AsciiString("User Defined WorkPlane"));
    EXPECT_EQ(wp.aList1.GetSize(), 0);
    EXPECT_EQ(wp.nKind, 0);
    EXPECT_EQ(WS::AddWorkPlane(node, Plane("Next", {1}, {1})), n + 1)
        << "with nothing stored, the tag source names the next label";
}

TEST_F(WorkSpace, IsWorkPlaneCreatesNoLabel)
{
    EXPECT_EQ(WS::IsWorkPlane(node, 9), 0);
    const TDF_Label branch = node->Label().Root().FindChild(1080, Standard_False);
    EXPECT_TRUE(branch.IsNull());
}

T_VIEW_PROJ_STATUS View(const char* pszName)
{
    T_VIEW_PROJ_STATUS v;
    v.strName = pszName;
    v.vFirst = gp_XYZ(1, 2, 3);
    v.vSecond = gp_XYZ(4, 5, 6);
    v.dir = gp_Dir(0, 3, 4);
    v.dValue = 2.5;
    v.pair = gp_XY(-1, 7);
    v.nValue = 3;
    return v;
}

TEST_F(WorkSpace, AViewReadsBackWithEveryValue)
{
    const int n = WS::AddViewProjStatus(node, View("Front"));
    const T_VIEW_PROJ_STATUS v = WS::GetViewProjStatus(node, n);
    EXPECT_EQ(TCollection_AsciiString(v.strName), TCollection_AsciiString("Front"));
    EXPECT_TRUE(v.vFirst.IsEqual(gp_XYZ(1, 2, 3), 0));
    EXPECT_TRUE(v.vSecond.IsEqual(gp_XYZ(4, 5, 6), 0));
    EXPECT_TRUE(v.dir.IsEqual(gp_Dir(0, 0.6, 0.8), 1e-15));
    EXPECT_EQ(v.dValue, 2.5);
    EXPECT_TRUE(v.pair.IsEqual(gp_XY(-1, 7), 0));
    EXPECT_EQ(v.nValue, 3);
    EXPECT_EQ(StoredReals(WS::GetViewProjStatusLabel(node).FindChild(n)),
              (std::vector<double>{4, 5, 6, 1, 2, 3, 0, 0.6, 0.8, 2.5, -1, 7, 3}));
}

TEST_F(WorkSpace, AViewOfTwelveRealsKeepsTheDefaultIntegerAndAZeroDirectionTheDefaultDirection)
{
    const TDF_Label label = WS::GetViewProjStatusLabel(node).FindChild(2, Standard_True);
    TDataStd_Name::Set(label, "Old");
    Handle(TDataStd_RealArray) p = TDataStd_RealArray::Set(label, 1, 12);
    const double v[12] = {1, 1, 1, 2, 2, 2, 0, 0, 0, 9, 8, 7};
    for (int i = 0; i < 12; ++i)
        p->SetValue(i + 1, v[i]);
    const T_VIEW_PROJ_STATUS r = WS::GetViewProjStatus(node, 2);
    const T_VIEW_PROJ_STATUS def;
    EXPECT_EQ(r.nValue, def.nValue);
    EXPECT_TRUE(r.dir.IsEqual(def.dir, 0));
    EXPECT_EQ(r.dValue, 9);
    EXPECT_TRUE(r.pair.IsEqual(gp_XY(8, 7), 0));
    p->SetValue(4, -6.9);
    EXPECT_EQ(WS::GetViewProjStatus(node, 2).vFirst.X(), -6.9);
}

TEST_F(WorkSpace, ANewViewNeverOverwritesAStoredOne)
{
    ASSERT_EQ(WS::SetViewProjStatus(node, 1, View("Set 1")), 1);
    ASSERT_EQ(WS::SetViewProjStatus(node, 2, View("Set 2")), 1);
    const int n = WS::AddViewProjStatus(node, View("Added"));
    EXPECT_EQ(n, 3);
    EXPECT_EQ(TCollection_AsciiString(WS::GetViewProjStatus(node, 1).strName), TCollection_AsciiString("Set 1"));
    EXPECT_EQ(WS::AddViewProjStatus(node, View("Again")), 4);
    EXPECT_EQ(WS::DelViewProjStatus(node, 4), 1);
    EXPECT_EQ(WS::IsViewProjStatus(node, 4), 0);
    EXPECT_EQ(WS::IsViewProjStatus(node, 3), 1);
}

TEST_F(WorkSpace, ANullTreeNodeRefusesConstructionAndTheStaticOperations)
{
    CMsgDll::SetText("IDS_INTERFACE___MSG2", "No tree node");
    const Handle(TDataStd_TreeNode) none;
    EXPECT_THROW(OCAF_IWorkSpcData ws(none), Standard_ConstructionError);
    EXPECT_NO_THROW(OCAF_IWorkSpcData ws(node));
    EXPECT_EQ(WS::AddWorkPlane(none, Plane("x", {1}, {1})), 0);
    EXPECT_EQ(WS::IsWorkPlane(none, 1), 0);
    EXPECT_EQ(WS::SetWorkPlane(node, 0, Plane("x", {1}, {1})), 0) << "tags start at 1";
    EXPECT_EQ(WS::GetWorkPlane(none, 1).aList1.GetSize(), 0);
    EXPECT_EQ(WS::AddViewProjStatus(none, View("x")), 0);
}

} // namespace
