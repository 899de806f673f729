// Time-history engine on a single-degree-of-freedom modal model with a closed-form response:
// q(t) = sin wt, so displacement, velocity and acceleration are known at every step.
#include "timehistory/CPVSTHCalcBeamFunc.h"
#include "timehistory/CPVSTHCalcFuncFactory.h"
#include "timehistory/CPVSTHCalcHistPlotData.h"
#include "timehistory/CPVSTHCalcTrssFunc.h"
#include "timehistory/CPVSTHEngine.h"
#include "timehistory/ElementResultsEntry.h"

#include "single_dof_model.h"

#include "TempDir.h"

#include "MsgDll.h"
#include "THResultBuilder.h"
#include "UnitCtrl.h"

#include "afxfile.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <climits>
#include <cmath>
#include <cstdarg>
#include <cstdio>
#include <fstream>
#include <memory>
#include <ostream>
#include <sstream>
#include <string>
#include <vector>

namespace {

using namespace thtest;

struct DispCase {
    int kind, dispType;
    unsigned acas;
};

const char* case_name(unsigned acas) { return acas == kModalCase ? "Modal" : "Direct"; }

void PrintTo(const DispCase& c, std::ostream* os)
{
    *os << case_name(c.acas) << ", result kind " << c.kind << ", displacement type " << c.dispType;
}

// Stored motion relative to the ground, plus the ground motion, or minus a second node's.
std::string disp_name(const ::testing::TestParamInfo<DispCase>& i)
{
    static const char* const kinds[] = {"Displacement", "Velocity", "Acceleration"};
    static const char* const types[] = {"", "PlusGround", "MinusSecondNode"};
    return std::string(case_name(i.param.acas)) + kinds[i.param.kind] + types[i.param.dispType];
}

class DisplacementHistory : public SingleDofModel, public ::testing::WithParamInterface<DispCase> {};

TEST_P(DisplacementHistory, FollowsTheClosedForm)
{
    const DispCase c = GetParam();
    std::vector<double> s = Run(Disp(c.acas, c.kind, 0, c.dispType, 1, 2));
    ASSERT_EQ(static_cast<int>(s.size()), kSteps);
    for (int i = 0; i < kSteps; ++i) {
        double t = T(i), sn = std::sin(kW * t), cs = std::cos(kW * t);
        // u = phi q; v = phi q'; a = phi q''; ground X: 0.1 t, 0.1, 0; second node phi2.
        double phi = c.dispType == 2 ? kPhi1 - kPhi2 : kPhi1;
        double expect = c.kind == 0 ? kLen * phi * sn : (c.kind == 1 ? kVel * phi * kW * cs : -kAcc * phi * kW * kW * sn);
        if (c.dispType == 1)
            expect += c.kind == 0 ? kLen * 0.1 * t : (c.kind == 1 ? kVel * 0.1 : 0.0);
        EXPECT_NEAR(s[i], expect, 1e-9 * (1.0 + std::fabs(expect))) << "step " << i;
    }
}

INSTANTIATE_TEST_SUITE_P(ModalAndDirect, DisplacementHistory,
                         ::testing::Values(DispCase{0, 0, kModalCase}, DispCase{1, 0, kModalCase},
                                           DispCase{2, 0, kModalCase}, DispCase{0, 1, kModalCase},
                                           DispCase{1, 1, kModalCase}, DispCase{0, 2, kModalCase},
                                           DispCase{2, 2, kModalCase}, DispCase{0, 0, kDirectCase},
                                           DispCase{1, 0, kDirectCase}, DispCase{2, 0, kDirectCase},
                                           DispCase{0, 1, kDirectCase}, DispCase{0, 2, kDirectCase}),
                         disp_name);

TEST_F(SingleDofModel, RequestConversionAndFailures)
{
    T_THRD_D s = Disp(kModalCase, 2, 1, 0), r;
    CPVSTHEngine::MakeThrdData(&s, &r);
    EXPECT_EQ(r.nComponent, 21); // acceleration DY
    T_THRD_D t;
    t.nCode = 1;
    t.nResultKind = 1;
    t.nComponent = 5;
    CPVSTHEngine::MakeThrdData(&t, &r);
    EXPECT_EQ(r.nComponent, 1); // truss: the stored result kind
    // A node as its own second node: zeros.
    for (double v : Run(Disp(kModalCase, 0, 0, 2, 1, 1)))
        EXPECT_EQ(v, 0.0);
    // Another analysis type: empty series, no query opened.
    auto* post = CTHResultBuilder::PostCtrl(doc);
    int begins = post->GetBeginCount();
    EXPECT_TRUE(Run(Disp(kStaticCase, 0, 0, 0)).empty());
    EXPECT_EQ(post->GetBeginCount(), begins);
    // Code 6 and up: query opened and closed, empty series; and never the previous run's values.
    ASSERT_FALSE(Run(Disp(kModalCase, 0, 0, 0)).empty());
    T_THRD_D bad = Disp(kModalCase, 0, 0, 0);
    bad.nCode = 6;
    EXPECT_TRUE(Run(bad).empty());
    EXPECT_EQ(post->GetQueryDepth(), 0);
    EXPECT_EQ(CPVSTHCalcFuncBase::GetCurrent(), nullptr); // cleared with the function
}

TEST(CalcFuncFactory, CreatesByCode)
{
    for (int code : {0, 7, -1})
        EXPECT_EQ(CPVSTHCalcFuncFactory::Create(code), nullptr);
    std::unique_ptr<CPVSTHCalcFuncBase> t(CPVSTHCalcFuncFactory::Create(2));
    EXPECT_NE(dynamic_cast<CPVSTHCalcTrssFunc*>(t.get()), nullptr);
}

struct TrussCase {
    int storedKind, position, mode;
    unsigned acas;
};

void PrintTo(const TrussCase& c, std::ostream* os)
{
    *os << case_name(c.acas) << (c.storedKind ? ", stress" : ", force") << (c.position ? " at end J" : " at end I")
        << ", mode " << c.mode;
}

std::string truss_name(const ::testing::TestParamInfo<TrussCase>& i)
{
    const TrussCase& c = i.param;
    return std::string(case_name(c.acas)) + (c.storedKind ? "Stress" : "Force") + (c.position ? "AtEndJ" : "AtEndI") +
           (c.mode ? "Mode" + std::to_string(c.mode) : std::string());
}

class TrussHistory : public SingleDofModel, public ::testing::WithParamInterface<TrussCase> {};

TEST_P(TrussHistory, ForceAndStressAtEachEnd)
{
    const TrussCase c = GetParam();
    T_THRD_D s;
    s.nCode = 1;
    s.nAcasK = c.acas;
    s.nEntityK = kTruss;
    s.nResultKind = c.storedKind;
    s.nPosition = c.position;
    s.nModeNumber = c.mode;
    std::vector<double> v = Run(s);
    ASSERT_EQ(static_cast<int>(v.size()), kSteps);
    for (int i = 0; i < kSteps; ++i) {
        double u = kPhi1 * std::sin(kW * T(i));
        // FI = 3 u, FJ = 4 u; record (-FI, FJ, -FI f2, FJ f3); mode 2 of one mode: zeros.
        double rec[4] = {-3 * u, 4 * u, -3 * u * 0.5, 4 * u * 0.25};
        double e = c.mode == 2 ? 0.0 : rec[2 * c.storedKind + (c.position ? 1 : 0)] * (c.storedKind ? kStress : kForce);
        EXPECT_NEAR(v[i], e, 1e-9) << i;
    }
}

INSTANTIATE_TEST_SUITE_P(Ends, TrussHistory,
                         ::testing::Values(TrussCase{0, 0, 0, kModalCase}, TrussCase{0, 1, 1, kModalCase},
                                           TrussCase{1, 0, 0, kModalCase}, TrussCase{1, 1, 0, kModalCase},
                                           TrussCase{0, 0, 2, kModalCase}, TrussCase{0, 0, 0, kDirectCase},
                                           TrussCase{1, 1, 0, kDirectCase}),
                         truss_name);

TEST_F(SingleDofModel, TrussArrayOfWrongSizeFails)
{
    auto* b = ctrl[0];
    for (int size : {62, 64}) {
        std::vector<double> a = TrussArray();
        a.resize(static_cast<size_t>(size));
        b->Data().truss[kTruss] = a;
        T_THRD_D s;
        s.nCode = 1;
        s.nAcasK = kModalCase;
        s.nEntityK = kTruss;
        EXPECT_TRUE(Run(s).empty()) << size;
    }
    std::vector<double> a = TrussArray();
    a[61] = 5; // stored m differs from the truss's 4
    b->Data().truss[kTruss] = a;
    T_THRD_D s;
    s.nCode = 1;
    s.nAcasK = kModalCase;
    s.nEntityK = kTruss;
    EXPECT_TRUE(Run(s).empty());
}

// MakeBeamRecord entry by entry: (r0..r5) = (-f0, f2, -f1, -f3, -f5, -f4),
// (r6..r11) = (f6, -f8, f7, f9, f11, f10).
class BeamMapping : public ::testing::TestWithParam<int> {};

TEST_P(BeamMapping, UnitForce)
{
    const int j = GetParam();
    double f[12] = {};
    f[j] = 1.0;
    std::vector<double> s = BeamArray();
    double r[26];
    CPVSTHCalcBeamFunc::MakeBeamRecord(s.data(), f, r);
    const int src[12] = {0, 2, 1, 3, 5, 4, 6, 8, 7, 9, 11, 10};
    const double sgn[12] = {-1, 1, -1, -1, -1, -1, 1, -1, 1, 1, 1, 1};
    double e[26] = {};
    for (int i = 0; i < 12; ++i)
        e[i] = src[i] == j ? sgn[i] : 0.0;
    const double* c = s.data() + 24;
    const double* d = s.data() + 102;
    double st[14] = {-e[0] * c[0], -e[1] * c[2], -e[2] * c[1], e[5] * c[3], e[5] * c[4], -e[4] * c[5], -e[4] * c[6],
                     e[6] * d[7], e[7] * d[9], e[8] * d[8], -e[11] * d[10], -e[11] * d[11], e[10] * d[12], e[10] * d[13]};
    for (int i = 0; i < 14; ++i)
        e[12 + i] = st[i];
    for (int i = 0; i < 26; ++i)
        EXPECT_EQ(r[i], e[i]) << "entry " << i;
}
INSTANTIATE_TEST_SUITE_P(EachForce, BeamMapping, ::testing::Range(0, 12),
                         [](const ::testing::TestParamInfo<int>& i) { return "Force" + std::to_string(i.param); });

TEST_F(SingleDofModel, BeamMomentWithOffsetsAndCombinedStress)
{
    // End offsets set: f4 += o1 f2 with o1 the element length (place 0 of the record).
    T_PCFMO_D off;
    off.bOffset = 1;
    off.dOffset[1] = 0.3;
    off.dOffset[2] = 0.2;
    off.dOffset[3] = 0.4;
    T_PCFMO_D::SetDefault(off);
    CClassNode nodes(doc.GetModelDB());
    T_NODE_D a, b;
    b.dXyz[0] = 5.0;
    nodes.Set(101, a);
    nodes.Set(102, b);
    T_ELEM_D e;
    e.aNodeK.Add(101);
    e.aNodeK.Add(102);
    CClassElem(doc.GetModelDB()).Set(kBeam, e);
    T_THRD_D s;
    s.nCode = 2;
    s.nAcasK = kModalCase;
    s.nEntityK = kBeam;
    s.nComponent = 4; // moment y at I
    std::vector<double> v = Run(s);
    ASSERT_EQ(static_cast<int>(v.size()), kSteps);
    for (int i = 0; i < kSteps; ++i) {
        double u = kPhi1 * std::sin(kW * T(i));
        double f[12];
        for (int c = 0; c < 12; ++c)
            f[c] = (1.0 + c) * u;
        f[4] += 5.0 * f[2];
        f[5] -= 0.2 * f[1];
        // moment y at I is -f5 after the correction (moment unit 12 has no factor here)
        EXPECT_NEAR(v[i], -f[5], 1e-9);
    }
    s.nComponent = 3;
    s.nResultKind = 1; // stress: component 13 bending (+y)
    s.nSubPosition = 1;
    std::vector<double> comb = Run(s);
    s.nSubPosition = 0;
    std::vector<double> plain = Run(s);
    s.nComponent = 0;
    std::vector<double> axial = Run(s);
    for (int i = 0; i < kSteps; ++i)
        EXPECT_NEAR(comb[i], plain[i] + axial[i], 1e-9);
}

TEST_F(SingleDofModel, HistoryPlotStepEqualsSeriesEntry)
{
    T_THRD_D s;
    s.nCode = 1;
    s.nAcasK = kModalCase;
    s.nEntityK = kTruss;
    std::vector<double> fi = Run(s);
    s.nPosition = 1;
    s.nResultKind = 1;
    std::vector<double> sj = Run(s);
    CPVSTHCalcHistPlotData src(kModalCase);
    ASSERT_EQ(src.BeginQuery(1), 1);
    for (int k : {0, 17, kSteps - 1}) {
        T_PSTRT_D r;
        ASSERT_EQ(src.GetTrussValue(k, kTruss, r), 1);
        EXPECT_DOUBLE_EQ(r.dForceI, fi[k]);
        EXPECT_DOUBLE_EQ(r.dStressJ, sj[k]);
    }
    T_PSTRT_D r;
    EXPECT_EQ(src.GetTrussValue(-1, kTruss, r), 0);
    EXPECT_EQ(src.GetTrussValue(kSteps, kTruss, r), 0);
    src.EndQuery();
    EXPECT_EQ(ctrl[0]->GetOpenCount(), 0); // nothing released, nothing reopened
}

TEST_F(SingleDofModel, MaxMinKeepsTheFirstOfTies)
{
    CPostCtrlGeoTech* post = CTHResultBuilder::PostCtrl(doc);
    T_LCOM_D comb;
    post->MakeLoadComb(4, kModalCase, comb);
    post->BeginQueryResult(comb, 1, 0);
    CPVSTHCalcTrssFunc f;
    f.SetAnalTypeCtrl(ctrl[0]);
    T_THRD_D req;
    req.nAcasK = kModalCase;
    req.nEntityK = kTruss;
    f.Init(req);
    CArray<double, double> out;
    double mx = 0, mn = 0;
    int smx = -1, smn = -1;
    ASSERT_EQ(f.CalcMaxMin(1, kTruss, 0, 1, out, mx, smx, mn, smn, 0, kSteps, 3), 1);
    double emx = -1e300, emn = 1e300;
    int es = 0, en = 0;
    for (int i = 0, s = 0; s < kSteps; ++i, s += 3) {
        double v = kForce * 4 * kPhi1 * std::sin(kW * T(s));
        EXPECT_NEAR(out[i], v, 1e-9);
        if (v > emx) { emx = v; es = s; }
        if (v < emn) { emn = v; en = s; }
    }
    EXPECT_EQ(smx, es);
    EXPECT_EQ(smn, en);
    post->EndQueryResult();
}

// Recording double of the one-step entry.
struct StepCall {
    std::string path;
    int len, kind, type, row, hist, count, step, prod, flag, option, id;
    int calls = 0;
} g_step;

void RecordStep(const char* p, int len, int kind, int type, int row, int hist, int count, int step, int prod,
                int flag, double* out, int option, int id)
{
    g_step = StepCall{std::string(p, static_cast<size_t>(len)), len, kind, type, row, hist, count, step, prod, flag,
                      option, id, g_step.calls + 1};
    *out = 2.0e-6 * row;
}

TEST_F(SingleDofModel, ElementReadersPassRowKindAndOptionToTheStepEntry)
{
    g_step = StepCall{};
    kvpvs::timehistory::CurrentElementResultsEntry().step = &RecordStep;
    CDocCtrl::GetInitCtrl(&doc)->SetPreference(T_PREFERENCE{1e-6});
    CPVSTHCalcHistPlotData src(kModalCase);
    ASSERT_EQ(src.BeginQuery(7), 1);
    EXPECT_FALSE(ctrl[0]->IsXa1Open());
    double v = -1;
    ASSERT_EQ(src.GetPlstrnStress(4, 70, 4, 0, 3, 3, v), 1);
    EXPECT_EQ(g_step.calls, 1);
    EXPECT_EQ(g_step.path, "/data/run/case");
    EXPECT_EQ(g_step.len, 14);
    EXPECT_EQ(g_step.kind, 2);
    EXPECT_EQ(g_step.type, 7);
    EXPECT_EQ(g_step.row, 16);
    EXPECT_EQ(g_step.hist, 1);
    EXPECT_EQ(g_step.count, kSteps);
    EXPECT_EQ(g_step.step, 5);
    EXPECT_EQ(g_step.prod, 4);
    EXPECT_EQ(g_step.flag, 0);
    EXPECT_EQ(g_step.option, 3); // plane strain passes the option word unchanged
    EXPECT_EQ(g_step.id, 700);
    EXPECT_DOUBLE_EQ(v, 32e-6 * kStress);
    src.GetPlateUnitForce(0, 70, 4, 0, 1, 7, v);
    EXPECT_EQ(g_step.row, 38);
    EXPECT_EQ(g_step.option, 0); // plate kinds pass 0
    src.GetSolidStrain(0, 70, 20, 0, 1, 5, v);
    EXPECT_EQ(g_step.row, 192);
    src.GetPlateStress(0, 70, 6, 0, 1, 0, v);
    EXPECT_EQ(g_step.row, 49);
    EXPECT_EQ(g_step.kind, 7);
    EXPECT_DOUBLE_EQ(v, 49 * 2e-6 * kStress);
    // Strain (unit type 0) of row 1... a value below the tolerance becomes 0.
    src.GetPlstrnStrain(0, 70, 4, 0, 0, 0, v); // row 33: 6.6e-5
    EXPECT_DOUBLE_EQ(v, 6.6e-5);
    int calls = g_step.calls;
    v = -1;
    EXPECT_EQ(src.GetPlstrnStress(0, 70, 5, 0, 0, 0, v), 1);
    EXPECT_EQ(g_step.calls, calls); // 5 nodes: no kind, no call
    EXPECT_EQ(v, 0.0);
    src.EndQuery();
    EXPECT_TRUE(ctrl[0]->IsXa1Open());
    EXPECT_TRUE(ctrl[0]->IsXa2Open());
}

TEST_F(SingleDofModel, ValueSourceWithoutControlFails)
{
    CTHResultBuilder::PostCtrl(doc)->AddCaseWithoutControl(99);
    CPVSTHCalcHistPlotData src(99);
    EXPECT_EQ(src.BeginQuery(1), 1);
    T_PSTRT_D r;
    EXPECT_EQ(src.GetTrussValue(0, kTruss, r), 0);
    double v = 0;
    EXPECT_EQ(src.GetPlstrnStress(0, 70, 4, 0, 0, 0, v), 0);
    src.EndQuery();
}

TEST(ResultBasePath, TooLongFailsAndLengthIsTheBasePath)
{
    char buf[kvpvs::timehistory::BASE_PATH_CHARS];
    int n = -1;
    EXPECT_EQ(kvpvs::timehistory::MakeResultBasePath("C:\\w\\a.b\\run.xa2", buf, n), 1);
    EXPECT_STREQ(buf, "C:\\w\\a.b\\run");
    EXPECT_EQ(n, 12);
    EXPECT_EQ(kvpvs::timehistory::MakeResultBasePath(CString('x', 1030) + ".xa2", buf, n), 0);
}


// --- Text reports against golden texts built with the report's own printf formats ---

__attribute__((format(printf, 1, 2))) std::string Fmt(const char* pszFormat, ...)
{
    char buf[1024];
    va_list args;
    va_start(args, pszFormat);
    std::vsnprintf(buf, sizeof buf, pszFormat, args);
    va_end(args);
    return buf;
}

// The host's texts of the report messages (the name is returned for an unregistered one).
void RegisterReportTexts()
{
    CMsgDll::SetText("IDS_QB_PVS_Displacement", "Displacement");
    CMsgDll::SetText("IDS_QB_PVS_Force", "Force");
    CMsgDll::SetText("IDS_QB_PVS_Stress", "Stress");
    CMsgDll::SetText("IDS_QB_PVS__n_NODE____5d___10s_History_______UNIT_S",
                     "\n NODE = %5d  %10s History       UNIT SYSTEM ..: %s, %s\n");
    CMsgDll::SetText("IDS_QB_PVS_MaxMin_of_Selected_Nodes", " Maximum/Minimum of Selected Nodes\n");
    CMsgDll::SetText("IDS_QB_PVS__Maximum_Minimum__s_of_Selected_Trussses", " Maximum/Minimum %s of Selected Trusses\n");
    CMsgDll::SetText("IDS_QB_PVS__n_ELEM____5d_BEAM__8s_History__Local___", "\n ELEM = %5d BEAM %8s History (Local)\n");
    CMsgDll::SetText("IDS_QB_PVS__Maximum_Minimum__s_of_Selected_Beams___", " Maximum/Minimum %s of Selected Beams\n");
}

// Extremes of a sampled series: the first value sets both, later ones only when strictly beyond.
struct Extremes {
    double max = 0, min = 0;
    double tMax = 0, tMin = 0;
    void Take(int i, double v, double t)
    {
        if (i == 0 || v > max) { max = v; tMax = t; }
        if (i == 0 || v < min) { min = v; tMin = t; }
    }
};

// Window of the reports: t from 0.045 to 0.295 -> steps 4 (t 0.05) up to, not including, 29;
// every second step.
constexpr double kRepStart = 0.045, kRepEnd = 0.295;
constexpr int kRepFirst = 4, kRepLast = 29, kRepStride = 2;

// The steps a report of the window prints with a stride, counted without int overflow.
std::vector<int> SampledSteps(int nStride)
{
    std::vector<int> steps;
    for (long long s = kRepFirst; s < kRepLast; s += nStride)
        steps.push_back(static_cast<int>(s));
    return steps;
}

enum ReportKind { kRepDisp, kRepTrussForce, kRepTrussStress, kRepBeamForce, kRepBeamStress };
struct ReportCase {
    ReportKind kind;
    unsigned acas;
    int stride = kRepStride;
};

const char* report_name(ReportKind k)
{
    static const char* const names[] = {"Displacement", "TrussForce", "TrussStress", "BeamForce", "BeamStress"};
    return names[k];
}

void PrintTo(const ReportCase& c, std::ostream* os) { *os << case_name(c.acas) << ' ' << report_name(c.kind); }

class TextReport : public SingleDofModel, public ::testing::WithParamInterface<ReportCase> {
protected:
    // A second truss with its column coefficients times -2 and a second beam with its force
    // columns times -0.5, so that the summaries name different elements for maxima and minima.
    static constexpr unsigned kTruss2 = 49, kBeam2 = 61;
    static constexpr double kTrussScale2 = -2.0, kBeamScale2 = -0.5;
    void AddSecondElements()
    {
        std::vector<double> t = TrussArray();
        t[12 + 0] *= kTrussScale2;
        t[12 + 1] *= kTrussScale2;
        std::vector<double> b = BeamArray();
        for (int c = 0; c < 12; ++c)
            b[static_cast<size_t>(12 + c)] *= kBeamScale2;
        for (CPostCtrlAnlTypeTHIS* p : ctrl) {
            p->Data().truss[kTruss2] = t;
            p->Data().beam[kBeam2] = b;
        }
    }
};

// u(t) of node 1's equation: phi1 q, with q = sin wt.
double U(int s) { return kPhi1 * std::sin(kW * T(s)); }

std::string ExpectedDisplacementReport(const std::vector<int>& sampled)
{
    // Node 1 moves phi1 q in DX, node 2 phi2 q; the range readers convert nothing.
    const char* kHeader = "  TIME        DX           DY           DZ           RX           RY           RZ \n";
    const char* kRule = "-------  -----------  -----------  -----------  -----------  -----------  -----------\n";
    std::string e = Fmt("\n ** %s Time-history Output Data ** \n", "Displacement");
    e += "_____________________________________________\n\n";
    Extremes g[6];
    unsigned gMaxK[6] = {}, gMinK[6] = {};
    const unsigned nodes[2] = {1, 2};
    for (int n = 0; n < 2; ++n) {
        const double phi = n == 0 ? kPhi1 : kPhi2;
        e += Fmt("\n NODE = %5d  %10s History       UNIT SYSTEM ..: %s, %s\n", 1 + n, "Displacement", "kN", "m");
        e += "----------------------------------- \n\n";
        e += kHeader;
        e += kRule;
        Extremes x[6];
        for (int i = 0; i < static_cast<int>(sampled.size()); ++i) {
            const int s = sampled[static_cast<size_t>(i)];
            double v[6] = {phi * std::sin(kW * T(s)), 0, 0, 0, 0, 0};
            for (int c = 0; c < 6; ++c)
                x[c].Take(i, v[c], T(s));
            e += Fmt("%7.3f  %11.3e  %11.3e  %11.3e  %11.3e  %11.3e  %11.3e\n", T(s), v[0], v[1], v[2], v[3], v[4], v[5]);
        }
        e += kRule;
        e += Fmt("Maximum  %11.3e  %11.3e  %11.3e  %11.3e  %11.3e  %11.3e\n", x[0].max, x[1].max, x[2].max, x[3].max,
                 x[4].max, x[5].max);
        e += Fmt("At Time  %11.3f  %11.3f  %11.3f  %11.3f  %11.3f  %11.3f\n", x[0].tMax, x[1].tMax, x[2].tMax,
                 x[3].tMax, x[4].tMax, x[5].tMax);
        e += Fmt("Minimum  %11.3e  %11.3e  %11.3e  %11.3e  %11.3e  %11.3e\n", x[0].min, x[1].min, x[2].min, x[3].min,
                 x[4].min, x[5].min);
        e += Fmt("At Time  %11.3f  %11.3f  %11.3f  %11.3f  %11.3f  %11.3f\n", x[0].tMin, x[1].tMin, x[2].tMin,
                 x[3].tMin, x[4].tMin, x[5].tMin);
        for (int c = 0; c < 6; ++c) {
            if (n == 0 || x[c].max > g[c].max) { g[c].max = x[c].max; g[c].tMax = x[c].tMax; gMaxK[c] = nodes[n]; }
            if (n == 0 || x[c].min < g[c].min) { g[c].min = x[c].min; g[c].tMin = x[c].tMin; gMinK[c] = nodes[n]; }
        }
    }
    e += "\n---------------------------------------------- \n";
    e += " Maximum/Minimum of Selected Nodes\n";
    e += "---------------------------------------------- \n\n";
    e += kHeader;
    e += kRule;
    e += Fmt("Maximum  %11.3e  %11.3e  %11.3e  %11.3e  %11.3e  %11.3e\n", g[0].max, g[1].max, g[2].max, g[3].max,
             g[4].max, g[5].max);
    e += Fmt("At Time  %11.3f  %11.3f  %11.3f  %11.3f  %11.3f  %11.3f\n", g[0].tMax, g[1].tMax, g[2].tMax, g[3].tMax,
             g[4].tMax, g[5].tMax);
    e += Fmt("Node     %11d  %11d  %11d  %11d  %11d  %11d\n", gMaxK[0], gMaxK[1], gMaxK[2], gMaxK[3], gMaxK[4], gMaxK[5]);
    e += Fmt("Minimum  %11.3e  %11.3e  %11.3e  %11.3e  %11.3e  %11.3e\n", g[0].min, g[1].min, g[2].min, g[3].min,
             g[4].min, g[5].min);
    e += Fmt("At Time  %11.3f  %11.3f  %11.3f  %11.3f  %11.3f  %11.3f\n", g[0].tMin, g[1].tMin, g[2].tMin, g[3].tMin,
             g[4].tMin, g[5].tMin);
    e += Fmt("Node     %11d  %11d  %11d  %11d  %11d  %11d\n", gMinK[0], gMinK[1], gMinK[2], gMinK[3], gMinK[4], gMinK[5]);
    e += "\n\n";
    return e;
}

std::string ExpectedTrussReport(const std::vector<int>& sampled, bool bStress, unsigned k1, double scale1, unsigned k2,
                                double scale2)
{
    // FI = 3u, FJ = 4u (times the element's scale); record (-FI, FJ, -FI f2, FJ f3), converted.
    auto value = [&](double scale, int end, int s) {
        double u = scale * U(s);
        double rec[4] = {-3 * u, 4 * u, -3 * u * 0.5, 4 * u * 0.25};
        return bStress ? rec[2 + end] * kStress : rec[end] * kForce;
    };
    const char* kind = bStress ? "Stress" : "Force";
    std::string e = Fmt("\n ** %s Truss Element Time-history Output Data ** \n", "");
    e += "___________________________________________________________\n\n";
    Extremes g[2];
    unsigned gMaxK[2] = {}, gMinK[2] = {};
    const unsigned keys[2] = {k1, k2};
    const double scales[2] = {scale1, scale2};
    for (int n = 0; n < 2; ++n) {
        Extremes x[2];
        std::string steps;
        for (int i = 0; i < static_cast<int>(sampled.size()); ++i) {
            const int s = sampled[static_cast<size_t>(i)];
            double v0 = value(scales[n], 0, s), v1 = value(scales[n], 1, s);
            x[0].Take(i, v0, T(s));
            x[1].Take(i, v1, T(s));
            steps += Fmt("%7.3f  %11.3e  %11.3e\n", T(s), v0, v1);
        }
        for (int c = 0; c < 2; ++c) {
            if (n == 0 || x[c].max > g[c].max) { g[c].max = x[c].max; g[c].tMax = x[c].tMax; gMaxK[c] = keys[n]; }
            if (n == 0 || x[c].min < g[c].min) { g[c].min = x[c].min; g[c].tMin = x[c].tMin; gMinK[c] = keys[n]; }
        }
        e += Fmt("\n ELEM = %5d TRUSS %6s History       UNIT SYSTEM ..: %s, %s\n", keys[n], kind, "kN", "m");
        e += "----------------------------------- \n\n";
        e += bStress ? "  TIME    STRESS-I     STRESS-J  \n" : "  TIME     FORCE-I      FORCE-J  \n";
        e += "-------  -----------  -----------\n\n";
        e += steps;
        e += "\n-------  -----------  -----------\n\n";
        e += Fmt("Maximum  %11.3e  %11.3e\n", x[0].max, x[1].max);
        e += Fmt("At Time  %11.3f  %11.3f\n", x[0].tMax, x[1].tMax);
        e += Fmt("Minimum  %11.3e  %11.3e\n", x[0].min, x[1].min);
        e += Fmt("At Time  %11.3f  %11.3f\n", x[0].tMin, x[1].tMin);
        e += "\n\n";
    }
    e += "\n------------------------------------------------ \n";
    e += Fmt(" Maximum/Minimum %s of Selected Trusses\n", kind);
    e += "------------------------------------------------ \n\n";
    e += bStress ? "  TIME    STRESS-I     STRESS-J  \n" : "  TIME    FORCE-I      FORCE-J  \n";
    e += "-------  -----------  -----------\n\n";
    e += Fmt("Maximum  %11.3e  %11.3e\n", g[0].max, g[1].max);
    e += Fmt("At Time  %11.3f  %11.3f\n", g[0].tMax, g[1].tMax);
    e += Fmt("Truss    %11d  %11d\n", gMaxK[0], gMaxK[1]);
    e += "\n";
    e += Fmt("Minimum  %11.3e  %11.3e\n", g[0].min, g[1].min);
    e += Fmt("At Time  %11.3f  %11.3f\n", g[0].tMin, g[1].tMin);
    e += Fmt("Truss    %11d  %11d\n", gMinK[0], gMinK[1]);
    return e;
}

// The beam's record from its twelve end forces, written out from the sign table:
// (r0..r5) = (-f0, f2, -f1, -f3, -f5, -f4), (r6..r11) = (f6, -f8, f7, f9, f11, f10); stresses
// from c_j = 0.1 (j + 1) and d_j = 0.2 (j + 1) of BeamArray.
void BeamRecordByTable(const double f[12], double r[26])
{
    const double rf[12] = {-f[0], f[2], -f[1], -f[3], -f[5], -f[4], f[6], -f[8], f[7], f[9], f[11], f[10]};
    for (int i = 0; i < 12; ++i)
        r[i] = rf[i];
    auto c = [](int j) { return 0.1 * (j + 1); };
    auto d = [](int j) { return 0.2 * (j + 1); };
    const double st[14] = {-r[0] * c(0), -r[1] * c(2), -r[2] * c(1), r[5] * c(3), r[5] * c(4), -r[4] * c(5),
                           -r[4] * c(6), r[6] * d(7), r[7] * d(9), r[8] * d(8), -r[11] * d(10), -r[11] * d(11),
                           r[10] * d(12), r[10] * d(13)};
    for (int i = 0; i < 14; ++i)
        r[12 + i] = st[i];
}

std::string ExpectedBeamReport(const std::vector<int>& sampled, bool bStress, unsigned k1, unsigned k2, double scale2)
{
    const int nCols = bStress ? 7 : 6;
    // Value of column c at end e: forces 0-2 convert as forces, 3-5 as moments (no factor here).
    auto value = [&](double scale, int c, int e, int s) {
        double f[12], r[26];
        for (int j = 0; j < 12; ++j)
            f[j] = scale * (1.0 + j) * U(s);
        BeamRecordByTable(f, r);
        if (bStress)
            return r[(e == 0 ? 12 : 19) + c] * kStress;
        return r[(e == 0 ? 0 : 6) + c] * (c < 3 ? kForce : 1.0);
    };
    auto tail = [&](const char* fmt, double v) { return nCols == 7 ? Fmt(fmt, v) : std::string("\n"); };
    const char* kind = bStress ? "Stress" : "Force";
    const char* kHead = bStress
        ? "  TIME        AXIAL       SHEAR-y      SHEAR-z    BENDING(+y)  BENDING(-y)  BENDING(+z)  BENDING(-z)\n"
        : "  TIME        AXIAL       SHEAR-y      SHEAR-z      TORSION      MOMENT-y     MOMENT-z \n";
    const char* kRule = bStress
        ? "------- -  -----------  -----------  -----------  -----------  -----------  -----------  -----------\n"
        : "------- -  -----------  -----------  -----------  -----------  -----------  ----------- \n";
    const char* ends[2] = {"I", "J"};
    std::string e = Fmt("\n ** %s Beam Element Time-history Output Data ** \n", "");
    e += "___________________________________________________________\n\n";
    Extremes g[2][7];
    unsigned gMaxK[2][7] = {}, gMinK[2][7] = {};
    const unsigned keys[2] = {k1, k2};
    const double scales[2] = {1.0, scale2};
    for (int n = 0; n < 2; ++n) {
        Extremes x[2][7];
        std::string steps;
        for (int i = 0; i < static_cast<int>(sampled.size()); ++i) {
            const int s = sampled[static_cast<size_t>(i)];
            double v[2][7] = {};
            for (int en = 0; en < 2; ++en)
                for (int c = 0; c < nCols; ++c) {
                    v[en][c] = value(scales[n], c, en, s);
                    x[en][c].Take(i, v[en][c], T(s));
                }
            steps += Fmt("%7.3f I  %11.3e  %11.3e  %11.3e  %11.3e  %11.3e  %11.3e", T(s), v[0][0], v[0][1], v[0][2],
                         v[0][3], v[0][4], v[0][5]);
            steps += tail("  %11.3e\n", v[0][6]);
            steps += Fmt("%7s J  %11.3e  %11.3e  %11.3e  %11.3e  %11.3e  %11.3e", "", v[1][0], v[1][1], v[1][2],
                         v[1][3], v[1][4], v[1][5]);
            steps += tail("  %11.3e\n", v[1][6]);
        }
        for (int en = 0; en < 2; ++en)
            for (int c = 0; c < nCols; ++c) {
                Extremes& a = g[en][c];
                const Extremes& b = x[en][c];
                if (n == 0 || b.max > a.max) { a.max = b.max; a.tMax = b.tMax; gMaxK[en][c] = keys[n]; }
                if (n == 0 || b.min < a.min) { a.min = b.min; a.tMin = b.tMin; gMinK[en][c] = keys[n]; }
            }
        e += Fmt("\n ELEM = %5d BEAM %8s History (Local)\n", keys[n], kind);
        e += "--------------------------------------------- \n\n";
        e += kHead;
        e += kRule;
        e += steps;
        e += "\n";
        e += kRule;
        e += "\n";
        for (int en = 0; en < 2; ++en) {
            const Extremes* y = x[en];
            e += Fmt("Maximum %s  %11.3e  %11.3e  %11.3e  %11.3e  %11.3e  %11.3e", ends[en], y[0].max, y[1].max,
                     y[2].max, y[3].max, y[4].max, y[5].max);
            e += tail("  %11.3e\n", y[6].max);
            e += Fmt("At Time    %11.3f  %11.3f  %11.3f  %11.3f  %11.3f  %11.3f", y[0].tMax, y[1].tMax, y[2].tMax,
                     y[3].tMax, y[4].tMax, y[5].tMax);
            e += tail("  %11.3f\n", y[6].tMax);
            e += Fmt("Minimum %s  %11.3e  %11.3e  %11.3e  %11.3e  %11.3e  %11.3e", ends[en], y[0].min, y[1].min,
                     y[2].min, y[3].min, y[4].min, y[5].min);
            e += tail("  %11.3e\n", y[6].min);
            e += Fmt("At Time    %11.3f  %11.3f  %11.3f  %11.3f  %11.3f  %11.3f", y[0].tMin, y[1].tMin, y[2].tMin,
                     y[3].tMin, y[4].tMin, y[5].tMin);
            e += tail("  %11.3f\n", y[6].tMin);
        }
        e += "\n\n";
    }
    e += "\n---------------------------------------------- \n";
    e += Fmt(" Maximum/Minimum %s of Selected Beams\n", kind);
    e += "---------------------------------------------- \n\n";
    e += kHead;
    e += kRule;
    for (int en = 0; en < 2; ++en)
        for (int m = 0; m < 2; ++m) {
            const Extremes* y = g[en];
            const unsigned* k = m == 0 ? gMaxK[en] : gMinK[en];
            double v[7], t[7];
            for (int c = 0; c < 7; ++c) {
                v[c] = m == 0 ? y[c].max : y[c].min;
                t[c] = m == 0 ? y[c].tMax : y[c].tMin;
            }
            e += Fmt(m == 0 ? "Maximum %s  %11.3e  %11.3e  %11.3e  %11.3e  %11.3e  %11.3e"
                            : "Minimum %s  %11.3e  %11.3e  %11.3e  %11.3e  %11.3e  %11.3e",
                     ends[en], v[0], v[1], v[2], v[3], v[4], v[5]);
            e += tail("  %11.3e\n", v[6]);
            e += Fmt("At Time    %11.3f  %11.3f  %11.3f  %11.3f  %11.3f  %11.3f", t[0], t[1], t[2], t[3], t[4], t[5]);
            e += tail("  %11.3f\n", t[6]);
            e += Fmt("Beam       %11d  %11d  %11d  %11d  %11d  %11d", k[0], k[1], k[2], k[3], k[4], k[5]);
            e += nCols == 7 ? Fmt("  %11d\n", k[6]) : std::string("\n");
            e += "\n";
        }
    return e;
}

TEST_P(TextReport, MatchesTheGoldenText)
{
    const ReportCase c = GetParam();
    RegisterReportTexts();
    AddSecondElements();
    T_THREPORT_D rep;
    rep.nThisK = c.acas == kModalCase ? 1 : 2;
    rep.nStride = c.stride;
    rep.dStart = kRepStart;
    rep.dEnd = kRepEnd;
    const std::vector<int> steps = SampledSteps(c.stride);
    std::string expected;
    int code = 0;
    switch (c.kind) {
    case kRepDisp:
        code = 1;
        rep.aKeys.Add(2);
        rep.aKeys.Add(1);
        expected = ExpectedDisplacementReport(steps);
        break;
    case kRepTrussForce:
    case kRepTrussStress:
        code = 2;
        rep.nKind = c.kind == kRepTrussStress ? 1 : 0;
        rep.aKeys.Add(kTruss);
        rep.aKeys.Add(kTruss2);
        // Sorted ascending: the second truss (49) comes first.
        expected = ExpectedTrussReport(steps, rep.nKind == 1, kTruss2, kTrussScale2, kTruss, 1.0);
        break;
    case kRepBeamForce:
    case kRepBeamStress:
        code = 3;
        rep.nKind = c.kind == kRepBeamStress ? 1 : 0;
        rep.aKeys.Add(kBeam2);
        rep.aKeys.Add(kBeam);
        expected = ExpectedBeamReport(steps, rep.nKind == 1, kBeam, kBeam2, kBeamScale2);
        break;
    }
    std::string text = Write(code, rep);
    EXPECT_EQ(text, expected);
    EXPECT_EQ(CTHResultBuilder::PostCtrl(doc)->GetQueryDepth(), 0); // the report's query is closed
}

std::string ReportCaseName(const ::testing::TestParamInfo<ReportCase>& info)
{
    static const char* const kKind[] = {"Displacement", "TrussForce", "TrussStress", "BeamForce", "BeamStress"};
    const ReportCase& c = info.param;
    return std::string(kKind[c.kind]) + (c.acas == kModalCase ? "Modal" : "Direct") +
           (c.stride == kRepStride ? std::string("EverySecondStep") : "Stride" + std::to_string(c.stride));
}

// A stride near INT_MAX from a window that starts after step 0 prints the first step alone.
INSTANTIATE_TEST_SUITE_P(
    ModalAndDirect, TextReport,
    ::testing::Values(ReportCase{kRepDisp, kModalCase}, ReportCase{kRepDisp, kDirectCase},
                      ReportCase{kRepTrussForce, kModalCase}, ReportCase{kRepTrussStress, kDirectCase},
                      ReportCase{kRepBeamForce, kModalCase}, ReportCase{kRepBeamStress, kModalCase},
                      ReportCase{kRepBeamForce, kDirectCase}, ReportCase{kRepDisp, kDirectCase, INT_MAX},
                      ReportCase{kRepTrussStress, kModalCase, INT_MAX - 3},
                      ReportCase{kRepBeamStress, kDirectCase, INT_MAX}),
    &ReportCaseName);

TEST_F(TextReport, FailuresWriteNothing)
{
    T_THREPORT_D rep;
    rep.nThisK = 1;
    rep.aKeys.Add(kBeam);
    rep.dStart = 0.5;
    rep.dEnd = 0.2; // end before start
    EXPECT_EQ(Write(3, rep), "");
    rep.dStart = 0.095;
    rep.dEnd = 0.095; // start and end reach the same step: empty window
    EXPECT_EQ(Write(3, rep), "");
    rep.dStart = 0.0;
    rep.nThisK = 77; // no such history
    EXPECT_EQ(Write(2, rep), "");
    rep.nThisK = 3;  // a case of another analysis type
    EXPECT_EQ(Write(1, rep), "");
    EXPECT_EQ(Write(7, rep), "");
}

// Without a stream the report goes to the report file beside the document, written whole and
// then shown; a report that fails leaves an earlier file as it was.
std::string ReadFile(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

TEST_F(TextReport, ReportFileBesideTheDocument)
{
    RegisterReportTexts();
    CMsgDll::SetText("IDS_QB_PVS_TimeHistoryResult", "TimeHistoryResult");
    kvpvs::testing::TempDir dir;
    doc.SetPathName(dir.file("project.kvd").c_str());
    auto request = [](T_THREPORT_D& rep) {
        rep.nThisK = 1;
        rep.nStride = kRepStride;
        rep.dStart = kRepStart;
        rep.dEnd = kRepEnd;
        rep.aKeys.Add(kTruss);
    };
    T_THREPORT_D ref;
    request(ref);
    const std::string expected = Write(2, ref);
    ASSERT_FALSE(expected.empty());
    T_THREPORT_D rep;
    request(rep);
    engine.WriteReport(2, rep);
    const std::string path = dir.file("TimeHistoryResult.txt");
    EXPECT_EQ(ReadFile(path), expected);
    EXPECT_EQ(std::string(CDBLib::GetLastEditorPath()), path);
    EXPECT_EQ(std::string(CDBLib::GetLastEditorTitle()), "IDS_QB_PVS_TIME_HISTORY_RESULTS");

    T_THREPORT_D reversed;
    request(reversed);
    reversed.dStart = 0.3;
    reversed.dEnd = 0.1;
    engine.WriteReport(1, reversed);
    EXPECT_EQ(ReadFile(path), expected);

    // A folder that does not exist: no file, nothing shown.
    doc.SetPathName(dir.file("gone/project.kvd").c_str());
    T_THREPORT_D lost;
    request(lost);
    engine.WriteReport(2, lost);
    EXPECT_FALSE(std::filesystem::exists(dir.file("gone/TimeHistoryResult.txt")));
    EXPECT_EQ(std::string(CDBLib::GetLastEditorPath()), path);
}

// A FIFO where the report file goes is refused by the framework's opener: the report fails
// with nothing written into it and nothing shown. A reader holds the FIFO open, so that an
// opener that does not refuse it cannot block the test.
TEST_F(TextReport, ReportFileThatIsAFifoIsRefused)
{
    RegisterReportTexts();
    CMsgDll::SetText("IDS_QB_PVS_TimeHistoryResult", "TimeHistoryResult");
    kvpvs::testing::TempDir dir;
    doc.SetPathName(dir.file("project.kvd").c_str());
    const std::string path = dir.file("TimeHistoryResult.txt");
    ASSERT_EQ(::mkfifo(path.c_str(), 0600), 0);
    const int reader = ::open(path.c_str(), O_RDONLY | O_NONBLOCK);
    ASSERT_GE(reader, 0);
    if (FILE* probe = AfxTextFOpen(path.c_str(), "wb")) {
        std::fclose(probe);
        ::close(reader);
        GTEST_SKIP() << "this tree's AfxTextFOpen opens a FIFO";
    }
    CPostCtrlGeoTech* post = CTHResultBuilder::PostCtrl(doc);
    T_LCOM_D comb;
    post->MakeLoadComb(4, kModalCase, comb);
    post->BeginQueryResult(comb, 1, 0);
    CPVSTHCalcTrssFunc f;
    f.SetAnalTypeCtrl(ctrl[0]);
    T_THREPORT_D rep;
    rep.nThisK = 1;
    rep.dStart = kRepStart;
    rep.dEnd = kRepEnd;
    rep.aKeys.Add(kTruss);
    EXPECT_EQ(f.WriteReport(rep), 0);
    post->EndQueryResult();
    char buf[64];
    EXPECT_LE(::read(reader, buf, sizeof buf), 0); // nothing came through
    ::close(reader);
    EXPECT_NE(std::string(CDBLib::GetLastEditorPath()), path);
}

} // namespace
