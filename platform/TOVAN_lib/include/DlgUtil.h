// Stand-in for the host's dialog helpers: small operations on controls that many dialogs share.
// CobxUpdateItemWidth widens a combo box's drop list to its longest item; choice: the stand-in
// has no drop list, so it only returns that width (in characters, 0 for an empty or missing
// combo box).
#pragma once
#include "afxcmn.h"
#include "afxtempl.h"

class CDlgUtil {
public:
    static int CobxUpdateItemWidth(CComboBox* pCombo)
    {
        int nWidth = 0;
        for (int i = 0; pCombo && i < pCombo->GetCount(); ++i) {
            CString s;
            pCombo->GetLBText(i, s);
            nWidth = s.GetLength() > nWidth ? s.GetLength() : nWidth;
        }
        return nWidth;
    }
    // Writes row nItem of a report list: one text per column from the first, and the row's
    // item data. A row past the end is appended. The row's index, -1 without a list or row.
    static int SetListItem(CListCtrl* pList, int nItem, const CStringArray& aText, DWORD_PTR dwData);
    // The item data of a combo box's selected entry; 0 without a selection.
    static DWORD_PTR CobxGetCurSelItemData(CComboBox* pCombo)
    {
        return pCombo && pCombo->GetCurSel() >= 0 ? pCombo->GetItemData(pCombo->GetCurSel()) : 0;
    }
    // Moves control nID of pParent by (dx, dy).
    static void CtrlMoveDistXY(CWnd* pParent, UINT nID, int dx, int dy)
    {
        CWnd* p = pParent ? pParent->GetDlgItem(nID) : nullptr;
        if (!p)
            return;
        RECT r;
        p->GetWindowRect(&r);
        p->MoveWindow(r.left + dx, r.top + dy, r.right - r.left, r.bottom - r.top);
    }
    // The selected rows of a report list, ascending; their count (0 without a list).
    static int GetSelectedListItemIndex(CListCtrl* pList, CArray<int, int>& aIndex);
    // The spin's step (UDN_DELTAPOS) applied to the number in an edit of the dialog: the edit
    // shows its value + nStep x the step's delta, as an integer when nDecimals is negative, else
    // with that many decimals. *pResult is 0 (the spin moves). FALSE without the dialog or edit.
    static BOOL SetSpinValue(CWnd* pDlg, UINT nEditID, int nStep, int nDecimals, NMHDR* pNMHDR, LRESULT* pResult);
};
