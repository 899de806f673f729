#include "recovery/drivers/solid_support.h"

#include "recovery/drivers/family_state.h"

#include <cmath>

namespace kvpvs::recovery {

void solid_points_to_nodes(double* values, int nn)
{
    double* P = values;
    auto group = [P](int j) { return P + 6 * (j - 1); };
    if (nn == 8) {
        // Node sign table; the Gauss points sit at +-1/sqrt(3), so the nodes lie at +-sqrt(3)
        // in the coordinates where the points are at +-1.
        constexpr double xs[8] = {-1, 1, 1, -1, -1, 1, 1, -1};
        constexpr double ys[8] = {-1, -1, 1, 1, -1, -1, 1, 1};
        constexpr double zs[8] = {1, 1, 1, 1, -1, -1, -1, -1};
        const double r3 = std::sqrt(3.0);
        double nodes[48];
        for (int k = 0; k < 8; ++k) {
            const double xi = r3 * xs[k];
            const double eta = r3 * ys[k];
            const double zeta = r3 * zs[k];
            for (int c = 0; c < 6; ++c) {
                double s = 0.0;
                for (int j = 0; j < 8; ++j)
                    s += (1.0 + xs[j] * xi) * (1.0 + ys[j] * eta) * (1.0 + zs[j] * zeta) / 8.0 * P[6 * j + c];
                nodes[6 * k + c] = s;
            }
        }
        for (int i = 0; i < 48; ++i)
            P[i] = nodes[i];
    } else if (nn == 6) {
        // In each layer the in-plane points sit at 1/2.5 of the way from the layer's centre
        // point to the corners; through the thickness the layers sit at -+1/sqrt(3).
        for (int j = 2; j <= 8; ++j) {
            if (j == 5)
                continue;
            const double* c = group(j <= 4 ? 1 : 5);
            double* p = group(j);
            for (int i = 0; i < 6; ++i)
                p[i] = c[i] + 2.5 * (p[i] - c[i]);
        }
        const double s = std::sqrt(3.0);
        double nodes[36];
        for (int j = 2; j <= 4; ++j) {
            const double* a = group(j);
            const double* b = group(j + 4);
            for (int i = 0; i < 6; ++i) {
                const double mean = (a[i] + b[i]) / 2.0;
                nodes[6 * (j - 2) + i] = s * a[i] + (1.0 - s) * mean;
                nodes[6 * (j + 1) + i] = s * b[i] + (1.0 - s) * mean;
            }
        }
        for (int i = 0; i < 36; ++i)
            P[i] = nodes[i];
        for (int i = 36; i < 48; ++i)
            P[i] = 0.0;
    } else if (nn == 4) {
        for (int j = 2; j <= 4; ++j)
            for (int i = 0; i < 6; ++i)
                group(j)[i] = P[i];
    }
}

void rotate_tensor_blocks(double* values, const Mat33& T, int nn)
{
    // Rotated into a save area first, copied back when every group is done.
    double save[6 * 21];
    const int groups = nn + 1;
    if (groups < 1 || groups > 21)
        return;
    for (int g = 0; g < groups; ++g) {
        const double* v = values + 6 * g;
        const double s[3][3] = {{v[0], v[3], v[5]}, {v[3], v[1], v[4]}, {v[5], v[4], v[2]}};
        // W = sigma T, then T^T W.
        double w[3][3];
        for (int i = 0; i < 3; ++i)
            for (int b = 0; b < 3; ++b)
                w[i][b] = s[i][0] * T(1, b + 1) + s[i][1] * T(2, b + 1) + s[i][2] * T(3, b + 1);
        double r[3][3];
        for (int a = 0; a < 3; ++a)
            for (int b = 0; b < 3; ++b)
                r[a][b] = T(1, a + 1) * w[0][b] + T(2, a + 1) * w[1][b] + T(3, a + 1) * w[2][b];
        double* o = save + 6 * g;
        o[0] = r[0][0];
        o[1] = r[1][1];
        o[2] = r[2][2];
        o[3] = r[0][1];
        o[4] = r[1][2];
        o[5] = r[0][2];
    }
    for (int i = 0; i < 6 * groups; ++i)
        values[i] = save[i];
}

void rotate_vector_blocks(double* values, const Mat33& T, int nn)
{
    for (int k = 0; k < nn; ++k) {
        double* f = values + 3 * k;
        double r[3];
        for (int i = 0; i < 3; ++i)
            r[i] = T(1, i + 1) * f[0] + T(2, i + 1) * f[1] + T(3, i + 1) * f[2];
        f[0] = r[0];
        f[1] = r[1];
        f[2] = r[2];
    }
}

void stresses_to_strains(DriverBuildState& build, int nn, int value_index, const double* stresses, double* strains)
{
    FixedMatrix<6, 6>& Q = family_state(build.build).solid_compliance;
    if (value_index == 1) {
        // Cleared storage on every build: the elasticity routine forms types 0 and 1 only,
        // and an unformed matrix must not pass for the identity compliance.
        FixedMatrix<6, 6> D;
        build.library.solid_elastic_matrix(D);
        const int type = shared_blocks().material_block.material_type;
        if (type == 0 || type == 1)
            invert_matrix(D, Q, 6);
        else
            Q.fill(0.0);
    }
    for (int p = 0; p <= nn; ++p) {
        const double* s = stresses + 6 * p;
        double* e = strains + 6 * p;
        for (int i = 1; i <= 6; ++i) {
            double sum = 0.0;
            for (int j = 1; j <= 6; ++j)
                sum += Q(i, j) * s[j - 1];
            e[i - 1] = sum;
        }
    }
}

void fit_linear_to_nodes(double* out, const double* values, const double* node_xyz, const double* point_xyz,
                         int n_nodes, int n_points, int dim)
{
    if (dim != 2 && dim != 3)
        return;
    const int m = dim + 1;
    FixedMatrix<4, 4> A;
    double b[4] = {};
    A(1, 1) = n_points;
    for (int p = 0; p < n_points; ++p) {
        const double* q = point_xyz + dim * p;
        const double x = q[0];
        const double y = q[1];
        const double v = values[p];
        A(1, 2) += x;
        A(2, 2) += x * x;
        A(1, 3) += y;
        A(2, 3) += x * y;
        A(3, 3) += y * y;
        b[0] += v;
        b[1] += v * x;
        b[2] += v * y;
        if (dim == 3) {
            const double z = q[2];
            A(1, 4) += z;
            A(2, 4) += x * z;
            A(3, 4) += y * z;
            A(4, 4) += z * z;
            b[3] += v * z;
        }
    }
    for (int j = 1; j <= m; ++j)
        for (int i = j + 1; i <= m; ++i)
            A(i, j) = A(j, i);
    FixedMatrix<4, 4> Ainv;
    invert_matrix(MatView(A.a.data(), 4, m, m), MatView(Ainv.a.data(), 4, m, m), m);
    double c[4] = {};
    for (int i = 1; i <= m; ++i) {
        double s = 0.0;
        for (int j = 1; j <= m; ++j)
            s += Ainv(i, j) * b[j - 1];
        c[i - 1] = s;
    }
    for (int k = 0; k < n_nodes; ++k) {
        const double* q = node_xyz + dim * k;
        double v = c[0] + c[1] * q[0] + c[2] * q[1];
        if (dim == 3)
            v += c[3] * q[2];
        out[k] = v;
    }
}

} // namespace kvpvs::recovery
