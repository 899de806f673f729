// The profile-grid definition dialog in a document whose output lengths are 2.5 times the
// model's: corners are typed in output units and picked in model units, the grid previews on
// the current work plane in model units, and the stored corners are output units. Expected
// corners are worked out by hand from the work plane's axes.
#include "ProfileGridFixtures.h"

#include "dialogs/CDlgProfileGridDef.h"
#include "dialogs/DialogControlIds.h"
#include "dialogs/OCAF_IWorkSpcData.h"

#include "AIS_RectGrid.h"
#include "MsgDll.h"
#include "ZORGrid.h"
#include "ZORViewBase.h"
#include "afx_standin.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace kvpvs::test;

namespace {

constexpr double kOut = 2.5;
constexpr const char* kInvalidText = "The grid data are not valid.";

// A vertical section through y = 3: normal -y, x along the model's x, so the plane's y axis is
// the model's z ((0, -1, 0) x (1, 0, 0) = (0, 0, 1)).
gp_Ax3 Section() { return gp_Ax3(gp_Pnt(0, 3, 0), gp_Dir(0, -1, 0), gp_Dir(1, 0, 0)); }

T_WORKPLANE WorkPlane(const char* pszName, const gp_Ax3& placement, int nKind, std::vector<double> l1,
                      std::vector<double> l2)
{
    T_WORKPLANE wp;
    wp.Initialize();
    wp.strName = pszName;
    wp.dPair[0] = 0.25;
    wp.dPair[1] = -1.5;
    wp.nKind = nKind;
    wp.placement = placement;
    for (double d : l1)
        wp.aList1.Add(d);
    for (double d : l2)
        wp.aList2.Add(d);
    return wp;
}

std::vector<double> ToVector(const CArray<double, double>& a) { return {a.GetData(), a.GetData() + a.GetSize()}; }

class ProfileGridDefDialog : public ::testing::Test {
protected:
    void SetUp() override
    {
        m.Unit()->SetFactor(1, kOut);
        CMsgDll::SetText(IDS_PVS_Invalid_grid_data, kInvalidText);
        view.CreateWindowCore(nullptr);
        m.doc.SetActiveView(&view);
        Win32ClearMessageBoxJournal();
    }
    void TearDown() override
    {
        for (HWND h : hDlgs)
            if (IsWindow(h))
                DestroyWindow(h);
        view.DestroyWindow();
    }
    CDlgProfileGridDef* Open()
    {
        auto* dlg = new CDlgProfileGridDef(&view, &m.doc, 7, 0);
        EXPECT_TRUE(dlg->Create(&view));
        dlg->ShowWindow(SW_SHOW);
        hDlgs.push_back(dlg->m_hWnd);
        return dlg;
    }
    int AddWorkPlane(const T_WORKPLANE& wp) { return OCAF_IWorkSpcData::AddWorkPlane(m.doc.GetSubRootNode(0), wp); }
    const std::vector<CAISContext::T_TEMP_IOBJECT_D>& Previews() { return CAISContext::Of(&m.doc)->GetTempIObjects(); }
    Handle(AIS_RectGrid) PreviewGrid()
    {
        return Previews().empty() ? Handle(AIS_RectGrid)() : Handle(AIS_RectGrid)::DownCast(Previews()[0].pObject);
    }
    std::vector<unsigned int> GridKeys()
    {
        CArray<unsigned int, unsigned int> a;
        CClassSpfg(m.doc.GetModelDB()).GetKeyList(a);
        return {a.GetData(), a.GetData() + a.GetSize()};
    }
    static void Type(CWnd* dlg, const char* pszLowerLeft, const char* pszUpperRight, const char* pszDivX,
                     const char* pszDivY)
    {
        AfxDriver::SetText(dlg, IDC_PGDEF_LOWER_LEFT, pszLowerLeft);
        AfxDriver::SetText(dlg, IDC_PGDEF_UPPER_RIGHT, pszUpperRight);
        AfxDriver::SetText(dlg, IDC_PGDEF_XDIV, pszDivX);
        AfxDriver::SetText(dlg, IDC_PGDEF_YDIV, pszDivY);
    }
    static void ExpectCorner(const double d[3], double x, double y, double z, const char* pszWhich)
    {
        EXPECT_DOUBLE_EQ(d[0], x) << pszWhich;
        EXPECT_DOUBLE_EQ(d[1], y) << pszWhich;
        EXPECT_DOUBLE_EQ(d[2], z) << pszWhich;
    }

    ProfileGridModel m;
    CZORViewBase view;
    std::vector<HWND> hDlgs;
};

TEST_F(ProfileGridDefDialog, DefaultCornersGiveAFlatGridThatPreviewRefuses)
{
    CDlgProfileGridDef* dlg = Open();
    // Corner (1, 0, 0) in model units shows as 2.5 output units.
    EXPECT_EQ(AfxDriver::GetText(dlg, IDC_PGDEF_LOWER_LEFT), CString("2.5, 0, 0"));
    EXPECT_EQ(AfxDriver::GetText(dlg, IDC_PGDEF_UPPER_RIGHT), CString("0, 0, 0"));
    EXPECT_EQ(AfxDriver::GetText(dlg, IDC_PGDEF_XDIV), CString("20"));
    EXPECT_EQ(AfxDriver::GetText(dlg, IDC_PGDEF_YDIV), CString("20"));
    EXPECT_EQ(AfxDriver::GetText(dlg, IDC_PGDEF_NAME), CString("Grid"));
    EXPECT_EQ(dlg->GetActiveCorner(), 1);

    // On the global X-Y work plane both corners have y = 0: the y spacing is 0.
    ASSERT_TRUE(AfxDriver::Click(dlg, IDC_PGDEF_PREVIEW));
    ASSERT_EQ(Win32MessageBoxCount(), 1);
    EXPECT_STREQ(Win32MessageBoxAt(0)->pszText, kInvalidText);
    EXPECT_TRUE(Previews().empty());
}

TEST_F(ProfileGridDefDialog, StoredWorkPlanesAreOfferedExceptTheCurrentOne)
{
    const int nA = AddWorkPlane(WorkPlane("Section A", Section(), 0, {0, 1}, {0, 2}));
    AddWorkPlane(WorkPlane("Current WorkPlane", gp_Ax3(), 0, {}, {}));
    const int nB = AddWorkPlane(WorkPlane("Level 2", gp_Ax3(gp_Pnt(0, 0, 2), gp_Dir(0, 0, 1)), 0, {}, {}));
    CDlgProfileGridDef* dlg = Open();
    auto* combo = dynamic_cast<CComboBox*>(dlg->GetDlgItem(IDC_PGDEF_WORKPLANE));
    ASSERT_NE(combo, nullptr);
    ASSERT_EQ(combo->GetCount(), 2);
    CString s;
    combo->GetLBText(0, s);
    EXPECT_EQ(s, CString("Section A"));
    combo->GetLBText(1, s);
    EXPECT_EQ(s, CString("Level 2"));
    EXPECT_EQ(combo->GetItemData(0), static_cast<DWORD_PTR>(nA));
    EXPECT_EQ(combo->GetItemData(1), static_cast<DWORD_PTR>(nB));
    EXPECT_EQ(combo->GetCurSel(), 0);
}

// Choosing a work plane makes it the document's: placement, grid of its kind, the viewer's
// privileged plane; the grid is shown only where the view shows grids.
struct PlaneCase {
    const char* pszName;
    int nKind;
    int bGridOn;
};

class ProfileGridDefWorkPlane : public ProfileGridDefDialog, public ::testing::WithParamInterface<PlaneCase> {};

TEST_P(ProfileGridDefWorkPlane, BecomesTheCurrentPlaneWithItsGrid)
{
    AddWorkPlane(WorkPlane("Ground", gp_Ax3(), 0, {}, {}));
    AddWorkPlane(WorkPlane("Section A", Section(), GetParam().nKind, {0, 1.5, 3}, {-1, 2}));
    view.SetGridOn(GetParam().bGridOn);
    CDlgProfileGridDef* dlg = Open();
    ASSERT_TRUE(AfxDriver::Select(dlg, IDC_PGDEF_WORKPLANE, 1));

    const gp_Ax3 cur = m.doc.GetCurrentWorkPlane();
    EXPECT_TRUE(cur.Location().IsEqual(gp_Pnt(0, 3, 0), 0.0));
    EXPECT_TRUE(cur.Direction().IsEqual(gp_Dir(0, -1, 0), 0.0));
    EXPECT_TRUE(cur.XDirection().IsEqual(gp_Dir(1, 0, 0), 0.0));
    const CGrid* g = m.doc.GetGrid();
    EXPECT_EQ(g->m_nResets, 1);
    EXPECT_EQ(g->m_nType, GetParam().nKind == 0 ? 0 : 1);
    EXPECT_EQ(g->m_nDataKind, GetParam().nKind == 0 ? 0 : 1);
    EXPECT_EQ(g->m_dOrigin[0], 0.25);
    EXPECT_EQ(g->m_dOrigin[1], -1.5);
    EXPECT_EQ(ToVector(g->m_aList1), (std::vector<double>{0, 1.5, 3}));
    EXPECT_EQ(ToVector(g->m_aList2), (std::vector<double>{-1, 2}));
    EXPECT_EQ(m.doc.GetViewer()->m_nPlaneSets, 1);
    EXPECT_TRUE(m.doc.GetViewer()->PrivilegedPlane().Direction().IsEqual(gp_Dir(0, -1, 0), 0.0));
    EXPECT_EQ(g->m_nShows, GetParam().bGridOn ? 1 : 0);
    EXPECT_EQ(g->m_bShown, GetParam().bGridOn);
    EXPECT_EQ(m.doc.GetWorkPlaneUpdateCount(), 1);
}

INSTANTIATE_TEST_SUITE_P(Kinds, ProfileGridDefWorkPlane,
                         ::testing::Values(PlaneCase{"RectangularGridShown", 0, 1},
                                           PlaneCase{"CircularGridHidden", 3, 0}),
                         [](const ::testing::TestParamInfo<PlaneCase>& i) { return std::string(i.param.pszName); });

TEST_F(ProfileGridDefDialog, PickedCornersOnASectionAreStoredInOutputUnitsThroughATransaction)
{
    AddWorkPlane(WorkPlane("Section A", Section(), 0, {}, {}));
    CDlgProfileGridDef* dlg = Open();
    ASSERT_TRUE(AfxDriver::Select(dlg, IDC_PGDEF_WORKPLANE, 0));

    ASSERT_TRUE(AfxDriver::Focus(dlg, IDC_PGDEF_LOWER_LEFT));
    // Off the plane by 4 and -3 along its normal: the plane coordinates are (1, -2) and (4, 1).
    ASSERT_TRUE(dlg->GetEventHandler()->Pick(gp_Pnt(1, 7, -2)));
    EXPECT_EQ(dlg->GetActiveCorner(), 2) << "the focus moved on to the upper-right corner";
    ASSERT_TRUE(dlg->GetEventHandler()->Pick(gp_Pnt(4, 0, 1)));
    EXPECT_EQ(dlg->GetActiveCorner(), 3);
    EXPECT_EQ(CGeomSelector::Of(&m.doc)->GetOsnap(8), 1);
    EXPECT_EQ(CGeomSelector::Of(&m.doc)->GetOsnap(7), 1);
    AfxDriver::SetText(dlg, IDC_PGDEF_XDIV, "6");
    AfxDriver::SetText(dlg, IDC_PGDEF_YDIV, "3");
    AfxDriver::SetText(dlg, IDC_PGDEF_NAME, "Section grid");
    m.doc.ClearUpdateHints();
    ASSERT_TRUE(AfxDriver::Click(dlg, IDC_PGDEF_ADD));

    ASSERT_EQ(GridKeys().size(), 1u);
    const unsigned int nKey = GridKeys()[0];
    T_SPFG_D g;
    ASSERT_TRUE(CClassSpfg(m.doc.GetModelDB()).Get(nKey, g));
    EXPECT_EQ(g.strName, CString("Section grid"));
    EXPECT_EQ(g.nDivX, 6);
    EXPECT_EQ(g.nDivY, 3);
    // Model corners on y = 3: LL (1, 3, -2), UR (4, 3, 1), UL (1, 3, 1), LR (4, 3, -2); times 2.5.
    ExpectCorner(g.dLL, 2.5, 7.5, -5.0, "lower-left");
    ExpectCorner(g.dUR, 10.0, 7.5, 2.5, "upper-right");
    ExpectCorner(g.dUL, 2.5, 7.5, 2.5, "upper-left");
    ExpectCorner(g.dLR, 10.0, 7.5, -5.0, "lower-right");

    const auto& hints = m.doc.GetUpdateHints();
    ASSERT_EQ(hints.GetSize(), 1);
    EXPECT_EQ(hints[0].lHint, 3);
    auto* h = dynamic_cast<CDBChangeHint*>(hints[0].pHint);
    ASSERT_NE(h, nullptr);
    EXPECT_EQ(h->m_pDB, m.doc.GetModelDB());
    ASSERT_EQ(h->m_aViewBuffer.size(), 1u);
    EXPECT_EQ(h->m_aViewBuffer[0].nType, CClassSpfg::UR_SPFG_ADD);
    EXPECT_EQ(h->m_aViewBuffer[0].nKey, nKey);

    auto* list = dynamic_cast<CListBox*>(dlg->GetDlgItem(IDC_PGDEF_GRIDS));
    ASSERT_EQ(list->GetCount(), 1);
    CString s;
    list->GetText(0, s);
    EXPECT_EQ(s, CString("Section grid"));
    EXPECT_EQ(list->GetItemData(0), static_cast<DWORD_PTR>(nKey));
}

TEST_F(ProfileGridDefDialog, UpperRightLeftOfLowerLeftGivesNegativeSpacing)
{
    CDlgProfileGridDef* dlg = Open();
    // Model corners (3, 0, 0) and (1, 2, 0): dx = (1 - 3) / 4 = -0.5, dy = 2 / 2 = 1.
    Type(dlg, "7.5, 0, 0", "2.5, 5, 0", "4", "2");
    ASSERT_TRUE(AfxDriver::Click(dlg, IDC_PGDEF_PREVIEW));
    EXPECT_EQ(Win32MessageBoxCount(), 0);
    ASSERT_EQ(Previews().size(), 1u);
    EXPECT_EQ(Previews()[0].nMode, 100);
    Handle(AIS_RectGrid) g = PreviewGrid();
    ASSERT_FALSE(g.IsNull());
    EXPECT_TRUE(g->Origin().IsEqual(gp_Pnt(3, 0, 0), 1e-15));
    EXPECT_EQ(g->XPositions(), (std::vector<double>{0, -0.5, -1, -1.5, -2}));
    EXPECT_EQ(g->YPositions(), (std::vector<double>{0, 1, 2}));
    EXPECT_EQ(g->Option(), 0);
    EXPECT_TRUE(g->GridPlane().Direction().IsEqual(gp::DZ(), 0.0));
    Quantity_Color c;
    g->Color(c);
    EXPECT_EQ(c, Quantity_Color(Quantity_NOC_GREEN));

    // A second preview replaces the first.
    ASSERT_TRUE(AfxDriver::Click(dlg, IDC_PGDEF_PREVIEW));
    EXPECT_EQ(Previews().size(), 1u);
}

// Inputs Preview refuses with the invalid-grid message; Add stores only what it can tell apart
// from coinciding corners, and says nothing when it refuses.
struct RefusedCase {
    const char* pszName;
    const char* pszLowerLeft;
    const char* pszUpperRight;
    const char* pszDivX;
    const char* pszDivY;
    bool bAddStores;
};

class ProfileGridDefRefused : public ProfileGridDefDialog, public ::testing::WithParamInterface<RefusedCase> {};

TEST_P(ProfileGridDefRefused, PreviewWarnsAndAddStoresOnlyDistinctCorners)
{
    CDlgProfileGridDef* dlg = Open();
    const RefusedCase& c = GetParam();
    Type(dlg, c.pszLowerLeft, c.pszUpperRight, c.pszDivX, c.pszDivY);
    ASSERT_TRUE(AfxDriver::Click(dlg, IDC_PGDEF_PREVIEW));
    ASSERT_EQ(Win32MessageBoxCount(), 1);
    EXPECT_STREQ(Win32MessageBoxAt(0)->pszText, kInvalidText);
    EXPECT_TRUE(Previews().empty());

    m.doc.ClearUpdateHints();
    ASSERT_TRUE(AfxDriver::Click(dlg, IDC_PGDEF_ADD));
    EXPECT_EQ(Win32MessageBoxCount(), 1) << "Add never warns";
    EXPECT_EQ(GridKeys().size(), c.bAddStores ? 1u : 0u);
    EXPECT_EQ(m.doc.GetUpdateHints().GetSize(), c.bAddStores ? 1 : 0);
}

INSTANTIATE_TEST_SUITE_P(
    Inputs, ProfileGridDefRefused,
    ::testing::Values(
        // 0.8e-7 model units apart across the plane: both tests see one point.
        RefusedCase{"CornersWithinATenthOfAMicron", "1, 1, 0", "1, 1, 2e-7", "4", "4", false},
        // 1e-5 wide in 20 divisions: cells of 5e-7; the corners are distinct.
        RefusedCase{"CellsNarrowerThanAMicron", "0, 0, 0", "2.5e-5, 2.5, 0", "20", "4", true},
        RefusedCase{"XDivisionsZero", "0, 0, 0", "2.5, 2.5, 0", "0", "4", false},
        RefusedCase{"YDivisionsNegative", "0, 0, 0", "2.5, 2.5, 0", "4", "-3", false},
        // At most 10,000 divisions a side and 1,000,000 cells: cells of 1e-4 here would pass.
        RefusedCase{"XDivisionsAboveTenThousand", "0, 0, 0", "2.5, 2.5, 0", "10001", "4", false},
        RefusedCase{"CellsAboveAMillion", "0, 0, 0", "2.5, 2.5, 0", "1001", "1000", false},
        RefusedCase{"CornerNotANumber", "nan, 0, 0", "2.5, 2.5, 0", "4", "4", false},
        RefusedCase{"CornerNotAPoint", "1, 2", "2.5, 2.5, 0", "4", "4", false}),
    [](const ::testing::TestParamInfo<RefusedCase>& i) { return std::string(i.param.pszName); });

// 4294967306 read modulo 2^32 is 10: a count beyond int is refused as no integer, not stored.
TEST_F(ProfileGridDefDialog, TypedCountBeyondIntIsRefusedNotWrapped)
{
    CDlgProfileGridDef* dlg = Open();
    Type(dlg, "0, 0, 0", "2.5, 2.5, 0", "4294967306", "4");
    ASSERT_TRUE(AfxDriver::Click(dlg, IDC_PGDEF_ADD));
    EXPECT_TRUE(GridKeys().empty());
    ASSERT_EQ(Win32MessageBoxCount(), 1);
    EXPECT_STREQ(Win32MessageBoxAt(0)->pszText, "Please enter an integer.");
}

TEST_F(ProfileGridDefDialog, SelectingAStoredGridFillsCornersAndDivisionsAndPreviewsIt)
{
    m.AddGrid("A", {0.5, 0.5, 0.0}, {3.5, 0.5, 0.0}, {0.5, 3.5, 0.0}, 4, 3);
    CDlgProfileGridDef* dlg = Open();
    AfxDriver::SetText(dlg, IDC_PGDEF_NAME, "Typed name");
    ASSERT_TRUE(AfxDriver::Select(dlg, IDC_PGDEF_GRIDS, 0));
    EXPECT_EQ(AfxDriver::GetText(dlg, IDC_PGDEF_LOWER_LEFT), CString("1.25, 1.25, 0"));
    EXPECT_EQ(AfxDriver::GetText(dlg, IDC_PGDEF_UPPER_RIGHT), CString("8.75, 8.75, 0"));
    EXPECT_EQ(AfxDriver::GetText(dlg, IDC_PGDEF_XDIV), CString("4"));
    EXPECT_EQ(AfxDriver::GetText(dlg, IDC_PGDEF_YDIV), CString("3"));
    EXPECT_EQ(AfxDriver::GetText(dlg, IDC_PGDEF_NAME), CString("Typed name"));
    EXPECT_EQ(Win32MessageBoxCount(), 0);
    Handle(AIS_RectGrid) g = PreviewGrid();
    ASSERT_FALSE(g.IsNull());
    EXPECT_TRUE(g->Origin().IsEqual(gp_Pnt(0.5, 0.5, 0), 1e-15));
    const std::vector<double> xs = g->XPositions();
    const std::vector<double> expected = {0, 0.75, 1.5, 2.25, 3.0};
    ASSERT_EQ(xs.size(), expected.size());
    for (size_t i = 0; i < xs.size(); ++i)
        EXPECT_DOUBLE_EQ(xs[i], expected[i]) << i;
    EXPECT_EQ(g->YPositions(), (std::vector<double>{0, 1, 2, 3}));
}

TEST_F(ProfileGridDefDialog, DeleteRemovesTheCheckedGridsInOneTransaction)
{
    const unsigned int nA = m.AddGrid("A", {0, 0, 0}, {1, 0, 0}, {0, 1, 0}, 2, 2);
    const unsigned int nB = m.AddGrid("B", {0, 0, 1}, {1, 0, 1}, {0, 1, 1}, 2, 2);
    const unsigned int nC = m.AddGrid("C", {0, 0, 2}, {1, 0, 2}, {0, 1, 2}, 2, 2);
    CDlgProfileGridDef* dlg = Open();
    m.doc.ClearUpdateHints();
    ASSERT_TRUE(AfxDriver::Click(dlg, IDC_PGDEF_DELETE));
    EXPECT_EQ(GridKeys().size(), 3u) << "nothing checked";
    EXPECT_EQ(m.doc.GetUpdateHints().GetSize(), 0);

    AfxDriver::CheckItem(dlg, IDC_PGDEF_GRIDS, 0, 1);
    AfxDriver::CheckItem(dlg, IDC_PGDEF_GRIDS, 2, 1);
    ASSERT_TRUE(AfxDriver::Click(dlg, IDC_PGDEF_DELETE));
    EXPECT_EQ(GridKeys(), (std::vector<unsigned int>{nB}));
    ASSERT_EQ(m.doc.GetUpdateHints().GetSize(), 1);
    auto* h = dynamic_cast<CDBChangeHint*>(m.doc.GetUpdateHints()[0].pHint);
    ASSERT_NE(h, nullptr);
    ASSERT_EQ(h->m_aViewBuffer.size(), 2u);
    EXPECT_EQ(h->m_aViewBuffer[0].nType, CClassSpfg::UR_SPFG_DEL);
    EXPECT_EQ(h->m_aViewBuffer[0].nKey, nA);
    EXPECT_EQ(h->m_aViewBuffer[1].nKey, nC);
    auto* list = dynamic_cast<CListBox*>(dlg->GetDlgItem(IDC_PGDEF_GRIDS));
    ASSERT_EQ(list->GetCount(), 1);
    EXPECT_EQ(list->GetItemData(0), static_cast<DWORD_PTR>(nB));
}

TEST_F(ProfileGridDefDialog, EachLaunchOpensAFurtherDialogThatClosesOnItsOwn)
{
    CDlgProfileGridDef* first = Open();
    CDlgProfileGridDef* second = Open();
    ASSERT_NE(first, second);
    ASSERT_TRUE(IsWindow(hDlgs[0]) && IsWindow(hDlgs[1]));
    EXPECT_NE(hDlgs[0], hDlgs[1]);
    EXPECT_EQ(second->GetCommandValue(), 7);
    ASSERT_TRUE(AfxDriver::Click(second, IDC_PGDEF_CANCEL));
    EXPECT_FALSE(IsWindow(hDlgs[1]));
    EXPECT_TRUE(IsWindow(hDlgs[0]));
    ASSERT_TRUE(AfxDriver::Click(first, IDC_PGDEF_OK));
    EXPECT_FALSE(IsWindow(hDlgs[0]));
}

} // namespace
