// The history-plot dialog: a companion of the host's result animation with two small graphs, an
// input wave (a ground-acceleration function or a stored input graph) and a response (a stored
// time-history graph). While the host animates the result steps both graphs follow the current
// step with a marker; a click on a graph makes the host show the step nearest that time. It
// opens the hysteresis-plot dialog and closes it when it closes itself.
#pragma once
#include "core/KVPvsExport.h"

#include "dialogs/DialogControlIds.h"
#include "dialogs/ModelessDlgFrame.h"

#include "DBUpdateConnector.h"
#include "DPObserver.h"
#include "GraphWnd.h"
#include "PVSDlgModalessBase.h"

class KV_PVS_API CDlgHistoryPlot : public CPVSDlgModalessBase, public CDBUpdateConnector, public DP_CObserver {
    DECLARE_DYNAMIC(CDlgHistoryPlot)
    DECLARE_MESSAGE_MAP()
public:
    enum { IDD = IDD_HISTORYPLOT };
    // Entry kinds of the input-wave list.
    enum { INPUT_ACCELERATION = 1, INPUT_STORED_GRAPH = 2 };

    explicit CDlgHistoryPlot(CWnd* pParent);
    ~CDlgHistoryPlot() override;

    static void CreateOrActivate(CWnd* pParent);
    void OnUpdate(CView* pSender, LPARAM lHint, CObject* pHint) override
    {
        CPVSDlgModalessBase::OnUpdate(pSender, lHint, pHint);
    }
    // The animation's events: 3 the current step changed (the object's first word is the step
    // key), 4 the animation starts, 5 it ends.
    void Update(DP_CSubject* pSubject, int nCode, void* pObject) override;

    // The open instance, null while none exists.
    static CDlgHistoryPlot* m_pMySelf;
    // Set when an animation started while the dialog was open; its end then closes the dialog.
    static int m_bAnimationStarted;
    static T_MODELESS_DLG_REG_D m_reg;

    CDBDoc* m_pDoc = nullptr;

protected:
    LRESULT WindowProc(UINT nMsg, WPARAM wParam, LPARAM lParam) override;
    void DoDataExchange(CDataExchange* pDX) override;
    BOOL OnInitDialog() override;
    void OnDestroy() override;

    void OnInputChange() { ShowInput(); }
    void OnResponseChange() { ShowResponse(); }
    void OnHysteresis();
    void OnExpand();

private:
    static void OnGraphClick(double x, CGraphWnd* pGraph);
    void ClickAt(double x, CGraphWnd* pGraph);
    void OnStepChanged(const void* pObject);
    void FillInputCombo();
    void FillResponseCombo();
    void ShowInput();
    void ShowResponse();
    void RestartIfAnimating(CGraphWnd& graph);
    void RecordLayout();
    CDBBase* PostDB() const;

    CGraphWnd m_graphInput;
    CGraphWnd m_graphResponse;
    CComboBox m_cobxInput;
    CArray<int, int> m_aInputKind; // parallel to the input list
    CComboBox m_cobxResponse;
    CButton m_btnInputLabel;
    CButton m_btnResponseLabel;
    CButton m_btnHysteresis;
    CButton m_btnExpand;
    int m_bCollapsed = 0;
    int m_nDist = 0;
    RECT m_rcDlg{};
    RECT m_rcHysteresis{};
    RECT m_rcExpand{};
    // The animation subject this dialog attached to (null when none).
    DP_CSubject* m_pSubject = nullptr;
};
