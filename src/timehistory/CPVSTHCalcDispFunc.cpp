#include "timehistory/CPVSTHCalcDispFunc.h"

#include "DBDoc.h"
#include "MsgDll.h"
#include "UnitCtrl.h"

#include <cstdlib>

namespace {
// T of the node: the upper triangle row by row, 0 below; a zero diagonal is taken as 1.
void BuildTransform(const _NDSP_BN& node, double T[6][6])
{
    int i = 0;
    for (int r = 0; r < 6; ++r)
        for (int c = 0; c < 6; ++c)
            T[r][c] = c >= r ? node.dTrans[i++] : 0.0;
    for (int r = 0; r < 6; ++r)
        if (T[r][r] == 0.0)
            T[r][r] = 1.0;
}

// Factor of the modal coordinate that a component code reads; false for a code outside
// the three ranges.
bool ModalFactor(int nComponent, const _MDSP_BN& q, double& f)
{
    if (nComponent >= 0 && nComponent <= 5)
        f = q.dDisp;
    else if (nComponent >= 10 && nComponent <= 15)
        f = q.dVelo;
    else if (nComponent >= 20 && nComponent <= 25)
        f = q.dAccel;
    else
        return false;
    return true;
}

// (T x local) at one degree of freedom, local(j) = f x shape j (m); every term in column order.
double ModalValue(const double Trow[6], double f, const CArray<double, double> (&aShape)[6], int m)
{
    double local[6];
    for (int j = 0; j < 6; ++j)
        local[j] = f * aShape[j][m];
    double v = 0.0;
    for (int c = 0; c < 6; ++c)
        v += Trow[c] * local[c];
    return v;
}
} // namespace

int CPVSTHCalcDispFunc::GetDofIndex(int nComponent)
{
    if (nComponent >= 20)
        return nComponent - 20;
    if (nComponent >= 10)
        return nComponent - 10;
    return nComponent;
}

double CPVSTHCalcDispFunc::PickComponent(int nComponent, const double v[6])
{
    bool in = (nComponent >= 0 && nComponent <= 5) || (nComponent >= 10 && nComponent <= 15) ||
              (nComponent >= 20 && nComponent <= 25);
    return in ? v[GetDofIndex(nComponent)] : 0.0;
}

double CPVSTHCalcDispFunc::CalcModalValue(int nComponent, int nMode, const CArray<double, double> (&aShape)[6],
                                          const _MDSP_BN& q, const _NDSP_BN& node)
{
    double f = 0.0;
    if (!ModalFactor(nComponent, q, f))
        return 0.0;
    double T[6][6];
    BuildTransform(node, T);
    return ModalValue(T[GetDofIndex(nComponent)], f, aShape, nMode);
}

int CPVSTHCalcDispFunc::GetUnitType(int nComponent)
{
    if (nComponent >= 0 && nComponent <= 2)
        return 1;
    if (nComponent >= 10 && nComponent <= 12)
        return 22;
    if (nComponent >= 20 && nComponent <= 22)
        return 21;
    return 0;
}

int CPVSTHCalcDispFunc::Read(int nMethod) { return nMethod == 1 ? CalcModal() : CalcDirect(); }

int CPVSTHCalcDispFunc::Calculate()
{
    int nMethod = GetAnalysisMethod(m_nThisK);
    switch (m_nDispType) {
    case 1:
        Read(nMethod);
        break;
    case 2: {
        Read(nMethod);
        CArray<double, double> ground;
        GetGroundMotion(m_nComponent, 0, m_nStepCount, 1, ground);
        if (ground.GetSize() == m_aResult.GetSize()) {
            // The series is in output units already; the ground values come in the host's.
            int nUnit = GetUnitType(m_nComponent);
            for (int i = 0; i < m_aResult.GetSize(); ++i)
                m_aResult[i] += ConvertOut(nUnit, ground[i]);
        }
        break;
    }
    case 3: {
        Read(nMethod);
        CArray<double, double> a;
        a.Copy(m_aResult);
        m_nEntityK = m_nSecondNodeK;
        Read(nMethod);
        if (a.GetSize() == m_aResult.GetSize())
            for (int i = 0; i < a.GetSize(); ++i)
                m_aResult[i] = a[i] - m_aResult[i];
        break;
    }
    default:
        break;
    }
    return 1;
}

int CPVSTHCalcDispFunc::CalcModal()
{
    if (!IsReady())
        return 0;
    return ModalRange(m_nEntityK, m_nComponent, m_aResult, 0, m_nStepCount, 1, false, true);
}

int CPVSTHCalcDispFunc::ModalRange(unsigned int nNodeK, int nComponent, CArray<double, double>& out, int nFirst,
                                   int nLast, int nStride, bool bAllModes, bool bConvert)
{
    out.RemoveAll();
    CPostCtrlGeoTech* pPost = PostCtrl();
    _NDSP_BN node;
    if (!pPost || !pPost->GetSANode(nNodeK, node))
        return 0;
    CArray<double, double> aShape[6];
    for (int d = 0; d < 6; ++d) {
        int e = static_cast<int>(node.dEqn[d]);
        if (e < 1) {
            aShape[d].SetSize(m_nModeCount); // restrained: zeros
            continue;
        }
        if (!pPost->GetEquationMode(e, aShape[d]) || aShape[d].GetSize() != m_nModeCount)
            return 0;
    }
    int m0 = 0, m1 = m_nModeCount;
    if (!bAllModes && m_nModeNumber >= 1 && m_nModeNumber <= m_nModeCount) {
        m0 = m_nModeNumber - 1;
        m1 = m_nModeNumber;
    }
    int nUnit = GetUnitType(nComponent);
    double T[6][6];
    BuildTransform(node, T);
    const double* Trow = T[GetDofIndex(nComponent) >= 0 && GetDofIndex(nComponent) < 6 ? GetDofIndex(nComponent) : 0];
    if (nStride < 1)
        return 1;
    for (int s = nFirst; s < nLast; s += nStride) {
        double sum = 0.0;
        for (int m = m0; m < m1; ++m) {
            _MDSP_BN q;
            pPost->GetTimeDisp(m + 1, s + 1, q);
            // As CalcModalValue, with T made once per node instead of once per term.
            double f = 0.0;
            sum += ModalFactor(nComponent, q, f) ? ModalValue(Trow, f, aShape, m) : 0.0;
        }
        out.Add(bConvert ? ConvertOut(nUnit, sum) : sum);
    }
    return 1;
}

int CPVSTHCalcDispFunc::CalcDirect()
{
    if (!IsReady())
        return 0;
    return DirectRange(m_nEntityK, m_nComponent, m_aResult, 0, m_nStepCount, 1, true);
}

int CPVSTHCalcDispFunc::DirectRange(unsigned int nNodeK, int nComponent, CArray<double, double>& out, int nFirst,
                                    int nLast, int nStride, bool bConvert)
{
    out.RemoveAll();
    CPostCtrlGeoTech* pPost = PostCtrl();
    int nReader = 0;
    switch (m_nResultKind) {
    case 1: nReader = 3; break;
    case 2: nReader = 2; break;
    case 3: nReader = 1; break;
    default: return 0;
    }
    if (!pPost || nStride < 1)
        return pPost ? 1 : 0;
    for (int s = nFirst; s < nLast; s += nStride) {
        T_PDISP_D r;
        pPost->GetDispHistory(s, nNodeK, r, nReader);
        double v[6] = {r.dDx, r.dDy, r.dDz, r.dRx, r.dRy, r.dRz};
        if (bConvert) {
            CUnitCtrl* pUnit = UnitCtrl();
            for (int i = 0; i < 3 && pUnit; ++i)
                v[i] = nReader == 3 ? pUnit->ConvertUnitLengthOut(v[i])
                                    : pUnit->ConvertUnitDataOut(nReader == 2 ? 22 : 21, v[i]);
        }
        out.Add(PickComponent(nComponent, v));
    }
    return 1;
}

int CPVSTHCalcDispFunc::GetGroundMotion(int nComponent, int nFirst, int nLast, int nStride, CArray<double, double>& out)
{
    out.RemoveAll();
    CPostCtrlGeoTech* pPost = PostCtrl();
    if (!pPost || nStride < 1)
        return 1;
    for (int s = nFirst; s < nLast; s += nStride) {
        _MDSP_BN g[3];
        pPost->GetGroundAccDisp(s + 1, g[0], g[1], g[2]);
        if (nComponent >= 0 && nComponent <= 2)
            out.Add(g[nComponent].dDisp);
        else if (nComponent >= 10 && nComponent <= 12)
            out.Add(g[nComponent - 10].dVelo);
        else if (nComponent >= 20 && nComponent <= 22)
            out.Add(g[nComponent - 20].dAccel);
        else if ((nComponent >= 3 && nComponent <= 5) || (nComponent >= 13 && nComponent <= 15) ||
                 (nComponent >= 23 && nComponent <= 25))
            out.Add(0.0);
    }
    return 1;
}

int CPVSTHCalcDispFunc::GetNodeGroundMotion(CArray<double, double>& out)
{
    out.RemoveAll();
    return 1;
}

int CPVSTHCalcDispFunc::CalcMaxMinModal(unsigned int nNodeK, int nComponent, CArray<double, double>& out, int nFirst,
                                        int nLast, int nStride)
{
    return ModalRange(nNodeK, nComponent, out, nFirst, nLast, nStride, false, false);
}

int CPVSTHCalcDispFunc::CalcMaxMinDirect(unsigned int nNodeK, int nComponent, CArray<double, double>& out, int nFirst,
                                         int nLast, int nStride)
{
    return DirectRange(nNodeK, nComponent, out, nFirst, nLast, nStride, false);
}

int CPVSTHCalcDispFunc::CalcMaxMin(unsigned int nThisK, int nDispType, unsigned int nSecondNodeK, unsigned int nNodeK,
                                   int nComponent, CArray<double, double>& out, double& dMax, int& nMaxStep,
                                   double& dMin, int& nMinStep, int nFirst, int nLast, int nStride)
{
    bool bModal = GetAnalysisMethod(nThisK) == 1;
    auto read = [&](unsigned int k, CArray<double, double>& a) {
        return bModal ? CalcMaxMinModal(k, nComponent, a, nFirst, nLast, nStride)
                      : CalcMaxMinDirect(k, nComponent, a, nFirst, nLast, nStride);
    };
    read(nNodeK, out);
    if (nDispType == 2) {
        CArray<double, double> ground;
        GetGroundMotion(nComponent, nFirst, nLast, nStride, ground);
        if (ground.GetSize() == out.GetSize())
            for (int i = 0; i < out.GetSize(); ++i)
                out[i] += ground[i];
    } else if (nDispType == 3) {
        CArray<double, double> b;
        read(nSecondNodeK, b);
        if (b.GetSize() == out.GetSize())
            for (int i = 0; i < out.GetSize(); ++i)
                out[i] -= b[i];
        else
            out.Copy(b);
    }
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
    return 1;
}

int CPVSTHCalcDispFunc::WriteReport(T_THREPORT_D& rep)
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
    FILE* fp = rep.pFile;
    CString strPath;
    if (!fp) {
        GetReportPath(strPath);
        fp = std::fopen(strPath, "w");
        if (!fp) {
            CString msg = CMsgDll::pfuncLoadStr("IDS_QB_PVS_Can_t_create_the_file__", 0);
            std::fprintf(stderr, "%s\n", static_cast<const char*>(msg));
            return 0;
        }
    }
    static const char* const kKindText[3] = {"IDS_QB_PVS_Displacement", "IDS_QB_PVS_Velocity", "IDS_QB_PVS_Acceleration"};
    int nKind = rep.nKind < 0 || rep.nKind > 2 ? 0 : rep.nKind;
    // The direct reader picks its history (displacement, velocity, acceleration) by result kind.
    m_nResultKind = nKind + 1;
    CString strKind = CMsgDll::pfuncLoadStr(kKindText[nKind], 0);
    CString strUnit1, strUnit2;
    if (CUnitCtrl* pUnit = UnitCtrl()) {
        pUnit->GetUnitSystemForce(strUnit1);
        pUnit->GetUnitSystemLength(strUnit2);
    }
    const char* kHeader = "  TIME        DX           DY           DZ           RX           RY           RZ \n";
    const char* kRule = "-------  -----------  -----------  -----------  -----------  -----------  -----------\n";
    std::fprintf(fp, "\n ** %s Time-history Output Data ** \n", static_cast<const char*>(strKind));
    std::fprintf(fp, "_____________________________________________\n\n");
    double gMax[6] = {}, gMin[6] = {}, gMaxT[6] = {}, gMinT[6] = {};
    unsigned int gMaxK[6] = {}, gMinK[6] = {};
    for (int n = 0; n < rep.aKeys.GetSize(); ++n) {
        unsigned int nodeK = rep.aKeys[n];
        CArray<double, double> col[6];
        double mx[6] = {}, mn[6] = {};
        int mxs[6] = {}, mns[6] = {};
        for (int c = 0; c < 6; ++c)
            CalcMaxMin(rep.nThisK, rep.nDispType, rep.nSecondNodeK, nodeK, c + 10 * nKind, col[c], mx[c], mxs[c], mn[c],
                       mns[c], nFirst, nLast, nStride);
        CString head;
        head.Format(CMsgDll::pfuncLoadStr("IDS_QB_PVS__n_NODE____5d___10s_History_______UNIT_S", 0), nodeK,
                    static_cast<const char*>(strKind), static_cast<const char*>(strUnit1),
                    static_cast<const char*>(strUnit2));
        std::fprintf(fp, "%s", static_cast<const char*>(head));
        std::fprintf(fp, "----------------------------------- \n\n");
        std::fprintf(fp, "%s%s", kHeader, kRule);
        if (!rep.bNoSteps)
            for (int i = 0, s = nFirst; i < col[0].GetSize(); ++i, s += nStride) {
                double v[6];
                for (int c = 0; c < 6; ++c)
                    v[c] = i < col[c].GetSize() ? col[c][i] : 0.0;
                std::fprintf(fp, "%7.3f  %11.3e  %11.3e  %11.3e  %11.3e  %11.3e  %11.3e\n", m_aTime[s], v[0], v[1],
                             v[2], v[3], v[4], v[5]);
            }
        std::fprintf(fp, "%s", kRule);
        auto t = [&](int s) { return m_aTime[s]; };
        std::fprintf(fp, "Maximum  %11.3e  %11.3e  %11.3e  %11.3e  %11.3e  %11.3e\n", mx[0], mx[1], mx[2], mx[3], mx[4], mx[5]);
        std::fprintf(fp, "At Time  %11.3f  %11.3f  %11.3f  %11.3f  %11.3f  %11.3f\n", t(mxs[0]), t(mxs[1]), t(mxs[2]),
                     t(mxs[3]), t(mxs[4]), t(mxs[5]));
        std::fprintf(fp, "Minimum  %11.3e  %11.3e  %11.3e  %11.3e  %11.3e  %11.3e\n", mn[0], mn[1], mn[2], mn[3], mn[4], mn[5]);
        std::fprintf(fp, "At Time  %11.3f  %11.3f  %11.3f  %11.3f  %11.3f  %11.3f\n", t(mns[0]), t(mns[1]), t(mns[2]),
                     t(mns[3]), t(mns[4]), t(mns[5]));
        for (int c = 0; c < 6; ++c) {
            if (n == 0 || mx[c] > gMax[c]) { gMax[c] = mx[c]; gMaxT[c] = t(mxs[c]); gMaxK[c] = nodeK; }
            if (n == 0 || mn[c] < gMin[c]) { gMin[c] = mn[c]; gMinT[c] = t(mns[c]); gMinK[c] = nodeK; }
        }
    }
    std::fprintf(fp, "\n---------------------------------------------- \n");
    std::fprintf(fp, "%s", static_cast<const char*>(CMsgDll::pfuncLoadStr("IDS_QB_PVS_MaxMin_of_Selected_Nodes", 0)));
    std::fprintf(fp, "---------------------------------------------- \n\n");
    std::fprintf(fp, "%s%s", kHeader, kRule);
    const double* ext[2] = {gMax, gMin};
    const double* tim[2] = {gMaxT, gMinT};
    const unsigned int* key[2] = {gMaxK, gMinK};
    for (int e = 0; e < 2; ++e) {
        const double* v = ext[e];
        std::fprintf(fp, e == 0 ? "Maximum  %11.3e  %11.3e  %11.3e  %11.3e  %11.3e  %11.3e\n"
                                : "Minimum  %11.3e  %11.3e  %11.3e  %11.3e  %11.3e  %11.3e\n",
                     v[0], v[1], v[2], v[3], v[4], v[5]);
        const double* tt = tim[e];
        std::fprintf(fp, "At Time  %11.3f  %11.3f  %11.3f  %11.3f  %11.3f  %11.3f\n", tt[0], tt[1], tt[2], tt[3], tt[4], tt[5]);
        const unsigned int* k = key[e];
        std::fprintf(fp, "Node     %11d  %11d  %11d  %11d  %11d  %11d\n", static_cast<int>(k[0]), static_cast<int>(k[1]),
                     static_cast<int>(k[2]), static_cast<int>(k[3]), static_cast<int>(k[4]), static_cast<int>(k[5]));
    }
    std::fprintf(fp, "\n\n");
    if (!rep.pFile) {
        std::fclose(fp);
        OpenReport(strPath);
    }
    return 1;
}
