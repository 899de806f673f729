// Rows, plate type codes, releases, stale state and bad records of the plate family, read
// through the element-results entry in both builds.
#include "plate_fixture.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace kvpvs::testing::plate {
namespace {

bool points_zero(const Rows& r)
{
    return std::all_of(r.begin() + 24, r.end(), [](double v) { return v == 0.0; });
}

double largest(const Rows& r, int from, int to)
{
    double m = 0.0;
    for (int j = from; j < to; ++j)
        m = std::max(m, std::fabs(r[static_cast<std::size_t>(j)]));
    return m;
}

void expect_same(const Rows& a, const Rows& b, const std::string& where)
{
    for (int j = 0; j < ROWS; ++j)
        EXPECT_EQ(a[static_cast<std::size_t>(j)], b[static_cast<std::size_t>(j)]) << where << " row " << j + 1;
}

// A general motion: every degree of freedom its own value, changing from step to step.
std::vector<std::vector<double>> general_series(int dofs, int steps)
{
    std::vector<std::vector<double>> s;
    for (int i = 1; i <= steps; ++i) {
        std::vector<double> d;
        for (int j = 1; j <= dofs; ++j)
            d.push_back(1e-3 * std::sin(1.3 * j + 0.7 * i) * (j % 6 < 3 ? 1.0 : 0.4));
        s.push_back(d);
    }
    return s;
}

class PlateRows : public PlateFamilyTest {};

TEST_F(PlateRows, TriangleOfFourStoredNodesKeepsRows19To24UnturnedAndPoint5Zero)
{
    // Fourth node equal to the third: a triangle whose matrix has 24 rows.
    const Plate p = triangle();
    std::vector<std::vector<double>> series = general_series(18, 3);
    for (auto& d : series)
        for (int j = 12; j < 18; ++j)
            d.push_back(d[static_cast<std::size_t>(j)]);
    direct_history(series);
    const PlateRecordFacts f = facts(p, 0, 24);
    add_plates({f});
    ASSERT_TRUE(builder.write(base));
    const std::vector<Rows> got = history(1, 3);
    for (int i = 0; i < 3; ++i) {
        const Rows& r = got[static_cast<std::size_t>(i)];
        // Rows 19..24: the stored matrix's rows 19..24 times the displacements, in global axes.
        for (int row = 19; row <= 24; ++row) {
            double v = 0.0;
            for (int c = 1; c <= 24; ++c)
                v += f.matrix[static_cast<std::size_t>((row - 1) + 24 * (c - 1))] * series[static_cast<std::size_t>(i)][static_cast<std::size_t>(c - 1)];
            EXPECT_NEAR(r[static_cast<std::size_t>(row - 1)], v, 1e-12 * std::fabs(v) + 1e-300) << "row " << row;
        }
        for (int row = 81; row <= 94; ++row)
            EXPECT_EQ(r[static_cast<std::size_t>(row - 1)], 0.0) << "row " << row;
        EXPECT_GT(largest(r, 24, 80), 0.0);
    }
}

// In-plane bending of the 2 x 1 rectangle about its centre: u = k x y, v = -k x^2 / 2. Without
// the internal modes the bilinear field gives eps-x = k y and a parasitic shear gamma = k x, which
// the nodal points carry exactly; the internal modes remove the shear.
class PlateCodes : public PlateFamilyTest {
protected:
    static constexpr double K = 2e-3;
    void SetUp() override
    {
        const Plate p = rectangle();
        LocalField f;
        for (const auto& q : p.local) {
            const double x = q[0] - 1.0, y = q[1] - 0.5;
            f.push_back({K * x * y, -K * x * x / 2.0, 0.0, 0.0, 0.0, 0.0});
        }
        direct_history({to_global(p, f), to_global(p, f)});
        for (int code : {0, 1, 2, 3, 7})
            plates.push_back(facts(p, code));
        // Variant switch 5: no kernel with plate type 0, the thin kernel with plate type 1.
        plates.push_back(facts(p, 0));
        plates.back().section[10] = 5.0;
        plates.push_back(facts(p, 1));
        plates.back().section[10] = 5.0;
        add_plates(plates);
        ASSERT_TRUE(builder.write(base));
    }
    std::vector<PlateRecordFacts> plates;
};

TEST_F(PlateCodes, TwoAndThreeAreZeroAndOneWithoutInternalModes)
{
    const auto Dp = plane_stress(kE, kNu);
    const double corner[4][2] = {{-1.0, -0.5}, {1.0, -0.5}, {1.0, 0.5}, {-1.0, 0.5}};
    for (int record : {3, 4}) {
        const Rows r = history(record, 2)[1];
        for (int k = 0; k < 4; ++k) {
            const auto s = apply(Dp, {K * corner[k][1], 0.0, K * corner[k][0]});
            for (int c = 0; c < 3; ++c) {
                const double got = r[static_cast<std::size_t>(24 + 14 * (k + 1) + 6 + c)];
                EXPECT_NEAR(got, kH1 * s[static_cast<std::size_t>(c)], 1e-9 * kH1 * kE * K) << "record " << record << " node " << k + 1;
            }
        }
        // With the internal modes the shear is gone.
        const Rows with_modes = history(record - 2, 2)[1];
        EXPECT_NEAR(with_modes[24 + 14 + 8], 0.0, 1e-9 * kH1 * kE * K);
        EXPECT_GT(std::fabs(r[24 + 14 + 8]), 0.1 * kH1 * kE * K);
        // Nodal forces do not depend on the code.
        for (int j = 0; j < 24; ++j)
            EXPECT_EQ(r[static_cast<std::size_t>(j)], with_modes[static_cast<std::size_t>(j)]);
    }
}

TEST_F(PlateCodes, SingleStepBuildGivesNoPointsForTwoAndThree)
{
    const Rows zero_code = step(1, 2, 2);
    for (int record : {3, 4}) {
        const Rows r = step(record, 2, 2);
        EXPECT_TRUE(points_zero(r)) << record;
        for (int j = 0; j < 24; ++j)
            EXPECT_EQ(r[static_cast<std::size_t>(j)], zero_code[static_cast<std::size_t>(j)]);
    }
}

TEST_F(PlateCodes, UnknownCodeOrSwitchZeroesPointsOnlyInBothBuilds)
{
    const Rows code0 = history(1, 2)[1];
    const Rows code1 = history(2, 2)[1];
    ASSERT_GT(largest(code0, 24, ROWS), 0.0);
    for (int record : {5, 6}) {
        const Rows h = history(record, 2)[1];
        const Rows s = step(record, 2, 2);
        EXPECT_TRUE(points_zero(h)) << record;
        EXPECT_TRUE(points_zero(s) || record == 6) << record;
        for (int j = 0; j < 24; ++j) {
            EXPECT_EQ(h[static_cast<std::size_t>(j)], code0[static_cast<std::size_t>(j)]);
            EXPECT_EQ(s[static_cast<std::size_t>(j)], code0[static_cast<std::size_t>(j)]);
        }
    }
    // A switch other than 0 and 1 leaves plate type 1 on its kernel.
    expect_same(history(7, 2)[1], code1, "thin with switch 5");
}

class PlateReleases : public PlateFamilyTest, public ::testing::WithParamInterface<int> {};

TEST_P(PlateReleases, ReleasedRotationsFollowTheOtherFreedoms)
{
    // Rigid motion with wrong rotations about the element's axes 1 and 2 stored at node 2: released, they are recomputed from the
    // element's stiffness and the motion carries no stress; kept, they bend the plate.
    const Plate p = GetParam() == 4 ? parallelogram() : triangle();
    std::vector<double> d = rigid_global(p, {0.3, -0.2, 0.7}, {2e-3, -1e-3, 3e-3});
    LocalField wrong(static_cast<std::size_t>(p.corners()), Six{});
    wrong[1] = {0.0, 0.0, 0.0, 5e-3, -3e-3, 0.0};
    const std::vector<double> extra = to_global(p, wrong);
    for (std::size_t j = 0; j < d.size(); ++j)
        d[j] += extra[j];
    direct_history({d, d});
    std::vector<PlateRecordFacts> plates;
    for (int type : {0, 1}) {
        PlateRecordFacts f = facts(p, type);
        plates.push_back(f);
        f.release_flag = 1;
        f.release_codes = {0.0, 11.0, 0.0, 0.0};
        plates.push_back(f);
    }
    add_plates(plates);
    ASSERT_TRUE(builder.write(base));
    for (int type : {0, 1}) {
        const Rows kept = history(1 + 2 * type, 2)[1];
        const Rows released = history(2 + 2 * type, 2)[1];
        const Rows single = step(2 + 2 * type, 2, 2);
        EXPECT_GT(largest(kept, 24, ROWS), 1.0) << type;
        EXPECT_LT(largest(released, 24, ROWS), 1e-9 * kE) << type;
        EXPECT_LT(largest(single, 24, ROWS), 1e-9 * kE) << type;
        // The nodal forces are the stored matrix's: releases do not touch them.
        for (int j = 0; j < 24; ++j)
            EXPECT_EQ(released[static_cast<std::size_t>(j)], kept[static_cast<std::size_t>(j)]);
    }
}

TEST_P(PlateReleases, CodeZeroEverywhereIsNoRelease)
{
    const Plate p = GetParam() == 4 ? parallelogram() : triangle();
    direct_history(general_series(6 * p.corners(), 3));
    PlateRecordFacts f = facts(p, 0);
    PlateRecordFacts g = f;
    g.release_flag = 1;
    add_plates({f, g});
    ASSERT_TRUE(builder.write(base));
    const std::vector<Rows> a = history(1, 3);
    const std::vector<Rows> b = history(2, 3);
    for (int i = 0; i < 3; ++i) {
        expect_same(a[static_cast<std::size_t>(i)], b[static_cast<std::size_t>(i)], "history");
        expect_same(step(1, 3, i + 1), step(2, 3, i + 1), "single step");
    }
}

INSTANTIATE_TEST_SUITE_P(Shapes, PlateReleases, ::testing::Values(3, 4),
                         [](const auto& info) { return std::string(info.param == 4 ? "Quad" : "Triangle"); });

// Record 1 the element of interest; the others are what ran before it.
class PlateStaleState : public PlateFamilyTest {
protected:
    void SetUp() override
    {
        direct_history(general_series(24, 3));
        const Plate quad = parallelogram();
        std::vector<PlateRecordFacts> plates = {facts(quad, 0)};
        plates.push_back(facts(trapezoid(), 1));        // 2: other plate type and shape
        plates.back().release_flag = 1;
        plates.back().release_codes = {11.0, 0.0, 1.0, 0.0};
        plates.push_back(facts(quad, 3));                // 3: without internal modes
        plates.push_back(facts(quad, 0));                // 4: the variant, another section
        plates.back().section = {0.2, 0.1, 0.3, 0.25, 0.2, 0.1, 0.1, 0.1, 0.1, 0.0, 1.0};
        plates.back().material_type = 1;
        plates.back().constants = {1e5, 0.0, 0.0, 0.0, 0.0, 0.0, 4e4, 3e4, 2e4};
        plates.push_back(facts(quad, 9));                // 5: unknown code
        plates.push_back(facts(triangle(), 1));          // 6: a triangle
        PlateRecordFacts bad = facts(quad, 0);           // 7: a count beyond the stores
        bad.matrix_rows = 30;
        plates.push_back(bad);
        add_plates(plates);
        ASSERT_TRUE(builder.write(base));
    }
};

TEST_F(PlateStaleState, AnElementGivesWhatItGivesAlone)
{
    for (int element : {1, 6}) {
        const std::vector<Rows> alone = history(element, 3);
        const Rows alone_step = step(element, 3, 2);
        for (int before : {1, 2, 3, 4, 5, 6, 7, 8}) {
            const std::string where = "record " + std::to_string(element) + " after " + std::to_string(before);
            history(before, 3);
            const std::vector<Rows> after = history(element, 3);
            for (int i = 0; i < 3; ++i)
                expect_same(after[static_cast<std::size_t>(i)], alone[static_cast<std::size_t>(i)], "history, " + where);
            step(before, 3, 2);
            expect_same(step(element, 3, 2), alone_step, "single step, " + where);
        }
    }
}

TEST_F(PlateStaleState, BadRecordsAfterAGoodOneGiveZeros)
{
    ASSERT_GT(largest(history(1, 3)[0], 0, ROWS), 0.0);
    for (int record : {7, 8, 0, -1}) {
        for (const Rows& r : history(record, 3))
            EXPECT_EQ(largest(r, 0, ROWS), 0.0) << record;
        EXPECT_EQ(largest(step(record, 3, 1), 0, ROWS), 0.0) << record;
    }
}

struct BadRecord {
    const char* name;
    int value;      // record value (1-based) to alter; 0 alters nothing
    double to;
};

class PlateBadRecords : public PlateFamilyTest, public ::testing::WithParamInterface<BadRecord> {};

TEST_P(PlateBadRecords, LeaveEveryRowZero)
{
    direct_history(general_series(24, 2));
    std::vector<double> v = resultfiles::plate_record_values(facts(parallelogram(), 0));
    if (GetParam().value > 0)
        v[static_cast<std::size_t>(GetParam().value - 1)] = GetParam().to;
    builder.add_family_records("PLAT", resultfiles::PLATE_RECORD_WORDS,
                               {resultfiles::plate_record(facts(parallelogram(), 0)), resultfiles::doubles_record(v)});
    ASSERT_TRUE(builder.write(base));
    ASSERT_GT(largest(history(1, 2)[1], 0, ROWS), 0.0);
    for (const Rows& r : history(2, 2))
        EXPECT_EQ(largest(r, 0, ROWS), 0.0);
    EXPECT_EQ(largest(step(2, 2, 1), 0, ROWS), 0.0);
}

constexpr double NaN = std::numeric_limits<double>::quiet_NaN();
constexpr double Inf = std::numeric_limits<double>::infinity();

INSTANTIATE_TEST_SUITE_P(Counts, PlateBadRecords,
                         ::testing::Values(BadRecord{"N25", 601, 25.0}, BadRecord{"NNegative", 601, -1.0},
                                           BadRecord{"NNaN", 601, NaN}, BadRecord{"M25", 602, 25.0},
                                           BadRecord{"MInfinite", 602, Inf}, BadRecord{"NodeCount0", 604, 0.0},
                                           BadRecord{"NodeCount5", 604, 5.0}, BadRecord{"NodeCountNaN", 604, NaN},
                                           BadRecord{"NodeCountHuge", 604, 1e300}),
                         [](const auto& info) { return std::string(info.param.name); });

class PlateDataSet : public PlateFamilyTest {
protected:
    void SetUp() override { direct_history(general_series(24, 2)); }
    std::vector<resultfiles::Record> one() const { return {resultfiles::plate_record(facts(parallelogram(), 0))}; }
    bool any(int record = 1)
    {
        double m = 0.0;
        for (const Rows& r : history(record, 2))
            m = std::max(m, largest(r, 0, ROWS));
        return m > 0.0 || largest(step(record, 2, 2), 0, ROWS) > 0.0;
    }
};

TEST_F(PlateDataSet, AbsentGivesZeros)
{
    ASSERT_TRUE(builder.write(base));
    EXPECT_FALSE(any());
}

TEST_F(PlateDataSet, SubIdFourServesHistoriesWithThlgTwo)
{
    builder.add_family_records("PLAT", resultfiles::PLATE_RECORD_WORDS, one(), 4);
    ASSERT_TRUE(builder.write(base));
    EXPECT_FALSE(any());  // THLG 1 reads sub-id 3
    direct_history(general_series(24, 2), 2);
    ASSERT_TRUE(builder.write(base));
    EXPECT_TRUE(any());
}

TEST_F(PlateDataSet, ShortRecordsGiveZeros)
{
    builder.add_family_records("PLAT", resultfiles::PLATE_RECORD_WORDS - 2, one());
    ASSERT_TRUE(builder.write(base));
    EXPECT_FALSE(any());
}

TEST_F(PlateDataSet, ACutRecordGivesZeros)
{
    // PLAT is the last data set of the '2' file: its record loses its last two values.
    builder.add_family_records("PLAT", resultfiles::PLATE_RECORD_WORDS, one());
    ASSERT_TRUE(builder.write(base));
    ASSERT_TRUE(any());
    builder.assemble();
    const std::size_t size = builder.elem_file().bytes().size();
    builder.elem_file().truncate_to(size - 16);
    ASSERT_TRUE(builder.write(base));
    EXPECT_FALSE(any());
}

TEST_F(PlateDataSet, IndexOutsideTheDataSetGivesZeros)
{
    builder.add_family_records("PLAT", resultfiles::PLATE_RECORD_WORDS, one());
    ASSERT_TRUE(builder.write(base));
    EXPECT_TRUE(any(1));
    EXPECT_FALSE(any(2));
    EXPECT_FALSE(any(0));
}

TEST_F(PlateDataSet, NoValuesWritesNothing)
{
    builder.add_family_records("PLAT", resultfiles::PLATE_RECORD_WORDS, one());
    ASSERT_TRUE(builder.write(base));
    double out = -5.0;
    recovery::history_build::element_results(base.data(), static_cast<int>(base.size()), 3, 1, 30, 1, 0, 4, 0, &out, 0, 1);
    EXPECT_EQ(out, -5.0);
}

} // namespace
} // namespace kvpvs::testing::plate
