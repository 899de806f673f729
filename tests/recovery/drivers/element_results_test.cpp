// The element-results entry: history facts, dispatch by element kind, the returned row, and
// zeros (never an earlier call's values) for requests the files cannot answer.
#include "result_set_fixture.h"

#include <DFORRT/DirectUnits.h>

#include <filesystem>
#include <ostream>
#include <string>
#include <vector>

namespace {

using kvpvs::resultfiles::HistoryFacts;
using namespace kvpvs::testing;

class EntryTest : public ResultSetTest {
protected:
    void SetUp() override
    {
        ResultSetTest::SetUp();
        builder.add_material(1, 2.0e8, 0.3);
        builder.set_element(1, 1);
        HistoryFacts direct;
        direct.type = 2;
        direct.case_or_file = 1;
        direct.thlg = 2;
        builder.set_history(1, direct);
        // Equation e moves as e * (1, 2, 3, 4) over four steps.
        for (int e = 1; e <= 24; ++e)
            builder.set_direct_series(1, e, {1.0 * e, 2.0 * e, 3.0 * e, 4.0 * e});
    }
};

struct KindCase {
    int kind;
    int family;
};

void PrintTo(const KindCase& c, std::ostream* os) { *os << "kind " << c.kind << " runs family " << c.family; }

class EntryDispatch : public EntryTest, public ::testing::WithParamInterface<KindCase> {};

TEST_P(EntryDispatch, KindRunsItsFamily)
{
    ASSERT_TRUE(builder.write(base));
    const auto family = history(ROW_FAMILY, 2, 1, 1, GetParam().kind);
    EXPECT_EQ(family, (std::vector<double>{1.0 * GetParam().family, 1.0 * GetParam().family}));
    EXPECT_EQ(spy().calls, 1);
    // Equation 5 at step 2: 2 x 5.
    EXPECT_EQ(history(ROW_DISPLACEMENT + 4, 2, 1, 1, GetParam().kind)[1], 10.0);
}

INSTANTIATE_TEST_SUITE_P(Kinds, EntryDispatch,
                         ::testing::Values(KindCase{1, 1}, KindCase{2, 1}, KindCase{3, 2}, KindCase{4, 3},
                                           KindCase{5, 4}, KindCase{6, 5}, KindCase{7, 6}, KindCase{8, 7}),
                         [](const ::testing::TestParamInfo<KindCase>& i) {
                             return "Kind" + std::to_string(i.param.kind) + "Family" + std::to_string(i.param.family);
                         });

TEST_F(EntryTest, HistoryFactsReachTheFamily)
{
    ASSERT_TRUE(builder.write(base));
    EXPECT_EQ(history(ROW_THLG, 1)[0], 2.0);
    EXPECT_EQ(history(ROW_MSES, 1)[0], 0.0);
    EXPECT_EQ(history(ROW_HISTORY_TYPE, 1)[0], 2.0);
    EXPECT_EQ(history(ROW_E, 1)[0], 2.0e8);
    EXPECT_EQ(history(ROW_NU, 1)[0], 0.3);
    // A row the family leaves alone is 0 at every step.
    EXPECT_EQ(history(200, 3), (std::vector<double>{0.0, 0.0, 0.0}));
    // The entry closes its units.
    EXPECT_FALSE(dforrt::DirectUnits::IsOpen(32));
    EXPECT_FALSE(dforrt::DirectUnits::IsOpen(36));
    EXPECT_FALSE(dforrt::DirectUnits::IsOpen(63));
}

TEST_F(EntryTest, HistoryWithoutThlgGivesOne)
{
    HistoryFacts direct;
    direct.type = 2;
    builder.set_history(1, direct);  // no THLG data set at all
    ASSERT_TRUE(builder.write(base));
    EXPECT_EQ(history(ROW_THLG, 1)[0], 1.0);
}

TEST_F(EntryTest, StoredTypeThreeIsDirectFromTheFileOfWordTwo)
{
    HistoryFacts h;
    h.type = 3;
    h.case_or_file = 12;
    builder.set_history(1, h);
    builder.set_direct_series(12, 5, {-1.0, -2.0});
    ASSERT_TRUE(builder.write(base));
    EXPECT_EQ(history(ROW_HISTORY_TYPE, 1)[0], 2.0);
    EXPECT_EQ(history(ROW_DISPLACEMENT + 4, 2), (std::vector<double>{-1.0, -2.0}));
}

TEST_F(EntryTest, NoValuesStillRunsTheFamily)
{
    ASSERT_TRUE(builder.write(base));
    std::vector<double> out = {-5.0};
    kvpvs::recovery::history_build::element_results(base.data(), static_cast<int>(base.size()), 3, 0, 1, 1, 0, 4, 0,
                                                    out.data(), 0, 1);
    EXPECT_EQ(out[0], -5.0);
    EXPECT_EQ(spy().calls, 1);
    EXPECT_EQ(kvpvs::recovery::shared_blocks().entry_block.history_type, 2);
}

TEST_F(EntryTest, SingleStepReturnsThatStepOnly)
{
    ASSERT_TRUE(builder.write(base));
    EXPECT_EQ(step(ROW_DISPLACEMENT + 4, 4, 3), 15.0);
    EXPECT_EQ(step(ROW_VALUE_COUNT, 4, 3), 4.0);
    EXPECT_EQ(step(ROW_DISPLACEMENT + 4, 4, 5), 0.0);  // beyond the stored steps
    EXPECT_EQ(step(ROW_DISPLACEMENT + 4, 4, 0), 0.0);
}

TEST_F(EntryTest, AxesOptionReachesTheFamily)
{
    ASSERT_TRUE(builder.write(base));
    std::vector<double> out(1);
    kvpvs::recovery::history_build::element_results(base.data(), static_cast<int>(base.size()), 4, 0, ROW_AXES_OPTION,
                                                    1, 1, 4, 0, out.data(), 1, 1);
    EXPECT_EQ(out[0], 1.0);
}

struct BadRequest {
    const char* name;
    int kind, row, selector;
};

void PrintTo(const BadRequest& r, std::ostream* os)
{
    *os << "kind " << r.kind << ", row " << r.row << ", selector " << r.selector;
}

class EntryRefuses : public EntryTest, public ::testing::WithParamInterface<BadRequest> {};

TEST_P(EntryRefuses, WithZerosAfterAGoodCall)
{
    ASSERT_TRUE(builder.write(base));
    ASSERT_EQ(history(ROW_DISPLACEMENT + 4, 2), (std::vector<double>{5.0, 10.0}));
    const BadRequest& r = GetParam();
    const int calls = spy().calls;
    EXPECT_EQ(history(r.row, 2, 1, 1, r.kind, 0, r.selector), (std::vector<double>{0.0, 0.0}));
    EXPECT_EQ(spy().calls, calls);
}

INSTANTIATE_TEST_SUITE_P(Requests, EntryRefuses,
                         ::testing::Values(BadRequest{"Kind0", 0, 5, 4}, BadRequest{"Kind9", 9, 5, 4},
                                           BadRequest{"Selector0", 3, 5, 0}, BadRequest{"Selector6", 3, 5, 6},
                                           BadRequest{"Row0", 3, 0, 4}, BadRequest{"Row351", 3, 351, 4}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(EntryTest, BasePathWithoutCharactersReadsNoFileOfTheCurrentFolder)
{
    // A complete result set whose names are the bare extensions, in the current folder.
    const std::string here = dir.file("");
    ASSERT_TRUE(builder.write(here));
    ASSERT_EQ(history(ROW_DISPLACEMENT + 4, 2), (std::vector<double>{0.0, 0.0}));
    struct InFolder {
        std::filesystem::path before = std::filesystem::current_path();
        explicit InFolder(const std::string& p) { std::filesystem::current_path(p); }
        ~InFolder() { std::filesystem::current_path(before); }
    } in_folder(here);
    const int calls = spy().calls;
    for (int length : {0, -1, -1000}) {
        std::vector<double> out(2, -1.0);
        kvpvs::recovery::history_build::element_results(base.data(), length, 3, 0, ROW_DISPLACEMENT + 4, 1, 2, 4, 0,
                                                        out.data(), 0, 1);
        EXPECT_EQ(out, (std::vector<double>{0.0, 0.0})) << "length " << length;
        double one = -1.0;
        kvpvs::recovery::step_build::element_results(base.data(), length, 3, 0, ROW_DISPLACEMENT + 4, 1, 2, 2, 4, 0,
                                                     &one, 0, 1);
        EXPECT_EQ(one, 0.0) << "length " << length;
    }
    EXPECT_EQ(spy().calls, calls) << "refused like a missing file: no family runs";
    // The same files named through the folder are read.
    std::vector<double> out(2, -1.0);
    kvpvs::recovery::history_build::element_results(here.data(), static_cast<int>(here.size()), 3, 0,
                                                    ROW_DISPLACEMENT + 4, 1, 2, 4, 0, out.data(), 0, 1);
    EXPECT_EQ(out, (std::vector<double>{5.0, 10.0}));
}

TEST_F(EntryTest, MissingOrDamagedFilesGiveZeros)
{
    ASSERT_TRUE(builder.write(base));
    ASSERT_EQ(history(ROW_DISPLACEMENT + 4, 2), (std::vector<double>{5.0, 10.0}));
    // No history record: history 7 lies beyond the THIF data set.
    EXPECT_EQ(history(ROW_DISPLACEMENT + 4, 2, 7), (std::vector<double>{0.0, 0.0}));
    // A '2' file whose header is foreign.
    builder.assemble();
    kvpvs::resultfiles::KeyedFileWriter::HeaderOverride o;
    o.version = 2.0f;
    builder.elem_file().override_header(0, o);
    ASSERT_TRUE(builder.write(base));
    EXPECT_EQ(history(ROW_DISPLACEMENT + 4, 2), (std::vector<double>{0.0, 0.0}));
    // No files at all.
    const std::string elsewhere = dir.file("nothing");
    std::vector<double> out(2, -1.0);
    kvpvs::recovery::history_build::element_results(elsewhere.data(), static_cast<int>(elsewhere.size()), 3, 0, 5, 1,
                                                    2, 4, 0, out.data(), 0, 1);
    EXPECT_EQ(out, (std::vector<double>{0.0, 0.0}));
}

} // namespace
