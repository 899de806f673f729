#include "SelectMeshDialog.h"

IMPLEMENT_DYNAMIC(CSelectMeshDialog, CDialog)

void CSelectMeshDialog::RemoveAllTemporary(int) { m_aTemporary.RemoveAll(); }

BOOL CSelectMeshDialog::PickMesh(const CArray<unsigned int, unsigned int>& aKeys)
{
    if (!IsWindow(m_hWnd) || m_nSelectMode == 0)
        return FALSE;
    for (int i = 0; i < aKeys.GetSize(); ++i) {
        bool bHeld = false;
        for (int j = 0; j < m_aTemporary.GetSize() && !bHeld; ++j)
            bHeld = m_aTemporary[j] == aKeys[i];
        if (!bHeld)
            m_aTemporary.Add(aKeys[i]);
    }
    CArray<unsigned int, unsigned int> a;
    a.Copy(m_aTemporary);
    SelectionCallback(a);
    return TRUE;
}
