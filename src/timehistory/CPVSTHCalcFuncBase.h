// Base of the time-history calculation functions: one function computes the series of one
// result component of one node or element over all time steps of a time-history case. It
// holds the host controls and the request's words (run form), and offers the shared services:
// time steps and mode count, modal/direct decision, the element-results call with the release
// and retake of the host's result files, unit conversion, and the report window and file.
#pragma once
#include "PostCtrlGeoTech.h"
#include "ThisInfo.h"
#include "afxtempl.h"

#include <cstdio>

class CDBDoc;
class CUnitCtrl;

namespace kvpvs::timehistory {
struct StepWindow;
}

// A text-report request of the calculation functions.
struct T_THREPORT_D {
    FILE* pFile = nullptr;               // write here; nullptr: the report file
    unsigned int nThisK = 0;
    int nDispType = 1;                   // displacement report: 1, 2 or 3
    unsigned int nSecondNodeK = 0;
    CArray<unsigned int, unsigned int> aKeys; // nodes or elements; sorted in place
    int nKind = 0;                       // 0 force/displacement, 1 stress/velocity, 2 acceleration
    int bNoSteps = 0;                    // leave out the per-step lines
    int nStride = 1;
    double dStart = 0.0, dEnd = 0.0;     // time window
};

class CPVSTHCalcFuncBase {
public:
    CPVSTHCalcFuncBase();
    virtual ~CPVSTHCalcFuncBase();
    CPVSTHCalcFuncBase(const CPVSTHCalcFuncBase&) = delete;
    CPVSTHCalcFuncBase& operator=(const CPVSTHCalcFuncBase&) = delete;

    virtual int Calculate() = 0;
    virtual int IsAvailable() = 0;
    virtual int WriteReport(T_THREPORT_D& rep) = 0;
    virtual int GetUnitType(int nComponent);
    virtual int GetUnitType(int nKind, int nComponent);

    int Init(const T_THRD_D& req);
    void Reset();
    int LoadModeCount();
    int LoadTimeSteps(unsigned int nThisK);

    static int GetAnalysisMethod(unsigned int nThisK);
    // The calculation function constructed last and still alive; nullptr when none.
    static CPVSTHCalcFuncBase* GetCurrent();

    int GetElemNodeCount(unsigned int nElemK);
    int GetNodeCount() { return GetElemNodeCount(m_nEntityK); }
    // The element-results call: 1 with the series; 0 without a document or result file, or
    // with no values when the library or an allocation fails (the host's files given back).
    int CalcElementResults(int nKind, int nRow, CArray<double, double>* pOut);
    int CallElementResults(unsigned int nElemK, unsigned int nThisK, int nStepCount, int nModeNumber, int nKind,
                           int nRow, int nResultKind, int nComponent, int nStressOption,
                           CArray<double, double>* pOut);
    int ConvertSeries(int nKind, int nComponent, CArray<double, double>* pOut);
    int GetStepWindow(int& nFirst, int& nLast, double dStart, double dEnd);
    void GetReportPath(CString& strPath);
    void OpenReport(CString strPath);

    void SetAnalTypeCtrl(CPostCtrlAnlTypeBase* p) { m_pAnlCtrl = p; }
    CPostCtrlAnlTypeBase* GetAnalTypeCtrl() const { return m_pAnlCtrl; }
    unsigned int GetThisKey() const { return m_nThisK; }
    CDBDoc* GetDBDoc() const { return m_pDoc; }
    int IsValid() const { return m_bValid; }
    int GetModeCount() const { return m_nModeCount; }
    int GetStepCount() const { return m_nStepCount; }
    unsigned int GetEntityKey() const { return m_nEntityK; }
    void SetEntityKey(unsigned int k) { m_nEntityK = k; }
    int GetModeNumber() const { return m_nModeNumber; }
    int GetComponent() const { return m_nComponent; }
    int GetPosition() const { return m_nPosition; }
    int GetSubPosition() const { return m_nSubPosition; }
    int GetResultKind() const { return m_nResultKind; }
    int GetDispType() const { return m_nDispType; }
    unsigned int GetSecondNode() const { return m_nSecondNodeK; }
    int GetStressOption() const { return m_nStressOption; }
    double GetTimeStep(int i) const { return m_aTime[i]; }
    CArray<double, double>* GetResults() { return &m_aResult; }
    int GetResultCount() const { return m_aResult.GetSize(); }
    void AddResult(double v) { m_aResult.Add(v); }
    void ClearResults() { m_aResult.RemoveAll(); }
    void SetResults(const CArray<double, double>& a) { m_aResult.Copy(a); }
    // qsort comparison of two ints: negative, 0 or positive as the first is below, equal to or
    // above the second.
    static int CompareInt(const void* a, const void* b);

protected:
    // Valid, with a control whose results are ready.
    int IsReady() const;
    // What every text report does first: 0 (nothing written) when the results are not ready,
    // the report's case has no steps, the time window starts below 0 or ends before its start,
    // or no step lies in it; else the window's steps by the report's stride (at least 1), and
    // the keys sorted ascending (as unsigned keys).
    int BeginReport(T_THREPORT_D& rep, kvpvs::timehistory::StepWindow& w);
    // The element functions' Calculate: row nRow of the whole series in one call of the element
    // library's family nFamily, its kind picked by the node count (a count outside the family's
    // table makes no call); 0 when not ready or nothing was computed.
    int CalcFamilySeries(int nFamily, int nRow);
    // The element reports' start: a report kind below nKinds, the mode count and BeginReport;
    // the current length and force unit names for the report's headings.
    int BeginElementReport(T_THREPORT_D& rep, int nKinds, kvpvs::timehistory::StepWindow& w, CString& strLength,
                           CString& strForce);
    CPostCtrlGeoTech* PostCtrl() const;
    CUnitCtrl* UnitCtrl() const;
    double ConvertOut(int nUnitType, double v) const;

    CPostCtrlBase* m_pPostCtrl = nullptr;
    CPostCtrlAnlTypeBase* m_pAnlCtrl = nullptr;
    CDBDoc* m_pDoc = nullptr;
    int m_bValid = 0;
    int m_nModeCount = 0;
    int m_nStepCount = 0;
    unsigned int m_nThisK = 0;
    unsigned int m_nEntityK = 0;
    int m_nModeNumber = 0;
    int m_nComponent = 0;
    int m_nPosition = 0;
    int m_nResultKind = 0;
    int m_nSubPosition = 0;
    int m_nDispType = 0;
    unsigned int m_nSecondNodeK = 0;
    int m_nStressOption = 0;
    CArray<double, double> m_aTime;
    CArray<double, double> m_aResult;
};
