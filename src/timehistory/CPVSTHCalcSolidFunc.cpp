#include "timehistory/CPVSTHCalcSolidFunc.h"

#include "timehistory/element_tables.h"

int CPVSTHCalcSolidFunc::GetResultUnitType(int nKind, int nComponent)
{
    return kvpvs::timehistory::SolidUnitType(nKind, nComponent);
}
