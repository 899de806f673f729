// The quadratic plane-stress and plane-strain families through the entry: 6- and 8-node
// elements under uniform strain, rigid motion and linear stress fields, in a tilted plane
// and in the three coordinate planes, against the closed forms of plane elasticity.
#include "family_fixture.h"

#include <algorithm>

namespace {

using namespace kvpvs::testing;
using kvpvs::resultfiles::QuadraticPlaneFacts;

// (sx, sy, txy) of engineering strains (ex, ey, gxy).
std::array<double, 3> plane_stress(const std::array<double, 3>& e, bool strain)
{
    const double E = FamilyTest::E, nu = FamilyTest::NU;
    const double c = strain ? E / ((1 + nu) * (1 - 2 * nu)) : E / (1 - nu * nu);
    const double a = strain ? 1 - nu : 1.0;
    const double g = strain ? (1 - 2 * nu) / 2 : (1 - nu) / 2;
    return {c * (a * e[0] + nu * e[1]), c * (nu * e[0] + a * e[1]), c * g * e[2]};
}

// In-plane node positions (p, q): a parallelogram of 8 nodes or a triangle of 6, corners first.
std::vector<std::array<double, 2>> plane_nodes(int n)
{
    if (n == 8) {
        const double xi[8] = {-1, 1, 1, -1, 0, 1, 0, -1};
        const double eta[8] = {-1, -1, 1, 1, -1, 0, 1, 0};
        std::vector<std::array<double, 2>> v;
        for (int k = 0; k < 8; ++k)
            v.push_back({2.0 * (1 + xi[k]) / 2 + 0.6 * (1 + eta[k]) / 2, 1.5 * (1 + eta[k]) / 2});
        return v;
    }
    const std::array<double, 2> c[3] = {{0, 0}, {2.0, 0}, {0.7, 1.6}};
    return {c[0], c[1], c[2], {(c[0][0] + c[1][0]) / 2, (c[0][1] + c[1][1]) / 2},
            {(c[1][0] + c[2][0]) / 2, (c[1][1] + c[2][1]) / 2}, {(c[2][0] + c[0][0]) / 2, (c[2][1] + c[0][1]) / 2}};
}

// A plane: origin and two orthonormal in-plane axes.
struct Plane {
    Point3 origin;
    Point3 e1;
    Point3 e2;
    Point3 at(double p, double q) const
    {
        return {origin[0] + p * e1[0] + q * e2[0], origin[1] + p * e1[1] + q * e2[1], origin[2] + p * e1[2] + q * e2[2]};
    }
};

// A tilted plane: the X-Y axes turned about an oblique axis.
Plane tilted(const Point3& origin)
{
    const auto R = rotation({0.36, 0.48, 0.8}, 0.4);
    return {origin, turn_point(R, {1, 0, 0}), turn_point(R, {0, 1, 0})};
}

struct PlaneCase {
    int nodes;
    bool strain;
};

void PrintTo(const PlaneCase& c, std::ostream* os) { *os << c.nodes << (c.strain ? " plane strain" : " plane stress"); }

class QuadraticPlane : public FamilyTest, public ::testing::WithParamInterface<PlaneCase> {
protected:
    int n() const { return GetParam().nodes; }
    bool strain() const { return GetParam().strain; }
    int kind() const { return strain() ? 6 : 5; }

    // Nodes 1..n of the element in `plane`, its record (PSTH or PSRH, axis vector e1).
    std::vector<Point3> add_element(const Plane& plane, std::array<double, 3> axes = {1, 2, 3})
    {
        std::vector<Point3> xyz;
        for (const auto& pq : plane_nodes(n()))
            xyz.push_back(plane.at(pq[0], pq[1]));
        set_nodes(xyz);
        QuadraticPlaneFacts f;
        f.equations = kvpvs::resultfiles::node_equations(n());
        f.node_count = n();
        for (int k = 1; k <= n(); ++k)
            f.nodes.push_back(k);
        f.section[0] = 0.25;
        f.material = {E, NU, 0, {}};
        f.axis_indices = axes;
        f.axis_vector = plane.e1;
        if (strain())
            add_element_records(builder, "PSRH", 3, {plane_strain_record_values(f)});
        else
            add_element_records(builder, "PSTH", 3, {plane_stress_record_values(f)});
        return xyz;
    }
    // Displacement of node k from its in-plane displacement (up, uq) at (p, q).
    void set_plane_motion(const Plane& plane, const std::function<std::array<double, 2>(double, double)>& u)
    {
        const auto pq = plane_nodes(n());
        set_motion(n(), 1, [&](int k, int d, int) {
            if (d > 3)
                return 0.0;
            const auto [p, q] = pq[static_cast<std::size_t>(k - 1)];
            const auto v = u(p, q);
            return v[0] * plane.e1[static_cast<std::size_t>(d - 1)] + v[1] * plane.e2[static_cast<std::size_t>(d - 1)];
        });
    }
    // Stress triple of point p (0 the centre, k node k) in element axes.
    std::array<double, 3> stress_at(const Captured& w, int p) const
    {
        if (strain())
            return {w(25 + 4 * p), w(26 + 4 * p), w(28 + 4 * p)};
        return {w(25 + 3 * p), w(26 + 3 * p), w(27 + 3 * p)};
    }
};

TEST_P(QuadraticPlane, UniformStrainGivesItsStressAtCentreAndNodesAndBalancedForces)
{
    const Plane plane = tilted({1.0, -2.0, 0.5});
    add_element(plane);
    const std::array<double, 3> eps = {2e-4, -1e-4, 3e-4};
    set_plane_motion(plane, [&](double p, double q) {
        return std::array<double, 2>{eps[0] * p + eps[2] / 2 * q + 1e-3, eps[2] / 2 * p + eps[1] * q - 2e-3};
    });
    write();
    const Captured& w = run(kind(), 1, 0, 1);
    const auto sigma = plane_stress(eps, strain());
    const double scale = E * 3e-4;
    for (int p = 0; p <= n(); ++p) {
        if (strain() && p > 8)
            break;
        const auto s = stress_at(w, p);
        for (int c = 0; c < 3; ++c)
            EXPECT_NEAR(s[static_cast<std::size_t>(c)], sigma[static_cast<std::size_t>(c)], 1e-9 * scale)
                << "point " << p << " component " << c + 1;
        if (strain()) {
            EXPECT_NEAR(w(27 + 4 * p), NU * (s[0] + s[1]), 1e-9 * scale) << "sigma-z of point " << p;
            const double e[4] = {eps[0], eps[1], 0.0, eps[2]};
            for (int c = 0; c < 4; ++c)
                EXPECT_NEAR(w(61 + 4 * p + c), e[c], 1e-12) << "strain " << c + 1 << " of point " << p;
        }
    }
    // Forces in element axes: none along the normal, none in sum along the axes.
    for (int d = 1; d <= 3; ++d) {
        double sum = 0.0, largest = 0.0;
        for (int k = 1; k <= n(); ++k) {
            sum += w(3 * (k - 1) + d);
            largest = std::max(largest, std::fabs(w(3 * (k - 1) + d)));
        }
        if (d == 1) {
            EXPECT_GT(largest, 0.0);
        }
        if (d == 3 || (strain() && d == 2)) {
            EXPECT_LT(largest, 1e-9 * scale) << "direction " << d;
        }
        EXPECT_NEAR(sum, 0.0, 1e-9 * scale) << "direction " << d;
    }
    for (int r = 3 * n() + 1; r <= 24; ++r)
        EXPECT_EQ(w(r), 0.0) << "force row " << r;
}

TEST_P(QuadraticPlane, RigidMotionGivesNoForceStressOrStrain)
{
    const Plane plane = tilted({-3.0, 1.0, 2.0});
    const std::vector<Point3> xyz = add_element(plane);
    const Point3 om{1e-5, -2e-5, 3e-5};
    set_motion(n(), 1, [&](int k, int d, int) {
        if (d > 3)
            return 0.0;
        const Point3& x = xyz[static_cast<std::size_t>(k - 1)];
        const Point3 r = {om[1] * x[2] - om[2] * x[1], om[2] * x[0] - om[0] * x[2], om[0] * x[1] - om[1] * x[0]};
        return 0.2 * d + r[static_cast<std::size_t>(d - 1)];
    });
    write();
    const Captured& w = run(kind(), 1, 0, 1);
    for (int r = 1; r <= 60; ++r)
        EXPECT_NEAR(w(r), 0.0, 1e-9 * E * 3e-5) << "row " << r;
    for (int r = 61; r <= 100; ++r)
        EXPECT_NEAR(w(r), 0.0, 1e-13) << "row " << r;
}

TEST_P(QuadraticPlane, FitReproducesLinearStressFieldsNearAndFarFromTheOrigin)
{
    for (double offset : {0.0, 1.0e6}) {
        SCOPED_TRACE("element at " + std::to_string(offset));
        fresh_set();
        const Plane plane = tilted({offset, offset, offset});
        add_element(plane);
        // up = a p q: ex = a q, gxy = a p, linear in the plane.
        const double a = 1e-4;
        set_plane_motion(plane, [&](double p, double q) { return std::array<double, 2>{a * p * q, 0.0}; });
        write();
        const Captured& w = run(kind(), 1, 0, 1);
        const auto pq = plane_nodes(n());
        for (int k = 1; k <= n(); ++k) {
            const auto [p, q] = pq[static_cast<std::size_t>(k - 1)];
            const auto sigma = plane_stress({a * q, 0.0, a * p}, strain());
            const auto s = stress_at(w, k);
            for (int c = 0; c < 3; ++c)
                EXPECT_NEAR(s[static_cast<std::size_t>(c)], sigma[static_cast<std::size_t>(c)], 1e-7 * E * a)
                    << "node " << k << " component " << c + 1;
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Elements, QuadraticPlane,
                         ::testing::Values(PlaneCase{6, false}, PlaneCase{8, false}, PlaneCase{6, true}, PlaneCase{8, true}),
                         [](const ::testing::TestParamInfo<PlaneCase>& i) {
                             return std::string(i.param.nodes == 6 ? "Triangle6" : "Quadrilateral8")
                                    + (i.param.strain ? "PlaneStrain" : "PlaneStress");
                         });

// Plane strain with axes_option 1: elements in the X-Y, X-Z and Y-Z planes, turned within
// their plane, whose stored axis is their first axis, give stresses and strains in the
// global axes of their plane.
struct CoordinatePlaneCase {
    int nodes;
    int first_axis;
    int second_axis;
};

void PrintTo(const CoordinatePlaneCase& c, std::ostream* os)
{
    *os << c.nodes << " nodes in plane " << c.first_axis << "-" << c.second_axis;
}


class QuadraticPlaneStrainAxes : public FamilyTest, public ::testing::WithParamInterface<CoordinatePlaneCase> {};

TEST_P(QuadraticPlaneStrainAxes, OptionOneGivesGlobalInPlaneStressesAndStrains)
{
    const CoordinatePlaneCase c = GetParam();
    const int i1 = c.first_axis - 1, i2 = c.second_axis - 1;
    const double angle = 0.5;
    Plane plane;
    plane.origin = {0.5, -1.0, 2.0};
    plane.e1 = {0, 0, 0};
    plane.e2 = {0, 0, 0};
    plane.e1[static_cast<std::size_t>(i1)] = std::cos(angle);
    plane.e1[static_cast<std::size_t>(i2)] = std::sin(angle);
    plane.e2[static_cast<std::size_t>(i1)] = -std::sin(angle);
    plane.e2[static_cast<std::size_t>(i2)] = std::cos(angle);
    std::vector<Point3> xyz;
    for (const auto& pq : plane_nodes(c.nodes))
        xyz.push_back(plane.at(pq[0], pq[1]));
    set_nodes(xyz);
    QuadraticPlaneFacts f;
    f.equations = kvpvs::resultfiles::node_equations(c.nodes);
    f.node_count = c.nodes;
    for (int k = 1; k <= c.nodes; ++k)
        f.nodes.push_back(k);
    f.material = {E, NU, 0, {}};
    f.axis_indices = {static_cast<double>(c.first_axis), static_cast<double>(c.second_axis), 0};
    f.axis_vector = plane.e1;
    add_element_records(builder, "PSRH", 3, {plane_strain_record_values(f)});
    // A uniform strain given in the global coordinates (a, b) of the plane.
    const std::array<double, 3> eps = {1e-4, 3e-4, -2e-4};
    set_motion(c.nodes, 1, [&](int k, int d, int) {
        const Point3& x = xyz[static_cast<std::size_t>(k - 1)];
        const double a = x[static_cast<std::size_t>(i1)], b = x[static_cast<std::size_t>(i2)];
        if (d == c.first_axis)
            return eps[0] * a + eps[2] / 2 * b;
        if (d == c.second_axis)
            return eps[2] / 2 * a + eps[1] * b;
        return 0.0;
    });
    write();
    const Captured& w = run(6, 1, 1, 1);
    const auto sigma = plane_stress(eps, true);
    const double scale = E * 3e-4;
    for (int p = 0; p <= 8; ++p) {
        if (p > c.nodes) {
            for (int r = 25 + 4 * p; r <= 28 + 4 * p; ++r)
                EXPECT_EQ(w(r), 0.0) << "stress row " << r << " of a " << c.nodes << "-node element";
            continue;
        }
        EXPECT_NEAR(w(25 + 4 * p), sigma[0], 1e-9 * scale) << "point " << p;
        EXPECT_NEAR(w(26 + 4 * p), sigma[1], 1e-9 * scale) << "point " << p;
        EXPECT_NEAR(w(27 + 4 * p), NU * (sigma[0] + sigma[1]), 1e-9 * scale) << "point " << p;
        EXPECT_NEAR(w(28 + 4 * p), sigma[2], 1e-9 * scale) << "point " << p;
        EXPECT_NEAR(w(61 + 4 * p), eps[0], 1e-12) << "strain of point " << p;
        EXPECT_NEAR(w(62 + 4 * p), eps[1], 1e-12) << "strain of point " << p;
        EXPECT_EQ(w(63 + 4 * p), 0.0);
        EXPECT_NEAR(w(64 + 4 * p), eps[2], 1e-12) << "strain of point " << p;
    }
    // Forces stay global: none out of the plane.
    for (int k = 1; k <= c.nodes; ++k)
        for (int d = 1; d <= 3; ++d)
            if (d != c.first_axis && d != c.second_axis) {
                EXPECT_NEAR(w(3 * (k - 1) + d), 0.0, 1e-9 * scale);
            }
}

INSTANTIATE_TEST_SUITE_P(CoordinatePlanes, QuadraticPlaneStrainAxes,
                         ::testing::Values(CoordinatePlaneCase{8, 1, 2}, CoordinatePlaneCase{8, 1, 3},
                                           CoordinatePlaneCase{8, 2, 3}, CoordinatePlaneCase{6, 1, 2},
                                           CoordinatePlaneCase{6, 1, 3}, CoordinatePlaneCase{6, 2, 3}),
                         [](const ::testing::TestParamInfo<CoordinatePlaneCase>& i) {
                             const char* axis = "XYZ";
                             return std::to_string(i.param.nodes) + "Nodes" + axis[i.param.first_axis - 1]
                                    + axis[i.param.second_axis - 1] + "Plane";
                         });

} // namespace
