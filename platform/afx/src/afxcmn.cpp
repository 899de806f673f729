#include "afxcmn.h"

#include <algorithm>

IMPLEMENT_DYNAMIC(CSpinButtonCtrl, CWnd)
IMPLEMENT_DYNAMIC(CListCtrl, CWnd)

// ---- spin button ---------------------------------------------------------------------------
int CSpinButtonCtrl::SetPos(int nPos)
{
    const int old = m_nPos;
    m_nPos = std::clamp(nPos, std::min(m_nLower, m_nUpper), std::max(m_nLower, m_nUpper));
    return old;
}

void CSpinButtonCtrl::CopyControlState(const CWnd& from)
{
    CWnd::CopyControlState(from);
    if (const auto* s = dynamic_cast<const CSpinButtonCtrl*>(&from)) {
        m_nLower = s->m_nLower;
        m_nUpper = s->m_nUpper;
        m_nPos = s->m_nPos;
    }
}

// ---- list control --------------------------------------------------------------------------
int CListCtrl::InsertColumn(int nCol, const char* pszHeading, int nFormat, int nWidth)
{
    if (nCol < 0)
        return -1;
    const size_t at = std::min(static_cast<size_t>(nCol), m_aColumns.size());
    m_aColumns.insert(m_aColumns.begin() + static_cast<std::ptrdiff_t>(at),
                      Column{CString(pszHeading), nFormat, nWidth});
    for (Row& r : m_aRows)
        if (at < r.aText.size())
            r.aText.insert(r.aText.begin() + static_cast<std::ptrdiff_t>(at), CString());
    return static_cast<int>(at);
}

CString CListCtrl::GetColumnText(int nCol) const
{
    return nCol >= 0 && nCol < GetColumnCount() ? m_aColumns[static_cast<size_t>(nCol)].strHeading : CString();
}

int CListCtrl::GetColumnWidth(int nCol) const
{
    return nCol >= 0 && nCol < GetColumnCount() ? m_aColumns[static_cast<size_t>(nCol)].nWidth : 0;
}

int CListCtrl::GetColumnFormat(int nCol) const
{
    return nCol >= 0 && nCol < GetColumnCount() ? m_aColumns[static_cast<size_t>(nCol)].nFormat : 0;
}

int CListCtrl::InsertItem(int nItem, const char* pszText)
{
    if (nItem < 0)
        return -1;
    const size_t at = std::min(static_cast<size_t>(nItem), m_aRows.size());
    Row r;
    r.aText.emplace_back(pszText);
    m_aRows.insert(m_aRows.begin() + static_cast<std::ptrdiff_t>(at), std::move(r));
    return static_cast<int>(at);
}

BOOL CListCtrl::SetItemText(int nItem, int nSubItem, const char* pszText)
{
    // The system refuses a column that does not exist, except the first.
    if (nItem < 0 || nItem >= GetItemCount() || nSubItem < 0 || (nSubItem > 0 && nSubItem >= GetColumnCount()))
        return FALSE;
    Row& r = m_aRows[static_cast<size_t>(nItem)];
    if (r.aText.size() <= static_cast<size_t>(nSubItem))
        r.aText.resize(static_cast<size_t>(nSubItem) + 1);
    r.aText[static_cast<size_t>(nSubItem)] = pszText;
    return TRUE;
}

CString CListCtrl::GetItemText(int nItem, int nSubItem) const
{
    if (nItem < 0 || nItem >= GetItemCount() || nSubItem < 0)
        return CString();
    const Row& r = m_aRows[static_cast<size_t>(nItem)];
    return static_cast<size_t>(nSubItem) < r.aText.size() ? r.aText[static_cast<size_t>(nSubItem)] : CString();
}

BOOL CListCtrl::SetItemData(int nItem, DWORD_PTR dwData)
{
    if (nItem < 0 || nItem >= GetItemCount())
        return FALSE;
    m_aRows[static_cast<size_t>(nItem)].nData = dwData;
    return TRUE;
}

DWORD_PTR CListCtrl::GetItemData(int nItem) const
{
    return nItem >= 0 && nItem < GetItemCount() ? m_aRows[static_cast<size_t>(nItem)].nData : 0;
}

BOOL CListCtrl::DeleteItem(int nItem)
{
    if (nItem < 0 || nItem >= GetItemCount())
        return FALSE;
    m_aRows.erase(m_aRows.begin() + nItem);
    return TRUE;
}

BOOL CListCtrl::DeleteAllItems()
{
    m_aRows.clear();
    return TRUE;
}

BOOL CListCtrl::DeleteColumn(int nCol)
{
    if (nCol < 0 || nCol >= GetColumnCount())
        return FALSE;
    m_aColumns.erase(m_aColumns.begin() + nCol);
    for (Row& r : m_aRows)
        if (static_cast<size_t>(nCol) < r.aText.size())
            r.aText.erase(r.aText.begin() + nCol);
    return TRUE;
}

BOOL CListCtrl::SetItemState(int nItem, UINT nState, UINT nMask)
{
    if (nItem < -1 || nItem >= GetItemCount())
        return FALSE;
    for (size_t i = 0; i < m_aRows.size(); ++i)
        if (nItem == -1 || static_cast<int>(i) == nItem)
            m_aRows[i].nState = (m_aRows[i].nState & ~nMask) | (nState & nMask);
    return TRUE;
}

UINT CListCtrl::GetItemState(int nItem, UINT nMask) const
{
    return nItem >= 0 && nItem < GetItemCount() ? m_aRows[static_cast<size_t>(nItem)].nState & nMask : 0;
}

UINT CListCtrl::GetSelectedCount() const
{
    UINT n = 0;
    for (const Row& r : m_aRows)
        n += (r.nState & LVIS_SELECTED) ? 1u : 0u;
    return n;
}

int CListCtrl::GetNextItem(int nItem, int nFlags) const
{
    for (int i = nItem < 0 ? 0 : nItem + 1; i < GetItemCount(); ++i)
        if ((m_aRows[static_cast<size_t>(i)].nState & static_cast<UINT>(nFlags)) == static_cast<UINT>(nFlags))
            return i;
    return -1;
}

BOOL CListCtrl::EnsureVisible(int nItem, BOOL)
{
    if (nItem < 0 || nItem >= GetItemCount())
        return FALSE;
    m_nVisibleItem = nItem;
    return TRUE;
}

void CListCtrl::CopyControlState(const CWnd& from)
{
    CWnd::CopyControlState(from);
    if (const auto* l = dynamic_cast<const CListCtrl*>(&from)) {
        m_aColumns = l->m_aColumns;
        m_aRows = l->m_aRows;
        m_nExStyle = l->m_nExStyle;
        m_nVisibleItem = l->m_nVisibleItem;
    }
}
