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
    T_PENGR_D engr;
    if (CClassPEngr(m_pRowDB).Get(row.nEngrK, engr) && engr.nKind == 1)
        return GetElemResultOfNodeRow(aElemId, nPVtifK, nValueCount, mResult);
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

BOOL CPostCtrlBase::GetElemResultOfNodeRow(const CArray<unsigned int, unsigned int>& aElemId, unsigned int nPVtifK,
                                           int& nValueCount,
                                           CMap<int, int, T_POST_VECT_ALL_D, T_POST_VECT_ALL_D&>& mResult)
{
    const T_PVAL_D& val = m_pRowDB->Table<T_PVAL_D>().find(nPVtifK)->second;
    T_PVTIF_D row;
    const int nUnitType = CClassPVtif(m_pRowDB).Get(nPVtifK, row) ? row.nUnitType : DB_UNIT_NONE;
    CClassElem clsElem(m_pModelDB);
    CClassNode clsNode(m_pModelDB);
    for (int i = 0; i < aElemId.GetSize(); ++i) {
        T_ELEM_D elem;
        if (!m_pModelDB || !clsElem.Get(aElemId[i], elem) || elem.aNodeK.GetSize() == 0)
            continue;
        const int nNode = elem.aNodeK.GetSize();
        T_POST_VECT_ALL_D v;
        v.aValue.SetSize(7 * nNode);
        bool bAll = true;
        for (int j = 0; j < nNode && bAll; ++j) {
            int n = 0;
            const double* p = val.Find(elem.aNodeK[j], n);
            T_NODE_D node;
            bAll = p && clsNode.Get(elem.aNodeK[j], node);
            if (!bAll)
                break;
            for (int k = 0; k < 4; ++k)
                v.aValue[7 * j + k] = k < n ? CDBValueUnits::Out(nUnitType, p[k]) : 0.0;
            for (int k = 0; k < 3; ++k)
                v.aValue[7 * j + 4 + k] = node.dXyz[k];
        }
        if (!bAll)
            continue;
        mResult[static_cast<int>(aElemId[i])] = v;
        if (v.aValue.GetSize() > nValueCount)
            nValueCount = v.aValue.GetSize();
    }
    return TRUE;
}

BOOL CPostCtrlBase::GetNodeResult(unsigned int nNodeId, unsigned int nPVtifK, int& nCount, double* pValue, int nMax)
{
    nCount = 0;
    if (!m_pRowDB || m_nRowK == 0 || m_nRowK != nPVtifK || !pValue || nMax < 0)
        return FALSE;
    const auto& table = m_pRowDB->Table<T_PVAL_D>();
    auto it = table.find(nPVtifK);
    if (it == table.end())
        return FALSE;
    int n = 0;
    const double* p = it->second.Find(nNodeId, n);
    if (!p)
        return FALSE;
    T_PVTIF_D row;
    const int nUnitType = CClassPVtif(m_pRowDB).Get(nPVtifK, row) ? row.nUnitType : DB_UNIT_NONE;
    nCount = n < nMax ? n : nMax;
    for (int k = 0; k < nCount; ++k)
        pValue[k] = CDBValueUnits::Out(nUnitType, p[k]);
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

BOOL CPostCtrlBase::GetElemValues(unsigned int nElemId, unsigned int nPVtifK, int& nCount, double* pValue, int nMax)
{
    nCount = 0;
    if (!m_pRowDB || m_nRowK == 0 || m_nRowK != nPVtifK)
        return FALSE;
    const auto& table = m_pRowDB->Table<T_PVAL_D>();
    auto it = table.find(nPVtifK);
    if (it == table.end())
        return FALSE;
    int n = 0;
    const double* p = it->second.Find(nElemId, n);
    if (!p)
        return FALSE;
    T_PVTIF_D row;
    const int nUnitType = CClassPVtif(m_pRowDB).Get(nPVtifK, row) ? row.nUnitType : DB_UNIT_NONE;
    nCount = n;
    for (int k = 0; k < n && k < nMax && pValue; ++k)
        pValue[k] = CDBValueUnits::Out(nUnitType, p[k]);
    return TRUE;
}

BOOL CPostCtrlBase::GetElemDgrmDir(unsigned int nElemId, unsigned int nPVtifK, int& nCount, double* pValue, int nMax)
{
    nCount = 0;
    if (!m_pRowDB || m_nRowK == 0 || m_nRowK != nPVtifK)
        return FALSE;
    std::vector<double> a;
    auto it = m_dgrmDir.find(nElemId);
    if (it != m_dgrmDir.end()) {
        a = it->second;
    } else {
        double axis[3][3];
        if (!m_pModelDB || !CClassElem(m_pModelDB).calcFrameLocalVector(nElemId, axis, 0))
            return FALSE;
        a.assign(axis[2], axis[2] + 3);
    }
    nCount = static_cast<int>(a.size());
    for (int k = 0; k < nCount && k < nMax && pValue; ++k)
        pValue[k] = a[static_cast<size_t>(k)];
    return TRUE;
}
