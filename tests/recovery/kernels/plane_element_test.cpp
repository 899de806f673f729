// The 6- and 8-node plane element in a tilted plane: the constant-strain patch test on
// curved and clockwise elements, the strain energy of a uniform strain, its three
// zero-energy modes, and the layout of the stiffness and stress-recovery matrices.
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

struct PlaneCase {
    const char* name;
    int nnode;
    int mode;        // 0 plane stress, 1 plane strain
    bool curved;     // mid-side nodes off the straight edges
    bool clockwise;  // node order reversed
};

void PrintTo(const PlaneCase& c, std::ostream* os)
{
    *os << c.nnode << " nodes, " << (c.mode == 0 ? "plane stress" : "plane strain") << (c.curved ? ", curved" : "")
        << (c.clockwise ? ", clockwise" : "");
}

class QuadraticPlane : public ::testing::TestWithParam<PlaneCase> {
protected:
    SharedBlocks blocks;
    ElementLibrary lib{Build::single_step, blocks};
    Mat33 T;
    std::array<double, 3> origin{2.0, -1.0, 0.5};
    std::vector<std::array<double, 2>> local;  // in-plane node coordinates
    FixedMatrix<3, 8> X;                       // global node coordinates
    const double E = 2.0e5, nu = 0.3, t = 0.25;

    void SetUp() override
    {
        const PlaneCase& pc = GetParam();
        blocks.material_block.elastic_modulus = E;
        blocks.material_block.poisson_ratio = nu;
        blocks.section_values[0] = t;
        blocks.section_values[1] = 99.0;  // bending thickness: not read by this element
        blocks.plane_mode = pc.mode;

        // Element axes: e1 along (1, 0.5, 0.3), e3 normal to the plane, e2 = e3 x e1.
        double e1[3] = {1.0, 0.5, 0.3}, a[3] = {-0.2, 1.0, 0.4};
        normalise(e1);
        double e3[3] = {e1[1] * a[2] - e1[2] * a[1], e1[2] * a[0] - e1[0] * a[2], e1[0] * a[1] - e1[1] * a[0]};
        normalise(e3);
        const double e2[3] = {e3[1] * e1[2] - e3[2] * e1[1], e3[2] * e1[0] - e3[0] * e1[2], e3[0] * e1[1] - e3[1] * e1[0]};
        for (int j = 1; j <= 3; ++j) {
            T(1, j) = e1[j - 1];
            T(2, j) = e2[j - 1];
            T(3, j) = e3[j - 1];
        }

        std::vector<std::array<double, 2>> corners;
        if (pc.nnode == 8) corners = {{0, 0}, {4, 0.5}, {4.5, 3.5}, {-0.3, 3}};
        else corners = {{0, 0}, {4, 0.3}, {1, 3}};
        if (pc.clockwise) std::reverse(corners.begin() + 1, corners.end());
        const int nc = static_cast<int>(corners.size());
        local = corners;
        for (int k = 0; k < nc; ++k) {
            const auto& p = corners[static_cast<size_t>(k)];
            const auto& q = corners[static_cast<size_t>((k + 1) % nc)];
            const double bow = pc.curved ? 0.15 * (k % 2 == 0 ? 1.0 : -1.0) : 0.0;
            local.push_back({(p[0] + q[0]) / 2 + bow, (p[1] + q[1]) / 2 - 0.5 * bow});
        }
        for (int k = 1; k <= pc.nnode; ++k)
            for (int j = 1; j <= 3; ++j)
                X(j, k) = origin[static_cast<size_t>(j - 1)] + local[static_cast<size_t>(k - 1)][0] * T(1, j) +
                          local[static_cast<size_t>(k - 1)][1] * T(2, j);
    }
    static void normalise(double v[3])
    {
        const double n = std::sqrt(v[0] * v[0] + v[1] * v[1] + v[2] * v[2]);
        for (int i = 0; i < 3; ++i) v[i] /= n;
    }
    ConstMatView coords() const { return ConstMatView(X.a.data(), 3, 3, GetParam().nnode); }

    // Global nodal displacements of the local field u = exx x + g/2 y, v = g/2 x + eyy y,
    // plus a rigid translation and an out-of-plane displacement w.
    std::vector<double> uniform_strain_field(double exx, double eyy, double gxy, double w) const
    {
        const int n = GetParam().nnode;
        std::vector<double> u(48, 0.0);
        for (int k = 0; k < n; ++k) {
            const double x = local[static_cast<size_t>(k)][0], y = local[static_cast<size_t>(k)][1];
            const double ul[3] = {exx * x + 0.5 * gxy * y + 0.01, 0.5 * gxy * x + eyy * y - 0.02, w * (1 + k)};
            for (int m = 1; m <= 3; ++m) u[static_cast<size_t>(3 * k + m - 1)] = T(1, m) * ul[0] + T(2, m) * ul[1] + T(3, m) * ul[2];
        }
        return u;
    }
    // Textbook plane stress / plane strain stiffness of the isotropic material.
    std::array<double, 3> stress_of(double exx, double eyy, double gxy) const
    {
        double d11, d12;
        if (GetParam().mode == 0) {
            d11 = E / (1 - nu * nu);
            d12 = nu * d11;
        } else {
            d11 = E * (1 - nu) / ((1 + nu) * (1 - 2 * nu));
            d12 = E * nu / ((1 + nu) * (1 - 2 * nu));
        }
        const double G = E / (2 * (1 + nu));
        return {d11 * exx + d12 * eyy, d12 * exx + d11 * eyy, G * gxy};
    }
    double area() const
    {
        const int nc = GetParam().nnode / 2;
        double a = 0.0;
        for (int k = 0; k < nc; ++k) {
            const auto& p = local[static_cast<size_t>(k)];
            const auto& q = local[static_cast<size_t>((k + 1) % nc)];
            a += p[0] * q[1] - q[0] * p[1];
        }
        return std::fabs(a) / 2;
    }
};

TEST_P(QuadraticPlane, UniformStrainIsRecoveredAsItsUniformStressAtEveryPoint)
{
    const int npts = GetParam().nnode == 6 ? 4 : 10;
    FixedMatrix<60, 48> S;
    FixedMatrix<4, 17> R;
    S.fill(5.0);  // the routine clears S itself
    lib.quadratic_2d_stresses(S, R, GetParam().nnode, coords(), T);
    const double exx = 1.2e-3, eyy = -4e-4, gxy = 7e-4;
    const auto u = uniform_strain_field(exx, eyy, gxy, 0.3);
    const auto sig = stress_of(exx, eyy, gxy);
    for (int row = 1; row <= 60; ++row) {
        double s = 0.0;
        for (int c = 1; c <= 48; ++c) s += S(row, c) * u[static_cast<size_t>(c - 1)];
        const int p = (row - 25) / 3 + 1, comp = (row - 25) % 3;
        if (row >= 25 && p <= npts) {
            EXPECT_NEAR(s, sig[static_cast<size_t>(comp)], 1e-9 * 300) << "point " << p << " component " << comp + 1;
        } else {
            EXPECT_EQ(s, 0.0) << "row " << row;
        }
    }
}

TEST_P(QuadraticPlane, RigidMotionGivesNoStress)
{
    FixedMatrix<60, 48> S;
    FixedMatrix<4, 17> R;
    lib.quadratic_2d_stresses(S, R, GetParam().nnode, coords(), T);
    // Global translation (1, -2, 0.5) and an in-plane rotation about node 1.
    std::vector<double> u(48, 0.0);
    for (int k = 0; k < GetParam().nnode; ++k) {
        const double x = local[static_cast<size_t>(k)][0], y = local[static_cast<size_t>(k)][1];
        for (int m = 1; m <= 3; ++m)
            u[static_cast<size_t>(3 * k + m - 1)] = (m == 1 ? 1.0 : m == 2 ? -2.0 : 0.5) + 0.01 * (-y * T(1, m) + x * T(2, m));
    }
    for (int row = 25; row <= 60; ++row) {
        double s = 0.0;
        for (int c = 1; c <= 48; ++c) s += S(row, c) * u[static_cast<size_t>(c - 1)];
        EXPECT_NEAR(s, 0.0, 1e-9);
    }
}

TEST_P(QuadraticPlane, StiffnessIsSymmetricAndStoresTheUniformStrainEnergy)
{
    FixedMatrix<48, 48> K, W;
    FixedMatrix<4, 17> R;
    R.fill(3.0);
    lib.quadratic_2d_stiffness(K, W, R, 48, GetParam().nnode, coords(), T, 1);
    for (double v : R.a) EXPECT_EQ(v, 0.0);
    double kmax = 0.0;
    for (double v : K.a) kmax = std::max(kmax, std::fabs(v));
    for (int i = 1; i <= 48; ++i)
        for (int j = 1; j <= 48; ++j) EXPECT_NEAR(K(i, j), K(j, i), 1e-12 * kmax);
    if (GetParam().curved) return;  // the area below is that of straight sides
    const double exx = 1e-3, eyy = 5e-4, gxy = -8e-4;
    const auto u = uniform_strain_field(exx, eyy, gxy, 0.0);
    double energy = 0.0;
    for (int i = 1; i <= 48; ++i)
        for (int j = 1; j <= 48; ++j) energy += u[static_cast<size_t>(i - 1)] * K(i, j) * u[static_cast<size_t>(j - 1)];
    const auto sig = stress_of(exx, eyy, gxy);
    const double expect = t * area() * (sig[0] * exx + sig[1] * eyy + sig[2] * gxy);
    // The tabulated triangle weights sum to 0.50000001: a relative 2e-8.
    EXPECT_NEAR(energy, expect, 5e-8 * expect);
}

int zero_eigenvalues(const std::vector<double>& a, int n)
{
    const auto ev = test::symmetric_eigenvalues(a, n);
    const double top = std::fabs(ev.back());
    int zeros = 0;
    for (double v : ev) {
        EXPECT_GT(v, -1e-9 * top);
        if (std::fabs(v) < 1e-9 * top) ++zeros;
    }
    return zeros;
}

TEST_P(QuadraticPlane, HasExactlyThreeZeroEnergyModesInItsPlane)
{
    const int n = GetParam().nnode;
    FixedMatrix<48, 48> K, W;
    FixedMatrix<4, 17> R;
    lib.quadratic_2d_stiffness(K, W, R, 48, n, coords(), T, 0);
    // Local directions: the third component of every node has zero rows and columns.
    std::vector<int> inplane;
    for (int k = 0; k < n; ++k) {
        for (int j = 1; j <= 48; ++j) {
            EXPECT_EQ(K(3 * k + 3, j), 0.0);
            EXPECT_EQ(K(j, 3 * k + 3), 0.0);
        }
        inplane.push_back(3 * k + 1);
        inplane.push_back(3 * k + 2);
    }
    const int m = 2 * n;
    std::vector<double> a(static_cast<size_t>(m * m));
    for (int i = 0; i < m; ++i)
        for (int j = 0; j < m; ++j) a[static_cast<size_t>(i * m + j)] = K(inplane[static_cast<size_t>(i)], inplane[static_cast<size_t>(j)]);
    EXPECT_EQ(zero_eigenvalues(a, m), 3);

    // Global directions: the n normal directions add n more.
    lib.quadratic_2d_stiffness(K, W, R, 48, n, coords(), T, 1);
    const int g = 3 * n;
    std::vector<double> b(static_cast<size_t>(g * g));
    for (int i = 0; i < g; ++i)
        for (int j = 0; j < g; ++j) b[static_cast<size_t>(i * g + j)] = K(i + 1, j + 1);
    EXPECT_EQ(zero_eigenvalues(b, g), 3 + n);
}

TEST_P(QuadraticPlane, ZeroThicknessGivesZeroStiffnessAndTheSameStresses)
{
    FixedMatrix<60, 48> S1, S0;
    FixedMatrix<4, 17> R;
    lib.quadratic_2d_stresses(S1, R, GetParam().nnode, coords(), T);
    blocks.section_values[0] = 0.0;
    lib.quadratic_2d_stresses(S0, R, GetParam().nnode, coords(), T);
    EXPECT_EQ(S0.a, S1.a);
    FixedMatrix<48, 48> K, W;
    lib.quadratic_2d_stiffness(K, W, R, 48, GetParam().nnode, coords(), T, 1);
    for (double v : K.a) EXPECT_EQ(v, 0.0);
}

INSTANTIATE_TEST_SUITE_P(
    Elements, QuadraticPlane,
    ::testing::Values(PlaneCase{"Quad8PlaneStress", 8, 0, false, false}, PlaneCase{"Quad8PlaneStrainCurved", 8, 1, true, false},
                      PlaneCase{"Quad8Clockwise", 8, 0, true, true}, PlaneCase{"Tri6PlaneStress", 6, 0, false, false},
                      PlaneCase{"Tri6PlaneStrainCurved", 6, 1, true, false}, PlaneCase{"Tri6Clockwise", 6, 1, false, true}),
    [](const ::testing::TestParamInfo<PlaneCase>& info) { return std::string(info.param.name); });

TEST(PlaneLocalCoords, NodeOneIsTheOriginOfTheElementAxes)
{
    Mat33 T;
    T(1, 1) = 0.6;
    T(1, 2) = 0.8;
    T(2, 1) = -0.8;
    T(2, 2) = 0.6;
    T(3, 3) = 1.0;
    FixedMatrix<3, 3> X;
    const double g[3][3] = {{1, 1, 5}, {4, 5, 5}, {-3, 4, 5}};
    for (int k = 1; k <= 3; ++k)
        for (int j = 1; j <= 3; ++j) X(j, k) = g[k - 1][j - 1];
    FixedMatrix<2, 3> XL;
    plane_local_coords(XL, X, T, 3, 0);
    EXPECT_EQ(XL(1, 1), 0.0);
    EXPECT_EQ(XL(2, 1), 0.0);
    EXPECT_NEAR(XL(1, 2), 5.0, 1e-14);
    EXPECT_NEAR(XL(2, 2), 0.0, 1e-14);
    EXPECT_NEAR(XL(1, 3), 0.0, 1e-14);
    EXPECT_NEAR(XL(2, 3), 5.0, 1e-14);
}

}  // namespace
}  // namespace kvpvs::recovery
