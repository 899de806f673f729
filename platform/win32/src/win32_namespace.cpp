#include "win32_namespace.h"

#include "io.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <fstream>
#include <map>
#include <mutex>
#include <sstream>
#include <vector>

namespace {

thread_local DWORD t_nLastError = 0;

std::mutex& NsMutex()
{
    static auto* m = new std::mutex;
    return *m;
}

// One life lock per namespace folder this process has used.
std::map<std::string, std::string>& Locks()
{
    static auto* locks = new std::map<std::string, std::string>;
    return *locks;
}

std::vector<int>& Children()
{
    static auto* children = new std::vector<int>;
    return *children;
}

bool MakeFolders(const std::string& strPath)
{
    for (size_t i = 1; i <= strPath.size(); ++i)
        if (i == strPath.size() || strPath[i] == '/')
            if (::mkdir(strPath.substr(0, i).c_str(), 0700) != 0 && errno != EEXIST)
                return false;
    struct stat st{};
    return ::stat(strPath.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

// Start time of this process in clock ticks since boot (field 22 of /proc/self/stat): with the
// pid it names the process, also after its pid is reused.
unsigned long long StartTime(int pid)
{
    std::ifstream in("/proc/" + std::to_string(pid) + "/stat");
    std::string s((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    const size_t close = s.rfind(')');
    if (close == std::string::npos)
        return 0;
    std::istringstream rest(s.substr(close + 2));
    std::string field;
    // Fields from the state (3rd) on; the start time is the 22nd.
    for (int i = 3; i <= 22 && rest >> field; ++i)
        if (i == 22)
            return std::strtoull(field.c_str(), nullptr, 10);
    return 0;
}

uint64_t Fnv64(const std::string& s)
{
    uint64_t h = 1469598103934665603ull;
    for (unsigned char c : s) {
        h ^= c;
        h *= 1099511628211ull;
    }
    return h;
}

} // namespace

namespace Win32Ns {

std::string Folder()
{
    const char* psz = std::getenv(KVPVS_WIN32_NAMESPACE_VAR);
    std::string strValue = psz ? psz : "";
    std::string strFolder;
    if (!strValue.empty() && strValue[0] == '/')
        strFolder = strValue;
    else {
        const char* pszTmp = std::getenv("TMPDIR");
        std::string strTmp = pszTmp && *pszTmp ? pszTmp : "/tmp";
        std::string strName = strValue.empty() ? "default" : strValue;
        for (char& c : strName)
            if (c == '/')
                c = '_';
        strFolder = strTmp + "/kvpvs-win32-" + std::to_string(::getuid()) + "-" + strName;
    }
    while (strFolder.size() > 1 && strFolder.back() == '/')
        strFolder.pop_back();
    if (!MakeFolders(strFolder + "/windows") || !MakeFolders(strFolder + "/procs"))
        return std::string();
    return strFolder;
}

std::string Tag()
{
    char sz[24];
    std::snprintf(sz, sizeof sz, "%016llx", static_cast<unsigned long long>(Fnv64(Folder())));
    return sz;
}

std::string ProcessLock()
{
    const std::string strFolder = Folder();
    if (strFolder.empty())
        return std::string();
    std::lock_guard<std::mutex> g(NsMutex());
    auto it = Locks().find(strFolder);
    if (it != Locks().end())
        return it->second;
    const int pid = static_cast<int>(::getpid());
    const std::string strName = std::to_string(pid) + "." + std::to_string(StartTime(pid));
    const std::string strPath = strFolder + "/procs/" + strName;
    // Held for the life of the process; not inherited by programs it starts.
    const int fd = ::open(strPath.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
    if (fd < 0)
        return std::string();
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
        ::close(fd);
        return std::string();
    }
    Locks()[strFolder] = strName;
    return strName;
}

bool LockHeld(const std::string& strLockName)
{
    if (strLockName.empty() || strLockName.find('/') != std::string::npos)
        return false;
    const std::string strPath = Folder() + "/procs/" + strLockName;
    const int fd = ::open(strPath.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return false;
    const bool bFree = ::flock(fd, LOCK_SH | LOCK_NB) == 0;
    ::close(fd);
    if (bFree)
        ::unlink(strPath.c_str());
    return !bFree;
}

std::string PosixPath(const char* psz)
{
    std::string s = psz ? psz : "";
    for (char& c : s)
        if (c == '\\')
            c = '/';
    return s;
}

bool WriteFileAtomic(const std::string& strPath, const std::string& strText)
{
    const std::string strTmp = strPath + ".tmp" + std::to_string(::getpid());
    {
        std::ofstream out(strTmp, std::ios::binary | std::ios::trunc);
        out << strText;
        if (!out)
            return false;
    }
    return std::rename(strTmp.c_str(), strPath.c_str()) == 0;
}

bool ReadFileText(const std::string& strPath, std::string& strText)
{
    // Plain reads: a read error must give false, not an exception of the standard streams.
    strText.clear();
    const int fd = ::open(strPath.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return false;
    char buf[4096];
    bool bOk = true;
    for (;;) {
        const ssize_t n = ::read(fd, buf, sizeof buf);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0) {
            bOk = n == 0;
            break;
        }
        strText.append(buf, static_cast<size_t>(n));
    }
    ::close(fd);
    return bOk;
}

FolderLock::FolderLock(const char* pszName)
{
    const std::string strFolder = Folder();
    if (strFolder.empty())
        return;
    m_fd = ::open((strFolder + "/" + pszName).c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
    if (m_fd >= 0)
        while (::flock(m_fd, LOCK_EX) != 0 && errno == EINTR) {
        }
}

FolderLock::~FolderLock()
{
    if (m_fd >= 0)
        ::close(m_fd);
}

void ReapChildren()
{
    std::lock_guard<std::mutex> g(NsMutex());
    auto& a = Children();
    for (size_t i = 0; i < a.size();) {
        int status = 0;
        const pid_t r = ::waitpid(a[i], &status, WNOHANG);
        if (r == a[i] || (r < 0 && errno == ECHILD))
            a.erase(a.begin() + static_cast<std::ptrdiff_t>(i));
        else
            ++i;
    }
}

void TrackChild(int pid)
{
    std::lock_guard<std::mutex> g(NsMutex());
    Children().push_back(pid);
}

} // namespace Win32Ns

DWORD GetLastError() { return t_nLastError; }
void SetLastError(DWORD dwErrCode) { t_nLastError = dwErrCode; }

DWORD GetCurrentProcessId() { return static_cast<DWORD>(::getpid()); }

void Sleep(DWORD dwMilliseconds)
{
    timespec ts{static_cast<time_t>(dwMilliseconds / 1000), static_cast<long>(dwMilliseconds % 1000) * 1000000L};
    while (::nanosleep(&ts, &ts) != 0 && errno == EINTR) {
    }
}

DWORD GetFileAttributesA(LPCSTR lpFileName)
{
    struct stat st{};
    if (!lpFileName || ::stat(Win32Ns::PosixPath(lpFileName).c_str(), &st) != 0) {
        SetLastError(ERROR_FILE_NOT_FOUND);
        return INVALID_FILE_ATTRIBUTES;
    }
    return S_ISDIR(st.st_mode) ? FILE_ATTRIBUTE_DIRECTORY : FILE_ATTRIBUTE_NORMAL;
}

BOOL CreateDirectoryA(LPCSTR lpPathName, void*)
{
    std::string s = Win32Ns::PosixPath(lpPathName);
    while (s.size() > 1 && s.back() == '/')
        s.pop_back();
    if (s.empty() || ::mkdir(s.c_str(), 0777) != 0) {
        SetLastError(errno == EEXIST ? ERROR_ALREADY_EXISTS : ERROR_PATH_NOT_FOUND);
        return FALSE;
    }
    return TRUE;
}

int _access(const char* pszPath, int nMode)
{
    if (!pszPath)
        return -1;
    int m = F_OK;
    if (nMode & 2)
        m |= W_OK;
    if (nMode & 4)
        m |= R_OK;
    return ::access(Win32Ns::PosixPath(pszPath).c_str(), m) == 0 ? 0 : -1;
}
