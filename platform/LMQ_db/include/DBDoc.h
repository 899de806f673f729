// Stand-in for the host's document: a model database and a post database held in memory.
// The current document is the one last made current (CZORDocBase::SetCurDoc).
// Choice: the document opens no graph windows of its own; the host says who does
// (SetGraphViewSource), and without one there is no graph view.
#pragma once
#include "DBRecords.h"
#include "DBTable.h"
#include "ZORDocBase.h"

#include <functional>

class CXYGraphFuncView;

class CDBDoc : public CZORDocBase {
    DECLARE_DYNAMIC(CDBDoc)
public:
    static CDBDoc* GetDocPoint();
    CDBBase* GetModelDB() { return &m_modelDB; }
    CDBBase* GetPostDB() { return &m_postDB; }
    // The graph window of a title, opened or reused; null when the host offers none.
    CXYGraphFuncView* GetGraphView(const char* pszTitle) { return m_fnGraphView ? m_fnGraphView(pszTitle) : nullptr; }
    // Host side: who opens the graph windows.
    void SetGraphViewSource(std::function<CXYGraphFuncView*(const char*)> fn) { m_fnGraphView = std::move(fn); }

private:
    CDBBase m_modelDB;
    CDBBase m_postDB;
    std::function<CXYGraphFuncView*(const char*)> m_fnGraphView;
};

class CClassPVtif : public CDBTable<T_PVTIF_D> { using CDBTable::CDBTable; };
class CClassPEngr : public CDBTable<T_PENGR_D> { using CDBTable::CDBTable; };
class CClassPOsif : public CDBTable<T_POSIF_D> { using CDBTable::CDBTable; };
class CClassNode : public CDBTable<T_NODE_D> { using CDBTable::CDBTable; };
class CClassPLsif : public CDBTable<T_PLSIF_D> { using CDBTable::CDBTable; };

// Elements; besides the table, the element kind and the local axes of a surface element.
class CClassElem : public CDBTable<T_ELEM_D> {
public:
    using CDBTable::CDBTable;
    void ConnectToDB(CDBBase* pDB) { Connect(pDB); }
    // The element kind (T_ELEM_D::nType); 0 when the element is missing.
    int GetElemType(unsigned int nElemK) const;
    // Axes of a plate element as rows x, y, z: x along its first edge (node 1 to node 2),
    // z normal to the element ((n3 - n1) x (n4 - n2) for four corners, (n2 - n1) x (n3 - n1)
    // for three), y = z x x; the option is not read. FALSE for a missing element, fewer than
    // three nodes or a degenerate element.
    BOOL calcElemLocalVector(unsigned int nElemK, double dAxis[3][3], int nOption) const;
};
