// The slope factor-of-safety display drawn into a recorder: the trial-centre grid read from the
// slope's circle-grid record (corners in output lengths, twice the model's) and placed by plane
// kind, the critical circle as a 21-point arc, the factor labels, a polyline slip
// surface, and the failures that leave nothing half drawn. Expected values are worked out by
// hand from the geometry: parallelogram edges, exact grid parameters, rotations by 9 degrees.
#include "ForceSumFixtures.h"

#include "visualdata/CPVSVisualDataFOS.h"
#include "visualmethods/CPVSVisualMethodFOS.h"

#include "CustomSetting.h"
#include "DisplayOptMgr.h"
#include "PVSRendererBase.h"
#include "SlopeResults.h"
#include "UnitCtrl.h"

#include <gp_Ax3.hxx>
#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <string>
#include <vector>

using namespace kvpvs::test;

namespace {

constexpr double kOutPerModel = 2.0; // output lengths are twice the model's

T_POINT3D P(double x, double y, double z)
{
    T_POINT3D p;
    p.x = x;
    p.y = y;
    p.z = z;
    return p;
}

class FOSMethod : public ::testing::Test {
protected:
    void SetUp() override
    {
        HexBlockGrid g;
        g.nx = 2;
        g.ny = 2;
        g.nz = 1;
        BuildHexBlock(m, g);
        CDocCtrl::GetUnitCtrl(&m.doc)->SetFactor(1, kOutPerModel);
        m.doc.SetCurrentWorkPlane(gp_Ax3());
        rec.Initialize();
        CDisplayOptMgr::Instance()->SetLabelOpt(216, T_DISPLAYOPTION_LABEL{1, 0x00FF0000, 1});
    }
    // A circle grid with model corners (0,0), (4,0), (4,2) stored in output lengths.
    unsigned int AddGrid(int n1, int n2, const double c[3][2] = nullptr)
    {
        static const double def[3][2] = {{0, 0}, {4, 0}, {4, 2}};
        if (!c)
            c = def;
        T_LEGR_D g;
        g.strName = "grid";
        for (int i = 0; i < 3; ++i) {
            g.p[i].x = c[i][0] * kOutPerModel;
            g.p[i].y = c[i][1] * kOutPerModel;
        }
        g.nN1 = n1;
        g.nN2 = n2;
        g.aRadius.Add(5.0);
        return CClassLegr(m.doc.GetModelDB()).Add(g);
    }
    void Circle(unsigned int nGridK, const std::vector<T_POINT3D>& pts, const std::vector<double>& fos)
    {
        rec.nPlotKind = 0;
        rec.nCircleKey = static_cast<int>(nGridK);
        for (T_POINT3D p : pts)
            rec.aGridPoint.Add(p);
        for (double f : fos)
            rec.aGridFactor.Add(f);
        rec.dCentre[0] = 2;
        rec.dCentre[1] = 1;
        rec.dRadius = 1;
        rec.dArcStart[0] = 1;
        rec.dArcStart[1] = 1;
        rec.dArcEnd[0] = 3;
        rec.dArcEnd[1] = 1;
    }
    CPVSVisualMethodFOS* Build()
    {
        T_VD_PARAM_D vp;
        vp.pDoc = &m.doc;
        vp.pUserDefData = &rec;
        pVD = std::make_unique<CPVSVisualDataFOS>(11, vp);
        pVD->MakeVData(&vs, &as, 0);
        T_VM_PARAM_D mp;
        mp.pDoc = &m.doc;
        mp.pVData = pVD.get();
        mp.pVS = &vs;
        mp.pAS = &as;
        mp.nVMType = pVD->GetVisualMethodType(&vs);
        mp.pUserDefData = pVD->m_pFOSData;
        pVM = std::make_unique<CPVSVisualMethodFOS>(mp);
        T_MD_PARAM_D md;
        md.bFlag = 1;
        md.nType = 11;
        pVM->SetMDTCtrl(new CPVSModelDataFEM(md, &m.doc));
        return pVM.get();
    }
    std::vector<int> Kinds(const CPVSRendererRecorder& r) const
    {
        std::vector<int> a;
        for (const auto& c : r.m_aCalls)
            a.push_back(c.nKind);
        return a;
    }
    ForceSumModel m;
    T_VD_FOS_TVCKVR_D rec;
    T_PVIST_ALL_D vs;
    T_PVIST_ANIM_D as;
    std::unique_ptr<CPVSVisualDataFOS> pVD;
    std::unique_ptr<CPVSVisualMethodFOS> pVM;
};

void ExpectPoint(const double* a, double x, double y, double z, const char* what)
{
    EXPECT_DOUBLE_EQ(a[0], x) << what;
    EXPECT_DOUBLE_EQ(a[1], y) << what;
    EXPECT_DOUBLE_EQ(a[2], z) << what;
}

TEST_F(FOSMethod, TwoByTwoGridLinesAreTheParallelogramEdgesMeetingTheCornerMarkersOnEachPlaneKind)
{
    // Trial centres at the four corners (0,0), (4,0), (4,2), (0,2) placed by plane kind, as the
    // dialog places them; with lengths shown at twice the model's, the grid read in output units
    // must land on them, wherever the user left the current work plane.
    m.doc.SetCurrentWorkPlane(gp_Ax3(gp_Pnt(7, -3, 5), gp_Dir(0, -1, 0), gp_Dir(1, 0, 0)));
    const unsigned int nGridK = AddGrid(2, 2);
    const double corner[4][2] = {{0, 0}, {4, 0}, {4, 2}, {0, 2}};
    for (int nPlane = 0; nPlane < 3; ++nPlane) {
        SCOPED_TRACE(nPlane);
        rec.Initialize();
        rec.nPlane = nPlane;
        std::vector<T_POINT3D> q;
        for (const auto& c : corner)
            q.push_back(kvdb::PlanePoint(nPlane, c[0], c[1]));
        Circle(nGridK, q, {1.5, 1.2, 1.3, 1.4});
        ASSERT_EQ(Build()->Process(), 1);
        ASSERT_EQ(pVM->m_nGridSegCount, 8);
        const double(*s)[3] = pVM->m_pGridSeg;
        auto expect = [&](int i, int nCorner, const char* what) {
            ExpectPoint(s[i], q[nCorner].x, q[nCorner].y, q[nCorner].z, what);
        };
        expect(0, 0, "first family, k = 0: Q0");
        expect(1, 3, "to Q3");
        expect(2, 1, "k = 1: Q1");
        expect(3, 2, "to Q2");
        expect(4, 1, "second family, k = 0: Q1");
        expect(5, 0, "to Q0");
        expect(6, 2, "k = 1: Q2");
        expect(7, 3, "to Q3");
        ASSERT_EQ(pVM->m_nMarkerCount, 4);
    }
}

TEST_F(FOSMethod, GridParametersAreExactAtTheMiddleAndAtTheEnd)
{
    // Corners chosen so that midpoints and ends are exact in binary.
    const double c[3][2] = {{0.1, 0.3}, {7.7, 0.9}, {8.3, 5.1}};
    Circle(AddGrid(3, 50, c), {P(0, 0, 0), P(1, 0, 0)}, {1, 1});
    ASSERT_EQ(Build()->Process(), 1);
    const double(*s)[3] = pVM->m_pGridSeg;
    const double q0[2] = {0.1 * kOutPerModel * 0.5, 0.3 * kOutPerModel * 0.5};
    const double q1[2] = {7.7 * kOutPerModel * 0.5, 0.9 * kOutPerModel * 0.5};
    const double q2[2] = {8.3 * kOutPerModel * 0.5, 5.1 * kOutPerModel * 0.5};
    // The middle line of the first family starts at Q0 (1 - 0.5) + Q1 0.5.
    EXPECT_EQ(s[2][0], q0[0] * 0.5 + q1[0] * 0.5);
    EXPECT_EQ(s[2][1], q0[1] * 0.5 + q1[1] * 0.5);
    // The last line of the second family (k = 49) starts exactly at Q2: 49 x (1 / 49) is not 1.
    ASSERT_NE(49 * (1.0 / 49), 1.0);
    const int nLast = 2 * 3 + 2 * 49;
    EXPECT_EQ(s[nLast][0], q2[0]);
    EXPECT_EQ(s[nLast][1], q2[1]);
}

TEST_F(FOSMethod, ASemicircleTurnsInNineDegreeStepsInItsPlane)
{
    // Plane 1 (Y-Z): centre (0, 2, 1), radius 1, from (0, 1, 1) to (0, 3, 1).
    Circle(AddGrid(2, 2), {P(0, 0, 0), P(0, 1, 0)}, {1, 1});
    rec.nPlane = 1;
    const double c[3] = {0, 2, 1}, s0[3] = {0, 1, 1}, e[3] = {0, 3, 1};
    for (int k = 0; k < 3; ++k) {
        rec.dCentre[k] = c[k];
        rec.dArcStart[k] = s0[k];
        rec.dArcEnd[k] = e[k];
    }
    ASSERT_EQ(Build()->Process(), 1);
    const double kPi = 3.14159265358979323846;
    for (int k = 0; k <= 20; ++k) {
        // u = (-1, 0) in (y, z) turned by k x 9 degrees towards +z.
        const double a = -std::cos(k * kPi / 20), b = -std::sin(k * kPi / 20);
        EXPECT_NEAR(pVM->m_dArc[k][1], 2 + a, 1e-14) << k;
        EXPECT_NEAR(pVM->m_dArc[k][2], 1 + b, 1e-14) << k;
        EXPECT_EQ(pVM->m_dArc[k][0], 0.0) << k;
    }
}

TEST_F(FOSMethod, AnArcFromAPointToItselfStaysThereWithoutNaN)
{
    Circle(AddGrid(2, 2), {P(0, 0, 0), P(1, 0, 0)}, {1, 1});
    // |u|^2 slightly above r^2: the cosine would exceed 1 unclamped.
    rec.dArcStart[0] = rec.dArcEnd[0] = 1.0 - 1e-12;
    rec.dArcStart[1] = rec.dArcEnd[1] = 1.0;
    ASSERT_EQ(Build()->Process(), 1);
    for (int k = 0; k <= 20; ++k) {
        EXPECT_FALSE(std::isnan(pVM->m_dArc[k][0]) || std::isnan(pVM->m_dArc[k][1])) << k;
        EXPECT_DOUBLE_EQ(pVM->m_dArc[k][0], 1.0 - 1e-12);
    }
}

TEST_F(FOSMethod, LabelsStandBesideTheirCentresWithFourDigitsAndTheCriticalOneApart)
{
    // Plane 2 (X-Z): points 2 apart, so labels stand d = 0.1 off in x and z.
    Circle(AddGrid(2, 2), {P(1, 0, 1), P(3, 0, 1), P(5, 0, 2)}, {1.23456, 0.0, 0.987654});
    rec.nPlane = 2;
    rec.nCriticalIndex = 2;
    ASSERT_EQ(Build()->Process(), 1);
    ASSERT_EQ(pVM->m_aLabelText.GetSize(), 2);
    EXPECT_STREQ(pVM->m_aLabelText[0].GetString(), "1.235");
    EXPECT_STREQ(pVM->m_aLabelText[1].GetString(), "") << "a factor of 0 has no label text";
    EXPECT_DOUBLE_EQ(pVM->m_aLabelPos[0].X(), 1.1);
    EXPECT_DOUBLE_EQ(pVM->m_aLabelPos[0].Y(), 0.0);
    EXPECT_DOUBLE_EQ(pVM->m_aLabelPos[0].Z(), 1.1);
    ASSERT_EQ(pVM->m_aCriticalText.GetSize(), 1);
    EXPECT_STREQ(pVM->m_aCriticalText[0].GetString(), "0.9877");
    EXPECT_DOUBLE_EQ(pVM->m_aCriticalPos[0].X(), 5.1);
    EXPECT_DOUBLE_EQ(pVM->m_aCriticalPos[0].Z(), 2.1);
    ASSERT_EQ(pVM->Process(), 1);
    EXPECT_EQ(pVM->m_aLabelText.GetSize(), 2) << "a second Process leaves one set of labels";
    EXPECT_EQ(pVM->m_aCriticalText.GetSize(), 1);
}

TEST_F(FOSMethod, APolylineIsLabelledAtItsLastVertex)
{
    rec.nPlotKind = 1;
    for (T_POINT3D p : {P(0, 0, 0), P(3, 4, 0), P(6, 0, 0)})
        rec.aPolylinePoint.Add(p);
    rec.dPolylineFactor = 1.3333333;
    rec.nLineWidth = 3;
    ASSERT_EQ(Build()->Process(), 1);
    ASSERT_EQ(pVM->m_aLabelPos.GetSize(), 1);
    EXPECT_DOUBLE_EQ(pVM->m_aLabelPos[0].X(), 6.25);
    EXPECT_DOUBLE_EQ(pVM->m_aLabelPos[0].Y(), 0.25);
    EXPECT_DOUBLE_EQ(pVM->m_aLabelPos[0].Z(), 0.0);
    EXPECT_STREQ(pVM->m_aLabelText[0].GetString(), "1.333");
    CPVSRendererRecorder r;
    ASSERT_EQ(pVM->Render(&r), 1);
    EXPECT_EQ(Kinds(r), (std::vector<int>{T_RENDER_CALL_D::kDataSet1, T_RENDER_CALL_D::kPointList,
                                          T_RENDER_CALL_D::kLabels, T_RENDER_CALL_D::kDataSet3}));
    EXPECT_EQ(r.m_aCalls[1].nArg[0], 3);
    EXPECT_EQ(r.m_aCalls[1].nArg[1], 3) << "the record's line width";
    EXPECT_DOUBLE_EQ(r.m_aCalls[2].rgb[0], 1.0) << "the record's red";
}

TEST_F(FOSMethod, RenderDrawsSurfaceMarkersLabelsArcGridAndOutlineInOrder)
{
    Circle(AddGrid(2, 2), {P(0, 0, 0), P(4, 0, 0)}, {1.5, 1.2});
    rec.nColor = 0x00FF8000; // blue 255, green 128, red 0
    rec.nLineWidth = 4;
    ASSERT_EQ(Build()->Process(), 1);
    EXPECT_GT(pVM->GetDataSetPst()->GetNumberOfCells(), 0);
    CPVSRendererRecorder r;
    ASSERT_EQ(pVM->Render(&r), 1);
    using K = T_RENDER_CALL_D;
    ASSERT_EQ(Kinds(r), (std::vector<int>{K::kDataSet1, K::kPointMarkers, K::kLabels, K::kLabels, K::kArc,
                                          K::kPointList, K::kDataSet3}));
    EXPECT_EQ(r.m_aCalls[4].nArg[0], 21);
    EXPECT_EQ(r.m_aCalls[4].nArg[1], 4);
    EXPECT_NEAR(r.m_aCalls[4].rgb[1], 128.0 / 255.0, 1e-7) << "Quantity_Color keeps floats";
    EXPECT_DOUBLE_EQ(r.m_aCalls[4].rgb[2], 1.0);
    EXPECT_EQ(r.m_aCalls[5].nArg[0], 8);
    EXPECT_EQ(r.m_aCalls[5].nArg[1], 1) << "the grid is drawn one wide";
    EXPECT_DOUBLE_EQ(r.m_aCalls[5].rgb[2], 1.0) << "in label option 216's colour";
    EXPECT_DOUBLE_EQ(r.m_aCalls[3].rgb[2], 1.0) << "the critical label in the record colour";
    EXPECT_DOUBLE_EQ(r.m_aCalls[2].rgb[2], 0.0) << "ordinary labels in black";
}

class FOSLabelLevel : public FOSMethod, public ::testing::WithParamInterface<std::pair<int, double>> {};

TEST_P(FOSLabelLevel, LabelHeightIsTheFontSizeOverTheLevelsDivisor)
{
    Circle(AddGrid(2, 2), {P(0, 0, 0), P(4, 0, 0)}, {1.5, 1.2});
    vs.nFontSize = 36;
    ICustomSetting::Instance()->SetLabelSizeFactor(1.5);
    rec.nLabelSizeLevel = GetParam().first;
    ASSERT_EQ(Build()->Process(), 1);
    CPVSRendererRecorder r;
    pVM->Render(&r);
    ICustomSetting::Instance()->SetLabelSizeFactor(1.0);
    ASSERT_EQ(r.m_aCalls[2].nKind, T_RENDER_CALL_D::kLabels);
    EXPECT_DOUBLE_EQ(r.m_aCalls[2].dSize, 36.0 / GetParam().second * 1.5);
}

INSTANTIATE_TEST_SUITE_P(Levels, FOSLabelLevel,
                         ::testing::Values(std::pair{1, 18.0}, std::pair{4, 9.0}, std::pair{6, 3.0},
                                           std::pair{0, 18.0}, std::pair{9, 3.0}),
                         [](const auto& i) { return "Level" + std::to_string(i.param.first); });

struct T_FOS_FAILURE {
    const char* pszName;
    void (*fnBreak)(T_VD_FOS_TVCKVR_D&);
};

class FOSFailure : public FOSMethod, public ::testing::WithParamInterface<T_FOS_FAILURE> {};

TEST_P(FOSFailure, ProcessReturnsZero)
{
    Circle(AddGrid(2, 2), {P(0, 0, 0), P(4, 0, 0)}, {1.5, 1.2});
    GetParam().fnBreak(rec);
    EXPECT_EQ(Build()->Process(), 0);
}

INSTANTIATE_TEST_SUITE_P(
    Records, FOSFailure,
    ::testing::Values(T_FOS_FAILURE{"NoCircleGrid", [](T_VD_FOS_TVCKVR_D& r) { r.nCircleKey = 99; }},
                      T_FOS_FAILURE{"PlotKindTwo", [](T_VD_FOS_TVCKVR_D& r) { r.nPlotKind = 2; }},
                      T_FOS_FAILURE{"PlaneThree", [](T_VD_FOS_TVCKVR_D& r) { r.nPlane = 3; }},
                      T_FOS_FAILURE{"FewerFactorsThanPoints", [](T_VD_FOS_TVCKVR_D& r) { r.aGridFactor.RemoveAt(1); }},
                      T_FOS_FAILURE{"PolylineWithoutVertices", [](T_VD_FOS_TVCKVR_D& r) { r.nPlotKind = 1; }}),
    [](const ::testing::TestParamInfo<T_FOS_FAILURE>& i) { return std::string(i.param.pszName); });

TEST_F(FOSMethod, AGridWithoutLinesIsRefused)
{
    Circle(AddGrid(0, 2), {P(0, 0, 0), P(4, 0, 0)}, {1.5, 1.2});
    EXPECT_EQ(Build()->Process(), 0);
}

TEST_F(FOSMethod, AnUnknownPlotKindDrawsOnlyTheSurface)
{
    rec.nPlotKind = 5;
    Build()->Process();
    CPVSRendererRecorder r;
    EXPECT_EQ(pVM->Render(&r), 0);
    EXPECT_EQ(Kinds(r), (std::vector<int>{T_RENDER_CALL_D::kDataSet1}));
}

TEST_F(FOSMethod, WithoutLabelOption216RenderStopsAfterTheArc)
{
    Circle(AddGrid(2, 2), {P(0, 0, 0), P(4, 0, 0)}, {1.5, 1.2});
    ASSERT_EQ(Build()->Process(), 1);
    CDisplayOptMgr::Instance()->RemoveLabelOpt(216);
    CPVSRendererRecorder r;
    EXPECT_EQ(pVM->Render(&r), 0);
    EXPECT_EQ(r.m_aCalls.back().nKind, T_RENDER_CALL_D::kArc);
}

TEST_F(FOSMethod, TheVisualDataKeepsItsOwnCopyAndAddsNoTexts)
{
    for (int i = 0; i < 10; ++i) {
        T_POINT3D p = P(i, 0, 0);
        rec.aGridPoint.Add(p);
        rec.aGridFactor.Add(1.0 + i);
    }
    Build();
    rec.aGridPoint.RemoveAll();
    EXPECT_EQ(pVD->m_pFOSData->aGridPoint.GetSize(), 10);
    T_VD_FOS_TVCKVR_D five;
    five.Initialize();
    for (int i = 0; i < 5; ++i) {
        T_POINT3D p = P(i, 1, 0);
        five.aGridPoint.Add(p);
        five.aGridFactor.Add(2.0);
    }
    *pVD->m_pFOSData = five;
    EXPECT_EQ(pVD->m_pFOSData->aGridPoint.GetSize(), 5);
    EXPECT_EQ(pVD->m_pFOSData->aGridFactor.GetSize(), 5);
    EXPECT_EQ(pVD->GetVisualMethodType(nullptr), 17);
    CArray<CString, CString&> aText;
    EXPECT_EQ(pVD->GetPostOutput4Probe(1, 1, aText, 0), 1);
    EXPECT_EQ(pVD->GetPostOutput4ToolTip(1, 1, aText), 1);
    EXPECT_EQ(aText.GetSize(), 0);
}

} // namespace
