// The surface a surface filter gives for a grid, kept while the grid's shape is the same: each
// Make then only takes the grid's point and cell values at the surface's points and faces again.
// The boundary of linear solid cells is formed here, in the filter's order, at a fraction of the
// filter's memory; other grids go through the filter. The displays that cut a grid draw it.
#pragma once
#include "planecut/cut_index.h"

#include <vtkSmartPointer.h>

class vtkDataSetSurfaceFilter;
class vtkIdTypeArray;
class vtkPolyData;
class vtkUnstructuredGrid;

namespace kvpvs::visualmethods {

class KeptSurface {
public:
    // The surface that pFilter would give for pGrid, into pOut.
    void Make(vtkUnstructuredGrid* pGrid, vtkDataSetSurfaceFilter* pFilter, vtkPolyData* pOut);
    void Clear();

private:
    planecut::GridShapeKey m_key;
    vtkSmartPointer<vtkPolyData> m_pSurface;     // without point and cell data
    vtkSmartPointer<vtkIdTypeArray> m_pPointIds; // the grid point of each surface point
    vtkSmartPointer<vtkIdTypeArray> m_pCellIds;  // the grid cell of each surface cell
};

} // namespace kvpvs::visualmethods
