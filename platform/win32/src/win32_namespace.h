// Inside the stand-in: the namespace of the link's processes (its folder, the process's life
// lock, paths with backslashes) and the hooks through which the local window registry reaches
// windows of the namespace. Not part of the stand-in's interface.
#pragma once
#include "windows.h"

#include <string>

namespace Win32Ns {

// The namespace's folder (made if missing), without a trailing '/'; empty when it cannot be made.
std::string Folder();
// A short stable tag of the namespace for system-wide names (shared memory, sockets).
std::string Tag();
// Takes the process's life lock in the namespace (once per namespace) and gives its file name
// inside the folder's "procs" folder; empty on failure.
std::string ProcessLock();
// TRUE while the process that took the lock of that name lives.
bool LockHeld(const std::string& strLockName);
// A path of the Parts' form with '\\' turned into '/'.
std::string PosixPath(const char* psz);
// Creates (or truncates) a file whose contents another process may read at any time.
bool WriteFileAtomic(const std::string& strPath, const std::string& strText);
bool ReadFileText(const std::string& strPath, std::string& strText);
// An exclusive lock on a file of the namespace for the life of the object.
class FolderLock {
public:
    explicit FolderLock(const char* pszName);
    ~FolderLock();
    FolderLock(const FolderLock&) = delete;
    FolderLock& operator=(const FolderLock&) = delete;

private:
    int m_fd = -1;
};

// Handles of registered top-level windows lie at and above this value; local ones below.
constexpr uintptr_t kFirstGlobalHandle = 0x40000000u;
constexpr uintptr_t kDesktopHandle = 0x10u;
inline bool IsGlobalHandle(HWND h) { return reinterpret_cast<uintptr_t>(h) >= kFirstGlobalHandle; }

// The local window behind a registered handle of this process; null for any other handle.
HWND LocalOf(HWND hGlobal);
// A registered window of another process that still lives.
bool ForeignAlive(HWND hGlobal);
BOOL PostForeign(HWND hGlobal, UINT nMsg, WPARAM wParam, LPARAM lParam);
// The local registry unregistered a window: a registered handle of it goes too.
void OnLocalUnregistered(HWND hLocal);

// Closes a mapping handle; false when the handle is not one.
bool CloseMappingHandle(HANDLE hObject);
// Unlinks the shared memory of the namespace's mappings that no process holds any more.
int SweepMappings();

// Children started by WinExec that have ended are reaped.
void ReapChildren();
void TrackChild(int pid);

} // namespace Win32Ns
