// The result-component combination dialog: the user picks up to 26 result rows (symbols "A"
// to "Z"), writes an expression over their symbols and names it; each combination is kept in
// the post-processing state and listed as a row of the output set "Result Component
// Combination", which the host's generic display evaluates. Modal.
#pragma once
#include "core/KVPvsExport.h"

#include "dialogs/DialogControlIds.h"

#include "CobxPsif.h"
#include "DlgMove.h"
#include "ExtListCtrl.h"

#include <vector>

// The result rows of the chosen step, without the excluded item codes; "None" (key 0) when
// none is offered.
class CCobxPVtifResultTypeCompComb : public CCobxPVtifResultTypeFilterBase {
public:
    void ListResultTypes(unsigned int nLSifK) override;
};

class KV_PVS_API CDlgResultCompComb : public CDlgMove {
    DECLARE_DYNAMIC(CDlgResultCompComb)
    DECLARE_MESSAGE_MAP()
public:
    enum { IDD = IDD_RESULTCOMPCOMB };
    static constexpr unsigned int kCombOutputSet = 999999;
    static constexpr int kSymbolCount = 26;

    // A chosen data row and the symbol (0 = "A") it takes in the expression.
    struct T_DATA_ENTRY_D {
        unsigned int nPVtifK = 0;
        int nSymbol = 0;
    };

    explicit CDlgResultCompComb(CWnd* pParent = nullptr);
    ~CDlgResultCompComb() override;

    const std::vector<T_DATA_ENTRY_D>& GetDataEntries() const { return m_aData; }

protected:
    void DoDataExchange(CDataExchange* pDX) override;
    BOOL OnInitDialog() override;
    LRESULT WindowProc(UINT nMsg, WPARAM wParam, LPARAM lParam) override;

    void OnSelchangeSet() { m_cobxSet.UpdateChild(0, 0); }
    void OnSelchangeStep() { m_cobxStep.UpdateChild(0, 0); }
    void OnSelchangeResult() {}
    void OnAddData();
    void OnDelData();
    void OnDelAllData();
    void OnAddComb();
    void OnDelComb();
    void OnDelAllComb();
    void OnClose() { OnOK(); }
    void OnClickCombList(NMHDR* pHdr, LRESULT* pResult);

private:
    int FindFreeSymbol() const;
    // The new row's entity kind and result class (and item code for classes 2, 4 and 5) must
    // match the first entry's; FALSE, with its message where one is due, when they do not.
    BOOL IsCompatible(unsigned int nPVtifK);
    void RefreshDataList();
    void RefreshCombList();
    void DeleteCombinations(const CArray<int, int>& aRows);
    // Writes the combination's result row under nKey in output set 999999; FALSE when the
    // first data row cannot be read.
    BOOL WriteCombRow(unsigned int nKey);
    unsigned int GetCombStep();

    CDBDoc* m_pDoc = nullptr;
    CCobxPVtifResultTypeCompComb m_cobxResult;
    CCobxPOsif m_cobxSet;
    CCobxPLsif m_cobxStep;
    CExtListCtrl m_lstData;
    CExtListCtrl m_lstComb;
    CString m_strExpression;
    CString m_strName;
    std::vector<T_DATA_ENTRY_D> m_aData;
    int m_bSymbolUsed[kSymbolCount] = {};
    CString m_strSymbol[kSymbolCount];
};
