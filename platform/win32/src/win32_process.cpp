// Processes of the namespace: the snapshot from the kernel's process list, starting programs
// (WinExec), handles of snapshots, and run-time loaded libraries.
#include "tlhelp32.h"
#include "win32_namespace.h"

#include <dirent.h>
#include <dlfcn.h>
#include <fcntl.h>
#include <poll.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <map>
#include <mutex>
#include <sstream>
#include <vector>

extern char** environ;

namespace {

struct Snapshot {
    std::vector<PROCESSENTRY32> entries;
    size_t nNext = 0;
};

std::mutex g_snapMutex;
std::map<uintptr_t, Snapshot>& Snapshots()
{
    static auto* s = new std::map<uintptr_t, Snapshot>;
    return *s;
}
uintptr_t g_nNextSnapshot = 0x9000;
std::atomic<int> g_nLoadedLibraries{0};

// A file of a process in /proc; empty when the process went meanwhile (its reads then fail
// with ESRCH, which the standard streams would throw).
std::string ReadProc(int pid, const char* pszWhat)
{
    const int fd = ::open(("/proc/" + std::to_string(pid) + "/" + pszWhat).c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return std::string();
    std::string s;
    char buf[4096];
    for (;;) {
        const ssize_t n = ::read(fd, buf, sizeof buf);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0) {
            if (n < 0)
                s.clear();
            break;
        }
        s.append(buf, static_cast<size_t>(n));
    }
    ::close(fd);
    return s;
}

// The namespace value a process was started with ("" without the variable).
bool NamespaceOf(int pid, std::string& strValue)
{
    const std::string env = ReadProc(pid, "environ");
    if (env.empty())
        return false;
    const std::string strKey = std::string(KVPVS_WIN32_NAMESPACE_VAR) + "=";
    strValue.clear();
    for (size_t i = 0; i < env.size();) {
        const size_t end = env.find('\0', i);
        const std::string var = env.substr(i, end == std::string::npos ? std::string::npos : end - i);
        if (var.compare(0, strKey.size(), strKey) == 0)
            strValue = var.substr(strKey.size());
        if (end == std::string::npos)
            break;
        i = end + 1;
    }
    return true;
}

bool IsRegularFile(const std::string& s)
{
    struct stat st{};
    return !s.empty() && ::stat(s.c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

std::vector<std::string> SplitBlanks(const std::string& s)
{
    std::vector<std::string> a;
    std::istringstream in(s);
    for (std::string t; in >> t;)
        a.push_back(t);
    return a;
}

// The program and its arguments of a command line, as Windows splits it.
bool ParseCommandLine(const std::string& strLine, std::string& strProgram, std::vector<std::string>& args)
{
    size_t i = 0;
    while (i < strLine.size() && strLine[i] == ' ')
        ++i;
    if (i < strLine.size() && strLine[i] == '"') {
        const size_t close = strLine.find('"', i + 1);
        if (close == std::string::npos)
            return false;
        strProgram = Win32Ns::PosixPath(strLine.substr(i + 1, close - i - 1).c_str());
        if (!IsRegularFile(strProgram) && IsRegularFile(strProgram + ".exe"))
            strProgram += ".exe";
        args = SplitBlanks(strLine.substr(close + 1));
        return IsRegularFile(strProgram);
    }
    // Unquoted: each blank may belong to the path; the first prefix that names a file wins.
    const std::vector<std::string> tokens = SplitBlanks(strLine.substr(i));
    std::string strCandidate;
    for (size_t n = 0; n < tokens.size(); ++n) {
        strCandidate += (n ? " " : "") + tokens[n];
        const std::string p = Win32Ns::PosixPath(strCandidate.c_str());
        for (const std::string& q : {p, p + ".exe"})
            if (IsRegularFile(q)) {
                strProgram = q;
                args.assign(tokens.begin() + static_cast<std::ptrdiff_t>(n) + 1, tokens.end());
                return true;
            }
    }
    return false;
}

std::mutex g_folderMutex;
std::string g_strModuleFolder;

std::string ProgramFolder()
{
    {
        std::lock_guard<std::mutex> g(g_folderMutex);
        if (!g_strModuleFolder.empty())
            return g_strModuleFolder;
    }
    char sz[4096];
    const ssize_t n = ::readlink("/proc/self/exe", sz, sizeof sz - 1);
    if (n <= 0)
        return std::string();
    std::string s(sz, static_cast<size_t>(n));
    const size_t slash = s.rfind('/');
    return slash == std::string::npos ? std::string() : s.substr(0, slash + 1);
}

} // namespace

HANDLE CreateToolhelp32Snapshot(DWORD dwFlags, DWORD)
{
    if ((dwFlags & TH32CS_SNAPPROCESS) == 0)
        return INVALID_HANDLE_VALUE;
    Win32Ns::ReapChildren();
    const char* pszOwn = std::getenv(KVPVS_WIN32_NAMESPACE_VAR);
    const std::string strOwn = pszOwn ? pszOwn : "";
    Snapshot snap;
    DIR* d = ::opendir("/proc");
    if (!d)
        return INVALID_HANDLE_VALUE;
    std::vector<int> pids;
    while (dirent* e = ::readdir(d)) {
        char* end = nullptr;
        const long pid = std::strtol(e->d_name, &end, 10);
        if (end && *end == '\0' && pid > 0)
            pids.push_back(static_cast<int>(pid));
    }
    ::closedir(d);
    std::sort(pids.begin(), pids.end());
    for (int pid : pids) {
        const std::string stat = ReadProc(pid, "stat");
        const size_t close = stat.rfind(')');
        if (close == std::string::npos || close + 2 >= stat.size())
            continue;
        const char cState = stat[close + 2];
        if (cState == 'Z' || cState == 'X')
            continue;
        std::string strNs;
        if (!NamespaceOf(pid, strNs) || strNs != strOwn)
            continue;
        const std::string cmd = ReadProc(pid, "cmdline");
        if (cmd.empty())
            continue;
        std::string strArg0 = cmd.substr(0, cmd.find('\0'));
        const size_t slash = strArg0.find_last_of("/\\");
        if (slash != std::string::npos)
            strArg0 = strArg0.substr(slash + 1);
        PROCESSENTRY32 pe{};
        pe.dwSize = sizeof(PROCESSENTRY32);
        pe.th32ProcessID = static_cast<DWORD>(pid);
        std::istringstream rest(stat.substr(close + 4));
        int ppid = 0;
        rest >> ppid;
        pe.th32ParentProcessID = static_cast<DWORD>(ppid);
        pe.cntThreads = 1;
        std::strncpy(pe.szExeFile, strArg0.c_str(), MAX_PATH - 1);
        snap.entries.push_back(pe);
    }
    std::lock_guard<std::mutex> g(g_snapMutex);
    const uintptr_t n = g_nNextSnapshot;
    g_nNextSnapshot += 4;
    Snapshots()[n] = std::move(snap);
    return reinterpret_cast<HANDLE>(n);
}

namespace {
BOOL NextEntry(HANDLE hSnapshot, LPPROCESSENTRY32 lppe, bool bFirst)
{
    std::lock_guard<std::mutex> g(g_snapMutex);
    auto it = Snapshots().find(reinterpret_cast<uintptr_t>(hSnapshot));
    if (it == Snapshots().end() || !lppe || lppe->dwSize < sizeof(PROCESSENTRY32))
        return FALSE;
    if (bFirst)
        it->second.nNext = 0;
    if (it->second.nNext >= it->second.entries.size())
        return FALSE;
    *lppe = it->second.entries[it->second.nNext++];
    return TRUE;
}
} // namespace

BOOL Process32First(HANDLE hSnapshot, LPPROCESSENTRY32 lppe) { return NextEntry(hSnapshot, lppe, true); }
BOOL Process32Next(HANDLE hSnapshot, LPPROCESSENTRY32 lppe) { return NextEntry(hSnapshot, lppe, false); }

BOOL CloseHandle(HANDLE hObject)
{
    if (Win32Ns::CloseMappingHandle(hObject))
        return TRUE;
    std::lock_guard<std::mutex> g(g_snapMutex);
    if (Snapshots().erase(reinterpret_cast<uintptr_t>(hObject)) != 0)
        return TRUE;
    SetLastError(ERROR_INVALID_HANDLE);
    return FALSE;
}

UINT WinExec(LPCSTR lpCmdLine, UINT)
{
    Win32Ns::ReapChildren();
    std::string strProgram;
    std::vector<std::string> args;
    if (!lpCmdLine || !ParseCommandLine(lpCmdLine, strProgram, args))
        return ERROR_FILE_NOT_FOUND;
    int startup[2], failure[2];
    if (::pipe2(startup, O_CLOEXEC) != 0)
        return 0;
    if (::pipe2(failure, O_CLOEXEC) != 0) {
        ::close(startup[0]);
        ::close(startup[1]);
        return 0;
    }
    // Everything the child needs is made before the fork: after it only exec and _exit.
    std::vector<std::string> strArgs{strProgram};
    strArgs.insert(strArgs.end(), args.begin(), args.end());
    std::vector<std::string> strEnv;
    for (char** e = environ; e && *e; ++e)
        if (std::strncmp(*e, "KVPVS_WIN32_STARTUP_FD=", 23) != 0)
            strEnv.emplace_back(*e);
    strEnv.push_back("KVPVS_WIN32_STARTUP_FD=" + std::to_string(startup[1]));
    std::vector<char*> argv, envp;
    for (std::string& s : strArgs)
        argv.push_back(s.data());
    argv.push_back(nullptr);
    for (std::string& s : strEnv)
        envp.push_back(s.data());
    envp.push_back(nullptr);

    const pid_t pid = ::fork();
    if (pid == 0) {
        ::fcntl(startup[1], F_SETFD, 0);
        ::execve(argv[0], argv.data(), envp.data());
        const int err = errno;
        [[maybe_unused]] ssize_t n = ::write(failure[1], &err, sizeof err);
        ::_exit(127);
    }
    ::close(startup[1]);
    ::close(failure[1]);
    if (pid < 0) {
        ::close(startup[0]);
        ::close(failure[0]);
        return 0;
    }
    int err = 0;
    ssize_t nErr;
    while ((nErr = ::read(failure[0], &err, sizeof err)) < 0 && errno == EINTR) {
    }
    ::close(failure[0]);
    if (nErr == static_cast<ssize_t>(sizeof err)) {
        ::close(startup[0]);
        int status = 0;
        ::waitpid(pid, &status, 0);
        return err == ENOEXEC ? ERROR_BAD_FORMAT : ERROR_FILE_NOT_FOUND;
    }
    Win32Ns::TrackChild(pid);
    // The program's first request for a message writes a byte; its end closes the pipe.
    pollfd p{startup[0], POLLIN, 0};
    while (::poll(&p, 1, static_cast<int>(WIN32_WINEXEC_TIMEOUT_MS)) < 0 && errno == EINTR) {
    }
    ::close(startup[0]);
    Win32Ns::ReapChildren();
    return 33;
}

HMODULE LoadLibraryA(LPCSTR lpLibFileName)
{
    if (!lpLibFileName || !*lpLibFileName) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    const std::string strName = Win32Ns::PosixPath(lpLibFileName);
    void* h = nullptr;
    if (strName.find('/') != std::string::npos)
        h = ::dlopen(strName.c_str(), RTLD_NOW | RTLD_LOCAL);
    else {
        const std::string strLocal = ProgramFolder() + strName;
        if (IsRegularFile(strLocal))
            h = ::dlopen(strLocal.c_str(), RTLD_NOW | RTLD_LOCAL);
        if (!h)
            h = ::dlopen(strName.c_str(), RTLD_NOW | RTLD_LOCAL);
    }
    if (!h) {
        SetLastError(ERROR_FILE_NOT_FOUND);
        return nullptr;
    }
    ++g_nLoadedLibraries;
    return static_cast<HMODULE>(h);
}

FARPROC GetProcAddress(HMODULE hModule, LPCSTR lpProcName)
{
    if (!hModule || !lpProcName)
        return nullptr;
    return reinterpret_cast<FARPROC>(::dlsym(hModule, lpProcName));
}

BOOL FreeLibrary(HMODULE hLibModule)
{
    if (!hLibModule || ::dlclose(hLibModule) != 0)
        return FALSE;
    --g_nLoadedLibraries;
    return TRUE;
}

int Win32LoadedLibraryCount() { return g_nLoadedLibraries.load(); }

void Win32SetModuleFolder(const char* pszFolder)
{
    std::lock_guard<std::mutex> g(g_folderMutex);
    g_strModuleFolder = Win32Ns::PosixPath(pszFolder);
    if (!g_strModuleFolder.empty() && g_strModuleFolder.back() != '/')
        g_strModuleFolder += '/';
}
