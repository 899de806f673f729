// Time-history engine on a single-degree-of-freedom modal model with a closed-form response:
// q(t) = sin wt, so displacement, velocity and acceleration are known at every step.
#include "timehistory/CPVSTHCalcBeamFunc.h"
#include "timehistory/CPVSTHCalcFuncFactory.h"
#include "timehistory/CPVSTHCalcHistPlotData.h"
#include "timehistory/CPVSTHCalcTrssFunc.h"
#include "timehistory/CPVSTHEngine.h"
#include "timehistory/ElementResultsEntry.h"

#include "THResultBuilder.h"
#include "UnitCtrl.h"

#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <vector>

namespace {

constexpr double kW = 6.0;            // rad/s
constexpr double kDt = 0.01;
constexpr int kSteps = 200;
constexpr double kPhi1 = 2.0, kPhi2 = 0.5; // mode shape at node 1 (eq 1) and node 2 (eq 2)
constexpr double kLen = 1000.0, kVel = 100.0, kAcc = 10.0, kForce = 3.0, kStress = 7.0; // unit factors
constexpr unsigned kModalCase = 11, kDirectCase = 12, kStaticCase = 13;
constexpr unsigned kTruss = 50, kBeam = 60;

double T(int i) { return kDt * (i + 1); }

std::vector<double> TrussArray()
{
    std::vector<double> a(63, 0.0);
    const int n = 12, m = 4;
    a[0] = 1;           // dof 0 -> equation 1
    a[1] = -3;          // an unnumbered dof: must add nothing
    a[n + 0 + 0 * m] = 3.0; // column 0 (end I) of dof 0
    a[n + 1 + 0 * m] = 4.0; // column 1 (end J)
    a[n + 2] = 0.5;         // stress factor I
    a[n + 3] = 0.25;        // stress factor J
    a[n + 0 + 1 * m] = 100.0; // coefficient of the unnumbered dof
    a[60] = n;
    a[61] = m;
    return a;
}

std::vector<double> BeamArray()
{
    std::vector<double> a(327, 0.0);
    const int n = 12, m = 26;
    a[0] = 1;
    for (int c = 0; c < 12; ++c)
        a[n + c + 0 * m] = 1.0 + c; // column c of dof 0
    for (int j = 0; j < 14; ++j) {
        a[24 + j] = 0.1 * (j + 1);  // c_j (overlaps column coefficients of dof 0 from 12 on)
        a[102 + j] = 0.2 * (j + 1); // d_j
    }
    a[324] = n;
    a[325] = m;
    return a;
}

class SingleDofModel : public ::testing::Test {
protected:
    void SetUp() override
    {
        CZORDocBase::SetCurDoc(&doc);
        std::vector<double> times;
        for (int i = 0; i < kSteps; ++i)
            times.push_back(T(i));
        Build(kModalCase, 1, 1, times);
        Build(kDirectCase, 2, 2, times);
        CTHResultBuilder stat(doc, kStaticCase, 3, 1, times, 1);
        stat.SetAnalysisType(1);
        CUnitCtrl* u = CDocCtrl::GetUnitCtrl(&doc);
        u->SetFactor(1, kLen);
        u->SetFactor(22, kVel);
        u->SetFactor(21, kAcc);
        u->SetFactor(2, kForce);
        u->SetFactor(17, kStress);
    }
    void TearDown() override
    {
        kvpvs::timehistory::ResetElementResultsEntry();
        T_PCFMO_D none;
        T_PCFMO_D::SetDefault(none);
        CZORDocBase::SetCurDoc(nullptr);
    }
    void Build(unsigned acas, unsigned thisK, int method, const std::vector<double>& times)
    {
        CTHResultBuilder b(doc, acas, thisK, 1, times, 1); // modal data first, then its direct form
        b.SetModeShape(1, {kPhi1});
        b.SetModeShape(2, {kPhi2});
        _NDSP_BN n1, n2;
        n1.dEqn[0] = 1;
        n2.dEqn[0] = 2;
        b.SetNode(1, n1);
        b.SetNode(2, n2);
        std::vector<_MDSP_BN> gx(kSteps);
        for (int i = 0; i < kSteps; ++i) {
            b.SetModal(1, i + 1, _MDSP_BN{std::sin(kW * T(i)), kW * std::cos(kW * T(i)), -kW * kW * std::sin(kW * T(i))});
            gx[i] = _MDSP_BN{0.1 * T(i), 0.1, 0.0};
        }
        b.SetGround(0, gx);
        b.SetGround(1, std::vector<_MDSP_BN>(kSteps));
        b.SetGround(2, std::vector<_MDSP_BN>(kSteps));
        b.SetTruss(kTruss, TrussArray());
        b.SetBeam(kBeam, BeamArray());
        b.SetElemSeqId(70, 7, 700);
        b.SetResultFile(2, "/data/run/case.th.xa2");
        if (method == 2) {
            b.FillDirectFromModal();
            b.Data().nMethod = 2;
            // The case record and the solver's flag must say direct as the analysis result does.
            T_THIS_D rec;
            CClassThis(doc.GetModelDB()).Get(thisK, rec);
            rec.nMethod = 1;
            CClassThis(doc.GetModelDB()).Set(thisK, rec);
        }
        ctrl[method - 1] = b.Ctrl();
    }
    std::vector<double> Run(const T_THRD_D& stored)
    {
        CArray<double, double>* p = engine.Run(&stored);
        return std::vector<double>(p->begin(), p->end());
    }
    static T_THRD_D Disp(unsigned acas, int kind, int comp, int dispType, unsigned node = 1, unsigned second = 0)
    {
        T_THRD_D s;
        s.nCode = 0;
        s.nAcasK = acas;
        s.nEntityK = node;
        s.nResultKind = kind;
        s.nComponent = comp;
        s.nDispType = dispType;
        s.nSecondNodeK = second;
        return s;
    }
    CDBDoc doc;
    CPVSTHEngine engine;
    CPostCtrlAnlTypeTHIS* ctrl[2] = {};
};

struct DispCase {
    int kind, dispType;
    unsigned acas;
};

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
                                           DispCase{0, 1, kDirectCase}, DispCase{0, 2, kDirectCase}));

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
                                           TrussCase{1, 1, 0, kDirectCase}));

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
INSTANTIATE_TEST_SUITE_P(EachForce, BeamMapping, ::testing::Range(0, 12));

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

TEST_F(SingleDofModel, ElementReadersCallTheEntryAsSpecified)
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

} // namespace
