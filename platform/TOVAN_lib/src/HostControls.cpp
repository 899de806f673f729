#include "DlgUtil.h"
#include "ExtListCtrl.h"
#include "GraphWnd.h"
#include "GraphWnd_standin.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

IMPLEMENT_DYNAMIC(CGraphWnd, CWnd)
IMPLEMENT_DYNAMIC(CExtListCtrl, CListCtrl)

// ---- graph window --------------------------------------------------------------------------
BOOL CGraphWnd::Init(CWnd* pFrame)
{
    CWnd* pParent = pFrame ? pFrame->GetParent() : nullptr;
    if (!pFrame || !pFrame->m_hWnd || !pParent || !CreateWindowCore(pParent, TRUE, 0))
        return FALSE;
    RECT r;
    pFrame->GetWindowRect(&r);
    MoveWindow(r.left, r.top, r.right - r.left, r.bottom - r.top);
    ShowWindow(SW_SHOW);
    return TRUE;
}

void CGraphWnd::SetData(const CArray<T_GRPH_D, T_GRPH_D&>& aPoint)
{
    m_aData.assign(aPoint.begin(), aPoint.end());
    ++m_nSetData;
}

void CGraphWnd::SetAddedData(const CArray<T_GRPH_D, T_GRPH_D&>& aPoint)
{
    m_aAdded.assign(aPoint.begin(), aPoint.end());
    ++m_nSetAdded;
}

void CGraphWnd::SetPosByXValueNoSnap(double x)
{
    m_bMark = true;
    m_dMarkX = x;
}

int CGraphWnd::GetPosByXValue(double x) const
{
    int nBest = -1;
    double dBest = 0.0;
    for (size_t i = 0; i < m_aData.size(); ++i) {
        const double d = std::fabs(m_aData[i].dX - x);
        if (nBest < 0 || d < dBest) {
            nBest = static_cast<int>(i);
            dBest = d;
        }
    }
    return nBest;
}

void CGraphWnd::SetPosByXValue(double x)
{
    const int n = GetPosByXValue(x);
    SetPosByXValueNoSnap(n >= 0 ? m_aData[static_cast<size_t>(n)].dX : x);
}

void CGraphWnd::StartSimulation()
{
    m_bSimulating = true;
    ++m_nSimStarts;
}

void CGraphWnd::EndSimulation()
{
    m_bSimulating = false;
    ++m_nSimEnds;
}

void CGraphWnd::Simulation(double x) { m_dSimX = x; }

void CGraphWnd::SimulationByIndex(int nIndex)
{
    if (nIndex >= 0 && static_cast<size_t>(nIndex) < m_aData.size())
        m_dSimX = m_aData[static_cast<size_t>(nIndex)].dX;
}

void CGraphWnd::CallOnSize(CWnd* pFrame)
{
    if (!m_hWnd || !pFrame)
        return;
    RECT r;
    pFrame->GetWindowRect(&r);
    MoveWindow(r.left, r.top, r.right - r.left, r.bottom - r.top);
    ++m_nLayouts;
}

std::vector<CGraphWnd*> GraphWndStandIn::FindIn(CWnd* pParent)
{
    std::vector<CGraphWnd*> found;
    if (!pParent || !pParent->m_hWnd)
        return found;
    HWND aChild[512];
    const int n = std::min(Win32RelatedWindows(pParent->m_hWnd, TRUE, aChild, 512), 512);
    for (int i = 0; i < n; ++i)
        if (auto* g = dynamic_cast<CGraphWnd*>(CWnd::FromHandle(aChild[i])))
            found.push_back(g);
    return found;
}

BOOL GraphWndStandIn::Click(CGraphWnd* pGraph, double x)
{
    if (!pGraph || !pGraph->m_hWnd || !pGraph->IsWindowVisible() || !pGraph->IsWindowEnabled())
        return FALSE;
    pGraph->SetPosByXValueNoSnap(x);
    if (pGraph->m_pfnLButtonDown)
        pGraph->m_pfnLButtonDown(x, pGraph);
    return TRUE;
}

// ---- list control and dialog helpers -------------------------------------------------------
void CExtListCtrl::Initialize(PFN_COMPARE pfnCompare)
{
    // Report view with full-row selection and grid lines, as the host's lists show.
    constexpr DWORD kFullRowSelect = 0x20, kGridLines = 0x01;
    SetExtendedStyle(GetExtendedStyle() | kFullRowSelect | kGridLines);
    m_pfnCompare = pfnCompare;
}

int CExtListCtrl::AddColInfo(const char* pszText, int nWidth, int nFormat)
{
    return InsertColumn(GetColumnCount(), pszText, nFormat, nWidth);
}

int CDlgUtil::SetListItem(CListCtrl* pList, int nItem, const CStringArray& aText, DWORD_PTR dwData)
{
    if (!pList || nItem < 0)
        return -1;
    if (nItem >= pList->GetItemCount())
        nItem = pList->InsertItem(pList->GetItemCount(), aText.GetSize() > 0 ? aText[0].GetString() : "");
    for (int c = 0; c < aText.GetSize(); ++c)
        pList->SetItemText(nItem, c, aText[c]);
    pList->SetItemData(nItem, dwData);
    return nItem;
}

int CDlgUtil::GetSelectedListItemIndex(CListCtrl* pList, CArray<int, int>& aIndex)
{
    aIndex.RemoveAll();
    for (int i = pList ? pList->GetNextItem(-1, LVNI_SELECTED) : -1; i >= 0; i = pList->GetNextItem(i, LVNI_SELECTED))
        aIndex.Add(i);
    return aIndex.GetSize();
}

BOOL CDlgUtil::SetSpinValue(CWnd* pDlg, UINT nEditID, int nStep, int nDecimals, NMHDR* pNMHDR, LRESULT* pResult)
{
    if (pResult)
        *pResult = 0;
    CWnd* pEdit = pDlg ? pDlg->GetDlgItem(nEditID) : nullptr;
    if (!pEdit || !pNMHDR)
        return FALSE;
    const auto* pUpDown = reinterpret_cast<const NMUPDOWN*>(pNMHDR);
    CString strText;
    pEdit->GetWindowText(strText);
    CString strNew;
    if (nDecimals < 0) {
        const long n = std::strtol(strText.GetString(), nullptr, 10) + static_cast<long>(nStep) * pUpDown->iDelta;
        strNew.Format("%ld", n);
    } else {
        const double d = std::strtod(strText.GetString(), nullptr) + static_cast<double>(nStep) * pUpDown->iDelta;
        strNew.Format("%.*f", nDecimals, d);
    }
    pEdit->SetWindowText(strNew);
    return TRUE;
}
