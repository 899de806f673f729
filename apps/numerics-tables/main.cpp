// Demo of the numerical library, which the module does not export: a printed t table of
// upper-tail probabilities 1 - TDIST(t, DF), and the library's messages for three bad calls
// made inside a pushed routine, each stopped, unwound and followed by a reset while the
// program goes on. Usage: numerics-tables [output file], default out/numerics_tables.txt.
#include "numerics/numerics.h"

#include <DFORRT/FormattedIO.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>

namespace {

using namespace kvpvs::numerics;

struct Stopped {};

void record(void* context, int, std::string_view line)
{
    *static_cast<std::string*>(context) += std::string(line) + "\n";
}

void throw_stop() { throw Stopped{}; }

// One bad call as a routine of ours would make it; the stop unwinds to here.
template <class F>
void bad_call(std::string& out, const char* what, F f)
{
    out += "\n" + std::string(what) + ":\n";
    try {
        ERPUSH("DEMO");
        f();
        ERPOP("DEMO");
        out += "(returned)\n";
    } catch (const Stopped&) {
        out += "(stopped; unwound to the caller, error state reset)\n";
    }
    reset_error_state();
}

}  // namespace

int main(int argc, char** argv)
{
    const std::filesystem::path path = argc > 1 ? argv[1] : "out/numerics_tables.txt";
    std::string out;
    const dforrt::SinkBinding previous_sink = dforrt::SetRecordSink(6, {&record, &out});
    const dforrt::StopHandler previous_handler = dforrt::SetStopHandler(&throw_stop);

    const double ts[] = {1.0, 1.5, 2.0, 2.5, 3.0, 4.0};
    out += "Upper-tail probabilities P(T > t) = 1 - TDIST(t, DF) of Student's t distribution\n\n";
    out += "  DF";
    for (double t : ts) {
        char h[16];
        std::snprintf(h, sizeof h, "    t = %-4.1f", t);
        out += h;
    }
    out += "\n";
    for (int df = 1; df <= 30; ++df) {
        char row[16];
        std::snprintf(row, sizeof row, "%4d", df);
        out += row;
        for (double t : ts) {
            const double dfd = df;
            char cell[16];
            std::snprintf(cell, sizeof cell, "  %10.6f", 1.0 - TDIST(t, dfd));
            out += cell;
        }
        out += "\n";
    }

    out += "\nMessages of three bad calls made inside the routine DEMO:\n";
    bad_call(out, "TDIST(2, 0.5)", [] { TDIST(2.0, 0.5); });
    bad_call(out, "DGAMMA(0)", [] { DGAMMA(0.0); });
    bad_call(out, "DLNREL(-1)", [] { DLNREL(-1.0); });

    dforrt::SetRecordSink(6, previous_sink);
    dforrt::SetStopHandler(previous_handler);

    if (path.has_parent_path())
        std::filesystem::create_directories(path.parent_path());
    std::ofstream file(path);
    file << out;
    if (!file) {
        std::fprintf(stderr, "numerics-tables: cannot write %s\n", path.c_str());
        return 1;
    }
    std::printf("numerics-tables: wrote %s\n", path.c_str());
    return 0;
}
