#include "afx_standin.h"

#include <algorithm>
#include <vector>

const CRuntimeClass CObject::classCObject = {"CObject", nullptr};
const CRuntimeClass* CObject::GetRuntimeClass() const { return &classCObject; }

BOOL CRuntimeClass::IsDerivedFrom(const CRuntimeClass* pBase) const
{
    for (const CRuntimeClass* p = this; p; p = p->m_pBaseClass)
        if (p == pBase)
            return TRUE;
    return FALSE;
}

IMPLEMENT_DYNAMIC(CCmdTarget, CObject)
IMPLEMENT_DYNAMIC(CWnd, CCmdTarget)
IMPLEMENT_DYNAMIC(CView, CWnd)
IMPLEMENT_DYNAMIC(CDialog, CWnd)
IMPLEMENT_DYNAMIC(CDynLinkLibrary, CCmdTarget)

CWnd::~CWnd()
{
    // A window object deleted while its handle lives must not leave the handle behind.
    if (m_hWnd)
        Win32UnregisterWindow(m_hWnd);
}

CWnd* CWnd::FromHandle(HWND hWnd) { return static_cast<CWnd*>(Win32WindowObject(hWnd)); }

BOOL CWnd::CreateWindowCore(CWnd* pParent)
{
    if (m_hWnd && IsWindow(m_hWnd))
        return FALSE;
    m_pParent = pParent;
    m_hWnd = Win32RegisterWindow(this, &CWnd::DestroyThunk);
    return TRUE;
}

void CWnd::DestroyThunk(void* p) { static_cast<CWnd*>(p)->DestroyWindow(); }

BOOL CWnd::DestroyWindow()
{
    if (!m_hWnd || !IsWindow(m_hWnd))
        return FALSE;
    OnDestroy();
    Win32UnregisterWindow(m_hWnd);
    m_hWnd = nullptr;
    m_bVisible = FALSE;
    // May delete this object: nothing may touch members afterwards.
    PostNcDestroy();
    return TRUE;
}

BOOL CWnd::ShowWindow(int nCmdShow)
{
    BOOL was = m_bVisible;
    m_bVisible = nCmdShow != SW_HIDE;
    return was;
}

BOOL CDialog::Create(UINT nIDTemplate, CWnd* pParent)
{
    m_nIDTemplate = nIDTemplate;
    m_pParentWnd = pParent;
    if (!CreateWindowCore(pParent))
        return FALSE;
    OnInitDialog();
    return TRUE;
}

namespace {
bool g_failExtensionInit = false;
std::vector<AFX_EXTENSION_MODULE*>& ExtensionChain()
{
    static std::vector<AFX_EXTENSION_MODULE*> chain;
    return chain;
}
// Libraries made for an extension module; released with the module.
std::vector<std::pair<CDynLinkLibrary*, AFX_EXTENSION_MODULE*>>& DynLinkLibraries()
{
    static std::vector<std::pair<CDynLinkLibrary*, AFX_EXTENSION_MODULE*>> libs;
    return libs;
}
} // namespace

void AfxStandInFailExtensionInit(bool bFail) { g_failExtensionInit = bFail; }
int AfxStandInExtensionModuleCount() { return static_cast<int>(ExtensionChain().size()); }
int AfxStandInDynLinkLibraryCount() { return static_cast<int>(DynLinkLibraries().size()); }

BOOL AfxInitExtensionModule(AFX_EXTENSION_MODULE& state, HMODULE hModule)
{
    if (g_failExtensionInit)
        return FALSE;
    if (state.bInitialized)
        return TRUE;
    state.hModule = hModule;
    state.hResource = hModule;
    state.bInitialized = TRUE;
    ExtensionChain().push_back(&state);
    return TRUE;
}

void AfxTermExtensionModule(AFX_EXTENSION_MODULE& state, BOOL)
{
    auto& chain = ExtensionChain();
    chain.erase(std::remove(chain.begin(), chain.end(), &state), chain.end());
    state.bInitialized = FALSE;
    // The framework owns the module's library records and frees them with the module.
    std::vector<CDynLinkLibrary*> owned;
    for (auto& [pLib, pState] : DynLinkLibraries())
        if (pState == &state)
            owned.push_back(pLib);
    for (CDynLinkLibrary* pLib : owned)
        delete pLib;
}

CDynLinkLibrary::CDynLinkLibrary(AFX_EXTENSION_MODULE& state) : m_hModule(state.hModule), m_hResource(state.hResource)
{
    DynLinkLibraries().emplace_back(this, &state);
}

CDynLinkLibrary::~CDynLinkLibrary()
{
    auto& libs = DynLinkLibraries();
    libs.erase(std::remove_if(libs.begin(), libs.end(), [this](const auto& e) { return e.first == this; }), libs.end());
}
