// Explicit discrete Kirchhoff triangle (Batoz 1982): curvatures are alpha times the corner
// values (w, theta-x, theta-y), and the bending stiffness is alpha^T (D with R/24) alpha
// over 2A, R = [[2,1,1],[1,2,1],[1,1,2]]; the 1/(48 A) is folded into the coefficients by
// the caller. Corner 2 lies on the local x axis, so the side 1-2 terms t6, q6, r6 vanish.
#include "recovery/kernels/element_library.h"

namespace kvpvs::recovery {

void ElementLibrary::tri_dkt_geometry(ConstMatView XY)
{
    DktGeometryBlock& g = blocks_.dkt_geometry_block;
    g.x2 = XY(1, 2);
    g.x3 = XY(1, 3);
    g.y2 = XY(2, 2);
    g.y3 = XY(2, 3);
    g.x23 = g.x2 - g.x3;
    g.y23 = g.y2 - g.y3;
    g.il23 = 1.0 / (g.x23 * g.x23 + g.y23 * g.y23);
    g.il31 = 1.0 / (g.x3 * g.x3 + g.y3 * g.y3);
    g.il12 = 1.0 / (g.x2 * g.x2 + g.y2 * g.y2);
    g.P4 = -6.0 * g.x23 * g.il23;
    g.P5 = -6.0 * g.x3 * g.il31;
    g.P6 = 6.0 * g.x2 * g.il12;
    g.t4 = -6.0 * g.y23 * g.il23;
    g.t5 = -6.0 * g.y3 * g.il31;
    g.q4 = 3.0 * g.x23 * g.y23 * g.il23;
    g.q5 = 3.0 * g.x3 * g.y3 * g.il31;
    g.r4 = 3.0 * g.y23 * g.y23 * g.il23;
    g.r5 = 3.0 * g.y3 * g.y3 * g.il31;
}

void ElementLibrary::tri_dkt_alpha(int p, int i, Mat33& A) const
{
    const DktGeometryBlock& g = blocks_.dkt_geometry_block;
    const double x2 = g.x2, x3 = g.x3, y3 = g.y3, x23 = g.x23;
    const double P4 = g.P4, P5 = g.P5, P6 = g.P6, t4 = g.t4, t5 = g.t5;
    const double q4 = g.q4, q5 = g.q5, r4 = g.r4, r5 = g.r5;
    A.fill(0.0);
    const int P = (p == 1 || p == 2) ? p : 3;
    const int I = (i == 1 || i == 2) ? i : 3;
    // Entries in the order A(1,1), A(2,1), A(3,1), A(1,2), ..., A(3,3).
    auto set = [&A](double a11, double a21, double a31, double a12, double a22, double a32,
                    double a13, double a23, double a33) {
        A(1, 1) = a11;
        A(2, 1) = a21;
        A(3, 1) = a31;
        A(1, 2) = a12;
        A(2, 2) = a22;
        A(3, 2) = a32;
        A(1, 3) = a13;
        A(2, 3) = a23;
        A(3, 3) = a33;
    };
    if (P == 1) {
        if (I == 1) {
            set(P6 * y3, -P6 * y3, P5 * y3, 0.0, 0.0, -q5 * y3, -4.0 * y3, 2.0 * y3, (2.0 - r5) * y3);
        } else if (I == 2) {
            set(-P6 * y3, P6 * y3, P4 * y3, 0.0, 0.0, q4 * y3, -2.0 * y3, 4.0 * y3, (r4 - 2.0) * y3);
        } else {
            set(0.0, 0.0, -(P4 + P5) * y3, 0.0, 0.0, (q4 - q5) * y3, 0.0, 0.0, (r4 - r5) * y3);
        }
    } else if (P == 2) {
        if (I == 1) {
            set(-t5 * x2, 0.0, t5 * x23, r5 * x2 + x23, x23, (1.0 - r5) * x23, -q5 * x2, 0.0,
                q5 * x23);
        } else if (I == 2) {
            set(0.0, t4 * x2, -t4 * x3, x3, r4 * x2 + x3, (1.0 - r4) * x3, 0.0, -q4 * x2, q4 * x3);
        } else {
            set(t5 * x2, -t4 * x2, t4 * x3 - t5 * x23, (r5 - 1.0) * x2, (r4 - 1.0) * x2,
                -r5 * x23 - r4 * x3 - x2, -q5 * x2, -q4 * x2, q5 * x23 + q4 * x3);
        }
    } else {
        if (I == 1) {
            set(-P6 * x3 - P5 * x2, -P6 * x23, t5 * y3 + P5 * x23, q5 * x2 + y3, y3,
                (1.0 - r5) * y3 - q5 * x23, r5 * x2 - 4.0 * x23, 2.0 * x23,
                q5 * y3 + (2.0 - r5) * x23);
        } else if (I == 2) {
            set(P6 * x3, P4 * x2 + P6 * x23, t4 * y3 - P4 * x3, -y3, q4 * x2 - y3,
                (r4 - 1.0) * y3 - q4 * x3, 2.0 * x3, r4 * x2 - 4.0 * x3, (2.0 - r4) * x3 - q4 * y3);
        } else {
            set(P5 * x2, -P4 * x2, P4 * x3 - P5 * x23 - (t5 + t4) * y3, q5 * x2, q4 * x2,
                (r4 - r5) * y3 - q5 * x23 - q4 * x3, (r5 - 2.0) * x2, (r4 - 2.0) * x2,
                4.0 * x2 - r5 * x23 - r4 * x3 + (q5 - q4) * y3);
        }
    }
}

void ElementLibrary::tri_dkt_term(double cf, int p, int i, int q, int j, int N, MatView K)
{
    (void)N;
    auto& w = plate_.dkt;
    tri_dkt_alpha(p, i, w.A1);
    tri_dkt_alpha(q, j, w.A2);
    // A2 := R A2: each column plus its column sum.
    for (int c = 1; c <= 3; ++c) {
        const double sum = w.A2(1, c) + w.A2(2, c) + w.A2(3, c);
        for (int r = 1; r <= 3; ++r) {
            w.A2(r, c) = w.A2(r, c) + sum;
        }
    }
    for (int r = 1; r <= 3; ++r) {
        for (int c = 1; c <= 3; ++c) {
            double s = 0.0;
            for (int k = 1; k <= 3; ++k) {
                s += w.A1(k, r) * w.A2(k, c);
            }
            K(6 * i - 4 + r, 6 * j - 4 + c) += cf * s;
        }
    }
}

void ElementLibrary::tri_dkt_node_pair(double d11, double d12, double d22, double d33, int i,
                                       int j, int N, MatView K, const Mat33& DM)
{
    if (blocks_.material_block.material_type == 1) {
        tri_dkt_term(DM(1, 1), 1, i, 1, j, N, K);
        tri_dkt_term(DM(1, 2), 1, i, 2, j, N, K);
        tri_dkt_term(DM(2, 1), 2, i, 1, j, N, K);
        tri_dkt_term(DM(2, 2), 2, i, 2, j, N, K);
        tri_dkt_term(DM(3, 3), 3, i, 3, j, N, K);
    } else {
        tri_dkt_term(d11, 1, i, 1, j, N, K);
        tri_dkt_term(d12, 1, i, 2, j, N, K);
        tri_dkt_term(d12, 2, i, 1, j, N, K);
        tri_dkt_term(d22, 2, i, 2, j, N, K);
        tri_dkt_term(d33, 3, i, 3, j, N, K);
    }
}

}  // namespace kvpvs::recovery
