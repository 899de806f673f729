#pragma once
// Fixtures of the plate and shell tests: an element lying in a tilted plane (its axes T,
// local corner coordinates and the global nodes), material set-up, element stiffness by
// kind, and Kirchhoff and membrane displacement fields in element axes.

#include <array>
#include <cmath>
#include <ostream>
#include <vector>

#include "kernel_test_support.h"
#include "recovery/kernels/element_library.h"

namespace kvpvs::recovery::test {

enum class Kind { quad_thick, quad_thin, tri_thick, tri_thin };

inline const char* kind_name(Kind k)
{
    switch (k) {
    case Kind::quad_thick: return "QuadThick";
    case Kind::quad_thin: return "QuadThin";
    case Kind::tri_thick: return "TriThick";
    default: return "TriThin";
    }
}
inline void PrintTo(Kind k, std::ostream* os) { *os << kind_name(k); }
inline bool is_quad(Kind k) { return k == Kind::quad_thick || k == Kind::quad_thin; }

struct Element {
    int nn = 4;
    Mat33 T;
    std::array<double, 3> origin{1.5, -0.7, 2.0};
    std::vector<std::array<double, 3>> local;  // x, y in the plane, z the offset
    FixedMatrix<3, 4> XYZ;
    FixedVector<4> X, Y, Z;

    // Axes: e1 along (1, 0.4, -0.3), e3 normal, e2 = e3 x e1.
    void tilted_axes()
    {
        double e1[3] = {1.0, 0.4, -0.3}, a[3] = {-0.3, 1.0, 0.5};
        unit(e1);
        double e3[3] = {e1[1] * a[2] - e1[2] * a[1], e1[2] * a[0] - e1[0] * a[2], e1[0] * a[1] - e1[1] * a[0]};
        unit(e3);
        const double e2[3] = {e3[1] * e1[2] - e3[2] * e1[1], e3[2] * e1[0] - e3[0] * e1[2], e3[0] * e1[1] - e3[1] * e1[0]};
        for (int j = 1; j <= 3; ++j) {
            T(1, j) = e1[j - 1];
            T(2, j) = e2[j - 1];
            T(3, j) = e3[j - 1];
        }
    }
    void identity_axes()
    {
        T.fill(0.0);
        T(1, 1) = T(2, 2) = T(3, 3) = 1.0;
    }
    void place(const std::vector<std::array<double, 3>>& pts)
    {
        local = pts;
        nn = static_cast<int>(pts.size());
        for (int k = 1; k <= nn; ++k) {
            for (int i = 1; i <= 3; ++i) {
                const auto& p = pts[static_cast<size_t>(k - 1)];
                XYZ(i, k) = origin[static_cast<size_t>(i - 1)] + p[0] * T(1, i) + p[1] * T(2, i) + p[2] * T(3, i);
            }
            X(k) = XYZ(1, k);
            Y(k) = XYZ(2, k);
            Z(k) = XYZ(3, k);
        }
    }
    static void unit(double* v)
    {
        const double n = std::sqrt(v[0] * v[0] + v[1] * v[1] + v[2] * v[2]);
        for (int i = 0; i < 3; ++i) v[i] /= n;
    }
};

inline void set_isotropic(SharedBlocks& b, double E, double nu, double t)
{
    b.material_block.material_type = 0;
    b.material_block.elastic_modulus = E;
    b.material_block.poisson_ratio = nu;
    b.section_values[0] = t;
    b.section_values[1] = t;
    b.plane_mode = 0;
    b.membrane_flag = 0;
}

// Orthotropic record that reproduces an isotropic material with modulus E, ratio nu and
// shear moduli G (in plane) and Gt (transverse, both planes).
inline void set_orthotropic(SharedBlocks& b, double E, double nu, double G, double Gt1, double Gt2,
                            double t)
{
    set_isotropic(b, E, nu, t);
    b.material_block.material_type = 1;
    b.material_block.material_constants = {E, nu, 0.0, E, nu, 0.0, G, Gt1, Gt2};
}

// Element stiffness K(24,24); rotate 1 gives global axes.
inline void stiffness(ElementLibrary& lib, Kind k, Element& e, FixedMatrix<24, 24>& K, int rotate)
{
    static FixedMatrix<24, 24> W;
    double area = 0.0;
    switch (k) {
    case Kind::quad_thick: lib.quad_thick_stiffness(K, W, 24, e.X, e.Y, e.Z, e.T, rotate); break;
    case Kind::quad_thin: lib.quad_thin_stiffness(K, W, 24, e.X, e.Y, e.Z, e.T, rotate); break;
    case Kind::tri_thick: lib.tri_thick_stiffness(K, W, 24, e.X, e.Y, e.Z, e.T, area, rotate); break;
    case Kind::tri_thin: lib.tri_thin_stiffness(K, W, 24, e.X, e.Y, e.Z, e.T, area, rotate); break;
    }
}

inline double energy(const FixedMatrix<24, 24>& K, const std::vector<double>& u, int n)
{
    double s = 0.0;
    for (int i = 1; i <= n; ++i)
        for (int j = 1; j <= n; ++j) s += u[static_cast<size_t>(i - 1)] * K(i, j) * u[static_cast<size_t>(j - 1)];
    return s;
}

// Kirchhoff field w = (kx x^2 + ky y^2 + kxy x y)/2 (element axes) with theta-x = dw/dy,
// theta-y = -dw/dx, six values per node.
inline std::vector<double> kirchhoff_field(const Element& e, double kx, double ky, double kxy)
{
    std::vector<double> u(static_cast<size_t>(6 * e.nn), 0.0);
    for (int k = 0; k < e.nn; ++k) {
        const double x = e.local[static_cast<size_t>(k)][0], y = e.local[static_cast<size_t>(k)][1];
        u[static_cast<size_t>(6 * k + 2)] = 0.5 * (kx * x * x + ky * y * y + kxy * x * y);
        u[static_cast<size_t>(6 * k + 3)] = ky * y + 0.5 * kxy * x;
        u[static_cast<size_t>(6 * k + 4)] = -(kx * x + 0.5 * kxy * y);
    }
    return u;
}

// Linear membrane field u = a x + b y, v = c x + d y, no drilling rotation (the
// quadrilateral's drilling spring would take energy from one).
inline std::vector<double> membrane_field(const Element& e, double a, double b, double c, double d)
{
    std::vector<double> u(static_cast<size_t>(6 * e.nn), 0.0);
    for (int k = 0; k < e.nn; ++k) {
        const double x = e.local[static_cast<size_t>(k)][0], y = e.local[static_cast<size_t>(k)][1];
        u[static_cast<size_t>(6 * k)] = a * x + b * y;
        u[static_cast<size_t>(6 * k + 1)] = c * x + d * y;
    }
    return u;
}

// Plane-stress D of an isotropic material.
inline void plane_stress(double E, double nu, double D[3][3])
{
    const double c = E / (1.0 - nu * nu);
    D[0][0] = D[1][1] = c;
    D[0][1] = D[1][0] = nu * c;
    D[2][2] = c * (1.0 - nu) / 2.0;
    D[0][2] = D[2][0] = D[1][2] = D[2][1] = 0.0;
}

inline double polygon_area(const Element& e)
{
    double a = 0.0;
    for (int k = 0; k < e.nn; ++k) {
        const auto& p = e.local[static_cast<size_t>(k)];
        const auto& q = e.local[static_cast<size_t>((k + 1) % e.nn)];
        a += p[0] * q[1] - q[0] * p[1];
    }
    return 0.5 * a;
}

}  // namespace kvpvs::recovery::test
