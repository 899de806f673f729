// The plate family through the element-results entry: a flat plate in a tilted plane, stretched
// in its plane and bent to constant curvature with factors that change from step to step, gives
// at every step the plane-stress membrane forces N = h1 D eps, the moments M = (h2^3 / 12) D k,
// the surface stresses sigma = D eps -+ (h2 / 2) D k and no transverse shear; its nodal forces
// are the stored matrix times the displacements in element axes, and vanish under rigid motion.
#include "plate_fixture.h"

#include "recovery/drivers/linear_plate_family.h"

#include <algorithm>
#include <cmath>

namespace kvpvs::testing::plate {
namespace {

constexpr int STEPS = 6;
double membrane_factor(int i) { return std::cos(0.7 * i); }
double curvature_factor(int i) { return 0.5 + std::sin(0.4 * i); }

// Membrane field u = 1e-3 x - 4e-4 y, v = 7e-4 x - 2e-4 y, curvatures (3e-3, -1e-3, 2e-3).
constexpr double A = 1e-3, B = -4e-4, C = 7e-4, D = -2e-4;
constexpr double KX = 3e-3, KY = -1e-3, KXY = 2e-3;

struct Expected {
    Rows rows{};
    double force_tolerance = 0.0;
    double point_tolerance = 0.0;
};

// Rows of one step: forces K_local L and, at every result point the element has, the closed form.
Expected closed_form(const Plate& p, double gm, double gc)
{
    Expected e;
    const std::vector<double> L = [&] {
        std::vector<double> m = flatten(membrane_field(p, A, B, C, D));
        const std::vector<double> k = flatten(curvature_field(p, KX, KY, KXY));
        for (std::size_t j = 0; j < m.size(); ++j)
            m[j] = gm * m[j] + gc * k[j];
        return m;
    }();
    const std::vector<double> Kl = resultfiles::shell_stiffness_local(p.globals(), p.T, {kE, kNu, kH1, kH2});
    const std::vector<double> F = times(Kl, L);
    double kmax = 0.0;
    double lmax = 0.0;
    for (double v : Kl)
        kmax = std::max(kmax, std::fabs(v));
    for (double v : L)
        lmax = std::max(lmax, std::fabs(v));
    std::copy(F.begin(), F.end(), e.rows.begin());
    e.force_tolerance = 1e-10 * kmax * lmax * static_cast<double>(L.size());

    const auto Dp = plane_stress(kE, kNu);
    const auto sigma = apply(Dp, {gm * A, gm * D, gm * (B + C)});
    const auto Dk = apply(Dp, {gc * KX, gc * KY, gc * KXY});
    const int points = p.corners() == 4 ? 5 : 4;
    double scale = 0.0;
    for (int q = 0; q < points; ++q) {
        double* w = e.rows.data() + 24 + 14 * q;
        for (int c = 0; c < 3; ++c) {
            w[c] = sigma[static_cast<std::size_t>(c)] - kH2 / 2.0 * Dk[static_cast<std::size_t>(c)];
            w[3 + c] = sigma[static_cast<std::size_t>(c)] + kH2 / 2.0 * Dk[static_cast<std::size_t>(c)];
            w[6 + c] = kH1 * sigma[static_cast<std::size_t>(c)];
            w[9 + c] = kH2 * kH2 * kH2 / 12.0 * Dk[static_cast<std::size_t>(c)];
            scale = std::max({scale, std::fabs(w[c]), std::fabs(w[3 + c])});
        }
    }
    e.point_tolerance = 1e-9 * scale;
    return e;
}

void expect_rows(const Rows& got, const Expected& e, const std::string& where)
{
    for (int r = 0; r < ROWS; ++r) {
        const double tol = r < 24 ? e.force_tolerance : e.point_tolerance;
        EXPECT_NEAR(got[static_cast<std::size_t>(r)], e.rows[static_cast<std::size_t>(r)], tol) << where << " row " << r + 1;
    }
}

struct ClosedFormCase {
    bool quad;
    int plate_type;
    bool modal;
};

class PlateClosedForms : public PlateFamilyTest, public ::testing::WithParamInterface<ClosedFormCase> {};

TEST_P(PlateClosedForms, EveryStepGivesForcesStressesAndMomentsOfTheField)
{
    const ClosedFormCase& c = GetParam();
    const Plate p = c.quad ? parallelogram() : triangle();
    const std::vector<double> gm_field = to_global(p, membrane_field(p, A, B, C, D));
    const std::vector<double> gc_field = to_global(p, curvature_field(p, KX, KY, KXY));
    if (c.modal) {
        std::vector<std::vector<double>> q(2);
        for (int i = 1; i <= STEPS; ++i) {
            q[0].push_back(membrane_factor(i));
            q[1].push_back(curvature_factor(i));
        }
        modal_history({gm_field, gc_field}, q);
    } else {
        std::vector<std::vector<double>> series;
        for (int i = 1; i <= STEPS; ++i) {
            std::vector<double> d(gm_field.size());
            for (std::size_t j = 0; j < d.size(); ++j)
                d[j] = membrane_factor(i) * gm_field[j] + curvature_factor(i) * gc_field[j];
            series.push_back(d);
        }
        direct_history(series);
    }
    add_plates({facts(p, c.plate_type)});
    ASSERT_TRUE(builder.write(base));
    const std::vector<Rows> got = history(1, STEPS);
    for (int i = 1; i <= STEPS; ++i) {
        const Expected e = closed_form(p, membrane_factor(i), curvature_factor(i));
        expect_rows(got[static_cast<std::size_t>(i - 1)], e, "history step " + std::to_string(i));
        expect_rows(step(1, STEPS, i), e, "single step " + std::to_string(i));
    }
}

INSTANTIATE_TEST_SUITE_P(Plates, PlateClosedForms,
                         ::testing::Values(ClosedFormCase{true, 0, true}, ClosedFormCase{true, 0, false},
                                           ClosedFormCase{true, 1, true}, ClosedFormCase{true, 1, false},
                                           ClosedFormCase{false, 0, true}, ClosedFormCase{false, 0, false},
                                           ClosedFormCase{false, 1, true}, ClosedFormCase{false, 1, false}),
                         [](const auto& info) {
                             const ClosedFormCase& c = info.param;
                             return std::string(c.quad ? "Quad" : "Triangle") + (c.plate_type == 0 ? "Thick" : "Thin")
                                    + (c.modal ? "Modal" : "Direct");
                         });

class PlateRigidMotion : public PlateFamilyTest, public ::testing::WithParamInterface<bool> {};

TEST_P(PlateRigidMotion, GivesNoForceAndNoStress)
{
    const Plate p = GetParam() ? parallelogram() : triangle();
    direct_history({rigid_global(p, {0.3, -0.2, 0.7}, {2e-3, -1e-3, 3e-3}), rigid_global(p, {-0.1, 0.4, 0.2}, {-1e-3, 4e-3, 2e-3})});
    add_plates({facts(p, 0), facts(p, 1)});
    ASSERT_TRUE(builder.write(base));
    for (int record : {1, 2})
        for (const Rows& r : history(record, 2)) {
            for (int j = 0; j < 24; ++j)
                EXPECT_NEAR(r[static_cast<std::size_t>(j)], 0.0, 1e-9 * kE) << "force row " << j + 1;
            for (int j = 24; j < ROWS; ++j)
                EXPECT_NEAR(r[static_cast<std::size_t>(j)], 0.0, 1e-9 * kE) << "point row " << j + 1;
        }
}

INSTANTIATE_TEST_SUITE_P(Shapes, PlateRigidMotion, ::testing::Bool(),
                         [](const auto& info) { return std::string(info.param ? "Quad" : "Triangle"); });

TEST(StressesToUnitForces, MembraneTimesH1MomentsAndShearsFromH2)
{
    const double s[8] = {10.0, -20.0, 5.0, 3.0, -6.0, 1.5, 0.7, -0.4};
    const double h[11] = {0.3, 0.2};
    double f[8];
    recovery::stresses_to_unit_forces(s, f, h);
    EXPECT_DOUBLE_EQ(f[0], 3.0);
    EXPECT_DOUBLE_EQ(f[1], -6.0);
    EXPECT_DOUBLE_EQ(f[2], 1.5);
    // M = -(h2^2 / 6) sigma_b: 0.04 / 6 = 1 / 150.
    EXPECT_DOUBLE_EQ(f[3], -3.0 / 150.0);
    EXPECT_DOUBLE_EQ(f[4], 6.0 / 150.0);
    EXPECT_DOUBLE_EQ(f[5], -1.5 / 150.0);
    // Qx from the eighth value, Qy from the seventh.
    EXPECT_DOUBLE_EQ(f[6], 0.2 * -0.4);
    EXPECT_DOUBLE_EQ(f[7], 0.2 * 0.7);
}

} // namespace
} // namespace kvpvs::testing::plate
