// The 3-D cutting-plane dialog: the user places a plane by origin and normal; the dialog
// calls its draw function with the plane and, when it is destroyed, its destroy function.
#pragma once
#include "frame/core/KVPvsExport.h"

#include "dialogs/DialogControlIds.h"

#include "GeomDialog.h"

class KV_PVS_API CKVPVSDlgDefPlane : public CGeomDialog {
    DECLARE_DYNAMIC(CKVPVSDlgDefPlane)
public:
    enum { IDD = IDD_DEFPLANE };
    using PFN_DRAW = void (*)(double* pOrigin, double* pNormal, int nFlag);
    using PFN_DESTROY = void (*)(double* pOrigin, double* pNormal);

    CKVPVSDlgDefPlane(CZORDocBase* pDoc, CWnd* pParent);
    ~CKVPVSDlgDefPlane() override;

    void SetDrawFunction(PFN_DRAW pfn) { m_pfnDraw = pfn; }
    void SetCalledOnDestoryFunction(PFN_DESTROY pfn) { m_pfnDestroy = pfn; }
    void SetNormal(const double dNormal[3]);
    void SetOrigin(const double dOrigin[3]);
    const double* GetNormal() const { return m_dNormal; }
    const double* GetOrigin() const { return m_dOrigin; }

    BOOL Create(CWnd* pParent) override;

protected:
    LRESULT WindowProc(UINT nMsg, WPARAM wParam, LPARAM lParam) override;
    void OnDestroy() override;

private:
    PFN_DRAW m_pfnDraw = nullptr;
    PFN_DESTROY m_pfnDestroy = nullptr;
    double m_dOrigin[3] = {0, 0, 0};
    double m_dNormal[3] = {0, 0, 1};
};
