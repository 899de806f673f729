#include "recovery/drivers/sub_plate_stiffness.h"

#include "recovery/drivers/family_support.h"

#include <algorithm>
#include <cmath>
#include <vector>

namespace kvpvs::recovery {
namespace {

constexpr int MAX_ORDER = SUB_PLATE_ASSEMBLY_ORDER;
// Largest NE x NI block of an order of at most 54: (54 / 2)^2.
constexpr int MAX_COUPLING = (MAX_ORDER / 2) * (MAX_ORDER / 2);

// What one build keeps: the assembly of the stiffness and the second one of the displacements,
// the kernel's matrix and scratch, the sub-plates' coordinates and axes, and the zero loads and
// centre-node displacements of the largest value count met.
struct SubPlateStiffnessState {
    FixedMatrix<MAX_ORDER, MAX_ORDER> stiffness_assembly;
    FixedMatrix<MAX_ORDER, MAX_ORDER> displacement_assembly;
    FixedMatrix<SUB_PLATE_DOFS, SUB_PLATE_DOFS> KS;
    FixedMatrix<SUB_PLATE_DOFS, SUB_PLATE_DOFS> scratch;
    std::array<double, CENTRE_NODE> x{}, y{}, z{};
    std::array<double, 4> xs{}, ys{}, zs{};
    SubPlateAxes Ts{};
    SubPlateAxes unused_axes{};
    std::vector<double> loads;   // P (54, n), zero
    std::vector<double> centre;  // Q (6, n)
};

SubPlateStiffnessState& stiffness_state(Build build)
{
    static SubPlateStiffnessState history;
    static SubPlateStiffnessState single_step;
    return build == Build::history ? history : single_step;
}

// A sub-plate with coincident corners leaves infinities in the kernel's matrix; they become 0 so
// that no value of the element turns into NaN.
template <int R, int C>
void keep_finite(FixedMatrix<R, C>& m)
{
    for (double& v : m.a)
        if (!std::isfinite(v))
            v = 0.0;
}

bool within_limits(int NT, int NI) { return NT <= MAX_ORDER && NI >= 1 && NI <= NT; }

// Element node g (1-based) of sub-plate s's node a, and the number of its nodes.
int sub_plate_node(int node_count, int s, int a)
{
    return node_count == 6 ? SIX_NODE_SUB_PLATES[s - 1][a - 1] : EIGHT_NODE_SUB_PLATES[s - 1][a - 1];
}

} // namespace

void assemble_sub_plate_matrix(DriverBuildState& build, MatView G, const double* x, const double* y, const double* z,
                               int node_count, int plate_type, SubPlateAxes& Ts)
{
    SubPlateStiffnessState& st = stiffness_state(build.build);
    for (int c = 1; c <= MAX_ORDER; ++c)
        for (int r = 1; r <= MAX_ORDER; ++r)
            G(r, c) = 0.0;
    st.scratch.fill(0.0);
    if (node_count != 6 && node_count != 8)
        return;
    const int corners = node_count == 6 ? 3 : 4;
    st.x.fill(0.0);
    st.y.fill(0.0);
    st.z.fill(0.0);
    for (int k = 0; k < node_count; ++k) {
        st.x[static_cast<std::size_t>(k)] = x[k];
        st.y[static_cast<std::size_t>(k)] = y[k];
        st.z[static_cast<std::size_t>(k)] = z[k];
    }
    if (node_count == 8) {
        st.x[8] = 0.5 * (x[4] + x[6]);
        st.y[8] = 0.5 * (y[4] + y[6]);
        st.z[8] = 0.5 * (z[4] + z[6]);
    }
    ElementLibrary& library = build.library;
    const ConstMatView xs(st.xs.data(), corners);
    const ConstMatView ys(st.ys.data(), corners);
    const ConstMatView zs(st.zs.data(), corners);
    for (int s = 1; s <= SUB_PLATES; ++s) {
        for (int a = 1; a <= corners; ++a) {
            const std::size_t g = static_cast<std::size_t>(sub_plate_node(node_count, s, a) - 1);
            st.xs[static_cast<std::size_t>(a - 1)] = st.x[g];
            st.ys[static_cast<std::size_t>(a - 1)] = st.y[g];
            st.zs[static_cast<std::size_t>(a - 1)] = st.z[g];
        }
        Mat33& axes = Ts[static_cast<std::size_t>(s - 1)];
        st.KS.fill(0.0);
        element_axes(st.xs.data(), st.ys.data(), st.zs.data(), axes, corners == 3 ? 1 : 4);
        if (corners == 3) {
            double area = 0.0;
            if (plate_type == 1)
                library.tri_thin_stiffness(st.KS, st.scratch, SUB_PLATE_DOFS, xs, ys, zs, axes, area, 1);
            else
                library.tri_thick_stiffness(st.KS, st.scratch, SUB_PLATE_DOFS, xs, ys, zs, axes, area, 1);
        } else if (plate_type == 1) {
            library.quad_thin_stiffness(st.KS, st.scratch, SUB_PLATE_DOFS, xs, ys, zs, axes, 1);
        } else {
            library.quad_thick_stiffness(st.KS, st.scratch, SUB_PLATE_DOFS, xs, ys, zs, axes, 1);
        }
        keep_finite(st.KS);
        // Local number r = 6 (a - 1) + d of sub-plate node a is 6 (g - 1) + d of element node g.
        const int order = 6 * corners;
        for (int c = 1; c <= order; ++c) {
            const int gc = 6 * (sub_plate_node(node_count, s, (c - 1) / 6 + 1) - 1) + (c - 1) % 6 + 1;
            for (int r = 1; r <= order; ++r) {
                const int gr = 6 * (sub_plate_node(node_count, s, (r - 1) / 6 + 1) - 1) + (r - 1) % 6 + 1;
                G(gr, gc) += st.KS(r, c);
            }
        }
    }
}

void quadratic_plate_stiffness(DriverBuildState& build, int node_count, MatView K, ConstMatView X)
{
    std::array<double, 8> x{};
    std::array<double, 8> y{};
    std::array<double, 8> z{};
    const int nodes = node_count >= 0 && node_count <= 8 ? node_count : 0;
    for (int k = 1; k <= nodes; ++k) {
        x[static_cast<std::size_t>(k - 1)] = X(1, k);
        y[static_cast<std::size_t>(k - 1)] = X(2, k);
        z[static_cast<std::size_t>(k - 1)] = X(3, k);
    }
    assemble_sub_plate_stiffness(build, K, x.data(), y.data(), z.data(), node_count, 0);
}

void assemble_sub_plate_stiffness(DriverBuildState& build, MatView K, const double* x, const double* y,
                                  const double* z, int node_count, int plate_type)
{
    SubPlateStiffnessState& st = stiffness_state(build.build);
    for (int c = 1; c <= QUAD_PLATE_DOFS; ++c)
        for (int r = 1; r <= QUAD_PLATE_DOFS; ++r)
            K(r, c) = 0.0;
    MatView G = st.stiffness_assembly;
    assemble_sub_plate_matrix(build, G, x, y, z, node_count, plate_type, st.unused_axes);
    if (node_count == 8)
        condense_stiffness(MAX_ORDER, 6, G);
    if (node_count != 6 && node_count != 8)
        return;
    const int order = 6 * node_count;
    for (int c = 1; c <= order; ++c)
        for (int r = 1; r <= order; ++r)
            K(r, c) = G(r, c);
}

void condense_stiffness(int NT, int NI, MatView G)
{
    if (!within_limits(NT, NI))
        return;
    const int NE = NT - NI;
    // Kii and its inverse, and A = Kei inverse(Kii): at most 54 x 54 each, on the stack.
    std::array<double, MAX_ORDER * MAX_ORDER> kii;
    std::array<double, MAX_ORDER * MAX_ORDER> kii_inverse;
    std::array<double, MAX_COUPLING> a;
    const MatView Kii(kii.data(), NI, NI, NI);
    const MatView Kinv(kii_inverse.data(), NI, NI, NI);
    const MatView A(a.data(), std::max(NE, 1), NE, NI);
    for (int c = 1; c <= NI; ++c)
        for (int r = 1; r <= NI; ++r)
            Kii(r, c) = G(NE + r, NE + c);
    invert_matrix(Kii, Kinv, NI);
    for (int k = 1; k <= NI; ++k)
        for (int r = 1; r <= NE; ++r) {
            double sum = 0.0;
            for (int j = 1; j <= NI; ++j)
                sum += G(r, NE + j) * Kinv(j, k);
            A(r, k) = sum;
        }
    // M = A Kie, subtracted entry by entry: G_ee - M.
    for (int c = 1; c <= NE; ++c)
        for (int r = 1; r <= NE; ++r) {
            double m = 0.0;
            for (int k = 1; k <= NI; ++k)
                m += A(r, k) * G(NE + k, c);
            G(r, c) = G(r, c) - m;
        }
}

void sub_plate_displacements(DriverBuildState& build, int node_count, int plate_type, ConstMatView U, MatView S,
                             int n, ConstMatView X)
{
    if (node_count != 6 && node_count != 8)
        return;
    SubPlateStiffnessState& st = stiffness_state(build.build);
    const int corners = node_count == 6 ? 3 : 4;
    const int columns = SUB_PLATES * n;
    for (int c = 1; c <= columns; ++c)
        for (int r = 1; r <= SUB_PLATE_DOFS; ++r)
            S(r, c) = 0.0;

    std::array<double, 8> x{};
    std::array<double, 8> y{};
    std::array<double, 8> z{};
    for (int k = 1; k <= node_count; ++k) {
        x[static_cast<std::size_t>(k - 1)] = X(1, k);
        y[static_cast<std::size_t>(k - 1)] = X(2, k);
        z[static_cast<std::size_t>(k - 1)] = X(3, k);
    }

    ConstMatView Q;
    if (node_count == 8) {
        MatView G = st.displacement_assembly;
        assemble_sub_plate_matrix(build, G, x.data(), y.data(), z.data(), node_count, plate_type, st.Ts);
        const std::size_t cells = static_cast<std::size_t>(MAX_ORDER) * static_cast<std::size_t>(std::max(n, 1));
        if (st.loads.size() < cells)
            st.loads.resize(cells, 0.0);
        st.centre.resize(std::max(st.centre.size(), static_cast<std::size_t>(6) * static_cast<std::size_t>(std::max(n, 1))));
        const MatView centre(st.centre.data(), 6, 6, std::max(n, 1));
        recover_internal_dofs(MAX_ORDER, 6, U, G, ConstMatView(st.loads.data(), MAX_ORDER, MAX_ORDER, std::max(n, 1)),
                              centre, n);
        Q = centre;
    } else {
        for (int s = 1; s <= SUB_PLATES; ++s) {
            for (int a = 1; a <= 3; ++a) {
                const std::size_t g = static_cast<std::size_t>(sub_plate_node(6, s, a) - 1);
                st.xs[static_cast<std::size_t>(a - 1)] = x[g];
                st.ys[static_cast<std::size_t>(a - 1)] = y[g];
                st.zs[static_cast<std::size_t>(a - 1)] = z[g];
            }
            element_axes(st.xs.data(), st.ys.data(), st.zs.data(), st.Ts[static_cast<std::size_t>(s - 1)], 1);
        }
    }

    for (int i = 1; i <= n; ++i)
        for (int s = 1; s <= SUB_PLATES; ++s) {
            const int column = s + SUB_PLATES * (i - 1);
            const Mat33& Ts = st.Ts[static_cast<std::size_t>(s - 1)];
            for (int a = 1; a <= corners; ++a) {
                const int g = sub_plate_node(node_count, s, a);
                for (int d = 1; d <= 6; ++d)
                    S(6 * (a - 1) + d, column) = g == CENTRE_NODE ? Q(d, i) : U(6 * (g - 1) + d, i);
                // Translations and rotations into the sub-plate's axes: v <- Ts v.
                for (int half = 0; half < 2; ++half) {
                    const int at = 6 * (a - 1) + 3 * half;
                    const double v1 = S(at + 1, column);
                    const double v2 = S(at + 2, column);
                    const double v3 = S(at + 3, column);
                    for (int r = 1; r <= 3; ++r)
                        S(at + r, column) = Ts(r, 1) * v1 + Ts(r, 2) * v2 + Ts(r, 3) * v3;
                }
            }
        }
}

void quad_plate_forces(const FixedMatrix<QUAD_PLATE_DOFS, QUAD_PLATE_DOFS>& K, const double* d, int dofs, double* F)
{
    // Twelve rows at a time stay in registers while the columns pass; every row still adds its
    // terms in column order.
    constexpr int BLOCK = 12;
    const std::size_t ld = QUAD_PLATE_DOFS;
    for (int r0 = 0; r0 + BLOCK <= dofs; r0 += BLOCK) {
        std::array<double, BLOCK> sum{};
        for (int c = 0; c < dofs; ++c) {
            const double dc = d[c];
            const double* k = K.a.data() + ld * static_cast<std::size_t>(c) + static_cast<std::size_t>(r0);
            for (int i = 0; i < BLOCK; ++i)
                sum[static_cast<std::size_t>(i)] += k[i] * dc;
        }
        std::copy(sum.begin(), sum.end(), F + r0);
    }
}

void recover_internal_dofs(int NT, int NI, ConstMatView U, ConstMatView G, ConstMatView P, MatView Q, int n)
{
    if (!within_limits(NT, NI))
        return;
    const int NE = NT - NI;
    std::array<double, MAX_ORDER * MAX_ORDER> kii;
    std::array<double, MAX_ORDER * MAX_ORDER> kii_inverse;
    std::array<double, MAX_ORDER> t;
    const MatView Kii(kii.data(), NI, NI, NI);
    const MatView Kinv(kii_inverse.data(), NI, NI, NI);
    for (int c = 1; c <= NI; ++c)
        for (int r = 1; r <= NI; ++r)
            Kii(r, c) = G(NE + r, NE + c);
    invert_matrix(Kii, Kinv, NI);
    for (int i = 1; i <= n; ++i) {
        for (int r = 1; r <= NI; ++r) {
            double sum = 0.0;
            for (int c = 1; c <= NE; ++c)
                sum += G(NE + r, c) * U(c, i);
            t[static_cast<std::size_t>(r - 1)] = sum - P(NE + r, i);
        }
        for (int r = 1; r <= NI; ++r) {
            double sum = 0.0;
            for (int c = 1; c <= NI; ++c)
                sum += Kinv(r, c) * t[static_cast<std::size_t>(c - 1)];
            Q(r, i) = -sum;
        }
    }
}

} // namespace kvpvs::recovery
