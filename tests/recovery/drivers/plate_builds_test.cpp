// The two builds of the plate family agree on parallelograms with the internal modes in use:
// step k of the single-step build is value k of the history build, also through the history-plot
// value source; they differ where the builds are meant to (a general quadrilateral's internal
// modes, codes 2 and 3).
#include "plate_fixture.h"

#include "timehistory/CPVSTHCalcHistPlotData.h"
#include "timehistory/ElementResultsEntry.h"

#include "THResultBuilder.h"
#include "UnitCtrl.h"

#include <algorithm>
#include <cmath>

namespace kvpvs::testing::plate {
namespace {

constexpr int STEPS = 5;

std::vector<std::vector<double>> general_series(int dofs)
{
    std::vector<std::vector<double>> s;
    for (int i = 1; i <= STEPS; ++i) {
        std::vector<double> d;
        for (int j = 1; j <= dofs; ++j)
            d.push_back(1e-3 * std::sin(0.9 * j - 0.6 * i) * (j % 6 < 3 ? 1.0 : 0.5));
        s.push_back(d);
    }
    return s;
}

double scale_of(const Rows& r, int from, int to)
{
    double s = 0.0;
    for (int j = from; j < to; ++j)
        s = std::max(s, std::fabs(r[static_cast<std::size_t>(j)]));
    return s;
}

struct BuildCase {
    bool quad;
    int code;
};

class PlateBuilds : public PlateFamilyTest, public ::testing::WithParamInterface<BuildCase> {};

TEST_P(PlateBuilds, SingleStepKIsHistoryValueK)
{
    const Plate p = GetParam().quad ? parallelogram() : triangle();
    direct_history(general_series(24));
    add_plates({facts(p, GetParam().code)});
    ASSERT_TRUE(builder.write(base));
    const std::vector<Rows> h = history(1, STEPS);
    for (int k = 1; k <= STEPS; ++k) {
        const Rows& hk = h[static_cast<std::size_t>(k - 1)];
        const Rows s = step(1, STEPS, k);
        const double force_tol = 1e-12 * scale_of(hk, 0, 24);
        const double point_tol = 1e-12 * scale_of(hk, 24, ROWS);
        ASSERT_GT(point_tol, 0.0);
        for (int j = 0; j < ROWS; ++j)
            EXPECT_NEAR(s[static_cast<std::size_t>(j)], hk[static_cast<std::size_t>(j)], j < 24 ? force_tol : point_tol)
                << "step " << k << " row " << j + 1;
    }
}

INSTANTIATE_TEST_SUITE_P(Plates, PlateBuilds,
                         ::testing::Values(BuildCase{true, 0}, BuildCase{true, 1}, BuildCase{false, 0}, BuildCase{false, 1}),
                         [](const auto& info) {
                             return std::string(info.param.quad ? "Parallelogram" : "Triangle") + (info.param.code == 0 ? "Thick" : "Thin");
                         });

TEST_F(PlateFamilyTest, BuildsDifferOnAGeneralQuadrilateralsInternalModes)
{
    // The history build scales the internal modes by each point's Jacobian, the single-step
    // build by the centre's: equal only where the Jacobian is constant.
    direct_history(general_series(24));
    add_plates({facts(trapezoid(), 0)});
    ASSERT_TRUE(builder.write(base));
    const Rows h = history(1, STEPS)[2];
    const Rows s = step(1, STEPS, 3);
    for (int j = 0; j < 24; ++j)
        EXPECT_EQ(s[static_cast<std::size_t>(j)], h[static_cast<std::size_t>(j)]);
    double diff = 0.0;
    for (int j = 24 + 14; j < ROWS; ++j)
        diff = std::max(diff, std::fabs(s[static_cast<std::size_t>(j)] - h[static_cast<std::size_t>(j)]));
    EXPECT_GT(diff, 1e-6 * scale_of(h, 24, ROWS));
}

// The history-plot value source reads the centre stresses of one step through the single-step
// build, in output units (stress factor 7).
class PlateValueSource : public PlateFamilyTest {
protected:
    static constexpr unsigned CASE = 21;
    static constexpr unsigned ELEMENT_KEY = 70;
    void SetUp() override { CZORDocBase::SetCurDoc(&doc); }
    void TearDown() override
    {
        kvpvs::timehistory::ResetElementResultsEntry();
        CZORDocBase::SetCurDoc(nullptr);
    }
    CDBDoc doc;
};

TEST_F(PlateValueSource, StepOfTheValueSourceIsHistoryValue)
{
    direct_history(general_series(24));
    add_plates({facts(parallelogram(), 0)});
    ASSERT_TRUE(builder.write(base));
    std::vector<double> times;
    for (int i = 1; i <= STEPS; ++i)
        times.push_back(0.01 * i);
    CTHResultBuilder b(doc, CASE, 1, 2, times, 1);
    b.SetElemSeqId(ELEMENT_KEY, 1, 1);  // PLAT record 1, element number 1
    b.SetResultFile(2, (base + ".ka2").c_str());
    CDocCtrl::GetUnitCtrl(&doc)->SetFactor(17, 7.0);
    const std::vector<Rows> h = history(1, STEPS);

    CPVSTHCalcHistPlotData source(CASE);
    ASSERT_EQ(source.BeginQuery(7), 1);
    for (int k = 1; k <= STEPS; ++k)
        for (int c = 0; c < 6; ++c) {
            double v = 0.0;
            ASSERT_EQ(source.GetPlateStress(k - 1, ELEMENT_KEY, 4, 0, 0, c, v), 1);
            const double expected = 7.0 * h[static_cast<std::size_t>(k - 1)][static_cast<std::size_t>(24 + c)];
            ASSERT_NE(expected, 0.0);
            EXPECT_NEAR(v, expected, 1e-12 * std::fabs(expected)) << "step " << k << " component " << c;
        }
    source.EndQuery();
}

} // namespace
} // namespace kvpvs::testing::plate
