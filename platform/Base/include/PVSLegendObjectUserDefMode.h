// Stand-in for the host's legend of user-defined displays: a class-wide list of legend lines
// that the host draws under the legend title; displays fill it.
#pragma once
#include "afxtempl.h"

class CPVSLegendObjectUserDefMode {
public:
    // One list in the host library, shared by the host and every module.
    static CArray<CString, CString&> m_arLegendDesc;
};
