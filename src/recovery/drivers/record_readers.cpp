#include "recovery/drivers/record_readers.h"

#include "recovery/drivers/keyword_tables.h"
#include "recovery/drivers/record_values.h"
#include "recovery/drivers/result_file_families.h"
#include "recovery/drivers/result_units.h"

#include <DFORRT/DirectUnits.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <utility>
#include <vector>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace kvpvs::recovery {
namespace {


constexpr int MODEL_SUB_ID = 3;
constexpr int DMED_SUB_ID = 1;

// Doubles a record of `words` 4-byte words holds: the steps stored in a series record.
std::int64_t stored_doubles(int words) { return words > 0 ? words / 2 : 0; }

// Whether `count` doubles can lie in the file open on `unit` at all: a record length that the
// directory declares is not trusted for the size of a buffer.
bool fits_in_file(int unit, std::int64_t count)
{
    return count >= 0 && count <= ResultUnits::FileBytes(unit) / static_cast<std::int64_t>(sizeof(double));
}


// Writes row r of the (120, columns) column-major array from source[r][0..columns): a plain
// copy of values in blocks of columns, so that the blocks' source lines and destination
// columns stay in the first-level cache. Pairs of rows and pairs of columns move as 2 x 2
// tiles (two loads, two unpacks, two stores); the values are only moved, never computed.
void transpose_to_columns(const double* const* source, int rows, int columns, double* out)
{
    constexpr int BLOCK = 16;
    constexpr std::size_t LD = MAX_ELEMENT_DOFS;
    for (int i0 = 0; i0 < columns; i0 += BLOCK) {
        const int i1 = std::min(columns, i0 + BLOCK);
        int r = 0;
#if defined(__SSE2__)
        for (; r + 1 < rows; r += 2) {
            const double* a = source[r];
            const double* b = source[r + 1];
            double* column = out + LD * static_cast<std::size_t>(i0) + static_cast<std::size_t>(r);
            int i = i0;
            for (; i + 1 < i1; i += 2, column += 2 * LD) {
                const __m128d x = _mm_loadu_pd(a + i);
                const __m128d y = _mm_loadu_pd(b + i);
                _mm_storeu_pd(column, _mm_unpacklo_pd(x, y));
                _mm_storeu_pd(column + LD, _mm_unpackhi_pd(x, y));
            }
            if (i < i1) {
                column[0] = a[i];
                column[1] = b[i];
            }
        }
#endif
        for (; r < rows; ++r) {
            const double* a = source[r];
            double* column = out + LD * static_cast<std::size_t>(i0) + static_cast<std::size_t>(r);
            for (int i = i0; i < i1; ++i, column += LD)
                *column = a[i];
        }
    }
}

// Reads the series records of a direct history into rows 1..rows of the displacement array.
// The history build stages the series in the build's scratch and then writes the array
// column by column in one pass, zeros included, so that its strided rows are touched once.
// The single-step build writes the one value of each row into a column set to 0 before.
class SeriesReader {
public:
    SeriesReader(DriverBuildState& build, double* displacement, int rows)
        : single_(build.build == Build::single_step),
          columns_(value_columns(build)),
          rows_(rows),
          step_(shared_blocks().entry_block.step_number),
          displacement_(displacement),
          scratch_(build.series_scratch)
    {
        std::fill(std::begin(slot_of_row_), std::end(slot_of_row_), -1);
    }
    ~SeriesReader() { finish(); }
    SeriesReader(const SeriesReader&) = delete;
    SeriesReader& operator=(const SeriesReader&) = delete;

    // Row j (1-based) takes the series of `record` of `unit`, a record of `stored` steps.
    // Steps outside 1..stored keep 0.
    void read(int unit, std::int64_t record, std::int64_t stored, int j)
    {
        if (single_) {
            // The first `step` values of the record are read and the last of them is used: the
            // runtime checks them all and reads the one.
            if (step_ < 1 || step_ > stored || !fits_in_file(unit, step_))
                return;
            double value = 0.0;
            if (ResultUnits::ReadDoubleAt(unit, record, step_, value) == dforrt::IO_OK)
                displacement_[j - 1] = value;
            return;
        }
        const std::int64_t count = std::min<std::int64_t>(columns_, stored);
        if (count <= 0 || !fits_in_file(unit, count) || j < 1 || j > rows_)
            return;
        const std::size_t width = static_cast<std::size_t>(columns_);
        scratch_.resize(std::max(scratch_.size(), width * static_cast<std::size_t>(slots_ + 1)));
        double* slot = scratch_.data() + width * static_cast<std::size_t>(slots_);
        if (ResultUnits::ReadDoubles(unit, record, slot, count) != dforrt::IO_OK)
            return;
        // Steps beyond the stored ones read 0.
        std::fill(slot + count, slot + width, 0.0);
        slot_of_row_[j - 1] = slots_;
        ++slots_;
    }

    void finish()
    {
        if (single_ || finished_)
            return;
        finished_ = true;
        const std::size_t width = static_cast<std::size_t>(columns_);
        // Rows without a series read a slot of zeros after the staged ones.
        scratch_.resize(std::max(scratch_.size(), width * static_cast<std::size_t>(slots_ + 1)));
        const double* zeros = scratch_.data() + width * static_cast<std::size_t>(slots_);
        std::fill_n(scratch_.data() + width * static_cast<std::size_t>(slots_), width, 0.0);
        const double* source[MAX_ELEMENT_DOFS];
        for (int r = 0; r < rows_; ++r)
            source[r] = slot_of_row_[r] >= 0 ? scratch_.data() + width * static_cast<std::size_t>(slot_of_row_[r]) : zeros;
        transpose_to_columns(source, rows_, columns_, displacement_);
    }

private:
    bool single_;
    int columns_;
    int rows_;
    int step_;
    double* displacement_;
    std::vector<double>& scratch_;
    bool finished_ = false;
    int slots_ = 0;
    int slot_of_row_[MAX_ELEMENT_DOFS];
};

// Sets rows 1..rows of every column to 0; the rows beyond are no degree of freedom of the
// element and are left to the caller.
void zero_rows(double* a, int rows, int columns)
{
    for (int i = 0; i < columns; ++i)
        std::fill_n(a + static_cast<std::size_t>(MAX_ELEMENT_DOFS) * static_cast<std::size_t>(i), rows, 0.0);
}

// Sets v to n copies of 0, keeping its storage.
void assign_zeros(std::vector<double>& v, std::size_t n) { v.assign(n, 0.0); }

void modal_displacements(DriverBuildState& build, double* displacement, int dof_count,
                         const int* equation_numbers)
{
    const EntryBlock& entry = shared_blocks().entry_block;
    const int columns = value_columns(build);
    const bool single = build.build == Build::single_step;
    const int modes = entry.mode_count;
    if (modes <= 0 || entry.step_count <= 0)
        return;

    int first_shape = 0;
    int present = 0;
    locate_elem_data(MODEL_SUB_ID, KEY_MSHP, first_shape, present);
    // A mode-shape record shorter than the mode count cannot be read: every shape stays 0. A
    // model has no more modes than equations (the records of MSHP): a larger mode count is no
    // count of this model, and would size the arrays below by the file's word alone.
    const std::int64_t equations = present ? located_records(ELEM_DATA_UNIT, first_shape) : 0;
    if (!present || modes > stored_doubles(shared_blocks().locate_block.located_words)
        || !fits_in_file(ELEM_DATA_UNIT, modes) || modes > equations)
        return;
    // s(j, m): mode-shape value of degree of freedom j in mode m.
    std::vector<double>& shapes = build.mode_shapes;
    std::vector<double>& row = build.shape_record;
    assign_zeros(shapes, static_cast<std::size_t>(dof_count) * static_cast<std::size_t>(modes));
    row.resize(static_cast<std::size_t>(modes));
    for (int j = 1; j <= dof_count; ++j) {
        const int e = equation_numbers[j - 1];
        if (!in_data_set(e, equations))
            continue;
        if (ResultUnits::ReadDoubles(ELEM_DATA_UNIT, std::int64_t{e} + first_shape - 1, row.data(), modes) != dforrt::IO_OK)
            continue;
        for (int m = 1; m <= modes; ++m)
            shapes[static_cast<std::size_t>((j - 1) + dof_count * (m - 1))] = row[static_cast<std::size_t>(m - 1)];
    }

    int first_coordinate = 0;
    locate_elem_data(MODEL_SUB_ID, KEY_MDSP, first_coordinate, present);
    if (!present)
        return;
    // Records from first_coordinate up to here belong to MDSP; later steps stay 0.
    const std::int64_t coordinate_end = first_coordinate + located_records(ELEM_DATA_UNIT, first_coordinate);
    // q(m, i): modal coordinate of mode m at value i; steps beyond the stored ones stay 0,
    // they would otherwise read the next mode's records.
    std::vector<double>& q = build.modal_coordinates;
    assign_zeros(q, static_cast<std::size_t>(modes) * static_cast<std::size_t>(columns));
    const bool one_mode = entry.mode_selector >= 1 && entry.mode_selector <= modes;
    const int m_first = one_mode ? entry.mode_selector : 1;
    const int m_last = one_mode ? entry.mode_selector : modes;
    for (int m = m_first; m <= m_last; ++m) {
        // Record of mode m at step s: ((case - 1) * modes + m - 1) * steps + first + s - 1.
        auto record_of = [&](int step, std::int64_t& record) {
            std::int64_t block = 0;
            return !__builtin_mul_overflow(std::int64_t{entry.modal_case} - 1, std::int64_t{modes}, &block)
                   && !__builtin_mul_overflow(block + m - 1, std::int64_t{entry.step_count}, &record)
                   && !__builtin_add_overflow(record, std::int64_t{first_coordinate} + step - 1, &record);
        };
        if (!single) {
            // Steps 1..min(n, steps) are consecutive records: read as one run, value 1 of each.
            const int last = std::min(columns, entry.step_count);
            std::int64_t first = 0;
            std::int64_t end = 0;
            if (last >= 1 && record_of(1, first) && !__builtin_add_overflow(first, std::int64_t{last}, &end)) {
                // Steps whose record lies before the data set or beyond it are no record of it:
                // they stay 0.
                const std::int64_t skipped = std::clamp<std::int64_t>(first_coordinate - first, 0, last);
                const std::int64_t wanted = std::clamp<std::int64_t>(coordinate_end - (first + skipped), 0, last - skipped);
                std::vector<double>& run = build.coordinate_run;
                run.resize(static_cast<std::size_t>(last));
                std::int64_t delivered = 0;
                ResultUnits::ReadFirstDoubles(ELEM_DATA_UNIT, first + skipped, wanted, 3, run.data(), delivered);
                for (std::int64_t k = 0; k < delivered; ++k)
                    q[static_cast<std::size_t>((m - 1) + modes * (skipped + k))] = run[static_cast<std::size_t>(k)];
                continue;
            }
        }
        for (int i = 1; i <= columns; ++i) {
            const int step = single ? entry.step_number : i;
            std::int64_t record = 0;
            if (step < 1 || step > entry.step_count || !record_of(step, record) || record < first_coordinate
                || record >= coordinate_end)
                continue;
            double values[3];
            if (ResultUnits::ReadDoubles(ELEM_DATA_UNIT, record, values, 3) == dforrt::IO_OK)
                q[static_cast<std::size_t>((m - 1) + modes * (i - 1))] = values[0];
        }
    }
    for (int i = 1; i <= columns; ++i) {
        for (int j = 1; j <= dof_count; ++j) {
            double sum = 0.0;
            for (int m = 1; m <= modes; ++m)
                sum += q[static_cast<std::size_t>((m - 1) + modes * (i - 1))]
                       * shapes[static_cast<std::size_t>((j - 1) + dof_count * (m - 1))];
            displacement[(j - 1) + MAX_ELEMENT_DOFS * (i - 1)] = sum;
        }
    }
}

void direct_displacements(DriverBuildState& build, double* displacement, int dof_count, const int* equation_numbers,
                          const int* node_numbers, int node_count)
{
    const EntryBlock& entry = shared_blocks().entry_block;
    SeriesReader series(build, displacement, std::max(dof_count, 6 * node_count));
    bool every_translation_numbered = true;
    for (int k = 1; k <= node_count; ++k)
        for (int d = 1; d <= 3; ++d) {
            const int j = 6 * (k - 1) + d;
            if (j <= dof_count && equation_numbers[j - 1] == 0)
                every_translation_numbered = false;
        }

    if (entry.mses_present != 1 || every_translation_numbered) {
        int words = 0;
        int first = 0;
        if (!locate_dmed_data(build, DMED_SUB_ID, 1, 0, 0, words, first))
            return;
        const std::int64_t records = located_records(DMED_DATA_UNIT, first);
        for (int j = 1; j <= dof_count; ++j) {
            const int e = equation_numbers[j - 1];
            if (e > 0 && in_data_set(3 * std::int64_t{e}, records))
                series.read(DMED_DATA_UNIT, std::int64_t{first} + 3 * std::int64_t{e} - 1, stored_doubles(words), j);
        }
        return;
    }

    // Multi-support excitation: supports with their own motion, as (node, direction) pairs.
    // A support is a translation of a node of the model: no more of them than three per node
    // (the records of NDSP, when the model states them), and the list ends at the first pair
    // that names no such translation (a hole of the file reads as node 0).
    int first = 0;
    int present = 0;
    locate_elem_data(MODEL_SUB_ID, KEY_NDSP, first, present);
    const std::int64_t nodes = present ? located_records(ELEM_DATA_UNIT, first) : 0;
    std::vector<std::pair<std::int32_t, std::int32_t>>& supports = build.support_pairs;
    supports.clear();
    locate_elem_data(entry.history_id, KEY_MSES, first, present);
    if (present) {
        std::int64_t count = located_records(ELEM_DATA_UNIT, first);
        if (nodes > 0)
            count = std::min(count, 3 * nodes);
        for (std::int64_t r = 1; r <= count; ++r) {
            std::int32_t pair[2];
            // Records beyond a failed one are not there either.
            if (ResultUnits::ReadInts(ELEM_DATA_UNIT, std::int64_t{first} + r - 1, pair, 2) != dforrt::IO_OK)
                break;
            if (pair[0] < 1 || (nodes > 0 && pair[0] > nodes) || pair[1] < 1 || pair[1] > 3)
                break;
            supports.emplace_back(pair[0], pair[1]);
        }
    }
    int first_support = 0;
    int support_present = 0;
    locate_elem_data(entry.history_id, KEY_MSER, first_support, support_present);
    const std::int64_t support_steps = stored_doubles(shared_blocks().locate_block.located_words);
    const std::int64_t support_records = support_present ? located_records(ELEM_DATA_UNIT, first_support) : 0;
    int dmed_words = 0;
    int dmed_first = 0;
    const int dmed_present = locate_dmed_data(build, DMED_SUB_ID, 1, 0, 0, dmed_words, dmed_first);
    const std::int64_t dmed_records = dmed_present ? located_records(DMED_DATA_UNIT, dmed_first) : 0;

    for (int k = 1; k <= node_count; ++k) {
        for (int d = 1; d <= 6; ++d) {
            const int j = 6 * (k - 1) + d;
            if (j > dof_count)
                continue;
            const int e = equation_numbers[j - 1];
            if (e == 0 && d <= 3) {
                if (!support_present)
                    continue;
                for (std::size_t r = 0; r < supports.size(); ++r) {
                    if (supports[r].first == node_numbers[k - 1] && supports[r].second == d) {
                        if (in_data_set(3 * static_cast<std::int64_t>(r + 1), support_records))
                            series.read(ELEM_DATA_UNIT,
                                        std::int64_t{first_support} + 3 * static_cast<std::int64_t>(r + 1) - 1,
                                        support_steps, j);
                        break;
                    }
                }
            } else if (e > 0 && dmed_present && in_data_set(3 * std::int64_t{e}, dmed_records)) {
                series.read(DMED_DATA_UNIT, std::int64_t{dmed_first} + 3 * std::int64_t{e} - 1,
                            stored_doubles(dmed_words), j);
            }
        }
    }
}

void nodal_axes(const DriverBuildState& build, const double* displacement, double* axes_displacement,
                const int* node_numbers, int node_count)
{
    const int columns = value_columns(build);
    zero_rows(axes_displacement, 6 * node_count, columns);
    int first = 0;
    int present = 0;
    locate_elem_data(MODEL_SUB_ID, KEY_NDSP, first, present);
    if (!present)
        return;
    const std::int64_t nodes = located_records(ELEM_DATA_UNIT, first);
    for (int k = 1; k <= node_count; ++k) {
        double v[27];
        if (!in_data_set(node_numbers[k - 1], nodes)
            || ResultUnits::ReadDoubles(ELEM_DATA_UNIT, std::int64_t{node_numbers[k - 1]} + first - 1, v, 27)
            != dforrt::IO_OK)
            continue;
        // T(r, c) for c >= r from values 7..27 row by row; below the diagonal 0.
        double t[6][6] = {};
        int next = 6;
        for (int r = 0; r < 6; ++r)
            for (int c = r; c < 6; ++c)
                t[r][c] = v[next++];
        const int base = 6 * (k - 1);
        for (int i = 0; i < columns; ++i) {
            for (int r = 0; r < 6; ++r) {
                double sum = 0.0;
                for (int c = 0; c < 6; ++c)
                    sum += t[r][c] * displacement[base + c + MAX_ELEMENT_DOFS * i];
                axes_displacement[base + r + MAX_ELEMENT_DOFS * i] = sum;
            }
        }
    }
}

} // namespace

int value_columns(const DriverBuildState& build)
{
    return build.build == Build::single_step ? 1 : std::max(shared_blocks().entry_block.value_count, 0);
}

void read_element_record(DriverBuildState& /*build*/, int element_number)
{
    int first = 0;
    int present = 0;
    locate_elem_data(MODEL_SUB_ID, KEY_ELMT, first, present);
    if (!present || !in_data_set(element_number, located_records(ELEM_DATA_UNIT, first)))
        return;
    std::int32_t material = 0;
    if (ResultUnits::ReadInts(ELEM_DATA_UNIT, std::int64_t{element_number} + first - 1, &material, 1) != dforrt::IO_OK
        || material < 1)
        return;
    locate_elem_data(MODEL_SUB_ID, KEY_MATL, first, present);
    if (!present)
        return;
    // The scan ends at the first record that is no material (a number below 1, a value that
    // is not finite): a hole of the file reads as material 0.
    const std::int64_t count = located_records(ELEM_DATA_UNIT, first);
    for (std::int64_t k = 1; k <= count; ++k) {
        double v[13];
        if (ResultUnits::ReadDoubles(ELEM_DATA_UNIT, std::int64_t{first} + k - 1, v, 13) != dforrt::IO_OK)
            return;
        if (truncate_to_int(v[0]) < 1 || !std::all_of(std::begin(v), std::end(v), [](double x) { return std::isfinite(x); }))
            return;
        if (std::trunc(v[0]) != static_cast<double>(material))
            continue;
        MaterialBlock& material_block = shared_blocks().material_block;
        material_block.elastic_modulus = v[1];
        material_block.poisson_ratio = v[2];
        material_block.material_type = truncate_to_int(v[3]);
        for (int c = 0; c < 9; ++c)
            material_block.material_constants[static_cast<std::size_t>(c)] = v[4 + c];
        return;
    }
}

void read_element_data(DriverBuildState& build, double* displacement, double* axes_displacement, int dof_count,
                       const int* equation_numbers, const int* node_numbers, int node_count, int skip_axes)
{
    const EntryBlock& entry = shared_blocks().entry_block;
    const int columns = value_columns(build);
    const bool known_type = entry.history_type == 1 || entry.history_type == 2;
    if (!known_type || dof_count < 0 || dof_count > MAX_ELEMENT_DOFS || node_count < 0
        || node_count > MAX_ELEMENT_NODES) {
        zero_rows(displacement, MAX_ELEMENT_DOFS, columns);
        zero_rows(axes_displacement, MAX_ELEMENT_DOFS, columns);
        return;
    }
    // The direct reader of the history build writes every row itself.
    if (entry.history_type == 1 || build.build == Build::single_step)
        zero_rows(displacement, std::max(dof_count, 6 * node_count), columns);
    if (entry.history_type == 1)
        modal_displacements(build, displacement, dof_count, equation_numbers);
    else
        direct_displacements(build, displacement, dof_count, equation_numbers, node_numbers, node_count);
    if (entry.history_type == 2 && entry.mses_present == 1)
        ResultUnits::Close(DMED_DATA_UNIT);
    if (skip_axes != 1)
        nodal_axes(build, displacement, axes_displacement, node_numbers, node_count);
}

} // namespace kvpvs::recovery
