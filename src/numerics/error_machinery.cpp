// Error stack, parameter store, message building and printing of the numerical library.
#include "numerics/error_machinery.h"
#include "numerics/numerics.h"

#include <DFORRT/FormattedIO.h>

#include <algorithm>
#include <charconv>
#include <cstdlib>
#include <cstring>
#include <string>

namespace kvpvs::numerics {
namespace {

ErrorState g_state{};

constexpr const char* SEVERITY[8] = {"", "NOTE    ", "ALERT   ", "WARNING ", "FATAL   ",
                                     "TERMINAL", "WARNING ", "FATAL   "};
constexpr bool PRINTS[8] = {false, false, false, true, true, true, true, true};
constexpr bool STOPS[8] = {false, false, false, false, true, true, false, true};

void setup(ErrorState& s)
{
    std::memset(&s, 0, sizeof s);
    s.initialised = true;
    s.level = 1;
    s.maxlevel = ErrorState::MAXLEVEL;
    for (auto& name : s.names)
        std::memset(name, ' ', ErrorState::NAMELEN);
    std::memcpy(s.names[1], "USER", 4);
    for (int i = 0; i <= ErrorState::MAXLEVEL + 1; ++i) {
        s.types[i] = -1;
        s.codes[i] = -1;
    }
    s.types[1] = 0;
    s.codes[1] = 0;
    s.user_called[2] = true;
    std::memset(s.message, ' ', ErrorState::MSGMAX);
    std::memset(s.parameters, ' ', ErrorState::PARMMAX);
    s.message_length = 0;
    s.parameter_length = 1;
}

// ERSETUP: the state is made on first use.
ErrorState& state()
{
    if (!g_state.initialised)
        setup(g_state);
    return g_state;
}

[[noreturn]] void stop() { dforrt::for_stop_core(); }

std::string_view name_at(const ErrorState& s, int level)
{
    return {s.names[level], ErrorState::NAMELEN};
}

// First letter raised when the name reads like "dGAMMA".
std::string raised(std::string_view name)
{
    std::string out(name);
    if (out.size() >= 2 && out[0] >= 'a' && out[0] <= 'z' && out[1] >= 'A' && out[1] <= 'Z')
        out[0] = static_cast<char>(out[0] - 'a' + 'A');
    return out;
}

// Iw of an integer: right-justified, w asterisks when it does not fit.
std::string fixed_int(long long value, int width)
{
    char buf[32];
    auto r = std::to_chars(buf, buf + sizeof buf, value);
    const int n = static_cast<int>(r.ptr - buf);
    if (n > width)
        return std::string(static_cast<std::size_t>(width), '*');
    return std::string(static_cast<std::size_t>(width - n), ' ') + std::string(buf, r.ptr);
}

void clear_parameters(ErrorState& s)
{
    std::memset(s.parameters, ' ', ErrorState::PARMMAX);
    s.parameter_length = 1;
}

// ERPARM: appends "*<key><digit>*<length>%<text>" to the store.
void ERPARM(char key, int index, std::string_view text)
{
    ErrorState& s = state();
    if (index < -9 || index > 9 || index == 0)
        return;
    if (index > 0) {
        const std::size_t last = text.find_last_not_of(' ');
        text = last == std::string_view::npos ? std::string_view(" ") : text.substr(0, last + 1);
    }
    const int len = static_cast<int>(text.size());
    if (s.parameter_length + len + 8 > ErrorState::PARMMAX)
        return;
    char entry[16];
    int n = 0;
    entry[n++] = '*';
    entry[n++] = key;
    entry[n++] = static_cast<char>('0' + std::abs(index));
    entry[n++] = '*';
    n = static_cast<int>(std::to_chars(entry + n, entry + sizeof entry, len).ptr - entry);
    entry[n++] = '%';
    const int start = s.parameter_length == 1 ? 1 : s.parameter_length + 1;
    std::memcpy(s.parameters + start - 1, entry, static_cast<std::size_t>(n));
    std::memcpy(s.parameters + start - 1 + n, text.data(), text.size());
    s.parameter_length = start - 1 + n + len;
}

// The text of the first stored entry of letter and digit; false when there is none.
bool find_parameter(const ErrorState& s, char letter, char digit, std::string_view& text)
{
    if (s.parameter_length <= 1)
        return false;
    const std::string_view store(s.parameters, static_cast<std::size_t>(s.parameter_length));
    std::size_t i = 0;
    while (i + 5 < store.size() && store[i] == '*') {
        const char key = store[i + 1];
        const char idx = store[i + 2];
        std::size_t j = i + 4;
        int len = 0;
        while (j < store.size() && store[j] >= '0' && store[j] <= '9')
            len = len * 10 + (store[j++] - '0');
        if (j >= store.size() || store[j] != '%')
            return false;
        ++j;
        if (key == letter && idx == digit) {
            text = store.substr(j, std::min<std::size_t>(static_cast<std::size_t>(len), store.size() - j));
            return true;
        }
        i = j + static_cast<std::size_t>(len);
    }
    return false;
}

char upper(char c) { return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c; }

void set_message(ErrorState& s, std::string_view text)
{
    const std::size_t n = std::min<std::size_t>(text.size(), ErrorState::MSGMAX);
    std::memcpy(s.message, text.data(), n);
    s.message_length = static_cast<int>(n);
}

constexpr std::size_t CONT_WIDTH = 64;
constexpr const char* CONT_LEAD = " ***          ";  // " *** " and 9 blanks

}  // namespace

const ErrorState& error_state() { return state(); }

void reset_error_state() { setup(g_state); }

// ERPRNT: the pending message on the error-message unit, wrapped to 78 columns, then the
// traceback when the routine was called internally.
void ERPRNT()
{
    ErrorState& s = state();
    if (s.message_length == 0)
        return;
    int unit = 0;
    IOUNIT(3, unit);

    const std::string_view full_name = name_at(s, s.level);
    const std::size_t blank = full_name.find(' ');
    std::string header = " " + std::to_string(s.codes[s.level]) + " from " +
                         raised(full_name.substr(0, blank));
    const std::string_view msg(s.message, static_cast<std::size_t>(s.message_length));
    if (msg.substr(0, 3) != ".  ")
        header += ".  ";
    const int type = s.types[s.level];
    const std::string severity = (type >= 1 && type <= 7) ? SEVERITY[type] : "UNKNOWN ";

    const std::size_t L = msg.size();
    const std::size_t room = header.size() < 59 ? 59 - header.size() : 1;
    const std::size_t brk = msg.find("%/");
    std::size_t s_pos;
    std::string_view first;
    bool ended_at_break = false;
    if (brk != std::string_view::npos && brk + 1 < room) {
        first = msg.substr(0, brk);
        s_pos = brk + 2;
        ended_at_break = true;
    } else if (L > room) {
        const std::size_t b = msg.substr(0, room).rfind(' ');
        if (b != std::string_view::npos) {
            first = msg.substr(0, b);
            s_pos = b + 1;
        } else {
            first = msg.substr(0, room);
            s_pos = room;
        }
    } else {
        first = msg;
        s_pos = L;
    }
    dforrt::WriteRecord(unit, "");
    dforrt::WriteRecord(unit, " *** " + severity + " ERROR" + header + std::string(first));

    const bool holds_break = brk != std::string_view::npos;
    bool first_continuation = true;
    while (s_pos < L) {
        const bool drop = first_continuation ? !holds_break : !ended_at_break;
        first_continuation = false;
        if (drop && msg[s_pos] == ' ')
            ++s_pos;
        if (s_pos >= L)
            break;
        const std::string_view rest = msg.substr(s_pos);
        const std::string_view window = rest.substr(0, CONT_WIDTH);
        const std::size_t q = window.find("%/");
        std::string_view line;
        if (q != std::string_view::npos) {
            line = rest.substr(0, q);
            s_pos += q + 2;
            ended_at_break = true;
        } else if (rest.size() <= CONT_WIDTH) {
            line = rest;
            s_pos = L;
            ended_at_break = false;
        } else {
            const std::size_t b = window.rfind(' ');
            const std::size_t take = b != std::string_view::npos ? b + 1 : CONT_WIDTH;
            line = rest.substr(0, take);
            s_pos += take;
            ended_at_break = false;
        }
        dforrt::WriteRecord(unit, std::string(CONT_LEAD) + std::string(line));
    }

    s.message_length = 0;
    clear_parameters(s);

    if (s.level > 2) {
        dforrt::WriteRecord(unit, "     Here is a traceback of subprogram calls in reverse order:");
        dforrt::WriteRecord(unit, "     Routine name                    Error type  Error code");
        dforrt::WriteRecord(unit, "     ------------                    ----------  ----------");
        for (int lev = s.level; lev >= 1; --lev) {
            std::string row = "     " + raised(name_at(s, lev)) + fixed_int(s.types[lev], 6) +
                              "      " + fixed_int(s.codes[lev], 6);
            if (lev >= 3)
                row += "    (Called internally)";
            dforrt::WriteRecord(unit, row);
        }
    }
}

void ERPUSH(std::string_view NAME)
{
    ErrorState& s = state();
    if (s.level >= s.maxlevel) {
        ERSETI(1, s.maxlevel);
        ERMES(5, 1, "Error condition in ERPUSH.  Push would cause stack level to exceed %(I1). ");
        stop();
    }
    ++s.level;
    std::memset(s.names[s.level], ' ', ErrorState::NAMELEN);
    std::memcpy(s.names[s.level], NAME.data(), std::min<std::size_t>(NAME.size(), ErrorState::NAMELEN));
    s.types[s.level] = 0;
    s.codes[s.level] = 0;
}

void ERPOP(std::string_view NAME)
{
    ErrorState& s = state();
    if (s.level == 1) {
        ERPUSH("ERPOP");
        ERSETL(1, NAME);
        ERMES(5, 1, "Error condition in ERPOP.  Cannot pop from %(L1) because stack is empty.");
        stop();
    }
    // Blank-padded, case-sensitive comparison of the first 32 characters.
    char padded[ErrorState::NAMELEN];
    std::memset(padded, ' ', sizeof padded);
    std::memcpy(padded, NAME.data(), std::min<std::size_t>(NAME.size(), ErrorState::NAMELEN));
    if (std::memcmp(padded, s.names[s.level], ErrorState::NAMELEN) != 0) {
        ERSETL(1, NAME);
        ERSETL(2, name_at(s, s.level));
        ERMES(5, 2, "Error condition in ERPOP.  %(L1) does not match the name %(L2) in the stack.");
        stop();
    }

    const int T = s.types[s.level];
    if (T >= 1 && T <= 7) {
        if (T >= 2) {
            s.types[s.level - 1] = T;
            s.codes[s.level - 1] = s.codes[s.level];
        }
        if (T <= 4) {
            if (PRINTS[T] && s.level == 2)
                ERPRNT();
            if (STOPS[T] && s.level == 2)
                stop();
        } else {
            if (PRINTS[T])
                ERPRNT();
            if (T == 5)
                stop();
            if (s.level == 2) {
                bool answer = false;
                if (s.pending_warning)
                    answer = STOPS[6];
                if (s.pending_fatal)
                    answer = STOPS[7];
                s.pending_warning = false;
                s.pending_fatal = false;
                if (answer)
                    stop();
            }
        }
    }
    if (s.level < ErrorState::MAXLEVEL) {
        s.types[s.level + 1] = -1;
        s.codes[s.level + 1] = -1;
    }
    --s.level;
}

void ERMES(const int& IERTYP, const int& IERCOD, std::string_view MSG)
{
    ErrorState& s = state();
    if (IERTYP != -1)
        s.types[s.level] = IERTYP;
    if (IERTYP < -1 || IERTYP > 7) {
        set_message(s, ".  Error from ERMES.  Illegal error type specified.");
        ERPRNT();
        stop();
    }
    if (IERCOD >= 0)
        s.codes[s.level] = IERCOD;
    if (IERTYP == 0 || IERCOD == 0) {
        s.message_length = 0;
        clear_parameters(s);
        return;
    }

    if (MSG.find_first_not_of(' ') != std::string_view::npos) {
        const std::string_view tmpl = MSG.substr(0, ErrorState::MSGMAX);
        char* out = s.message;
        std::size_t n = 0;
        const auto put = [&](std::string_view text) {
            const std::size_t k = std::min(text.size(), ErrorState::MSGMAX - n);
            std::memcpy(out + n, text.data(), k);
            n += k;
        };
        put(".  ");
        std::size_t i = 0;
        while (i < tmpl.size() && n < ErrorState::MSGMAX) {
            if (tmpl[i] == '%' && i + 4 < tmpl.size() && tmpl[i + 1] == '(' && tmpl[i + 4] == ')') {
                const char letter = upper(tmpl[i + 2]);
                const char digit = tmpl[i + 3];
                std::string_view value;
                if (std::string_view("ACDIKLRSZ").find(letter) != std::string_view::npos &&
                    digit >= '1' && digit <= '9' && find_parameter(s, letter, digit, value)) {
                    put(value);
                    i += 5;
                    continue;
                }
            }
            out[n++] = tmpl[i++];
        }
        s.message_length = static_cast<int>(n);
    }

    const int type = s.types[s.level];
    if (type == 6)
        s.pending_warning = true;
    if (type == 7)
        s.pending_fatal = true;
    if (type >= 5 && type <= 7 && PRINTS[type])
        ERPRNT();
    clear_parameters(s);
}

void ERSETI(const int& II, const int& IVALUE)
{
    const std::int64_t value = IVALUE;
    ERSETI(II, value);
}

void ERSETI(const int& II, const std::int64_t& IVALUE)
{
    char buf[24];
    const auto r = std::to_chars(buf, buf + sizeof buf, IVALUE);
    ERPARM('I', II, std::string_view(buf, static_cast<std::size_t>(r.ptr - buf)));
}

void ERSETD(const int& ID, const double& DVALUE)
{
    // One digit before the point; zero and NaN without the scale factor.
    std::string text;
    const bool plain = DVALUE == 0.0 || ISNAN(DVALUE);
    if (dforrt::FormatReal(plain ? "0PE24.15" : "1PE24.15", DVALUE, text) != dforrt::FMT_OK)
        text.assign(24, '*');
    const std::size_t lead = text.find_first_not_of(' ');
    ERPARM('D', ID, lead == std::string::npos ? std::string_view() : std::string_view(text).substr(lead));
}

void ERSETL(const int& IL, std::string_view TEXT)
{
    state();
    ERPARM('L', IL, TEXT.substr(0, 255));
}

int ERTYPE(const int& I)
{
    ErrorState& s = state();
    if (I == 0 || I == 1)
        return s.types[s.level + I];
    s.types[s.level] = 5;
    s.codes[s.level] = 1;
    set_message(s, ".  The argument passed to ERTYPE must be 0 or 1.");
    ERPRNT();
    stop();
}

int ERCODE(const int& I)
{
    ErrorState& s = state();
    if (I == 0 || I == 1)
        return s.codes[s.level + I];
    s.types[s.level] = 5;
    s.codes[s.level] = 1;
    set_message(s, ".  The argument passed to ERCODE must be 0 or 1.");
    ERPRNT();
    stop();
}

}  // namespace kvpvs::numerics
