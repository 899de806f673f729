#include "THResultBuilder.h"

#include "ClassAcas.h"
#include "DBDoc.h"

#include <algorithm>

CPostCtrlGeoTech* CTHResultBuilder::PostCtrl(CDBDoc& doc)
{
    CPostCtrlBase* p = CPDataBaseNeutral::GetPostCtrl(doc.GetPostDB());
    if (auto* pGeo = dynamic_cast<CPostCtrlGeoTech*>(p))
        return pGeo;
    // None yet, or the generic one a display made before any result was built: the product's
    // control takes its place (it answers the generic row queries as well), so that every
    // reader of the post control finds the product's.
    auto ctrl = std::make_shared<CPostCtrlGeoTech>();
    ctrl->AttachPostDB(doc.GetPostDB());
    CPostCtrlGeoTech* pGeo = ctrl.get();
    CPDataBaseNeutral::SetPostCtrl(doc.GetPostDB(), ctrl);
    return pGeo;
}

CTHResultBuilder::CTHResultBuilder(CDBDoc& doc, unsigned int nAcasK, unsigned int nThisK, int nMethod,
                                   const std::vector<double>& aTime, int nModes)
    : m_pDoc(&doc), m_nThisK(nThisK), m_nHistId(static_cast<int>(nThisK))
{
    auto data = std::make_shared<CTHResultData>();
    data->nMethod = nMethod == 2 ? 2 : 1;
    data->nModes = nModes;
    data->nSteps = static_cast<int>(aTime.size());
    data->modal.assign(static_cast<size_t>(std::max(nModes, 0)) * aTime.size(), _MDSP_BN());
    m_pCtrl = std::make_shared<CPostCtrlAnlTypeTHIS>(data);
    PostCtrl(doc)->SetCase(nAcasK, m_pCtrl);

    T_THIS_D rec;
    rec.nAcasK = nAcasK;
    // Direct integration shows in both the method word and the solver's flag; modal leaves
    // the word 0 so that the solver's flag decides, as the host's own cases do.
    rec.nMethod = data->nMethod == 2 ? 1 : 0;
    for (double t : aTime)
        rec.aTimeStep.Add(t);
    CClassThis(doc.GetModelDB()).Set(nThisK, rec);
    // The analysis case lists its time history as (3, history key), the pair the dialogs read;
    // CThisInfo::GetThisKByAcasK finds the same key through the history's case word.
    CClassAcas acas(doc.GetModelDB());
    T_ACAS_D c;
    acas.Get(nAcasK, c);
    for (int i = c.aItem.GetSize() - 1; i >= 0; --i)
        if (c.aItem[i].nType == 3)
            c.aItem.RemoveAt(i);
    c.aItem.Add(T_ACAS_ITEM_D{3, nThisK});
    acas.Set(nAcasK, c);
    m_pCtrl->GetSeqIdInfo()->SetThis(nThisK, m_nHistId, data->nMethod == 2 ? 1 : 0);
}

void CTHResultBuilder::SetMethod(int nMethod)
{
    CTHResultData& d = Data();
    d.nMethod = nMethod == 2 ? 2 : 1;
    CClassThis cls(m_pDoc->GetModelDB());
    T_THIS_D rec;
    cls.Get(m_nThisK, rec);
    rec.nMethod = d.nMethod == 2 ? 1 : 0;
    cls.Set(m_nThisK, rec);
    m_pCtrl->GetSeqIdInfo()->SetThis(m_nThisK, m_nHistId, d.nMethod == 2 ? 1 : 0);
}

void CTHResultBuilder::SetThisSeqId(int nId)
{
    m_nHistId = nId;
    m_pCtrl->GetSeqIdInfo()->SetThis(m_nThisK, nId, Data().nMethod == 2 ? 1 : 0);
}

namespace {
void Connect(CPostCtrlAnlTypeBase& ctrl, unsigned int nThisK, const char* pszFamily2Path, int nHistoryId,
             const std::map<unsigned int, std::pair<int, int>>& aElemSeqId)
{
    ctrl.GetResulFileMngr()->SetResultFile(2, pszFamily2Path);
    CSeqIdInfo* pSeq = ctrl.GetSeqIdInfo();
    pSeq->SetThis(nThisK, nHistoryId, pSeq->GetSeqIdDirectThis(nThisK));
    for (const auto& [k, id] : aElemSeqId)
        pSeq->SetElem(k, id.first, id.second);
}
} // namespace

void CTHResultBuilder::ConnectResultFiles(const char* pszFamily2Path, int nHistoryId,
                                          const std::map<unsigned int, std::pair<int, int>>& aElemSeqId)
{
    m_nHistId = nHistoryId;
    Connect(*m_pCtrl, m_nThisK, pszFamily2Path, nHistoryId, aElemSeqId);
}

BOOL CTHResultBuilder::ConnectResultFiles(CDBDoc& doc, unsigned int nAcasK, const char* pszFamily2Path,
                                          int nHistoryId, const std::map<unsigned int, std::pair<int, int>>& aElemSeqId)
{
    CPostCtrlAnlTypeBase* pCtrl = nullptr;
    if (!PostCtrl(doc)->GetPostCtrlSub(nAcasK, &pCtrl) || !pCtrl)
        return FALSE;
    T_THIS_D rec;
    unsigned int nThisK = 0;
    CClassThis cases(doc.GetModelDB());
    CArray<unsigned int, unsigned int> keys;
    cases.GetKeyList(keys);
    for (int i = 0; i < keys.GetSize() && nThisK == 0; ++i)
        if (cases.Get(keys[i], rec) && rec.nAcasK == nAcasK)
            nThisK = keys[i];
    if (nThisK == 0)
        return FALSE;
    Connect(*pCtrl, nThisK, pszFamily2Path, nHistoryId, aElemSeqId);
    return TRUE;
}

void CTHResultBuilder::SetModal(int nMode, int nStep, const _MDSP_BN& q)
{
    CTHResultData& d = Data();
    if (nMode < 1 || nMode > d.nModes || nStep < 1 || nStep > d.nSteps)
        return;
    d.modal[static_cast<size_t>(nMode - 1) * static_cast<size_t>(d.nSteps) + static_cast<size_t>(nStep - 1)] = q;
}

void CTHResultBuilder::SetEquationCount(int n)
{
    CTHResultData& d = Data();
    d.nEquations = std::max(n, 0);
    d.eqDisp.assign(static_cast<size_t>(d.nEquations) * static_cast<size_t>(d.nSteps), 0.0);
}

void CTHResultBuilder::SetEquationDisp(int nStep, int nEqn, double v)
{
    CTHResultData& d = Data();
    if (nStep < 1 || nStep > d.nSteps || nEqn < 1 || nEqn > d.nEquations)
        return;
    d.eqDisp[static_cast<size_t>(nStep - 1) * static_cast<size_t>(d.nEquations) + static_cast<size_t>(nEqn - 1)] = v;
}

void CTHResultBuilder::FillDirectFromModal()
{
    CTHResultData& d = Data();
    int nEq = 0;
    for (const auto& [e, s] : d.modeShapes)
        nEq = std::max(nEq, e);
    SetEquationCount(nEq);
    auto modal = [&](int k, int s) {
        _MDSP_BN q;
        kvdb::ReadTimeDisp(d, k + 1, s + 1, q);
        return q;
    };
    for (int s = 0; s < d.nSteps; ++s)
        for (const auto& [e, shape] : d.modeShapes) {
            double u = 0.0;
            for (int k = 0; k < d.nModes && k < static_cast<int>(shape.size()); ++k)
                u += shape[static_cast<size_t>(k)] * modal(k, s).dDisp;
            SetEquationDisp(s + 1, e, u);
        }
    for (const auto& [nodeK, nd] : d.nodes) {
        double T[6][6] = {};
        for (int r = 0, i = 0; r < 6; ++r)
            for (int c = r; c < 6; ++c, ++i)
                T[r][c] = nd.dTrans[i];
        for (int r = 0; r < 6; ++r)
            if (T[r][r] == 0.0)
                T[r][r] = 1.0;
        for (int kind = 1; kind <= 3; ++kind) {
            std::vector<T_PDISP_D> hist(static_cast<size_t>(d.nSteps));
            for (int s = 0; s < d.nSteps; ++s) {
                double local[6] = {};
                for (int j = 0; j < 6; ++j) {
                    int e = static_cast<int>(nd.dEqn[j]);
                    auto it = d.modeShapes.find(e);
                    if (e < 1 || it == d.modeShapes.end())
                        continue;
                    for (int k = 0; k < d.nModes && k < static_cast<int>(it->second.size()); ++k) {
                        _MDSP_BN q = modal(k, s);
                        double f = kind == 3 ? q.dDisp : (kind == 2 ? q.dVelo : q.dAccel);
                        local[j] += it->second[static_cast<size_t>(k)] * f;
                    }
                }
                double g[6] = {};
                for (int r = 0; r < 6; ++r)
                    for (int c = 0; c < 6; ++c)
                        g[r] += T[r][c] * local[c];
                hist[static_cast<size_t>(s)] = T_PDISP_D{g[0], g[1], g[2], g[3], g[4], g[5]};
            }
            d.nodeHistory[kind - 1][nodeK] = hist;
        }
    }
    d.nCalls = 0;
}
