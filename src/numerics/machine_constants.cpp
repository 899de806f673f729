// Machine description of the numerical library: integer and double constants of the 32-bit
// two's-complement and IEEE 754 formats, unit numbers, the NaN test and the guarded quotient.
#include "numerics/numerics.h"

#include <DFORRT/FormattedIO.h>

#include <bit>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <limits>
#include <string>

namespace kvpvs::numerics {
namespace {

int g_units[3] = {5, 6, 6};  // input, output, error messages

std::string i6(long long value)
{
    char buf[32];
    const auto r = std::to_chars(buf, buf + sizeof buf, value);
    const std::string digits(buf, r.ptr);
    return digits.size() > 6 ? std::string(6, '*') : std::string(6 - digits.size(), ' ') + digits;
}

}  // namespace

int ICONST(const int& N)
{
    // Exponents counted for a significand below 1.
    static constexpr int TABLE[12] = {32, 4, 2, 31, 2147483647, 2, 24, -125, 128, 53, -1021, 1024};
    if (N >= 1 && N <= 12)
        return TABLE[N - 1];
    int unit = 0;
    IOUNIT(2, unit);
    dforrt::WriteRecord(unit, "");
    dforrt::WriteRecord(unit, " *** TERMINAL ERROR 5 from ICONST.  The argument");
    dforrt::WriteRecord(unit, " ***          must be between 1 and 12 inclusive.");
    dforrt::WriteRecord(unit, " ***          N = " + i6(N) + ".");
    dforrt::WriteRecord(unit, "");
    dforrt::for_stop_core();
}

void IOUNIT(const int& N, int& NUNIT)
{
    if (N >= 1 && N <= 3) {
        NUNIT = g_units[N - 1];
        return;
    }
    if (N >= -3 && N <= -1) {
        g_units[-N - 1] = NUNIT;
        return;
    }
    const int unit = g_units[2];
    dforrt::WriteRecord(unit, " *** TERMINAL ERROR 5 from IOUNIT.  The absolute");
    dforrt::WriteRecord(unit, " ***          value of the index variable must be");
    dforrt::WriteRecord(unit, " ***          1, 2, or 3.  IABS(N) = " + i6(std::llabs(static_cast<long long>(N))) + ".");
    dforrt::for_stop_core();
}

double RCONST(const int& N)
{
    switch (N) {
    case 1: return 2.2250738585072014e-308;  // 2^-1022
    case 2: return 1.7976931348623157e+308;  // (2 - 2^-52) 2^1023
    case 3: return 1.1102230246251565e-16;   // 2^-53
    case 4: return 2.220446049250313e-16;    // 2^-52
    case 5: return 0.3010299956639812;       // log10(2)
    case 6: return std::numeric_limits<double>::quiet_NaN();
    case 7: return std::numeric_limits<double>::infinity();
    case 8: return -std::numeric_limits<double>::infinity();
    default: break;
    }
    ERPUSH("RCONST");
    ERSETI(1, N);
    ERMES(5, 5, "The argument must be between 1 and 8 inclusive. N = %(I1)");
    ERPOP("RCONST");
    return std::numeric_limits<double>::quiet_NaN();
}

bool ISNAN(const double& X)
{
    // Exponent all ones and a fraction that is not zero; infinities are not NaN.
    const std::uint64_t bits = std::bit_cast<std::uint64_t>(X);
    return (bits & 0x7ff0000000000000ULL) == 0x7ff0000000000000ULL && (bits & 0x000fffffffffffffULL) != 0;
}

void SAFEEQ(const double& A, const double& B, double& Q)
{
    if (ISNAN(A) || ISNAN(B)) {
        Q = RCONST(6);
        return;
    }
    const double absa = std::fabs(A);
    const double absb = std::fabs(B);
    if (absb > 1.0) {
        Q = absa < absb * RCONST(1) ? 0.0 : A / B;  // the quotient would underflow
        return;
    }
    if (absa >= absb * RCONST(2)) {  // it would overflow, or B = 0
        if (A == 0.0)
            Q = RCONST(6);
        else
            Q = (A > 0.0) == !(B < 0.0) ? RCONST(7) : RCONST(8);  // -0 counts as positive
        return;
    }
    Q = A / B;
}

}  // namespace kvpvs::numerics
