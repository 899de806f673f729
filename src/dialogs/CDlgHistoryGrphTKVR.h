// The history-graph dialog: the user picks stored time-history functions, the dialog's engine
// computes each over all time steps of its analysis case, and the curves (against time or
// against one other function) go to one of the host's graph windows, which owns their data.
// It keeps its function lists in step with the stored functions through the update hints.
#pragma once
#include "core/KVPvsExport.h"

#include "dialogs/DialogControlIds.h"
#include "dialogs/ModelessDlgFrame.h"
#include "timehistory/CPVSTHEngine.h"

#include "DBUpdateConnector.h"
#include "PVSDlgModalessBase.h"
#include "ThisInfo.h"

#include <memory>

struct T_GRAPH_D;

class KV_PVS_API CDlgHistoryGrphTKVR : public CPVSDlgModalessBase, public CDBUpdateConnector {
    DECLARE_DYNAMIC(CDlgHistoryGrphTKVR)
    DECLARE_MESSAGE_MAP()
public:
    enum { IDD = IDD_HISTORYGRPHTKVR };
    explicit CDlgHistoryGrphTKVR(CWnd* pParent);
    ~CDlgHistoryGrphTKVR() override;

    static void CreateOrActivate(CWnd* pParent);
    void OnUpdate(CView* pSender, LPARAM lHint, CObject* pHint) override;

    // Unit type of a function's values by its run-form calculation code, component and result
    // kind; -1 for a combination without a unit label.
    static int GetFunctionUnitType(int nCode, int nComponent, int nKind);

    // The open instance, null while none exists.
    static CDlgHistoryGrphTKVR* m_pMySelf;
    static T_MODELESS_DLG_REG_D m_reg;

    CDBDoc* m_pDoc = nullptr;

protected:
    LRESULT WindowProc(UINT nMsg, WPARAM wParam, LPARAM lParam) override;
    void DoDataExchange(CDataExchange* pDX) override;
    BOOL OnInitDialog() override;

    void OnDefine();
    void OnAdd();
    void OnDelete();
    void OnApply();
    void OnCloseButton() { DestroyWindow(); }

private:
    void LoadLists();
    // One function over all steps into aSeries, with its stored record and run form; FALSE
    // when it cannot be read, has no time-history key (with the message) or gives no values.
    BOOL ComputeFunction(unsigned int nKey, CArray<double, double>& aSeries, T_THRD_D& rec, T_THRD_D& req);
    CString MakeUnitLabel(const T_THRD_D& req) const;
    void ShowGraph(std::unique_ptr<T_GRAPH_D> pGraph);
    CDBBase* MainDB() const;

    CPVSTHEngine m_engine;
    CComboBox m_cobxXAxis;
    CCheckListBox m_lstPlot;
    CCheckListBox m_lstFunc;
    CString m_strTitle = "Time History Graph";
    int m_bXExponential = 0;
    CString m_strXTitle = "X Axis";
    CString m_strYDecimal = "4";
    CString m_strXDecimal = "4";
    int m_bYExponential = 0;
    CString m_strYTitle = "Function";
};
