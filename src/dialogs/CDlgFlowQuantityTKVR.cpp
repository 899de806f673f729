#include "dialogs/CDlgFlowQuantityTKVR.h"

#include "dialogs/CaseCombos.h"

#include "FactoryPVS.h"
#include "NodeListText.h"
#include "PostCtrlBase.h"
#include "QSort.h"

#include <cmath>
#include <cstdio>

IMPLEMENT_DYNAMIC(CDlgFlowQuantityTKVR, CSelectMeshDialog)

namespace {

constexpr int kClassNodeSeepage = 38;
constexpr std::uint64_t kCodeFlowQuantity = 3;
constexpr int kUnitFlowQuantity = 38;

const bool g_bTemplate = [] {
    AfxRegisterDialogTemplate(CDlgFlowQuantityTKVR::IDD, AFX_DLGTEMPLATE_D{"Flow quantity", 160, {
        {IDC_FQ_RESULTSET, AFX_CTL_COMBO, "", 0},
        {IDC_FQ_STEP, AFX_CTL_COMBO, "", 0},
        {IDC_FQ_NODES, AFX_CTL_EDIT, "", 0},
        {IDC_FQ_CALCULATE, AFX_CTL_BUTTON, "Calculate", 0},
        {IDC_FQ_TOTAL, AFX_CTL_EDIT, "", ES_READONLY},
        {IDC_FQ_UNIT, AFX_CTL_CUSTOM, "", 0},
        {IDC_FQ_RESET, AFX_CTL_BUTTON, "Reset", 0},
    }});
    return true;
}();

} // namespace

BEGIN_MESSAGE_MAP(CDlgFlowQuantityTKVR, CSelectMeshDialog)
ON_CBN_SELCHANGE(IDC_FQ_RESULTSET, OnSelchangeResultSet)
ON_BN_CLICKED(IDC_FQ_CALCULATE, OnCalculate)
ON_BN_CLICKED(IDC_FQ_RESET, OnReset)
END_MESSAGE_MAP()

CDlgFlowQuantityTKVR::CDlgFlowQuantityTKVR(CWnd* pParent) : CSelectMeshDialog(IDD, pParent)
{
    (void)g_bTemplate;
    m_pDoc = CDBDoc::GetDocPoint();
}

CDlgFlowQuantityTKVR::~CDlgFlowQuantityTKVR() = default;

BOOL CDlgFlowQuantityTKVR::Create(CWnd* pParent) { return CSelectMeshDialog::Create(pParent); }

void CDlgFlowQuantityTKVR::DoDataExchange(CDataExchange* pDX)
{
    CSelectMeshDialog::DoDataExchange(pDX);
    DDX_Control(pDX, IDC_FQ_UNIT, m_txtUnit);
    DDX_Control(pDX, IDC_FQ_STEP, m_cobxStep);
    DDX_Control(pDX, IDC_FQ_RESULTSET, m_cobxSet);
    DDX_Text(pDX, IDC_FQ_NODES, m_strNodes);
    DDX_Text(pDX, IDC_FQ_TOTAL, m_strTotal);
}

BOOL CDlgFlowQuantityTKVR::OnInitDialog()
{
    CSelectMeshDialog::OnInitDialog();
    m_txtUnit.SetUnitType(kUnitFlowQuantity);
    // Without result sets the set combo is emptied all the same.
    m_cobxSet.ResetContent();
    kvpvs::dialogs::ChainCaseCombos(m_pDoc, m_cobxSet, {&m_cobxStep});
    SetSelectMode(1);
    return TRUE;
}

void CDlgFlowQuantityTKVR::SelectionCallback(const CArray<unsigned int, unsigned int>& aKeys)
{
    UpdateData(TRUE);
    CClassNode nodes(m_pDoc ? m_pDoc->GetModelDB() : nullptr);
    CArray<unsigned int, unsigned int> numbers;
    for (int i = 0; i < aKeys.GetSize(); ++i)
        if (const unsigned int nNo = nodes.GetNodeNoByKey(aKeys[i]))
            numbers.Add(nNo);
    CQSort::QSortUInt(numbers);
    m_strNodes = CNumericOptimizer::Optimize(numbers);
    UpdateData(FALSE);
}

void CDlgFlowQuantityTKVR::OnReset()
{
    SetSelectMode(1);
    m_strNodes = "";
    UpdateData(FALSE);
    RemoveAllTemporary(1);
}

BOOL CDlgFlowQuantityTKVR::GetFlowQuantityPVtifK(unsigned int& nKey)
{
    nKey = 0;
    const unsigned int nSet = m_cobxSet.GetSelKey();
    T_POSIF_D set;
    if (!m_pDoc || nSet == 0 || !CClassPOsif(m_pDoc->GetPostDB()).Get(nSet, set))
        return FALSE;
    const unsigned int nStep = m_cobxStep.GetSelKey();
    if (nStep == 0)
        return FALSE;
    CClassPVtif rows(m_pDoc->GetPostDB());
    CArray<unsigned int, unsigned int> keys;
    rows.GetKeyListByLSifK(nStep, 0, keys);
    if (keys.GetSize() == 0) {
        ShowMessage("[Error] No result exist in current step");
        return FALSE;
    }
    for (int i = 0; i < keys.GetSize(); ++i) {
        T_PVTIF_D r;
        // The component code's two words: 3 (flow quantity) and 0.
        if (rows.Get(keys[i], r) && r.nResultClass == kClassNodeSeepage && r.nCompCode == kCodeFlowQuantity) {
            nKey = keys[i];
            return TRUE;
        }
    }
    ShowMessage("[Error] No node flow quantity exist in current step");
    return FALSE;
}

void CDlgFlowQuantityTKVR::OnCalculate()
{
    UpdateData(TRUE);
    unsigned int nRow = 0;
    if (!GetFlowQuantityPVtifK(nRow))
        return;
    if (m_strNodes.IsEmpty()) {
        ShowMessage("Not exist nodes");
        return;
    }
    CArray<unsigned int, unsigned int> numbers;
    if (!CStrParser::GetNodeList(m_strNodes, numbers)) {
        ShowMessage("Invalid nodes");
        return;
    }
    if (numbers.GetSize() == 0) {
        ShowMessage("Not exist nodes");
        return;
    }
    CClassNode nodes(m_pDoc->GetModelDB());
    CArray<unsigned int, unsigned int> keys;
    for (int i = 0; i < numbers.GetSize(); ++i)
        keys.Add(nodes.GetNodeKeyByNo(numbers[i]));

    double dTotal = 0.0;
    int nCounted = 0;
    CPostCtrlBase* pCtrl = CPDataBaseNeutral::GetPostCtrl(m_pDoc->GetPostDB());
    if (pCtrl && pCtrl->BeginQueryRow(nRow)) {
        IQueryPVS* pQuery = IQueryPVS::Instance();
        for (int i = 0; i < keys.GetSize(); ++i) {
            if (keys[i] == 0)
                continue;
            const unsigned int nId = pQuery ? pQuery->GetNodeKeyOrId(keys[i], nullptr) : keys[i];
            double dValue = 0.0;
            int nCount = 0;
            // A value that is no finite number counts as no value.
            if (pCtrl->GetNodeResult(nId, nRow, nCount, &dValue, 1) && nCount > 0 && std::isfinite(dValue)) {
                dTotal += dValue;
                ++nCounted;
            }
        }
        pCtrl->EndQueryRow();
    }
    if (nCounted == 0 || !std::isfinite(dTotal)) {
        ShowMessage("Invalid nodes");
        return;
    }
    char buf[64];
    std::snprintf(buf, sizeof buf, "%g", dTotal);
    m_strTotal = buf;
    UpdateData(FALSE);
}
