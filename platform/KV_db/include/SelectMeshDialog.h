// Stand-in for the host's mesh-picking dialog base: while its selection mode is on, what the
// user picks in the view (node keys in mode 1, element keys in mode 2) is highlighted as a
// temporary selection and handed to the dialog's selection callback. Modeless; the object
// frees itself after its window is destroyed. Choices: nothing is drawn; a host or test picks
// through PickMesh.
#pragma once
#include "afxwin.h"

class CSelectMeshDialog : public CDialog {
    DECLARE_DYNAMIC(CSelectMeshDialog)
public:
    CSelectMeshDialog(UINT nIDTemplate, CWnd* pParent) : CDialog(nIDTemplate, pParent) {}
    using CDialog::Create;
    virtual BOOL Create(CWnd* pParent) { return CDialog::Create(m_nIDTemplate, pParent); }

    // 0 off, 1 nodes, 2 elements.
    void SetSelectMode(int nMode) { m_nSelectMode = nMode; }
    int GetSelectMode() const { return m_nSelectMode; }
    // Removes the highlighted temporary selection (the argument asks for a redraw).
    void RemoveAllTemporary(int bRedraw);
    const CArray<unsigned int, unsigned int>& GetTemporarySelection() const { return m_aTemporary; }

    // Host side: the user picks these keys (added to the temporary selection); FALSE (nothing happens) without a window or with
    // the selection mode off.
    BOOL PickMesh(const CArray<unsigned int, unsigned int>& aKeys);

protected:
    // The whole temporary selection after a pick, in pick order (a key picked again is kept
    // once).
    virtual void SelectionCallback(const CArray<unsigned int, unsigned int>& aKeys) {}
    void PostNcDestroy() override { delete this; }
    void OnCancel() override { DestroyWindow(); }

private:
    int m_nSelectMode = 0;
    CArray<unsigned int, unsigned int> m_aTemporary;
};
