#include "timehistory/element_tables.h"

namespace kvpvs::timehistory {

namespace {
// a p + c + b in 64 bits: a stored position or component far out of range names row 0, which
// the library refuses, instead of a wrapped row that could hold another component.
int RowOf(long long a, int p, int c, long long b)
{
    const long long r = a * p + c + b;
    return r >= 1 && r <= 0x7fffffff ? static_cast<int>(r) : 0;
}

// Forces, stresses and strains of plane-strain and solid elements: the component is not looked at.
int ForceStressStrainUnitType(int k)
{
    switch (k) {
    case 1: return 2;
    case 2: return 17;
    case 3: return 0;
    default: return 1;
    }
}
} // namespace

int PlstrnRow(int nNodes, int k, int p, int c)
{
    const bool lo = nNodes == 3 || nNodes == 4, hi = nNodes == 6 || nNodes == 8;
    if (!lo && !hi)
        return 1;
    switch (k) {
    case 1: return RowOf(3, p, c, 1);
    case 2: return RowOf(4, p, c, lo ? 13 : 25);
    case 3: return RowOf(4, p, c, lo ? 33 : 61);
    default: return 1;
    }
}

int SolidRow(int nNodes, int k, int p, int c)
{
    const bool lo = nNodes == 4 || nNodes == 6 || nNodes == 8, hi = nNodes == 10 || nNodes == 15 || nNodes == 20;
    if (!lo && !hi)
        return 1;
    switch (k) {
    case 1: return RowOf(3, p, c, 1);
    case 2: return RowOf(6, p, c, lo ? 25 : 61);
    case 3: return RowOf(6, p, c, lo ? 79 : 187);
    default: return 1;
    }
}

int PlateRow(int nNodes, int k, int p, int c)
{
    const bool lo = nNodes == 3 || nNodes == 4, hi = nNodes == 6 || nNodes == 8;
    if (!lo && !hi)
        return 1;
    switch (k) {
    case 1: return RowOf(6, p, c, 1);
    case 2: return RowOf(14, p, c, lo ? 25 : 49);
    case 3: return RowOf(14, p, c, lo ? 31 : 55);
    default: return 1;
    }
}

int PlstrnUnitType(int k, int) { return ForceStressStrainUnitType(k); }
int SolidUnitType(int k, int) { return ForceStressStrainUnitType(k); }

int PlateUnitType(int k, int c)
{
    switch (k) {
    case 1: return c >= 0 && c <= 2 ? 2 : (c >= 3 && c <= 5 ? 12 : 1);
    case 2: return 17;
    case 3: return (c >= 0 && c <= 2) || c == 6 || c == 7 ? 14 : (c >= 3 && c <= 5 ? 13 : 1);
    default: return 1;
    }
}

} // namespace kvpvs::timehistory
