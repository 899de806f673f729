// The quadratic solid family through the entry: a 10-node tetrahedron, a 15-node wedge and a
// 20-node hexahedron under uniform strain, rigid motion and a linear stress field, against
// the closed forms of isotropic elasticity.
#include "family_fixture.h"

#include "recovery/drivers/result_units.h"
#include "recovery/drivers/solid_families.h"

#include <algorithm>
#include <optional>

namespace {

using namespace kvpvs::testing;
using kvpvs::resultfiles::QuadraticSolidFacts;

struct SolidShape {
    int nodes;
    const char* name;
};

void PrintTo(const SolidShape& s, std::ostream* os) { *os << s.name; }

class QuadraticSolid : public FamilyTest, public ::testing::WithParamInterface<SolidShape> {
protected:
    static constexpr int KIND = 8;

    std::vector<Point3> element_at(const Point3& origin) const
    {
        const Point3 size{2.0, 1.5, 1.0};
        switch (GetParam().nodes) {
        case 10: return tetrahedron10(origin, size);
        case 15: return wedge15(origin, size);
        default: return hexahedron20(origin, size);
        }
    }
    // PSOH record 1 of the element whose nodes are 1..nn.
    void add_element(const std::vector<Point3>& xyz)
    {
        set_nodes(xyz);
        QuadraticSolidFacts f;
        const int nn = static_cast<int>(xyz.size());
        f.equations = kvpvs::resultfiles::node_equations(nn);
        f.node_count = nn;
        for (int k = 1; k <= nn; ++k)
            f.nodes.push_back(k);
        f.material = {E, NU, 0, {}};
        add_element_records(builder, "PSOH", 3, {quadratic_solid_record_values(f)});
    }
    int nn() const { return GetParam().nodes; }
};

// Engineering strains (xx, yy, zz, xy, yz, zx) of the field u = grad * x.
constexpr std::array<double, 6> EPS = {1.0e-4, -2.0e-4, 0.5e-4, 3.0e-4, -1.0e-4, 2.0e-4};

double grad(int i, int j)
{
    // Symmetric displacement gradient of EPS: the shears split evenly.
    const double g[3][3] = {{EPS[0], EPS[3] / 2, EPS[5] / 2}, {EPS[3] / 2, EPS[1], EPS[4] / 2}, {EPS[5] / 2, EPS[4] / 2, EPS[2]}};
    return g[i][j];
}

TEST_P(QuadraticSolid, UniformStrainGivesItsStressEverywhereAndBalancedForces)
{
    const std::vector<Point3> xyz = element_at({3.0, -1.0, 2.0});
    add_element(xyz);
    // Step s: s times the strain field plus a translation.
    set_motion(nn(), 2, [&](int k, int d, int s) {
        if (d > 3)
            return 0.0;
        const Point3& x = xyz[static_cast<std::size_t>(k - 1)];
        return s * (grad(d - 1, 0) * x[0] + grad(d - 1, 1) * x[1] + grad(d - 1, 2) * x[2]) + 0.01 * d;
    });
    write();
    for (int option : {0, 1}) {
        const Captured& w = run(KIND, 1, option, 2);
        ASSERT_EQ(w.columns, 2);
        for (int s = 1; s <= 2; ++s) {
            std::array<double, 6> eps = EPS;
            for (double& e : eps)
                e *= s;
            const std::array<double, 6> sigma = solid_stress(eps, E, NU);
            const double scale = *std::max_element(sigma.begin(), sigma.end());
            // The element's axes are the global ones here, so both options agree.
            for (int p = 0; p <= nn(); ++p)
                for (int c = 0; c < 6; ++c) {
                    EXPECT_NEAR(w(61 + 6 * p + c, s), sigma[static_cast<std::size_t>(c)], 1e-9 * scale)
                        << "point " << p << " component " << c + 1;
                    EXPECT_NEAR(w(187 + 6 * p + c, s), eps[static_cast<std::size_t>(c)], 1e-12) << "strain point " << p;
                }
            for (int d = 1; d <= 3; ++d) {
                double sum = 0.0;
                double largest = 0.0;
                for (int k = 1; k <= nn(); ++k) {
                    sum += w(3 * (k - 1) + d, s);
                    largest = std::max(largest, std::fabs(w(3 * (k - 1) + d, s)));
                }
                EXPECT_GT(largest, 0.0);
                EXPECT_NEAR(sum, 0.0, 1e-10 * largest) << "direction " << d;
            }
            // Rows of nodes beyond nn and after the strains stay 0.
            for (int r = 61 + 6 * (nn() + 1); r <= 186; ++r)
                EXPECT_EQ(w(r, s), 0.0) << "row " << r;
            for (int r = 187 + 6 * (nn() + 1); r <= 350; ++r)
                EXPECT_EQ(w(r, s), 0.0) << "row " << r;
        }
    }
}

TEST_P(QuadraticSolid, RigidMotionGivesNoForceStressOrStrain)
{
    const std::vector<Point3> xyz = element_at({-4.0, 2.0, 1.0});
    add_element(xyz);
    // A translation and a small rotation w x x: an antisymmetric gradient.
    const Point3 w{2e-5, -1e-5, 3e-5};
    set_motion(nn(), 1, [&](int k, int d, int) {
        if (d > 3)
            return 0.0;
        const Point3& x = xyz[static_cast<std::size_t>(k - 1)];
        const Point3 r = {w[1] * x[2] - w[2] * x[1], w[2] * x[0] - w[0] * x[2], w[0] * x[1] - w[1] * x[0]};
        return 0.3 * d + r[static_cast<std::size_t>(d - 1)];
    });
    write();
    const Captured& c = run(KIND, 1, 1, 1);
    // Scale: the stress of a strain of the rotation's size.
    const double stress_scale = E * 3e-5;
    for (int r = 1; r <= 186; ++r)
        EXPECT_NEAR(c(r), 0.0, 1e-9 * stress_scale) << "row " << r;
    for (int r = 187; r <= 350; ++r)
        EXPECT_NEAR(c(r), 0.0, 1e-13) << "row " << r;
}

// u_x = a (y - y0)(z - z0) + b (x - x0)^2: strains linear in the coordinates, so the fit of
// the integration-point stresses reproduces D eps at every node, also far from the origin.
void linear_stress_field_at(QuadraticSolid& t, const Point3& origin, const std::vector<Point3>& xyz, const Captured& w,
                            int nn)
{
    (void)t;
    const double a = 1e-4, b = 2e-4;
    for (int k = 1; k <= nn; ++k) {
        const Point3& x = xyz[static_cast<std::size_t>(k - 1)];
        const double dx = x[0] - origin[0], dy = x[1] - origin[1], dz = x[2] - origin[2];
        // eps_xx = 2 b dx, gamma_xy = a dz, gamma_zx = a dy.
        const std::array<double, 6> eps = {2 * b * dx, 0, 0, a * dz, 0, a * dy};
        const std::array<double, 6> sigma = solid_stress(eps, FamilyTest::E, FamilyTest::NU);
        for (int c = 0; c < 6; ++c)
            EXPECT_NEAR(w(67 + 6 * (k - 1) + c), sigma[static_cast<std::size_t>(c)], 1e-7 * FamilyTest::E * 1e-4)
                << "node " << k << " component " << c + 1;
    }
}

TEST_P(QuadraticSolid, FitReproducesLinearStressFieldsNearAndFarFromTheOrigin)
{
    for (double offset : {0.0, 1.0e6}) {
        SCOPED_TRACE("element at " + std::to_string(offset));
        fresh_set();
        const Point3 origin{offset, offset, offset};
        const std::vector<Point3> xyz = element_at(origin);
        add_element(xyz);
        set_motion(nn(), 1, [&](int k, int d, int) {
            const Point3& x = xyz[static_cast<std::size_t>(k - 1)];
            const double dx = x[0] - origin[0], dy = x[1] - origin[1], dz = x[2] - origin[2];
            return d == 1 ? 1e-4 * dy * dz + 2e-4 * dx * dx : 0.0;
        });
        write();
        linear_stress_field_at(*this, origin, xyz, run(KIND, 1, 0, 1), nn());
    }
}

// The single step's centre stress or strain, one row of the work array, through the entry.
double centre_value(const std::string& base, int row, int option, int steps, int step)
{
    double out = 0.0;
    kvpvs::recovery::step_build::element_results(base.data(), static_cast<int>(base.size()), 8, 1, row, 1, steps,
                                                 step, 4, 0, &out, option, 1);
    return out;
}

TEST_P(QuadraticSolid, CentreRequestOfOneStepGivesTheWholeRoutinesCentreRowsAgainAndAgain)
{
    // A distorted element, turned off the global axes, under a quadratic field with rotations.
    std::vector<Point3> xyz = element_at({2.0, -1.0, 0.5});
    for (std::size_t k = 0; k < xyz.size(); ++k)
        for (std::size_t i = 0; i < 3; ++i)
            xyz[k][i] += 0.08 * std::sin(1.7 * static_cast<double>(k) + 2.3 * static_cast<double>(i));
    const auto R = rotation({0.48, 0.6, 0.64}, 0.4);
    for (Point3& p : xyz)
        p = turn_point(R, p);
    add_element(xyz);
    set_motion(nn(), 2, [&](int k, int d, int s) {
        const Point3& x = xyz[static_cast<std::size_t>(k - 1)];
        return s * 1e-4 * (d * x[0] * x[1] - x[2] * x[2] + 0.3 * d * x[(d + 1) % 3]);
    });
    write();
    kvpvs::recovery::CentreRowsKeep keep;
    for (int option : {0, 1}) {
        const Captured whole = run(KIND, 1, option, 2);
        for (int s = 1; s <= 2; ++s)
            for (int first : {61, 187})
                for (int row = first; row < first + 6; ++row) {
                    ASSERT_NE(whole(row, s), 0.0) << "row " << row;
                    // The second request finds the centre rows the first one kept; without
                    // a keep in use the rows are formed for the request alone.
                    for (int again = 0; again < 3; ++again) {
                        std::optional<kvpvs::recovery::CentreRowsUse> use;
                        if (again < 2)
                            use.emplace(keep);
                        EXPECT_EQ(centre_value(base, row, option, 2, s), whole(row, s))
                            << "option " << option << " step " << s << " row " << row;
                    }
                }
    }
    EXPECT_EQ(keep.rows(), 1U);
    // Another display keeps its own.
    kvpvs::recovery::CentreRowsKeep other;
    {
        const kvpvs::recovery::CentreRowsUse use(other);
        EXPECT_EQ(centre_value(base, 61, 1, 2, 1), run(KIND, 1, 1, 2)(61, 1));
    }
    EXPECT_EQ(other.rows(), 1U);
}

TEST_P(QuadraticSolid, CentreRequestsMeetNeitherTheStepNorTheFileBefore)
{
    auto make = [&](double stretch, double modulus) {
        fresh_set();
        std::vector<Point3> xyz = element_at({1.0, 0.0, 0.0});
        for (Point3& p : xyz)
            p[0] *= stretch;
        set_nodes(xyz);
        QuadraticSolidFacts f;
        f.equations = kvpvs::resultfiles::node_equations(nn());
        f.node_count = nn();
        for (int k = 1; k <= nn(); ++k)
            f.nodes.push_back(k);
        f.material = {modulus, NU, 0, {}};
        add_element_records(builder, "PSOH", 3, {quadratic_solid_record_values(f)});
        set_motion(nn(), 2, [&](int k, int d, int s) {
            const Point3& x = xyz[static_cast<std::size_t>(k - 1)];
            return d == 1 ? s * s * 1e-4 * x[0] * x[1] : (d == 2 ? -2e-5 * s * x[2] : 0.0);
        });
        write();
    };
    const int row = 61;
    double before[2] = {};
    kvpvs::recovery::CentreRowsKeep keep;
    const kvpvs::recovery::CentreRowsUse use(keep);
    make(1.0, E);
    const Captured first = run(KIND, 1, 1, 2);
    // One display refresh after another, each a step of the same files.
    for (int s = 1; s <= 2; ++s) {
        const kvpvs::recovery::ResultFileSession session;
        before[s - 1] = centre_value(base, row, 1, 2, s);
        EXPECT_EQ(before[s - 1], first(row, s)) << "step " << s;
    }
    // The same files rewritten: a longer element of a stiffer material.
    make(1.5, 3 * E);
    const Captured second = run(KIND, 1, 1, 2);
    for (int s = 1; s <= 2; ++s) {
        const kvpvs::recovery::ResultFileSession session;
        const double after = centre_value(base, row, 1, 2, s);
        EXPECT_EQ(after, second(row, s)) << "step " << s;
        EXPECT_NE(after, before[s - 1]) << "step " << s;
    }
}

INSTANTIATE_TEST_SUITE_P(Shapes, QuadraticSolid,
                         ::testing::Values(SolidShape{10, "Tetrahedron10"}, SolidShape{15, "Wedge15"},
                                           SolidShape{20, "Hexahedron20"}),
                         [](const ::testing::TestParamInfo<SolidShape>& i) { return std::string(i.param.name); });

TEST_F(FamilyTest, QuadraticTetrahedronTurnedRigidlyKeepsItsElementAxisResults)
{
    // The same element and displacement field, once as given and once turned about an
    // oblique axis: forces (T f) and stresses in element axes do not change.
    const std::vector<Point3> xyz = tetrahedron10({1.0, 2.0, 0.5}, {2.0, 1.0, 1.5});
    const auto R = rotation({0.48, 0.6, 0.64}, 0.7);
    auto field = [](const Point3& x) {
        return Point3{1e-4 * x[0] + 2e-5 * x[1] * x[2], -3e-5 * x[1] + 1e-5 * x[0] * x[0], 4e-5 * x[2] + 2e-5 * x[0]};
    };
    std::vector<double> results[2];
    for (int turned = 0; turned < 2; ++turned) {
        fresh_set();
        std::vector<Point3> nodes = xyz;
        if (turned)
            for (Point3& p : nodes)
                p = turn_point(R, p);
        set_nodes(nodes);
        QuadraticSolidFacts f;
        f.equations = kvpvs::resultfiles::node_equations(10);
        f.node_count = 10;
        for (int k = 1; k <= 10; ++k)
            f.nodes.push_back(k);
        f.material = {E, NU, 0, {}};
        add_element_records(builder, "PSOH", 3, {quadratic_solid_record_values(f)});
        set_motion(10, 1, [&](int k, int d, int) {
            if (d > 3)
                return 0.0;
            const Point3 u = field(xyz[static_cast<std::size_t>(k - 1)]);
            return (turned ? turn_point(R, u) : u)[static_cast<std::size_t>(d - 1)];
        });
        write();
        results[turned] = run(8, 1, 0, 1).work;
    }
    double scale = 0.0;
    for (int r = 1; r <= 126; ++r)
        scale = std::max(scale, std::fabs(results[0][static_cast<std::size_t>(r - 1)]));
    ASSERT_GT(scale, 0.0);
    for (std::size_t r = 0; r < 126; ++r)
        EXPECT_NEAR(results[1][r], results[0][r], 1e-9 * scale) << "row " << r + 1;
}

} // namespace
