// Stresses of 3- and 4-node plates and shells for one result step, in the plate result
// array OUT(8,5): rows 1-3 membrane stresses, 4-6 extreme-fibre bending stresses
// (t/2) D kappa, 7 and 8 transverse shear (thick elements; row 7 the y, row 8 the x
// component); columns the centre and the four Gauss points nearest nodes 1..4 (triangles:
// the centroid in all five). A rebuilding call keeps every geometry- and material-only
// matrix; the other calls read U alone.
#include <cmath>

#include "recovery/kernels/element_library.h"
#include "recovery/kernels/plate_kernels.h"

namespace kvpvs::recovery {

namespace {

// Gauss-point indices (i for xi, j for eta) of points 2..5, in the order of nodes 1..4.
constexpr int kPointI[5] = {0, 1, 2, 2, 1};
constexpr int kPointJ[5] = {0, 1, 1, 2, 2};

void point_coordinates(int p, double& xi, double& eta)
{
    xi = 0.0;
    eta = 0.0;
    if (p == 1) return;
    double w;
    gauss_points(2, kPointI[p - 1], xi, w);
    gauss_points(2, kPointJ[p - 1], eta, w);
}

// Rows 4..8 of S (zeroed by the caller): bending Dt B_p U over the freedom range Lo..Hi and
// transverse shear Ds Bs_p U at the five points.
template <int Lo, int Hi>
void quad_thick_bending_shear(const QuadThickResultsWork& w, int n, ConstMatView U, MatView S)
{
    const Mat33& Dt = w.Dt;
    for (int p = 1; p <= 5; ++p) {
        const std::size_t q = static_cast<std::size_t>(p - 1);
        const FixedMatrix<3, 24>& B = w.B[q];
        const FixedMatrix<2, 12>& Bs = w.Bs[q];
        for (int k = 1; k <= n; ++k) {
            double kap[3];
            for (int r = 1; r <= 3; ++r) {
                double s = 0.0;
                for (int d = Lo; d <= Hi; ++d) s += B(r, 6 * (k - 1) + d) * U(d, k);
                kap[r - 1] = s;
            }
            for (int r = 1; r <= 3; ++r) {
                S(3 + r, p) += Dt(r, 1) * kap[0] + Dt(r, 2) * kap[1] + Dt(r, 3) * kap[2];
            }
            double g[2];
            for (int r = 1; r <= 2; ++r) {
                double s = 0.0;
                for (int d = 1; d <= 3; ++d) s += Bs(r, 3 * (k - 1) + d) * U(2 + d, k);
                g[r - 1] = s;
            }
            // Row 7 the y component, row 8 the x component.
            S(7, p) += w.Ds(2, 1) * g[0] + w.Ds(2, 2) * g[1];
            S(8, p) += w.Ds(1, 1) * g[0] + w.Ds(1, 2) * g[1];
        }
    }
}

// The freedom range is fixed at set-up: w, theta-x, theta-y of a flat element, all six of a
// warped one. Known at compile time, its sums unroll; their order stays.
void quad_thick_bending_shear(const QuadThickResultsWork& w, int n, ConstMatView U, MatView S)
{
    if (w.lo == 1 && w.hi == 6)
        quad_thick_bending_shear<1, 6>(w, n, U, S);
    else
        quad_thick_bending_shear<3, 5>(w, n, U, S);
}

}  // namespace

void ElementLibrary::quad_thick_results(int n, MatView U, MatView S, ConstMatView XYZ,
                                        const Mat33& T, int setup, int compact)
{
    quad_thick_results(plate_.quad_thick_results, n, U, S, XYZ, T, setup, compact);
}

void ElementLibrary::quad_thick_results(QuadThickResultsWork& w, int n, MatView U, MatView S,
                                        ConstMatView XYZ, const Mat33& T, int setup, int compact)
{
    // The single-step build always recovers the bubble amplitudes.
    const bool bubble = build_ == Build::single_step || blocks_.membrane_flag == 0;
    if (setup == 1) {
        const double E = blocks_.E(), nu = blocks_.nu(), tb = blocks_.bending_thickness();
        const double Em = E / (1.0 - nu * nu);
        quad_thick_result_moduli(w);
        for (int k = 1; k <= 4; ++k) {
            for (int i = 1; i <= 3; ++i) w.P(i, k) = XYZ(i, k);
        }
        quad_thick_geometry(w.P, T, w.XL, w.h);
        w.lo = w.h(1) == 0.0 ? 3 : 1;
        w.hi = w.h(1) == 0.0 ? 5 : 6;
        w.B[0].fill(0.0);
        quad_warp_matrix(w.XL, w.h, w.B[0]);
        for (int p = 2; p <= 5; ++p) w.B[static_cast<std::size_t>(p - 1)] = w.B[0];
        if (bubble) {
            w.F.fill(0.0);
            quad_membrane_stiffness(12, w.XL, w.DNw, Em, nu, blocks_.membrane_thickness(), w.Km,
                                    w.H, w.F, 1);
        }
        const double a1 = (-w.XL(1, 1) + w.XL(1, 2) + w.XL(1, 3) - w.XL(1, 4)) / 4.0;
        const double b1 = (-w.XL(2, 1) + w.XL(2, 2) + w.XL(2, 3) - w.XL(2, 4)) / 4.0;
        const double a2 = (-w.XL(1, 1) - w.XL(1, 2) + w.XL(1, 3) + w.XL(1, 4)) / 4.0;
        const double b2 = (-w.XL(2, 1) - w.XL(2, 2) + w.XL(2, 3) + w.XL(2, 4)) / 4.0;
        quad_edge_shear(w.XL, tb, nu);
        for (int p = 1; p <= 5; ++p) {
            const std::size_t q = static_cast<std::size_t>(p - 1);
            double xi, eta;
            point_coordinates(p, xi, eta);
            const double detJ = quad_thick_point_matrices(w, n, p, xi, eta);
            // The history build scales the bubbles by the point's determinant, the
            // single-step build by the centre's.
            const double g = build_ == Build::single_step ? 2.0 / (a1 * b2 - a2 * b1) : 2.0 / detJ;
            FixedMatrix<3, 4>& Bi = w.Bi[q];
            Bi.fill(0.0);
            Bi(1, 1) = -b2 * xi * g;
            Bi(3, 1) = a2 * xi * g;
            Bi(2, 2) = a2 * xi * g;
            Bi(3, 2) = -b2 * xi * g;
            Bi(1, 3) = b1 * eta * g;
            Bi(3, 3) = -a1 * eta * g;
            Bi(2, 4) = -a1 * eta * g;
            Bi(3, 4) = b1 * eta * g;
        }
    }

    if (bubble) {
        for (int i = 1; i <= 4; ++i) {
            double s = 0.0;
            for (int k = 1; k <= n; ++k) {
                s += w.H(i, 2 * k - 1) * U(1, k) + w.H(i, 2 * k) * U(2, k);
            }
            w.alpha(i) = -s;
        }
    }
    for (int p = 1; p <= 5; ++p) {
        for (int r = 1; r <= 8; ++r) S(r, p) = 0.0;
    }
    const Mat33& Dp = w.Dp;
    for (int p = 1; p <= 5; ++p) {
        const FixedMatrix<2, 4>& DN = w.DN[static_cast<std::size_t>(p - 1)];
        for (int k = 1; k <= n; ++k) {
            S(1, p) += Dp(1, 1) * DN(1, k) * U(1, k) + Dp(1, 2) * DN(2, k) * U(2, k);
            S(2, p) += Dp(2, 1) * DN(1, k) * U(1, k) + Dp(2, 2) * DN(2, k) * U(2, k);
            S(3, p) += Dp(3, 3) * (DN(2, k) * U(1, k) + DN(1, k) * U(2, k));
        }
    }
    quad_thick_bending_shear(w, n, U, S);
    if (bubble) {
        for (int p = 1; p <= 5; ++p) {
            const FixedMatrix<3, 4>& Bi = w.Bi[static_cast<std::size_t>(p - 1)];
            for (int i = 1; i <= 4; ++i) {
                const double e1 = w.alpha(i) * Bi(1, i), e2 = w.alpha(i) * Bi(2, i);
                const double e3 = w.alpha(i) * Bi(3, i);
                S(1, p) += Dp(1, 1) * e1 + Dp(1, 2) * e2;
                S(2, p) += Dp(2, 1) * e1 + Dp(2, 2) * e2;
                S(3, p) += Dp(3, 3) * e3;
            }
        }
    }
    if (compact == 1) {
        // Three membrane stresses per point, packed through U as scratch.
        for (int k = 1; k <= 24; ++k) U(k) = 0.0;
        for (int p = 1; p <= 5; ++p) {
            for (int r = 1; r <= 3; ++r) U(3 * (p - 1) + r) = S(r, p);
        }
        for (int k = 1; k <= 15; ++k) S(k) = U(k);
    }
}

void ElementLibrary::quad_thick_result_moduli(QuadThickResultsWork& w) const
{
    const MaterialBlock& m = blocks_.material_block;
    const double E = blocks_.E(), nu = blocks_.nu(), tb = blocks_.bending_thickness();
    const double Em = E / (1.0 - nu * nu), G = E / (2.0 * (1.0 + nu));
    w.Ds.fill(0.0);
    if (m.material_type == 1) {
        plane_elastic_matrix(0, w.Dp);
        w.Ds(1, 1) = m.ortho(8) / 1.2;
        w.Ds(2, 2) = m.ortho(9) / 1.2;
    } else {
        w.Dp.fill(0.0);
        w.Dp(1, 1) = Em;
        w.Dp(1, 2) = nu * Em;
        w.Dp(2, 1) = nu * Em;
        w.Dp(2, 2) = Em;
        w.Dp(3, 3) = G;
        w.Ds(1, 1) = G / 1.2;
        w.Ds(2, 2) = G / 1.2;
    }
    for (int j = 1; j <= 3; ++j) {
        for (int i = 1; i <= 3; ++i) w.Dt(i, j) = w.Dp(i, j) * tb / 2.0;
    }
}

double ElementLibrary::quad_thick_point_matrices(QuadThickResultsWork& w, int n, int p, double xi,
                                                 double eta) const
{
    const std::size_t q = static_cast<std::size_t>(p - 1);
    double detJ;
    quad4_shape(xi, eta, w.DN[q], 1);
    quad_midside_derivs(xi, eta, w.DP);
    jacobian_2d_pair(n, w.XL, w.DN[q], w.DP, detJ, w.G);
    quad_bending_bmatrix(w.B[q], w.A, w.DN[q], w.DP);
    quad_edge_shear_strain(xi, eta, w.G, w.A, w.Bs[q], 0.25);
    return detJ;
}

void ElementLibrary::quad_thick_results_full(int n, ConstMatView U, MatView S, ConstMatView X,
                                             ConstMatView Y, ConstMatView Z, const Mat33& T,
                                             int setup)
{
    auto& w = plate_.quad_thick_results_full;
    if (setup == 1) {
        quad_thick_result_moduli(w);
        for (int k = 1; k <= 4; ++k) {
            w.P(1, k) = X(k);
            w.P(2, k) = Y(k);
            w.P(3, k) = Z(k);
        }
        quad_thick_geometry(w.P, T, w.XL, w.h);
        // No warping correction: the offsets are left unused and only w, theta-x and
        // theta-y bend, as for a flat element.
        w.lo = 3;
        w.hi = 5;
        quad_edge_shear(w.XL, blocks_.bending_thickness(), blocks_.nu());
        for (int p = 1; p <= 5; ++p) {
            double xi, eta;
            point_coordinates(p, xi, eta);
            w.B[static_cast<std::size_t>(p - 1)].fill(0.0);
            quad_thick_point_matrices(w, n, p, xi, eta);
        }
    }
    for (int p = 1; p <= 5; ++p) {
        for (int r = 1; r <= 8; ++r) S(r, p) = 0.0;
    }
    quad_thick_bending_shear(w, n, U, S);
}

void ElementLibrary::quad_thin_results(int nnode, ConstMatView U, MatView OUT, ConstMatView XYZ,
                                       const Mat33& T, int istep, int mode)
{
    (void)mode;  // not read by the quadrilateral
    auto& w = plate_.quad_thin_results;
    const bool bubble = build_ == Build::single_step || blocks_.membrane_flag == 0;
    if (istep == 1) {
        const double E = blocks_.E(), nu = blocks_.nu(), tb = blocks_.bending_thickness();
        const double Ep = E / (1.0 - nu * nu), G = (E / (1.0 + nu)) * 0.5;
        if (blocks_.material_block.material_type == 1) {
            plane_elastic_matrix(0, w.D);
        } else {
            w.D.fill(0.0);
            w.D(1, 1) = Ep;
            w.D(2, 2) = Ep;
            w.D(1, 2) = nu * Ep;
            w.D(2, 1) = nu * Ep;
            w.D(3, 3) = G;
        }
        for (int j = 1; j <= 3; ++j) {
            for (int i = 1; i <= 3; ++i) w.Db(i, j) = w.D(i, j) * (tb * 0.5);
        }
        for (int k = 1; k <= 4; ++k) {
            for (int i = 1; i <= 3; ++i) w.XG(i, k) = XYZ(i, k);
        }
        quad_thin_geometry(w.XG, T, w.XL);
        const bool warped = w.XL(3, 1) != 0.0;
        w.lo = warped ? 1 : 3;
        w.hi = warped ? 6 : 5;
        for (auto& B : w.B) B.fill(0.0);
        quad_thin_edge_terms(w.XL, w.edge, w.B[0]);
        for (int k = 1; k <= 4; ++k) {
            w.XY(1, k) = w.XL(1, k);
            w.XY(2, k) = w.XL(2, k);
        }
        if (bubble) {
            w.F.fill(0.0);
            quad_membrane_stiffness(12, w.XY, w.DN, Ep, nu, blocks_.membrane_thickness(), w.Km,
                                    w.H, w.F, 1);
        }
        const double a1 = (-w.XL(1, 1) + w.XL(1, 2) + w.XL(1, 3) - w.XL(1, 4)) / 4.0;
        const double b1 = (-w.XL(2, 1) + w.XL(2, 2) + w.XL(2, 3) - w.XL(2, 4)) / 4.0;
        const double a2 = (-w.XL(1, 1) - w.XL(1, 2) + w.XL(1, 3) + w.XL(1, 4)) / 4.0;
        const double b2 = (-w.XL(2, 1) - w.XL(2, 2) + w.XL(2, 3) + w.XL(2, 4)) / 4.0;
        for (int p = 1; p <= 5; ++p) {
            const std::size_t q = static_cast<std::size_t>(p - 1);
            double xi, eta;
            point_coordinates(p, xi, eta);
            if (warped && p > 1) {
                for (int k = 1; k <= 4; ++k) {
                    for (int d : {1, 2, 6}) {
                        for (int r = 1; r <= 3; ++r) w.B[q](r, 6 * (k - 1) + d) = w.B[0](r, 6 * (k - 1) + d);
                    }
                }
            }
            quad_thin_shape(xi, eta, w.XL, w.S[q], w.detJ[q], nnode);
            quad_thin_bmatrix(w.S[q], w.edge, w.B[q]);
            const double r = 2.0 * xi / w.detJ[q], s = 2.0 * eta / w.detJ[q];
            FixedMatrix<3, 4>& Gb = w.Gb[q];
            Gb(1, 1) = -b2 * r;
            Gb(2, 1) = 0.0;
            Gb(3, 1) = a2 * r;
            Gb(1, 2) = 0.0;
            Gb(2, 2) = a2 * r;
            Gb(3, 2) = -b2 * r;
            Gb(1, 3) = b1 * s;
            Gb(2, 3) = 0.0;
            Gb(3, 3) = -a1 * s;
            Gb(1, 4) = 0.0;
            Gb(2, 4) = -a1 * s;
            Gb(3, 4) = b1 * s;
        }
    }

    if (bubble) {
        for (int k = 1; k <= 4; ++k) {
            double s = 0.0;
            for (int n = 1; n <= nnode; ++n) s += w.H(k, 2 * n - 1) * U(1, n) + w.H(k, 2 * n) * U(2, n);
            w.alpha(k) = -s;
        }
    }
    for (int p = 1; p <= 5; ++p) {
        for (int r = 1; r <= 8; ++r) OUT(r, p) = 0.0;
    }
    const Mat33& D = w.D;
    const Mat33& Db = w.Db;
    for (int p = 1; p <= 5; ++p) {
        const std::size_t q = static_cast<std::size_t>(p - 1);
        const FixedMatrix<3, 9>& S = w.S[q];
        const FixedMatrix<3, 24>& B = w.B[q];
        for (int n = 1; n <= nnode; ++n) {
            const double ex = S(1, n) * U(1, n), ey = S(2, n) * U(2, n);
            const double gxy = S(2, n) * U(1, n) + S(1, n) * U(2, n);
            OUT(1, p) += D(1, 1) * ex + D(1, 2) * ey;
            OUT(2, p) += D(2, 1) * ex + D(2, 2) * ey;
            OUT(3, p) += D(3, 3) * gxy;
            double kap[3];
            for (int r = 1; r <= 3; ++r) {
                double s = 0.0;
                for (int d = w.lo; d <= w.hi; ++d) s += B(r, 6 * (n - 1) + d) * U(d, n);
                kap[r - 1] = -s;
            }
            for (int r = 1; r <= 3; ++r) {
                OUT(3 + r, p) += Db(r, 1) * kap[0] + Db(r, 2) * kap[1] + Db(r, 3) * kap[2];
            }
            OUT(7, p) = 0.0;
            OUT(8, p) = 0.0;
        }
    }
    if (bubble) {
        for (int p = 1; p <= 5; ++p) {
            const FixedMatrix<3, 4>& Gb = w.Gb[static_cast<std::size_t>(p - 1)];
            for (int k = 1; k <= 4; ++k) {
                const double e1 = w.alpha(k) * Gb(1, k), e2 = w.alpha(k) * Gb(2, k);
                const double e3 = w.alpha(k) * Gb(3, k);
                OUT(1, p) += D(1, 2) * e2 + D(1, 1) * e1;
                OUT(2, p) += D(2, 2) * e2 + D(2, 1) * e1;
                OUT(3, p) += D(3, 3) * e3;
            }
        }
    }
}

void ElementLibrary::tri_results_common(TriResultsWork& w, ConstMatView XYZ, const Mat33& T,
                                        double r, double s)
{
    const double E = blocks_.E(), nu = blocks_.nu();
    w.t = blocks_.bending_thickness();
    const double Ep = E / (1.0 - nu * nu), h = (1.0 - nu) / 2.0;
    for (int i = 1; i <= 3; ++i) {
        w.x(i) = XYZ(1, i);
        w.y(i) = XYZ(2, i);
        w.z(i) = XYZ(3, i);
    }
    tri_local_geometry(w.x, w.y, w.z, T, w.XY, w.A);
    if (blocks_.material_block.material_type == 1) {
        plane_elastic_matrix(0, w.D);
    } else {
        w.D.fill(0.0);
        w.D(1, 1) = Ep;
        w.D(2, 2) = Ep;
        w.D(1, 2) = nu * Ep;
        w.D(2, 1) = nu * Ep;
        w.D(3, 3) = h * Ep;
    }
    tri6_shape(r, s, w.DV, 1);
    tri3_shape(r, s, w.DL, 1);
}

void ElementLibrary::tri_results_membrane(const TriResultsWork& w, ConstMatView U,
                                          MatView OUT) const
{
    const FixedMatrix<3, 9>& Bm = w.Bm;
    for (int n = 1; n <= 3; ++n) {
        const int cu = 3 * (n - 1) + 1, cv = cu + 1, cr = cu + 2;
        const double u = U(1, n), v = U(2, n), rz = U(6, n);
        const double ex = Bm(1, cu) * u + Bm(1, cr) * rz;
        const double ey = Bm(2, cv) * v + Bm(2, cr) * rz;
        const double gxy = Bm(3, cu) * u + Bm(3, cv) * v + Bm(3, cr) * rz;
        OUT(1, 1) += w.D(1, 1) * ex + w.D(1, 2) * ey;
        OUT(2, 1) += w.D(2, 1) * ex + w.D(2, 2) * ey;
        OUT(3, 1) += w.D(3, 3) * gxy;
    }
}

namespace {

void finish_triangle(MatView OUT, double k1, double k2, double k3, const Mat33& D, double t,
                     double A)
{
    // The curvature sums are 2A times the curvatures: t/4/A makes (t/2) D kappa.
    const double f = (t * 0.25) / A;
    OUT(4, 1) = (D(1, 1) * k1 + D(1, 2) * k2) * f;
    OUT(5, 1) = (D(2, 1) * k1 + D(2, 2) * k2) * f;
    OUT(6, 1) = D(3, 3) * k3 * f;
    for (int p = 2; p <= 5; ++p) {
        for (int r = 1; r <= 8; ++r) OUT(r, p) = OUT(r, 1);
    }
}

}  // namespace

void ElementLibrary::tri_thick_results(int& nnode, ConstMatView U, MatView OUT, ConstMatView XYZ,
                                       const Mat33& T, int istep)
{
    tri_thick_results(plate_.tri_thick_results, nnode, U, OUT, XYZ, T, istep);
}

void ElementLibrary::tri_thick_results(TriResultsWork& w, int& nnode, ConstMatView U, MatView OUT,
                                       ConstMatView XYZ, const Mat33& T, int istep)
{
    if (istep == 1) {
        double r, s;
        tri_sample_point(4, 1, r, s);
        tri_results_common(w, XYZ, T, r, s);
        const MaterialBlock& m = blocks_.material_block;
        const double E = blocks_.E(), nu = blocks_.nu();
        const double Gs = (E / (2.0 * (1.0 + nu))) / 1.2;
        // The orthotropic moduli enter as they stand, without the 1/1.2 of the isotropic
        // case and of the stiffness.
        w.Gb1 = m.material_type == 1 ? m.ortho(8) : Gs;
        w.Gb2 = m.material_type == 1 ? m.ortho(9) : Gs;
        tri3_shape(r, s, w.L, 0);
        tri_edge_shear(w.XY, w.t, nu);
        w.M1.fill(0.0);
        tri_rotation_curvature(w.M1);
        tri_increment_curvature(w.M2, w.DV);  // natural derivatives
        tri_shear_strain_matrix(w.S, w.L);
        double det;
        tri_jacobian(3, w.DL, w.XY, w.DV, det, 2);
        tri_drilling_strain_matrix(w.XY, w.DV, w.Bm);
        nnode = 3;
    }
    for (int p = 1; p <= 5; ++p) {
        for (int r = 1; r <= 8; ++r) OUT(r, p) = 0.0;
    }
    tri_results_membrane(w, U, OUT);
    double k1 = 0.0, k2 = 0.0, k3 = 0.0, g1 = 0.0, g2 = 0.0;
    for (int n = 1; n <= 3; ++n) {
        const double wv = U(3, n), tx = U(4, n), ty = U(5, n);
        tri_add_curvature(n, k1, k2, k3, w.M1, wv, tx, ty);
        tri_add_increment_curvature(n, k1, k2, k3, w.M2, wv, tx, ty);
        tri_add_shear_strain(n, g1, g2, w.S, wv, tx, ty);
    }
    // Row 7 the y component, row 8 the x component.
    OUT(7, 1) = w.Gb2 * g2;
    OUT(8, 1) = w.Gb1 * g1;
    finish_triangle(OUT, k1, k2, k3, w.D, w.t, w.A);
}

void ElementLibrary::tri_thin_results(int& nnode, ConstMatView U, MatView OUT, ConstMatView XYZ,
                                      const Mat33& T, int istep, int mode)
{
    auto& w = plate_.tri_thin_results;
    if (mode == 2 || (mode == 1 && istep == 1)) {
        const double r = 1.0 / 3.0, s = 1.0 / 3.0;
        tri_results_common(w, XYZ, T, r, s);
        double det;
        tri_jacobian(3, w.DL, w.XY, w.DV, det, 2);
        tri_drilling_strain_matrix(w.XY, w.DV, w.Bm);
        tri_dkt_geometry(w.XY);
        w.L(1) = 1.0 - r - s;
        w.L(2) = r;
        w.L(3) = s;
        nnode = 3;
    }
    for (int p = 1; p <= 5; ++p) {
        for (int r = 1; r <= 8; ++r) OUT(r, p) = 0.0;
    }
    tri_results_membrane(w, U, OUT);
    double k[3] = {0.0, 0.0, 0.0};
    for (int P = 1; P <= 3; ++P) {
        for (int n = 1; n <= 3; ++n) {
            tri_dkt_alpha(P, n, w.alpha);
            tri_add_dkt_curvature(k[P - 1], w.alpha, w.L, U(3, n), U(4, n), U(5, n));
        }
    }
    finish_triangle(OUT, k[0], k[1], k[2], w.D, w.t, w.A);
}

}  // namespace kvpvs::recovery
