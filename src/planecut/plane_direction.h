// A plane's direction given at any finite length, in the two forms its users need, with no
// square under- or overflowing on the way: scaled exactly by a power of two (the cut decides
// sides with it, so an exact normal such as (1, 1, 1) keeps the exact zeros it gives), and as a
// unit vector (lengths, areas and the displays' tractions).
#pragma once
#include <cmath>
#include <limits>

namespace kvpvs::planecut {

enum class DirectionFault { kNone, kZero, kNotFinite };

// s = a 2^k: a as given when it is a unit vector to rounding, else with k putting its largest
// |component| in [1, 2). A power of two scales every plane value alike and exactly, so signs,
// zeros and the ratios points on edges are made from stay what the given direction gives.
inline DirectionFault ScaledDirection(const double a[3], double s[3])
{
    double dMax = 0.0;
    for (int k = 0; k < 3; ++k) {
        if (!std::isfinite(a[k]))
            return DirectionFault::kNotFinite;
        dMax = std::fmax(dMax, std::fabs(a[k]));
    }
    if (dMax == 0.0)
        return DirectionFault::kZero;
    const double l2 = a[0] * a[0] + a[1] * a[1] + a[2] * a[2];
    const int e = std::fabs(l2 - 1.0) <= 4 * std::numeric_limits<double>::epsilon() ? 0 : -std::ilogb(dMax);
    for (int k = 0; k < 3; ++k)
        s[k] = std::scalbn(a[k], e);
    return DirectionFault::kNone;
}

// The unit vector of a scaled direction s: s itself when it is one to rounding.
inline void UnitOfScaled(const double s[3], double u[3])
{
    const double l2 = s[0] * s[0] + s[1] * s[1] + s[2] * s[2];
    const double l = std::fabs(l2 - 1.0) <= 4 * std::numeric_limits<double>::epsilon() ? 1.0 : std::sqrt(l2);
    for (int k = 0; k < 3; ++k)
        u[k] = s[k] / l;
}

// The unit vector of a direction of any finite, non-zero length; false (u untouched) for a zero
// or non-finite one.
inline bool UnitDirection(const double a[3], double u[3])
{
    double s[3];
    if (ScaledDirection(a, s) != DirectionFault::kNone)
        return false;
    UnitOfScaled(s, u);
    return true;
}

} // namespace kvpvs::planecut
