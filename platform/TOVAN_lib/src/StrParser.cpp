#include "StrParser.h"

#include <climits>

int CStrParser::GetINumber(const char* pszText)
{
    if (!pszText)
        return 0;
    const char* p = pszText;
    while (*p && (*p < '0' || *p > '9'))
        ++p;
    if (!*p)
        return 0;
    const bool bNegative = p > pszText && p[-1] == '-';
    long long n = 0;
    for (; *p >= '0' && *p <= '9'; ++p) {
        n = n * 10 + (*p - '0');
        if (n > INT_MAX)
            return 0;
    }
    return static_cast<int>(bNegative ? -n : n);
}
