// Family 2 of the element-results entry: three- and four-node plates. From the element's PLAT
// record and displacement history it recovers, for every value, the nodal forces and moments in
// element axes (rows 1..24) and, at the centre and the nodes, the surface stresses and the
// forces and moments per unit length (rows 25..94). The four-node plate with section value 11
// equal to 1 goes through the direction-dependent variant (history build only).
#pragma once

#include "recovery/drivers/driver_state.h"

namespace kvpvs::recovery {

// Values of one PLAT record.
constexpr int PLATE_RECORD_VALUES = 650;
// Rows of the work array that the family writes.
constexpr int PLATE_RESULT_ROWS = 94;

// Forces and moments per unit length of one result point from its eight kernel values s
// (membrane stresses, bending stresses at the first surface, transverse shear stresses y, x)
// with the section h (h[0] membrane, h[1] bending thickness): f = (N, M, Qx, Qy).
void stresses_to_unit_forces(const double* s, double* f, const double* h);

// The family routine of both builds (the build's state names which); axes_option is not read.
void linear_plate_results(DriverBuildState& build, double* work, int axes_option);

} // namespace kvpvs::recovery
