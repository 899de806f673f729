// Special functions of the numerical library from truncated Chebyshev series: series length
// and Clenshaw sum, the complementary error function, the gamma family (Gamma, ln|Gamma|,
// Stirling's correction, the overflow bounds, ln(1 + x)) and ln B(a, b). Each keeps its term
// count and machine-dependent bounds from its first call; a count of 0 marks "not yet".
#include "numerics/chebyshev_tables.h"
#include "numerics/numerics.h"

#include <algorithm>
#include <cmath>

namespace kvpvs::numerics {

using namespace tables;

namespace {

constexpr double SQRTPI = 1.772453850905516;
constexpr double SQ2PIL = 0.9189385332046728;   // ln sqrt(2 pi)
constexpr double SQPI2L = 0.22579135264472744;  // ln sqrt(pi/2)
constexpr double PI = 3.141592653589793;

// 0.1 * 2^-53 formed in single precision, as the tables' tolerance.
float tenth_eps() { return 0.1f * static_cast<float>(RCONST(3)); }

}  // namespace

int INITDS(const double* OS, const int& NOS, const float& ETA)
{
    ERPUSH("INITDS");
    int result = 0;
    if (NOS < 1) {
        ERSETI(1, NOS);
        ERMES(5, 5, "The number of coefficients is less than 1. NOS = %(I1).");
        ERPOP("INITDS");
        return result;
    }
    // Neglected terms summed in single precision from the tail.
    float err = 0.0f;
    int i = NOS;
    for (; i >= 1; --i) {
        err += std::fabs(static_cast<float>(OS[i - 1]));
        if (err > ETA)
            break;
    }
    if (i < 1)
        i = 1;
    if (i == NOS) {
        ERMES(5, 6, "Too much accuracy may be requested. ETA should be increased.");
        ERPOP("INITDS");
        return result;
    }
    result = i;
    ERPOP("INITDS");
    return result;
}

double DCSEVL(const double& X, const double* CS, const int& N)
{
    ERPUSH("DCSEVL");
    double result = RCONST(6);
    if (N < 1) {
        ERSETI(1, N);
        ERMES(5, 5, "The number of terms in the series is not positive. N = %(I1).");
        ERPOP("DCSEVL");
        return result;
    }
    if (N > 1000) {
        ERSETI(1, N);
        ERMES(5, 6, "The number of terms in the series is greater than 1000. N = %(I1).");
        ERPOP("DCSEVL");
        return result;
    }
    if (X < -1.1 || X > 1.1) {
        ERSETD(1, X);
        ERMES(3, 7, "The argument X = %(D1) is outside the interval (-1.1,+1.1).");
    }
    // Clenshaw: b(i) = 2x b(i+1) - b(i+2) + cs(i); value = (b0 - b2)/2 counts cs(1) half.
    double b0 = 0.0, b1 = 0.0, b2 = 0.0;
    const double twox = 2.0 * X;
    for (int i = N; i >= 1; --i) {
        b2 = b1;
        b1 = b0;
        b0 = twox * b1 - b2 + CS[i - 1];
    }
    result = 0.5 * (b0 - b2);
    ERPOP("DCSEVL");
    return result;
}

double DERFC(const double& X)
{
    static int nterf = 0, nterfc = 0, nterc2 = 0;
    static double xsml = 0.0, xmax = 0.0, sqeps = 0.0;
    ERPUSH("DERFC");
    double result = RCONST(6);
    if (nterf == 0) {
        const float eta = tenth_eps();
        nterf = INITDS(ERFCS, 21, eta);
        nterfc = INITDS(ERFCCS, 59, eta);
        nterc2 = INITDS(ERC2CS, 49, eta);
        xsml = -std::sqrt(-std::log(SQRTPI * RCONST(3)));
        xmax = std::sqrt(-std::log(SQRTPI * RCONST(1)));
        xmax = xmax - 0.5 * std::log(xmax) / xmax - 0.01;
        sqeps = std::sqrt(2.0 * RCONST(3));
    }
    if (X <= xsml) {
        result = 2.0;
        ERPOP("DERFC");
        return result;
    }
    if (X > xmax) {
        ERSETD(1, X);
        ERSETD(2, xmax);
        ERMES(2, 1, "The function underflows because X = %(D1) is greater than %(D2). The result is set to zero.");
        result = 0.0;
        ERPOP("DERFC");
        return result;
    }
    const double y = std::fabs(X);
    if (y <= 1.0) {
        if (y < sqeps)
            result = 1.0 - 2.0 * X / SQRTPI;
        else
            result = 1.0 - X * (1.0 + DCSEVL(2.0 * X * X - 1.0, ERFCS, nterf));
        ERPOP("DERFC");
        return result;
    }
    const double ysq = y * y;
    const double e = std::exp(-ysq) / y;
    if (ysq <= 4.0)
        result = e * (0.5 + DCSEVL((8.0 / ysq - 5.0) / 3.0, ERC2CS, nterc2));
    else
        result = e * (0.5 + DCSEVL(8.0 / ysq - 1.0, ERFCCS, nterfc));
    if (X < 0.0)
        result = 2.0 - result;
    ERPOP("DERFC");
    return result;
}

void D9GAML(double& XMIN, double& XMAX)
{
    ERPUSH("D9GAML");
    XMIN = RCONST(6);
    XMAX = RCONST(6);
    // Newton on (x + 0.5) ln x - x - 0.2258 = ln tiny: where Gamma(-x) underflows.
    const double alnsml = std::log(RCONST(1));
    double x = -alnsml;
    bool converged = false;
    for (int i = 1; i <= 10 && !converged; ++i) {
        const double xold = x;
        const double xln = std::log(x);
        x = x - x * ((x + 0.5) * xln - x - 0.2258 + alnsml) / (x * xln + 0.5);
        converged = std::fabs(x - xold) < 0.005;
    }
    if (!converged) {
        ERMES(5, 5, "Unable to determine the value of XMIN.");
        XMIN = RCONST(6);
        ERPOP("D9GAML");
        return;
    }
    XMIN = -x + 0.01;
    // (x - 0.5) ln x - x + 0.9189 = ln huge: where Gamma(x) overflows.
    const double alnbig = std::log(RCONST(2));
    x = alnbig;
    converged = false;
    for (int i = 1; i <= 10 && !converged; ++i) {
        const double xold = x;
        const double xln = std::log(x);
        x = x - x * ((x - 0.5) * xln - x + 0.9189 - alnbig) / (x * xln - 0.5);
        converged = std::fabs(x - xold) < 0.005;
    }
    if (!converged) {
        ERMES(5, 6, "Unable to determine the value of XMAX.");
        XMAX = RCONST(6);
        ERPOP("D9GAML");
        return;
    }
    XMAX = x - 0.01;
    XMIN = std::max(XMIN, 1.0 - XMAX);
    ERPOP("D9GAML");
}

double D9LGMC(const double& X)
{
    static int nalgm = 0;
    static double xbig = 0.0, xmax = 0.0;
    ERPUSH("D9LGMC");
    double result = RCONST(6);
    if (nalgm == 0) {
        nalgm = INITDS(ALGMCS, 15, static_cast<float>(RCONST(3)));
        xbig = 1.0 / std::sqrt(RCONST(3));
        xmax = std::exp(std::min(std::log(RCONST(2) / 12.0), -std::log(12.0 * RCONST(1))));
    }
    if (X < 10.0) {
        ERSETD(1, X);
        ERMES(5, 5, "The argument X = %(D1) must be greater than or equal to 10.0.");
        ERPOP("D9LGMC");
        return result;
    }
    if (X >= xmax) {
        ERSETD(1, X);
        ERSETD(2, xmax);
        ERMES(2, 1, "The function underflows because X = %(D1) is greater than %(D2). The result is set to zero.");
        result = 0.0;
    } else if (X < xbig) {
        const double t = 10.0 / X;
        result = DCSEVL(2.0 * t * t - 1.0, ALGMCS, nalgm) / X;
    } else {
        result = 1.0 / (12.0 * X);
    }
    ERPOP("D9LGMC");
    return result;
}

double DGAMMA(const double& X)
{
    static int ngam = 0;
    static double xmin = 0.0, xmax = 0.0, xsml = 0.0, dxrel = 0.0;
    ERPUSH("DGAMMA");
    double result = RCONST(6);
    if (ngam == 0) {
        ngam = INITDS(GAMCS, 42, tenth_eps());
        D9GAML(xmin, xmax);
        dxrel = std::sqrt(RCONST(4));
        xsml = std::exp(std::max(std::log(RCONST(1)), -std::log(RCONST(2))) + 0.01);
    }
    const auto near_negative_integer = [&] {
        ERSETD(1, X);
        ERMES(3, 2, "The result is accurate to less than one half precision because X = %(D1) is too close to a negative integer.");
    };
    const double y = std::fabs(X);
    if (y <= 10.0) {
        // Gamma(1 + f) from the series, then up or down by the recurrence Gamma(x+1) = x Gamma(x).
        int n = static_cast<int>(X);  // |X| <= 10
        if (X < 0.0)
            --n;
        const double f = X - n;
        --n;
        double g = 0.9375 + DCSEVL(2.0 * f - 1.0, GAMCS, ngam);
        if (n > 0) {
            for (int i = 1; i <= n; ++i)
                g *= f + i;
        } else if (n < 0) {
            if (X == 0.0) {
                ERMES(5, 5, "The argument for the function can not be zero.");
                ERPOP("DGAMMA");
                return result;
            }
            if (f < xsml) {
                ERSETD(1, X);
                ERMES(5, 4, "The function overflows because X = %(D1) is too close to zero.");
                ERPOP("DGAMMA");
                return result;
            }
            if (X < 0.0 && X + (-n) - 2 == 0.0) {
                ERSETD(1, X);
                ERMES(5, 6, "The argument for the function can not be a negative integer. Argument X = %(D1).");
                ERPOP("DGAMMA");
                return result;
            }
            if (X < -0.5 && std::fabs((X - std::trunc(X - 0.5)) / X) < dxrel)
                near_negative_integer();
            // X + (i - 1): the whole offset first, so that X keeps its low bits for i = 1.
            for (int i = 1; i <= -n; ++i)
                g /= X + (i - 1);
        }
        result = g;
        ERPOP("DGAMMA");
        return result;
    }
    if (X > xmax) {
        ERSETD(1, X);
        ERSETD(2, xmax);
        ERMES(5, 4, "The function overflows because X = %(D1) is greater than %(D2).");
        ERPOP("DGAMMA");
        return result;
    }
    if (X < xmin) {
        ERSETD(1, X);
        ERSETD(2, xmin);
        ERMES(2, 1, "The function underflows because X = %(D1) is less than %(D2). The result is set to zero.");
        result = 0.0;
        ERPOP("DGAMMA");
        return result;
    }
    if (!(X < 0.0) && !(X > 0.0)) {  // NaN: no branch admits it
        ERPOP("DGAMMA");
        return result;
    }
    const double g = std::exp((y - 0.5) * std::log(y) - y + SQ2PIL + D9LGMC(y));
    if (X > 0.0) {
        result = g;
        ERPOP("DGAMMA");
        return result;
    }
    // Reflection Gamma(x) Gamma(1 - x) = pi / sin(pi x) for x < -10.
    if (std::fabs((X - std::trunc(X - 0.5)) / X) < dxrel)
        near_negative_integer();
    const double s = std::sin(PI * y);
    if (s == 0.0) {
        ERSETD(1, X);
        ERMES(5, 7, "The argument for the function can not be a negative integer. Argument X = %(D1).");
        ERPOP("DGAMMA");
        return result;
    }
    result = -PI / (y * s * g);
    ERPOP("DGAMMA");
    return result;
}

double DLNGAM(const double& X)
{
    static double xmax = 0.0, dxrel = 0.0;
    ERPUSH("DLNGAM");
    double result = RCONST(6);
    if (xmax == 0.0) {
        xmax = RCONST(2) / std::log(RCONST(2));
        dxrel = std::sqrt(RCONST(4));
    }
    const double y = std::fabs(X);
    if (y <= 10.0) {
        result = std::log(std::fabs(DGAMMA(X)));
        ERPOP("DLNGAM");
        return result;
    }
    if (y > xmax) {
        ERSETD(1, X);
        ERSETD(2, xmax);
        ERMES(5, 4, "The function overflows because ABS(%(D1)) is greater than %(D2).");
        ERPOP("DLNGAM");
        return result;
    }
    if (X > 0.0) {
        result = SQ2PIL + (X - 0.5) * std::log(X) - X + D9LGMC(y);
    } else if (X < 0.0) {
        const double s = std::fabs(std::sin(PI * y));
        if (s == 0.0) {
            ERSETD(1, X);
            ERMES(5, 5, "The argument for the function can not be a negative integer. Argument X = %(D1).");
            ERPOP("DLNGAM");
            return result;
        }
        const double r = SQPI2L + (X - 0.5) * std::log(y) - X - std::log(s) - D9LGMC(y);
        if (std::fabs((X - std::trunc(X - 0.5)) * r / X) < dxrel) {
            ERSETD(1, X);
            ERMES(3, 2, "The result is accurate to less than one half precision because X = %(D1) is too close to a negative integer.");
        }
        result = r;
    }
    ERPOP("DLNGAM");
    return result;
}

double DLNREL(const double& X)
{
    static int nlnrel = 0;
    static double xmin = 0.0;
    ERPUSH("DLNREL");
    double result = RCONST(6);
    if (nlnrel == 0) {
        nlnrel = INITDS(ALNRCS, 43, tenth_eps());
        xmin = -1.0 + std::sqrt(RCONST(4));
    }
    if (X <= -1.0) {
        ERSETD(1, X);
        ERMES(5, 5, "The argument X = %(D1) must be greater than -1.0.");
        ERPOP("DLNREL");
        return result;
    }
    if (std::fabs(X) <= 0.375)
        result = X * (1.0 - X * DCSEVL(X / 0.375, ALNRCS, nlnrel));
    else
        result = std::log(1.0 + X);
    if (X < xmin) {
        ERSETD(1, X);
        ERSETD(2, xmin);
        ERMES(3, 2, "The result is accurate to less than one half precision because X = %(D1) is too close to -1.0. X must be greater than %(D2).");
    }
    ERPOP("DLNREL");
    return result;
}

double DLBETA(const double& A, const double& B)
{
    ERPUSH("DLBETA");
    double result = RCONST(6);
    if (ISNAN(A) || ISNAN(B)) {
        ERPOP("DLBETA");
        return result;
    }
    const double p = std::min(A, B);
    const double q = std::max(A, B);
    if (p <= 0.0) {
        ERMES(5, 5, "Both arguments for the function must be greater than zero.");
        ERPOP("DLBETA");
        return result;
    }
    if (std::isinf(q)) {
        ERMES(5, 5, "Both arguments for the function must be finite.");
        ERPOP("DLBETA");
        return result;
    }
    // A vanishing correction term (D9LGMC's underflow ALERT, code 1) is simply 0: clear it.
    const auto clear_underflow = [] {
        if (ERCODE(0) == 1)
            ERMES(0, 0, " ");
    };
    if (p >= 10.0) {
        const double corr = D9LGMC(p) + D9LGMC(q) - D9LGMC(p + q);
        clear_underflow();
        result = -0.5 * std::log(q) + SQ2PIL + corr + (p - 0.5) * std::log(p / (p + q)) +
                 q * DLNREL(-p / (p + q));
    } else if (q >= 10.0) {
        const double corr = D9LGMC(q) - D9LGMC(p + q);
        clear_underflow();
        result = DLNGAM(p) + corr + p - p * std::log(p + q) + (q - 0.5) * DLNREL(-p / (p + q));
    } else {
        result = std::log(DGAMMA(p) * (DGAMMA(q) / DGAMMA(p + q)));
    }
    ERPOP("DLBETA");
    return result;
}

}  // namespace kvpvs::numerics
