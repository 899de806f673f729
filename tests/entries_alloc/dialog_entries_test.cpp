// The dialogs' entries with each allocation failing in turn, and an Open CASCADE failure in the
// three-point plane dialog: the opener leaves no dialog and nothing displayed, a handler leaves
// the dialog's planes, lists, settings record and preview as they were and asks for no display;
// once nothing fails, each does what it does without the failure.
#include "sweep.h"

#include "dialogs/CDlgHistoryGrphTKVR.h"
#include "dialogs/CDlgLclDirForSum.h"
#include "dialogs/CPVSDlgDefThreePointPlane.h"
#include "dialogs/DialogControlIds.h"

#include "ThisInfo.h"
#include "PVSMeshMngrBrdg.h"
#include "afx_standin.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

namespace {

using entries_test::SweepAllocations;

// What a user sees of a list: each entry's text, data and tick.
std::vector<std::string> Entries(CWnd* pDlg, UINT nID)
{
    std::vector<std::string> v;
    if (auto* l = dynamic_cast<CCheckListBox*>(pDlg->GetDlgItem(nID)))
        for (int i = 0; i < l->GetCount(); ++i) {
            CString s;
            l->GetText(i, s);
            v.push_back(std::string(s) + "|" + std::to_string(l->GetItemData(i)) + "|" + std::to_string(l->GetCheck(i)));
        }
    if (auto* c = dynamic_cast<CComboBox*>(pDlg->GetDlgItem(nID))) {
        for (int i = 0; i < c->GetCount(); ++i) {
            CString s;
            c->GetLBText(i, s);
            v.push_back(std::string(s) + "|" + std::to_string(c->GetItemData(i)));
        }
        v.push_back("selected " + std::to_string(c->GetCurSel()));
    }
    return v;
}

// ---- the force-sum dialog -----------------------------------------------------------------
constexpr unsigned int kStep = 10;

class ForceSumDialogEntries : public ::testing::Test {
protected:
    void SetUp() override
    {
        CZORDocBase::SetCurDoc(&doc);
        bridge = std::make_unique<CPVSMeshMngrBrdg>();
        view.CreateWindowCore(nullptr);
        bridge->SetWnd(&view);
        doc.SetActiveView(&view);
        CClassPOsif(doc.GetPostDB()).Set(1, T_POSIF_D{"LC1"});
        T_PLSIF_D step;
        step.nOsifK = 1;
        step.strName = "Step 1";
        CClassPLsif(doc.GetPostDB()).Set(kStep, step);
        for (unsigned int c = 141; c <= 146; ++c) {
            T_PVTIF_D r;
            r.nItem = c;
            r.nStepK = kStep;
            CClassPVtif(doc.GetPostDB()).Set(c, r);
        }
        CClassLdfs::SetRefuse(FALSE);
        Win32ClearMessageBoxJournal();
    }
    void TearDown() override
    {
        if (CDlgLclDirForSum::m_pMySelf)
            CDlgLclDirForSum::m_pMySelf->DestroyWindow();
        bridge.reset();
        view.DestroyWindow();
        CZORDocBase::SetCurDoc(nullptr);
    }
    // A solid plane through (0,0,z), (1,0,z), (0,1,z), stored without a transaction.
    void StorePlane(unsigned int nKey, const char* pszName, double z)
    {
        T_LDFS_D row;
        row.strName = pszName;
        row.dP1[2] = row.dP2[2] = row.dP3[2] = z;
        row.dP2[0] = 1.0;
        row.dP3[1] = 1.0;
        CClassLdfs(doc.GetModelDB()).Set(nKey, row);
    }
    int Requests() const { return bridge->m_aRequests.GetSize(); }
    // Displays asked for and not closed again.
    int Showing() const { return Requests() - bridge->m_nCloseCalls; }

    CDBDoc doc;
    CView view;
    std::unique_ptr<CPVSMeshMngrBrdg> bridge;
};

TEST_F(ForceSumDialogEntries, OpeningLeavesNoDialogAndNoDisplayWhileAnAllocationFails)
{
    StorePlane(1, "a plane named beyond a short string's room", 0.0);
    AfxGetMainWnd(); // the host's main window stands before the module is asked
    const int nWindows = Win32LiveWindowCount();
    const int nShowing = Showing();
    const long long n = SweepAllocations([&] { CDlgLclDirForSum::CreateOrActivate(&view); },
                                         [&](long long) {
                                             EXPECT_EQ(CDlgLclDirForSum::m_pMySelf, nullptr);
                                             EXPECT_EQ(Win32LiveWindowCount(), nWindows);
                                             EXPECT_EQ(Showing(), nShowing) << "a display asked for is closed again";
                                         });
    EXPECT_GT(n, 0);
    CDlgLclDirForSum* dlg = CDlgLclDirForSum::m_pMySelf;
    ASSERT_NE(dlg, nullptr);
    EXPECT_EQ(dlg->GetPlaneCount(), 1);
    EXPECT_EQ(Showing(), nShowing + 1);
}

TEST_F(ForceSumDialogEntries, ShowAsksForNoDisplayAndKeepsTheRecordWhileAnAllocationFails)
{
    StorePlane(1, "first plane, named beyond a short string's room", 0.0);
    StorePlane(2, "second plane, named beyond a short string's room", 5.0);
    CDlgLclDirForSum::CreateOrActivate(&view);
    CDlgLclDirForSum* dlg = CDlgLclDirForSum::m_pMySelf;
    ASSERT_NE(dlg, nullptr);
    ASSERT_EQ(dlg->GetPlaneCount(), 2);
    AfxDriver::CheckItem(dlg, IDC_LDFS_LIST, 0, 1);
    AfxDriver::CheckItem(dlg, IDC_LDFS_LIST, 1, 1);
    const int nRequests = Requests();
    const T_VD_LCLDIRSUM_HOB_D& rec = CDlgLclDirForSum::DefaultRecord();
    ASSERT_EQ(rec.aPlane.GetSize(), 0) << "the record of the empty display";
    const int nCompCount = rec.nCompCount;
    SweepAllocations([&] { AfxDriver::Click(dlg, IDC_LDFS_SHOW); },
                     [&](long long) {
                         EXPECT_EQ(Requests(), nRequests);
                         EXPECT_EQ(rec.aPlane.GetSize(), 0);
                         EXPECT_EQ(rec.aAxis.GetSize(), 0);
                         EXPECT_EQ(rec.nCompCount, nCompCount);
                         EXPECT_EQ(Win32MessageBoxCount(), 0);
                     });
    ASSERT_EQ(Requests(), nRequests + 1);
    ASSERT_EQ(rec.aAxis.GetSize(), 2);
    EXPECT_STREQ(rec.aAxis[1].strName, "second plane, named beyond a short string's room");
    EXPECT_EQ(rec.nCompCount, 6);
}

TEST_F(ForceSumDialogEntries, AChangeHintKeepsTheListedPlanesWhileAnAllocationFails)
{
    StorePlane(1, "first plane, named beyond a short string's room", 0.0);
    CDlgLclDirForSum::CreateOrActivate(&view);
    CDlgLclDirForSum* dlg = CDlgLclDirForSum::m_pMySelf;
    ASSERT_NE(dlg, nullptr);
    AfxDriver::CheckItem(dlg, IDC_LDFS_LIST, 0, 1);
    const std::vector<std::string> listed = Entries(dlg, IDC_LDFS_LIST);
    StorePlane(2, "second plane, named beyond a short string's room", 5.0);
    CDBChangeHint* hint = CClassLdfs::HintOf(doc.GetModelDB());
    hint->m_aViewBuffer = {T_DB_CMD_RECORD_D{CClassLdfs::UR_LDFS_ADD, 2}};
    SweepAllocations([&] { dlg->OnUpdate(nullptr, 3, hint); },
                     [&](long long) {
                         EXPECT_EQ(dlg->GetPlaneCount(), 1);
                         EXPECT_EQ(Entries(dlg, IDC_LDFS_LIST), listed) << "texts, keys and ticks";
                     });
    EXPECT_EQ(dlg->GetPlaneCount(), 2);
    EXPECT_DOUBLE_EQ(dlg->GetCuttingPlane(1).dOrigin[2], 5.0);
}

// ---- the three-point plane dialog ----------------------------------------------------------
class ThreePointPlaneEntries : public ::testing::Test {
protected:
    void SetUp() override
    {
        CZORDocBase::SetCurDoc(&doc);
        dlg = new CPVSDlgDefThreePointPlane(&doc, nullptr);
        ASSERT_TRUE(dlg->Create(nullptr));
        hDlg = dlg->m_hWnd;
        ASSERT_TRUE(AfxDriver::Focus(dlg, IDC_THREEPT_PNT1));
    }
    void TearDown() override
    {
        if (IsWindow(hDlg))
            dlg->DestroyWindow();
        CZORDocBase::SetCurDoc(nullptr);
    }
    BOOL Pick(double x, double y, double z) { return dlg->GetEventHandler()->Pick(gp_Pnt(x, y, z)); }
    int Shapes() const { return CAISContext::Of(const_cast<CDBDoc*>(&doc))->GetTempShapeCount(); }
    std::string Point(int n) const
    {
        return std::string(AfxDriver::GetText(dlg, n == 1 ? IDC_THREEPT_PNT1 : n == 2 ? IDC_THREEPT_PNT2 : IDC_THREEPT_PNT3));
    }

    CDBDoc doc;
    CPVSDlgDefThreePointPlane* dlg = nullptr;
    HWND hDlg = nullptr;
};

TEST_F(ThreePointPlaneEntries, TheThirdPickPreviewsNothingAndKeepsThePointWhileAnAllocationFails)
{
    ASSERT_TRUE(Pick(0, 0, 0));
    ASSERT_TRUE(Pick(1, 0, 0));
    ASSERT_EQ(dlg->GetCurPoint(), 3);
    ASSERT_EQ(Shapes(), 0);
    const std::string before = Point(3);
    SweepAllocations([&] { Pick(0, 1, 0); },
                     [&](long long) {
                         EXPECT_EQ(Shapes(), 0) << "no part of the preview is drawn";
                         EXPECT_EQ(Point(3), before);
                         EXPECT_EQ(dlg->GetCurPoint(), 3) << "the next pick tries again";
                     });
    EXPECT_EQ(Shapes(), 5) << "three axes, the two sides and the three points";
    EXPECT_EQ(Point(3), "0, 1, 0");
}

// Points a distance apart that overflows: Open CASCADE refuses the side from P1 to P2
// (its builder's "command not done") after the axes were made.
TEST_F(ThreePointPlaneEntries, AnOpenCascadeFailureInThePickPreviewsNothing)
{
    ASSERT_TRUE(Pick(1e308, 0, 0));
    ASSERT_TRUE(Pick(-1e308, 0, 0));
    const std::string before = Point(3);
    Pick(0, 1, 0);
    EXPECT_EQ(Shapes(), 0);
    EXPECT_EQ(Point(3), before);
    EXPECT_TRUE(IsWindow(hDlg));
}

TEST_F(ThreePointPlaneEntries, AnOpenCascadeFailureInTheElementTypeHandlerKeepsTheTypeAndPreview)
{
    ASSERT_TRUE(Pick(0, 0, 0));
    ASSERT_TRUE(Pick(1, 0, 0));
    ASSERT_TRUE(Pick(0, 1, 0));
    ASSERT_EQ(Shapes(), 5);
    const int bForPlate = dlg->GetForPlate();
    const TopoDS_Shape axis = CAISContext::Of(&doc)->GetTempShape(1)->shape;
    AfxDriver::SetText(dlg, IDC_THREEPT_PNT1, "1e308, 0, 0");
    AfxDriver::SetText(dlg, IDC_THREEPT_PNT2, "-1e308, 0, 0");
    ASSERT_TRUE(AfxDriver::Click(dlg, bForPlate ? IDC_THREEPT_SOLID : IDC_THREEPT_PLATE));
    EXPECT_EQ(dlg->GetForPlate(), bForPlate);
    ASSERT_EQ(Shapes(), 5);
    EXPECT_TRUE(CAISContext::Of(&doc)->GetTempShape(1)->shape.IsSame(axis)) << "the old preview stays";
    EXPECT_TRUE(IsWindow(hDlg));
}

// ---- the history-graph dialog ---------------------------------------------------------------
class HistoryGraphEntries : public ::testing::Test {
protected:
    void SetUp() override
    {
        CZORDocBase::SetCurDoc(&doc);
        view.CreateWindowCore(nullptr);
        doc.SetActiveView(&view);
        CDBTransaction::SetRefuse(FALSE);
    }
    void TearDown() override
    {
        if (CDlgHistoryGrphTKVR::m_pMySelf)
            CDlgHistoryGrphTKVR::m_pMySelf->DestroyWindow();
        view.DestroyWindow();
        CZORDocBase::SetCurDoc(nullptr);
    }
    unsigned int Store(const char* pszName)
    {
        T_THRD_D f;
        f.strName = pszName;
        return CClassThrd(doc.GetModelDB()).Add(f);
    }
    CDlgHistoryGrphTKVR* Open()
    {
        CDlgHistoryGrphTKVR::CreateOrActivate(&view);
        return CDlgHistoryGrphTKVR::m_pMySelf;
    }
    std::vector<std::vector<std::string>> Lists(CWnd* p)
    {
        return {Entries(p, IDC_HGRPH_FUNC_LIST), Entries(p, IDC_HGRPH_PLOT_LIST), Entries(p, IDC_HGRPH_XAXIS)};
    }

    CDBDoc doc;
    CView view;
};

TEST_F(HistoryGraphEntries, AReloadKeepsAllThreeListsWhileAnAllocationFails)
{
    const unsigned a = Store("displacement of the first node, a long name");
    const unsigned b = Store("force of the first truss, a long name");
    CDlgHistoryGrphTKVR* dlg = Open();
    ASSERT_NE(dlg, nullptr);
    AfxDriver::CheckItem(dlg, IDC_HGRPH_FUNC_LIST, 0, 1);
    AfxDriver::CheckItem(dlg, IDC_HGRPH_FUNC_LIST, 1, 1);
    ASSERT_TRUE(AfxDriver::Click(dlg, IDC_HGRPH_ADD));
    AfxDriver::CheckItem(dlg, IDC_HGRPH_PLOT_LIST, 1, 1);
    AfxDriver::Select(dlg, IDC_HGRPH_XAXIS, 2);
    const auto before = Lists(dlg);
    ASSERT_EQ(before[1].size(), 2u);

    // The first function is deleted in the host and a third one stored.
    CClassThrd(doc.GetModelDB()).Delete(a);
    const unsigned c = Store("acceleration of the second node, a long name");
    CDBChangeHint* hint = CClassThrd::HintOf(doc.GetModelDB());
    hint->m_aViewBuffer = {T_DB_CMD_RECORD_D{CClassThrd::UR_THRD_DEL, a}, T_DB_CMD_RECORD_D{CClassThrd::UR_THRD_ADD, c}};
    SweepAllocations([&] { dlg->OnUpdate(nullptr, 3, hint); }, [&](long long) { EXPECT_EQ(Lists(dlg), before); });
    const auto after = Lists(dlg);
    EXPECT_EQ(after[0].size(), 2u);
    ASSERT_EQ(after[1].size(), 1u);
    EXPECT_EQ(after[1][0], "force of the first truss, a long name|" + std::to_string(b) + "|1");
    EXPECT_EQ(after[2].back(), "selected 0");
}

TEST_F(HistoryGraphEntries, AddAndDeleteKeepThePlotListWhileAnAllocationFails)
{
    Store("displacement of the first node, a long name");
    Store("force of the first truss, a long name");
    CDlgHistoryGrphTKVR* dlg = Open();
    ASSERT_NE(dlg, nullptr);
    AfxDriver::CheckItem(dlg, IDC_HGRPH_FUNC_LIST, 1, 1);
    ASSERT_TRUE(AfxDriver::Click(dlg, IDC_HGRPH_ADD));
    AfxDriver::CheckItem(dlg, IDC_HGRPH_PLOT_LIST, 0, 1);
    AfxDriver::CheckItem(dlg, IDC_HGRPH_FUNC_LIST, 0, 1);
    auto before = Entries(dlg, IDC_HGRPH_PLOT_LIST);
    SweepAllocations([&] { AfxDriver::Click(dlg, IDC_HGRPH_ADD); },
                     [&](long long) { EXPECT_EQ(Entries(dlg, IDC_HGRPH_PLOT_LIST), before); });
    ASSERT_EQ(Entries(dlg, IDC_HGRPH_PLOT_LIST).size(), 2u);

    before = Entries(dlg, IDC_HGRPH_PLOT_LIST);
    SweepAllocations([&] { AfxDriver::Click(dlg, IDC_HGRPH_DELETE); },
                     [&](long long) { EXPECT_EQ(Entries(dlg, IDC_HGRPH_PLOT_LIST), before); });
    const auto kept = Entries(dlg, IDC_HGRPH_PLOT_LIST);
    ASSERT_EQ(kept.size(), 1u);
    EXPECT_EQ(kept[0].substr(0, 12), "displacement");
}

} // namespace
