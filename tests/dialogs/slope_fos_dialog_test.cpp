// The slope factor-of-safety dialog as the user drives it, with the host building the display
// it asks for: a 3 x 2 grid of trial centres with two radii each over a flat ground line, factors
// chosen so that every rule of the listing shows (a centre without a valid factor, ties within a
// centre and between centres), two polyline slip surfaces, and the boundary combinations that
// list nothing. Lengths are shown at twice the model's.
#include "ForceSumFixtures.h"
#include "UserDefDisplayHost.h"

#include "dialogs/CDlgSlopeFOSResult.h"
#include "dialogs/DialogControlIds.h"
#include "visualmethods/CPVSVisualMethodFOS.h"

#include "ClassAcas.h"
#include "MsgDll.h"
#include "PVSLegendObjectUserDefMode.h"
#include "PVSMeshMngrBrdg.h"
#include "PVSRendererBase.h"
#include "SampleSlope.h"
#include "SlopeResults.h"
#include "THResultBuilder.h"
#include "UnitCtrl.h"
#include "afx_standin.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

using namespace kvpvs::test;

namespace {

constexpr double kOutPerModel = 2.0;

class SlopeFOSDialog : public ::testing::Test {
protected:
    void SetUp() override
    {
        BuildHexBlock(m, HexBlockGrid{2, 2, 1, 1.0, 1.0, 1.0});
        CDocCtrl::GetUnitCtrl(&m.doc)->SetFactor(1, kOutPerModel);
        CMsgDll::SetText(IDS_KV_PVS_Radius, "R(%s)");
        CMsgDll::SetText(IDS_KV_PVS_Min, "Min : %s");
        CMsgDll::SetText(IDS_KV_PVS_Max, "Max : %s");
        bridge = std::make_unique<CPVSMeshMngrBrdg>();
        view.CreateWindowCore(nullptr);
        bridge->SetWnd(&view);
        m.doc.SetActiveView(&view);
        host.Install(*bridge);
        Win32ClearMessageBoxJournal();
        db = m.doc.GetModelDB();
        ground = AddGround();
    }
    void TearDown() override
    {
        if (CDlgSlopeFOSResult::m_pMySelf)
            CDlgSlopeFOSResult::m_pMySelf->DestroyWindow();
        kvpvs::host::CUserDefDisplayHost::Uninstall(*bridge);
        bridge.reset();
        view.DestroyWindow();
    }
    unsigned int AddGround()
    {
        T_SLOPE_GROUND_D g;
        g.aVertex.Add(T_POINT2D_D{-50, 0});
        g.aVertex.Add(T_POINT2D_D{50, 0});
        return CClassSlopeGround(db).Add(g);
    }
    // Centres at model x 0, 2, 4 and y 10, 12 (centre k2 x 3 + k1) in the X-Y plane, radii 13 and
    // 15: every circle cuts y = 0 twice.
    unsigned int AddGrid(int nRadii = 2)
    {
        T_LEGR_D g;
        g.p[0] = {0, 10 * kOutPerModel};
        g.p[1] = {4 * kOutPerModel, 10 * kOutPerModel};
        g.p[2] = {4 * kOutPerModel, 12 * kOutPerModel};
        g.nN1 = 3;
        g.nN2 = 2;
        for (int i = 0; i < nRadii; ++i)
            g.aRadius.Add(13.0 + 2 * i);
        return CClassLegr(db).Add(g);
    }
    unsigned int AddPolyline(const char* pszName, std::vector<T_POINT2D_D> v)
    {
        T_LEPL_D p;
        p.strName = pszName;
        for (T_POINT2D_D q : v)
            p.aVertex.Add(q);
        return CClassLepl(db).Add(p);
    }
    unsigned int AddBoundary(std::vector<unsigned int> legr, std::vector<unsigned int> lepl)
    {
        T_SLOPE_BNDR_D b;
        for (unsigned int k : legr)
            b.aLegrK.Add(k);
        for (unsigned int k : lepl)
            b.aLeplK.Add(k);
        return CClassSlopeBndr(db).Add(b);
    }
    unsigned int AddCase(const char* pszName, std::vector<unsigned int> bndr, std::vector<double> fos, int nType = 18)
    {
        T_ACAS_D a;
        a.nType = nType;
        a.strName = pszName;
        const unsigned int k = CClassAcas(db).Add(a);
        CTHResultBuilder::PostCtrl(m.doc)->SetStaticCase(k, std::make_shared<CPostCtrlAnlTypeStatic>(nType));
        T_SLOPE_ACAS_D use;
        for (unsigned int b : bndr)
            use.aBndrK.Add(b);
        use.aKey2.Add(ground);
        CClassSlopeAcas(db).Set(k, use);
        CTHResultBuilder::PostCtrl(m.doc)->SetSafetyRatio4SAM(k, fos);
        return k;
    }
    // Per centre (radius 13, radius 15): ties within centre 2, no valid factor at centre 1,
    // equal minima at centres 2 and 4 (1.3) and at centres 3 and 5 (1.9).
    const std::vector<double> kCircleFos{1.5, 1.4, 0.0, 0.0005, 1.3, 1.3, 2.0, 1.9, 1.3, 2.5, 1.9, 2.2};
    CDlgSlopeFOSResult* Open()
    {
        CDlgSlopeFOSResult::CreateOrActivate(&view);
        return CDlgSlopeFOSResult::m_pMySelf;
    }
    CExtListCtrl* List(CDlgSlopeFOSResult* dlg) { return dynamic_cast<CExtListCtrl*>(dlg->GetDlgItem(IDC_SFOS_LIST)); }
    CPVSVisualMethodFOS* Method() { return dynamic_cast<CPVSVisualMethodFOS*>(host.GetMethod()); }
    const T_VD_FOS_TVCKVR_D* Shown() { return dynamic_cast<T_VD_FOS_TVCKVR_D*>(host.GetRecord()); }

    ForceSumModel m;
    CDBBase* db = nullptr;
    unsigned int ground = 0;
    CView view;
    std::unique_ptr<CPVSMeshMngrBrdg> bridge;
    CPVSRendererRecorder renderer;
    kvpvs::host::CUserDefDisplayHost host{&renderer};
};

TEST_F(SlopeFOSDialog, CirclesListWithPerCentreMinimaAndTiesGoingToTheLaterCentre)
{
    AddCase("Circles", {AddBoundary({AddGrid()}, {})}, kCircleFos);
    CDlgSlopeFOSResult* dlg = Open();
    ASSERT_NE(dlg, nullptr);
    CExtListCtrl* list = List(dlg);
    ASSERT_EQ(list->GetItemCount(), 12);
    ASSERT_EQ(dlg->GetCentreCount(), 6);
    const double minima[6] = {1.4, 0.0, 1.3, 1.9, 1.3, 1.9};
    for (int i = 0; i < 6; ++i)
        EXPECT_EQ(dlg->GetCentreMinimum(i), minima[i]) << "centre " << i;
    EXPECT_EQ(dlg->GetMinRow(), 8) << "1.3 at centres 2 and 4: the later, radius 13";
    EXPECT_EQ(dlg->GetMaxRow(), 10) << "the largest of the centres' minima, 1.9 at centre 5";
    EXPECT_EQ(CDlgSlopeFOSResult::DisplayRecord().nCriticalIndex, 4);
    EXPECT_STREQ(list->GetColumnText(0).GetString(), "X0(m)");
    EXPECT_STREQ(list->GetColumnText(1).GetString(), "Y0(m)");
    EXPECT_STREQ(list->GetColumnText(2).GetString(), "R(m)");
    // Circle 9: centre 4 = (2, 12) in the model, radius 15, shown at twice the length.
    EXPECT_STREQ(list->GetItemText(9, 0).GetString(), "4");
    EXPECT_STREQ(list->GetItemText(9, 1).GetString(), "24");
    EXPECT_STREQ(list->GetItemText(9, 2).GetString(), "30");
    EXPECT_STREQ(list->GetItemText(9, 3).GetString(), "2.5");
    EXPECT_STREQ(list->GetItemText(2, 3).GetString(), "N/A");
    EXPECT_STREQ(list->GetItemText(3, 3).GetString(), "N/A") << "0.0005 is below 0.001";
}

TEST_F(SlopeFOSDialog, MinimumDrawsTheCriticalCircleWithTheCentreGridAndLegend)
{
    AddCase("Circles", {AddBoundary({AddGrid()}, {})}, kCircleFos);
    CDlgSlopeFOSResult* dlg = Open();
    ASSERT_NE(dlg, nullptr);
    AfxDriver::Select(dlg, IDC_SFOS_FONT, 3);
    AfxDriver::SetText(dlg, IDC_SFOS_WIDTH, "5");
    ASSERT_TRUE(AfxDriver::Click(dlg, IDC_SFOS_MINIMUM));
    EXPECT_EQ(List(dlg)->GetSelectedItem(), 8);
    EXPECT_EQ(List(dlg)->GetVisibleItem(), 8);
    ASSERT_EQ(host.GetShownCount(), 1);
    const T_VD_FOS_TVCKVR_D* rec = Shown();
    ASSERT_NE(rec, nullptr);
    EXPECT_EQ(rec->nPlotKind, 0);
    EXPECT_EQ(rec->nLabelSizeLevel, 4);
    EXPECT_EQ(rec->nLineWidth, 5);
    EXPECT_EQ(rec->nCriticalIndex, 4);
    EXPECT_EQ(rec->dRadius, 13.0);
    EXPECT_EQ(rec->dCentre[0], 2.0);
    EXPECT_EQ(rec->dCentre[1], 12.0);
    ASSERT_EQ(rec->aGridPoint.GetSize(), 6);
    EXPECT_EQ(rec->aGridFactor[1], 0.0);
    EXPECT_EQ(rec->aGridPoint[5].x, 4.0);
    EXPECT_EQ(rec->aGridPoint[5].y, 12.0);
    // The arc runs between the ground crossings x = 2 -+ sqrt(13^2 - 12^2) = -3 and 7.
    EXPECT_NEAR(rec->dArcStart[0], -3.0, 1e-12);
    EXPECT_NEAR(rec->dArcEnd[0], 7.0, 1e-12);
    EXPECT_NEAR(rec->dArcStart[1], 0.0, 1e-12);
    const auto& legend = CPVSLegendObjectUserDefMode::m_arLegendDesc;
    ASSERT_EQ(legend.GetSize(), 3);
    EXPECT_STREQ(legend[1].GetString(), "Min : 1.3");
    EXPECT_STREQ(legend[2].GetString(), "Max : 1.9");
    // The trial grid drawn on the work plane meets the centres: first grid corner at centre 0.
    CPVSVisualMethodFOS* vm = Method();
    ASSERT_NE(vm, nullptr);
    EXPECT_DOUBLE_EQ(vm->m_pGridSeg[0][0], 0.0);
    EXPECT_DOUBLE_EQ(vm->m_pGridSeg[0][1], 10.0);
    EXPECT_DOUBLE_EQ(vm->m_pGridSeg[1][1], 12.0);
}

// A slope kept in national-grid coordinates: trial centres at a = 5123456.789 and 2 m beyond,
// b = 12.3456, one radius of 13.2468, over the ground y = 0. The circle is drawn about its own
// centre through the ground crossings a -+ sqrt(r^2 - b^2); its factor's label has four digits.
TEST_F(SlopeFOSDialog, ACircleAtProjectedCoordinatesIsDrawnAboutItsCentre)
{
    constexpr double a = 5123456.789, b = 12.3456, r = 13.2468;
    T_SLOPE_GROUND_D g;
    g.aVertex.Add(T_POINT2D_D{a - 50, 0});
    g.aVertex.Add(T_POINT2D_D{a + 50, 0});
    ground = CClassSlopeGround(db).Add(g);
    T_LEGR_D grid;
    grid.p[0] = {a * kOutPerModel, b * kOutPerModel};
    grid.p[1] = {(a + 2) * kOutPerModel, b * kOutPerModel};
    grid.p[2] = grid.p[1];
    grid.nN1 = 2;
    grid.nN2 = 1;
    grid.aRadius.Add(r);
    AddCase("Projected", {AddBoundary({CClassLegr(db).Add(grid)}, {})}, {1.23456, 2.0});
    CDlgSlopeFOSResult* dlg = Open();
    ASSERT_NE(dlg, nullptr);
    ASSERT_TRUE(AfxDriver::Click(dlg, IDC_SFOS_MINIMUM));
    ASSERT_EQ(host.GetShownCount(), 1);
    const T_VD_FOS_TVCKVR_D* rec = Shown();
    EXPECT_EQ(rec->dCentre[0], a);
    EXPECT_EQ(rec->dCentre[1], b);
    EXPECT_EQ(rec->dRadius, r);
    CPVSVisualMethodFOS* vm = Method();
    ASSERT_NE(vm, nullptr);
    const double h = std::sqrt(r * r - b * b);
    EXPECT_NEAR(vm->m_dArc[0][0], a - h, 1e-9 * r);
    EXPECT_NEAR(vm->m_dArc[CPVSVisualMethodFOS::kArcPoints - 1][0], a + h, 1e-9 * r);
    for (const auto& p : vm->m_dArc)
        EXPECT_NEAR(std::hypot(p[0] - a, p[1] - b), r, 1e-9 * r) << "arc point at x = " << p[0];
    ASSERT_EQ(vm->m_aCriticalText.GetSize(), 1);
    EXPECT_STREQ(vm->m_aCriticalText[0].GetString(), "1.235");
}

// A trial grid kept in projected coordinates, centres a = s + 0.3 .. s + 4.3 (five, 1 m apart)
// by two rows, listed in metres or millimetres in each plane kind: every centre's text reads
// back as the centre it stands for (eight digits gave 5123457.1 for 5123457.089, and 1e+08 for
// every centre at 1e8); radius and factor keep their eight digits.
struct T_FAR_GRID_CASE {
    int nPlane;
    double s;
    double dOutPerModel;
};

class SlopeFOSFarGrid : public SlopeFOSDialog, public ::testing::WithParamInterface<T_FAR_GRID_CASE> {};

TEST_P(SlopeFOSFarGrid, CentresAreListedWithTheDigitsThatReadBack)
{
    const T_FAR_GRID_CASE& c = GetParam();
    CUnitCtrl* pUnit = CDocCtrl::GetUnitCtrl(&m.doc);
    pUnit->SetFactor(1, c.dOutPerModel);
    // The second plane coordinate is a northing in the X-Y plane, an elevation otherwise.
    const double b = (c.nPlane == 0 ? c.s : 0.0) + 12.3456;
    T_LEGR_D grid;
    grid.nPlane = c.nPlane;
    grid.p[0] = {(c.s + 0.3) * c.dOutPerModel, b * c.dOutPerModel};
    grid.p[1] = {(c.s + 4.3) * c.dOutPerModel, b * c.dOutPerModel};
    grid.p[2] = {(c.s + 4.3) * c.dOutPerModel, (b + 0.7) * c.dOutPerModel};
    grid.nN1 = 5;
    grid.nN2 = 2;
    grid.aRadius.Add(13.24681357);
    const unsigned int k = CClassLegr(db).Add(grid);
    AddCase("Projected", {AddBoundary({k}, {})}, std::vector<double>(10, 1.234567891));
    CDlgSlopeFOSResult* dlg = Open();
    ASSERT_NE(dlg, nullptr);
    CExtListCtrl* list = List(dlg);
    T_CIRC2D_CASE circ;
    ASSERT_TRUE(CClassLegr(db).GetCircData(k, circ));
    ASSERT_EQ(list->GetItemCount(), 10);
    const double f = pUnit->GetConvertFactorCurrent(1);
    char sz[40];
    for (int i = 0; i < 10; ++i) {
        const T_CIRC2D& q = circ.aCirc[i];
        EXPECT_EQ(std::strtod(list->GetItemText(i, 0).GetString(), nullptr), q.a / f)
            << list->GetItemText(i, 0).GetString();
        EXPECT_EQ(std::strtod(list->GetItemText(i, 1).GetString(), nullptr), q.b / f)
            << list->GetItemText(i, 1).GetString();
        std::snprintf(sz, sizeof sz, "%.8g", q.r / f);
        EXPECT_STREQ(list->GetItemText(i, 2).GetString(), sz);
        EXPECT_STREQ(list->GetItemText(i, 3).GetString(), "1.2345679");
    }
}

INSTANTIATE_TEST_SUITE_P(Far, SlopeFOSFarGrid,
                         ::testing::Values(T_FAR_GRID_CASE{0, 5123456.789, 1.0},
                                           T_FAR_GRID_CASE{1, 5123456.789, 1000.0}, T_FAR_GRID_CASE{2, 1e8, 1.0},
                                           T_FAR_GRID_CASE{0, 1e8, 1000.0}),
                         [](const ::testing::TestParamInfo<T_FAR_GRID_CASE>& i) {
                             return "Plane" + std::to_string(i.param.nPlane) + "At" +
                                    std::to_string(static_cast<long long>(i.param.s)) +
                                    (i.param.dOutPerModel == 1.0 ? "InMetres" : "InMillimetres");
                         });

TEST_F(SlopeFOSDialog, ARowWithoutAValidFactorIsNotDrawn)
{
    AddCase("Circles", {AddBoundary({AddGrid()}, {})}, kCircleFos);
    CDlgSlopeFOSResult* dlg = Open();
    ASSERT_NE(dlg, nullptr);
    ASSERT_TRUE(AfxDriver::ClickListItem(dlg, IDC_SFOS_LIST, 2));
    EXPECT_EQ(host.GetShownCount(), 0);
    ASSERT_EQ(Win32MessageBoxCount(), 1);
    EXPECT_STREQ(Win32MessageBoxAt(0)->pszText, "IDS_KV_PVS_Error_FOS");
    ASSERT_TRUE(AfxDriver::ClickListItem(dlg, IDC_SFOS_LIST, 6));
    EXPECT_EQ(host.GetShownCount(), 1);
    EXPECT_EQ(Shown()->dRadius, 13.0);
}

TEST_F(SlopeFOSDialog, PlotWithNothingListedOrSelectedDoesNothing)
{
    AddCase("Nothing", {}, {});
    CDlgSlopeFOSResult* dlg = Open();
    ASSERT_NE(dlg, nullptr);
    EXPECT_EQ(dlg->Plot(0), 0);
    EXPECT_EQ(dlg->Plot(1), 0) << "row 0 of an empty list";
    EXPECT_EQ(dlg->Plot(2), 0);
    EXPECT_EQ(dlg->Plot(3), 0);
    EXPECT_EQ(host.GetRequestCount(), 0);
}

TEST_F(SlopeFOSDialog, ALengthUnitChangeRelabelsAndRescalesWithoutANewQuery)
{
    const unsigned int k = AddCase("Circles", {AddBoundary({AddGrid()}, {})}, kCircleFos);
    CDlgSlopeFOSResult* dlg = Open();
    ASSERT_NE(dlg, nullptr);
    CTHResultBuilder::PostCtrl(m.doc)->SetSafetyRatio4SAM(k, std::vector<double>(12, 9.0));
    CDocCtrl::GetUnitCtrl(&m.doc)->SetFactor(1, 1000.0);
    CDocCtrl::GetUnitCtrl(&m.doc)->SetUnitName(1, "mm");
    dlg->OnUpdate(nullptr, 4, nullptr);
    CExtListCtrl* list = List(dlg);
    EXPECT_STREQ(list->GetColumnText(0).GetString(), "X0(mm)");
    EXPECT_EQ(list->GetColumnCount(), 4);
    EXPECT_STREQ(list->GetItemText(9, 0).GetString(), "2000");
    EXPECT_STREQ(list->GetItemText(9, 3).GetString(), "2.5") << "the factors of the first query";
    CDocCtrl::GetUnitCtrl(&m.doc)->SetUnitName(1, "m");
}

TEST_F(SlopeFOSDialog, PolylinesListWithTheLaterOfEqualFactorsAsMinimumAndMaximum)
{
    const unsigned int a = AddPolyline("Deep", {{-10, 0}, {-3, -5}, {4, -6}, {12, 0}});
    const unsigned int b = AddPolyline("Shallow", {{-6, 0}, {0, -3}, {6, 0}});
    const unsigned int c = AddPolyline("Failed", {{-2, 0}, {2, 0}});
    AddCase("Polylines", {AddBoundary({}, {a, b, c})}, {1.2, 1.2, 0.0});
    CDlgSlopeFOSResult* dlg = Open();
    ASSERT_NE(dlg, nullptr);
    CExtListCtrl* list = List(dlg);
    ASSERT_EQ(list->GetItemCount(), 3);
    EXPECT_STREQ(list->GetItemText(1, 1).GetString(), "Shallow");
    EXPECT_STREQ(list->GetItemText(2, 2).GetString(), "N/A");
    EXPECT_EQ(dlg->GetMinRow(), 1);
    EXPECT_EQ(dlg->GetMaxRow(), 1);
    ASSERT_TRUE(AfxDriver::ClickListItem(dlg, IDC_SFOS_LIST, 0));
    ASSERT_EQ(host.GetShownCount(), 1);
    const T_VD_FOS_TVCKVR_D* rec = Shown();
    EXPECT_EQ(rec->nPlotKind, 1);
    EXPECT_EQ(rec->nPolylineKey, static_cast<int>(a));
    EXPECT_EQ(rec->dPolylineFactor, 1.2);
    ASSERT_EQ(rec->aPolylinePoint.GetSize(), 6) << "two points per segment";
    EXPECT_EQ(rec->aPolylinePoint[5].x, 12.0);
    ASSERT_TRUE(AfxDriver::ClickListItem(dlg, IDC_SFOS_LIST, 2));
    EXPECT_EQ(host.GetShownCount(), 1) << "a single segment is not a slip surface";
    EXPECT_EQ(Win32MessageBoxCount(), 1);
}

struct T_BOUNDARY_CASE {
    const char* pszName;
    int nShape; // 0 same grid twice, 1 two grids, 2 two polyline boundaries, 3 circles and polylines, 4 no radius
    int nRows;
};

class SlopeFOSBoundaries : public SlopeFOSDialog, public ::testing::WithParamInterface<T_BOUNDARY_CASE> {};

TEST_P(SlopeFOSBoundaries, ListOnlyOneKindOfSurfaceFromOneSource)
{
    const unsigned int g1 = AddGrid(GetParam().nShape == 4 ? 0 : 2), g2 = AddGrid();
    const unsigned int p1 = AddPolyline("p1", {{-6, 0}, {0, -3}, {6, 0}});
    const unsigned int p2 = AddPolyline("p2", {{-6, 0}, {0, -4}, {6, 0}});
    std::vector<unsigned int> bndr;
    switch (GetParam().nShape) {
    case 0: bndr = {AddBoundary({g1}, {}), AddBoundary({g1}, {})}; break;
    case 1: bndr = {AddBoundary({g1}, {}), AddBoundary({g2}, {})}; break;
    case 2: bndr = {AddBoundary({}, {p1}), AddBoundary({}, {p2})}; break;
    case 3: bndr = {AddBoundary({g1}, {}), AddBoundary({}, {p1})}; break;
    default: bndr = {AddBoundary({g1}, {})}; break;
    }
    AddCase("Case", bndr, kCircleFos);
    CDlgSlopeFOSResult* dlg = Open();
    ASSERT_NE(dlg, nullptr);
    EXPECT_EQ(List(dlg)->GetItemCount(), GetParam().nRows);
}

INSTANTIATE_TEST_SUITE_P(Shapes, SlopeFOSBoundaries,
                         ::testing::Values(T_BOUNDARY_CASE{"OneGridOnTwoBoundaries", 0, 12},
                                           T_BOUNDARY_CASE{"TwoGrids", 1, 0},
                                           T_BOUNDARY_CASE{"TwoPolylineBoundaries", 2, 0},
                                           T_BOUNDARY_CASE{"CirclesAndPolylines", 3, 0},
                                           T_BOUNDARY_CASE{"NoRadius", 4, 0}),
                         [](const ::testing::TestParamInfo<T_BOUNDARY_CASE>& i) { return std::string(i.param.pszName); });

TEST_F(SlopeFOSDialog, OnlySlopeCasesWithResultsAreOffered)
{
    AddCase("Circles", {AddBoundary({AddGrid()}, {})}, kCircleFos);
    AddCase("Stages", {}, {}, 5);
    const unsigned int k = AddCase("Not run", {}, {});
    CPostCtrlAnlTypeBase* pCtrl = nullptr;
    CTHResultBuilder::PostCtrl(m.doc)->GetPostCtrlSub(k, &pCtrl);
    pCtrl->SetResultReady(0);
    CDlgSlopeFOSResult* dlg = Open();
    ASSERT_NE(dlg, nullptr);
    auto* combo = dynamic_cast<CComboBox*>(dlg->GetDlgItem(IDC_SFOS_CASE));
    ASSERT_EQ(combo->GetCount(), 1);
    CString s;
    combo->GetLBText(0, s);
    EXPECT_STREQ(s.GetString(), "Circles");
}

TEST_F(SlopeFOSDialog, CloseFreesTheFactorsOnceAndLeavesTheDisplay)
{
    AddCase("Circles", {AddBoundary({AddGrid()}, {})}, kCircleFos);
    CDlgSlopeFOSResult* dlg = Open();
    ASSERT_NE(dlg, nullptr);
    ASSERT_NE(dlg->GetFactorBuffer(), nullptr);
    // Close frees the buffer, then the window's destruction frees it again: once only.
    ASSERT_TRUE(AfxDriver::Click(dlg, IDC_SFOS_CLOSE));
    EXPECT_EQ(CDlgSlopeFOSResult::m_pMySelf, nullptr);
    EXPECT_NE(Open(), nullptr) << "a new dialog after the close";
}

TEST_F(SlopeFOSDialog, TheSampleSlopeListsItsCirclesWithSomeWithoutFactor)
{
    kvpvs::sample::SlopeSummary s;
    ASSERT_TRUE(kvpvs::sample::BuildSampleSlope(m.doc, s));
    CDlgSlopeFOSResult* dlg = Open();
    ASSERT_NE(dlg, nullptr);
    CExtListCtrl* list = List(dlg);
    ASSERT_EQ(list->GetItemCount(), 36);
    int nNA = 0;
    for (int i = 0; i < 36; ++i)
        nNA += list->GetItemText(i, 3) == "N/A";
    EXPECT_GT(nNA, 0);
    EXPECT_LT(nNA, 36);
    ASSERT_TRUE(AfxDriver::Click(dlg, IDC_SFOS_MINIMUM));
    EXPECT_EQ(host.GetShownCount(), 1);
}

} // namespace

TEST_F(SlopeFOSDialog, OpensOnTheWindowItIsGivenAndOnlyOnce)
{
    AddCase("Circles", {AddBoundary({AddGrid()}, {})}, kCircleFos);
    CDlgSlopeFOSResult* dlg = Open();
    ASSERT_NE(dlg, nullptr);
    EXPECT_EQ(dlg->GetParent(), &view);
    EXPECT_EQ(Open(), dlg) << "a second request activates the open dialog";
}
