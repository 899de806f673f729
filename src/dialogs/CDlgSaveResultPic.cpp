#include "dialogs/CDlgSaveResultPic.h"

#include "dialogs/DialogEntryGuard.h"
#include "dialogs/ResultPicNames.h"

#include "DlgUtil.h"
#include "FileCtrl.h"
#include "GeomPicking.h"
#include "MsgDll.h"
#include "PostVisualState.h"
#include "ViewStatus.h"
#include "WdDoc.h"
#include "afxdlgs.h"
#include "shlobj.h"

#include <charconv>
#include <climits>
#include <cmath>
#include <cstring>

IMPLEMENT_DYNAMIC(CDlgSaveResultPic, CPVSDlgModalessBase)

CDlgSaveResultPic* CDlgSaveResultPic::m_pMySelf = nullptr;
T_MODELESS_DLG_REG_D CDlgSaveResultPic::m_reg;

const UINT CDlgSaveResultPic::kViewBitmaps[T_RESULT_PIC_SETTING_D::VIEW_COUNT] = {14019, 14020, 14021, 14022, 14023,
                                                                                  14024, 14025, 14026, 14014};
const UINT CDlgSaveResultPic::kViewButtons[T_RESULT_PIC_SETTING_D::VIEW_COUNT] = {
    IDC_SRP_VIEW_ISO, IDC_SRP_VIEW_ISO + 1, IDC_SRP_VIEW_ISO + 2, IDC_SRP_VIEW_ISO + 3, IDC_SRP_VIEW_ISO + 4,
    IDC_SRP_VIEW_ISO + 5, IDC_SRP_VIEW_ISO + 6, IDC_SRP_VIEW_RIGHT, IDC_SRP_VIEW_CURRENT};

namespace {

const char* const kViewTips[T_RESULT_PIC_SETTING_D::VIEW_COUNT] = {
    IDS_ZOR_PVS_VIEW_ISO,  IDS_ZOR_PVS_VIEW_ISO1,   IDS_ZOR_PVS_VIEW_FRONT, IDS_ZOR_PVS_VIEW_REAR,
    IDS_ZOR_PVS_VIEW_TOP,  IDS_ZOR_PVS_VIEW_BOTTOM, IDS_ZOR_PVS_VIEW_LEFT,  IDS_ZOR_PVS_VIEW_RIGHT,
    IDS_ZOR_PVS_VIEW_CURRENT};

const char* const kImageTypeTexts[4] = {IDS_ZOR_PVS_Contour, IDS_ZOR_PVS_Vector, IDS_ZOR_PVS_Contour_Vector,
                                        IDS_ZOR_PVS_Diagram};
const int kDeformedDataCodes[4] = {1, 2, 3, 10};
const char* const kDeformedDataTexts[4] = {"DX", "DY", "DZ", "DXYZ"};
const char* const kFormatTexts[3] = {"PNG", "JPG", "BMP"};
const char* const kWordExtensions[5] = {".PNG", ".JPG", ".BMP", ".GIF", ".WMF"};
// At most this much of the initial folder is preselected in the folder picker.
constexpr size_t kMaxInitialFolder = 518;

const bool g_bResources = [] {
    AFX_DLGTEMPLATE_D t{"Save Result Pictures", 320, {
        {IDC_SRP_TREE, AFX_CTL_CUSTOM, "", 0},
        {IDC_SRP_FORMAT, AFX_CTL_COMBO, "", 0},
        {IDC_SRP_AUTO_RANGE, AFX_CTL_CHECK, "Auto Range", 0},
        {IDC_SRP_MAX, AFX_CTL_EDIT, "", 0},
        {IDC_SRP_MIN, AFX_CTL_EDIT, "", 0},
        {IDC_SRP_DIVISIONS, AFX_CTL_EDIT, "", 0},
        {IDC_SRP_DIVISIONS_SPIN, AFX_CTL_SPIN, "", 0},
        {IDC_SRP_DEFORM_SCALE, AFX_CTL_EDIT, "", 0},
        {IDC_SRP_REAL_DISP, AFX_CTL_CHECK, "Real Disp.", 0},
        {IDC_SRP_VECTOR_SCALE, AFX_CTL_EDIT, "", 0},
        {IDC_SRP_DIAGRAM_SCALE, AFX_CTL_EDIT, "", 0},
        {IDC_SRP_IMAGE_TYPE, AFX_CTL_COMBO, "", 0},
        {IDC_SRP_DEFORMED, AFX_CTL_CHECK, "Deformed", 0},
        {IDC_SRP_DEFORMED_DATA, AFX_CTL_COMBO, "", 0},
        {IDC_SRP_WITH_UNDEFORMED, AFX_CTL_CHECK, "Undeformed", 0},
        {IDC_SRP_FOLDER, AFX_CTL_EDIT, "", 0},
        {IDC_SRP_BROWSE, AFX_CTL_BUTTON, "...", 0},
        {IDC_SRP_PREFIX, AFX_CTL_EDIT, "", 0},
        {IDC_SRP_IMPORT, AFX_CTL_BUTTON, "Import", 0},
        {IDC_SRP_EXPORT, AFX_CTL_BUTTON, "Export", 0},
        {IDOK, AFX_CTL_BUTTON, "Save Pictures", 0},
        {IDC_SRP_WORD, AFX_CTL_BUTTON, "Save Word Document", 0},
        {IDCANCEL, AFX_CTL_BUTTON, "Close", 0},
    }};
    for (UINT nID : CDlgSaveResultPic::kViewButtons)
        t.aItems.push_back({nID, AFX_CTL_CHECK, "", BS_PUSHLIKE | BS_BITMAP});
    AfxRegisterDialogTemplate(CDlgSaveResultPic::IDD, std::move(t));
    for (UINT nID : CDlgSaveResultPic::kViewBitmaps)
        AfxRegisterBitmap(nID, 24, 24);
    AfxRegisterBitmap(IDB_SRP_BROWSE, 16, 16);
    return true;
}();

CString EditText(const CEdit& edit)
{
    CString s;
    edit.GetWindowText(s);
    return s;
}

CString WithBackslash(CString s)
{
    if (!s.IsEmpty() && s[s.GetLength() - 1] != '\\')
        s += "\\";
    return s;
}

// A typed integer: one whole number inside int, blanks around it allowed.
bool TypedInteger(CString s, int& rValue)
{
    s.Trim();
    const char* p = s.GetString();
    const char* pEnd = p + s.GetLength();
    const auto [pStop, ec] = std::from_chars(p, pEnd, rValue);
    return ec == std::errc() && pStop == pEnd;
}

int SelectedData(const CComboBox& cobx, int nDefault)
{
    const int n = cobx.GetCurSel();
    return n < 0 ? nDefault : static_cast<int>(cobx.GetItemData(n));
}

void AddItem(CComboBox& cobx, const char* pszText, int nData)
{
    const int n = cobx.AddString(pszText);
    cobx.SetItemData(n, static_cast<DWORD_PTR>(nData));
}

// Checked result rows below an item, depth first; only items with children are entered.
void CollectCheckedRows(CTreeCtrlPVS& tree, HTREEITEM hParent, CArray<UINT>& aKeys)
{
    for (HTREEITEM h = tree.GetChildItem(hParent); h; h = tree.GetNextSiblingItem(h)) {
        UINT nRowK = 0;
        if (tree.GetCheckState(h) != CMyTreeCtrl4PVS::CHECK_OFF && tree.m_mapRowItems.Lookup(h, nRowK))
            aKeys.Add(nRowK);
        if (tree.ItemHasChildren(h))
            CollectCheckedRows(tree, h, aKeys);
    }
}

int CALLBACK BrowseCallback(HWND hWnd, UINT nMsg, LPARAM, LPARAM lpData)
{
    if (nMsg == BFFM_INITIALIZED && lpData)
        SendMessage(hWnd, BFFM_SETSELECTION, TRUE, lpData);
    return 0;
}

} // namespace

BEGIN_MESSAGE_MAP(CDlgSaveResultPic, CPVSDlgModalessBase)
ON_BN_CLICKED(IDC_SRP_AUTO_RANGE, OnAutoRange)
ON_BN_CLICKED(IDC_SRP_REAL_DISP, OnRealDisplacement)
ON_BN_CLICKED(IDC_SRP_DEFORMED, OnDeformed)
ON_NOTIFY(UDN_DELTAPOS, IDC_SRP_DIVISIONS_SPIN, OnDeltaposDivisions)
ON_BN_CLICKED(IDC_SRP_IMPORT, OnImportSettings)
ON_BN_CLICKED(IDC_SRP_EXPORT, OnExportSettings)
ON_BN_CLICKED(IDC_SRP_BROWSE, OnBrowseFolder)
ON_BN_CLICKED(IDC_SRP_WORD, OnSaveWordDocument)
END_MESSAGE_MAP()

CDlgSaveResultPic::CDlgSaveResultPic(CWnd* pParent) : CPVSDlgModalessBase(IDD, pParent)
{
    (void)g_bResources;
    m_Setting.Initialize();
    m_pMySelf = this;
}

CDlgSaveResultPic::~CDlgSaveResultPic()
{
    if (m_pMySelf == this)
        m_pMySelf = nullptr;
}

void CDlgSaveResultPic::CreateOrActivate(CWnd* pParent)
{
    kvpvs::dialogs::RunGuarded([&] {
        kvpvs::dialogs::CreateOrActivateModeless<CDlgSaveResultPic>(m_reg, pParent, [](CDlgSaveResultPic&) {});
    });
}

LRESULT CDlgSaveResultPic::WindowProc(UINT nMsg, WPARAM wParam, LPARAM lParam)
{
    return kvpvs::dialogs::GuardedWindowProc([&] { return CPVSDlgModalessBase::WindowProc(nMsg, wParam, lParam); });
}

void CDlgSaveResultPic::DoDataExchange(CDataExchange* pDX)
{
    CPVSDlgModalessBase::DoDataExchange(pDX);
    DDX_Control(pDX, IDC_SRP_TREE, m_Tree);
    DDX_Control(pDX, IDC_SRP_FORMAT, m_cobxFormat);
    DDX_Control(pDX, IDC_SRP_AUTO_RANGE, m_chkAutoRange);
    DDX_Control(pDX, IDC_SRP_MAX, m_editMax);
    DDX_Control(pDX, IDC_SRP_MIN, m_editMin);
    DDX_Control(pDX, IDC_SRP_DIVISIONS, m_editDivisions);
    DDX_Control(pDX, IDC_SRP_DIVISIONS_SPIN, m_spinDivisions);
    DDX_Control(pDX, IDC_SRP_DEFORM_SCALE, m_editDeformScale);
    DDX_Control(pDX, IDC_SRP_REAL_DISP, m_chkRealDisp);
    DDX_Control(pDX, IDC_SRP_VECTOR_SCALE, m_editVectorScale);
    DDX_Control(pDX, IDC_SRP_DIAGRAM_SCALE, m_editDiagramScale);
    DDX_Control(pDX, IDC_SRP_IMAGE_TYPE, m_cobxImageType);
    DDX_Control(pDX, IDC_SRP_DEFORMED, m_chkDeformed);
    DDX_Control(pDX, IDC_SRP_DEFORMED_DATA, m_cobxDeformedData);
    DDX_Control(pDX, IDC_SRP_WITH_UNDEFORMED, m_chkWithUndeformed);
    for (int v = 0; v < T_RESULT_PIC_SETTING_D::VIEW_COUNT; ++v)
        DDX_Control(pDX, kViewButtons[v], m_btnViews[v]);
    DDX_Control(pDX, IDC_SRP_FOLDER, m_editFolder);
    DDX_Control(pDX, IDC_SRP_BROWSE, m_btnBrowse);
    DDX_Control(pDX, IDC_SRP_PREFIX, m_editPrefix);
}

BOOL CDlgSaveResultPic::OnInitDialog()
{
    CPVSDlgModalessBase::OnInitDialog();
    m_btnBrowse.SetImage(IDB_SRP_BROWSE);
    m_Tree.InitCheckImages();
    m_Tree.BuildResultTree();
    m_Setting.Initialize();
    for (int i = 0; i < 3; ++i)
        AddItem(m_cobxFormat, kFormatTexts[i], i);
    for (int i = 0; i < 4; ++i)
        AddItem(m_cobxImageType, CMsgDll::pfuncLoadStr(kImageTypeTexts[i], 0), i);
    for (int i = 0; i < 4; ++i)
        AddItem(m_cobxDeformedData, kDeformedDataTexts[i], kDeformedDataCodes[i]);
    for (int v = 0; v < T_RESULT_PIC_SETTING_D::VIEW_COUNT; ++v)
        if (!m_bmpViews[v].LoadBitmap(kViewBitmaps[v]))
            return FALSE;
    for (int v = 0; v < T_RESULT_PIC_SETTING_D::VIEW_COUNT; ++v)
        m_btnViews[v].SetBitmap(m_bmpViews[v]);
    SetDataToControls(0);
    CFileCtrl file;
    file.SetFilePathNameExt(m_pDoc ? m_pDoc->GetPathName().GetString() : "");
    m_editFolder.SetWindowText(file.GetFilePath() + "\\Image\\");
    m_editPrefix.SetWindowText("");
    m_toolTip.Create(this);
    for (int v = 0; v < T_RESULT_PIC_SETTING_D::VIEW_COUNT; ++v)
        m_toolTip.AddTool(&m_btnViews[v], CMsgDll::pfuncLoadStr(kViewTips[v], 0));
    return TRUE;
}

BOOL CDlgSaveResultPic::PreTranslateMessage(MSG* pMsg)
{
    BOOL bDone = FALSE;
    kvpvs::dialogs::RunGuarded([&] {
        m_toolTip.RelayEvent(pMsg);
        bDone = CDlgMove::PreTranslateMessage(pMsg);
    });
    return bDone;
}

void CDlgSaveResultPic::SetDataToControls(int bFromSetting)
{
    m_cobxFormat.SetCurSel(m_Setting.nImageFormat);
    int bAuto = m_Setting.bAutoRange;
    double dMax = m_Setting.dMax, dMin = m_Setting.dMin;
    int nDivisions = m_Setting.nDivisions;
    double dVector = m_Setting.dVectorScale, dDeform = m_Setting.dDeformScale, dDiagram = m_Setting.dDiagramScale;
    if (!bFromSetting) {
        CPostVisualState* pState = CPostVisualState::Instance();
        const T_PVIST_CONT_D& cont = pState->GetCurrentPA()->cont;
        bAuto = cont.bUserRange ? 0 : 1;
        dMax = cont.dRangeMax;
        dMin = cont.dRangeMin;
        nDivisions = cont.GetBandNum();
        dVector = pState->GetCurrentPS()->dVectorScale;
        dDiagram = pState->GetCurrentPS()->dDgrmScale;
        dDeform = pState->GetCurrentPA()->dDeformScale;
    }
    m_chkAutoRange.SetCheck(bAuto ? 1 : 0);
    m_editMax.SetEditUnit(dMax);
    m_editMin.SetEditUnit(dMin);
    m_editDivisions.SetEditUnit(nDivisions);
    m_editVectorScale.SetEditUnit(dVector);
    m_editDeformScale.SetEditUnit(dDeform);
    m_editDiagramScale.SetEditUnit(dDiagram);
    m_editMax.EnableWindow(!bAuto);
    m_editMin.EnableWindow(!bAuto);
    m_editDivisions.EnableWindow(!bAuto);
    m_chkRealDisp.SetCheck(m_Setting.bRealDisp ? 1 : 0);
    m_editDeformScale.EnableWindow(!m_Setting.bRealDisp);
    m_cobxImageType.SetCurSel(m_Setting.nImageType);
    m_chkDeformed.SetCheck(m_Setting.bDeformed ? 1 : 0);
    int nData = 0;
    for (int i = 0; i < 4; ++i)
        if (kDeformedDataCodes[i] == m_Setting.nDeformedData)
            nData = i;
    m_cobxDeformedData.SetCurSel(nData);
    m_cobxDeformedData.EnableWindow(m_Setting.bDeformed != 0);
    m_chkWithUndeformed.SetCheck(m_Setting.bWithUndeformed ? 1 : 0);
    m_chkWithUndeformed.EnableWindow(m_Setting.bDeformed != 0);
    for (int v = 0; v < T_RESULT_PIC_SETTING_D::VIEW_COUNT; ++v)
        m_btnViews[v].SetCheck(m_Setting.aViews[v] ? 1 : 0);
    UpdateData(FALSE);
}

void CDlgSaveResultPic::GetDataFromControls()
{
    UpdateData(TRUE);
    m_Setting.Initialize();
    for (HTREEITEM hRoot = m_Tree.GetRootItem(); hRoot; hRoot = m_Tree.GetNextSiblingItem(hRoot))
        if (m_Tree.ItemHasChildren(hRoot))
            CollectCheckedRows(m_Tree, hRoot, m_Setting.aCompKeys);
    m_Setting.nImageFormat = SelectedData(m_cobxFormat, m_Setting.nImageFormat);
    m_Setting.bAutoRange = m_chkAutoRange.GetCheck() ? 1 : 0;
    if (!m_Setting.bAutoRange) {
        m_Setting.dMax = m_editMax.GetEditValue();
        m_Setting.dMin = m_editMin.GetEditValue();
        int n = 0;
        if (TypedInteger(EditText(m_editDivisions), n) && n >= 1)
            m_Setting.nDivisions = n;
    }
    m_Setting.dVectorScale = m_editVectorScale.GetEditValue();
    m_Setting.dDiagramScale = m_editDiagramScale.GetEditValue();
    m_Setting.bRealDisp = m_chkRealDisp.GetCheck() ? 1 : 0;
    m_Setting.dDeformScale = m_Setting.bRealDisp ? 1.0 : m_editDeformScale.GetEditValue();
    m_Setting.nImageType = SelectedData(m_cobxImageType, m_Setting.nImageType);
    m_Setting.bDeformed = m_chkDeformed.GetCheck() ? 1 : 0;
    if (m_Setting.bDeformed)
        m_Setting.nDeformedData = SelectedData(m_cobxDeformedData, m_Setting.nDeformedData);
    m_Setting.bWithUndeformed = m_chkWithUndeformed.GetCheck() ? 1 : 0;
    for (int v = 0; v < T_RESULT_PIC_SETTING_D::VIEW_COUNT; ++v)
        m_Setting.aViews[v] = m_btnViews[v].GetCheck() ? 1 : 0;
    // An empty folder stays empty: a lone separator would name the root of the file system.
    m_Setting.strFolder = WithBackslash(EditText(m_editFolder));
}

BOOL CDlgSaveResultPic::CheckTypedNumbers()
{
    auto refuse = [](CEdit& edit, const char* pszMessage) {
        AfxMessageBox(pszMessage, MB_ICONWARNING);
        edit.SetFocus();
        return FALSE;
    };
    auto finite = [](const CEditUnit& edit) { return std::isfinite(edit.GetEditValue()); };
    if (m_chkAutoRange.GetCheck() == 0) {
        int n = 0;
        if (!TypedInteger(EditText(m_editDivisions), n))
            return refuse(m_editDivisions, "Please enter an integer.");
        if (n < 1) {
            CString msg;
            msg.Format("Please enter an integer between 1 and %d.", INT_MAX);
            return refuse(m_editDivisions, msg);
        }
        if (!finite(m_editMax))
            return refuse(m_editMax, "Please enter a number.");
        if (!finite(m_editMin))
            return refuse(m_editMin, "Please enter a number.");
    }
    if (!finite(m_editVectorScale))
        return refuse(m_editVectorScale, "Please enter a number.");
    if (!finite(m_editDiagramScale))
        return refuse(m_editDiagramScale, "Please enter a number.");
    if (m_chkRealDisp.GetCheck() == 0 && !finite(m_editDeformScale))
        return refuse(m_editDeformScale, "Please enter a number.");
    return TRUE;
}

void CDlgSaveResultPic::OnOK()
{
    if (!CheckTypedNumbers()) {
        m_aCaptions.RemoveAll();
        return;
    }
    CDBDoc* pDoc = CDBDoc::GetDocPoint();
    ShowWindow(SW_HIDE);
    if (pDoc) {
        if (CAISContext* pContext = CAISContext::Of(pDoc))
            pContext->UpdateCurrentViewer();
        pDoc->UpdateAllViews(nullptr, 0, nullptr);
    }
    GetDataFromControls();

    T_VIEW_STATUS status;
    status.Initialize();
    status.nImageType = m_Setting.nImageType;
    for (int v = 0; v < T_RESULT_PIC_SETTING_D::VIEW_COUNT; ++v)
        status.aViews[v] = m_Setting.aViews[v] ? 1 : 0;
    status.nShapeMode = !m_Setting.bDeformed ? 0 : (m_Setting.bWithUndeformed ? 2 : 1);
    status.nDeformedData = status.nShapeMode != 0 ? m_Setting.nDeformedData : 0;
    status.bAutoRange = m_Setting.bAutoRange;
    status.dMax = m_Setting.dMax;
    status.dMin = m_Setting.dMin;
    status.nDivisions = m_Setting.nDivisions;
    status.dVectorScale = m_Setting.dVectorScale;
    status.dDiagramScale = m_Setting.dDiagramScale;
    status.bRealDisp = m_Setting.bRealDisp;
    if (!m_Setting.bRealDisp)
        status.dDeformScale = m_Setting.dDeformScale;
    status.nImageFormat = m_Setting.nImageFormat;

    CFileCtrl file;
    file.SetFilePathNameExt(pDoc ? pDoc->GetPathName().GetString() : "");
    const BOOL bAnyView = BuildResultPicNames(pDoc ? pDoc->GetPostDB() : nullptr, m_Setting,
                                              EditText(m_editPrefix).GetString(), file.GetFileName().GetString(),
                                              m_aFileNames, m_aCaptions);
    const char* pszError = nullptr;
    if (m_Setting.aCompKeys.GetSize() == 0)
        pszError = IDS_ZOR_PVS_Error_No_result_component_is_selected;
    else if (!bAnyView)
        pszError = IDS_ZOR_PVS_Error_No_view_point_is_selected;
    if (pszError) {
        ShowWindow(SW_SHOW);
        MessageBox(CMsgDll::pfuncLoadStr(pszError, 0), nullptr, MB_OK);
        m_aCaptions.RemoveAll();
        return;
    }
    if (pDoc)
        pDoc->SaveResultPictures(m_Setting.aCompKeys, m_aFileNames, status, m_Setting.strFolder);
    ShowWindow(SW_SHOW);
}

void CDlgSaveResultPic::OnCancel() { DestroyWindow(); }

void CDlgSaveResultPic::OnSaveWordDocument()
{
    OnOK();
    if (m_aCaptions.GetSize() == 0)
        return;
    CWdDoc word;
    if (!word.InitWordEnv())
        return;
    const CString strFolder = WithBackslash(EditText(m_editFolder));
    const int nFormat = m_Setting.nImageFormat;
    const char* pszExt = nFormat >= 0 && nFormat < 5 ? kWordExtensions[nFormat] : "";
    word.SetAlignment(1);
    word.SetBold(1);
    CStringArray aPaths, aCaptions;
    for (int i = 0; i < m_aFileNames.GetSize(); ++i) {
        if (m_aFileNames[i].IsEmpty())
            continue;
        aPaths.Add(strFolder + m_aFileNames[i] + pszExt);
        aCaptions.Add(i < m_aCaptions.GetSize() ? m_aCaptions[i] : CString());
    }
    word.AddPicture(aPaths, aCaptions, 1, 0);
    word.CleanWordEnv();
}

void CDlgSaveResultPic::OnAutoRange()
{
    const BOOL bEnable = m_chkAutoRange.GetCheck() == 0;
    m_editMax.EnableWindow(bEnable);
    m_editMin.EnableWindow(bEnable);
    m_editDivisions.EnableWindow(bEnable);
}

void CDlgSaveResultPic::OnRealDisplacement() { m_editDeformScale.EnableWindow(m_chkRealDisp.GetCheck() == 0); }

void CDlgSaveResultPic::OnDeformed()
{
    const BOOL bEnable = m_chkDeformed.GetCheck() != 0;
    m_cobxDeformedData.EnableWindow(bEnable);
    m_chkWithUndeformed.EnableWindow(bEnable);
}

void CDlgSaveResultPic::OnDeltaposDivisions(NMHDR* pNMHDR, LRESULT* pResult)
{
    if (pNMHDR && pNMHDR->idFrom == IDC_SRP_DIVISIONS_SPIN)
        CDlgUtil::SetSpinValue(this, IDC_SRP_DIVISIONS, 1, -1, pNMHDR, pResult);
}

void CDlgSaveResultPic::OnImportSettings()
{
    CFileDialog dlg(TRUE, nullptr, nullptr, OFN_HIDEREADONLY | OFN_OVERWRITEPROMPT,
                    CMsgDll::pfuncLoadStr(IDS_ZOR_PVS_RPD_FILTER, 0), this);
    if (dlg.DoModal() != IDOK)
        return;
    if (ImportResultPicSettings(dlg.GetPathName(), m_Setting))
        SetDataToControls(1);
}

void CDlgSaveResultPic::OnExportSettings()
{
    if (!CheckTypedNumbers())
        return;
    CFileDialog dlg(FALSE, "rpd", nullptr, OFN_HIDEREADONLY | OFN_OVERWRITEPROMPT,
                    CMsgDll::pfuncLoadStr(IDS_ZOR_PVS_RPD_FILTER, 0), this);
    if (dlg.DoModal() != IDOK)
        return;
    GetDataFromControls();
    ExportResultPicSettings(dlg.GetPathName(), m_Setting);
}

void CDlgSaveResultPic::OnBrowseFolder()
{
    UpdateData(TRUE);
    CString strFolder = EditText(m_editFolder);
    BrowseForFolder(strFolder, strFolder);
    m_editFolder.SetWindowText(WithBackslash(strFolder));
}

void CDlgSaveResultPic::BrowseForFolder(CString& strOut, const char* pszInitial)
{
    char szInitial[kMaxInitialFolder + 1] = {};
    if (pszInitial && *pszInitial)
        std::strncpy(szInitial, pszInitial, kMaxInitialFolder);
    else
        GetCurrentDirectory(sizeof szInitial, szInitial);
    char szDisplay[MAX_PATH] = {};
    BROWSEINFO info;
    CWnd* pMain = AfxGetMainWnd();
    info.hwndOwner = pMain ? pMain->m_hWnd : nullptr;
    info.pszDisplayName = szDisplay;
    info.ulFlags = BIF_RETURNONLYFSDIRS;
    info.lpfn = &BrowseCallback;
    info.lParam = reinterpret_cast<LPARAM>(szInitial);
    LPITEMIDLIST pList = SHBrowseForFolder(&info);
    if (!pList)
        return;
    char szPath[MAX_PATH] = {};
    if (SHGetPathFromIDList(pList, szPath))
        strOut = szPath;
    CoTaskMemFree(pList);
}
