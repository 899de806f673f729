// The 6-node triangle and 8-node quadrilateral of the plane stress and plane strain
// families: stiffness over three displacement components per node and the stress-recovery
// matrix at the element centre and the integration points.
#include "recovery/kernels/plane_element.h"

#include <algorithm>
#include <cassert>

#include "recovery/kernels/element_library.h"

namespace kvpvs::recovery {

void plane_local_coords(MatView XL, ConstMatView X, const Mat33& T, int nnode, int mode)
{
    for (int k = 1; k <= nnode; ++k) {
        for (int c = 1; c <= 2; ++c) {
            double sk = 0.0, s1 = 0.0;
            for (int m = 1; m <= 3; ++m) {
                sk += T(c, m) * X(m, k);
            }
            for (int m = 1; m <= 3; ++m) {
                s1 += T(c, m) * X(m, 1);
            }
            XL(c, k) = sk - s1;
        }
    }
}

void btdb_accumulate(FixedMatrix<20, 20>& KK, const FixedMatrix<4, 4>& D,
                     const FixedMatrix<4, 20>& B, double f, int ndof, int nstr)
{
    FixedMatrix<4, 20> DB;
    for (int c = 1; c <= ndof; ++c) {
        for (int i = 1; i <= nstr; ++i) {
            double s = 0.0;
            for (int j = 1; j <= nstr; ++j) {
                s += D(i, j) * B(j, c);
            }
            DB(i, c) = f * s;
        }
    }
    for (int j = 1; j <= ndof; ++j) {
        for (int i = 1; i <= j; ++i) {
            double s = 0.0;
            for (int r = 1; r <= nstr; ++r) {
                s += B(r, i) * DB(r, j);
            }
            KK(i, j) += s;
        }
    }
}

void stress_matrix_at_point(MatView S, const FixedMatrix<4, 4>& D, FixedMatrix<4, 20>& B,
                            const FixedMatrix<4, 17>& R, const Mat33& T, int ndof, int nnode,
                            int nstr, int p, int off, int extra)
{
    if (extra == 1) {
        // Condensed extra modes: B(., c) += B(., ndof+1..ndof+4) R(., c).
        for (int c = 1; c <= ndof; ++c) {
            for (int r = 1; r <= nstr; ++r) {
                double s = 0.0;
                for (int q = 1; q <= 4; ++q) {
                    s += B(r, ndof + q) * R(q, c);
                }
                B(r, c) += s;
            }
        }
    }
    // The row pitch per point is 3: a fourth (hoop) stress would overwrite the next point's
    // first row, so only the three in-plane stresses are stored.
    const int nrow = std::min(nstr, 3);
    const int row0 = off + 3 * (p - 1);
    for (int k = 1; k <= nnode; ++k) {
        double SB[4][2];
        for (int i = 1; i <= nstr; ++i) {
            double s1 = 0.0, s2 = 0.0;
            for (int j = 1; j <= nstr; ++j) {
                s1 += D(i, j) * B(j, 2 * k - 1);
                s2 += D(i, j) * B(j, 2 * k);
            }
            SB[i - 1][0] = s1;
            SB[i - 1][1] = s2;
        }
        for (int m = 1; m <= 3; ++m) {
            for (int i = 1; i <= nrow; ++i) {
                S(row0 + i, 3 * (k - 1) + m) += SB[i - 1][0] * T(1, m) + SB[i - 1][1] * T(2, m);
            }
        }
    }
}

namespace {

// In-plane node coordinates: element plane in modes 0 and 1, (radius, axis) in mode 2.
void local_coords(const SharedBlocks& blocks, MatView XL, ConstMatView X, const Mat33& T, int nnode)
{
    const int mode = blocks.plane_mode;
    if (mode != 2) {
        plane_local_coords(XL, X, T, nnode, mode);
        return;
    }
    // Selectors outside 1..3 name no coordinate: that coordinate is taken as 0.
    auto coordinate = [&X](int selector, int k) {
        return selector >= 1 && selector <= 3 ? X(selector, k) : 0.0;
    };
    for (int k = 1; k <= nnode; ++k) {
        XL(1, k) = coordinate(blocks.radial_selector, k);
        XL(2, k) = coordinate(blocks.axial_selector, k);
    }
}

}  // namespace

void ElementLibrary::quadratic_2d_stiffness(MatView K, FixedMatrix<48, 48>& W, FixedMatrix<4, 17>& R,
                                            int n, int nnode, ConstMatView X, const Mat33& T,
                                            int rotate) const
{
    R.fill(0.0);
    for (int j = 1; j <= n; ++j) {
        for (int i = 1; i <= n; ++i) {
            K(i, j) = 0.0;
        }
    }
    if (nnode != 6 && nnode != 8) {
        assert(false && "quadratic_2d_stiffness: 6 or 8 nodes");
        return;
    }
    const int mode = blocks_.plane_mode;
    const int nstr = mode == 2 ? 4 : 3;
    const int ndof = 2 * nnode;
    const int npts = nnode == 6 ? 3 : 9;

    FixedMatrix<2, 8> xl;
    const MatView XL(xl.a.data(), 2, 2, nnode);
    local_coords(blocks_, XL, X, T, nnode);

    FixedMatrix<4, 4> D;
    elastic_matrix(D, blocks_.E(), blocks_.nu(), mode, 4);

    FixedMatrix<20, 20> KK;
    FixedMatrix<4, 20> B;
    FixedMatrix<2, 10> CD;
    FixedVector<10> N;
    FixedVector<2> x;
    const double t = blocks_.membrane_thickness();
    for (int p = 1; p <= npts; ++p) {
        double xi, eta, zeta, w, det;
        integration_points(xi, eta, zeta, w, p, npts, nnode, 4);
        isoparam_jacobian(B, det, CD, N, x, xi, eta, zeta, XL, nnode, 2, 4, 0, 0);
        double f = w * det * t;
        if (mode == 2) {
            f = f * x(1);  // ring of radius r
        }
        btdb_accumulate(KK, D, B, f, ndof, nstr);
    }

    // Element DOF d (u, v per node) goes to 3((d-1) div 2) + ((d-1) mod 2) + 1.
    auto m = [](int d) { return 3 * ((d - 1) / 2) + ((d - 1) % 2) + 1; };
    for (int j = 1; j <= ndof; ++j) {
        for (int i = 1; i <= j; ++i) {
            K(m(i), m(j)) = KK(i, j);
            K(m(j), m(i)) = KK(i, j);
        }
    }
    if (rotate == 1) {
        // The drivers' K is 48 x 48 (16 node blocks); a smaller K is turned over its nodes.
        assert(n >= 48);
        rotate_matrix(K, W, T, n >= 48 ? 48 : 3 * nnode);
    }
}

void ElementLibrary::quadratic_2d_stresses(MatView S, const FixedMatrix<4, 17>& R, int nnode,
                                           ConstMatView X, const Mat33& T) const
{
    for (int j = 1; j <= S.cols(); ++j) {
        for (int i = 1; i <= S.rows(); ++i) {
            S(i, j) = 0.0;
        }
    }
    if (nnode != 6 && nnode != 8) {
        assert(false && "quadratic_2d_stresses: 6 or 8 nodes");
        return;
    }
    const int mode = blocks_.plane_mode;
    // Mode 2 forms a hoop stress that the three-row pitch has no room for; it is dropped.
    assert(mode != 2);
    const int nstr = mode == 2 ? 4 : 3;
    const int ndof = 2 * nnode;
    const int npts = nnode == 6 ? 4 : 10;
    constexpr int off = 24;

    FixedMatrix<2, 8> xl;
    const MatView XL(xl.a.data(), 2, 2, nnode);
    local_coords(blocks_, XL, X, T, nnode);

    FixedMatrix<4, 4> D;
    elastic_matrix(D, blocks_.E(), blocks_.nu(), mode, 4);

    FixedMatrix<4, 20> B;
    FixedMatrix<2, 10> CD;
    FixedVector<10> N;
    FixedVector<2> x;
    for (int p = 1; p <= npts; ++p) {
        double xi, eta, zeta = 0.0, w, det;
        if (p == 1) {
            xi = nnode == 6 ? 1.0 / 3.0 : 0.0;
            eta = xi;
        } else {
            integration_points(xi, eta, zeta, w, p - 1, npts - 1, nnode, 4);
        }
        isoparam_jacobian(B, det, CD, N, x, xi, eta, zeta, XL, nnode, 2, 4, 0, 0);
        stress_matrix_at_point(S, D, B, R, T, ndof, nnode, nstr, p, off, 0);
    }
}

}  // namespace kvpvs::recovery
