// Stand-in for the host's global helpers. GF_GetHashSizeByCount: a hash-table size for about
// nCount entries; choice: the smallest odd number at or above nCount * 1.2 (at least 17).
#pragma once

inline unsigned int GF_GetHashSizeByCount(int nCount)
{
    unsigned int n = nCount > 0 ? static_cast<unsigned int>(nCount) : 0u;
    n = n + n / 5;
    if (n < 17)
        n = 17;
    return n | 1u;
}
