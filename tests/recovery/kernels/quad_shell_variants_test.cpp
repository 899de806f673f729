// The 4-node shell routines no driver calls: the bending-and-shear result routine against
// the thick result routine, and the thin shell whose membrane carries drilling rotations
// (membrane patch test, in-plane bending of a rectangle, zero-energy modes, bending block).
#include <algorithm>
#include <array>
#include <cmath>
#include <gtest/gtest.h>
#include <utility>
#include <vector>

#include "plate_test_support.h"

namespace kvpvs::recovery::test {
namespace {

constexpr double kE = 2.0e5, kNu = 0.3;
const std::vector<std::array<double, 3>> kDistorted = {{0, 0, 0}, {2.2, 0.3, 0}, {1.9, 1.7, 0}, {-0.2, 1.3, 0}};

TEST(QuadThickResultsFull, BendingAndShearOfTheThickRoutineOnItsOwnElementData)
{
    // Flat element, every freedom moved: rows 4-8 equal the thick routine's, rows 1-3 stay 0.
    SharedBlocks blocks;
    ElementLibrary lib{Build::single_step, blocks};
    set_isotropic(blocks, kE, kNu, 0.24);
    Element e, other;
    e.tilted_axes();
    e.place(kDistorted);
    FixedMatrix<6, 4> U, scratch;
    for (int k = 1; k <= 4; ++k)
        for (int d = 1; d <= 6; ++d) U(d, k) = 1e-3 * std::sin(1.3 * k + 0.7 * d);
    FixedMatrix<8, 5> full, thick, again;
    scratch = U;
    lib.quad_thick_results(4, scratch, thick, e.XYZ, e.T, 1, 0);
    // The thick routine's last set-up is another element's: this routine sets up its own.
    other.identity_axes();
    other.place({{0, 0, 0}, {1, 0, 0}, {1, 3, 0}, {0, 3, 0}});
    scratch = U;
    lib.quad_thick_results(4, scratch, again, other.XYZ, other.T, 1, 0);
    lib.quad_thick_results_full(4, U, full, e.X, e.Y, e.Z, e.T, 1);
    double scale = 0.0;
    for (int p = 1; p <= 5; ++p)
        for (int r = 4; r <= 8; ++r) scale = std::max(scale, std::fabs(thick(r, p)));
    ASSERT_GT(scale, 0.0);
    for (int p = 1; p <= 5; ++p) {
        for (int r = 1; r <= 3; ++r) EXPECT_EQ(full(r, p), 0.0);
        for (int r = 4; r <= 8; ++r) EXPECT_NEAR(full(r, p), thick(r, p), 1e-13 * scale) << r << "," << p;
    }

    // A set-up of the thick routine for another element leaves this routine's data alone.
    lib.quad_thick_results(4, scratch, thick, other.XYZ, other.T, 1, 0);
    lib.quad_thick_results_full(4, U, again, e.X, e.Y, e.Z, e.T, 2);
    for (int i = 1; i <= 40; ++i) EXPECT_EQ(again(i), full(i));

    // Warped element under in-plane motion: the thick routine's warping correction bends
    // it, this routine has none.
    std::vector<std::array<double, 3>> warped = kDistorted;
    for (int k = 0; k < 4; ++k) warped[static_cast<size_t>(k)][2] = k % 2 ? -0.05 : 0.05;
    e.place(warped);
    FixedMatrix<6, 4> inplane;
    for (int k = 1; k <= 4; ++k) {
        inplane(1, k) = U(1, k);
        inplane(2, k) = U(2, k);
    }
    scratch = inplane;
    lib.quad_thick_results(4, scratch, thick, e.XYZ, e.T, 1, 0);
    lib.quad_thick_results_full(4, inplane, full, e.X, e.Y, e.Z, e.T, 1);
    EXPECT_NE(thick(4, 1), 0.0);
    for (int i = 1; i <= 40; ++i) EXPECT_EQ(full(i), 0.0);
}

class DrillingQuad : public ::testing::Test {
protected:
    SharedBlocks blocks;
    ElementLibrary lib{Build::history, blocks};
    Element e;
    FixedMatrix<24, 24> K, W;
    const double t = 0.2;
    void SetUp() override { set_isotropic(blocks, kE, kNu, t); }
    void drilling(int flag) { lib.quad_drilling_thin_stiffness(K, W, 24, e.X, e.Y, e.Z, e.T, flag); }
};

// Solves A x = b (n x n, row-major) by Gaussian elimination with partial pivoting.
std::vector<double> solve(std::vector<double> A, std::vector<double> b, int n)
{
    auto at = [&A, n](int i, int j) -> double& { return A[static_cast<size_t>(i * n + j)]; };
    for (int c = 0; c < n; ++c) {
        int piv = c;
        for (int r = c + 1; r < n; ++r)
            if (std::fabs(at(r, c)) > std::fabs(at(piv, c))) piv = r;
        for (int j = 0; j < n; ++j) std::swap(at(c, j), at(piv, j));
        std::swap(b[static_cast<size_t>(c)], b[static_cast<size_t>(piv)]);
        for (int r = c + 1; r < n; ++r) {
            const double f = at(r, c) / at(c, c);
            for (int j = c; j < n; ++j) at(r, j) -= f * at(c, j);
            b[static_cast<size_t>(r)] -= f * b[static_cast<size_t>(c)];
        }
    }
    for (int r = n - 1; r >= 0; --r) {
        double s = b[static_cast<size_t>(r)];
        for (int j = r + 1; j < n; ++j) s -= at(r, j) * b[static_cast<size_t>(j)];
        b[static_cast<size_t>(r)] = s / at(r, r);
    }
    return b;
}

TEST_F(DrillingQuad, MembranePatchReproducesConstantStrain)
{
    // Five distorted elements in a 0.24 x 0.12 rectangle, inner nodes 5-8 free. Boundary
    // nodes carry u = a + b x + c y, v = d + f x + g y and theta-z = (f - c)/2: the inner
    // nodes must take the same field, their drilling rotations the same constant.
    const double xy[8][2] = {{0, 0}, {0.24, 0}, {0.24, 0.12}, {0, 0.12}, {0.04, 0.02}, {0.18, 0.03}, {0.16, 0.08}, {0.08, 0.08}};
    const int elems[5][4] = {{0, 1, 5, 4}, {1, 2, 6, 5}, {2, 3, 7, 6}, {3, 0, 4, 7}, {4, 5, 6, 7}};
    const double a = 1e-3, b = 2e-3, c = 0.5e-3, d = -0.5e-3, f = 1.5e-3, g = -1e-3;
    auto exact = [&](int node, int comp) {
        const double x = xy[node][0], y = xy[node][1];
        return comp == 0 ? a + b * x + c * y : comp == 1 ? d + f * x + g * y : (f - c) / 2.0;
    };
    const int n = 24;  // u, v, theta-z of 8 nodes
    std::vector<double> Kp(static_cast<size_t>(n * n), 0.0);
    e.identity_axes();
    constexpr int kDof[3] = {1, 2, 6};
    for (const auto& el : elems) {
        e.place({{xy[el[0]][0], xy[el[0]][1], 0}, {xy[el[1]][0], xy[el[1]][1], 0}, {xy[el[2]][0], xy[el[2]][1], 0}, {xy[el[3]][0], xy[el[3]][1], 0}});
        drilling(0);
        for (int A = 0; A < 4; ++A)
            for (int i = 0; i < 3; ++i)
                for (int B = 0; B < 4; ++B)
                    for (int j = 0; j < 3; ++j)
                        Kp[static_cast<size_t>((3 * el[A] + i) * n + 3 * el[B] + j)] += K(6 * A + kDof[i], 6 * B + kDof[j]);
    }
    const int m = 12;  // inner freedoms 12..23
    std::vector<double> Kii(static_cast<size_t>(m * m)), rhs(static_cast<size_t>(m), 0.0);
    for (int r = 0; r < m; ++r) {
        for (int s = 0; s < m; ++s) Kii[static_cast<size_t>(r * m + s)] = Kp[static_cast<size_t>((12 + r) * n + 12 + s)];
        for (int s = 0; s < 12; ++s) rhs[static_cast<size_t>(r)] -= Kp[static_cast<size_t>((12 + r) * n + s)] * exact(s / 3, s % 3);
    }
    const std::vector<double> x = solve(Kii, rhs, m);
    for (int r = 0; r < m; ++r) EXPECT_NEAR(x[static_cast<size_t>(r)], exact(4 + r / 3, r % 3), 1e-14) << "freedom " << r;
}

TEST_F(DrillingQuad, InPlaneBendingOfARectangleIsExact)
{
    // u = k x y, v = -k x^2 / 2 with the drilling rotation theta-z = (v,x - u,y)/2 = -k x:
    // the side bulges of v come from the rotation differences alone, so the element holds
    // the field exactly and the energy is Em k^2 t (2a)(2b)^3/12.
    const double a = 1.5, b = 0.5, k = 1e-3;
    e.tilted_axes();
    e.place({{-a, -b, 0}, {a, -b, 0}, {a, b, 0}, {-a, b, 0}});
    drilling(0);
    std::vector<double> u(24, 0.0);
    for (int n = 0; n < 4; ++n) {
        const double x = e.local[static_cast<size_t>(n)][0], y = e.local[static_cast<size_t>(n)][1];
        u[static_cast<size_t>(6 * n)] = k * x * y;
        u[static_cast<size_t>(6 * n + 1)] = -k * x * x / 2.0;
        u[static_cast<size_t>(6 * n + 5)] = -k * x;
    }
    const double ref = kE / (1.0 - kNu * kNu) * k * k * t * (2 * a) * std::pow(2 * b, 3) / 12.0;
    EXPECT_NEAR(energy(K, u, 24), ref, 1e-12 * ref);
}

TEST_F(DrillingQuad, SevenZeroEnergyModesTheSeventhEqualDrillingRotations)
{
    // Free distorted element in global axes: six rigid-body modes and, without a drilling
    // spring, equal drilling rotations of all four nodes at rest.
    e.tilted_axes();
    e.place(kDistorted);
    drilling(1);
    std::vector<double> A(24 * 24);
    for (int i = 1; i <= 24; ++i)
        for (int j = 1; j <= 24; ++j) A[static_cast<size_t>((i - 1) * 24 + j - 1)] = K(i, j);
    const std::vector<double> ev = symmetric_eigenvalues(A, 24);
    const double top = ev.back();
    int zeros = 0;
    for (double v : ev) {
        EXPECT_GT(v, -1e-11 * top);
        if (std::fabs(v) < 1e-11 * top) ++zeros;
    }
    EXPECT_EQ(zeros, 7);
    for (int i = 1; i <= 24; ++i) {
        double f = 0.0;
        for (int n = 0; n < 4; ++n)
            for (int j = 1; j <= 3; ++j) f += K(i, 6 * n + 3 + j) * e.T(3, j);
        EXPECT_NEAR(f, 0.0, 1e-12 * top) << "row " << i;
    }
}

TEST_F(DrillingQuad, BendingBlockIsTheThinElementsAndTheMaterialIsotropic)
{
    // Flat element: the w, theta-x, theta-y block is the thin shell's, uncoupled from u, v,
    // theta-z; an orthotropic record is read as the isotropic E, nu.
    e.tilted_axes();
    e.place(kDistorted);
    FixedMatrix<24, 24> Kthin;
    lib.quad_thin_stiffness(Kthin, W, 24, e.X, e.Y, e.Z, e.T, 0);
    drilling(0);
    for (int A = 0; A < 4; ++A)
        for (int B = 0; B < 4; ++B)
            for (int i = 1; i <= 6; ++i)
                for (int j = 1; j <= 6; ++j) {
                    const bool bi = i >= 3 && i <= 5, bj = j >= 3 && j <= 5;
                    const double v = K(6 * A + i, 6 * B + j);
                    if (bi && bj) {
                        EXPECT_EQ(v, Kthin(6 * A + i, 6 * B + j)) << A << i << "," << B << j;
                    } else if (bi != bj) {
                        EXPECT_EQ(v, 0.0);
                    }
                }
    const FixedMatrix<24, 24> Kiso = K;
    blocks.material_block.material_type = 1;
    blocks.material_block.material_constants = {3 * kE, 0.1, 0.0, kE, 0.2, 0.0, kE, kE, kE};
    drilling(0);
    for (int i = 1; i <= 576; ++i) EXPECT_EQ(K(i), Kiso(i));
}

}  // namespace
}  // namespace kvpvs::recovery::test
