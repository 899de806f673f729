// The flow-quantity dialog: sums the nodal seepage flow quantity of the chosen step over the
// nodes that the user picks in the view or types as a list, and shows the total. A picking
// dialog, created anew on each request; it shows no display of its own.
#pragma once
#include "core/KVPvsExport.h"

#include "dialogs/DialogControlIds.h"

#include "CobxPsif.h"
#include "SelectMeshDialog.h"
#include "TextUnit.h"

class KV_PVS_API CDlgFlowQuantityTKVR : public CSelectMeshDialog {
    DECLARE_DYNAMIC(CDlgFlowQuantityTKVR)
    DECLARE_MESSAGE_MAP()
public:
    enum { IDD = IDD_FLOWQUANTITYTKVR };
    explicit CDlgFlowQuantityTKVR(CWnd* pParent);
    ~CDlgFlowQuantityTKVR() override;

    BOOL Create(CWnd* pParent) override;
    // The flow-quantity row of the chosen step; FALSE (with the message where one is due)
    // when there is none.
    BOOL GetFlowQuantityPVtifK(unsigned int& nKey);

protected:
    void DoDataExchange(CDataExchange* pDX) override;
    BOOL OnInitDialog() override;
    void SelectionCallback(const CArray<unsigned int, unsigned int>& aKeys) override;

    void OnSelchangeResultSet() { m_cobxSet.UpdateChild(0, 0); }
    void OnCalculate();
    void OnReset();

private:
    void ShowMessage(const char* pszText) { MessageBox(pszText, "", MB_OK); }

    CDBDoc* m_pDoc = nullptr;
    CTextUnit m_txtUnit;
    CCobxPLsif m_cobxStep;
    CCobxPOsif m_cobxSet;
    CString m_strNodes;
    CString m_strTotal;
};
