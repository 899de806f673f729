// The profile-grid plot dialog on the sample project's settlement grid at ground level, lengths
// shown in output units 2.5 times the model's. The last stage's settlement is sampled from a
// closed-form field at the mesh nodes (2 m apart along x); the grid's points lie 1 m apart, so a
// grid point between two mesh nodes must read their mean and a line point the linear
// interpolation of the nodes around it. Areas under the profiles are the exact integrals of the
// piecewise-linear |DZ|.
#include "DisplayRequired.h"
#include "SampleProfileGrid.h"
#include "SampleProject.h"
#include "UserDefDisplayHost.h"

#include "dialogs/CDlgProfileGridPlot.h"
#include "dialogs/DialogControlIds.h"
#include "visualmethods/CPVSVisualMethodGlbProfGrid.h"

#include "PVSMeshMngrBrdg.h"
#include "PVSRendererBase.h"
#include "PostGeneralTable.h"
#include "PostVisualState.h"
#include "TempDir.h"
#include "UnitCtrl.h"
#include "afx_standin.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <memory>
#include <string>
#include <vector>

namespace {

using namespace kvpvs::sample;

constexpr double kOut = 2.5;

// The last stage's DZ at ground level: the field at the mesh nodes x = 0, 2, ..., 40, linear in
// between (every value at z = 0 is the same for all y).
double NodeDZ(double x)
{
    SampleFields f;
    f.dExcavation = 9.0;
    const double p[3] = {x, 4.0, 0.0};
    double u[3];
    f.Displacement(p, u);
    return u[2];
}

double GroundDZ(double x)
{
    const double x0 = 2.0 * std::floor(x / 2.0);
    if (x - x0 < 1e-12)
        return NodeDZ(x0);
    const double t = (x - x0) / 2.0;
    return NodeDZ(x0) + t * (NodeDZ(x0 + 2.0) - NodeDZ(x0));
}

// The exact integral of |g| for g linear between (0, a) and (L, b).
double AbsTrapezoid(double a, double b, double L)
{
    if (a * b >= 0.0)
        return 0.5 * (std::fabs(a) + std::fabs(b)) * L;
    const double r = std::fabs(a) / (std::fabs(a) + std::fabs(b));
    return 0.5 * std::fabs(a) * r * L + 0.5 * std::fabs(b) * (1.0 - r) * L;
}

void ExpectClose(double got, double want, const std::string& what)
{
    // The tables print "%.10g": ten significant digits.
    EXPECT_NEAR(got, want, 1e-9 * std::fabs(want) + 1e-14) << what;
}

class ProfileGridSampleTest : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        s_pDoc = new CDBDoc;
        CDocCtrl::GetUnitCtrl(s_pDoc)->SetFactor(1, kOut);
        SampleOptions opt;
        opt.bResultsEveryStage = false;
        s_pSum = new SampleSummary;
        s_pGrid = new ProfileGridSummary;
        s_bBuilt = BuildSampleProject(*s_pDoc, opt, *s_pSum) && BuildSampleProfileGrid(*s_pDoc, *s_pGrid);
    }
    static void TearDownTestSuite()
    {
        delete s_pGrid;
        delete s_pSum;
        delete s_pDoc;
        s_pDoc = nullptr;
    }
    void SetUp() override
    {
        ASSERT_TRUE(s_bBuilt);
        CZORDocBase::SetCurDoc(s_pDoc);
        view.CreateWindowCore(nullptr);
        s_pDoc->SetActiveView(&view);
        pBridge->SetWnd(&view);
        const double bb[6] = {0, 40, 0, 8, -24, 0};
        pBridge->SetBounds(bb);
        stateBefore = *CPostVisualState::Instance()->GetCurrentPA();
        IPostGeneralTableData::Instance()->ClearTables();
        ICustomPostDB::Instance()->m_aShown.clear();
        AfxDriver::ClearModalScript();
    }
    void TearDown() override
    {
        if (CDlgProfileGridPlot::m_pMySelf)
            CDlgProfileGridPlot::m_pMySelf->DestroyWindow();
        *CPostVisualState::Instance()->GetCurrentPA() = stateBefore;
        s_pDoc->SetActiveView(nullptr);
        view.DestroyWindow();
        CZORDocBase::SetCurDoc(nullptr);
    }

    static bool SelectText(CWnd* d, UINT nID, const char* pszText)
    {
        auto* p = dynamic_cast<CComboBox*>(d->GetDlgItem(nID));
        for (int i = 0; p && i < p->GetCount(); ++i) {
            CString s;
            p->GetLBText(i, s);
            if (s == pszText)
                return AfxDriver::Select(d, nID, i) != FALSE;
        }
        return false;
    }

    // The dialog on the last stage's DZ and the sample grid, with the sample's lines added and
    // checked.
    CDlgProfileGridPlot* OpenWithLines()
    {
        CDlgProfileGridPlot::CreateOrActivate(&view);
        CDlgProfileGridPlot* d = CDlgProfileGridPlot::m_pMySelf;
        if (!d)
            return nullptr;
        AfxDriver::Check(d, IDC_PGPLOT_DYNAMIC, 0);
        T_STAGE_D last;
        CClassStage(s_pDoc->GetModelDB()).Get(s_pSum->aStageK.back(), last);
        EXPECT_TRUE(SelectText(d, IDC_PGPLOT_CASE, "Construction Stages"));
        EXPECT_TRUE(SelectText(d, IDC_PGPLOT_STEP, last.strName.GetString()));
        EXPECT_TRUE(SelectText(d, IDC_PGPLOT_COMPONENT, "DZ"));
        EXPECT_TRUE(SelectText(d, IDC_PGPLOT_GRID, s_pGrid->strName.c_str()));
        for (const ProfileGridLine& l : s_pGrid->aLine) {
            const bool bX = l.nAxis == 0;
            AfxDriver::Click(d, bX ? IDC_PGPLOT_AXIS_X : IDC_PGPLOT_AXIS_Y);
            AfxDriver::Select(d, bX ? IDC_PGPLOT_XINDEX : IDC_PGPLOT_YINDEX, l.nIndex);
            AfxDriver::SetText(d, bX ? IDC_PGPLOT_XDIV : IDC_PGPLOT_YDIV, std::to_string(l.nDivision).c_str());
            AfxDriver::Click(d, IDC_PGPLOT_ADD);
        }
        for (size_t i = 0; i < s_pGrid->aLine.size(); ++i)
            AfxDriver::CheckItem(d, IDC_PGPLOT_LINES, static_cast<int>(i), 1);
        return d;
    }

    static const T_POST_GENR_TABL_D* ShownTable(size_t nView, size_t nTable)
    {
        const auto& shown = ICustomPostDB::Instance()->m_aShown;
        if (nView >= shown.size() || nTable >= shown[nView].aKey.size())
            return nullptr;
        return IPostGeneralTableData::Instance()->GetTable(shown[nView].aKey[nTable]);
    }

    static CDBDoc* s_pDoc;
    static SampleSummary* s_pSum;
    static ProfileGridSummary* s_pGrid;
    static bool s_bBuilt;
    CView view;
    std::unique_ptr<CPVSMeshMngrBrdg> pBridge = std::make_unique<CPVSMeshMngrBrdg>();
    T_PVIST_ALL_D stateBefore;
};

CDBDoc* ProfileGridSampleTest::s_pDoc = nullptr;
SampleSummary* ProfileGridSampleTest::s_pSum = nullptr;
ProfileGridSummary* ProfileGridSampleTest::s_pGrid = nullptr;
bool ProfileGridSampleTest::s_bBuilt = false;

TEST_F(ProfileGridSampleTest, GridTableReadsTheNodesAndTheMeansBetweenThem)
{
    CDlgProfileGridPlot* d = OpenWithLines();
    ASSERT_NE(d, nullptr);
    ASSERT_TRUE(AfxDriver::Click(d, IDC_PGPLOT_GRID_TABLE));
    const T_POST_GENR_TABL_D* t = ShownTable(0, 0);
    ASSERT_NE(t, nullptr);
    ASSERT_EQ(t->nRows, 9);
    ASSERT_EQ(t->nCols, 32);
    EXPECT_STREQ(ICustomPostDB::Instance()->m_aShown[0].strTitle.GetString(), s_pGrid->strName.c_str());
    for (int r = 0; r < 9; ++r) {
        EXPECT_EQ(std::string(t->Cell(r, 0).GetString()), "Y" + std::to_string(9 - r));
        for (int c = 1; c <= 31; ++c) {
            const double x = c - 1;
            ExpectClose(std::atof(t->Cell(r, c)), GroundDZ(x), "row " + std::to_string(r) + " x " + std::to_string(x));
        }
    }
    EXPECT_EQ(t->aColUnit[1], 1) << "DZ is a length";
}

TEST_F(ProfileGridSampleTest, LineTableAlongThePitAndTheTroughInOutputLengths)
{
    CDlgProfileGridPlot* d = OpenWithLines();
    ASSERT_NE(d, nullptr);
    ASSERT_TRUE(AfxDriver::Click(d, IDC_PGPLOT_LINE_TABLE));
    const auto& shown = ICustomPostDB::Instance()->m_aShown;
    ASSERT_EQ(shown.size(), 1u);
    ASSERT_EQ(shown[0].aName.size(), 3u);
    EXPECT_STREQ(shown[0].aName[0].GetString(), "Y Grid Index 3");
    EXPECT_STREQ(shown[0].aName[1].GetString(), "X Grid Index 6");
    EXPECT_STREQ(shown[0].aName[2].GetString(), "X Grid Index 19");

    // y = 2 from x = 0 to 30 in 60 steps of 0.5 m: 1.25 output lengths each.
    const T_POST_GENR_TABL_D* t = ShownTable(0, 0);
    ASSERT_NE(t, nullptr);
    ASSERT_EQ(t->nRows, 61);
    for (int k = 0; k <= 60; ++k) {
        const std::string at = "point " + std::to_string(k);
        const double v = GroundDZ(0.5 * k);
        ExpectClose(std::atof(t->Cell(k, 0)), 1.25 * k, at);
        ExpectClose(std::atof(t->Cell(k, 1)), v, at);
        const double dIncline = k == 0 ? 0.0 : (v - GroundDZ(0.5 * (k - 1))) / 1.25;
        EXPECT_NEAR(std::atof(t->Cell(k, 2)), dIncline, 1e-9 * (std::fabs(dIncline) + 0.03)) << at;
    }
    // Across y at x = 5 and x = 18 the settlement does not change.
    for (size_t n = 1; n <= 2; ++n) {
        const T_POST_GENR_TABL_D* x = ShownTable(0, n);
        ASSERT_NE(x, nullptr);
        ASSERT_EQ(x->nRows, 17);
        const double v = GroundDZ(n == 1 ? 5.0 : 18.0);
        for (int k = 0; k <= 16; ++k) {
            ExpectClose(std::atof(x->Cell(k, 0)), 0.5 * kOut * k, "distance");
            ExpectClose(std::atof(x->Cell(k, 1)), v, "value");
            EXPECT_NEAR(std::atof(x->Cell(k, 2)), 0.0, 1e-11) << "incline";
        }
    }
}

TEST_F(ProfileGridSampleTest, ShownDisplayLabelsTheExactAreasUnderTheProfiles)
{
    T_PVIST_ALL_D* pVS = CPostVisualState::Instance()->GetCurrentPA();
    pVS->nShapeMode = 0;
    pVS->vals.nDecimal = 6;
    pVS->vals.bExponential = 0;
    kvpvs::host::CUserDefDisplayHost host(nullptr);
    host.InstallDoc(*s_pDoc);
    CDlgProfileGridPlot* d = OpenWithLines();
    ASSERT_NE(d, nullptr);
    ASSERT_TRUE(AfxDriver::Click(d, IDC_PGPLOT_SHOW));
    kvpvs::host::CUserDefDisplayHost::UninstallDoc(*s_pDoc);
    ASSERT_EQ(host.GetShownCount(), 1);
    auto* pVM = dynamic_cast<CPVSVisualMethodGlbProfGrid*>(host.GetMethod());
    ASSERT_NE(pVM, nullptr);

    // Model lengths: y = 2 in 60 segments of 0.5 m; x = 5 and x = 18 over 8 m of constant DZ.
    double dAlong = 0.0;
    for (int k = 1; k <= 60; ++k)
        dAlong += AbsTrapezoid(GroundDZ(0.5 * (k - 1)), GroundDZ(0.5 * k), 0.5);
    const double want[3] = {dAlong, 8.0 * std::fabs(GroundDZ(5.0)), 8.0 * std::fabs(GroundDZ(18.0))};
    const CArray<CString, CString&>& texts = pVM->GetLabelTexts();
    ASSERT_EQ(texts.GetSize(), 3);
    ASSERT_EQ(pVM->GetLabelPositions().GetSize(), 3);
    for (int i = 0; i < 3; ++i) {
        char s[64];
        std::snprintf(s, sizeof s, "Area : %.6f", want[i]);
        EXPECT_STREQ(texts[i].GetString(), s) << i;
    }
    // The pit heaves, the ground behind the wall settles: the line across both changes sign.
    EXPECT_GT(GroundDZ(5.0), 0.0);
    EXPECT_LT(GroundDZ(18.0), 0.0);
}

// The view shows one display at a time: the display of another component leaves the picture
// when the settlement is shown, instead of fighting its faces for depth.
TEST_F(ProfileGridSampleTest, ShowingAnotherComponentReplacesThePicture)
{
#if defined(__SANITIZE_ADDRESS__)
    GTEST_SKIP() << "offscreen GL rendering is not leak-checkable here";
#endif
    KVPVS_REQUIRE_DISPLAY();
    kvpvs::testing::TempDir tmp("pgpicture");
    auto picture = [&](bool bDXBefore, const char* pszName) {
        CPVSRendererVTK r(200, 150);
        kvpvs::host::CUserDefDisplayHost host(&r);
        host.InstallDoc(*s_pDoc);
        CDlgProfileGridPlot* d = OpenWithLines();
        EXPECT_NE(d, nullptr);
        if (d && bDXBefore) {
            EXPECT_TRUE(SelectText(d, IDC_PGPLOT_COMPONENT, "DX"));
            AfxDriver::Click(d, IDC_PGPLOT_SHOW);
            EXPECT_TRUE(SelectText(d, IDC_PGPLOT_COMPONENT, "DZ"));
        }
        if (d)
            AfxDriver::Click(d, IDC_PGPLOT_SHOW);
        kvpvs::host::CUserDefDisplayHost::UninstallDoc(*s_pDoc);
        EXPECT_EQ(host.GetShownCount(), bDXBefore ? 2 : 1);
        EXPECT_TRUE(r.SavePNG(tmp.file(pszName).c_str()));
        if (d)
            d->DestroyWindow();
        std::ifstream in(tmp.file(pszName), std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    };
    const std::string once = picture(false, "once.png");
    ASSERT_FALSE(once.empty());
    EXPECT_TRUE(picture(true, "again.png") == once) << "the display of DX is still in the picture";
}

} // namespace

TEST_F(ProfileGridSampleTest, CurveFitOfALineOutsideTheModelOpensNothing)
{
    // A grid 5 m above the ground: none of its points lies in the model, so its line stores no
    // table; the table stored last (the sample grid's) is not this line's profile.
    T_SPFG_D above;
    above.strName = "Above the ground";
    const double LL[3] = {0, 0, 5}, LR[3] = {30, 0, 5}, UL[3] = {0, 8, 5};
    for (int k = 0; k < 3; ++k) {
        above.dLL[k] = kOut * LL[k];
        above.dLR[k] = kOut * LR[k];
        above.dUL[k] = kOut * UL[k];
        above.dUR[k] = kOut * (LR[k] + UL[k] - LL[k]);
    }
    above.nDivX = 6;
    above.nDivY = 2;
    CClassSpfg spfg(s_pDoc->GetModelDB());
    const unsigned int nAboveK = spfg.Add(above);
    struct Remove {
        CClassSpfg& t;
        unsigned int k;
        ~Remove() { t.Delete(k); }
    } remove{spfg, nAboveK};

    CDlgProfileGridPlot* d = OpenWithLines();
    ASSERT_NE(d, nullptr);
    ASSERT_TRUE(AfxDriver::Click(d, IDC_PGPLOT_GRID_TABLE));
    ASSERT_EQ(IPostGeneralTableData::Instance()->GetCount(), 1);
    ASSERT_TRUE(SelectText(d, IDC_PGPLOT_GRID, "Above the ground"));
    AfxDriver::Click(d, IDC_PGPLOT_AXIS_Y);
    AfxDriver::Select(d, IDC_PGPLOT_YINDEX, 1);
    AfxDriver::SetText(d, IDC_PGPLOT_YDIV, "6");
    ASSERT_TRUE(AfxDriver::Click(d, IDC_PGPLOT_ADD));
    ASSERT_TRUE(AfxDriver::Select(d, IDC_PGPLOT_LINES, 0));
    bool bOpened = false;
    AfxDriver::ScriptModal([&](CDialog* c) {
        bOpened = true;
        c->EndDialog(IDCANCEL);
    });
    AfxDriver::Click(d, IDC_PGPLOT_CURVE_FIT);
    AfxDriver::ClearModalScript();
    EXPECT_FALSE(bOpened) << "the curve fit got the points of another table";
    EXPECT_EQ(IPostGeneralTableData::Instance()->GetCount(), 1) << "no table for a line outside the model";
}
