// Stand-in for the host's global helpers. GF_GetHashSizeByCount: a hash-table size for about
// nCount entries; choice: the smallest odd number at or above nCount * 1.2 (at least 17).
// CArrayUtil::IntersectUINT: the keys of the first list found in the second, in the first's order.
#pragma once
#include "afxtempl.h"

#include <unordered_set>

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
        std::unordered_set<unsigned int> in;
        for (int i = 0; i < b.GetSize(); ++i)
            in.insert(b[i]);
        CArray<unsigned int, unsigned int> r;
        for (int i = 0; i < a.GetSize(); ++i)
            if (in.count(a[i]))
                r.Add(a[i]);
        aOut.Copy(r);
    }
};
