#include "recovery/drivers/driver_state.h"

namespace kvpvs::recovery {

DriverBuildState& driver_build(Build build)
{
    static DriverBuildState history{Build::history, history_library()};
    static DriverBuildState single_step{Build::single_step, step_library()};
    return build == Build::history ? history : single_step;
}

} // namespace kvpvs::recovery
