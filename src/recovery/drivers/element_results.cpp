#include "recovery/drivers/element_results.h"

#include "recovery/drivers/driver_state.h"
#include "recovery/drivers/family_dispatch.h"
#include "recovery/drivers/keyword_tables.h"
#include "recovery/drivers/record_readers.h"
#include "recovery/drivers/result_file_families.h"
#include "recovery/drivers/result_units.h"

#include <DFORRT/DirectUnits.h>

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <exception>
#include <vector>

namespace kvpvs::recovery {
namespace {


constexpr int MODEL_SUB_ID = 3;
constexpr int THLG_SUB_ID = 1;

struct EntryArguments {
    const char* base_path;
    int path_length;
    int element_kind;
    int element_type;
    int component_row;
    int history_id;
    int value_count;
    int step_number;
    int product_selector;
    int mode_selector;
    double* output;
    int axes_option;
    int element_number;
};

void close_units()
{
    ResultUnits::Close(ELEM_DATA_UNIT);
    ResultUnits::Close(DMED_DATA_UNIT);
    ResultUnits::Close(RESULT_DATA_UNIT);
}

// A call's end closes its units; within a session they stay open for the next call.
void close_result_units()
{
    if (!ResultFileSession::Active())
        close_units();
}

// History facts of THIF; false when the history has no readable record.
bool read_history_facts(EntryBlock& entry)
{
    int first = 0;
    int present = 0;
    locate_elem_data(MODEL_SUB_ID, KEY_THIF, first, present);
    if (!present || !in_data_set(entry.history_id, located_records(ELEM_DATA_UNIT, first)))
        return false;
    std::int32_t w[5];
    if (ResultUnits::ReadInts(ELEM_DATA_UNIT, std::int64_t{entry.history_id} + first - 1, w, 5) != dforrt::IO_OK)
        return false;
    entry.history_type = w[0];
    if (w[0] == 1)
        entry.modal_case = w[1];
    if (w[0] == 2)
        entry.dmed_set = w[1];
    if (w[0] == 3) {
        entry.history_type = 2;
        entry.dmed_set = w[1];
    }
    entry.step_count = w[2];
    entry.mode_count = w[3];
    return true;
}

void run(Build build_id, const EntryArguments& a)
{
    DriverBuildState& build = driver_build(build_id);
    SharedBlocks& blocks = shared_blocks();
    EntryBlock& entry = blocks.entry_block;
    const bool single = build_id == Build::single_step;
    const int outputs = single ? 1 : std::max(a.value_count, 0);
    std::fill(a.output, a.output + outputs, 0.0);

    ResultPathBlock& path = blocks.result_path_block;
    path.result_path_length = a.path_length;
    const int copied = a.base_path ? std::clamp(a.path_length, 0, RESULT_PATH_CAPACITY) : 0;
    std::memset(path.result_path, ' ', sizeof path.result_path);
    if (copied > 0)
        std::memcpy(path.result_path, a.base_path, static_cast<std::size_t>(copied));

    entry.history_id = a.history_id;
    entry.value_count = a.value_count;
    entry.element_kind = a.element_kind;
    entry.element_type = a.element_type;
    entry.component_row = a.component_row;
    entry.mode_selector = a.mode_selector;
    if (single)
        entry.step_number = a.step_number;
    entry.product_selector = a.product_selector;
    entry.step_count = 0;
    entry.mode_count = 0;
    const ProductCode* code = product_code(a.product_selector);
    if (code)
        std::memcpy(entry.product_code, code->data(), code->size());

    // A request no caller makes (unknown kind or product, a row outside the work array)
    // answers zeros rather than the family or files of an earlier call. So does a base path
    // without characters: the bare extensions would name files of the current folder.
    const int family = element_family(a.element_kind);
    if (!code || family == 0 || a.component_row < 1 || a.component_row > WORK_ROWS || copied < 1)
        return;

    // The single step's one column lives on the stack: a display asks for thousands of them.
    double step_work[WORK_ROWS] = {};
    std::vector<double> history_work;
    if (!single)
        history_work.assign(static_cast<std::size_t>(WORK_ROWS) * static_cast<std::size_t>(std::max(a.value_count, 0)), 0.0);
    double* const work = single ? step_work : history_work.data();

    if (!read_history_facts(entry)) {
        close_result_units();
        return;
    }
    entry.thlg_value = 1;
    int first = 0;
    int present = 0;
    locate_result_data(THLG_SUB_ID, KEY_THLG, first, present);
    if (present && in_data_set(a.history_id, located_records(RESULT_DATA_UNIT, first))) {
        std::int32_t value = 0;
        if (ResultUnits::ReadInts(RESULT_DATA_UNIT, std::int64_t{a.history_id} + first - 1, &value, 1) == dforrt::IO_OK)
            entry.thlg_value = value;
    }
    locate_elem_data(a.history_id, KEY_MSES, first, present);
    entry.mses_present = present ? 1 : 0;

    read_element_record(build, a.element_number);
    if (FamilyRoutine routine = family_table(build_id)[static_cast<std::size_t>(family - 1)])
        routine(build, work, a.axes_option);

    for (int i = 0; i < outputs; ++i)
        a.output[i] = work[static_cast<std::size_t>(a.component_row - 1) + static_cast<std::size_t>(WORK_ROWS) * static_cast<std::size_t>(i)];
    close_result_units();
}

void run_guarded(Build build, const EntryArguments& a)
{
    if (!a.output)
        return;
    try {
        run(build, a);
    } catch (const std::exception&) {
        // No failure crosses the library's entry: the caller keeps zeros.
        const int outputs = build == Build::single_step ? 1 : std::max(a.value_count, 0);
        std::fill(a.output, a.output + outputs, 0.0);
        close_units();
    }
}

} // namespace

namespace history_build {

void element_results(const char* base_path, int path_length, int element_kind, int element_type,
                     int component_row, int history_id, int value_count, int product_selector,
                     int mode_selector, double* output, int axes_option, int element_number)
{
    run_guarded(Build::history,
                {base_path, path_length, element_kind, element_type, component_row, history_id, value_count, 0,
                 product_selector, mode_selector, output, axes_option, element_number});
}

} // namespace history_build

namespace step_build {

void element_results(const char* base_path, int path_length, int element_kind, int element_type,
                     int component_row, int history_id, int value_count, int step_number,
                     int product_selector, int mode_selector, double* output, int axes_option,
                     int element_number)
{
    run_guarded(Build::single_step,
                {base_path, path_length, element_kind, element_type, component_row, history_id, value_count,
                 step_number, product_selector, mode_selector, output, axes_option, element_number});
}

} // namespace step_build

} // namespace kvpvs::recovery
