// Demo step: the link to the member-design program. The host registers its main window, passes
// the registered message "DMSG_DESIGNCOMMAND_YRP" to the module's link (DoCommand) and calls
// Start with its process id; the registry names the built design program's folder as its
// install folder. The beam design file of the member-design step ("KvrDesign_1.txt", the
// checker's copy of the beam design) becomes "KvrDesign.txt" of a program folder of its own, and
// the module's hand-off routine for RC beams (design kind 101) converts it, starts "YRP.exe",
// writes the exchange file and has the program import it. The program's log of commands and
// imported records is copied to "YRP_log.txt" in the output folder.
#include "demo_steps.h"

#include "TempDir.h"

#include "DBDoc.h"
#include "MsgDll.h"
#include "YRPInterface.h"
#include "afxwin.h"
#include "tlhelp32.h"
#include "windows.h"

#include <dlfcn.h>
#include <signal.h>
#include <stdlib.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <optional>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

namespace {

namespace fs = std::filesystem;

using PFN_START = void (*)(DWORD);
using PFN_DOCOMMAND = int (*)(UINT, LONG);
using PFN_HANDOFF = int (*)(int);

PFN_DOCOMMAND g_pfnDoCommand = nullptr;

// The host's main window: every "DMSG_DESIGNCOMMAND_YRP" goes to the link.
class HostMainWnd : public CWnd {
public:
    HostMainWnd() : m_nMessage(RegisterWindowMessageA("DMSG_DESIGNCOMMAND_YRP")) {}

protected:
    LRESULT WindowProc(UINT nMsg, WPARAM wParam, LPARAM lParam) override
    {
        if (nMsg == m_nMessage && g_pfnDoCommand) {
            g_pfnDoCommand(static_cast<UINT>(wParam), static_cast<LONG>(lParam));
            return 0;
        }
        return CWnd::WindowProc(nMsg, wParam, lParam);
    }

private:
    UINT m_nMessage;
};

std::vector<DWORD> DesignPrograms()
{
    std::vector<DWORD> a;
    HANDLE h = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
    if (h == INVALID_HANDLE_VALUE)
        return a;
    PROCESSENTRY32 pe{};
    pe.dwSize = sizeof pe;
    for (BOOL b = Process32First(h, &pe); b; b = Process32Next(h, &pe))
        if (std::string(pe.szExeFile) == "YRP.exe")
            a.push_back(pe.th32ProcessID);
    CloseHandle(h);
    return a;
}

std::vector<std::string> Lines(const fs::path& p)
{
    std::vector<std::string> a;
    std::ifstream in(p);
    for (std::string s; std::getline(in, s);)
        a.push_back(s);
    return a;
}

// Pumps the host's queue until the program's log holds a line starting with the prefix.
bool PumpUntilLogged(const fs::path& log, const std::string& prefix, int nSeconds)
{
    const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(nSeconds);
    for (;;) {
        MSG m;
        while (PeekMessage(&m, nullptr, 0, 0, PM_REMOVE))
            DispatchMessage(&m);
        for (const std::string& s : Lines(log))
            if (s.compare(0, prefix.size(), prefix) == 0)
                return true;
        if (std::chrono::steady_clock::now() > end)
            return false;
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 50, QS_ALLINPUT);
    }
}

} // namespace

int RunDesignLinkDemo(CDBDoc& doc, const char* outDir, const char* hostPath)
{
    if (!outDir || !hostPath)
        return 0;
    auto pfnStart = reinterpret_cast<PFN_START>(dlsym(RTLD_DEFAULT, "_ZN17IYRPInterfaceImpl5StartEj"));
    g_pfnDoCommand = reinterpret_cast<PFN_DOCOMMAND>(dlsym(RTLD_DEFAULT, "_ZN17IYRPInterfaceImpl9DoCommandEji"));
    auto pfnHandOff = reinterpret_cast<PFN_HANDOFF>(dlsym(RTLD_DEFAULT, "_Z20YRPHandOffDesignDatai"));
    if (!pfnStart || !g_pfnDoCommand || !pfnHandOff) {
        std::fprintf(stderr, "kvpvs-host: the module exports no design-program link\n");
        return 0;
    }
    const fs::path out = fs::absolute(outDir);
    const fs::path beamFile = out / "KvrDesign_1.txt";
    const fs::path program = out / "yrp_link";
    // The design program and its data library are built beside the host: build/<flavour>/yrp.
    const fs::path install = fs::path(hostPath).parent_path().parent_path() / "yrp";
    std::error_code ec;
    fs::create_directories(program, ec);
    fs::copy_file(beamFile, program / "KvrDesign.txt", fs::copy_options::overwrite_existing, ec);
    if (ec) {
        std::fprintf(stderr, "kvpvs-host: no beam design file %s\n", beamFile.string().c_str());
        return 0;
    }

    // The processes of this run meet in a namespace of their own, removed when the run ends.
    std::optional<kvpvs::testing::TempDir> ns;
    try {
        ns.emplace("kvpvs_demo_link");
    } catch (const std::exception&) {
        return 0;
    }
    setenv(KVPVS_WIN32_NAMESPACE_VAR, ns->path().c_str(), 1);
    HKEY hKey = nullptr;
    RegCreateKeyExA(HKEY_CURRENT_USER, "SOFTWARE\\TOVAN\\tovan YRP", 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &hKey, nullptr);
    const std::string strInstall = install.string();
    RegSetValueExA(hKey, "InstalledPath", 0, REG_SZ, reinterpret_cast<const BYTE*>(strInstall.c_str()),
                   static_cast<DWORD>(strInstall.size() + 1));
    RegCloseKey(hKey);
    Win32SetModuleFolder(strInstall.c_str());
    CMsgDll::SetText("IDS_KV_PVS_YRP_LINK_SUCCESS", "Linked to %s.");
    CMsgDll::SetText("IDS_KV_PVS_YRP_DELINK_SUCCESS", "Unlinked from %s.");
    CMsgDll::SetText("IDS_KV_PVS_YRP_COMP_YRPDATA", "The design data are complete.");

    HostMainWnd wnd;
    wnd.CreateWindowCore(nullptr);
    Win32RegisterTopLevelWindow(wnd.m_hWnd, "KV host");
    pfnStart(GetCurrentProcessId());
    const CString strProgramBefore = doc.GetProgramPath();
    doc.SetProgramPath((program.string() + "/").c_str());

    const int nBoxes = Win32MessageBoxCount();
    const int bHandedOff = pfnHandOff(101);
    for (int i = nBoxes; i < Win32MessageBoxCount(); ++i)
        std::printf("  message box: %s\n", Win32MessageBoxAt(i)->pszText);
    const std::vector<DWORD> pids = DesignPrograms();
    std::printf("hand-off of %s: %s, %zu design program(s) running\n", (program / "KvrDesign.txt").string().c_str(),
                bHandedOff ? "done" : "failed", pids.size());
    int ok = bHandedOff && pids.size() == 1;
    fs::path log;
    if (ok) {
        log = fs::path(ns->path()) / ("YRP_" + std::to_string(pids[0]) + ".log");
        ok = PumpUntilLogged(log, "cmd 2 ", 10);
    }
    // The host shuts the link down; the program is closed.
    if (IYRPInterface::m_pInstance)
        IYRPInterface::m_pInstance->End();
    for (HWND h = GetWindow(GetDesktopWindow(), GW_CHILD); h; h = GetWindow(h, GW_HWNDNEXT)) {
        char sz[256] = {};
        GetWindowTextA(h, sz, 256);
        if (std::string(sz).find("tovan YRP") != std::string::npos)
            PostMessageA(h, WM_CLOSE, 0, 0);
    }
    if (ok)
        ok = PumpUntilLogged(log, "end ", 10);
    for (DWORD pid : DesignPrograms())
        kill(static_cast<pid_t>(pid), SIGKILL);
    doc.SetProgramPath(strProgramBefore);
    wnd.DestroyWindow();
    if (ok) {
        fs::copy_file(log, out / "YRP_log.txt", fs::copy_options::overwrite_existing, ec);
        ok = !ec;
        int nRecords = 0;
        for (const std::string& s : Lines(out / "YRP_log.txt"))
            nRecords += s.compare(0, 5, "URBE ") == 0 ? 1 : 0;
        std::printf("design program: %d RC-beam records imported, log %s\n", nRecords, (out / "YRP_log.txt").string().c_str());
        ok = ok && nRecords > 0;
    }
    Win32SweepNamespace();
    Win32SetModuleFolder(nullptr);
    unsetenv(KVPVS_WIN32_NAMESPACE_VAR);
    return ok;
}
