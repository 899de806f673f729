// Stand-in for the model database's time-history forcing functions: name, type (1 a damped
// sine A, B, f, c, phi rebuilt by its users; others a table as the user typed it), five
// parameters and the table of (time, value) points, times ascending.
#pragma once
#include "DBTable.h"
#include "afxtempl.h"

struct T_THFC_POINT_D {
    double dTime = 0.0;
    double dValue = 0.0;
};

struct T_THFC_D {
    CString strName;
    int nType = 0;
    double dParam[5] = {0.0, 0.0, 0.0, 0.0, 0.0};
    CArray<T_THFC_POINT_D, const T_THFC_POINT_D&> aPoint;

    T_THFC_D() = default;
    T_THFC_D(const T_THFC_D& o) { *this = o; }
    T_THFC_D& operator=(const T_THFC_D& o)
    {
        strName = o.strName;
        nType = o.nType;
        for (int i = 0; i < 5; ++i)
            dParam[i] = o.dParam[i];
        aPoint.Copy(o.aPoint);
        return *this;
    }
};

class CClassThfc : public CDBTable<T_THFC_D> {
public:
    using CDBTable::CDBTable;
};
