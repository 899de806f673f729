#include "planecut/in_plane_faces.h"

#include "planecut/flat_clip.h"

#include <algorithm>
#include <cmath>
#include <tuple>

namespace kvpvs::planecut {

namespace {

// The two coordinates a plane of this normal is a graph over: all but its largest component.
void GraphAxes(const double n[3], int& k0, int& k1)
{
    int kMax = 0;
    for (int k = 1; k < 3; ++k)
        if (std::fabs(n[k]) > std::fabs(n[kMax]))
            kMax = k;
    k0 = kMax == 0 ? 1 : 0;
    k1 = kMax == 2 ? 1 : 2;
}

// (b - a) x (c - a) . d, with d = n as given for a direction, else n - a
double Triple(const double* a, const double* b, const double* c, const double* n, bool bDirection)
{
    const double e[3] = {b[0] - a[0], b[1] - a[1], b[2] - a[2]}, f[3] = {c[0] - a[0], c[1] - a[1], c[2] - a[2]};
    double d[3];
    for (int k = 0; k < 3; ++k)
        d[k] = bDirection ? n[k] : n[k] - a[k];
    return (e[1] * f[2] - e[2] * f[1]) * d[0] + (e[2] * f[0] - e[0] * f[2]) * d[1] + (e[0] * f[1] - e[1] * f[0]) * d[2];
}

} // namespace

// How the points' turn faces the normal: > 0 along it.
double InPlaneFaces::Facing(const vtkIdType* pIds, int n) const
{
    double d = 0.0;
    for (int j = 1; j + 1 < n; ++j)
        d += Triple(m_cx.points.Xyz(pIds[0]), m_cx.points.Xyz(pIds[j]), m_cx.points.Xyz(pIds[j + 1]), m_cx.n, true);
    return d;
}

// Six times the cell's volume, from the fans of its faces about its first point: > 0 when its
// faces turn outward.
double InPlaneFaces::CellTurn(const T_CELL_SHAPE& shape, const std::uint32_t* pPts)
{
    const T_FACE_LIST* pFaces = SolidFacesOf(shape.nLinear);
    double d = 0.0;
    for (int f = 0; f < pFaces->nFace; ++f) {
        vtkIdType l[8];
        const int m = m_cx.faces.Loop(shape, pPts, pFaces->aCorner[f], FaceSize(pFaces->aCorner[f]), l);
        for (int j = 1; j + 1 < m; ++j)
            d -= Triple(m_cx.points.Xyz(l[0]), m_cx.points.Xyz(l[j]), m_cx.points.Xyz(l[j + 1]),
                        m_cx.points.Xyz(pPts[0]), false);
    }
    return d;
}

void InPlaneFaces::Collect(size_t i, const T_CELL_SHAPE& shape, const std::uint32_t* pPts, int nSide)
{
    if (shape.nDim == 2) {
        CollectEdges(i, shape, pPts, nSide <= 0);
        return;
    }
    auto zero = [&](const vtkIdType* l, int m) {
        return std::all_of(l, l + m, [&](vtkIdType p) { return m_cx.points.S(p) == 0.0; });
    };
    // A cell with points on one side only lies on that side of each face; else the face's turn
    // tells, against the cell's.
    double dTurn = 0.0; // the cell's, once needed
    auto add = [&](const T_INPLANE& face, const vtkIdType* pIds, int n) {
        if (nSide == 0 && dTurn == 0.0)
            dTurn = CellTurn(shape, pPts);
        if (nSide > 0 || (nSide == 0 && Facing(pIds, n) * dTurn < 0.0))
            m_aAbove.push_back(face);
        else
            m_aBelow.push_back(face.key);
    };
    const T_FACE_LIST* pFaces = SolidFacesOf(shape.nLinear);
    for (int f = 0; f < pFaces->nFace; ++f) {
        const int* pc = pFaces->aCorner[f];
        const int n = FaceSize(pc);
        vtkIdType l[8];
        const int m = m_cx.faces.Loop(shape, pPts, pc, n, l);
        int nZero = 0, nOff = 0; // counted until fewer than three can be on the plane
        for (int j = 0; j < m && nOff <= m - 3; ++j)
            (m_cx.points.S(l[j]) == 0.0 ? nZero : nOff) += 1;
        if (nZero < 3 || nOff > m - 3)
            continue;
        T_INPLANE face;
        face.nCell = i;
        face.nFace = f;
        if (nZero == m) {
            vtkIdType aCorner[4];
            for (int j = 0; j < n; ++j)
                aCorner[j] = pPts[pc[j]];
            face.key = FaceKey::Of(aCorner, n);
            add(face, l, m);
            continue;
        }
        m_aPiece.clear();
        m_cx.faces.Pieces(shape, pPts, pc, n, m_aPiece);
        for (const FacePiece& p : m_aPiece)
            if (zero(p.aId.data(), p.n)) {
                face.piece = p;
                face.key = FaceKey::Of(p.aId.data(), p.n);
                add(face, p.aId.data(), p.n);
            }
    }
}

// Edges of a 2-D cell lying in the plane, keyed by their ends' coordinates sorted, since plates
// give each element points of its own.
void InPlaneFaces::CollectEdges(size_t i, const T_CELL_SHAPE& shape, const std::uint32_t* pPts, bool bCut)
{
    for (int e = 0; e < shape.nEdge; ++e) {
        const int* pe = shape.pEdge[e];
        const vtkIdType l[3] = {pPts[pe[0]], pPts[pe[1]], m_cx.faces.EdgeNode(shape, pPts, pe[0], pe[1])};
        if (!std::all_of(l, l + (l[2] >= 0 ? 3 : 2), [&](vtkIdType p) { return m_cx.points.S(p) == 0.0; }))
            continue;
        const double *xa = m_cx.points.Xyz(pPts[pe[0]]), *xb = m_cx.points.Xyz(pPts[pe[1]]);
        EdgeCoords key{xa[0], xa[1], xa[2], xb[0], xb[1], xb[2]};
        if (std::lexicographical_compare(xb, xb + 3, xa, xa + 3))
            key = {xb[0], xb[1], xb[2], xa[0], xa[1], xa[2]};
        m_aEdge.push_back({key, !bCut, m_cx.index.CellId(i), i, e});
    }
}

// Each edge once, by a rule that the order cells are visited in does not change.
void InPlaneFaces::SettleEdges()
{
    std::sort(m_aEdge.begin(), m_aEdge.end(), [](const T_EDGE& a, const T_EDGE& b) {
        return std::tie(a.key, a.bAbove, a.nCell, a.nEdge) < std::tie(b.key, b.bAbove, b.nCell, b.nEdge);
    });
    for (size_t k = 0; k < m_aEdge.size(); ++k) {
        if (k > 0 && m_aEdge[k - 1].key == m_aEdge[k].key)
            continue;
        const T_EDGE& edge = m_aEdge[k];
        const T_CELL_SHAPE shape = ShapeOf(m_cx.index.CellType(edge.i));
        const std::uint32_t* pPts = m_cx.index.CellPoints(edge.i);
        const int* pe = shape.pEdge[edge.nEdge];
        const vtkIdType a = m_cx.points.At(pPts[pe[0]]), b = m_cx.points.At(pPts[pe[1]]);
        const vtkIdType nMid = m_cx.faces.EdgeNode(shape, pPts, pe[0], pe[1]);
        if (nMid < 0) {
            m_cx.pieces.AddSegment(a, b, edge.nCell);
        } else {
            const vtkIdType m = m_cx.points.At(nMid);
            m_cx.pieces.AddSegment(a, m, edge.nCell);
            m_cx.pieces.AddSegment(m, b, edge.nCell);
        }
    }
}

// The face's points: the piece's, or the whole face's loop.
int InPlaneFaces::Points(const T_INPLANE& face, vtkIdType* pIds) const
{
    if (face.piece.n > 0) {
        std::copy(face.piece.aId.begin(), face.piece.aId.begin() + face.piece.n, pIds);
        return face.piece.n;
    }
    const T_CELL_SHAPE shape = ShapeOf(m_cx.index.CellType(face.nCell));
    const int* pc = SolidFacesOf(shape.nLinear)->aCorner[face.nFace];
    return m_cx.faces.Loop(shape, m_cx.index.CellPoints(face.nCell), pc, FaceSize(pc), pIds);
}

void InPlaneFaces::Triangles(const T_INPLANE& face, std::vector<FacePiece>& aTri)
{
    m_aPiece.clear();
    if (face.piece.n > 0) {
        m_aPiece.push_back(face.piece);
    } else {
        const T_CELL_SHAPE shape = ShapeOf(m_cx.index.CellType(face.nCell));
        const int* pc = SolidFacesOf(shape.nLinear)->aCorner[face.nFace];
        m_cx.faces.Pieces(shape, m_cx.index.CellPoints(face.nCell), pc, FaceSize(pc), m_aPiece);
    }
    ToTriangles(m_aPiece, aTri);
}

// Once every cell was cut: the faces above whose twin no cell cut from below, each less the
// polygons cut over it, found through a tree of the faces' boxes, box against box. Two cells
// above one face are a fold (or a cell listed twice): both count, as a fold's cut cells do.
void InPlaneFaces::Settle()
{
    SettleEdges();
    std::sort(m_aBelow.begin(), m_aBelow.end());
    std::vector<T_INPLANE> aFace;
    for (const T_INPLANE& f : m_aAbove)
        if (!std::binary_search(m_aBelow.begin(), m_aBelow.end(), f.key))
            aFace.push_back(f);
    if (aFace.empty())
        return;
    int k0 = 0, k1 = 0;
    GraphAxes(m_cx.n, k0, k1);
    auto grow = [&](double* b, const double* x) {
        b[0] = std::min(b[0], x[k0]), b[1] = std::max(b[1], x[k0]);
        b[2] = std::min(b[2], x[k1]), b[3] = std::max(b[3], x[k1]);
    };
    std::vector<double> aBox;
    for (const T_INPLANE& f : aFace) {
        vtkIdType l[8];
        const int m = Points(f, l);
        double b[4] = {HUGE_VAL, -HUGE_VAL, HUGE_VAL, -HUGE_VAL};
        for (int j = 0; j < m; ++j)
            grow(b, m_cx.points.Xyz(l[j]));
        aBox.insert(aBox.end(), b, b + 4);
    }
    FlatBoxTree tree;
    tree.Build(aBox);
    std::vector<std::pair<size_t, size_t>> aPair;
    const CutPieces& pc = m_cx.pieces;
    for (size_t p = 0; p < pc.Polygons(); ++p) {
        double b[4] = {HUGE_VAL, -HUGE_VAL, HUGE_VAL, -HUGE_VAL};
        for (auto k = pc.aPolyOffset[p]; k < pc.aPolyOffset[p + 1]; ++k)
            grow(b, m_cx.points.Out(pc.aPolyConn[static_cast<size_t>(k)]));
        if (std::isfinite(b[0] + b[1] + b[2] + b[3]))
            tree.Query(b, [&](size_t f) { aPair.emplace_back(f, p); });
    }
    std::stable_sort(aPair.begin(), aPair.end(), [](const auto& a, const auto& b) { return a.first < b.first; });
    std::vector<size_t> aClip;
    for (size_t f = 0, k = 0; f < aFace.size(); ++f) {
        aClip.clear();
        for (; k < aPair.size() && aPair[k].first == f; ++k)
            aClip.push_back(aPair[k].second);
        AddFace(aFace[f], aClip);
    }
}

// The polygons aClip in coordinates from pRef, counterclockwise; one that is not convex as the
// fan from its first point.
std::vector<FlatPolygon> InPlaneFaces::ClipsUv(const std::vector<size_t>& aClip, const double* pRef) const
{
    std::vector<FlatPolygon> aClipUv;
    FlatPolygon uv;
    for (size_t p : aClip) {
        uv.clear();
        for (auto k = m_cx.pieces.aPolyOffset[p]; k < m_cx.pieces.aPolyOffset[p + 1]; ++k) {
            double w[2];
            m_cx.axes.Uv(w, m_cx.points.Out(m_cx.pieces.aPolyConn[static_cast<size_t>(k)]), pRef);
            uv.insert(uv.end(), w, w + 2);
        }
        const size_t n = uv.size() / 2;
        bool bConvex = true;
        for (size_t i = 0; i < n && bConvex; ++i) {
            const double *a = &uv[2 * ((i + n - 1) % n)], *b = &uv[2 * i], *q = &uv[2 * ((i + 1) % n)];
            bConvex = (b[0] - a[0]) * (q[1] - b[1]) - (b[1] - a[1]) * (q[0] - b[0]) >= 0.0;
        }
        for (size_t i = 1; !bConvex && i + 1 < n; ++i)
            aClipUv.push_back({uv[0], uv[1], uv[2 * i], uv[2 * i + 1], uv[2 * i + 2], uv[2 * i + 3]});
        if (bConvex)
            aClipUv.push_back(uv);
    }
    return aClipUv;
}

// A face of a cell above lying in the plane, less the polygons aClip: whole, as one polygon
// (a face with edge nodes as its triangles), when nothing overlaps it; else the pieces of each
// triangle, in coordinates from the face's first point, their new points placed and valued
// within their triangle.
void InPlaneFaces::AddFace(const T_INPLANE& face, const std::vector<size_t>& aClip)
{
    const vtkIdType c = m_cx.index.CellId(face.nCell);
    const int* pc = SolidFacesOf(ShapeOf(m_cx.index.CellType(face.nCell)).nLinear)->aCorner[face.nFace];
    vtkIdType l[8];
    const int m = Points(face, l);
    if (aClip.empty() && (face.piece.n > 0 || m == FaceSize(pc))) {
        std::vector<vtkIdType> aIds;
        for (int j = 0; j < m; ++j)
            if (std::find(aIds.begin(), aIds.end(), m_cx.points.At(l[j])) == aIds.end())
                aIds.push_back(m_cx.points.At(l[j]));
        std::vector<T_RING> aRing;
        RingAboutMean(m_cx.points, m_cx.axes, aIds, aRing);
        m_cx.pieces.AddRing(aRing, false, c);
        return;
    }
    std::vector<FacePiece> aTri;
    Triangles(face, aTri);
    const double* pRef = m_cx.points.Xyz(l[0]);
    double dScale2 = 0.0;
    for (int j = 0; j < m; ++j) {
        double a[2], b[2];
        m_cx.axes.Uv(a, m_cx.points.Xyz(l[j]), pRef);
        m_cx.axes.Uv(b, m_cx.points.Xyz(l[(j + 1) % m]), pRef);
        dScale2 = std::max(dScale2, (a[0] - b[0]) * (a[0] - b[0]) + (a[1] - b[1]) * (a[1] - b[1]));
    }
    const std::vector<FlatPolygon> aClipUv = ClipsUv(aClip, pRef);
    std::vector<FlatPolygon> aPieces;
    for (const FacePiece& t : aTri) {
        vtkIdType gc[3] = {t.aId[0], t.aId[1], t.aId[2]};
        double tc[3][2];
        for (int e = 0; e < 3; ++e)
            m_cx.axes.Uv(tc[e], m_cx.points.Xyz(gc[e]), pRef);
        if ((tc[1][0] - tc[0][0]) * (tc[2][1] - tc[0][1]) - (tc[1][1] - tc[0][1]) * (tc[2][0] - tc[0][0]) < 0.0) {
            std::swap(gc[1], gc[2]);
            std::swap(tc[1], tc[2]);
        }
        aPieces.clear();
        SubtractAll({tc[0][0], tc[0][1], tc[1][0], tc[1][1], tc[2][0], tc[2][1]}, aClipUv, dScale2, aPieces);
        const double e1[2] = {tc[1][0] - tc[0][0], tc[1][1] - tc[0][1]};
        const double e2[2] = {tc[2][0] - tc[0][0], tc[2][1] - tc[0][1]};
        const double det = e1[0] * e2[1] - e1[1] * e2[0];
        for (const FlatPolygon& piece : aPieces) {
            for (size_t j = 0; j < piece.size() / 2; ++j) {
                const double* p = &piece[2 * j];
                int nCorner = -1;
                for (int e = 0; e < 3; ++e)
                    if (p[0] == tc[e][0] && p[1] == tc[e][1])
                        nCorner = e;
                if (nCorner >= 0) {
                    m_cx.pieces.aPolyConn.push_back(m_cx.points.At(gc[nCorner]));
                    continue;
                }
                const double d[2] = {p[0] - tc[0][0], p[1] - tc[0][1]};
                const double l1 = (d[0] * e2[1] - d[1] * e2[0]) / det, l2 = (e1[0] * d[1] - e1[1] * d[0]) / det;
                m_cx.pieces.aPolyConn.push_back(m_cx.points.InTriangle(gc, l1, l2));
            }
            m_cx.pieces.EndPolygon(c);
        }
    }
}

} // namespace kvpvs::planecut
