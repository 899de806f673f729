// Stand-in for the host's legend of user-defined displays: a class-wide list of legend lines
// that the host draws under the legend title; displays fill it.
#pragma once
#include "afxtempl.h"

class CPVSLegendObjectUserDefMode {
public:
    static inline CArray<CString, CString&> m_arLegendDesc;
};
