// Result sets of single plane and solid elements, written by the ResultSetBuilder into a
// scratch folder and run through the element-results entry with the real family routines;
// the fixture captures the family's whole work array (350 rows by step) in one call. Node k
// of an element carries equations 6(k - 1) + 1..6 and moves by a given field at each step.
#pragma once

#include "TempDir.h"

#include "recovery/drivers/element_results.h"
#include "recovery/drivers/family_dispatch.h"
#include "result_files/element_records.h"
#include "result_files/reference_elements.h"
#include "result_files/result_file_writer.h"

#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <functional>
#include <string>
#include <vector>

namespace kvpvs::testing {

using recovery::Build;
using resultfiles::Point3;

// Work array captured from the family of the last entry call: columns of 350 rows.
struct Captured {
    std::vector<double> work;
    int columns = 0;
    double operator()(int row, int step = 1) const
    {
        return work[static_cast<std::size_t>(row - 1) + 350 * static_cast<std::size_t>(step - 1)];
    }
};

inline Captured& captured()
{
    static Captured c;
    return c;
}

inline std::array<recovery::FamilyTable, 2>& real_tables()
{
    static std::array<recovery::FamilyTable, 2> t{};
    return t;
}

template <int Family, Build B>
void capture_family(recovery::DriverBuildState& build, double* work, int axes_option)
{
    const int columns = B == Build::single_step ? 1 : std::max(recovery::shared_blocks().entry_block.value_count, 0);
    const auto& table = real_tables()[B == Build::history ? 0 : 1];
    if (auto routine = table[static_cast<std::size_t>(Family - 1)])
        routine(build, work, axes_option);
    captured().work.assign(work, work + 350 * static_cast<std::size_t>(columns));
    captured().columns = columns;
}

template <Build B>
recovery::FamilyTable capture_table()
{
    return {capture_family<1, B>, capture_family<2, B>, capture_family<3, B>, capture_family<4, B>,
            capture_family<5, B>, capture_family<6, B>, capture_family<7, B>};
}

// Displacement of degree of freedom d (1..6) of node k (1-based) at step s (1-based).
using Motion = std::function<double(int k, int d, int s)>;

class FamilyTest : public ::testing::Test {
public:
    static constexpr double E = 2.0e7;
    static constexpr double NU = 0.3;

protected:

    void SetUp() override
    {
        real_tables()[0] = recovery::family_table(Build::history);
        real_tables()[1] = recovery::family_table(Build::single_step);
        recovery::family_table(Build::history) = capture_table<Build::history>();
        recovery::family_table(Build::single_step) = capture_table<Build::single_step>();
        builder.add_material(1, E, NU);
        for (int e = 1; e <= 4; ++e)
            builder.set_element(e, 1);
        resultfiles::HistoryFacts direct;
        direct.type = 2;
        direct.case_or_file = 1;
        builder.set_history(1, direct);
    }
    void TearDown() override
    {
        recovery::family_table(Build::history) = real_tables()[0];
        recovery::family_table(Build::single_step) = real_tables()[1];
    }

    // Starts an empty result set (the entry's family table stays captured).
    void fresh_set()
    {
        TearDown();
        builder = resultfiles::ResultSetBuilder();
        SetUp();
    }

    // Nodes first_node.. at xyz.
    void set_nodes(const std::vector<Point3>& xyz, int first_node = 1)
    {
        for (std::size_t k = 0; k < xyz.size(); ++k)
            builder.set_node(first_node + static_cast<int>(k), xyz[k][0], xyz[k][1], xyz[k][2]);
    }
    // Series of the equations of `nodes` nodes from first_equation, over `steps` steps.
    void set_motion(int nodes, int steps, const Motion& f, int first_equation = 1)
    {
        for (int k = 1; k <= nodes; ++k)
            for (int d = 1; d <= 6; ++d) {
                std::vector<double> series;
                for (int s = 1; s <= steps; ++s)
                    series.push_back(f(k, d, s));
                builder.set_direct_series(1, first_equation + 6 * (k - 1) + d - 1, series);
            }
    }

    // History build: the work array of element record `element_type` of a kind, n steps.
    const Captured& run(int kind, int element_type, int axes_option, int n)
    {
        captured() = Captured{};
        double out[64] = {};
        recovery::history_build::element_results(base.data(), static_cast<int>(base.size()), kind, element_type, 1, 1,
                                                 n, 4, 0, out, axes_option, 1);
        return captured();
    }
    // Single-step build: the one column of step s.
    const Captured& run_step(int kind, int element_type, int axes_option, int n, int s)
    {
        captured() = Captured{};
        double out = 0.0;
        recovery::step_build::element_results(base.data(), static_cast<int>(base.size()), kind, element_type, 1, 1, n,
                                              s, 4, 0, &out, axes_option, 1);
        return captured();
    }
    void write() { ASSERT_TRUE(builder.write(base)); }

    TempDir dir{"kvpvs_families"};
    std::string base = dir.file("model");
    resultfiles::ResultSetBuilder builder;
};

// Isotropic elasticity (xx, yy, zz, xy, yz, zx) times engineering strains.
inline std::array<double, 6> solid_stress(const std::array<double, 6>& eps, double E, double nu)
{
    const double c = E / ((1 + nu) * (1 - 2 * nu));
    const double G = E / (2 * (1 + nu));
    const double tr = eps[0] + eps[1] + eps[2];
    return {c * ((1 - 2 * nu) * eps[0] + nu * tr), c * ((1 - 2 * nu) * eps[1] + nu * tr),
            c * ((1 - 2 * nu) * eps[2] + nu * tr), G * eps[3], G * eps[4], G * eps[5]};
}

// Rotation about a unit axis by angle a (Rodrigues).
inline std::array<std::array<double, 3>, 3> rotation(const Point3& axis, double a)
{
    const double c = std::cos(a), s = std::sin(a), C = 1 - c;
    const double x = axis[0], y = axis[1], z = axis[2];
    return {{{c + x * x * C, x * y * C - z * s, x * z * C + y * s},
             {y * x * C + z * s, c + y * y * C, y * z * C - x * s},
             {z * x * C - y * s, z * y * C + x * s, c + z * z * C}}};
}

inline Point3 turn_point(const std::array<std::array<double, 3>, 3>& R, const Point3& p)
{
    return {R[0][0] * p[0] + R[0][1] * p[1] + R[0][2] * p[2], R[1][0] * p[0] + R[1][1] * p[1] + R[1][2] * p[2],
            R[2][0] * p[0] + R[2][1] * p[1] + R[2][2] * p[2]};
}

// Natural node positions of the quadratic solids (corners first, then mid-sides) mapped
// onto a box or a right tetrahedron/wedge of the given size at `origin`.
inline std::vector<Point3> hexahedron20(const Point3& origin, const Point3& size)
{
    const double xi[20] = {-1, 1, 1, -1, -1, 1, 1, -1, 0, 1, 0, -1, 0, 1, 0, -1, -1, 1, 1, -1};
    const double eta[20] = {-1, -1, 1, 1, -1, -1, 1, 1, -1, 0, 1, 0, -1, 0, 1, 0, -1, -1, 1, 1};
    const double zeta[20] = {-1, -1, -1, -1, 1, 1, 1, 1, -1, -1, -1, -1, 1, 1, 1, 1, 0, 0, 0, 0};
    std::vector<Point3> x;
    for (int k = 0; k < 20; ++k)
        x.push_back({origin[0] + size[0] * (1 + xi[k]) / 2, origin[1] + size[1] * (1 + eta[k]) / 2,
                     origin[2] + size[2] * (1 + zeta[k]) / 2});
    return x;
}

inline std::vector<Point3> tetrahedron10(const Point3& origin, const Point3& size)
{
    const Point3 c[4] = {{0, 0, 0}, {1, 0, 0}, {0, 1, 0}, {0, 0, 1}};
    const int mid[6][2] = {{0, 1}, {1, 2}, {2, 0}, {0, 3}, {1, 3}, {2, 3}};
    std::vector<Point3> n;
    for (const Point3& p : c)
        n.push_back(p);
    for (const auto& m : mid)
        n.push_back({(c[m[0]][0] + c[m[1]][0]) / 2, (c[m[0]][1] + c[m[1]][1]) / 2, (c[m[0]][2] + c[m[1]][2]) / 2});
    for (Point3& p : n)
        p = {origin[0] + size[0] * p[0], origin[1] + size[1] * p[1], origin[2] + size[2] * p[2]};
    return n;
}

inline std::vector<Point3> wedge15(const Point3& origin, const Point3& size)
{
    const double tri[3][2] = {{0, 0}, {1, 0}, {0, 1}};
    const int mid[3][2] = {{0, 1}, {1, 2}, {2, 0}};
    std::vector<Point3> n;
    for (double z : {-1.0, 1.0})
        for (const auto& t : tri)
            n.push_back({t[0], t[1], z});
    for (double z : {-1.0, 1.0})
        for (const auto& m : mid)
            n.push_back({(tri[m[0]][0] + tri[m[1]][0]) / 2, (tri[m[0]][1] + tri[m[1]][1]) / 2, z});
    for (const auto& t : tri)
        n.push_back({t[0], t[1], 0.0});
    for (Point3& p : n)
        p = {origin[0] + size[0] * p[0], origin[1] + size[1] * p[1], origin[2] + size[2] * (1 + p[2]) / 2};
    return n;
}

} // namespace kvpvs::testing
