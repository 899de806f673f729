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

} // namespace
