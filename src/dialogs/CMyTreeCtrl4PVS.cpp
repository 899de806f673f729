#include "dialogs/CMyTreeCtrl4PVS.h"

void CMyTreeCtrl4PVS::InitCheckImages()
{
    if (!m_checkImages.IsCreated()) {
        AfxRegisterBitmap(IDB_PVS_TREE_CHECKS, 64, 16);
        CBitmap bmp;
        if (m_checkImages.Create(16, 16, ILC_COLOR4 | ILC_MASK, 4, 0) && bmp.LoadBitmap(IDB_PVS_TREE_CHECKS))
            m_checkImages.Add(&bmp, RGB(255, 255, 255));
    }
    if (!GetImageList(TVSIL_STATE))
        SetImageList(&m_checkImages, TVSIL_STATE);
}

HTREEITEM CMyTreeCtrl4PVS::InsertCheckItem(const char* pszText, HTREEITEM hParent)
{
    const HTREEITEM h = InsertItem(pszText, 0, 0, hParent, TVI_LAST);
    if (h)
        SetCheckState(h, CHECK_OFF);
    return h;
}

int CMyTreeCtrl4PVS::GetCheckState(HTREEITEM hItem) const
{
    return static_cast<int>(GetItemState(hItem, TVIS_STATEIMAGEMASK) >> 12);
}

BOOL CMyTreeCtrl4PVS::IsItemChecked(HTREEITEM hItem) const { return GetCheckState(hItem) != CHECK_OFF; }

void CMyTreeCtrl4PVS::SetCheckState(HTREEITEM hItem, int nState)
{
    SetItemState(hItem, INDEXTOSTATEIMAGEMASK(nState), TVIS_STATEIMAGEMASK);
}

void CMyTreeCtrl4PVS::ToggleCheck(HTREEITEM hItem)
{
    if (!hItem)
        return;
    SetCheckRecursive(hItem, GetCheckState(hItem) == CHECK_OFF);
}

void CMyTreeCtrl4PVS::SetCheckRecursive(HTREEITEM hItem, BOOL bCheck)
{
    if (bCheck)
        CheckSubtree(hItem);
    else
        UncheckSubtree(hItem);
    if (m_bPropagate)
        UpdateParentState(hItem);
}

void CMyTreeCtrl4PVS::SetSubtree(HTREEITEM hItem, int nState)
{
    SetCheckState(hItem, nState);
    if (!m_bPropagate)
        return;
    for (HTREEITEM h = GetChildItem(hItem); h; h = GetNextSiblingItem(h))
        SetSubtree(h, nState);
}

void CMyTreeCtrl4PVS::CheckSubtree(HTREEITEM hItem) { SetSubtree(hItem, CHECK_ON); }

void CMyTreeCtrl4PVS::UncheckSubtree(HTREEITEM hItem) { SetSubtree(hItem, CHECK_OFF); }

void CMyTreeCtrl4PVS::UpdateParentState(HTREEITEM hItem)
{
    // Iterative walk to the root: a deep tree costs no stack.
    for (HTREEITEM h = hItem; h;) {
        const HTREEITEM hParent = GetParentItem(h);
        if (!hParent)
            return;
        const int s = GetCheckState(h);
        int nParent = s;
        for (HTREEITEM c = GetChildItem(hParent); c; c = GetNextSiblingItem(c)) {
            if (GetCheckState(c) != s) {
                nParent = CHECK_PARTLY;
                break;
            }
        }
        SetCheckState(hParent, nParent);
        h = hParent;
    }
}

BOOL CMyTreeCtrl4PVS::OnLButtonDown(UINT, POINT pt)
{
    UINT nFlags = 0;
    const HTREEITEM h = HitTest(pt, &nFlags);
    if (!h || !(nFlags & TVHT_ONITEMSTATEICON))
        return FALSE;
    ToggleCheck(h);
    SelectItem(h);
    return TRUE;
}

BOOL CMyTreeCtrl4PVS::OnKeyDown(UINT nChar, UINT, UINT)
{
    if (nChar != VK_SPACE)
        return FALSE;
    ToggleCheck(GetSelectedItem());
    return TRUE;
}

LRESULT CMyTreeCtrl4PVS::WindowProc(UINT nMsg, WPARAM wParam, LPARAM lParam)
{
    if (nMsg == WM_LBUTTONDOWN) {
        POINT pt;
        pt.x = static_cast<short>(LOWORD(lParam));
        pt.y = static_cast<short>(HIWORD(lParam));
        if (OnLButtonDown(static_cast<UINT>(wParam), pt))
            return 0;
    } else if (nMsg == WM_KEYDOWN) {
        if (OnKeyDown(static_cast<UINT>(wParam), LOWORD(lParam), HIWORD(lParam)))
            return 0;
    }
    return CTreeCtrl::WindowProc(nMsg, wParam, lParam);
}
