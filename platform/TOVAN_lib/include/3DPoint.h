// Stand-in for the host's point/vector of three doubles.
#pragma once

class C3DPoint {
public:
    C3DPoint() = default;
    C3DPoint(double x, double y, double z) : x(x), y(y), z(z) {}
    double x = 0.0, y = 0.0, z = 0.0;
    double& operator[](int i) { return i == 0 ? x : (i == 1 ? y : z); }
    double operator[](int i) const { return i == 0 ? x : (i == 1 ? y : z); }
};
