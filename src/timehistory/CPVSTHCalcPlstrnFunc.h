// Plane-strain history (calculation-function code 4): one component of one 3-, 4-, 6- or
// 8-node plane-strain element (a nodal force, a stress or a strain at one position of the
// element) over all time steps, recomputed from the solver's result files by the element
// library in one call for the whole series. The history-graph dialog labels its value axis
// with the unit type of these results.
#pragma once
#include "timehistory/CPVSTHCalcFuncBase.h"

class CPVSTHCalcPlstrnFunc : public CPVSTHCalcFuncBase {
public:
    // Positions of a report: the centre and four nodes.
    static constexpr int MAX_POSITIONS = 5;

    using CPVSTHCalcFuncBase::GetUnitType;
    int Calculate() override;
    int IsAvailable() override { return 1; }
    int WriteReport(T_THREPORT_D& rep) override;
    int GetUnitType(int nKind, int nComponent) override { return GetResultUnitType(nKind, nComponent); }
    // One component of an element at every position of the report's kind (4 nodes for forces,
    // else the centre and 4 nodes), sampled over the window with extremes, as for plates.
    virtual int CalcMaxMinByPosition(const T_THREPORT_D& rep, unsigned int nElemK, int nComponent,
                                     CArray<double, double> (&out)[MAX_POSITIONS], double (&dMax)[MAX_POSITIONS],
                                     int (&nMaxStep)[MAX_POSITIONS], double (&dMin)[MAX_POSITIONS],
                                     int (&nMinStep)[MAX_POSITIONS], int nFirst, int nLast, int nStride);

    // Unit type of a 1-based result kind: forces 2, stresses 17, strains 0 (no unit), else 1.
    static int GetResultUnitType(int nKind, int nComponent);
    // Row of the library's per-step result vector for an element's node count; 1 for another
    // node count or result kind.
    int GetResultRow(unsigned int nElemK, int nKind, int nPosition, int nComponent);
    int GetResultRow() { return GetResultRow(m_nEntityK, m_nResultKind, m_nPosition, m_nComponent); }
    // The two header lines of a report block: forces for report kind 0, stresses for any other.
    static void WriteColumnHeader(FILE* fp, int nReportKind);
};
