#include "timehistory/CPVSTHCalcPlstrsFunc.h"

#include "timehistory/ElementResultsEntry.h"
#include "timehistory/element_report.h"
#include "timehistory/element_tables.h"

#include "UnitCtrl.h"

using namespace kvpvs::timehistory;

namespace {
// The element library's plane-stress family (kinds 1 and 5 by node count).
constexpr int FAMILY = 1;

const char* ColumnHeader(int nReportKind)
{
    return nReportKind == 0 ? "  TIME         Fx           Fy     \n"
                            : "  TIME        Sig-xx       Sig-yy      Sig-xy    \n";
}

const char* ColumnRule(int nReportKind)
{
    return nReportKind == 0 ? "------- -  -----------  -----------\n"
                            : "------- -  -----------  -----------  ----------- \n";
}
} // namespace

int CPVSTHCalcPlstrsFunc::GetResultUnitType(int nKind, int nComponent) { return PlstrsUnitType(nKind, nComponent); }

int CPVSTHCalcPlstrsFunc::GetResultRow(unsigned int nElemK, int nKind, int nPosition, int nComponent)
{
    return PlstrsRow(GetElemNodeCount(nElemK), nKind, nPosition, nComponent);
}

void CPVSTHCalcPlstrsFunc::WriteColumnHeader(FILE* fp, int nReportKind)
{
    if (!fp)
        return;
    std::fputs(ColumnHeader(nReportKind), fp);
    std::fputs(ColumnRule(nReportKind), fp);
}

int CPVSTHCalcPlstrsFunc::Calculate()
{
    return CalcFamilySeries(FAMILY, GetResultRow());
}

int CPVSTHCalcPlstrsFunc::CalcMaxMinByPosition(const T_THREPORT_D& rep, unsigned int nElemK, int nComponent,
                                               CArray<double, double> (&out)[MAX_POSITIONS],
                                               double (&dMax)[MAX_POSITIONS], int (&nMaxStep)[MAX_POSITIONS],
                                               double (&dMin)[MAX_POSITIONS], int (&nMinStep)[MAX_POSITIONS],
                                               int nFirst, int nLast, int nStride)
{
    for (CArray<double, double>& a : out)
        a.RemoveAll();
    return ReadElementPositions(*this, FAMILY, &PlstrsRow, rep.nThisK, nElemK, rep.nKind + 1, nComponent,
                                rep.nKind == 0 ? 4 : 5, out, dMax, nMaxStep, dMin, nMinStep,
                                StepWindow{nFirst, nLast, nStride});
}

int CPVSTHCalcPlstrsFunc::WriteReport(T_THREPORT_D& rep)
{
    // Forces or stresses: the report has texts for these two kinds only.
    StepWindow w;
    CString strLength, strForce;
    if (!BeginElementReport(rep, 2, w, strLength, strForce))
        return 0;
    static const ElementReportLayout kLayout = {
        "\n ** %s Plane Stress Element Time-history Output Data ** \n",
        "IDS_QB_PVS__n_ELEM____5d_PLANE_STRESS__8s_History__Local___",
        "IDS_QB_PVS__Maximum_Minimum__s_of_Selected_Plain_Stress___",
        "Plain Strs.",
        "%11d",
        2,
        {{"IDS_QB_PVS_Force", 2, 4, false, ColumnHeader(0), ColumnRule(0), "------- -  -----------  ----------- \n\n"},
         {"IDS_QB_PVS_Stress", 3, 5, true, ColumnHeader(1), ColumnRule(1),
          "------- -  -----------  -----------  -----------\n\n"},
         {}}};
    return WriteElementReport<MAX_POSITIONS>(
        *this, rep, w, kLayout, strLength, strForce, [&](unsigned int k, int c, PositionColumns<MAX_POSITIONS>& col) {
            return CalcMaxMinByPosition(rep, k, c, col.out, col.dMax, col.nMaxStep, col.dMin, col.nMinStep, w.nFirst,
                                        w.nLast, w.nStride);
        });
}
