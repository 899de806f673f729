// Flat six- and eight-node plates in the tilted plane of the linear plate tests, written as PLTH
// records with their nodes in CORD, their displacement histories as direct or modal results, and
// the 174 rows of the element-results entry read back. Fields are given in element axes (six
// values per node) and turned into global axes for the files. The fixture is the linear plate
// fixture's, so that a test can put PLAT elements beside the quadratic ones.
#pragma once

#include "../plate_family/plate_family_fixture.h"

#include "recovery/drivers/driver_state.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <string>
#include <vector>

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
