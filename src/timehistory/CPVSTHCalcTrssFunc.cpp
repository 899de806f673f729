#include "timehistory/CPVSTHCalcTrssFunc.h"

#include "timehistory/HistoryMessageIds.h"
#include "timehistory/member_recovery.h"

#include "MsgDll.h"
#include "UnitCtrl.h"

using namespace kvpvs::timehistory;

int CPVSTHCalcTrssFunc::GetUnitType(int nComponent)
{
    if (nComponent == 0)
        return 2;
    if (nComponent == 1)
        return 17;
    return 0;
}

double CPVSTHCalcTrssFunc::GetTrussValue(int nComponent, int nPosition, const double rec[4])
{
    if (nComponent == 0)
        return nPosition == 0 ? rec[0] : rec[1];
    if (nComponent == 1)
        return nPosition == 0 ? rec[2] : rec[3];
    return 0.0;
}

double CPVSTHCalcTrssFunc::GetTrussValue(int nComponent, int nPosition, int nStep, const CArray<double, double>& a)
{
    return GetTrussValue(nComponent, nPosition, a.GetData() + 4 * nStep);
}

int CPVSTHCalcTrssFunc::Calculate()
{
    return GetAnalysisMethod(m_nThisK) == 1 ? CalcModal() : CalcDirect();
}

int CPVSTHCalcTrssFunc::CalcModal()
{
    if (!IsReady())
        return 0;
    return Series(true, m_nEntityK, m_nComponent, m_nPosition, StepWindow{0, m_nStepCount, 1}, false, m_aResult);
}

int CPVSTHCalcTrssFunc::CalcDirect()
{
    if (!IsReady())
        return 0;
    return Series(false, m_nEntityK, m_nComponent, m_nPosition, StepWindow{0, m_nStepCount, 1}, false, m_aResult);
}

int CPVSTHCalcTrssFunc::Series(bool bModal, unsigned int nElemK, int nComponent, int nPosition, const StepWindow& w,
                               bool bAllModes, CArray<double, double>& out)
{
    out.RemoveAll();
    CPostCtrlGeoTech* pPost = PostCtrl();
    if (!pPost)
        return 0;
    CArray<double, double> a;
    pPost->GetSATruss(nElemK, a);
    // The end forces I and J are the first two columns.
    MemberForces<CPostCtrlGeoTech> forces(*pPost, 2);
    int m0, m1;
    ChosenModes(bAllModes, m_nModeNumber, m_nModeCount, m0, m1);
    if (!(bModal ? forces.OpenModal(a, TRUSS_ARRAY, TRUSS_DOFS, TRUSS_COLS, m_nModeCount, m0, m1)
                 : forces.Open(a, TRUSS_ARRAY, TRUSS_DOFS, TRUSS_COLS)))
        return 0;
    const int nUnit = GetUnitType(nComponent);
    w.ForEach([&](int, int s) {
        double F[2], rec[4];
        forces.At(s, F);
        MakeTrussRecord(forces.Array(), F, rec);
        out.Add(ConvertOut(nUnit, GetTrussValue(nComponent, nPosition, rec)));
    });
    return 1;
}

int CPVSTHCalcTrssFunc::CalcMaxMin(unsigned int nThisK, unsigned int nElemK, int nComponent, int nPosition,
                                   CArray<double, double>& out, double& dMax, int& nMaxStep, double& dMin,
                                   int& nMinStep, int nFirst, int nLast, int nStride)
{
    m_nThisK = nThisK;
    m_nEntityK = nElemK;
    if (GetAnalysisMethod(nThisK) == 1)
        return CalcMaxMinModal(nThisK, nElemK, nComponent, nPosition, out, dMax, nMaxStep, dMin, nMinStep, nFirst,
                               nLast, nStride);
    return CalcMaxMinDirect(nThisK, nElemK, nComponent, nPosition, out, dMax, nMaxStep, dMin, nMinStep, nFirst, nLast,
                            nStride);
}

int CPVSTHCalcTrssFunc::MaxMin(bool bModal, unsigned int nElemK, int nComponent, int nPosition,
                               CArray<double, double>& out, double& dMax, int& nMaxStep, double& dMin, int& nMinStep,
                               int nFirst, int nLast, int nStride)
{
    const StepWindow w{nFirst, nLast, nStride};
    if (!Series(bModal, nElemK, nComponent, nPosition, w, true, out))
        return 0;
    KeepExtremes(out, w, dMax, nMaxStep, dMin, nMinStep);
    return 1;
}

int CPVSTHCalcTrssFunc::CalcMaxMinModal(unsigned int, unsigned int nElemK, int nComponent, int nPosition,
                                        CArray<double, double>& out, double& dMax, int& nMaxStep, double& dMin,
                                        int& nMinStep, int nFirst, int nLast, int nStride)
{
    return MaxMin(true, nElemK, nComponent, nPosition, out, dMax, nMaxStep, dMin, nMinStep, nFirst, nLast, nStride);
}

int CPVSTHCalcTrssFunc::CalcMaxMinDirect(unsigned int, unsigned int nElemK, int nComponent, int nPosition,
                                         CArray<double, double>& out, double& dMax, int& nMaxStep, double& dMin,
                                         int& nMinStep, int nFirst, int nLast, int nStride)
{
    return MaxMin(false, nElemK, nComponent, nPosition, out, dMax, nMaxStep, dMin, nMinStep, nFirst, nLast, nStride);
}

int CPVSTHCalcTrssFunc::WriteReport(T_THREPORT_D& rep)
{
    StepWindow w;
    if (!BeginReport(rep, w))
        return 0;
    CString strKind = CMsgDll::pfuncLoadStr(rep.nKind == 0 ? IDS_QB_PVS_Force : IDS_QB_PVS_Stress, 0);
    CString strUnit1, strUnit2;
    if (CUnitCtrl* pUnit = UnitCtrl()) {
        pUnit->GetUnitSystemLength(strUnit2);
        pUnit->GetUnitSystemForce(strUnit1);
    }
    ReportOutput out(*this, rep.pFile);
    const char* kHead = rep.nKind == 0 ? "  TIME     FORCE-I      FORCE-J  \n" : "  TIME    STRESS-I     STRESS-J  \n";
    const int nComponent = rep.nKind == 0 ? 0 : 1;
    out.Printf("\n ** %s Truss Element Time-history Output Data ** \n", "");
    out.Printf("___________________________________________________________\n\n");
    EntityExtreme g[2]; // end I, end J
    for (int n = 0; n < rep.aKeys.GetSize(); ++n) {
        const unsigned int k = rep.aKeys[n];
        CArray<double, double> col[2];
        double mx[2] = {}, mn[2] = {}, tMax[2], tMin[2];
        int mxs[2] = {w.nFirst, w.nFirst}, mns[2] = {w.nFirst, w.nFirst};
        for (int e = 0; e < 2; ++e) {
            CalcMaxMin(rep.nThisK, k, nComponent, e, col[e], mx[e], mxs[e], mn[e], mns[e], w.nFirst, w.nLast,
                       w.nStride);
            tMax[e] = m_aTime[mxs[e]];
            tMin[e] = m_aTime[mns[e]];
            g[e].Take(n == 0, mx[e], tMax[e], mn[e], tMin[e], k);
        }
        out.Printf("\n ELEM = %5d TRUSS %6s History       UNIT SYSTEM ..: %s, %s\n", static_cast<int>(k),
                   static_cast<const char*>(strKind), static_cast<const char*>(strUnit1),
                   static_cast<const char*>(strUnit2));
        out.Printf("----------------------------------- \n\n");
        out.Printf("%s", kHead);
        out.Printf("-------  -----------  -----------\n\n");
        if (!rep.bNoSteps) {
            const int nRows = col[0].GetSize() < col[1].GetSize() ? col[0].GetSize() : col[1].GetSize();
            w.ForEachSample(nRows, [&](int i, int s) {
                const double v[2] = {col[0][i], col[1][i]};
                out.Printf("%7.3f", m_aTime[s]);
                out.Row("", v, 2, "  %11.3e");
            });
        }
        out.Printf("\n-------  -----------  -----------\n\n");
        out.Row("Maximum", mx, 2, "  %11.3e");
        out.Row("At Time", tMax, 2, "  %11.3f");
        out.Row("Minimum", mn, 2, "  %11.3e");
        out.Row("At Time", tMin, 2, "  %11.3f");
        out.Printf("\n\n");
    }
    if (rep.aKeys.GetSize() > 0) {
        out.Printf("\n------------------------------------------------ \n");
        CString title;
        title.Format(CMsgDll::pfuncLoadStr(IDS_QB_PVS__Maximum_Minimum__s_of_Selected_Trussses, 0),
                     static_cast<const char*>(strKind));
        out.Printf("%s", static_cast<const char*>(title));
        out.Printf("------------------------------------------------ \n\n");
        out.Printf("%s", rep.nKind == 0 ? "  TIME    FORCE-I      FORCE-J  \n" : "  TIME    STRESS-I     STRESS-J  \n");
        out.Printf("-------  -----------  -----------\n\n");
        out.ExtremeRows(g, 2, false, "Maximum", "At Time", "Truss  ");
        out.Printf("\n");
        out.ExtremeRows(g, 2, true, "Minimum", "At Time", "Truss  ");
    }
    return out.Finish();
}
