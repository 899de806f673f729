// Plane cut of an unstructured grid: the polygons where a plane meets its 3-D cells and the
// segments where it meets its 2-D cells, with the grid's point data interpolated onto the cut
// points and the grid cell of every piece. The index (cut_index.h), built once per grid, lets
// every plane visit only the cells near it, so a cut costs what it cuts. Used by the force-sum
// and flow-discharge methods; integration over the cut lives apart, in cut_integration.h.
#pragma once
#include "planecut/cut_index.h"

#include <vtkSmartPointer.h>
#include <vtkType.h>

#include <string>
#include <vector>

class vtkPolyData;
class vtkUnstructuredGrid;

namespace kvpvs::planecut {

// The cut of one plane: double-precision points, segments of 2-D cells in the line list and
// polygons of 3-D cells in the polygon list, the grid's point data interpolated at the points,
// its cell data copied from the source cells. lineCell / polyCell give the grid cell of each
// segment / polygon, in list order. A refused cut is empty and says why.
struct PlaneCut {
    vtkSmartPointer<vtkPolyData> pOutput;
    std::vector<vtkIdType> aLineCell;
    std::vector<vtkIdType> aPolyCell;
    std::string strRefusal;
};

// Cuts the grid (indexed by index, which must match it) with the plane through origin along the
// normal's direction, into cut. A point on the plane counts on the normal's side; every cell,
// linear or quadratic, is cut as the union of flat pieces whose points all cells sharing them
// make alike, so the cut neither loses nor doubles an area however a rounding puts a node, and a
// linear field is interpolated exactly. A cell gives polygons, each in turn about the normal and
// covered by the fan from its first point; a 2-D cell gives segments. Returns the cells visited,
// or -1 with cut.strRefusal set when the index refused the grid or the plane has no finite origin
// and direction. Without bFastPath every cut cell takes the loops of its faces' chords.
vtkIdType CutGridByPlane(vtkUnstructuredGrid* pGrid, const PlaneCutIndex& index, const double origin[3],
                         const double normal[3], PlaneCut& cut, bool bFastPath = true);

} // namespace kvpvs::planecut
