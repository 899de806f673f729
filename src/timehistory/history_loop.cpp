#include "timehistory/history_loop.h"

#include "timehistory/CPVSTHCalcFuncBase.h"

#include "MsgDll.h"

#include <cstdarg>

namespace kvpvs::timehistory {

void KeepExtremes(const CArray<double, double>& a, const StepWindow& w, double& dMax, int& nMaxStep, double& dMin,
                  int& nMinStep)
{
    w.ForEachSample(a.GetSize(), [&](int i, int s) { TakeExtremes(i, a[i], s, dMax, nMaxStep, dMin, nMinStep); });
}

ReportOutput::ReportOutput(CPVSTHCalcFuncBase& func, FILE* pGiven) : m_func(func), m_fp(pGiven)
{
    if (m_fp)
        return;
    m_func.GetReportPath(m_strPath);
    m_fp = std::fopen(m_strPath, "w");
    if (!m_fp) {
        std::fprintf(stderr, "%s\n",
                     static_cast<const char*>(CMsgDll::pfuncLoadStr("IDS_QB_PVS_Can_t_create_the_file__", 0)));
        return;
    }
    m_bOwn = true;
}

ReportOutput::~ReportOutput()
{
    if (m_bOwn && m_fp)
        std::fclose(m_fp);
}

void ReportOutput::Printf(const char* pszFormat, ...)
{
    va_list args;
    va_start(args, pszFormat);
    std::vfprintf(m_fp, pszFormat, args);
    va_end(args);
}

void ReportOutput::Row(const char* pszPrefix, const double* v, int n, const char* pszCell, const char* pszEnd)
{
    std::fputs(pszPrefix, m_fp);
    for (int c = 0; c < n; ++c)
        std::fprintf(m_fp, pszCell, v[c]);
    std::fputs(pszEnd, m_fp);
}

void ReportOutput::KeyRow(const char* pszPrefix, const unsigned int* k, int n, const char* pszEnd)
{
    std::fputs(pszPrefix, m_fp);
    for (int c = 0; c < n; ++c)
        std::fprintf(m_fp, "  %11d", static_cast<int>(k[c]));
    std::fputs(pszEnd, m_fp);
}

void ReportOutput::ExtremeRows(const EntityExtreme* g, int n, bool bMinimum, const char* pszValue,
                               const char* pszTime, const char* pszKey)
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
    KeyRow(pszKey, k, n);
}

void ReportOutput::Finish()
{
    if (!m_bOwn)
        return;
    std::fclose(m_fp);
    m_fp = nullptr;
    m_bOwn = false;
    m_func.OpenReport(m_strPath);
}

} // namespace kvpvs::timehistory
