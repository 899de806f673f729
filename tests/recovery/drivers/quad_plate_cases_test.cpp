// Rows, stale state, the two builds and bad records of the six- and eight-node plates, read through
// the element-results entry.
#include "plate_fixture.h"

#include "timehistory/CPVSTHCalcHistPlotData.h"
#include "timehistory/ElementResultsEntry.h"

#include "THResultBuilder.h"
#include "UnitCtrl.h"

#include <cmath>
#include <limits>
#include <string>

namespace kvpvs::testing::quadplate {
namespace {

constexpr int STEPS = 3;

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

void expect_same(const QuadRows& a, const QuadRows& b, const std::string& where)
{
    for (int j = 0; j < QUAD_ROWS; ++j)
        EXPECT_EQ(a[static_cast<std::size_t>(j)], b[static_cast<std::size_t>(j)]) << where << " row " << j + 1;
}

struct RowCase {
    const char* name;
    Plate (*element)();
    int filled_forces;  // rows 1..filled_forces
    int filled_points;  // rows 49..48 + filled_points
};

class QuadPlateRows : public QuadPlateTest, public ::testing::WithParamInterface<RowCase> {};

TEST_P(QuadPlateRows, FillTheElementsRowsAndLeaveTheOthersZero)
{
    const RowCase& c = GetParam();
    const Plate p = c.element();
    direct_series(general_series(6 * p.corners(), 2));
    builder.add_plth_records({quad_facts(p)});
    ASSERT_TRUE(builder.write(base));
    const QuadRows single = quad_step(1, 2, 2);
    for (const QuadRows& r : {quad_history(1, 2)[1], single})
        for (int j = 1; j <= QUAD_ROWS; ++j) {
            const bool filled = j <= c.filled_forces || (j > 48 && j <= 48 + c.filled_points);
            const double v = r[static_cast<std::size_t>(j - 1)];
            if (filled)
                EXPECT_NE(v, 0.0) << "row " << j;
            else
                EXPECT_EQ(v, 0.0) << "row " << j;
        }
}

INSTANTIATE_TEST_SUITE_P(Plates, QuadPlateRows,
                         ::testing::Values(RowCase{"SixNodes", triangle6, 36, 98}, RowCase{"EightNodes", distorted8, 48, 126}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(QuadPlateTest, AtRestEveryRowIsZero)
{
    direct_series(std::vector<std::vector<double>>(2, std::vector<double>(48, 0.0)));
    builder.add_plth_records({quad_facts(distorted8()), quad_facts(triangle6(), 31)});
    ASSERT_TRUE(builder.write(base));
    for (int record = 1; record <= 2; ++record) {
        for (const QuadRows& r : quad_history(record, 2))
            EXPECT_EQ(largest(r), 0.0);
        EXPECT_EQ(largest(quad_step(record, 2, 1)), 0.0);
    }
}

TEST_F(QuadPlateTest, NoValuesWritesNothing)
{
    direct_series(general_series(48, 2));
    builder.add_plth_records({quad_facts(distorted8())});
    ASSERT_TRUE(builder.write(base));
    double out = -5.0;
    recovery::history_build::element_results(base.data(), static_cast<int>(base.size()), 7, 1, 60, 1, 0, 4, 0, &out, 0, 1);
    EXPECT_EQ(out, -5.0);
}

// A linear plate of code 2 (its history kernel leaves out the internal modes), a variant plate,
// and shared words left at plane strain and without internal modes by whatever ran before: the
// quadratic plate gives what it gives alone.
class QuadPlateStaleState : public QuadPlateTest {
protected:
    void SetUp() override
    {
        direct_series(general_series(48, STEPS));
        builder.add_plth_records({quad_facts(distorted8()), quad_facts(triangle6(), 31)});
        plate::PlateRecordFacts variant = facts(plate::trapezoid(), 0);
        variant.section = {kH1, kH1, kH2, kH2, kH2, kH2 / 2, kH2 / 2, kH2 / 2, kH2 / 2, 0.0, 1.0};
        add_plates({facts(plate::trapezoid(), 2), variant});
        ASSERT_TRUE(builder.write(base));
        for (int record = 1; record <= 2; ++record) {
            alone_history[record - 1] = quad_history(record, STEPS);
            alone_step[record - 1] = quad_step(record, STEPS, 2);
        }
    }
    void expect_alone(int record, const std::string& where)
    {
        const std::vector<QuadRows> h = quad_history(record, STEPS);
        for (int i = 0; i < STEPS; ++i)
            expect_same(h[static_cast<std::size_t>(i)], alone_history[record - 1][static_cast<std::size_t>(i)], where + " history");
        expect_same(quad_step(record, STEPS, 2), alone_step[record - 1], where + " single step");
    }
    std::vector<QuadRows> alone_history[2];
    QuadRows alone_step[2];
};

TEST_F(QuadPlateStaleState, AfterALinearPlateWithoutInternalModes)
{
    for (int record = 1; record <= 2; ++record) {
        ASSERT_GT(largest(history(1, STEPS)[1]), 0.0);  // PLAT record 1, code 2
        expect_alone(record, "record " + std::to_string(record));
    }
}

TEST_F(QuadPlateStaleState, AfterAVariantPlate)
{
    for (int record = 1; record <= 2; ++record) {
        ASSERT_GT(largest(history(2, STEPS)[1]), 0.0);
        expect_alone(record, "record " + std::to_string(record));
    }
}

TEST_F(QuadPlateStaleState, AfterSharedWordsOfPlaneStrainWithoutInternalModes)
{
    for (int record = 1; record <= 2; ++record) {
        recovery::shared_blocks().plane_mode = 1;
        recovery::shared_blocks().membrane_flag = 1;
        const std::vector<QuadRows> h = quad_history(record, STEPS);
        for (int i = 0; i < STEPS; ++i)
            expect_same(h[static_cast<std::size_t>(i)], alone_history[record - 1][static_cast<std::size_t>(i)], "history");
        recovery::shared_blocks().plane_mode = 1;
        recovery::shared_blocks().membrane_flag = 1;
        expect_same(quad_step(record, STEPS, 2), alone_step[record - 1], "single step");
    }
}

TEST_F(QuadPlateTest, AValueDoesNotDependOnTheValuesBeforeIt)
{
    // The same three states in reverse order give the same rows in reverse order.
    const std::vector<std::vector<double>> forward = general_series(48, STEPS);
    const std::vector<std::vector<double>> backward(forward.rbegin(), forward.rend());
    builder.add_plth_records({quad_facts(distorted8()), quad_facts(triangle6(), 31)});
    direct_series(forward);
    ASSERT_TRUE(builder.write(base));
    const std::vector<QuadRows> f8 = quad_history(1, STEPS);
    const std::vector<QuadRows> f6 = quad_history(2, STEPS);
    direct_series(backward);
    ASSERT_TRUE(builder.write(base));
    const std::vector<QuadRows> b8 = quad_history(1, STEPS);
    const std::vector<QuadRows> b6 = quad_history(2, STEPS);
    for (int i = 0; i < STEPS; ++i) {
        expect_same(f8[static_cast<std::size_t>(i)], b8[static_cast<std::size_t>(STEPS - 1 - i)], "eight nodes value " + std::to_string(i + 1));
        expect_same(f6[static_cast<std::size_t>(i)], b6[static_cast<std::size_t>(STEPS - 1 - i)], "six nodes value " + std::to_string(i + 1));
    }
}

// The builds differ only where the internal modes are scaled (by each point's Jacobian in the
// history build, by the centre's in the single-step build), which a rectangle's sub-plates do not
// feel: step k of the single-step build is value k of the history build.
class QuadPlateBuilds : public QuadPlateTest, public ::testing::WithParamInterface<RowCase> {};

TEST_P(QuadPlateBuilds, SingleStepKIsHistoryValueK)
{
    const Plate p = GetParam().element();
    direct_series(general_series(6 * p.corners(), STEPS));
    builder.add_plth_records({quad_facts(p)});
    ASSERT_TRUE(builder.write(base));
    const std::vector<QuadRows> h = quad_history(1, STEPS);
    for (int k = 1; k <= STEPS; ++k) {
        const QuadRows& hk = h[static_cast<std::size_t>(k - 1)];
        const QuadRows s = quad_step(1, STEPS, k);
        const double force_tol = 1e-12 * largest(hk, 0, 48);
        const double point_tol = 1e-12 * largest(hk, 48, QUAD_ROWS);
        ASSERT_GT(point_tol, 0.0);
        for (int j = 0; j < QUAD_ROWS; ++j)
            EXPECT_NEAR(s[static_cast<std::size_t>(j)], hk[static_cast<std::size_t>(j)], j < 48 ? force_tol : point_tol)
                << "step " << k << " row " << j + 1;
    }
}

INSTANTIATE_TEST_SUITE_P(Plates, QuadPlateBuilds,
                         ::testing::Values(RowCase{"Rectangle", rectangle8, 48, 126}, RowCase{"Triangle", triangle6, 36, 98}),
                         [](const auto& info) { return std::string(info.param.name); });

// The history-plot value source reads the centre's forces per unit length of one step through the
// single-step build (row 55 + component), in output units: factor 3 for forces per unit length
// and shears (unit 14), 5 for moments (unit 13).
class QuadPlateValueSource : public QuadPlateTest {
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

TEST_F(QuadPlateValueSource, UnitForceOfAStepIsTheHistoryValue)
{
    const Plate p = rectangle8();
    direct_series(general_series(48, STEPS));
    builder.add_plth_records({quad_facts(p)});
    ASSERT_TRUE(builder.write(base));
    std::vector<double> times;
    for (int i = 1; i <= STEPS; ++i)
        times.push_back(0.01 * i);
    CTHResultBuilder b(doc, CASE, 1, 2, times, 1);
    b.SetElemSeqId(ELEMENT_KEY, 1, 1);  // PLTH record 1, element number 1
    b.SetResultFile(2, (base + ".ka2").c_str());
    CDocCtrl::GetUnitCtrl(&doc)->SetFactor(14, 3.0);
    CDocCtrl::GetUnitCtrl(&doc)->SetFactor(13, 5.0);
    const std::vector<QuadRows> h = quad_history(1, STEPS);

    CPVSTHCalcHistPlotData source(CASE);
    ASSERT_EQ(source.BeginQuery(7), 1);
    for (int k = 1; k <= STEPS; ++k)
        for (int c = 0; c < 8; ++c) {
            double v = 0.0;
            ASSERT_EQ(source.GetPlateUnitForce(k - 1, ELEMENT_KEY, 8, 0, 0, c, v), 1);
            const double factor = c >= 3 && c <= 5 ? 5.0 : 3.0;
            const double expected = factor * h[static_cast<std::size_t>(k - 1)][static_cast<std::size_t>(54 + c)];
            ASSERT_NE(expected, 0.0);
            EXPECT_NEAR(v, expected, 1e-12 * std::fabs(expected)) << "step " << k << " component " << c;
        }
    source.EndQuery();
}

// Records the family cannot use leave every row 0, in both builds, after an element that gave
// values.
struct BadRecord {
    const char* name;
    int value;  // 1-based record value, 0: none
    double to;
};

constexpr double NaN = std::numeric_limits<double>::quiet_NaN();
constexpr double Inf = std::numeric_limits<double>::infinity();

class QuadPlateBadRecords : public QuadPlateTest, public ::testing::WithParamInterface<BadRecord> {};

TEST_P(QuadPlateBadRecords, LeaveEveryRowZero)
{
    direct_series(general_series(48, 2));
    const QuadPlateRecordFacts good = quad_facts(distorted8());
    std::vector<double> v = resultfiles::plth_record_values(good);
    v[static_cast<std::size_t>(GetParam().value - 1)] = GetParam().to;
    builder.add_family_records("PLTH", resultfiles::PLTH_RECORD_WORDS, {resultfiles::plth_record(good), resultfiles::doubles_record(v)});
    ASSERT_TRUE(builder.write(base));
    ASSERT_GT(largest(quad_history(1, 2)[1]), 0.0);
    for (const QuadRows& r : quad_history(2, 2))
        EXPECT_EQ(largest(r), 0.0);
    ASSERT_GT(largest(quad_step(1, 2, 1)), 0.0);
    EXPECT_EQ(largest(quad_step(2, 2, 1)), 0.0);
}

INSTANTIATE_TEST_SUITE_P(
    Values, QuadPlateBadRecords,
    ::testing::Values(BadRecord{"N49", 49, 49.0}, BadRecord{"NNegative", 49, -6.0}, BadRecord{"NHuge", 49, 1e300},
                      BadRecord{"NodeCount7", 52, 7.0}, BadRecord{"NodeCount4", 52, 4.0},
                      BadRecord{"NodeCountNaN", 52, NaN}, BadRecord{"NodeOutsideCord", 57, 999.0},
                      BadRecord{"NodeZero", 60, 0.0}, BadRecord{"ThicknessNaN", 62, NaN},
                      BadRecord{"ModulusInfinite", 72, Inf}, BadRecord{"ConstantNaN", 83, NaN}),
    [](const auto& info) { return std::string(info.param.name); });

class QuadPlateDataSets : public QuadPlateTest {
protected:
    bool any(int record = 1)
    {
        double m = 0.0;
        for (const QuadRows& r : quad_history(record, 2))
            m = std::max(m, largest(r));
        return m > 0.0 || largest(quad_step(record, 2, 2)) > 0.0;
    }
};

TEST_F(QuadPlateDataSets, AbsentPlthGivesZeros)
{
    direct_series(general_series(48, 2));
    quad_facts(distorted8());
    ASSERT_TRUE(builder.write(base));
    EXPECT_FALSE(any());
}

TEST_F(QuadPlateDataSets, AbsentCoordinatesGiveZeros)
{
    // A history without any node: no CORD data set.
    const QuadPlateRecordFacts f = quad_facts(distorted8());
    builder = resultfiles::ResultSetBuilder();
    resultfiles::HistoryFacts h;
    h.type = 2;
    builder.set_history(1, h);
    for (int e = 1; e <= 48; ++e)
        builder.set_direct_series(1, e, {1e-3 * e, -2e-3 * e});
    builder.add_plth_records({f});
    ASSERT_TRUE(builder.write(base));
    EXPECT_FALSE(any());
}

TEST_F(QuadPlateDataSets, SubIdFourServesHistoriesWithThlgTwoCoordinatesStayAtThree)
{
    direct_series(general_series(48, 2));
    builder.add_plth_records({quad_facts(distorted8())}, 4);
    ASSERT_TRUE(builder.write(base));
    EXPECT_FALSE(any());  // THLG 1 reads sub-id 3
    direct_series(general_series(48, 2), 2);
    ASSERT_TRUE(builder.write(base));
    EXPECT_TRUE(any());
}

TEST_F(QuadPlateDataSets, ShortRecordsAndIndicesOutsideGiveZeros)
{
    direct_series(general_series(48, 2));
    builder.add_family_records("PLTH", resultfiles::PLTH_RECORD_WORDS - 2, {resultfiles::plth_record(quad_facts(distorted8()))});
    ASSERT_TRUE(builder.write(base));
    EXPECT_FALSE(any());
    builder = resultfiles::ResultSetBuilder();
    direct_series(general_series(48, 2));
    builder.add_plth_records({quad_facts(distorted8())});
    ASSERT_TRUE(builder.write(base));
    EXPECT_TRUE(any(1));
    EXPECT_FALSE(any(2));
    EXPECT_FALSE(any(0));
}

TEST_F(QuadPlateDataSets, CoordinatesThatAreNoNumbersGiveZeros)
{
    direct_series(general_series(48, 2));
    builder.add_plth_records({quad_facts(distorted8())});
    builder.set_node(23, 1.0, NaN, 0.0);
    ASSERT_TRUE(builder.write(base));
    EXPECT_FALSE(any());
}

// Coincident corners: the element's and some sub-plates' axes fall back to the identity and the
// kernels meet zero areas; the rows stay numbers.
class QuadPlateDegenerate : public QuadPlateTest, public ::testing::WithParamInterface<RowCase> {};

TEST_P(QuadPlateDegenerate, RowsAreFinite)
{
    Plate p = GetParam().element();
    p.local[1] = p.local[0];
    if (p.corners() == 8)
        p.local[4] = p.local[0];
    else
        p.local[3] = p.local[0];
    direct_series(general_series(6 * p.corners(), 2));
    Plate point = p;
    for (auto& q : point.local)
        q = {0.3, 0.2};
    builder.add_plth_records({quad_facts(p), quad_facts(point, 41)});
    ASSERT_TRUE(builder.write(base));
    for (int record = 1; record <= 2; ++record) {
        std::vector<QuadRows> all = quad_history(record, 2);
        all.push_back(quad_step(record, 2, 1));
        for (const QuadRows& r : all)
            for (int j = 0; j < QUAD_ROWS; ++j)
                EXPECT_TRUE(std::isfinite(r[static_cast<std::size_t>(j)])) << "record " << record << " row " << j + 1;
    }
}

INSTANTIATE_TEST_SUITE_P(Plates, QuadPlateDegenerate,
                         ::testing::Values(RowCase{"SixNodes", triangle6, 0, 0}, RowCase{"EightNodes", distorted8, 0, 0}),
                         [](const auto& info) { return std::string(info.param.name); });

} // namespace
} // namespace kvpvs::testing::quadplate
