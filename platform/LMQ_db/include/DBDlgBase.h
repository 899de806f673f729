// Stand-in for the host's base of database dialogs: modeless dialogs registered under an
// identifier so that a class is opened at most once and re-activated. The object frees itself
// after its window is destroyed. Choice: activation shows the window and counts the call.
#pragma once
#include "DlgMove.h"

class CDBDlgBase : public CDlgModeless {
    DECLARE_DYNAMIC(CDBDlgBase)
public:
    using CDlgModeless::CDlgModeless;
    // A new identifier on every call.
    static UINT RegisterDialog();
    // Non-zero when a window registered under nRegID lives; it is then brought forward.
    static BOOL ActivateDlg(UINT nRegID);
    static int ActivationCount(UINT nRegID);
    using CDlgModeless::Create;
    BOOL Create(UINT nRegID, UINT nIDTemplate, CWnd* pParent);

protected:
    void PostNcDestroy() override { delete this; }
};
