// The curve-fitting dialog run modally and driven as a user drives it: the opener gives the
// points, the user spins the degree, types a position and presses Apply, clicks the graph and
// closes. What the dialog lists and shows is read inside the run. References: polynomials
// through exact points (closed form) and least squares by normal equations in long double.
#include "dialogs/CDlgCurveFitting.h"
#include "dialogs/DialogControlIds.h"

#include "GraphWnd_standin.h"
#include "MsgDll.h"
#include "MsgOut_standin.h"
#include "afx_standin.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdio>
#include <functional>
#include <limits>
#include <ostream>
#include <string>
#include <vector>

namespace {

struct Point {
    double x, y;
};

// What the user sees at one moment of the run.
struct Screen {
    std::vector<std::array<std::string, 3>> rows;
    std::string title, position, value, slope, degree;
    std::vector<T_GRPH_D> data, curve;
    int nCurveCalls = 0;
    bool bMark = false;
    double dMarkX = 0.0;
};

std::string E5(double v)
{
    char buf[64];
    std::snprintf(buf, sizeof buf, "%.5e", v);
    return buf;
}

double Number(const std::string& s) { return std::strtod(s.c_str(), nullptr); }

// Coefficients constant first; value and slope by Horner's rule.
double Poly(const std::vector<double>& c, double x)
{
    double v = 0.0;
    for (size_t k = c.size(); k-- > 0;)
        v = v * x + c[k];
    return v;
}

double Slope(const std::vector<double>& c, double x)
{
    double v = 0.0;
    for (size_t k = c.size(); k-- > 1;)
        v = v * x + static_cast<double>(k) * c[k];
    return v;
}

// Least squares of degree n by the normal equations in long double, a second algorithm: in
// t = (x - c) / h, which spans [-1, 1] (well conditioned), solved by Gauss-Jordan elimination
// with pivoting, then expanded into powers of x (binomial theorem). Coefficients constant first.
std::vector<double> LeastSquares(const std::vector<Point>& pts, int n)
{
    long double lo = pts.front().x, hi = pts.front().x;
    for (const Point& p : pts) {
        lo = std::min<long double>(lo, p.x);
        hi = std::max<long double>(hi, p.x);
    }
    const long double c = (lo + hi) / 2.0L, h = hi > lo ? (hi - lo) / 2.0L : 1.0L;
    const size_t N = static_cast<size_t>(n) + 1;
    std::vector<std::vector<long double>> A(N, std::vector<long double>(N + 1, 0.0L));
    for (const Point& p : pts) {
        const long double t = (p.x - c) / h;
        for (size_t i = 0; i < N; ++i) {
            A[i][N] += p.y * std::pow(t, static_cast<int>(i));
            for (size_t j = 0; j < N; ++j)
                A[i][j] += std::pow(t, static_cast<int>(i + j));
        }
    }
    for (size_t col = 0; col < N; ++col) {
        size_t piv = col;
        for (size_t k = col + 1; k < N; ++k)
            if (std::fabs(A[k][col]) > std::fabs(A[piv][col]))
                piv = k;
        std::swap(A[col], A[piv]);
        for (size_t k = 0; k < N; ++k)
            if (k != col) {
                const long double f = A[k][col] / A[col][col];
                for (size_t j = col; j <= N; ++j)
                    A[k][j] -= f * A[col][j];
            }
    }
    // a_k t^k = a_k (x - c)^k / h^k = a_k / h^k * sum_j C(k, j) x^j (-c)^(k-j)
    std::vector<long double> b(N, 0.0L);
    for (size_t k = 0; k < N; ++k) {
        const long double ak = A[k][N] / A[k][k] / std::pow(h, static_cast<int>(k));
        long double binom = 1.0L;
        for (size_t j = 0; j <= k; ++j) {
            b[j] += ak * binom * std::pow(-c, static_cast<int>(k - j));
            binom = binom * static_cast<long double>(k - j) / static_cast<long double>(j + 1);
        }
    }
    return std::vector<double>(b.begin(), b.end());
}

// p(x) = 2 - 0.5 x + 0.25 x^2 + 0.125 x^3: its values at these x are exact doubles.
const std::vector<double> kCubic = {2.0, -0.5, 0.25, 0.125};
std::vector<Point> OnCubic(const std::vector<double>& xs)
{
    std::vector<Point> pts;
    for (double x : xs)
        pts.push_back({x, Poly(kCubic, x)});
    return pts;
}

// The output window with its lines joined and blank runs made single, so a message reads
// whole wherever it was broken.
std::string OutputWindow()
{
    std::string out, word;
    std::string text = MsgOutStandIn::Text();
    for (char& ch : text)
        if (ch == '\n')
            ch = ' ';
    size_t i = 0;
    while (i < text.size()) {
        while (i < text.size() && text[i] == ' ')
            ++i;
        size_t j = text.find(' ', i);
        if (j == std::string::npos)
            j = text.size();
        word = text.substr(i, j - i);
        if (!word.empty() && word != "***")
            out += (out.empty() ? "" : " ") + word;
        i = j;
    }
    return out;
}

int Occurrences(const std::string& text, const std::string& part)
{
    int n = 0;
    for (size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1))
        ++n;
    return n;
}

class CurveFittingDialogTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        MsgOutStandIn::Reset();
        Win32ClearMessageBoxJournal();
        AfxDriver::ClearModalScript();
        CMsgDll::SetText(IDS_QB_PVS_Settlement_SIMU_VO, "Power");
        CMsgDll::SetText(IDS_QB_PVS_Settlement_SIMU_F, "Coefficient");
        CMsgDll::SetText(IDS_QB_PVS_Settlement_SIMU_FP, "Derivative");
    }
    void TearDown() override { AfxDriver::ClearModalScript(); }

    static CGraphWnd* Graph(CDialog* d)
    {
        std::vector<CGraphWnd*> g = GraphWndStandIn::FindIn(d);
        return g.empty() ? nullptr : g.front();
    }
    static Screen Read(CDialog* d)
    {
        Screen s;
        if (auto* list = dynamic_cast<CListCtrl*>(d->GetDlgItem(IDC_CURVEFIT_LIST)))
            for (int r = 0; r < list->GetItemCount(); ++r)
                s.rows.push_back(
                    {list->GetItemText(r, 0).str(), list->GetItemText(r, 1).str(), list->GetItemText(r, 2).str()});
        s.title = AfxDriver::GetText(d, IDC_CURVEFIT_TITLE).str();
        s.position = AfxDriver::GetText(d, IDC_CURVEFIT_POSITION).str();
        s.value = AfxDriver::GetText(d, IDC_CURVEFIT_VALUE).str();
        s.slope = AfxDriver::GetText(d, IDC_CURVEFIT_SLOPE).str();
        s.degree = AfxDriver::GetText(d, IDC_CURVEFIT_DEGREE).str();
        if (CGraphWnd* g = Graph(d)) {
            s.data = GraphWndStandIn::Data(*g);
            s.curve = GraphWndStandIn::AddedData(*g);
            s.nCurveCalls = GraphWndStandIn::SetAddedDataCount(*g);
            s.bMark = GraphWndStandIn::HasMark(*g);
            s.dMarkX = GraphWndStandIn::MarkX(*g);
        }
        return s;
    }
    // Queues a look at the dialog; the screen is filled when the run reaches it.
    void Look(Screen& s)
    {
        AfxDriver::ScriptModal([&s](CDialog* d) { s = Read(d); });
    }
    void Do(std::function<void(CDialog*)> action) { AfxDriver::ScriptModal(std::move(action)); }
    int Run(const std::vector<Point>& pts, const char* pszTitle = "Settlement along y = 4")
    {
        CDlgCurveFitting dlg(AfxGetMainWnd());
        dlg.m_strTitle = pszTitle;
        for (const Point& p : pts)
            dlg.AddPoint(p.x, p.y);
        return dlg.DoModal();
    }
};

// The coefficient rows against c (constant first): power, coefficient, derivative. The texts
// carry 6 significant digits: each must lie within their rounding of c, plus tol near zero.
void ExpectRows(const Screen& s, const std::vector<double>& c, double tol)
{
    const int n = static_cast<int>(c.size()) - 1;
    ASSERT_EQ(s.rows.size(), c.size());
    for (int r = 0; r <= n; ++r) {
        const int k = n - r;
        const auto& row = s.rows[static_cast<size_t>(r)];
        EXPECT_EQ(row[0], "X^" + std::to_string(k));
        const double ck = c[static_cast<size_t>(k)];
        EXPECT_NEAR(Number(row[1]), ck, 5.01e-6 * std::fabs(ck) + tol) << "coefficient of x^" << k;
        if (r == 0)
            EXPECT_EQ(row[2], "") << "the highest power has no derivative term";
        else {
            const double dk = (k + 1) * c[static_cast<size_t>(k) + 1];
            EXPECT_NEAR(Number(row[2]), dk, 5.01e-6 * std::fabs(dk) + tol) << "derivative's x^" << k;
        }
    }
}

TEST_F(CurveFittingDialogTest, OpensWithTheCubicThroughFourPointsEvaluatedAtTheMidpoint)
{
    Screen s;
    Look(s);
    Do([](CDialog* d) { AfxDriver::Click(d, IDC_CURVEFIT_CLOSE); });
    EXPECT_EQ(Run(OnCubic({0.0, 1.0, 2.0, 4.0})), IDCANCEL);

    // Degree 3 on four points: rows for the powers 3, 2, 1, 0, the exact cubic, whose
    // coefficients and derivative's print exactly.
    ExpectRows(s, kCubic, 1e-12);
    const std::vector<std::array<std::string, 3>> rows = {{"X^3", "1.25000e-01", ""},
                                                          {"X^2", "2.50000e-01", "3.75000e-01"},
                                                          {"X^1", "-5.00000e-01", "5.00000e-01"},
                                                          {"X^0", "2.00000e+00", "-5.00000e-01"}};
    EXPECT_EQ(s.rows, rows);
    EXPECT_EQ(s.title, "Settlement along y = 4");
    EXPECT_EQ(s.degree, "3");
    // Position: the midpoint of the first and last x; value p(2) = 3, slope p'(2) = 2.
    EXPECT_EQ(s.position, "2");
    EXPECT_EQ(s.value, "3.00000e+00");
    EXPECT_EQ(s.slope, "2.00000e+00");
    EXPECT_TRUE(s.bMark);
    EXPECT_EQ(s.dMarkX, 2.0);
    // The points as given, the curve at 3 (m - 1) = 9 equal intervals from 0 to 4.
    ASSERT_EQ(s.data.size(), 4u);
    EXPECT_EQ(s.data[3].dX, 4.0);
    EXPECT_EQ(s.data[3].dY, Poly(kCubic, 4.0));
    ASSERT_EQ(s.curve.size(), 10u);
    for (size_t j = 0; j < s.curve.size(); ++j) {
        EXPECT_DOUBLE_EQ(s.curve[j].dX, 4.0 * static_cast<double>(j) / 9.0);
        EXPECT_NEAR(s.curve[j].dY, Poly(kCubic, s.curve[j].dX), 1e-12);
    }
}

TEST_F(CurveFittingDialogTest, SetsUpPlacementGraphListAndUnitsForTheProfile)
{
    struct Seen {
        int nInitPos = 0, nInitPosCalls = 0, nDrawingType = 0, nUnitPos = 0, nUnitValue = 0;
        std::vector<std::string> columns;
        std::vector<int> widths;
    } seen;
    Do([&seen](CDialog* d) {
        auto* dlg = static_cast<CDlgCurveFitting*>(d);
        seen.nInitPos = dlg->m_nInitPos;
        seen.nInitPosCalls = dlg->m_nInitPosCalls;
        if (CGraphWnd* g = Graph(d))
            seen.nDrawingType = GraphWndStandIn::DrawingType(*g);
        if (auto* u = dynamic_cast<CTextUnit*>(d->GetDlgItem(IDC_CURVEFIT_POS_UNIT)))
            seen.nUnitPos = u->GetUnitType();
        if (auto* u = dynamic_cast<CTextUnit*>(d->GetDlgItem(IDC_CURVEFIT_VALUE_UNIT)))
            seen.nUnitValue = u->GetUnitType();
        if (auto* l = dynamic_cast<CListCtrl*>(d->GetDlgItem(IDC_CURVEFIT_LIST)))
            for (int c = 0; c < l->GetColumnCount(); ++c) {
                seen.columns.push_back(l->GetColumnText(c).str());
                seen.widths.push_back(l->GetColumnWidth(c));
            }
    });
    Run(OnCubic({0.0, 1.0, 2.0, 4.0}));
    EXPECT_EQ(seen.nInitPos, 3);
    EXPECT_EQ(seen.nInitPosCalls, 1);
    EXPECT_EQ(seen.nDrawingType, 2);
    EXPECT_EQ(seen.nUnitPos, 1);
    EXPECT_EQ(seen.nUnitValue, 1);
    EXPECT_EQ(seen.columns, (std::vector<std::string>{"Power", "Coefficient", "Derivative"}));
    EXPECT_EQ(seen.widths, (std::vector<int>{100, 110, 110}));
}

// ---- the degree spin -----------------------------------------------------------------------
struct SpinCase {
    const char* pszName;
    const char* pszTyped; // typed into the degree edit first; nullptr: left as opened ("3")
    int nDelta;
    const char* pszDegree; // shown after the step
};

std::ostream& operator<<(std::ostream& os, const SpinCase& c) { return os << c.pszName; }

class DegreeSpin : public CurveFittingDialogTest, public ::testing::WithParamInterface<SpinCase> {};

// Seven points off any polynomial of degree below 5: every degree 1..5 is a genuine fit.
std::vector<Point> SevenPoints()
{
    return {{0.0, 1.0}, {1.0, 3.0}, {2.0, 2.0}, {3.0, 5.0}, {4.0, 4.0}, {5.0, 8.0}, {6.0, 6.5}};
}

TEST_P(DegreeSpin, StepsFromTheShownDegreeWithinOneToFiveAndRefits)
{
    const SpinCase& c = GetParam();
    Screen typed, after;
    if (c.pszTyped)
        Do([&c](CDialog* d) { AfxDriver::SetText(d, IDC_CURVEFIT_DEGREE, c.pszTyped); });
    Look(typed);
    Do([&c](CDialog* d) { EXPECT_TRUE(AfxDriver::Spin(d, IDC_CURVEFIT_SPIN, c.nDelta)); });
    Look(after);
    Run(SevenPoints());

    // A typed degree changes nothing until the spin is used.
    EXPECT_EQ(typed.rows.size(), 4u);
    EXPECT_EQ(after.degree, c.pszDegree);
    const int n = std::atoi(c.pszDegree);
    ExpectRows(after, LeastSquares(SevenPoints(), n), 1e-9);
    // The fit is evaluated again at the position (the midpoint 3).
    const std::vector<double> b = LeastSquares(SevenPoints(), n);
    EXPECT_NEAR(Number(after.value), Poly(b, 3.0), 1e-5 * std::fabs(Poly(b, 3.0)));
    EXPECT_NEAR(Number(after.slope), Slope(b, 3.0), 1e-5 * std::fabs(Slope(b, 3.0)) + 1e-12);
}

INSTANTIATE_TEST_SUITE_P(
    CurveFitting, DegreeSpin,
    ::testing::Values(SpinCase{"UpFromThree", nullptr, 1, "4"}, SpinCase{"DownFromThree", nullptr, -1, "2"},
                      SpinCase{"NoDeltaKeepsThree", nullptr, 0, "3"}, SpinCase{"UpAtFiveKeepsFive", "5", 1, "5"},
                      SpinCase{"DownAtOneKeepsOne", "1", -1, "1"}, SpinCase{"TypedSevenUpGivesFive", "7", 1, "5"},
                      SpinCase{"TypedTwoDownGivesOne", "2", -1, "1"}, SpinCase{"NotANumberUpGivesOne", "abc", 1, "1"},
                      SpinCase{"NotANumberDownGivesOne", "abc", -1, "1"},
                      SpinCase{"LeadingNumberIsRead", "4 degrees", 1, "5"},
                      SpinCase{"HugeDegreeSaturatesUp", "99999999999999999999", 1, "5"},
                      SpinCase{"IntMaxUpDoesNotWrap", "2147483647", 1, "5"},
                      SpinCase{"HugeNegativeSaturatesDown", "-99999999999999999999", -1, "1"},
                      SpinCase{"IntMinDownDoesNotWrap", "-2147483648", -1, "1"}),
    [](const ::testing::TestParamInfo<SpinCase>& info) { return std::string(info.param.pszName); });

TEST_F(CurveFittingDialogTest, SpinUpAndDownThroughEveryDegree)
{
    std::vector<Screen> screens(10);
    for (int i = 0; i < 5; ++i) {
        Do([](CDialog* d) { AfxDriver::Spin(d, IDC_CURVEFIT_SPIN, 1); });
        Look(screens[static_cast<size_t>(i)]);
    }
    for (int i = 5; i < 10; ++i) {
        Do([](CDialog* d) { AfxDriver::Spin(d, IDC_CURVEFIT_SPIN, -1); });
        Look(screens[static_cast<size_t>(i)]);
    }
    Run(SevenPoints());
    const char* expected[10] = {"4", "5", "5", "5", "5", "4", "3", "2", "1", "1"};
    for (size_t i = 0; i < 10; ++i) {
        EXPECT_EQ(screens[i].degree, expected[i]) << "after press " << i + 1;
        EXPECT_EQ(screens[i].rows.size(), static_cast<size_t>(std::atoi(expected[i])) + 1) << "after press " << i + 1;
    }
}

// ---- flat profiles -------------------------------------------------------------------------
struct FlatCase {
    const char* pszName;
    std::vector<Point> pts;
};

std::ostream& operator<<(std::ostream& os, const FlatCase& c) { return os << c.pszName; }

class FlatProfile : public CurveFittingDialogTest, public ::testing::WithParamInterface<FlatCase> {};

TEST_P(FlatProfile, IsTheFirstValueWithEveryOtherCoefficientZeroAndNoLibraryCall)
{
    const FlatCase& c = GetParam();
    Screen s;
    Look(s);
    Run(c.pts);
    const double y0 = c.pts[0].y;
    ASSERT_EQ(s.rows.size(), 4u);
    for (size_t r = 0; r < 3; ++r) {
        EXPECT_EQ(s.rows[r][1], "0.00000e+00");
        EXPECT_EQ(s.rows[r][2], r == 0 ? "" : "0.00000e+00");
    }
    EXPECT_EQ(s.rows[3][0], "X^0");
    EXPECT_EQ(s.rows[3][1], E5(y0));
    EXPECT_EQ(s.rows[3][2], "0.00000e+00");
    EXPECT_EQ(s.value, E5(y0));
    EXPECT_EQ(s.slope, "0.00000e+00");
    // The library was not asked: it would have printed about so few distinct values.
    EXPECT_EQ(MsgOutStandIn::Text(), "");
}

INSTANTIATE_TEST_SUITE_P(
    CurveFitting, FlatProfile,
    ::testing::Values(FlatCase{"AllEqual", {{0.0, -0.0125}, {2.0, -0.0125}, {4.0, -0.0125}, {6.0, -0.0125}}},
                      // Neighbours differ by exactly 1e-10 (2e-10 - 1e-10 is 1e-10 in binary too),
                      // though the ends differ by 3e-10.
                      FlatCase{"NeighboursWithinTolerance", {{0.0, 0.0}, {1.0, 1e-10}, {2.0, 2e-10}, {3.0, 3e-10}}},
                      FlatCase{"EqualX", {{5.0, 1.5}, {5.0, 1.5}, {5.0, 1.5}}}),
    [](const ::testing::TestParamInfo<FlatCase>& info) { return std::string(info.param.pszName); });

TEST_F(CurveFittingDialogTest, NeighboursApartByMoreThanTheToleranceAreFitted)
{
    Screen s;
    Look(s);
    Run({{0.0, 0.0}, {1.0, 1.5e-10}});
    ASSERT_EQ(s.rows.size(), 4u);
    EXPECT_NEAR(Number(s.rows[2][1]), 1.5e-10, 1e-22) << "the line through both points";
    EXPECT_NEAR(Number(s.rows[3][1]), 0.0, 1e-22);
}

TEST_F(CurveFittingDialogTest, TwoPointsGiveTheirLineAndACurveAtFourPositions)
{
    Screen s;
    Look(s);
    Run({{1.0, 2.0}, {7.0, 5.0}});
    // Degree 3 through two points: the library fits the line and says why.
    ExpectRows(s, {1.5, 0.5, 0.0, 0.0}, 1e-12);
    EXPECT_NE(OutputWindow().find("A degree 1 polynomial is fitted. There are only 2 distinct abscissas"),
              std::string::npos)
        << OutputWindow();
    ASSERT_EQ(s.curve.size(), 4u);
    for (size_t j = 0; j < 4; ++j) {
        EXPECT_DOUBLE_EQ(s.curve[j].dX, 1.0 + 2.0 * static_cast<double>(j));
        EXPECT_NEAR(s.curve[j].dY, 2.0 + static_cast<double>(j), 1e-12);
    }
    EXPECT_EQ(s.position, "4");
    EXPECT_EQ(s.value, "3.50000e+00");
    EXPECT_EQ(s.slope, "5.00000e-01");
    EXPECT_EQ(Win32MessageBoxCount(), 0);
}

TEST_F(CurveFittingDialogTest, SinglePointIsFlatWithoutPositionOrCurve)
{
    Screen s;
    Look(s);
    Run({{3.0, -0.02}});
    ASSERT_EQ(s.rows.size(), 4u);
    EXPECT_EQ(s.rows[3][1], E5(-0.02));
    EXPECT_EQ(s.position, "");
    EXPECT_EQ(s.value, E5(-0.02)) << "first evaluation at 0";
    EXPECT_EQ(s.dMarkX, 0.0);
    ASSERT_EQ(s.data.size(), 1u);
    EXPECT_EQ(s.nCurveCalls, 0) << "no curve is drawn";
    EXPECT_EQ(MsgOutStandIn::Text(), "");
}

TEST_F(CurveFittingDialogTest, WithoutPointsNothingIsListed)
{
    Screen s;
    Look(s);
    Run({});
    EXPECT_TRUE(s.rows.empty());
    EXPECT_EQ(s.position, "");
    EXPECT_EQ(s.value, "0.00000e+00");
    EXPECT_EQ(s.nCurveCalls, 0);
}

// ---- positions: Apply and the graph --------------------------------------------------------
struct PositionCase {
    const char* pszName;
    const char* pszTyped;
    double x; // where the dialog evaluates
};

std::ostream& operator<<(std::ostream& os, const PositionCase& c) { return os << c.pszName; }

class ApplyPosition : public CurveFittingDialogTest, public ::testing::WithParamInterface<PositionCase> {};

TEST_P(ApplyPosition, EvaluatesTheCubicAndItsSlopeThereAndMovesTheMark)
{
    const PositionCase& c = GetParam();
    Screen s;
    Do([&c](CDialog* d) {
        AfxDriver::SetText(d, IDC_CURVEFIT_POSITION, c.pszTyped);
        AfxDriver::Click(d, IDC_CURVEFIT_APPLY);
    });
    Look(s);
    Run(OnCubic({0.0, 1.0, 2.0, 4.0}));
    EXPECT_EQ(s.position, c.pszTyped) << "the typed text stays as typed";
    EXPECT_EQ(s.value, E5(Poly(kCubic, c.x)));
    EXPECT_EQ(s.slope, E5(Slope(kCubic, c.x)));
    EXPECT_EQ(s.dMarkX, c.x);
}

// Positions where the cubic's values are no ties at 6 digits (2.5 would give 4.265625).
INSTANTIATE_TEST_SUITE_P(
    CurveFitting, ApplyPosition,
    ::testing::Values(PositionCase{"Decimal", "3", 3.0}, PositionCase{"Negative", "-1.2", -1.2},
                      PositionCase{"Exponent", "3.2e0", 3.2}, PositionCase{"LeadingNumberIsRead", "1.25 m", 1.25},
                      PositionCase{"NotANumberReadsZero", "abc", 0.0}, PositionCase{"EmptyReadsZero", "", 0.0},
                      PositionCase{"NaNTextReadsZero", "nan", 0.0}, PositionCase{"InfinityReadsZero", "inf", 0.0},
                      PositionCase{"OverflowReadsZero", "1e999", 0.0}),
    [](const ::testing::TestParamInfo<PositionCase>& info) { return std::string(info.param.pszName); });

TEST_F(CurveFittingDialogTest, GraphClickEvaluatesAtTheClickedXAndShowsItToReadBack)
{
    Screen s;
    const double x = 3.14159265;
    Do([x](CDialog* d) { EXPECT_TRUE(GraphWndStandIn::Click(Graph(d), x)); });
    Look(s);
    Run(OnCubic({0.0, 1.0, 2.0, 4.0}));
    EXPECT_EQ(s.position, "3.14159265");
    EXPECT_EQ(s.value, E5(Poly(kCubic, x)));
    EXPECT_EQ(s.slope, E5(Slope(kCubic, x)));
}

// ---- far from the origin -------------------------------------------------------------------
// The cubic p of kCubic through 16 stations t = 10, 12, .., 40 (a trough's spread), moved to
// x = s + t as a model in national-grid coordinates is: the values and slopes read at the
// midpoint and at a click must be p(t) and p'(t) whatever s, and the positions read back as
// the x they stand for, the click's (an ulp beyond s + 14.5) with all 17 digits. Far from 0
// the list is about x0, the data's centre s + 25 rounded to a multiple of the power of ten
// 10 below the spread 30, which reads short.
class FarFromTheOrigin : public CurveFittingDialogTest, public ::testing::WithParamInterface<double> {};

TEST_P(FarFromTheOrigin, FitsAboutAReferenceNearTheDataAndWritesPositionsToReadBack)
{
    const double s0 = GetParam();
    std::vector<Point> pts;
    for (int i = 0; i < 16; ++i)
        pts.push_back({s0 + 10.0 + 2.0 * i, Poly(kCubic, 10.0 + 2.0 * i)});
    const double xClick = std::nextafter(s0 + 14.5, 1e300);
    Screen opened, clicked;
    Look(opened);
    Do([xClick](CDialog* d) { EXPECT_TRUE(GraphWndStandIn::Click(Graph(d), xClick)); });
    Look(clicked);
    Run(pts);

    if (s0 == 0.0) {
        // The centre 25 lies within the spread 30 of 0: powers of X, as ever.
        ExpectRows(opened, kCubic, 1e-9);
    } else {
        ASSERT_EQ(opened.rows.size(), 5u);
        const std::string head = opened.rows[0][0];
        ASSERT_EQ(head.rfind("x0 = ", 0), 0u) << head;
        const double x0 = Number(head.substr(5));
        EXPECT_TRUE(std::fmod(x0, 10.0) == 0.0 && std::fabs(x0 - (s0 + 25.0)) <= 5.0) << head;
        for (int r = 1; r < 5; ++r)
            EXPECT_EQ(opened.rows[static_cast<size_t>(r)][0], "(X-x0)^" + std::to_string(4 - r));
    }
    const struct {
        const Screen& s;
        double x;
    } reads[] = {{opened, s0 + 25.0}, {clicked, xClick}};
    for (const auto& r : reads) {
        const double t = r.x - s0;
        EXPECT_EQ(Number(r.s.position), r.x) << r.s.position;
        EXPECT_NEAR(Number(r.s.value), Poly(kCubic, t), 5.01e-6 * std::fabs(Poly(kCubic, t))) << "at t = " << t;
        EXPECT_NEAR(Number(r.s.slope), Slope(kCubic, t), 5.01e-6 * std::fabs(Slope(kCubic, t))) << "at t = " << t;
    }
    // The drawn curve holds the fit in full precision.
    ASSERT_EQ(opened.curve.size(), 46u);
    for (const T_GRPH_D& p : opened.curve)
        EXPECT_NEAR(p.dY, Poly(kCubic, p.dX - s0), 1e-11 * Poly(kCubic, 40.0)) << "at t = " << p.dX - s0;
}

INSTANTIATE_TEST_SUITE_P(CurveFitting, FarFromTheOrigin, ::testing::Values(0.0, 1e5, 5.1e6, 1e8),
                         [](const ::testing::TestParamInfo<double>& info) {
                             return "At" + std::to_string(static_cast<long long>(info.param));
                         });

// ---- profiles the library stops on ---------------------------------------------------------
TEST_F(CurveFittingDialogTest, ConstantXListsTheZeroPolynomialAndTheLibrarysMessageEachFit)
{
    Screen s, again;
    Look(s);
    Do([](CDialog* d) { AfxDriver::Spin(d, IDC_CURVEFIT_SPIN, 1); });
    Look(again);
    Do([](CDialog* d) { AfxDriver::Click(d, IDC_CURVEFIT_CLOSE); });
    // Four settlements measured at one station: no abscissa to fit along.
    EXPECT_EQ(Run({{5.0, -0.010}, {5.0, -0.012}, {5.0, -0.011}, {5.0, -0.013}}), IDCANCEL);

    ASSERT_EQ(s.rows.size(), 4u);
    for (size_t r = 0; r < 4; ++r) {
        EXPECT_EQ(s.rows[r][1], "0.00000e+00");
        EXPECT_EQ(s.rows[r][2], r == 0 ? "" : "0.00000e+00");
    }
    EXPECT_EQ(s.value, "0.00000e+00");
    EXPECT_EQ(s.slope, "0.00000e+00");
    // The curve is the flat zero line over the (empty) x range.
    ASSERT_EQ(s.curve.size(), 10u);
    for (const T_GRPH_D& p : s.curve)
        EXPECT_EQ(p.dY, 0.0);
    // The library's report is the output window's; no message box.
    const std::string msg = "The x values are constant. At least two distinct x values are needed.";
    EXPECT_EQ(Occurrences(OutputWindow(), msg), 2) << OutputWindow();
    EXPECT_EQ(Occurrences(OutputWindow(), "FATAL"), 2);
    EXPECT_EQ(Win32MessageBoxCount(), 0);
    EXPECT_EQ(again.rows.size(), 5u);
}

TEST_F(CurveFittingDialogTest, AllValuesNaNListsTheZeroPolynomial)
{
    const double nan = std::numeric_limits<double>::quiet_NaN();
    Screen s;
    Look(s);
    Run({{0.0, nan}, {2.0, nan}, {4.0, nan}});
    ASSERT_EQ(s.rows.size(), 4u);
    for (size_t r = 0; r < 4; ++r)
        EXPECT_EQ(s.rows[r][1], "0.00000e+00");
    EXPECT_EQ(s.value, "0.00000e+00");
    EXPECT_NE(OutputWindow().find("There are no valid data points. Each (x,y) pair contains NaN"), std::string::npos)
        << OutputWindow();
}

TEST_F(CurveFittingDialogTest, PointsWithNaNAreLeftOutOfTheFit)
{
    const double nan = std::numeric_limits<double>::quiet_NaN();
    std::vector<Point> pts = OnCubic({0.0, 1.0, 2.0, 3.0, 4.0});
    pts.insert(pts.begin() + 2, Point{2.5, nan});
    Screen s;
    Look(s);
    Run(pts);
    ExpectRows(s, kCubic, 1e-11);
    EXPECT_EQ(s.value, "3.00000e+00");
}

TEST_F(CurveFittingDialogTest, LoneNaNPointGoesToTheLibraryNotIntoTheList)
{
    Screen s;
    Look(s);
    Run({{1.0, std::numeric_limits<double>::quiet_NaN()}});
    ASSERT_EQ(s.rows.size(), 4u);
    EXPECT_EQ(s.rows[3][1], "0.00000e+00");
    EXPECT_EQ(s.value, "0.00000e+00");
    EXPECT_NE(MsgOutStandIn::Text(), "");
}

// ---- the modal run -------------------------------------------------------------------------
TEST_F(CurveFittingDialogTest, RunEndsWhenTheUserCloses)
{
    HWND hDuring = nullptr;
    CDlgCurveFitting* pDuring = nullptr;
    Do([&](CDialog* d) {
        hDuring = d->m_hWnd;
        pDuring = CDlgCurveFitting::m_pMySelf;
        EXPECT_TRUE(d->IsWindowVisible());
    });
    CWnd* pMain = AfxGetMainWnd();
    const int nWindows = Win32LiveWindowCount();
    {
        CDlgCurveFitting dlg(pMain);
        dlg.AddPoint(0.0, 1.0);
        dlg.AddPoint(1.0, 2.0);
        // The script runs out: the user closes the dialog with its close box.
        EXPECT_EQ(dlg.DoModal(), IDCANCEL);
        EXPECT_EQ(pDuring, &dlg);
        EXPECT_FALSE(IsWindow(hDuring));
        EXPECT_EQ(dlg.m_hWnd, nullptr);
    }
    EXPECT_EQ(CDlgCurveFitting::m_pMySelf, nullptr);
    EXPECT_EQ(Win32LiveWindowCount(), nWindows);
}

TEST_F(CurveFittingDialogTest, PolynomialEvaluatesItsTermsInListOrder)
{
    CCurveFitPolynomial p;
    EXPECT_EQ(p.Evaluate(2.0), 0.0);
    p.AddTerm(0.125, 3);
    p.AddTerm(-0.5, 1);
    p.AddTerm(2.0, 0);
    EXPECT_EQ(p.Evaluate(2.0), 0.125 * 8.0 - 1.0 + 2.0);
    EXPECT_EQ(p.Evaluate(0.0), 2.0) << "x^0 is 1 at 0";
    p.Clear();
    p.AddTerm(3.0, 0);
    EXPECT_EQ(p.Evaluate(std::numeric_limits<double>::quiet_NaN()), 3.0) << "x^0 is 1 at NaN";
}

} // namespace
