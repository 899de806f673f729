// The host side of the output-window stand-in: what GMsgOut has written since the last clear,
// and an echo that a demo host installs to print each message as it arrives.
#pragma once

#include <string>
#include <vector>

namespace MsgOutStandIn {
struct Message {
    std::string text;
    int type = 0;
    bool to_window = false;  // a window other than the main output window was given
};
// The messages written since the last GMsgOutClear (or Reset), oldest first.
const std::vector<Message>& Messages();
// The texts of Messages(), each ended by '\n'.
std::string Text();
// How often GMsgOutClear was called since the last Reset.
int ClearCount();
// Empties the window and the clear count (test set-up).
void Reset();
// Called with each message's text as GMsgOut receives it; nullptr: none. Returns the previous one.
using Echo = void (*)(const char* text);
Echo SetEcho(Echo echo);
} // namespace MsgOutStandIn
