// The observer channel: registration, priority order of the broadcast, and listeners that
// change the registry while it runs.
#include "core/NotifyListener.h"

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace {

std::vector<std::string> g_calls;

class Recorder : public CDataUpdateConnector {
public:
    explicit Recorder(std::string name, int priority = 0) : m_name(std::move(name)) { SetPriority(priority); }
    void OnUpdateData(int index, T_LCLDIR_PLNE_KVR_D& plane, CPointInfoMap& points, CPlateCellInfoMap& plates,
                      CSolidCellInfoMap& solids, T_FORCESUM_D& sum) override
    {
        g_calls.push_back(m_name);
        lastIndex = index;
        lastPlane = &plane;
        lastSum = &sum;
        lastPointCount = points.GetCount();
        if (onCall)
            onCall();
    }
    std::string m_name;
    std::function<void()> onCall;
    int lastIndex = -1;
    T_LCLDIR_PLNE_KVR_D* lastPlane = nullptr;
    T_FORCESUM_D* lastSum = nullptr;
    int lastPointCount = -1;
};

class ObserverTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        g_calls.clear();
        ASSERT_EQ(CNotifyListener::GetCount(), 0);
    }
    void Broadcast(int index = 0)
    {
        CNotifyListener::NotifyUpdate(index, plane, points, plates, solids, sum);
    }
    T_LCLDIR_PLNE_KVR_D plane;
    CPointInfoMap points;
    CPlateCellInfoMap plates;
    CSolidCellInfoMap solids;
    T_FORCESUM_D sum;
};

TEST_F(ObserverTest, EmptyRegistryCallsNothing)
{
    Broadcast();
    EXPECT_TRUE(g_calls.empty());
}

TEST_F(ObserverTest, OneConnectorGetsTheSenderArgumentsUnchanged)
{
    Recorder r("a");
    T_POINT_D pt{1, 2, 3};
    points.SetAt(0, pt);
    Broadcast(4);
    ASSERT_EQ(g_calls, std::vector<std::string>{"a"});
    EXPECT_EQ(r.lastIndex, 4);
    EXPECT_EQ(r.lastPlane, &plane);
    EXPECT_EQ(r.lastSum, &sum);
    EXPECT_EQ(r.lastPointCount, 1);
}

TEST_F(ObserverTest, HighestPriorityFirstThenMostRecentlyConnected)
{
    Recorder a("a", 0), b("b", 5), c("c", 0), d("d", 5), e("e", -1);
    Broadcast();
    EXPECT_EQ(g_calls, (std::vector<std::string>{"d", "b", "c", "a", "e"}));
}

TEST_F(ObserverTest, ConnectIsIdempotentAndDestructionDisconnects)
{
    {
        Recorder r("a");
        r.Connect();
        r.Connect();
        EXPECT_EQ(CNotifyListener::GetCount(), 1);
        r.Disconnect();
        r.Disconnect();
        EXPECT_EQ(CNotifyListener::GetCount(), 0);
        r.Connect();
        EXPECT_EQ(CNotifyListener::GetCount(), 1);
    }
    EXPECT_EQ(CNotifyListener::GetCount(), 0);
}

TEST_F(ObserverTest, RegistryKeepsOrderAfterRemovingAMiddleEntry)
{
    Recorder a("a"), b("b"), c("c");
    EXPECT_EQ(CNotifyListener::Find(&c), 2);
    b.Disconnect();
    EXPECT_EQ(CNotifyListener::Find(&a), 0);
    EXPECT_EQ(CNotifyListener::Find(&b), -1);
    EXPECT_EQ(CNotifyListener::Find(&c), 1);
    CNotifyListener::Del(&b); // not registered: nothing changes
    CNotifyListener::Add(&a); // already registered: nothing changes
    EXPECT_EQ(CNotifyListener::GetCount(), 2);
}

TEST_F(ObserverTest, ListenerDestroyingALaterOneSkipsIt)
{
    auto later = std::make_unique<Recorder>("later", 0);
    Recorder first("first", 1);
    first.onCall = [&] { later.reset(); };
    Broadcast();
    EXPECT_EQ(g_calls, std::vector<std::string>{"first"});
}

TEST_F(ObserverTest, ConnectorMadeDuringABroadcastWaitsForTheNext)
{
    std::unique_ptr<Recorder> made;
    Recorder maker("maker");
    maker.onCall = [&] {
        if (!made)
            made = std::make_unique<Recorder>("made", 9);
    };
    Broadcast();
    EXPECT_EQ(g_calls, std::vector<std::string>{"maker"});
    g_calls.clear();
    Broadcast();
    EXPECT_EQ(g_calls, (std::vector<std::string>{"made", "maker"}));
}

TEST_F(ObserverTest, RemoveAndAddInOneCallStillSkipsTheRemoved)
{
    // The registry's size is unchanged afterwards: the removed one must not be called.
    auto victim = std::make_unique<Recorder>("victim", 0);
    std::unique_ptr<Recorder> replacement;
    Recorder swapper("swapper", 1);
    swapper.onCall = [&] {
        if (victim) {
            victim.reset();
            replacement = std::make_unique<Recorder>("replacement", 0);
        }
    };
    Broadcast();
    EXPECT_EQ(g_calls, std::vector<std::string>{"swapper"});
}

TEST_F(ObserverTest, ListenerRemovingItselfLetsTheOthersRun)
{
    auto self = std::make_unique<Recorder>("self", 3);
    Recorder other("other", 1);
    self->onCall = [&] { self->Disconnect(); };
    Broadcast();
    EXPECT_EQ(g_calls, (std::vector<std::string>{"self", "other"}));
}

} // namespace
