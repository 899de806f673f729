#pragma once
// Shape functions of the element library. quad4_shape and quad_midside_derivs serve the
// 4-node plane and plate elements; shape_functions and shape_derivatives the isoparametric
// line, plane and solid elements (corner nodes first, then mid-side nodes), with room for
// ndim node-less extra modes after the nodes; shape_2d_perimeter the plane elements
// numbered around their perimeter. Straight-line arithmetic, no state.

#include "recovery/kernels/colmajor.h"

namespace kvpvs::recovery {

// flag != 1: N(1..4) the bilinear values; flag = 1: N holds DN(2,4), the natural
// derivatives node after node (d/dxi, d/deta).
void quad4_shape(double xi, double eta, MatView N, int flag);

// Natural derivatives of the mid-side functions P5..P8 (edges 1-2, 2-3, 3-4, 4-1).
void quad_midside_derivs(double xi, double eta, FixedMatrix<2, 4>& DP);

// N(nnode + ndim): values of the node functions, then the extra modes.
void shape_functions(MatView N, double xi, double eta, double zeta, int nnode, int ndim);

// DN(ndim, nnode + ndim): DN(i, k) = d N_k / d (natural coordinate i).
void shape_derivatives(MatView DN, double xi, double eta, double zeta, int nnode, int ndim);

// Perimeter numbering (3, 4, 6 or 8 nodes): xi-derivatives, eta-derivatives and values;
// writes only the entries of that node count.
void shape_2d_perimeter(MatView DNX, MatView DNE, MatView N, double xi, double eta, int nnode);

}  // namespace kvpvs::recovery
