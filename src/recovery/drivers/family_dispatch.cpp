#include "recovery/drivers/family_dispatch.h"

#include "recovery/drivers/linear_plate_family.h"
#include "recovery/drivers/plane_families.h"
#include "recovery/drivers/solid_families.h"
#include "recovery/drivers/quadratic_plate_family.h"

namespace kvpvs::recovery {

int element_family(int element_kind)
{
    constexpr int FAMILY_OF_KIND[ELEMENT_KIND_COUNT] = {1, 1, 2, 3, 4, 5, 6, 7};
    if (element_kind < 1 || element_kind > ELEMENT_KIND_COUNT)
        return 0;
    return FAMILY_OF_KIND[element_kind - 1];
}

namespace {

// The family routines serve both builds; each keeps its build's state apart.
FamilyTable built_in_families()
{
    FamilyTable table{};
    table[0] = linear_plane_results;
    table[1] = linear_plate_results;
    table[2] = linear_solid_results;
    table[3] = quadratic_plane_stress_results;
    table[4] = quadratic_plane_strain_results;
    table[5] = quadratic_plate_results;
    table[6] = quadratic_solid_results;
    return table;
}

} // namespace

FamilyTable& family_table(Build build)
{
    static FamilyTable history = built_in_families();
    static FamilyTable single_step = built_in_families();
    return build == Build::history ? history : single_step;
}

} // namespace kvpvs::recovery
