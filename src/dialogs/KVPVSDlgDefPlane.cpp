#include "dialogs/KVPVSDlgDefPlane.h"

#include "dialogs/DialogEntryGuard.h"

IMPLEMENT_DYNAMIC(CKVPVSDlgDefPlane, CGeomDialog)

CKVPVSDlgDefPlane::CKVPVSDlgDefPlane(CZORDocBase* pDoc, CWnd* pParent) : CGeomDialog(IDD, pDoc, pParent) {}

CKVPVSDlgDefPlane::~CKVPVSDlgDefPlane() = default;

void CKVPVSDlgDefPlane::SetNormal(const double dNormal[3])
{
    for (int i = 0; i < 3; ++i)
        m_dNormal[i] = dNormal[i];
}

void CKVPVSDlgDefPlane::SetOrigin(const double dOrigin[3])
{
    for (int i = 0; i < 3; ++i)
        m_dOrigin[i] = dOrigin[i];
}

BOOL CKVPVSDlgDefPlane::Create(CWnd* pParent) { return CDialog::Create(IDD, pParent); }

LRESULT CKVPVSDlgDefPlane::WindowProc(UINT nMsg, WPARAM wParam, LPARAM lParam)
{
    return kvpvs::dialogs::GuardedWindowProc([&] { return CGeomDialog::WindowProc(nMsg, wParam, lParam); });
}

void CKVPVSDlgDefPlane::OnDestroy()
{
    if (m_pfnDestroy)
        m_pfnDestroy(m_dOrigin, m_dNormal);
}
