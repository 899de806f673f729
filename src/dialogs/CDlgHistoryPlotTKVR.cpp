#include "dialogs/CDlgHistoryPlotTKVR.h"

#include "dialogs/DialogEntryGuard.h"
#include "timehistory/CPVSTHEngine.h"

#include "ClassAcas.h"
#include "DBTransaction.h"
#include "MsgDll.h"
#include "PVSUtilFunc.h"
#include "PostCtrlGeoTech.h"
#include "ThisInfo.h"
#include "UnitCtrl.h"

#include <algorithm>
#include <cmath>

IMPLEMENT_DYNAMIC(CDlgHistoryPlotTKVR, CPVSDlgModalessBase)

CDlgHistoryPlotTKVR* CDlgHistoryPlotTKVR::m_pMySelf = nullptr;
T_MODELESS_DLG_REG_D CDlgHistoryPlotTKVR::m_reg;

namespace {

constexpr int kTimeHistoryCase = 4;
constexpr int kResultTypes = 13;
// Point tables of a damped sine: 36 points a period over ten periods, at most 5000 points.
constexpr double kPointsPerPeriod = 36.0;
constexpr double kPeriods = 10.0;
constexpr int kMaxIntervals = 4999;
constexpr double kTimeTolerance = 1e-13;
constexpr double kPi = 3.14159265358979323846;

const bool g_bTemplate = [] {
    AfxRegisterDialogTemplate(CDlgHistoryPlotTKVR::IDD, AFX_DLGTEMPLATE_D{"Time History Plot", 260, {
        {IDC_HPTK_CASE, AFX_CTL_COMBO, "", 0},
        {IDC_HPTK_STEP, AFX_CTL_COMBO, "", 0},
        {IDC_HPTK_RESULT_TYPE, AFX_CTL_COMBO, "", 0},
        {IDC_HPTK_COMPONENT, AFX_CTL_COMBO, "", 0},
        {IDC_HPTK_LOCAL, AFX_CTL_RADIO, "Local", WS_GROUP},
        {IDC_HPTK_GLOBAL, AFX_CTL_RADIO, "Global", 0},
        {IDC_HPTK_DEFORMED, AFX_CTL_CHECK, "Include Deformed Shape", WS_GROUP},
        {IDC_HPTK_IMMEDIATE, AFX_CTL_CHECK, "Immediate Display", 0},
        {IDC_HPTK_APPLY, AFX_CTL_BUTTON, "Apply", 0},
        {IDC_HPTK_INPUT, AFX_CTL_COMBO, "", 0},
        {IDC_HPTK_INPUT_GRAPH, AFX_CTL_STATIC, "", 0},
        {IDC_HPTK_OUTPUT, AFX_CTL_COMBO, "", 0},
        {IDC_HPTK_OUTPUT_GRAPH, AFX_CTL_STATIC, "", 0},
        {IDC_HPTK_DEFINE, AFX_CTL_BUTTON, "Define Functions...", 0},
        {IDC_HPTK_START_TIME, AFX_CTL_EDIT, "", 0},
        {IDC_HPTK_END_TIME, AFX_CTL_EDIT, "", 0},
        {IDC_HPTK_INCREMENT, AFX_CTL_EDIT, "", 0},
        {IDC_HPTK_DEFAULT_TIME, AFX_CTL_BUTTON, "Default Time", 0},
        {IDC_HPTK_TIME_APPLY, AFX_CTL_BUTTON, "Apply", 0},
        {IDC_HPTK_ANIMATION, AFX_CTL_CHECK, "Animation", 0},
        {IDC_HPTK_CLOSE, AFX_CTL_BUTTON, "Close", 0},
    }});
    return true;
}();

T_VD_HISTPLOT_TVCKVR_D g_record;

const char* const kNodal[] = {"DX", "DY", "DZ", "RX", "RY", "RZ", "DXYZ", "RXYZ"};
const char* const kBeamForce[] = {"Axial", "Shear-y", "Shear-z", "Torsion", "Moment-y", "Moment-z"};
const char* const kBeamStress[] = {"Axial",    "Shear-y",      "Shear-z",    "Bend(+y)",   "Bend(-y)",   "Bend(+z)",
                                   "Bend(-z)", "Combined Max", "Combined 1", "Combined 2", "Combined 3", "Combined 4"};
const char* const kPlstrnStress[] = {"Sxx", "Syy", "Szz", "Sxy"};
const char* const kPlstrnStrain[] = {"Exx", "Eyy", "Ezz", "Exy"};
const char* const kSolidStress[] = {"Sxx", "Syy", "Szz", "Sxy", "Syz", "Sxz"};
const char* const kSolidStrain[] = {"Exx", "Eyy", "Ezz", "Exy", "Eyz", "Exz"};
const char* const kPlateForce[] = {"Fxx", "Fyy", "Fxy", "Mxx", "Myy", "Mxy", "Vxx", "Vyy"};
const char* const kPlateStress[] = {"Sig-xx(Top)",    "Sig-yy(Top)",    "Sig-xy(Top)",
                                    "Sig-xx(Bottom)", "Sig-yy(Bottom)", "Sig-xy(Bottom)"};

struct T_RESULT_TYPE_D {
    const char* pszText; // entry text, or the message id of the first three
    bool bMessage;
    const char* const* pComp;
    int nComp;
};

template <size_t N>
constexpr int Count(const char* const (&)[N])
{
    return static_cast<int>(N);
}

const T_RESULT_TYPE_D kTypes[kResultTypes] = {
    {IDS_PVS_Displacement, true, kNodal, Count(kNodal)},
    {IDS_PVS_Velocity, true, kNodal, Count(kNodal)},
    {IDS_PVS_Acceleration, true, kNodal, Count(kNodal)},
    {"Truss Forces", false, nullptr, 0},
    {"Truss Stresses", false, nullptr, 0},
    {"Beam Forces", false, kBeamForce, Count(kBeamForce)},
    {"Beam Stresses", false, kBeamStress, Count(kBeamStress)},
    {"Plane Strain Stresses", false, kPlstrnStress, Count(kPlstrnStress)},
    {"Plane Strain Strains", false, kPlstrnStrain, Count(kPlstrnStrain)},
    {"Solid Stresses", false, kSolidStress, Count(kSolidStress)},
    {"Solid Strains", false, kSolidStrain, Count(kSolidStrain)},
    {"Plate Unit Force", false, kPlateForce, Count(kPlateForce)},
    {"Plate Stress", false, kPlateStress, Count(kPlateStress)},
};

void FillCombo(CComboBox& combo, const kvpvs::dialogs::ListEntries& entries)
{
    combo.ResetContent();
    for (const kvpvs::dialogs::T_LIST_ENTRY_D& e : entries)
        combo.SetItemData(combo.AddString(e.strText), e.nData);
    combo.SetCurSel(entries.empty() ? -1 : 0);
}

unsigned int SelectedData(const CComboBox& combo)
{
    const int n = combo.GetCurSel();
    return n < 0 ? 0u : static_cast<unsigned int>(combo.GetItemData(n));
}

} // namespace

BEGIN_MESSAGE_MAP(CDlgHistoryPlotTKVR, CPVSDlgModalessBase)
ON_CBN_SELCHANGE(IDC_HPTK_CASE, OnCaseChange)
ON_CBN_SELCHANGE(IDC_HPTK_STEP, OnStepChange)
ON_CBN_SELCHANGE(IDC_HPTK_INPUT, OnInputChange)
ON_CBN_SELCHANGE(IDC_HPTK_OUTPUT, OnOutputChange)
ON_BN_CLICKED(IDC_HPTK_CLOSE, OnCloseButton)
ON_BN_CLICKED(IDC_HPTK_DEFINE, OnDefine)
ON_BN_CLICKED(IDC_HPTK_DEFORMED, OnOptionChange)
ON_CBN_SELCHANGE(IDC_HPTK_COMPONENT, OnOptionChange)
ON_BN_CLICKED(IDC_HPTK_LOCAL, OnOptionChange)
ON_BN_CLICKED(IDC_HPTK_GLOBAL, OnOptionChange)
ON_CBN_SELCHANGE(IDC_HPTK_RESULT_TYPE, OnResultTypeChange)
ON_BN_CLICKED(IDC_HPTK_APPLY, OnApply)
ON_WM_DESTROY()
END_MESSAGE_MAP()

T_VD_HISTPLOT_TVCKVR_D& CDlgHistoryPlotTKVR::DefaultRecord() { return g_record; }

CDlgHistoryPlotTKVR::CDlgHistoryPlotTKVR(CWnd* pParent) : CPVSDlgModalessBase(IDD, pParent)
{
    (void)g_bTemplate;
    m_pMySelf = this;
    g_record.Initialize();
}

CDlgHistoryPlotTKVR::~CDlgHistoryPlotTKVR()
{
    if (m_pMySelf == this)
        m_pMySelf = nullptr;
}

void CDlgHistoryPlotTKVR::CreateOrActivate(CWnd* pParent)
{
    kvpvs::dialogs::RunGuarded([&] {
        kvpvs::dialogs::CreateOrActivateModeless<CDlgHistoryPlotTKVR>(m_reg, pParent, [](CDlgHistoryPlotTKVR&) {});
    });
}

LRESULT CDlgHistoryPlotTKVR::WindowProc(UINT nMsg, WPARAM wParam, LPARAM lParam)
{
    return kvpvs::dialogs::GuardedWindowProc([&] { return CPVSDlgModalessBase::WindowProc(nMsg, wParam, lParam); });
}

unsigned int CDlgHistoryPlotTKVR::VisualDataTypeOf(int nResultType)
{
    if (nResultType >= 0 && nResultType <= 2)
        return 3;
    if (nResultType >= 3 && nResultType <= 6)
        return 6;
    if (nResultType >= 7 && nResultType <= 12)
        return 7;
    return 0;
}

int CDlgHistoryPlotTKVR::GetComponentNames(int nResultType, CStringArray& aName)
{
    aName.RemoveAll();
    if (nResultType < 0 || nResultType >= kResultTypes)
        return 0;
    const T_RESULT_TYPE_D& t = kTypes[nResultType];
    for (int i = 0; i < t.nComp; ++i)
        aName.Add(t.pComp[i]);
    return aName.GetSize();
}

BOOL CDlgHistoryPlotTKVR::RebuildForcingTable(T_THFC_D& rec)
{
    if (rec.nType != 1)
        return TRUE;
    rec.aPoint.RemoveAll();
    const double A = rec.dParam[0], B = rec.dParam[1], f = rec.dParam[2], c = rec.dParam[3], phi = rec.dParam[4];
    if (!(c >= 0.0))
        return FALSE;
    if (!(f > 0.0))
        return TRUE;
    const double dt = 1.0 / (kPointsPerPeriod * f);
    const double tEnd = kPeriods / f;
    // Whole intervals, counted once: adding dt step by step ends short of tEnd.
    const double dIntervals = tEnd / dt + 1e-9;
    if (!std::isfinite(dIntervals) || !(dt > 0.0))
        return FALSE;
    const int n = dIntervals >= kMaxIntervals ? kMaxIntervals : static_cast<int>(std::floor(dIntervals));
    rec.aPoint.SetSize(0, n + 1);
    for (int k = 0; k <= n; ++k) {
        const double t = k * dt;
        const double v = std::exp(-c * t) * (B * t + A) * std::sin(phi * kPi / 180.0 + 2.0 * kPi * f * t);
        if (!std::isfinite(v)) {
            rec.aPoint.RemoveAll();
            return FALSE;
        }
        rec.aPoint.Add(T_THFC_POINT_D{t, v});
    }
    return TRUE;
}

double CDlgHistoryPlotTKVR::ForcingValueAt(const T_THFC_D& rec, double t)
{
    const int n = rec.aPoint.GetSize();
    if (n == 0)
        return 0.0;
    if (n == 1)
        return std::fabs(rec.aPoint[0].dTime - t) < kTimeTolerance ? rec.aPoint[0].dValue : 0.0;
    if (!(t >= rec.aPoint[0].dTime && t <= rec.aPoint[n - 1].dTime))
        return 0.0;
    int lo = 0, hi = n - 1;
    while (hi - lo > 1) {
        const int mid = lo + (hi - lo) / 2;
        if (std::fabs(rec.aPoint[mid].dTime - t) < kTimeTolerance)
            return rec.aPoint[mid].dValue;
        (rec.aPoint[mid].dTime < t ? lo : hi) = mid;
    }
    const T_THFC_POINT_D& a = rec.aPoint[lo];
    const T_THFC_POINT_D& b = rec.aPoint[hi];
    if (std::fabs(a.dTime - t) < kTimeTolerance)
        return a.dValue;
    if (std::fabs(b.dTime - t) < kTimeTolerance)
        return b.dValue;
    return a.dValue + (b.dValue - a.dValue) * (t - a.dTime) / (b.dTime - a.dTime);
}

BOOL CDlgHistoryPlotTKVR::GetForcingValues(T_THFC_D rec, const CArray<double, double>& aTime,
                                           CArray<double, double>& aValue)
{
    aValue.RemoveAll();
    if (!RebuildForcingTable(rec))
        return FALSE;
    aValue.SetSize(aTime.GetSize());
    for (int i = 0; i < aTime.GetSize(); ++i)
        aValue[i] = ForcingValueAt(rec, aTime[i]);
    return TRUE;
}

CDBBase* CDlgHistoryPlotTKVR::MainDB() const { return CDocCtrl::GetDBMain(m_pDoc); }

unsigned int CDlgHistoryPlotTKVR::SelectedCase() const { return SelectedData(m_cobxCase); }

void CDlgHistoryPlotTKVR::DoDataExchange(CDataExchange* pDX)
{
    CPVSDlgModalessBase::DoDataExchange(pDX);
    DDX_Control(pDX, IDC_HPTK_COMPONENT, m_cobxComponent);
    DDX_Control(pDX, IDC_HPTK_STEP, m_cobxStep);
    DDX_Control(pDX, IDC_HPTK_RESULT_TYPE, m_cobxResultType);
    DDX_Control(pDX, IDC_HPTK_OUTPUT, m_cobxOutput);
    DDX_Control(pDX, IDC_HPTK_INPUT, m_cobxInput);
    DDX_Control(pDX, IDC_HPTK_CASE, m_cobxCase);
    DDX_Text(pDX, IDC_HPTK_START_TIME, m_strStartTime);
    DDX_Text(pDX, IDC_HPTK_END_TIME, m_strEndTime);
    DDX_Text(pDX, IDC_HPTK_INCREMENT, m_strIncrement);
    DDX_Check(pDX, IDC_HPTK_ANIMATION, m_bAnimation);
    DDX_Check(pDX, IDC_HPTK_DEFORMED, m_bDeformed);
    DDX_Radio(pDX, IDC_HPTK_LOCAL, m_nCoordinate);
    DDX_Check(pDX, IDC_HPTK_IMMEDIATE, m_bImmediate);
}

BOOL CDlgHistoryPlotTKVR::OnInitDialog()
{
    CPVSDlgModalessBase::OnInitDialog();
    for (CGraphWnd* g : {&m_graphInput, &m_graphOutput}) {
        g->Init(GetDlgItem(g == &m_graphInput ? IDC_HPTK_INPUT_GRAPH : IDC_HPTK_OUTPUT_GRAPH));
        g->SetLButtonDownFunc(&CDlgHistoryPlotTKVR::OnGraphClick);
    }
    m_bInitialising = 1;
    FillCases();
    FillInputFunctions();
    FillOutputFunctions();
    FillResultTypes();
    OnCaseChange();
    ShowInputFunction();
    ShowOutputFunction();
    FillComponents();
    m_bInitialising = 0;
    return TRUE;
}

void CDlgHistoryPlotTKVR::OnDestroy()
{
    CPVSDlgModalessBase::OnDestroy();
    kvpvs::dialogs::CloseUserDefDisplay();
}

void CDlgHistoryPlotTKVR::FillCases()
{
    kvpvs::dialogs::ListEntries cases;
    auto* pPost =
        m_pDoc ? dynamic_cast<CPostCtrlGeoTech*>(CPDataBaseNeutral::GetPostCtrl(m_pDoc->GetPostDB())) : nullptr;
    CClassAcas acas(MainDB());
    CArray<unsigned int, unsigned int> keys;
    acas.GetKeyList(keys);
    for (int i = 0; i < keys.GetSize(); ++i) {
        T_ACAS_D c;
        CPostCtrlAnlTypeBase* pSub = nullptr;
        if (!acas.Get(keys[i], c) || c.nType != kTimeHistoryCase || !pPost || !pPost->GetPostCtrlSub(keys[i], &pSub))
            continue;
        cases.push_back({c.strName, keys[i], 0});
    }
    FillCombo(m_cobxCase, cases);
}

void CDlgHistoryPlotTKVR::FillInputFunctions()
{
    kvpvs::dialogs::ListEntries funcs{{"Default", 0, 0}};
    CClassThfc thfc(MainDB());
    CArray<unsigned int, unsigned int> keys;
    thfc.GetKeyList(keys);
    for (int i = 0; i < keys.GetSize(); ++i) {
        T_THFC_D f;
        if (thfc.Get(keys[i], f))
            funcs.push_back({f.strName, keys[i], 0});
    }
    FillCombo(m_cobxInput, funcs);
}

void CDlgHistoryPlotTKVR::FillOutputFunctions()
{
    kvpvs::dialogs::ListEntries funcs{{"Default", 0, 0}};
    const unsigned int nCaseK = SelectedCase();
    CClassThrd thrd(MainDB());
    CArray<unsigned int, unsigned int> keys;
    thrd.GetKeyList(keys);
    for (int i = 0; i < keys.GetSize(); ++i) {
        T_THRD_D f;
        if (thrd.Get(keys[i], f) && f.nAcasK == nCaseK)
            funcs.push_back({f.strName, keys[i], 0});
    }
    FillCombo(m_cobxOutput, funcs);
}

void CDlgHistoryPlotTKVR::FillResultTypes()
{
    kvpvs::dialogs::ListEntries types;
    for (int i = 0; i < kResultTypes; ++i)
        types.push_back({kTypes[i].bMessage ? CMsgDll::pfuncLoadStr(kTypes[i].pszText, 0) : CString(kTypes[i].pszText),
                         static_cast<DWORD_PTR>(i), 0});
    FillCombo(m_cobxResultType, types);
}

void CDlgHistoryPlotTKVR::FillComponents()
{
    CStringArray names;
    GetComponentNames(m_cobxResultType.GetCurSel(), names);
    kvpvs::dialogs::ListEntries comps;
    for (int i = 0; i < names.GetSize(); ++i)
        comps.push_back({names[i], static_cast<DWORD_PTR>(i), 0});
    FillCombo(m_cobxComponent, comps);
}

void CDlgHistoryPlotTKVR::LoadTimeSteps()
{
    m_aTimeStep.RemoveAll();
    const unsigned int nCaseK = SelectedCase();
    const unsigned int nThisK = nCaseK ? CThisInfo::GetThisKByAcasK(nCaseK) : 0u;
    if (nThisK)
        CClassThis(MainDB()).GetTimeStep(nThisK, m_aTimeStep);
}

void CDlgHistoryPlotTKVR::MoveMarkers(double t)
{
    m_graphInput.SetPosByXValue(t);
    m_graphOutput.SetPosByXValue(t);
}

void CDlgHistoryPlotTKVR::OnCaseChange()
{
    LoadTimeSteps();
    kvpvs::dialogs::ListEntries steps;
    for (int i = 0; i < m_aTimeStep.GetSize(); ++i) {
        CString s;
        s.Format("%g", m_aTimeStep[i]);
        steps.push_back({s, static_cast<DWORD_PTR>(i), 0});
    }
    FillCombo(m_cobxStep, steps);
    if (m_aTimeStep.GetSize() > 0)
        MoveMarkers(m_aTimeStep[0]);
    if (!m_bInitialising) {
        FillOutputFunctions();
        // Both graphs follow the case: its steps, and the output selection that was reset.
        ShowInputFunction();
        ShowOutputFunction();
    }
}

void CDlgHistoryPlotTKVR::OnStepChange()
{
    if (m_bInitialising)
        return;
    const int n = m_cobxStep.GetCurSel();
    if (n >= 0 && n < m_aTimeStep.GetSize())
        MoveMarkers(m_aTimeStep[n]);
    DisplayIfImmediate();
}

void CDlgHistoryPlotTKVR::SetGraph(CGraphWnd& graph, const CArray<double, double>& aX, const CArray<double, double>& aY)
{
    CArray<T_GRPH_D, T_GRPH_D&> pts;
    const int n = std::min(aX.GetSize(), aY.GetSize());
    pts.SetSize(n);
    for (int i = 0; i < n; ++i)
        pts[i] = T_GRPH_D{aX[i], aY[i]};
    graph.SetData(pts);
}

void CDlgHistoryPlotTKVR::SetUnitGraph(CGraphWnd& graph)
{
    CArray<double, double> ones;
    ones.SetSize(m_aTimeStep.GetSize());
    for (int i = 0; i < ones.GetSize(); ++i)
        ones[i] = 1.0;
    SetGraph(graph, m_aTimeStep, ones);
}

void CDlgHistoryPlotTKVR::ShowInputFunction()
{
    const unsigned int nKey = SelectedData(m_cobxInput);
    if (nKey == 0) {
        SetUnitGraph(m_graphInput);
        return;
    }
    T_THFC_D f;
    CArray<double, double> values;
    if (!CClassThfc(MainDB()).Get(nKey, f) || !GetForcingValues(f, m_aTimeStep, values))
        values.RemoveAll();
    SetGraph(m_graphInput, m_aTimeStep, values);
}

void CDlgHistoryPlotTKVR::ShowOutputFunction()
{
    const unsigned int nKey = SelectedData(m_cobxOutput);
    if (nKey == 0) {
        SetUnitGraph(m_graphOutput);
        return;
    }
    CArray<double, double> aTime, aValue;
    T_THRD_D f;
    if (CClassThrd(MainDB()).Get(nKey, f)) {
        CPVSTHEngine engine;
        if (const CArray<double, double>* p = engine.Run(&f))
            aValue.Copy(*p);
        engine.LoadTimeSteps(CThisInfo::GetThisKByAcasK(f.nAcasK));
        aTime.Copy(engine.GetTimeSteps());
    }
    // Values that do not pair with the steps are not drawn.
    if (aTime.GetSize() == 0 || aValue.GetSize() != aTime.GetSize())
        aTime.RemoveAll();
    SetGraph(m_graphOutput, aTime, aValue);
}

void CDlgHistoryPlotTKVR::OnGraphClick(double x, CGraphWnd* pGraph)
{
    CDlgHistoryPlotTKVR* p = m_pMySelf;
    if (!p || !IsWindow(p->m_hWnd))
        return;
    kvpvs::dialogs::RunGuarded([&] {
        (pGraph == &p->m_graphInput ? p->m_graphOutput : p->m_graphInput).SetPosByXValue(x);
        const int n = CPVSUtilFunc::BiSearchInSortData(p->m_aTimeStep, x);
        if (n < 0)
            return;
        p->m_cobxStep.SetCurSel(n);
        p->DisplayIfImmediate();
    });
}

void CDlgHistoryPlotTKVR::OnDefine()
{
    if (CWnd* pMain = AfxGetMainWnd())
        pMain->SendMessage(WM_COMMAND, ID_MAINWND_DEFINE_TH_FUNCTIONS, 0);
}

void CDlgHistoryPlotTKVR::OnResultTypeChange()
{
    FillComponents();
    DisplayIfImmediate();
}

void CDlgHistoryPlotTKVR::OnApply()
{
    if (UpdateData(TRUE))
        Display();
}

void CDlgHistoryPlotTKVR::DisplayIfImmediate()
{
    if (UpdateData(TRUE) && m_bImmediate)
        Display();
}

void CDlgHistoryPlotTKVR::Display()
{
    // Nothing is requested without a case, result type, component and step: an unselected
    // step would be read as step -1.
    const int nCase = m_cobxCase.GetCurSel();
    const int nType = m_cobxResultType.GetCurSel();
    const int nComp = m_cobxComponent.GetCurSel();
    const int nStep = m_cobxStep.GetCurSel();
    if (nCase < 0 || nType < 0 || nComp < 0 || nStep < 0)
        return;
    T_VD_HISTPLOT_TVCKVR_D& r = g_record;
    const T_VD_HISTPLOT_TVCKVR_D before(r);
    r.m_nAcasKey = static_cast<unsigned int>(m_cobxCase.GetItemData(nCase));
    r.m_nResultType = nType;
    r.m_nComponent = nComp;
    r.m_bDeformed = m_bDeformed;
    r.m_nTimeStep = nStep;
    r.m_bGlobal = m_nCoordinate;
    const int bChanged = r.m_nAcasKey != before.m_nAcasKey || r.m_nResultType != before.m_nResultType ||
                         r.m_nComponent != before.m_nComponent || r.m_bDeformed != before.m_bDeformed ||
                         r.m_nTimeStep != before.m_nTimeStep || r.m_bGlobal != before.m_bGlobal;
    kvpvs::dialogs::RequestUserDefDisplay(VisualDataTypeOf(nType), &r, bChanged ? 1 : 0);
}

void CDlgHistoryPlotTKVR::OnUpdate(CView* pSender, LPARAM lHint, CObject* pHint)
{
    if (!IsWindow(m_hWnd))
        return;
    kvpvs::dialogs::RunGuarded([&] {
        if (lHint == 3) {
            auto* h = dynamic_cast<CDBChangeHint*>(pHint);
            if (h && std::any_of(h->m_aViewBuffer.begin(), h->m_aViewBuffer.end(), [](const T_DB_CMD_RECORD_D& r) {
                    return r.nType == CClassThrd::UR_THRD_ADD || r.nType == CClassThrd::UR_THRD_DEL ||
                           r.nType == CClassThrd::UR_THRD_MFS;
                })) {
                FillOutputFunctions();
                ShowOutputFunction();
            }
        } else if (lHint == 4 || lHint == 35) {
            const int nType = m_cobxResultType.GetCurSel();
            if (nType >= 0)
                kvpvs::dialogs::RequestUserDefDisplay(VisualDataTypeOf(nType), &g_record, 1);
        }
    });
    kvpvs::dialogs::RunGuarded([&] { CPVSDlgModalessBase::OnUpdate(pSender, lHint, pHint); });
}
