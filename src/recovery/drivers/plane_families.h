// The plane families of the element-results entry: the 3- and 4-node plane elements, whose
// solver stored their result matrix (plane stress and plane strain), and the 6- and 8-node
// plane-stress and plane-strain elements, which form their result matrix from geometry and
// material and fit their integration-point stresses to the nodes. All serve both builds with
// the family-table signature.
#pragma once

#include "recovery/drivers/driver_state.h"

namespace kvpvs::recovery {

// Kind 1: rows 1..12 nodal forces, 13..27 stresses (centre, nodes 1..4). Kind 2: rows 1..12
// forces, 13..32 stresses with sigma-z (centre, nodes 1..4), 33.. strains of the centre and
// the nodes. axes_option 0: forces in element axes; 1 (plane strain): stresses and strains in
// the global axes of the coordinate plane holding the element, forces global.
void linear_plane_results(DriverBuildState& build, double* work, int axes_option);

// Rows 1..24 nodal forces in element axes, 25..27 centre stresses, 28..51 nodal stresses.
void quadratic_plane_stress_results(DriverBuildState& build, double* work, int axes_option);

// Rows 1..24 nodal forces, 25..28 centre stresses with sigma-z, 25 + 4i..28 + 4i node i
// (i = 1..n), 61..64 centre strains, 61 + 4i..64 + 4i node i. axes_option 0: element axes
// (each force as its component along the stored axis vector); 1: the global axes numbered
// by the record's two in-plane axis indices, forces global.
void quadratic_plane_strain_results(DriverBuildState& build, double* work, int axes_option);

// Element result matrix W(60, 48) of an n-node (6 or 8) plane element with node coordinates
// XYZ(3, n): rows 3(i - 1) + k the global stiffness, rows 24 + 3(p - 1) + c stress c in
// element axes at point p (the centre, then the integration points), columns 6(j - 1) + m
// global translation m of node j. W must be zero on entry; plane_mode chooses the state.
void quadratic_2d_result_matrix(DriverBuildState& build, int n, MatView W, ConstMatView XYZ);

} // namespace kvpvs::recovery
