#include "DBDlgBase.h"

#include <map>

IMPLEMENT_DYNAMIC(CDBDlgBase, CDlgModeless)

namespace {
UINT g_nNextRegID = 1;
struct Registered {
    HWND hWnd = nullptr;
    int nActivations = 0;
};
std::map<UINT, Registered>& Dialogs()
{
    // Never destroyed: objects torn down at process exit may still reach it.
    static auto* dialogs = new std::map<UINT, Registered>;
    return *dialogs;
}
} // namespace

UINT CDBDlgBase::RegisterDialog() { return g_nNextRegID++; }

BOOL CDBDlgBase::ActivateDlg(UINT nRegID)
{
    auto it = Dialogs().find(nRegID);
    if (it == Dialogs().end() || !IsWindow(it->second.hWnd))
        return FALSE;
    ++it->second.nActivations;
    if (CWnd* p = CWnd::FromHandle(it->second.hWnd)) {
        p->ShowWindow(SW_SHOW);
        p->SetFocus();
    }
    return TRUE;
}

int CDBDlgBase::ActivationCount(UINT nRegID)
{
    auto it = Dialogs().find(nRegID);
    return it == Dialogs().end() ? 0 : it->second.nActivations;
}

BOOL CDBDlgBase::Create(UINT nRegID, UINT nIDTemplate, CWnd* pParent)
{
    // Registered once its window exists; a failed creation leaves no entry.
    if (!CDialog::Create(nIDTemplate, pParent))
        return FALSE;
    Dialogs()[nRegID].hWnd = m_hWnd;
    return TRUE;
}
