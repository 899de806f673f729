#include "dialogs/CDlgLclDirForSum.h"

#include "dialogs/CPVSDlgDefThreePointPlane.h"
#include "dialogs/CaseCombos.h"
#include "dialogs/DialogEntryGuard.h"
#include "dialogs/ForceSumPlaneRows.h"

#include "MathFunc.h"
#include "MsgDll.h"
#include "PVSLegendObjectUserDefMode.h"
#include "UnitCtrl.h"

#include <cmath>
#include <cstdlib>

IMPLEMENT_DYNAMIC(CDlgLclDirForSum, CPVSDlgModalessBase)

CDlgLclDirForSum* CDlgLclDirForSum::m_pMySelf = nullptr;
T_MODELESS_DLG_REG_D CDlgLclDirForSum::m_reg;

namespace {

constexpr unsigned int kForceSumType = 8;

// The template: the visible controls first, then those outside the visible area.
const bool g_bTemplate = [] {
    AfxRegisterDialogTemplate(CDlgLclDirForSum::IDD, AFX_DLGTEMPLATE_D{"Local direction force sum", 160, {
        {IDC_LDFS_CASE, AFX_CTL_COMBO, "分析组", 0},
        {IDC_LDFS_STEP, AFX_CTL_COMBO, "步骤", 0},
        {IDC_LDFS_LIST, AFX_CTL_CHECKLIST, "", 0},
        {IDC_LDFS_ADD, AFX_CTL_BUTTON, "添加", 0},
        {IDC_LDFS_DELETE, AFX_CTL_BUTTON, "删除", 0},
        {IDC_LDFS_PLANE_COLOUR, AFX_CTL_CUSTOM, "", 0},
        {IDC_LDFS_INCLUDE_TEXT, AFX_CTL_CHECK, "包括文本", 0},
        {IDC_LDFS_SHOW, AFX_CTL_BUTTON, "显示", 0},
        {IDC_LDFS_CLOSE, AFX_CTL_BUTTON, "关闭", 0},
        {IDC_LDFS_NAME, AFX_CTL_EDIT, "", 0},
        {IDC_LDFS_DEFINE, AFX_CTL_BUTTON, "Define", 0},
        {IDC_LDFS_SOLID, AFX_CTL_RADIO, "Solid/Plnae Strain/Axisymmetric", WS_GROUP},
        {IDC_LDFS_PLATE, AFX_CTL_RADIO, "Plate/Plane Stress", 0},
        {IDC_LDFS_VALUE_COLOUR, AFX_CTL_CUSTOM, "", WS_GROUP},
        {IDC_LDFS_ARROW_COLOUR, AFX_CTL_CUSTOM, "", 0},
        {IDC_LDFS_ARROW_SCALE, AFX_CTL_EDIT, "", 0},
        {IDC_LDFS_VALUE_SCALE, AFX_CTL_EDIT, "", 0},
        {IDC_LDFS_DECIMAL, AFX_CTL_EDIT, "", 0},
        {IDC_LDFS_EXPONENTIAL, AFX_CTL_CHECK, "Exponential", 0},
        {IDC_LDFS_TEXT, AFX_CTL_BUTTON, "Text ", 0},
        {IDC_LDFS_CLOSE2, AFX_CTL_BUTTON, "Close", 0},
    }});
    return true;
}();

T_VD_LCLDIRSUM_HOB_D g_defaultRecord;

const CUnitCtrl* Units(CDBDoc* pDoc) { return CDocCtrl::GetUnitCtrl(pDoc); }

bool AllFinite(const T_LDFS_D& row)
{
    for (const double* p : {row.dP1, row.dP2, row.dP3})
        if (!std::isfinite(p[0]) || !std::isfinite(p[1]) || !std::isfinite(p[2]))
            return false;
    return true;
}

// Cutting plane and frame of a stored plane (the routine the design dialog shares).
bool DerivePlane(const T_LDFS_D& row, T_PVIST_PLNE_D& plane, T_VD_LCLDIRSUM_HOB_BASE_D& frame)
{
    return kvpvs::dialogs::DeriveForceSumPlane(row, plane, frame.dAxis);
}

} // namespace

BEGIN_MESSAGE_MAP(CDlgLclDirForSum, CPVSDlgModalessBase)
ON_BN_CLICKED(IDC_LDFS_DEFINE, OnDefine)
ON_BN_CLICKED(IDC_LDFS_ADD, OnAdd)
ON_BN_CLICKED(IDC_LDFS_DELETE, OnDelete)
ON_BN_CLICKED(IDC_LDFS_CLOSE, OnCloseButton)
ON_BN_CLICKED(IDC_LDFS_SHOW, OnShow)
ON_WM_DESTROY()
ON_CBN_SELCHANGE(IDC_LDFS_CASE, OnCaseChange)
END_MESSAGE_MAP()

T_VD_LCLDIRSUM_HOB_D& CDlgLclDirForSum::DefaultRecord() { return g_defaultRecord; }

CDlgLclDirForSum::CDlgLclDirForSum(CWnd* pParent) : CPVSDlgModalessBase(IDD, pParent)
{
    (void)g_bTemplate;
    m_strName = CMsgDll::pfuncLoadStr(IDS_KV_PVS_LOCAL_DIRECTION_FORCE_SUM_DEFAULT_NAME, 0);
    m_pMySelf = this;
}

CDlgLclDirForSum::~CDlgLclDirForSum()
{
    if (m_pMySelf == this)
        m_pMySelf = nullptr;
}

void CDlgLclDirForSum::CreateOrActivate(CWnd* pParent)
{
    kvpvs::dialogs::RunGuarded([&] {
        // Created under the main window, placed beside the launcher's window.
        CWnd* pMain = AfxGetMainWnd();
        kvpvs::dialogs::CreateOrActivateModeless<CDlgLclDirForSum>(m_reg, pMain, [&](CDlgLclDirForSum& dlg) {
            RECT rView, rMain;
            if (pParent)
                pParent->GetWindowRect(&rView);
            pMain->GetWindowRect(&rMain);
            dlg.SetInitPos(1, 0, rView.top - rMain.top);
        });
    });
}

LRESULT CDlgLclDirForSum::WindowProc(UINT nMsg, WPARAM wParam, LPARAM lParam)
{
    return kvpvs::dialogs::GuardedWindowProc([&] { return CPVSDlgModalessBase::WindowProc(nMsg, wParam, lParam); });
}

void CDlgLclDirForSum::DoDataExchange(CDataExchange* pDX)
{
    CPVSDlgModalessBase::DoDataExchange(pDX);
    DDX_Control(pDX, IDC_LDFS_VALUE_COLOUR, m_btnValueColour);
    DDX_Control(pDX, IDC_LDFS_PLANE_COLOUR, m_btnPlaneColour);
    DDX_Control(pDX, IDC_LDFS_ARROW_COLOUR, m_btnArrowColour);
    DDX_Control(pDX, IDC_LDFS_LIST, m_lstPlane);
    DDX_Control(pDX, IDC_LDFS_STEP, m_cobxStep);
    DDX_Control(pDX, IDC_LDFS_CASE, m_cobxCase);
    DDX_Text(pDX, IDC_LDFS_NAME, m_strName);
    DDX_Text(pDX, IDC_LDFS_ARROW_SCALE, m_strArrowScale);
    DDX_Text(pDX, IDC_LDFS_VALUE_SCALE, m_strValueScale);
    DDX_Text(pDX, IDC_LDFS_DECIMAL, m_strDecimal);
    DDX_Check(pDX, IDC_LDFS_EXPONENTIAL, m_bExponential);
    DDX_Check(pDX, IDC_LDFS_INCLUDE_TEXT, m_bIncludeText);
}

BOOL CDlgLclDirForSum::OnInitDialog()
{
    CPVSDlgModalessBase::OnInitDialog();
    m_bShowsNothing = FALSE;
    if (!CZORDocBase::GetCurDoc())
        return 0;
    // Until the display is asked for, a failure ends an opening that showed nothing: the
    // window then goes without closing the host's display.
    PlaneEntries planes;
    try {
        Prepare(planes);
    } catch (...) {
        m_bShowsNothing = TRUE;
        throw;
    }
    DefaultRecord().Initialize();
    kvpvs::dialogs::RequestUserDefDisplay(kForceSumType, &DefaultRecord());
    ShowPlanes(std::move(planes));
    return 1;
}

void CDlgLclDirForSum::Prepare(PlaneEntries& planes)
{
    CPVSMeshMngrBrdg* pBridge = CPVSMeshMngrBrdg::GetMySelf();
    m_nBridgeMode = pBridge ? pBridge->GetBrdgMode() : 0;

    kvpvs::dialogs::ChainCaseCombos(m_pDoc, m_cobxCase, {&m_cobxStep});

    m_btnValueColour.SetColour(0xFFFFFF);
    m_btnPlaneColour.SetColour(0xFDFCBF);
    m_btnArrowColour.SetColour(0x00FFFF);
    // The planes are read before the display is asked for.
    planes = LoadPlanes();
}

CDlgLclDirForSum::PlaneEntries CDlgLclDirForSum::LoadPlanes() const
{
    CClassLdfs tbl;
    tbl.ConnectToDB(m_pDoc ? m_pDoc->GetModelDB() : nullptr);
    CArray<unsigned int, unsigned int> keys;
    tbl.GetKeyList(keys);
    PlaneEntries planes;
    const CUnitCtrl* pUnit = Units(m_pDoc);
    for (int i = 0; i < keys.GetSize(); ++i) {
        T_LDFS_D row;
        if (!tbl.Get(keys[i], row))
            continue;
        for (double* p : {row.dP1, row.dP2, row.dP3})
            for (int k = 0; k < 3; ++k)
                p[k] = pUnit ? pUnit->ConvertUnitLengthIn(p[k]) : p[k];
        T_PLANE_ENTRY_D e;
        if (!DerivePlane(row, e.plane, e.frame))
            continue;
        e.strName = row.strName;
        e.nElemType = row.nElemType;
        e.nKey = keys[i];
        planes.push_back(e);
    }
    return planes;
}

void CDlgLclDirForSum::ShowPlanes(PlaneEntries&& planes)
{
    kvpvs::dialogs::ListEntries entries(planes.size());
    for (size_t i = 0; i < planes.size(); ++i) {
        entries[i].strText = planes[i].strName;
        entries[i].nData = planes[i].nKey;
    }
    kvpvs::dialogs::ReplaceEntries(m_lstPlane, entries);
    m_aPlanes.swap(planes);
}

int CDlgLclDirForSum::AddPlane(const T_LDFS_D& recIn)
{
    T_LDFS_D rec = recIn;
    UpdateData(TRUE);
    // Stored in output units; FillPlaneList converts back.
    const CUnitCtrl* pUnit = Units(m_pDoc);
    for (double* p : {rec.dP1, rec.dP2, rec.dP3})
        for (int k = 0; k < 3; ++k)
            p[k] = pUnit ? pUnit->ConvertUnitLengthOut(p[k]) : p[k];
    // What is not a finite number (in output units too) is refused as a number field does.
    if (!AllFinite(rec)) {
        AfxMessageBox("Please enter a number.", MB_ICONWARNING);
        return 0;
    }
    CClassLdfs tbl;
    tbl.ConnectToDB(m_pDoc ? m_pDoc->GetModelDB() : nullptr);
    const HWND hSelf = m_hWnd;
    if (!tbl.TR_Add(rec))
        return 0;
    // The table's change notice may have closed (and freed) this dialog.
    if (IsWindow(hSelf))
        FillPlaneList();
    return 1;
}

void CDlgLclDirForSum::OnPlaneDlgDestroyed(double*, double*)
{
    CDlgLclDirForSum* self = m_pMySelf;
    if (!self)
        return;
    CPVSDlgDefThreePointPlane::CloseForOwner(self->m_hPlaneDlg, self->m_pPlaneDlg);
}

int CDlgLclDirForSum::OnPlaneApply(double (*)[3], CString&, void* pRecord)
{
    if (!m_pMySelf || !pRecord)
        return 1;
    return m_pMySelf->AddPlane(*static_cast<T_LDFS_D*>(pRecord));
}

void CDlgLclDirForSum::OnAdd()
{
    UpdateData(TRUE);
    if (m_pPlaneDlg && IsWindow(m_hPlaneDlg))
        return;
    m_pPlaneDlg = CPVSDlgDefThreePointPlane::OpenForOwner(this, &OnPlaneDraw, &OnPlaneDlgDestroyed, &OnPlaneApply);
    m_hPlaneDlg = m_pPlaneDlg ? m_pPlaneDlg->m_hWnd : nullptr;
}

void CDlgLclDirForSum::OnDelete()
{
    CArray<unsigned int, unsigned int> keys;
    for (int i = 0; i < m_lstPlane.GetCount(); ++i)
        if (m_lstPlane.GetCheck(i))
            keys.Add(static_cast<unsigned int>(m_lstPlane.GetItemData(i)));
    if (keys.GetSize() == 0)
        return;
    CClassLdfs tbl;
    tbl.ConnectToDB(m_pDoc ? m_pDoc->GetModelDB() : nullptr);
    if (tbl.TR_Del(keys))
        FillPlaneList();
}

void CDlgLclDirForSum::ShowMessage(const char* pszID)
{
    MessageBox(CMsgDll::pfuncLoadStr(pszID, 0), "", MB_OK);
}

BOOL CDlgLclDirForSum::SelectResultRows(int nElemType, unsigned int aKeys[12])
{
    for (int i = 0; i < 12; ++i)
        aKeys[i] = 0;
    if (!m_pDoc)
        return FALSE;
    const unsigned int nCase = m_cobxCase.GetSelKey();
    T_POSIF_D caseRec;
    if (nCase == 0 || !CClassPOsif(m_pDoc->GetPostDB()).Get(nCase, caseRec))
        return FALSE;
    const unsigned int nStep = m_cobxStep.GetSelKey();
    if (nStep == 0)
        return FALSE;

    CClassPVtif rows(m_pDoc->GetPostDB());
    CArray<unsigned int, unsigned int> all, keys;
    rows.GetKeyList(all);
    for (int i = 0; i < all.GetSize(); ++i) {
        T_PVTIF_D r;
        if (rows.Get(all[i], r) && r.nStepK == nStep)
            keys.Add(all[i]);
    }
    if (const char* pszMsg = kvpvs::dialogs::SelectForceSumRows(m_pDoc->GetPostDB(), keys, nElemType, aKeys)) {
        ShowMessage(pszMsg);
        return FALSE;
    }
    return TRUE;
}

void CDlgLclDirForSum::OnShow()
{
    if (!UpdateData(TRUE))
        return;
    CArray<int, int> checked;
    for (int i = 0; i < m_lstPlane.GetCount(); ++i)
        if (m_lstPlane.GetCheck(i))
            checked.Add(i);
    if (checked.GetSize() == 0)
        return;
    // The list shows the kept planes in order.
    const auto Plane = [&](int i) -> const T_PLANE_ENTRY_D& { return m_aPlanes.at(static_cast<size_t>(checked[i])); };
    const int nType = Plane(0).nElemType;
    for (int i = 1; i < checked.GetSize(); ++i)
        if (Plane(i).nElemType != nType) {
            ShowMessage(IDS_KV_PVS_SELECTED_PLANE_ERR);
            return;
        }
    unsigned int keys[12];
    if (!SelectResultRows(nType, keys))
        return;

    // The record is made aside and takes the place of the file-scope one only whole; the
    // display keeps the old one when it cannot be asked for.
    T_VD_LCLDIRSUM_HOB_D rec;
    rec.Initialize();
    for (int i = 0; i < checked.GetSize(); ++i) {
        T_PVIST_PLNE_D plane = Plane(i).plane;
        rec.aPlane.Add(plane);
        T_VD_LCLDIRSUM_HOB_BASE_D frame = Plane(i).frame;
        frame.strName = Plane(i).strName;
        rec.aAxis.Add(frame);
    }
    rec.nValueColor = static_cast<int>(m_btnValueColour.GetColour());
    rec.nPlaneColor = static_cast<int>(m_btnPlaneColour.GetColour());
    rec.nArrowColor = static_cast<int>(m_btnArrowColour.GetColour());
    rec.dArrowScale = std::atof(m_strArrowScale);
    rec.dValueScale = std::atof(m_strValueScale);
    rec.nValueDecimal = std::atoi(m_strDecimal);
    rec.bExponential = m_bExponential;
    rec.nCutKind = nType;
    rec.nCompCount = nType == 0 ? 6 : 12;
    for (int i = 0; i < 12; ++i)
        rec.nCompPVtifK[i] = static_cast<int>(keys[i]);
    rec.bIncludeText = m_bIncludeText;
    T_VD_LCLDIRSUM_HOB_D old;
    old = DefaultRecord();
    try {
        DefaultRecord() = rec;
        kvpvs::dialogs::RequestUserDefDisplay(kForceSumType, &DefaultRecord());
    } catch (...) {
        kvpvs::dialogs::RunGuarded([&] { DefaultRecord() = old; });
        throw;
    }
}

void CDlgLclDirForSum::CheckDBChange(CObject* pHint)
{
    auto* h = dynamic_cast<CDBChangeHint*>(pHint);
    if (!h || h->m_aViewBuffer.empty())
        return;
    bool bChanged = false;
    for (const T_DB_CMD_RECORD_D& r : h->m_aViewBuffer)
        if (r.nType == CClassLdfs::UR_LDFS_ADD || r.nType == CClassLdfs::UR_LDFS_DEL || r.nType == CClassLdfs::UR_LDFS_MFS)
            bChanged = true;
    if (bChanged)
        FillPlaneList();
}

void CDlgLclDirForSum::OnUpdate(CView*, LPARAM lHint, CObject* pHint)
{
    kvpvs::dialogs::RunGuarded([&] {
        if (!IsWindow(m_hWnd))
            return;
        if (lHint == 3)
            CheckDBChange(pHint);
        else if (lHint == 7 || lHint == 32)
            DestroyWindow();
    });
}

BOOL CDlgLclDirForSum::PreTranslateMessage(MSG* pMsg)
{
    BOOL bDone = FALSE;
    kvpvs::dialogs::RunGuarded([&] {
        if (pMsg->message == WM_KEYDOWN && pMsg->wParam == VK_ESCAPE) {
            // Destroying the window runs the close-down clean-up once (WM_DESTROY) and then
            // frees the object; it must not be touched afterwards.
            bDone = TRUE;
            DestroyWindow();
            return;
        }
        bDone = CPVSDlgModalessBase::PreTranslateMessage(pMsg);
    });
    return bDone;
}

void CDlgLclDirForSum::OnDestroy()
{
    // The window goes whatever fails on the way: each step of the clean-up runs on its own.
    using kvpvs::dialogs::RunGuarded;
    RunGuarded([&] { CPVSDlgModalessBase::OnDestroy(); });
    if (!m_bShowsNothing)
        RunGuarded([&] { kvpvs::dialogs::CloseUserDefDisplay(); });
    RunGuarded([&] { CPVSDlgDefThreePointPlane::CloseForOwner(m_hPlaneDlg, m_pPlaneDlg); });
    m_pPlaneDlg = nullptr;
    m_hPlaneDlg = nullptr;
    if (m_bShowsNothing)
        return;
    RunGuarded([&] { CPVSLegendObjectUserDefMode::m_arLegendDesc.RemoveAll(); });
    RunGuarded([&] {
        AfxGetMainWnd()->SendMessage(WM_COMMAND, m_nBridgeMode ? ID_MAINWND_CLOSE_DISPLAY_BRDGMODE : ID_MAINWND_CLOSE_DISPLAY, 0);
    });
}
