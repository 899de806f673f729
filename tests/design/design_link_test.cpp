// The link to the member-design program within one process: the test plays the design program
// with a registered window titled "tovan YRP" and the program's eight mappings under its own
// process id, so that the link's posts to it arrive at once and in order.
#include "YrpHostFixture.h"
#include "yrp_test_support.h"

#include "design/CYRPC_DataBase.h"
#include "design/DesignControlIds.h"
#include "design/IYRPInterfaceImpl.h"

#include "MsgDll.h"
#include "ProductInfo.h"
#include "MsgOut.h"
#include "MsgOut_standin.h"

#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>

using namespace kvpvs::test;

namespace {

const char* const kMaps[8] = {YRP_MAP_PROGRAM_NAME,   YRP_MAP_PROGRAM_VER,      YRP_MAP_MESSAGE_OUT,
                              YRP_MAP_SELECT_BY_STR,  YRP_MAP_PROGRESS_TITLE,   YRP_MAP_PROGRESS_MESSAGE,
                              YRP_MAP_PROGRESS_PERCENT, YRP_MAP_FILE_NAME};
enum { kName, kVer, kMsg, kSel, kPTitle, kPMsg, kPPct, kFile };

// The design program played inside the test's process.
class OwnProgram {
public:
    explicit OwnProgram(DWORD nSize = 256) : m_nSize(nSize)
    {
        for (int i = 0; i < 8; ++i) {
            char sz[128];
            std::snprintf(sz, sizeof sz, kMaps[i], static_cast<int>(GetCurrentProcessId()));
            m_hMap[i] = CreateFileMappingA(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0, nSize, sz);
            m_pView[i] = static_cast<char*>(MapViewOfFile(m_hMap[i], FILE_MAP_ALL_ACCESS, 0, 0, 0));
        }
        m_hLocal = Win32RegisterWindow(this, nullptr, nullptr, FALSE, &Proc);
        m_hMain = Win32RegisterTopLevelWindow(m_hLocal, "tovan YRP - own");
    }
    ~OwnProgram()
    {
        Win32UnregisterWindow(m_hLocal);
        for (int i = 0; i < 8; ++i) {
            UnmapViewOfFile(m_pView[i]);
            CloseHandle(m_hMap[i]);
        }
    }
    std::string Text(int i) const { return std::string(m_pView[i], strnlen(m_pView[i], m_nSize)); }
    HWND Main() const { return m_hMain; }
    struct Command {
        WPARAM w;
        LPARAM l;
        std::string strMessage;
    };
    std::vector<Command> commands;

private:
    static LRESULT Proc(void* p, UINT nMsg, WPARAM w, LPARAM l)
    {
        auto* self = static_cast<OwnProgram*>(p);
        if (nMsg == DesignCommandMessage())
            self->commands.push_back(Command{w, l, self->Text(kMsg)});
        return 0;
    }
    DWORD m_nSize;
    HANDLE m_hMap[8] = {};
    char* m_pView[8] = {};
    HWND m_hLocal = nullptr, m_hMain = nullptr;
};

const int kOwn = static_cast<int>(GetCurrentProcessId());

class LinkTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        Win32ClearMessageBoxJournal();
        MsgOutStandIn::Reset();
        CMsgDll::SetText(IDS_KV_PVS_YRP_LINK_SUCCESS, "Linked to %s.");
        CMsgDll::SetText(IDS_KV_PVS_YRP_DELINK_SUCCESS, "Unlinked from %s (100%%).");
        CMsgDll::SetText(IDS_KV_PVS_YRP_DO_NOT_SUPPORT_AT_PRESENT, "Not supported at present.");
        CMsgDll::SetText(IDS_KV_PVS_YRP_NON_KVR_DOC, "No model is open.");
        IYRPInterfaceImpl::Start(4242);
    }
    void TearDown() override { IYRPInterfaceImpl::DestroyInstance(); }
    std::vector<WPARAM> Codes() const
    {
        std::vector<WPARAM> a;
        for (const auto& c : program.commands)
            a.push_back(c.w);
        return a;
    }

    LinkNamespace ns{KVPVS_YRP_FOLDER};
    LibraryFolder folder;
    CurrentDocument doc;
    OwnProgram program;
};

} // namespace

TEST_F(LinkTest, ConnectRequestWithoutADocumentIsAnsweredWithCompletionValue101)
{
    CZORDocBase::SetCurDoc(nullptr);
    EXPECT_EQ(IYRPInterfaceImpl::DoCommand(1, kOwn), 0);
    ASSERT_EQ(program.commands.size(), 1u);
    EXPECT_EQ(program.commands[0].w, 9u);
    EXPECT_EQ(program.commands[0].l, 101);
    EXPECT_EQ(IYRPInterface::m_pInstance, nullptr);
    IYRPInterfaceImpl::DoCommand(2, kOwn);
    IYRPInterfaceImpl::DoCommand(150, kOwn);
    EXPECT_EQ(program.commands.size(), 1u);
}

TEST_F(LinkTest, ConnectRequestLinksAndReportsToTheOutputWindow)
{
    GMsgOut("earlier", 0, nullptr);
    IYRPInterfaceImpl::DoCommand(1, kOwn);
    const _YRP_LINK_D link = IYRPInterfaceImpl::GetLinkData();
    EXPECT_EQ(link.nState, 21);
    EXPECT_EQ(link.nProcessID, static_cast<DWORD>(kOwn));
    EXPECT_EQ(link.hWnd, program.Main());
    EXPECT_EQ(link.strTitle, "tovan YRP - own");
    EXPECT_EQ(MsgOutStandIn::Text(), "Linked to tovan YRP - own.\n");
    EXPECT_EQ(IYRPInterfaceImpl::CheckLinkData(), 1);

    IYRPInterfaceImpl::DoCommand(2, kOwn);
    EXPECT_EQ(IYRPInterfaceImpl::GetLinkData().nState, 0);
    EXPECT_EQ(MsgOutStandIn::Text(), "Unlinked from tovan YRP - own (100%).\n");
    EXPECT_TRUE(program.commands.empty());
}

struct CommandCase {
    int nCode;
    bool bNotSupported;
};

class CommandTable : public LinkTest, public ::testing::WithParamInterface<CommandCase> {};

TEST_P(CommandTable, CommandsOutsideTheTableDoNothingAndOneHundredToThreeNinetyNineAreNotSupported)
{
    IYRPInterfaceImpl::DoCommand(1, kOwn);
    ASSERT_EQ(IYRPInterfaceImpl::GetLinkData().nState, 21);
    IYRPInterfaceImpl::DoCommand(static_cast<UINT>(GetParam().nCode), 77);
    if (GetParam().bNotSupported) {
        ASSERT_EQ(program.commands.size(), 1u);
        EXPECT_EQ(program.commands[0].w, 6u);
        EXPECT_EQ(program.commands[0].l, 1);
        EXPECT_EQ(program.commands[0].strMessage, "Not supported at present.");
    } else
        EXPECT_TRUE(program.commands.empty());
    EXPECT_EQ(IYRPInterfaceImpl::GetLinkData().nState, 21);
}

INSTANTIATE_TEST_SUITE_P(Codes, CommandTable,
                         ::testing::Values(CommandCase{0, false}, CommandCase{4, false}, CommandCase{99, false},
                                           CommandCase{100, true}, CommandCase{150, true}, CommandCase{399, true},
                                           CommandCase{400, false}, CommandCase{1000, false}, CommandCase{-5, false}),
                         [](const ::testing::TestParamInfo<CommandCase>& i) {
                             return (i.param.nCode < 0 ? "Minus" + std::to_string(-i.param.nCode)
                                                       : "Code" + std::to_string(i.param.nCode));
                         });

TEST_F(LinkTest, DesignCodeCommandSetsTheCommonOptionsCodeAndAnUnknownCodeNothing)
{
    IYRPInterfaceImpl::DoCommand(11, 121);
    T_UCOP_D u;
    CYRPDataCtrl* pCtrl = IYRPInterfaceImpl::Instance()->GetDesignData()->GetDataCtrl();
    pCtrl->GetUcop(u);
    EXPECT_EQ(u.strDesignCode, "KCI-USD07");
    IYRPInterfaceImpl::DoCommand(11, 100);
    IYRPInterfaceImpl::DoCommand(11, 204);
    pCtrl->GetUcop(u);
    EXPECT_EQ(u.strDesignCode, "KCI-USD07");
    EXPECT_EQ(IYRPInterfaceImpl::ChangedByYrpCode_RCS(118), 1);
    pCtrl->GetUcop(u);
    EXPECT_EQ(u.strDesignCode, "KSCE-RAIL-USD04");
}

TEST_F(LinkTest, LinkCheckAnswersNameVersionAndStatusEvenWithoutADocument)
{
    IProductInfo::Instance()->SetVersion("v8.5 (build 3)");
    IYRPInterfaceImpl::DoCommand(3, kOwn);
    ASSERT_EQ(program.commands.size(), 1u);
    EXPECT_EQ(program.commands[0].w, 3u);
    EXPECT_EQ(program.commands[0].l, 4242);
    EXPECT_EQ(program.Text(kName), "TOVAN_KVRW");
    EXPECT_EQ(program.Text(kVer), "8");
    EXPECT_EQ(program.Text(kMsg), "LINK_SUCCESS");
    // The check neither needs nor makes the link object.
    EXPECT_EQ(IYRPInterface::m_pInstance, nullptr);

    CZORDocBase::SetCurDoc(nullptr);
    IYRPInterfaceImpl::DoCommand(3, kOwn);
    ASSERT_EQ(program.commands.size(), 2u);
    EXPECT_EQ(program.Text(kMsg), "No model is open.");
    // A process without a "tovan YRP" window gets nothing.
    IYRPInterfaceImpl::DoCommand(3, 1);
    EXPECT_EQ(program.commands.size(), 2u);
    IProductInfo::Instance()->SetVersion("8.5.0");
}

TEST_F(LinkTest, SendersPostOnlyWhileTheLinkHolds)
{
    CString text = "hello";
    EXPECT_EQ(IYRPInterfaceImpl::MessageOutToYRP(1, text), 0);
    EXPECT_EQ(IYRPInterfaceImpl::ImportData_To_YRP(101), 0);
    IYRPInterfaceImpl::DoCommand(1, kOwn);
    EXPECT_EQ(IYRPInterfaceImpl::MessageOutToYRP(1, text), 1);
    EXPECT_EQ(IYRPInterfaceImpl::ProgressCreateToYRP("Design", "Beams"), 1);
    EXPECT_EQ(program.Text(kPTitle), "Design");
    EXPECT_EQ(program.Text(kPPct), "0");
    EXPECT_EQ(IYRPInterfaceImpl::ProgressUpdateToYRP("Walls", 55), 1);
    EXPECT_EQ(program.Text(kPPct), "55");
    EXPECT_EQ(IYRPInterfaceImpl::ImportData_To_YRP(103), 1);
    EXPECT_EQ(IYRPInterfaceImpl::LoadData_To_YRP(103), 1);
    EXPECT_EQ(IYRPInterfaceImpl::ActivateFormView_To_YRP(103), 1);
    EXPECT_EQ(IYRPInterfaceImpl::ChangeMainFrameViewTypeToYRP(3), 1);
    EXPECT_EQ(IYRPInterfaceImpl::UndoRedoListClearAllToYRP(), 1);
    EXPECT_EQ(Codes(), (std::vector<WPARAM>{6, 7, 7, 103, 103, 103, 1002, 1001}));
    EXPECT_EQ(program.commands[3].l, 1);
    EXPECT_EQ(program.commands[4].l, 2);
    EXPECT_EQ(program.commands[5].l, 0);
    EXPECT_EQ(IYRPInterfaceImpl::UnConnected(TRUE), 1);
    EXPECT_EQ(program.commands.back().w, 2u);
    EXPECT_EQ(program.commands.back().l, 1);
    EXPECT_EQ(IYRPInterfaceImpl::UnConnected(TRUE), 1);
    EXPECT_EQ(IYRPInterfaceImpl::CreateDocument(1), 0);
    EXPECT_EQ(program.commands.size(), 9u);
}

TEST_F(LinkTest, ExchangeFileNameGoesToTheProgramAndNothingWithoutAPath)
{
    IYRPInterfaceImpl::DoCommand(1, kOwn);
    EXPECT_EQ(IYRPInterfaceImpl::Make_YrpMediateFile(1, FALSE), 0);
    EXPECT_EQ(program.Text(kFile), "");
    EXPECT_FALSE(std::filesystem::exists(doc.dir.file("Temp")));
    ASSERT_EQ(IYRPInterfaceImpl::Make_YrpMediateFile(0, TRUE), 1);
    EXPECT_EQ(program.Text(kFile), doc.Program() + "Temp\\YRP.yrb");
    EXPECT_TRUE(std::filesystem::exists(doc.dir.file("Temp/YRP.yrb")));
    EXPECT_TRUE(program.commands.empty());
    IYRPInterfaceImpl::UnConnected(0);
    EXPECT_EQ(IYRPInterfaceImpl::Make_YrpMediateFile(0, TRUE), 0);
}

TEST(LinkSmallMapping, TextThatDoesNotFitWithItsZeroIsNeitherCopiedNorPosted)
{
    LinkNamespace ns{KVPVS_YRP_FOLDER};
    LibraryFolder folder;
    CurrentDocument doc;
    OwnProgram program(10); // "TOVAN_KVRW" needs 11 bytes with its zero
    IYRPInterfaceImpl::DoCommand(1, kOwn);
    ASSERT_EQ(IYRPInterfaceImpl::GetLinkData().nState, 21);
    EXPECT_EQ(IYRPInterfaceImpl::ConnectToYRP(FALSE), 0);
    EXPECT_EQ(program.Text(kName), "");
    CString fits = "123456789", tooLong = "1234567890";
    EXPECT_EQ(IYRPInterfaceImpl::MessageOutToYRP(1, fits), 1);
    EXPECT_EQ(IYRPInterfaceImpl::MessageOutToYRP(1, tooLong), 0);
    EXPECT_EQ(program.Text(kMsg), "123456789");
    ASSERT_EQ(program.commands.size(), 1u);
    IYRPInterfaceImpl::DoCommand(3, kOwn);
    EXPECT_EQ(program.commands.size(), 1u);
    IYRPInterfaceImpl::DestroyInstance();
}

struct RegistryCase {
    const char* pszName;
    int nKind; // 0 no key, 1 missing folder, 2 value too long
    const char* pszMessage;
};

class RegistryTest : public ::testing::TestWithParam<RegistryCase> {};

TEST_P(RegistryTest, ConnectWithoutAUsableInstallFolderFailsWithItsMessage)
{
    Win32ClearMessageBoxJournal();
    CMsgDll::SetText(IDS_KV_PVS_YRP_NONINSTALL, "The design program is not installed.");
    CMsgDll::SetText(IDS_KV_PVS_YRP_NONACCESS, "The design program's folder cannot be reached.");
    LinkNamespace ns;
    LibraryFolder folder;
    CurrentDocument doc;
    if (GetParam().nKind == 1)
        LinkNamespace::SetInstalledPath(ns.Folder() + "/not here");
    if (GetParam().nKind == 2)
        LinkNamespace::SetInstalledPath(std::string(KVPVS_YRP_FOLDER) + std::string(300, 'x'));
    EXPECT_EQ(IYRPInterfaceImpl::YRPConnect(FALSE), 0);
    EXPECT_EQ(IYRPInterfaceImpl::GetLinkData().nState, 0);
    ASSERT_EQ(Win32MessageBoxCount(), 1);
    EXPECT_STREQ(Win32MessageBoxAt(0)->pszText, GetParam().pszMessage);
    EXPECT_TRUE(DesignPrograms().empty());
    IYRPInterfaceImpl::DestroyInstance();
}

INSTANTIATE_TEST_SUITE_P(Install, RegistryTest,
                         ::testing::Values(RegistryCase{"NoKey", 0, "The design program is not installed."},
                                           RegistryCase{"FolderMissing", 1, "The design program's folder cannot be reached."},
                                           RegistryCase{"PathTooLong", 2, "The design program is not installed."}),
                         [](const ::testing::TestParamInfo<RegistryCase>& i) { return std::string(i.param.pszName); });
