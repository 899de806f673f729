// The container of every solver result file: a direct-access file of fixed-length records
// whose leading records form a chained directory of data sets named by a 4-character key and
// a sub-id. open_keyed_file finds one data set and leaves the unit open with that data set's
// record length, so that the caller reads its records by record number.
#pragma once

namespace kvpvs::recovery {

// Statuses of open_keyed_file.
enum KeyedFileStatus : int {
    KEYED_FOUND = 0,
    KEYED_OPEN_FAILED = 1,      // unit closed
    KEYED_DIRECTORY_UNREADABLE = 2,
    KEYED_NOT_IN_DIRECTORY = 4,
    KEYED_NOTHING_DONE = 6,     // name length < 1, blank key or "HEAD"
    KEYED_HEADER_MISMATCH = 7,
};

// Constants of the format.
struct KeyedFileFormat {
    static constexpr char RESERVED_KEY[5] = "HEAD";
    static constexpr char TAG[5] = "TVN ";
    static constexpr float VERSION = 1.0f;
    static constexpr int ENTRIES_PER_BLOCK = 20;
    static constexpr int DIRECTORY_WORDS = 5;
    static constexpr int WORD_BYTES = 4;
};

// key: 4 characters. On status 0 the unit is open with records of record_words * 4 bytes.
void open_keyed_file(int unit, const char* name, int name_length, int format_code, const char* key,
                     int sub_id, int& first_record, int& record_words, int& record_count, int& status);

} // namespace kvpvs::recovery
