// The results side of the six- and eight-node plates: the turn of a kernel point's values from a
// sub-plate's axes into the element's (the stress tensors by the rotation formulas of plane
// stress, the transverse shear as a vector), the extrapolation of Gauss-point values to the
// corners (a bilinear field comes out exact), the gathering at the centre and the nodes, and the
// sub-plates of a rectangle, turned by 0, 90, 180 and 270 degrees, under one uniform transverse
// shear giving it at all nine result points.
#include "plate_fixture.h"

#include "recovery/drivers/family_support.h"
#include "recovery/drivers/sub_plate_results.h"
#include "recovery/drivers/sub_plate_stiffness.h"

#include <cmath>
#include <numbers>
#include <string>
#include <vector>

namespace kvpvs::testing::quadplate {
namespace {

using recovery::Build;
using recovery::ConstMatView;
using recovery::FixedMatrix;
using recovery::Mat33;
using recovery::MatView;

// Element axes of the tilted plane, and sub-plate axes turned by `angle` about its normal.
Mat33 element_axes_of(const resultfiles::Axes3& A)
{
    Mat33 T;
    for (int r = 0; r < 3; ++r)
        for (int c = 0; c < 3; ++c)
            T(r + 1, c + 1) = A[static_cast<std::size_t>(r)][static_cast<std::size_t>(c)];
    return T;
}

Mat33 turned(const Mat33& T, double angle)
{
    const double c = std::cos(angle);
    const double s = std::sin(angle);
    Mat33 Ts;
    for (int j = 1; j <= 3; ++j) {
        Ts(1, j) = c * T(1, j) + s * T(2, j);
        Ts(2, j) = -s * T(1, j) + c * T(2, j);
        Ts(3, j) = T(3, j);
    }
    return Ts;
}

struct TurnCase {
    const char* name;
    double degrees;
};

class PointTurn : public ::testing::TestWithParam<TurnCase> {};

// Sub-plate axis 1 at angle a from element axis 1: with c = cos a, s = sin a the plane-stress
// rotation gives sx = c^2 sx' + s^2 sy' - 2 c s t', sy = s^2 sx' + c^2 sy' + 2 c s t',
// t = c s (sx' - sy') + (c^2 - s^2) t', and the shear vector (qx, qy) = (c qx' - s qy',
// s qx' + c qy').
TEST_P(PointTurn, TensorsByThePlaneRotationShearAsAVector)
{
    const double a = GetParam().degrees * std::numbers::pi / 180.0;
    const double c = std::cos(a);
    const double s = std::sin(a);
    const Mat33 T = element_axes_of(plate::tilted_axes());
    const Mat33 Ts = turned(T, a);
    const double in[8] = {3.0, -1.5, 0.7, -2.2, 4.1, -0.9, 0.6, -1.3};  // ..., qy', qx'
    double out[8];
    recovery::turn_point_values(in, out, Ts, T);
    for (int b = 0; b < 2; ++b) {
        const double sx = in[3 * b], sy = in[3 * b + 1], t = in[3 * b + 2];
        EXPECT_NEAR(out[3 * b], c * c * sx + s * s * sy - 2.0 * c * s * t, 1e-13) << "block " << b;
        EXPECT_NEAR(out[3 * b + 1], s * s * sx + c * c * sy + 2.0 * c * s * t, 1e-13) << "block " << b;
        EXPECT_NEAR(out[3 * b + 2], c * s * (sx - sy) + (c * c - s * s) * t, 1e-13) << "block " << b;
    }
    const double qx = in[7], qy = in[6];
    EXPECT_NEAR(out[7], c * qx - s * qy, 1e-13);
    EXPECT_NEAR(out[6], s * qx + c * qy, 1e-13);
    // In place.
    double same[8];
    std::copy(std::begin(in), std::end(in), same);
    recovery::turn_point_values(same, same, Ts, T);
    for (int k = 0; k < 8; ++k)
        EXPECT_EQ(same[k], out[k]) << k;
}

INSTANTIATE_TEST_SUITE_P(Angles, PointTurn,
                         ::testing::Values(TurnCase{"Equal", 0.0}, TurnCase{"Quarter", 90.0}, TurnCase{"Half", 180.0},
                                           TurnCase{"ThreeQuarters", 270.0}, TurnCase{"Oblique", 37.0}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(PointTurn, QuarterTurnExchangesTheNormalStressesAndTheShearComponents)
{
    const Mat33 T = element_axes_of(plate::tilted_axes());
    const double in[8] = {3.0, -1.5, 0.7, -2.2, 4.1, -0.9, 0.6, -1.3};
    double out[8];
    recovery::turn_point_values(in, out, turned(T, std::numbers::pi / 2.0), T);
    const double expected[8] = {-1.5, 3.0, -0.7, 4.1, -2.2, 0.9, -1.3, -0.6};
    for (int k = 0; k < 8; ++k)
        EXPECT_NEAR(out[k], expected[k], 1e-13) << k;
}

TEST(GaussToCorners, BilinearFieldsComeOutExactAtTheCornersAndTheCentreStays)
{
    // Value c of a point is f_c(xi, eta) = a + b xi + d eta + e xi eta, sampled at the Gauss points
    // (-,-), (+,-), (+,+), (-,+) at +-1/sqrt(3); the corners lie at +-1 in the same order.
    const double g = 1.0 / std::sqrt(3.0);
    const double gauss[4][2] = {{-g, -g}, {g, -g}, {g, g}, {-g, g}};
    const double corner[4][2] = {{-1, -1}, {1, -1}, {1, 1}, {-1, 1}};
    auto f = [](int c, double x, double y) { return 0.3 * c - 1.0 + (0.5 + c) * x - 0.7 * c * y + (2.0 - c) * x * y; };
    double O[40];
    for (int c = 0; c < 8; ++c) {
        O[c] = 100.0 + c;
        for (int p = 0; p < 4; ++p)
            O[8 * (p + 1) + c] = f(c, gauss[p][0], gauss[p][1]);
    }
    recovery::gauss_to_corners(recovery::driver_build(Build::history), O, 0, 8);
    for (int c = 0; c < 8; ++c) {
        EXPECT_EQ(O[c], 100.0 + c);
        for (int p = 0; p < 4; ++p)
            EXPECT_NEAR(O[8 * (p + 1) + c], f(c, corner[p][0], corner[p][1]), 1e-13) << "corner " << p + 1 << " value " << c;
    }
}

// Kernel point p of sub-plate s carries 100 s + 10 p + r in value r. The points stand for element
// nodes: a sub-quadrilateral's points 2..5 for its nodes 1..4, a sub-triangle's points 2..4 for
// its nodes 1..3; the middle sub-triangle's centroid is the six-node element's centre.
struct GatherCase {
    const char* name;
    int nodes;
    std::vector<std::vector<int>> sub_plates;
};

class Gathering : public ::testing::TestWithParam<GatherCase> {};

TEST_P(Gathering, CornersFromOneSubPlateMidSidesTheMeanOfTwoCentreOfItsOwn)
{
    const GatherCase& g = GetParam();
    FixedMatrix<8, 20> V;
    for (int s = 1; s <= 4; ++s)
        for (int p = 1; p <= 5; ++p)
            for (int r = 1; r <= 8; ++r)
                V(r, p + 5 * (s - 1)) = 100.0 * s + 10.0 * p + r;
    FixedMatrix<8, 9> R;
    R.fill(-7.0);
    recovery::gather_sub_plate_points(g.nodes, V, R);
    const bool quad = g.nodes == 8;
    for (int node = 1; node <= g.nodes; ++node) {
        // Sub-plates holding the node, the middle sub-triangle left out.
        std::vector<double> tags;
        for (int s = 1; s <= (quad ? 4 : 3); ++s)
            for (std::size_t a = 0; a < g.sub_plates[static_cast<std::size_t>(s - 1)].size(); ++a)
                if (g.sub_plates[static_cast<std::size_t>(s - 1)][a] == node)
                    tags.push_back(100.0 * s + 10.0 * (static_cast<double>(a) + 2.0));
        ASSERT_EQ(tags.size(), node <= (quad ? 4 : 3) ? 1U : 2U) << "node " << node;
        double mean = 0.0;
        for (double t : tags)
            mean += t / static_cast<double>(tags.size());
        for (int r = 1; r <= 8; ++r)
            EXPECT_DOUBLE_EQ(R(r, node + 1), mean + r) << "node " << node << " value " << r;
    }
    for (int r = 1; r <= 8; ++r) {
        // The centre: the mean of the four sub-quadrilaterals' points at node 9 (their point 4),
        // or the middle sub-triangle's centroid.
        EXPECT_DOUBLE_EQ(R(r, 1), quad ? 0.25 * (140 + 240 + 340 + 440) + r : 410.0 + r);
        for (int j = g.nodes + 2; j <= 9; ++j)
            EXPECT_EQ(R(r, j), -7.0) << "point " << j << " the element lacks";
    }
}

INSTANTIATE_TEST_SUITE_P(Elements, Gathering,
                         ::testing::Values(GatherCase{"SixNodes", 6, {{1, 4, 6}, {2, 5, 4}, {3, 6, 5}, {4, 5, 6}}},
                                           GatherCase{"EightNodes", 8, {{1, 5, 9, 8}, {2, 6, 9, 5}, {3, 7, 9, 6}, {4, 8, 9, 7}}}),
                         [](const auto& info) { return std::string(info.param.name); });

// Sub-plate node vectors of a field given at the nine points (eight nodes and the centre midway
// between nodes 5 and 7), each turned into its sub-plate's axes.
FixedMatrix<24, 4> sub_plate_vectors(const Plate& p, const LocalField& f9)
{
    Plate nine = p;
    if (p.corners() == 8)
        nine.local.push_back({0.5 * (p.local[4][0] + p.local[6][0]), 0.5 * (p.local[4][1] + p.local[6][1])});
    const std::vector<double> g = plate::to_global(nine, f9);
    FixedMatrix<24, 4> E;
    const bool quad = p.corners() == 8;
    for (int s = 0; s < 4; ++s) {
        const int* nodes = quad ? recovery::EIGHT_NODE_SUB_PLATES[s] : recovery::SIX_NODE_SUB_PLATES[s];
        const int corners = quad ? 4 : 3;
        double x[4], y[4], z[4];
        for (int a = 0; a < corners; ++a) {
            const resultfiles::Point3 q = nine.global(nodes[a] - 1);
            x[a] = q[0];
            y[a] = q[1];
            z[a] = q[2];
        }
        Mat33 Ts;
        recovery::element_axes(x, y, z, Ts, quad ? 4 : 1);
        for (int a = 0; a < corners; ++a)
            for (int half = 0; half < 2; ++half)
                for (int r = 1; r <= 3; ++r) {
                    double v = 0.0;
                    for (int c = 1; c <= 3; ++c)
                        v += Ts(r, c) * g[static_cast<std::size_t>(6 * (nodes[a] - 1) + 3 * half + c - 1)];
                    E(6 * a + 3 * half + r, s + 1) = v;
                }
    }
    return E;
}

class SubPlateShear : public ::testing::TestWithParam<double> {};

// A linear deflection w = gx x + gy y with no rotations at every sub-plate node, the centre
// included: each sub-quadrilateral of the rectangle (turned by 0, 90, 180 and 270 degrees from
// the element) carries one uniform shear, so all nine points give the same two shear values, of
// the applied signs, and no membrane stresses. (The kernel's mid-side rotation parameters bend
// a sub-plate under a linear deflection away from its centre, so the bending stresses vary.)
TEST_P(SubPlateShear, RectangleGivesOneShearAtAllNinePoints)
{
    load_section();
    const Plate p = rectangle8();
    const double gx = 2e-4 * std::cos(GetParam());
    const double gy = 2e-4 * std::sin(GetParam());
    Plate nine = p;
    nine.local.push_back({1.0, 0.5});
    const FixedMatrix<24, 4> E = sub_plate_vectors(p, shear_field(nine, gx, gy));
    FixedMatrix<3, 8> X;
    for (int k = 0; k < 8; ++k)
        for (int c = 0; c < 3; ++c)
            X(c + 1, k + 1) = p.global(k)[static_cast<std::size_t>(c)];
    FixedMatrix<8, 9> R;
    recovery::sub_plate_stresses(recovery::driver_build(Build::history), 8, 0, E, R, X, 1,
                                 element_axes_of(plate::tilted_axes()));
    const double qx = R(8, 1);
    const double qy = R(7, 1);
    EXPECT_GT(qx * gx, 0.0);
    EXPECT_GT(qy * gy, 0.0);
    const double scale = std::max(std::fabs(qx), std::fabs(qy));
    for (int j = 1; j <= 9; ++j) {
        EXPECT_NEAR(R(8, j), qx, 1e-9 * scale) << "point " << j;
        EXPECT_NEAR(R(7, j), qy, 1e-9 * scale) << "point " << j;
        for (int r = 1; r <= 3; ++r)
            EXPECT_NEAR(R(r, j), 0.0, 1e-9 * scale) << "point " << j << " value " << r;
    }
}

INSTANTIATE_TEST_SUITE_P(Directions, SubPlateShear, ::testing::Values(0.3, 2.0, 3.6, 5.1),
                         [](const auto& info) { return "Angle" + std::to_string(info.index); });

} // namespace
} // namespace kvpvs::testing::quadplate
