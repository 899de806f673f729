#include "DFORRT/FormattedIO.h"

#include <array>
#include <cstdio>
#include <cstdlib>

namespace dforrt {
namespace {

constexpr int SINK_UNITS = 1000;

std::array<SinkBinding, SINK_UNITS>& sinks()
{
    static std::array<SinkBinding, SINK_UNITS> table;
    return table;
}

StopHandler& stop_handler()
{
    static StopHandler handler = nullptr;
    return handler;
}

} // namespace

void WriteRecord(int unit, std::string_view record)
{
    if (unit >= 0 && unit < SINK_UNITS) {
        const SinkBinding& b = sinks()[static_cast<std::size_t>(unit)];
        if (b.sink) {
            b.sink(b.context, unit, record);
            return;
        }
    }
    std::fwrite(record.data(), 1, record.size(), stdout);
    std::fputc('\n', stdout);
}

SinkBinding SetRecordSink(int unit, SinkBinding binding)
{
    if (unit < 0 || unit >= SINK_UNITS)
        return {};
    SinkBinding previous = sinks()[static_cast<std::size_t>(unit)];
    sinks()[static_cast<std::size_t>(unit)] = binding;
    return previous;
}

StopHandler SetStopHandler(StopHandler handler)
{
    StopHandler previous = stop_handler();
    stop_handler() = handler;
    return previous;
}

void for_stop_core()
{
    if (StopHandler h = stop_handler()) {
        h();
        std::abort();
    }
    std::fflush(nullptr);
    std::exit(0);
}

} // namespace dforrt
