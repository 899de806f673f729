#include "dialogs/DialogNumbers.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <limits>

namespace kvpvs::dialogs {

double ParseFinite(const CString& str, double dReset)
{
    const double d = std::atof(str);
    return std::isfinite(d) ? d : dReset;
}

int TruncToInt(const CString& str, int nReset)
{
    const double d = std::trunc(std::atof(str));
    // A cast of a value outside int is undefined; NaN fails both comparisons.
    if (!(d >= static_cast<double>(std::numeric_limits<int>::min()) && d <= static_cast<double>(std::numeric_limits<int>::max())))
        return nReset;
    return static_cast<int>(d);
}

CString FormatRoundTrip(double d)
{
    char buf[40];
    for (int nDigits = 6; nDigits <= 17; ++nDigits) {
        std::snprintf(buf, sizeof buf, "%.*g", nDigits, d);
        // 17 significant digits read back as any double; NaN never compares equal and ends there.
        if (std::strtod(buf, nullptr) == d)
            break;
    }
    return CString(buf);
}

} // namespace kvpvs::dialogs
