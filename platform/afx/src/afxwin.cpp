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
int g_dynLinkLibraries = 0;
} // namespace

void AfxStandInFailExtensionInit(bool bFail) { g_failExtensionInit = bFail; }
int AfxStandInExtensionModuleCount() { return static_cast<int>(ExtensionChain().size()); }
int AfxStandInDynLinkLibraryCount() { return g_dynLinkLibraries; }

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
}

CDynLinkLibrary::CDynLinkLibrary(AFX_EXTENSION_MODULE& state) : m_hModule(state.hModule), m_hResource(state.hResource)
{
    ++g_dynLinkLibraries;
}

CDynLinkLibrary::~CDynLinkLibrary() { --g_dynLinkLibraries; }
