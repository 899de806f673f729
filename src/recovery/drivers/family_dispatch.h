// Element kinds and families of the element result-recovery library, and the table through
// which the entry reaches the family routine of each family in each build.
#pragma once

#include "recovery/drivers/driver_state.h"

#include <array>

namespace kvpvs::recovery {

constexpr int ELEMENT_KIND_COUNT = 8;
constexpr int ELEMENT_FAMILY_COUNT = 7;

// Family of element kind 1..8: 1, 2 -> 1 (linear plane), 3 -> 2 (linear plate), 4 -> 3
// (linear solid), 5 -> 4, 6 -> 5 (quadratic plane stress, strain), 7 -> 6 (quadratic plate),
// 8 -> 7 (quadratic solid); 0 for any other kind.
int element_family(int element_kind);

// A family routine fills rows of the work array (350, columns of the build), 1-based and
// column-major. axes_option is read by families 1, 3, 4, 5 and 7 only.
using FamilyRoutine = void (*)(DriverBuildState& build, double* work, int axes_option);

// Routines of families 1..7 in one build (index family - 1); a family without a routine
// leaves the work array as it is (zero).
using FamilyTable = std::array<FamilyRoutine, ELEMENT_FAMILY_COUNT>;
FamilyTable& family_table(Build build);

} // namespace kvpvs::recovery
