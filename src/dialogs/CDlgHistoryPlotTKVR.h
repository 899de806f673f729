// The history-plot dialog of the TKVR edition: the user picks a time-history analysis case, a
// time step, a result type and a component; the dialog fills its file-scope history-plot record
// and asks the host to show the nodal (3), element-diagram (6) or stress (7) history plot. Two
// small graphs show a forcing function and a stored result function against the case's time
// steps; a click on either selects the nearest step.
#pragma once
#include "core/KVPvsExport.h"

#include "dialogs/DialogControlIds.h"
#include "dialogs/ModelessDlgFrame.h"
#include "visualdata/PVSUserDefRecords.h"

#include "ClassThfc.h"
#include "DBUpdateConnector.h"
#include "GraphWnd.h"
#include "PVSDlgModalessBase.h"

class KV_PVS_API CDlgHistoryPlotTKVR : public CPVSDlgModalessBase, public CDBUpdateConnector {
    DECLARE_DYNAMIC(CDlgHistoryPlotTKVR)
    DECLARE_MESSAGE_MAP()
public:
    enum { IDD = IDD_HISTORYPLOTTKVR };
    explicit CDlgHistoryPlotTKVR(CWnd* pParent);
    ~CDlgHistoryPlotTKVR() override;

    static void CreateOrActivate(CWnd* pParent);
    void OnUpdate(CView* pSender, LPARAM lHint, CObject* pHint) override;

    // The settings of the last display the dialog requested; reset by every new dialog.
    static T_VD_HISTPLOT_TVCKVR_D& DefaultRecord();
    // Visual-data type of a result type: 3 nodal, 6 element diagram, 7 stress; 0 outside 0-12.
    static unsigned int VisualDataTypeOf(int nResultType);
    // The component names of a result type, in combo order (none for trusses or outside 0-12).
    static int GetComponentNames(int nResultType, CStringArray& aName);

    // A damped sine's point table (type 1: A, B, f, c, phi) rebuilt in rec: FALSE, the table
    // emptied, for a negative or undefined decay or a value that overflows; an empty table for
    // f <= 0. Other types keep their table.
    static BOOL RebuildForcingTable(T_THFC_D& rec);
    // The value of a point table at t: 0 outside it, a point's value within 1e-13 of its time,
    // else linear between the neighbouring points.
    static double ForcingValueAt(const T_THFC_D& rec, double t);
    // The function's value at each time; FALSE (no values) when its table cannot be built.
    static BOOL GetForcingValues(T_THFC_D rec, const CArray<double, double>& aTime, CArray<double, double>& aValue);

    // The last constructed dialog, null once it is gone; the graphs' click procedure acts on it.
    static CDlgHistoryPlotTKVR* m_pMySelf;
    static T_MODELESS_DLG_REG_D m_reg;

    CDBDoc* m_pDoc = nullptr;

protected:
    LRESULT WindowProc(UINT nMsg, WPARAM wParam, LPARAM lParam) override;
    void DoDataExchange(CDataExchange* pDX) override;
    BOOL OnInitDialog() override;
    void OnDestroy() override;

    void OnCaseChange();
    void OnStepChange();
    void OnInputChange() { ShowInputFunction(); }
    void OnOutputChange() { ShowOutputFunction(); }
    void OnCloseButton() { DestroyWindow(); }
    void OnDefine();
    void OnOptionChange() { DisplayIfImmediate(); }
    void OnResultTypeChange();
    void OnApply();

private:
    static void OnGraphClick(double x, CGraphWnd* pGraph);
    CDBBase* MainDB() const;
    void FillCases();
    void FillInputFunctions();
    void FillOutputFunctions();
    void FillResultTypes();
    void FillComponents();
    void LoadTimeSteps();
    void MoveMarkers(double t);
    void ShowInputFunction();
    void ShowOutputFunction();
    void SetGraph(CGraphWnd& graph, const CArray<double, double>& aX, const CArray<double, double>& aY);
    void SetUnitGraph(CGraphWnd& graph);
    void DisplayIfImmediate();
    void Display();
    unsigned int SelectedCase() const;

    CGraphWnd m_graphInput;
    CGraphWnd m_graphOutput;
    CArray<double, double> m_aTimeStep;
    CComboBox m_cobxComponent;
    CComboBox m_cobxStep;
    CComboBox m_cobxResultType;
    CComboBox m_cobxOutput;
    CComboBox m_cobxInput;
    CComboBox m_cobxCase;
    CString m_strStartTime;
    CString m_strEndTime;
    CString m_strIncrement;
    int m_bAnimation = 0;
    int m_bDeformed = 0;
    int m_nCoordinate = 0;
    int m_bImmediate = 1;
    int m_bInitialising = 0;
};
