// The batch picture export dialog: the user checks result rows in the result tree, chooses up to
// nine views, the shape, the contour range, the scales and the image format, a folder and a
// file-name prefix; OK names one picture per checked row and chosen view and hands the batch to
// the document, which renders and writes the pictures. A second button then puts the pictures
// with their captions into a word-processor document. The settings travel through ".rpd" files.
#pragma once
#include "core/KVPvsExport.h"

#include "dialogs/CTreeCtrlPVS.h"
#include "dialogs/DialogControlIds.h"
#include "dialogs/ModelessDlgFrame.h"
#include "dialogs/ResultPicSetting.h"

#include "CoolButton.h"
#include "EditUnit.h"
#include "DBUpdateConnector.h"
#include "PVSDlgModalessBase.h"
#include "afxcmn.h"

class KV_PVS_API CDlgSaveResultPic : public CPVSDlgModalessBase, public CDBUpdateConnector {
    DECLARE_DYNAMIC(CDlgSaveResultPic)
    DECLARE_MESSAGE_MAP()
public:
    enum { IDD = IDD_SAVERESULTPIC };
    // Bitmaps of the view buttons in view order (Iso ... Right, Current).
    static const UINT kViewBitmaps[T_RESULT_PIC_SETTING_D::VIEW_COUNT];
    static const UINT kViewButtons[T_RESULT_PIC_SETTING_D::VIEW_COUNT];

    explicit CDlgSaveResultPic(CWnd* pParent);
    ~CDlgSaveResultPic() override;

    // Opens the dialog once (with the current document), or brings the open one forward.
    static void CreateOrActivate(CWnd* pParent);
    // The open dialog; null when none is open.
    static CDlgSaveResultPic* m_pMySelf;
    static T_MODELESS_DLG_REG_D m_reg;

    // Nonzero: the controls show the settings record; 0: range and scales come from the
    // current visual state.
    virtual void SetDataToControls(int bFromSetting);
    // The settings record from the controls and the tree's checked rows.
    virtual void GetDataFromControls();

    // The folder picker: out receives the chosen folder, unchanged on cancel. An empty or null
    // initial folder preselects the current folder.
    static void BrowseForFolder(CString& strOut, const char* pszInitial);

    const T_RESULT_PIC_SETTING_D& GetSetting() const { return m_Setting; }
    const CStringArray& GetFileNames() const { return m_aFileNames; }
    const CStringArray& GetCaptions() const { return m_aCaptions; }
    CTreeCtrlPVS& GetTree() { return m_Tree; }
    const CToolTipCtrl& GetToolTip() const { return m_toolTip; }

    CDBDoc* m_pDoc = nullptr;

protected:
    void DoDataExchange(CDataExchange* pDX) override;
    BOOL OnInitDialog() override;
    BOOL PreTranslateMessage(MSG* pMsg) override;
    LRESULT WindowProc(UINT nMsg, WPARAM wParam, LPARAM lParam) override;
    void OnOK() override;
    void OnCancel() override;

    void OnAutoRange();
    void OnRealDisplacement();
    void OnDeformed();
    void OnDeltaposDivisions(NMHDR* pNMHDR, LRESULT* pResult);
    void OnImportSettings();
    void OnExportSettings();
    void OnBrowseFolder();
    void OnSaveWordDocument();

private:
    // The typed numbers the settings record takes: FALSE, with the framework's number message
    // and the focus in the field, for a division count that is not one whole number from 1 or
    // a limit or scale that is not finite, so that a file the export writes always imports.
    BOOL CheckTypedNumbers();

    CStringArray m_aFileNames;
    CStringArray m_aCaptions;
    T_RESULT_PIC_SETTING_D m_Setting;
    CBitmap m_bmpViews[T_RESULT_PIC_SETTING_D::VIEW_COUNT];
    CTreeCtrlPVS m_Tree;
    CComboBox m_cobxFormat;
    CButton m_chkAutoRange;
    CEditUnit m_editMax;
    CEditUnit m_editMin;
    CEditUnit m_editDivisions;
    CSpinButtonCtrl m_spinDivisions;
    CEditUnit m_editDeformScale;
    CButton m_chkRealDisp;
    CEditUnit m_editVectorScale;
    CEditUnit m_editDiagramScale;
    CComboBox m_cobxImageType;
    CButton m_chkDeformed;
    CComboBox m_cobxDeformedData;
    CButton m_chkWithUndeformed;
    CButton m_btnViews[T_RESULT_PIC_SETTING_D::VIEW_COUNT];
    CEdit m_editFolder;
    CEdit m_editPrefix;
    CToolTipCtrl m_toolTip;
    CCoolButton m_btnBrowse;
};
