// Plane-stress history: one component of one 3-, 4-, 6- or 8-node plane-stress element (a
// nodal force or a stress at one position) over all time steps, as the plane-strain function
// computes its own. No calculation-function code makes it: the factory offers plane-stress
// elements no history, and only a caller that constructs it directly gets one.
#pragma once
#include "timehistory/CPVSTHCalcFuncBase.h"

class CPVSTHCalcPlstrsFunc : public CPVSTHCalcFuncBase {
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

    // Unit type of a 1-based result kind: forces 2, stresses 17, else 1 (no strains).
    static int GetResultUnitType(int nKind, int nComponent);
    // Row of the library's per-step result vector for an element's node count; 1 for another
    // node count or result kind.
    int GetResultRow(unsigned int nElemK, int nKind, int nPosition, int nComponent);
    int GetResultRow() { return GetResultRow(m_nEntityK, m_nResultKind, m_nPosition, m_nComponent); }
    // The two header lines of a report block: forces for report kind 0, stresses for any other.
    static void WriteColumnHeader(FILE* fp, int nReportKind);
};
