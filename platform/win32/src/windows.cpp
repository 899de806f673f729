#include "windows.h"

#include <map>
#include <string>

namespace {

struct WindowEntry {
    void* pObject;
    PFN_DESTROY_WINDOW pfnDestroy;
};

std::map<HWND, WindowEntry>& Registry()
{
    static std::map<HWND, WindowEntry> registry;
    return registry;
}

uintptr_t g_nextHandle = 0x100;

} // namespace

HWND Win32RegisterWindow(void* pWindowObject, PFN_DESTROY_WINDOW pfnDestroy)
{
    // Handles are never reused, so a stale handle cannot name a newer window.
    HWND h = reinterpret_cast<HWND>(g_nextHandle);
    g_nextHandle += 4;
    Registry()[h] = WindowEntry{pWindowObject, pfnDestroy};
    return h;
}

void Win32UnregisterWindow(HWND hWnd) { Registry().erase(hWnd); }

void* Win32WindowObject(HWND hWnd)
{
    auto it = Registry().find(hWnd);
    return it == Registry().end() ? nullptr : it->second.pObject;
}

int Win32LiveWindowCount() { return static_cast<int>(Registry().size()); }

BOOL IsWindow(HWND hWnd) { return hWnd != nullptr && Registry().count(hWnd) != 0; }

BOOL DestroyWindow(HWND hWnd)
{
    auto it = Registry().find(hWnd);
    if (it == Registry().end())
        return FALSE;
    WindowEntry e = it->second;
    if (e.pfnDestroy)
        e.pfnDestroy(e.pObject);
    else
        Registry().erase(hWnd);
    return TRUE;
}

UINT RegisterWindowMessage(LPCTSTR lpString)
{
    static std::map<std::string, UINT> messages;
    if (lpString == nullptr || *lpString == '\0')
        return 0;
    auto [it, inserted] = messages.emplace(lpString, 0xC000u + static_cast<UINT>(messages.size()));
    return it->second;
}
