// The run-time units as the drivers use them, and the hold a display refresh takes on the
// result files. Outside a ResultFileSession every call is the run-time library's own. While a
// session lives, the units the drivers open stay open from one entry call to the next, the
// keyed-file directory lookups are remembered, and the reads below are served from blocks of
// the files kept for the session, with the statuses the run-time library gives. The units
// themselves follow every open, record length and close, so that a reader that reads them
// directly reads the same bytes.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace kvpvs::recovery {

// A lookup in a keyed file: format, data-set key and sub-id, its outcome (a KeyedFileStatus)
// and the data set it found: first record, record length in words and records.
struct DataSetLookup {
    int format_code = 0;
    char key[4] = {};
    int sub_id = 0;
    int status = 0;
    int first_record = 0;
    int record_words = 0;
    int record_count = 0;
};

struct ResultUnits {
    static int Open(int unit, const char* name, std::size_t name_length, std::int64_t record_bytes);
    static int SetRecordLength(int unit, std::int64_t record_bytes);
    static int Close(int unit);
    static std::int64_t RecordBytes(int unit);
    static std::int64_t FileBytes(int unit);
    // Whether a session holds the file `name` open on the unit: then a lookup in it needs no
    // opening, only the data set's record length.
    static bool Holds(int unit, const char* name, std::size_t name_length);
    // The lookups made during the session in the file the unit holds; nullptr outside a
    // session and for a unit the session does not hold.
    static std::vector<DataSetLookup>* Lookups(int unit);

    static int ReadInts(int unit, std::int64_t record, std::int32_t* out, std::int64_t count);
    static int ReadDoubles(int unit, std::int64_t record, double* out, std::int64_t count);
    static int ReadBytes(int unit, std::int64_t record, char* out, std::int64_t count);
    static int ReadDoubleAt(int unit, std::int64_t record, std::int64_t position, double& out);
    static int ReadFirstDoubles(int unit, std::int64_t first_record, std::int64_t records, std::int64_t count,
                                double* out, std::int64_t& delivered);
};

// One display refresh's hold on the result files. The caller keeps the files unchanged while
// it lives (the host has released them for the query); its end closes the units. Sessions
// nest: the outermost one ends the hold.
class ResultFileSession {
public:
    ResultFileSession();
    ~ResultFileSession();
    ResultFileSession(const ResultFileSession&) = delete;
    ResultFileSession& operator=(const ResultFileSession&) = delete;

    static bool Active();
};

} // namespace kvpvs::recovery
