#include "timehistory/CPVSTHCalcDispFunc.h"

#include "timehistory/HistoryMessageIds.h"

#include "DBDoc.h"
#include "MsgDll.h"
#include "UnitCtrl.h"

using namespace kvpvs::timehistory;

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
double ModalValue(const double Trow[6], const double local[6])
{
    double v = 0.0;
    for (int c = 0; c < 6; ++c)
        v += Trow[c] * local[c];
    return v;
}

double ModalValue(const double Trow[6], double f, const CArray<double, double> (&aShape)[6], int m)
{
    double local[6];
    for (int j = 0; j < 6; ++j)
        local[j] = f * aShape[j][m];
    return ModalValue(Trow, local);
}

// The same with the numbered degrees of freedom's shapes; a restrained one (none) reads 0.
double ModalValue(const double Trow[6], double f, const double* const (&pShape)[6], int m)
{
    double local[6];
    for (int j = 0; j < 6; ++j)
        local[j] = f * (pShape[j] ? pShape[j][m] : 0.0);
    return ModalValue(Trow, local);
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
    // A reading that fails (a node the host cannot find above all) leaves no series: neither the
    // ground motion alone nor the other node's motion stands in for the node's.
    int nMethod = GetAnalysisMethod(m_nThisK);
    switch (m_nDispType) {
    case 1:
        if (!Read(nMethod)) {
            m_aResult.RemoveAll();
            return 0;
        }
        break;
    case 2: {
        if (!Read(nMethod)) {
            m_aResult.RemoveAll();
            return 0;
        }
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
        if (!Read(nMethod)) {
            m_aResult.RemoveAll();
            return 0;
        }
        CArray<double, double> a;
        a.Copy(m_aResult);
        m_nEntityK = m_nSecondNodeK;
        if (!Read(nMethod)) {
            m_aResult.RemoveAll();
            return 0;
        }
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
    return ModalRange(m_nEntityK, m_nComponent, m_aResult, StepWindow{0, m_nStepCount, 1}, false, true);
}

int CPVSTHCalcDispFunc::ModalRange(unsigned int nNodeK, int nComponent, CArray<double, double>& out,
                                   const StepWindow& w, bool bAllModes, bool bConvert)
{
    out.RemoveAll();
    CPostCtrlGeoTech* pPost = PostCtrl();
    _NDSP_BN node;
    if (!pPost || !pPost->GetSANode(nNodeK, node))
        return 0;
    // Shapes of the numbered degrees of freedom, each checked against the mode count before
    // the count is trusted; a restrained one has none. Without any, every value is 0 and the
    // claimed modes need not be visited.
    CArray<double, double> aShape[6];
    const double* pShape[6] = {};
    bool bNumbered = false;
    for (int d = 0; d < 6; ++d) {
        int e = static_cast<int>(node.dEqn[d]);
        if (e < 1)
            continue;
        if (!pPost->GetEquationMode(e, aShape[d]) || aShape[d].GetSize() != m_nModeCount)
            return 0;
        pShape[d] = aShape[d].GetData();
        bNumbered = true;
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
    w.ForEach([&](int, int s) {
        double sum = 0.0;
        if (bNumbered)
            ForEachMode(*pPost, s, m0, m1, [&](int m, const _MDSP_BN& q) {
                // As CalcModalValue, with T made once per node instead of once per term.
                double f = 0.0;
                sum += ModalFactor(nComponent, q, f) ? ModalValue(Trow, f, pShape, m) : 0.0;
            });
        out.Add(bConvert ? ConvertOut(nUnit, sum) : sum);
    });
    return 1;
}

int CPVSTHCalcDispFunc::CalcDirect()
{
    if (!IsReady())
        return 0;
    return DirectRange(m_nEntityK, m_nComponent, m_aResult, StepWindow{0, m_nStepCount, 1}, true);
}

int CPVSTHCalcDispFunc::DirectRange(unsigned int nNodeK, int nComponent, CArray<double, double>& out,
                                    const StepWindow& w, bool bConvert)
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
    if (!pPost)
        return 0;
    const bool bRead = w.ForEachWhile([&](int, int s) {
        T_PDISP_D r;
        if (!pPost->GetDispHistory(s, nNodeK, r, nReader))
            return false; // no such node, or no such step of it
        double v[6] = {r.dDx, r.dDy, r.dDz, r.dRx, r.dRy, r.dRz};
        if (bConvert) {
            CUnitCtrl* pUnit = UnitCtrl();
            for (int i = 0; i < 3 && pUnit; ++i)
                v[i] = nReader == 3 ? pUnit->ConvertUnitLengthOut(v[i])
                                    : pUnit->ConvertUnitDataOut(nReader == 2 ? 22 : 21, v[i]);
        }
        out.Add(PickComponent(nComponent, v));
        return true;
    });
    if (!bRead)
        out.RemoveAll();
    return bRead ? 1 : 0;
}

int CPVSTHCalcDispFunc::GetGroundMotion(int nComponent, int nFirst, int nLast, int nStride, CArray<double, double>& out)
{
    out.RemoveAll();
    CPostCtrlGeoTech* pPost = PostCtrl();
    if (!pPost)
        return 1;
    StepWindow{nFirst, nLast, nStride}.ForEach([&](int, int s) {
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
    });
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
    return ModalRange(nNodeK, nComponent, out, StepWindow{nFirst, nLast, nStride}, false, false);
}

int CPVSTHCalcDispFunc::CalcMaxMinDirect(unsigned int nNodeK, int nComponent, CArray<double, double>& out, int nFirst,
                                         int nLast, int nStride)
{
    return DirectRange(nNodeK, nComponent, out, StepWindow{nFirst, nLast, nStride}, false);
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
    if (!read(nNodeK, out)) {
        out.RemoveAll();
        return 0;
    }
    if (nDispType == 2) {
        CArray<double, double> ground;
        GetGroundMotion(nComponent, nFirst, nLast, nStride, ground);
        if (ground.GetSize() == out.GetSize())
            for (int i = 0; i < out.GetSize(); ++i)
                out[i] += ground[i];
    } else if (nDispType == 3) {
        CArray<double, double> b;
        if (!read(nSecondNodeK, b)) {
            out.RemoveAll();
            return 0;
        }
        if (b.GetSize() == out.GetSize())
            for (int i = 0; i < out.GetSize(); ++i)
                out[i] -= b[i];
        else
            out.Copy(b);
    }
    KeepExtremes(out, StepWindow{nFirst, nLast, nStride}, dMax, nMaxStep, dMin, nMinStep);
    return 1;
}

int CPVSTHCalcDispFunc::WriteReport(T_THREPORT_D& rep)
{
    StepWindow w;
    if (!BeginReport(rep, w))
        return 0;
    ReportOutput out(*this, rep.pFile);
    static const char* const kKindText[3] = {IDS_QB_PVS_Displacement, IDS_QB_PVS_Velocity, IDS_QB_PVS_Acceleration};
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
    out.Printf("\n ** %s Time-history Output Data ** \n", static_cast<const char*>(strKind));
    out.Printf("_____________________________________________\n\n");
    EntityExtreme g[6];
    for (int n = 0; n < rep.aKeys.GetSize(); ++n) {
        const unsigned int nodeK = rep.aKeys[n];
        CArray<double, double> col[6];
        double mx[6] = {}, mn[6] = {}, tMax[6], tMin[6];
        int mxs[6] = {}, mns[6] = {};
        for (int c = 0; c < 6; ++c) {
            CalcMaxMin(rep.nThisK, rep.nDispType, rep.nSecondNodeK, nodeK, c + 10 * nKind, col[c], mx[c], mxs[c], mn[c],
                       mns[c], w.nFirst, w.nLast, w.nStride);
            tMax[c] = m_aTime[mxs[c]];
            tMin[c] = m_aTime[mns[c]];
            g[c].Take(n == 0, mx[c], tMax[c], mn[c], tMin[c], nodeK);
        }
        CString head;
        head.Format(CMsgDll::pfuncLoadStr(IDS_QB_PVS__n_NODE____5d___10s_History_______UNIT_S, 0), nodeK,
                    static_cast<const char*>(strKind), static_cast<const char*>(strUnit1),
                    static_cast<const char*>(strUnit2));
        out.Printf("%s", static_cast<const char*>(head));
        out.Printf("----------------------------------- \n\n");
        out.Printf("%s%s", kHeader, kRule);
        if (!rep.bNoSteps)
            w.ForEachSample(col[0].GetSize(), [&](int i, int s) {
                double v[6];
                for (int c = 0; c < 6; ++c)
                    v[c] = i < col[c].GetSize() ? col[c][i] : 0.0;
                out.Printf("%7.3f", m_aTime[s]);
                out.Row("", v, 6, "  %11.3e");
            });
        out.Printf("%s", kRule);
        out.Row("Maximum", mx, 6, "  %11.3e");
        out.Row("At Time", tMax, 6, "  %11.3f");
        out.Row("Minimum", mn, 6, "  %11.3e");
        out.Row("At Time", tMin, 6, "  %11.3f");
    }
    out.Printf("\n---------------------------------------------- \n");
    out.Printf("%s", static_cast<const char*>(CMsgDll::pfuncLoadStr(IDS_QB_PVS_MaxMin_of_Selected_Nodes, 0)));
    out.Printf("---------------------------------------------- \n\n");
    out.Printf("%s%s", kHeader, kRule);
    out.ExtremeRows(g, 6, false, "Maximum", "At Time", "Node   ");
    out.ExtremeRows(g, 6, true, "Minimum", "At Time", "Node   ");
    out.Printf("\n\n");
    return out.Finish();
}
