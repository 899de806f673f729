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
        const FacePiece f{n, {l[0], l[1], l[2], n == 4 ? l[3] : -1}};
        const int r = n == 4 ? SplitAt(f) : -1;
        if (r < 0) {
            aOut.push_back(f);
        } else {
            aOut.emplace_back();
            aOut.emplace_back();
            SplitQuad(f, aOut[aOut.size() - 2], aOut.back(), r);
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

int CellFaces::MeshDiagonal(const FacePiece& q) const
{
    const auto id = [&](int j) { return static_cast<std::uint32_t>(q.aId[static_cast<size_t>(j)]); };
    for (int r = 0; m_index.HasTriangleEdges() && r < 2; ++r)
        if (m_index.IsTriangleEdge(id(r), id(r + 2)))
            return r;
    return -1;
}

int CellFaces::SplitAt(const FacePiece& q) const
{
    const int r = MeshDiagonal(q);
    if (r >= 0)
        return r;
    const auto& l = q.aId;
    if (Coplanar(m_points.Xyz(l[0]), m_points.Xyz(l[1]), m_points.Xyz(l[2]), m_points.Xyz(l[3])))
        return -1;
    return static_cast<int>(std::min_element(l.begin(), l.end()) - l.begin());
}

void SplitQuad(const FacePiece& q, FacePiece& t0, FacePiece& t1, int nAt)
{
    const auto& l = q.aId;
    const size_t r =
        nAt >= 0 ? static_cast<size_t>(nAt) : static_cast<size_t>(std::min_element(l.begin(), l.end()) - l.begin());
    t0 = {3, {l[r], l[(r + 1) % 4], l[(r + 2) % 4], -1}};
    t1 = {3, {l[r], l[(r + 2) % 4], l[(r + 3) % 4], -1}};
}

void ToTriangles(const std::vector<FacePiece>& aPiece, std::vector<FacePiece>& aTri)
{
    aTri.clear();
    for (const FacePiece& p : aPiece) {
        aTri.emplace_back(p);
        if (p.n == 4) {
            aTri.emplace_back();
            SplitQuad(p, aTri[aTri.size() - 2], aTri.back());
        }
    }
}

} // namespace kvpvs::planecut
