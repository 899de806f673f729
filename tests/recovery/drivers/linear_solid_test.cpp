// The linear solid family: extrapolation of the stress points to the nodes, and through the
// entry the stored matrices of the reference hexahedron, wedge and tetrahedron under uniform
// strain, the strains from the compliance, and the turns of both axes options.
#include "family_fixture.h"

#include "recovery/drivers/solid_support.h"

#include <algorithm>

namespace {

using namespace kvpvs::testing;
using kvpvs::resultfiles::SolidRecordFacts;

// A field with every term the extrapolation must carry: trilinear in (xi, eta, zeta).
double trilinear(double xi, double eta, double zeta, int c)
{
    return (c + 1) * (1 + 2 * xi - 3 * eta + 0.5 * zeta + 0.7 * xi * eta - 0.4 * eta * zeta + 0.2 * xi * eta * zeta);
}

TEST(SolidPointsToNodes, EightNodesCarryATrilinearFieldFromTheGaussPointsToTheCorners)
{
    const double sx[8] = {-1, 1, 1, -1, -1, 1, 1, -1};
    const double sy[8] = {-1, -1, 1, 1, -1, -1, 1, 1};
    const double sz[8] = {1, 1, 1, 1, -1, -1, -1, -1};
    const double g = 1 / std::sqrt(3.0);
    double v[48];
    for (int j = 0; j < 8; ++j)
        for (int c = 0; c < 6; ++c)
            v[6 * j + c] = trilinear(g * sx[j], g * sy[j], g * sz[j], c);
    kvpvs::recovery::solid_points_to_nodes(v, 8);
    for (int k = 0; k < 8; ++k)
        for (int c = 0; c < 6; ++c)
            EXPECT_NEAR(v[6 * k + c], trilinear(sx[k], sy[k], sz[k], c), 1e-12) << "node " << k + 1;
}

TEST(SolidPointsToNodes, SixNodesCarryAFieldLinearInThePlaneAndThroughTheThickness)
{
    // Layers at zeta = -+1/sqrt(3): centre, then the points 1/2.5 of the way to corners 1..3.
    auto f = [](double xi, double eta, double zeta, int c) {
        return (c + 1) * (1 + 2 * xi - eta + 0.5 * zeta + 0.3 * xi * zeta - 0.6 * eta * zeta);
    };
    const double corner[3][2] = {{0, 0}, {1, 0}, {0, 1}};
    const double g = 1 / std::sqrt(3.0);
    double v[48];
    int j = 0;
    for (double z : {-g, g}) {
        for (int c = 0; c < 6; ++c)
            v[6 * j + c] = f(1.0 / 3, 1.0 / 3, z, c);
        ++j;
        for (const auto& q : corner) {
            const double xi = 1.0 / 3 + (q[0] - 1.0 / 3) / 2.5, eta = 1.0 / 3 + (q[1] - 1.0 / 3) / 2.5;
            for (int c = 0; c < 6; ++c)
                v[6 * j + c] = f(xi, eta, z, c);
            ++j;
        }
    }
    kvpvs::recovery::solid_points_to_nodes(v, 6);
    for (int k = 0; k < 6; ++k)
        for (int c = 0; c < 6; ++c)
            EXPECT_NEAR(v[6 * k + c], f(corner[k % 3][0], corner[k % 3][1], k < 3 ? -1.0 : 1.0, c), 1e-12)
                << "node " << k + 1;
    for (int i = 36; i < 48; ++i)
        EXPECT_EQ(v[i], 0.0);
}

TEST(SolidPointsToNodes, FourNodesCopyTheirOnePointAndLeaveTheRest)
{
    double v[48];
    for (int i = 0; i < 48; ++i)
        v[i] = i + 1;
    kvpvs::recovery::solid_points_to_nodes(v, 4);
    for (int k = 0; k < 4; ++k)
        for (int c = 0; c < 6; ++c)
            EXPECT_EQ(v[6 * k + c], c + 1.0);
    for (int i = 24; i < 48; ++i)
        EXPECT_EQ(v[i], i + 1.0);
}

// Reference solids with their natural node positions mapped onto a box.
std::vector<Point3> reference_solid(int nn)
{
    std::vector<Point3> x;
    if (nn == 8) {
        const double sx[8] = {-1, 1, 1, -1, -1, 1, 1, -1};
        const double sy[8] = {-1, -1, 1, 1, -1, -1, 1, 1};
        const double sz[8] = {1, 1, 1, 1, -1, -1, -1, -1};
        for (int k = 0; k < 8; ++k)
            x.push_back({1.0 + (1 + sx[k]), -2.0 + 0.75 * (1 + sy[k]), 0.5 * (1 + sz[k])});
    } else if (nn == 6) {
        const double tri[3][2] = {{0, 0}, {2, 0}, {0, 1.5}};
        for (double z : {0.0, 1.0})
            for (const auto& t : tri)
                x.push_back({t[0], t[1], z});
    } else {
        x = {{0, 0, 0}, {2, 0, 0}, {0, 1.5, 0}, {0, 0, 1}};
    }
    return x;
}

class LinearSolid : public FamilyTest, public ::testing::WithParamInterface<int> {
protected:
    // SOLD record 1 of the reference element with nodes 1..nn and direction matrix T.
    void add_element(const std::vector<Point3>& xyz, const std::array<std::array<double, 3>, 3>& T, double E_, double nu_)
    {
        set_nodes(xyz);
        SolidRecordFacts f;
        const int nn = static_cast<int>(xyz.size());
        f.equations = kvpvs::resultfiles::node_equations(nn);
        f.matrix = kvpvs::resultfiles::solid_reference_matrix(xyz, E_, nu_);
        f.node_count = nn;
        f.T = T;
        add_element_records(builder, "SOLD", 3, {solid_record_values(f)});
    }
    void set_uniform_strain(const std::vector<Point3>& xyz, const std::array<double, 6>& eps)
    {
        set_motion(static_cast<int>(xyz.size()), 1, [&](int k, int d, int) {
            const Point3& x = xyz[static_cast<std::size_t>(k - 1)];
            switch (d) {
            case 1: return eps[0] * x[0] + eps[3] / 2 * x[1] + eps[5] / 2 * x[2] + 0.1;
            case 2: return eps[3] / 2 * x[0] + eps[1] * x[1] + eps[4] / 2 * x[2];
            case 3: return eps[5] / 2 * x[0] + eps[4] / 2 * x[1] + eps[2] * x[2];
            default: return 0.0;
            }
        });
    }
};

constexpr std::array<double, 6> EPS = {1e-4, -2e-4, 3e-4, 2e-4, -1e-4, 1.5e-4};
constexpr std::array<std::array<double, 3>, 3> IDENTITY{{{1, 0, 0}, {0, 1, 0}, {0, 0, 1}}};

TEST_P(LinearSolid, UniformStrainGivesItsStressAndStrainAtCentreAndNodesInTheRowTable)
{
    const int nn = GetParam();
    const auto xyz = reference_solid(nn);
    add_element(xyz, IDENTITY, E, NU);
    set_uniform_strain(xyz, EPS);
    write();
    const Captured& w = run(4, 1, 0, 1);
    const auto sigma = solid_stress(EPS, E, NU);
    const double scale = E * 3e-4;
    for (int p = 0; p <= nn; ++p)
        for (int c = 0; c < 6; ++c) {
            EXPECT_NEAR(w(25 + 6 * p + c), sigma[static_cast<std::size_t>(c)], 1e-9 * scale) << "point " << p;
            EXPECT_NEAR(w(79 + 6 * p + c), EPS[static_cast<std::size_t>(c)], 1e-12) << "strain point " << p;
        }
    for (int d = 1; d <= 3; ++d) {
        double sum = 0.0;
        for (int k = 1; k <= nn; ++k)
            sum += w(3 * (k - 1) + d);
        EXPECT_NEAR(sum, 0.0, 1e-9 * scale);
    }
    // A 6-node element leaves rows 67..78 zero; a tetrahedron's rows 37..54 repeat 31..36
    // (its matrix has 36 rows); every element leaves the rows after its strains zero.
    if (nn == 6) {
        for (int r = 67; r <= 78; ++r)
            EXPECT_EQ(w(r), 0.0) << "row " << r;
    }
    if (nn == 4) {
        for (int r = 37; r <= 54; ++r)
            EXPECT_EQ(w(r), w(31 + (r - 31) % 6)) << "row " << r;
    }
    for (int r = 85 + 6 * nn; r <= 350; ++r)
        EXPECT_EQ(w(r), 0.0) << "row " << r;
}

TEST_P(LinearSolid, OptionsTurnForcesByTransposeAndTensorsByTheDirectionMatrix)
{
    const int nn = GetParam();
    const auto xyz = reference_solid(nn);
    const auto R = rotation({0.6, 0.0, 0.8}, 0.9);
    add_element(xyz, R, E, NU);
    set_uniform_strain(xyz, EPS);
    write();
    const std::vector<double> as_computed_forces = run(4, 1, 1, 1).work;  // option 1: forces untouched
    const std::vector<double> as_computed_tensors = run(4, 1, 0, 1).work;  // option 0: tensors untouched
    const std::vector<double> turned_forces = as_computed_tensors;
    const std::vector<double> turned_tensors = as_computed_forces;
    auto at = [](const std::vector<double>& w, int row) { return w[static_cast<std::size_t>(row - 1)]; };
    for (int k = 1; k <= nn; ++k)
        for (int i = 0; i < 3; ++i) {
            double expected = 0.0;
            for (int j = 0; j < 3; ++j)
                expected += R[static_cast<std::size_t>(j)][static_cast<std::size_t>(i)] * at(as_computed_forces, 3 * (k - 1) + j + 1);
            EXPECT_NEAR(at(turned_forces, 3 * (k - 1) + i + 1), expected, 1e-9 * E * 3e-4) << "node " << k;
        }
    const int idx[3][3] = {{0, 3, 5}, {3, 1, 4}, {5, 4, 2}};
    for (int first : {25, 79})
        for (int p = 0; p <= nn; ++p) {
            const int row0 = first + 6 * p;
            double s[3][3];
            for (int i = 0; i < 3; ++i)
                for (int j = 0; j < 3; ++j)
                    s[i][j] = at(as_computed_tensors, row0 + idx[i][j]);
            for (int a = 0; a < 3; ++a)
                for (int b = a; b < 3; ++b) {
                    double expected = 0.0;
                    for (int i = 0; i < 3; ++i)
                        for (int j = 0; j < 3; ++j)
                            expected += R[static_cast<std::size_t>(i)][static_cast<std::size_t>(a)] * s[i][j]
                                        * R[static_cast<std::size_t>(j)][static_cast<std::size_t>(b)];
                    const double tol = first == 25 ? 1e-9 * E * 3e-4 : 1e-15;
                    EXPECT_NEAR(at(turned_tensors, row0 + idx[a][b]), expected, tol) << "row " << row0 + idx[a][b];
                }
        }
}

TEST_P(LinearSolid, WithTheIdentityBothOptionsGiveTheSameRows)
{
    const auto xyz = reference_solid(GetParam());
    add_element(xyz, IDENTITY, E, NU);
    set_uniform_strain(xyz, EPS);
    write();
    const std::vector<double> zero = run(4, 1, 0, 1).work;
    EXPECT_EQ(run(4, 1, 1, 1).work, zero);
}

INSTANTIATE_TEST_SUITE_P(Shapes, LinearSolid, ::testing::Values(8, 6, 4),
                         [](const ::testing::TestParamInfo<int>& i) {
                             return i.param == 8 ? std::string("Hexahedron8")
                                                 : (i.param == 6 ? std::string("Wedge6") : std::string("Tetrahedron4"));
                         });

TEST_F(FamilyTest, LinearSolidStrainsOfPoissonZeroAreStressOverEAndTwiceShearOverE)
{
    const double E0 = 1.0e7;
    builder = kvpvs::resultfiles::ResultSetBuilder();
    builder.add_material(1, E0, 0.0);
    builder.set_element(1, 1);
    kvpvs::resultfiles::HistoryFacts direct;
    builder.set_history(1, direct);
    const auto xyz = reference_solid(8);
    set_nodes(xyz);
    SolidRecordFacts f;
    f.equations = kvpvs::resultfiles::node_equations(8);
    f.matrix = kvpvs::resultfiles::solid_reference_matrix(xyz, E0, 0.0);
    add_element_records(builder, "SOLD", 3, {solid_record_values(f)});
    set_motion(8, 1, [&](int k, int d, int) { return d <= 3 ? 1e-4 * xyz[static_cast<std::size_t>(k - 1)][0] * (d == 2 ? 1 : 0.5) : 0.0; });
    write();
    const Captured& w = run(4, 1, 0, 1);
    for (int p = 0; p <= 8; ++p) {
        for (int c = 0; c < 3; ++c)
            EXPECT_NEAR(w(79 + 6 * p + c), w(25 + 6 * p + c) / E0, 1e-15);
        for (int c = 3; c < 6; ++c)
            EXPECT_NEAR(w(79 + 6 * p + c), 2 * w(25 + 6 * p + c) / E0, 1e-15);
    }
}

TEST_F(FamilyTest, LinearSolidOrthotropicStrainsAreTheComplianceTimesTheStress)
{
    const double E1 = 3e7, E2 = 1e7, E3 = 2e7, n12 = 0.2, n13 = 0.1, n23 = 0.3, G12 = 4e6, G23 = 5e6, G31 = 6e6;
    builder = kvpvs::resultfiles::ResultSetBuilder();
    builder.add_material(1, E1, n12, 1, {E2, n13, 0, E3, n23, 0, G12, G23, G31});
    builder.set_element(1, 1);
    builder.set_history(1, kvpvs::resultfiles::HistoryFacts{});
    const auto xyz = reference_solid(8);
    set_nodes(xyz);
    SolidRecordFacts f;
    f.equations = kvpvs::resultfiles::node_equations(8);
    f.matrix = kvpvs::resultfiles::solid_reference_matrix(xyz, E, NU);
    add_element_records(builder, "SOLD", 3, {solid_record_values(f)});
    set_motion(8, 1, [&](int k, int d, int) {
        const Point3& x = xyz[static_cast<std::size_t>(k - 1)];
        return d <= 3 ? 1e-4 * (x[0] * d - x[1] + 0.5 * x[2] * x[0]) : 0.0;
    });
    write();
    const Captured& w = run(4, 1, 0, 1);
    // Compliance of the orthotropic material, written out.
    const double S[3][3] = {{1 / E1, -n12 / E1, -n13 / E1}, {-n12 / E1, 1 / E2, -n23 / E2}, {-n13 / E1, -n23 / E2, 1 / E3}};
    const double G[3] = {G12, G23, G31};
    for (int p = 0; p <= 8; ++p) {
        const int s0 = 25 + 6 * p, e0 = 79 + 6 * p;
        for (int i = 0; i < 3; ++i) {
            const double e = S[i][0] * w(s0) + S[i][1] * w(s0 + 1) + S[i][2] * w(s0 + 2);
            EXPECT_NEAR(w(e0 + i), e, 1e-12 * std::fabs(e) + 1e-18) << "point " << p;
        }
        for (int i = 3; i < 6; ++i)
            EXPECT_NEAR(w(e0 + i), w(s0 + i) / G[i - 3], 1e-12 * std::fabs(w(s0 + i) / G[i - 3]) + 1e-18) << "point " << p;
    }
}

} // namespace
