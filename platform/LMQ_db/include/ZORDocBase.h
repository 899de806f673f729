// Stand-in for the host's document base: the current document, its active view and the
// broadcast of update hints to the views (recorded, as the stand-in has no views).
// Lives with the document stand-in, which derives from it.
#pragma once
#include "afxwin.h"

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

private:
    CView* m_pActiveView = nullptr;
    CPVSColorTableBase* m_pCurColorTable = nullptr;
    CArray<T_UPDATE_HINT_D, const T_UPDATE_HINT_D&> m_aHints;
    CString m_strPathName;
};
