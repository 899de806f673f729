#include "MathFunc.h"

#include <cmath>

void CMathFunc::mathCross(const double a[3], const double b[3], double c[3])
{
    const double x = a[1] * b[2] - a[2] * b[1];
    const double y = a[2] * b[0] - a[0] * b[2];
    const double z = a[0] * b[1] - a[1] * b[0];
    c[0] = x;
    c[1] = y;
    c[2] = z;
}

double CMathFunc::mathNormalize(double v[3])
{
    const double len = std::sqrt(v[0] * v[0] + v[1] * v[1] + v[2] * v[2]);
    if (len < 1e-30)
        return 0.0;
    v[0] /= len;
    v[1] /= len;
    v[2] /= len;
    return len;
}

double CMathFunc::mathLength(const double p0[3], const double p1[3])
{
    const double dx = p1[0] - p0[0], dy = p1[1] - p0[1], dz = p1[2] - p0[2];
    return std::sqrt(dx * dx + dy * dy + dz * dz);
}

double CMathFunc::mathArea(const double p0[3], const double p1[3], const double p2[3])
{
    const double a[3] = {p1[0] - p0[0], p1[1] - p0[1], p1[2] - p0[2]};
    const double b[3] = {p2[0] - p0[0], p2[1] - p0[1], p2[2] - p0[2]};
    double c[3];
    mathCross(a, b, c);
    return 0.5 * std::sqrt(c[0] * c[0] + c[1] * c[1] + c[2] * c[2]);
}

double CMathFunc::mathCrossAngle(const double a[3], const double b[3])
{
    const double la = std::sqrt(a[0] * a[0] + a[1] * a[1] + a[2] * a[2]);
    const double lb = std::sqrt(b[0] * b[0] + b[1] * b[1] + b[2] * b[2]);
    if (la < 1e-30 || lb < 1e-30)
        return 0.0;
    // atan2(|a x b|, a . b) is exact to rounding near 0 and 90 degrees; acos of the normalised
    // dot product cannot give anything between 0 and 8.5e-7 degrees.
    double c[3];
    mathCross(a, b, c);
    const double s = std::sqrt(c[0] * c[0] + c[1] * c[1] + c[2] * c[2]);
    return std::atan2(s, a[0] * b[0] + a[1] * b[1] + a[2] * b[2]) * 180.0 / M_PI;
}

double CMathFunc::mathCos(double dDeg) { return std::cos(dDeg * M_PI / 180.0); }

void CMathFunc::mathNormal(const double a[3], const double b[3], double n[3]) { mathCross(a, b, n); }

void CMathFunc::mathNormal(const double p0[3], const double p1[3], const double p2[3], double n[3])
{
    const double a[3] = {p1[0] - p0[0], p1[1] - p0[1], p1[2] - p0[2]};
    const double b[3] = {p2[0] - p0[0], p2[1] - p0[1], p2[2] - p0[2]};
    mathCross(a, b, n);
}

void CMathFunc::mathRotate(const double v[3], const double axis[3], double dDeg, double r[3])
{
    // Rodrigues: v cos t + (k x v) sin t + k (k . v)(1 - cos t).
    const double t = dDeg * M_PI / 180.0;
    const double c = std::cos(t), s = std::sin(t);
    double kv[3];
    mathCross(axis, v, kv);
    const double d = axis[0] * v[0] + axis[1] * v[1] + axis[2] * v[2];
    double out[3];
    for (int i = 0; i < 3; ++i)
        out[i] = v[i] * c + kv[i] * s + axis[i] * d * (1.0 - c);
    for (int i = 0; i < 3; ++i)
        r[i] = out[i];
}

int CMathFunc::Normalize(double v[3]) { return mathNormalize(v) > 0.0 ? 1 : 0; }
