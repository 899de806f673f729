// Direct-access units that keep their file across openings of the same name until it is
// closed: a file replaced or cut between a close and an opening is read afresh, one cut while
// the unit holds it hands out nothing beyond the cut.
#include "TempDir.h"

#include <DFORRT/DirectUnits.h>

#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <future>
#include <string>
#include <vector>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

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

TEST_F(DirectUnitReopen, FileReplacedBetweenCloseAndOpenIsReadAfresh)
{
    write_doubles(path, {1, 2, 3, 4});
    ASSERT_EQ(open(8), dforrt::IO_OK);
    EXPECT_EQ(read(2), 2.0);  // the window now holds the old bytes
    DirectUnits::Close(UNIT);
    // Another program writes a new file of the same size and renames it over the old one.
    const std::string fresh = dir.file("fresh.bin");
    write_doubles(fresh, {10, 20, 30, 40});
    std::filesystem::rename(fresh, path);
    ASSERT_EQ(open(8), dforrt::IO_OK);
    EXPECT_EQ(read(2), 20.0);
}

TEST_F(DirectUnitReopen, FileCutWhileTheUnitHoldsItReadsNothingPastTheCut)
{
    // 2000 doubles: records of one double go through the 8 KB windows, records of 400
    // doubles (3200 bytes) straight to the caller.
    std::vector<double> v(2000);
    for (std::size_t i = 0; i < v.size(); ++i)
        v[i] = static_cast<double>(i + 1);
    write_doubles(path, v);
    ASSERT_EQ(open(8), dforrt::IO_OK);
    EXPECT_EQ(read(1), 1.0);
    std::filesystem::resize_file(path, 16);
    // Still held: the bytes of the first window were read before the cut; none beyond it.
    ASSERT_EQ(open(8), dforrt::IO_OK);
    EXPECT_EQ(read(2), 2.0);
    double w = -1.0;
    EXPECT_EQ(DirectUnits::ReadDoubles(UNIT, 1500, &w, 1), dforrt::IO_PAST_END);
    ASSERT_EQ(open(3200), dforrt::IO_OK);
    std::vector<double> big(400, -1.0);
    EXPECT_EQ(DirectUnits::ReadDoubles(UNIT, 1, big.data(), 400), dforrt::IO_PAST_END);
    // Closed and opened again: the file's new size holds.
    DirectUnits::Close(UNIT);
    ASSERT_EQ(open(8), dforrt::IO_OK);
    EXPECT_EQ(DirectUnits::FileBytes(UNIT), 16);
    EXPECT_EQ(DirectUnits::ReadDoubles(UNIT, 4, &w, 1), dforrt::IO_PAST_END);
    EXPECT_EQ(w, -1.0);
    EXPECT_EQ(read(2), 2.0);
}

TEST_F(DirectUnitReopen, AlternatingPlacesEachReadTheirOwnBytes)
{
    // Value k at record k: reads that alternate among more places than there are windows,
    // with long records read in between, deliver the value of their record every time.
    std::vector<double> v(20000);
    for (std::size_t i = 0; i < v.size(); ++i)
        v[i] = static_cast<double>(i + 1);
    write_doubles(path, v);
    ASSERT_EQ(open(8), dforrt::IO_OK);
    const std::int64_t places[] = {1, 5000, 12000, 19990, 3, 7000, 1500};
    for (int round = 0; round < 3; ++round) {
        for (std::int64_t p : places) {
            EXPECT_EQ(read(p + round), static_cast<double>(p + round));
            std::vector<double> run(1000, -1.0);
            ASSERT_EQ(open(8000), dforrt::IO_OK);
            ASSERT_EQ(DirectUnits::ReadDoubles(UNIT, 2 + round, run.data(), 1000), dforrt::IO_OK);
            EXPECT_EQ(run[999], static_cast<double>(1000 * (2 + round)));
            ASSERT_EQ(open(8), dforrt::IO_OK);
        }
    }
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

// Whatever is not a regular file is refused at once: a named pipe without a writer would hold
// a blocking open for ever, and a device or a folder gives no records.
TEST_F(DirectUnitReopen, NamedPipeDeviceAndFolderAreRefusedWithoutWaiting)
{
    ASSERT_EQ(::mkfifo(path.c_str(), 0600), 0);
    auto opening = std::async(std::launch::async, [&] { return open(20); });
    if (opening.wait_for(std::chrono::seconds(5)) == std::future_status::timeout) {
        ADD_FAILURE() << "opening a named pipe waits for a writer";
        // Release the waiting opening: a writer arrives, then the pipe is refused or read.
        const int writer = ::open(path.c_str(), O_WRONLY | O_NONBLOCK);
        opening.wait();
        if (writer >= 0)
            ::close(writer);
    }
    EXPECT_EQ(opening.get(), dforrt::IO_OPEN_FAILED);
    EXPECT_FALSE(DirectUnits::IsOpen(UNIT));

    // A pipe with a writer opens without waiting even when blocking; it is refused all the same.
    const int reader = ::open(path.c_str(), O_RDONLY | O_NONBLOCK);
    const int writer = ::open(path.c_str(), O_WRONLY | O_NONBLOCK);
    ASSERT_GE(writer, 0);
    EXPECT_EQ(open(20), dforrt::IO_OPEN_FAILED);
    ::close(writer);
    ::close(reader);

    const std::string device = "/dev/zero";
    EXPECT_EQ(DirectUnits::Open(UNIT, device.data(), device.size(), 20), dforrt::IO_OPEN_FAILED);
    const std::string folder = dir.file("");
    EXPECT_EQ(DirectUnits::Open(UNIT, folder.data(), folder.size(), 20), dforrt::IO_OPEN_FAILED);
    EXPECT_FALSE(DirectUnits::IsOpen(UNIT));
}

// A run of consecutive records read at once against the same records read one by one: the
// run crosses the reader's 64 KB reads and ends beyond the end of the file.
struct RunCase {
    const char* name;
    std::int64_t record_bytes;
    std::int64_t first;
    std::int64_t records;
    std::int64_t count;
};

void PrintTo(const RunCase& c, std::ostream* os)
{
    *os << c.records << " records of " << c.record_bytes << " bytes from record " << c.first << ", " << c.count
        << " values each";
}

class DirectUnitRun : public DirectUnitReopen, public ::testing::WithParamInterface<RunCase> {};

TEST_P(DirectUnitRun, DeliversValueOneOfEachRecordUpToTheEndOfTheFile)
{
    const RunCase& c = GetParam();
    // 50 000 values, value k at position k: 400 000 bytes, records of any length cut it.
    std::vector<double> v(50000);
    for (std::size_t i = 0; i < v.size(); ++i)
        v[i] = static_cast<double>(i + 1) + 0.25;
    write_doubles(path, v);
    ASSERT_EQ(open(c.record_bytes), dforrt::IO_OK);
    std::vector<double> one_by_one(static_cast<std::size_t>(c.records), -1.0);
    std::int64_t expected_delivered = 0;
    for (std::int64_t k = 0; k < c.records; ++k) {
        std::vector<double> values(static_cast<std::size_t>(c.count));
        if (DirectUnits::ReadDoubles(UNIT, c.first + k, values.data(), c.count) != dforrt::IO_OK)
            break;
        one_by_one[static_cast<std::size_t>(k)] = values[0];
        ++expected_delivered;
    }
    std::vector<double> run(static_cast<std::size_t>(c.records), -1.0);
    std::int64_t delivered = -1;
    const int status = DirectUnits::ReadFirstDoubles(UNIT, c.first, c.records, c.count, run.data(), delivered);
    EXPECT_EQ(delivered, expected_delivered);
    EXPECT_EQ(status, delivered == c.records ? dforrt::IO_OK : dforrt::IO_PAST_END);
    EXPECT_EQ(run, one_by_one);
    // Value 1 of record r is the value at byte (r - 1) x record length.
    if (delivered > 0) {
        EXPECT_EQ(run[0], static_cast<double>((c.first - 1) * c.record_bytes / 8 + 1) + 0.25);
    }
}

INSTANTIATE_TEST_SUITE_P(
    RecordsAndEnds, DirectUnitRun,
    ::testing::Values(RunCase{"WholeFileInFourReads", 24, 1, 16000, 3},
                      RunCase{"CrossesTheEnd", 24, 10000, 8000, 3}, // 6667 records in the file
                      RunCase{"LastWholeRecordThenNone", 24, 16666, 5, 3},
                      RunCase{"EndsBeyondTheFile", 16, 1, 30000, 1}, // the file holds 25000 records
                      RunCase{"RecordsLongerThanOneRead", 40000, 2, 20, 2},
                      RunCase{"WholeFileIsOneRecord", 400000, 1, 2, 1},
                      RunCase{"StartsBeyondTheEnd", 24, 20000, 10, 3}),
    [](const ::testing::TestParamInfo<RunCase>& i) { return std::string(i.param.name); });

TEST_F(DirectUnitReopen, OneValueOfARecordReadsAsTheLastOfItsLeadingValues)
{
    // 5001 values: the last record of every length below is cut by the end of the file.
    std::vector<double> v(5001);
    for (std::size_t i = 0; i < v.size(); ++i)
        v[i] = static_cast<double>(i + 1) + 0.5;
    write_doubles(path, v);
    for (std::int64_t record_bytes : {16, 24, 3200, 16000}) {
        ASSERT_EQ(open(record_bytes), dforrt::IO_OK);
        const std::int64_t per_record = record_bytes / 8;
        const std::int64_t records = 5001 / per_record + 2;
        for (std::int64_t r = 0; r <= records; ++r) {
            for (std::int64_t p : {std::int64_t{0}, std::int64_t{1}, std::int64_t{2}, per_record - 1, per_record,
                                   per_record + 1}) {
                std::vector<double> leading(static_cast<std::size_t>(std::max<std::int64_t>(p, 1)), -1.0);
                const int expected = DirectUnits::ReadDoubles(UNIT, r, leading.data(), p);
                double one = -1.0;
                ASSERT_EQ(DirectUnits::ReadDoubleAt(UNIT, r, p, one), expected) << record_bytes << " " << r << " " << p;
                if (expected == dforrt::IO_OK && p >= 1) {
                    ASSERT_EQ(one, leading[static_cast<std::size_t>(p - 1)]) << record_bytes << " " << r << " " << p;
                } else {
                    ASSERT_EQ(one, -1.0);
                }
            }
        }
    }
}

TEST_F(DirectUnitReopen, RunReadRefusesWhatOneRecordReadRefuses)
{
    write_doubles(path, {1, 2, 3, 4});
    ASSERT_EQ(open(16), dforrt::IO_OK);
    double out[2] = {-1, -1};
    std::int64_t delivered = -1;
    EXPECT_EQ(DirectUnits::ReadFirstDoubles(UNIT, 0, 2, 1, out, delivered), dforrt::IO_BAD_RECORD);
    EXPECT_EQ(DirectUnits::ReadFirstDoubles(UNIT, 1, 2, 3, out, delivered), dforrt::IO_PAST_RECORD);
    EXPECT_EQ(delivered, 0);
    EXPECT_EQ(out[0], -1.0);
    EXPECT_EQ(DirectUnits::ReadFirstDoubles(UNIT, std::int64_t{1} << 62, 2, 1, out, delivered), dforrt::IO_PAST_END);
    EXPECT_EQ(DirectUnits::ReadFirstDoubles(UNIT, 1, 2, 2, out, delivered), dforrt::IO_OK);
    EXPECT_EQ(out[0], 1.0);
    EXPECT_EQ(out[1], 3.0);
    DirectUnits::Close(UNIT);
    EXPECT_EQ(DirectUnits::ReadFirstDoubles(UNIT, 1, 2, 1, out, delivered), dforrt::IO_NOT_OPEN);
}

} // namespace
