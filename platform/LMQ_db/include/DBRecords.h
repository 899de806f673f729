// Stand-in records of the host's model and post databases, as the module reads them.
// Every field is zero by default.
#pragma once
#include "afxtempl.h"

#include <cstdint>

class C3DPoint;

// One result-visualisation row of the post database.
struct T_PVTIF_D {
    unsigned int nItem = 0;           // item code within its result class
    unsigned int nStepK = 0;          // step key
    unsigned int nEngrK = 0;          // entity key (T_PENGR_D)
    int nQuantity = 0;                // quantity sub-type
    int nDispType = 0;                // display type: 6 element diagram, 7 combination
    int nResultClass = 0;
    int nDispType2 = 0;               // second display code
    std::uint64_t nCompCode = 0;      // 64-bit component code
    CArray<unsigned int, unsigned int> aComp; // component codes; the first is the one read
    CArray<double, double> aDgrmPos;  // element diagrams: relative positions along the element
    CString strName;
    int nUnitType = 0;                // unit type of the values (0: none); reads convert by it

    T_PVTIF_D() = default;
    T_PVTIF_D(const T_PVTIF_D& o) { *this = o; }
    T_PVTIF_D& operator=(const T_PVTIF_D& o)
    {
        nItem = o.nItem; nStepK = o.nStepK; nEngrK = o.nEngrK; nQuantity = o.nQuantity;
        nDispType = o.nDispType; nResultClass = o.nResultClass; nDispType2 = o.nDispType2;
        nCompCode = o.nCompCode; aComp.Copy(o.aComp); aDgrmPos.Copy(o.aDgrmPos); strName = o.strName;
        nUnitType = o.nUnitType;
        return *this;
    }
};

// The entity of a result row.
struct T_PENGR_D {
    int nKind = 0; // 1 node, 2 element
    CString strName;
};

// An output set of the post database.
struct T_POSIF_D {
    CString strName;
};

// A plane by origin and normal.
struct T_PVIST_PLNE_D {
    double dOrigin[3] = {0, 0, 0};
    double dNormal[3] = {0, 0, 0};
};

struct T_POINT3D {
    double x = 0, y = 0, z = 0;
};

struct T_NODE_D {
    double dXyz[3] = {0, 0, 0};
};

// Element record; nCellType is VTK's cell numbering (5 triangle, 9 quad, 10 tetra, 12 hexa,
// 13 wedge, 21-27 quadratic forms).
struct T_ELEM_D {
    int nType = 0;      // host element kind
    int nCellType = 0;
    unsigned int nMatlK = 0;
    unsigned int nPropK = 0;
    double dAngle = 0;
    CArray<unsigned int, unsigned int> aNodeK;

    T_ELEM_D() = default;
    T_ELEM_D(const T_ELEM_D& o) { *this = o; }
    T_ELEM_D& operator=(const T_ELEM_D& o)
    {
        nType = o.nType; nCellType = o.nCellType; nMatlK = o.nMatlK; nPropK = o.nPropK;
        dAngle = o.dAngle; aNodeK.Copy(o.aNodeK);
        return *this;
    }
    int GetNumberOfNodes() const { return aNodeK.GetSize(); }
};

// A step of the post database and the output set it belongs to.
struct T_PLSIF_D {
    unsigned int nOsifK = 0;          // T_POSIF_D key
    CString strName;
    int nStepKind = 0;                // host step kind (25 construction stage, 1 and 10 others)
    double dTime = 0.0;               // time of a time-history step (s)
};
