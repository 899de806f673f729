// Stand-in for the Windows API subset the module uses: basic types, window handles kept in a
// registry of live windows, registered messages. Handles are opaque numbers, never addresses.
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

struct HWND__ { int unused; };
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

#define WINAPI
#define APIENTRY
#define CALLBACK

#define RGB(r, g, b) ((COLORREF)(((BYTE)(r) | ((WORD)((BYTE)(g)) << 8)) | (((DWORD)(BYTE)(b)) << 16)))
#define GetRValue(rgb) ((BYTE)(rgb))
#define GetGValue(rgb) ((BYTE)(((WORD)(rgb)) >> 8))
#define GetBValue(rgb) ((BYTE)((rgb) >> 16))

// Live-window registry. A window object registers a handle with the callback that destroys it;
// DestroyWindow on a live handle runs that callback once.
using PFN_DESTROY_WINDOW = void (*)(void* pWindowObject);
HWND Win32RegisterWindow(void* pWindowObject, PFN_DESTROY_WINDOW pfnDestroy);
void Win32UnregisterWindow(HWND hWnd);
void* Win32WindowObject(HWND hWnd);
int Win32LiveWindowCount();

BOOL IsWindow(HWND hWnd);
BOOL DestroyWindow(HWND hWnd);

// Registered messages: the same name gives the same number, starting at 0xC000.
UINT RegisterWindowMessage(LPCTSTR lpString);
