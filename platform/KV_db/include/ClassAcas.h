// Stand-in for the product database's analysis cases: each case lists the analyses it runs as
// (type, key) pairs, the key naming the analysis' own record (type 3: a time-history case of
// CClassThis). Choice: the pairs keep the order in which they were added.
#pragma once
#include "DBTable.h"
#include "afxtempl.h"

struct T_ACAS_ITEM_D {
    int nType = 0;
    unsigned int nKey = 0;
};

struct T_ACAS_D {
    CString strName;
    CArray<T_ACAS_ITEM_D, const T_ACAS_ITEM_D&> aItem;

    T_ACAS_D() = default;
    T_ACAS_D(const T_ACAS_D& o) { *this = o; }
    T_ACAS_D& operator=(const T_ACAS_D& o)
    {
        strName = o.strName;
        aItem.Copy(o.aItem);
        return *this;
    }
};

class CClassAcas : public CDBTable<T_ACAS_D> { using CDBTable::CDBTable; };
