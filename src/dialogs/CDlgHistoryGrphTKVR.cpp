#include "dialogs/CDlgHistoryGrphTKVR.h"

#include "dialogs/DialogEntryGuard.h"
#include "dialogs/HistoryGraphView.h"
#include "timehistory/CPVSTHCalcPlateFunc.h"
#include "timehistory/CPVSTHCalcPlstrnFunc.h"
#include "timehistory/CPVSTHCalcSolidFunc.h"

#include "ClassAcas.h"
#include "MsgDll.h"
#include "PostResultRecords.h"
#include "UnitCtrl.h"
#include "XYGraphFuncView.h"

#include <algorithm>
#include <cstdlib>
#include <new>
#include <vector>

IMPLEMENT_DYNAMIC(CDlgHistoryGrphTKVR, CPVSDlgModalessBase)

CDlgHistoryGrphTKVR* CDlgHistoryGrphTKVR::m_pMySelf = nullptr;
T_MODELESS_DLG_REG_D CDlgHistoryGrphTKVR::m_reg;

namespace {

const bool g_bTemplate = [] {
    AfxRegisterDialogTemplate(CDlgHistoryGrphTKVR::IDD, AFX_DLGTEMPLATE_D{"Time History Graph", 220, {
        {IDC_HGRPH_FUNC_LIST, AFX_CTL_CHECKLIST, "", 0},
        {IDC_HGRPH_DEFINE, AFX_CTL_BUTTON, "Define/Modify Functions...", 0},
        {IDC_HGRPH_ADD, AFX_CTL_BUTTON, "Add >>", 0},
        {IDC_HGRPH_DELETE, AFX_CTL_BUTTON, "<< Delete", 0},
        {IDC_HGRPH_PLOT_LIST, AFX_CTL_CHECKLIST, "", 0},
        {IDC_HGRPH_XAXIS, AFX_CTL_COMBO, "", 0},
        {IDC_HGRPH_TITLE, AFX_CTL_EDIT, "", 0},
        {IDC_HGRPH_X_TITLE, AFX_CTL_EDIT, "", 0},
        {IDC_HGRPH_X_DECIMAL, AFX_CTL_EDIT, "", 0},
        {IDC_HGRPH_X_EXPONENTIAL, AFX_CTL_CHECK, "Exponential", 0},
        {IDC_HGRPH_Y_TITLE, AFX_CTL_EDIT, "", 0},
        {IDC_HGRPH_Y_DECIMAL, AFX_CTL_EDIT, "", 0},
        {IDC_HGRPH_Y_EXPONENTIAL, AFX_CTL_CHECK, "Exponential", 0},
        {IDC_HGRPH_APPLY, AFX_CTL_BUTTON, "Apply", 0},
        {IDC_HGRPH_CLOSE, AFX_CTL_BUTTON, "Close", 0},
    }});
    return true;
}();

using kvpvs::dialogs::ListEntries;

// The entries of a list without those for which fnDrop says so; the others keep their text,
// data and tick.
template <class Fn>
ListEntries KeptItems(const CCheckListBox& list, Fn fnDrop)
{
    ListEntries kept;
    for (int i = 0; i < list.GetCount(); ++i) {
        if (fnDrop(i))
            continue;
        kvpvs::dialogs::T_LIST_ENTRY_D k;
        list.GetText(i, k.strText);
        k.nData = list.GetItemData(i);
        k.nCheck = list.GetCheck(i);
        kept.push_back(k);
    }
    return kept;
}

} // namespace

BEGIN_MESSAGE_MAP(CDlgHistoryGrphTKVR, CPVSDlgModalessBase)
ON_BN_CLICKED(IDC_HGRPH_DEFINE, OnDefine)
ON_BN_CLICKED(IDC_HGRPH_ADD, OnAdd)
ON_BN_CLICKED(IDC_HGRPH_APPLY, OnApply)
ON_BN_CLICKED(IDC_HGRPH_CLOSE, OnCloseButton)
ON_BN_CLICKED(IDC_HGRPH_DELETE, OnDelete)
END_MESSAGE_MAP()

CDlgHistoryGrphTKVR::CDlgHistoryGrphTKVR(CWnd* pParent) : CPVSDlgModalessBase(IDD, pParent)
{
    (void)g_bTemplate;
    m_pMySelf = this;
}

CDlgHistoryGrphTKVR::~CDlgHistoryGrphTKVR()
{
    if (m_pMySelf == this)
        m_pMySelf = nullptr;
}

void CDlgHistoryGrphTKVR::CreateOrActivate(CWnd* pParent)
{
    kvpvs::dialogs::RunGuarded([&] {
        kvpvs::dialogs::CreateOrActivateModeless<CDlgHistoryGrphTKVR>(m_reg, pParent, [](CDlgHistoryGrphTKVR&) {});
    });
}

LRESULT CDlgHistoryGrphTKVR::WindowProc(UINT nMsg, WPARAM wParam, LPARAM lParam)
{
    return kvpvs::dialogs::GuardedWindowProc([&] { return CPVSDlgModalessBase::WindowProc(nMsg, wParam, lParam); });
}

CDBBase* CDlgHistoryGrphTKVR::MainDB() const { return CDocCtrl::GetDBMain(m_pDoc); }

void CDlgHistoryGrphTKVR::DoDataExchange(CDataExchange* pDX)
{
    CPVSDlgModalessBase::DoDataExchange(pDX);
    DDX_Control(pDX, IDC_HGRPH_XAXIS, m_cobxXAxis);
    DDX_Control(pDX, IDC_HGRPH_PLOT_LIST, m_lstPlot);
    DDX_Control(pDX, IDC_HGRPH_FUNC_LIST, m_lstFunc);
    DDX_Text(pDX, IDC_HGRPH_TITLE, m_strTitle);
    DDX_Check(pDX, IDC_HGRPH_X_EXPONENTIAL, m_bXExponential);
    DDX_Text(pDX, IDC_HGRPH_X_TITLE, m_strXTitle);
    DDX_Text(pDX, IDC_HGRPH_Y_DECIMAL, m_strYDecimal);
    kvpvs::dialogs::DDV_DecimalPlaces(pDX, IDC_HGRPH_Y_DECIMAL);
    DDX_Text(pDX, IDC_HGRPH_X_DECIMAL, m_strXDecimal);
    kvpvs::dialogs::DDV_DecimalPlaces(pDX, IDC_HGRPH_X_DECIMAL);
    DDX_Check(pDX, IDC_HGRPH_Y_EXPONENTIAL, m_bYExponential);
    DDX_Text(pDX, IDC_HGRPH_Y_TITLE, m_strYTitle);
}

BOOL CDlgHistoryGrphTKVR::OnInitDialog()
{
    CPVSDlgModalessBase::OnInitDialog();
    LoadLists();
    UpdateData(FALSE);
    return TRUE;
}

void CDlgHistoryGrphTKVR::LoadLists()
{
    // The three lists change together once all their entries are known.
    CClassThrd thrd(MainDB());
    CArray<unsigned int, unsigned int> keys;
    thrd.GetKeyList(keys);
    ListEntries funcs;
    CMap<UINT, UINT, int, int> present;
    present.InitHashTable(1001);
    for (int i = 0; i < keys.GetSize(); ++i) {
        T_THRD_D rec;
        if (!thrd.Get(keys[i], rec))
            continue;
        funcs.push_back({rec.strName, keys[i], 0});
        present.SetAt(keys[i], 1);
    }
    // A function deleted in the host leaves the plot list too.
    const ListEntries plots =
        KeptItems(m_lstPlot, [&](int i) { return present.PLookup(static_cast<UINT>(m_lstPlot.GetItemData(i))) == nullptr; });

    ListEntries axes;
    axes.push_back({"Time", 0, 0});
    for (const kvpvs::dialogs::T_LIST_ENTRY_D& f : funcs)
        axes.push_back({f.strText, f.nData, 0});
    kvpvs::dialogs::ReplaceEntries(m_lstFunc, funcs, m_lstPlot, plots, m_cobxXAxis, axes);
}

void CDlgHistoryGrphTKVR::OnDefine()
{
    if (CWnd* pMain = AfxGetMainWnd())
        pMain->SendMessage(WM_COMMAND, ID_MAINWND_DEFINE_TH_FUNCTIONS, 0);
}

void CDlgHistoryGrphTKVR::OnAdd()
{
    CMap<UINT, UINT, int, int> inPlot;
    inPlot.InitHashTable(1001);
    for (int i = 0; i < m_lstPlot.GetCount(); ++i)
        inPlot.SetAt(static_cast<UINT>(m_lstPlot.GetItemData(i)), 1);
    ListEntries plots = kvpvs::dialogs::ReadEntries(m_lstPlot);
    const size_t nOld = plots.size();
    CClassThrd thrd(MainDB());
    for (int i = 0; i < m_lstFunc.GetCount(); ++i) {
        if (!m_lstFunc.GetCheck(i))
            continue;
        const auto nKey = static_cast<UINT>(m_lstFunc.GetItemData(i));
        T_THRD_D rec;
        if (inPlot.PLookup(nKey) || !thrd.Get(nKey, rec))
            continue;
        plots.push_back({rec.strName, nKey, 0});
        inPlot.SetAt(nKey, 1);
    }
    if (plots.size() > nOld)
        kvpvs::dialogs::ReplaceEntries(m_lstPlot, plots);
}

void CDlgHistoryGrphTKVR::OnDelete()
{
    const ListEntries kept = KeptItems(m_lstPlot, [&](int i) { return m_lstPlot.GetCheck(i) != 0; });
    if (static_cast<int>(kept.size()) < m_lstPlot.GetCount())
        kvpvs::dialogs::ReplaceEntries(m_lstPlot, kept);
}

BOOL CDlgHistoryGrphTKVR::ComputeFunction(unsigned int nKey, CArray<double, double>& aSeries, T_THRD_D& rec,
                                          T_THRD_D& req)
{
    aSeries.RemoveAll();
    if (!CClassThrd(MainDB()).Get(nKey, rec))
        return FALSE;
    CPVSTHEngine::MakeThrdData(&rec, &req);
    const unsigned int nThisK = CThisInfo::GetThisKByAcasK(req.nAcasK);
    if (!CClassThis(MainDB()).Exist(nThisK)) {
        CString s;
        s.Format(CMsgDll::pfuncLoadStr(IDS_QB_PVS_THST_TFunc_has_not_Time_History_Key, 0), rec.strName.GetString());
        MessageBox(s, "", MB_OK);
        return FALSE;
    }
    if (const CArray<double, double>* p = m_engine.Run(&rec))
        aSeries.Copy(*p);
    return aSeries.GetSize() > 0;
}

int CDlgHistoryGrphTKVR::GetFunctionUnitType(int nCode, int nComponent, int nKind)
{
    switch (nCode) {
    case 1: // nodal displacement, velocity, acceleration
        if (nComponent >= 0 && nComponent <= 5)
            return T_PDISP_D::unit[nComponent];
        if (nComponent >= 10 && nComponent <= 15)
            return 22;
        if (nComponent >= 20 && nComponent <= 25)
            return 21;
        return -1;
    case 2: // truss force, stress
        if (nComponent == 0)
            return T_PSTRT_D::unit[0];
        if (nComponent == 1)
            return T_PSTRT_D::unit[4];
        return -1;
    case 3: // beam forces and moments, stresses: the beam's own table, whose columns carry the
            // units the beam function converts them to (the truss table has no moment columns)
        if (nComponent >= 0 && nComponent <= 5)
            return T_PSTRB_D::unit[nComponent];
        if (nComponent >= 10 && nComponent <= 16)
            return T_PSTRB_D::unit[14];
        return -1;
    case 4: // element results by result kind and component, as the functions convert them
        return CPVSTHCalcPlstrnFunc::GetResultUnitType(nKind, nComponent);
    case 5:
        return CPVSTHCalcPlateFunc::GetResultUnitType(nKind, nComponent);
    case 6:
        return CPVSTHCalcSolidFunc::GetResultUnitType(nKind, nComponent);
    default:
        return -1;
    }
}

CString CDlgHistoryGrphTKVR::MakeUnitLabel(const T_THRD_D& req) const
{
    CString s;
    const int nType = GetFunctionUnitType(req.nCode, req.nComponent, req.nResultKind);
    const CUnitCtrl* pUnit = CDocCtrl::GetUnitCtrl(m_pDoc);
    if (nType >= 0 && pUnit)
        pUnit->GetUnitSystem(nType, s);
    return s;
}

void CDlgHistoryGrphTKVR::OnApply()
{
    if (!UpdateData(TRUE))
        return;
    const int nXSel = m_cobxXAxis.GetCurSel();
    if (nXSel < 0)
        return;
    CArray<unsigned int, unsigned int> ticked;
    for (int i = 0; i < m_lstPlot.GetCount(); ++i)
        if (m_lstPlot.GetCheck(i))
            ticked.Add(static_cast<unsigned int>(m_lstPlot.GetItemData(i)));
    if (ticked.GetSize() == 0)
        return;

    // Owned here until the graph view takes it: every early way out frees it.
    auto pGraph = std::make_unique<T_GRAPH_D>();
    int nFailures = 0;
    const auto nXKey = static_cast<unsigned int>(m_cobxXAxis.GetItemData(nXSel));
    const bool bTimeAxis = nXKey == 0;
    CArray<double, double> aX;
    T_THRD_D xRec, xReq;
    CString strXLabel;
    if (!bTimeAxis) {
        if (!ComputeFunction(nXKey, aX, xRec, xReq))
            ++nFailures;
        strXLabel = MakeUnitLabel(xReq);
    }

    CClassAcas acas(MainDB());
    CClassThis cases(MainDB());
    for (int f = 0; f < ticked.GetSize(); ++f) {
        CArray<double, double> aY;
        T_THRD_D yRec, yReq;
        if (!ComputeFunction(ticked[f], aY, yRec, yReq)) {
            ++nFailures;
            continue;
        }
        const CString strYLabel = MakeUnitLabel(yReq);
        if (bTimeAxis) {
            // A case that cannot be read, or lists no time history, leaves the function out.
            T_ACAS_D c;
            if (!acas.Get(yRec.nAcasK, c))
                continue;
            unsigned int nThisK = 0;
            for (int i = 0; i < c.aItem.GetSize() && nThisK == 0; ++i)
                if (c.aItem[i].nType == 3)
                    nThisK = c.aItem[i].nKey;
            if (nThisK == 0)
                continue;
            cases.GetTimeStep(nThisK, aX);
        }
        const int n = std::min(aX.GetSize(), aY.GetSize());
        if (n == 0) {
            ++nFailures;
            continue;
        }
        auto pXItem = std::make_unique<T_GRAPH_ITEM_D>();
        if (bTimeAxis) {
            pXItem->strName = CMsgDll::pfuncLoadStr(IDS_QB_PVS_Time_sec_, 0);
            pXItem->strLabel = strYLabel;
        } else {
            pXItem->strName = xRec.strName + "(" + strXLabel + ")";
            pXItem->strLabel = strXLabel;
        }
        pXItem->nKind = kvpvs::dialogs::kGraphItemKind;
        kvpvs::dialogs::FillGraphValues(*pXItem, aX, n);
        auto pYItem = std::make_unique<T_GRAPH_ITEM_D>();
        pYItem->strName = yRec.strName;
        pYItem->nKind = kvpvs::dialogs::kGraphItemKind;
        kvpvs::dialogs::FillGraphValues(*pYItem, aY, n);
        pGraph->aItem.Add(pXItem.release());
        pGraph->aItem.Add(pYItem.release());
    }
    // Any failure suppresses the whole graph; only a missing key was reported.
    if (nFailures > 0)
        return;
    ShowGraph(std::move(pGraph));
}

void CDlgHistoryGrphTKVR::ShowGraph(std::unique_ptr<T_GRAPH_D> pGraph)
{
    kvpvs::dialogs::ShowInGraphView(m_pDoc, std::move(pGraph),
                                    {m_strTitle, m_strXTitle, m_strYTitle, m_strXDecimal, m_strYDecimal,
                                     m_bXExponential, m_bYExponential});
}

void CDlgHistoryGrphTKVR::OnUpdate(CView* pSender, LPARAM lHint, CObject* pHint)
{
    if (!IsWindow(m_hWnd))
        return;
    // A reload that fails keeps the lists as they were; the base still hears the hint.
    if (lHint == 3)
        kvpvs::dialogs::RunGuarded([&] {
            if (auto* h = dynamic_cast<CDBChangeHint*>(pHint)) {
                const bool bReload =
                    std::any_of(h->m_aViewBuffer.begin(), h->m_aViewBuffer.end(), [](const T_DB_CMD_RECORD_D& r) {
                        return r.nType == CClassThrd::UR_THRD_ADD || r.nType == CClassThrd::UR_THRD_DEL ||
                               r.nType == CClassThrd::UR_THRD_MFS;
                    });
                if (bReload)
                    LoadLists();
            }
        });
    kvpvs::dialogs::RunGuarded([&] { CPVSDlgModalessBase::OnUpdate(pSender, lHint, pHint); });
}
