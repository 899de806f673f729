// Element axes, node-vector turns, Gauss-to-corner extrapolation and plane-strain strains.
#include "recovery/drivers/family_support.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

using namespace kvpvs::recovery;

DriverBuildState& build() { return driver_build(Build::history); }

void expect_rows_orthonormal(const Mat33& T)
{
    for (int r = 1; r <= 3; ++r)
        for (int s = 1; s <= 3; ++s) {
            const double dot = T(r, 1) * T(s, 1) + T(r, 2) * T(s, 2) + T(r, 3) * T(s, 3);
            EXPECT_NEAR(dot, r == s ? 1.0 : 0.0, 1e-14);
        }
}

TEST(ElementAxes, TriangleEdgeAndMidSideRulesAgree)
{
    const double X[3] = {1.0, 4.0, 2.0}, Y[3] = {0.5, 1.0, 3.0}, Z[3] = {0.0, 1.0, 2.0};
    Mat33 edge, mid;
    element_axes(X, Y, Z, edge, 1);
    element_axes(X, Y, Z, mid, 3);
    for (int k = 1; k <= 9; ++k)
        EXPECT_NEAR(edge(k), mid(k), 1e-14);
    expect_rows_orthonormal(edge);
    // Axis 1 along P2 - P1.
    const double L = std::sqrt(9.0 + 0.25 + 1.0);
    EXPECT_NEAR(edge(1, 1), 3.0 / L, 1e-15);
}

TEST(ElementAxes, CounterClockwiseQuadInXYPlaneHasNormalZ)
{
    const double X[4] = {0, 2, 2.5, -0.5}, Y[4] = {0, 0, 1, 1}, Z[4] = {0, 0, 0, 0};
    Mat33 T;
    element_axes(X, Y, Z, T, 4);
    EXPECT_NEAR(T(3, 1), 0.0, 1e-15);
    EXPECT_NEAR(T(3, 2), 0.0, 1e-15);
    EXPECT_NEAR(T(3, 3), 1.0, 1e-15);
    expect_rows_orthonormal(T);
}

TEST(ElementAxes, DegenerateCornersGiveIdentity)
{
    const double same[4] = {1, 1, 1, 1};
    const double line[4] = {0, 1, 2, 3};
    const double zero[4] = {0, 0, 0, 0};
    for (auto [X, Y] : {std::pair{same, same}, std::pair{line, line}}) {
        Mat33 T;
        element_axes(X, Y, zero, T, 4);
        for (int r = 1; r <= 3; ++r)
            for (int c = 1; c <= 3; ++c)
                EXPECT_EQ(T(r, c), r == c ? 1.0 : 0.0);
    }
}

TEST(RotateNodeVectors, IdentityAndExtent)
{
    double F[15];
    for (int i = 0; i < 15; ++i)
        F[i] = i + 1;
    Mat33 I;
    I(1, 1) = I(2, 2) = I(3, 3) = 1.0;
    rotate_node_vectors(build(), F, I, 2);
    for (int i = 0; i < 15; ++i)
        EXPECT_EQ(F[i], i + 1);
    // A quarter turn about z: (x, y, z) -> (y, -x, z); values 13..15 untouched with N = 2.
    Mat33 R;
    R(1, 2) = 1.0;
    R(2, 1) = -1.0;
    R(3, 3) = 1.0;
    rotate_node_vectors(build(), F, R, 2);
    for (int v = 0; v < 4; ++v) {
        EXPECT_EQ(F[3 * v], 3 * v + 2);
        EXPECT_EQ(F[3 * v + 1], -(3 * v + 1));
        EXPECT_EQ(F[3 * v + 2], 3 * v + 3);
    }
    EXPECT_EQ(F[12], 13);
}

TEST(GaussToNodes, ReproducesBilinearFieldsAtTheCorners)
{
    // K = 2 forces per node and M = 3 centre values lead the Gauss blocks.
    const int K = 2, M = 3;
    const double g = 1.0 / std::sqrt(3.0);
    const double gp[4][2] = {{-g, -g}, {g, -g}, {g, g}, {-g, g}};
    const double corner[4][2] = {{-1, -1}, {1, -1}, {1, 1}, {-1, 1}};
    auto field = [](int c, double xi, double eta) { return 2.0 + c + 3.0 * xi - 1.5 * eta + 0.75 * xi * eta; };
    double A[4 * K + M + 4 * M];
    for (int i = 0; i < 4 * K + M; ++i)
        A[i] = -1.0;
    for (int p = 0; p < 4; ++p)
        for (int c = 0; c < M; ++c)
            A[4 * K + M + p * M + c] = field(c, gp[p][0], gp[p][1]);
    gauss_to_nodes(build(), A, K, M);
    for (int i = 0; i < 4 * K + M; ++i)
        EXPECT_EQ(A[i], -1.0);
    for (int j = 0; j < 4; ++j)
        for (int c = 0; c < M; ++c)
            EXPECT_NEAR(A[4 * K + M + j * M + c], field(c, corner[j][0], corner[j][1]), 1e-12);
}

TEST(GaussToNodes, NodeOneWeights)
{
    // A unit value at one Gauss point shows that point's weight at node 1.
    const double expected[4] = {1.0 + std::sqrt(3.0) / 2.0, -0.5, 1.0 - std::sqrt(3.0) / 2.0, -0.5};
    for (int p = 0; p < 4; ++p) {
        double A[1 + 4] = {0, 0, 0, 0, 0};
        A[1 + p] = 1.0;
        gauss_to_nodes(build(), A, 0, 1);
        EXPECT_NEAR(A[1], expected[p], 1e-15) << p;
    }
}

TEST(StressToStrain, PlaneStrainHookeAndRetainedCompliance)
{
    MaterialBlock& m = shared_blocks().material_block;
    const MaterialBlock saved = m;
    m = MaterialBlock{};
    m.elastic_modulus = 2.0e5;
    m.poisson_ratio = 0.3;
    double S[3 * 2] = {100.0, -40.0, 25.0, 0.0, 10.0, 0.0};
    double E[3 * 2] = {};
    stress_to_strain(build(), 1, 1, ConstMatView(S, 3, 3, 2), MatView(E, 3, 3, 2));
    // Plane strain: εx = (1+ν)/E ((1-ν)σx - ν σy), γxy = τxy / G.
    const double Ev = 2.0e5, nu = 0.3, G = Ev / (2 * (1 + nu));
    EXPECT_NEAR(E[0], (1 + nu) / Ev * ((1 - nu) * 100.0 + nu * 40.0), 1e-15);
    EXPECT_NEAR(E[1], (1 + nu) / Ev * ((1 - nu) * -40.0 - nu * 100.0), 1e-15);
    EXPECT_NEAR(E[2], 25.0 / G, 1e-15);
    EXPECT_NEAR(E[4], (1 + nu) / Ev * (1 - nu) * 10.0, 1e-15);
    // first = 0 keeps the compliance of the earlier material.
    m.elastic_modulus = 1.0;
    double E2[6] = {};
    stress_to_strain(build(), 1, 0, ConstMatView(S, 3, 3, 2), MatView(E2, 3, 3, 2));
    EXPECT_EQ(E2[0], E[0]);
    m = saved;
}

} // namespace
