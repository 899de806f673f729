#include "timehistory/CPVSTHCalcFuncBase.h"

#include "timehistory/ElementResultsEntry.h"
#include "timehistory/HistoryMessageIds.h"
#include "timehistory/history_loop.h"

#include "DBDoc.h"
#include "MsgDll.h"
#include "UnitCtrl.h"

#include <algorithm>
#include <cmath>
#include <string>

namespace {
// The function of the one calculation that runs at a time.
CPVSTHCalcFuncBase* g_pCurrent = nullptr;

// The host's hold on its result files released for the element library, and taken back when
// the guard goes, however the call ends; the direct-integration file is not reopened.
class ReleasedResultFiles {
public:
    explicit ReleasedResultFiles(CPostCtrlAnlTypeTHIS* pCtrl) : m_pCtrl(pCtrl)
    {
        m_pCtrl->TemporaryCloseXa2File();
        m_pCtrl->TemporaryCloseXa1File();
        CPostAnalysisResultTHIS::m_FileDirectDMED.Abort();
    }
    ~ReleasedResultFiles()
    {
        try {
            m_pCtrl->TemporaryOpenXa2File();
        } catch (...) {
        }
        try {
            m_pCtrl->TemporaryOpenXa1File();
        } catch (...) {
        }
    }
    ReleasedResultFiles(const ReleasedResultFiles&) = delete;
    ReleasedResultFiles& operator=(const ReleasedResultFiles&) = delete;

private:
    CPostCtrlAnlTypeTHIS* m_pCtrl;
};
} // namespace

CPVSTHCalcFuncBase::CPVSTHCalcFuncBase()
{
    m_pDoc = CDBDoc::GetDocPoint();
    m_pPostCtrl = m_pDoc ? CPDataBaseNeutral::GetPostCtrl(m_pDoc->GetPostDB()) : nullptr;
    g_pCurrent = this;
}

CPVSTHCalcFuncBase::~CPVSTHCalcFuncBase()
{
    // A destroyed function must not stay reachable through the global.
    if (g_pCurrent == this)
        g_pCurrent = nullptr;
}

CPVSTHCalcFuncBase* CPVSTHCalcFuncBase::GetCurrent() { return g_pCurrent; }

int CPVSTHCalcFuncBase::GetUnitType(int) { return 0; }
int CPVSTHCalcFuncBase::GetUnitType(int, int) { return 0; }

int CPVSTHCalcFuncBase::Init(const T_THRD_D& req)
{
    Reset();
    m_nThisK = CThisInfo::GetThisKByAcasK(req.nAcasK);
    m_nEntityK = req.nEntityK;
    m_nModeNumber = req.nModeNumber;
    m_nComponent = req.nComponent;
    m_nPosition = req.nPosition;
    m_nSubPosition = req.nSubPosition;
    m_nResultKind = req.nResultKind;
    m_nDispType = req.nDispType;
    m_nSecondNodeK = req.nSecondNodeK;
    m_nStressOption = req.nStressOption;
    LoadModeCount();
    m_bValid = LoadTimeSteps(m_nThisK) ? 1 : 0;
    return m_bValid;
}

void CPVSTHCalcFuncBase::Reset()
{
    m_bValid = 0;
    m_nThisK = 0;
    m_nEntityK = 0;
    m_nModeNumber = m_nComponent = m_nPosition = m_nResultKind = m_nSubPosition = m_nDispType = 0;
    m_nSecondNodeK = 0;
    m_nStressOption = 0;
    m_nStepCount = 0;
    m_aTime.RemoveAll();
    m_aResult.RemoveAll();
}

int CPVSTHCalcFuncBase::LoadModeCount()
{
    m_nModeCount = 0;
    T_POSTDATA_COUNT_D c;
    if (m_pAnlCtrl && m_pAnlCtrl->GetDataCount(c))
        m_nModeCount = c.nMode;
    return m_nModeCount != 0 ? 1 : 0;
}

int CPVSTHCalcFuncBase::LoadTimeSteps(unsigned int nThisK)
{
    m_aTime.RemoveAll();
    CClassThis cls(CDocCtrl::GetDBMain(CDBDoc::GetDocPoint()));
    cls.GetTimeStep(nThisK, m_aTime);
    m_nStepCount = m_aTime.GetSize();
    return m_nStepCount != 0 ? 1 : 0;
}

int CPVSTHCalcFuncBase::GetAnalysisMethod(unsigned int nThisK)
{
    T_THIS_D rec;
    CClassThis cls(CDocCtrl::GetDBMain(CDBDoc::GetDocPoint()));
    cls.Get(nThisK, rec);
    if (rec.nMethod == 0) {
        CPVSTHCalcFuncBase* p = g_pCurrent;
        if (p && p->m_pAnlCtrl && p->m_pAnlCtrl->GetSeqIdInfo()->GetSeqIdDirectThis(nThisK) != 0)
            return 2;
        return 1;
    }
    return rec.nMethod == 1 || rec.nMethod == 23 ? 2 : 1;
}

int CPVSTHCalcFuncBase::GetElemNodeCount(unsigned int nElemK)
{
    T_ELEM_D e;
    CClassElem cls(CDocCtrl::GetDBMain(CDBDoc::GetDocPoint()));
    if (!cls.Get(nElemK, e))
        return 0;
    return e.aNodeK.GetSize();
}

int CPVSTHCalcFuncBase::CalcFamilySeries(int nFamily, int nRow)
{
    if (!m_bValid)
        return 0;
    if (!m_pAnlCtrl || !m_pAnlCtrl->IsResultReady())
        return 0;
    ClearResults();
    const int nKind = kvpvs::timehistory::ElementKindOf(nFamily, GetNodeCount());
    if (nKind == 0)
        return 0;
    return CalcElementResults(nKind, nRow, nullptr) ? 1 : 0;
}

int CPVSTHCalcFuncBase::BeginElementReport(T_THREPORT_D& rep, int nKinds, kvpvs::timehistory::StepWindow& w,
                                           CString& strLength, CString& strForce)
{
    if (rep.nKind < 0 || rep.nKind >= nKinds)
        return 0;
    LoadModeCount();
    if (!BeginReport(rep, w))
        return 0;
    if (CUnitCtrl* pUnit = UnitCtrl()) {
        pUnit->GetUnitSystem(1, strLength);
        pUnit->GetUnitSystem(2, strForce);
    }
    return 1;
}

int CPVSTHCalcFuncBase::CalcElementResults(int nKind, int nRow, CArray<double, double>* pOut)
{
    return CallElementResults(m_nEntityK, m_nThisK, m_nStepCount, m_nModeNumber, nKind, nRow, m_nResultKind,
                              m_nComponent, m_nStressOption, pOut);
}

int CPVSTHCalcFuncBase::CallElementResults(unsigned int nElemK, unsigned int nThisK, int nStepCount, int nModeNumber,
                                           int nKind, int nRow, int nResultKind, int nComponent, int nStressOption,
                                           CArray<double, double>* pOut)
{
    using namespace kvpvs::timehistory;
    CArray<double, double>* pTarget = pOut ? pOut : &m_aResult;
    try {
        if (!CDBDoc::GetDocPoint() || !m_pAnlCtrl)
            return 0;
        T_RESULT_FILE_D file;
        if (!m_pAnlCtrl->GetResulFileMngr()->FindResultFile(2, file))
            return 0;
        char szBase[BASE_PATH_CHARS];
        int nLength = 0;
        if (!MakeResultBasePath(file.strPathName, szBase, nLength))
            return 0; // a path the library cannot take: the host keeps its files
        ReleasedResultFiles files(static_cast<CPostCtrlAnlTypeTHIS*>(m_pAnlCtrl));
        CSeqIdInfo* pSeq = m_pAnlCtrl->GetSeqIdInfo();
        int nElemType = pSeq->GetSeqIdElemType(nElemK);
        int nElemId = pSeq->GetSeqIdElem(nElemK);
        int nHistId = pSeq->GetSeqIdThis(nThisK);
        int nOption = nStressOption != 1 ? 1 : 0;
        if (nKind == 1 || nKind == 3 || nKind == 5 || nKind == 7)
            nOption = 0;
        pTarget->RemoveAll();
        pTarget->SetSize(nStepCount);
        if (nStepCount > 0 && !CallHistoryEntry(szBase, nLength, nKind, nElemType, nRow, nHistId, nStepCount, 4,
                                                nModeNumber, pTarget->GetData(), nOption, nElemId)) {
            pTarget->RemoveAll();
            return 0;
        }
        ConvertSeries(nResultKind, nComponent, pOut);
        return 1;
    } catch (...) {
        // A failed allocation or host call: no values; the files were given back on the way out.
        pTarget->RemoveAll();
        return 0;
    }
}

int CPVSTHCalcFuncBase::ConvertSeries(int nKind, int nComponent, CArray<double, double>* pOut)
{
    CArray<double, double>& a = pOut ? *pOut : m_aResult;
    int nUnit = GetUnitType(nKind, nComponent);
    for (int i = 0; i < a.GetSize(); ++i) {
        double v = ConvertOut(nUnit, a[i]);
        a[i] = std::fabs(v) < 1e-13 ? 0.0 : v;
    }
    return 1;
}

int CPVSTHCalcFuncBase::GetStepWindow(int& nFirst, int& nLast, double dStart, double dEnd)
{
    bool bFirst = false;
    for (int i = 0; i <= m_nStepCount - 2; ++i) {
        if (m_aTime[i] >= dStart) {
            if (!bFirst) {
                nFirst = i;
                bFirst = true;
            }
            if (m_aTime[i] >= dEnd) {
                nLast = i;
                break;
            }
        }
    }
    return nFirst < nLast ? 1 : 0;
}

void CPVSTHCalcFuncBase::GetReportPath(CString& strPath)
{
    std::string s = m_pDoc ? std::string(static_cast<const char*>(m_pDoc->GetPathName())) : std::string();
    size_t slash = s.find_last_of("/\\");
    std::string folder = slash == std::string::npos ? std::string() : s.substr(0, slash + 1);
    CString name = CMsgDll::pfuncLoadStr(IDS_QB_PVS_TimeHistoryResult, 0);
    strPath = CString(folder.c_str()) + name + ".txt";
}

void CPVSTHCalcFuncBase::OpenReport(CString strPath)
{
    CDBLib::RunTextEditor(strPath, CMsgDll::pfuncLoadStr(IDS_QB_PVS_TIME_HISTORY_RESULTS, 0), 1);
}

int CPVSTHCalcFuncBase::CompareInt(const void* a, const void* b)
{
    // By comparison, not by difference: x - y overflows for values of opposite sign.
    int x = *static_cast<const int*>(a), y = *static_cast<const int*>(b);
    return (x > y) - (x < y);
}

int CPVSTHCalcFuncBase::BeginReport(T_THREPORT_D& rep, kvpvs::timehistory::StepWindow& w)
{
    if (!m_pAnlCtrl || !m_pAnlCtrl->IsResultReady() || !LoadTimeSteps(rep.nThisK))
        return 0;
    if (rep.dStart < 0.0 || rep.dEnd < rep.dStart)
        return 0;
    w.nFirst = 0;
    w.nLast = m_nStepCount;
    if (!GetStepWindow(w.nFirst, w.nLast, rep.dStart, rep.dEnd))
        return 0;
    w.nStride = rep.nStride < 1 ? 1 : rep.nStride;
    // Ascending by the keys' own (unsigned) values, so that keys beyond 2^31 sort too.
    std::sort(rep.aKeys.GetData(), rep.aKeys.GetData() + rep.aKeys.GetSize());
    return 1;
}

int CPVSTHCalcFuncBase::IsReady() const
{
    return m_bValid && m_pAnlCtrl && m_pAnlCtrl->IsResultReady() && PostCtrl() ? 1 : 0;
}

CPostCtrlGeoTech* CPVSTHCalcFuncBase::PostCtrl() const { return static_cast<CPostCtrlGeoTech*>(m_pPostCtrl); }

CUnitCtrl* CPVSTHCalcFuncBase::UnitCtrl() const { return CDocCtrl::GetUnitCtrl(m_pDoc); }

double CPVSTHCalcFuncBase::ConvertOut(int nUnitType, double v) const
{
    CUnitCtrl* p = UnitCtrl();
    return p ? p->ConvertUnitDataOut(nUnitType, v) : v;
}
