#include "recovery/drivers/family_state.h"

#include <algorithm>
#include <cstddef>

namespace kvpvs::recovery {
namespace {

std::size_t extent(int rows, int columns) { return static_cast<std::size_t>(rows) * static_cast<std::size_t>(columns); }

} // namespace

FamilyBuildState::FamilyBuildState()
    : plane_result(extent(PLANE_RESULT_ROWS, PLANE_RESULT_COLS)),
      plane_stiffness(extent(48, 48)),
      plane_stresses(extent(PLANE_RESULT_ROWS, PLANE_RESULT_COLS)),
      solid_result(extent(SOLID_RESULT_ROWS, SOLID_RESULT_COLS)),
      solid_stiffness(extent(SOLID_STIFFNESS_LD, SOLID_STIFFNESS_LD)),
      solid_stiffness_work(extent(SOLID_WORK_LD, SOLID_WORK_LD)),
      solid_rotation_work(extent(SOLID_STIFFNESS_LD, SOLID_STIFFNESS_LD)),
      solid_stresses(extent(SOLID_RESULT_ROWS, SOLID_STIFFNESS_LD)),
      linear_solid_record(static_cast<std::size_t>(LINEAR_SOLID_RECORD_VALUES)),
      linear_solid_matrix(extent(LINEAR_SOLID_ROWS, LINEAR_SOLID_COLS))
{
}

FamilyBuildState& family_state(Build build)
{
    static FamilyBuildState history;
    static FamilyBuildState single_step;
    return build == Build::history ? history : single_step;
}

SolidCentreRows* SolidCentreRowsStore::find(int record)
{
    if (record < 1 || static_cast<std::size_t>(record) >= slot_of_record_.size())
        return nullptr;
    const std::int32_t slot = slot_of_record_[static_cast<std::size_t>(record)];
    return slot > 0 ? &blocks_[static_cast<std::size_t>(slot - 1) / BLOCK][static_cast<std::size_t>(slot - 1) % BLOCK]
                    : nullptr;
}

SolidCentreRows* SolidCentreRowsStore::add(int record)
{
    if (record < 1 || record > MAX_RECORD || used_ >= KEPT || find(record))
        return nullptr;
    const auto r = static_cast<std::size_t>(record);
    if (r >= slot_of_record_.size())
        slot_of_record_.resize(std::max(r + 1, 2 * slot_of_record_.size()), 0);
    if (used_ == BLOCK * blocks_.size()) {
        blocks_.reserve(blocks_.size() + 1);
        blocks_.push_back(std::make_unique_for_overwrite<SolidCentreRows[]>(BLOCK));
    }
    SolidCentreRows* rows = &blocks_[used_ / BLOCK][used_ % BLOCK];
    ++used_;
    slot_of_record_[r] = static_cast<std::int32_t>(used_);
    return rows;
}

void reset_value_array(std::vector<double>& v, int rows, int columns)
{
    v.assign(extent(rows, std::max(columns, 0)), 0.0);
}

} // namespace kvpvs::recovery
