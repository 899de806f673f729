#include "dialogs/CDlgFlowPathWKVR.h"

#include "dialogs/CaseCombos.h"
#include "dialogs/DialogNumbers.h"
#include "dialogs/ModelessDlgFrame.h"
#include "visualmethods/CPVSVisualMethodGlbFlowPath.h"

#include "AnimationEngine.h"
#include "DBDoc.h"
#include "PVSMeshMngrBrdg.h"
#include "PostVisualState.h"
#include "ZORViewBase.h"

#include <cmath>

IMPLEMENT_DYNAMIC(CDlgFlowPathWKVR, CGeomDialog)

T_VD_FLOWPATH_WPLKVR_D CDlgFlowPathWKVR::AddedInfo;
double CDlgFlowPathWKVR::m_dOrgIncRatio = 0.0;
double CDlgFlowPathWKVR::m_dIncRatio = 0.0;
double CDlgFlowPathWKVR::m_dEndRatio = 0.0;
UINT_PTR CDlgFlowPathWKVR::m_nTimerID = 0;

namespace {

constexpr unsigned int kFlowPathType = 1;
constexpr int kClassNodeSeepage = 38;
constexpr std::uint64_t kCodeVelocity = 7;
constexpr int kRecordFrames = 20;

const bool g_bTemplate = [] {
    AfxRegisterDialogTemplate(CDlgFlowPathWKVR::IDD, AFX_DLGTEMPLATE_D{"流程", 200, {
        {IDC_FP_RESULTSET, AFX_CTL_COMBO, "", 0},
        {IDC_FP_STEP, AFX_CTL_COMBO, "", 0},
        {IDC_FP_POSITION, AFX_CTL_EDIT, "", 0},
        {IDC_FP_PLOT, AFX_CTL_BUTTON, "Plot", 0},
        {IDC_FP_RESET, AFX_CTL_BUTTON, "Reset", 0},
        {IDC_FP_KEEP, AFX_CTL_CHECK, "保留显示前次流程", 0},
        {IDC_FP_LINE, AFX_CTL_RADIO, "线", WS_GROUP},
        {IDC_FP_PIPE, AFX_CTL_RADIO, "管", 0},
        {IDC_FP_LINE_WIDTH, AFX_CTL_EDIT, "", WS_GROUP},
        {IDC_FP_PIPE_SCALE, AFX_CTL_EDIT, "", 0},
        {IDC_FP_CONTOUR, AFX_CTL_RADIO, "等值线", WS_GROUP},
        {IDC_FP_SINGLE, AFX_CTL_RADIO, "单色", 0},
        {IDC_FP_COLOUR, AFX_CTL_CUSTOM, "", WS_GROUP},
        {IDC_FP_COLOUR2, AFX_CTL_CUSTOM, "", 0},
        {IDC_FP_INT_OPTION, AFX_CTL_EDIT, "", 0},
        {IDC_FP_STEP_LENGTH, AFX_CTL_EDIT, "Test IntegrationStepLength(0-1)", 0},
        {IDC_FP_OTHER, AFX_CTL_CHECK, "绘制等值线", 0},
        {IDC_FP_OTHER_COMBO, AFX_CTL_COMBO, "", 0},
        {IDC_FP_MARKING, AFX_CTL_CHECK, "标记", 0},
        {IDC_FP_ARROW, AFX_CTL_RADIO, "线箭头", WS_GROUP},
        {IDC_FP_CONE, AFX_CTL_RADIO, "实圆锥", 0},
        {IDC_FP_SPHERE, AFX_CTL_RADIO, "实球体", 0},
        {IDC_FP_SYMBOL_SCALE, AFX_CTL_EDIT, "", WS_GROUP},
        {IDC_FP_DIVISIONS, AFX_CTL_EDIT, "", 0},
        {IDC_FP_PLAY, AFX_CTL_BUTTON, "", 0},
        {IDC_FP_STOP, AFX_CTL_BUTTON, "", 0},
        {IDC_FP_RECORD, AFX_CTL_BUTTON, "", 0},
        {IDC_FP_PICK1, AFX_CTL_BUTTON, "", WS_HIDDEN},
        {IDC_FP_PICK2, AFX_CTL_BUTTON, "", WS_HIDDEN},
        {IDC_FP_PICK3, AFX_CTL_BUTTON, "", WS_HIDDEN},
        {IDC_FP_PICK4, AFX_CTL_BUTTON, "", WS_HIDDEN},
        {IDC_FP_PICK5, AFX_CTL_BUTTON, "", WS_HIDDEN},
    }});
    return true;
}();

// Controls that only lines can use: pipes take the contour colouring and no marks.
const UINT kLineOnly[] = {IDC_FP_SINGLE, IDC_FP_COLOUR, IDC_FP_MARKING, IDC_FP_ARROW, IDC_FP_SPHERE, IDC_FP_CONE,
                          IDC_FP_SYMBOL_SCALE, IDC_FP_DIVISIONS, IDC_FP_PLAY, IDC_FP_STOP};

} // namespace

BEGIN_MESSAGE_MAP(CDlgFlowPathWKVR, CGeomDialog)
ON_BN_CLICKED(IDC_FP_PLOT, OnKvpvsPlot)
ON_BN_CLICKED(IDC_FP_LINE, OnKvpvsFpLineShading)
ON_BN_CLICKED(IDC_FP_PIPE, OnKvpvsFpLineShading)
ON_BN_CLICKED(IDC_FP_RESET, OnKvpvsFpReset)
ON_CBN_SELCHANGE(IDC_FP_RESULTSET, OnSelchangeKvpvsFpAcase)
ON_WM_DESTROY()
ON_CBN_SELCHANGE(IDC_FP_OTHER_COMBO, OnSelchangeKvpvsFpDataset)
ON_CBN_SELCHANGE(IDC_FP_STEP, OnSelchangeKvpvsFpOutputset)
ON_BN_CLICKED(IDC_FP_OTHER, OnKvpvsFpOtherresult)
ON_BN_CLICKED(IDC_FP_PLAY, OnKvpvsPlay)
ON_BN_CLICKED(IDC_FP_STOP, OnKvpvsStop)
ON_BN_CLICKED(IDC_FP_RECORD, OnKvpvsRecd)
END_MESSAGE_MAP()

CDlgFlowPathWKVR::CDlgFlowPathWKVR(CWnd* pView, CZORDocBase* pDoc, unsigned short, bool)
    : CGeomDialog(IDD, pDoc, pView)
{
    (void)g_bTemplate;
    SetDefaultID(IDC_FP_PICK5, IDC_FP_PICK4, IDC_FP_PICK1, IDC_FP_PICK3, IDC_FP_PICK2);
    AddedInfo.Initialize();
}

CDlgFlowPathWKVR::~CDlgFlowPathWKVR() = default;

BOOL CDlgFlowPathWKVR::Create(CWnd* pParent) { return CGeomDialog::Create(IDD, pParent); }

PositionTool* CDlgFlowPathWKVR::GetEventHandler()
{
    if (!m_pPositionTool)
        m_pPositionTool = std::make_unique<PositionTool>(m_pDoc ? m_pDoc->GetActiveView() : nullptr, this, 1);
    return m_pPositionTool.get();
}

void CDlgFlowPathWKVR::DoDataExchange(CDataExchange* pDX)
{
    CGeomDialog::DoDataExchange(pDX);
    DDX_Control(pDX, IDC_FP_RESULTSET, m_cobxResultSet);
    DDX_Control(pDX, IDC_FP_STEP, m_cobxStep);
    DDX_Control(pDX, IDC_FP_OTHER_COMBO, m_cobxOther);
    DDX_Control(pDX, IDC_FP_POSITION, m_editPosition);
    DDX_Control(pDX, IDC_FP_COLOUR, m_btnColour);
    DDX_Control(pDX, IDC_FP_COLOUR2, m_btnColour2);
    DDX_Control(pDX, IDC_FP_PLAY, m_btnPlay);
    DDX_Control(pDX, IDC_FP_STOP, m_btnStop);
    DDX_Control(pDX, IDC_FP_RECORD, m_btnRecord);
    DDX_Radio(pDX, IDC_FP_CONTOUR, m_nColorType);
    DDX_Check(pDX, IDC_FP_KEEP, m_bKeepPrevious);
    DDX_Radio(pDX, IDC_FP_LINE, m_nPathType);
    DDX_Text(pDX, IDC_FP_PIPE_SCALE, m_strPipeScale);
    DDX_Text(pDX, IDC_FP_LINE_WIDTH, m_strLineWidth);
    DDX_Text(pDX, IDC_FP_INT_OPTION, m_strIntOption);
    DDX_Text(pDX, IDC_FP_STEP_LENGTH, m_strStepLength);
    DDX_Check(pDX, IDC_FP_OTHER, m_bOtherResult);
    DDX_Radio(pDX, IDC_FP_ARROW, m_nMarkSymbol);
    DDX_Check(pDX, IDC_FP_MARKING, m_bMarking);
    DDX_Text(pDX, IDC_FP_DIVISIONS, m_strDivisions);
    DDX_Text(pDX, IDC_FP_SYMBOL_SCALE, m_strSymbolScale);
}

BOOL CDlgFlowPathWKVR::OnInitDialog()
{
    CGeomDialog::OnInitDialog();
    m_bmpPlay.LoadBitmap(IDB_FP_PLAY);
    m_bmpStop.LoadBitmap(IDB_FP_STOP);
    m_bmpRecord.LoadBitmap(IDB_FP_RECORD);
    m_btnPlay.SetBitmap(m_bmpPlay);
    m_btnStop.SetBitmap(m_bmpStop);
    m_btnRecord.SetBitmap(m_bmpRecord);
    CGeomSelector* pSel = CGeomSelector::Of(m_pDoc);
    if (pSel)
        pSel->SetPositionMode(1);
    GetEventHandler()->SetStatus(1);
    if (pSel && !pSel->GetOsnap(8))
        pSel->SetOsnap(8, 1);
    m_editPosition.SetWindowText("0, 0, 0");
    m_btnColour.SetColour(0x0000FF);
    m_btnColour2.SetColour(0);
    UpdateData(FALSE);
    OnKvpvsFpLineShading();

    auto* pDoc = dynamic_cast<CDBDoc*>(m_pDoc);
    // Without result sets the set combo is emptied all the same.
    m_cobxResultSet.ResetContent();
    kvpvs::dialogs::ChainCaseCombos(pDoc, m_cobxResultSet, {&m_cobxStep, &m_cobxOther});
    OnKvpvsFpOtherresult();
    return TRUE;
}

void CDlgFlowPathWKVR::Enable(UINT nID, BOOL bEnable)
{
    if (CWnd* p = GetDlgItem(nID))
        p->EnableWindow(bEnable);
}

void CDlgFlowPathWKVR::SetLatestPoint(gp_Pnt& p)
{
    m_editPosition.SetPoint(p.X(), p.Y(), p.Z());
    if (CGeomSelector* pSel = CGeomSelector::Of(m_pDoc))
        pSel->SetPositionMode(1);
    GetEventHandler()->SetStatus(1);
    ProcessPlot();
}

BOOL CDlgFlowPathWKVR::GetCurrentPVtifK(unsigned int& nKey)
{
    nKey = 0;
    auto* pDoc = dynamic_cast<CDBDoc*>(m_pDoc);
    const unsigned int nSet = m_cobxResultSet.GetSelKey();
    T_POSIF_D set;
    if (!pDoc || nSet == 0 || !CClassPOsif(pDoc->GetPostDB()).Get(nSet, set))
        return FALSE;
    const unsigned int nStep = m_cobxStep.GetSelKey();
    if (nStep == 0)
        return FALSE;
    CClassPVtif rows(pDoc->GetPostDB());
    CArray<unsigned int, unsigned int> keys;
    rows.GetKeyListByLSifK(nStep, 1, keys);
    if (keys.GetSize() == 0) {
        MessageBox("[Error] No result exist in current step", "", MB_OK);
        return FALSE;
    }
    for (int i = 0; i < keys.GetSize(); ++i) {
        T_PVTIF_D r;
        // The component code's two words: 7 (velocity) and 0.
        if (rows.Get(keys[i], r) && r.nResultClass == kClassNodeSeepage && r.nCompCode == kCodeVelocity) {
            nKey = keys[i];
            return TRUE;
        }
    }
    MessageBox("[Error] No node flow velocity exist in current step", "", MB_OK);
    return FALSE;
}

void CDlgFlowPathWKVR::ProcessPlot()
{
    UpdateData(TRUE);
    unsigned int nKey = 0;
    if (!GetCurrentPVtifK(nKey))
        return;
    double p[3];
    if (!m_editPosition.GetPoint(p) || !std::isfinite(p[0]) || !std::isfinite(p[1]) || !std::isfinite(p[2]))
        return;
    if (!m_bKeepPrevious)
        for (CArray<double, double>& a : m_aPoint)
            a.RemoveAll();
    for (int k = 0; k < 3; ++k)
        m_aPoint[k].Add(p[k]);
    ProcessPlotSub(nKey, m_aPoint);
}

void CDlgFlowPathWKVR::ProcessPlotSub(unsigned int nKey, CArray<double, double>* pPoints)
{
    using kvpvs::dialogs::ParseFinite;
    using kvpvs::dialogs::TruncToInt;
    UpdateData(TRUE);
    T_VD_FLOWPATH_WPLKVR_D& r = AddedInfo;
    r.nFlowPVtifK = nKey;
    r.aStartX.Copy(pPoints[0]);
    r.aStartY.Copy(pPoints[1]);
    r.aStartZ.Copy(pPoints[2]);
    r.nColorMode = m_nColorType;
    r.bKeepPrevious = m_bKeepPrevious;
    r.nPathType = m_nPathType;
    r.dTubeScale = ParseFinite(m_strPipeScale, 1.0);
    r.nLineWidth = TruncToInt(m_strLineWidth, 1);
    r.nPathColor = static_cast<int>(m_btnColour.GetColour());
    r.nColor2 = static_cast<int>(m_btnColour2.GetColour());
    r.nIntOption = TruncToInt(m_strIntOption, 0);
    r.bDrawContour = m_bOtherResult;
    r.nContourPVtifK = m_cobxOther.GetSelKey();
    r.dStepOption = ParseFinite(m_strStepLength, 0.2);
    r.bMarksOn = m_bMarking;
    r.nSymbolKind = m_nMarkSymbol;
    r.dSymbolScale = ParseFinite(m_strSymbolScale, 1.0);
    if (r.dSymbolScale < 0.0)
        r.dSymbolScale = 1.0;
    r.nDivisions = TruncToInt(m_strDivisions, 5);
    if (r.nDivisions < 0)
        r.nDivisions = 1;
    kvpvs::dialogs::RequestUserDefDisplay(kFlowPathType, &r);
    m_nPlottedKey = nKey;
}

void CDlgFlowPathWKVR::OnKvpvsFpReset()
{
    if (m_nPlottedKey == 0)
        return;
    for (CArray<double, double>& a : m_aPoint)
        a.RemoveAll();
    ProcessPlotSub(m_nPlottedKey, m_aPoint);
}

void CDlgFlowPathWKVR::OnKvpvsFpLineShading()
{
    UpdateData(TRUE);
    if (m_nPathType == 1) {
        Enable(IDC_FP_LINE_WIDTH, FALSE);
        Enable(IDC_FP_PIPE_SCALE, TRUE);
        m_nColorType = 0;
        for (UINT id : kLineOnly)
            Enable(id, FALSE);
        UpdateData(FALSE);
    } else {
        Enable(IDC_FP_LINE_WIDTH, TRUE);
        Enable(IDC_FP_PIPE_SCALE, FALSE);
        for (UINT id : kLineOnly)
            Enable(id, TRUE);
    }
}

void CDlgFlowPathWKVR::OnKvpvsFpOtherresult()
{
    UpdateData(TRUE);
    const BOOL bOther = m_bOtherResult ? TRUE : FALSE;
    Enable(IDC_FP_OTHER_COMBO, bOther);
    Enable(IDC_FP_PIPE, !bOther);
    Enable(IDC_FP_PIPE_SCALE, !bOther);
    Enable(IDC_FP_CONTOUR, !bOther);
    if (!bOther)
        return;
    // Another result colours lines in one colour.
    Enable(IDC_FP_LINE, TRUE);
    Enable(IDC_FP_LINE_WIDTH, TRUE);
    Enable(IDC_FP_SINGLE, TRUE);
    Enable(IDC_FP_COLOUR, TRUE);
    m_nPathType = 0;
    m_nColorType = 1;
    UpdateData(FALSE);
}

void CDlgFlowPathWKVR::OnSelchangeKvpvsFpAcase()
{
    m_cobxResultSet.UpdateChild(0, 0);
    OnSelchangeKvpvsFpDataset();
}

void CDlgFlowPathWKVR::OnSelchangeKvpvsFpOutputset()
{
    m_cobxStep.UpdateChild(0, 0);
    OnSelchangeKvpvsFpDataset();
}

void CDlgFlowPathWKVR::OnSelchangeKvpvsFpDataset() { m_cobxOther.RefreshSel(); }

BOOL CDlgFlowPathWKVR::PrepareAnimation()
{
    if (m_nPlottedKey == 0)
        return FALSE;
    OnKvpvsPlot();
    const double dN = AddedInfo.nDivisions;
    if (std::fabs(dN) < 1e-15)
        return FALSE;
    m_dEndRatio = 1.0 / dN;
    m_dIncRatio = m_dEndRatio / 10.0;
    m_dOrgIncRatio = m_dIncRatio;
    return TRUE;
}

void CDlgFlowPathWKVR::RedrawLabels(int nArg)
{
    if (CPVSMeshMngrBrdg* pBridge = CPVSMeshMngrBrdg::GetMySelf())
        pBridge->UpdatePVSLabel(2, 1, nArg);
}

int CDlgFlowPathWKVR::AdvancePhase()
{
    CPVSVisualMethodGlbFlowPath::m_dIncrementFactor = m_dIncRatio;
    RedrawLabels(0);
    m_dIncRatio += m_dOrgIncRatio;
    // The period itself is never shown: the phase starts again at one step.
    if (std::fabs(m_dEndRatio - m_dIncRatio) < 1e-10 || m_dEndRatio < m_dIncRatio)
        m_dIncRatio = m_dOrgIncRatio;
    return 1;
}

void CDlgFlowPathWKVR::TimerProc(HWND, UINT, UINT_PTR, DWORD) { AdvancePhase(); }

void CDlgFlowPathWKVR::OnKvpvsPlay()
{
    if (!PrepareAnimation())
        return;
    m_nTimerID = SetTimer(1, 100, reinterpret_cast<void*>(&CDlgFlowPathWKVR::TimerProc));
    m_bPlaying = 1;
}

void CDlgFlowPathWKVR::OnKvpvsStop()
{
    m_bPlaying = 0;
    KillTimer(m_nTimerID);
    CPVSVisualMethodGlbFlowPath::m_dIncrementFactor = 0.0;
    RedrawLabels(1);
}

void CDlgFlowPathWKVR::OnKvpvsRecd()
{
    if (m_bPlaying)
        OnKvpvsStop();
    if (!PrepareAnimation())
        return;
    CDBDoc* pDoc = CDBDoc::GetDocPoint();
    if (!pDoc)
        return;
    auto* pView = dynamic_cast<CZORViewBase*>(pDoc->GetActiveView());
    if (!pView)
        return;
    ShowWindow(SW_HIDE);
    {
        CAnimationEngineOnlyRecord engine(pView, &CDlgFlowPathWKVR::AdvancePhase, kRecordFrames,
                                          CPostVisualState::Instance()->GetCurrentPAnim());
        engine.StartRecording();
        CPVSVisualMethodGlbFlowPath::m_dIncrementFactor = 0.0;
        RedrawLabels(1);
        ShowWindow(SW_SHOW);
    }
}

void CDlgFlowPathWKVR::OnDestroy()
{
    CGeomDialog::OnDestroy();
    kvpvs::dialogs::CloseUserDefDisplay();
}
