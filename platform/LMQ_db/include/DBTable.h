// Stand-in for the host database's keyed tables: records by unsigned key, keys ascending.
// A table class is connected to a database and reads, writes and deletes its records.
#pragma once
#include "afxtempl.h"

#include <algorithm>
#include <iterator>
#include <map>
#include <memory>
#include <string>
#include <typeinfo>
#include <utility>
#include <vector>

// The records of one table. Lists are mostly read in key order, so Seek remembers where it
// found the last key and tries the entry after it first. Whatever removes entries forgets
// that place; inserting keeps it valid. Keys keeps the key list until an entry comes or goes.
template <class T>
class CDBRecordMap : public std::map<unsigned int, T> {
    using Base = std::map<unsigned int, T>;

public:
    using typename Base::const_iterator;
    using typename Base::iterator;
    using typename Base::size_type;

    CDBRecordMap() = default;
    CDBRecordMap(const CDBRecordMap& o) : Base(o) {}
    CDBRecordMap& operator=(const CDBRecordMap& o)
    {
        Forget();
        Base::operator=(o);
        return *this;
    }
    ~CDBRecordMap() = default;

    // The record of nKey; null when there is none.
    const T* Seek(unsigned int nKey) const
    {
        if (m_bHint) {
            if (m_hint->first == nKey)
                return &m_hint->second;
            if (auto next = std::next(m_hint); next != this->end() && next->first == nKey) {
                m_hint = next;
                return &next->second;
            }
        }
        auto it = this->find(nKey);
        if (it == this->end())
            return nullptr;
        m_hint = it;
        m_bHint = true;
        return &it->second;
    }

    // The keys, ascending.
    const std::vector<unsigned int>& Keys() const
    {
        if (!m_bKeys) {
            m_aKeys.clear();
            m_aKeys.reserve(this->size());
            for (const auto& kv : *this)
                m_aKeys.push_back(kv.first);
            m_bKeys = true;
        }
        return m_aKeys;
    }

    // What can add an entry drops the key list.
    T& operator[](unsigned int nKey)
    {
        const size_type nSize = this->size();
        T& rec = Base::operator[](nKey);
        if (this->size() != nSize)
            m_bKeys = false;
        return rec;
    }
    template <class... A>
    auto insert(A&&... a)
    {
        m_bKeys = false;
        return Base::insert(std::forward<A>(a)...);
    }
    template <class... A>
    auto emplace(A&&... a)
    {
        m_bKeys = false;
        return Base::emplace(std::forward<A>(a)...);
    }
    template <class... A>
    auto emplace_hint(A&&... a)
    {
        m_bKeys = false;
        return Base::emplace_hint(std::forward<A>(a)...);
    }
    template <class... A>
    auto try_emplace(A&&... a)
    {
        m_bKeys = false;
        return Base::try_emplace(std::forward<A>(a)...);
    }
    template <class... A>
    auto insert_or_assign(A&&... a)
    {
        m_bKeys = false;
        return Base::insert_or_assign(std::forward<A>(a)...);
    }

    size_type erase(unsigned int nKey)
    {
        Forget();
        return Base::erase(nKey);
    }
    iterator erase(iterator it)
    {
        Forget();
        return Base::erase(it);
    }
    iterator erase(const_iterator it)
    {
        Forget();
        return Base::erase(it);
    }
    iterator erase(const_iterator first, const_iterator last)
    {
        Forget();
        return Base::erase(first, last);
    }
    void clear() noexcept
    {
        Forget();
        Base::clear();
    }
    void swap(CDBRecordMap& o) noexcept
    {
        Forget();
        o.Forget();
        Base::swap(o);
    }
    auto extract(const_iterator it)
    {
        Forget();
        return Base::extract(it);
    }
    auto extract(unsigned int nKey)
    {
        Forget();
        return Base::extract(nKey);
    }
    void merge(CDBRecordMap& o)
    {
        Forget();
        o.Forget();
        Base::merge(static_cast<Base&>(o));
    }

private:
    void Forget() const noexcept { m_bHint = m_bKeys = false; }
    mutable const_iterator m_hint{};
    mutable bool m_bHint = false;
    mutable std::vector<unsigned int> m_aKeys;
    mutable bool m_bKeys = false;
};

class CDBBase {
public:
    virtual ~CDBBase() = default;
    template <class T>
    CDBRecordMap<T>& Table()
    {
        // Keyed by the type's name, not an address: the module is built with hidden
        // visibility, so a per-type static would not be one object across libraries. The
        // last table found is remembered by its name's address: a read asks for one table
        // many times in a row, and one address is one name.
        const char* pName = typeid(T).name();
        if (pName != m_pLastName) {
            auto& slot = m_tables[pName];
            if (!slot)
                slot = std::make_shared<Holder<T>>();
            m_pLast = slot.get();
            m_pLastName = pName;
        }
        return static_cast<Holder<T>*>(m_pLast)->records;
    }

private:
    struct HolderBase {
        virtual ~HolderBase() = default;
    };
    template <class T>
    struct Holder : HolderBase {
        CDBRecordMap<T> records;
    };
    std::map<std::string, std::shared_ptr<HolderBase>> m_tables;
    const char* m_pLastName = nullptr;
    HolderBase* m_pLast = nullptr;
};

template <class T>
class CDBTable {
public:
    CDBTable() = default;
    explicit CDBTable(CDBBase* pDB) : m_pDB(pDB) {}
    void Connect(CDBBase* pDB) { m_pDB = pDB; }
    BOOL IsConnected() const { return m_pDB != nullptr; }

    BOOL Get(unsigned int nKey, T& rec) const
    {
        if (!m_pDB)
            return FALSE;
        const T* p = m_pDB->Table<T>().Seek(nKey);
        if (!p)
            return FALSE;
        rec = *p;
        return TRUE;
    }
    BOOL Exist(unsigned int nKey) const { return m_pDB && m_pDB->Table<T>().count(nKey) != 0; }
    BOOL Set(unsigned int nKey, const T& rec)
    {
        if (!m_pDB || nKey == 0)
            return FALSE;
        m_pDB->Table<T>()[nKey] = rec;
        return TRUE;
    }
    // The key Add would give now (largest + 1, 1 for an empty table); 0 when not connected.
    unsigned int GetNewKey() const
    {
        if (!m_pDB)
            return 0;
        auto& t = m_pDB->Table<T>();
        return t.empty() ? 1u : t.rbegin()->first + 1u;
    }
    // Adds under the next free key (largest + 1); returns the key, 0 when not connected.
    unsigned int Add(const T& rec)
    {
        if (!m_pDB)
            return 0;
        const unsigned int k = GetNewKey();
        m_pDB->Table<T>()[k] = rec;
        return k;
    }
    BOOL Delete(unsigned int nKey) { return m_pDB && m_pDB->Table<T>().erase(nKey) != 0; }
    int GetCount() const { return m_pDB ? static_cast<int>(m_pDB->Table<T>().size()) : 0; }
    void GetKeyList(CArray<unsigned int, unsigned int>& aKeys) const
    {
        aKeys.RemoveAll();
        if (!m_pDB)
            return;
        const std::vector<unsigned int>& keys = m_pDB->Table<T>().Keys();
        aKeys.SetSize(static_cast<int>(keys.size()));
        std::copy(keys.begin(), keys.end(), aKeys.GetData());
    }

protected:
    CDBBase* m_pDB = nullptr;
};
