#include "planecut/cut_index.h"

#include "planecut/cell_kinds.h"

#include <vtkCellArray.h>
#include <vtkCellType.h>
#include <vtkDoubleArray.h>
#include <vtkPoints.h>
#include <vtkUnstructuredGrid.h>

#include <array>
#include <cmath>
#include <cstdio>
#include <limits>

namespace kvpvs::planecut {

namespace {

// An edge by its ends' ids, in either order.
std::uint64_t EdgeCode(std::uint32_t a, std::uint32_t b)
{
    return static_cast<std::uint64_t>(std::min(a, b)) << 32 | std::max(a, b);
}

// Which faces of a cell the face split reads, by type: the triangular faces of a solid (its
// corners' edges may split a neighbour's quadrilateral), the quadrilaterals of a linear cell
// (faces and plates, which are split so). None for a cell of fewer points than corners.
constexpr int kTriangleFaces = 1, kQuadFaces = 2;
int FaceKinds(int nType, const T_CELL_SHAPE& shape, vtkIdType n)
{
    static const std::array<std::uint8_t, 256> kKinds = [] {
        std::array<std::uint8_t, 256> a{};
        for (int t = 0; t < 256; ++t) {
            const T_CELL_SHAPE s = ShapeOf(t);
            const T_FACE_LIST* pFaces = s.nDim == 3 ? SolidFacesOf(s.nLinear) : nullptr;
            int k = s.nDim == 2 && s.nCorner == 4 && !s.bQuadratic ? kQuadFaces : 0;
            for (int f = 0; pFaces && f < pFaces->nFace; ++f)
                k |= FaceSize(pFaces->aCorner[f]) == 3 ? kTriangleFaces : s.bQuadratic ? 0 : kQuadFaces;
            a[static_cast<size_t>(t)] = static_cast<std::uint8_t>(k);
        }
        return a;
    }();
    return nType >= 0 && nType < 256 && n >= shape.nCorner ? kKinds[static_cast<size_t>(nType)] : 0;
}

// The grid's coordinates when its points are a double array of them; null otherwise.
const double* DoublePoints(vtkUnstructuredGrid* pGrid)
{
    vtkPoints* pPoints = pGrid ? pGrid->GetPoints() : nullptr;
    auto* pArr = pPoints ? vtkDoubleArray::SafeDownCast(pPoints->GetData()) : nullptr;
    return pArr && pArr->GetNumberOfComponents() == 3 && pArr->GetNumberOfTuples() > 0 ? pArr->GetPointer(0) : nullptr;
}

// 10 bits per axis interleaved: cells near in space are near in the order.
std::uint32_t Spread10(std::uint32_t v)
{
    v &= 0x3FF;
    v = (v | (v << 16)) & 0x030000FF;
    v = (v | (v << 8)) & 0x0300F00F;
    v = (v | (v << 4)) & 0x030C30C3;
    v = (v | (v << 2)) & 0x09249249;
    return v;
}

std::uint32_t Quantise(double v, double lo, double hi)
{
    const double t = hi > lo ? (v - lo) / (hi - lo) * 1023.0 : 0.0;
    if (!(t > 0.0))
        return 0;
    return t >= 1023.0 ? 1023u : static_cast<std::uint32_t>(t);
}

// The nearest float at or below (above) d; infinities and NaN pass as they are.
float FloatBelow(double d)
{
    float f = static_cast<float>(d);
    if (static_cast<double>(f) > d)
        f = std::nextafter(f, -HUGE_VALF);
    return f;
}
float FloatAbove(double d)
{
    float f = static_cast<float>(d);
    if (static_cast<double>(f) < d)
        f = std::nextafter(f, HUGE_VALF);
    return f;
}

// Whether the plane meets the box b (x min, x max, ...): per axis, the end that n_k weighs
// least gives a value no larger than any point's in the box, the other end one no smaller, so
// the box is skipped only when every point's value is of one sign.
template <class T>
bool Straddles(const T* b, const double n[3], const double o[3])
{
    double lo[3], hi[3];
    for (int k = 0; k < 3; ++k) {
        lo[k] = static_cast<double>(n[k] >= 0.0 ? b[2 * k] : b[2 * k + 1]);
        hi[k] = static_cast<double>(n[k] >= 0.0 ? b[2 * k + 1] : b[2 * k]);
    }
    return !(PlaneValue(n, o, lo) > 0.0 || PlaneValue(n, o, hi) < 0.0);
}

void UniteBox(double* b, const double* c)
{
    for (int k = 0; k < 3; ++k) {
        b[2 * k] = std::min(b[2 * k], c[2 * k]);
        b[2 * k + 1] = std::max(b[2 * k + 1], c[2 * k + 1]);
    }
}

} // namespace

const double* PlaneCutIndex::Points(vtkUnstructuredGrid* pGrid) const
{
    const double* pXyz = DoublePoints(pGrid);
    return pXyz ? pXyz : m_aXyz.data();
}

size_t PlaneCutIndex::Bytes() const
{
    const auto bytes = [](const auto& a) { return a.capacity() * sizeof(a[0]); };
    size_t n = sizeof(*this) + m_strRefusal.capacity() + bytes(m_aOrder) + bytes(m_aCellBox) + bytes(m_aCellStart) +
               bytes(m_aConn) + bytes(m_aType) + bytes(m_aXyz) + bytes(m_aEdgeNode) + bytes(m_aTriangleEdge) +
               bytes(m_aLevel);
    for (const std::vector<double>& l : m_aLevel)
        n += bytes(l);
    return n;
}

bool PlaneCutIndex::Matches(vtkUnstructuredGrid* pGrid) const
{
    return (!m_aLevel.empty() || !m_strRefusal.empty()) && GridShapeKey::Of(pGrid) == m_key;
}

void PlaneCutIndex::Visit(const double n[3], const double o[3], std::vector<size_t>& aOut) const
{
    if (m_aLevel.empty())
        return;
    struct T_NODE {
        int nLevel;
        size_t nIdx;
    };
    std::vector<T_NODE> aStack;
    aStack.push_back({static_cast<int>(m_aLevel.size()) - 1, 0});
    while (!aStack.empty()) {
        const T_NODE nd = aStack.back();
        aStack.pop_back();
        const std::vector<double>& lvl = m_aLevel[static_cast<size_t>(nd.nLevel)];
        if (nd.nIdx * 6 >= lvl.size() || !Straddles(&lvl[nd.nIdx * 6], n, o))
            continue;
        if (nd.nLevel > 0) {
            aStack.push_back({nd.nLevel - 1, 2 * nd.nIdx + 1});
            aStack.push_back({nd.nLevel - 1, 2 * nd.nIdx});
            continue;
        }
        const size_t nEnd = std::min(m_aOrder.size(), (nd.nIdx + 1) * kLeafCells);
        for (size_t i = nd.nIdx * kLeafCells; i < nEnd; ++i)
            if (Straddles(&m_aCellBox[6 * i], n, o))
                aOut.push_back(i);
    }
}

// An empty index that says why, kept for the grid's shape as a built one is.
bool PlaneCutIndex::Refuse(vtkUnstructuredGrid* pGrid, const char* pszWhy)
{
    Clear();
    m_strRefusal = pszWhy;
    m_key = GridShapeKey::Of(pGrid);
    return false;
}

vtkIdType PlaneCutIndex::EdgeNode(std::uint32_t a, std::uint32_t b) const
{
    const std::uint64_t key = EdgeCode(a, b);
    const auto it = std::lower_bound(m_aEdgeNode.begin(), m_aEdgeNode.end(), std::make_pair(key, std::uint32_t{0}));
    return it != m_aEdgeNode.end() && it->first == key ? static_cast<vtkIdType>(it->second) : -1;
}

bool PlaneCutIndex::IsTriangleEdge(std::uint32_t a, std::uint32_t b) const
{
    return std::binary_search(m_aTriangleEdge.begin(), m_aTriangleEdge.end(), EdgeCode(a, b));
}

namespace {

// A cell's box (x min, x max, ...) over its points, and over the edge nodes that quadratic
// neighbours put on its edges when it is linear.
void CellBox(vtkUnstructuredGrid* pGrid, const double* pXyz, const PlaneCutIndex& index, vtkIdType c, double b[6])
{
    b[0] = b[2] = b[4] = HUGE_VAL;
    b[1] = b[3] = b[5] = -HUGE_VAL;
    vtkIdType n = 0;
    const vtkIdType* pIds = nullptr;
    pGrid->GetCellPoints(c, n, pIds);
    auto grow = [&](vtkIdType p) {
        for (int k = 0; k < 3; ++k) {
            b[2 * k] = std::min(b[2 * k], pXyz[3 * p + k]);
            b[2 * k + 1] = std::max(b[2 * k + 1], pXyz[3 * p + k]);
        }
    };
    for (vtkIdType j = 0; j < n; ++j)
        grow(pIds[j]);
    const T_CELL_SHAPE shape = ShapeOf(pGrid->GetCellType(c));
    for (int e = 0; index.HasEdgeNodes() && !shape.bQuadratic && n >= shape.nCorner && e < shape.nEdge; ++e) {
        const vtkIdType nMid = index.EdgeNode(static_cast<std::uint32_t>(pIds[shape.pEdge[e][0]]),
                                              static_cast<std::uint32_t>(pIds[shape.pEdge[e][1]]));
        if (nMid >= 0)
            grow(nMid);
    }
}

} // namespace

// Every id of every cell is checked to lie among the points, and every point a cell uses to lie
// within kFarthest, before any is read through a cell: the cut never reads past the points, and
// no cell drops out of a cut, or gives points, areas or sums that are not finite, for a
// coordinate its values cannot be formed of. Pixels and voxels, which no model element is, are
// refused rather than cut through edge and face orders of their own.
bool PlaneCutIndex::Check(vtkUnstructuredGrid* pGrid, const double* pXyz, std::vector<std::uint8_t>& aOnQuad)
{
    const vtkIdType nCells = pGrid->GetNumberOfCells(), nPts = pGrid->GetNumberOfPoints();
    bool bTriangles = false;
    for (vtkIdType c = 0; c < nCells; ++c) {
        vtkIdType n = 0;
        const vtkIdType* pIds = nullptr;
        pGrid->GetCellPoints(c, n, pIds);
        char sz[200];
        for (vtkIdType j = 0; j < n; ++j) {
            const vtkIdType p = pIds[j];
            if (p < 0 || p >= nPts)
                std::snprintf(sz, sizeof sz,
                              "The plane cut refuses cell %lld: its point id %lld is not among the grid's %lld points.",
                              static_cast<long long>(c), static_cast<long long>(p), static_cast<long long>(nPts));
            else if (const double* x = pXyz + 3 * p; !WithinReach(x))
                std::snprintf(sz, sizeof sz, "The plane cut refuses cell %lld: its point %lld %s.",
                              static_cast<long long>(c), static_cast<long long>(p),
                              std::isfinite(x[0]) && std::isfinite(x[1]) && std::isfinite(x[2])
                                  ? kBeyondReach
                                  : "has a coordinate that is not finite");
            else
                continue;
            return Refuse(pGrid, sz);
        }
        const int nType = pGrid->GetCellType(c);
        if (nType == VTK_PIXEL || nType == VTK_VOXEL) {
            std::snprintf(
                sz, sizeof sz,
                "The plane cut refuses cell %lld: it is a %s (VTK cell type %d), a kind no model element has.",
                static_cast<long long>(c), nType == VTK_PIXEL ? "pixel" : "voxel", nType);
            return Refuse(pGrid, sz);
        }
        const T_CELL_SHAPE shape = ShapeOf(nType);
        const int nKinds = FaceKinds(nType, shape, n);
        bTriangles = bTriangles || (nKinds & kTriangleFaces) != 0;
        if (nKinds & kQuadFaces) {
            if (aOnQuad.empty())
                aOnQuad.assign(static_cast<size_t>(nPts), 0);
            for (int j = 0; j < shape.nCorner; ++j)
                aOnQuad[static_cast<size_t>(pIds[j])] = 1;
        }
        for (int e = 0; shape.bQuadratic && n >= shape.Nodes() && e < shape.nEdge; ++e)
            m_aEdgeNode.push_back({EdgeCode(static_cast<std::uint32_t>(pIds[shape.pEdge[e][0]]),
                                            static_cast<std::uint32_t>(pIds[shape.pEdge[e][1]])),
                                   static_cast<std::uint32_t>(pIds[shape.nCorner + e])});
    }
    std::sort(m_aEdgeNode.begin(), m_aEdgeNode.end());
    if (!bTriangles)
        std::vector<std::uint8_t>().swap(aOnQuad);
    return true;
}

// Only the edges of triangular faces whose ends are both corners of cells with quadrilaterals are
// kept: among them every one the face split asks about, a diagonal of a quadrilateral, and
// otherwise only edges where the two kinds meet.
void PlaneCutIndex::AddTriangleEdges(const vtkIdType* pIds, vtkIdType n, int nType,
                                     const std::vector<std::uint8_t>& aOnQuad)
{
    const T_CELL_SHAPE shape = ShapeOf(nType);
    if ((FaceKinds(nType, shape, n) & kTriangleFaces) == 0)
        return;
    int nOnQuad = 0;
    for (int j = 0; j < shape.nCorner; ++j)
        nOnQuad += aOnQuad[static_cast<size_t>(pIds[j])];
    if (nOnQuad < 2)
        return;
    const T_FACE_LIST* pFaces = SolidFacesOf(shape.nLinear);
    for (int f = 0; f < pFaces->nFace; ++f)
        for (int j = 0; FaceSize(pFaces->aCorner[f]) == 3 && j < 3; ++j) {
            const auto a = static_cast<std::uint32_t>(pIds[pFaces->aCorner[f][j]]);
            const auto b = static_cast<std::uint32_t>(pIds[pFaces->aCorner[f][(j + 1) % 3]]);
            if (aOnQuad[a] && aOnQuad[b])
                m_aTriangleEdge.push_back(EdgeCode(a, b));
        }
}

bool PlaneCutIndex::Build(vtkUnstructuredGrid* pGrid)
{
    Clear();
    if (!pGrid || !pGrid->GetCells() || pGrid->GetNumberOfCells() <= 0)
        return true;
    const vtkIdType nCells = pGrid->GetNumberOfCells(), nGridPts = pGrid->GetNumberOfPoints();
    // Cells, points and point references each counted in 32 bits.
    const std::uint64_t nLimit = std::numeric_limits<std::uint32_t>::max() / 32;
    if (static_cast<std::uint64_t>(nCells) > nLimit || static_cast<std::uint64_t>(nGridPts) > nLimit)
        return Refuse(pGrid, "The plane cut refuses the grid: it has more cells or points than 134217727.");
    if (!DoublePoints(pGrid)) {
        m_aXyz.resize(3 * static_cast<size_t>(nGridPts));
        for (vtkIdType p = 0; p < nGridPts; ++p)
            pGrid->GetPoints()->GetPoint(p, &m_aXyz[3 * static_cast<size_t>(p)]);
    }
    const double* pXyz = Points(pGrid);
    // The corners of cells with quadrilaterals the face split reads, in a mesh with triangular
    // faces too; empty otherwise.
    std::vector<std::uint8_t> aOnQuad;
    if (!Check(pGrid, pXyz, aOnQuad))
        return false;
    Order(pGrid, pXyz);
    Boxes(pGrid, pXyz);
    m_aCellStart.reserve(m_aOrder.size() + 1);
    m_aType.reserve(m_aOrder.size());
    m_aConn.reserve(static_cast<size_t>(pGrid->GetCells()->GetNumberOfConnectivityIds()));
    m_aCellStart.push_back(0);
    for (std::uint32_t c : m_aOrder) {
        vtkIdType nPts = 0;
        const vtkIdType* pIds = nullptr;
        pGrid->GetCellPoints(c, nPts, pIds);
        for (vtkIdType j = 0; j < nPts; ++j)
            m_aConn.push_back(static_cast<std::uint32_t>(pIds[j]));
        m_aCellStart.push_back(static_cast<std::uint32_t>(m_aConn.size()));
        const int nType = pGrid->GetCellType(c);
        m_aType.push_back(static_cast<std::uint8_t>(nType >= 0 && nType < 256 ? nType : 0));
        if (!aOnQuad.empty())
            AddTriangleEdges(pIds, nPts, nType, aOnQuad);
    }
    std::sort(m_aTriangleEdge.begin(), m_aTriangleEdge.end());
    m_aTriangleEdge.erase(std::unique(m_aTriangleEdge.begin(), m_aTriangleEdge.end()), m_aTriangleEdge.end());
    m_key = GridShapeKey::Of(pGrid);
    return true;
}

// Cells along the curve of their own boxes' centres.
void PlaneCutIndex::Order(vtkUnstructuredGrid* pGrid, const double* pXyz)
{
    const size_t nCount = static_cast<size_t>(pGrid->GetNumberOfCells());
    double dAll[6] = {HUGE_VAL, -HUGE_VAL, HUGE_VAL, -HUGE_VAL, HUGE_VAL, -HUGE_VAL};
    std::vector<std::uint64_t> aKey(nCount), aTmp(nCount);
    // Centres in double: in floats, cells at projected coordinates (1e8) share centres 8 m apart
    // and lose the curve's order.
    std::vector<double> aCentre(3 * nCount);
    const PlaneCutIndex none;
    for (size_t c = 0; c < nCount; ++c) {
        double b[6];
        CellBox(pGrid, pXyz, none, static_cast<vtkIdType>(c), b);
        UniteBox(dAll, b);
        for (size_t k = 0; k < 3; ++k)
            aCentre[3 * c + k] = (b[2 * k] + b[2 * k + 1]) / 2;
    }
    for (size_t c = 0; c < nCount; ++c) {
        const std::uint32_t code = Spread10(Quantise(aCentre[3 * c], dAll[0], dAll[1])) |
                                   Spread10(Quantise(aCentre[3 * c + 1], dAll[2], dAll[3])) << 1 |
                                   Spread10(Quantise(aCentre[3 * c + 2], dAll[4], dAll[5])) << 2;
        aKey[c] = static_cast<std::uint64_t>(code) << 32 | c;
    }
    std::vector<double>().swap(aCentre);
    // Least-significant-digit radix sort on the 30-bit code, stable, four bytes.
    for (int nShift = 32; nShift < 64; nShift += 8) {
        size_t aCount[257] = {};
        for (std::uint64_t k : aKey)
            ++aCount[((k >> nShift) & 0xFF) + 1];
        for (int d = 0; d < 256; ++d)
            aCount[d + 1] += aCount[d];
        for (std::uint64_t k : aKey)
            aTmp[aCount[(k >> nShift) & 0xFF]++] = k;
        aKey.swap(aTmp);
    }
    m_aOrder.resize(nCount);
    for (size_t i = 0; i < nCount; ++i)
        m_aOrder[i] = static_cast<std::uint32_t>(aKey[i] & 0xFFFFFFFFu);
}

// Per cell, in curve order, its box in floats rounded outwards: a plane whose values at the
// box's corners are of one sign misses the cell without its points being read. Leaves of
// kLeafCells cells, and the tree of their boxes up to the root.
void PlaneCutIndex::Boxes(vtkUnstructuredGrid* pGrid, const double* pXyz)
{
    const size_t nCount = m_aOrder.size();
    m_aCellBox.resize(6 * nCount);
    const size_t nLeaves = (nCount + kLeafCells - 1) / kLeafCells;
    std::vector<double> aLeaf(6 * nLeaves);
    for (size_t l = 0; l < nLeaves; ++l) {
        double* b = &aLeaf[6 * l];
        b[0] = b[2] = b[4] = HUGE_VAL;
        b[1] = b[3] = b[5] = -HUGE_VAL;
        const size_t nEnd = std::min(nCount, (l + 1) * kLeafCells);
        for (size_t i = l * kLeafCells; i < nEnd; ++i) {
            double cb[6];
            CellBox(pGrid, pXyz, *this, static_cast<vtkIdType>(m_aOrder[i]), cb);
            UniteBox(b, cb);
            float* fb = &m_aCellBox[6 * i];
            for (int k = 0; k < 3; ++k) {
                fb[2 * k] = FloatBelow(cb[2 * k]);
                fb[2 * k + 1] = FloatAbove(cb[2 * k + 1]);
            }
        }
    }
    m_aLevel.push_back(std::move(aLeaf));
    while (m_aLevel.back().size() > 6) {
        const std::vector<double>& below = m_aLevel.back();
        const size_t nBelow = below.size() / 6;
        std::vector<double> above(6 * ((nBelow + 1) / 2));
        for (size_t i = 0; i < nBelow; i += 2) {
            double* b = &above[6 * (i / 2)];
            std::copy(&below[6 * i], &below[6 * i] + 6, b);
            if (i + 1 < nBelow)
                UniteBox(b, &below[6 * (i + 1)]);
        }
        m_aLevel.push_back(std::move(above));
    }
}

GridShapeKey GridShapeKey::Of(vtkUnstructuredGrid* pGrid)
{
    GridShapeKey key;
    if (!pGrid || !pGrid->GetPoints() || !pGrid->GetCells())
        return key;
    vtkObject* pPts = pGrid->GetPoints()->GetData();
    vtkObject* pCells = pGrid->GetCells();
    key.nPoints = reinterpret_cast<std::uintptr_t>(pPts);
    key.nPointsTime = pPts->GetMTime();
    key.nCells = reinterpret_cast<std::uintptr_t>(pCells);
    key.nCellsTime = pCells->GetMTime();
    key.nCellCount = pGrid->GetNumberOfCells();
    return key;
}

} // namespace kvpvs::planecut
