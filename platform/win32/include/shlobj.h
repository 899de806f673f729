// Stand-in for the system shell's folder browser. The user's answer comes from a script
// (Win32ScriptBrowseFolder): a folder path, or cancel. The dialog calls the caller's callback
// with BFFM_INITIALIZED, to which the callback may answer with BFFM_SETSELECTION; the
// preselected path is recorded. Choice: an item list is a heap copy of the chosen path, which
// SHGetPathFromIDList converts and the shell allocator frees.
#pragma once
#include "windows.h"

struct _ITEMIDLIST;
using LPITEMIDLIST = _ITEMIDLIST*;
using PIDLIST_ABSOLUTE = LPITEMIDLIST;
using LPCITEMIDLIST = const _ITEMIDLIST*;
using BFFCALLBACK = int (*)(HWND hWnd, UINT nMsg, LPARAM lParam, LPARAM lpData);

#define BIF_RETURNONLYFSDIRS 0x0001u
#define BFFM_INITIALIZED 1u
#define BFFM_SELCHANGED 2u
#define BFFM_SETSELECTION 0x0466u // WM_USER + 102: wParam TRUE, lParam the path

struct BROWSEINFO {
    HWND hwndOwner = nullptr;
    LPCITEMIDLIST pidlRoot = nullptr;
    LPSTR pszDisplayName = nullptr;
    LPCTSTR lpszTitle = nullptr;
    UINT ulFlags = 0;
    BFFCALLBACK lpfn = nullptr;
    LPARAM lParam = 0;
    int iImage = 0;
};
using LPBROWSEINFO = BROWSEINFO*;

// Shows the browser; null when the user cancels.
LPITEMIDLIST SHBrowseForFolder(LPBROWSEINFO lpbi);
// Copies the item's path into pszPath (MAX_PATH bytes); FALSE for a null item or a path that
// does not fit.
BOOL SHGetPathFromIDList(LPCITEMIDLIST pidl, LPSTR pszPath);
// The shell allocator's release of an item list.
void CoTaskMemFree(void* pv);
// The process's current folder into the buffer; its length, 0 when it does not fit.
DWORD GetCurrentDirectory(DWORD nBufferLength, LPSTR lpBuffer);

// ---- driver side ---------------------------------------------------------------------------
// The answer of the next browser: a folder path, or null for cancel. Unscripted browsers cancel.
void Win32ScriptBrowseFolder(const char* pszPath);
struct WIN32_BROWSE_D {
    HWND hwndOwner = nullptr;
    UINT ulFlags = 0;
    char szSelection[MAX_PATH] = {}; // what the callback preselected; empty when nothing
};
// Browsers shown so far, oldest first; the count of the journal.
int Win32BrowseCount();
const WIN32_BROWSE_D* Win32BrowseAt(int i);
// Item lists handed out and not yet freed.
int Win32OpenItemListCount();
void Win32ClearBrowseJournal();
