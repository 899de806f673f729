// Shear-deformable 4-node flat shell: incompatible-mode membrane, discrete Kirchhoff-Mindlin
// bending with mid-side rotation increments, transverse shear from the edge shear strains,
// warping correction from node 1's offset, a small drilling spring and node offsets.
#include <algorithm>
#include <cmath>

#include "recovery/kernels/element_library.h"
#include "recovery/kernels/plate_kernels.h"

namespace kvpvs::recovery {

void quad_thick_geometry(const FixedMatrix<3, 4>& P, const Mat33& T, FixedMatrix<2, 4>& XL,
                         FixedVector<4>& h)
{
    double pc[3];
    for (int i = 1; i <= 3; ++i) {
        pc[i - 1] = (P(i, 1) + P(i, 2) + P(i, 3) + P(i, 4)) / 4.0;
    }
    double m = 0.0;
    for (int k = 1; k <= 4; ++k) {
        const double d1 = P(1, k) - P(1, 1), d2 = P(2, k) - P(2, 1), d3 = P(3, k) - P(3, 1);
        XL(1, k) = T(1, 1) * d1 + T(1, 2) * d2 + T(1, 3) * d3;
        XL(2, k) = T(2, 1) * d1 + T(2, 2) * d2 + T(2, 3) * d3;
        h(k) = T(3, 1) * (P(1, k) - pc[0]) + T(3, 2) * (P(2, k) - pc[1]) +
               T(3, 3) * (P(3, k) - pc[2]);
        m = std::max({m, std::fabs(XL(1, k)), std::fabs(XL(2, k))});
    }
    // Offsets below 1e-5 of the element size count as a flat element.
    for (int k = 1; k <= 4; ++k) {
        if (std::fabs(h(k)) < 1e-5 * m) h(k) = 0.0;
    }
}

void ElementLibrary::quad_edge_shear(ConstMatView XL, double t, double nu)
{
    QuadEdgeBlock& e = blocks_.quad_edge_block;
    for (int k = 1; k <= 4; ++k) {
        const int j = k % 4 + 1;
        const std::size_t q = static_cast<std::size_t>(k - 1);
        e.DX[q] = XL(1, j) - XL(1, k);
        e.DY[q] = XL(2, j) - XL(2, k);
        const double l2 = e.DX[q] * e.DX[q] + e.DY[q] * e.DY[q];
        e.PHI[q] = (2.4 / (1.0 - nu)) * t * t / l2;
        e.L[q] = std::sqrt(l2);
        e.CO[q] = e.DX[q] / e.L[q];
        e.SI[q] = e.DY[q] / e.L[q];
        e.Q[q] = (1.0 / e.L[q]) / (e.PHI[q] + 1.0);
    }
}

void quad_warp_matrix(ConstMatView XL, ConstMatView h, FixedMatrix<3, 24>& B)
{
    double s1 = 0.0, s2 = 0.0, s3 = 0.0;
    for (int k = 1; k <= 4; ++k) {
        const int j = k % 4 + 1;
        const double dx = XL(1, j) - XL(1, k), dy = XL(2, j) - XL(2, k);
        const double l2 = dx * dx + dy * dy;
        const double dh = h(j) - h(k);
        s1 += dy * dy * dh / l2;
        s2 += dx * dx * dh / l2;
        s3 += -2.0 * dx * dy * dh / l2;
    }
    const double p1 = XL(1, 3) - XL(1, 1), q1 = XL(2, 3) - XL(2, 1);
    const double p2 = XL(1, 4) - XL(1, 2), q2 = XL(2, 4) - XL(2, 2);
    const double A2 = 2.0 * (p1 * q2 - q1 * p2);
    const double R = A2 * A2 / 4.0;
    const double s[3] = {s1, s2, s3};
    for (int r = 1; r <= 3; ++r) {
        const double v = s[r - 1];
        B(r, 1) = (p2 / R) * v;
        B(r, 2) = (q2 / R) * v;
        B(r, 6) = v / A2;
        B(r, 7) = -(p1 / R) * v;
        B(r, 8) = -(q1 / R) * v;
        B(r, 12) = v / A2;
        B(r, 13) = -B(r, 1);
        B(r, 14) = -B(r, 2);
        B(r, 18) = B(r, 6);
        B(r, 19) = -B(r, 7);
        B(r, 20) = -B(r, 8);
        B(r, 24) = B(r, 12);
    }
}

void node_offset_transform(MatView Kab, double ha, double hb)
{
    for (int i = 1; i <= 6; ++i) {
        Kab(i, 4) = Kab(i, 4) + hb * Kab(i, 2);
        Kab(i, 5) = Kab(i, 5) - hb * Kab(i, 1);
    }
    for (int j = 1; j <= 6; ++j) {
        Kab(4, j) = Kab(4, j) + ha * Kab(2, j);
        Kab(5, j) = Kab(5, j) - ha * Kab(1, j);
    }
}

void ElementLibrary::quad_edge_matrix(FixedMatrix<4, 12>& A) const
{
    const QuadEdgeBlock& e = blocks_.quad_edge_block;
    A.fill(0.0);
    for (int k = 1; k <= 4; ++k) {
        const int i = k, j = k % 4 + 1;
        const std::size_t q = static_cast<std::size_t>(k - 1);
        A(k, 3 * (i - 1) + 1) = e.Q[q];
        A(k, 3 * (j - 1) + 1) = -e.Q[q];
        A(k, 3 * (i - 1) + 2) = e.DY[q] * e.Q[q] / 2.0;
        A(k, 3 * (j - 1) + 2) = e.DY[q] * e.Q[q] / 2.0;
        A(k, 3 * (i - 1) + 3) = -e.DX[q] * e.Q[q] / 2.0;
        A(k, 3 * (j - 1) + 3) = -e.DX[q] * e.Q[q] / 2.0;
    }
}

void ElementLibrary::quad_bending_bmatrix(FixedMatrix<3, 24>& B, FixedMatrix<4, 12>& A,
                                          ConstMatView DN, ConstMatView DP) const
{
    const QuadEdgeBlock& e = blocks_.quad_edge_block;
    double M[3][4];
    for (int k = 1; k <= 4; ++k) {
        const std::size_t q = static_cast<std::size_t>(k - 1);
        M[0][k - 1] = e.CO[q] * DP(1, k);
        M[1][k - 1] = e.SI[q] * DP(2, k);
        M[2][k - 1] = e.CO[q] * DP(2, k) + e.SI[q] * DP(1, k);
    }
    quad_edge_matrix(A);
    for (int m = 1; m <= 4; ++m) {
        const int c = 6 * (m - 1);
        for (int r = 1; r <= 3; ++r) {
            B(r, c + 3) = 0.0;
            B(r, c + 4) = 0.0;
            B(r, c + 5) = 0.0;
        }
        B(1, c + 5) = DN(1, m);
        B(2, c + 4) = -DN(2, m);
        B(3, c + 4) = -DN(1, m);
        B(3, c + 5) = DN(2, m);
    }
    for (int m = 1; m <= 4; ++m) {
        for (int d = 1; d <= 3; ++d) {
            for (int r = 1; r <= 3; ++r) {
                double s = 0.0;
                for (int k = 1; k <= 4; ++k) {
                    s += M[r - 1][k - 1] * A(k, 3 * (m - 1) + d);
                }
                B(r, 6 * (m - 1) + 2 + d) = B(r, 6 * (m - 1) + 2 + d) + 1.5 * s;
            }
        }
    }
}

void ElementLibrary::quad_bending_stiffness(int n, int N, double fb, double nu, double Em,
                                            double hv, ConstMatView DN, ConstMatView DP,
                                            MatView K, const Mat33& Dp, FixedMatrix<3, 24>& B,
                                            ConstMatView h)
{
    (void)N;
    auto& w = plate_.quad_thick;
    Mat33& Db = w.Db;
    Db.fill(0.0);
    if (blocks_.material_block.material_type == 1) {
        Db(1, 1) = fb * Dp(1, 1);
        Db(2, 1) = fb * Dp(2, 1);
        Db(1, 2) = fb * Dp(1, 2);
        Db(2, 2) = fb * Dp(2, 2);
        Db(3, 3) = fb * Dp(3, 3);
    } else {
        Db(1, 1) = fb * Em;
        Db(2, 2) = fb * Em;
        Db(1, 2) = fb * nu * Em;
        Db(2, 1) = fb * nu * Em;
        Db(3, 3) = fb * Em * hv;
    }
    quad_bending_bmatrix(B, w.A, DN, DP);
    // Warped elements (node 1 offset) couple all six freedoms through the warping columns.
    const int lo = h(1) == 0.0 ? 3 : 1, hi = h(1) == 0.0 ? 5 : 6;
    for (int a = 1; a <= n; ++a) {
        for (int i = lo; i <= hi; ++i) {
            const int ca = 6 * (a - 1) + i;
            double e[3];
            for (int r = 1; r <= 3; ++r) {
                e[r - 1] = Db(r, 1) * B(1, ca) + Db(r, 2) * B(2, ca) + Db(r, 3) * B(3, ca);
            }
            for (int b = 1; b <= n; ++b) {
                for (int j = lo; j <= hi; ++j) {
                    const int cb = 6 * (b - 1) + j;
                    K(ca, cb) = K(ca, cb) + (e[0] * B(1, cb) + e[1] * B(2, cb) + e[2] * B(3, cb));
                }
            }
        }
    }
}

void ElementLibrary::quad_edge_shear_strain(double xi, double eta, const FixedMatrix<2, 2>& G,
                                            FixedMatrix<4, 12>& A, FixedMatrix<2, 12>& Bs,
                                            double scale) const
{
    const QuadEdgeBlock& e = blocks_.quad_edge_block;
    quad_edge_matrix(A);
    double E[2][4];
    const double f[4] = {-(1.0 - eta) * e.L[0] * e.PHI[0], -(1.0 + xi) * e.L[1] * e.PHI[1],
                         (1.0 + eta) * e.L[2] * e.PHI[2], (1.0 - xi) * e.L[3] * e.PHI[3]};
    const int gc[4] = {1, 2, 1, 2};
    for (int k = 0; k < 4; ++k) {
        E[0][k] = f[k] * G(1, gc[k]);
        E[1][k] = f[k] * G(2, gc[k]);
    }
    for (int c = 1; c <= 12; ++c) {
        for (int r = 1; r <= 2; ++r) {
            double s = 0.0;
            for (int k = 1; k <= 4; ++k) {
                s += E[r - 1][k - 1] * A(k, c);
            }
            Bs(r, c) = scale * s;  // 1 in the stiffness, 1/4 in the results
        }
    }
}

void ElementLibrary::quad_shear_stiffness(int n, int N, double fs, double xi, double eta,
                                          const FixedMatrix<2, 2>& G, MatView K,
                                          const FixedMatrix<2, 2>& Ds)
{
    (void)N;
    auto& w = plate_.quad_thick;
    quad_edge_shear_strain(xi, eta, G, w.A, w.Bs, 1.0);
    const bool ortho = blocks_.material_block.material_type == 1;
    for (int a = 1; a <= n; ++a) {
        for (int d = 1; d <= 3; ++d) {
            const int ca = 3 * (a - 1) + d;
            for (int b = 1; b <= n; ++b) {
                for (int f = 1; f <= 3; ++f) {
                    const int cb = 3 * (b - 1) + f;
                    double v;
                    if (ortho) {
                        v = 0.0;
                        for (int r = 1; r <= 2; ++r) {
                            for (int s = 1; s <= 2; ++s) {
                                v += w.Bs(r, ca) * Ds(r, s) * w.Bs(s, cb);
                            }
                        }
                    } else {
                        v = fs * (w.Bs(1, ca) * w.Bs(1, cb) + w.Bs(2, ca) * w.Bs(2, cb));
                    }
                    K(6 * (a - 1) + 2 + d, 6 * (b - 1) + 2 + f) += v;
                }
            }
        }
    }
}

void ElementLibrary::quad_thick_stiffness(MatView K, MatView W, int N, ConstMatView X,
                                          ConstMatView Y, ConstMatView Z, const Mat33& T,
                                          int flag)
{
    auto& w = plate_.quad_thick;
    const MaterialBlock& mat = blocks_.material_block;
    const double E = blocks_.E(), nu = blocks_.nu();
    const double Em = E / (1.0 - nu * nu), hv = (1.0 - nu) / 2.0;
    // Gs = G / 1.2: shear correction of the thick plate.
    const double Gs = E / (2.0 * (1.0 + nu)) / 1.2;
    double g1 = 0.0, g2 = 0.0;
    const bool ortho = mat.material_type == 1;
    if (ortho) {
        plane_elastic_matrix(0, w.Dp);
        g1 = mat.ortho(8) / 1.2;
        g2 = mat.ortho(9) / 1.2;
    }
    for (int k = 1; k <= 4; ++k) {
        w.P(1, k) = X(k);
        w.P(2, k) = Y(k);
        w.P(3, k) = Z(k);
    }
    quad_thick_geometry(w.P, T, w.XL, w.h);
    for (int j = 1; j <= N; ++j) {
        for (int i = 1; i <= N; ++i) {
            K(i, j) = 0.0;
        }
    }
    w.F.fill(0.0);

    quad_membrane_stiffness(12, w.XL, w.DN, Em, nu, blocks_.membrane_thickness(), w.Km, w.H,
                            w.F, 0);
    for (int a = 1; a <= 4; ++a) {
        for (int b = 1; b <= 4; ++b) {
            for (int p = 1; p <= 2; ++p) {
                for (int q = 1; q <= 2; ++q) {
                    K(6 * (a - 1) + p, 6 * (b - 1) + q) = w.Km(2 * (a - 1) + p, 2 * (b - 1) + q);
                }
            }
        }
    }
    w.B.fill(0.0);
    // Warping is taken from node 1's offset alone.
    const bool warped = w.h(1) != 0.0;
    if (warped) {
        quad_warp_matrix(w.XL, w.h, w.B);
    }
    const double tb = blocks_.bending_thickness();
    const double c = tb * tb / 12.0;
    quad_edge_shear(w.XL, tb, nu);

    for (int i = 1; i <= 2; ++i) {
        for (int j = 1; j <= 2; ++j) {
            double xi, wi, eta, wj, detJ;
            gauss_points(2, i, xi, wi);
            gauss_points(2, j, eta, wj);
            quad4_shape(xi, eta, w.DN, 1);
            quad_midside_derivs(xi, eta, w.DP);
            jacobian_2d_pair(4, w.XL, w.DN, w.DP, detJ, w.G);
            const double fb = wj * wi * detJ * tb * c;
            quad_bending_stiffness(4, N, fb, nu, Em, hv, w.DN, w.DP, K, w.Dp, w.B, w.h);
            const double f0 = wi * wj * detJ * tb * 0.0625;
            const double fs = Gs * f0;
            w.Ds.fill(0.0);
            if (ortho) {
                w.Ds(1, 1) = g1 * f0;
                w.Ds(2, 2) = g2 * f0;
            }
            quad_shear_stiffness(4, N, fs, xi, eta, w.G, K, w.Ds);
        }
    }

    // Drilling spring: 1e-5 of the softest non-drilling diagonal, kept within 1e10 of the
    // stiffest.
    double kmin = 0.0, kmax = 0.0;
    bool first = true;
    for (int i = 1; i <= 24; ++i) {
        if (i % 6 == 0) continue;
        if (first || K(i, i) < kmin) kmin = K(i, i);
        if (first || K(i, i) > kmax) kmax = K(i, i);
        first = false;
    }
    double kd = 1e-5 * kmin;
    if (kmax / kd > 1e10) kd = kmax / 1e10;
    for (int a = 1; a <= 4; ++a) {
        K(6 * a, 6 * a) += kd;
    }
    if (warped) {
        for (int a = 1; a <= 4; ++a) {
            for (int b = a; b <= 4; ++b) {
                node_offset_transform(K.block(6 * a - 5, 6 * b - 5, 6, 6), w.h(a), w.h(b));
            }
        }
    }
    for (int r = 1; r <= 24; ++r) {
        for (int c2 = r + 1; c2 <= 24; ++c2) {
            K(c2, r) = K(r, c2);
        }
    }
    if (flag == 1) {
        rotate_matrix(K, W, T, 24);
    }
}

}  // namespace kvpvs::recovery
