// Stand-in for the host's dialog helpers: small operations on controls that many dialogs share.
#pragma once
#include "afxcmn.h"
#include "afxtempl.h"

class CDlgUtil {
public:
    // Writes row nItem of a report list: one text per column from the first, and the row's
    // item data. A row past the end is appended. The row's index, -1 without a list or row.
    static int SetListItem(CListCtrl* pList, int nItem, const CStringArray& aText, DWORD_PTR dwData);
};
