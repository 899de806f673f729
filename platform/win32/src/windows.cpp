#include "windows.h"

#include "win32_namespace.h"

#include <deque>
#include <map>
#include <string>
#include <vector>

namespace {

struct WindowEntry {
    void* pObject;
    PFN_DESTROY_WINDOW pfnDestroy;
    HWND hParent;
    BOOL bChild;
    PFN_WINDOW_PROC pfnProc;
};

std::map<HWND, WindowEntry>& Registry()
{
    // Never destroyed: objects torn down at process exit may still reach it.
    static auto* registry = new std::map<HWND, WindowEntry>;
    return *registry;
}

uintptr_t g_nextHandle = 0x100;
HWND g_hFocus = nullptr;

struct TimerEntry {
    HWND hWnd;
    UINT_PTR nID;
    DWORD nPeriod;
    DWORD nDue;
    TIMERPROC pfnProc;
};
std::vector<TimerEntry>& Timers()
{
    // Never destroyed: objects torn down at process exit may still reach it.
    static auto* timers = new std::vector<TimerEntry>;
    return *timers;
}
DWORD g_nClock = 0;

struct JournalEntry {
    HWND hWnd;
    std::string text, caption;
    UINT nType;
    WIN32_MESSAGE_BOX_D view;
};
std::deque<JournalEntry>& Journal()
{
    static std::deque<JournalEntry> journal;
    return journal;
}
std::deque<int>& Answers()
{
    static std::deque<int> answers;
    return answers;
}

} // namespace

HWND Win32RegisterWindow(void* pWindowObject, PFN_DESTROY_WINDOW pfnDestroy, HWND hParent, BOOL bChild,
                         PFN_WINDOW_PROC pfnProc)
{
    // Handles are never reused, so a stale handle cannot name a newer window; ascending
    // handles also give creation order.
    HWND h = reinterpret_cast<HWND>(g_nextHandle);
    g_nextHandle += 4;
    Registry()[h] = WindowEntry{pWindowObject, pfnDestroy, hParent, bChild, pfnProc};
    return h;
}

void Win32UnregisterWindow(HWND hWnd)
{
    if (Win32Ns::IsGlobalHandle(hWnd))
        return;
    Win32Ns::OnLocalUnregistered(hWnd);
    Registry().erase(hWnd);
    if (g_hFocus == hWnd)
        g_hFocus = nullptr;
    Win32KillWindowTimers(hWnd);
}

void* Win32WindowObject(HWND hWnd)
{
    if (HWND hLocal = Win32Ns::LocalOf(hWnd))
        hWnd = hLocal;
    auto it = Registry().find(hWnd);
    return it == Registry().end() ? nullptr : it->second.pObject;
}

int Win32LiveWindowCount() { return static_cast<int>(Registry().size()); }

int Win32RelatedWindows(HWND hWnd, BOOL bChildren, HWND* pOut, int nMax)
{
    int n = 0;
    for (const auto& [h, e] : Registry())
        if (hWnd && e.hParent == hWnd && (e.bChild != 0) == (bChildren != 0)) {
            if (n < nMax && pOut)
                pOut[n] = h;
            ++n;
        }
    return n;
}

HWND GetParent(HWND hWnd)
{
    auto it = Registry().find(hWnd);
    return it == Registry().end() ? nullptr : it->second.hParent;
}

BOOL IsWindow(HWND hWnd)
{
    if (hWnd == nullptr)
        return FALSE;
    if (reinterpret_cast<uintptr_t>(hWnd) == Win32Ns::kDesktopHandle)
        return TRUE;
    if (Win32Ns::IsGlobalHandle(hWnd)) {
        if (HWND hLocal = Win32Ns::LocalOf(hWnd))
            return Registry().count(hLocal) != 0;
        return Win32Ns::ForeignAlive(hWnd) ? TRUE : FALSE;
    }
    return Registry().count(hWnd) != 0;
}

BOOL DestroyWindow(HWND hWnd)
{
    if (HWND hLocal = Win32Ns::LocalOf(hWnd))
        hWnd = hLocal;
    auto it = Registry().find(hWnd);
    if (it == Registry().end())
        return FALSE;
    WindowEntry e = it->second;
    if (e.pfnDestroy)
        e.pfnDestroy(e.pObject);
    else
        Win32UnregisterWindow(hWnd);
    return TRUE;
}

LRESULT SendMessage(HWND hWnd, UINT nMsg, WPARAM wParam, LPARAM lParam)
{
    if (HWND hLocal = Win32Ns::LocalOf(hWnd))
        hWnd = hLocal;
    auto it = Registry().find(hWnd);
    if (it == Registry().end() || !it->second.pfnProc)
        return 0;
    return it->second.pfnProc(it->second.pObject, nMsg, wParam, lParam);
}

BOOL PostMessage(HWND hWnd, UINT nMsg, WPARAM wParam, LPARAM lParam)
{
    // A window of another process gets the message in its queue; a local one at once.
    if (Win32Ns::IsGlobalHandle(hWnd) && !Win32Ns::LocalOf(hWnd))
        return Win32Ns::PostForeign(hWnd, nMsg, wParam, lParam);
    if (!IsWindow(hWnd))
        return FALSE;
    SendMessage(hWnd, nMsg, wParam, lParam);
    return TRUE;
}

HWND SetFocus(HWND hWnd)
{
    HWND old = g_hFocus;
    if (hWnd == nullptr || IsWindow(hWnd))
        g_hFocus = hWnd;
    return old;
}

HWND GetFocus() { return g_hFocus; }

UINT_PTR SetTimer(HWND hWnd, UINT_PTR nIDEvent, UINT nElapse, void* pfnTimerProc)
{
    const auto pfnProc = reinterpret_cast<TIMERPROC>(pfnTimerProc);
    if (!IsWindow(hWnd) || nIDEvent == 0)
        return 0;
    // A zero period would fire without end within one advance.
    const DWORD period = nElapse == 0 ? 1 : nElapse;
    for (TimerEntry& t : Timers())
        if (t.hWnd == hWnd && t.nID == nIDEvent) {
            t.nPeriod = period;
            t.nDue = g_nClock + period;
            t.pfnProc = pfnProc;
            return nIDEvent;
        }
    Timers().push_back(TimerEntry{hWnd, nIDEvent, period, g_nClock + period, pfnProc});
    return nIDEvent;
}

BOOL KillTimer(HWND hWnd, UINT_PTR nIDEvent)
{
    auto& t = Timers();
    for (auto it = t.begin(); it != t.end(); ++it)
        if (it->hWnd == hWnd && it->nID == nIDEvent) {
            t.erase(it);
            return TRUE;
        }
    return FALSE;
}

int Win32KillWindowTimers(HWND hWnd)
{
    auto& t = Timers();
    int n = 0;
    for (auto it = t.begin(); it != t.end();)
        if (it->hWnd == hWnd) {
            it = t.erase(it);
            ++n;
        } else
            ++it;
    return n;
}

int Win32TimerCount(HWND hWnd)
{
    int n = 0;
    for (const TimerEntry& t : Timers())
        n += t.hWnd == hWnd ? 1 : 0;
    return n;
}

void Win32AdvanceClock(DWORD nMilliseconds)
{
    const DWORD end = g_nClock + nMilliseconds;
    for (;;) {
        // The earliest due timer next; a handler may kill or set timers, so search anew.
        auto& t = Timers();
        std::size_t best = t.size();
        for (std::size_t i = 0; i < t.size(); ++i)
            if (t[i].nDue <= end && (best == t.size() || t[i].nDue < t[best].nDue))
                best = i;
        if (best == t.size())
            break;
        g_nClock = t[best].nDue;
        t[best].nDue += t[best].nPeriod;
        // A timer with a procedure calls it instead of sending WM_TIMER, as the system does.
        if (t[best].pfnProc)
            t[best].pfnProc(t[best].hWnd, WM_TIMER, t[best].nID, g_nClock);
        else
            SendMessage(t[best].hWnd, WM_TIMER, t[best].nID, 0);
    }
    g_nClock = end;
}

DWORD GetTickCount() { return g_nClock; }

int MessageBox(HWND hWnd, LPCTSTR lpText, LPCTSTR lpCaption, UINT uType)
{
    Journal().push_back(JournalEntry{hWnd, lpText ? lpText : "", lpCaption ? lpCaption : "", uType, {}});
    int answer = IDOK;
    if (!Answers().empty()) {
        answer = Answers().front();
        Answers().pop_front();
    }
    return answer;
}

void Win32ScriptMessageBoxAnswer(int nAnswer) { Answers().push_back(nAnswer); }

int Win32MessageBoxCount() { return static_cast<int>(Journal().size()); }

const WIN32_MESSAGE_BOX_D* Win32MessageBoxAt(int i)
{
    if (i < 0 || i >= Win32MessageBoxCount())
        return nullptr;
    JournalEntry& e = Journal()[static_cast<std::size_t>(i)];
    e.view = WIN32_MESSAGE_BOX_D{e.hWnd, e.text.c_str(), e.caption.c_str(), e.nType};
    return &e.view;
}

void Win32ClearMessageBoxJournal()
{
    Journal().clear();
    Answers().clear();
}

UINT RegisterWindowMessage(LPCTSTR lpString)
{
    // Every process must give a name the same number, whatever it registered before: the
    // number comes from the name (FNV-1a of its lower-case bytes folded into 0x4000 values).
    static auto* taken = new std::map<UINT, std::string>;
    if (lpString == nullptr || *lpString == '\0')
        return 0;
    std::string strKey;
    uint32_t h = 2166136261u;
    for (const char* p = lpString; *p; ++p) {
        const char c = (*p >= 'A' && *p <= 'Z') ? static_cast<char>(*p - 'A' + 'a') : *p;
        strKey += c;
        h ^= static_cast<unsigned char>(c);
        h *= 16777619u;
    }
    const UINT nId = 0xC000u + static_cast<UINT>((h ^ (h >> 14) ^ (h >> 28)) & 0x3FFFu);
    auto [it, inserted] = taken->emplace(nId, strKey);
    if (!inserted && it->second != strKey)
        return 0; // two names on one number: the later one is refused
    return nId;
}
