// Exact reference for plane cuts of axis-aligned boxes, independent of the module's cutter:
// the cut polygon by clipping a large square of the plane against the box's six half-spaces
// (Sutherland-Hodgman), its area and first and second moments by the polygon formulas, and
// the force and moment of a stress field linear in the coordinates from their closed forms.
#pragma once
#include <array>
#include <vector>

namespace kvpvs::test {

using Vec3 = std::array<double, 3>;

// Stress (xx, yy, zz, xy, yz, zx) = s0 + x * dx + y * dy + z * dz.
struct LinearStress {
    std::array<double, 6> s0{};
    std::array<double, 6> d[3]{};
    std::array<double, 6> At(double x, double y, double z) const;
};

// Integrals over a plane polygon: area, first moment (integral of x) and second moments
// (integral of x_i x_j).
struct PolygonMoments {
    double dArea = 0.0;
    Vec3 first{0, 0, 0};
    double second[3][3] = {{0, 0, 0}, {0, 0, 0}, {0, 0, 0}};
    void Add(const PolygonMoments& o);
    Vec3 Centre() const { return {first[0] / dArea, first[1] / dArea, first[2] / dArea}; }
};

// The polygon where the plane n . (x - o) = 0 meets the box lo..hi (points in turn); empty
// when it misses. A plane on a face gives the face.
std::vector<Vec3> ClipBoxByPlane(const Vec3& lo, const Vec3& hi, const Vec3& o, const Vec3& n);
PolygonMoments MomentsOf(const std::vector<Vec3>& poly);

// Force and moment (about ref) of the traction S(x) n over a polygon with these moments, in
// global axes: F = integral S n, M = integral (x - ref) x S n.
void ForceAndMoment(const PolygonMoments& m, const LinearStress& s, const Vec3& n, const Vec3& ref, Vec3& F,
                    Vec3& M);

} // namespace kvpvs::test
