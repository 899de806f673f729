// Element stress history plot through its value source: two plane-strain quadrilaterals that
// share an edge, their values answered by a recording step entry of the recovery library, the
// node values combined by each averaging mode, the centre values, probes and the step read;
// then a solid on real result files against its stored history function.
#include "visualdata/CPVSVisualDataHistoryPlotStrs.h"

#include "timehistory/CPVSTHEngine.h"
#include "timehistory/ElementResultsEntry.h"

#include "histplot_stress_fixture.h"

#include "../recovery/drivers/family_fixture.h"

#include "frame/IFactoryPVSImpl.h"

#include "DBDoc.h"
#include "MsgDll.h"
#include "PostGeneralTable.h"
#include "PVSRendererBase.h"
#include "PostVisualState.h"
#include "THResultBuilder.h"
#include "TempDir.h"
#include "UnitCtrl.h"
#include "UserDefDisplayHost.h"

#include <gtest/gtest.h>
#include <vtkDataArray.h>
#include <vtkDataSet.h>
#include <vtkPointData.h>

#include <algorithm>
#include <cmath>
#include <map>
#include <memory>
#include <string>
#include <vector>

namespace {

namespace th = kvpvs::timehistory;

using kvpvs::test::StressPlotModel;
constexpr unsigned kAcas = StressPlotModel::kAcas;
std::map<int, double>& g_value = StressPlotModel::value;
std::vector<int>& g_steps = StressPlotModel::steps;

class StressValues : public ::testing::Test {
protected:
    void SetUp() override { CPVSVisualDataBase::ResetVDataStatics(); }
    std::unique_ptr<CPVSVisualDataHistoryPlotStrs> Build(double v1, double v2, int bAverage, int nMode, int nStep = 0)
    {
        g_value = {{101, v1}, {102, v2}};
        T_VD_HISTPLOT_TVCKVR_D rec;
        rec.Initialize();
        rec.m_nAcasKey = kAcas;
        rec.m_nResultType = 7;
        rec.m_nTimeStep = nStep;
        T_VD_PARAM_D p;
        p.pDoc = &doc;
        p.pUserDefData = &rec;
        auto vd = std::make_unique<CPVSVisualDataHistoryPlotStrs>(7, p);
        vs.bAverage = bAverage;
        vs.nAverageMode = nMode;
        EXPECT_EQ(vd->MakeVData(&vs, nullptr, 0), 1);
        return vd;
    }
    // Node values of element e in its node order.
    static std::vector<double> NodeValues(CPVSVisualDataHistoryPlotStrs& vd, unsigned int nElemK)
    {
        std::vector<double> v;
        for (int k = 0; k < 4; ++k)
            v.push_back(vd.GetScalar(nElemK, k, nullptr));
        return v;
    }

    StressPlotModel m;
    CDBDoc& doc = m.doc;
    std::vector<unsigned int>& nodeK = m.nodeK;
    std::vector<unsigned int>& elemK = m.elemK;
    std::unique_ptr<CTHResultBuilder>& builder = m.builder;
    T_PVIST_ALL_D vs;
};

TEST_F(StressValues, SharedEdgeAveragesAndCentresStay)
{
    auto vd = Build(2.0, 4.0, 1, 1);
    // Element 1 is nodes 0 1 4 3, element 2 nodes 1 2 5 4: nodes 1 and 4 are shared.
    EXPECT_EQ(NodeValues(*vd, elemK[0]), (std::vector<double>{2, 3, 3, 2}));
    EXPECT_EQ(NodeValues(*vd, elemK[1]), (std::vector<double>{3, 4, 4, 3}));
    EXPECT_EQ(vd->GetElemCenterVal(elemK[0]), 2.0);
    EXPECT_EQ(vd->GetElemCenterVal(elemK[1]), 4.0);
    EXPECT_EQ(CPVSVisualDataBase::m_dVDataRsltMin, 2.0);
    EXPECT_EQ(CPVSVisualDataBase::m_dVDataRsltMax, 4.0);
    EXPECT_EQ(vd->GetVisualMethodType(&vs), 1);
}

struct ModeCase {
    const char* name;
    int nMode;
    double dShared;
};

class StressValuesByMode : public StressValues, public ::testing::WithParamInterface<ModeCase> {};

TEST_P(StressValuesByMode, SharedNodeOfMinusFiveAndThree)
{
    auto vd = Build(-5.0, 3.0, 1, GetParam().nMode);
    EXPECT_EQ(vd->GetScalar(elemK[0], 1, nullptr), GetParam().dShared);
    EXPECT_EQ(vd->GetScalar(elemK[1], 0, nullptr), GetParam().dShared);
    EXPECT_EQ(vd->GetElemCenterVal(elemK[0]), -5.0);
}

INSTANTIATE_TEST_SUITE_P(Modes, StressValuesByMode,
                         ::testing::Values(ModeCase{"Average", 1, -1.0}, ModeCase{"Maximum", 2, 3.0},
                                           ModeCase{"Minimum", 3, -5.0}, ModeCase{"LargestMagnitude", 4, 5.0},
                                           ModeCase{"SmallestMagnitude", 5, 3.0},
                                           ModeCase{"OutsideAveragesZero", 0, -1.0},
                                           ModeCase{"OutsideAveragesSix", 6, -1.0}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(StressValues, ElementValuesWithoutAveraging)
{
    auto vd = Build(-5.0, 3.0, 0, 4);
    EXPECT_EQ(NodeValues(*vd, elemK[0]), (std::vector<double>(4, -5.0)));
    EXPECT_EQ(NodeValues(*vd, elemK[1]), (std::vector<double>(4, 3.0)));
    EXPECT_EQ(vd->GetVisualMethodType(&vs), 2);
}

// A value the result files give as NaN or infinite leaves its element out, as a failed read does:
// the shared nodes take the other element's value alone and the range is the finite values'.
TEST_F(StressValues, NonFiniteValueLeavesItsElementOut)
{
    for (double bad : {std::nan(""), HUGE_VAL, -HUGE_VAL})
        for (int bAverage : {0, 1}) {
            CPVSVisualDataBase::ResetVDataStatics();
            auto vd = Build(bad, 4.0, bAverage, 1);
            CArray<CString, CString&> a;
            EXPECT_EQ(vd->GetPostOutput4Probe(2, elemK[0], a, 0), 0) << bad << " " << bAverage;
            EXPECT_EQ(NodeValues(*vd, elemK[1]), (std::vector<double>(4, 4.0))) << bad << " " << bAverage;
            EXPECT_EQ(CPVSVisualDataBase::m_dVDataRsltMin, 4.0) << bad << " " << bAverage;
            EXPECT_EQ(CPVSVisualDataBase::m_dVDataRsltMax, 4.0) << bad << " " << bAverage;
        }
}

// Finite stresses near the largest double on both elements: the shared nodes show their mean
// (exact in long double, rounded once), not the overflowed sum, and so does the range.
TEST_F(StressValues, AverageOfHugeValuesDoesNotOverflow)
{
    for (double sign : {1.0, -1.0}) {
        CPVSVisualDataBase::ResetVDataStatics();
        const double a = sign * 1e308, b = sign * 1.5e308;
        const double mean = static_cast<double>((static_cast<long double>(a) + b) / 2);
        auto vd = Build(a, b, 1, 1);
        EXPECT_EQ(NodeValues(*vd, elemK[0]), (std::vector<double>{a, mean, mean, a}));
        EXPECT_EQ(NodeValues(*vd, elemK[1]), (std::vector<double>{mean, b, b, mean}));
        EXPECT_EQ(CPVSVisualDataBase::m_dVDataRsltMin, std::min(a, b));
        EXPECT_EQ(CPVSVisualDataBase::m_dVDataRsltMax, std::max(a, b));
    }
}

TEST_F(StressValues, ProbesOfNodesAndElements)
{
    auto vd = Build(2.0, 4.0, 1, 1);
    CArray<CString, CString&> a;
    ASSERT_EQ(vd->GetPostOutput4Probe(2, elemK[1], a, 0), 1);
    ASSERT_EQ(a.GetSize(), 1);
    EXPECT_EQ(std::string(a[0]), "4"); // the centre, not a node value (3 at the shared edge)
    ASSERT_EQ(vd->GetPostOutput4Probe(1, nodeK[1], a, 0), 1);
    ASSERT_EQ(a.GetSize(), 1);
    EXPECT_EQ(std::string(a[0]), "3");
    EXPECT_EQ(vd->GetPostOutput4Probe(3, elemK[0], a, 0), 0);
    EXPECT_EQ(a.GetSize(), 0);
    auto flat = Build(2.0, 4.0, 0, 1);
    EXPECT_EQ(flat->GetPostOutput4Probe(1, nodeK[1], a, 0), 0);
    EXPECT_EQ(a.GetSize(), 0);
}

TEST_F(StressValues, ProgressShowsTheReadingText)
{
    CMsgDll::SetText("IDS_PVS_Reading_Result_Data", "Reading result data...");
    auto& runs = ICustomPostDB::Instance()->m_aProgress;
    const std::size_t before = runs.size();
    Build(2.0, 4.0, 1, 1);
    ASSERT_EQ(runs.size(), before + 1);
    EXPECT_EQ(std::string(runs.back().strText), "Reading result data...");
    EXPECT_EQ(runs.back().nSteps, 2);
    EXPECT_EQ(runs.back().nAdvanced, 1); // items 0 and 1, stride 1: item 1 passes the mark 0
    EXPECT_TRUE(runs.back().bEnded);
    // No element of the family: one step, none taken, still closed.
    builder->Ctrl()->GetSeqIdInfo()->SetElemTypeCode(elemK[0], 99);
    builder->Ctrl()->GetSeqIdInfo()->SetElemTypeCode(elemK[1], 99);
    Build(2.0, 4.0, 0, 1);
    EXPECT_EQ(runs.back().nSteps, 1);
    EXPECT_EQ(runs.back().nAdvanced, 0);
    EXPECT_TRUE(runs.back().bEnded);
}

TEST_F(StressValues, RequestOfTheDialogDrawsTheAveragedContour)
{
    g_value = {{101, 2.0}, {102, 4.0}};
    IFactoryPVSImpl factory;
    CPVSRendererRecorder rec;
    kvpvs::host::CUserDefDisplayHost host(&rec);
    T_VD_HISTPLOT_TVCKVR_D plot;
    plot.Initialize();
    plot.m_nAcasKey = kAcas;
    plot.m_nResultType = 7;
    ASSERT_EQ(host.Show(T_PVS_DISPLAY_REQUEST_D{7, &plot, 1, 0, 0}), 1);
    ASSERT_EQ(rec.m_aCalls.size(), 1u);
    vtkDataSet* g = rec.m_aCalls[0].pData;
    ASSERT_TRUE(g);
    ASSERT_EQ(g->GetNumberOfCells(), 2);
    // Each element's own points in its node order: the shared edge shows 3 on both sides.
    const double want[8] = {2, 3, 3, 2, 3, 4, 4, 3};
    ASSERT_EQ(g->GetNumberOfPoints(), 8);
    for (vtkIdType i = 0; i < 8; ++i)
        EXPECT_EQ(g->GetPointData()->GetScalars()->GetComponent(i, 0), want[i]) << i;
    EXPECT_EQ(rec.m_aCalls[0].dRange[0], 2.0);
    EXPECT_EQ(rec.m_aCalls[0].dRange[1], 4.0);
}

TEST_F(StressValues, ReadsTheChosenStep)
{
    auto vd = Build(2.0, 4.0, 0, 1, 2);
    EXPECT_EQ(g_steps, (std::vector<int>{3, 3}));
    EXPECT_EQ(vd->GetElemCenterVal(elemK[1]), 12.0);
    g_steps.clear();
    Build(2.0, 4.0, 0, 1, 3); // past the last step: nothing read, nothing shown
    EXPECT_TRUE(g_steps.empty());
}

// A 2 x 1.5 x 1 hexahedron on real result files, stretched by a uniform strain whose factor
// changes from step to step: the plot at step k shows entry k of the solid's stored stress
// function at the centre, component by component, in output units.
class SolidOnResultFiles : public ::testing::Test {
protected:
    void SetUp() override
    {
        CZORDocBase::SetCurDoc(&doc);
        CDocCtrl::GetUnitCtrl(&doc)->SetFactor(17, 13.0);
    }
    void TearDown() override
    {
        th::ResetElementResultsEntry();
        CZORDocBase::SetCurDoc(nullptr);
    }
    CDBDoc doc;
    CPVSTHEngine engine;
    kvpvs::testing::TempDir dir{"kvpvs_stress_plot"};
    std::string base = dir.file("model");
    kvpvs::resultfiles::ResultSetBuilder files;
};

TEST_F(SolidOnResultFiles, StepValueIsTheStoredFunctionsEntry)
{
    namespace rf = kvpvs::resultfiles;
    constexpr int kSteps = 4;
    constexpr unsigned kCase = 41, kElemK = 700;
    const double eps[6] = {2e-4, -1e-4, 1.5e-4, 3e-4, -2e-4, 1e-4};
    const double sx[8] = {-1, 1, 1, -1, -1, 1, 1, -1}, sy[8] = {-1, -1, 1, 1, -1, -1, 1, 1},
                 sz[8] = {1, 1, 1, 1, -1, -1, -1, -1};
    std::vector<kvpvs::testing::Point3> x;
    for (int k = 0; k < 8; ++k)
        x.push_back({1 + sx[k], 0.75 * (1 + sy[k]), 0.5 * (1 + sz[k])});
    for (std::size_t k = 0; k < x.size(); ++k)
        files.set_node(static_cast<int>(k + 1), x[k][0], x[k][1], x[k][2]);
    files.add_material(1, 2.0e7, 0.3);
    files.set_element(1, 1);
    rf::SolidRecordFacts f;
    f.equations = rf::node_equations(8);
    f.matrix = rf::solid_reference_matrix(x, 2.0e7, 0.3);
    rf::add_element_records(files, "SOLD", 3, {rf::solid_record_values(f)});
    rf::HistoryFacts h;
    h.type = 2;
    h.case_or_file = 1;
    files.set_history(1, h);
    for (int k = 0; k < 8; ++k) {
        const auto& p = x[static_cast<std::size_t>(k)];
        const double u[3] = {eps[0] * p[0] + eps[3] / 2 * p[1] + eps[5] / 2 * p[2],
                             eps[3] / 2 * p[0] + eps[1] * p[1] + eps[4] / 2 * p[2],
                             eps[5] / 2 * p[0] + eps[4] / 2 * p[1] + eps[2] * p[2]};
        for (int d = 0; d < 6; ++d) {
            std::vector<double> series;
            for (int i = 1; i <= kSteps; ++i)
                series.push_back(d < 3 ? (std::cos(0.8 * i) + 0.2) * u[d] : 0.0);
            files.set_direct_series(1, 6 * k + d + 1, series);
        }
    }
    ASSERT_TRUE(files.write(base));
    T_ELEM_D el;
    el.nCellType = 12;
    for (int k = 1; k <= 8; ++k) {
        T_NODE_D n;
        for (int c = 0; c < 3; ++c)
            n.dXyz[c] = x[static_cast<std::size_t>(k - 1)][static_cast<std::size_t>(c)];
        CClassNode(doc.GetModelDB()).Set(static_cast<unsigned>(k), n);
        el.aNodeK.Add(static_cast<unsigned>(k));
    }
    CClassElem(doc.GetModelDB()).Set(kElemK, el);
    std::vector<double> times;
    for (int i = 1; i <= kSteps; ++i)
        times.push_back(0.05 * i);
    CTHResultBuilder b(doc, kCase, 9, 1, times, 1);
    b.ConnectResultFiles(files.elem_file_name(base).c_str(), 1, {{kElemK, {1, 1}}});
    b.Ctrl()->GetSeqIdInfo()->SetElemTypeCode(kElemK, 15);

    for (int comp = 0; comp < 6; ++comp) {
        T_THRD_D s;
        s.nCode = 5;
        s.nEntityK = kElemK;
        s.nResultKind = 1; // stresses
        s.nPosition = 0;   // the centre
        s.nComponent = comp;
        s.nAcasK = kCase;
        const CArray<double, double>* pSeries = engine.Run(&s);
        ASSERT_TRUE(pSeries);
        ASSERT_EQ(pSeries->GetSize(), kSteps);
        for (int k = 0; k < kSteps; ++k) {
            T_VD_HISTPLOT_TVCKVR_D rec;
            rec.Initialize();
            rec.m_nAcasKey = kCase;
            rec.m_nResultType = 9;
            rec.m_bGlobal = 1;
            rec.m_nComponent = comp;
            rec.m_nTimeStep = k;
            T_VD_PARAM_D p;
            p.pDoc = &doc;
            p.pUserDefData = &rec;
            CPVSVisualDataHistoryPlotStrs vd(7, p);
            T_PVIST_ALL_D vs;
            vs.bAverage = 0;
            ASSERT_EQ(vd.MakeVData(&vs, nullptr, 0), 1);
            EXPECT_NE((*pSeries)[k], 0.0) << comp << " " << k;
            EXPECT_EQ(vd.GetElemCenterVal(kElemK), (*pSeries)[k]) << "component " << comp << ", step " << k;
        }
    }
}

} // namespace
