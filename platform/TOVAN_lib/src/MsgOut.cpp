#include "MsgOut.h"
#include "MsgOut_standin.h"

namespace {
struct Window {
    std::vector<MsgOutStandIn::Message> messages;
    int clears = 0;
    MsgOutStandIn::Echo echo = nullptr;
};

Window& TheWindow()
{
    static Window window;
    return window;
}
} // namespace

void GMsgOut(const char* pszMsg, int nType, CWnd* pWnd)
{
    Window& w = TheWindow();
    const char* text = pszMsg ? pszMsg : "";
    w.messages.push_back({text, nType, pWnd != nullptr});
    if (w.echo)
        w.echo(text);
}

void GMsgOutClear()
{
    Window& w = TheWindow();
    w.messages.clear();
    ++w.clears;
}

namespace MsgOutStandIn {
const std::vector<Message>& Messages() { return TheWindow().messages; }

std::string Text()
{
    std::string out;
    for (const Message& m : TheWindow().messages)
        out += m.text + "\n";
    return out;
}

int ClearCount() { return TheWindow().clears; }

void Reset()
{
    TheWindow().messages.clear();
    TheWindow().clears = 0;
}

Echo SetEcho(Echo echo)
{
    const Echo previous = TheWindow().echo;
    TheWindow().echo = echo;
    return previous;
}
} // namespace MsgOutStandIn
