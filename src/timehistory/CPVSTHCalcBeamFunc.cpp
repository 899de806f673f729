#include "timehistory/CPVSTHCalcBeamFunc.h"

#include "timehistory/HistoryMessageIds.h"
#include "timehistory/member_recovery.h"

#include "DBDoc.h"
#include "MsgDll.h"
#include "UnitCtrl.h"

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

int CPVSTHCalcBeamFunc::Records(bool bModal, unsigned int nElemK, const StepWindow& w, bool bAllModes,
                                std::vector<double>& aRec)
{
    aRec.clear();
    CPostCtrlGeoTech* pPost = PostCtrl();
    if (!pPost)
        return 0;
    CArray<double, double> a;
    pPost->GetSABeam(nElemK, a);
    // The twelve end forces are the first twelve columns.
    MemberForces<CPostCtrlGeoTech> forces(*pPost, 12);
    int m0, m1;
    ChosenModes(bAllModes, m_nModeNumber, m_nModeCount, m0, m1);
    if (!(bModal ? forces.OpenModal(a, BEAM_ARRAY, BEAM_DOFS, BEAM_COLS, m_nModeCount, m0, m1)
                 : forces.Open(a, BEAM_ARRAY, BEAM_DOFS, BEAM_COLS)))
        return 0;
    T_PCFMO_D off;
    double o1, o2, o3, o4;
    GetBeamOffsets(nElemK, off, o1, o2, o3, o4);
    w.ForEach([&](int, int s) {
        double f[12];
        forces.At(s, f);
        ApplyOffsets(off, o1, o2, o3, o4, f);
        double rec[26];
        MakeBeamRecord(forces.Array().a, f, rec);
        aRec.insert(aRec.end(), rec, rec + 26);
    });
    return 1;
}

int CPVSTHCalcBeamFunc::Series(bool bModal)
{
    if (!IsReady())
        return 0;
    m_aResult.RemoveAll();
    std::vector<double> aRec;
    if (!Records(bModal, m_nEntityK, StepWindow{0, m_nStepCount, 1}, false, aRec))
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
    const StepWindow w{nFirst, nLast, nStride};
    std::vector<double> aRec;
    if (!Records(bModal, nElemK, w, true, aRec))
        return 0;
    const int nUnit = GetUnitType(nComponent);
    w.ForEachSample(static_cast<int>(aRec.size() / 26), [&](int i, int s) {
        for (int e = 0; e < 2; ++e) {
            double v = ConvertOut(nUnit, GetBeamValue(nComponent, e, 0, aRec.data() + 26 * static_cast<size_t>(i)));
            out[e].Add(v);
            TakeExtremes(i, v, s, dMax[e], nMaxStep[e], dMin[e], nMinStep[e]);
        }
    });
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

int CPVSTHCalcBeamFunc::WriteReport(T_THREPORT_D& rep)
{
    StepWindow w;
    if (!BeginReport(rep, w))
        return 0;
    const bool bForce = rep.nKind == 0;
    CString strKind = CMsgDll::pfuncLoadStr(bForce ? IDS_QB_PVS_Force : IDS_QB_PVS_Stress, 0);
    ReportOutput out(*this, rep.pFile);
    // Forces: components 0 to 5; stresses: 10 to 16 (axial, shears, the four bending fibres).
    const int nCols = bForce ? 6 : 7;
    const int nComp0 = bForce ? 0 : 10;
    const char* kHead = bForce
        ? "  TIME        AXIAL       SHEAR-y      SHEAR-z      TORSION      MOMENT-y     MOMENT-z \n"
        : "  TIME        AXIAL       SHEAR-y      SHEAR-z    BENDING(+y)  BENDING(-y)  BENDING(+z)  BENDING(-z)\n";
    const char* kRule = bForce
        ? "------- -  -----------  -----------  -----------  -----------  -----------  ----------- \n"
        : "------- -  -----------  -----------  -----------  -----------  -----------  -----------  -----------\n";
    // Row prefixes of end I and end J.
    const char* const kMaximum[2] = {"Maximum I", "Maximum J"};
    const char* const kMinimum[2] = {"Minimum I", "Minimum J"};
    out.Printf("\n ** %s Beam Element Time-history Output Data ** \n", "");
    out.Printf("___________________________________________________________\n\n");
    // Extremes over all elements, per end and column, with their times and elements.
    EntityExtreme g[2][7];
    for (int n = 0; n < rep.aKeys.GetSize(); ++n) {
        const unsigned int k = rep.aKeys[n];
        CArray<double, double> col[7][2];
        double mx[7][2] = {}, mn[7][2] = {};
        int mxs[7][2] = {}, mns[7][2] = {};
        for (int c = 0; c < nCols; ++c) {
            mxs[c][0] = mxs[c][1] = mns[c][0] = mns[c][1] = w.nFirst;
            CalcMaxMin(rep.nThisK, k, nComp0 + c, col[c], mx[c], mxs[c], mn[c], mns[c], w.nFirst, w.nLast, w.nStride);
        }
        // Per end: the values and times of the extremes, by column.
        double x[2][4][7] = {};
        for (int e = 0; e < 2; ++e)
            for (int c = 0; c < 7; ++c) {
                x[e][0][c] = mx[c][e];
                x[e][1][c] = m_aTime[mxs[c][e]];
                x[e][2][c] = mn[c][e];
                x[e][3][c] = m_aTime[mns[c][e]];
                if (c < nCols)
                    g[e][c].Take(n == 0, x[e][0][c], x[e][1][c], x[e][2][c], x[e][3][c], k);
            }
        CString head;
        head.Format(CMsgDll::pfuncLoadStr(IDS_QB_PVS__n_ELEM____5d_BEAM__8s_History__Local___, 0), static_cast<int>(k),
                    static_cast<const char*>(strKind));
        out.Printf("%s", static_cast<const char*>(head));
        out.Printf("--------------------------------------------- \n\n");
        out.Printf("%s%s", kHead, kRule);
        int nRows = col[0][0].GetSize();
        for (int c = 0; c < nCols; ++c)
            for (int e = 0; e < 2; ++e)
                nRows = col[c][e].GetSize() < nRows ? col[c][e].GetSize() : nRows;
        if (!rep.bNoSteps)
            w.ForEachSample(nRows, [&](int i, int s) {
                double v[2][7];
                for (int e = 0; e < 2; ++e)
                    for (int c = 0; c < nCols; ++c)
                        v[e][c] = col[c][e][i];
                out.Printf("%7.3f I", m_aTime[s]);
                out.Row("", v[0], nCols, "  %11.3e");
                out.Printf("%7s J", "");
                out.Row("", v[1], nCols, "  %11.3e");
            });
        out.Printf("\n%s\n", kRule);
        for (int e = 0; e < 2; ++e) {
            out.Row(kMaximum[e], x[e][0], nCols, "  %11.3e");
            out.Row("At Time  ", x[e][1], nCols, "  %11.3f");
            out.Row(kMinimum[e], x[e][2], nCols, "  %11.3e");
            out.Row("At Time  ", x[e][3], nCols, "  %11.3f");
        }
        out.Printf("\n\n");
    }
    if (rep.aKeys.GetSize() > 0) {
        out.Printf("\n---------------------------------------------- \n");
        CString title;
        title.Format(CMsgDll::pfuncLoadStr(IDS_QB_PVS__Maximum_Minimum__s_of_Selected_Beams___, 0),
                     static_cast<const char*>(strKind));
        out.Printf("%s", static_cast<const char*>(title));
        out.Printf("---------------------------------------------- \n\n");
        out.Printf("%s%s", kHead, kRule);
        for (int e = 0; e < 2; ++e) {
            out.ExtremeRows(g[e], nCols, false, kMaximum[e], "At Time  ", "Beam     ");
            out.Printf("\n");
            out.ExtremeRows(g[e], nCols, true, kMinimum[e], "At Time  ", "Beam     ");
            out.Printf("\n");
        }
    }
    return out.Finish();
}
