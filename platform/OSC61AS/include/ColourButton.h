// Stand-in for the closed control library's colour-picker button: a push button that shows and
// lets the user pick a colour. Choice: the colour is plain state; a test or host sets it.
#pragma once
#include "afxwin.h"

class CColourButton : public CButton {
public:
    void SetColour(COLORREF c) { m_nColour = c; }
    COLORREF GetColour() const { return m_nColour; }

private:
    COLORREF m_nColour = 0;
};
