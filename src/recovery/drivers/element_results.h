// The one entry of the element result-recovery library, in its two builds. For one plane,
// plate or solid element of a time-history analysis it reads the element's records from the
// solver's result files beside `base_path`, lets the element's family routine recover forces
// and stresses into a work array of 350 components per step, and returns one component.
// The history build returns every step, the single-step build one step. Not reentrant:
// calls of either build must not overlap (they share the library's data blocks).
#pragma once

namespace kvpvs::recovery {

// Work array rows per value: the component rows of the family routines.
constexpr int WORK_ROWS = 350;

namespace history_build {

// output receives n = value_count values (nothing when n <= 0). Values are in the units of
// the result files. A request the files cannot answer leaves zeros.
void element_results(const char* base_path, int path_length, int element_kind, int element_type,
                     int component_row, int history_id, int value_count, int product_selector,
                     int mode_selector, double* output, int axes_option, int element_number);

} // namespace history_build

namespace step_build {

// output receives the one value of time step step_number.
void element_results(const char* base_path, int path_length, int element_kind, int element_type,
                     int component_row, int history_id, int value_count, int step_number,
                     int product_selector, int mode_selector, double* output, int axes_option,
                     int element_number);

} // namespace step_build

} // namespace kvpvs::recovery
