// The history-data dialog: shows stored result graphs of the post database in one of the host's
// graph windows, either graphs against time (or against the values of one other graph) or
// hysteresis graphs, each drawn from its own pair of arrays. The graph window owns the data.
#pragma once
#include "core/KVPvsExport.h"

#include "dialogs/DialogControlIds.h"
#include "dialogs/ModelessDlgFrame.h"

#include "DBUpdateConnector.h"
#include "PVSDlgModalessBase.h"

#include <memory>

struct T_GRAPH_D;

class KV_PVS_API CDlgHistoryData : public CPVSDlgModalessBase, public CDBUpdateConnector {
    DECLARE_DYNAMIC(CDlgHistoryData)
    DECLARE_MESSAGE_MAP()
public:
    enum { IDD = IDD_HISTORYDATA };
    explicit CDlgHistoryData(CWnd* pParent);
    ~CDlgHistoryData() override;

    static void CreateOrActivate(CWnd* pParent);
    // The connector's hints go to the modeless base's handling.
    void OnUpdate(CView* pSender, LPARAM lHint, CObject* pHint) override
    {
        CPVSDlgModalessBase::OnUpdate(pSender, lHint, pHint);
    }

    // Fills the graph list (and for time graphs the X-graph combo) with the stored graphs of
    // the type: hysteresis graphs (type word 2) or all others.
    void UpdateListBox(int bHysteresis);
    void PlotGraph();
    void PlotGraphHystery();
    // The keys of the ticked graphs, in list order; returns their count.
    int GetSelectedList(CArray<unsigned int, unsigned int>& aKey) const;
    // The item data of the selected X-graph entry (0: time, or nothing selected).
    void GetSelectedCbx(unsigned int& nKey) const;

    // The open instance, null while none exists.
    static CDlgHistoryData* m_pMySelf;
    static T_MODELESS_DLG_REG_D m_reg;

    CDBDoc* m_pDoc = nullptr;

protected:
    LRESULT WindowProc(UINT nMsg, WPARAM wParam, LPARAM lParam) override;
    void DoDataExchange(CDataExchange* pDX) override;
    BOOL OnInitDialog() override;

    void OnKvpvsGrphApply();
    void OnSelchangeKvpvsGrphList();
    void OnSelchangeKvpvsXGrphList();
    void OnKvpvsChangeGrphType();

private:
    // The curves of the graphs of the keys: each graph's second array against the values of
    // the graph nXKey, or against its own first array for 0.
    void PlotCurves(const CArray<unsigned int, unsigned int>& keys, unsigned int nXKey);
    void ShowGraph(std::unique_ptr<T_GRAPH_D> pGraph);

    CComboBox m_cobxXGraph;
    CCheckListBox m_lstGraph;
    CString m_strTitle = "History Data";
    int m_bXExponential = 0;
    CString m_strXTitle = "Time";
    CString m_strYDecimal = "4";
    CString m_strXDecimal = "4";
    int m_bYExponential = 0;
    CString m_strYTitle = "Y Axis";
    int m_nGraphType = 0;
};
