// Result rows of the sample for the local-direction force sums: for every step that has solid
// stress rows, the six stress components of the active soil elements under the item codes
// 141-146, and the plate forces and moments of the active wall plates under 85-87 and 91-93
// (codes and layout in SampleSchema.h). Called by BuildSampleProject; exposed for the tests.
#pragma once
#include "SampleProject.h"

namespace kvpvs::sample {

// Wall forces and moments per length [kN/m, kNm/m] at a point of the wall, in the plates' own
// axes (x = +Y, y = +Z, z = +X), for a pit excavated to dExcavation: NXX NYY NXY MXX MYY MXY.
void WallForces(double dExcavation, const double p[3], double v[6]);

// Adds the rows to the document and their keys to summary.aRowK. FALSE when the document has no
// stages or no solid stress rows to follow.
BOOL AddForceSumRows(CDBDoc& doc, SampleSummary& summary);

} // namespace kvpvs::sample
