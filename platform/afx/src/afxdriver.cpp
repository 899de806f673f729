#include "afx_standin.h"
#include "afxcmn.h"

#include <algorithm>
#include <deque>

namespace AfxDriver {

namespace {
CWnd* Usable(CWnd* pWnd, UINT nID)
{
    CWnd* p = pWnd ? pWnd->GetDlgItem(nID) : nullptr;
    return p && p->IsWindowVisible() && p->IsWindowEnabled() ? p : nullptr;
}

void Notify(CWnd* pCtl, UINT nCode)
{
    if (CWnd* pParent = pCtl->GetParent())
        pParent->SendMessage(WM_COMMAND, MAKEWPARAM(pCtl->GetDlgCtrlID(), nCode), reinterpret_cast<LPARAM>(pCtl->m_hWnd));
}
} // namespace

BOOL Click(CWnd* pWnd, UINT nID)
{
    CWnd* p = Usable(pWnd, nID);
    if (!p)
        return FALSE;
    if (auto* b = dynamic_cast<CButton*>(p)) {
        if (b->m_nStyle & AFX_STYLE_CHECK)
            b->SetCheck(b->GetCheck() ? 0 : 1);
        if (b->m_nStyle & AFX_STYLE_RADIO) {
            // Clears the other radio buttons of the group that holds this one.
            if (auto* d = dynamic_cast<CDialog*>(pWnd))
                if (const AFX_DLGTEMPLATE_D* t = AfxFindDialogTemplate(d->GetTemplateID())) {
                    size_t first = 0;
                    size_t at = t->aItems.size();
                    for (size_t i = 0; i < t->aItems.size(); ++i) {
                        if (t->aItems[i].nKind != AFX_CTL_RADIO || (t->aItems[i].nStyle & WS_GROUP))
                            first = i;
                        if (t->aItems[i].nID == nID) {
                            at = i;
                            break;
                        }
                    }
                    for (size_t i = first; i < t->aItems.size() && at < t->aItems.size(); ++i) {
                        if (i > at && (t->aItems[i].nKind != AFX_CTL_RADIO || (t->aItems[i].nStyle & WS_GROUP)))
                            break;
                        if (t->aItems[i].nKind == AFX_CTL_RADIO)
                            if (auto* o = dynamic_cast<CButton*>(pWnd->GetDlgItem(t->aItems[i].nID)))
                                o->SetCheck(0);
                    }
                }
            b->SetCheck(1);
        }
    }
    Notify(p, BN_CLICKED);
    return TRUE;
}

BOOL Check(CWnd* pWnd, UINT nID, int nCheck)
{
    auto* b = dynamic_cast<CButton*>(Usable(pWnd, nID));
    if (!b)
        return FALSE;
    return b->GetCheck() == nCheck ? TRUE : Click(pWnd, nID);
}

BOOL SetText(CWnd* pWnd, UINT nID, const char* pszText)
{
    CWnd* p = Usable(pWnd, nID);
    if (!p)
        return FALSE;
    p->SetWindowText(pszText);
    Notify(p, EN_CHANGE);
    return TRUE;
}

CString GetText(CWnd* pWnd, UINT nID)
{
    CString s;
    if (CWnd* p = pWnd ? pWnd->GetDlgItem(nID) : nullptr)
        p->GetWindowText(s);
    return s;
}

BOOL Select(CWnd* pWnd, UINT nID, int nIndex)
{
    CWnd* p = Usable(pWnd, nID);
    if (auto* c = dynamic_cast<CComboBox*>(p)) {
        if (c->SetCurSel(nIndex) != nIndex)
            return FALSE;
        Notify(c, CBN_SELCHANGE);
        return TRUE;
    }
    if (auto* l = dynamic_cast<CListBox*>(p)) {
        if (l->SetCurSel(nIndex) != nIndex)
            return FALSE;
        Notify(l, LBN_SELCHANGE);
        return TRUE;
    }
    return FALSE;
}

BOOL SelectListRows(CWnd* pWnd, UINT nID, const std::vector<int>& aRows, BOOL bClick)
{
    auto* l = dynamic_cast<CListCtrl*>(Usable(pWnd, nID));
    if (!l)
        return FALSE;
    for (int r : aRows)
        if (r < 0 || r >= l->GetItemCount())
            return FALSE;
    for (int i = 0; i < l->GetItemCount(); ++i)
        l->SetItemState(i, 0, LVIS_SELECTED);
    for (int r : aRows)
        l->SetItemState(r, LVIS_SELECTED, LVIS_SELECTED);
    CWnd* pParent = l->GetParent();
    if (bClick && pParent) {
        NMHDR nm;
        nm.hwndFrom = l->m_hWnd;
        nm.idFrom = nID;
        nm.code = NM_CLICK;
        pParent->SendMessage(WM_NOTIFY, nID, reinterpret_cast<LPARAM>(&nm));
    }
    return TRUE;
}

BOOL CheckItem(CWnd* pWnd, UINT nID, int nIndex, int nCheck)
{
    auto* l = dynamic_cast<CCheckListBox*>(Usable(pWnd, nID));
    if (!l || nIndex < 0 || nIndex >= l->GetCount())
        return FALSE;
    l->SetCheck(nIndex, nCheck);
    Notify(l, CLBN_CHKCHANGE);
    return TRUE;
}

BOOL Focus(CWnd* pWnd, UINT nID)
{
    CWnd* p = Usable(pWnd, nID);
    if (!p)
        return FALSE;
    p->SetFocus();
    return TRUE;
}

void PressKey(CWnd* pWnd, UINT nVirtualKey)
{
    if (!pWnd || !pWnd->m_hWnd)
        return;
    HWND hTarget = ::GetFocus();
    if (!pWnd->IsChildOrSelf(hTarget))
        hTarget = pWnd->m_hWnd;
    MSG msg;
    msg.hwnd = hTarget;
    msg.message = WM_KEYDOWN;
    msg.wParam = nVirtualKey;
    // The message loop offers the message to the window and each parent before dispatching;
    // a window destroyed on the way ends the walk.
    for (HWND h = hTarget; h && IsWindow(h);) {
        HWND hParent = ::GetParent(h);
        CWnd* p = CWnd::FromHandle(h);
        if (p && p->PreTranslateMessage(&msg))
            return;
        h = hParent;
    }
    ::SendMessage(hTarget, WM_KEYDOWN, nVirtualKey, 0);
}

void SysCommand(CWnd* pWnd, UINT nCommand)
{
    if (pWnd && pWnd->m_hWnd)
        pWnd->SendMessage(WM_SYSCOMMAND, nCommand, 0);
}

BOOL DoubleClick(CWnd* pWnd, UINT nID, int nIndex)
{
    auto* l = dynamic_cast<CListBox*>(Usable(pWnd, nID));
    if (!l || !Select(pWnd, nID, nIndex))
        return FALSE;
    Notify(l, LBN_DBLCLK);
    return TRUE;
}

BOOL Destroy(CWnd* pWnd) { return pWnd && pWnd->m_hWnd ? pWnd->DestroyWindow() : FALSE; }

BOOL ClickListItem(CWnd* pWnd, UINT nID, int nItem)
{
    auto* l = dynamic_cast<CListCtrl*>(Usable(pWnd, nID));
    CWnd* pParent = l ? l->GetParent() : nullptr;
    if (!pParent || nItem < 0 || nItem >= l->GetItemCount())
        return FALSE;
    l->SetItemState(-1, 0, LVIS_SELECTED | LVIS_FOCUSED);
    l->SetItemState(nItem, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
    NMHDR nm;
    nm.hwndFrom = l->m_hWnd;
    nm.idFrom = nID;
    nm.code = NM_CLICK;
    pParent->SendMessage(WM_NOTIFY, nID, reinterpret_cast<LPARAM>(&nm));
    return TRUE;
}

BOOL Spin(CWnd* pWnd, UINT nID, int nDelta)
{
    auto* s = dynamic_cast<CSpinButtonCtrl*>(Usable(pWnd, nID));
    CWnd* pParent = s ? s->GetParent() : nullptr;
    if (!pParent)
        return FALSE;
    NMUPDOWN nm;
    nm.hdr.hwndFrom = s->m_hWnd;
    nm.hdr.idFrom = nID;
    nm.hdr.code = UDN_DELTAPOS;
    nm.iPos = s->GetPos();
    nm.iDelta = nDelta;
    const HWND hSpin = s->m_hWnd;
    const LRESULT refused = pParent->SendMessage(WM_NOTIFY, nID, reinterpret_cast<LPARAM>(&nm));
    // The handler may have closed the dialog, and the control with it.
    if (!refused && IsWindow(hSpin)) {
        int lo = 0, hi = 0;
        s->GetRange(lo, hi);
        // In 64 bits: a position at an end of int's range steps without overflow.
        const long long next = static_cast<long long>(nm.iPos) + nm.iDelta;
        s->SetPos(static_cast<int>(std::clamp<long long>(next, std::min(lo, hi), std::max(lo, hi))));
    }
    return TRUE;
}

namespace {
std::deque<std::function<void(CDialog*)>>& ModalScript()
{
    static std::deque<std::function<void(CDialog*)>> script;
    return script;
}
} // namespace

void ScriptModal(std::function<void(CDialog*)> action)
{
    if (action)
        ModalScript().push_back(std::move(action));
}

int ModalScriptLength() { return static_cast<int>(ModalScript().size()); }
void ClearModalScript() { ModalScript().clear(); }

} // namespace AfxDriver

std::function<void(CDialog*)> AfxStandInNextModalAction()
{
    auto& script = AfxDriver::ModalScript();
    if (script.empty())
        return {};
    std::function<void(CDialog*)> action = std::move(script.front());
    script.pop_front();
    return action;
}
