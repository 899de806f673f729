// Stand-in for the host's picking service of a dialog: it knows the dialog's select button and
// selection mode and turns the pick argument of the picking base (CGeomDialog::PickElements)
// into the picked elements. Choices: the pick argument is the CArray<unsigned int, unsigned int>
// of picked element keys; mode 11 (elements) takes every pick as it comes, in pick order.
#pragma once
#include "ZORDocBase.h"
#include "afxtempl.h"

class CCmdSelectionMgr {
public:
    void Init(CZORDocBase* pDoc, CWnd* pDlg)
    {
        m_pDoc = pDoc;
        m_pDlg = pDlg;
    }
    void SetControl(int nKind, UINT nID)
    {
        m_nControlKind = nKind;
        m_nControlID = nID;
    }
    void SetMode(int nMode) { m_nMode = nMode; }
    int GetMode() const { return m_nMode; }
    void ResetSelection()
    {
        m_aElemK.RemoveAll();
        ++m_nResets;
    }
    void OnSelect(void* pPickArg)
    {
        m_aElemK.RemoveAll();
        if (pPickArg)
            m_aElemK.Copy(*static_cast<const CArray<unsigned int, unsigned int>*>(pPickArg));
    }
    void GetSelectedElem(CArray<unsigned int, unsigned int>& aElemK) const { aElemK.Copy(m_aElemK); }

    CZORDocBase* m_pDoc = nullptr;
    CWnd* m_pDlg = nullptr;
    int m_nControlKind = 0;
    UINT m_nControlID = 0;
    int m_nResets = 0;

private:
    int m_nMode = 0;
    CArray<unsigned int, unsigned int> m_aElemK;
};
