#include "timehistory/CPVSTHCalcPlateFunc.h"

#include "timehistory/ElementResultsEntry.h"
#include "timehistory/element_report.h"
#include "timehistory/element_tables.h"
#include "timehistory/history_loop.h"

#include "MsgDll.h"
#include "UnitCtrl.h"

using namespace kvpvs::timehistory;

namespace {
// The element library's plate family (kinds 3 and 7 by node count).
constexpr int PLATE_FAMILY = 3;
} // namespace

int CPVSTHCalcPlateFunc::GetResultUnitType(int nKind, int nComponent) { return PlateUnitType(nKind, nComponent); }

int CPVSTHCalcPlateFunc::GetResultRow(unsigned int nElemK, int nKind, int nPosition, int nComponent)
{
    return PlateRow(GetElemNodeCount(nElemK), nKind, nPosition, nComponent);
}

const char* CPVSTHCalcPlateFunc::ColumnHeader(int nReportKind)
{
    switch (nReportKind) {
    case 0: return "  TIME         Fx           Fy            Fz          Mx           My            Mz    \n";
    case 1: return "  TIME     Sig-xx(Top)  Sig-yy(Top)  Sig-xy(Top)  Sig-xx(Bot)  Sig-yy(Bot)  Sig-xy(Bot)\n";
    case 2:
        return "  TIME         Fxx          Fyy          Fxy          Mxx          Myy          Mxy          Vxx          "
               "Vyy    \n";
    default: return nullptr;
    }
}

const char* CPVSTHCalcPlateFunc::ColumnRule(int nReportKind)
{
    switch (nReportKind) {
    case 0:
    case 1: return "------- -  -----------  -----------  -----------  -----------  -----------  -----------\n";
    case 2:
        return "------- -  -----------  -----------  -----------  -----------  -----------  -----------  -----------  "
               "-----------\n";
    default: return nullptr;
    }
}

void CPVSTHCalcPlateFunc::WriteColumnHeader(FILE* fp, int nReportKind)
{
    const char* pszHead = ColumnHeader(nReportKind);
    if (!fp || !pszHead)
        return;
    std::fputs(pszHead, fp);
    std::fputs(ColumnRule(nReportKind), fp);
}

int CPVSTHCalcPlateFunc::Calculate()
{
    return CalcFamilySeries(PLATE_FAMILY, GetResultRow());
}

int CPVSTHCalcPlateFunc::CalcMaxMinByPosition(const T_THREPORT_D& rep, unsigned int nElemK, int nComponent,
                                              CArray<double, double> (&out)[MAX_POSITIONS],
                                              double (&dMax)[MAX_POSITIONS], int (&nMaxStep)[MAX_POSITIONS],
                                              double (&dMin)[MAX_POSITIONS], int (&nMinStep)[MAX_POSITIONS],
                                              int nFirst, int nLast, int nStride)
{
    for (CArray<double, double>& a : out)
        a.RemoveAll();
    return ReadElementPositions(*this, PLATE_FAMILY, &PlateRow, rep.nThisK, nElemK, rep.nKind + 1, nComponent,
                                rep.nKind == 0 ? 4 : 5, out, dMax, nMaxStep, dMin, nMinStep,
                                StepWindow{nFirst, nLast, nStride});
}

int CPVSTHCalcPlateFunc::WriteReport(T_THREPORT_D& rep)
{
    // Forces, stresses or unit forces; another kind has no table to write.
    StepWindow w;
    CString strLength, strForce;
    if (!BeginElementReport(rep, 3, w, strLength, strForce))
        return 0;
    static const ElementReportLayout kLayout = {
        "\n ** %s Plate Element Time-history Output Data ** \n",
        "IDS_QB_PVS__n_ELEM____5d_PLATE__8s_History__Local___",
        "IDS_QB_PVS__Maximum_Minimum__s_of_Selected_Plate___",
        "Plate    ",
        "  %11d",
        3,
        {{"IDS_QB_PVS_Force", 6, 4, false, ColumnHeader(0), ColumnRule(0),
          "------- -  -----------  -----------  -----------  -----------  -----------  -----------\n\n"},
         {"IDS_QB_PVS_Stress", 6, 5, true, ColumnHeader(1), ColumnRule(1),
          "------- -  -----------  -----------  -----------  -----------  -----------  -----------\n\n"},
         {"IDS_QB_PVS_Unit_Force", 8, 5, true, ColumnHeader(2), ColumnRule(2),
          "------- -  -----------  -----------  -----------  -----------  -----------  -----------  -----------  "
          "-----------\n\n"}}};
    return WriteElementReport<MAX_POSITIONS>(
        *this, rep, w, kLayout, strLength, strForce, [&](unsigned int k, int c, PositionColumns<MAX_POSITIONS>& col) {
            return CalcMaxMinByPosition(rep, k, c, col.out, col.dMax, col.nMaxStep, col.dMin, col.nMinStep, w.nFirst,
                                        w.nLast, w.nStride);
        });
}
