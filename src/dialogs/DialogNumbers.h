// Numbers typed into the result dialogs' edits: read as the framework's atof reads them, and
// kept only when they are finite and, for whole numbers, within int after truncation;
// otherwise the caller's reset value stands.
#pragma once
#include "afxstr.h"

namespace kvpvs::dialogs {

double ParseFinite(const CString& str, double dReset);
int TruncToInt(const CString& str, int nReset);

} // namespace kvpvs::dialogs
