// Elasticity matrices against the textbook isotropic and orthotropic forms (inverses of
// the compliance computed here by cofactors), and the matrix utilities against direct
// products and eliminations.
#include <cmath>
#include <gtest/gtest.h>

#include "kernel_test_support.h"
#include "recovery/kernels/element_library.h"

namespace kvpvs::recovery {
namespace {

struct Material : ::testing::Test {
    SharedBlocks blocks;
    ElementLibrary lib{Build::history, blocks};

    void isotropic(double E, double nu)
    {
        blocks.material_block = MaterialBlock{};
        blocks.material_block.elastic_modulus = E;
        blocks.material_block.poisson_ratio = nu;
    }
    // E1 = 200, E2 = 80, E3 = 50, nu12 = 0.25, nu13 = 0.3, nu23 = 0.2, G = 30, 20, 10.
    void orthotropic()
    {
        MaterialBlock& m = blocks.material_block;
        m.material_type = 1;
        m.elastic_modulus = 200.0;
        m.poisson_ratio = 0.25;
        m.material_constants = {80.0, 0.3, 999.0, 50.0, 0.2, 999.0, 30.0, 20.0, 10.0};
    }
};

using PlaneElasticMatrix = Material;

TEST_F(PlaneElasticMatrix, UnitModulusZeroPoissonIsDiagonal)
{
    isotropic(1.0, 0.0);
    for (int mode : {0, 1}) {
        Mat33 D;
        lib.plane_elastic_matrix(mode, D);
        const double expect[9] = {1, 0, 0, 0, 1, 0, 0, 0, 0.5};
        for (int k = 0; k < 9; ++k) EXPECT_DOUBLE_EQ(D.a[static_cast<size_t>(k)], expect[k]);
    }
}

TEST_F(PlaneElasticMatrix, IsotropicClosedForms)
{
    const double E = 210e3, nu = 0.3;
    isotropic(E, nu);
    Mat33 D;
    lib.plane_elastic_matrix(0, D);
    EXPECT_NEAR(D(1, 1), E / (1 - nu * nu), 1e-9);
    EXPECT_NEAR(D(1, 2), nu * E / (1 - nu * nu), 1e-9);
    EXPECT_NEAR(D(3, 3), E / (2 * (1 + nu)), 1e-9);
    lib.plane_elastic_matrix(1, D);
    EXPECT_NEAR(D(2, 2), E * (1 - nu) / ((1 + nu) * (1 - 2 * nu)), 1e-9);
    EXPECT_NEAR(D(2, 1), E * nu / ((1 + nu) * (1 - 2 * nu)), 1e-9);
    EXPECT_EQ(D(1, 3), 0.0);
}

TEST_F(PlaneElasticMatrix, OrthotropicIsTheInverseOfTheReducedCompliance)
{
    orthotropic();
    double S[3][3], C[3][3];
    test::orthotropic_compliance3(200, 80, 50, 0.25, 0.3, 0.2, S);
    // Plane stress: invert the 2x2 in-plane compliance.
    const double det2 = S[0][0] * S[1][1] - S[0][1] * S[1][0];
    Mat33 D;
    lib.plane_elastic_matrix(0, D);
    EXPECT_NEAR(D(1, 1), S[1][1] / det2, 1e-9);
    EXPECT_NEAR(D(2, 2), S[0][0] / det2, 1e-9);
    EXPECT_NEAR(D(1, 2), -S[0][1] / det2, 1e-9);
    EXPECT_NEAR(D(2, 1), -S[1][0] / det2, 1e-9);
    EXPECT_EQ(D(3, 3), 30.0);
    // Plane strain: the in-plane block of the full 3x3 stiffness.
    test::inverse3(S, C);
    lib.plane_elastic_matrix(1, D);
    for (int i = 1; i <= 2; ++i)
        for (int j = 1; j <= 2; ++j) EXPECT_NEAR(D(i, j), C[i - 1][j - 1], 1e-9) << i << j;
}

using SolidElasticMatrix = Material;

TEST_F(SolidElasticMatrix, IsotropicTextbookForm)
{
    isotropic(1.0, 0.0);
    FixedMatrix<6, 6> D;
    lib.solid_elastic_matrix(D);
    for (int i = 1; i <= 6; ++i)
        for (int j = 1; j <= 6; ++j) EXPECT_DOUBLE_EQ(D(i, j), i != j ? 0.0 : (i <= 3 ? 1.0 : 0.5));

    const double E = 3.0e4, nu = 0.2;
    isotropic(E, nu);
    lib.solid_elastic_matrix(D);
    const double lambda = E * nu / ((1 + nu) * (1 - 2 * nu)), G = E / (2 * (1 + nu));
    for (int i = 1; i <= 3; ++i)
        for (int j = 1; j <= 3; ++j) EXPECT_NEAR(D(i, j), lambda + (i == j ? 2 * G : 0.0), 1e-9);
    for (int i = 4; i <= 6; ++i) EXPECT_NEAR(D(i, i), G, 1e-9);
}

TEST_F(SolidElasticMatrix, OrthotropicIsTheInverseOfTheCompliance)
{
    orthotropic();
    double S[3][3], C[3][3];
    test::orthotropic_compliance3(200, 80, 50, 0.25, 0.3, 0.2, S);
    test::inverse3(S, C);
    FixedMatrix<6, 6> D;
    lib.solid_elastic_matrix(D);
    for (int i = 1; i <= 3; ++i)
        for (int j = 1; j <= 3; ++j) EXPECT_NEAR(D(i, j), C[i - 1][j - 1], 1e-9);
    EXPECT_EQ(D(4, 4), 30.0);
    EXPECT_EQ(D(5, 5), 20.0);
    EXPECT_EQ(D(6, 6), 10.0);
}

TEST_F(SolidElasticMatrix, OrthotropicWithEqualConstantsIsIsotropic)
{
    MaterialBlock& m = blocks.material_block;
    m.material_type = 1;
    m.elastic_modulus = 100.0;
    m.poisson_ratio = 0.3;
    m.material_constants = {100.0, 0.3, 0, 100.0, 0.3, 0, 1, 1, 1};
    FixedMatrix<6, 6> Do;
    FixedMatrix<4, 4> Ao;
    lib.solid_elastic_matrix(Do);
    lib.axisym_elastic_matrix(Ao);
    isotropic(100.0, 0.3);
    FixedMatrix<6, 6> Di;
    FixedMatrix<4, 4> Ai;
    lib.solid_elastic_matrix(Di);
    lib.axisym_elastic_matrix(Ai);
    for (int i = 1; i <= 3; ++i)
        for (int j = 1; j <= 3; ++j) {
            EXPECT_NEAR(Do(i, j), Di(i, j), 1e-10);
            EXPECT_NEAR(Ao(i, j), Ai(i, j), 1e-10);
        }
}

TEST_F(SolidElasticMatrix, UnknownMaterialTypeLeavesTheMatrixUntouched)
{
    isotropic(1.0, 0.25);
    blocks.material_block.material_type = 2;
    FixedMatrix<6, 6> D;
    D.fill(4.0);
    lib.solid_elastic_matrix(D);
    for (double v : D.a) EXPECT_EQ(v, 4.0);
    FixedMatrix<4, 4> A;
    lib.axisym_elastic_matrix(A);
    const double c = 1.0 / (1.25 * 0.5);
    EXPECT_DOUBLE_EQ(A(1, 1), c * 0.75);  // isotropic for any type but 1
    EXPECT_DOUBLE_EQ(A(4, 4), 1.0 / 2.5);
}

using AxisymElasticMatrix = Material;

TEST_F(AxisymElasticMatrix, OrthotropicNormalBlockEqualsTheSolidOne)
{
    orthotropic();  // nu13/E1 = 0.0015 differs from nu23/E2 = 0.0025
    FixedMatrix<6, 6> D6;
    FixedMatrix<4, 4> D4;
    lib.solid_elastic_matrix(D6);
    lib.axisym_elastic_matrix(D4);
    for (int i = 1; i <= 3; ++i)
        for (int j = 1; j <= 3; ++j) EXPECT_NEAR(D4(i, j), D6(i, j), 1e-10);
    EXPECT_EQ(D4(4, 4), 30.0);
}

using ElasticMatrix = Material;

TEST_F(ElasticMatrix, PlaneStressAndStrainForms)
{
    isotropic(1.0, 0.25);
    FixedMatrix<4, 4> D;
    lib.elastic_matrix(D, 1.0, 0.25, 0, 4);
    EXPECT_DOUBLE_EQ(D(1, 1), 16.0 / 15.0);
    EXPECT_DOUBLE_EQ(D(2, 2), 16.0 / 15.0);
    EXPECT_DOUBLE_EQ(D(1, 2), 4.0 / 15.0);
    EXPECT_DOUBLE_EQ(D(3, 3), 0.4);
    for (int i = 1; i <= 4; ++i) {
        EXPECT_EQ(D(4, i), 0.0);
        EXPECT_EQ(D(i, 4), 0.0);
    }
    lib.elastic_matrix(D, 1.0, 0.25, 1, 4);
    EXPECT_DOUBLE_EQ(D(1, 1), 1.2);
    EXPECT_DOUBLE_EQ(D(1, 2), 0.4);
    EXPECT_DOUBLE_EQ(D(3, 3), 0.4);
}

TEST_F(ElasticMatrix, AxisymmetricModePutsTheShearThirdAndTheHoopFourth)
{
    const double E = 1.0, nu = 0.25, c = E / ((1 + nu) * (1 - 2 * nu));
    isotropic(E, nu);
    FixedMatrix<4, 4> D;
    lib.elastic_matrix(D, E, nu, 2, 4);
    EXPECT_DOUBLE_EQ(D(3, 3), E / (2 * (1 + nu)));
    EXPECT_DOUBLE_EQ(D(4, 4), D(1, 1));
    EXPECT_DOUBLE_EQ(D(1, 4), nu * c);
    EXPECT_DOUBLE_EQ(D(2, 4), nu * c);
    EXPECT_EQ(D(3, 4), 0.0);
}

TEST_F(ElasticMatrix, OtherComponentCountsGiveZeros)
{
    isotropic(1.0, 0.25);
    for (int n : {3, 5}) {
        FixedMatrix<5, 5> D;
        D.fill(9.0);
        lib.elastic_matrix(MatView(D.a.data(), n, n, n), 1.0, 0.25, 0, n);
        for (int k = 0; k < n * n; ++k) EXPECT_EQ(D.a[static_cast<size_t>(k)], 0.0);
    }
}

TEST_F(ElasticMatrix, OrthotropicPlaneModesAndSolidDelegate)
{
    orthotropic();
    for (int mode : {0, 1}) {
        FixedMatrix<4, 4> D;
        Mat33 D3;
        lib.elastic_matrix(D, 0.0, 0.0, mode, 4);
        lib.plane_elastic_matrix(mode, D3);
        for (int i = 1; i <= 3; ++i)
            for (int j = 1; j <= 3; ++j) EXPECT_EQ(D(i, j), D3(i, j));
        for (int i = 1; i <= 4; ++i) EXPECT_EQ(D(4, i), 0.0);
    }
    FixedMatrix<6, 6> D, Ds;
    lib.elastic_matrix(D, 0.0, 0.0, 0, 6);
    lib.solid_elastic_matrix(Ds);
    EXPECT_EQ(D.a, Ds.a);
}

TEST(InvertMatrix, DiagonalAndZeroPivotCases)
{
    FixedMatrix<2, 2> A, B;
    A(1, 1) = 2;
    A(2, 2) = 4;
    invert_matrix(A, B, 2);
    EXPECT_EQ(B(1, 1), 0.5);
    EXPECT_EQ(B(2, 2), 0.25);
    EXPECT_EQ(B(1, 2), 0.0);
    EXPECT_EQ(A(1, 1), 1.0);
    EXPECT_EQ(A(2, 2), 1.0);

    FixedMatrix<2, 2> P, Q;
    P(1, 2) = 1;
    P(2, 1) = 1;
    invert_matrix(P, Q, 2);
    EXPECT_EQ(Q(1, 1), 0.0);
    EXPECT_EQ(Q(1, 2), 1.0);
    EXPECT_EQ(Q(2, 1), 1.0);
    EXPECT_EQ(Q(2, 2), -1.0);
}

FixedMatrix<6, 6> spd6()
{
    FixedMatrix<6, 6> A;
    for (int i = 1; i <= 6; ++i)
        for (int j = 1; j <= 6; ++j) A(i, j) = 1.0 / (i + j) + (i == j ? 2.0 + i : 0.0);
    return A;
}

TEST(InvertMatrix, ProductWithTheOriginalIsTheIdentity)
{
    const FixedMatrix<6, 6> A0 = spd6();
    FixedMatrix<6, 6> A = A0, B;
    invert_matrix(A, B, 6);
    for (int i = 1; i <= 6; ++i)
        for (int j = 1; j <= 6; ++j) {
            double s = 0.0;
            for (int k = 1; k <= 6; ++k) s += A0(i, k) * B(k, j);
            EXPECT_NEAR(s, i == j ? 1.0 : 0.0, 1e-14);
        }
}

TEST(LdlFactor, SolvesASymmetricSystem)
{
    const FixedMatrix<6, 6> A0 = spd6();
    FixedMatrix<6, 6> A = A0;
    ldl_factor(6, A);
    FixedMatrix<6, 2> X;
    for (int i = 1; i <= 6; ++i) {
        X(i, 1) = i;
        X(i, 2) = 1.0 - 0.3 * i;
    }
    FixedMatrix<6, 2> Bm;  // B = A0 X
    for (int c = 1; c <= 2; ++c)
        for (int i = 1; i <= 6; ++i) {
            double s = 0.0;
            for (int k = 1; k <= 6; ++k) s += A0(i, k) * X(k, c);
            Bm(i, c) = s;
        }
    ldl_solve(6, 2, A, Bm);
    for (int c = 1; c <= 2; ++c)
        for (int i = 1; i <= 6; ++i) EXPECT_NEAR(Bm(i, c), X(i, c), 1e-13);
    EXPECT_EQ(A(1, 1), A0(1, 1));  // first pivot unchanged
}

// Schur complement K_ee - K_ei K_ii^-1 K_ie, with K_ii^-1 by cofactors (NI = 3).
TEST(CondenseInternal, LeavesTheSchurComplementAndTheRecoveryMatrix)
{
    const int N = 6, NI = 3, NE = 3;
    const FixedMatrix<6, 6> K0 = spd6();
    FixedVector<6> F0;
    for (int i = 1; i <= 6; ++i) F0(i) = 0.5 * i;
    double Kii[3][3], inv[3][3];
    for (int i = 0; i < 3; ++i)
        for (int j = 0; j < 3; ++j) Kii[i][j] = K0(NE + 1 + i, NE + 1 + j);
    test::inverse3(Kii, inv);

    for (int flag : {0, 1}) {
        FixedMatrix<6, 6> K = K0;
        FixedVector<6> F = F0;
        FixedMatrix<3, 3> A;
        FixedMatrix<3, 4> H;
        condense_internal(N, NI, K, F, A, H, flag);
        // H = K_ii^-1 [K_ie | F_i]
        for (int i = 1; i <= NI; ++i) {
            for (int c = 1; c <= NE + 1; ++c) {
                double s = 0.0;
                for (int k = 1; k <= NI; ++k) s += inv[i - 1][k - 1] * (c <= NE ? K0(NE + k, c) : F0(NE + k));
                EXPECT_NEAR(H(i, c), s, 1e-14);
            }
        }
        for (int r = 1; r <= NE; ++r) {
            for (int c = 1; c <= NE; ++c) {
                double s = K0(r, c);
                for (int a = 1; a <= NI; ++a)
                    for (int b = 1; b <= NI; ++b) s -= K0(r, NE + a) * inv[a - 1][b - 1] * K0(NE + b, c);
                EXPECT_NEAR(K(r, c), flag == 1 ? K0(r, c) : s, 1e-14);
            }
            double f = F0(r);
            for (int a = 1; a <= NI; ++a)
                for (int b = 1; b <= NI; ++b) f -= K0(r, NE + a) * inv[a - 1][b - 1] * F0(NE + b);
            EXPECT_NEAR(F(r), flag == 1 ? F0(r) : f, 1e-14);
        }
    }
}

TEST(CondenseInternal, UncoupledInternalBlockLeavesTheExternalBlock)
{
    FixedMatrix<5, 5> K;
    for (int i = 1; i <= 3; ++i)
        for (int j = 1; j <= 3; ++j) K(i, j) = 1.0 / (i + j);
    K(4, 4) = 2.0;
    K(5, 5) = 3.0;
    const FixedMatrix<5, 5> K0 = K;
    FixedVector<5> F;
    FixedMatrix<2, 2> A;
    FixedMatrix<2, 4> H;
    condense_internal(5, 2, K, F, A, H, 0);
    for (int i = 1; i <= 3; ++i)
        for (int j = 1; j <= 3; ++j) EXPECT_EQ(K(i, j), K0(i, j));
}

TEST(RotateMatrix, IdentityLeavesKAndARotationMatchesTheFullProduct)
{
    // K of order 9 held in a 12 x 12 array: the view keeps the leading dimension 12.
    FixedMatrix<12, 12> store;
    const MatView K = store.view().block(1, 1, 9, 9);
    for (int i = 1; i <= 9; ++i)
        for (int j = 1; j <= 9; ++j) K(i, j) = std::sin(1.0 * i + 2.0 * j) + (i == j ? 3.0 : 0.0);
    store(10, 10) = 42.0;
    FixedMatrix<12, 12> K0 = store;
    FixedMatrix<9, 9> W;
    Mat33 I;
    I(1, 1) = I(2, 2) = I(3, 3) = 1.0;
    rotate_matrix(K, W, I, 9);
    EXPECT_EQ(store.a, K0.a);

    // T: rows are local axes in global components (a rotation about (1,1,1)).
    const double c = std::cos(0.4), s = std::sin(0.4), u = 1.0 / std::sqrt(3.0);
    Mat33 T;
    const double ax[3] = {u, u, u};
    for (int i = 1; i <= 3; ++i)
        for (int j = 1; j <= 3; ++j) {
            double r = (i == j ? c : 0.0) + (1 - c) * ax[i - 1] * ax[j - 1];
            const int k = 6 - i - j;
            if (i != j) r += ((j - i + 3) % 3 == 1 ? -1.0 : 1.0) * s * ax[k - 1];
            T(i, j) = r;
        }
    rotate_matrix(K, W, T, 9);
    for (int i = 1; i <= 9; ++i)
        for (int j = 1; j <= 9; ++j) {
            // (Tb^T K0 Tb)(i, j) with Tb = blockdiag(T, T, T)
            double v = 0.0;
            for (int a = 1; a <= 9; ++a)
                for (int b = 1; b <= 9; ++b) {
                    const double ta = (a - 1) / 3 == (i - 1) / 3 ? T((a - 1) % 3 + 1, (i - 1) % 3 + 1) : 0.0;
                    const double tb = (b - 1) / 3 == (j - 1) / 3 ? T((b - 1) % 3 + 1, (j - 1) % 3 + 1) : 0.0;
                    v += ta * K0(a, b) * tb;
                }
            EXPECT_NEAR(K(i, j), v, 1e-13);
        }
    EXPECT_EQ(store(10, 10), 42.0);
}

}  // namespace
}  // namespace kvpvs::recovery
