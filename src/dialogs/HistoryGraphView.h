// What the history-data and history-graph dialogs share to hand a graph to one of the host's
// graph windows: the decimal-places field, the value formats built from it, the "%e" texts of
// the graph items and the window's titles, units and formats.
#pragma once
#include "afxwin.h"

#include <memory>

class CDBDoc;
struct T_GRAPH_D;
struct T_GRAPH_ITEM_D;

namespace kvpvs::dialogs {

// Item kind the host's graph view draws value-pair curves with.
constexpr int kGraphItemKind = 2;
constexpr int kMaxDecimalPlaces = 15;

// Decimal places: one whole number from 0 to 15 before any format is built from it. A text that
// is not one integer gets the framework's integer-field message, a number outside the range its
// range message; either fails the exchange with the focus in the field.
void DDV_DecimalPlaces(CDataExchange* pDX, UINT nID);
// Validated by the exchange: a whole number in range, blanks around it allowed.
int DecimalPlaces(const CString& s);
// "%." + places + "e" or "f".
CString ValueFormat(int nPlaces, int bExponential);
// The first n values of a series as "%e" texts.
void FillGraphValues(T_GRAPH_ITEM_D& item, const CArray<double, double>& a, int n);

// A dialog's graph settings as its fields hold them.
struct T_GRAPH_VIEW_TEXT_D {
    const CString& strTitle;
    const CString& strXTitle;
    const CString& strYTitle;
    const CString& strXDecimal;
    const CString& strYDecimal;
    int bXExponential;
    int bYExponential;
};

// Hands the graph to the document's graph window of the title with the document's length and
// force units and the formats of the settings; without a window the graph is freed.
void ShowInGraphView(CDBDoc* pDoc, std::unique_ptr<T_GRAPH_D> pGraph, const T_GRAPH_VIEW_TEXT_D& texts);

} // namespace kvpvs::dialogs
