// Stand-in for the host's table of analysis cases in the model database: type, name, the output
// set (T_POSIF_D key) of its results, and the analyses it runs as (type, key) pairs, the key
// naming the analysis' own record (type 3: a time-history case of CClassThis).
// Choices: the pairs keep the order in which they were added; GetKeyList with a type lists the
// cases of that type in key order.
#pragma once
#include "DBTable.h"
#include "afxtempl.h"

struct T_ACAS_ITEM_D {
    int nType = 0;
    unsigned int nKey = 0;
};

// An analysis case: analysis type (5 construction stages, 15 and 1 linear and nonlinear).
struct T_ACAS_D {
    int nType = 0;
    CString strName;
    unsigned int nPOsifK = 0;
    CArray<T_ACAS_ITEM_D, const T_ACAS_ITEM_D&> aItem;

    T_ACAS_D() = default;
    T_ACAS_D(const T_ACAS_D& o) { *this = o; }
    T_ACAS_D& operator=(const T_ACAS_D& o)
    {
        nType = o.nType;
        strName = o.strName;
        nPOsifK = o.nPOsifK;
        aItem.Copy(o.aItem);
        return *this;
    }
};

class CClassAcas : public CDBTable<T_ACAS_D> {
public:
    using CDBTable::CDBTable;
    using CDBTable::GetKeyList;
    void GetKeyList(CArray<unsigned int, unsigned int>& aKeys, int nType) const
    {
        aKeys.RemoveAll();
        if (m_pDB)
            for (const auto& [k, r] : m_pDB->Table<T_ACAS_D>())
                if (r.nType == nType)
                    aKeys.Add(k);
    }
};
