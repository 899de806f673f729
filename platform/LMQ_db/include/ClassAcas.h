// Stand-in for the host's table of analysis cases in the model database: type, name and the
// output set (T_POSIF_D key) of its results. Choice: GetKeyList with a type lists the cases of
// that type in key order.
#pragma once
#include "DBTable.h"

// An analysis case: analysis type (5 construction stages, 15 and 1 linear and nonlinear).
struct T_ACAS_D {
    int nType = 0;
    CString strName;
    unsigned int nPOsifK = 0;
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
