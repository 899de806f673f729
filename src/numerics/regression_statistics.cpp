// Statistics of an orthogonal-polynomial fit: the analysis of variance with R-squared and its
// relatives, the coefficients in powers of x with standard errors, t statistics and p-values,
// the sequential and lack-of-fit F tests, and their printed tables through the table writer.
// Quotients go through SAFEEQ, so a degenerate fit gives NaN or infinity, never a trap.
#include "numerics/numerics.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <limits>
#include <string>

namespace kvpvs::numerics {
namespace {

double nan() { return RCONST(6); }

double quotient(double a, double b)
{
    double q = 0.0;
    SAFEEQ(a, b, q);
    return q;
}

// Column c (1-based) of a column-major matrix with leading dimension ld.
double* col(double* m, int ld, int c) { return m + static_cast<std::int64_t>(c - 1) * ld; }

// The power coefficients in z of P0..Pn by the three-term recurrence, as the columns of T
// ((n + 1) by (n + 1), leading dimension ld): T(i, k) multiplies z^(i-1) in P(k-1).
void recurrence_matrix(int n, const double* ALPHA, const double* BETA, double* T, int ld)
{
    for (int k = 1; k <= n + 1; ++k) {
        double* pk = col(T, ld, k);
        for (int i = 0; i <= n; ++i)
            pk[i] = 0.0;
        if (k == 1) {
            pk[0] = 1.0;
            continue;
        }
        const double* p1 = col(T, ld, k - 1);
        const double a = ALPHA[k - 2];
        const double b = BETA[k - 2];
        // Pj = (z - ALPHA(j)) P(j-1) - BETA(j) P(j-2)
        for (int i = 0; i < k; ++i) {
            const double shifted = i > 0 ? p1[i - 1] : 0.0;
            double v = shifted - a * p1[i];
            if (k > 2)
                v -= b * col(T, ld, k - 2)[i];
            pk[i] = v;
        }
    }
}

BetaTails f_tails(const double& F, const double& DFN, const double& DFD);

void f_test(const double& MSN, const double& MSD, const double& DF1, const double& DF2, double& F, double& P,
            PValues p_values)
{
    F = quotient(MSN, MSD);
    // "Not above 0" takes a NaN degree of freedom too, before an infinite F could answer 0.
    if (ISNAN(F) || !(DF1 > 0.0) || !(DF2 > 0.0))
        P = nan();
    else if (F == RCONST(7))
        P = 0.0;
    else if (p_values == PValues::Skipped && F > 0.0)
        P = nan(); // F <= 0 still goes to FDIST for the note it posts
    else
        P = f_tails(F, DF1, DF2).upper;
}

void t_test(const double& EST, const double& SE, const double& DFE, double& T, double& P, PValues p_values)
{
    T = quotient(EST, SE);
    if (ISNAN(T) || DFE == 0.0 || ISNAN(DFE))
        P = nan();
    else if (T == RCONST(7) || T == RCONST(8))
        P = 0.0;
    else if (p_values == PValues::Skipped)
        P = nan();
    else  // the tail itself, as the F test's: 1 - TDIST(|T|) keeps no digit below 2^-53
        P = 2.0 * TDIST(-std::fabs(T), DFE);
}

void aovlof(const double& DFR, const double& SSR, const double& DFE, const double& SSE, double* AOV, PValues p_values)
{
    ERPUSH("AOVLOF");
    AOV[0] = DFR;
    AOV[1] = DFE;
    AOV[2] = DFR + DFE;
    AOV[3] = SSR;
    AOV[4] = SSE;
    AOV[5] = SSR + SSE;
    AOV[6] = quotient(SSR, DFR);
    AOV[7] = quotient(SSE, DFE);
    f_test(AOV[6], AOV[7], DFR, DFE, AOV[8], AOV[9], p_values);
    ERPOP("AOVLOF");
}

void aovsta(const double& DFR, const double& SSR, const double& DFE, const double& SSE, const double& YMEAN,
            double* AOV, PValues p_values)
{
    ERPUSH("AOVSTA");
    int code = 1;
    CKDNN(DFR, "DFR", 3, code);
    CKDNN(SSR, "SSR", 3, code);
    CKDNN(DFE, "DFE", 3, code);
    CKDNN(SSE, "SSE", 3, code);
    if (ERTYPE(0) == 0) {
        aovlof(DFR, SSR, DFE, SSE, AOV, p_values);
        // SSR / (SSR + SSE) is at most 1 as rounded; 100 SSR / (SSR + SSE) can round above 100.
        AOV[10] = 100.0 * quotient(SSR, AOV[5]);
        const double q = quotient(AOV[7], quotient(AOV[5], AOV[2]));
        AOV[11] = ISNAN(q) ? nan() : q <= 1.0 ? 100.0 * (1.0 - q) : 0.0;
        if (!ISNAN(AOV[7])) {
            AOV[12] = std::sqrt(AOV[7]);
            AOV[14] = quotient(100.0 * AOV[12], YMEAN);
        } else {
            AOV[12] = nan();
            AOV[14] = nan();
        }
        AOV[13] = YMEAN;
    }
    ERPOP("AOVSTA");
}

void opcoef(const int& NCOEF, const double* EST, const double* STDB, const double& DFE, double* COEF, const int& LDCOEF,
            PValues p_values)
{
    ERPUSH("OPCOEF");
    int code = 1;
    CKDIM(1, NCOEF, "NCOEF", 5, LDCOEF, "LDCOEF", 6, code);
    if (DFE < 0.0) {
        ERSETD(1, DFE);
        ERMES(5, 4, "DFE = %(D1).  It must be nonnegative.");
    }
    for (int i = 1; i <= NCOEF; ++i) {
        if (!ISNAN(STDB[i - 1]) && STDB[i - 1] < 0.0) {
            ERSETI(1, i);
            ERSETD(1, STDB[i - 1]);
            ERMES(5, 5, "STDB(%(I1)) = %(D1).  It must be nonnegative.");
        }
    }
    if (ERTYPE(0) == 0) {
        for (int i = 0; i < NCOEF; ++i) {
            const double est = EST[i];
            const double se = STDB[i];
            COEF[i] = est;
            col(COEF, LDCOEF, 2)[i] = se;
            t_test(est, se, DFE, col(COEF, LDCOEF, 3)[i], col(COEF, LDCOEF, 4)[i], p_values);
        }
    }
    ERPOP("OPCOEF");
}

} // namespace

void AOVLOF(const double& DFR, const double& SSR, const double& DFE, const double& SSE, double* AOV)
{
    aovlof(DFR, SSR, DFE, SSE, AOV, PValues::Computed);
}

void AOVSTA(const double& DFR, const double& SSR, const double& DFE, const double& SSE, const double& YMEAN,
            double* AOV)
{
    aovsta(DFR, SSR, DFE, SSE, YMEAN, AOV, PValues::Computed);
}

void FMCF(const double& MSN, const double& MSD, const double& DF1, const double& DF2, double& F, double& P)
{
    f_test(MSN, MSD, DF1, DF2, F, P, PValues::Computed);
}

namespace {

// The F distribution function at F and its complement, each to its own relative accuracy: the
// p-value of an F test is the complement itself, not 1 - FDIST, which near 1 keeps none of it.
BetaTails f_tails(const double& F, const double& DFN, const double& DFD)
{
    ERPUSH("FDIST");
    BetaTails result{nan(), nan()};
    // Infinite degrees of freedom would reach the incomplete beta function as infinite shapes;
    // "not greater than 0" refuses NaN as well.
    if (!(DFN > 0.0)) {
        ERSETD(1, DFN);
        ERMES(5, 1, "DFN = %(D1) must be greater than 0.0.");
    } else if (std::isinf(DFN)) {
        ERSETD(1, DFN);
        ERMES(5, 1, "DFN = %(D1) must be finite.");
    } else if (!(DFD > 0.0)) {
        ERSETD(1, DFD);
        ERMES(5, 2, "DFD = %(D1) must be greater than 0.0.");
    } else if (std::isinf(DFD)) {
        ERSETD(1, DFD);
        ERMES(5, 2, "DFD = %(D1) must be finite.");
    } else if (ISNAN(F)) {
        DBETAI(F, 1.0, 1.0); // its X error, before any route of a degree of freedom returns
    } else if (F <= 0.0) {
        ERSETD(1, F);
        ERMES(1, 3, "Since F = %(D1) is not positive, the distribution function is zero at F.");
        result = {0.0, 1.0};
    } else if (DFD / 2.0 < RCONST(1)) {
        // Half of a subnormal number of degrees of freedom is not the shape; the value hangs on it.
        ERSETD(1, DFD);
        ERMES(5, 2, "DFD = %(D1) must be at least 4.450147717014403E-308.");
    } else if (DFN / 2.0 < RCONST(1)) {
        // 1 - I_y(a, b) <= a (2 ln(1 / 2y) + 2 / b) / (a B(a, b)), with a B(a, b) near 1 and
        // ln(1 / y) below 2200: for a below the normal range and b from 2^-961, under 1e-18.
        if (DFD >= 0x1p-960) {
            result = {1.0, 0.0};
        } else {
            ERSETD(1, DFN);
            ERSETD(2, DFD);
            ERMES(5, 1, "DFN = %(D1) must be at least 4.450147717014403E-308 when DFD = %(D2) is below 1E-289.");
        }
    } else if (F == RCONST(7)) {
        result = {1.0, 0.0}; // the whole distribution lies below +infinity
    } else {
        // Both beta arguments are formed directly: 1 - either rounds where the other is small.
        // u / (u + v), through halves where the sum overflows.
        const auto share = [](double u, double v) {
            const double sum = u + v;
            return std::isinf(sum) ? u / 2.0 / (u / 2.0 + v / 2.0) : u / sum;
        };
        const double nf = DFN * F;
        double x = share(DFD, nf);
        double y = share(nf, DFD);
        if (std::isinf(nf)) {  // DFN F overflows: the same quotients through DFD / DFN
            const double r = DFD / DFN;
            x = share(r, F);
            y = share(F, r);
        }
        // The logarithm of an argument that has underflowed (or of y where DFN F has), from the
        // arguments' own: a subnormal keeps few digits. Of a size near 710, it takes the wider
        // precision to keep 2^-53 of the value.
        using Wide = long double;
        constexpr double SMALLEST_NORMAL = 0x1p-1022; // RCONST(1)
        const auto ln = [](double v) { return std::log(static_cast<Wide>(v)); };
        Wide lnx = std::numeric_limits<Wide>::quiet_NaN();
        Wide lny = lnx;
        if (x < SMALLEST_NORMAL) {
            lnx = ln(DFD) - (std::isinf(nf) ? ln(DFN) + ln(F + DFD / DFN) : ln(nf + DFD));
        } else if (nf < SMALLEST_NORMAL || y < SMALLEST_NORMAL) {
            lny = ln(F) + ln(DFN) - ln(nf + DFD);
        }
        // A large shape takes its gamma limit with F itself, not through a rounded x or y, where
        // that shape times F has not underflowed.
        if (nf >= SMALLEST_NORMAL && large_b(DFN / 2.0, DFD / 2.0)) {
            result = beta_large_b(DFN / 2.0, DFD / 2.0, DFN / 2.0 * F);
        } else if (nf >= SMALLEST_NORMAL && std::isnan(lnx) && large_b(DFD / 2.0, DFN / 2.0)) {
            const BetaTails t = beta_large_b(DFD / 2.0, DFN / 2.0, DFD / 2.0 / F);
            result = {t.upper, t.lower};
        } else {
            ERPUSH("DBETAI");  // a fraction that does not end is DBETAI's error, as in the specified call
            if (std::isnan(lnx)) {
                result = incomplete_beta(y, x, DFN / 2.0, DFD / 2.0, lny);
            } else {
                const BetaTails t = incomplete_beta(x, y, DFD / 2.0, DFN / 2.0, lnx);
                result = {t.upper, t.lower};
            }
            ERPOP("DBETAI");
        }
    }
    ERPOP("FDIST");
    return result;
}

} // namespace

double FDIST(const double& F, const double& DFN, const double& DFD) { return f_tails(F, DFN, DFD).lower; }

void FMCT(const double& EST, const double& SE, const double& DFE, double& T, double& P)
{
    t_test(EST, SE, DFE, T, P, PValues::Computed);
}

void OPCOEF(const int& NCOEF, const double* EST, const double* STDB, const double& DFE, double* COEF,
            const int& LDCOEF)
{
    opcoef(NCOEF, EST, STDB, DFE, COEF, LDCOEF, PValues::Computed);
}

void OPCONV(const int& NDEG, double* CF, const double* ALPHA, const double* BETA, const double& SMULT,
            const double& SADD, double* WK, const int& LDWK)
{
    ERPUSH("OPCONV");
    const int n = NDEG;
    // Columns of WK: P(j-2), P(j-1), Pj in powers of z, and c = sum CF(j+1) Pj.
    double* pm = col(WK, LDWK, 1);
    double* p0 = col(WK, LDWK, 2);
    double* p1 = col(WK, LDWK, 3);
    double* c = col(WK, LDWK, 4);
    for (int i = 0; i <= n; ++i) {
        pm[i] = 0.0;
        p0[i] = 0.0;
        c[i] = 0.0;
    }
    p0[0] = 1.0;
    c[0] = CF[0];
    for (int j = 1; j <= n; ++j) {
        const double a = ALPHA[j - 1];
        const double b = BETA[j - 1];
        for (int i = 0; i <= j; ++i) {
            double v = (i > 0 ? p0[i - 1] : 0.0) - a * p0[i];
            v -= b * pm[i];
            p1[i] = v;
        }
        for (int i = 0; i <= j; ++i)
            c[i] += CF[j] * p1[i];
        double* t = pm;
        pm = p0;
        p0 = p1;
        p1 = t;
        for (int i = 0; i <= n; ++i)
            if (i > j)
                p0[i] = 0.0;
    }
    // z = SMULT x + SADD: x^i takes c(i+m) binomial(i+m, m) SMULT^i SADD^m, m = 0, 1, ...
    double smult_i = 1.0;
    for (int i = 0; i <= n; ++i) {
        double factor = smult_i;
        double sum = 0.0;
        for (int m = 0; i + m <= n; ++m) {
            if (m > 0)
                factor = factor * SADD * (i + m) / m;
            sum += c[i + m] * factor;
        }
        CF[i] = sum;
        smult_i *= SMULT;
    }
    ERPOP("OPCONV");
}

void OPVARS(const int& NDEG, double* V, const double* ALPHA, const double* BETA, const double& SMULT,
            const double& SADD, double* WK, const int& LDWK)
{
    ERPUSH("OPVARS");
    const int n = NDEG;
    // WK: T (orthogonal coefficients to powers of z) in columns 1..n+1, a row of the combined
    // map M = S T (S: powers of z to powers of x) in column n+2, the variances v in column n+3.
    double* T = WK;
    double* m = col(WK, LDWK, n + 2);
    double* v = col(WK, LDWK, n + 3);
    recurrence_matrix(n, ALPHA, BETA, T, LDWK);
    for (int k = 0; k <= n; ++k)
        v[k] = V[k];
    // The orthogonal coefficients are uncorrelated: var(b_i) = sum over k of M(i,k)^2 v(k),
    // the covariances in powers of z carried through the substitution without cancellation.
    double smult_i = 1.0;
    for (int i = 0; i <= n; ++i) {
        for (int k = 0; k <= n; ++k)
            m[k] = 0.0;
        double factor = smult_i;
        for (int l = i; l <= n; ++l) {
            if (l > i)
                factor = factor * SADD * l / (l - i);
            for (int k = l; k <= n; ++k)  // T(l, k) = 0 for k < l
                m[k] += factor * col(T, LDWK, k + 1)[l];
        }
        const int count = n + 1;
        const int one = 1;
        V[i] = VDOT3(count, m, one, m, one, v, one);
        smult_i *= SMULT;
    }
    ERPOP("OPVARS");
}

void optab_with(PValues p_values, const int& NDEG, const double* ALPHA, const double* BETA, const double& SMULT,
                const double& SADD, const double* OCOEF, const double* D, const double& DFE, const double& SSE,
                const int& LOF, const double& DFPE, const double& SSPE, const int& IPRINT, double* AOV, double* SQSS,
                const int& LDSQSS, double* COEF, const int& LDCOEF, double* TLOF, const int& LDTLOF, double* WK)
{
    ERPUSH("OPTAB");
    if (NDEG < 0) {
        ERSETI(1, NDEG);
        ERMES(5, 1, "NDEG = %(I1).  The degree of the polynomial regression, NDEG, must be greater than or equal to 0.");
    }
    for (int i = 1; i <= NDEG + 1; ++i) {
        if (D[i - 1] <= 0.0) {
            ERSETI(1, i);
            ERSETD(1, D[i - 1]);
            ERMES(5, 2, "D(%(I1)) = %(D1).  Each element of D, the vector containing the diagonal elements of the sum of "
                        "squares and cross-products matrix, must be positive.");
        }
    }
    if (DFE < 0.0) {
        ERSETD(1, DFE);
        ERMES(5, 3, "DFE = %(D1).  The degrees of freedom for error, DFE, must be greater than or equal to 0.");
    }
    if (SSE < 0.0) {
        ERSETD(1, SSE);
        ERMES(5, 4, "SSE = %(D1).  The sum of squares for error, SSE, must be greater than or equal to 0.");
    }
    if (LOF != 0 && LOF != 1) {
        ERSETI(1, LOF);
        ERMES(5, 5, "LOF = %(I1).  The lack of fit test option, LOF, must be either 0 or 1.");
    }
    if (LOF == 1 && DFPE < 0.0) {
        ERSETD(1, DFPE);
        ERMES(5, 6, "DFPE = %(D1).  The degrees of freedom for pure error, DFPE, must be greater than or equal to 0.");
    }
    if (LOF == 1 && SSPE < 0.0) {
        ERSETD(1, SSPE);
        ERMES(5, 7, "SSPE = %(D1).  The sums of squares for pure error, SSPE, must be greater than or equal to 0.");
    }
    if (IPRINT != 0 && IPRINT != 1) {
        ERSETI(1, IPRINT);
        ERMES(5, 8, "IPRINT = %(I1).  The printing option, IPRINT, must be equal to either 0 or 1.");
    }
    if (NDEG > 0 && LDSQSS < NDEG) {
        ERSETI(1, NDEG);
        ERSETI(2, LDSQSS);
        ERMES(5, 9, "NDEG = %(I1) and LDSQSS = %(I2).  The leading dimension of SQSS, LDSQSS, must be greater than or "
                    "equal to the degree of the polynomial regression, NDEG.");
    }
    if (NDEG > 0 && LOF == 1 && LDTLOF < NDEG) {
        ERSETI(1, NDEG);
        ERSETI(2, LDTLOF);
        ERMES(5, 11, "NDEG = %(I1) and LDTLOF = %(I2).  The leading dimension of TLOF, LDTLOF, must be greater than or "
                     "equal to the degree of the polynomial regression, NDEG.");
    }
    if (NDEG >= 0 && LDCOEF < NDEG + 1) {
        ERSETI(1, NDEG);
        ERSETI(2, LDCOEF);
        ERMES(5, 10, "NDEG = %(I1) and LDCOEF = %(I2).  The leading dimension of COEF, LDCOEF, must be greater than or "
                     "equal to 1 plus the degree of the polynomial regression, NDEG.");
    }
    if (ERCODE(0) != 0) {
        ERPOP("OPTAB");
        return;
    }

    const int k = NDEG;
    const int one = 1;
    // The statistics are formed with y 2^-ey and the weights 2^-ew (ew even), as the fit was, so
    // that no square or product of them overflows or underflows where the values do not; the
    // sums of squares, coefficients and standard errors are scaled back at the end.
    double cmax = 0.0;
    for (int i = 0; i <= k; ++i)
        cmax = std::max(cmax, std::fabs(OCOEF[i]));
    const int ey = y_scale_exponent(cmax);
    const int ew = y_scale_exponent(D[0]) & ~1;
    const int squares = 2 * ey + ew;
    const auto norm = [&](int i) { return std::ldexp(D[i], -ew); };
    for (int i = 0; i <= k; ++i)
        COEF[i] = std::ldexp(OCOEF[i], -ey);
    const double sse = std::ldexp(SSE, -squares);
    const double sspe = std::ldexp(SSPE, -squares);
    for (int j = 1; j <= k; ++j)
        col(SQSS, LDSQSS, 2)[j - 1] = COEF[j] * COEF[j] * norm(j);
    const double ssr = VSUM(k, col(SQSS, LDSQSS, 2), one);
    const double dfr = k;
    aovsta(dfr, ssr, DFE, sse, COEF[0], AOV, p_values);

    const int ldwk = k + 1;
    OPCONV(k, COEF, ALPHA, BETA, SMULT, SADD, WK, ldwk);

    const double mse = quotient(sse, DFE);
    double* se = col(COEF, LDCOEF, 2);
    if (!ISNAN(mse)) {
        for (int i = 0; i <= k; ++i)
            se[i] = (1.0 / norm(i)) * mse;
        OPVARS(k, se, ALPHA, BETA, SMULT, SADD, WK + static_cast<std::int64_t>(4) * ldwk, ldwk);
        for (int i = 0; i <= k; ++i)
            se[i] = se[i] > 0.0 ? std::sqrt(se[i]) : 0.0;
        const int ncoef = k + 1;
        opcoef(ncoef, COEF, se, DFE, COEF, LDCOEF, p_values);
    } else {
        for (int c = 2; c <= 4; ++c)
            for (int i = 0; i <= k; ++i)
                col(COEF, LDCOEF, c)[i] = nan();
    }

    if (k > 0) {
        for (int j = 0; j < k; ++j) {
            col(SQSS, LDSQSS, 1)[j] = 1.0;
            const double ms = col(SQSS, LDSQSS, 2)[j] / col(SQSS, LDSQSS, 1)[j];
            f_test(ms, mse, col(SQSS, LDSQSS, 1)[j], DFE, col(SQSS, LDSQSS, 3)[j], col(SQSS, LDSQSS, 4)[j], p_values);
        }
        if (LOF == 1) {
            double* df = col(TLOF, LDTLOF, 1);
            double* ss = col(TLOF, LDTLOF, 2);
            df[k - 1] = DFE - DFPE;
            ss[k - 1] = sse - sspe;
            for (int j = k - 1; j >= 1; --j) {
                df[j - 1] = df[j] + 1.0;
                ss[j - 1] = ss[j] + col(SQSS, LDSQSS, 2)[j];
            }
            const double mspe = sspe / DFPE;
            for (int j = 0; j < k; ++j) {
                const double ms = ss[j] / df[j];
                f_test(ms, mspe, df[j], DFPE, col(TLOF, LDTLOF, 3)[j], col(TLOF, LDTLOF, 4)[j], p_values);
            }
        }
    }

    if (squares != 0 || ey != 0) {
        for (int c = 3; c <= 7; ++c)  // SSR, SSE, their sum and mean squares
            AOV[c] = std::ldexp(AOV[c], squares);
        if (!ISNAN(AOV[12])) {
            AOV[12] = std::ldexp(AOV[12], squares / 2);
            AOV[14] = quotient(100.0 * AOV[12], OCOEF[0]);
        }
        AOV[13] = OCOEF[0];
        for (int i = 0; i <= k; ++i) {
            COEF[i] = std::ldexp(COEF[i], ey);
            se[i] = std::ldexp(se[i], ey);
        }
        for (int j = 0; j < k; ++j)
            col(SQSS, LDSQSS, 2)[j] = std::ldexp(col(SQSS, LDSQSS, 2)[j], squares);
        if (k > 0 && LOF == 1) {
            for (int j = 0; j < k; ++j)
                col(TLOF, LDTLOF, 2)[j] = std::ldexp(col(TLOF, LDTLOF, 2)[j], squares);
        }
    }

    if (IPRINT == 1) {
        static constexpr std::string_view ROWS[3] = {"Regression", "Residual", "Corrected Total"};
        AOVPRT("", ROWS, AOV);
        std::string chwk[4];
        const std::string_view number[1] = {"NUMBER"};
        const std::string_view coef_labels[5] = {"%/Coef.", "%/Estimate", "Standard%/Error", "%/t-statistic",
                                                 "Prob. of%/Larger |t|"};
        const int nrow = k + 1;
        const int four = 4;
        const int whole = 0;
        PRTREG("%/* * * Inference on Coefficients * * *", nrow, four, COEF, LDCOEF, whole, "(2W10.4,F9.3,F7.4)",
               number, coef_labels, chwk);
        const std::string_view seq_labels[5] = {"Degree of%/Polynomial", "Degrees of%/Freedom", "Sum of%/Squares",
                                                "%/F-statistic", "Prob. of%/Larger F"};
        if (k > 0)
            PRTREG("%/* * * Sequential Statistics * * *", k, four, SQSS, LDSQSS, whole, "(2W10.4,F9.3,F7.4)", number,
                   seq_labels, chwk);
        if (k > 0 && LOF == 1)
            PRTREG("%/* * * Tests of Lack of Fit * * *", k, four, TLOF, LDTLOF, whole, "(2W10.4,F9.3,F7.4)", number,
                   seq_labels, chwk);
    }
    ERPOP("OPTAB");
}

void OPTAB(const int& NDEG, const double* ALPHA, const double* BETA, const double& SMULT, const double& SADD,
           const double* OCOEF, const double* D, const double& DFE, const double& SSE, const int& LOF,
           const double& DFPE, const double& SSPE, const int& IPRINT, double* AOV, double* SQSS, const int& LDSQSS,
           double* COEF, const int& LDCOEF, double* TLOF, const int& LDTLOF, double* WK)
{
    optab_with(PValues::Computed, NDEG, ALPHA, BETA, SMULT, SADD, OCOEF, D, DFE, SSE, LOF, DFPE, SSPE, IPRINT, AOV,
               SQSS, LDSQSS, COEF, LDCOEF, TLOF, LDTLOF, WK);
}

void AOVPRT(std::string_view NAME, std::span<const std::string_view> ROWLBL, const double* AOV)
{
    ERPUSH("AOVPRT");
    std::string chwk[5];
    const bool named = WRLEN(NAME) > 0;
    const std::string_view summary_labels[6] = {named ? "Dependent%/Variable" : "", "R-squared%/(percent)",
                                                "Adjusted%/R-squared", "Est. Std. Dev.%/of Model Error", "%/Mean",
                                                "Coefficient of%/Var. (percent)"};
    const std::string_view row_name[1] = {named ? NAME : std::string_view("NONE")};
    const int one = 1;
    const int whole = 0;
    if (ISNAN(AOV[13]) && ISNAN(AOV[14])) {
        const int three = 3;
        PRTREG("%/", one, three, AOV + 10, one, whole, "(2F8.3,W10.4)", row_name, summary_labels, chwk);
    } else {
        const int five = 5;
        PRTREG("%/", one, five, AOV + 10, one, whole, "(2F8.3,3W10.4)", row_name, summary_labels, chwk);
    }

    // Cells without a value print blank in this table only.
    int blanks = 3;
    const int minus_four = -4;
    WRTOPT(minus_four, blanks, whole);
    const double n = nan();
    const double table[15] = {AOV[0], AOV[1], AOV[2], AOV[3], AOV[4], AOV[5], AOV[6], AOV[7], n,
                              AOV[8], n,      n,      AOV[9], n,      n};
    std::string_view rows[3] = {"", "", ""};
    for (std::size_t i = 0; i < 3 && i < ROWLBL.size(); ++i)
        rows[i] = ROWLBL[i];
    const std::string_view aov_labels[6] = {"%/Source",    "%/DF",        "Sum of%/Squares",
                                            "Mean%/Square", "%/Overall F", "Prob. of%/Larger F"};
    const int three = 3;
    const int five = 5;
    PRTREG("%/* * * Analysis of Variance * * *", three, five, table, three, whole, "(W7.1,2W10.4,F9.3,F7.4)", rows,
           aov_labels, chwk);
    ERPOP("AOVPRT");
}

}  // namespace kvpvs::numerics
