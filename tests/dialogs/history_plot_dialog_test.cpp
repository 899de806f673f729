// The history-plot dialog as a companion of the host's result animation: the animation's
// notifications drive its markers and close it at the end, clicks on its graphs pick the
// nearest result step, and it takes the hysteresis dialog with it when it closes. The steps
// lie at binary-exact times so that nearest and tie cases are decided exactly.
#include "dialogs/CDlgHistoryPlot.h"
#include "dialogs/CDlgHistoryPlotHyst.h"
#include "dialogs/DialogControlIds.h"

#include "ClassAccf.h"
#include "ClassPGrph.h"
#include "GraphWnd_standin.h"
#include "PostCtrlBase.h"
#include "afx_standin.h"

#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <limits>
#include <memory>
#include <string>
#include <vector>

namespace {

constexpr unsigned kSet = 1, kOtherSet = 2;
constexpr double kStepTime[] = {0.0, 0.25, 0.5, 0.75, 1.0};
constexpr int kSteps = 5;
constexpr unsigned kFirstStep = 11, kFirstRow = 101, kOtherSetRow = 120, kOtherItemRow = 130;

// Records what it hears; may run an action on a given code.
struct RecordingObserver : DP_CObserver {
    void Update(DP_CSubject*, int nCode, void*) override
    {
        aCodes.push_back(nCode);
        if (fnOnCode)
            fnOnCode(nCode);
    }
    std::vector<int> aCodes;
    std::function<void(int)> fnOnCode;
};

void Fill(CArray<double, double>& a, const std::vector<double>& v)
{
    for (double d : v)
        a.Add(d);
}

class HistoryPlotDialogTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        CZORDocBase::SetCurDoc(&doc);
        view.CreateWindowCore(nullptr);
        doc.SetActiveView(&view);
        bridge = std::make_unique<CPVSMeshMngrBrdg>();
        auto ctrl = std::make_shared<CPostCtrlBase>();
        ctrl->AttachPostDB(doc.GetPostDB());
        CPDataBaseNeutral::SetPostCtrl(doc.GetPostDB(), ctrl);
        BuildSteps();
    }
    void TearDown() override
    {
        if (CDlgHistoryPlot::m_pMySelf)
            CDlgHistoryPlot::m_pMySelf->DestroyWindow();
        EXPECT_EQ(CDlgHistoryPlot::m_pMySelf, nullptr);
        EXPECT_EQ(CDlgHistoryPlotHyst::m_pMySelf, nullptr);
        CDlgHistoryPlot::m_bAnimationStarted = 0;
        bridge.reset();
        view.DestroyWindow();
        CZORDocBase::SetCurDoc(nullptr);
    }
    // One output set of five steps with one row each of the same result, a row of another item
    // on the same steps, and a row of the same result in another output set.
    void BuildSteps()
    {
        CDBBase* db = doc.GetPostDB();
        CClassPOsif(db).Set(kSet, T_POSIF_D{"Dynamic"});
        CClassPOsif(db).Set(kOtherSet, T_POSIF_D{"Other"});
        for (int i = 0; i < kSteps; ++i) {
            T_PLSIF_D s;
            s.nOsifK = kSet;
            s.dTime = kStepTime[i];
            CClassPLsif(db).Set(kFirstStep + i, s);
            CClassPVtif(db).Set(kFirstRow + i, Row(kFirstStep + i, 7));
        }
        T_PLSIF_D other;
        other.nOsifK = kOtherSet;
        other.dTime = 9.0;
        CClassPLsif(db).Set(kFirstStep + 50, other);
        CClassPVtif(db).Set(kOtherSetRow, Row(kFirstStep + 50, 7));
        CClassPVtif(db).Set(kOtherItemRow, Row(kFirstStep + 4, 8));
        bridge->m_nCurResultK = kFirstRow + 2;
    }
    static T_PVTIF_D Row(unsigned nStepK, unsigned nItem)
    {
        T_PVTIF_D r;
        r.nStepK = nStepK;
        r.nItem = nItem;
        r.nEngrK = 3;
        return r;
    }
    unsigned StoreGraph(const char* pszName, int nType, const std::vector<double>& a1, const std::vector<double>& a2)
    {
        T_PGRPH_D g;
        g.strName = pszName;
        g.nType = nType;
        const unsigned k = CClassPGrph(doc.GetPostDB()).Add(g);
        T_PGRPH_DATA_D d;
        Fill(d.aFirst, a1);
        Fill(d.aSecond, a2);
        CClassPGrphData(doc.GetPostDB()).Set(k, d);
        return k;
    }
    unsigned StoreAccel(const char* pszName, const std::vector<double>& t, const std::vector<double>& a)
    {
        T_ACCF_D f;
        f.strName = pszName;
        Fill(f.aTime, t);
        Fill(f.aAccel, a);
        return CClassAccf(doc.GetModelDB()).Add(f);
    }
    // A response over the step times (values 10 t) and a hysteresis loop whose x values tell
    // the point index apart from a time.
    void StoreResponseAndLoop()
    {
        StoreGraph("Response", 1, {0.0, 0.25, 0.5, 0.75, 1.0}, {0.0, 2.5, 5.0, 7.5, 10.0});
        StoreGraph("Loop", 2, {100.0, 101.0, 102.0, 103.0, 104.0}, {0.0, 1.0, 0.0, -1.0, 0.0});
    }
    CDlgHistoryPlot* Open()
    {
        CDlgHistoryPlot::CreateOrActivate(&view);
        return CDlgHistoryPlot::m_pMySelf;
    }
    CDlgHistoryPlotHyst* OpenHysteresis(CDlgHistoryPlot* pDlg)
    {
        EXPECT_TRUE(AfxDriver::Click(pDlg, IDC_HPLOT_HYSTERESIS));
        return CDlgHistoryPlotHyst::m_pMySelf;
    }
    static CGraphWnd* Graph(CWnd* pDlg, size_t i)
    {
        const std::vector<CGraphWnd*> g = GraphWndStandIn::FindIn(pDlg);
        return i < g.size() ? g[i] : nullptr;
    }
    static std::vector<double> Xs(const CGraphWnd* g)
    {
        std::vector<double> v;
        for (const T_GRPH_D& p : GraphWndStandIn::Data(*g))
            v.push_back(p.dX);
        return v;
    }
    static std::vector<double> Ys(const CGraphWnd* g)
    {
        std::vector<double> v;
        for (const T_GRPH_D& p : GraphWndStandIn::Data(*g))
            v.push_back(p.dY);
        return v;
    }
    void Notify(int nCode, unsigned nStepK = 0) { bridge->GetAnimSubject()->Notify(nCode, nCode == 3 ? &nStepK : nullptr); }
    CComboBox* Combo(CWnd* pDlg, UINT nID) { return dynamic_cast<CComboBox*>(pDlg->GetDlgItem(nID)); }

    CDBDoc doc;
    CView view;
    std::unique_ptr<CPVSMeshMngrBrdg> bridge;
};

TEST_F(HistoryPlotDialogTest, OpensOnceCollapsedWithTheInputsAndResponsesOfTheirTypes)
{
    const unsigned accel = StoreAccel("Ground", {0.0, 0.5, 1.0, 1.5}, {0.0, 2.0, -1.0});
    const unsigned input = StoreGraph("Input graph", 6, {0.0, 1.0}, {3.0, 4.0});
    StoreGraph("Not an input", 2, {0.0}, {0.0});
    const unsigned response = StoreGraph("Response", 1, {0.0, 1.0, 2.0}, {5.0, 6.0});
    CDlgHistoryPlot* dlg = Open();
    ASSERT_NE(dlg, nullptr);
    EXPECT_TRUE(dlg->IsWindowVisible());
    EXPECT_EQ(dlg->m_nInitPos, 4);
    EXPECT_EQ(bridge->GetAnimSubject()->GetObserverCount(), 1);

    CComboBox* in = Combo(dlg, IDC_HPLOT_INPUT);
    ASSERT_EQ(in->GetCount(), 2) << "acceleration functions first, then stored graphs of type 6";
    EXPECT_EQ(in->GetItemData(0), accel);
    EXPECT_EQ(in->GetItemData(1), input);
    ASSERT_EQ(Combo(dlg, IDC_HPLOT_RESPONSE)->GetCount(), 1);
    EXPECT_EQ(Combo(dlg, IDC_HPLOT_RESPONSE)->GetItemData(0), response);

    // Pairs stop where the shorter array ends.
    EXPECT_EQ(Xs(Graph(dlg, 0)), (std::vector<double>{0.0, 0.5, 1.0}));
    EXPECT_EQ(Ys(Graph(dlg, 0)), (std::vector<double>{0.0, 2.0, -1.0}));
    EXPECT_EQ(Xs(Graph(dlg, 1)), (std::vector<double>{0.0, 1.0}));
    ASSERT_TRUE(AfxDriver::Select(dlg, IDC_HPLOT_INPUT, 1));
    EXPECT_EQ(Ys(Graph(dlg, 0)), (std::vector<double>{3.0, 4.0}));

    // Collapsed after opening; the toggle shows the response part again and moves the buttons
    // back where they were.
    EXPECT_STREQ(AfxDriver::GetText(dlg, IDC_HPLOT_EXPAND), ">>");
    for (UINT id : {IDC_HPLOT_RESPONSE_LABEL, IDC_HPLOT_RESPONSE, IDC_HPLOT_RESPONSE_FRAME})
        EXPECT_FALSE(dlg->GetDlgItem(id)->IsWindowVisible()) << id;
    RECT collapsed, expanded, button, box;
    dlg->GetDlgItem(IDC_HPLOT_HYSTERESIS)->GetWindowRect(&collapsed);
    dlg->GetWindowRect(&box);
    EXPECT_EQ(box.bottom, collapsed.bottom + 5);
    ASSERT_TRUE(AfxDriver::Click(dlg, IDC_HPLOT_EXPAND));
    EXPECT_STREQ(AfxDriver::GetText(dlg, IDC_HPLOT_EXPAND), "<<");
    for (UINT id : {IDC_HPLOT_RESPONSE_LABEL, IDC_HPLOT_RESPONSE, IDC_HPLOT_RESPONSE_FRAME})
        EXPECT_TRUE(dlg->GetDlgItem(id)->IsWindowVisible()) << id;
    dlg->GetDlgItem(IDC_HPLOT_HYSTERESIS)->GetWindowRect(&expanded);
    dlg->GetDlgItem(IDC_HPLOT_EXPAND)->GetWindowRect(&button);
    EXPECT_EQ(expanded.top, 0) << "back at the resource layout";
    EXPECT_EQ(button.top, 0);
    dlg->GetWindowRect(&box);
    EXPECT_EQ(box.bottom, expanded.bottom + 5);

    const UINT nRegID = CDlgHistoryPlot::m_reg.nRegID;
    CDlgHistoryPlot::CreateOrActivate(&view);
    EXPECT_EQ(CDlgHistoryPlot::m_pMySelf, dlg) << "the second request activates the first";
    EXPECT_EQ(CDBDlgBase::ActivationCount(nRegID), 1);
    EXPECT_EQ(bridge->GetAnimSubject()->GetObserverCount(), 1);
}

TEST_F(HistoryPlotDialogTest, NoDocumentOpensNothing)
{
    CZORDocBase::SetCurDoc(nullptr);
    EXPECT_EQ(Open(), nullptr);
    EXPECT_EQ(bridge->GetAnimSubject()->GetObserverCount(), 0);
}

TEST_F(HistoryPlotDialogTest, AFailedCreateLeavesNothingAttached)
{
    AfxStandInFailNextDialogCreate();
    EXPECT_EQ(Open(), nullptr);
    EXPECT_EQ(bridge->GetAnimSubject()->GetObserverCount(), 0);
    Notify(4);
}

TEST_F(HistoryPlotDialogTest, NothingStoredGivesFlatGraphsAndUnreadableArraysLeaveTheGraph)
{
    CDlgHistoryPlot* dlg = Open();
    ASSERT_NE(dlg, nullptr);
    for (size_t i = 0; i < 2; ++i) {
        EXPECT_EQ(Xs(Graph(dlg, i)), (std::vector<double>{0.0, 0.0}));
        EXPECT_EQ(Ys(Graph(dlg, i)), (std::vector<double>{0.0, 0.0}));
    }
    AfxDriver::SysCommand(dlg, SC_CLOSE);

    // Arrays come only through the post control: without one the graph keeps its points.
    StoreGraph("Response", 1, {0.0, 1.0}, {5.0, 6.0});
    CPDataBaseNeutral::SetPostCtrl(doc.GetPostDB(), nullptr);
    dlg = Open();
    ASSERT_NE(dlg, nullptr);
    EXPECT_EQ(GraphWndStandIn::SetDataCount(*Graph(dlg, 1)), 0);
    EXPECT_TRUE(Xs(Graph(dlg, 1)).empty());
}

TEST_F(HistoryPlotDialogTest, AnimationMovesTheMarkersAndItsEndClosesBothDialogs)
{
    StoreResponseAndLoop();
    CDlgHistoryPlot* dlg = Open();
    ASSERT_NE(dlg, nullptr);
    CDlgHistoryPlotHyst* hyst = OpenHysteresis(dlg);
    ASSERT_NE(hyst, nullptr);
    CGraphWnd* in = Graph(dlg, 0);
    CGraphWnd* resp = Graph(dlg, 1);
    CGraphWnd* loop = Graph(hyst, 0);
    ASSERT_TRUE(in && resp && loop);

    Notify(4);
    for (CGraphWnd* g : {in, resp, loop})
        EXPECT_TRUE(GraphWndStandIn::IsSimulating(*g));
    EXPECT_EQ(CDlgHistoryPlot::m_bAnimationStarted, 1);

    Notify(3, kFirstStep + 3); // t = 0.75
    EXPECT_EQ(GraphWndStandIn::SimulationX(*in), 0.75);
    EXPECT_EQ(GraphWndStandIn::SimulationX(*resp), 0.75);
    EXPECT_EQ(GraphWndStandIn::SimulationX(*loop), 103.0) << "the loop's point of the response's index 3";
    Notify(3, 999); // an unknown step moves nothing
    EXPECT_EQ(GraphWndStandIn::SimulationX(*resp), 0.75);
    bridge->GetAnimSubject()->Notify(3, nullptr);
    EXPECT_EQ(GraphWndStandIn::SimulationX(*resp), 0.75);

    RecordingObserver after;
    bridge->GetAnimSubject()->Attach(&after);
    Notify(5);
    EXPECT_EQ(CDlgHistoryPlot::m_pMySelf, nullptr) << "the end of the animation closes the dialog";
    EXPECT_EQ(CDlgHistoryPlotHyst::m_pMySelf, nullptr) << "and its hysteresis dialog";
    EXPECT_EQ(CDlgHistoryPlot::m_bAnimationStarted, 0);
    EXPECT_EQ(after.aCodes, (std::vector<int>{5})) << "an observer after the closed one still hears";
    EXPECT_EQ(bridge->GetAnimSubject()->GetObserverCount(), 1);
    bridge->GetAnimSubject()->Detach(&after);
}

TEST_F(HistoryPlotDialogTest, AnEndWithoutAStartKeepsTheDialog)
{
    StoreResponseAndLoop();
    CDlgHistoryPlot* dlg = Open();
    ASSERT_NE(dlg, nullptr);
    Notify(5);
    EXPECT_EQ(CDlgHistoryPlot::m_pMySelf, dlg);
    EXPECT_EQ(GraphWndStandIn::SimulationEnds(*Graph(dlg, 1)), 1);
}

TEST_F(HistoryPlotDialogTest, DataShownDuringAnAnimationRestartsTheSimulation)
{
    StoreGraph("Response", 1, {0.0, 1.0}, {1.0, 2.0});
    StoreGraph("Second response", 1, {0.0, 1.0}, {3.0, 4.0});
    CDlgHistoryPlot* dlg = Open();
    ASSERT_NE(dlg, nullptr);
    CGraphWnd* resp = Graph(dlg, 1);
    EXPECT_EQ(GraphWndStandIn::SimulationStarts(*resp), 0);
    bridge->m_bAnimationRunning = TRUE;
    EXPECT_FALSE(AfxDriver::Select(dlg, IDC_HPLOT_RESPONSE, 1)) << "hidden while collapsed";
    ASSERT_TRUE(AfxDriver::Click(dlg, IDC_HPLOT_EXPAND));
    ASSERT_TRUE(AfxDriver::Select(dlg, IDC_HPLOT_RESPONSE, 1));
    EXPECT_EQ(Ys(resp), (std::vector<double>{3.0, 4.0}));
    EXPECT_EQ(GraphWndStandIn::SimulationStarts(*resp), 1);
}

TEST_F(HistoryPlotDialogTest, ClosingClosesTheHysteresisDialogAndDetaches)
{
    StoreResponseAndLoop();
    CDlgHistoryPlot* dlg = Open();
    ASSERT_NE(dlg, nullptr);
    ASSERT_NE(OpenHysteresis(dlg), nullptr);
    AfxDriver::SysCommand(dlg, SC_CLOSE);
    EXPECT_EQ(CDlgHistoryPlot::m_pMySelf, nullptr);
    EXPECT_EQ(CDlgHistoryPlotHyst::m_pMySelf, nullptr);
    EXPECT_EQ(bridge->GetAnimSubject()->GetObserverCount(), 0);
    Notify(4); // nobody left to hear it
    Notify(5);
}

TEST_F(HistoryPlotDialogTest, DetachesFromTheSubjectItAttachedToAfterTheBridgeChanged)
{
    StoreResponseAndLoop();
    CDlgHistoryPlot* dlg = Open();
    ASSERT_NE(dlg, nullptr);
    DP_CSubject* first = bridge->GetAnimSubject();
    auto second = std::make_unique<CPVSMeshMngrBrdg>(); // the host's live bridge now
    AfxDriver::SysCommand(dlg, SC_CLOSE);
    EXPECT_EQ(first->GetObserverCount(), 0) << "a freed dialog would stay attached";
    EXPECT_EQ(second->GetAnimSubject()->GetObserverCount(), 0);
    first->Notify(5, nullptr);
    second.reset();
}

TEST_F(HistoryPlotDialogTest, ABridgeGoneBeforeTheDialogLeavesNothingAttached)
{
    StoreResponseAndLoop();
    CDlgHistoryPlot* dlg = Open();
    ASSERT_NE(dlg, nullptr);
    bridge.reset();
    AfxDriver::SysCommand(dlg, SC_CLOSE);
    EXPECT_EQ(CDlgHistoryPlot::m_pMySelf, nullptr);
}

TEST_F(HistoryPlotDialogTest, AnObserverFreedByAnEarlierOneIsNotCalled)
{
    auto freed = std::make_unique<RecordingObserver>();
    RecordingObserver first, last;
    DP_CSubject* s = bridge->GetAnimSubject();
    first.fnOnCode = [&](int) {
        s->Detach(freed.get());
        freed.reset();
    };
    s->Attach(&first);
    s->Attach(freed.get());
    s->Attach(&last);
    s->Notify(3, nullptr);
    EXPECT_EQ(first.aCodes, std::vector<int>{3});
    EXPECT_EQ(last.aCodes, std::vector<int>{3});
    EXPECT_EQ(s->GetObserverCount(), 2);
    s->Detach(&first);
    s->Detach(&last);
}

// A click on a graph at time x: the other graph's mark moves to its point nearest x, and the
// host shows the row of the step nearest x, clamped to the first and last step.
struct ClickCase {
    const char* pszName;
    size_t nGraph; // 0 input, 1 response
    double dX;
    int nStep;     // expected step index
};

class HistoryPlotClickTest : public HistoryPlotDialogTest, public ::testing::WithParamInterface<ClickCase> {};

TEST_P(HistoryPlotClickTest, ShowsTheNearestStep)
{
    const ClickCase& c = GetParam();
    StoreGraph("Input", 6, {0.0, 0.4, 0.8, 1.2}, {0.0, 1.0, 0.0, -1.0});
    StoreResponseAndLoop();
    CDlgHistoryPlot* dlg = Open();
    ASSERT_NE(dlg, nullptr);
    CGraphWnd* clicked = Graph(dlg, c.nGraph);
    CGraphWnd* other = Graph(dlg, 1 - c.nGraph);
    ASSERT_TRUE(GraphWndStandIn::Click(clicked, c.dX));
    ASSERT_EQ(bridge->m_aShownResults.GetSize(), 1);
    const auto& shown = bridge->m_aShownResults[0];
    EXPECT_EQ(shown.nPVtifK, kFirstRow + static_cast<unsigned>(c.nStep));
    EXPECT_EQ(shown.nArg1, 1);
    EXPECT_EQ(shown.nArg2, 1);
    EXPECT_EQ(shown.nArg3, 0);
    // The other graph's nearest point, found by hand.
    const std::vector<double> xs = Xs(other);
    double best = xs[0];
    for (double x : xs)
        if (std::fabs(x - c.dX) < std::fabs(best - c.dX))
            best = x;
    EXPECT_TRUE(GraphWndStandIn::HasMark(*other));
    EXPECT_EQ(GraphWndStandIn::MarkX(*other), best);
}

const ClickCase kClicks[] = {
    {"ResponseBetweenSteps", 1, 0.3, 1},
    {"ResponseOnAStep", 1, 0.5, 2},
    {"TieGoesToTheEarlierStep", 1, 0.125, 0},
    {"BeforeTheFirstStep", 1, -5.0, 0},
    {"BeyondTheLastStep", 1, 99.0, 4},
    {"InputBeyondTheLastStep", 0, 1.2, 4},
    {"InfinitelyLate", 0, std::numeric_limits<double>::infinity(), 4},
    {"InfinitelyEarly", 0, -std::numeric_limits<double>::infinity(), 0},
};
INSTANTIATE_TEST_SUITE_P(Clicks, HistoryPlotClickTest, ::testing::ValuesIn(kClicks),
                         [](const ::testing::TestParamInfo<ClickCase>& i) { return std::string(i.param.pszName); });

TEST_F(HistoryPlotDialogTest, ClicksWithFewerThanTwoStepsOrNoBridgeShowNothing)
{
    StoreResponseAndLoop();
    CDlgHistoryPlot* dlg = Open();
    ASSERT_NE(dlg, nullptr);
    bridge->m_nCurResultK = kOtherItemRow; // the only row of its result
    ASSERT_TRUE(GraphWndStandIn::Click(Graph(dlg, 1), 0.5));
    bridge->m_nCurResultK = 0; // nothing shown
    ASSERT_TRUE(GraphWndStandIn::Click(Graph(dlg, 1), 0.5));
    EXPECT_EQ(bridge->m_aShownResults.GetSize(), 0);
    EXPECT_TRUE(GraphWndStandIn::HasMark(*Graph(dlg, 0))) << "the other graph's mark still moves";

    // A result set that cannot be read stops the click.
    bridge->m_nCurResultK = kFirstRow;
    CClassPOsif(doc.GetPostDB()).Delete(kSet);
    ASSERT_TRUE(GraphWndStandIn::Click(Graph(dlg, 1), 0.5));
    EXPECT_EQ(bridge->m_aShownResults.GetSize(), 0);
}

} // namespace
