// The least-squares polynomial fit behind the curve fit: PFIT checks and allocates its work
// storage, PFIT2 runs the orthogonal-polynomial regression on the (x, y) pairs, maps its
// messages onto the curve fit's own, and condenses the statistics into the power-basis
// coefficients, the sequential sums of squares and a ten-value statistics vector.
#include "numerics/numerics.h"

#include <DFORRT/Allocatable.h>

#include <algorithm>
#include <cmath>
#include <cstdint>

namespace kvpvs::numerics {
namespace {

// What one fit leaves behind for its own statistics; each call overwrites it first.
struct FitStorage {
    int ndeg = 0;
    double smult = 0.0;
    double sadd = 0.0;
    double dfe = 0.0;
    double sse = 0.0;
    double dfpe = 0.0;
    double sspe = 0.0;
    int nmiss = 0;
    double aov[15] = {};
    double tlof[20 * 4] = {};
};

FitStorage g_fit;

double quotient(double a, double b)
{
    double q = 0.0;
    SAFEEQ(a, b, q);
    return q;
}

bool checks(const int& NOBS, const int& NDEG)
{
    if (NOBS < 1) {
        ERSETI(1, NOBS);
        ERMES(5, 1, "The number of observations must be at least 1 while NOBS = %(I1) is given.");
        return false;
    }
    if (NDEG < 0) {
        ERSETI(1, NDEG);
        ERMES(5, 2, "NDEG = %(I1).  The degree of the polynomial to be fit must be greater than or equal to 0.");
        return false;
    }
    return true;
}

// v times 2^e, each element.
void scale(std::int64_t n, double* v, int e)
{
    if (e != 0) {
        for (std::int64_t i = 0; i < n; ++i)
            v[i] = std::ldexp(v[i], e);
    }
}

void not_finite(int degree)
{
    ERSETI(1, degree);
    ERMES(4, 8, "The coefficients of the degree %(I1) polynomial are not all finite.  The x values lie too close "
                "together, or the x or y values are too large, for this degree.");
}

void pfit2(PValues p_values, const int& NOBS, const double* XOBS, const double* YOBS, const int& NDEG, double* B,
           double* SEQSS, double* STATS, double* WK, int* IWK)
{
    ERPUSH("PFIT2");
    if (!checks(NOBS, NDEG)) {
        ERPOP("PFIT2");
        return;
    }
    FitStorage& s = g_fit;
    s = FitStorage{};
    const std::int64_t n = NOBS;
    const std::int64_t d = NDEG;
    const int one = 1;
    // An infinite x or y is a missing value, as NaN is: the pair is left out and counted.
    const double missing = RCONST(6);
    double ymax = 0.0;  // a NaN is passed over
    for (std::int64_t i = 0; i < n; ++i) {
        WK[i] = std::isinf(XOBS[i]) ? missing : XOBS[i];
        WK[n + i] = std::isinf(YOBS[i]) ? missing : YOBS[i];
        ymax = std::max(ymax, std::fabs(WK[n + i]));
    }
    // y far from 1 is fitted as y 2^-e, as the regression would, but here the statistics too are
    // formed at that scale: sums of squares beyond DBL_MAX leave R-squared and the variance of y
    // finite, and only a statistic whose value is beyond DBL_MAX is infinite.
    const int yscale = y_scale_exponent(ymax);
    scale(n, WK + n, -yscale);
    double* alpha = WK + 2 * n;
    double* beta = alpha + d;
    double* ocoef = beta + d;
    double* sqss = ocoef + d + 1;
    double* coef = sqss + 4 * d;
    double* scratch = coef + 4 * (d + 1);
    double* D = SEQSS;

    const int two = 2;
    const int irsp = 2;
    const int zero = 0;
    const double crit = 0.0;
    OPFIT(NOBS, two, WK, NOBS, irsp, one, zero, zero, NDEG, zero, crit, zero, s.ndeg, s.smult, s.sadd, alpha, beta,
          ocoef, D, s.dfe, s.sse, s.dfpe, s.sspe, s.nmiss, sqss, IWK);

    const int type = ERTYPE(1);
    const int code = ERCODE(1);
    if (type == 5) {
        ERPOP("PFIT2");
        return;
    }
    if ((type == 4 && (code == 1 || code == 2)) || (type == 3 && (code == 1 || code == 3))) {
        ERMES(0, 0, "");
    } else if (type == 4 && code == 3) {
        ERMES(4, 3, "There are no valid data points.  Each (x,y) pair contains NaN (not a number).");
        ERPOP("PFIT2");
        return;
    } else if (type == 4 && code == 7) {
        ERMES(4, 7, "The x values are constant.  At least two distinct x values are needed.");
        ERPOP("PFIT2");
        return;
    } else if (type == 4 && code == 8) {
        not_finite(NDEG);  // the x range has no scale: its powers would be infinite
        ERPOP("PFIT2");
        return;
    } else if (type == 3 && code == 6) {
        ERSETI(1, NDEG);
        ERSETI(2, s.ndeg);
        ERMES(3, 6, "A perfect fit was obtained with a polynomial of lower degree (=%(I2)) than NDEG = %(I1) as "
                    "requested.");
    } else if (type == 3 && code == 4) {
        ERMES(3, 4, "The y values are constant.  A zero order polynomial is fit.  High order coefficients are set to "
                    "zero.");
    }

    const int k = s.ndeg;
    const int ldtlof = 20;
    const int ldcoef = NDEG + 1;
    optab_with(p_values, k, alpha, beta, s.smult, s.sadd, ocoef, D, s.dfe, s.sse, zero, s.dfpe, s.sspe, zero, s.aov,
               sqss, NDEG, coef, ldcoef, s.tlof, ldtlof, scratch);

    scale(k + 1, coef, yscale);
    // Powers of the scale 4 / (x range) can overflow where the orthogonal fit did not.
    for (int i = 0; i <= k; ++i) {
        if (!std::isfinite(coef[i])) {
            not_finite(k);
            ERPOP("PFIT2");
            return;
        }
    }

    SEQSS[0] = ocoef[0] * ocoef[0] * D[0];
    const double nothing = 0.0;
    VFILL(NDEG, nothing, SEQSS + 1, one);
    VCOPY(k, sqss + d, one, SEQSS + 1, one);  // column 2 of SQSS
    scale(k + 1, SEQSS, 2 * yscale);
    VFILL(NDEG + 1, nothing, B, one);
    VCOPY(k + 1, coef, one, B, one);

    const double valid = static_cast<double>(NOBS - s.nmiss);
    const auto pair_ok = [&](std::int64_t i) { return std::isfinite(XOBS[i]) && std::isfinite(YOBS[i]); };
    const double xmean = k == 0 ? RCONST(6) : (alpha[0] - s.sadd) / s.smult;
    STATS[0] = xmean;
    // One pass, each sum in the order of the input.
    double sum = 0.0;
    double ss = 0.0;
    for (std::int64_t i = 0; i < n; ++i) {
        if (pair_ok(i)) {
            sum += yscale == 0 ? YOBS[i] : std::ldexp(YOBS[i], -yscale);
            ss += (XOBS[i] - xmean) * (XOBS[i] - xmean);
        }
    }
    STATS[1] = std::ldexp(sum / valid, yscale);
    STATS[2] = k == 0 ? RCONST(6) : quotient(ss, valid - 1.0);
    STATS[3] = std::ldexp(quotient(s.aov[5], valid - 1.0), 2 * yscale);
    STATS[4] = s.aov[10];
    STATS[5] = s.aov[0];
    STATS[6] = std::ldexp(s.aov[3], 2 * yscale);
    STATS[7] = s.aov[1];
    STATS[8] = std::ldexp(s.aov[4], 2 * yscale);
    STATS[9] = s.nmiss;
    ERPOP("PFIT2");
}

} // namespace

std::int64_t pfit_work_size(const int& NOBS, const int& NDEG)
{
    // 64-bit: (NDEG + 3)(NDEG + 1) passes 2^31 from NDEG = 46339 on.
    const std::int64_t n = NOBS;
    const std::int64_t d = NDEG;
    return 11 * n + 11 * d + (d + 3) * (d + 1) + 5;
}

void pfit_with(PValues p_values, const int& NOBS, const double* XOBS, const double* YOBS, const int& NDEG, double* B,
               double* SEQSS, double* STATS)
{
    ERPUSH("PFIT");
    if (checks(NOBS, NDEG)) {
        const std::int64_t size = pfit_work_size(NOBS, NDEG);
        dforrt::Allocatable<double> wk;
        dforrt::Allocatable<int> iwk;
        const int wk_status = wk.Allocate(size > 0 ? size : 0);
        const int iwk_status = wk_status == dforrt::ALLOC_OK ? iwk.Allocate(NOBS) : dforrt::ALLOC_OK;
        if (wk_status != dforrt::ALLOC_OK || iwk_status != dforrt::ALLOC_OK) {
            ERMES(5, 3, " ");
            ERSETI(1, NOBS);
            ERSETI(2, NDEG);
            ERMES(5, 3, "The required storage cannot be allocated based on NOBS = %(I1) and NDEG = %(I2).");
        } else {
            pfit2(p_values, NOBS, XOBS, YOBS, NDEG, B, SEQSS, STATS, wk.data(), iwk.data());
        }
    }
    ERPOP("PFIT");
}

void PFIT(const int& NOBS, const double* XOBS, const double* YOBS, const int& NDEG, double* B, double* SEQSS,
          double* STATS)
{
    pfit_with(PValues::Computed, NOBS, XOBS, YOBS, NDEG, B, SEQSS, STATS);
}

void PFIT2(const int& NOBS, const double* XOBS, const double* YOBS, const int& NDEG, double* B, double* SEQSS,
           double* STATS, double* WK, int* IWK)
{
    pfit2(PValues::Computed, NOBS, XOBS, YOBS, NDEG, B, SEQSS, STATS, WK, IWK);
}

}  // namespace kvpvs::numerics
