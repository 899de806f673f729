// The hysteresis-plot dialog: the stored loops it offers, the points it draws from their two
// arrays, and its graph laid out again on resizing once it is ready.
#include "dialogs/CDlgHistoryPlotHyst.h"
#include "dialogs/DialogControlIds.h"

#include "ClassPGrph.h"
#include "GraphWnd_standin.h"
#include "PostCtrlBase.h"
#include "afx_standin.h"

#include <gtest/gtest.h>

#include <memory>
#include <vector>

namespace {

class HysteresisDialogTest : public ::testing::Test {
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
    }
    void TearDown() override
    {
        if (CDlgHistoryPlotHyst::m_pMySelf)
            CDlgHistoryPlotHyst::m_pMySelf->DestroyWindow();
        EXPECT_EQ(CDlgHistoryPlotHyst::m_pMySelf, nullptr);
        bridge.reset();
        view.DestroyWindow();
        CZORDocBase::SetCurDoc(nullptr);
    }
    unsigned StoreGraph(const char* pszName, int nType, const std::vector<double>& a1, const std::vector<double>& a2)
    {
        T_PGRPH_D g;
        g.strName = pszName;
        g.nType = nType;
        const unsigned k = CClassPGrph(doc.GetPostDB()).Add(g);
        T_PGRPH_DATA_D d;
        for (double v : a1)
            d.aFirst.Add(v);
        for (double v : a2)
            d.aSecond.Add(v);
        CClassPGrphData(doc.GetPostDB()).Set(k, d);
        return k;
    }
    CDlgHistoryPlotHyst* Open()
    {
        CDlgHistoryPlotHyst::CreateOrActivate(&view);
        return CDlgHistoryPlotHyst::m_pMySelf;
    }
    static CGraphWnd* Graph(CWnd* pDlg)
    {
        const std::vector<CGraphWnd*> g = GraphWndStandIn::FindIn(pDlg);
        return g.empty() ? nullptr : g[0];
    }
    static std::vector<std::pair<double, double>> Points(const CGraphWnd* g)
    {
        std::vector<std::pair<double, double>> v;
        for (const T_GRPH_D& p : GraphWndStandIn::Data(*g))
            v.emplace_back(p.dX, p.dY);
        return v;
    }

    CDBDoc doc;
    CView view;
    std::unique_ptr<CPVSMeshMngrBrdg> bridge;
};

using Pts = std::vector<std::pair<double, double>>;

TEST_F(HysteresisDialogTest, WithoutAStoredLoopTheGraphHasTwoZeroPoints)
{
    StoreGraph("Time history", 1, {0.0, 1.0}, {1.0, 2.0});
    CDlgHistoryPlotHyst* dlg = Open();
    ASSERT_NE(dlg, nullptr);
    CGraphWnd* g = Graph(dlg);
    ASSERT_NE(g, nullptr);
    EXPECT_EQ(dynamic_cast<CComboBox*>(dlg->GetDlgItem(IDC_HYST_GRAPH))->GetCount(), 0);
    EXPECT_EQ(Points(g), (Pts{{0.0, 0.0}, {0.0, 0.0}}));
    EXPECT_EQ(GraphWndStandIn::DrawPosMark(*g), 0) << "drawn without position mark";
    EXPECT_EQ(dlg->m_nInitPos, 3);
}

TEST_F(HysteresisDialogTest, OffersTheLoopsAndDrawsTheSelectedOne)
{
    const unsigned a = StoreGraph("Loop A", 2, {0.0, 1.0, 0.0, -1.0}, {0.0, 5.0, 0.0, -5.0});
    StoreGraph("Input", 6, {0.0}, {0.0});
    const unsigned b = StoreGraph("Loop B", 2, {1.0, 2.0, 3.0}, {7.0, 8.0});
    CDlgHistoryPlotHyst* dlg = Open();
    ASSERT_NE(dlg, nullptr);
    auto* combo = dynamic_cast<CComboBox*>(dlg->GetDlgItem(IDC_HYST_GRAPH));
    ASSERT_EQ(combo->GetCount(), 2);
    EXPECT_EQ(combo->GetItemData(0), a);
    EXPECT_EQ(combo->GetItemData(1), b);
    EXPECT_EQ(combo->GetCurSel(), 0);
    CGraphWnd* g = Graph(dlg);
    EXPECT_EQ(Points(g), (Pts{{0.0, 0.0}, {1.0, 5.0}, {0.0, 0.0}, {-1.0, -5.0}}));
    ASSERT_TRUE(AfxDriver::Select(dlg, IDC_HYST_GRAPH, 1));
    EXPECT_EQ(Points(g), (Pts{{1.0, 7.0}, {2.0, 8.0}})) << "no point beyond the second array";
    EXPECT_EQ(GraphWndStandIn::SimulationStarts(*g), 0);

    // Data shown during an animation restarts the marker.
    bridge->m_bAnimationRunning = TRUE;
    ASSERT_TRUE(AfxDriver::Select(dlg, IDC_HYST_GRAPH, 0));
    EXPECT_EQ(GraphWndStandIn::SimulationStarts(*g), 1);

    const UINT nRegID = CDlgHistoryPlotHyst::m_reg.nRegID;
    CDlgHistoryPlotHyst::CreateOrActivate(&view);
    EXPECT_EQ(CDlgHistoryPlotHyst::m_pMySelf, dlg);
    EXPECT_EQ(CDBDlgBase::ActivationCount(nRegID), 1);
}

TEST_F(HysteresisDialogTest, ArraysThatCannotBeReadLeaveTheGraph)
{
    StoreGraph("Loop A", 2, {0.0, 1.0}, {0.0, 5.0});
    CPDataBaseNeutral::SetPostCtrl(doc.GetPostDB(), nullptr);
    CDlgHistoryPlotHyst* dlg = Open();
    ASSERT_NE(dlg, nullptr);
    EXPECT_EQ(GraphWndStandIn::SetDataCount(*Graph(dlg)), 0);
}

TEST_F(HysteresisDialogTest, ResizingLaysTheGraphOutOverItsFrameOnceReady)
{
    CDlgHistoryPlotHyst* dlg = Open();
    ASSERT_NE(dlg, nullptr);
    CGraphWnd* g = Graph(dlg);
    EXPECT_EQ(GraphWndStandIn::LayoutCount(*g), 0) << "opening lays nothing out again";
    CWnd* frame = dlg->GetDlgItem(IDC_HYST_FRAME);
    frame->MoveWindow(10, 20, 400, 250);
    dlg->SendMessage(WM_SIZE, 0, 0);
    EXPECT_EQ(GraphWndStandIn::LayoutCount(*g), 1);
    RECT rg, rf;
    g->GetWindowRect(&rg);
    frame->GetWindowRect(&rf);
    EXPECT_EQ(rg.left, rf.left);
    EXPECT_EQ(rg.top, rf.top);
    EXPECT_EQ(rg.right, rf.right);
    EXPECT_EQ(rg.bottom, rf.bottom);
}

TEST_F(HysteresisDialogTest, NoDocumentOpensNothing)
{
    CZORDocBase::SetCurDoc(nullptr);
    EXPECT_EQ(Open(), nullptr);
}

} // namespace
