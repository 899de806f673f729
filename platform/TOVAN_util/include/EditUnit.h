// Stand-in for the host's unit edit: an edit that shows a number and reads it back. Choice: the
// number is written with "%.10g"; text that is not a number reads as 0, as the host's does.
#pragma once
#include "afxwin.h"

#include <cstdlib>

class CEditUnit : public CEdit {
public:
    void SetEditUnit(double dValue)
    {
        CString s;
        s.Format("%.10g", dValue);
        SetWindowText(s);
    }
    double GetEditValue() const
    {
        CString s;
        GetWindowText(s);
        return std::strtod(s.GetString(), nullptr);
    }
};
