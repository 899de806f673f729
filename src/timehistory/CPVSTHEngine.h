// Runs one stored time-history function: checks its analysis case, opens a result query,
// lets the factory make the calculation function of its code, runs it and closes the query.
// The series it returns is the engine's own, valid until the next Run. Nothing escapes an
// operation: a failure inside (a failed allocation, a host's exception) is the operation's
// failure, with the query closed and the host's files given back.
#pragma once
#include "core/KVPvsExport.h"
#include "timehistory/CPVSTHCalcFuncBase.h"

class CDBDoc;

class KV_PVS_API CPVSTHEngine {
public:
    CPVSTHEngine();
    virtual ~CPVSTHEngine();
    CPVSTHEngine(const CPVSTHEngine&) = delete;
    CPVSTHEngine& operator=(const CPVSTHEngine&) = delete;

    CArray<double, double>* Run(const T_THRD_D* pStored);
    // The run form of a stored request; pOut stays as it was when a word's run form would not
    // fit an int (Run refuses such a request).
    static void MakeThrdData(const T_THRD_D* pStored, T_THRD_D* pOut);
    int LoadTimeSteps(unsigned int nThisK);
    CArray<double, double>* GetResults() { return &m_aResult; }
    const CArray<double, double>& GetTimeSteps() const { return m_aTime; }
    int GetStepCount() const { return m_nStepCount; }

    // 1 modal superposition, 2 direct integration; 0 when the case cannot be read.
    int GetAnalysisMethod(unsigned int nThisK);
    void WriteReport(int nCode, T_THREPORT_D& rep);
    void GetReportPath(CString& strPath);
    void OpenReport(CString strPath);

private:
    unsigned int m_nThisK = 0;
    CDBDoc* m_pDoc = nullptr;
    int m_nStepCount = 0;
    CArray<double, double> m_aResult;
    CArray<double, double> m_aTime;
};
