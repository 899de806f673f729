// Visual method of the flow paths (type 6): traces paths from the settings record's start
// points through the flow field of CPVSVisualDataFlowPathWKVR in both directions, keeps them
// as lines or tubes with the flow magnitude as point scalars, outlines the mesh, runs the
// methods of an optional contour of a second result, and draws marks along line paths that
// travel with the shared phase m_dIncrementFactor, which the flow-path dialog's timer writes.
#pragma once
#include "core/KVPvsExport.h"
#include "visualdata/CPVSVisualDataFlowPathWKVR.h"
#include "visualdata/PVSUserDefRecords.h"

#include "PVSVisualMethodBase.h"

class vtkCellArray;
class vtkFloatArray;
class vtkPoints;

class KV_PVS_API CPVSVisualMethodGlbFlowPath : public CPVSVisualMethodBase {
    DECLARE_DYNAMIC(CPVSVisualMethodGlbFlowPath)
public:
    explicit CPVSVisualMethodGlbFlowPath(T_VM_PARAM_D& param);
    ~CPVSVisualMethodGlbFlowPath() override;

    int Process() override;
    int Render0(CPVSRendererBase* pRenderer) override;
    int Render(CPVSRendererBase* pRenderer) override;
    int DeleteOtherResult();

    // Phase of the marks along the paths, as a fraction of the path length; 0 when no
    // animation runs.
    static double m_dIncrementFactor;

    T_VD_FLOWPATH_WPLKVR_D* GetSettings() { return m_pSettings; }
    // Seconds the last Process spent building the flow grid, tracing (with tubes) and outlining.
    enum { kPhaseGrid, kPhaseTrace, kPhaseOutline, kPhaseCount };
    double m_dPhaseSeconds[kPhaseCount] = {0, 0, 0};
    int GetSiblingCount() const { return m_aSibling.GetSize(); }

    // Marks (exposed for the tests of their geometry).
    void RenderMarking(CPVSRendererBase* pRenderer);
    void MakeArrowVector(double dSize, vtkCellArray* pCells, vtkPoints* pPoints, vtkFloatArray* pValues,
                         double* pDirection, double* pPosition, double& dValue);
    void MakeConeSymbol(double dSize, vtkCellArray* pCells, vtkPoints* pPoints, vtkFloatArray* pValues,
                        double* pDirection, double* pPosition, double& dValue);
    void MakeRoundSymbol(double dSize, vtkCellArray* pCells, vtkPoints* pPoints, vtkFloatArray* pValues,
                         double* pPosition, double& dValue);
    static int calcFrameLocalVector(double* pStart, double* pEnd, double dAngle, double dFrame[3][3]);

private:
    int Trace();
    int Draw(CPVSRendererBase* pRenderer);
    CPVSVisualDataFlowPathWKVR* GetFlowPathVData();
    // Diagonal of the model's box from the live bridge; 0 without one.
    static double ModelDiagonal(double dBounds[6]);

    T_VD_FLOWPATH_WPLKVR_D* m_pSettings = nullptr;
    CArray<CPVSVisualMethodBase*, CPVSVisualMethodBase*> m_aSibling;
};
