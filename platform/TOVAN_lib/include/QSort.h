// Stand-in for the host's sorting helpers: ascending sorts of plain arrays.
#pragma once
#include "afxtempl.h"

#include <algorithm>

class CQSort {
public:
    // Sorts the array ascending in place.
    static void QSortUInt(CArray<unsigned int, unsigned int>& a) { std::sort(a.begin(), a.end()); }
    static void QSortDbl(CArray<double, double>& a) { std::sort(a.begin(), a.end()); }
};
