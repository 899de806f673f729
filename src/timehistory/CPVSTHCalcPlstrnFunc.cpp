#include "timehistory/CPVSTHCalcPlstrnFunc.h"

#include "timehistory/element_tables.h"

int CPVSTHCalcPlstrnFunc::GetResultUnitType(int nKind, int nComponent)
{
    return kvpvs::timehistory::PlstrnUnitType(nKind, nComponent);
}
