#pragma once
// The numerical library's routines below the regression: machine constants, vector kernels
// and argument checks, text routines, Chebyshev series with the error, gamma and beta
// functions, and the t and incomplete beta distributions. Conventions: every argument by
// reference in its documented order, vectors 1-based with a stride (pointer to element 1),
// texts carry their length, each routine reports through the error machinery
// (error_machinery.h), and machine-dependent constants and series lengths are computed on
// the first call. Not re-entrant; the host's UI thread only.

#include "numerics/error_machinery.h"

#include <cstdint>
#include <span>
#include <string>
#include <string_view>

namespace kvpvs::numerics {

// ---- machine_constants.cpp ---------------------------------------------------------------
// 1 tiny, 2 huge, 3 2^-53, 4 2^-52, 5 log10(2), 6 quiet NaN, 7 +inf, 8 -inf.
double RCONST(const int& N);
bool ISNAN(const double& X);
// Q = A / B guarded against overflow, underflow and 0/0 (-0 counts as positive).
void SAFEEQ(const double& A, const double& B, double& Q);

// ---- vector_kernels.cpp ------------------------------------------------------------------
// Element k of a vector with stride INC > 0 is 1 + (k - 1) INC; VCOPY, VDOT and VDOT3 start a
// negative stride at the far end. The others ignore a stride below 1 (no-op, 0).
void VCOPY(const int& N, const double* X, const int& INCX, double* Y, const int& INCY);
void VFILL(const int& N, const double& VALUE, double* X, const int& INCX);
void IFILL(const int& N, const int& VALUE, int* IX, const int& INCX);
double VSUM(const int& N, const double* X, const int& INCX);
double VDOT(const int& N, const double* X, const int& INCX, const double* Y, const int& INCY);
double VDOT3(const int& N, const double* X, const int& INCX, const double* Y, const int& INCY,
             const double* Z, const int& INCZ);
int IXMAX(const int& N, const double* X, const int& INCX);
int IXMIN(const int& N, const double* X, const int& INCX);

// ---- argument_checks.cpp -----------------------------------------------------------------
// TERMINAL errors at the caller's level; CODE advances by 1, 1, 2, 3 and 1 whatever happens.
void CKRANG(const int& VALUE, const char* NAME, const int& NAMELEN, const int& LOWER,
            const int& UPPER, int& CODE);
void CKLE(const int& VALUE, const char* NAME, const int& NAMELEN, const int& OTHER,
          const char* ONAME, const int& ONAMELEN, int& CODE);
// The same against a bound formed in 64 bits, such as an int argument less 2.
void CKLE(const int& VALUE, const char* NAME, const int& NAMELEN, const std::int64_t& OTHER,
          const char* ONAME, const int& ONAMELEN, int& CODE);
void CKCOL(const int& LOWER, const int& VALUE, const char* NAME, const int& NAMELEN,
           const int& NCOL, const char* NCNAME, const int& NCNAMELEN, int& CODE);
void CKDIM(const int& LOWER, const int& VALUE, const char* NAME, const int& NAMELEN, const int& LD,
           const char* LDNAME, const int& LDNAMELEN, int& CODE);
void CKDNN(const double& VALUE, const char* NAME, const int& NAMELEN, int& CODE);

// ---- text_routines.cpp -------------------------------------------------------------------
// NUMBER right-justified in FIELD. STATUS 0; -1 for an empty field; otherwise the number of
// characters that did not fit (the field then holds asterisks).
void INTSTR(const int& NUMBER, std::span<char> FIELD, int& STATUS);
// Signed integer from FIELD (blanks, sign, blanks, digits, blanks). STATUS 0 when the whole
// field is the number; -1 empty or blank; -2 beyond ICONST(5); otherwise the position of the
// first character that is not part of it (the first non-blank when no digit follows the
// sign). NUMBER holds the signed value read so far (0 after -1 and -2).
void STRINT(std::string_view FIELD, int& NUMBER, int& STATUS);
// Position of the first character of TEXT not in SET, 0 if none.
int TXVRFY(std::string_view TEXT, std::string_view SET);
// Position of SUB in TEXT, letters compared without regard to case; 0 if absent.
int TXINDX(std::string_view TEXT, std::string_view SUB);
// The same, case-sensitive.
int TXINDC(std::string_view TEXT, std::string_view SUB);
// Blank-padded comparison without regard to case: -1, 0 or 1.
int TXCMPI(std::string_view A, std::string_view B);
// SOURCE(I1:I2) into TARGET(J1:J2), blank-filled. STATUS -2 invalid range (a range of
// length 0 is I2 = I1 - 1), -1 when J2 passes the end of TARGET (nothing copied), 0 when all
// was copied, -(2 + k) when the target range was k characters short.
void TXCOPY(std::string_view SOURCE, const int& I1, const int& I2, std::span<char> TARGET,
            const int& J1, const int& J2, int& STATUS);

// ---- text_integer.cpp --------------------------------------------------------------------
void TXTINT(std::string_view STRING, int& NUMBER);

// ---- special_functions.cpp ---------------------------------------------------------------
int INITDS(const double* OS, const int& NOS, const float& ETA);
double DCSEVL(const double& X, const double* CS, const int& N);
double DERFC(const double& X);
double DGAMMA(const double& X);
double DLNGAM(const double& X);
double D9LGMC(const double& X);
void D9GAML(double& XMIN, double& XMAX);
double DLNREL(const double& X);
double DLBETA(const double& A, const double& B);

// ---- distributions.cpp -------------------------------------------------------------------
double TDIST(const double& T, const double& DF);
double DBETAI(const double& X, const double& PIN, const double& QIN);
// A distribution function and its complement, each to its own relative accuracy.
struct BetaTails {
    double lower, upper;
};
// The incomplete beta function behind DBETAI and FDIST, without the argument checks and the
// error stack's name: I_X(PIN, QIN) and its complement, with X1 = 1 - X formed directly by the
// caller and LNX = ln X where X has underflowed (else NaN), in the wider precision that its
// size, some 710, needs. A fraction that does not end posts TERMINAL 7 and gives NaN.
BetaTails incomplete_beta(double X, double X1, double PIN, double QIN, long double LNX);
// I_y(a, b) and its complement at y = z / (z + b) for a large second shape b, which large_b
// tells.
bool large_b(double a, double b);
BetaTails beta_large_b(double a, double b, double z);

// ---- output_support.cpp ------------------------------------------------------------------
// Format texts are 10 characters ("(0PF10. 2)", "(1PD12. 4)", "(I10)     "); cell texts 40.
// IOPT 1 or 2 returns the page width or length in IPAGE; -1 or -2 sets it (at least 10).
void PAGEOPT(const int& IOPT, int& IPAGE);
// The F or exponent format for X in NWIDTH positions with NSIG significant digits.
std::string FMTMAT(const double& X, const int& NWIDTH, const int& NSIG);
// Lowers the decimals of an F format to the most that the selected values need.
void WRFDIG(const int& NRA, const int& NCA, const double* A, const int& LDA, const int& ITRING,
            std::string& FMT);
// FLAG 1 when every value but NaNs is a whole number in an integer field of NDIG characters.
void WRWHOL(const int& N, const double* X, const int& NDIG, int& FLAG);
void MAXABS(const int& N, const double* X, const int& INCX, int& IMAX);
// First selected row of column J within rows I1..I2 by the triangle option, and their count.
void WRROWS(const int& ITRING, const int& I1, const int& I2, const int& J, int& IFIRST, int& NROWS);
std::string WRVAL(const int& ITRING, const int& I, const int& J, const double& X, std::string_view FMT);
std::string WRELEM(const double& X, std::string_view FMT);
// Descriptor J (from 1) of the format list FMT, in parentheses, without its repeat count.
std::string WRITEM(const int& J, std::string_view FMT);
// The integer after the edit letter of DESC (SWITCH true), or between the characters C1 and C2.
void WRWID(std::string_view DESC, const bool& SWITCH, const char& C1, const char& C2, int& IW);
// Records the TERMINAL format error CODE for ITEM at the caller's level.
void WRFERR(const int& CODE, std::string_view ITEM);
// The table writer's lines are built in a line buffer LINE: TEXT placed from column AT (0-based;
// what falls before column 0 is cut), blanks filled in between.
void put_text(std::string& LINE, const int& AT, std::string_view TEXT);
// LINE without its trailing blanks, centred on CENTRE as a line of LENGTH (WRCTR) and written by
// WRLIN; a blank line is written as one blank.
void write_centred(std::string& LINE, const int& CENTRE, const int& LENGTH);
// Shifts LINE right by CENTRE - LENGTH / 2 when that is 1 or more; LENGTH grows by the shift.
void WRCTR(const int& CENTRE, int& LENGTH, std::string& LINE);
// TITLE broken into lines of WIDTH (hot zone: option 13), each centred on CENTRE; the lines written.
int WRTITL(std::string_view TITLE, const int& WIDTH, const int& CENTRE, std::string& LINE);
// Line LINENO of label K by its KIND into LINE: 0 none, 1 the number K right-justified in at least
// MINWID columns, 2 entry K of LABELS broken at WIDTH with INDENT and HOT. LINE is blank-filled to
// MINWID, IWIDTH = MINWID, LAST when no line of the label follows.
void WRRLAB(const int& K, const int& KIND, std::span<const std::string_view> LABELS, const int& MINWID,
            const int& WIDTH, const int& INDENT, const int& HOT, const int& LINENO, std::string& LINE,
            int& IWIDTH, bool& LAST);
// The row-label column: WROW as wide as the heading over it (column-label kinds 2 to 4), the row
// numbers (row kind 1) or the widest line of rows 1..NRA's labels (row kind 2); MAXRL the largest
// number of lines of a row label (0 none, 1 numbers).
void WRRLW(const int& RKIND, const int& CKIND, std::span<const std::string_view> RLABEL,
           std::string_view HEADING, const int& NRA, const int& WIDTH, const int& INDENT, const int& HOT,
           int& WROW, int& MAXRL);
// One column of a block under its heading; `new_line` when the heading continues on further lines
// from this column on.
struct HeadingColumn {
    int number = 0;
    int field = 0;
    int width = 0;
    bool new_line = false;
};
// Column-label width and hot zone of a column of field width FIELD: options 11 and 12, or their
// defaults (1.5 FIELD within 15..40, a third of the width).
void column_label_zone(const int& FIELD, int& WIDTH, int& HOT);
// The heading lines of one block (column-label kind CKIND; CLABEL the heading over the row labels,
// broken at WIDTH and HOT, then one label per column) over a row-label column of WROW and columns
// SPACE apart, centred on CENTRE as lines of LENGTH. Returns the number of lines; with WRITE false
// they are only counted.
int WRCHDR(const int& CKIND, std::span<const std::string_view> CLABEL, std::span<const HeadingColumn> COLUMNS,
           const int& WROW, const int& SPACE, const int& WIDTH, const int& HOT, const int& CENTRE,
           const int& LENGTH, const bool& WRITE, std::string& LINE);
char ACHAR(const int& I);
int WRLEN(std::string_view TEXT);
int WRLCMP(std::string_view A, std::string_view B);

// ---- write_options.cpp -------------------------------------------------------------------
// IOPT -k sets option k to IVSET, k returns it, 0 resets the current values to the global ones.
void WRTOPT(const int& IOPT, int& IVSET, const int& ISCOPE);
std::string FMTRNG(const int& NRA, const int& NCA, const double* A, const int& LDA, const int& ITRING,
                   const int& NWIDTH, const int& NSIG);
// Validates FMT at the caller's level; SINGLE when it is one W or V descriptor, MAXWID the
// largest field width read (-1 none).
void WRFMT(std::string_view FMT, bool& SINGLE, int& MAXWID);
void WRINT(std::string_view TEXT, int& VALUE, int& STATUS);
// Line breaking of labels and titles: "%/" breaks, a hot zone at the end of the width where a
// line may end at a blank or after a word. Positions are 1-based in TEXT.
struct LabelMeasure {
    int lines = 0;
    int widest = 0;
};
struct LabelLine {
    int width = 0;  // indentation plus characters; 0 for a line of no characters or blanks only
    int first = 1;
    int last = 0;   // last < first: no characters
    bool is_last = true;
};
LabelMeasure WRLBL(std::string_view TEXT, const int& WIDTH, const int& INDENT, const int& HOT);
LabelLine WRLBL(std::string_view TEXT, const int& WIDTH, const int& INDENT, const int& HOT, const int& LINE);
// Rows and columns of a block that the triangle option keeps; false when none.
bool WRTRI(const int& ITRING, const int& R1, const int& R2, const int& C1, const int& C2, int& ROW1,
           int& ROW2, int& COL1, int& COL2);
// N -1 starts a new page; N > 0 writes TEXT's first N characters on the output unit.
void WRLIN(const int& N, std::string_view TEXT);
// The formats of the block's W and V columns from their values into CHWK (one per block column).
void WRCFM(const int& ITRING, const int& R1, const int& R2, const int& C1, const int& C2, const double* A,
           const int& LDA, std::string_view FMT, std::span<std::string> CHWK);

// ---- matrix_writer.cpp -------------------------------------------------------------------
// A titled, labelled, paged table of A (LDA by NCA) on the output unit. RLABEL: "NONE",
// "NUMBER" or one text per row; CLABEL: heading over the row labels, then one per column.
// Missing label entries count as blank.
void PRTREG(std::string_view TITLE, const int& NRA, const int& NCA, const double* A, const int& LDA,
            const int& ITRING, std::string_view FMT, std::span<const std::string_view> RLABEL,
            std::span<const std::string_view> CLABEL, std::span<std::string> CHWK);

// ---- regression_statistics.cpp -----------------------------------------------------------
// Whether the t and F tests get their p-values; skipped (the curve fit reads none of them), they
// are left NaN.
enum class PValues { Computed, Skipped };
void OPTAB(const int& NDEG, const double* ALPHA, const double* BETA, const double& SMULT, const double& SADD,
           const double* OCOEF, const double* D, const double& DFE, const double& SSE, const int& LOF,
           const double& DFPE, const double& SSPE, const int& IPRINT, double* AOV, double* SQSS,
           const int& LDSQSS, double* COEF, const int& LDCOEF, double* TLOF, const int& LDTLOF, double* WK);
void AOVSTA(const double& DFR, const double& SSR, const double& DFE, const double& SSE, const double& YMEAN,
            double* AOV);
void AOVLOF(const double& DFR, const double& SSR, const double& DFE, const double& SSE, double* AOV);
void FMCF(const double& MSN, const double& MSD, const double& DF1, const double& DF2, double& F, double& P);
double FDIST(const double& F, const double& DFN, const double& DFD);
void OPCOEF(const int& NCOEF, const double* EST, const double* STDB, const double& DFE, double* COEF,
            const int& LDCOEF);
void FMCT(const double& EST, const double& SE, const double& DFE, double& T, double& P);
void OPCONV(const int& NDEG, double* CF, const double* ALPHA, const double* BETA, const double& SMULT,
            const double& SADD, double* WK, const int& LDWK);
void OPVARS(const int& NDEG, double* V, const double* ALPHA, const double* BETA, const double& SMULT,
            const double& SADD, double* WK, const int& LDWK);
// OPTAB with the p-values as chosen; OPTAB computes them.
void optab_with(PValues p_values, const int& NDEG, const double* ALPHA, const double* BETA, const double& SMULT,
                const double& SADD, const double* OCOEF, const double* D, const double& DFE, const double& SSE,
                const int& LOF, const double& DFPE, const double& SSPE, const int& IPRINT, double* AOV, double* SQSS,
                const int& LDSQSS, double* COEF, const int& LDCOEF, double* TLOF, const int& LDTLOF, double* WK);
// NAME the response's name (blank for none), ROWLBL the three row labels.
void AOVPRT(std::string_view NAME, std::span<const std::string_view> ROWLBL, const double* AOV);

// ---- orthogonal_regression.cpp -----------------------------------------------------------
void OPFIT(const int& NOBS, const int& NCOL, const double* X, const int& LDX, const int& IRSP, const int& IND,
           const int& IFRQ, const int& IWT, const int& MAXDEG, const int& ICRIT, const double& CRIT,
           const int& LOF, int& NDEG, double& SMULT, double& SADD, double* ALPHA, double* BETA, double* OCOEF,
           double* D, double& DFE, double& SSE, double& DFPE, double& SSPE, int& NMISS, double* WK, int* IWK);
void FMCWFR(const int& INVFLG, const int& INVNO, const double* X, const int& LDX, const int& I, const int& IDO,
            const int& IFRQ, const int& IWT, const double& UNUSED, int& NMISS2, double& FRQ, double& WT,
            int& ISTAT);
void SORTPM(const int& N, const double* RA, double* RB, int* IPERM);
// Y is overwritten with the residual of the running fit.
void OPFIT3(const int& N, double* X, double* Y, const double* W, const double* F, const int& MAXDEG,
            const int& ICRIT, const double& CRIT, const int& LOF, int& NDEG, double& SMULT, double& SADD,
            double* ALPHA, double* BETA, double* OCOEF, double* D, double& DFE, double& SSE, double& DFPE,
            double& SSPE, int* IWK, double* WK);

// e where y whose largest |y| is ymax is fitted as y 2^-e: the exponent of ymax when it lies
// beyond 2^256 or below 2^-256, else 0.
int y_scale_exponent(double ymax);

// ---- polynomial_fit.cpp ------------------------------------------------------------------
// Doubles of PFIT's work vector, in 64 bits: 11 NOBS + 11 NDEG + (NDEG + 3)(NDEG + 1) + 5.
std::int64_t pfit_work_size(const int& NOBS, const int& NDEG);
void PFIT(const int& NOBS, const double* XOBS, const double* YOBS, const int& NDEG, double* B, double* SEQSS,
          double* STATS);
void PFIT2(const int& NOBS, const double* XOBS, const double* YOBS, const int& NDEG, double* B, double* SEQSS,
           double* STATS, double* WK, int* IWK);
// PFIT with the p-values of its statistics as chosen (none of B, SEQSS and STATS holds one); PFIT
// computes them.
void pfit_with(PValues p_values, const int& NOBS, const double* XOBS, const double* YOBS, const int& NDEG, double* B,
               double* SEQSS, double* STATS);

}  // namespace kvpvs::numerics
