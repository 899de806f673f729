// The local-direction force-sum dialog: keeps the list of cutting planes stored in the model
// database, opens the three-point plane dialog to add planes, and asks the host to show the
// force sums (visual-data type 8) over the checked planes with the file-scope settings record.
#pragma once
#include "core/KVPvsExport.h"

#include "dialogs/DialogControlIds.h"
#include "dialogs/ModelessDlgFrame.h"
#include "visualdata/PVSUserDefRecords.h"

#include "ClassLdfs.h"
#include "CobxPsif.h"
#include "ColourButton.h"
#include "DBUpdateConnector.h"
#include "PVSDlgModalessBase.h"

#include <vector>

class CPVSDlgDefThreePointPlane;

class KV_PVS_API CDlgLclDirForSum : public CPVSDlgModalessBase, public CDBUpdateConnector {
    DECLARE_DYNAMIC(CDlgLclDirForSum)
    DECLARE_MESSAGE_MAP()
public:
    enum { IDD = IDD_LCLDIRFORSUM };
    explicit CDlgLclDirForSum(CWnd* pParent);
    ~CDlgLclDirForSum() override;

    static void CreateOrActivate(CWnd* pParent);
    void OnUpdate(CView* pSender, LPARAM lHint, CObject* pHint) override;
    BOOL PreTranslateMessage(MSG* pMsg) override;

    // The file-scope settings record of the display.
    static T_VD_LCLDIRSUM_HOB_D& DefaultRecord();
    // The open instance, null while none exists.
    static CDlgLclDirForSum* m_pMySelf;
    static T_MODELESS_DLG_REG_D m_reg;

    CDBDoc* m_pDoc = nullptr;
    int GetPlaneCount() const { return static_cast<int>(m_aPlanes.size()); }
    const T_PVIST_PLNE_D& GetCuttingPlane(int i) const { return m_aPlanes.at(static_cast<size_t>(i)).plane; }
    const T_VD_LCLDIRSUM_HOB_BASE_D& GetPlaneFrame(int i) const { return m_aPlanes.at(static_cast<size_t>(i)).frame; }
    CPVSDlgDefThreePointPlane* GetPlaneDialog() const { return IsWindow(m_hPlaneDlg) ? m_pPlaneDlg : nullptr; }
    int GetBridgeMode() const { return m_nBridgeMode; }

protected:
    LRESULT WindowProc(UINT nMsg, WPARAM wParam, LPARAM lParam) override;
    void DoDataExchange(CDataExchange* pDX) override;
    BOOL OnInitDialog() override;
    void OnDestroy() override;

    void OnDefine() {}
    void OnAdd();
    void OnDelete();
    void OnCloseButton() { DestroyWindow(); }
    void OnShow();
    void OnCaseChange() { m_cobxCase.UpdateChild(0, 0); }

private:
    static void OnPlaneDraw(double*, double*, int) {}
    static void OnPlaneDlgDestroyed(double*, double*);
    static int OnPlaneApply(double (*pts)[3], CString& name, void* pRecord);
    // A stored plane as the list shows it, in list order.
    struct T_PLANE_ENTRY_D {
        CString strName;
        T_PVIST_PLNE_D plane;
        T_VD_LCLDIRSUM_HOB_BASE_D frame;
        int nElemType = 0;
        unsigned int nKey = 0;
    };
    using PlaneEntries = std::vector<T_PLANE_ENTRY_D>;

    // Opening up to the display request: the controls and the stored planes.
    void Prepare(PlaneEntries& planes);
    int AddPlane(const T_LDFS_D& rec);
    // The stored planes, read without changing the dialog.
    PlaneEntries LoadPlanes() const;
    // The list shows the planes and the dialog keeps them; all or nothing.
    void ShowPlanes(PlaneEntries&& planes);
    void FillPlaneList() { ShowPlanes(LoadPlanes()); }
    void CheckDBChange(CObject* pHint);
    BOOL SelectResultRows(int nElemType, unsigned int aKeys[12]);
    void ShowMessage(const char* pszID);

    PlaneEntries m_aPlanes;
    int m_nBridgeMode = 0;
    CColourButton m_btnValueColour;
    CColourButton m_btnPlaneColour;
    CColourButton m_btnArrowColour;
    CCheckListBox m_lstPlane;
    CCobxPLsif m_cobxStep;
    CCobxPOsif m_cobxCase;
    CString m_strName;
    CString m_strArrowScale = "1.0";
    CString m_strValueScale = "1.0";
    CString m_strDecimal = "6";
    int m_bExponential = 0;
    int m_bIncludeText = 0;
    CPVSDlgDefThreePointPlane* m_pPlaneDlg = nullptr;
    HWND m_hPlaneDlg = nullptr;
    // A window made by an opening that failed before its display was asked for (the
    // framework's part of the opening included).
    BOOL m_bShowsNothing = TRUE;
};
