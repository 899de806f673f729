#include "dialogs/CDlgHistoryPlot.h"

#include "dialogs/CDlgHistoryPlotHyst.h"
#include "dialogs/DialogEntryGuard.h"

#include "ClassAccf.h"
#include "ClassPGrph.h"
#include "DlgUtil.h"
#include "PVSUtilFunc.h"
#include "UnitCtrl.h"

#include <vector>

IMPLEMENT_DYNAMIC(CDlgHistoryPlot, CPVSDlgModalessBase)

CDlgHistoryPlot* CDlgHistoryPlot::m_pMySelf = nullptr;
int CDlgHistoryPlot::m_bAnimationStarted = 0;
T_MODELESS_DLG_REG_D CDlgHistoryPlot::m_reg;

namespace {

// Stored graph types offered as input waves and as responses.
constexpr int kInputGraphType = 6;
constexpr int kResponseGraphType = 1;
// The animation's notification codes.
constexpr int kStepChanged = 3;
constexpr int kAnimationStarts = 4;
constexpr int kAnimationEnds = 5;
// Gap between the dialog's bottom edge and the hysteresis button.
constexpr int kBottomMargin = 5;

const bool g_bTemplate = [] {
    AfxRegisterDialogTemplate(CDlgHistoryPlot::IDD, AFX_DLGTEMPLATE_D{"History Plot", 200, {
        {IDC_HPLOT_INPUT_LABEL, AFX_CTL_BUTTON, "Input Wave", 0},
        {IDC_HPLOT_INPUT, AFX_CTL_COMBO, "", 0},
        {IDC_HPLOT_INPUT_FRAME, AFX_CTL_STATIC, "", 0, 300, 120},
        {IDC_HPLOT_RESPONSE_LABEL, AFX_CTL_BUTTON, "Response", 0},
        {IDC_HPLOT_RESPONSE, AFX_CTL_COMBO, "", 0},
        {IDC_HPLOT_RESPONSE_FRAME, AFX_CTL_STATIC, "", 0, 300, 120},
        {IDC_HPLOT_HYSTERESIS, AFX_CTL_BUTTON, "Hysteresis...", 0, 80, 24},
        {IDC_HPLOT_EXPAND, AFX_CTL_BUTTON, "<<", 0, 30, 24},
    }});
    return true;
}();

// The bridge of the document's post-processing, which is the live one; null without a document.
CPVSMeshMngrBrdg* BridgeOf(const CDBDoc* pDoc) { return pDoc ? CPVSMeshMngrBrdg::GetMySelf() : nullptr; }

RECT WindowRectOf(const CWnd* pWnd)
{
    RECT r{};
    if (pWnd)
        pWnd->GetWindowRect(&r);
    return r;
}

} // namespace

BEGIN_MESSAGE_MAP(CDlgHistoryPlot, CPVSDlgModalessBase)
ON_CBN_SELCHANGE(IDC_HPLOT_INPUT, OnInputChange)
ON_CBN_SELCHANGE(IDC_HPLOT_RESPONSE, OnResponseChange)
ON_WM_DESTROY()
ON_BN_CLICKED(IDC_HPLOT_HYSTERESIS, OnHysteresis)
ON_BN_CLICKED(IDC_HPLOT_EXPAND, OnExpand)
END_MESSAGE_MAP()

CDlgHistoryPlot::CDlgHistoryPlot(CWnd* pParent) : CPVSDlgModalessBase(IDD, pParent)
{
    (void)g_bTemplate;
    if (CPVSMeshMngrBrdg* pBridge = BridgeOf(CDBDoc::GetDocPoint())) {
        m_pSubject = pBridge->GetAnimSubject();
        m_pSubject->Attach(this);
    }
    m_pMySelf = this;
}

CDlgHistoryPlot::~CDlgHistoryPlot()
{
    // A dialog whose window was never made is freed without OnDestroy.
    if (m_pSubject && IsObserving(m_pSubject))
        m_pSubject->Detach(this);
    if (m_pMySelf == this)
        m_pMySelf = nullptr;
}

void CDlgHistoryPlot::CreateOrActivate(CWnd* pParent)
{
    kvpvs::dialogs::RunGuarded([&] {
        CDlgHistoryPlot* pDlg = kvpvs::dialogs::CreateOrActivateModeless<CDlgHistoryPlot>(m_reg, pParent, [](CDlgHistoryPlot&) {});
        if (pDlg && IsWindow(pDlg->m_hWnd))
            pDlg->SetInitPos(4, 0, 0);
    });
}

LRESULT CDlgHistoryPlot::WindowProc(UINT nMsg, WPARAM wParam, LPARAM lParam)
{
    return kvpvs::dialogs::GuardedWindowProc([&] { return CPVSDlgModalessBase::WindowProc(nMsg, wParam, lParam); });
}

CDBBase* CDlgHistoryPlot::PostDB() const { return m_pDoc ? m_pDoc->GetPostDB() : nullptr; }

void CDlgHistoryPlot::DoDataExchange(CDataExchange* pDX)
{
    CPVSDlgModalessBase::DoDataExchange(pDX);
    DDX_Control(pDX, IDC_HPLOT_INPUT, m_cobxInput);
    DDX_Control(pDX, IDC_HPLOT_RESPONSE, m_cobxResponse);
    DDX_Control(pDX, IDC_HPLOT_INPUT_LABEL, m_btnInputLabel);
    DDX_Control(pDX, IDC_HPLOT_RESPONSE_LABEL, m_btnResponseLabel);
    DDX_Control(pDX, IDC_HPLOT_HYSTERESIS, m_btnHysteresis);
    DDX_Control(pDX, IDC_HPLOT_EXPAND, m_btnExpand);
}

BOOL CDlgHistoryPlot::OnInitDialog()
{
    CPVSDlgModalessBase::OnInitDialog();
    m_nDist = WindowRectOf(GetDlgItem(IDC_HPLOT_RESPONSE_LABEL)).top - WindowRectOf(GetDlgItem(IDC_HPLOT_HYSTERESIS)).top + 2;
    if (CWnd* pFrame = GetDlgItem(IDC_HPLOT_INPUT_FRAME))
        m_graphInput.Init(pFrame);
    m_graphInput.SetLButtonDownFunc(OnGraphClick);
    if (CWnd* pFrame = GetDlgItem(IDC_HPLOT_RESPONSE_FRAME))
        m_graphResponse.Init(pFrame);
    m_graphResponse.SetLButtonDownFunc(OnGraphClick);
    FillInputCombo();
    FillResponseCombo();
    RecordLayout();
    OnExpand();
    return TRUE;
}

void CDlgHistoryPlot::RecordLayout()
{
    GetWindowRect(&m_rcDlg);
    m_rcHysteresis = WindowRectOf(GetDlgItem(IDC_HPLOT_HYSTERESIS));
    m_rcExpand = WindowRectOf(GetDlgItem(IDC_HPLOT_EXPAND));
}

void CDlgHistoryPlot::FillInputCombo()
{
    m_cobxInput.ResetContent();
    m_aInputKind.RemoveAll();
    CClassAccf accf(CDocCtrl::GetDBMain(m_pDoc));
    CArray<unsigned int, unsigned int> keys;
    accf.GetKeyList(keys);
    for (int i = 0; i < keys.GetSize(); ++i) {
        T_ACCF_D f;
        if (!accf.Get(keys[i], f))
            continue;
        m_cobxInput.SetItemData(m_cobxInput.AddString(f.strName), keys[i]);
        m_aInputKind.Add(INPUT_ACCELERATION);
    }
    CClassPGrph graphs(PostDB());
    graphs.GetKeyList(keys);
    for (int i = 0; i < keys.GetSize(); ++i) {
        T_PGRPH_D g;
        if (!graphs.Get(keys[i], g) || g.nType != kInputGraphType)
            continue;
        m_cobxInput.SetItemData(m_cobxInput.AddString(g.strName), keys[i]);
        m_aInputKind.Add(INPUT_STORED_GRAPH);
    }
    m_cobxInput.SetCurSel(0);
    ShowInput();
}

void CDlgHistoryPlot::FillResponseCombo()
{
    m_cobxResponse.ResetContent();
    CClassPGrph graphs(PostDB());
    CArray<unsigned int, unsigned int> keys;
    graphs.GetKeyList(keys);
    for (int i = 0; i < keys.GetSize(); ++i) {
        T_PGRPH_D g;
        if (!graphs.Get(keys[i], g) || g.nType != kResponseGraphType)
            continue;
        m_cobxResponse.SetItemData(m_cobxResponse.AddString(g.strName), keys[i]);
    }
    m_cobxResponse.SetCurSel(0);
    ShowResponse();
}

void CDlgHistoryPlot::RestartIfAnimating(CGraphWnd& graph)
{
    const CPVSMeshMngrBrdg* pBridge = BridgeOf(m_pDoc);
    if (pBridge && pBridge->IsAnimationRunning())
        graph.StartSimulation();
}

void CDlgHistoryPlot::ShowInput()
{
    const int nSel = m_cobxInput.GetCurSel();
    if (nSel < 0 || nSel >= m_aInputKind.GetSize()) {
        kvpvs::dialogs::SetFlatGraph(m_graphInput);
        RestartIfAnimating(m_graphInput);
        return;
    }
    const auto nKey = static_cast<unsigned int>(m_cobxInput.GetItemData(nSel));
    CArray<T_GRPH_D, T_GRPH_D&> a;
    if (m_aInputKind[nSel] == INPUT_ACCELERATION) {
        T_ACCF_D f;
        if (!CClassAccf(CDocCtrl::GetDBMain(m_pDoc)).Get(nKey, f))
            return;
        for (int i = 0; i < f.aTime.GetSize() && i < f.aAccel.GetSize(); ++i) {
            T_GRPH_D p;
            p.dX = f.aTime[i];
            p.dY = f.aAccel[i];
            a.Add(p);
        }
    } else if (!kvpvs::dialogs::ReadStoredGraphPoints(m_pDoc, nKey, a)) {
        return;
    }
    m_graphInput.SetData(a);
    RestartIfAnimating(m_graphInput);
}

void CDlgHistoryPlot::ShowResponse()
{
    const int nSel = m_cobxResponse.GetCurSel();
    if (nSel < 0) {
        kvpvs::dialogs::SetFlatGraph(m_graphResponse);
        RestartIfAnimating(m_graphResponse);
        return;
    }
    CArray<T_GRPH_D, T_GRPH_D&> a;
    if (!kvpvs::dialogs::ReadStoredGraphPoints(m_pDoc, static_cast<unsigned int>(m_cobxResponse.GetItemData(nSel)), a))
        return;
    m_graphResponse.SetData(a);
    RestartIfAnimating(m_graphResponse);
}

void CDlgHistoryPlot::OnHysteresis() { CDlgHistoryPlotHyst::CreateOrActivate(this); }

void CDlgHistoryPlot::OnExpand()
{
    static const UINT aToggled[] = {IDC_HPLOT_RESPONSE_LABEL, IDC_HPLOT_RESPONSE, IDC_HPLOT_RESPONSE_FRAME};
    const int nMove = m_bCollapsed ? -m_nDist : m_nDist;
    CDlgUtil::CtrlMoveDistXY(this, IDC_HPLOT_HYSTERESIS, 0, nMove);
    CDlgUtil::CtrlMoveDistXY(this, IDC_HPLOT_EXPAND, 0, nMove);
    for (UINT nID : aToggled)
        if (CWnd* p = GetDlgItem(nID))
            p->ShowWindow(m_bCollapsed ? SW_SHOW : SW_HIDE);
    if (CWnd* p = GetDlgItem(IDC_HPLOT_EXPAND))
        p->SetWindowText(m_bCollapsed ? "<<" : ">>");
    const RECT rDlg = WindowRectOf(this);
    const RECT rButton = WindowRectOf(GetDlgItem(IDC_HPLOT_HYSTERESIS));
    MoveWindow(rDlg.left, rDlg.top, rDlg.right - rDlg.left, rButton.bottom + kBottomMargin - rDlg.top);
    m_bCollapsed = !m_bCollapsed;
}

void CDlgHistoryPlot::Update(DP_CSubject*, int nCode, void* pObject)
{
    // Called by the host's animation: nothing may escape into it.
    kvpvs::dialogs::RunGuarded([&] {
        CDlgHistoryPlotHyst* pHyst = CDlgHistoryPlotHyst::m_pMySelf;
        switch (nCode) {
        case kStepChanged:
            OnStepChanged(pObject);
            break;
        case kAnimationStarts:
            m_graphInput.StartSimulation();
            m_graphResponse.StartSimulation();
            if (pHyst)
                pHyst->GetGraph().StartSimulation();
            m_bAnimationStarted = 1;
            break;
        case kAnimationEnds:
            m_graphInput.EndSimulation();
            m_graphResponse.EndSimulation();
            if (pHyst)
                pHyst->GetGraph().EndSimulation();
            if (m_bAnimationStarted) {
                m_bAnimationStarted = 0;
                // Frees this dialog: nothing of it is touched afterwards.
                if (m_hWnd && IsWindow(m_hWnd))
                    DestroyWindow();
            }
            break;
        default:
            break;
        }
    });
}

void CDlgHistoryPlot::OnStepChanged(const void* pObject)
{
    if (!pObject)
        return;
    T_PLSIF_D step;
    if (!CClassPLsif(PostDB()).Get(*static_cast<const unsigned int*>(pObject), step))
        return;
    m_graphInput.Simulation(step.dTime);
    m_graphResponse.Simulation(step.dTime);
    if (CDlgHistoryPlotHyst* pHyst = CDlgHistoryPlotHyst::m_pMySelf)
        pHyst->GetGraph().SimulationByIndex(m_graphResponse.GetPosByXValue(step.dTime));
}

void CDlgHistoryPlot::OnGraphClick(double x, CGraphWnd* pGraph)
{
    CDlgHistoryPlot* pDlg = m_pMySelf;
    if (!pDlg || !pDlg->m_hWnd || !IsWindow(pDlg->m_hWnd))
        return;
    if (pGraph != &pDlg->m_graphInput && pGraph != &pDlg->m_graphResponse)
        return;
    kvpvs::dialogs::RunGuarded([&] { pDlg->ClickAt(x, pGraph); });
}

void CDlgHistoryPlot::ClickAt(double x, CGraphWnd* pGraph)
{
    CGraphWnd& other = pGraph == &m_graphInput ? m_graphResponse : m_graphInput;
    other.SetPosByXValue(x);
    CPVSMeshMngrBrdg* pBridge = BridgeOf(m_pDoc);
    if (!pBridge)
        return;
    CClassPVtif rows(PostDB());
    CArray<unsigned int, unsigned int> keys;
    rows.GetKeyListBySameOrgSelfKUsingPVtifK(pBridge->GetCurResultKey(), 1, keys);
    const int n = keys.GetSize();
    if (n < 2)
        return;
    CClassPLsif steps(PostDB());
    T_PVTIF_D row;
    T_PLSIF_D step;
    T_POSIF_D set;
    if (!rows.Get(keys[0], row) || !steps.Get(row.nStepK, step) || !CClassPOsif(PostDB()).Get(step.nOsifK, set))
        return;
    std::vector<double> aTime;
    aTime.reserve(static_cast<size_t>(n));
    for (int i = 0; i < n; ++i) {
        if (!rows.Get(keys[i], row) || !steps.Get(row.nStepK, step))
            return;
        aTime.push_back(step.dTime);
    }
    int nIndex = CPVSUtilFunc::BiSearchInSortData(aTime.data(), n, x);
    nIndex = nIndex < 0 ? 0 : (nIndex > n - 1 ? n - 1 : nIndex);
    pBridge->ShowResult(keys[nIndex], 1, 1, 0);
}

void CDlgHistoryPlot::OnDestroy()
{
    CPVSDlgModalessBase::OnDestroy();
    // Exactly the subject attached to, and only while it still lives.
    if (m_pSubject && IsObserving(m_pSubject))
        m_pSubject->Detach(this);
    m_pSubject = nullptr;
    if (CDlgHistoryPlotHyst* pHyst = CDlgHistoryPlotHyst::m_pMySelf)
        if (pHyst->m_hWnd && IsWindow(pHyst->m_hWnd))
            pHyst->DestroyWindow();
}
