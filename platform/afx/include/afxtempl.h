// Stand-ins for the framework's collection templates.
// CArray: dynamic array; SetSize value-initialises (zero-fills) new elements.
// CMap: hash map whose iteration (GetStartPosition/GetNextAssoc) runs in insertion order;
// re-setting an existing key keeps its place. Integral, enum and pointer keys are indexed by a
// hash table (sized by InitHashTable), other keys by an ordered index; neither affects iteration.
#pragma once
#include "afxstr.h"

#include <algorithm>
#include <iterator>
#include <list>
#include <map>
#include <type_traits>
#include <unordered_map>
#include <vector>

struct __POSITION {};
using POSITION = __POSITION*;
#define BEFORE_START_POSITION ((POSITION)-1L)

template <class TYPE, class ARG_TYPE = const TYPE&>
class CArray {
public:
    CArray() = default;
    virtual ~CArray() = default;
    // The framework's array cannot be copied; Copy() is the way.
    CArray(const CArray&) = delete;
    CArray& operator=(const CArray&) = delete;

    int GetSize() const { return static_cast<int>(m_v.size()); }
    int GetCount() const { return GetSize(); }
    int GetUpperBound() const { return GetSize() - 1; }
    BOOL IsEmpty() const { return m_v.empty(); }
    void SetSize(int nNewSize, int /*nGrowBy*/ = -1)
    {
        m_v.resize(nNewSize > 0 ? static_cast<size_t>(nNewSize) : 0);
    }
    void RemoveAll() { m_v.clear(); }
    void FreeExtra() { m_v.shrink_to_fit(); }

    const TYPE& GetAt(int i) const { return m_v.at(static_cast<size_t>(i)); }
    TYPE& GetAt(int i) { return m_v.at(static_cast<size_t>(i)); }
    void SetAt(int i, ARG_TYPE e) { m_v.at(static_cast<size_t>(i)) = e; }
    TYPE& ElementAt(int i) { return m_v.at(static_cast<size_t>(i)); }
    const TYPE& operator[](int i) const { return GetAt(i); }
    TYPE& operator[](int i) { return ElementAt(i); }
    TYPE* GetData() { return m_v.data(); }
    const TYPE* GetData() const { return m_v.data(); }

    void SetAtGrow(int i, ARG_TYPE e)
    {
        if (i >= GetSize())
            SetSize(i + 1);
        m_v[static_cast<size_t>(i)] = e;
    }
    int Add(ARG_TYPE e)
    {
        m_v.push_back(e);
        return GetSize() - 1;
    }
    int Append(const CArray& src)
    {
        int old = GetSize();
        m_v.insert(m_v.end(), src.m_v.begin(), src.m_v.end());
        return old;
    }
    void Copy(const CArray& src)
    {
        if (&src != this)
            m_v = src.m_v;
    }
    void InsertAt(int i, ARG_TYPE e, int nCount = 1)
    {
        if (i > GetSize())
            SetSize(i);
        m_v.insert(m_v.begin() + i, static_cast<size_t>(nCount), e);
    }
    void RemoveAt(int i, int nCount = 1)
    {
        if (i < 0 || nCount <= 0 || i >= GetSize())
            return;
        nCount = std::min(nCount, GetSize() - i);
        m_v.erase(m_v.begin() + i, m_v.begin() + i + nCount);
    }

    typename std::vector<TYPE>::iterator begin() { return m_v.begin(); }
    typename std::vector<TYPE>::iterator end() { return m_v.end(); }
    typename std::vector<TYPE>::const_iterator begin() const { return m_v.begin(); }
    typename std::vector<TYPE>::const_iterator end() const { return m_v.end(); }

private:
    std::vector<TYPE> m_v;
};

class CStringArray : public CArray<CString, const char*> {};
class CUIntArray : public CArray<UINT, UINT> {};
class CDWordArray : public CArray<DWORD, DWORD> {};
class CWordArray : public CArray<WORD, WORD> {};
class CByteArray : public CArray<BYTE, BYTE> {};
class CPtrArray : public CArray<void*, void*> {};

template <class KEY, class ARG_KEY, class VALUE, class ARG_VALUE>
class CMap {
public:
    CMap() = default;
    virtual ~CMap() = default;
    CMap(const CMap&) = delete;
    CMap& operator=(const CMap&) = delete;

    int GetCount() const { return static_cast<int>(m_list.size()); }
    int GetSize() const { return GetCount(); }
    BOOL IsEmpty() const { return m_list.empty(); }
    // The framework sizes its bucket table here; the ordered index needs no buckets.
    void InitHashTable(UINT nHashSize, BOOL bAllocNow = TRUE)
    {
        // Not reserved: callers ask for up to a million slots for maps that stay small.
        m_nHashSize = nHashSize;
        (void)bAllocNow;
    }
    UINT GetHashTableSize() const { return m_nHashSize; }

    BOOL Lookup(ARG_KEY key, VALUE& rValue) const
    {
        auto it = m_index.find(KEY(key));
        if (it == m_index.end())
            return FALSE;
        rValue = it->second->second;
        return TRUE;
    }
    const VALUE* PLookup(ARG_KEY key) const
    {
        auto it = m_index.find(KEY(key));
        return it == m_index.end() ? nullptr : &it->second->second;
    }
    VALUE& operator[](ARG_KEY key)
    {
        auto it = m_index.find(KEY(key));
        if (it != m_index.end())
            return it->second->second;
        m_list.emplace_back(KEY(key), VALUE{});
        auto last = std::prev(m_list.end());
        m_index.emplace(KEY(key), last);
        return last->second;
    }
    void SetAt(ARG_KEY key, ARG_VALUE value) { (*this)[key] = value; }
    BOOL RemoveKey(ARG_KEY key)
    {
        auto it = m_index.find(KEY(key));
        if (it == m_index.end())
            return FALSE;
        m_list.erase(it->second);
        m_index.erase(it);
        return TRUE;
    }
    void RemoveAll()
    {
        m_index.clear();
        m_list.clear();
    }

    POSITION GetStartPosition() const
    {
        return m_list.empty() ? nullptr : ToPosition(&m_list.front());
    }
    void GetNextAssoc(POSITION& rPos, KEY& rKey, VALUE& rValue) const
    {
        const Pair* p = reinterpret_cast<const Pair*>(rPos);
        rKey = p->first;
        rValue = p->second;
        auto it = std::next(typename List::const_iterator(m_index.find(p->first)->second));
        rPos = it == m_list.end() ? nullptr : ToPosition(&*it);
    }

protected:
    using Pair = std::pair<KEY, VALUE>;
    using List = std::list<Pair>;
    static constexpr bool kHashed = std::is_integral_v<KEY> || std::is_enum_v<KEY> || std::is_pointer_v<KEY>;
    using Index = std::conditional_t<kHashed, std::unordered_map<KEY, typename List::iterator>,
                                     std::map<KEY, typename List::iterator>>;
    void CopyFrom(const CMap& src)
    {
        if (&src == this)
            return;
        RemoveAll();
        // Straight into the list: ARG_KEY and ARG_VALUE may be non-const references.
        for (const auto& p : src.m_list) {
            m_list.push_back(p);
            m_index.emplace(p.first, std::prev(m_list.end()));
        }
    }

private:
    static POSITION ToPosition(const Pair* p) { return reinterpret_cast<POSITION>(const_cast<Pair*>(p)); }

    List m_list;
    Index m_index;
    UINT m_nHashSize = 17;
};
