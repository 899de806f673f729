// Plate result routines: the four routines agree on a Kirchhoff constant-curvature field
// and give (t/2) D kappa; constant membrane strain gives D eps; the incompatible-mode
// rectangle bends exactly; the two builds agree on parallelograms with the membrane flag 0
// and differ where they are meant to; transverse shear rows, orthotropic shear, retained
// element data and the compact form.
#include <cmath>
#include <gtest/gtest.h>
#include <ostream>
#include <string>
#include <vector>

#include "plate_test_support.h"

namespace kvpvs::recovery::test {
namespace {

constexpr double kE = 2.0e5, kNu = 0.25;

using Out = FixedMatrix<8, 5>;
using Disp = FixedMatrix<6, 4>;

void to_disp(const std::vector<double>& u, int nn, Disp& U)
{
    U.fill(0.0);
    for (int k = 1; k <= nn; ++k)
        for (int d = 1; d <= 6; ++d) U(d, k) = u[static_cast<size_t>(6 * (k - 1) + d - 1)];
}

void results(ElementLibrary& lib, Kind kind, Element& e, Disp& U, Out& out, int istep)
{
    int nn = e.nn;
    switch (kind) {
    case Kind::quad_thick: lib.quad_thick_results(4, U, out, e.XYZ, e.T, istep, 0); break;
    case Kind::quad_thin: lib.quad_thin_results(4, U, out, e.XYZ, e.T, istep, 0); break;
    case Kind::tri_thick: lib.tri_thick_results(nn, U, out, e.XYZ, e.T, istep); break;
    case Kind::tri_thin: lib.tri_thin_results(nn, U, out, e.XYZ, e.T, istep, 1); break;
    }
}

void place(Element& e, Kind kind)
{
    e.tilted_axes();
    if (is_quad(kind)) e.place({{0, 0, 0}, {2.2, 0.3, 0}, {1.9, 1.7, 0}, {-0.2, 1.3, 0}});
    else e.place({{0, 0, 0}, {2.1, 0, 0}, {0.6, 1.4, 0}});
}

class PlateResults : public ::testing::TestWithParam<Kind> {
protected:
    SharedBlocks blocks;
    ElementLibrary lib{Build::history, blocks};
    Element e;
    Disp U;
    Out out;
    const double t = 0.24;
    void SetUp() override
    {
        set_isotropic(blocks, kE, kNu, t);
        place(e, GetParam());
    }
};

TEST_P(PlateResults, BendingStressIsHalfThicknessTimesDTimesCurvature)
{
    // w = (kx x^2 + ky y^2 + kxy x y)/2, theta-x = w,y, theta-y = -w,x: the routines'
    // curvatures (beta-x = theta-y, beta-y = -theta-x) are -(kx, ky, kxy); every point
    // carries sigma = (t/2) D kappa and no membrane or shear stress.
    const double kx = 3e-3, ky = -1e-3, kxy = 2e-3;
    to_disp(kirchhoff_field(e, kx, ky, kxy), e.nn, U);
    results(lib, GetParam(), e, U, out, 1);
    double D[3][3];
    plane_stress(kE, kNu, D);
    const double kap[3] = {-kx, -ky, -kxy};
    for (int p = 1; p <= 5; ++p) {
        for (int r = 0; r < 3; ++r) {
            const double ref = t / 2.0 * (D[r][0] * kap[0] + D[r][1] * kap[1] + D[r][2] * kap[2]);
            EXPECT_NEAR(out(4 + r, p), ref, 1e-9 * kE * 3e-3 * t) << "row " << 4 + r << " point " << p;
            EXPECT_NEAR(out(1 + r, p), 0.0, 1e-9 * kE * 3e-3 * t);
        }
        EXPECT_NEAR(out(7, p), 0.0, 1e-9 * kE * 3e-3 * t);
        EXPECT_NEAR(out(8, p), 0.0, 1e-9 * kE * 3e-3 * t);
    }
}

TEST_P(PlateResults, ConstantMembraneStrainGivesPlaneStress)
{
    const double a = 1e-3, b = -4e-4, c = 7e-4, d = -2e-4;
    to_disp(membrane_field(e, a, b, c, d), e.nn, U);
    results(lib, GetParam(), e, U, out, 1);
    double D[3][3];
    plane_stress(kE, kNu, D);
    const double eps[3] = {a, d, b + c};
    for (int p = 1; p <= 5; ++p) {
        for (int r = 0; r < 3; ++r) {
            const double ref = D[r][0] * eps[0] + D[r][1] * eps[1] + D[r][2] * eps[2];
            EXPECT_NEAR(out(1 + r, p), ref, 1e-9 * kE * 1e-3) << "row " << 1 + r << " point " << p;
        }
        for (int r = 4; r <= 8; ++r) EXPECT_EQ(out(r, p), 0.0) << "row " << r;
    }
}

TEST_P(PlateResults, ZeroMotionAndRigidTranslationGiveNoStress)
{
    std::vector<double> u(static_cast<size_t>(6 * e.nn), 0.0);
    for (int k = 0; k < e.nn; ++k) {
        u[static_cast<size_t>(6 * k)] = 0.3;
        u[static_cast<size_t>(6 * k + 1)] = -0.2;
        u[static_cast<size_t>(6 * k + 2)] = 0.7;
    }
    to_disp(u, e.nn, U);
    results(lib, GetParam(), e, U, out, 1);
    for (int p = 1; p <= 5; ++p)
        for (int r = 1; r <= 8; ++r) EXPECT_NEAR(out(r, p), 0.0, 1e-9 * kE) << r << "," << p;
}

TEST_P(PlateResults, EvaluationUsesTheLastRebuiltElement)
{
    // Rebuild for element B after element A: a later step reads only U and B's data.
    Element other;
    other.identity_axes();
    if (is_quad(GetParam())) other.place({{0, 0, 0}, {1, 0, 0}, {1, 3, 0}, {0, 3, 0}});
    else other.place({{0, 0, 0}, {1, 0, 0}, {0, 3, 0}});
    to_disp(kirchhoff_field(e, 1e-3, 2e-3, 0.5e-3), e.nn, U);
    for (int k = 1; k <= e.nn; ++k) U(1, k) = 1e-3 * k;
    Out onA, onB, step2;
    results(lib, GetParam(), e, U, onA, 1);
    results(lib, GetParam(), other, U, onB, 1);
    results(lib, GetParam(), e, U, step2, 2);
    for (int i = 1; i <= 40; ++i) EXPECT_EQ(step2(i), onB(i));
    double diff = 0.0;
    for (int i = 1; i <= 40; ++i) diff += std::fabs(onA(i) - onB(i));
    EXPECT_GT(diff, 0.0);
}

INSTANTIATE_TEST_SUITE_P(Routines, PlateResults,
                         ::testing::Values(Kind::quad_thick, Kind::quad_thin, Kind::tri_thick, Kind::tri_thin),
                         [](const ::testing::TestParamInfo<Kind>& i) { return std::string(kind_name(i.param)); });

// Pure in-plane bending of a 2a x 2b rectangle: sigma-x = E k y at the Gauss points.
void pure_bending(Element& e, double a, double b, double k, Disp& U)
{
    U.fill(0.0);
    for (int n = 1; n <= 4; ++n) {
        const double x = e.local[static_cast<size_t>(n - 1)][0], y = e.local[static_cast<size_t>(n - 1)][1];
        U(1, n) = k * x * y;
        U(2, n) = -k * (x * x + kNu * y * y) / 2.0;
    }
    (void)a;
    (void)b;
}

struct BuildCase {
    Kind kind;
    int membrane_flag;
};

void PrintTo(const BuildCase& c, std::ostream* os)
{
    *os << kind_name(c.kind) << ", membrane flag " << c.membrane_flag;
}

class QuadBuilds : public ::testing::TestWithParam<BuildCase> {
protected:
    SharedBlocks blocks;
    ElementLibrary history{Build::history, blocks};
    ElementLibrary step{Build::single_step, blocks};
    Element e;
    Disp U;
    Out h, s;
    void run(Element& el)
    {
        blocks.membrane_flag = GetParam().membrane_flag;
        Disp U1 = U, U2 = U;
        results(history, GetParam().kind, el, U1, h, 1);
        results(step, GetParam().kind, el, U2, s, 1);
    }
};

TEST_P(QuadBuilds, IncompatibleModeRectangleRecoversExactBendingStress)
{
    // With the bubble amplitudes (membrane flag 0, or the single-step build) the stresses
    // are exact; the history build with the flag set leaves them out and shows the
    // bilinear element's parasitic shear.
    set_isotropic(blocks, kE, kNu, 0.2);
    const double a = 1.5, b = 0.5, k = 1e-3, g = 1.0 / std::sqrt(3.0);
    e.tilted_axes();
    e.place({{-a, -b, 0}, {a, -b, 0}, {a, b, 0}, {-a, b, 0}});
    pure_bending(e, a, b, k, U);
    run(e);
    const double ys[5] = {0.0, -b * g, -b * g, b * g, b * g};
    for (int p = 1; p <= 5; ++p) {
        EXPECT_NEAR(s(1, p), kE * k * ys[p - 1], 1e-9 * kE * k);
        EXPECT_NEAR(s(2, p), 0.0, 1e-9 * kE * k);
        EXPECT_NEAR(s(3, p), 0.0, 1e-9 * kE * k);
        if (GetParam().membrane_flag == 0) {
            EXPECT_NEAR(h(1, p), kE * k * ys[p - 1], 1e-9 * kE * k);
            EXPECT_NEAR(h(3, p), 0.0, 1e-9 * kE * k);
        }
    }
    if (GetParam().membrane_flag != 0) {
        EXPECT_GT(std::fabs(h(3, 2)), 1e-3 * kE * k);
    }
}

TEST_P(QuadBuilds, BuildsDifferOnlyWithTheFlagSetOrOnAThickTrapezoid)
{
    // Any displacement: rows 4..8 never differ between the builds. Rows 1..3 agree with
    // the membrane flag 0 on a parallelogram (point and centre determinants coincide);
    // with the flag set the history build drops the bubbles; on a trapezoid the thick
    // element's single-step build scales them by the centre determinant.
    set_isotropic(blocks, kE, kNu, 0.2);
    e.tilted_axes();
    U.fill(0.0);
    for (int k = 1; k <= 4; ++k)
        for (int d = 1; d <= 6; ++d) U(d, k) = 1e-3 * std::sin(1.0 + 3.0 * k + 7.0 * d);
    struct Shape {
        std::vector<std::array<double, 3>> pts;
        bool parallelogram;
    };
    for (const Shape& sh : {Shape{{{0, 0, 0}, {2, 0, 0}, {2.6, 1.2, 0}, {0.6, 1.2, 0}}, true},
                            Shape{{{0, 0, 0}, {2, 0, 0}, {1.6, 1.2, 0}, {0.3, 1.2, 0}}, false}}) {
        e.place(sh.pts);
        run(e);
        double membrane = 0.0;
        for (int p = 1; p <= 5; ++p) {
            for (int r = 4; r <= 8; ++r) EXPECT_EQ(h(r, p), s(r, p));
            for (int r = 1; r <= 3; ++r) membrane = std::max(membrane, std::fabs(h(r, p) - s(r, p)));
        }
        const bool differ = GetParam().membrane_flag != 0 || (!sh.parallelogram && GetParam().kind == Kind::quad_thick);
        if (differ) {
            EXPECT_GT(membrane, 1e-6 * kE * 1e-3);
        } else {
            EXPECT_LT(membrane, 1e-10 * kE * 1e-3);
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Both, QuadBuilds,
                         ::testing::Values(BuildCase{Kind::quad_thick, 0}, BuildCase{Kind::quad_thick, 1},
                                           BuildCase{Kind::quad_thin, 0}, BuildCase{Kind::quad_thin, 1}),
                         [](const ::testing::TestParamInfo<BuildCase>& i) {
                             return std::string(kind_name(i.param.kind)) + "Flag" + std::to_string(i.param.membrane_flag);
                         });

class ThickShear : public ::testing::Test {
protected:
    SharedBlocks blocks;
    ElementLibrary lib{Build::history, blocks};
    Element e;
    Disp U;
    Out iso, ortho;
    // Transverse shear state: w = a x + b y with zero rotations.
    void shear_field(double a, double b)
    {
        U.fill(0.0);
        for (int k = 1; k <= e.nn; ++k)
            U(3, k) = a * e.local[static_cast<size_t>(k - 1)][0] + b * e.local[static_cast<size_t>(k - 1)][1];
    }
};

TEST_F(ThickShear, OrthotropicTriangleShearIsNotReducedBy1Point2)
{
    // The orthotropic thick triangle takes ortho(8), ortho(9) as they stand, the isotropic
    // one G/1.2: with ortho(8) = ortho(9) = G rows 7 and 8 are 1.2 times the isotropic.
    const double G = kE / (2.0 * (1.0 + kNu));
    place(e, Kind::tri_thick);
    shear_field(1e-3, -2e-3);
    int nn = 3;
    set_isotropic(blocks, kE, kNu, 0.3);
    lib.tri_thick_results(nn, U, iso, e.XYZ, e.T, 1);
    set_orthotropic(blocks, kE, kNu, G, G, G, 0.3);
    lib.tri_thick_results(nn, U, ortho, e.XYZ, e.T, 1);
    for (int p = 1; p <= 5; ++p) {
        EXPECT_NE(iso(7, p), 0.0);
        EXPECT_NE(iso(8, p), 0.0);
        EXPECT_NEAR(ortho(7, p), 1.2 * iso(7, p), 1e-12 * std::fabs(iso(7, p)));
        EXPECT_NEAR(ortho(8, p), 1.2 * iso(8, p), 1e-12 * std::fabs(iso(8, p)));
    }
    // The quadrilateral divides the orthotropic moduli as well: rows 7, 8 unchanged.
    place(e, Kind::quad_thick);
    shear_field(1e-3, -2e-3);
    set_isotropic(blocks, kE, kNu, 0.3);
    lib.quad_thick_results(4, U, iso, e.XYZ, e.T, 1, 0);
    set_orthotropic(blocks, kE, kNu, G, G, G, 0.3);
    lib.quad_thick_results(4, U, ortho, e.XYZ, e.T, 1, 0);
    for (int p = 1; p <= 5; ++p) EXPECT_NEAR(ortho(7, p), iso(7, p), 1e-12 * std::fabs(iso(7, p)) + 1e-12);
}

TEST_F(ThickShear, Row7IsTheYComponentAndRow8TheX)
{
    // ortho(8) is the modulus of the first (x) plane, ortho(9) of the second (y): scaling
    // one moves one row only.
    const double G = kE / (2.0 * (1.0 + kNu));
    for (Kind kind : {Kind::tri_thick, Kind::quad_thick}) {
        place(e, kind);
        shear_field(1e-3, -2e-3);
        Out base, x2, y2;
        int nn = e.nn;
        auto run = [&](Out& o) {
            if (kind == Kind::tri_thick) lib.tri_thick_results(nn, U, o, e.XYZ, e.T, 1);
            else lib.quad_thick_results(4, U, o, e.XYZ, e.T, 1, 0);
        };
        set_orthotropic(blocks, kE, kNu, G, G, G, 0.3);
        run(base);
        set_orthotropic(blocks, kE, kNu, G, 2 * G, G, 0.3);
        run(x2);
        set_orthotropic(blocks, kE, kNu, G, G, 2 * G, 0.3);
        run(y2);
        for (int p = 1; p <= 5; ++p) {
            EXPECT_NEAR(x2(8, p), 2 * base(8, p), 1e-12 * std::fabs(base(8, p)) + 1e-15) << kind_name(kind);
            EXPECT_EQ(x2(7, p), base(7, p)) << kind_name(kind);
            EXPECT_NEAR(y2(7, p), 2 * base(7, p), 1e-12 * std::fabs(base(7, p)) + 1e-15) << kind_name(kind);
            EXPECT_EQ(y2(8, p), base(8, p)) << kind_name(kind);
        }
    }
}

TEST(PlateResultDetails, CompactFormPacksMembraneStressesThroughU)
{
    SharedBlocks blocks;
    ElementLibrary lib{Build::history, blocks};
    set_isotropic(blocks, kE, kNu, 0.2);
    Element e;
    place(e, Kind::quad_thick);
    Disp U, V;
    to_disp(membrane_field(e, 1e-3, 2e-4, -3e-4, 5e-4), 4, U);
    for (int k = 1; k <= 4; ++k) U(3, k) = 1e-3 * k;
    V = U;
    Out full, packed;
    lib.quad_thick_results(4, U, full, e.XYZ, e.T, 1, 0);
    lib.quad_thick_results(4, V, packed, e.XYZ, e.T, 1, 1);
    for (int p = 1; p <= 5; ++p)
        for (int r = 1; r <= 3; ++r) {
            EXPECT_EQ(packed(3 * (p - 1) + r), full(r, p));
            EXPECT_EQ(V(3 * (p - 1) + r), full(r, p));
        }
    for (int k = 16; k <= 24; ++k) EXPECT_EQ(V(k), 0.0);
}

TEST(PlateResultDetails, DrillingAndWarpingFreedoms)
{
    // Flat elements: theta-z and (thick) u, v leave the bending and shear rows alone;
    // equal corner drilling rotations strain no triangle. A warped thin quadrilateral's
    // bending rows see u, v and theta-z at all five points.
    SharedBlocks blocks;
    ElementLibrary lib{Build::history, blocks};
    set_isotropic(blocks, kE, kNu, 0.2);
    for (Kind kind : {Kind::quad_thick, Kind::quad_thin, Kind::tri_thick, Kind::tri_thin}) {
        Element e;
        place(e, kind);
        Disp U;
        U.fill(0.0);
        for (int k = 1; k <= e.nn; ++k) U(6, k) = 0.01;
        Out out;
        results(lib, kind, e, U, out, 1);
        for (int i = 1; i <= 40; ++i) EXPECT_NEAR(out(i), 0.0, 1e-9) << kind_name(kind) << " " << i;
    }
    Element w;
    w.tilted_axes();
    w.place({{0, 0, 0.05}, {2, 0, -0.05}, {2, 2, 0.05}, {0, 2, -0.05}});
    Disp U;
    U.fill(0.0);
    U(6, 2) = 0.01;
    Out out;
    lib.quad_thin_results(4, U, out, w.XYZ, w.T, 1, 0);
    for (int p = 1; p <= 5; ++p) EXPECT_GT(std::fabs(out(4, p)) + std::fabs(out(5, p)) + std::fabs(out(6, p)), 0.0);
}

TEST(PlateResultDetails, TrianglesReportTheCentroidInEveryColumnAndSetTheNodeCount)
{
    SharedBlocks blocks;
    ElementLibrary lib{Build::single_step, blocks};
    set_isotropic(blocks, kE, kNu, 0.2);
    Element e;
    place(e, Kind::tri_thin);
    Disp U;
    for (int k = 1; k <= 3; ++k)
        for (int d = 1; d <= 6; ++d) U(d, k) = 1e-3 * std::cos(2.0 * k + d);
    Out o1, o2;
    int nn = 7;
    lib.tri_thick_results(nn, U, o1, e.XYZ, e.T, 1);
    EXPECT_EQ(nn, 3);
    nn = 9;
    lib.tri_thin_results(nn, U, o2, e.XYZ, e.T, 5, 2);  // mode 2 rebuilds at any step
    EXPECT_EQ(nn, 3);
    for (int p = 2; p <= 5; ++p)
        for (int r = 1; r <= 8; ++r) {
            EXPECT_EQ(o1(r, p), o1(r, 1));
            EXPECT_EQ(o2(r, p), o2(r, 1));
        }
    EXPECT_EQ(o2(7, 1), 0.0);
    EXPECT_EQ(o2(8, 1), 0.0);
    // Mode 0 never rebuilds, even at step 1.
    Element other;
    other.identity_axes();
    other.place({{0, 0, 0}, {1, 0, 0}, {0, 3, 0}});
    Out o3;
    nn = 3;
    lib.tri_thin_results(nn, U, o3, other.XYZ, other.T, 1, 0);
    for (int i = 1; i <= 40; ++i) EXPECT_EQ(o3(i), o2(i));
}

}  // namespace
}  // namespace kvpvs::recovery::test
