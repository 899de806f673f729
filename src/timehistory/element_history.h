// The history function of an element family, made from the family's table (element_tables.h):
// one component of one element over all time steps, recomputed by the element library in one
// call for the whole series, and the family's text report. The plate, plane-strain,
// plane-stress and solid functions are this template with their own table; N is the most
// positions a report kind of the family has.
#pragma once
#include "timehistory/CPVSTHCalcFuncBase.h"
#include "timehistory/element_tables.h"

namespace kvpvs::timehistory {

template <const ElementFamilyTable& F, int N>
class ElementHistoryFunc : public CPVSTHCalcFuncBase {
public:
    // Positions of a report: the centre and the nodes the family reports.
    static constexpr int MAX_POSITIONS = N;

    using CPVSTHCalcFuncBase::GetUnitType;
    // Row GetResultRow() of the whole series; 0 when not ready or nothing was computed.
    int Calculate() override;
    int IsAvailable() override { return 1; }
    // The report of rep's elements in one of the family's report kinds; 0 (nothing written)
    // for another kind or when a reading fails.
    int WriteReport(T_THREPORT_D& rep) override;
    int GetUnitType(int nKind, int nComponent) override { return GetResultUnitType(nKind, nComponent); }
    // One component of an element at every position of the report's kind (the nodes for forces,
    // else the centre and the nodes): the values at the steps first, first + stride, ... below
    // nLast, with their extremes (ties keep the earlier step). 0 when a reading fails or a
    // position's series ends before a sampled step.
    virtual int CalcMaxMinByPosition(const T_THREPORT_D& rep, unsigned int nElemK, int nComponent,
                                     CArray<double, double> (&out)[N], double (&dMax)[N], int (&nMaxStep)[N],
                                     double (&dMin)[N], int (&nMinStep)[N], int nFirst, int nLast, int nStride);

    // Unit type of a 1-based result kind and a component, by the family's table.
    static int GetResultUnitType(int nKind, int nComponent) { return F.unitType(nKind, nComponent); }
    // Row of the library's per-step result vector for an element's node count; 1 for another
    // node count or result kind.
    int GetResultRow(unsigned int nElemK, int nKind, int nPosition, int nComponent)
    {
        return F.row(GetElemNodeCount(nElemK), nKind, nPosition, nComponent);
    }
    int GetResultRow() { return GetResultRow(m_nEntityK, m_nResultKind, m_nPosition, m_nComponent); }
    // The two header lines of a report kind's block; for another kind those of the family's
    // nOtherKindHeader, or nothing.
    static void WriteColumnHeader(FILE* fp, int nReportKind);
};

// Made once, in element_history.cpp, for each family's table.
extern template class ElementHistoryFunc<kPlaneStressFamily, 5>;
extern template class ElementHistoryFunc<kPlaneStrainFamily, 5>;
extern template class ElementHistoryFunc<kPlateFamily, 5>;
extern template class ElementHistoryFunc<kSolidFamily, 9>;

} // namespace kvpvs::timehistory
