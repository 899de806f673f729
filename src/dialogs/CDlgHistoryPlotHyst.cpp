#include "dialogs/CDlgHistoryPlotHyst.h"

#include "dialogs/DialogEntryGuard.h"

#include "ClassPGrph.h"
#include "PostCtrlBase.h"

IMPLEMENT_DYNAMIC(CDlgHistoryPlotHyst, CPVSDlgModalessBase)

CDlgHistoryPlotHyst* CDlgHistoryPlotHyst::m_pMySelf = nullptr;
T_MODELESS_DLG_REG_D CDlgHistoryPlotHyst::m_reg;

namespace {

// Stored graphs of this type are hysteresis loops.
constexpr int kHysteresisGraphType = 2;

const bool g_bTemplate = [] {
    AfxRegisterDialogTemplate(CDlgHistoryPlotHyst::IDD, AFX_DLGTEMPLATE_D{"Hysteresis Plot", 200, {
        {IDC_HYST_GRAPH, AFX_CTL_COMBO, "", 0},
        {IDC_HYST_FRAME, AFX_CTL_STATIC, "", 0, 300, 200},
    }});
    return true;
}();

} // namespace

namespace kvpvs::dialogs {

BOOL ReadStoredGraphPoints(CDBDoc* pDoc, unsigned int nPGrphK, CArray<T_GRPH_D, T_GRPH_D&>& aPoint)
{
    CDBBase* pPostDB = pDoc ? pDoc->GetPostDB() : nullptr;
    T_PGRPH_D rec;
    if (!CClassPGrph(pPostDB).Get(nPGrphK, rec))
        return FALSE;
    CPostCtrlBase* pCtrl = CPDataBaseNeutral::GetPostCtrl(pPostDB);
    CArray<double, double> aFirst, aSecond;
    if (!pCtrl || !pCtrl->GetGraphData(nPGrphK, aFirst, aSecond))
        return FALSE;
    CArray<T_GRPH_D, T_GRPH_D&> a;
    for (int i = 0; i < aFirst.GetSize() && i < aSecond.GetSize(); ++i) {
        T_GRPH_D p;
        p.dX = aFirst[i];
        p.dY = aSecond[i];
        a.Add(p);
    }
    aPoint.Copy(a);
    return TRUE;
}

void SetFlatGraph(CGraphWnd& graph)
{
    CArray<T_GRPH_D, T_GRPH_D&> a;
    T_GRPH_D zero;
    a.Add(zero);
    a.Add(zero);
    graph.SetData(a);
}

} // namespace kvpvs::dialogs

BEGIN_MESSAGE_MAP(CDlgHistoryPlotHyst, CPVSDlgModalessBase)
ON_CBN_SELCHANGE(IDC_HYST_GRAPH, OnGraphChange)
END_MESSAGE_MAP()

CDlgHistoryPlotHyst::CDlgHistoryPlotHyst(CWnd* pParent) : CPVSDlgModalessBase(IDD, pParent)
{
    (void)g_bTemplate;
    m_pMySelf = this;
}

CDlgHistoryPlotHyst::~CDlgHistoryPlotHyst()
{
    if (m_pMySelf == this)
        m_pMySelf = nullptr;
}

void CDlgHistoryPlotHyst::CreateOrActivate(CWnd* pParent)
{
    kvpvs::dialogs::RunGuarded([&] {
        kvpvs::dialogs::CreateOrActivateModeless<CDlgHistoryPlotHyst>(m_reg, pParent, [](CDlgHistoryPlotHyst&) {});
    });
}

LRESULT CDlgHistoryPlotHyst::WindowProc(UINT nMsg, WPARAM wParam, LPARAM lParam)
{
    return kvpvs::dialogs::GuardedWindowProc([&] {
        const LRESULT r = CPVSDlgModalessBase::WindowProc(nMsg, wParam, lParam);
        if (nMsg == WM_SIZE)
            OnSize();
        return r;
    });
}

BOOL CDlgHistoryPlotHyst::OnInitDialog()
{
    CPVSDlgModalessBase::OnInitDialog();
    SetInitPos(3, 0, 0);
    MoveDlgToInitPos();
    if (CWnd* pFrame = GetDlgItem(IDC_HYST_FRAME))
        m_graph.Init(pFrame);
    m_graph.SetDrawPosMark(0);
    FillCombo();
    GetWindowRect(&m_rcDlg);
    if (CWnd* pFrame = GetDlgItem(IDC_HYST_FRAME))
        pFrame->GetWindowRect(&m_rcFrame);
    m_bReady = 1;
    return TRUE;
}

void CDlgHistoryPlotHyst::DoDataExchange(CDataExchange* pDX)
{
    CPVSDlgModalessBase::DoDataExchange(pDX);
    DDX_Control(pDX, IDC_HYST_GRAPH, m_cobxGraph);
}

void CDlgHistoryPlotHyst::FillCombo()
{
    m_cobxGraph.ResetContent();
    CClassPGrph graphs(m_pDoc ? m_pDoc->GetPostDB() : nullptr);
    CArray<unsigned int, unsigned int> keys;
    graphs.GetKeyList(keys);
    for (int i = 0; i < keys.GetSize(); ++i) {
        T_PGRPH_D g;
        if (!graphs.Get(keys[i], g) || g.nType != kHysteresisGraphType)
            continue;
        const int n = m_cobxGraph.AddString(g.strName);
        m_cobxGraph.SetItemData(n, keys[i]);
    }
    m_cobxGraph.SetCurSel(0);
    ShowGraph();
}

void CDlgHistoryPlotHyst::OnGraphChange() { ShowGraph(); }

void CDlgHistoryPlotHyst::ShowGraph()
{
    const int nSel = m_cobxGraph.GetCurSel();
    if (nSel < 0) {
        kvpvs::dialogs::SetFlatGraph(m_graph);
        return;
    }
    CArray<T_GRPH_D, T_GRPH_D&> a;
    if (!kvpvs::dialogs::ReadStoredGraphPoints(m_pDoc, static_cast<unsigned int>(m_cobxGraph.GetItemData(nSel)), a))
        return;
    m_graph.SetData(a);
    const CPVSMeshMngrBrdg* pBridge = CPVSMeshMngrBrdg::GetMySelf();
    if (pBridge && pBridge->IsAnimationRunning())
        m_graph.StartSimulation();
}

void CDlgHistoryPlotHyst::OnSize()
{
    // The first layout is the one OnInitDialog makes.
    if (!m_bReady)
        return;
    GetWindowRect(&m_rcDlg);
    if (CWnd* pFrame = GetDlgItem(IDC_HYST_FRAME)) {
        pFrame->GetWindowRect(&m_rcFrame);
        m_graph.CallOnSize(pFrame);
    }
}
