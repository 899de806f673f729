// Named file mappings on POSIX shared memory. Each handle holds its own open description of the
// shared-memory object with a shared lock on it, and each view a duplicate of its handle's
// descriptor; a process that ends (killed or not) drops its locks with its descriptors. A
// mapping whose object nobody holds a lock on is dead: the next create, open or close in the
// namespace unlinks it.
#include "win32_namespace.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include <dirent.h>

#include <cerrno>
#include <cstring>
#include <vector>
#include <map>
#include <mutex>

namespace {

struct Mapping {
    std::string strName; // system-wide name of the shared-memory object
    int fd = -1;
    size_t nSize = 0;
};

struct View {
    size_t nSize;
    int fd; // keeps the handle's lock while the view lives
    std::string strName;
};

struct Handles {
    std::mutex m;
    uintptr_t nNext = 0x5000;
    std::map<uintptr_t, Mapping> mappings;
    std::map<uintptr_t, View> views; // by start address
};

Handles& H()
{
    static auto* h = new Handles;
    return *h;
}

std::string ObjectName(const char* pszName)
{
    std::string s = "/kvpvs_" + Win32Ns::Tag() + "_";
    for (const char* p = pszName; *p; ++p)
        s += *p == '/' ? '_' : *p;
    return s;
}

// Unlinks the object when no process holds it; true when it was dead (or missing).
bool UnlinkIfDead(const std::string& strName)
{
    const int fd = ::shm_open(strName.c_str(), O_RDONLY | O_CLOEXEC, 0);
    if (fd < 0)
        return true;
    const bool bDead = ::flock(fd, LOCK_EX | LOCK_NB) == 0;
    ::close(fd);
    if (bDead)
        ::shm_unlink(strName.c_str());
    return bDead;
}

HANDLE AddHandle(const std::string& strName, int fd)
{
    struct stat st{};
    ::fstat(fd, &st);
    ::flock(fd, LOCK_SH);
    Handles& h = H();
    std::lock_guard<std::mutex> g(h.m);
    const uintptr_t n = h.nNext;
    h.nNext += 4;
    h.mappings[n] = Mapping{strName, fd, static_cast<size_t>(st.st_size)};
    return reinterpret_cast<HANDLE>(n);
}

} // namespace

namespace Win32Ns {
// Closes a mapping handle; false when the handle is not one.
bool CloseMappingHandle(HANDLE hObject)
{
    Mapping m;
    {
        Handles& h = H();
        std::lock_guard<std::mutex> g(h.m);
        auto it = h.mappings.find(reinterpret_cast<uintptr_t>(hObject));
        if (it == h.mappings.end())
            return false;
        m = it->second;
        h.mappings.erase(it);
    }
    FolderLock lock("mappings.lock");
    ::close(m.fd);
    UnlinkIfDead(m.strName);
    return true;
}
} // namespace Win32Ns

HANDLE CreateFileMappingA(HANDLE hFile, void*, DWORD flProtect, DWORD dwMaximumSizeHigh, DWORD dwMaximumSizeLow,
                          LPCSTR lpName)
{
    const uint64_t nSize = (static_cast<uint64_t>(dwMaximumSizeHigh) << 32) | dwMaximumSizeLow;
    if (hFile != INVALID_HANDLE_VALUE || !lpName || !*lpName || nSize == 0 || (flProtect & PAGE_READWRITE) == 0) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    if (Win32Ns::Folder().empty()) {
        SetLastError(ERROR_PATH_NOT_FOUND);
        return nullptr;
    }
    const std::string strName = ObjectName(lpName);
    Win32Ns::FolderLock lock("mappings.lock");
    UnlinkIfDead(strName);
    int fd = ::shm_open(strName.c_str(), O_RDWR | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
    if (fd < 0 && errno == EEXIST) {
        fd = ::shm_open(strName.c_str(), O_RDWR | O_CLOEXEC, 0);
        if (fd < 0) {
            SetLastError(ERROR_ACCESS_DENIED);
            return nullptr;
        }
        HANDLE hMap = AddHandle(strName, fd);
        SetLastError(ERROR_ALREADY_EXISTS);
        return hMap;
    }
    if (fd < 0 || ::ftruncate(fd, static_cast<off_t>(nSize)) != 0) {
        if (fd >= 0) {
            ::close(fd);
            ::shm_unlink(strName.c_str());
        }
        SetLastError(ERROR_NOT_ENOUGH_MEMORY);
        return nullptr;
    }
    HANDLE hMap = AddHandle(strName, fd);
    SetLastError(ERROR_SUCCESS);
    return hMap;
}

HANDLE OpenFileMappingA(DWORD dwDesiredAccess, BOOL, LPCSTR lpName)
{
    if (!lpName || !*lpName || Win32Ns::Folder().empty()) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    const std::string strName = ObjectName(lpName);
    Win32Ns::FolderLock lock("mappings.lock");
    if (UnlinkIfDead(strName)) {
        SetLastError(ERROR_FILE_NOT_FOUND);
        return nullptr;
    }
    const bool bWrite = (dwDesiredAccess & FILE_MAP_WRITE) != 0;
    const int fd = ::shm_open(strName.c_str(), (bWrite ? O_RDWR : O_RDONLY) | O_CLOEXEC, 0);
    if (fd < 0) {
        SetLastError(errno == ENOENT ? ERROR_FILE_NOT_FOUND : ERROR_ACCESS_DENIED);
        return nullptr;
    }
    return AddHandle(strName, fd);
}

LPVOID MapViewOfFile(HANDLE hFileMappingObject, DWORD dwDesiredAccess, DWORD dwFileOffsetHigh, DWORD dwFileOffsetLow,
                     SIZE_T dwNumberOfBytesToMap)
{
    Handles& h = H();
    std::lock_guard<std::mutex> g(h.m);
    auto it = h.mappings.find(reinterpret_cast<uintptr_t>(hFileMappingObject));
    if (it == h.mappings.end() || dwFileOffsetHigh != 0 || dwFileOffsetLow != 0) {
        SetLastError(it == h.mappings.end() ? ERROR_INVALID_HANDLE : ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    const size_t nSize = dwNumberOfBytesToMap == 0 ? it->second.nSize : dwNumberOfBytesToMap;
    if (nSize == 0 || nSize > it->second.nSize) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    const bool bWrite = (dwDesiredAccess & FILE_MAP_WRITE) != 0;
    const int fdView = ::fcntl(it->second.fd, F_DUPFD_CLOEXEC, 3);
    if (fdView < 0) {
        SetLastError(ERROR_NOT_ENOUGH_MEMORY);
        return nullptr;
    }
    void* p = ::mmap(nullptr, nSize, PROT_READ | (bWrite ? PROT_WRITE : 0), MAP_SHARED, fdView, 0);
    if (p == MAP_FAILED) {
        ::close(fdView);
        SetLastError(ERROR_ACCESS_DENIED);
        return nullptr;
    }
    h.views[reinterpret_cast<uintptr_t>(p)] = View{nSize, fdView, it->second.strName};
    return p;
}

BOOL UnmapViewOfFile(LPCVOID lpBaseAddress)
{
    View v{};
    {
        Handles& h = H();
        std::lock_guard<std::mutex> g(h.m);
        auto it = h.views.find(reinterpret_cast<uintptr_t>(lpBaseAddress));
        if (it == h.views.end())
            return FALSE;
        v = it->second;
        h.views.erase(it);
    }
    ::munmap(const_cast<void*>(lpBaseAddress), v.nSize);
    Win32Ns::FolderLock lock("mappings.lock");
    ::close(v.fd);
    UnlinkIfDead(v.strName);
    return TRUE;
}

SIZE_T VirtualQuery(LPCVOID lpAddress, MEMORY_BASIC_INFORMATION* lpBuffer, SIZE_T dwLength)
{
    if (!lpBuffer || dwLength < sizeof(MEMORY_BASIC_INFORMATION))
        return 0;
    Handles& h = H();
    std::lock_guard<std::mutex> g(h.m);
    const uintptr_t a = reinterpret_cast<uintptr_t>(lpAddress);
    auto it = h.views.upper_bound(a);
    if (it == h.views.begin())
        return 0;
    --it;
    if (a >= it->first + it->second.nSize)
        return 0;
    *lpBuffer = MEMORY_BASIC_INFORMATION{reinterpret_cast<PVOID>(it->first), reinterpret_cast<PVOID>(it->first),
                                         PAGE_READWRITE, it->first + it->second.nSize - a, 0x1000, PAGE_READWRITE,
                                         0x20000};
    return sizeof(MEMORY_BASIC_INFORMATION);
}

namespace Win32Ns {
int SweepMappings()
{
    const std::string strPrefix = "kvpvs_" + Tag() + "_";
    std::vector<std::string> names;
    if (DIR* d = ::opendir("/dev/shm")) {
        while (dirent* e = ::readdir(d))
            if (std::strncmp(e->d_name, strPrefix.c_str(), strPrefix.size()) == 0)
                names.push_back(std::string("/") + e->d_name);
        ::closedir(d);
    }
    FolderLock lock("mappings.lock");
    int n = 0;
    for (const std::string& s : names)
        n += UnlinkIfDead(s) ? 1 : 0;
    return n;
}
} // namespace Win32Ns
