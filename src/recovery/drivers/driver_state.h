// Retained state of one build of the element result-recovery drivers. The call's facts travel
// in the library's shared data blocks (one storage for both builds); what each build keeps for
// itself between calls lives here, beside the kernels' object of the same build.
#pragma once

#include "recovery/kernels/element_library.h"

#include <cstdint>
#include <utility>
#include <vector>

namespace kvpvs::recovery {

constexpr int RESULT_PATH_CAPACITY = static_cast<int>(sizeof(ResultPathBlock::result_path));

struct DriverBuildState {
    DriverBuildState(Build b, ElementLibrary& l) : build(b), library(l) {}

    Build build;
    ElementLibrary& library;
    // Direct-file lookup: the name suffix, record count and status of its last call.
    char dmed_suffix[2] = {' ', ' '};
    int dmed_suffix_length = 0;
    int dmed_count = 0;
    int dmed_status = 0;
    // stress_to_strain: the compliance Q(3, 3) of the last call that formed it.
    Mat33 strain_compliance{};
    // Series of a direct history staged by read_element_data before they fill its array.
    std::vector<double> series_scratch;
    // Work arrays of read_element_data, kept so that a call allocates nothing once they have
    // grown: mode shapes s(j, m), one MSHP record, modal coordinates q(m, i), one mode's run of
    // MDSP values, and the (node, direction) pairs of the supports with their own motion.
    std::vector<double> mode_shapes;
    std::vector<double> shape_record;
    std::vector<double> modal_coordinates;
    std::vector<double> coordinate_run;
    std::vector<std::pair<std::int32_t, std::int32_t>> support_pairs;
    // Scratch of rotate_node_vectors and gauss_to_nodes.
    std::array<double, 3> rotate_scratch{};
    std::array<double, 32> gauss_scratch{};
};

DriverBuildState& driver_build(Build build);

} // namespace kvpvs::recovery
