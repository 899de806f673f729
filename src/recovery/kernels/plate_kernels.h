#pragma once
// Routines of the plate and shell elements that work on their arguments alone: triangle
// rules, shape functions and Jacobian, the result accumulators, the drilling-membrane strain
// matrix shared by stiffness and results, the warping and node-offset operations of the
// 4-node shells and the thin quadrilateral's edge terms, shape array and curvature matrix.
// Routines that read the shared blocks or keep work between calls are ElementLibrary members.

#include "recovery/kernels/colmajor.h"

namespace kvpvs::recovery {

// --- triangle_geometry.cpp ----------------------------------------------------------
// Point ip of the npt-point triangle rule: npt < 2 the centroid (weight 0.5), else the
// side midpoints (weight 0.166666666666667) in the order (0.5,0.5), (0.5,0), (0,0.5).
void tri_integration_point(int npt, int ip, double& r, double& s, double& w);
// mode 1: V(2,3) natural derivatives; otherwise V(3) area coordinates.
void tri3_shape(double r, double s, MatView V, int mode);
// mode 1: V(2,6) natural derivatives; otherwise V(6) values. Mid-side nodes 4, 5, 6 on
// sides 1-2, 2-3, 3-1.
void tri6_shape(double r, double s, MatView V, int mode);
// Jacobian from DN(2,nn) and XY(2,nn); mode != 1 converts the 2*nn columns of DV to x, y
// derivatives (skipped when det = 0, which is returned as it is).
void tri_jacobian(int nn, ConstMatView DN, ConstMatView XY, MatView DV, double& det, int mode);

// --- plate_triangle_thick.cpp -------------------------------------------------------
// Corner coordinates in the element plane relative to corner 1 (rows 1, 2 of T) and the
// area by Heron's formula on the three-dimensional side lengths.
void tri_local_geometry(ConstMatView X, ConstMatView Y, ConstMatView Z, const Mat33& T,
                        FixedMatrix<2, 3>& XY, double& area);

// --- triangle_strain.cpp ------------------------------------------------------------
// Area coordinates (L2, L3) of sample point i of the 4-point result set (else the centroid).
void tri_sample_point(int npt, int i, double& r, double& s);
// R(r) += M(r,3n-2) p1 + M(r,3n-1) p2 + M(r,3n) p3 for the three curvature rows.
void tri_add_curvature(int n, double& r1, double& r2, double& r3, ConstMatView M, double p1,
                       double p2, double p3);
void tri_add_increment_curvature(int n, double& r1, double& r2, double& r3, ConstMatView M,
                                 double p1, double p2, double p3);
void tri_add_shear_strain(int n, double& r1, double& r2, ConstMatView M, double p1, double p2,
                          double p3);
// R += sum_i p_i (M(:,i) . L).
void tri_add_dkt_curvature(double& r, const Mat33& M, ConstMatView L, double p1, double p2,
                           double p3);
// Least-squares plane through the samples F(1..4) at P(4,2), evaluated at XN(2,3) into
// F(5..7).
void tri_points_to_nodes(ConstMatView XN, ConstMatView P, MatView F);

// --- membrane_drilling.cpp ----------------------------------------------------------
// Strain matrix B(3,9) (columns u, v, rz per corner) of the vertex-rotation membrane from
// the x, y derivatives DN(2,6) of the quadratic functions at a point.
void tri_drilling_strain_matrix(ConstMatView XY, ConstMatView DN, FixedMatrix<3, 9>& B);

// --- shell_quad_thick.cpp -----------------------------------------------------------
// Local coordinates XL(2,4) relative to node 1 and offsets h(4) from the mean plane of the
// global coordinates P(3,4); offsets below 1e-5 of the largest |XL| become 0.
void quad_thick_geometry(const FixedMatrix<3, 4>& P, const Mat33& T, FixedMatrix<2, 4>& XL,
                         FixedVector<4>& h);
// Warping columns of the thick quadrilateral's curvature matrix from the offsets h(4).
void quad_warp_matrix(ConstMatView XL, ConstMatView h, FixedMatrix<3, 24>& B);
// Node offsets ha, hb applied to the 6x6 block Kab (its view carries the leading dimension).
void node_offset_transform(MatView Kab, double ha, double hb);

// --- shell_quad_thin.cpp ------------------------------------------------------------
struct QuadThinEdgeTerms {
    FixedVector<4> dy8, mdx8;  // dy/8 and -dx/8 (drilling variant only)
    FixedVector<4> P, Q, R, T, U;
};
// Local coordinates XL(3,4) about the centroid of XG(3,4) (row 3 the offsets from the mean
// plane); offsets below 1e-7 of the largest in-plane |XL| become 0.
void quad_thin_geometry(const FixedMatrix<3, 4>& XG, const Mat33& T, FixedMatrix<3, 4>& XL);
// Edge coefficients of XL(3,4) and, when XL(3,1) != 0, the warping columns of B.
void quad_thin_edge_terms(ConstMatView XL, QuadThinEdgeTerms& e, FixedMatrix<3, 24>& B);
// Nine functions (corners, mid-sides, bubble) at (xi, eta): rows 1, 2 x and y derivatives,
// row 3 values; detJ from the corner functions and XL(3, nnode).
void quad_thin_shape(double xi, double eta, ConstMatView XL, FixedMatrix<3, 9>& S, double& detJ,
                     int nnode);
// w, theta-x, theta-y columns of every node of the discrete Kirchhoff curvature matrix.
void quad_thin_bmatrix(const FixedMatrix<3, 9>& S, const QuadThinEdgeTerms& e,
                       FixedMatrix<3, 24>& B);
// Membrane strain matrix Bm(3,12), columns u, v, theta-z per node, at the point of S: the
// corner functions' columns, and the drilling columns from the mid-side derivatives and the
// edge arrays dy/8, -dx/8 (drilling_membrane_terms fills only the theta-z columns).
void drilling_membrane_terms(const FixedMatrix<3, 9>& S, const QuadThinEdgeTerms& e,
                             FixedMatrix<3, 12>& Bm);
void quad_drilling_shape(double xi, double eta, ConstMatView XL, const QuadThinEdgeTerms& e,
                         FixedMatrix<3, 9>& S, FixedMatrix<3, 12>& Bm, double& detJ, int nnode);
// node_offset_transform on a block of a matrix with leading dimension 24.
void node_offset_transform_24(MatView Kab, double ha, double hb);

}  // namespace kvpvs::recovery
