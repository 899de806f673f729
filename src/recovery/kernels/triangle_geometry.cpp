// Triangle integration rule, linear and quadratic shape functions, the triangle Jacobian
// and the edge geometry of the shear-deformable triangles.
#include <cmath>

#include "recovery/kernels/element_library.h"
#include "recovery/kernels/plate_kernels.h"

namespace kvpvs::recovery {

void tri_integration_point(int npt, int ip, double& r, double& s, double& w)
{
    if (npt < 2) {
        // Decimal constants as tabulated, not exact thirds.
        r = 0.333333333333333;
        s = 0.333333333333333;
        w = 0.5;
        return;
    }
    w = 0.166666666666667;
    if (ip == 2) {
        r = 0.5;
        s = 0.0;
    } else if (ip > 2) {
        r = 0.0;
        s = 0.5;
    } else {
        r = 0.5;
        s = 0.5;
    }
}

void tri3_shape(double r, double s, MatView V, int mode)
{
    if (mode == 1) {
        V(1) = -1.0;
        V(2) = -1.0;
        V(3) = 1.0;
        V(4) = 0.0;
        V(5) = 0.0;
        V(6) = 1.0;
        return;
    }
    V(1) = 1.0 - r - s;
    V(2) = r;
    V(3) = s;
}

void tri6_shape(double r, double s, MatView V, int mode)
{
    const double L1 = 1.0 - r - s;
    if (mode == 1) {
        V(1) = 1.0 - 4.0 * L1;
        V(2) = 1.0 - 4.0 * L1;
        V(3) = 4.0 * r - 1.0;
        V(4) = 0.0;
        V(5) = 0.0;
        V(6) = 4.0 * s - 1.0;
        V(7) = 4.0 * (L1 - r);
        V(8) = -4.0 * r;
        V(9) = 4.0 * s;
        V(10) = 4.0 * r;
        V(11) = -4.0 * s;
        V(12) = 4.0 * (L1 - s);
        return;
    }
    V(1) = L1 * (2.0 * L1 - 1.0);
    V(2) = r * (2.0 * r - 1.0);
    V(3) = s * (2.0 * s - 1.0);
    V(4) = 4.0 * r * L1;
    V(5) = 4.0 * r * s;
    V(6) = 4.0 * s * L1;
}

void tri_jacobian(int nn, ConstMatView DN, ConstMatView XY, MatView DV, double& det, int mode)
{
    double J11 = 0.0, J12 = 0.0, J21 = 0.0, J22 = 0.0;
    for (int k = 1; k <= nn; ++k) {
        J11 += DN(1, k) * XY(1, k);
        J12 += DN(1, k) * XY(2, k);
        J21 += DN(2, k) * XY(1, k);
        J22 += DN(2, k) * XY(2, k);
    }
    det = J11 * J22 - J21 * J12;
    // A degenerate triangle returns its zero determinant unconverted rather than
    // filling the derivatives with infinities.
    if (mode == 1 || det == 0.0) {
        return;
    }
    for (int k = 1; k <= 2 * nn; ++k) {
        const double a = DV(1, k), b = DV(2, k);
        DV(1, k) = (J22 * a - J12 * b) / det;
        DV(2, k) = (-J21 * a + J11 * b) / det;
    }
}

void ElementLibrary::tri_edge_shear(ConstMatView XY, double t, double nu)
{
    TriEdgeBlock& e = blocks_.tri_edge_block;
    e.X21() = XY(1, 2) - XY(1, 1);
    e.X13() = XY(1, 1) - XY(1, 3);
    e.Y21() = XY(2, 2) - XY(2, 1);
    e.Y13() = XY(2, 1) - XY(2, 3);
    e.X32() = XY(1, 3) - XY(1, 2);
    e.Y32() = XY(2, 3) - XY(2, 2);
    const double q1 = e.X21() * e.X21() + e.Y21() * e.Y21();
    const double q2 = e.X32() * e.X32() + e.Y32() * e.Y32();
    const double q3 = e.X13() * e.X13() + e.Y13() * e.Y13();
    // phi = 12 D / (k G t L^2) with k = 5/6, in closed form on the squared lengths.
    const double f = 2.4 / (1.0 - nu) * t * t;
    e.phi(1) = f / q1;
    e.phi(2) = f / q2;
    e.phi(3) = f / q3;
    e.L(1) = std::sqrt(q1);
    e.L(2) = std::sqrt(q2);
    e.L(3) = std::sqrt(q3);
    for (int k = 1; k <= 3; ++k) {
        e.C(k) = e.dX(k) / e.L(k);
        e.S(k) = e.dY(k) / e.L(k);
    }
    e.W(1) = e.C(1) * e.S(3) - e.S(1) * e.C(3);
    e.W(2) = e.S(1) * e.C(2) - e.S(2) * e.C(1);
    e.W(3) = e.S(2) * e.C(3) - e.S(3) * e.C(2);
    for (int k = 1; k <= 3; ++k) {
        e.c(k) = (1.0 / e.L(k)) / (e.phi(k) + 1.0);
    }
}

}  // namespace kvpvs::recovery
