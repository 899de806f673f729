// A map's entries looked up in the order the map was filled: each key is first sought at the
// entry after the last one found, and only then by hash. A result map read for an id list holds
// the ids in list order, so a walk of that list never hashes.
#pragma once

#include "afxtempl.h"

#include <utility>

template <class MAP>
class COrderedLookup {
public:
    explicit COrderedLookup(const MAP& map) : m_map(map), m_pNext(map.PGetFirstAssoc()) {}

    template <class KEY>
    const auto* Find(const KEY& key)
    {
        if (m_pNext && m_pNext->key == key) {
            const auto* pValue = &m_pNext->value;
            m_pNext = m_map.PGetNextAssoc(m_pNext);
            return pValue;
        }
        return m_map.PLookup(key);
    }

private:
    const MAP& m_map;
    decltype(std::declval<const MAP&>().PGetFirstAssoc()) m_pNext;
};
