#include "timehistory/CPVSTHEngine.h"

#include "timehistory/CPVSTHCalcFuncFactory.h"
#include "timehistory/HistoryMessageIds.h"

#include "DBDoc.h"
#include "MsgDll.h"
#include "UnitCtrl.h"

#include <climits>
#include <memory>
#include <string>

CPVSTHEngine::CPVSTHEngine() : m_pDoc(CDBDoc::GetDocPoint()) {}
CPVSTHEngine::~CPVSTHEngine() = default;

namespace {
// The run form fits the stored words: words 3, 4 and 10 can take their + 1, and the component
// its shift by ten times the result kind (codes 1 and 3 of the run form).
bool HasRunForm(const T_THRD_D& s)
{
    if (s.nCode == INT_MAX || s.nResultKind == INT_MAX || s.nDispType == INT_MAX)
        return false;
    const int nCode = s.nCode + 1;
    if (nCode != 1 && nCode != 3)
        return true;
    const long long nComponent = static_cast<long long>(s.nComponent) + 10LL * s.nResultKind;
    return nComponent >= INT_MIN && nComponent <= INT_MAX;
}

// The result query of one run or report, ended when the guard goes, however the run ends.
class ResultQuery {
public:
    ResultQuery() = default;
    ~ResultQuery()
    {
        if (!m_pPost)
            return;
        try {
            m_pPost->EndQueryResult();
        } catch (...) {
        }
    }
    ResultQuery(const ResultQuery&) = delete;
    ResultQuery& operator=(const ResultQuery&) = delete;

    void Begin(CPostCtrlGeoTech* pPost, const T_LCOM_D& comb)
    {
        pPost->BeginQueryResult(comb, 1, 0);
        m_pPost = pPost;
    }

private:
    CPostCtrlGeoTech* m_pPost = nullptr;
};
} // namespace

void CPVSTHEngine::MakeThrdData(const T_THRD_D* s, T_THRD_D* o)
{
    if (!s || !o || !HasRunForm(*s))
        return;
    try {
        o->strName = s->strName; // the one step that can fail, and it leaves the name as it was
    } catch (...) {
        return;
    }
    o->nEntityK = s->nEntityK;
    o->nCode = s->nCode + 1;
    o->nResultKind = s->nResultKind + 1;
    o->nPosition = s->nPosition;
    o->nComponent = s->nComponent;
    o->nUnused7 = s->nUnused7;
    o->nModeNumber = s->nModeNumber;
    o->nSubPosition = s->nSubPosition;
    o->nDispType = s->nDispType + 1;
    o->nSecondNodeK = s->nSecondNodeK;
    o->nAcasK = s->nAcasK;
    o->nStressOption = s->nStressOption;
    if (o->nCode == 1 || o->nCode == 3)
        o->nComponent += 10 * (o->nResultKind - 1);
    else if (o->nCode == 2)
        o->nComponent = o->nResultKind - 1;
}

int CPVSTHEngine::LoadTimeSteps(unsigned int nThisK)
{
    m_aResult.RemoveAll();
    m_aTime.RemoveAll();
    m_nStepCount = 0;
    try {
        CClassThis cls(CDocCtrl::GetDBMain(CDBDoc::GetDocPoint()));
        cls.GetTimeStep(nThisK, m_aTime);
    } catch (...) {
        m_aTime.RemoveAll(); // no steps rather than some of them
    }
    m_nStepCount = m_aTime.GetSize();
    return m_nStepCount > 0 ? 1 : 0;
}

int CPVSTHEngine::GetAnalysisMethod(unsigned int nThisK)
{
    try {
        return CPVSTHCalcFuncBase::GetAnalysisMethod(nThisK);
    } catch (...) {
        return 0;
    }
}

CArray<double, double>* CPVSTHEngine::Run(const T_THRD_D* pStored)
{
    if (!pStored)
        return &m_aResult;
    try {
        unsigned int nThisK = CThisInfo::GetThisKByAcasK(pStored->nAcasK);
        if (!LoadTimeSteps(nThisK))
            return &m_aResult;
        // A stored word whose run form would overflow names no function: refused.
        if (!HasRunForm(*pStored))
            return &m_aResult;
        T_THRD_D req;
        MakeThrdData(pStored, &req);
        m_nThisK = CThisInfo::GetThisKByAcasK(req.nAcasK);
        if (req.nAcasK == 0)
            return &m_aResult;
        CDBDoc* pDoc = CDBDoc::GetDocPoint();
        auto* pPost = static_cast<CPostCtrlGeoTech*>(pDoc ? CPDataBaseNeutral::GetPostCtrl(pDoc->GetPostDB()) : nullptr);
        CPostCtrlAnlTypeBase* pCtrl = nullptr;
        if (!pPost || !pPost->GetPostCtrlSub(req.nAcasK, &pCtrl) || !pCtrl)
            return &m_aResult;
        if (pCtrl->GetAnalysisType() != 3)
            return &m_aResult;
        T_LCOM_D comb;
        if (!pPost->MakeLoadComb(4, req.nAcasK, comb))
            return &m_aResult;
        // Declared first, so that the function is deleted before the query ends.
        ResultQuery query;
        query.Begin(pPost, comb);
        std::unique_ptr<CPVSTHCalcFuncBase> pFunc(CPVSTHCalcFuncFactory::Create(req.nCode));
        if (pFunc) {
            pFunc->SetAnalTypeCtrl(pCtrl);
            pFunc->Init(req);
            pFunc->Calculate();
            m_aResult.Copy(*pFunc->GetResults());
        }
        return &m_aResult;
    } catch (...) {
        // Whatever escaped (a failed allocation, a host's exception) is the run's failure: the
        // query and the function are gone with the stack; no series and no time steps remain.
        m_aResult.RemoveAll();
        m_aTime.RemoveAll();
        m_nStepCount = 0;
        return &m_aResult;
    }
}

void CPVSTHEngine::WriteReport(int nCode, T_THREPORT_D& rep)
{
    // The caller's key order, put back when the report fails: a failed report changes nothing
    // (the report writes its text only once it is complete).
    CArray<unsigned int, unsigned int> aKeys;
    bool bKeysKept = false;
    try {
        aKeys.Copy(rep.aKeys);
        bKeysKept = true;
        std::unique_ptr<CPVSTHCalcFuncBase> pFunc(CPVSTHCalcFuncFactory::Create(nCode));
        if (!pFunc)
            return;
        // The report reads like Run: through the analysis-type control of the report's case,
        // inside a result query, with the case's mode count. Without them every reading would fail.
        CDBDoc* pDoc = CDBDoc::GetDocPoint();
        T_THIS_D rec;
        if (!pDoc || !CClassThis(CDocCtrl::GetDBMain(pDoc)).Get(rep.nThisK, rec))
            return;
        auto* pPost = static_cast<CPostCtrlGeoTech*>(CPDataBaseNeutral::GetPostCtrl(pDoc->GetPostDB()));
        CPostCtrlAnlTypeBase* pCtrl = nullptr;
        if (!pPost || !pPost->GetPostCtrlSub(rec.nAcasK, &pCtrl) || !pCtrl || pCtrl->GetAnalysisType() != 3)
            return;
        T_LCOM_D comb;
        if (!pPost->MakeLoadComb(4, rec.nAcasK, comb))
            return;
        ResultQuery query;
        query.Begin(pPost, comb);
        pFunc->SetAnalTypeCtrl(pCtrl);
        pFunc->LoadModeCount();
        pFunc->WriteReport(rep);
        pFunc.reset();
    } catch (...) {
        if (bKeysKept && aKeys.GetSize() == rep.aKeys.GetSize())
            for (int i = 0; i < aKeys.GetSize(); ++i)
                rep.aKeys[i] = aKeys[i];
    }
}

void CPVSTHEngine::GetReportPath(CString& strPath)
{
    try {
        std::string s = m_pDoc ? std::string(static_cast<const char*>(m_pDoc->GetPathName())) : std::string();
        size_t slash = s.find_last_of("/\\");
        std::string folder = slash == std::string::npos ? std::string() : s.substr(0, slash + 1);
        CString path = CString(folder.c_str()) + CMsgDll::pfuncLoadStr(IDS_QB_PVS_TimeHistoryResult, 0) + ".txt";
        strPath = path;
    } catch (...) {
        // The path as it was.
    }
}

void CPVSTHEngine::OpenReport(CString strPath)
{
    try {
        CDBLib::RunTextEditor(strPath, CMsgDll::pfuncLoadStr(IDS_QB_PVS_TIME_HISTORY_RESULTS, 0), 1);
    } catch (...) {
        // Nothing shown.
    }
}
