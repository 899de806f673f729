// The local-direction force-sum dialog: keeps the list of cutting planes stored in the model
// database, opens the three-point plane dialog to add planes, and asks the host to show the
// force sums (visual-data type 8) over the checked planes with the file-scope settings record.
#pragma once
#include "frame/core/KVPvsExport.h"

#include "dialogs/DialogControlIds.h"
#include "dialogs/ModelessDlgFrame.h"
#include "visualdata/PVSUserDefRecords.h"

#include "ClassLdfs.h"
#include "CobxPsif.h"
#include "ColourButton.h"
#include "DBUpdateConnector.h"
#include "PVSDlgModalessBase.h"

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
    int GetPlaneCount() const { return m_aPlaneName.GetSize(); }
    const T_PVIST_PLNE_D& GetCuttingPlane(int i) const { return m_aPlane[i]; }
    const T_VD_LCLDIRSUM_HOB_BASE_D& GetPlaneFrame(int i) const { return m_aFrame[i]; }
    CPVSDlgDefThreePointPlane* GetPlaneDialog() const { return IsWindow(m_hPlaneDlg) ? m_pPlaneDlg : nullptr; }
    int GetBridgeMode() const { return m_nBridgeMode; }

protected:
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
    int AddPlane(const T_LDFS_D& rec);
    void FillPlaneList();
    void CheckDBChange(CObject* pHint);
    BOOL SelectResultRows(int nElemType, unsigned int aKeys[12]);
    void ShowMessage(const char* pszID);

    CArray<CString, CString&> m_aPlaneName;
    CArray<T_PVIST_PLNE_D, T_PVIST_PLNE_D&> m_aPlane;
    CArray<T_VD_LCLDIRSUM_HOB_BASE_D, T_VD_LCLDIRSUM_HOB_BASE_D&> m_aFrame;
    CArray<int, int> m_aElemType;
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
};
