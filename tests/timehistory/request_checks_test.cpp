// Requests that a careless or corrupt host can make of the history functions: nodes it does not
// have, request words at the ends of their range, keys beyond 2^31. Each gets a clear failure
// or the right order, never a series that looks like a result.
#include "timehistory/CPVSTHCalcDispFunc.h"
#include "timehistory/CPVSTHCalcHistPlotData.h"

#include "single_dof_model.h"

#include <gtest/gtest.h>

#include <climits>
#include <stdexcept>
#include <string>
#include <vector>

namespace {

using namespace thtest;

// A node without results: neither in the modal node records nor in the direct histories.
constexpr unsigned kNoNode = 99;

struct MissingNodeCase {
    const char* name;
    unsigned acas;
    int storedDispType; // 0 as stored, 1 with the ground motion, 2 relative to the second node
    unsigned node, second;
};

class MissingNode : public SingleDofModel, public ::testing::WithParamInterface<MissingNodeCase> {};

// With the ground motion on, a direct reading that ignored the host's failure gave the ground
// motion itself; relative to a second node it gave minus the second node's motion.
TEST_P(MissingNode, GivesNoSeries)
{
    const MissingNodeCase c = GetParam();
    EXPECT_TRUE(Run(Disp(c.acas, 0, 0, c.storedDispType, c.node, c.second)).empty());
    ASSERT_FALSE(Run(Disp(c.acas, 0, 0, c.storedDispType, 1, 2)).empty()); // the same request of a node that exists
}

INSTANTIATE_TEST_SUITE_P(
    ModalAndDirect, MissingNode,
    ::testing::Values(MissingNodeCase{"DirectWithGroundMotion", kDirectCase, 1, kNoNode, 0},
                      MissingNodeCase{"DirectAsStored", kDirectCase, 0, kNoNode, 0},
                      MissingNodeCase{"DirectRelativeToANode", kDirectCase, 2, kNoNode, 1},
                      MissingNodeCase{"DirectRelativeToAMissingNode", kDirectCase, 2, 1, kNoNode},
                      MissingNodeCase{"ModalWithGroundMotion", kModalCase, 1, kNoNode, 0},
                      MissingNodeCase{"ModalRelativeToANode", kModalCase, 2, kNoNode, 1}),
    [](const ::testing::TestParamInfo<MissingNodeCase>& info) { return std::string(info.param.name); });

// The function itself reports the failure: Calculate and the report reading give 0 and no values.
TEST_F(SingleDofModel, MissingNodeIsTheFunctionsFailure)
{
    CPostCtrlGeoTech* post = CTHResultBuilder::PostCtrl(doc);
    T_LCOM_D comb;
    post->MakeLoadComb(4, kDirectCase, comb);
    post->BeginQueryResult(comb, 1, 0);
    CPVSTHCalcDispFunc f;
    f.SetAnalTypeCtrl(ctrl[1]);
    T_THRD_D req; // run form: ground motion added, displacement
    req.nAcasK = kDirectCase;
    req.nEntityK = kNoNode;
    req.nResultKind = 1;
    req.nDispType = 2;
    ASSERT_EQ(f.Init(req), 1);
    EXPECT_EQ(f.Calculate(), 0);
    EXPECT_EQ(f.GetResultCount(), 0);
    CArray<double, double> out;
    double mx = 0, mn = 0;
    int smx = 0, smn = 0;
    EXPECT_EQ(f.CalcMaxMin(2, 2, 0, kNoNode, 0, out, mx, smx, mn, smn, 0, kSteps, 1), 0);
    EXPECT_EQ(out.GetSize(), 0);
    EXPECT_EQ(f.CalcMaxMin(2, 3, kNoNode, 1, 0, out, mx, smx, mn, smn, 0, kSteps, 1), 0);
    EXPECT_EQ(out.GetSize(), 0);
    req.nEntityK = 1;
    ASSERT_EQ(f.Init(req), 1);
    EXPECT_EQ(f.Calculate(), 1);
    EXPECT_EQ(f.GetResultCount(), kSteps);
    post->EndQueryResult();
}

// A stored word whose run form would not fit an int: the code, the result kind, the
// displacement type at INT_MAX, and a result kind whose ten-fold shift of the component would
// overflow. The engine refuses the request and returns its empty series.
struct OverflowCase {
    const char* name;
    int code, kind, component, dispType;
};

class StoredWordAtItsLimit : public SingleDofModel, public ::testing::WithParamInterface<OverflowCase> {};

TEST_P(StoredWordAtItsLimit, IsRefusedWithTheEmptySeries)
{
    const OverflowCase c = GetParam();
    T_THRD_D s = Disp(kModalCase, c.kind, c.component, c.dispType);
    s.nCode = c.code;
    ASSERT_FALSE(Run(Disp(kModalCase, 0, 0, 0)).empty()); // a run before: its values must not come back
    EXPECT_TRUE(Run(s).empty());
    EXPECT_EQ(CTHResultBuilder::PostCtrl(doc)->GetQueryDepth(), 0);
    // The run form is not made: the output record keeps what it held.
    T_THRD_D out;
    out.nCode = 42;
    out.nComponent = 43;
    CPVSTHEngine::MakeThrdData(&s, &out);
    EXPECT_EQ(out.nCode, 42);
    EXPECT_EQ(out.nComponent, 43);
}

INSTANTIATE_TEST_SUITE_P(
    RequestWords, StoredWordAtItsLimit,
    ::testing::Values(OverflowCase{"Code", INT_MAX, 0, 0, 0}, OverflowCase{"ResultKind", 0, INT_MAX, 0, 0},
                      OverflowCase{"DisplacementType", 0, 0, 0, INT_MAX},
                      OverflowCase{"ComponentShiftOfTheNode", 0, INT_MAX / 10 + 1, 0, 0},
                      OverflowCase{"ComponentShiftOfTheBeam", 2, 2, INT_MAX - 15, 0},
                      OverflowCase{"NegativeComponentShift", 0, INT_MIN, 0, 0}),
    [](const ::testing::TestParamInfo<OverflowCase>& info) { return std::string(info.param.name); });

TEST_F(SingleDofModel, RequestWordsNextToTheirLimitsStillRun)
{
    // The largest words that convert: code INT_MAX - 1 names no function (empty series, query
    // closed); the component shift of kind 1 stays in range.
    T_THRD_D s = Disp(kModalCase, 0, 0, 0);
    s.nCode = INT_MAX - 1;
    EXPECT_TRUE(Run(s).empty());
    T_THRD_D r;
    CPVSTHEngine::MakeThrdData(&s, &r);
    EXPECT_EQ(r.nCode, INT_MAX);
    s = Disp(kModalCase, 1, INT_MAX - 10, 0);
    CPVSTHEngine::MakeThrdData(&s, &r);
    EXPECT_EQ(r.nComponent, INT_MAX);
}

// Keys at and beyond 2^31 come out of a report in ascending order of the keys themselves.
TEST_F(SingleDofModel, ReportKeysBeyondTwoToThe31AreSorted)
{
    const unsigned keys[3] = {0xC0000000u, 0x10u, 0x50000000u};
    for (CPostCtrlAnlTypeTHIS* p : ctrl)
        for (unsigned k : keys)
            p->Data().truss[k] = TrussArray();
    T_THREPORT_D rep;
    rep.nThisK = 1;
    rep.dStart = 0.0;
    rep.dEnd = 0.05;
    for (unsigned k : keys)
        rep.aKeys.Add(k);
    const std::string text = Write(2, rep);
    std::vector<int> order;
    for (size_t at = text.find(" ELEM = "); at != std::string::npos; at = text.find(" ELEM = ", at + 1))
        order.push_back(std::stoi(text.substr(at + 8, 11)));
    const std::vector<int> expected = {0x10, 0x50000000, static_cast<int>(0xC0000000u)}; // printed as the host's int
    EXPECT_EQ(order, expected);
    ASSERT_EQ(rep.aKeys.GetSize(), 3);
    EXPECT_EQ(rep.aKeys[0], 0x10u);
    EXPECT_EQ(rep.aKeys[2], 0xC0000000u);
}

TEST(CalcFuncBase, CompareIntOrdersTheWholeRange)
{
    const int pairs[][2] = {{INT_MAX, -1}, {1, INT_MIN}, {INT_MAX, INT_MIN}, {0, INT_MIN}, {5, 3}};
    for (const auto& p : pairs) {
        EXPECT_GT(CPVSTHCalcFuncBase::CompareInt(&p[0], &p[1]), 0) << p[0] << " " << p[1];
        EXPECT_LT(CPVSTHCalcFuncBase::CompareInt(&p[1], &p[0]), 0) << p[1] << " " << p[0];
        EXPECT_EQ(CPVSTHCalcFuncBase::CompareInt(&p[0], &p[0]), 0);
    }
}

// A host that claims INT_MAX modes while its shapes hold one value: the shapes stored are checked
// before anything is sized by the claim, so the readings fail at once instead of asking for
// hundreds of gigabytes. A node or member without a numbered degree of freedom needs no shape:
// its series is zeros, whatever the claim, and it does not loop over the claimed modes.
struct ModeClaimCase {
    const char* name;
    int code;
    unsigned entity;
    bool bNumbered;
};

class ClaimedModeCount : public SingleDofModel, public ::testing::WithParamInterface<ModeClaimCase> {
protected:
    static constexpr unsigned kRestrainedNode = 3, kRestrainedTruss = 51, kRestrainedBeam = 61;
    static constexpr unsigned kLateNode = 4; // restrained in DX and DY, numbered in DZ
    void ClaimModes(int nModes)
    {
        CTHResultData& d = ctrl[0]->Data();
        d.nodes[kRestrainedNode] = _NDSP_BN();
        _NDSP_BN late;
        late.dEqn[2] = 1;
        d.nodes[kLateNode] = late;
        std::vector<double> t = TrussArray(), b = BeamArray();
        t[0] = 0;
        b[0] = 0;
        d.truss[kRestrainedTruss] = t;
        d.beam[kRestrainedBeam] = b;
        d.nModes = nModes;
    }
};

TEST_P(ClaimedModeCount, IsCheckedAgainstTheStoredShapes)
{
    const ModeClaimCase c = GetParam();
    ClaimModes(INT_MAX);
    T_THRD_D s = Disp(kModalCase, 0, c.code == 0 ? 2 : 0, 0, c.entity);
    s.nCode = c.code;
    std::vector<double> v = Run(s);
    if (c.bNumbered) {
        EXPECT_TRUE(v.empty());
    } else {
        ASSERT_EQ(static_cast<int>(v.size()), kSteps);
        for (double x : v)
            EXPECT_EQ(x, 0.0);
    }
    if (c.code == 0)
        return;
    CPVSTHCalcHistPlotData src(kModalCase);
    ASSERT_EQ(src.BeginQuery(1), 1);
    T_PSTRT_D t;
    T_PSTRB_D b;
    const int ok = c.code == 1 ? src.GetTrussValue(5, c.entity, t) : src.GetBeamValue(5, c.entity, b);
    EXPECT_EQ(ok, c.bNumbered ? 0 : 1);
    src.EndQuery();
}

INSTANTIATE_TEST_SUITE_P(
    NodesAndMembers, ClaimedModeCount,
    ::testing::Values(ModeClaimCase{"NodeNumberedFirst", 0, 1, true}, ModeClaimCase{"NodeNumberedLater", 0, 4, true},
                      ModeClaimCase{"NodeRestrained", 0, 3, false}, ModeClaimCase{"Truss", 1, kTruss, true},
                      ModeClaimCase{"TrussRestrained", 1, 51, false}, ModeClaimCase{"Beam", 2, kBeam, true},
                      ModeClaimCase{"BeamRestrained", 2, 61, false}),
    [](const ::testing::TestParamInfo<ModeClaimCase>& info) { return std::string(info.param.name); });

// Recording double of the one-step entry: counts its calls.
int g_stepCalls = 0;
void CountStep(const char*, int, int, int, int, int, int, int, int, int, double* out, int, int)
{
    ++g_stepCalls;
    *out = 1.0;
}

// A step outside the case (its + 1 would overflow at INT_MAX) is refused without a library
// call: value 0 and the reader's failure.
class ElementReaderStep : public SingleDofModel, public ::testing::WithParamInterface<int> {};

TEST_P(ElementReaderStep, OutsideTheCaseIsRefused)
{
    g_stepCalls = 0;
    kvpvs::timehistory::CurrentElementResultsEntry().step = &CountStep;
    CPVSTHCalcHistPlotData src(kModalCase);
    ASSERT_EQ(src.BeginQuery(9), 1);
    double v = -1.0;
    EXPECT_EQ(src.GetSolidStress(GetParam(), 70, 8, 0, 0, 0, v), 0);
    EXPECT_EQ(v, 0.0);
    EXPECT_EQ(g_stepCalls, 0);
    EXPECT_EQ(src.GetSolidStress(kSteps - 1, 70, 8, 0, 0, 0, v), 1); // the last step is read
    EXPECT_EQ(g_stepCalls, 1);
    src.EndQuery();
}

INSTANTIATE_TEST_SUITE_P(Steps, ElementReaderStep, ::testing::Values(INT_MAX, kSteps, -1, INT_MIN),
                         [](const ::testing::TestParamInfo<int>& info) {
                             const int s = info.param;
                             return s == INT_MAX ? std::string("IntMax")
                                                 : (s == INT_MIN ? std::string("IntMin")
                                                                 : (s < 0 ? "Minus" + std::to_string(-s)
                                                                          : "StepCount"));
                         });

// Element-results entries that throw, as a replaced library or one whose own stop unwinds
// might: the call fails with no values and the host gets its result files back.
void ThrowingHistory(const char*, int, int, int, int, int, int, int, int, double*, int, int)
{
    throw std::runtime_error("the library stopped");
}
void ThrowingStep(const char*, int, int, int, int, int, int, int, int, int, double*, int, int) { throw 7; }

TEST_F(SingleDofModel, ThrowingElementResultsEntryFailsTheCall)
{
    kvpvs::timehistory::CurrentElementResultsEntry().history = &ThrowingHistory;
    kvpvs::timehistory::CurrentElementResultsEntry().step = &ThrowingStep;
    CPostCtrlGeoTech* post = CTHResultBuilder::PostCtrl(doc);
    T_LCOM_D comb;
    post->MakeLoadComb(4, kModalCase, comb);
    post->BeginQueryResult(comb, 1, 0);
    CPVSTHCalcDispFunc f;
    f.SetAnalTypeCtrl(ctrl[0]);
    T_THRD_D req;
    req.nAcasK = kModalCase;
    ASSERT_EQ(f.Init(req), 1);
    CArray<double, double> out;
    EXPECT_EQ(f.CallElementResults(70, 1, kSteps, 0, 2, 16, 2, 3, 0, &out), 0);
    EXPECT_EQ(out.GetSize(), 0);
    EXPECT_EQ(f.CalcElementResults(2, 16, nullptr), 0);
    EXPECT_EQ(f.GetResultCount(), 0);
    EXPECT_TRUE(ctrl[0]->IsXa1Open());
    EXPECT_TRUE(ctrl[0]->IsXa2Open());
    post->EndQueryResult();

    CPVSTHCalcHistPlotData src(kModalCase);
    ASSERT_EQ(src.BeginQuery(12), 1);
    double v = -1.0;
    EXPECT_EQ(src.GetPlateStress(3, 70, 4, 0, 0, 1, v), 0);
    EXPECT_EQ(v, 0.0);
    src.EndQuery();
    EXPECT_TRUE(ctrl[0]->IsXa1Open());
    EXPECT_TRUE(ctrl[0]->IsXa2Open());
    EXPECT_EQ(post->GetQueryDepth(), 0);
}

} // namespace
