// The TKVR history-plot dialog driven as a user drives it: which cases, functions, result types
// and components it offers, what it writes into its record and asks the bridge for, and the two
// small graphs: a damped sine checked against its closed form, and a one-mode response
// q(t) = sin wt whose node moves phi q along x.
#include "dialogs/CDlgHistoryPlotTKVR.h"
#include "dialogs/DialogControlIds.h"

#include "ClassAcas.h"
#include "ClassThfc.h"
#include "DBTransaction.h"
#include "GraphWnd_standin.h"
#include "MsgDll.h"
#include "PVSMeshMngrBrdg.h"
#include "PVSUtilFunc.h"
#include "THResultBuilder.h"
#include "afx_standin.h"

#include <gtest/gtest.h>

#include <cctype>
#include <cmath>
#include <memory>
#include <string>
#include <vector>

namespace {

constexpr double kPi = 3.14159265358979323846;
constexpr double kW = 5.0, kDt = 0.02, kPhi = 2.0;
constexpr int kSteps = 50;
constexpr unsigned kCaseA = 21, kCaseB = 22, kCaseNoControl = 23, kCaseStatic = 24, kCaseNoSteps = 25;
constexpr unsigned kNode = 1;

double Time(int i) { return kDt * (i + 1); }

// The damped sine as its definition reads.
double DampedSine(double A, double B, double f, double c, double phi, double t)
{
    return std::exp(-c * t) * (B * t + A) * std::sin(phi * kPi / 180.0 + 2.0 * kPi * f * t);
}

T_THFC_D Sine(const char* pszName, double A, double B, double f, double c, double phi)
{
    T_THFC_D s;
    s.strName = pszName;
    s.nType = 1;
    const double p[5] = {A, B, f, c, phi};
    for (int i = 0; i < 5; ++i)
        s.dParam[i] = p[i];
    return s;
}

class HistoryPlotTKVRTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        CZORDocBase::SetCurDoc(&doc);
        view.CreateWindowCore(nullptr);
        bridge->SetWnd(&view);
        doc.SetActiveView(&view);
        CMsgDll::SetText(IDS_PVS_Displacement, "Displacement");
        CMsgDll::SetText(IDS_PVS_Velocity, "Velocity");
        CMsgDll::SetText(IDS_PVS_Acceleration, "Acceleration");
        AfxStandInMainWndCommands().clear();
        CDlgHistoryPlotTKVR::DefaultRecord().Initialize();
    }
    void TearDown() override
    {
        if (CDlgHistoryPlotTKVR::m_pMySelf)
            CDlgHistoryPlotTKVR::m_pMySelf->DestroyWindow();
        view.DestroyWindow();
        CZORDocBase::SetCurDoc(nullptr);
    }
    // A time-history case of nSteps steps with one mode: node kNode moves phi sin(wt) along x.
    void BuildCase(unsigned nAcasK, const char* pszName, int nSteps, int nType = 4)
    {
        std::vector<double> times;
        for (int i = 0; i < nSteps; ++i)
            times.push_back(Time(i));
        CTHResultBuilder b(doc, nAcasK, nAcasK + 100, 1, times, 1);
        b.SetModeShape(1, {kPhi});
        _NDSP_BN n;
        n.dEqn[0] = 1;
        b.SetNode(kNode, n);
        for (int i = 0; i < nSteps; ++i)
            b.SetModal(1, i + 1, _MDSP_BN{std::sin(kW * Time(i)), 0.0, 0.0});
        for (int d = 0; d < 3; ++d)
            b.SetGround(d, std::vector<_MDSP_BN>(static_cast<size_t>(nSteps)));
        SetCaseRecord(nAcasK, pszName, nType);
    }
    void SetCaseRecord(unsigned nAcasK, const char* pszName, int nType)
    {
        CClassAcas acas(doc.GetModelDB());
        T_ACAS_D c;
        acas.Get(nAcasK, c);
        c.strName = pszName;
        c.nType = nType;
        acas.Set(nAcasK, c);
    }
    unsigned StoreDisp(const char* pszName, unsigned nAcasK)
    {
        T_THRD_D s;
        s.strName = pszName;
        s.nCode = 0;
        s.nEntityK = kNode;
        s.nAcasK = nAcasK;
        return CClassThrd(doc.GetModelDB()).Add(s);
    }
    void StandardCases()
    {
        BuildCase(kCaseA, "quake A", kSteps);
        BuildCase(kCaseB, "quake B", 3);
        SetCaseRecord(kCaseNoControl, "no results", 4);
        BuildCase(kCaseStatic, "static", 2, 1);
    }
    CDlgHistoryPlotTKVR* Open()
    {
        CDlgHistoryPlotTKVR::CreateOrActivate(&view);
        dlg = CDlgHistoryPlotTKVR::m_pMySelf;
        return dlg;
    }
    CComboBox* Combo(UINT nID) { return dynamic_cast<CComboBox*>(dlg->GetDlgItem(nID)); }
    std::vector<std::string> Texts(UINT nID)
    {
        std::vector<std::string> v;
        for (int i = 0; i < Combo(nID)->GetCount(); ++i) {
            CString s;
            Combo(nID)->GetLBText(i, s);
            v.emplace_back(s.GetString());
        }
        return v;
    }
    std::vector<unsigned> Data(UINT nID)
    {
        std::vector<unsigned> v;
        for (int i = 0; i < Combo(nID)->GetCount(); ++i)
            v.push_back(static_cast<unsigned>(Combo(nID)->GetItemData(i)));
        return v;
    }
    void SelectData(UINT nID, unsigned nData)
    {
        for (int i = 0; i < Combo(nID)->GetCount(); ++i)
            if (Combo(nID)->GetItemData(i) == nData) {
                ASSERT_TRUE(AfxDriver::Select(dlg, nID, i));
                return;
            }
        FAIL() << "no entry " << nData;
    }
    CGraphWnd* InputGraph() { return GraphWndStandIn::FindIn(dlg).at(0); }
    CGraphWnd* OutputGraph() { return GraphWndStandIn::FindIn(dlg).at(1); }
    int Requests() const { return bridge->m_aRequests.GetSize(); }
    const T_PVS_DISPLAY_REQUEST_D& LastRequest() const
    {
        return bridge->m_aRequests[bridge->m_aRequests.GetSize() - 1];
    }

    CDBDoc doc;
    CView view;
    std::unique_ptr<CPVSMeshMngrBrdg> bridge = std::make_unique<CPVSMeshMngrBrdg>();
    CDlgHistoryPlotTKVR* dlg = nullptr;
};

TEST_F(HistoryPlotTKVRTest, OffersTimeHistoryCasesWithResultsAndTheFunctionsOfTheChosenCase)
{
    StandardCases();
    const unsigned a1 = StoreDisp("DX A", kCaseA), b1 = StoreDisp("DX B", kCaseB), a2 = StoreDisp("DX A again", kCaseA);
    T_THFC_D table;
    table.strName = "table";
    const unsigned f1 = CClassThfc(doc.GetModelDB()).Add(table);
    ASSERT_NE(Open(), nullptr);
    EXPECT_EQ(Data(IDC_HPTK_CASE), (std::vector<unsigned>{kCaseA, kCaseB})) << "type 4 with a post sub-control only";
    EXPECT_EQ(Texts(IDC_HPTK_CASE), (std::vector<std::string>{"quake A", "quake B"}));
    EXPECT_EQ(Combo(IDC_HPTK_CASE)->GetCurSel(), 0);
    EXPECT_EQ(Data(IDC_HPTK_OUTPUT), (std::vector<unsigned>{0, a1, a2}));
    EXPECT_EQ(Texts(IDC_HPTK_OUTPUT).front(), "Default");
    EXPECT_EQ(Data(IDC_HPTK_INPUT), (std::vector<unsigned>{0, f1}));
    ASSERT_EQ(Combo(IDC_HPTK_STEP)->GetCount(), kSteps);
    EXPECT_EQ(Texts(IDC_HPTK_STEP)[2], "0.06");
    EXPECT_EQ(Combo(IDC_HPTK_STEP)->GetCurSel(), 0);
    EXPECT_EQ(AfxDriver::GetText(dlg, IDC_HPTK_START_TIME), "");
    EXPECT_EQ(Requests(), 0) << "opening shows nothing";

    SelectData(IDC_HPTK_CASE, kCaseB);
    EXPECT_EQ(Data(IDC_HPTK_OUTPUT), (std::vector<unsigned>{0, b1}));
    EXPECT_EQ(Texts(IDC_HPTK_STEP), (std::vector<std::string>{"0.02", "0.04", "0.06"}));
    ASSERT_EQ(GraphWndStandIn::Data(*OutputGraph()).size(), 3u) << "the default output follows the case's steps";
    EXPECT_TRUE(GraphWndStandIn::HasMark(*InputGraph()));
    EXPECT_DOUBLE_EQ(GraphWndStandIn::MarkX(*InputGraph()), Time(0));

    const UINT nRegID = CDlgHistoryPlotTKVR::m_reg.nRegID;
    CDlgHistoryPlotTKVR::CreateOrActivate(&view);
    EXPECT_EQ(CDlgHistoryPlotTKVR::m_pMySelf, dlg) << "a second request activates the first";
    EXPECT_EQ(CDlgHistoryPlotTKVR::m_reg.nRegID, nRegID);
}

struct ResultTypeCase {
    int nIndex;
    const char* pszEntry;
    std::vector<std::string> components;
    unsigned nVDType;
};

const std::vector<std::string> kNodal = {"DX", "DY", "DZ", "RX", "RY", "RZ", "DXYZ", "RXYZ"};

class HistoryPlotResultTypes : public HistoryPlotTKVRTest, public ::testing::WithParamInterface<ResultTypeCase> {};

TEST_P(HistoryPlotResultTypes, ListTheirComponentsAndRequestTheirDisplay)
{
    const ResultTypeCase& p = GetParam();
    BuildCase(kCaseA, "quake A", kSteps);
    Open();
    ASSERT_EQ(Combo(IDC_HPTK_RESULT_TYPE)->GetCount(), 13);
    EXPECT_EQ(Texts(IDC_HPTK_RESULT_TYPE)[static_cast<size_t>(p.nIndex)], p.pszEntry);
    ASSERT_TRUE(AfxDriver::Select(dlg, IDC_HPTK_RESULT_TYPE, p.nIndex));
    EXPECT_EQ(Texts(IDC_HPTK_COMPONENT), p.components);
    if (p.components.empty()) {
        EXPECT_EQ(Requests(), 0) << "no component, no request";
        ASSERT_TRUE(AfxDriver::Click(dlg, IDC_HPTK_APPLY));
        EXPECT_EQ(Requests(), 0);
        return;
    }
    ASSERT_EQ(Requests(), 1) << "immediate display";
    EXPECT_EQ(LastRequest().nVDType, p.nVDType);
    EXPECT_EQ(LastRequest().pUserData, &CDlgHistoryPlotTKVR::DefaultRecord());
    EXPECT_EQ(CDlgHistoryPlotTKVR::DefaultRecord().m_nResultType, p.nIndex);
    const int nLast = static_cast<int>(p.components.size()) - 1;
    ASSERT_TRUE(AfxDriver::Select(dlg, IDC_HPTK_COMPONENT, nLast));
    EXPECT_EQ(CDlgHistoryPlotTKVR::DefaultRecord().m_nComponent, nLast);
    EXPECT_EQ(LastRequest().nVDType, p.nVDType);
}

INSTANTIATE_TEST_SUITE_P(
    AllThirteen, HistoryPlotResultTypes,
    ::testing::Values(
        ResultTypeCase{0, "Displacement", kNodal, 3}, ResultTypeCase{1, "Velocity", kNodal, 3},
        ResultTypeCase{2, "Acceleration", kNodal, 3}, ResultTypeCase{3, "Truss Forces", {}, 6},
        ResultTypeCase{4, "Truss Stresses", {}, 6},
        ResultTypeCase{5, "Beam Forces", {"Axial", "Shear-y", "Shear-z", "Torsion", "Moment-y", "Moment-z"}, 6},
        ResultTypeCase{6,
                       "Beam Stresses",
                       {"Axial", "Shear-y", "Shear-z", "Bend(+y)", "Bend(-y)", "Bend(+z)", "Bend(-z)", "Combined Max",
                        "Combined 1", "Combined 2", "Combined 3", "Combined 4"},
                       6},
        ResultTypeCase{7, "Plane Strain Stresses", {"Sxx", "Syy", "Szz", "Sxy"}, 7},
        ResultTypeCase{8, "Plane Strain Strains", {"Exx", "Eyy", "Ezz", "Exy"}, 7},
        ResultTypeCase{9, "Solid Stresses", {"Sxx", "Syy", "Szz", "Sxy", "Syz", "Sxz"}, 7},
        ResultTypeCase{10, "Solid Strains", {"Exx", "Eyy", "Ezz", "Exy", "Eyz", "Exz"}, 7},
        ResultTypeCase{11, "Plate Unit Force", {"Fxx", "Fyy", "Fxy", "Mxx", "Myy", "Mxy", "Vxx", "Vyy"}, 7},
        ResultTypeCase{
            12,
            "Plate Stress",
            {"Sig-xx(Top)", "Sig-yy(Top)", "Sig-xy(Top)", "Sig-xx(Bottom)", "Sig-yy(Bottom)", "Sig-xy(Bottom)"},
            7}),
    [](const ::testing::TestParamInfo<ResultTypeCase>& i) {
        std::string s = i.param.pszEntry;
        std::string out;
        for (char c : s)
            if (std::isalnum(static_cast<unsigned char>(c)))
                out += c;
        return out;
    });

TEST_F(HistoryPlotTKVRTest, RecordTakesTheChoicesAndARepeatSendsChangedZero)
{
    BuildCase(kCaseA, "quake A", kSteps);
    Open();
    ASSERT_TRUE(AfxDriver::Check(dlg, IDC_HPTK_IMMEDIATE, 0));
    ASSERT_TRUE(AfxDriver::Select(dlg, IDC_HPTK_RESULT_TYPE, 9));
    ASSERT_TRUE(AfxDriver::Select(dlg, IDC_HPTK_COMPONENT, 2));
    ASSERT_TRUE(AfxDriver::Select(dlg, IDC_HPTK_STEP, 7));
    ASSERT_TRUE(AfxDriver::Click(dlg, IDC_HPTK_GLOBAL));
    ASSERT_TRUE(AfxDriver::Check(dlg, IDC_HPTK_DEFORMED, 1));
    EXPECT_EQ(Requests(), 0) << "immediate display is off";
    CDlgHistoryPlotTKVR::DefaultRecord().m_nReserved = 77;
    ASSERT_TRUE(AfxDriver::Click(dlg, IDC_HPTK_APPLY));
    ASSERT_EQ(Requests(), 1);
    const T_VD_HISTPLOT_TVCKVR_D& r = CDlgHistoryPlotTKVR::DefaultRecord();
    EXPECT_EQ(r.m_nAcasKey, kCaseA);
    EXPECT_EQ(r.m_nResultType, 9);
    EXPECT_EQ(r.m_nComponent, 2);
    EXPECT_EQ(r.m_nTimeStep, 7);
    EXPECT_EQ(r.m_bGlobal, 1);
    EXPECT_EQ(r.m_bDeformed, 1);
    EXPECT_EQ(r.m_nReserved, 77) << "the dialog leaves that field alone";
    EXPECT_EQ(LastRequest().nVDType, 7u);
    EXPECT_EQ(LastRequest().nArg1, 1);
    EXPECT_EQ(LastRequest().nArg2, 0);
    EXPECT_EQ(LastRequest().nArg3, 0);

    ASSERT_TRUE(AfxDriver::Click(dlg, IDC_HPTK_APPLY));
    ASSERT_EQ(Requests(), 2);
    EXPECT_EQ(LastRequest().nArg1, 0) << "nothing changed";

    ASSERT_TRUE(AfxDriver::Click(dlg, IDC_HPTK_LOCAL));
    ASSERT_TRUE(AfxDriver::Click(dlg, IDC_HPTK_APPLY));
    EXPECT_EQ(LastRequest().nArg1, 1) << "the axes changed";
    EXPECT_EQ(r.m_bGlobal, 0);
}

TEST_F(HistoryPlotTKVRTest, ANewDialogStartsFromTheResetRecordAndItsDestructorForgetsIt)
{
    BuildCase(kCaseA, "quake A", kSteps);
    Open();
    ASSERT_TRUE(AfxDriver::Select(dlg, IDC_HPTK_STEP, 4));
    EXPECT_EQ(CDlgHistoryPlotTKVR::DefaultRecord().m_nTimeStep, 4);
    ASSERT_TRUE(AfxDriver::Click(dlg, IDC_HPTK_CLOSE));
    EXPECT_EQ(CDlgHistoryPlotTKVR::m_pMySelf, nullptr);
    EXPECT_EQ(bridge->m_nCloseCalls, 1);
    EXPECT_EQ(bridge->m_nLastCloseArg, 0);
    EXPECT_EQ(CDlgHistoryPlotTKVR::DefaultRecord().m_nTimeStep, 4) << "the record outlives the dialog";
    Open();
    EXPECT_EQ(CDlgHistoryPlotTKVR::DefaultRecord().m_nTimeStep, 0);
    EXPECT_EQ(CDlgHistoryPlotTKVR::DefaultRecord().m_nAcasKey, 0u);
}

TEST_F(HistoryPlotTKVRTest, NoDocumentOpensNothingAndDefineAsksTheMainWindow)
{
    CZORDocBase::SetCurDoc(nullptr);
    EXPECT_EQ(Open(), nullptr);
    CZORDocBase::SetCurDoc(&doc);
    ASSERT_NE(Open(), nullptr);
    ASSERT_TRUE(AfxDriver::Click(dlg, IDC_HPTK_DEFINE));
    ASSERT_EQ(AfxStandInMainWndCommands().size(), 1u);
    EXPECT_EQ(AfxStandInMainWndCommands()[0].wParam, 0x843Fu);
    EXPECT_EQ(AfxStandInMainWndCommands()[0].lParam, 0);
    EXPECT_EQ(Requests(), 0);
}

TEST_F(HistoryPlotTKVRTest, NothingIsRequestedWithoutCaseOrStep)
{
    SetCaseRecord(kCaseNoControl, "no results", 4);
    Open();
    EXPECT_EQ(Combo(IDC_HPTK_CASE)->GetCount(), 0);
    ASSERT_TRUE(AfxDriver::Click(dlg, IDC_HPTK_APPLY));
    ASSERT_TRUE(AfxDriver::Select(dlg, IDC_HPTK_RESULT_TYPE, 9));
    EXPECT_EQ(Requests(), 0) << "no case";
    ASSERT_TRUE(AfxDriver::Click(dlg, IDC_HPTK_CLOSE));

    BuildCase(kCaseNoSteps, "no steps", 0);
    Open();
    ASSERT_EQ(Combo(IDC_HPTK_CASE)->GetCount(), 1);
    EXPECT_EQ(Combo(IDC_HPTK_STEP)->GetCurSel(), -1);
    ASSERT_TRUE(AfxDriver::Click(dlg, IDC_HPTK_APPLY));
    ASSERT_TRUE(AfxDriver::Select(dlg, IDC_HPTK_COMPONENT, 1));
    EXPECT_EQ(Requests(), 0) << "no step";
    EXPECT_EQ(CDlgHistoryPlotTKVR::DefaultRecord().m_nTimeStep, 0);
}

TEST_F(HistoryPlotTKVRTest, HintsReloadTheOutputsOrShowTheDisplayAgain)
{
    BuildCase(kCaseA, "quake A", kSteps);
    StoreDisp("DX A", kCaseA);
    Open();
    ASSERT_TRUE(AfxDriver::Select(dlg, IDC_HPTK_RESULT_TYPE, 5));
    const int nBase = dlg->m_nBaseUpdates;
    const int n0 = Requests();

    const unsigned added = StoreDisp("added", kCaseA);
    CDBChangeHint hint;
    hint.m_aViewBuffer.push_back({CClassThrd::UR_THRD_MFD, added});
    CDBUpdateConnector::Broadcast(nullptr, 3, &hint);
    EXPECT_EQ(Combo(IDC_HPTK_OUTPUT)->GetCount(), 2) << "MFD alone reloads nothing";
    hint.m_aViewBuffer.push_back({CClassThrd::UR_THRD_ADD, added});
    CDBUpdateConnector::Broadcast(nullptr, 3, &hint);
    EXPECT_EQ(Combo(IDC_HPTK_OUTPUT)->GetCount(), 3);
    EXPECT_EQ(Requests(), n0) << "hint 3 shows nothing";

    CDBUpdateConnector::Broadcast(nullptr, 4, nullptr);
    ASSERT_EQ(Requests(), n0 + 1);
    EXPECT_EQ(LastRequest().nVDType, 6u);
    EXPECT_EQ(LastRequest().nArg1, 1);
    EXPECT_EQ(LastRequest().pUserData, &CDlgHistoryPlotTKVR::DefaultRecord());
    CDBUpdateConnector::Broadcast(nullptr, 35, nullptr);
    ASSERT_EQ(Requests(), n0 + 2);
    EXPECT_EQ(LastRequest().nArg1, 1);
    CDBUpdateConnector::Broadcast(nullptr, 7, nullptr);
    EXPECT_EQ(Requests(), n0 + 2);
    EXPECT_EQ(dlg->m_nBaseUpdates, nBase + 5) << "every hint reaches the base";
}

TEST_F(HistoryPlotTKVRTest, GraphClicksSelectTheNearestStepClampedToTheCase)
{
    BuildCase(kCaseA, "quake A", kSteps);
    Open();
    ASSERT_TRUE(GraphWndStandIn::Click(InputGraph(), 0.1009));
    EXPECT_EQ(Combo(IDC_HPTK_STEP)->GetCurSel(), 4) << "0.10 is step 5";
    EXPECT_DOUBLE_EQ(GraphWndStandIn::MarkX(*OutputGraph()), Time(4)) << "the other graph's mark snaps to it";
    ASSERT_EQ(Requests(), 1);
    EXPECT_EQ(CDlgHistoryPlotTKVR::DefaultRecord().m_nTimeStep, 4);
    ASSERT_TRUE(GraphWndStandIn::Click(OutputGraph(), 0.031));
    EXPECT_EQ(Combo(IDC_HPTK_STEP)->GetCurSel(), 1);
    ASSERT_TRUE(GraphWndStandIn::Click(OutputGraph(), -5.0));
    EXPECT_EQ(Combo(IDC_HPTK_STEP)->GetCurSel(), 0);
    ASSERT_TRUE(GraphWndStandIn::Click(InputGraph(), 1e9));
    EXPECT_EQ(Combo(IDC_HPTK_STEP)->GetCurSel(), kSteps - 1);
    EXPECT_EQ(CDlgHistoryPlotTKVR::DefaultRecord().m_nTimeStep, kSteps - 1);
    ASSERT_TRUE(GraphWndStandIn::Click(InputGraph(), std::nan("")));
    EXPECT_GE(Combo(IDC_HPTK_STEP)->GetCurSel(), 0);
    ASSERT_TRUE(AfxDriver::Select(dlg, IDC_HPTK_STEP, 9));
    EXPECT_DOUBLE_EQ(GraphWndStandIn::MarkX(*InputGraph()), Time(9));
    EXPECT_DOUBLE_EQ(GraphWndStandIn::MarkX(*OutputGraph()), Time(9));
}

TEST_F(HistoryPlotTKVRTest, GraphsShowOnesByDefaultAndTheOutputFunctionsSeries)
{
    BuildCase(kCaseA, "quake A", kSteps);
    const unsigned a = StoreDisp("DX A", kCaseA);
    Open();
    for (CGraphWnd* g : {InputGraph(), OutputGraph()}) {
        const auto& pts = GraphWndStandIn::Data(*g);
        ASSERT_EQ(pts.size(), static_cast<size_t>(kSteps));
        for (int i = 0; i < kSteps; ++i) {
            EXPECT_DOUBLE_EQ(pts[static_cast<size_t>(i)].dX, Time(i));
            EXPECT_EQ(pts[static_cast<size_t>(i)].dY, 1.0);
        }
    }
    SelectData(IDC_HPTK_OUTPUT, a);
    const auto& pts = GraphWndStandIn::Data(*OutputGraph());
    ASSERT_EQ(pts.size(), static_cast<size_t>(kSteps));
    for (int i = 0; i < kSteps; ++i)
        EXPECT_NEAR(pts[static_cast<size_t>(i)].dY, kPhi * std::sin(kW * Time(i)), 1e-12) << i;
}

TEST(NearestStep, TiesGoToTheLowerIndex)
{
    CArray<double, double> a;
    EXPECT_EQ(CPVSUtilFunc::BiSearchInSortData(a, 1.0), -1);
    for (double t : {0.0, 1.0, 2.0, 4.0})
        a.Add(t);
    EXPECT_EQ(CPVSUtilFunc::BiSearchInSortData(a, 0.5), 0);
    EXPECT_EQ(CPVSUtilFunc::BiSearchInSortData(a, 0.5000001), 1);
    EXPECT_EQ(CPVSUtilFunc::BiSearchInSortData(a, 3.0), 2);
    EXPECT_EQ(CPVSUtilFunc::BiSearchInSortData(a, 3.5), 3);
    EXPECT_EQ(CPVSUtilFunc::BiSearchInSortData(a, 2.0), 2);
    EXPECT_EQ(CPVSUtilFunc::BiSearchInSortData(a, -7.0), 0);
    EXPECT_EQ(CPVSUtilFunc::BiSearchInSortData(a, 9.0), 3);
}

TEST(DampedSine, FrequencyOneGives361PointsFromZeroToTenOnItsClosedForm)
{
    T_THFC_D s = Sine("wave", 0.5, 0.2, 1.0, 0.3, 30.0);
    ASSERT_TRUE(CDlgHistoryPlotTKVR::RebuildForcingTable(s));
    ASSERT_EQ(s.aPoint.GetSize(), 361);
    EXPECT_EQ(s.aPoint[0].dTime, 0.0);
    EXPECT_NEAR(s.aPoint[360].dTime, 10.0, 1e-12);
    for (int k = 0; k <= 360; ++k) {
        const double t = k / 36.0;
        EXPECT_NEAR(s.aPoint[k].dTime, t, 1e-13) << k;
        EXPECT_NEAR(s.aPoint[k].dValue, DampedSine(0.5, 0.2, 1.0, 0.3, 30.0, t), 1e-13) << k;
    }
}

TEST(DampedSine, HigherFrequenciesKeepTheLastPoint)
{
    for (double f : {3.0, 7.0, 11.0, 0.37}) {
        T_THFC_D s = Sine("wave", 1.0, 0.0, f, 0.0, 0.0);
        ASSERT_TRUE(CDlgHistoryPlotTKVR::RebuildForcingTable(s));
        ASSERT_EQ(s.aPoint.GetSize(), 361) << f;
        EXPECT_NEAR(s.aPoint[360].dTime, 10.0 / f, 1e-12) << f;
    }
}

struct BadSine {
    const char* pszName;
    double A, B, f, c, phi;
    bool bBuilt;
};

class DampedSineEdges : public ::testing::TestWithParam<BadSine> {};

TEST_P(DampedSineEdges, GiveNoPointsAndNoNaN)
{
    const BadSine& p = GetParam();
    T_THFC_D s = Sine("bad", p.A, p.B, p.f, p.c, p.phi);
    s.aPoint.Add(T_THFC_POINT_D{0.0, 9.0});
    EXPECT_EQ(CDlgHistoryPlotTKVR::RebuildForcingTable(s) != FALSE, p.bBuilt);
    EXPECT_EQ(s.aPoint.GetSize(), 0);
    CArray<double, double> times, values;
    times.Add(0.0);
    times.Add(0.5);
    EXPECT_EQ(CDlgHistoryPlotTKVR::GetForcingValues(s, times, values) != FALSE, p.bBuilt);
    EXPECT_EQ(values.GetSize(), p.bBuilt ? 2 : 0);
    for (int i = 0; i < values.GetSize(); ++i)
        EXPECT_EQ(values[i], 0.0);
}

INSTANTIATE_TEST_SUITE_P(Parameters, DampedSineEdges,
                         ::testing::Values(BadSine{"NegativeDecay", 1, 0, 1, -0.1, 0, false},
                                           BadSine{"ZeroFrequency", 1, 0, 0, 0, 0, true},
                                           BadSine{"NegativeFrequency", 1, 0, -2, 0, 0, true},
                                           BadSine{"NaNFrequency", 1, 0, std::nan(""), 0, 0, true},
                                           BadSine{"NaNDecay", 1, 0, 1, std::nan(""), 0, false},
                                           BadSine{"Overflow", 1e308, 1e308, 1, 0, 90, false},
                                           BadSine{"NaNAmplitude", std::nan(""), 0, 1, 0, 90, false},
                                           BadSine{"InfiniteFrequency", 1, 0, HUGE_VAL, 0, 0, false}),
                         [](const ::testing::TestParamInfo<BadSine>& i) { return std::string(i.param.pszName); });

TEST(ForcingTable, ValuesAreInterpolatedInsideAndZeroOutside)
{
    T_THFC_D s;
    s.nType = 0;
    const T_THFC_POINT_D pts[] = {{0.0, 1.0}, {1.0, 3.0}, {2.0, -1.0}, {4.0, 0.0}};
    for (const T_THFC_POINT_D& p : pts)
        s.aPoint.Add(p);
    EXPECT_EQ(CDlgHistoryPlotTKVR::ForcingValueAt(s, 0.0), 1.0);
    EXPECT_EQ(CDlgHistoryPlotTKVR::ForcingValueAt(s, 0.25), 1.5);
    EXPECT_EQ(CDlgHistoryPlotTKVR::ForcingValueAt(s, 2.0), -1.0);
    EXPECT_EQ(CDlgHistoryPlotTKVR::ForcingValueAt(s, 3.0), -0.5);
    EXPECT_EQ(CDlgHistoryPlotTKVR::ForcingValueAt(s, 4.0), 0.0);
    EXPECT_EQ(CDlgHistoryPlotTKVR::ForcingValueAt(s, -0.01), 0.0);
    EXPECT_EQ(CDlgHistoryPlotTKVR::ForcingValueAt(s, 4.01), 0.0);
    EXPECT_EQ(CDlgHistoryPlotTKVR::ForcingValueAt(s, std::nan("")), 0.0);
    T_THFC_D one;
    one.aPoint.Add(T_THFC_POINT_D{0.5, 7.0});
    EXPECT_EQ(CDlgHistoryPlotTKVR::ForcingValueAt(one, 0.5), 7.0);
    EXPECT_EQ(CDlgHistoryPlotTKVR::ForcingValueAt(one, 0.5 + 1e-12), 0.0);
    EXPECT_EQ(CDlgHistoryPlotTKVR::ForcingValueAt(T_THFC_D{}, 0.0), 0.0);
}

TEST_F(HistoryPlotTKVRTest, InputGraphReadsTheSineAtTheStepsAndLeavesTheStoredTable)
{
    BuildCase(kCaseA, "quake A", kSteps);
    const unsigned k = CClassThfc(doc.GetModelDB()).Add(Sine("wave", 1.0, 0.0, 1.0, 0.0, 0.0));
    const unsigned bad = CClassThfc(doc.GetModelDB()).Add(Sine("bad", 1.0, 0.0, 1.0, -1.0, 0.0));
    Open();
    SelectData(IDC_HPTK_INPUT, k);
    const auto& pts = GraphWndStandIn::Data(*InputGraph());
    ASSERT_EQ(pts.size(), static_cast<size_t>(kSteps));
    for (int i = 0; i < kSteps; ++i) {
        // Linear between the table's points k/36 on either side of the step's time.
        const double t = Time(i);
        const int j = static_cast<int>(std::floor(t * 36.0));
        const double t0 = j / 36.0, t1 = (j + 1) / 36.0;
        const double v0 = std::sin(2.0 * kPi * t0), v1 = std::sin(2.0 * kPi * t1);
        EXPECT_NEAR(pts[static_cast<size_t>(i)].dY, v0 + (v1 - v0) * (t - t0) / (t1 - t0), 1e-12) << i;
    }
    T_THFC_D stored;
    ASSERT_TRUE(CClassThfc(doc.GetModelDB()).Get(k, stored));
    EXPECT_EQ(stored.aPoint.GetSize(), 0) << "the stored function keeps its table";
    SelectData(IDC_HPTK_INPUT, bad);
    EXPECT_TRUE(GraphWndStandIn::Data(*InputGraph()).empty());
}

} // namespace
