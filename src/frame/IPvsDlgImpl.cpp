#include "frame/IPvsDlgImpl.h"

#include "dialogs/KVPVSDlgDefPlane.h"

#include "DBDoc.h"
#include "PVSMeshMngrBrdg.h"

#include <cstring>
#include <map>

namespace {

// Plane dialogs opened here, by the handle of their window. "Already open" is decided from
// this registry and the live-window registry, never by reading through the caller's pointer:
// a modeless dialog frees itself when its window is destroyed.
std::map<CDialog*, HWND>& OpenedDialogs()
{
    static std::map<CDialog*, HWND> opened;
    return opened;
}

bool StillOpen(CDialog* pDlg)
{
    auto& opened = OpenedDialogs();
    auto it = opened.find(pDlg);
    if (it == opened.end())
        return false;
    if (IsWindow(it->second) && CWnd::FromHandle(it->second) == pDlg)
        return true;
    opened.erase(it);
    return false;
}

} // namespace

int IPvsDlgImpl::DoModelessPVSDefPlane3D(CDialog** ppDlg, T_PVIST_PLNE_D& plane, void* pfnDraw, void* pfnDestroy,
                                         int)
{
    // An entry of the module: whatever escapes the opening gives the failure value.
    try {
        return OpenPlaneDialog(ppDlg, plane.dOrigin, plane.dNormal, pfnDraw, pfnDestroy);
    } catch (...) {
        return 0;
    }
}

int IPvsDlgImpl::DoModelessPVSDefPlane3D(CDialog** ppDlg, void* pPlane, void* pfnDraw, void* pfnDestroy)
{
    if (!pPlane)
        return 0;
    double dOrigin[3], dNormal[3];
    const char* p = static_cast<const char*>(pPlane);
    std::memcpy(dOrigin, p + 16, sizeof dOrigin);
    std::memcpy(dNormal, p + 16 + sizeof dOrigin, sizeof dNormal);
    try {
        return OpenPlaneDialog(ppDlg, dOrigin, dNormal, pfnDraw, pfnDestroy);
    } catch (...) {
        return 0;
    }
}

int IPvsDlgImpl::OpenPlaneDialog(CDialog** ppDlg, const double dOrigin[3], const double dNormal[3], void* pfnDraw,
                                 void* pfnDestroy)
{
    if (ppDlg && *ppDlg && StillOpen(*ppDlg))
        return 0;
    CDBDoc* pDoc = CDBDoc::GetDocPoint();
    if (!pDoc)
        return 0;
    CPVSMeshMngrBrdg* pBridge = CPVSMeshMngrBrdg::GetMySelf();
    if (!pBridge)
        return 0;
    CWnd* pParent = pBridge->GetWnd();

    // The registry's entry is made before the window, so that nothing can fail once it shows.
    auto& opened = OpenedDialogs();
    auto* pDlg = new CKVPVSDlgDefPlane(pDoc, pParent);
    auto slot = opened.end();
    try {
        slot = opened.emplace(pDlg, nullptr).first;
        pDlg->SetDrawFunction(reinterpret_cast<CKVPVSDlgDefPlane::PFN_DRAW>(pfnDraw));
        pDlg->SetNormal(dNormal);
        pDlg->SetOrigin(dOrigin);
        if (!pDlg->Create(pParent)) {
            opened.erase(slot);
            delete pDlg;
            return 0;
        }
    } catch (...) {
        // A failed opening leaves no window, no entry and no call of the caller's destroy
        // function, which is set only once the dialog stands.
        if (slot != opened.end())
            opened.erase(slot);
        if (pDlg->m_hWnd && IsWindow(pDlg->m_hWnd))
            pDlg->DestroyWindow(); // frees the object
        else
            delete pDlg;
        throw;
    }
    pDlg->SetCalledOnDestoryFunction(reinterpret_cast<CKVPVSDlgDefPlane::PFN_DESTROY>(pfnDestroy));
    slot->second = pDlg->m_hWnd;
    pDlg->ShowWindow(SW_SHOW);
    if (ppDlg)
        *ppDlg = pDlg;
    return 1;
}
