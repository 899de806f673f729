// Stand-in for the host's ground-acceleration functions of the model database: a named table
// of times and accelerations.
#pragma once
#include "DBTable.h"

struct T_ACCF_D {
    CString strName;
    CArray<double, double> aTime;
    CArray<double, double> aAccel;

    T_ACCF_D() = default;
    T_ACCF_D(const T_ACCF_D& o) { *this = o; }
    T_ACCF_D& operator=(const T_ACCF_D& o)
    {
        strName = o.strName;
        aTime.Copy(o.aTime);
        aAccel.Copy(o.aAccel);
        return *this;
    }
};

class CClassAccf : public CDBTable<T_ACCF_D> {
public:
    using CDBTable::CDBTable;
};
