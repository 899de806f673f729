// Stand-in for the host's unit label: a static control that shows the current unit of a
// quantity type (1 length, 38 ...). Choice: the type is kept; the text stays the template's.
#pragma once
#include "afxwin.h"

class CTextUnit : public CStatic {
    DECLARE_DYNAMIC(CTextUnit)
public:
    void SetUnitType(int nType) { m_nUnitType = nType; }
    int GetUnitType() const { return m_nUnitType; }

private:
    int m_nUnitType = 0;
};
