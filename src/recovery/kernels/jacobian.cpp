#include "recovery/kernels/jacobian.h"

#include <cassert>
#include <cmath>

#include "recovery/kernels/element_library.h"

namespace kvpvs::recovery {

void write_jacobian_message()
{
    message_output().write("     JACOBIAN DETERMINENT IS NEGATIVE\n"
                           "     PLEASE CHECK YOUR DATA FILE \n");
}

void jacobian_2d(int n, ConstMatView XY, MatView DN, double& det, int flag)
{
    double J[2][2];
    for (int i = 1; i <= 2; ++i) {
        for (int j = 1; j <= 2; ++j) {
            double s = 0.0;
            for (int k = 1; k <= n; ++k) {
                s += DN(i, k) * XY(j, k);
            }
            J[i - 1][j - 1] = s;
        }
    }
    det = J[0][0] * J[1][1] - J[1][0] * J[0][1];
    if (flag == 1) {
        return;
    }
    const double r = 1.0 / det;
    const double G11 = r * J[1][1], G12 = -r * J[0][1], G21 = -r * J[1][0], G22 = r * J[0][0];
    for (int k = 1; k <= n; ++k) {
        const double d1 = DN(1, k), d2 = DN(2, k);
        DN(1, k) = G11 * d1 + G12 * d2;
        DN(2, k) = G21 * d1 + G22 * d2;
    }
}

void jacobian_2d_pair(int n, ConstMatView XY, MatView DN, MatView DP, double& det,
                      FixedMatrix<2, 2>& J)
{
    for (int i = 1; i <= 2; ++i) {
        for (int j = 1; j <= 2; ++j) {
            double s = 0.0;
            for (int k = 1; k <= n; ++k) {
                s += DN(i, k) * XY(j, k);
            }
            J(i, j) = s;
        }
    }
    det = J(1, 1) * J(2, 2) - J(2, 1) * J(1, 2);
    const double r = 1.0 / det;
    const double G11 = r * J(2, 2), G12 = -r * J(1, 2), G21 = -r * J(2, 1), G22 = r * J(1, 1);
    J(1, 1) = G11;
    J(1, 2) = G12;
    J(2, 1) = G21;
    J(2, 2) = G22;
    for (int k = 1; k <= n; ++k) {
        const double d1 = DN(1, k), d2 = DN(2, k);
        DN(1, k) = G11 * d1 + G12 * d2;
        DN(2, k) = G21 * d1 + G22 * d2;
    }
    for (int k = 1; k <= n; ++k) {
        const double d1 = DP(1, k), d2 = DP(2, k);
        DP(1, k) = G11 * d1 + G12 * d2;
        DP(2, k) = G21 * d1 + G22 * d2;
    }
}

namespace {

// Natural corner signs of the 8-node hexahedron (main numbering).
constexpr double kSx[8] = {-1, 1, 1, -1, -1, 1, 1, -1};
constexpr double kSy[8] = {-1, -1, 1, 1, -1, -1, 1, 1};
constexpr double kSz[8] = {-1, -1, -1, -1, 1, 1, 1, 1};

// Adjugate of a 2x2 or 3x3 matrix (the inverse times the determinant).
template <class M, class A>
void adjugate(const M& J, A& adj, int ndim)
{
    if (ndim == 2) {
        adj(1, 1) = J(2, 2);
        adj(1, 2) = -J(1, 2);
        adj(2, 1) = -J(2, 1);
        adj(2, 2) = J(1, 1);
        return;
    }
    adj(1, 1) = J(2, 2) * J(3, 3) - J(2, 3) * J(3, 2);
    adj(1, 2) = -(J(1, 2) * J(3, 3) - J(1, 3) * J(3, 2));
    adj(1, 3) = J(1, 2) * J(2, 3) - J(1, 3) * J(2, 2);
    adj(2, 1) = -(J(2, 1) * J(3, 3) - J(2, 3) * J(3, 1));
    adj(2, 2) = J(1, 1) * J(3, 3) - J(1, 3) * J(3, 1);
    adj(2, 3) = -(J(1, 1) * J(2, 3) - J(1, 3) * J(2, 1));
    adj(3, 1) = J(2, 1) * J(3, 2) - J(2, 2) * J(3, 1);
    adj(3, 2) = -(J(1, 1) * J(3, 2) - J(1, 2) * J(3, 1));
    adj(3, 3) = J(1, 1) * J(2, 2) - J(1, 2) * J(2, 1);
}

bool has_extra_modes(int nnode, int ndim)
{
    return (ndim == 2 && (nnode == 4 || nnode == 8)) || (ndim == 3 && (nnode == 8 || nnode == 20));
}

}  // namespace

void centre_jacobian_adjugate(ColMajorView<float> A, ConstMatView X, int nnode, int ndim)
{
    float J0[3][3] = {};
    auto x = [&X](int i, int k) { return static_cast<float>(X(i, k)); };
    if (ndim == 2 && nnode == 4) {
        for (int i = 1; i <= 2; ++i) {
            J0[0][i - 1] = (-x(i, 1) + x(i, 2) + x(i, 3) - x(i, 4)) / 4.0f;
            J0[1][i - 1] = (-x(i, 1) - x(i, 2) + x(i, 3) + x(i, 4)) / 4.0f;
        }
    } else if (ndim == 2 && nnode == 8) {
        for (int i = 1; i <= 2; ++i) {
            J0[0][i - 1] = (x(i, 4) - x(i, 8)) / 2.0f;
            J0[1][i - 1] = (x(i, 6) - x(i, 2)) / 2.0f;
        }
    } else if (ndim == 3 && nnode == 8) {
        for (int i = 1; i <= 3; ++i) {
            float s1 = 0.0f, s2 = 0.0f, s3 = 0.0f;
            for (int k = 1; k <= 8; ++k) {
                s1 += static_cast<float>(kSx[k - 1]) * x(i, k);
                s2 += static_cast<float>(kSy[k - 1]) * x(i, k);
                s3 += static_cast<float>(kSz[k - 1]) * x(i, k);
            }
            J0[0][i - 1] = s1 / 8.0f;
            J0[1][i - 1] = s2 / 8.0f;
            J0[2][i - 1] = s3 / 8.0f;
        }
    } else if (ndim == 3 && nnode == 20) {
        for (int i = 1; i <= 3; ++i) {
            auto X_ = [&](int k) { return x(i, k); };
            J0[0][i - 1] = (X_(4) - X_(8) - X_(9) + X_(10) + X_(11) - X_(12) + X_(16) - X_(20)) / 4.0f +
                           (X_(1) - X_(3) - X_(5) + X_(7) + X_(13) - X_(15) - X_(17) + X_(19)) / 8.0f;
            J0[1][i - 1] = (-X_(2) + X_(6) - X_(9) - X_(10) + X_(11) + X_(12) - X_(14) + X_(18)) / 4.0f +
                           (X_(1) + X_(3) - X_(5) - X_(7) + X_(13) + X_(15) - X_(17) - X_(19)) / 8.0f;
            J0[2][i - 1] = (-X_(2) - X_(4) - X_(6) - X_(8) + X_(14) + X_(16) + X_(18) + X_(20)) / 4.0f +
                           (X_(1) + X_(3) + X_(5) + X_(7) - X_(13) - X_(15) - X_(17) - X_(19)) / 8.0f;
        }
    } else {
        return;
    }
    auto J = [&J0](int i, int j) { return J0[i - 1][j - 1]; };
    adjugate(J, A, ndim);
}

void ElementLibrary::isoparam_jacobian(MatView B, double& det, MatView CD, MatView N, MatView x,
                                       double xi, double eta, double zeta, ConstMatView X,
                                       int nnode, int ndim, int nstr, int extra, int detonly) const
{
    constexpr int kMaxColumns = 23;  // 20 nodes and 3 extra modes
    if ((ndim != 2 && ndim != 3) || nnode < 1 || nnode + ndim > kMaxColumns) {
        // No element of that shape: as an unsupported node count, a zero determinant.
        assert(false && "isoparam_jacobian: dimension or node count outside the library");
        det = 0.0;
        write_jacobian_message();
        return;
    }
    const int nall = nnode + ndim;

    // 1. Shape functions and natural derivatives.
    shape_functions(N, xi, eta, zeta, nnode, ndim);
    FixedMatrix<3, kMaxColumns> dn;
    const MatView DN(dn.a.data(), ndim, ndim, nall);
    shape_derivatives(DN, xi, eta, zeta, nnode, ndim);

    // 2. Coordinates of the point.
    for (int i = 1; i <= ndim; ++i) {
        double s = 0.0;
        for (int k = 1; k <= nnode; ++k) {
            s += X(i, k) * N(k);
        }
        x(i) = s;
    }

    // 3. J(i,j) = d x_j / d xi_i.
    Mat33 J;
    for (int i = 1; i <= ndim; ++i) {
        for (int j = 1; j <= ndim; ++j) {
            double s = 0.0;
            for (int k = 1; k <= nnode; ++k) {
                s += DN(i, k) * X(j, k);
            }
            J(i, j) = s;
        }
    }

    // 4. Determinant. The plane returns its absolute value as the integration weight;
    //    the inverse below uses the signed one, so clockwise elements keep their signs.
    double signed_det;
    if (ndim == 2) {
        signed_det = J(1, 1) * J(2, 2) - J(1, 2) * J(2, 1);
        det = std::fabs(signed_det);
        if (det == 0.0) {
            write_jacobian_message();
        }
    } else {
        signed_det = J(1, 1) * (J(2, 2) * J(3, 3) - J(2, 3) * J(3, 2)) -
                     J(1, 2) * (J(2, 1) * J(3, 3) - J(2, 3) * J(3, 1)) +
                     J(1, 3) * (J(2, 1) * J(3, 2) - J(2, 2) * J(3, 1));
        det = signed_det;
        if (det <= 0.0) {
            write_jacobian_message();
        }
    }

    // 5.
    if (detonly == 1) {
        return;
    }

    // 6. Inverse by the adjugate; a zero determinant gives zero derivatives rather than
    //    non-finite ones (the message has already told the user).
    const double r = signed_det != 0.0 ? 1.0 / signed_det : 0.0;
    Mat33 adj, Jinv;
    adjugate(J, adj, ndim);
    for (int j = 1; j <= ndim; ++j) {
        for (int i = 1; i <= ndim; ++i) {
            Jinv(i, j) = adj(i, j) * r;
        }
    }

    // 7. Cartesian derivatives of the node functions.
    for (int k = 1; k <= nnode; ++k) {
        for (int i = 1; i <= ndim; ++i) {
            double s = 0.0;
            for (int j = 1; j <= ndim; ++j) {
                s += Jinv(i, j) * DN(j, k);
            }
            CD(i, k) = s;
        }
    }

    // 8. Extra modes through the centre Jacobian: M = adj(J0) / det.
    const int ncol = extra == 1 ? nall : nnode;
    if (extra == 1) {
        Mat33 M;
        if (has_extra_modes(nnode, ndim)) {
            Mat33 J0, adj0;
            for (int i = 1; i <= ndim; ++i) {
                if (ndim == 2) {
                    J0(1, i) = (-X(i, 1) + X(i, 2) + X(i, 3) - X(i, 4)) / 4.0;
                    J0(2, i) = (-X(i, 1) - X(i, 2) + X(i, 3) + X(i, 4)) / 4.0;
                } else {
                    double s1 = 0.0, s2 = 0.0, s3 = 0.0;
                    for (int k = 1; k <= 8; ++k) {
                        s1 += kSx[k - 1] * X(i, k);
                        s2 += kSy[k - 1] * X(i, k);
                        s3 += kSz[k - 1] * X(i, k);
                    }
                    J0(1, i) = s1 / 8.0;
                    J0(2, i) = s2 / 8.0;
                    J0(3, i) = s3 / 8.0;
                }
            }
            adjugate(J0, adj0, ndim);
            for (int j = 1; j <= ndim; ++j) {
                for (int i = 1; i <= ndim; ++i) {
                    M(i, j) = adj0(i, j) * r;
                }
            }
        }
        // Elements without extra modes have zero extra derivatives, hence zero columns.
        for (int k = nnode + 1; k <= nall; ++k) {
            for (int i = 1; i <= ndim; ++i) {
                double s = 0.0;
                for (int j = 1; j <= ndim; ++j) {
                    s += M(i, j) * DN(j, k);
                }
                CD(i, k) = s;
            }
        }
    }

    // 9. Strain-displacement matrix, engineering shear strains.
    for (int c = 1; c <= ndim * nall; ++c) {
        for (int i = 1; i <= nstr; ++i) {
            B(i, c) = 0.0;
        }
    }
    const int mode = blocks_.plane_mode;
    for (int k = 1; k <= ncol; ++k) {
        for (int i = 1; i <= ndim; ++i) {
            B(i, ndim * (k - 1) + i) = CD(i, k);
        }
        if (ndim == 2) {
            B(3, 2 * k - 1) = CD(2, k);
            B(3, 2 * k) = CD(1, k);
            if (mode == 2 && nstr >= 4) {
                B(4, 2 * k - 1) = N(k) / x(1);  // hoop strain u / r
            }
        } else {
            B(4, 3 * k - 2) = CD(2, k);
            B(4, 3 * k - 1) = CD(1, k);
            B(5, 3 * k - 1) = CD(3, k);
            B(5, 3 * k) = CD(2, k);
            B(6, 3 * k - 2) = CD(3, k);
            B(6, 3 * k) = CD(1, k);
        }
    }
}

void ElementLibrary::strain_matrix_2d_perimeter(FixedMatrix<4, 20>& B, double& det,
                                                FixedMatrix<2, 10>& CD, FixedVector<2>& x,
                                                FixedVector<10>& N, const FixedMatrix<2, 2>& A0,
                                                double xi, double eta, const FixedMatrix<8, 2>& X,
                                                int nnode, int extra, int detonly) const
{
    if (nnode != 3 && nnode != 4 && nnode != 6 && nnode != 8) {
        det = 0.0;
        write_jacobian_message();
        return;
    }
    FixedVector<10> DNX, DNE;
    shape_2d_perimeter(DNX, DNE, N, xi, eta, nnode);

    double J11 = 0.0, J12 = 0.0, J21 = 0.0, J22 = 0.0;
    for (int k = 1; k <= nnode; ++k) {
        J11 += DNX(k) * X(k, 1);
        J12 += DNX(k) * X(k, 2);
        J21 += DNE(k) * X(k, 1);
        J22 += DNE(k) * X(k, 2);
    }
    for (int i = 1; i <= 2; ++i) {
        double s = 0.0;
        for (int k = 1; k <= nnode; ++k) {
            s += N(k) * X(k, i);
        }
        x(i) = s;
    }
    det = J11 * J22 - J21 * J12;
    if (det <= 0.0) {
        write_jacobian_message();
    }
    if (detonly == 1) {
        return;
    }
    const double r = det != 0.0 ? 1.0 / det : 0.0;
    const double G11 = J22 * r, G12 = -J12 * r, G21 = -J21 * r, G22 = J11 * r;
    for (int k = 1; k <= nnode; ++k) {
        CD(1, k) = G11 * DNX(k) + G12 * DNE(k);
        CD(2, k) = G21 * DNX(k) + G22 * DNE(k);
    }
    int ncol = nnode;
    if (extra == 1 && (nnode == 4 || nnode == 8)) {
        ncol = nnode + 2;
        for (int k = nnode + 1; k <= ncol; ++k) {
            CD(1, k) = A0(1, 1) * r * DNX(k) + A0(1, 2) * r * DNE(k);
            CD(2, k) = A0(2, 1) * r * DNX(k) + A0(2, 2) * r * DNE(k);
        }
    }
    B.fill(0.0);
    const int mode = blocks_.plane_mode;
    for (int k = 1; k <= ncol; ++k) {
        B(1, 2 * k - 1) = CD(1, k);
        B(2, 2 * k) = CD(2, k);
        B(3, 2 * k - 1) = CD(2, k);
        B(3, 2 * k) = CD(1, k);
        if (mode == 2) {
            B(4, 2 * k - 1) = N(k) / x(1);
        }
    }
}

}  // namespace kvpvs::recovery
