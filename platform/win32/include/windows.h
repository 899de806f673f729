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

// Registered messages: the same name gives the same number, starting at 0xC000.
UINT RegisterWindowMessage(LPCTSTR lpString);
