// Retained storage of the plane and solid family routines, one set per build beside the
// build's DriverBuildState: the element matrices that a call forms once and applies to every
// value, the compliance of the solid strains, and the value-indexed arrays, which grow to the
// largest request and are then reused, so that no value loop allocates.
#pragma once

#include "recovery/drivers/driver_state.h"

#include <vector>

namespace kvpvs::recovery {

// Leading dimensions of the retained matrices.
constexpr int PLANE_RESULT_ROWS = 60;    // quadratic plane element result matrix (60, 48)
constexpr int PLANE_RESULT_COLS = 48;
constexpr int SOLID_RESULT_ROWS = 228;   // quadratic solid element result matrix (228, 120)
constexpr int SOLID_RESULT_COLS = 120;
constexpr int SOLID_STIFFNESS_LD = 60;   // its stiffness block (60, 60)
constexpr int SOLID_WORK_LD = 69;        // the working stiffness over 20 nodes and 3 extra modes
constexpr int LINEAR_SOLID_ROWS = 78;    // stored linear solid matrix (78, 48)
constexpr int LINEAR_SOLID_COLS = 48;
constexpr int LINEAR_SOLID_RECORD_VALUES = 3805;  // R(3795), then H(10)

struct FamilyBuildState {
    FamilyBuildState();

    // Value-indexed arrays of one call: the reader's displacements and their nodal-axes form.
    std::vector<double> displacement;
    std::vector<double> axes_displacement;

    // Quadratic plane element: result matrix W(60, 48), stiffness K(48, 48) with its rotation
    // work, stress rows S(60, 48).
    std::vector<double> plane_result;
    std::vector<double> plane_stiffness;
    FixedMatrix<48, 48> plane_stiffness_work{};
    std::vector<double> plane_stresses;

    // Quadratic solid element: result matrix M(228, 120), stiffness (60, 60), working
    // stiffness (69, 69), rotation work (60, 60), stress rows S(228, 60).
    std::vector<double> solid_result;
    std::vector<double> solid_stiffness;
    std::vector<double> solid_stiffness_work;
    std::vector<double> solid_rotation_work;
    std::vector<double> solid_stresses;

    // Linear solid element: its record and the stored result matrix S(78, 48).
    std::vector<double> linear_solid_record;
    std::vector<double> linear_solid_matrix;

    // stresses_to_strains: the compliance Q(6, 6) of the last call that formed it.
    FixedMatrix<6, 6> solid_compliance{};
};

FamilyBuildState& family_state(Build build);

// Sizes `v` to rows x columns zeros (columns below 1 give an empty array).
void reset_value_array(std::vector<double>& v, int rows, int columns);

} // namespace kvpvs::recovery
