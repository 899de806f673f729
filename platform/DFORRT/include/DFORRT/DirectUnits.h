// Numbered direct-access file units of the numerical run-time library: open an existing
// file on a unit with a fixed record length, read record k into integers, reals or doubles,
// close the unit. Every failure is a status the caller sees; nothing stops the process.
#pragma once

#include <cstddef>
#include <cstdint>

namespace dforrt {

// Statuses of the unit operations; 0 is success.
enum IoStatus : int {
    IO_OK = 0,
    IO_BAD_UNIT = 1,       // unit number outside 0..MAX_UNIT
    IO_OPEN_FAILED = 2,    // no such file, not a regular file, unreadable, or an invalid record length
    IO_NOT_OPEN = 3,       // the unit has no open file
    IO_BAD_RECORD = 4,     // record number below 1
    IO_PAST_RECORD = 5,    // more values asked for than the record length holds
    IO_PAST_END = 6,       // the record's values lie beyond the end of the file
};

constexpr int MAX_UNIT = 999;

// The run-time library's unit table: one process-wide table of file units. The stand-in
// keeps the file descriptor and a read-ahead window per unit, so that many small record
// reads cost one read of the file per window; values are read as little-endian.
class DirectUnits {
public:
    // Opens an existing file for direct access on the unit, closing what the unit held.
    // record_bytes is the record length in bytes (> 0). When the unit already holds the file of
    // that name, the open descriptor and its read-ahead are kept and only the record length
    // changes: a file is held unchanged while its unit is open, and Close ends the keeping, so
    // that a file replaced or cut between a Close and an Open is read afresh.
    static int Open(int unit, const char* name, std::size_t name_length, std::int64_t record_bytes);
    // Reopens the unit's file with another record length (> 0; otherwise the unit is closed
    // and IO_OPEN_FAILED returned): a close and open of the same, unchanged file.
    static int SetRecordLength(int unit, std::int64_t record_bytes);
    static int Close(int unit);
    static bool IsOpen(int unit);
    // Wall time spent inside Open, SetRecordLength and Close since the last reset (all threads).
    static double OpenCloseSeconds();
    static void ResetOpenCloseSeconds();
    // Record length in bytes of the open unit, 0 when it is closed.
    static std::int64_t RecordBytes(int unit);
    // File size in bytes of the open unit, 0 when it is closed.
    static std::int64_t FileBytes(int unit);

    // Read the first `count` values of record `record` (1-based, counted in the unit's record
    // length). On any failure nothing is delivered: `out` is untouched, except that a file cut
    // while its unit holds it may leave part of a long record there.
    static int ReadInts(int unit, std::int64_t record, std::int32_t* out, std::int64_t count);
    static int ReadReals(int unit, std::int64_t record, float* out, std::int64_t count);
    static int ReadDoubles(int unit, std::int64_t record, double* out, std::int64_t count);
    // The first `count` bytes of the record (characters).
    static int ReadBytes(int unit, std::int64_t record, char* out, std::int64_t count);

    // Value `position` (1-based) of the record, with the status ReadDoubles gives for its first
    // `position` values, which only this one is read of. position < 1 reads nothing.
    static int ReadDoubleAt(int unit, std::int64_t record, std::int64_t position, double& out);

    // Value 1 of each of the records first_record .. first_record + records - 1 into
    // out[0 .. records - 1], each record read as by ReadDoubles with `count` values: a run of
    // consecutive records costs a few large reads instead of one per record. `delivered` is
    // the number of leading records delivered; the records after them lie beyond the end of
    // the file (IO_PAST_END) and their out values are untouched.
    static int ReadFirstDoubles(int unit, std::int64_t first_record, std::int64_t records, std::int64_t count,
                                double* out, std::int64_t& delivered);
};

} // namespace dforrt
