// Stand-in for the host's stored result graphs of the post database. A graph's two value arrays
// are read through the post control (CPostCtrlBase::GetGraphData). Choice: the arrays are kept
// with the record.
#pragma once
#include "DBTable.h"

struct T_PGRPH_D {
    CString strName;
    int nType = 0;                    // 1 time history, 2 hysteresis, 6 input wave
    CArray<double, double> aFirst;    // first array (time, or the hysteresis graph's x)
    CArray<double, double> aSecond;   // second array (the values)

    T_PGRPH_D() = default;
    T_PGRPH_D(const T_PGRPH_D& o) { *this = o; }
    T_PGRPH_D& operator=(const T_PGRPH_D& o)
    {
        strName = o.strName;
        nType = o.nType;
        aFirst.Copy(o.aFirst);
        aSecond.Copy(o.aSecond);
        return *this;
    }
};

class CClassPGrph : public CDBTable<T_PGRPH_D> {
public:
    using CDBTable::CDBTable;
};
