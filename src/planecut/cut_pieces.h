// The pieces of one plane's cut: segments and polygons by cut-point ids, each with its grid
// cell; a cell's polygon from its cut points put in turn about the normal.
#pragma once
#include "planecut/cut_points.h"
#include "planecut/cut_predicates.h"

#include <vtkType.h>

#include <cstddef>
#include <vector>

namespace kvpvs::planecut {

// Cut points in turn about the normal: each with its turn about a centre and its in-plane
// coordinates; ties in turn go by id.
struct T_RING {
    double dTurn;
    vtkIdType nId;
    double uv[2];
    bool operator<(const T_RING& o) const { return dTurn < o.dTurn || (dTurn == o.dTurn && nId < o.nId); }
};
// The cut points aIds in turn about their mean.
void RingAboutMean(const CutPoints& points, const PlaneAxes& axes, const std::vector<vtkIdType>& aIds,
                   std::vector<T_RING>& aRing);

// Segments and polygons by cut-point ids, each with its grid cell, gathered in plain arrays.
struct CutPieces {
    std::vector<vtkIdType> aLineConn, aLineCell;
    std::vector<vtkIdType> aPolyOffset{0}, aPolyConn, aPolyCell;
    void AddSegment(vtkIdType a, vtkIdType b, vtkIdType nCell);
    void EndPolygon(vtkIdType nCell);
    // The ring as a polygon; reversed from the same first point, whose fan covers it.
    void AddRing(const std::vector<T_RING>& aRing, bool bReverse, vtkIdType nCell);
    size_t Polygons() const { return aPolyOffset.size() - 1; }
};

} // namespace kvpvs::planecut
