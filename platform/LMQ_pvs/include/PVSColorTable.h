// Stand-in for the host's colour table of contour displays.
#pragma once
#include "afxwin.h"

class CPVSColorTableBase : public CObject {
    DECLARE_DYNAMIC(CPVSColorTableBase)
public:
    explicit CPVSColorTableBase(unsigned int nKey = 0) : m_nKey(nKey) {}
    unsigned int GetKey() const { return m_nKey; }

private:
    unsigned int m_nKey;
};
