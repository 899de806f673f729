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

private:
    Build build_;
    SharedBlocks& blocks_;
};

// The two builds of the module, both on shared_blocks().
ElementLibrary& history_library();
ElementLibrary& step_library();

}  // namespace kvpvs::recovery
