// Stand-in for the host's base of geometry-input dialogs (modeless, owned by the framework:
// the object deletes itself after its window is destroyed).
#pragma once
#include "ZORDocBase.h"
#include "afxwin.h"

class CGeomDialog : public CDialog {
    DECLARE_DYNAMIC(CGeomDialog)
public:
    CGeomDialog(UINT nIDTemplate, CZORDocBase* pDoc, CWnd* pParent) : CDialog(nIDTemplate, pParent), m_pDoc(pDoc) {}
    CZORDocBase* GetDocument() const { return m_pDoc; }

protected:
    void PostNcDestroy() override { delete this; }
    CZORDocBase* m_pDoc = nullptr;
};
