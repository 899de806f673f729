// Thin 4-node flat shell: incompatible-mode membrane, discrete Kirchhoff bending over 2x2
// Gauss points, warping correction from node 1's offset about the mean plane, a drilling
// spring distributed by nodal area, and node offsets. Its variant replaces membrane and
// spring by a membrane that interpolates the drilling rotations.
#include <algorithm>
#include <cmath>

#include "recovery/kernels/element_library.h"
#include "recovery/kernels/plate_kernels.h"

namespace kvpvs::recovery {

void quad_thin_edge_terms(ConstMatView XL, QuadThinEdgeTerms& e, FixedMatrix<3, 24>& B)
{
    double s1 = 0.0, s2 = 0.0, s3 = 0.0;
    for (int k = 1; k <= 4; ++k) {
        const int j = k % 4 + 1;
        const double dx = XL(1, j) - XL(1, k), dy = XL(2, j) - XL(2, k), dz = XL(3, j) - XL(3, k);
        const double L2 = dx * dx + dy * dy;
        e.P(k) = -1.5 * dx / L2;
        e.Q(k) = -0.75 * dx * dy / L2;
        e.R(k) = 0.75 * dx * dx / L2;
        e.T(k) = -1.5 * dy / L2;
        e.U(k) = 0.75 * dy * dy / L2;
        e.dy8(k) = dy / 8.0;
        e.mdx8(k) = -dx / 8.0;
        s1 += dy * dy * dz / L2;
        s2 += dx * dx * dz / L2;
        s3 += -2.0 * dx * dy * dz / L2;
    }
    if (XL(3, 1) == 0.0) {
        return;
    }
    // The warping columns carry the opposite sign of the thick element's.
    const double p1 = XL(1, 3) - XL(1, 1), q1 = XL(2, 3) - XL(2, 1);
    const double p2 = XL(1, 4) - XL(1, 2), q2 = XL(2, 4) - XL(2, 2);
    const double A2 = 2.0 * (p1 * q2 - q1 * p2);
    const double Rw = A2 * A2 / 4.0;
    const double s[3] = {s1, s2, s3};
    for (int r = 1; r <= 3; ++r) {
        const double v = s[r - 1];
        B(r, 1) = -(p2 / Rw) * v;
        B(r, 2) = -(q2 / Rw) * v;
        B(r, 6) = -v / A2;
        B(r, 7) = (p1 / Rw) * v;
        B(r, 8) = (q1 / Rw) * v;
        B(r, 12) = B(r, 6);
        B(r, 13) = -B(r, 1);
        B(r, 14) = -B(r, 2);
        B(r, 18) = B(r, 6);
        B(r, 19) = -B(r, 7);
        B(r, 20) = -B(r, 8);
        B(r, 24) = B(r, 6);
    }
}

void quad_thin_shape(double xi, double eta, ConstMatView XL, FixedMatrix<3, 9>& S, double& detJ,
                     int nnode)
{
    const double xm = 1.0 - xi, xp = 1.0 + xi, em = 1.0 - eta, ep = 1.0 + eta;
    const double xx = 1.0 - xi * xi, ee = 1.0 - eta * eta;
    // Natural derivatives (rows 1, 2) and values (row 3).
    const double d[9][3] = {
        {-em / 4.0, -xm / 4.0, xm * em / 4.0},
        {em / 4.0, -xp / 4.0, xp * em / 4.0},
        {ep / 4.0, xp / 4.0, xp * ep / 4.0},
        {-ep / 4.0, xm / 4.0, xm * ep / 4.0},
        {-xi * em, -xx / 2.0, xx * em / 2.0},
        {ee / 2.0, -eta * xp, xp * ee / 2.0},
        {-xi * ep, xx / 2.0, xx * ep / 2.0},
        {-ee / 2.0, -eta * xm, xm * ee / 2.0},
        {-2.0 * xi * ee, -2.0 * eta * xx, xx * ee},
    };
    for (int c = 1; c <= 9; ++c) {
        S(1, c) = d[c - 1][0];
        S(2, c) = d[c - 1][1];
        S(3, c) = d[c - 1][2];
    }
    double J11 = 0.0, J12 = 0.0, J21 = 0.0, J22 = 0.0;
    for (int k = 1; k <= nnode; ++k) {
        J11 += S(1, k) * XL(1, k);
        J12 += S(1, k) * XL(2, k);
        J21 += S(2, k) * XL(1, k);
        J22 += S(2, k) * XL(2, k);
    }
    detJ = J11 * J22 - J21 * J12;
    for (int c = 1; c <= 9; ++c) {
        const double a = S(1, c), b = S(2, c);
        S(1, c) = (J22 * a - J12 * b) / detJ;
        S(2, c) = (J11 * b - J21 * a) / detJ;
    }
}

void quad_thin_bmatrix(const FixedMatrix<3, 9>& S, const QuadThinEdgeTerms& e,
                       FixedMatrix<3, 24>& B)
{
    for (int k = 1; k <= 4; ++k) {
        const int m = k, l = k == 1 ? 4 : k - 1;
        const double Nmx = S(1, 4 + m), Nmy = S(2, 4 + m), Nlx = S(1, 4 + l), Nly = S(2, 4 + l);
        const double Nkx = S(1, k), Nky = S(2, k);
        const int c = 6 * (k - 1);
        B(1, c + 3) = e.P(m) * Nmx - e.P(l) * Nlx;
        B(2, c + 3) = e.T(m) * Nmy - e.T(l) * Nly;
        B(3, c + 3) = e.T(m) * Nmx - e.T(l) * Nlx + e.P(m) * Nmy - e.P(l) * Nly;
        B(1, c + 4) = e.Q(l) * Nlx + e.Q(m) * Nmx;
        B(2, c + 4) = -e.U(m) * Nmy - e.U(l) * Nly + Nky;
        B(3, c + 4) = -e.U(m) * Nmx - e.U(l) * Nlx + Nkx + e.Q(m) * Nmy + e.Q(l) * Nly;
        B(1, c + 5) = e.R(l) * Nlx + e.R(m) * Nmx - Nkx;
        B(2, c + 5) = -e.Q(m) * Nmy - e.Q(l) * Nly;
        B(3, c + 5) = e.R(l) * Nly + e.R(m) * Nmy - Nky - e.Q(l) * Nlx - e.Q(m) * Nmx;
    }
}

void node_offset_transform_24(MatView Kab, double ha, double hb)
{
    node_offset_transform(Kab, ha, hb);
}

void drilling_membrane_terms(const FixedMatrix<3, 9>& S, const QuadThinEdgeTerms& e,
                             FixedMatrix<3, 12>& Bm)
{
    // Mid-side interpolation of the drilling rotations: along edge m from node i to node j,
    // u gains Nm dy/8 (theta_j - theta_i) and v gains -Nm dx/8 (theta_j - theta_i), the
    // normal bulge of a side whose end rotations differ. Node k ends edge l = k-1 and
    // starts edge m = k.
    for (int k = 1; k <= 4; ++k) {
        const int m = k, l = k == 1 ? 4 : k - 1;
        const double Nmx = S(1, 4 + m), Nmy = S(2, 4 + m), Nlx = S(1, 4 + l), Nly = S(2, 4 + l);
        const int c = 3 * k;
        Bm(1, c) = e.dy8(l) * Nlx - e.dy8(m) * Nmx;
        Bm(2, c) = e.mdx8(l) * Nly - e.mdx8(m) * Nmy;
        Bm(3, c) = e.dy8(l) * Nly - e.dy8(m) * Nmy + e.mdx8(l) * Nlx - e.mdx8(m) * Nmx;
    }
}

void quad_drilling_shape(double xi, double eta, ConstMatView XL, const QuadThinEdgeTerms& e,
                         FixedMatrix<3, 9>& S, FixedMatrix<3, 12>& Bm, double& detJ, int nnode)
{
    quad_thin_shape(xi, eta, XL, S, detJ, nnode);
    for (int k = 1; k <= 4; ++k) {
        const int c = 3 * (k - 1);
        Bm(1, c + 1) = S(1, k);
        Bm(2, c + 1) = 0.0;
        Bm(3, c + 1) = S(2, k);
        Bm(1, c + 2) = 0.0;
        Bm(2, c + 2) = S(2, k);
        Bm(3, c + 2) = S(1, k);
    }
    drilling_membrane_terms(S, e, Bm);
}

void ElementLibrary::quad_thin_prepare(ConstMatView X, ConstMatView Y, ConstMatView Z,
                                       const Mat33& T, bool isotropic)
{
    auto& w = plate_.quad_thin;
    const double E = blocks_.E(), nu = blocks_.nu();
    const double Em = E / (1.0 - nu * nu);
    if (!isotropic && blocks_.material_block.material_type == 1) {
        plane_elastic_matrix(0, w.Db);
    } else {
        w.Db.fill(0.0);
        w.Db(1, 1) = Em;
        w.Db(2, 2) = Em;
        w.Db(1, 2) = nu * Em;
        w.Db(2, 1) = nu * Em;
        w.Db(3, 3) = 0.5 * E / (1.0 + nu);
    }
    for (int k = 1; k <= 4; ++k) {
        w.XG(1, k) = X(k);
        w.XG(2, k) = Y(k);
        w.XG(3, k) = Z(k);
    }
    quad_thin_geometry(w.XG, T, w.XL);
    w.B.fill(0.0);
    quad_thin_edge_terms(w.XL, w.edge, w.B);
    w.work.fill(0.0);
}

void ElementLibrary::quad_thin_bending()
{
    auto& w = plate_.quad_thin;
    const double tb = blocks_.bending_thickness();
    const double c = tb * tb * tb / 12.0;
    // Only node 1's offset decides: about the mean plane a warped element's offsets
    // alternate in sign, so node 1's is non-zero whenever any is.
    const bool warped = w.XL(3, 1) != 0.0;
    const int lo = warped ? 1 : 3, hi = warped ? 6 : 5;
    for (int i = 1; i <= 2; ++i) {
        for (int j = 1; j <= 2; ++j) {
            double xi, wi, eta, wj, detJ;
            gauss_points(2, i, xi, wi);
            gauss_points(2, j, eta, wj);
            quad_thin_shape(xi, eta, w.XL, w.S, detJ, 4);
            const double f = wj * wi * detJ * c;
            quad_thin_bmatrix(w.S, w.edge, w.B);
            for (int a = 1; a <= 4; ++a) {
                for (int b = a; b <= 4; ++b) {
                    for (int p = lo; p <= hi; ++p) {
                        const int ca = 6 * (a - 1) + p;
                        for (int q = lo; q <= hi; ++q) {
                            const int cb = 6 * (b - 1) + q;
                            double s = 0.0;
                            for (int r = 1; r <= 3; ++r) {
                                for (int t = 1; t <= 3; ++t) {
                                    s += w.B(r, ca) * f * w.Db(r, t) * w.B(t, cb);
                                }
                            }
                            w.work(ca, cb) += s;
                        }
                    }
                }
            }
        }
    }
}

void ElementLibrary::quad_thin_finish(MatView K, MatView W, const Mat33& T, int flag)
{
    auto& w = plate_.quad_thin;
    MatView work = w.work;
    for (int r = 1; r <= 24; ++r) {
        for (int cc = r + 1; cc <= 24; ++cc) {
            w.work(cc, r) = w.work(r, cc);
        }
    }
    if (w.XL(3, 1) != 0.0) {
        for (int a = 1; a <= 4; ++a) {
            for (int b = a; b <= 4; ++b) {
                node_offset_transform_24(work.block(6 * a - 5, 6 * b - 5, 6, 6), w.XL(3, a),
                                         w.XL(3, b));
            }
        }
    }
    for (int cc = 1; cc <= 24; ++cc) {
        for (int r = 1; r <= cc; ++r) {
            K(r, cc) = w.work(r, cc);
            K(cc, r) = w.work(r, cc);
        }
    }
    if (flag == 1) {
        rotate_matrix(K, W, T, 24);
    }
}

void ElementLibrary::quad_thin_stiffness(MatView K, MatView W, int N, ConstMatView X,
                                         ConstMatView Y, ConstMatView Z, const Mat33& T,
                                         int flag)
{
    (void)N;
    auto& w = plate_.quad_thin;
    const double E = blocks_.E(), nu = blocks_.nu();
    const double Em = E / (1.0 - nu * nu);
    quad_thin_prepare(X, Y, Z, T, false);
    for (int k = 1; k <= 4; ++k) {
        w.XY(1, k) = w.XL(1, k);
        w.XY(2, k) = w.XL(2, k);
    }
    w.F.fill(0.0);
    quad_membrane_stiffness(12, w.XY, w.DN, Em, nu, blocks_.membrane_thickness(), w.Km, w.H,
                            w.F, 0);
    for (int a = 1; a <= 4; ++a) {
        for (int b = 1; b <= 4; ++b) {
            for (int p = 1; p <= 2; ++p) {
                for (int q = 1; q <= 2; ++q) {
                    w.work(6 * (a - 1) + p, 6 * (b - 1) + q) = w.Km(2 * (a - 1) + p, 2 * (b - 1) + q);
                }
            }
        }
    }
    quad_thin_bending();

    // Drilling spring 1e-5 kmin, shared among the nodes by their tributary areas.
    double kmin = w.work(1, 1);
    for (int i = 1; i <= 24; ++i) {
        if (i % 6 != 0 && w.work(i, i) < kmin) kmin = w.work(i, i);
    }
    double atot = 0.0;
    for (int k = 1; k <= 4; ++k) {
        const int kn = k % 4 + 1, kp = k == 1 ? 4 : k - 1;
        const double mpx = (w.XL(1, k) + w.XL(1, kn)) / 2.0, mpy = (w.XL(2, k) + w.XL(2, kn)) / 2.0;
        const double mmx = (w.XL(1, kp) + w.XL(1, k)) / 2.0, mmy = (w.XL(2, kp) + w.XL(2, k)) / 2.0;
        w.area(k) = 0.5 * std::fabs((mpy - mmy) * (0.0 - w.XL(1, k)) - (0.0 - w.XL(2, k)) * (mpx - mmx));
        atot += w.area(k);
    }
    for (int k = 1; k <= 4; ++k) {
        w.work(6 * k, 6 * k) += 1e-5 * kmin * w.area(k) / atot;
    }
    quad_thin_finish(K, W, T, flag);
}

void ElementLibrary::quad_drilling_thin_stiffness(MatView K, MatView W, int N, ConstMatView X,
                                                  ConstMatView Y, ConstMatView Z,
                                                  const Mat33& T, int flag)
{
    (void)N;
    auto& w = plate_.quad_thin;
    quad_thin_prepare(X, Y, Z, T, true);
    // Membrane over u, v, theta-z with the plane-stress matrix of the bending (isotropic).
    // Only the upper triangle counts; the mirroring in quad_thin_finish fills the rest.
    constexpr int kDof[3] = {1, 2, 6};
    const double tm = blocks_.membrane_thickness();
    for (int i = 1; i <= 2; ++i) {
        for (int j = 1; j <= 2; ++j) {
            double xi, wi, eta, wj, detJ;
            gauss_points(2, i, xi, wi);
            gauss_points(2, j, eta, wj);
            quad_drilling_shape(xi, eta, w.XL, w.edge, w.S, w.Bm, detJ, 4);
            const double f = wj * wi * detJ * tm;
            for (int a = 1; a <= 4; ++a) {
                for (int b = a; b <= 4; ++b) {
                    for (int p = 1; p <= 3; ++p) {
                        const int ma = 3 * (a - 1) + p;
                        for (int q = 1; q <= 3; ++q) {
                            const int mb = 3 * (b - 1) + q;
                            double s = 0.0;
                            for (int r = 1; r <= 3; ++r) {
                                for (int t = 1; t <= 3; ++t) {
                                    s += w.Bm(r, ma) * f * w.Db(r, t) * w.Bm(t, mb);
                                }
                            }
                            w.work(6 * (a - 1) + kDof[p - 1], 6 * (b - 1) + kDof[q - 1]) += s;
                        }
                    }
                }
            }
        }
    }
    quad_thin_bending();
    quad_thin_finish(K, W, T, flag);
}

void quad_thin_geometry(const FixedMatrix<3, 4>& XG, const Mat33& T, FixedMatrix<3, 4>& XL)
{
    double pc[3];
    for (int i = 1; i <= 3; ++i) {
        pc[i - 1] = (XG(i, 1) + XG(i, 2) + XG(i, 3) + XG(i, 4)) * 0.25;
    }
    double m = 0.0;
    for (int k = 1; k <= 4; ++k) {
        for (int r = 1; r <= 3; ++r) {
            double s = 0.0;
            for (int i = 1; i <= 3; ++i) {
                s += (XG(i, k) - pc[i - 1]) * T(r, i);
            }
            XL(r, k) = s;
        }
        m = std::max({m, std::fabs(XL(1, k)), std::fabs(XL(2, k))});
    }
    // The thin element's flatness tolerance is 1e-7 (the thick one's 1e-5).
    for (int k = 1; k <= 4; ++k) {
        if (std::fabs(XL(3, k)) < m * 1e-7) XL(3, k) = 0.0;
    }
}

}  // namespace kvpvs::recovery
