// Direct-access units that keep their file across openings of the same name: the kept
// descriptor must never hand out bytes of a file that another program replaced or cut.
#include "temp_dir.h"

#include <DFORRT/DirectUnits.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

namespace {

using dforrt::DirectUnits;
constexpr int UNIT = 41;

void write_doubles(const std::string& path, const std::vector<double>& v)
{
    std::ofstream f(path, std::ios::binary | std::ios::trunc);
    f.write(reinterpret_cast<const char*>(v.data()), static_cast<std::streamsize>(v.size() * sizeof(double)));
}

class DirectUnitReopen : public ::testing::Test {
protected:
    void TearDown() override { DirectUnits::Close(UNIT); }
    int open(std::int64_t record_bytes) { return DirectUnits::Open(UNIT, path.data(), path.size(), record_bytes); }
    double read(std::int64_t record)
    {
        double v = -1.0;
        EXPECT_EQ(DirectUnits::ReadDoubles(UNIT, record, &v, 1), dforrt::IO_OK);
        return v;
    }

    kvpvs::testing::TempDir dir;
    std::string path = dir.file("units.bin");
};

TEST_F(DirectUnitReopen, SameFileChangesOnlyTheRecordLength)
{
    write_doubles(path, {1, 2, 3, 4, 5, 6});
    ASSERT_EQ(open(8), dforrt::IO_OK);
    EXPECT_EQ(read(3), 3.0);
    // Record 2 of 16-byte records starts at value 3; of 24-byte records at value 4.
    ASSERT_EQ(open(16), dforrt::IO_OK);
    EXPECT_EQ(read(2), 3.0);
    ASSERT_EQ(DirectUnits::SetRecordLength(UNIT, 24), dforrt::IO_OK);
    EXPECT_EQ(read(2), 4.0);
    EXPECT_EQ(DirectUnits::SetRecordLength(UNIT, 0), dforrt::IO_OPEN_FAILED);
    EXPECT_FALSE(DirectUnits::IsOpen(UNIT));
    EXPECT_EQ(DirectUnits::SetRecordLength(UNIT, 8), dforrt::IO_NOT_OPEN);
}

TEST_F(DirectUnitReopen, ReplacedFileOfTheSameSizeIsReadAfresh)
{
    write_doubles(path, {1, 2, 3, 4});
    ASSERT_EQ(open(8), dforrt::IO_OK);
    EXPECT_EQ(read(2), 2.0);  // the window now holds the old bytes
    // Another program writes a new file and renames it over the old one within the same
    // timestamp tick: the inode differs.
    const std::string fresh = dir.file("fresh.bin");
    write_doubles(fresh, {10, 20, 30, 40});
    std::filesystem::rename(fresh, path);
    ASSERT_EQ(open(8), dforrt::IO_OK);
    EXPECT_EQ(read(2), 20.0);
}

TEST_F(DirectUnitReopen, TruncatedFileReadsNothingPastItsNewEnd)
{
    write_doubles(path, {1, 2, 3, 4});
    ASSERT_EQ(open(8), dforrt::IO_OK);
    EXPECT_EQ(read(4), 4.0);
    std::filesystem::resize_file(path, 16);
    ASSERT_EQ(open(8), dforrt::IO_OK);
    EXPECT_EQ(DirectUnits::FileBytes(UNIT), 16);
    double v = -1.0;
    EXPECT_EQ(DirectUnits::ReadDoubles(UNIT, 4, &v, 1), dforrt::IO_PAST_END);
    EXPECT_EQ(v, -1.0);
    EXPECT_EQ(read(2), 2.0);
}

TEST_F(DirectUnitReopen, CloseEndsTheKeptFile)
{
    write_doubles(path, {1, 2});
    ASSERT_EQ(open(8), dforrt::IO_OK);
    EXPECT_EQ(read(1), 1.0);
    DirectUnits::Close(UNIT);
    std::filesystem::remove(path);
    EXPECT_EQ(open(8), dforrt::IO_OPEN_FAILED);
    EXPECT_FALSE(DirectUnits::IsOpen(UNIT));
}

} // namespace
