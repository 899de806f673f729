// Stiffness of the 3- and 4-node plate/shell elements in a tilted plane: free-element
// rigid-body modes, constant-membrane and constant-curvature patch energies, exact pure
// bending of the incompatible-mode rectangle, thick-to-thin convergence, the drilling
// spring, warping detection and the local/global forms.
#include <algorithm>
#include <cmath>
#include <gtest/gtest.h>
#include <ostream>
#include <string>
#include <vector>

#include "plate_test_support.h"

namespace kvpvs::recovery::test {
namespace {

constexpr double kE = 2.0e5, kNu = 0.3;

struct StiffnessCase {
    Kind kind;
    bool distorted;  // general quadrilateral / scalene triangle instead of a regular shape
};

void PrintTo(const StiffnessCase& c, std::ostream* os)
{
    *os << kind_name(c.kind) << (c.distorted ? ", distorted" : ", regular");
}

std::string case_name(const ::testing::TestParamInfo<StiffnessCase>& info)
{
    return std::string(kind_name(info.param.kind)) + (info.param.distorted ? "Distorted" : "Regular");
}

class PlateStiffness : public ::testing::TestWithParam<StiffnessCase> {
protected:
    SharedBlocks blocks;
    ElementLibrary lib{Build::history, blocks};
    Element e;
    FixedMatrix<24, 24> K;

    void build(double t)
    {
        set_isotropic(blocks, kE, kNu, t);
        e.tilted_axes();
        const StiffnessCase& c = GetParam();
        if (is_quad(c.kind)) {
            if (c.distorted) e.place({{0, 0, 0}, {2.2, 0.3, 0}, {1.9, 1.7, 0}, {-0.2, 1.3, 0}});
            else e.place({{0, 0, 0}, {2, 0, 0}, {2, 1.5, 0}, {0, 1.5, 0}});
        } else {
            // Corner 2 on the local x axis, as the element axes of a triangle give.
            if (c.distorted) e.place({{0, 0, 0}, {2.1, 0, 0}, {0.6, 1.4, 0}});
            else e.place({{0, 0, 0}, {2, 0, 0}, {1, std::sqrt(3.0), 0}});
        }
    }
    int n() const { return 6 * e.nn; }
};

TEST_P(PlateStiffness, FreeElementHasOnlyRigidBodyZeroModes)
{
    // A free quadrilateral has six zero modes (its drilling spring takes uniform theta-z);
    // the triangle's drilling membrane leaves uniform theta-z free as well: seven.
    build(0.2);
    stiffness(lib, GetParam().kind, e, K, 1);
    const int nd = n();
    std::vector<double> a(static_cast<size_t>(nd * nd));
    double kmax = 0.0;
    for (int i = 1; i <= nd; ++i)
        for (int j = 1; j <= nd; ++j) {
            a[static_cast<size_t>((i - 1) * nd + j - 1)] = K(i, j);
            EXPECT_NEAR(K(i, j), K(j, i), 1e-12 * std::fabs(K(1, 1))) << i << "," << j;
            kmax = std::max(kmax, std::fabs(K(i, j)));
        }
    const std::vector<double> ev = symmetric_eigenvalues(a, nd);
    const double top = ev.back();
    int zeros = 0;
    for (double v : ev) {
        EXPECT_GT(v, -1e-11 * top);
        if (std::fabs(v) < 1e-11 * top) ++zeros;
    }
    EXPECT_EQ(zeros, is_quad(GetParam().kind) ? 6 : 7);

    // Global rigid motions u = c + w x (x - x0), theta = w give no force.
    for (int mode = 0; mode < 6; ++mode) {
        std::vector<double> u(static_cast<size_t>(nd), 0.0);
        for (int k = 1; k <= e.nn; ++k) {
            const double p[3] = {e.X(k) - 1.0, e.Y(k) - 2.0, e.Z(k) + 0.5};
            double w[3] = {0, 0, 0}, c[3] = {0, 0, 0};
            if (mode < 3) c[mode] = 1.0;
            else w[mode - 3] = 1.0;
            const double disp[3] = {c[0] + w[1] * p[2] - w[2] * p[1], c[1] + w[2] * p[0] - w[0] * p[2],
                                    c[2] + w[0] * p[1] - w[1] * p[0]};
            for (int i = 0; i < 3; ++i) {
                u[static_cast<size_t>(6 * (k - 1) + i)] = disp[i];
                u[static_cast<size_t>(6 * (k - 1) + 3 + i)] = is_quad(GetParam().kind) && mode >= 3 ? 0.0 : w[i];
            }
        }
        if (is_quad(GetParam().kind) && mode >= 3) {
            // The quadrilateral's drilling spring resists theta-z, so its rigid rotation is
            // taken with the rotations about the in-plane axes only.
            for (int k = 1; k <= e.nn; ++k) {
                double w[3] = {0, 0, 0};
                w[mode - 3] = 1.0;
                const double wn = e.T(3, 1) * w[0] + e.T(3, 2) * w[1] + e.T(3, 3) * w[2];
                for (int i = 0; i < 3; ++i) u[static_cast<size_t>(6 * (k - 1) + 3 + i)] = w[i] - wn * e.T(3, i + 1);
            }
        }
        for (int i = 1; i <= nd; ++i) {
            double f = 0.0;
            for (int j = 1; j <= nd; ++j) f += K(i, j) * u[static_cast<size_t>(j - 1)];
            EXPECT_NEAR(f, 0.0, 1e-9 * kmax) << "mode " << mode << " row " << i;
        }
    }
}

TEST_P(PlateStiffness, ConstantMembraneStrainEnergy)
{
    // u = a x + b y, v = c x + d y: energy = eps^T D eps * t * area for any shape.
    const double t = 0.3;
    build(t);
    stiffness(lib, GetParam().kind, e, K, 0);
    const double a = 1e-3, b = -4e-4, c = 7e-4, d = -2e-4;
    const std::vector<double> u = membrane_field(e, a, b, c, d);
    double D[3][3];
    plane_stress(kE, kNu, D);
    const double eps[3] = {a, d, b + c};
    double ref = 0.0;
    for (int i = 0; i < 3; ++i)
        for (int j = 0; j < 3; ++j) ref += eps[i] * D[i][j] * eps[j];
    ref *= t * polygon_area(e);
    EXPECT_NEAR(energy(K, u, n()), ref, 1e-10 * ref);
}

TEST_P(PlateStiffness, ConstantCurvatureEnergyWithoutShear)
{
    // w = (kx x^2 + ky y^2 + kxy x y)/2 with Kirchhoff rotations: energy = kappa^T Db kappa
    // * area, Db = t^3/12 D, also for the thick elements (no shear strain arises).
    const double t = 0.3;
    build(t);
    stiffness(lib, GetParam().kind, e, K, 0);
    const double kx = 2e-3, ky = -1e-3, kxy = 1.5e-3;
    const std::vector<double> u = kirchhoff_field(e, kx, ky, kxy);
    double D[3][3];
    plane_stress(kE, kNu, D);
    const double kap[3] = {kx, ky, kxy};
    double ref = 0.0;
    for (int i = 0; i < 3; ++i)
        for (int j = 0; j < 3; ++j) ref += kap[i] * D[i][j] * kap[j];
    ref *= t * t * t / 12.0 * polygon_area(e);
    EXPECT_NEAR(energy(K, u, n()), ref, 1e-9 * ref);
}

TEST_P(PlateStiffness, ThickBendingApproachesThinAsThicknessShrinks)
{
    // Scaled by t^3, the thick element's plate block tends to the thin one's (the side
    // shear ratios vanish like t^2).
    const Kind thick = is_quad(GetParam().kind) ? Kind::quad_thick : Kind::tri_thick;
    const Kind thin = is_quad(GetParam().kind) ? Kind::quad_thin : Kind::tri_thin;
    double previous = 1e300;
    for (double t : {0.2, 0.02, 0.002}) {
        build(t);
        FixedMatrix<24, 24> Kt, Kn;
        stiffness(lib, thick, e, Kt, 0);
        stiffness(lib, thin, e, Kn, 0);
        double diff = 0.0, norm = 0.0;
        for (int a = 0; a < e.nn; ++a)
            for (int b = 0; b < e.nn; ++b)
                for (int i = 3; i <= 5; ++i)
                    for (int j = 3; j <= 5; ++j) {
                        const double x = Kt(6 * a + i, 6 * b + j), y = Kn(6 * a + i, 6 * b + j);
                        diff += (x - y) * (x - y);
                        norm += y * y;
                    }
        const double rel = std::sqrt(diff / norm);
        EXPECT_LT(rel, previous);
        previous = rel;
    }
    EXPECT_LT(previous, 1e-3);
}

INSTANTIATE_TEST_SUITE_P(Elements, PlateStiffness,
                         ::testing::Values(StiffnessCase{Kind::quad_thick, false}, StiffnessCase{Kind::quad_thick, true},
                                           StiffnessCase{Kind::quad_thin, false}, StiffnessCase{Kind::quad_thin, true},
                                           StiffnessCase{Kind::tri_thick, false}, StiffnessCase{Kind::tri_thick, true},
                                           StiffnessCase{Kind::tri_thin, false}, StiffnessCase{Kind::tri_thin, true}),
                         case_name);

class QuadShell : public ::testing::Test {
protected:
    SharedBlocks blocks;
    ElementLibrary lib{Build::history, blocks};
    Element e;
    FixedMatrix<24, 24> K;
};

TEST_F(QuadShell, IncompatibleModeRectangleBendsExactly)
{
    // In-plane pure bending of a 2a x 2b rectangle: u = k x y, v = -k (x^2 + nu y^2)/2
    // (centred), sigma-x = E k y: energy = E k^2 t (2a)(2b)^3/12, exact with the bubbles.
    const double a = 1.5, b = 0.5, t = 0.2, k = 1e-3;
    set_isotropic(blocks, kE, kNu, t);
    e.tilted_axes();
    e.place({{-a, -b, 0}, {a, -b, 0}, {a, b, 0}, {-a, b, 0}});
    for (Kind kind : {Kind::quad_thick, Kind::quad_thin}) {
        stiffness(lib, kind, e, K, 0);
        std::vector<double> u(24, 0.0);
        for (int n = 0; n < 4; ++n) {
            const double x = e.local[static_cast<size_t>(n)][0], y = e.local[static_cast<size_t>(n)][1];
            u[static_cast<size_t>(6 * n)] = k * x * y;
            u[static_cast<size_t>(6 * n + 1)] = -k * (x * x + kNu * y * y) / 2.0;
        }
        const double ref = kE * k * k * t * (2 * a) * std::pow(2 * b, 3) / 12.0;
        EXPECT_NEAR(energy(K, u, 24), ref, 1e-10 * ref) << kind_name(kind);
    }
}

TEST_F(QuadShell, DrillingSpringOfTheThickElement)
{
    // Flat element: theta-z rows only carry the spring, 1e-5 of the softest diagonal, or
    // the stiffest / 1e10 when that is larger (very thin plates).
    e.identity_axes();
    e.place({{0, 0, 0}, {2, 0, 0}, {2, 1, 0}, {0, 1, 0}});
    for (double t : {0.3, 1e-4}) {
        set_isotropic(blocks, kE, kNu, t);
        stiffness(lib, Kind::quad_thick, e, K, 0);
        double kmin = 1e300, kmax = -1e300;
        for (int i = 1; i <= 24; ++i) {
            if (i % 6 == 0) continue;
            kmin = std::min(kmin, K(i, i));
            kmax = std::max(kmax, K(i, i));
        }
        const double kd = kmax / (1e-5 * kmin) > 1e10 ? kmax / 1e10 : 1e-5 * kmin;
        if (t < 1e-3) {
            EXPECT_EQ(kd, kmax / 1e10);
        }
        for (int a = 1; a <= 4; ++a) {
            EXPECT_EQ(K(6 * a, 6 * a), kd);
            for (int j = 1; j <= 24; ++j) {
                if (j != 6 * a) {
                    EXPECT_EQ(K(6 * a, j), 0.0);
                }
            }
        }
    }
}

TEST_F(QuadShell, ThinDrillingSpringSharedByNodalArea)
{
    // Square: each node's area is a quarter, so every spring is 0.25e-5 kmin.
    set_isotropic(blocks, kE, kNu, 0.2);
    e.identity_axes();
    e.place({{0, 0, 0}, {1, 0, 0}, {1, 1, 0}, {0, 1, 0}});
    stiffness(lib, Kind::quad_thin, e, K, 0);
    double kmin = 1e300;
    for (int i = 1; i <= 24; ++i)
        if (i % 6) kmin = std::min(kmin, K(i, i));
    for (int a = 1; a <= 4; ++a) EXPECT_DOUBLE_EQ(K(6 * a, 6 * a), 0.25e-5 * kmin);
}

// Coupling of u, v, theta-z with w, theta-x, theta-y: non-zero only for a warped element.
double membrane_bending_coupling(const FixedMatrix<24, 24>& K)
{
    double s = 0.0;
    for (int a = 0; a < 4; ++a)
        for (int b = 0; b < 4; ++b)
            for (int i : {1, 2, 6})
                for (int j : {3, 4, 5}) s += std::fabs(K(6 * a + i, 6 * b + j));
    return s;
}

TEST_F(QuadShell, WarpingIsDetectedFromNodeOneAndEachToleranceIsKept)
{
    // Offsets (0, +d, 0, -d) about the mean plane: node 1 lies on it, so neither element
    // sees warping; numbered from node 2 both do, the thick one only above 1e-5 of the
    // element size, the thin one already above 1e-7.
    set_isotropic(blocks, kE, kNu, 0.2);
    e.identity_axes();
    struct Case {
        double d;
        bool thick_warped, thin_warped;
    };
    for (const Case& c : {Case{1e-2, true, true}, Case{1e-6, false, true}, Case{1e-9, false, false}}) {
        const std::vector<std::array<double, 3>> from1 = {{0, 0, 0}, {2, 0, c.d}, {2, 2, 0}, {0, 2, -c.d}};
        const std::vector<std::array<double, 3>> from2 = {from1[1], from1[2], from1[3], from1[0]};
        for (Kind kind : {Kind::quad_thick, Kind::quad_thin}) {
            const bool expect = kind == Kind::quad_thick ? c.thick_warped : c.thin_warped;
            e.place(from1);
            stiffness(lib, kind, e, K, 0);
            EXPECT_EQ(membrane_bending_coupling(K), 0.0) << kind_name(kind) << " d=" << c.d;
            e.place(from2);
            stiffness(lib, kind, e, K, 0);
            EXPECT_EQ(membrane_bending_coupling(K) > 0.0, expect) << kind_name(kind) << " d=" << c.d;
        }
    }
}

TEST(QuadWarping, ThinAndThickWarpingColumnsHaveOppositeSigns)
{
    FixedMatrix<3, 4> XL;
    FixedMatrix<2, 4> XY;
    FixedVector<4> h;
    const double pts[4][3] = {{0, 0, 0.01}, {2.1, 0.2, -0.01}, {1.8, 1.9, 0.01}, {-0.1, 1.6, -0.01}};
    for (int k = 1; k <= 4; ++k) {
        for (int i = 1; i <= 3; ++i) XL(i, k) = pts[k - 1][i - 1];
        XY(1, k) = pts[k - 1][0];
        XY(2, k) = pts[k - 1][1];
        h(k) = pts[k - 1][2];
    }
    FixedMatrix<3, 24> Bthick, Bthin;
    QuadThinEdgeTerms terms;
    quad_warp_matrix(XY, h, Bthick);
    quad_thin_edge_terms(XL, terms, Bthin);
    for (int c : {1, 2, 6, 7, 8, 12, 13, 14, 18, 19, 20, 24})
        for (int r = 1; r <= 3; ++r) {
            EXPECT_NE(Bthick(r, c), 0.0);
            EXPECT_DOUBLE_EQ(Bthin(r, c), -Bthick(r, c)) << r << "," << c;
        }
    // Rectangle 2 x 1 from the origin: P = -1.5 dx / L^2 per edge.
    FixedMatrix<3, 4> R;
    const double rect[4][2] = {{0, 0}, {2, 0}, {2, 1}, {0, 1}};
    for (int k = 1; k <= 4; ++k) {
        R(1, k) = rect[k - 1][0];
        R(2, k) = rect[k - 1][1];
    }
    quad_thin_edge_terms(R, terms, Bthin);
    EXPECT_DOUBLE_EQ(terms.P(1), -0.75);
    EXPECT_EQ(terms.P(2), 0.0);
    EXPECT_DOUBLE_EQ(terms.P(3), 0.75);
    EXPECT_EQ(terms.P(4), 0.0);
}

TEST(TriangleShell, LocalAndGlobalFormsAndBendingOnly)
{
    // iflag 0 is local; 1 is T^T K T of it block by block; the thin triangle's iflag 2
    // keeps only bending before the rotation; rows 19..24 stay zero.
    SharedBlocks blocks;
    ElementLibrary lib{Build::history, blocks};
    set_isotropic(blocks, kE, kNu, 0.1);
    Element e;
    e.tilted_axes();
    e.place({{0, 0, 0}, {1.7, 0, 0}, {0.4, 1.2, 0}});
    static FixedMatrix<24, 24> K0, K1, K2, W;
    for (Kind kind : {Kind::tri_thick, Kind::tri_thin}) {
        stiffness(lib, kind, e, K0, 0);
        stiffness(lib, kind, e, K1, 1);
        for (int i = 19; i <= 24; ++i)
            for (int j = 1; j <= 24; ++j) EXPECT_EQ(K1(i, j), 0.0);
        for (int I = 0; I < 6; ++I)
            for (int J = 0; J < 6; ++J)
                for (int a = 1; a <= 3; ++a)
                    for (int b = 1; b <= 3; ++b) {
                        double s = 0.0;
                        for (int m = 1; m <= 3; ++m)
                            for (int l = 1; l <= 3; ++l) s += e.T(m, a) * K0(3 * I + m, 3 * J + l) * e.T(l, b);
                        EXPECT_NEAR(K1(3 * I + a, 3 * J + b), s, 1e-9 * std::fabs(K0(3, 3)));
                    }
    }
    double area = 0.0;
    lib.tri_thin_stiffness(K2, W, 24, e.X, e.Y, e.Z, e.T, area, 2);
    EXPECT_NEAR(area, 0.5 * 1.7 * 1.2, 1e-12);
    // Bending-only in global axes: a global translation in the element plane loads nothing
    // and the in-plane local stiffness of the full shell is gone.
    std::vector<double> u(24, 0.0);
    for (int k = 0; k < 3; ++k)
        for (int i = 0; i < 3; ++i) u[static_cast<size_t>(6 * k + i)] = e.local[static_cast<size_t>(k)][0] * e.T(1, i + 1);
    EXPECT_NEAR(energy(K2, u, 18), 0.0, 1e-12);
    EXPECT_GT(energy(K1, u, 18), 1.0);
}

}  // namespace
}  // namespace kvpvs::recovery::test
