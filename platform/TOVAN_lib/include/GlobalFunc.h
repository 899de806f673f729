// Stand-in for the host's global helpers. GF_GetHashSizeByCount: a hash-table size for about
// nCount entries; choice: the smallest odd number at or above nCount * 1.2 (at least 17).
// CArrayUtil::IntersectUINT: the keys of the first list found in the second, in the first's order.
#pragma once
#include "afxtempl.h"

#include <algorithm>
#include <vector>

inline unsigned int GF_GetHashSizeByCount(int nCount)
{
    unsigned int n = nCount > 0 ? static_cast<unsigned int>(nCount) : 0u;
    n = n + n / 5;
    if (n < 17)
        n = 17;
    return n | 1u;
}

class CArrayUtil {
public:
    static void IntersectUINT(const CArray<unsigned int, unsigned int>& a, const CArray<unsigned int, unsigned int>& b,
                              CArray<unsigned int, unsigned int>& aOut)
    {
        // Searched in a sorted copy of the second list: no node per key, as a hash set would make.
        std::vector<unsigned int> in(b.GetData(), b.GetData() + b.GetSize());
        std::sort(in.begin(), in.end());
        CArray<unsigned int, unsigned int> r;
        for (int i = 0; i < a.GetSize(); ++i)
            if (std::binary_search(in.begin(), in.end(), a[i]))
                r.Add(a[i]);
        aOut.Copy(r);
    }
};
