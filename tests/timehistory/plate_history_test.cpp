// Plate histories end to end: stored plate functions run by the engine, the plate function, the
// element-results entry, the plate family and its kernels, on a flat plate in a tilted plane
// written to real result files. Stretched in its plane and bent to constant curvature with
// factors that change from step to step, it gives at every step, in output units, the nodal
// forces K L (L the displacements in element axes), the membrane forces h1 D eps, the moments
// (h2^3 / 12) D k and the surface stresses D eps -+ (h2 / 2) D k. Every unit type has its own
// factor. The plate function's own numbers (rows, element kinds, the text report) are checked
// against a recording entry.
#include "timehistory/CPVSTHCalcPlateFunc.h"
#include "timehistory/CPVSTHEngine.h"
#include "timehistory/ElementResultsEntry.h"

#include "../recovery/drivers/plate_fixture.h"
#include "single_dof_model.h"

#include "GoldenText.h"

#include "MsgDll.h"
#include "THResultBuilder.h"
#include "UnitCtrl.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <memory>
#include <ostream>
#include <string>
#include <vector>

namespace {

// Output-unit factors: one per unit type, none equal.
constexpr double kForceF = 3.0, kMomentF = 5.0, kMomentLenF = 7.0, kForceLenF = 11.0, kStressF = 13.0;

void SetPlateUnits(CDBDoc& doc)
{
    CUnitCtrl* u = CDocCtrl::GetUnitCtrl(&doc);
    u->SetFactor(1, 1000.0);
    u->SetFactor(2, kForceF);
    u->SetFactor(12, kMomentF);
    u->SetFactor(13, kMomentLenF);
    u->SetFactor(14, kForceLenF);
    u->SetFactor(17, kStressF);
}

// The factor of a (1-based result kind, component), written out from the plate's components.
double OutputFactor(int kind, int c)
{
    if (kind == 1)
        return c < 3 ? kForceF : kMomentF;
    if (kind == 2)
        return kStressF;
    return c >= 3 && c <= 5 ? kMomentLenF : kForceLenF;
}

// --- The whole chain on real result files ---

namespace pl = kvpvs::testing::plate;

constexpr int kChainSteps = 6;
constexpr unsigned kAcas = 31, kThis = 7, kPlateK = 900;
double MembraneFactor(int i) { return std::cos(0.7 * i); }
double CurvatureFactor(int i) { return 0.5 + std::sin(0.4 * i); }
// u = 1e-3 x - 4e-4 y, v = 7e-4 x - 2e-4 y; curvatures (3e-3, -1e-3, 2e-3).
constexpr double kA = 1e-3, kB = -4e-4, kC = 7e-4, kD = -2e-4;
constexpr double kKx = 3e-3, kKy = -1e-3, kKxy = 2e-3;

class PlateChain : public pl::PlateFamilyTest {
protected:
    void SetUp() override
    {
        CZORDocBase::SetCurDoc(&doc);
        SetPlateUnits(doc);
    }
    void TearDown() override
    {
        kvpvs::timehistory::ResetElementResultsEntry();
        CZORDocBase::SetCurDoc(nullptr);
    }
    // The plate as an element of the model and the case connected with the written files:
    // history 1, PLAT record 1, element record 1.
    void Connect(const pl::Plate& p)
    {
        ASSERT_TRUE(builder.write(base));
        T_ELEM_D e;
        for (int k = 0; k < p.corners(); ++k)
            e.aNodeK.Add(static_cast<unsigned>(FIRST_NODE + k));
        CClassElem(doc.GetModelDB()).Set(kPlateK, e);
        std::vector<double> times;
        for (int i = 1; i <= kChainSteps; ++i)
            times.push_back(0.02 * i);
        CTHResultBuilder b(doc, kAcas, kThis, 1, times, 1);
        b.ConnectResultFiles(builder.elem_file_name(base).c_str(), 1, {{kPlateK, {1, 1}}});
    }
    // The stored plate function (stored form: code and result kind from 0) run by the engine.
    std::vector<double> Run(int kind, int position, int component)
    {
        T_THRD_D s;
        s.nCode = 4;
        s.nEntityK = kPlateK;
        s.nResultKind = kind - 1;
        s.nPosition = position;
        s.nComponent = component;
        s.nAcasK = kAcas;
        CArray<double, double>* a = engine.Run(&s);
        return std::vector<double>(a->GetData(), a->GetData() + a->GetSize());
    }

    CDBDoc doc;
    CPVSTHEngine engine;
};

// Rows 1..94 of a step of the plate under the fields with factors gm, gc, with the tolerances of
// the forces and the result points.
struct Expected {
    pl::Rows rows{};
    double force_tolerance = 0.0;
    double point_tolerance = 0.0;
};

Expected ClosedForm(const pl::Plate& p, double gm, double gc)
{
    Expected e;
    std::vector<double> L = pl::flatten(pl::membrane_field(p, kA, kB, kC, kD));
    const std::vector<double> Lk = pl::flatten(pl::curvature_field(p, kKx, kKy, kKxy));
    for (std::size_t j = 0; j < L.size(); ++j)
        L[j] = gm * L[j] + gc * Lk[j];
    const std::vector<double> K =
        kvpvs::resultfiles::shell_stiffness_local(p.globals(), p.T, {pl::kE, pl::kNu, pl::kH1, pl::kH2});
    const std::vector<double> F = pl::times(K, L);
    double kmax = 0.0, lmax = 0.0;
    for (double v : K)
        kmax = std::max(kmax, std::fabs(v));
    for (double v : L)
        lmax = std::max(lmax, std::fabs(v));
    std::copy(F.begin(), F.end(), e.rows.begin());
    e.force_tolerance = 1e-10 * kmax * lmax * static_cast<double>(L.size());
    const auto Dp = pl::plane_stress(pl::kE, pl::kNu);
    const auto sigma = pl::apply(Dp, {gm * kA, gm * kD, gm * (kB + kC)});
    const auto Dk = pl::apply(Dp, {gc * kKx, gc * kKy, gc * kKxy});
    double scale = 0.0;
    for (int q = 0; q < (p.corners() == 4 ? 5 : 4); ++q) {
        double* w = e.rows.data() + 24 + 14 * q;
        for (std::size_t c = 0; c < 3; ++c) {
            w[c] = sigma[c] - pl::kH2 / 2.0 * Dk[c];
            w[3 + c] = sigma[c] + pl::kH2 / 2.0 * Dk[c];
            w[6 + c] = pl::kH1 * sigma[c];
            w[9 + c] = pl::kH2 * pl::kH2 * pl::kH2 / 12.0 * Dk[c];
            scale = std::max({scale, std::fabs(w[c]), std::fabs(w[3 + c])});
        }
    }
    e.point_tolerance = 1e-9 * scale;
    return e;
}

struct ChainCase {
    bool quad;
    int plate_type;
    bool modal;
};

void PrintTo(const ChainCase& c, std::ostream* os)
{
    *os << (c.quad ? "quadrilateral" : "triangle") << (c.plate_type ? ", thin" : ", thick")
        << (c.modal ? ", modal" : ", direct");
}

class PlateHistoryChain : public PlateChain, public ::testing::WithParamInterface<ChainCase> {};

TEST_P(PlateHistoryChain, EveryComponentFollowsTheClosedFormInOutputUnits)
{
    const ChainCase& c = GetParam();
    const pl::Plate p = c.quad ? pl::parallelogram() : pl::triangle();
    const std::vector<double> gm = pl::to_global(p, pl::membrane_field(p, kA, kB, kC, kD));
    const std::vector<double> gc = pl::to_global(p, pl::curvature_field(p, kKx, kKy, kKxy));
    if (c.modal) {
        std::vector<std::vector<double>> q(2);
        for (int i = 1; i <= kChainSteps; ++i) {
            q[0].push_back(MembraneFactor(i));
            q[1].push_back(CurvatureFactor(i));
        }
        modal_history({gm, gc}, q);
    } else {
        std::vector<std::vector<double>> series;
        for (int i = 1; i <= kChainSteps; ++i) {
            std::vector<double> d(gm.size());
            for (std::size_t j = 0; j < d.size(); ++j)
                d[j] = MembraneFactor(i) * gm[j] + CurvatureFactor(i) * gc[j];
            series.push_back(d);
        }
        direct_history(series);
    }
    add_plates({facts(p, c.plate_type)});
    Connect(p);
    std::vector<Expected> expected;
    for (int i = 1; i <= kChainSteps; ++i)
        expected.push_back(ClosedForm(p, MembraneFactor(i), CurvatureFactor(i)));
    // Every position of a four-node plate: a triangle has no fourth node and no fifth point.
    for (int kind = 1; kind <= 3; ++kind)
        for (int pos = 0; pos < (kind == 1 ? 4 : 5); ++pos)
            for (int comp = 0; comp < (kind == 3 ? 8 : 6); ++comp) {
                const int row = kind == 1 ? 6 * pos + comp + 1 : 14 * pos + comp + (kind == 2 ? 25 : 31);
                const std::vector<double> s = Run(kind, pos, comp);
                ASSERT_EQ(static_cast<int>(s.size()), kChainSteps) << "row " << row;
                const double f = OutputFactor(kind, comp);
                for (int i = 0; i < kChainSteps; ++i) {
                    const Expected& e = expected[static_cast<std::size_t>(i)];
                    const double tol = f * (row <= 24 ? e.force_tolerance : e.point_tolerance);
                    EXPECT_NEAR(s[static_cast<std::size_t>(i)], f * e.rows[static_cast<std::size_t>(row - 1)], tol)
                        << "result kind " << kind << ", position " << pos << ", component " << comp << ", step "
                        << i + 1;
                }
            }
    EXPECT_EQ(CTHResultBuilder::PostCtrl(doc)->GetQueryDepth(), 0);
}

std::string ChainName(const ::testing::TestParamInfo<ChainCase>& i)
{
    return std::string(i.param.quad ? "Quadrilateral" : "Triangle") + (i.param.plate_type ? "Thin" : "Thick") +
           (i.param.modal ? "Modal" : "Direct");
}

INSTANTIATE_TEST_SUITE_P(
    Plates, PlateHistoryChain,
    ::testing::Values(ChainCase{true, 0, true}, ChainCase{true, 0, false}, ChainCase{true, 1, true},
                      ChainCase{true, 1, false}, ChainCase{false, 0, true}, ChainCase{false, 0, false},
                      ChainCase{false, 1, true}, ChainCase{false, 1, false}),
    ChainName);

TEST_F(PlateChain, RigidMotionGivesNoForcesAndNoStresses)
{
    for (bool quad : {true, false}) {
        SCOPED_TRACE(quad ? "quadrilateral" : "triangle");
        const pl::Plate p = quad ? pl::parallelogram() : pl::triangle();
        const std::vector<double> g = pl::rigid_global(p, {1e-3, -2e-3, 5e-4}, {2e-4, -1e-4, 3e-4});
        std::vector<std::vector<double>> series;
        for (int i = 1; i <= kChainSteps; ++i) {
            std::vector<double> d = g;
            for (double& v : d)
                v *= MembraneFactor(i);
            series.push_back(d);
        }
        builder = kvpvs::resultfiles::ResultSetBuilder();
        direct_history(series);
        add_plates({facts(p, 0)});
        Connect(p);
        const std::vector<double> K =
            kvpvs::resultfiles::shell_stiffness_local(p.globals(), p.T, {pl::kE, pl::kNu, pl::kH1, pl::kH2});
        const double kmax = *std::max_element(K.begin(), K.end());
        for (int pos = 0; pos < p.corners(); ++pos)
            for (int comp = 0; comp < 6; ++comp)
                for (double v : Run(1, pos, comp))
                    EXPECT_NEAR(v, 0.0, 1e-10 * kmax * 5e-3 * 24 * OutputFactor(1, comp)) << pos << ' ' << comp;
        for (int comp = 0; comp < 6; ++comp)
            for (double v : Run(2, 0, comp))
                EXPECT_NEAR(v, 0.0, 1e-9 * pl::kE * 5e-3 * kStressF) << comp;
    }
}

// --- The plate function's own numbers, against a recording entry ---

using namespace thtest;

struct EntryCall {
    int kind, type, row, hist, count, product, mode, option, elem;
    std::string base;
};
std::vector<EntryCall> g_calls;

// Value i of a row: a wave whose phase and amplitude tell the row and the element type apart.
double RecordedValue(int type, int row, int i) { return (row + 0.5 * type) * std::sin(0.37 * (i + 1) + 0.1 * row); }

void RecordingHistory(const char* base, int len, int kind, int type, int row, int hist, int n, int product, int mode,
                      double* out, int option, int elem)
{
    g_calls.push_back({kind, type, row, hist, n, product, mode, option, elem, std::string(base, static_cast<std::size_t>(len))});
    for (int i = 0; i < n; ++i)
        out[i] = RecordedValue(type, row, i);
}

class PlateFunction : public SingleDofModel {
protected:
    void SetUp() override
    {
        SingleDofModel::SetUp();
        SetPlateUnits(doc);
        g_calls.clear();
        kvpvs::timehistory::CurrentElementResultsEntry().history = &RecordingHistory;
        for (unsigned n : {3u, 4u, 5u, 6u, 8u, 9u})
            AddPlate(100 + n, static_cast<int>(n), static_cast<int>(n), 1000 + static_cast<int>(n));
    }
    void AddPlate(unsigned k, int nodes, int type, int id)
    {
        T_ELEM_D e;
        for (int j = 0; j < nodes; ++j)
            e.aNodeK.Add(static_cast<unsigned>(j + 1));
        CClassElem(doc.GetModelDB()).Set(k, e);
        for (CPostCtrlAnlTypeTHIS* c : ctrl)
            c->GetSeqIdInfo()->SetElem(k, type, id);
    }
    static T_THRD_D Plate(unsigned elem, int storedKind, int pos, int comp, unsigned acas = kModalCase)
    {
        T_THRD_D s;
        s.nCode = 4;
        s.nEntityK = elem;
        s.nResultKind = storedKind;
        s.nPosition = pos;
        s.nComponent = comp;
        s.nAcasK = acas;
        return s;
    }
};

TEST_F(PlateFunction, RowsByNodeCount)
{
    CPVSTHCalcPlateFunc f;
    EXPECT_EQ(f.GetResultRow(104, 1, 2, 4), 17);
    EXPECT_EQ(f.GetResultRow(104, 2, 4, 5), 86);
    EXPECT_EQ(f.GetResultRow(104, 2, 0, 0), 25);
    EXPECT_EQ(f.GetResultRow(104, 3, 0, 7), 38);
    EXPECT_EQ(f.GetResultRow(108, 2, 0, 0), 49);
    EXPECT_EQ(f.GetResultRow(108, 3, 0, 0), 55);
    EXPECT_EQ(f.GetResultRow(103, 2, 4, 5), 86); // a triangle reads a quadrilateral's rows
    EXPECT_EQ(f.GetResultRow(106, 3, 0, 0), 55); // a 6-node plate an 8-node plate's
    EXPECT_EQ(f.GetResultRow(105, 2, 0, 0), 1);
    EXPECT_EQ(f.GetResultRow(104, 4, 0, 0), 1);
    EXPECT_EQ(f.GetResultRow(104, 0, 0, 0), 1);
    // A stored position far out of range names no row rather than a wrapped one.
    EXPECT_EQ(f.GetResultRow(104, 2, 0x7fffffff, 0), 0);
}

struct KindCase {
    unsigned nodes;
    int kind; // the library's
};

void PrintTo(const KindCase& c, std::ostream* os) { *os << c.nodes << " nodes as kind " << c.kind; }

class PlateFunctionKinds : public PlateFunction, public ::testing::WithParamInterface<KindCase> {};

TEST_P(PlateFunctionKinds, OneLibraryCallForTheWholeSeriesInOutputUnits)
{
    const KindCase c = GetParam();
    T_THRD_D s = Plate(100 + c.nodes, 0, 2, 4); // My of the third node
    s.nModeNumber = 3;
    s.nStressOption = 0; // would make option 1 for a plane-strain kind
    const std::vector<double> v = Run(s);
    ASSERT_EQ(g_calls.size(), 1u);
    const EntryCall& e = g_calls[0];
    EXPECT_EQ(e.kind, c.kind);
    EXPECT_EQ(e.row, 17);
    EXPECT_EQ(e.type, static_cast<int>(c.nodes));
    EXPECT_EQ(e.elem, 1000 + static_cast<int>(c.nodes));
    EXPECT_EQ(e.hist, 1); // the modal case's history id
    EXPECT_EQ(e.count, kSteps);
    EXPECT_EQ(e.product, 4);
    EXPECT_EQ(e.mode, 3);
    EXPECT_EQ(e.option, 0);
    EXPECT_EQ(e.base, "/data/run/case");
    ASSERT_EQ(static_cast<int>(v.size()), kSteps);
    for (int i = 0; i < kSteps; ++i)
        EXPECT_EQ(v[static_cast<std::size_t>(i)], kMomentF * RecordedValue(e.type, 17, i));
}

INSTANTIATE_TEST_SUITE_P(NodeCounts, PlateFunctionKinds,
                         ::testing::Values(KindCase{3, 3}, KindCase{4, 3}, KindCase{6, 7}, KindCase{8, 7}),
                         [](const ::testing::TestParamInfo<KindCase>& i) {
                             return std::to_string(i.param.nodes) + "NodesAsKind" + std::to_string(i.param.kind);
                         });

TEST_F(PlateFunction, FiveOrNineNodesMakeNoCallAndNoSeries)
{
    for (unsigned n : {105u, 109u, 4242u}) {
        EXPECT_TRUE(Run(Plate(n, 1, 0, 0)).empty()) << n;
        CPVSTHCalcPlateFunc f;
        f.SetAnalTypeCtrl(ctrl[0]);
        const T_THRD_D stored = Plate(n, 1, 0, 0);
        T_THRD_D req;
        CPVSTHEngine::MakeThrdData(&stored, &req);
        f.Init(req);
        EXPECT_EQ(f.Calculate(), 0) << n;
    }
    EXPECT_TRUE(g_calls.empty());
    // Results not ready: no call either.
    ctrl[0]->SetResultReady(0);
    EXPECT_TRUE(Run(Plate(104, 1, 0, 0)).empty());
    EXPECT_TRUE(g_calls.empty());
}

// --- The text report against its golden text ---

// Window t from 0.045 to 0.295: steps 4 up to, not including, 29, every third.
constexpr double kRepStart = 0.045, kRepEnd = 0.295;
constexpr int kRepStride = 3;

TEST_F(PlateFunction, UnitForceReportMatchesTheGoldenText)
{
    CMsgDll::SetText("IDS_QB_PVS_Unit_Force", "Unit Force");
    CMsgDll::SetText("IDS_QB_PVS__n_ELEM____5d_PLATE__8s_History__Local___",
                     "\n ELEM = %5d PLATE %8s History (Local)  UNIT: %s, %s\n");
    CMsgDll::SetText("IDS_QB_PVS__Maximum_Minimum__s_of_Selected_Plate___", " Maximum/Minimum %s of Selected Plates\n");
    CUnitCtrl* u = CDocCtrl::GetUnitCtrl(&doc);
    u->SetUnitName(1, "mm");
    u->SetUnitName(2, "N");
    T_THREPORT_D rep;
    rep.nThisK = 1;
    rep.nKind = 2;
    rep.nStride = kRepStride;
    rep.dStart = kRepStart;
    rep.dEnd = kRepEnd;
    rep.aKeys.Add(108); // an 8-node plate: its first five positions
    rep.aKeys.Add(104);
    EXPECT_EQ(Write(5, rep), kvpvs::testing::GoldenText("plate_unit_forces.txt"));
    // Five positions by eight components of two elements, one call each.
    EXPECT_EQ(g_calls.size(), 80u);
    for (const EntryCall& c : g_calls)
        EXPECT_EQ(c.option, 0);
}

TEST_F(PlateFunction, ReportsThatCannotBeWrittenWriteNothing)
{
    T_THREPORT_D rep;
    rep.nThisK = 1;
    rep.dStart = kRepStart;
    rep.dEnd = kRepEnd;
    rep.aKeys.Add(104);
    rep.nKind = 3; // no such report kind
    EXPECT_TRUE(Write(5, rep).empty());
    rep.nKind = 0;
    rep.aKeys.Add(105); // a 5-node element has no plate kind
    EXPECT_TRUE(Write(5, rep).empty());
    rep.aKeys.RemoveAll();
    rep.aKeys.Add(104);
    rep.dEnd = 0.0; // ends before it starts
    EXPECT_TRUE(Write(5, rep).empty());
}

TEST(PlateColumnHeader, TwoLinesPerReportKindAndNothingForAnother)
{
    auto header = [](int kind) {
        FILE* fp = std::tmpfile();
        CPVSTHCalcPlateFunc::WriteColumnHeader(fp, kind);
        std::string s(static_cast<std::size_t>(std::ftell(fp)), '\0');
        std::rewind(fp);
        const std::size_t n = s.empty() ? 0 : std::fread(s.data(), 1, s.size(), fp);
        EXPECT_EQ(n, s.size());
        std::fclose(fp);
        return s;
    };
    EXPECT_EQ(header(0), "  TIME         Fx           Fy            Fz          Mx           My            Mz    \n"
                         "------- -  -----------  -----------  -----------  -----------  -----------  -----------\n");
    EXPECT_EQ(header(1), "  TIME     Sig-xx(Top)  Sig-yy(Top)  Sig-xy(Top)  Sig-xx(Bot)  Sig-yy(Bot)  Sig-xy(Bot)\n"
                         "------- -  -----------  -----------  -----------  -----------  -----------  -----------\n");
    EXPECT_TRUE(header(3).empty());
    EXPECT_TRUE(header(-1).empty());
}

} // namespace
