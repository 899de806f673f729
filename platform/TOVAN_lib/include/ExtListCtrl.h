// Stand-in for the host's extended list control: a report-view list with full-row selection,
// set up once with the compare function its header-click sorting uses, and columns added by
// text and width. Choice: rows are never sorted (nothing clicks a header); the function is kept.
#pragma once
#include "afxcmn.h"

class CExtListCtrl : public CListCtrl {
    DECLARE_DYNAMIC(CExtListCtrl)
public:
    using PFN_COMPARE = int (*)(LPARAM lParam1, LPARAM lParam2, LPARAM lParamSort);
    void Initialize(PFN_COMPARE pfnCompare);
    // Appends a column; nFormat as the list control's column formats.
    int AddColInfo(const char* pszText, int nWidth, int nFormat);

protected:
    PFN_COMPARE m_pfnCompare = nullptr;
};
