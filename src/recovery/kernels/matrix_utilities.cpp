#include "recovery/kernels/matrix_utilities.h"

namespace kvpvs::recovery {

void rotate_matrix(MatView K, MatView W, const Mat33& T, int N)
{
    const int nb = (N + 2) / 3;
    // W = K T, block by block.
    for (int I = 1; I <= nb; ++I) {
        for (int J = 1; J <= nb; ++J) {
            for (int r = 3 * (I - 1) + 1; r <= 3 * I; ++r) {
                for (int c = 1; c <= 3; ++c) {
                    double s = 0.0;
                    for (int m = 1; m <= 3; ++m) {
                        s += K(r, 3 * (J - 1) + m) * T(m, c);
                    }
                    W(r, 3 * (J - 1) + c) = s;
                }
            }
        }
    }
    // K = T^T W, block by block.
    for (int I = 1; I <= nb; ++I) {
        for (int J = 1; J <= nb; ++J) {
            for (int col = 3 * (J - 1) + 1; col <= 3 * J; ++col) {
                for (int a = 1; a <= 3; ++a) {
                    double s = 0.0;
                    for (int m = 1; m <= 3; ++m) {
                        s += T(m, a) * W(3 * (I - 1) + m, col);
                    }
                    K(3 * (I - 1) + a, col) = s;
                }
            }
        }
    }
}

void condense_internal(int N, int NI, MatView K, MatView F, MatView A, MatView H, int flag)
{
    const int NE = N - NI;
    for (int j = 1; j <= NI; ++j) {
        for (int i = 1; i <= NI; ++i) {
            A(i, j) = K(NE + i, NE + j);
        }
    }
    for (int i = 1; i <= NI; ++i) {
        H(i, NE + 1) = F(NE + i);
    }
    ldl_factor(NI, A);
    // Coupling block read along row c of K.
    for (int c = 1; c <= NE; ++c) {
        for (int i = 1; i <= NI; ++i) {
            H(i, c) = K(c, NE + i);
        }
    }
    ldl_solve(NI, NE + 1, A, H);
    if (flag == 1) {
        return;
    }
    for (int r = 1; r <= NE; ++r) {
        for (int c = r; c <= NE; ++c) {
            double s = 0.0;
            for (int k = 1; k <= NI; ++k) {
                s += K(r, NE + k) * H(k, c);
            }
            K(r, c) = K(r, c) - s;
            K(c, r) = K(r, c);
        }
        double s = 0.0;
        for (int k = 1; k <= NI; ++k) {
            s += K(r, NE + k) * H(k, NE + 1);
        }
        F(r) = F(r) - s;
    }
}

void ldl_factor(int n, MatView A)
{
    for (int j = 2; j <= n; ++j) {
        for (int i = 1; i <= j - 1; ++i) {
            double s = 0.0;
            for (int k = 1; k <= i - 1; ++k) {
                s += A(k, i) * A(k, j);
            }
            A(i, j) = A(i, j) - s;
        }
        double s = 0.0;
        for (int k = 1; k <= j - 1; ++k) {
            const double t = A(k, j);
            s = s + t * t / A(k, k);
            A(k, j) = t / A(k, k);
            A(j, k) = A(k, j);
        }
        A(j, j) = A(j, j) - s;
    }
}

void ldl_solve(int n, int m, ConstMatView A, MatView B)
{
    for (int c = 1; c <= m; ++c) {
        for (int i = 2; i <= n; ++i) {
            double s = 0.0;
            for (int k = 1; k <= i - 1; ++k) {
                s += A(i, k) * B(k, c);
            }
            B(i, c) = B(i, c) - s;
        }
        for (int i = 1; i <= n; ++i) {
            B(i, c) = B(i, c) / A(i, i);
        }
        for (int i = n - 1; i >= 1; --i) {
            double s = 0.0;
            for (int k = i + 1; k <= n; ++k) {
                s += A(i, k) * B(k, c);
            }
            B(i, c) = B(i, c) - s;
        }
    }
}

void invert_matrix(MatView A, MatView B, int n)
{
    for (int j = 1; j <= n; ++j) {
        for (int i = 1; i <= n; ++i) {
            B(i, j) = i == j ? 1.0 : 0.0;
        }
    }
    // Forward elimination; a zero pivot is taken as 1 and the elimination goes on.
    for (int k = 1; k <= n - 1; ++k) {
        if (A(k, k) == 0.0) {
            A(k, k) = 1.0;
        }
        for (int i = k + 1; i <= n; ++i) {
            const double f = A(i, k) / A(k, k);
            for (int j = 1; j <= n; ++j) {
                A(i, j) = A(i, j) - f * A(k, j);
                B(i, j) = B(i, j) - f * B(k, j);
            }
        }
    }
    if (n >= 1 && A(n, n) == 0.0) {
        A(n, n) = 1.0;
    }
    for (int k = 1; k <= n; ++k) {
        const double p = A(k, k);
        for (int j = 1; j <= n; ++j) {
            A(k, j) = A(k, j) / p;
            B(k, j) = B(k, j) / p;
        }
    }
    for (int k = n; k >= 2; --k) {
        for (int i = k - 1; i >= 1; --i) {
            const double f = A(i, k) / A(k, k);
            for (int j = 1; j <= n; ++j) {
                A(i, j) = A(i, j) - f * A(k, j);
                B(i, j) = B(i, j) - f * B(k, j);
            }
        }
    }
}

}  // namespace kvpvs::recovery
