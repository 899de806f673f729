// Character routines shared by the numerical library's format and table routines: integer to
// and from a field, set verification, substring searches, comparison and ranged copy.
#include "numerics/numerics.h"

#include <charconv>
#include <cstring>

namespace kvpvs::numerics {
namespace {

char upper(char c) { return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c; }

template <class Eq>
int find(std::string_view text, std::string_view sub, Eq eq)
{
    if (sub.size() > text.size())
        return 0;
    for (std::size_t i = 0; i + sub.size() <= text.size(); ++i) {
        std::size_t k = 0;
        while (k < sub.size() && eq(text[i + k], sub[k]))
            ++k;
        if (k == sub.size())
            return static_cast<int>(i + 1);
    }
    return 0;
}

}  // namespace

void INTSTR(const int& NUMBER, std::span<char> FIELD, int& STATUS)
{
    if (FIELD.empty()) {
        STATUS = -1;
        return;
    }
    char buf[16];
    const auto r = std::to_chars(buf, buf + sizeof buf, NUMBER);
    const std::size_t n = static_cast<std::size_t>(r.ptr - buf);
    if (n > FIELD.size()) {
        std::memset(FIELD.data(), '*', FIELD.size());
        STATUS = static_cast<int>(n - FIELD.size());
        return;
    }
    std::memset(FIELD.data(), ' ', FIELD.size() - n);
    std::memcpy(FIELD.data() + FIELD.size() - n, buf, n);
    STATUS = 0;
}

void STRINT(std::string_view FIELD, int& NUMBER, int& STATUS)
{
    NUMBER = 0;
    const std::size_t len = FIELD.size();
    std::size_t i = 0;
    while (i < len && FIELD[i] == ' ')
        ++i;
    if (i == len) {
        STATUS = -1;
        return;
    }
    const std::size_t first = i;
    int sign = 1;
    if (FIELD[i] == '-' || FIELD[i] == '+') {
        sign = FIELD[i] == '-' ? -1 : 1;
        ++i;
        while (i < len && FIELD[i] == ' ')
            ++i;
    }
    const std::size_t digits = i;
    int value = 0;
    while (i < len && FIELD[i] >= '0' && FIELD[i] <= '9') {
        const int d = FIELD[i] - '0';
        if (value > (2147483647 - d) / 10) {  // ICONST(5), the largest int
            STATUS = -2;
            return;
        }
        value = 10 * value + d;
        ++i;
    }
    if (i == digits) {
        STATUS = static_cast<int>(first + 1);
        return;
    }
    NUMBER = sign * value;
    while (i < len && FIELD[i] == ' ')
        ++i;
    STATUS = i == len ? 0 : static_cast<int>(i + 1);
}

int TXVRFY(std::string_view TEXT, std::string_view SET)
{
    for (std::size_t i = 0; i < TEXT.size(); ++i)
        if (SET.find(TEXT[i]) == std::string_view::npos)
            return static_cast<int>(i + 1);
    return 0;
}

int TXINDX(std::string_view TEXT, std::string_view SUB)
{
    return find(TEXT, SUB, [](char a, char b) { return upper(a) == upper(b); });
}

int TXINDC(std::string_view TEXT, std::string_view SUB)
{
    return find(TEXT, SUB, [](char a, char b) { return a == b; });
}

int TXCMPI(std::string_view A, std::string_view B)
{
    const std::size_t n = A.size() > B.size() ? A.size() : B.size();
    for (std::size_t i = 0; i < n; ++i) {
        const char a = upper(i < A.size() ? A[i] : ' ');
        const char b = upper(i < B.size() ? B[i] : ' ');
        if (a != b)
            return static_cast<unsigned char>(a) < static_cast<unsigned char>(b) ? -1 : 1;
    }
    return 0;
}

void TXCOPY(std::string_view SOURCE, const int& I1, const int& I2, std::span<char> TARGET,
            const int& J1, const int& J2, int& STATUS)
{
    const long long i1 = I1, i2 = I2, j1 = J1, j2 = J2;
    if (i1 < 1 || i2 < i1 - 1 || i2 > static_cast<long long>(SOURCE.size()) || j1 < 1 || j2 < j1 - 1) {
        STATUS = -2;
        return;
    }
    if (j2 > static_cast<long long>(TARGET.size())) {
        STATUS = -1;
        return;
    }
    const long long ns = i2 - i1 + 1;
    const long long nt = j2 - j1 + 1;
    const long long n = ns < nt ? ns : nt;
    // The texts may share storage.
    std::memmove(TARGET.data() + (j1 - 1), SOURCE.data() + (i1 - 1), static_cast<std::size_t>(n));
    if (nt > n)
        std::memset(TARGET.data() + (j1 - 1) + n, ' ', static_cast<std::size_t>(nt - n));
    STATUS = ns > nt ? static_cast<int>(-(2 + (ns - nt))) : 0;
}

}  // namespace kvpvs::numerics
