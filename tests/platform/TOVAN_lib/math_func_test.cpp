// The stand-in's angle between two vectors against its closed form, where a cosine cannot
// resolve it: near 0, 90 and 180 degrees.
#include <gtest/gtest.h>

#include "MathFunc.h"

#include <cmath>

namespace {

constexpr double kDeg = 180.0 / 3.14159265358979323846;

TEST(CrossAngle, IsExactToRoundingNearZeroRightAndStraightAngles)
{
    const double x[3] = {1, 0, 0};
    for (double e : {1e-3, 1e-8, 1e-12, 1e-15}) {
        // (1, e) is atan(e) = e - e^3 / 3 + ... off the x axis; (-e, 1) 90 degrees more.
        const double a = (e - e * e * e / 3.0) * kDeg;
        const double near0[3] = {1, e, 0}, near90[3] = {-e, 1, 0}, near180[3] = {-1, e, 0};
        EXPECT_NEAR(CMathFunc::mathCrossAngle(x, near0), a, 1e-12 * a) << e;
        EXPECT_NEAR(CMathFunc::mathCrossAngle(x, near90), 90.0 + a, 1e-13) << e;
        EXPECT_NEAR(CMathFunc::mathCrossAngle(x, near180), 180.0 - a, 1e-12) << e;
    }
    // A side step of a wall section and the same step again, or three times it: collinear.
    const double u[3] = {0.5712890625, 0.860595703125, 0}, u3[3] = {3 * u[0], 3 * u[1], 0};
    EXPECT_EQ(CMathFunc::mathCrossAngle(u, u), 0.0);
    EXPECT_EQ(CMathFunc::mathCrossAngle(u, u3), 0.0);
    const double p[3] = {3, 4, 0}, q[3] = {-4, 3, 0}, zero[3] = {0, 0, 0};
    EXPECT_EQ(CMathFunc::mathCrossAngle(p, q), 90.0);
    EXPECT_EQ(CMathFunc::mathCrossAngle(p, zero), 0.0);
}

} // namespace
