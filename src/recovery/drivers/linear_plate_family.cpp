#include "recovery/drivers/linear_plate_family.h"

#include "recovery/drivers/element_results.h"
#include "recovery/drivers/family_support.h"
#include "recovery/drivers/keyword_tables.h"
#include "recovery/drivers/plate_variant.h"
#include "recovery/drivers/record_readers.h"
#include "recovery/drivers/record_values.h"
#include "recovery/drivers/result_file_families.h"

#include <DFORRT/DirectUnits.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <vector>

namespace kvpvs::recovery {
namespace {

constexpr int MAX_PLATE_NODES = 4;
constexpr int PLATE_DOFS = 24;
constexpr int STORED_MATRIX_VALUES = 600;
// Record values of the counts and of the element block (value k of the block is 603 + k).
constexpr int VALUE_N = 601;
constexpr int VALUE_M = 602;
constexpr int ELEMENT_BLOCK = 603;
constexpr int POINT_VALUES = 8;
constexpr int POINT_COMPONENTS = 14;
constexpr int RESULT_POINTS = 5;

// What one build keeps between calls: the displacement stores grow to the largest history met
// and are reused, so that a call allocates nothing once they have grown; the fixed stores are
// reset by every call.
struct PlateFamilyState {
    std::array<double, PLATE_RECORD_VALUES> record{};
    std::vector<double> displacement;       // D (120, n)
    std::vector<double> axes_displacement;  // U (120, n)
    std::vector<double> element_axes_displacement;  // T times each triple of U (24, n)
    FixedMatrix<PLATE_DOFS, PLATE_DOFS> K;
    std::array<int, PLATE_DOFS> equations{};
    std::array<int, MAX_PLATE_NODES> nodes{};
    FixedMatrix<3, MAX_PLATE_NODES> X;
    std::array<double, MAX_PLATE_NODES> x{}, y{}, z{};
    FixedVector<MAX_PLATE_NODES> release;
    Mat33 T;
    std::array<double, 200> V{};
    FixedMatrix<6, MAX_PLATE_NODES> L;
    FixedMatrix<POINT_VALUES, RESULT_POINTS> P;
    std::array<double, POINT_COMPONENTS * RESULT_POINTS> W{};
};

PlateFamilyState& plate_family_state(Build build)
{
    static PlateFamilyState history;
    static PlateFamilyState single_step;
    return build == Build::history ? history : single_step;
}

enum class PlateKernel { none, quad_thick, quad_thin, quad_variant, tri_thick, tri_thin };

PlateKernel select_kernel(bool single, int node_count, int plate_type, int variant_switch)
{
    if (node_count == 3) {
        if (plate_type == 0)
            return PlateKernel::tri_thick;
        return plate_type == 1 ? PlateKernel::tri_thin : PlateKernel::none;
    }
    // The variant treats the plate type as 0 and exists only in the history build.
    if (!single && variant_switch == 1)
        return PlateKernel::quad_variant;
    if (plate_type == 0)
        return single || variant_switch == 0 ? PlateKernel::quad_thick : PlateKernel::none;
    return plate_type == 1 ? PlateKernel::quad_thin : PlateKernel::none;
}

// W of one result point from the variant's forces and moments per unit length s and the
// section h (0-based): surface stresses from the membrane and bending stresses of each
// direction with its own thicknesses and fibre distances.
void variant_point(const double* s, double* W, const std::array<double, 11>& h)
{
    const double m1 = plate_quotient(s[0], h[0]);
    const double m2 = plate_quotient(s[1], h[1]);
    const double m3 = plate_quotient(s[2], (h[0] + h[1]) / 2.0);
    const double b1 = plate_quotient(12.0 * s[3], h[2] * h[2] * h[2]);
    const double b2 = plate_quotient(12.0 * s[4], h[3] * h[3] * h[3]);
    const double b3 = plate_quotient(12.0 * s[5], h[4] * h[4] * h[4]);
    W[0] = m1 + h[5] * b1;
    W[1] = m2 + h[7] * b2;
    W[2] = m3 + ((h[5] + h[7]) / 2.0) * b3;
    W[3] = m1 - h[6] * b1;
    W[4] = m2 - h[8] * b2;
    W[5] = m3 - ((h[6] + h[8]) / 2.0) * b3;
    W[6] = s[0];
    W[7] = s[1];
    W[8] = s[2];
    W[9] = -s[3];
    W[10] = -s[4];
    W[11] = -s[5];
    W[12] = s[7];
    W[13] = s[6];
}

void ordinary_point(const double* s, double* W, const std::array<double, 11>& h)
{
    for (int c = 0; c < 3; ++c) {
        W[c] = s[c] + s[3 + c];
        W[3 + c] = s[c] - s[3 + c];
    }
    stresses_to_unit_forces(s, W + 6, h.data());
}

// Reads the element's PLAT record into state.record; false when the data set is absent, the
// element's index lies outside it or the record cannot be read whole.
bool read_plate_record(PlateFamilyState& state)
{
    const EntryBlock& entry = shared_blocks().entry_block;
    const int sub_id = entry.thlg_value == 2 ? 4 : 3;
    int first = 0;
    int present = 0;
    locate_elem_data(sub_id, KEY_PLAT, first, present);
    if (!present)
        return false;
    const int index = entry.element_type;
    if (index < 1 || index > shared_blocks().locate_block.located_count)
        return false;
    return dforrt::DirectUnits::ReadDoubles(ELEM_DATA_UNIT, std::int64_t{first} + index - 1, state.record.data(),
                                            PLATE_RECORD_VALUES)
           == dforrt::IO_OK;
}

} // namespace

void stresses_to_unit_forces(const double* s, double* f, const double* h)
{
    const double h1 = h[0];
    const double h2 = h[1];
    // Moments of a linear stress through the bending thickness: M = -(h2^2 / 6) sigma_b.
    const double w = h2 * h2 / 6.0;
    f[0] = h1 * s[0];
    f[1] = h1 * s[1];
    f[2] = h1 * s[2];
    f[3] = -w * s[3];
    f[4] = -w * s[4];
    f[5] = -w * s[5];
    f[6] = h2 * s[7];
    f[7] = h2 * s[6];
}

void linear_plate_results(DriverBuildState& build, double* work, int /*axes_option*/)
{
    PlateFamilyState& st = plate_family_state(build.build);
    SharedBlocks& blocks = shared_blocks();
    const bool single = build.build == Build::single_step;
    const int n = value_columns(build);

    if (!read_plate_record(st))
        return;
    const auto value = [&st](int k) { return st.record[static_cast<std::size_t>(k - 1)]; };
    const auto block = [&value](int k) { return value(ELEMENT_BLOCK + k); };

    // Counts beyond the stores: the record is not this family's, nothing is recovered.
    if (!std::isfinite(value(VALUE_N)) || !std::isfinite(value(VALUE_M)) || !std::isfinite(block(1)))
        return;
    const int N = truncate_to_int(value(VALUE_N));
    const int M = truncate_to_int(value(VALUE_M));
    const int stored_nodes = truncate_to_int(block(1));
    if (stored_nodes < 1 || stored_nodes > MAX_PLATE_NODES || N < 0 || N > PLATE_DOFS || M < 0 || M > PLATE_DOFS
        || N + N * M > STORED_MATRIX_VALUES)
        return;

    st.equations.fill(0);
    for (int j = 1; j <= N; ++j)
        st.equations[static_cast<std::size_t>(j - 1)] = truncate_to_int(value(j));
    st.K.fill(0.0);
    for (int c = 1; c <= N; ++c)
        for (int r = 1; r <= M; ++r)
            st.K(r, c) = value(N + (c - 1) * M + r);

    // Element block: nodes, section and material into the shared blocks the kernels read.
    st.nodes.fill(0);
    st.X.fill(0.0);
    for (int k = 1; k <= stored_nodes; ++k) {
        st.nodes[static_cast<std::size_t>(k - 1)] = truncate_to_int(block(1 + k));
        for (int c = 1; c <= 3; ++c)
            st.X(c, k) = block(6 + 3 * (k - 1) + (c - 1));
    }
    for (int i = 0; i < 11; ++i)
        blocks.section_values[static_cast<std::size_t>(i)] = block(18 + i);
    MaterialBlock& material = blocks.material_block;
    material.elastic_modulus = block(29);
    material.poisson_ratio = block(30);
    material.material_type = truncate_to_int(block(31));
    for (int i = 0; i < 9; ++i)
        material.material_constants[static_cast<std::size_t>(i)] = block(32 + i);
    const bool released = truncate_to_int(block(42)) == 1;
    st.release.fill(0.0);
    if (released)
        for (int k = 1; k <= stored_nodes; ++k)
            st.release(k) = block(42 + k);

    const bool triangle = st.nodes[3] == 0 || st.nodes[3] == st.nodes[2];
    const int node_count = triangle ? 3 : 4;
    for (int k = 1; k <= MAX_PLATE_NODES; ++k) {
        st.x[static_cast<std::size_t>(k - 1)] = st.X(1, k);
        st.y[static_cast<std::size_t>(k - 1)] = st.X(2, k);
        st.z[static_cast<std::size_t>(k - 1)] = st.X(3, k);
    }
    st.T.fill(0.0);
    element_axes(st.x.data(), st.y.data(), st.z.data(), st.T, triangle ? 1 : 4);

    int plate_type = truncate_to_int(block(47));
    if (!single) {
        const bool without_internal_modes = plate_type == 2 || plate_type == 3;
        blocks.membrane_flag = without_internal_modes ? 1 : 0;
        if (without_internal_modes)
            plate_type -= 2;
    }
    blocks.plane_mode = 0;

    const std::size_t columns = static_cast<std::size_t>(std::max(n, 1));
    constexpr std::size_t LD = MAX_ELEMENT_DOFS;
    st.displacement.resize(std::max(st.displacement.size(), LD * columns));
    st.axes_displacement.resize(std::max(st.axes_displacement.size(), LD * columns));
    st.element_axes_displacement.resize(std::max(st.element_axes_displacement.size(), PLATE_DOFS * columns));
    double* D = st.displacement.data();
    double* U = st.axes_displacement.data();
    double* Ue = st.element_axes_displacement.data();
    read_element_data(build, D, U, N, st.equations.data(), st.nodes.data(), node_count, 0);

    // Element-axes displacements of every value: T times each translation and rotation triple.
    const Mat33& T = st.T;
    for (int i = 0; i < n; ++i) {
        const double* u = U + LD * static_cast<std::size_t>(i);
        double* l = Ue + static_cast<std::size_t>(PLATE_DOFS) * static_cast<std::size_t>(i);
        for (int t = 0; t < 2 * node_count; ++t)
            for (int r = 1; r <= 3; ++r)
                l[3 * t + r - 1] = T(r, 1) * u[3 * t] + T(r, 2) * u[3 * t + 1] + T(r, 3) * u[3 * t + 2];
        std::fill(l + 6 * node_count, l + PLATE_DOFS, 0.0);
    }
    if (released) {
        if (single)
            build.library.shell_stiffness(plate_type, Ue, PLATE_DOFS, st.X, node_count, T, st.release);
        else
            build.library.shell_stiffness(plate_type, Ue, PLATE_DOFS, st.X, n, node_count, T, st.release);
    }

    const PlateKernel kernel =
        select_kernel(single, node_count, plate_type, truncate_to_int(blocks.section_values[10]));
    double* V = st.V.data();
    double* W = st.W.data();
    for (int i = 1; i <= n; ++i) {
        const std::size_t column = static_cast<std::size_t>(i - 1);
        st.V.fill(0.0);
        // Nodal forces and moments: the stored element matrix times the displacements.
        const double* d = D + LD * column;
        for (int r = 1; r <= M; ++r) {
            double sum = 0.0;
            for (int c = 1; c <= N; ++c)
                sum += st.K(r, c) * d[c - 1];
            V[r - 1] = sum;
        }
        std::copy_n(Ue + static_cast<std::size_t>(PLATE_DOFS) * column, PLATE_DOFS, st.L.a.begin());

        const int value_index = single ? 1 : i;
        int corners = node_count;
        st.P.fill(0.0);
        switch (kernel) {
        case PlateKernel::quad_thick:
            build.library.quad_thick_results(4, st.L, st.P, st.X, T, value_index, 0);
            break;
        case PlateKernel::quad_thin:
            build.library.quad_thin_results(4, st.L, st.P, st.X, T, value_index, 0);
            break;
        case PlateKernel::quad_variant:
            quad_orthotropic_plate_results(build, 4, st.L, st.P, st.X, T, value_index, 0);
            break;
        case PlateKernel::tri_thick:
            build.library.tri_thick_results(corners, st.L, st.P, st.X, T, value_index);
            break;
        case PlateKernel::tri_thin:
            build.library.tri_thin_results(corners, st.L, st.P, st.X, T, value_index, 1);
            break;
        case PlateKernel::none:
            break;
        }

        st.W.fill(0.0);
        if (kernel != PlateKernel::none) {
            if (node_count == 4) {
                std::copy_n(st.P.a.begin(), 40, V + 24);
                // Gauss-point blocks to nodes 1..4; the centre block stays.
                gauss_to_nodes(build, V, 6, 8);
            } else {
                std::copy_n(st.P.a.begin(), 32, V + 24);
            }
            for (int p = 1; p <= RESULT_POINTS; ++p) {
                const double* s = V + 16 + 8 * p;
                double* w = W + POINT_COMPONENTS * (p - 1);
                if (kernel == PlateKernel::quad_variant)
                    variant_point(s, w, blocks.section_values);
                else
                    ordinary_point(s, w, blocks.section_values);
            }
        }
        rotate_node_vectors(build, V, T, node_count);

        double* out = work + static_cast<std::size_t>(WORK_ROWS) * column;
        std::copy_n(V, 24, out);
        std::copy_n(W, POINT_COMPONENTS * RESULT_POINTS, out + 24);
    }
}

} // namespace kvpvs::recovery
