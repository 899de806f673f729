// The registry as the namespace's file "registry": one line per key ("K<TAB>path") and per
// value ("V<TAB>path<TAB>name<TAB>type<TAB>hex bytes"), read and rewritten whole under a lock.
// Paths start with the root's short name ("HKCU\\", "HKLM\\").
#include "win32_namespace.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <mutex>
#include <set>
#include <sstream>
#include <vector>

namespace {

struct Entry {
    bool bKey = false;
    std::string strPath, strName;
    DWORD nType = REG_NONE;
    std::string data;
};

struct Key {
    std::string strPath;
};

std::mutex g_keyMutex;
std::set<Key*>& Keys()
{
    static auto* keys = new std::set<Key*>;
    return *keys;
}

std::string Lower(std::string s)
{
    for (char& c : s)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return s;
}

bool SameName(const std::string& a, const std::string& b) { return Lower(a) == Lower(b); }

std::string Hex(const std::string& s)
{
    std::string h;
    char sz[4];
    for (unsigned char c : s) {
        std::snprintf(sz, sizeof sz, "%02x", c);
        h += sz;
    }
    return h;
}

std::string Unhex(const std::string& h)
{
    std::string s;
    for (size_t i = 0; i + 1 < h.size(); i += 2)
        s += static_cast<char>(std::stoi(h.substr(i, 2), nullptr, 16));
    return s;
}

std::string RegistryFile() { return Win32Ns::Folder() + "/registry"; }

std::vector<Entry> Load()
{
    std::vector<Entry> a;
    std::string text;
    if (!Win32Ns::ReadFileText(RegistryFile(), text))
        return a;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) {
        std::vector<std::string> f;
        std::stringstream ls(line);
        for (std::string x; std::getline(ls, x, '\t');)
            f.push_back(x);
        if (f.size() >= 2 && f[0] == "K")
            a.push_back(Entry{true, f[1], "", REG_NONE, ""});
        else if (f.size() >= 4 && f[0] == "V")
            a.push_back(Entry{false, f[1], f[2], static_cast<DWORD>(std::stoul(f[3])), f.size() > 4 ? Unhex(f[4]) : ""});
    }
    return a;
}

bool Save(const std::vector<Entry>& a)
{
    std::string text;
    for (const Entry& e : a)
        text += e.bKey ? "K\t" + e.strPath + "\n"
                       : "V\t" + e.strPath + "\t" + e.strName + "\t" + std::to_string(e.nType) + "\t" + Hex(e.data) + "\n";
    return Win32Ns::WriteFileAtomic(RegistryFile(), text);
}

// The full path of a subkey under an open or predefined key; false for an unknown key.
bool FullPath(HKEY hKey, LPCSTR lpSubKey, std::string& strPath)
{
    if (hKey == HKEY_CURRENT_USER)
        strPath = "HKCU";
    else if (hKey == HKEY_LOCAL_MACHINE)
        strPath = "HKLM";
    else {
        std::lock_guard<std::mutex> g(g_keyMutex);
        Key* p = reinterpret_cast<Key*>(hKey);
        if (!Keys().count(p))
            return false;
        strPath = p->strPath;
    }
    std::string sub = lpSubKey ? lpSubKey : "";
    std::replace(sub.begin(), sub.end(), '/', '\\');
    while (!sub.empty() && sub.front() == '\\')
        sub.erase(sub.begin());
    while (!sub.empty() && sub.back() == '\\')
        sub.pop_back();
    if (!sub.empty())
        strPath += "\\" + sub;
    return strPath.find('\t') == std::string::npos && strPath.find('\n') == std::string::npos;
}

HKEY NewKey(const std::string& strPath)
{
    Key* p = new Key{strPath};
    std::lock_guard<std::mutex> g(g_keyMutex);
    Keys().insert(p);
    return reinterpret_cast<HKEY>(p);
}

bool KeyExists(const std::vector<Entry>& a, const std::string& strPath)
{
    if (strPath == "HKCU" || strPath == "HKLM")
        return true;
    const std::string l = Lower(strPath) + "\\";
    for (const Entry& e : a)
        if (Lower(e.strPath) == Lower(strPath) || Lower(e.strPath).compare(0, l.size(), l) == 0)
            return true;
    return false;
}

} // namespace

LONG RegOpenKeyExA(HKEY hKey, LPCSTR lpSubKey, DWORD, DWORD, PHKEY phkResult)
{
    std::string strPath;
    if (!phkResult || !FullPath(hKey, lpSubKey, strPath))
        return ERROR_INVALID_HANDLE;
    *phkResult = nullptr;
    if (Win32Ns::Folder().empty())
        return ERROR_FILE_NOT_FOUND;
    Win32Ns::FolderLock lock("registry.lock");
    if (!KeyExists(Load(), strPath))
        return ERROR_FILE_NOT_FOUND;
    *phkResult = NewKey(strPath);
    return ERROR_SUCCESS;
}

LONG RegCreateKeyExA(HKEY hKey, LPCSTR lpSubKey, DWORD, LPSTR, DWORD, DWORD, void*, PHKEY phkResult,
                     LPDWORD lpdwDisposition)
{
    std::string strPath;
    if (!phkResult || !FullPath(hKey, lpSubKey, strPath))
        return ERROR_INVALID_HANDLE;
    *phkResult = nullptr;
    if (Win32Ns::Folder().empty())
        return ERROR_PATH_NOT_FOUND;
    Win32Ns::FolderLock lock("registry.lock");
    std::vector<Entry> a = Load();
    const bool bExists = KeyExists(a, strPath);
    if (!bExists) {
        a.push_back(Entry{true, strPath, "", REG_NONE, ""});
        if (!Save(a))
            return ERROR_ACCESS_DENIED;
    }
    if (lpdwDisposition)
        *lpdwDisposition = bExists ? REG_OPENED_EXISTING_KEY : REG_CREATED_NEW_KEY;
    *phkResult = NewKey(strPath);
    return ERROR_SUCCESS;
}

LONG RegQueryValueExA(HKEY hKey, LPCSTR lpValueName, LPDWORD, LPDWORD lpType, LPBYTE lpData, LPDWORD lpcbData)
{
    std::string strPath;
    if (hKey == HKEY_CURRENT_USER || hKey == HKEY_LOCAL_MACHINE || !FullPath(hKey, nullptr, strPath))
        return ERROR_INVALID_HANDLE;
    if (lpData && !lpcbData)
        return ERROR_INVALID_PARAMETER;
    std::vector<Entry> a;
    {
        Win32Ns::FolderLock lock("registry.lock");
        a = Load();
    }
    const std::string strName = lpValueName ? lpValueName : "";
    for (const Entry& e : a) {
        if (e.bKey || !SameName(e.strPath, strPath) || !SameName(e.strName, strName))
            continue;
        std::string data = e.data;
        // A string is kept and reported with its zero.
        if (e.nType == REG_SZ && (data.empty() || data.back() != '\0'))
            data += '\0';
        if (lpType)
            *lpType = e.nType;
        if (!lpcbData)
            return ERROR_SUCCESS;
        const DWORD nNeed = static_cast<DWORD>(data.size());
        if (lpData && *lpcbData < nNeed) {
            *lpcbData = nNeed;
            return ERROR_MORE_DATA;
        }
        if (lpData)
            std::memcpy(lpData, data.data(), data.size());
        *lpcbData = nNeed;
        return ERROR_SUCCESS;
    }
    return ERROR_FILE_NOT_FOUND;
}

LONG RegSetValueExA(HKEY hKey, LPCSTR lpValueName, DWORD, DWORD dwType, const BYTE* lpData, DWORD cbData)
{
    std::string strPath;
    if (hKey == HKEY_CURRENT_USER || hKey == HKEY_LOCAL_MACHINE || !FullPath(hKey, nullptr, strPath))
        return ERROR_INVALID_HANDLE;
    std::string strName = lpValueName ? lpValueName : "";
    if (strName.find_first_of("\t\n") != std::string::npos)
        return ERROR_INVALID_PARAMETER;
    std::string data = lpData ? std::string(reinterpret_cast<const char*>(lpData), cbData) : std::string();
    if (dwType == REG_SZ) {
        // The string up to its zero, with the zero.
        data = data.substr(0, data.find('\0'));
        data += '\0';
    }
    Win32Ns::FolderLock lock("registry.lock");
    std::vector<Entry> a = Load();
    a.erase(std::remove_if(a.begin(), a.end(),
                           [&](const Entry& e) { return !e.bKey && SameName(e.strPath, strPath) && SameName(e.strName, strName); }),
            a.end());
    a.push_back(Entry{false, strPath, strName, dwType, data});
    return Save(a) ? ERROR_SUCCESS : ERROR_ACCESS_DENIED;
}

LONG RegDeleteKeyA(HKEY hKey, LPCSTR lpSubKey)
{
    std::string strPath;
    if (!FullPath(hKey, lpSubKey, strPath))
        return ERROR_INVALID_HANDLE;
    Win32Ns::FolderLock lock("registry.lock");
    std::vector<Entry> a = Load();
    if (!KeyExists(a, strPath))
        return ERROR_FILE_NOT_FOUND;
    const std::string l = Lower(strPath);
    a.erase(std::remove_if(a.begin(), a.end(),
                           [&](const Entry& e) {
                               const std::string p = Lower(e.strPath);
                               return p == l || p.compare(0, l.size() + 1, l + "\\") == 0;
                           }),
            a.end());
    return Save(a) ? ERROR_SUCCESS : ERROR_ACCESS_DENIED;
}

LONG RegCloseKey(HKEY hKey)
{
    std::lock_guard<std::mutex> g(g_keyMutex);
    Key* p = reinterpret_cast<Key*>(hKey);
    if (!Keys().erase(p))
        return ERROR_INVALID_HANDLE;
    delete p;
    return ERROR_SUCCESS;
}
