// The section of a solid design plane: the boundary of its cut triangles as closed loops of
// point ids, and the rectangle test that gives the section's sides h and b.
#pragma once
#include "core/NotifyListener.h"

#include "CMapKey.h"
#include "MapEx.h"
#include "afxtempl.h"

using CEdgeKey = T_CMAP_K<int>;
// Edges (smaller id, larger id) in order of first entry.
using CEdgeMap = CMapEx<CEdgeKey, CEdgeKey&, int, int>;

namespace kvpvs::design {

// The edges used by one triangle only (keys 0 .. count - 1 of the cell map), in order of first
// use, each entered with 0. An edge used twice is inner.
void CollectSingleEdges(const CSolidCellInfoMap& mCell, CEdgeMap& mEdge);

// Closed loops of the edges: from the last remaining edge (a, b), a and b, then the other point
// of the first remaining edge that holds the loop's end, until the end is a again; each loop
// repeats its first point, aLoopEnd gets the size of aPoint after each loop. False when no
// edge continues a loop that is not closed (an open boundary).
bool BuildLoops(const CEdgeMap& mEdge, CArray<int, int>& aPoint, CArray<int, int>& aLoopEnd);

// The four corners of a closed loop p0 .. p(n-1) = p0 of points of mPoint: the turning angle
// at each point (degrees between b - a and c - b) below 1e-06 is no corner, any other must lie
// within 1e-06 of 90, and there must be exactly four. False otherwise.
bool RectangleCorners(const CArray<int, int>& aLoop, const CPointInfoMap& mPoint, double dCorner[4][3]);

} // namespace kvpvs::design
