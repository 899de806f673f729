#include "timehistory/element_history.h"

#include "timehistory/element_report.h"

namespace kvpvs::timehistory {

template <const ElementFamilyTable& F, int N>
int ElementHistoryFunc<F, N>::Calculate()
{
    return CalcFamilySeries(F.nFamily, GetResultRow());
}

template <const ElementFamilyTable& F, int N>
int ElementHistoryFunc<F, N>::CalcMaxMinByPosition(const T_THREPORT_D& rep, unsigned int nElemK, int nComponent,
                                                   CArray<double, double> (&out)[N], double (&dMax)[N],
                                                   int (&nMaxStep)[N], double (&dMin)[N], int (&nMinStep)[N],
                                                   int nFirst, int nLast, int nStride)
{
    for (CArray<double, double>& a : out)
        a.RemoveAll();
    // Force positions for report kind 0, those of the stresses for any other.
    const int nPositions = F.layout.kinds[rep.nKind == 0 ? 0 : 1].nPositions;
    if (nPositions > N)
        return 0;
    return ReadElementPositions(*this, F.nFamily, F.row, rep.nThisK, nElemK, rep.nKind + 1, nComponent, nPositions, out,
                                dMax, nMaxStep, dMin, nMinStep, StepWindow{nFirst, nLast, nStride});
}

template <const ElementFamilyTable& F, int N>
int ElementHistoryFunc<F, N>::WriteReport(T_THREPORT_D& rep)
{
    StepWindow w;
    CString strLength, strForce;
    if (!BeginElementReport(rep, F.layout.nKinds, w, strLength, strForce))
        return 0;
    return WriteElementReport<N>(*this, rep, w, F.layout, strLength, strForce,
                                 [&](unsigned int k, int c, PositionColumns<N>& col) {
                                     return CalcMaxMinByPosition(rep, k, c, col.out, col.dMax, col.nMaxStep, col.dMin,
                                                                 col.nMinStep, w.nFirst, w.nLast, w.nStride);
                                 });
}

template <const ElementFamilyTable& F, int N>
void ElementHistoryFunc<F, N>::WriteColumnHeader(FILE* fp, int nReportKind)
{
    const bool bOwn = nReportKind >= 0 && nReportKind < F.layout.nKinds;
    const int nKind = bOwn ? nReportKind : F.nOtherKindHeader;
    if (!fp || nKind < 0)
        return;
    std::fputs(F.layout.kinds[nKind].pszHead, fp);
    std::fputs(F.layout.kinds[nKind].pszRule, fp);
}

template class ElementHistoryFunc<kPlaneStressFamily, 5>;
template class ElementHistoryFunc<kPlaneStrainFamily, 5>;
template class ElementHistoryFunc<kPlateFamily, 5>;
template class ElementHistoryFunc<kSolidFamily, 9>;

} // namespace kvpvs::timehistory
