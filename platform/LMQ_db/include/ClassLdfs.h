// Stand-in for the host's table of force-sum planes in the model database, with transactions:
// TR_Add, TR_Del and TR_Modify change the table and commit their command records through the
// database's commit routine (DBTransaction.h).
#pragma once
#include "DBDoc.h"
#include "DBTable.h"
#include "DBTransaction.h"

#include <vector>

// A force-sum plane: name, three points, element type (0 solid, 1 plate).
struct T_LDFS_D {
    CString strName;
    double dP1[3] = {0, 0, 0};
    double dP2[3] = {0, 0, 0};
    double dP3[3] = {0, 0, 0};
    int nElemType = 0;
};

class CClassLdfs : public CDBTransTable<T_LDFS_D, 0x4C01, 0x4C02> {
public:
    // MFS: the plane's geometry changed, MFD: its other data.
    enum { UR_LDFS_ADD = 0x4C01, UR_LDFS_DEL = 0x4C02, UR_LDFS_MFS = 0x4C03, UR_LDFS_MFD = 0x4C04 };
    using CDBTransTable::CDBTransTable;
};
