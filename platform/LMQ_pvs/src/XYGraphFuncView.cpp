#include "XYGraphFuncView.h"

#include <algorithm>
#include <cstdio>
#include <string>

IMPLEMENT_DYNAMIC(CXYGraphFuncView, CView)

namespace {
int g_nLiveGraphs = 0;

// One CSV field: quoted when it holds a separator, a quote or a line break.
std::string CsvField(const CString& s)
{
    std::string v = s.GetString();
    if (v.find_first_of(",\"\n\r") == std::string::npos)
        return v;
    std::string q = "\"";
    for (char c : v) {
        if (c == '"')
            q += '"';
        q += c;
    }
    return q + "\"";
}
} // namespace

T_GRAPH_D::T_GRAPH_D() { ++g_nLiveGraphs; }

T_GRAPH_D::~T_GRAPH_D()
{
    for (int i = 0; i < aItem.GetSize(); ++i)
        delete aItem[i];
    --g_nLiveGraphs;
}

int T_GRAPH_D::GetLiveCount() { return g_nLiveGraphs; }

CXYGraphFuncView::~CXYGraphFuncView() = default;

void CXYGraphFuncView::SetFormattedValue(int bX, int bY, const char* pszXFormat, const char* pszYFormat)
{
    m_bXFormatted = bX;
    m_bYFormatted = bY;
    m_strXFormat = pszXFormat;
    m_strYFormat = pszYFormat;
}

void CXYGraphFuncView::SetDecimalPoint(int bXExponential, int bYExponential, int nXPlaces, int nYPlaces)
{
    m_bXExponential = bXExponential;
    m_bYExponential = bYExponential;
    m_nXPlaces = nXPlaces;
    m_nYPlaces = nYPlaces;
}

void CXYGraphFuncView::SetGraphDataDirect(T_GRAPH_D* pData, UINT nStyle, int nOption1, const char* pszTitle,
                                          const char* pszXTitle, const char* pszYTitle, int nOption2, int nOption3,
                                          const char* pszNote)
{
    m_pData.reset(pData);
    ++m_nDataCalls;
    m_nStyle = nStyle;
    m_aOption[0] = nOption1;
    m_aOption[1] = nOption2;
    m_aOption[2] = nOption3;
    m_strTitle = pszTitle;
    m_strXTitle = pszXTitle;
    m_strYTitle = pszYTitle;
    m_strNote = pszNote;
    if (!m_strOutputPath.IsEmpty())
        m_bWriteOk = WriteCsv(m_strOutputPath);
}

BOOL CXYGraphFuncView::WriteCsv(const char* pszPath) const
{
    if (!m_pData || !pszPath)
        return FALSE;
    FILE* fp = std::fopen(pszPath, "w");
    if (!fp)
        return FALSE;
    const T_GRAPH_D& g = *m_pData;
    int nRows = 0;
    for (int c = 0; c < g.aItem.GetSize(); ++c) {
        std::fprintf(fp, "%s%s", c ? "," : "", CsvField(g.aItem[c]->strName).c_str());
        nRows = std::max(nRows, g.aItem[c]->aValue.GetSize());
    }
    std::fprintf(fp, "\n");
    for (int c = 0; c < g.aItem.GetSize(); ++c)
        std::fprintf(fp, "%s%s", c ? "," : "", CsvField(g.aItem[c]->strLabel).c_str());
    std::fprintf(fp, "\n");
    // Items of different lengths leave their missing cells empty.
    for (int r = 0; r < nRows; ++r) {
        for (int c = 0; c < g.aItem.GetSize(); ++c) {
            const T_GRAPH_ITEM_D& it = *g.aItem[c];
            std::fprintf(fp, "%s%s", c ? "," : "", r < it.aValue.GetSize() ? CsvField(it.aValue[r]).c_str() : "");
        }
        std::fprintf(fp, "\n");
    }
    return std::fclose(fp) == 0 ? TRUE : FALSE;
}
