// Plate history (calculation-function code 5): one component of one 3-, 4-, 6- or 8-node plate
// element (a nodal force or moment, a surface stress, a force or moment per unit length, at
// one position of the element) over all time steps, recomputed from the solver's result files
// by the element library in one call for the whole series.
#pragma once
#include "timehistory/CPVSTHCalcFuncBase.h"

class CPVSTHCalcPlateFunc : public CPVSTHCalcFuncBase {
public:
    // Positions of a report: the centre and four nodes.
    static constexpr int MAX_POSITIONS = 5;

    using CPVSTHCalcFuncBase::GetUnitType;
    int Calculate() override;
    int IsAvailable() override { return 1; }
    int WriteReport(T_THREPORT_D& rep) override;
    int GetUnitType(int nKind, int nComponent) override { return GetResultUnitType(nKind, nComponent); }
    // One component of an element at every position of the report's kind (4 nodes for forces,
    // else the centre and 4 nodes): the values at the steps first, first + stride, ... below
    // nLast, with their extremes (ties keep the earlier step). 0 when a reading fails or a
    // position's series ends before a sampled step.
    virtual int CalcMaxMinByPosition(const T_THREPORT_D& rep, unsigned int nElemK, int nComponent,
                                     CArray<double, double> (&out)[MAX_POSITIONS], double (&dMax)[MAX_POSITIONS],
                                     int (&nMaxStep)[MAX_POSITIONS], double (&dMin)[MAX_POSITIONS],
                                     int (&nMinStep)[MAX_POSITIONS], int nFirst, int nLast, int nStride);

    // Unit type of a 1-based result kind and a component: forces 2, moments 12, stresses 17,
    // forces per length 14, moments per length 13; 1 for anything else.
    static int GetResultUnitType(int nKind, int nComponent);
    // Row of the library's per-step result vector for an element's node count; 1 for another
    // node count or result kind.
    int GetResultRow(unsigned int nElemK, int nKind, int nPosition, int nComponent);
    int GetResultRow() { return GetResultRow(m_nEntityK, m_nResultKind, m_nPosition, m_nComponent); }
    // The two header lines of a report block (0 forces, 1 stresses, 2 unit forces); nothing for
    // another report kind.
    static void WriteColumnHeader(FILE* fp, int nReportKind);

private:
    // The header and rule lines of a report kind; nullptr for another kind.
    static const char* ColumnHeader(int nReportKind);
    static const char* ColumnRule(int nReportKind);
};
