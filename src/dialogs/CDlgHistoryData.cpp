#include "dialogs/CDlgHistoryData.h"

#include "dialogs/DialogEntryGuard.h"
#include "dialogs/HistoryGraphView.h"

#include "ClassPGrph.h"
#include "Comp2ResultType.h"
#include "PostCtrlBase.h"
#include "XYGraphFuncView.h"

#include <algorithm>
#include <cstdlib>

IMPLEMENT_DYNAMIC(CDlgHistoryData, CPVSDlgModalessBase)

CDlgHistoryData* CDlgHistoryData::m_pMySelf = nullptr;
T_MODELESS_DLG_REG_D CDlgHistoryData::m_reg;

namespace {

constexpr int kHysteresisType = 2;

const bool g_bTemplate = [] {
    AfxRegisterDialogTemplate(CDlgHistoryData::IDD, AFX_DLGTEMPLATE_D{"History Data", 200, {
        {IDC_HDATA_TIME_GRAPH, AFX_CTL_RADIO, "Time Graph", WS_GROUP},
        {IDC_HDATA_HYST_GRAPH, AFX_CTL_RADIO, "Hysteresis Graph", 0},
        {IDC_HDATA_LIST, AFX_CTL_CHECKLIST, "", WS_GROUP},
        {IDC_HDATA_XGRAPH, AFX_CTL_COMBO, "", 0},
        {IDC_HDATA_TITLE, AFX_CTL_EDIT, "", 0},
        {IDC_HDATA_X_TITLE, AFX_CTL_EDIT, "", 0},
        {IDC_HDATA_X_DECIMAL, AFX_CTL_EDIT, "", 0},
        {IDC_HDATA_X_EXPONENTIAL, AFX_CTL_CHECK, "Exponential", 0},
        {IDC_HDATA_Y_TITLE, AFX_CTL_EDIT, "", 0},
        {IDC_HDATA_Y_DECIMAL, AFX_CTL_EDIT, "", 0},
        {IDC_HDATA_Y_EXPONENTIAL, AFX_CTL_CHECK, "Exponential", 0},
        {IDC_HDATA_APPLY, AFX_CTL_BUTTON, "Apply", 0},
        {IDC_HDATA_CLOSE, AFX_CTL_BUTTON, "Close", 0},
    }});
    return true;
}();

// An item of n values of a as "%e" texts.
std::unique_ptr<T_GRAPH_ITEM_D> MakeItem(const CString& strName, const CArray<double, double>& a, int n)
{
    auto p = std::make_unique<T_GRAPH_ITEM_D>();
    p->strName = strName;
    p->nKind = kvpvs::dialogs::kGraphItemKind;
    kvpvs::dialogs::FillGraphValues(*p, a, n);
    return p;
}

// Appends the X and Y items of one curve, both cut to the shorter array.
void AppendCurve(T_GRAPH_D& graph, const CString& strName, const CArray<double, double>& aX,
                 const CArray<double, double>& aY)
{
    const int n = std::min(aX.GetSize(), aY.GetSize());
    auto pX = MakeItem(strName, aX, n);
    auto pY = MakeItem(strName, aY, n);
    graph.aItem.Add(pX.release());
    graph.aItem.Add(pY.release());
}

} // namespace

BEGIN_MESSAGE_MAP(CDlgHistoryData, CPVSDlgModalessBase)
ON_BN_CLICKED(IDC_HDATA_APPLY, OnKvpvsGrphApply)
ON_LBN_SELCHANGE(IDC_HDATA_LIST, OnSelchangeKvpvsGrphList)
ON_CBN_SELCHANGE(IDC_HDATA_XGRAPH, OnSelchangeKvpvsXGrphList)
ON_BN_CLICKED(IDC_HDATA_TIME_GRAPH, OnKvpvsChangeGrphType)
ON_BN_CLICKED(IDC_HDATA_HYST_GRAPH, OnKvpvsChangeGrphType)
END_MESSAGE_MAP()

CDlgHistoryData::CDlgHistoryData(CWnd* pParent) : CPVSDlgModalessBase(IDD, pParent)
{
    (void)g_bTemplate;
    m_pMySelf = this;
}

CDlgHistoryData::~CDlgHistoryData()
{
    if (m_pMySelf == this)
        m_pMySelf = nullptr;
}

void CDlgHistoryData::CreateOrActivate(CWnd* pParent)
{
    kvpvs::dialogs::RunGuarded(
        [&] { kvpvs::dialogs::CreateOrActivateModeless<CDlgHistoryData>(m_reg, pParent, [](CDlgHistoryData&) {}); });
}

LRESULT CDlgHistoryData::WindowProc(UINT nMsg, WPARAM wParam, LPARAM lParam)
{
    return kvpvs::dialogs::GuardedWindowProc([&] { return CPVSDlgModalessBase::WindowProc(nMsg, wParam, lParam); });
}

void CDlgHistoryData::DoDataExchange(CDataExchange* pDX)
{
    CPVSDlgModalessBase::DoDataExchange(pDX);
    DDX_Control(pDX, IDC_HDATA_XGRAPH, m_cobxXGraph);
    DDX_Control(pDX, IDC_HDATA_LIST, m_lstGraph);
    DDX_Text(pDX, IDC_HDATA_TITLE, m_strTitle);
    DDX_Check(pDX, IDC_HDATA_X_EXPONENTIAL, m_bXExponential);
    DDX_Text(pDX, IDC_HDATA_X_TITLE, m_strXTitle);
    DDX_Text(pDX, IDC_HDATA_Y_DECIMAL, m_strYDecimal);
    kvpvs::dialogs::DDV_DecimalPlaces(pDX, IDC_HDATA_Y_DECIMAL);
    DDX_Text(pDX, IDC_HDATA_X_DECIMAL, m_strXDecimal);
    kvpvs::dialogs::DDV_DecimalPlaces(pDX, IDC_HDATA_X_DECIMAL);
    DDX_Check(pDX, IDC_HDATA_Y_EXPONENTIAL, m_bYExponential);
    DDX_Text(pDX, IDC_HDATA_Y_TITLE, m_strYTitle);
    DDX_Radio(pDX, IDC_HDATA_TIME_GRAPH, m_nGraphType);
}

BOOL CDlgHistoryData::OnInitDialog()
{
    CPVSDlgModalessBase::OnInitDialog();
    UpdateData(FALSE);
    OnKvpvsChangeGrphType();
    return TRUE;
}

void CDlgHistoryData::OnKvpvsChangeGrphType()
{
    if (!UpdateData(TRUE))
        return;
    m_cobxXGraph.EnableWindow(m_nGraphType == 0);
    UpdateListBox(m_nGraphType);
}

void CDlgHistoryData::UpdateListBox(int bHysteresis)
{
    // Both boxes change together once every graph is read.
    CClassPGrph graphs(m_pDoc ? m_pDoc->GetPostDB() : nullptr);
    CArray<unsigned int, unsigned int> keys;
    graphs.GetKeyList(keys);
    kvpvs::dialogs::ListEntries list, combo;
    if (!bHysteresis)
        combo.push_back({"Time", 0, 0});
    for (int i = 0; i < keys.GetSize(); ++i) {
        T_PGRPH_D g;
        if (!graphs.Get(keys[i], g) || (g.nType == kHysteresisType) != (bHysteresis != 0))
            continue;
        list.push_back({g.strName, keys[i], 0});
        if (!bHysteresis)
            combo.push_back({g.strName, keys[i], 0});
    }
    kvpvs::dialogs::ReplaceEntries(m_lstGraph, list);
    if (bHysteresis) {
        m_cobxXGraph.ResetContent();
        return;
    }
    m_cobxXGraph.ResetContent();
    for (const kvpvs::dialogs::T_LIST_ENTRY_D& e : combo)
        m_cobxXGraph.SetItemData(m_cobxXGraph.AddString(e.strText), e.nData);
    m_cobxXGraph.SetCurSel(0);
}

void CDlgHistoryData::OnSelchangeKvpvsGrphList()
{
    if (!UpdateData(TRUE))
        return;
    const int nSel = m_lstGraph.GetCurSel();
    if (nSel < 0)
        return;
    if (m_nGraphType == 0) {
        m_lstGraph.GetText(nSel, m_strYTitle);
    } else {
        T_PGRPH_D g;
        if (!CClassPGrph(m_pDoc ? m_pDoc->GetPostDB() : nullptr)
                 .Get(static_cast<unsigned int>(m_lstGraph.GetItemData(nSel)), g))
            return;
        m_strXTitle = CWKVRComp2ResultType::GetNameByComID(g.nComID[0]);
        m_strYTitle = CWKVRComp2ResultType::GetNameByComID(g.nComID[1]);
    }
    UpdateData(FALSE);
}

void CDlgHistoryData::OnSelchangeKvpvsXGrphList()
{
    // What the user typed is taken first, so that moving the members back keeps it.
    if (!UpdateData(TRUE) || m_nGraphType != 0)
        return;
    const int nSel = m_cobxXGraph.GetCurSel();
    if (nSel >= 0)
        m_cobxXGraph.GetLBText(nSel, m_strXTitle);
    UpdateData(FALSE);
}

int CDlgHistoryData::GetSelectedList(CArray<unsigned int, unsigned int>& aKey) const
{
    aKey.RemoveAll();
    for (int i = 0; i < m_lstGraph.GetCount(); ++i)
        if (m_lstGraph.GetCheck(i))
            aKey.Add(static_cast<unsigned int>(m_lstGraph.GetItemData(i)));
    return aKey.GetSize();
}

void CDlgHistoryData::GetSelectedCbx(unsigned int& nKey) const
{
    const int nSel = m_cobxXGraph.GetCurSel();
    nKey = nSel < 0 ? 0u : static_cast<unsigned int>(m_cobxXGraph.GetItemData(nSel));
}

void CDlgHistoryData::OnKvpvsGrphApply()
{
    if (!UpdateData(TRUE))
        return;
    if (m_nGraphType == 1)
        PlotGraphHystery();
    else
        PlotGraph();
}

void CDlgHistoryData::PlotGraph()
{
    CArray<unsigned int, unsigned int> keys;
    if (GetSelectedList(keys) == 0 || !m_pDoc)
        return;
    unsigned int nXKey = 0;
    GetSelectedCbx(nXKey);
    PlotCurves(keys, nXKey);
}

void CDlgHistoryData::PlotGraphHystery()
{
    CArray<unsigned int, unsigned int> keys;
    if (GetSelectedList(keys) == 0 || !m_pDoc)
        return;
    // Each hysteresis graph is drawn from its own pair of arrays.
    PlotCurves(keys, 0);
}

void CDlgHistoryData::PlotCurves(const CArray<unsigned int, unsigned int>& keys, unsigned int nXKey)
{
    // Owned here until the graph view takes it: every early way out frees it.
    auto pGraph = std::make_unique<T_GRAPH_D>();
    CPostCtrlBase* pCtrl = CPDataBaseNeutral::GetPostCtrl(m_pDoc->GetPostDB());
    if (!pCtrl)
        return;
    CArray<double, double> aXGraph;
    if (nXKey != 0) {
        CArray<double, double> aUnused;
        if (!pCtrl->GetGraphData(nXKey, aUnused, aXGraph))
            return;
    }
    CClassPGrph graphs(m_pDoc->GetPostDB());
    for (int i = 0; i < keys.GetSize(); ++i) {
        T_PGRPH_D g;
        CArray<double, double> aFirst, aSecond;
        if (!graphs.Get(keys[i], g) || !pCtrl->GetGraphData(keys[i], aFirst, aSecond))
            continue;
        const CArray<double, double>& aX = nXKey == 0 ? aFirst : aXGraph;
        if (aX.GetSize() == 0 || aSecond.GetSize() == 0)
            continue;
        AppendCurve(*pGraph, g.strName, aX, aSecond);
    }
    ShowGraph(std::move(pGraph));
}

void CDlgHistoryData::ShowGraph(std::unique_ptr<T_GRAPH_D> pGraph)
{
    kvpvs::dialogs::ShowInGraphView(m_pDoc, std::move(pGraph),
                                    {m_strTitle, m_strXTitle, m_strYTitle, m_strXDecimal, m_strYDecimal,
                                     m_bXExponential, m_bYExponential});
}
