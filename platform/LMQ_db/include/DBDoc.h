// Stand-in for the host's document: a model database and a post database held in memory.
// The current document is the one last made current (CZORDocBase::SetCurDoc).
#pragma once
#include "DBRecords.h"
#include "DBTable.h"
#include "ZORDocBase.h"

class CDBDoc : public CZORDocBase {
    DECLARE_DYNAMIC(CDBDoc)
public:
    static CDBDoc* GetDocPoint();
    CDBBase* GetModelDB() { return &m_modelDB; }
    CDBBase* GetPostDB() { return &m_postDB; }

private:
    CDBBase m_modelDB;
    CDBBase m_postDB;
};

class CClassPVtif : public CDBTable<T_PVTIF_D> { using CDBTable::CDBTable; };
class CClassPEngr : public CDBTable<T_PENGR_D> { using CDBTable::CDBTable; };
class CClassPOsif : public CDBTable<T_POSIF_D> { using CDBTable::CDBTable; };
class CClassNode : public CDBTable<T_NODE_D> { using CDBTable::CDBTable; };
class CClassElem : public CDBTable<T_ELEM_D> { using CDBTable::CDBTable; };
