// Stand-in for the host's sorting comparators for qsort.
#pragma once

struct T_POS_INT_PAIR {
    int nPos;
    int nInt;
};

class CCompFunc {
public:
    // Orders T_POS_INT_PAIR by the int (priority), then by the position, both ascending.
    static int PosIntPairA(const void* a, const void* b);
};
