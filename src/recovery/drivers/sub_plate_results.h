// The results side of the six- and eight-node plates: for one value, the three- or four-node
// results kernel runs on each of the element's four sub-plates, each kernel point's values are
// turned from the sub-plate's axes into the element's, and the values are gathered at the
// element's centre and nodes. Each build keeps its own stores.
#pragma once

#include "recovery/drivers/driver_state.h"

namespace kvpvs::recovery {

// Values of one kernel point: membrane stresses sx, sy, txy, bending stresses sx, sy, txy at the
// first surface, the transverse shear's y component (value 7) and x component (value 8).
constexpr int POINT_VALUES = 8;
// Kernel points of a sub-plate: its centre, then the four Gauss points (after extrapolation its
// nodes); triangles give the centroid and their three nodes.
constexpr int KERNEL_POINTS = 5;
// Result points: the element's centre, then nodes 1..8.
constexpr int QUAD_PLATE_RESULT_POINTS = 9;

// out = the eight values in of a point, turned from the sub-plate axes Ts into the element axes
// T (rows the axes in global components): both stress tensors as Ts^T S Ts, then T (.) T^T; the
// transverse shear as the vector it is, (value 8, value 7, 0) turned by T Ts^T. in and out may
// be the same array.
void turn_point_values(const double* in, double* out, const Mat33& Ts, const Mat33& T);

// O (m values at each of five points) in place: the four Gauss-point blocks after the first m
// values become the values at the sub-plate's corners 1..4; m is at most 8.
void gauss_to_corners(DriverBuildState& build, double* O, int k, int m);

// R (8, 9) from V (8, 5, 4), the element-axes values of kernel point p of sub-plate s in column
// p + 5 (s - 1): the centre and the nodes of a six- or eight-node element (R(., 1 .. n + 1));
// another node count leaves R as it is.
void gather_sub_plate_points(int node_count, ConstMatView V, MatView R);

// R (8, 9): the eight values at the centre and nodes 1..node_count in element axes T. E (24, 4)
// the sub-plates' node vectors in their own axes, X (3, node_count) the element's nodes. Value
// index 1 forms each sub-plate's axes and kernel terms afresh and keeps them; any other index
// reuses those of the build's last call with index 1 (X is not read), so that an element's later
// values cost the kernels' evaluation alone. Plate type 1 selects the thin kernels, which form
// their terms at every value; any other type the shear-deformable ones. Another node count leaves
// R as it is.
void sub_plate_stresses(DriverBuildState& build, int node_count, int plate_type, ConstMatView E, MatView R,
                        ConstMatView X, int value_index, const Mat33& T);

} // namespace kvpvs::recovery
