// Distributions behind the regression's significance tests: Student's t distribution function
// and the regularised incomplete beta function, which it and the F distribution call.
#include "numerics/numerics.h"

#include <algorithm>
#include <cmath>
#include <initializer_list>
#include <string_view>

namespace kvpvs::numerics {
namespace {

// Terms of DBETAI's finite sum (2^26) and of TDIST's tail series before they give up.
constexpr int FINITE_SUM_TERMS = 67108864;
constexpr int TAIL_SERIES_TERMS = 1000;

// Records that a sum did not end within `terms` terms (TERMINAL `code`, the arguments as D1, D2,
// ...) and leaves `routine` with NaN.
double not_ended(std::string_view routine, int code, std::initializer_list<double> arguments, int terms,
                 std::string_view message)
{
    int k = 1;
    for (double v : arguments)
        ERSETD(k++, v);
    ERSETI(1, terms);
    ERMES(5, code, message);
    ERPOP(routine);
    return RCONST(6);
}

}  // namespace

double DBETAI(const double& X, const double& PIN, const double& QIN)
{
    static double eps = 0.0, alneps = 0.0, sml = 0.0, alnsml = 0.0;
    ERPUSH("DBETAI");
    double result = RCONST(6);
    if (eps == 0.0) {
        eps = RCONST(3);
        alneps = std::log(eps);
        sml = 100.0 * RCONST(1);  // a hundred times the smallest normalised double
        alnsml = std::log(sml);
    }
    // Written as "not in range" so that NaN arguments are refused as well.
    if (!(X >= 0.0 && X <= 1.0)) {
        ERSETD(1, X);
        ERMES(5, 5, "X = %(D1) is not in the range (0.0,1.0).");
    }
    if (!(PIN > 0.0 && QIN > 0.0)) {
        ERSETD(1, PIN);
        ERSETD(2, QIN);
        ERMES(5, 6, "Both PIN = %(D1) and QIN = %(D2) must be greater than 0.0.");
    } else if (std::isinf(PIN) || std::isinf(QIN)) {
        // An infinite shape would run the finite sum without end.
        ERSETD(1, PIN);
        ERSETD(2, QIN);
        ERMES(5, 6, "Both PIN = %(D1) and QIN = %(D2) must be finite.");
    }
    if (ERTYPE(0) == 5) {
        ERPOP("DBETAI");
        return result;
    }

    double y = X, p = PIN, q = QIN;
    if (!((q <= p && X < 0.8) || X < 0.2)) {  // I_x(p, q) = 1 - I_(1-x)(q, p)
        y = 1.0 - X;
        p = QIN;
        q = PIN;
    }
    const bool complement = y != X || p != PIN;

    double r = 0.0;
    if ((p + q) * y / (p + 1.0) < eps) {
        // x^p / (p B(p, q)), the first term of the series.
        const double xb = p * std::log(std::max(y, sml)) - std::log(p) - DLBETA(p, q);
        if (xb > alnsml && y != 0.0)
            r = std::exp(xb);
        if (complement)
            r = 1.0 - r;
        ERPOP("DBETAI");
        return r;
    }

    // Power series in y for the fractional part ps of q.
    double ps = q - std::trunc(q);
    if (ps == 0.0)
        ps = 1.0;
    double xb = p * std::log(y) - DLBETA(ps, p) - std::log(p);
    if (xb >= alnsml) {
        r = std::exp(xb);
        double term = r * p;
        if (ps != 1.0) {
            // The count's maximum is formed in single precision; y <= 0.8 here, so n <= 166.
            const float n = std::trunc(std::max(static_cast<float>(alneps / std::log(y)), 4.0f));
            for (float i = 1.0f; i <= n; i += 1.0f) {
                const double di = i;
                term = term * (di - ps) * y / di;
                r = r + term / (p + di);
            }
        }
    }

    // Finite sum over the whole part of q, terms scaled by powers of sml until they count.
    if (q > 1.0) {
        xb = p * std::log(y) + q * std::log(1.0 - y) - DLBETA(p, q) - std::log(q);
        // Scale count and loop count stay floating point: both follow q, which is unbounded.
        double ib = std::trunc(std::max(static_cast<float>(xb / alnsml), 0.0f));
        double term = std::exp(xb - ib * alnsml);
        const double c = 1.0 / (1.0 - y);
        const double p1 = q * c / (p + q - 1.0);
        double finsum = 0.0;
        double n = std::trunc(q);
        if (q == n)
            n = n - 1.0;
        // The scale count falls by at most 1 a term: from above n it never reaches 0, and no
        // term would be added.
        if (ib > n)
            n = 0.0;
        // Bounded: a sum of more terms than any fit's t or F test needs (degrees of freedom
        // below 2^27) stops with an error rather than running on.
        bool ended = n <= FINITE_SUM_TERMS;
        const double last = std::min(n, static_cast<double>(FINITE_SUM_TERMS));
        for (double i = 1.0; i <= last; i += 1.0) {
            if (p1 <= 1.0 && term / eps <= finsum) {
                ended = true;
                break;
            }
            term = (q - i + 1.0) * c * term / (p + q - i);
            if (term > 1.0) {
                ib = ib - 1.0;
                term = term * sml;
            }
            if (ib == 0.0) {
                finsum = finsum + term;
            } else if (ib < 0.0) {
                ended = true;  // the scale only falls: no later term is added
                break;
            }
        }
        if (!ended)
            return not_ended("DBETAI", 7, {X, PIN, QIN}, FINITE_SUM_TERMS,
                             "The finite sum for X = %(D1), PIN = %(D2) and QIN = %(D3) does not end within %(I1) terms.");
        r = r + finsum;
    }
    if (complement)
        r = 1.0 - r;
    result = std::clamp(r, 0.0, 1.0);
    ERPOP("DBETAI");
    return result;
}

double TDIST(const double& T, const double& DF)
{
    static bool first = true;
    static double twoopi = 0.0;
    ERPUSH("TDIST");
    double result = RCONST(6);
    if (DF < 1.0 || ISNAN(DF)) {
        ERSETD(1, DF);
        ERMES(5, 1, "The input number of degrees of freedom, DF = %(D1), must be at least 1.");
        ERPOP("TDIST");
        return result;
    }
    if (first) {
        twoopi = 1.0 / std::asin(1.0);  // 2/pi
        first = false;
    }
    if (ISNAN(T)) {  // no branch admits it, and the tail series would never end
        ERPOP("TDIST");
        return result;
    }

    // A: the two-tailed probability P(|T_DF| > |T|).
    const double tt = T * T;
    double a = 0.0;
    if (std::isinf(DF)) {
        // The normal distribution, the limit of the approximation below (z = |T|).
        const double z = std::fabs(T);
        a = z >= 18.8125 ? 0.0 : DERFC(z * std::sqrt(0.5));
    } else if (DF <= tt) {
        const double x = DF / (DF + tt);
        const double half_df = DF / 2.0;
        a = DBETAI(x, half_df, 0.5);
    } else {
        const double w = 1.0 + tt / DF;
        const double whole = std::trunc(DF);  // stays floating point: DF is unbounded
        if (DF > 200.0 || DF >= 20.0 || whole != DF) {
            // Normal approximation (Hill): z from ln(1 + t^2/DF) accurate for small t^2/DF.
            double aa = tt / DF;
            const double d = w - 1.0;
            if (d != 0.0)
                aa = aa * std::log(w) / d;
            const double h = DF - 0.5;
            const double b = 48.0 * h * h;
            const double y = h * aa;
            const double n = -(((0.4 * y + 3.3) * y + 24.0) * y + 85.5);
            const double z = std::sqrt(y) * (1.0 + (y + 3.0 + n / (0.8 * y * y + 100.0 + b)) / b);
            a = z >= 18.8125 ? 0.0 : DERFC(z * std::sqrt(0.5));
        } else if (tt < 4.0) {
            // Finite sum for small t.
            const double y = std::sqrt(tt / DF);
            double s = DF == 1.0 ? 0.0 : y;
            double f = DF - 2.0;
            while (f > 1.0) {
                s = (f - 1.0) / (f * w) * s + y;
                f = f - 2.0;
            }
            if (f == 0.0)
                s = s / std::sqrt(w);
            else
                s = (s / w + std::atan(y)) * twoopi;
            a = 1.0 - s;
        } else {
            // Tail series for large t (4 <= t^2 < DF).
            // Terms fall at least by 1 / w <= 19 / 23 a step: a few hundred steps end it.
            double b = DF, k = 0.0, s = 1.0, previous;
            int terms = 0;
            do {
                if (++terms > TAIL_SERIES_TERMS)
                    return not_ended("TDIST", 2, {T, DF}, TAIL_SERIES_TERMS,
                                     "The tail series for T = %(D1) and DF = %(D2) does not end within %(I1) terms.");
                previous = s;
                k = k + 2.0;
                b = b * (k - 1.0) / (k * w);
                s = s + b / (k + DF);
            } while (s != previous);
            double g = DF;
            if (DF > 1.0) {
                do {
                    if (s < 1e-30)
                        break;
                    s = s * (g - 1.0) / (g * w);
                    g = g - 2.0;
                } while (g > 1.0);
            }
            if (g != 0.0)
                s = s * twoopi / std::sqrt(w);
            a = s;
        }
    }
    result = T > 0.0 ? 1.0 - a / 2.0 : a / 2.0;
    ERPOP("TDIST");
    return result;
}

}  // namespace kvpvs::numerics
