// The stiffness side of the six- and eight-node plates: the condensation and the recovery of the
// centre node against a dense Schur complement and solve (Gaussian elimination with row pivoting
// in long double), on random symmetric positive definite matrices and on the assembly of a real
// eight-node plate; the assembled element stiffness (six-node zeros, symmetry, rigid motion,
// repeatability); the sub-plates' node vectors (the centre node where a rigid motion puts it,
// midway between nodes 5 and 7, and the middle sub-triangle's nodes 4, 5, 6).
#include "plate_fixture.h"

#include "recovery/drivers/sub_plate_stiffness.h"

#include <random>
#include <string>
#include <vector>

namespace kvpvs::testing::quadplate {
namespace {

using recovery::Build;
using recovery::ConstMatView;
using recovery::FixedMatrix;
using recovery::MatView;

using Dense = std::vector<long double>;  // column-major, n x m

// X = A^-1 B for A (n, n) and B (n, m), by elimination with row pivoting.
Dense solve(Dense A, Dense B, int n, int m)
{
    auto a = [&A, n](int r, int c) -> long double& { return A[static_cast<std::size_t>(r + n * c)]; };
    auto b = [&B, n](int r, int c) -> long double& { return B[static_cast<std::size_t>(r + n * c)]; };
    for (int k = 0; k < n; ++k) {
        int p = k;
        for (int r = k + 1; r < n; ++r)
            if (std::fabs(a(r, k)) > std::fabs(a(p, k)))
                p = r;
        for (int c = 0; c < n; ++c)
            std::swap(a(k, c), a(p, c));
        for (int c = 0; c < m; ++c)
            std::swap(b(k, c), b(p, c));
        for (int r = k + 1; r < n; ++r) {
            const long double f = a(r, k) / a(k, k);
            for (int c = k; c < n; ++c)
                a(r, c) -= f * a(k, c);
            for (int c = 0; c < m; ++c)
                b(r, c) -= f * b(k, c);
        }
    }
    for (int c = 0; c < m; ++c)
        for (int r = n - 1; r >= 0; --r) {
            long double s = b(r, c);
            for (int j = r + 1; j < n; ++j)
                s -= a(r, j) * b(j, c);
            b(r, c) = s / a(r, r);
        }
    return B;
}

// Block (rows r0.., columns c0..) of G (ld) as a dense matrix.
Dense block(ConstMatView G, int r0, int c0, int rows, int cols)
{
    Dense d(static_cast<std::size_t>(rows * cols));
    for (int c = 0; c < cols; ++c)
        for (int r = 0; r < rows; ++r)
            d[static_cast<std::size_t>(r + rows * c)] = G(r0 + r, c0 + c);
    return d;
}

// Gee - Gei Gii^-1 Gie.
Dense schur(ConstMatView G, int NT, int NI)
{
    const int NE = NT - NI;
    const Dense X = solve(block(G, NE + 1, NE + 1, NI, NI), block(G, NE + 1, 1, NI, NE), NI, NE);
    Dense S = block(G, 1, 1, NE, NE);
    const Dense Gei = block(G, 1, NE + 1, NE, NI);
    for (int c = 0; c < NE; ++c)
        for (int r = 0; r < NE; ++r)
            for (int k = 0; k < NI; ++k)
                S[static_cast<std::size_t>(r + NE * c)] -= Gei[static_cast<std::size_t>(r + NE * k)] * X[static_cast<std::size_t>(k + NI * c)];
    return S;
}

std::vector<double> random_spd(int n, unsigned seed)
{
    std::mt19937 g(seed);
    std::uniform_real_distribution<double> u(-1.0, 1.0);
    std::vector<double> M(static_cast<std::size_t>(n * n));
    for (double& v : M)
        v = u(g);
    std::vector<double> A(static_cast<std::size_t>(n * n), 0.0);
    for (int c = 0; c < n; ++c)
        for (int r = 0; r < n; ++r) {
            double s = r == c ? 0.5 * n : 0.0;
            for (int k = 0; k < n; ++k)
                s += M[static_cast<std::size_t>(k + n * r)] * M[static_cast<std::size_t>(k + n * c)];
            A[static_cast<std::size_t>(r + n * c)] = s;
        }
    return A;
}

double largest_abs(const std::vector<double>& v)
{
    double m = 0.0;
    for (double x : v)
        m = std::max(m, std::fabs(x));
    return m;
}

void expect_condensation(std::vector<double> G, int NT, int NI, double tolerance, const std::string& where)
{
    const ConstMatView view(G.data(), NT, NT, NT);
    const Dense S = schur(view, NT, NI);
    const std::vector<double> before = G;
    recovery::condense_stiffness(NT, NI, MatView(G.data(), NT, NT, NT));
    const int NE = NT - NI;
    for (int c = 1; c <= NT; ++c)
        for (int r = 1; r <= NT; ++r) {
            const std::size_t at = static_cast<std::size_t>(r - 1 + NT * (c - 1));
            if (r <= NE && c <= NE)
                EXPECT_NEAR(G[at], static_cast<double>(S[static_cast<std::size_t>(r - 1 + NE * (c - 1))]), tolerance)
                    << where << " (" << r << ", " << c << ")";
            else
                EXPECT_EQ(G[at], before[at]) << where << " (" << r << ", " << c << ") outside the condensed block";
        }
}

void expect_recovery(const std::vector<double>& G, int NT, int NI, int n, unsigned seed, double tolerance, const std::string& where)
{
    const int NE = NT - NI;
    std::mt19937 g(seed);
    std::uniform_real_distribution<double> u(-1.0, 1.0);
    constexpr int LD = 60;
    std::vector<double> U(static_cast<std::size_t>(LD * n)), P(static_cast<std::size_t>(NT * n));
    for (double& v : U)
        v = u(g);
    for (double& v : P)
        v = u(g);
    std::vector<double> Q(static_cast<std::size_t>(NI * n), -1.0);
    const ConstMatView view(G.data(), NT, NT, NT);
    recovery::recover_internal_dofs(NT, NI, ConstMatView(U.data(), LD, LD, n), view, ConstMatView(P.data(), NT, NT, n),
                                    MatView(Q.data(), NI, NI, n), n);
    // Reference: Gii Q = P_i - Gie U_e.
    Dense rhs(static_cast<std::size_t>(NI * n));
    for (int i = 0; i < n; ++i)
        for (int r = 0; r < NI; ++r) {
            long double s = P[static_cast<std::size_t>(NE + r + NT * i)];
            for (int c = 0; c < NE; ++c)
                s -= static_cast<long double>(view(NE + r + 1, c + 1)) * U[static_cast<std::size_t>(c + LD * i)];
            rhs[static_cast<std::size_t>(r + NI * i)] = s;
        }
    const Dense X = solve(block(view, NE + 1, NE + 1, NI, NI), rhs, NI, n);
    for (std::size_t k = 0; k < Q.size(); ++k)
        EXPECT_NEAR(Q[k], static_cast<double>(X[k]), tolerance * std::max(1.0L, std::fabs(X[k]))) << where << " value " << k;
}

struct Shape {
    int NT;
    int NI;
};

class RandomCondensation : public ::testing::TestWithParam<Shape> {};

TEST_P(RandomCondensation, MatchesTheDenseSchurComplementAndSolve)
{
    const auto [NT, NI] = GetParam();
    const std::vector<double> G = random_spd(NT, 17u * static_cast<unsigned>(NT) + static_cast<unsigned>(NI));
    expect_condensation(G, NT, NI, 1e-12 * largest_abs(G), "condensation");
    expect_recovery(G, NT, NI, 5, 3u, 1e-12, "recovery");
}

INSTANTIATE_TEST_SUITE_P(Orders, RandomCondensation,
                         ::testing::Values(Shape{2, 1}, Shape{12, 4}, Shape{30, 6}, Shape{54, 6}, Shape{54, 27},
                                           Shape{54, 53}, Shape{7, 7}),
                         [](const auto& info) {
                             return "Order" + std::to_string(info.param.NT) + "Inner" + std::to_string(info.param.NI);
                         });

TEST(Condensation, OrdersOutsideTheStoresLeaveEverythingAsItWas)
{
    std::vector<double> G = random_spd(6, 5u);
    const std::vector<double> before = G;
    recovery::condense_stiffness(6, 0, MatView(G.data(), 6, 6, 6));
    recovery::condense_stiffness(6, 7, MatView(G.data(), 6, 6, 6));
    EXPECT_EQ(G, before);
    std::vector<double> Q(6, -1.0);
    const std::vector<double> U(6, 1.0);
    recovery::recover_internal_dofs(6, -1, ConstMatView(U.data(), 6, 6, 1), ConstMatView(G.data(), 6, 6, 6),
                                    ConstMatView(U.data(), 6, 6, 1), MatView(Q.data(), 6, 6, 1), 1);
    EXPECT_EQ(Q, std::vector<double>(6, -1.0));
}

// An eight-node plate in a tilted plane and its 54 x 54 sub-plate assembly.
class SubPlateAssembly : public ::testing::Test {
protected:
    void SetUp() override { load_section(); }

    std::vector<double> assembly(const Plate& p)
    {
        std::array<double, 8> x{}, y{}, z{};
        for (int k = 0; k < p.corners(); ++k) {
            const resultfiles::Point3 g = p.global(k);
            x[static_cast<std::size_t>(k)] = g[0];
            y[static_cast<std::size_t>(k)] = g[1];
            z[static_cast<std::size_t>(k)] = g[2];
        }
        std::vector<double> G(54 * 54, -1.0);
        recovery::SubPlateAxes Ts{};
        recovery::assemble_sub_plate_matrix(build, MatView(G.data(), 54, 54, 54), x.data(), y.data(), z.data(),
                                            p.corners(), 0, Ts);
        return G;
    }

    FixedMatrix<3, 8> coordinates(const Plate& p)
    {
        FixedMatrix<3, 8> X;
        for (int k = 0; k < p.corners(); ++k)
            for (int c = 0; c < 3; ++c)
                X(c + 1, k + 1) = p.global(k)[static_cast<std::size_t>(c)];
        return X;
    }

    recovery::DriverBuildState& build = recovery::driver_build(Build::history);
};

TEST_F(SubPlateAssembly, EightNodeStiffnessIsTheSchurComplementOfTheRealAssembly)
{
    const std::vector<double> G = assembly(distorted8());
    const double scale = largest_abs(G);
    expect_condensation(G, 54, 6, 1e-10 * scale, "assembly");
    expect_recovery(G, 54, 6, 4, 11u, 1e-9, "assembly");

    const Dense S = schur(ConstMatView(G.data(), 54, 54, 54), 54, 6);
    FixedMatrix<48, 48> K;
    recovery::quadratic_plate_stiffness(build, 8, K, coordinates(distorted8()));
    for (int c = 1; c <= 48; ++c)
        for (int r = 1; r <= 48; ++r)
            EXPECT_NEAR(K(r, c), static_cast<double>(S[static_cast<std::size_t>(r - 1 + 48 * (c - 1))]), 1e-10 * scale)
                << "(" << r << ", " << c << ")";
}

TEST_F(SubPlateAssembly, ZeroDisplacementsLeaveTheCentreNodeAtRest)
{
    const std::vector<double> G = assembly(distorted8());
    const std::vector<double> U(120 * 3, 0.0), P(54 * 3, 0.0);
    std::vector<double> Q(18, -1.0);
    recovery::recover_internal_dofs(54, 6, ConstMatView(U.data(), 120, 120, 3), ConstMatView(G.data(), 54, 54, 54),
                                    ConstMatView(P.data(), 54, 54, 3), MatView(Q.data(), 6, 6, 3), 3);
    for (double q : Q)
        EXPECT_EQ(q, 0.0);
}

TEST_F(SubPlateAssembly, SixNodeStiffnessLivesInRowsAndColumns1To36AndRepeats)
{
    FixedMatrix<48, 48> K1, K2;
    K1.fill(-1.0);
    recovery::quadratic_plate_stiffness(build, 6, K1, coordinates(triangle6()));
    // An eight-node plate in between: nothing of it stays.
    recovery::quadratic_plate_stiffness(build, 8, K2, coordinates(distorted8()));
    K2.fill(-1.0);
    recovery::quadratic_plate_stiffness(build, 6, K2, coordinates(triangle6()));
    double inside = 0.0;
    for (int c = 1; c <= 48; ++c)
        for (int r = 1; r <= 48; ++r) {
            EXPECT_EQ(K1(r, c), K2(r, c)) << "(" << r << ", " << c << ")";
            if (r > 36 || c > 36)
                EXPECT_EQ(K1(r, c), 0.0) << "(" << r << ", " << c << ")";
            else
                inside = std::max(inside, std::fabs(K1(r, c)));
        }
    EXPECT_GT(inside, 0.0);
}

struct ElementCase {
    const char* name;
    Plate (*element)();
};

class ElementStiffness : public SubPlateAssembly, public ::testing::WithParamInterface<ElementCase> {};

TEST_P(ElementStiffness, IsSymmetricAndFreeUnderRigidTranslation)
{
    const Plate p = GetParam().element();
    const int n = 6 * p.corners();
    FixedMatrix<48, 48> K;
    recovery::quadratic_plate_stiffness(build, p.corners(), K, coordinates(p));
    double scale = 0.0;
    for (double v : K.a)
        scale = std::max(scale, std::fabs(v));
    for (int c = 1; c <= n; ++c)
        for (int r = 1; r < c; ++r)
            EXPECT_NEAR(K(r, c), K(c, r), 1e-12 * scale) << "(" << r << ", " << c << ")";
    // Nodal forces of a translation t: K u = 0.
    const std::vector<double> u = plate::rigid_global(p, {1e-3, -2e-3, 1.5e-3}, {0.0, 0.0, 0.0});
    for (int r = 1; r <= n; ++r) {
        double f = 0.0;
        for (int c = 1; c <= n; ++c)
            f += K(r, c) * u[static_cast<std::size_t>(c - 1)];
        EXPECT_NEAR(f, 0.0, 1e-12 * scale) << "row " << r;
    }
}

INSTANTIATE_TEST_SUITE_P(Elements, ElementStiffness,
                         ::testing::Values(ElementCase{"Rectangle", rectangle8}, ElementCase{"Distorted", distorted8},
                                           ElementCase{"Triangle", triangle6}),
                         [](const auto& info) { return std::string(info.param.name); });

// The out-of-plane motion of a rigid rotation about an axis in the plane strains no sub-plate, so
// the condensation puts the centre node where the rotation moves the point midway between nodes
// 5 and 7; the mean of the eight nodes lies elsewhere on a distorted element.
TEST_F(SubPlateAssembly, CentreNodeFollowsRigidMotionMidwayBetweenNodes5And7)
{
    const Plate p = distorted8();
    const resultfiles::Axes3& T = p.T;
    // Rotation w about the origin, about an axis in the plane.
    resultfiles::Point3 w{};
    for (std::size_t c = 0; c < 3; ++c)
        w[c] = 2e-3 * T[0][c] - 1e-3 * T[1][c];
    const std::vector<double> u = plate::rigid_global(p, {0.0, 0.0, 0.0}, w);
    std::vector<double> U(120, 0.0);
    std::copy(u.begin(), u.end(), U.begin());
    std::vector<double> S(24 * 4, 0.0);
    recovery::sub_plate_displacements(build, 8, 0, ConstMatView(U.data(), 120, 120, 1), MatView(S.data(), 24, 24, 4), 1,
                                      coordinates(p));
    auto displacement_norm = [&](const std::array<double, 2>& q) {
        // Normal displacement of the in-plane point q: (w x r) . e3 with r in the plane.
        const double r[3] = {q[0] * T[0][0] + q[1] * T[1][0], q[0] * T[0][1] + q[1] * T[1][1],
                             q[0] * T[0][2] + q[1] * T[1][2]};
        const double m[3] = {w[1] * r[2] - w[2] * r[1], w[2] * r[0] - w[0] * r[2], w[0] * r[1] - w[1] * r[0]};
        return std::sqrt(m[0] * m[0] + m[1] * m[1] + m[2] * m[2]);
    };
    const std::array<double, 2> midway{0.5 * (p.local[4][0] + p.local[6][0]), 0.5 * (p.local[4][1] + p.local[6][1])};
    std::array<double, 2> mean{};
    for (const auto& q : p.local) {
        mean[0] += q[0] / 8.0;
        mean[1] += q[1] / 8.0;
    }
    const double expected = displacement_norm(midway);
    ASSERT_GT(std::fabs(expected - displacement_norm(mean)), 1e-2 * expected);
    // The centre node is node 3 of every sub-quadrilateral: values 13..15 (translation) and
    // 16..18 (rotation) of its vector, in the sub-plate's axes.
    for (int s = 0; s < 4; ++s) {
        const double* c = &S[static_cast<std::size_t>(24 * s + 12)];
        EXPECT_NEAR(std::sqrt(c[0] * c[0] + c[1] * c[1] + c[2] * c[2]), expected, 1e-9 * expected) << "sub-plate " << s + 1;
        const double wn = std::sqrt(w[0] * w[0] + w[1] * w[1] + w[2] * w[2]);
        EXPECT_NEAR(std::sqrt(c[3] * c[3] + c[4] * c[4] + c[5] * c[5]), wn, 1e-9 * wn) << "sub-plate " << s + 1;
    }
}

// Sub-triangle 4 holds the mid-side nodes 4, 5, 6 in that order, turned into its own axes: the
// turn keeps every dot product of the node triples.
TEST_F(SubPlateAssembly, MiddleSubTriangleHoldsNodes4To6TurnedIntoItsAxes)
{
    const Plate p = triangle6();
    std::vector<double> U(120 * 2, 0.0);
    for (int j = 0; j < 36; ++j) {
        U[static_cast<std::size_t>(j)] = std::sin(1.7 * j + 0.3);
        U[static_cast<std::size_t>(120 + j)] = std::cos(0.9 * j);
    }
    std::vector<double> S(24 * 8, -1.0);
    recovery::sub_plate_displacements(build, 6, 0, ConstMatView(U.data(), 120, 120, 2), MatView(S.data(), 24, 24, 8), 2,
                                      coordinates(p));
    auto dot = [](const double* a, const double* b) { return a[0] * b[0] + a[1] * b[1] + a[2] * b[2]; };
    for (int i = 0; i < 2; ++i) {
        const double* middle = &S[static_cast<std::size_t>(24 * (3 + 4 * i))];
        const double* u = &U[static_cast<std::size_t>(120 * i)];
        // Triples t = 0..5: translation and rotation of sub-plate nodes 1..3 = element nodes 4..6.
        for (int a = 0; a < 6; ++a)
            for (int b = 0; b < 6; ++b) {
                const double* ua = u + 18 + 3 * a;
                const double* ub = u + 18 + 3 * b;
                EXPECT_NEAR(dot(middle + 3 * a, middle + 3 * b), dot(ua, ub), 1e-12) << "value " << i << " triples " << a << ", " << b;
            }
        for (int r = 18; r < 24; ++r)
            EXPECT_EQ(middle[r], 0.0);
    }
}

} // namespace
} // namespace kvpvs::testing::quadplate
