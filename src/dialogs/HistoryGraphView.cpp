#include "dialogs/HistoryGraphView.h"

#include "DBDoc.h"
#include "UnitCtrl.h"
#include "XYGraphFuncView.h"

#include <algorithm>
#include <cstdlib>

namespace kvpvs::dialogs {

namespace {

// Graph style the host's graph view draws value-pair curves with.
constexpr UINT kGraphStyle = 0x220000;

} // namespace

void DDV_DecimalPlaces(CDataExchange* pDX, UINT nID)
{
    if (!pDX->m_bSaveAndValidate)
        return;
    int n = 0;
    DDX_Text(pDX, nID, n);
    if (n < 0 || n > kMaxDecimalPlaces) {
        CString s;
        s.Format("Please enter an integer between 0 and %d.", kMaxDecimalPlaces);
        AfxMessageBox(s, MB_ICONWARNING);
        pDX->Fail();
    }
}

int DecimalPlaces(const CString& s) { return std::clamp(std::atoi(s), 0, kMaxDecimalPlaces); }

CString ValueFormat(int nPlaces, int bExponential)
{
    CString s;
    s.Format("%%.%d%c", nPlaces, bExponential ? 'e' : 'f');
    return s;
}

void FillGraphValues(T_GRAPH_ITEM_D& item, const CArray<double, double>& a, int n)
{
    for (int i = 0; i < n; ++i) {
        CString s;
        s.Format("%e", a[i]);
        item.aValue.Add(s);
    }
}

void ShowInGraphView(CDBDoc* pDoc, std::unique_ptr<T_GRAPH_D> pGraph, const T_GRAPH_VIEW_TEXT_D& texts)
{
    // What the view is told is made before the view is asked for.
    const int nXPlaces = DecimalPlaces(texts.strXDecimal);
    const int nYPlaces = DecimalPlaces(texts.strYDecimal);
    const CString strXFormat = ValueFormat(nXPlaces, texts.bXExponential);
    const CString strYFormat = ValueFormat(nYPlaces, texts.bYExponential);
    const CUnitCtrl* pUnit = CDocCtrl::GetUnitCtrl(pDoc);
    CString strLength, strForce;
    const BOOL bLength = pUnit && pUnit->GetUnitSystemLength(strLength);
    const BOOL bForce = pUnit && pUnit->GetUnitSystemForce(strForce);
    CXYGraphFuncView* pView = pDoc ? pDoc->GetGraphView(texts.strTitle) : nullptr;
    if (!pView)
        return;
    if (bLength)
        pView->m_strLengthUnit = strLength;
    if (bForce)
        pView->m_strForceUnit = strForce;
    pView->SetFormattedValue(1, 1, strXFormat, strYFormat);
    pView->SetDecimalPoint(texts.bXExponential, texts.bYExponential, nXPlaces, nYPlaces);
    pView->SetGraphDataDirect(pGraph.release(), kGraphStyle, 0, texts.strTitle, texts.strXTitle, texts.strYTitle, 0,
                              0, "");
}

} // namespace kvpvs::dialogs
