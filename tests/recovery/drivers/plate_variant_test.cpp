// The four-node plate with a direction-dependent section (section value 11 = 1), history build:
// a parallelogram stretched and bent to constant curvature gives N = Dm eps with the section's
// membrane matrix, moments Db11 kx, Db22 ky, Db33 kxy without Poisson coupling (Db11 = E h3^3 / 12,
// Db22 = E h4^3 / 12, Db33 = E h5^3 / 24), surface stresses from each direction's thicknesses and
// fibre distances, and no shear; isotropic and equivalent orthotropic sections agree; a section
// without thickness stays finite.
#include "plate_fixture.h"

#include <algorithm>
#include <cmath>

namespace kvpvs::testing::plate {
namespace {

constexpr int STEPS = 4;
double gm(int i) { return std::cos(0.9 * i); }
double gc(int i) { return 0.3 - std::sin(0.5 * i); }
constexpr double A = 1e-3, B = -4e-4, C = 7e-4, D = -2e-4;
constexpr double KX = 3e-3, KY = -1e-3, KXY = 2e-3;

using Section = std::array<double, 11>;
// h1, h2 membrane x, y; h3, h4, h5 bending x, y, xy; h6, h7 and h8, h9 fibre distances; switch.
constexpr Section kSection = {0.3, 0.2, 0.24, 0.2, 0.22, 0.12, 0.11, 0.1, 0.09, 0.0, 1.0};

class PlateVariant : public PlateFamilyTest {
protected:
    PlateRecordFacts variant(const Plate& p, int code, const Section& h = kSection) const
    {
        PlateRecordFacts f = facts(p, code);
        f.section = h;
        return f;
    }
    void stretch_and_bend(const Plate& p)
    {
        const std::vector<double> m = to_global(p, membrane_field(p, A, B, C, D));
        const std::vector<double> k = to_global(p, curvature_field(p, KX, KY, KXY));
        std::vector<std::vector<double>> q(2);
        for (int i = 1; i <= STEPS; ++i) {
            q[0].push_back(gm(i));
            q[1].push_back(gc(i));
        }
        modal_history({m, k}, q);
    }
};

// Rows 25..94 of one step of the isotropic section h.
Rows closed_form(const Section& h, double fm, double fc)
{
    const double tm = std::max(h[0], h[1]);
    const double c = 1.0 / (1.0 - kNu * kNu);
    const double a1 = h[0] / tm * kE, a2 = h[1] / tm * kE;
    const double a3 = (h[0] + h[1]) / 2.0 / tm * kE / (2.0 * (1.0 + kNu));
    const double ex = fm * A, ey = fm * D, gxy = fm * (B + C);
    const double N[3] = {c * a1 * tm * ex + c * kNu * (a1 + a2) / 2.0 * tm * ey,
                         c * kNu * (a1 + a2) / 2.0 * tm * ex + c * a2 * tm * ey, a3 * tm * gxy};
    const double kx = fc * KX, ky = fc * KY, kxy = fc * KXY;
    const double M[3] = {kE * h[2] * h[2] * h[2] / 12.0 * kx, kE * h[3] * h[3] * h[3] / 12.0 * ky,
                         kE * h[4] * h[4] * h[4] / 24.0 * kxy};
    // Bending stresses b = 12 (Db kappa) / h^3 with kappa = -k: -E kx, -E ky, -E kxy / 2.
    const double b[3] = {-kE * kx, -kE * ky, -kE * kxy / 2.0};
    const double m[3] = {N[0] / h[0], N[1] / h[1], N[2] / ((h[0] + h[1]) / 2.0)};
    Rows r{};
    for (int p = 0; p < 5; ++p) {
        double* w = r.data() + 24 + 14 * p;
        w[0] = m[0] + h[5] * b[0];
        w[1] = m[1] + h[7] * b[1];
        w[2] = m[2] + (h[5] + h[7]) / 2.0 * b[2];
        w[3] = m[0] - h[6] * b[0];
        w[4] = m[1] - h[8] * b[1];
        w[5] = m[2] - (h[6] + h[8]) / 2.0 * b[2];
        for (int k = 0; k < 3; ++k) {
            w[6 + k] = N[k];
            w[9 + k] = M[k];
        }
    }
    return r;
}

double scale_of(const Rows& r)
{
    double s = 0.0;
    for (int j = 24; j < ROWS; ++j)
        s = std::max(s, std::fabs(r[static_cast<std::size_t>(j)]));
    return s;
}

TEST_F(PlateVariant, StretchAndCurvatureGiveTheSectionsClosedForm)
{
    const Plate p = parallelogram();
    stretch_and_bend(p);
    // Codes 0 and 1 both take the variant; code 2 leaves out internal modes, which a constant
    // strain does not excite.
    add_plates({variant(p, 0), variant(p, 1), variant(p, 2)});
    ASSERT_TRUE(builder.write(base));
    for (int record : {1, 2, 3}) {
        const std::vector<Rows> got = history(record, STEPS);
        for (int i = 1; i <= STEPS; ++i) {
            const Rows e = closed_form(kSection, gm(i), gc(i));
            const double tol = 1e-9 * scale_of(e);
            for (int j = 24; j < ROWS; ++j)
                EXPECT_NEAR(got[static_cast<std::size_t>(i - 1)][static_cast<std::size_t>(j)], e[static_cast<std::size_t>(j)], tol)
                    << "record " << record << " step " << i << " row " << j + 1;
        }
    }
}

TEST_F(PlateVariant, InternalModesBendTheRectangleInItsPlaneExactly)
{
    // Nodal values of pure in-plane bending about the centre of the 2 x 1 rectangle: u = k x y,
    // v = -k x^2 / 2. With the internal modes: sigma-x = E k y, nothing else (N = tm sigma);
    // without them the bilinear field's eps-x = k y, eps-y = 0 and gamma = k x reach the nodes.
    const Plate p = rectangle();
    constexpr double K = 2e-3;
    LocalField f;
    for (const auto& q : p.local)
        f.push_back({K * (q[0] - 1.0) * (q[1] - 0.5), -K * (q[0] - 1.0) * (q[0] - 1.0) / 2.0, 0.0, 0.0, 0.0, 0.0});
    direct_history({to_global(p, f)});
    const Section h = {0.25, 0.25, 0.22, 0.22, 0.22, 0.11, 0.11, 0.11, 0.11, 0.0, 1.0};
    add_plates({variant(p, 0, h), variant(p, 2, h)});
    ASSERT_TRUE(builder.write(base));
    const Rows with = history(1, 1)[0];
    const Rows without = history(2, 1)[0];
    const double tm = 0.25, c = kE / (1.0 - kNu * kNu), G = kE / (2.0 * (1.0 + kNu));
    const double corner[4][2] = {{-1.0, -0.5}, {1.0, -0.5}, {1.0, 0.5}, {-1.0, 0.5}};
    const double tol = 1e-9 * tm * kE * K;
    for (int q = 0; q < 5; ++q) {
        const double x = q == 0 ? 0.0 : corner[q - 1][0];
        const double y = q == 0 ? 0.0 : corner[q - 1][1];
        const std::size_t at = static_cast<std::size_t>(24 + 14 * q + 6);
        EXPECT_NEAR(with[at], tm * kE * K * y, tol) << "point " << q + 1;
        EXPECT_NEAR(with[at + 1], 0.0, tol) << "point " << q + 1;
        EXPECT_NEAR(with[at + 2], 0.0, tol) << "point " << q + 1;
        EXPECT_NEAR(without[at], tm * c * K * y, tol) << "point " << q + 1;
        EXPECT_NEAR(without[at + 1], tm * c * kNu * K * y, tol) << "point " << q + 1;
        EXPECT_NEAR(without[at + 2], tm * G * K * x, tol) << "point " << q + 1;
    }
}

TEST_F(PlateVariant, CurvatureAlongXGivesNoMomentAlongY)
{
    const Plate p = parallelogram();
    direct_history({to_global(p, curvature_field(p, KX, 0.0, 0.0))});
    PlateRecordFacts ordinary = facts(p, 0);
    add_plates({variant(p, 0), ordinary});
    ASSERT_TRUE(builder.write(base));
    const Rows v = history(1, 1)[0];
    const Rows o = history(2, 1)[0];
    for (int q = 0; q < 5; ++q) {
        const std::size_t mx = static_cast<std::size_t>(24 + 14 * q + 9);
        EXPECT_NEAR(v[mx], kE * 0.24 * 0.24 * 0.24 / 12.0 * KX, 1e-9 * std::fabs(v[mx]));
        EXPECT_NEAR(v[mx + 1], 0.0, 1e-12 * std::fabs(v[mx]));
        // The ordinary section couples them: My = nu Mx.
        EXPECT_NEAR(o[mx + 1], kNu * o[mx], 1e-9 * std::fabs(o[mx]));
    }
}

TEST_F(PlateVariant, OrthotropicSectionWithIsotropicConstantsAgrees)
{
    const Plate p = trapezoid();
    std::vector<std::vector<double>> series;
    for (int i = 1; i <= 3; ++i) {
        std::vector<double> d;
        for (int j = 1; j <= 24; ++j)
            d.push_back(1e-3 * std::cos(0.9 * j - 0.4 * i));
        series.push_back(d);
    }
    direct_history(series);
    const Section h = {0.25, 0.25, 0.22, 0.22, 0.22, 0.11, 0.11, 0.11, 0.11, 0.0, 1.0};
    PlateRecordFacts iso = variant(p, 0, h);
    PlateRecordFacts ortho = iso;
    ortho.material_type = 1;
    // E2 = E, G12 = E / (2 (1 + nu)), transverse G1 = G2 = E / 2.
    ortho.constants = {kE, 0.0, 0.0, 0.0, 0.0, 0.0, kE / (2.0 * (1.0 + kNu)), kE / 2.0, kE / 2.0};
    add_plates({iso, ortho});
    ASSERT_TRUE(builder.write(base));
    const std::vector<Rows> a = history(1, 3);
    const std::vector<Rows> b = history(2, 3);
    for (int i = 0; i < 3; ++i) {
        const double tol = 1e-12 * scale_of(a[static_cast<std::size_t>(i)]);
        ASSERT_GT(scale_of(a[static_cast<std::size_t>(i)]), 0.0);
        for (int j = 0; j < ROWS; ++j)
            EXPECT_NEAR(b[static_cast<std::size_t>(i)][static_cast<std::size_t>(j)], a[static_cast<std::size_t>(i)][static_cast<std::size_t>(j)], tol)
                << "step " << i + 1 << " row " << j + 1;
    }
}

TEST_F(PlateVariant, LaterValuesReuseTheFirstValuesMatrices)
{
    // The same displacements at every step give the same rows at every step.
    const Plate p = trapezoid();
    std::vector<double> d;
    for (int j = 1; j <= 24; ++j)
        d.push_back(1e-3 * std::sin(1.7 * j));
    direct_history({d, d, d, d});
    add_plates({variant(p, 0), variant(parallelogram(), 1)});
    ASSERT_TRUE(builder.write(base));
    history(2, 4);
    const std::vector<Rows> r = history(1, 4);
    for (int i = 1; i < 4; ++i)
        for (int j = 0; j < ROWS; ++j)
            EXPECT_EQ(r[static_cast<std::size_t>(i)][static_cast<std::size_t>(j)], r[0][static_cast<std::size_t>(j)]) << j + 1;
}

TEST_F(PlateVariant, SectionWithoutMembraneThicknessKeepsItsMoments)
{
    const Plate p = parallelogram();
    stretch_and_bend(p);
    Section no_membrane = kSection;
    no_membrane[0] = no_membrane[1] = 0.0;
    Section nothing{};
    nothing[10] = 1.0;
    add_plates({variant(p, 0, no_membrane), variant(p, 0, nothing)});
    ASSERT_TRUE(builder.write(base));
    const std::vector<Rows> r = history(1, STEPS);
    for (int i = 1; i <= STEPS; ++i) {
        const Rows e = closed_form(kSection, gm(i), gc(i));
        const Rows& g = r[static_cast<std::size_t>(i - 1)];
        for (int q = 0; q < 5; ++q) {
            const std::size_t at = static_cast<std::size_t>(24 + 14 * q);
            for (int k = 0; k < 3; ++k) {
                EXPECT_EQ(g[at + 6 + static_cast<std::size_t>(k)], 0.0);  // no membrane forces
                EXPECT_NEAR(g[at + 9 + static_cast<std::size_t>(k)], e[at + 9 + static_cast<std::size_t>(k)], 1e-9 * scale_of(e));
            }
            // Surface stresses are the bending part alone: h6 b1 and -h7 b1.
            EXPECT_NEAR(g[at], kSection[5] * -kE * gc(i) * KX, 1e-9 * scale_of(e));
            EXPECT_NEAR(g[at + 3], -kSection[6] * -kE * gc(i) * KX, 1e-9 * scale_of(e));
        }
    }
    for (const Rows& g : history(2, STEPS))
        for (int j = 0; j < ROWS; ++j) {
            EXPECT_TRUE(std::isfinite(g[static_cast<std::size_t>(j)])) << j + 1;
            if (j >= 24) {
                EXPECT_EQ(g[static_cast<std::size_t>(j)], 0.0) << j + 1;
            }
        }
}

TEST_F(PlateVariant, TrianglesAndTheSingleStepBuildUseTheOrdinaryKernels)
{
    std::vector<std::vector<double>> series;
    for (int i = 1; i <= 2; ++i) {
        std::vector<double> d;
        for (int j = 1; j <= 24; ++j)
            d.push_back(1e-3 * std::cos(1.1 * j + 0.3 * i));
        series.push_back(d);
    }
    direct_history(series);
    const Plate quad = parallelogram();
    const Plate tri = triangle();
    PlateRecordFacts plain_tri = variant(tri, 0);
    plain_tri.section[10] = 0.0;
    PlateRecordFacts plain_quad = variant(quad, 0);
    plain_quad.section[10] = 0.0;
    add_plates({variant(tri, 0), plain_tri, variant(quad, 0), plain_quad});
    ASSERT_TRUE(builder.write(base));
    const std::vector<Rows> t1 = history(1, 2);
    const std::vector<Rows> t2 = history(2, 2);
    const std::vector<Rows> q1 = history(3, 2);
    const std::vector<Rows> q2 = history(4, 2);
    for (int i = 0; i < 2; ++i) {
        for (int j = 0; j < ROWS; ++j) {
            EXPECT_EQ(t1[static_cast<std::size_t>(i)][static_cast<std::size_t>(j)], t2[static_cast<std::size_t>(i)][static_cast<std::size_t>(j)]);
        }
        EXPECT_NE(q1[static_cast<std::size_t>(i)][30], q2[static_cast<std::size_t>(i)][30]);
        const Rows s1 = step(3, 2, i + 1);
        const Rows s2 = step(4, 2, i + 1);
        for (int j = 0; j < ROWS; ++j)
            EXPECT_EQ(s1[static_cast<std::size_t>(j)], s2[static_cast<std::size_t>(j)]);
    }
}

} // namespace
} // namespace kvpvs::testing::plate
