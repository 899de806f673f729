#include "shlobj.h"

#include <cstring>
#include <deque>
#include <optional>
#include <string>
#include <unistd.h>

namespace {

std::deque<std::optional<std::string>>& Script()
{
    static std::deque<std::optional<std::string>> script;
    return script;
}

std::deque<WIN32_BROWSE_D>& Journal()
{
    static std::deque<WIN32_BROWSE_D> journal;
    return journal;
}

int g_nOpenLists = 0;

// The browser's window while it is shown: the callback's select-path message lands here.
LRESULT BrowserProc(void* pObject, UINT nMsg, WPARAM, LPARAM lParam)
{
    auto* pEntry = static_cast<WIN32_BROWSE_D*>(pObject);
    if (nMsg == BFFM_SETSELECTION && lParam) {
        std::strncpy(pEntry->szSelection, reinterpret_cast<const char*>(lParam), MAX_PATH - 1);
        pEntry->szSelection[MAX_PATH - 1] = '\0';
        return 1;
    }
    return 0;
}

} // namespace

LPITEMIDLIST SHBrowseForFolder(LPBROWSEINFO lpbi)
{
    if (!lpbi)
        return nullptr;
    Journal().push_back(WIN32_BROWSE_D{});
    WIN32_BROWSE_D& entry = Journal().back();
    entry.hwndOwner = lpbi->hwndOwner;
    entry.ulFlags = lpbi->ulFlags;
    HWND hBrowser = Win32RegisterWindow(&entry, nullptr, lpbi->hwndOwner, FALSE, &BrowserProc);
    if (lpbi->lpfn)
        lpbi->lpfn(hBrowser, BFFM_INITIALIZED, 0, lpbi->lParam);
    Win32UnregisterWindow(hBrowser);
    std::optional<std::string> answer;
    if (!Script().empty()) {
        answer = Script().front();
        Script().pop_front();
    }
    if (!answer)
        return nullptr;
    char* pList = new char[answer->size() + 1];
    std::memcpy(pList, answer->c_str(), answer->size() + 1);
    ++g_nOpenLists;
    return reinterpret_cast<LPITEMIDLIST>(pList);
}

BOOL SHGetPathFromIDList(LPCITEMIDLIST pidl, LPSTR pszPath)
{
    if (!pidl || !pszPath)
        return FALSE;
    const char* psz = reinterpret_cast<const char*>(pidl);
    const size_t n = std::strlen(psz);
    if (n >= MAX_PATH)
        return FALSE;
    std::memcpy(pszPath, psz, n + 1);
    return TRUE;
}

void CoTaskMemFree(void* pv)
{
    if (!pv)
        return;
    delete[] static_cast<char*>(pv);
    --g_nOpenLists;
}

DWORD GetCurrentDirectory(DWORD nBufferLength, LPSTR lpBuffer)
{
    if (!lpBuffer || nBufferLength == 0 || !getcwd(lpBuffer, nBufferLength))
        return 0;
    return static_cast<DWORD>(std::strlen(lpBuffer));
}

void Win32ScriptBrowseFolder(const char* pszPath)
{
    Script().push_back(pszPath ? std::optional<std::string>(pszPath) : std::nullopt);
}

int Win32BrowseCount() { return static_cast<int>(Journal().size()); }

const WIN32_BROWSE_D* Win32BrowseAt(int i)
{
    return i >= 0 && i < Win32BrowseCount() ? &Journal()[static_cast<size_t>(i)] : nullptr;
}

int Win32OpenItemListCount() { return g_nOpenLists; }

void Win32ClearBrowseJournal()
{
    Journal().clear();
    Script().clear();
}
