// Integration over a plane cut (plane_cut.h): the fan triangles of the cut polygons, the test
// that leaves out a triangle only when it is degenerate relative to its own size, the area
// and first moment of the cut, and integrals of point values over it. The force-sum method
// decides with these which triangles count towards its centre, sums and broadcast cells.
#pragma once
#include <vtkCellArray.h>
#include <vtkType.h>

#include <vector>

class vtkDataArray;
class vtkPolyData;

namespace kvpvs::planecut {

// Twice a triangle's area, |(p1 - p0) x (p2 - p0)|: the cross product keeps thin triangles
// accurate, where Heron's formula cancels.
double TwiceTriangleArea(const double p0[3], const double p1[3], const double p2[3]);

// Degenerate: twice the area at most kDegenerateFactor machine epsilons times the square of
// the longest edge, i.e. within rounding of a segment or a point, or not finite. Unlike an
// absolute cutoff it does not depend on the length unit; unlike an angle rule it keeps thin
// triangles, whose force is real.
constexpr double kDegenerateFactor = 16.0;
bool IsDegenerateTriangle(const double p0[3], const double p1[3], const double p2[3]);

// The fan triangles (p0, p(k+1), p(k+2)) of every polygon in list order: visit(polygon, ids).
template <class F>
void ForEachFanTriangle(vtkCellArray* pPolys, F&& visit)
{
    if (!pPolys)
        return;
    vtkIdType n = 0;
    const vtkIdType* pIds = nullptr;
    vtkIdType nPoly = 0;
    for (pPolys->InitTraversal(); pPolys->GetNextCell(n, pIds); ++nPoly)
        for (vtkIdType k = 0; k + 2 < n; ++k) {
            const vtkIdType ids[3] = {pIds[0], pIds[k + 1], pIds[k + 2]};
            visit(nPoly, ids);
        }
}

// Area and first moment (area x centroid, summed) of triangles.
struct CutArea {
    double dArea = 0.0;
    double dFirst[3] = {0.0, 0.0, 0.0};
    // Adds a triangle: A = |cross| / 2, first moment A (p0 + p1 + p2) / 3.
    void Add(const double p0[3], const double p1[3], const double p2[3]);
    // The centre, first moment / area; false (centre untouched) without a finite positive area.
    bool Centre(double c[3]) const;
};

// Area and first moment of the cut's non-degenerate fan triangles.
CutArea AreaOfCut(vtkPolyData* pCut);

// Integral over the cut's non-degenerate fan triangles of every component of a point array,
// values linear on each triangle: (A / 3) (v0 + v1 + v2), exact for fields linear over the cut.
// The flow display integrates velocity this way. aIntegral gets one value per component; false
// when the array does not belong to the cut's points.
bool IntegratePointArray(vtkPolyData* pCut, vtkDataArray* pValues, std::vector<double>& aIntegral);

} // namespace kvpvs::planecut
