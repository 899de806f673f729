// Formatted output and the process stop of the numerical run-time library: sequential
// formatted writes of one text record to a unit, the internal formatted write of one value
// into a fixed-width text, and STOP. Callers build their lines as text; the writer only
// places records on units.
#pragma once

#include <string>
#include <string_view>

namespace dforrt {

// A record sink of one unit: receives each record written to the unit, without a line end.
using RecordSink = void (*)(void* context, int unit, std::string_view record);

struct SinkBinding {
    RecordSink sink = nullptr;
    void* context = nullptr;
};

// Writes one record to the unit as it stands (an empty one too). A unit without a sink
// writes the record and a line end to standard output.
void WriteRecord(int unit, std::string_view record);
// Installs the unit's sink ({} removes it) and returns the one it replaces.
SinkBinding SetRecordSink(int unit, SinkBinding binding);

// Statuses of the internal formatted write; 0 is success.
enum FormatStatus : int {
    FMT_OK = 0,
    FMT_BAD_DESCRIPTOR = 1,  // not one of the edit descriptors below, or a malformed one
    FMT_WRONG_TYPE = 2,      // an I descriptor for a real value, or F/E/D/G for an integer
    FMT_BAD_SCALE = 3,       // E or D editing (G too, when it edits by E) with kP outside -d < k < d + 2
};

// Internal formatted write of one value with one edit descriptor, optionally in parentheses
// and with a scale factor kP: Iw, Iw.m (integers); Fw.d, Ew.d, Ew.dEe, Dw.d, Dw.dEe, Gw.d,
// Gw.dEe (reals). Blanks inside the descriptor are ignored, letters may be lower case, w, d,
// e and |k| are at most 255, w and e at least 1; a scale factor may not precede I (Fortran
// needs a comma there). On success `text` holds exactly w characters, by the rules of
// Fortran's formatted output (w asterisks when the value does not fit); otherwise `text` is
// untouched. Dw.dEe is Ew.dEe with the letter D.
int FormatReal(std::string_view descriptor, double value, std::string& text);
int FormatInteger(std::string_view descriptor, long long value, std::string& text);

// The process stop's handler: called by for_stop_core. A handler that returns makes the stop
// abort; one that throws unwinds through for_stop_core to a catch of the caller's.
using StopHandler = void (*)();
// Installs the handler (nullptr: none) and returns the one it replaces.
StopHandler SetStopHandler(StopHandler handler);

// STOP without a code: never returns. With a handler installed it calls it (and aborts if the
// handler returns); without one it flushes the units and ends the process with status 0.
[[noreturn]] void for_stop_core();

} // namespace dforrt
