// Stand-in for the product's post-processing controls: the post control of the document
// (CPostCtrlGeoTech) with its result query, and the time-history analysis-type control with
// its stored results (mode shapes, modal coordinates, equation displacements, node histories,
// ground motion, recovery arrays). Filled through CTHResultBuilder.
// Choice: readers answer only inside BeginQueryResult/EndQueryResult, for the queried case;
// every reader call is counted (benchmarks report host calls per step). A test can make
// BeginQueryResult throw, as the host's does when it cannot allocate the query.
#pragma once
#include "PostCtrlBase.h"

#include <functional>
#include <map>
#include <memory>
#include <vector>

// Displacement, velocity and acceleration of one modal coordinate, one ground direction or
// one equation (the first double alone).
struct _MDSP_BN {
    double dDisp = 0.0, dVelo = 0.0, dAccel = 0.0;
};

// A node's equation numbers (as doubles, 0 = none) and its transformation: the upper triangle
// of a 6 x 6 matrix, row by row.
struct _NDSP_BN {
    double dEqn[6] = {0, 0, 0, 0, 0, 0};
    double dTrans[21] = {};
};

// A node's displacement, velocity or acceleration.
struct T_PDISP_D {
    double dDx = 0.0, dDy = 0.0, dDz = 0.0, dRx = 0.0, dRy = 0.0, dRz = 0.0;
    // Unit type of each component as a displacement: lengths; rotations have no unit.
    static constexpr int unit[6] = {1, 1, 1, 0, 0, 0};
};

// A load combination for the result query.
struct T_LCOM_D {
    int nKind = 0;
    unsigned int nAcasK = 0;
};

// The stored results of one time-history case.
struct CTHResultData {
    int nAnalysisType = 3;
    int nMethod = 1;             // 1 modal superposition, 2 direct integration
    int nModes = 0, nSteps = 0, nEquations = 0;
    std::map<int, std::vector<double>> modeShapes;     // equation -> one value per mode
    std::vector<_MDSP_BN> modal;                        // [mode * nSteps + step], 0-based
    std::function<void(int, int, _MDSP_BN&)> modalSource; // (mode, step) 0-based, when set
    std::vector<double> eqDisp;                         // [step * nEquations + eq - 1]
    std::function<double(int, int)> eqDispSource;       // (step 0-based, equation), when set
    std::map<unsigned int, _NDSP_BN> nodes;
    std::map<unsigned int, std::vector<T_PDISP_D>> nodeHistory[3]; // reader kind 1 acc, 2 vel, 3 disp
    std::vector<_MDSP_BN> ground[3];                    // X, Y, Z per step
    std::map<unsigned int, std::vector<double>> truss, beam;
    mutable long long nCalls = 0;
};

// The stored results of a time-history case, read by the history-plot value source.
class CPostAnalysisResultTHIS : public CPostAnalysisResultBase {
public:
    explicit CPostAnalysisResultTHIS(std::shared_ptr<CTHResultData> p) : m_p(std::move(p)) {}
    int GetMethod() const { return m_p->nMethod; }
    int GetSATruss(unsigned int nElemK, CArray<double, double>& a) const;
    int GetSABeam(unsigned int nElemK, CArray<double, double>& a) const;
    int GetEquationMode(int nEqn, CArray<double, double>& a) const;
    int GetTimeDisp(int nMode, int nStep, _MDSP_BN& q) const;
    int GetEquationDisp(int nStep, int nEqn, _MDSP_BN& d) const;
    // Factors of safety of a slope case's slip surfaces, one per surface in the makers' order;
    // FALSE when the case has none or not nCount. Choice: the host stores them (SetSafetyRatio4SAM).
    BOOL GetSafetyRatio4SAM(unsigned int nAcasK, int nCount, double* pFactor) const;

    // The host's direct-integration result file, shared by all cases.
    class CDirectFile {
    public:
        void Abort() { m_bOpen = FALSE; ++m_nAborts; }
        BOOL IsOpen() const { return m_bOpen; }
        void Open() { m_bOpen = TRUE; }
        int GetAbortCount() const { return m_nAborts; }

    private:
        BOOL m_bOpen = TRUE;
        int m_nAborts = 0;
    };
    static CDirectFile m_FileDirectDMED;

private:
    std::shared_ptr<CTHResultData> m_p;
};

// Eigenvalue control of a case: its mode count.
class CPostCtrlEigv : public CPostCtrlAnlTypeBase {
public:
    explicit CPostCtrlEigv(std::shared_ptr<CTHResultData> p) : m_p(std::move(p)) {}
    int GetAnalysisType() const override { return 2; }
    BOOL GetDataCount(T_POSTDATA_COUNT_D& c) const override;
    CPostAnalysisResultBase* GetAnalResult() override { return nullptr; }

private:
    std::shared_ptr<CTHResultData> m_p;
};

// Control of a time-history case: counts, result files (family 1 "Xa1", family 2 "Xa2").
class CPostCtrlAnlTypeTHIS : public CPostCtrlAnlTypeBase {
public:
    explicit CPostCtrlAnlTypeTHIS(std::shared_ptr<CTHResultData> p);
    int GetAnalysisType() const override { return m_p->nAnalysisType; }
    BOOL GetDataCount(T_POSTDATA_COUNT_D& c) const override;
    CPostAnalysisResultBase* GetAnalResult() override { return &m_result; }
    CPostCtrlEigv* GetPostCtrlEigv() { return &m_eigv; }
    void TemporaryCloseXa1File() { m_bXa1Open = FALSE; ++m_nCloses; }
    void TemporaryCloseXa2File() { m_bXa2Open = FALSE; ++m_nCloses; }
    void TemporaryOpenXa1File() { m_bXa1Open = TRUE; ++m_nOpens; }
    void TemporaryOpenXa2File() { m_bXa2Open = TRUE; ++m_nOpens; }
    BOOL IsXa1Open() const { return m_bXa1Open; }
    BOOL IsXa2Open() const { return m_bXa2Open; }
    int GetOpenCount() const { return m_nOpens; }
    int GetCloseCount() const { return m_nCloses; }
    CTHResultData& Data() { return *m_p; }

private:
    std::shared_ptr<CTHResultData> m_p;
    CPostAnalysisResultTHIS m_result;
    CPostCtrlEigv m_eigv;
    BOOL m_bXa1Open = TRUE, m_bXa2Open = TRUE;
    int m_nOpens = 0, m_nCloses = 0;
};

// Control of a construction-stage (type 5), linear (15) or nonlinear (1) case: its type and,
// through the base, the output set of its steps and whether its results are ready.
class CPostCtrlAnlTypeStatic : public CPostCtrlAnlTypeBase {
public:
    explicit CPostCtrlAnlTypeStatic(int nType) : m_nType(nType) {}
    int GetAnalysisType() const override { return m_nType; }
    BOOL GetDataCount(T_POSTDATA_COUNT_D& c) const override
    {
        c = T_POSTDATA_COUNT_D();
        return TRUE;
    }
    CPostAnalysisResultBase* GetAnalResult() override { return nullptr; }

private:
    int m_nType;
};

// Pile result of one element: the tip's node number, then one value per component.
struct T_PPILE_D {
    std::vector<double> aValue;
};

class CPostCtrlGeoTech : public CPostCtrlBase {
public:
    // The pile result of an element; 0 when it has none. The trailing arguments are the host's.
    int GetPile(unsigned int nElemK, T_PPILE_D* pRec, int, int, int) const
    {
        auto it = m_piles.find(nElemK);
        if (!pRec || it == m_piles.end())
            return 0;
        pRec->aValue = it->second;
        return 1;
    }
    void SetPile(unsigned int nElemK, std::vector<double> aValue) { m_piles[nElemK] = std::move(aValue); }
    // The analysis-type control of a case; 0 when the case has none.
    int GetPostCtrlSub(unsigned int nAcasK, CPostCtrlAnlTypeBase** ppCtrl);
    int MakeLoadComb(int nKind, unsigned int nAcasK, T_LCOM_D& comb) const;
    int BeginQueryResult(const T_LCOM_D& comb, int nArg1, int nArg2);
    void EndQueryResult();

    int GetSANode(unsigned int nNodeK, _NDSP_BN& rec) const;
    int GetEquationMode(int nEqn, CArray<double, double>& a) const;
    int GetTimeDisp(int nMode, int nStep, _MDSP_BN& q) const;
    int GetDispHistory(int nStep, unsigned int nNodeK, T_PDISP_D& rec, int nReaderKind) const;
    int GetGroundAccDisp(int nStep, _MDSP_BN& x, _MDSP_BN& y, _MDSP_BN& z) const;
    int GetSATruss(unsigned int nElemK, CArray<double, double>& a) const;
    int GetSABeam(unsigned int nElemK, CArray<double, double>& a) const;
    int GetEquationDisp(int nStep, int nEqn, _MDSP_BN& d) const;
    // Factors of safety of a slope case's slip surfaces, one per surface in the makers' order;
    // FALSE when the case has none or not nCount. Choice: the host stores them (SetSafetyRatio4SAM).
    BOOL GetSafetyRatio4SAM(unsigned int nAcasK, int nCount, double* pFactor) const;

    // Host side.
    void SetCase(unsigned int nAcasK, std::shared_ptr<CPostCtrlAnlTypeTHIS> pCtrl) { m_cases[nAcasK] = pCtrl; }
    void AddCaseWithoutControl(unsigned int nAcasK) { m_bare[nAcasK] = 1; }
    void SetStaticCase(unsigned int nAcasK, std::shared_ptr<CPostCtrlAnlTypeStatic> pCtrl) { m_static[nAcasK] = pCtrl; }
    void SetSafetyRatio4SAM(unsigned int nAcasK, const std::vector<double>& aFactor) { m_safety[nAcasK] = aFactor; }
    // While set, BeginQueryResult throws std::bad_alloc and begins nothing.
    void SetQueryFails(int bFails) { m_bQueryFails = bFails; }
    int GetQueryDepth() const { return m_nDepth; }
    int GetBeginCount() const { return m_nBegins; }
    unsigned int GetQueryCase() const { return m_nQueryK; }

private:
    const CTHResultData* Query() const;
    std::map<unsigned int, std::shared_ptr<CPostCtrlAnlTypeTHIS>> m_cases;
    std::map<unsigned int, int> m_bare;
    std::map<unsigned int, std::vector<double>> m_piles;
    std::map<unsigned int, std::shared_ptr<CPostCtrlAnlTypeStatic>> m_static;
    std::map<unsigned int, std::vector<double>> m_safety;
    unsigned int m_nQueryK = 0;
    int m_nDepth = 0;
    int m_nBegins = 0;
    int m_bQueryFails = 0;
};

// Shared readers of the stored results (the control and the analysis result answer alike).
namespace kvdb {
int ReadTruss(const CTHResultData& d, unsigned int nElemK, CArray<double, double>& a);
int ReadBeam(const CTHResultData& d, unsigned int nElemK, CArray<double, double>& a);
int ReadEquationMode(const CTHResultData& d, int nEqn, CArray<double, double>& a);
int ReadTimeDisp(const CTHResultData& d, int nMode, int nStep, _MDSP_BN& q);
int ReadEquationDisp(const CTHResultData& d, int nStep, int nEqn, _MDSP_BN& r);
} // namespace kvdb
