#include "recovery/kernels/message_output.h"

#include <cstdio>

namespace kvpvs::recovery {

namespace {

class StdoutSink final : public MessageSink {
public:
    void write(std::string_view text) override
    {
        std::fwrite(text.data(), 1, text.size(), stdout);
        std::fflush(stdout);
    }
};

StdoutSink g_stdout_sink;
MessageSink* g_sink = &g_stdout_sink;

}  // namespace

MessageSink* set_message_output(MessageSink* sink)
{
    MessageSink* previous = g_sink;
    g_sink = sink != nullptr ? sink : &g_stdout_sink;
    return previous;
}

MessageSink& message_output()
{
    return *g_sink;
}

}  // namespace kvpvs::recovery
