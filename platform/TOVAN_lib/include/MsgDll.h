// Stand-in for the host's message-text loader: message-id name to text. Names without a
// registered text come back as the name itself, so a missing text is visible, never empty.
#pragma once
#include "afxstr.h"

class CMsgDll {
public:
    static CString (*pfuncLoadStr)(const char* pszName, int nReserved);
    // Host side: registers the text of a message-id name.
    static void SetText(const char* pszName, const char* pszText);
};
