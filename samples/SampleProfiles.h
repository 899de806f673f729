// Profiles of the sample project along its grid lines, read back from the document: the node
// results along a line of surface nodes, as a settlement-profile display or the curve-fitting
// dialog plots them.
#pragma once
#include "SampleProject.h"

#include <vector>

namespace kvpvs::sample {

struct ProfilePoint {
    unsigned int nNodeK = 0;
    double x = 0.0;     // coordinate along the line [m]
    double value = 0.0; // the row's value at the node
};

// The surface nodes (z = 0) behind the wall (x from the wall to the far edge) on the grid
// line y, in ascending x; empty when y is not a grid line.
std::vector<unsigned int> SurfaceNodesBehindWall(const SampleSummary& sum, double y);

// The nodes on the vertical grid line (x, y), from the surface down; empty when (x, y) is not
// on the grid.
std::vector<unsigned int> NodesOnVertical(const SampleSummary& sum, double x, double y);

// The node result row of an item at a step (displacement class); 0 when there is none.
unsigned int FindNodeRow(CDBDoc& doc, unsigned int nStepK, unsigned int nItem);

// The nodes' x and the row's first value at each (for a displacement row, the component).
// FALSE when the row or a node's value or coordinates are missing; pts is then empty.
BOOL ReadProfile(CDBDoc& doc, unsigned int nRowK, const std::vector<unsigned int>& aNodeK,
                 std::vector<ProfilePoint>& pts);

} // namespace kvpvs::sample
