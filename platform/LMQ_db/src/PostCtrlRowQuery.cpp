#include "DBDoc.h"
#include "DBModelRecords.h"
#include "DBValueUnits.h"
#include "PostCtrlBase.h"

BOOL CPostCtrlBase::BeginQueryRow(unsigned int nPVtifK)
{
    m_nRowK = 0;
    if (!m_pRowDB || !CClassPVtif(m_pRowDB).Exist(nPVtifK))
        return FALSE;
    m_nRowK = nPVtifK;
    return TRUE;
}

BOOL CPostCtrlBase::GetElemResult(const CArray<unsigned int, unsigned int>& aElemId, unsigned int nPVtifK,
                                  int& nValueCount, CMap<int, int, T_POST_VECT_ALL_D, T_POST_VECT_ALL_D&>& mResult)
{
    nValueCount = 0;
    mResult.RemoveAll();
    if (!m_pRowDB || m_nRowK == 0 || m_nRowK != nPVtifK)
        return FALSE;
    const auto& table = m_pRowDB->Table<T_PVAL_D>();
    auto it = table.find(nPVtifK);
    if (it == table.end())
        return FALSE;
    const T_PVAL_D& val = it->second;
    // Values come in the current unit system of the row's unit type.
    T_PVTIF_D row;
    const int nUnitType = CClassPVtif(m_pRowDB).Get(nPVtifK, row) ? row.nUnitType : DB_UNIT_NONE;
    for (int i = 0; i < aElemId.GetSize(); ++i) {
        int n = 0;
        const double* p = val.Find(aElemId[i], n);
        if (!p)
            continue;
        T_POST_VECT_ALL_D& v = mResult[static_cast<int>(aElemId[i])];
        v.aValue.SetSize(n);
        for (int k = 0; k < n; ++k)
            v.aValue[k] = CDBValueUnits::Out(nUnitType, p[k]);
        if (n > nValueCount)
            nValueCount = n;
    }
    return TRUE;
}

BOOL CPostCtrlBase::GetNodeResult(const CArray<unsigned int, unsigned int>& aNodeId, unsigned int nPVtifK,
                                  int& nValueCount, CMap<int, int, T_POST_VECT_ALL_D, T_POST_VECT_ALL_D&>& mResult)
{
    nValueCount = 0;
    mResult.RemoveAll();
    if (!m_pRowDB || m_nRowK == 0 || m_nRowK != nPVtifK)
        return FALSE;
    const auto& table = m_pRowDB->Table<T_PVAL_D>();
    auto it = table.find(nPVtifK);
    if (it == table.end())
        return FALSE;
    T_PVTIF_D row;
    const int nUnitType = CClassPVtif(m_pRowDB).Get(nPVtifK, row) ? row.nUnitType : DB_UNIT_NONE;
    for (int i = 0; i < aNodeId.GetSize(); ++i) {
        int n = 0;
        const double* p = it->second.Find(aNodeId[i], n);
        if (!p)
            continue;
        T_POST_VECT_ALL_D& v = mResult[static_cast<int>(aNodeId[i])];
        v.aValue.SetSize(n);
        for (int k = 0; k < n; ++k)
            v.aValue[k] = CDBValueUnits::Out(nUnitType, p[k]);
        if (n > nValueCount)
            nValueCount = n;
    }
    return TRUE;
}
