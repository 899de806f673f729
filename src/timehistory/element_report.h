// The text report that the element history functions (plate, plane strain, plane stress,
// solid) share: per element the sampled steps of every position and component with their
// extremes, then the extremes over all elements. A function gives its layout (texts, columns,
// positions, rules) and its per-position reading; the lines are written here once.
#pragma once
#include "timehistory/CPVSTHCalcFuncBase.h"
#include "timehistory/element_tables.h"
#include "timehistory/history_loop.h"

#include "MsgDll.h"

#include <string>

namespace kvpvs::timehistory {

// Labels of the centre and of up to eight nodes.
inline const char* const* PositionLabels()
{
    static const char* const kLabels[9] = {"C", "I", "J", "K", "L", "M", "N", "O", "P"};
    return kLabels;
}

// One component of an element at each of N positions over a report's window, with extremes.
template <int N>
struct PositionColumns {
    CArray<double, double> out[N];
    double dMax[N] = {}, dMin[N] = {};
    int nMaxStep[N] = {}, nMinStep[N] = {};
};

// Writes the report of rep's elements (rep.nKind a kind of the layout, w the report's window).
// read(k, c, cols) gives element k's component c at every position of the kind: 1, or 0 when a
// reading failed, which ends the report with 0 and nothing written.
template <int N, class Read>
int WriteElementReport(CPVSTHCalcFuncBase& f, T_THREPORT_D& rep, const StepWindow& w, const ElementReportLayout& layout,
                       const CString& strLength, const CString& strForce, Read read)
{
    constexpr int MAX_COLS = ReportOutput::MAX_COLUMNS;
    const ElementReportKind& kind = layout.kinds[rep.nKind];
    const int nCols = kind.nCols;
    const int nPos = kind.nPositions;
    const char* const* pLabel = kind.bCentre ? PositionLabels() : PositionLabels() + 1;
    const CString strKind = CMsgDll::pfuncLoadStr(kind.pszTextId, 0);
    ReportOutput out(f, rep.pFile);
    out.Printf(layout.pszTitle, "");
    out.Printf("___________________________________________________________\n\n");
    // Over all elements, per position and component.
    EntityExtreme g[N][MAX_COLS];
    for (int n = 0; n < rep.aKeys.GetSize(); ++n) {
        const unsigned int k = rep.aKeys[n];
        PositionColumns<N> col[MAX_COLS];
        for (int c = 0; c < nCols; ++c)
            if (!read(k, c, col[c]))
                return 0;
        // Per position: maxima, their times, minima, their times, by component.
        double x[N][4][MAX_COLS] = {};
        for (int p = 0; p < nPos; ++p)
            for (int c = 0; c < nCols; ++c) {
                x[p][0][c] = col[c].dMax[p];
                x[p][1][c] = f.GetTimeStep(col[c].nMaxStep[p]);
                x[p][2][c] = col[c].dMin[p];
                x[p][3][c] = f.GetTimeStep(col[c].nMinStep[p]);
                g[p][c].Take(n == 0, x[p][0][c], x[p][1][c], x[p][2][c], x[p][3][c], k);
            }
        CString head;
        head.Format(CMsgDll::pfuncLoadStr(layout.pszElemHeadId, 0), static_cast<int>(k),
                    static_cast<const char*>(strKind), static_cast<const char*>(strLength),
                    static_cast<const char*>(strForce));
        out.Printf("%s", static_cast<const char*>(head));
        out.Printf("--------------------------------------------- \n\n");
        out.Printf("%s%s", kind.pszHead, kind.pszRule);
        if (!rep.bNoSteps)
            w.ForEachSample(col[0].out[0].GetSize(), [&](int i, int s) {
                for (int p = 0; p < nPos; ++p) {
                    double v[MAX_COLS];
                    for (int c = 0; c < nCols; ++c)
                        v[c] = col[c].out[p][i];
                    if (p == 0)
                        out.Printf("%7.3f %s", f.GetTimeStep(s), pLabel[p]);
                    else
                        out.Printf("%7s %s", "", pLabel[p]);
                    out.Row("", v, nCols, "  %11.3e");
                }
            });
        out.Printf("%s", kind.pszClose);
        for (int p = 0; p < nPos; ++p) {
            const std::string strMax = std::string("Maximum ") + pLabel[p];
            const std::string strMin = std::string("Minimum ") + pLabel[p];
            out.Row(strMax.c_str(), x[p][0], nCols, "  %11.3e");
            out.Row("At Time  ", x[p][1], nCols, "  %11.3f");
            out.Row(strMin.c_str(), x[p][2], nCols, "  %11.3e");
            out.Row("At Time  ", x[p][3], nCols, "  %11.3f");
        }
    }
    if (rep.aKeys.GetSize() > 0) {
        out.Printf("\n---------------------------------------------- \n");
        CString title;
        title.Format(CMsgDll::pfuncLoadStr(layout.pszSummaryId, 0), static_cast<const char*>(strKind));
        out.Printf("%s", static_cast<const char*>(title));
        out.Printf("---------------------------------------------- \n\n");
        out.Printf("%s%s", kind.pszHead, kind.pszRule);
        for (int p = 0; p < nPos; ++p) {
            const std::string strMax = std::string("Maximum ") + pLabel[p];
            const std::string strMin = std::string("Minimum ") + pLabel[p];
            out.ExtremeRows(g[p], nCols, false, strMax.c_str(), "At Time  ", layout.pszKeyPrefix,
                            layout.pszFirstKeyCell);
            out.ExtremeRows(g[p], nCols, true, strMin.c_str(), "At Time  ", layout.pszKeyPrefix,
                            layout.pszFirstKeyCell);
        }
    }
    out.Printf("\n");
    out.Printf("\n\n");
    return out.Finish();
}

// The per-position readings of an element report: for positions 0 to nPositions - 1 the
// library's series of (result kind, component) at row(nodes, kind, p, component), then the
// sampled values and their extremes. 0 when the element's node count has no library kind, a
// reading fails, or a series ends before a sampled step.
int ReadElementPositions(CPVSTHCalcFuncBase& f, int nFamily, int (*row)(int, int, int, int), unsigned int nThisK,
                         unsigned int nElemK, int nResultKind, int nComponent, int nPositions,
                         CArray<double, double>* out, double* dMax, int* nMaxStep, double* dMin, int* nMinStep,
                         const StepWindow& w);

} // namespace kvpvs::timehistory
