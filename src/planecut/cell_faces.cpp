#include "planecut/cell_faces.h"

#include "planecut/cut_predicates.h"

#include <algorithm>

namespace kvpvs::planecut {

vtkIdType CellFaces::EdgeNode(const T_CELL_SHAPE& shape, const std::uint32_t* pPts, int ja, int jb) const
{
    if (!shape.bQuadratic)
        return m_index.EdgeNode(pPts[ja], pPts[jb]);
    for (int e = 0; e < shape.nEdge; ++e) {
        const int* pe = shape.pEdge[e];
        if ((pe[0] == ja && pe[1] == jb) || (pe[0] == jb && pe[1] == ja))
            return pPts[shape.nCorner + e];
    }
    return -1;
}

int CellFaces::Loop(const T_CELL_SHAPE& shape, const std::uint32_t* pPts, const int* pCorner, int n,
                    vtkIdType* pLoop) const
{
    int m = 0;
    for (int j = 0; j < n; ++j) {
        pLoop[m++] = pPts[pCorner[j]];
        const vtkIdType nMid = EdgeNode(shape, pPts, pCorner[j], pCorner[(j + 1) % n]);
        if (nMid >= 0)
            pLoop[m++] = nMid;
    }
    return m;
}

void CellFaces::Pieces(const T_CELL_SHAPE& shape, const std::uint32_t* pPts, const int* pCorner, int n,
                       std::vector<FacePiece>& aOut)
{
    vtkIdType l[8];
    const int m = Loop(shape, pPts, pCorner, n, l);
    if (m == n) {
        FacePiece f{n, {l[0], l[1], l[2], n == 4 ? l[3] : -1}};
        if (n == 3 || Coplanar(m_points.Xyz(l[0]), m_points.Xyz(l[1]), m_points.Xyz(l[2]), m_points.Xyz(l[3]))) {
            aOut.push_back(f);
        } else {
            aOut.emplace_back();
            aOut.emplace_back();
            SplitQuad(f, aOut[aOut.size() - 2], aOut.back());
        }
        return;
    }
    vtkIdType aCorner[4];
    for (int j = 0; j < n; ++j)
        aCorner[j] = pPts[pCorner[j]];
    const vtkIdType p = m_points.FacePoint(FaceKey::Of(aCorner, n), l, m);
    for (int j = 0; j < m; ++j)
        aOut.push_back({3, {p, l[j], l[(j + 1) % m], -1}});
}

void SplitQuad(const FacePiece& q, FacePiece& t0, FacePiece& t1)
{
    const auto& l = q.aId;
    const size_t r = static_cast<size_t>(std::min_element(l.begin(), l.end()) - l.begin());
    t0 = {3, {l[r], l[(r + 1) % 4], l[(r + 2) % 4], -1}};
    t1 = {3, {l[r], l[(r + 2) % 4], l[(r + 3) % 4], -1}};
}

} // namespace kvpvs::planecut
