#include "planecut/cut_pieces.h"

#include <algorithm>

namespace kvpvs::planecut {

void CutPieces::AddSegment(vtkIdType a, vtkIdType b, vtkIdType nCell)
{
    if (a == b)
        return;
    aLineConn.push_back(a);
    aLineConn.push_back(b);
    aLineCell.push_back(nCell);
}

void CutPieces::EndPolygon(vtkIdType nCell)
{
    aPolyOffset.push_back(static_cast<vtkIdType>(aPolyConn.size()));
    aPolyCell.push_back(nCell);
}

void CutPieces::AddRing(const std::vector<T_RING>& aRing, bool bReverse, vtkIdType nCell)
{
    aPolyConn.push_back(aRing[0].nId);
    if (bReverse)
        for (size_t k = aRing.size() - 1; k > 0; --k)
            aPolyConn.push_back(aRing[k].nId);
    else
        for (size_t k = 1; k < aRing.size(); ++k)
            aPolyConn.push_back(aRing[k].nId);
    EndPolygon(nCell);
}

void RingAboutMean(const CutPoints& points, const PlaneAxes& axes, const std::vector<vtkIdType>& aIds,
                   std::vector<T_RING>& aRing)
{
    const double m = static_cast<double>(aIds.size());
    double cm[3] = {0, 0, 0};
    for (vtkIdType nId : aIds)
        for (int k = 0; k < 3; ++k)
            cm[k] += points.Out(nId)[k] / m;
    aRing.clear();
    for (vtkIdType nId : aIds) {
        double uv[2];
        axes.Uv(uv, points.Out(nId), cm);
        aRing.push_back({Turn(uv[0], uv[1]), nId, {uv[0], uv[1]}});
    }
    std::sort(aRing.begin(), aRing.end());
}

} // namespace kvpvs::planecut
