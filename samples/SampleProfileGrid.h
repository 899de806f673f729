// The sample project's settlement profile grid: a rectangle on the horizontal work plane at ground
// level, over the pit and the ground behind the wall (x 0 to 30, y 0 to 8 in cells of 1 m), stored
// as the grid-definition dialog stores one (corners in the work plane's axes, written in output
// lengths). The index lines a user plots on it: the line y = 2 along x across the pit and the
// trough behind the wall, and the lines x = 5 (in the pit) and x = 18 (in the trough) across y.
#pragma once
#include "DBDoc.h"

#include <string>
#include <vector>

namespace kvpvs::sample {

// One index line of the grid as the plot dialog chooses it.
struct ProfileGridLine {
    int nAxis = 0;     // 0 a line of constant x (an "X" index), 1 of constant y (a "Y" index)
    int nIndex = 0;    // the fixed index, from 0
    int nDivision = 0; // segments along the line
};

struct ProfileGridSummary {
    unsigned int nGridK = 0;
    int nPlaneTag = 0; // the horizontal work plane the grid lies on
    std::string strName;
    double dLowerLeft[3] = {0, 0, 0};  // model units
    double dUpperRight[3] = {0, 0, 0}; // model units
    int nDivX = 0, nDivY = 0;
    std::vector<ProfileGridLine> aLine;
};

// The tag of the document's horizontal work plane, writing the work plane "Ground level" (z = 0)
// first when the document tree has none.
int EnsureGroundWorkPlane(CDBDoc& doc);

// The grid as the user defines it (no key, no plane yet): its name, the corners as picked, the
// divisions, and the index lines plotted on it.
ProfileGridSummary SampleProfileGridDefinition();

// Writes the grid record (the key after the existing ones) onto the document's horizontal work
// plane (EnsureGroundWorkPlane). FALSE when the document has no model database.
BOOL BuildSampleProfileGrid(CDBDoc& doc, ProfileGridSummary& sum);

// The tag of a stored work plane other than "Current WorkPlane" whose placement is horizontal
// (normal along z) with its X direction along the model's x; 0 when there is none.
int FindHorizontalWorkPlane(CDBDoc& doc);

} // namespace kvpvs::sample
