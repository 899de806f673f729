// File names of the result-file families and the lookups' present flags.
#include "result_set_fixture.h"

#include "recovery/drivers/keyword_tables.h"
#include "recovery/drivers/result_file_families.h"

#include <cstring>
#include <ostream>
#include <string>

namespace {

using namespace kvpvs::recovery;
using kvpvs::resultfiles::HistoryFacts;

struct Extensions {
    const char* code;
    const char* two;
    const char* one;
    const char* direct;
};

void PrintTo(const Extensions& e, std::ostream* os)
{
    *os << e.code << ": " << e.two << ' ' << e.one << ' ' << e.direct;
}

class ProductExtensions : public ::testing::TestWithParam<Extensions> {};

TEST_P(ProductExtensions, FollowTheProductCode)
{
    EXPECT_EQ(result_file_extension(ResultFamily::elem_data, GetParam().code), GetParam().two);
    EXPECT_EQ(result_file_extension(ResultFamily::result_data, GetParam().code), GetParam().one);
    EXPECT_EQ(result_file_extension(ResultFamily::dmed_data, GetParam().code), GetParam().direct);
}

INSTANTIATE_TEST_SUITE_P(Products, ProductExtensions,
                         ::testing::Values(Extensions{"X.U.H", ".xa2", ".xa1", ".xat"},
                                           Extensions{"N.Q.D", ".na2", ".na1", ".NAT"},
                                           Extensions{"F.J.B", ".fa2", ".fa1", ".fat"},
                                           Extensions{"K.V.R", ".ka2", ".ka1", ".KAT"},
                                           Extensions{"Z.O.R", ".za2", ".za1", ".ZAT"}),
                         [](const ::testing::TestParamInfo<Extensions>& i) {
                             std::string name = "Product";
                             for (const char* c = i.param.code; *c; ++c)
                                 if (*c != '.')
                                     name += *c;
                             return name;
                         });

TEST(KeywordTables, SlotsOfTheTables)
{
    auto text = [](DataKey k) { return std::string(k.begin(), k.end()); };
    EXPECT_EQ(text(elem_data_key(1)), "TRUS");
    EXPECT_EQ(text(elem_data_key(KEY_THIF)), "THIF");
    EXPECT_EQ(text(elem_data_key(KEY_MATL)), "MATL");
    EXPECT_EQ(text(elem_data_key(45)), "    ");
    EXPECT_EQ(text(elem_data_key(KEY_DMED)), "DMED");
    EXPECT_EQ(text(elem_data_key(47)), "    ");
    EXPECT_EQ(text(result_data_key(1)), "REAC");
    EXPECT_EQ(text(result_data_key(KEY_THLG)), "THLG");
    EXPECT_EQ(text(result_data_key(81)), "NMXY");
    EXPECT_EQ(text(result_data_key(99)), "    ");
    EXPECT_EQ(text(result_data_key(100)), "FLAG");
    ASSERT_NE(product_code(4), nullptr);
    EXPECT_EQ(std::string(product_code(4)->data(), 5), "K.V.R");
    EXPECT_EQ(product_code(6), nullptr);
}

class Lookups : public kvpvs::testing::ResultSetTest {};

TEST_F(Lookups, DirectFileSuffixOfOneOrTwoDigits)
{
    HistoryFacts h;
    h.type = 2;
    for (int set : {7, 9, 10, 12}) {
        builder.set_direct_series(set, 1, {static_cast<double>(set)});
        h.case_or_file = set;
        builder.set_history(1, h);
        ASSERT_TRUE(builder.write(base));
        EXPECT_EQ(history(kvpvs::testing::ROW_DISPLACEMENT, 1)[0], set) << builder.direct_file_name(base, set);
        EXPECT_EQ(driver_build(Build::history).dmed_suffix_length, set < 10 ? 1 : 2);
    }
    EXPECT_EQ(builder.direct_file_name(base, 7), base + ".KAT7");
}

TEST_F(Lookups, AbsentKeyAndAbsentFileArePresentZero)
{
    builder.add_material(1, 1.0, 0.0);
    ASSERT_TRUE(builder.write(base));
    SharedBlocks& blocks = shared_blocks();
    blocks.result_path_block.result_path_length = static_cast<int>(base.size());
    std::memcpy(blocks.result_path_block.result_path, base.data(), base.size());
    std::memcpy(blocks.entry_block.product_code, "K.V.R", 5);
    int first = -1, present = -1;
    locate_elem_data(3, KEY_MATL, first, present);
    EXPECT_EQ(present, 1);
    EXPECT_GT(first, 0);
    locate_elem_data(3, KEY_NDSP, first, present);
    EXPECT_EQ(present, 0);
    EXPECT_EQ(first, 0);
    locate_result_data(1, KEY_THLG, first, present);  // no '1' file content beyond HEAD
    EXPECT_EQ(present, 0);
    std::memcpy(blocks.entry_block.product_code, "N.Q.D", 5);  // no such files
    locate_elem_data(3, KEY_MATL, first, present);
    EXPECT_EQ(present, 0);
    EXPECT_EQ(first, 0);
}

} // namespace
