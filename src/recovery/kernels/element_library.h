#pragma once
// One build of the element result-recovery library. The history build and the single-step
// build are two ElementLibrary objects bound to the one SharedBlocks; routines that read
// the shared blocks (material, mode words, section values) are members, routines that only
// work on their arguments are free functions in the topic headers included below. A
// build's retained state (work arrays some routines keep between calls) belongs in its
// object. Not re-entrant: calls of either build must not overlap.
//
// Conventions: arrays are 1-based column-major views or fixed matrices (colmajor.h); scalar
// inputs come by value, outputs by reference; no routine allocates.

#include "recovery/kernels/colmajor.h"
#include "recovery/kernels/integration_rules.h"
#include "recovery/kernels/jacobian.h"
#include "recovery/kernels/matrix_utilities.h"
#include "recovery/kernels/message_output.h"
#include "recovery/kernels/plane_element.h"
#include "recovery/kernels/plate_kernels.h"
#include "recovery/kernels/plate_work.h"
#include "recovery/kernels/shape_functions.h"
#include "recovery/kernels/shared_blocks.h"

namespace kvpvs::recovery {

enum class Build { history = 1, single_step = 2 };

class ElementLibrary {
public:
    ElementLibrary(Build build, SharedBlocks& blocks) : build_(build), blocks_(blocks) {}
    ElementLibrary(const ElementLibrary&) = delete;
    ElementLibrary& operator=(const ElementLibrary&) = delete;

    Build build() const { return build_; }
    SharedBlocks& blocks() const { return blocks_; }

    // --- elasticity.cpp -------------------------------------------------------------
    // 3x3 plane stress (mode 0) or plane strain (mode 1) matrix from the material block.
    void plane_elastic_matrix(int mode, Mat33& D) const;
    // 6x6 solid matrix, strain order xx, yy, zz, xy, yz, zx. Type 0 isotropic, 1
    // orthotropic (writes only the normal block and the diagonal shears), else untouched.
    void solid_elastic_matrix(FixedMatrix<6, 6>& D) const;
    // 4x4: three normal components, then the in-plane shear.
    void axisym_elastic_matrix(FixedMatrix<4, 4>& D) const;
    // D(n, n) in the strain order of isoparam_jacobian: n = 6 solid, n = 4 plane.
    void elastic_matrix(MatView D, double E, double nu, int mode, int n) const;

    // --- jacobian.cpp ---------------------------------------------------------------
    // Isoparametric point evaluator; see jacobian.cpp for the layout of B, CD, N and x.
    void isoparam_jacobian(MatView B, double& det, MatView CD, MatView N, MatView x, double xi,
                           double eta, double zeta, ConstMatView X, int nnode, int ndim, int nstr,
                           int extra, int detonly) const;
    // Plane evaluator of the perimeter numbering; X(8, 2) holds node k in row k.
    void strain_matrix_2d_perimeter(FixedMatrix<4, 20>& B, double& det, FixedMatrix<2, 10>& CD,
                                    FixedVector<2>& x, FixedVector<10>& N,
                                    const FixedMatrix<2, 2>& A0, double xi, double eta,
                                    const FixedMatrix<8, 2>& X, int nnode, int extra,
                                    int detonly) const;

    // --- plane_element.cpp ----------------------------------------------------------
    // Stiffness of the 6- and 8-node plane element over three components per node
    // (K is n x n, n = 48 from the drivers), global directions when rotate = 1.
    void quadratic_2d_stiffness(MatView K, FixedMatrix<48, 48>& W, FixedMatrix<4, 17>& R, int n,
                                int nnode, ConstMatView X, const Mat33& T, int rotate) const;
    // Stress-recovery matrix S(ld, ncol): rows 25.. hold three local stresses per point
    // (centre first, then the integration points) per unit global nodal displacement.
    void quadratic_2d_stresses(MatView S, const FixedMatrix<4, 17>& R, int nnode, ConstMatView X,
                               const Mat33& T) const;

    // --- plate and shell elements (membrane_quad.cpp, shell_quad_thick.cpp,
    // shell_quad_thin.cpp, triangle_*.cpp, membrane_drilling.cpp, plate_triangle_*.cpp,
    // dkt_triangle.cpp, released_dofs.cpp, plate_results.cpp) --------------------------
    // Six freedoms per node (u, v, w, theta-x, theta-y, theta-z); K(24,24) views carry
    // their leading dimension N; X, Y, Z are node coordinate vectors; T the element axes.

    // Incompatible-mode membrane: K(N,N) 12x12 before, leading 8x8 condensed after;
    // H(4, N-3) the bubble recovery matrix; flag 1 only forms H.
    void quad_membrane_stiffness(int N, ConstMatView XY, MatView DN, double Em, double nu,
                                 double t, MatView K, MatView H, MatView F, int flag);
    // Thick (shear-deformable) 4-node shell; flag 1 turns K to global axes.
    void quad_thick_stiffness(MatView K, MatView W, int N, ConstMatView X, ConstMatView Y,
                              ConstMatView Z, const Mat33& T, int flag);
    void quad_edge_shear(ConstMatView XL, double t, double nu);
    void quad_bending_stiffness(int n, int N, double fb, double nu, double Em, double hv,
                                ConstMatView DN, ConstMatView DP, MatView K, const Mat33& Dp,
                                FixedMatrix<3, 24>& B, ConstMatView h);
    void quad_bending_bmatrix(FixedMatrix<3, 24>& B, FixedMatrix<4, 12>& A, ConstMatView DN,
                              ConstMatView DP) const;
    void quad_shear_stiffness(int n, int N, double fs, double xi, double eta,
                              const FixedMatrix<2, 2>& G, MatView K, const FixedMatrix<2, 2>& Ds);
    // Thin (discrete Kirchhoff) 4-node shell; flag 1 turns K to global axes.
    void quad_thin_stiffness(MatView K, MatView W, int N, ConstMatView X, ConstMatView Y,
                             ConstMatView Z, const Mat33& T, int flag);
    // The same shell, isotropic, with a membrane that carries the drilling rotations and
    // no drilling spring; no driver calls it.
    void quad_drilling_thin_stiffness(MatView K, MatView W, int N, ConstMatView X,
                                      ConstMatView Y, ConstMatView Z, const Mat33& T, int flag);

    void tri_edge_shear(ConstMatView XY, double t, double nu);
    void tri_membrane_stiffness(int nn, double wt, double nu, double cm, double hm,
                                ConstMatView XY, ConstMatView DN, int N, MatView K);
    // Thick triangle: leading 18x18 of K(N,N); iflag 1 turns it to global axes.
    void tri_thick_stiffness(MatView K, MatView WORK, int N, ConstMatView X, ConstMatView Y,
                             ConstMatView Z, const Mat33& T, double& area, int iflag);
    void tri_shear_stiffness(double sx, double sy, double wt, int N, ConstMatView NL, MatView K);
    void tri_bending_stiffness(double d11, double d12, double d33, double wt, int N,
                               ConstMatView DN, MatView K, const Mat33& DB);
    void tri_dkt_geometry(ConstMatView XY);
    void tri_dkt_alpha(int p, int i, Mat33& A) const;
    void tri_dkt_term(double cf, int p, int i, int q, int j, int N, MatView K);
    void tri_dkt_node_pair(double d11, double d12, double d22, double d33, int i, int j, int N,
                           MatView K, const Mat33& DM);
    // Thin triangle; iflag 1 full shell in global axes, 2 bending only in global axes,
    // other values full shell in local axes.
    void tri_thin_stiffness(MatView K, MatView WORK, int N, ConstMatView X, ConstMatView Y,
                            ConstMatView Z, const Mat33& T, double& area, int iflag);
    void tri_rotation_curvature(FixedMatrix<3, 9>& M1);
    void tri_increment_curvature(FixedMatrix<3, 9>& M2, ConstMatView DV);
    void tri_shear_strain_matrix(FixedMatrix<2, 9>& S, ConstMatView L);

    // Released freedoms: U(ld, ncol) in element axes; the released entries of every column
    // are replaced by the values of zero force on them. Release codes one per node.
    void shell_stiffness(int plate_type, double* U, int ld, ConstMatView XYZ, int ncol,
                         int nnodes, const Mat33& axes, ConstMatView release);
    // Single-step form: U one vector of 6 nnodes values; the third argument is not read.
    void shell_stiffness(int plate_type, double* U, int unused, ConstMatView XYZ, int nnodes,
                         const Mat33& axes, ConstMatView release);

    // Plate results OUT(8,5) (see plate_results.cpp). setup/istep 1 rebuilds the retained
    // element data; other values evaluate with the data of the last rebuild.
    void quad_thick_results(int n, MatView U, MatView S, ConstMatView XYZ, const Mat33& T,
                            int setup, int compact);
    // Bending and transverse shear of the thick quadrilateral only (rows 1-3 of S stay 0),
    // without warping correction, on element data of its own. The single-step build's
    // routine; no driver calls it.
    void quad_thick_results_full(int n, ConstMatView U, MatView S, ConstMatView X,
                                 ConstMatView Y, ConstMatView Z, const Mat33& T, int setup);
    void quad_thin_results(int nnode, ConstMatView U, MatView OUT, ConstMatView XYZ,
                           const Mat33& T, int istep, int mode);
    void tri_thick_results(int& nnode, ConstMatView U, MatView OUT, ConstMatView XYZ,
                           const Mat33& T, int istep);
    void tri_thin_results(int& nnode, ConstMatView U, MatView OUT, ConstMatView XYZ,
                          const Mat33& T, int istep, int mode);
    // The thick quadrilateral and triangle on element data kept in w instead of the build's
    // own store: a caller that keeps one w per element evaluates each element's later values
    // without rebuilding, whatever was rebuilt between.
    void quad_thick_results(QuadThickResultsWork& w, int n, MatView U, MatView S, ConstMatView XYZ,
                            const Mat33& T, int setup, int compact);
    void tri_thick_results(TriResultsWork& w, int& nnode, ConstMatView U, MatView OUT,
                           ConstMatView XYZ, const Mat33& T, int istep);

private:
    // Shared pieces of the plate routines: the quadrilateral edge matrix A(4,12), the edge
    // shear strains scale E A, the triangle side increments (factors f1, f2), side
    // directions and shear edge matrix.
    void quad_edge_matrix(FixedMatrix<4, 12>& A) const;
    void quad_edge_shear_strain(double xi, double eta, const FixedMatrix<2, 2>& G,
                                FixedMatrix<4, 12>& A, FixedMatrix<2, 12>& Bs, double scale) const;
    void tri_side_increments(FixedMatrix<3, 9>& Q, double f1, double f2);
    void tri_side_directions(Mat33& V, ConstMatView DV);
    void tri_shear_edge_matrix(FixedMatrix<2, 3>& E, ConstMatView L);
    // Thick quadrilateral results: plane, bending and shear moduli; a point's derivatives,
    // curvature and shear strain matrices (returns detJ).
    void quad_thick_result_moduli(QuadThickResultsWork& w) const;
    double quad_thick_point_matrices(QuadThickResultsWork& w, int n, int p, double xi,
                                     double eta) const;
    // Steps the two thin quadrilateral stiffnesses share: material and geometry with the
    // edge terms (isotropic ignores the material type), the bending integration, and the
    // mirroring, node offsets and rotation into K.
    void quad_thin_prepare(ConstMatView X, ConstMatView Y, ConstMatView Z, const Mat33& T,
                           bool isotropic);
    void quad_thin_bending();
    void quad_thin_finish(MatView K, MatView W, const Mat33& T, int flag);
    void shell_condense(int plate_type, int nnodes, ConstMatView XYZ, const Mat33& axes, int n);
    void tri_results_common(TriResultsWork& w, ConstMatView XYZ, const Mat33& T, double r,
                            double s);
    void tri_results_membrane(const TriResultsWork& w, ConstMatView U, MatView OUT) const;

    PlateWork plate_;
    Build build_;
    SharedBlocks& blocks_;
};

// The two builds of the module, both on shared_blocks().
ElementLibrary& history_library();
ElementLibrary& step_library();

}  // namespace kvpvs::recovery
