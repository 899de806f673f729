#include "timehistory/CPVSTHCalcPlateFunc.h"

#include "timehistory/ElementResultsEntry.h"
#include "timehistory/element_tables.h"
#include "timehistory/history_loop.h"

#include "MsgDll.h"
#include "UnitCtrl.h"

#include <string>

using namespace kvpvs::timehistory;

namespace {
// The element library's plate family (kinds 3 and 7 by node count).
constexpr int PLATE_FAMILY = 3;
// Components of the widest report kind (unit forces).
constexpr int MAX_COMPONENTS = 8;
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
    if (!m_bValid)
        return 0;
    if (!m_pAnlCtrl || !m_pAnlCtrl->IsResultReady())
        return 0;
    ClearResults();
    // The node count alone picks the library's kind; a count outside the plate table makes no call.
    const int nKind = ElementKindOf(PLATE_FAMILY, GetNodeCount());
    if (nKind == 0)
        return 0;
    const int nRow = GetResultRow();
    return CalcElementResults(nKind, nRow, nullptr) ? 1 : 0;
}

int CPVSTHCalcPlateFunc::CalcMaxMinByPosition(const T_THREPORT_D& rep, unsigned int nElemK, int nComponent,
                                              CArray<double, double> (&out)[MAX_POSITIONS],
                                              double (&dMax)[MAX_POSITIONS], int (&nMaxStep)[MAX_POSITIONS],
                                              double (&dMin)[MAX_POSITIONS], int (&nMinStep)[MAX_POSITIONS],
                                              int nFirst, int nLast, int nStride)
{
    for (CArray<double, double>& a : out)
        a.RemoveAll();
    const int nPositions = rep.nKind == 0 ? 4 : 5;
    const int nResultKind = rep.nKind + 1;
    const int nKind = ElementKindOf(PLATE_FAMILY, GetElemNodeCount(nElemK));
    if (nKind == 0)
        return 0;
    CArray<double, double> series[MAX_POSITIONS];
    for (int p = 0; p < nPositions; ++p) {
        const int nRow = GetResultRow(nElemK, nResultKind, p, nComponent);
        if (!CallElementResults(nElemK, rep.nThisK, m_nStepCount, 0, nKind, nRow, nResultKind, nComponent, 1,
                                &series[p]))
            return 0;
    }
    const StepWindow w{nFirst, nLast, nStride};
    const bool bAll = w.ForEachWhile([&](int i, int s) {
        for (int p = 0; p < nPositions; ++p) {
            if (s >= series[p].GetSize())
                return false;
            const double v = series[p][s];
            out[p].Add(v);
            TakeExtremes(i, v, s, dMax[p], nMaxStep[p], dMin[p], nMinStep[p]);
        }
        return true;
    });
    return bAll ? 1 : 0;
}

int CPVSTHCalcPlateFunc::WriteReport(T_THREPORT_D& rep)
{
    // Forces, stresses or unit forces; another kind has no table to write.
    if (rep.nKind < 0 || rep.nKind > 2)
        return 0;
    LoadModeCount();
    StepWindow w;
    if (!BeginReport(rep, w))
        return 0;
    static const char* const kKindText[3] = {"IDS_QB_PVS_Force", "IDS_QB_PVS_Stress", "IDS_QB_PVS_Unit_Force"};
    static const char* const kLabels[MAX_POSITIONS] = {"C", "I", "J", "K", "L"};
    const int nCols = rep.nKind == 2 ? 8 : 6;
    const int nPos = rep.nKind == 0 ? 4 : 5;
    // Forces are reported at the nodes, the other kinds at the centre and the nodes.
    const char* const* pLabel = rep.nKind == 0 ? kLabels + 1 : kLabels;
    const CString strKind = CMsgDll::pfuncLoadStr(kKindText[rep.nKind], 0);
    CString strLength, strForce;
    if (CUnitCtrl* pUnit = UnitCtrl()) {
        pUnit->GetUnitSystem(1, strLength);
        pUnit->GetUnitSystem(2, strForce);
    }
    const char* pszHead = ColumnHeader(rep.nKind);
    const char* pszRule = ColumnRule(rep.nKind);
    ReportOutput out(*this, rep.pFile);
    out.Printf("\n ** %s Plate Element Time-history Output Data ** \n", "");
    out.Printf("___________________________________________________________\n\n");
    // Over all elements, per position and component.
    EntityExtreme g[MAX_POSITIONS][MAX_COMPONENTS];
    for (int n = 0; n < rep.aKeys.GetSize(); ++n) {
        const unsigned int k = rep.aKeys[n];
        CArray<double, double> col[MAX_COMPONENTS][MAX_POSITIONS];
        double mx[MAX_COMPONENTS][MAX_POSITIONS] = {}, mn[MAX_COMPONENTS][MAX_POSITIONS] = {};
        int mxs[MAX_COMPONENTS][MAX_POSITIONS] = {}, mns[MAX_COMPONENTS][MAX_POSITIONS] = {};
        for (int c = 0; c < nCols; ++c)
            if (!CalcMaxMinByPosition(rep, k, c, col[c], mx[c], mxs[c], mn[c], mns[c], w.nFirst, w.nLast,
                                      w.nStride))
                return 0;
        // Per position: maxima, their times, minima, their times, by component.
        double x[MAX_POSITIONS][4][MAX_COMPONENTS] = {};
        for (int p = 0; p < nPos; ++p)
            for (int c = 0; c < nCols; ++c) {
                x[p][0][c] = mx[c][p];
                x[p][1][c] = m_aTime[mxs[c][p]];
                x[p][2][c] = mn[c][p];
                x[p][3][c] = m_aTime[mns[c][p]];
                g[p][c].Take(n == 0, x[p][0][c], x[p][1][c], x[p][2][c], x[p][3][c], k);
            }
        CString head;
        head.Format(CMsgDll::pfuncLoadStr("IDS_QB_PVS__n_ELEM____5d_PLATE__8s_History__Local___", 0),
                    static_cast<int>(k), static_cast<const char*>(strKind), static_cast<const char*>(strLength),
                    static_cast<const char*>(strForce));
        out.Printf("%s", static_cast<const char*>(head));
        out.Printf("--------------------------------------------- \n\n");
        out.Printf("%s%s", pszHead, pszRule);
        if (!rep.bNoSteps)
            w.ForEachSample(col[0][0].GetSize(), [&](int i, int s) {
                for (int p = 0; p < nPos; ++p) {
                    double v[MAX_COMPONENTS];
                    for (int c = 0; c < nCols; ++c)
                        v[c] = col[c][p][i];
                    if (p == 0)
                        out.Printf("%7.3f %s", m_aTime[s], pLabel[p]);
                    else
                        out.Printf("%7s %s", "", pLabel[p]);
                    out.Row("", v, nCols, "  %11.3e");
                }
            });
        out.Printf("%s\n", pszRule);
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
        title.Format(CMsgDll::pfuncLoadStr("IDS_QB_PVS__Maximum_Minimum__s_of_Selected_Plate___", 0),
                     static_cast<const char*>(strKind));
        out.Printf("%s", static_cast<const char*>(title));
        out.Printf("---------------------------------------------- \n\n");
        out.Printf("%s%s", pszHead, pszRule);
        for (int p = 0; p < nPos; ++p) {
            const std::string strMax = std::string("Maximum ") + pLabel[p];
            const std::string strMin = std::string("Minimum ") + pLabel[p];
            out.ExtremeRows(g[p], nCols, false, strMax.c_str(), "At Time  ", "Plate    ");
            out.ExtremeRows(g[p], nCols, true, strMin.c_str(), "At Time  ", "Plate    ");
        }
    }
    out.Printf("\n");
    out.Printf("\n\n");
    return out.Finish();
}
