// Stand-in for the host's XY graph window: a view that draws curves from graph data handed to it
// (T_GRAPH_D, a list of items: a name, a label, a kind and one value text per point). The view
// owns the data from SetGraphDataDirect on. Choices: the view records every setting it is given
// and draws nothing; with an output path it writes the data as CSV, a column per item headed by
// its name and label; live graph records are counted, so that a leak shows without a checker.
#pragma once
#include "afxwin.h"

#include <memory>

struct T_GRAPH_ITEM_D {
    CString strName;
    CString strLabel;
    int nKind = 0;
    CArray<CString, const CString&> aValue;
};

// The graph data: deleting it deletes every item.
struct T_GRAPH_D {
    CArray<T_GRAPH_ITEM_D*, T_GRAPH_ITEM_D*> aItem;

    T_GRAPH_D();
    ~T_GRAPH_D();
    T_GRAPH_D(const T_GRAPH_D&) = delete;
    T_GRAPH_D& operator=(const T_GRAPH_D&) = delete;
    // Graph records constructed and not yet deleted.
    static int GetLiveCount();
};

class CXYGraphFuncView : public CView {
    DECLARE_DYNAMIC(CXYGraphFuncView)
public:
    CXYGraphFuncView() = default;
    ~CXYGraphFuncView() override;

    // Value formats (printf) of the X and Y axes, each used when its flag is set.
    void SetFormattedValue(int bX, int bY, const char* pszXFormat, const char* pszYFormat);
    void SetDecimalPoint(int bXExponential, int bYExponential, int nXPlaces, int nYPlaces);
    // Takes the data (freeing what it held) and shows it with the style, titles and options.
    void SetGraphDataDirect(T_GRAPH_D* pData, UINT nStyle, int nOption1, const char* pszTitle,
                            const char* pszXTitle, const char* pszYTitle, int nOption2, int nOption3,
                            const char* pszNote);

    // Unit texts of the axes: the current unit system's length and force names.
    CString m_strLengthUnit;
    CString m_strForceUnit;

    // What the view was given last.
    const T_GRAPH_D* GetGraphData() const { return m_pData.get(); }
    int GetGraphDataCount() const { return m_nDataCalls; }
    UINT GetStyle() const { return m_nStyle; }
    CString m_strTitle, m_strXTitle, m_strYTitle, m_strNote;
    int m_aOption[3] = {0, 0, 0};
    int m_bXFormatted = 0, m_bYFormatted = 0;
    CString m_strXFormat, m_strYFormat;
    int m_bXExponential = 0, m_bYExponential = 0, m_nXPlaces = 0, m_nYPlaces = 0;

    // Host side: write each new graph as CSV to this file (none when empty).
    void SetOutputPath(const char* pszPath) { m_strOutputPath = pszPath ? pszPath : ""; }
    BOOL WriteCsv(const char* pszPath) const;
    BOOL GetLastWriteOk() const { return m_bWriteOk; }

private:
    std::unique_ptr<T_GRAPH_D> m_pData;
    int m_nDataCalls = 0;
    UINT m_nStyle = 0;
    CString m_strOutputPath;
    BOOL m_bWriteOk = FALSE;
};
