#include "CompFunc.h"

int CCompFunc::PosIntPairA(const void* a, const void* b)
{
    const auto* p = static_cast<const T_POS_INT_PAIR*>(a);
    const auto* q = static_cast<const T_POS_INT_PAIR*>(b);
    if (p->nInt != q->nInt)
        return p->nInt < q->nInt ? -1 : 1;
    if (p->nPos != q->nPos)
        return p->nPos < q->nPos ? -1 : 1;
    return 0;
}
