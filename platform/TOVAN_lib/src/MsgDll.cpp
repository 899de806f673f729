#include "MsgDll.h"

#include <map>
#include <string>

namespace {
std::map<std::string, std::string>& Texts()
{
    static std::map<std::string, std::string> texts;
    return texts;
}

CString LoadStr(const char* pszName, int)
{
    if (pszName == nullptr)
        return CString();
    auto it = Texts().find(pszName);
    return CString(it == Texts().end() ? pszName : it->second.c_str());
}
} // namespace

CString (*CMsgDll::pfuncLoadStr)(const char*, int) = &LoadStr;

void CMsgDll::SetText(const char* pszName, const char* pszText) { Texts()[pszName] = pszText ? pszText : ""; }
