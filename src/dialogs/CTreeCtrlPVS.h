// The result tree of the batch picture export: output sets > steps > result groups > result
// rows of the current document's post database, with check boxes. Items keep the key they
// stand for; the row map gives the dialog the post-database key of each row item.
#pragma once
#include "dialogs/CMyTreeCtrl4PVS.h"

#include "afxtempl.h"

class CDBDoc;
class CDBBase;
class CTKVRComp2ResultType;
struct T_POSIF_D;

class CTreeCtrlPVS : public CMyTreeCtrl4PVS {
public:
    // Fills the tree from the current document; empty without a document or model database.
    void BuildResultTree();
    void InsertSteps(HTREEITEM hSet, const T_POSIF_D& set, const CArray<UINT, UINT>& aStepKeys,
                     const CTKVRComp2ResultType* pMapper);
    void InsertResultGroups(HTREEITEM hStep, UINT nStepK, const CTKVRComp2ResultType* pMapper);

    CMap<HTREEITEM, HTREEITEM, UINT, UINT> m_mapSetItems;
    CMap<HTREEITEM, HTREEITEM, UINT, UINT> m_mapStepItems;
    CMap<HTREEITEM, HTREEITEM, UINT, UINT> m_mapGroupItems;
    CMap<HTREEITEM, HTREEITEM, UINT, UINT> m_mapRowItems;

private:
    CDBDoc* m_pDoc = nullptr;
    CDBBase* m_pDBMain = nullptr;
};
