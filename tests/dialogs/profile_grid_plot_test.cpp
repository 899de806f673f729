// The profile-grid plot dialog over a 4 x 4 x 4 box of hexahedra whose settlement row is linear
// (DZ = -0.01 - 0.002 x - 0.001 y), lengths shown in output units 2.5 times the model's: lines
// are chosen per grid, the display is asked for through the document, the tables come from a
// throwaway display pair, and the curve fit gets the index-line table's points.
#include "ProfileGridFixtures.h"
#include "UserDefDisplayHost.h"

#include "dialogs/CDlgProfileGridPlot.h"
#include "dialogs/DialogControlIds.h"

#include "GraphWnd.h"
#include "GraphWnd_standin.h"
#include "afx_standin.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>

using namespace kvpvs::test;

namespace {

constexpr double kOut = 2.5;

class ProfileGridPlotDialog : public ::testing::Test {
protected:
    void SetUp() override
    {
        m.Unit()->SetFactor(1, kOut);
        m.BuildBlock(MeshKind::Box, 4, 4, 4, 1.0);
        f.a = -0.01;
        f.g = {-0.002, -0.001, 0.0};
        f.u0 = {0.0, 0.0, -0.01};
        nRowK = m.AddNodeRow(f, 3, "DZ");
        // Grid A: x 0.5 to 3.5 in 4, y 0.5 to 3.5 in 3 at z = 2; grid B: one cell.
        nGridA = m.AddGrid("A", {0.5, 0.5, 2.0}, {3.5, 0.5, 2.0}, {0.5, 3.5, 2.0}, 4, 3);
        nGridB = m.AddGrid("B", {1.0, 1.0, 1.0}, {2.0, 1.0, 1.0}, {1.0, 2.0, 1.0}, 1, 1);
        view.CreateWindowCore(nullptr);
        m.doc.SetActiveView(&view);
        AfxDriver::ClearModalScript();
        Win32ClearMessageBoxJournal();
    }
    void TearDown() override
    {
        if (CDlgProfileGridPlot::m_pMySelf)
            CDlgProfileGridPlot::m_pMySelf->DestroyWindow();
        AfxDriver::ClearModalScript();
        view.DestroyWindow();
    }
    CDlgProfileGridPlot* Open()
    {
        CDlgProfileGridPlot::CreateOrActivate(&view);
        return CDlgProfileGridPlot::m_pMySelf;
    }
    // X (axis 0) or Y (axis 1) index line nIndex with a division text.
    void AddLine(CDlgProfileGridPlot* d, int nAxis, int nIndex, const char* pszDiv)
    {
        AfxDriver::Click(d, nAxis == 0 ? IDC_PGPLOT_AXIS_X : IDC_PGPLOT_AXIS_Y);
        AfxDriver::Select(d, nAxis == 0 ? IDC_PGPLOT_XINDEX : IDC_PGPLOT_YINDEX, nIndex);
        AfxDriver::SetText(d, nAxis == 0 ? IDC_PGPLOT_XDIV : IDC_PGPLOT_YDIV, pszDiv);
        ASSERT_TRUE(AfxDriver::Click(d, IDC_PGPLOT_ADD));
    }
    static CListBox* Lines(CDlgProfileGridPlot* d) { return dynamic_cast<CListBox*>(d->GetDlgItem(IDC_PGPLOT_LINES)); }

    ProfileGridModel m;
    LinearField f;
    unsigned int nRowK = 0, nGridA = 0, nGridB = 0;
    CView view;
};

TEST_F(ProfileGridPlotDialog, LinesAreListedPerGridAndEnableTheCurveFit)
{
    CDlgProfileGridPlot* d = Open();
    ASSERT_NE(d, nullptr);
    EXPECT_FALSE(d->GetDlgItem(IDC_PGPLOT_CURVE_FIT)->IsWindowEnabled()) << "no line chosen yet";
    AddLine(d, 0, 2, "8");
    ASSERT_EQ(Lines(d)->GetCount(), 1);
    CString s;
    Lines(d)->GetText(0, s);
    // X index 3 lies 1.5 model units from the lower-left corner: 3.75 output units.
    EXPECT_STREQ(s.GetString(), "X Index:3(3.750e+00) , Div:8");
    EXPECT_TRUE(d->GetDlgItem(IDC_PGPLOT_CURVE_FIT)->IsWindowEnabled());
    AddLine(d, 1, 1, "5");
    Lines(d)->GetText(1, s);
    EXPECT_STREQ(s.GetString(), "Y Index:2(2.500e+00) , Div:5");

    // Grid B has no lines; back on A its two lines return.
    AfxDriver::Select(d, IDC_PGPLOT_GRID, 1);
    EXPECT_EQ(Lines(d)->GetCount(), 0);
    EXPECT_FALSE(d->GetDlgItem(IDC_PGPLOT_CURVE_FIT)->IsWindowEnabled());
    AfxDriver::Select(d, IDC_PGPLOT_GRID, 0);
    EXPECT_EQ(Lines(d)->GetCount(), 2);

    AfxDriver::CheckItem(d, IDC_PGPLOT_LINES, 0, 1);
    ASSERT_TRUE(AfxDriver::Click(d, IDC_PGPLOT_DELETE));
    ASSERT_EQ(Lines(d)->GetCount(), 1);
    Lines(d)->GetText(0, s);
    EXPECT_EQ(std::string(s.GetString()).rfind("Y Index:2", 0), 0u);
}

TEST_F(ProfileGridPlotDialog, ShowSendsTheRecordAndDynamicDisplayFollowsTheComponent)
{
    CDlgProfileGridPlot* d = Open();
    AddLine(d, 0, 1, "4");
    m.doc.m_aDisplayRequests.clear();
    ASSERT_TRUE(AfxDriver::Click(d, IDC_PGPLOT_SHOW));
    ASSERT_EQ(m.doc.m_aDisplayRequests.size(), 1u);
    EXPECT_EQ(m.doc.m_aDisplayRequests[0].nVDType, 5u);
    const T_VD_PROFGRID_D& rec = CDlgProfileGridPlot::DefaultRecord();
    EXPECT_EQ(m.doc.m_aDisplayRequests[0].pUserData, &rec);
    EXPECT_EQ(rec.nPVtifK, nRowK);
    EXPECT_EQ(rec.nSpfgK, nGridA);
    EXPECT_EQ(rec.bBandContour, 1);
    EXPECT_EQ(rec.bArea, 1);
    EXPECT_EQ(rec.bLengthUnit, 1) << "item 3 is a translation";
    EXPECT_EQ(rec.GridIdx.aIdx.GetSize(), 0) << "no line is checked";

    AfxDriver::CheckItem(d, IDC_PGPLOT_LINES, 0, 1);
    AfxDriver::Select(d, IDC_PGPLOT_COMPONENT, 0);
    ASSERT_EQ(m.doc.m_aDisplayRequests.size(), 2u) << "dynamic display shows at once";
    ASSERT_EQ(rec.GridIdx.aIdx.GetSize(), 1);
    EXPECT_EQ(rec.GridIdx.aIdx[0].nGridIndex, 1);
    EXPECT_EQ(rec.GridIdx.aIdx[0].nDivision, 4);

    AfxDriver::Check(d, IDC_PGPLOT_DYNAMIC, 0);
    AfxDriver::Select(d, IDC_PGPLOT_COMPONENT, 0);
    EXPECT_EQ(m.doc.m_aDisplayRequests.size(), 2u);
}

TEST_F(ProfileGridPlotDialog, CurveFitTakesItsPointsFromTheLineTable)
{
    CDlgProfileGridPlot* d = Open();
    ASSERT_TRUE(AfxDriver::Click(d, IDC_PGPLOT_CURVE_FIT) == FALSE) << "disabled without lines";
    AddLine(d, 1, 2, "6"); // Y line 3 at y = 2.5, x from 0.5 to 3.5
    Lines(d)->SetCurSel(-1);
    AfxDriver::Click(d, IDC_PGPLOT_CURVE_FIT);
    ASSERT_EQ(Win32MessageBoxCount(), 1);
    EXPECT_STREQ(Win32MessageBoxAt(0)->pszText, "No Selected Grid Index");

    AfxDriver::Select(d, IDC_PGPLOT_LINES, 0);
    std::vector<T_GRPH_D> pts;
    std::string title;
    AfxDriver::ScriptModal([&](CDialog* c) {
        std::vector<CGraphWnd*> g = GraphWndStandIn::FindIn(c);
        if (!g.empty())
            pts = GraphWndStandIn::Data(*g.front());
        title = AfxDriver::GetText(c, IDC_CURVEFIT_TITLE).str();
        c->EndDialog(IDCANCEL);
    });
    ASSERT_TRUE(AfxDriver::Click(d, IDC_PGPLOT_CURVE_FIT));
    EXPECT_EQ(title, "Y Index:3(5.000e+00) , Div:6");
    ASSERT_EQ(pts.size(), 7u);
    for (int k = 0; k <= 6; ++k) {
        const double p[3] = {0.5 + 0.5 * k, 2.5, 2.0};
        EXPECT_NEAR(pts[static_cast<size_t>(k)].dX, kOut * 0.5 * k, 1e-9) << "distance in output units";
        EXPECT_NEAR(pts[static_cast<size_t>(k)].dY, f.Value(p), 1e-12);
    }
    EXPECT_TRUE(ICustomPostDB::Instance()->m_aShown.empty()) << "the tables of a curve fit are not opened";
}

TEST_F(ProfileGridPlotDialog, DeletedGridLosesItsLinesOnTheDatabaseChange)
{
    CDlgProfileGridPlot* d = Open();
    AfxDriver::Select(d, IDC_PGPLOT_GRID, 1);
    AddLine(d, 0, 1, "3");
    AfxDriver::Select(d, IDC_PGPLOT_GRID, 0);
    AddLine(d, 0, 0, "3");
    CClassSpfg spfg(m.doc.GetModelDB());
    CArray<unsigned int, unsigned int> keys;
    keys.Add(nGridB);
    ASSERT_TRUE(spfg.TR_Del(keys));
    const T_UPDATE_HINT_D& h = m.doc.GetUpdateHints()[m.doc.GetUpdateHints().GetSize() - 1];
    ASSERT_EQ(h.lHint, 3);
    EXPECT_EQ(d->GetChosenLines(nGridB).aIdx.GetSize(), 1) << "nothing changes before the views hear of it";
    CDBUpdateConnector::Broadcast(h.pSender, h.lHint, h.pHint);
    // B is gone with its lines, A keeps its line.
    EXPECT_EQ(dynamic_cast<CComboBox*>(d->GetDlgItem(IDC_PGPLOT_GRID))->GetCount(), 1);
    EXPECT_EQ(d->GetChosenLines(nGridB).aIdx.GetSize(), 0);
    EXPECT_EQ(d->GetChosenLines(nGridA).aIdx.GetSize(), 1);
}

// An index line takes 1 to 100,000 divisions: another count gets the framework's number message,
// the focus and no line; a grid stored beyond the grid limits offers no line at all.
TEST_F(ProfileGridPlotDialog, LineDivisionsOutsideTheLimitAddNoLine)
{
    m.AddGrid("Wide", {0.5, 0.5, 2.0}, {3.5, 0.5, 2.0}, {0.5, 3.5, 2.0}, 10001, 1);
    CDlgProfileGridPlot* d = Open();
    ASSERT_NE(d, nullptr);
    const char* kRange = "Please enter an integer between 1 and 100000.";
    const std::pair<const char*, const char*> refused[] = {
        {"0", kRange}, {"100001", kRange}, {"1000000000", kRange}, {"8 lines", "Please enter an integer."}};
    for (const auto& [pszDiv, pszMessage] : refused) {
        Win32ClearMessageBoxJournal();
        AddLine(d, 0, 1, pszDiv);
        EXPECT_EQ(Lines(d)->GetCount(), 0) << pszDiv;
        ASSERT_EQ(Win32MessageBoxCount(), 1) << pszDiv;
        EXPECT_STREQ(Win32MessageBoxAt(0)->pszText, pszMessage);
        EXPECT_EQ(CWnd::GetFocus(), d->GetDlgItem(IDC_PGPLOT_XDIV)) << pszDiv;
    }
    AddLine(d, 0, 1, "100000");
    EXPECT_EQ(Lines(d)->GetCount(), 1);

    AfxDriver::Select(d, IDC_PGPLOT_GRID, 2);
    EXPECT_EQ(dynamic_cast<CComboBox*>(d->GetDlgItem(IDC_PGPLOT_XINDEX))->GetCount(), 0);
    EXPECT_EQ(dynamic_cast<CComboBox*>(d->GetDlgItem(IDC_PGPLOT_YINDEX))->GetCount(), 0);
}

TEST_F(ProfileGridPlotDialog, TableButtonsStoreAndOpenTheTables)
{
    CDlgProfileGridPlot* d = Open();
    AddLine(d, 0, 0, "3");
    AfxDriver::CheckItem(d, IDC_PGPLOT_LINES, 0, 1);
    ASSERT_TRUE(AfxDriver::Click(d, IDC_PGPLOT_GRID_TABLE));
    ASSERT_TRUE(AfxDriver::Click(d, IDC_PGPLOT_LINE_TABLE));
    const auto& shown = ICustomPostDB::Instance()->m_aShown;
    ASSERT_EQ(shown.size(), 2u);
    EXPECT_STREQ(shown[0].strTitle.GetString(), "A");
    ASSERT_EQ(shown[1].aName.size(), 1u);
    EXPECT_STREQ(shown[1].aName[0].GetString(), "X Grid Index 1");
    const T_POST_GENR_TABL_D* t = IPostGeneralTableData::Instance()->GetTable(shown[0].aKey[0]);
    ASSERT_NE(t, nullptr);
    EXPECT_EQ(t->nRows, 4);
    EXPECT_EQ(t->nCols, 6);
    EXPECT_EQ(t->aColUnit[1], 1) << "a translation is a length";
}

} // namespace
