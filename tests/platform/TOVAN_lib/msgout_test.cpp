// The host's output window stand-in: messages kept in order until cleared, echoed as they come.
#include <gtest/gtest.h>

#include "MsgOut.h"
#include "MsgOut_standin.h"

#include <string>

namespace {

std::string g_echoed;
void Echo(const char* text) { g_echoed += std::string(text) + "|"; }

TEST(OutputWindow, KeepsMessagesInOrderUntilCleared)
{
    MsgOutStandIn::Reset();
    GMsgOut("first", 0, nullptr);
    GMsgOut(nullptr);
    GMsgOut("third", 2);
    ASSERT_EQ(MsgOutStandIn::Messages().size(), 3u);
    EXPECT_EQ(MsgOutStandIn::Text(), "first\n\nthird\n");
    EXPECT_EQ(MsgOutStandIn::Messages()[2].type, 2);
    EXPECT_FALSE(MsgOutStandIn::Messages()[0].to_window);

    GMsgOutClear();
    EXPECT_TRUE(MsgOutStandIn::Messages().empty());
    EXPECT_EQ(MsgOutStandIn::ClearCount(), 1);
}

TEST(OutputWindow, EchoSeesEachMessageAsItArrives)
{
    MsgOutStandIn::Reset();
    g_echoed.clear();
    const MsgOutStandIn::Echo previous = MsgOutStandIn::SetEcho(&Echo);
    GMsgOut("a");
    GMsgOut("b");
    EXPECT_EQ(MsgOutStandIn::SetEcho(previous), &Echo);
    GMsgOut("c");
    EXPECT_EQ(g_echoed, "a|b|");
    MsgOutStandIn::Reset();
}

} // namespace
