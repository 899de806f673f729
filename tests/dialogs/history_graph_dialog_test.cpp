// The history-graph dialog driven as a user drives it, on a one-mode model whose response is
// known in closed form: q(t) = sin wt, node 1 moves phi q along x, the truss's end-I force is
// -3 phi q. Every unit type has its own factor and name, so a value or a label in the wrong unit
// shows. Expected value texts are built with the C library's "%e", as the dialog builds them.
#include "dialogs/CDlgHistoryGrphTKVR.h"
#include "dialogs/DialogControlIds.h"

#include "ClassAcas.h"
#include "GraphWindowsHost.h"
#include "MsgDll.h"
#include "THResultBuilder.h"
#include "UnitCtrl.h"
#include "XYGraphFuncView.h"
#include "afx_standin.h"

#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <string>
#include <vector>

namespace {

constexpr double kW = 5.0, kDt = 0.02, kPhi = 2.0;
constexpr int kSteps = 50, kShortSteps = 30;
constexpr unsigned kCase = 21, kShortCase = 22, kCaseWithoutHistory = 23;
constexpr unsigned kThis = 31, kShortThis = 32;
constexpr unsigned kNode = 1, kTruss = 50, kBeam = 60;
const char* const kTitle = "Time History Graph";

struct UnitOf {
    int nType;
    double dFactor;
    const char* pszName;
};
constexpr UnitOf kUnits[] = {{1, 2.0, "len"},   {2, 3.0, "frc"},  {12, 5.0, "mom"}, {13, 7.0, "mom/l"},
                             {14, 11.0, "frc/l"}, {17, 13.0, "str"}, {21, 17.0, "acc"}, {22, 19.0, "vel"}};
constexpr double kLen = 2.0, kForce = 3.0;

double Time(int i) { return kDt * (i + 1); }
double DispX(int i) { return kLen * kPhi * std::sin(kW * Time(i)); }
double TrussForceI(int i) { return kForce * -3.0 * kPhi * std::sin(kW * Time(i)); }

CString Fmt(const char* pszFormat, double v)
{
    CString s;
    s.Format(pszFormat, v);
    return s;
}

std::vector<double> TrussArray()
{
    std::vector<double> a(63, 0.0);
    const int n = 12, m = 4;
    a[0] = 1;                // dof 0 -> equation 1
    a[n + 0 + 0 * m] = 3.0;  // end I
    a[n + 1 + 0 * m] = 4.0;  // end J
    a[n + 2] = 0.5;
    a[n + 3] = 0.25;
    a[60] = n;
    a[61] = m;
    return a;
}

std::vector<double> BeamArray()
{
    std::vector<double> a(327, 0.0);
    const int n = 12, m = 26;
    a[0] = 1;
    for (int c = 0; c < 12; ++c)
        a[n + c] = 1.0 + c;
    a[324] = n;
    a[325] = m;
    return a;
}

class HistoryGraphDialogTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        CZORDocBase::SetCurDoc(&doc);
        CUnitCtrl* u = CDocCtrl::GetUnitCtrl(&doc);
        for (const UnitOf& x : kUnits) {
            u->SetFactor(x.nType, x.dFactor);
            u->SetUnitName(x.nType, x.pszName);
        }
        BuildCase(kCase, kThis, kSteps);
        BuildCase(kShortCase, kShortThis, kShortSteps);
        view.CreateWindowCore(nullptr);
        doc.SetActiveView(&view);
        host = std::make_unique<kvpvs::host::CGraphWindowsHost>(doc);
        CDBTransaction::SetRefuse(FALSE);
        Win32ClearMessageBoxJournal();
        AfxStandInMainWndCommands().clear();
        CMsgDll::SetText(IDS_QB_PVS_THST_TFunc_has_not_Time_History_Key, "Function %s has no time-history key.");
        CMsgDll::SetText(IDS_QB_PVS_Time_sec_, "Time (sec)");
    }
    void TearDown() override
    {
        if (CDlgHistoryGrphTKVR::m_pMySelf)
            CDlgHistoryGrphTKVR::m_pMySelf->DestroyWindow();
        host.reset();
        EXPECT_EQ(T_GRAPH_D::GetLiveCount(), 0) << "graph data left behind";
        view.DestroyWindow();
        CZORDocBase::SetCurDoc(nullptr);
    }
    void BuildCase(unsigned nAcasK, unsigned nThisK, int nSteps)
    {
        std::vector<double> times;
        for (int i = 0; i < nSteps; ++i)
            times.push_back(Time(i));
        CTHResultBuilder b(doc, nAcasK, nThisK, 1, times, 1);
        b.SetModeShape(1, {kPhi});
        _NDSP_BN n;
        n.dEqn[0] = 1;
        b.SetNode(kNode, n);
        for (int i = 0; i < nSteps; ++i)
            b.SetModal(1, i + 1, _MDSP_BN{std::sin(kW * Time(i)), kW * std::cos(kW * Time(i)), -kW * kW * std::sin(kW * Time(i))});
        for (int d = 0; d < 3; ++d)
            b.SetGround(d, std::vector<_MDSP_BN>(static_cast<size_t>(nSteps)));
        b.SetTruss(kTruss, TrussArray());
        b.SetBeam(kBeam, BeamArray());
    }
    // A stored function (stored form: code, kind and displacement type from 0).
    static T_THRD_D Func(const char* pszName, int nCode, unsigned nAcasK, int nKind = 0, int nComponent = 0)
    {
        T_THRD_D s;
        s.strName = pszName;
        s.nCode = nCode;
        s.nAcasK = nAcasK;
        s.nEntityK = nCode == 0 ? kNode : (nCode == 1 ? kTruss : kBeam);
        s.nResultKind = nKind;
        s.nComponent = nComponent;
        return s;
    }
    unsigned Store(const T_THRD_D& f) { return CClassThrd(doc.GetModelDB()).Add(f); }
    CDlgHistoryGrphTKVR* Open()
    {
        CDlgHistoryGrphTKVR::CreateOrActivate(&view);
        return CDlgHistoryGrphTKVR::m_pMySelf;
    }
    CCheckListBox* List(UINT nID) { return dynamic_cast<CCheckListBox*>(dlg->GetDlgItem(nID)); }
    CComboBox* XAxis() { return dynamic_cast<CComboBox*>(dlg->GetDlgItem(IDC_HGRPH_XAXIS)); }
    int IndexOfKey(UINT nID, unsigned nKey)
    {
        for (int i = 0; i < List(nID)->GetCount(); ++i)
            if (List(nID)->GetItemData(i) == nKey)
                return i;
        return -1;
    }
    // Ticks the functions in the function list, adds them, and ticks the whole plot list.
    void Plot(const std::vector<unsigned>& keys)
    {
        for (unsigned k : keys)
            ASSERT_TRUE(AfxDriver::CheckItem(dlg, IDC_HGRPH_FUNC_LIST, IndexOfKey(IDC_HGRPH_FUNC_LIST, k), 1));
        ASSERT_TRUE(AfxDriver::Click(dlg, IDC_HGRPH_ADD));
        for (int i = 0; i < List(IDC_HGRPH_PLOT_LIST)->GetCount(); ++i)
            AfxDriver::CheckItem(dlg, IDC_HGRPH_PLOT_LIST, i, 1);
    }
    void SelectXFunction(unsigned nKey)
    {
        for (int i = 0; i < XAxis()->GetCount(); ++i) {
            if (XAxis()->GetItemData(i) == nKey) {
                ASSERT_TRUE(AfxDriver::Select(dlg, IDC_HGRPH_XAXIS, i));
            }
        }
    }
    CXYGraphFuncView* View() const { return host->Find(kTitle); }
    const T_GRAPH_D* Graph() const { return View() ? View()->GetGraphData() : nullptr; }
    static std::vector<CString> Texts(const T_GRAPH_ITEM_D& it)
    {
        return std::vector<CString>(it.aValue.GetData(), it.aValue.GetData() + it.aValue.GetSize());
    }
    static std::vector<CString> Expected(double (*fn)(int), int n)
    {
        std::vector<CString> v;
        for (int i = 0; i < n; ++i)
            v.push_back(Fmt("%e", fn(i)));
        return v;
    }
    std::vector<std::string> Messages() const
    {
        std::vector<std::string> v;
        for (int i = 0; i < Win32MessageBoxCount(); ++i)
            v.push_back(Win32MessageBoxAt(i)->pszText);
        return v;
    }

    CDBDoc doc;
    CView view;
    std::unique_ptr<kvpvs::host::CGraphWindowsHost> host;
    CDlgHistoryGrphTKVR* dlg = nullptr;
};

TEST_F(HistoryGraphDialogTest, OpensOnceWithTheStoredFunctionsAndTheDefaults)
{
    const unsigned a = Store(Func("DX node", 0, kCase)), b = Store(Func("N truss", 1, kCase));
    dlg = Open();
    ASSERT_NE(dlg, nullptr);
    EXPECT_TRUE(dlg->IsWindowVisible());
    EXPECT_EQ(dlg->m_pDoc, &doc);
    ASSERT_EQ(List(IDC_HGRPH_FUNC_LIST)->GetCount(), 2);
    CString s;
    List(IDC_HGRPH_FUNC_LIST)->GetText(1, s);
    EXPECT_STREQ(s, "N truss");
    EXPECT_EQ(List(IDC_HGRPH_FUNC_LIST)->GetItemData(1), b);
    EXPECT_EQ(List(IDC_HGRPH_PLOT_LIST)->GetCount(), 0);
    ASSERT_EQ(XAxis()->GetCount(), 3) << "Time, then every function";
    XAxis()->GetLBText(0, s);
    EXPECT_STREQ(s, "Time");
    EXPECT_EQ(XAxis()->GetItemData(0), 0u);
    EXPECT_EQ(XAxis()->GetItemData(1), a);
    EXPECT_EQ(XAxis()->GetCurSel(), 0);
    EXPECT_STREQ(AfxDriver::GetText(dlg, IDC_HGRPH_TITLE), "Time History Graph");
    EXPECT_STREQ(AfxDriver::GetText(dlg, IDC_HGRPH_X_TITLE), "X Axis");
    EXPECT_STREQ(AfxDriver::GetText(dlg, IDC_HGRPH_Y_TITLE), "Function");
    EXPECT_STREQ(AfxDriver::GetText(dlg, IDC_HGRPH_X_DECIMAL), "4");
    EXPECT_STREQ(AfxDriver::GetText(dlg, IDC_HGRPH_Y_DECIMAL), "4");

    const UINT nRegID = CDlgHistoryGrphTKVR::m_reg.nRegID;
    CDlgHistoryGrphTKVR::CreateOrActivate(&view);
    EXPECT_EQ(CDlgHistoryGrphTKVR::m_pMySelf, dlg) << "the second request activates the first";
    EXPECT_EQ(CDlgHistoryGrphTKVR::m_reg.nRegID, nRegID);
    EXPECT_EQ(CDBDlgBase::ActivationCount(nRegID), 1);

    AfxDriver::Click(dlg, IDC_HGRPH_CLOSE);
    EXPECT_EQ(CDlgHistoryGrphTKVR::m_pMySelf, nullptr);
}

TEST_F(HistoryGraphDialogTest, NoDocumentOpensNothing)
{
    CZORDocBase::SetCurDoc(nullptr);
    EXPECT_EQ(Open(), nullptr);
}

TEST_F(HistoryGraphDialogTest, AddsEachFunctionOnceAndDeletesTheTickedOnes)
{
    const unsigned a = Store(Func("DX node", 0, kCase)), b = Store(Func("N truss", 1, kCase)),
                   c = Store(Func("N truss short", 1, kShortCase));
    dlg = Open();
    Plot({a, b});
    Plot({a, b, c}); // a and b are in the plot list already
    CCheckListBox* plot = List(IDC_HGRPH_PLOT_LIST);
    ASSERT_EQ(plot->GetCount(), 3);
    EXPECT_EQ(plot->GetItemData(0), a);
    EXPECT_EQ(plot->GetItemData(1), b);
    EXPECT_EQ(plot->GetItemData(2), c);
    for (int i = 0; i < 3; ++i)
        AfxDriver::CheckItem(dlg, IDC_HGRPH_PLOT_LIST, i, i != 1);
    ASSERT_TRUE(AfxDriver::Click(dlg, IDC_HGRPH_DELETE));
    ASSERT_EQ(plot->GetCount(), 1);
    EXPECT_EQ(plot->GetItemData(0), b);
    EXPECT_EQ(plot->GetCheck(0), 0) << "the kept item keeps its tick";
    EXPECT_EQ(List(IDC_HGRPH_FUNC_LIST)->GetCount(), 3) << "the function list stays";
}

TEST_F(HistoryGraphDialogTest, ApplyWithNothingTickedOrNoXEntryDoesNothing)
{
    const unsigned a = Store(Func("DX node", 0, kCase));
    dlg = Open();
    ASSERT_TRUE(AfxDriver::Click(dlg, IDC_HGRPH_APPLY));
    EXPECT_EQ(host->GetRequestCount(), 0) << "empty plot list";
    Plot({a});
    AfxDriver::CheckItem(dlg, IDC_HGRPH_PLOT_LIST, 0, 0);
    AfxDriver::Click(dlg, IDC_HGRPH_APPLY);
    EXPECT_EQ(host->GetRequestCount(), 0) << "nothing ticked";
    AfxDriver::CheckItem(dlg, IDC_HGRPH_PLOT_LIST, 0, 1);
    XAxis()->SetCurSel(-1);
    AfxDriver::Click(dlg, IDC_HGRPH_APPLY);
    EXPECT_EQ(host->GetRequestCount(), 0) << "no X entry";
    EXPECT_EQ(T_GRAPH_D::GetLiveCount(), 0);
    EXPECT_EQ(Win32MessageBoxCount(), 0);
}

TEST_F(HistoryGraphDialogTest, TimeAxisPairsEachFunctionWithItsCaseSteps)
{
    const unsigned a = Store(Func("DX node", 0, kCase)), b = Store(Func("N truss", 1, kShortCase));
    dlg = Open();
    Plot({a, b});
    ASSERT_TRUE(AfxDriver::Click(dlg, IDC_HGRPH_APPLY));
    ASSERT_EQ(host->GetRequestCount(), 1);
    ASSERT_NE(Graph(), nullptr);
    const T_GRAPH_D& g = *Graph();
    ASSERT_EQ(g.aItem.GetSize(), 4) << "an X item and a Y item per function";
    EXPECT_STREQ(g.aItem[0]->strName, "Time (sec)");
    EXPECT_STREQ(g.aItem[0]->strLabel, "len") << "the time item carries the function's unit";
    EXPECT_EQ(Texts(*g.aItem[0]), Expected(&Time, kSteps));
    EXPECT_STREQ(g.aItem[1]->strName, "DX node");
    EXPECT_STREQ(g.aItem[1]->strLabel, "");
    EXPECT_EQ(Texts(*g.aItem[1]), Expected(&DispX, kSteps)) << "u = len phi sin wt";
    EXPECT_STREQ(g.aItem[2]->strLabel, "frc");
    EXPECT_EQ(Texts(*g.aItem[2]), Expected(&Time, kShortSteps)) << "the truss's own case";
    EXPECT_EQ(Texts(*g.aItem[3]), Expected(&TrussForceI, kShortSteps)) << "N_I = -3 frc phi sin wt";
    for (int i = 0; i < 4; ++i)
        EXPECT_EQ(g.aItem[i]->nKind, 2);

    const CXYGraphFuncView& v = *View();
    EXPECT_EQ(v.GetStyle(), 0x220000u);
    EXPECT_STREQ(v.m_strTitle, "Time History Graph");
    EXPECT_STREQ(v.m_strXTitle, "X Axis");
    EXPECT_STREQ(v.m_strYTitle, "Function");
    EXPECT_STREQ(v.m_strNote, "");
    EXPECT_EQ(v.m_aOption[0] | v.m_aOption[1] | v.m_aOption[2], 0);
    EXPECT_STREQ(v.m_strLengthUnit, "len");
    EXPECT_STREQ(v.m_strForceUnit, "frc");
}

struct AxisCase {
    const char* pszName;
    unsigned nXCase, nYCase;
};

class FunctionAxis : public HistoryGraphDialogTest, public ::testing::WithParamInterface<AxisCase> {};

TEST_P(FunctionAxis, CutsBothSeriesToTheShorter)
{
    const AxisCase& c = GetParam();
    const unsigned x = Store(Func("N truss", 1, c.nXCase)), y = Store(Func("DX node", 0, c.nYCase));
    dlg = Open();
    Plot({y});
    SelectXFunction(x);
    AfxDriver::Click(dlg, IDC_HGRPH_APPLY);
    ASSERT_NE(Graph(), nullptr);
    const T_GRAPH_D& g = *Graph();
    ASSERT_EQ(g.aItem.GetSize(), 2);
    EXPECT_STREQ(g.aItem[0]->strName, "N truss(frc)");
    EXPECT_STREQ(g.aItem[0]->strLabel, "frc");
    EXPECT_EQ(Texts(*g.aItem[0]), Expected(&TrussForceI, kShortSteps));
    EXPECT_EQ(Texts(*g.aItem[1]), Expected(&DispX, kShortSteps));
}

INSTANTIATE_TEST_SUITE_P(Lengths, FunctionAxis,
                         ::testing::Values(AxisCase{"XShorter", kShortCase, kCase}, AxisCase{"YShorter", kCase, kShortCase}),
                         [](const auto& info) { return std::string(info.param.pszName); });

struct FormatCase {
    const char* pszName;
    int bXExp, bYExp;
    const char *pszXPlaces, *pszYPlaces;
    const char *pszXFormat, *pszYFormat;
    int nXPlaces, nYPlaces;
};

class ValueFormats : public HistoryGraphDialogTest, public ::testing::WithParamInterface<FormatCase> {};

TEST_P(ValueFormats, FollowTheCheckBoxesAndPlaces)
{
    const FormatCase& c = GetParam();
    const unsigned a = Store(Func("DX node", 0, kCase));
    dlg = Open();
    Plot({a});
    AfxDriver::Check(dlg, IDC_HGRPH_X_EXPONENTIAL, c.bXExp);
    AfxDriver::Check(dlg, IDC_HGRPH_Y_EXPONENTIAL, c.bYExp);
    AfxDriver::SetText(dlg, IDC_HGRPH_X_DECIMAL, c.pszXPlaces);
    AfxDriver::SetText(dlg, IDC_HGRPH_Y_DECIMAL, c.pszYPlaces);
    AfxDriver::SetText(dlg, IDC_HGRPH_TITLE, "Wall top");
    AfxDriver::Click(dlg, IDC_HGRPH_APPLY);
    const CXYGraphFuncView* v = host->Find("Wall top");
    ASSERT_NE(v, nullptr) << "the graph window of the typed title";
    EXPECT_EQ(v->m_bXFormatted, 1);
    EXPECT_EQ(v->m_bYFormatted, 1);
    EXPECT_STREQ(v->m_strXFormat, c.pszXFormat);
    EXPECT_STREQ(v->m_strYFormat, c.pszYFormat);
    EXPECT_EQ(v->m_bXExponential, c.bXExp);
    EXPECT_EQ(v->m_bYExponential, c.bYExp);
    EXPECT_EQ(v->m_nXPlaces, c.nXPlaces);
    EXPECT_EQ(v->m_nYPlaces, c.nYPlaces);
    EXPECT_EQ(Win32MessageBoxCount(), 0);
}

INSTANTIATE_TEST_SUITE_P(
    Boxes, ValueFormats,
    ::testing::Values(FormatCase{"FixedFour", 0, 0, "4", "4", "%.4f", "%.4f", 4, 4},
                      FormatCase{"ExponentialX", 1, 0, "2", "0", "%.2e", "%.0f", 2, 0},
                      FormatCase{"ExponentialY", 0, 1, "15", "7", "%.15f", "%.7e", 15, 7},
                      FormatCase{"BlanksAroundTheNumber", 1, 1, " 3 ", "03", "%.3e", "%.3e", 3, 3}),
    [](const auto& info) { return std::string(info.param.pszName); });

struct PlacesCase {
    const char* pszName;
    const char* pszText;
    const char* pszMessage;
};

class BadDecimalPlaces : public HistoryGraphDialogTest, public ::testing::WithParamInterface<PlacesCase> {};

TEST_P(BadDecimalPlaces, StopApplyWithTheNumberFieldMessage)
{
    const PlacesCase& c = GetParam();
    const unsigned a = Store(Func("DX node", 0, kCase));
    dlg = Open();
    Plot({a});
    for (UINT nID : {IDC_HGRPH_X_DECIMAL, IDC_HGRPH_Y_DECIMAL}) {
        Win32ClearMessageBoxJournal();
        AfxDriver::SetText(dlg, IDC_HGRPH_X_DECIMAL, "4");
        AfxDriver::SetText(dlg, IDC_HGRPH_Y_DECIMAL, "4");
        AfxDriver::SetText(dlg, nID, c.pszText);
        AfxDriver::Click(dlg, IDC_HGRPH_APPLY);
        EXPECT_EQ(host->GetRequestCount(), 0) << nID;
        EXPECT_EQ(Messages(), std::vector<std::string>{c.pszMessage}) << nID;
        EXPECT_EQ(CWnd::GetFocus(), dlg->GetDlgItem(nID)) << "the field to mend has the focus";
    }
    EXPECT_EQ(T_GRAPH_D::GetLiveCount(), 0);
}

INSTANTIATE_TEST_SUITE_P(
    Texts, BadDecimalPlaces,
    ::testing::Values(PlacesCase{"Letters", "four", "Please enter an integer."},
                      PlacesCase{"Empty", "", "Please enter an integer."},
                      PlacesCase{"Fraction", "2.5", "Please enter an integer."},
                      PlacesCase{"FormatText", "4f%n", "Please enter an integer."},
                      PlacesCase{"Negative", "-1", "Please enter an integer between 0 and 15."},
                      PlacesCase{"Sixteen", "16", "Please enter an integer between 0 and 15."}),
    [](const auto& info) { return std::string(info.param.pszName); });

TEST_F(HistoryGraphDialogTest, AFunctionWithoutTimeHistoryKeyIsReportedAndSuppressesTheGraph)
{
    const unsigned a = Store(Func("DX node", 0, kCase)), b = Store(Func("DX lost", 0, kCaseWithoutHistory));
    dlg = Open();
    Plot({a, b});
    AfxDriver::Click(dlg, IDC_HGRPH_APPLY);
    EXPECT_EQ(Messages(), std::vector<std::string>{"Function DX lost has no time-history key."});
    EXPECT_EQ(host->GetRequestCount(), 0);
    EXPECT_EQ(T_GRAPH_D::GetLiveCount(), 0);
}

struct FailCase {
    const char* pszName;
    bool bAsXAxis;
};

class FailedFunction : public HistoryGraphDialogTest, public ::testing::WithParamInterface<FailCase> {};

TEST_P(FailedFunction, SuppressesTheGraphWhileTheLoopGoesOn)
{
    // Stored code 5 runs as code 6, for which the engine has no function: an empty series.
    const unsigned bad = Store(Func("no values", 5, kCase)), a = Store(Func("DX node", 0, kCase)),
                   lost = Store(Func("DX lost", 0, kCaseWithoutHistory));
    dlg = Open();
    if (GetParam().bAsXAxis) {
        Plot({a, lost});
        SelectXFunction(bad);
    } else {
        Plot({bad, a, lost});
    }
    AfxDriver::Click(dlg, IDC_HGRPH_APPLY);
    EXPECT_EQ(Messages(), std::vector<std::string>{"Function DX lost has no time-history key."})
        << "the functions after the failed one still ran; the failure itself says nothing";
    EXPECT_EQ(host->GetRequestCount(), 0);
    EXPECT_EQ(T_GRAPH_D::GetLiveCount(), 0);
}

INSTANTIATE_TEST_SUITE_P(Roles, FailedFunction,
                         ::testing::Values(FailCase{"PlotFunction", false}, FailCase{"XAxisFunction", true}),
                         [](const auto& info) { return std::string(info.param.pszName); });

struct CaseDamage {
    const char* pszName;
    bool bDropRecord;
};

class UnreadableCase : public HistoryGraphDialogTest, public ::testing::WithParamInterface<CaseDamage> {};

TEST_P(UnreadableCase, LeavesItsFunctionOutOfTheGraph)
{
    const unsigned a = Store(Func("DX node", 0, kCase)), b = Store(Func("N truss", 1, kShortCase));
    CClassAcas acas(doc.GetModelDB());
    if (GetParam().bDropRecord) {
        acas.Delete(kShortCase);
    } else {
        T_ACAS_D c;
        ASSERT_TRUE(acas.Get(kShortCase, c));
        c.aItem.RemoveAll();
        c.aItem.Add(T_ACAS_ITEM_D{1, kShortThis}); // a static analysis only
        acas.Set(kShortCase, c);
    }
    dlg = Open();
    Plot({a, b});
    AfxDriver::Click(dlg, IDC_HGRPH_APPLY);
    ASSERT_NE(Graph(), nullptr) << "left out, not failed";
    ASSERT_EQ(Graph()->aItem.GetSize(), 2);
    EXPECT_STREQ(Graph()->aItem[1]->strName, "DX node");
    EXPECT_EQ(Win32MessageBoxCount(), 0);
}

INSTANTIATE_TEST_SUITE_P(Damage, UnreadableCase,
                         ::testing::Values(CaseDamage{"NoCaseRecord", true}, CaseDamage{"NoTimeHistoryEntry", false}),
                         [](const auto& info) { return std::string(info.param.pszName); });

TEST_F(HistoryGraphDialogTest, GraphDataIsFreedWithoutAGraphViewAndReplacedOnTheNextApply)
{
    const unsigned a = Store(Func("DX node", 0, kCase));
    dlg = Open();
    Plot({a});
    host.reset(); // the host opens no graph window
    AfxDriver::Click(dlg, IDC_HGRPH_APPLY);
    EXPECT_EQ(T_GRAPH_D::GetLiveCount(), 0);
    host = std::make_unique<kvpvs::host::CGraphWindowsHost>(doc);
    AfxDriver::Click(dlg, IDC_HGRPH_APPLY);
    AfxDriver::Click(dlg, IDC_HGRPH_APPLY);
    EXPECT_EQ(host->GetViewCount(), 1) << "the window of the title is reused";
    ASSERT_NE(View(), nullptr);
    EXPECT_EQ(View()->GetGraphDataCount(), 2);
    EXPECT_EQ(T_GRAPH_D::GetLiveCount(), 1) << "the view holds the last graph only";
}

TEST_F(HistoryGraphDialogTest, DefineAsksTheMainWindowForTheFunctionEditor)
{
    dlg = Open();
    ASSERT_TRUE(AfxDriver::Click(dlg, IDC_HGRPH_DEFINE));
    ASSERT_EQ(AfxStandInMainWndCommands().size(), 1u);
    EXPECT_EQ(AfxStandInMainWndCommands()[0].wParam, 0x843Fu);
    EXPECT_EQ(AfxStandInMainWndCommands()[0].lParam, 0);
}

struct HintCase {
    const char* pszName;
    int nRecordType; // 0: an added function, -1: a deleted one
    bool bReload;
};

class UpdateHint : public HistoryGraphDialogTest, public ::testing::WithParamInterface<HintCase> {};

TEST_P(UpdateHint, ReloadsForAddedDeletedOrRecomputedFunctionsOnly)
{
    const HintCase& c = GetParam();
    const unsigned a = Store(Func("DX node", 0, kCase)), b = Store(Func("N truss", 1, kCase));
    dlg = Open();
    Plot({a, b});
    CClassThrd thrd(doc.GetModelDB());
    doc.ClearUpdateHints();
    if (c.nRecordType == 0) {
        ASSERT_NE(thrd.TR_Add(Func("DX short", 0, kShortCase)), 0u);
    } else if (c.nRecordType == -1) {
        CArray<unsigned int, unsigned int> keys;
        keys.Add(a);
        ASSERT_TRUE(thrd.TR_Del(keys));
    } else {
        ASSERT_TRUE(thrd.TR_Modify(a, Func("DX renamed", 0, kCase), c.nRecordType));
    }
    ASSERT_EQ(doc.GetUpdateHints().GetSize(), 1);
    const T_UPDATE_HINT_D h = doc.GetUpdateHints()[0];
    ASSERT_EQ(h.lHint, 3);
    const int nBase = dlg->m_nBaseUpdates;
    CDBUpdateConnector::Broadcast(h.pSender, h.lHint, h.pHint);
    EXPECT_EQ(dlg->m_nBaseUpdates, nBase + 1) << "every hint goes on to the base";

    CArray<unsigned int, unsigned int> keys;
    thrd.GetKeyList(keys);
    std::vector<std::string> expected;
    if (c.bReload)
        for (int i = 0; i < keys.GetSize(); ++i) {
            T_THRD_D r;
            thrd.Get(keys[i], r);
            expected.push_back(r.strName.GetString());
        }
    else
        expected = {"DX node", "N truss"};
    std::vector<std::string> shown;
    for (int i = 0; i < List(IDC_HGRPH_FUNC_LIST)->GetCount(); ++i) {
        CString s;
        List(IDC_HGRPH_FUNC_LIST)->GetText(i, s);
        shown.push_back(s.GetString());
    }
    EXPECT_EQ(shown, expected);
    EXPECT_EQ(XAxis()->GetCount(), static_cast<int>(expected.size()) + 1);
    if (c.nRecordType == -1) {
        EXPECT_EQ(IndexOfKey(IDC_HGRPH_PLOT_LIST, a), -1) << "a deleted function leaves the plot list";
    }
}

INSTANTIATE_TEST_SUITE_P(Records, UpdateHint,
                         ::testing::Values(HintCase{"Added", 0, true}, HintCase{"Deleted", -1, true},
                                           HintCase{"ModifiedWhatItComputes", CClassThrd::UR_THRD_MFS, true},
                                           HintCase{"ModifiedOtherDataOnly", CClassThrd::UR_THRD_MFD, false}),
                         [](const auto& info) { return std::string(info.param.pszName); });

TEST_F(HistoryGraphDialogTest, OtherHintsOrHintObjectsReloadNothing)
{
    const unsigned a = Store(Func("DX node", 0, kCase));
    dlg = Open();
    CClassThrd thrd(doc.GetModelDB());
    thrd.Set(a, Func("DX renamed", 0, kCase)); // written without a transaction
    CDBChangeHint* hint = CClassThrd::HintOf(doc.GetModelDB());
    hint->m_aViewBuffer = {T_DB_CMD_RECORD_D{CClassThrd::UR_THRD_ADD, a}};
    CObject other;
    CDBUpdateConnector::Broadcast(nullptr, 3, nullptr);
    CDBUpdateConnector::Broadcast(nullptr, 3, &other);
    CDBUpdateConnector::Broadcast(nullptr, 4, hint);
    CString s;
    List(IDC_HGRPH_FUNC_LIST)->GetText(0, s);
    EXPECT_STREQ(s, "DX node");
    CDBUpdateConnector::Broadcast(nullptr, 3, hint);
    List(IDC_HGRPH_FUNC_LIST)->GetText(0, s);
    EXPECT_STREQ(s, "DX renamed");
}

struct LabelCase {
    const char* pszName;
    int nCode, nKind, nComponent; // stored form
    const char* pszLabel;
};

class UnitLabel : public HistoryGraphDialogTest, public ::testing::WithParamInterface<LabelCase> {};

TEST_P(UnitLabel, NamesTheUnitOfTheFunctionsValues)
{
    const LabelCase& c = GetParam();
    const unsigned k = Store(Func("f", c.nCode, kCase, c.nKind, c.nComponent));
    dlg = Open();
    Plot({k});
    AfxDriver::Click(dlg, IDC_HGRPH_APPLY);
    ASSERT_NE(Graph(), nullptr);
    EXPECT_STREQ(Graph()->aItem[0]->strLabel, c.pszLabel);
}

INSTANTIATE_TEST_SUITE_P(
    Functions, UnitLabel,
    ::testing::Values(LabelCase{"DisplacementDX", 0, 0, 0, "len"}, LabelCase{"DisplacementRZ", 0, 0, 5, ""},
                      LabelCase{"VelocityDY", 0, 1, 1, "vel"}, LabelCase{"VelocityRX", 0, 1, 3, "vel"},
                      LabelCase{"AccelerationDZ", 0, 2, 2, "acc"}, LabelCase{"TrussForce", 1, 0, 0, "frc"},
                      LabelCase{"TrussStress", 1, 1, 0, "str"}, LabelCase{"BeamFz", 2, 0, 2, "frc"},
                      LabelCase{"BeamMy", 2, 0, 4, "mom"}, LabelCase{"BeamStress", 2, 1, 6, "str"}),
    [](const auto& info) { return std::string(info.param.pszName); });

TEST_F(HistoryGraphDialogTest, AnalysisCaseListsTheTimeHistoryThatTheCaseWordFinds)
{
    for (unsigned nAcasK : {kCase, kShortCase}) {
        T_ACAS_D c;
        ASSERT_TRUE(CClassAcas(doc.GetModelDB()).Get(nAcasK, c));
        ASSERT_EQ(c.aItem.GetSize(), 1);
        EXPECT_EQ(c.aItem[0].nType, 3);
        EXPECT_EQ(c.aItem[0].nKey, CThisInfo::GetThisKByAcasK(nAcasK));
    }
}

} // namespace
