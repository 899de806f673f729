// Support routines of the library's table writer: the page size, automatic formats for values,
// whole-number and triangle selection tests, the text of one table cell, the descriptors of a
// format list and their widths, the texts of format errors, the title, column-heading and
// row-label lines with their centring, and three character routines.
#include "numerics/numerics.h"

#include <DFORRT/FormattedIO.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

namespace kvpvs::numerics {
namespace {

int g_page_width = 78;
int g_page_length = 60;

constexpr int CELL = 40;

char upper(char c) { return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c; }

// A number in two right-justified columns (a blank before one digit).
std::string two(int v)
{
    if (v < 0 || v > 99)
        return "**";
    return v < 10 ? " " + std::to_string(v) : std::to_string(v);
}

std::string f_form(int w, int d) { return "(0PF" + two(w) + "." + two(d) + ")"; }
std::string d_form(int w, int d) { return "(1PD" + two(w) + "." + two(d) + ")"; }

// INT of a finite double, saturated so that huge logarithms stay integers.
int int_part(double v)
{
    if (!(v == v))
        return 0;
    if (v > 1.0e9)
        return 1000000000;
    if (v < -1.0e9)
        return -1000000000;
    return static_cast<int>(v);
}

std::string blanks(int n) { return std::string(static_cast<std::size_t>(n < 0 ? 0 : n), ' '); }

// 40 blanks with `text` ending at column w.
std::string right_at(std::string_view text, int w)
{
    std::string cell = blanks(CELL);
    const int start = w - static_cast<int>(text.size());
    if (w > CELL || start < 0)
        return cell;
    cell.replace(static_cast<std::size_t>(start), text.size(), text);
    return cell;
}

// The cell text of a formatted write: the field from the left, blank-padded to 40. Output past
// the 40 characters is shown as asterisks; so is a descriptor the writer refuses.
std::string cell_of(int status, const std::string& field)
{
    if (status != dforrt::FMT_OK || static_cast<int>(field.size()) > CELL)
        return std::string(CELL, '*');
    return field + blanks(CELL - static_cast<int>(field.size()));
}

std::string_view trimmed(std::string_view s)
{
    const std::size_t last = s.find_last_not_of(' ');
    return last == std::string_view::npos ? std::string_view() : s.substr(0, last + 1);
}

// Repeat-count letters: a number before P is a scale factor, not a count.
bool repeat_letter(char c) { return c == 'E' || c == 'G' || c == 'D' || c == 'I' || c == 'F' || c == 'W' || c == 'V'; }

struct Item {
    std::string text;     // without blanks, upper case, repeat count removed
    std::int64_t count;   // repeat count (1 when absent or unreadable)
};

// The items of a format list: between the first character and the last non-blank one,
// separated by commas.
std::vector<Item> items_of(std::string_view FMT)
{
    std::vector<Item> items;
    const std::string_view body = trimmed(FMT);
    if (body.size() < 2)
        return items;
    const std::string_view inner = body.substr(1, body.size() - 2);
    std::size_t start = 0;
    while (true) {
        const std::size_t comma = inner.find(',', start);
        const std::string_view raw = inner.substr(start, comma == std::string_view::npos ? std::string_view::npos : comma - start);
        std::string clean;
        for (char c : raw)
            if (c != ' ')
                clean.push_back(upper(c));
        // Digits directly before the first edit letter are the repeat count.
        std::size_t letter = 0;
        while (letter < clean.size() && !repeat_letter(clean[letter]) && clean[letter] != 'P')
            ++letter;
        Item item{clean, 1};
        if (letter < clean.size() && clean[letter] != 'P' && letter > 0) {
            std::size_t digits = letter;
            while (digits > 0 && clean[digits - 1] >= '0' && clean[digits - 1] <= '9')
                --digits;
            if (digits < letter && digits == 0) {
                int n = 0;
                TXTINT(std::string_view(clean).substr(0, letter), n);
                item.count = n > 0 ? n : 1;
                item.text = clean.substr(letter);
            }
        } else if (letter < clean.size() && clean[letter] == 'P') {
            // kP then an optional repeat count before the letter: 1P2E12.5
            std::size_t after = letter + 1;
            std::size_t l2 = after;
            while (l2 < clean.size() && clean[l2] >= '0' && clean[l2] <= '9')
                ++l2;
            if (l2 > after && l2 < clean.size() && repeat_letter(clean[l2])) {
                int n = 0;
                TXTINT(std::string_view(clean).substr(after, l2 - after), n);
                item.count = n > 0 ? n : 1;
                item.text = clean.substr(0, after) + clean.substr(l2);
            }
        }
        items.push_back(std::move(item));
        if (comma == std::string_view::npos)
            break;
        start = comma + 1;
    }
    return items;
}

// The number of digits of a row or column number.
int digits_of(int n) { return static_cast<int>(std::log10(n + 0.01) + 1.0); }

// Text of label line k (its indentation and characters), empty when it has no characters.
std::string label_line(std::string_view text, const LabelLine& l, int indent, int k)
{
    if (l.last < l.first)
        return {};
    std::string out(static_cast<std::size_t>(k > 1 ? indent : 0), ' ');
    out.append(text.substr(static_cast<std::size_t>(l.first - 1), static_cast<std::size_t>(l.last - l.first + 1)));
    return out;
}

}  // namespace

void PAGEOPT(const int& IOPT, int& IPAGE)
{
    ERPUSH("PAGEOPT");
    int code = 1;
    const int a = IOPT == INT32_MIN ? INT32_MAX : std::abs(IOPT);
    CKRANG(a, "IABS(IOPT)", 10, 1, 2, code);
    if (IOPT == -1 && IPAGE < 10) {
        ERSETI(1, IPAGE);
        ERMES(5, 2, "IPAGE = %(I1).  Page width must be greater than or equal to 10.");
    } else if (IOPT == -2 && IPAGE < 10) {
        ERSETI(1, IPAGE);
        ERMES(5, 3, "IPAGE = %(I1).  Page length must be greater than or equal to 10.");
    }
    if (ERTYPE(0) == 0) {
        if (IOPT == -1)
            g_page_width = IPAGE;
        else if (IOPT == -2)
            g_page_length = IPAGE;
        else if (IOPT == 1)
            IPAGE = g_page_width;
        else if (IOPT == 2)
            IPAGE = g_page_length;
    }
    ERPOP("PAGEOPT");
}

std::string FMTMAT(const double& X, const int& NWIDTH, const int& NSIG)
{
    ERPUSH("FMTMAT");
    int code = 1;
    CKRANG(NWIDTH, "NWIDTH", 6, 3, 40, code);
    CKRANG(NSIG, "NSIG", 4, 1, 0, code);
    // In 64 bits: the check runs after a failed width check too, for NWIDTH down to INT_MIN.
    const std::int64_t wm2 = static_cast<std::int64_t>(NWIDTH) - 2;
    CKLE(NSIG, "NSIG", 4, wm2, "NWIDTH-2", 8, code);
    if (ERTYPE(0) != 0) {
        ERPOP("FMTMAT");
        return std::string(10, ' ');
    }
    const int W = NWIDTH;
    const int NS = std::min(NSIG, int_part(0.05 - std::log10(RCONST(4))));
    std::string result;
    const auto exponent = [&] { return d_form(W, std::min(W - 7, NS - 1)); };
    if (ISNAN(X)) {
        result = W >= 7 ? exponent() : f_form(W, 0);
        ERPOP("FMTMAT");
        return result;
    }
    const double a = std::fabs(X);
    if (W >= 7 && ((a > 0.0 && a < 0.001) || a >= 1.0e7)) {
        ERPOP("FMTMAT");
        return exponent();
    }
    if (std::isinf(a)) {
        // Below 7 positions the digit loop would end with no decimals and the width filled.
        ERPOP("FMTMAT");
        return f_form(W, 0);
    }
    int D = 0;
    int L = 1;
    if (a == 0.0) {
        ERPOP("FMTMAT");
        return f_form(W, NS);
    }
    if (a >= 1.0) {
        const int k = int_part(std::log10(a));
        L = k + 1;
        D = NS - L;
        if (D > 0 && int_part(std::log10(a + 0.5 * std::pow(10.0, -D))) > k) {
            --D;
            ++L;
        }
    } else {
        const double minus_log = -std::log10(a);
        const int m = int_part(minus_log);
        L = 1;
        D = NS + m;
        const double y = std::log10(a + 0.5 * std::pow(10.0, -D));
        if (minus_log == static_cast<double>(m) || y > 0.0 || int_part(-y) < m)
            --D;
    }
    if (D < 0)
        D = 0;
    if (D == 0 && L + 2 < W)
        D = 1;
    while (D + L + 2 > W) {
        if (W >= 7) {
            ERPOP("FMTMAT");
            return exponent();
        }
        if (D > 0)
            --D;
        else
            --L;
    }
    ERPOP("FMTMAT");
    return f_form(W, D);
}

void WRFDIG(const int& NRA, const int& NCA, const double* A, const int& LDA, const int& ITRING,
            std::string& FMT)
{
    if (FMT.size() < 10)
        return;
    int dd = 0;
    if (FMT[7] == ' ')
        dd = FMT[8] - '0';
    else
        dd = (FMT[7] - '0') * 10 + (FMT[8] - '0');
    if (dd < 2)
        return;
    const double scale = std::pow(10.0, dd);
    int largest = 0;
    const int one = 1;
    for (int j = 1; j <= NCA; ++j) {
        int first = 0;
        int nrows = 0;
        WRROWS(ITRING, one, NRA, j, first, nrows);
        for (int i = first; i < first + nrows; ++i) {
            const double x = A[static_cast<std::int64_t>(j - 1) * LDA + (i - 1)];
            if (ISNAN(x) || std::isinf(x))
                continue;  // an infinity prints as its text and needs no decimals
            double v = std::trunc(x * scale + (x < 0.0 ? -0.5 : 0.5));
            if (std::fmod(v, 10.0) != 0.0)
                return;
            int need = dd;
            while (need > 0 && std::fmod(v, 10.0) == 0.0) {
                v = std::trunc(v / 10.0);
                --need;
            }
            largest = std::max(largest, need);
        }
    }
    const std::string d2 = two(largest);
    FMT[7] = d2[0];
    FMT[8] = d2[1];
}

void WRWHOL(const int& N, const double* X, const int& NDIG, int& FLAG)
{
    FLAG = 0;
    double lower = -ICONST(5);
    double upper_bound = ICONST(5);
    if (NDIG < std::log10(RCONST(2))) {
        lower = -std::pow(10.0, NDIG - 1);
        upper_bound = std::pow(10.0, NDIG);
    }
    for (int i = 0; i < N; ++i) {
        const double x = X[i];
        if (ISNAN(x))
            continue;
        if (!(std::fabs(x) <= ICONST(5)) || x != std::trunc(x) || !(x > lower && x < upper_bound))
            return;
    }
    FLAG = 1;
}

void MAXABS(const int& N, const double* X, const int& INCX, int& IMAX)
{
    ERPUSH("MAXABS");
    int code = 1;
    CKRANG(N, "N", 1, 0, -1, code);
    CKRANG(INCX, "INCX", 4, 1, 0, code);
    IMAX = 0;
    if (ERTYPE(0) == 0) {
        double largest = 0.0;
        std::int64_t ix = 0;
        for (int i = 1; i <= N; ++i, ix += INCX) {
            if (ISNAN(X[ix]))
                continue;
            if (IMAX == 0 || std::fabs(X[ix]) > largest) {
                IMAX = i;
                largest = std::fabs(X[ix]);
            }
        }
    }
    ERPOP("MAXABS");
}

void WRROWS(const int& ITRING, const int& I1, const int& I2, const int& J, int& IFIRST, int& NROWS)
{
    int first = I1;
    int last = I2;
    switch (ITRING) {
    case 0: break;
    case 1: last = std::min(J, I2); break;
    case 2: last = std::min(J - 1, I2); break;
    case -1: first = std::max(J, I1); break;
    case -2: first = std::max(J + 1, I1); break;
    default: last = first - 1; break;  // an option outside -2..2 selects nothing
    }
    IFIRST = first;
    const std::int64_t n = static_cast<std::int64_t>(last) - first + 1;
    NROWS = n > 0 ? static_cast<int>(n) : 0;
}

std::string WRVAL(const int& ITRING, const int& I, const int& J, const double& X, std::string_view FMT)
{
    const bool inside = ITRING == 0 || (ITRING == 1 && I <= J) || (ITRING == 2 && I < J) ||
                        (ITRING == -1 && I >= J) || (ITRING == -2 && I > J);
    return inside ? WRELEM(X, FMT) : blanks(CELL);
}

std::string WRELEM(const double& X, std::string_view FMT)
{
    const auto width = [&] {
        int w = 0;
        WRWID(FMT, true, ' ', ' ', w);
        return w;
    };
    const auto setting = [] {
        int v = 0;
        WRTOPT(4, v, 0);
        return v;
    };
    // Field widths below 3 hold none of the texts: they give blanks.
    if (ISNAN(X)) {
        const int s = setting();
        if (s == 0)
            return std::string(CELL, '.');
        if (s == 2)
            return right_at("NaN", width());
        return blanks(CELL);
    }
    if (X == RCONST(7) || X == RCONST(8)) {
        const int s = setting();
        if (s <= 1)
            return std::string(CELL, X > 0.0 ? '+' : '-');
        const int w = width();
        if (X > 0.0 || w == 3)
            return right_at("Inf", w);
        return right_at("-Inf", w);
    }
    std::string field;
    if (FMT.size() > 1 && FMT[1] == 'I') {
        if (std::fabs(X) > 2147483647.0)
            return std::string(CELL, '*');
        const long long v = static_cast<int>(X);
        return cell_of(dforrt::FormatInteger(trimmed(FMT), v, field), field);
    }
    return cell_of(dforrt::FormatReal(trimmed(FMT), X, field), field);
}

std::string WRITEM(const int& J, std::string_view FMT)
{
    const std::vector<Item> items = items_of(FMT);
    if (items.empty() || J < 1)
        return "()";
    std::int64_t total = 0;
    for (const Item& it : items)
        total += it.count;
    // Past the end of the list the descriptors start again at the first item.
    std::int64_t k = (static_cast<std::int64_t>(J) - 1) % total;
    for (const Item& it : items) {
        if (k < it.count)
            return "(" + it.text + ")";
        k -= it.count;
    }
    return "(" + items.back().text + ")";
}

void WRWID(std::string_view DESC, const bool& SWITCH, const char& C1, const char& C2, int& IW)
{
    IW = 0;
    std::size_t start = std::string_view::npos;
    std::size_t end = std::string_view::npos;
    if (SWITCH) {
        for (char letter : {'V', 'W', 'F', 'I', 'G', 'D', 'E'}) {
            const std::size_t at = DESC.find(letter);
            if (at != std::string_view::npos) {
                start = at + 1;
                break;
            }
        }
        if (start == std::string_view::npos)
            return;
        end = DESC.find('.', start);
        if (end == std::string_view::npos)
            end = DESC.find(')', start);
    } else {
        const std::size_t a = DESC.find(C1);
        if (a == std::string_view::npos)
            return;
        start = a + 1;
        end = DESC.find(C2, start);
    }
    if (end == std::string_view::npos)
        end = DESC.size();
    TXTINT(DESC.substr(start, end - start), IW);
}

void WRFERR(const int& CODE, std::string_view ITEM)
{
    const char* text = nullptr;
    switch (CODE) {
    case 8: text = "The following format in FMT contains an invalid character for the repeat specification: '%(L1)'"; break;
    case 9: text = "The following format in FMT contains an invalid repeat specification: '%(L1)'"; break;
    case 10: text = "The following format in FMT contains an invalid V or W format: '%(L1)'"; break;
    case 11: text = "The following format in FMT contains an invalid character for the field width: '%(L1)'"; break;
    case 12: text = "The following format in FMT contains an invalid field width for a V or W format: '%(L1)'"; break;
    case 13: text = "The following format in FMT contains an invalid character for the number of significant digits: '%(L1)'"; break;
    case 14: text = "The following format in FMT contains an invalid number of significant digits for a V or W format: '%(L1)'"; break;
    case 15: text = "The following format in FMT contains an invalid character for the scale factor: '%(L1)'"; break;
    case 16: text = "FMT contains the following invalid F format: '%(L1)'"; break;
    case 17: text = "The following format in FMT contains an invalid field width for an F format: '%(L1)'"; break;
    case 18: text = "The following format in FMT contains an invalid character for the number of digits in the fractional part: '%(L1)'"; break;
    case 19: text = "The following format in FMT contains an invalid number of digits in the fractional part for an F format: '%(L1)'"; break;
    case 20: text = "The following format in FMT contains an invalid field width for an I format: '%(L1)'"; break;
    case 21: text = "The following format in FMT contains an invalid number of digits (including leading zeros) to be printed for an I format: '%(L1)'"; break;
    case 24: text = "The following format contains an invalid character for the number of digits for the exponent: '%(L1)'"; break;
    case 25: text = "The following format in FMT contains an invalid number of digits for the exponent: '%(L1)'"; break;
    case 33: text = "An invalid character is in FMT:  '%(L1)'  Only D, E, F, G, I, V and W edit descriptors are allowed in this routine."; break;
    case 34: text = "A null string is encountered in FMT: '%(L1)'"; break;
    case 35: text = "FMT is an invalid FORTRAN format: '%(L1)'"; break;
    default: return;
    }
    ERSETL(1, ITEM);
    ERMES(5, CODE, text);
}

void put_text(std::string& LINE, const int& AT, std::string_view TEXT)
{
    int at = AT;
    if (at < 0) {
        if (static_cast<int>(TEXT.size()) <= -at)
            return;
        TEXT.remove_prefix(static_cast<std::size_t>(-at));
        at = 0;
    }
    const std::size_t end = static_cast<std::size_t>(at) + TEXT.size();
    if (LINE.size() < end)
        LINE.resize(end, ' ');
    LINE.replace(static_cast<std::size_t>(at), TEXT.size(), TEXT);
}

void write_centred(std::string& LINE, const int& CENTRE, const int& LENGTH)
{
    LINE.resize(static_cast<std::size_t>(WRLEN(LINE)));
    if (LINE.empty()) {
        const int one = 1;
        WRLIN(one, " ");
        return;
    }
    int length = LENGTH;
    WRCTR(CENTRE, length, LINE);
    WRLIN(static_cast<int>(LINE.size()), LINE);
}

void WRCTR(const int& CENTRE, int& LENGTH, std::string& LINE)
{
    const int shift = CENTRE - LENGTH / 2;
    if (shift >= 1) {
        LINE.insert(0, static_cast<std::size_t>(shift), ' ');
        LENGTH += shift;
    }
}

int WRTITL(std::string_view TITLE, const int& WIDTH, const int& CENTRE, std::string& LINE)
{
    if (WRLEN(TITLE) == 0)
        return 0;
    int hot = 0;
    const int thirteen = 13;
    const int zero = 0;
    WRTOPT(thirteen, hot, zero);
    int written = 0;
    for (int k = 1;; ++k) {
        const LabelLine l = WRLBL(TITLE, WIDTH, zero, hot, k);
        LINE = label_line(TITLE, l, 0, k);
        write_centred(LINE, CENTRE, l.width);
        ++written;
        if (l.is_last)
            return written;
    }
}

void WRRLAB(const int& K, const int& KIND, std::span<const std::string_view> LABELS, const int& MINWID,
            const int& WIDTH, const int& INDENT, const int& HOT, const int& LINENO, std::string& LINE,
            int& IWIDTH, bool& LAST)
{
    LINE.clear();
    LAST = true;
    if (KIND == 1 && LINENO == 1) {
        LINE.assign(static_cast<std::size_t>(std::max(digits_of(K), MINWID)), ' ');
        int status = 0;
        INTSTR(K, LINE, status);
    } else if (KIND == 2) {
        const std::string_view text = K >= 1 && static_cast<std::size_t>(K) <= LABELS.size()
                                          ? LABELS[static_cast<std::size_t>(K - 1)]
                                          : std::string_view();
        const LabelLine l = WRLBL(text, WIDTH, INDENT, HOT, LINENO);
        LINE = label_line(text, l, INDENT, LINENO);
        LAST = l.is_last;
    }
    if (static_cast<int>(LINE.size()) < MINWID)
        LINE.resize(static_cast<std::size_t>(MINWID), ' ');
    IWIDTH = MINWID;
}

void WRRLW(const int& RKIND, const int& CKIND, std::span<const std::string_view> RLABEL,
           std::string_view HEADING, const int& NRA, const int& WIDTH, const int& INDENT, const int& HOT,
           int& WROW, int& MAXRL)
{
    const int zero = 0;
    WROW = CKIND >= 2 ? WRLBL(HEADING, WIDTH, zero, HOT).widest : 0;
    MAXRL = 0;
    if (RKIND == 1) {
        WROW = std::max(WROW, digits_of(std::max(NRA, 1)));
        MAXRL = 1;
    } else if (RKIND == 2) {
        for (int i = 1; i <= NRA; ++i) {
            const std::string_view text =
                static_cast<std::size_t>(i) <= RLABEL.size() ? RLABEL[static_cast<std::size_t>(i - 1)] : std::string_view();
            const LabelMeasure m = WRLBL(text, WIDTH, INDENT, HOT);
            WROW = std::max(WROW, m.widest);
            MAXRL = std::max(MAXRL, m.lines);
        }
    }
}

void column_label_zone(const int& FIELD, int& WIDTH, int& HOT)
{
    const int zero = 0;
    int option = 0;
    WRTOPT(11, option, zero);
    WIDTH = option > 0 ? option : std::clamp(FIELD + FIELD / 2, 15, 40);
    WRTOPT(12, option, zero);
    HOT = option > 0 ? option : WIDTH / 3;
}

int WRCHDR(const int& CKIND, std::span<const std::string_view> CLABEL, std::span<const HeadingColumn> COLUMNS,
           const int& WROW, const int& SPACE, const int& WIDTH, const int& HOT, const int& CENTRE,
           const int& LENGTH, const bool& WRITE, std::string& LINE)
{
    const auto label = [&](int k) {
        return k >= 1 && static_cast<std::size_t>(k) <= CLABEL.size() ? CLABEL[static_cast<std::size_t>(k - 1)]
                                                                        : std::string_view();
    };
    // Kind 2 with every label of the block blank, and kind 3 with a blank heading, write nothing.
    bool shown = CKIND == 1 || CKIND == 4 || ((CKIND == 2 || CKIND == 3) && WRLEN(label(1)) > 0);
    if (CKIND == 2)
        for (const HeadingColumn& c : COLUMNS)
            shown = shown || WRLEN(label(c.number + 1)) > 0;
    if (!shown)
        return 0;
    const int zero = 0;
    const bool numbers = CKIND == 1 || CKIND == 4;
    int written = 0;
    std::size_t start = 0;
    do {
        std::size_t end = start + 1;
        while (end < COLUMNS.size() && !COLUMNS[end].new_line)
            ++end;
        const std::span<const HeadingColumn> part = COLUMNS.subspan(start, std::min(end, COLUMNS.size()) - start);
        // The heading over the row labels stands on the first lines only.
        const bool first = start == 0;
        int lines = first && CKIND >= 2 ? WRLBL(label(1), WIDTH, zero, HOT).lines : 0;
        for (const HeadingColumn& c : part) {
            if (numbers) {
                lines = std::max(lines, 1);
            } else if (CKIND == 2) {
                int w = 0, hot = 0;
                column_label_zone(c.field, w, hot);
                lines = std::max(lines, WRLBL(label(c.number + 1), w, zero, hot).lines);
            }
        }
        for (int k = 1; k <= lines; ++k, ++written) {
            if (!WRITE)
                continue;
            LINE.clear();
            if (first && CKIND >= 2) {
                int iwidth = 0;
                bool last = false;
                const int one = 1, two = 2;
                WRRLAB(one, two, CLABEL, zero, WIDTH, zero, HOT, k, LINE, iwidth, last);
            }
            int pos = WROW > 0 ? WROW : -SPACE;
            for (const HeadingColumn& c : part) {
                const int right = pos + SPACE + c.width;
                if (numbers && k == 1) {
                    const std::string number = std::to_string(c.number);
                    put_text(LINE, right - static_cast<int>(number.size()), number);
                } else if (CKIND == 2) {
                    int w = 0, hot = 0;
                    column_label_zone(c.field, w, hot);
                    const std::string_view text = label(c.number + 1);
                    const std::string line = label_line(text, WRLBL(text, w, zero, hot, k), 0, k);
                    put_text(LINE, right - static_cast<int>(line.size()), line);
                }
                pos = right;
            }
            write_centred(LINE, CENTRE, LENGTH);
        }
        start = end;
    } while (start < COLUMNS.size());
    return written;
}

char ACHAR(const int& I)
{
    if (I >= 0)
        return static_cast<char>(static_cast<unsigned char>(I & 0xff));
    ERPUSH("ACHAR");
    ERSETI(1, I);
    ERMES(5, 1, "The ASCII value must be non-negative while I = %(I1) is given.");
    ERPOP("ACHAR");
    return '\0';
}

int WRLEN(std::string_view TEXT) { return static_cast<int>(trimmed(TEXT).size()); }

int WRLCMP(std::string_view A, std::string_view B)
{
    if (A.empty() != B.empty())
        return A.empty() ? -1 : 1;
    const std::size_t n = std::max(A.size(), B.size());
    for (std::size_t i = 0; i < n; ++i) {
        const unsigned char a = static_cast<unsigned char>(i < A.size() ? upper(A[i]) : ' ');
        const unsigned char b = static_cast<unsigned char>(i < B.size() ? upper(B[i]) : ' ');
        if (a != b)
            return a < b ? -1 : 1;
    }
    return 0;
}

}  // namespace kvpvs::numerics
