// Start-up of the module. The objects below are constructed in this order when the library is
// loaded and destroyed in the reverse order when it is unloaded: the three interface
// singletons, the design-program message, then the extension-module attach (the Windows entry
// point's work, run here from the library's initialisation). The observer registry lives with
// the channel in the frame's floor, so that displays and dialogs link without this roof; it
// holds plain arrays that nothing here touches while constructing or destroying.
#include "dialogs/DialogControlIds.h"
#include "frame/IFactoryPVSImpl.h"
#include "frame/IPvsDlgImpl.h"
#include "frame/IQueryPVSImpl.h"
#include "core/KVPvsExport.h"
#include "core/NotifyListener.h"

#include "afxdllx.h"

#include <dlfcn.h>
#include <new>

static AFX_EXTENSION_MODULE KV_pvsDLL;

static IFactoryPVSImpl s_factory;
static IPvsDlgImpl s_pvsDlg;
static IQueryPVSImpl s_query;

extern const UINT DMSG_DESIGNCOMMAND_YRP;
const UINT DMSG_DESIGNCOMMAND_YRP = RegisterWindowMessage(DMSG_DESIGNCOMMAND_YRP_NAME);

namespace {

BOOL g_bAttached = FALSE;

int DllMain(HINSTANCE hInstance, DWORD dwReason, LPVOID)
{
    if (dwReason == DLL_PROCESS_ATTACH) {
        if (!AfxInitExtensionModule(KV_pvsDLL, hInstance))
            return 0;
    } else if (dwReason == DLL_PROCESS_DETACH) {
        AfxTermExtensionModule(KV_pvsDLL, FALSE);
    }
    return 1;
}

HINSTANCE ThisModule()
{
    Dl_info info{};
    dladdr(reinterpret_cast<void*>(&ThisModule), &info);
    return static_cast<HINSTANCE>(info.dli_fbase);
}

// Runs the entry point after the objects above exist and before they are destroyed.
struct ModuleAttach {
    ModuleAttach() { g_bAttached = DllMain(ThisModule(), DLL_PROCESS_ATTACH, nullptr) != 0; }
    ~ModuleAttach()
    {
        if (g_bAttached)
            DllMain(ThisModule(), DLL_PROCESS_DETACH, nullptr);
    }
};
ModuleAttach s_attach;

} // namespace

// A failed attach is a failed load: the host treats a null library as such. So is a library
// record that cannot be made, whatever its constructor throws.
extern "C" KV_PVS_API void* Init_KV_pvsdll()
{
    if (!g_bAttached)
        return nullptr;
    try {
        return new (std::nothrow) CDynLinkLibrary(KV_pvsDLL);
    } catch (...) {
        return nullptr;
    }
}
