#include "planecut/cut_integration.h"

#include <vtkDataArray.h>
#include <vtkPoints.h>
#include <vtkPolyData.h>

#include <algorithm>
#include <cmath>
#include <limits>

namespace kvpvs::planecut {

namespace {

void Cross(const double p0[3], const double p1[3], const double p2[3], double w[3])
{
    const double a[3] = {p1[0] - p0[0], p1[1] - p0[1], p1[2] - p0[2]};
    const double b[3] = {p2[0] - p0[0], p2[1] - p0[1], p2[2] - p0[2]};
    w[0] = a[1] * b[2] - a[2] * b[1];
    w[1] = a[2] * b[0] - a[0] * b[2];
    w[2] = a[0] * b[1] - a[1] * b[0];
}

double Dist2(const double a[3], const double b[3])
{
    const double x = a[0] - b[0], y = a[1] - b[1], z = a[2] - b[2];
    return x * x + y * y + z * z;
}

} // namespace

double TwiceTriangleArea(const double p0[3], const double p1[3], const double p2[3])
{
    double w[3];
    Cross(p0, p1, p2, w);
    return std::sqrt(w[0] * w[0] + w[1] * w[1] + w[2] * w[2]);
}

bool IsDegenerateTriangle(const double p0[3], const double p1[3], const double p2[3])
{
    const double dLongest2 = std::max({Dist2(p0, p1), Dist2(p1, p2), Dist2(p2, p0)});
    const double dTol = kDegenerateFactor * std::numeric_limits<double>::epsilon() * dLongest2;
    // Written so that a NaN or infinite triangle is degenerate too.
    return !(TwiceTriangleArea(p0, p1, p2) > dTol && std::isfinite(dLongest2));
}

void CutArea::Add(const double p0[3], const double p1[3], const double p2[3])
{
    const double A = TwiceTriangleArea(p0, p1, p2) / 2.0;
    dArea += A;
    for (int d = 0; d < 3; ++d)
        dFirst[d] += A * (p0[d] + p1[d] + p2[d]) / 3.0;
}

bool CutArea::Centre(double c[3]) const
{
    if (!(dArea > 0.0) || !std::isfinite(dArea))
        return false;
    for (int d = 0; d < 3; ++d)
        c[d] = dFirst[d] / dArea;
    return true;
}

CutArea AreaOfCut(vtkPolyData* pCut)
{
    CutArea area;
    if (!pCut || !pCut->GetPoints())
        return area;
    vtkPoints* pPts = pCut->GetPoints();
    ForEachFanTriangle(pCut->GetPolys(), [&](vtkIdType, const vtkIdType ids[3]) {
        double p[3][3];
        for (int e = 0; e < 3; ++e)
            pPts->GetPoint(ids[e], p[e]);
        if (!IsDegenerateTriangle(p[0], p[1], p[2]))
            area.Add(p[0], p[1], p[2]);
    });
    return area;
}

bool IntegratePointArray(vtkPolyData* pCut, vtkDataArray* pValues, std::vector<double>& aIntegral)
{
    aIntegral.clear();
    if (!pCut || !pCut->GetPoints() || !pValues || pValues->GetNumberOfTuples() != pCut->GetNumberOfPoints())
        return false;
    const int nComp = pValues->GetNumberOfComponents();
    aIntegral.assign(static_cast<size_t>(nComp), 0.0);
    vtkPoints* pPts = pCut->GetPoints();
    ForEachFanTriangle(pCut->GetPolys(), [&](vtkIdType, const vtkIdType ids[3]) {
        double p[3][3];
        for (int e = 0; e < 3; ++e)
            pPts->GetPoint(ids[e], p[e]);
        if (IsDegenerateTriangle(p[0], p[1], p[2]))
            return;
        const double A = TwiceTriangleArea(p[0], p[1], p[2]) / 2.0;
        for (int k = 0; k < nComp; ++k)
            aIntegral[static_cast<size_t>(k)] += A / 3.0 *
                (pValues->GetComponent(ids[0], k) + pValues->GetComponent(ids[1], k) + pValues->GetComponent(ids[2], k));
    });
    return true;
}

} // namespace kvpvs::planecut
