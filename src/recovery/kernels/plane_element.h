#pragma once
// Supporting routines of the 6- and 8-node plane element (the element routines themselves,
// which read the material block and the mode word, are ElementLibrary members): node
// coordinates in the element plane, the B^T D B integrand and the stress rows of one point.

#include "recovery/kernels/colmajor.h"

namespace kvpvs::recovery {

// XL(c, k) = T(c,.) . X(., k) - T(c,.) . X(., 1), c = 1, 2; mode is not read.
void plane_local_coords(MatView XL, ConstMatView X, const Mat33& T, int nnode, int mode);

// KK(i, j) += f (B^T D B)(i, j) over the first nstr strain rows, upper triangle only.
void btdb_accumulate(FixedMatrix<20, 20>& KK, const FixedMatrix<4, 4>& D,
                     const FixedMatrix<4, 20>& B, double f, int ndof, int nstr);

// Adds the local stresses of point p per unit global displacement into rows
// off + 3(p-1) + 1..3 of S; extra = 1 first folds the extra modes into B through R.
void stress_matrix_at_point(MatView S, const FixedMatrix<4, 4>& D, FixedMatrix<4, 20>& B,
                            const FixedMatrix<4, 17>& R, const Mat33& T, int ndof, int nnode,
                            int nstr, int p, int off, int extra);

}  // namespace kvpvs::recovery
