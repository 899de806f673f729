// Numbers typed into the result dialogs' edits: read as the framework's atof reads them, and
// kept only when they are finite and, for whole numbers, within int after truncation;
// otherwise the caller's reset value stands. Numbers a dialog writes for reading back are
// written with the digits they need to read back exactly.
#pragma once
#include "afxstr.h"

namespace kvpvs::dialogs {

double ParseFinite(const CString& str, double dReset);
int TruncToInt(const CString& str, int nReset);
// "%g" where that reads back as d, otherwise the fewest more digits ("%.7g" .. "%.17g") that
// do: 25 stays "25", 5123456.789 is no longer "5.12346e+06".
CString FormatRoundTrip(double d);

} // namespace kvpvs::dialogs
