#include "timehistory/history_loop.h"

#include "timehistory/CPVSTHCalcFuncBase.h"
#include "timehistory/HistoryMessageIds.h"

#include "MsgDll.h"
#include "afxfile.h"

#include <cstdarg>

namespace kvpvs::timehistory {

void KeepExtremes(const CArray<double, double>& a, const StepWindow& w, double& dMax, int& nMaxStep, double& dMin,
                  int& nMinStep)
{
    w.ForEachSample(a.GetSize(), [&](int i, int s) { TakeExtremes(i, a[i], s, dMax, nMaxStep, dMin, nMinStep); });
}

void ReportOutput::Printf(const char* pszFormat, ...)
{
    va_list args;
    va_start(args, pszFormat);
    va_list again;
    va_copy(again, args);
    char buf[256];
    const int n = std::vsnprintf(buf, sizeof buf, pszFormat, args);
    if (n >= 0 && static_cast<size_t>(n) < sizeof buf) {
        m_text.append(buf, static_cast<size_t>(n));
    } else if (n >= 0) {
        const size_t at = m_text.size();
        m_text.resize(at + static_cast<size_t>(n) + 1);
        std::vsnprintf(&m_text[at], static_cast<size_t>(n) + 1, pszFormat, again);
        m_text.resize(at + static_cast<size_t>(n));
    }
    va_end(again);
    va_end(args);
}

void ReportOutput::Row(const char* pszPrefix, const double* v, int n, const char* pszCell, const char* pszEnd)
{
    m_text += pszPrefix;
    for (int c = 0; c < n; ++c)
        Printf(pszCell, v[c]);
    m_text += pszEnd;
}

void ReportOutput::KeyRow(const char* pszPrefix, const unsigned int* k, int n, const char* pszEnd,
                          const char* pszFirstCell)
{
    m_text += pszPrefix;
    for (int c = 0; c < n; ++c)
        Printf(c == 0 ? pszFirstCell : "  %11d", static_cast<int>(k[c]));
    m_text += pszEnd;
}

void ReportOutput::ExtremeRows(const EntityExtreme* g, int n, bool bMinimum, const char* pszValue,
                               const char* pszTime, const char* pszKey, const char* pszFirstKeyCell)
{
    double v[MAX_COLUMNS], t[MAX_COLUMNS];
    unsigned int k[MAX_COLUMNS];
    n = n < MAX_COLUMNS ? n : MAX_COLUMNS;
    for (int c = 0; c < n; ++c) {
        v[c] = bMinimum ? g[c].dMin : g[c].dMax;
        t[c] = bMinimum ? g[c].dMinT : g[c].dMaxT;
        k[c] = bMinimum ? g[c].nMinK : g[c].nMaxK;
    }
    Row(pszValue, v, n, "  %11.3e");
    Row(pszTime, t, n, "  %11.3f");
    KeyRow(pszKey, k, n, "\n", pszFirstKeyCell);
}

int ReportOutput::Finish()
{
    if (m_pGiven) {
        std::fwrite(m_text.data(), 1, m_text.size(), m_pGiven);
        return 1;
    }
    CString strPath;
    m_func.GetReportPath(strPath);
    // Binary: the bytes as formatted, as the run-time's "w" gives them here. The framework's
    // opener refuses what is not a regular file (a FIFO would block the host for ever).
    FILE* fp = AfxTextFOpen(strPath, "wb");
    if (!fp) {
        std::fprintf(stderr, "%s\n",
                     static_cast<const char*>(CMsgDll::pfuncLoadStr(IDS_QB_PVS_Can_t_create_the_file__, 0)));
        return 0;
    }
    std::fwrite(m_text.data(), 1, m_text.size(), fp);
    std::fclose(fp);
    m_func.OpenReport(strPath);
    return 1;
}

} // namespace kvpvs::timehistory
