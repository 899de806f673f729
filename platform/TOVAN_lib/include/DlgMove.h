// Stand-ins for the host's dialog bases of the TOVAN library: CInternationalDlg (a dialog whose
// texts follow the product's language), CDlgMove (a dialog that places itself at an initial
// position) and CDlgModeless (a modeless dialog). Choices: positions are only recorded and
// applied to the window rectangle; OK and Cancel of a modeless dialog destroy its window.
#pragma once
#include "afxwin.h"

class CInternationalDlg : public CDialog {
    DECLARE_DYNAMIC(CInternationalDlg)
public:
    using CDialog::CDialog;
};

class CDlgMove : public CInternationalDlg {
    DECLARE_DYNAMIC(CDlgMove)
public:
    using CInternationalDlg::CInternationalDlg;
    // Position code (1 beside the parent, 3 the picking-dialog corner, 4 ...) and offsets.
    void SetInitPos(int nPos, int nX, int nY)
    {
        m_nInitPos = nPos;
        m_nInitX = nX;
        m_nInitY = nY;
        ++m_nInitPosCalls;
    }
    void MoveDlgToInitPos()
    {
        RECT r;
        GetWindowRect(&r);
        MoveWindow(m_nInitX, m_nInitY, r.right - r.left, r.bottom - r.top);
    }
    BOOL PreTranslateMessage(MSG* pMsg) override { return CInternationalDlg::PreTranslateMessage(pMsg); }
    int m_nInitPos = 0, m_nInitX = 0, m_nInitY = 0, m_nInitPosCalls = 0;
};

class CDlgModeless : public CDlgMove {
    DECLARE_DYNAMIC(CDlgModeless)
public:
    using CDlgMove::CDlgMove;

protected:
    void OnOK() override { DestroyWindow(); }
    void OnCancel() override { DestroyWindow(); }
};
