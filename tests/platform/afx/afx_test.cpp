// The framework stand-in's containers, strings and window core, where the module relies on
// their documented behaviour.
#include "afx_standin.h"
#include "MapEx.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

namespace {

TEST(AfxArray, SetSizeZeroFillsAndRemoveAtKeepsOrder)
{
    CArray<double, double> a;
    a.Add(5);
    a.SetSize(4);
    EXPECT_EQ(a[0], 5);
    EXPECT_EQ(a[3], 0.0);
    a[1] = 1;
    a[2] = 2;
    a.RemoveAt(1);
    ASSERT_EQ(a.GetSize(), 3);
    EXPECT_EQ(a[1], 2);
    a.RemoveAt(7); // out of range: nothing
    EXPECT_EQ(a.GetSize(), 3);
    EXPECT_THROW(a.GetAt(3), std::out_of_range);
}

TEST(AfxMap, IteratesInInsertionOrderAndKeepsPlaceOnReset)
{
    CMapEx<int, int, CString, const CString&> m;
    m.SetAt(30, "c");
    m.SetAt(10, "a");
    m.SetAt(20, "b");
    CString again = "A";
    m.SetAt(10, again);
    m.RemoveKey(30);
    m.SetAt(5, "e");
    std::vector<int> keys;
    std::string values;
    for (POSITION pos = m.GetStartPosition(); pos;) {
        int k;
        CString v;
        m.GetNextAssoc(pos, k, v);
        keys.push_back(k);
        values += v.str();
    }
    EXPECT_EQ(keys, (std::vector<int>{10, 20, 5}));
    EXPECT_EQ(values, "Abe");

    CMapEx<int, int, CString, const CString&> copy(m);
    m.RemoveAll();
    CString v;
    EXPECT_TRUE(copy.Lookup(20, v));
    EXPECT_EQ(v, "b");
    EXPECT_EQ(copy.GetCount(), 3);
    EXPECT_FALSE(m.Lookup(20, v));
}

// Many keys through growth, removals and reuse of removed entries, against a plain model of
// the order; a value's address stays while later keys come and go, until RemoveAll.
TEST(AfxMap, KeepsOrderAndReferencesThroughGrowthAndRemovals)
{
    CMap<unsigned int, unsigned int, double, double> m;
    for (int round = 0; round < 2; ++round) {
        double* kept = &m[7];
        *kept = 0.5;
        std::vector<unsigned int> order{7};
        for (unsigned int i = 0; i < 3000; ++i) {
            // Each key comes back, so removals find it; scattered, so that some keys collide.
            unsigned int k = (i * 37) % 1001 + 10;
            k = ((k ^ (k >> 16)) * 0x45d9f3bu) | 8u;
            if (i % 3 == 2) {
                if (m.RemoveKey(k))
                    order.erase(std::find(order.begin(), order.end(), k));
                continue;
            }
            if (!m.PLookup(k))
                order.push_back(k);
            m.SetAt(k, k * 0.25);
        }
        EXPECT_EQ(kept, m.PLookup(7));
        ASSERT_EQ(m.GetCount(), static_cast<int>(order.size()));
        std::size_t at = 0;
        auto* pPair = m.PGetFirstAssoc(); // the same walk without copies, on the entries
        for (POSITION pos = m.GetStartPosition(); pos; ++at, pPair = m.PGetNextAssoc(pPair)) {
            unsigned int k;
            double v;
            m.GetNextAssoc(pos, k, v);
            ASSERT_EQ(k, order[at]);
            EXPECT_EQ(v, k == 7 ? 0.5 : k * 0.25);
            ASSERT_NE(pPair, nullptr);
            EXPECT_EQ(pPair->key, k);
            EXPECT_EQ(&pPair->value, m.PLookup(k));
        }
        EXPECT_EQ(pPair, nullptr);
        m.RemoveAll(); // the second round reuses the storage
        EXPECT_FALSE(m.PLookup(7));
    }
}

TEST(AfxString, FormatHasPrintfSemantics)
{
    CString s;
    s.Format("%-6s|%10.3E|%d", "ab", 12345.678, -7);
    char expected[64];
    std::snprintf(expected, sizeof expected, "%-6s|%10.3E|%d", "ab", 12345.678, -7);
    EXPECT_EQ(s, expected);
    EXPECT_EQ(CString("path/to/model.kvr").ReverseFind('/'), 7);
    EXPECT_EQ(CString("abc").Mid(1, 10), "bc");
    EXPECT_EQ(CString("  x ").Trim(), "x");
}

class Probe : public CWnd {
public:
    explicit Probe(int* destroyed, int* freed) : m_destroyed(destroyed), m_freed(freed) {}

protected:
    void OnDestroy() override { ++*m_destroyed; }
    void PostNcDestroy() override
    {
        ++*m_freed;
        delete this;
    }

private:
    int* m_destroyed;
    int* m_freed;
};

TEST(AfxWindows, DestroyRetiresTheHandleBeforePostNcDestroy)
{
    int destroyed = 0, freed = 0;
    auto* w = new Probe(&destroyed, &freed);
    ASSERT_TRUE(w->CreateWindowCore(nullptr));
    HWND h = w->m_hWnd;
    EXPECT_TRUE(IsWindow(h));
    EXPECT_EQ(CWnd::FromHandle(h), w);
    EXPECT_TRUE(DestroyWindow(h));
    EXPECT_EQ(destroyed, 1);
    EXPECT_EQ(freed, 1);
    EXPECT_FALSE(IsWindow(h));
    EXPECT_FALSE(DestroyWindow(h)) << "a dead handle destroys nothing";
    EXPECT_EQ(freed, 1);
}

TEST(AfxWindows, HandlesAreNeverReused)
{
    CWnd a;
    a.CreateWindowCore(nullptr);
    HWND first = a.m_hWnd;
    a.DestroyWindow();
    a.CreateWindowCore(nullptr);
    EXPECT_NE(a.m_hWnd, first);
    EXPECT_FALSE(IsWindow(first));
}

TEST(AfxWindows, RegisteredMessagesAreStablePerName)
{
    UINT a = RegisterWindowMessage("DMSG_DESIGNCOMMAND_YRP");
    EXPECT_GE(a, 0xC000u);
    EXPECT_EQ(RegisterWindowMessage("DMSG_DESIGNCOMMAND_YRP"), a);
    EXPECT_NE(RegisterWindowMessage("OTHER"), a);
}

} // namespace
