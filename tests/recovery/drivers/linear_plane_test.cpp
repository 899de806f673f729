// The linear plane family through the entry, on the stored matrices of the reference plane
// elements: plane strain rows of quadrilaterals and triangles, strains from the compliance,
// the turn to the global axes of the three coordinate planes, plane stress recovered by the
// plate kernel, and the formulation codes.
#include "family_fixture.h"

#include <algorithm>

namespace {

using namespace kvpvs::testing;
using kvpvs::resultfiles::PlaneRecordFacts;

std::array<double, 3> plane_strain_stress(const std::array<double, 3>& e)
{
    const double E = FamilyTest::E, nu = FamilyTest::NU;
    const double c = E / ((1 + nu) * (1 - 2 * nu));
    return {c * ((1 - nu) * e[0] + nu * e[1]), c * (nu * e[0] + (1 - nu) * e[1]), c * (1 - 2 * nu) / 2 * e[2]};
}

class LinearPlane : public FamilyTest {
protected:
    // Record 1 of PSRN (plane strain) or PSTR with the reference element of xyz; node
    // numbers 1..n unless given.
    void add_element(const std::vector<Point3>& xyz, bool plane_strain, double code, std::array<double, 4> nodes = {1, 2, 3, 4},
                     double node_count = 0)
    {
        set_nodes(xyz);
        PlaneRecordFacts f;
        const int n = static_cast<int>(xyz.size());
        f.equations = kvpvs::resultfiles::node_equations(n);
        f.matrix = kvpvs::resultfiles::plane_reference_matrix(xyz, E, NU, 0.2, plane_strain);
        f.node_count = node_count > 0 ? node_count : n;
        for (int k = 0; k < 4; ++k)
            f.nodes[static_cast<std::size_t>(k)] = k < n || node_count > 0 ? nodes[static_cast<std::size_t>(k)] : 0;
        for (std::size_t k = 0; k < xyz.size(); ++k)
            f.xyz[k] = xyz[k];
        f.section[0] = 0.2;
        f.section[1] = 0.2;
        f.material = {E, NU, 0, {}};
        f.code = code;
        add_element_records(builder, plane_strain ? "PSRN" : "PSTR", 3, {plane_record_values(f)});
    }
    // u = grad(eps) x in global coordinates a = x[i1], b = x[i2].
    void set_plane_strain(const std::vector<Point3>& xyz, const std::array<double, 3>& eps, int i1, int i2)
    {
        set_motion(static_cast<int>(xyz.size()), 2, [&](int k, int d, int s) {
            const Point3& x = xyz[static_cast<std::size_t>(k - 1)];
            const double a = x[static_cast<std::size_t>(i1)], b = x[static_cast<std::size_t>(i2)];
            if (d == i1 + 1)
                return s * (eps[0] * a + eps[2] / 2 * b);
            if (d == i2 + 1)
                return s * (eps[2] / 2 * a + eps[1] * b);
            return 0.0;
        });
    }
};

// Nodes of a parallelogram (4) or a triangle (3) in the plane of global axes i1, i2 at
// height h along the third, turned by `angle` within the plane.
std::vector<Point3> in_plane(int n, int i1, int i2, double angle, double h = 0.7)
{
    const double pq4[4][2] = {{0, 0}, {2, 0}, {2.5, 1.5}, {0.5, 1.5}};
    const double pq3[3][2] = {{0, 0}, {2, 0}, {0.8, 1.4}};
    std::vector<Point3> x;
    for (int k = 0; k < n; ++k) {
        const double p = n == 4 ? pq4[k][0] : pq3[k][0], q = n == 4 ? pq4[k][1] : pq3[k][1];
        Point3 v{h, h, h};
        v[static_cast<std::size_t>(i1)] = 1.0 + p * std::cos(angle) - q * std::sin(angle);
        v[static_cast<std::size_t>(i2)] = -0.5 + p * std::sin(angle) + q * std::cos(angle);
        x.push_back(v);
    }
    return x;
}

struct PlaneCase {
    int nodes;
    int i1;
    int i2;
};

void PrintTo(const PlaneCase& c, std::ostream* os) { *os << c.nodes << " nodes in plane " << c.i1 << c.i2; }

class LinearPlaneStrain : public LinearPlane, public ::testing::WithParamInterface<PlaneCase> {};

TEST_P(LinearPlaneStrain, ElementAxesGiveTheLocalStrainStateAndOptionOneTheGlobalOne)
{
    const PlaneCase c = GetParam();
    const double angle = 0.6;
    const auto xyz = in_plane(c.nodes, c.i1, c.i2, angle);
    add_element(xyz, true, 1);
    const std::array<double, 3> eps = {1e-4, -2e-4, 3e-4};
    set_plane_strain(xyz, eps, c.i1, c.i2);
    write();
    // The element's first axis lies at `angle` in the plane: its local strains by the tensor
    // rule.
    const double cs = std::cos(angle), sn = std::sin(angle);
    const double h = (eps[0] + eps[1]) / 2, d = (eps[0] - eps[1]) / 2, g = eps[2] / 2;
    const std::array<double, 3> local = {h + d * std::cos(2 * angle) + g * std::sin(2 * angle),
                                         h - d * std::cos(2 * angle) - g * std::sin(2 * angle),
                                         2 * (-d * std::sin(2 * angle) + g * std::cos(2 * angle))};
    (void)cs;
    (void)sn;
    const double scale = E * 3e-4;
    const int points = c.nodes + 1;
    for (int option : {0, 1}) {
        const Captured& w = run(2, 1, option, 2);
        for (int s = 1; s <= 2; ++s) {
            std::array<double, 3> e = option == 1 ? eps : local;
            for (double& v : e)
                v *= s;
            const auto sigma = plane_strain_stress(e);
            for (int p = 0; p < points; ++p) {
                EXPECT_NEAR(w(13 + 4 * p, s), sigma[0], 1e-9 * scale) << "option " << option << " point " << p;
                EXPECT_NEAR(w(14 + 4 * p, s), sigma[1], 1e-9 * scale) << "option " << option << " point " << p;
                EXPECT_NEAR(w(15 + 4 * p, s), NU * (w(13 + 4 * p, s) + w(14 + 4 * p, s)), 1e-9 * scale);
                EXPECT_NEAR(w(16 + 4 * p, s), sigma[2], 1e-9 * scale) << "option " << option << " point " << p;
                EXPECT_NEAR(w(33 + 4 * p, s), e[0], 1e-12) << "option " << option << " strain point " << p;
                EXPECT_NEAR(w(34 + 4 * p, s), e[1], 1e-12);
                EXPECT_EQ(w(35 + 4 * p, s), 0.0);
                EXPECT_NEAR(w(36 + 4 * p, s), e[2], 1e-12);
            }
            // A triangle fills 48 rows, a quadrilateral 52.
            for (int r = 33 + 4 * points; r <= 350; ++r)
                EXPECT_EQ(w(r, s), 0.0) << "row " << r;
            // Forces: element axes have none along the normal; global ones none off the plane.
            for (int k = 1; k <= c.nodes; ++k) {
                if (option == 0)
                    EXPECT_NEAR(w(3 * k, s), 0.0, 1e-9 * scale);
                else
                    EXPECT_NEAR(w(3 * (k - 1) + 6 - c.i1 - c.i2 - 2, s), 0.0, 1e-9 * scale);
            }
        }
    }
}

INSTANTIATE_TEST_SUITE_P(CoordinatePlanes, LinearPlaneStrain,
                         ::testing::Values(PlaneCase{4, 0, 1}, PlaneCase{4, 0, 2}, PlaneCase{4, 1, 2}, PlaneCase{3, 0, 1},
                                           PlaneCase{3, 0, 2}, PlaneCase{3, 1, 2}),
                         [](const ::testing::TestParamInfo<PlaneCase>& i) {
                             const char* axis = "XYZ";
                             return std::string(i.param.nodes == 4 ? "Quadrilateral" : "Triangle") + axis[i.param.i1]
                                    + axis[i.param.i2] + "Plane";
                         });

TEST_F(LinearPlane, FourthNodeRepeatingTheThirdIsATriangleWithTwentyStrainRows)
{
    const auto xyz = in_plane(3, 0, 1, 0.0);
    add_element(xyz, true, 1, {1, 2, 3, 3}, 4);
    set_plane_strain(xyz, {1e-4, 2e-4, 0.0}, 0, 1);
    write();
    const Captured& w = run(2, 1, 0, 1);
    for (int p = 0; p < 4; ++p)
        EXPECT_NEAR(w(33 + 4 * p), 1e-4, 1e-12) << "strain point " << p;
    for (int r = 49; r <= 52; ++r)
        EXPECT_EQ(w(r), 0.0);
}

TEST_F(LinearPlane, PlaneStressQuadrilateralTakesItsStressesFromThePlateKernel)
{
    // A parallelogram turned about an oblique axis under uniform membrane strain.
    const auto R = rotation({0.0, 0.6, 0.8}, 0.5);
    std::vector<Point3> xyz;
    for (const Point3& p : in_plane(4, 0, 1, 0.0, 0.0))
        xyz.push_back(turn_point(R, p));
    add_element(xyz, false, 0);
    const std::array<double, 3> eps = {1e-4, -0.5e-4, 2e-4};  // along the element's axes
    const Point3 e1 = turn_point(R, {1, 0, 0}), e2 = turn_point(R, {0, 1, 0}), o = xyz[0];
    set_motion(4, 1, [&](int k, int d, int) {
        if (d > 3)
            return 0.0;
        const Point3& x = xyz[static_cast<std::size_t>(k - 1)];
        const Point3 r = {x[0] - o[0], x[1] - o[1], x[2] - o[2]};
        const double p = r[0] * e1[0] + r[1] * e1[1] + r[2] * e1[2], q = r[0] * e2[0] + r[1] * e2[1] + r[2] * e2[2];
        const double up = eps[0] * p + eps[2] / 2 * q, uq = eps[2] / 2 * p + eps[1] * q;
        return up * e1[static_cast<std::size_t>(d - 1)] + uq * e2[static_cast<std::size_t>(d - 1)];
    });
    write();
    const double c = E / (1 - NU * NU);
    const std::array<double, 3> sigma = {c * (eps[0] + NU * eps[1]), c * (NU * eps[0] + eps[1]), c * (1 - NU) / 2 * eps[2]};
    for (int code : {0, 100}) {
        fresh_set();
        builder.set_history(1, kvpvs::resultfiles::HistoryFacts{});
        set_nodes(xyz);
        add_element(xyz, false, code);
        set_motion(4, 1, [&](int k, int d, int) {
            if (d > 3)
                return 0.0;
            const Point3& x = xyz[static_cast<std::size_t>(k - 1)];
            const Point3 r = {x[0] - o[0], x[1] - o[1], x[2] - o[2]};
            const double p = r[0] * e1[0] + r[1] * e1[1] + r[2] * e1[2], q = r[0] * e2[0] + r[1] * e2[1] + r[2] * e2[2];
            const double up = eps[0] * p + eps[2] / 2 * q, uq = eps[2] / 2 * p + eps[1] * q;
            return up * e1[static_cast<std::size_t>(d - 1)] + uq * e2[static_cast<std::size_t>(d - 1)];
        });
        write();
        const Captured& w = run(1, 1, 0, 1);
        for (int p = 0; p < 5; ++p)
            for (int i = 0; i < 3; ++i)
                EXPECT_NEAR(w(13 + 3 * p + i), sigma[static_cast<std::size_t>(i)], 1e-9 * E * 2e-4)
                    << "code " << code << " point " << p << " component " << i + 1;
        // The single-step build has no membrane flag: code 100 recovers nothing there.
        const Captured& one = run_step(1, 1, 0, 1, 1);
        for (int r = 1; r <= 27; ++r) {
            if (code == 0)
                EXPECT_NEAR(one(r), run(1, 1, 0, 1)(r), 1e-12 * E * 2e-4) << "row " << r;
            else
                EXPECT_EQ(one(r), 0.0) << "row " << r;
        }
    }
}

TEST_F(LinearPlane, UnknownFormulationCodeGivesZeroRowsInBothBuilds)
{
    const auto xyz = in_plane(4, 0, 1, 0.3);
    add_element(xyz, true, 7);
    set_plane_strain(xyz, {1e-4, 2e-4, 3e-4}, 0, 1);
    write();
    const Captured& w = run(2, 1, 0, 2);
    EXPECT_TRUE(std::all_of(w.work.begin(), w.work.end(), [](double v) { return v == 0.0; }));
    const Captured& one = run_step(2, 1, 0, 2, 2);
    EXPECT_TRUE(std::all_of(one.work.begin(), one.work.end(), [](double v) { return v == 0.0; }));
}

} // namespace
