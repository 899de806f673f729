// The numerical library's stop inside a test: a capture of unit 6 and a stop handler that
// records the stop (routine, level, type and code, what was printed) and throws it, so that
// a test or fuzz input unwinds, checks what happened and goes on. Every capture starts and
// ends with the error state reset.
#pragma once

#include <DFORRT/FormattedIO.h>

#include <optional>
#include <string>
#include <vector>

namespace kvpvs::test {

struct NumericsStopped {
    std::string routine;  // name at the current level when the stop came, without blanks
    int level = 0;
    int type = 0;
    int code = 0;
    std::vector<std::string> printed;  // records of unit 6 up to the stop
};

class NumericsCapture {
public:
    NumericsCapture();
    ~NumericsCapture();
    NumericsCapture(const NumericsCapture&) = delete;
    NumericsCapture& operator=(const NumericsCapture&) = delete;

    const std::vector<std::string>& records() const { return records_; }
    // The records joined, each ended by '\n'.
    std::string text() const;
    void clear() { records_.clear(); }
    int stops() const { return stops_; }

    // Runs f; returns the stop it ran into (and resets the error state), or nothing.
    template <class F>
    std::optional<NumericsStopped> run(F&& f)
    {
        try {
            f();
        } catch (const NumericsStopped& s) {
            reset();
            return s;
        }
        return std::nullopt;
    }
    void reset();

private:
    static void on_record(void* context, int unit, std::string_view record);
    static void on_stop();

    std::vector<std::string> records_;
    int stops_ = 0;
    dforrt::SinkBinding previous_sink_;
    dforrt::StopHandler previous_handler_ = nullptr;
};

}  // namespace kvpvs::test
