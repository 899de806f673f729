// Visual method of the settlement profile grid (type 10): probes the model grid that the
// profile-grid visual data fills at the points of a profile grid (CClassSpfg), draws the grid
// coloured by the probed values and optionally deformed, a banded contour of it, the profile
// diagrams along the chosen grid index lines with their area labels, and the model's outline.
// Its two added operations turn the grid into the host's text tables (grid and index lines).
#pragma once
#include "core/KVPvsExport.h"
#include "visualdata/CPVSVisualDataProfGrid.h"
#include "visualdata/PVSUserDefRecords.h"

#include "ClassSpfg.h"
#include "PVSRendererBase.h"
#include "PVSVisualMethodBase.h"

#include <vtkPolyData.h>
#include <vtkSmartPointer.h>

#include <vector>

class vtkDataSet;
class vtkPoints;
class vtkUnstructuredGrid;

class KV_PVS_API CPVSVisualMethodGlbProfGrid : public CPVSVisualMethodBase {
    DECLARE_DYNAMIC(CPVSVisualMethodGlbProfGrid)
public:
    explicit CPVSVisualMethodGlbProfGrid(T_VM_PARAM_D& param);
    ~CPVSVisualMethodGlbProfGrid() override;

    void InitializeDataSet() override;
    int Process() override;
    using CPVSVisualMethodBase::Render;
    int Render(CPVSRendererBase* pRenderer) override;

    // Mode 1: the table of the probed value at every grid point; mode 2: one table per grid
    // index line (distance, value, incline). 0 when the grid cannot be built.
    virtual int MakeProfGridTable(int nMode, const T_VD_PROFGRID_D& settings, int bShow);
    // The index-line tables of a grid poly data (probed values as point scalars); the
    // settings argument is not read: the method's own are.
    virtual int MakeGridIndexTables(vtkPolyData* pGrid, const T_VD_PROFGRID_D* pSettings, int bShow);

    const T_VD_PROFGRID_D& GetSettings() const { return m_settings; }
    vtkPolyData* GetProfileCurves() const { return m_pCurves.Get(); }
    vtkPolyData* GetGridSurface() const { return m_pSurface.Get(); }
    vtkPolyData* GetUndeformedGrid() const { return m_pUndeformed.Get(); }
    vtkPolyData* GetConnectingLines() const { return m_pConnect.Get(); }
    const CArray<gp_Pnt, gp_Pnt&>& GetLabelPositions() const { return m_aLabelPos; }
    const CArray<CString, CString&>& GetLabelTexts() const { return m_aLabelText; }

    // Seconds the last Process spent building the model grid, probing the profile grid,
    // banding it and making the profile curves (for the benchmark).
    enum { kStageModelGrid, kStageProbe, kStageBands, kStageCurves, kStageCount };
    double m_dStageSeconds[kStageCount] = {0, 0, 0, 0};

protected:
    // One probed grid point: valid inside the model, with its value and displacement.
    struct T_PROBE_D {
        int bValid = 0;
        double dValue = 0;
        double dVect[3] = {0, 0, 0};
    };
    // Steps 1-2 of Process: the model grid the visual data fills; null when it is empty.
    vtkSmartPointer<vtkUnstructuredGrid> MakeModelGrid();
    CClassSpfg OpenSpfgTable();
    // The settings' grid and its geometry; FALSE when it is missing, empty or beyond the limits.
    BOOL ReadGrid(CClassSpfg& spfg, T_SPFG_D& grid, CArray<T_NODE_D, T_NODE_D&>& aNode,
                  CArray<T_ELEM_D, T_ELEM_D&>& aElem);
    // Probes the points in pSource; with pModel, only points that lie in the model are valid.
    // The sets are moved by -c, the points are the user's: the probe moves them alike.
    // Returns the valid-point count.
    static int ProbePoints(vtkPoints* pPoints, const double c[3], vtkDataSet* pSource, vtkDataSet* pModel,
                           std::vector<T_PROBE_D>& aProbe);
    // The count + 1 points of an index line, in model units; FALSE when it cannot be made.
    BOOL MakeIndexLinePoints(CClassSpfg& spfg, const T_SPFG_D& grid, const T_SPFG_GRID_IDX_BASE& line,
                             vtkPoints* pPoints);
    // The bodies of Process, Render and the two table operations, whose failures those catch.
    int Build();
    int Draw(CPVSRendererBase* pRenderer);
    int GridTable(int nMode, const T_VD_PROFGRID_D& settings, int bShow);
    int IndexLineTables(vtkPolyData* pGrid, int bShow);
    void BuildGrid(vtkUnstructuredGrid* pWhole);
    // pModelAt is the model moved by -c; pUndeformed is in the user's coordinates.
    void BuildProfileCurves(double dExtreme, vtkPolyData* pUndeformed, vtkDataSet* pModelAt, const double c[3]);
    BOOL GetModelSize(double& dSize) const;

    T_VD_PROFGRID_D m_settings;
    vtkSmartPointer<vtkPolyData> m_pCurves;
    vtkSmartPointer<vtkPolyData> m_pSurface;
    vtkSmartPointer<vtkPolyData> m_pUndeformed;
    vtkSmartPointer<vtkPolyData> m_pConnect;
    CArray<gp_Pnt, gp_Pnt&> m_aLabelPos;
    CArray<CString, CString&> m_aLabelText;
    // The used part of a grid table's model while its line tables are made.
    vtkUnstructuredGrid* m_pLineModel = nullptr;
};
