// Tests that open a VTK window need an X display; without one VTK ends the process. Such a test
// starts with KVPVS_REQUIRE_DISPLAY() and skips, saying why, when no display is reachable
// (scripts/test runs every test under Xvfb, where none skips).
#pragma once

#include <gtest/gtest.h>

#include <dlfcn.h>

#include <chrono>
#include <cstdlib>
#include <string>
#include <thread>

namespace kvpvs::testing {

// Whether an X server accepts a connection, asked once per program the way VTK will ask: the
// client library is loaded at run time, so programs that need no display do not link it.
inline bool DisplayReachable()
{
    static const bool bReachable = [] {
        const char* pszDisplay = std::getenv("DISPLAY");
        if (!pszDisplay || !*pszDisplay)
            return false;
        void* pLib = ::dlopen("libX11.so.6", RTLD_NOW | RTLD_LOCAL);
        if (!pLib)
            return false;
        using PFN_OPEN = void* (*)(const char*);
        using PFN_CLOSE = int (*)(void*);
        auto pfnOpen = reinterpret_cast<PFN_OPEN>(::dlsym(pLib, "XOpenDisplay"));
        auto pfnClose = reinterpret_cast<PFN_CLOSE>(::dlsym(pLib, "XCloseDisplay"));
        if (!pfnOpen || !pfnClose)
            return false;
        // A server busy with a parallel test run can refuse a connection for a moment.
        void* pDisplay = nullptr;
        for (int nTry = 0; nTry < 10 && !pDisplay; ++nTry) {
            if (nTry > 0)
                std::this_thread::sleep_for(std::chrono::milliseconds(100));
            pDisplay = pfnOpen(nullptr);
        }
        if (pDisplay)
            pfnClose(pDisplay);
        // The library stays loaded: VTK uses it next.
        return pDisplay != nullptr;
    }();
    return bReachable;
}

inline std::string NoDisplayReason()
{
    const char* pszDisplay = std::getenv("DISPLAY");
    if (!pszDisplay || !*pszDisplay)
        return "needs an X display; DISPLAY is not set";
    return std::string("needs an X display; none is reachable at DISPLAY=") + pszDisplay;
}

} // namespace kvpvs::testing

#define KVPVS_REQUIRE_DISPLAY()                                                                                        \
    do {                                                                                                               \
        if (!::kvpvs::testing::DisplayReachable())                                                                     \
            GTEST_SKIP() << ::kvpvs::testing::NoDisplayReason();                                                       \
    } while (false)
