// Stand-ins for the framework's collection templates.
// CArray: dynamic array; SetSize value-initialises (zero-fills) new elements.
// CMap: hash map whose iteration (GetStartPosition/GetNextAssoc) runs in insertion order;
// re-setting an existing key keeps its place; a reference to a value stays valid until its
// key is removed. Integral, enum and pointer keys are indexed by a hash table, other keys by an
// ordered index; neither affects iteration.
#pragma once
#include "afxstr.h"

#include <algorithm>
#include <bit>
#include <cstddef>
#include <cstdint>
#include <map>
#include <memory>
#include <type_traits>
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
    struct Node;

public:
    // An entry as PGetFirstAssoc and PGetNextAssoc hand it out.
    class CPair {
    public:
        const KEY key;
        VALUE value;

    protected:
        // No arguments: the value is value-initialised.
        template <class... Args>
        explicit CPair(const KEY& k, const Args&... args) : key(k), value(args...)
        {
        }
        ~CPair() = default;
    };

    CMap() = default;
    virtual ~CMap()
    {
        DestroyNodes();
        for (const Chunk& c : m_chunks)
            std::allocator<Slot>().deallocate(c.slots, c.count);
    }
    CMap(const CMap&) = delete;
    CMap& operator=(const CMap&) = delete;

    int GetCount() const { return static_cast<int>(m_nCount); }
    int GetSize() const { return GetCount(); }
    BOOL IsEmpty() const { return m_nCount == 0; }
    // The framework sizes its bucket table here; the index grows with the entries instead.
    void InitHashTable(UINT nHashSize, BOOL bAllocNow = TRUE)
    {
        // Not reserved: callers ask for up to a million slots for maps that stay small.
        m_nHashSize = nHashSize;
        (void)bAllocNow;
    }
    UINT GetHashTableSize() const { return m_nHashSize; }

    BOOL Lookup(ARG_KEY key, VALUE& rValue) const
    {
        const Node* n = Find(KEY(key));
        if (!n)
            return FALSE;
        rValue = n->value;
        return TRUE;
    }
    const VALUE* PLookup(ARG_KEY key) const
    {
        const Node* n = Find(KEY(key));
        return n ? &n->value : nullptr;
    }
    VALUE& operator[](ARG_KEY key)
    {
        const KEY k(key);
        if (Node* n = Find(k))
            return n->value;
        return Insert(k)->value;
    }
    void SetAt(ARG_KEY key, ARG_VALUE value) { (*this)[key] = value; }
    BOOL RemoveKey(ARG_KEY key)
    {
        const KEY k(key);
        Node* n = nullptr;
        if constexpr (kHashed) {
            if (m_slots.empty())
                return FALSE;
            std::size_t i = HashSlot(k);
            while ((n = m_slots[i]) != nullptr && (n == Tombstone() || !(n->key == k)))
                i = (i + 1) & (m_slots.size() - 1);
            if (!n)
                return FALSE;
            m_slots[i] = Tombstone();
            ++m_nTombstones;
        } else {
            auto it = m_tree.find(k);
            if (it == m_tree.end())
                return FALSE;
            n = it->second;
            m_tree.erase(it);
        }
        Unlink(n);
        return TRUE;
    }
    // The entries go; their storage stays for the next ones.
    void RemoveAll()
    {
        DestroyNodes();
        m_pHead = m_pTail = nullptr;
        m_nCount = 0;
        m_pFree = nullptr;
        m_nUsedInChunk = 0;
        m_nChunk = 0;
        if constexpr (kHashed) {
            std::fill(m_slots.begin(), m_slots.end(), nullptr);
            m_nTombstones = 0;
        } else {
            m_tree.clear();
        }
    }

    POSITION GetStartPosition() const { return ToPosition(m_pHead); }
    void GetNextAssoc(POSITION& rPos, KEY& rKey, VALUE& rValue) const
    {
        const Node* n = reinterpret_cast<const Node*>(rPos);
        rKey = n->key;
        rValue = n->value;
        rPos = ToPosition(n->next);
    }
    // The entries in order without copying them; null after the last.
    CPair* PGetFirstAssoc() { return m_pHead; }
    const CPair* PGetFirstAssoc() const { return m_pHead; }
    CPair* PGetNextAssoc(const CPair* pPair) { return pPair ? static_cast<const Node*>(pPair)->next : nullptr; }
    const CPair* PGetNextAssoc(const CPair* pPair) const
    {
        return pPair ? static_cast<const Node*>(pPair)->next : nullptr;
    }

protected:
    static constexpr bool kHashed = std::is_integral_v<KEY> || std::is_enum_v<KEY> || std::is_pointer_v<KEY>;
    void CopyFrom(const CMap& src)
    {
        if (&src == this)
            return;
        RemoveAll();
        // Straight into the nodes: ARG_KEY and ARG_VALUE may be non-const references.
        for (const Node* n = src.m_pHead; n; n = n->next)
            Insert(n->key, n->value);
    }

private:
    // Entries live in chunks that never move, so that a reference into the map stays valid
    // across later inserts; a list through them keeps the insertion order.
    struct Node : CPair {
        template <class... Args>
        explicit Node(const KEY& k, const Args&... args) : CPair(k, args...)
        {
        }
        Node* prev = nullptr;
        Node* next = nullptr;
    };
    // Room for one entry; a free one links to the next free one.
    struct Free {
        Free* next;
    };
    struct alignas(Node) alignas(Free) Slot {
        unsigned char bytes[std::max(sizeof(Node), sizeof(Free))];
    };
    struct Chunk {
        Slot* slots;
        std::size_t count;
    };
    static constexpr std::size_t kFirstChunk = 8;
    static constexpr std::size_t kLargestChunk = 1024;

    static POSITION ToPosition(const Node* n) { return reinterpret_cast<POSITION>(const_cast<Node*>(n)); }
    static Node* Tombstone() { return reinterpret_cast<Node*>(alignof(Node)); }

    std::size_t HashSlot(const KEY& k) const
    {
        std::uint64_t h;
        if constexpr (std::is_pointer_v<KEY>)
            h = static_cast<std::uint64_t>(reinterpret_cast<std::uintptr_t>(k));
        else if constexpr (std::is_enum_v<KEY>)
            h = static_cast<std::uint64_t>(static_cast<std::underlying_type_t<KEY>>(k));
        else
            h = static_cast<std::uint64_t>(k);
        h *= 0x9E3779B97F4A7C15ULL;
        return static_cast<std::size_t>(h >> 32) & (m_slots.size() - 1);
    }

    Node* Find(const KEY& k) const
    {
        if constexpr (kHashed) {
            if (m_slots.empty())
                return nullptr;
            for (std::size_t i = HashSlot(k);; i = (i + 1) & (m_slots.size() - 1)) {
                Node* n = m_slots[i];
                if (!n)
                    return nullptr;
                if (n != Tombstone() && n->key == k)
                    return n;
            }
        } else {
            auto it = m_tree.find(k);
            return it == m_tree.end() ? nullptr : it->second;
        }
    }

    // A new entry of a key not in the map, its value made from args (none: value-initialised),
    // last in the order.
    template <class... Args>
    Node* Insert(const KEY& k, const Args&... args)
    {
        if constexpr (kHashed) {
            // Entries and tombstones fill at most half the slots.
            if (2 * (m_nCount + m_nTombstones + 1) > m_slots.size())
                Rehash(std::max<std::size_t>(16, std::bit_ceil(4 * (m_nCount + 1))));
        }
        Slot* pSlot = Allocate();
        Node* n = nullptr;
        try {
            n = ::new (static_cast<void*>(pSlot)) Node(k, args...);
        } catch (...) {
            Release(pSlot);
            throw;
        }
        if constexpr (kHashed) {
            std::size_t i = HashSlot(k);
            while (m_slots[i] != nullptr && m_slots[i] != Tombstone())
                i = (i + 1) & (m_slots.size() - 1);
            if (m_slots[i] == Tombstone())
                --m_nTombstones;
            m_slots[i] = n;
        } else {
            try {
                m_tree.emplace(k, n);
            } catch (...) {
                std::destroy_at(n);
                Release(reinterpret_cast<Slot*>(n));
                throw;
            }
        }
        n->prev = m_pTail;
        n->next = nullptr;
        (m_pTail ? m_pTail->next : m_pHead) = n;
        m_pTail = n;
        ++m_nCount;
        return n;
    }

    void Rehash(std::size_t nSlots)
    {
        std::vector<Node*> slots(nSlots, nullptr);
        m_slots.swap(slots);
        m_nTombstones = 0;
        for (Node* n = m_pHead; n; n = n->next) {
            std::size_t i = HashSlot(n->key);
            while (m_slots[i])
                i = (i + 1) & (m_slots.size() - 1);
            m_slots[i] = n;
        }
    }

    void Unlink(Node* n)
    {
        (n->prev ? n->prev->next : m_pHead) = n->next;
        (n->next ? n->next->prev : m_pTail) = n->prev;
        std::destroy_at(n);
        --m_nCount;
        Release(reinterpret_cast<Slot*>(n));
    }

    Slot* Allocate()
    {
        if (m_pFree) {
            Free* f = m_pFree;
            m_pFree = f->next;
            std::destroy_at(f);
            return reinterpret_cast<Slot*>(f);
        }
        if (m_nChunk == m_chunks.size() || m_nUsedInChunk == m_chunks[m_nChunk].count) {
            if (m_nChunk < m_chunks.size())
                ++m_nChunk;
            m_nUsedInChunk = 0;
            if (m_nChunk == m_chunks.size()) {
                const std::size_t count =
                    m_chunks.empty() ? kFirstChunk : std::min(2 * m_chunks.back().count, kLargestChunk);
                m_chunks.reserve(m_chunks.size() + 1);
                m_chunks.push_back({std::allocator<Slot>().allocate(count), count});
            }
        }
        return &m_chunks[m_nChunk].slots[m_nUsedInChunk++];
    }
    // The slot's entry is gone: its room goes to the free list.
    void Release(Slot* pSlot) { m_pFree = ::new (static_cast<void*>(pSlot)) Free{m_pFree}; }

    void DestroyNodes()
    {
        for (Node* n = m_pHead; n;) {
            Node* pNext = n->next;
            std::destroy_at(n);
            n = pNext;
        }
    }

    std::vector<Chunk> m_chunks;
    std::size_t m_nChunk = 0;       // the chunk new entries come from
    std::size_t m_nUsedInChunk = 0; // its entries handed out
    Free* m_pFree = nullptr;        // rooms of removed entries, for reuse
    Node* m_pHead = nullptr;
    Node* m_pTail = nullptr;
    std::size_t m_nCount = 0;
    std::vector<Node*> m_slots; // integral keys: open addressing, linear probing
    std::size_t m_nTombstones = 0;
    std::conditional_t<kHashed, char, std::map<KEY, Node*>> m_tree; // other keys
    UINT m_nHashSize = 17;
};
