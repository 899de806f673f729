// The beam-element design dialog: the user picks beam elements in the model view and checks
// load cases (stages of a construction-stage analysis case, or linear and nonlinear analysis
// cases); Design writes the beam variant of "KvrDesign.txt" in millimetres and newtons and
// starts the design checker. Opened anew on every request (new, Create, show).
#pragma once
#include "core/KVPvsExport.h"

#include "design/DesignControlIds.h"

#include "CmdSelectionMgr.h"
#include "CoolButton.h"
#include "DBDoc.h"
#include "DBUpdateConnector.h"
#include "GeomDialog.h"

class KV_PVS_API CDlgBeamElementDesign : public CGeomDialog, public CDBUpdateConnector {
    DECLARE_DYNAMIC(CDlgBeamElementDesign)
    DECLARE_MESSAGE_MAP()
public:
    enum { IDD = IDD_BEAMELEMENTDESIGN };
    CDlgBeamElementDesign(CZORDocBase* pDoc, CWnd* pParent);
    ~CDlgBeamElementDesign() override;

    using CGeomDialog::Create;
    BOOL Create(CWnd* pParent) override;
    void OnUpdate(CView* pSender, LPARAM lHint, CObject* pHint) override;

    // 1 when the whole file was written; 0 otherwise (nothing opened, or no case to write).
    int WriteDesignFile();
    // Indexes and item data of the checked case-list entries; their number.
    int GetCheckedCases(CArray<int, int>& aIndex, CArray<unsigned int, unsigned int>& aData) const;
    void FillCaseList();
    void FillAnalysisCaseCombo();
    void RunChecker();

    const CArray<unsigned int, unsigned int>& GetChosenElements() const { return m_aElemK; }
    int m_nCaseKind = 0;            // 0 construction-stage load cases, 1 linear/nonlinear

protected:
    // Every message handler and the framework's own handling, guarded at one point.
    LRESULT WindowProc(UINT nMsg, WPARAM wParam, LPARAM lParam) override;
    void DoDataExchange(CDataExchange* pDX) override;
    BOOL OnInitDialog() override;
    void OnSelectionDone(void* pPickArg) override;

    void OnDesign();
    void OnSelectBeam();
    void OnCaseKind();
    void OnSelchangeAnalysisCase() { FillCaseList(); }

private:
    void ShowSelectionCaption();
    // One load case's line and force rows; aElem ascending.
    void WriteStep(FILE* f, unsigned int nStepK, const CString& strName, const CArray<unsigned int, unsigned int>& aElem);

    CComboBox m_cobxAcas;
    CCheckListBox m_lstCase;
    CCoolButton m_btnSelect;
    CButton m_btnRcBeam, m_btnRcWall, m_btnNewDoc;
    CCmdSelectionMgr m_selMgr;
    CView* m_pView = nullptr;
    CAISContext* m_pContext = nullptr;
    CDBBase* m_pDB = nullptr;
    CArray<unsigned int, unsigned int> m_aElemK;
};
