// Stand-in for the host's slope-stability records and their slip-surface makers: the boundary
// groups of a slope case with their trial-circle grids (CClassLegr) and polyline slip surfaces
// (CClassLepl), the ground profile the surfaces are traced against, and the makers that turn a
// grid or polylines into points and wires (pairs of 1-based point indices).
// Choices: a case's boundaries and its two key lists live in a table of their own, keyed by
// the case; the second key list names ground profiles (plane coordinates, model units, the
// first profile is used); trial-grid corners are stored in output length units, radii,
// polylines and profiles in model units; centre (k1, k2) of an N1 x N2 grid lies at
// P0 + t1 (P1 - P0) + t2 (P2 - P1) with t = k / (N - 1) (1 for the last) and has index
// k2 N1 + k1; a circle's trace is the arc from its leftmost to its rightmost crossing with the
// ground, counter-clockwise in the plane (under the ground for a centre above it), in 16 equal
// steps; a circle crossing the ground fewer than twice has an empty wire. Points are placed by
// plane kind: 0 (a, b, 0), 1 (0, a, b), 2 (a, 0, b).
#pragma once
#include "DBDoc.h"
#include "DBTable.h"
#include "afxtempl.h"

struct T_POINT2D_D {
    double x = 0, y = 0;
};

// A grid of trial circle centres with the radii tried at each centre.
struct T_LEGR_D {
    CString strName;
    int nReserved = 0;
    int nPlane = 0;                        // 0 X-Y, 1 Y-Z, 2 X-Z
    T_POINT2D_D p[3];                      // corners P0, P1, P2 (output length units)
    int nN1 = 0, nN2 = 0;                  // grid lines along P0-P1 and along P1-P2
    CArray<double, double> aRadius;        // model units

    T_LEGR_D() = default;
    T_LEGR_D(const T_LEGR_D& o) { *this = o; }
    T_LEGR_D& operator=(const T_LEGR_D& o)
    {
        strName = o.strName; nReserved = o.nReserved; nPlane = o.nPlane;
        for (int i = 0; i < 3; ++i)
            p[i] = o.p[i];
        nN1 = o.nN1; nN2 = o.nN2; aRadius.Copy(o.aRadius);
        return *this;
    }
};

// A polyline slip surface.
struct T_LEPL_D {
    CString strName;
    int nPlane = 0;
    CArray<T_POINT2D_D, const T_POINT2D_D&> aVertex; // model units

    T_LEPL_D() = default;
    T_LEPL_D(const T_LEPL_D& o) { *this = o; }
    T_LEPL_D& operator=(const T_LEPL_D& o)
    {
        strName = o.strName; nPlane = o.nPlane; aVertex.Copy(o.aVertex);
        return *this;
    }
};

// A boundary group of a slope case: its trial-circle grids and polylines.
struct T_SLOPE_BNDR_D {
    CString strName;
    CArray<unsigned int, unsigned int> aLegrK;
    CArray<unsigned int, unsigned int> aLeplK;

    T_SLOPE_BNDR_D() = default;
    T_SLOPE_BNDR_D(const T_SLOPE_BNDR_D& o) { *this = o; }
    T_SLOPE_BNDR_D& operator=(const T_SLOPE_BNDR_D& o)
    {
        strName = o.strName; aLegrK.Copy(o.aLegrK); aLeplK.Copy(o.aLeplK);
        return *this;
    }
};

// What a slope case uses: its boundaries and two key lists.
struct T_SLOPE_ACAS_D {
    CArray<unsigned int, unsigned int> aBndrK;
    CArray<unsigned int, unsigned int> aKey1;
    CArray<unsigned int, unsigned int> aKey2;

    T_SLOPE_ACAS_D() = default;
    T_SLOPE_ACAS_D(const T_SLOPE_ACAS_D& o) { *this = o; }
    T_SLOPE_ACAS_D& operator=(const T_SLOPE_ACAS_D& o)
    {
        aBndrK.Copy(o.aBndrK); aKey1.Copy(o.aKey1); aKey2.Copy(o.aKey2);
        return *this;
    }
};

// The ground line of a slope in plane coordinates, x ascending.
struct T_SLOPE_GROUND_D {
    CArray<T_POINT2D_D, const T_POINT2D_D&> aVertex;

    T_SLOPE_GROUND_D() = default;
    T_SLOPE_GROUND_D(const T_SLOPE_GROUND_D& o) { aVertex.Copy(o.aVertex); }
    T_SLOPE_GROUND_D& operator=(const T_SLOPE_GROUND_D& o)
    {
        aVertex.Copy(o.aVertex);
        return *this;
    }
};

// One trial circle: centre (a, b) in the plane and radius, model units.
struct T_CIRC2D {
    double a = 0, b = 0, r = 0;
};
struct T_CIRC2D_CASE {
    CArray<T_CIRC2D, const T_CIRC2D&> aCirc;
    T_CIRC2D_CASE() = default;
    T_CIRC2D_CASE(const T_CIRC2D_CASE& o) { aCirc.Copy(o.aCirc); }
};

struct T_WIRE_PAIR {
    int n1 = 0, n2 = 0; // 1-based point indices
};
struct T_ARC_WIRE {
    CArray<T_WIRE_PAIR, const T_WIRE_PAIR&> aPair;
    T_ARC_WIRE() = default;
    T_ARC_WIRE(const T_ARC_WIRE& o) { aPair.Copy(o.aPair); }
    T_ARC_WIRE& operator=(const T_ARC_WIRE& o)
    {
        aPair.Copy(o.aPair);
        return *this;
    }
};
struct T_SEG_WIRE {
    CArray<T_WIRE_PAIR, const T_WIRE_PAIR&> aPair;
    T_SEG_WIRE() = default;
    T_SEG_WIRE(const T_SEG_WIRE& o) { aPair.Copy(o.aPair); }
    T_SEG_WIRE& operator=(const T_SEG_WIRE& o)
    {
        aPair.Copy(o.aPair);
        return *this;
    }
};

class CClassLegr : public CDBTable<T_LEGR_D> {
public:
    using CDBTable::CDBTable;
    void ConnectToDB(CDBBase* pDB) { Connect(pDB); }
    // The trial circles of a grid, centre-major; FALSE for a missing grid.
    BOOL GetCircData(unsigned int nKey, T_CIRC2D_CASE& circ) const;
};

class CClassLepl : public CDBTable<T_LEPL_D> {
public:
    using CDBTable::CDBTable;
    void ConnectToDB(CDBBase* pDB) { Connect(pDB); }
};

class CClassSlopeBndr : public CDBTable<T_SLOPE_BNDR_D> { using CDBTable::CDBTable; };
class CClassSlopeAcas : public CDBTable<T_SLOPE_ACAS_D> { using CDBTable::CDBTable; };
class CClassSlopeGround : public CDBTable<T_SLOPE_GROUND_D> { using CDBTable::CDBTable; };

class CDBUtil {
public:
    // The boundary groups a case uses; FALSE when the case has none recorded.
    static BOOL GetBndrListByAcas(CDBBase* pDB, unsigned int nAcasK, CArray<unsigned int, unsigned int>& aBndrK);
    static BOOL GetKeyListByAcas(CDBBase* pDB, unsigned int nAcasK, CArray<unsigned int, unsigned int>& aKey1,
                                 CArray<unsigned int, unsigned int>& aKey2);
};

// Traces the trial circles of a grid (current document's model database).
class CLegrMaker {
public:
    CLegrMaker(unsigned int nLegrK, const CArray<unsigned int, unsigned int>& aKey2);
    // Points and one arc wire per circle, in circle order; FALSE without grid or ground.
    BOOL Perform(CArray<T_POINT3D, T_POINT3D&>& aPoint, CArray<T_ARC_WIRE, T_ARC_WIRE&>& aWire);
    int GetGridCount() const { return m_nGrid; }
    int GetRadiusCount() const { return m_nRadius; }

private:
    unsigned int m_nLegrK;
    CArray<unsigned int, unsigned int> m_aKey2;
    int m_nGrid = 0;
    int m_nRadius = 0;
};

// Turns polylines into points and one segment wire per polyline.
class CLeplMaker {
public:
    CLeplMaker(const CArray<unsigned int, unsigned int>& aLeplK, const CArray<unsigned int, unsigned int>& aKey2);
    BOOL Perform(CArray<T_POINT3D, T_POINT3D&>& aPoint, CArray<T_SEG_WIRE, T_SEG_WIRE&>& aWire);

private:
    CArray<unsigned int, unsigned int> m_aLeplK;
    CArray<unsigned int, unsigned int> m_aKey2;
};

namespace kvdb {
// Point (a, b) of a plane kind in model coordinates.
T_POINT3D PlanePoint(int nPlane, double a, double b);
// Grid-line parameter k of n: k / (n - 1), exactly 1 for the last.
double GridParam(int k, int n);
} // namespace kvdb
