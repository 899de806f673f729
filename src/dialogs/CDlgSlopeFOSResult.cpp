#include "dialogs/CDlgSlopeFOSResult.h"
#include "dialogs/DialogNumbers.h"

#include "ClassAcas.h"
#include "DlgUtil.h"
#include "MsgDll.h"
#include "PVSLegendObjectUserDefMode.h"
#include "PostCtrlGeoTech.h"
#include "UnitCtrl.h"

#include <cmath>
#include <cstdlib>
#include <string>

IMPLEMENT_DYNAMIC(CDlgSlopeFOSResult, CPVSDlgModalessBase)

CDlgSlopeFOSResult* CDlgSlopeFOSResult::m_pMySelf = nullptr;
T_MODELESS_DLG_REG_D CDlgSlopeFOSResult::m_reg;

namespace {

constexpr unsigned int kFOSType = 11;
constexpr int kSlopeAnalysisType = 18;
constexpr double kValidFactor = 0.001; // a factor counts when its magnitude exceeds this

const bool g_bTemplate = [] {
    AfxRegisterDialogTemplate(CDlgSlopeFOSResult::IDD, AFX_DLGTEMPLATE_D{"Slope factor of safety", 160, {
        {IDC_SFOS_CASE, AFX_CTL_COMBO, "", 0},
        {IDC_SFOS_FONT, AFX_CTL_COMBO, "", 0},
        {IDC_SFOS_WIDTH, AFX_CTL_EDIT, "", 0},
        {IDC_SFOS_WIDTH_SPIN, AFX_CTL_SPIN, "", 0},
        {IDC_SFOS_COLOUR, AFX_CTL_CUSTOM, "", 0},
        {IDC_SFOS_LIST, AFX_CTL_LISTCTRL, "", 0},
        {IDC_SFOS_MINIMUM, AFX_CTL_BUTTON, "Minimum", 0},
        {IDC_SFOS_MAXIMUM, AFX_CTL_BUTTON, "Maximum", 0},
        {IDC_SFOS_CLOSE, AFX_CTL_BUTTON, "Close", 0},
    }});
    return true;
}();

T_VD_FOS_TVCKVR_D g_displayRecord;

int CALLBACK KeepOrder(LPARAM, LPARAM, LPARAM) { return 1; }

// A message text with its one "%s" replaced: the text comes from the host's table, so it is not
// handed to a formatter as a format.
CString WithArgument(const char* pszId, const CString& strArg)
{
    std::string s = CMsgDll::pfuncLoadStr(pszId, 0).GetString();
    const size_t n = s.find("%s");
    if (n != std::string::npos)
        s.replace(n, 2, strArg.GetString());
    return CString(s.c_str());
}

CString Number(const char* pszFormat, double d)
{
    CString s;
    s.Format(pszFormat, d);
    return s;
}

bool IsValid(double f) { return std::fabs(f) > kValidFactor; }

} // namespace

BEGIN_MESSAGE_MAP(CDlgSlopeFOSResult, CPVSDlgModalessBase)
ON_CBN_SELCHANGE(IDC_SFOS_CASE, OnSelchangeAnalysisCase)
ON_CBN_SELCHANGE(IDC_SFOS_FONT, OnSelchangeFont)
ON_NOTIFY(NM_CLICK, IDC_SFOS_LIST, OnClickList)
ON_BN_CLICKED(IDC_SFOS_MINIMUM, OnMinimum)
ON_BN_CLICKED(IDC_SFOS_MAXIMUM, OnMaximum)
ON_BN_CLICKED(IDC_SFOS_CLOSE, OnClose)
ON_WM_DESTROY()
END_MESSAGE_MAP()

T_VD_FOS_TVCKVR_D& CDlgSlopeFOSResult::DisplayRecord() { return g_displayRecord; }

CDlgSlopeFOSResult::CDlgSlopeFOSResult(CWnd* pParent) : CPVSDlgModalessBase(IDD, pParent)
{
    (void)g_bTemplate;
    DisplayRecord().Initialize();
    m_pMySelf = this;
}

CDlgSlopeFOSResult::~CDlgSlopeFOSResult()
{
    FreeFactors();
    if (m_pMySelf == this)
        m_pMySelf = nullptr;
}

void CDlgSlopeFOSResult::CreateOrActivate(CWnd* pParent)
{
    // Owned by the caller's window (the launcher passes the active view); the main window without one.
    kvpvs::dialogs::CreateOrActivateModeless<CDlgSlopeFOSResult>(m_reg, pParent ? pParent : AfxGetMainWnd(),
                                                                 [](CDlgSlopeFOSResult&) {});
}

void CDlgSlopeFOSResult::DoDataExchange(CDataExchange* pDX)
{
    CPVSDlgModalessBase::DoDataExchange(pDX);
    DDX_Control(pDX, IDC_SFOS_CASE, m_cobxCase);
    DDX_Control(pDX, IDC_SFOS_FONT, m_cobxFont);
    DDX_Control(pDX, IDC_SFOS_WIDTH, m_editWidth);
    DDX_Control(pDX, IDC_SFOS_WIDTH_SPIN, m_spinWidth);
    DDX_Control(pDX, IDC_SFOS_LIST, m_lstFOS);
    DDX_Control(pDX, IDC_SFOS_COLOUR, m_btnColour);
    DDX_Text(pDX, IDC_SFOS_WIDTH, m_strWidth);
}

BOOL CDlgSlopeFOSResult::OnInitDialog()
{
    CPVSDlgModalessBase::OnInitDialog();
    m_pDB = m_pDoc ? m_pDoc->GetModelDB() : nullptr;
    // Slope cases whose results the post control can give.
    CClassAcas acas(m_pDB);
    CArray<unsigned int, unsigned int> keys;
    acas.GetKeyList(keys, kSlopeAnalysisType);
    auto* pPost = m_pDoc ? dynamic_cast<CPostCtrlGeoTech*>(CPDataBaseNeutral::GetPostCtrl(m_pDoc->GetPostDB())) : nullptr;
    for (int i = 0; i < keys.GetSize() && pPost; ++i) {
        CPostCtrlAnlTypeBase* pCtrl = nullptr;
        T_ACAS_D rec;
        if (!pPost->GetPostCtrlSub(keys[i], &pCtrl) || !pCtrl || !pCtrl->IsResultReady() || !acas.Get(keys[i], rec))
            continue;
        const int n = m_cobxCase.AddString(rec.strName);
        m_cobxCase.SetItemData(n, keys[i]);
    }
    if (m_cobxCase.GetCount() > 0)
        m_cobxCase.SetCurSel(0);
    m_spinWidth.SetRange(1, 100);
    for (int i = 1; i <= 6; ++i) {
        const int n = m_cobxFont.AddString(std::to_string(i).c_str());
        m_cobxFont.SetItemData(n, static_cast<DWORD_PTR>(i));
    }
    OnSelchangeAnalysisCase();
    const T_VD_FOS_TVCKVR_D& rec = DisplayRecord();
    m_btnColour.SetColour(rec.nColor);
    m_strWidth.Format("%d", rec.nLineWidth);
    m_spinWidth.SetPos(rec.nLineWidth);
    m_cobxFont.SetCurSel(rec.nLabelSizeLevel - 1);
    UpdateData(FALSE);
    return 1;
}

void CDlgSlopeFOSResult::FreeFactors()
{
    delete[] m_pFactor;
    m_pFactor = nullptr;
    m_nFactorCount = 0;
}

void CDlgSlopeFOSResult::ResetList()
{
    m_lstFOS.DeleteAllItems();
    while (m_lstFOS.GetColumnCount() > 0)
        m_lstFOS.DeleteColumn(0);
}

void CDlgSlopeFOSResult::SetupList()
{
    ResetList();
    m_lstFOS.Initialize(&KeepOrder);
}

void CDlgSlopeFOSResult::OnSelchangeAnalysisCase()
{
    CWaitCursor wait;
    ResetList();
    FreeFactors();
    m_aCentre.clear();
    m_nMinRow = m_nMaxRow = 0;
    m_nLegrK = 0;
    m_aLeplK.RemoveAll();
    m_circ.aCirc.RemoveAll();
    m_nRadiusCount = 0;
    m_nAcasK = static_cast<unsigned int>(CDlgUtil::CobxGetCurSelItemData(&m_cobxCase));

    CArray<unsigned int, unsigned int> aBndr, aKey1, aKey2;
    CDBUtil::GetBndrListByAcas(m_pDB, m_nAcasK, aBndr);
    CDBUtil::GetKeyListByAcas(m_pDB, m_nAcasK, aKey1, aKey2);
    if (aBndr.GetSize() == 0)
        return;
    CClassSlopeBndr bndrs(m_pDB);
    bool bPolylinesTaken = false;
    for (int i = 0; i < aBndr.GetSize(); ++i) {
        T_SLOPE_BNDR_D b;
        if (!bndrs.Get(aBndr[i], b))
            continue;
        if (b.aLegrK.GetSize() > 0) {
            if (m_nLegrK != 0 && m_nLegrK != b.aLegrK[0]) {
                m_nLegrK = 0;
                m_aLeplK.RemoveAll();
                return;
            }
            m_nLegrK = b.aLegrK[0];
        }
        if (b.aLeplK.GetSize() > 0) {
            if (bPolylinesTaken) {
                m_nLegrK = 0;
                m_aLeplK.RemoveAll();
                return;
            }
            m_aLeplK.Copy(b.aLeplK);
            bPolylinesTaken = true;
        }
    }
    const bool bCircles = m_nLegrK != 0, bPolylines = m_aLeplK.GetSize() > 0;
    if (bCircles == bPolylines) {
        m_nLegrK = 0;
        m_aLeplK.RemoveAll();
        return;
    }
    auto* pPost = dynamic_cast<CPostCtrlGeoTech*>(CPDataBaseNeutral::GetPostCtrl(m_pDoc->GetPostDB()));
    T_VD_FOS_TVCKVR_D& rec = DisplayRecord();
    if (bCircles) {
        CClassLegr legr;
        legr.ConnectToDB(m_pDB);
        if (!legr.Get(m_nLegrK, m_legr))
            return;
        CLegrMaker maker(m_nLegrK, aKey2);
        if (!maker.Perform(m_aPoint, m_aArcWire))
            return;
        const int nCentres = maker.GetGridCount();
        m_nRadiusCount = maker.GetRadiusCount();
        if (!legr.GetCircData(m_nLegrK, m_circ))
            return;
        const int n = static_cast<int>(m_circ.aCirc.GetSize());
        // Circle i is centre i / radii, radius i % radii: any other count cannot be read so.
        if (n == 0 || m_nRadiusCount <= 0 || n != nCentres * m_nRadiusCount) {
            m_circ.aCirc.RemoveAll();
            return;
        }
        m_pFactor = new double[static_cast<size_t>(n)];
        m_nFactorCount = n;
        if (!pPost || !pPost->GetSafetyRatio4SAM(m_nAcasK, n, m_pFactor)) {
            FreeFactors();
            m_circ.aCirc.RemoveAll();
            return;
        }
        m_aCentre.resize(static_cast<size_t>(nCentres));
        for (int i = 0; i < nCentres; ++i) {
            T_CENTRE& c = m_aCentre[static_cast<size_t>(i)];
            const int i0 = i * m_nRadiusCount;
            c.a = m_circ.aCirc[i0].a;
            c.b = m_circ.aCirc[i0].b;
            c.dMin = IsValid(m_pFactor[i0]) ? m_pFactor[i0] : 1e+30;
            c.nIndex = i0;
            for (int j = 1; j < m_nRadiusCount; ++j) {
                const double f = m_pFactor[i0 + j];
                if (IsValid(f) && f <= c.dMin) {
                    c.dMin = f;
                    c.nIndex = i0 + j;
                }
            }
            if (c.dMin == 1e+30)
                c.dMin = 0.0;
        }
        // Minimum and maximum over the centres' minima; ties go to the later centre.
        const double d0 = m_aCentre[0].dMin;
        double dMin = std::fabs(d0) >= kValidFactor ? d0 : 1e+30;
        double dMax = std::fabs(d0) >= kValidFactor ? d0 : 1e-30;
        for (const T_CENTRE& c : m_aCentre) {
            if (std::fabs(c.dMin) < kValidFactor)
                continue;
            if (c.dMin >= dMax) {
                dMax = c.dMin;
                m_nMaxRow = c.nIndex;
            }
            if (c.dMin <= dMin) {
                dMin = c.dMin;
                m_nMinRow = c.nIndex;
            }
        }
        FillCircleRows();
        rec.nCriticalIndex = m_nMinRow / m_nRadiusCount;
        return;
    }

    CClassLepl lepl;
    lepl.ConnectToDB(m_pDB);
    if (!lepl.Get(m_aLeplK[0], m_lepl))
        return;
    SetupList();
    const int w = [&] {
        RECT r;
        m_lstFOS.GetWindowRect(&r);
        return static_cast<int>(r.right - r.left);
    }();
    m_lstFOS.AddColInfo(CMsgDll::pfuncLoadStr(IDS_KV_PVS_No, 0), static_cast<int>((w - 20) * 0.15), LVCFMT_LEFT);
    m_lstFOS.AddColInfo(CMsgDll::pfuncLoadStr(IDS_KV_PVS_Poly_Line, 0), static_cast<int>((w - 20) * 0.5), LVCFMT_LEFT);
    m_lstFOS.AddColInfo(CMsgDll::pfuncLoadStr(IDS_KV_PVS_FOS, 0), static_cast<int>((w - 20) * 0.35), LVCFMT_LEFT);
    CLeplMaker maker(m_aLeplK, aKey2);
    if (!maker.Perform(m_aPoint, m_aSegWire))
        return;
    m_nMinRow = m_nMaxRow = 0;
    const int m = static_cast<int>(m_aLeplK.GetSize());
    m_pFactor = new double[static_cast<size_t>(m)];
    m_nFactorCount = m;
    if (!pPost || !pPost->GetSafetyRatio4SAM(m_nAcasK, m, m_pFactor)) {
        FreeFactors();
        return;
    }
    double dMin = std::fabs(m_pFactor[0]) >= kValidFactor ? m_pFactor[0] : 1e+30;
    double dMax = m_pFactor[0];
    for (int i = 0; i < m; ++i) {
        T_LEPL_D row;
        if (!lepl.Get(m_aLeplK[i], row))
            return;
        const double f = m_pFactor[i];
        CStringArray aText;
        CString s;
        s.Format("%d", static_cast<int>(m_aLeplK[i]));
        aText.Add(s);
        aText.Add(row.strName);
        aText.Add(std::fabs(f) < kValidFactor ? CString("N/A") : Number("%.8g", f));
        CDlgUtil::SetListItem(&m_lstFOS, i, aText, static_cast<DWORD_PTR>(i));
        if (f >= dMax) {
            dMax = f;
            m_nMaxRow = i;
        }
        if (std::fabs(f) >= kValidFactor && f <= dMin) {
            dMin = f;
            m_nMinRow = i;
        }
    }
    rec.nCriticalIndex = m_nMinRow;
}

void CDlgSlopeFOSResult::FillCircleRows()
{
    CUnitCtrl* pUnit = CDocCtrl::GetUnitCtrl(m_pDoc);
    const double f = pUnit ? pUnit->GetConvertFactorCurrent(1) : 1.0;
    CString u;
    if (pUnit)
        pUnit->GetUnitSystem(1, u);
    SetupList();
    RECT r;
    m_lstFOS.GetWindowRect(&r);
    const int w = static_cast<int>(r.right - r.left);
    static const char* const kAxes[3][2] = {{"X0(%s)", "Y0(%s)"}, {"Y0(%s)", "Z0(%s)"}, {"X0(%s)", "Z0(%s)"}};
    const int nPlane = m_legr.nPlane >= 0 && m_legr.nPlane <= 2 ? m_legr.nPlane : 0;
    for (const char* pszAxis : kAxes[nPlane]) {
        CString s;
        s.Format(pszAxis, u.GetString());
        m_lstFOS.AddColInfo(s, static_cast<int>((w - 20) * 0.23), LVCFMT_LEFT);
    }
    m_lstFOS.AddColInfo(WithArgument(IDS_KV_PVS_Radius, u), static_cast<int>((w - 20) * 0.23), LVCFMT_LEFT);
    m_lstFOS.AddColInfo(CMsgDll::pfuncLoadStr(IDS_KV_PVS_FOS, 0), static_cast<int>((w - 20) * 0.31), LVCFMT_LEFT);
    for (int i = 0; i < m_circ.aCirc.GetSize() && i < m_nFactorCount; ++i) {
        const T_CIRC2D& c = m_circ.aCirc[i];
        CStringArray aText;
        // Centres with the digits that read back: eight would list 5123457.089 as 5123457.1,
        // and every centre of a grid at 1e8 as 1e+08. The radius is a length: eight digits.
        aText.Add(kvpvs::dialogs::FormatRoundTrip(c.a / f));
        aText.Add(kvpvs::dialogs::FormatRoundTrip(c.b / f));
        aText.Add(Number("%.8g", c.r / f));
        aText.Add(std::fabs(m_pFactor[i]) < kValidFactor ? CString("N/A") : Number("%.8g", m_pFactor[i]));
        CDlgUtil::SetListItem(&m_lstFOS, i, aText, static_cast<DWORD_PTR>(i));
    }
}

CString CDlgSlopeFOSResult::RowFOSText(int nRow) const
{
    return m_lstFOS.GetItemText(nRow, m_nLegrK != 0 ? 3 : 2);
}

void CDlgSlopeFOSResult::ShowError() { MessageBox(CMsgDll::pfuncLoadStr(IDS_KV_PVS_Error_FOS, 0), "", MB_OK); }

int CDlgSlopeFOSResult::Plot(int nMode)
{
    UpdateData(TRUE);
    T_VD_FOS_TVCKVR_D& rec = DisplayRecord();
    rec.nLabelSizeLevel = static_cast<int>(CDlgUtil::CobxGetCurSelItemData(&m_cobxFont));
    rec.nLineWidth = std::atoi(m_strWidth.GetString());
    int r = -1;
    if (nMode == 0)
        r = m_lstFOS.GetSelectedItem();
    else if (nMode == 1)
        r = m_nMinRow;
    else if (nMode == 2)
        r = m_nMaxRow;
    if (r < 0 || r >= m_lstFOS.GetItemCount())
        return 0;
    const int bDone = m_nLegrK != 0 ? PlotCircle(r, rec) : PlotPolyline(r, rec);
    if (!bDone)
        return 0;
    CArray<CString, CString&>& legend = CPVSLegendObjectUserDefMode::m_arLegendDesc;
    legend.RemoveAll();
    CString s = CMsgDll::pfuncLoadStr(IDS_KV_PVS_FOS, 0);
    legend.Add(s);
    s = WithArgument(IDS_KV_PVS_Min, RowFOSText(m_nMinRow));
    legend.Add(s);
    s = WithArgument(IDS_KV_PVS_Max, RowFOSText(m_nMaxRow));
    legend.Add(s);
    kvpvs::dialogs::RequestUserDefDisplay(kFOSType, &rec);
    return 1;
}

int CDlgSlopeFOSResult::PlotCircle(int nRow, T_VD_FOS_TVCKVR_D& rec)
{
    if (RowFOSText(nRow) == "N/A") {
        ShowError();
        return 0;
    }
    const int i = static_cast<int>(m_lstFOS.GetItemData(nRow));
    if (i < 0 || i >= m_circ.aCirc.GetSize() || i >= m_aArcWire.GetSize())
        return 0;
    // The circle is drawn where it was computed: four significant digits of a centre at
    // projected coordinates (a northing of 5e6 m) would move it hundreds of metres off its slope.
    const T_CIRC2D& c = m_circ.aCirc[i];
    const double a = c.a, b = c.b, dRadius = c.r;
    const T_ARC_WIRE& wire = m_aArcWire[i];
    if (wire.aPair.GetSize() < 2) {
        ShowError();
        return 0;
    }
    const int n1 = wire.aPair[0].n1, n2 = wire.aPair[wire.aPair.GetSize() - 1].n2;
    if (n1 < 1 || n1 > m_aPoint.GetSize() || n2 < 1 || n2 > m_aPoint.GetSize())
        return 0;
    rec.nPlotKind = 0;
    rec.nColor = m_btnColour.GetColour();
    rec.nCircleKey = static_cast<int>(m_nLegrK);
    rec.dRadius = dRadius;
    rec.nPlane = m_legr.nPlane;
    rec.aGridFactor.RemoveAll();
    rec.aGridPoint.RemoveAll();
    for (const T_CENTRE& g : m_aCentre) {
        rec.aGridFactor.Add(g.dMin);
        T_POINT3D p = kvdb::PlanePoint(rec.nPlane, g.a, g.b);
        rec.aGridPoint.Add(p);
    }
    const T_POINT3D centre = kvdb::PlanePoint(rec.nPlane, a, b);
    rec.dCentre[0] = centre.x;
    rec.dCentre[1] = centre.y;
    rec.dCentre[2] = centre.z;
    const T_POINT3D& s = m_aPoint[n1 - 1];
    const T_POINT3D& e = m_aPoint[n2 - 1];
    rec.dArcStart[0] = s.x;
    rec.dArcStart[1] = s.y;
    rec.dArcStart[2] = s.z;
    rec.dArcEnd[0] = e.x;
    rec.dArcEnd[1] = e.y;
    rec.dArcEnd[2] = e.z;
    return 1;
}

int CDlgSlopeFOSResult::PlotPolyline(int nRow, T_VD_FOS_TVCKVR_D& rec)
{
    rec.nPlotKind = 1;
    rec.nColor = m_btnColour.GetColour();
    rec.nPolylineKey = std::atoi(m_lstFOS.GetItemText(nRow, 0).GetString());
    CClassLepl lepl;
    lepl.ConnectToDB(m_pDB);
    T_LEPL_D row;
    if (rec.nPolylineKey <= 0 || !lepl.Get(static_cast<unsigned int>(rec.nPolylineKey), row))
        return 0;
    rec.nPlane = row.nPlane;
    rec.dPolylineFactor = std::atof(m_lstFOS.GetItemText(nRow, 2).GetString());
    rec.aPolylinePoint.RemoveAll();
    if (nRow >= m_aSegWire.GetSize() || m_aSegWire[nRow].aPair.GetSize() < 2) {
        ShowError();
        return 0;
    }
    const T_SEG_WIRE& wire = m_aSegWire[nRow];
    for (int k = 0; k < wire.aPair.GetSize(); ++k)
        for (int n : {wire.aPair[k].n1, wire.aPair[k].n2})
            if (n >= 1 && n <= m_aPoint.GetSize())
                rec.aPolylinePoint.Add(m_aPoint[n - 1]);
    return 1;
}

void CDlgSlopeFOSResult::SelectRow(int nRow)
{
    m_lstFOS.SetItemState(-1, 0, LVIS_SELECTED | LVIS_FOCUSED);
    m_lstFOS.SetItemState(nRow, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
    m_lstFOS.EnsureVisible(nRow, FALSE);
}

void CDlgSlopeFOSResult::OnClickList(NMHDR*, LRESULT* pResult)
{
    if (pResult)
        *pResult = 0;
    if (m_lstFOS.GetSelectedItem() >= 0)
        Plot(0);
}

void CDlgSlopeFOSResult::OnMinimum()
{
    SelectRow(m_nMinRow);
    Plot(1);
}

void CDlgSlopeFOSResult::OnMaximum()
{
    SelectRow(m_nMaxRow);
    Plot(2);
}

void CDlgSlopeFOSResult::OnUpdate(CView*, LPARAM lHint, CObject*)
{
    // A new length unit: the circles are shown again in it, without a new query.
    if (lHint == 4 && m_nLegrK != 0 && m_pFactor)
        FillCircleRows();
}

void CDlgSlopeFOSResult::OnClose()
{
    FreeFactors();
    DestroyWindow();
}

void CDlgSlopeFOSResult::OnDestroy()
{
    FreeFactors();
    CPVSDlgModalessBase::OnDestroy();
    kvpvs::dialogs::CloseUserDefDisplay();
}
