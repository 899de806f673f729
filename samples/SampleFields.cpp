// Closed-form fields of the braced excavation: smooth, physically plausible shapes (wall
// deflection towards the pit, settlement trough behind the wall, heave of the pit floor,
// geostatic stresses with K0, steady flow around the wall tip), not a solution of the model.
#include "SampleProject.h"

#include <algorithm>
#include <cmath>

namespace kvpvs::sample {

namespace {

constexpr double kPi = 3.14159265358979323846;
constexpr double kWallX = 10.0;
constexpr double kWallTipZ = -15.0;

// Vertical total stress [kN/m2, positive] at depth d below the surface: fill 18 to 3 m,
// clay 19 to 12 m, sand 20 below.
double Overburden(double d)
{
    d = std::max(d, 0.0);
    double s = 18.0 * std::min(d, 3.0);
    if (d > 3.0)
        s += 19.0 * (std::min(d, 12.0) - 3.0);
    if (d > 12.0)
        s += 20.0 * (d - 12.0);
    return s;
}

double EarthPressureAtRest(double d) { return d < 3.0 ? 0.5 : (d < 12.0 ? 0.6 : 0.45); }

} // namespace

void SampleFields::Displacement(const double p[3], double u[3]) const
{
    u[0] = u[1] = u[2] = 0.0;
    const double H = dExcavation;
    if (H <= 0.0)
        return;
    const double x = p[0], y = p[1], z = p[2];
    const double delta = 0.0035 * H; // largest wall deflection, 3.5 per mille of the depth
    const double bump = std::exp(-std::pow((z + 0.8 * H) / (0.9 * H + 3.0), 2));
    u[0] = -delta * std::exp(-std::fabs(x - kWallX) / 8.0) * bump;
    u[1] = 0.05 * u[0] * (y - 4.0) / 4.0;
    if (x >= kWallX)
        u[2] = -0.8 * delta * std::exp(-std::pow((x - kWallX - 0.5 * H) / H, 2)) * std::exp(z / (2.0 * H + 6.0));
    else
        u[2] = 0.6 * delta * std::exp(std::min(z + H, 0.0) / 6.0) * (1.0 - 0.3 * x / kWallX);
}

void SampleFields::Stress(const double p[3], double s[6]) const
{
    const double x = p[0], z = p[2];
    const double d = -z;
    double sv = Overburden(d);
    double K0 = EarthPressureAtRest(d);
    double sh;
    if (x < kWallX && dExcavation > 0.0) {
        // Inside the pit the overburden above the floor is gone; part of the horizontal stress stays.
        double svFull = sv;
        sv = std::max(svFull - Overburden(dExcavation), 0.0);
        sh = K0 * (0.4 * svFull + 0.6 * sv);
    } else {
        sh = K0 * sv;
    }
    s[0] = -sh;
    s[1] = -sh;
    s[2] = -sv;
    s[3] = 0.0;
    s[4] = 0.0;
    // Wall friction: shear that fades within a few metres of the wall.
    s[5] = dExcavation > 0.0 ? -0.15 * sv * std::exp(-std::fabs(x - kWallX) / 3.0) : 0.0;
}

double SampleFields::Head(const double p[3], double grad[3]) const
{
    // Outside the water table stands at -2.0; the pit is pumped to 0.5 m below its floor.
    // The angle around the wall tip, 0 on the outer face to 2π on the inner face, is harmonic,
    // so h = hOut - Δh a / 2π is a steady flow around a thin barrier.
    const double hOut = -2.0;
    const double hIn = dExcavation > 0.0 ? -dExcavation - 0.5 : hOut;
    const double dh = hOut - hIn;
    const double dx = p[0] - kWallX, dz = p[2] - kWallTipZ;
    double a = std::atan2(dx, dz);
    if (a < 0.0)
        a += 2.0 * kPi;
    // ∂a/∂x = dz / r², ∂a/∂z = -dx / r²; r² kept above 0.25 m² at the tip.
    const double r2 = dx * dx + dz * dz + 0.25;
    grad[0] = -dh / (2.0 * kPi) * dz / r2;
    grad[1] = 0.0;
    grad[2] = -dh / (2.0 * kPi) * (-dx) / r2;
    return hOut - dh * a / (2.0 * kPi);
}

void PrincipalValues(const double s[6], double val[3], double dir[3][3])
{
    double a[3][3] = {{s[0], s[3], s[5]}, {s[3], s[1], s[4]}, {s[5], s[4], s[2]}};
    double v[3][3] = {{1, 0, 0}, {0, 1, 0}, {0, 0, 1}};
    // Cyclic Jacobi: a symmetric 3×3 converges in a handful of sweeps.
    for (int sweep = 0; sweep < 50; ++sweep) {
        double off = std::fabs(a[0][1]) + std::fabs(a[0][2]) + std::fabs(a[1][2]);
        double scale = std::fabs(a[0][0]) + std::fabs(a[1][1]) + std::fabs(a[2][2]);
        if (off <= 1e-15 * (scale + 1e-300))
            break;
        for (int pI = 0; pI < 2; ++pI)
            for (int qI = pI + 1; qI < 3; ++qI) {
                if (a[pI][qI] == 0.0)
                    continue;
                double theta = (a[qI][qI] - a[pI][pI]) / (2.0 * a[pI][qI]);
                double t = (theta >= 0 ? 1.0 : -1.0) / (std::fabs(theta) + std::sqrt(theta * theta + 1.0));
                double c = 1.0 / std::sqrt(t * t + 1.0), sn = t * c;
                for (int k = 0; k < 3; ++k) {
                    double akp = a[k][pI], akq = a[k][qI];
                    a[k][pI] = c * akp - sn * akq;
                    a[k][qI] = sn * akp + c * akq;
                }
                for (int k = 0; k < 3; ++k) {
                    double apk = a[pI][k], aqk = a[qI][k];
                    a[pI][k] = c * apk - sn * aqk;
                    a[qI][k] = sn * apk + c * aqk;
                }
                for (int k = 0; k < 3; ++k) {
                    double vkp = v[k][pI], vkq = v[k][qI];
                    v[k][pI] = c * vkp - sn * vkq;
                    v[k][qI] = sn * vkp + c * vkq;
                }
            }
    }
    int order[3] = {0, 1, 2};
    std::sort(order, order + 3, [&](int l, int r) { return a[l][l] > a[r][r]; });
    for (int n = 0; n < 3; ++n) {
        val[n] = a[order[n]][order[n]];
        for (int k = 0; k < 3; ++k)
            dir[k][n] = v[k][order[n]];
    }
}

} // namespace kvpvs::sample
