// Stand-in for the host's table of force-sum planes in the model database, with transactions:
// TR_Add and TR_Del change the table, leave their command records in the database's view
// buffer and broadcast update hint 3 with a hint object that names the database. Choices: the
// view buffer holds the records of the last transaction only; a refused transaction (see
// SetRefuse) changes nothing and broadcasts nothing.
#pragma once
#include "DBDoc.h"
#include "DBTable.h"

#include <vector>

// A force-sum plane: name, three points, element type (0 solid, 1 plate).
struct T_LDFS_D {
    CString strName;
    double dP1[3] = {0, 0, 0};
    double dP2[3] = {0, 0, 0};
    double dP3[3] = {0, 0, 0};
    int nElemType = 0;
};

// One command record of a transaction.
struct T_DB_CMD_RECORD_D {
    int nType = 0;
    unsigned int nKey = 0;
};

// The hint object of a database change: the database and its view buffer.
class CDBChangeHint : public CObject {
    DECLARE_DYNAMIC(CDBChangeHint)
public:
    CDBBase* m_pDB = nullptr;
    std::vector<T_DB_CMD_RECORD_D> m_aViewBuffer;
};

class CClassLdfs : public CDBTable<T_LDFS_D> {
public:
    enum { UR_LDFS_ADD = 0x4C01, UR_LDFS_DEL = 0x4C02, UR_LDFS_MFS = 0x4C03, UR_LDFS_MFD = 0x4C04 };
    using CDBTable::CDBTable;
    void ConnectToDB(CDBBase* pDB) { Connect(pDB); }
    // Non-zero on success; the new key is the largest + 1.
    unsigned int TR_Add(const T_LDFS_D& rec);
    BOOL TR_Del(const CArray<unsigned int, unsigned int>& aKeys);
    // Host side: a modification transaction (MFS: the plane's geometry, MFD: its other data).
    BOOL TR_Modify(unsigned int nKey, const T_LDFS_D& rec, int nRecordType);
    // The hint object of this table's database (lives as long as the database).
    static CDBChangeHint* HintOf(CDBBase* pDB);
    // Test and host control: refuse the following transactions.
    static void SetRefuse(BOOL bRefuse);

private:
    void Commit(const std::vector<T_DB_CMD_RECORD_D>& records);
};
