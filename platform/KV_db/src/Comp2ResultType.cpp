#include "Comp2ResultType.h"

#include <string>

namespace {
std::map<unsigned, std::string>& ComNames()
{
    static std::map<unsigned, std::string> m;
    return m;
}
} // namespace

CString CWKVRComp2ResultType::GetNameByComID(unsigned int nComID)
{
    const auto it = ComNames().find(nComID);
    if (it != ComNames().end())
        return it->second.c_str();
    CString s;
    s.Format("Component %u", nComID);
    return s;
}

void CWKVRComp2ResultType::SetComName(unsigned int nComID, const char* pszName)
{
    ComNames()[nComID] = pszName ? pszName : "";
}
