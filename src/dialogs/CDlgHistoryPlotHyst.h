// The hysteresis-plot dialog: one stored hysteresis graph in a graph window of its own, opened
// from the history-plot dialog, which moves its marker while the host animates the result steps
// and closes it when it closes itself.
#pragma once
#include "core/KVPvsExport.h"

#include "dialogs/DialogControlIds.h"
#include "dialogs/ModelessDlgFrame.h"

#include "DBUpdateConnector.h"
#include "GraphWnd.h"
#include "PVSDlgModalessBase.h"

namespace kvpvs::dialogs {
// The points of a stored graph of the document's post database: one per index of its first
// array, paired with the same index of the second (none beyond the second's end). FALSE, with
// aPoint untouched, when the graph or its arrays cannot be read.
BOOL ReadStoredGraphPoints(CDBDoc* pDoc, unsigned int nPGrphK, CArray<T_GRPH_D, T_GRPH_D&>& aPoint);
// Two points at the origin: the graph of nothing selected.
void SetFlatGraph(CGraphWnd& graph);
} // namespace kvpvs::dialogs

class KV_PVS_API CDlgHistoryPlotHyst : public CPVSDlgModalessBase, public CDBUpdateConnector {
    DECLARE_DYNAMIC(CDlgHistoryPlotHyst)
    DECLARE_MESSAGE_MAP()
public:
    enum { IDD = IDD_HISTORYPLOTHYST };
    explicit CDlgHistoryPlotHyst(CWnd* pParent);
    ~CDlgHistoryPlotHyst() override;

    static void CreateOrActivate(CWnd* pParent);
    void OnUpdate(CView* pSender, LPARAM lHint, CObject* pHint) override
    {
        CPVSDlgModalessBase::OnUpdate(pSender, lHint, pHint);
    }
    // The graph window, which the history-plot dialog drives during an animation.
    CGraphWnd& GetGraph() { return m_graph; }

    // The open instance, null while none exists.
    static CDlgHistoryPlotHyst* m_pMySelf;
    static T_MODELESS_DLG_REG_D m_reg;

    CDBDoc* m_pDoc = nullptr;

protected:
    LRESULT WindowProc(UINT nMsg, WPARAM wParam, LPARAM lParam) override;
    void DoDataExchange(CDataExchange* pDX) override;
    BOOL OnInitDialog() override;
    void OnGraphChange();

private:
    void FillCombo();
    void ShowGraph();
    void OnSize();

    CGraphWnd m_graph;
    CComboBox m_cobxGraph;
    RECT m_rcDlg{};
    RECT m_rcFrame{};
    int m_bReady = 0;
};
