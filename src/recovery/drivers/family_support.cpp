#include "recovery/drivers/family_support.h"

#include <cmath>

namespace kvpvs::recovery {

void element_axes(const double* X, const double* Y, const double* Z, Mat33& T, int shape)
{
    const double* P[3] = {X, Y, Z};
    double a[3];
    double b[3];
    const int n = shape;
    for (int c = 0; c < 3; ++c) {
        const double* p = P[c];
        if (shape == 1) {
            a[c] = p[1] - p[0];
            b[c] = p[2] - p[1];
        } else {
            a[c] = (p[1] + p[2]) - (p[n - 1] + p[0]);
            b[c] = (p[2] + p[n - 1]) - (p[0] + p[1]);
        }
    }
    const double aa = a[0] * a[0] + a[1] * a[1] + a[2] * a[2];
    const double ab = a[0] * b[0] + a[1] * b[1] + a[2] * b[2];
    const double b_length_before = std::sqrt(b[0] * b[0] + b[1] * b[1] + b[2] * b[2]);
    if (aa > 0.0) {
        for (int c = 0; c < 3; ++c)
            b[c] = b[c] - (ab / aa) * a[c];
    }
    const double la = std::sqrt(aa);
    const double lb = std::sqrt(b[0] * b[0] + b[1] * b[1] + b[2] * b[2]);
    // Coincident or collinear corners: what survives the orthogonalisation is rounding noise.
    if (!(la > 0.0) || !(lb > 1e-12 * (la + b_length_before))) {
        T.fill(0.0);
        T(1, 1) = T(2, 2) = T(3, 3) = 1.0;
        return;
    }
    double e1[3];
    double e2[3];
    for (int c = 0; c < 3; ++c) {
        e1[c] = a[c] / la;
        e2[c] = b[c] / lb;
    }
    const double e3[3] = {e1[1] * e2[2] - e1[2] * e2[1], e1[2] * e2[0] - e1[0] * e2[2],
                          e1[0] * e2[1] - e1[1] * e2[0]};
    for (int c = 0; c < 3; ++c) {
        T(1, c + 1) = e1[c];
        T(2, c + 1) = e2[c];
        T(3, c + 1) = e3[c];
    }
}

void rotate_node_vectors(DriverBuildState& build, double* F, const Mat33& T, int N)
{
    std::array<double, 3>& v = build.rotate_scratch;
    for (int i = 1; i <= 2 * N; ++i) {
        double* f = F + 3 * (i - 1);
        for (int r = 1; r <= 3; ++r)
            v[static_cast<std::size_t>(r - 1)] = T(r, 1) * f[0] + T(r, 2) * f[1] + T(r, 3) * f[2];
        f[0] = v[0];
        f[1] = v[1];
        f[2] = v[2];
    }
}

void gauss_to_nodes(DriverBuildState& build, double* A, int K, int M)
{
    if (M < 0 || M > 8)
        return;
    // Gauss points at +-1/sqrt(3) sit at +-1 in coordinates scaled by sqrt(3), where the
    // corners lie at +-sqrt(3): the bilinear function through the four values, at the corners.
    const double q = std::sqrt(3.0);
    const double corner[4][2] = {{-q, -q}, {q, -q}, {q, q}, {-q, q}};
    const long s0 = 4L * K + M;
    const double* g = A + s0;
    std::array<double, 32>& nodes = build.gauss_scratch;
    for (int j = 0; j < 4; ++j) {
        const double r = corner[j][0];
        const double s = corner[j][1];
        for (int c = 0; c < M; ++c)
            nodes[static_cast<std::size_t>(j * M + c)] =
                0.25 * ((1 - s) * (1 - r) * g[c] + (1 - s) * (1 + r) * g[M + c] + (1 + s) * (1 + r) * g[2 * M + c]
                        + (1 + s) * (1 - r) * g[3 * M + c]);
    }
    for (int k = 0; k < 4 * M; ++k)
        A[s0 + k] = nodes[static_cast<std::size_t>(k)];
}

void stress_to_strain(DriverBuildState& build, int NN, int first, ConstMatView S, MatView E)
{
    Mat33& Q = build.strain_compliance;
    if (first == 1) {
        Mat33 D;
        build.library.plane_elastic_matrix(1, D);
        invert_matrix(D, Q, 3);
    }
    for (int p = 1; p <= NN + 1; ++p)
        for (int r = 1; r <= 3; ++r)
            E(r, p) = Q(r, 1) * S(1, p) + Q(r, 2) * S(2, p) + Q(r, 3) * S(3, p);
}

} // namespace kvpvs::recovery
