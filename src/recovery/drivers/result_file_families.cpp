#include "recovery/drivers/result_file_families.h"

#include "recovery/drivers/keyed_result_file.h"
#include "recovery/drivers/keyword_tables.h"
#include "recovery/drivers/result_units.h"

#include <DFORRT/DirectUnits.h>

#include <algorithm>
#include <cstring>

namespace kvpvs::recovery {
namespace {

struct ProductExtensions {
    const char* code;
    const char* elem_data;
    const char* result_data;
    const char* dmed_data;
};

// The case of the letters is the solver's own.
constexpr ProductExtensions EXTENSIONS[] = {
    {"X.U.H", ".xa2", ".xa1", ".xat"}, {"N.Q.D", ".na2", ".na1", ".NAT"},
    {"F.J.B", ".fa2", ".fa1", ".fat"}, {"K.V.R", ".ka2", ".ka1", ".KAT"},
    {"Z.O.R", ".za2", ".za1", ".ZAT"},
};

// The base path followed by the extension and the direct file's number, in one buffer kept
// from lookup to lookup (the library is not reentrant; a display makes thousands of lookups).
const std::string& file_name(const std::string& extension, const char* suffix = "", std::size_t suffix_length = 0)
{
    static std::string name;
    const ResultPathBlock& p = shared_blocks().result_path_block;
    const int n = std::clamp(p.result_path_length, 0, RESULT_PATH_CAPACITY);
    name.assign(p.result_path, static_cast<std::size_t>(n));
    name.append(extension);
    name.append(suffix, suffix_length);
    return name;
}

void locate_in(ResultFamily family, int unit, const DataKey& key, int sub_id, int& first_record, int& present)
{
    SharedBlocks& blocks = shared_blocks();
    LocateBlock& located = blocks.locate_block;
    located.located_sub_id = sub_id;
    std::memcpy(located.located_key, key.data(), 4);

    const std::string extension = result_file_extension(family, blocks.entry_block.product_code);
    int status = KEYED_NOTHING_DONE;
    // Without a base path the name would be the bare extension, a file of the current folder.
    if (!extension.empty() && blocks.result_path_block.result_path_length >= 1) {
        const std::string& name = file_name(extension);
        open_keyed_file(unit, name.data(), static_cast<int>(name.size()), RESULT_FORMAT_CODE, located.located_key,
                        sub_id, located.located_first, located.located_words, located.located_count, status);
    }
    first_record = located.located_first;
    present = status == KEYED_FOUND ? 1 : 0;
    if (!present)
        first_record = 0;
}

} // namespace

std::string result_file_extension(ResultFamily family, const char* product_code)
{
    for (const ProductExtensions& p : EXTENSIONS) {
        if (std::memcmp(p.code, product_code, 5) != 0)
            continue;
        switch (family) {
        case ResultFamily::elem_data: return p.elem_data;
        case ResultFamily::result_data: return p.result_data;
        case ResultFamily::dmed_data: return p.dmed_data;
        }
    }
    return {};
}

std::int64_t located_records(int unit, int first)
{
    const std::int64_t stated = shared_blocks().locate_block.located_count;
    const std::int64_t record_bytes = ResultUnits::RecordBytes(unit);
    if (first < 1 || stated < 1 || record_bytes < 1)
        return 0;
    return std::clamp<std::int64_t>(ResultUnits::FileBytes(unit) / record_bytes - (first - 1), 0, stated);
}

void locate_elem_data(int sub_id, int key_number, int& first_record, int& present)
{
    locate_in(ResultFamily::elem_data, ELEM_DATA_UNIT, elem_data_key(key_number), sub_id, first_record, present);
}

void locate_result_data(int sub_id, int key_number, int& first_record, int& present)
{
    locate_in(ResultFamily::result_data, RESULT_DATA_UNIT, result_data_key(key_number), sub_id, first_record,
              present);
}

int locate_dmed_data(DriverBuildState& build, int sub_id, int key_number, int /*third*/, int /*fourth*/,
                     int& record_words, int& first_record)
{
    SharedBlocks& blocks = shared_blocks();
    LocateBlock& located = blocks.locate_block;
    located.located_sub_id = sub_id;
    // Key number 1 is the one key of the direct file, slot 46 of the '2' file's table.
    const DataKey key = key_number == 1 ? elem_data_key(KEY_DMED) : DataKey{' ', ' ', ' ', ' '};
    std::memcpy(located.located_key, key.data(), 4);

    first_record = 0;
    record_words = 0;
    const int set = blocks.entry_block.dmed_set;
    const std::string extension = result_file_extension(ResultFamily::dmed_data, blocks.entry_block.product_code);
    if (set < 1 || set > 99 || extension.empty() || blocks.result_path_block.result_path_length < 1) {
        // A number (or a base path) without a name: nothing is opened and nothing will be read.
        build.dmed_status = KEYED_NOTHING_DONE;
        build.dmed_count = 0;
        return 0;
    }
    build.dmed_suffix_length = set < 10 ? 1 : 2;
    if (set < 10) {
        build.dmed_suffix[0] = static_cast<char>('0' + set);
        build.dmed_suffix[1] = ' ';
    } else {
        build.dmed_suffix[0] = static_cast<char>('0' + set / 10);
        build.dmed_suffix[1] = static_cast<char>('0' + set % 10);
    }
    const std::string& name =
        file_name(extension, build.dmed_suffix, static_cast<std::size_t>(build.dmed_suffix_length));
    int status = KEYED_NOTHING_DONE;
    open_keyed_file(DMED_DATA_UNIT, name.data(), static_cast<int>(name.size()), RESULT_FORMAT_CODE,
                    located.located_key, sub_id, located.located_first, located.located_words,
                    located.located_count, status);
    build.dmed_status = status;
    build.dmed_count = located.located_count;
    if (status != KEYED_FOUND)
        return 0;
    first_record = located.located_first;
    record_words = located.located_words;
    return 1;
}

} // namespace kvpvs::recovery
