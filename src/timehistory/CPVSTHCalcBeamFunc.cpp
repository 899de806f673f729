#include "timehistory/CPVSTHCalcBeamFunc.h"

#include "timehistory/member_recovery.h"

#include "DBDoc.h"
#include "MsgDll.h"
#include "UnitCtrl.h"

#include <cstdio>
#include <cstdlib>
#include <utility>

using namespace kvpvs::timehistory;

int CPVSTHCalcBeamFunc::GetUnitType(int nComponent)
{
    if (nComponent >= 0 && nComponent <= 2)
        return 2;
    if (nComponent >= 3 && nComponent <= 5)
        return 12;
    if (nComponent >= 10 && nComponent <= 16)
        return 17;
    return 0;
}

double CPVSTHCalcBeamFunc::GetBeamValue(int nComponent, int nPosition, int bCombined, const double r[26])
{
    if (nComponent >= 0 && nComponent <= 5)
        return nPosition == 0 ? r[nComponent] : r[nComponent + 6];
    if (nComponent >= 10 && nComponent <= 16) {
        double v = nPosition == 0 ? r[nComponent + 2] : r[nComponent + 9];
        if (bCombined)
            v += nPosition == 0 ? r[12] : r[19];
        return v;
    }
    return 0.0;
}

double CPVSTHCalcBeamFunc::GetBeamValue(int nComponent, int nPosition, int bCombined, int nStep,
                                        const CArray<double, double>& a)
{
    return GetBeamValue(nComponent, nPosition, bCombined, a.GetData() + 26 * nStep);
}

int CPVSTHCalcBeamFunc::GetBeamOffsets(unsigned int nElemK, T_PCFMO_D& rec, double& o1, double& o2, double& o3,
                                       double& o4)
{
    o1 = o2 = o3 = o4 = 0.0;
    rec.Initialize();
    CDBDoc* pDoc = CDBDoc::GetDocPoint();
    rec.dOffset[0] = CElemGeom::calcLAVElem(pDoc ? pDoc->GetModelDB() : nullptr, nElemK);
    std::swap(rec.dOffset[0], rec.dOffset[2]);
    std::swap(rec.dOffset[1], rec.dOffset[3]);
    o3 = rec.dOffset[0];
    o1 = rec.dOffset[2];
    o4 = rec.dOffset[1];
    o2 = rec.dOffset[3];
    return 1;
}

void CPVSTHCalcBeamFunc::ApplyOffsets(const T_PCFMO_D& rec, double o1, double o2, double o3, double o4, double f[12])
{
    if (rec.bOffset == 0)
        return;
    f[4] += o1 * f[2];
    f[5] -= o3 * f[1];
    f[10] -= o2 * f[8];
    f[11] += o4 * f[7];
}

int CPVSTHCalcBeamFunc::MakeBeamRecord(const double* s, const double f[12], double r[26])
{
    double g[12];
    for (int i = 0; i < 12; ++i)
        g[i] = f[i];
    // Axis turn of each (y, z) pair: (a, b) -> (-b, a).
    for (int p : {1, 4, 7, 10}) {
        double a = f[p], b = f[p + 1];
        g[p] = -b;
        g[p + 1] = a;
    }
    r[0] = -g[0]; r[1] = -g[1]; r[2] = -g[2]; r[3] = -g[3]; r[4] = g[4]; r[5] = -g[5];
    r[6] = g[6]; r[7] = g[7]; r[8] = g[8]; r[9] = g[9]; r[10] = -g[10]; r[11] = g[11];
    const double* c = s + 24;
    const double* d = s + 102;
    r[12] = -r[0] * c[0];
    r[13] = -r[1] * c[2];
    r[14] = -r[2] * c[1];
    r[15] = r[5] * c[3];
    r[16] = r[5] * c[4];
    r[17] = -r[4] * c[5];
    r[18] = -r[4] * c[6];
    r[19] = r[6] * d[7];
    r[20] = r[7] * d[9];
    r[21] = r[8] * d[8];
    r[22] = -r[11] * d[10];
    r[23] = -r[11] * d[11];
    r[24] = r[10] * d[12];
    r[25] = r[10] * d[13];
    return 1;
}

int CPVSTHCalcBeamFunc::ModalRecords(unsigned int nElemK, int nFirst, int nLast, int nStride, bool bAllModes,
                                     std::vector<double>& aRec)
{
    aRec.clear();
    CPostCtrlGeoTech* pPost = PostCtrl();
    if (!pPost)
        return 0;
    CArray<double, double> a;
    pPost->GetSABeam(nElemK, a);
    RecoveryArray r;
    if (!OpenRecoveryArray(a, BEAM_ARRAY, BEAM_DOFS, BEAM_COLS, r))
        return 0;
    const int M = m_nModeCount;
    int m0, m1;
    ChosenModes(bAllModes, m_nModeNumber, M, m0, m1);
    std::vector<double> phi, R;
    if (!ReadModeShapes(r, M, [&](int e, CArray<double, double>& s) { return pPost->GetEquationMode(e, s); }, phi))
        return 0;
    ModalCoefficients(r, M, 12, phi, R);
    T_PCFMO_D off;
    double o1, o2, o3, o4;
    GetBeamOffsets(nElemK, off, o1, o2, o3, o4);
    if (nStride < 1)
        return 1;
    for (int s = nFirst; s < nLast; s += nStride) {
        double f[12] = {};
        for (int k = m0; k < m1; ++k) {
            _MDSP_BN q;
            pPost->GetTimeDisp(k + 1, s + 1, q);
            for (int c = 0; c < 12; ++c)
                f[c] += q.dDisp * R[static_cast<size_t>(k * 12 + c)];
        }
        ApplyOffsets(off, o1, o2, o3, o4, f);
        double rec[26];
        MakeBeamRecord(r.a, f, rec);
        aRec.insert(aRec.end(), rec, rec + 26);
    }
    return 1;
}

int CPVSTHCalcBeamFunc::DirectRecords(unsigned int nElemK, int nFirst, int nLast, int nStride, std::vector<double>& aRec)
{
    aRec.clear();
    CPostCtrlGeoTech* pPost = PostCtrl();
    if (!pPost)
        return 0;
    CArray<double, double> a;
    pPost->GetSABeam(nElemK, a);
    RecoveryArray r;
    if (!OpenRecoveryArray(a, BEAM_ARRAY, BEAM_DOFS, BEAM_COLS, r))
        return 0;
    T_PCFMO_D off;
    double o1, o2, o3, o4;
    GetBeamOffsets(nElemK, off, o1, o2, o3, o4);
    if (nStride < 1)
        return 1;
    double u[BEAM_DOFS];
    for (int s = nFirst; s < nLast; s += nStride) {
        // One reading per degree of freedom and step, shared by the twelve column sums.
        for (int d = 0; d < r.n; ++d) {
            _MDSP_BN x;
            if (r.Equation(d) >= 1)
                pPost->GetEquationDisp(s + 1, r.Equation(d), x);
            u[d] = x.dDisp;
        }
        double f[12] = {};
        for (int c = 0; c < 12; ++c)
            for (int d = 0; d < r.n; ++d)
                if (r.Equation(d) >= 1)
                    f[c] += r.Coef(c, d) * u[d];
        ApplyOffsets(off, o1, o2, o3, o4, f);
        double rec[26];
        MakeBeamRecord(r.a, f, rec);
        aRec.insert(aRec.end(), rec, rec + 26);
    }
    return 1;
}

int CPVSTHCalcBeamFunc::Series(bool bModal)
{
    if (!IsReady())
        return 0;
    m_aResult.RemoveAll();
    std::vector<double> aRec;
    int ok = bModal ? ModalRecords(m_nEntityK, 0, m_nStepCount, 1, false, aRec)
                    : DirectRecords(m_nEntityK, 0, m_nStepCount, 1, aRec);
    if (!ok)
        return 0;
    int nUnit = GetUnitType(m_nComponent);
    for (size_t i = 0; i + 26 <= aRec.size(); i += 26)
        m_aResult.Add(ConvertOut(nUnit, GetBeamValue(m_nComponent, m_nPosition, m_nSubPosition, aRec.data() + i)));
    return 1;
}

int CPVSTHCalcBeamFunc::Calculate() { return GetAnalysisMethod(m_nThisK) == 1 ? CalcModal() : CalcDirect(); }
int CPVSTHCalcBeamFunc::CalcModal() { return Series(true); }
int CPVSTHCalcBeamFunc::CalcDirect() { return Series(false); }

int CPVSTHCalcBeamFunc::MaxMin(bool bModal, unsigned int nElemK, int nComponent, CArray<double, double> (&out)[2],
                               double (&dMax)[2], int (&nMaxStep)[2], double (&dMin)[2], int (&nMinStep)[2],
                               int nFirst, int nLast, int nStride)
{
    out[0].RemoveAll();
    out[1].RemoveAll();
    std::vector<double> aRec;
    if (!(bModal ? ModalRecords(nElemK, nFirst, nLast, nStride, true, aRec)
                 : DirectRecords(nElemK, nFirst, nLast, nStride, aRec)))
        return 0;
    int nUnit = GetUnitType(nComponent);
    int i = 0;
    for (size_t p = 0; p + 26 <= aRec.size(); p += 26, ++i) {
        int s = nFirst + i * nStride;
        for (int e = 0; e < 2; ++e) {
            double v = ConvertOut(nUnit, GetBeamValue(nComponent, e, 0, aRec.data() + p));
            out[e].Add(v);
            if (i == 0 || v > dMax[e]) {
                dMax[e] = v;
                nMaxStep[e] = s;
            }
            if (i == 0 || v < dMin[e]) {
                dMin[e] = v;
                nMinStep[e] = s;
            }
        }
    }
    return 1;
}

int CPVSTHCalcBeamFunc::CalcMaxMin(unsigned int nThisK, unsigned int nElemK, int nComponent,
                                   CArray<double, double> (&out)[2], double (&dMax)[2], int (&nMaxStep)[2],
                                   double (&dMin)[2], int (&nMinStep)[2], int nFirst, int nLast, int nStride)
{
    m_nThisK = nThisK;
    m_nEntityK = nElemK;
    if (GetAnalysisMethod(nThisK) == 1)
        return CalcMaxMinModal(nElemK, nComponent, out, dMax, nMaxStep, dMin, nMinStep, nFirst, nLast, nStride);
    return CalcMaxMinDirect(nThisK, nElemK, nComponent, out, dMax, nMaxStep, dMin, nMinStep, nFirst, nLast, nStride);
}

int CPVSTHCalcBeamFunc::CalcMaxMinModal(unsigned int nElemK, int nComponent, CArray<double, double> (&out)[2],
                                        double (&dMax)[2], int (&nMaxStep)[2], double (&dMin)[2], int (&nMinStep)[2],
                                        int nFirst, int nLast, int nStride)
{
    return MaxMin(true, nElemK, nComponent, out, dMax, nMaxStep, dMin, nMinStep, nFirst, nLast, nStride);
}

int CPVSTHCalcBeamFunc::CalcMaxMinDirect(unsigned int, unsigned int nElemK, int nComponent,
                                         CArray<double, double> (&out)[2], double (&dMax)[2], int (&nMaxStep)[2],
                                         double (&dMin)[2], int (&nMinStep)[2], int nFirst, int nLast, int nStride)
{
    return MaxMin(false, nElemK, nComponent, out, dMax, nMaxStep, dMin, nMinStep, nFirst, nLast, nStride);
}

namespace {
// One report row of six values, with the stresses' seventh column or the line's end.
void Row6(FILE* fp, int nCols, const char* pszTail7, double v7)
{
    if (nCols == 7)
        std::fprintf(fp, pszTail7, v7);
    else
        std::fprintf(fp, "\n");
}
} // namespace

int CPVSTHCalcBeamFunc::WriteReport(T_THREPORT_D& rep)
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
    const bool bForce = rep.nKind == 0;
    CString strKind = CMsgDll::pfuncLoadStr(bForce ? "IDS_QB_PVS_Force" : "IDS_QB_PVS_Stress", 0);
    const char* const kEnd[2] = {"I", "J"};
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
    // Forces: components 0 to 5; stresses: 10 to 16 (axial, shears, the four bending fibres).
    const int nCols = bForce ? 6 : 7;
    const int nComp0 = bForce ? 0 : 10;
    const char* kHead = bForce
        ? "  TIME        AXIAL       SHEAR-y      SHEAR-z      TORSION      MOMENT-y     MOMENT-z \n"
        : "  TIME        AXIAL       SHEAR-y      SHEAR-z    BENDING(+y)  BENDING(-y)  BENDING(+z)  BENDING(-z)\n";
    const char* kRule = bForce
        ? "------- -  -----------  -----------  -----------  -----------  -----------  ----------- \n"
        : "------- -  -----------  -----------  -----------  -----------  -----------  -----------  -----------\n";
    std::fprintf(fp, "\n ** %s Beam Element Time-history Output Data ** \n", "");
    std::fprintf(fp, "___________________________________________________________\n\n");
    // Extremes over all elements, per end and column, with their times and elements.
    double gMax[2][7] = {}, gMin[2][7] = {}, gMaxT[2][7] = {}, gMinT[2][7] = {};
    unsigned int gMaxK[2][7] = {}, gMinK[2][7] = {};
    for (int n = 0; n < rep.aKeys.GetSize(); ++n) {
        const unsigned int k = rep.aKeys[n];
        CArray<double, double> col[7][2];
        double mx[7][2] = {}, mn[7][2] = {};
        int mxs[7][2] = {}, mns[7][2] = {};
        for (int c = 0; c < nCols; ++c) {
            mxs[c][0] = mxs[c][1] = mns[c][0] = mns[c][1] = nFirst;
            CalcMaxMin(rep.nThisK, k, nComp0 + c, col[c], mx[c], mxs[c], mn[c], mns[c], nFirst, nLast, nStride);
        }
        for (int e = 0; e < 2; ++e)
            for (int c = 0; c < nCols; ++c) {
                if (n == 0 || mx[c][e] > gMax[e][c]) {
                    gMax[e][c] = mx[c][e];
                    gMaxT[e][c] = m_aTime[mxs[c][e]];
                    gMaxK[e][c] = k;
                }
                if (n == 0 || mn[c][e] < gMin[e][c]) {
                    gMin[e][c] = mn[c][e];
                    gMinT[e][c] = m_aTime[mns[c][e]];
                    gMinK[e][c] = k;
                }
            }
        CString head;
        head.Format(CMsgDll::pfuncLoadStr("IDS_QB_PVS__n_ELEM____5d_BEAM__8s_History__Local___", 0), static_cast<int>(k),
                    static_cast<const char*>(strKind));
        std::fprintf(fp, "%s", static_cast<const char*>(head));
        std::fprintf(fp, "--------------------------------------------- \n\n");
        std::fprintf(fp, "%s%s", kHead, kRule);
        int nRows = col[0][0].GetSize();
        for (int c = 0; c < nCols; ++c)
            for (int e = 0; e < 2; ++e)
                nRows = col[c][e].GetSize() < nRows ? col[c][e].GetSize() : nRows;
        if (!rep.bNoSteps)
            for (int i = 0, s = nFirst; i < nRows; ++i, s += nStride) {
                auto v = [&](int c, int e) { return col[c][e][i]; };
                std::fprintf(fp, "%7.3f I  %11.3e  %11.3e  %11.3e  %11.3e  %11.3e  %11.3e", m_aTime[s], v(0, 0),
                             v(1, 0), v(2, 0), v(3, 0), v(4, 0), v(5, 0));
                Row6(fp, nCols, "  %11.3e\n", nCols == 7 ? v(6, 0) : 0.0);
                std::fprintf(fp, "%7s J  %11.3e  %11.3e  %11.3e  %11.3e  %11.3e  %11.3e", "", v(0, 1), v(1, 1), v(2, 1),
                             v(3, 1), v(4, 1), v(5, 1));
                Row6(fp, nCols, "  %11.3e\n", nCols == 7 ? v(6, 1) : 0.0);
            }
        std::fprintf(fp, "\n%s\n", kRule);
        for (int e = 0; e < 2; ++e) {
            double x[7], t[7];
            for (int c = 0; c < 7; ++c) {
                x[c] = mx[c][e];
                t[c] = m_aTime[mxs[c][e]];
            }
            std::fprintf(fp, "Maximum %s  %11.3e  %11.3e  %11.3e  %11.3e  %11.3e  %11.3e", kEnd[e], x[0], x[1], x[2],
                         x[3], x[4], x[5]);
            Row6(fp, nCols, "  %11.3e\n", x[6]);
            std::fprintf(fp, "At Time    %11.3f  %11.3f  %11.3f  %11.3f  %11.3f  %11.3f", t[0], t[1], t[2], t[3], t[4],
                         t[5]);
            Row6(fp, nCols, "  %11.3f\n", t[6]);
            for (int c = 0; c < 7; ++c) {
                x[c] = mn[c][e];
                t[c] = m_aTime[mns[c][e]];
            }
            std::fprintf(fp, "Minimum %s  %11.3e  %11.3e  %11.3e  %11.3e  %11.3e  %11.3e", kEnd[e], x[0], x[1], x[2],
                         x[3], x[4], x[5]);
            Row6(fp, nCols, "  %11.3e\n", x[6]);
            std::fprintf(fp, "At Time    %11.3f  %11.3f  %11.3f  %11.3f  %11.3f  %11.3f", t[0], t[1], t[2], t[3], t[4],
                         t[5]);
            Row6(fp, nCols, "  %11.3f\n", t[6]);
        }
        std::fprintf(fp, "\n\n");
    }
    if (rep.aKeys.GetSize() > 0) {
        std::fprintf(fp, "\n---------------------------------------------- \n");
        CString title;
        title.Format(CMsgDll::pfuncLoadStr("IDS_QB_PVS__Maximum_Minimum__s_of_Selected_Beams___", 0),
                     static_cast<const char*>(strKind));
        std::fprintf(fp, "%s", static_cast<const char*>(title));
        std::fprintf(fp, "---------------------------------------------- \n\n");
        std::fprintf(fp, "%s%s", kHead, kRule);
        for (int e = 0; e < 2; ++e) {
            const double* ext[2] = {gMax[e], gMin[e]};
            const double* tim[2] = {gMaxT[e], gMinT[e]};
            const unsigned int* key[2] = {gMaxK[e], gMinK[e]};
            for (int m = 0; m < 2; ++m) {
                const double* x = ext[m];
                const double* t = tim[m];
                const unsigned int* kk = key[m];
                std::fprintf(fp, m == 0 ? "Maximum %s  %11.3e  %11.3e  %11.3e  %11.3e  %11.3e  %11.3e"
                                        : "Minimum %s  %11.3e  %11.3e  %11.3e  %11.3e  %11.3e  %11.3e",
                             kEnd[e], x[0], x[1], x[2], x[3], x[4], x[5]);
                Row6(fp, nCols, "  %11.3e\n", x[6]);
                std::fprintf(fp, "At Time    %11.3f  %11.3f  %11.3f  %11.3f  %11.3f  %11.3f", t[0], t[1], t[2], t[3],
                             t[4], t[5]);
                Row6(fp, nCols, "  %11.3f\n", t[6]);
                std::fprintf(fp, "Beam       %11d  %11d  %11d  %11d  %11d  %11d", static_cast<int>(kk[0]),
                             static_cast<int>(kk[1]), static_cast<int>(kk[2]), static_cast<int>(kk[3]),
                             static_cast<int>(kk[4]), static_cast<int>(kk[5]));
                if (nCols == 7)
                    std::fprintf(fp, "  %11d\n", static_cast<int>(kk[6]));
                else
                    std::fprintf(fp, "\n");
                std::fprintf(fp, "\n");
            }
        }
    }
    if (!rep.pFile) {
        std::fclose(fp);
        OpenReport(strPath);
    }
    return 1;
}
