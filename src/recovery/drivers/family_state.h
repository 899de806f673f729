// Retained storage of the plane and solid family routines, one set per build beside the
// build's DriverBuildState: the element matrices that a call forms once and applies to every
// value, the compliance of the solid strains, and the value-indexed arrays, which grow to the
// largest request and are then reused, so that no value loop allocates.
#pragma once

#include "recovery/drivers/driver_state.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <memory>
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

// The centre stress rows C(6, 3nn) of a quadratic solid per unit global translation, with
// the node count, coordinates and material they were formed from (nn 0: none formed), and
// whether forming them wrote the Jacobian message. The arrays, column-major, are written when
// the rows are formed: a block of rows is not cleared first.
struct SolidCentreRows {
    int nn = 0;
    int material_type = 0;
    bool jacobian_message = false;
    double material[11]; // elastic modulus, Poisson ratio, the nine constants
    double X[3 * 20];
    double C[6 * 60];
};

// Centre rows by element record, in blocks of 256 rows, so that keeping them allocates once a
// block. At most KEPT rows, of records 1..MAX_RECORD.
class SolidCentreRowsStore {
public:
    static constexpr std::size_t KEPT = 32768;
    static constexpr int MAX_RECORD = 1 << 24;

    // The rows kept for the record, or nullptr.
    SolidCentreRows* find(int record);
    // Rows to keep for a record that has none (nullptr when no more are kept); the allocation
    // may throw, leaving the store as it was.
    SolidCentreRows* add(int record);
    std::size_t size() const { return used_; }

private:
    static constexpr std::size_t BLOCK = 256;
    std::vector<std::int32_t> slot_of_record_; // slot + 1 by record; 0: none
    std::vector<std::unique_ptr<SolidCentreRows[]>> blocks_;
    std::size_t used_ = 0;
};

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

    // Single-step centre requests of the quadratic solid: the store of the CentreRowsUse in
    // force (none: nothing kept), and the rows of a record that is not kept.
    SolidCentreRowsStore* solid_centre_rows = nullptr;
    SolidCentreRows solid_centre_scratch;

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
