// The stiffness side of the six- and eight-node plates, which the plate kernels know only as
// three- and four-node plates: the element is cut into four sub-plates whose stiffnesses are
// assembled in global axes, the centre node of an eight-node plate condensed out; and the
// element's displacements are cut into the sub-plates' node vectors in their own axes, with the
// centre node recovered first. Each build keeps its own matrices; nothing here allocates per call
// except the growth of the retained internal loads to the largest value count met.
#pragma once

#include "recovery/drivers/driver_state.h"

#include <array>

namespace kvpvs::recovery {

// Six degrees of freedom of each of at most eight nodes, and of the centre node 9 besides.
constexpr int QUAD_PLATE_DOFS = 48;
constexpr int SUB_PLATE_ASSEMBLY_ORDER = 54;
// A sub-plate's node vectors (six values of four nodes; triangles use 18).
constexpr int SUB_PLATE_DOFS = 24;
constexpr int SUB_PLATES = 4;
constexpr int CENTRE_NODE = 9;

// Element nodes of the sub-plates' nodes 1, 2, 3(, 4) in the sub-plate's own order.
inline constexpr int SIX_NODE_SUB_PLATES[SUB_PLATES][3] = {{1, 4, 6}, {2, 5, 4}, {3, 6, 5}, {4, 5, 6}};
inline constexpr int EIGHT_NODE_SUB_PLATES[SUB_PLATES][4] = {{1, 5, 9, 8}, {2, 6, 9, 5}, {3, 7, 9, 6}, {4, 8, 9, 7}};

using SubPlateAxes = std::array<Mat33, SUB_PLATES>;

// G (54, 54) = the four sub-plate stiffnesses (global axes) summed over the element's nine
// nodes, zero for a node count other than 6 or 8; Ts(s) the axes of sub-plate s. x, y, z hold
// nodes 1..node_count (eight slots; an eight-node plate's centre node lies midway between nodes
// 5 and 7). Plate type 1 selects the thin kernels, any other the shear-deformable ones.
void assemble_sub_plate_matrix(DriverBuildState& build, MatView G, const double* x, const double* y, const double* z,
                               int node_count, int plate_type, SubPlateAxes& Ts);

// K (48, 48), global axes, of the element whose node coordinates are X (3, node_count).
void quadratic_plate_stiffness(DriverBuildState& build, int node_count, MatView K, ConstMatView X);

// F(1..dofs) = K (48, 48) d, each row summed over the columns in their order; dofs a multiple of
// 12 (the 36 or 48 of a six- or eight-node plate), the rest of F left as it is.
void quad_plate_forces(const FixedMatrix<QUAD_PLATE_DOFS, QUAD_PLATE_DOFS>& K, const double* d, int dofs, double* F);

// K (its view's leading dimension) = the assembled sub-plate stiffness of 6 x node_count
// degrees of freedom, the centre node condensed; the rest of K's 48 x 48 is 0.
void assemble_sub_plate_stiffness(DriverBuildState& build, MatView K, const double* x, const double* y,
                                  const double* z, int node_count, int plate_type);

// G (NT, NT) in place: the leading NE = NT - NI rows and columns become the Schur complement
// G_ee - G_ei inverse(G_ii) G_ie; the others are left. G_ii is inverted without pivoting (it is
// symmetric positive definite). NT above 54 or NI outside 1..NT leaves G as it is.
void condense_stiffness(int NT, int NI, MatView G);

// S (24, 4 n): column s + 4 (i - 1) holds sub-plate s's node vectors at value i in its own axes.
// U (at least 48 rows, n columns) the element's node vectors; X (3, node_count). Other node
// counts leave S as it is.
void sub_plate_displacements(DriverBuildState& build, int node_count, int plate_type, ConstMatView U, MatView S,
                             int n, ConstMatView X);

// Q (NI, n) = inverse(G_ii) (P_i - G_ie U_e) for the n columns of U, whose first NE rows are the
// external degrees of freedom; G (NT, NT) uncondensed, P (NT, n) the loads. Limits as for
// condense_stiffness (Q left as it is outside them).
void recover_internal_dofs(int NT, int NI, ConstMatView U, ConstMatView G, ConstMatView P, MatView Q, int n);

} // namespace kvpvs::recovery
