#include "PVSUtilFunc.h"

#include "UnitCtrl.h"

void CPVSUtilFunc::GetCurUnitStr4Legend(int nUnitType, CString& strUnit)
{
    strUnit = "";
    const CUnitCtrl* pUnit = CDocCtrl::GetUnitCtrl(CDBDoc::GetDocPoint());
    if (pUnit && nUnitType != 0)
        pUnit->GetUnitSystem(nUnitType, strUnit);
}
