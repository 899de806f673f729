#include "afx_standin.h"
#include "afxcmn.h"

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <deque>
#include <map>
#include <string>
#include <vector>

const CRuntimeClass CObject::classCObject = {"CObject", nullptr};
const CRuntimeClass* CObject::GetRuntimeClass() const { return &classCObject; }

BOOL CRuntimeClass::IsDerivedFrom(const CRuntimeClass* pBase) const
{
    for (const CRuntimeClass* p = this; p; p = p->m_pBaseClass)
        if (p == pBase)
            return TRUE;
    return FALSE;
}

IMPLEMENT_DYNAMIC(CCmdTarget, CObject)
IMPLEMENT_DYNAMIC(CWnd, CCmdTarget)
IMPLEMENT_DYNAMIC(CView, CWnd)
IMPLEMENT_DYNAMIC(CFrameWnd, CWnd)
IMPLEMENT_DYNAMIC(CDialog, CWnd)
IMPLEMENT_DYNAMIC(CStatic, CWnd)
IMPLEMENT_DYNAMIC(CEdit, CWnd)
IMPLEMENT_DYNAMIC(CButton, CWnd)
IMPLEMENT_DYNAMIC(CListBox, CWnd)
IMPLEMENT_DYNAMIC(CCheckListBox, CListBox)
IMPLEMENT_DYNAMIC(CComboBox, CWnd)
IMPLEMENT_DYNAMIC(CDynLinkLibrary, CCmdTarget)

namespace {
bool g_failNextCreate = false;
}

void AfxStandInFailNextDialogCreate() { g_failNextCreate = true; }

// ---- message maps -------------------------------------------------------------------------
const AFX_MSGMAP* CCmdTarget::GetThisMessageMap()
{
    static const AFX_MSGMAP_ENTRY entries[] = {{0, 0, 0, 0, AfxSig_end, {}}};
    static const AFX_MSGMAP map = {nullptr, &entries[0]};
    return &map;
}

BOOL CCmdTarget::DispatchMapped(UINT nMessage, UINT nCode, UINT nID, WPARAM wParam, LPARAM lParam,
                                LRESULT* pResult)
{
    // Most derived class first: a derived entry hides the base's entry for the same message.
    for (const AFX_MSGMAP* pMap = GetMessageMap(); pMap;
         pMap = pMap->pfnGetBaseMap ? pMap->pfnGetBaseMap() : nullptr) {
        for (const AFX_MSGMAP_ENTRY* e = pMap->lpEntries; e->nSig != AfxSig_end; ++e) {
            if (e->nMessage != nMessage)
                continue;
            if ((nMessage == WM_COMMAND || nMessage == WM_NOTIFY) &&
                (e->nCode != nCode || nID < e->nID || nID > e->nLastID))
                continue;
            switch (e->nSig) {
            case AfxSig_vv: (this->*(e->pfn.vv))(); break;
            case AfxSig_iv: (void)(this->*(e->pfn.iv))(); break;
            case AfxSig_vwl: (this->*(e->pfn.vwl))(static_cast<UINT>(wParam), lParam); break;
            case AfxSig_vt: (this->*(e->pfn.vt))(static_cast<UINT_PTR>(wParam)); break;
            case AfxSig_vNMHDRpl: {
                LRESULT r = 0;
                (this->*(e->pfn.vNMHDRpl))(reinterpret_cast<NMHDR*>(lParam), &r);
                if (pResult)
                    *pResult = r;
                break;
            }
            default: break;
            }
            return TRUE;
        }
    }
    return FALSE;
}

// ---- windows -------------------------------------------------------------------------------
CWnd::~CWnd()
{
    // A window object deleted while its handle lives must not leave the handle behind.
    if (m_hWnd)
        Win32UnregisterWindow(m_hWnd);
}

CWnd* CWnd::FromHandle(HWND hWnd)
{
    if (auto* p = static_cast<CWnd*>(Win32WindowObject(hWnd)))
        return p;
    if (!hWnd || !IsWindow(hWnd))
        return nullptr;
    // A window of another process: never destroyed, as the framework keeps such objects.
    static auto* temporaries = new std::map<HWND, CWnd*>;
    CWnd*& p = (*temporaries)[hWnd];
    if (!p) {
        p = new CWnd;
        p->m_hWnd = hWnd;
    }
    return p;
}

namespace {
int g_nOpenDCs = 0;
}

CDC* CWnd::GetDC()
{
    ++g_nOpenDCs;
    return new CDC;
}

int CWnd::ReleaseDC(CDC* pDC)
{
    if (!pDC)
        return 0;
    --g_nOpenDCs;
    delete pDC;
    return 1;
}

int AfxStandInOpenDCCount() { return g_nOpenDCs; }

CSize CDC::GetTextExtent(const char* psz, int nCount) const
{
    return CSize{psz && nCount > 0 ? kCharWidth * nCount : 0, kCharHeight};
}

BOOL CWnd::CreateWindowCore(CWnd* pParent, BOOL bChild, UINT nID)
{
    if (m_hWnd && IsWindow(m_hWnd))
        return FALSE;
    m_pParent = pParent;
    m_hWndParent = pParent ? pParent->m_hWnd : nullptr;
    m_nID = nID;
    m_bDestroying = FALSE;
    m_hWnd = Win32RegisterWindow(this, &CWnd::DestroyThunk, m_hWndParent, bChild, &CWnd::ProcThunk);
    return TRUE;
}

void CWnd::DestroyThunk(void* p) { static_cast<CWnd*>(p)->DestroyWindow(); }

LRESULT CWnd::ProcThunk(void* p, UINT nMsg, WPARAM wParam, LPARAM lParam)
{
    return static_cast<CWnd*>(p)->WindowProc(nMsg, wParam, lParam);
}

CWnd* CWnd::GetParent() const
{
    if (m_hWnd)
        return m_hWndParent && IsWindow(m_hWndParent) ? FromHandle(m_hWndParent) : nullptr;
    return m_pParent;
}

BOOL CWnd::DestroyWindow()
{
    if (!m_hWnd || !IsWindow(m_hWnd) || m_bDestroying)
        return FALSE;
    m_bDestroying = TRUE;
    const HWND h = m_hWnd;
    HWND related[256];
    // Owned top-level windows go before their owner, as the system does.
    int n = std::min(Win32RelatedWindows(h, FALSE, related, 256), 256);
    for (int i = 0; i < n; ++i)
        ::DestroyWindow(related[i]);
    SendMessage(WM_DESTROY, 0, 0);
    n = std::min(Win32RelatedWindows(h, TRUE, related, 256), 256);
    for (int i = 0; i < n; ++i)
        ::DestroyWindow(related[i]);
    Win32KillWindowTimers(h);
    Win32UnregisterWindow(h);
    m_hWnd = nullptr;
    m_bVisible = FALSE;
    m_bDestroying = FALSE;
    // May delete this object: nothing may touch members afterwards.
    PostNcDestroy();
    return TRUE;
}

BOOL CWnd::ShowWindow(int nCmdShow)
{
    BOOL was = m_bVisible;
    m_bVisible = nCmdShow != SW_HIDE;
    return was;
}

BOOL CWnd::EnableWindow(BOOL bEnable)
{
    BOOL wasDisabled = !m_bEnabled;
    m_bEnabled = bEnable ? TRUE : FALSE;
    return wasDisabled;
}

void CWnd::MoveWindow(int x, int y, int nWidth, int nHeight, BOOL)
{
    m_rect.left = x;
    m_rect.top = y;
    m_rect.right = x + nWidth;
    m_rect.bottom = y + nHeight;
}

CWnd* CWnd::GetDlgItem(UINT nID) const
{
    if (!m_hWnd)
        return nullptr;
    HWND children[512];
    const int n = std::min(Win32RelatedWindows(m_hWnd, TRUE, children, 512), 512);
    for (int i = 0; i < n; ++i) {
        CWnd* p = FromHandle(children[i]);
        if (p && p->m_nID == nID)
            return p;
    }
    return nullptr;
}

BOOL CWnd::IsChildOrSelf(HWND hWnd) const
{
    for (HWND h = hWnd; h; h = ::GetParent(h))
        if (h == m_hWnd)
            return TRUE;
    return FALSE;
}

CWnd* CWnd::SetFocus()
{
    HWND old = ::SetFocus(m_hWnd);
    if (old != m_hWnd && m_hWnd)
        OnFocusArrived();
    return FromHandle(old);
}

LRESULT CWnd::SendMessage(UINT nMsg, WPARAM wParam, LPARAM lParam) { return ::SendMessage(m_hWnd, nMsg, wParam, lParam); }
BOOL CWnd::PostMessage(UINT nMsg, WPARAM wParam, LPARAM lParam) { return ::PostMessage(m_hWnd, nMsg, wParam, lParam); }
UINT_PTR CWnd::SetTimer(UINT_PTR nIDEvent, UINT nElapse, void* pfn) { return ::SetTimer(m_hWnd, nIDEvent, nElapse, pfn); }
BOOL CWnd::KillTimer(UINT_PTR nIDEvent) { return ::KillTimer(m_hWnd, nIDEvent); }

BOOL CWnd::PreTranslateMessage(MSG*) { return FALSE; }

BOOL CWnd::UpdateData(BOOL bSaveAndValidate)
{
    CDataExchange dx(this, bSaveAndValidate);
    try {
        DoDataExchange(&dx);
    } catch (const CUserException&) {
        return FALSE;
    }
    return TRUE;
}

int CWnd::MessageBox(const char* pszText, const char* pszCaption, UINT nType)
{
    return ::MessageBox(m_hWnd, pszText, pszCaption ? pszCaption : "", nType);
}

LRESULT CWnd::WindowProc(UINT nMsg, WPARAM wParam, LPARAM lParam)
{
    if (nMsg == WM_NOTIFY) {
        // The notification names its control and code in its header.
        const auto* pHdr = reinterpret_cast<const NMHDR*>(lParam);
        LRESULT r = 0;
        if (pHdr && DispatchMapped(nMsg, pHdr->code, static_cast<UINT>(pHdr->idFrom), wParam, lParam, &r))
            return r;
        return DefWindowProc(nMsg, wParam, lParam);
    }
    if (DispatchMapped(nMsg, HIWORD(wParam), LOWORD(wParam), wParam, lParam))
        return 0;
    return DefWindowProc(nMsg, wParam, lParam);
}

LRESULT CWnd::DefWindowProc(UINT nMsg, WPARAM wParam, LPARAM lParam)
{
    switch (nMsg) {
    case WM_DESTROY: OnDestroy(); break;
    case WM_SYSCOMMAND: OnSysCommand(static_cast<UINT>(wParam), lParam); break;
    case WM_TIMER: OnTimer(static_cast<UINT_PTR>(wParam)); break;
    case WM_CLOSE: DestroyWindow(); break;
    default: break;
    }
    return 0;
}

void CWnd::OnSysCommand(UINT nID, LPARAM)
{
    if ((nID & 0xFFF0u) == SC_CLOSE)
        SendMessage(WM_CLOSE);
}

BOOL CWnd::SubclassDlgItem(UINT nID, CWnd* pParent)
{
    CWnd* pOld = pParent ? pParent->GetDlgItem(nID) : nullptr;
    if (!pOld || pOld == this)
        return pOld == this;
    CopyControlState(*pOld);
    const HWND h = pOld->m_hWnd;
    // The member takes the handle: registry entry, id, parent; the generic object is freed.
    Win32UnregisterWindow(h);
    pOld->m_hWnd = nullptr;
    m_hWnd = Win32RegisterWindow(this, &CWnd::DestroyThunk, pParent->m_hWnd, TRUE, &CWnd::ProcThunk);
    m_hWndParent = pParent->m_hWnd;
    m_pParent = pParent;
    m_nID = nID;
    auto& owned = pParent->m_aOwnedControls;
    owned.erase(std::remove_if(owned.begin(), owned.end(), [&](const auto& p) { return p.get() == pOld; }), owned.end());
    return TRUE;
}

void CWnd::CopyControlState(const CWnd& from)
{
    m_strText = from.m_strText;
    m_bVisible = from.m_bVisible;
    m_bEnabled = from.m_bEnabled;
    m_rect = from.m_rect;
    m_nStyle = from.m_nStyle;
}

LRESULT CFrameWnd::WindowProc(UINT nMsg, WPARAM wParam, LPARAM lParam)
{
    if (nMsg == WM_COMMAND)
        m_aCommands.push_back(T_COMMAND_D{wParam, lParam});
    return CWnd::WindowProc(nMsg, wParam, lParam);
}

CWnd* AfxGetMainWnd()
{
    static CFrameWnd* pMain = [] {
        auto* p = new CFrameWnd;
        p->CreateWindowCore(nullptr);
        p->MoveWindow(0, 0, 1280, 1024);
        p->ShowWindow(SW_SHOW);
        return p;
    }();
    return pMain;
}

std::vector<CFrameWnd::T_COMMAND_D>& AfxStandInMainWndCommands()
{
    return static_cast<CFrameWnd*>(AfxGetMainWnd())->m_aCommands;
}

int AfxMessageBox(const char* pszText, UINT nType, UINT)
{
    return ::MessageBox(AfxGetMainWnd()->m_hWnd, pszText, "", nType);
}

// ---- controls ------------------------------------------------------------------------------
void CEdit::OnFocusArrived()
{
    if (CWnd* p = GetParent())
        p->SendMessage(WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(), EN_SETFOCUS), reinterpret_cast<LPARAM>(m_hWnd));
}

void CButton::CopyControlState(const CWnd& from)
{
    CWnd::CopyControlState(from);
    if (const auto* b = dynamic_cast<const CButton*>(&from)) {
        m_nCheck = b->m_nCheck;
        m_hBitmap = b->m_hBitmap;
    }
}

int CListBox::AddString(const char* psz)
{
    m_aItems.push_back(Item{CString(psz ? psz : ""), 0, 0});
    return GetCount() - 1;
}

int CListBox::InsertString(int nIndex, const char* psz)
{
    if (nIndex == -1)
        return AddString(psz);
    if (nIndex < 0 || nIndex > GetCount())
        return -1;
    m_aItems.insert(m_aItems.begin() + nIndex, Item{CString(psz ? psz : ""), 0, 0});
    if (m_nCurSel >= nIndex)
        ++m_nCurSel;
    return nIndex;
}

void CListBox::ResetContent()
{
    m_aItems.clear();
    m_nCurSel = -1;
}

int CListBox::GetText(int i, CString& r) const
{
    if (i < 0 || i >= GetCount())
        return -1;
    r = m_aItems[static_cast<size_t>(i)].strText;
    return r.GetLength();
}

DWORD_PTR CListBox::GetItemData(int i) const
{
    return i >= 0 && i < GetCount() ? m_aItems[static_cast<size_t>(i)].nData : static_cast<DWORD_PTR>(-1);
}

int CListBox::SetItemData(int i, DWORD_PTR d)
{
    if (i < 0 || i >= GetCount())
        return -1;
    m_aItems[static_cast<size_t>(i)].nData = d;
    return 0;
}

int CListBox::SetCurSel(int i)
{
    m_nCurSel = i >= 0 && i < GetCount() ? i : -1;
    return m_nCurSel;
}

int CCheckListBox::GetCheck(int i) const { return i >= 0 && i < GetCount() ? m_aItems[static_cast<size_t>(i)].nCheck : 0; }

void CCheckListBox::SetCheck(int i, int nCheck)
{
    if (i >= 0 && i < GetCount())
        m_aItems[static_cast<size_t>(i)].nCheck = nCheck;
}

int CComboBox::AddString(const char* psz)
{
    m_aItems.push_back(Item{CString(psz ? psz : ""), 0});
    return GetCount() - 1;
}

void CComboBox::ResetContent()
{
    m_aItems.clear();
    m_nCurSel = -1;
}

void CComboBox::GetLBText(int i, CString& r) const
{
    r = i >= 0 && i < GetCount() ? m_aItems[static_cast<size_t>(i)].strText : CString();
}

DWORD_PTR CComboBox::GetItemData(int i) const
{
    return i >= 0 && i < GetCount() ? m_aItems[static_cast<size_t>(i)].nData : static_cast<DWORD_PTR>(-1);
}

int CComboBox::SetItemData(int i, DWORD_PTR d)
{
    if (i < 0 || i >= GetCount())
        return -1;
    m_aItems[static_cast<size_t>(i)].nData = d;
    return 0;
}

int CComboBox::SetCurSel(int i)
{
    m_nCurSel = i >= 0 && i < GetCount() ? i : -1;
    return m_nCurSel;
}

// ---- dialogs -------------------------------------------------------------------------------
namespace {
// A template with its own copies of its texts: a library's literals go when it is unloaded,
// while another copy of the library that registered the same template may stay loaded.
struct StoredTemplate {
    AFX_DLGTEMPLATE_D tmpl;
    std::deque<std::string> texts; // a deque keeps each text where it is as more are added
};

std::map<UINT, StoredTemplate>& Templates()
{
    static std::map<UINT, StoredTemplate> templates;
    return templates;
}

std::unique_ptr<CWnd> MakeControl(int nKind)
{
    switch (nKind) {
    case AFX_CTL_EDIT: return std::make_unique<CEdit>();
    case AFX_CTL_STATIC: return std::make_unique<CStatic>();
    case AFX_CTL_COMBO: return std::make_unique<CComboBox>();
    case AFX_CTL_LIST: return std::make_unique<CListBox>();
    case AFX_CTL_CHECKLIST: return std::make_unique<CCheckListBox>();
    case AFX_CTL_SPIN: return std::make_unique<CSpinButtonCtrl>();
    case AFX_CTL_LISTCTRL: return std::make_unique<CListCtrl>();
    default: return std::make_unique<CButton>();
    }
}
} // namespace

void AfxRegisterDialogTemplate(UINT nIDTemplate, AFX_DLGTEMPLATE_D tmpl)
{
    std::deque<std::string> texts;
    auto keep = [&texts](const char*& p) {
        if (p)
            p = texts.emplace_back(p).c_str();
    };
    keep(tmpl.pszCaption);
    for (AFX_DLGITEM_D& item : tmpl.aItems)
        keep(item.pszText);
    // Swapped, not copied: the texts stay where the template's pointers find them.
    StoredTemplate& stored = Templates()[nIDTemplate];
    stored.texts.swap(texts);
    stored.tmpl = std::move(tmpl);
}

const AFX_DLGTEMPLATE_D* AfxFindDialogTemplate(UINT nIDTemplate)
{
    auto it = Templates().find(nIDTemplate);
    return it == Templates().end() ? nullptr : &it->second.tmpl;
}

BEGIN_MESSAGE_MAP(CDialog, CWnd)
ON_COMMAND(IDOK, OnOKThunk)
ON_COMMAND(IDCANCEL, OnCancelThunk)
END_MESSAGE_MAP()

BOOL CDialog::Create(UINT nIDTemplate, CWnd* pParent)
{
    if (g_failNextCreate) {
        g_failNextCreate = false;
        return FALSE;
    }
    m_nIDTemplate = nIDTemplate;
    m_pParentWnd = pParent;
    if (!CreateWindowCore(pParent))
        return FALSE;
    if (const AFX_DLGTEMPLATE_D* t = AfxFindDialogTemplate(nIDTemplate)) {
        SetWindowText(t->pszCaption);
        for (const AFX_DLGITEM_D& item : t->aItems) {
            std::unique_ptr<CWnd> c = MakeControl(item.nKind);
            c->CreateWindowCore(this, TRUE, item.nID);
            if (item.nWidth > 0 || item.nHeight > 0)
                c->MoveWindow(0, 0, item.nWidth, item.nHeight);
            c->SetWindowText(item.pszText);
            c->m_nStyle = item.nStyle | (item.nKind == AFX_CTL_RADIO ? AFX_STYLE_RADIO : 0) |
                          (item.nKind == AFX_CTL_CHECK ? AFX_STYLE_CHECK : 0);
            c->EnableWindow((item.nStyle & WS_DISABLED) == 0);
            c->ShowWindow((item.nStyle & WS_HIDDEN) ? SW_HIDE : SW_SHOW);
            if (auto* e = dynamic_cast<CEdit*>(c.get()))
                e->SetReadOnly((item.nStyle & ES_READONLY) != 0);
            AdoptControl(std::move(c));
        }
    }
    OnInitDialog();
    return m_hWnd != nullptr;
}

BOOL CDialog::OnInitDialog()
{
    UpdateData(FALSE);
    return TRUE;
}

void CDialog::EndDialog(int nResult)
{
    // A modeless dialog is only hidden; its owner destroys it. A modal run ends after the
    // handler that called this returns.
    m_nResult = nResult;
    ShowWindow(SW_HIDE);
    if (m_bModal)
        m_bModalEnded = TRUE;
}

int CDialog::DoModal()
{
    // Not again while running, nor on a dialog whose window is already open.
    if (m_bModal || (m_hWnd && IsWindow(m_hWnd)))
        return -1;
    m_bModal = TRUE;
    m_bModalEnded = FALSE;
    m_nResult = -1;
    struct ModalEnd {
        CDialog& d;
        ~ModalEnd()
        {
            // A throwing scripted action still takes the window down with the run.
            if (d.m_hWnd)
                d.DestroyWindow();
            d.m_bModal = FALSE;
        }
    } end{*this};
    if (!Create(m_nIDTemplate, m_pParentWnd))
        return -1;
    if (!m_bModalEnded)
        ShowWindow(SW_SHOW);
    while (!m_bModalEnded && m_hWnd) {
        std::function<void(CDialog*)> action = AfxStandInNextModalAction();
        if (!action) {
            SendMessage(WM_SYSCOMMAND, SC_CLOSE, 0);
            if (!m_bModalEnded && m_hWnd)
                EndDialog(IDCANCEL);
            break;
        }
        action(this);
    }
    return m_nResult;
}

void CDialog::OnOK()
{
    if (UpdateData(TRUE))
        EndDialog(IDOK);
}

void CDialog::OnCancel() { EndDialog(IDCANCEL); }

LRESULT CDialog::DefWindowProc(UINT nMsg, WPARAM wParam, LPARAM lParam)
{
    // The dialog manager turns closing into Cancel.
    if (nMsg == WM_CLOSE) {
        SendMessage(WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
        return 0;
    }
    return CWnd::DefWindowProc(nMsg, wParam, lParam);
}

BOOL CDialog::PreTranslateMessage(MSG* pMsg)
{
    // The dialog manager: Return is the default button (OK), Escape is Cancel.
    if (pMsg->message == WM_KEYDOWN && IsChildOrSelf(pMsg->hwnd) &&
        (pMsg->wParam == VK_RETURN || pMsg->wParam == VK_ESCAPE)) {
        SendMessage(WM_COMMAND, MAKEWPARAM(pMsg->wParam == VK_RETURN ? IDOK : IDCANCEL, BN_CLICKED), 0);
        return TRUE;
    }
    return FALSE;
}

void CDialog::CheckRadioButton(UINT nFirst, UINT nLast, UINT nCheck)
{
    for (UINT id = nFirst; id <= nLast; ++id)
        if (auto* b = dynamic_cast<CButton*>(GetDlgItem(id)))
            b->SetCheck(id == nCheck ? 1 : 0);
}

// ---- dialog data exchange ------------------------------------------------------------------
CWnd* CDataExchange::PrepareCtrl(UINT nID)
{
    m_nLastID = nID;
    return m_pDlgWnd ? m_pDlgWnd->GetDlgItem(nID) : nullptr;
}

void CDataExchange::Fail()
{
    if (m_pDlgWnd)
        if (CWnd* p = m_pDlgWnd->GetDlgItem(m_nLastID))
            p->SetFocus();
    throw CUserException{};
}

void DDX_Text(CDataExchange* pDX, UINT nID, CString& value)
{
    CWnd* p = pDX->PrepareCtrl(nID);
    if (!p)
        return;
    if (pDX->m_bSaveAndValidate)
        p->GetWindowText(value);
    else
        p->SetWindowText(value);
}

namespace {
// The whole text must be one number, blanks around it allowed.
template <class T>
bool ParseNumber(const CString& s, T& out, const char* pszFormat)
{
    T v{};
    char rest[2];
    if (std::sscanf(s, pszFormat, &v, rest) != 1)
        return false;
    out = v;
    return true;
}

// An integer beyond int is no integer: refused, not wrapped as a scan would.
bool ParseNumber(const CString& s, int& out, const char*)
{
    const char* p = s.GetString();
    char* pEnd = nullptr;
    errno = 0;
    const long long v = std::strtoll(p, &pEnd, 10);
    if (pEnd == p || errno == ERANGE || v < INT_MIN || v > INT_MAX)
        return false;
    while (std::isspace(static_cast<unsigned char>(*pEnd)))
        ++pEnd;
    if (*pEnd != '\0')
        return false;
    out = static_cast<int>(v);
    return true;
}
} // namespace

namespace {
// Number fields: a text that is not one number gives the framework's message and fails the
// exchange; the value is left as it was.
template <class T>
void ExchangeNumber(CDataExchange* pDX, UINT nID, T& value, const char* pszScan, const char* pszPrint,
                    const char* pszMessage)
{
    CWnd* p = pDX->PrepareCtrl(nID);
    if (!p)
        return;
    if (pDX->m_bSaveAndValidate) {
        CString s;
        p->GetWindowText(s);
        if (!ParseNumber(s, value, pszScan)) {
            AfxMessageBox(pszMessage, MB_ICONWARNING);
            pDX->Fail();
        }
    } else {
        CString s;
        s.Format(pszPrint, value);
        p->SetWindowText(s);
    }
}
} // namespace

void DDX_Text(CDataExchange* pDX, UINT nID, int& value)
{
    ExchangeNumber(pDX, nID, value, " %d %1s", "%d", "Please enter an integer.");
}

void DDX_Text(CDataExchange* pDX, UINT nID, double& value)
{
    ExchangeNumber(pDX, nID, value, " %lf %1s", "%.15g", "Please enter a number.");
}

void DDX_Check(CDataExchange* pDX, UINT nID, int& value)
{
    auto* b = dynamic_cast<CButton*>(pDX->PrepareCtrl(nID));
    if (!b)
        return;
    if (pDX->m_bSaveAndValidate)
        value = b->GetCheck();
    else
        b->SetCheck(value);
}

void DDX_Radio(CDataExchange* pDX, UINT nID, int& value)
{
    CWnd* pDlg = pDX->m_pDlgWnd;
    pDX->PrepareCtrl(nID);
    const AFX_DLGTEMPLATE_D* t = pDlg ? AfxFindDialogTemplate(static_cast<CDialog*>(pDlg)->GetTemplateID()) : nullptr;
    if (!t)
        return;
    // The group: the radio buttons from nID in template order up to the next group start.
    auto it = std::find_if(t->aItems.begin(), t->aItems.end(), [&](const AFX_DLGITEM_D& i) { return i.nID == nID; });
    if (pDX->m_bSaveAndValidate)
        value = -1;
    int index = 0;
    for (auto i = it; i != t->aItems.end() && i->nKind == AFX_CTL_RADIO; ++i, ++index) {
        if (i != it && (i->nStyle & WS_GROUP))
            break;
        auto* b = dynamic_cast<CButton*>(pDlg->GetDlgItem(i->nID));
        if (!b)
            continue;
        if (pDX->m_bSaveAndValidate) {
            if (b->GetCheck())
                value = index;
        } else
            b->SetCheck(index == value ? 1 : 0);
    }
}

void DDX_Control(CDataExchange* pDX, UINT nID, CWnd& rControl)
{
    if (rControl.m_hWnd == nullptr)
        rControl.SubclassDlgItem(nID, pDX->m_pDlgWnd);
}

// ---- extension modules ---------------------------------------------------------------------
namespace {
bool g_failExtensionInit = false;
std::vector<AFX_EXTENSION_MODULE*>& ExtensionChain()
{
    // Never destroyed: objects torn down at process exit may still reach it.
    static auto* chain = new std::vector<AFX_EXTENSION_MODULE*>;
    return *chain;
}
// Libraries made for an extension module; released with the module.
std::vector<std::pair<CDynLinkLibrary*, AFX_EXTENSION_MODULE*>>& DynLinkLibraries()
{
    // Never destroyed: objects torn down at process exit may still reach it.
    static auto* libs = new std::vector<std::pair<CDynLinkLibrary*, AFX_EXTENSION_MODULE*>>;
    return *libs;
}
} // namespace

void AfxStandInFailExtensionInit(bool bFail) { g_failExtensionInit = bFail; }
int AfxStandInExtensionModuleCount() { return static_cast<int>(ExtensionChain().size()); }
int AfxStandInDynLinkLibraryCount() { return static_cast<int>(DynLinkLibraries().size()); }

BOOL AfxInitExtensionModule(AFX_EXTENSION_MODULE& state, HMODULE hModule)
{
    if (g_failExtensionInit)
        return FALSE;
    if (state.bInitialized)
        return TRUE;
    state.hModule = hModule;
    state.hResource = hModule;
    state.bInitialized = TRUE;
    ExtensionChain().push_back(&state);
    return TRUE;
}

void AfxTermExtensionModule(AFX_EXTENSION_MODULE& state, BOOL)
{
    auto& chain = ExtensionChain();
    chain.erase(std::remove(chain.begin(), chain.end(), &state), chain.end());
    state.bInitialized = FALSE;
    // The framework owns the module's library records and frees them with the module.
    std::vector<CDynLinkLibrary*> owned;
    for (auto& [pLib, pState] : DynLinkLibraries())
        if (pState == &state)
            owned.push_back(pLib);
    for (CDynLinkLibrary* pLib : owned)
        delete pLib;
}

CDynLinkLibrary::CDynLinkLibrary(AFX_EXTENSION_MODULE& state) : m_hModule(state.hModule), m_hResource(state.hResource)
{
    DynLinkLibraries().emplace_back(this, &state);
}

CDynLinkLibrary::~CDynLinkLibrary()
{
    auto& libs = DynLinkLibraries();
    libs.erase(std::remove_if(libs.begin(), libs.end(), [this](const auto& e) { return e.first == this; }), libs.end());
}
