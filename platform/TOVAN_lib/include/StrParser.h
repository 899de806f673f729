// Stand-in for the host's text parser. GetINumber: the integer that the text's first run of
// digits (with a sign just before it) spells; 0 when the text has no digit. Choice: a run too
// long for an int gives 0.
#pragma once

class CStrParser {
public:
    static int GetINumber(const char* pszText);
};
