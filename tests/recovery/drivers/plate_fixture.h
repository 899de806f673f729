// Flat plates in a tilted plane written as PLAT records with a reference flat-shell matrix, their
// displacement histories as modal or direct results, and the 94 rows of the element-results
// entry read back step by step. Fields are given in element axes (six values per corner) and
// turned into global axes for the files.
#pragma once

#include "TempDir.h"

#include "recovery/drivers/driver_state.h"
#include "recovery/drivers/element_results.h"
#include "result_files/reference_shell.h"
#include "result_files/result_file_writer.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <functional>
#include <string>
#include <vector>

namespace kvpvs::testing::plate {

using resultfiles::Axes3;
using resultfiles::PlateRecordFacts;
using resultfiles::Point3;
using resultfiles::ShellSection;

constexpr int ROWS = 94;
using Rows = std::array<double, ROWS>;
using Six = std::array<double, 6>;
// Six values of each corner in element axes.
using LocalField = std::vector<Six>;

// Axes of the tilted plane: e1 along (1, 0.4, -0.3), e3 normal to e1 and (-0.3, 1, 0.5).
inline Axes3 tilted_axes()
{
    auto unit = [](Point3 v) {
        const double l = std::sqrt(v[0] * v[0] + v[1] * v[1] + v[2] * v[2]);
        return Point3{v[0] / l, v[1] / l, v[2] / l};
    };
    auto cross = [](const Point3& a, const Point3& b) {
        return Point3{a[1] * b[2] - a[2] * b[1], a[2] * b[0] - a[0] * b[2], a[0] * b[1] - a[1] * b[0]};
    };
    const Point3 e1 = unit({1.0, 0.4, -0.3});
    const Point3 e3 = unit(cross(e1, {-0.3, 1.0, 0.5}));
    return {e1, cross(e3, e1), e3};
}

// A flat element: corners in the plane (x, y along the axes' rows 1 and 2) about an origin.
struct Plate {
    Axes3 T = tilted_axes();
    Point3 origin{1.5, -0.7, 2.0};
    std::vector<std::array<double, 2>> local;

    int corners() const { return static_cast<int>(local.size()); }
    Point3 global(int k) const
    {
        const auto& p = local[static_cast<std::size_t>(k)];
        Point3 g{};
        for (std::size_t i = 0; i < 3; ++i)
            g[i] = origin[i] + p[0] * T[0][i] + p[1] * T[1][i];
        return g;
    }
    std::vector<Point3> globals() const
    {
        std::vector<Point3> g;
        for (int k = 0; k < corners(); ++k)
            g.push_back(global(k));
        return g;
    }
};

// A parallelogram with side 1-2 along axis 1 and a triangle with side 1-2 along axis 1: the
// element's own axes rules give the plane's axes for both.
inline Plate parallelogram() { return Plate{tilted_axes(), {1.5, -0.7, 2.0}, {{0.0, 0.0}, {2.2, 0.0}, {2.9, 1.6}, {0.7, 1.6}}}; }
inline Plate triangle() { return Plate{tilted_axes(), {1.5, -0.7, 2.0}, {{0.0, 0.0}, {2.1, 0.0}, {0.6, 1.4}}}; }
// A general quadrilateral, and the rectangle 2 x 1 with its sides along the axes.
inline Plate trapezoid() { return Plate{tilted_axes(), {1.5, -0.7, 2.0}, {{0.0, 0.0}, {2.4, 0.0}, {1.9, 1.5}, {0.3, 1.2}}}; }
inline Plate rectangle() { return Plate{tilted_axes(), {1.5, -0.7, 2.0}, {{0.0, 0.0}, {2.0, 0.0}, {2.0, 1.0}, {0.0, 1.0}}}; }

// u = a x + b y, v = c x + d y.
inline LocalField membrane_field(const Plate& p, double a, double b, double c, double d)
{
    LocalField f;
    for (const auto& q : p.local)
        f.push_back({a * q[0] + b * q[1], c * q[0] + d * q[1], 0.0, 0.0, 0.0, 0.0});
    return f;
}

// Kirchhoff field w = (kx x^2 + ky y^2 + kxy x y) / 2, theta-x = w,y, theta-y = -w,x.
inline LocalField curvature_field(const Plate& p, double kx, double ky, double kxy)
{
    LocalField f;
    for (const auto& q : p.local) {
        const double x = q[0], y = q[1];
        f.push_back({0.0, 0.0, 0.5 * (kx * x * x + ky * y * y + kxy * x * y), ky * y + 0.5 * kxy * x,
                     -(kx * x + 0.5 * kxy * y), 0.0});
    }
    return f;
}

// Rigid motion in global axes: translation t and rotation w about the plate's origin.
inline std::vector<double> rigid_global(const Plate& p, const Point3& t, const Point3& w)
{
    std::vector<double> g;
    for (int k = 0; k < p.corners(); ++k) {
        const Point3 x = p.global(k);
        const Point3 r{x[0] - p.origin[0], x[1] - p.origin[1], x[2] - p.origin[2]};
        g.push_back(t[0] + w[1] * r[2] - w[2] * r[1]);
        g.push_back(t[1] + w[2] * r[0] - w[0] * r[2]);
        g.push_back(t[2] + w[0] * r[1] - w[1] * r[0]);
        g.insert(g.end(), w.begin(), w.end());
    }
    return g;
}

// Global six values of each corner: translations and rotations turned by T^T.
inline std::vector<double> to_global(const Plate& p, const LocalField& f)
{
    std::vector<double> g;
    for (const Six& s : f)
        for (int half = 0; half < 2; ++half)
            for (std::size_t j = 0; j < 3; ++j)
                g.push_back(p.T[0][j] * s[3 * half] + p.T[1][j] * s[3 * half + 1] + p.T[2][j] * s[3 * half + 2]);
    return g;
}

inline std::vector<double> to_local(const Plate& p, const std::vector<double>& g)
{
    std::vector<double> l(g.size(), 0.0);
    for (std::size_t t = 0; t < g.size() / 3; ++t)
        for (std::size_t r = 0; r < 3; ++r)
            l[3 * t + r] = p.T[r][0] * g[3 * t] + p.T[r][1] * g[3 * t + 1] + p.T[r][2] * g[3 * t + 2];
    return l;
}

inline std::vector<double> flatten(const LocalField& f)
{
    std::vector<double> v;
    for (const Six& s : f)
        v.insert(v.end(), s.begin(), s.end());
    return v;
}

// y = K x for a column-major square K of order x.size().
inline std::vector<double> times(const std::vector<double>& K, const std::vector<double>& x)
{
    const std::size_t n = x.size();
    std::vector<double> y(n, 0.0);
    for (std::size_t c = 0; c < n; ++c)
        for (std::size_t r = 0; r < n; ++r)
            y[r] += K[r + n * c] * x[c];
    return y;
}

// Plane-stress matrix (row-major) of an isotropic material.
inline std::array<double, 9> plane_stress(double E, double nu)
{
    const double c = E / (1.0 - nu * nu);
    return {c, c * nu, 0.0, c * nu, c, 0.0, 0.0, 0.0, c * (1.0 - nu) / 2.0};
}

inline std::array<double, 3> apply(const std::array<double, 9>& D, const std::array<double, 3>& v)
{
    return {D[0] * v[0] + D[1] * v[1] + D[2] * v[2], D[3] * v[0] + D[4] * v[1] + D[5] * v[2],
            D[6] * v[0] + D[7] * v[1] + D[8] * v[2]};
}

constexpr double kE = 2.0e5;
constexpr double kNu = 0.25;
constexpr double kH1 = 0.3;   // membrane thickness
constexpr double kH2 = 0.24;  // bending thickness

class PlateFamilyTest : public ::testing::Test {
protected:
    // Node numbers 11..14; degree of freedom d of corner k is equation 6(k - 1) + d.
    static constexpr int FIRST_NODE = 11;

    // The element record of a plate with the reference matrix of its corners; rows 18 or 24 for
    // a triangle (stored with three corners, or four with the fourth equal to the third).
    PlateRecordFacts facts(const Plate& p, int plate_type, int matrix_order = 0) const
    {
        PlateRecordFacts f;
        const int n = p.corners();
        const int order = matrix_order ? matrix_order : 6 * n;
        const ShellSection s{kE, kNu, kH1, kH2};
        const std::vector<double> K = resultfiles::shell_stiffness_global(p.globals(), p.T, s);
        f.matrix_rows = order;
        for (int j = 1; j <= order; ++j)
            f.equations.push_back(j);
        f.matrix.assign(static_cast<std::size_t>(order * order), 0.0);
        const int k6 = 6 * n;
        for (int c = 0; c < order; ++c)
            for (int r = 0; r < order; ++r)
                f.matrix[static_cast<std::size_t>(r + order * c)] =
                    r < k6 && c < k6 ? K[static_cast<std::size_t>(r + k6 * c)] : 0.01 * (r + 1) - 0.003 * (c + 1);
        f.stored_nodes = order == 24 ? 4 : n;
        for (int k = 0; k < 4; ++k) {
            const int corner = std::min(k, n - 1);
            if (k < n || order == 24) {
                f.nodes[static_cast<std::size_t>(k)] = FIRST_NODE + corner;
                f.xyz[static_cast<std::size_t>(k)] = p.global(corner);
            }
        }
        f.section[0] = kH1;
        f.section[1] = kH2;
        f.E = kE;
        f.nu = kNu;
        f.plate_type = plate_type;
        return f;
    }

    // Records 1.. of data set PLAT (sub-id 3).
    void add_plates(const std::vector<PlateRecordFacts>& plates, int sub_id = 3)
    {
        std::vector<resultfiles::Record> r;
        for (const auto& f : plates)
            r.push_back(resultfiles::plate_record(f));
        builder.add_family_records("PLAT", resultfiles::PLATE_RECORD_WORDS, std::move(r), sub_id);
    }

    void add_nodes()
    {
        for (int k = 0; k < 4; ++k)
            builder.set_node(FIRST_NODE + k, 0.0, 0.0, 0.0);
    }

    // Direct history 1 of `steps` steps: series[i] holds the 24 (or fewer) global values at step i.
    void direct_history(const std::vector<std::vector<double>>& series, int thlg = 1)
    {
        resultfiles::HistoryFacts h;
        h.type = 2;
        h.case_or_file = 1;
        h.thlg = thlg;
        builder.set_history(1, h);
        const std::size_t dofs = series.empty() ? 0 : series[0].size();
        for (std::size_t e = 0; e < dofs; ++e) {
            std::vector<double> s;
            for (const auto& step : series)
                s.push_back(step[e]);
            builder.set_direct_series(1, static_cast<int>(e + 1), s);
        }
        add_nodes();
    }

    // Modal history 1: shapes[m] the global values of mode m, q[m][i] its coordinate at step i.
    void modal_history(const std::vector<std::vector<double>>& shapes, const std::vector<std::vector<double>>& q)
    {
        resultfiles::HistoryFacts h;
        h.type = 1;
        h.case_or_file = 1;
        h.modes = static_cast<int>(shapes.size());
        h.steps_per_mode = static_cast<int>(q[0].size());
        builder.set_history(1, h);
        std::vector<double> flat;
        for (const auto& m : q)
            flat.insert(flat.end(), m.begin(), m.end());
        builder.set_modal_coordinates(1, h.modes, h.steps_per_mode, flat);
        for (std::size_t e = 0; e < shapes[0].size(); ++e) {
            std::vector<double> v;
            for (const auto& s : shapes)
                v.push_back(s[e]);
            builder.set_mode_shape(static_cast<int>(e + 1), v);
        }
        add_nodes();
    }

    // Rows 1..94 of every step of PLAT record `record` (history build).
    std::vector<Rows> history(int record, int n, int element = 1)
    {
        std::vector<Rows> out(static_cast<std::size_t>(n));
        std::vector<double> v(static_cast<std::size_t>(n));
        for (int r = 1; r <= ROWS; ++r) {
            recovery::history_build::element_results(base.data(), static_cast<int>(base.size()), 3, record, r, 1, n, 4, 0,
                                                     v.data(), 0, element);
            for (int i = 0; i < n; ++i)
                out[static_cast<std::size_t>(i)][static_cast<std::size_t>(r - 1)] = v[static_cast<std::size_t>(i)];
        }
        return out;
    }

    // Rows 1..94 of step s (single-step build).
    Rows step(int record, int n, int s, int element = 1)
    {
        Rows out{};
        for (int r = 1; r <= ROWS; ++r)
            recovery::step_build::element_results(base.data(), static_cast<int>(base.size()), 3, record, r, 1, n, s, 4, 0,
                                                  &out[static_cast<std::size_t>(r - 1)], 0, element);
        return out;
    }

    TempDir dir;
    std::string base = dir.file("model");
    resultfiles::ResultSetBuilder builder;
};

} // namespace kvpvs::testing::plate

// Flat six- and eight-node plates in the tilted plane of the linear plate tests, written as PLTH
// records with their nodes in CORD, their displacement histories as direct or modal results, and
// the 174 rows of the element-results entry read back. Fields are given in element axes (six
// values per node) and turned into global axes for the files. It builds on the linear plates'
// fixture above, so that a test can put PLAT elements beside the quadratic ones.
namespace kvpvs::testing::quadplate {

using plate::LocalField;
using plate::Plate;
using plate::Six;
using resultfiles::QuadPlateRecordFacts;

constexpr int QUAD_ROWS = 174;
using QuadRows = std::array<double, QUAD_ROWS>;
constexpr double kE = plate::kE;
constexpr double kNu = plate::kNu;
constexpr double kH1 = plate::kH1;
constexpr double kH2 = plate::kH2;

// Node lists in element order: corners, then mid-side nodes (6 nodes: sides 1-2, 2-3, 3-1;
// 8 nodes: sides 1-2, 2-3, 3-4, 4-1). Side 1-2 lies along the plane's axis 1, so that the
// element's axes rules give the plane's axes.
inline Plate rectangle8()
{
    return Plate{plate::tilted_axes(), {1.5, -0.7, 2.0},
                 {{0.0, 0.0}, {2.0, 0.0}, {2.0, 1.0}, {0.0, 1.0}, {1.0, 0.0}, {2.0, 0.5}, {1.0, 1.0}, {0.0, 0.5}}};
}
// A general quadrilateral whose mid-side nodes sit off their sides' midpoints: the midpoint of
// nodes 5 and 7 (1.2, 0.7) is not the mean of the eight nodes.
inline Plate distorted8()
{
    return Plate{plate::tilted_axes(), {1.5, -0.7, 2.0},
                 {{0.0, 0.0}, {2.4, 0.0}, {1.9, 1.5}, {0.3, 1.2}, {1.3, -0.1}, {2.2, 0.8}, {1.1, 1.5}, {0.1, 0.6}}};
}
inline Plate triangle6()
{
    return Plate{plate::tilted_axes(), {1.5, -0.7, 2.0},
                 {{0.0, 0.0}, {2.1, 0.0}, {0.6, 1.4}, {1.05, 0.0}, {1.35, 0.7}, {0.3, 0.7}}};
}
// The right triangle with its legs along the axes.
inline Plate right_triangle6()
{
    return Plate{plate::tilted_axes(), {1.5, -0.7, 2.0},
                 {{0.0, 0.0}, {2.0, 0.0}, {0.0, 1.5}, {1.0, 0.0}, {1.0, 0.75}, {0.0, 0.75}}};
}

// Uniform transverse shear: w = gx x + gy y with no rotations.
inline LocalField shear_field(const Plate& p, double gx, double gy)
{
    LocalField f;
    for (const auto& q : p.local)
        f.push_back({0.0, 0.0, gx * q[0] + gy * q[1], 0.0, 0.0, 0.0});
    return f;
}

inline LocalField sum(const LocalField& a, const LocalField& b, double fa = 1.0, double fb = 1.0)
{
    LocalField s(a.size());
    for (std::size_t k = 0; k < a.size(); ++k)
        for (std::size_t c = 0; c < 6; ++c)
            s[k][c] = fa * a[k][c] + fb * b[k][c];
    return s;
}

template <std::size_t N>
double largest(const std::array<double, N>& r, int from = 0, int to = static_cast<int>(N))
{
    double m = 0.0;
    for (int j = from; j < to; ++j)
        m = std::max(m, std::fabs(r[static_cast<std::size_t>(j)]));
    return m;
}

// Shared blocks of the plates' section and material, as the family loads them.
inline void load_section()
{
    recovery::SharedBlocks& b = recovery::shared_blocks();
    b.section_values.fill(0.0);
    b.section_values[0] = kH1;
    b.section_values[1] = kH2;
    b.material_block.elastic_modulus = kE;
    b.material_block.poisson_ratio = kNu;
    b.material_block.material_type = 0;
    b.material_block.material_constants.fill(0.0);
    b.membrane_flag = 0;
    b.plane_mode = 0;
}

class QuadPlateTest : public plate::PlateFamilyTest {
protected:
    // Nodes first_node.. in element order; degree of freedom d of node k is equation
    // first_equation + 6 (k - 1) + d - 1.
    QuadPlateRecordFacts quad_facts(const Plate& p, int first_node = 21, int first_equation = 1)
    {
        QuadPlateRecordFacts f;
        const int n = p.corners();
        f.node_count = n;
        for (int j = 0; j < 6 * n; ++j)
            f.equations.push_back(first_equation + j);
        for (int k = 0; k < n; ++k) {
            f.nodes[static_cast<std::size_t>(k)] = first_node + k;
            const resultfiles::Point3 g = p.global(k);
            builder.set_node(first_node + k, g[0], g[1], g[2]);
        }
        f.section[0] = kH1;
        f.section[1] = kH2;
        f.E = kE;
        f.nu = kNu;
        return f;
    }

    // Global values of every step: series[i] the values of equations 1.. at step i + 1.
    void direct_series(const std::vector<std::vector<double>>& series, int thlg = 1) { direct_history(series, thlg); }

    // Rows 1..174 of every step of PLTH record `record` (history build).
    std::vector<QuadRows> quad_history(int record, int n, int element = 1)
    {
        std::vector<QuadRows> out(static_cast<std::size_t>(n));
        std::vector<double> v(static_cast<std::size_t>(n));
        for (int r = 1; r <= QUAD_ROWS; ++r) {
            recovery::history_build::element_results(base.data(), static_cast<int>(base.size()), 7, record, r, 1, n, 4, 0,
                                                     v.data(), 0, element);
            for (int i = 0; i < n; ++i)
                out[static_cast<std::size_t>(i)][static_cast<std::size_t>(r - 1)] = v[static_cast<std::size_t>(i)];
        }
        return out;
    }

    // Rows 1..174 of step s (single-step build).
    QuadRows quad_step(int record, int n, int s, int element = 1)
    {
        QuadRows out{};
        for (int r = 1; r <= QUAD_ROWS; ++r)
            recovery::step_build::element_results(base.data(), static_cast<int>(base.size()), 7, record, r, 1, n, s, 4, 0,
                                                  &out[static_cast<std::size_t>(r - 1)], 0, element);
        return out;
    }
};

} // namespace kvpvs::testing::quadplate
