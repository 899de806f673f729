// Stand-in for the post database's stored result graphs: a graph's name, type (2 a hysteresis
// graph, one array against the other) and the component ids of its two arrays. The arrays
// themselves are read through the post control (CPostCtrlBase::GetGraphData).
// Choice: the host keeps the arrays in a table of their own beside the graphs (CClassPGrphData),
// under the graph's key.
#pragma once
#include "DBTable.h"
#include "afxtempl.h"

struct T_PGRPH_D {
    CString strName;
    int nType = 0; // 2 hysteresis; other values are graphs against time
    unsigned int nComID[2] = {0, 0};
};

class CClassPGrph : public CDBTable<T_PGRPH_D> {
public:
    using CDBTable::CDBTable;
};

// The two value arrays of a stored graph: for a time graph the times and the values, for a
// hysteresis graph its X and Y values.
struct T_PGRPH_DATA_D {
    CArray<double, double> aFirst;
    CArray<double, double> aSecond;

    T_PGRPH_DATA_D() = default;
    T_PGRPH_DATA_D(const T_PGRPH_DATA_D& o) { *this = o; }
    T_PGRPH_DATA_D& operator=(const T_PGRPH_DATA_D& o)
    {
        aFirst.Copy(o.aFirst);
        aSecond.Copy(o.aSecond);
        return *this;
    }
};

class CClassPGrphData : public CDBTable<T_PGRPH_DATA_D> {
public:
    using CDBTable::CDBTable;
};
