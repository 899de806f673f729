#pragma once
// The numerical library's routines below the regression: machine constants, vector kernels
// and argument checks, text routines, Chebyshev series with the error, gamma and beta
// functions, and the t and incomplete beta distributions. Conventions: every argument by
// reference in its documented order, vectors 1-based with a stride (pointer to element 1),
// texts carry their length, each routine reports through the error machinery
// (error_machinery.h), and machine-dependent constants and series lengths are computed on
// the first call. Not re-entrant; the host's UI thread only.

#include "numerics/error_machinery.h"

#include <span>
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

}  // namespace kvpvs::numerics
