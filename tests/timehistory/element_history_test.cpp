// The plane-strain, plane-stress and solid history functions' own numbers against a recording
// entry: the rows by node count, the library kind by node count, the library option by stress
// option, no call for a node count outside a table, the column headers, and the text reports
// against their golden texts.
#include "timehistory/CPVSTHCalcPlstrnFunc.h"
#include "timehistory/CPVSTHCalcPlstrsFunc.h"
#include "timehistory/CPVSTHCalcSolidFunc.h"
#include "timehistory/CPVSTHEngine.h"

#include "single_dof_model.h"

#include "GoldenText.h"

#include "MsgDll.h"
#include "UnitCtrl.h"

#include <gtest/gtest.h>

#include <cmath>
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

// --- The text reports against their golden texts ---

// Window t from 0.045 to 0.295: steps 4 up to, not including, 29, every third.
constexpr double kRepStart = 0.045, kRepEnd = 0.295;
constexpr int kRepStride = 3;

struct ReportCase {
    const char* name;
    int code; // 0 the plane-stress function
    int report_kind;
    unsigned keys[2]; // descending: the report sorts them
    const char* head_id;
    const char* head_text;
    const char* summary_id;
    const char* summary_text;
    int calls; // per element: positions times columns
    const char* golden;
};

void PrintTo(const ReportCase& c, std::ostream* os) { *os << c.name; }

class ElementReport : public ElementFunction, public ::testing::WithParamInterface<ReportCase> {};

TEST_P(ElementReport, MatchesTheGoldenText)
{
    const ReportCase& c = GetParam();
    CMsgDll::SetText("IDS_QB_PVS_Force", "Force");
    CMsgDll::SetText("IDS_QB_PVS_Stress", "Stress");
    CMsgDll::SetText(c.head_id, c.head_text);
    CMsgDll::SetText(c.summary_id, c.summary_text);
    CUnitCtrl* u = CDocCtrl::GetUnitCtrl(&doc);
    u->SetUnitName(1, "mm");
    u->SetUnitName(2, "N");
    T_THREPORT_D rep;
    rep.nThisK = 1;
    rep.nKind = c.report_kind;
    rep.nStride = kRepStride;
    rep.dStart = kRepStart;
    rep.dEnd = kRepEnd;
    rep.aKeys.Add(c.keys[0]);
    rep.aKeys.Add(c.keys[1]);
    std::string text;
    if (c.code == 0) {
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
        text = Write(c.code, rep);
    }
    EXPECT_EQ(text, kvpvs::testing::GoldenText(c.golden));
    // One call per element, position and component, all with the library's option 0.
    EXPECT_EQ(g_calls.size(), static_cast<std::size_t>(2 * c.calls));
    for (const EntryCall& e : g_calls)
        EXPECT_EQ(e.option, 0);
}

INSTANTIATE_TEST_SUITE_P(
    Functions, ElementReport,
    ::testing::Values(
        ReportCase{"PlaneStrainStresses", 4, 1, {208, 204},
                   "IDS_QB_PVS__n_ELEM____5d_PLANE_STRAIN__8s_History__Local___",
                   "\n ELEM = %5d PLANE STRAIN %8s History (Local)  UNIT: %s, %s\n",
                   "IDS_QB_PVS__Maximum_Minimum__s_of_Selected_Plain_Strain___",
                   " Maximum/Minimum %s of Selected Plain Strain\n", 5 * 4, "plane_strain_stresses.txt"},
        ReportCase{"PlaneStressForces", 0, 0, {206, 203},
                   "IDS_QB_PVS__n_ELEM____5d_PLANE_STRESS__8s_History__Local___",
                   "\n ELEM = %5d PLANE STRESS %8s History (Local)  UNIT: %s, %s\n",
                   "IDS_QB_PVS__Maximum_Minimum__s_of_Selected_Plain_Stress___",
                   " Maximum/Minimum %s of Selected Plain Stress\n", 4 * 2, "plane_stress_forces.txt"},
        ReportCase{"SolidStresses", 6, 1, {320, 308}, "IDS_QB_PVS__n_ELEM____5d_SOLID__8s_History__Local___",
                   "\n ELEM = %5d SOLID %8s History (Local)  UNIT: %s, %s\n",
                   "IDS_QB_PVS__Maximum_Minimum__s_of_Selected_Solid___", " Maximum/Minimum %s of Selected Solids\n",
                   9 * 6, "solid_stresses.txt"}),
    [](const ::testing::TestParamInfo<ReportCase>& i) { return std::string(i.param.name); });

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
