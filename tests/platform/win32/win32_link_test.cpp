// The system layer of the link between processes: registered message numbers, the registry
// file, named mappings that die with their last handle, the process snapshot and WinExec.
#include "YrpHostFixture.h"

#include "windows.h"

#include <gtest/gtest.h>

#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstring>
#include <filesystem>
#include <map>
#include <string>

using namespace kvpvs::test;

TEST(RegisteredMessages, NumberComesFromTheNameWithoutCaseAndCollisionsAreRefused)
{
    const UINT a = RegisterWindowMessageA("DMSG_DESIGNCOMMAND_YRP");
    EXPECT_GE(a, 0xC000u);
    EXPECT_LE(a, 0xFFFFu);
    EXPECT_EQ(RegisterWindowMessageA("dmsg_designcommand_yrp"), a);
    EXPECT_EQ(RegisterWindowMessageA(""), 0u);
    // Two names on one number: the second is refused, the first keeps it.
    std::map<UINT, std::string> seen;
    std::string first, second;
    for (int i = 0; i < 100000 && second.empty(); ++i) {
        const std::string name = "collision probe " + std::to_string(i);
        const UINT n = RegisterWindowMessageA(name.c_str());
        if (n == 0) {
            second = name;
            break;
        }
        seen[n] = name;
    }
    ASSERT_FALSE(second.empty());
    EXPECT_EQ(RegisterWindowMessageA(second.c_str()), 0u);
}

TEST(RegistryFile, NamesWithoutCaseStringsWithTheirZeroLongValuesUntouched)
{
    LinkNamespace ns;
    HKEY h = nullptr;
    DWORD disp = 0;
    ASSERT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, "Software\\Tovan\\Tovan YRP", 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &h,
                              &disp),
              ERROR_SUCCESS);
    EXPECT_EQ(disp, static_cast<DWORD>(REG_CREATED_NEW_KEY));
    const char value[] = "C:\\Program Files\\YRP";
    ASSERT_EQ(RegSetValueExA(h, "InstalledPath", 0, REG_SZ, reinterpret_cast<const BYTE*>(value), sizeof value - 1), ERROR_SUCCESS);
    RegCloseKey(h);
    ASSERT_EQ(RegOpenKeyExA(HKEY_CURRENT_USER, "SOFTWARE\\TOVAN\\tovan YRP", 0, KEY_READ, &h), ERROR_SUCCESS);
    char buf[64];
    std::memset(buf, 'x', sizeof buf);
    DWORD type = 0, size = sizeof buf;
    ASSERT_EQ(RegQueryValueExA(h, "installedpath", nullptr, &type, reinterpret_cast<BYTE*>(buf), &size), ERROR_SUCCESS);
    EXPECT_EQ(type, static_cast<DWORD>(REG_SZ));
    EXPECT_EQ(size, sizeof value);
    EXPECT_STREQ(buf, value);
    char small[8];
    std::memset(small, 'x', sizeof small);
    size = sizeof small;
    EXPECT_EQ(RegQueryValueExA(h, "InstalledPath", nullptr, &type, reinterpret_cast<BYTE*>(small), &size), ERROR_MORE_DATA);
    EXPECT_EQ(size, sizeof value);
    EXPECT_EQ(std::string(small, sizeof small), std::string(8, 'x'));
    EXPECT_EQ(RegQueryValueExA(h, "Missing", nullptr, &type, reinterpret_cast<BYTE*>(buf), &size), ERROR_FILE_NOT_FOUND);
    RegCloseKey(h);
    EXPECT_EQ(RegOpenKeyExA(HKEY_CURRENT_USER, "SOFTWARE\\Other", 0, KEY_READ, &h), ERROR_FILE_NOT_FOUND);
}

TEST(NamedMappings, LiveWhileAnyProcessHoldsThemAlsoWhenTheCreatorIsKilled)
{
    LinkNamespace ns;
    int ready[2];
    ASSERT_EQ(pipe(ready), 0);
    const pid_t child = fork();
    if (child == 0) {
        HANDLE hMap = CreateFileMappingA(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0, 64, "probe");
        char* p = static_cast<char*>(MapViewOfFile(hMap, FILE_MAP_ALL_ACCESS, 0, 0, 0));
        std::strcpy(p, "from the creator");
        const char c = hMap && p ? 1 : 0;
        (void)!write(ready[1], &c, 1);
        pause();
        _exit(0);
    }
    char c = 0;
    ASSERT_EQ(read(ready[0], &c, 1), 1);
    ASSERT_EQ(c, 1);
    HANDLE h = OpenFileMappingA(FILE_MAP_READ, FALSE, "probe");
    ASSERT_NE(h, nullptr);
    const char* p = static_cast<const char*>(MapViewOfFile(h, FILE_MAP_READ, 0, 0, 0));
    ASSERT_NE(p, nullptr);
    MEMORY_BASIC_INFORMATION info{};
    ASSERT_EQ(VirtualQuery(p + 10, &info, sizeof info), sizeof info);
    EXPECT_EQ(info.BaseAddress, static_cast<const void*>(p));
    EXPECT_EQ(info.RegionSize, 54u);
    kill(child, SIGKILL);
    waitpid(child, nullptr, 0);
    // Held here: still there for another opener.
    HANDLE h2 = OpenFileMappingA(FILE_MAP_READ, FALSE, "probe");
    ASSERT_NE(h2, nullptr);
    CloseHandle(h2);
    EXPECT_STREQ(p, "from the creator");
    UnmapViewOfFile(p);
    CloseHandle(h);
    // The last handle went: the mapping is gone.
    EXPECT_EQ(OpenFileMappingA(FILE_MAP_READ, FALSE, "probe"), nullptr);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_FILE_NOT_FOUND));

    // A creator killed while it alone held the mapping leaves nothing to open.
    const pid_t lone = fork();
    if (lone == 0) {
        HANDLE hMap = CreateFileMappingA(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0, 64, "lone");
        const char ok = hMap ? 1 : 0;
        (void)!write(ready[1], &ok, 1);
        pause();
        _exit(0);
    }
    ASSERT_EQ(read(ready[0], &c, 1), 1);
    kill(lone, SIGKILL);
    waitpid(lone, nullptr, 0);
    EXPECT_EQ(OpenFileMappingA(FILE_MAP_READ, FALSE, "lone"), nullptr);
    close(ready[0]);
    close(ready[1]);
}

TEST(StartingPrograms, BlanksInAnUnquotedPathAreResolvedAndTheSnapshotNamesTheProgram)
{
    LinkNamespace ns;
    const std::string folder = ns.Folder() + "/Program Files/tovan YRP";
    std::filesystem::create_directories(folder);
    std::filesystem::copy_file(std::string(KVPVS_YRP_FOLDER) + "YRP.exe", folder + "/YRP.exe");
    // The program's data library is looked for beside it; not needed to start.
    std::string line = folder + "\\YRP.exe";
    for (char& ch : line)
        if (ch == '/')
            ch = '\\';
    EXPECT_EQ(WinExec((ns.Folder() + "/none here.exe").c_str(), SW_SHOW), static_cast<UINT>(ERROR_FILE_NOT_FOUND));
    ASSERT_GT(WinExec((line + " spaced title").c_str(), SW_SHOW), 31u);
    const std::vector<DWORD> pids = DesignPrograms();
    ASSERT_EQ(pids.size(), 1u);
    // WinExec came back at its first message request: its window is up.
    char title[128] = {};
    GetWindowTextA(MainWindowOf(pids[0]), title, sizeof title);
    EXPECT_EQ(std::string(title), "tovan YRP - " + std::to_string(pids[0]) + " spaced");
    ns.CloseDesignPrograms();
    EXPECT_TRUE(DesignPrograms().empty());
}
