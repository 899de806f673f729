// Stand-in for the host's geometry routines on three-component vectors. Choices: a vector
// shorter than 1e-30 is left unchanged by mathNormalize (which returns 0 then), and
// mathCrossAngle gives 0 when either vector has zero length; mathNormal is not normalised;
// mathRotate takes its angle in degrees, counter-clockwise about the axis (right-hand rule).
#pragma once

class CMathFunc {
public:
    static void mathCross(const double a[3], const double b[3], double c[3]);
    // Normalises v in place; returns its length before normalisation.
    static double mathNormalize(double v[3]);
    // Distance of two points.
    static double mathLength(const double p0[3], const double p1[3]);
    // Area of the triangle p0 p1 p2.
    static double mathArea(const double p0[3], const double p1[3], const double p2[3]);
    // Angle between two vectors in degrees, 0 to 180, exact to rounding near 0 and 90.
    static double mathCrossAngle(const double a[3], const double b[3]);
    // Cosine of an angle given in degrees.
    static double mathCos(double dDeg);
    // A vector normal to two vectors: a x b.
    static void mathNormal(const double a[3], const double b[3], double n[3]);
    // The normal of the plane through three points: (p1 - p0) x (p2 - p0).
    static void mathNormal(const double p0[3], const double p1[3], const double p2[3], double n[3]);
    // v rotated about the unit axis by the angle (degrees), into r (may be v).
    static void mathRotate(const double v[3], const double axis[3], double dDeg, double r[3]);
    // Normalises v in place: 1, or 0 (v unchanged) when it is shorter than 1e-30.
    static int Normalize(double v[3]);
};
