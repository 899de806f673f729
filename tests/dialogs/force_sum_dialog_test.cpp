// The local-direction force-sum dialog driven as a user drives it: planes are added by three
// picked points in the plane dialog, ticked and shown; the display request is read from the
// bridge's record of requests. Lengths are shown in output units twice the model's.
#include "dialogs/CDlgLclDirForSum.h"
#include "dialogs/CPVSDlgDefThreePointPlane.h"
#include "dialogs/DialogControlIds.h"

#include "MsgDll.h"
#include "PVSLegendObjectUserDefMode.h"
#include "PVSMeshMngrBrdg.h"
#include "UnitCtrl.h"
#include "afx_standin.h"

#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <memory>
#include <ostream>
#include <string>
#include <vector>

namespace {

using P3 = std::array<double, 3>;
constexpr unsigned int kStep = 10;

class ForceSumDialogTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        CZORDocBase::SetCurDoc(&doc);
        CDocCtrl::GetUnitCtrl(&doc)->SetFactor(1, 2.0);
        bridge = std::make_unique<CPVSMeshMngrBrdg>();
        view.CreateWindowCore(nullptr);
        view.MoveWindow(0, 120, 800, 600);
        bridge->SetWnd(&view);
        doc.SetActiveView(&view);
        CClassPOsif(doc.GetPostDB()).Set(1, T_POSIF_D{"LC1"});
        T_PLSIF_D step;
        step.nOsifK = 1;
        step.strName = "Step 1";
        CClassPLsif(doc.GetPostDB()).Set(kStep, step);
        CPVSMeshMngrBrdgBase::m_bConsiderOnlyFaceOfSolid = 1;
        CClassLdfs::SetRefuse(FALSE);
        Win32ClearMessageBoxJournal();
        CMsgDll::SetText(IDS_KV_PVS_SELECTED_PLANE_ERR, "Planes of different element types");
    }
    void TearDown() override
    {
        if (CDlgLclDirForSum::m_pMySelf)
            CDlgLclDirForSum::m_pMySelf->DestroyWindow();
        CPVSMeshMngrBrdgBase::m_bConsiderOnlyFaceOfSolid = 0;
        bridge.reset();
        view.DestroyWindow();
        CZORDocBase::SetCurDoc(nullptr);
    }
    CDlgLclDirForSum* Open()
    {
        CDlgLclDirForSum::CreateOrActivate(&view);
        return CDlgLclDirForSum::m_pMySelf;
    }
    void AddRow(unsigned int nKey, unsigned int nItem, unsigned int nStep = kStep)
    {
        T_PVTIF_D r;
        r.nItem = nItem;
        r.nStepK = nStep;
        CClassPVtif(doc.GetPostDB()).Set(nKey, r);
    }
    // Add, then in the plane dialog: element type, name, three picked points (model units), OK.
    void AddPlane(CDlgLclDirForSum* dlg, int bPlate, const char* pszName, const P3& a, const P3& b, const P3& c)
    {
        ASSERT_TRUE(AfxDriver::Click(dlg, IDC_LDFS_ADD));
        CPVSDlgDefThreePointPlane* p = dlg->GetPlaneDialog();
        ASSERT_NE(p, nullptr);
        AfxDriver::Click(p, bPlate ? IDC_THREEPT_PLATE : IDC_THREEPT_SOLID);
        AfxDriver::SetText(p, IDC_THREEPT_NAME, pszName);
        ASSERT_TRUE(AfxDriver::Focus(p, IDC_THREEPT_PNT1));
        for (const P3& q : {a, b, c})
            p->GetEventHandler()->Pick(gp_Pnt(q[0], q[1], q[2]));
        AfxDriver::Click(p, IDC_THREEPT_OK);
    }
    CCheckListBox* List(CDlgLclDirForSum* dlg) { return dynamic_cast<CCheckListBox*>(dlg->GetDlgItem(IDC_LDFS_LIST)); }
    int Requests() const { return bridge->m_aRequests.GetSize(); }
    const T_VD_LCLDIRSUM_HOB_D& Shown() const
    {
        return *static_cast<const T_VD_LCLDIRSUM_HOB_D*>(bridge->m_aRequests[Requests() - 1].pUserData);
    }

    CDBDoc doc;
    CView view;
    std::unique_ptr<CPVSMeshMngrBrdg> bridge;
};

TEST_F(ForceSumDialogTest, OpensOnceBesideTheViewAndShowsTheEmptyDisplay)
{
    CDlgLclDirForSum* dlg = Open();
    ASSERT_NE(dlg, nullptr);
    const UINT nRegID = CDlgLclDirForSum::m_reg.nRegID;
    EXPECT_TRUE(dlg->IsWindowVisible());
    EXPECT_EQ(dlg->GetParent(), AfxGetMainWnd());
    EXPECT_EQ(dlg->m_nInitPos, 1);
    EXPECT_EQ(dlg->m_nInitY, 120) << "view top minus main-window top";
    ASSERT_EQ(Requests(), 1);
    EXPECT_EQ(bridge->m_aRequests[0].nVDType, 8u);
    EXPECT_EQ(bridge->m_aRequests[0].nArg1, 1);
    EXPECT_EQ(Shown().aPlane.GetSize(), 0);
    EXPECT_DOUBLE_EQ(Shown().dArrowScale, 1.0);
    EXPECT_EQ(Shown().bIncludeText, 1);

    CDlgLclDirForSum::CreateOrActivate(&view);
    EXPECT_EQ(CDlgLclDirForSum::m_pMySelf, dlg) << "the second request activates the first";
    EXPECT_EQ(CDlgLclDirForSum::m_reg.nRegID, nRegID) << "registered once per module load";
    EXPECT_EQ(CDBDlgBase::ActivationCount(nRegID), 1);
    EXPECT_EQ(Requests(), 1);

    EXPECT_TRUE(AfxDriver::Click(dlg, IDC_LDFS_SHOW)) << "Show with no planes";
    EXPECT_EQ(Requests(), 1);
}

TEST_F(ForceSumDialogTest, NoDocumentOpensNothing)
{
    CZORDocBase::SetCurDoc(nullptr);
    EXPECT_EQ(Open(), nullptr);
    EXPECT_EQ(Win32MessageBoxCount(), 0);
}

TEST_F(ForceSumDialogTest, FailedCreateIsDeleted)
{
    AfxStandInFailNextDialogCreate();
    EXPECT_EQ(Open(), nullptr) << "the object is deleted, so the instance pointer is clear";
    EXPECT_NE(Open(), nullptr);
}

TEST_F(ForceSumDialogTest, TwoSolidPlanesByPickedPointsAreShownWithTheSolidRows)
{
    for (unsigned int c = 141; c <= 146; ++c)
        AddRow(c, c);
    AddRow(200, 999);
    AddRow(201, 141, kStep + 1); // another step
    CDlgLclDirForSum* dlg = Open();
    AddPlane(dlg, 0, "A", {0, 0, 0}, {1, 0, 0}, {0, 1, 0});
    EXPECT_EQ(dlg->GetPlaneDialog(), nullptr) << "OK closed the plane dialog";
    AddPlane(dlg, 0, "B", {0, 0, 5}, {0, 2, 5}, {0, 0, 7});
    ASSERT_EQ(dlg->GetPlaneCount(), 2);
    // Stored in output units (factor 2), listed back in model units.
    T_LDFS_D row;
    ASSERT_TRUE(CClassLdfs(doc.GetModelDB()).Get(2, row));
    EXPECT_DOUBLE_EQ(row.dP1[2], 10.0);
    EXPECT_DOUBLE_EQ(dlg->GetCuttingPlane(1).dOrigin[2], 5.0);
    // Plane A: u = (1,0,0), normal = u x w = (0,0,1), second = normal x u = (0,1,0).
    const auto& f = dlg->GetPlaneFrame(0);
    for (int k = 0; k < 3; ++k) {
        EXPECT_NEAR(f.dAxis[0][k], (P3{0, 0, 1})[k], 1e-15);
        EXPECT_NEAR(f.dAxis[1][k], (P3{1, 0, 0})[k], 1e-15);
        EXPECT_NEAR(f.dAxis[2][k], (P3{0, 1, 0})[k], 1e-15);
    }
    AfxDriver::CheckItem(dlg, IDC_LDFS_LIST, 0, 1);
    AfxDriver::CheckItem(dlg, IDC_LDFS_LIST, 1, 1);
    AfxDriver::Check(dlg, IDC_LDFS_INCLUDE_TEXT, 1);
    const int before = Requests();
    EXPECT_TRUE(AfxDriver::Click(dlg, IDC_LDFS_SHOW));
    ASSERT_EQ(Requests(), before + 1);
    const T_VD_LCLDIRSUM_HOB_D& rec = Shown();
    ASSERT_EQ(rec.aPlane.GetSize(), 2);
    EXPECT_EQ(rec.aAxis[1].strName, "B");
    EXPECT_EQ(rec.nCutKind, 0);
    EXPECT_EQ(rec.nCompCount, 6);
    for (int s = 0; s < 6; ++s)
        EXPECT_EQ(rec.nCompPVtifK[s], 141 + s);
    EXPECT_EQ(rec.nCompPVtifK[6], 0);
    EXPECT_EQ(rec.bIncludeText, 1);
    EXPECT_EQ(rec.nPlaneColor, 0xFDFCBF);
    EXPECT_EQ(rec.nValueDecimal, 6);
}

TEST_F(ForceSumDialogTest, SolidRowsOfTheSecondSetTakeThePlaceOfTheFirst)
{
    for (unsigned int c = 141; c <= 146; ++c)
        AddRow(c, c);
    AddRow(500, 312);
    CDlgLclDirForSum* dlg = Open();
    AddPlane(dlg, 0, "A", {0, 0, 0}, {1, 0, 0}, {0, 1, 0});
    AfxDriver::CheckItem(dlg, IDC_LDFS_LIST, 0, 1);
    AfxDriver::Click(dlg, IDC_LDFS_SHOW);
    const T_VD_LCLDIRSUM_HOB_D& rec = Shown();
    EXPECT_EQ(rec.nCompPVtifK[2], 500) << "slot 2 from slot 8";
    EXPECT_EQ(rec.nCompPVtifK[0], 0) << "slots 0 to 5 are all overwritten";
    EXPECT_EQ(rec.nCompPVtifK[8], 500);
}

struct PlateRows {
    int nRows;
    bool bShown;
};

void PrintTo(const PlateRows& c, std::ostream* os)
{
    *os << c.nRows << " plate force rows, " << (c.bShown ? "shown" : "refused");
}

class PlateRowSelection : public ForceSumDialogTest, public ::testing::WithParamInterface<PlateRows> {};

TEST_P(PlateRowSelection, FirstSixForceRowsGoToTheTensorSlots)
{
    static const unsigned int codes[] = {85, 86, 87, 91, 92, 93, 295, 296};
    for (int i = 0; i < GetParam().nRows; ++i)
        AddRow(static_cast<unsigned int>(100 + i), codes[i]);
    CPVSMeshMngrBrdgBase::m_bConsiderOnlyFaceOfSolid = 0;
    CDlgLclDirForSum* dlg = Open();
    AddPlane(dlg, 1, "P", {0, 0, 0}, {1, 0, 0}, {1, 0, 1});
    ASSERT_EQ(dlg->GetPlaneCount(), 1);
    AfxDriver::CheckItem(dlg, IDC_LDFS_LIST, 0, 1);
    const int before = Requests();
    AfxDriver::Click(dlg, IDC_LDFS_SHOW);
    if (!GetParam().bShown) {
        EXPECT_EQ(Requests(), before);
        ASSERT_EQ(Win32MessageBoxCount(), 1);
        EXPECT_STREQ(Win32MessageBoxAt(0)->pszText, IDS_KV_PVS_No_RESULT_CDFS);
        return;
    }
    ASSERT_EQ(Requests(), before + 1);
    const T_VD_LCLDIRSUM_HOB_D& rec = Shown();
    EXPECT_EQ(rec.nCompCount, 12);
    // Forces xx, yy, xy -> slots xx, yy, xy (0, 1, 3); moments -> 6, 7, 9. The in-plane shear
    // force must not land in slot 4 (yz), which would make it an out-of-plane shear.
    const int expected[12] = {100, 101, 0, 102, 0, 0, 103, 104, 0, 105, 0, 0};
    for (int s = 0; s < 12; ++s)
        EXPECT_EQ(rec.nCompPVtifK[s], expected[s]) << "slot " << s;
}

INSTANTIATE_TEST_SUITE_P(ForceSum, PlateRowSelection,
                         ::testing::Values(PlateRows{5, false}, PlateRows{6, true}, PlateRows{8, true}),
                         [](const ::testing::TestParamInfo<PlateRows>& i) {
                             return std::to_string(i.param.nRows) + (i.param.bShown ? "RowsShown" : "RowsRefused");
                         });

TEST_F(ForceSumDialogTest, ShowRefusesMixedElementTypesAndStepsWithoutRows)
{
    CDlgLclDirForSum* dlg = Open();
    AddPlane(dlg, 0, "S", {0, 0, 0}, {1, 0, 0}, {0, 1, 0});
    AddPlane(dlg, 1, "P", {0, 0, 0}, {1, 0, 0}, {1, 0, 1});
    AfxDriver::CheckItem(dlg, IDC_LDFS_LIST, 0, 1);
    AfxDriver::CheckItem(dlg, IDC_LDFS_LIST, 1, 1);
    const int before = Requests();
    AfxDriver::Click(dlg, IDC_LDFS_SHOW);
    ASSERT_EQ(Win32MessageBoxCount(), 1);
    EXPECT_STREQ(Win32MessageBoxAt(0)->pszText, "Planes of different element types");
    AfxDriver::CheckItem(dlg, IDC_LDFS_LIST, 1, 0);
    AfxDriver::Click(dlg, IDC_LDFS_SHOW);
    ASSERT_EQ(Win32MessageBoxCount(), 2);
    EXPECT_STREQ(Win32MessageBoxAt(1)->pszText, IDS_KV_PVS_NO_RESULT_EXIST_CURRENT_STEP);
    EXPECT_EQ(Requests(), before);
}

TEST_F(ForceSumDialogTest, PlanesWithoutNormalAreStoredButNotListed)
{
    CDlgLclDirForSum* dlg = Open();
    AddPlane(dlg, 1, "collinear plate", {0, 0, 0}, {1, 1, 1}, {2, 2, 2});
    AddPlane(dlg, 0, "collinear solid", {0, 0, 0}, {1, 1, 1}, {2, 2, 2});
    AddPlane(dlg, 0, "coincident solid", {1, 1, 1}, {1, 1, 1}, {2, 0, 0});
    EXPECT_EQ(CClassLdfs(doc.GetModelDB()).GetCount(), 3);
    EXPECT_EQ(dlg->GetPlaneCount(), 0);
    EXPECT_EQ(List(dlg)->GetCount(), 0);
}

TEST_F(ForceSumDialogTest, DeleteRemovesTheCheckedPlanes)
{
    CDlgLclDirForSum* dlg = Open();
    AddPlane(dlg, 0, "A", {0, 0, 0}, {1, 0, 0}, {0, 1, 0});
    AddPlane(dlg, 0, "B", {0, 0, 1}, {1, 0, 1}, {0, 1, 1});
    AddPlane(dlg, 0, "C", {0, 0, 2}, {1, 0, 2}, {0, 1, 2});
    AfxDriver::Click(dlg, IDC_LDFS_DELETE);
    EXPECT_EQ(dlg->GetPlaneCount(), 3) << "nothing checked";
    AfxDriver::CheckItem(dlg, IDC_LDFS_LIST, 0, 1);
    AfxDriver::CheckItem(dlg, IDC_LDFS_LIST, 2, 1);
    CClassLdfs::SetRefuse(TRUE);
    AfxDriver::Click(dlg, IDC_LDFS_DELETE);
    EXPECT_EQ(dlg->GetPlaneCount(), 3) << "refused by the table";
    CClassLdfs::SetRefuse(FALSE);
    AfxDriver::Click(dlg, IDC_LDFS_DELETE);
    ASSERT_EQ(dlg->GetPlaneCount(), 1);
    CString s;
    List(dlg)->GetText(0, s);
    EXPECT_EQ(s, "B");
}

TEST_F(ForceSumDialogTest, RefusedPlaneKeepsThePlaneDialogOpen)
{
    CDlgLclDirForSum* dlg = Open();
    CClassLdfs::SetRefuse(TRUE);
    AddPlane(dlg, 0, "A", {0, 0, 0}, {1, 0, 0}, {0, 1, 0});
    EXPECT_NE(dlg->GetPlaneDialog(), nullptr);
    EXPECT_EQ(dlg->GetPlaneCount(), 0);
    CClassLdfs::SetRefuse(FALSE);
    CPVSDlgDefThreePointPlane* p = dlg->GetPlaneDialog();
    AfxDriver::Click(dlg, IDC_LDFS_ADD);
    EXPECT_EQ(dlg->GetPlaneDialog(), p) << "Add with an open plane dialog leaves it as it is";
}

// The plane dialog's callback into the opener, during which the user presses Escape in the
// force-sum dialog: both dialogs close before the callback returns "taken".
int EscapeInTheOpenerDuringApply(double (*)[3], CString&, void*)
{
    if (CDlgLclDirForSum* dlg = CDlgLclDirForSum::m_pMySelf) {
        AfxDriver::Focus(dlg, 14084);
        AfxDriver::PressKey(dlg, VK_ESCAPE);
    }
    return 1;
}

TEST_F(ForceSumDialogTest, EscapeInTheOpenerDuringApplyClosesBothDialogsOnce)
{
    CDlgLclDirForSum* dlg = Open();
    ASSERT_TRUE(AfxDriver::Click(dlg, 14081));
    CPVSDlgDefThreePointPlane* p = dlg->GetPlaneDialog();
    ASSERT_NE(p, nullptr);
    const HWND hPlane = p->m_hWnd;
    p->SetCalledOnApply(&EscapeInTheOpenerDuringApply);
    ASSERT_TRUE(AfxDriver::Focus(p, 14207));
    for (const P3& q : {P3{0, 0, 0}, P3{1, 0, 0}, P3{0, 1, 0}})
        p->GetEventHandler()->Pick(gp_Pnt(q[0], q[1], q[2]));
    // OK: the plane dialog must not touch itself once the callback has closed it.
    AfxDriver::Click(p, 14203);
    EXPECT_EQ(CDlgLclDirForSum::m_pMySelf, nullptr);
    EXPECT_EQ(CPVSDlgDefThreePointPlane::m_pMySelf, nullptr);
    EXPECT_FALSE(IsWindow(hPlane));
}

TEST_F(ForceSumDialogTest, PlaneBeyondTheOutputRangeIsRefusedWithTheNumberPrompt)
{
    CDlgLclDirForSum* dlg = Open();
    // 1e308 model units are twice that in output units: no finite number.
    AddPlane(dlg, 0, "far", {0, 0, 0}, {1e308, 0, 0}, {0, 1, 0});
    ASSERT_EQ(Win32MessageBoxCount(), 1);
    EXPECT_STREQ(Win32MessageBoxAt(0)->pszText, "Please enter a number.");
    EXPECT_EQ(dlg->GetPlaneCount(), 0);
    CArray<unsigned int, unsigned int> keys;
    CClassLdfs(doc.GetModelDB()).GetKeyList(keys);
    EXPECT_EQ(keys.GetSize(), 0);
    EXPECT_NE(dlg->GetPlaneDialog(), nullptr) << "the plane dialog stays open";
}

TEST_F(ForceSumDialogTest, HintThreeRefillsOnlyForAddedOrDeletedPlanes)
{
    CDlgLclDirForSum* dlg = Open();
    CClassLdfs tbl(doc.GetModelDB());
    T_LDFS_D row;
    row.strName = "behind";
    row.dP2[0] = 2.0;
    row.dP3[1] = 2.0;
    tbl.Set(7, row); // written without a transaction
    CDBChangeHint* hint = CClassLdfs::HintOf(doc.GetModelDB());
    tbl.TR_Modify(7, row, CClassLdfs::UR_LDFS_MFD);
    CDBUpdateConnector::Broadcast(nullptr, 3, hint);
    EXPECT_EQ(dlg->GetPlaneCount(), 0) << "modified plane data alone does not refill";
    CDBUpdateConnector::Broadcast(nullptr, 3, nullptr);
    EXPECT_EQ(dlg->GetPlaneCount(), 0);
    tbl.TR_Add(row);
    ASSERT_EQ(doc.GetUpdateHints().GetSize() > 0, true);
    const T_UPDATE_HINT_D& h = doc.GetUpdateHints()[doc.GetUpdateHints().GetSize() - 1];
    EXPECT_EQ(h.lHint, 3);
    CDBUpdateConnector::Broadcast(h.pSender, h.lHint, h.pHint);
    EXPECT_EQ(dlg->GetPlaneCount(), 2);
}

struct Closing {
    const char* pszHow;
    const char* pszName;
    int nBridgeMode;
    UINT nCommand;
};

void PrintTo(const Closing& c, std::ostream* os) { *os << c.pszHow << ", bridge mode " << c.nBridgeMode; }

class CloseDown : public ForceSumDialogTest, public ::testing::WithParamInterface<Closing> {};

TEST_P(CloseDown, RunsTheCleanUpOnceAndClosesThePlaneDialog)
{
    const Closing& c = GetParam();
    bridge->SetBrdgMode(c.nBridgeMode);
    CDlgLclDirForSum* dlg = Open();
    AfxDriver::Click(dlg, IDC_LDFS_ADD);
    CPVSDlgDefThreePointPlane* p = dlg->GetPlaneDialog();
    ASSERT_NE(p, nullptr);
    const HWND hPlane = p->m_hWnd;
    CString legend("line");
    CPVSLegendObjectUserDefMode::m_arLegendDesc.Add(legend);
    const size_t nCommands = AfxStandInMainWndCommands().size();
    const std::string how = c.pszHow;
    if (how == "escape")
        AfxDriver::PressKey(dlg, VK_ESCAPE);
    else if (how == "close")
        AfxDriver::Click(dlg, IDC_LDFS_CLOSE);
    else if (how == "hint7")
        CDBUpdateConnector::Broadcast(nullptr, 7, nullptr);
    else if (how == "hint32")
        CDBUpdateConnector::Broadcast(nullptr, 32, nullptr);
    else { // the plane dialog first, then the force-sum dialog
        AfxDriver::Click(p, IDC_THREEPT_CANCEL);
        EXPECT_EQ(dlg->GetPlaneDialog(), nullptr);
        AfxDriver::Click(dlg, IDC_LDFS_CLOSE);
    }
    EXPECT_EQ(CDlgLclDirForSum::m_pMySelf, nullptr) << "window destroyed and object freed";
    EXPECT_FALSE(IsWindow(hPlane));
    EXPECT_EQ(CPVSDlgDefThreePointPlane::m_pMySelf, nullptr);
    EXPECT_EQ(bridge->m_nCloseCalls, 1);
    EXPECT_EQ(bridge->m_nLastCloseArg, 0);
    ASSERT_EQ(AfxStandInMainWndCommands().size(), nCommands + 1);
    EXPECT_EQ(AfxStandInMainWndCommands().back().wParam, c.nCommand);
    EXPECT_EQ(CPVSLegendObjectUserDefMode::m_arLegendDesc.GetSize(), 0);
}

INSTANTIATE_TEST_SUITE_P(ForceSum, CloseDown,
                         ::testing::Values(Closing{"escape", "EscapeKey", 0, ID_MAINWND_CLOSE_DISPLAY},
                                           Closing{"close", "CloseButtonInBridgeMode1", 1, ID_MAINWND_CLOSE_DISPLAY_BRDGMODE},
                                           Closing{"hint7", "UpdateHint7", 0, ID_MAINWND_CLOSE_DISPLAY},
                                           Closing{"hint32", "UpdateHint32", 0, ID_MAINWND_CLOSE_DISPLAY},
                                           Closing{"plane first", "PlaneDialogFirst", 0, ID_MAINWND_CLOSE_DISPLAY}),
                         [](const ::testing::TestParamInfo<Closing>& i) { return std::string(i.param.pszName); });

TEST_F(ForceSumDialogTest, OtherHintsAreIgnored)
{
    CDlgLclDirForSum* dlg = Open();
    CDBUpdateConnector::Broadcast(nullptr, 4, nullptr);
    EXPECT_EQ(CDlgLclDirForSum::m_pMySelf, dlg);
    EXPECT_EQ(bridge->m_nCloseCalls, 0);
}

} // namespace
