#include "timehistory/CPVSTHCalcTrssFunc.h"

#include "timehistory/member_recovery.h"

#include "MsgDll.h"
#include "UnitCtrl.h"

#include <cstdlib>

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
    return ModalSeries(m_nEntityK, m_nComponent, m_nPosition, 0, m_nStepCount, 1, false, m_aResult);
}

int CPVSTHCalcTrssFunc::CalcDirect()
{
    if (!IsReady())
        return 0;
    return DirectSeries(m_nEntityK, m_nComponent, m_nPosition, 0, m_nStepCount, 1, m_aResult);
}

int CPVSTHCalcTrssFunc::ModalSeries(unsigned int nElemK, int nComponent, int nPosition, int nFirst, int nLast,
                                    int nStride, bool bAllModes, CArray<double, double>& out)
{
    out.RemoveAll();
    CPostCtrlGeoTech* pPost = PostCtrl();
    if (!pPost)
        return 0;
    CArray<double, double> a;
    pPost->GetSATruss(nElemK, a);
    RecoveryArray r;
    if (!OpenRecoveryArray(a, TRUSS_ARRAY, TRUSS_DOFS, TRUSS_COLS, r))
        return 0;
    const int M = m_nModeCount;
    int m0, m1;
    ChosenModes(bAllModes, m_nModeNumber, M, m0, m1);
    int nUnit = GetUnitType(nComponent);
    std::vector<double> phi, R;
    if (!ReadModeShapes(r, M, [&](int e, CArray<double, double>& s) { return pPost->GetEquationMode(e, s); }, phi))
        return 0;
    ModalCoefficients(r, M, r.m, phi, R);
    const double f2 = a[r.n + 2], f3 = a[r.n + 3];
    if (nStride < 1)
        return 1;
    for (int s = nFirst; s < nLast; s += nStride) {
        double FI = 0.0, FJ = 0.0;
        for (int k = m0; k < m1; ++k) {
            _MDSP_BN q;
            pPost->GetTimeDisp(k + 1, s + 1, q);
            FI += q.dDisp * R[static_cast<size_t>(k * r.m + 0)];
            FJ += q.dDisp * R[static_cast<size_t>(k * r.m + 1)];
        }
        const double rec[4] = {-FI, FJ, -FI * f2, FJ * f3};
        out.Add(ConvertOut(nUnit, GetTrussValue(nComponent, nPosition, rec)));
    }
    return 1;
}

int CPVSTHCalcTrssFunc::DirectSeries(unsigned int nElemK, int nComponent, int nPosition, int nFirst, int nLast,
                                     int nStride, CArray<double, double>& out)
{
    out.RemoveAll();
    CPostCtrlGeoTech* pPost = PostCtrl();
    if (!pPost)
        return 0;
    CArray<double, double> a;
    pPost->GetSATruss(nElemK, a);
    RecoveryArray r;
    if (!OpenRecoveryArray(a, TRUSS_ARRAY, TRUSS_DOFS, TRUSS_COLS, r))
        return 0;
    int nUnit = GetUnitType(nComponent);
    const double f2 = a[r.n + 2], f3 = a[r.n + 3];
    if (nStride < 1)
        return 1;
    double u[TRUSS_DOFS];
    for (int s = nFirst; s < nLast; s += nStride) {
        // One reading per degree of freedom and step; the column sums reuse it.
        for (int d = 0; d < r.n; ++d) {
            _MDSP_BN x;
            if (r.Equation(d) >= 1)
                pPost->GetEquationDisp(s + 1, r.Equation(d), x);
            u[d] = x.dDisp;
        }
        double G[TRUSS_COLS] = {};
        for (int c = 0; c < r.m; ++c)
            for (int d = 0; d < r.n; ++d)
                if (r.Equation(d) >= 1) // restrained (0) and unnumbered (< 0) add nothing
                    G[c] += r.Coef(c, d) * u[d];
        const double rec[4] = {-G[0], G[1], -G[0] * f2, G[1] * f3};
        out.Add(ConvertOut(nUnit, GetTrussValue(nComponent, nPosition, rec)));
    }
    return 1;
}

namespace {
void KeepExtremes(const CArray<double, double>& out, int nFirst, int nStride, double& dMax, int& nMaxStep,
                  double& dMin, int& nMinStep)
{
    for (int i = 0, s = nFirst; i < out.GetSize(); ++i, s += nStride) {
        if (i == 0 || out[i] > dMax) {
            dMax = out[i];
            nMaxStep = s;
        }
        if (i == 0 || out[i] < dMin) {
            dMin = out[i];
            nMinStep = s;
        }
    }
}
} // namespace

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

int CPVSTHCalcTrssFunc::CalcMaxMinModal(unsigned int, unsigned int nElemK, int nComponent, int nPosition,
                                        CArray<double, double>& out, double& dMax, int& nMaxStep, double& dMin,
                                        int& nMinStep, int nFirst, int nLast, int nStride)
{
    if (!ModalSeries(nElemK, nComponent, nPosition, nFirst, nLast, nStride, true, out))
        return 0;
    KeepExtremes(out, nFirst, nStride, dMax, nMaxStep, dMin, nMinStep);
    return 1;
}

int CPVSTHCalcTrssFunc::CalcMaxMinDirect(unsigned int, unsigned int nElemK, int nComponent, int nPosition,
                                         CArray<double, double>& out, double& dMax, int& nMaxStep, double& dMin,
                                         int& nMinStep, int nFirst, int nLast, int nStride)
{
    if (!DirectSeries(nElemK, nComponent, nPosition, nFirst, nLast, nStride, out))
        return 0;
    KeepExtremes(out, nFirst, nStride, dMax, nMaxStep, dMin, nMinStep);
    return 1;
}

int CPVSTHCalcTrssFunc::WriteReport(T_THREPORT_D& rep)
{
    if (!m_pAnlCtrl || !m_pAnlCtrl->IsResultReady() || !LoadTimeSteps(rep.nThisK))
        return 0;
    if (rep.dStart < 0.0 || rep.dEnd < rep.dStart)
        return 0;
    int nFirst = 0, nLast = m_nStepCount;
    if (!GetStepWindow(nFirst, nLast, rep.dStart, rep.dEnd))
        return 0;
    int nStride = rep.nStride < 1 ? 1 : rep.nStride;
    std::qsort(rep.aKeys.GetData(), static_cast<size_t>(rep.aKeys.GetSize()), sizeof(unsigned int), &CompareInt);
    CString strKind = CMsgDll::pfuncLoadStr(rep.nKind == 0 ? "IDS_QB_PVS_Force" : "IDS_QB_PVS_Stress", 0);
    CString strUnit1, strUnit2;
    if (CUnitCtrl* pUnit = UnitCtrl()) {
        pUnit->GetUnitSystemLength(strUnit2);
        pUnit->GetUnitSystemForce(strUnit1);
    }
    FILE* fp = rep.pFile;
    CString strPath;
    if (!fp) {
        GetReportPath(strPath);
        fp = std::fopen(strPath, "w");
        if (!fp) {
            std::fprintf(stderr, "%s\n",
                         static_cast<const char*>(CMsgDll::pfuncLoadStr("IDS_QB_PVS_Can_t_create_the_file__", 0)));
            return 0;
        }
    }
    const char* kHead = rep.nKind == 0 ? "  TIME     FORCE-I      FORCE-J  \n" : "  TIME    STRESS-I     STRESS-J  \n";
    const int nComponent = rep.nKind == 0 ? 0 : 1;
    std::fprintf(fp, "\n ** %s Truss Element Time-history Output Data ** \n", "");
    std::fprintf(fp, "___________________________________________________________\n\n");
    double gMax[2] = {}, gMin[2] = {}, gMaxT[2] = {}, gMinT[2] = {};
    unsigned int gMaxK[2] = {}, gMinK[2] = {};
    for (int n = 0; n < rep.aKeys.GetSize(); ++n) {
        unsigned int k = rep.aKeys[n];
        CArray<double, double> col[2];
        double mx[2] = {}, mn[2] = {};
        int mxs[2] = {nFirst, nFirst}, mns[2] = {nFirst, nFirst};
        for (int e = 0; e < 2; ++e)
            CalcMaxMin(rep.nThisK, k, nComponent, e, col[e], mx[e], mxs[e], mn[e], mns[e], nFirst, nLast, nStride);
        for (int e = 0; e < 2; ++e) {
            if (n == 0 || mx[e] > gMax[e]) { gMax[e] = mx[e]; gMaxT[e] = m_aTime[mxs[e]]; gMaxK[e] = k; }
            if (n == 0 || mn[e] < gMin[e]) { gMin[e] = mn[e]; gMinT[e] = m_aTime[mns[e]]; gMinK[e] = k; }
        }
        std::fprintf(fp, "\n ELEM = %5d TRUSS %6s History       UNIT SYSTEM ..: %s, %s\n", static_cast<int>(k),
                     static_cast<const char*>(strKind), static_cast<const char*>(strUnit1),
                     static_cast<const char*>(strUnit2));
        std::fprintf(fp, "----------------------------------- \n\n");
        std::fprintf(fp, "%s", kHead);
        std::fprintf(fp, "-------  -----------  -----------\n\n");
        if (!rep.bNoSteps)
            for (int i = 0, s = nFirst; i < col[0].GetSize() && i < col[1].GetSize(); ++i, s += nStride)
                std::fprintf(fp, "%7.3f  %11.3e  %11.3e\n", m_aTime[s], col[0][i], col[1][i]);
        std::fprintf(fp, "\n-------  -----------  -----------\n\n");
        std::fprintf(fp, "Maximum  %11.3e  %11.3e\n", mx[0], mx[1]);
        std::fprintf(fp, "At Time  %11.3f  %11.3f\n", m_aTime[mxs[0]], m_aTime[mxs[1]]);
        std::fprintf(fp, "Minimum  %11.3e  %11.3e\n", mn[0], mn[1]);
        std::fprintf(fp, "At Time  %11.3f  %11.3f\n", m_aTime[mns[0]], m_aTime[mns[1]]);
        std::fprintf(fp, "\n\n");
    }
    if (rep.aKeys.GetSize() > 0) {
        std::fprintf(fp, "\n------------------------------------------------ \n");
        CString title;
        title.Format(CMsgDll::pfuncLoadStr("IDS_QB_PVS__Maximum_Minimum__s_of_Selected_Trussses", 0),
                     static_cast<const char*>(strKind));
        std::fprintf(fp, "%s", static_cast<const char*>(title));
        std::fprintf(fp, "------------------------------------------------ \n\n");
        std::fprintf(fp, "%s", rep.nKind == 0 ? "  TIME    FORCE-I      FORCE-J  \n" : "  TIME    STRESS-I     STRESS-J  \n");
        std::fprintf(fp, "-------  -----------  -----------\n\n");
        std::fprintf(fp, "Maximum  %11.3e  %11.3e\n", gMax[0], gMax[1]);
        std::fprintf(fp, "At Time  %11.3f  %11.3f\n", gMaxT[0], gMaxT[1]);
        std::fprintf(fp, "Truss    %11d  %11d\n", static_cast<int>(gMaxK[0]), static_cast<int>(gMaxK[1]));
        std::fprintf(fp, "\n");
        std::fprintf(fp, "Minimum  %11.3e  %11.3e\n", gMin[0], gMin[1]);
        std::fprintf(fp, "At Time  %11.3f  %11.3f\n", gMinT[0], gMinT[1]);
        std::fprintf(fp, "Truss    %11d  %11d\n", static_cast<int>(gMinK[0]), static_cast<int>(gMinK[1]));
    }
    if (!rep.pFile) {
        std::fclose(fp);
        OpenReport(strPath);
    }
    return 1;
}
