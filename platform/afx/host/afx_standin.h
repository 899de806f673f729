// Controls of the framework stand-in for tests and the demo host; module code never includes it.
// The driver acts as the user: each action changes a control as the user would and sends the
// notification the control would send.
#pragma once
#include "afxwin.h"

#include <functional>
#include <vector>

// Makes the next AfxInitExtensionModule calls fail (as a missing resource would).
void AfxStandInFailExtensionInit(bool bFail);
// The chain of extension libraries: modules joined by AfxInitExtensionModule and not yet released.
int AfxStandInExtensionModuleCount();
// Libraries created with CDynLinkLibrary and not yet destroyed (AfxTermExtensionModule
// destroys those of its module).
int AfxStandInDynLinkLibraryCount();
// Makes the next CDialog::Create fail (as a missing template would).
void AfxStandInFailNextDialogCreate();
// The commands the main window has received, oldest first.
std::vector<CFrameWnd::T_COMMAND_D>& AfxStandInMainWndCommands();
// The next scripted action of the user in a modal dialog, taken off the script; empty when
// the script has run out (CDialog::DoModal asks).
std::function<void(CDialog*)> AfxStandInNextModalAction();

// Makes a bitmap resource missing (LoadBitmap fails) or present again.
void AfxStandInMissingBitmap(UINT nID, bool bMissing);

// Device contexts taken with CWnd::GetDC and not yet released.
int AfxStandInOpenDCCount();

namespace AfxDriver {
// Clicks a button of a window: a check box toggles, a radio button becomes the checked one of
// its group; then BN_CLICKED. FALSE (nothing happens) for a missing, hidden or disabled control.
BOOL Click(CWnd* pWnd, UINT nID);
// Clicks a check box or radio button only when its check differs from nCheck.
BOOL Check(CWnd* pWnd, UINT nID, int nCheck);
// Types a text into an edit (EN_CHANGE).
BOOL SetText(CWnd* pWnd, UINT nID, const char* pszText);
CString GetText(CWnd* pWnd, UINT nID);
// Selects an entry of a combo box (CBN_SELCHANGE) or list box (LBN_SELCHANGE).
BOOL Select(CWnd* pWnd, UINT nID, int nIndex);
// Clicks a row of a report list: it becomes the only selected row, then NM_CLICK.
BOOL ClickListItem(CWnd* pWnd, UINT nID, int nItem);
// Selects the rows of a report list (the others lose the selection); with bClick the user
// clicked the last of them (NM_CLICK to the parent).
BOOL SelectListRows(CWnd* pWnd, UINT nID, const std::vector<int>& aRows, BOOL bClick = FALSE);
// Ticks or clears an entry of a check list box (CLBN_CHKCHANGE).
BOOL CheckItem(CWnd* pWnd, UINT nID, int nIndex, int nCheck);
// Puts the focus into a control (an edit notifies its parent).
BOOL Focus(CWnd* pWnd, UINT nID);
// Presses a key in the focused control when it lies in pWnd, else in pWnd itself: the message
// passes the pre-translation of the window and its parents, then goes to the window.
void PressKey(CWnd* pWnd, UINT nVirtualKey);
// Sends a system command (SC_CLOSE: the title bar's close box).
void SysCommand(CWnd* pWnd, UINT nCommand);
BOOL Destroy(CWnd* pWnd);
// Double-clicks a row of a list box: selects it (LBN_SELCHANGE), then LBN_DBLCLK.
BOOL DoubleClick(CWnd* pWnd, UINT nID, int nIndex);
// Presses an arrow of a spin control (nDelta > 0 up, < 0 down): the control asks its parent
// (UDN_DELTAPOS with its position and nDelta) and, unless refused, moves within its range.
BOOL Spin(CWnd* pWnd, UINT nID, int nDelta);
// Queues what the user does in the next modal dialog, in order: DoModal hands each action the
// dialog on top (a dialog opened modally by an action takes the following actions until it ends).
void ScriptModal(std::function<void(CDialog*)> action);
// Actions not yet played; ClearModalScript drops them.
int ModalScriptLength();
void ClearModalScript();
// The user's answer to the next file dialog: IDOK with the chosen path, or IDCANCEL.
// Unscripted file dialogs are cancelled.
void ScriptFileDialog(int nResult, const char* pszPath = nullptr);
} // namespace AfxDriver
