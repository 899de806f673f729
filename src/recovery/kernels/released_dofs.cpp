// Released degrees of freedom of 3- and 4-node plates and shells: the element stiffness in
// element axes is condensed onto the released freedoms (Gauss-Jordan over their pivots) and
// their displacements follow from zero force on them. The condensed rows of the last
// element are kept: a repeated element (same geometry, material, releases) reuses them,
// and an element without releases builds nothing, as its displacements pass unchanged.
#include <cmath>
#include <cstring>

#include "recovery/kernels/element_library.h"

namespace kvpvs::recovery {

namespace {

// The release code of a node as its 5-character integer field (right-justified, blanks,
// minus sign); character k = '1' releases freedom k. Codes that do not fit five characters
// (written as asterisks) and non-finite codes release nothing.
void release_flags(double code, int* flags)
{
    for (int k = 0; k < 5; ++k) flags[k] = 0;
    const double t = std::trunc(code);
    if (!(t > -10000.0 && t < 100000.0)) {
        return;
    }
    int v = static_cast<int>(t);
    char field[5] = {' ', ' ', ' ', ' ', ' '};
    const bool negative = v < 0;
    if (negative) v = -v;
    int pos = 4;
    do {
        field[pos--] = static_cast<char>('0' + v % 10);
        v /= 10;
    } while (v > 0);
    if (negative) field[pos] = '-';
    for (int k = 0; k < 5; ++k) flags[k] = field[k] == '1' ? 1 : 0;
}

template <class A, class B>
bool same_bits(const A& a, const B& b)
{
    static_assert(sizeof(A) == sizeof(B));
    return std::memcmp(&a, &b, sizeof(A)) == 0;
}

}  // namespace

void ElementLibrary::shell_condense(int plate_type, int nnodes, ConstMatView XYZ,
                                    const Mat33& axes, int n)
{
    ShellStiffnessWork& w = plate_.shell;
    MatView K = w.K;
    for (int i = 1; i <= nnodes; ++i) {
        w.x(i) = XYZ(1, i);
        w.y(i) = XYZ(2, i);
        w.z(i) = XYZ(3, i);
    }
    double area = 0.0;
    if (nnodes == 4) {
        if (plate_type == 0) quad_thick_stiffness(K, w.W, 24, w.x, w.y, w.z, axes, 0);
        else quad_thin_stiffness(K, w.W, 24, w.x, w.y, w.z, axes, 0);
    } else {
        if (plate_type == 0) tri_thick_stiffness(K, w.W, 24, w.x, w.y, w.z, axes, area, 0);
        else tri_thin_stiffness(K, w.W, 24, w.x, w.y, w.z, axes, area, 0);
    }

    // Released freedoms to the front, in their initial order.
    for (int q = 1; q <= n; ++q) w.perm[static_cast<std::size_t>(q - 1)] = q;
    int r = 0;
    for (int q = 1; q <= n; ++q) {
        if (!w.flag[static_cast<std::size_t>(q - 1)]) continue;
        ++r;
        if (r != q) {
            for (int c = 1; c <= n; ++c) std::swap(K(r, c), K(q, c));
            for (int i = 1; i <= n; ++i) std::swap(K(i, r), K(i, q));
            std::swap(w.perm[static_cast<std::size_t>(r - 1)], w.perm[static_cast<std::size_t>(q - 1)]);
        }
    }
    w.released = r;

    // Gauss-Jordan over the released pivots. The threshold is the single-precision 1e-10.
    const double tiny = static_cast<double>(1e-10f);
    for (int s = 1; s <= r; ++s) {
        const double d = K(s, s);
        if (std::fabs(d) < tiny) continue;
        for (int c = 1; c <= n; ++c) w.row(c) = K(s, c);
        for (int j = 1; j <= n; ++j) {
            const double f = K(j, s);
            if (std::fabs(f) < tiny) continue;
            if (j == s) {
                for (int c = 1; c <= n; ++c) K(s, c) = K(s, c) / d;
            } else {
                for (int c = 1; c <= n; ++c) K(j, c) = K(j, c) - f * w.row(c) / d;
            }
        }
    }
    for (int s = 1; s <= r; ++s) {
        for (int c = r + 1; c <= n; ++c) w.R(s, c) = K(s, c);
    }
}

void ElementLibrary::shell_stiffness(int plate_type, double* U, int ld, ConstMatView XYZ,
                                     int ncol, int nnodes, const Mat33& axes,
                                     ConstMatView release)
{
    ShellStiffnessWork& w = plate_.shell;
    const int n = 6 * nnodes;
    // No element routine matches other node counts or plate types, and a column shorter
    // than the element's freedoms cannot hold them: U is returned untouched rather than
    // condensed with a stale matrix.
    if ((nnodes != 3 && nnodes != 4) || (plate_type != 0 && plate_type != 1) || ld < n ||
        ncol < 0 || U == nullptr) {
        return;
    }
    w.flag.fill(0);
    int nreleased = 0;
    for (int i = 1; i <= nnodes; ++i) {
        release_flags(release(i), &w.flag[static_cast<std::size_t>(6 * (i - 1))]);
        for (int k = 0; k < 5; ++k) nreleased += w.flag[static_cast<std::size_t>(6 * (i - 1) + k)];
    }
    // Without releases U comes back unchanged; the element matrix would serve nothing.
    if (nreleased == 0) {
        return;
    }

    ShellStiffnessWork::Key key;
    key.plate_type = plate_type;
    key.nnodes = nnodes;
    key.material_type = blocks_.material_block.material_type;
    key.plane_mode = blocks_.plane_mode;
    key.flag = w.flag;
    for (int i = 1; i <= nnodes; ++i) {
        for (int c = 1; c <= 3; ++c) key.xyz[static_cast<std::size_t>(3 * (i - 1) + c - 1)] = XYZ(c, i);
    }
    key.axes = axes.a;
    key.ortho = blocks_.material_block.material_constants;
    key.scalars = {blocks_.E(), blocks_.nu(), blocks_.membrane_thickness(),
                   blocks_.bending_thickness()};
    // The isotropic membrane in 2-D mode 2 depends on earlier calls: never reuse there.
    const bool reusable = blocks_.plane_mode == 0 || blocks_.plane_mode == 1;
    const bool same = w.valid && reusable && w.key.plate_type == key.plate_type &&
                      w.key.nnodes == key.nnodes && w.key.material_type == key.material_type &&
                      w.key.plane_mode == key.plane_mode && w.key.flag == key.flag &&
                      same_bits(w.key.xyz, key.xyz) && same_bits(w.key.axes, key.axes) &&
                      same_bits(w.key.ortho, key.ortho) && same_bits(w.key.scalars, key.scalars);
    if (!same) {
        w.valid = false;
        shell_condense(plate_type, nnodes, XYZ, axes, n);
        w.key = key;
        w.valid = true;
    }

    const int r = w.released;
    MatView Uv(U, ld, n, ncol);
    for (int j = 1; j <= ncol; ++j) {
        // The same exchanges as the matrix's, then the released values, then back.
        for (int q = 1; q <= n; ++q) w.col(q) = Uv(q, j);
        int rr = 0;
        for (int q = 1; q <= n; ++q) {
            if (!w.flag[static_cast<std::size_t>(q - 1)]) continue;
            ++rr;
            std::swap(w.col(rr), w.col(q));
        }
        for (int s = 1; s <= r; ++s) {
            double sum = 0.0;
            for (int c = r + 1; c <= n; ++c) sum += w.R(s, c) * w.col(c);
            w.col(s) = -sum;
        }
        for (int q = 1; q <= n; ++q) Uv(w.perm[static_cast<std::size_t>(q - 1)], j) = w.col(q);
    }
}

void ElementLibrary::shell_stiffness(int plate_type, double* U, int unused, ConstMatView XYZ,
                                     int nnodes, const Mat33& axes, ConstMatView release)
{
    (void)unused;
    shell_stiffness(plate_type, U, 6 * nnodes, XYZ, 1, nnodes, axes, release);
}

}  // namespace kvpvs::recovery
