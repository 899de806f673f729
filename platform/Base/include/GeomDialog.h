// Stand-in for the host's base of geometry-input dialogs (modeless, owned by the framework:
// the object deletes itself after its window is destroyed). It registers the standard picking
// buttons, receives picked positions and shows temporary shapes in the document's view.
// Choices: OK and Cancel destroy the window (a picking dialog returns nothing); the initial
// position is only recorded.
#pragma once
#include "GeomPicking.h"
#include "ZORDocBase.h"
#include "afxwin.h"

class CGeomDialog : public CDialog {
    DECLARE_DYNAMIC(CGeomDialog)
public:
    CGeomDialog(UINT nIDTemplate, CZORDocBase* pDoc, CWnd* pParent) : CDialog(nIDTemplate, pParent), m_pDoc(pDoc) {}
    CZORDocBase* GetDocument() const { return m_pDoc; }
    using CDialog::Create;
    virtual BOOL Create(CWnd* pParent) { return CDialog::Create(m_nIDTemplate, pParent); }

    void SetDefaultID(UINT nSim, UINT nRe, UINT nDetail, UINT nMark, UINT nHelp)
    {
        m_nDefaultID[0] = nSim; m_nDefaultID[1] = nRe; m_nDefaultID[2] = nDetail;
        m_nDefaultID[3] = nMark; m_nDefaultID[4] = nHelp;
    }
    const UINT* GetDefaultIDs() const { return m_nDefaultID; }
    virtual void SetLatestPoint(gp_Pnt&) {}
    virtual void EnterApply() {}
    virtual PositionTool* GetEventHandler() { return nullptr; }
    void SetTempShape(int nID, const TopoDS_Shape& shape, Quantity_NameOfColor colour, double dWidth, int nFlag)
    {
        if (CAISContext* p = CAISContext::Of(m_pDoc))
            p->SetTempShape(nID, shape, colour, dWidth, nFlag);
    }
    void RemoveTempShape(int nID, int, int = 0)
    {
        if (CAISContext* p = CAISContext::Of(m_pDoc))
            p->RemoveTempShape(nID);
    }
    // Element picking: the host (or a test) picks elements in the view as PositionTool::Pick
    // picks points; the dialog's selection operation gets the pick argument, which in the
    // stand-in is the CArray<unsigned int, unsigned int> of the picked element keys.
    // FALSE (nothing happens) while the dialog has no window.
    BOOL PickElements(const CArray<unsigned int, unsigned int>& aElemK)
    {
        if (!IsWindow(m_hWnd))
            return FALSE;
        CArray<unsigned int, unsigned int> a;
        a.Copy(aElemK);
        OnSelectionDone(&a);
        return TRUE;
    }
    virtual void OnSelectionDone(void* /*pPickArg*/) {}
    // The dialog's temporary display objects in the view.
    void RemoveAllTemporary(int)
    {
        if (CAISContext* p = CAISContext::Of(m_pDoc))
            p->RemoveAllTempObjects();
    }
    void SetTempIObject_Mode(const std::shared_ptr<AIS_MeshSelect>& pObject, int nMode)
    {
        if (CAISContext* p = CAISContext::Of(m_pDoc))
            p->AddTempObject(pObject, nMode);
    }
    void SetTempIObject_Mode(const Handle(AIS_InteractiveObject)& pObject, int nMode)
    {
        if (CAISContext* p = CAISContext::Of(m_pDoc))
            p->AddTempIObject(pObject, nMode);
    }
    void SetInitPos(int nPos, int nX, int nY) { m_nInitPos = nPos; m_nInitX = nX; m_nInitY = nY; }
    void MoveDlgToInitPos() { ++m_nMovesToInitPos; }
    int m_nInitPos = 0, m_nInitX = 0, m_nInitY = 0, m_nMovesToInitPos = 0;

protected:
    void OnOK() override { DestroyWindow(); }
    void OnCancel() override { DestroyWindow(); }
    void PostNcDestroy() override { delete this; }
    CZORDocBase* m_pDoc = nullptr;
    UINT m_nDefaultID[5] = {0, 0, 0, 0, 0};
};
