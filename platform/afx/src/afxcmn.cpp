#include "afxcmn.h"

#include <algorithm>
#include <functional>
#include <map>
#include <set>

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

// ---- image list ----------------------------------------------------------------------------

namespace {
std::map<UINT, int>& BitmapWidths()
{
    static std::map<UINT, int> m;
    return m;
}
} // namespace

void AfxRegisterBitmap(UINT nID, int nWidth, int) { BitmapWidths()[nID] = nWidth; }

namespace {
std::set<UINT>& MissingBitmaps()
{
    static std::set<UINT> s;
    return s;
}
} // namespace

void AfxStandInMissingBitmap(UINT nID, bool bMissing)
{
    if (bMissing)
        MissingBitmaps().insert(nID);
    else
        MissingBitmaps().erase(nID);
}

BOOL CBitmap::LoadBitmap(UINT nIDResource)
{
    if (nIDResource == 0 || MissingBitmaps().count(nIDResource))
        return FALSE;
    m_hBitmap = reinterpret_cast<HBITMAP>(static_cast<uintptr_t>(nIDResource));
    return TRUE;
}

BOOL CImageList::Create(int cx, int cy, UINT, int, int)
{
    if (m_bCreated || cx <= 0 || cy <= 0)
        return FALSE;
    m_cx = cx;
    m_cy = cy;
    m_bCreated = TRUE;
    return TRUE;
}

int CImageList::Add(CBitmap* pBitmap, COLORREF crMask)
{
    if (!m_bCreated || !pBitmap || !static_cast<HBITMAP>(*pBitmap))
        return -1;
    const UINT nID = static_cast<UINT>(reinterpret_cast<uintptr_t>(static_cast<HBITMAP>(*pBitmap)));
    const auto it = BitmapWidths().find(nID);
    if (it == BitmapWidths().end() || it->second < m_cx)
        return -1;
    const int nFirst = m_nCount;
    m_nCount += it->second / m_cx;
    m_crMask = crMask;
    return nFirst;
}

// ---- tree control --------------------------------------------------------------------------
IMPLEMENT_DYNAMIC(CTreeCtrl, CWnd)

struct CTreeCtrl::Item {
    CString strText;
    DWORD_PTR nData = 0;
    UINT nState = 0;
    BOOL bExpanded = FALSE;
    Item* pParent = nullptr;
    std::vector<Item*> aChildren;
};

namespace {
HTREEITEM ToHandle(const void* p) { return reinterpret_cast<HTREEITEM>(const_cast<void*>(p)); }
constexpr int kRowHeight = 16;
constexpr int kIndent = 19;
constexpr int kIconSize = 16;
} // namespace

CTreeCtrl::CTreeCtrl() : m_pRoot(new Item) { m_pRoot->bExpanded = TRUE; }

CTreeCtrl::~CTreeCtrl()
{
    for (Item* p : m_aAll)
        delete p;
    delete m_pRoot;
}

CTreeCtrl::Item* CTreeCtrl::Find(HTREEITEM h) const
{
    if (!h)
        return nullptr;
    if (h == TVI_ROOT)
        return m_pRoot;
    for (Item* p : m_aAll)
        if (ToHandle(p) == h)
            return p;
    return nullptr;
}

HTREEITEM CTreeCtrl::InsertItem(const char* pszText, int, int, HTREEITEM hParent, HTREEITEM)
{
    Item* pParent = Find(hParent ? hParent : TVI_ROOT);
    if (!pParent)
        return nullptr;
    auto* p = new Item;
    p->strText = pszText ? pszText : "";
    p->pParent = pParent;
    m_aAll.push_back(p);
    pParent->aChildren.push_back(p);
    return ToHandle(p);
}

BOOL CTreeCtrl::DeleteAllItems()
{
    for (Item* p : m_aAll)
        delete p;
    m_aAll.clear();
    m_pRoot->aChildren.clear();
    m_hSelected = nullptr;
    return TRUE;
}

CString CTreeCtrl::GetItemText(HTREEITEM h) const
{
    const Item* p = Find(h);
    return p && p != m_pRoot ? p->strText : CString();
}

BOOL CTreeCtrl::SetItemData(HTREEITEM h, DWORD_PTR nData)
{
    Item* p = Find(h);
    if (!p || p == m_pRoot)
        return FALSE;
    p->nData = nData;
    return TRUE;
}

DWORD_PTR CTreeCtrl::GetItemData(HTREEITEM h) const
{
    const Item* p = Find(h);
    return p && p != m_pRoot ? p->nData : 0;
}

UINT CTreeCtrl::GetItemState(HTREEITEM h, UINT nMask) const
{
    const Item* p = Find(h);
    return p && p != m_pRoot ? (p->nState & nMask) : 0;
}

BOOL CTreeCtrl::SetItemState(HTREEITEM h, UINT nState, UINT nMask)
{
    Item* p = Find(h);
    if (!p || p == m_pRoot)
        return FALSE;
    p->nState = (p->nState & ~nMask) | (nState & nMask);
    return TRUE;
}

HTREEITEM CTreeCtrl::GetRootItem() const
{
    return m_pRoot->aChildren.empty() ? nullptr : ToHandle(m_pRoot->aChildren.front());
}

HTREEITEM CTreeCtrl::GetParentItem(HTREEITEM h) const
{
    const Item* p = Find(h);
    return p && p != m_pRoot && p->pParent != m_pRoot ? ToHandle(p->pParent) : nullptr;
}

HTREEITEM CTreeCtrl::GetChildItem(HTREEITEM h) const
{
    const Item* p = Find(h);
    return p && !p->aChildren.empty() ? ToHandle(p->aChildren.front()) : nullptr;
}

HTREEITEM CTreeCtrl::GetNextSiblingItem(HTREEITEM h) const
{
    const Item* p = Find(h);
    if (!p || p == m_pRoot)
        return nullptr;
    const auto& sib = p->pParent->aChildren;
    const auto it = std::find(sib.begin(), sib.end(), p);
    return it != sib.end() && it + 1 != sib.end() ? ToHandle(*(it + 1)) : nullptr;
}

BOOL CTreeCtrl::ItemHasChildren(HTREEITEM h) const
{
    const Item* p = Find(h);
    return p && !p->aChildren.empty();
}

UINT CTreeCtrl::GetCount() const { return static_cast<UINT>(m_aAll.size()); }

BOOL CTreeCtrl::Expand(HTREEITEM h, UINT nCode)
{
    Item* p = Find(h);
    if (!p || p == m_pRoot || p->aChildren.empty())
        return FALSE;
    p->bExpanded = nCode == TVE_EXPAND ? TRUE : nCode == TVE_COLLAPSE ? FALSE : p->bExpanded;
    return TRUE;
}

BOOL CTreeCtrl::IsExpanded(HTREEITEM h) const
{
    const Item* p = Find(h);
    return p && p->bExpanded;
}

BOOL CTreeCtrl::SelectItem(HTREEITEM h)
{
    if (h && (!Find(h) || h == TVI_ROOT))
        return FALSE;
    m_hSelected = h;
    return TRUE;
}

HTREEITEM CTreeCtrl::HitTest(POINT pt, UINT* pFlags) const
{
    int nRow = 0;
    HTREEITEM hHit = nullptr;
    UINT nFlags = TVHT_NOWHERE;
    std::function<bool(const Item*, int)> walk = [&](const Item* p, int nDepth) {
        for (const Item* c : p->aChildren) {
            if (pt.y >= nRow * kRowHeight && pt.y < (nRow + 1) * kRowHeight) {
                const int x0 = nDepth * kIndent;
                if (pt.x >= x0 && pt.x < x0 + kIconSize) {
                    hHit = ToHandle(c);
                    nFlags = TVHT_ONITEMSTATEICON;
                } else if (pt.x >= x0 + kIconSize) {
                    hHit = ToHandle(c);
                    nFlags = TVHT_ONITEMLABEL;
                }
                return true;
            }
            ++nRow;
            if (c->bExpanded && walk(c, nDepth + 1))
                return true;
        }
        return false;
    };
    walk(m_pRoot, 0);
    if (pFlags)
        *pFlags = nFlags;
    return hHit;
}

POINT CTreeCtrl::StateIconPoint(HTREEITEM h) const
{
    POINT pt;
    pt.x = -1;
    pt.y = -1;
    int nRow = 0;
    std::function<bool(const Item*, int)> walk = [&](const Item* p, int nDepth) {
        for (const Item* c : p->aChildren) {
            if (ToHandle(c) == h) {
                pt.x = nDepth * kIndent + kIconSize / 2;
                pt.y = nRow * kRowHeight + kRowHeight / 2;
                return true;
            }
            ++nRow;
            if (c->bExpanded && walk(c, nDepth + 1))
                return true;
        }
        return false;
    };
    walk(m_pRoot, 0);
    return pt;
}

CImageList* CTreeCtrl::SetImageList(CImageList* pImageList, int nType)
{
    CImageList*& slot = nType == TVSIL_STATE ? m_pStateImages : m_pImages;
    CImageList* pOld = slot;
    slot = pImageList;
    return pOld;
}

CImageList* CTreeCtrl::GetImageList(int nType) const { return nType == TVSIL_STATE ? m_pStateImages : m_pImages; }

LRESULT CTreeCtrl::WindowProc(UINT nMsg, WPARAM wParam, LPARAM lParam)
{
    if (nMsg == WM_LBUTTONDOWN) {
        POINT pt;
        pt.x = static_cast<short>(LOWORD(lParam));
        pt.y = static_cast<short>(HIWORD(lParam));
        UINT nFlags = 0;
        const HTREEITEM h = HitTest(pt, &nFlags);
        if (h && (nFlags & TVHT_ONITEMLABEL))
            SelectItem(h);
        return 0;
    }
    return CWnd::WindowProc(nMsg, wParam, lParam);
}

// ---- tool tips -----------------------------------------------------------------------------
IMPLEMENT_DYNAMIC(CToolTipCtrl, CWnd)

BOOL CToolTipCtrl::Create(CWnd* pParent, DWORD nStyle)
{
    m_nStyle = nStyle;
    return CreateWindowCore(pParent);
}

BOOL CToolTipCtrl::AddTool(CWnd* pTool, const char* pszText)
{
    if (!m_hWnd || !pTool || !pTool->m_hWnd)
        return FALSE;
    m_aTools.push_back(Tool{pTool->m_hWnd, pszText ? pszText : ""});
    return TRUE;
}

CString CToolTipCtrl::GetToolText(const CWnd* pTool) const
{
    for (const Tool& t : m_aTools)
        if (pTool && t.hTool == pTool->m_hWnd)
            return t.strText;
    return CString();
}
