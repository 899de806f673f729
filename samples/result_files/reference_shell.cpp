#include "result_files/reference_shell.h"

#include <cmath>
#include <cstddef>

namespace kvpvs::resultfiles {
namespace {

Point3 minus(const Point3& a, const Point3& b) { return {a[0] - b[0], a[1] - b[1], a[2] - b[2]}; }
double dot(const Point3& a, const Point3& b) { return a[0] * b[0] + a[1] * b[1] + a[2] * b[2]; }
Point3 cross(const Point3& a, const Point3& b)
{
    return {a[1] * b[2] - a[2] * b[1], a[2] * b[0] - a[0] * b[2], a[0] * b[1] - a[1] * b[0]};
}
Point3 unit(const Point3& a)
{
    const double l = std::sqrt(dot(a, a));
    return {a[0] / l, a[1] / l, a[2] / l};
}

// Strain-displacement rows of one point for the corner derivatives (dx, dy) and values N.
// Freedoms per corner: 0 u, 1 v, 2 w, 3 theta-x, 4 theta-y (5, the drilling rotation, unused).
// With rotation vectors, w = theta-x y - theta-y x under a rigid rotation: curvatures
// (theta-y,x ; -theta-x,y ; theta-y,y - theta-x,x), shears (w,x + theta-y ; w,y - theta-x).
struct PointRows {
    std::vector<double> membrane;  // 3 x 6n
    std::vector<double> bending;   // 3 x 6n
    std::vector<double> shear;     // 2 x 6n
};

PointRows rows_at(int n, const double* dx, const double* dy, const double* N)
{
    const std::size_t cols = static_cast<std::size_t>(6 * n);
    PointRows r{std::vector<double>(3 * cols, 0.0), std::vector<double>(3 * cols, 0.0), std::vector<double>(2 * cols, 0.0)};
    auto at = [](std::vector<double>& m, std::size_t rows, std::size_t row, std::size_t col) -> double& {
        return m[row + rows * col];
    };
    for (int k = 0; k < n; ++k) {
        const std::size_t c = static_cast<std::size_t>(6 * k);
        at(r.membrane, 3, 0, c) = dx[k];
        at(r.membrane, 3, 1, c + 1) = dy[k];
        at(r.membrane, 3, 2, c) = dy[k];
        at(r.membrane, 3, 2, c + 1) = dx[k];
        at(r.bending, 3, 0, c + 4) = dx[k];
        at(r.bending, 3, 1, c + 3) = -dy[k];
        at(r.bending, 3, 2, c + 4) = dy[k];
        at(r.bending, 3, 2, c + 3) = -dx[k];
        at(r.shear, 2, 0, c + 2) = dx[k];
        at(r.shear, 2, 0, c + 4) = N[k];
        at(r.shear, 2, 1, c + 2) = dy[k];
        at(r.shear, 2, 1, c + 3) = -N[k];
    }
    return r;
}

// K += B^T D B w for B (rows x cols) and D (rows x rows, row-major).
void add_product(std::vector<double>& K, std::size_t cols, const std::vector<double>& B, std::size_t rows,
                 const double* D, double w)
{
    for (std::size_t j = 0; j < cols; ++j)
        for (std::size_t i = 0; i < cols; ++i) {
            double s = 0.0;
            for (std::size_t a = 0; a < rows; ++a)
                for (std::size_t b = 0; b < rows; ++b)
                    s += B[a + rows * i] * D[a * rows + b] * B[b + rows * j];
            K[i + cols * j] += s * w;
        }
}

} // namespace

Axes3 flat_element_axes(const std::vector<Point3>& c)
{
    const Point3 e1 = unit(minus(c[1], c[0]));
    const Point3 normal = c.size() == 4 ? cross(minus(c[2], c[0]), minus(c[3], c[1])) : cross(minus(c[1], c[0]), minus(c[2], c[0]));
    const Point3 e3 = unit(normal);
    const Point3 e2 = cross(e3, e1);
    return {e1, e2, e3};
}

std::vector<double> shell_stiffness_local(const std::vector<Point3>& corners, const Axes3& T, const ShellSection& s)
{
    const int n = static_cast<int>(corners.size());
    const std::size_t cols = static_cast<std::size_t>(6 * n);
    std::vector<double> K(cols * cols, 0.0);
    double x[4] = {};
    double y[4] = {};
    for (int k = 0; k < n; ++k) {
        const Point3 d = minus(corners[static_cast<std::size_t>(k)], corners[0]);
        x[k] = dot(T[0], d);
        y[k] = dot(T[1], d);
    }
    const double c = s.E / (1.0 - s.nu * s.nu);
    const double plane[9] = {c, c * s.nu, 0.0, c * s.nu, c, 0.0, 0.0, 0.0, c * (1.0 - s.nu) / 2.0};
    double Dm[9];
    double Db[9];
    const double hb3 = s.bending_thickness * s.bending_thickness * s.bending_thickness;
    for (int i = 0; i < 9; ++i) {
        Dm[i] = plane[i] * s.membrane_thickness;
        Db[i] = plane[i] * hb3 / 12.0;
    }
    // Transverse shear with the shear correction 5/6.
    const double Gs = 5.0 / 6.0 * s.E / (2.0 * (1.0 + s.nu)) * s.bending_thickness;
    const double Ds[4] = {Gs, 0.0, 0.0, Gs};

    if (n == 3) {
        // Linear triangle: constant derivatives, one point at the centroid.
        const double A2 = (x[1] - x[0]) * (y[2] - y[0]) - (x[2] - x[0]) * (y[1] - y[0]);
        const double dx[3] = {(y[1] - y[2]) / A2, (y[2] - y[0]) / A2, (y[0] - y[1]) / A2};
        const double dy[3] = {(x[2] - x[1]) / A2, (x[0] - x[2]) / A2, (x[1] - x[0]) / A2};
        const double N[3] = {1.0 / 3.0, 1.0 / 3.0, 1.0 / 3.0};
        const PointRows r = rows_at(3, dx, dy, N);
        const double area = A2 / 2.0;
        add_product(K, cols, r.membrane, 3, Dm, area);
        add_product(K, cols, r.bending, 3, Db, area);
        add_product(K, cols, r.shear, 2, Ds, area);
        return K;
    }
    // Bilinear quadrilateral: membrane and bending over 2 x 2 points, shear at the centre.
    const double xi_k[4] = {-1.0, 1.0, 1.0, -1.0};
    const double eta_k[4] = {-1.0, -1.0, 1.0, 1.0};
    auto point = [&](double xi, double eta, double weight, bool shear_only) {
        double dN[2][4];
        double N[4];
        for (int k = 0; k < 4; ++k) {
            N[k] = 0.25 * (1.0 + xi * xi_k[k]) * (1.0 + eta * eta_k[k]);
            dN[0][k] = 0.25 * xi_k[k] * (1.0 + eta * eta_k[k]);
            dN[1][k] = 0.25 * eta_k[k] * (1.0 + xi * xi_k[k]);
        }
        double J[2][2] = {};
        for (int k = 0; k < 4; ++k) {
            J[0][0] += dN[0][k] * x[k];
            J[0][1] += dN[0][k] * y[k];
            J[1][0] += dN[1][k] * x[k];
            J[1][1] += dN[1][k] * y[k];
        }
        const double det = J[0][0] * J[1][1] - J[0][1] * J[1][0];
        double dx[4];
        double dy[4];
        for (int k = 0; k < 4; ++k) {
            dx[k] = (J[1][1] * dN[0][k] - J[0][1] * dN[1][k]) / det;
            dy[k] = (-J[1][0] * dN[0][k] + J[0][0] * dN[1][k]) / det;
        }
        const PointRows r = rows_at(4, dx, dy, N);
        if (shear_only) {
            add_product(K, cols, r.shear, 2, Ds, det * weight);
            return;
        }
        add_product(K, cols, r.membrane, 3, Dm, det * weight);
        add_product(K, cols, r.bending, 3, Db, det * weight);
    };
    const double g = 1.0 / std::sqrt(3.0);
    for (double eta : {-g, g})
        for (double xi : {-g, g})
            point(xi, eta, 1.0, false);
    point(0.0, 0.0, 4.0, true);
    return K;
}

std::vector<double> shell_stiffness_global(const std::vector<Point3>& corners, const Axes3& T, const ShellSection& s)
{
    const std::vector<double> L = shell_stiffness_local(corners, T, s);
    const std::size_t cols = 6 * corners.size();
    const std::size_t blocks = cols / 3;
    std::vector<double> K(cols * cols, 0.0);
    for (std::size_t bj = 0; bj < blocks; ++bj)
        for (std::size_t bi = 0; bi < blocks; ++bi)
            for (std::size_t j = 0; j < 3; ++j)
                for (std::size_t i = 0; i < 3; ++i) {
                    // (T^T Kl T)(i, j) = sum_a sum_b T(a, i) Kl(a, b) T(b, j)
                    double v = 0.0;
                    for (std::size_t a = 0; a < 3; ++a)
                        for (std::size_t b = 0; b < 3; ++b)
                            v += T[a][i] * L[(3 * bi + a) + cols * (3 * bj + b)] * T[b][j];
                    K[(3 * bi + i) + cols * (3 * bj + j)] = v;
                }
    return K;
}

} // namespace kvpvs::resultfiles
