// The host's list intersection: the keys of the first list found in the second, in the first
// list's order and with its repeats, also when the result replaces the first list.
#include <gtest/gtest.h>

#include "GlobalFunc.h"

#include <vector>

namespace {

void Fill(CArray<unsigned int, unsigned int>& a, const std::vector<unsigned int>& v)
{
    a.RemoveAll();
    for (unsigned int k : v)
        a.Add(k);
}

std::vector<unsigned int> Keys(const CArray<unsigned int, unsigned int>& a)
{
    return std::vector<unsigned int>(a.GetData(), a.GetData() + a.GetSize());
}

TEST(ListIntersection, KeepsTheFirstListsOrderAndRepeats)
{
    CArray<unsigned int, unsigned int> a, b, out, none;
    Fill(a, {9, 3, 7, 3, 1, 4000000000u});
    Fill(b, {4000000000u, 1, 3, 8, 9});
    Fill(out, {5});
    CArrayUtil::IntersectUINT(a, b, out);
    EXPECT_EQ(Keys(out), (std::vector<unsigned int>{9, 3, 3, 1, 4000000000u}));
    CArrayUtil::IntersectUINT(a, b, a);
    EXPECT_EQ(Keys(a), Keys(out));
    CArrayUtil::IntersectUINT(a, none, out);
    EXPECT_EQ(out.GetSize(), 0);
}

} // namespace
