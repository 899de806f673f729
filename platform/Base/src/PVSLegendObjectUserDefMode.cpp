#include "PVSLegendObjectUserDefMode.h"

CArray<CString, CString&> CPVSLegendObjectUserDefMode::m_arLegendDesc;
