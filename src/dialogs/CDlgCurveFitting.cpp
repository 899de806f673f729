#include "dialogs/CDlgCurveFitting.h"
#include "dialogs/DialogEntryGuard.h"
#include "dialogs/DialogNumbers.h"

#include "curvefit/curvefit.h"

#include "DlgUtil.h"
#include "MsgDll.h"

#include <algorithm>
#include <climits>
#include <cmath>
#include <cstdlib>
#include <new>
#include <vector>

IMPLEMENT_DYNAMIC(CDlgCurveFitting, CDlgMove)

CDlgCurveFitting* CDlgCurveFitting::m_pMySelf = nullptr;

namespace {

constexpr int kMinDegree = 1;
constexpr int kMaxDegree = 5;
constexpr UINT kLabel = 0xFFFF;

// The template: the visible controls, then the edit and label outside the visible area.
const bool g_bTemplate = [] {
    AfxRegisterDialogTemplate(CDlgCurveFitting::IDD, AFX_DLGTEMPLATE_D{"曲线拟合", 420, {
        {IDC_CURVEFIT_TITLE, AFX_CTL_STATIC, "", 0},
        {IDC_CURVEFIT_GRAPH, AFX_CTL_STATIC, "", 0},
        {IDC_CURVEFIT_DEGREE, AFX_CTL_EDIT, "", 0},
        {IDC_CURVEFIT_SPIN, AFX_CTL_SPIN, "", 0},
        {IDC_CURVEFIT_LIST, AFX_CTL_LISTCTRL, "", 0},
        {kLabel, AFX_CTL_STATIC, "", 0}, // group box of the position, value and slope rows
        {kLabel, AFX_CTL_STATIC, "位置", 0},
        {IDC_CURVEFIT_POSITION, AFX_CTL_EDIT, "", 0},
        {IDC_CURVEFIT_POS_UNIT, AFX_CTL_STATIC, "", 0},
        {kLabel, AFX_CTL_STATIC, "位移", 0},
        {IDC_CURVEFIT_VALUE, AFX_CTL_EDIT, "", 0},
        {IDC_CURVEFIT_VALUE_UNIT, AFX_CTL_STATIC, "", 0},
        {IDC_CURVEFIT_SLOPE, AFX_CTL_EDIT, "", 0},
        {IDC_CURVEFIT_APPLY, AFX_CTL_BUTTON, "适用", 0},
        {IDC_CURVEFIT_CLOSE, AFX_CTL_BUTTON, "关闭", 0},
        {IDC_CURVEFIT_UNUSED, AFX_CTL_EDIT, "", WS_HIDDEN},
        {kLabel, AFX_CTL_STATIC, "", WS_HIDDEN},
    }});
    return true;
}();

// The list's compare function: rows keep the order they were written in.
int KeepOrder(LPARAM, LPARAM, LPARAM) { return 1; }

// The leading integer of a text as the C library reads it (0 when there is none), saturated
// to int's range so that a long run of digits neither overflows nor wraps.
int ReadInteger(const CString& s)
{
    const long long v = std::strtoll(s.GetString(), nullptr, 10);
    return static_cast<int>(std::clamp<long long>(v, INT_MIN, INT_MAX));
}

// The leading decimal number of a text (0 when there is none). A text that reads as no finite
// number ("nan", "inf", 1e999) is 0 as well: it would put NaN into the value and slope.
double ReadPosition(const CString& s)
{
    const double v = std::strtod(s.GetString(), nullptr);
    return std::isfinite(v) ? v : 0.0;
}

CString FormatE(double v)
{
    CString s;
    s.Format("%.5e", v);
    return s;
}

// The x about which the polynomials are written and evaluated. Powers of x about 0 cancel
// (|x| / spread)^n-fold, so data far from 0 against its spread w (x ~ 5.1e6 with w = 30) lose
// every digit of the fit. x0 stays 0 while the centre c of the points the fit uses (finite x
// and y) lies within w of 0: then |x| <= 1.5 w, at degree 5 at most 3^5 of rounding is gained,
// and results near the origin stay as they were. It stays 0 without a spread too: one point
// or one station has no fit along x to condition (the constant, or the library refuses).
// Otherwise x0 is c rounded to a power of ten p <= w, so |x - x0| <= w, and far from 0
// (|c| >> w) x - x0 is exact.
// Moving the data by a rounding may move x0 by p, or between 0 and c at |c| = w: the
// polynomial then changes its written form only, its values by rounding.
double ReferenceX(const CArray<double, double>& aX, const CArray<double, double>& aY, int m)
{
    double lo = 0.0, hi = 0.0;
    bool bAny = false;
    for (int i = 0; i < m; ++i) {
        if (!std::isfinite(aX[i]) || !std::isfinite(aY[i]))
            continue;
        lo = bAny ? std::min(lo, aX[i]) : aX[i];
        hi = bAny ? std::max(hi, aX[i]) : aX[i];
        bAny = true;
    }
    const double c = 0.5 * lo + 0.5 * hi;
    const double w = hi - lo; // +inf where the points span more than the doubles: x0 stays 0
    if (!bAny || !(w > 0.0) || std::fabs(c) <= w)
        return 0.0;
    const double p = std::pow(10.0, std::floor(std::log10(w)));
    const double x0 = std::round(c / p) * p;
    return std::isfinite(x0) ? x0 : c;
}

} // namespace

BEGIN_MESSAGE_MAP(CDlgCurveFitting, CDlgMove)
ON_NOTIFY(UDN_DELTAPOS, IDC_CURVEFIT_SPIN, OnDeltaposDegree)
ON_BN_CLICKED(IDC_CURVEFIT_APPLY, OnApply)
END_MESSAGE_MAP()

CDlgCurveFitting::CDlgCurveFitting(CWnd* pParent) : CDlgMove(IDD, pParent)
{
    (void)g_bTemplate;
    m_pMySelf = this;
}

CDlgCurveFitting::~CDlgCurveFitting()
{
    if (m_pMySelf == this)
        m_pMySelf = nullptr;
}

void CDlgCurveFitting::DoDataExchange(CDataExchange* pDX)
{
    CDlgMove::DoDataExchange(pDX);
    DDX_Control(pDX, IDC_CURVEFIT_POS_UNIT, m_stcPositionUnit);
    DDX_Control(pDX, IDC_CURVEFIT_SPIN, m_spinDegree);
    DDX_Control(pDX, IDC_CURVEFIT_LIST, m_lstCoef);
    DDX_Control(pDX, IDC_CURVEFIT_VALUE_UNIT, m_stcValueUnit);
    DDX_Text(pDX, IDC_CURVEFIT_TITLE, m_strTitle);
    DDX_Text(pDX, IDC_CURVEFIT_VALUE, m_strValue);
    DDX_Text(pDX, IDC_CURVEFIT_SLOPE, m_strSlope);
    DDX_Text(pDX, IDC_CURVEFIT_POSITION, m_strPosition);
    DDX_Text(pDX, IDC_CURVEFIT_DEGREE, m_strDegree);
}

BOOL CDlgCurveFitting::OnInitDialog()
{
    CDlgMove::OnInitDialog();
    SetInitPos(3, 0, 0);
    MoveDlgToInitPos();

    m_graph.Init(GetDlgItem(IDC_CURVEFIT_GRAPH));
    m_graph.SetLButtonDownFunc(&CDlgCurveFitting::OnGraphLButtonDown);
    m_graph.SetDrawingGraphType(2);
    DrawPoints();

    m_spinDegree.SetRange(kMinDegree, kMaxDegree);
    m_lstCoef.Initialize(&KeepOrder);
    m_lstCoef.AddColInfo(CMsgDll::pfuncLoadStr(IDS_QB_PVS_Settlement_SIMU_VO, 0), 100, 0);
    m_lstCoef.AddColInfo(CMsgDll::pfuncLoadStr(IDS_QB_PVS_Settlement_SIMU_F, 0), 110, 0);
    m_lstCoef.AddColInfo(CMsgDll::pfuncLoadStr(IDS_QB_PVS_Settlement_SIMU_FP, 0), 110, 0);
    m_stcPositionUnit.SetUnitType(1);
    m_stcValueUnit.SetUnitType(1);

    const int m = m_aX.GetSize();
    if (m > 1) {
        const double mid = (m_aX[0] + m_aX[m - 1]) / 2.0;
        // A profile whose end is not a number has no midpoint: the position stays empty.
        if (std::isfinite(mid))
            m_strPosition = kvpvs::dialogs::FormatRoundTrip(mid);
    }

    UpdateData(FALSE);
    Fit();
    OnApply();
    return TRUE;
}

void CDlgCurveFitting::DrawPoints()
{
    if (m_aX.GetSize() != m_aY.GetSize())
        return;
    CArray<T_GRPH_D, T_GRPH_D&> aPoint;
    aPoint.SetSize(m_aX.GetSize());
    for (int i = 0; i < m_aX.GetSize(); ++i) {
        aPoint[i].dX = m_aX[i];
        aPoint[i].dY = m_aY[i];
    }
    m_graph.SetData(aPoint);
}

void CDlgCurveFitting::Fit()
{
    UpdateData(TRUE);
    const int n = std::max(ReadInteger(m_strDegree), kMinDegree);
    // The points are appended in pairs; the shorter list bounds them all the same.
    const int m = std::min(m_aX.GetSize(), m_aY.GetSize());
    if (m_aY.GetSize() == 0)
        return;

    // Flat: no two neighbours differ by more than 1e-10. A NaN difference is a difference, so
    // a profile with NaN values goes to curvefit, which leaves those points out; so does a lone
    // NaN point, which cannot be the constant.
    bool bFlat = !std::isnan(m_aY[0]);
    for (int i = 0; bFlat && i + 1 < m; ++i)
        bFlat = std::fabs(m_aY[i] - m_aY[i + 1]) <= 1e-10;

    m_dX0 = ReferenceX(m_aX, m_aY, m);
    std::vector<double> b;
    try {
        // Value-initialised: the coefficients are zero unless the fit writes them.
        b.assign(static_cast<size_t>(n) + 1, 0.0);
        if (bFlat) {
            b[0] = m_aY[0];
        } else {
            // curvefit may reorder its arrays: it gets copies, in x - x0.
            std::vector<double> x(m_aX.GetData(), m_aX.GetData() + m);
            std::vector<double> y(m_aY.GetData(), m_aY.GetData() + m);
            for (double& xi : x)
                xi -= m_dX0;
            curvefit(m, x.data(), y.data(), n, b.data());
        }
    } catch (const std::bad_alloc&) {
        // No room for the copies: nothing is listed, as without points.
        b.clear();
    }

    m_lstCoef.DeleteAllItems();
    m_polyFit.Clear();
    m_polyDerivative.Clear();
    if (!b.empty()) {
        // About x0 the list says so: a row "x0 = ..." first, then powers of (X-x0).
        const int nFirst = m_dX0 != 0.0 ? 1 : 0;
        if (nFirst) {
            CStringArray aText;
            aText.Add("x0 = " + kvpvs::dialogs::FormatRoundTrip(m_dX0));
            aText.Add("");
            aText.Add("");
            CDlgUtil::SetListItem(&m_lstCoef, 0, aText, 0);
        }
        for (int r = 0; r <= n; ++r) {
            const int k = n - r;
            CStringArray aText;
            CString s;
            s.Format(nFirst ? "(X-x0)^%d" : "X^%d", k);
            aText.Add(s);
            aText.Add(FormatE(b[static_cast<size_t>(k)]));
            m_polyFit.AddTerm(b[static_cast<size_t>(k)], k);
            if (r == 0) {
                aText.Add("");
            } else {
                // d/dx of b[k+1] x^(k+1)
                const double d = (k + 1) * b[static_cast<size_t>(k) + 1];
                aText.Add(FormatE(d));
                m_polyDerivative.AddTerm(d, k);
            }
            CDlgUtil::SetListItem(&m_lstCoef, r + nFirst, aText, static_cast<DWORD_PTR>(r + nFirst));
        }
    }

    // The curve at 3 (m - 1) equal intervals between the first and the last x value.
    if (m_aX.GetSize() == m_aY.GetSize() && m >= 2 && std::isfinite(m_aX[0]) && std::isfinite(m_aX[m - 1])) {
        const long long s = 3LL * (m - 1);
        const double x0 = m_aX[0];
        const double x1 = m_aX[m - 1];
        CArray<T_GRPH_D, T_GRPH_D&> aCurve;
        aCurve.SetSize(static_cast<int>(s + 1));
        for (long long j = 0; j <= s; ++j) {
            T_GRPH_D& p = aCurve[static_cast<int>(j)];
            p.dX = x0 + static_cast<double>(j) * (x1 - x0) / static_cast<double>(s);
            p.dY = m_polyFit.Evaluate(p.dX - m_dX0);
        }
        m_graph.SetAddedData(aCurve);
    }

    UpdateData(TRUE);
    Evaluate(ReadPosition(m_strPosition));
}

void CDlgCurveFitting::Evaluate(double x)
{
    m_strValue = FormatE(m_polyFit.Evaluate(x - m_dX0));
    m_strSlope = FormatE(m_polyDerivative.Evaluate(x - m_dX0));
    UpdateData(FALSE);
}

void CDlgCurveFitting::OnApply()
{
    UpdateData(TRUE);
    const double x = ReadPosition(m_strPosition);
    m_graph.SetPosByXValueNoSnap(x);
    Evaluate(x);
}

void CDlgCurveFitting::OnGraphLButtonDown(double x, CGraphWnd*)
{
    CDlgCurveFitting* pDlg = m_pMySelf;
    if (!pDlg || !pDlg->m_hWnd)
        return;
    pDlg->m_strPosition = kvpvs::dialogs::FormatRoundTrip(x);
    pDlg->UpdateData(FALSE);
    pDlg->Evaluate(x);
}

void CDlgCurveFitting::OnDeltaposDegree(NMHDR* pNMHDR, LRESULT* pResult)
{
    const auto* pUpDown = reinterpret_cast<const NMUPDOWN*>(pNMHDR);
    UpdateData(TRUE);
    long long n = ReadInteger(m_strDegree);
    if (pUpDown->iDelta > 0)
        ++n;
    else if (pUpDown->iDelta < 0)
        --n;
    m_strDegree.Format("%d", static_cast<int>(std::clamp<long long>(n, kMinDegree, kMaxDegree)));
    UpdateData(FALSE);
    Fit();
    *pResult = 0;
}

LRESULT CDlgCurveFitting::WindowProc(UINT nMsg, WPARAM wParam, LPARAM lParam)
{
    return kvpvs::dialogs::GuardedWindowProc([&] { return CDlgMove::WindowProc(nMsg, wParam, lParam); });
}
