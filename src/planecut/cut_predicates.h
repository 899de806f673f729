// The cut's decisions, each made one way. Where cells must agree (the side of a point, whether a
// face is flat) it is exact: a plane value below 0 is below, anything else above, with no third
// state; coplanarity by an exact determinant. Where it is one cell's alone (a fan covering its
// polygon, a triangle of nothing but rounding), one allowance: kRoundingFactor epsilons of the
// size of the terms compared.
#pragma once
#include <limits>

namespace kvpvs::planecut {

constexpr double kRoundingFactor = 16.0;
constexpr double kRounding = kRoundingFactor * std::numeric_limits<double>::epsilon();

// The side of a point of plane value s: on the plane counts as above, the normal's side.
inline bool Above(double s) { return !(s < 0.0); }

// Whether four points lie in one plane, decided exactly.
bool Coplanar(const double* a, const double* b, const double* c, const double* d);

// A number that grows with the angle of (x, y) from the x axis, in [0, 4): the order of atan2
// without its cost.
double Turn(double x, double y);

// Whether b - a then c - o (in-plane coordinates) turn dSign's way (> 0: about the normal), up
// to the rounding allowance.
bool Turns(const double* a, const double* b, const double* c, const double* o, double dSign);

// In-plane axes u, v with u x v = n, and a point's coordinates along them from pRef: polygon
// points are put in turn about n by these.
struct PlaneAxes {
    double u[3], v[3];
    explicit PlaneAxes(const double n[3]);
    void Uv(double uv[2], const double* x, const double* pRef) const
    {
        const double d[3] = {x[0] - pRef[0], x[1] - pRef[1], x[2] - pRef[2]};
        uv[0] = d[0] * u[0] + d[1] * u[1] + d[2] * u[2];
        uv[1] = d[0] * v[0] + d[1] * v[1] + d[2] * v[2];
    }
};

} // namespace kvpvs::planecut
