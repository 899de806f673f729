// The profile-grid definition dialog: the user picks a stored work plane, types or picks the
// lower-left and upper-right corners and the two division counts, previews the grid as a
// temporary grid object on the current work plane and adds it to the model's table of profile
// grids (corners in output length units), or deletes checked grids. A picking dialog, created
// anew on each request; the profile-grid plot dialog lists what it stores.
#pragma once
#include "core/KVPvsExport.h"

#include "dialogs/DialogControlIds.h"

#include "ClassSpfg.h"
#include "GeomDialog.h"
#include "InputEditCtrl.h"

#include <memory>

class CZORViewBase;

class KV_PVS_API CDlgProfileGridDef : public CGeomDialog {
    DECLARE_DYNAMIC(CDlgProfileGridDef)
    DECLARE_MESSAGE_MAP()
public:
    enum { IDD = IDD_PROFILEGRIDDEF };
    // nValue: the launcher's command value, kept for the host; bFlag is given as 0.
    CDlgProfileGridDef(CWnd* pView, CZORDocBase* pDoc, unsigned short nValue, int bFlag);
    ~CDlgProfileGridDef() override;

    BOOL Create(CWnd* pParent) override;
    PositionTool* GetEventHandler() override;
    void SetLatestPoint(gp_Pnt& p) override;
    // The defaults: corners (1, 0, 0) and (0, 0, 0), 20 x 20 divisions, name "Grid".
    void InitializeData();

    // 1 lower-left, 2 upper-right, 3 both picked.
    int GetActiveCorner() const { return m_nActiveCorner; }
    unsigned short GetCommandValue() const { return m_nValue; }

protected:
    LRESULT WindowProc(UINT nMsg, WPARAM wParam, LPARAM lParam) override;
    void DoDataExchange(CDataExchange* pDX) override;
    BOOL OnInitDialog() override;
    void OnOK() override { CGeomDialog::OnOK(); }
    void OnCancel() override { CGeomDialog::OnCancel(); }

    void OnWorkPlaneChange();
    void OnGridChange();
    void OnFocusLowerLeft() { StartPicking(1); }
    void OnFocusUpperRight() { StartPicking(2); }
    void OnPreview();
    void OnAdd();
    void OnDelete();

private:
    void FillWorkPlaneCombo();
    void FillGridList();
    void StartPicking(int nCorner);
    // The record from the inputs, corners in output units; FALSE when the corners coincide or
    // the division counts lie outside the grid limits (nothing to store).
    BOOL BuildGridRecord(T_SPFG_D& rec);
    void ShowInvalidGrid();
    CClassSpfg Table() const;

    std::unique_ptr<PositionTool> m_pPositionTool;
    CZORViewBase* m_pView = nullptr;
    CAISContext* m_pContext = nullptr;
    unsigned short m_nValue = 0;
    [[maybe_unused]] int m_bFlag = 0; // kept for the host, as the launcher gives it
    CCheckListBox m_lstGrids;
    CComboBox m_cobxWorkPlane;
    CInputEditCtrl m_editLowerLeft;
    CInputEditCtrl m_editUpperRight;
    int m_nDivX = 20;
    int m_nDivY = 20;
    CString m_strName = "Grid";
    int m_nActiveCorner = 1;
};
