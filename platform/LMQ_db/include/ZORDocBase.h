// Stand-in for the host's document base: the current document, its active view and the
// broadcast of update hints to the views (recorded, as the stand-in has no views), the
// document's labelled data tree and its current work plane.
// Lives with the document stand-in, which derives from it.
// Choices: the data tree is an in-memory framework made on first use; sub-root node n is a
// tree node on child n + 1 of its root; the current work plane is the global X-Y plane until
// the host sets another; the work-plane grid and the viewer are recorders (ZORGrid.h) made
// with the tree, and work-plane updates are counted.
#pragma once
#include "afxwin.h"

#include <Standard_Handle.hxx>

#include <memory>

class TDataStd_TreeNode;
class gp_Ax3;
class CGrid;
class CZORViewer;
struct T_ZOR_DOC_TREE_D;
class CPVSColorTableBase;

struct T_UPDATE_HINT_D {
    CView* pSender = nullptr;
    LPARAM lHint = 0;
    CObject* pHint = nullptr;
};

class CZORDocBase : public CObject {
    DECLARE_DYNAMIC(CZORDocBase)
public:
    CZORDocBase();
    ~CZORDocBase() override;
    static CZORDocBase* GetCurDoc();
    static void SetCurDoc(CZORDocBase* pDoc);

    CView* GetActiveView() const { return m_pActiveView; }
    void SetActiveView(CView* pView) { m_pActiveView = pView; }
    void UpdateAllViews(CView* pSender, LPARAM lHint = 0, CObject* pHint = nullptr);
    const CArray<T_UPDATE_HINT_D, const T_UPDATE_HINT_D&>& GetUpdateHints() const { return m_aHints; }
    void ClearUpdateHints() { m_aHints.RemoveAll(); }
    // The colour table of the post display now shown (not owned).
    CPVSColorTableBase* GetCurPostColorTable() const { return m_pCurColorTable; }
    void SetCurPostColorTable(CPVSColorTableBase* p) { m_pCurColorTable = p; }
    CString GetPathName() const { return m_strPathName; }
    void SetPathName(const char* psz) { m_strPathName = psz; }

    // Tree node of sub-root n of the document's data tree; null for a negative n.
    Handle(TDataStd_TreeNode) GetSubRootNode(int n);
    // The work plane on which the user draws: its placement in model coordinates.
    gp_Ax3 GetCurrentWorkPlane() const;
    void SetCurrentWorkPlane(const gp_Ax3& plane);
    // The grid drawn on the current work plane and the 3-D viewer of the document's views.
    CGrid* GetGrid();
    CZORViewer* GetViewer();
    // Redraws the current work plane with its grid.
    void UpdateWorkPlane() { ++m_nWorkPlaneUpdates; }
    int GetWorkPlaneUpdateCount() const { return m_nWorkPlaneUpdates; }

private:
    std::unique_ptr<T_ZOR_DOC_TREE_D> m_pTree;
    CView* m_pActiveView = nullptr;
    CPVSColorTableBase* m_pCurColorTable = nullptr;
    CArray<T_UPDATE_HINT_D, const T_UPDATE_HINT_D&> m_aHints;
    CString m_strPathName;
    int m_nWorkPlaneUpdates = 0;
};
