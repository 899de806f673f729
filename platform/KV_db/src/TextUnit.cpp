#include "TextUnit.h"

#include "DBDoc.h"
#include "UnitCtrl.h"

IMPLEMENT_DYNAMIC(CTextUnit, CStatic)

void CTextUnit::SetUnitType(int nUnitType)
{
    m_nUnitType = nUnitType;
    CString strName;
    const CUnitCtrl* pUnit = CDocCtrl::GetUnitCtrl(CDBDoc::GetDocPoint());
    if (!pUnit || !pUnit->GetUnitSystem(nUnitType, strName))
        strName = "";
    SetWindowText(strName);
}
