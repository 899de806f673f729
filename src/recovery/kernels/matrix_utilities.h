#pragma once
// Matrix utilities of the element library: rotation of element matrices to global axes,
// static condensation of internal degrees of freedom with a root-free Cholesky (LDL^T)
// factorisation, and Gauss-Jordan inversion. None tests its input: a zero pivot of
// ldl_factor gives non-finite values; invert_matrix replaces a zero pivot by 1.

#include "recovery/kernels/colmajor.h"

namespace kvpvs::recovery {

// K := T^T K T, 3x3 block by block, over the first N rows and columns (N a multiple of 3);
// W is work of at least the same extent. Row i of T is local axis i in global components.
void rotate_matrix(MatView K, MatView W, const Mat33& T, int N);

// Condenses the last NI of N degrees of freedom: A(NI,NI) work, H(NI, N-NI+1) the recovery
// matrix inverse(K_ii) [K_ie | F_i]. flag = 1 leaves K and F unchanged.
void condense_internal(int N, int NI, MatView K, MatView F, MatView A, MatView H, int flag);

// In place: D on the diagonal, the unit factor in both triangles. No pivoting.
void ldl_factor(int n, MatView A);
// Solves for the m columns of B with the factors of ldl_factor.
void ldl_solve(int n, int m, ConstMatView A, MatView B);

// B = inverse of A(n,n) by Gauss-Jordan without row exchanges; A is overwritten.
void invert_matrix(MatView A, MatView B, int n);

}  // namespace kvpvs::recovery
