// The flow-discharge dialog on a 2 x 2 x 2 block with a seepage velocity row: planes come from
// the origin-normal plane dialog (or the plane it last reported), are ticked and shown as
// display type 4 with the file-scope record. Closing either dialog first cleans up once.
#include "SeepageDialogFixtures.h"

#include "dialogs/CDlgFlowDiscWKVR.h"
#include "dialogs/DialogControlIds.h"
#include "dialogs/KVPVSDlgDefPlane.h"
#include "frame/IFactoryWPLPVSImpl.h"
#include "frame/IPvsDlgImpl.h"
#include "visualmethods/CPVSVisualMethodFlowDiscWKVR.h"

#include "DisplayRequired.h"
#include "PVSRendererBase.h"
#include "UserDefDisplayHost.h"
#include "afx_standin.h"

#include <vtkCommand.h>
#include <vtkImplicitPlaneWidget.h>

#include <gtest/gtest.h>

#include <array>
#include <vector>

using namespace kvpvs::test;

namespace {

using V3 = std::array<double, 3>;
V3 ToV3(const double* p) { return {p[0], p[1], p[2]}; }

class FlowDischargeDialog : public ::testing::Test {
protected:
    void SetUp() override
    {
        nVelocityRow = AddVelocityRow(s.m, 0.0, 0.0, -2.0);
        Win32ClearMessageBoxJournal();
        nLiveWindows = Win32LiveWindowCount();
    }
    void TearDown() override
    {
        if (CDlgFlowDiscWKVR::m_pMySelf)
            CDlgFlowDiscWKVR::m_pMySelf->DestroyWindow();
    }
    CDlgFlowDiscWKVR* Open()
    {
        CDlgFlowDiscWKVR::CreateOrActivate(&s.view);
        return CDlgFlowDiscWKVR::m_pMySelf;
    }
    static void AddNamed(CDlgFlowDiscWKVR* dlg, const char* pszName)
    {
        AfxDriver::SetText(dlg, IDC_FD_NAME, pszName);
        AfxDriver::Click(dlg, IDC_FD_ADD);
    }
    int Requests() const { return s.bridge->m_aRequests.GetSize(); }

    SeepageScene s;
    unsigned int nVelocityRow = 0;
    int nLiveWindows = 0;
};

TEST_F(FlowDischargeDialog, AddWithoutThePlaneDialogTakesTheXPlaneThroughTheOrigin)
{
    CDlgFlowDiscWKVR* dlg = Open();
    ASSERT_NE(dlg, nullptr);
    AfxDriver::Click(dlg, IDC_FD_ADD);
    ASSERT_EQ(dlg->GetPlaneCount(), 1);
    EXPECT_EQ(dlg->GetPlaneName(0), CString("Plane 1"));
    EXPECT_EQ(ToV3(dlg->GetPlane(0).dNormal), (V3{1, 0, 0}));
    EXPECT_EQ(ToV3(dlg->GetPlane(0).dOrigin), (V3{0, 0, 0}));
    AfxDriver::SetText(dlg, IDC_FD_NAME, "");
    AfxDriver::Click(dlg, IDC_FD_ADD);
    EXPECT_EQ(dlg->GetPlaneCount(), 1) << "an empty name adds nothing";
}

TEST_F(FlowDischargeDialog, PlaneDialogSuppliesThePlaneAndItsLastPlaneOutlivesIt)
{
    KVPVS_REQUIRE_DISPLAY();
    CDlgFlowDiscWKVR* dlg = Open();
    ASSERT_TRUE(AfxDriver::Click(dlg, IDC_FD_DEFINE));
    CKVPVSDlgDefPlane* plane = dlg->GetPlaneDialog();
    ASSERT_NE(plane, nullptr);
    EXPECT_EQ(plane->GetParent(), dlg);
    EXPECT_EQ(ToV3(plane->GetNormal()), (V3{1, 0, 0})) << "seeded with the last plane";
    EXPECT_EQ(ToV3(plane->GetOrigin()), (V3{0, 0, 0}));
    EXPECT_FALSE(plane->GetDlgItem(IDC_DEFPLANE_SHOW)->IsWindowVisible()) << "no-plot mode";

    AfxDriver::Click(dlg, IDC_FD_DEFINE);
    EXPECT_EQ(dlg->GetPlaneDialog(), plane) << "Define while it is open leaves it";

    AfxDriver::Click(plane, IDC_DEFPLANE_AXIS_Z);
    AfxDriver::SetText(plane, IDC_DEFPLANE_POS_Z, "0.5");
    AfxDriver::Click(plane, IDC_DEFPLANE_APPLY);
    AddNamed(dlg, "Z half");
    EXPECT_EQ(ToV3(dlg->GetPlane(0).dNormal), (V3{0, 0, 1}));
    EXPECT_EQ(ToV3(dlg->GetPlane(0).dOrigin), (V3{1, 1, 0.5}));

    AfxDriver::Click(plane, IDC_DEFPLANE_REVERSE);
    AfxDriver::SysCommand(plane, SC_CLOSE);
    EXPECT_EQ(dlg->GetPlaneDialog(), nullptr);
    AddNamed(dlg, "Z reversed");
    EXPECT_EQ(ToV3(dlg->GetPlane(1).dNormal), (V3{-0.0, -0.0, -1})) << "the plane it last reported";
    EXPECT_EQ(ToV3(dlg->GetPlane(1).dOrigin), (V3{1, 1, 0.5}));

    AfxDriver::Click(dlg, IDC_FD_DEFINE);
    plane = dlg->GetPlaneDialog();
    ASSERT_NE(plane, nullptr);
    EXPECT_EQ(ToV3(plane->GetNormal()), (V3{0, 0, -1})) << "reopened at the last plane";
    EXPECT_EQ(ToV3(plane->GetOrigin()), (V3{1, 1, 0.5}));
}

TEST_F(FlowDischargeDialog, DeletingTheFirstAndThirdOfFourKeepsTheSecondAndFourth)
{
    CDlgFlowDiscWKVR* dlg = Open();
    for (const char* name : {"A", "B", "C", "D"})
        AddNamed(dlg, name);
    AfxDriver::CheckItem(dlg, IDC_FD_LIST, 0, 1);
    AfxDriver::CheckItem(dlg, IDC_FD_LIST, 2, 1);
    AfxDriver::Click(dlg, IDC_FD_DELETE);
    ASSERT_EQ(dlg->GetPlaneCount(), 2);
    EXPECT_EQ(dlg->GetPlaneName(0), CString("B"));
    EXPECT_EQ(dlg->GetPlaneName(1), CString("D"));
    auto* list = static_cast<CCheckListBox*>(dlg->GetDlgItem(IDC_FD_LIST));
    ASSERT_EQ(list->GetCount(), 2);
    EXPECT_EQ(list->GetItemData(0), 0u);
    EXPECT_EQ(list->GetItemData(1), 1u);
    AfxDriver::Click(dlg, IDC_FD_DELETE);
    EXPECT_EQ(dlg->GetPlaneCount(), 2) << "nothing checked, nothing deleted";
}

TEST_F(FlowDischargeDialog, ShowFillsTheRecordWithTheCheckedPlanesInListOrder)
{
    KVPVS_REQUIRE_DISPLAY();
    CDlgFlowDiscWKVR* dlg = Open();
    AddNamed(dlg, "A");
    AfxDriver::Click(dlg, IDC_FD_DEFINE);
    CKVPVSDlgDefPlane* plane = dlg->GetPlaneDialog();
    AfxDriver::Click(plane, IDC_DEFPLANE_AXIS_Y);
    AfxDriver::Click(plane, IDC_DEFPLANE_APPLY);
    AddNamed(dlg, "B");
    AddNamed(dlg, "C");
    AfxDriver::Click(dlg, IDC_FD_SHOW);
    EXPECT_EQ(Requests(), 0) << "no plane checked";
    EXPECT_EQ(Win32MessageBoxCount(), 0);

    AfxDriver::CheckItem(dlg, IDC_FD_LIST, 2, 1);
    AfxDriver::CheckItem(dlg, IDC_FD_LIST, 0, 1);
    AfxDriver::SetText(dlg, IDC_FD_ARROW_SCALE, "2.5");
    AfxDriver::SetText(dlg, IDC_FD_VALUE_SCALE, "inf");
    AfxDriver::SetText(dlg, IDC_FD_DECIMAL, "3");
    AfxDriver::Check(dlg, IDC_FD_EXPONENTIAL, 1);
    AfxDriver::Click(dlg, IDC_FD_SHOW);
    ASSERT_EQ(Requests(), 1);
    EXPECT_EQ(s.bridge->m_aRequests[0].nVDType, 4u);
    EXPECT_EQ(s.bridge->m_aRequests[0].pUserData, &CDlgFlowDiscWKVR::DefaultRecord());
    const T_VD_FLOWDISC_WPLKVR_D& r = CDlgFlowDiscWKVR::DefaultRecord();
    EXPECT_EQ(r.nPVtifK, nVelocityRow);
    ASSERT_EQ(r.aPlane.GetSize(), 2);
    EXPECT_EQ(ToV3(r.aPlane[0].dNormal), (V3{1, 0, 0}));
    EXPECT_EQ(ToV3(r.aPlane[1].dNormal), (V3{0, 1, 0}));
    EXPECT_EQ(ToV3(r.aPlane[1].dOrigin), (V3{1, 1, 1}));
    EXPECT_EQ(r.nColor1, 0xFFFFFF);
    EXPECT_EQ(r.nSectColor, 0x0000FF);
    EXPECT_EQ(r.nArrowColor, 0x00FFFF);
    EXPECT_EQ(r.dArrowScale, 2.5);
    EXPECT_EQ(r.dFactor2, 1.0) << "no finite number: reset value";
    EXPECT_EQ(r.nWholeNumber, 3);
    EXPECT_EQ(r.nOption, 1);
}

TEST_F(FlowDischargeDialog, StepWithoutRowsSaysSoEvenWithNoPlaneChecked)
{
    CDBBase* pPost = s.m.doc.GetPostDB();
    T_PLSIF_D empty;
    empty.nOsifK = 1;
    empty.strName = "Empty";
    CClassPLsif(pPost).Set(2, empty);
    T_PLSIF_D quantity;
    quantity.nOsifK = 1;
    quantity.strName = "Discharge only";
    CClassPLsif(pPost).Set(3, quantity);
    AddNodeRow(s.m, "Discharge", kClassNodeSeepage, 3, [](unsigned int, const double*) { return std::vector<double>{1.0}; }, 3);
    CDlgFlowDiscWKVR* dlg = Open();
    AfxDriver::Select(dlg, IDC_FD_STEP, 1);
    AfxDriver::Click(dlg, IDC_FD_SHOW);
    ASSERT_EQ(Win32MessageBoxCount(), 1);
    EXPECT_STREQ(Win32MessageBoxAt(0)->pszText, "[Error] No result exist in current step");
    AddNamed(dlg, "A");
    AfxDriver::CheckItem(dlg, IDC_FD_LIST, 0, 1);
    AfxDriver::Select(dlg, IDC_FD_STEP, 2);
    AfxDriver::Click(dlg, IDC_FD_SHOW);
    ASSERT_EQ(Win32MessageBoxCount(), 2);
    EXPECT_STREQ(Win32MessageBoxAt(1)->pszText, "[Error] No node flow velocity exist in current step");
    EXPECT_EQ(Requests(), 0);
}

// Each order of closing: the plane dialog's report arrives once, the bridge's close-time
// operation runs once, and no window is left.
class FlowDischargeClosing : public FlowDischargeDialog, public ::testing::WithParamInterface<bool> {};

TEST_P(FlowDischargeClosing, CleansUpOnceInEitherOrder)
{
    KVPVS_REQUIRE_DISPLAY();
    const bool bPlaneFirst = GetParam();
    CDlgFlowDiscWKVR* dlg = Open();
    AfxDriver::Click(dlg, IDC_FD_DEFINE);
    CKVPVSDlgDefPlane* plane = dlg->GetPlaneDialog();
    ASSERT_NE(plane, nullptr);
    AfxDriver::Click(plane, IDC_DEFPLANE_AXIS_Y);
    AfxDriver::Click(plane, IDC_DEFPLANE_APPLY);
    const int nClose = s.bridge->m_nCloseCalls;
    if (bPlaneFirst) {
        AfxDriver::SysCommand(plane, SC_CLOSE);
        EXPECT_EQ(ToV3(dlg->GetLastNormal()), (V3{0, 1, 0}));
        EXPECT_EQ(s.bridge->m_nCloseCalls, nClose);
    }
    AfxDriver::Click(dlg, IDC_FD_CLOSE);
    EXPECT_EQ(CDlgFlowDiscWKVR::m_pMySelf, nullptr);
    EXPECT_EQ(CKVPVSDlgDefPlane::m_pMySelf, nullptr);
    EXPECT_EQ(s.bridge->m_nCloseCalls, nClose + 1);
    EXPECT_EQ(Win32LiveWindowCount(), nLiveWindows);
}

INSTANTIATE_TEST_SUITE_P(Order, FlowDischargeClosing, ::testing::Bool(),
                         [](const ::testing::TestParamInfo<bool>& i) {
                             return std::string(i.param ? "PlaneDialogFirst" : "DischargeDialogFirst");
                         });

// One plane dialog from the plane-dialog interface and one from the discharge dialog live side
// by side, each with its own plane, and close in either order (the build with AddressSanitizer
// checks that neither frees the other's plane or widget).
int g_frameDestroys = 0;
V3 g_frameNormal;
void FrameDraw(double*, double*, int) {}
void FrameDestroyed(double* n, double*)
{
    ++g_frameDestroys;
    g_frameNormal = ToV3(n);
}

class PlaneDialogsOfTwoOpeners : public FlowDischargeDialog, public ::testing::WithParamInterface<bool> {};

TEST_P(PlaneDialogsOfTwoOpeners, EachOwnsItsPlaneAndClosesInEitherOrder)
{
    KVPVS_REQUIRE_DISPLAY();
    g_frameDestroys = 0;
    T_PVIST_PLNE_D framePlane;
    framePlane.dOrigin[0] = framePlane.dOrigin[1] = framePlane.dOrigin[2] = 0.5;
    framePlane.dNormal[2] = 1.0;
    CDialog* pFrameDlg = nullptr;
    ASSERT_EQ(IPvsDlg::Instance()->DoModelessPVSDefPlane3D(&pFrameDlg, framePlane, (void*)&FrameDraw, (void*)&FrameDestroyed, 0), 1);
    const HWND hFrame = pFrameDlg->m_hWnd;
    auto* frameDlg = static_cast<CKVPVSDlgDefPlane*>(pFrameDlg);

    CDlgFlowDiscWKVR* dlg = Open();
    AfxDriver::Click(dlg, IDC_FD_DEFINE);
    CKVPVSDlgDefPlane* discDlg = dlg->GetPlaneDialog();
    ASSERT_NE(discDlg, nullptr);
    AfxDriver::Click(discDlg, IDC_DEFPLANE_REVERSE);
    EXPECT_EQ(ToV3(frameDlg->GetNormal()), (V3{0, 0, 1}));
    EXPECT_EQ(ToV3(discDlg->GetNormal()), (V3{-1, 9e-06, 0}));

    if (GetParam()) {
        DestroyWindow(hFrame);
        EXPECT_EQ(ToV3(discDlg->GetNormal()), (V3{-1, 9e-06, 0}));
        AfxDriver::Click(dlg, IDC_FD_CLOSE);
    } else {
        AfxDriver::Click(dlg, IDC_FD_CLOSE);
        EXPECT_EQ(ToV3(frameDlg->GetNormal()), (V3{0, 0, 1}));
        frameDlg->GetWidget()->InvokeEvent(vtkCommand::EndInteractionEvent);
        DestroyWindow(hFrame);
    }
    EXPECT_EQ(g_frameDestroys, 1);
    EXPECT_EQ(g_frameNormal, (V3{0, 0, 1}));
    EXPECT_EQ(CKVPVSDlgDefPlane::m_pMySelf, nullptr);
    EXPECT_EQ(Win32LiveWindowCount(), nLiveWindows);
}

INSTANTIATE_TEST_SUITE_P(Order, PlaneDialogsOfTwoOpeners, ::testing::Bool(),
                         [](const ::testing::TestParamInfo<bool>& i) {
                             return std::string(i.param ? "InterfaceDialogFirst" : "DischargeDialogFirst");
                         });

} // namespace

namespace {

// The other edition's factory alone offers the display. Velocity (0, 0, -2) through the plane
// z = 1 of the 2 x 2 block: area 4 times v.n = -8.
TEST_F(FlowDischargeDialog, CheckedPlanesAreShownAsAFlowDischargeDisplay)
{
    KVPVS_REQUIRE_DISPLAY();
    IFactoryWPLPVSImpl edition;
    CPVSRendererRecorder renderer;
    kvpvs::host::CUserDefDisplayHost host(&renderer);
    host.Install(*s.bridge);
    CDlgFlowDiscWKVR* dlg = Open();
    AfxDriver::Click(dlg, IDC_FD_DEFINE);
    CKVPVSDlgDefPlane* plane = dlg->GetPlaneDialog();
    AfxDriver::Click(plane, IDC_DEFPLANE_AXIS_Z);
    AfxDriver::Click(plane, IDC_DEFPLANE_APPLY);
    AddNamed(dlg, "Z middle");
    AfxDriver::CheckItem(dlg, IDC_FD_LIST, 0, 1);
    AfxDriver::Click(dlg, IDC_FD_SHOW);
    EXPECT_EQ(host.GetShownCount(), 1);
    auto* pVM = dynamic_cast<CPVSVisualMethodFlowDiscWKVR*>(host.GetMethod());
    ASSERT_NE(pVM, nullptr);
    ASSERT_EQ(pVM->m_aDischarge.GetSize(), 1);
    EXPECT_NEAR(pVM->m_aDischarge[0], -8.0, 1e-12);
    AfxDriver::Click(dlg, IDC_FD_CLOSE);
    kvpvs::host::CUserDefDisplayHost::Uninstall(*s.bridge);
}

} // namespace
