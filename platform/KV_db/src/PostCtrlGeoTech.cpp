#include "PostCtrlGeoTech.h"

#include <new>

CPostAnalysisResultTHIS::CDirectFile CPostAnalysisResultTHIS::m_FileDirectDMED;

namespace kvdb {

namespace {
int CopyArray(const std::map<unsigned int, std::vector<double>>& m, unsigned int k, CArray<double, double>& a)
{
    a.RemoveAll();
    auto it = m.find(k);
    if (it == m.end())
        return 0;
    a.SetSize(static_cast<int>(it->second.size()));
    for (size_t i = 0; i < it->second.size(); ++i)
        a[static_cast<int>(i)] = it->second[i];
    return 1;
}
} // namespace

int ReadTruss(const CTHResultData& d, unsigned int nElemK, CArray<double, double>& a)
{
    ++d.nCalls;
    return CopyArray(d.truss, nElemK, a);
}

int ReadBeam(const CTHResultData& d, unsigned int nElemK, CArray<double, double>& a)
{
    ++d.nCalls;
    return CopyArray(d.beam, nElemK, a);
}

int ReadEquationMode(const CTHResultData& d, int nEqn, CArray<double, double>& a)
{
    ++d.nCalls;
    a.RemoveAll();
    auto it = d.modeShapes.find(nEqn);
    if (it == d.modeShapes.end())
        return 0;
    a.SetSize(static_cast<int>(it->second.size()));
    for (size_t i = 0; i < it->second.size(); ++i)
        a[static_cast<int>(i)] = it->second[i];
    return 1;
}

int ReadTimeDisp(const CTHResultData& d, int nMode, int nStep, _MDSP_BN& q)
{
    ++d.nCalls;
    q = _MDSP_BN();
    if (nMode < 1 || nMode > d.nModes || nStep < 1 || nStep > d.nSteps)
        return 0;
    if (d.modalSource) {
        d.modalSource(nMode - 1, nStep - 1, q);
        return 1;
    }
    size_t i = static_cast<size_t>(nMode - 1) * static_cast<size_t>(d.nSteps) + static_cast<size_t>(nStep - 1);
    if (i >= d.modal.size())
        return 0;
    q = d.modal[i];
    return 1;
}

int ReadEquationDisp(const CTHResultData& d, int nStep, int nEqn, _MDSP_BN& r)
{
    ++d.nCalls;
    r = _MDSP_BN();
    if (nStep < 1 || nStep > d.nSteps || nEqn < 1 || nEqn > d.nEquations)
        return 0;
    if (d.eqDispSource) {
        r.dDisp = d.eqDispSource(nStep - 1, nEqn);
        return 1;
    }
    size_t i = static_cast<size_t>(nStep - 1) * static_cast<size_t>(d.nEquations) + static_cast<size_t>(nEqn - 1);
    if (i >= d.eqDisp.size())
        return 0;
    r.dDisp = d.eqDisp[i];
    return 1;
}

} // namespace kvdb

int CPostAnalysisResultTHIS::GetSATruss(unsigned int k, CArray<double, double>& a) const { return kvdb::ReadTruss(*m_p, k, a); }
int CPostAnalysisResultTHIS::GetSABeam(unsigned int k, CArray<double, double>& a) const { return kvdb::ReadBeam(*m_p, k, a); }
int CPostAnalysisResultTHIS::GetEquationMode(int e, CArray<double, double>& a) const { return kvdb::ReadEquationMode(*m_p, e, a); }
int CPostAnalysisResultTHIS::GetTimeDisp(int m, int s, _MDSP_BN& q) const { return kvdb::ReadTimeDisp(*m_p, m, s, q); }
int CPostAnalysisResultTHIS::GetEquationDisp(int s, int e, _MDSP_BN& d) const { return kvdb::ReadEquationDisp(*m_p, s, e, d); }

BOOL CPostCtrlEigv::GetDataCount(T_POSTDATA_COUNT_D& c) const
{
    c = T_POSTDATA_COUNT_D();
    c.nMode = m_p->nModes;
    return TRUE;
}

CPostCtrlAnlTypeTHIS::CPostCtrlAnlTypeTHIS(std::shared_ptr<CTHResultData> p) : m_p(p), m_result(p), m_eigv(p) {}

BOOL CPostCtrlAnlTypeTHIS::GetDataCount(T_POSTDATA_COUNT_D& c) const
{
    c.nMode = m_p->nModes;
    c.nStep = m_p->nSteps;
    return TRUE;
}

int CPostCtrlGeoTech::GetPostCtrlSub(unsigned int nAcasK, CPostCtrlAnlTypeBase** ppCtrl)
{
    if (!ppCtrl)
        return 0;
    auto it = m_cases.find(nAcasK);
    if (it != m_cases.end()) {
        *ppCtrl = it->second.get();
        return 1;
    }
    auto st = m_static.find(nAcasK);
    if (st == m_static.end())
        return 0;
    *ppCtrl = st->second.get();
    return 1;
}

int CPostCtrlGeoTech::MakeLoadComb(int nKind, unsigned int nAcasK, T_LCOM_D& comb) const
{
    if (nAcasK == 0 || (!m_cases.count(nAcasK) && !m_bare.count(nAcasK)))
        return 0;
    comb.nKind = nKind;
    comb.nAcasK = nAcasK;
    return 1;
}

int CPostCtrlGeoTech::BeginQueryResult(const T_LCOM_D& comb, int, int)
{
    if (m_bQueryFails)
        throw std::bad_alloc();
    m_nQueryK = comb.nAcasK;
    ++m_nDepth;
    ++m_nBegins;
    return 1;
}

void CPostCtrlGeoTech::EndQueryResult()
{
    if (m_nDepth > 0 && --m_nDepth == 0)
        m_nQueryK = 0;
}

const CTHResultData* CPostCtrlGeoTech::Query() const
{
    if (m_nDepth == 0)
        return nullptr;
    auto it = m_cases.find(m_nQueryK);
    return it == m_cases.end() ? nullptr : &it->second->Data();
}

int CPostCtrlGeoTech::GetSANode(unsigned int nNodeK, _NDSP_BN& rec) const
{
    const CTHResultData* d = Query();
    if (!d)
        return 0;
    ++d->nCalls;
    auto it = d->nodes.find(nNodeK);
    if (it == d->nodes.end())
        return 0;
    rec = it->second;
    return 1;
}

int CPostCtrlGeoTech::GetEquationMode(int e, CArray<double, double>& a) const
{
    const CTHResultData* d = Query();
    return d ? kvdb::ReadEquationMode(*d, e, a) : (a.RemoveAll(), 0);
}

int CPostCtrlGeoTech::GetTimeDisp(int m, int s, _MDSP_BN& q) const
{
    const CTHResultData* d = Query();
    return d ? kvdb::ReadTimeDisp(*d, m, s, q) : (q = _MDSP_BN(), 0);
}

int CPostCtrlGeoTech::GetDispHistory(int nStep, unsigned int nNodeK, T_PDISP_D& rec, int nReaderKind) const
{
    rec = T_PDISP_D();
    const CTHResultData* d = Query();
    if (!d || nReaderKind < 1 || nReaderKind > 3)
        return 0;
    ++d->nCalls;
    const auto& m = d->nodeHistory[nReaderKind - 1];
    auto it = m.find(nNodeK);
    if (it == m.end() || nStep < 0 || nStep >= static_cast<int>(it->second.size()))
        return 0;
    rec = it->second[static_cast<size_t>(nStep)];
    return 1;
}

int CPostCtrlGeoTech::GetGroundAccDisp(int nStep, _MDSP_BN& x, _MDSP_BN& y, _MDSP_BN& z) const
{
    x = y = z = _MDSP_BN();
    const CTHResultData* d = Query();
    if (!d)
        return 0;
    ++d->nCalls;
    _MDSP_BN* out[3] = {&x, &y, &z};
    int ok = 1;
    for (int i = 0; i < 3; ++i) {
        if (nStep >= 1 && nStep <= static_cast<int>(d->ground[i].size()))
            *out[i] = d->ground[i][static_cast<size_t>(nStep - 1)];
        else
            ok = 0;
    }
    return ok;
}

int CPostCtrlGeoTech::GetSATruss(unsigned int k, CArray<double, double>& a) const
{
    const CTHResultData* d = Query();
    return d ? kvdb::ReadTruss(*d, k, a) : (a.RemoveAll(), 0);
}

int CPostCtrlGeoTech::GetSABeam(unsigned int k, CArray<double, double>& a) const
{
    const CTHResultData* d = Query();
    return d ? kvdb::ReadBeam(*d, k, a) : (a.RemoveAll(), 0);
}

int CPostCtrlGeoTech::GetEquationDisp(int s, int e, _MDSP_BN& r) const
{
    const CTHResultData* d = Query();
    return d ? kvdb::ReadEquationDisp(*d, s, e, r) : (r = _MDSP_BN(), 0);
}

BOOL CPostCtrlGeoTech::GetSafetyRatio4SAM(unsigned int nAcasK, int nCount, double* pFactor) const
{
    auto it = m_safety.find(nAcasK);
    if (!pFactor || it == m_safety.end() || nCount < 0 || static_cast<size_t>(nCount) != it->second.size())
        return FALSE;
    for (int i = 0; i < nCount; ++i)
        pFactor[i] = it->second[static_cast<size_t>(i)];
    return TRUE;
}
