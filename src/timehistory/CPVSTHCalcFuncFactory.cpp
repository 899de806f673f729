#include "timehistory/CPVSTHCalcFuncFactory.h"

#include "timehistory/CPVSTHCalcBeamFunc.h"
#include "timehistory/CPVSTHCalcDispFunc.h"
#include "timehistory/CPVSTHCalcPlateFunc.h"
#include "timehistory/CPVSTHCalcTrssFunc.h"

#include <new>

CPVSTHCalcFuncBase* CPVSTHCalcFuncFactory::Create(int nCode)
{
    switch (nCode) {
    case 1:
        return new (std::nothrow) CPVSTHCalcDispFunc;
    case 2:
        return new (std::nothrow) CPVSTHCalcTrssFunc;
    case 3:
        return new (std::nothrow) CPVSTHCalcBeamFunc;
    case 5:
        return new (std::nothrow) CPVSTHCalcPlateFunc;
    default:
        // 4 plane strain and 6 solid come with their element families.
        return nullptr;
    }
}
