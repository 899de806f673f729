// Truss history (calculation-function code 2): the axial force or stress at end I or J of one
// truss element, recovered from the host's nodal results with the element's recovery array,
// by modal superposition or from the directly integrated displacements.
#pragma once
#include "timehistory/CPVSTHCalcFuncBase.h"
#include "timehistory/history_loop.h"

class CPVSTHCalcTrssFunc : public CPVSTHCalcFuncBase {
public:
    using CPVSTHCalcFuncBase::GetUnitType;
    int Calculate() override;
    int IsAvailable() override { return 1; }
    int WriteReport(T_THREPORT_D& rep) override;
    int GetUnitType(int nComponent) override;
    virtual int CalcModal();
    virtual int CalcDirect();
    virtual int CalcMaxMin(unsigned int nThisK, unsigned int nElemK, int nComponent, int nPosition,
                           CArray<double, double>& out, double& dMax, int& nMaxStep, double& dMin, int& nMinStep,
                           int nFirst, int nLast, int nStride);
    virtual int CalcMaxMinModal(unsigned int nThisK, unsigned int nElemK, int nComponent, int nPosition,
                                CArray<double, double>& out, double& dMax, int& nMaxStep, double& dMin,
                                int& nMinStep, int nFirst, int nLast, int nStride);
    virtual int CalcMaxMinDirect(unsigned int nThisK, unsigned int nElemK, int nComponent, int nPosition,
                                 CArray<double, double>& out, double& dMax, int& nMaxStep, double& dMin,
                                 int& nMinStep, int nFirst, int nLast, int nStride);

    // Record: force I, force J, stress I, stress J.
    static double GetTrussValue(int nComponent, int nPosition, const double rec[4]);
    static double GetTrussValue(int nComponent, int nPosition, int nStep, const CArray<double, double>& aRecords);

private:
    // The series over the window's steps, modal (modes by bAllModes and the mode number) or direct.
    int Series(bool bModal, unsigned int nElemK, int nComponent, int nPosition, const kvpvs::timehistory::StepWindow& w,
               bool bAllModes, CArray<double, double>& out);
    int MaxMin(bool bModal, unsigned int nElemK, int nComponent, int nPosition, CArray<double, double>& out,
               double& dMax, int& nMaxStep, double& dMin, int& nMinStep, int nFirst, int nLast, int nStride);
};
