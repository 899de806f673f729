#include "ForceSumReference.h"

#include <cmath>

namespace kvpvs::test {

namespace {

Vec3 Sub(const Vec3& a, const Vec3& b) { return {a[0] - b[0], a[1] - b[1], a[2] - b[2]}; }
double Dot(const Vec3& a, const Vec3& b) { return a[0] * b[0] + a[1] * b[1] + a[2] * b[2]; }
Vec3 Cross(const Vec3& a, const Vec3& b)
{
    return {a[1] * b[2] - a[2] * b[1], a[2] * b[0] - a[0] * b[2], a[0] * b[1] - a[1] * b[0]};
}
Vec3 Unit(const Vec3& a)
{
    const double l = std::sqrt(Dot(a, a));
    return {a[0] / l, a[1] / l, a[2] / l};
}

// In-plane orthonormal axes u, v of the unit normal n.
void PlaneAxes(const Vec3& n, Vec3& u, Vec3& v)
{
    Vec3 e{0, 0, 0};
    int k = 0;
    for (int i = 1; i < 3; ++i)
        if (std::fabs(n[i]) < std::fabs(n[k]))
            k = i;
    e[k] = 1.0;
    u = Unit(Cross(n, e));
    v = Cross(n, u);
}

// Keeps the part of the polygon where sign * (x_k - c) >= 0; crossings land exactly on x_k = c.
std::vector<Vec3> Clip(const std::vector<Vec3>& poly, int k, double c, double sign)
{
    std::vector<Vec3> out;
    const size_t m = poly.size();
    for (size_t i = 0; i < m; ++i) {
        const Vec3& p = poly[i];
        const Vec3& q = poly[(i + 1) % m];
        const double fp = sign * (p[k] - c), fq = sign * (q[k] - c);
        if (fp >= 0)
            out.push_back(p);
        if ((fp >= 0) != (fq >= 0)) {
            const double t = fp / (fp - fq);
            Vec3 x{p[0] + t * (q[0] - p[0]), p[1] + t * (q[1] - p[1]), p[2] + t * (q[2] - p[2])};
            x[k] = c;
            out.push_back(x);
        }
    }
    return out;
}

} // namespace

std::array<double, 6> LinearStress::At(double x, double y, double z) const
{
    std::array<double, 6> s;
    for (int c = 0; c < 6; ++c)
        s[c] = s0[c] + x * d[0][c] + y * d[1][c] + z * d[2][c];
    return s;
}

void PolygonMoments::Add(const PolygonMoments& o)
{
    dArea += o.dArea;
    for (int i = 0; i < 3; ++i) {
        first[i] += o.first[i];
        for (int j = 0; j < 3; ++j)
            second[i][j] += o.second[i][j];
    }
}

std::vector<Vec3> ClipBoxByPlane(const Vec3& lo, const Vec3& hi, const Vec3& o, const Vec3& nIn)
{
    const Vec3 n = Unit(nIn);
    Vec3 u, v;
    PlaneAxes(n, u, v);
    const Vec3 bc{(lo[0] + hi[0]) / 2, (lo[1] + hi[1]) / 2, (lo[2] + hi[2]) / 2};
    const double d = Dot(Sub(bc, o), n);
    const Vec3 c0{bc[0] - d * n[0], bc[1] - d * n[1], bc[2] - d * n[2]};
    const double R = 2.0 * std::sqrt(Dot(Sub(hi, lo), Sub(hi, lo))) + std::fabs(d);
    std::vector<Vec3> poly;
    const double su[4] = {-1, 1, 1, -1}, sv[4] = {-1, -1, 1, 1};
    for (int i = 0; i < 4; ++i)
        poly.push_back({c0[0] + R * (su[i] * u[0] + sv[i] * v[0]), c0[1] + R * (su[i] * u[1] + sv[i] * v[1]),
                        c0[2] + R * (su[i] * u[2] + sv[i] * v[2])});
    // A plane on a face of the box: the square lies in it exactly when the normal is an axis.
    for (int k = 0; k < 3 && poly.size() >= 3; ++k) {
        poly = Clip(poly, k, lo[k], 1.0);
        poly = Clip(poly, k, hi[k], -1.0);
    }
    return poly.size() >= 3 ? poly : std::vector<Vec3>{};
}

PolygonMoments MomentsOf(const std::vector<Vec3>& poly)
{
    PolygonMoments m;
    if (poly.size() < 3)
        return m;
    Vec3 n{0, 0, 0};
    for (size_t i = 1; i + 1 < poly.size(); ++i) {
        const Vec3 w = Cross(Sub(poly[i], poly[0]), Sub(poly[i + 1], poly[0]));
        for (int k = 0; k < 3; ++k)
            n[k] += w[k];
    }
    if (Dot(n, n) == 0)
        return m;
    n = Unit(n);
    Vec3 u, v;
    PlaneAxes(n, u, v);
    const Vec3& P = poly[0];
    // The 2-D polygon formulas in (a, b) = ((x - P) . u, (x - P) . v); counter-clockwise about n.
    double A = 0, Ia = 0, Ib = 0, Iaa = 0, Ibb = 0, Iab = 0;
    const size_t m2 = poly.size();
    for (size_t i = 0; i < m2; ++i) {
        const Vec3 p = Sub(poly[i], P), q = Sub(poly[(i + 1) % m2], P);
        const double a0 = Dot(p, u), b0 = Dot(p, v), a1 = Dot(q, u), b1 = Dot(q, v);
        const double c = a0 * b1 - a1 * b0;
        A += c / 2;
        Ia += (a0 + a1) * c / 6;
        Ib += (b0 + b1) * c / 6;
        Iaa += (a0 * a0 + a0 * a1 + a1 * a1) * c / 12;
        Ibb += (b0 * b0 + b0 * b1 + b1 * b1) * c / 12;
        Iab += (a0 * b1 + 2 * a0 * b0 + 2 * a1 * b1 + a1 * b0) * c / 24;
    }
    m.dArea = A;
    for (int i = 0; i < 3; ++i) {
        m.first[i] = P[i] * A + u[i] * Ia + v[i] * Ib;
        for (int j = 0; j < 3; ++j)
            m.second[i][j] = P[i] * P[j] * A + (P[i] * u[j] + u[i] * P[j]) * Ia + (P[i] * v[j] + v[i] * P[j]) * Ib +
                             u[i] * u[j] * Iaa + v[i] * v[j] * Ibb + (u[i] * v[j] + v[i] * u[j]) * Iab;
    }
    return m;
}

void ForceAndMoment(const PolygonMoments& m, const LinearStress& s, const Vec3& nIn, const Vec3& ref, Vec3& F,
                    Vec3& M)
{
    const Vec3 n = Unit(nIn);
    auto tensorTimesN = [&](const std::array<double, 6>& q) {
        return Vec3{q[0] * n[0] + q[3] * n[1] + q[5] * n[2], q[3] * n[0] + q[1] * n[1] + q[4] * n[2],
                    q[5] * n[0] + q[4] * n[1] + q[2] * n[2]};
    };
    const Vec3 t0 = tensorTimesN(s.s0);
    Vec3 w[3];
    for (int k = 0; k < 3; ++k)
        w[k] = tensorTimesN(s.d[k]);
    // F = A S0 n + sum_k (integral x_k) D_k n.
    for (int i = 0; i < 3; ++i)
        F[i] = m.dArea * t0[i] + m.first[0] * w[0][i] + m.first[1] * w[1][i] + m.first[2] * w[2][i];
    // M = (integral x) x S0 n + sum_k (integral x x_k) x D_k n - ref x F.
    Vec3 acc = Cross(m.first, t0);
    for (int k = 0; k < 3; ++k) {
        const Vec3 xk{m.second[0][k], m.second[1][k], m.second[2][k]};
        const Vec3 c = Cross(xk, w[k]);
        for (int i = 0; i < 3; ++i)
            acc[i] += c[i];
    }
    const Vec3 rf = Cross(ref, F);
    for (int i = 0; i < 3; ++i)
        M[i] = acc[i] - rf[i];
}

} // namespace kvpvs::test
