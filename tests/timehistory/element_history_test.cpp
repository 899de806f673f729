// The plane-strain, plane-stress and solid history functions' own numbers against a recording
// entry: the factory's codes, the rows and unit types, the library kind by node count, the
// library option by stress option, no call for a node count outside a table, and the text
// reports against golden texts built with the reports' one-line formats.
#include "timehistory/CPVSTHCalcFuncFactory.h"
#include "timehistory/CPVSTHCalcHistPlotData.h"
#include "timehistory/CPVSTHCalcPlateFunc.h"
#include "timehistory/CPVSTHCalcPlstrnFunc.h"
#include "timehistory/CPVSTHCalcPlstrsFunc.h"
#include "timehistory/CPVSTHCalcSolidFunc.h"
#include "timehistory/CPVSTHEngine.h"

#include "single_dof_model.h"

#include "MsgDll.h"
#include "UnitCtrl.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdarg>
#include <memory>
#include <ostream>
#include <string>
#include <vector>

namespace {

using namespace thtest;

struct EntryCall {
    int kind, type, row, hist, count, mode, option, elem;
};
std::vector<EntryCall> g_calls;

// Value i of a row: a wave whose phase and amplitude tell the row and the element type apart.
double RecordedValue(int type, int row, int i) { return (row + 0.5 * type) * std::sin(0.29 * (i + 1) + 0.1 * row); }

void RecordingHistory(const char*, int, int kind, int type, int row, int hist, int n, int, int mode, double* out,
                      int option, int elem)
{
    g_calls.push_back({kind, type, row, hist, n, mode, option, elem});
    for (int i = 0; i < n; ++i)
        out[i] = RecordedValue(type, row, i);
}

// Elements keyed 200 + n (plane) and 300 + n (solid) with n nodes, element type n and id 1000 + n.
class ElementFunction : public SingleDofModel {
protected:
    void SetUp() override
    {
        SingleDofModel::SetUp();
        g_calls.clear();
        kvpvs::timehistory::CurrentElementResultsEntry().history = &RecordingHistory;
        for (unsigned n : {3u, 4u, 5u, 6u, 8u})
            AddElement(200 + n, n);
        for (unsigned n : {4u, 6u, 8u, 9u, 10u, 15u, 20u, 27u})
            AddElement(300 + n, n);
    }
    void AddElement(unsigned k, unsigned nodes)
    {
        T_ELEM_D e;
        for (unsigned j = 0; j < nodes; ++j)
            e.aNodeK.Add(j + 1);
        CClassElem(doc.GetModelDB()).Set(k, e);
        for (CPostCtrlAnlTypeTHIS* c : ctrl)
            c->GetSeqIdInfo()->SetElem(k, static_cast<int>(nodes), 1000 + static_cast<int>(nodes));
    }
    // Stored form: code and result kind from 0.
    static T_THRD_D Stored(int code, unsigned elem, int kind, int pos, int comp, int option = 0)
    {
        T_THRD_D s;
        s.nCode = code - 1;
        s.nEntityK = elem;
        s.nResultKind = kind - 1;
        s.nPosition = pos;
        s.nComponent = comp;
        s.nAcasK = kModalCase;
        s.nStressOption = option;
        return s;
    }
    // A directly constructed function run as the engine runs one.
    template <class F>
    std::vector<double> RunDirect(F& f, const T_THRD_D& stored, int* pResult = nullptr)
    {
        T_THRD_D req;
        CPVSTHEngine::MakeThrdData(&stored, &req);
        f.SetAnalTypeCtrl(ctrl[0]);
        f.Init(req);
        const int r = f.Calculate();
        if (pResult)
            *pResult = r;
        const CArray<double, double>* a = f.GetResults();
        return std::vector<double>(a->GetData(), a->GetData() + a->GetSize());
    }
};

TEST(ElementFunctionFactory, CodesFourFiveAndSixMakeThePlaneStrainPlateAndSolidFunctions)
{
    std::unique_ptr<CPVSTHCalcFuncBase> a(CPVSTHCalcFuncFactory::Create(4));
    std::unique_ptr<CPVSTHCalcFuncBase> b(CPVSTHCalcFuncFactory::Create(5));
    std::unique_ptr<CPVSTHCalcFuncBase> c(CPVSTHCalcFuncFactory::Create(6));
    EXPECT_NE(dynamic_cast<CPVSTHCalcPlstrnFunc*>(a.get()), nullptr);
    EXPECT_NE(dynamic_cast<CPVSTHCalcPlateFunc*>(b.get()), nullptr);
    EXPECT_NE(dynamic_cast<CPVSTHCalcSolidFunc*>(c.get()), nullptr);
    // No code makes the plane-stress function.
    for (int code : {0, 7, -1})
        EXPECT_EQ(CPVSTHCalcFuncFactory::Create(code), nullptr) << code;
}

TEST(ElementFunctionTables, UnitTypesByResultKind)
{
    for (int c : {0, 3, 5, 9}) {
        EXPECT_EQ(CPVSTHCalcPlstrnFunc::GetResultUnitType(1, c), 2);
        EXPECT_EQ(CPVSTHCalcPlstrnFunc::GetResultUnitType(2, c), 17);
        EXPECT_EQ(CPVSTHCalcPlstrnFunc::GetResultUnitType(3, c), 0);
        EXPECT_EQ(CPVSTHCalcPlstrnFunc::GetResultUnitType(4, c), 1);
        EXPECT_EQ(CPVSTHCalcSolidFunc::GetResultUnitType(1, c), 2);
        EXPECT_EQ(CPVSTHCalcSolidFunc::GetResultUnitType(2, c), 17);
        EXPECT_EQ(CPVSTHCalcSolidFunc::GetResultUnitType(3, c), 0);
        EXPECT_EQ(CPVSTHCalcSolidFunc::GetResultUnitType(0, c), 1);
        EXPECT_EQ(CPVSTHCalcPlstrsFunc::GetResultUnitType(1, c), 2);
        EXPECT_EQ(CPVSTHCalcPlstrsFunc::GetResultUnitType(2, c), 17);
        EXPECT_EQ(CPVSTHCalcPlstrsFunc::GetResultUnitType(3, c), 1); // no strains
    }
}

TEST_F(ElementFunction, PlaneStrainRowsByNodeCount)
{
    CPVSTHCalcPlstrnFunc f;
    EXPECT_EQ(f.GetResultRow(204, 1, 3, 1), 11); // Fy of node L
    EXPECT_EQ(f.GetResultRow(204, 2, 0, 2), 15); // Sig-zz at the centre
    EXPECT_EQ(f.GetResultRow(208, 2, 0, 2), 27);
    EXPECT_EQ(f.GetResultRow(204, 3, 4, 3), 52); // the last strain row of four nodes
    EXPECT_EQ(f.GetResultRow(208, 3, 0, 0), 61); // the first of eight
    EXPECT_EQ(f.GetResultRow(203, 2, 0, 2), 15); // a triangle reads a quadrilateral's rows
    EXPECT_EQ(f.GetResultRow(206, 2, 0, 2), 27); // a 6-node element an 8-node one's
    EXPECT_EQ(f.GetResultRow(205, 2, 0, 2), 1);
    EXPECT_EQ(f.GetResultRow(204, 4, 0, 0), 1);
    for (int n : {3, 4, 5, 6, 8})
        for (int k = 0; k <= 4; ++k)
            for (int p = 0; p < 9; ++p)
                for (int c = 0; c < 4; ++c)
                    EXPECT_EQ(f.GetResultRow(200u + static_cast<unsigned>(n), k, p, c),
                              CPVSTHCalcHistPlotData::GetPlstrnRow(n, k, p, c));
}

TEST_F(ElementFunction, PlaneStressRowsByNodeCount)
{
    CPVSTHCalcPlstrsFunc f;
    EXPECT_EQ(f.GetResultRow(204, 1, 3, 1), 11);
    EXPECT_EQ(f.GetResultRow(204, 2, 0, 0), 13);
    EXPECT_EQ(f.GetResultRow(204, 2, 4, 2), 27); // the last stress row of four nodes
    EXPECT_EQ(f.GetResultRow(208, 2, 0, 0), 25);
    EXPECT_EQ(f.GetResultRow(208, 2, 8, 2), 51);
    EXPECT_EQ(f.GetResultRow(203, 2, 1, 1), 17);
    EXPECT_EQ(f.GetResultRow(206, 2, 1, 1), 29);
    EXPECT_EQ(f.GetResultRow(204, 3, 0, 0), 1); // no strains
    EXPECT_EQ(f.GetResultRow(205, 1, 0, 0), 1);
}

TEST_F(ElementFunction, SolidRowsByNodeCount)
{
    CPVSTHCalcSolidFunc f;
    EXPECT_EQ(f.GetResultRow(308, 1, 7, 2), 24); // Fz of node P, the last force row
    EXPECT_EQ(f.GetResultRow(308, 2, 0, 5), 30);
    EXPECT_EQ(f.GetResultRow(308, 2, 8, 5), 78);
    EXPECT_EQ(f.GetResultRow(320, 3, 20, 5), 312);
    EXPECT_EQ(f.GetResultRow(304, 2, 8, 5), 78); // 4 and 6 nodes read an 8-node solid's rows
    EXPECT_EQ(f.GetResultRow(306, 3, 0, 0), 79);
    EXPECT_EQ(f.GetResultRow(310, 3, 20, 5), 312); // 10 and 15 nodes a 20-node solid's
    EXPECT_EQ(f.GetResultRow(315, 2, 0, 0), 61);
    EXPECT_EQ(f.GetResultRow(309, 2, 0, 0), 1);
    EXPECT_EQ(f.GetResultRow(327, 2, 0, 0), 1);
    for (int n : {4, 6, 8, 9, 10, 15, 20, 27})
        for (int k = 0; k <= 4; ++k)
            for (int p = 0; p < 21; ++p)
                for (int c = 0; c < 6; ++c)
                    EXPECT_EQ(f.GetResultRow(300u + static_cast<unsigned>(n), k, p, c),
                              CPVSTHCalcHistPlotData::GetSolidRow(n, k, p, c));
}

// A function's call for an element: library kind, option by stress option.
struct CallCase {
    const char* name;
    int code;         // 4 plane strain, 6 solid, 0 the plane-stress function built directly
    unsigned elem;
    int kind;         // the library's; 0 for no call
    int result_kind;
    int row;
    int stress_option;
    int option;       // passed to the library
    double factor;    // output units
};

void PrintTo(const CallCase& c, std::ostream* os) { *os << c.name; }

class ElementFunctionCalls : public ElementFunction, public ::testing::WithParamInterface<CallCase> {};

TEST_P(ElementFunctionCalls, OneLibraryCallForTheWholeSeriesInOutputUnits)
{
    const CallCase c = GetParam();
    // The centre's first stress (result kind 2) or node I's Fx (result kind 1), strains at the centre.
    T_THRD_D s = Stored(c.code == 0 ? 4 : c.code, c.elem, c.result_kind, 0, 0, c.stress_option);
    s.nModeNumber = 2;
    std::vector<double> v;
    if (c.code == 0) {
        CPVSTHCalcPlstrsFunc f;
        int r = -1;
        v = RunDirect(f, s, &r);
        EXPECT_EQ(r, c.kind ? 1 : 0);
    } else {
        v = Run(s);
    }
    if (c.kind == 0) {
        EXPECT_TRUE(g_calls.empty());
        EXPECT_TRUE(v.empty());
        return;
    }
    ASSERT_EQ(g_calls.size(), 1u);
    const EntryCall& e = g_calls[0];
    EXPECT_EQ(e.kind, c.kind);
    EXPECT_EQ(e.row, c.row);
    EXPECT_EQ(e.option, c.option);
    EXPECT_EQ(e.type, static_cast<int>(c.elem % 100));
    EXPECT_EQ(e.elem, 1000 + static_cast<int>(c.elem % 100));
    EXPECT_EQ(e.mode, 2);
    EXPECT_EQ(e.hist, 1);
    EXPECT_EQ(e.count, kSteps);
    ASSERT_EQ(static_cast<int>(v.size()), kSteps);
    for (int i = 0; i < kSteps; ++i)
        EXPECT_EQ(v[static_cast<std::size_t>(i)], c.factor * RecordedValue(e.type, c.row, i)) << i;
}

INSTANTIATE_TEST_SUITE_P(
    Elements, ElementFunctionCalls,
    ::testing::Values(CallCase{"PlaneStrain3NodesOption1", 4, 203, 2, 2, 13, 1, 0, kStress},
                      CallCase{"PlaneStrain4NodesOption0", 4, 204, 2, 2, 13, 0, 1, kStress},
                      CallCase{"PlaneStrain4NodesOption2", 4, 204, 2, 1, 1, 2, 1, kForce},
                      CallCase{"PlaneStrain6NodesStrain", 4, 206, 6, 3, 61, 0, 1, 1.0},
                      CallCase{"PlaneStrain8NodesOption1", 4, 208, 6, 2, 25, 1, 0, kStress},
                      CallCase{"PlaneStrain5NodesNoCall", 4, 205, 0, 2, 0, 0, 0, 0.0},
                      CallCase{"Solid4NodesOption0", 6, 304, 4, 2, 25, 0, 1, kStress},
                      CallCase{"Solid6NodesOption1", 6, 306, 4, 3, 79, 1, 0, 1.0},
                      CallCase{"Solid8NodesOption2", 6, 308, 4, 1, 1, 2, 1, kForce},
                      CallCase{"Solid10NodesOption1", 6, 310, 8, 2, 61, 1, 0, kStress},
                      CallCase{"Solid15NodesOption0", 6, 315, 8, 3, 187, 0, 1, 1.0},
                      CallCase{"Solid20NodesOption2", 6, 320, 8, 2, 61, 2, 1, kStress},
                      CallCase{"Solid9NodesNoCall", 6, 309, 0, 2, 0, 0, 0, 0.0},
                      CallCase{"Solid27NodesNoCall", 6, 327, 0, 2, 0, 0, 0, 0.0},
                      CallCase{"PlaneStress3NodesOption0", 0, 203, 1, 2, 13, 0, 0, kStress},
                      CallCase{"PlaneStress4NodesForce", 0, 204, 1, 1, 1, 2, 0, kForce},
                      CallCase{"PlaneStress8NodesOption2", 0, 208, 5, 2, 25, 2, 0, kStress},
                      CallCase{"PlaneStress6NodesOption1", 0, 206, 5, 2, 25, 1, 0, kStress},
                      CallCase{"PlaneStress5NodesNoCall", 0, 205, 0, 2, 0, 0, 0, 0.0}),
    [](const ::testing::TestParamInfo<CallCase>& i) { return std::string(i.param.name); });

TEST_F(ElementFunction, NothingWithoutResultsOrAValidRequest)
{
    ctrl[0]->SetResultReady(0);
    EXPECT_TRUE(Run(Stored(4, 204, 2, 0, 0)).empty());
    EXPECT_TRUE(Run(Stored(6, 308, 2, 0, 0)).empty());
    CPVSTHCalcPlstrsFunc f;
    EXPECT_EQ(f.Calculate(), 0); // never initialised
    EXPECT_TRUE(g_calls.empty());
}

// --- The text reports against golden texts built with the reports' one-line formats ---

__attribute__((format(printf, 1, 2))) std::string Fmt(const char* pszFormat, ...)
{
    char buf[1024];
    va_list args;
    va_start(args, pszFormat);
    std::vsnprintf(buf, sizeof buf, pszFormat, args);
    va_end(args);
    return buf;
}

// A report's lines, as the formats give them: the first format takes `split` values, its
// continuation the rest (or is the line end alone).
struct Golden {
    const char* name;
    int code; // 0 the plane-stress function
    int report_kind;
    unsigned keys[2];          // ascending
    int (*row)(int nodes, int p, int c);
    int cols, positions;
    const char* labels[9];
    const char* title;
    const char* head_id;
    const char* head_text;
    const char* summary_id;
    const char* summary_text;
    const char* header;
    const char* rule;
    const char* close;
    const char* step_first;
    const char* step_other;
    const char* value_cont;
    const char* max_line;
    const char* time_line;
    const char* min_line;
    const char* time_cont;
    const char* key_line;
    const char* key_cont;
    int split;
    const char* kind_text;
    double factor;
};

void PrintTo(const Golden& g, std::ostream* os) { *os << g.name; }

// Window t from 0.045 to 0.295: steps 4 up to, not including, 29, every third.
constexpr double kRepStart = 0.045, kRepEnd = 0.295;
constexpr int kRepFirst = 4, kRepLast = 29, kRepStride = 3;

// A value line: the first format after its time (a step's first position), its empty time
// column (the other positions) or neither (extremes), then its continuation.
enum class Lead { Time, Blank, None };

std::string Values(const char* first, const char* cont, int split, const double* v, const char* label, Lead lead,
                   double t = 0.0)
{
    // Up to nine values; a format takes what it names and leaves the rest.
    std::string s = lead == Lead::Time    ? Fmt(first, t, label, v[0], v[1], v[2], v[3], v[4], v[5], v[6], v[7], v[8])
                    : lead == Lead::Blank ? Fmt(first, "", label, v[0], v[1], v[2], v[3], v[4], v[5], v[6], v[7], v[8])
                                          : Fmt(first, label, v[0], v[1], v[2], v[3], v[4], v[5], v[6], v[7], v[8]);
    const double* w = v + split;
    return s + Fmt(cont, w[0], w[1], w[2], w[3], w[4], w[5]);
}

class ElementReport : public ElementFunction, public ::testing::WithParamInterface<Golden> {};

TEST_P(ElementReport, MatchesTheGoldenText)
{
    const Golden& G = GetParam();
    CMsgDll::SetText("IDS_QB_PVS_Force", "Force");
    CMsgDll::SetText("IDS_QB_PVS_Stress", "Stress");
    CMsgDll::SetText(G.head_id, G.head_text);
    CMsgDll::SetText(G.summary_id, G.summary_text);
    CUnitCtrl* u = CDocCtrl::GetUnitCtrl(&doc);
    u->SetUnitName(1, "mm");
    u->SetUnitName(2, "N");
    T_THREPORT_D rep;
    rep.nThisK = 1;
    rep.nKind = G.report_kind;
    rep.nStride = kRepStride;
    rep.dStart = kRepStart;
    rep.dEnd = kRepEnd;
    rep.aKeys.Add(G.keys[1]);
    rep.aKeys.Add(G.keys[0]);
    std::string text;
    if (G.code == 0) {
        CPVSTHCalcPlstrsFunc f;
        f.SetAnalTypeCtrl(ctrl[0]);
        FILE* fp = std::tmpfile();
        rep.pFile = fp;
        EXPECT_EQ(f.WriteReport(rep), 1);
        std::rewind(fp);
        char buf[4096];
        std::size_t n;
        while ((n = std::fread(buf, 1, sizeof buf, fp)) > 0)
            text.append(buf, n);
        std::fclose(fp);
    } else {
        text = Write(G.code, rep);
    }

    auto value = [&](int n, int p, int c, int s) {
        const int type = static_cast<int>(G.keys[n] % 100);
        const double v = G.factor * RecordedValue(type, G.row(type, p, c), s);
        return std::fabs(v) < 1e-13 ? 0.0 : v;
    };
    struct X {
        double max = 0, min = 0, tMax = 0, tMin = 0;
        int kMax = 0, kMin = 0;
    };
    X g[9][9];
    std::string e = Fmt(G.title, "");
    e += "___________________________________________________________\n\n";
    for (int n = 0; n < 2; ++n) {
        X x[9][9];
        std::string steps;
        for (int s = kRepFirst, i = 0; s < kRepLast; s += kRepStride, ++i)
            for (int p = 0; p < G.positions; ++p) {
                double v[9] = {};
                for (int c = 0; c < G.cols; ++c) {
                    v[c] = value(n, p, c, s);
                    X& a = x[p][c];
                    if (i == 0 || v[c] > a.max) { a.max = v[c]; a.tMax = T(s); }
                    if (i == 0 || v[c] < a.min) { a.min = v[c]; a.tMin = T(s); }
                }
                steps += p == 0 ? Values(G.step_first, G.value_cont, G.split, v, G.labels[p], Lead::Time, T(s))
                                : Values(G.step_other, G.value_cont, G.split, v, G.labels[p], Lead::Blank);
            }
        for (int p = 0; p < G.positions; ++p)
            for (int c = 0; c < G.cols; ++c) {
                X& a = g[p][c];
                const X& b = x[p][c];
                if (n == 0 || b.max > a.max) { a.max = b.max; a.tMax = b.tMax; a.kMax = static_cast<int>(G.keys[n]); }
                if (n == 0 || b.min < a.min) { a.min = b.min; a.tMin = b.tMin; a.kMin = static_cast<int>(G.keys[n]); }
            }
        e += Fmt(G.head_text, G.keys[n], G.kind_text, "mm", "N");
        e += "--------------------------------------------- \n\n";
        e += G.header;
        e += G.rule;
        e += steps;
        e += G.close;
        for (int p = 0; p < G.positions; ++p) {
            double mx[9] = {}, tmx[9] = {}, mn[9] = {}, tmn[9] = {};
            for (int c = 0; c < G.cols; ++c) {
                mx[c] = x[p][c].max;
                tmx[c] = x[p][c].tMax;
                mn[c] = x[p][c].min;
                tmn[c] = x[p][c].tMin;
            }
            e += Values(G.max_line, G.value_cont, G.split, mx, G.labels[p], Lead::None);
            e += Fmt(G.time_line, tmx[0], tmx[1], tmx[2], tmx[3], tmx[4], tmx[5]);
            e += Fmt(G.time_cont, tmx[G.split], tmx[G.split + 1], tmx[G.split + 2]);
            e += Values(G.min_line, G.value_cont, G.split, mn, G.labels[p], Lead::None);
            e += Fmt(G.time_line, tmn[0], tmn[1], tmn[2], tmn[3], tmn[4], tmn[5]);
            e += Fmt(G.time_cont, tmn[G.split], tmn[G.split + 1], tmn[G.split + 2]);
        }
    }
    e += "\n---------------------------------------------- \n";
    e += Fmt(G.summary_text, G.kind_text);
    e += "---------------------------------------------- \n\n";
    e += G.header;
    e += G.rule;
    for (int p = 0; p < G.positions; ++p)
        for (int m = 0; m < 2; ++m) {
            double v[9] = {}, t[9] = {};
            int k[9] = {};
            for (int c = 0; c < G.cols; ++c) {
                v[c] = m == 0 ? g[p][c].max : g[p][c].min;
                t[c] = m == 0 ? g[p][c].tMax : g[p][c].tMin;
                k[c] = m == 0 ? g[p][c].kMax : g[p][c].kMin;
            }
            e += Values(m == 0 ? G.max_line : G.min_line, G.value_cont, G.split, v, G.labels[p], Lead::None);
            e += Fmt(G.time_line, t[0], t[1], t[2], t[3], t[4], t[5]);
            e += Fmt(G.time_cont, t[G.split], t[G.split + 1], t[G.split + 2]);
            e += Fmt(G.key_line, k[0], k[1], k[2], k[3], k[4], k[5]);
            e += Fmt(G.key_cont, k[G.split], k[G.split + 1], k[G.split + 2]);
        }
    e += "\n";
    e += "\n\n";
    EXPECT_EQ(text, e);
    // One call per element, position and component, all with the library's option 0.
    EXPECT_EQ(g_calls.size(), static_cast<std::size_t>(2 * G.positions * G.cols));
    for (const EntryCall& c : g_calls)
        EXPECT_EQ(c.option, 0);
}

int PlstrnStressRow(int nodes, int p, int c) { return 4 * p + c + (nodes <= 4 ? 13 : 25); }
int PlstrsForceRow(int, int p, int c) { return 3 * p + c + 1; }
int SolidStressRow(int nodes, int p, int c) { return 6 * p + c + (nodes <= 8 ? 25 : 61); }

INSTANTIATE_TEST_SUITE_P(
    Functions, ElementReport,
    ::testing::Values(
        Golden{"PlaneStrainStresses", 4, 1, {204, 208}, &PlstrnStressRow, 4, 5, {"C", "I", "J", "K", "L"},
               "\n ** %s Plane Strain Element Time-history Output Data ** \n",
               "IDS_QB_PVS__n_ELEM____5d_PLANE_STRAIN__8s_History__Local___",
               "\n ELEM = %5d PLANE STRAIN %8s History (Local)  UNIT: %s, %s\n",
               "IDS_QB_PVS__Maximum_Minimum__s_of_Selected_Plain_Strain___",
               " Maximum/Minimum %s of Selected Plain Strain\n",
               "  TIME        Sig-xx       Sig-yy      Sig-zz        Sig-xy  \n",
               "------- -  -----------  -----------  -----------  ----------- \n",
               "------- -  -----------  -----------  -----------  -----------\n\n",
               "%7.3f %s  %11.3e  %11.3e  %11.3e", "%7s %s  %11.3e  %11.3e  %11.3e", "  %11.3e\n",
               "Maximum %s  %11.3e  %11.3e  %11.3e", "At Time    %11.3f  %11.3f  %11.3f",
               "Minimum %s  %11.3e  %11.3e  %11.3e", "  %11.3f\n", "Plain Strn.%11d  %11d  %11d", "  %11d\n", 3,
               "Stress", kStress},
        Golden{"PlaneStressForces", 0, 0, {203, 206}, &PlstrsForceRow, 2, 4, {"I", "J", "K", "L"},
               "\n ** %s Plane Stress Element Time-history Output Data ** \n",
               "IDS_QB_PVS__n_ELEM____5d_PLANE_STRESS__8s_History__Local___",
               "\n ELEM = %5d PLANE STRESS %8s History (Local)  UNIT: %s, %s\n",
               "IDS_QB_PVS__Maximum_Minimum__s_of_Selected_Plain_Stress___",
               " Maximum/Minimum %s of Selected Plain Stress\n", "  TIME         Fx           Fy     \n",
               "------- -  -----------  -----------\n", "------- -  -----------  ----------- \n\n",
               "%7.3f %s  %11.3e  %11.3e", "%7s %s  %11.3e  %11.3e", "\n", "Maximum %s  %11.3e  %11.3e",
               "At Time    %11.3f  %11.3f", "Minimum %s  %11.3e  %11.3e", "\n", "Plain Strs.%11d  %11d", "\n", 2,
               "Force", kForce},
        Golden{"SolidStresses", 6, 1, {308, 320}, &SolidStressRow, 6, 9, {"C", "I", "J", "K", "L", "M", "N", "O", "P"},
               "\n ** %s Solid Element Time-history Output Data ** \n",
               "IDS_QB_PVS__n_ELEM____5d_SOLID__8s_History__Local___",
               "\n ELEM = %5d SOLID %8s History (Local)  UNIT: %s, %s\n",
               "IDS_QB_PVS__Maximum_Minimum__s_of_Selected_Solid___", " Maximum/Minimum %s of Selected Solids\n",
               "  TIME        Sig-xx       Sig-yy      Sig-zz       Sig-xy       Sig-yz       Sig-xz    \n",
               "------- -  -----------  -----------  -----------  -----------  -----------  ----------- \n",
               "------- -  -----------  -----------  -----------  -----------  -----------  -----------\n\n",
               "%7.3f %s  %11.3e  %11.3e  %11.3e", "%7s %s  %11.3e  %11.3e  %11.3e", "  %11.3e  %11.3e  %11.3e\n",
               "Maximum %s  %11.3e  %11.3e  %11.3e", "At Time    %11.3f  %11.3f  %11.3f",
               "Minimum %s  %11.3e  %11.3e  %11.3e", "  %11.3f  %11.3f  %11.3f\n", "Solid      %11d  %11d  %11d",
               "  %11d  %11d  %11d\n", 3, "Stress", kStress}),
    [](const ::testing::TestParamInfo<Golden>& i) { return std::string(i.param.name); });

TEST_F(ElementFunction, ReportsThatCannotBeWrittenWriteNothing)
{
    T_THREPORT_D rep;
    rep.nThisK = 1;
    rep.dStart = kRepStart;
    rep.dEnd = kRepEnd;
    rep.aKeys.Add(204);
    rep.nKind = 2; // the plane functions have texts for forces and stresses only
    EXPECT_TRUE(Write(4, rep).empty());
    rep.nKind = 1;
    rep.aKeys.Add(205); // a 5-node element has no plane-strain kind
    EXPECT_TRUE(Write(4, rep).empty());
    rep.aKeys.RemoveAll();
    rep.aKeys.Add(309); // nor a 9-node one a solid kind
    EXPECT_TRUE(Write(6, rep).empty());
}

TEST(ElementColumnHeader, ForcesForKindZeroAndStressesForAnyOther)
{
    auto header = [](void (*write)(FILE*, int), int kind) {
        FILE* fp = std::tmpfile();
        write(fp, kind);
        std::string s(static_cast<std::size_t>(std::ftell(fp)), '\0');
        std::rewind(fp);
        const std::size_t n = s.empty() ? 0 : std::fread(s.data(), 1, s.size(), fp);
        EXPECT_EQ(n, s.size());
        std::fclose(fp);
        return s;
    };
    EXPECT_EQ(header(&CPVSTHCalcPlstrnFunc::WriteColumnHeader, 0),
              "  TIME         Fx           Fy            Fz    \n"
              "------- -  -----------  -----------  -----------\n");
    EXPECT_EQ(header(&CPVSTHCalcPlstrnFunc::WriteColumnHeader, 2),
              "  TIME        Sig-xx       Sig-yy      Sig-zz        Sig-xy  \n"
              "------- -  -----------  -----------  -----------  ----------- \n");
    EXPECT_EQ(header(&CPVSTHCalcPlstrsFunc::WriteColumnHeader, 1),
              "  TIME        Sig-xx       Sig-yy      Sig-xy    \n"
              "------- -  -----------  -----------  ----------- \n");
    EXPECT_EQ(header(&CPVSTHCalcSolidFunc::WriteColumnHeader, -1),
              "  TIME        Sig-xx       Sig-yy      Sig-zz       Sig-xy       Sig-yz       Sig-xz    \n"
              "------- -  -----------  -----------  -----------  -----------  -----------  ----------- \n");
}

} // namespace
