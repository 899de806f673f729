// Stand-in for the host's mappers from a result row's item code to its result group.
// Choice: the sample's item codes (samples/SampleSchema.h) map as follows; where the sample's
// codes of two classes coincide (11 to 13), they read as reactions. Displacements 1-10 and 20
// give 0, reactions 11-13 give 2, truss and beam forces 41, 51-56 give 3, plate forces 85-87,
// 91-93 give 4, solid stresses 141-146 give 10; any other code has no group. The host side may
// set further codes (SetResultType).
#pragma once
#include "afxstr.h"

#include <map>

class CTKVRComp2ResultType {
public:
    CTKVRComp2ResultType() = default;
    virtual ~CTKVRComp2ResultType() = default;
    void InitData()
    {
        m_map.clear();
        for (unsigned n = 1; n <= 10; ++n)
            m_map[n] = 0;
        m_map[20] = 0;
        for (unsigned n = 11; n <= 13; ++n)
            m_map[n] = 2;
        m_map[41] = 3;
        for (unsigned n = 51; n <= 56; ++n)
            m_map[n] = 3;
        for (unsigned n : {85u, 86u, 87u, 91u, 92u, 93u})
            m_map[n] = 4;
        for (unsigned n = 141; n <= 146; ++n)
            m_map[n] = 10;
        for (const auto& [item, group] : Extra())
            m_map[item] = group;
    }
    // Nonzero with the group code when the item has a group.
    int GetReusulType(unsigned int nItem, int& rType) const
    {
        const auto it = m_map.find(nItem);
        if (it == m_map.end())
            return 0;
        rType = it->second;
        return 1;
    }
    // Host side: an item code's group for the mappers initialised afterwards; a negative group
    // removes the extra entry.
    static void SetResultType(unsigned int nItem, int nGroup)
    {
        if (nGroup < 0)
            Extra().erase(nItem);
        else
            Extra()[nItem] = nGroup;
    }

private:
    static std::map<unsigned, int>& Extra()
    {
        static std::map<unsigned, int> m;
        return m;
    }
    std::map<unsigned, int> m_map;
};

// The other edition's mapper; same mapping in the stand-in. GetNameByComID: the name of a
// result component id; choice: names set by the host side, else "Component <id>".
class CWKVRComp2ResultType : public CTKVRComp2ResultType {
public:
    static CString GetNameByComID(unsigned int nComID);
    static void SetComName(unsigned int nComID, const char* pszName);
};
