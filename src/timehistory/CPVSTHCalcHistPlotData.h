// One-step value source of the history-plot displays: the truss or beam record of an element
// at one time step (recovered from the host's nodal results, all modes), or one plane-strain,
// solid or plate component at the element centre through the one-step build of the
// element-results entry. One object per display refresh: BeginQuery, reads, EndQuery.
#pragma once
#include "timehistory/ElementResultsEntry.h"

#include "PostCtrlGeoTech.h"
#include "PostResultRecords.h"

class CPVSTHCalcHistPlotData {
public:
    explicit CPVSTHCalcHistPlotData(unsigned int nAcasK);
    virtual ~CPVSTHCalcHistPlotData() = default;
    CPVSTHCalcHistPlotData(const CPVSTHCalcHistPlotData&) = delete;
    CPVSTHCalcHistPlotData& operator=(const CPVSTHCalcHistPlotData&) = delete;

    int BeginQuery(int nKind);
    void EndQuery();
    int GetTrussValue(int nStep, unsigned int nElemK, T_PSTRT_D& rec);
    int GetBeamValue(int nStep, unsigned int nElemK, T_PSTRB_D& rec);
    // The element readers: 1 with the value; 0 with value 0 for a step outside the case (no
    // library call), without the analysis-type control, or when the entry or an allocation
    // fails. The truss and beam readers give 0 and the initialised record in the same cases.
    int GetPlstrnStress(int nStep, unsigned int nElemK, int nNodes, int nReserved, int nOption, int nComp, double& v);
    int GetPlstrnStrain(int nStep, unsigned int nElemK, int nNodes, int nReserved, int nOption, int nComp, double& v);
    int GetSolidStress(int nStep, unsigned int nElemK, int nNodes, int nReserved, int nOption, int nComp, double& v);
    int GetSolidStrain(int nStep, unsigned int nElemK, int nNodes, int nReserved, int nOption, int nComp, double& v);
    int GetPlateStress(int nStep, unsigned int nElemK, int nNodes, int nReserved, int nOption, int nComp, double& v);
    int GetPlateUnitForce(int nStep, unsigned int nElemK, int nNodes, int nReserved, int nOption, int nComp, double& v);
    // 1 once BeginQuery or a reading was cut short by a throw (a failed allocation, a host call,
    // the element-results entry), for the rest of the object's life: a 0 is then a failure of
    // the whole picture, not a result that the files lack.
    int HasFailed() const { return m_bFailed; }

    // The rows and unit types of the element histories (element_tables.h, shared with the
    // calculation functions).
    static int GetPlstrnRow(int nNodes, int nResultKind, int nPos, int nComp);
    static int GetSolidRow(int nNodes, int nResultKind, int nPos, int nComp);
    static int GetPlateRow(int nNodes, int nResultKind, int nPos, int nComp);
    static int GetPlstrnUnitType(int nResultKind, int nComp);
    static int GetSolidUnitType(int nResultKind, int nComp);
    static int GetPlateUnitType(int nResultKind, int nComp);
    static double GetBeamComponent(int nComponent, int nEnd, const double r[26]);
    static void FillBeamRecord(unsigned int nElemK, T_PSTRB_D& rec, const double r[26]);
    void ApplyZeroTolerance(double& v) const;

    int GetTrussValueModal(int nStep, unsigned int nElemK, T_PSTRT_D& rec);
    int GetTrussValueDirect(int nStep, unsigned int nElemK, T_PSTRT_D& rec);
    int GetBeamValueModal(int nStep, unsigned int nElemK, T_PSTRB_D& rec);
    int GetBeamValueDirect(int nStep, unsigned int nElemK, T_PSTRB_D& rec);
    int GetElementResult(unsigned int nElemK, unsigned int nThisK, int nStepCount, int nStepNumber, int nFlag,
                         int nElemKind, int nRow, int nResultKind, int nComp, int nOption, double& v);

private:
    // Ready for a truss or beam read of step nStep; the analysis result when so.
    CPostAnalysisResultTHIS* ReadyFor(int nStep) const;
    int ElementRead(int nFamily, int nResultKind, int (*row)(int, int, int, int), int (*unit)(int, int), int nStep,
                    unsigned int nElemK, int nNodes, int nOption, int nComp, double& v);
    // Twelve end forces of one step (modal: all modes), offset-corrected.
    int BeamForces(int nStep, unsigned int nElemK, bool bModal, CArray<double, double>& a, double f[12]);

    unsigned int m_nAcasK = 0;
    unsigned int m_nThisK = 0;
    int m_nStepCount = 0;
    CPostCtrlBase* m_pPostCtrl = nullptr;
    CPostCtrlAnlTypeBase* m_pAnlCtrl = nullptr;
    CPostAnalysisResultBase* m_pResult = nullptr;
    int m_nKind = 0;
    char m_szPath[kvpvs::timehistory::BASE_PATH_CHARS] = {};
    int m_nPathLen = 0;
    double m_dTolerance = 0.0;
    int m_bQueryBegun = 0;
    int m_bFilesReleased = 0;
    int m_bFailed = 0;
};
