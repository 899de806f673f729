// Stand-in for the host's dialog helpers. CobxUpdateItemWidth widens a combo box's drop list to
// its longest item; choice: the stand-in has no drop list, so it only returns that width (in
// characters, 0 for an empty or missing combo box).
#pragma once
#include "afxwin.h"

class CDlgUtil {
public:
    static int CobxUpdateItemWidth(CComboBox* pCombo)
    {
        int nWidth = 0;
        for (int i = 0; pCombo && i < pCombo->GetCount(); ++i) {
            CString s;
            pCombo->GetLBText(i, s);
            nWidth = s.GetLength() > nWidth ? s.GetLength() : nWidth;
        }
        return nWidth;
    }
};
