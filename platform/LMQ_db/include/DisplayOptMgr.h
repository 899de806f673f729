// Stand-in for the host's display options: per label option number whether the label is shown,
// its colour (0x00BBGGRR) and size. Choice: option 216 (grids of trial slip-circle centres) is
// available from the start, shown in blue; the host may set or remove options.
#pragma once
#include "afxtempl.h"

#include <map>

struct T_DISPLAYOPTION_LABEL {
    int bShow = 1;
    unsigned int nColor = 0x00000000;
    int nSize = 1;
};

class CDisplayOptMgr {
public:
    static CDisplayOptMgr* Instance()
    {
        static CDisplayOptMgr s;
        return &s;
    }
    // Nonzero when the option exists.
    int GetLabelOpt(int nOption, T_DISPLAYOPTION_LABEL& opt) const
    {
        auto it = m_label.find(nOption);
        if (it == m_label.end())
            return 0;
        opt = it->second;
        return 1;
    }
    void SetLabelOpt(int nOption, const T_DISPLAYOPTION_LABEL& opt) { m_label[nOption] = opt; }
    void RemoveLabelOpt(int nOption) { m_label.erase(nOption); }

private:
    CDisplayOptMgr() { m_label[216] = T_DISPLAYOPTION_LABEL{1, 0x00FF0000, 1}; }
    std::map<int, T_DISPLAYOPTION_LABEL> m_label;
};
