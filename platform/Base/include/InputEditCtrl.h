// Stand-in for the host's 3-D point edit: an edit that shows a point as "x, y, z". Choices:
// with unit type 1 (length) it shows output units of the current document's unit control and
// gives back model units; a text that is not three numbers reads as no point.
#pragma once
#include "afxwin.h"

class CInputEditCtrl : public CEdit {
    DECLARE_DYNAMIC(CInputEditCtrl)
public:
    void SetUnitType(int n) { m_nUnitType = n; }
    void SetMode(int n) { m_nMode = n; }
    int GetUnitType() const { return m_nUnitType; }
    void SetPoint(double x, double y, double z);
    void SetPoint(const double p[3]) { SetPoint(p[0], p[1], p[2]); }
    // FALSE, and p zero, when the text is not three numbers.
    BOOL GetPoint(double p[3]) const;

private:
    int m_nUnitType = 0;
    int m_nMode = 0;
};
