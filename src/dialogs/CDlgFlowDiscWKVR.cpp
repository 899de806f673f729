#include "dialogs/CDlgFlowDiscWKVR.h"

#include "dialogs/CaseCombos.h"
#include "dialogs/DialogNumbers.h"
#include "dialogs/KVPVSDlgDefPlane.h"

#include "PVSMeshMngrBrdg.h"

IMPLEMENT_DYNAMIC(CDlgFlowDiscWKVR, CPVSDlgModalessBase)

CDlgFlowDiscWKVR* CDlgFlowDiscWKVR::m_pMySelf = nullptr;
T_MODELESS_DLG_REG_D CDlgFlowDiscWKVR::m_reg;

namespace {

constexpr unsigned int kFlowDiscType = 4;
constexpr int kClassNodeSeepage = 38;
constexpr unsigned int kCodeVelocity = 7;

// The template: the visible controls first, then those outside the visible area.
const bool g_bTemplate = [] {
    AfxRegisterDialogTemplate(CDlgFlowDiscWKVR::IDD, AFX_DLGTEMPLATE_D{"Flow discharge", 188, {
        {IDC_FD_CASE, AFX_CTL_COMBO, "分析组", 0},
        {IDC_FD_STEP, AFX_CTL_COMBO, "步骤", 0},
        {IDC_FD_NAME, AFX_CTL_EDIT, "平面名称", 0},
        {IDC_FD_DEFINE, AFX_CTL_BUTTON, "定义", 0},
        {IDC_FD_ADD, AFX_CTL_BUTTON, "添加", 0},
        {IDC_FD_DELETE, AFX_CTL_BUTTON, "删除", 0},
        {IDC_FD_LIST, AFX_CTL_CHECKLIST, "", 0},
        {IDC_FD_PLANE_COLOUR, AFX_CTL_CUSTOM, "平面颜色", 0},
        {IDC_FD_ARROW_COLOUR, AFX_CTL_CUSTOM, "箭头颜色", 0},
        {IDC_FD_ARROW_SCALE, AFX_CTL_EDIT, "箭头比例", 0},
        {IDC_FD_SHOW, AFX_CTL_BUTTON, "显示", 0},
        {IDC_FD_CLOSE, AFX_CTL_BUTTON, "关闭", 0},
        {IDC_FD_VALUE_COLOUR, AFX_CTL_CUSTOM, "", 0},
        {IDC_FD_VALUE_SCALE, AFX_CTL_EDIT, "", 0},
        {IDC_FD_DECIMAL, AFX_CTL_EDIT, "", 0},
        {IDC_FD_EXPONENTIAL, AFX_CTL_CHECK, "Exponential", 0},
        {IDC_FD_CLOSE2, AFX_CTL_BUTTON, "Close", 0},
    }});
    return true;
}();

T_VD_FLOWDISC_WPLKVR_D g_defaultRecord;

} // namespace

BEGIN_MESSAGE_MAP(CDlgFlowDiscWKVR, CPVSDlgModalessBase)
ON_BN_CLICKED(IDC_FD_DEFINE, OnDefine)
ON_BN_CLICKED(IDC_FD_ADD, OnAdd)
ON_BN_CLICKED(IDC_FD_DELETE, OnDelete)
ON_BN_CLICKED(IDC_FD_CLOSE, OnCloseButton)
ON_BN_CLICKED(IDC_FD_SHOW, OnShow)
ON_WM_DESTROY()
ON_CBN_SELCHANGE(IDC_FD_CASE, OnCaseChange)
END_MESSAGE_MAP()

T_VD_FLOWDISC_WPLKVR_D& CDlgFlowDiscWKVR::DefaultRecord() { return g_defaultRecord; }

CDlgFlowDiscWKVR::CDlgFlowDiscWKVR(CWnd* pParent) : CPVSDlgModalessBase(IDD, pParent)
{
    (void)g_bTemplate;
    m_pMySelf = this;
}

CDlgFlowDiscWKVR::~CDlgFlowDiscWKVR()
{
    if (m_pMySelf == this)
        m_pMySelf = nullptr;
}

void CDlgFlowDiscWKVR::CreateOrActivate(CWnd* pParent)
{
    kvpvs::dialogs::CreateOrActivateModeless<CDlgFlowDiscWKVR>(m_reg, pParent, [](CDlgFlowDiscWKVR&) {});
}

void CDlgFlowDiscWKVR::DoDataExchange(CDataExchange* pDX)
{
    CPVSDlgModalessBase::DoDataExchange(pDX);
    DDX_Control(pDX, IDC_FD_VALUE_COLOUR, m_btnValueColour);
    DDX_Control(pDX, IDC_FD_PLANE_COLOUR, m_btnPlaneColour);
    DDX_Control(pDX, IDC_FD_ARROW_COLOUR, m_btnArrowColour);
    DDX_Control(pDX, IDC_FD_LIST, m_lstPlane);
    DDX_Control(pDX, IDC_FD_STEP, m_cobxStep);
    DDX_Control(pDX, IDC_FD_CASE, m_cobxCase);
    DDX_Text(pDX, IDC_FD_NAME, m_strName);
    DDX_Text(pDX, IDC_FD_ARROW_SCALE, m_strArrowScale);
    DDX_Text(pDX, IDC_FD_VALUE_SCALE, m_strValueScale);
    DDX_Text(pDX, IDC_FD_DECIMAL, m_strDecimal);
    DDX_Check(pDX, IDC_FD_EXPONENTIAL, m_bExponential);
}

BOOL CDlgFlowDiscWKVR::OnInitDialog()
{
    CPVSDlgModalessBase::OnInitDialog();
    kvpvs::dialogs::ChainCaseCombos(m_pDoc, m_cobxCase, {&m_cobxStep});
    m_btnValueColour.SetColour(0xFFFFFF);
    m_btnPlaneColour.SetColour(0x0000FF);
    m_btnArrowColour.SetColour(0x00FFFF);
    return 1;
}

void CDlgFlowDiscWKVR::OnPlaneDlgDestroyed(double* pNormal, double* pOrigin)
{
    CDlgFlowDiscWKVR* self = m_pMySelf;
    if (!self)
        return;
    for (int k = 0; k < 3; ++k) {
        self->m_dLastNormal[k] = pNormal[k];
        self->m_dLastOrigin[k] = pOrigin[k];
    }
    self->m_pPlaneDlg = nullptr;
    self->m_hPlaneDlg = nullptr;
}

void CDlgFlowDiscWKVR::OnDefine()
{
    if (m_pPlaneDlg && IsWindow(m_hPlaneDlg))
        return;
    CDBDoc* pDoc = CDBDoc::GetDocPoint();
    if (!pDoc)
        return;
    CPVSMeshMngrBrdg* pBridge = CPVSMeshMngrBrdg::GetMySelf();
    auto* pDlg = new CKVPVSDlgDefPlane(pDoc, pBridge ? pBridge->GetWnd() : nullptr);
    pDlg->SetNoPlotMode(1);
    pDlg->SetDrawFunction(&OnPlaneDraw);
    pDlg->SetCalledOnDestoryFunction(&OnPlaneDlgDestroyed);
    pDlg->SetNormal(m_dLastNormal[0], m_dLastNormal[1], m_dLastNormal[2]);
    pDlg->SetOrigin(m_dLastOrigin[0], m_dLastOrigin[1], m_dLastOrigin[2]);
    if (!pDlg->Create(this)) {
        // Without a window nothing will ever free it.
        delete pDlg;
        return;
    }
    pDlg->ShowWindow(SW_SHOW);
    m_pPlaneDlg = pDlg;
    m_hPlaneDlg = pDlg->m_hWnd;
}

void CDlgFlowDiscWKVR::OnAdd()
{
    UpdateData(TRUE);
    if (m_strName.IsEmpty())
        return;
    m_aPlaneName.Add(m_strName);
    if (m_pPlaneDlg && IsWindow(m_hPlaneDlg)) {
        const double* o = m_pPlaneDlg->GetOrigin();
        const double* n = m_pPlaneDlg->GetNormal();
        for (int k = 0; k < 3; ++k) {
            m_dLastOrigin[k] = o[k];
            m_dLastNormal[k] = n[k];
        }
    }
    T_PVIST_PLNE_D plane;
    for (int k = 0; k < 3; ++k) {
        plane.dOrigin[k] = m_dLastOrigin[k];
        plane.dNormal[k] = m_dLastNormal[k];
    }
    m_aPlane.Add(plane);
    FillPlaneList();
}

void CDlgFlowDiscWKVR::FillPlaneList()
{
    if (m_aPlaneName.GetSize() != m_aPlane.GetSize())
        return;
    m_lstPlane.ResetContent();
    for (int i = 0; i < m_aPlaneName.GetSize(); ++i) {
        const int n = m_lstPlane.AddString(m_aPlaneName[i]);
        m_lstPlane.SetItemData(n, static_cast<DWORD_PTR>(i));
    }
}

void CDlgFlowDiscWKVR::OnDelete()
{
    CArray<int, int> checked;
    for (int i = 0; i < m_lstPlane.GetCount(); ++i)
        if (m_lstPlane.GetCheck(i))
            checked.Add(static_cast<int>(m_lstPlane.GetItemData(i)));
    if (checked.GetSize() == 0)
        return;
    // From the highest index down, so that the lower ones keep their places.
    for (int i = checked.GetSize() - 1; i >= 0; --i) {
        const int n = checked[i];
        if (n < 0 || n >= m_aPlane.GetSize())
            continue;
        m_aPlaneName.RemoveAt(n);
        m_aPlane.RemoveAt(n);
    }
    FillPlaneList();
}

unsigned int CDlgFlowDiscWKVR::SelectResultRow()
{
    if (!m_pDoc)
        return 0;
    const unsigned int nCase = m_cobxCase.GetSelKey();
    T_POSIF_D caseRec;
    if (nCase == 0 || !CClassPOsif(m_pDoc->GetPostDB()).Get(nCase, caseRec))
        return 0;
    const unsigned int nStep = m_cobxStep.GetSelKey();
    if (nStep == 0)
        return 0;
    CClassPVtif rows(m_pDoc->GetPostDB());
    CArray<unsigned int, unsigned int> keys;
    rows.GetKeyListByLSifK(nStep, 0, keys);
    if (keys.GetSize() == 0) {
        MessageBox("[Error] No result exist in current step", "", MB_OK);
        return 0;
    }
    for (int i = 0; i < keys.GetSize(); ++i) {
        T_PVTIF_D r;
        if (rows.Get(keys[i], r) && r.nResultClass == kClassNodeSeepage && r.aComp.GetSize() > 0 &&
            r.aComp[0] == kCodeVelocity)
            return keys[i];
    }
    MessageBox("[Error] No node flow velocity exist in current step", "", MB_OK);
    return 0;
}

void CDlgFlowDiscWKVR::OnShow()
{
    using kvpvs::dialogs::ParseFinite;
    using kvpvs::dialogs::TruncToInt;
    UpdateData(TRUE);
    const unsigned int nRow = SelectResultRow();
    if (nRow == 0)
        return;
    CArray<int, int> checked;
    for (int i = 0; i < m_lstPlane.GetCount(); ++i)
        if (m_lstPlane.GetCheck(i))
            checked.Add(static_cast<int>(m_lstPlane.GetItemData(i)));
    if (checked.GetSize() == 0)
        return;

    T_VD_FLOWDISC_WPLKVR_D& rec = DefaultRecord();
    rec.Initialize();
    rec.nPVtifK = nRow;
    for (int i = 0; i < checked.GetSize(); ++i)
        if (checked[i] >= 0 && checked[i] < m_aPlane.GetSize())
            rec.aPlane.Add(m_aPlane[checked[i]]);
    rec.nColor1 = static_cast<int>(m_btnValueColour.GetColour());
    rec.nSectColor = static_cast<int>(m_btnPlaneColour.GetColour());
    rec.nArrowColor = static_cast<int>(m_btnArrowColour.GetColour());
    rec.dArrowScale = ParseFinite(m_strArrowScale, 1.0);
    rec.dFactor2 = ParseFinite(m_strValueScale, 1.0);
    rec.nWholeNumber = TruncToInt(m_strDecimal, 0);
    rec.nOption = m_bExponential;
    kvpvs::dialogs::RequestUserDefDisplay(kFlowDiscType, &rec);
}

void CDlgFlowDiscWKVR::OnDestroy()
{
    CPVSDlgModalessBase::OnDestroy();
    kvpvs::dialogs::CloseUserDefDisplay();
    if (IsWindow(m_hPlaneDlg))
        if (CWnd* p = CWnd::FromHandle(m_hPlaneDlg))
            p->DestroyWindow();
    m_pPlaneDlg = nullptr;
    m_hPlaneDlg = nullptr;
}
