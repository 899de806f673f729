// The keyed direct-access container: directory walk, statuses, and the writer checked by an
// independent reader.
#include "TempDir.h"
#include "independent_reader.h"

#include "recovery/drivers/keyed_result_file.h"
#include "result_files/result_file_writer.h"

#include <DFORRT/DirectUnits.h>
#include <gtest/gtest.h>

#include <fstream>
#include <iterator>

using kvpvs::recovery::open_keyed_file;
using kvpvs::resultfiles::doubles_record;
using kvpvs::resultfiles::ints_record;
using kvpvs::resultfiles::KeyedFileWriter;
using kvpvs::resultfiles::Record;

namespace {

constexpr int UNIT = 41;

struct Lookup {
    int first = -1, words = -1, count = -1, status = -1;
};

Lookup look(const std::string& path, const char* key, int sub_id, int format_code = 2)
{
    Lookup r;
    open_keyed_file(UNIT, path.data(), static_cast<int>(path.size()), format_code, key, sub_id, r.first, r.words,
                    r.count, r.status);
    return r;
}

std::vector<Record> numbered_doubles(int records, int per_record, double base)
{
    std::vector<Record> out;
    for (int k = 1; k <= records; ++k) {
        std::vector<double> v;
        for (int i = 0; i < per_record; ++i)
            v.push_back(base + 100.0 * k + i);
        out.push_back(doubles_record(v));
    }
    return out;
}

void fill_entries(KeyedFileWriter& w, int n)
{
    for (int i = 0; i < n; ++i) {
        const int n = 10 + i;  // two digits: keys S10 to S99
        const char key[5] = {'S', static_cast<char>('0' + n / 10), static_cast<char>('0' + n % 10), ' ', '\0'};
        w.add_data_set(key, 3, 2, numbered_doubles(2, 1, i));
    }
}

class KeyedFile : public ::testing::Test {
protected:
    void TearDown() override { dforrt::DirectUnits::Close(UNIT); }
    kvpvs::testing::TempDir dir;
    std::string path = dir.file("model.ka2");
};

TEST_F(KeyedFile, WriterRoundTripsThroughAnIndependentReader)
{
    // Data sets of three record lengths: each starts at a multiple of its own length.
    KeyedFileWriter w;
    w.add_data_set("AAAA", 3, 1, {ints_record({7}), ints_record({8}), ints_record({9})});
    w.add_data_set("BBBB", 3, 6, numbered_doubles(4, 3, 0.5));
    w.add_data_set("CCCC", 5, 26, numbered_doubles(2, 13, 0.25));
    const auto bytes = w.bytes();
    const auto dir = kvpvs::testing::directory_of(bytes);
    ASSERT_EQ(dir.size(), 4u);
    EXPECT_EQ(dir[0].key, "HEAD");
    EXPECT_EQ(dir[0].first, 2);
    EXPECT_EQ(dir[0].last, 21);
    EXPECT_EQ(dir[0].words, 5);
    for (std::size_t i = 1; i < dir.size(); ++i) {
        // Nothing of a data set overlaps the directory block (records 1..21 of 20 bytes).
        EXPECT_GE(static_cast<long>(dir[i].first - 1) * 4 * dir[i].words, 21 * 20) << dir[i].key;
    }
    EXPECT_EQ(kvpvs::testing::record_int(bytes, dir[1], 2, 0), 8);
    EXPECT_DOUBLE_EQ(kvpvs::testing::record_double(bytes, dir[2], 3, 2), 302.5);
    EXPECT_DOUBLE_EQ(kvpvs::testing::record_double(bytes, dir[3], 2, 12), 212.25);

    ASSERT_TRUE(w.write(path));
    for (std::size_t i = 1; i < dir.size(); ++i) {
        const Lookup r = look(path, dir[i].key.c_str(), dir[i].sub_id);
        EXPECT_EQ(r.status, 0);
        EXPECT_EQ(r.first, dir[i].first);
        EXPECT_EQ(r.words, dir[i].words);
        EXPECT_EQ(r.count, dir[i].last - dir[i].first + 1);
    }
    // The production lookup leaves the unit open in the data set's own record length.
    const Lookup c = look(path, "CCCC", 5);
    double v[13];
    ASSERT_EQ(dforrt::DirectUnits::ReadDoubles(UNIT, c.first + 1, v, 13), 0);
    EXPECT_DOUBLE_EQ(v[12], 212.25);
}

TEST_F(KeyedFile, DataSetAtRecordHundredOfSixWordsHasFiftyRecords)
{
    // 420 directory bytes and 489 one-word records end at byte 2376 = 99 x 24.
    KeyedFileWriter w;
    std::vector<Record> pad(489, ints_record({0}));
    w.add_data_set("PAD ", 3, 1, pad);
    w.add_data_set("DATA", 3, 6, numbered_doubles(50, 3, 0.0));
    ASSERT_TRUE(w.write(path));
    const Lookup r = look(path, "DATA", 3);
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.first, 100);
    EXPECT_EQ(r.count, 50);
    EXPECT_EQ(r.words, 6);
    EXPECT_EQ(dforrt::DirectUnits::RecordBytes(UNIT), 24);
}

TEST_F(KeyedFile, KeyInSecondBlockIsFoundThroughTheChain)
{
    KeyedFileWriter w;
    // 19 beside HEAD fill block 1, 20 fill block 2; a blank entry only ends block 3.
    fill_entries(w, 39);
    w.add_data_set("LAST", 7, 2, numbered_doubles(3, 1, 0.0));
    ASSERT_TRUE(w.write(path));
    EXPECT_EQ(kvpvs::testing::directory_of(w.bytes()).size(), 41u);
    EXPECT_EQ(look(path, "S30 ", 3).status, 0);
    EXPECT_EQ(look(path, "LAST", 7).status, 0);
    EXPECT_EQ(look(path, "LAST", 8).status, 4);
}

TEST_F(KeyedFile, EarlyBlankEntryEndsTheSearchBeforeALaterBlock)
{
    KeyedFileWriter w;
    w.add_data_set("AAAA", 3, 2, numbered_doubles(1, 1, 0.0));
    w.add_blank_entry();
    fill_entries(w, 17);  // block 1 full: HEAD, AAAA, blank, 17 more
    w.add_data_set("BBBB", 3, 2, numbered_doubles(1, 1, 0.0));
    w.start_new_block();
    w.add_data_set("CCCC", 3, 2, numbered_doubles(1, 1, 0.0));
    ASSERT_TRUE(w.write(path));
    EXPECT_EQ(look(path, "AAAA", 3).status, 0);
    EXPECT_EQ(look(path, "BBBB", 3).status, 4);
    EXPECT_EQ(look(path, "CCCC", 3).status, 4);
}

TEST_F(KeyedFile, FirstOfDuplicateEntriesWins)
{
    KeyedFileWriter w;
    w.add_data_set("DUPL", 3, 2, numbered_doubles(1, 1, 1.0));
    w.add_data_set("DUPL", 3, 2, numbered_doubles(4, 1, 2.0));
    ASSERT_TRUE(w.write(path));
    const Lookup r = look(path, "DUPL", 3);
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.count, 1);
    double v = 0.0;
    ASSERT_EQ(dforrt::DirectUnits::ReadDoubles(UNIT, r.first, &v, 1), 0);
    EXPECT_EQ(v, 101.0);
}

struct HeaderCase {
    const char* name;
    KeyedFileWriter::HeaderOverride header;
    int block;
    int status;
};

void PrintTo(const HeaderCase& c, std::ostream* os)
{
    const KeyedFileWriter::HeaderOverride& h = c.header;
    *os << "block " << c.block;
    if (h.tag)
        *os << ", tag \"" << std::string(h.tag->data(), 4) << '"';
    if (h.format_code)
        *os << ", format " << *h.format_code;
    if (h.version)
        *os << ", version " << *h.version;
    if (h.entry_count)
        *os << ", " << *h.entry_count << " entries";
    if (h.next_block)
        *os << ", next block " << *h.next_block;
    *os << ": status " << c.status;
}

class KeyedFileHeader : public KeyedFile, public ::testing::WithParamInterface<HeaderCase> {};

TEST_P(KeyedFileHeader, GivesTheStatusOfItsHeader)
{
    KeyedFileWriter w;
    fill_entries(w, 19);
    w.add_data_set("BBBB", 3, 2, numbered_doubles(1, 1, 0.0));  // the first entry of block 2
    w.override_header(GetParam().block, GetParam().header);
    ASSERT_TRUE(w.write(path));
    EXPECT_EQ(look(path, "BBBB", 3).status, GetParam().status);
}

KeyedFileWriter::HeaderOverride with_tag(const char* t)
{
    KeyedFileWriter::HeaderOverride o;
    o.tag = std::array<char, 4>{t[0], t[1], t[2], t[3]};
    return o;
}
KeyedFileWriter::HeaderOverride with_entries(int n)
{
    KeyedFileWriter::HeaderOverride o;
    o.entry_count = n;
    return o;
}
KeyedFileWriter::HeaderOverride with_version(float v)
{
    KeyedFileWriter::HeaderOverride o;
    o.version = v;
    return o;
}
KeyedFileWriter::HeaderOverride with_format(int f)
{
    KeyedFileWriter::HeaderOverride o;
    o.format_code = f;
    return o;
}
KeyedFileWriter::HeaderOverride with_next(int n)
{
    KeyedFileWriter::HeaderOverride o;
    o.next_block = n;
    return o;
}

INSTANTIATE_TEST_SUITE_P(
    Headers, KeyedFileHeader,
    ::testing::Values(HeaderCase{"IntactStatus0", {}, 0, 0},
                      HeaderCase{"WrongTagStatus7", with_tag("TVNX"), 0, 7},
                      HeaderCase{"LowerCaseTagStatus7", with_tag("tvn "), 0, 7},
                      HeaderCase{"NineteenEntriesStatus7", with_entries(19), 0, 7},
                      HeaderCase{"WrongVersionStatus7", with_version(1.5f), 0, 7},
                      HeaderCase{"WrongFormatStatus7", with_format(1), 0, 7},
                      HeaderCase{"WrongTagOfSecondBlockStatus7", with_tag("XXXX"), 1, 7},
                      // A chain that loops back to block 1 ends as an unreadable directory.
                      HeaderCase{"CyclicChainStatus2", with_next(1), 0, 2},
                      HeaderCase{"ChainBeyondTheEndStatus2", with_next(100000), 0, 2}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(KeyedFile, ReservedBlankKeyAndEmptyNameDoNothing)
{
    KeyedFileWriter w;
    ASSERT_TRUE(w.write(path));
    Lookup r;
    r.first = 11;
    open_keyed_file(UNIT, path.data(), static_cast<int>(path.size()), 2, "HEAD", 1, r.first, r.words, r.count, r.status);
    EXPECT_EQ(r.status, 6);
    EXPECT_EQ(r.first, 11);  // untouched
    EXPECT_FALSE(dforrt::DirectUnits::IsOpen(UNIT));
    EXPECT_EQ(look(path, "    ", 1).status, 6);
    open_keyed_file(UNIT, path.data(), 0, 2, "AAAA", 1, r.first, r.words, r.count, r.status);
    EXPECT_EQ(r.status, 6);
}

TEST_F(KeyedFile, MissingAndTruncatedFiles)
{
    EXPECT_EQ(look(dir.file("none.ka2"), "AAAA", 3).status, 1);
    EXPECT_FALSE(dforrt::DirectUnits::IsOpen(UNIT));

    KeyedFileWriter w;
    w.add_data_set("AAAA", 3, 2, numbered_doubles(1, 1, 0.0));
    w.truncate_to(20 * 3 + 10);  // header, HEAD, AAAA and half of the third entry
    ASSERT_TRUE(w.write(path));
    EXPECT_EQ(look(path, "ZZZZ", 3).status, 2);
    EXPECT_EQ(look(path, "AAAA", 3).status, 0);  // found before the cut
}

TEST(DirectUnits, ReadsPastAFileOrARecordReadNothing)
{
    kvpvs::testing::TempDir dir;
    const std::string path = dir.file("units.bin");
    {
        std::vector<double> v = {1.0, 2.0, 3.0, 4.0, 5.0};
        std::ofstream f(path, std::ios::binary);
        f.write(reinterpret_cast<const char*>(v.data()), sizeof(double) * v.size());
    }
    using dforrt::DirectUnits;
    ASSERT_EQ(DirectUnits::Open(UNIT, path.data(), path.size(), 16), 0);
    double out[3] = {-1, -1, -1};
    EXPECT_EQ(DirectUnits::ReadDoubles(UNIT, 2, out, 2), 0);
    EXPECT_EQ(out[0], 3.0);
    EXPECT_EQ(out[1], 4.0);
    out[0] = out[1] = -1;
    EXPECT_EQ(DirectUnits::ReadDoubles(UNIT, 2, out, 3), dforrt::IO_PAST_RECORD);
    EXPECT_EQ(DirectUnits::ReadDoubles(UNIT, 3, out, 2), dforrt::IO_PAST_END);  // only value 5 is there
    EXPECT_EQ(DirectUnits::ReadDoubles(UNIT, 0, out, 1), dforrt::IO_BAD_RECORD);
    EXPECT_EQ(DirectUnits::ReadDoubles(UNIT, 1LL << 40, out, 1), dforrt::IO_PAST_END);
    EXPECT_EQ(out[0], -1.0);
    EXPECT_EQ(out[1], -1.0);
    EXPECT_EQ(DirectUnits::ReadDoubles(UNIT, 3, out, 1), 0);
    EXPECT_EQ(out[0], 5.0);
    // A record of ints read in the same record length: record 2 starts at byte 16.
    std::int32_t w[2];
    EXPECT_EQ(DirectUnits::ReadInts(UNIT, 2, w, 2), 0);
    double three = 0;
    std::memcpy(&three, w, 8);
    EXPECT_EQ(three, 3.0);
    DirectUnits::Close(UNIT);
    EXPECT_EQ(DirectUnits::ReadDoubles(UNIT, 1, out, 1), dforrt::IO_NOT_OPEN);
    EXPECT_EQ(DirectUnits::ReadDoubles(-1, 1, out, 1), dforrt::IO_BAD_UNIT);
    EXPECT_EQ(DirectUnits::Open(UNIT, path.data(), path.size(), 0), dforrt::IO_OPEN_FAILED);
}

} // namespace
