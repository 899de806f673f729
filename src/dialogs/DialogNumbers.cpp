#include "dialogs/DialogNumbers.h"

#include <cmath>
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

} // namespace kvpvs::dialogs
