// Beam history (calculation-function code 3): one end force or moment, or one section stress,
// at end I or J of one beam element, recovered as the truss function does with the beam's
// recovery array, end-offset correction and beam record of 26 values per step.
#pragma once
#include "timehistory/CPVSTHCalcFuncBase.h"
#include "timehistory/history_loop.h"

#include "PostResultRecords.h"

#include <vector>

class CPVSTHCalcBeamFunc : public CPVSTHCalcFuncBase {
public:
    using CPVSTHCalcFuncBase::GetUnitType;
    int Calculate() override;
    int IsAvailable() override { return 1; }
    int WriteReport(T_THREPORT_D& rep) override;
    int GetUnitType(int nComponent) override;
    virtual int CalcModal();
    virtual int CalcDirect();
    virtual int CalcMaxMin(unsigned int nThisK, unsigned int nElemK, int nComponent, CArray<double, double> (&out)[2],
                           double (&dMax)[2], int (&nMaxStep)[2], double (&dMin)[2], int (&nMinStep)[2], int nFirst,
                           int nLast, int nStride);
    virtual int CalcMaxMinModal(unsigned int nElemK, int nComponent, CArray<double, double> (&out)[2],
                                double (&dMax)[2], int (&nMaxStep)[2], double (&dMin)[2], int (&nMinStep)[2],
                                int nFirst, int nLast, int nStride);
    virtual int CalcMaxMinDirect(unsigned int nThisK, unsigned int nElemK, int nComponent,
                                 CArray<double, double> (&out)[2], double (&dMax)[2], int (&nMaxStep)[2],
                                 double (&dMin)[2], int (&nMinStep)[2], int nFirst, int nLast, int nStride);

    static double GetBeamValue(int nComponent, int nPosition, int bCombined, const double r[26]);
    static double GetBeamValue(int nComponent, int nPosition, int bCombined, int nStep,
                               const CArray<double, double>& aRecords);
    // Offsets o1 to o4 named by their places in the record before the pair exchange.
    static int GetBeamOffsets(unsigned int nElemK, T_PCFMO_D& rec, double& o1, double& o2, double& o3, double& o4);
    // End-offset correction of the twelve end forces when the record's flag is set.
    static void ApplyOffsets(const T_PCFMO_D& rec, double o1, double o2, double o3, double o4, double f[12]);
    static int MakeBeamRecord(const double* s, const double f[12], double r[26]);

private:
    // Beam records of the window's steps into aRec (26 per step), modal (modes by bAllModes and
    // the mode number) or direct.
    int Records(bool bModal, unsigned int nElemK, const kvpvs::timehistory::StepWindow& w, bool bAllModes,
                std::vector<double>& aRec);
    int Series(bool bModal);
    int MaxMin(bool bModal, unsigned int nElemK, int nComponent, CArray<double, double> (&out)[2], double (&dMax)[2],
               int (&nMaxStep)[2], double (&dMin)[2], int (&nMinStep)[2], int nFirst, int nLast, int nStride);
};
