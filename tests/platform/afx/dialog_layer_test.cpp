// The window-less dialog layer where it has logic of its own: message maps along the class
// chain, data exchange failures, timers on the virtual clock and the order of destruction.
#include "afx_standin.h"

#include <gtest/gtest.h>

#include <ostream>
#include <string>
#include <vector>

namespace {

enum : UINT { IDD_PROBE = 900, ID_EDIT_N = 901, ID_EDIT_X = 902, ID_BTN_A = 903, ID_BTN_B = 904,
              ID_CHECK = 905, ID_RADIO_0 = 906, ID_RADIO_1 = 907, ID_RADIO_2 = 908 };

std::vector<std::string>* g_log = nullptr;
void Log(const std::string& s)
{
    if (g_log)
        g_log->push_back(s);
}

void RegisterProbeTemplate()
{
    AfxRegisterDialogTemplate(IDD_PROBE, AFX_DLGTEMPLATE_D{"probe", 120,
        {{ID_EDIT_N, AFX_CTL_EDIT, "", 0}, {ID_EDIT_X, AFX_CTL_EDIT, "", 0},
         {ID_BTN_A, AFX_CTL_BUTTON, "A", 0}, {ID_BTN_B, AFX_CTL_BUTTON, "B", WS_DISABLED},
         {ID_CHECK, AFX_CTL_CHECK, "check", 0},
         {ID_RADIO_0, AFX_CTL_RADIO, "r0", WS_GROUP}, {ID_RADIO_1, AFX_CTL_RADIO, "r1", 0},
         {ID_RADIO_2, AFX_CTL_RADIO, "r2", 0}}});
}

class BaseDlg : public CDialog {
    DECLARE_MESSAGE_MAP()
public:
    BaseDlg() : CDialog(IDD_PROBE) {}
    int m_nCount = 5;
    double m_dValue = 1.5;
    int m_nCheck = 0;
    int m_nRadio = 1;
    int m_nTimer = 0;
    std::string m_strName = "dialog";

protected:
    void DoDataExchange(CDataExchange* pDX) override
    {
        DDX_Text(pDX, ID_EDIT_N, m_nCount);
        DDX_Text(pDX, ID_EDIT_X, m_dValue);
        DDX_Check(pDX, ID_CHECK, m_nCheck);
        DDX_Radio(pDX, ID_RADIO_0, m_nRadio);
    }
    void OnA() { Log("base A"); }
    void OnB() { Log("base B"); }
    void OnTimer(UINT_PTR n) override { Log("timer " + std::to_string(n)); ++m_nTimer; }
    void OnDestroy() override { Log("destroy " + m_strName); }
    void PostNcDestroy() override { Log(IsWindow(m_hWnd) ? "post: live handle" : "post: handle dead"); }
};

BEGIN_MESSAGE_MAP(BaseDlg, CDialog)
ON_BN_CLICKED(ID_BTN_A, OnA)
ON_BN_CLICKED(ID_BTN_B, OnB)
ON_WM_TIMER()
ON_WM_DESTROY()
END_MESSAGE_MAP()

class DerivedDlg : public BaseDlg {
    DECLARE_MESSAGE_MAP()
protected:
    void OnA2() { Log("derived A"); }
};

BEGIN_MESSAGE_MAP(DerivedDlg, BaseDlg)
ON_BN_CLICKED(ID_BTN_A, OnA2)
END_MESSAGE_MAP()

class DialogLayerTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        RegisterProbeTemplate();
        g_log = &log;
        Win32ClearMessageBoxJournal();
    }
    void TearDown() override { g_log = nullptr; }
    std::vector<std::string> log;
};

TEST_F(DialogLayerTest, MessageMapsAreWalkedFromTheMostDerivedClass)
{
    DerivedDlg dlg;
    ASSERT_TRUE(dlg.Create(IDD_PROBE, nullptr));
    EXPECT_TRUE(AfxDriver::Click(&dlg, ID_BTN_A));
    EXPECT_FALSE(AfxDriver::Click(&dlg, ID_BTN_B)) << "a disabled button cannot be clicked";
    dlg.GetDlgItem(ID_BTN_B)->EnableWindow(TRUE);
    EXPECT_TRUE(AfxDriver::Click(&dlg, ID_BTN_B)) << "found in the base class's map";
    EXPECT_EQ(log, (std::vector<std::string>{"derived A", "base B"}));
    dlg.DestroyWindow();
}

TEST_F(DialogLayerTest, ControlsTakeTheMembersAndGiveThemBack)
{
    BaseDlg dlg;
    ASSERT_TRUE(dlg.Create(IDD_PROBE, nullptr));
    EXPECT_EQ(AfxDriver::GetText(&dlg, ID_EDIT_N), "5");
    EXPECT_EQ(AfxDriver::GetText(&dlg, ID_EDIT_X), "1.5");
    AfxDriver::SetText(&dlg, ID_EDIT_N, " 12 ");
    AfxDriver::SetText(&dlg, ID_EDIT_X, "-2.5e3");
    AfxDriver::Click(&dlg, ID_CHECK);
    AfxDriver::Click(&dlg, ID_RADIO_2);
    ASSERT_TRUE(dlg.UpdateData(TRUE));
    EXPECT_EQ(dlg.m_nCount, 12);
    EXPECT_DOUBLE_EQ(dlg.m_dValue, -2500.0);
    EXPECT_EQ(dlg.m_nCheck, 1);
    EXPECT_EQ(dlg.m_nRadio, 2) << "clicking a radio button clears the others of its group";
    EXPECT_EQ(Win32MessageBoxCount(), 0);
    dlg.DestroyWindow();
}

struct BadNumber {
    const char* pszName;
    const char* pszCount;
    const char* pszValue;
    const char* pszMessage;
    UINT nFocus;
};

void PrintTo(const BadNumber& c, std::ostream* os)
{
    *os << "count \"" << c.pszCount << "\", value \"" << c.pszValue << '"';
}

class DataExchangeFailure : public DialogLayerTest, public ::testing::WithParamInterface<BadNumber> {};

TEST_P(DataExchangeFailure, ShowsTheMessageFocusesTheFieldAndFails)
{
    const BadNumber& c = GetParam();
    BaseDlg dlg;
    ASSERT_TRUE(dlg.Create(IDD_PROBE, nullptr));
    AfxDriver::SetText(&dlg, ID_EDIT_N, c.pszCount);
    AfxDriver::SetText(&dlg, ID_EDIT_X, c.pszValue);
    EXPECT_FALSE(dlg.UpdateData(TRUE));
    ASSERT_EQ(Win32MessageBoxCount(), 1);
    EXPECT_STREQ(Win32MessageBoxAt(0)->pszText, c.pszMessage);
    EXPECT_EQ(CWnd::GetFocus(), dlg.GetDlgItem(c.nFocus));
    dlg.DestroyWindow();
}

INSTANTIATE_TEST_SUITE_P(
    Layer, DataExchangeFailure,
    ::testing::Values(BadNumber{"CountWithTrailingLetters", "12abc", "1", "Please enter an integer.", ID_EDIT_N},
                      BadNumber{"EmptyCount", "", "1", "Please enter an integer.", ID_EDIT_N},
                      BadNumber{"CountBeyondInt", "99999999999", "1", "Please enter an integer.", ID_EDIT_N},
                      BadNumber{"ValueWithTwoPoints", "3", "1.0.0", "Please enter a number.", ID_EDIT_X},
                      BadNumber{"ValueInWords", "3", "one", "Please enter a number.", ID_EDIT_X}),
    [](const ::testing::TestParamInfo<BadNumber>& i) { return std::string(i.param.pszName); });

TEST_F(DialogLayerTest, TimersFireOnTheVirtualClockAndDieWithTheWindow)
{
    BaseDlg dlg;
    ASSERT_TRUE(dlg.Create(IDD_PROBE, nullptr));
    dlg.SetTimer(1, 100, nullptr);
    dlg.SetTimer(2, 250, nullptr);
    Win32AdvanceClock(99);
    EXPECT_EQ(dlg.m_nTimer, 0);
    Win32AdvanceClock(451); // t = 550: timer 1 at 100..500, timer 2 at 250, 500
    EXPECT_EQ(dlg.m_nTimer, 7);
    EXPECT_EQ(log[0], "timer 1");
    EXPECT_EQ(log[1], "timer 1");
    EXPECT_EQ(log[2], "timer 2") << "in time order";
    const HWND h = dlg.m_hWnd;
    EXPECT_EQ(Win32TimerCount(h), 2);
    dlg.DestroyWindow();
    EXPECT_EQ(Win32TimerCount(h), 0);
    Win32AdvanceClock(1000);
    EXPECT_EQ(dlg.m_nTimer, 7);
}

TEST_F(DialogLayerTest, DestroyTakesOwnedWindowsFirstAndRetiresTheHandleBeforePostNcDestroy)
{
    DerivedDlg owner;
    ASSERT_TRUE(owner.Create(IDD_PROBE, nullptr));
    owner.m_strName = "owner";
    BaseDlg owned;
    owned.m_strName = "owned";
    ASSERT_TRUE(owned.Create(IDD_PROBE, &owner));
    CWnd* pEdit = owner.GetDlgItem(ID_EDIT_N);
    ASSERT_NE(pEdit, nullptr);
    const HWND hEdit = pEdit->m_hWnd;
    const int live = Win32LiveWindowCount();
    ASSERT_TRUE(owner.DestroyWindow());
    EXPECT_EQ(log, (std::vector<std::string>{"destroy owned", "post: handle dead", "destroy owner",
                                              "post: handle dead"}));
    EXPECT_FALSE(IsWindow(owned.m_hWnd));
    EXPECT_FALSE(IsWindow(hEdit));
    EXPECT_EQ(Win32LiveWindowCount(), live - 2 - 16) << "both dialogs and their eight controls each";
    EXPECT_FALSE(owner.DestroyWindow());
}

TEST_F(DialogLayerTest, ReturnAndEscapeAreTheDialogManagersOkAndCancel)
{
    BaseDlg dlg;
    ASSERT_TRUE(dlg.Create(IDD_PROBE, nullptr));
    dlg.ShowWindow(SW_SHOW);
    AfxDriver::SetText(&dlg, ID_EDIT_N, "x");
    AfxDriver::Focus(&dlg, ID_EDIT_N);
    AfxDriver::PressKey(&dlg, VK_RETURN);
    EXPECT_TRUE(dlg.IsWindowVisible()) << "OK with a bad number keeps the dialog";
    EXPECT_EQ(Win32MessageBoxCount(), 1);
    AfxDriver::PressKey(&dlg, VK_ESCAPE);
    EXPECT_FALSE(dlg.IsWindowVisible());
    EXPECT_EQ(dlg.GetEndResult(), IDCANCEL);
    dlg.DestroyWindow();
}

TEST_F(DialogLayerTest, MessageBoxesAnswerAsScriptedAndTheMainWindowRecordsCommands)
{
    Win32ScriptMessageBoxAnswer(IDNO);
    EXPECT_EQ(AfxMessageBox("first?", MB_YESNO), IDNO);
    EXPECT_EQ(AfxMessageBox("second?", MB_YESNO), IDOK) << "unscripted boxes answer OK";
    EXPECT_STREQ(Win32MessageBoxAt(1)->pszText, "second?");
    const size_t n = AfxStandInMainWndCommands().size();
    AfxGetMainWnd()->SendMessage(WM_COMMAND, 0x8322, 0);
    ASSERT_EQ(AfxStandInMainWndCommands().size(), n + 1);
    EXPECT_EQ(AfxStandInMainWndCommands().back().wParam, 0x8322u);
}

TEST_F(DialogLayerTest, FailedCreateLeavesNoWindow)
{
    const int live = Win32LiveWindowCount();
    BaseDlg dlg;
    AfxStandInFailNextDialogCreate();
    EXPECT_FALSE(dlg.Create(IDD_PROBE, nullptr));
    EXPECT_EQ(Win32LiveWindowCount(), live);
    EXPECT_TRUE(dlg.Create(IDD_PROBE, nullptr)) << "only the next one fails";
    dlg.DestroyWindow();
}

} // namespace
