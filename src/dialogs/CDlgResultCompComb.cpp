#include "dialogs/CDlgResultCompComb.h"

#include "dialogs/CaseCombos.h"
#include "dialogs/DialogEntryGuard.h"

#include "DlgUtil.h"
#include "MsgDll.h"
#include "PostExpression.h"
#include "PostVisualState.h"

#include <set>
#include <string>

IMPLEMENT_DYNAMIC(CDlgResultCompComb, CDlgMove)

namespace {

constexpr unsigned int kCombItem = 709;
constexpr int kCombDispType = 7;
constexpr int kCombStepKind = 1;
constexpr UINT kLabel = 0xFFFF;

const bool g_bTemplate = [] {
    AfxRegisterDialogTemplate(CDlgResultCompComb::IDD, AFX_DLGTEMPLATE_D{"结果分量组合", 420, {
        {kLabel, AFX_CTL_STATIC, "分析组", 0},
        {IDC_RCC_SET, AFX_CTL_COMBO, "", 0},
        {kLabel, AFX_CTL_STATIC, "步骤", 0},
        {IDC_RCC_STEP, AFX_CTL_COMBO, "", 0},
        {kLabel, AFX_CTL_STATIC, "数据", 0},
        {IDC_RCC_RESULT, AFX_CTL_COMBO, "", 0},
        {IDC_RCC_ADD_DATA, AFX_CTL_BUTTON, "添加", 0},
        {IDC_RCC_DEL_DATA, AFX_CTL_BUTTON, "删除", 0},
        {IDC_RCC_DEL_ALL_DATA, AFX_CTL_BUTTON, "删除全部", 0},
        {IDC_RCC_DATA_LIST, AFX_CTL_LISTCTRL, "", 0},
        {IDC_RCC_EXPRESSION, AFX_CTL_EDIT, "", 0},
        {kLabel, AFX_CTL_STATIC, "(ex)  _sqrt(A*A + B*B) / C - 2.0*_abs(D) /3.0", 0},
        {kLabel, AFX_CTL_STATIC, "可使用函数: _sqrt, _abs, _sin, _cos, _tan", 0},
        {IDC_RCC_NAME, AFX_CTL_EDIT, "", 0},
        {IDC_RCC_ADD_COMB, AFX_CTL_BUTTON, "添加", 0},
        {IDC_RCC_DEL_COMB, AFX_CTL_BUTTON, "删除", 0},
        {IDC_RCC_DEL_ALL_COMB, AFX_CTL_BUTTON, "删除全部", 0},
        {IDC_RCC_COMB_LIST, AFX_CTL_LISTCTRL, "", 0},
        {IDC_RCC_CLOSE, AFX_CTL_BUTTON, "关闭", 0},
    }});
    return true;
}();

int AlwaysOne(LPARAM, LPARAM, LPARAM) { return 1; }

BOOL IsItemCheckedClass(int nClass) { return nClass == 2 || nClass == 4 || nClass == 5; }

} // namespace

void CCobxPVtifResultTypeCompComb::ListResultTypes(unsigned int nLSifK)
{
    CClassPVtif rows(m_pDoc ? m_pDoc->GetPostDB() : nullptr);
    CArray<unsigned int, unsigned int> keys;
    if (nLSifK != 0)
        rows.GetKeyListByLSifK(nLSifK, 0, keys);
    int nOffered = 0;
    for (int i = 0; i < keys.GetSize(); ++i) {
        T_PVTIF_D row;
        if (!rows.Get(keys[i], row) || IsExcluded(row.nItem))
            continue;
        SetItemData(AddString(row.strName), keys[i]);
        ++nOffered;
    }
    if (nOffered == 0)
        SetItemData(AddString("None"), 0);
}

BEGIN_MESSAGE_MAP(CDlgResultCompComb, CDlgMove)
ON_CBN_SELCHANGE(IDC_RCC_SET, OnSelchangeSet)
ON_CBN_SELCHANGE(IDC_RCC_STEP, OnSelchangeStep)
ON_CBN_SELCHANGE(IDC_RCC_RESULT, OnSelchangeResult)
ON_BN_CLICKED(IDC_RCC_ADD_DATA, OnAddData)
ON_BN_CLICKED(IDC_RCC_DEL_DATA, OnDelData)
ON_BN_CLICKED(IDC_RCC_DEL_ALL_DATA, OnDelAllData)
ON_BN_CLICKED(IDC_RCC_ADD_COMB, OnAddComb)
ON_BN_CLICKED(IDC_RCC_DEL_COMB, OnDelComb)
ON_BN_CLICKED(IDC_RCC_DEL_ALL_COMB, OnDelAllComb)
ON_BN_CLICKED(IDC_RCC_CLOSE, OnClose)
ON_NOTIFY(NM_CLICK, IDC_RCC_COMB_LIST, OnClickCombList)
END_MESSAGE_MAP()

CDlgResultCompComb::CDlgResultCompComb(CWnd* pParent) : CDlgMove(IDD, pParent)
{
    (void)g_bTemplate;
    m_pDoc = CDBDoc::GetDocPoint();
    for (int i = 0; i < kSymbolCount; ++i)
        m_strSymbol[i] = CString(std::string(1, static_cast<char>('A' + i)));
}

CDlgResultCompComb::~CDlgResultCompComb() = default;

LRESULT CDlgResultCompComb::WindowProc(UINT nMsg, WPARAM wParam, LPARAM lParam)
{
    return kvpvs::dialogs::GuardedWindowProc([&] { return CDlgMove::WindowProc(nMsg, wParam, lParam); });
}

void CDlgResultCompComb::DoDataExchange(CDataExchange* pDX)
{
    CDlgMove::DoDataExchange(pDX);
    DDX_Control(pDX, IDC_RCC_RESULT, m_cobxResult);
    DDX_Control(pDX, IDC_RCC_SET, m_cobxSet);
    DDX_Control(pDX, IDC_RCC_STEP, m_cobxStep);
    DDX_Control(pDX, IDC_RCC_DATA_LIST, m_lstData);
    DDX_Control(pDX, IDC_RCC_COMB_LIST, m_lstComb);
    DDX_Text(pDX, IDC_RCC_EXPRESSION, m_strExpression);
    DDX_Text(pDX, IDC_RCC_NAME, m_strName);
}

BOOL CDlgResultCompComb::OnInitDialog()
{
    CDlgMove::OnInitDialog();
    kvpvs::dialogs::ChainCaseCombos(m_pDoc, m_cobxSet, {&m_cobxStep, &m_cobxResult});

    m_lstData.Initialize(&AlwaysOne);
    m_lstData.AddColInfo(CMsgDll::pfuncLoadStr(IDS_QB_PVS_Result_Comp_Comb_Data, 0), 100, 0);
    m_lstData.AddColInfo(CMsgDll::pfuncLoadStr(IDS_QB_PVS_Result_Comp_Comb_Symbol, 0), 40, 0);
    m_lstData.AddColInfo(CMsgDll::pfuncLoadStr(IDS_QB_PVS_Result_Comp_Comb_Analysis_Set, 0), 70, 0);
    m_lstData.AddColInfo(CMsgDll::pfuncLoadStr(IDS_QB_PVS_Result_Comp_Comb_Step, 0), 70, 0);
    m_lstComb.Initialize(&AlwaysOne);
    m_lstComb.AddColInfo(CMsgDll::pfuncLoadStr(IDS_QB_PVS_Result_Comp_Comb_Combination, 0), 100, 0);
    m_lstComb.AddColInfo(CMsgDll::pfuncLoadStr(IDS_QB_PVS_Result_Comp_Comb_Expression, 0), 100, 0);
    RefreshCombList();
    return TRUE;
}

int CDlgResultCompComb::FindFreeSymbol() const
{
    for (int i = 0; i < kSymbolCount; ++i)
        if (!m_bSymbolUsed[i])
            return i;
    return -1;
}

BOOL CDlgResultCompComb::IsCompatible(unsigned int nPVtifK)
{
    if (m_aData.empty())
        return TRUE;
    CDBBase* pPost = m_pDoc ? m_pDoc->GetPostDB() : nullptr;
    CClassPVtif rows(pPost);
    CClassPEngr entities(pPost);
    T_PVTIF_D first, next;
    T_PENGR_D firstEnt, nextEnt;
    if (!rows.Get(m_aData.front().nPVtifK, first) || !rows.Get(nPVtifK, next) ||
        !entities.Get(first.nEngrK, firstEnt) || !entities.Get(next.nEngrK, nextEnt))
        return FALSE;
    const char* pszError = nullptr;
    if (firstEnt.nKind != nextEnt.nKind)
        pszError = IDS_QB_PVS_Result_Comp_Comb_Error_Diff_entity_type;
    else if (first.nResultClass != next.nResultClass)
        pszError = IDS_QB_PVS_Result_Comp_Comb_Error_Diff_result_type;
    else if (IsItemCheckedClass(first.nResultClass) && first.nItem != next.nItem)
        pszError = IDS_QB_PVS_Result_Comp_Comb_Error_Diff_result_comp;
    if (pszError) {
        MessageBox(CMsgDll::pfuncLoadStr(pszError, 0), "", MB_OK);
        return FALSE;
    }
    return TRUE;
}

void CDlgResultCompComb::OnAddData()
{
    const unsigned int nPVtifK = m_cobxResult.GetSelKey();
    if (nPVtifK == 0)
        return;
    const int nSymbol = FindFreeSymbol();
    if (nSymbol < 0) {
        MessageBox(CMsgDll::pfuncLoadStr(IDS_QB_PVS_Result_Comp_Comb_Error_Symbol_Out_of_Range, 0), "", MB_OK);
        return;
    }
    if (!IsCompatible(nPVtifK))
        return;
    m_aData.push_back({nPVtifK, nSymbol});
    m_bSymbolUsed[nSymbol] = 1;
    RefreshDataList();
}

void CDlgResultCompComb::RefreshDataList()
{
    m_lstData.DeleteAllItems();
    for (int& b : m_bSymbolUsed)
        b = 0;
    for (const T_DATA_ENTRY_D& e : m_aData)
        m_bSymbolUsed[e.nSymbol] = 1;
    CDBBase* pPost = m_pDoc ? m_pDoc->GetPostDB() : nullptr;
    for (size_t i = 0; i < m_aData.size(); ++i) {
        T_PVTIF_D row;
        T_PLSIF_D step;
        T_POSIF_D set;
        if (!CClassPVtif(pPost).Get(m_aData[i].nPVtifK, row) || !CClassPLsif(pPost).Get(row.nStepK, step) ||
            !CClassPOsif(pPost).Get(step.nOsifK, set))
            continue;
        CStringArray texts;
        texts.Add(row.strName);
        texts.Add(m_strSymbol[m_aData[i].nSymbol]);
        texts.Add(set.strName);
        texts.Add(step.strName);
        CDlgUtil::SetListItem(&m_lstData, m_lstData.GetItemCount(), texts, i);
    }
}

void CDlgResultCompComb::OnDelData()
{
    CArray<int, int> rows;
    CDlgUtil::GetSelectedListItemIndex(&m_lstData, rows);
    std::set<size_t> selected;
    for (int i = 0; i < rows.GetSize(); ++i)
        selected.insert(static_cast<size_t>(m_lstData.GetItemData(rows[i])));
    for (size_t i = m_aData.size(); i-- > 0;)
        if (selected.count(i)) {
            m_bSymbolUsed[m_aData[i].nSymbol] = 0;
            m_aData.erase(m_aData.begin() + static_cast<std::ptrdiff_t>(i));
        }
    RefreshDataList();
}

void CDlgResultCompComb::OnDelAllData()
{
    m_aData.clear();
    RefreshDataList();
}

void CDlgResultCompComb::RefreshCombList()
{
    m_lstComb.DeleteAllItems();
    CPostVisualState* pState = CPostVisualState::Instance();
    CArray<unsigned int, unsigned int> keys;
    pState->GetCompCombKeyList(keys);
    for (int i = 0; i < keys.GetSize(); ++i) {
        T_PCOMP_COMB_D comb;
        if (!pState->GetCompCombD(keys[i], comb))
            continue;
        CStringArray texts;
        texts.Add(comb.strName);
        texts.Add(comb.strExpression);
        CDlgUtil::SetListItem(&m_lstComb, m_lstComb.GetItemCount(), texts, keys[i]);
    }
}

void CDlgResultCompComb::OnAddComb()
{
    UpdateData(TRUE);
    if (m_aData.empty() || m_strName.IsEmpty() || m_strExpression.IsEmpty())
        return;
    T_PCOMP_COMB_D comb;
    comb.strName = m_strName;
    comb.strExpression = m_strExpression;
    CStringArray symbols;
    for (const T_DATA_ENTRY_D& e : m_aData) {
        comb.aPVtifK.Add(e.nPVtifK);
        comb.aSymbol.Add(e.nSymbol);
        symbols.Add(m_strSymbol[e.nSymbol]);
    }
    CString strError;
    if (!CPostExpression::CheckExpression(m_strExpression, symbols, strError)) {
        MessageBox(strError, "", MB_OK);
        return;
    }
    CDBBase* pPost = m_pDoc ? m_pDoc->GetPostDB() : nullptr;
    T_PVTIF_D first;
    // A combination whose first row is gone would be listed without a result row.
    if (!CClassPVtif(pPost).Get(m_aData.front().nPVtifK, first))
        return;
    const unsigned int nKey = CClassPVtif(pPost).GetNewKey();
    if (nKey == 0)
        return;
    CPostVisualState::Instance()->AddCompComb(nKey, comb);
    WriteCombRow(nKey);
    RefreshCombList();
}

unsigned int CDlgResultCompComb::GetCombStep()
{
    CDBBase* pPost = m_pDoc->GetPostDB();
    CClassPOsif sets(pPost);
    CClassPLsif steps(pPost);
    if (!sets.Exist(kCombOutputSet)) {
        T_POSIF_D set;
        set.strName = "Result Component Combination";
        sets.Set(kCombOutputSet, set);
    } else {
        CArray<unsigned int, unsigned int> keys;
        steps.GetKeyListByPOsifK(kCombOutputSet, keys, nullptr);
        if (keys.GetSize() > 0)
            return keys[0];
    }
    T_PLSIF_D step;
    step.nOsifK = kCombOutputSet;
    step.nStepKind = kCombStepKind;
    step.strName = "Dummy Step";
    const unsigned int nStepK = steps.GetNewKey();
    steps.Set(nStepK, step);
    return nStepK;
}

BOOL CDlgResultCompComb::WriteCombRow(unsigned int nKey)
{
    CClassPVtif rows(m_pDoc ? m_pDoc->GetPostDB() : nullptr);
    T_PVTIF_D first;
    if (m_aData.empty() || !rows.Get(m_aData.front().nPVtifK, first))
        return FALSE;
    T_PVTIF_D row(first);
    row.nItem = kCombItem;
    row.nStepK = GetCombStep();
    row.nDispType = kCombDispType;
    row.strName = m_strName;
    row.strName += "(";
    row.strName += m_strExpression;
    row.strName += ")";
    row.aComp.RemoveAll();
    row.aDgrmPos.RemoveAll();
    // Diagram classes keep the first row's values: the host places the combined values by them.
    if (first.nResultClass == 4 || first.nResultClass == 5)
        row.aDgrmPos.Copy(first.aDgrmPos);
    return rows.Set(nKey, row);
}

void CDlgResultCompComb::DeleteCombinations(const CArray<int, int>& aRows)
{
    CClassPVtif rows(m_pDoc ? m_pDoc->GetPostDB() : nullptr);
    for (int i = 0; i < aRows.GetSize(); ++i) {
        const auto nKey = static_cast<unsigned int>(m_lstComb.GetItemData(aRows[i]));
        CPostVisualState::Instance()->DelCompComb(nKey);
        rows.Delete(nKey);
    }
    RefreshCombList();
}

void CDlgResultCompComb::OnDelComb()
{
    CArray<int, int> sel;
    CDlgUtil::GetSelectedListItemIndex(&m_lstComb, sel);
    DeleteCombinations(sel);
}

void CDlgResultCompComb::OnDelAllComb()
{
    CArray<int, int> all;
    for (int i = 0; i < m_lstComb.GetItemCount(); ++i)
        all.Add(i);
    DeleteCombinations(all);
}

void CDlgResultCompComb::OnClickCombList(NMHDR*, LRESULT* pResult)
{
    if (pResult)
        *pResult = 0;
    CArray<int, int> sel;
    if (CDlgUtil::GetSelectedListItemIndex(&m_lstComb, sel) == 0)
        return;
    T_PCOMP_COMB_D comb;
    if (!CPostVisualState::Instance()->GetCompCombD(static_cast<unsigned int>(m_lstComb.GetItemData(sel[0])), comb))
        return;
    m_aData.clear();
    const int n = comb.aPVtifK.GetSize() < comb.aSymbol.GetSize() ? comb.aPVtifK.GetSize() : comb.aSymbol.GetSize();
    for (int i = 0; i < n; ++i)
        // A stored symbol outside "A" to "Z" would index past the symbol tables.
        if (comb.aSymbol[i] >= 0 && comb.aSymbol[i] < kSymbolCount)
            m_aData.push_back({comb.aPVtifK[i], comb.aSymbol[i]});
    m_strName = comb.strName;
    m_strExpression = comb.strExpression;
    RefreshDataList();
    UpdateData(FALSE);
}
