// The part of a model grid that its cells use. An import or a mesher can leave a node that no
// cell uses, at the origin say; it widens the grid's box, from which the displays that probe the
// grid take their reference and tolerances and VTK its cell search.
#pragma once

#include <vtkSmartPointer.h>

class vtkUnstructuredGrid;

namespace kvpvs::visualmethods {

// pGrid without the points that no cell uses, the others in their order with their point data,
// the cells renumbered to them; pGrid itself when every point is used, when a cell names a point
// pGrid does not have (the filters refuse that cell as before) and when pGrid is null.
vtkSmartPointer<vtkUnstructuredGrid> UsedPart(vtkUnstructuredGrid* pGrid);

} // namespace kvpvs::visualmethods
