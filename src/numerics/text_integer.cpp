// Text to integer with full error reporting: blanks, an optional sign, blanks, digits, blanks.
#include "numerics/numerics.h"

namespace kvpvs::numerics {

void TXTINT(std::string_view STRING, int& NUMBER)
{
    ERPUSH("TXTINT");
    NUMBER = 0;
    const int len = static_cast<int>(STRING.size());
    if (len < 1) {
        ERSETI(1, len);
        ERMES(5, 1, "The length of the input string is %(I1)");
        ERPOP("TXTINT");
        return;
    }
    int pos = 1;  // 1-based, as the messages count
    const auto at = [&](int p) { return STRING[static_cast<std::size_t>(p - 1)]; };
    while (pos <= len && at(pos) == ' ')
        ++pos;
    if (pos > len) {
        ERSETL(-1, STRING);
        ERMES(5, 4, "The input string '%(L1)' cannot be converted to an integer.");
        ERPOP("TXTINT");
        return;
    }
    const int first = pos;
    int sign = 1;
    if (at(pos) == '-') {
        sign = -1;
        ++pos;
    } else if (at(pos) == '+') {
        ++pos;
    }
    while (pos <= len && at(pos) == ' ')
        ++pos;
    const auto nonnumeric = [&](int where) {
        ERSETL(-1, STRING);
        ERSETI(1, where);
        ERMES(5, 2, "The string '%(L1)' contains a nonnumeric character at position %(I1)");
        ERPOP("TXTINT");
    };
    if (pos > len) {
        nonnumeric(first);
        return;
    }
    const int digits = pos;
    while (pos <= len && at(pos) >= '0' && at(pos) <= '9') {
        const int d = at(pos) - '0';
        if (NUMBER > (ICONST(5) - d) / 10) {
            ERSETL(-1, STRING);
            ERMES(5, 3, "The string '%(L1)' is too large to be converted to an integer.");
            ERPOP("TXTINT");
            return;
        }
        NUMBER = 10 * NUMBER + d;
        ++pos;
    }
    if (pos == digits) {
        nonnumeric(first);
        return;
    }
    NUMBER *= sign;
    const int endpos = pos;
    for (; pos <= len; ++pos)
        if (at(pos) != ' ') {
            nonnumeric(endpos);
            return;
        }
    ERPOP("TXTINT");
}

}  // namespace kvpvs::numerics
