#pragma once
// Error machinery of the numerical library behind the curve fit: every routine pushes its
// upper-case name on entry, records errors by type and code with a message template filled
// from stored parameters, and pops on exit; a fixed severity table decides what is printed
// on the error-message unit and what stops the process (the run-time library's STOP).
// Also the machine description: integer constants and unit numbers.
//
// A stop never returns: the host's curve-fit entry installs a stop handler that throws and
// catches at the entry, then calls reset_error_state(). The state is plain static storage,
// so an unwind through any routine leaks nothing.

#include <cstdint>
#include <string_view>

namespace kvpvs::numerics {

// ---- error_machinery.cpp ----------------------------------------------------------------
void ERPUSH(std::string_view NAME);
void ERPOP(std::string_view NAME);
void ERMES(const int& IERTYP, const int& IERCOD, std::string_view MSG);
void ERSETI(const int& II, const int& IVALUE);
// The same for a value formed in 64 bits (a bound that passes the int range).
void ERSETI(const int& II, const std::int64_t& IVALUE);
void ERSETD(const int& ID, const double& DVALUE);
void ERSETL(const int& IL, std::string_view TEXT);
int ERTYPE(const int& I);
int ERCODE(const int& I);
// Prints the pending message (and the traceback above level 2) on IOUNIT(3).
void ERPRNT();

// ---- machine_constants.cpp ---------------------------------------------------------------
int ICONST(const int& N);
void IOUNIT(const int& N, int& NUNIT);

// The whole error state, 1-based per level (index 0 unused; 51 is the slot above level 50).
struct ErrorState {
    static constexpr int MAXLEVEL = 50;
    static constexpr int NAMELEN = 32;
    static constexpr int MSGMAX = 1024;
    static constexpr int PARMMAX = 300;

    bool initialised;
    int level;
    int maxlevel;
    char names[MAXLEVEL + 2][NAMELEN];
    int types[MAXLEVEL + 2];
    int codes[MAXLEVEL + 2];
    bool user_called[MAXLEVEL + 2];
    char message[MSGMAX];
    int message_length;
    char parameters[PARMMAX];
    int parameter_length;  // position of the last character in use; 1 when empty
    bool pending_warning;
    bool pending_fatal;

    bool operator==(const ErrorState&) const = default;
};

const ErrorState& error_state();
// Puts the error state back to what its first use makes (level 1 "USER", nothing pending).
// Not one of the library's routines: the caller that catches an unwound stop calls it.
void reset_error_state();

}  // namespace kvpvs::numerics
