#include "UnitCtrl.h"

namespace {
struct T_DOCCTRL_SLOT_D {
    CUnitCtrl unit;
    CInitCtrl init;
};

T_DOCCTRL_SLOT_D* Slot(CDBDoc* pDoc)
{
    return pDoc ? &pDoc->GetModelDB()->Table<T_DOCCTRL_SLOT_D>()[1] : nullptr;
}

CString g_strEditorPath, g_strEditorTitle;
} // namespace

double CUnitCtrl::ConvertUnitDataOut(int nUnitType, double dValue) const
{
    if (nUnitType == 0)
        return dValue;
    auto it = m_factor.find(nUnitType);
    return ConvertUnitIndexOut(nUnitType, it == m_factor.end() ? dValue : dValue * it->second);
}

double CUnitCtrl::ConvertUnitDataIn(int nUnitType, double dValue) const
{
    if (nUnitType == 0)
        return dValue;
    auto it = m_factor.find(nUnitType);
    const double dModel = ConvertUnitIndexOut(nUnitType, 1.0);
    dValue = dModel == 0.0 ? dValue : dValue / dModel;
    return it == m_factor.end() || it->second == 0.0 ? dValue : dValue / it->second;
}

BOOL CUnitCtrl::GetUnitSystem(int nUnitType, CString& strName) const
{
    auto it = m_name.find(nUnitType);
    if (it == m_name.end())
        return FALSE;
    strName = it->second;
    return TRUE;
}

CUnitCtrl* CDocCtrl::GetUnitCtrl(CDBDoc* pDoc)
{
    T_DOCCTRL_SLOT_D* p = Slot(pDoc);
    return p ? &p->unit : nullptr;
}

CUnitCtrl* CDocCtrl::GetUnitCtrlOfDB(CDBBase* pModelDB)
{
    return pModelDB ? &pModelDB->Table<T_DOCCTRL_SLOT_D>()[1].unit : nullptr;
}

CInitCtrl* CDocCtrl::GetInitCtrl(CDBDoc* pDoc)
{
    T_DOCCTRL_SLOT_D* p = Slot(pDoc);
    return p ? &p->init : nullptr;
}

void CDBLib::RunTextEditor(const char* pszPath, const char* pszTitle, int)
{
    g_strEditorPath = pszPath;
    g_strEditorTitle = pszTitle;
}

CString CDBLib::GetLastEditorPath() { return g_strEditorPath; }
CString CDBLib::GetLastEditorTitle() { return g_strEditorTitle; }
