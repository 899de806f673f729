// Line-event element diagrams: which force row becomes the companion, which end's state each
// segment shows in both code families, the band's steps, the unit band of a row without
// companion (whose states must survive every frame), answers of any length, and the texts.
#include "visualdata/CPVSVisualDataElemDgrmEvent.h"

#include "frame/IFactoryWPLPVSImpl.h"

#include "DBModelRecords.h"
#include "PVSModelData.h"
#include "PostCtrlBase.h"
#include "PostVisualState.h"
#include "SampleEventRows.h"

#include <gtest/gtest.h>
#include <vtkDataArray.h>
#include <vtkIdList.h>
#include <vtkPointData.h>
#include <vtkPolyData.h>
#include <vtkSmartPointer.h>

#include <memory>
#include <ostream>
#include <string>
#include <vector>

namespace {

// Three 4 m members in a row along x, on the lining entity; a second entity carries force rows
// that belong to other members. Heights: diagram scale 0.5 x symbol factor 1.
class LineEventFixture : public ::testing::Test {
protected:
    static constexpr double kScale = 0.5;
    void SetUp() override
    {
        CZORDocBase::SetCurDoc(&doc);
        CClassNode nodes(doc.GetModelDB());
        for (int i = 0; i < 4; ++i) {
            T_NODE_D n;
            n.dXyz[0] = 4.0 * i;
            nodes.Add(n);
        }
        CClassElem elems(doc.GetModelDB());
        for (unsigned int a = 1; a <= 3; ++a) {
            T_ELEM_D e;
            e.nType = 2;
            e.nCellType = 3;
            e.aNodeK.Add(a);
            e.aNodeK.Add(a + 1);
            elem[a - 1] = elems.Add(e);
        }
        CClassPEngr engr(doc.GetPostDB());
        T_PENGR_D ent;
        ent.nKind = 2;
        lining = engr.Add(ent);
        other = engr.Add(ent);
        CPVSVisualDataBase::ResetVDataStatics();
        *CPostVisualState::Instance()->GetCurrentPS() = T_PVIST_SYMB_D();
        CPostVisualState::Instance()->GetCurrentPS()->dDgrmScale = kScale;
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
    // A row of the step with one code, positions 0 and 1, and two values per listed member.
    unsigned int AddRow(unsigned int nCode, unsigned int nEngrK, const std::vector<std::vector<double>>& values = {},
                        unsigned int nStepK = kStep)
    {
        T_PVTIF_D row;
        row.nStepK = nStepK;
        row.nEngrK = nEngrK;
        row.nResultClass = 30;
        row.aComp.Add(nCode);
        row.aDgrmPos.Add(0.0);
        row.aDgrmPos.Add(1.0);
        const unsigned int k = CClassPVtif(doc.GetPostDB()).Add(row);
        T_PVAL_D v;
        for (size_t i = 0; i < values.size(); ++i)
            v.Append(elem[i], values[i].data(), static_cast<int>(values[i].size()));
        CClassPVal(doc.GetPostDB()).Set(k, v);
        return k;
    }
    std::unique_ptr<CPVSVisualDataElemDgrmEvent> Make(unsigned int nRowK)
    {
        T_VD_PARAM_D p;
        p.pDoc = &doc;
        p.nPVtifK = nRowK;
        return std::make_unique<CPVSVisualDataElemDgrmEvent>(p);
    }
    vtkSmartPointer<vtkPolyData> Build(CPVSVisualDataElemDgrmEvent& vd, int nDrawn, vtkPolyData* pInactive = nullptr)
    {
        auto pd = vtkSmartPointer<vtkPolyData>::New();
        CArray<unsigned int, unsigned int> drawn;
        EXPECT_EQ(vd.MakeVGeomData(pd, nullptr, nullptr, nullptr, fem.get(), nullptr, nullptr, pInactive, nullptr, drawn), 1);
        EXPECT_EQ(drawn.GetSize(), nDrawn);
        return pd;
    }

    static constexpr unsigned int kStep = 7;
    CDBDoc doc;
    unsigned int elem[3] = {};
    unsigned int lining = 0, other = 0;
    std::unique_ptr<CPVSModelDataFEM> fem;
};

// ---- Companion ----------------------------------------------------------------------------

struct CompanionCase {
    const char* name;
    unsigned int nEventCode;
    int nCompanion;  // index into the force rows below, -1 for none
    int nKind;
};

void PrintTo(const CompanionCase& c, std::ostream* os) { *os << "event code " << c.nEventCode; }

class LineEventCompanion : public LineEventFixture, public ::testing::WithParamInterface<CompanionCase> {};

// The step holds, in key order: 3008 of the other entity, 3008 of the lining, 3004 of the
// other entity, 5001 of the other entity, 5001 of the lining; a 3005 row of another step.
TEST_P(LineEventCompanion, ForceRowOfTheCodeWith3008OnTheSameEntity)
{
    const unsigned int force[5] = {AddRow(3008, other), AddRow(3008, lining), AddRow(3004, other),
                                   AddRow(5001, other), AddRow(5001, lining)};
    AddRow(3005, lining, {}, kStep + 1);
    auto vd = Make(AddRow(GetParam().nEventCode, lining));
    EXPECT_EQ(vd->GetDgrmKind(), GetParam().nKind);
    if (GetParam().nCompanion < 0) {
        EXPECT_EQ(vd->GetCompanion(), nullptr);
        return;
    }
    ASSERT_NE(vd->GetCompanion(), nullptr);
    EXPECT_EQ(vd->GetCompanion()->GetPVtifK(), force[GetParam().nCompanion]);
    EXPECT_STREQ(vd->GetCompanion()->GetRuntimeClass()->m_lpszClassName, "CPVSVisualDataElemDgrm");
}

INSTANTIATE_TEST_SUITE_P(
    Codes, LineEventCompanion,
    ::testing::Values(CompanionCase{"Code80001Takes3008OfItsOwnEntity", 80001, 1, 1},
                      CompanionCase{"Code80003Takes3004AnyEntity", 80003, 2, 1},
                      CompanionCase{"Code80101TakesTheFirst5001", 80101, 3, 2},
                      CompanionCase{"Code80002FindsNo3005InItsStep", 80002, -1, 1},
                      CompanionCase{"Code80106FindsNo5006", 80106, -1, 2},
                      CompanionCase{"Code80014OutsideTheTable", 80014, -1, 1},
                      CompanionCase{"Code80021OutsideTheTable", 80021, -1, 1}),
    [](const ::testing::TestParamInfo<CompanionCase>& i) { return std::string(i.param.name); });

// ---- Segments and their states ------------------------------------------------------------

struct QuarterCase {
    const char* name;
    unsigned int nEventCode;
    std::vector<double> want; // state shown by each segment for end states 0 and 3
};

void PrintTo(const QuarterCase& c, std::ostream* os) { *os << c.want.size() << " segments, code " << c.nEventCode; }

class LineEventQuarters : public LineEventFixture, public ::testing::WithParamInterface<QuarterCase> {};

TEST_P(LineEventQuarters, FirstQuarterFirstEndLastQuarterSecondEnd)
{
    auto vd = Make(AddRow(GetParam().nEventCode, lining));
    const int n = static_cast<int>(GetParam().want.size());
    T_PVTIF_D row;
    T_VSUL_DATA_D dgrm, events;
    for (int s = 0; s < n; ++s)
        for (int e = 0; e < 2; ++e) {
            row.aDgrmPos.Add(static_cast<double>(s + e) / n);
            dgrm.aValue.Add(1.0 + s);
        }
    events.aValue.Add(0.0);
    events.aValue.Add(3.0);
    T_NODE_D n1, n2;
    n2.dXyz[0] = 4.0;
    double dir[3] = {0, 0, 1};
    CArray<T_PVS_POLY_D, T_PVS_POLY_D&> poly;
    ASSERT_EQ(vd->MakeDgrmPolygonEvent(row, dgrm, events, dir, n1, n2, poly), 1);
    const int m = 16 / n;
    ASSERT_EQ(poly.GetSize(), n * m);
    for (int s = 0; s < n; ++s)
        for (int k = 0; k < m; ++k) {
            const T_PVS_POLY_D& p = poly[s * m + k];
            ASSERT_EQ(p.aVtx.GetSize(), 4);
            for (int v = 0; v < 4; ++v)
                EXPECT_EQ(p.aVtx[v].value, GetParam().want[static_cast<size_t>(s)]) << "segment " << s;
            // The tip of the segment's band stands at its diagram value.
            EXPECT_DOUBLE_EQ(p.aVtx[1].point.z, (1.0 + s) * kScale);
        }
}

INSTANTIATE_TEST_SUITE_P(
    Families, LineEventQuarters,
    ::testing::Values(QuarterCase{"OneSegmentFamily1", 80001, {0}},
                      QuarterCase{"OneSegmentFamily2", 80101, {-1}},
                      QuarterCase{"FiveSegmentsFamily1", 80005, {0, 0, 0, 0, 3}},
                      QuarterCase{"FiveSegmentsFamily2", 80105, {0, -1, -1, -1, 3}},
                      QuarterCase{"FourSegmentsNeverReachTheSecondEnd", 80102, {0, -1, -1, -1}},
                      QuarterCase{"EightSegmentsFamily1", 80004, {0, 0, 0, 0, 0, 0, 0, 3}},
                      QuarterCase{"EightSegmentsFamily2", 80104, {0, 0, -1, -1, -1, -1, -1, 3}},
                      QuarterCase{"SixteenSegmentsOneStepEach", 80106,
                                  {0, 0, 0, 0, -1, -1, -1, -1, -1, -1, -1, -1, -1, 3, 3, 3}}),
    [](const ::testing::TestParamInfo<QuarterCase>& i) { return std::string(i.param.name); });

TEST_F(LineEventFixture, OverSixteenSegmentsGiveNoPolygonAndBadListsFail)
{
    auto vd = Make(AddRow(80001, lining));
    T_PVTIF_D row;
    T_VSUL_DATA_D dgrm, events;
    for (int i = 0; i < 34; ++i) {
        row.aDgrmPos.Add(i / 33.0);
        dgrm.aValue.Add(1.0);
    }
    events.aValue.Add(1.0);
    events.aValue.Add(2.0);
    T_NODE_D n1, n2;
    n2.dXyz[0] = 4.0;
    double dir[3] = {0, 0, 1};
    CArray<T_PVS_POLY_D, T_PVS_POLY_D&> poly;
    EXPECT_EQ(vd->MakeDgrmPolygonEvent(row, dgrm, events, dir, n1, n2, poly), 1);
    EXPECT_EQ(poly.GetSize(), 0);
    dgrm.aValue.RemoveAt(33);
    EXPECT_EQ(vd->MakeDgrmPolygonEvent(row, dgrm, events, dir, n1, n2, poly), 0) << "count differs from positions";
    row.aDgrmPos.RemoveAt(33);
    EXPECT_EQ(vd->MakeDgrmPolygonEvent(row, dgrm, events, dir, n1, n2, poly), 0) << "odd count";
    row.aDgrmPos.SetSize(2);
    dgrm.aValue.SetSize(2);
    events.aValue.Add(3.0);
    EXPECT_EQ(vd->MakeDgrmPolygonEvent(row, dgrm, events, dir, n1, n2, poly), 0) << "three event values";
}

// Steps are cut at the axis when their values' product is below 1e-15, even of one sign, and
// left out when both values are below 1e-15 in size; heights are the diagram scale times the
// symbol factor, on the other side when reversed.
TEST_F(LineEventFixture, StepsAreCutAndLeftOutByTheBandsOwnRule)
{
    auto vd = Make(AddRow(80001, lining));
    T_PVTIF_D row;
    row.aDgrmPos.Add(0.0);
    row.aDgrmPos.Add(1.0);
    T_VSUL_DATA_D events;
    events.aValue.Add(1.0);
    events.aValue.Add(2.0);
    T_NODE_D n1, n2;
    n2.dXyz[0] = 4.0;
    CArray<T_PVS_POLY_D, T_PVS_POLY_D&> poly;
    auto band = [&](double q0, double q1) {
        T_VSUL_DATA_D dgrm;
        dgrm.aValue.Add(q0);
        dgrm.aValue.Add(q1);
        double dir[3] = {0, 0, 1};
        EXPECT_EQ(vd->MakeDgrmPolygonEvent(row, dgrm, events, dir, n1, n2, poly), 1);
        for (int i = 0; i < poly.GetSize(); ++i)
            for (int v = 0; v < poly[i].aVtx.GetSize(); ++v)
                EXPECT_EQ(poly[i].aVtx[v].value, 1.0) << "every vertex shows the state";
    };

    band(2.0, -1.0); // zero at 2/3 of the member, inside step 10 of 16
    ASSERT_EQ(poly.GetSize(), 17);
    ASSERT_EQ(poly[10].aVtx.GetSize(), 3);
    ASSERT_EQ(poly[11].aVtx.GetSize(), 3);
    const VtxInfo_tag& x = poly[10].aVtx[2];
    EXPECT_EQ(x.flag, 0);
    EXPECT_NEAR(x.point.x, 4.0 * 2.0 / 3.0, 1e-12);
    EXPECT_NEAR(x.point.z, 0.0, 1e-12);
    EXPECT_EQ(poly[11].aVtx[0].point.x, x.point.x);

    band(1e-8, 1e-8); // product 1e-16: each step two triangles meeting halfway along its tips
    ASSERT_EQ(poly.GetSize(), 32);
    ASSERT_EQ(poly[0].aVtx.GetSize(), 3);
    EXPECT_DOUBLE_EQ(poly[0].aVtx[2].point.x, 0.125);
    EXPECT_DOUBLE_EQ(poly[0].aVtx[2].point.z, 1e-8 * kScale);
    EXPECT_EQ(poly[1].aVtx[2].flag, 1);

    band(8e-16, -8e-16);
    EXPECT_EQ(poly.GetSize(), 0);

    CPVSVisualDataBase::m_dVDataSymbolFactor = 2.0;
    CPostVisualState::Instance()->GetCurrentPS()->bDgrmReverse = 1;
    band(3.0, 3.0);
    ASSERT_EQ(poly.GetSize(), 16);
    for (int i = 0; i < 16; ++i) {
        ASSERT_EQ(poly[i].aVtx.GetSize(), 4);
        EXPECT_DOUBLE_EQ(poly[i].aVtx[2].point.z, -3.0 * kScale * 2.0);
        EXPECT_DOUBLE_EQ(poly[i].aVtx[3].point.x, 0.25 * (i + 1));
        EXPECT_EQ(poly[i].aVtx[3].flag, 0);
    }
}

// ---- Builds --------------------------------------------------------------------------------

TEST_F(LineEventFixture, RowWithoutCompanionKeepsItsStatesOnAUnitBand)
{
    auto vd = Make(AddRow(80002, lining, {{2.0, 3.0}, {1.0, 0.0}, {3.0, 3.0}}));
    ASSERT_EQ(vd->GetCompanion(), nullptr);
    ASSERT_EQ(vd->MakeVData(nullptr, nullptr, 0), 1);
    EXPECT_EQ(CPVSVisualDataBase::m_dVDataRsltMax, 1.0);
    T_PVIST_ANIM_D as;
    as.bAnimate = 1;
    as.dPhase = 0.5;
    for (T_PVIST_ANIM_D* pAS : {static_cast<T_PVIST_ANIM_D*>(nullptr), &as}) {
        vtkSmartPointer<vtkPolyData> first = Build(*vd, 3);
        vtkSmartPointer<vtkPolyData> pd = vtkSmartPointer<vtkPolyData>::New();
        CArray<unsigned int, unsigned int> drawn;
        ASSERT_EQ(vd->MakeVGeomData(pd, nullptr, pAS, nullptr, fem.get(), nullptr, nullptr, nullptr, nullptr, drawn), 1);
        // One segment of family 1: every vertex shows the first end's state; the band is one
        // unit high (halved in the animation frame).
        ASSERT_EQ(pd->GetNumberOfCells(), 48);
        const double want[3] = {2.0, 1.0, 3.0};
        for (vtkIdType i = 0; i < pd->GetNumberOfPoints(); ++i)
            EXPECT_EQ(pd->GetPointData()->GetScalars()->GetTuple1(i), want[i / 64]) << i;
        EXPECT_DOUBLE_EQ(pd->GetPoint(1)[2], (pAS ? 0.5 : 1.0) * kScale);
        T_VSUL_DATA_D v;
        ASSERT_TRUE(vd->LookupVData(elem[0], v));
        EXPECT_EQ(v.aValue[0], 2.0) << "the stored states stay";
        EXPECT_EQ(v.aValue[1], 3.0);
        EXPECT_EQ(first->GetNumberOfPoints(), pd->GetNumberOfPoints());
    }
}

TEST_F(LineEventFixture, CompanionGivesHeightsAndDirectionMissingMembersInactive)
{
    // The force row covers the first two members only; its answer for member 2 points along -y.
    AddRow(3008, lining, {{10.0, 10.0}, {-4.0, -4.0}});
    auto vd = Make(AddRow(80001, lining, {{1.0, 2.0}, {0.0, 0.0}, {3.0, 3.0}}));
    ASSERT_NE(vd->GetCompanion(), nullptr);
    CPostCtrlBase* pPost = vd->GetPostCtrl();
    ASSERT_NE(pPost, nullptr);
    pPost->SetElemDgrmDir(elem[1], {0.0, -2.0, 0.0});
    ASSERT_EQ(vd->MakeVData(nullptr, nullptr, 0), 1);
    CPostVisualState::Instance()->GetCurrentPS()->nInactiveDisp = 2;
    auto inactive = vtkSmartPointer<vtkPolyData>::New();
    vtkSmartPointer<vtkPolyData> pd = Build(*vd, 2, inactive);
    EXPECT_EQ(vd->m_nInactiveStyle, 1);
    EXPECT_EQ(vd->m_nInactiveCount, 1);
    ASSERT_EQ(pd->GetNumberOfCells(), 32);
    EXPECT_DOUBLE_EQ(pd->GetPoint(1)[2], 10.0 * kScale);   // member 1 along its local z
    EXPECT_DOUBLE_EQ(pd->GetPoint(65)[1], -4.0 * -kScale); // member 2 along -y, value -4
    EXPECT_EQ(pd->GetPointData()->GetScalars()->GetTuple1(1), 1.0);
    EXPECT_EQ(pd->GetPointData()->GetScalars()->GetTuple1(65), 0.0);
    CPostVisualState::Instance()->GetCurrentPS()->nInactiveDisp = 4;
    vd->m_nInactiveStyle = 0;
    Build(*vd, 2, inactive);
    EXPECT_EQ(vd->m_nInactiveStyle, 0) << "only options 2 and 3 draw inactive members";
}

TEST_F(LineEventFixture, AnswersOfAnyLengthAreReadWhole)
{
    std::vector<double> longRun(60);
    for (size_t i = 0; i < longRun.size(); ++i)
        longRun[i] = static_cast<double>(i % 4);
    auto vd = Make(AddRow(80001, lining, {longRun, {1.0, 2.0}}));
    std::vector<double> dir(70, 9.0);
    dir[0] = 0.0;
    dir[1] = 1.0;
    dir[2] = 0.0;
    vd->GetPostCtrl()->SetElemDgrmDir(elem[0], dir);
    vd->GetPostCtrl()->SetElemDgrmDir(elem[1], {5.0});
    ASSERT_EQ(vd->MakeVData(nullptr, nullptr, 0), 1);
    T_VSUL_DATA_D v;
    ASSERT_TRUE(vd->LookupVData(elem[0], v));
    ASSERT_EQ(v.GetSize(), 60);
    EXPECT_EQ(v.aValue[59], 3.0);
    C3DPoint d;
    ASSERT_EQ(vd->GetDgrmVect(elem[0], d), 1);
    EXPECT_EQ(d.x, 0.0);
    EXPECT_EQ(d.y, 1.0);
    EXPECT_EQ(d.z, 0.0);
    ASSERT_EQ(vd->GetDgrmVect(elem[1], d), 1);
    EXPECT_EQ(d.x, 5.0);
    EXPECT_EQ(d.y, 0.0);
    EXPECT_EQ(d.z, 0.0);
    EXPECT_FALSE(vd->LookupVData(elem[2], v));
    CArray<CString, CString&> lines;
    EXPECT_EQ(vd->GetPostOutput4ToolTip(2, elem[0], lines), 0) << "60 values against 2 positions";
}

// ---- Texts ---------------------------------------------------------------------------------

TEST_F(LineEventFixture, ToolTipProbeAndLabelsShowTheStates)
{
    auto vd = Make(AddRow(80001, lining, {{1.0, 2.0}}));
    ASSERT_EQ(vd->MakeVData(nullptr, nullptr, 0), 1);
    CArray<CString, CString&> lines;
    ASSERT_EQ(vd->GetPostOutput4ToolTip(2, elem[0], lines), 1);
    ASSERT_EQ(lines.GetSize(), 3);
    EXPECT_EQ(std::string(lines[0]), "Element No. " + std::to_string(elem[0]));
    EXPECT_EQ(std::string(lines[1]), " 0.00 L : 1");
    EXPECT_EQ(std::string(lines[2]), " 1.00 L : 2");
    ASSERT_EQ(vd->GetPostOutput4Probe(2, elem[0], lines, 0), 1);
    ASSERT_EQ(lines.GetSize(), 1);
    EXPECT_EQ(std::string(lines[0]), "0.00 L:1  1.00 L:2  ");
    EXPECT_EQ(vd->GetPostOutput4Probe(1, elem[0], lines, 0), 0);
    EXPECT_EQ(lines.GetSize(), 0);
    EXPECT_EQ(vd->GetPostOutput4ToolTip(2, elem[1], lines), 0) << "member without states";

    vd->SetModelData(fem.get());
    T_PVIST_ALL_D vs;
    vs.vals.nDecimal = 1;
    CArray<T_VD_TEXT_PARAM_D, T_VD_TEXT_PARAM_D&> labels;
    ASSERT_EQ(vd->MakeVTextData(labels, &vs), 1);
    ASSERT_EQ(labels.GetSize(), 2);
    EXPECT_EQ(std::string(labels[0].strText), "1.0");
    EXPECT_EQ(labels[0].dPos[0], 0.0);
    EXPECT_DOUBLE_EQ(labels[0].dPos[2], 1.0 * kScale);
    EXPECT_EQ(std::string(labels[1].strText), "2.0");
    EXPECT_DOUBLE_EQ(labels[1].dPos[0], 4.0);
    EXPECT_DOUBLE_EQ(labels[1].dPos[2], 2.0 * kScale);
}

// ---- The sample's struts ---------------------------------------------------------------------

// The other edition's factory makes the display of the sample's event rows: each family finds its
// force row, and every strut shows the state of its first end, x from the pit's centre line.
TEST(LineEventSample, StrutsShowTheirFirstEndStateOnTheirCompanionBand)
{
    using namespace kvpvs::sample;
    CDBDoc doc;
    SampleSummary sample;
    ASSERT_TRUE(BuildSampleProject(doc, SampleOptions(), sample));
    CZORDocBase::SetCurDoc(&doc);
    EventRows rows;
    ASSERT_TRUE(AddEventRows(doc, sample, rows));
    ASSERT_FALSE(rows.aElemK.empty());
    IFactoryWPLPVSImpl factory;
    T_VD_PARAM_D p;
    p.pDoc = &doc;
    p.nPVtifK = rows.nEvent2K;
    std::unique_ptr<CPVSVisualDataBase> family2(factory.CreateVisualData(&p));
    auto* pEvent2 = dynamic_cast<CPVSVisualDataElemDgrmEvent*>(family2.get());
    ASSERT_NE(pEvent2, nullptr);
    ASSERT_NE(pEvent2->GetCompanion(), nullptr);
    EXPECT_EQ(pEvent2->GetCompanion()->GetPVtifK(), rows.nForce5001K);
    p.nPVtifK = rows.nEvent1K;
    std::unique_ptr<CPVSVisualDataBase> vd(factory.CreateVisualData(&p));
    auto* pEvent = dynamic_cast<CPVSVisualDataElemDgrmEvent*>(vd.get());
    ASSERT_NE(pEvent, nullptr);
    ASSERT_NE(pEvent->GetCompanion(), nullptr);
    EXPECT_EQ(pEvent->GetCompanion()->GetPVtifK(), rows.nForce3008K);
    ASSERT_EQ(pEvent->MakeVData(nullptr, nullptr, 0), 1);
    T_MD_PARAM_D md;
    md.bFlag = 1;
    CPVSModelDataFEM fem(md, &doc);
    auto pd = vtkSmartPointer<vtkPolyData>::New();
    CArray<unsigned int, unsigned int> drawn;
    ASSERT_EQ(pEvent->MakeVGeomData(pd, nullptr, nullptr, nullptr, &fem, nullptr, nullptr, nullptr, nullptr, drawn), 1);
    ASSERT_EQ(drawn.GetSize(), static_cast<int>(rows.aElemK.size()));
    ASSERT_GT(pd->GetNumberOfPoints(), 0);
    // Every cell starts on the axis of one strut (at t in [0, 1] from its node I) and shows the
    // state of that strut's node I.
    struct Axis {
        double a[3], b[3];
    };
    std::vector<Axis> axes;
    CClassElem clsElem(doc.GetModelDB());
    CClassNode clsNode(doc.GetModelDB());
    for (unsigned int k : rows.aElemK) {
        T_ELEM_D e;
        T_NODE_D n1, n2;
        ASSERT_TRUE(clsElem.Get(k, e) && clsNode.Get(e.aNodeK[0], n1) && clsNode.Get(e.aNodeK[1], n2));
        axes.push_back({{n1.dXyz[0], n1.dXyz[1], n1.dXyz[2]}, {n2.dXyz[0], n2.dXyz[1], n2.dXyz[2]}});
    }
    // A crossing triangle may start on node J; a node shared with the next strut is that strut's.
    auto strutOf = [&](const double* q) -> const Axis* {
        for (double tEnd : {1.0 - 1e-9, 1.0 + 1e-9}) {
            for (const Axis& ax : axes) {
                double d[3], r[3], dd = 0, t = 0;
                for (int c = 0; c < 3; ++c) {
                    d[c] = ax.b[c] - ax.a[c];
                    r[c] = q[c] - ax.a[c];
                    dd += d[c] * d[c];
                    t += r[c] * d[c];
                }
                t /= dd;
                double off = 0;
                for (int c = 0; c < 3; ++c)
                    off += (r[c] - t * d[c]) * (r[c] - t * d[c]);
                if (t >= 0.0 && t < tEnd && off < 1e-18)
                    return &ax;
            }
        }
        return nullptr;
    };
    auto ids = vtkSmartPointer<vtkIdList>::New();
    for (vtkIdType c = 0; c < pd->GetNumberOfCells(); ++c) {
        pd->GetCellPoints(c, ids);
        const Axis* pAxis = strutOf(pd->GetPoint(ids->GetId(0)));
        ASSERT_NE(pAxis, nullptr) << "cell " << c;
        EXPECT_EQ(pd->GetPointData()->GetScalars()->GetTuple1(ids->GetId(0)), StrutEventState(pAxis->a[0])) << c;
    }
    CZORDocBase::SetCurDoc(nullptr);
}

} // namespace
