// Integration over a plane cut (plane_cut.h): the fan triangles of the cut polygons, the test
// that leaves out a triangle only when it is degenerate relative to its own size, the area
// and first moment of the cut, integrals of point values over it, and the force and moment
// sums of a plate or solid cut about its centre. The force-sum method passes its element
// look-ups and force laws to the sums, since a cut knows no elements.
#pragma once
#include "planecut/cut_predicates.h"
#include "planecut/plane_cut.h"

#include <vtkCellArray.h>
#include <vtkType.h>

#include <functional>
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
constexpr double kDegenerateFactor = kRoundingFactor;
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

// A piece of a cut that counted towards its sums: its grid cell, its cut points and their
// output-unit coordinates, two for a segment (the third -1), three for a fan triangle.
struct CutPiece {
    vtkIdType nCell = -1;
    vtkIdType aIds[3] = {-1, -1, -1};
    double dPts[3][3] = {{0, 0, 0}, {0, 0, 0}, {0, 0, 0}};
};

// Force and moment sums over a cut about its centre. Points reach the force laws in output
// units; the centre stays in the grid's.
struct CutSums {
    bool bCentre = false; // the pieces weigh something: a centre, and sums about it
    double dCentre[3] = {0.0, 0.0, 0.0};
    double dSum[6] = {0.0, 0.0, 0.0, 0.0, 0.0, 0.0};
};

// Told of each piece that counted, in list order.
using CountedFn = std::function<void(const CutPiece& piece)>;

// The output-unit length of a length in the grid's units.
using LengthOutFn = std::function<double(double)>;

// The force laws: add to dSum the force and moment about dCentre, in the plane's axes
// dPlaneAxis (row 0 the cut's normal, handed in dNormal too), of a segment with the forces and
// moments at its ends in its element's axes, or of a triangle with the stresses at its points.
using SegmentLaw = int (*)(double dCentre[3], double dPts[2][3], double dNormal[3], double dForce[2][6],
                           double dMoment[2][6], double dSum[6], double dElemAxis[3][3], double dPlaneAxis[3][3]);
using TriangleLaw = int (*)(double dCentre[3], double dPts[3][3], double dNormal[3], double dStress[3][6],
                            double dSum[6], double dPlaneAxis[3][3]);

// What a plate cut asks of its caller. Its point scalars hold six forces, then six moments.
struct PlateCutRules {
    LengthOutFn lengthOut;
    // The thickness of the grid cell's plate; false: its segments weigh nothing in the centre.
    std::function<bool(vtkIdType nCell, double& dThickness)> thickness;
    // The grid cell's element axes; false: its segments count towards no sum.
    std::function<bool(vtkIdType nCell, double dElemAxis[3][3])> elementAxes;
    SegmentLaw law = nullptr;
    CountedFn counted; // optional
    double dPlaneAxis[3][3] = {{0, 0, 0}, {0, 0, 0}, {0, 0, 0}};
};

// The plate cut's segments: the centre weighs each midpoint by thickness x output-unit length;
// the sums take the two-point segments, and sums below 1e-15 are written as 0.
CutSums IntegratePlateCut(const PlaneCut& cut, const PlateCutRules& rules);

// What a solid cut asks of its caller. Its point scalars hold six stresses.
struct SolidCutRules {
    LengthOutFn lengthOut;
    // Whether the polygons of a grid cell count; when empty, every one does.
    std::function<bool(vtkIdType nCell)> cellCounts;
    TriangleLaw law = nullptr;
    CountedFn counted; // optional
    double dPlaneAxis[3][3] = {{0, 0, 0}, {0, 0, 0}, {0, 0, 0}};
};

// The solid cut's fan triangles, each counting unless degenerate in output units: the centre is
// their area centroid, the sums theirs (of the cells that count).
CutSums IntegrateSolidCut(const PlaneCut& cut, const SolidCutRules& rules);

} // namespace kvpvs::planecut
