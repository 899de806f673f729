// Visual method of the local-direction force sums (type 15) and the body its design twin
// (type 19, CPVSVisualMethodLDFSD) shares: cuts the element grid that the visual data fills
// with each cutting plane, sums forces and moments over the cut about its centre in the
// plane's axes, draws the cuts, the plane axes, labels and legend lines, and writes the
// report "LdfsFile.txt". The design twin also broadcasts each plane through CNotifyListener.
#pragma once
#include "core/ForceSumRecords.h"
#include "core/KVPvsExport.h"
#include "core/NotifyListener.h"
#include "visualdata/CPVSVisualDataLDFS.h"
#include "visualdata/CPVSVisualDataLDFSD.h"
#include "planecut/plane_cut.h"
#include "visualmethods/KeptSurface.h"

#include "3DPoint.h"

#include <vtkType.h>

#include <cstdint>
#include <vector>
#include "PVSVisualMethodBase.h"

class vtkCellArray;
class vtkPoints;
class vtkUnstructuredGrid;

// The broadcast payload of one plane (design twin only).
struct T_LDFS_PAYLOAD_D {
    T_LCLDIR_PLNE_KVR_D* pPlane = nullptr;
    CPointInfoMap* pPoint = nullptr;
    CPlateCellInfoMap* pPlateCell = nullptr;
    CSolidCellInfoMap* pSolidCell = nullptr;
    T_FORCESUM_D* pForceSum = nullptr;
};

template <class VDATA, class RECORD, class AXIS, class PLANEREC>
class KV_PVS_API CPVSVisualMethodLDFSCore : public CPVSVisualMethodBase {
public:
    explicit CPVSVisualMethodLDFSCore(T_VM_PARAM_D& param);
    ~CPVSVisualMethodLDFSCore() override;

    int Process() override;
    int Render0(CPVSRendererBase* pRenderer) override;
    int Render(CPVSRendererBase* pRenderer) override;
    using CPVSVisualMethodBase::MakeLineProbeSubclass;
    virtual int MakeLineProbeSubclass(vtkUnstructuredGrid* pGrid);

    int GetLclDirForSumByPlane(AXIS& axis, T_PVIST_PLNE_D& plane, vtkUnstructuredGrid* pGrid, int& bFound);
    int MakeVectorPoint(const double dStart[3], const double dDir[3], const double dUp[3],
                        CArray<C3DPoint, C3DPoint&>& aSeg, double dLength);
    int MakeVectorGeom(vtkPoints* pPoints, vtkCellArray* pCells, int& nPointId, CArray<C3DPoint, C3DPoint&>& aSeg);

    // Fx, Fy, Fz, Mx, My, Mz per plane with a result; the other fourteen stay empty.
    CArray<double, double> m_aValue[20];
    CArray<PLANEREC, PLANEREC&> m_aPlaneResult;
    // Seconds the last Process spent in its stages (grid build, index of the grid's cells,
    // cutting, integrating over the cuts, collecting the cuts for drawing, surface of the kept
    // grid), kept for the benchmark's like-for-like comparison.
    enum { kPhaseGrid, kPhaseIndex, kPhaseCut, kPhaseIntegrate, kPhaseAppend, kPhaseSurface, kPhaseCount };
    double m_dPhaseSeconds[kPhaseCount] = {0, 0, 0, 0, 0, 0};

protected:
    // Process's work; Process keeps what the last one made when this fails.
    int CutPlanes();
    // Render's work.
    int DrawCuts(CPVSRendererBase* pRenderer);
    int TextLclDirForSum();
    VDATA* GetLdfsVData();
    RECORD* GetRecord();

    // Index of the grid the planes cut and the surface of that grid, kept from one Process to
    // the next while the grid's points and cells are the same.
    kvpvs::planecut::PlaneCutIndex m_cutIndex;
    kvpvs::visualmethods::KeptSurface m_surface;

    T_LDFS_PAYLOAD_D m_payload; // set by the design twin; null members otherwise
    BOOL m_bAppendReport = FALSE;
    BOOL m_bEditorAfterReport = TRUE;
};

class KV_PVS_API CPVSVisualMethodLDFS
    : public CPVSVisualMethodLDFSCore<CPVSVisualDataLDFS, T_VD_LCLDIRSUM_HOB_D, T_VD_LCLDIRSUM_HOB_BASE_D,
                                      T_LCLDIR_PLNE_D> {
    DECLARE_DYNAMIC(CPVSVisualMethodLDFS)
public:
    explicit CPVSVisualMethodLDFS(T_VM_PARAM_D& param);
    using CPVSVisualMethodLDFSCore::TextLclDirForSum;
};

extern template class CPVSVisualMethodLDFSCore<CPVSVisualDataLDFS, T_VD_LCLDIRSUM_HOB_D, T_VD_LCLDIRSUM_HOB_BASE_D,
                                               T_LCLDIR_PLNE_D>;
extern template class CPVSVisualMethodLDFSCore<CPVSVisualDataLDFSD, T_VD_LCLDIRSUM_KVR_D, T_VD_LCLDIRSUM_KVR_BASE_D,
                                               T_LCLDIR_PLNE_KVR_D>;
