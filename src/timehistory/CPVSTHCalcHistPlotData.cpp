#include "timehistory/CPVSTHCalcHistPlotData.h"

#include "timehistory/CPVSTHCalcBeamFunc.h"
#include "timehistory/element_tables.h"
#include "timehistory/member_recovery.h"

#include "DBDoc.h"
#include "ThisInfo.h"
#include "UnitCtrl.h"

using namespace kvpvs::timehistory;

CPVSTHCalcHistPlotData::CPVSTHCalcHistPlotData(unsigned int nAcasK) : m_nAcasK(nAcasK)
{
    CDBDoc* pDoc = CDBDoc::GetDocPoint();
    m_pPostCtrl = pDoc ? CPDataBaseNeutral::GetPostCtrl(pDoc->GetPostDB()) : nullptr;
    auto* pPost = static_cast<CPostCtrlGeoTech*>(m_pPostCtrl);
    CPostCtrlAnlTypeBase* pCtrl = nullptr;
    if (pPost && pPost->GetPostCtrlSub(nAcasK, &pCtrl) && pCtrl) {
        m_pAnlCtrl = pCtrl;
        m_pResult = pCtrl->GetAnalResult();
        T_PREFERENCE pref;
        if (CInitCtrl* pInit = CDocCtrl::GetInitCtrl(pDoc))
            pInit->GetPreference(pref);
        m_dTolerance = pref.dZeroTolerance;
    }
}

int CPVSTHCalcHistPlotData::BeginQuery(int nKind)
{
    try {
        auto* pPost = static_cast<CPostCtrlGeoTech*>(m_pPostCtrl);
        T_LCOM_D comb;
        if (!pPost || !pPost->MakeLoadComb(4, m_nAcasK, comb))
            return 0;
        pPost->BeginQueryResult(comb, 1, 0);
        m_bQueryBegun = 1;
        m_nKind = nKind;
        if (nKind < 7 || nKind > 12)
            return 1;
        T_RESULT_FILE_D file;
        if (!m_pAnlCtrl || !m_pAnlCtrl->GetResulFileMngr()->FindResultFile(2, file))
            return 0;
        if (!MakeResultBasePath(file.strPathName, m_szPath, m_nPathLen))
            return 0; // the path does not fit: the host keeps its files
        auto* pThis = static_cast<CPostCtrlAnlTypeTHIS*>(m_pAnlCtrl);
        pThis->TemporaryCloseXa2File();
        pThis->TemporaryCloseXa1File();
        CPostAnalysisResultTHIS::m_FileDirectDMED.Abort();
        m_bFilesReleased = 1;
        m_nThisK = CThisInfo::GetThisKByAcasK(m_nAcasK);
        CArray<double, double> aSteps;
        CClassThis(CDocCtrl::GetDBMain(CDBDoc::GetDocPoint())).GetTimeStep(m_nThisK, aSteps);
        m_nStepCount = aSteps.GetSize();
        return 1;
    } catch (...) {
        // A failed allocation or host call: no step can be read; EndQuery undoes what was done.
        m_nStepCount = 0;
        m_bFailed = 1;
        return 0;
    }
}

void CPVSTHCalcHistPlotData::EndQuery()
{
    // Take back only files this query released, each step whatever the one before did.
    if (m_bFilesReleased && m_pAnlCtrl) {
        auto* pThis = static_cast<CPostCtrlAnlTypeTHIS*>(m_pAnlCtrl);
        try {
            pThis->TemporaryOpenXa2File();
        } catch (...) {
        }
        try {
            pThis->TemporaryOpenXa1File();
        } catch (...) {
        }
        m_bFilesReleased = 0;
    }
    if (m_bQueryBegun) {
        try {
            static_cast<CPostCtrlGeoTech*>(m_pPostCtrl)->EndQueryResult();
        } catch (...) {
        }
        m_bQueryBegun = 0;
    }
}

CPostAnalysisResultTHIS* CPVSTHCalcHistPlotData::ReadyFor(int nStep) const
{
    if (!m_pAnlCtrl || !m_pResult || !m_pAnlCtrl->IsResultReady())
        return nullptr;
    T_POSTDATA_COUNT_D c;
    m_pAnlCtrl->GetDataCount(c);
    if (nStep < 0 || nStep >= c.nStep)
        return nullptr;
    return static_cast<CPostAnalysisResultTHIS*>(m_pResult);
}

int CPVSTHCalcHistPlotData::GetTrussValue(int nStep, unsigned int nElemK, T_PSTRT_D& rec)
{
    rec.Initialize();
    try {
        CPostAnalysisResultTHIS* pRes = ReadyFor(nStep);
        if (!pRes)
            return 0;
        return pRes->GetMethod() == 1 ? GetTrussValueModal(nStep, nElemK, rec)
                                      : GetTrussValueDirect(nStep, nElemK, rec);
    } catch (...) {
        rec.Initialize(); // a failed allocation or host call: no part of a record
        m_bFailed = 1;
        return 0;
    }
}

int CPVSTHCalcHistPlotData::GetTrussValueModal(int nStep, unsigned int nElemK, T_PSTRT_D& rec)
{
    auto* pRes = static_cast<CPostAnalysisResultTHIS*>(m_pResult);
    if (!pRes || !m_pAnlCtrl)
        return 0;
    T_POSTDATA_COUNT_D c;
    static_cast<CPostCtrlAnlTypeTHIS*>(m_pAnlCtrl)->GetPostCtrlEigv()->GetDataCount(c);
    const int M = c.nMode;
    CArray<double, double> a;
    pRes->GetSATruss(nElemK, a);
    // The end forces I and J are the first two columns; all modes.
    MemberForces<CPostAnalysisResultTHIS> forces(*pRes, 2);
    if (!forces.OpenModal(a, TRUSS_ARRAY, TRUSS_DOFS, TRUSS_COLS, M, 0, M))
        return 0;
    double F[2], r[4];
    forces.At(nStep, F);
    MakeTrussRecord(forces.Array(), F, r);
    rec.dForceI = r[0];
    rec.dForceJ = r[1];
    rec.dStressI = r[2];
    rec.dStressJ = r[3];
    rec.ConvertUnitOut(CDocCtrl::GetUnitCtrl(CDBDoc::GetDocPoint()));
    return 1;
}

int CPVSTHCalcHistPlotData::GetTrussValueDirect(int nStep, unsigned int nElemK, T_PSTRT_D& rec)
{
    auto* pRes = static_cast<CPostAnalysisResultTHIS*>(m_pResult);
    if (!pRes)
        return 0;
    CArray<double, double> a;
    pRes->GetSATruss(nElemK, a);
    MemberForces<CPostAnalysisResultTHIS> forces(*pRes, 2);
    if (!forces.Open(a, TRUSS_ARRAY, TRUSS_DOFS, TRUSS_COLS))
        return 0;
    double F[2], r[4];
    forces.At(nStep, F);
    MakeTrussRecord(forces.Array(), F, r);
    rec.dForceI = r[0];
    rec.dForceJ = r[1];
    rec.dStressI = r[2];
    rec.dStressJ = r[3];
    rec.ConvertUnitOut(CDocCtrl::GetUnitCtrl(CDBDoc::GetDocPoint()));
    return 1;
}

int CPVSTHCalcHistPlotData::GetBeamValue(int nStep, unsigned int nElemK, T_PSTRB_D& rec)
{
    rec.Initialize();
    try {
        CPostAnalysisResultTHIS* pRes = ReadyFor(nStep);
        if (!pRes)
            return 0;
        return pRes->GetMethod() == 1 ? GetBeamValueModal(nStep, nElemK, rec) : GetBeamValueDirect(nStep, nElemK, rec);
    } catch (...) {
        rec.Initialize();
        m_bFailed = 1;
        return 0;
    }
}

int CPVSTHCalcHistPlotData::BeamForces(int nStep, unsigned int nElemK, bool bModal, CArray<double, double>& a,
                                       double f[12])
{
    auto* pRes = static_cast<CPostAnalysisResultTHIS*>(m_pResult);
    if (!pRes || !m_pAnlCtrl)
        return 0;
    pRes->GetSABeam(nElemK, a);
    // The twelve end forces are the first twelve columns.
    MemberForces<CPostAnalysisResultTHIS> forces(*pRes, 12);
    if (bModal) {
        T_POSTDATA_COUNT_D cnt;
        static_cast<CPostCtrlAnlTypeTHIS*>(m_pAnlCtrl)->GetPostCtrlEigv()->GetDataCount(cnt);
        const int M = cnt.nMode;
        if (!forces.OpenModal(a, BEAM_ARRAY, BEAM_DOFS, BEAM_COLS, M, 0, M))
            return 0;
    } else if (!forces.Open(a, BEAM_ARRAY, BEAM_DOFS, BEAM_COLS)) {
        return 0;
    }
    forces.At(nStep, f);
    T_PCFMO_D off;
    double o1, o2, o3, o4;
    CPVSTHCalcBeamFunc::GetBeamOffsets(nElemK, off, o1, o2, o3, o4);
    CPVSTHCalcBeamFunc::ApplyOffsets(off, o1, o2, o3, o4, f);
    return 1;
}

int CPVSTHCalcHistPlotData::GetBeamValueModal(int nStep, unsigned int nElemK, T_PSTRB_D& rec)
{
    CArray<double, double> a;
    double f[12], r[26];
    if (!BeamForces(nStep, nElemK, true, a, f))
        return 0;
    CPVSTHCalcBeamFunc::MakeBeamRecord(a.GetData(), f, r);
    FillBeamRecord(nElemK, rec, r);
    rec.ConvertUnitOut(CDocCtrl::GetUnitCtrl(CDBDoc::GetDocPoint()));
    return 1;
}

int CPVSTHCalcHistPlotData::GetBeamValueDirect(int nStep, unsigned int nElemK, T_PSTRB_D& rec)
{
    CArray<double, double> a;
    double f[12], r[26];
    if (!BeamForces(nStep, nElemK, false, a, f))
        return 0;
    CPVSTHCalcBeamFunc::MakeBeamRecord(a.GetData(), f, r);
    FillBeamRecord(nElemK, rec, r);
    rec.ConvertUnitOut(CDocCtrl::GetUnitCtrl(CDBDoc::GetDocPoint()));
    return 1;
}

double CPVSTHCalcHistPlotData::GetBeamComponent(int nComponent, int nEnd, const double r[26])
{
    return CPVSTHCalcBeamFunc::GetBeamValue(nComponent, nEnd, 0, r);
}

void CPVSTHCalcHistPlotData::FillBeamRecord(unsigned int, T_PSTRB_D& rec, const double r[26])
{
    double FI[6], FJ[6], SI[7], SJ[7];
    for (int c = 0; c < 6; ++c) {
        FI[c] = GetBeamComponent(c, 0, r);
        FJ[c] = GetBeamComponent(c, 1, r);
    }
    for (int c = 0; c < 7; ++c) {
        SI[c] = GetBeamComponent(10 + c, 0, r);
        SJ[c] = GetBeamComponent(10 + c, 1, r);
    }
    // Corners: axial plus (-y, +z), (+y, +z), (+y, -z), (-y, -z) bending.
    const double CI[4] = {r[12] + r[16] + r[17], r[12] + r[15] + r[17], r[12] + r[15] + r[18], r[12] + r[16] + r[18]};
    const double CJ[4] = {r[19] + r[23] + r[24], r[19] + r[22] + r[24], r[19] + r[22] + r[25], r[19] + r[23] + r[25]};
    auto x = [](double a, double b, int t) { return a + (b - a) * t / 4; };
    for (int q = 0; q < 4; ++q) {
        for (int c = 0; c < 6; ++c) {
            rec.dForce[q][c] = x(FI[c], FJ[c], q);
            rec.dForce[q][6 + c] = x(FI[c], FJ[c], q + 1);
        }
        for (int c = 0; c < 7; ++c) {
            rec.dStress[q][c] = x(SI[c], SJ[c], q);
            rec.dStress[q][7 + c] = x(SI[c], SJ[c], q + 1);
        }
        for (int i = 0; i < 4; ++i) {
            rec.dStress[q][16 + 2 * i] = x(CI[i], CJ[i], q);
            rec.dStress[q][17 + 2 * i] = x(CI[i], CJ[i], q + 1);
        }
    }
    rec.calcMaximumCombinedStress();
}

int CPVSTHCalcHistPlotData::GetPlstrnRow(int nNodes, int k, int p, int c) { return PlstrnRow(nNodes, k, p, c); }
int CPVSTHCalcHistPlotData::GetSolidRow(int nNodes, int k, int p, int c) { return SolidRow(nNodes, k, p, c); }
int CPVSTHCalcHistPlotData::GetPlateRow(int nNodes, int k, int p, int c) { return PlateRow(nNodes, k, p, c); }
int CPVSTHCalcHistPlotData::GetPlstrnUnitType(int k, int c) { return PlstrnUnitType(k, c); }
int CPVSTHCalcHistPlotData::GetSolidUnitType(int k, int c) { return SolidUnitType(k, c); }
int CPVSTHCalcHistPlotData::GetPlateUnitType(int k, int c) { return PlateUnitType(k, c); }

void CPVSTHCalcHistPlotData::ApplyZeroTolerance(double& v) const
{
    if (-m_dTolerance < v && v < m_dTolerance)
        v = 0.0;
}

int CPVSTHCalcHistPlotData::GetElementResult(unsigned int nElemK, unsigned int nThisK, int nStepCount, int nStepNumber,
                                             int nFlag, int nElemKind, int nRow, int, int, int nOption, double& v)
{
    CSeqIdInfo* pSeq = m_pAnlCtrl->GetSeqIdInfo();
    int nElemType = pSeq->GetSeqIdElemType(nElemK);
    int nElemId = pSeq->GetSeqIdElem(nElemK);
    int nHistId = pSeq->GetSeqIdThis(nThisK);
    if (nElemKind == 1 || nElemKind == 3 || nElemKind == 5 || nElemKind == 7)
        nOption = 0;
    v = 0.0;
    return CallStepEntry(m_szPath, m_nPathLen, nElemKind, nElemType, nRow, nHistId, nStepCount, nStepNumber, 4, nFlag,
                         &v, nOption, nElemId);
}

int CPVSTHCalcHistPlotData::ElementRead(int nFamily, int nResultKind, int (*row)(int, int, int, int),
                                        int (*unit)(int, int), int nStep, unsigned int nElemK, int nNodes,
                                        int nOption, int nComp, double& v)
{
    v = 0.0;
    if (!m_pAnlCtrl)
        return 0;
    // A step outside the case has no value (and step + 1 would overflow at INT_MAX).
    if (nStep < 0 || nStep >= m_nStepCount)
        return 0;
    int nElemKind = ElementKindOf(nFamily, nNodes);
    if (nElemKind == 0)
        return 1; // no element kind for this node count: no call, value 0
    int nRow = row(nNodes, nResultKind, 0, nComp);
    try {
        // Only what escaped the entry gives 0: the library itself answers a result that its
        // files lack with zeros.
        if (!GetElementResult(nElemK, m_nThisK, m_nStepCount, nStep + 1, 0, nElemKind, nRow, nResultKind, nComp,
                              nOption, v)) {
            v = 0.0;
            m_bFailed = 1;
            return 0;
        }
        if (CUnitCtrl* pUnit = CDocCtrl::GetUnitCtrl(CDBDoc::GetDocPoint()))
            v = pUnit->ConvertUnitDataOut(unit(nResultKind, nComp), v);
    } catch (...) {
        v = 0.0; // a failed allocation or host call
        m_bFailed = 1;
        return 0;
    }
    ApplyZeroTolerance(v);
    return 1;
}

int CPVSTHCalcHistPlotData::GetPlstrnStress(int s, unsigned int k, int n, int, int o, int c, double& v)
{
    return ElementRead(2, 2, &GetPlstrnRow, &GetPlstrnUnitType, s, k, n, o, c, v);
}
int CPVSTHCalcHistPlotData::GetPlstrnStrain(int s, unsigned int k, int n, int, int o, int c, double& v)
{
    return ElementRead(2, 3, &GetPlstrnRow, &GetPlstrnUnitType, s, k, n, o, c, v);
}
int CPVSTHCalcHistPlotData::GetSolidStress(int s, unsigned int k, int n, int, int o, int c, double& v)
{
    return ElementRead(4, 2, &GetSolidRow, &GetSolidUnitType, s, k, n, o, c, v);
}
int CPVSTHCalcHistPlotData::GetSolidStrain(int s, unsigned int k, int n, int, int o, int c, double& v)
{
    return ElementRead(4, 3, &GetSolidRow, &GetSolidUnitType, s, k, n, o, c, v);
}
int CPVSTHCalcHistPlotData::GetPlateStress(int s, unsigned int k, int n, int, int o, int c, double& v)
{
    return ElementRead(3, 2, &GetPlateRow, &GetPlateUnitType, s, k, n, o, c, v);
}
int CPVSTHCalcHistPlotData::GetPlateUnitForce(int s, unsigned int k, int n, int, int o, int c, double& v)
{
    return ElementRead(3, 3, &GetPlateRow, &GetPlateUnitType, s, k, n, o, c, v);
}
