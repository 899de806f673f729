// Stand-in for the run-time library's file access test: 0 when the path exists (mode 0) or
// allows the access asked (2 write, 4 read, 6 both), else -1. Backslashes separate folders.
#pragma once

int _access(const char* pszPath, int nMode);
