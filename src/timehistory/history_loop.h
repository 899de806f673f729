// The loop that the history functions share: the sampled steps of a series, the modal sum at
// one step, the extremes of a sampled series and of a report's entities, and the output of a
// text report (the request's stream or the report file, and its rows of cells). A function
// adds only its own readings (which host values) and its mapping (which component, which line).
#pragma once
#include "PostCtrlGeoTech.h"
#include "afxtempl.h"

#include <climits>
#include <cstdio>
#include <string>

class CPVSTHCalcFuncBase;

namespace kvpvs::timehistory {

// The steps first, first + stride, ... below last that a series samples; none for a stride
// below 1. Calculate samples every step (0, step count, 1), a report its window. The steps are
// counted in 64 bits: a stride near INT_MAX ends the window instead of wrapping round.
struct StepWindow {
    int nFirst = 0;
    int nLast = 0;
    int nStride = 1;

    // f(i, s) for the i-th sampled step s, in step order.
    template <class F>
    void ForEach(F f) const
    {
        ForEachSample(INT_MAX, f);
    }
    // f(i, s) for the first n samples of the window: the values of a series read over it.
    template <class F>
    void ForEachSample(int n, F f) const
    {
        Sample(n, [&](int i, int s) {
            f(i, s);
            return true;
        });
    }
    // f(i, s) while it returns true; false when a step failed (a reading the host refused).
    template <class F>
    bool ForEachWhile(F f) const
    {
        return Sample(INT_MAX, f);
    }

private:
    template <class F>
    bool Sample(int n, F f) const
    {
        if (nStride < 1)
            return true;
        int i = 0;
        for (long long s = nFirst; s < nLast && i < n; s += nStride, ++i)
            if (!f(i, static_cast<int>(s)))
                return false;
        return true;
    }
};

// Modal superposition at step s (from 0): term(k, q) for the modes k of [m0, m1) in mode
// order, q being the modal coordinate of mode k + 1 at step s + 1 (the host counts from 1).
template <class Reader, class Term>
void ForEachMode(const Reader& reader, int s, int m0, int m1, Term term)
{
    for (int k = m0; k < m1; ++k) {
        _MDSP_BN q;
        reader.GetTimeDisp(k + 1, s + 1, q);
        term(k, q);
    }
}

// Extremes of a sampled series: the first sample sets both; a later one replaces the maximum
// only when strictly greater and the minimum only when strictly smaller, so ties keep the
// earlier step.
inline void TakeExtremes(int i, double v, int s, double& dMax, int& nMaxStep, double& dMin, int& nMinStep)
{
    if (i == 0 || v > dMax) {
        dMax = v;
        nMaxStep = s;
    }
    if (i == 0 || v < dMin) {
        dMin = v;
        nMinStep = s;
    }
}

// The extremes of a whole series read over the window.
void KeepExtremes(const CArray<double, double>& a, const StepWindow& w, double& dMax, int& nMaxStep, double& dMin,
                  int& nMinStep);

// One report column over the report's nodes or elements: the greatest maximum and the
// smallest minimum with their times and keys. The first entity sets them; a later one
// replaces them only when strictly beyond, so ties keep the earlier (lower) key.
struct EntityExtreme {
    double dMax = 0.0, dMin = 0.0;
    double dMaxT = 0.0, dMinT = 0.0;
    unsigned int nMaxK = 0, nMinK = 0;

    void Take(bool bFirst, double mx, double tMax, double mn, double tMin, unsigned int nKey)
    {
        if (bFirst || mx > dMax) {
            dMax = mx;
            dMaxT = tMax;
            nMaxK = nKey;
        }
        if (bFirst || mn < dMin) {
            dMin = mn;
            dMinT = tMin;
            nMinK = nKey;
        }
    }
};

// The text of a report, written only once complete: to the request's stream when it gives one,
// else to the report file at the function's GetReportPath, created then and shown in the text
// editor. A report that fails before Finish writes nothing and leaves any earlier file as it was.
class ReportOutput {
public:
    // Columns of the widest report table (eight components of a plate's unit forces).
    static constexpr int MAX_COLUMNS = 8;

    ReportOutput(CPVSTHCalcFuncBase& func, FILE* pGiven) : m_func(func), m_pGiven(pGiven) {}
    ReportOutput(const ReportOutput&) = delete;
    ReportOutput& operator=(const ReportOutput&) = delete;

    void Printf(const char* pszFormat, ...) __attribute__((format(printf, 2, 3)));
    // One table row: the prefix, one cell per value in pszCell ("  %11.3e" values, "  %11.3f"
    // times), then the end. A row printed so has the bytes of the one-format line it splits.
    void Row(const char* pszPrefix, const double* v, int n, const char* pszCell, const char* pszEnd = "\n");
    // A row of node or element keys, each in "  %11d" as the host's int; the first in
    // pszFirstCell where a report's key column joins its prefix ("Plain Strn.%11d").
    void KeyRow(const char* pszPrefix, const unsigned int* k, int n, const char* pszEnd = "\n",
                const char* pszFirstCell = "  %11d");
    // The maxima (or minima) of n summary columns: their values, times and keys, one row each.
    void ExtremeRows(const EntityExtreme* g, int n, bool bMinimum, const char* pszValue, const char* pszTime,
                     const char* pszKey, const char* pszFirstKeyCell = "  %11d");
    // Writes the complete report: 1; 0 when the report file cannot be created (the text of
    // "IDS_QB_PVS_Can_t_create_the_file__" is shown).
    int Finish();

private:
    CPVSTHCalcFuncBase& m_func;
    FILE* m_pGiven = nullptr;
    std::string m_text;
};

} // namespace kvpvs::timehistory
