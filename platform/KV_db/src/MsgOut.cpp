#include "MsgOut.h"

#include <string>
#include <vector>

namespace {
std::vector<std::string>& Lines()
{
    static std::vector<std::string> lines;
    return lines;
}
} // namespace

void GMsgOut(const char* pszText) { Lines().emplace_back(pszText ? pszText : ""); }

int GMsgOutCount() { return static_cast<int>(Lines().size()); }

const char* GMsgOutAt(int i)
{
    if (i < 0 || i >= GMsgOutCount())
        return nullptr;
    return Lines()[static_cast<size_t>(i)].c_str();
}

void GMsgOutClear() { Lines().clear(); }
