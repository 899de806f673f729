// Family 6 of the element-results entry: six- and eight-node plates, which the plate kernels
// know only through four three- or four-node sub-plates. From the element's PLTH record, its
// node coordinates and its displacement history it recovers, for every value, the nodal forces
// and moments in element axes (rows 1..48) and, at the centre and every node, the surface
// stresses and the forces and moments per unit length (rows 49..174).
#pragma once

#include "recovery/drivers/driver_state.h"

namespace kvpvs::recovery {

// Values of one PLTH record.
constexpr int QUAD_PLATE_RECORD_VALUES = 84;
// Rows of the work array that the family writes.
constexpr int QUAD_PLATE_RESULT_ROWS = 174;

// The family routine of both builds (the build's state names which); axes_option is not read.
// A record the family cannot use (data set or node absent, index outside the data set, a
// record that cannot be read, a node count other than 6 or 8, more than 48 degrees of freedom,
// values that are not numbers) leaves every row 0.
void quadratic_plate_results(DriverBuildState& build, double* work, int axes_option);

} // namespace kvpvs::recovery
