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
    return OpenPlaneDialog(ppDlg, plane.dOrigin, plane.dNormal, pfnDraw, pfnDestroy);
}

int IPvsDlgImpl::DoModelessPVSDefPlane3D(CDialog** ppDlg, void* pPlane, void* pfnDraw, void* pfnDestroy)
{
    if (!pPlane)
        return 0;
    double dOrigin[3], dNormal[3];
    const char* p = static_cast<const char*>(pPlane);
    std::memcpy(dOrigin, p + 16, sizeof dOrigin);
    std::memcpy(dNormal, p + 16 + sizeof dOrigin, sizeof dNormal);
    return OpenPlaneDialog(ppDlg, dOrigin, dNormal, pfnDraw, pfnDestroy);
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

    auto* pDlg = new CKVPVSDlgDefPlane(pDoc, pParent);
    pDlg->SetDrawFunction(reinterpret_cast<CKVPVSDlgDefPlane::PFN_DRAW>(pfnDraw));
    pDlg->SetCalledOnDestoryFunction(reinterpret_cast<CKVPVSDlgDefPlane::PFN_DESTROY>(pfnDestroy));
    pDlg->SetNormal(dNormal);
    pDlg->SetOrigin(dOrigin);
    if (!pDlg->Create(pParent)) {
        delete pDlg;
        return 0;
    }
    pDlg->ShowWindow(SW_SHOW);
    OpenedDialogs()[pDlg] = pDlg->m_hWnd;
    if (ppDlg)
        *ppDlg = pDlg;
    return 1;
}
