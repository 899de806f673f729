// Visual method of the flow discharge (type 8, other edition): cuts the velocity grid of
// CPVSVisualDataFlowDiscWKVR with each plane of its settings record through the shared plane
// cut, sums (velocity . unit normal) x area over the polygon pieces and x length over the line
// pieces of two-dimensional elements, and draws the cuts, the mesh outline, an arrow along each
// plane normal and the discharge at its tip.
#pragma once
#include "core/KVPvsExport.h"
#include "planecut/plane_cut.h"
#include "visualmethods/KeptSurface.h"
#include "visualdata/CPVSVisualDataFlowDiscWKVR.h"

#include "3DPoint.h"
#include "PVSVisualMethodBase.h"

class vtkCellArray;
class vtkPoints;
class vtkUnstructuredGrid;

class KV_PVS_API CPVSVisualMethodFlowDiscWKVR : public CPVSVisualMethodBase {
    DECLARE_DYNAMIC(CPVSVisualMethodFlowDiscWKVR)
public:
    explicit CPVSVisualMethodFlowDiscWKVR(T_VM_PARAM_D& param);
    ~CPVSVisualMethodFlowDiscWKVR() override;

    int Process() override;
    int Render0(CPVSRendererBase* pRenderer) override;
    int Render(CPVSRendererBase* pRenderer) override;
    using CPVSVisualMethodBase::MakeLineProbeSubclass;
    virtual int MakeLineProbeSubclass(vtkUnstructuredGrid* pGrid);

    int GetFlowDischargeByPlane(T_PVIST_PLNE_D& plane, vtkUnstructuredGrid* pGrid);
    int MakeVectorPoint(const double dCentre[3], const double dNormal[3], const double dSide[3],
                        CArray<C3DPoint, C3DPoint&>& aPoint, double dLength);
    int MakeVectorGeom(vtkPoints* pPoints, vtkCellArray* pCells, int& nPointId, CArray<C3DPoint, C3DPoint&>& aPoint);

    // One entry per result, in plane order (a plane gives its line result, then its polygon
    // result): the discharge and the centre of the pieces with the plane's normal.
    CArray<double, double> m_aDischarge;
    CArray<T_PVIST_PLNE_D, T_PVIST_PLNE_D&> m_aResultPoint;
    // Seconds the last Process spent building the grid, indexing it, cutting and summing.
    enum { kPhaseGrid, kPhaseIndex, kPhaseCut, kPhaseSum, kPhaseCount };
    double m_dPhaseSeconds[kPhaseCount] = {0, 0, 0, 0};

private:
    int CutPlanes();
    int Draw(CPVSRendererBase* pRenderer);
    CPVSVisualDataFlowDiscWKVR* GetFlowDiscVData();
    kvpvs::planecut::PlaneCutIndex m_cutIndex;
    kvpvs::visualmethods::KeptSurface m_surface;
};
