// Stand-in for the host database's transaction commit: a table's transaction leaves its command
// records in the database's view buffer and broadcasts update hint 3 with a hint object that
// names the database. Every table with transactions commits through here. Choices: the view
// buffer holds the records of the last transaction only; while transactions are refused (see
// SetRefuse) a table changes nothing and broadcasts nothing.
#pragma once
#include "DBTable.h"
#include "afxwin.h"

#include <vector>

// One command record of a transaction: the table's record code and the record's key.
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

class CDBTransaction {
public:
    // The hint object of a database (lives as long as the database); null without one.
    static CDBChangeHint* HintOf(CDBBase* pDB);
    // Fills the view buffer with the records and, when the database is the current document's
    // model database, tells the document's views (hint 3).
    static void Commit(CDBBase* pDB, const std::vector<T_DB_CMD_RECORD_D>& records);
    // Test and host control: refuse the following transactions of every table.
    static void SetRefuse(BOOL bRefuse);
    static BOOL IsRefused();
};

// A keyed table with transactions: nAddCode and nDelCode are the table's record codes of an
// added and a deleted record; a modification names its own code.
template <class T, int nAddCode, int nDelCode>
class CDBTransTable : public CDBTable<T> {
public:
    using CDBTable<T>::CDBTable;
    void ConnectToDB(CDBBase* pDB) { this->Connect(pDB); }
    // The new key (the largest + 1); 0 when refused or not connected.
    unsigned int TR_Add(const T& rec)
    {
        if (CDBTransaction::IsRefused() || !this->m_pDB)
            return 0;
        const unsigned int k = this->Add(rec);
        CDBTransaction::Commit(this->m_pDB, {T_DB_CMD_RECORD_D{nAddCode, k}});
        return k;
    }
    // All keys or none: a missing key refuses the whole deletion.
    BOOL TR_Del(const CArray<unsigned int, unsigned int>& aKeys)
    {
        if (CDBTransaction::IsRefused() || !this->m_pDB || aKeys.GetSize() == 0)
            return FALSE;
        for (int i = 0; i < aKeys.GetSize(); ++i)
            if (!this->Exist(aKeys[i]))
                return FALSE;
        std::vector<T_DB_CMD_RECORD_D> records;
        for (int i = 0; i < aKeys.GetSize(); ++i) {
            this->Delete(aKeys[i]);
            records.push_back(T_DB_CMD_RECORD_D{nDelCode, aKeys[i]});
        }
        CDBTransaction::Commit(this->m_pDB, records);
        return TRUE;
    }
    // Host side: a modification transaction with the table's record code of what changed.
    BOOL TR_Modify(unsigned int nKey, const T& rec, int nRecordType)
    {
        if (CDBTransaction::IsRefused() || !this->Exist(nKey))
            return FALSE;
        this->Set(nKey, rec);
        CDBTransaction::Commit(this->m_pDB, {T_DB_CMD_RECORD_D{nRecordType, nKey}});
        return TRUE;
    }
    // The hint object of this table's database (lives as long as the database).
    static CDBChangeHint* HintOf(CDBBase* pDB) { return CDBTransaction::HintOf(pDB); }
    static void SetRefuse(BOOL bRefuse) { CDBTransaction::SetRefuse(bRefuse); }
};
