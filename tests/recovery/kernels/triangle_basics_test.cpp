// Triangle rules, shape functions, Jacobian, edge block, DKT operators and the result
// helpers, against hand-worked values.
#include <cmath>
#include <gtest/gtest.h>

#include "plate_test_support.h"

namespace kvpvs::recovery::test {
namespace {

TEST(TriangleRules, IntegrationAndSamplePointsAreTwoDifferentRules)
{
    double r, s, w;
    for (int ip : {0, 1, 7}) {
        tri_integration_point(1, ip, r, s, w);
        EXPECT_EQ(r, 0.333333333333333);
        EXPECT_EQ(w, 0.5);
    }
    // Side midpoints (0.5,0.5), (0.5,0), (0,0.5); IP < 1 acts as 1, IP > 2 as 3.
    const double expect[4][2] = {{0.5, 0.5}, {0.5, 0.5}, {0.5, 0.0}, {0.0, 0.5}};
    for (int ip = 0; ip <= 3; ++ip) {
        tri_integration_point(3, ip, r, s, w);
        EXPECT_EQ(r, expect[ip][0]);
        EXPECT_EQ(s, expect[ip][1]);
        EXPECT_EQ(w, 0.166666666666667);
    }
    EXPECT_NE(3 * 0.166666666666667, 0.5);
    // The result sample points: exact thirds and sixths, corner 1 first after the centroid.
    tri_sample_point(4, 1, r, s);
    EXPECT_EQ(r, 1.0 / 3.0);
    EXPECT_NE(r, 0.333333333333333);
    tri_sample_point(4, 3, r, s);
    EXPECT_EQ(r, 2.0 / 3.0);
    EXPECT_EQ(s, 1.0 / 6.0);
    tri_sample_point(3, 2, r, s);
    EXPECT_EQ(r, 1.0 / 3.0);
    tri_sample_point(4, 5, r, s);
    EXPECT_EQ(s, 1.0 / 3.0);
}

TEST(TriangleShapes, QuadraticFunctionsInterpolateAndDerivativesMatchDifferences)
{
    FixedVector<6> N, Np, Nm;
    FixedMatrix<2, 6> DN;
    const double r = 0.21, s = 0.37, h = 1e-6;
    tri6_shape(r, s, N, 0);
    tri6_shape(r, s, DN, 1);
    double sum = 0.0;
    for (int k = 1; k <= 6; ++k) sum += N(k);
    EXPECT_NEAR(sum, 1.0, 1e-15);
    for (int dir = 0; dir < 2; ++dir) {
        tri6_shape(r + (dir == 0 ? h : 0), s + (dir == 1 ? h : 0), Np, 0);
        tri6_shape(r - (dir == 0 ? h : 0), s - (dir == 1 ? h : 0), Nm, 0);
        for (int k = 1; k <= 6; ++k) EXPECT_NEAR(DN(dir + 1, k), (Np(k) - Nm(k)) / (2 * h), 1e-8);
    }
}

TEST(TriangleJacobian, DeterminantIsTwiceTheSignedAreaAndZeroIsNotConverted)
{
    FixedMatrix<2, 3> XY, DL;
    const double c[3][2] = {{0, 0}, {3, 0}, {1, 2}};
    for (int k = 1; k <= 3; ++k) {
        XY(1, k) = c[k - 1][0];
        XY(2, k) = c[k - 1][1];
    }
    tri3_shape(0.2, 0.3, DL, 1);
    FixedMatrix<2, 6> DV;
    tri6_shape(0.2, 0.3, DV, 1);
    double det;
    tri_jacobian(3, DL, XY, DV, det, 2);
    EXPECT_DOUBLE_EQ(det, 6.0);
    // Clockwise: negative determinant returned unchanged.
    std::swap(XY(1, 2), XY(1, 3));
    std::swap(XY(2, 2), XY(2, 3));
    tri_jacobian(3, DL, XY, DV, det, 1);
    EXPECT_DOUBLE_EQ(det, -6.0);
    // Degenerate: det 0 and DV left as it was.
    XY(1, 3) = 6.0;
    XY(2, 3) = 0.0;
    XY(1, 2) = 3.0;
    XY(2, 2) = 0.0;
    FixedMatrix<2, 6> keep = DV;
    tri_jacobian(3, DL, XY, DV, det, 2);
    EXPECT_EQ(det, 0.0);
    for (int i = 1; i <= 12; ++i) EXPECT_EQ(DV(i), keep(i));
}

TEST(TriangleEdgeBlock, EquilateralCrossProductsAndThinPlateRatios)
{
    static_assert(sizeof(TriEdgeBlock::slot) == 33 * sizeof(double));
    SharedBlocks blocks;
    ElementLibrary lib{Build::history, blocks};
    FixedMatrix<2, 3> XY;
    XY(1, 2) = 1.0;
    XY(1, 3) = 0.5;
    XY(2, 3) = std::sqrt(3.0) / 2.0;
    lib.tri_edge_shear(XY, 1e-4, 0.3);
    TriEdgeBlock& b = blocks.tri_edge_block;
    for (int k = 1; k <= 3; ++k) {
        EXPECT_NEAR(b.W(k), -std::sqrt(3.0) / 2.0, 1e-15);
        EXPECT_NEAR(b.L(k), 1.0, 1e-15);
        EXPECT_NEAR(b.phi(k), 2.4 / 0.7 * 1e-8, 1e-20);
        EXPECT_NEAR(b.c(k), 1.0 / b.L(k), 1e-7);
    }
    for (int k = 25; k <= 33; ++k) EXPECT_EQ(b.slot[static_cast<size_t>(k - 1)], 0.0);
    std::swap(XY(1, 2), XY(1, 3));
    std::swap(XY(2, 2), XY(2, 3));
    lib.tri_edge_shear(XY, 1e-4, 0.3);
    EXPECT_NEAR(b.W(1), std::sqrt(3.0) / 2.0, 1e-15);
}

TEST(DiscreteKirchhoffTriangle, RightTriangleGeometryAndAlphaBlock)
{
    SharedBlocks blocks;
    ElementLibrary lib{Build::history, blocks};
    const double a = 2.0, b = 3.0;
    FixedMatrix<2, 3> XY;
    XY(1, 2) = a;
    XY(2, 3) = b;
    lib.tri_dkt_geometry(XY);
    const DktGeometryBlock& g = blocks.dkt_geometry_block;
    EXPECT_DOUBLE_EQ(g.P6, 6.0 / a);
    EXPECT_EQ(g.P5, 0.0);
    EXPECT_DOUBLE_EQ(g.t5, -6.0 / b);
    EXPECT_EQ(g.q5, 0.0);
    EXPECT_DOUBLE_EQ(g.r5, 3.0);
    Mat33 A;
    A.fill(7.0);
    lib.tri_dkt_alpha(1, 1, A);
    EXPECT_EQ(A(3, 1), 0.0);
    EXPECT_EQ(A(3, 2), 0.0);
    EXPECT_DOUBLE_EQ(A(3, 3), -b);
    EXPECT_EQ(A(1, 2), 0.0);  // zeroed before filling
}

TEST(TriangleResultHelpers, PlaneFitAndAccumulators)
{
    FixedMatrix<2, 3> XN;
    FixedMatrix<4, 2> P;
    FixedVector<7> F;
    const double pts[4][2] = {{0.1, 0.2}, {1.0, 0.3}, {0.4, 1.1}, {0.7, 0.6}};
    for (int k = 1; k <= 4; ++k) {
        P(k, 1) = pts[k - 1][0];
        P(k, 2) = pts[k - 1][1];
        F(k) = 2.0 - 3.0 * pts[k - 1][0] + 0.5 * pts[k - 1][1];
    }
    const double nodes[3][2] = {{0, 0}, {2, 0}, {0, 1}};
    for (int n = 1; n <= 3; ++n) {
        XN(1, n) = nodes[n - 1][0];
        XN(2, n) = nodes[n - 1][1];
    }
    tri_points_to_nodes(XN, P, F);
    for (int n = 1; n <= 3; ++n) EXPECT_NEAR(F(4 + n), 2.0 - 3.0 * nodes[n - 1][0] + 0.5 * nodes[n - 1][1], 1e-12);
    P.fill(0.0);
    tri_points_to_nodes(XN, P, F);
    EXPECT_EQ(F(5), F(2));
    EXPECT_EQ(F(6), F(3));
    EXPECT_EQ(F(7), F(4));
    // Node 2 reads columns 4, 5, 6 only.
    FixedMatrix<3, 9> M;
    for (int i = 1; i <= 27; ++i) M(i) = 1000.0;
    for (int r = 1; r <= 3; ++r)
        for (int c = 4; c <= 6; ++c) M(r, c) = r + 0.1 * c;
    double r1 = 0, r2 = 0, r3 = 0;
    tri_add_curvature(2, r1, r2, r3, M, 1.0, 2.0, 3.0);
    EXPECT_DOUBLE_EQ(r1, 1.4 + 2 * 1.5 + 3 * 1.6);
}

}  // namespace
}  // namespace kvpvs::recovery::test
