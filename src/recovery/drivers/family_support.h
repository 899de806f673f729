// Small routines that several family routines share: the local axes of a 3- or 4-node
// element, the turn of node vectors into those axes, the extrapolation of 2 x 2 Gauss-point
// values to the corner nodes, and plane-strain strains from stresses. Each build keeps its
// own scratch and its own retained compliance (DriverBuildState).
#pragma once

#include "recovery/drivers/driver_state.h"

namespace kvpvs::recovery {

// T row r = unit vector of local axis r in global components, row 3 the normal. X, Y, Z hold
// the node coordinates (index 0 = node 1). shape 1: edge rule a = P2 - P1, b = P3 - P2;
// shape n otherwise: mid-side rule a = (P2 + P3) - (Pn + P1), b = (P3 + Pn) - (P1 + P2).
// Corners without two independent directions (a zero-length axis) give the identity.
void element_axes(const double* X, const double* Y, const double* Z, Mat33& T, int shape);

// Turns the first 2N consecutive 3-vectors of F in place: v <- T v.
void rotate_node_vectors(DriverBuildState& build, double* F, const Mat33& T, int N);

// The Gauss block set (four blocks of M values in the point order (-,-), (+,-), (+,+), (-,+))
// that starts after the first 4K + M values of A becomes the four corner-node blocks. M is
// 0..8; any other M leaves A as it is.
void gauss_to_nodes(DriverBuildState& build, double* A, int K, int M);

// E(:, p) = Q S(:, p) for the NN + 1 points, S and E (3, NN + 1); first = 1 forms
// Q = inverse of the plane-strain elasticity matrix and keeps it for later calls.
void stress_to_strain(DriverBuildState& build, int NN, int first, ConstMatView S, MatView E);

} // namespace kvpvs::recovery
