#include "timehistory/CPVSTHCalcFuncFactory.h"

#include "timehistory/CPVSTHCalcBeamFunc.h"
#include "timehistory/CPVSTHCalcDispFunc.h"
#include "timehistory/CPVSTHCalcPlateFunc.h"
#include "timehistory/CPVSTHCalcPlstrnFunc.h"
#include "timehistory/CPVSTHCalcSolidFunc.h"
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
    case 4:
        return new (std::nothrow) CPVSTHCalcPlstrnFunc;
    case 5:
        return new (std::nothrow) CPVSTHCalcPlateFunc;
    case 6:
        return new (std::nothrow) CPVSTHCalcSolidFunc;
    default:
        // No code makes the plane-stress function.
        return nullptr;
    }
}
