// Student's t distribution in 50 digits (Boost.Math) as the reference the numerical library's
// t values and t-test p-values are held to.
#pragma once

#include <boost/math/distributions/students_t.hpp>
#include <boost/multiprecision/cpp_bin_float.hpp>
#include <gtest/gtest.h>

#include <algorithm>
#include <cfloat>
#include <cmath>

namespace kvpvs::test {

// The lower tail P(T_df <= t) within max(1e-10, 8 cond eps) relative, cond = |t pdf(t) / cdf(t)|
// (the rounding of t alone moves it that far); below DBL_MIN, the subnormal it rounds to.
inline ::testing::AssertionResult t_within_bound(double value, double t, double df)
{
    using Big = boost::multiprecision::cpp_bin_float_50;
    const boost::math::students_t_distribution<Big> dist{Big(df)};
    const Big cdf = boost::math::cdf(dist, Big(t));
    const double ref = static_cast<double>(cdf);
    if (ref < DBL_MIN)
        return std::fabs(value - ref) <= 0x1p-1074 ? ::testing::AssertionSuccess()
                                                   : ::testing::AssertionFailure() << value << " against " << ref;
    const double cond = static_cast<double>(abs(Big(t) * boost::math::pdf(dist, Big(t)) / cdf));
    const double error = std::fabs(value - ref) / ref;
    if (error <= std::max(1e-10, 8.0 * cond * DBL_EPSILON))
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << value << " against " << ref << ", relative " << error << ", cond " << cond;
}

// A two-sided p-value of t: twice the lower tail at -|t|, to the same bound (halving is exact).
inline ::testing::AssertionResult two_sided_within_bound(double p, double t, double df)
{
    return t_within_bound(p / 2.0, -std::fabs(t), df);
}

}  // namespace kvpvs::test
