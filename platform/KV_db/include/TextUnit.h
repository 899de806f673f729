// Stand-in for the host's unit label: a static text that shows the name of the current unit
// of a unit type in the current document's unit system. Choice: without a document or a name
// for the type it shows nothing.
#pragma once
#include "afxwin.h"

class CTextUnit : public CStatic {
    DECLARE_DYNAMIC(CTextUnit)
public:
    void SetUnitType(int nUnitType);
    int GetUnitType() const { return m_nUnitType; }

private:
    int m_nUnitType = 0;
};
