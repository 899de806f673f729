// The link with the design program running as its own process: each test has its own
// namespace of processes, starts "YRP.exe" from its install folder and reads what the program
// logged. Waits have deadlines; a program is asked to close before its log is read whole.
#include "YrpHostFixture.h"
#include "yrp_test_support.h"

#include "design/CYRP_LinkDlg.h"
#include "design/DesignControlIds.h"
#include "design/IYRPInterfaceImpl.h"

#include "MsgDll.h"
#include "MsgOut_standin.h"

#include <gtest/gtest.h>

#include <signal.h>

using namespace kvpvs::test;

namespace {

const std::string kExe = std::string(KVPVS_YRP_FOLDER) + "YRP.exe";
const DWORD kHost = GetCurrentProcessId();

class ProcessLinkTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        Win32ClearMessageBoxJournal();
        MsgOutStandIn::Reset();
        AfxDriver::ClearModalScript();
        CMsgDll::SetText(IDS_KV_PVS_YRP_LINK_SUCCESS, "Linked to %s.");
        CMsgDll::SetText(IDS_KV_PVS_YRP_DELINK_SUCCESS, "Unlinked from %s.");
        CMsgDll::SetText(IDS_KV_PVS_YRP_DO_NOT_SUPPORT_AT_PRESENT, "Not supported at present.");
        CMsgDll::SetText(IDS_KV_PVS_YRP_NON_KVR_DOC, "No model is open.");
        IYRPInterfaceImpl::Start(kHost);
    }
    void TearDown() override { IYRPInterfaceImpl::DestroyInstance(); }

    // The program's commands, once it has ended: every line it logged is there.
    std::vector<std::string> CommandsAfterClose(DWORD pid)
    {
        PostMessageA(MainWindowOf(pid), WM_CLOSE, 0, 0);
        ns.WaitForLog(pid, "end ", 1);
        std::vector<std::string> a;
        for (const std::string& s : ns.Log(pid))
            if (s.compare(0, 4, "cmd ") == 0)
                a.push_back(s.substr(0, s.find(" NAME=")));
        return a;
    }

    LinkNamespace ns{KVPVS_YRP_FOLDER};
    LibraryFolder folder;
    CurrentDocument doc;
    HostMainWindow host{[](UINT c, LONG l) { IYRPInterfaceImpl::DoCommand(c, l); }};
};

bool Has(const std::string& s, const std::string& part) { return s.find(part) != std::string::npos; }

} // namespace

TEST_F(ProcessLinkTest, ConnectStartsTheProgramAndLinksToIt)
{
    ASSERT_TRUE(DesignPrograms().empty());
    ASSERT_EQ(IYRPInterfaceImpl::YRPConnect(FALSE), 1);
    const std::vector<DWORD> pids = DesignPrograms();
    ASSERT_EQ(pids.size(), 1u);
    const _YRP_LINK_D link = IYRPInterfaceImpl::GetLinkData();
    EXPECT_EQ(link.nState, 21);
    EXPECT_EQ(link.nProcessID, pids[0]);
    EXPECT_EQ(link.strTitle, "tovan YRP - " + std::to_string(pids[0]));
    const std::vector<std::string> cmds = ns.WaitForLog(pids[0], "cmd ", 3);
    ASSERT_EQ(cmds.size(), 3u);
    EXPECT_EQ(cmds[0].substr(0, 8), "cmd 4 1 ");
    EXPECT_EQ(cmds[1].substr(0, 6 + std::to_string(kHost).size()), "cmd 1 " + std::to_string(kHost));
    EXPECT_TRUE(Has(cmds[1], "NAME=\"TOVAN_KVRW\"")) << cmds[1];
    EXPECT_EQ(cmds[2].substr(0, 11), "cmd 1001 0 ");
    EXPECT_EQ(MsgOutStandIn::Text(), "Linked to " + link.strTitle.str() + ".\n");
    // Linked already: no second program, the same one is asked again.
    ASSERT_EQ(IYRPInterfaceImpl::YRPConnect(FALSE), 1);
    EXPECT_EQ(DesignPrograms().size(), 1u);
    EXPECT_EQ(CommandsAfterClose(pids[0]).size(), 5u);
}

TEST_F(ProcessLinkTest, LinkCheckAnswersNameVersionAndStatus)
{
    const DWORD pid = ns.StartDesignProgram(kExe);
    ASSERT_NE(pid, 0u);
    ASSERT_TRUE(LinkNamespace::Tell(pid, 3, kHost));
    ASSERT_TRUE(PumpUntil([&] { return !host.received.empty(); }));
    EXPECT_EQ(host.received[0].nCode, 3u);
    EXPECT_EQ(host.received[0].lParam, static_cast<LONG>(pid));
    std::vector<std::string> answers = ns.WaitForLog(pid, "cmd 3 ", 1);
    ASSERT_EQ(answers.size(), 1u);
    EXPECT_TRUE(Has(answers[0], "cmd 3 " + std::to_string(kHost) + " NAME=\"TOVAN_KVRW\" VER=\"8\" MSG=\"LINK_SUCCESS\""))
        << answers[0];

    CZORDocBase::SetCurDoc(nullptr);
    ASSERT_TRUE(LinkNamespace::Tell(pid, 3, kHost));
    answers = ns.WaitForLog(pid, "cmd 3 ", 2);
    ASSERT_EQ(answers.size(), 2u);
    EXPECT_TRUE(Has(answers[1], "MSG=\"No model is open.\"")) << answers[1];
    // A connect request without a document: completion value 101.
    ASSERT_TRUE(LinkNamespace::Tell(pid, 1, kHost));
    const std::vector<std::string> done = ns.WaitForLog(pid, "cmd 9 ", 1);
    ASSERT_EQ(done.size(), 1u);
    EXPECT_EQ(done[0].substr(0, 10), "cmd 9 101 ");
    EXPECT_EQ(IYRPInterfaceImpl::GetLinkData().nState, 0);
}

TEST_F(ProcessLinkTest, HandOffImportsTheBeamRecords)
{
    BeamFile b;
    b.sects = {{1, "R300", 90000, 300, 600}};
    b.matls = {{1, "C30", 30000, 0.2, 0.000024}};
    b.attrs = {{1, 1, 1}};
    b.elems = {{10, 1}, {30, 1}};
    b.cases = {{101, "Stage 1", {{10, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12}, {30, 1, 1, 1, 1, 1, 1, 2, 2, 2, 2, 2, 2}}}};
    ASSERT_TRUE(b.Write(doc.Program() + "KvrDesign.txt"));
    ASSERT_EQ(YRPHandOffDesignData(101), 1);
    const std::vector<DWORD> pids = DesignPrograms();
    ASSERT_EQ(pids.size(), 1u);
    const std::vector<std::string> records = ns.WaitForLog(pids[0], "URBE ", 2);
    ASSERT_EQ(records.size(), 2u);
    EXPECT_EQ(records[0].substr(0, 25), "URBE 1 Elem_10 b=300 h=60");
    // The file's N and mm pass the document's m and kN on their way: equal to the last bits.
    EXPECT_TRUE(Has(records[0], "[Stage 1(I) 1,1 1 2 3 4 5 6] [Stage 1(J) 1,1 7 8 ")) << records[0];
    EXPECT_EQ(records[1].substr(0, 14), "URBE 2 Elem_30");
    const std::vector<std::string> import = ns.WaitForLog(pids[0], "import 101 ", 1);
    ASSERT_EQ(import.size(), 1u);
    EXPECT_TRUE(Has(import[0], "file=" + doc.Program() + "Temp\\YRP.yrb")) << import[0];
    EXPECT_TRUE(Has(import[0], "code=KSCE-USD05 beams=2 walls=0")) << import[0];
    EXPECT_EQ(IYRPInterfaceImpl::GetLinkData().nState, 0);
    const std::vector<std::string> cmds = CommandsAfterClose(pids[0]);
    EXPECT_EQ(cmds, (std::vector<std::string>{"cmd 4 1", "cmd 1 " + std::to_string(kHost), "cmd 1001 0", "cmd 101 1",
                                              "cmd 101 0", "cmd 6 2", "cmd 1002 3", "cmd 2 0"}));
    EXPECT_EQ(Win32MessageBoxCount(), 0);
}

TEST_F(ProcessLinkTest, ProgramKilledMidLinkLeavesNoLinkAndSendersPostNothing)
{
    ASSERT_EQ(IYRPInterfaceImpl::YRPConnect(FALSE), 1);
    const std::vector<DWORD> pids = DesignPrograms();
    ASSERT_EQ(pids.size(), 1u);
    const HWND hOld = IYRPInterfaceImpl::GetLinkData().hWnd;
    ::kill(static_cast<pid_t>(pids[0]), SIGKILL);
    ASSERT_TRUE(PumpUntil([] { return DesignPrograms().empty(); }));
    // The window's lock goes with the last task holding the killed program's files, which can
    // outlive its listing by a moment.
    EXPECT_TRUE(PumpUntil([&] { return !IsWindow(hOld); }));
    EXPECT_FALSE(PostMessageA(hOld, DesignCommandMessage(), 4, 1));
    CString t = "lost";
    EXPECT_EQ(IYRPInterfaceImpl::MessageOutToYRP(1, t), 0);
    EXPECT_EQ(IYRPInterfaceImpl::ImportData_To_YRP(101), 0);
    EXPECT_EQ(IYRPInterfaceImpl::ChangeMainFrameViewTypeToYRP(3), 0);
    EXPECT_EQ(IYRPInterfaceImpl::CheckLinkData(), 0);
    EXPECT_EQ(IYRPInterfaceImpl::GetLinkData().nState, 0);
}

TEST_F(ProcessLinkTest, TwoProgramsLetTheLinkDialogDecide)
{
    const DWORD first = ns.StartDesignProgram(kExe, "first");
    const DWORD second = ns.StartDesignProgram(kExe, "second");
    ASSERT_NE(first, 0u);
    ASSERT_NE(second, 0u);
    std::vector<DWORD> rows = DesignPrograms();
    ASSERT_EQ(rows.size(), 2u);
    // Cancel: state 0, nothing linked.
    AfxDriver::ScriptModal([](CDialog* d) { AfxDriver::Click(d, IDC_YRP_LINK_CANCEL); });
    EXPECT_EQ(IYRPInterfaceImpl::YRPConnect(FALSE), 0);
    EXPECT_EQ(IYRPInterfaceImpl::GetLinkData().nState, 0);
    // Link on the second row.
    int nRows = -1, nSel = 5;
    AfxDriver::ScriptModal([&](CDialog* d) {
        auto* l = dynamic_cast<CListBox*>(d->GetDlgItem(IDC_YRP_LINK_LIST));
        nRows = l ? l->GetCount() : -1;
        nSel = l ? l->GetCurSel() : 5;
        AfxDriver::Select(d, IDC_YRP_LINK_LIST, 1);
        AfxDriver::Click(d, IDC_YRP_LINK_LINK);
    });
    ASSERT_EQ(IYRPInterfaceImpl::YRPConnect(FALSE), 1);
    EXPECT_EQ(nRows, 2);
    EXPECT_EQ(nSel, -1);
    EXPECT_EQ(IYRPInterfaceImpl::GetLinkData().nProcessID, rows[1]);
    EXPECT_EQ(IYRPInterfaceImpl::GetLinkData().nState, 21);
    const DWORD other = rows[0];
    EXPECT_EQ(CommandsAfterClose(rows[1]), (std::vector<std::string>{"cmd 4 1", "cmd 1 " + std::to_string(kHost)}));
    EXPECT_TRUE(CommandsAfterClose(other).empty());
    // Their last log line comes before their exit (and a sanitizer's exit checks).
    EXPECT_TRUE(PumpUntil([] { return DesignPrograms().empty(); }));
}

TEST_F(ProcessLinkTest, LinkDialogPreselectsTheLinkedWindowAndScrollsForLongTitles)
{
    const std::string strLong(50, 'w');
    ASSERT_NE(ns.StartDesignProgram(kExe, "a"), 0u);
    ASSERT_NE(ns.StartDesignProgram(kExe, strLong), 0u);
    const std::vector<DWORD> rows = DesignPrograms();
    ASSERT_EQ(rows.size(), 2u);
    CYRP_LinkDlg dlg;
    dlg.m_link.nState = 21;
    dlg.m_link.hWnd = MainWindowOf(rows[1]);
    int nSel = -2, nExtent = -1;
    std::vector<std::string> titles;
    AfxDriver::ScriptModal([&](CDialog* d) {
        auto* l = dynamic_cast<CListBox*>(d->GetDlgItem(IDC_YRP_LINK_LIST));
        ASSERT_NE(l, nullptr);
        nSel = l->GetCurSel();
        nExtent = l->GetHorizontalExtent();
        for (int i = 0; i < l->GetCount(); ++i) {
            CString s;
            l->GetText(i, s);
            titles.push_back(s.str());
        }
        AfxDriver::DoubleClick(d, IDC_YRP_LINK_LIST, 0);
    });
    EXPECT_EQ(dlg.DoModal(), IDOK);
    EXPECT_EQ(nSel, 1);
    ASSERT_EQ(titles.size(), 2u);
    // The widest title, at 7 pixels a character, is wider than the 250-pixel list.
    const size_t nWidest = std::max(titles[0].size(), titles[1].size());
    ASSERT_GT(static_cast<int>(nWidest) * 7, 250);
    EXPECT_EQ(nExtent, static_cast<int>(nWidest) * 7);
    EXPECT_EQ(dlg.m_link.nProcessID, rows[0]);
    EXPECT_EQ(dlg.m_link.strTitle.str(), titles[0]);
    EXPECT_EQ(AfxStandInOpenDCCount(), 0);

    // Short titles: the list's width less 5; nothing linked, nothing preselected; Cancel clears.
    ns.CloseDesignPrograms();
    ASSERT_NE(ns.StartDesignProgram(kExe, "b"), 0u);
    CYRP_LinkDlg small;
    small.m_link.nState = 21;
    small.m_link.hWnd = nullptr;
    AfxDriver::ScriptModal([&](CDialog* d) {
        auto* l = dynamic_cast<CListBox*>(d->GetDlgItem(IDC_YRP_LINK_LIST));
        nSel = l->GetCurSel();
        nExtent = l->GetHorizontalExtent();
        AfxDriver::Click(d, IDC_YRP_LINK_CANCEL);
    });
    EXPECT_EQ(small.DoModal(), IDOK);
    EXPECT_EQ(nSel, -1);
    EXPECT_EQ(nExtent, 245);
    EXPECT_EQ(small.m_link.nState, 0);
}

TEST_F(ProcessLinkTest, ConnectRequestFromASecondProgramUnlinksTheFirst)
{
    ASSERT_EQ(IYRPInterfaceImpl::YRPConnect(FALSE), 1);
    const DWORD first = IYRPInterfaceImpl::GetLinkData().nProcessID;
    const DWORD second = ns.StartDesignProgram(kExe, "second");
    ASSERT_NE(second, 0u);
    ASSERT_TRUE(LinkNamespace::Tell(second, 1, kHost));
    ASSERT_TRUE(PumpUntil([&] { return IYRPInterfaceImpl::GetLinkData().nProcessID == second; }));
    EXPECT_EQ(IYRPInterfaceImpl::GetLinkData().nState, 21);
    const std::vector<std::string> cmds = CommandsAfterClose(first);
    ASSERT_FALSE(cmds.empty());
    EXPECT_EQ(cmds.back(), "cmd 2 0");
    EXPECT_TRUE(Has(MsgOutStandIn::Text(), "Linked to tovan YRP - " + std::to_string(second) + " second.")) << MsgOutStandIn::Text();
}

TEST_F(ProcessLinkTest, CommandsOutOfRangeAreAnsweredOrIgnored)
{
    ASSERT_EQ(IYRPInterfaceImpl::YRPConnect(FALSE), 1);
    const DWORD pid = IYRPInterfaceImpl::GetLinkData().nProcessID;
    for (UINT c : {150u, 400u, 1000u, 399u})
        ASSERT_TRUE(LinkNamespace::Tell(pid, c, kHost));
    const std::vector<std::string> answers = ns.WaitForLog(pid, "cmd 6 ", 2);
    ASSERT_EQ(answers.size(), 2u);
    for (const std::string& s : answers)
        EXPECT_TRUE(Has(s, "cmd 6 1 ") && Has(s, "MSG=\"Not supported at present.\"")) << s;
    EXPECT_EQ(CommandsAfterClose(pid).size(), 5u); // 4, 1, 1001 and the two answers
}

TEST_F(ProcessLinkTest, MappingTooSmallForTheProgramNameEndsTheConnect)
{
    ::setenv("KVPVS_YRP_MAPPING_SIZE", "8", 1);
    const int r = IYRPInterfaceImpl::YRPConnect(FALSE);
    ::unsetenv("KVPVS_YRP_MAPPING_SIZE");
    EXPECT_EQ(r, 0);
    EXPECT_EQ(IYRPInterfaceImpl::GetLinkData().nState, 0);
    const std::vector<DWORD> pids = DesignPrograms();
    ASSERT_EQ(pids.size(), 1u);
    EXPECT_EQ(CommandsAfterClose(pids[0]), (std::vector<std::string>{"cmd 4 1", "cmd 1001 0"}));
}
