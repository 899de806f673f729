// Stand-in for the framework's common controls: the spin button (up-down control) and the
// report-view list control. The spin control has a range and a position and asks its parent
// before each step (UDN_DELTAPOS, which the parent may refuse with a non-zero result).
// Choices: the spin control has no buddy window; the list control keeps columns and rows of
// texts with their item data and states and draws nothing.
#pragma once
#include "afxwin.h"

#include <vector>

// ---- the system's common-control notifications ---------------------------------------------
#define UDN_DELTAPOS (0u - 722u)
struct NMUPDOWN {
    NMHDR hdr;
    int iPos = 0;   // position before the step
    int iDelta = 0; // proposed change
};
#define NM_CLICK (0u - 2u)
#define LVIS_FOCUSED 0x0001
#define LVIS_SELECTED 0x0002
#define LVNI_SELECTED 0x0002
#define LVCFMT_LEFT 0x0000
#define LVCFMT_RIGHT 0x0001
#define LVCFMT_CENTER 0x0002

class CSpinButtonCtrl : public CWnd {
    DECLARE_DYNAMIC(CSpinButtonCtrl)
public:
    void SetRange(int nLower, int nUpper)
    {
        m_nLower = nLower;
        m_nUpper = nUpper;
    }
    void GetRange(int& nLower, int& nUpper) const
    {
        nLower = m_nLower;
        nUpper = m_nUpper;
    }
    // The position, kept within the range (either bound may be the larger).
    int SetPos(int nPos);
    int GetPos() const { return m_nPos; }
    void CopyControlState(const CWnd& from) override;

private:
    int m_nLower = 0, m_nUpper = 100, m_nPos = 0;
};

class CListCtrl : public CWnd {
    DECLARE_DYNAMIC(CListCtrl)
public:
    int InsertColumn(int nCol, const char* pszHeading, int nFormat = LVCFMT_LEFT, int nWidth = -1);
    int GetColumnCount() const { return static_cast<int>(m_aColumns.size()); }
    BOOL DeleteColumn(int nCol);
    CString GetColumnText(int nCol) const;
    int GetColumnWidth(int nCol) const;
    int GetColumnFormat(int nCol) const;

    // A row before nItem (the end when nItem is past it), its first column's text given.
    int InsertItem(int nItem, const char* pszText);
    BOOL SetItemText(int nItem, int nSubItem, const char* pszText);
    CString GetItemText(int nItem, int nSubItem) const;
    BOOL SetItemData(int nItem, DWORD_PTR dwData);
    DWORD_PTR GetItemData(int nItem) const;
    int GetItemCount() const { return static_cast<int>(m_aRows.size()); }
    BOOL DeleteItem(int nItem);
    BOOL DeleteAllItems();
    // Row states (LVIS_SELECTED, LVIS_FOCUSED) under a mask; row -1 sets every row.
    BOOL SetItemState(int nItem, UINT nState, UINT nMask);
    UINT GetItemState(int nItem, UINT nMask) const;
    // The next row after nItem (-1: from the first) whose state has the flags; -1 when none.
    int GetNextItem(int nItem, int nFlags) const;
    // Scrolls a row into view; choice: the row is remembered.
    BOOL EnsureVisible(int nItem, BOOL bPartialOK);
    int GetVisibleItem() const { return m_nVisibleItem; }
    UINT GetSelectedCount() const;
    DWORD GetExtendedStyle() const { return m_nExStyle; }
    DWORD SetExtendedStyle(DWORD nExStyle)
    {
        const DWORD old = m_nExStyle;
        m_nExStyle = nExStyle;
        return old;
    }
    void CopyControlState(const CWnd& from) override;

private:
    struct Column {
        CString strHeading;
        int nFormat = LVCFMT_LEFT;
        int nWidth = -1;
    };
    struct Row {
        std::vector<CString> aText; // one per column at most
        DWORD_PTR nData = 0;
        UINT nState = 0;
    };
    std::vector<Column> m_aColumns;
    std::vector<Row> m_aRows;
    DWORD m_nExStyle = 0;
    int m_nVisibleItem = -1;
};
