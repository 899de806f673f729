// Tree control whose items carry three-state check boxes (state images 1 unchecked,
// 2 checked, 3 partly checked). A toggle goes down the whole subtree, and every ancestor shows
// whether all, none or some of its children are checked.
#pragma once
#include "afxcmn.h"

// Bitmap of the four 16 x 16 state images (none, unchecked, checked, partly checked).
constexpr UINT IDB_PVS_TREE_CHECKS = 14016;

class CMyTreeCtrl4PVS : public CTreeCtrl {
public:
    enum { CHECK_NONE = 0, CHECK_OFF = 1, CHECK_ON = 2, CHECK_PARTLY = 3 };

    // Creates the state image list once and attaches it when the tree has none.
    void InitCheckImages();

    void ToggleCheck(HTREEITEM hItem);
    void SetCheckRecursive(HTREEITEM hItem, BOOL bCheck);
    void CheckSubtree(HTREEITEM hItem);
    void UncheckSubtree(HTREEITEM hItem);
    void UpdateParentState(HTREEITEM hItem);
    int GetCheckState(HTREEITEM hItem) const;
    // Checked or partly checked.
    BOOL IsItemChecked(HTREEITEM hItem) const;

    // Items begin unchecked, as a check-box tree's do.
    HTREEITEM InsertCheckItem(const char* pszText, HTREEITEM hParent);

protected:
    LRESULT WindowProc(UINT nMsg, WPARAM wParam, LPARAM lParam) override;
    // TRUE when handled: a click on a state icon, the space bar.
    BOOL OnLButtonDown(UINT nFlags, POINT pt);
    BOOL OnKeyDown(UINT nChar, UINT nRepCnt, UINT nFlags);

private:
    void SetCheckState(HTREEITEM hItem, int nState);
    void SetSubtree(HTREEITEM hItem, int nState);

    CImageList m_checkImages;
    BOOL m_bPropagate = TRUE;
};
