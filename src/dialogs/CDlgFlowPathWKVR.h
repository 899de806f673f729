// The flow-path dialog: the user picks or types start points and chooses how the seepage flow
// paths are drawn; the dialog fills the file-scope flow-path record and asks the host to show
// visual-data type 1. Play moves marks along the paths on the module's one timer (identifier
// 1, 100 ms) through the flow-path method's shared phase; Record drives the host's recording
// engine with the same arithmetic. A picking dialog, created anew on each request.
#pragma once
#include "core/KVPvsExport.h"

#include "dialogs/DialogControlIds.h"
#include "visualdata/PVSUserDefRecords.h"

#include "CobxPVtif.h"
#include "CobxPsif.h"
#include "ColourButton.h"
#include "GeomDialog.h"
#include "InputEditCtrl.h"

#include <memory>

class KV_PVS_API CDlgFlowPathWKVR : public CGeomDialog {
    DECLARE_DYNAMIC(CDlgFlowPathWKVR)
    DECLARE_MESSAGE_MAP()
public:
    enum { IDD = IDD_FLOWPATHWKVR };
    CDlgFlowPathWKVR(CWnd* pView, CZORDocBase* pDoc, unsigned short nValue, bool bFlag);
    ~CDlgFlowPathWKVR() override;

    BOOL Create(CWnd* pParent) override;
    PositionTool* GetEventHandler() override;
    void SetLatestPoint(gp_Pnt& p) override;
    void ProcessPlot();
    // points: the X, Y and Z arrays of the start points.
    void ProcessPlotSub(unsigned int nKey, CArray<double, double>* pPoints);
    BOOL GetCurrentPVtifK(unsigned int& nKey);

    // The display's settings record, reset by each new dialog.
    static T_VD_FLOWPATH_WPLKVR_D AddedInfo;
    static double m_dOrgIncRatio; // animation step
    static double m_dIncRatio;    // current phase
    static double m_dEndRatio;    // period
    static UINT_PTR m_nTimerID;

    unsigned int GetPlottedKey() const { return m_nPlottedKey; }
    int IsPlaying() const { return m_bPlaying; }
    int GetStartPointCount() const { return m_aPoint[0].GetSize(); }
    // The tick of the timer and the frame procedure of Record (returns 1).
    static int AdvancePhase();

protected:
    void DoDataExchange(CDataExchange* pDX) override;
    BOOL OnInitDialog() override;
    void OnCancel() override { DestroyWindow(); }
    void OnDestroy() override;

    void OnKvpvsPlot() { ProcessPlot(); }
    void OnKvpvsFpLineShading();
    void OnKvpvsFpReset();
    void OnSelchangeKvpvsFpAcase();
    void OnSelchangeKvpvsFpDataset();
    void OnSelchangeKvpvsFpOutputset();
    void OnKvpvsFpOtherresult();
    void OnKvpvsPlay();
    void OnKvpvsStop();
    void OnKvpvsRecd();

private:
    static void TimerProc(HWND hWnd, UINT nMsg, UINT_PTR nIDEvent, DWORD nTime);
    // Plots again and sets the period and step from the division count; FALSE where
    // animation cannot start (nothing plotted, no divisions).
    BOOL PrepareAnimation();
    void Enable(UINT nID, BOOL bEnable);
    static void RedrawLabels(int nArg);

    std::unique_ptr<PositionTool> m_pPositionTool;
    CCobxPOsif m_cobxResultSet;
    CCobxPLsif m_cobxStep;
    CCobxPVtif m_cobxOther;
    CInputEditCtrl m_editPosition;
    CColourButton m_btnColour;
    CColourButton m_btnColour2;
    CButton m_btnPlay;
    CButton m_btnStop;
    CButton m_btnRecord;
    CBitmap m_bmpPlay;
    CBitmap m_bmpStop;
    CBitmap m_bmpRecord;

    int m_nColorType = 1;
    int m_bKeepPrevious = 0;
    int m_nPathType = 0;
    CString m_strPipeScale = "1.0";
    CString m_strLineWidth = "1";
    CString m_strIntOption = "2";
    CString m_strStepLength = "0.2";
    int m_bOtherResult = 0;
    int m_nMarkSymbol = 0;
    int m_bMarking = 1;
    CString m_strDivisions = "5";
    CString m_strSymbolScale = "1.0";
    CArray<double, double> m_aPoint[3];
    unsigned int m_nPlottedKey = 0;
    int m_bPlaying = 0;
};
