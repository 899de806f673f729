#include "recovery/drivers/family_dispatch.h"

#include "recovery/drivers/linear_plate_family.h"
#include "recovery/drivers/quadratic_plate_family.h"

namespace kvpvs::recovery {

int element_family(int element_kind)
{
    constexpr int FAMILY_OF_KIND[ELEMENT_KIND_COUNT] = {1, 1, 2, 3, 4, 5, 6, 7};
    if (element_kind < 1 || element_kind > ELEMENT_KIND_COUNT)
        return 0;
    return FAMILY_OF_KIND[element_kind - 1];
}

FamilyTable& family_table(Build build)
{
    static FamilyTable history{nullptr, &linear_plate_results};
    static FamilyTable single_step{nullptr, &linear_plate_results};
    [[maybe_unused]] static const bool slot6 = (history[5] = single_step[5] = &quadratic_plate_results, true);
    return build == Build::history ? history : single_step;
}

} // namespace kvpvs::recovery
