// The three-point plane dialog driven as the user drives it: points are picked in the view or
// typed, the local axes are previewed as temporary shapes, Apply hands the plane to the opener.
// Lengths are shown in output units twice the model's (length factor 2).
#include "dialogs/CPVSDlgDefThreePointPlane.h"
#include "dialogs/DialogControlIds.h"

#include "DBDoc.h"
#include "PVSMeshMngrBrdgBase.h"
#include "UnitCtrl.h"
#include "afx_standin.h"

#include <BRep_Tool.hxx>
#include <TopExp.hxx>
#include <TopExp_Explorer.hxx>
#include <TopoDS.hxx>
#include <TopoDS_Edge.hxx>
#include <TopoDS_Vertex.hxx>
#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <ostream>
#include <string>

namespace {

using P3 = std::array<double, 3>;

struct ApplyLog {
    int nCalls = 0;
    int nDestroyed = 0;
    int nResult = 1;
    double pts[3][3] = {};
    std::string strName;
    T_LDFS_D rec;
};
ApplyLog* g_apply = nullptr;

int OnApply(double (*pts)[3], CString& name, void* pRecord)
{
    ++g_apply->nCalls;
    for (int i = 0; i < 3; ++i)
        for (int k = 0; k < 3; ++k)
            g_apply->pts[i][k] = pts[i][k];
    g_apply->strName = static_cast<const char*>(name);
    g_apply->rec = *static_cast<T_LDFS_D*>(pRecord);
    return g_apply->nResult;
}

void OnDestroyed(double* a, double* b)
{
    EXPECT_EQ(a, nullptr);
    EXPECT_EQ(b, nullptr);
    ++g_apply->nDestroyed;
}

class ThreePointPlaneTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        CZORDocBase::SetCurDoc(&doc);
        CDocCtrl::GetUnitCtrl(&doc)->SetFactor(1, 2.0);
        g_apply = &log;
        Win32ClearMessageBoxJournal();
    }
    void TearDown() override
    {
        if (dlg && CPVSDlgDefThreePointPlane::m_pMySelf == dlg && IsWindow(hDlg))
            dlg->DestroyWindow();
        CPVSMeshMngrBrdgBase::m_bConsiderOnlyFaceOfSolid = 0;
        CZORDocBase::SetCurDoc(nullptr);
        g_apply = nullptr;
    }
    void Open(int bSolid)
    {
        CPVSMeshMngrBrdgBase::m_bConsiderOnlyFaceOfSolid = bSolid;
        dlg = new CPVSDlgDefThreePointPlane(&doc, nullptr);
        dlg->SetNoPlotMode(1);
        dlg->SetCalledOnApply(&OnApply);
        dlg->SetCalledOnDestoryFunction(&OnDestroyed);
        ASSERT_TRUE(dlg->Create(nullptr));
        dlg->ShowWindow(SW_SHOW);
        hDlg = dlg->m_hWnd;
    }
    // The user focuses point 1 and picks three positions (model units).
    void PickThree(const P3& a, const P3& b, const P3& c)
    {
        ASSERT_TRUE(AfxDriver::Focus(dlg, IDC_THREEPT_PNT1));
        for (const P3& p : {a, b, c})
            EXPECT_TRUE(dlg->GetEventHandler()->Pick(gp_Pnt(p[0], p[1], p[2])));
    }
    const CAISContext::T_TEMP_SHAPE_D* Shape(int id) { return CAISContext::Of(&doc)->GetTempShape(id); }
    // Start and end of a preview axis.
    static void Ends(const CAISContext::T_TEMP_SHAPE_D* s, gp_Pnt& a, gp_Pnt& b)
    {
        TopoDS_Vertex v1, v2;
        TopExp::Vertices(TopoDS::Edge(s->shape), v1, v2);
        a = BRep_Tool::Pnt(v1);
        b = BRep_Tool::Pnt(v2);
    }
    static int Count(const TopoDS_Shape& s, TopAbs_ShapeEnum kind)
    {
        int n = 0;
        for (TopExp_Explorer e(s, kind); e.More(); e.Next())
            ++n;
        return n;
    }
    void ExpectAxis(int id, const P3& centre, const P3& dir, double len, Quantity_NameOfColor colour)
    {
        const auto* s = Shape(id);
        ASSERT_NE(s, nullptr) << "axis " << id;
        gp_Pnt a, b;
        Ends(s, a, b);
        EXPECT_NEAR(a.Distance(gp_Pnt(centre[0], centre[1], centre[2])), 0.0, 1e-12) << "axis " << id;
        EXPECT_NEAR(b.Distance(gp_Pnt(centre[0] + len * dir[0], centre[1] + len * dir[1], centre[2] + len * dir[2])), 0.0,
                    1e-12)
            << "axis " << id;
        EXPECT_EQ(s->colour, colour);
        EXPECT_EQ(s->dWidth, 3.0);
        EXPECT_EQ(s->nFlag, 0);
    }

    CDBDoc doc;
    ApplyLog log;
    CPVSDlgDefThreePointPlane* dlg = nullptr;
    HWND hDlg = nullptr;
};

TEST_F(ThreePointPlaneTest, PlatePreviewHasItsAxesAtTheMidpointOfTheFirstTwoPoints)
{
    Open(0);
    EXPECT_EQ(dlg->GetForPlate(), 1) << "only faces of solids not considered: plate";
    EXPECT_EQ(dlg->m_nInitPos, 3);
    PickThree({0, 0, 0}, {1, 0, 0}, {1, 1, 0});
    EXPECT_EQ(AfxDriver::GetText(dlg, IDC_THREEPT_PNT2), "2, 0, 0") << "shown in output units";
    EXPECT_EQ(AfxDriver::GetText(dlg, IDC_THREEPT_PNT3), "2, 2, 0");
    // O = (P1 + P2) / 2; X = (1,0,0); Q = (w x X) = (0,0,-1); M = X x Q = (0,1,0); |a| = 1/6.
    ExpectAxis(1, {0.5, 0, 0}, {0, 1, 0}, 1.0 / 6.0, Quantity_NOC_RED);
    ExpectAxis(2, {0.5, 0, 0}, {1, 0, 0}, 1.0 / 6.0, Quantity_NOC_GREEN);
    ExpectAxis(3, {0.5, 0, 0}, {0, 0, -1}, 1.0 / 6.0, Quantity_NOC_BLUE);
    ASSERT_NE(Shape(5), nullptr);
    EXPECT_EQ(Count(Shape(5)->shape, TopAbs_EDGE), 2);
    EXPECT_EQ(Shape(5)->colour, Quantity_NOC_GRAY);
    ASSERT_NE(Shape(4), nullptr);
    EXPECT_EQ(Count(Shape(4)->shape, TopAbs_VERTEX), 3);
    EXPECT_EQ(Shape(4)->nFlag, 1);
    EXPECT_EQ(dlg->GetEventHandler()->GetStatus(), 0) << "picking ends after the third point";
    EXPECT_EQ(CGeomSelector::Of(&doc)->m_bPositionMode, 0);
    EXPECT_FALSE(dlg->GetEventHandler()->Pick(gp_Pnt(5, 5, 5)));
}

TEST_F(ThreePointPlaneTest, SolidPreviewHasItsAxesAtTheCentroid)
{
    Open(1);
    EXPECT_EQ(dlg->GetForPlate(), 0);
    PickThree({0, 0, 0}, {1, 0, 0}, {1, 1, 0});
    // O = centroid (2/3, 1/3, 0); N = X x (P3 - P2) = (0,0,1); Y = N x X = (0,1,0).
    ExpectAxis(1, {2.0 / 3.0, 1.0 / 3.0, 0}, {0, 0, 1}, 1.0 / 6.0, Quantity_NOC_RED);
    ExpectAxis(2, {2.0 / 3.0, 1.0 / 3.0, 0}, {1, 0, 0}, 1.0 / 6.0, Quantity_NOC_GREEN);
    ExpectAxis(3, {2.0 / 3.0, 1.0 / 3.0, 0}, {0, 1, 0}, 1.0 / 6.0, Quantity_NOC_BLUE);
}

struct Degenerate {
    const char* pszName;
    int bSolid;
    P3 a, b, c;
};

void PrintTo(const Degenerate& d, std::ostream* os)
{
    *os << (d.bSolid ? "solid" : "plate") << ", (" << d.a[0] << ' ' << d.a[1] << ' ' << d.a[2] << "), (" << d.b[0]
        << ' ' << d.b[1] << ' ' << d.b[2] << "), (" << d.c[0] << ' ' << d.c[1] << ' ' << d.c[2] << ')';
}

class DegeneratePreview : public ThreePointPlaneTest, public ::testing::WithParamInterface<Degenerate> {};

TEST_P(DegeneratePreview, DrawsNothing)
{
    const Degenerate& d = GetParam();
    Open(d.bSolid);
    PickThree(d.a, d.b, d.c);
    EXPECT_EQ(CAISContext::Of(&doc)->GetTempShapeCount(), 0);
}

INSTANTIATE_TEST_SUITE_P(ThreePointPlane, DegeneratePreview,
                         ::testing::Values(Degenerate{"SolidFirstTwoPointsEqual", 1, {1, 1, 1}, {1, 1, 1}, {2, 0, 0}},
                                           Degenerate{"PlateFirstTwoPointsEqual", 0, {1, 1, 1}, {1, 1, 1}, {2, 0, 0}},
                                           Degenerate{"SolidCollinear", 1, {0, 0, 0}, {1, 1, 1}, {3, 3, 3}},
                                           Degenerate{"PlateCollinear", 0, {0, 0, 0}, {1, 1, 1}, {3, 3, 3}},
                                           Degenerate{"SolidLastTwoPointsEqual", 1, {0, 0, 0}, {1, 0, 0}, {1, 0, 0}}),
                         [](const ::testing::TestParamInfo<Degenerate>& i) { return std::string(i.param.pszName); });

TEST_F(ThreePointPlaneTest, PickingMovesTheFocusAlongAndClearsThePreview)
{
    Open(0);
    PickThree({0, 0, 0}, {1, 0, 0}, {1, 1, 0});
    ASSERT_EQ(CAISContext::Of(&doc)->GetTempShapeCount(), 5);
    ASSERT_TRUE(AfxDriver::Focus(dlg, IDC_THREEPT_PNT1));
    EXPECT_EQ(dlg->GetEventHandler()->GetStatus(), 1);
    EXPECT_EQ(CGeomSelector::Of(&doc)->GetOsnap(8), 1);
    dlg->GetEventHandler()->Pick(gp_Pnt(3, 0, 0));
    EXPECT_EQ(dlg->GetCurPoint(), 2);
    EXPECT_EQ(CWnd::GetFocus(), dlg->GetDlgItem(IDC_THREEPT_PNT2));
    EXPECT_EQ(CAISContext::Of(&doc)->GetTempShapeCount(), 0) << "a new point removes the old preview";
}

TEST_F(ThreePointPlaneTest, SwitchingElementTypeRedrawsInTheOtherMode)
{
    Open(0);
    PickThree({0, 0, 0}, {1, 0, 0}, {1, 1, 0});
    const int updates = CAISContext::Of(&doc)->m_nViewerUpdates;
    EXPECT_TRUE(AfxDriver::Click(dlg, IDC_THREEPT_PLATE)) << "plate already selected";
    ExpectAxis(1, {0.5, 0, 0}, {0, 1, 0}, 1.0 / 6.0, Quantity_NOC_RED);
    EXPECT_TRUE(AfxDriver::Click(dlg, IDC_THREEPT_SOLID));
    EXPECT_EQ(dlg->GetForPlate(), 0);
    ExpectAxis(1, {2.0 / 3.0, 1.0 / 3.0, 0}, {0, 0, 1}, 1.0 / 6.0, Quantity_NOC_RED);
    EXPECT_EQ(CAISContext::Of(&doc)->m_nViewerUpdates, updates);
}

TEST_F(ThreePointPlaneTest, ApplyHandsModelUnitsNameAndTypeToTheOpener)
{
    Open(1);
    AfxDriver::SetText(dlg, IDC_THREEPT_NAME, "Cut A");
    AfxDriver::SetText(dlg, IDC_THREEPT_PNT1, "2, 4, 6");
    AfxDriver::SetText(dlg, IDC_THREEPT_PNT2, "8,0,0");
    AfxDriver::SetText(dlg, IDC_THREEPT_PNT3, " 0 , 10 , 0 ");
    EXPECT_TRUE(AfxDriver::Click(dlg, IDC_THREEPT_APPLY));
    ASSERT_EQ(log.nCalls, 1);
    EXPECT_EQ(log.strName, "Cut A");
    EXPECT_DOUBLE_EQ(log.pts[0][2], 3.0) << "6 output units are 3 model units";
    EXPECT_DOUBLE_EQ(log.rec.dP2[0], 4.0);
    EXPECT_DOUBLE_EQ(log.rec.dP3[1], 5.0);
    EXPECT_EQ(log.rec.nElemType, 0);
    EXPECT_EQ(log.rec.strName, "Cut A");
    EXPECT_TRUE(IsWindow(hDlg)) << "Apply keeps the dialog";
}

TEST_F(ThreePointPlaneTest, OkClosesOnlyWhenTheOpenerTakesThePlane)
{
    Open(0);
    log.nResult = 0;
    EXPECT_TRUE(AfxDriver::Click(dlg, IDC_THREEPT_OK));
    EXPECT_TRUE(IsWindow(hDlg)) << "refused: the dialog stays open";
    log.nResult = 1;
    EXPECT_TRUE(AfxDriver::Click(dlg, IDC_THREEPT_OK));
    EXPECT_FALSE(IsWindow(hDlg));
    EXPECT_EQ(log.nDestroyed, 1);
    EXPECT_EQ(CPVSDlgDefThreePointPlane::m_pMySelf, nullptr);
}

TEST_F(ThreePointPlaneTest, ReturnDoesNothingAndTheCloseBoxCloses)
{
    Open(0);
    AfxDriver::Focus(dlg, IDC_THREEPT_NAME);
    AfxDriver::PressKey(dlg, VK_RETURN);
    EXPECT_TRUE(IsWindow(hDlg));
    EXPECT_EQ(log.nCalls, 0);
    AfxDriver::SysCommand(dlg, SC_CLOSE);
    EXPECT_FALSE(IsWindow(hDlg));
    EXPECT_EQ(log.nDestroyed, 1);
    EXPECT_EQ(log.nCalls, 0);
}

TEST_F(ThreePointPlaneTest, WithoutApplyCallbackApplyReturnsZeroAndOkKeepsTheDialog)
{
    CPVSMeshMngrBrdgBase::m_bConsiderOnlyFaceOfSolid = 0;
    dlg = new CPVSDlgDefThreePointPlane(&doc, nullptr);
    ASSERT_TRUE(dlg->Create(nullptr));
    hDlg = dlg->m_hWnd;
    EXPECT_TRUE(AfxDriver::Click(dlg, IDC_THREEPT_OK));
    EXPECT_TRUE(IsWindow(hDlg));
    AfxDriver::Click(dlg, IDC_THREEPT_CANCEL);
    EXPECT_FALSE(IsWindow(hDlg));
}

struct TypedPoints {
    const char* name;
    const char* p1;
    const char* p2;
    const char* p3;
};

class ThreePointTypedInput : public ThreePointPlaneTest, public ::testing::WithParamInterface<TypedPoints> {};

TEST_P(ThreePointTypedInput, IsRefusedWithTheNumberPromptAndChangesNothing)
{
    Open(0);
    PickThree({0, 0, 0}, {1, 0, 0}, {0, 1, 0});
    ASSERT_NE(Shape(1), nullptr) << "the picked plane is previewed";
    const TypedPoints& t = GetParam();
    AfxDriver::SetText(dlg, 14207, t.p1);
    AfxDriver::SetText(dlg, 14209, t.p2);
    AfxDriver::SetText(dlg, 14210, t.p3);
    // Switching the element type (from plate to solid) previews the typed points: nothing is
    // drawn from them.
    AfxDriver::Click(dlg, 14304);
    EXPECT_EQ(Shape(1), nullptr);
    for (UINT button : {14206u, 14203u}) {
        Win32ClearMessageBoxJournal();
        EXPECT_TRUE(AfxDriver::Click(dlg, button));
        EXPECT_EQ(log.nCalls, 0) << "nothing reaches the opener";
        ASSERT_EQ(Win32MessageBoxCount(), 1);
        EXPECT_STREQ(Win32MessageBoxAt(0)->pszText, "Please enter a number.");
        EXPECT_TRUE(IsWindow(hDlg)) << "the dialog stays open";
    }
    // Corrected text is taken.
    AfxDriver::SetText(dlg, 14207, "0, 0, 0");
    AfxDriver::SetText(dlg, 14209, "2, 0, 0");
    AfxDriver::SetText(dlg, 14210, "0, 2, 0");
    EXPECT_TRUE(AfxDriver::Click(dlg, 14206));
    EXPECT_EQ(log.nCalls, 1);
    EXPECT_DOUBLE_EQ(log.rec.dP2[0], 1.0);
}

INSTANTIATE_TEST_SUITE_P(
    Texts, ThreePointTypedInput,
    ::testing::Values(TypedPoints{"NotANumber", "nan,nan,nan", "1,0,0", "0,1,0"},
                      TypedPoints{"Infinities", "0,0,0", "inf,1e400,-inf", "0,1,0"},
                      TypedPoints{"OverflowInOneComponent", "0,0,0", "1,0,0", "0,1e400,0"},
                      TypedPoints{"TwoComponents", "1,2", "1,0,0", "0,1,0"},
                      TypedPoints{"Empty", "0,0,0", "", "0,1,0"},
                      TypedPoints{"TrailingText", "0,0,0", "1,0,0", "0,1,0 m"}),
    [](const auto& info) { return std::string(info.param.name); });

} // namespace
