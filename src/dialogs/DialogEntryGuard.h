// Where the host enters a dialog of the module (its window procedure, key pre-translation,
// update hints, openers, picking callbacks), whatever a handler throws ends: a failed
// allocation, a host routine's exception or an Open CASCADE failure. A handler that fails
// leaves the dialog as it was; the helpers below give list controls that guarantee.
#pragma once
#include "afxwin.h"

#include <Standard_Failure.hxx>

#include <exception>
#include <vector>

namespace kvpvs::dialogs {

// Runs fn; FALSE when something escaped it (and ended here).
template <class Fn>
BOOL RunGuarded(Fn&& fn) noexcept
{
    try {
        fn();
        return TRUE;
    } catch (const Standard_Failure&) {
    } catch (const std::exception&) {
    } catch (...) {
    }
    return FALSE;
}

// The window procedure of a dialog class, guarded: the one catching point of every message
// handler of its message map and of the framework's default handling. A failed message
// returns 0, as an unhandled one does.
template <class Fn>
LRESULT GuardedWindowProc(Fn&& fnBaseWindowProc) noexcept
{
    LRESULT r = 0;
    if (!RunGuarded([&] { r = fnBaseWindowProc(); }))
        return 0;
    return r;
}

// A modeless dialog made by an opener and not yet handed to the framework: a failure before
// it stands frees it, through its window when one was made (the dialog then frees itself).
template <class TDlg>
void DiscardUnfinished(TDlg* pDlg) noexcept
{
    if (!pDlg)
        return;
    if (pDlg->m_hWnd && IsWindow(pDlg->m_hWnd))
        RunGuarded([&] { pDlg->DestroyWindow(); });
    else
        delete pDlg;
}

// One entry of a list or combo box.
struct T_LIST_ENTRY_D {
    CString strText;
    DWORD_PTR nData = 0;
    int nCheck = 0;
};
using ListEntries = std::vector<T_LIST_ENTRY_D>;

ListEntries ReadEntries(const CCheckListBox& list);
ListEntries ReadEntries(const CComboBox& combo);

// Replaces the entries of the boxes with the new ones, all or none: when filling one fails,
// every box gets back the entries it had (as far as memory allows) and the failure goes on.
// The selection of a combo box is its first entry after the change.
void ReplaceEntries(CCheckListBox& list, const ListEntries& entries);
void ReplaceEntries(CCheckListBox& list, const ListEntries& entries, CCheckListBox& list2, const ListEntries& entries2,
                    CComboBox& combo, const ListEntries& comboEntries);

} // namespace kvpvs::dialogs
