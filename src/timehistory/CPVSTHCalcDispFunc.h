// Nodal displacement history (calculation-function code 1): one displacement, velocity or
// acceleration component of one node, by modal superposition or from the directly integrated
// history; as stored (type 1), with the ground motion added (type 2) or relative to a second
// node (type 3).
#pragma once
#include "timehistory/CPVSTHCalcFuncBase.h"
#include "timehistory/history_loop.h"

class CPVSTHCalcDispFunc : public CPVSTHCalcFuncBase {
public:
    using CPVSTHCalcFuncBase::GetUnitType;
    // 1, or 0 with no series when a reading fails (a node the host has no results of).
    int Calculate() override;
    int IsAvailable() override { return 1; }
    int WriteReport(T_THREPORT_D& rep) override;
    int GetUnitType(int nComponent) override;
    virtual int CalcModal();
    virtual int CalcDirect();
    // Series over the steps first, first + stride, ... below last, with its extremes; 0 and no
    // series when a reading fails.
    virtual int CalcMaxMin(unsigned int nThisK, int nDispType, unsigned int nSecondNodeK, unsigned int nNodeK,
                           int nComponent, CArray<double, double>& out, double& dMax, int& nMaxStep, double& dMin,
                           int& nMinStep, int nFirst, int nLast, int nStride);
    virtual int CalcMaxMinModal(unsigned int nNodeK, int nComponent, CArray<double, double>& out, int nFirst,
                                int nLast, int nStride);
    virtual int CalcMaxMinDirect(unsigned int nNodeK, int nComponent, CArray<double, double>& out, int nFirst,
                                 int nLast, int nStride);
    virtual int GetGroundMotion(int nComponent, int nFirst, int nLast, int nStride, CArray<double, double>& out);
    virtual int GetNodeGroundMotion(CArray<double, double>& out);

    static double CalcModalValue(int nComponent, int nMode, const CArray<double, double> (&aShape)[6],
                                 const _MDSP_BN& q, const _NDSP_BN& node);
    static double PickComponent(int nComponent, const double v[6]);
    static int GetDofIndex(int nComponent);

private:
    // One reading of the function's node (modal or direct) into the series.
    int Read(int nMethod);
    int ModalRange(unsigned int nNodeK, int nComponent, CArray<double, double>& out,
                   const kvpvs::timehistory::StepWindow& w, bool bAllModes, bool bConvert);
    int DirectRange(unsigned int nNodeK, int nComponent, CArray<double, double>& out,
                    const kvpvs::timehistory::StepWindow& w, bool bConvert);
};
