#pragma once
// Message output 78 of the element library: where the kernels' few messages go (the
// Jacobian message of isoparam_jacobian). The library never opens the output itself; it
// writes to the current sink, by default standard output. A host or a test installs its
// own sink (a log file, the host's output window, a string) with set_message_output.

#include <string_view>

namespace kvpvs::recovery {

class MessageSink {
public:
    virtual ~MessageSink() = default;
    // One write: text holds whole lines, each ended by '\n'.
    virtual void write(std::string_view text) = 0;
};

// Installs sink (nullptr: standard output) and returns the sink it replaces.
MessageSink* set_message_output(MessageSink* sink);
MessageSink& message_output();

}  // namespace kvpvs::recovery
