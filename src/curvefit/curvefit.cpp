// The curve fit for the host: one call of the library's polynomial fit with the library's
// output unit routed to the output window and its process stop turned into an unwind that
// ends here, so that a stopped fit leaves the coefficients zero and the host running.
#include "curvefit/curvefit.h"

#include "numerics/numerics.h"

#include <DFORRT/Allocatable.h>
#include <DFORRT/FormattedIO.h>

#include "MsgOut.h"

#include <algorithm>
#include <cstdint>
#include <string>

namespace {

using namespace kvpvs::numerics;

// Thrown by the stop handler; never leaves this file.
struct FitStopped {};

[[noreturn]] void ThrowStopped() { throw FitStopped{}; }

void ToOutputWindow(void*, int, std::string_view record)
{
    const std::string text(record);
    GMsgOut(text.c_str(), 0, nullptr);
}

// The output unit and the stop handler for one call, put back whatever way the call ends.
class LibrarySession {
public:
    LibrarySession()
    {
        IOUNIT(2, unit_);
        previous_sink_ = dforrt::SetRecordSink(unit_, {&ToOutputWindow, nullptr});
        previous_handler_ = dforrt::SetStopHandler(&ThrowStopped);
    }
    ~LibrarySession()
    {
        dforrt::SetStopHandler(previous_handler_);
        dforrt::SetRecordSink(unit_, previous_sink_);
    }
    LibrarySession(const LibrarySession&) = delete;
    LibrarySession& operator=(const LibrarySession&) = delete;

private:
    int unit_ = 6;
    dforrt::SinkBinding previous_sink_;
    dforrt::StopHandler previous_handler_ = nullptr;
};

// The statistics of the last fit; the curve fit reads only the coefficients.
double g_stats[10];

void Zero(double* b, int ndeg)
{
    if (b != nullptr && ndeg >= 0)
        std::fill(b, b + static_cast<std::int64_t>(ndeg) + 1, 0.0);
}

void Fit(int nobs, const double* x, const double* y, int ndeg, double* b)
{
    // SEQSS: ndeg + 1 doubles, at least one, sized in 64 bits.
    dforrt::Allocatable<double> seqss;
    const std::int64_t size = std::max<std::int64_t>(static_cast<std::int64_t>(ndeg) + 1, 1);
    if (seqss.Allocate(size) != dforrt::ALLOC_OK) {
        ERPUSH("PFIT");
        ERMES(5, 3, " ");
        ERSETI(1, nobs);
        ERSETI(2, ndeg);
        ERMES(5, 3, "The required storage cannot be allocated based on NOBS = %(I1) and NDEG = %(I2).");
        ERPOP("PFIT");
        return;
    }
    pfit_with(PValues::Skipped, nobs, x, y, ndeg, b, seqss.data(), g_stats);
}

} // namespace

extern "C" KV_PVS_API void curvefit(int nobs, double* x, double* y, int ndeg, double* b)
{
    Zero(b, ndeg);
    try {
        LibrarySession session;
        try {
            Fit(nobs, x, y, ndeg, b);
        } catch (const FitStopped&) {
            reset_error_state();
            Zero(b, ndeg);
        }
    } catch (...) {
        // Nothing leaves the entry: a failure beyond the library's stops also gives the zero polynomial.
        reset_error_state();
        Zero(b, ndeg);
    }
}
