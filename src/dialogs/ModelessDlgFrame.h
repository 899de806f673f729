// What the modeless result dialogs share: opened at most once per class (registered identifier,
// created or re-activated), asked to show a display through the host's mesh-manager bridge with
// their file-scope settings record, and closed with the bridge's close-time operation.
#pragma once
#include "DBDlgBase.h"
#include "DBDoc.h"
#include "PVSMeshMngrBrdg.h"

struct T_VD_USERDEF_DATA;

// Per dialog class, for the life of the module: the registered identifier and whether it has
// been fetched.
struct T_MODELESS_DLG_REG_D {
    UINT nRegID = 0;
    int bFetched = 0;
};

namespace kvpvs::dialogs {

// Creates the dialog (constructor argument pParent, document = the current CDBDoc) or, when one
// of its class is open, activates it. Nothing happens without a document. pfnPlace runs on the
// new object before its window is created. A dialog whose window cannot be made is deleted.
// Whatever fails before the dialog stands (its initialisation included) takes the half-made
// dialog away again, through its window when it has one, and goes on to the caller.
template <class TDlg, class FnPlace>
TDlg* CreateOrActivateModeless(T_MODELESS_DLG_REG_D& reg, CWnd* pParent, FnPlace&& fnPlace)
{
    if (!reg.bFetched) {
        reg.nRegID = CDBDlgBase::RegisterDialog();
        reg.bFetched = 1;
    }
    if (CDBDlgBase::ActivateDlg(reg.nRegID))
        return nullptr;
    CDBDoc* pDoc = CDBDoc::GetDocPoint();
    if (!pDoc)
        return nullptr;
    auto* pDlg = new TDlg(pParent);
    try {
        pDlg->m_pDoc = pDoc;
        fnPlace(*pDlg);
        if (!pDlg->Create(reg.nRegID, TDlg::IDD, pParent)) {
            // No window was made, so PostNcDestroy will never free the object.
            delete pDlg;
            return nullptr;
        }
    } catch (...) {
        // Through its window when it has one: the dialog then frees itself.
        if (pDlg->m_hWnd && IsWindow(pDlg->m_hWnd))
            pDlg->DestroyWindow();
        else
            delete pDlg;
        throw;
    }
    if (IsWindow(pDlg->m_hWnd))
        pDlg->ShowWindow(SW_SHOW);
    return pDlg;
}

// The bridge's display request: visual-data type, settings record, nArg1 (1, or whether the
// record changed), 0, 0. 0 when no bridge is live.
int RequestUserDefDisplay(unsigned int nVDType, T_VD_USERDEF_DATA* pRecord, int nArg1 = 1);

// The closing step of a dialog that showed a display.
void CloseUserDefDisplay();

} // namespace kvpvs::dialogs
