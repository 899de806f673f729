// VTK filters that write single-precision points (the stream tracer, the banded contour) are run
// about a centre near the data and their output moved back in double: at projected coordinates
// (northings near 5e6) a float steps by half a metre.
#pragma once

#include <vtkDataSet.h>
#include <vtkPoints.h>
#include <vtkPolyData.h>
#include <vtkSmartPointer.h>

namespace kvpvs::visualmethods {

// The points moved by d, in double precision.
inline vtkSmartPointer<vtkPoints> MovedPoints(vtkPoints* pSrc, const double d[3])
{
    auto pPoints = vtkSmartPointer<vtkPoints>::New();
    pPoints->SetDataTypeToDouble();
    pPoints->SetNumberOfPoints(pSrc->GetNumberOfPoints());
    for (vtkIdType i = 0; i < pSrc->GetNumberOfPoints(); ++i) {
        double x[3];
        pSrc->GetPoint(i, x);
        pPoints->SetPoint(i, x[0] + d[0], x[1] + d[1], x[2] + d[2]);
    }
    return pPoints;
}

// The data set about c: cells and point arrays shared, only the points moved by -c.
template <class TSet>
vtkSmartPointer<TSet> AboutCentre(TSet* pSet, const double c[3])
{
    auto pShifted = vtkSmartPointer<TSet>::New();
    pShifted->ShallowCopy(pSet);
    const double d[3] = {-c[0], -c[1], -c[2]};
    if (pSet->GetPoints())
        pShifted->SetPoints(MovedPoints(pSet->GetPoints(), d));
    return pShifted;
}

// The centre of a data set's bounding box.
inline void BoxCentre(vtkDataSet* pSet, double c[3])
{
    double b[6];
    pSet->GetBounds(b);
    for (int k = 0; k < 3; ++k)
        c[k] = 0.5 * (b[2 * k] + b[2 * k + 1]);
}

// Copies poly data made about the centre c into the data set, its points moved back by +c.
inline void CopyMovedBack(vtkDataSet* pDst, vtkPolyData* pSrc, const double c[3])
{
    pDst->DeepCopy(pSrc);
    if (auto* pPoly = vtkPolyData::SafeDownCast(pDst); pPoly && pSrc->GetPoints())
        pPoly->SetPoints(MovedPoints(pSrc->GetPoints(), c));
}

} // namespace kvpvs::visualmethods
