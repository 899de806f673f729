// Counts, codes, equation and node numbers that result records hold as doubles are taken by
// truncation toward zero; a value outside the int range (or NaN) has no such number.
#pragma once

#include <cmath>
#include <limits>

namespace kvpvs::recovery {

inline int truncate_to_int(double v)
{
    const double t = std::trunc(v);
    if (!(t >= static_cast<double>(std::numeric_limits<int>::min()) && t <= static_cast<double>(std::numeric_limits<int>::max())))
        return 0;
    return static_cast<int>(t);
}

} // namespace kvpvs::recovery
