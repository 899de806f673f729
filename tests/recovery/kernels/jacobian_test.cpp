// Jacobians and the strain-displacement matrix: constant-strain patch tests on distorted
// elements of every shape, the orientation of clockwise elements, and the Jacobian message.
#include <array>
#include <cmath>
#include <gtest/gtest.h>
#include <ostream>
#include <string>
#include <vector>

#include "kernel_test_support.h"
#include "recovery/kernels/element_library.h"

namespace kvpvs::recovery {
namespace {

using test::CapturedOutput;

const char* const kJacobianMessage = "     JACOBIAN DETERMINENT IS NEGATIVE\n     PLEASE CHECK YOUR DATA FILE \n";

struct Fixture : ::testing::Test {
    SharedBlocks blocks;
    ElementLibrary lib{Build::history, blocks};
};

using Jacobian2d = Fixture;

TEST_F(Jacobian2d, UnitSquareAtTheCentre)
{
    FixedMatrix<2, 4> xy;
    const double c[4][2] = {{0, 0}, {1, 0}, {1, 1}, {0, 1}};
    for (int k = 1; k <= 4; ++k) {
        xy(1, k) = c[k - 1][0];
        xy(2, k) = c[k - 1][1];
    }
    FixedMatrix<2, 4> dn;
    quad4_shape(0.0, 0.0, dn, 1);
    FixedMatrix<2, 4> natural = dn;
    double det = 0;
    jacobian_2d(4, xy, dn, det, 1);
    EXPECT_EQ(det, 0.25);
    EXPECT_EQ(dn.a, natural.a);  // flag 1: derivatives untouched
    jacobian_2d(4, xy, dn, det, 0);
    EXPECT_DOUBLE_EQ(dn(1, 1), -0.5);
    EXPECT_DOUBLE_EQ(dn(2, 1), -0.5);
}

TEST_F(Jacobian2d, PairReturnsTheInverseAndTurnsBothDerivativeSets)
{
    // Parallelogram x = 2 xi + 0.5 eta, y = 0.3 xi + 1.5 eta (natural corners mapped).
    FixedMatrix<2, 4> xy, dn, dp;
    const double nat[4][2] = {{-1, -1}, {1, -1}, {1, 1}, {-1, 1}};
    for (int k = 1; k <= 4; ++k) {
        xy(1, k) = 2.0 * nat[k - 1][0] + 0.5 * nat[k - 1][1];
        xy(2, k) = 0.3 * nat[k - 1][0] + 1.5 * nat[k - 1][1];
    }
    quad4_shape(0.2, -0.4, dn, 1);
    quad_midside_derivs(0.2, -0.4, dp);
    const FixedMatrix<2, 4> dp0 = dp;
    FixedMatrix<2, 2> J;
    double det = 0;
    jacobian_2d_pair(4, xy, dn, dp, det, J);
    // J(i,j) = dx_j/dxi_i, so the Jacobian is [[2, 0.3], [0.5, 1.5]]; det = 2.85.
    EXPECT_NEAR(det, 2.85, 1e-14);
    EXPECT_NEAR(J(1, 1) * 2.0 + J(1, 2) * 0.5, 1.0, 1e-14);
    EXPECT_NEAR(J(1, 1) * 0.3 + J(1, 2) * 1.5, 0.0, 1e-14);
    // Chain rule: natural = J * Cartesian.
    for (int k = 1; k <= 4; ++k) {
        EXPECT_NEAR(2.0 * dp(1, k) + 0.3 * dp(2, k), dp0(1, k), 1e-14);
        EXPECT_NEAR(0.5 * dp(1, k) + 1.5 * dp(2, k), dp0(2, k), 1e-14);
    }
}

struct PatchElement {
    const char* name;
    int ndim;
    int nnode;
    int nrule;  // integration rule to sum the volume with
};

void PrintTo(const PatchElement& e, std::ostream* os)
{
    *os << e.nnode << " nodes in " << e.ndim << "D, volume by the " << e.nrule << "-point rule";
}

// Natural node positions of the main numbering (for building distorted elements).
std::vector<std::array<double, 3>> natural_nodes(int ndim, int nnode)
{
    const double h = 0.5;
    if (ndim == 2) {
        switch (nnode) {
        case 3: return {{0, 0, 0}, {1, 0, 0}, {0, 1, 0}};
        case 6: return {{0, 0, 0}, {1, 0, 0}, {0, 1, 0}, {h, 0, 0}, {h, h, 0}, {0, h, 0}};
        case 4: return {{-1, -1, 0}, {1, -1, 0}, {1, 1, 0}, {-1, 1, 0}};
        default: return {{-1, -1, 0}, {1, -1, 0}, {1, 1, 0}, {-1, 1, 0}, {0, -1, 0}, {1, 0, 0}, {0, 1, 0}, {-1, 0, 0}};
        }
    }
    switch (nnode) {
    case 4: return {{0, 0, 0}, {1, 0, 0}, {0, 1, 0}, {0, 0, 1}};
    case 10: return {{0, 0, 0}, {1, 0, 0}, {0, 1, 0}, {0, 0, 1}, {h, 0, 0}, {h, h, 0}, {0, h, 0}, {0, 0, h}, {h, 0, h}, {0, h, h}};
    case 6: return {{0, 0, -1}, {1, 0, -1}, {0, 1, -1}, {0, 0, 1}, {1, 0, 1}, {0, 1, 1}};
    case 15: return {{0, 0, -1}, {1, 0, -1}, {0, 1, -1}, {0, 0, 1}, {1, 0, 1}, {0, 1, 1}, {h, 0, -1}, {h, h, -1},
                     {0, h, -1}, {h, 0, 1}, {h, h, 1}, {0, h, 1}, {0, 0, 0}, {1, 0, 0}, {0, 1, 0}};
    case 8: return {{-1, -1, -1}, {1, -1, -1}, {1, 1, -1}, {-1, 1, -1}, {-1, -1, 1}, {1, -1, 1}, {1, 1, 1}, {-1, 1, 1}};
    default: return {{-1, -1, -1}, {1, -1, -1}, {1, 1, -1}, {-1, 1, -1}, {-1, -1, 1}, {1, -1, 1}, {1, 1, 1}, {-1, 1, 1},
                     {0, -1, -1}, {1, 0, -1}, {0, 1, -1}, {-1, 0, -1}, {0, -1, 1}, {1, 0, 1}, {0, 1, 1}, {-1, 0, 1},
                     {-1, -1, 0}, {1, -1, 0}, {1, 1, 0}, {-1, 1, 0}};
    }
}

// A distorted element: an affine map of the natural nodes plus a deterministic jiggle of
// every node (kept small enough for a positive Jacobian).
std::vector<double> distorted_coordinates(int ndim, int nnode, double sign = 1.0)
{
    const auto nat = natural_nodes(ndim, nnode);
    const double A[3][3] = {{1.7, 0.4, 0.2}, {-0.3, 1.2 * sign, 0.1}, {0.25, -0.15, 0.9}};
    std::vector<double> X(static_cast<size_t>(ndim * nnode));
    for (int k = 0; k < nnode; ++k) {
        for (int i = 0; i < ndim; ++i) {
            double s = 3.0 + i;
            for (int j = 0; j < ndim; ++j) s += A[i][j] * nat[static_cast<size_t>(k)][static_cast<size_t>(j)];
            s += 0.06 * std::sin(1.3 * k + 2.1 * i + 0.7);
            X[static_cast<size_t>(i + ndim * k)] = s;
        }
    }
    return X;
}

class PatchTest : public Fixture, public ::testing::WithParamInterface<PatchElement> {};

// u_i = sum_j G(i,j) x_j + c_i: a constant strain that every isoparametric element must
// reproduce exactly at every point.
TEST_P(PatchTest, LinearDisplacementGivesItsConstantStrainAtEveryPoint)
{
    const PatchElement& pe = GetParam();
    const int ndim = pe.ndim, nnode = pe.nnode, nstr = ndim == 2 ? 4 : 6;
    const auto X = distorted_coordinates(ndim, nnode);
    const double G[3][3] = {{0.011, -0.004, 0.003}, {0.006, -0.009, 0.002}, {-0.001, 0.005, 0.007}};
    std::vector<double> u(static_cast<size_t>(ndim * (nnode + ndim)), 0.0);
    for (int k = 0; k < nnode; ++k)
        for (int i = 0; i < ndim; ++i) {
            double s = 0.02 * (i + 1);
            for (int j = 0; j < ndim; ++j) s += G[i][j] * X[static_cast<size_t>(j + ndim * k)];
            u[static_cast<size_t>(i + ndim * k)] = s;
        }
    std::vector<double> expect;
    if (ndim == 2) {
        expect = {G[0][0], G[1][1], G[0][1] + G[1][0], 0.0};
    } else {
        expect = {G[0][0], G[1][1], G[2][2], G[0][1] + G[1][0], G[1][2] + G[2][1], G[2][0] + G[0][2]};
    }

    const int ncolB = ndim * (nnode + ndim);
    std::vector<double> B(static_cast<size_t>(nstr * ncolB)), CD(static_cast<size_t>(ndim * (nnode + ndim)));
    std::vector<double> N(static_cast<size_t>(nnode + ndim)), x(static_cast<size_t>(ndim));
    double volume = 0.0;
    for (int p = 1; p <= pe.nrule; ++p) {
        double xi, eta, zeta, w, det;
        integration_points(xi, eta, zeta, w, p, pe.nrule, nnode, ndim == 2 ? 4 : 6);
        CapturedOutput out;
        lib.isoparam_jacobian(MatView(B.data(), nstr, nstr, ncolB), det, MatView(CD.data(), ndim, ndim, nnode + ndim),
                              MatView(N.data(), nnode + ndim), MatView(x.data(), ndim), xi, eta, zeta,
                              ConstMatView(X.data(), ndim, ndim, nnode), nnode, ndim, nstr, 0, 0);
        EXPECT_EQ(out.writes(), 0);
        EXPECT_GT(det, 0.0);
        volume += w * det;
        for (int r = 0; r < nstr; ++r) {
            double e = 0.0;
            for (int c = 0; c < ncolB; ++c) e += B[static_cast<size_t>(r + nstr * c)] * u[static_cast<size_t>(c)];
            EXPECT_NEAR(e, expect[static_cast<size_t>(r)], 1e-13) << "row " << r + 1 << " point " << p;
        }
        // The point's coordinates interpolate the nodes.
        for (int i = 0; i < ndim; ++i) {
            double s = 0.0;
            for (int k = 0; k < nnode; ++k) s += N[static_cast<size_t>(k)] * X[static_cast<size_t>(i + ndim * k)];
            EXPECT_DOUBLE_EQ(x[static_cast<size_t>(i)], s);
        }
    }
    EXPECT_GT(volume, 0.0);
}

INSTANTIATE_TEST_SUITE_P(AllElements, PatchTest,
                         ::testing::Values(PatchElement{"Tri3", 2, 3, 3}, PatchElement{"Tri6", 2, 6, 3},
                                           PatchElement{"Quad4", 2, 4, 4}, PatchElement{"Quad8", 2, 8, 9},
                                           PatchElement{"Tet4", 3, 4, 4}, PatchElement{"Tet10", 3, 10, 4},
                                           PatchElement{"Wedge6", 3, 6, 6}, PatchElement{"Wedge15", 3, 15, 9},
                                           PatchElement{"Hex8", 3, 8, 8}, PatchElement{"Hex20", 3, 20, 27}),
                         [](const ::testing::TestParamInfo<PatchElement>& info) { return std::string(info.param.name); });

using IsoparamJacobian = Fixture;

void square(FixedMatrix<2, 4>& X, bool clockwise)
{
    const double c[4][2] = {{0, 0}, {1, 0}, {1, 1}, {0, 1}};
    const int order[4] = {0, 1, 2, 3}, cw[4] = {0, 3, 2, 1};
    for (int k = 1; k <= 4; ++k) {
        const int n = clockwise ? cw[k - 1] : order[k - 1];
        X(1, k) = c[n][0];
        X(2, k) = c[n][1];
    }
}

TEST_F(IsoparamJacobian, UnitSquareAtTheCentreInBothOrientations)
{
    for (bool clockwise : {false, true}) {
        FixedMatrix<2, 4> X;
        square(X, clockwise);
        FixedMatrix<4, 12> B;
        FixedMatrix<2, 6> CD;
        FixedVector<6> N;
        FixedVector<2> x;
        double det = 0;
        CapturedOutput out;
        lib.isoparam_jacobian(B, det, CD, N, x, 0.0, 0.0, 0.0, X, 4, 2, 4, 0, 0);
        EXPECT_EQ(det, 0.25);
        EXPECT_TRUE(out.text().empty());
        // Node 1 sits at (0,0) either way: its function is (1-x)(1-y), whose exact
        // derivatives at the centre are (-0.5, -0.5); the signed inverse keeps them.
        EXPECT_DOUBLE_EQ(CD(1, 1), -0.5) << "clockwise " << clockwise;
        EXPECT_DOUBLE_EQ(CD(2, 1), -0.5) << "clockwise " << clockwise;
        EXPECT_DOUBLE_EQ(x(1), 0.5);
    }
}

TEST_F(IsoparamJacobian, ClockwiseElementGivesTheStrainOfItsDisplacement)
{
    // Uniform stretch u = 0.01 x on a clockwise square: exx = 0.01, not -0.01.
    FixedMatrix<2, 4> X;
    square(X, true);
    FixedMatrix<4, 12> B;
    FixedMatrix<2, 6> CD;
    FixedVector<6> N;
    FixedVector<2> x;
    double det = 0;
    lib.isoparam_jacobian(B, det, CD, N, x, 0.3, -0.2, 0.0, X, 4, 2, 4, 0, 0);
    double exx = 0.0;
    for (int k = 1; k <= 4; ++k) exx += B(1, 2 * k - 1) * 0.01 * X(1, k);
    EXPECT_NEAR(exx, 0.01, 1e-15);
}

TEST_F(IsoparamJacobian, CubeOfSideTwoHasUnitJacobian)
{
    const auto nat = natural_nodes(3, 8);
    FixedMatrix<3, 8> X;
    for (int k = 1; k <= 8; ++k)
        for (int i = 1; i <= 3; ++i) X(i, k) = nat[static_cast<size_t>(k - 1)][static_cast<size_t>(i - 1)];
    FixedMatrix<6, 33> B;
    FixedMatrix<3, 11> CD;
    FixedVector<11> N;
    FixedVector<3> x;
    FixedMatrix<3, 11> DN;
    double det = 0;
    lib.isoparam_jacobian(B, det, CD, N, x, 0.2, -0.5, 0.7, X, 8, 3, 6, 0, 0);
    shape_derivatives(DN, 0.2, -0.5, 0.7, 8, 3);
    EXPECT_DOUBLE_EQ(det, 1.0);
    for (int k = 1; k <= 8; ++k) {
        EXPECT_NEAR(B(1, 3 * k - 2), DN(1, k), 1e-15);
        EXPECT_NEAR(B(2, 3 * k - 1), DN(2, k), 1e-15);
        EXPECT_NEAR(B(3, 3 * k), DN(3, k), 1e-15);
        EXPECT_NEAR(B(4, 3 * k - 2), DN(2, k), 1e-15);
        EXPECT_NEAR(B(4, 3 * k - 1), DN(1, k), 1e-15);
        EXPECT_NEAR(B(5, 3 * k - 1), DN(3, k), 1e-15);
        EXPECT_NEAR(B(5, 3 * k), DN(2, k), 1e-15);
        EXPECT_NEAR(B(6, 3 * k - 2), DN(3, k), 1e-15);
        EXPECT_NEAR(B(6, 3 * k), DN(1, k), 1e-15);
    }
}

TEST_F(IsoparamJacobian, InvertedSolidWritesTheMessageAndStillReturnsB)
{
    const auto nat = natural_nodes(3, 8);
    FixedMatrix<3, 8> X;
    for (int k = 1; k <= 8; ++k)
        for (int i = 1; i <= 3; ++i) X(i, k) = nat[static_cast<size_t>(k - 1)][static_cast<size_t>(i - 1)];
    // Swap the top and bottom faces: the element is turned inside out.
    for (int k = 1; k <= 4; ++k)
        for (int i = 1; i <= 3; ++i) std::swap(X(i, k), X(i, k + 4));
    FixedMatrix<6, 33> B;
    FixedMatrix<3, 11> CD;
    FixedVector<11> N;
    FixedVector<3> x;
    double det = 0;
    CapturedOutput out;
    lib.isoparam_jacobian(B, det, CD, N, x, 0.0, 0.0, 0.0, X, 8, 3, 6, 0, 0);
    EXPECT_DOUBLE_EQ(det, -1.0);
    EXPECT_EQ(out.text(), kJacobianMessage);
    EXPECT_EQ(out.writes(), 1);
    // Signed inverse: dN/dz of the mirrored element is minus the natural derivative.
    FixedMatrix<3, 11> DN;
    shape_derivatives(DN, 0.0, 0.0, 0.0, 8, 3);
    EXPECT_NEAR(B(3, 3), -DN(3, 1), 1e-15);
}

TEST_F(IsoparamJacobian, CollapsedPlaneElementWritesTheMessageAndGivesFiniteZeros)
{
    FixedMatrix<2, 4> X;  // all four nodes on the x axis
    for (int k = 1; k <= 4; ++k) X(1, k) = k;
    FixedMatrix<4, 12> B;
    FixedMatrix<2, 6> CD;
    FixedVector<6> N;
    FixedVector<2> x;
    double det = 5;
    CapturedOutput out;
    lib.isoparam_jacobian(B, det, CD, N, x, 0.1, 0.1, 0.0, X, 4, 2, 4, 0, 0);
    EXPECT_EQ(det, 0.0);
    EXPECT_EQ(out.text(), kJacobianMessage);
    for (double v : B.a) EXPECT_EQ(v, 0.0);
}

TEST_F(IsoparamJacobian, UnsupportedNodeCountGivesZeroDeterminantAndTheMessage)
{
    FixedMatrix<2, 5> X;
    for (int k = 1; k <= 5; ++k) X(1, k) = X(2, k) = k;
    FixedMatrix<4, 14> B;
    FixedMatrix<2, 7> CD;
    FixedVector<7> N;
    FixedVector<2> x;
    double det = 5;
    CapturedOutput out;
    lib.isoparam_jacobian(B, det, CD, N, x, 0.1, 0.1, 0.0, X, 5, 2, 4, 0, 0);
    EXPECT_EQ(det, 0.0);
    EXPECT_EQ(out.text(), kJacobianMessage);
}

TEST_F(IsoparamJacobian, ExtraModesOfAParallelogramUseTheOrdinaryInverse)
{
    FixedMatrix<2, 4> X;
    const double c[4][2] = {{0, 0}, {2, 0.4}, {2.6, 1.9}, {0.6, 1.5}};  // parallelogram
    for (int k = 1; k <= 4; ++k) {
        X(1, k) = c[k - 1][0];
        X(2, k) = c[k - 1][1];
    }
    for (double xi : {-0.6, 0.3}) {
        FixedMatrix<4, 12> B;
        FixedMatrix<2, 6> CD;
        FixedVector<6> N;
        FixedVector<2> x;
        double det = 0;
        lib.isoparam_jacobian(B, det, CD, N, x, xi, 0.45, 0.0, X, 4, 2, 4, 1, 0);
        // Jacobian of the parallelogram: J = [[1, 0.2], [0.3, 0.75]] (rows d/dxi, d/deta).
        const double J11 = 1.0, J12 = 0.2, J21 = 0.3, J22 = 0.75, d = J11 * J22 - J12 * J21;
        FixedMatrix<2, 6> DN;
        shape_derivatives(DN, xi, 0.45, 0.0, 4, 2);
        for (int k = 5; k <= 6; ++k) {
            const double cx = (J22 * DN(1, k) - J12 * DN(2, k)) / d;
            const double cy = (-J21 * DN(1, k) + J11 * DN(2, k)) / d;
            EXPECT_NEAR(B(1, 2 * k - 1), cx, 1e-14);
            EXPECT_NEAR(B(2, 2 * k), cy, 1e-14);
            EXPECT_NEAR(B(3, 2 * k - 1), cy, 1e-14);
            EXPECT_NEAR(B(3, 2 * k), cx, 1e-14);
        }
        EXPECT_NE(B(1, 9), 0.0);
    }
}

TEST_F(IsoparamJacobian, DeterminantOnlyLeavesCdAndBAsTheyWere)
{
    FixedMatrix<2, 4> X;
    square(X, false);
    FixedMatrix<4, 12> B;
    FixedMatrix<2, 6> CD;
    B.fill(7.0);
    CD.fill(7.0);
    FixedVector<6> N;
    FixedVector<2> x;
    double det = 0;
    lib.isoparam_jacobian(B, det, CD, N, x, 0.0, 0.0, 0.0, X, 4, 2, 4, 0, 1);
    EXPECT_EQ(det, 0.25);
    EXPECT_DOUBLE_EQ(x(2), 0.5);
    for (double v : B.a) EXPECT_EQ(v, 7.0);
    for (double v : CD.a) EXPECT_EQ(v, 7.0);
}

TEST_F(IsoparamJacobian, AxisymmetricModeAddsTheHoopStrain)
{
    blocks.plane_mode = 2;
    FixedMatrix<2, 4> X;
    const double c[4][2] = {{2, 0}, {3, 0}, {3, 1}, {2, 1}};  // ring section at radius 2..3
    for (int k = 1; k <= 4; ++k) {
        X(1, k) = c[k - 1][0];
        X(2, k) = c[k - 1][1];
    }
    FixedMatrix<4, 12> B;
    FixedMatrix<2, 6> CD;
    FixedVector<6> N;
    FixedVector<2> x;
    double det = 0;
    lib.isoparam_jacobian(B, det, CD, N, x, 0.0, 0.0, 0.0, X, 4, 2, 4, 0, 0);
    // Radial displacement u = r: hoop strain u/r = 1.
    double hoop = 0.0;
    for (int k = 1; k <= 4; ++k) hoop += B(4, 2 * k - 1) * X(1, k);
    EXPECT_NEAR(hoop, 1.0, 1e-15);
}

TEST(CentreJacobianAdjugate, EqualsDeterminantTimesInverseForAffineElements)
{
    // Plane 4 nodes: x = 2 xi + 0.5 eta, y = 0.25 xi + eta; J0 = [[2, 0.25], [0.5, 1]].
    FixedMatrix<3, 4> X;
    const double nat[4][2] = {{-1, -1}, {1, -1}, {1, 1}, {-1, 1}};
    for (int k = 1; k <= 4; ++k) {
        X(1, k) = 2 * nat[k - 1][0] + 0.5 * nat[k - 1][1];
        X(2, k) = 0.25 * nat[k - 1][0] + nat[k - 1][1];
    }
    std::array<float, 4> A{};
    centre_jacobian_adjugate(ColMajorView<float>(A.data(), 2, 2, 2), X, 4, 2);
    EXPECT_FLOAT_EQ(A[0], 1.0f);     // J22
    EXPECT_FLOAT_EQ(A[1], -0.5f);    // -J21
    EXPECT_FLOAT_EQ(A[2], -0.25f);   // -J12
    EXPECT_FLOAT_EQ(A[3], 2.0f);     // J11

    // Solid 8 nodes on the cube of side 2 stretched by (1, 2, 3): adj = diag(6, 3, 2).
    const auto nat3 = natural_nodes(3, 8);
    FixedMatrix<3, 8> Y;
    for (int k = 1; k <= 8; ++k)
        for (int i = 1; i <= 3; ++i) Y(i, k) = i * nat3[static_cast<size_t>(k - 1)][static_cast<size_t>(i - 1)];
    std::array<float, 9> A3{};
    centre_jacobian_adjugate(ColMajorView<float>(A3.data(), 3, 3, 3), Y, 8, 3);
    EXPECT_FLOAT_EQ(A3[0], 6.0f);
    EXPECT_FLOAT_EQ(A3[4], 3.0f);
    EXPECT_FLOAT_EQ(A3[8], 2.0f);
    EXPECT_FLOAT_EQ(A3[1], 0.0f);
}

TEST(MessageOutput, DefaultsToStandardOutputAndCanBeRedirected)
{
    testing::internal::CaptureStdout();
    SharedBlocks blocks;
    ElementLibrary lib(Build::single_step, blocks);
    FixedMatrix<2, 4> X;  // degenerate
    FixedMatrix<4, 12> B;
    FixedMatrix<2, 6> CD;
    FixedVector<6> N;
    FixedVector<2> x;
    double det = 0;
    lib.isoparam_jacobian(B, det, CD, N, x, 0.0, 0.0, 0.0, X, 4, 2, 4, 0, 0);
    EXPECT_EQ(testing::internal::GetCapturedStdout(), kJacobianMessage);
    {
        CapturedOutput out;
        lib.isoparam_jacobian(B, det, CD, N, x, 0.0, 0.0, 0.0, X, 4, 2, 4, 0, 0);
        EXPECT_EQ(out.text(), kJacobianMessage);
    }
}

}  // namespace
}  // namespace kvpvs::recovery
