// Element-diagram history plot: the band of one element (quadrilaterals, or two triangles where
// the value changes sign), its side, its labels and texts, repeated builds with and without
// animation, and the values read from the sample's shaking case.
#include "visualdata/CPVSVisualDataHistoryPlotDgrm.h"

#include "timehistory/CPVSTHEngine.h"

#include "PVSModelData.h"
#include "PostGeneralTable.h"
#include "PostVisualState.h"
#include "SampleDynamics.h"
#include "SampleProject.h"
#include "THResultBuilder.h"

#include <gtest/gtest.h>
#include <vtkDataArray.h>
#include <vtkPointData.h>
#include <vtkPolyData.h>
#include <vtkSmartPointer.h>

#include <algorithm>
#include <cmath>
#include <memory>
#include <ostream>
#include <string>
#include <vector>

namespace {

// The plot with its tables open to the test: values and direction put by hand.
class DgrmPlot : public CPVSVisualDataHistoryPlotDgrm {
public:
    using CPVSVisualDataHistoryPlotDgrm::CalDiagramDir;
    using CPVSVisualDataHistoryPlotDgrm::CPVSVisualDataHistoryPlotDgrm;
    void Put(unsigned int nElemK, double a, double b, const C3DPoint& dir)
    {
        T_VSUL_DATA_D v;
        v.aValue.Add(a);
        v.aValue.Add(b);
        m_mVData.SetAt(static_cast<int>(nElemK), v);
        C3DPoint d = dir;
        m_mDgrmVect.SetAt(static_cast<int>(nElemK), d);
    }
};

// A 4 m member along x from the origin, a second member without values, the band drawn along
// +z with height scale 0.25 x 2 = 0.5.
class DgrmFixture : public ::testing::Test {
protected:
    static constexpr double kLength = 4.0, kScale = 0.5;
    void SetUp() override
    {
        CZORDocBase::SetCurDoc(&doc);
        CClassNode nodes(doc.GetModelDB());
        for (double x : {0.0, kLength, 2 * kLength}) {
            T_NODE_D n;
            n.dXyz[0] = x;
            nodes.Add(n);
        }
        CClassElem elems(doc.GetModelDB());
        for (unsigned int a : {1u, 2u}) {
            T_ELEM_D e;
            e.nType = 2;
            e.nCellType = 3;
            e.aNodeK.Add(a);
            e.aNodeK.Add(a + 1);
            (a == 1 ? member : bare) = elems.Add(e);
        }
        CPVSVisualDataBase::ResetVDataStatics();
        CPVSVisualDataBase::m_dVDataSymbolFactor = 2.0;
        *CPostVisualState::Instance()->GetCurrentPS() = T_PVIST_SYMB_D();
        CPostVisualState::Instance()->GetCurrentPS()->dDgrmScale = 0.25;
        T_VD_HISTPLOT_TVCKVR_D rec;
        rec.Initialize();
        rec.m_nResultType = 5;
        rec.m_nComponent = 4;
        T_VD_PARAM_D p;
        p.pDoc = &doc;
        p.pUserDefData = &rec;
        plot = std::make_unique<DgrmPlot>(6, p);
        T_MD_PARAM_D md;
        md.bFlag = 1;
        fem = std::make_unique<CPVSModelDataFEM>(md, &doc);
    }
    void TearDown() override
    {
        *CPostVisualState::Instance()->GetCurrentPS() = T_PVIST_SYMB_D();
        CPVSVisualDataBase::ResetVDataStatics();
        CZORDocBase::SetCurDoc(nullptr);
    }
    void Band(double a, double b, CArray<T_PVS_POLY_D, T_PVS_POLY_D&>& poly)
    {
        T_VSUL_DATA_D v;
        v.aValue.Add(a);
        v.aValue.Add(b);
        T_NODE_D nI, nJ;
        nJ.dXyz[0] = kLength;
        double dir[3] = {0, 0, 1};
        EXPECT_EQ(plot->MakeDgrmPolygon(v, dir, nI, nJ, poly), 1);
        EXPECT_EQ(dir[2], 1.0); // the caller's direction is never turned
    }
    vtkSmartPointer<vtkPolyData> Build(T_PVIST_ANIM_D* pAS = nullptr)
    {
        auto pd = vtkSmartPointer<vtkPolyData>::New();
        auto inactive = vtkSmartPointer<vtkPolyData>::New();
        CArray<unsigned int, unsigned int> drawn;
        EXPECT_EQ(plot->MakeVGeomData(pd, nullptr, pAS, nullptr, fem.get(), nullptr, nullptr, inactive, nullptr, drawn), 1);
        EXPECT_EQ(drawn.GetSize(), 1);
        return pd;
    }

    CDBDoc doc;
    unsigned int member = 0, bare = 0;
    std::unique_ptr<DgrmPlot> plot;
    std::unique_ptr<CPVSModelDataFEM> fem;
};

// ---- The band of one element -------------------------------------------------------------

struct BandCase {
    const char* name;
    double a, b;
    int nQuads, nTriangles;
    double dCrossing; // where a + (b - a) t = 0 inside a subdivision; -1 for none
};

void PrintTo(const BandCase& c, std::ostream* os) { *os << "end values " << c.a << ", " << c.b; }

class DgrmBand : public DgrmFixture, public ::testing::WithParamInterface<BandCase> {};

TEST_P(DgrmBand, SixteenStepsTippedByTheValue)
{
    const BandCase c = GetParam();
    CArray<T_PVS_POLY_D, T_PVS_POLY_D&> poly;
    Band(c.a, c.b, poly);
    int nQuads = 0, nTriangles = 0;
    for (int i = 0; i < poly.GetSize(); ++i) {
        const auto& v = poly[i].aVtx;
        if (v.GetSize() == 4) {
            ++nQuads;
            // Axis corners on the member, tips at height value x scale above them.
            EXPECT_EQ(v[0].point.z, 0.0);
            EXPECT_EQ(v[3].point.z, 0.0);
            EXPECT_DOUBLE_EQ(v[1].point.z, v[1].value * kScale);
            EXPECT_DOUBLE_EQ(v[2].point.z, v[2].value * kScale);
            EXPECT_DOUBLE_EQ(v[1].point.x, v[0].point.x);
            EXPECT_NEAR(v[3].point.x - v[0].point.x, kLength / 16, 1e-15);
        } else {
            ASSERT_EQ(v.GetSize(), 3);
            ++nTriangles;
        }
    }
    EXPECT_EQ(nQuads, c.nQuads);
    EXPECT_EQ(nTriangles, c.nTriangles);
    if (c.dCrossing >= 0) {
        // The two triangles meet on the axis where the linear diagram is zero.
        for (int i = 0; i < poly.GetSize(); ++i)
            if (poly[i].aVtx.GetSize() == 3) {
                const VtxInfo_tag& z = poly[i].aVtx[poly[i].aVtx[2].flag == 0 ? 2 : 0];
                EXPECT_NEAR(z.point.x, c.dCrossing * kLength, 1e-12);
                EXPECT_NEAR(z.point.z, 0.0, 1e-12);
                EXPECT_NEAR(z.value, 0.0, 1e-12);
            }
    }
    // The first tip stands on node I with the first end value, the last on node J.
    EXPECT_DOUBLE_EQ(poly[0].aVtx[1].point.z, c.a * kScale);
    const auto& last = poly[poly.GetSize() - 1].aVtx;
    EXPECT_DOUBLE_EQ(last[last.GetSize() - 2].point.z, c.b * kScale);
    EXPECT_DOUBLE_EQ(last[last.GetSize() - 1].point.x, kLength);
}

INSTANTIATE_TEST_SUITE_P(EndValues, DgrmBand,
                         ::testing::Values(BandCase{"EqualGiveSixteenEqualQuads", 2, 2, 16, 0, -1},
                                           BandCase{"TwoAndMinusOneCrossAtTwoThirds", 2, -1, 15, 2, 2.0 / 3.0},
                                           BandCase{"TwoAndMinusTwoCrossOnAStepEnd", 2, -2, 16, 0, -1}),
                         [](const ::testing::TestParamInfo<BandCase>& i) { return std::string(i.param.name); });

TEST_F(DgrmFixture, ReverseSwitchDrawsTheOtherSide)
{
    CPostVisualState::Instance()->GetCurrentPS()->bDgrmReverse = 1;
    CArray<T_PVS_POLY_D, T_PVS_POLY_D&> poly;
    Band(2, 2, poly);
    ASSERT_EQ(poly.GetSize(), 16);
    for (int i = 0; i < poly.GetSize(); ++i)
        EXPECT_DOUBLE_EQ(poly[i].aVtx[1].point.z, -2 * kScale);
}

// ---- Builds ------------------------------------------------------------------------------

std::vector<double> Flatten(vtkPolyData* pd)
{
    std::vector<double> a;
    for (vtkIdType i = 0; i < pd->GetNumberOfPoints(); ++i) {
        double p[3];
        pd->GetPoint(i, p);
        a.insert(a.end(), p, p + 3);
        a.push_back(pd->GetPointData()->GetScalars()->GetTuple1(i));
    }
    a.push_back(static_cast<double>(pd->GetNumberOfCells()));
    return a;
}

struct BuildCase {
    const char* name;
    int bReverse, bAnimate;
};

class DgrmBuild : public DgrmFixture, public ::testing::WithParamInterface<BuildCase> {};

TEST_P(DgrmBuild, ConsecutiveBuildsAreIdenticalAndKeepTheTables)
{
    CPostVisualState::Instance()->GetCurrentPS()->bDgrmReverse = GetParam().bReverse;
    T_PVIST_ANIM_D as;
    as.bAnimate = GetParam().bAnimate;
    as.dPhase = 0.5;
    plot->Put(member, 2.0, -1.0, C3DPoint(0, 0, 3)); // not of unit length: the build normalises
    vtkSmartPointer<vtkPolyData> first = Build(&as);
    vtkSmartPointer<vtkPolyData> second = Build(&as);
    EXPECT_EQ(Flatten(first), Flatten(second));
    EXPECT_EQ(first->GetNumberOfCells(), 17);
    // The first tip: the value (halved in the animation frame) at its height on the chosen side.
    const double f = as.bAnimate ? 0.5 : 1.0, side = GetParam().bReverse ? -1.0 : 1.0;
    EXPECT_DOUBLE_EQ(first->GetPointData()->GetScalars()->GetTuple1(1), 2.0 * f);
    EXPECT_DOUBLE_EQ(first->GetPoint(1)[2], side * 2.0 * f * kScale);
    T_VSUL_DATA_D v;
    ASSERT_TRUE(plot->LookupVData(member, v));
    EXPECT_EQ(v.aValue[0], 2.0);
    EXPECT_EQ(v.aValue[1], -1.0);
    C3DPoint d;
    ASSERT_EQ(plot->GetDgrmVect(member, d), 1);
    EXPECT_EQ(d.z, 3.0);
}

INSTANTIATE_TEST_SUITE_P(Switches, DgrmBuild,
                         ::testing::Values(BuildCase{"Plain", 0, 0}, BuildCase{"Reversed", 1, 0},
                                           BuildCase{"Animated", 0, 1}, BuildCase{"ReversedAnimated", 1, 1}),
                         [](const ::testing::TestParamInfo<BuildCase>& i) { return std::string(i.param.name); });

TEST_F(DgrmFixture, MembersWithoutValuesAreDrawnInactiveByTheSymbolSetting)
{
    plot->Put(member, 1.0, 1.0, C3DPoint(0, 0, 1));
    CPostVisualState::Instance()->GetCurrentPS()->nInactiveDisp = 4;
    Build();
    EXPECT_EQ(plot->m_nInactiveStyle, 3);
    EXPECT_EQ(plot->m_nInactiveCount, 1);
    plot->m_nInactiveStyle = 0;
    CPostVisualState::Instance()->GetCurrentPS()->nInactiveDisp = 7;
    Build();
    EXPECT_EQ(plot->m_nInactiveStyle, 0);
}

// ---- Labels and texts --------------------------------------------------------------------

TEST_F(DgrmFixture, LabelsStandAtBothTips)
{
    plot->Put(member, 5.0, -3.0, C3DPoint(0, 0, 1));
    plot->SetModelData(fem.get());
    T_PVIST_ALL_D vs;
    vs.vals.nDecimal = 2;
    CArray<T_VD_TEXT_PARAM_D, T_VD_TEXT_PARAM_D&> labels;
    ASSERT_EQ(plot->MakeVTextData(labels, &vs), 1);
    ASSERT_EQ(labels.GetSize(), 2);
    EXPECT_EQ(std::string(labels[0].strText), "5.00");
    EXPECT_EQ(labels[0].dPos[0], 0.0);
    EXPECT_DOUBLE_EQ(labels[0].dPos[2], 5.0 * kScale);
    EXPECT_EQ(std::string(labels[1].strText), "-3.00");
    EXPECT_DOUBLE_EQ(labels[1].dPos[0], kLength);
    EXPECT_DOUBLE_EQ(labels[1].dPos[2], -3.0 * kScale);
    plot->SetModelData(nullptr);
    EXPECT_EQ(plot->MakeVTextData(labels, &vs), 0);
    EXPECT_EQ(labels.GetSize(), 0);
}

TEST_F(DgrmFixture, ToolTipAndProbeGiveBothEnds)
{
    plot->Put(member, 5.0, 7.0, C3DPoint(0, 0, 1));
    CArray<CString, CString&> lines;
    CString junk = "junk";
    lines.Add(junk);
    ASSERT_EQ(plot->GetPostOutput4ToolTip(2, member, lines), 1);
    ASSERT_EQ(lines.GetSize(), 3);
    EXPECT_EQ(std::string(lines[0]), "Element No. " + std::to_string(member));
    EXPECT_EQ(std::string(lines[1]), " 0.00 L : 5");
    EXPECT_EQ(std::string(lines[2]), " 1.00 L : 7");
    ASSERT_EQ(plot->GetPostOutput4Probe(2, member, lines, 0), 1);
    ASSERT_EQ(lines.GetSize(), 1);
    EXPECT_EQ(std::string(lines[0]), "0.00 L:5  1.00 L:7  ");
    for (int bProbe : {0, 1}) {
        lines.Add(junk);
        EXPECT_EQ(bProbe ? plot->GetPostOutput4Probe(1, member, lines, 0) : plot->GetPostOutput4ToolTip(1, member, lines), 0);
        EXPECT_EQ(lines.GetSize(), 0) << "node request";
        EXPECT_EQ(bProbe ? plot->GetPostOutput4Probe(2, bare, lines, 0) : plot->GetPostOutput4ToolTip(2, bare, lines), 0);
    }
}

// ---- Direction by result ----------------------------------------------------------------

struct DirCase {
    const char* name;
    int nType, nComp;
    int nAxis; // 0 local x, 1 local y, 2 local z
};

void PrintTo(const DirCase& c, std::ostream* os) { *os << "result " << c.nType << " component " << c.nComp; }

class DgrmDirection : public DgrmFixture, public ::testing::WithParamInterface<DirCase> {};

// A member along global x: local x = X, y = Z x x = Y, z = x x y = Z.
TEST_P(DgrmDirection, OffsetAxisFollowsTheComponent)
{
    T_VD_HISTPLOT_TVCKVR_D rec;
    rec.Initialize();
    rec.m_nResultType = GetParam().nType;
    rec.m_nComponent = GetParam().nComp;
    T_VD_PARAM_D p;
    p.pDoc = &doc;
    p.pUserDefData = &rec;
    DgrmPlot vd(6, p);
    C3DPoint d;
    ASSERT_EQ(vd.CalDiagramDir(member, d), 1);
    const double want[3][3] = {{1, 0, 0}, {0, 1, 0}, {0, 0, 1}};
    for (int k = 0; k < 3; ++k)
        EXPECT_EQ(d[k], want[GetParam().nAxis][k]) << k;
    EXPECT_EQ(vd.CalDiagramDir(999, d), 0);
}

INSTANTIATE_TEST_SUITE_P(
    Components, DgrmDirection,
    ::testing::Values(DirCase{"TrussForce", 3, 0, 2}, DirCase{"TrussStressAnyComponent", 4, 9, 2},
                      DirCase{"BeamAxial", 5, 0, 2}, DirCase{"BeamShearY", 5, 1, 2}, DirCase{"BeamShearZ", 5, 2, 1},
                      DirCase{"BeamMomentY", 5, 4, 2}, DirCase{"BeamMomentZ", 5, 5, 1},
                      DirCase{"BeamForceOutside", 5, 6, 0}, DirCase{"BeamStressSsy", 6, 1, 1},
                      DirCase{"BeamStressSbzPlus", 6, 5, 1}, DirCase{"BeamStressSbzMinus", 6, 6, 1},
                      DirCase{"BeamStressComb4", 6, 11, 2}, DirCase{"BeamStressOutside", 6, 12, 0}),
    [](const ::testing::TestParamInfo<DirCase>& i) { return std::string(i.param.name); });

// ---- Values of a shaking case -------------------------------------------------------------

TEST(DgrmPlotValues, CaseMissingOrResultOutsideTrussAndBeamFails)
{
    CDBDoc doc;
    CZORDocBase::SetCurDoc(&doc);
    CTHResultBuilder b(doc, 5, 1, 1, {0.1, 0.2}, 1);
    for (auto [nAcas, nType] : {std::pair{5u, 0}, {5u, 7}, {5u, -1}, {99u, 3}}) {
        T_VD_HISTPLOT_TVCKVR_D rec;
        rec.Initialize();
        rec.m_nAcasKey = nAcas;
        rec.m_nResultType = nType;
        T_VD_PARAM_D p;
        p.pDoc = &doc;
        p.pUserDefData = &rec;
        CPVSVisualDataHistoryPlotDgrm vd(6, p);
        EXPECT_EQ(vd.MakeVData(nullptr, nullptr, 0), 0) << nAcas << " " << nType;
    }
    CZORDocBase::SetCurDoc(nullptr);
}

// The plot reads one step through the one-step source; the history engine computes the whole
// series by its own loop: the strut's end-I values must agree at every step looked at.
TEST(DgrmPlotValues, StrutEndValuesEqualTheHistorySeries)
{
    using namespace kvpvs::sample;
    CDBDoc doc;
    SampleSummary sample;
    ASSERT_TRUE(BuildSampleProject(doc, SampleOptions(), sample));
    CZORDocBase::SetCurDoc(&doc);
    DynamicsOptions opt;
    opt.nSteps = 40;
    DynamicsSummary dyn;
    ASSERT_TRUE(BuildSampleDynamics(doc, opt, dyn));
    CPostCtrlAnlTypeBase* pAnl = nullptr;
    ASSERT_TRUE(CTHResultBuilder::PostCtrl(doc)->GetPostCtrlSub(kAcasQuakeModal, &pAnl));
    pAnl->GetSeqIdInfo()->SetElem(dyn.nTrussK, 1, 1);
    pAnl->GetSeqIdInfo()->SetElem(dyn.nBeamK, 2, 2);
    struct Case {
        int nType, nComp, nCode, nKind;
        unsigned int nElemK;
    };
    for (const Case& c : {Case{3, 0, 1, 0, dyn.nTrussK}, Case{5, 4, 2, 0, dyn.nBeamK}}) {
        T_THRD_D s;
        s.nCode = c.nCode;
        s.nResultKind = c.nKind;
        s.nComponent = c.nComp;
        s.nEntityK = c.nElemK;
        s.nAcasK = kAcasQuakeModal;
        CPVSTHEngine engine;
        CArray<double, double>* pSeries = engine.Run(&s);
        ASSERT_TRUE(pSeries);
        ASSERT_EQ(pSeries->GetSize(), opt.nSteps);
        double peak = 0.0;
        for (int k = 0; k < pSeries->GetSize(); ++k)
            peak = std::fmax(peak, std::fabs((*pSeries)[k]));
        ASSERT_GT(peak, 0.0);
        for (int k : {0, 7, 39}) {
            T_VD_HISTPLOT_TVCKVR_D rec;
            rec.Initialize();
            rec.m_nAcasKey = kAcasQuakeModal;
            rec.m_nResultType = c.nType;
            rec.m_nComponent = c.nComp;
            rec.m_nTimeStep = k;
            T_VD_PARAM_D p;
            p.pDoc = &doc;
            p.pUserDefData = &rec;
            CPVSVisualDataHistoryPlotDgrm vd(6, p);
            auto& runs = ICustomPostDB::Instance()->m_aProgress;
            runs.clear();
            ASSERT_EQ(vd.MakeVData(nullptr, nullptr, 0), 1);
            ASSERT_EQ(runs.size(), 1u);
            EXPECT_TRUE(runs.back().bEnded);
            CArray<unsigned int, unsigned int> family;
            pAnl->GetSeqIdInfo()->GetElemKeyListByType(c.nCode, family);
            EXPECT_EQ(runs.back().nSteps, std::clamp(static_cast<int>(family.GetSize()), 1, 10));
            T_VSUL_DATA_D v;
            ASSERT_TRUE(vd.LookupVData(c.nElemK, v)) << c.nType;
            ASSERT_EQ(v.GetSize(), 2);
            EXPECT_NEAR(v.aValue[0], (*pSeries)[k], 1e-12 * peak) << "result " << c.nType << " step " << k;
        }
    }
    CZORDocBase::SetCurDoc(nullptr);
}

} // namespace
