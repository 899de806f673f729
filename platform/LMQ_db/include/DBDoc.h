// Stand-in for the host's document: a model database and a post database held in memory.
// The current document is the one last made current (CZORDocBase::SetCurDoc).
// Choice: the document opens no graph windows of its own; the host says who does
// (SetGraphViewSource), and without one there is no graph view.
#pragma once
#include "DBRecords.h"
#include "DBTable.h"
#include "ViewStatus.h"
#include "ZORDocBase.h"

#include <functional>
#include <vector>

struct T_VD_USERDEF_DATA;

// The view object a display request of the document answers with; choice: it counts refreshes.
class CDBDisplayView {
public:
    virtual ~CDBDisplayView() = default;
    virtual void Refresh() { ++m_nRefreshes; }
    int m_nRefreshes = 0;
};

// A display request of the document: visual-data type, settings record and three arguments.
struct T_DOC_DISPLAY_REQUEST_D {
    unsigned int nVDType = 0;
    T_VD_USERDEF_DATA* pUserData = nullptr;
    int nArg1 = 0, nArg2 = 0, nArg3 = 0;
};

class CXYGraphFuncView;

// One picture batch handed to the document: row keys, file names (row index x 9 + view index,
// empty for a view not chosen), the view record and the folder.
struct T_DOC_PICTURE_BATCH_D {
    std::vector<unsigned int> aCompKeys;
    std::vector<CString> aFileNames;
    T_VIEW_STATUS viewStatus;
    CString strFolder;
};

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

    // The folder of the host program, ending in its separator. Choice: settable by the host.
    CString GetProgramPath() const { return m_strProgramPath; }
    void SetProgramPath(const char* psz) { m_strProgramPath = psz ? psz : ""; }

    // The model's bounding box, minima then maxima (x, y, z min, x, y, z max), over its nodes;
    // choice: a model without nodes gives the unit box (0, 0, 0) to (1, 1, 1).
    void GetModelBounds(double dBounds[6]);

    // Shows a user-defined display: the request goes to the handler the host installed, which
    // builds the display before it returns; the view to refresh, null without a handler.
    virtual CDBDisplayView* ShowUserDefDisplay(unsigned int nVDType, T_VD_USERDEF_DATA* pUserData, int nArg1,
                                               int nArg2, int nArg3);
    std::function<int(const T_DOC_DISPLAY_REQUEST_D&)> m_fnDisplayHandler;

    // Renders and writes the pictures of a batch: for each non-empty file name, the row of
    // key aCompKeys[i / 9] in view i % 9, into the folder. Choice: the base only records the
    // batch; a host that draws overrides it.
    virtual void SaveResultPictures(const CArray<unsigned int>& aCompKeys, const CStringArray& aFileNames,
                                    const T_VIEW_STATUS& viewStatus, CString strFolder);
    std::vector<T_DOC_PICTURE_BATCH_D> m_aPictureBatches;
    std::vector<T_DOC_DISPLAY_REQUEST_D> m_aDisplayRequests;
    CDBDisplayView m_displayView;

private:
    CDBBase m_modelDB;
    CDBBase m_postDB;
    std::function<CXYGraphFuncView*(const char*)> m_fnGraphView;
    CString m_strProgramPath;
};

// Result rows; GetKeyListByLSifK lists a step's rows in key order (choice: the option is not read).
class CClassPVtif : public CDBTable<T_PVTIF_D> {
public:
    using CDBTable::CDBTable;
    void GetKeyListByLSifK(unsigned int nLSifK, int nOption, CArray<unsigned int, unsigned int>& aKeys) const;
    // The rows of the same result as row nPVtifK (item, entity, quantity, class and component
    // code) on the steps of its output set, the row itself included, in step-key order; empty
    // for a missing row. Choice: the option is not read.
    void GetKeyListBySameOrgSelfKUsingPVtifK(unsigned int nPVtifK, int nOption,
                                             CArray<unsigned int, unsigned int>& aKeys) const;
    // The row name as a tree label shows it; choice: control characters (tabs, line breaks)
    // are dropped.
    static CString RemoveSpecialStringInName(const CString& strName);
};
class CClassPEngr : public CDBTable<T_PENGR_D> { using CDBTable::CDBTable; };
class CClassPOsif : public CDBTable<T_POSIF_D> { using CDBTable::CDBTable; };
// Nodes; choice for the number/key maps: a node's number is its key (0: no such node).
class CClassNode : public CDBTable<T_NODE_D> {
public:
    using CDBTable::CDBTable;
    unsigned int GetNodeNoByKey(unsigned int nNodeK) const { return Exist(nNodeK) ? nNodeK : 0u; }
    unsigned int GetNodeKeyByNo(unsigned int nNodeNo) const { return Exist(nNodeNo) ? nNodeNo : 0u; }
    // Elements of the same database that use the node, ascending.
    void GetConnectedElemKeyList(unsigned int nNodeK, CArray<unsigned int, unsigned int>& aElemK) const;
};
// Steps; GetKeyListByPOsifK lists the steps of an output set in key order, with their names
// when a name list is given.
class CClassPLsif : public CDBTable<T_PLSIF_D> {
public:
    using CDBTable::CDBTable;
    void GetKeyListByPOsifK(unsigned int nPOsifK, CArray<unsigned int, unsigned int>& aKeys,
                            CArray<CString, CString&>* pNames) const;
};

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
    // Axes of a line element as rows x, y, z: x from node 1 to node 2; choice: y = Z x x
    // (global X x x for an element along Z), z = x x y, both turned about x by the element's
    // angle (degrees); the option is not read. FALSE for a missing element, fewer than two
    // nodes or a zero length.
    BOOL calcFrameLocalVector(unsigned int nElemK, double dAxis[3][3], int nOption) const;
    // Choice, as for nodes: an element's number is its key (0: no such element).
    unsigned int GetElemNoByKey(unsigned int nElemK) const { return Exist(nElemK) ? nElemK : 0u; }
};
