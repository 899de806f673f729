// Internal formatted write of one value with one edit descriptor (I, F, E, D, G and a scale
// factor), by the output rules of Fortran's formatted write. Reals are converted to their
// exact decimal expansion first and rounded on the digits, so that ties round to even on the
// value the double really holds, as the run-time library of the reference compiler does.
#include "DFORRT/FormattedIO.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <string>

namespace dforrt {
namespace {

// Largest width, digit count, exponent width and |scale factor| accepted: the longest text
// any caller builds is a 255-character line.
constexpr int MAX_FIELD_NUMBER = 255;

struct Descriptor {
    char letter = 0;    // I, F, E, D, G
    int w = 0;
    int d = -1;         // digits after the point (F, E, D, G) or minimum digits m (I); -1 absent
    int e = -1;         // exponent digits; -1 absent
    int k = 0;          // scale factor
    bool scaled = false;
};

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

char Upper(char c) { return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c; }

// Reads an unsigned number at pos; false when there is none or it exceeds MAX_FIELD_NUMBER.
bool ReadNumber(const std::string& s, std::size_t& pos, int& value)
{
    if (pos >= s.size() || !IsDigit(s[pos]))
        return false;
    long v = 0;
    while (pos < s.size() && IsDigit(s[pos])) {
        v = v * 10 + (s[pos] - '0');
        if (v > MAX_FIELD_NUMBER)
            return false;
        ++pos;
    }
    value = static_cast<int>(v);
    return true;
}

// [(][kP]letter w[.d][Ee][)], blanks ignored, letters in either case. A scale factor may not
// precede I (the reference compiler asks for a comma there, which one descriptor cannot hold);
// a zero width is refused, so that the text always has w characters.
bool ParseDescriptor(std::string_view text, Descriptor& desc)
{
    std::string s;
    for (char c : text)
        if (c != ' ')
            s.push_back(Upper(c));
    if (!s.empty() && s.front() == '(') {
        if (s.size() < 2 || s.back() != ')')
            return false;
        s = s.substr(1, s.size() - 2);
    }
    std::size_t pos = 0;
    // Scale factor: an optionally signed number followed by P.
    std::size_t p = pos;
    bool negative = false;
    if (p < s.size() && (s[p] == '+' || s[p] == '-')) {
        negative = s[p] == '-';
        ++p;
    }
    if (p < s.size() && IsDigit(s[p])) {
        int k = 0;
        if (!ReadNumber(s, p, k) || p >= s.size() || s[p] != 'P')
            return false;
        desc.k = negative ? -k : k;
        desc.scaled = true;
        pos = p + 1;
    } else if (p != pos) {
        return false;
    }
    if (pos >= s.size())
        return false;
    desc.letter = s[pos++];
    if (desc.letter != 'I' && desc.letter != 'F' && desc.letter != 'E' && desc.letter != 'D' && desc.letter != 'G')
        return false;
    if (desc.letter == 'I' && desc.scaled)
        return false;
    if (!ReadNumber(s, pos, desc.w) || desc.w == 0)
        return false;
    if (pos < s.size() && s[pos] == '.') {
        ++pos;
        if (!ReadNumber(s, pos, desc.d))
            return false;
    }
    if (desc.letter != 'I' && desc.d < 0)
        return false;
    if (desc.letter == 'I' && desc.d > desc.w)
        return false;
    if (pos < s.size() && s[pos] == 'E') {
        if (desc.letter != 'E' && desc.letter != 'D' && desc.letter != 'G')
            return false;
        ++pos;
        if (!ReadNumber(s, pos, desc.e) || desc.e == 0)
            return false;
    }
    return pos == s.size();
}

// A positive value as 0.digits × 10^exponent; digits without trailing zeros.
struct Decimal {
    std::string digits;
    int exponent = 0;
};

// The exact decimal expansion: a double has at most 767 significant decimal digits, and
// glibc's printf converts exactly at any precision.
Decimal ExactDecimal(double a)
{
    char buf[800];
    std::snprintf(buf, sizeof buf, "%.767e", a);
    Decimal r;
    const char* c = buf;
    r.digits.push_back(*c++);
    ++c;  // the point
    while (IsDigit(*c))
        r.digits.push_back(*c++);
    ++c;  // 'e'
    r.exponent = std::atoi(c) + 1;
    while (r.digits.size() > 1 && r.digits.back() == '0')
        r.digits.pop_back();
    return r;
}

// Rounds to n significant digits (n may be 0 or negative), ties to even. The result has n
// digits, or a single "1" one decade up when n <= 0 rounds up; empty digits mean zero.
Decimal RoundDigits(const Decimal& v, int n)
{
    if (n < 0)
        return {};
    const int len = static_cast<int>(v.digits.size());
    Decimal r;
    r.exponent = v.exponent;
    if (n >= len) {
        r.digits = v.digits + std::string(static_cast<std::size_t>(n - len), '0');
        return r;
    }
    r.digits = v.digits.substr(0, static_cast<std::size_t>(n));
    const char next = v.digits[static_cast<std::size_t>(n)];
    const bool more = n + 1 < len;  // trailing zeros are stripped: anything after is non-zero
    const bool odd = n > 0 && ((r.digits.back() - '0') % 2 == 1);
    const bool up = next > '5' || (next == '5' && (more || odd));
    if (!up) {
        if (r.digits.find_first_not_of('0') == std::string::npos)
            r.digits.clear();
        return r;
    }
    int i = n - 1;
    while (i >= 0 && r.digits[static_cast<std::size_t>(i)] == '9')
        r.digits[static_cast<std::size_t>(i--)] = '0';
    if (i >= 0) {
        ++r.digits[static_cast<std::size_t>(i)];
    } else {
        // 9...9 became 10...0: one more decade, still n digits (one for n = 0).
        r.digits = "1" + std::string(static_cast<std::size_t>(n > 0 ? n - 1 : 0), '0');
        ++r.exponent;
    }
    return r;
}

// Digit at place 10^power of 0.digits × 10^exponent.
char DigitAt(const Decimal& v, int power)
{
    const int i = v.exponent - 1 - power;
    if (i < 0 || i >= static_cast<int>(v.digits.size()))
        return '0';
    return v.digits[static_cast<std::size_t>(i)];
}

std::string Stars(int w) { return std::string(static_cast<std::size_t>(w), '*'); }

std::string RightJustify(const std::string& s, int w)
{
    if (static_cast<int>(s.size()) > w)
        return Stars(w);
    return std::string(static_cast<std::size_t>(w) - s.size(), ' ') + s;
}

// NaN and infinities, right-justified; an infinity shortens to "Inf" in fields under 8 (9
// with the sign) columns.
std::string NonFinite(double x, int w)
{
    if (std::isnan(x))
        return RightJustify("NaN", w);
    if (x > 0)
        return RightJustify(w >= 8 ? "Infinity" : "Inf", w);
    return RightJustify(w >= 9 ? "-Infinity" : "-Inf", w);
}

// Fw.d of |x|·10^k. The leading zero of a value below 1 goes only where it fits, and never
// goes when d = 0 (the field would be a bare point). A negative value keeps its sign even when
// it rounds to zero, and so does -0.
std::string EditF(double x, int w, int d, int k)
{
    const bool negative = std::signbit(x);
    std::string whole;
    std::string fraction;
    if (x != 0) {
        Decimal v = ExactDecimal(std::fabs(x));
        v.exponent += k;
        const Decimal r = RoundDigits(v, v.exponent + d);
        if (!r.digits.empty()) {
            for (int power = r.exponent - 1; power >= 0; --power)
                whole.push_back(DigitAt(r, power));
            for (int power = -1; power >= -d; --power)
                fraction.push_back(DigitAt(r, power));
        }
    }
    if (fraction.empty())
        fraction.assign(static_cast<std::size_t>(d), '0');
    const std::string sign = negative ? "-" : "";
    if (!whole.empty())
        return RightJustify(sign + whole + "." + fraction, w);
    const std::string with_zero = sign + "0." + fraction;
    if (static_cast<int>(with_zero.size()) <= w || d == 0)
        return RightJustify(with_zero, w);
    return RightJustify(sign + "." + fraction, w);
}

// Ew.d[Ee] and Dw.d[Ee] with scale factor k (checked by the caller): k <= 0 writes
// 0.0..0ddd with -k zeros after the point, k > 0 writes k digits before it. Without Ee a
// three-digit exponent drops the letter; with Ee an exponent that needs more digits fills the
// field with asterisks.
std::string EditE(double x, int w, int d, int e, int k, char letter)
{
    const bool negative = std::signbit(x);
    std::string before;   // digits before the point
    std::string after;    // digits after it
    int exponent = 0;
    if (x == 0) {
        if (k > 0) {
            before.assign(static_cast<std::size_t>(k), '0');
            after.assign(static_cast<std::size_t>(d - k + 1), '0');
        } else {
            after.assign(static_cast<std::size_t>(d), '0');
        }
    } else {
        const int n = k > 0 ? d + 1 : d + k;
        const Decimal r = RoundDigits(ExactDecimal(std::fabs(x)), n);
        exponent = r.exponent - k;
        if (k > 0) {
            before = r.digits.substr(0, static_cast<std::size_t>(k));
            after = r.digits.substr(static_cast<std::size_t>(k));
        } else {
            after = std::string(static_cast<std::size_t>(-k), '0') + r.digits;
        }
    }
    const int magnitude = std::abs(exponent);
    std::string exp_text = exponent < 0 ? "-" : "+";
    const std::string exp_digits = std::to_string(magnitude);
    if (e < 0) {
        if (magnitude <= 99)
            exp_text = std::string(1, letter) + exp_text + (magnitude < 10 ? "0" : "") + exp_digits;
        else if (magnitude <= 999)
            exp_text += exp_digits;
        else
            return Stars(w);
    } else {
        if (static_cast<int>(exp_digits.size()) > e)
            return Stars(w);
        exp_text = std::string(1, letter) + exp_text +
                   std::string(static_cast<std::size_t>(e) - exp_digits.size(), '0') + exp_digits;
    }
    const std::string sign = negative ? "-" : "";
    if (!before.empty())
        return RightJustify(sign + before + "." + after + exp_text, w);
    const std::string with_zero = sign + "0." + after + exp_text;
    if (static_cast<int>(with_zero.size()) <= w)
        return RightJustify(with_zero, w);
    return RightJustify(sign + "." + after + exp_text, w);
}

// E and D accept a scale factor only with -d < k < d + 2.
bool ScaleFits(int d, int k) { return -d < k && k < d + 2; }

// 10^p as the reference library computes it: repeated products, a quotient for p < 0.
double PowerOfTen(int p)
{
    double r = 1.0;
    for (int i = 0; i < (p >= 0 ? p : -p); ++i)
        r *= 10;
    return p >= 0 ? r : 1.0 / r;
}

// Decimals of G's F editing of m = |x| with d > 0 significant digits, -1 for E editing. The
// value rounded to d digits decides: F for 0.1 <= N < 10^d, with d - j decimals for
// 10^(j-1) <= N < 10^j. The bounds are the standard's for round-to-nearest, 10^(j-1)·(1 - 0.5·10^-d),
// evaluated in double and searched as the reference library does, so that values within an
// ulp of a bound choose as it does (0.95 with G6.1 is "1.", its double lying below 0.95).
int GDecimals(double m, int d)
{
    const double r = 0.5;
    const double exp_d = PowerOfTen(d);
    const double r_sc = 1 - r / exp_d;
    if (m > 0.0 && (m < 0.1 * r_sc || r >= exp_d - m))
        return -1;
    if (m == 0.0)
        return d - 1;
    int low = 0;
    int high = d + 1;
    int lbound = 0;
    int ubound = d + 1;
    int mid = 0;
    while (low <= high) {
        mid = (low + high) / 2;
        const double bound = PowerOfTen(mid - 1) * r_sc;
        if (m < bound) {
            ubound = mid;
            if (ubound == lbound + 1)
                break;
            high = mid - 1;
        } else if (m > bound) {
            lbound = mid;
            if (ubound == lbound + 1) {
                ++mid;
                break;
            }
            low = mid + 1;
        } else {
            ++mid;
            break;
        }
    }
    return d + 1 - mid;
}

int WriteReal(const Descriptor& desc, double x, std::string& text)
{
    const int w = desc.w;
    const int d = desc.d;
    // The reference library writes NaN and infinities before it looks at the scale factor.
    if (!std::isfinite(x)) {
        text = NonFinite(x, w);
        return FMT_OK;
    }
    switch (desc.letter) {
    case 'F':
        text = EditF(x, w, d, desc.k);
        return FMT_OK;
    case 'E':
    case 'D':
        if (!ScaleFits(d, desc.k))
            return FMT_BAD_SCALE;
        text = EditE(x, w, d, desc.e, desc.k, desc.letter);
        return FMT_OK;
    default:
        break;
    }
    // G: F editing in w - n columns followed by n blanks (n = 4, or e + 2 with Ee, at most
    // w - 1) with the scale factor ignored, or E editing with it; Gw.0 is always kPEw.0.
    const int decimals = d == 0 ? -1 : GDecimals(std::fabs(x), d);
    if (decimals < 0) {
        if (!ScaleFits(d, desc.k))
            return FMT_BAD_SCALE;
        text = EditE(x, w, d, desc.e, desc.k, 'E');
        return FMT_OK;
    }
    int n = desc.e < 0 ? 4 : desc.e + 2;
    if (n >= w)
        n = w - 1;
    const std::string f = EditF(x, w - n, decimals, 0);
    text = f.front() == '*' ? Stars(w) : f + std::string(static_cast<std::size_t>(n), ' ');
    return FMT_OK;
}

} // namespace

int FormatReal(std::string_view descriptor, double value, std::string& text)
{
    Descriptor desc;
    if (!ParseDescriptor(descriptor, desc))
        return FMT_BAD_DESCRIPTOR;
    if (desc.letter == 'I')
        return FMT_WRONG_TYPE;
    return WriteReal(desc, value, text);
}

// Iw.m: at least m digits with leading zeros; I w.0 of zero is all blanks.
int FormatInteger(std::string_view descriptor, long long value, std::string& text)
{
    Descriptor desc;
    if (!ParseDescriptor(descriptor, desc))
        return FMT_BAD_DESCRIPTOR;
    if (desc.letter != 'I')
        return FMT_WRONG_TYPE;
    const unsigned long long magnitude =
        value < 0 ? 0ULL - static_cast<unsigned long long>(value) : static_cast<unsigned long long>(value);
    std::string digits = magnitude == 0 ? "" : std::to_string(magnitude);
    const int m = desc.d < 0 ? 1 : desc.d;
    if (static_cast<int>(digits.size()) < m)
        digits.insert(0, static_cast<std::size_t>(m) - digits.size(), '0');
    text = RightJustify((value < 0 ? "-" : "") + digits, desc.w);
    return FMT_OK;
}

} // namespace dforrt
