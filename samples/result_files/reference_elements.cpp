#include "result_files/reference_elements.h"

#include <cmath>

namespace kvpvs::resultfiles {
namespace {

Point3 minus(const Point3& a, const Point3& b) { return {a[0] - b[0], a[1] - b[1], a[2] - b[2]}; }
double dot(const Point3& a, const Point3& b) { return a[0] * b[0] + a[1] * b[1] + a[2] * b[2]; }

Point3 unit(const Point3& a)
{
    const double l = std::sqrt(dot(a, a));
    return {a[0] / l, a[1] / l, a[2] / l};
}

// Plane elasticity (sx, sy, txy).
std::array<std::array<double, 3>, 3> plane_elasticity(double E, double nu, bool plane_strain)
{
    if (plane_strain) {
        const double c = E / ((1 + nu) * (1 - 2 * nu));
        return {{{c * (1 - nu), c * nu, 0}, {c * nu, c * (1 - nu), 0}, {0, 0, c * (1 - 2 * nu) / 2}}};
    }
    const double c = E / (1 - nu * nu);
    return {{{c, c * nu, 0}, {c * nu, c, 0}, {0, 0, c * (1 - nu) / 2}}};
}

// Plane shape derivatives d/dx, d/dy of the n nodes at (xi, eta) for in-plane coordinates
// x(k), y(k); returns |J|.
double plane_derivatives(int n, const std::vector<double>& x, const std::vector<double>& y, double xi, double eta,
                         std::vector<double>& dx, std::vector<double>& dy)
{
    std::vector<double> dxi(static_cast<std::size_t>(n)), deta(static_cast<std::size_t>(n));
    if (n == 4) {
        const double sx[4] = {-1, 1, 1, -1};
        const double sy[4] = {-1, -1, 1, 1};
        for (std::size_t k = 0; k < 4; ++k) {
            dxi[k] = sx[k] * (1 + sy[k] * eta) / 4;
            deta[k] = sy[k] * (1 + sx[k] * xi) / 4;
        }
    } else {
        dxi = {-1, 1, 0};
        deta = {-1, 0, 1};
    }
    double j11 = 0, j12 = 0, j21 = 0, j22 = 0;
    for (std::size_t k = 0; k < static_cast<std::size_t>(n); ++k) {
        j11 += dxi[k] * x[k];
        j12 += dxi[k] * y[k];
        j21 += deta[k] * x[k];
        j22 += deta[k] * y[k];
    }
    const double det = j11 * j22 - j12 * j21;
    dx.assign(static_cast<std::size_t>(n), 0.0);
    dy.assign(static_cast<std::size_t>(n), 0.0);
    for (std::size_t k = 0; k < static_cast<std::size_t>(n); ++k) {
        dx[k] = (j22 * dxi[k] - j12 * deta[k]) / det;
        dy[k] = (-j21 * dxi[k] + j11 * deta[k]) / det;
    }
    return std::fabs(det);
}

// Solid shape functions and natural derivatives of the reference numbering.
void solid_shape(int n, double xi, double eta, double zeta, std::vector<double>& N, std::vector<Point3>& dN)
{
    N.assign(static_cast<std::size_t>(n), 0.0);
    dN.assign(static_cast<std::size_t>(n), Point3{});
    if (n == 8) {
        const double sx[8] = {-1, 1, 1, -1, -1, 1, 1, -1};
        const double sy[8] = {-1, -1, 1, 1, -1, -1, 1, 1};
        const double sz[8] = {1, 1, 1, 1, -1, -1, -1, -1};
        for (std::size_t k = 0; k < 8; ++k) {
            const double a = 1 + sx[k] * xi, b = 1 + sy[k] * eta, c = 1 + sz[k] * zeta;
            N[k] = a * b * c / 8;
            dN[k] = {sx[k] * b * c / 8, sy[k] * a * c / 8, sz[k] * a * b / 8};
        }
    } else if (n == 6) {
        const double L[3] = {1 - xi - eta, xi, eta};
        const Point3 dL[3] = {{-1, -1, 0}, {1, 0, 0}, {0, 1, 0}};
        for (std::size_t k = 0; k < 6; ++k) {
            const std::size_t c = k % 3;
            const double s = k < 3 ? -1.0 : 1.0;
            const double h = (1 + s * zeta) / 2;
            N[k] = L[c] * h;
            dN[k] = {dL[c][0] * h, dL[c][1] * h, L[c] * s / 2};
        }
    } else {
        N = {1 - xi - eta - zeta, xi, eta, zeta};
        dN = {{-1, -1, -1}, {1, 0, 0}, {0, 1, 0}, {0, 0, 1}};
    }
}

// B (6 x 3n) at a natural point of the solid and |J|.
double solid_bmatrix(const std::vector<Point3>& X, double xi, double eta, double zeta, std::vector<std::array<double, 6>>& Bcols)
{
    const int n = static_cast<int>(X.size());
    std::vector<double> N;
    std::vector<Point3> dN;
    solid_shape(n, xi, eta, zeta, N, dN);
    double J[3][3] = {};
    for (std::size_t k = 0; k < X.size(); ++k)
        for (std::size_t i = 0; i < 3; ++i)
            for (std::size_t j = 0; j < 3; ++j)
                J[i][j] += dN[k][i] * X[k][j];
    const double det = J[0][0] * (J[1][1] * J[2][2] - J[1][2] * J[2][1]) - J[0][1] * (J[1][0] * J[2][2] - J[1][2] * J[2][0])
                       + J[0][2] * (J[1][0] * J[2][1] - J[1][1] * J[2][0]);
    double inv[3][3];
    inv[0][0] = (J[1][1] * J[2][2] - J[1][2] * J[2][1]) / det;
    inv[0][1] = (J[0][2] * J[2][1] - J[0][1] * J[2][2]) / det;
    inv[0][2] = (J[0][1] * J[1][2] - J[0][2] * J[1][1]) / det;
    inv[1][0] = (J[1][2] * J[2][0] - J[1][0] * J[2][2]) / det;
    inv[1][1] = (J[0][0] * J[2][2] - J[0][2] * J[2][0]) / det;
    inv[1][2] = (J[0][2] * J[1][0] - J[0][0] * J[1][2]) / det;
    inv[2][0] = (J[1][0] * J[2][1] - J[1][1] * J[2][0]) / det;
    inv[2][1] = (J[0][1] * J[2][0] - J[0][0] * J[2][1]) / det;
    inv[2][2] = (J[0][0] * J[1][1] - J[0][1] * J[1][0]) / det;
    Bcols.assign(static_cast<std::size_t>(3 * n), std::array<double, 6>{});
    for (std::size_t k = 0; k < X.size(); ++k) {
        // d/dx_i = sum_j inv(i, j) d/dnat_j
        double d[3];
        for (std::size_t i = 0; i < 3; ++i)
            d[i] = inv[i][0] * dN[k][0] + inv[i][1] * dN[k][1] + inv[i][2] * dN[k][2];
        std::array<double, 6>& u = Bcols[3 * k];
        std::array<double, 6>& v = Bcols[3 * k + 1];
        std::array<double, 6>& w = Bcols[3 * k + 2];
        u[0] = d[0];
        v[1] = d[1];
        w[2] = d[2];
        u[3] = d[1];
        v[3] = d[0];
        v[4] = d[2];
        w[4] = d[1];
        u[5] = d[2];
        w[5] = d[0];
    }
    return std::fabs(det);
}

struct NaturalPoint {
    double xi, eta, zeta, w;
};

} // namespace

Axes3 plane_element_axes(const std::vector<Point3>& xyz)
{
    Point3 a, b;
    if (xyz.size() == 4) {
        for (std::size_t i = 0; i < 3; ++i) {
            a[i] = (xyz[1][i] + xyz[2][i]) - (xyz[3][i] + xyz[0][i]);
            b[i] = (xyz[2][i] + xyz[3][i]) - (xyz[0][i] + xyz[1][i]);
        }
    } else {
        a = minus(xyz[1], xyz[0]);
        b = minus(xyz[2], xyz[1]);
    }
    const double f = dot(a, b) / dot(a, a);
    for (std::size_t i = 0; i < 3; ++i)
        b[i] -= f * a[i];
    const Point3 e1 = unit(a), e2 = unit(b);
    const Point3 e3 = {e1[1] * e2[2] - e1[2] * e2[1], e1[2] * e2[0] - e1[0] * e2[2], e1[0] * e2[1] - e1[1] * e2[0]};
    return {e1, e2, e3};
}

StoredMatrix plane_reference_matrix(const std::vector<Point3>& xyz, double E, double nu, double t, bool plane_strain)
{
    const int n = static_cast<int>(xyz.size());
    const Axes3 T = plane_element_axes(xyz);
    std::vector<double> x(xyz.size()), y(xyz.size());
    for (std::size_t k = 0; k < xyz.size(); ++k) {
        const Point3 d = minus(xyz[k], xyz[0]);
        x[k] = dot(T[0], d);
        y[k] = dot(T[1], d);
    }
    const auto D = plane_elasticity(E, nu, plane_strain);
    // In-plane strain rows per unit global translation: local (u, v) = (e1 . U, e2 . U).
    auto stress_rows = [&](double xi, double eta, StoredMatrix& S, int row0) {
        std::vector<double> dx, dy;
        plane_derivatives(n, x, y, xi, eta, dx, dy);
        for (int k = 0; k < n; ++k)
            for (int m = 0; m < 3; ++m) {
                const double du = T[0][static_cast<std::size_t>(m)], dv = T[1][static_cast<std::size_t>(m)];
                const double eps[3] = {dx[static_cast<std::size_t>(k)] * du, dy[static_cast<std::size_t>(k)] * dv,
                                       dy[static_cast<std::size_t>(k)] * du + dx[static_cast<std::size_t>(k)] * dv};
                for (std::size_t r = 0; r < 3; ++r)
                    S(row0 + static_cast<int>(r), 6 * k + m + 1) = D[r][0] * eps[0] + D[r][1] * eps[1] + D[r][2] * eps[2];
            }
    };
    StoredMatrix S(27, 6 * n);
    // Stiffness: K(i, j) = sum over points of B_i^T D B_j |J| w t, in global translations.
    std::vector<NaturalPoint> points;
    const double g = 1 / std::sqrt(3.0);
    if (n == 4)
        points = {{-g, -g, 0, 1}, {g, -g, 0, 1}, {g, g, 0, 1}, {-g, g, 0, 1}};
    else
        points = {{1.0 / 3, 1.0 / 3, 0, 0.5}};
    for (const NaturalPoint& p : points) {
        std::vector<double> dx, dy;
        const double det = plane_derivatives(n, x, y, p.xi, p.eta, dx, dy);
        const int cols = 3 * n;
        std::vector<std::array<double, 3>> B(static_cast<std::size_t>(cols));
        for (int k = 0; k < n; ++k)
            for (int m = 0; m < 3; ++m) {
                const double du = T[0][static_cast<std::size_t>(m)], dv = T[1][static_cast<std::size_t>(m)];
                B[static_cast<std::size_t>(3 * k + m)] = {dx[static_cast<std::size_t>(k)] * du, dy[static_cast<std::size_t>(k)] * dv,
                                                          dy[static_cast<std::size_t>(k)] * du + dx[static_cast<std::size_t>(k)] * dv};
            }
        for (int i = 0; i < cols; ++i)
            for (int j = 0; j < cols; ++j) {
                const auto& bi = B[static_cast<std::size_t>(i)];
                const auto& bj = B[static_cast<std::size_t>(j)];
                double s = 0;
                for (std::size_t r = 0; r < 3; ++r)
                    s += bi[r] * (D[r][0] * bj[0] + D[r][1] * bj[1] + D[r][2] * bj[2]);
                S(i + 1, 6 * (j / 3) + j % 3 + 1) += s * det * p.w * t;
            }
    }
    if (n == 4) {
        stress_rows(0, 0, S, 13);
        const double cx[4] = {-1, 1, 1, -1}, cy[4] = {-1, -1, 1, 1};
        for (int k = 0; k < 4; ++k)
            stress_rows(cx[k], cy[k], S, 16 + 3 * k);
    } else {
        for (int p = 0; p < 4; ++p)
            stress_rows(1.0 / 3, 1.0 / 3, S, 13 + 3 * p);
    }
    return S;
}

StoredMatrix solid_reference_matrix(const std::vector<Point3>& xyz, double E, double nu)
{
    const int n = static_cast<int>(xyz.size());
    const double c = E / ((1 + nu) * (1 - 2 * nu));
    double D[6][6] = {};
    for (std::size_t i = 0; i < 3; ++i)
        for (std::size_t j = 0; j < 3; ++j)
            D[i][j] = i == j ? c * (1 - nu) : c * nu;
    D[3][3] = D[4][4] = D[5][5] = E / (2 * (1 + nu));

    std::vector<NaturalPoint> rule;
    std::vector<NaturalPoint> stress_points;
    NaturalPoint centre{0, 0, 0, 0};
    const double g = 1 / std::sqrt(3.0);
    if (n == 8) {
        const double sx[8] = {-1, 1, 1, -1, -1, 1, 1, -1};
        const double sy[8] = {-1, -1, 1, 1, -1, -1, 1, 1};
        const double sz[8] = {1, 1, 1, 1, -1, -1, -1, -1};
        for (std::size_t k = 0; k < 8; ++k)
            rule.push_back({g * sx[k], g * sy[k], g * sz[k], 1});
        stress_points = rule;
    } else if (n == 6) {
        const double tri[3][2] = {{1.0 / 6, 1.0 / 6}, {2.0 / 3, 1.0 / 6}, {1.0 / 6, 2.0 / 3}};
        for (double z : {-g, g})
            for (const auto& p : tri)
                rule.push_back({p[0], p[1], z, 1.0 / 6});
        const double corner[3][2] = {{0, 0}, {1, 0}, {0, 1}};
        for (double z : {-g, g}) {
            stress_points.push_back({1.0 / 3, 1.0 / 3, z, 0});
            for (const auto& q : corner)
                stress_points.push_back({1.0 / 3 + (q[0] - 1.0 / 3) / 2.5, 1.0 / 3 + (q[1] - 1.0 / 3) / 2.5, z, 0});
        }
        centre = {1.0 / 3, 1.0 / 3, 0, 0};
    } else {
        rule = {{0.25, 0.25, 0.25, 1.0 / 6}};
        stress_points = rule;
        centre = {0.25, 0.25, 0.25, 0};
    }
    StoredMatrix S(n == 4 ? 36 : 78, 6 * n);
    const int cols = 3 * n;
    std::vector<std::array<double, 6>> B;
    for (const NaturalPoint& p : rule) {
        const double det = solid_bmatrix(xyz, p.xi, p.eta, p.zeta, B);
        for (int i = 0; i < cols; ++i)
            for (int j = 0; j < cols; ++j) {
                double s = 0;
                for (std::size_t r = 0; r < 6; ++r) {
                    double db = 0;
                    for (std::size_t q = 0; q < 6; ++q)
                        db += D[r][q] * B[static_cast<std::size_t>(j)][q];
                    s += B[static_cast<std::size_t>(i)][r] * db;
                }
                S(i + 1, 6 * (j / 3) + j % 3 + 1) += s * det * p.w;
            }
    }
    auto stress_rows = [&](const NaturalPoint& p, int row0) {
        solid_bmatrix(xyz, p.xi, p.eta, p.zeta, B);
        for (int j = 0; j < cols; ++j)
            for (std::size_t r = 0; r < 6; ++r) {
                double db = 0;
                for (std::size_t q = 0; q < 6; ++q)
                    db += D[r][q] * B[static_cast<std::size_t>(j)][q];
                S(row0 + static_cast<int>(r), 6 * (j / 3) + j % 3 + 1) = db;
            }
    };
    stress_rows(centre, 25);
    for (std::size_t k = 0; k < stress_points.size(); ++k)
        stress_rows(stress_points[k], 31 + 6 * static_cast<int>(k));
    return S;
}

} // namespace kvpvs::resultfiles
