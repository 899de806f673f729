#include "recovery/drivers/keyed_result_file.h"

#include "recovery/drivers/result_units.h"

#include <DFORRT/DirectUnits.h>

#include <cstdint>
#include <cstring>
#include <limits>
#include <new>
#include <set>
#include <vector>

namespace kvpvs::recovery {
namespace {

constexpr std::int64_t DIRECTORY_RECORD_BYTES = KeyedFileFormat::DIRECTORY_WORDS * KeyedFileFormat::WORD_BYTES;

bool is_blank_key(const char* key) { return std::memcmp(key, "    ", 4) == 0; }

int clamp_to_int(std::int64_t v)
{
    if (v > std::numeric_limits<int>::max())
        return std::numeric_limits<int>::max();
    if (v < std::numeric_limits<int>::min())
        return std::numeric_limits<int>::min();
    return static_cast<int>(v);
}

// One 20-byte directory record: 4 characters followed by four 4-byte words.
struct DirectoryRecord {
    char text[4];
    std::int32_t words[4];
};

bool read_directory_record(int unit, std::int64_t record, DirectoryRecord& out)
{
    char bytes[DIRECTORY_RECORD_BYTES];
    if (ResultUnits::ReadBytes(unit, record, bytes, DIRECTORY_RECORD_BYTES) != dforrt::IO_OK)
        return false;
    std::memcpy(out.text, bytes, 4);
    // The words are read through the runtime so that their byte order is its business.
    std::int32_t words[5];
    if (ResultUnits::ReadInts(unit, record, words, 5) != dforrt::IO_OK)
        return false;
    std::memcpy(out.words, words + 1, sizeof out.words);
    return true;
}

// The walk of the directory of the file open on the unit (record length of a directory record)
// for the data set; on KEYED_FOUND the unit has the data set's record length.
int find_data_set(int unit, int format_code, const char* key, int sub_id, int& first_record, int& record_words,
                  int& record_count)
{
    // A chain that returns to a block it has visited would never end: it ends there. Every
    // other block of the chain is a header and twenty entries that pass their checks, bytes
    // of the file itself, so the walk costs no more than the directory's own size.
    std::set<std::int64_t> visited;
    std::int64_t block = 1;
    for (;;) {
        if (!visited.insert(block).second)
            return KEYED_DIRECTORY_UNREADABLE;
        DirectoryRecord header{};
        if (!read_directory_record(unit, block, header))
            return KEYED_DIRECTORY_UNREADABLE;
        float version = 0.0f;
        std::memcpy(&version, &header.words[1], sizeof version);
        if (std::memcmp(header.text, KeyedFileFormat::TAG, 4) != 0 || header.words[0] != format_code
            || version != KeyedFileFormat::VERSION || header.words[2] != KeyedFileFormat::ENTRIES_PER_BLOCK)
            return KEYED_HEADER_MISMATCH;
        for (int e = 1; e <= KeyedFileFormat::ENTRIES_PER_BLOCK; ++e) {
            DirectoryRecord entry{};
            if (!read_directory_record(unit, block + e, entry))
                return KEYED_DIRECTORY_UNREADABLE;
            if (is_blank_key(entry.text))
                return KEYED_NOT_IN_DIRECTORY;
            if (entry.words[0] == sub_id && std::memcmp(entry.text, key, 4) == 0) {
                // First match wins; later entries with the same key and sub-id are never seen.
                first_record = entry.words[1];
                record_words = entry.words[3];
                record_count = clamp_to_int(std::int64_t{entry.words[2]} - entry.words[1] + 1);
                // The close and second opening of the file just read, with the data set's length.
                const std::int64_t bytes = std::int64_t{record_words} * KeyedFileFormat::WORD_BYTES;
                return ResultUnits::SetRecordLength(unit, bytes) == dforrt::IO_OK ? KEYED_FOUND : KEYED_OPEN_FAILED;
            }
        }
        if (header.words[3] == 0)
            return KEYED_NOT_IN_DIRECTORY;
        block = header.words[3];
    }
}

} // namespace

void open_keyed_file(int unit, const char* name, int name_length, int format_code, const char* key,
                     int sub_id, int& first_record, int& record_words, int& record_count, int& status)
{
    if (name_length < 1 || name == nullptr || key == nullptr || is_blank_key(key)
        || std::memcmp(key, KeyedFileFormat::RESERVED_KEY, 4) == 0) {
        status = KEYED_NOTHING_DONE;
        return;
    }
    first_record = 0;
    record_words = 0;
    record_count = 0;
    const auto length = static_cast<std::size_t>(name_length);

    // Within a session the files do not change: a lookup gives what it gave the first time,
    // and leaves the unit as it did.
    if (std::vector<DataSetLookup>* made = ResultUnits::Holds(unit, name, length) ? ResultUnits::Lookups(unit) : nullptr)
        for (const DataSetLookup& d : *made) {
            if (d.format_code != format_code || d.sub_id != sub_id || std::memcmp(d.key, key, 4) != 0)
                continue;
            const std::int64_t bytes = d.status == KEYED_FOUND
                                           ? std::int64_t{d.record_words} * KeyedFileFormat::WORD_BYTES
                                           : DIRECTORY_RECORD_BYTES;
            if (ResultUnits::SetRecordLength(unit, bytes) != dforrt::IO_OK) {
                status = KEYED_OPEN_FAILED;
                return;
            }
            if (d.status == KEYED_FOUND) {
                first_record = d.first_record;
                record_words = d.record_words;
                record_count = d.record_count;
            }
            status = d.status;
            return;
        }

    // Opening closes what the unit held; the runtime keeps the descriptor when the unit already
    // holds this same, unchanged file, so that lookups in one file do not reopen it.
    if (ResultUnits::Open(unit, name, length, DIRECTORY_RECORD_BYTES) != dforrt::IO_OK) {
        status = KEYED_OPEN_FAILED;
        return;
    }
    status = find_data_set(unit, format_code, key, sub_id, first_record, record_words, record_count);
    std::vector<DataSetLookup>* made = ResultUnits::Lookups(unit);
    if (made && status != KEYED_OPEN_FAILED) {
        DataSetLookup d{format_code, {}, sub_id, status, first_record, record_words, record_count};
        std::memcpy(d.key, key, 4);
        try {
            made->push_back(d);
        } catch (const std::bad_alloc&) {
            // Not remembered: the next lookup walks the directory again.
        }
    }
}

} // namespace kvpvs::recovery
