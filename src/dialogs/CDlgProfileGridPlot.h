// The profile-grid plot dialog: picks a result component, a stored profile grid and grid index
// lines (kept per grid while it is open), asks the host document to show the profile-grid
// display (visual-data type 5) with its file-scope settings record, writes the grid and
// index-line tables through a throwaway display pair, and hands the profile along one line to
// the curve-fitting dialog, which it runs modally.
#pragma once
#include "core/KVPvsExport.h"

#include "dialogs/DialogControlIds.h"
#include "dialogs/ModelessDlgFrame.h"
#include "visualdata/PVSUserDefRecords.h"

#include "ClassSpfg.h"
#include "CobxPVtif.h"
#include "CobxPsif.h"
#include "DBUpdateConnector.h"
#include "PVSDlgModalessBase.h"

class KV_PVS_API CDlgProfileGridPlot : public CPVSDlgModalessBase, public CDBUpdateConnector {
    DECLARE_DYNAMIC(CDlgProfileGridPlot)
    DECLARE_MESSAGE_MAP()
public:
    enum { IDD = IDD_PROFILEGRIDPLOT };
    explicit CDlgProfileGridPlot(CWnd* pParent);
    ~CDlgProfileGridPlot() override;

    static void CreateOrActivate(CWnd* pParent);
    void OnUpdate(CView* pSender, LPARAM lHint, CObject* pHint) override;

    static T_VD_PROFGRID_D& DefaultRecord();
    static CDlgProfileGridPlot* m_pMySelf;
    static T_MODELESS_DLG_REG_D m_reg;
    CDBDoc* m_pDoc = nullptr;

    // The chosen lines of a grid (empty when it has none).
    T_SPFG_GRID_IDX_D GetChosenLines(unsigned int nGridK) const;

protected:
    void DoDataExchange(CDataExchange* pDX) override;
    BOOL OnInitDialog() override;
    void OnDestroy() override;

    void OnCaseChange();
    void OnStepChange();
    void OnComponentChange();
    void OnGridChange() { FillIndexCombos(); }
    void OnAxis() { UpdateData(TRUE); EnableAxisControls(); }
    void OnAdd();
    void OnDelete();
    void OnGridTable() { MakeTable(1); }
    void OnLineTable() { MakeTable(2); }
    void OnCurveFit();
    void OnShow();
    void OnCloseButton() { DestroyWindow(); }

private:
    void FillGridCombo();
    void FillIndexCombos();
    void RebuildLineList();
    void EnableAxisControls();
    BOOL BuildLine(T_SPFG_GRID_IDX_BASE& line);
    BOOL FillRecord();
    // The throwaway display pair: the table operation with (mode, record, show); FALSE when
    // the visual data, method or record cannot be made.
    BOOL RunTable(int nMode, int bShow);
    void MakeTable(int nMode);
    void CheckDBChange(CObject* pHint);
    void RefillAll();
    unsigned int SelectedGrid() const;

    CMap<unsigned int, unsigned int, T_SPFG_GRID_IDX_D, T_SPFG_GRID_IDX_D&> m_mChosen;
    CCheckListBox m_lstLines;
    CComboBox m_cobxYIndex;
    CComboBox m_cobxGrid;
    CComboBox m_cobxXIndex;
    CCobxPLsif m_cobxStep;
    CCobxPVtif m_cobxComponent;
    CCobxPOsif m_cobxCase;
    int m_bContour = 1;
    CString m_strXDiv = "10";
    int m_nAxis = 0;
    CString m_strYDiv = "10";
    int m_bArea = 1;
    int m_bDynamic = 1;
};
