// Six- and eight-node plates in a tilted plane under the states their sub-plates carry exactly,
// through the element-results entry: a uniform membrane strain and a constant curvature give at
// the centre and every node the plane-stress forces N = h1 D eps, the moments M = (h2^3 / 12) D k
// and the surface stresses D eps -+ (h2 / 2) D k, whatever axes the sub-plates have; under a
// uniform membrane stress the nodal forces are the tractions on the element's edges, shared out
// to the nodes of each sub-plate edge; a six-node plate under a uniform transverse shear gives
// shear forces of the applied signs, the same at all seven points.
#include "plate_fixture.h"

#include <cmath>
#include <string>

namespace kvpvs::testing::quadplate {
namespace {

constexpr int STEPS = 3;
double factor(int i) { return std::cos(0.9 * i) + 0.3; }

enum class State { membrane, curvature, shear };

// Membrane field u = a x + b y, v = c x + d y with b = c (no rotation about the normal, which
// the sub-plates' drilling springs would resist); curvatures (3e-3, -1e-3, 2e-3); shears.
constexpr double A = 1e-3, B = -4e-4, D = -2e-4;
constexpr double KX = 3e-3, KY = -1e-3, KXY = 2e-3;
constexpr double GX = 2e-4, GY = -5e-4;

LocalField field(const Plate& p, State s)
{
    switch (s) {
    case State::membrane:
        return plate::membrane_field(p, A, B, B, D);
    case State::curvature:
        return plate::curvature_field(p, KX, KY, KXY);
    case State::shear:
        return shear_field(p, GX, GY);
    }
    return {};
}

// The 14 components of every result point under the state with factor g.
std::array<double, 14> point_values(State s, double g)
{
    std::array<double, 14> w{};
    const auto Dp = plate::plane_stress(kE, kNu);
    if (s == State::membrane) {
        const auto sigma = plate::apply(Dp, {g * A, g * D, g * 2.0 * B});
        for (std::size_t c = 0; c < 3; ++c) {
            w[c] = sigma[c];
            w[3 + c] = sigma[c];
            w[6 + c] = kH1 * sigma[c];
        }
    } else if (s == State::curvature) {
        const auto Dk = plate::apply(Dp, {g * KX, g * KY, g * KXY});
        for (std::size_t c = 0; c < 3; ++c) {
            w[c] = -kH2 / 2.0 * Dk[c];
            w[3 + c] = kH2 / 2.0 * Dk[c];
            w[9 + c] = kH2 * kH2 * kH2 / 12.0 * Dk[c];
        }
    }
    return w;
}

struct StateCase {
    const char* name;
    Plate (*element)();
    State state;
};

class QuadPlateUniformState : public QuadPlateTest, public ::testing::WithParamInterface<StateCase> {};

TEST_P(QuadPlateUniformState, EveryResultPointCarriesTheState)
{
    const Plate p = GetParam().element();
    const int nodes = p.corners();
    const std::vector<double> shape = plate::to_global(p, field(p, GetParam().state));
    std::vector<std::vector<double>> series;
    for (int i = 1; i <= STEPS; ++i) {
        std::vector<double> d = shape;
        for (double& v : d)
            v *= factor(i);
        series.push_back(d);
    }
    direct_series(series);
    builder.add_plth_records({quad_facts(p)});
    ASSERT_TRUE(builder.write(base));
    const std::vector<QuadRows> got = quad_history(1, STEPS);
    for (int i = 1; i <= STEPS; ++i) {
        const std::array<double, 14> w = point_values(GetParam().state, factor(i));
        double scale = 0.0;
        for (double v : w)
            scale = std::max(scale, std::fabs(v));
        const QuadRows& r = got[static_cast<std::size_t>(i - 1)];
        for (int j = 1; j <= 9; ++j)
            for (int c = 1; c <= 14; ++c) {
                const double expected = j <= nodes + 1 ? w[static_cast<std::size_t>(c - 1)] : 0.0;
                EXPECT_NEAR(r[static_cast<std::size_t>(48 + 14 * (j - 1) + c - 1)], expected, 1e-9 * scale)
                    << "step " << i << " point " << j << " component " << c;
            }
    }
}

INSTANTIATE_TEST_SUITE_P(
    Plates, QuadPlateUniformState,
    ::testing::Values(StateCase{"RectangleMembrane", rectangle8, State::membrane},
                      StateCase{"RectangleCurvature", rectangle8, State::curvature},
                      StateCase{"TriangleCurvature", triangle6, State::curvature},
                      StateCase{"RightTriangleCurvature", right_triangle6, State::curvature}),
    [](const auto& info) { return std::string(info.param.name); });

// Nodal forces under a uniform membrane stress sigma: each sub-plate edge i -> j (counter-
// clockwise) carries the traction sigma n over its length, half to each of its nodes; inner
// edges cancel.
std::vector<double> edge_forces(const Plate& p, const std::array<double, 3>& sigma)
{
    const int n = p.corners();
    std::vector<double> F(static_cast<std::size_t>(6 * n), 0.0);
    const std::vector<std::vector<int>> subs = n == 8 ? std::vector<std::vector<int>>{{1, 5, 9, 8}, {2, 6, 9, 5}, {3, 7, 9, 6}, {4, 8, 9, 7}}
                                                      : std::vector<std::vector<int>>{{1, 4, 6}, {2, 5, 4}, {3, 6, 5}, {4, 5, 6}};
    auto at = [&p](int g) {
        if (g == 9) {
            const auto& a = p.local[4];
            const auto& b = p.local[6];
            return std::array<double, 2>{0.5 * (a[0] + b[0]), 0.5 * (a[1] + b[1])};
        }
        return p.local[static_cast<std::size_t>(g - 1)];
    };
    for (const auto& s : subs)
        for (std::size_t a = 0; a < s.size(); ++a) {
            const int gi = s[a];
            const int gj = s[(a + 1) % s.size()];
            const auto pi = at(gi);
            const auto pj = at(gj);
            // Outward normal times length of a counter-clockwise edge: (dy, -dx).
            const double nx = pj[1] - pi[1];
            const double ny = -(pj[0] - pi[0]);
            const double tx = kH1 * (sigma[0] * nx + sigma[2] * ny);
            const double ty = kH1 * (sigma[2] * nx + sigma[1] * ny);
            for (int g : {gi, gj})
                if (g != 9) {
                    F[static_cast<std::size_t>(6 * (g - 1))] += 0.5 * tx;
                    F[static_cast<std::size_t>(6 * (g - 1) + 1)] += 0.5 * ty;
                }
        }
    return F;
}

class QuadPlateEdgeForces : public QuadPlateTest, public ::testing::WithParamInterface<StateCase> {};

TEST_P(QuadPlateEdgeForces, UniformMembraneStressGivesTheEdgeTractions)
{
    const Plate p = GetParam().element();
    const int nodes = p.corners();
    direct_series({plate::to_global(p, field(p, State::membrane))});
    builder.add_plth_records({quad_facts(p)});
    ASSERT_TRUE(builder.write(base));
    const QuadRows r = quad_history(1, 1)[0];
    const auto sigma = plate::apply(plate::plane_stress(kE, kNu), {A, D, 2.0 * B});
    std::vector<double> F = edge_forces(p, sigma);
    // The element's axis 1 in the plane: (P2 + P3) - (P4 + P1) of the corners; axis 2 a quarter
    // turn on.
    double a[2];
    for (std::size_t c = 0; c < 2; ++c)
        a[c] = (p.local[1][c] + p.local[2][c]) - (p.local[3][c] + p.local[0][c]);
    const double la = std::hypot(a[0], a[1]);
    const double e1[2] = {a[0] / la, a[1] / la};
    for (int k = 0; k < nodes; ++k) {
        double* f = &F[static_cast<std::size_t>(6 * k)];
        const double fx = f[0];
        const double fy = f[1];
        f[0] = e1[0] * fx + e1[1] * fy;
        f[1] = -e1[1] * fx + e1[0] * fy;
    }
    double scale = 0.0;
    for (double v : F)
        scale = std::max(scale, std::fabs(v));
    for (int j = 0; j < 48; ++j) {
        const double expected = j < 6 * nodes ? F[static_cast<std::size_t>(j)] : 0.0;
        EXPECT_NEAR(r[static_cast<std::size_t>(j)], expected, 1e-9 * scale) << "row " << j + 1;
    }
}

INSTANTIATE_TEST_SUITE_P(Plates, QuadPlateEdgeForces,
                         ::testing::Values(StateCase{"Rectangle", rectangle8, State::membrane},
                                           StateCase{"Distorted", distorted8, State::membrane}),
                         [](const auto& info) { return std::string(info.param.name); });

// The sub-triangles' shear kernel reduces the shear of a linear deflection by their edges' shear
// ratios, so its size is not G / 1.2 gamma; its direction must survive the turns of the four
// sub-triangles (the middle one is turned by the angle at corner 1).
class QuadPlateTriangleShear : public QuadPlateTest, public ::testing::WithParamInterface<StateCase> {};

TEST_P(QuadPlateTriangleShear, AllSevenPointsCarryTheAppliedSigns)
{
    const Plate p = GetParam().element();
    for (const auto& [gx, gy] : {std::pair{GX, GY}, std::pair{-GX, GY}, std::pair{GY, GX}}) {
        direct_series({plate::to_global(p, shear_field(p, gx, gy))});
        builder.add_plth_records({quad_facts(p)});
        ASSERT_TRUE(builder.write(base));
        const QuadRows r = quad_history(1, 1)[0];
        const double qx = r[48 + 12];
        const double qy = r[48 + 13];
        EXPECT_GT(qx * gx, 0.0);
        EXPECT_GT(qy * gy, 0.0);
        for (int j = 2; j <= 7; ++j) {
            EXPECT_NEAR(r[static_cast<std::size_t>(48 + 14 * (j - 1) + 12)], qx, 1e-9 * std::fabs(qx)) << "point " << j;
            EXPECT_NEAR(r[static_cast<std::size_t>(48 + 14 * (j - 1) + 13)], qy, 1e-9 * std::fabs(qy)) << "point " << j;
        }
        builder = resultfiles::ResultSetBuilder();
    }
}

INSTANTIATE_TEST_SUITE_P(Plates, QuadPlateTriangleShear,
                         ::testing::Values(StateCase{"Triangle", triangle6, State::shear},
                                           StateCase{"RightTriangle", right_triangle6, State::shear}),
                         [](const auto& info) { return std::string(info.param.name); });

} // namespace
} // namespace kvpvs::testing::quadplate
