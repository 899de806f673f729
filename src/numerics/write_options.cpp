// What the table writer decides with: the print options, the choice of a format from the
// values, the validation of a format list, label line breaking, the triangle restriction of a
// block, the line writer with its page count, and the formats of W and V columns.
#include "numerics/numerics.h"

#include <DFORRT/FormattedIO.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <string>

namespace kvpvs::numerics {
namespace {

constexpr int NOPT = 16;
constexpr int DEFAULTS[NOPT] = {0, 1000000, -2, 2, 0, 3, 2, 0, 3, 0, 0, 0, 10, 0, 0, 0};
// Allowed settings; an upper bound below the lower one means "or more".
constexpr int LOWER[NOPT] = {0, 0, -2, 0, 0, 0, 0, 0, 0, 0, 0, 0, 1, 0, 0, 0};
constexpr int UPPER[NOPT] = {1, -1, -3, 3, 1, 5, 5, 255, 10, 50, 255, 50, 50, 1, 1, 1};

struct Options {
    int current[NOPT];
    int global[NOPT];
    int scope[NOPT];
    Options()
    {
        for (int i = 0; i < NOPT; ++i) {
            current[i] = DEFAULTS[i];
            global[i] = DEFAULTS[i];
            scope[i] = 1;
        }
    }
};

Options g_options;

int iabs(int v) { return v == INT32_MIN ? INT32_MAX : std::abs(v); }

char upper(char c) { return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c; }

std::string two(int v) { return v < 10 ? " " + std::to_string(v) : std::to_string(v); }

bool word_char(char c)
{
    const int u = static_cast<unsigned char>(c);
    return (u >= 48 && u <= 58) || (u >= 65 && u <= 91) || (u >= 97 && u <= 122);
}

struct Cut {
    int first;
    int last;
    int next;
    bool is_last;
};

// One line of a label from position p (1-based); n is the position of the last non-blank.
Cut cut_line(std::string_view t, int n, int p, int indent, int width, int hot)
{
    const auto at = [&](std::int64_t k) { return t[static_cast<std::size_t>(k - 1)]; };
    const auto break_at = [&](std::int64_t k) { return k + 1 <= n && at(k) == '%' && at(k + 1) == '/'; };
    const std::int64_t h = static_cast<std::int64_t>(p) - indent + width - hot;
    for (std::int64_t k = p;; ++k) {
        if (k == n)
            return {p, n, n + 1, true};
        if (break_at(k))  // "%/" at the very end ends the last line
            return {p, static_cast<int>(k - 1), static_cast<int>(k + 2), k + 2 > n};
        if (k < h)
            continue;
        for (std::int64_t q = k; q <= k + hot && q < n; ++q)
            if (break_at(q))
                return {p, static_cast<int>(q - 1), static_cast<int>(q + 2), q + 2 > n};
        if (n < h + hot)
            return {p, n, n + 1, true};
        for (std::int64_t q = k; q <= k + hot && q <= n; ++q)
            if (at(q) == ' ')
                return {p, static_cast<int>(q - 1), static_cast<int>(q + 1), false};
        std::int64_t q = k;
        while (q < k + hot && q <= n && word_char(at(q)))
            ++q;
        // Every line takes at least one character: a width no larger than indentation plus
        // hot zone would otherwise repeat an empty line for ever.
        if (q <= p)
            q = p + 1;
        return {p, static_cast<int>(q - 1), static_cast<int>(q), q > n};
    }
}

int line_width(std::string_view t, const Cut& c, int indent)
{
    if (c.last < c.first)
        return 0;
    const std::string_view chars = t.substr(static_cast<std::size_t>(c.first - 1),
                                            static_cast<std::size_t>(c.last - c.first + 1));
    if (chars.find_first_not_of(' ') == std::string_view::npos)
        return 0;
    return indent + static_cast<int>(chars.size());
}

}  // namespace

void WRTOPT(const int& IOPT, int& IVSET, const int& ISCOPE)
{
    ERPUSH("WRTOPT");
    int code = 1;
    CKRANG(iabs(IOPT), "IABS(IOPT)", 10, 0, NOPT, code);
    if (IOPT <= -1 && IOPT >= -NOPT) {
        const int k = -IOPT - 1;
        CKRANG(IVSET, "IVSET", 5, LOWER[k], UPPER[k], code);
    }
    if (IOPT != 0)
        CKRANG(ISCOPE, "ISCOPE", 6, 0, 1, code);
    if (ERTYPE(0) == 0) {
        Options& o = g_options;
        if (IOPT > 0) {
            IVSET = ISCOPE == 0 ? o.current[IOPT - 1] : o.global[IOPT - 1];
        } else if (IOPT < 0) {
            const int k = -IOPT - 1;
            o.current[k] = IVSET;
            if (ISCOPE == 1)
                o.global[k] = IVSET;
            o.scope[k] = ISCOPE;
        } else {
            for (int k = 0; k < NOPT; ++k) {
                o.scope[k] = 1;
                // Option 3 is then the running count of lines on the page: it stays.
                if (k == 2 && o.global[k] >= 0)
                    continue;
                o.current[k] = o.global[k];
            }
        }
    }
    ERPOP("WRTOPT");
}

std::string FMTRNG(const int& NRA, const int& NCA, const double* A, const int& LDA, const int& ITRING,
                   const int& NWIDTH, const int& NSIG)
{
    ERPUSH("FMTRNG");
    int code = 1;
    CKRANG(NRA, "NRA", 3, 0, -1, code);
    CKRANG(LDA, "LDA", 3, 1, 0, code);
    if (NCA != 0 && LDA >= 1)
        CKLE(NRA, "NRA", 3, LDA, "LDA", 3, code);
    else
        ++code;
    CKRANG(NCA, "NCA", 3, 0, -1, code);
    const int W = iabs(NWIDTH);
    const int NS = iabs(NSIG);
    CKRANG(W, "NWIDTH", 6, 3, 40, code);
    const int nsm2 = NS - 2;
    CKLE(nsm2, "NSIG-2", 6, W, "NWIDTH", 6, code);
    if (ERTYPE(0) != 0) {
        ERPOP("FMTRNG");
        return std::string(10, ' ');
    }
    const auto column = [&](int j) { return A + static_cast<std::int64_t>(j - 1) * LDA; };
    const int one = 1;
    bool any = false;
    bool whole = NSIG >= 0;
    double x = 0.0;
    for (int j = 1; j <= NCA; ++j) {
        int first = 0;
        int n = 0;
        WRROWS(ITRING, one, NRA, j, first, n);
        if (n == 0)
            continue;
        const double* col = column(j) + (first - 1);
        for (int i = 0; i < n && !any; ++i)
            any = !ISNAN(col[i]);
        if (whole) {
            int flag = 0;
            WRWHOL(n, col, W, flag);
            whole = flag == 1;
        }
        int imax = 0;
        MAXABS(n, col, one, imax);
        if (imax > 0)
            x = std::max(x, std::fabs(col[imax - 1]));
    }
    std::string result;
    if (!any) {
        result = FMTMAT(RCONST(6), W, NS);
    } else if (whole && NWIDTH > 0) {
        result = "(I" + two(W) + ")     ";
    } else if (whole) {
        const double digits = std::log10(x + 0.51) + 2.0;
        const int w = std::max(2, digits > 99.0 ? 99 : static_cast<int>(digits));
        result = "(I" + two(std::min(w, 99)) + ")     ";
    } else {
        result = FMTMAT(x, W, NS);
        if (result.compare(0, 4, "(0PF") == 0) {
            if (NSIG > 0)
                WRFDIG(NRA, NCA, A, LDA, ITRING, result);
            if (NWIDTH < 0) {
                const int d = result[7] == ' ' ? result[8] - '0' : (result[7] - '0') * 10 + (result[8] - '0');
                double need = d + 3;
                if (x > 1.0)
                    need = std::trunc(d + std::log10(x + 0.51 * std::pow(10.0, -d)) + 3.0);
                if (need < W) {
                    const std::string w2 = two(static_cast<int>(need));
                    result[4] = w2[0];
                    result[5] = w2[1];
                }
            }
        }
    }
    ERPOP("FMTRNG");
    return result;
}

namespace {

struct ItemCheck {
    bool ok = false;
    int width = 0;
    int repeat = 1;
};

bool read_int(std::string_view s, int& v)
{
    int status = 0;
    STRINT(s, v, status);
    return status == 0;
}

// Repeat count (and scale factor kP when `scaled`) in front of the edit letter.
bool check_prefix(std::string_view prefix, bool scaled, std::string_view item, ItemCheck& r)
{
    std::string_view count = prefix;
    if (scaled) {
        const std::size_t p = prefix.find('P');
        if (p != std::string_view::npos) {
            int k = 0;
            if (!read_int(prefix.substr(0, p), k)) {
                WRFERR(15, item);
                return false;
            }
            count = prefix.substr(p + 1);
        }
    }
    if (count.empty())
        return true;
    if (!read_int(count, r.repeat)) {
        WRFERR(8, item);
        return false;
    }
    if (r.repeat < 1) {
        WRFERR(9, item);
        return false;
    }
    return true;
}

void direct(int code, std::string_view item, char letter, const char* text)
{
    ERSETL(1, item);
    ERSETL(2, std::string_view(&letter, 1));
    ERMES(5, code, text);
}

// One item of a format list; reports its first fault at the caller's level.
ItemCheck check_item(std::string_view raw, bool vw_only)
{
    ItemCheck r;
    std::string s;
    for (char c : raw)
        if (c != ' ')
            s.push_back(upper(c));
    const std::string_view item = raw;
    if (s.empty()) {
        WRFERR(34, item);
        return r;
    }
    std::size_t at = s.find('V');
    if (at == std::string::npos)
        at = s.find('W');
    char letter = at != std::string::npos ? s[at] : '\0';
    if (letter == '\0' && !vw_only) {
        for (char c : {'F', 'I', 'D', 'G', 'E'}) {
            at = s.find(c);
            if (at != std::string::npos) {
                letter = c;
                break;
            }
        }
    }
    if (letter == '\0') {
        WRFERR(33, item);
        return r;
    }
    const std::string_view sv(s);
    const std::string_view prefix = sv.substr(0, at);
    const std::string_view rest = sv.substr(at + 1);
    const std::size_t dot = rest.find('.');
    const bool scaled = letter == 'F' || letter == 'D' || letter == 'G' || letter == 'E';
    if (!check_prefix(prefix, scaled, item, r))
        return r;
    int w = 0;
    int d = 0;
    if (letter == 'V' || letter == 'W') {
        if (dot == std::string_view::npos)
            return WRFERR(10, item), r;
        if (!read_int(rest.substr(0, dot), w))
            return WRFERR(11, item), r;
        if (w < 3 || w > 40)
            return WRFERR(12, item), r;
        if (!read_int(rest.substr(dot + 1), d))
            return WRFERR(13, item), r;
        if (d < 0 || d > w - 2)
            return WRFERR(14, item), r;
    } else if (letter == 'F') {
        if (dot == std::string_view::npos)
            return WRFERR(16, item), r;
        if (!read_int(rest.substr(0, dot), w))
            return WRFERR(11, item), r;
        if (w < 2 || w > 40)
            return WRFERR(17, item), r;
        if (!read_int(rest.substr(dot + 1), d))
            return WRFERR(18, item), r;
        if (d < 0 || d > w - 2)
            return WRFERR(19, item), r;
    } else if (letter == 'I') {
        if (!read_int(rest.substr(0, dot), w))
            return WRFERR(11, item), r;
        if (w < 1 || w > 40)
            return WRFERR(20, item), r;
        if (dot != std::string_view::npos) {
            if (!read_int(rest.substr(dot + 1), d))
                return WRFERR(13, item), r;
            if (d < 0 || d > w)
                return WRFERR(21, item), r;
        }
    } else {
        if (dot == std::string_view::npos) {
            direct(22, item, letter, "FMT contains the following invalid %(L2) format: '%(L1)'");
            return r;
        }
        if (!read_int(rest.substr(0, dot), w))
            return WRFERR(11, item), r;
        if (w < 8 || w > 40) {
            direct(23, item, letter, "The following format in FMT contains an invalid field width for the %(L2) format: '%(L1)'");
            return r;
        }
        const std::string_view frac = rest.substr(dot + 1);
        std::size_t j = 0;
        while (j < frac.size() && frac[j] >= '0' && frac[j] <= '9')
            ++j;
        if (j == 0 || !read_int(frac.substr(0, j), d))
            return WRFERR(18, item), r;
        const std::string_view tail = frac.substr(j);
        if (!tail.empty()) {
            if (tail[0] != 'E') {
                direct(22, item, letter, "FMT contains the following invalid %(L2) format: '%(L1)'");
                return r;
            }
            int e = 0;
            if (tail.size() < 2 || !read_int(tail.substr(1), e))
                return WRFERR(24, item), r;
            if (e < 1)
                return WRFERR(25, item), r;
        }
        if (d < 0 || d > w - 7) {
            direct(26, item, letter,
                   "FMT contains an invalid number of digits for the fractional part for the following %(L2) format: '%(L1)'");
            return r;
        }
    }
    r.ok = true;
    r.width = w;
    return r;
}

}  // namespace

void WRFMT(std::string_view FMT, bool& SINGLE, int& MAXWID)
{
    MAXWID = -1;
    SINGLE = false;
    const int n = std::max(1, WRLEN(FMT));
    if (n < 4) {
        WRFERR(35, FMT.substr(0, static_cast<std::size_t>(std::min<int>(n, static_cast<int>(FMT.size())))));
        return;
    }
    const std::size_t first = FMT.find_first_not_of(' ');
    if (FMT[first] != '(') {
        ERMES(5, 6, "The first non-blank position of FMT must be a left parenthesis.");
        return;
    }
    const std::string_view body = FMT.substr(0, static_cast<std::size_t>(n));
    std::size_t pos = first + 1;
    const bool single = body.find(',', pos) == std::string_view::npos;
    while (true) {
        const std::size_t comma = body.find(',', pos);
        std::string_view item;
        bool last = false;
        if (comma != std::string_view::npos) {
            item = body.substr(pos, comma - pos);
        } else if (body.back() == ')' && body.size() - 1 >= pos) {
            item = body.substr(pos, body.size() - 1 - pos);
            last = true;
        } else {
            ERMES(5, 7, "The last non-blank position of FMT must be a right parenthesis.");
            return;
        }
        if (single) {
            // One item is first tried as a W or V descriptor.
            std::string s;
            for (char c : item)
                if (c != ' ')
                    s.push_back(upper(c));
            if (s.find_first_of("VW") != std::string::npos) {
                const ItemCheck r = check_item(item, true);
                if (r.ok) {
                    MAXWID = r.width;
                    SINGLE = r.repeat == 1;
                }
                return;
            }
        }
        const ItemCheck r = check_item(item, false);
        if (r.ok)
            MAXWID = std::max(MAXWID, r.width);
        if (last)
            return;
        pos = comma + 1;
    }
}

void WRINT(std::string_view TEXT, int& VALUE, int& STATUS)
{
    VALUE = 0;
    const int len = static_cast<int>(TEXT.size());
    if (len == 0) {
        STATUS = -1;
        return;
    }
    int i = 0;
    while (i < len && TEXT[static_cast<std::size_t>(i)] == ' ')
        ++i;
    int sign = 1;
    if (i < len && (TEXT[static_cast<std::size_t>(i)] == '+' || TEXT[static_cast<std::size_t>(i)] == '-')) {
        sign = TEXT[static_cast<std::size_t>(i)] == '-' ? -1 : 1;
        ++i;
    }
    const int digits = i;
    std::int64_t v = 0;
    while (i < len && TEXT[static_cast<std::size_t>(i)] >= '0' && TEXT[static_cast<std::size_t>(i)] <= '9') {
        v = 10 * v + (TEXT[static_cast<std::size_t>(i)] - '0');
        if (v > ICONST(5)) {
            STATUS = -2;
            return;
        }
        ++i;
    }
    if (i == digits) {
        // The first character that does not fit; an all-blank field (or a lone sign) fails at 1.
        STATUS = i < len ? i + 1 : 1;
        return;
    }
    while (i < len && TEXT[static_cast<std::size_t>(i)] == ' ')
        ++i;
    if (i < len) {
        STATUS = i + 1;
        return;
    }
    VALUE = static_cast<int>(sign * v);
    STATUS = 0;
}

LabelMeasure WRLBL(std::string_view TEXT, const int& WIDTH, const int& INDENT, const int& HOT)
{
    LabelMeasure m;
    const int n = WRLEN(TEXT);
    int p = 1;
    while (p <= n) {
        const int indent = m.lines == 0 ? 0 : INDENT;
        const Cut c = cut_line(TEXT, n, p, indent, WIDTH, HOT);
        ++m.lines;
        m.widest = std::max(m.widest, line_width(TEXT, c, indent));
        if (c.is_last)
            break;
        p = c.next;
    }
    return m;
}

LabelLine WRLBL(std::string_view TEXT, const int& WIDTH, const int& INDENT, const int& HOT, const int& LINE)
{
    LabelLine line;
    const int n = WRLEN(TEXT);
    int p = 1;
    for (int k = 1; p <= n; ++k) {
        const int indent = k == 1 ? 0 : INDENT;
        const Cut c = cut_line(TEXT, n, p, indent, WIDTH, HOT);
        if (k == LINE) {
            line.width = line_width(TEXT, c, indent);
            line.first = c.first;
            line.last = c.last;
            line.is_last = c.is_last;
            return line;
        }
        if (c.is_last)
            break;
        p = c.next;
    }
    return line;  // past the last line: no characters
}

bool WRTRI(const int& ITRING, const int& R1, const int& R2, const int& C1, const int& C2, int& ROW1,
           int& ROW2, int& COL1, int& COL2)
{
    ROW1 = R1;
    ROW2 = R2;
    COL1 = C1;
    COL2 = C2;
    switch (ITRING) {
    case 0: return true;
    case 1:
        if (C2 < R1)
            return false;
        ROW2 = std::min(R2, C2);
        COL1 = std::max(R1, C1);
        return true;
    case 2:
        if (C2 <= R1)
            return false;
        ROW2 = std::min(R2, C2 - 1);
        COL1 = std::max(R1 + 1, C1);
        return true;
    case -1:
        if (R2 < C1)
            return false;
        ROW1 = std::max(R1, C1);
        COL2 = std::min(C2, R2);
        return true;
    case -2:
        if (R2 <= C1)
            return false;
        ROW1 = std::max(C1 + 1, R1);
        COL2 = std::min(C2, R2 - 1);
        return true;
    default: return false;
    }
}

void WRLIN(const int& N, std::string_view TEXT)
{
    int unit = 0;
    IOUNIT(2, unit);
    int count = 0;
    const int three = 3;
    const int zero = 0;
    WRTOPT(three, count, zero);
    if (N == -1) {
        dforrt::WriteRecord(unit, "1");
        if (count >= 0) {
            count = 0;
            WRTOPT(-three, count, zero);
        }
        return;
    }
    if (N <= 0)
        return;
    if (count >= 0) {
        int length = 0;
        const int two_ = 2;
        PAGEOPT(two_, length);
        if (count >= length) {
            dforrt::WriteRecord(unit, "1");
            count = 0;
        }
        ++count;
        WRTOPT(-three, count, zero);
    }
    dforrt::WriteRecord(unit, TEXT.substr(0, std::min<std::size_t>(static_cast<std::size_t>(N), TEXT.size())));
}

void WRCFM(const int& ITRING, const int& R1, const int& R2, const int& C1, const int& C2, const double* A,
           const int& LDA, std::string_view FMT, std::span<std::string> CHWK)
{
    for (int c = C1, k = 1; c <= C2; ++c, ++k) {
        const std::string desc = WRITEM(c, FMT);
        const std::size_t letter = desc.find_first_of("VW");
        if (letter == std::string::npos)
            continue;
        int w = 0;
        int d = 0;
        WRWID(desc, true, ' ', ' ', w);
        WRWID(desc, false, '.', ')', d);
        int first = 0;
        int n = 0;
        WRROWS(ITRING, R1, R2, c, first, n);
        if (n == 0 || static_cast<std::size_t>(k) > CHWK.size())
            continue;
        const int zero = 0;
        const int digits = desc[letter] == 'V' ? -d : d;
        CHWK[static_cast<std::size_t>(k - 1)] =
            FMTRNG(n, 1, A + static_cast<std::int64_t>(c - 1) * LDA + (first - 1), n, zero, w, digits);
    }
}

}  // namespace kvpvs::numerics
