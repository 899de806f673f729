#include "DisplayConnection.h"

#include <vtkRenderWindow.h>

#include <dlfcn.h>

#include <chrono>
#include <cstdlib>
#include <mutex>
#include <thread>

namespace lmq {

namespace {

// Opened once and kept for the life of the process: windows only borrow it, so VTK never closes
// it. The client library is loaded at run time, as VTK loads it. A busy server's refusal lasts a
// moment, so the open is retried for two seconds, once per process.
void* SharedDisplay()
{
    static std::mutex mutex;
    static void* pDisplay = nullptr;
    static bool bTried = false;
    const std::lock_guard<std::mutex> lock(mutex);
    if (bTried)
        return pDisplay;
    bTried = true;
    const char* pszName = std::getenv("DISPLAY");
    if (!pszName || !*pszName)
        return nullptr;
    void* pLib = ::dlopen("libX11.so.6", RTLD_NOW | RTLD_GLOBAL);
    if (!pLib)
        return nullptr;
    using PFN_OPEN = void* (*)(const char*);
    auto pfnOpen = reinterpret_cast<PFN_OPEN>(::dlsym(pLib, "XOpenDisplay"));
    if (!pfnOpen)
        return nullptr;
    for (int nTry = 0; nTry < 20 && !pDisplay; ++nTry) {
        if (nTry > 0)
            std::this_thread::sleep_for(std::chrono::milliseconds(100));
        pDisplay = pfnOpen(nullptr);
    }
    return pDisplay;
}

} // namespace

bool AttachDisplay(vtkRenderWindow* pWindow)
{
    void* pDisplay = SharedDisplay();
    if (!pDisplay)
        return false;
    pWindow->SetDisplayId(pDisplay);
    return true;
}

} // namespace lmq
