// Top-level windows of the namespace and their message queues. A registered window is a file
// "windows/<handle>" of the namespace holding its process id, the name of its process's life
// lock and its title; a process's queue is a datagram socket of the abstract namespace named
// after the namespace's tag and the process id, so that the kernel keeps the order and drops
// the queue with the process.
#include "win32_namespace.h"

#include <dirent.h>
#include <fcntl.h>
#include <poll.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <map>
#include <mutex>
#include <sstream>
#include <vector>

namespace {

struct Packet {
    uint64_t hwnd;
    uint32_t message;
    uint32_t reserved;
    uint64_t wParam;
    int64_t lParam;
};

struct OwnWindow {
    HWND hLocal;
    std::string strTitle;
    std::string strFolder;
};

struct State {
    std::mutex m;
    std::map<HWND, OwnWindow> own;          // registered handle -> local window
    std::map<HWND, HWND> globalOf;          // local window -> registered handle
    std::string strQueueFolder;             // the namespace the queue socket was bound in
    int fdQueue = -1;
    int fdSend = -1;
    bool bQuit = false;
    int nQuitCode = 0;
    bool bStartupSignalled = false;
};

State& S()
{
    // Never destroyed: windows torn down at process exit may still reach it.
    static auto* s = new State;
    return *s;
}

std::string HandleName(HWND h)
{
    char sz[24];
    std::snprintf(sz, sizeof sz, "%08llx", static_cast<unsigned long long>(reinterpret_cast<uintptr_t>(h)));
    return sz;
}

sockaddr_un QueueAddress(const std::string& strTag, DWORD pid, socklen_t& len)
{
    sockaddr_un a{};
    a.sun_family = AF_UNIX;
    const std::string strName = "kvpvs-win32-" + strTag + "-" + std::to_string(pid);
    // Abstract name: a leading zero byte, then the name without terminator.
    std::memcpy(a.sun_path + 1, strName.data(), std::min(strName.size(), sizeof a.sun_path - 2));
    len = static_cast<socklen_t>(offsetof(sockaddr_un, sun_path) + 1 + std::min(strName.size(), sizeof a.sun_path - 2));
    return a;
}

// The queue of this process in the current namespace; -1 when it cannot be made.
int Queue(State& s)
{
    const std::string strFolder = Win32Ns::Folder();
    if (s.fdQueue >= 0 && s.strQueueFolder == strFolder)
        return s.fdQueue;
    if (s.fdQueue >= 0)
        ::close(s.fdQueue);
    s.fdQueue = ::socket(AF_UNIX, SOCK_DGRAM | SOCK_CLOEXEC, 0);
    if (s.fdQueue < 0)
        return -1;
    socklen_t len = 0;
    sockaddr_un a = QueueAddress(Win32Ns::Tag(), GetCurrentProcessId(), len);
    if (::bind(s.fdQueue, reinterpret_cast<sockaddr*>(&a), len) != 0) {
        ::close(s.fdQueue);
        s.fdQueue = -1;
        return -1;
    }
    s.strQueueFolder = strFolder;
    return s.fdQueue;
}

struct ForeignWindow {
    DWORD pid = 0;
    std::string strLock;
    std::string strTitle;
};

bool ReadForeign(HWND h, ForeignWindow& w)
{
    std::string text;
    if (!Win32Ns::ReadFileText(Win32Ns::Folder() + "/windows/" + HandleName(h), text))
        return false;
    std::istringstream in(text);
    std::string strPid;
    if (!std::getline(in, strPid) || !std::getline(in, w.strLock))
        return false;
    std::getline(in, w.strTitle);
    w.pid = static_cast<DWORD>(std::strtoul(strPid.c_str(), nullptr, 10));
    return w.pid != 0;
}

bool WriteOwn(HWND hGlobal, const OwnWindow& w, const std::string& strLock)
{
    std::string strTitle = w.strTitle;
    std::replace(strTitle.begin(), strTitle.end(), '\n', ' ');
    return Win32Ns::WriteFileAtomic(w.strFolder + "/windows/" + HandleName(hGlobal),
                                    std::to_string(GetCurrentProcessId()) + "\n" + strLock + "\n" + strTitle + "\n");
}

// The registered windows of the namespace in registration order.
std::vector<HWND> ListWindows()
{
    std::vector<HWND> a;
    const std::string strFolder = Win32Ns::Folder();
    if (DIR* d = ::opendir((strFolder + "/windows").c_str())) {
        while (dirent* e = ::readdir(d)) {
            if (std::strlen(e->d_name) != 8)
                continue;
            char* end = nullptr;
            const unsigned long long v = std::strtoull(e->d_name, &end, 16);
            if (end && *end == '\0' && v >= Win32Ns::kFirstGlobalHandle)
                a.push_back(reinterpret_cast<HWND>(static_cast<uintptr_t>(v)));
        }
        ::closedir(d);
    }
    std::sort(a.begin(), a.end());
    return a;
}

bool Alive(HWND h)
{
    {
        State& s = S();
        std::lock_guard<std::mutex> g(s.m);
        auto it = s.own.find(h);
        if (it != s.own.end())
            return IsWindow(it->second.hLocal) != 0;
    }
    return Win32Ns::ForeignAlive(h);
}

void SignalStartup(State& s)
{
    if (s.bStartupSignalled)
        return;
    s.bStartupSignalled = true;
    // The starter waits for this program's first request for a message (WinExec).
    if (const char* psz = std::getenv("KVPVS_WIN32_STARTUP_FD")) {
        const int fd = std::atoi(psz);
        ::unsetenv("KVPVS_WIN32_STARTUP_FD");
        if (fd > 2) {
            const char c = 1;
            [[maybe_unused]] ssize_t n = ::write(fd, &c, 1);
            ::close(fd);
        }
    }
}

// Takes (or looks at) the next queued message; false when none came within nWaitMs.
bool Receive(MSG* pMsg, int nWaitMs, bool bRemove)
{
    State& s = S();
    int fd;
    {
        std::lock_guard<std::mutex> g(s.m);
        SignalStartup(s);
        if (s.bQuit) {
            if (pMsg)
                *pMsg = MSG{nullptr, WM_QUIT, static_cast<WPARAM>(s.nQuitCode), 0};
            if (bRemove)
                s.bQuit = false;
            return true;
        }
        fd = Queue(s);
    }
    if (fd < 0)
        return false;
    pollfd p{fd, POLLIN, 0};
    int r;
    while ((r = ::poll(&p, 1, nWaitMs)) < 0 && errno == EINTR) {
    }
    if (r <= 0)
        return false;
    Packet pk{};
    const ssize_t n = ::recv(fd, &pk, sizeof pk, MSG_DONTWAIT | (bRemove ? 0 : MSG_PEEK));
    if (n != static_cast<ssize_t>(sizeof pk))
        return false;
    if (pMsg)
        *pMsg = MSG{reinterpret_cast<HWND>(static_cast<uintptr_t>(pk.hwnd)), pk.message,
                    static_cast<WPARAM>(pk.wParam), static_cast<LPARAM>(pk.lParam)};
    return true;
}

} // namespace

namespace Win32Ns {

HWND LocalOf(HWND hGlobal)
{
    State& s = S();
    std::lock_guard<std::mutex> g(s.m);
    auto it = s.own.find(hGlobal);
    return it == s.own.end() ? nullptr : it->second.hLocal;
}

bool ForeignAlive(HWND hGlobal)
{
    if (!IsGlobalHandle(hGlobal) || LocalOf(hGlobal))
        return false;
    ReapChildren();
    ForeignWindow w;
    if (!ReadForeign(hGlobal, w))
        return false;
    if (LockHeld(w.strLock))
        return true;
    // Its process is gone: the window goes from the namespace.
    ::unlink((Folder() + "/windows/" + HandleName(hGlobal)).c_str());
    return false;
}

BOOL PostForeign(HWND hGlobal, UINT nMsg, WPARAM wParam, LPARAM lParam)
{
    ForeignWindow w;
    if (!ForeignAlive(hGlobal) || !ReadForeign(hGlobal, w))
        return FALSE;
    State& s = S();
    int fd;
    {
        std::lock_guard<std::mutex> g(s.m);
        if (s.fdSend < 0) {
            s.fdSend = ::socket(AF_UNIX, SOCK_DGRAM | SOCK_CLOEXEC, 0);
            if (s.fdSend >= 0) {
                // A queue that stays full this long belongs to a process that does not read it.
                timeval tv{5, 0};
                ::setsockopt(s.fdSend, SOL_SOCKET, SO_SNDTIMEO, &tv, sizeof tv);
            }
        }
        fd = s.fdSend;
    }
    if (fd < 0)
        return FALSE;
    Packet pk{static_cast<uint64_t>(reinterpret_cast<uintptr_t>(hGlobal)), nMsg, 0, static_cast<uint64_t>(wParam),
              static_cast<int64_t>(lParam)};
    socklen_t len = 0;
    sockaddr_un a = QueueAddress(Tag(), w.pid, len);
    ssize_t n;
    while ((n = ::sendto(fd, &pk, sizeof pk, MSG_NOSIGNAL, reinterpret_cast<sockaddr*>(&a), len)) < 0 && errno == EINTR) {
    }
    return n == static_cast<ssize_t>(sizeof pk) ? TRUE : FALSE;
}

void OnLocalUnregistered(HWND hLocal)
{
    State& s = S();
    std::lock_guard<std::mutex> g(s.m);
    auto it = s.globalOf.find(hLocal);
    if (it == s.globalOf.end())
        return;
    const HWND hGlobal = it->second;
    auto own = s.own.find(hGlobal);
    if (own != s.own.end()) {
        ::unlink((own->second.strFolder + "/windows/" + HandleName(hGlobal)).c_str());
        s.own.erase(own);
    }
    s.globalOf.erase(it);
}

} // namespace Win32Ns

HWND Win32RegisterTopLevelWindow(HWND hLocal, LPCSTR lpTitle)
{
    if (!IsWindow(hLocal) || Win32Ns::IsGlobalHandle(hLocal) || GetParent(hLocal) != nullptr)
        return nullptr;
    const std::string strFolder = Win32Ns::Folder();
    const std::string strLock = Win32Ns::ProcessLock();
    if (strFolder.empty() || strLock.empty())
        return nullptr;
    State& s = S();
    {
        std::lock_guard<std::mutex> g(s.m);
        auto it = s.globalOf.find(hLocal);
        if (it != s.globalOf.end())
            return it->second;
        if (Queue(s) < 0)
            return nullptr;
    }
    // A handle of the namespace, never given twice.
    uintptr_t nHandle = 0;
    {
        Win32Ns::FolderLock lock("handles.lock");
        std::string text;
        Win32Ns::ReadFileText(strFolder + "/next_handle", text);
        nHandle = std::max<uintptr_t>(Win32Ns::kFirstGlobalHandle, std::strtoull(text.c_str(), nullptr, 10));
        if (!Win32Ns::WriteFileAtomic(strFolder + "/next_handle", std::to_string(nHandle + 4)))
            return nullptr;
    }
    const HWND hGlobal = reinterpret_cast<HWND>(nHandle);
    OwnWindow w{hLocal, lpTitle ? lpTitle : "", strFolder};
    if (!WriteOwn(hGlobal, w, strLock))
        return nullptr;
    std::lock_guard<std::mutex> g(s.m);
    s.own[hGlobal] = w;
    s.globalOf[hLocal] = hGlobal;
    return hGlobal;
}

HWND GetDesktopWindow() { return reinterpret_cast<HWND>(Win32Ns::kDesktopHandle); }

HWND GetWindow(HWND hWnd, UINT uCmd)
{
    const std::vector<HWND> a = ListWindows();
    size_t i = 0;
    if (uCmd == GW_CHILD && hWnd == GetDesktopWindow())
        i = 0;
    else if (uCmd == GW_HWNDNEXT && Win32Ns::IsGlobalHandle(hWnd))
        i = static_cast<size_t>(std::upper_bound(a.begin(), a.end(), hWnd) - a.begin());
    else
        return nullptr;
    for (; i < a.size(); ++i)
        if (Alive(a[i]))
            return a[i];
    return nullptr;
}

int GetWindowTextA(HWND hWnd, LPSTR lpString, int nMaxCount)
{
    std::string strTitle;
    bool bFound = false;
    {
        State& s = S();
        std::lock_guard<std::mutex> g(s.m);
        auto it = s.own.find(hWnd);
        if (it != s.own.end() && IsWindow(it->second.hLocal)) {
            strTitle = it->second.strTitle;
            bFound = true;
        }
    }
    ForeignWindow w;
    if (!bFound && Win32Ns::ForeignAlive(hWnd) && ReadForeign(hWnd, w)) {
        strTitle = w.strTitle;
        bFound = true;
    }
    if (!bFound || !lpString || nMaxCount <= 0) {
        if (lpString && nMaxCount > 0)
            lpString[0] = '\0';
        return 0;
    }
    const size_t n = std::min(strTitle.size(), static_cast<size_t>(nMaxCount - 1));
    std::memcpy(lpString, strTitle.data(), n);
    lpString[n] = '\0';
    return static_cast<int>(n);
}

BOOL SetWindowTextA(HWND hWnd, LPCSTR lpString)
{
    State& s = S();
    std::lock_guard<std::mutex> g(s.m);
    auto it = s.own.find(hWnd);
    if (it == s.own.end()) {
        auto l = s.globalOf.find(hWnd);
        if (l == s.globalOf.end())
            return FALSE;
        it = s.own.find(l->second);
        hWnd = l->second;
    }
    it->second.strTitle = lpString ? lpString : "";
    return WriteOwn(hWnd, it->second, Win32Ns::ProcessLock()) ? TRUE : FALSE;
}

DWORD GetWindowThreadProcessId(HWND hWnd, LPDWORD lpdwProcessId)
{
    DWORD pid = 0;
    if (IsWindow(hWnd) && !Win32Ns::IsGlobalHandle(hWnd))
        pid = GetCurrentProcessId();
    else if (Win32Ns::LocalOf(hWnd))
        pid = IsWindow(Win32Ns::LocalOf(hWnd)) ? GetCurrentProcessId() : 0;
    else {
        ForeignWindow w;
        if (Win32Ns::ForeignAlive(hWnd) && ReadForeign(hWnd, w))
            pid = w.pid;
    }
    if (lpdwProcessId)
        *lpdwProcessId = pid;
    return pid;
}

BOOL PostMessageA(HWND hWnd, UINT nMsg, WPARAM wParam, LPARAM lParam) { return PostMessage(hWnd, nMsg, wParam, lParam); }

BOOL GetMessage(MSG* lpMsg, HWND, UINT, UINT)
{
    MSG m{};
    while (!Receive(&m, -1, true)) {
        // No queue can be made: nothing will ever come.
        State& s = S();
        std::lock_guard<std::mutex> g(s.m);
        if (Queue(s) < 0)
            return FALSE;
    }
    if (lpMsg)
        *lpMsg = m;
    return m.message == WM_QUIT ? FALSE : TRUE;
}

BOOL PeekMessage(MSG* lpMsg, HWND, UINT, UINT, UINT wRemoveMsg)
{
    return Receive(lpMsg, 0, (wRemoveMsg & PM_REMOVE) != 0) ? TRUE : FALSE;
}

BOOL TranslateMessage(const MSG*) { return FALSE; }

LRESULT DispatchMessage(const MSG* lpMsg)
{
    if (!lpMsg)
        return 0;
    HWND h = lpMsg->hwnd;
    if (HWND hLocal = Win32Ns::LocalOf(h))
        h = hLocal;
    return SendMessage(h, lpMsg->message, lpMsg->wParam, lpMsg->lParam);
}

void PostQuitMessage(int nExitCode)
{
    State& s = S();
    std::lock_guard<std::mutex> g(s.m);
    s.bQuit = true;
    s.nQuitCode = nExitCode;
}

DWORD MsgWaitForMultipleObjects(DWORD nCount, const HANDLE*, BOOL, DWORD dwMilliseconds, DWORD)
{
    const int nWait = dwMilliseconds == INFINITE ? -1 : static_cast<int>(std::min<DWORD>(dwMilliseconds, 0x7FFFFFFF));
    return Receive(nullptr, nWait, false) ? WAIT_OBJECT_0 + nCount : static_cast<DWORD>(WAIT_TIMEOUT);
}

int Win32SweepNamespace()
{
    for (HWND h : ListWindows())
        (void)Alive(h);
    return Win32Ns::SweepMappings();
}
