#include "recovery/drivers/sub_plate_results.h"

#include "recovery/drivers/family_support.h"
#include "recovery/drivers/sub_plate_stiffness.h"

#include <array>
#include <cmath>

namespace kvpvs::recovery {
namespace {

// What one build keeps: a sub-plate's node vectors and coordinates, the kernel's output and the
// turned values of all four sub-plates; and, from the last call with value index 1, each
// sub-plate's axes and shear-deformable kernel data, which the element's later values reuse.
struct SubPlateResultsState {
    FixedMatrix<6, 4> L;
    FixedMatrix<POINT_VALUES, KERNEL_POINTS> O;
    FixedMatrix<POINT_VALUES, KERNEL_POINTS * SUB_PLATES> V;
    FixedMatrix<3, 4> XC;
    std::array<Mat33, SUB_PLATES> Ts;
    std::array<QuadThickResultsWork, SUB_PLATES> quad;
    std::array<TriResultsWork, SUB_PLATES> tri;
};

SubPlateResultsState& results_state(Build build)
{
    static SubPlateResultsState history;
    static SubPlateResultsState single_step;
    return build == Build::history ? history : single_step;
}

// A sub-plate with coincident corners gives infinities; they become 0 so that no value of the
// element turns into NaN.
void keep_finite(FixedMatrix<POINT_VALUES, KERNEL_POINTS>& O)
{
    for (double& v : O.a)
        if (!std::isfinite(v))
            v = 0.0;
}

// B = T (Ts^T S Ts) T^T of the in-plane tensor [[a, c, 0], [c, b, 0], [0, 0, 0]]; returns
// B(1, 1), B(2, 2), B(1, 2).
void turn_tensor(double a, double b, double c, const Mat33& Ts, const Mat33& T, double* out)
{
    const double S[3][3] = {{a, c, 0.0}, {c, b, 0.0}, {0.0, 0.0, 0.0}};
    double W[3][3];  // S Ts
    for (int i = 0; i < 3; ++i)
        for (int j = 0; j < 3; ++j)
            W[i][j] = S[i][0] * Ts(1, j + 1) + S[i][1] * Ts(2, j + 1) + S[i][2] * Ts(3, j + 1);
    double A[3][3];  // Ts^T W: global components
    for (int i = 0; i < 3; ++i)
        for (int j = 0; j < 3; ++j)
            A[i][j] = Ts(1, i + 1) * W[0][j] + Ts(2, i + 1) * W[1][j] + Ts(3, i + 1) * W[2][j];
    double Y[3][3];  // A T^T
    for (int i = 0; i < 3; ++i)
        for (int j = 0; j < 3; ++j)
            Y[i][j] = A[i][0] * T(j + 1, 1) + A[i][1] * T(j + 1, 2) + A[i][2] * T(j + 1, 3);
    double B[2][2];  // T Y, the in-plane part
    for (int i = 0; i < 2; ++i)
        for (int j = 0; j < 2; ++j)
            B[i][j] = T(i + 1, 1) * Y[0][j] + T(i + 1, 2) * Y[1][j] + T(i + 1, 3) * Y[2][j];
    out[0] = B[0][0];
    out[1] = B[1][1];
    out[2] = B[0][1];
}

} // namespace

void turn_point_values(const double* in, double* out, const Mat33& Ts, const Mat33& T)
{
    const std::array<double, POINT_VALUES> s{in[0], in[1], in[2], in[3], in[4], in[5], in[6], in[7]};
    turn_tensor(s[0], s[1], s[2], Ts, T, out);
    turn_tensor(s[3], s[4], s[5], Ts, T, out + 3);
    // The transverse shear is a vector (x component value 8, y component value 7): first into
    // global components, g = Ts^T v, then into element axes, q = T g.
    const double v[3] = {s[7], s[6], 0.0};
    double g[3];
    for (int i = 0; i < 3; ++i)
        g[i] = Ts(1, i + 1) * v[0] + Ts(2, i + 1) * v[1] + Ts(3, i + 1) * v[2];
    double q[2];
    for (int i = 0; i < 2; ++i)
        q[i] = T(i + 1, 1) * g[0] + T(i + 1, 2) * g[1] + T(i + 1, 3) * g[2];
    out[7] = q[0];
    out[6] = q[1];
}

void gauss_to_corners(DriverBuildState& build, double* O, int /*k*/, int m)
{
    // The Gauss blocks start after the centre's m values: K = 0.
    gauss_to_nodes(build, O, 0, m);
}

void gather_sub_plate_points(int node_count, ConstMatView V, MatView R)
{
    const auto at = [&V](int r, int p, int s) { return V(r, p + KERNEL_POINTS * (s - 1)); };
    if (node_count == 6) {
        for (int r = 1; r <= POINT_VALUES; ++r) {
            // The centre is the middle sub-triangle's centroid; a corner takes its one
            // sub-triangle; a mid-side node the mean of the two corner sub-triangles holding it.
            R(r, 1) = at(r, 1, 4);
            for (int k = 1; k <= 3; ++k)
                R(r, 1 + k) = at(r, 2, k);
            R(r, 5) = 0.5 * (at(r, 3, 1) + at(r, 4, 2));
            R(r, 6) = 0.5 * (at(r, 3, 2) + at(r, 4, 3));
            R(r, 7) = 0.5 * (at(r, 3, 3) + at(r, 4, 1));
        }
    } else if (node_count == 8) {
        // Kernel point 2 is a sub-quadrilateral's node 1, 3 its node 2, 4 the centre node, 5 its
        // node 4; its own centre (point 1) is not used.
        for (int r = 1; r <= POINT_VALUES; ++r) {
            R(r, 1) = 0.25 * (at(r, 4, 1) + at(r, 4, 2) + at(r, 4, 3) + at(r, 4, 4));
            for (int k = 1; k <= 4; ++k)
                R(r, 1 + k) = at(r, 2, k);
            R(r, 6) = 0.5 * (at(r, 3, 1) + at(r, 5, 2));
            R(r, 7) = 0.5 * (at(r, 3, 2) + at(r, 5, 3));
            R(r, 8) = 0.5 * (at(r, 3, 3) + at(r, 5, 4));
            R(r, 9) = 0.5 * (at(r, 3, 4) + at(r, 5, 1));
        }
    }
}

void sub_plate_stresses(DriverBuildState& build, int node_count, int plate_type, ConstMatView E, MatView R,
                        ConstMatView X, int value_index, const Mat33& T)
{
    if (node_count != 6 && node_count != 8)
        return;
    SubPlateResultsState& st = results_state(build.build);
    ElementLibrary& library = build.library;
    const int corners = node_count == 6 ? 3 : 4;
    // The thin triangle keeps part of its data in a shared block, which the next sub-plate
    // overwrites: the thin kernels form their sub-plate afresh at every value.
    const bool thin = plate_type == 1;
    const bool form = value_index == 1 || thin;
    for (int s = 1; s <= SUB_PLATES; ++s) {
        const std::size_t slot = static_cast<std::size_t>(s - 1);
        Mat33& Ts = st.Ts[slot];
        st.L.fill(0.0);
        for (int r = 1; r <= 6 * corners; ++r)
            st.L(r) = E(r, s);
        if (form) {
            st.XC.fill(0.0);
            std::array<double, 4> x{};
            std::array<double, 4> y{};
            std::array<double, 4> z{};
            for (int a = 1; a <= corners; ++a) {
                const int g = node_count == 6 ? SIX_NODE_SUB_PLATES[s - 1][a - 1] : EIGHT_NODE_SUB_PLATES[s - 1][a - 1];
                for (int c = 1; c <= 3; ++c)
                    st.XC(c, a) = g == CENTRE_NODE ? 0.5 * (X(c, 5) + X(c, 7)) : X(c, g);
                x[static_cast<std::size_t>(a - 1)] = st.XC(1, a);
                y[static_cast<std::size_t>(a - 1)] = st.XC(2, a);
                z[static_cast<std::size_t>(a - 1)] = st.XC(3, a);
            }
            Ts.fill(0.0);
            element_axes(x.data(), y.data(), z.data(), Ts, corners == 3 ? 1 : 4);
        }
        const int index = form ? 1 : value_index;
        if (corners == 3) {
            int nodes = 3;
            const ConstMatView L(st.L.a.data(), 6, 6, 3);
            const ConstMatView XC(st.XC.a.data(), 3, 3, 3);
            if (thin)
                library.tri_thin_results(nodes, L, st.O, XC, Ts, index, 1);
            else
                library.tri_thick_results(st.tri[slot], nodes, L, st.O, XC, Ts, index);
        } else {
            if (thin)
                library.quad_thin_results(4, st.L, st.O, st.XC, Ts, index, 0);
            else
                library.quad_thick_results(st.quad[slot], 4, st.L, st.O, st.XC, Ts, index, 0);
        }
        keep_finite(st.O);
        if (corners == 4)
            gauss_to_corners(build, st.O.a.data(), 0, POINT_VALUES);
        // Only the points the gathering reads are turned: a sub-quadrilateral's corners, a corner
        // sub-triangle's nodes, the middle sub-triangle's centroid.
        const int first = corners == 3 && s == SUB_PLATES ? 1 : 2;
        const int last = corners == 4 ? 5 : s == SUB_PLATES ? 1 : 4;
        for (int p = first; p <= last; ++p)
            turn_point_values(&st.O(1, p), &st.V(1, p + KERNEL_POINTS * (s - 1)), Ts, T);
    }
    gather_sub_plate_points(node_count, st.V, R);
}

} // namespace kvpvs::recovery
