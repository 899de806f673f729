// Stand-in for the host's output window: GMsgOut appends one message to it, GMsgOutClear empties
// it. Choice: the window is a list of the texts in the order given (the type and window arguments
// are recorded with nothing drawn); the host side reads it through MsgOut_standin.h.
#pragma once
#include "afxwin.h"

// nType 0 is a plain message; pWnd nullptr writes to the host's main output window.
void GMsgOut(const char* pszMsg, int nType = 0, CWnd* pWnd = nullptr);
void GMsgOutClear();
