// Stand-in for the model database's ground-acceleration functions: a name and the (time,
// acceleration) pairs as the user entered them, times ascending.
#pragma once
#include "DBTable.h"
#include "afxtempl.h"

struct T_ACCF_POINT_D {
    double dTime = 0.0;
    double dAccel = 0.0;
};

struct T_ACCF_D {
    CString strName;
    CArray<T_ACCF_POINT_D, const T_ACCF_POINT_D&> aPoint;

    T_ACCF_D() = default;
    T_ACCF_D(const T_ACCF_D& o) { *this = o; }
    T_ACCF_D& operator=(const T_ACCF_D& o)
    {
        strName = o.strName;
        aPoint.Copy(o.aPoint);
        return *this;
    }
};

class CClassAccf : public CDBTable<T_ACCF_D> {
public:
    using CDBTable::CDBTable;
};
