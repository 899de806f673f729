// The record readers: the element's material, and the displacement history of its degrees of
// freedom from modal, direct and multi-support results, in nodal axes.
#include "result_set_fixture.h"

#include <cmath>
#include <ostream>
#include <string>
#include <vector>

namespace {

using kvpvs::resultfiles::HistoryFacts;
using namespace kvpvs::testing;

// Three modes, 100 steps per mode, two modal cases: q(c, m, i) = 1000c + 100m + i and mode
// shapes s(e, m) = e * 10^-(m-1), so that every mode leaves its own digits in the sum.
class ModalHistory : public ResultSetTest {
protected:
    static constexpr int MODES = 3;
    static constexpr int STEPS = 100;
    static double q(int c, int m, int i) { return 1000.0 * c + 100.0 * m + i; }
    static double s(int e, int m) { return e * std::pow(10.0, -(m - 1)); }

    void SetUp() override
    {
        ResultSetTest::SetUp();
        builder.add_material(1, 1.0, 0.25);
        builder.set_element(1, 1);
        HistoryFacts h;
        h.type = 1;
        h.case_or_file = 2;
        h.steps_per_mode = STEPS;
        h.modes = MODES;
        builder.set_history(1, h);
        for (int c = 1; c <= 2; ++c) {
            std::vector<double> values;
            for (int m = 1; m <= MODES; ++m)
                for (int i = 1; i <= STEPS; ++i)
                    values.push_back(q(c, m, i));
            builder.set_modal_coordinates(c, MODES, STEPS, values);
        }
        for (int e = 1; e <= 24; ++e)
            builder.set_mode_shape(e, {s(e, 1), s(e, 2), s(e, 3)});
        ASSERT_TRUE(builder.write(base));
    }

    static double expected(int e, int i, int only_mode)
    {
        double sum = 0.0;
        for (int m = 1; m <= MODES; ++m)
            sum += (only_mode == 0 || only_mode == m ? q(2, m, i) : 0.0) * s(e, m);
        return sum;
    }
};

TEST_F(ModalHistory, SuperposesTheCaseOfTheHistory)
{
    for (int mode : {0, 2, 4}) {
        const int only = mode == 2 ? 2 : 0;  // 4 lies outside 1..3: all modes
        const auto v = history(ROW_DISPLACEMENT + 6, 3, 1, 1, 3, mode);  // equation 7
        for (int i = 1; i <= 3; ++i)
            EXPECT_DOUBLE_EQ(v[static_cast<std::size_t>(i - 1)], expected(7, i, only)) << "mode " << mode << " step " << i;
    }
    // Case 2, mode 1, step 1 is record first + 300 of MDSP: q = 2101.
    EXPECT_DOUBLE_EQ(history(ROW_DISPLACEMENT, 1, 1, 1, 3, 1)[0], 2101.0 * s(1, 1));
}

TEST_F(ModalHistory, StepsBeyondTheStoredOnesAreZeroInBothBuilds)
{
    const auto v = history(ROW_DISPLACEMENT + 1, STEPS + 2);
    EXPECT_DOUBLE_EQ(v[STEPS - 1], expected(2, STEPS, 0));
    EXPECT_EQ(v[STEPS], 0.0);  // would be the next mode's first step
    EXPECT_EQ(v[STEPS + 1], 0.0);
    EXPECT_DOUBLE_EQ(step(ROW_DISPLACEMENT + 1, STEPS, 50), expected(2, 50, 0));
    EXPECT_EQ(step(ROW_DISPLACEMENT + 1, STEPS, STEPS + 1), 0.0);
    EXPECT_EQ(step(ROW_DISPLACEMENT + 1, STEPS, 0), 0.0);
}

TEST_F(ModalHistory, RestrainedDegreeOfFreedomStaysZero)
{
    spy().equations[3] = 0;
    const auto v = history(ROW_DISPLACEMENT + 3, 2);
    EXPECT_EQ(v, (std::vector<double>{0.0, 0.0}));
}

class DirectHistory : public ResultSetTest {
protected:
    void SetUp() override
    {
        ResultSetTest::SetUp();
        builder.add_material(1, 3.0e7, 0.2);
        builder.add_material(2, 4.0e7, 0.15, 1, {1, 2, 3, 4, 5, 6, 7, 8, 9});
        builder.set_element(1, 2);
        builder.set_element(2, 99);  // no such material
        HistoryFacts h;
        h.type = 2;
        h.case_or_file = 1;
        builder.set_history(1, h);
        for (int e = 1; e <= 24; ++e)
            builder.set_direct_series(1, e, {e + 0.1, e + 0.2, e + 0.3, e + 0.4, e + 0.5});
    }
};

TEST_F(DirectHistory, EquationFiveReadsItsOwnSeries)
{
    ASSERT_TRUE(builder.write(base));
    EXPECT_EQ(history(ROW_DISPLACEMENT + 4, 5), (std::vector<double>{5.1, 5.2, 5.3, 5.4, 5.5}));
    EXPECT_EQ(step(ROW_DISPLACEMENT + 4, 5, 3), 5.3);
    // More steps asked for than stored: the stored ones, then zeros.
    EXPECT_EQ(history(ROW_DISPLACEMENT + 4, 6)[5], 0.0);
    EXPECT_EQ(step(ROW_DISPLACEMENT + 4, 6, 6), 0.0);
}

TEST_F(DirectHistory, MaterialOfTheElementAndKeptWhenUnmatched)
{
    ASSERT_TRUE(builder.write(base));
    EXPECT_EQ(history(ROW_E, 1, 1, 1)[0], 4.0e7);
    EXPECT_EQ(history(ROW_MATERIAL_TYPE, 1, 1, 1)[0], 1.0);
    EXPECT_EQ(history(ROW_CONSTANT_9, 1, 1, 1)[0], 9.0);
    // Element 2 names material 99, which no record holds: element 1's material stays.
    EXPECT_EQ(history(ROW_E, 1, 1, 2)[0], 4.0e7);
    EXPECT_EQ(history(ROW_NU, 1, 1, 2)[0], 0.15);
}

TEST_F(DirectHistory, NodalAxesTurnEachNodeAndSkipLeavesTheArray)
{
    std::array<std::array<double, 6>, 6> T{};
    for (std::size_t r = 0; r < 6; ++r)
        for (std::size_t c = r; c < 6; ++c)
            T[r][c] = 1.0 + static_cast<double>(r) + 0.5 * static_cast<double>(c);
    builder.set_node_axes(2, T);
    builder.set_node(4, 0, 0, 0);
    ASSERT_TRUE(builder.write(base));
    // Node 2 holds equations 7..12; row r of the turned vector is sum over c >= r.
    const auto turned = history(ROW_AXES + 6 + 1, 1);  // node 2, r = 2
    double sum = 0.0;
    for (std::size_t c = 1; c < 6; ++c)
        sum += T[1][c] * (7.0 + static_cast<double>(c) + 0.1);
    EXPECT_DOUBLE_EQ(turned[0], sum);
    // Node 1 has identity axes.
    EXPECT_EQ(history(ROW_AXES + 2, 1)[0], 3.1);
    spy().skip_axes = 1;
    spy().prefill = 42.0;
    EXPECT_EQ(history(ROW_AXES + 2, 1)[0], 42.0);
    EXPECT_EQ(history(ROW_DISPLACEMENT + 2, 1)[0], 3.1);
}

TEST_F(DirectHistory, UnknownTypeAndTooManyDofsGiveZeros)
{
    HistoryFacts odd;
    odd.type = 5;
    builder.set_history(2, odd);
    ASSERT_TRUE(builder.write(base));
    spy().prefill = 42.0;
    EXPECT_EQ(history(ROW_DISPLACEMENT + 4, 2, 2), (std::vector<double>{0.0, 0.0}));
    EXPECT_EQ(history(ROW_AXES + 4, 2, 2), (std::vector<double>{0.0, 0.0}));
    spy().dof_count = 121;
    EXPECT_EQ(history(ROW_DISPLACEMENT + 4, 2, 1), (std::vector<double>{0.0, 0.0}));
    EXPECT_EQ(history(ROW_AXES + 4, 2, 1), (std::vector<double>{0.0, 0.0}));
}

TEST_F(DirectHistory, DirectFileNumberWithoutANameGivesZeros)
{
    for (int set : {0, 100}) {
        HistoryFacts h;
        h.type = 2;
        h.case_or_file = set;
        builder.set_history(1, h);
        ASSERT_TRUE(builder.write(base));
        EXPECT_EQ(history(ROW_DISPLACEMENT + 4, 1), (std::vector<double>{0.0})) << set;
    }
}

TEST_F(DirectHistory, SupportsWithTheirOwnMotion)
{
    // Node 17 is the element's first node; its x-translation and a rotation are restrained.
    spy().nodes = {17, 2, 3, 4};
    spy().equations[0] = 0;
    spy().equations[4] = 0;
    builder.add_support_motion(1, 5, 1, {-9.0, -9.0, -9.0});
    builder.add_support_motion(1, 17, 1, {0.5, 0.6, 0.7});
    builder.add_support_motion(1, 17, 1, {-8.0, -8.0, -8.0});  // a later pair is never used
    ASSERT_TRUE(builder.write(base));
    EXPECT_EQ(history(ROW_MSES, 1)[0], 1.0);
    EXPECT_EQ(history(ROW_DISPLACEMENT, 3), (std::vector<double>{0.5, 0.6, 0.7}));
    EXPECT_EQ(step(ROW_DISPLACEMENT, 3, 2), 0.6);
    EXPECT_EQ(history(ROW_DISPLACEMENT + 4, 3), (std::vector<double>{0.0, 0.0, 0.0}));
    // The free degrees of freedom still come from the direct file.
    EXPECT_EQ(history(ROW_DISPLACEMENT + 1, 2), (std::vector<double>{2.1, 2.2}));
}

TEST_F(DirectHistory, TruncatedDirectFileReadsWhatIsThere)
{
    builder.assemble();
    // 24 equations x 3 records x 5 doubles after the directory: cut inside equation 24's series.
    const std::size_t full = builder.direct_file(1).bytes().size();
    builder.direct_file(1).truncate_to(full - 8);
    ASSERT_TRUE(builder.write(base));
    EXPECT_EQ(history(ROW_DISPLACEMENT + 22, 5)[4], 23.5);
    EXPECT_EQ(history(ROW_DISPLACEMENT + 23, 5), (std::vector<double>(5, 0.0)));
}

} // namespace

namespace {

// A direct history of 24 equations whose series value at step s is u(e, s) = e + s / 1024
// (exact in binary): every row of every column is checked against the formula, for column
// counts around the readers' blocks and tiles and for patterns of restrained degrees of
// freedom that break the rows into odd runs.
struct SeriesLayoutCase {
    int steps;
    int missing;  // steps asked for beyond the stored ones: they read 0
    int dof_count;
    std::vector<int> restrained;  // 1-based degrees of freedom without an equation number
};

void PrintTo(const SeriesLayoutCase& c, std::ostream* os)
{
    *os << c.steps << " steps, " << c.missing << " beyond the stored ones, " << c.dof_count << " dofs, restrained:";
    for (int j : c.restrained)
        *os << ' ' << j;
}

std::string layout_name(const ::testing::TestParamInfo<SeriesLayoutCase>& i)
{
    const SeriesLayoutCase& c = i.param;
    return "Steps" + std::to_string(c.steps) + "Stored" + std::to_string(c.steps - c.missing) + "Dofs" +
           std::to_string(c.dof_count) + "Restrained" + std::to_string(c.restrained.size());
}

class DirectSeriesLayout : public ResultSetTest, public ::testing::WithParamInterface<SeriesLayoutCase> {};

double u(int e, int s) { return e + s / 1024.0; }

TEST_P(DirectSeriesLayout, EveryRowOfEveryColumnHoldsItsEquationsSeries)
{
    const SeriesLayoutCase& c = GetParam();
    HistoryFacts h;
    h.type = 2;
    h.case_or_file = 1;
    builder.set_history(1, h);
    const int stored = c.steps - c.missing;
    for (int e = 1; e <= 24; ++e) {
        std::vector<double> series(static_cast<std::size_t>(stored));
        for (int s = 1; s <= stored; ++s)
            series[static_cast<std::size_t>(s - 1)] = u(e, s);
        builder.set_direct_series(1, e, series);
    }
    builder.add_material(1, 1.0, 0.25);
    builder.set_element(1, 1);
    ASSERT_TRUE(builder.write(base));
    spy().dof_count = c.dof_count;
    spy().prefill = 42.0;
    for (int j : c.restrained)
        spy().equations[static_cast<std::size_t>(j - 1)] = 0;
    for (int j = 1; j <= 24; ++j) {
        const std::vector<double> got = history(ROW_DISPLACEMENT + j - 1, c.steps);
        const bool free = j <= c.dof_count && spy().equations[static_cast<std::size_t>(j - 1)] > 0;
        for (int s = 1; s <= c.steps; ++s) {
            // Rows up to 6 x node count are the element's: zero without a series.
            const double expected = free && s <= stored ? u(j, s) : 0.0;
            ASSERT_EQ(got[static_cast<std::size_t>(s - 1)], expected) << "row " << j << " step " << s;
        }
    }
}

INSTANTIATE_TEST_SUITE_P(
    ColumnsAndGaps, DirectSeriesLayout,
    ::testing::Values(SeriesLayoutCase{1, 0, 24, {}}, SeriesLayoutCase{2, 0, 24, {}}, SeriesLayoutCase{5, 0, 24, {1}},
                      SeriesLayoutCase{17, 0, 23, {2, 3, 10}}, SeriesLayoutCase{64, 3, 24, {24}},
                      SeriesLayoutCase{67, 0, 21, {1, 7, 8, 13}}, SeriesLayoutCase{131, 2, 24, {5, 6, 11, 12, 17, 18}}),
    layout_name);

} // namespace
