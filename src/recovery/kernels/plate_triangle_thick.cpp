// Shear-deformable (discrete Kirchhoff-Mindlin) triangular plate/shell stiffness: the
// drilling membrane, bending with a quadratic tangential-rotation correction per side and
// transverse shear from the side shear ratios, all at the three side midpoints.
#include <cmath>

#include "recovery/kernels/element_library.h"
#include "recovery/kernels/plate_kernels.h"

namespace kvpvs::recovery {

void tri_local_geometry(ConstMatView X, ConstMatView Y, ConstMatView Z,
                        const Mat33& T, FixedMatrix<2, 3>& XY, double& area)
{
    for (int k = 1; k <= 3; ++k) {
        const double dx = X(k) - X(1), dy = Y(k) - Y(1), dz = Z(k) - Z(1);
        XY(1, k) = T(1, 1) * dx + T(1, 2) * dy + T(1, 3) * dz;
        XY(2, k) = T(2, 1) * dx + T(2, 2) * dy + T(2, 3) * dz;
    }
    // Heron's formula on the three-dimensional side lengths.
    auto dist = [&](int i, int j) {
        const double a = X(j) - X(i), b = Y(j) - Y(i), c = Z(j) - Z(i);
        return std::sqrt(a * a + b * b + c * c);
    };
    const double L12 = dist(1, 2), L23 = dist(2, 3), L31 = dist(3, 1);
    const double s = (L12 + L23 + L31) / 2.0;
    area = std::sqrt(s * (s - L12) * (s - L23) * (s - L31));
}

void ElementLibrary::tri_thick_stiffness(MatView K, MatView WORK, int N, ConstMatView X,
                                         ConstMatView Y, ConstMatView Z, const Mat33& T,
                                         double& area, int iflag)
{
    auto& w = plate_.tri_thick;
    const MaterialBlock& m = blocks_.material_block;
    tri_local_geometry(X, Y, Z, T, w.XY, area);
    for (int j = 1; j <= N; ++j) {
        for (int i = 1; i <= N; ++i) {
            K(i, j) = 0.0;
        }
    }
    w.DN.fill(0.0);

    const double E = blocks_.E(), nu = blocks_.nu();
    const double tm = blocks_.membrane_thickness(), tb = blocks_.bending_thickness();
    const double c = E / (1.0 - nu * nu), h = (1.0 - nu) / 2.0, G = E / (2.0 * (1.0 + nu));
    // The 1/(4 A^2) undoes the 2A scaling of both curvature matrices.
    const double D11 = (c * tb * tb * tb / 12.0) / (4.0 * area * area);
    const double D12 = D11 * nu, D33 = h * D11;
    // Gs = G / 1.2: shear correction of the thick plate.
    double Sx = tb * G / 1.2, Sy = Sx;
    w.Db.fill(0.0);
    if (m.material_type == 1) {
        plane_elastic_matrix(0, w.Dp);
        const int ij[5][2] = {{1, 1}, {2, 1}, {1, 2}, {2, 2}, {3, 3}};
        for (const auto& p : ij) {
            w.Db(p[0], p[1]) = (w.Dp(p[0], p[1]) * tb * tb * tb / 12.0) / (4.0 * area * area);
        }
        Sx = tb * m.ortho(8) / 1.2;
        Sy = tb * m.ortho(9) / 1.2;
    }
    tri_edge_shear(w.XY, tb, nu);

    for (int ip = 1; ip <= 3; ++ip) {
        double r, s, wt;
        tri_integration_point(3, ip, r, s, wt);
        const double WT = wt * 2.0 * area;
        tri3_shape(r, s, w.NL, 0);
        tri_shear_stiffness(Sx, Sy, WT, N, w.NL, K);
        tri6_shape(r, s, w.DN, 1);
        tri3_shape(r, s, w.DL, 1);
        tri_bending_stiffness(D11, D12, D33, WT, N, w.DN, K, w.Db);
        double det;
        tri_jacobian(3, w.DL, w.XY, w.DN, det, 2);
        tri_membrane_stiffness(3, det * wt * tm, nu, c, h, w.XY, w.DN, N, K);
    }
    if (iflag == 1) {
        rotate_matrix(K, WORK, T, 18);
    }
}

void ElementLibrary::tri_shear_stiffness(double sx, double sy, double wt, int N, ConstMatView NL,
                                         MatView K)
{
    (void)N;
    auto& w = plate_.tri_thick;
    tri_side_increments(w.M, 1.0, 0.5);
    tri_shear_edge_matrix(w.Ag, NL);
    for (int c = 1; c <= 9; ++c) {
        for (int r = 1; r <= 2; ++r) {
            double s = 0.0;
            for (int k = 1; k <= 3; ++k) {
                s += w.Ag(r, k) * w.M(k, c);
            }
            w.Bs(r, c) = s;
        }
    }
    const bool ortho = blocks_.material_block.material_type == 1;
    const double ds[2] = {wt * sx, wt * sy};
    for (int I = 1; I <= 3; ++I) {
        for (int J = 1; J <= 3; ++J) {
            for (int a = 1; a <= 3; ++a) {
                for (int b = 1; b <= 3; ++b) {
                    const int ca = 3 * (I - 1) + a, cb = 3 * (J - 1) + b;
                    double v;
                    if (ortho) {
                        v = w.Bs(1, ca) * ds[0] * w.Bs(1, cb) + w.Bs(2, ca) * ds[1] * w.Bs(2, cb);
                    } else {
                        v = wt * sx * (w.Bs(1, ca) * w.Bs(1, cb) + w.Bs(2, ca) * w.Bs(2, cb));
                    }
                    K(6 * (I - 1) + 2 + a, 6 * (J - 1) + 2 + b) += v;
                }
            }
        }
    }
}

void ElementLibrary::tri_bending_stiffness(double d11, double d12, double d33, double wt, int N,
                                           ConstMatView DN, MatView K, const Mat33& DB)
{
    (void)N;
    auto& w = plate_.tri_thick;
    Mat33& Db = w.Dw;
    Db.fill(0.0);
    if (blocks_.material_block.material_type == 1) {
        Db(1, 1) = wt * DB(1, 1);
        Db(2, 1) = wt * DB(2, 1);
        Db(1, 2) = wt * DB(1, 2);
        Db(2, 2) = wt * DB(2, 2);
        Db(3, 3) = wt * DB(3, 3);
    } else {
        Db(1, 1) = wt * d11;
        Db(2, 2) = wt * d11;
        Db(1, 2) = wt * d12;
        Db(2, 1) = wt * d12;
        Db(3, 3) = wt * d33;
    }
    tri_side_increments(w.An, 1.5, 0.75);
    tri_side_directions(w.X, DN);
    for (int c = 1; c <= 9; ++c) {
        for (int r = 1; r <= 3; ++r) {
            double s = 0.0;
            for (int k = 1; k <= 3; ++k) {
                s += w.X(r, k) * w.An(k, c);
            }
            w.Bb(r, c) = s;
        }
    }
    // Corner rotations: 2A times the derivatives of the linear field, beta-x = theta-y,
    // beta-y = -theta-x.
    const double x1 = w.XY(1, 1), x2 = w.XY(1, 2), x3 = w.XY(1, 3);
    const double y1 = w.XY(2, 1), y2 = w.XY(2, 2), y3 = w.XY(2, 3);
    w.Bb(1, 3) += y2 - y3;
    w.Bb(2, 2) += x2 - x3;
    w.Bb(3, 2) += y3 - y2;
    w.Bb(3, 3) += x3 - x2;
    w.Bb(1, 6) += y3 - y1;
    w.Bb(2, 5) += x3 - x1;
    w.Bb(3, 5) += y1 - y3;
    w.Bb(3, 6) += x1 - x3;
    w.Bb(1, 9) += y1 - y2;
    w.Bb(2, 8) += x1 - x2;
    w.Bb(3, 8) += y2 - y1;
    w.Bb(3, 9) += x2 - x1;
    for (int I = 1; I <= 3; ++I) {
        for (int J = 1; J <= 3; ++J) {
            for (int a = 1; a <= 3; ++a) {
                for (int b = 1; b <= 3; ++b) {
                    const int ca = 3 * (I - 1) + a, cb = 3 * (J - 1) + b;
                    double s = 0.0;
                    for (int k = 1; k <= 3; ++k) {
                        for (int l = 1; l <= 3; ++l) {
                            s += w.Bb(k, ca) * Db(k, l) * w.Bb(l, cb);
                        }
                    }
                    K(6 * (I - 1) + 2 + a, 6 * (J - 1) + 2 + b) += s;
                }
            }
        }
    }
}

}  // namespace kvpvs::recovery
