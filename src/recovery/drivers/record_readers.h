// The two readers that serve every element: read_element_record finds the element's material
// before the family dispatch; read_element_data builds the displacement history of the
// element's degrees of freedom from the modal or direct results of the history, with the
// motion of supports under multi-support excitation and the turn into nodal axes.
#pragma once

#include "recovery/drivers/driver_state.h"

namespace kvpvs::recovery {

// Six degrees of freedom for each of at most 20 nodes.
constexpr int MAX_ELEMENT_DOFS = 120;
constexpr int MAX_ELEMENT_NODES = 20;

// Fills material_block from the MATL record whose material number is the element's; when no
// record matches (or the element's record cannot be read) the block keeps what it held. The
// scan ends at the first record that is no material (number below 1, a value not finite).
void read_element_record(DriverBuildState& build, int element_number);

// displacement and axes_displacement are (120, columns), 1-based column-major: columns is
// value_count in the history build and 1 in the single-step build (the value of step_number).
// The readers set and fill the rows of the element's degrees of freedom, 1..max(dof count,
// 6 x node count); rows beyond are left as they were. skip_axes = 1 leaves axes_displacement
// untouched. A request that the result files cannot answer (unknown history type, too many
// degrees of freedom, steps beyond the stored ones, absent data sets) leaves zeros in the
// values concerned.
void read_element_data(DriverBuildState& build, double* displacement, double* axes_displacement, int dof_count,
                       const int* equation_numbers, const int* node_numbers, int node_count, int skip_axes);

// Number of columns of the readers' and the work arrays in a build.
int value_columns(const DriverBuildState& build);

} // namespace kvpvs::recovery
