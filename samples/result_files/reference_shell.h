// A reference flat-shell stiffness for the element matrices that the writers store in PLAT
// records: 3- or 4-node flat element, plane-stress membrane (constant-strain triangle, bilinear
// quadrilateral) and shear-deformable bending (linear triangle, bilinear quadrilateral with a
// one-point shear rule), no drilling stiffness. Written apart from the module's element library
// so that tests, benchmarks and the sample have a matrix of their own.
#pragma once

#include <array>
#include <vector>

namespace kvpvs::resultfiles {

using Point3 = std::array<double, 3>;
// Row r: local axis r in global components, row 3 the normal.
using Axes3 = std::array<Point3, 3>;

struct ShellSection {
    double E = 0.0;
    double nu = 0.0;
    double membrane_thickness = 0.0;
    double bending_thickness = 0.0;
};

// Stiffness (6n x 6n, column-major, n = corners.size() = 3 or 4) between the six freedoms of
// each corner (three translations, three rotations) in element axes.
std::vector<double> shell_stiffness_local(const std::vector<Point3>& corners, const Axes3& T, const ShellSection& s);

// The same in global axes: each 3 x 3 block turned to T^T K T.
std::vector<double> shell_stiffness_global(const std::vector<Point3>& corners, const Axes3& T, const ShellSection& s);

// Axes of a flat element: axis 1 along corner 2 - corner 1, the normal along (c2 - c1) x
// (c3 - c1) (quadrilaterals: the diagonals' product), axis 2 completing the right-handed set.
Axes3 flat_element_axes(const std::vector<Point3>& corners);

} // namespace kvpvs::resultfiles
