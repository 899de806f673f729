#include "timehistory/element_report.h"

#include "timehistory/ElementResultsEntry.h"

namespace kvpvs::timehistory {

int ReadElementPositions(CPVSTHCalcFuncBase& f, int nFamily, int (*row)(int, int, int, int), unsigned int nThisK,
                         unsigned int nElemK, int nResultKind, int nComponent, int nPositions,
                         CArray<double, double>* out, double* dMax, int* nMaxStep, double* dMin, int* nMinStep,
                         const StepWindow& w)
{
    for (int p = 0; p < nPositions; ++p)
        out[p].RemoveAll();
    const int nNodes = f.GetElemNodeCount(nElemK);
    const int nKind = ElementKindOf(nFamily, nNodes);
    if (nKind == 0)
        return 0;
    // Whole series per position first (one library call each), then the window's samples.
    constexpr int MAX_POSITIONS = 9;
    CArray<double, double> series[MAX_POSITIONS];
    if (nPositions > MAX_POSITIONS)
        return 0;
    for (int p = 0; p < nPositions; ++p) {
        const int nRow = row(nNodes, nResultKind, p, nComponent);
        // Stress option 1: the library's option 0, as for the report of every element family.
        if (!f.CallElementResults(nElemK, nThisK, f.GetStepCount(), 0, nKind, nRow, nResultKind, nComponent, 1,
                                  &series[p]))
            return 0;
    }
    return w.ForEachWhile([&](int i, int s) {
        for (int p = 0; p < nPositions; ++p) {
            if (s >= series[p].GetSize())
                return false;
            const double v = series[p][s];
            out[p].Add(v);
            TakeExtremes(i, v, s, dMax[p], nMaxStep[p], dMin[p], nMinStep[p]);
        }
        return true;
    })
               ? 1
               : 0;
}

} // namespace kvpvs::timehistory
