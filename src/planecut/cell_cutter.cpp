#include "planecut/cell_cutter.h"

#include "planecut/cut_predicates.h"

#include <algorithm>

namespace kvpvs::planecut {

void CellCutter::Cut(size_t i)
{
    const T_CELL_SHAPE shape = ShapeOf(m_cx.index.CellType(i));
    const int nNodes = shape.Nodes();
    if (shape.nDim == 0 || m_cx.index.CellSize(i) < nNodes)
        return;
    const std::uint32_t* pPts = m_cx.index.CellPoints(i);
    m_aS.resize(static_cast<size_t>(nNodes));
    int nBelow = 0, nZero = 0, nAll = nNodes;
    for (int j = 0; j < nNodes; ++j) {
        const double s = PlaneValue(m_cx.n, m_cx.o, m_cx.points.Xyz(pPts[j]));
        m_aS[static_cast<size_t>(j)] = s;
        nBelow += s < 0.0 ? 1 : 0;
        nZero += s == 0.0 ? 1 : 0;
    }
    // A linear cell beside quadratic ones has their edge nodes on its faces.
    bool bMids = false;
    for (int e = 0; !shape.bQuadratic && m_cx.index.HasEdgeNodes() && e < shape.nEdge; ++e) {
        const vtkIdType nMid = m_cx.index.EdgeNode(pPts[shape.pEdge[e][0]], pPts[shape.pEdge[e][1]]);
        if (nMid < 0)
            continue;
        const double s = m_cx.points.S(nMid);
        bMids = true;
        ++nAll;
        nBelow += s < 0.0 ? 1 : 0;
        nZero += s == 0.0 ? 1 : 0;
    }
    if (nBelow == nAll)
        return;
    if (nBelow == 0) {
        // Above: its faces lying in the plane wait to learn whether anything was cut there.
        if (nZero >= shape.nDim && nZero < nAll)
            m_inPlane.Collect(i, shape, pPts, 1);
        return;
    }
    if (nZero >= shape.nDim)
        m_inPlane.Collect(i, shape, pPts, nBelow + nZero < nAll ? 0 : -1);
    const vtkIdType c = m_cx.index.CellId(i);
    if (shape.nDim == 2)
        Plate(c, shape, pPts);
    else if (shape.bQuadratic || bMids || !m_bFast || !Convex(c, shape, pPts))
        General(c, shape, pPts);
}

// A 2-D cell: its face's flat pieces as a solid's face splits them, but a face that is exactly
// flat is one piece, however its edge nodes bend its edges (a fan over such a face can fold).
// Each piece's crossings, sorted along its line of cut, pair into segments. Its edges lying in
// the plane are left to the in-plane edges, which count each once.
void CellCutter::Plate(vtkIdType c, const T_CELL_SHAPE& shape, const std::uint32_t* pPts)
{
    int aCorner[4] = {-1, -1, -1, -1};
    for (int e = 0; e < shape.nEdge; ++e)
        aCorner[e] = shape.pEdge[e][0];
    m_nFlatEdges = 0;
    for (int e = 0; e < shape.nEdge; ++e) {
        const int* pe = shape.pEdge[e];
        std::array<vtkIdType, 3>& l = m_aFlatEdge[static_cast<size_t>(m_nFlatEdges)];
        l = {pPts[pe[0]], pPts[pe[1]], m_cx.faces.EdgeNode(shape, pPts, pe[0], pe[1])};
        if (std::all_of(l.begin(), l.end(), [&](vtkIdType p) { return p < 0 || m_cx.points.S(p) == 0.0; }))
            ++m_nFlatEdges;
    }
    vtkIdType l[8];
    const int m = m_cx.faces.Loop(shape, pPts, aCorner, shape.nEdge, l);
    double aNormal[3];
    if (FlatNormal(l, m, aNormal)) {
        PairCrossings(l, m, aNormal, c);
        return;
    }
    m_aPiece.clear();
    m_cx.faces.Pieces(shape, pPts, aCorner, shape.nEdge, m_aPiece);
    for (const FacePiece& p : m_aPiece)
        if (FlatNormal(p.aId.data(), p.n, aNormal))
            PairCrossings(p.aId.data(), p.n, aNormal, c);
}

// Whether the loop of m points lies exactly in one plane; its normal, from its first point and
// the two that span the largest triangle with it. False for a loop of no area.
bool CellCutter::FlatNormal(const vtkIdType* l, int m, double* pNormal) const
{
    const double* a = m_cx.points.Xyz(l[0]);
    double dBest = 0.0;
    int jb = 0, jc = 0;
    for (int j = 1; j < m; ++j)
        for (int k = j + 1; k < m; ++k) {
            const double *b = m_cx.points.Xyz(l[j]), *d = m_cx.points.Xyz(l[k]);
            const double e[3] = {b[0] - a[0], b[1] - a[1], b[2] - a[2]}, f[3] = {d[0] - a[0], d[1] - a[1], d[2] - a[2]};
            const double x[3] = {e[1] * f[2] - e[2] * f[1], e[2] * f[0] - e[0] * f[2], e[0] * f[1] - e[1] * f[0]};
            const double d2 = x[0] * x[0] + x[1] * x[1] + x[2] * x[2];
            if (d2 > dBest) {
                dBest = d2, jb = j, jc = k;
                std::copy(x, x + 3, pNormal);
            }
        }
    if (!(dBest > 0.0))
        return false;
    for (int j = 1; j < m; ++j)
        if (j != jb && j != jc &&
            !Coplanar(a, m_cx.points.Xyz(l[jb]), m_cx.points.Xyz(l[jc]), m_cx.points.Xyz(l[j])))
            return false;
    return true;
}

// The crossings of the flat loop's edges, sorted along the line where the plane cuts the loop's
// plane (ties by id, so that a point reached from both sides pairs with itself), paired in
// turn: exact for any polygon of straight edges. A pair on an edge lying in the plane is left
// out, and a pair at one point (a corner touching the plane) gives nothing.
void CellCutter::PairCrossings(const vtkIdType* l, int m, const double* pNormal, vtkIdType c)
{
    const double* n = m_cx.n;
    const double d[3] = {n[1] * pNormal[2] - n[2] * pNormal[1], n[2] * pNormal[0] - n[0] * pNormal[2],
                         n[0] * pNormal[1] - n[1] * pNormal[0]};
    struct T_CROSS {
        double t;
        vtkIdType nId, nAt; // the cut point; the loop's point it lies on, else -1
        int j;              // the loop's edge
    };
    T_CROSS x[8];
    int nCross = 0;
    for (int j = 0; j < m && nCross < 8; ++j) {
        const vtkIdType a = l[j], b = l[(j + 1) % m];
        const double sa = m_cx.points.S(a), sb = m_cx.points.S(b);
        if (Above(sa) == Above(sb))
            continue;
        const vtkIdType nUp = Above(sa) ? a : b;
        x[nCross++] = {0.0, m_cx.points.Crossing(a, b, sa, sb), m_cx.points.S(nUp) == 0.0 ? nUp : -1, j};
    }
    if (nCross == 0)
        return;
    const double* o = m_cx.points.Out(x[0].nId);
    for (int k = 0; k < nCross; ++k) {
        const double* p = m_cx.points.Out(x[k].nId);
        x[k].t = (p[0] - o[0]) * d[0] + (p[1] - o[1]) * d[1] + (p[2] - o[2]) * d[2];
    }
    for (int k = 1; k < nCross; ++k) // insertion: eight at most
        for (int j = k; j > 0 && (x[j].t < x[j - 1].t || (x[j].t == x[j - 1].t && x[j].nId < x[j - 1].nId)); --j)
            std::swap(x[j], x[j - 1]);
    for (int k = 0; k + 1 < nCross; k += 2) {
        bool bInPlane = false;
        for (int e = 0; e < m_nFlatEdges && !bInPlane; ++e) {
            const auto& fe = m_aFlatEdge[static_cast<size_t>(e)];
            auto on = [&](vtkIdType p) { return p >= 0 && std::find(fe.begin(), fe.end(), p) != fe.end(); };
            bInPlane = on(x[k].nAt) && on(x[k + 1].nAt);
        }
        // Each segment runs as the loop turns.
        const int r = x[k].j < x[k + 1].j ? 0 : 1;
        if (!bInPlane)
            m_cx.pieces.AddSegment(x[k + r].nId, x[k + 1 - r].nId, c);
    }
}

void CellCutter::AddCellPoint(vtkIdType nId)
{
    if (std::find(m_aIds.begin(), m_aIds.end(), nId) == m_aIds.end())
        m_aIds.push_back(nId);
}

// Whether the fan of the ring from its point k turns one way (dSign > 0: about the normal), so
// that it covers the ring once; with k < 0, whether the ring turns so at each point.
bool CellCutter::RingTurns(std::ptrdiff_t k, double dSign) const
{
    const size_t m = m_aRing.size();
    auto uv = [&](size_t j) { return m_aRing[j % m].uv; };
    for (size_t j = 1; k >= 0 && j + 1 < m; ++j) {
        const double* o = uv(static_cast<size_t>(k));
        if (!Turns(o, uv(static_cast<size_t>(k) + j), uv(static_cast<size_t>(k) + j + 1), o, dSign))
            return false;
    }
    for (size_t j = 0; k < 0 && j < m; ++j)
        if (!Turns(uv(j + m - 1), uv(j), uv(j + 1), uv(j), dSign))
            return false;
    return true;
}

// A linear cell whose polygon is its crossings in turn: every crossed face is one piece (a
// triangle, a flat quadrilateral, or one whose split diagonal is not crossed) and adds one chord
// between two neighbours of the turn, and the turn is convex. These are the chords the loops
// would chain. False, nothing added, otherwise.
bool CellCutter::Convex(vtkIdType c, const T_CELL_SHAPE& shape, const std::uint32_t* pPts)
{
    m_aIds.clear();
    const auto above = [&](int j) { return Above(m_aS[static_cast<size_t>(j)]); };
    for (int e = 0; e < shape.nEdge; ++e) {
        const int ja = shape.pEdge[e][0], jb = shape.pEdge[e][1];
        if (above(ja) == above(jb))
            continue;
        const vtkIdType nId =
            m_cx.points.Crossing(pPts[ja], pPts[jb], m_aS[static_cast<size_t>(ja)], m_aS[static_cast<size_t>(jb)]);
        m_aEdgeCut[ja][jb] = m_aEdgeCut[jb][ja] = nId;
        AddCellPoint(nId);
    }
    const T_FACE_LIST* pFaces = SolidFacesOf(shape.nLinear);
    std::pair<vtkIdType, vtkIdType> aChord[6];
    int nChord = 0;
    for (int f = 0; f < pFaces->nFace; ++f) {
        const int* pc = pFaces->aCorner[f];
        const int n = FaceSize(pc);
        vtkIdType x[2];
        int nCross = 0;
        for (int j = 0; j < n; ++j)
            if (above(pc[j]) != above(pc[(j + 1) % n]) && nCross++ < 2)
                x[nCross - 1] = m_aEdgeCut[pc[j]][pc[(j + 1) % n]];
        if (nCross == 0)
            continue;
        if (nCross != 2)
            return false;
        if (n == 4) {
            // Crossed on the diagonal its pieces are split on: not one chord.
            const FacePiece q{4, {pPts[pc[0]], pPts[pc[1]], pPts[pc[2]], pPts[pc[3]]}};
            int r = m_cx.faces.MeshDiagonal(q);
            if (r < 0)
                r = static_cast<int>(std::min_element(q.aId.begin(), q.aId.end()) - q.aId.begin());
            if (above(pc[r]) != above(pc[(r + 2) % 4]) && m_cx.faces.SplitAt(q) >= 0)
                return false;
        }
        if (x[0] != x[1])
            aChord[nChord++] = {x[0], x[1]};
    }
    if (m_aIds.size() < 3)
        return true;
    RingAboutMean(m_cx.points, m_cx.axes, m_aIds, m_aRing);
    const size_t m = m_aRing.size();
    auto at = [&](vtkIdType nId) {
        size_t k = 0;
        while (m_aRing[k].nId != nId)
            ++k;
        return k;
    };
    for (int k = 0; k < nChord; ++k) {
        const size_t a = at(aChord[k].first), b = at(aChord[k].second);
        if ((a + 1) % m != b && (b + 1) % m != a)
            return false;
    }
    // Sorted about their mean, the points are convex when they turn one way at each.
    if (!RingTurns(-1, 1.0))
        return false;
    m_cx.pieces.AddRing(m_aRing, false, c);
    return true;
}

// The chord of a piece crossed at two edges: from the crossing where its turn enters the points
// below to the one where it leaves them. A quadrilateral crossed at four edges is split.
void CellCutter::AddChord(const FacePiece& p)
{
    bool up[4];
    int nUp = 0, nChange = 0;
    for (int j = 0; j < p.n; ++j)
        nUp += (up[j] = Above(m_cx.points.S(p.aId[static_cast<size_t>(j)]))) ? 1 : 0;
    for (int j = 0; j < p.n; ++j)
        nChange += up[j] != up[(j + 1) % p.n] ? 1 : 0;
    if (nChange == 4) {
        FacePiece t[2];
        SplitQuad(p, t[0], t[1]);
        AddChord(t[0]);
        AddChord(t[1]);
    }
    if (nChange != 2)
        return;
    vtkIdType e[2][2]; // the edges entering and leaving the points below
    for (int j = 0; j < p.n; ++j)
        if (up[j] != up[(j + 1) % p.n]) {
            vtkIdType* x = e[up[j] ? 0 : 1];
            x[0] = p.aId[static_cast<size_t>(j)];
            x[1] = p.aId[static_cast<size_t>((j + 1) % p.n)];
        }
    // New points are numbered in the order they are made: a triangle with one point above makes
    // its leaving crossing first.
    const int nFirst = p.n == 3 && nUp == 1 ? 1 : 0;
    vtkIdType x[2];
    x[nFirst] = m_cx.points.Crossing(e[nFirst][0], e[nFirst][1]);
    x[1 - nFirst] = m_cx.points.Crossing(e[1 - nFirst][0], e[1 - nFirst][1]);
    m_aChord.push_back({EdgeKey::Edge(e[0][0], e[0][1]), EdgeKey::Edge(e[1][0], e[1][1]), x[0], x[1]});
}

// Any cut cell: its faces' pieces, their chords chained into loops; the tetrahedra between its
// face triangles and its centre where the loops are not polygons a fan covers.
void CellCutter::General(vtkIdType c, const T_CELL_SHAPE& shape, const std::uint32_t* pPts)
{
    m_aPiece.clear();
    const T_FACE_LIST* pFaces = SolidFacesOf(shape.nLinear);
    for (int f = 0; f < pFaces->nFace; ++f)
        m_cx.faces.Pieces(shape, pPts, pFaces->aCorner[f], FaceSize(pFaces->aCorner[f]), m_aPiece);
    m_aChord.clear();
    for (const FacePiece& p : m_aPiece)
        AddChord(p);
    if (!ChordLoops(c))
        Tetrahedra(c, shape, pPts);
}

void CellCutter::Tetrahedra(vtkIdType c, const T_CELL_SHAPE& shape, const std::uint32_t* pPts)
{
    ToTriangles(m_aPiece, m_aTri);
    std::vector<vtkIdType> aNode(pPts, pPts + shape.Nodes());
    const vtkIdType nCentre = m_cx.points.Mean(aNode.data(), shape.Nodes());
    for (const FacePiece& t : m_aTri) {
        const vtkIdType v[4] = {t.aId[0], t.aId[1], t.aId[2], nCentre};
        m_aIds.clear();
        for (int p = 0; p < 4; ++p)
            for (int q = p + 1; q < 4; ++q)
                if (Above(m_cx.points.S(v[p])) != Above(m_cx.points.S(v[q])))
                    AddCellPoint(m_cx.points.Crossing(v[p], v[q]));
        if (m_aIds.size() >= 3) {
            RingAboutMean(m_cx.points, m_cx.axes, m_aIds, m_aRing);
            m_cx.pieces.AddRing(m_aRing, false, c);
        }
    }
}

// The chords' loops as polygons, when every loop closes, meets itself nowhere, turns the way
// the others do and is covered by the fan from one of its points: a loop that comes back along
// itself (no area) adds nothing. False, nothing added, otherwise.
bool CellCutter::ChordLoops(vtkIdType c)
{
    const size_t n = m_aChord.size();
    m_aUsed.assign(n, 0);
    m_aStart.clear(); // loops in m_aLoop, each from its start
    m_aLoop.clear();
    for (size_t s = 0; s < n; ++s) {
        if (m_aUsed[s])
            continue;
        m_aStart.push_back(m_aLoop.size());
        for (size_t k = s;;) {
            m_aUsed[k] = 1;
            if (m_aLoop.size() == m_aStart.back() || m_aLoop.back() != m_aChord[k].nFrom)
                m_aLoop.push_back(m_aChord[k].nFrom);
            if (m_aChord[k].to == m_aChord[s].from)
                break;
            size_t j = 0;
            while (j < n && (m_aUsed[j] || !(m_aChord[j].from == m_aChord[k].to)))
                ++j;
            if (j == n)
                return false;
            k = j;
        }
    }
    m_aStart.push_back(m_aLoop.size());
    double dSign = 0.0;
    m_aPieceOff.assign(1, 0);
    m_aPieceConn.clear();
    for (size_t l = 0; l + 1 < m_aStart.size(); ++l)
        if (!Loop(m_aStart[l], m_aStart[l + 1], dSign))
            return false;
    for (size_t p = 0; p + 1 < m_aPieceOff.size(); ++p) {
        m_aRing.clear();
        for (size_t k = m_aPieceOff[p]; k < m_aPieceOff[p + 1]; ++k)
            m_aRing.push_back({0.0, m_aPieceConn[k], {0.0, 0.0}});
        m_cx.pieces.AddRing(m_aRing, dSign < 0.0, c);
    }
    return true;
}

// The loop m_aLoop[b, e) as a polygon from the first of its points whose fan covers it, into
// the pieces; dSign the turn of the loops so far (0: none yet). False where it cannot be one.
bool CellCutter::Loop(size_t b, size_t e, double& dSign)
{
    while (e - b > 1 && m_aLoop[e - 1] == m_aLoop[b])
        --e;
    if (e - b < 3)
        return true;
    // From its least point by coordinates: the loop's area and pieces then do not hang on which
    // chord of the cell came first.
    const auto first = m_aLoop.begin() + static_cast<std::ptrdiff_t>(b);
    std::rotate(first,
                std::min_element(first, first + static_cast<std::ptrdiff_t>(e - b),
                                 [&](vtkIdType p, vtkIdType q) {
                                     return std::lexicographical_compare(m_cx.points.Out(p), m_cx.points.Out(p) + 3,
                                                                         m_cx.points.Out(q), m_cx.points.Out(q) + 3);
                                 }),
                first + static_cast<std::ptrdiff_t>(e - b));
    m_aRing.clear();
    double dArea = 0.0;
    for (size_t k = b; k < e; ++k) {
        double uv[2];
        m_cx.axes.Uv(uv, m_cx.points.Out(m_aLoop[k]), m_cx.points.Out(m_aLoop[b]));
        if (k > b)
            dArea += m_aRing.back().uv[0] * uv[1] - m_aRing.back().uv[1] * uv[0];
        m_aRing.push_back({0.0, m_aLoop[k], {uv[0], uv[1]}});
        for (size_t j = b; j < k; ++j)
            if (m_aLoop[j] == m_aLoop[k])
                return false; // the loop meets itself at a point
    }
    if (dArea == 0.0)
        return true;
    if (dSign * dArea < 0.0)
        return false;
    dSign = dArea > 0.0 ? 1.0 : -1.0;
    const size_t m = m_aRing.size();
    size_t nFrom = 0;
    while (nFrom < m && !RingTurns(static_cast<std::ptrdiff_t>(nFrom), dSign))
        ++nFrom;
    if (nFrom == m)
        return false;
    for (size_t k = 0; k < m; ++k)
        m_aPieceConn.push_back(m_aRing[(nFrom + k) % m].nId);
    m_aPieceOff.push_back(m_aPieceConn.size());
    return true;
}

} // namespace kvpvs::planecut
