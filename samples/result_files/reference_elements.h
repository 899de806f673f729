// Small reference elements that play the solver's part for the linear plane and solid
// families: they form the result matrices the solver stores with each element (nodal forces
// and stresses at the stress points per unit displacement of each degree of freedom), on
// their own arithmetic, so that tests, benchmarks and the sample compare the recovery
// against an independent element. Columns are six per node (three translations, three
// rotations, the rotations carrying nothing), node after node.
#pragma once

#include "result_files/element_records.h"

#include <array>
#include <vector>

namespace kvpvs::resultfiles {

using Point3 = std::array<double, 3>;
using Axes3 = std::array<Point3, 3>;  // rows: first axis, second axis, normal

// Axes of a 3- or 4-node plane element: first axis from the middle of edge 4-1 to the middle
// of edge 2-3 (quadrilateral) or along edge 1-2 (triangle), second axis in the plane normal to
// it towards node 3 or 4, normal = first x second.
Axes3 plane_element_axes(const std::vector<Point3>& xyz);

// Linear plane element of 3 (constant strain) or 4 (bilinear, 2 x 2 Gauss stiffness) nodes,
// thickness t, isotropic plane stress or plane strain. 27 rows: 1..12 global forces of
// nodes 1..4, 13..15 stresses (sx, sy, txy in element axes) at the centre, 16 + 3(k - 1)..
// at node k (a triangle leaves rows 10..12 and 25..27 zero).
StoredMatrix plane_reference_matrix(const std::vector<Point3>& xyz, double E, double nu, double t,
                                    bool plane_strain);

// Linear isotropic solid: a tetrahedron (4 nodes: nodes 2, 3, 4 along the natural axes from
// node 1), a wedge (6: triangle 1-2-3 at the bottom, 4-5-6 above it) or a hexahedron (8:
// nodes 1-4 counter-clockwise on the top face zeta = +1, 5-8 below them). Rows 1..3nn global
// forces, 25..30 stresses at the centre, 31.. at the stress points in global axes, six per
// point (xx, yy, zz, xy, yz, zx): the hexahedron's 2 x 2 x 2 Gauss points ordered like its
// nodes; the wedge's two layers at zeta = -+1/sqrt(3), each its centre and then the three
// points 1/2.5 of the way to corners 1, 2, 3; the tetrahedron's centroid. 36 rows for the
// tetrahedron, 78 otherwise.
StoredMatrix solid_reference_matrix(const std::vector<Point3>& xyz, double E, double nu);

} // namespace kvpvs::resultfiles
