// The origin-normal plane dialog in a post view with VTK's plane widget: the plane starts on
// the global X axis through the middle of the model (a 2 x 2 x 2 block of unit hexahedra),
// is reversed, put through three points, dragged (the widget's events) and shown; the
// opener's draw and destroy functions receive (normal, origin).
#include "SeepageDialogFixtures.h"

#include "dialogs/DialogControlIds.h"
#include "dialogs/KVPVSDlgDefPlane.h"

#include "DisplayRequired.h"
#include "MsgOut.h"
#include "MsgOut_standin.h"
#include "UnitCtrl.h"
#include "afx_standin.h"

#include <vtkCommand.h>
#include <vtkImplicitPlaneWidget.h>
#include <vtkNew.h>
#include <vtkPolyData.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

using namespace kvpvs::test;

namespace {

using V3 = std::array<double, 3>;

struct DrawCall {
    V3 normal, origin;
    int nFlag;
};
std::vector<DrawCall> g_draws;
std::vector<DrawCall> g_destroys;

void OnDraw(double* n, double* o, int nFlag) { g_draws.push_back({{n[0], n[1], n[2]}, {o[0], o[1], o[2]}, nFlag}); }
void OnDestroyed(double* n, double* o) { g_destroys.push_back({{n[0], n[1], n[2]}, {o[0], o[1], o[2]}, -1}); }

V3 ToV3(const double* p) { return {p[0], p[1], p[2]}; }

class OriginNormalPlane : public ::testing::Test {
protected:
    void SetUp() override
    {
        KVPVS_REQUIRE_DISPLAY();
        g_draws.clear();
        g_destroys.clear();
        GMsgOutClear();
    }
    void TearDown() override
    {
        if (IsWindow(hDlg))
            DestroyWindow(hDlg);
    }
    CKVPVSDlgDefPlane* Open(int bNoPlot = 0)
    {
        auto* dlg = new CKVPVSDlgDefPlane(&s.m.doc, &s.view);
        dlg->SetDrawFunction(&OnDraw);
        dlg->SetCalledOnDestoryFunction(&OnDestroyed);
        dlg->SetNoPlotMode(bNoPlot);
        EXPECT_TRUE(dlg->Create(&s.view));
        dlg->ShowWindow(SW_SHOW);
        hDlg = dlg->m_hWnd;
        return dlg;
    }

    SeepageScene s;
    HWND hDlg = nullptr;
};

TEST_F(OriginNormalPlane, StartsOnTheXAxisThroughTheMiddleOfTheModelWithoutADrawCall)
{
    CKVPVSDlgDefPlane* dlg = Open();
    EXPECT_EQ(ToV3(dlg->GetNormal()), (V3{1, 0, 0}));
    EXPECT_EQ(ToV3(dlg->GetOrigin()), (V3{1, 1, 1}));
    EXPECT_EQ(AfxDriver::GetText(dlg, IDC_DEFPLANE_MIN_Y), CString("0"));
    EXPECT_EQ(AfxDriver::GetText(dlg, IDC_DEFPLANE_MAX_Y), CString("2"));
    EXPECT_EQ(AfxDriver::GetText(dlg, IDC_DEFPLANE_POS_Z), CString("1"));
    EXPECT_TRUE(dlg->GetDlgItem(IDC_DEFPLANE_POS_X)->IsWindowEnabled());
    EXPECT_FALSE(dlg->GetDlgItem(IDC_DEFPLANE_POS_Y)->IsWindowEnabled());
    EXPECT_FALSE(dlg->GetDlgItem(IDC_DEFPLANE_PNT1)->IsWindowEnabled());
    EXPECT_EQ(dlg->GetWidget()->GetEnabled(), 1);
    EXPECT_EQ(s.view.GetVTKInteraction(), 1);
    EXPECT_TRUE(g_draws.empty());
}

TEST_F(OriginNormalPlane, PositionOnTheChosenAxisIsClampedToTheModel)
{
    CKVPVSDlgDefPlane* dlg = Open();
    AfxDriver::Click(dlg, IDC_DEFPLANE_AXIS_Z);
    AfxDriver::SetText(dlg, IDC_DEFPLANE_POS_Z, "7.5");
    AfxDriver::Click(dlg, IDC_DEFPLANE_APPLY);
    EXPECT_EQ(ToV3(dlg->GetNormal()), (V3{0, 0, 1}));
    EXPECT_EQ(ToV3(dlg->GetOrigin()), (V3{1, 1, 2}));
    AfxDriver::SetText(dlg, IDC_DEFPLANE_POS_Z, "0.25");
    AfxDriver::Click(dlg, IDC_DEFPLANE_APPLY);
    EXPECT_EQ(ToV3(dlg->GetOrigin()), (V3{1, 1, 0.25}));
    AfxDriver::SetText(dlg, IDC_DEFPLANE_POS_Z, "nan");
    AfxDriver::Click(dlg, IDC_DEFPLANE_APPLY);
    EXPECT_EQ(ToV3(dlg->GetOrigin()), (V3{1, 1, 1})) << "no number: the middle of the range";
}

TEST_F(OriginNormalPlane, ReversingTheXAxisTurnsItAHairOffItsLine)
{
    CKVPVSDlgDefPlane* dlg = Open();
    AfxDriver::Click(dlg, IDC_DEFPLANE_REVERSE);
    EXPECT_EQ(ToV3(dlg->GetNormal()), (V3{-1, 9e-06, 0}));
    AfxDriver::Click(dlg, IDC_DEFPLANE_REVERSE);
    EXPECT_EQ(ToV3(dlg->GetNormal()), (V3{1, -9e-06, 0}));
    EXPECT_TRUE(g_draws.empty()) << "without dynamic display only the view is redrawn";
}

TEST_F(OriginNormalPlane, ThreePickedPointsGiveTheirNormalAndCentroid)
{
    CKVPVSDlgDefPlane* dlg = Open();
    ASSERT_TRUE(AfxDriver::Click(dlg, IDC_DEFPLANE_MODE_POINTS));
    EXPECT_FALSE(dlg->GetDlgItem(IDC_DEFPLANE_AXIS_X)->IsWindowEnabled());
    ASSERT_TRUE(AfxDriver::Focus(dlg, IDC_DEFPLANE_PNT1));
    EXPECT_EQ(dlg->GetCurPoint(), 1);
    EXPECT_EQ(s.view.GetVTKInteraction(), 0) << "picking points switches the widget off";
    for (const V3& p : {V3{0, 0, 0}, V3{2, 0, 0}, V3{0, 2, 0}})
        ASSERT_TRUE(dlg->GetEventHandler()->Pick(gp_Pnt(p[0], p[1], p[2])));
    EXPECT_EQ(dlg->GetCurPoint(), 0);
    EXPECT_EQ(dlg->GetEventHandler()->GetStatus(), 0);
    AfxDriver::Click(dlg, IDC_DEFPLANE_APPLY);
    const double* n = dlg->GetNormal();
    EXPECT_EQ(ToV3(n), (V3{0, 0, 1}));
    EXPECT_DOUBLE_EQ(dlg->GetOrigin()[0], 2.0 / 3.0);
    EXPECT_DOUBLE_EQ(dlg->GetOrigin()[1], 2.0 / 3.0);
    EXPECT_EQ(dlg->GetOrigin()[2], 0.0);
    EXPECT_EQ(static_cast<int>(MsgOutStandIn::Messages().size()), 0);
}

TEST_F(OriginNormalPlane, CollinearPointsLeaveThePlaneAndSayWhy)
{
    CKVPVSDlgDefPlane* dlg = Open();
    AfxDriver::Click(dlg, IDC_DEFPLANE_MODE_POINTS);
    AfxDriver::SetText(dlg, IDC_DEFPLANE_PNT1, "0, 0, 0");
    AfxDriver::SetText(dlg, IDC_DEFPLANE_PNT2, "1, 1, 1");
    AfxDriver::SetText(dlg, IDC_DEFPLANE_PNT3, "2, 2, 2");
    AfxDriver::Click(dlg, IDC_DEFPLANE_APPLY);
    ASSERT_EQ(static_cast<int>(MsgOutStandIn::Messages().size()), 1);
    EXPECT_STREQ(MsgOutStandIn::Messages()[0].text.c_str(), "The 3 selected points cannot define a plane!");
    EXPECT_EQ(ToV3(dlg->GetNormal()), (V3{1, 0, 0}));
    EXPECT_EQ(ToV3(dlg->GetOrigin()), (V3{1, 1, 1}));
    AfxDriver::SetText(dlg, IDC_DEFPLANE_PNT3, "2, two, 2");
    AfxDriver::Click(dlg, IDC_DEFPLANE_APPLY);
    EXPECT_EQ(static_cast<int>(MsgOutStandIn::Messages().size()), 2) << "a point that is no point defines no plane either";
}

// Show and Enter draw with flag 1 whatever the check; the widget's end of interaction (VTK's
// event 45) draws with the dynamic-display check; its start (41) draws nothing.
TEST_F(OriginNormalPlane, DrawCallsCarryTheNormalTheOriginAndTheirFlag)
{
    CKVPVSDlgDefPlane* dlg = Open();
    AfxDriver::Click(dlg, IDC_DEFPLANE_SHOW);
    AfxDriver::PressKey(dlg, VK_RETURN);
    vtkImplicitPlaneWidget* w = dlg->GetWidget();
    w->SetOrigin(1.0, 0.5, 1.0);
    w->InvokeEvent(vtkCommand::StartInteractionEvent);
    w->InvokeEvent(vtkCommand::EndInteractionEvent);
    AfxDriver::Check(dlg, IDC_DEFPLANE_DYNAMIC, 1);
    EXPECT_FALSE(dlg->GetDlgItem(IDC_DEFPLANE_SHOW)->IsWindowEnabled());
    w->InvokeEvent(vtkCommand::EndInteractionEvent);
    AfxDriver::Click(dlg, IDC_DEFPLANE_REVERSE);

    ASSERT_EQ(g_draws.size(), 5u);
    const int flags[5] = {1, 1, 0, 1, 1};
    for (int i = 0; i < 5; ++i)
        EXPECT_EQ(g_draws[i].nFlag, flags[i]) << "call " << i;
    EXPECT_EQ(g_draws[0].normal, (V3{1, 0, 0}));
    EXPECT_EQ(g_draws[0].origin, (V3{1, 1, 1}));
    EXPECT_EQ(g_draws[2].origin, (V3{1, 0.5, 1})) << "the dragged plane";
    EXPECT_EQ(ToV3(dlg->GetOrigin()), (V3{1, 0.5, 1}));
    EXPECT_EQ(g_draws[4].normal, (V3{-1, 9e-06, 0}));
}

TEST_F(OriginNormalPlane, NoPlotModeHidesShowAndDynamicDisplay)
{
    CKVPVSDlgDefPlane* dlg = Open(1);
    EXPECT_FALSE(dlg->GetDlgItem(IDC_DEFPLANE_SHOW)->IsWindowVisible());
    EXPECT_FALSE(dlg->GetDlgItem(IDC_DEFPLANE_DYNAMIC)->IsWindowVisible());
    EXPECT_EQ(dlg->m_nInitPos, 3);
    EXPECT_EQ(dlg->m_nMovesToInitPos, 1);
}

TEST_F(OriginNormalPlane, OpenersPlaneReplacesTheDefaultAndComesBackOnClose)
{
    auto* dlg = new CKVPVSDlgDefPlane(&s.m.doc, &s.view);
    dlg->SetDrawFunction(&OnDraw);
    dlg->SetCalledOnDestoryFunction(&OnDestroyed);
    dlg->SetNormal(0.0, 1.0, 0.0);
    dlg->SetOrigin(0.5, 0.25, 1.5);
    ASSERT_TRUE(dlg->Create(&s.view));
    hDlg = dlg->m_hWnd;
    EXPECT_EQ(ToV3(dlg->GetNormal()), (V3{0, 1, 0}));
    EXPECT_EQ(ToV3(dlg->GetOrigin()), (V3{0.5, 0.25, 1.5}));
    double wn[3];
    dlg->GetWidget()->GetNormal(wn);
    EXPECT_EQ(ToV3(wn), (V3{0, 1, 0})) << "the widget shows it too";
    EXPECT_TRUE(g_draws.empty());
    AfxDriver::SysCommand(dlg, SC_CLOSE);
    EXPECT_FALSE(IsWindow(hDlg));
    EXPECT_EQ(CKVPVSDlgDefPlane::m_pMySelf, nullptr);
    ASSERT_EQ(g_destroys.size(), 1u);
    EXPECT_EQ(g_destroys[0].normal, (V3{0, 1, 0}));
    EXPECT_EQ(g_destroys[0].origin, (V3{0.5, 0.25, 1.5}));
    EXPECT_EQ(s.view.GetVTKInteraction(), 0);
}

// A document of bare nodes (the model's bounds are theirs) shown in a post view.
struct NodeScene {
    CDBDoc doc;
    CZORViewBase view;
    explicit NodeScene(const std::vector<V3>& aPoint)
    {
        CZORDocBase::SetCurDoc(&doc);
        CClassNode nodes(doc.GetModelDB());
        for (const V3& p : aPoint) {
            T_NODE_D n;
            n.dXyz[0] = p[0];
            n.dXyz[1] = p[1];
            n.dXyz[2] = p[2];
            nodes.Add(n);
        }
        view.CreateWindowCore(nullptr);
        doc.SetActiveView(&view);
    }
    ~NodeScene()
    {
        view.DestroyWindow();
        CZORDocBase::SetCurDoc(nullptr);
    }
};

// A flat model (all nodes at z = 0, 2 x 2 in plan): the placement box is widened on Z by 1 %
// of the larger other range, then scaled by the place factor 1.25 about its centre, so the
// X plane through the model spans z = +-0.025 and y = -0.5 .. 2.5.
TEST(OriginNormalPlaneFlat, FlatModelWidensTheFlatAxisOfThePlacementBox)
{
    KVPVS_REQUIRE_DISPLAY();
    NodeScene sc({V3{0, 0, 0}, V3{2, 0, 0}, V3{0, 2, 0}, V3{2, 2, 0}});
    auto* dlg = new CKVPVSDlgDefPlane(&sc.doc, &sc.view);
    ASSERT_TRUE(dlg->Create(&sc.view));
    const HWND h = dlg->m_hWnd;
    vtkNew<vtkPolyData> cut;
    dlg->GetWidget()->GetPolyData(cut);
    double b[6];
    cut->GetBounds(b);
    // The widget keeps its polygon in single precision: a few float steps of 2.5.
    const double tol = 4 * 2.5 * 1.1920929e-7;
    EXPECT_NEAR(b[0], 1.0, tol);
    EXPECT_NEAR(b[1], 1.0, tol);
    EXPECT_NEAR(b[2], -0.5, tol);
    EXPECT_NEAR(b[3], 2.5, tol);
    EXPECT_NEAR(b[4], -0.025, tol);
    EXPECT_NEAR(b[5], 0.025, tol);
    DestroyWindow(h);
}

// A 4 x 2.891 x 2 m model moved by s on x and y, as models in national-grid coordinates are,
// its lengths shown in metres, millimetres or feet: the range and the first-shown position of
// every axis read back as the model's bounds and their middle in the output unit, the plane
// starts through their exact middle, and a typed position lands where typed, or on
// the model's face beyond it, never on a six-digit rounding of either. In feet the middle
// 100002.789 m goes out and in again as 100002.78900000002 m: the untouched middle is not
// re-read from its text.
constexpr double kFeetPerMetre = 1.0 / 0.3048;

struct FarCase {
    double s;
    double dOut; // output length units per metre
};

class OriginNormalPlaneFar : public ::testing::TestWithParam<FarCase> {};

TEST_P(OriginNormalPlaneFar, RangeMiddleAndClampComeFromTheModelsBounds)
{
    KVPVS_REQUIRE_DISPLAY();
    const FarCase c = GetParam();
    const V3 lo = {c.s + 0.789, c.s + 0.5, -1.25}, hi = {c.s + 4.789, c.s + 3.391, 0.75};
    NodeScene sc({lo, hi});
    CDocCtrl::GetUnitCtrl(&sc.doc)->SetFactor(1, c.dOut);
    auto* dlg = new CKVPVSDlgDefPlane(&sc.doc, &sc.view);
    ASSERT_TRUE(dlg->Create(&sc.view));
    const HWND h = dlg->m_hWnd;
    const V3 mid = {(lo[0] + hi[0]) / 2, (lo[1] + hi[1]) / 2, (lo[2] + hi[2]) / 2};
    EXPECT_EQ(ToV3(dlg->GetOrigin()), mid);
    const UINT minID[3] = {IDC_DEFPLANE_MIN_X, IDC_DEFPLANE_MIN_Y, IDC_DEFPLANE_MIN_Z};
    const UINT maxID[3] = {IDC_DEFPLANE_MAX_X, IDC_DEFPLANE_MAX_Y, IDC_DEFPLANE_MAX_Z};
    const UINT posID[3] = {IDC_DEFPLANE_POS_X, IDC_DEFPLANE_POS_Y, IDC_DEFPLANE_POS_Z};
    for (size_t k = 0; k < 3; ++k) {
        const double want[3] = {lo[k] * c.dOut, hi[k] * c.dOut, (lo[k] * c.dOut + hi[k] * c.dOut) / 2};
        const UINT id[3] = {minID[k], maxID[k], posID[k]};
        for (int t = 0; t < 3; ++t) {
            const CString text = AfxDriver::GetText(dlg, id[t]);
            EXPECT_EQ(std::strtod(text, nullptr), want[t])
                << "axis " << k << " box " << t << " reads " << text.GetString();
        }
    }
    for (const double x : {c.s + 2.123, c.s + 10.0}) {
        char text[40];
        std::snprintf(text, sizeof text, "%.17g", x * c.dOut);
        AfxDriver::SetText(dlg, IDC_DEFPLANE_POS_X, text);
        AfxDriver::Click(dlg, IDC_DEFPLANE_APPLY);
        const V3 want = {std::min(std::atof(text) / c.dOut, hi[0]), mid[1], mid[2]};
        EXPECT_EQ(ToV3(dlg->GetOrigin()), want) << text;
    }
    DestroyWindow(h);
}

INSTANTIATE_TEST_SUITE_P(Positions, OriginNormalPlaneFar,
                         ::testing::Values(FarCase{0.0, 1.0}, FarCase{1e5, 1.0}, FarCase{1e5, kFeetPerMetre},
                                           FarCase{5.1e6, 1000.0}, FarCase{1e8, 1.0}, FarCase{1e8, 1000.0},
                                           FarCase{1e8, kFeetPerMetre}),
                         [](const ::testing::TestParamInfo<FarCase>& i) {
                             return "At" + std::to_string(static_cast<long long>(i.param.s)) +
                                    (i.param.dOut == 1.0      ? "InMetres"
                                     : i.param.dOut == 1000.0 ? "InMillimetres"
                                                              : "InFeet");
                         });

} // namespace
