// Strain matrices and accumulators of the triangular plate results: the sample points,
// the curvature matrices of the corner rotations and of the side rotation increments, the
// transverse shear-strain matrix, and the least-squares fit of four samples to the corners.
#include "recovery/kernels/element_library.h"
#include "recovery/kernels/plate_kernels.h"

namespace kvpvs::recovery {

void tri_sample_point(int npt, int i, double& r, double& s)
{
    r = 1.0 / 3.0;
    s = 1.0 / 3.0;
    if (npt != 4) {
        return;
    }
    if (i == 2) {
        r = 1.0 / 6.0;
        s = 1.0 / 6.0;
    } else if (i == 3) {
        r = 2.0 / 3.0;
        s = 1.0 / 6.0;
    } else if (i == 4) {
        r = 1.0 / 6.0;
        s = 2.0 / 3.0;
    }
}

void tri_add_curvature(int n, double& r1, double& r2, double& r3, ConstMatView M, double p1,
                       double p2, double p3)
{
    r1 += M(1, 3 * n - 2) * p1 + M(1, 3 * n - 1) * p2 + M(1, 3 * n) * p3;
    r2 += M(2, 3 * n - 2) * p1 + M(2, 3 * n - 1) * p2 + M(2, 3 * n) * p3;
    r3 += M(3, 3 * n - 2) * p1 + M(3, 3 * n - 1) * p2 + M(3, 3 * n) * p3;
}

void tri_add_increment_curvature(int n, double& r1, double& r2, double& r3, ConstMatView M,
                                 double p1, double p2, double p3)
{
    r1 += M(1, 3 * n - 2) * p1 + M(1, 3 * n - 1) * p2 + M(1, 3 * n) * p3;
    r2 += M(2, 3 * n - 2) * p1 + M(2, 3 * n - 1) * p2 + M(2, 3 * n) * p3;
    r3 += M(3, 3 * n - 2) * p1 + M(3, 3 * n - 1) * p2 + M(3, 3 * n) * p3;
}

void tri_add_shear_strain(int n, double& r1, double& r2, ConstMatView M, double p1, double p2,
                          double p3)
{
    r1 += M(1, 3 * n - 2) * p1 + M(1, 3 * n - 1) * p2 + M(1, 3 * n) * p3;
    r2 += M(2, 3 * n - 2) * p1 + M(2, 3 * n - 1) * p2 + M(2, 3 * n) * p3;
}

void tri_add_dkt_curvature(double& r, const Mat33& M, ConstMatView L, double p1, double p2,
                           double p3)
{
    const double c1 = M(1, 1) * L(1) + M(2, 1) * L(2) + M(3, 1) * L(3);
    const double c2 = M(1, 2) * L(1) + M(2, 2) * L(2) + M(3, 2) * L(3);
    const double c3 = M(1, 3) * L(1) + M(2, 3) * L(2) + M(3, 3) * L(3);
    r += p1 * c1 + p2 * c2 + p3 * c3;
}

void tri_points_to_nodes(ConstMatView XN, ConstMatView P, MatView F)
{
    // Normal equations of c0 + c1 x + c2 y, every sum doubled.
    double sx = 0, sy = 0, sxx = 0, sxy = 0, syy = 0, sf = 0, sxf = 0, syf = 0;
    for (int k = 1; k <= 4; ++k) {
        const double x = P(k, 1), y = P(k, 2), f = F(k);
        sx += 2.0 * x;
        sy += 2.0 * y;
        sxx += 2.0 * x * x;
        sxy += 2.0 * x * y;
        syy += 2.0 * y * y;
        sf += 2.0 * f;
        sxf += 2.0 * x * f;
        syf += 2.0 * y * f;
    }
    auto det3 = [](double a11, double a12, double a13, double a21, double a22, double a23,
                   double a31, double a32, double a33) {
        return a11 * (a22 * a33 - a23 * a32) - a12 * (a21 * a33 - a23 * a31) +
               a13 * (a21 * a32 - a22 * a31);
    };
    const double d = det3(8.0, sx, sy, sx, sxx, sxy, sy, sxy, syy);
    if (d == 0.0) {
        F(5) = F(2);
        F(6) = F(3);
        F(7) = F(4);
        return;
    }
    // Cramer's rule.
    const double c0 = det3(sf, sx, sy, sxf, sxx, sxy, syf, sxy, syy) / d;
    const double c1 = det3(8.0, sf, sy, sx, sxf, sxy, sy, syf, syy) / d;
    const double c2 = det3(8.0, sx, sf, sx, sxx, sxf, sy, sxy, syf) / d;
    for (int n = 1; n <= 3; ++n) {
        F(4 + n) = c0 + c1 * XN(1, n) + c2 * XN(2, n);
    }
}

void ElementLibrary::tri_rotation_curvature(FixedMatrix<3, 9>& M1)
{
    TriEdgeBlock& e = blocks_.tri_edge_block;
    M1(1, 3) = -e.Y32();
    M1(1, 6) = -e.Y13();
    M1(1, 9) = -e.Y21();
    M1(2, 2) = -e.X32();
    M1(2, 5) = -e.X13();
    M1(2, 8) = -e.X21();
    M1(3, 2) = e.Y32();
    M1(3, 3) = e.X32();
    M1(3, 5) = e.Y13();
    M1(3, 6) = e.X13();
    M1(3, 8) = e.Y21();
    M1(3, 9) = e.X21();
}

void ElementLibrary::tri_side_increments(FixedMatrix<3, 9>& Q, double f1, double f2)
{
    TriEdgeBlock& e = blocks_.tri_edge_block;
    Q.fill(0.0);
    for (int k = 1; k <= 3; ++k) {
        const int i = k, j = k % 3 + 1;
        const double ck = e.c(k);
        Q(k, 3 * (i - 1) + 1) = f1 * ck;
        Q(k, 3 * (j - 1) + 1) = -f1 * ck;
        Q(k, 3 * (i - 1) + 2) = f2 * e.dY(k) * ck;
        Q(k, 3 * (j - 1) + 2) = f2 * e.dY(k) * ck;
        Q(k, 3 * (i - 1) + 3) = -f2 * e.dX(k) * ck;
        Q(k, 3 * (j - 1) + 3) = -f2 * e.dX(k) * ck;
    }
}

void ElementLibrary::tri_side_directions(Mat33& V, ConstMatView DV)
{
    TriEdgeBlock& e = blocks_.tri_edge_block;
    for (int k = 1; k <= 3; ++k) {
        const int m = k + 3;
        // g = -2A dNm/dx, h = 2A dNm/dy from the natural derivatives.
        const double g = e.Y21() * DV(2, m) + e.Y13() * DV(1, m);
        const double h = e.X21() * DV(2, m) + e.X13() * DV(1, m);
        V(1, k) = -e.C(k) * g;
        V(2, k) = e.S(k) * h;
        V(3, k) = e.C(k) * h - e.S(k) * g;
    }
}

void ElementLibrary::tri_increment_curvature(FixedMatrix<3, 9>& M2, ConstMatView DV)
{
    auto& w = plate_.tri_strain;
    M2.fill(0.0);
    tri_side_increments(w.Q, 1.5, 0.75);
    tri_side_directions(w.V, DV);
    for (int c = 1; c <= 9; ++c) {
        for (int r = 1; r <= 3; ++r) {
            double s = 0.0;
            for (int k = 1; k <= 3; ++k) {
                s += w.V(r, k) * w.Q(k, c);
            }
            M2(r, c) = s;
        }
    }
}

void ElementLibrary::tri_shear_edge_matrix(FixedMatrix<2, 3>& E, ConstMatView L)
{
    TriEdgeBlock& e = blocks_.tri_edge_block;
    const double L1 = L(1), L2 = L(2), L3 = L(3);
    E(1, 1) = (e.S(2) * L2 / e.W(2) - e.S(3) * L1 / e.W(1)) * e.phi(1);
    E(2, 1) = (e.C(3) * L1 / e.W(1) - e.C(2) * L2 / e.W(2)) * e.phi(1);
    E(1, 2) = (e.S(3) * L3 / e.W(3) - e.S(1) * L2 / e.W(2)) * e.phi(2);
    E(2, 2) = (e.C(1) * L2 / e.W(2) - e.C(3) * L3 / e.W(3)) * e.phi(2);
    E(1, 3) = (e.S(1) * L1 / e.W(1) - e.S(2) * L3 / e.W(3)) * e.phi(3);
    E(2, 3) = (e.C(2) * L3 / e.W(3) - e.C(1) * L1 / e.W(1)) * e.phi(3);
}

void ElementLibrary::tri_shear_strain_matrix(FixedMatrix<2, 9>& S, ConstMatView L)
{
    auto& w = plate_.tri_strain;
    S.fill(0.0);
    tri_shear_edge_matrix(w.E, L);
    tri_side_increments(w.F, 1.0, 0.5);
    for (int c = 1; c <= 9; ++c) {
        for (int r = 1; r <= 2; ++r) {
            double s = 0.0;
            for (int k = 1; k <= 3; ++k) {
                s += w.E(r, k) * w.F(k, c);
            }
            S(r, c) = s;
        }
    }
}

}  // namespace kvpvs::recovery
