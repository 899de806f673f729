#include "planecut/cell_faces.h"

#include "planecut/cut_predicates.h"

#include <vtkCellType.h>

#include <algorithm>

namespace kvpvs::planecut {

namespace {

constexpr int kTetraEdges[][2] = {{0, 1}, {1, 2}, {2, 0}, {0, 3}, {1, 3}, {2, 3}};
constexpr int kHexEdges[][2] = {{0, 1}, {1, 2}, {3, 2}, {0, 3}, {4, 5}, {5, 6},
                                {7, 6}, {4, 7}, {0, 4}, {1, 5}, {3, 7}, {2, 6}};
constexpr int kQuadraticHexEdges[][2] = {{0, 1}, {1, 2}, {2, 3}, {3, 0}, {4, 5}, {5, 6},
                                         {6, 7}, {7, 4}, {0, 4}, {1, 5}, {2, 6}, {3, 7}};
constexpr int kVoxelEdges[][2] = {{0, 1}, {1, 3}, {2, 3}, {0, 2}, {4, 5}, {5, 7},
                                  {6, 7}, {4, 6}, {0, 4}, {1, 5}, {2, 6}, {3, 7}};
constexpr int kWedgeEdges[][2] = {{0, 1}, {1, 2}, {2, 0}, {3, 4}, {4, 5}, {5, 3}, {0, 3}, {1, 4}, {2, 5}};
constexpr int kPyramidEdges[][2] = {{0, 1}, {1, 2}, {2, 3}, {3, 0}, {0, 4}, {1, 4}, {2, 4}, {3, 4}};
// Two-dimensional cells: their edges run round the cell.
constexpr int kTriangleEdges[][2] = {{0, 1}, {1, 2}, {2, 0}};
constexpr int kQuadEdges[][2] = {{0, 1}, {1, 2}, {2, 3}, {3, 0}};
constexpr int kPixelEdges[][2] = {{0, 1}, {1, 3}, {3, 2}, {2, 0}};

} // namespace

T_CELL_SHAPE ShapeOf(int nType)
{
    switch (nType) {
    case VTK_TETRA: return {3, 4, 6, kTetraEdges, VTK_TETRA, false};
    case VTK_HEXAHEDRON: return {3, 8, 12, kHexEdges, VTK_HEXAHEDRON, false};
    case VTK_VOXEL: return {3, 8, 12, kVoxelEdges, VTK_VOXEL, false};
    case VTK_WEDGE: return {3, 6, 9, kWedgeEdges, VTK_WEDGE, false};
    case VTK_PYRAMID: return {3, 5, 8, kPyramidEdges, VTK_PYRAMID, false};
    case VTK_TRIANGLE: return {2, 3, 3, kTriangleEdges, VTK_TRIANGLE, false};
    case VTK_QUAD: return {2, 4, 4, kQuadEdges, VTK_QUAD, false};
    case VTK_PIXEL: return {2, 4, 4, kPixelEdges, VTK_PIXEL, false};
    case VTK_QUADRATIC_TETRA: return {3, 4, 6, kTetraEdges, VTK_TETRA, true};
    // The triquadratic hexahedron's face and body nodes are left out: its faces are split as
    // the quadratic one's.
    case VTK_QUADRATIC_HEXAHEDRON:
    case VTK_TRIQUADRATIC_HEXAHEDRON: return {3, 8, 12, kQuadraticHexEdges, VTK_HEXAHEDRON, true};
    case VTK_QUADRATIC_WEDGE: return {3, 6, 9, kWedgeEdges, VTK_WEDGE, true};
    case VTK_QUADRATIC_PYRAMID: return {3, 5, 8, kPyramidEdges, VTK_PYRAMID, true};
    case VTK_QUADRATIC_TRIANGLE: return {2, 3, 3, kTriangleEdges, VTK_TRIANGLE, true};
    case VTK_QUADRATIC_QUAD:
    case VTK_BIQUADRATIC_QUAD: return {2, 4, 4, kQuadEdges, VTK_QUAD, true};
    default: return {};
    }
}

const T_FACE_LIST* SolidFacesOf(int nType)
{
    static const T_FACE_LIST kHex{
        8, 6, {{0, 1, 5, 4}, {0, 3, 2, 1}, {0, 4, 7, 3}, {1, 2, 6, 5}, {2, 3, 7, 6}, {4, 5, 6, 7}}};
    static const T_FACE_LIST kVoxel{
        8, 6, {{0, 1, 5, 4}, {0, 2, 3, 1}, {0, 4, 6, 2}, {1, 3, 7, 5}, {2, 6, 7, 3}, {4, 5, 7, 6}}};
    static const T_FACE_LIST kTetra{4, 4, {{0, 1, 3, -1}, {0, 2, 1, -1}, {0, 3, 2, -1}, {1, 2, 3, -1}}};
    static const T_FACE_LIST kPyramid{5, 5, {{3, 2, 1, 0}, {0, 1, 4, -1}, {1, 2, 4, -1}, {2, 3, 4, -1}, {3, 0, 4, -1}}};
    static const T_FACE_LIST kWedge{6, 5, {{0, 2, 5, 3}, {1, 0, 3, 4}, {2, 1, 4, 5}, {0, 1, 2, -1}, {3, 5, 4, -1}}};
    switch (nType) {
    case VTK_HEXAHEDRON: return &kHex;
    case VTK_VOXEL: return &kVoxel;
    case VTK_TETRA: return &kTetra;
    case VTK_PYRAMID: return &kPyramid;
    case VTK_WEDGE: return &kWedge;
    default: return nullptr;
    }
}

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
