// Stand-in for the host's image push button: a button with a caption and bitmap images for its
// normal and checked look. Choice: images are resource ids kept as state; a redraw is counted.
#pragma once
#include "afxwin.h"

class CCoolButton : public CButton {
public:
    void SetCaption(const char* psz) { SetWindowText(psz); }
    CString GetCaption() const
    {
        CString s;
        GetWindowText(s);
        return s;
    }
    void SetImages(UINT nNormal, UINT nChecked)
    {
        m_nImage = nNormal;
        m_nCheckedImage = nChecked;
    }
    void SetImage(UINT nImage) { m_nImage = nImage; }
    UINT GetImage() const { return m_nImage; }
    UINT GetCheckedImage() const { return m_nCheckedImage; }
    void Redraw() { ++m_nRedraws; }
    int m_nRedraws = 0;

private:
    UINT m_nImage = 0;
    UINT m_nCheckedImage = 0;
};
