#include "recovery/kernels/shape_functions.h"

namespace kvpvs::recovery {

void quad4_shape(double xi, double eta, MatView N, int flag)
{
    if (flag != 1) {
        N(1) = (1.0 - xi) * (1.0 - eta) * 0.25;
        N(2) = (1.0 + xi) * (1.0 - eta) * 0.25;
        N(3) = (1.0 + xi) * (1.0 + eta) * 0.25;
        N(4) = (1.0 - xi) * (1.0 + eta) * 0.25;
        return;
    }
    // DN(2,4) stored node after node.
    N(1) = -(1.0 - eta) * 0.25;
    N(2) = -(1.0 - xi) * 0.25;
    N(3) = (1.0 - eta) * 0.25;
    N(4) = -(1.0 + xi) * 0.25;
    N(5) = (1.0 + eta) * 0.25;
    N(6) = (1.0 + xi) * 0.25;
    N(7) = -(1.0 + eta) * 0.25;
    N(8) = (1.0 - xi) * 0.25;
}

void quad_midside_derivs(double xi, double eta, FixedMatrix<2, 4>& DP)
{
    DP(1, 1) = -xi * (1.0 - eta);
    DP(2, 1) = -(1.0 - xi * xi) / 2.0;
    DP(1, 2) = (1.0 - eta * eta) / 2.0;
    DP(2, 2) = -eta * (1.0 + xi);
    DP(1, 3) = -xi * (1.0 + eta);
    DP(2, 3) = (1.0 - xi * xi) / 2.0;
    DP(1, 4) = -(1.0 - eta * eta) / 2.0;
    DP(2, 4) = -eta * (1.0 - xi);
}

namespace {

// Natural positions of the quadrilateral and hexahedron nodes (main numbering).
constexpr double kQuadXi[8] = {-1, 1, 1, -1, 0, 1, 0, -1};
constexpr double kQuadEta[8] = {-1, -1, 1, 1, -1, 0, 1, 0};

constexpr double kHexXi[20] = {-1, 1, 1, -1, -1, 1, 1, -1, 0, 1, 0, -1, 0, 1, 0, -1, -1, 1, 1, -1};
constexpr double kHexEta[20] = {-1, -1, 1, 1, -1, -1, 1, 1, -1, 0, 1, 0, -1, 0, 1, 0, -1, -1, 1, 1};
constexpr double kHexZeta[20] = {-1, -1, -1, -1, 1, 1, 1, 1, -1, -1, -1, -1, 1, 1, 1, 1, 0, 0, 0, 0};

// 8-node serendipity function with its node at (a, b): value and natural derivatives.
void serendipity8(double xi, double eta, double a, double b, double& n, double& dxi, double& deta)
{
    if (a != 0.0 && b != 0.0) {
        n = (1.0 + xi * a) * (1.0 + eta * b) * (xi * a + eta * b - 1.0) / 4.0;
        dxi = a * (1.0 + eta * b) * (2.0 * xi * a + eta * b) / 4.0;
        deta = b * (1.0 + xi * a) * (xi * a + 2.0 * eta * b) / 4.0;
    } else if (a == 0.0) {
        n = (1.0 - xi * xi) * (1.0 + eta * b) / 2.0;
        dxi = -xi * (1.0 + eta * b);
        deta = b * (1.0 - xi * xi) / 2.0;
    } else {
        n = (1.0 + xi * a) * (1.0 - eta * eta) / 2.0;
        dxi = a * (1.0 - eta * eta) / 2.0;
        deta = -eta * (1.0 + xi * a);
    }
}

// 20-node serendipity function with its node at (a, b, c).
void serendipity20(double xi, double eta, double zeta, double a, double b, double c, double& n,
                   double& dxi, double& deta, double& dzeta)
{
    if (a != 0.0 && b != 0.0 && c != 0.0) {
        const double fx = 1.0 + xi * a, fy = 1.0 + eta * b, fz = 1.0 + zeta * c;
        n = fx * fy * fz * (xi * a + eta * b + zeta * c - 2.0) / 8.0;
        dxi = a * fy * fz * (2.0 * xi * a + eta * b + zeta * c - 1.0) / 8.0;
        deta = b * fx * fz * (xi * a + 2.0 * eta * b + zeta * c - 1.0) / 8.0;
        dzeta = c * fx * fy * (xi * a + eta * b + 2.0 * zeta * c - 1.0) / 8.0;
    } else if (a == 0.0) {
        const double fy = 1.0 + eta * b, fz = 1.0 + zeta * c;
        n = (1.0 - xi * xi) * fy * fz / 4.0;
        dxi = -2.0 * xi * fy * fz / 4.0;
        deta = b * (1.0 - xi * xi) * fz / 4.0;
        dzeta = c * (1.0 - xi * xi) * fy / 4.0;
    } else if (b == 0.0) {
        const double fx = 1.0 + xi * a, fz = 1.0 + zeta * c;
        n = fx * (1.0 - eta * eta) * fz / 4.0;
        dxi = a * (1.0 - eta * eta) * fz / 4.0;
        deta = -2.0 * eta * fx * fz / 4.0;
        dzeta = c * fx * (1.0 - eta * eta) / 4.0;
    } else {
        const double fx = 1.0 + xi * a, fy = 1.0 + eta * b;
        n = fx * fy * (1.0 - zeta * zeta) / 4.0;
        dxi = a * fy * (1.0 - zeta * zeta) / 4.0;
        deta = b * fx * (1.0 - zeta * zeta) / 4.0;
        dzeta = -2.0 * zeta * fx * fy / 4.0;
    }
}

// Corner function of the 15-node wedge: g is the triangle coordinate of the corner, s = -1
// for the bottom face, +1 for the top: N = g (1 + s zeta)(2g + s zeta - 2)/2.
void wedge15_corner(double g, double zeta, double s, double& n, double& dg, double& dzeta)
{
    n = g * (1.0 + s * zeta) * (2.0 * g + s * zeta - 2.0) / 2.0;
    dg = (1.0 + s * zeta) * (4.0 * g + s * zeta - 2.0) / 2.0;
    dzeta = g * s * (2.0 * g + 2.0 * s * zeta - 1.0) / 2.0;
}

}  // namespace

void shape_functions(MatView N, double xi, double eta, double zeta, int nnode, int ndim)
{
    for (int k = 1; k <= nnode + ndim; ++k) {
        N(k) = 0.0;
    }

    if (ndim == 1) {
        if (nnode == 2) {
            N(1) = (1.0 - xi) / 2.0;
            N(2) = (1.0 + xi) / 2.0;
        } else if (nnode == 3) {
            N(1) = -xi * (1.0 - xi) / 2.0;
            N(2) = 1.0 - xi * xi;
            N(3) = xi * (1.0 + xi) / 2.0;
        }
    } else if (ndim == 2) {
        const double L = 1.0 - xi - eta;
        switch (nnode) {
        case 3:
            N(1) = L;
            N(2) = xi;
            N(3) = eta;
            break;
        case 6:
            N(1) = (2.0 * L - 1.0) * L;
            N(2) = (2.0 * xi - 1.0) * xi;
            N(3) = (2.0 * eta - 1.0) * eta;
            N(4) = 4.0 * xi * L;
            N(5) = 4.0 * xi * eta;
            N(6) = 4.0 * eta * L;
            break;
        case 4:
            N(1) = (1.0 - xi) * (1.0 - eta) / 4.0;
            N(2) = (1.0 + xi) * (1.0 - eta) / 4.0;
            N(3) = (1.0 + xi) * (1.0 + eta) / 4.0;
            N(4) = (1.0 - xi) * (1.0 + eta) / 4.0;
            N(5) = 1.0 - xi * xi;
            N(6) = 1.0 - eta * eta;
            break;
        case 8:
            for (int k = 1; k <= 8; ++k) {
                double dxi = 0.0, deta = 0.0;
                serendipity8(xi, eta, kQuadXi[k - 1], kQuadEta[k - 1], N(k), dxi, deta);
            }
            N(9) = 1.0 - xi * xi;
            N(10) = 1.0 - eta * eta;
            break;
        default:
            break;
        }
    } else if (ndim == 3) {
        const double L = 1.0 - xi - eta - zeta;
        switch (nnode) {
        case 4:
            N(1) = L;
            N(2) = xi;
            N(3) = eta;
            N(4) = zeta;
            break;
        case 10:
            N(1) = (2.0 * L - 1.0) * L;
            N(2) = (2.0 * xi - 1.0) * xi;
            N(3) = (2.0 * eta - 1.0) * eta;
            N(4) = (2.0 * zeta - 1.0) * zeta;
            N(5) = 4.0 * xi * L;
            N(6) = 4.0 * xi * eta;
            N(7) = 4.0 * eta * L;
            N(8) = 4.0 * zeta * L;
            N(9) = 4.0 * zeta * xi;
            N(10) = 4.0 * eta * zeta;
            break;
        case 6: {
            const double Lt = 1.0 - xi - eta;
            N(1) = Lt * (1.0 - zeta) / 2.0;
            N(2) = xi * (1.0 - zeta) / 2.0;
            N(3) = eta * (1.0 - zeta) / 2.0;
            N(4) = Lt * (1.0 + zeta) / 2.0;
            N(5) = xi * (1.0 + zeta) / 2.0;
            N(6) = eta * (1.0 + zeta) / 2.0;
            break;
        }
        case 15: {
            const double Lt = 1.0 - xi - eta;
            const double g[3] = {Lt, xi, eta};
            for (int k = 1; k <= 6; ++k) {
                double dg = 0.0, dz = 0.0;
                wedge15_corner(g[(k - 1) % 3], zeta, k <= 3 ? -1.0 : 1.0, N(k), dg, dz);
            }
            N(7) = 2.0 * Lt * xi * (1.0 - zeta);
            N(8) = 2.0 * xi * eta * (1.0 - zeta);
            N(9) = 2.0 * eta * Lt * (1.0 - zeta);
            N(10) = 2.0 * Lt * xi * (1.0 + zeta);
            N(11) = 2.0 * xi * eta * (1.0 + zeta);
            N(12) = 2.0 * eta * Lt * (1.0 + zeta);
            N(13) = Lt * (1.0 - zeta * zeta);
            N(14) = xi * (1.0 - zeta * zeta);
            N(15) = eta * (1.0 - zeta * zeta);
            break;
        }
        case 8:
            for (int k = 1; k <= 8; ++k) {
                N(k) = (1.0 + xi * kHexXi[k - 1]) * (1.0 + eta * kHexEta[k - 1]) *
                       (1.0 + zeta * kHexZeta[k - 1]) / 8.0;
            }
            break;
        case 20:
            for (int k = 1; k <= 20; ++k) {
                double dxi = 0.0, deta = 0.0, dzeta = 0.0;
                serendipity20(xi, eta, zeta, kHexXi[k - 1], kHexEta[k - 1], kHexZeta[k - 1], N(k),
                              dxi, deta, dzeta);
            }
            break;
        default:
            break;
        }
    }
}

void shape_derivatives(MatView DN, double xi, double eta, double zeta, int nnode, int ndim)
{
    for (int k = 1; k <= nnode + ndim; ++k) {
        for (int i = 1; i <= ndim; ++i) {
            DN(i, k) = 0.0;
        }
    }

    if (ndim == 1) {
        if (nnode == 2) {
            DN(1, 1) = -0.5;
            DN(1, 2) = 0.5;
        } else if (nnode == 3) {
            DN(1, 1) = xi - 0.5;
            DN(1, 2) = -2.0 * xi;
            DN(1, 3) = xi + 0.5;
        }
    } else if (ndim == 2) {
        const double L = 1.0 - xi - eta;
        switch (nnode) {
        case 3:
            DN(1, 1) = -1.0;
            DN(2, 1) = -1.0;
            DN(1, 2) = 1.0;
            DN(2, 3) = 1.0;
            break;
        case 6:
            DN(1, 1) = -(4.0 * L - 1.0);
            DN(2, 1) = -(4.0 * L - 1.0);
            DN(1, 2) = 4.0 * xi - 1.0;
            DN(2, 3) = 4.0 * eta - 1.0;
            DN(1, 4) = 4.0 * (L - xi);
            DN(2, 4) = -4.0 * xi;
            DN(1, 5) = 4.0 * eta;
            DN(2, 5) = 4.0 * xi;
            DN(1, 6) = -4.0 * eta;
            DN(2, 6) = 4.0 * (L - eta);
            break;
        case 4:
            DN(1, 1) = -(1.0 - eta) / 4.0;
            DN(2, 1) = -(1.0 - xi) / 4.0;
            DN(1, 2) = (1.0 - eta) / 4.0;
            DN(2, 2) = -(1.0 + xi) / 4.0;
            DN(1, 3) = (1.0 + eta) / 4.0;
            DN(2, 3) = (1.0 + xi) / 4.0;
            DN(1, 4) = -(1.0 + eta) / 4.0;
            DN(2, 4) = (1.0 - xi) / 4.0;
            DN(1, 5) = -2.0 * xi;
            DN(2, 6) = -2.0 * eta;
            break;
        case 8:
            for (int k = 1; k <= 8; ++k) {
                double n = 0.0;
                serendipity8(xi, eta, kQuadXi[k - 1], kQuadEta[k - 1], n, DN(1, k), DN(2, k));
            }
            DN(1, 9) = -2.0 * xi;
            DN(2, 10) = -2.0 * eta;
            break;
        default:
            break;
        }
    } else if (ndim == 3) {
        const double L = 1.0 - xi - eta - zeta;
        switch (nnode) {
        case 4:
            DN(1, 1) = -1.0;
            DN(2, 1) = -1.0;
            DN(3, 1) = -1.0;
            DN(1, 2) = 1.0;
            DN(2, 3) = 1.0;
            DN(3, 4) = 1.0;
            break;
        case 10:
            DN(1, 1) = -(4.0 * L - 1.0);
            DN(2, 1) = -(4.0 * L - 1.0);
            DN(3, 1) = -(4.0 * L - 1.0);
            DN(1, 2) = 4.0 * xi - 1.0;
            DN(2, 3) = 4.0 * eta - 1.0;
            DN(3, 4) = 4.0 * zeta - 1.0;
            DN(1, 5) = 4.0 * (L - xi);
            DN(2, 5) = -4.0 * xi;
            DN(3, 5) = -4.0 * xi;
            DN(1, 6) = 4.0 * eta;
            DN(2, 6) = 4.0 * xi;
            DN(1, 7) = -4.0 * eta;
            DN(2, 7) = 4.0 * (L - eta);
            DN(3, 7) = -4.0 * eta;
            DN(1, 8) = -4.0 * zeta;
            DN(2, 8) = -4.0 * zeta;
            DN(3, 8) = 4.0 * (L - zeta);
            DN(1, 9) = 4.0 * zeta;
            DN(3, 9) = 4.0 * xi;
            DN(2, 10) = 4.0 * zeta;
            DN(3, 10) = 4.0 * eta;
            break;
        case 6: {
            const double Lt = 1.0 - xi - eta;
            DN(1, 1) = -(1.0 - zeta) / 2.0;
            DN(2, 1) = -(1.0 - zeta) / 2.0;
            DN(3, 1) = -Lt / 2.0;
            DN(1, 2) = (1.0 - zeta) / 2.0;
            DN(3, 2) = -xi / 2.0;
            DN(2, 3) = (1.0 - zeta) / 2.0;
            DN(3, 3) = -eta / 2.0;
            DN(1, 4) = -(1.0 + zeta) / 2.0;
            DN(2, 4) = -(1.0 + zeta) / 2.0;
            DN(3, 4) = Lt / 2.0;
            DN(1, 5) = (1.0 + zeta) / 2.0;
            DN(3, 5) = xi / 2.0;
            DN(2, 6) = (1.0 + zeta) / 2.0;
            DN(3, 6) = eta / 2.0;
            break;
        }
        case 15: {
            const double Lt = 1.0 - xi - eta;
            const double g[3] = {Lt, xi, eta};
            for (int k = 1; k <= 6; ++k) {
                double n = 0.0, dg = 0.0;
                const int c = (k - 1) % 3;  // 0: L, 1: xi, 2: eta
                wedge15_corner(g[c], zeta, k <= 3 ? -1.0 : 1.0, n, dg, DN(3, k));
                if (c == 0) {
                    DN(1, k) = -dg;
                    DN(2, k) = -dg;
                } else if (c == 1) {
                    DN(1, k) = dg;
                } else {
                    DN(2, k) = dg;
                }
            }
            for (int layer = 0; layer < 2; ++layer) {
                const double s = layer == 0 ? -1.0 : 1.0;
                const double f = 1.0 + s * zeta;
                const int k = 7 + 3 * layer;
                // 2 L xi f, 2 xi eta f, 2 eta L f
                DN(1, k) = 2.0 * (Lt - xi) * f;
                DN(2, k) = -2.0 * xi * f;
                DN(3, k) = s * 2.0 * Lt * xi;
                DN(1, k + 1) = 2.0 * eta * f;
                DN(2, k + 1) = 2.0 * xi * f;
                DN(3, k + 1) = s * 2.0 * xi * eta;
                DN(1, k + 2) = -2.0 * eta * f;
                DN(2, k + 2) = 2.0 * (Lt - eta) * f;
                DN(3, k + 2) = s * 2.0 * eta * Lt;
            }
            DN(1, 13) = -(1.0 - zeta * zeta);
            DN(2, 13) = -(1.0 - zeta * zeta);
            DN(3, 13) = -2.0 * zeta * Lt;
            DN(1, 14) = 1.0 - zeta * zeta;
            DN(3, 14) = -2.0 * zeta * xi;
            DN(2, 15) = 1.0 - zeta * zeta;
            DN(3, 15) = -2.0 * zeta * eta;
            break;
        }
        case 8:
            for (int k = 1; k <= 8; ++k) {
                const double a = kHexXi[k - 1], b = kHexEta[k - 1], c = kHexZeta[k - 1];
                DN(1, k) = a * (1.0 + eta * b) * (1.0 + zeta * c) / 8.0;
                DN(2, k) = b * (1.0 + xi * a) * (1.0 + zeta * c) / 8.0;
                DN(3, k) = c * (1.0 + xi * a) * (1.0 + eta * b) / 8.0;
            }
            DN(1, 9) = -2.0 * xi;
            DN(2, 10) = -2.0 * eta;
            DN(3, 11) = -2.0 * zeta;
            break;
        case 20:
            for (int k = 1; k <= 20; ++k) {
                double n = 0.0;
                serendipity20(xi, eta, zeta, kHexXi[k - 1], kHexEta[k - 1], kHexZeta[k - 1], n,
                              DN(1, k), DN(2, k), DN(3, k));
            }
            // Derivatives of the cubic modes xi(1 - xi^2), ...; their values stay 0.
            DN(1, 21) = 1.0 - 3.0 * xi * xi;
            DN(2, 22) = 1.0 - 3.0 * eta * eta;
            DN(3, 23) = 1.0 - 3.0 * zeta * zeta;
            break;
        default:
            break;
        }
    }
}

void shape_2d_perimeter(MatView DNX, MatView DNE, MatView N, double xi, double eta, int nnode)
{
    const double L = 1.0 - xi - eta;
    switch (nnode) {
    case 3:
        N(1) = L;
        N(2) = xi;
        N(3) = eta;
        DNX(1) = -1.0;
        DNX(2) = 1.0;
        DNX(3) = 0.0;
        DNE(1) = -1.0;
        DNE(2) = 0.0;
        DNE(3) = 1.0;
        break;
    case 4:
        N(1) = (1.0 - xi) * (1.0 - eta) / 4.0;
        N(2) = (1.0 + xi) * (1.0 - eta) / 4.0;
        N(3) = (1.0 + xi) * (1.0 + eta) / 4.0;
        N(4) = (1.0 - xi) * (1.0 + eta) / 4.0;
        N(5) = 1.0 - xi * xi;
        N(6) = 1.0 - eta * eta;
        DNX(1) = -(1.0 - eta) / 4.0;
        DNX(2) = (1.0 - eta) / 4.0;
        DNX(3) = (1.0 + eta) / 4.0;
        DNX(4) = -(1.0 + eta) / 4.0;
        DNX(5) = -2.0 * xi;
        DNX(6) = 0.0;
        DNE(1) = -(1.0 - xi) / 4.0;
        DNE(2) = -(1.0 + xi) / 4.0;
        DNE(3) = (1.0 + xi) / 4.0;
        DNE(4) = (1.0 - xi) / 4.0;
        DNE(5) = 0.0;
        DNE(6) = -2.0 * eta;
        break;
    case 6:
        // Around the triangle: 1 at xi = 1, 3 at eta = 1, 5 at L = 1, mid-sides between.
        N(1) = (2.0 * xi - 1.0) * xi;
        N(2) = 4.0 * xi * eta;
        N(3) = (2.0 * eta - 1.0) * eta;
        N(4) = 4.0 * L * eta;
        N(5) = (2.0 * L - 1.0) * L;
        N(6) = 4.0 * L * xi;
        DNX(1) = 4.0 * xi - 1.0;
        DNX(2) = 4.0 * eta;
        DNX(3) = 0.0;
        DNX(4) = -4.0 * eta;
        DNX(5) = -(4.0 * L - 1.0);
        DNX(6) = 4.0 * (L - xi);
        DNE(1) = 0.0;
        DNE(2) = 4.0 * xi;
        DNE(3) = 4.0 * eta - 1.0;
        DNE(4) = 4.0 * (L - eta);
        DNE(5) = -(4.0 * L - 1.0);
        DNE(6) = -4.0 * xi;
        break;
    case 8: {
        // Around the quadrilateral from (-1,-1), corner and mid-side alternating.
        constexpr double a[8] = {-1, 0, 1, 1, 1, 0, -1, -1};
        constexpr double b[8] = {-1, -1, -1, 0, 1, 1, 1, 0};
        for (int k = 1; k <= 8; ++k) {
            serendipity8(xi, eta, a[k - 1], b[k - 1], N(k), DNX(k), DNE(k));
        }
        N(9) = 1.0 - xi * xi;
        N(10) = 1.0 - eta * eta;
        DNX(9) = 1.0 - 3.0 * xi * xi;
        DNE(9) = 0.0;
        DNX(10) = 0.0;
        DNE(10) = 1.0 - 3.0 * eta * eta;
        break;
    }
    default:
        break;
    }
}

}  // namespace kvpvs::recovery
