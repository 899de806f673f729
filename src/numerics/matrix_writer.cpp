// The library's table writer: a double matrix as a titled, labelled text table on the output
// unit, split into column groups or continuation lines that fit the page width and into pages
// that fit the page length, in the formats of a format list. The settings with the page-width
// check and the column widths are this writer's own; title, headings and row labels come from the
// output-support routines.
#include "numerics/numerics.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <string>
#include <vector>

namespace kvpvs::numerics {
namespace {

// One call's layout: settings, label kinds and measures, and the format in use.
struct Layout {
    std::string_view title;
    int nra = 0;
    int nca = 0;
    const double* a = nullptr;
    int lda = 1;
    int itring = 0;
    std::span<const std::string_view> rlabel;
    std::span<const std::string_view> clabel;
    std::span<std::string> chwk;

    int pw = 78, pl = 60;
    int o1 = 0, o2 = 0, o3 = 0, o5 = 0, o7 = 2, o8 = 0, o9 = 0, o10 = 0, o11 = 0, o13 = 10, o16 = 0;
    int rkind = 0, ckind = 0;
    int ntitle = 0, wtitle = 0;
    int wrow = 0, maxrl = 0;

    std::string fmt;
    bool single = false;
    std::string single_fmt;
    bool column_vw = false;  // W or V descriptors among others: per-column formats in chwk
    int chwk_base = 1;       // the column whose format chwk[0] holds
    int maxfw = -1;

    std::string_view rl(int i) const  // row label i (1-based)
    {
        return i >= 1 && static_cast<std::size_t>(i) <= rlabel.size() ? rlabel[static_cast<std::size_t>(i - 1)]
                                                                         : std::string_view();
    }
    std::string_view cl(int k) const  // CLABEL(k), k = 1 the heading over the row labels
    {
        return k >= 1 && static_cast<std::size_t>(k) <= clabel.size() ? clabel[static_cast<std::size_t>(k - 1)]
                                                                         : std::string_view();
    }
    double at(int i, int j) const { return a[static_cast<std::int64_t>(j - 1) * lda + (i - 1)]; }
};

int option(int k)
{
    int v = 0;
    const int zero = 0;
    WRTOPT(k, v, zero);
    return v;
}

int digits_of(int n) { return static_cast<int>(std::log10(n + 0.01) + 1.0); }

bool blank(std::string_view s) { return WRLEN(s) == 0; }

std::string two(int v) { return v < 10 ? " " + std::to_string(v) : std::to_string(v); }

struct Column {
    int field = 0;
    int width = 0;
    int lines = 0;
};

// WRCWD: field width of column j's descriptor, the column's width and its label lines.
Column WRCWD(const Layout& L, int j)
{
    Column c;
    WRWID(WRITEM(j, L.fmt), true, ' ', ' ', c.field);
    c.width = c.field;
    if (L.ckind == 1 || L.ckind == 4) {
        c.width = std::max(c.field, digits_of(j));
        c.lines = 1;
    } else if (L.ckind == 2) {
        int w = 0, hot = 0;
        column_label_zone(c.field, w, hot);
        const LabelMeasure m = WRLBL(L.cl(j + 1), w, 0, hot);
        c.width = std::max(m.widest, c.field);
        c.lines = m.lines;
    }
    return c;
}

// Row label lines of row i.
int row_label_lines(const Layout& L, int i)
{
    if (L.rkind == 0)
        return 0;
    if (L.rkind == 1)
        return 1;
    return WRLBL(L.rl(i), L.o8, L.o9, L.o10).lines;
}

// WRSOPT: settings of the call and the page-width check (errors at the caller's level).
void WRSOPT(Layout& L)
{
    int one = 1, two_ = 2;
    PAGEOPT(one, L.pw);
    PAGEOPT(two_, L.pl);
    L.o1 = option(1);
    L.o2 = option(2);
    L.o3 = option(3);
    L.o5 = option(5);
    L.o7 = option(7);
    L.o8 = option(8);
    L.o9 = option(9);
    L.o10 = option(10);
    L.o11 = option(11);
    L.o13 = option(13);
    L.o16 = option(16);
    if (L.o3 > 0 && L.o3 >= L.pl)
        L.o3 = 0;  // the page is full
    if (L.o8 == 0)
        L.o8 = L.nca == 1 ? 2 * L.pw / 3 : L.pw / 4;
    if (L.o10 == 0)
        L.o10 = L.o8 / 3;

    const std::string_view r1 = L.rl(1);
    L.rkind = WRLCMP(r1, "NONE") == 0 ? 0 : WRLCMP(r1, "NUMBER") == 0 ? 1 : 2;
    const std::string_view c1 = L.cl(1);
    if (WRLCMP(c1, "NONE") == 0)
        L.ckind = 0;
    else if (WRLCMP(c1, "NUMBER") == 0)
        L.ckind = 1;
    else if (L.nca < 1)
        L.ckind = 2;
    else if (WRLCMP(L.cl(2), "NONE") == 0)
        L.ckind = 3;
    else if (WRLCMP(L.cl(2), "NUMBER") == 0)
        L.ckind = 4;
    else
        L.ckind = 2;

    if (!blank(L.title)) {
        const LabelMeasure m = WRLBL(L.title, L.pw, 0, L.o13);
        L.ntitle = m.lines;
        L.wtitle = m.widest;
    }

    int w = L.maxfw;
    if (L.ckind == 1 || L.ckind == 4)
        w = std::max(w, digits_of(L.nca));
    else if (L.ckind == 2)
        w = L.o11 > 0 ? std::max(L.o11, L.maxfw) : std::clamp(L.maxfw + L.maxfw / 2, 15, 40);

    // The row-label column holds the heading over it, the row numbers or the row labels.
    WRRLW(L.rkind, L.ckind, L.rlabel, c1, L.nra, L.o8, L.o9, L.o10, L.wrow, L.maxrl);

    const std::int64_t required = static_cast<std::int64_t>(w) + L.o7 + L.wrow + 4;
    if (L.pw < required) {
        ERSETI(1, L.pw);
        ERSETI(2, static_cast<int>(required));
        if (L.maxfw < 12) {
            ERMES(5, 37, "A page width of %(I1) was retrieved via routine PAGEOPT.  The page width must be increased "
                         "to at least %(I2) by a call to PAGEOPT.");
        } else {
            ERSETI(3, L.maxfw);
            ERMES(5, 36, "A page width of %(I1) was retrieved via routine PAGEOPT.  The format FMT contains a field "
                         "width of %(I3).  Either the largest field width in FMT must be decreased or the page width "
                         "increased to at least %(I2) by a call to PAGEOPT.");
        }
    } else if (L.pw > 255) {
        ERSETI(1, L.pw);
        ERMES(5, 38, "A page width of %(I1) was retrieved via routine PAGEOPT.  The page width must be reset to no "
                     "greater than 255 by a call to PAGEOPT.");
    }
}

struct Segment {
    int c1, c2, indent;
};

// The lines of a row over columns c1..c2: with continuation, a column that would pass the page
// width less the reserved indentation (plus the line's own) starts a new line indented one more
// (modulo 5); the reservation grows until every line fits. Without continuation one line.
struct Rows {
    std::vector<Segment> segments;
    int reserve = 0;
    int width = 0;
};

Rows layout_rows(const Layout& L, int c1, int c2, bool continuation)
{
    Rows r;
    for (;;) {
        r.segments.clear();
        int pos = L.wrow > 0 ? L.wrow : -L.o7;
        int indent = 0;
        int deepest = 0;
        int start = c1;
        r.width = L.wrow;
        for (int j = c1; j <= c2; ++j) {
            const int cw = WRCWD(L, j).width;
            if (continuation && j != start && pos + L.o7 + cw > L.pw - r.reserve + indent) {
                r.segments.push_back({start, j - 1, indent});
                r.width = std::max(r.width, pos);
                indent = (indent + 1) % 5;
                deepest = std::max(deepest, indent);
                pos = L.wrow + indent;
                start = j;
            }
            pos += L.o7 + cw;
        }
        r.segments.push_back({start, c2, indent});
        r.width = std::max(r.width, pos);
        if (!continuation || deepest <= r.reserve)
            return r;
        r.reserve = deepest;
    }
}

// The columns of a block under its heading, each segment after the first on new lines.
std::vector<HeadingColumn> heading_columns(const Layout& L, const Rows& rows)
{
    std::vector<HeadingColumn> columns;
    for (std::size_t s = 0; s < rows.segments.size(); ++s)
        for (int j = rows.segments[s].c1; j <= rows.segments[s].c2; ++j) {
            const Column c = WRCWD(L, j);
            columns.push_back({j, c.field, c.width, s > 0 && j == rows.segments[s].c1});
        }
    return columns;
}

// The heading lines of a block, written (centred as lines of `length` on `centre`) or counted.
int heading(const Layout& L, const Rows& rows, bool write, int centre = 0, int length = 0)
{
    std::string line;
    return WRCHDR(L.ckind, L.clabel, heading_columns(L, rows), L.wrow, L.o7, L.o8, L.o10, centre, length, write,
                  line);
}

// The format of column j in the block.
std::string column_format(const Layout& L, int j)
{
    if (L.single)
        return L.single_fmt;
    std::string desc = WRITEM(j, L.fmt);
    if (L.column_vw && desc.find_first_of("VW") != std::string::npos) {
        const std::int64_t k = j - L.chwk_base;
        if (k >= 0 && static_cast<std::size_t>(k) < L.chwk.size())
            return L.chwk[static_cast<std::size_t>(k)];
    }
    return desc;
}

// Row label line k of row i, in the row-label column.
std::string row_label(const Layout& L, int i, int k)
{
    std::string line;
    int width = 0;
    bool last = false;
    WRRLAB(i, L.rkind, L.rlabel, L.wrow, L.o8, L.o9, L.o10, k, line, width, last);
    return line;
}

int emit(std::string line, int centre, int length)
{
    write_centred(line, centre, length);
    return 1;
}

// WRBLK: one block (rows r1..r2, columns c1..c2, already restricted); the number of lines written.
int WRBLK(const Layout& L, int r1, int r2, int c1, int c2, bool with_title, bool continuation)
{
    const Rows rows = layout_rows(L, c1, c2, continuation);
    const int bw = rows.width;
    const int tw = with_title || L.wtitle >= bw ? L.wtitle : 1;
    const int centre = L.o1 == 1 ? L.pw / 2 : std::max(tw, bw) / 2;
    int written = 0;

    // Each title line is centred on its own width, the block's lines on the block's.
    if (with_title) {
        std::string line;
        written += WRTITL(L.title, L.pw, centre, line);
    }
    written += heading(L, rows, true, centre, bw);

    for (int i = r1; i <= r2; ++i) {
        const int nl = row_label_lines(L, i);
        const int values_on = (L.o16 == 0 && L.o2 > 0) ? std::max(nl, 1) : 1;
        for (int k = 1; k < values_on; ++k)
            written += emit(row_label(L, i, k), centre, bw);
        int next_label = values_on;
        std::string line = row_label(L, i, next_label++);
        for (std::size_t s = 0; s < rows.segments.size(); ++s) {
            const Segment& seg = rows.segments[s];
            if (s > 0) {
                written += emit(line, centre, bw);
                line = row_label(L, i, next_label++);
            }
            int pos = s == 0 ? (L.wrow > 0 ? L.wrow : -L.o7) : L.wrow + seg.indent;
            for (int j = seg.c1; j <= seg.c2; ++j) {
                const Column c = WRCWD(L, j);
                const int end = pos + L.o7 + c.width;
                const std::string cell = WRVAL(L.itring, i, j, L.at(i, j), column_format(L, j));
                put_text(line, end - c.field, std::string_view(cell).substr(0, static_cast<std::size_t>(std::clamp(c.field, 0, 40))));
                pos = end;
            }
        }
        written += emit(line, centre, bw);
        for (; next_label <= nl; ++next_label)
            written += emit(row_label(L, i, next_label), centre, bw);
    }
    return written;
}

// Rows from r on that fit in `avail` lines (at least one).
int rows_that_fit(const Layout& L, int r, int last, int avail, int per_row)
{
    int count = 0;
    int used = 0;
    for (int i = r; i <= last; ++i) {
        const int need = L.rkind < 2 ? per_row : std::max(per_row, row_label_lines(L, i));
        if (count > 0 && used + need > avail)
            break;
        used += need;
        ++count;
    }
    return std::max(count, 1);
}

// The smallest multiple of the page length that exceeds `need`.
int raised_page(int pl, int need)
{
    const int m = need / pl + 1;
    return m > 1000000 ? need + 1 : pl * m;
}

void whole_rows(Layout& L, bool paging)
{
    const Rows rows = layout_rows(L, 1, L.nca, true);
    const int lpr = static_cast<int>(rows.segments.size());
    const int heading_count = heading(L, rows, false);
    if (L.column_vw) {
        const int one = 1;
        WRCFM(L.itring, one, L.nra, one, L.nca, L.a, L.lda, L.fmt, L.chwk);
        L.chwk_base = 1;
    }
    int r1 = 0, r2 = 0, c1 = 0, c2 = 0;
    if (!paging) {
        if (WRTRI(L.itring, 1, L.nra, 1, L.nca, r1, r2, c1, c2))
            WRBLK(L, r1, r2, c1, c2, true, true);
        return;
    }
    if (L.o3 == -1 || L.o3 == 0) {
        const int minus_one = -1;
        WRLIN(minus_one, "");
    }
    int used = L.o3 > 0 ? L.o3 : 0;
    const int pl = raised_page(L.pl, heading_count + L.ntitle + std::max(lpr, L.maxrl));
    const int first_need = std::max(lpr, row_label_lines(L, 1));
    if (pl - used - L.ntitle < heading_count + first_need) {
        const int minus_one = -1;
        WRLIN(minus_one, "");
        used = 0;
    }
    bool title = true;
    int r = 1;
    for (;;) {
        const int avail = pl - used - (title ? L.ntitle : 0) - heading_count;
        const int last = L.nra > 0 ? std::min(L.nra, r + rows_that_fit(L, r, L.nra, avail, lpr) - 1) : 0;
        if (WRTRI(L.itring, r, last, 1, L.nca, r1, r2, c1, c2))
            used += WRBLK(L, r1, r2, c1, c2, title, true);
        if (last >= L.nra)
            return;
        const int minus_one = -1;
        WRLIN(minus_one, "");
        used = 0;
        title = L.o5 == 1;
        r = last + 1;
    }
}

void column_groups(Layout& L, bool paging)
{
    int used = 0;
    if (paging) {
        if (L.o3 == -1 || L.o3 == 0) {
            const int minus_one = -1;
            WRLIN(minus_one, "");
        }
        used = L.o3 > 0 ? L.o3 : 0;
    }
    bool first_block = true;
    bool title = true;
    const int m = L.o2;
    int rb = 1;
    do {
        const int rb_last = L.nra > 0 ? static_cast<int>(std::min<std::int64_t>(L.nra, static_cast<std::int64_t>(rb) + m - 1)) : 0;
        int c = 1;
        do {
            // As many columns as fit in the page width (at least one).
            int g = c - 1;
            int pos = L.wrow > 0 ? L.wrow : -L.o7;
            for (int j = c; j <= L.nca; ++j) {
                const int cw = WRCWD(L, j).width;
                if (j > c && pos + L.o7 + cw > L.pw)
                    break;
                pos += L.o7 + cw;
                g = j;
            }
            if (L.column_vw) {
                WRCFM(L.itring, rb, rb_last, c, g, L.a, L.lda, L.fmt, L.chwk);
                L.chwk_base = c;
            }
            int r1 = 0, r2 = 0, c1 = 0, c2 = 0;
            if (!paging) {
                if (WRTRI(L.itring, rb, rb_last, c, g, r1, r2, c1, c2)) {
                    if (!first_block) {
                        const int one = 1;
                        WRLIN(one, " ");
                    }
                    WRBLK(L, r1, r2, c1, c2, first_block, false);
                    first_block = false;
                    if (L.nra == 0 && L.ckind == 0)
                        return;
                }
            } else {
                const Rows rows = layout_rows(L, c, g, false);
                const int heading_count = heading(L, rows, false);
                const int first_need = std::max(1, row_label_lines(L, rb));
                const int pl = raised_page(L.pl, heading_count + L.ntitle + first_need);
                if (pl - used - (title ? L.ntitle : 0) < heading_count + first_need) {
                    const int minus_one = -1;
                    WRLIN(minus_one, "");
                    used = 0;
                    title = title || L.o5 == 1;
                }
                int r = rb;
                for (;;) {
                    const int avail = pl - used - (title ? L.ntitle : 0) - heading_count;
                    const int last = rb_last >= rb ? std::min(rb_last, r + rows_that_fit(L, r, rb_last, avail, 1) - 1) : rb_last;
                    if (WRTRI(L.itring, r, last, c, g, r1, r2, c1, c2)) {
                        used += WRBLK(L, r1, r2, c1, c2, title, false);
                        title = false;
                        first_block = false;
                    }
                    if (last >= rb_last)
                        break;
                    const int minus_one = -1;
                    WRLIN(minus_one, "");
                    used = 0;
                    title = L.o5 == 1;
                    r = last + 1;
                }
                if (L.nra == 0 && L.ckind == 0)
                    return;
                const bool more = g < L.nca || rb_last < L.nra;
                if (more) {
                    if (used >= pl) {
                        const int minus_one = -1;
                        WRLIN(minus_one, "");
                        used = 0;
                        title = L.o5 == 1;
                    } else {
                        const int one = 1;
                        WRLIN(one, " ");
                        ++used;
                    }
                }
            }
            c = g + 1;
        } while (c <= L.nca);
        rb = rb_last + 1;
    } while (rb <= L.nra);
}

}  // namespace

void PRTREG(std::string_view TITLE, const int& NRA, const int& NCA, const double* A, const int& LDA,
            const int& ITRING, std::string_view FMT, std::span<const std::string_view> RLABEL,
            std::span<const std::string_view> CLABEL, std::span<std::string> CHWK)
{
    ERPUSH("PRTREG");
    int code = 1;
    CKRANG(NRA, "NRA", 3, 0, -1, code);
    CKRANG(LDA, "LDA", 3, 1, 0, code);
    if (NCA != 0 && LDA >= 1)
        CKLE(NRA, "NRA", 3, LDA, "LDA", 3, code);
    else
        ++code;
    CKRANG(NCA, "NCA", 3, 0, -1, code);
    CKRANG(ITRING, "ITRING", 6, -2, 2, code);

    Layout L;
    L.title = TITLE;
    L.nra = NRA;
    L.nca = NCA;
    L.a = A;
    L.lda = LDA;
    L.itring = ITRING;
    L.rlabel = RLABEL;
    L.clabel = CLABEL;
    L.chwk = CHWK;

    if (blank(FMT)) {
        const auto range = [&](int w, int d) { return FMTRNG(NRA, NCA, A, LDA, ITRING, w, d); };
        switch (option(6)) {
        case 0: L.fmt = range(10, 4); break;
        case 1: L.fmt = range(12, 6); break;
        case 2: L.fmt = "(1PE12.5)"; break;
        case 3: L.fmt = range(-10, -4); break;
        case 4: L.fmt = range(-12, -6); break;
        default: {
            // 1P E format with every digit of a double: d = INT(0.05 - log10(eps)) - 1, w = d + 7.
            const int d = std::min(33, static_cast<int>(0.05 - std::log10(RCONST(4))) - 1);
            L.fmt = "(1PE" + two(d + 7) + "." + two(d) + ")";
            break;
        }
        }
    } else {
        L.fmt = std::string(FMT);
    }
    WRFMT(L.fmt, L.single, L.maxfw);
    if (ERTYPE(0) == 0)
        WRSOPT(L);
    if (ERTYPE(0) == 0) {
        if (L.single) {
            std::size_t at = std::string::npos;
            for (char letter : {'V', 'v', 'W', 'w'})
                if ((at = L.fmt.find(letter)) != std::string::npos)
                    break;
            const std::size_t dot = L.fmt.find('.', at);
            const std::size_t close = L.fmt.find(')', dot);
            int w = 0, d = 0, status = 0;
            WRINT(std::string_view(L.fmt).substr(at + 1, dot - at - 1), w, status);
            WRINT(std::string_view(L.fmt).substr(dot + 1, close - dot - 1), d, status);
            const int digits = (L.fmt[at] == 'V' || L.fmt[at] == 'v') ? -d : d;
            L.single_fmt = FMTRNG(NRA, NCA, A, LDA, ITRING, w, digits);
        } else {
            L.column_vw = L.fmt.find_first_of("VvWw") != std::string::npos;
        }
        const bool paging = L.o3 != -2;
        if (L.o2 == 0)
            whole_rows(L, paging);
        else
            column_groups(L, paging);
    }
    int unused = 0;
    const int zero = 0;
    WRTOPT(zero, unused, zero);
    ERPOP("PRTREG");
}

}  // namespace kvpvs::numerics
