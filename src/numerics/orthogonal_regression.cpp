// Least-squares polynomial regression of one column of a data matrix on another by the
// orthogonal polynomials of the data: argument checks, screening of missing values with
// frequencies and weights, the sort by x, and the fit by the three-term recurrence on x mapped
// onto [-2, 2], one degree at a time, stopped by an R-squared, perfect-fit or lack-of-fit rule.
#include "numerics/numerics.h"

#include <algorithm>
#include <cmath>
#include <cstdint>

namespace kvpvs::numerics {
namespace {

double nan() { return RCONST(6); }

double quotient(double a, double b)
{
    double q = 0.0;
    SAFEEQ(a, b, q);
    return q;
}

void swap_at(double* x, int* p, int a, int b)
{
    std::swap(x[a], x[b]);
    std::swap(p[a], p[b]);
}

}  // namespace

void OPFIT(const int& NOBS, const int& NCOL, const double* X, const int& LDX, const int& IRSP, const int& IND,
           const int& IFRQ, const int& IWT, const int& MAXDEG, const int& ICRIT, const double& CRIT,
           const int& LOF, int& NDEG, double& SMULT, double& SADD, double* ALPHA, double* BETA, double* OCOEF,
           double* D, double& DFE, double& SSE, double& DFPE, double& SSPE, int& NMISS, double* WK, int* IWK)
{
    ERPUSH("OPFIT");
    if (NOBS < 2) {
        ERSETI(1, NOBS);
        ERMES(5, 1, "NOBS = %(I1).  The number of observations, NOBS, must be greater than 1.");
    }
    if (NOBS >= 2 && NOBS > LDX) {
        ERSETI(1, NOBS);
        ERSETI(2, LDX);
        ERMES(5, 3, "NOBS = %(I1) and LDX = %(I2).  The leading dimension of X, LDX, must be greater than or equal to "
                    "the number of observations, NOBS.");
    }
    if (NCOL < 1) {
        ERSETI(1, NCOL);
        ERMES(5, 2, "NCOL = %(I1).  The number of columns in X, NCOL, must be greater than or equal to 1.");
    }
    int code = 4;
    CKCOL(1, IRSP, "IRSP", 4, NCOL, "NCOL", 4, code);
    // IND names the column of x: 0 would read before the matrix.
    CKCOL(1, IND, "IND", 3, NCOL, "NCOL", 4, code);
    CKCOL(0, IFRQ, "IFRQ", 4, NCOL, "NCOL", 4, code);
    CKCOL(0, IWT, "IWT", 3, NCOL, "NCOL", 4, code);
    if (MAXDEG < 0) {
        ERSETI(1, MAXDEG);
        ERMES(5, 4, "MAXDEG = %(I1).  The maximum degree of the polynomial to be fit, MAXDEG, must be greater than "
                    "or equal to 0.");
    }
    if (ICRIT != 0 && ICRIT != 1 && ICRIT != 2) {
        ERSETI(1, ICRIT);
        ERMES(5, 5, "ICRIT = %(I1).  The criterion option, ICRIT, must be either 0, 1, or 2.");
    }
    if (LOF != 0 && LOF != 1) {
        ERSETI(1, LOF);
        ERMES(5, 6, "LOF = %(I1).  The lack of fit option, LOF, must be either 0 or 1.");
    }
    if (ICRIT == 2 && LOF != 1) {
        ERSETI(1, ICRIT);
        ERSETI(2, LOF);
        ERMES(5, 7, "ICRIT = %(I1) and LOF = %(I2).  When the criterion option, ICRIT, equals 2, the lack of fit "
                    "option, LOF, must be equal to 1.");
    }
    if (ICRIT == 2 && (CRIT < 0.0 || CRIT > 100.0)) {
        ERSETD(1, CRIT);
        ERSETI(1, ICRIT);
        ERMES(5, 8, "CRIT = %(D1) when ICRIT = %(I1).  The significance level for the lack of fit test, CRIT, must be "
                    "greater than or equal to 0 and less than or equal to 100 when the criterion option, ICRIT, is "
                    "equal  to 2.");
    }
    if (ICRIT == 1 && (CRIT <= 0.0 || CRIT > 100.0)) {
        ERSETD(1, CRIT);
        ERSETI(1, ICRIT);
        ERMES(5, 9, "CRIT = %(D1) when ICRIT = %(I1).  The R-squared that the fitted polynomial must achieve, CRIT, "
                    "must be greater than 0 and less than or equal to 100 when the criterion option, ICRIT, is equal "
                    "to 1.");
    }
    if (ERCODE(0) == 0) {
        const std::int64_t n = NOBS;
        // Four vectors of NOBS (x, y, weight, frequency), then 4 NOBS of scratch.
        double* xs = WK;
        double* ys = WK + n;
        double* ws = WK + 2 * n;
        double* fs = WK + 3 * n;
        double* rest = WK + 4 * n;
        NMISS = 0;
        int kept = 0;
        // Rows kept in strictly increasing x are already in their one sorted order: no sort.
        bool increasing = true;
        ERPUSH("OPFIT4");
        const double* xcol = X + static_cast<std::int64_t>(IND - 1) * LDX;
        const double* ycol = X + static_cast<std::int64_t>(IRSP - 1) * LDX;
        const auto keep = [&](double x, double y, double w, double f) {
            if (kept > 0 && !(x > xs[kept - 1]))
                increasing = false;
            xs[kept] = x;
            ys[kept] = y;
            ws[kept] = w;
            fs[kept] = f;
            ++kept;
        };
        if (IFRQ < 1 && IWT < 1) {
            // Without frequency and weight columns every row reads as frequency 1 and weight 1.
            int missing = 0;
            for (int i = 0; i < NOBS; ++i) {
                if (std::isnan(xcol[i]) || std::isnan(ycol[i]))
                    ++missing;
                else
                    keep(xcol[i], ycol[i], 1.0, 1.0);
            }
            NMISS = missing;
        } else {
            for (int i = 1; i <= NOBS; ++i) {
                const double x = xcol[i - 1];
                const double y = ycol[i - 1];
                if (std::isnan(x) || std::isnan(y)) {
                    ++NMISS;
                    continue;
                }
                // A row of frequency 0 is not asked for its weight: it takes 1.0 (its combined weight is 0).
                double frq = 1.0;
                double wt = 1.0;
                int status = 0;
                const int zero = 0;
                const int ido = 1;
                FMCWFR(zero, zero, X, LDX, i, ido, IFRQ, IWT, nan(), NMISS, frq, wt, status);
                if (status == 3) {
                    ERPOP("OPFIT4");
                    ERPOP("OPFIT");
                    return;
                }
                if (status != 2)
                    keep(x, y, wt * frq, frq);
            }
        }
        if (kept == 0) {
            ERMES(4, 3, "Each row of X contains a missing value in either the IRSP, IFRQ, IND, or IWT column.");
        } else {
            if (!increasing) {
                for (int k = 0; k < kept; ++k)
                    IWK[k] = k + 1;
                SORTPM(kept, xs, xs, IWK);
                std::copy(ys, ys + kept, rest);
                std::copy(ws, ws + kept, rest + n);
                std::copy(fs, fs + kept, rest + 2 * n);
                for (int k = 0; k < kept; ++k) {
                    const int from = IWK[k] - 1;
                    ys[k] = rest[from];
                    ws[k] = rest[n + from];
                    fs[k] = rest[2 * n + from];
                }
            }
            OPFIT3(kept, xs, ys, ws, fs, MAXDEG, ICRIT, CRIT, LOF, NDEG, SMULT, SADD, ALPHA, BETA, OCOEF, D, DFE, SSE,
                   DFPE, SSPE, IWK, rest);
        }
        ERPOP("OPFIT4");
    }
    ERPOP("OPFIT");
}

void FMCWFR(const int& INVFLG, const int& INVNO, const double* X, const int& LDX, const int& I, const int& IDO,
            const int& IFRQ, const int& IWT, const double& /*UNUSED*/, int& NMISS2, double& FRQ, double& WT,
            int& ISTAT)
{
    ERPUSH("FMCWFR");
    ISTAT = 0;
    const auto cell = [&](int c) { return X[static_cast<std::int64_t>(c - 1) * LDX + (I - 1)]; };
    if (IFRQ >= 1) {
        FRQ = cell(IFRQ);
        if (ISNAN(FRQ)) {
            ISTAT = 2;
            NMISS2 += IDO;
        } else if (FRQ == 0.0) {
            ISTAT = 1;
            ERPOP("FMCWFR");
            return;
        }
    }
    if (IWT >= 1) {
        WT = cell(IWT);
        if (ISNAN(WT) && ISTAT != 2) {
            ISTAT = 2;
            NMISS2 += IDO;
        }
    }
    if (IFRQ >= 1 && !ISNAN(FRQ) && FRQ < 0.0) {
        ERSETI(1, I);
        ERSETD(1, FRQ);
        if (INVFLG < 1) {
            ERMES(4, 2, "The frequency for row %(I1) of X is %(D1).  Frequencies must be nonnegative.");
        } else {
            ERSETI(2, INVNO);
            ERMES(4, 2, "The frequency for row %(I1) of X on invocation number %(I2) of this routine is %(D1).  "
                        "Frequencies must be nonnegative.");
        }
        ISTAT = 3;
        ERPOP("FMCWFR");
        return;
    }
    if (IFRQ < 1)
        FRQ = 1.0;
    if (IDO == -1)
        FRQ = -FRQ;
    if (IWT >= 1 && !ISNAN(WT) && WT < 0.0) {
        ERSETI(1, I);
        ERSETD(1, WT);
        if (INVFLG < 1) {
            ERMES(4, 1, "The weight for row %(I1) of X was %(D1).  Weights must be nonnegative.");
        } else {
            ERSETI(2, INVNO);
            ERMES(4, 1, "The weight for row %(I1) of X on invocation number %(I2) of this routine was %(D1).  "
                        "Weights must be nonnegative.");
        }
        ISTAT = 3;
    }
    if (IWT < 1)
        WT = 1.0;
    ERPOP("FMCWFR");
}

void SORTPM(const int& N, const double* RA, double* RB, int* IPERM)
{
    ERPUSH("SORTPM");
    const int one = 1;
    if (RA != RB && N > 0)
        VCOPY(N, RA, one, RB, one);
    if (N < 1) {
        ERSETI(1, N);
        ERMES(5, 1, "The length of vectors RA, RB and IPERM must be greater than or equal to one.  On input the "
                    "length, N, is given as %(I1).");
        ERPOP("SORTPM");
        return;
    }
    // Quicksort after Singleton, 1-based. The longer part waits on the stack, so 32 segments
    // hold any int count.
    double* x = RB - 1;
    int* p = IPERM - 1;
    int lower[32];
    int upper[32];
    int m = 1;
    int i = 1;
    int j = N;
    double r = 0.375;
    int k = 0;
    int l = 0;
    enum { SPLIT_FROM_ONE, SPLIT, NEXT, CHECK } step = SPLIT_FROM_ONE;
    for (;;) {
        switch (step) {
        case SPLIT_FROM_ONE:
            if (i == j) {
                step = NEXT;
                break;
            }
            r = r > 0.5898437 ? r - 0.21875 : r + 0.0390625;
            step = SPLIT;
            break;
        case SPLIT: {
            k = i;
            const int ij = i + static_cast<int>((j - i) * r);
            double t = x[ij];
            if (x[i] > t) {
                swap_at(x, p, ij, i);
                t = x[ij];
            }
            l = j;
            if (x[j] < t) {
                swap_at(x, p, ij, j);
                t = x[ij];
                if (x[i] > t) {
                    swap_at(x, p, ij, i);
                    t = x[ij];
                }
            }
            for (;;) {
                do
                    --l;
                while (x[l] > t);
                do
                    ++k;
                while (x[k] < t);
                if (k > l)
                    break;
                if (x[k] != x[l])
                    swap_at(x, p, k, l);
            }
            if (l - i > j - k) {
                lower[m - 1] = i;
                upper[m - 1] = l;
                i = k;
            } else {
                lower[m - 1] = k;
                upper[m - 1] = j;
                j = l;
            }
            ++m;
            step = CHECK;
            break;
        }
        case NEXT:
            --m;
            if (m == 0) {
                ERPOP("SORTPM");
                return;
            }
            i = lower[m - 1];
            j = upper[m - 1];
            step = CHECK;
            break;
        case CHECK:
            if (j - i >= 11) {
                step = SPLIT;
                break;
            }
            if (i == 1) {
                step = SPLIT_FROM_ONE;
                break;
            }
            // Straight insertion of i..j; the element before i is no larger than any of them.
            for (int q = i; q < j; ++q) {
                const double t = x[q + 1];
                if (x[q] <= t)
                    continue;
                const int tp = p[q + 1];
                int s = q;
                do {
                    x[s + 1] = x[s];
                    p[s + 1] = p[s];
                    --s;
                } while (t < x[s]);
                x[s + 1] = t;
                p[s + 1] = tp;
            }
            step = NEXT;
            break;
        }
    }
}

namespace {

// The first largest and the first smallest x (1-based) in one pass, as IXMAX and IXMIN find them.
void first_extremes(int n, const double* x, int& imax, int& imin)
{
    imax = n < 1 ? 0 : 1;
    imin = imax;
    if (n < 1)
        return;
    double hi = x[0];
    double lo = x[0];
    for (int i = 1; i < n; ++i) {
        if (x[i] > hi) {
            hi = x[i];
            imax = i + 1;
        }
        if (x[i] < lo) {
            lo = x[i];
            imin = i + 1;
        }
    }
}

// Weighted squares of y about its group mean, over the groups of equal x (sizes in count).
double pure_error_squares(int groups, const int* count, const double* w, const double* y)
{
    double sspe = 0.0;
    for (int g = 0, start = 0; g < groups; start += count[g], ++g) {
        double gw = 0.0;
        double gwy = 0.0;
        for (int i = start; i < start + count[g]; ++i) {
            gw += w[i];
            gwy += w[i] * y[i];
        }
        const double mean = quotient(gwy, gw);
        for (int i = start; i < start + count[g]; ++i) {
            const double e = y[i] - mean;
            sspe += w[i] * e * e;
        }
    }
    return sspe;
}

// Takes c p off the residual r of the running fit, then gives the weighted squares of r about
// its weighted mean (sw the sum of the weights). The residual carries the rounding of the mean of
// y as a constant, which can outweigh a spread small against the mean; the second pass takes it
// out, so that a shift of y leaves the sum as it is.
double residual_squares(int n, const double* w, double sw, double c, const double* p, double* r)
{
    double swr = 0.0;
    for (int i = 0; i < n; ++i) {
        r[i] -= c * p[i];
        swr += w[i] * r[i];
    }
    if (!(sw > 0.0))
        return 0.0;
    const double mean = swr / sw;
    double ss = 0.0;
    for (int i = 0; i < n; ++i) {
        const double e = r[i] - mean;
        ss += w[i] * e * e;
    }
    return ss;
}

// x onto [-2, 2] about the middle of its range; false, with FATAL 8 posted, for a range
// narrower than 4 / DBL_MAX (subnormal steps) or wider than DBL_MAX, which has no scale.
bool scale_range(double xmin, double xmax, double& center, double& smult, double& sadd)
{
    center = (xmin + xmax) / 2.0;
    smult = 4.0 / (xmax - xmin);
    sadd = -center * smult;
    if (std::isfinite(smult) && smult > 0.0 && std::isfinite(sadd))
        return true;
    ERSETD(1, xmin);
    ERSETD(2, xmax);
    ERMES(4, 8, "The independent variable, X(*,IND), ranges from %(D1) to %(D2).  This range cannot be scaled onto "
                "[-2, 2].");
    return false;
}

// What one pass over the sorted rows gives, each sum in row order: the groups of equal x (their
// sizes in the group vector), x replaced by z, the sums of f, w y and w, and az = sum w z, which
// for unit weights (the curve fit's) is sum z; and whether every weight is 1.
struct FirstPass {
    int ndist = 0;
    double sumf = 0.0;
    double swy = 0.0;
    double sw = 0.0;
    double az = 0.0;
    bool unit = true;
};

FirstPass group_and_scale(int n, double* x, const double* y, const double* w, const double* f, double center,
                          double smult, int* group)
{
    FirstPass s;
    double previous = 0.0;
    for (int i = 0; i < n; ++i) {
        if (i == 0 || x[i] != previous)
            group[s.ndist++] = 0;
        ++group[s.ndist - 1];
        previous = x[i];
        const double z = (x[i] - center) * smult;
        x[i] = z;
        s.sumf += f[i];
        s.swy += w[i] * y[i];
        s.sw += w[i];
        s.az += z;
        s.unit = s.unit && w[i] == 1.0;
    }
    return s;
}

// The weighted sums of the first pass again, with the weights w the fit uses. az / sum w is the
// mean of z under the very weights that D(1) sums; with sqrt(w)^2 in place of w the two disagree
// in the last bit, and at a row that outweighs the others many times over, P1 is then not 0 and
// its square there swamps D(2).
void weighted_sums(int n, const double* z, const double* y, const double* w, FirstPass& s)
{
    s.swy = 0.0;
    s.sw = 0.0;
    s.az = 0.0;
    for (int i = 0; i < n; ++i) {
        s.swy += w[i] * y[i];
        s.sw += w[i];
        s.az += z[i] * w[i];
    }
}

// The p-value of the lack of fit of the degree j - 1 fit against pure error; 1 where j reaches
// the distinct x, which leave no lack-of-fit degrees of freedom.
double lack_of_fit_p(int j, int ndist, double sst, double ssr, double sspe, double dfpe)
{
    double p = 1.0;
    if (j < ndist) {
        const double sslof = std::max(sst - ssr - sspe, 0.0);
        const double mslof = sslof / (ndist - j);
        const double mspe = quotient(sspe, dfpe);
        double fstat = 0.0;
        const double df1 = ndist - j;
        FMCF(mslof, mspe, df1, dfpe, fstat, p);
    }
    return p;
}

// One degree up. The residual r loses the term c P(j-1) of the degree below; P(j) = (z - alpha)
// P(j-1) - beta P(j-2) is written over P(j-2); the sums give the coefficient of P(j)
// (sum w r P(j)), its squared norm and the next degree's az.
struct Raised {
    double sum = 0.0;
    double norm = 0.0;
    double az = 0.0;
};

Raised raise_degree(int n, const double* z, const double* w, bool unit, double c, double alpha, double beta,
                    const double* p_cur, double* p_old, double* r)
{
    Raised s;
    // In exact arithmetic r could be y or y - P(j-1) (P(j) is orthogonal to the lower degrees);
    // the running fit's residual is the smallest and loses the fewest digits.
    if (unit) {
        for (int i = 0; i < n; ++i) {
            r[i] -= c * p_cur[i];
            const double pnew = (z[i] - alpha) * p_cur[i] - beta * p_old[i];
            s.sum += r[i] * pnew;
            s.norm += pnew * pnew;
            s.az += z[i] * (pnew * pnew);
            p_old[i] = pnew;
        }
    } else {
        for (int i = 0; i < n; ++i) {
            r[i] -= c * p_cur[i];
            const double pnew = (z[i] - alpha) * p_cur[i] - beta * p_old[i];
            const double rw = std::sqrt(w[i]);
            const double snew = rw * pnew;
            s.sum += rw * r[i] * snew;
            s.norm += snew * snew;
            s.az += z[i] * (snew * snew);
            p_old[i] = pnew;
        }
    }
    return s;
}

// The warnings of a finished fit: perfect fit, constant response, too few distinct x, or a
// lower degree than asked because it already fits perfectly.
void post_fit_messages(int ndeg, int maxdeg, int icrit, int lof, int ndist, double ssr, double sst, double thr,
                       double& sse, double& sspe)
{
    if (sse == 0.0 || ssr >= thr) {
        ERSETI(1, ndeg);
        ERMES(6, 11, "The degree %(I1) polynomial fit is a perfect fit within machine precision.");
    }
    if (sst <= 0.0) {
        ERMES(3, 4, "The response variable, X(*,IRSP), is constant.  A zero degree polynomial is fit.");
        sse = 0.0;
        if (lof == 1)
            sspe = 0.0;
    } else if (ndeg == ndist - 1 && ndeg < maxdeg) {
        ERSETI(1, ndeg);
        ERSETI(2, ndist);
        ERMES(3, 5, "A degree %(I1) polynomial is fitted.  There are only %(I2) distinct abscissas, so a higher degree "
                    "polynomial fit cannot be computed.");
    } else if (ndeg < maxdeg && icrit == 0 && ssr >= thr) {
        ERSETI(1, maxdeg);
        ERSETI(2, ndeg);
        ERMES(3, 6, "Although a degree %(I1) fit was requested, a degree %(I2) polynomial is fitted because the "
                    "degree %(I2) polynomial fit is a perfect fit within machine precision.");
    }
}

// The even e for which the largest weight wmax times 2^-e lies in [1, 4): weights fitted at that
// scale keep their square roots exact, and those below 2^-1074 of the largest, which could not
// move a sum that holds it, underflow to 0. 0 where wmax is 0 or not finite.
int weight_scale_exponent(double wmax)
{
    if (!std::isfinite(wmax) || wmax <= 0.0)
        return 0;
    const int e = std::ilogb(wmax);
    return e - (e & 1);
}

// What the caller reads at its own scale, 2^e times v, is a double with its digits: finite, and
// for a positive value not below the normal range.
bool keeps_digits(double v, int e)
{
    const double u = std::ldexp(v, e);
    return std::isfinite(u) && (v == 0.0 || std::fabs(u) >= RCONST(1));
}

// The sums the fit returns at the caller's scale (wscale for the weights, yscale for y): the
// norms D in weight units, the sums of squares in weight times y squared. Where one leaves the
// range of doubles, the statistics formed from them would be wrong: FATAL 9 names it.
bool fits_caller_scale(int ndeg, const double* ocoef, const double* d, double sst, double sse, double sspe, bool lof,
                       int yscale, int wscale)
{
    const int squares = 2 * yscale + wscale;
    const char* what = nullptr;
    for (int k = 0; k <= ndeg && what == nullptr; ++k) {
        if (!(d[k] > 0.0) || !keeps_digits(d[k], wscale))
            what = k == 0 ? "sum of the weights" : "weighted sum of squares of an orthogonal polynomial";
        else if (!std::isfinite(std::ldexp(ocoef[k], yscale)))
            what = "coefficient of an orthogonal polynomial";
    }
    if (what == nullptr && !keeps_digits(sst, squares))
        what = "corrected total sum of squares";
    if (what == nullptr && !std::isfinite(std::ldexp(sse, squares)))
        what = "error sum of squares";
    if (what == nullptr && lof && !std::isfinite(std::ldexp(sspe, squares)))
        what = "pure error sum of squares";
    if (what == nullptr)
        return true;
    ERSETL(1, what);
    ERSETI(1, ndeg);
    ERMES(4, 9, "The %(L1) of the degree %(I1) fit lies beyond the range of double precision.  Scale the response "
                "or the weights by a power of 2.");
    return false;
}

}  // namespace

int y_scale_exponent(double ymax)
{
    // Between 2^-256 and 2^256 y is taken as it is.
    const bool far = std::isfinite(ymax) && ymax != 0.0 && (ymax >= 0x1p256 || ymax < 0x1p-256);
    return far ? std::ilogb(ymax) : 0;
}

void OPFIT3(const int& N, double* X, double* Y, const double* W, const double* F, const int& MAXDEG,
            const int& ICRIT, const double& CRIT, const int& LOF, int& NDEG, double& SMULT, double& SADD,
            double* ALPHA, double* BETA, double* OCOEF, double* D, double& DFE, double& SSE, double& DFPE,
            double& SSPE, int* IWK, double* WK)
{
    ERPUSH("OPFIT3");
    if (ERTYPE(0) != 0) {
        ERPOP("OPFIT3");
        return;
    }
    int imax = 0;
    int imin = 0;
    first_extremes(N, X, imax, imin);
    if (imax == imin) {
        ERMES(4, 7, "Each value of the independent variable is the same.  The independent variable, X(*,IND), "
                    "cannot be constant.");
        ERPOP("OPFIT3");
        return;
    }
    bool yconst = true;
    double ymax = 0.0;
    for (int i = 0; i < N; ++i) {
        yconst = yconst && Y[i] == Y[0];
        ymax = std::max(ymax, std::fabs(Y[i]));
    }
    double center = 0.0;
    if (!scale_range(X[imin - 1], X[imax - 1], center, SMULT, SADD)) {
        ERPOP("OPFIT3");
        return;
    }
    // y far from 1 is fitted as y 2^-e, so that its squares neither overflow nor underflow; a
    // power of 2 leaves every digit as it is.
    const int yscale = y_scale_exponent(ymax);
    if (yscale != 0) {
        for (int i = 0; i < N; ++i)
            Y[i] = std::ldexp(Y[i], -yscale);
    }
    FirstPass s = group_and_scale(N, X, Y, W, F, center, SMULT, IWK);
    // Weights other than 1 are fitted at a power of 2 from the largest: their products and
    // squares then neither overflow nor lose their digits, whatever the weights' own range.
    const std::int64_t n = N;
    const double* w = W;
    int wscale = 0;
    if (!s.unit) {
        const int one = 1;
        wscale = weight_scale_exponent(W[IXMAX(N, W, one) - 1]);
        if (wscale != 0) {
            double* scaled = WK + 2 * n;  // the third work column
            for (int i = 0; i < N; ++i)
                scaled[i] = std::ldexp(W[i], -wscale);
            w = scaled;
        }
        weighted_sums(N, X, Y, w, s);
    }
    const double critf = ICRIT == 0 ? 1.0 : CRIT * 0.01;
    bool lof = LOF == 1;
    if (lof) {
        SSPE = pure_error_squares(s.ndist, IWK, w, Y);
        DFPE = s.sumf - s.ndist;
        if (DFPE == 0.0)
            lof = false;
    }

    D[0] = s.sw;
    OCOEF[0] = s.swy / D[0];
    for (int k = 1; k <= MAXDEG; ++k)
        OCOEF[k] = 0.0;
    NDEG = 0;
    // P(j-1) and P(j-2) at the data.
    double* p_cur = WK;
    double* p_old = WK + n;
    for (int i = 0; i < N; ++i) {
        p_cur[i] = 1.0;
        p_old[i] = 0.0;
    }
    // Y becomes the residual of the running fit, y - sum over k <= NDEG of OCOEF(k+1) Pk, and the
    // sums of squares are taken from it about its mean: a shift of y moves the mean alone.
    const double about_mean = residual_squares(N, w, s.sw, OCOEF[0], p_cur, Y);
    const double sst = yconst ? 0.0 : about_mean;
    const double thr = (1.0 - 10.0 * RCONST(4)) * sst;
    double ssr = 0.0;
    const int last = std::min(s.ndist, MAXDEG + 1);
    const bool lof_rule = lof && ICRIT == 2;
    double az = s.az;
    double swr = 0.0;  // sum w r P(j-1): OCOEF(j) D(j)
    for (int j = 1; j <= last; ++j) {
        // The squares that the term of degree j - 1 explains join the regression's.
        if (j > 1)
            ssr = std::min(ssr + swr * swr / D[j - 1], sst);
        const double p = lof && j > 1 ? lack_of_fit_p(j, s.ndist, sst, ssr, SSPE, DFPE) : 1.0;
        if ((j == 1 && sst <= 0.0) || (j > 1 && lof_rule && p > critf) ||
            (j > 1 && !lof_rule && (ssr >= critf * sst || ssr >= thr)) || j == last)
            break;

        NDEG = j;
        // alpha = sum z (sqrt(w) P(j-1))^2 / D(j), beta = D(j) / D(j-1)
        const double alpha = az / D[j - 1];
        const double beta = j > 1 ? D[j - 1] / D[j - 2] : 0.0;
        const double below = j > 1 ? OCOEF[j - 1] : 0.0;  // the mean is off Y already
        const Raised raised = raise_degree(N, X, w, s.unit, below, alpha, beta, p_cur, p_old, Y);
        ALPHA[j - 1] = alpha;
        BETA[j - 1] = beta;
        swr = raised.sum;
        az = raised.az;
        D[j] = raised.norm;
        OCOEF[j] = swr / D[j];
        std::swap(p_cur, p_old);
    }
    const double left = residual_squares(N, w, s.sw, NDEG > 0 ? OCOEF[NDEG] : 0.0, p_cur, Y);
    DFE = s.sumf - (NDEG + 1);
    SSE = DFE == 0.0 ? 0.0 : left;
    const bool fits = fits_caller_scale(NDEG, OCOEF, D, sst, SSE, SSPE, LOF == 1, yscale, wscale);
    if (fits)
        post_fit_messages(NDEG, MAXDEG, ICRIT, LOF, s.ndist, ssr, sst, thr, SSE, SSPE);
    if (yscale != 0 || wscale != 0) {
        // Back to the scales of y and of the weights.
        const int squares = 2 * yscale + wscale;
        for (int k = 0; k <= NDEG; ++k) {
            OCOEF[k] = std::ldexp(OCOEF[k], yscale);
            D[k] = std::ldexp(D[k], wscale);
        }
        for (int i = 0; i < N; ++i)
            Y[i] = std::ldexp(Y[i], yscale);
        SSE = std::ldexp(SSE, squares);
        if (LOF == 1)
            SSPE = std::ldexp(SSPE, squares);
    }
    ERPOP("OPFIT3");
}

}  // namespace kvpvs::numerics
