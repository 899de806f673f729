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

void reset_value_array(std::vector<double>& v, int rows, int columns)
{
    v.assign(extent(rows, std::max(columns, 0)), 0.0);
}

} // namespace kvpvs::recovery
