#include "NumericsStop.h"

#include "numerics/error_machinery.h"

namespace kvpvs::test {
namespace {

NumericsCapture* g_active = nullptr;

}  // namespace

NumericsCapture::NumericsCapture()
{
    numerics::reset_error_state();
    previous_sink_ = dforrt::SetRecordSink(6, {&NumericsCapture::on_record, this});
    previous_handler_ = dforrt::SetStopHandler(&NumericsCapture::on_stop);
    g_active = this;
}

NumericsCapture::~NumericsCapture()
{
    dforrt::SetRecordSink(6, previous_sink_);
    dforrt::SetStopHandler(previous_handler_);
    g_active = nullptr;
    numerics::reset_error_state();
}

std::string NumericsCapture::text() const
{
    std::string out;
    for (const std::string& r : records_)
        out += r + "\n";
    return out;
}

void NumericsCapture::reset() { numerics::reset_error_state(); }

void NumericsCapture::on_record(void* context, int, std::string_view record)
{
    static_cast<NumericsCapture*>(context)->records_.emplace_back(record);
}

void NumericsCapture::on_stop()
{
    const numerics::ErrorState& s = numerics::error_state();
    NumericsStopped stopped;
    std::string name(s.names[s.level], numerics::ErrorState::NAMELEN);
    stopped.routine = name.substr(0, name.find(' '));
    stopped.level = s.level;
    stopped.type = s.types[s.level];
    stopped.code = s.codes[s.level];
    if (g_active) {
        ++g_active->stops_;
        stopped.printed = g_active->records_;
    }
    throw stopped;
}

}  // namespace kvpvs::test
