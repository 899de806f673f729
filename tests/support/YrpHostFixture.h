// The host's side of the link to the member-design program, for tests: a namespace of the
// link's processes of the test's own (a scratch folder named in KVPVS_WIN32_NAMESPACE, with the
// registry's install path of the design program), a registered top-level main window of the
// host that hands every "DMSG_DESIGNCOMMAND_YRP" to a handler, pumping with a deadline, and the
// design programs started in the namespace with their logs. Programs still running when the
// namespace goes are closed, and killed after a grace period.
#pragma once
#include "TempDir.h"

#include "afxwin.h"
#include "tlhelp32.h"
#include "windows.h"

#include <signal.h>
#include <stdlib.h>

#include <algorithm>
#include <chrono>
#include <fstream>
#include <functional>
#include <string>
#include <thread>
#include <vector>

namespace kvpvs::test {

inline UINT DesignCommandMessage() { return RegisterWindowMessageA("DMSG_DESIGNCOMMAND_YRP"); }

// Pumps the host's queue until the condition holds or the time is up; the condition's value.
inline bool PumpUntil(const std::function<bool()>& done, int nMilliseconds = 10000)
{
    const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(nMilliseconds);
    for (;;) {
        MSG m;
        while (PeekMessage(&m, nullptr, 0, 0, PM_REMOVE))
            DispatchMessage(&m);
        if (done())
            return true;
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(end - std::chrono::steady_clock::now());
        if (left.count() <= 0)
            return false;
        MsgWaitForMultipleObjects(0, nullptr, FALSE, static_cast<DWORD>(std::min<long long>(left.count(), 50)), QS_ALLINPUT);
    }
}

// The ids of the running processes of the namespace started as "YRP.exe".
inline std::vector<DWORD> DesignPrograms()
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

// The first top-level window of a process; null when it has none (or is gone).
inline HWND MainWindowOf(DWORD pid)
{
    for (HWND h = GetWindow(GetDesktopWindow(), GW_CHILD); h; h = GetWindow(h, GW_HWNDNEXT)) {
        DWORD p = 0;
        GetWindowThreadProcessId(h, &p);
        if (p == pid)
            return h;
    }
    return nullptr;
}

class LinkNamespace {
public:
    // installFolder: the design program's install folder the registry names; empty: none.
    explicit LinkNamespace(const std::string& installFolder = std::string()) : m_dir("kvpvs_link")
    {
        ::setenv(KVPVS_WIN32_NAMESPACE_VAR, m_dir.path().c_str(), 1);
        if (!installFolder.empty())
            SetInstalledPath(installFolder);
    }
    ~LinkNamespace()
    {
        CloseDesignPrograms();
        Win32SweepNamespace();
        ::unsetenv(KVPVS_WIN32_NAMESPACE_VAR);
    }
    LinkNamespace(const LinkNamespace&) = delete;
    LinkNamespace& operator=(const LinkNamespace&) = delete;

    const std::string& Folder() const { return m_dir.path(); }

    static void SetInstalledPath(const std::string& strValue)
    {
        HKEY h = nullptr;
        RegCreateKeyExA(HKEY_CURRENT_USER, "SOFTWARE\\TOVAN\\tovan YRP", 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &h, nullptr);
        RegSetValueExA(h, "InstalledPath", 0, REG_SZ, reinterpret_cast<const BYTE*>(strValue.c_str()),
                       static_cast<DWORD>(strValue.size() + 1));
        RegCloseKey(h);
    }

    // Starts the design program at that path with a title suffix; its id once its window is up
    // (0 when it did not come up).
    DWORD StartDesignProgram(const std::string& strExe, const std::string& strSuffix = "x")
    {
        const std::vector<DWORD> before = DesignPrograms();
        if (WinExec((strExe + " " + strSuffix).c_str(), SW_SHOW) <= 31)
            return 0;
        for (DWORD pid : DesignPrograms())
            if (std::find(before.begin(), before.end(), pid) == before.end())
                return MainWindowOf(pid) ? pid : 0;
        return 0;
    }

    // The log lines of a design program.
    std::vector<std::string> Log(DWORD pid) const
    {
        std::vector<std::string> lines;
        std::ifstream in(m_dir.file("YRP_" + std::to_string(pid) + ".log"));
        for (std::string s; std::getline(in, s);)
            lines.push_back(s);
        return lines;
    }
    // The program's log lines that start with the prefix, once there are at least n (waits up to 10 s).
    std::vector<std::string> WaitForLog(DWORD pid, const std::string& strPrefix, size_t n) const
    {
        std::vector<std::string> found;
        PumpUntil([&] {
            found.clear();
            for (const std::string& s : Log(pid))
                if (s.compare(0, strPrefix.size(), strPrefix) == 0)
                    found.push_back(s);
            return found.size() >= n;
        });
        return found;
    }
    // Makes the program post a command to the main window of the target process.
    static BOOL Tell(DWORD pid, UINT nCommand, DWORD nTarget)
    {
        return PostMessageA(MainWindowOf(pid), RegisterWindowMessageA("KVPVS_YRP_TELL"), nCommand, nTarget);
    }

    void CloseDesignPrograms()
    {
        for (DWORD pid : DesignPrograms())
            if (HWND h = MainWindowOf(pid))
                PostMessageA(h, WM_CLOSE, 0, 0);
        const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(3);
        while (!DesignPrograms().empty() && std::chrono::steady_clock::now() < end)
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        for (DWORD pid : DesignPrograms())
            ::kill(static_cast<pid_t>(pid), SIGKILL);
    }

private:
    kvpvs::testing::TempDir m_dir;
};

// The host's main window: a registered top-level window whose title lacks "tovan YRP"; every
// "DMSG_DESIGNCOMMAND_YRP" it receives is recorded and handed to the handler (lParam as LONG).
class HostMainWindow : public CWnd {
public:
    using Handler = std::function<void(UINT, LONG)>;
    explicit HostMainWindow(Handler handler, const char* pszTitle = "KV host")
        : m_handler(std::move(handler)), m_nMessage(DesignCommandMessage())
    {
        CreateWindowCore(nullptr);
        m_hGlobal = Win32RegisterTopLevelWindow(m_hWnd, pszTitle);
    }
    ~HostMainWindow() override { DestroyWindow(); }
    HWND Global() const { return m_hGlobal; }
    struct Received {
        UINT nCode;
        LONG lParam;
    };
    std::vector<Received> received;

protected:
    LRESULT WindowProc(UINT nMsg, WPARAM wParam, LPARAM lParam) override
    {
        if (nMsg == m_nMessage) {
            received.push_back(Received{static_cast<UINT>(wParam), static_cast<LONG>(lParam)});
            if (m_handler)
                m_handler(static_cast<UINT>(wParam), static_cast<LONG>(lParam));
            return 0;
        }
        return CWnd::WindowProc(nMsg, wParam, lParam);
    }

private:
    Handler m_handler;
    UINT m_nMessage;
    HWND m_hGlobal = nullptr;
};

} // namespace kvpvs::test
