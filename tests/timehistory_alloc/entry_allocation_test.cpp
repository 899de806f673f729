// Every allocation of a time-history entry made to fail in turn: the entry returns its failure
// value, closes what it opened (result query, released result files) and writes nothing; once
// no allocation fails it gives what it gives without the failure.
#include "alloc/failing_allocator.h"

#include "../timehistory/single_dof_model.h"

#include "timehistory/CPVSTHCalcDispFunc.h"
#include "timehistory/CPVSTHCalcHistPlotData.h"

#include "MsgDll.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

namespace {

using namespace thtest;
using alloc_test::Disarm;
using alloc_test::FailAllocation;

// More allocations than any of these entries makes: a sweep that reaches it never completed.
constexpr long long kSweepLimit = 20000;

std::vector<double> Values(const CArray<double, double>& a) { return std::vector<double>(a.begin(), a.end()); }

std::string ReadAll(FILE* fp)
{
    std::string text;
    std::rewind(fp);
    char buf[4096];
    size_t n;
    while ((n = std::fread(buf, 1, sizeof buf, fp)) > 0)
        text.append(buf, n);
    return text;
}

class EntryAllocation : public SingleDofModel {
protected:
    // The host's hold on both cases' result files, as before any entry ran.
    bool FilesHeld() const
    {
        return ctrl[0]->IsXa1Open() && ctrl[0]->IsXa2Open() && ctrl[1]->IsXa1Open() && ctrl[1]->IsXa2Open();
    }
    int QueryDepth() { return CTHResultBuilder::PostCtrl(doc)->GetQueryDepth(); }
};

struct RunCase {
    const char* name;
    unsigned acas;
    int code, kind, component, dispType;
    unsigned entity;
};

class RunWithFailingAllocation : public EntryAllocation, public ::testing::WithParamInterface<RunCase> {};

TEST_P(RunWithFailingAllocation, GivesTheEmptySeriesAndClosesTheQuery)
{
    const RunCase c = GetParam();
    T_THRD_D s = Disp(c.acas, c.kind, c.component, c.dispType, c.entity, 2);
    s.nCode = c.code;
    const std::vector<double> expected = Run(s);
    ASSERT_EQ(static_cast<int>(expected.size()), kSteps);
    long long n = 0;
    for (; n < kSweepLimit; ++n) {
        FailAllocation(n);
        CArray<double, double>* p = engine.Run(&s);
        const bool bFailed = Disarm();
        if (!bFailed) {
            EXPECT_EQ(Values(*p), expected);
            break;
        }
        EXPECT_EQ(p->GetSize(), 0) << "allocation " << n;
        EXPECT_EQ(engine.GetTimeSteps().GetSize(), engine.GetStepCount()) << "allocation " << n;
        EXPECT_EQ(QueryDepth(), 0) << "allocation " << n;
        EXPECT_EQ(CPVSTHCalcFuncBase::GetCurrent(), nullptr) << "allocation " << n;
    }
    EXPECT_GT(n, 0);
    EXPECT_LT(n, kSweepLimit);
}

INSTANTIATE_TEST_SUITE_P(
    NodeTrussBeam, RunWithFailingAllocation,
    ::testing::Values(RunCase{"DisplacementModal", kModalCase, 0, 0, 0, 0, 1},
                      RunCase{"VelocityDirectWithGroundMotion", kDirectCase, 0, 1, 0, 1, 1},
                      RunCase{"DisplacementDirectRelative", kDirectCase, 0, 0, 0, 2, 1},
                      RunCase{"TrussStressModal", kModalCase, 1, 1, 0, 0, kTruss},
                      RunCase{"TrussForceDirect", kDirectCase, 1, 0, 0, 0, kTruss},
                      RunCase{"BeamMomentModal", kModalCase, 2, 0, 4, 0, kBeam},
                      RunCase{"BeamStressDirect", kDirectCase, 2, 1, 3, 0, kBeam}),
    [](const ::testing::TestParamInfo<RunCase>& info) { return std::string(info.param.name); });

struct ReportCase {
    const char* name;
    unsigned thisK;
    int code, kind;
};

class ReportWithFailingAllocation : public EntryAllocation, public ::testing::WithParamInterface<ReportCase> {};

TEST_P(ReportWithFailingAllocation, WritesNothingAndKeepsTheKeys)
{
    const ReportCase c = GetParam();
    CMsgDll::SetText("IDS_QB_PVS_Force", "Force");
    auto request = [&](T_THREPORT_D& rep) {
        rep.nThisK = c.thisK;
        rep.nKind = c.kind;
        rep.nStride = 3;
        rep.dStart = 0.05;
        rep.dEnd = 0.5;
        const unsigned nodes[2] = {2, 1}, trusses[1] = {kTruss}, beams[1] = {kBeam};
        if (c.code == 1)
            for (unsigned k : nodes)
                rep.aKeys.Add(k);
        else
            rep.aKeys.Add(c.code == 2 ? trusses[0] : beams[0]);
    };
    T_THREPORT_D ref;
    request(ref);
    const std::string expected = Write(c.code, ref);
    ASSERT_FALSE(expected.empty());
    long long n = 0;
    for (; n < kSweepLimit; ++n) {
        T_THREPORT_D rep;
        request(rep);
        FILE* fp = std::tmpfile();
        rep.pFile = fp;
        FailAllocation(n);
        engine.WriteReport(c.code, rep);
        const bool bFailed = Disarm();
        const std::string text = ReadAll(fp);
        std::fclose(fp);
        if (!bFailed) {
            EXPECT_EQ(text, expected);
            break;
        }
        EXPECT_EQ(text, "") << "allocation " << n;
        EXPECT_EQ(QueryDepth(), 0) << "allocation " << n;
        if (c.code == 1) { // the caller's order, unsorted
            ASSERT_EQ(rep.aKeys.GetSize(), 2);
            EXPECT_EQ(rep.aKeys[0], 2u) << "allocation " << n;
        }
    }
    EXPECT_GT(n, 0);
    EXPECT_LT(n, kSweepLimit);
}

INSTANTIATE_TEST_SUITE_P(NodeTrussBeam, ReportWithFailingAllocation,
                         ::testing::Values(ReportCase{"DisplacementModal", 1, 1, 0},
                                           ReportCase{"AccelerationDirect", 2, 1, 2},
                                           ReportCase{"TrussForceModal", 1, 2, 0},
                                           ReportCase{"TrussStressDirect", 2, 2, 1},
                                           ReportCase{"BeamForceModal", 1, 3, 0},
                                           ReportCase{"BeamStressDirect", 2, 3, 1}),
                         [](const ::testing::TestParamInfo<ReportCase>& info) { return std::string(info.param.name); });

// The one-step and history doubles of the element-results entry: row / 1000 at every step.
void HistoryDouble(const char*, int, int, int, int row, int, int n, int, int, double* out, int, int)
{
    for (int i = 0; i < n; ++i)
        out[i] = row / 1000.0;
}
void StepDouble(const char*, int, int, int, int row, int, int, int, int, int, double* out, int, int)
{
    *out = row / 1000.0;
}

TEST_F(EntryAllocation, ElementResultsCallFailsAndGivesTheFilesBack)
{
    kvpvs::timehistory::CurrentElementResultsEntry().history = &HistoryDouble;
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
    long long n = 0;
    for (; n < kSweepLimit; ++n) {
        FailAllocation(n);
        const int ok = f.CallElementResults(70, 1, kSteps, 0, 2, 16, 2, 3, 0, &out);
        const bool bFailed = Disarm();
        EXPECT_TRUE(FilesHeld()) << "allocation " << n;
        if (!bFailed) {
            EXPECT_EQ(ok, 1);
            ASSERT_EQ(out.GetSize(), kSteps);
            EXPECT_DOUBLE_EQ(out[0], 0.016); // unit type 0 of the function: as the library gave it
            break;
        }
        EXPECT_EQ(ok, 0) << "allocation " << n;
        EXPECT_EQ(out.GetSize(), 0) << "allocation " << n;
    }
    EXPECT_LT(n, kSweepLimit);
    post->EndQueryResult();
}

// The value source's readers: the record as initialised (the value 0) and the reader's failure.
enum class Reader { TrussModal, TrussDirect, BeamModal, BeamDirect, SolidStress };
struct ValueCase {
    const char* name;
    Reader reader;
};

class ValueSourceWithFailingAllocation : public EntryAllocation, public ::testing::WithParamInterface<ValueCase> {
protected:
    // One reading at step 9; the first double of the record read, or the value.
    int Read(CPVSTHCalcHistPlotData& src, double& v)
    {
        T_PSTRT_D t;
        T_PSTRB_D b;
        int ok = 0;
        switch (GetParam().reader) {
        case Reader::TrussModal:
        case Reader::TrussDirect:
            ok = src.GetTrussValue(9, kTruss, t);
            v = t.dForceJ;
            break;
        case Reader::BeamModal:
        case Reader::BeamDirect:
            ok = src.GetBeamValue(9, kBeam, b);
            v = b.dForce[1][7];
            break;
        case Reader::SolidStress:
            ok = src.GetSolidStress(9, 70, 8, 0, 0, 2, v);
            break;
        }
        return ok;
    }
};

TEST_P(ValueSourceWithFailingAllocation, GivesTheInitialisedRecord)
{
    const Reader r = GetParam().reader;
    const bool bDirect = r == Reader::TrussDirect || r == Reader::BeamDirect;
    kvpvs::timehistory::CurrentElementResultsEntry().step = &StepDouble;
    CPVSTHCalcHistPlotData src(bDirect ? kDirectCase : kModalCase);
    ASSERT_EQ(src.BeginQuery(r == Reader::SolidStress ? 9 : 1), 1);
    double expected = 0.0;
    ASSERT_EQ(Read(src, expected), 1);
    ASSERT_NE(expected, 0.0);
    long long n = 0;
    for (; n < kSweepLimit; ++n) {
        double v = -1.0;
        FailAllocation(n);
        const int ok = Read(src, v);
        if (!Disarm()) {
            EXPECT_EQ(ok, 1);
            EXPECT_EQ(v, expected);
            break;
        }
        EXPECT_EQ(ok, 0) << "allocation " << n;
        EXPECT_EQ(v, 0.0) << "allocation " << n;
    }
    EXPECT_LT(n, kSweepLimit);
    src.EndQuery();
    EXPECT_TRUE(FilesHeld());
    EXPECT_EQ(QueryDepth(), 0);
}

INSTANTIATE_TEST_SUITE_P(TrussBeamSolid, ValueSourceWithFailingAllocation,
                         ::testing::Values(ValueCase{"TrussModal", Reader::TrussModal},
                                           ValueCase{"TrussDirect", Reader::TrussDirect},
                                           ValueCase{"BeamModal", Reader::BeamModal},
                                           ValueCase{"BeamDirect", Reader::BeamDirect},
                                           ValueCase{"SolidStress", Reader::SolidStress}),
                         [](const ::testing::TestParamInfo<ValueCase>& info) { return std::string(info.param.name); });

TEST_F(EntryAllocation, ValueSourceQueryFailsAndEndsClean)
{
    long long n = 0;
    for (; n < kSweepLimit; ++n) {
        CPVSTHCalcHistPlotData src(kModalCase);
        FailAllocation(n);
        const int ok = src.BeginQuery(9);
        const bool bFailed = Disarm();
        src.EndQuery();
        EXPECT_TRUE(FilesHeld()) << "allocation " << n;
        EXPECT_EQ(QueryDepth(), 0) << "allocation " << n;
        if (!bFailed) {
            EXPECT_EQ(ok, 1);
            break;
        }
        EXPECT_EQ(ok, 0) << "allocation " << n;
    }
    EXPECT_LT(n, kSweepLimit);
}

} // namespace
