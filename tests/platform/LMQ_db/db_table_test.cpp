#include "DBDoc.h"
#include "DBRecords.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

// A read remembers where it found its key; reads in any order, and after the remembered record
// is erased or the table cleared behind its back, still find exactly the records there are.
TEST(DBTable, ReadsFindTheRecordsThereAreWhateverTheOrderAndRemovals)
{
    CDBBase db;
    CClassElem cls(&db);
    auto& table = db.Table<T_ELEM_D>();
    for (unsigned int k = 2; k <= 20; k += 2) {
        T_ELEM_D e;
        e.nType = static_cast<int>(k);
        table[k] = e;
    }
    auto typeOf = [&](unsigned int k) {
        T_ELEM_D e;
        return cls.Get(k, e) ? e.nType : -1;
    };
    for (unsigned int k : std::vector<unsigned int>{2, 4, 6, 6, 20, 3, 18, 2, 21, 0, 8})
        EXPECT_EQ(typeOf(k), k % 2 == 0 && k >= 2 && k <= 20 ? static_cast<int>(k) : -1) << k;
    EXPECT_EQ(typeOf(8), 8);
    table.erase(8); // the record last found
    EXPECT_EQ(typeOf(8), -1);
    EXPECT_EQ(typeOf(10), 10);
    EXPECT_TRUE(cls.Delete(10));
    EXPECT_EQ(typeOf(10), -1);
    EXPECT_EQ(typeOf(12), 12);
    table.clear();
    EXPECT_EQ(typeOf(12), -1);
    T_ELEM_D e;
    e.nType = 7;
    table[12] = e;
    EXPECT_EQ(typeOf(12), 7);
}

// The key list is kept between reads: every way of adding or removing records shows in the
// next list.
TEST(DBTable, KeyListFollowsEveryChange)
{
    CDBBase db;
    CClassElem cls(&db);
    auto& table = db.Table<T_ELEM_D>();
    auto keys = [&] {
        CArray<unsigned int, unsigned int> a;
        cls.GetKeyList(a);
        return std::vector<unsigned int>(a.begin(), a.end());
    };
    auto expected = [&] {
        std::vector<unsigned int> v;
        for (const auto& [k, e] : table)
            v.push_back(k);
        return v;
    };
    T_ELEM_D e;
    table[5] = e;
    EXPECT_EQ(keys(), expected());
    table[5] = e; // no new key
    table[3] = e;
    EXPECT_EQ(keys(), std::vector<unsigned int>({3, 5}));
    table.insert(std::make_pair(9u, e));
    EXPECT_EQ(keys(), expected());
    table.emplace(1u, e);
    EXPECT_EQ(keys(), expected());
    table.try_emplace(7u, e);
    EXPECT_EQ(keys(), expected());
    EXPECT_NE(cls.Add(e), 0u);
    EXPECT_EQ(keys(), expected());
    table.erase(3);
    EXPECT_EQ(keys(), expected());
    CDBRecordMap<T_ELEM_D> other;
    other[2] = e;
    table.merge(other);
    EXPECT_EQ(keys(), expected());
    table.clear();
    EXPECT_TRUE(keys().empty());
}

} // namespace
