// The flow-discharge dialog: the user defines named planes by origin and normal (through the
// origin-normal plane dialog, or the plane it last reported), ticks some, picks a case and a
// step, and asks the host to show the seepage discharge through them (visual-data type 4)
// with the file-scope settings record. The planes live only while the dialog is open.
#pragma once
#include "core/KVPvsExport.h"

#include "dialogs/DialogControlIds.h"
#include "dialogs/ModelessDlgFrame.h"
#include "visualdata/PVSUserDefRecords.h"

#include "CobxPsif.h"
#include "ColourButton.h"
#include "DBUpdateConnector.h"
#include "PVSDlgModalessBase.h"

class CKVPVSDlgDefPlane;

class KV_PVS_API CDlgFlowDiscWKVR : public CPVSDlgModalessBase, public CDBUpdateConnector {
    DECLARE_DYNAMIC(CDlgFlowDiscWKVR)
    DECLARE_MESSAGE_MAP()
public:
    enum { IDD = IDD_FLOWDISCWKVR };
    explicit CDlgFlowDiscWKVR(CWnd* pParent);
    ~CDlgFlowDiscWKVR() override;

    static void CreateOrActivate(CWnd* pParent);
    void OnUpdate(CView* pSender, LPARAM lHint, CObject* pHint) override
    {
        CPVSDlgModalessBase::OnUpdate(pSender, lHint, pHint);
    }

    // The file-scope settings record of the display.
    static T_VD_FLOWDISC_WPLKVR_D& DefaultRecord();
    // The open instance, null while none exists.
    static CDlgFlowDiscWKVR* m_pMySelf;
    static T_MODELESS_DLG_REG_D m_reg;

    CDBDoc* m_pDoc = nullptr;
    int GetPlaneCount() const { return m_aPlaneName.GetSize(); }
    const T_PVIST_PLNE_D& GetPlane(int i) const { return m_aPlane[i]; }
    const CString& GetPlaneName(int i) const { return m_aPlaneName[i]; }
    CKVPVSDlgDefPlane* GetPlaneDialog() const { return IsWindow(m_hPlaneDlg) ? m_pPlaneDlg : nullptr; }
    const double* GetLastNormal() const { return m_dLastNormal; }
    const double* GetLastOrigin() const { return m_dLastOrigin; }

protected:
    void DoDataExchange(CDataExchange* pDX) override;
    BOOL OnInitDialog() override;
    void OnDestroy() override;

    void OnDefine();
    void OnAdd();
    void OnDelete();
    void OnCloseButton() { DestroyWindow(); }
    void OnShow();
    void OnCaseChange() { m_cobxCase.UpdateChild(0, 0); }

private:
    static void OnPlaneDraw(double*, double*, int) {}
    static void OnPlaneDlgDestroyed(double* pNormal, double* pOrigin);
    void FillPlaneList();
    // The nodal seepage velocity row of the chosen step; 0 (with the message where one is
    // due) when there is none.
    unsigned int SelectResultRow();

    CArray<CString, CString&> m_aPlaneName;
    CArray<T_PVIST_PLNE_D, T_PVIST_PLNE_D&> m_aPlane;
    CColourButton m_btnValueColour;
    CColourButton m_btnPlaneColour;
    CColourButton m_btnArrowColour;
    CCheckListBox m_lstPlane;
    CCobxPLsif m_cobxStep;
    CCobxPOsif m_cobxCase;
    CString m_strName = "Plane 1";
    CString m_strArrowScale = "1.0";
    CString m_strValueScale = "1.0";
    CString m_strDecimal = "6";
    int m_bExponential = 0;
    CKVPVSDlgDefPlane* m_pPlaneDlg = nullptr;
    HWND m_hPlaneDlg = nullptr;
    double m_dLastNormal[3] = {1, 0, 0};
    double m_dLastOrigin[3] = {0, 0, 0};
};
