// The flow-path dialog on a 2 x 2 x 2 block with a uniform seepage velocity: picking a start
// point fills the file-scope record and asks for display type 1; Play moves the marks' phase on
// the module's timer (virtual clock); Record hides the dialog for 20 frames of the same phase
// arithmetic. Phases are compared with k / (10 N), the k-th tenth of the mark spacing 1 / N.
#include "SeepageDialogFixtures.h"

#include "dialogs/CDlgFlowPathWKVR.h"
#include "dialogs/DialogControlIds.h"
#include "visualmethods/CPVSVisualMethodGlbFlowPath.h"

#include "AnimationEngine.h"
#include "PVSRendererBase.h"
#include "UserDefDisplayHost.h"
#include "afx_standin.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace kvpvs::test;

namespace {

class FlowPathDialog : public ::testing::Test {
protected:
    void SetUp() override
    {
        nVelocityRow = AddVelocityRow(s.m, 1.0, 0.0, 0.0);
        Win32ClearMessageBoxJournal();
        CPVSVisualMethodGlbFlowPath::m_dIncrementFactor = 0.0;
    }
    void TearDown() override
    {
        if (IsWindow(hDlg))
            DestroyWindow(hDlg);
        CAnimationEngineOnlyRecord::m_fnFrameHook = nullptr;
    }
    CDlgFlowPathWKVR* Open()
    {
        auto* dlg = new CDlgFlowPathWKVR(&s.view, &s.m.doc, 0, false);
        EXPECT_TRUE(dlg->Create(&s.view));
        dlg->ShowWindow(SW_SHOW);
        hDlg = dlg->m_hWnd;
        return dlg;
    }
    static void Pick(CDlgFlowPathWKVR* dlg, double x, double y, double z)
    {
        ASSERT_TRUE(dlg->GetEventHandler()->Pick(gp_Pnt(x, y, z)));
    }
    int Requests() const { return s.bridge->m_aRequests.GetSize(); }
    static BOOL Enabled(CWnd* dlg, UINT nID) { return dlg->GetDlgItem(nID)->IsWindowEnabled(); }
    static int Checked(CWnd* dlg, UINT nID) { return static_cast<CButton*>(dlg->GetDlgItem(nID))->GetCheck(); }

    SeepageScene s;
    unsigned int nVelocityRow = 0;
    HWND hDlg = nullptr;
};

TEST_F(FlowPathDialog, PickedPointFillsTheRecordWithTheDefaultsAndAsksForTypeOne)
{
    CDlgFlowPathWKVR* dlg = Open();
    EXPECT_EQ(AfxDriver::GetText(dlg, IDC_FP_POSITION), CString("0, 0, 0"));
    Pick(dlg, 0.5, 1.0, 1.5);
    const T_VD_FLOWPATH_WPLKVR_D& r = CDlgFlowPathWKVR::AddedInfo;
    ASSERT_EQ(Requests(), 1);
    EXPECT_EQ(s.bridge->m_aRequests[0].nVDType, 1u);
    EXPECT_EQ(s.bridge->m_aRequests[0].pUserData, &CDlgFlowPathWKVR::AddedInfo);
    EXPECT_EQ(s.bridge->m_aRequests[0].nArg1, 1);
    EXPECT_EQ(r.nFlowPVtifK, nVelocityRow);
    ASSERT_EQ(r.aStartX.GetSize(), 1);
    EXPECT_EQ(r.aStartX[0], 0.5);
    EXPECT_EQ(r.aStartY[0], 1.0);
    EXPECT_EQ(r.aStartZ[0], 1.5);
    EXPECT_EQ(r.nColorMode, 1) << "single colour";
    EXPECT_EQ(r.bKeepPrevious, 0);
    EXPECT_EQ(r.nPathType, 0);
    EXPECT_EQ(r.dTubeScale, 1.0);
    EXPECT_EQ(r.nLineWidth, 1);
    EXPECT_EQ(r.nPathColor, 0x0000FF);
    EXPECT_EQ(r.nColor2, 0);
    EXPECT_EQ(r.nIntOption, 2);
    EXPECT_EQ(r.bDrawContour, 0);
    EXPECT_EQ(r.dStepOption, 0.2);
    EXPECT_EQ(r.bMarksOn, 1);
    EXPECT_EQ(r.nSymbolKind, 0);
    EXPECT_EQ(r.dSymbolScale, 1.0);
    EXPECT_EQ(r.nDivisions, 5);
    EXPECT_EQ(dlg->GetPlottedKey(), nVelocityRow);
}

// Typed numbers: whole numbers are truncated when they fit an int, otherwise the reset value
// stands; negative symbol scales and division counts take 1; what is no number resets.
struct TypedCase {
    const char* pszName;
    UINT nID;
    const char* pszText;
    double dExpected;
    double (*read)(const T_VD_FLOWPATH_WPLKVR_D&);
};

class FlowPathTypedNumbers : public FlowPathDialog, public ::testing::WithParamInterface<TypedCase> {};

TEST_P(FlowPathTypedNumbers, AreStoredAsTheRecordAllows)
{
    CDlgFlowPathWKVR* dlg = Open();
    ASSERT_TRUE(AfxDriver::SetText(dlg, GetParam().nID, GetParam().pszText));
    Pick(dlg, 0.5, 0.5, 0.5);
    EXPECT_EQ(GetParam().read(CDlgFlowPathWKVR::AddedInfo), GetParam().dExpected);
}

double LineWidth(const T_VD_FLOWPATH_WPLKVR_D& r) { return r.nLineWidth; }
double Divisions(const T_VD_FLOWPATH_WPLKVR_D& r) { return r.nDivisions; }
double SymbolScale(const T_VD_FLOWPATH_WPLKVR_D& r) { return r.dSymbolScale; }
double TubeScale(const T_VD_FLOWPATH_WPLKVR_D& r) { return r.dTubeScale; }
double IntOption(const T_VD_FLOWPATH_WPLKVR_D& r) { return r.nIntOption; }

INSTANTIATE_TEST_SUITE_P(
    Edits, FlowPathTypedNumbers,
    ::testing::Values(TypedCase{"LineWidthTruncated", IDC_FP_LINE_WIDTH, "2.9", 2, &LineWidth},
                      TypedCase{"LineWidthBeyondIntResets", IDC_FP_LINE_WIDTH, "1e12", 1, &LineWidth},
                      TypedCase{"LineWidthNanResets", IDC_FP_LINE_WIDTH, "nan", 1, &LineWidth},
                      TypedCase{"OptionBelowIntResets", IDC_FP_INT_OPTION, "-3e9", 0, &IntOption},
                      TypedCase{"DivisionsNegativeIsOne", IDC_FP_DIVISIONS, "-3", 1, &Divisions},
                      TypedCase{"DivisionsZeroStays", IDC_FP_DIVISIONS, "0", 0, &Divisions},
                      TypedCase{"SymbolScaleNegativeIsOne", IDC_FP_SYMBOL_SCALE, "-2.5", 1.0, &SymbolScale},
                      TypedCase{"TubeScaleInfinityResets", IDC_FP_PIPE_SCALE, "inf", 1.0, &TubeScale}),
    [](const ::testing::TestParamInfo<TypedCase>& i) { return std::string(i.param.pszName); });

TEST_F(FlowPathDialog, EachPointReplacesThePathsUnlessPreviousOnesAreKept)
{
    CDlgFlowPathWKVR* dlg = Open();
    Pick(dlg, 0.5, 0.5, 0.5);
    Pick(dlg, 1.5, 0.5, 0.5);
    EXPECT_EQ(CDlgFlowPathWKVR::AddedInfo.aStartX.GetSize(), 1);
    EXPECT_EQ(CDlgFlowPathWKVR::AddedInfo.aStartX[0], 1.5);
    AfxDriver::Check(dlg, IDC_FP_KEEP, 1);
    Pick(dlg, 0.5, 1.5, 0.5);
    ASSERT_EQ(CDlgFlowPathWKVR::AddedInfo.aStartX.GetSize(), 2);
    EXPECT_EQ(CDlgFlowPathWKVR::AddedInfo.aStartY[1], 1.5);
    EXPECT_EQ(CDlgFlowPathWKVR::AddedInfo.bKeepPrevious, 1);
}

TEST_F(FlowPathDialog, ResetShowsTheDisplayWithoutStartPointsOnlyAfterAPlot)
{
    CDlgFlowPathWKVR* dlg = Open();
    AfxDriver::Click(dlg, IDC_FP_RESET);
    EXPECT_EQ(Requests(), 0) << "nothing plotted yet";
    Pick(dlg, 0.5, 0.5, 0.5);
    AfxDriver::Click(dlg, IDC_FP_RESET);
    ASSERT_EQ(Requests(), 2);
    EXPECT_EQ(CDlgFlowPathWKVR::AddedInfo.aStartX.GetSize(), 0);
    EXPECT_EQ(CDlgFlowPathWKVR::AddedInfo.nFlowPVtifK, nVelocityRow);
}

TEST_F(FlowPathDialog, NewDialogResetsTheSharedRecord)
{
    CDlgFlowPathWKVR* dlg = Open();
    AfxDriver::SetText(dlg, IDC_FP_DIVISIONS, "8");
    Pick(dlg, 0.5, 0.5, 0.5);
    ASSERT_EQ(CDlgFlowPathWKVR::AddedInfo.nDivisions, 8);
    auto* second = new CDlgFlowPathWKVR(&s.view, &s.m.doc, 0, false);
    EXPECT_EQ(CDlgFlowPathWKVR::AddedInfo.nDivisions, 5);
    EXPECT_EQ(CDlgFlowPathWKVR::AddedInfo.aStartX.GetSize(), 0);
    delete second;
}

TEST_F(FlowPathDialog, PipesTakeContourColouringAndNoAnimation)
{
    CDlgFlowPathWKVR* dlg = Open();
    EXPECT_TRUE(Enabled(dlg, IDC_FP_LINE_WIDTH));
    EXPECT_TRUE(Enabled(dlg, IDC_FP_PLAY));
    ASSERT_TRUE(AfxDriver::Click(dlg, IDC_FP_PIPE));
    EXPECT_FALSE(Enabled(dlg, IDC_FP_LINE_WIDTH));
    EXPECT_TRUE(Enabled(dlg, IDC_FP_PIPE_SCALE));
    EXPECT_EQ(Checked(dlg, IDC_FP_CONTOUR), 1);
    EXPECT_EQ(Checked(dlg, IDC_FP_SINGLE), 0);
    for (UINT id : {IDC_FP_SINGLE, IDC_FP_COLOUR, IDC_FP_MARKING, IDC_FP_ARROW, IDC_FP_CONE, IDC_FP_SPHERE,
                    IDC_FP_SYMBOL_SCALE, IDC_FP_DIVISIONS, IDC_FP_PLAY, IDC_FP_STOP})
        EXPECT_FALSE(Enabled(dlg, id)) << id;
    Pick(dlg, 0.5, 0.5, 0.5);
    EXPECT_EQ(CDlgFlowPathWKVR::AddedInfo.nPathType, 1);
    EXPECT_EQ(CDlgFlowPathWKVR::AddedInfo.nColorMode, 0);

    ASSERT_TRUE(AfxDriver::Click(dlg, IDC_FP_LINE));
    EXPECT_TRUE(Enabled(dlg, IDC_FP_LINE_WIDTH));
    EXPECT_FALSE(Enabled(dlg, IDC_FP_PIPE_SCALE));
    EXPECT_TRUE(Enabled(dlg, IDC_FP_PLAY));
}

TEST_F(FlowPathDialog, OtherResultForcesSingleColouredLines)
{
    CDlgFlowPathWKVR* dlg = Open();
    EXPECT_FALSE(Enabled(dlg, IDC_FP_OTHER_COMBO));
    EXPECT_TRUE(Enabled(dlg, IDC_FP_PIPE));
    AfxDriver::Click(dlg, IDC_FP_CONTOUR);
    ASSERT_TRUE(AfxDriver::Click(dlg, IDC_FP_OTHER));
    EXPECT_TRUE(Enabled(dlg, IDC_FP_OTHER_COMBO));
    for (UINT id : {IDC_FP_PIPE, IDC_FP_PIPE_SCALE, IDC_FP_CONTOUR})
        EXPECT_FALSE(Enabled(dlg, id)) << id;
    for (UINT id : {IDC_FP_LINE, IDC_FP_LINE_WIDTH, IDC_FP_SINGLE, IDC_FP_COLOUR})
        EXPECT_TRUE(Enabled(dlg, id)) << id;
    EXPECT_EQ(Checked(dlg, IDC_FP_LINE), 1);
    EXPECT_EQ(Checked(dlg, IDC_FP_SINGLE), 1);
    Pick(dlg, 0.5, 0.5, 0.5);
    EXPECT_EQ(CDlgFlowPathWKVR::AddedInfo.bDrawContour, 1);
    EXPECT_EQ(CDlgFlowPathWKVR::AddedInfo.nContourPVtifK, nVelocityRow) << "the combo's first row of the step";
}

TEST_F(FlowPathDialog, StepWithoutRowsOrWithoutVelocityPlotsNothing)
{
    CDBBase* pPost = s.m.doc.GetPostDB();
    T_PLSIF_D empty;
    empty.nOsifK = 1;
    empty.strName = "Empty step";
    CClassPLsif(pPost).Set(2, empty);
    T_PLSIF_D head;
    head.nOsifK = 1;
    head.strName = "Heads only";
    CClassPLsif(pPost).Set(3, head);
    AddNodeRow(s.m, "Total head", kClassNodeSeepage, 1, [](unsigned int, const double*) { return std::vector<double>{1.0}; }, 3);

    CDlgFlowPathWKVR* dlg = Open();
    ASSERT_TRUE(AfxDriver::Select(dlg, IDC_FP_STEP, 1));
    Pick(dlg, 0.5, 0.5, 0.5);
    ASSERT_EQ(Win32MessageBoxCount(), 1);
    EXPECT_STREQ(Win32MessageBoxAt(0)->pszText, "[Error] No result exist in current step");
    ASSERT_TRUE(AfxDriver::Select(dlg, IDC_FP_STEP, 2));
    Pick(dlg, 0.5, 0.5, 0.5);
    ASSERT_EQ(Win32MessageBoxCount(), 2);
    EXPECT_STREQ(Win32MessageBoxAt(1)->pszText, "[Error] No node flow velocity exist in current step");
    EXPECT_EQ(Requests(), 0);
    EXPECT_EQ(dlg->GetPlottedKey(), 0u);
}

TEST_F(FlowPathDialog, TypedTextThatIsNoPointPlotsNothing)
{
    CDlgFlowPathWKVR* dlg = Open();
    AfxDriver::SetText(dlg, IDC_FP_POSITION, "1, two, 3");
    AfxDriver::Click(dlg, IDC_FP_PLOT);
    EXPECT_EQ(Requests(), 0);
    AfxDriver::SetText(dlg, IDC_FP_POSITION, "1, 2, 3");
    AfxDriver::Click(dlg, IDC_FP_PLOT);
    EXPECT_EQ(Requests(), 1);
}

// Five divisions: period 0.2, step 0.02; the ticks show 0.02 .. 0.18 and start again.
TEST_F(FlowPathDialog, PlayShowsPhasesOfOneTenthOfTheMarkSpacingEveryHundredMilliseconds)
{
    CDlgFlowPathWKVR* dlg = Open();
    AfxDriver::Click(dlg, IDC_FP_PLAY);
    EXPECT_EQ(Win32TimerCount(hDlg), 0) << "nothing plotted: no animation";
    Pick(dlg, 0.5, 0.5, 0.5);
    AfxDriver::Click(dlg, IDC_FP_PLAY);
    ASSERT_EQ(Win32TimerCount(hDlg), 1);
    EXPECT_EQ(dlg->IsPlaying(), 1);
    EXPECT_EQ(CDlgFlowPathWKVR::m_nTimerID, 1u);
    EXPECT_DOUBLE_EQ(CDlgFlowPathWKVR::m_dEndRatio, 0.2);
    Win32AdvanceClock(99);
    EXPECT_EQ(CPVSVisualMethodGlbFlowPath::m_dIncrementFactor, 0.0) << "no tick before 100 ms";
    const int nLabels = s.bridge->m_aLabelUpdates.GetSize();
    for (int k = 1; k <= 12; ++k) {
        Win32AdvanceClock(k == 1 ? 1 : 100);
        const int shown = (k - 1) % 9 + 1;
        EXPECT_NEAR(CPVSVisualMethodGlbFlowPath::m_dIncrementFactor, shown / (10.0 * 5), 1e-12) << "tick " << k;
    }
    ASSERT_EQ(s.bridge->m_aLabelUpdates.GetSize(), nLabels + 12) << "one redraw per tick";
    const T_PVS_LABEL_UPDATE_D& u = s.bridge->m_aLabelUpdates[nLabels];
    EXPECT_EQ(u.nKind, 2);
    EXPECT_EQ(u.nArg1, 1);
    EXPECT_EQ(u.nArg2, 0);

    AfxDriver::Click(dlg, IDC_FP_STOP);
    EXPECT_EQ(Win32TimerCount(hDlg), 0);
    EXPECT_EQ(CPVSVisualMethodGlbFlowPath::m_dIncrementFactor, 0.0);
    EXPECT_EQ(s.bridge->m_aLabelUpdates[s.bridge->m_aLabelUpdates.GetSize() - 1].nArg2, 1);
    Win32AdvanceClock(500);
    EXPECT_EQ(CPVSVisualMethodGlbFlowPath::m_dIncrementFactor, 0.0);
}

TEST_F(FlowPathDialog, NegativeDivisionsAnimateWithOneMarkAndZeroDivisionsNotAtAll)
{
    CDlgFlowPathWKVR* dlg = Open();
    AfxDriver::SetText(dlg, IDC_FP_DIVISIONS, "-3");
    Pick(dlg, 0.5, 0.5, 0.5);
    AfxDriver::Click(dlg, IDC_FP_PLAY);
    EXPECT_EQ(CDlgFlowPathWKVR::m_dEndRatio, 1.0);
    EXPECT_EQ(CDlgFlowPathWKVR::m_dOrgIncRatio, 0.1);
    AfxDriver::Click(dlg, IDC_FP_STOP);

    AfxDriver::SetText(dlg, IDC_FP_DIVISIONS, "0");
    AfxDriver::Click(dlg, IDC_FP_PLAY);
    EXPECT_EQ(Win32TimerCount(hDlg), 0);
    EXPECT_EQ(dlg->IsPlaying(), 0);
}

TEST_F(FlowPathDialog, ClosingAPlayingDialogEndsItsTimerAndLeavesTheLastPhase)
{
    CDlgFlowPathWKVR* dlg = Open();
    Pick(dlg, 0.5, 0.5, 0.5);
    AfxDriver::Click(dlg, IDC_FP_PLAY);
    Win32AdvanceClock(300);
    const int nClose = s.bridge->m_nCloseCalls;
    AfxDriver::Destroy(dlg);
    EXPECT_FALSE(IsWindow(hDlg));
    EXPECT_EQ(s.bridge->m_nCloseCalls, nClose + 1);
    EXPECT_NEAR(CPVSVisualMethodGlbFlowPath::m_dIncrementFactor, 0.06, 1e-12);
    Win32AdvanceClock(1000);
    EXPECT_NEAR(CPVSVisualMethodGlbFlowPath::m_dIncrementFactor, 0.06, 1e-12);
}

TEST_F(FlowPathDialog, RecordHidesTheDialogForTwentyFramesAndShowsItAgain)
{
    CDlgFlowPathWKVR* dlg = Open();
    Pick(dlg, 0.5, 0.5, 0.5);
    AfxDriver::Click(dlg, IDC_FP_PLAY);
    std::vector<double> phases;
    int nVisibleFrames = 0;
    CAnimationEngineOnlyRecord::m_fnFrameHook = [&](CView* pView, int) {
        EXPECT_EQ(pView, &s.view);
        phases.push_back(CPVSVisualMethodGlbFlowPath::m_dIncrementFactor);
        nVisibleFrames += dlg->IsWindowVisible() ? 1 : 0;
    };
    AfxDriver::Click(dlg, IDC_FP_RECORD);
    EXPECT_EQ(Win32TimerCount(hDlg), 0) << "recording stops the animation first";
    ASSERT_EQ(phases.size(), 20u);
    EXPECT_EQ(nVisibleFrames, 0);
    for (size_t i = 0; i < phases.size(); ++i)
        EXPECT_NEAR(phases[i], static_cast<double>(i % 9 + 1) / 50.0, 1e-12) << "frame " << i;
    EXPECT_TRUE(dlg->IsWindowVisible());
    EXPECT_EQ(CPVSVisualMethodGlbFlowPath::m_dIncrementFactor, 0.0);
}

TEST_F(FlowPathDialog, RecordNeedsAPostViewAndAPlot)
{
    CDlgFlowPathWKVR* dlg = Open();
    int nFrames = 0;
    CAnimationEngineOnlyRecord::m_fnFrameHook = [&](CView*, int) { ++nFrames; };
    AfxDriver::Click(dlg, IDC_FP_RECORD);
    EXPECT_EQ(nFrames, 0) << "nothing plotted";
    Pick(dlg, 0.5, 0.5, 0.5);
    CView plain;
    s.m.doc.SetActiveView(&plain);
    AfxDriver::Click(dlg, IDC_FP_RECORD);
    EXPECT_EQ(nFrames, 0) << "not a post view";
    EXPECT_TRUE(dlg->IsWindowVisible());
    s.m.doc.SetActiveView(&s.view);
}

} // namespace

namespace {

// The real displays: the host builds each request through the module's factory.
TEST_F(FlowPathDialog, PickedPointIsShownAsAFlowPathDisplay)
{
    CPVSRendererRecorder renderer;
    kvpvs::host::CUserDefDisplayHost host(&renderer);
    host.Install(*s.bridge);
    CDlgFlowPathWKVR* dlg = Open();
    Pick(dlg, 0.25, 1.0, 1.0);
    EXPECT_EQ(host.GetShownCount(), 1);
    EXPECT_NE(dynamic_cast<CPVSVisualMethodGlbFlowPath*>(host.GetMethod()), nullptr);
    AfxDriver::Click(dlg, IDC_FP_RESET);
    EXPECT_EQ(host.GetShownCount(), 2) << "the display without paths";
    AfxDriver::Destroy(dlg);
    kvpvs::host::CUserDefDisplayHost::Uninstall(*s.bridge);
}

} // namespace
