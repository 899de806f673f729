// The engine on the single-degree-of-freedom model: the stored request made a run form, its
// failures, the factory's functions by code, and the report written to the report file beside
// the document or refused.
#include "timehistory/CPVSTHCalcBeamFunc.h"
#include "timehistory/CPVSTHCalcDispFunc.h"
#include "timehistory/CPVSTHCalcFuncFactory.h"
#include "timehistory/CPVSTHCalcPlateFunc.h"
#include "timehistory/CPVSTHCalcPlstrnFunc.h"
#include "timehistory/CPVSTHCalcSolidFunc.h"
#include "timehistory/CPVSTHCalcTrssFunc.h"

#include "single_dof_model.h"

#include "GoldenText.h"
#include "TempDir.h"

#include "afxfile.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <memory>
#include <string>

namespace {

using namespace thtest;
using kvpvs::testing::ReadTextFile;

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

TEST(CalcFuncFactory, CodesOneToSixMakeTheNodeTrussBeamPlaneStrainPlateAndSolidFunctions)
{
    for (int code : {0, 7, -1})
        EXPECT_EQ(CPVSTHCalcFuncFactory::Create(code), nullptr) << code; // nor the plane-stress function
    auto made = [](int code) { return std::unique_ptr<CPVSTHCalcFuncBase>(CPVSTHCalcFuncFactory::Create(code)); };
    EXPECT_NE(dynamic_cast<CPVSTHCalcDispFunc*>(made(1).get()), nullptr);
    EXPECT_NE(dynamic_cast<CPVSTHCalcTrssFunc*>(made(2).get()), nullptr);
    EXPECT_NE(dynamic_cast<CPVSTHCalcBeamFunc*>(made(3).get()), nullptr);
    EXPECT_NE(dynamic_cast<CPVSTHCalcPlstrnFunc*>(made(4).get()), nullptr);
    EXPECT_NE(dynamic_cast<CPVSTHCalcPlateFunc*>(made(5).get()), nullptr);
    EXPECT_NE(dynamic_cast<CPVSTHCalcSolidFunc*>(made(6).get()), nullptr);
}

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
TEST_F(TextReport, ReportFileBesideTheDocument)
{
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
    EXPECT_EQ(ReadTextFile(path), expected);
    EXPECT_EQ(std::string(CDBLib::GetLastEditorPath()), path);
    EXPECT_EQ(std::string(CDBLib::GetLastEditorTitle()), "IDS_QB_PVS_TIME_HISTORY_RESULTS");

    T_THREPORT_D reversed;
    request(reversed);
    reversed.dStart = 0.3;
    reversed.dEnd = 0.1;
    engine.WriteReport(1, reversed);
    EXPECT_EQ(ReadTextFile(path), expected);

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
    CPostCtrlGeoTech* post = BeginModalQuery();
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