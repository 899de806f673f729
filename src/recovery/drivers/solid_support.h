// Routines of the solid families that the quadratic plane families share in part: the
// extrapolation of a linear solid's stress points to its nodes, the turns of stress and
// strain groups and of force triples by the element's direction matrix, the solid strains
// from stresses, and the least-squares linear field through point values evaluated at the
// nodes. Arrays are 1-based in the comments; pointers address value 1.
#pragma once

#include "recovery/drivers/driver_state.h"

namespace kvpvs::recovery {

// values: eight groups of six stresses at the stress points of a linear solid (48 values),
// replaced in place by the nodal values of an nn-node element: 8 nodes from the 2 x 2 x 2
// Gauss points ordered like the nodes, 6 nodes from two layers of a centre and three in-plane
// points, 4 nodes from its single point. Other node counts leave the values as they are.
void solid_points_to_nodes(double* values, int nn);

// nn + 1 groups of six symmetric tensor components (xx, yy, zz, xy, yz, zx): sigma <- T^T sigma T.
void rotate_tensor_blocks(double* values, const Mat33& T, int nn);

// nn force triples: f <- T^T f.
void rotate_vector_blocks(double* values, const Mat33& T, int nn);

// strains(6(p - 1) + i) = sum_j Q(i, j) stresses(6(p - 1) + j) for the nn + 1 groups; with
// value_index 1 Q is formed first as the inverse of the solid elasticity matrix and kept
// for the build's later calls. A material type that has no solid elasticity matrix (other
// than 0 and 1) makes Q zero.
void stresses_to_strains(DriverBuildState& build, int nn, int value_index, const double* stresses, double* strains);

// out(k) = c1 + c2 x_k + c3 y_k (+ c4 z_k when dim = 3) at the n_nodes nodes, c the
// least-squares linear field through values(p) at the n_points points; node_xyz(dim, n_nodes)
// and point_xyz(dim, n_points). A singular normal system is not detected.
void fit_linear_to_nodes(double* out, const double* values, const double* node_xyz, const double* point_xyz,
                         int n_nodes, int n_points, int dim);

} // namespace kvpvs::recovery
