#include "planecut/cut_predicates.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstddef>

namespace kvpvs::planecut {

// Decided by the floating determinant where it
// is clearly not 0, else by the sum of its 24 products of three coordinates, each held exactly
// as four doubles and added without rounding.
bool Coplanar(const double* a, const double* b, const double* c, const double* d)
{
    for (int k = 0; k < 3; ++k)
        if (a[k] == b[k] && a[k] == c[k] && a[k] == d[k])
            return true;
    double ad[3], bd[3], cd[3];
    for (int k = 0; k < 3; ++k)
        ad[k] = a[k] - d[k], bd[k] = b[k] - d[k], cd[k] = c[k] - d[k];
    const double det = ad[0] * (bd[1] * cd[2] - bd[2] * cd[1]) + bd[0] * (cd[1] * ad[2] - cd[2] * ad[1]) +
                       cd[0] * (ad[1] * bd[2] - ad[2] * bd[1]);
    const double perm = (std::fabs(bd[1] * cd[2]) + std::fabs(bd[2] * cd[1])) * std::fabs(ad[0]) +
                        (std::fabs(cd[1] * ad[2]) + std::fabs(cd[2] * ad[1])) * std::fabs(bd[0]) +
                        (std::fabs(ad[1] * bd[2]) + std::fabs(ad[2] * bd[1])) * std::fabs(cd[0]);
    if (std::fabs(det) > 1e-15 * perm)
        return false;
    // The determinant of the differences from a when they are exact, else of [p 1] over the
    // rows a, b, c, d: sums over the permutations of the rows given to x, y, z.
    const double* p[4] = {a, b, c, d};
    double dd[3][3];
    int nRows = 3;
    for (int i = 0; i < 3; ++i)
        for (int k = 0; k < 3; ++k) {
            const double x = p[i + 1][k], y = a[k], s = x - y, bv = x - s, av = s + bv;
            dd[i][k] = s;
            if ((x - av) + (bv - y) != 0.0) // the rounding of x - y (two-diff)
                nRows = 4;
        }
    const double* q[4] = {dd[0], dd[1], dd[2], nullptr};
    if (nRows == 4)
        std::copy(p, p + 4, q);
    std::array<double, 97> e{};
    size_t n = 0;
    auto grow = [&](double t) { // e + t exactly (two-sum along the expansion), zeros left out
        size_t m = 0;
        for (size_t i = 0; i < n; ++i) {
            const double s = t + e[i], bv = s - t, av = s - bv, h = (t - av) + (e[i] - bv);
            t = s;
            if (h != 0.0)
                e[m++] = h;
        }
        if (t != 0.0)
            e[m++] = t;
        n = m;
    };
    int r[4] = {0, 1, 2, 3};
    do {
        int nInv = 0;
        for (int i = 0; i < nRows; ++i)
            for (int j = i + 1; j < nRows; ++j)
                nInv += r[i] > r[j] ? 1 : 0;
        const double sg = nInv % 2 ? -1.0 : 1.0;
        const double x = q[r[0]][0], y = q[r[1]][1], z = q[r[2]][2];
        const double h = x * y, l = std::fma(x, y, -h);
        const double h1 = h * z, h2 = l * z;
        for (double t : {h1, std::fma(h, z, -h1), h2, std::fma(l, z, -h2)})
            grow(sg * t);
    } while (std::next_permutation(r, r + nRows));
    return n == 0;
}

double Turn(double x, double y)
{
    const double r = std::fabs(x) + std::fabs(y);
    if (!(r > 0.0))
        return 0.0;
    const double p = y / r; // sine-like, -1 .. 1
    return x >= 0.0 ? (y >= 0.0 ? p : 4.0 + p) : 2.0 - p;
}

bool Turns(const double* a, const double* b, const double* c, const double* o, double dSign)
{
    const double e[2] = {b[0] - a[0], b[1] - a[1]}, f[2] = {c[0] - o[0], c[1] - o[1]};
    const double dCross = dSign * (e[0] * f[1] - e[1] * f[0]);
    const double dTol = kRounding;
    return dCross >= 0.0 || dCross * dCross <= dTol * dTol * (e[0] * e[0] + e[1] * e[1]) * (f[0] * f[0] + f[1] * f[1]);
}

PlaneAxes::PlaneAxes(const double n[3])
{
    int kMin = 0;
    for (int k = 1; k < 3; ++k)
        if (std::fabs(n[k]) < std::fabs(n[kMin]))
            kMin = k;
    double e[3] = {0, 0, 0};
    e[kMin] = 1.0;
    u[0] = n[1] * e[2] - n[2] * e[1];
    u[1] = n[2] * e[0] - n[0] * e[2];
    u[2] = n[0] * e[1] - n[1] * e[0];
    v[0] = n[1] * u[2] - n[2] * u[1];
    v[1] = n[2] * u[0] - n[0] * u[2];
    v[2] = n[0] * u[1] - n[1] * u[0];
}

} // namespace kvpvs::planecut
