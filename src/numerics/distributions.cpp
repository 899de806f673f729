// Distributions behind the regression's significance tests: Student's t distribution function
// and the regularised incomplete beta function, which it and the F distribution call, with its
// gamma limit for one large shape.
#include "numerics/numerics.h"

#include <algorithm>
#include <cmath>
#include <initializer_list>
#include <string_view>
#include <utility>

namespace kvpvs::numerics {
namespace {

// Shapes beyond the finite sum that DBETAI takes on (2^26) take no sum: 0 or 1, a short
// continued fraction, or, both from 2^30, the expansion about their mean. Terms of the fraction
// (2^17: shapes up to 2^26 end within some 2300) and of TDIST's tail series before they give up.
constexpr double FINITE_SUM_TERMS = 0x1p26;
constexpr int FRACTION_TERMS = 131072;
constexpr int TAIL_SERIES_TERMS = 1000;

// The short sums and the continued fraction's factor carry a 64-bit significand (x86-64's long
// double). In double, a logarithm of size L leaves some L 2^-53 in its exponential: hundreds of
// ulps in a far tail, and a few ulps of noise between neighbouring x, which at a switch of route
// shows as a fall.
using Wide = long double;
constexpr double LN_WIDE_EPS = -44.3614195558365;  // ln 2^-64
constexpr double SMALLEST_NORMAL = 0x1p-1022;      // RCONST(1), as a constant on the hot paths
constexpr double LN_SMALLEST_NORMAL = -708.39641853226408;
constexpr Wide LN_2_WIDE = 0.693147180559945309417232121458176568L;
constexpr Wide LN_SQRT_2PI_WIDE = 0.918938533204672741780329736405617640L;

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

// ln(1 + d) - d to 2^-64 of itself: below |d| = 1/8, where ln(1 + d) and d would cancel, by
// its series.
Wide log1p_minus_wide(Wide d)
{
    if (std::fabs(d) >= 0.125L)
        return std::log1p(d) - d;
    Wide power = d;
    Wide sum = 0.0L;
    for (int k = 2; k < 40; ++k) {
        power *= -d;
        const Wide term = power / k;
        sum += term;
        if (std::fabs(term) <= 0x1p-65L * std::fabs(sum))
            break;
    }
    return sum;
}

// e^l and 1 - e^l within about the rounding of a double: the exponential of l rounded to a
// double, times the first order of the rest; the second as -expm1(l) where e^l is not small.
struct WideTails {
    Wide lower, upper;
};

WideTails wide_tails_of(Wide l)
{
    const double hi = static_cast<double>(l);
    const Wide lo = l - hi;
    const Wide e = std::exp(hi) * (1.0L + lo);
    if (e < 0x1p-10L)
        return {e, 1.0L - e};
    const Wide em = std::expm1(hi);
    return {e, -(em + (1.0L + em) * lo)};
}

BetaTails rounded(WideTails t) { return {static_cast<double>(t.lower), static_cast<double>(t.upper)}; }

BetaTails tails_of(Wide l) { return rounded(wide_tails_of(l)); }

BetaTails swapped(BetaTails t) { return {t.upper, t.lower}; }

// Stirling's correction ln Gamma(x) - (x - 1/2) ln x + x - ln sqrt(2 pi), x >= 10; 1 / 12x where
// the series would underflow.
double stirling(double x) { return x >= 0x1p1000 ? 1.0 / (12.0 * x) : D9LGMC(x); }

// ln(x^a e^-x / Gamma(a)); for a >= 10 through Stirling's series, so that the large terms of
// a ln x - x - ln Gamma(a) do not cancel.
Wide log_gamma_density(double a, double x)
{
    if (x == 0.0 || std::isinf(x))
        return RCONST(8);
    int sign = 0;
    const Wide wx = x;
    if (a < 10.0)
        return a * std::log(wx) - wx - lgammal_r(a, &sign);
    const Wide d = (wx - a) / a;
    const Wide lm = d > -0.5L ? log1p_minus_wide(d) : std::log(wx / a) - d;
    return a * lm + 0.5L * std::log(static_cast<Wide>(a)) - LN_SQRT_2PI_WIDE - stirling(a);
}

// ln(x^a e^-x / Gamma(a + 1)): ln Gamma(a) + ln a as ln Gamma(1 + a) below 10, where the two
// cancel for a small a.
Wide log_gamma_term(double a, double x)
{
    if (a >= 10.0 || x == 0.0 || std::isinf(x))
        return log_gamma_density(a, x) - std::log(static_cast<Wide>(a));
    int sign = 0;
    const Wide wx = x;
    return a * std::log(wx) - wx - lgammal_r(1.0L + a, &sign);
}

// The regularised incomplete gamma functions P(a, x) and Q(a, x), with l = ln(x^a e^-x /
// Gamma(a + 1)): P's series below a + 1, else the continued fraction of Q (modified Lentz), the
// other as -expm1 of the same logarithm. Both end within some 10 sqrt(a) + 100 terms: some
// 330,000 for the largest a the large-shape route takes, 2^30.
WideTails gamma_tails(double a, double x, Wide l)
{
    if (std::isinf(x))
        return {1.0L, 0.0L};
    constexpr int TERMS = 1 << 20;
    constexpr Wide EPS = 0x1p-60L;
    if (x < a + 1.0) {
        Wide term = 1.0L;
        Wide sum = term;
        for (int n = 1; n < TERMS && term > EPS * sum; ++n) {
            term *= x / (static_cast<Wide>(a) + n);
            sum += term;
        }
        const WideTails t = wide_tails_of(l + std::log(sum));
        return {std::min(t.lower, 1.0L), std::max(t.upper, 0.0L)};
    }
    constexpr Wide TINY = 1e-300L;
    Wide b = static_cast<Wide>(x) + 1.0L - a;
    Wide c = 1.0L / TINY;
    Wide d = 1.0L / b;
    Wide h = d;
    for (int i = 1; i < TERMS; ++i) {
        const Wide an = -i * (i - static_cast<Wide>(a));
        b += 2.0L;
        d = an * d + b;
        if (std::fabs(d) < TINY)
            d = TINY;
        c = b + an / c;
        if (std::fabs(c) < TINY)
            c = TINY;
        d = 1.0L / d;
        const Wide step = d * c;
        h *= step;
        if (std::fabs(step - 1.0L) <= EPS)
            break;
    }
    const WideTails t = wide_tails_of(l + std::log(static_cast<Wide>(a)) + std::log(h));
    return {std::max(t.upper, 0.0L), std::min(t.lower, 1.0L)};
}

// I_y(a, b) at y = x / (x + b) for a huge b: the gamma distribution of a at x (the limit as b
// grows, as TDIST takes the normal one) with its terms in 1/b and 1/b^2 from the spread of
// gamma(b) / b. What is left is of order (a^2 / b)^3 in the tails and (a / b)^3 between them:
// under the rounding for a^2 <= b 2^-20.
BetaTails gamma_limit(double a, double x, double b)
{
    const Wide l = log_gamma_term(a, x);
    const Wide t = std::exp(l + std::log(static_cast<Wide>(a)));
    const Wide m = a - 1.0L;
    const Wide s = m - x;
    WideTails g = gamma_tails(a, x, l);
    if (t > 0.0L) {  // else x is far in a tail, where s^3 may overflow
        const Wide n = 2.0L * b;
        const Wide first = s / n;
        const Wide second = ((0.5L * s + 4.0L / 3.0L) * s * s - 1.5L * m * s - m / 3.0L) / n / n;
        const Wide shift = t * (first + second);
        g.lower = std::clamp(g.lower + shift, 0.0L, 1.0L);
        g.upper = std::clamp(g.upper - shift, 0.0L, 1.0L);
    }
    return rounded(g);
}

// e = x b - x1 a = (a + b)(x - a / (a + b)), from the smaller of x and x1 (the other is 1 minus
// it), so that e follows x without the steps of the rounded one; the products split exactly.
Wide mean_distance(double a, double b, double x, double x1)
{
    const auto product = [](double u, double v) {
        const double p = u * v;
        return static_cast<Wide>(p) + std::fma(u, v, -p);
    };
    if (x < 0.5)
        return product(x, b) + (product(x, a) - a);
    return (b - product(x1, b)) - product(x1, a);
}

// x and 1 - x, each formed directly, with their logarithms, formed where they are needed from
// the one of x and 1 - x that has not rounded, or given.
struct ArgumentLogs {
    double x, x1;
    Wide given = RCONST(6), given1 = RCONST(6); // ln x and ln(1 - x), where known
    Wide lnx() const
    {
        return !std::isnan(given) ? given
               : x1 < 0.5         ? std::log1p(-static_cast<Wide>(x1))
                                  : std::log(static_cast<Wide>(x));
    }
    Wide lnx1() const
    {
        return !std::isnan(given1) ? given1
               : x < 0.5           ? std::log1p(-static_cast<Wide>(x))
                                   : std::log(static_cast<Wide>(x1));
    }
    ArgumentLogs swapped() const { return {x1, x, given1, given}; }
};

// ln(x^a (1 - x)^b / (a B(a, b))), the factor of the continued fraction.
// Both shapes from 10: Stirling's series takes the large terms of ln B(a, b) out, leaving
// a ln(x / x0) + b ln(x1 / y0) about the mean x0 = a / (a + b), y0 = 1 - x0; with
// e = x b - x1 a, as a lm(e / a) + b lm(-e / b) (lm(d) = ln(1 + d) - d) where both ratios lie
// within 1/2 of 1, as the d terms cancel.
// One shape below 10: the gamma density of a at b x, whose terms stay of the size of the result.
// Both below 10: ln(a B(a, b)) = ln Gamma(1 + a) + ln Gamma(b) - ln Gamma(a + b), which holds
// for subnormal shapes, and keeps the digits of a term near 1.
Wide log_beta_term(double a, double b, const ArgumentLogs& g)
{
    const double x = g.x;
    const double x1 = g.x1;
    int sign = 0;
    if (a >= 10.0 && b >= 10.0) {
        const Wide e = mean_distance(a, b, x, x1);
        const Wide da = e / a;
        const Wide db = -e / b;
        Wide shape_terms;
        if (da > -0.5L && db > -0.5L) {
            shape_terms = a * log1p_minus_wide(da) + b * log1p_minus_wide(db);
        } else {
            const Wide la = da > -0.5L ? std::log1p(da) : g.lnx() + std::log1p(static_cast<Wide>(b) / a);
            const Wide lb = db > -0.5L ? std::log1p(db) : g.lnx1() + std::log1p(static_cast<Wide>(a) / b);
            shape_terms = a * la + b * lb;
        }
        const Wide wa = a;
        const Wide wb = b;
        return shape_terms + 0.5L * (std::log(wb) - std::log(wa + wb) - std::log(wa)) - LN_SQRT_2PI_WIDE -
               (stirling(a) + stirling(b) - stirling(a + b));
    }
    if (a < 10.0 && b >= 10.0) {
        // a ln(b x) - ln Gamma(a + 1) + b ln(1 - x) + ln(Gamma(a + b) / (Gamma(b) b^a))
        const Wide r = static_cast<Wide>(a) / b;
        // ln x as given where x has underflowed: a subnormal x keeps few of its digits
        const Wide bx = static_cast<Wide>(b) * x;
        const Wide lnbx = bx > 0.0L && std::isnan(g.given) ? std::log(bx) : std::log(static_cast<Wide>(b)) + g.lnx();
        const Wide lm = log1p_minus_wide(r);
        return a * lnbx - lgammal_r(1.0L + a, &sign) + b * g.lnx1() + (a - 0.5L) * (lm + r) + b * lm + stirling(a + b) -
               stirling(b);
    }
    if (b < 10.0 && a >= 10.0)
        return log_beta_term(b, a, g.swapped()) + std::log(static_cast<Wide>(b)) - std::log(static_cast<Wide>(a));
    return a * g.lnx() + b * g.lnx1() - lgammal_r(1.0L + a, &sign) - lgammal_r(b, &sign) +
           lgammal_r(static_cast<Wide>(a) + b, &sign);
}

// Double-double numbers (hi + lo, |lo| <= ulp(hi) / 2) for the continued fraction at an
// argument near 1, whose terms there cancel to the digits that 1 - x has kept.
struct Twice {
    double hi, lo = 0.0;
};

Twice twice_sum(double a, double b)
{
    const double s = a + b;
    const double v = s - a;
    return {s, (a - (s - v)) + (b - v)};
}
Twice renormalised(double hi, double lo)
{
    const double s = hi + lo;
    return {s, lo - (s - hi)};
}
Twice operator+(Twice a, Twice b)
{
    const Twice s = twice_sum(a.hi, b.hi);
    return renormalised(s.hi, s.lo + a.lo + b.lo);
}
Twice operator-(Twice a) { return {-a.hi, -a.lo}; }
Twice operator*(Twice a, Twice b)
{
    const double p = a.hi * b.hi;
    return renormalised(p, std::fma(a.hi, b.hi, -p) + (a.hi * b.lo + a.lo * b.hi));
}
Twice operator/(Twice a, Twice b)
{
    const double q1 = a.hi / b.hi;
    const Twice r = a + -(b * Twice{q1, 0.0});
    return renormalised(q1, r.hi / b.hi);
}
double value(Twice v) { return v.hi + v.lo; }
Wide wide(Twice v) { return static_cast<Wide>(v.hi) + v.lo; }
Twice operator*(double a, Twice b) { return Twice{a, 0.0} * b; }

// The continued fraction of I_x(a, b) a B(a, b) / (x^a (1 - x)^b) (modified Lentz) in
// double-double, for x <= (a + 1) / (a + b + 2); 0 after `terms` terms without an end.
Wide beta_fraction(double a, double b, Twice x, int terms)
{
    constexpr double TINY = 1e-300;
    // Below the rounding: an end at 2^-52 leaves some 2 ulps, which show as falls where the
    // fraction of a neighbouring x ends a term sooner.
    constexpr double TOLERANCE = 0x1p-58;
    const auto floor_tiny = [](Twice& v) {
        if (std::fabs(value(v)) < TINY)
            v = Twice{TINY};
    };
    const Twice one{1.0};
    const Twice ab = twice_sum(a, b);
    Twice c = one;
    Twice d = one + -(ab * x / twice_sum(a, 1.0));
    floor_tiny(d);
    d = one / d;
    Twice h = d;
    for (int i = 1; i <= terms; ++i) {
        const double m = i;
        const double m2 = 2.0 * m;
        Twice an = m * twice_sum(b, -m) * x / (twice_sum(a, m2 - 1.0) * twice_sum(a, m2));
        d = one + an * d;
        floor_tiny(d);
        c = one + an / c;
        floor_tiny(c);
        d = one / d;
        h = h * (d * c);
        an = -(twice_sum(a, m) * (ab + Twice{m}) * x / (twice_sum(a, m2) * twice_sum(a, m2 + 1.0)));
        d = one + an * d;
        floor_tiny(d);
        c = one + an / c;
        floor_tiny(c);
        d = one / d;
        const Twice step = d * c;
        h = h * step;
        if (std::fabs(value(step) - 1.0) <= TOLERANCE)
            return wide(h);
    }
    return 0.0L;
}

// Both shapes from 2^30: the uniform expansion about the mean x0 = a / (a + b), whose terms are
// in powers of 1 / min(a, b); the fraction would take some sqrt(min(a, b)) / 10 terms there.
constexpr double TWO_LARGE_SHAPES = 0x1p30;

// e = x b - x1 a = (a + b)(x - x0), from the smaller of x and x1 (the other is 1 minus it): the
// products split exactly into two doubles each, and the five parts gathered into doubles that
// do not overlap (each beyond the sum of the smaller ones), so that e is 0 exactly at the mean and
// keeps its digits near it, where its parts, of the size of the shapes, cancel to some
// sqrt(min(a, b)).
Wide exact_mean_distance(double a, double b, double x, double x1)
{
    double parts[5];
    const auto split = [](double u, double v, double* out) {
        out[0] = u * v;
        out[1] = std::fma(u, v, -out[0]);
    };
    if (x < 0.5) {  // x a - a + x b, whose partial sums stay within the shapes
        split(x, a, parts);
        parts[2] = -a;
        split(x, b, parts + 3);
    } else {  // b - x1 b - x1 a
        parts[0] = b;
        split(-x1, b, parts + 1);
        split(-x1, a, parts + 3);
    }
    double sums[5];
    int n = 0;
    for (double part : parts) {
        double q = part;
        int m = 0;
        for (int i = 0; i < n; ++i) {
            const Twice s = twice_sum(q, sums[i]);
            q = s.hi;
            if (s.lo != 0.0)
                sums[m++] = s.lo;
        }
        sums[m++] = q;
        n = m;
    }
    Wide e = 0.0L;
    for (int i = 0; i < n; ++i)
        e += sums[i];
    return e;
}

// (ln(1 + p) - p + p^2 / 2) / p^3 for |p| < 1/8, by its series 1/3 - p/4 + p^2/5 - ...
Wide log1p_cubic(Wide p)
{
    Wide sum = 0.0L;
    Wide power = 1.0L;
    for (int k = 3; k < 30; ++k) {
        const Wide term = power / k;
        sum += term;
        if (std::fabs(term) <= 0x1p-66L * std::fabs(sum))
            break;
        power *= -p;
    }
    return sum;
}

// The tail below the mean, e = (a + b)(x - x0) <= 0, of two shapes from 2^30, with r = a + b,
// y0 = 1 - x0, s = sqrt(x0 y0), u = (x - x0) / s and -eta^2 / 2 = x0 ln(x / x0) + y0 ln((1 - x) / y0):
// I = erfc(-eta sqrt(r / 2)) / 2 - e^(theta(r) - theta(a) - theta(b)) e^(-r eta^2 / 2) / sqrt(2 pi r)
// (c0(eta) + c1(eta) / r + ...), theta Stirling's correction, c0 = 1 / u - 1 / eta and
// c1 = (c0'(eta) - c0'(0)) / eta. Where the tail is above half the smallest subnormal
// (r eta^2 / 2 <= 750), e / a and e / b are below 2^-9 and beta eta = eta (y0 - x0) / s below 2^-9:
// c1 to first order in eta leaves some (beta eta)^3 / min(a, b) relative, and c2 / r^2
// (beta eta) / min(a, b)^2, together below 2^-57. r eta^2 / 2 comes from the shape terms
// a lm(e / a) + b lm(-e / b) (lm(d) = ln(1 + d) - d), and c0 from
// g = eta^2 / u^2 - 1 = -2 (y0 p h(p) + x0 q h(q)), p = e / a, q = -e / b,
// h(p) = (ln(1 + p) - p + p^2 / 2) / p^3, which keep their digits as x nears the mean.
Wide two_large_lower_tail(double a, double b, Wide e)
{
    const Wide p = e / a;
    const Wide q = -e / b;
    if (p <= -0.125L || q >= 0.125L)  // r eta^2 / 2 beyond 2^30 / 80
        return 0.0L;
    const Wide half_r_eta2 = -(a * log1p_minus_wide(p) + b * log1p_minus_wide(q));
    if (half_r_eta2 > 750.0L)  // below half the smallest subnormal
        return 0.0L;
    const Wide r = static_cast<Wide>(a) + b;
    const Wide x0 = a / r;
    const Wide y0 = b / r;
    const Wide s = std::sqrt(x0 * y0);
    const Wide eta = -std::sqrt(2.0L * half_r_eta2 / r);
    const Wide u = e / (r * s);
    const Wide g_over_u = -2.0L / s * (y0 * y0 * log1p_cubic(p) - x0 * x0 * log1p_cubic(q));
    const Wide root = std::sqrt(1.0L + u * g_over_u);
    const Wide c0 = g_over_u / (root * (1.0L + root));
    // eta^2 = u^2 + m3 u^3 + ... + m6 u^6, m_k = -(2 / k) (x0 (s / x0)^k (-1)^(k+1) - y0 (s / y0)^k);
    // c0 = d0 + d1 eta + d2 eta^2 + d3 eta^3 + ..., so c1 = 2 d2 + 3 d3 eta + ...
    const Wide rx = s / x0;
    const Wide ry = s / y0;
    Wide m[7] = {};
    Wide px = rx * rx * x0;
    Wide py = ry * ry * y0;
    for (int k = 3; k <= 6; ++k) {
        px *= rx;
        py *= ry;
        m[k] = -2.0L / k * ((k % 2 == 1 ? px : -px) - py);
    }
    const Wide d2 = (m[3] * m[3] * m[3] - 2.0L * m[3] * m[4] + m[5]) / 2.0L;
    const Wide d3 = -(105.0L * m[3] * m[3] * m[3] * m[3] - 280.0L * m[3] * m[3] * m[4] + 160.0L * m[3] * m[5] +
                      80.0L * m[4] * m[4] - 64.0L * m[6]) /
                    128.0L;
    const Wide c1 = 2.0L * d2 + 3.0L * d3 * eta;
    const Wide theta = stirling(a + b) - stirling(a) - stirling(b);
    const Wide density = std::exp(theta - half_r_eta2 - LN_SQRT_2PI_WIDE - 0.5L * std::log(r));
    return 0.5L * std::erfc(std::sqrt(half_r_eta2)) - density * (c0 + c1 / r);
}

// I_x(a, b) and its complement for two shapes from 2^30: the tail on x's side of the mean, the
// other as 1 less it.
BetaTails two_large_shapes(double x, double x1, double a, double b)
{
    const Wide e = exact_mean_distance(a, b, x, x1);
    if (e <= 0.0L) {
        const Wide t = two_large_lower_tail(a, b, e);
        return {static_cast<double>(t), static_cast<double>(1.0L - t)};
    }
    const Wide t = two_large_lower_tail(b, a, -e);
    return {static_cast<double>(1.0L - t), static_cast<double>(t)};
}

// I_x(a, b) and its complement by the continued fraction of the tail below
// x (a + b + 2) < a + 1 (without a + b), where it converges fast, the other as -expm1 of the
// same logarithm, so that a tail near 1 keeps its complement to some 2^-50. In double-double
// (x from 1 - x as formed where x > 1/2): at an argument near 1 or close to the mean of large
// shapes its terms cancel to some 2^-40, and elsewhere its rounding would show as steps of a few
// ulps between neighbouring x. NaN when the fraction does not end.
BetaTails fraction_tails(double x, double x1, double a, double b, Wide lnx, int terms = FRACTION_TERMS)
{
    const ArgumentLogs logs{x, x1, lnx};
    Wide factor = 0.0L;
    bool have_factor = false;
    const auto tails = [&](bool lower, int terms) {
        const double p = lower ? a : b;
        const double q = lower ? b : a;
        const double y = lower ? x : x1;
        const double y1 = lower ? x1 : x;
        const Wide h = beta_fraction(p, q, y > 0.5 ? twice_sum(1.0, -y1) : Twice{y}, terms);
        if (h == 0.0L)
            return BetaTails{RCONST(6), RCONST(6)};
        if (!have_factor) {
            factor = log_beta_term(a, b, logs);
            have_factor = true;
        }
        // the other tail's factor differs by ln(a / b)
        const Wide l = std::log(h) + (lower ? factor : factor + std::log(static_cast<Wide>(a) / b));
        const BetaTails t = tails_of(l);
        return lower ? t : swapped(t);
    };
    const bool lower = x * (b + 1.0) < x1 * (a + 1.0);
    const BetaTails t = tails(lower, terms);
    // A tail above 1/2 leaves the other one some 2^-50 absolute: that one's own fraction, where
    // it ends soon (beside a small shape, between the switch and the mean); for an other tail
    // below 2^-10, whose digits that absolute error would take, within 2^12 terms.
    const double other_tail = lower ? t.upper : t.lower;
    if (other_tail < 0.5) {
        const BetaTails other = tails(!lower, other_tail < 0x1p-10 ? 4096 : 64);
        if (!ISNAN(other.lower))
            return other;
    }
    return t;
}

// ln B(a, b) to the wider precision beside a shape below 10: ln Gamma of that shape less
// ln(Gamma(a + b) / Gamma(b)), from b = 10 through Stirling's series as the gamma density's
// terms (DLBETA's terms cancel to some 2^-48 there). Both from 10: DLBETA.
Wide log_beta_wide(double a, double b)
{
    if (a > b)
        std::swap(a, b);
    if (a >= 10.0)
        return DLBETA(a, b);
    int sign = 0;
    if (b < 10.0)
        return lgammal_r(a, &sign) + lgammal_r(b, &sign) - lgammal_r(static_cast<Wide>(a) + b, &sign);
    const Wide r = static_cast<Wide>(a) / b;
    const Wide lm = log1p_minus_wide(r);
    return lgammal_r(a, &sign) -
           (a * std::log(static_cast<Wide>(b)) + (a - 0.5L) * (lm + r) + b * lm + stirling(a + b) - stirling(b));
}

// I_y(p, q) by the power series for the fraction of q and the finite sum over its whole part,
// with y1 = 1 - y formed directly; short_sums tells where both are short.
Wide beta_sums(double y, double y1, double p, double q)
{
    const Wide lny = y < 0.5 ? std::log(static_cast<Wide>(y)) : std::log1p(-static_cast<Wide>(y1));
    double ps = q - std::trunc(q);
    if (ps == 0.0)
        ps = 1.0;
    // In the wider type's range (to e^-11355) the series needs no floor: its value is kept down
    // to the subnormal doubles.
    const Wide xb = p * lny - log_beta_wide(ps, p) - std::log(static_cast<Wide>(p));
    Wide r = std::exp(xb);
    Wide term = r * p;
    if (ps != 1.0) {
        // Terms down to 2^-64 of the first; the count's maximum is formed in single
        // precision: at most 1100 for y <= 0.96.
        const float n = std::trunc(std::max(static_cast<float>(LN_WIDE_EPS / static_cast<double>(lny)), 4.0f));
        for (float i = 1.0f; i <= n; i += 1.0f) {
            const Wide di = i;
            term = term * (di - ps) * y / di;
            r = r + term / (p + di);
        }
    }
    if (q <= 1.0)
        return r;

    // Finite sum over the whole part of q (below 10): its terms, each at most 2^60 times the one
    // before, need no scaling in the wider type's range; where the first underflows there, none
    // reaches the doubles.
    const Wide lny1 = y < 0.5 ? std::log1p(-static_cast<Wide>(y)) : std::log(static_cast<Wide>(y1));
    const Wide xb_sum = p * lny + q * lny1 - log_beta_wide(p, q) - std::log(static_cast<Wide>(q));
    term = std::exp(xb_sum);
    const Wide c = 1.0L / (y < 0.5 ? 1.0L - y : static_cast<Wide>(y1));
    const Wide p1 = q * c / (static_cast<Wide>(p) + q - 1.0);
    Wide finsum = 0.0;
    double n = std::trunc(q);
    if (q == n)
        n = n - 1.0;
    for (double i = 1.0; i <= n; i += 1.0) {
        if (p1 <= 1.0L && term <= 0x1p-64L * finsum)
            break;
        term = (q - i + 1.0) * c * term / (static_cast<Wide>(p) + q - i);
        finsum = finsum + term;
    }
    return r + finsum;
}

// c(z + s) - c(z) for Stirling's correction c(z) = 1/12z - 1/360z^3 + 1/1260z^5 - 1/1680z^7 +
// 1/1188z^9 - 691/360360z^11 + 1/156z^13, as differences of powers, which keep their digits for a
// tiny s: w^n - v^n = (w - v) (w^(n-1) + w^(n-2) v + ... + v^(n-1)), with v = 1/z, w = 1/(z + s)
// and w - v = -s v w. From z = 16 the step keeps 2^-70 s: through z^-9 alone, 2^-53 s, which
// beside a tail of some s / 20 is 13 of its ulps.
Wide stirling_step(Wide z, Wide s)
{
    constexpr Wide COEFFICIENTS[] = {1.0L / 12.0L,    -1.0L / 360.0L,        1.0L / 1260.0L, -1.0L / 1680.0L,
                                     1.0L / 1188.0L, -691.0L / 360360.0L, 1.0L / 156.0L};
    const Wide v = 1.0L / z;
    const Wide w = 1.0L / (z + s);
    Wide sum = 0.0L;
    Wide powers = 1.0L; // w^(n-1) + ... + v^(n-1)
    Wide vn = v;
    for (int n = 1; n <= 13; ++n) {
        if (n % 2 == 1)
            sum += COEFFICIENTS[n / 2] * powers;
        powers = w * powers + vn;
        vn *= v;
    }
    return -s * v * w * sum;
}

// ln Gamma(a + s) - ln Gamma(a) to 2^-60 of the larger of it and s: up to z = a + k >= 16 by
// ln Gamma(z + s) - ln Gamma(z) = that at z + 1 less ln(1 + s / z), then Stirling's series, whose
// large terms (z - 1/2) ln z - z cancel in (z - 1/2) ln(1 + s / z) + s ln(z + s) - s.
Wide log_gamma_step(double a, double s)
{
    Wide z = a;
    Wide r = 0.0L;
    for (; z < 16.0L; z += 1.0L)
        r -= std::log1p(s / z);
    return r + (z - 0.5L) * std::log1p(s / z) + s * std::log(z + s) - s + stirling_step(z, s);
}

// Below a shape s of 2^-20 the tail near 1 beside it comes from ln Gamma terms of some
// ln(1 / s), whose rounding would be all that is left of its complement, of the size of s.
// Up to a quarter the same tail from the other routes is a few ulps off, and near 1 it takes the
// fraction of thousands of terms: DBETAI's argument near 0 or 1 takes the series below that.
constexpr double TINY_SHAPE = 0x1p-20;
constexpr double SMALL_SHAPE = 0.25;

// I_u(s, c) and its complement for a small s, u <= 1/2 and c u <= 2, from the series
// I = u^s / (s B(s, c)) (1 + s T), T = sum over n >= 1 of (1 - c)_n u^n / (n! (n + s)):
// ln I = s ln u - ln(s B(s, c)) + ln(1 + s T), with s B(s, c) = Gamma(1 + s) Gamma(c) /
// Gamma(c + s) from the steps of ln Gamma by s, so that ln I, of the size of s, keeps its digits
// and the complement is -expm1 of it. The terms of T, in ratios (n + 1 - c) u / (n + 1), end
// within some 70.
BetaTails tiny_shape_tails(double u, Wide lnu, double s, double c)
{
    Wide t = 1.0L;
    Wide sum = 0.0L;
    for (int n = 1; n < 400; ++n) {
        t *= (n - static_cast<Wide>(c)) * u / n;
        const Wide term = t / (n + static_cast<Wide>(s));
        sum += term;
        if (std::fabs(term) <= 0x1p-66L * std::fabs(sum) || t == 0.0L)
            break;
    }
    return tails_of(s * lnu - log_gamma_step(1.0, s) + log_gamma_step(c, s) + std::log1p(s * sum));
}

// The same at u = z / (z + b). Out of line: inside the large-shape route, its long doubles
// would push the sums' constants out of the x87 registers (some 2 % of their time).
[[gnu::noinline]] BetaTails tiny_shape_tails_at(double z, double s, double b)
{
    const Wide wz = z;
    return tiny_shape_tails(z / (z + b), std::log(wz) - std::log(wz + b), s, b);
}

}  // namespace

// Shapes for which beta_large_b holds: b from 2^15, a^2 <= 2^12 b, so that the terms of order
// a^2 / b it forms lose no more than 2^-41 to cancellation, and a <= 2^30, so that its sums
// of some 10 sqrt(a) terms stay short.
bool large_b(const double a, const double b) { return b >= 0x1p15 && a <= 0x1p30 && a * a <= 0x1p12 * b; }

// I_y(a, b) and its complement at y = z / (z + b), for shapes that large_b admits. Below the
// mean (z <= a) from the series I = R(a) sum (a + b)_n / (a + 1)_n y^n, whose ratios fall
// towards y; above it from the complement 1 - I = 1 - I_y(s, b) + sum of R(c), c = s ... a - 1,
// where s in (0, 1] is a's fraction. R(c) =
// y^c (1 - y)^b / (c B(c, b)) = I_y(c, b) - I_y(c + 1, b) is formed as the gamma density
// at z times terms of order c^2 / b, with Stirling's series for Gamma(b) and Gamma(c + b).
BetaTails beta_large_b(double a, double b, double z)
{
    constexpr double EPS = 0x1p-53;
    if (a < TINY_SHAPE && z <= 2.0) // the gamma limit's complement would keep none of its digits
        return tiny_shape_tails_at(z, a, b);
    if (b > 0x1p26 && a * a <= b * 0x1p-21)  // the gamma limit holds to the rounding
        return gamma_limit(a, z, b);
    // y >= 1/2 is a hundred standard deviations and more above the mean, a / (a + b) < 0.27: the
    // value is 1 (where the terms below would cancel).
    if (z >= b)
        return {1.0, 0.0};
    const auto log_r = [&](double c) {
        const Wide zb = static_cast<Wide>(z) / b;
        const Wide cb = static_cast<Wide>(c) / b;
        const Wide lz = log1p_minus_wide(zb);
        const Wide lc = log1p_minus_wide(cb);
        return log_gamma_term(c, z) - b * lz - c * (lz + zb) + b * lc + (c - 0.5L) * (lc + cb) -
               c / (12.0L * b * (static_cast<Wide>(c) + b));
    };
    if (z <= a) {
        const Wide y = z / (static_cast<Wide>(z) + b);
        Wide term = 1.0L;
        Wide sum = 1.0L;
        for (double n = 0.0;; n += 1.0) {
            const Wide r = (static_cast<Wide>(a) + b + n) * y / (a + 1.0L + n);
            term *= r;
            sum += term;
            if (term <= EPS * (1.0L - r) * sum) // the rest is below term r / (1 - r)
                break;
        }
        return tails_of(log_r(a) + std::log(sum));
    }
    double s = a - std::trunc(a);
    if (s == 0.0)
        s = 1.0;
    // 1 - I_y(s, b): (1 - y)^b for s = 1, where the gamma limit's terms in 1 / b^3 would leave
    // some 10 ulps; else the continued fraction, or the gamma limit where it holds within the
    // rounding of the tail that counts.
    const double y1 = b / (z + b);
    Wide sum = s == 1.0           ? std::exp(-b * std::log1p(static_cast<Wide>(z) / b))
               : z >= b * 0x1p-15 ? fraction_tails(z / (z + b), y1, s, b, RCONST(6)).upper
                                  : gamma_limit(s, z, b).upper;
    if (a > 1.0) {
        // R(c - 1) = R(c) c (z + b) / (z (c - 1 + b)): from the top the terms fall, ever faster.
        const Wide zb = static_cast<Wide>(z) + b;
        Wide term = std::exp(log_r(a - 1.0));
        for (double c = a - 1.0; c >= s && term > 0.0L; c -= 1.0) {
            sum += term;
            const Wide r = c / static_cast<Wide>(z) * (zb / (static_cast<Wide>(c) - 1.0 + b));
            term *= r;
            if (r < 1.0L && term <= EPS * (1.0L - r) * sum)
                break;
        }
    }
    sum = std::min(sum, 1.0L);
    return {static_cast<double>(1.0L - sum), static_cast<double>(sum)};
}

namespace {

// I_y(p, q) and its complement by the sums where they are short: the finite sum over q's whole
// part (q up to 2^7) and the power series in y (ln 2^-53 / ln y terms, y up to 0.96), or the
// first term of the series alone. NaN where they are not, and where the fraction's factor
// through Stirling's series is the more accurate (p ln y and ln B(p, q) would cancel).
BetaTails short_sums(double y, double y1, double p, double q)
{
    if ((p + q) * y / (p + 1.0) < 0x1p-53) { // RCONST(3)
        // x^p / (p B(p, q)), the first term of the series.
        const Wide xb = p * std::log(static_cast<Wide>(y)) - std::log(static_cast<Wide>(p)) - log_beta_wide(p, q);
        const Wide r = y != 0.0 ? std::exp(xb) : 0.0L;
        return {static_cast<double>(r), static_cast<double>(1.0L - r)};
    }
    if (q < 10.0 && y <= 0.96) {
        const Wide r = beta_sums(y, y1, p, q);
        return {static_cast<double>(r), static_cast<double>(1.0L - r)};
    }
    return {RCONST(6), RCONST(6)};
}

// Whether I_y(p, q), y below the mean, underflows, and still does with y moved towards the
// mean by 2^-50 of itself (y has rounded); below y(p + q) < p + 1 it is at most
// y^p (1 - y)^q / (p B(p, q)) / (1 - y (p + q) / (p + 1)), as the ratios of its series
// (p + q + n) y / (p + 1 + n) are at most the first for q >= 1. lny is ln y where y has
// underflowed, else NaN.
bool tail_underflows(double p, double q, double y, double y1, Wide lny = RCONST(6))
{
    constexpr double LN_SMALLEST = -745.2;  // below half the smallest subnormal
    constexpr double MOVE = 0x1p-50;
    const double y_moved = y + y * MOVE;
    const double y1_moved = y1 - y * MOVE;
    if (!(y1_moved > 0.0 && y_moved * q <= y1_moved * p))
        return false;
    const double w = 1.0 - y_moved * (p / (p + 1.0) + q / (p + 1.0));
    const ArgumentLogs logs{y_moved, y1_moved, lny + MOVE};
    return w > 0.0 && log_beta_term(p, q, logs) - std::log(w) < LN_SMALLEST;
}

// Shapes beyond 2^26, the smaller below 2^30: 0 or 1 where the tail on x's side of the mean
// underflows. Else, where the spread of x and of 1 - x is above 2^-40 of each (their rounding does
// not decide the value), the continued fraction, which up to there ends within 2^14 terms even at
// the mean. Else NaN.
BetaTails huge_shapes(double x, double x1, double a, double b)
{
    if (x * b <= x1 * a ? tail_underflows(a, b, x, x1) : tail_underflows(b, a, x1, x))
        return x * b <= x1 * a ? BetaTails{0.0, 1.0} : BetaTails{1.0, 0.0};
    // (spread / mean)^2 = b / (a (a + b + 1)), and a / (b (a + b + 1)) for 1 - x
    if (std::min(b / a, a / b) / (a + b) < 0x1p-80)
        return {RCONST(6), RCONST(6)};
    return fraction_tails(x, x1, a, b, RCONST(6), 0x4000);
}

}  // namespace

BetaTails incomplete_beta(const double X, const double X1, const double PIN, const double QIN, const long double LNX)
{
    // A subnormal X keeps few digits in the products formed from it: it goes by its logarithm.
    const Wide lnx = std::isnan(LNX) && X > 0.0 && X < SMALLEST_NORMAL ? std::log(static_cast<Wide>(X)) : LNX;
    BetaTails t{0.0, 1.0};
    if (X1 == 0.0) {
        t = {1.0, 0.0};
    } else if (X == 0.0 && std::isnan(lnx)) {
        t = {0.0, 1.0};
    } else if (QIN < SMALL_SHAPE && X1 <= 0.5 && X1 * PIN <= 2.0) {
        t = swapped(tiny_shape_tails(X1, std::log(static_cast<Wide>(X1)), QIN, PIN));
    } else if (PIN < SMALL_SHAPE && X <= 0.5 && X * QIN <= 2.0) {
        t = tiny_shape_tails(X, std::isnan(lnx) ? std::log(static_cast<Wide>(X)) : lnx, PIN, QIN);
    } else if (large_b(PIN, QIN) && (std::isnan(lnx) || lnx + std::log(static_cast<Wide>(QIN) / X1) > LN_SMALLEST_NORMAL)) {
        // z = QIN x / (1 - x), from ln x where x has underflowed, so long as z has not
        const double z =
            std::isnan(lnx) ? QIN * (X / X1) : static_cast<double>(std::exp(lnx + std::log(static_cast<Wide>(QIN) / X1)));
        t = beta_large_b(PIN, QIN, z);
    } else if (large_b(QIN, PIN)) {
        t = swapped(beta_large_b(QIN, PIN, PIN * (X1 / X)));
    } else if (std::min(PIN, QIN) >= TWO_LARGE_SHAPES) {
        t = two_large_shapes(X, X1, PIN, QIN);
    } else if (!std::isnan(lnx)) {
        const bool zero = std::max(PIN, QIN) > FINITE_SUM_TERMS && tail_underflows(PIN, QIN, X, X1, lnx);
        t = zero ? BetaTails{0.0, 1.0} : fraction_tails(X, X1, PIN, QIN, lnx);
    } else {
        // The sums of the tail on x's side of the median, or of the other one where the first is
        // above 1/2: each tail to its own relative accuracy. Where the first is not short, or
        // neither is below 1/2, the continued fraction.
        const auto sums = [&](bool lower) {
            return lower ? short_sums(X, X1, PIN, QIN) : swapped(short_sums(X1, X, QIN, PIN));
        };
        const auto small = [](const BetaTails& s, bool lower) { return (lower ? s.lower : s.upper) <= 0.5; };
        // Below the median, near (p - 1/3) / (p + q - 2/3) for shapes from 1, else the mean.
        const double third = std::min({PIN, QIN, 1.0}) / 3.0;
        const bool below = X * (QIN - third) <= X1 * (PIN - third);
        t = sums(below);
        if (!small(t, below)) {
            if (!ISNAN(t.lower))
                t = sums(!below);
            if (!small(t, !below))
                t = std::max(PIN, QIN) > FINITE_SUM_TERMS ? huge_shapes(X, X1, PIN, QIN)
                                                         : fraction_tails(X, X1, PIN, QIN, RCONST(6));
        }
    }
    if (ISNAN(t.lower)) {
        ERSETD(1, X);
        ERSETD(2, PIN);
        ERSETD(3, QIN);
        ERSETI(1, static_cast<int>(FINITE_SUM_TERMS));
        ERMES(5, 7, "The finite sum for X = %(D1), PIN = %(D2) and QIN = %(D3) does not end within %(I1) terms.");
        return t;
    }
    return {std::clamp(t.lower, 0.0, 1.0), std::clamp(t.upper, 0.0, 1.0)};
}

double DBETAI(const double& X, const double& PIN, const double& QIN)
{
    ERPUSH("DBETAI");
    double result = RCONST(6);
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
    if (ERTYPE(0) != 5) {
        result = incomplete_beta(X, 1.0 - X, PIN, QIN, RCONST(6)).lower;
    }
    ERPOP("DBETAI");
    return result;
}

namespace {

// P(|N| > z) for the standard normal N, the limit of Student's t as DF grows: erfc(z / sqrt 2),
// and beyond the reach of DERFC (its value there below the normal doubles) the asymptotic series
// of erfc, whose terms from v = 26 fall by 1 / 2v^2 a step, in the wider precision.
double normal_two_tailed(double z)
{
    const double v = z * std::sqrt(0.5);
    if (v < 26.0)
        return DERFC(v);
    const Wide v2 = static_cast<Wide>(v) * v;
    Wide term = 1.0L;
    Wide sum = 1.0L;
    for (int k = 1; k < 8; ++k) {
        term *= -(2.0L * k - 1.0L) / (2.0L * v2);
        sum += term;
    }
    constexpr Wide SQRT_PI = 1.772453850905516027298167483341145183L;
    return static_cast<double>(std::exp(-v2) / (v * SQRT_PI) * sum);
}

// P(|T_DF| < t) = I_y(1/2, DF/2) at y = t^2 / (DF + t^2) < 1/2 by its power series
// y^(1/2) (1 - y)^(DF/2) / (B(1/2, DF/2) / 2) sum of (DF/2 + 1/2)_n / (3/2)_n y^n, whose terms,
// all positive, rise to n near t^2 / 2 and then fall at least by half a step: t^2 below 8
// takes some 80 at most. Its rounding is some 2^-62 absolute.
Wide student_central(double y, double DF)
{
    const Wide wy = y;
    const Wide p = DF / 2.0;
    Wide term = 1.0L;
    Wide sum = 1.0L;
    for (Wide n = 0.0L; n < 1000.0L; n += 1.0L) {
        term *= (p + 0.5L + n) * wy / (1.5L + n);
        sum += term;
        if (term <= 0x1p-66L * sum)
            break;
    }
    // A table of p-values calls with one DF throughout: ln B(1/2, DF/2) is kept for the next call.
    thread_local double last_df = 0.0;
    thread_local Wide last_log_beta = 0.0L;
    if (DF != last_df) {
        last_log_beta = log_beta_wide(0.5, DF / 2.0);
        last_df = DF;
    }
    const Wide ln = 0.5L * std::log(wy) + p * std::log1p(-wy) + LN_2_WIDE - last_log_beta;
    return std::exp(ln) * sum;
}

// P(|T_DF| > t), t >= 0 finite: 1 less the central series where it leaves the rounding of a
// double, so long as the value is above 2^-5 (the series' rounding some 2^-61, an eighth of a
// unit of it, so that it rises with t across the switch); else
// I_x(DF / 2, 1 / 2) at x = DF / (DF + t^2), with x and 1 - x each formed directly; where
// DF + t^2 overflows, through DF / t beside t; ln x from the logarithms where x has underflowed.
double student_two_tailed(double t, double DF)
{
    const double tt = t * t;
    const double den = DF + tt;
    double x = 0.0, x1 = 0.0;
    Wide lnx = RCONST(6);
    if (!std::isinf(den)) {
        x = DF / den;
        x1 = tt / den;
        if (x < SMALLEST_NORMAL)
            lnx = std::log(static_cast<Wide>(DF)) - std::log(static_cast<Wide>(den));
    } else {  // t^2 from some 2^970 up: DF / t does not overflow
        const double s = DF / t;
        const double d = s + t;
        x = s / d;
        x1 = t / d;
        if (x < SMALLEST_NORMAL)
            lnx = std::log(static_cast<Wide>(DF)) - std::log(static_cast<Wide>(t)) - std::log(static_cast<Wide>(d));
    }
    if (x1 == 0.0)
        return 1.0;
    // P(|T_DF| > t) >= P(|N| > t) > 2^-5 for t^2 <= 4.6: the series holds there whatever DF.
    if (tt < DF && (tt <= 4.6 || DF <= 8.0)) {
        const Wide a = 1.0L - student_central(x1, DF);
        if (a >= 0x1p-5L)
            return static_cast<double>(a);
    }
    ERPUSH("DBETAI"); // a fraction that does not end is DBETAI's error
    const double a = incomplete_beta(x, x1, DF / 2.0, 0.5, lnx).lower;
    ERPOP("DBETAI");
    return a;
}

}  // namespace

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

    // A: the two-tailed probability P(|T_DF| > |T|). The finite sums are exact for a whole DF
    // below 20 inside t^2 < DF; everywhere else the incomplete beta function or its central
    // series, which hold for every DF to the far tails, where a normal approximation would not.
    const double tt = T * T;
    const double z = std::fabs(T);
    double a = 0.0;
    if (std::isinf(z)) {
        a = 0.0;
    } else if (std::isinf(DF)) {
        a = normal_two_tailed(z);
    } else if (DF <= tt || DF >= 20.0 || std::trunc(DF) != DF) {
        a = student_two_tailed(z, DF);
    } else {
        const double w = 1.0 + tt / DF;
        if (tt < 4.0) {
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
