// Stand-in for the Windows API subset the module uses: basic types, window handles kept in a
// registry of live windows, registered messages, focus, timers and message boxes. Handles are
// opaque numbers, never addresses. Choices: time is a virtual clock that only tests and hosts
// advance; message boxes show nothing, go to a journal and return a scripted answer.
#pragma once
#include <cstdint>
#include <cstddef>

using BOOL = int;
using BYTE = unsigned char;
using WORD = unsigned short;
using DWORD = unsigned int;
using UINT = unsigned int;
using LONG = int;
using ULONG = unsigned int;
using LPARAM = intptr_t;
using WPARAM = uintptr_t;
using LRESULT = intptr_t;
using COLORREF = DWORD;
using LPCTSTR = const char*;
using LPTSTR = char*;
using LPCSTR = const char*;
using LPSTR = char*;
using TCHAR = char;
using LPVOID = void*;
using UINT_PTR = uintptr_t;
using DWORD_PTR = uintptr_t;

struct HWND__ { int unused; };
// Bitmap handles: choice: the number of the bitmap resource they were loaded from.
struct HBITMAP__ { int unused; };
using HBITMAP = HBITMAP__*;
using HWND = HWND__*;
struct HINSTANCE__ { int unused; };
using HINSTANCE = HINSTANCE__*;
using HMODULE = HINSTANCE;

#ifndef TRUE
#define TRUE 1
#define FALSE 0
#endif

#define DLL_PROCESS_DETACH 0
#define DLL_PROCESS_ATTACH 1
#define DLL_THREAD_ATTACH 2
#define DLL_THREAD_DETACH 3

#define SW_HIDE 0
#define SW_SHOWNORMAL 1
#define SW_SHOW 5
#define SW_RESTORE 9

#define WM_DESTROY 0x0002
#define WM_SIZE 0x0005
#define WM_SETFOCUS 0x0007
#define WM_CLOSE 0x0010
#define WM_KEYDOWN 0x0100
#define WM_COMMAND 0x0111
#define WM_SYSCOMMAND 0x0112
#define WM_TIMER 0x0113

#define SC_CLOSE 0xF060
#define VK_RETURN 0x0D
#define VK_ESCAPE 0x1B

#define BN_CLICKED 0
#define EN_SETFOCUS 0x0100
#define EN_KILLFOCUS 0x0200
#define EN_CHANGE 0x0300
#define CBN_SELCHANGE 1
#define LBN_SELCHANGE 1
#define LBN_DBLCLK 2
#define CLBN_CHKCHANGE 40

#define IDOK 1
#define IDCANCEL 2
#define IDABORT 3
#define IDRETRY 4
#define IDIGNORE 5
#define IDYES 6
#define IDNO 7

#define MB_OK 0x0000
#define MB_OKCANCEL 0x0001
#define MB_YESNO 0x0004
#define MB_ICONERROR 0x0010
#define MB_ICONQUESTION 0x0020
#define MB_ICONWARNING 0x0030
#define MB_ICONINFORMATION 0x0040

#define LOWORD(l) ((WORD)(((uintptr_t)(l)) & 0xffff))
#define HIWORD(l) ((WORD)((((uintptr_t)(l)) >> 16) & 0xffff))
#define MAKEWPARAM(l, h) ((WPARAM)(DWORD)(((WORD)(l)) | (((DWORD)(WORD)(h)) << 16)))

struct POINT {
    LONG x = 0;
    LONG y = 0;
};

struct RECT {
    LONG left = 0;
    LONG top = 0;
    LONG right = 0;
    LONG bottom = 0;
};

struct MSG {
    HWND hwnd = nullptr;
    UINT message = 0;
    WPARAM wParam = 0;
    LPARAM lParam = 0;
};

#define WINAPI
#define APIENTRY
#define CALLBACK

#define RGB(r, g, b) ((COLORREF)(((BYTE)(r) | ((WORD)((BYTE)(g)) << 8)) | (((DWORD)(BYTE)(b)) << 16)))
#define GetRValue(rgb) ((BYTE)(rgb))
#define GetGValue(rgb) ((BYTE)(((WORD)(rgb)) >> 8))
#define GetBValue(rgb) ((BYTE)((rgb) >> 16))

// Live-window registry. A window object registers a handle with the callback that destroys it;
// DestroyWindow on a live handle runs that callback once.
// A window may have a parent (bChild: a control inside it) or an owner (a top-level window
// such as a modeless dialog kept above its opener).
using PFN_DESTROY_WINDOW = void (*)(void* pWindowObject);
using PFN_WINDOW_PROC = LRESULT (*)(void* pWindowObject, UINT nMsg, WPARAM wParam, LPARAM lParam);
HWND Win32RegisterWindow(void* pWindowObject, PFN_DESTROY_WINDOW pfnDestroy, HWND hParent = nullptr,
                         BOOL bChild = FALSE, PFN_WINDOW_PROC pfnProc = nullptr);
void Win32UnregisterWindow(HWND hWnd);
void* Win32WindowObject(HWND hWnd);
int Win32LiveWindowCount();
// Live windows whose parent or owner is hWnd, children (bChild) or owned ones, in creation order.
int Win32RelatedWindows(HWND hWnd, BOOL bChildren, HWND* pOut, int nMax);
HWND GetParent(HWND hWnd);

BOOL IsWindow(HWND hWnd);
BOOL DestroyWindow(HWND hWnd);

// Messages go straight to the window's procedure; posting is sending (there is no queue).
LRESULT SendMessage(HWND hWnd, UINT nMsg, WPARAM wParam, LPARAM lParam);
BOOL PostMessage(HWND hWnd, UINT nMsg, WPARAM wParam, LPARAM lParam);

HWND SetFocus(HWND hWnd);
HWND GetFocus();

// Timers on the virtual clock: Win32AdvanceClock sends WM_TIMER to every live timer whose
// period ends within the advanced time, as often as it ends, in time order; a timer set with
// a procedure (a TIMERPROC) calls the procedure instead.
using TIMERPROC = void (*)(HWND hWnd, UINT nMsg, UINT_PTR nIDEvent, DWORD nTime);
UINT_PTR SetTimer(HWND hWnd, UINT_PTR nIDEvent, UINT nElapse, void* pfnTimerProc);
BOOL KillTimer(HWND hWnd, UINT_PTR nIDEvent);
int Win32KillWindowTimers(HWND hWnd);
int Win32TimerCount(HWND hWnd);
void Win32AdvanceClock(DWORD nMilliseconds);
DWORD GetTickCount();

// Message boxes: each call is journalled; the answer is the next scripted one, else IDOK.
struct WIN32_MESSAGE_BOX_D {
    HWND hWnd;
    const char* pszText;    // journal-owned copies
    const char* pszCaption;
    UINT nType;
};
int MessageBox(HWND hWnd, LPCTSTR lpText, LPCTSTR lpCaption, UINT uType);
void Win32ScriptMessageBoxAnswer(int nAnswer);
int Win32MessageBoxCount();
const WIN32_MESSAGE_BOX_D* Win32MessageBoxAt(int i);
void Win32ClearMessageBoxJournal();

// Registered messages: the number is derived from the name, without case, in 0xC000 to 0xFFFF,
// so that every process gives a name the same number whenever it registers it. A second name
// that falls on a number already taken in this process is refused with 0.
UINT RegisterWindowMessage(LPCTSTR lpString);

// ---- the link's processes ------------------------------------------------------------------
// Processes that talk to each other (top-level windows, message queues, named mappings, the
// process snapshot and the registry) meet in a namespace named by the environment variable
// KVPVS_WIN32_NAMESPACE, which started programs inherit: an absolute path names the namespace's
// folder; any other value (or none) a folder under the system's temporary folder. Choices: a
// process is alive while it holds the lock it takes on first use of the namespace (a killed
// process, a zombie or a reused pid has none); time-outs are in real time.
#define KVPVS_WIN32_NAMESPACE_VAR "KVPVS_WIN32_NAMESPACE"

using HANDLE = void*;
using PVOID = void*;
using LPCVOID = const void*;
using SIZE_T = size_t;
using CHAR = char;
using ULONG_PTR = uintptr_t;
using LPDWORD = DWORD*;
using LPBYTE = BYTE*;
using FARPROC = intptr_t (*)();
#define INVALID_HANDLE_VALUE ((HANDLE)(intptr_t)-1)
#ifndef MAX_PATH
#define MAX_PATH 260
#endif

#define ERROR_SUCCESS 0L
#define ERROR_FILE_NOT_FOUND 2L
#define ERROR_PATH_NOT_FOUND 3L
#define ERROR_ACCESS_DENIED 5L
#define ERROR_INVALID_HANDLE 6L
#define ERROR_NOT_ENOUGH_MEMORY 8L
#define ERROR_BAD_FORMAT 11L
#define ERROR_INVALID_PARAMETER 87L
#define ERROR_ALREADY_EXISTS 183L
#define ERROR_MORE_DATA 234L
DWORD GetLastError();
void SetLastError(DWORD dwErrCode);

DWORD GetCurrentProcessId();
// Sleeps in real time (the virtual clock above is for timers only).
void Sleep(DWORD dwMilliseconds);

// Files and folders. Backslashes in every path given to these stand-ins separate folders.
#define INVALID_FILE_ATTRIBUTES ((DWORD)-1)
#define FILE_ATTRIBUTE_DIRECTORY 0x10
#define FILE_ATTRIBUTE_NORMAL 0x80
DWORD GetFileAttributesA(LPCSTR lpFileName);
BOOL CreateDirectoryA(LPCSTR lpPathName, void* lpSecurityAttributes);

// Top-level windows of the namespace. Win32RegisterTopLevelWindow makes a live local window
// (one without parent) visible to every process of the namespace under a new handle: that
// handle names the window in every process, is never reused and lies outside the range of
// local handles. Messages posted to it from another process queue in this one until
// GetMessage or PeekMessage takes them; DispatchMessage sends them to the local window. The
// window disappears from the namespace when its local window is unregistered or its process
// ends. Null when the window is not a live local top-level window.
HWND Win32RegisterTopLevelWindow(HWND hLocal, LPCSTR lpTitle);
#define GW_HWNDNEXT 2
#define GW_CHILD 5
// The desktop: GetWindow(desktop, GW_CHILD) gives the namespace's first top-level window,
// GetWindow(w, GW_HWNDNEXT) the next one, in the order they were registered; null at the end.
HWND GetDesktopWindow();
HWND GetWindow(HWND hWnd, UINT uCmd);
// The title of a registered top-level window (local or in another process): copies at most
// nMaxCount - 1 characters and a zero, returns the count copied; 0 for any other handle.
int GetWindowTextA(HWND hWnd, LPSTR lpString, int nMaxCount);
BOOL SetWindowTextA(HWND hWnd, LPCSTR lpString);
// The process of a window (its thread id is the process id); 0 for a dead or unknown handle.
DWORD GetWindowThreadProcessId(HWND hWnd, LPDWORD lpdwProcessId);

// Queues. Posting to a window of this process sends (as PostMessage above); posting to a
// window of another process queues the message there, in order. FALSE when the window or its
// process is gone (or its queue stays full for five seconds).
#define WM_QUIT 0x0012
#define WM_USER 0x0400
#define PM_NOREMOVE 0x0000
#define PM_REMOVE 0x0001
#define QS_ALLINPUT 0x04FF
#define WAIT_OBJECT_0 0x00000000L
#define WAIT_TIMEOUT 258L
#define INFINITE 0xFFFFFFFFu
BOOL PostMessageA(HWND hWnd, UINT nMsg, WPARAM wParam, LPARAM lParam);
// Waits for the next queued message (filters: only hWnd null and the range 0, 0 are offered);
// FALSE for WM_QUIT.
BOOL GetMessage(MSG* lpMsg, HWND hWnd, UINT wMsgFilterMin, UINT wMsgFilterMax);
BOOL PeekMessage(MSG* lpMsg, HWND hWnd, UINT wMsgFilterMin, UINT wMsgFilterMax, UINT wRemoveMsg);
BOOL TranslateMessage(const MSG* lpMsg);
LRESULT DispatchMessage(const MSG* lpMsg);
void PostQuitMessage(int nExitCode);
// Waits until a message is queued (WAIT_OBJECT_0 + nCount) or the time is up (WAIT_TIMEOUT);
// handles are not offered (nCount must be 0).
DWORD MsgWaitForMultipleObjects(DWORD nCount, const HANDLE* pHandles, BOOL fWaitAll, DWORD dwMilliseconds,
                                DWORD dwWakeMask);

// Named file mappings on the system's shared memory, named within the namespace. A mapping
// lives while some process holds a handle or a view of it, also when its creator was killed;
// CreateFileMappingA of a living name opens it (GetLastError ERROR_ALREADY_EXISTS). Only
// mappings of the paging file (hFile INVALID_HANDLE_VALUE) are offered.
#define PAGE_READONLY 0x02
#define PAGE_READWRITE 0x04
#define FILE_MAP_WRITE 0x0002
#define FILE_MAP_READ 0x0004
#define FILE_MAP_ALL_ACCESS 0x000F001F
HANDLE CreateFileMappingA(HANDLE hFile, void* lpAttributes, DWORD flProtect, DWORD dwMaximumSizeHigh,
                          DWORD dwMaximumSizeLow, LPCSTR lpName);
HANDLE OpenFileMappingA(DWORD dwDesiredAccess, BOOL bInheritHandle, LPCSTR lpName);
LPVOID MapViewOfFile(HANDLE hFileMappingObject, DWORD dwDesiredAccess, DWORD dwFileOffsetHigh,
                     DWORD dwFileOffsetLow, SIZE_T dwNumberOfBytesToMap);
BOOL UnmapViewOfFile(LPCVOID lpBaseAddress);
// Closes a mapping or snapshot handle.
BOOL CloseHandle(HANDLE hObject);
struct MEMORY_BASIC_INFORMATION {
    PVOID BaseAddress;
    PVOID AllocationBase;
    DWORD AllocationProtect;
    SIZE_T RegionSize;
    DWORD State;
    DWORD Protect;
    DWORD Type;
};
// For an address inside a view: the view's start and the bytes from the address to the view's
// end (choice: the view's own size, not rounded to pages). 0 for any other address.
SIZE_T VirtualQuery(LPCVOID lpAddress, MEMORY_BASIC_INFORMATION* lpBuffer, SIZE_T dwLength);

// The registry: one file of the namespace. Key and value names compare without case; REG_SZ
// data is kept and reported with its terminating zero; a value longer than the caller's buffer
// gives ERROR_MORE_DATA with the size needed and the buffer untouched.
struct HKEY__ { int unused; };
using HKEY = HKEY__*;
using PHKEY = HKEY*;
#define HKEY_CURRENT_USER ((HKEY)(uintptr_t)0x80000001u)
#define HKEY_LOCAL_MACHINE ((HKEY)(uintptr_t)0x80000002u)
#define KEY_QUERY_VALUE 0x0001
#define KEY_SET_VALUE 0x0002
#define KEY_READ 0x20019
#define KEY_WRITE 0x20006
#define KEY_ALL_ACCESS 0xF003F
#define REG_NONE 0
#define REG_SZ 1
#define REG_DWORD 4
#define REG_OPTION_NON_VOLATILE 0
#define REG_CREATED_NEW_KEY 1
#define REG_OPENED_EXISTING_KEY 2
LONG RegOpenKeyExA(HKEY hKey, LPCSTR lpSubKey, DWORD ulOptions, DWORD samDesired, PHKEY phkResult);
LONG RegCreateKeyExA(HKEY hKey, LPCSTR lpSubKey, DWORD Reserved, LPSTR lpClass, DWORD dwOptions, DWORD samDesired,
                     void* lpSecurityAttributes, PHKEY phkResult, LPDWORD lpdwDisposition);
LONG RegQueryValueExA(HKEY hKey, LPCSTR lpValueName, LPDWORD lpReserved, LPDWORD lpType, LPBYTE lpData,
                      LPDWORD lpcbData);
LONG RegSetValueExA(HKEY hKey, LPCSTR lpValueName, DWORD Reserved, DWORD dwType, const BYTE* lpData, DWORD cbData);
// Deletes a key and its values (choice: also a key with subkeys, which go with it).
LONG RegDeleteKeyA(HKEY hKey, LPCSTR lpSubKey);
LONG RegCloseKey(HKEY hKey);

// Starting programs. The command line is split as Windows does: a quoted program path, or an
// unquoted one whose blanks are tried from the left until a file is found (each prefix also
// with ".exe"); the arguments follow, split at blanks. The program runs with the caller's
// environment. Returns when the program first asks for a message, when it ends, or after ten
// seconds (choice), with a value above 31; ERROR_FILE_NOT_FOUND when nothing could be started.
// Ended programs are reaped by the next call of WinExec, of the snapshot or of IsWindow.
UINT WinExec(LPCSTR lpCmdLine, UINT uCmdShow);
#define WIN32_WINEXEC_TIMEOUT_MS 10000u

// Libraries: the program's own folder first, then the system's search; each load is counted
// and freed by FreeLibrary. Win32LoadedLibraryCount: loads not yet freed.
HMODULE LoadLibraryA(LPCSTR lpLibFileName);
FARPROC GetProcAddress(HMODULE hModule, LPCSTR lpProcName);
BOOL FreeLibrary(HMODULE hLibModule);
int Win32LoadedLibraryCount();
// Host side: the folder LoadLibraryA looks in first (the program's own folder while none is set,
// or after a null or empty one).
void Win32SetModuleFolder(const char* pszFolder);

// The registered-message name of a window message.
#define RegisterWindowMessageA RegisterWindowMessage

// Host side: unlinks what dead processes of the namespace left (their windows' entries and
// their mappings' shared memory); the count of mappings unlinked.
int Win32SweepNamespace();
