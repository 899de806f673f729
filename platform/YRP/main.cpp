// The member-design program as the link meets it. At start it registers a main window titled
// "tovan YRP - <pid>" (and what its first argument adds), creates the eight named mappings of
// the link with its process id (KVPVS_YRP_MAPPING_SIZE bytes each, 4096 unless set), then asks
// for its first message. It logs every command of "DMSG_DESIGNCOMMAND_YRP" with the texts of
// the mappings, one line each, to "YRP_<pid>.log" in KVPVS_YRP_LOG_DIR (else the namespace's
// folder, else its own folder); an import (the design kind with lParam 1) reads the exchange
// file named in its mapping through the data library and logs the records. The registered
// message "KVPVS_YRP_TELL" makes it post command wParam with its own process id to the main
// window of process lParam. WM_CLOSE ends it; so does the loss of its namespace's folder or two
// minutes (KVPVS_YRP_LIFETIME_S) without an end.
#include "design/DesignControlIds.h"
#include "design/YRPRecords.h"

#include "afxstr.h"
#include "windows.h"

#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

namespace {

const char* const kMappings[8] = {YRP_MAP_PROGRAM_NAME,   YRP_MAP_PROGRAM_VER,      YRP_MAP_MESSAGE_OUT,
                                  YRP_MAP_SELECT_BY_STR,  YRP_MAP_PROGRESS_TITLE,   YRP_MAP_PROGRESS_MESSAGE,
                                  YRP_MAP_PROGRESS_PERCENT, YRP_MAP_FILE_NAME};
const char* const kShort[8] = {"NAME", "VER", "MSG", "SEL", "PTITLE", "PMSG", "PPCT", "FILE"};

struct Program {
    DWORD pid = 0;
    UINT nCommand = 0;
    UINT nTell = 0;
    HWND hLocal = nullptr;
    HWND hMain = nullptr;
    HANDLE hMap[8] = {};
    char* pView[8] = {};
    size_t nView = 0;
    FILE* log = nullptr;
    bool bQuit = false;
};
Program g;

void Log(const std::string& s)
{
    if (!g.log)
        return;
    std::fprintf(g.log, "%s\n", s.c_str());
    std::fflush(g.log);
}

std::string MapText(int i)
{
    if (!g.pView[i])
        return std::string();
    return std::string(g.pView[i], strnlen(g.pView[i], g.nView));
}

std::string Num(double d)
{
    char sz[64];
    std::snprintf(sz, sizeof sz, "%.17g", d);
    return sz;
}

void LogLoads(std::string& s, const CArray<T_YRP_UNITLCOM, T_YRP_UNITLCOM&>& a)
{
    for (const T_YRP_UNITLCOM& l : a)
        s += " [" + l.strName.str() + " " + std::to_string(l.nType) + "," + std::to_string(l.nSubType) + " " +
             Num(l.dForce[0]) + " " + Num(l.dForce[1]) + " " + Num(l.dForce[2]) + " " + Num(l.dForce[3]) + " " +
             Num(l.dForce[4]) + " " + Num(l.dForce[5]) + "]";
}

void Import(int nKind)
{
    const std::string strPath = MapText(7);
    HMODULE h = LoadLibraryA("NQD_YrpDataBase.dll");
    if (!h) {
        Log("import " + std::to_string(nKind) + " failed: no data library");
        return;
    }
    using PFN_READ = int (*)(CString, void*, int, int*);
    auto read = reinterpret_cast<PFN_READ>(reinterpret_cast<void (*)()>(GetProcAddress(h, "ReadData")));
    T_YRP_DATA_D d;
    int ok = 0;
    if (read)
        read(CString(strPath.c_str()), &d, static_cast<int>(sizeof d), &ok);
    if (!ok) {
        Log("import " + std::to_string(nKind) + " failed: " + strPath);
        FreeLibrary(h);
        return;
    }
    Log("import " + std::to_string(nKind) + " file=" + strPath + " units=" + std::to_string(d.nHeader[1]) + "," +
        std::to_string(d.nHeader[2]) + " code=" + d.ucop.strDesignCode.str() + " beams=" +
        std::to_string(d.aUrbe.GetSize()) + " walls=" + std::to_string(d.aUrwa.GetSize()));
    for (int i = 0; i < d.aUrbe.GetSize(); ++i) {
        const T_URBE_D& r = d.aUrbe[i];
        std::string s = "URBE " + std::to_string(d.aUrbeK[i]) + " " + r.strName.str() + " b=" + Num(r.sect.dDim[0]) +
                        " h=" + Num(r.sect.dDim[1]) + " E=" + Num(r.matl.dValue[0]) + " nu=" + Num(r.matl.dValue[3]);
        LogLoads(s, r.load.aLcom);
        Log(s);
    }
    for (int i = 0; i < d.aUrwa.GetSize(); ++i) {
        const T_URWA_D& r = d.aUrwa[i];
        std::string s = "URWA " + std::to_string(d.aUrwaK[i]) + " " + r.strName.str() + " b=" + Num(r.sect.dDim[0]) +
                        " h=" + Num(r.sect.dDim[1]) + " E=" + Num(r.matl.dValue[0]) + " nu=" + Num(r.matl.dValue[3]);
        for (const T_URWA_UNITLCOM& l : r.load.aLcom)
            s += " [" + l.strName.str() + " " + Num(l.dForce[0]) + " " + Num(l.dForce[1]) + " " + Num(l.dForce[2]) +
                 " " + Num(l.dForce[3]) + " " + Num(l.dForce[4]) + " " + Num(l.dForce[5]) + "]";
        Log(s);
    }
    FreeLibrary(h);
}

// The main window of a process: the first top-level window it registered.
HWND MainWindowOf(DWORD pid)
{
    for (HWND h = GetWindow(GetDesktopWindow(), GW_CHILD); h; h = GetWindow(h, GW_HWNDNEXT)) {
        DWORD p = 0;
        GetWindowThreadProcessId(h, &p);
        if (p == pid)
            return h;
    }
    return nullptr;
}

LRESULT Proc(void*, UINT nMsg, WPARAM wParam, LPARAM lParam)
{
    if (nMsg == WM_CLOSE) {
        g.bQuit = true;
        return 0;
    }
    if (nMsg == g.nTell) {
        const HWND h = MainWindowOf(static_cast<DWORD>(lParam));
        const BOOL r = h ? PostMessageA(h, g.nCommand, wParam, static_cast<LPARAM>(g.pid)) : FALSE;
        Log("told " + std::to_string(wParam) + " to " + std::to_string(lParam) + " posted=" + std::to_string(r));
        return 0;
    }
    if (nMsg != g.nCommand)
        return 0;
    std::string s = "cmd " + std::to_string(wParam) + " " + std::to_string(static_cast<long long>(lParam));
    for (int i = 0; i < 8; ++i)
        s += std::string(" ") + kShort[i] + "=\"" + MapText(i) + "\"";
    Log(s);
    if ((wParam == YRP_DESIGN_RC_BEAM || wParam == YRP_DESIGN_RC_WALL) && lParam == 1)
        Import(static_cast<int>(wParam));
    return 0;
}

std::string LogFolder()
{
    if (const char* p = std::getenv("KVPVS_YRP_LOG_DIR"); p && *p)
        return p;
    if (const char* p = std::getenv(KVPVS_WIN32_NAMESPACE_VAR); p && *p == '/')
        return p;
    char sz[4096];
    const ssize_t n = ::readlink("/proc/self/exe", sz, sizeof sz - 1);
    std::string s(sz, n > 0 ? static_cast<size_t>(n) : 0);
    return s.substr(0, s.rfind('/'));
}

bool NamespaceGone()
{
    const char* p = std::getenv(KVPVS_WIN32_NAMESPACE_VAR);
    struct stat st{};
    return p && *p == '/' && ::stat(p, &st) != 0;
}

} // namespace

int main(int argc, char** argv)
{
    g.pid = GetCurrentProcessId();
    g.nCommand = RegisterWindowMessageA("DMSG_DESIGNCOMMAND_YRP");
    g.nTell = RegisterWindowMessageA("KVPVS_YRP_TELL");
    g.log = std::fopen((LogFolder() + "/YRP_" + std::to_string(g.pid) + ".log").c_str(), "a");
    std::string strTitle = std::string(YRP_WINDOW_TITLE_PART) + " - " + std::to_string(g.pid);
    if (argc > 1)
        strTitle += std::string(" ") + argv[1];

    g.nView = 4096;
    if (const char* p = std::getenv("KVPVS_YRP_MAPPING_SIZE"))
        g.nView = static_cast<size_t>(std::max(1L, std::atol(p)));
    for (int i = 0; i < 8; ++i) {
        char szName[128];
        std::snprintf(szName, sizeof szName, kMappings[i], static_cast<int>(g.pid));
        g.hMap[i] = CreateFileMappingA(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0, static_cast<DWORD>(g.nView), szName);
        if (g.hMap[i])
            g.pView[i] = static_cast<char*>(MapViewOfFile(g.hMap[i], FILE_MAP_ALL_ACCESS, 0, 0, 0));
    }
    g.hLocal = Win32RegisterWindow(&g, nullptr, nullptr, FALSE, &Proc);
    g.hMain = Win32RegisterTopLevelWindow(g.hLocal, strTitle.c_str());
    Log("start " + std::to_string(g.pid) + " title=\"" + strTitle + "\" window=" +
        std::to_string(reinterpret_cast<uintptr_t>(g.hMain)));

    long nLifetime = 120;
    if (const char* p = std::getenv("KVPVS_YRP_LIFETIME_S"))
        nLifetime = std::atol(p);
    const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(nLifetime);
    while (!g.bQuit && std::chrono::steady_clock::now() < end && !NamespaceGone()) {
        if (MsgWaitForMultipleObjects(0, nullptr, FALSE, 200, QS_ALLINPUT) != WAIT_OBJECT_0)
            continue;
        MSG m;
        while (!g.bQuit && PeekMessage(&m, nullptr, 0, 0, PM_REMOVE))
            DispatchMessage(&m);
    }
    Log("end " + std::to_string(g.pid));
    Win32UnregisterWindow(g.hLocal);
    for (int i = 0; i < 8; ++i) {
        if (g.pView[i])
            UnmapViewOfFile(g.pView[i]);
        if (g.hMap[i])
            CloseHandle(g.hMap[i]);
    }
    if (g.log)
        std::fclose(g.log);
    return 0;
}
