// A double in the hexadecimal form the C library's "%a" gives it, without printf:
// "[-]0x1.<hex>p<sign><exp>" with the fraction's trailing zero digits dropped (and its point with
// them), a subnormal as "0x0.<13 hex>p-1022" likewise trimmed, a zero as "0x0p+0", and "inf" /
// "nan" with the sign bit.
#pragma once
#include <bit>
#include <cstdint>

namespace YrpArchive {

// The longest form, "-0x1.fffffffffffffp-1022".
constexpr int kHexDoubleMax = 24;

// Writes the form at p (no terminator) and returns the number of characters.
inline int WriteHexDouble(double d, char* p)
{
    static constexpr char kHex[] = "0123456789abcdef";
    const uint64_t u = std::bit_cast<uint64_t>(d);
    const int nBiased = static_cast<int>((u >> 52) & 0x7ff);
    uint64_t m = u & ((uint64_t{1} << 52) - 1);
    char* q = p;
    if (u >> 63)
        *q++ = '-';
    if (nBiased == 0x7ff) {
        const char* s = m ? "nan" : "inf";
        q[0] = s[0], q[1] = s[1], q[2] = s[2];
        return static_cast<int>(q + 3 - p);
    }
    *q++ = '0', *q++ = 'x', *q++ = nBiased ? '1' : '0';
    // A zero's exponent is 0; a subnormal keeps the smallest normal exponent.
    const int nExp = nBiased ? nBiased - 1023 : (m ? -1022 : 0);
    if (m) {
        int nDigits = 13;
        while ((m & 0xf) == 0)
            m >>= 4, --nDigits;
        *q++ = '.';
        for (int i = nDigits - 1; i >= 0; --i, m >>= 4)
            q[i] = kHex[m & 0xf];
        q += nDigits;
    }
    *q++ = 'p', *q++ = nExp < 0 ? '-' : '+';
    unsigned e = static_cast<unsigned>(nExp < 0 ? -nExp : nExp);
    char aDigits[4];
    int n = 0;
    do
        aDigits[n++] = static_cast<char>('0' + e % 10), e /= 10;
    while (e);
    while (n)
        *q++ = aDigits[--n];
    return static_cast<int>(q - p);
}

} // namespace YrpArchive
