#include "recovery/drivers/solid_families.h"

#include "recovery/drivers/element_results.h"
#include "recovery/drivers/family_records.h"
#include "recovery/drivers/family_state.h"
#include "recovery/drivers/family_support.h"
#include "recovery/drivers/keyword_tables.h"
#include "recovery/drivers/record_readers.h"
#include "recovery/drivers/record_values.h"
#include "recovery/drivers/solid_support.h"

#include "recovery/kernels/jacobian.h"

#include <algorithm>
#include <cstddef>
#include <cstring>
#include <iterator>
#include <new>
#include <utility>

namespace kvpvs::recovery {
namespace {

// SOLD record: R(3795) then H(10).
constexpr int SOLD_R_VALUES = 3795;
constexpr int SOLD_VALUES = LINEAR_SOLID_RECORD_VALUES;
constexpr int PSOH_VALUES = 156;

double* column(std::vector<double>& a, int rows, int j) { return a.data() + static_cast<std::size_t>(rows) * static_cast<std::size_t>(j - 1); }

double* work_column(double* work, int j) { return work + static_cast<std::size_t>(WORK_ROWS) * static_cast<std::size_t>(j - 1); }

// Integration points of the quadratic solids by node count.
int solid_points(int nn) { return nn == 10 ? 4 : (nn == 15 ? 9 : 27); }

// K(i, j) += sum_c B(c, i) (D B)(c, j) dv for i <= j <= m, then the lower triangle from the upper.
void add_btdb(MatView K, const FixedMatrix<6, 6>& D, ConstMatView B, double dv, int m)
{
    FixedMatrix<6, 69> DB;
    for (int j = 1; j <= m; ++j)
        for (int c = 1; c <= 6; ++c) {
            double s = 0.0;
            for (int k = 1; k <= 6; ++k)
                s += D(c, k) * B(k, j);
            DB(c, j) = s;
        }
    for (int j = 1; j <= m; ++j)
        for (int i = 1; i <= j; ++i) {
            double s = 0.0;
            for (int c = 1; c <= 6; ++c)
                s += B(c, i) * DB(c, j) * dv;
            K(i, j) += s;
        }
    for (int j = 1; j <= m; ++j)
        for (int i = j + 1; i <= m; ++i)
            K(i, j) = K(j, i);
}

// L(:, k) = T (X(:, k) - X(:, 1)): node coordinates in element axes relative to node 1.
void solid_local_coords(FixedMatrix<3, 20>& L, ConstMatView X, const Mat33& T, int nn)
{
    for (int k = 1; k <= nn; ++k) {
        const double d[3] = {X(1, k) - X(1, 1), X(2, k) - X(2, 1), X(3, k) - X(3, 1)};
        for (int r = 1; r <= 3; ++r)
            L(r, k) = T(r, 1) * d[0] + T(r, 2) * d[1] + T(r, 3) * d[2];
    }
}

// Adds (D B_k) T of every node k into rows row0 + 1..6, columns 3(k - 1) + 1..3 of S: element-axes
// stresses at one point per unit global translation.
void solid_stress_rows(MatView S, const FixedMatrix<6, 6>& D, ConstMatView B, const Mat33& T, int nn, int row0)
{
    for (int k = 1; k <= nn; ++k) {
        // DB(r, l) = sum_c D(r, c) B(c, 3(k - 1) + l), summed over c in order, all six rows at once.
        double DB[3][6];
        for (int l = 0; l < 3; ++l) {
            const double* b = &B(1, 3 * (k - 1) + l + 1);
            double s[6] = {};
            for (int c = 0; c < 6; ++c)
                for (int r = 0; r < 6; ++r)
                    s[r] += D.a[static_cast<std::size_t>(r + 6 * c)] * b[c];
            std::copy(s, s + 6, DB[l]);
        }
        for (int m = 1; m <= 3; ++m) {
            double* out = &S(row0 + 1, 3 * (k - 1) + m);
            for (int r = 0; r < 6; ++r)
                out[r] += DB[0][r] * T(1, m) + DB[1][r] * T(2, m) + DB[2][r] * T(3, m);
        }
    }
}

// The element centre in natural coordinates.
void centre_point(int nn, double& xi, double& eta, double& zeta)
{
    xi = eta = zeta = 0.0;
    if (nn == 10)
        xi = eta = zeta = 0.25;
    else if (nn == 15)
        xi = eta = 1.0 / 3.0;
}

void solid_elasticity(const ElementLibrary& library, FixedMatrix<6, 6>& D)
{
    library.elastic_matrix(D, 0.0, 0.0, 0, 6);
}

// Strain-displacement matrix of the element at a natural point, with its determinant.
struct SolidPoint {
    FixedMatrix<6, 69> B;
    FixedMatrix<3, 23> CD;
    FixedVector<23> N;
    FixedVector<3> x;
    double det = 0.0;

    void evaluate(const ElementLibrary& library, const FixedMatrix<3, 20>& L, int nn, double xi, double eta,
                  double zeta)
    {
        library.isoparam_jacobian(B, det, CD, N, x, xi, eta, zeta, ConstMatView(L.a.data(), 3, 3, nn), nn, 3, 6,
                                  0, 0);
    }
};

// K(60, 60): the 3nn x 3nn stiffness in global axes.
void quadratic_solid_stiffness(DriverBuildState& build, MatView K, int nn, ConstMatView X, const Mat33& T, int npt)
{
    FamilyBuildState& state = family_state(build.build);
    FixedMatrix<3, 20> L;
    solid_local_coords(L, X, T, nn);
    FixedMatrix<6, 6> D;
    solid_elasticity(build.library, D);
    std::fill(state.solid_stiffness_work.begin(), state.solid_stiffness_work.end(), 0.0);
    const MatView KW(state.solid_stiffness_work.data(), SOLID_WORK_LD, SOLID_WORK_LD, SOLID_WORK_LD);
    SolidPoint point;
    for (int p = 1; p <= npt; ++p) {
        double xi = 0.0, eta = 0.0, zeta = 0.0, w = 0.0;
        integration_points(xi, eta, zeta, w, p, npt, nn, 6);
        point.evaluate(build.library, L, nn, xi, eta, zeta);
        add_btdb(KW, D, point.B, w * point.det, 3 * nn);
    }
    for (int j = 1; j <= SOLID_STIFFNESS_LD; ++j)
        for (int i = 1; i <= SOLID_STIFFNESS_LD; ++i)
            K(i, j) = KW(i, j);
    const MatView W(state.solid_rotation_work.data(), SOLID_STIFFNESS_LD, SOLID_STIFFNESS_LD, SOLID_STIFFNESS_LD);
    rotate_matrix(K, W, T, SOLID_STIFFNESS_LD);
}

// S(228, 60): element-axes stresses at the centre (point 1) and the integration points.
void quadratic_solid_stress_matrix(DriverBuildState& build, MatView S, int nn, ConstMatView X, const Mat33& T, int npt)
{
    for (int j = 1; j <= S.cols(); ++j)
        for (int i = 1; i <= S.rows(); ++i)
            S(i, j) = 0.0;
    FixedMatrix<3, 20> L;
    solid_local_coords(L, X, T, nn);
    FixedMatrix<6, 6> D;
    solid_elasticity(build.library, D);
    SolidPoint point;
    for (int i = 1; i <= npt + 1; ++i) {
        double xi = 0.0, eta = 0.0, zeta = 0.0, w = 0.0;
        if (i == 1)
            centre_point(nn, xi, eta, zeta);
        else
            integration_points(xi, eta, zeta, w, i - 1, npt, nn, 6);
        point.evaluate(build.library, L, nn, xi, eta, zeta);
        solid_stress_rows(S, D, point.B, T, nn, 60 + 6 * (i - 1));
    }
}

// The six centre rows of S(228, 60) alone, into C(6, 60), as quadratic_solid_stress_matrix forms
// them; whether the centre's Jacobian gave the library's message.
bool quadratic_solid_centre_rows(const ElementLibrary& library, MatView C, int nn, ConstMatView X, const Mat33& T)
{
    for (int j = 1; j <= C.cols(); ++j)
        for (int i = 1; i <= C.rows(); ++i)
            C(i, j) = 0.0;
    FixedMatrix<3, 20> L;
    solid_local_coords(L, X, T, nn);
    FixedMatrix<6, 6> D;
    solid_elasticity(library, D);
    double xi = 0.0, eta = 0.0, zeta = 0.0;
    centre_point(nn, xi, eta, zeta);
    SolidPoint point;
    point.evaluate(library, L, nn, xi, eta, zeta);
    solid_stress_rows(C, D, point.B, T, nn, 0);
    return point.det <= 0.0;
}

// Centre rows kept by element record are used again only for the node count, coordinates and
// material they were formed from, bit for bit, so that neither another step nor another file
// can meet stale rows. The first records asked for are kept: an animation that runs through
// more elements than the store keeps finds the same ones kept at every frame.
bool same_bits(const double* a, const double* b, int n)
{
    return std::memcmp(a, b, sizeof(double) * static_cast<std::size_t>(n)) == 0;
}

ConstMatView centre_rows(DriverBuildState& build, int record, int nn, const FixedMatrix<3, 20>& X, const Mat33& T)
{
    FamilyBuildState& state = family_state(build.build);
    const MaterialBlock& m = shared_blocks().material_block;
    const double material[11] = {m.elastic_modulus, m.poisson_ratio, m.material_constants[0],
                                 m.material_constants[1], m.material_constants[2], m.material_constants[3],
                                 m.material_constants[4], m.material_constants[5], m.material_constants[6],
                                 m.material_constants[7], m.material_constants[8]};
    SolidCentreRowsStore* kept = state.solid_centre_rows;
    SolidCentreRows* rows = kept ? kept->find(record) : nullptr;
    if (rows && rows->nn == nn && rows->material_type == m.material_type
        && same_bits(rows->material, material, 11) && same_bits(rows->X, X.a.data(), 3 * nn)) {
        if (rows->jacobian_message)
            write_jacobian_message();
        return ConstMatView(rows->C, 6, 6, 60);
    }
    if (!rows && kept) {
        try {
            rows = kept->add(record);
        } catch (const std::bad_alloc&) {
            // Not kept: formed in the scratch rows.
        }
    }
    if (!rows)
        rows = &state.solid_centre_scratch;
    // Marked unformed until formed whole: a message sink that throws leaves no half rows.
    rows->nn = 0;
    rows->jacobian_message = quadratic_solid_centre_rows(build.library, MatView(rows->C, 6, 6, 60), nn,
                                                         ConstMatView(X.a.data(), 3, 3, nn), T);
    std::copy(X.a.begin(), X.a.end(), rows->X);
    std::copy(std::begin(material), std::end(material), rows->material);
    rows->material_type = m.material_type;
    rows->nn = nn;
    return ConstMatView(rows->C, 6, 6, 60);
}

// Work rows 61..66 (centre stress) and 187..192 (centre strain) of the single-step build from
// the centre rows and the element's displacements alone, with the arithmetic of the whole
// routine for those rows.
void quadratic_solid_centre(DriverBuildState& build, double* work, int axes_option, int nn, int ncol,
                            const int* equations, const int* nodes, const FixedMatrix<3, 20>& X, const Mat33& T,
                            bool strain)
{
    FamilyBuildState& state = family_state(build.build);
    const ConstMatView C = centre_rows(build, shared_blocks().entry_block.element_type, nn, X, T);
    reset_value_array(state.displacement, MAX_ELEMENT_DOFS, 1);
    reset_value_array(state.axes_displacement, MAX_ELEMENT_DOFS, 1);
    read_element_data(build, state.displacement.data(), state.axes_displacement.data(), ncol, equations, nodes, nn, 0);
    const double* u = state.axes_displacement.data();
    double V[6] = {};
    for (int k = 1; k <= nn; ++k)
        for (int d = 1; d <= 3; ++d) {
            const double uc = u[6 * (k - 1) + d - 1];
            for (int r = 1; r <= 6; ++r)
                V[r - 1] += C(r, 3 * (k - 1) + d) * uc;
        }
    double* out = work_column(work, 1);
    if (strain) {
        double Z[6] = {};
        stresses_to_strains(build, 0, 1, V, Z);
        if (axes_option == 1)
            rotate_tensor_blocks(Z, T, 0);
        std::copy(Z, Z + 6, out + 186);
    }
    if (axes_option == 1)
        rotate_tensor_blocks(V, T, 0);
    std::copy(V, V + 6, out + 60);
}

} // namespace

void quadratic_solid_result_matrix(DriverBuildState& build, int nn, MatView M, ConstMatView X, const Mat33& T,
                                   int npt)
{
    FamilyBuildState& state = family_state(build.build);
    const MatView K(state.solid_stiffness.data(), SOLID_STIFFNESS_LD, SOLID_STIFFNESS_LD, SOLID_STIFFNESS_LD);
    const MatView S(state.solid_stresses.data(), SOLID_RESULT_ROWS, SOLID_RESULT_ROWS, SOLID_STIFFNESS_LD);
    quadratic_solid_stiffness(build, K, nn, X, T, npt);
    quadratic_solid_stress_matrix(build, S, nn, X, T, npt);
    for (int j = 1; j <= M.cols(); ++j)
        for (int i = 1; i <= M.rows(); ++i)
            M(i, j) = 0.0;
    for (int k = 1; k <= nn; ++k)
        for (int d = 1; d <= 3; ++d) {
            const int c = 6 * (k - 1) + d;
            const int s = 3 * (k - 1) + d;
            for (int r = 1; r <= 3 * nn; ++r)
                M(r, c) = K(r, s);
            for (int r = 61; r <= 60 + 6 * (npt + 1); ++r)
                M(r, c) = S(r, s);
        }
}

CentreRowsKeep::CentreRowsKeep() : store_(std::make_unique<SolidCentreRowsStore>()) {}

CentreRowsKeep::~CentreRowsKeep() = default;

std::size_t CentreRowsKeep::rows() const { return store_->size(); }

CentreRowsUse::CentreRowsUse(CentreRowsKeep& keep)
    : previous_(std::exchange(family_state(Build::single_step).solid_centre_rows, keep.store_.get()))
{
}

CentreRowsUse::~CentreRowsUse() { family_state(Build::single_step).solid_centre_rows = previous_; }

void linear_solid_results(DriverBuildState& build, double* work, int axes_option)
{
    FamilyBuildState& state = family_state(build.build);
    const EntryBlock& entry = shared_blocks().entry_block;
    const int columns = value_columns(build);

    // One record read transfers both lists: R(1..3795), then H(1..10).
    std::vector<double>& record = state.linear_solid_record;
    if (!read_family_record(family_sub_id(), KEY_SOLD, entry.element_type, record.data(), SOLD_VALUES))
        return;
    const double* R = record.data();
    const double* H = R + SOLD_R_VALUES;
    const int ncol = truncate_to_int(R[3792]);
    const int nrow = truncate_to_int(R[3793]);
    const int nn = truncate_to_int(H[0]);
    if (nn < 1 || nn > 8 || ncol < 0 || ncol > LINEAR_SOLID_COLS || nrow < 0 || nrow > LINEAR_SOLID_ROWS
        || nrow * ncol > 3792)
        return;
    Mat33 T;
    for (int i = 1; i <= 3; ++i)
        for (int j = 1; j <= 3; ++j)
            T(i, j) = H[3 * (i - 1) + j];
    int equations[LINEAR_SOLID_COLS] = {};
    for (int c = 0; c < ncol; ++c)
        equations[c] = truncate_to_int(R[c]);
    // The node list serves only the turn into nodal axes, which is skipped: it stays 0.
    const int nodes[MAX_ELEMENT_NODES] = {};

    reset_value_array(state.displacement, MAX_ELEMENT_DOFS, columns);
    reset_value_array(state.axes_displacement, MAX_ELEMENT_DOFS, columns);
    read_element_data(build, state.displacement.data(), state.axes_displacement.data(), ncol, equations, nodes, nn, 1);

    const MatView S(state.linear_solid_matrix.data(), LINEAR_SOLID_ROWS, LINEAR_SOLID_ROWS, LINEAR_SOLID_COLS);
    std::fill(state.linear_solid_matrix.begin(), state.linear_solid_matrix.end(), 0.0);
    for (int c = 1; c <= ncol; ++c)
        for (int r = 1; r <= nrow; ++r)
            S(r, c) = R[ncol + r + (c - 1) * nrow - 1];

    const int strain_count = 6 * nn + 6;
    for (int s = 1; s <= columns; ++s) {
        double V[200] = {};
        const double* u = column(state.displacement, MAX_ELEMENT_DOFS, s);
        for (int r = 1; r <= nrow; ++r) {
            double sum = 0.0;
            for (int c = 1; c <= ncol; ++c)
                sum += S(r, c) * u[c - 1];
            V[r - 1] = sum;
        }
        solid_points_to_nodes(V + 30, nn);
        double W[100] = {};
        double X[100] = {};
        std::copy(V + 24, V + 24 + strain_count, W);
        stresses_to_strains(build, nn, s, W, X);
        if (axes_option == 1)
            rotate_tensor_blocks(X, T, nn);
        if (axes_option == 1)
            rotate_tensor_blocks(V + 24, T, nn);
        if (axes_option == 0)
            rotate_vector_blocks(V, T, nn);
        double* out = work_column(work, s);
        std::copy(V, V + 78, out);
        std::copy(X, X + strain_count, out + 78);
    }
}

void quadratic_solid_results(DriverBuildState& build, double* work, int axes_option)
{
    FamilyBuildState& state = family_state(build.build);
    SharedBlocks& blocks = shared_blocks();
    const int columns = value_columns(build);

    double R[PSOH_VALUES];
    if (!read_family_record(family_sub_id(), KEY_PSOH, blocks.entry_block.element_type, R, PSOH_VALUES))
        return;
    const int ncol = truncate_to_int(R[120]);
    const int nn = truncate_to_int(R[123]);
    if ((nn != 10 && nn != 15 && nn != 20) || ncol < 0 || ncol > MAX_ELEMENT_DOFS)
        return;
    int equations[MAX_ELEMENT_DOFS] = {};
    for (int c = 0; c < ncol; ++c)
        equations[c] = truncate_to_int(R[c]);
    int nodes[MAX_ELEMENT_NODES] = {};
    for (int k = 0; k < nn; ++k)
        nodes[k] = truncate_to_int(R[124 + k]);
    MaterialBlock& material = blocks.material_block;
    material.elastic_modulus = R[144];
    material.poisson_ratio = R[145];
    material.material_type = truncate_to_int(R[146]);
    for (int c = 0; c < 9; ++c)
        material.material_constants[static_cast<std::size_t>(c)] = R[147 + c];

    FixedMatrix<3, 20> X;
    if (!read_node_coordinates(nodes, nn, X.a.data()))
        return;
    const ConstMatView XV(X.a.data(), 3, 3, nn);
    // Axes by the mid-side rule over corners 1..4 of the hexahedron, by the edge rule over
    // corners 1..3 otherwise; element_axes takes one array per global axis.
    Mat33 T;
    double x[4], y[4], z[4];
    for (int k = 1; k <= 4; ++k) {
        x[k - 1] = X(1, k);
        y[k - 1] = X(2, k);
        z[k - 1] = X(3, k);
    }
    element_axes(x, y, z, T, nn == 20 ? 4 : 1);

    // A single step's centre stress or strain, what a stress history plot shows, needs
    // neither the stiffness nor the integration points.
    const int row = blocks.entry_block.component_row;
    const bool centre_stress = row >= 61 && row <= 66;
    const bool centre_strain = row >= 187 && row <= 192;
    if (build.build == Build::single_step && (centre_stress || centre_strain)) {
        quadratic_solid_centre(build, work, axes_option, nn, ncol, equations, nodes, X, T, centre_strain);
        return;
    }

    // The fit runs on coordinates relative to node 1: the same field in exact arithmetic,
    // well conditioned far from the origin.
    const int npt = solid_points(nn);
    FixedMatrix<3, 20> XR;
    for (int k = 1; k <= nn; ++k)
        for (int i = 1; i <= 3; ++i)
            XR(i, k) = X(i, k) - X(i, 1);
    FixedMatrix<3, 27> XP;
    for (int p = 1; p <= npt; ++p) {
        double xi = 0.0, eta = 0.0, zeta = 0.0, w = 0.0;
        integration_points(xi, eta, zeta, w, p, npt, nn, 6);
        FixedVector<23> N;
        shape_functions(N, xi, eta, zeta, nn, 3);
        for (int i = 1; i <= 3; ++i) {
            double s = 0.0;
            for (int k = 1; k <= nn; ++k)
                s += N(k) * XR(i, k);
            XP(i, p) = s;
        }
    }

    reset_value_array(state.displacement, MAX_ELEMENT_DOFS, columns);
    reset_value_array(state.axes_displacement, MAX_ELEMENT_DOFS, columns);
    read_element_data(build, state.displacement.data(), state.axes_displacement.data(), ncol, equations, nodes, nn, 0);

    const MatView M(state.solid_result.data(), SOLID_RESULT_ROWS, SOLID_RESULT_ROWS, SOLID_RESULT_COLS);
    quadratic_solid_result_matrix(build, nn, M, XV, T, npt);

    const int last_row = 60 + 6 * (npt + 1);
    const int strain_count = 6 * nn + 6;
    for (int s = 1; s <= columns; ++s) {
        double V[300] = {};
        const double* u = column(state.axes_displacement, MAX_ELEMENT_DOFS, s);
        // Only the translations carry the matrix; the rotation columns are zero.
        for (int k = 1; k <= nn; ++k)
            for (int d = 1; d <= 3; ++d) {
                const int c = 6 * (k - 1) + d;
                const double uc = u[c - 1];
                const double* m = &M(1, c);
                for (int r = 1; r <= 3 * nn; ++r)
                    V[r - 1] += m[r - 1] * uc;
                for (int r = 61; r <= last_row; ++r)
                    V[r - 1] += m[r - 1] * uc;
            }
        for (int c = 1; c <= 6; ++c) {
            double G[27];
            double F[20];
            for (int p = 1; p <= npt; ++p)
                G[p - 1] = V[66 + c + 6 * (p - 1) - 1];
            fit_linear_to_nodes(F, G, XR.a.data(), XP.a.data(), nn, npt, 3);
            for (int k = 1; k <= nn; ++k)
                V[66 + c + 6 * (k - 1) - 1] = F[k - 1];
        }
        double W[150] = {};
        double Z[150] = {};
        std::copy(V + 60, V + 60 + strain_count, W);
        stresses_to_strains(build, nn, s, W, Z);
        if (axes_option == 1)
            rotate_tensor_blocks(Z, T, nn);
        if (axes_option == 1)
            rotate_tensor_blocks(V + 60, T, nn);
        // The forces are global: T f gives them in element axes.
        if (axes_option == 0)
            for (int k = 0; k < nn; ++k) {
                double* f = V + 3 * k;
                const double r[3] = {T(1, 1) * f[0] + T(1, 2) * f[1] + T(1, 3) * f[2],
                                     T(2, 1) * f[0] + T(2, 2) * f[1] + T(2, 3) * f[2],
                                     T(3, 1) * f[0] + T(3, 2) * f[1] + T(3, 3) * f[2]};
                f[0] = r[0];
                f[1] = r[1];
                f[2] = r[2];
            }
        double* out = work_column(work, s);
        std::copy(V, V + 186, out);
        std::copy(Z, Z + strain_count, out + 186);
    }
}

} // namespace kvpvs::recovery
