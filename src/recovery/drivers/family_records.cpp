#include "recovery/drivers/family_records.h"

#include "recovery/drivers/keyword_tables.h"
#include "recovery/drivers/result_file_families.h"
#include "recovery/drivers/result_units.h"

#include <DFORRT/DirectUnits.h>

#include <cmath>
#include <cstdint>

namespace kvpvs::recovery {
namespace {

constexpr int MODEL_SUB_ID = 3;

bool all_finite(const double* v, int count)
{
    for (int i = 0; i < count; ++i)
        if (!std::isfinite(v[i]))
            return false;
    return true;
}

} // namespace

int family_sub_id() { return shared_blocks().entry_block.thlg_value == 2 ? 4 : 3; }

bool read_family_record(int sub_id, int key, int index, double* out, int count)
{
    int first = 0;
    int present = 0;
    locate_elem_data(sub_id, key, first, present);
    if (!present || index < 1 || index > shared_blocks().locate_block.located_count)
        return false;
    if (ResultUnits::ReadDoubles(ELEM_DATA_UNIT, std::int64_t{index} + first - 1, out, count) != dforrt::IO_OK)
        return false;
    return all_finite(out, count);
}

bool read_node_coordinates(const int* node_numbers, int n, double* xyz)
{
    int first = 0;
    int present = 0;
    locate_elem_data(MODEL_SUB_ID, KEY_CORD, first, present);
    if (!present)
        return false;
    const int count = shared_blocks().locate_block.located_count;
    for (int k = 0; k < n; ++k) {
        const int node = node_numbers[k];
        if (node < 1 || node > count)
            return false;
        if (ResultUnits::ReadDoubles(ELEM_DATA_UNIT, std::int64_t{node} + first - 1, xyz + 3 * k, 3)
            != dforrt::IO_OK)
            return false;
        if (!all_finite(xyz + 3 * k, 3))
            return false;
    }
    return true;
}

} // namespace kvpvs::recovery
