#include "recovery/drivers/quadratic_plate_family.h"

#include "recovery/drivers/element_results.h"
#include "recovery/drivers/family_support.h"
#include "recovery/drivers/keyword_tables.h"
#include "recovery/drivers/linear_plate_family.h"
#include "recovery/drivers/record_readers.h"
#include "recovery/drivers/record_values.h"
#include "recovery/drivers/result_file_families.h"
#include "recovery/drivers/sub_plate_results.h"
#include "recovery/drivers/sub_plate_stiffness.h"

#include <DFORRT/DirectUnits.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <vector>

namespace kvpvs::recovery {
namespace {

constexpr int MAX_NODES = 8;
// Record values: the degree-of-freedom count, the node count, the first node number, section
// value 1, the material.
constexpr int VALUE_N = 49;
constexpr int VALUE_NODE_COUNT = 52;
constexpr int VALUE_NODES = 53;
constexpr int VALUE_SECTION = 61;
constexpr int VALUE_MODULUS = 72;
constexpr int VALUE_POISSON = 73;
constexpr int VALUE_MATERIAL_TYPE = 74;
constexpr int VALUE_CONSTANTS = 75;
constexpr int POINT_COMPONENTS = 14;
constexpr int MODEL_SUB_ID = 3;
// The sub-plates always use the shear-deformable kernels.
constexpr int PLATE_TYPE = 0;

// What one build keeps between calls: the displacement stores grow to the largest history met and
// are reused, so that a call allocates nothing once they have grown; the fixed stores are reset by
// every call.
struct QuadPlateFamilyState {
    std::array<double, QUAD_PLATE_RECORD_VALUES> record{};
    std::vector<double> displacement;       // D (120, n)
    std::vector<double> axes_displacement;  // U (120, n)
    std::vector<double> sub_plate;          // S (24, 4 n)
    FixedMatrix<QUAD_PLATE_DOFS, QUAD_PLATE_DOFS> K;
    Mat33 T;
    FixedMatrix<3, MAX_NODES> X;
    std::array<int, MAX_ELEMENT_NODES> nodes{};
    std::array<int, QUAD_PLATE_DOFS> equations{};
    std::array<double, 4> x{}, y{}, z{};
    std::array<double, 300> F{};
    FixedMatrix<SUB_PLATE_DOFS, SUB_PLATES> E;
    FixedMatrix<POINT_VALUES, QUAD_PLATE_RESULT_POINTS> P;
    FixedMatrix<POINT_COMPONENTS, QUAD_PLATE_RESULT_POINTS> W;
};

QuadPlateFamilyState& family_state(Build build)
{
    static QuadPlateFamilyState history;
    static QuadPlateFamilyState single_step;
    return build == Build::history ? history : single_step;
}

// Reads the element's PLTH record into state.record; false when the data set is absent, the
// element's index lies outside it or the record cannot be read whole.
bool read_plate_record(QuadPlateFamilyState& st)
{
    const EntryBlock& entry = shared_blocks().entry_block;
    const int sub_id = entry.thlg_value == 2 ? 4 : MODEL_SUB_ID;
    int first = 0;
    int present = 0;
    locate_elem_data(sub_id, KEY_PLTH, first, present);
    if (!present || !in_data_set(entry.element_type, located_records(ELEM_DATA_UNIT, first)))
        return false;
    return dforrt::DirectUnits::ReadDoubles(ELEM_DATA_UNIT, std::int64_t{first} + entry.element_type - 1,
                                            st.record.data(), QUAD_PLATE_RECORD_VALUES)
           == dforrt::IO_OK;
}

// x, y, z of nodes 1..node_count from CORD (sub-id 3 whatever the history); false when the data
// set is absent, a node lies outside it, or a record cannot be read or holds no coordinates.
bool read_coordinates(QuadPlateFamilyState& st, int node_count)
{
    int first = 0;
    int present = 0;
    locate_elem_data(MODEL_SUB_ID, KEY_CORD, first, present);
    if (!present)
        return false;
    const std::int64_t records = located_records(ELEM_DATA_UNIT, first);
    st.X.fill(0.0);
    for (int k = 1; k <= node_count; ++k) {
        const int node = st.nodes[static_cast<std::size_t>(k - 1)];
        double v[3];
        if (!in_data_set(node, records)
            || dforrt::DirectUnits::ReadDoubles(ELEM_DATA_UNIT, std::int64_t{node} + first - 1, v, 3) != dforrt::IO_OK
            || !std::isfinite(v[0]) || !std::isfinite(v[1]) || !std::isfinite(v[2]))
            return false;
        for (int c = 1; c <= 3; ++c)
            st.X(c, k) = v[c - 1];
    }
    return true;
}

} // namespace

void quadratic_plate_results(DriverBuildState& build, double* work, int /*axes_option*/)
{
    QuadPlateFamilyState& st = family_state(build.build);
    SharedBlocks& blocks = shared_blocks();
    const int n = value_columns(build);

    if (!read_plate_record(st))
        return;
    const auto value = [&st](int k) { return st.record[static_cast<std::size_t>(k - 1)]; };
    const int N = truncate_to_int(value(VALUE_N));
    const int node_count = truncate_to_int(value(VALUE_NODE_COUNT));
    if (N < 0 || N > QUAD_PLATE_DOFS || (node_count != 6 && node_count != 8))
        return;
    // Section and material the kernels would turn into NaN everywhere: the record is no element's.
    for (int k = VALUE_SECTION; k < VALUE_CONSTANTS + 9; ++k)
        if (!std::isfinite(value(k)))
            return;

    st.equations.fill(0);
    for (int j = 1; j <= N; ++j)
        st.equations[static_cast<std::size_t>(j - 1)] = truncate_to_int(value(j));
    st.nodes.fill(0);
    for (int k = 1; k <= node_count; ++k)
        st.nodes[static_cast<std::size_t>(k - 1)] = truncate_to_int(value(VALUE_NODES + k - 1));
    for (int i = 0; i < 11; ++i)
        blocks.section_values[static_cast<std::size_t>(i)] = value(VALUE_SECTION + i);
    MaterialBlock& material = blocks.material_block;
    material.elastic_modulus = value(VALUE_MODULUS);
    material.poisson_ratio = value(VALUE_POISSON);
    material.material_type = truncate_to_int(value(VALUE_MATERIAL_TYPE));
    for (int i = 0; i < 9; ++i)
        material.material_constants[static_cast<std::size_t>(i)] = value(VALUE_CONSTANTS + i);
    if (!read_coordinates(st, node_count))
        return;
    // The sub-plate kernels read both words: a linear plate of code 2 or 3 or a plane-strain
    // element computed before must not leave its setting here.
    blocks.membrane_flag = 0;
    blocks.plane_mode = 0;

    // Axes from the first four nodes: the corners of an eight-node element; corners 1..3 (and
    // node 4, which the edge rule does not read) of a six-node element.
    for (int k = 1; k <= 4; ++k) {
        st.x[static_cast<std::size_t>(k - 1)] = st.X(1, k);
        st.y[static_cast<std::size_t>(k - 1)] = st.X(2, k);
        st.z[static_cast<std::size_t>(k - 1)] = st.X(3, k);
    }
    st.T.fill(0.0);
    element_axes(st.x.data(), st.y.data(), st.z.data(), st.T, node_count == 8 ? 4 : 1);

    const int columns = std::max(n, 1);
    const std::size_t column_count = static_cast<std::size_t>(columns);
    constexpr int LD = MAX_ELEMENT_DOFS;
    st.displacement.resize(std::max(st.displacement.size(), static_cast<std::size_t>(LD) * column_count));
    st.axes_displacement.resize(std::max(st.axes_displacement.size(), static_cast<std::size_t>(LD) * column_count));
    st.sub_plate.resize(
        std::max(st.sub_plate.size(), static_cast<std::size_t>(SUB_PLATE_DOFS * SUB_PLATES) * column_count));
    double* D = st.displacement.data();
    double* U = st.axes_displacement.data();
    read_element_data(build, D, U, N, st.equations.data(), st.nodes.data(), node_count, 0);

    const MatView S(st.sub_plate.data(), SUB_PLATE_DOFS, SUB_PLATE_DOFS, SUB_PLATES * columns);
    sub_plate_displacements(build, node_count, PLATE_TYPE, ConstMatView(U, LD, LD, columns), S, n, st.X);
    quadratic_plate_stiffness(build, node_count, st.K, st.X);

    const int dofs = 6 * node_count;
    const int sub_plate_dofs = node_count == 6 ? 18 : SUB_PLATE_DOFS;
    for (int i = 1; i <= n; ++i) {
        const std::size_t column = static_cast<std::size_t>(i - 1);
        // Nodal forces and moments: the element stiffness times the displacements.
        st.F.fill(0.0);
        quad_plate_forces(st.K, D + static_cast<std::size_t>(LD) * column, dofs, st.F.data());
        st.E.fill(0.0);
        for (int s = 1; s <= SUB_PLATES; ++s)
            for (int r = 1; r <= sub_plate_dofs; ++r)
                st.E(r, s) = S(r, s + SUB_PLATES * (i - 1));
        // The first value forms each sub-plate's terms, the later ones reuse them.
        st.P.fill(0.0);
        sub_plate_stresses(build, node_count, PLATE_TYPE, st.E, st.P, st.X, i, st.T);

        st.W.fill(0.0);
        for (int j = 1; j <= node_count + 1; ++j) {
            const double* s = &st.P(1, j);
            double* w = &st.W(1, j);
            for (int c = 0; c < 3; ++c) {
                w[c] = s[c] + s[3 + c];
                w[3 + c] = s[c] - s[3 + c];
            }
            stresses_to_unit_forces(s, w + 6, blocks.section_values.data());
        }
        rotate_node_vectors(build, st.F.data(), st.T, node_count);

        double* out = work + static_cast<std::size_t>(WORK_ROWS) * column;
        std::copy_n(st.F.begin(), QUAD_PLATE_DOFS, out);
        std::copy_n(st.W.a.begin(), POINT_COMPONENTS * QUAD_PLATE_RESULT_POINTS, out + QUAD_PLATE_DOFS);
    }
}

} // namespace kvpvs::recovery
