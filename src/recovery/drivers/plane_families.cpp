#include "recovery/drivers/plane_families.h"

#include "recovery/drivers/element_results.h"
#include "recovery/drivers/family_records.h"
#include "recovery/drivers/family_state.h"
#include "recovery/drivers/family_support.h"
#include "recovery/drivers/keyword_tables.h"
#include "recovery/drivers/record_readers.h"
#include "recovery/drivers/record_values.h"
#include "recovery/drivers/solid_support.h"

#include <algorithm>
#include <cmath>
#include <cstddef>

namespace kvpvs::recovery {
namespace {

constexpr int KEY_PSRN = 13;
constexpr int PLANE_RECORD_VALUES = 716;
constexpr int PSTH_VALUES = 83;
constexpr int PSRH_VALUES = 89;

double* work_column(double* work, int j) { return work + static_cast<std::size_t>(WORK_ROWS) * static_cast<std::size_t>(j - 1); }

const double* value_column(const std::vector<double>& a, int j)
{
    return a.data() + static_cast<std::size_t>(MAX_ELEMENT_DOFS) * static_cast<std::size_t>(j - 1);
}

void set_material(const double* v)
{
    MaterialBlock& m = shared_blocks().material_block;
    m.elastic_modulus = v[0];
    m.poisson_ratio = v[1];
    m.material_type = truncate_to_int(v[2]);
    for (int c = 0; c < 9; ++c)
        m.material_constants[static_cast<std::size_t>(c)] = v[3 + c];
}

void set_section(const double* v)
{
    for (int c = 0; c < 11; ++c)
        shared_blocks().section_values[static_cast<std::size_t>(c)] = v[c];
}

// In-plane rotation from element axes to the global axes of the element's coordinate plane,
// with alpha = -cos 2a and beta = sin 2a of the angle a of the element's first axis.
struct PlaneTurn {
    double alpha = 0.0;
    double beta = 0.0;

    // Stress triple (sx, sy, txy).
    void stresses(double* s) const
    {
        const double h = (s[0] + s[1]) / 2.0;
        const double d = (s[0] - s[1]) / 2.0;
        const double t = s[2];
        s[0] = h - alpha * d - beta * t;
        s[1] = h + alpha * d + beta * t;
        s[2] = beta * d - alpha * t;
    }
    // Strain triple (ex, ey, gxy): the engineering shear strain is twice the tensor one.
    void strains(double* e) const
    {
        const double h = (e[0] + e[1]) / 2.0;
        const double d = (e[0] - e[1]) / 2.0;
        const double g = e[2] / 2.0;
        e[0] = h - alpha * d - beta * g;
        e[1] = h + alpha * d + beta * g;
        e[2] = 2.0 * (beta * d - alpha * g);
    }
};

// The element normal lies along a global axis when |T(3, k)| is within 1e-5 of 1 (the
// bounds as single-precision values).
bool normal_along(const Mat33& T, int k)
{
    const double v = std::fabs(T(3, k));
    return v > 0.9999899864196777 && v < 1.0000100135803223;
}

// One 6- or 8-node plane element as its record describes it.
struct QuadraticPlane {
    int D = 0;
    int R = 0;
    int n = 0;
    int npts = 0;
    int equations[48] = {};
    int nodes[MAX_ELEMENT_NODES] = {};
    FixedMatrix<3, 8> XYZ;
    // In-plane node and integration-point coordinates relative to node 1.
    FixedMatrix<2, 8> LXY;
    FixedMatrix<2, 9> P;

    // Counts of words 49, 50 and 52, equations and node numbers; false outside the limits.
    bool decode(const double* w)
    {
        D = truncate_to_int(w[48]);
        R = truncate_to_int(w[49]);
        n = truncate_to_int(w[51]);
        if ((n != 6 && n != 8) || D < 0 || D > 48 || R < 0 || R > PLANE_RESULT_ROWS)
            return false;
        for (int j = 0; j < D; ++j)
            equations[j] = truncate_to_int(w[j]);
        for (int k = 0; k < n; ++k)
            nodes[k] = truncate_to_int(w[52 + k]);
        npts = n == 6 ? 3 : 9;
        return true;
    }

    void axes(Mat33& T) const
    {
        double x[4], y[4], z[4];
        for (int k = 1; k <= 4; ++k) {
            x[k - 1] = XYZ(1, k);
            y[k - 1] = XYZ(2, k);
            z[k - 1] = XYZ(3, k);
        }
        element_axes(x, y, z, T, n == 8 ? 4 : 1);
    }

    void integration_coordinates()
    {
        for (int ip = 1; ip <= npts; ++ip) {
            double xi = 0.0, eta = 0.0, zeta = 0.0, w = 0.0;
            integration_points(xi, eta, zeta, w, ip, npts, n, 4);
            FixedVector<10> N;
            shape_functions(N, xi, eta, zeta, n, 2);
            for (int c = 1; c <= 2; ++c) {
                double s = 0.0;
                for (int k = 1; k <= n; ++k)
                    s += N(k) * LXY(c, k);
                P(c, ip) = s;
            }
        }
    }

    // V(r) = sum_j W(r, j) U(j) for r = 1..R, then each stress component of the integration
    // points fitted and evaluated at the n nodes (rows 28..).
    void recover(ConstMatView W, const double* U, double* V) const
    {
        std::fill(V, V + 200, 0.0);
        for (int r = 1; r <= R; ++r) {
            double s = 0.0;
            for (int j = 1; j <= D; ++j)
                s += W(r, j) * U[j - 1];
            V[r - 1] = s;
        }
        for (int c = 1; c <= 3; ++c) {
            double G[9];
            double F[8];
            for (int k = 1; k <= npts; ++k)
                G[k - 1] = V[27 + c + 3 * (k - 1) - 1];
            fit_linear_to_nodes(F, G, LXY.a.data(), P.a.data(), n, npts, 2);
            for (int k = 1; k <= n; ++k)
                V[27 + c + 3 * (k - 1) - 1] = F[k - 1];
        }
    }
};

} // namespace

void quadratic_2d_result_matrix(DriverBuildState& build, int n, MatView W, ConstMatView XYZ)
{
    FamilyBuildState& state = family_state(build.build);
    Mat33 T;
    double x[4], y[4], z[4];
    for (int k = 1; k <= 4; ++k) {
        x[k - 1] = XYZ(1, k);
        y[k - 1] = XYZ(2, k);
        z[k - 1] = XYZ(3, k);
    }
    element_axes(x, y, z, T, n == 8 ? 4 : 1);
    const MatView K(state.plane_stiffness.data(), 48, 48, 48);
    FixedMatrix<4, 17> modes;
    build.library.quadratic_2d_stiffness(K, state.plane_stiffness_work, modes, 48, n, XYZ, T, 1);
    const MatView S(state.plane_stresses.data(), PLANE_RESULT_ROWS, PLANE_RESULT_ROWS, PLANE_RESULT_COLS);
    build.library.quadratic_2d_stresses(S, modes, n, XYZ, T);
    for (int i = 1; i <= n; ++i)
        for (int k = 1; k <= 3; ++k) {
            const int r = 3 * (i - 1) + k;
            const int c = 6 * (i - 1) + k;
            for (int j = 1; j <= n; ++j)
                for (int m = 1; m <= 3; ++m)
                    W(r, 6 * (j - 1) + m) = K(r, 3 * (j - 1) + m);
            for (int row = 25; row <= PLANE_RESULT_ROWS; ++row)
                W(row, c) = S(row, r);
        }
    std::fill(state.plane_stresses.begin(), state.plane_stresses.end(), 0.0);
}

void linear_plane_results(DriverBuildState& build, double* work, int axes_option)
{
    FamilyBuildState& state = family_state(build.build);
    SharedBlocks& blocks = shared_blocks();
    const int kind = blocks.entry_block.element_kind;
    const bool single = build.build == Build::single_step;
    const int columns = value_columns(build);
    if (!single)
        blocks.membrane_flag = 0;

    double record[PLANE_RECORD_VALUES];
    const int key = kind == 1 ? KEY_PSTR : KEY_PSRN;
    if (!read_family_record(family_sub_id(), key, blocks.entry_block.element_type, record, PLANE_RECORD_VALUES))
        return;
    const int D = truncate_to_int(record[672]);
    const int R = truncate_to_int(record[673]);
    const double* block = record + 675;
    const int nb = truncate_to_int(block[0]);
    if (D < 0 || D > 24 || R < 0 || R > 27 || (nb != 3 && nb != 4))
        return;
    int equations[24] = {};
    for (int j = 0; j < D; ++j)
        equations[j] = truncate_to_int(record[j]);
    int nodes[4] = {};
    FixedMatrix<3, 4> XYZ;
    for (int m = 1; m <= nb; ++m) {
        nodes[m - 1] = truncate_to_int(block[m]);
        for (int i = 1; i <= 3; ++i)
            XYZ(i, m) = block[5 + 3 * (m - 1) + i - 1];
    }
    set_section(block + 17);
    set_material(block + 28);
    int code = truncate_to_int(block[40]);
    // The history build reads the hundreds of the code as the membrane flag; the single-step
    // build has none and takes the code as read.
    if (!single) {
        if (code >= 100) {
            code -= 100;
            blocks.membrane_flag = 1;
        } else {
            blocks.membrane_flag = 0;
        }
    }
    blocks.plane_mode = 0;

    reset_value_array(state.displacement, MAX_ELEMENT_DOFS, columns);
    reset_value_array(state.axes_displacement, MAX_ELEMENT_DOFS, columns);
    read_element_data(build, state.displacement.data(), state.axes_displacement.data(), D, equations, nodes, nb, 0);

    // A fourth node that is absent or repeats the third makes a triangle.
    const bool triangle = nodes[3] == 0 || nodes[3] == nodes[2];
    const int nn = triangle ? 3 : 4;
    Mat33 T;
    {
        double x[4] = {}, y[4] = {}, z[4] = {};
        for (int m = 1; m <= nn; ++m) {
            x[m - 1] = XYZ(1, m);
            y[m - 1] = XYZ(2, m);
            z[m - 1] = XYZ(3, m);
        }
        element_axes(x, y, z, T, triangle ? 1 : 4);
    }
    FixedMatrix<27, 24> M;
    for (int k = 1; k <= D; ++k)
        for (int i = 1; i <= R; ++i)
            M(i, k) = record[D + i + (k - 1) * R - 1];

    // With axes_option 1 the plane holding the element chooses the turn to global axes;
    // without such a plane nothing is turned.
    PlaneTurn turn;
    bool turned = false;
    if (axes_option == 1) {
        double c = 0.0, s = 0.0;
        if (normal_along(T, 3)) {
            c = T(1, 2);
            s = T(1, 1);
            turned = true;
        } else if (normal_along(T, 2)) {
            c = T(1, 3);
            s = T(1, 1);
            turned = true;
        } else if (normal_along(T, 1)) {
            c = T(1, 3);
            s = T(1, 2);
            turned = true;
        }
        turn.alpha = c * c - s * s;
        turn.beta = 2.0 * c * s;
    }

    const double nu = blocks.material_block.poisson_ratio;
    for (int j = 1; j <= columns; ++j) {
        const int value_index = single ? 1 : j;
        double V[200] = {};
        const double* u = value_column(state.displacement, j);
        for (int i = 1; i <= R; ++i) {
            double s = 0.0;
            for (int k = 1; k <= D; ++k)
                s += M(i, k) * u[k - 1];
            V[i - 1] = s;
        }
        if (!triangle && code == 0) {
            const double* a = value_column(state.axes_displacement, j);
            FixedMatrix<6, 4> UL;
            for (int m = 1; m <= 4; ++m)
                for (int h = 0; h < 2; ++h) {
                    const double* v = a + 6 * (m - 1) + 3 * h;
                    for (int r = 1; r <= 3; ++r)
                        UL(3 * h + r, m) = T(r, 1) * v[0] + T(r, 2) * v[1] + T(r, 3) * v[2];
                }
            FixedMatrix<8, 5> OUT;
            build.library.quad_thick_results(4, UL, OUT, XYZ, T, value_index, 1);
            for (int k = 1; k <= 15; ++k)
                V[12 + k - 1] = OUT(k);
            gauss_to_nodes(build, V, 3, 3);
        }

        double rows[32] = {};
        double strains[20] = {};
        if (code == 1) {
            FixedMatrix<3, 5> S3;
            FixedMatrix<3, 5> E3;
            for (int p = 1; p <= nn + 1; ++p)
                for (int r = 1; r <= 3; ++r)
                    S3(r, p) = V[12 + 3 * (p - 1) + r - 1];
            if (axes_option == 0 || axes_option == 1) {
                stress_to_strain(build, nn, value_index, S3, E3);
                for (int p = 1; p <= nn + 1; ++p) {
                    double e[3] = {E3(1, p), E3(2, p), E3(3, p)};
                    if (turned)
                        turn.strains(e);
                    strains[4 * (p - 1)] = e[0];
                    strains[4 * (p - 1) + 1] = e[1];
                    strains[4 * (p - 1) + 3] = e[2];
                }
            }
            if (turned)
                for (int p = 1; p <= 5; ++p)
                    turn.stresses(V + 12 + 3 * (p - 1));
        }
        // Any other formulation code recovers nothing: the value's rows stay 0.
        if (code == 0 || code == 1) {
            if (axes_option == 0)
                rotate_node_vectors(build, V, T, 2);
        }
        if (code == 0) {
            std::copy(V, V + 27, rows);
        } else if (code == 1) {
            std::copy(V, V + 12, rows);
            for (int p = 1; p <= 5; ++p) {
                const double* s = V + 12 + 3 * (p - 1);
                double* r = rows + 12 + 4 * (p - 1);
                r[0] = s[0];
                r[1] = s[1];
                r[2] = nu * (s[0] + s[1]);
                r[3] = s[2];
            }
        }
        double* out = work_column(work, j);
        if (kind == 1) {
            std::copy(rows, rows + 27, out);
        } else {
            std::copy(rows, rows + 32, out);
            std::copy(strains, strains + 4 * (nb + 1), out + 32);
        }
    }
}

void quadratic_plane_stress_results(DriverBuildState& build, double* work, int /*axes_option*/)
{
    FamilyBuildState& state = family_state(build.build);
    SharedBlocks& blocks = shared_blocks();
    const int columns = value_columns(build);

    double w[PSTH_VALUES];
    if (!read_family_record(family_sub_id(), KEY_PSTH, blocks.entry_block.element_type, w, PSTH_VALUES))
        return;
    QuadraticPlane e;
    if (!e.decode(w))
        return;
    set_section(w + 60);
    set_material(w + 71);
    blocks.plane_mode = 0;
    if (!read_node_coordinates(e.nodes, e.n, e.XYZ.a.data()))
        return;

    reset_value_array(state.displacement, MAX_ELEMENT_DOFS, columns);
    reset_value_array(state.axes_displacement, MAX_ELEMENT_DOFS, columns);
    read_element_data(build, state.displacement.data(), state.axes_displacement.data(), e.D, e.equations, e.nodes, e.n, 0);

    Mat33 T;
    e.axes(T);
    const ConstMatView XYZ(e.XYZ.a.data(), 3, 3, e.n);
    plane_local_coords(MatView(e.LXY.a.data(), 2, 2, e.n), XYZ, T, e.n, blocks.plane_mode);
    e.integration_coordinates();

    const MatView W(state.plane_result.data(), PLANE_RESULT_ROWS, PLANE_RESULT_ROWS, PLANE_RESULT_COLS);
    std::fill(state.plane_result.begin(), state.plane_result.end(), 0.0);
    quadratic_2d_result_matrix(build, e.n, W, XYZ);

    for (int v = 1; v <= columns; ++v) {
        double V[200];
        e.recover(W, value_column(state.displacement, v), V);
        rotate_node_vectors(build, V, T, 4);
        std::copy(V, V + 51, work_column(work, v));
    }
}

void quadratic_plane_strain_results(DriverBuildState& build, double* work, int axes_option)
{
    FamilyBuildState& state = family_state(build.build);
    SharedBlocks& blocks = shared_blocks();
    const bool single = build.build == Build::single_step;
    const int columns = value_columns(build);

    double w[PSRH_VALUES];
    if (!read_family_record(family_sub_id(), KEY_PSRH, blocks.entry_block.element_type, w, PSRH_VALUES))
        return;
    QuadraticPlane e;
    if (!e.decode(w))
        return;
    // The two in-plane axis indices also number the coordinates: two different ones of 1..3.
    const int first_axis = truncate_to_int(w[60]);
    const int second_axis = truncate_to_int(w[61]);
    if (first_axis < 1 || first_axis > 3 || second_axis < 1 || second_axis > 3 || first_axis == second_axis)
        return;
    const double a[3] = {w[63], w[64], w[65]};
    Mat33 Ta;
    for (int c = 1; c <= 3; ++c)
        Ta(1, c) = a[c - 1];
    set_section(w + 66);
    blocks.section_values[0] = 1.0;
    blocks.section_values[1] = 1.0;
    set_material(w + 77);
    blocks.plane_mode = 1;
    if (!read_node_coordinates(e.nodes, e.n, e.XYZ.a.data()))
        return;
    for (int i = 1; i <= e.n; ++i) {
        e.LXY(1, i) = e.XYZ(first_axis, i) - e.XYZ(first_axis, 1);
        e.LXY(2, i) = e.XYZ(second_axis, i) - e.XYZ(second_axis, 1);
    }

    reset_value_array(state.displacement, MAX_ELEMENT_DOFS, columns);
    reset_value_array(state.axes_displacement, MAX_ELEMENT_DOFS, columns);
    read_element_data(build, state.displacement.data(), state.axes_displacement.data(), e.D, e.equations, e.nodes, e.n, 0);

    const ConstMatView XYZ(e.XYZ.a.data(), 3, 3, e.n);
    const MatView W(state.plane_result.data(), PLANE_RESULT_ROWS, PLANE_RESULT_ROWS, PLANE_RESULT_COLS);
    std::fill(state.plane_result.begin(), state.plane_result.end(), 0.0);
    quadratic_2d_result_matrix(build, e.n, W, XYZ);
    e.integration_coordinates();

    // (Q, P): the stored axis along the first and second in-plane coordinates, the cosine and
    // sine of its angle in the plane; c2 = P^2 - Q^2 = -cos 2a, s2 = 2PQ = sin 2a.
    PlaneTurn turn;
    const double Q = a[first_axis - 1];
    const double P = a[second_axis - 1];
    turn.alpha = P * P - Q * Q;
    turn.beta = 2.0 * P * Q;

    const double nu = blocks.material_block.poisson_ratio;
    const int points = e.n + 1;
    for (int v = 1; v <= columns; ++v) {
        double V[200];
        e.recover(W, value_column(state.displacement, v), V);
        FixedMatrix<3, 9> S3;
        FixedMatrix<3, 9> E3;
        for (int p = 1; p <= points; ++p)
            for (int r = 1; r <= 3; ++r)
                S3(r, p) = V[24 + 3 * (p - 1) + r - 1];
        stress_to_strain(build, e.n, single ? 1 : v, S3, E3);
        double strains[36] = {};
        for (int p = 1; p <= points; ++p) {
            double s[3] = {E3(1, p), E3(2, p), E3(3, p)};
            if (axes_option == 1)
                turn.strains(s);
            strains[4 * (p - 1)] = s[0];
            strains[4 * (p - 1) + 1] = s[1];
            strains[4 * (p - 1) + 3] = s[2];
        }
        if (axes_option == 1)
            for (int p = 1; p <= 9; ++p)
                turn.stresses(V + 24 + 3 * (p - 1));
        if (axes_option == 0)
            rotate_node_vectors(build, V, Ta, 4);
        double* out = work_column(work, v);
        std::copy(V, V + 24, out);
        // Centre and every node: four stresses each from row 25.
        for (int p = 1; p <= points; ++p) {
            const double* s = V + 24 + 3 * (p - 1);
            double* r = out + 24 + 4 * (p - 1);
            r[0] = s[0];
            r[1] = s[1];
            r[2] = nu * (s[0] + s[1]);
            r[3] = s[2];
        }
        std::copy(strains, strains + 4 * points, out + 60);
    }
}

} // namespace kvpvs::recovery
