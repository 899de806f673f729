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

// ---- image list and tree control -----------------------------------------------------------
// Choices: an image list counts the images cut from the bitmaps added (bitmap width / image
// width; the bitmap's size comes from its resource description, AfxRegisterBitmap).
// The tree draws nothing; its geometry for hit tests: every item of an expanded path takes one
// row of 16 pixels from the top, in display order; an item of depth d (roots 0) has its state
// icon at x in [19 d, 19 d + 16) and its label from 19 d + 16 on.
#ifndef WM_LBUTTONDOWN
#define WM_LBUTTONDOWN 0x0201
#endif
#ifndef VK_SPACE
#define VK_SPACE 0x20
#endif
#ifndef MAKELPARAM
#define MAKELPARAM(l, h) ((LPARAM)(DWORD)(((WORD)(l)) | (((DWORD)(WORD)(h)) << 16)))
#endif
#define ILC_COLOR4 0x0004
#define ILC_MASK 0x0001
#define TVSIL_NORMAL 0
#define TVSIL_STATE 2
#define TVIS_STATEIMAGEMASK 0xF000u
#define INDEXTOSTATEIMAGEMASK(i) ((UINT)(i) << 12)
#define TVE_EXPAND 0x0002
#define TVE_COLLAPSE 0x0001
#define TVHT_ONITEMLABEL 0x0004
#define TVHT_ONITEMSTATEICON 0x0040
#define TVHT_NOWHERE 0x0001
#define TVS_HASBUTTONS 0x0001
#define TVS_HASLINES 0x0002
#define TVS_DISABLEDRAGDROP 0x0010
#define TVS_SHOWSELALWAYS 0x0020
#define TVS_CHECKBOXES 0x0100
#define TVS_NOTOOLTIPS 0x0080

struct _TREEITEM;
typedef _TREEITEM* HTREEITEM;
#define TVI_ROOT ((HTREEITEM)(intptr_t)-0x10000)
#define TVI_LAST ((HTREEITEM)(intptr_t)-0x0FFFE)

// Registers the description of a bitmap resource (its size in pixels).
void AfxRegisterBitmap(UINT nID, int nWidth, int nHeight);

class CImageList {
public:
    BOOL Create(int cx, int cy, UINT nFlags, int nInitial, int nGrow);
    // Adds the images of the bitmap; the index of the first, -1 on failure.
    int Add(CBitmap* pBitmap, COLORREF crMask);
    int GetImageCount() const { return m_nCount; }
    BOOL IsCreated() const { return m_bCreated; }
    COLORREF GetMaskColor() const { return m_crMask; }

private:
    BOOL m_bCreated = FALSE;
    int m_cx = 0, m_cy = 0, m_nCount = 0;
    COLORREF m_crMask = 0;
};

class CTreeCtrl : public CWnd {
    DECLARE_DYNAMIC(CTreeCtrl)
public:
    CTreeCtrl();
    ~CTreeCtrl() override;
    HTREEITEM InsertItem(const char* pszText, int nImage, int nSelectedImage, HTREEITEM hParent = TVI_ROOT,
                         HTREEITEM hInsertAfter = TVI_LAST);
    HTREEITEM InsertItem(const char* pszText, HTREEITEM hParent = TVI_ROOT, HTREEITEM hInsertAfter = TVI_LAST)
    {
        return InsertItem(pszText, 0, 0, hParent, hInsertAfter);
    }
    BOOL DeleteAllItems();
    CString GetItemText(HTREEITEM h) const;
    BOOL SetItemData(HTREEITEM h, DWORD_PTR nData);
    DWORD_PTR GetItemData(HTREEITEM h) const;
    UINT GetItemState(HTREEITEM h, UINT nMask) const;
    BOOL SetItemState(HTREEITEM h, UINT nState, UINT nMask);
    HTREEITEM GetRootItem() const;
    HTREEITEM GetParentItem(HTREEITEM h) const;
    HTREEITEM GetChildItem(HTREEITEM h) const;
    HTREEITEM GetNextSiblingItem(HTREEITEM h) const;
    BOOL ItemHasChildren(HTREEITEM h) const;
    UINT GetCount() const;
    BOOL Expand(HTREEITEM h, UINT nCode);
    BOOL IsExpanded(HTREEITEM h) const;
    HTREEITEM GetSelectedItem() const { return m_hSelected; }
    BOOL SelectItem(HTREEITEM h);
    HTREEITEM HitTest(POINT pt, UINT* pFlags = nullptr) const;
    // The client point at the middle of the item's state icon (its row shown).
    POINT StateIconPoint(HTREEITEM h) const;
    CImageList* SetImageList(CImageList* pImageList, int nType);
    CImageList* GetImageList(int nType) const;

protected:
    // Default handling: a click on a label selects the item.
    LRESULT WindowProc(UINT nMsg, WPARAM wParam, LPARAM lParam) override;

private:
    struct Item;
    Item* Find(HTREEITEM h) const;
    std::vector<Item*> m_aAll; // owns every item
    Item* m_pRoot;             // invisible root
    HTREEITEM m_hSelected = nullptr;
    CImageList* m_pStateImages = nullptr;
    CImageList* m_pImages = nullptr;
};

// ---- tool tips -----------------------------------------------------------------------------
// Choice: a tool tip keeps its tools' texts and counts the messages relayed to it.
class CToolTipCtrl : public CWnd {
    DECLARE_DYNAMIC(CToolTipCtrl)
public:
    BOOL Create(CWnd* pParent, DWORD nStyle = 0);
    // A tool for a control; FALSE for a missing control or before Create.
    BOOL AddTool(CWnd* pTool, const char* pszText);
    // The text of a control's tool; empty when it has none.
    CString GetToolText(const CWnd* pTool) const;
    int GetToolCount() const { return static_cast<int>(m_aTools.size()); }
    void RelayEvent(MSG* pMsg)
    {
        if (pMsg)
            ++m_nRelayed;
    }
    void Activate(BOOL bActivate) { m_bActive = bActivate; }
    int m_nRelayed = 0;
    BOOL m_bActive = TRUE;

private:
    struct Tool {
        HWND hTool;
        CString strText;
    };
    std::vector<Tool> m_aTools;
};
