// The three families of solver result files beside one base path: the '2' file (model and
// history data, unit 32), the '1' file (results, unit 63) and the numbered direct files
// (direct-integration displacements, unit 36). A lookup builds the file name from the base
// path and product code, opens it on the family's unit and finds one data set in it.
#pragma once

#include "recovery/drivers/driver_state.h"

#include <cstdint>
#include <string>

namespace kvpvs::recovery {

constexpr int ELEM_DATA_UNIT = 32;
constexpr int RESULT_DATA_UNIT = 63;
constexpr int DMED_DATA_UNIT = 36;
constexpr int RESULT_FORMAT_CODE = 2;

enum class ResultFamily { elem_data, result_data, dmed_data };

// The 4-character extension of a family for a product code (".ka2", ".ka1", ".KAT"); empty
// for a code outside the product table.
std::string result_file_extension(ResultFamily family, const char* product_code);

// Looks up data set (sub_id, key slot) of the '2' file. present is 1 only when the data set
// was found; every other outcome of the lookup (no base path, file missing, unreadable or foreign
// directory, key absent) is 0, so that no record is read from it.
void locate_elem_data(int sub_id, int key_number, int& first_record, int& present);
void locate_result_data(int sub_id, int key_number, int& first_record, int& present);

// Records of the data set just looked up on `unit` whose first record is `first`: the count
// its directory entry states, cut at the end of the file (0 for a data set that lies outside
// it). These are the model's counts (elements, nodes, equations, materials, supports, steps);
// a record index beyond them belongs to no record of the data set.
std::int64_t located_records(int unit, int first);
inline bool in_data_set(std::int64_t index, std::int64_t records) { return index >= 1 && index <= records; }

// Looks up the direct file numbered by entry_block.dmed_set. The third and fourth arguments
// are not read. Returns the present flag (1 found, 0 otherwise, also for a file number
// outside 1..99, which has no name).
int locate_dmed_data(DriverBuildState& build, int sub_id, int key_number, int third, int fourth,
                     int& record_words, int& first_record);

} // namespace kvpvs::recovery
