// Stand-in for the host's table of settlement profile grids in the model database: a rectangle
// on a work plane divided into cells, stored by its four corners in output length units.
// Choices: node k of the grid lies on X line (k mod nx) + 1 and Y line (k div nx) + 1 (nx the X
// division count + 1) at LL + i/ndx (LR - LL) + j/ndy (UL - LL); the cells are quadrilaterals of
// 0-based node indices, counter-clockwise about the plane's normal (LR - LL) x (UL - LL); the
// plane point of a grid line is its distance from the lower-left corner along the grid's x and y
// sides; index lines are named "X1", "X2", ... and "Y1", "Y2", ...
#pragma once
#include "DBDoc.h"
#include "DBTable.h"
#include "DBTransaction.h"

struct T_SPFG_D {
    CString strName;
    double dUL[3] = {0, 0, 0}; // upper-left, lower-left, upper-right, lower-right corners
    double dLL[3] = {0, 0, 0};
    double dUR[3] = {0, 0, 0};
    double dLR[3] = {0, 0, 0};
    int nDivX = 0;
    int nDivY = 0;
    void Initialize() { *this = T_SPFG_D(); }
};

class CClassSpfg : public CDBTransTable<T_SPFG_D, 0x5301, 0x5302> {
public:
    enum { UR_SPFG_ADD = 0x5301, UR_SPFG_DEL = 0x5302 };
    using CDBTransTable::CDBTransTable;

    // The grid's nodes in model length units and its cells (cell type 9, node numbers are
    // indices into the node list). FALSE for a missing grid, a division count below 1 or more
    // nodes than an array holds.
    BOOL GetGeomData(unsigned int nKey, CArray<T_NODE_D, T_NODE_D&>& aNode, CArray<T_ELEM_D, T_ELEM_D&>& aElem) const;
    // The grid point of an X and a Y index (from 0), in stored units, and its plane point.
    // FALSE for a missing grid or an index outside 0 to the division count.
    BOOL GetCoorByGridIdx(unsigned int nKey, int nXIdx, int nYIdx, double dPoint[3], double dPlanePoint[2]) const;
    // The unit normal of the grid's plane; FALSE for a missing or degenerate grid.
    BOOL GetPlaneNormal(unsigned int nKey, double dNormal[3]) const;
    // Names of the grid's X (Y) index lines, one per line; FALSE for a missing grid or more
    // lines than an array holds.
    BOOL GetXIndexName(unsigned int nKey, CArray<CString, CString&>& aName) const;
    BOOL GetYIndexName(unsigned int nKey, CArray<CString, CString&>& aName) const;
};
