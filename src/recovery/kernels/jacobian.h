#pragma once
// Jacobians of the element library. jacobian_2d and jacobian_2d_pair turn natural into
// Cartesian derivatives for the 4-node plane and plate elements; centre_jacobian_adjugate
// forms the adjugate of the centre Jacobian. The isoparametric point evaluator, which reads
// the 2-D mode word, is ElementLibrary::isoparam_jacobian.

#include "recovery/kernels/colmajor.h"

namespace kvpvs::recovery {

// J(i,j) = sum_k DN(i,k) XY(j,k); det = J11 J22 - J21 J12; flag != 1 turns DN(2,n) into
// Cartesian derivatives in place. No test of det.
void jacobian_2d(int n, ConstMatView XY, MatView DN, double& det, int flag);

// As jacobian_2d for both DN and DP; J returns the inverse Jacobian.
void jacobian_2d_pair(int n, ConstMatView XY, MatView DN, MatView DP, double& det,
                      FixedMatrix<2, 2>& J);

// Single-precision adjugate A(ndim, ndim) of the Jacobian at the element centre from
// X(3, nnode): plane 4 nodes, plane 8 nodes (perimeter numbering), solid 8 nodes (main
// numbering), solid 20 nodes (numbered around the bottom face, verticals, top face).
// Other node counts leave A untouched.
void centre_jacobian_adjugate(ColMajorView<float> A, ConstMatView X, int nnode, int ndim);

// The message of a degenerate or inverted element, written to message output 78.
void write_jacobian_message();

}  // namespace kvpvs::recovery
