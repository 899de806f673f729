// The module's plane-dialog interface: opens the 3-D cutting-plane dialog modeless, once.
#pragma once
#include "core/KVPvsExport.h"

#include "FactoryPVS.h"

struct T_PVIST_PLNE_D;

class KV_PVS_API IPvsDlgImpl : public IPvsDlg {
public:
    IPvsDlgImpl() = default;
    IPvsDlgImpl(const IPvsDlgImpl& src) : IPvsDlg(src) {}
    IPvsDlgImpl& operator=(const IPvsDlgImpl& src)
    {
        IPvsDlg::operator=(src);
        return *this;
    }
    ~IPvsDlgImpl() override = default;

    int DoModelessPVSDefPlane3D(CDialog** ppDlg, T_PVIST_PLNE_D& plane, void* pfnDraw, void* pfnDestroy,
                                int nReserved) override;
    // Plane as an untyped block: 16 bytes not read, then the origin and the normal (3 doubles each).
    int DoModelessPVSDefPlane3D(CDialog** ppDlg, void* pPlane, void* pfnDraw, void* pfnDestroy);

private:
    int OpenPlaneDialog(CDialog** ppDlg, const double dOrigin[3], const double dNormal[3], void* pfnDraw,
                        void* pfnDestroy);
};
