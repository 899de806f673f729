// The slope factor-of-safety result dialog: lists the slip surfaces of a slope-stability case
// (trial circles of a centre grid, or polylines) with their factors of safety, finds the
// smallest and largest, and asks the host to draw one of them (visual-data type 11) with the
// file-scope settings record.
#pragma once
#include "core/KVPvsExport.h"

#include "dialogs/DialogControlIds.h"
#include "dialogs/ModelessDlgFrame.h"
#include "visualdata/PVSUserDefRecords.h"

#include "ColourButton.h"
#include "DBUpdateConnector.h"
#include "EditUnit.h"
#include "ExtListCtrl.h"
#include "PVSDlgModalessBase.h"
#include "SlopeResults.h"
#include "afxcmn.h"

#include <vector>

class KV_PVS_API CDlgSlopeFOSResult : public CPVSDlgModalessBase, public CDBUpdateConnector {
    DECLARE_DYNAMIC(CDlgSlopeFOSResult)
    DECLARE_MESSAGE_MAP()
public:
    enum { IDD = IDD_SLOPEFOSRESULT };
    explicit CDlgSlopeFOSResult(CWnd* pParent);
    ~CDlgSlopeFOSResult() override;

    static void CreateOrActivate(CWnd* pParent);
    void OnUpdate(CView* pSender, LPARAM lHint, CObject* pHint) override;
    // Mode 0 the selected row, 1 the minimum row, 2 the maximum row; 1 when drawn.
    int Plot(int nMode);

    // The file-scope settings record of the display.
    static T_VD_FOS_TVCKVR_D& DisplayRecord();
    static CDlgSlopeFOSResult* m_pMySelf;
    static T_MODELESS_DLG_REG_D m_reg;

    CDBDoc* m_pDoc = nullptr;
    int GetMinRow() const { return m_nMinRow; }
    int GetMaxRow() const { return m_nMaxRow; }
    int GetCentreCount() const { return static_cast<int>(m_aCentre.size()); }
    double GetCentreMinimum(int i) const { return m_aCentre[static_cast<size_t>(i)].dMin; }
    const double* GetFactorBuffer() const { return m_pFactor; }

protected:
    void DoDataExchange(CDataExchange* pDX) override;
    BOOL OnInitDialog() override;
    void OnDestroy() override;
    void OnSelchangeAnalysisCase();
    void OnSelchangeFont() {}
    void OnClickList(NMHDR* pNMHDR, LRESULT* pResult);
    void OnMinimum();
    void OnMaximum();
    void OnClose();

private:
    struct T_CENTRE {
        double a = 0, b = 0;  // in-plane coordinates, model units
        double dMin = 0;      // smallest valid factor, 0 when none
        int nIndex = 0;       // circle index of that factor
    };
    void ResetList();
    void SetupList();
    void FillCircleRows();
    void FreeFactors();
    void SelectRow(int nRow);
    CString RowFOSText(int nRow) const;
    int PlotCircle(int nRow, T_VD_FOS_TVCKVR_D& rec);
    int PlotPolyline(int nRow, T_VD_FOS_TVCKVR_D& rec);
    void ShowError();

    CComboBox m_cobxCase;
    CComboBox m_cobxFont;
    CEditUnit m_editWidth;
    CSpinButtonCtrl m_spinWidth;
    CExtListCtrl m_lstFOS;
    CColourButton m_btnColour;
    CString m_strWidth;

    CDBBase* m_pDB = nullptr;
    unsigned int m_nAcasK = 0;
    unsigned int m_nLegrK = 0;
    T_LEGR_D m_legr;
    CArray<unsigned int, unsigned int> m_aLeplK;
    T_LEPL_D m_lepl;
    T_CIRC2D_CASE m_circ;
    int m_nRadiusCount = 0;
    std::vector<T_CENTRE> m_aCentre;
    CArray<T_POINT3D, T_POINT3D&> m_aPoint;
    CArray<T_ARC_WIRE, T_ARC_WIRE&> m_aArcWire;
    CArray<T_SEG_WIRE, T_SEG_WIRE&> m_aSegWire;
    int m_nMinRow = 0;
    int m_nMaxRow = 0;
    double* m_pFactor = nullptr;
    int m_nFactorCount = 0;
};
