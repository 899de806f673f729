#include "planecut/plane_cut.h"

#include "planecut/flat_clip.h"

#include <vtkCellArray.h>
#include <vtkCellData.h>
#include <vtkCellType.h>
#include <vtkDataSetSurfaceFilter.h>
#include <vtkDoubleArray.h>
#include <vtkFieldData.h>
#include <vtkGenericCell.h>
#include <vtkIdTypeArray.h>
#include <vtkMergePoints.h>
#include <vtkNew.h>
#include <vtkPointData.h>
#include <vtkPoints.h>
#include <vtkPolyData.h>
#include <vtkUnstructuredGrid.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstring>
#include <limits>
#include <set>
#include <unordered_set>

namespace kvpvs::planecut {

namespace {

// Edges of the linear cells cut here directly, as pairs of local point indices.
constexpr int kTetraEdges[][2] = {{0, 1}, {1, 2}, {2, 0}, {0, 3}, {1, 3}, {2, 3}};
constexpr int kHexEdges[][2] = {{0, 1}, {1, 2}, {3, 2}, {0, 3}, {4, 5}, {5, 6},
                                {7, 6}, {4, 7}, {0, 4}, {1, 5}, {3, 7}, {2, 6}};
constexpr int kVoxelEdges[][2] = {{0, 1}, {1, 3}, {2, 3}, {0, 2}, {4, 5}, {5, 7},
                                  {6, 7}, {4, 6}, {0, 4}, {1, 5}, {2, 6}, {3, 7}};
constexpr int kWedgeEdges[][2] = {{0, 1}, {1, 2}, {2, 0}, {3, 4}, {4, 5}, {5, 3}, {0, 3}, {1, 4}, {2, 5}};
constexpr int kPyramidEdges[][2] = {{0, 1}, {1, 2}, {2, 3}, {3, 0}, {0, 4}, {1, 4}, {2, 4}, {3, 4}};
constexpr int kTriangleEdges[][2] = {{0, 1}, {1, 2}, {2, 0}};
constexpr int kQuadEdges[][2] = {{0, 1}, {1, 2}, {2, 3}, {3, 0}};
constexpr int kPixelEdges[][2] = {{0, 1}, {1, 3}, {3, 2}, {2, 0}};

struct T_CELL_SHAPE {
    int nDim = 0;      // 0: not cut here
    int nCorner = 0;   // corner points (the first ones of the cell)
    int nEdge = 0;
    const int (*pEdge)[2] = nullptr;
    bool bLinear = false;
};

T_CELL_SHAPE ShapeOf(int nType)
{
    switch (nType) {
    case VTK_TETRA: return {3, 4, 6, kTetraEdges, true};
    case VTK_HEXAHEDRON: return {3, 8, 12, kHexEdges, true};
    case VTK_VOXEL: return {3, 8, 12, kVoxelEdges, true};
    case VTK_WEDGE: return {3, 6, 9, kWedgeEdges, true};
    case VTK_PYRAMID: return {3, 5, 8, kPyramidEdges, true};
    case VTK_TRIANGLE: return {2, 3, 3, kTriangleEdges, true};
    case VTK_QUAD: return {2, 4, 4, kQuadEdges, true};
    case VTK_PIXEL: return {2, 4, 4, kPixelEdges, true};
    // Curved cells: cut through VTK's own contour of the cell; corners as in the linear forms.
    case VTK_QUADRATIC_TETRA: return {3, 4, 0, nullptr, false};
    case VTK_QUADRATIC_HEXAHEDRON:
    case VTK_TRIQUADRATIC_HEXAHEDRON: return {3, 8, 0, nullptr, false};
    case VTK_QUADRATIC_WEDGE: return {3, 6, 0, nullptr, false};
    case VTK_QUADRATIC_PYRAMID: return {3, 5, 0, nullptr, false};
    case VTK_QUADRATIC_TRIANGLE: return {2, 3, 0, nullptr, false};
    case VTK_QUADRATIC_QUAD:
    case VTK_BIQUADRATIC_QUAD: return {2, 4, 0, nullptr, false};
    default: return {};
    }
}

// The grid's coordinates when its points are a double array of them; null otherwise.
const double* DoublePoints(vtkUnstructuredGrid* pGrid)
{
    vtkPoints* pPoints = pGrid ? pGrid->GetPoints() : nullptr;
    auto* pArr = pPoints ? vtkDoubleArray::SafeDownCast(pPoints->GetData()) : nullptr;
    return pArr && pArr->GetNumberOfComponents() == 3 && pArr->GetNumberOfTuples() > 0 ? pArr->GetPointer(0)
                                                                                       : nullptr;
}

// Coordinates of the grid's points: straight from a double array when they are one.
class CPointReader {
public:
    explicit CPointReader(vtkPoints* pPoints) : m_pPoints(pPoints)
    {
        auto* pArr = pPoints ? vtkDoubleArray::SafeDownCast(pPoints->GetData()) : nullptr;
        if (pArr && pArr->GetNumberOfComponents() == 3 && pArr->GetNumberOfTuples() > 0)
            m_pXyz = pArr->GetPointer(0);
    }
    void Get(vtkIdType nId, double x[3]) const
    {
        if (m_pXyz)
            std::memcpy(x, m_pXyz + 3 * nId, 3 * sizeof(double));
        else
            m_pPoints->GetPoint(nId, x);
    }

private:
    vtkPoints* m_pPoints;
    const double* m_pXyz = nullptr;
};

// Cut points keyed by where they lie in the grid: a grid point (b = -1) or the crossing of the
// edge (a, b), a < b. Cells sharing an edge share its point; cells with points of their own
// (plates) keep their own values there.
class CCutPointTable {
public:
    CCutPointTable() : m_aSlot(1024) {}
    // The id stored for the key, or -1 with the slot remembered for Insert.
    vtkIdType Find(vtkIdType a, vtkIdType b)
    {
        const size_t nMask = m_aSlot.size() - 1;
        for (size_t h = Hash(a, b) & nMask;; h = (h + 1) & nMask) {
            const T_SLOT& s = m_aSlot[h];
            if (s.nId < 0) {
                m_nFree = h;
                return -1;
            }
            if (s.a == a && s.b == b)
                return s.nId;
        }
    }
    void Insert(vtkIdType a, vtkIdType b, vtkIdType nId)
    {
        m_aSlot[m_nFree] = {a, b, nId};
        if (2 * ++m_nUsed > m_aSlot.size())
            Grow();
    }

private:
    struct T_SLOT {
        vtkIdType a = 0, b = 0, nId = -1;
    };
    static size_t Hash(vtkIdType a, vtkIdType b)
    {
        std::uint64_t h = static_cast<std::uint64_t>(a) * 0x9E3779B97F4A7C15ull;
        h ^= static_cast<std::uint64_t>(b) + 0x7F4A7C159E3779B9ull + (h << 6) + (h >> 2);
        h ^= h >> 33;
        h *= 0xFF51AFD7ED558CCDull;
        h ^= h >> 33;
        return static_cast<size_t>(h);
    }
    void Grow()
    {
        std::vector<T_SLOT> aOld(m_aSlot.size() * 2);
        aOld.swap(m_aSlot);
        const size_t nMask = m_aSlot.size() - 1;
        for (const T_SLOT& s : aOld) {
            if (s.nId < 0)
                continue;
            size_t h = Hash(s.a, s.b) & nMask;
            while (m_aSlot[h].nId >= 0)
                h = (h + 1) & nMask;
            m_aSlot[h] = s;
        }
    }
    std::vector<T_SLOT> m_aSlot;
    size_t m_nUsed = 0;
    size_t m_nFree = 0;
};

// A point array's values when it is a double array of one tuple per grid point; null otherwise.
const double* DoubleValues(vtkDataArray* pArr, vtkIdType nGridPts)
{
    auto* pD = vtkDoubleArray::SafeDownCast(pArr);
    return pD && nGridPts > 0 && pD->GetNumberOfTuples() == nGridPts ? pD->GetPointer(0) : nullptr;
}

// The grid's point arrays at the cut points, appended in point order: double arrays by direct
// arithmetic, others through VTK's tuple interpolation. Attribute roles (scalars, vectors...)
// carry over to the cut.
class CCutValues {
public:
    CCutValues(vtkPointData* pIn, vtkIdType nGridPts) : m_pIn(pIn)
    {
        for (int a = 0; pIn && a < pIn->GetNumberOfArrays(); ++a) {
            vtkDataArray* pArr = pIn->GetArray(a);
            if (!pArr)
                continue;
            T_ARR arr;
            arr.pIn = pArr;
            arr.nComp = pArr->GetNumberOfComponents();
            arr.pInD = DoubleValues(pArr, nGridPts);
            if (!arr.pInD) {
                arr.pOut = vtkSmartPointer<vtkDataArray>::Take(pArr->NewInstance());
                arr.pOut->SetNumberOfComponents(arr.nComp);
                arr.pOut->SetName(pArr->GetName());
            }
            m_aArr.push_back(std::move(arr));
        }
    }
    // From grid point nFrom.
    void Copy(vtkIdType nFrom, vtkIdType nTo)
    {
        for (T_ARR& a : m_aArr) {
            if (a.pInD) {
                const double* v = a.pInD + static_cast<size_t>(nFrom) * static_cast<size_t>(a.nComp);
                a.aOut.insert(a.aOut.end(), v, v + a.nComp);
            } else {
                a.pOut->InsertTuple(nTo, nFrom, a.pIn);
            }
        }
    }
    // v = va + t (vb - va), as the coordinates.
    void Interpolate(vtkIdType na, vtkIdType nb, double t, vtkIdType nTo)
    {
        for (T_ARR& a : m_aArr) {
            if (a.pInD) {
                const double* va = a.pInD + static_cast<size_t>(na) * static_cast<size_t>(a.nComp);
                const double* vb = a.pInD + static_cast<size_t>(nb) * static_cast<size_t>(a.nComp);
                for (int k = 0; k < a.nComp; ++k)
                    a.aOut.push_back(va[k] + t * (vb[k] - va[k]));
            } else {
                a.pOut->InterpolateTuple(nTo, na, a.pIn, nb, a.pIn, t);
            }
        }
    }
    // v = v0 + l1 (v1 - v0) + l2 (v2 - v0) of grid points g, or of cut points: exact for
    // values linear in space.
    void Barycentric(const vtkIdType g[3], double l1, double l2, vtkIdType nTo, bool bCutPoints)
    {
        std::vector<double> v[3];
        for (T_ARR& a : m_aArr) {
            const size_t n = static_cast<size_t>(a.nComp);
            for (int e = 0; e < 3; ++e) {
                v[e].resize(n);
                if (a.pInD && bCutPoints)
                    std::copy_n(&a.aOut[static_cast<size_t>(g[e]) * n], n, v[e].data());
                else if (a.pInD)
                    std::copy_n(a.pInD + static_cast<size_t>(g[e]) * n, n, v[e].data());
                else
                    (bCutPoints ? a.pOut.Get() : a.pIn)->GetTuple(g[e], v[e].data());
            }
            for (size_t k = 0; k < n; ++k)
                v[0][k] += l1 * (v[1][k] - v[0][k]) + l2 * (v[2][k] - v[0][k]);
            if (a.pInD)
                a.aOut.insert(a.aOut.end(), v[0].begin(), v[0].end());
            else
                a.pOut->InsertTuple(nTo, v[0].data());
        }
    }
    // A point of another cut of the same grid's point data (arrays found by name).
    void CopyFrom(vtkPointData* pOther, vtkIdType nFrom, vtkIdType nTo)
    {
        for (T_ARR& a : m_aArr) {
            vtkDataArray* pSrc = a.pIn->GetName() ? pOther->GetArray(a.pIn->GetName()) : nullptr;
            if (!pSrc)
                pSrc = pOther->GetScalars();
            if (a.pInD) {
                for (int k = 0; k < a.nComp; ++k)
                    a.aOut.push_back(pSrc && k < pSrc->GetNumberOfComponents() ? pSrc->GetComponent(nFrom, k) : 0.0);
            } else if (pSrc) {
                a.pOut->InsertTuple(nTo, nFrom, pSrc);
            }
        }
    }
    void Finish(vtkPointData* pOut)
    {
        for (T_ARR& a : m_aArr) {
            if (a.pInD) {
                vtkNew<vtkDoubleArray> pD;
                pD->SetNumberOfComponents(a.nComp);
                pD->SetName(a.pIn->GetName());
                pD->SetNumberOfTuples(static_cast<vtkIdType>(a.aOut.size() / static_cast<size_t>(a.nComp)));
                std::copy(a.aOut.begin(), a.aOut.end(), pD->GetPointer(0));
                a.pOut = pD.Get();
            }
            const int nIdx = pOut->AddArray(a.pOut);
            for (int k = 0; k < vtkDataSetAttributes::NUM_ATTRIBUTES; ++k)
                if (m_pIn->GetAttribute(k) == a.pIn)
                    pOut->SetActiveAttribute(nIdx, k);
        }
    }

private:
    struct T_ARR {
        vtkDataArray* pIn = nullptr;
        const double* pInD = nullptr;
        int nComp = 1;
        std::vector<double> aOut;
        vtkSmartPointer<vtkDataArray> pOut;
    };
    vtkPointData* m_pIn;
    std::vector<T_ARR> m_aArr;
};

// A number that grows with the angle of (x, y) from the x axis, in [0, 4): the order of atan2
// without its cost.
double Turn(double x, double y)
{
    const double r = std::fabs(x) + std::fabs(y);
    if (!(r > 0.0))
        return 0.0;
    const double p = y / r; // sine-like, -1 .. 1
    return x >= 0.0 ? (y >= 0.0 ? p : 4.0 + p) : 2.0 - p;
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

bool PlaneCutIndex::Matches(vtkUnstructuredGrid* pGrid) const
{
    return !m_aLevel.empty() && GridShapeKey::Of(pGrid) == m_key;
}

void PlaneCutIndex::Clear()
{
    m_key = GridShapeKey{};
    m_aOrder.clear();
    m_aOrder.shrink_to_fit();
    for (auto* v : {&m_aCellBox})
        std::vector<float>().swap(*v);
    for (auto* v : {&m_aCellStart, &m_aConn})
        std::vector<std::uint32_t>().swap(*v);
    std::vector<std::uint8_t>().swap(m_aType);
    std::vector<double>().swap(m_aXyz);
    m_aLevel.clear();
    for (double& b : m_dBounds)
        b = 0.0;
}

size_t PlaneCutIndex::MemoryBytes() const
{
    size_t n = (m_aOrder.capacity() + m_aCellStart.capacity() + m_aConn.capacity()) *
                   sizeof(std::uint32_t) +
               m_aCellBox.capacity() * sizeof(float) + m_aType.capacity() + m_aXyz.capacity() * sizeof(double);
    for (const auto& l : m_aLevel)
        n += l.capacity() * sizeof(double);
    return n;
}

void PlaneCutIndex::Build(vtkUnstructuredGrid* pGrid)
{
    Clear();
    if (!pGrid || !pGrid->GetPoints() || !pGrid->GetCells())
        return;
    const vtkIdType nCells = pGrid->GetNumberOfCells();
    // Cells, points and point references each counted in 32 bits.
    const std::uint64_t nLimit = std::numeric_limits<std::uint32_t>::max() / 32;
    if (nCells <= 0 || static_cast<std::uint64_t>(nCells) > nLimit ||
        static_cast<std::uint64_t>(pGrid->GetNumberOfPoints()) > nLimit)
        return;
    const CPointReader reader(pGrid->GetPoints());
    auto cellBox = [&](vtkIdType c, double b[6]) {
        b[0] = b[2] = b[4] = HUGE_VAL;
        b[1] = b[3] = b[5] = -HUGE_VAL;
        vtkIdType n = 0;
        const vtkIdType* pIds = nullptr;
        pGrid->GetCellPoints(c, n, pIds);
        for (vtkIdType j = 0; j < n; ++j) {
            double x[3];
            reader.Get(pIds[j], x);
            for (int k = 0; k < 3; ++k) {
                b[2 * k] = std::min(b[2 * k], x[k]);
                b[2 * k + 1] = std::max(b[2 * k + 1], x[k]);
            }
        }
    };
    double dAll[6] = {HUGE_VAL, -HUGE_VAL, HUGE_VAL, -HUGE_VAL, HUGE_VAL, -HUGE_VAL};
    const size_t nCount = static_cast<size_t>(nCells);
    std::vector<std::uint64_t> aKey(nCount), aTmp(nCount);
    // Centres in double: in floats, cells at projected coordinates (1e8) share centres 8 m apart
    // and lose the curve's order.
    std::vector<double> aCentre(3 * nCount);
    for (vtkIdType c = 0; c < nCells; ++c) {
        double b[6];
        cellBox(c, b);
        UniteBox(dAll, b);
        for (int k = 0; k < 3; ++k)
            aCentre[3 * static_cast<size_t>(c) + static_cast<size_t>(k)] = (b[2 * k] + b[2 * k + 1]) / 2;
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
    std::vector<std::uint64_t>().swap(aTmp);
    m_aOrder.resize(nCount);
    for (size_t i = 0; i < nCount; ++i)
        m_aOrder[i] = static_cast<std::uint32_t>(aKey[i] & 0xFFFFFFFFu);
    std::vector<std::uint64_t>().swap(aKey);

    // Per cell, in curve order, its box in floats rounded outwards: a plane whose values at the
    // box's corners are of one sign misses the cell without its points being read.
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
            cellBox(static_cast<vtkIdType>(m_aOrder[i]), cb);
            UniteBox(b, cb);
            float* fb = &m_aCellBox[6 * i];
            for (int k = 0; k < 3; ++k) {
                fb[2 * k] = FloatBelow(cb[2 * k]);
                fb[2 * k + 1] = FloatAbove(cb[2 * k + 1]);
            }
        }
    }
    m_aLevel.push_back(std::move(aLeaf));

    // Sized once: grown by doubling they would hold up to twice what they keep.
    m_aCellStart.reserve(nCount + 1);
    m_aType.reserve(nCount);
    m_aConn.reserve(static_cast<size_t>(pGrid->GetCells()->GetNumberOfConnectivityIds()));
    m_aCellStart.push_back(0);
    for (size_t i = 0; i < nCount; ++i) {
        const vtkIdType c = static_cast<vtkIdType>(m_aOrder[i]);
        vtkIdType nPts = 0;
        const vtkIdType* pIds = nullptr;
        pGrid->GetCellPoints(c, nPts, pIds);
        for (vtkIdType j = 0; j < nPts; ++j)
            m_aConn.push_back(static_cast<std::uint32_t>(pIds[j]));
        m_aCellStart.push_back(static_cast<std::uint32_t>(m_aConn.size()));
        const int nType = pGrid->GetCellType(c);
        m_aType.push_back(static_cast<std::uint8_t>(nType >= 0 && nType < 256 ? nType : 0));
    }
    if (!DoublePoints(pGrid)) {
        const vtkIdType nGridPts = pGrid->GetNumberOfPoints();
        m_aXyz.resize(3 * static_cast<size_t>(nGridPts));
        for (vtkIdType p = 0; p < nGridPts; ++p)
            reader.Get(p, &m_aXyz[3 * static_cast<size_t>(p)]);
    }
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
    std::copy(dAll, dAll + 6, m_dBounds);
    m_key = GridShapeKey::Of(pGrid);
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

void KeptSurface::Clear()
{
    m_key = GridShapeKey{};
    m_pSurface = nullptr;
    m_pPointIds = nullptr;
    m_pCellIds = nullptr;
}

namespace {

// Faces of the linear solid cells, as a surface filter lists them: corner indices, -1 after a
// triangle's third.
struct T_FACE_LIST {
    int nPoint = 0;
    int nFace = 0;
    int aCorner[6][4] = {};
};
const T_FACE_LIST* SolidFacesOf(int nType)
{
    static const T_FACE_LIST kHex{8, 6, {{0, 1, 5, 4}, {0, 3, 2, 1}, {0, 4, 7, 3}, {1, 2, 6, 5}, {2, 3, 7, 6}, {4, 5, 6, 7}}};
    static const T_FACE_LIST kVoxel{8, 6, {{0, 1, 5, 4}, {0, 2, 3, 1}, {0, 4, 6, 2}, {1, 3, 7, 5}, {2, 6, 7, 3}, {4, 5, 7, 6}}};
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

// The linear cell whose corners and faces a cell has.
int LinearTypeOf(int nType)
{
    switch (nType) {
    case VTK_QUADRATIC_TETRA: return VTK_TETRA;
    case VTK_QUADRATIC_HEXAHEDRON:
    case VTK_TRIQUADRATIC_HEXAHEDRON: return VTK_HEXAHEDRON;
    case VTK_QUADRATIC_WEDGE: return VTK_WEDGE;
    case VTK_QUADRATIC_PYRAMID: return VTK_PYRAMID;
    case VTK_QUADRATIC_TRIANGLE: return VTK_TRIANGLE;
    case VTK_QUADRATIC_QUAD:
    case VTK_BIQUADRATIC_QUAD: return VTK_QUAD;
    default: return nType;
    }
}

// The first face of a solid (edge of a 2-D cell) whose corners all lie on the plane, by the
// plane's values at the cell's points: its corner count, its corners in turn into aCorner when
// given; 0 when there is none.
int ZeroFace(int nType, const double* pS, int aCorner[4])
{
    const int nLinear = LinearTypeOf(nType);
    if (const T_FACE_LIST* pFaces = SolidFacesOf(nLinear)) {
        for (int f = 0; f < pFaces->nFace; ++f) {
            const int* pC = pFaces->aCorner[f];
            const int n = pC[3] < 0 ? 3 : 4;
            bool bZero = true;
            for (int j = 0; j < n; ++j)
                bZero = bZero && pS[pC[j]] == 0.0;
            if (bZero) {
                if (aCorner)
                    std::copy(pC, pC + n, aCorner);
                return n;
            }
        }
        return 0;
    }
    const T_CELL_SHAPE shape = ShapeOf(nLinear);
    for (int e = 0; shape.nDim == 2 && e < shape.nEdge; ++e)
        if (pS[shape.pEdge[e][0]] == 0.0 && pS[shape.pEdge[e][1]] == 0.0) {
            if (aCorner)
                std::copy(shape.pEdge[e], shape.pEdge[e] + 2, aCorner);
            return 2;
        }
    return 0;
}

// An edge by its ends' grid ids, in either order.
std::uint64_t EdgeKey(std::uint32_t a, std::uint32_t b)
{
    return static_cast<std::uint64_t>(std::min(a, b)) << 32 | std::max(a, b);
}

// Whether two plane values lie on either side of it.
bool Opposite(double a, double b) { return (a < 0.0 && b > 0.0) || (a > 0.0 && b < 0.0); }

// Whether a quadrilateral face of the solid is bent through the plane, by the plane's values at
// the cell's points: its corners off the plane on either side in turn (a saddle), on both sides
// with one on it, or on both sides with a crossed diagonal that cells split in triangles have as
// an edge (aSplit: keys of such edges). The cells on its two sides then cut it along different
// lines. The corners of each such face (grid ids) go into aCorner, its crossed diagonals
// (corner pairs) into aDiagonal.
bool QuadBentThrough(int nType, const double* pS, const std::uint32_t* pCellPts,
                     const std::unordered_set<std::uint64_t>& aSplit, std::unordered_set<std::uint32_t>& aCorner,
                     std::vector<std::array<int, 2>>& aDiagonal)
{
    const T_FACE_LIST* pFaces = SolidFacesOf(nType);
    bool bAny = false;
    for (int f = 0; pFaces && f < pFaces->nFace; ++f) {
        const int* pC = pFaces->aCorner[f];
        if (pC[3] < 0)
            continue;
        bool bNeg = false, bPos = false, bZero = false, bTurns = true;
        for (int j = 0; j < 4; ++j) {
            const double a = pS[pC[j]], b = pS[pC[(j + 1) % 4]];
            bNeg = bNeg || a < 0.0, bPos = bPos || a > 0.0, bZero = bZero || a == 0.0;
            bTurns = bTurns && Opposite(a, b);
        }
        // The diagonals that cross the plane, and whether cells split in triangles have one.
        std::array<int, 2> aCrossed[2];
        int nCrossed = 0;
        bool bSplit = false;
        for (int j = 0; j < 2; ++j) {
            if (!Opposite(pS[pC[j]], pS[pC[j + 2]]))
                continue;
            aCrossed[nCrossed++] = {pC[j], pC[j + 2]};
            bSplit = bSplit || aSplit.count(EdgeKey(pCellPts[pC[j]], pCellPts[pC[j + 2]])) > 0;
        }
        if (!(bTurns || (bZero && bNeg && bPos) || bSplit))
            continue;
        bAny = true;
        for (int j = 0; j < 4; ++j)
            aCorner.insert(pCellPts[pC[j]]);
        aDiagonal.insert(aDiagonal.end(), aCrossed, aCrossed + nCrossed);
    }
    return bAny;
}

// A face's points turned, keeping their sense, so that the smallest id comes first (a tie
// turns nothing); its size, 3 or 4.
int FacePoints(const vtkIdType* pIds, const int* pCorner, vtkIdType f[4])
{
    const int n = pCorner[3] < 0 ? 3 : 4;
    vtkIdType v[4];
    for (int j = 0; j < n; ++j)
        v[j] = pIds[pCorner[j]];
    int nFirst = 0;
    for (int j = 1; j < n; ++j) {
        bool bLeast = true;
        for (int k = 0; k < n; ++k)
            bLeast = bLeast && (k == j || v[j] < v[k]);
        if (bLeast)
            nFirst = j;
    }
    for (int j = 0; j < n; ++j)
        f[j] = v[(nFirst + j) % n];
    return n;
}

// Two turned faces are one when they have the same points: a triangle's last two and a
// quadrilateral's second and fourth in either order.
bool SameFace(const vtkIdType* f, int n, const vtkIdType* g, int m)
{
    if (n != m || f[0] != g[0])
        return false;
    if (n == 3)
        return (f[1] == g[1] && f[2] == g[2]) || (f[1] == g[2] && f[2] == g[1]);
    return f[2] == g[2] && ((f[1] == g[1] && f[3] == g[3]) || (f[1] == g[3] && f[3] == g[1]));
}

// The boundary faces of a grid of linear solid cells, as the surface filter gives them
// (faces grouped by their smallest point id, in the order the cells list them; points in order
// of first use), without its per-face allocations: faces are listed by cell and face number,
// 4 bytes each, and compared within their group. False for any other grid.
bool SolidBoundary(vtkUnstructuredGrid* pGrid, vtkPolyData* pSurf, vtkIdTypeArray* pPointIds,
                   vtkIdTypeArray* pCellIds)
{
    vtkPoints* pPts = pGrid->GetPoints();
    const vtkIdType nCells = pGrid->GetNumberOfCells();
    const vtkIdType nPts = pPts ? pPts->GetNumberOfPoints() : 0;
    if (nCells <= 0 || nPts <= 0 || nCells >= (vtkIdType{1} << 28) || nPts >= (vtkIdType{1} << 31) ||
        pGrid->GetPointGhostArray() || pGrid->GetCellGhostArray())
        return false;
    vtkIdType n = 0;
    const vtkIdType* pIds = nullptr;
    std::vector<std::uint32_t> aFirst(static_cast<size_t>(nPts) + 1, 0);
    vtkIdType f[4];
    for (vtkIdType c = 0; c < nCells; ++c) {
        const T_FACE_LIST* pFaces = SolidFacesOf(pGrid->GetCellType(c));
        pGrid->GetCellPoints(c, n, pIds);
        if (!pFaces || n < pFaces->nPoint)
            return false;
        for (int j = 0; j < pFaces->nPoint; ++j)
            if (pIds[j] < 0 || pIds[j] >= nPts)
                return false;
        for (int k = 0; k < pFaces->nFace; ++k) {
            FacePoints(pIds, pFaces->aCorner[k], f);
            ++aFirst[static_cast<size_t>(f[0]) + 1];
        }
    }
    for (size_t p = 0; p < static_cast<size_t>(nPts); ++p)
        aFirst[p + 1] += aFirst[p];
    std::vector<std::uint32_t> aFace(aFirst.back());
    {
        std::vector<std::uint32_t> aNext(aFirst.begin(), aFirst.end() - 1);
        for (vtkIdType c = 0; c < nCells; ++c) {
            const T_FACE_LIST* pFaces = SolidFacesOf(pGrid->GetCellType(c));
            pGrid->GetCellPoints(c, n, pIds);
            for (int k = 0; k < pFaces->nFace; ++k) {
                FacePoints(pIds, pFaces->aCorner[k], f);
                aFace[aNext[static_cast<size_t>(f[0])]++] = static_cast<std::uint32_t>(c) << 3 | static_cast<std::uint32_t>(k);
            }
        }
    }
    auto facePoints = [&](std::uint32_t nRef, vtkIdType g[4]) {
        const vtkIdType c = static_cast<vtkIdType>(nRef >> 3);
        pGrid->GetCellPoints(c, n, pIds);
        return FacePoints(pIds, SolidFacesOf(pGrid->GetCellType(c))->aCorner[nRef & 7], g);
    };
    auto pNewPts = vtkSmartPointer<vtkPoints>::New();
    pNewPts->SetDataType(pPts->GetDataType());
    vtkNew<vtkCellArray> pPolys;
    std::vector<vtkIdType> aOut(static_cast<size_t>(nPts), -1);
    pPointIds->SetNumberOfComponents(1);
    pCellIds->SetNumberOfComponents(1);
    // One group's faces: their points, then which are shared.
    std::vector<std::array<vtkIdType, 5>> aGroup;
    for (size_t p = 0; p < static_cast<size_t>(nPts); ++p) {
        aGroup.resize(aFirst[p + 1] - aFirst[p]);
        for (size_t i = 0; i < aGroup.size(); ++i)
            aGroup[i][4] = facePoints(aFace[aFirst[p] + i], aGroup[i].data());
        for (size_t i = 0; i < aGroup.size(); ++i) {
            const vtkIdType* g = aGroup[i].data();
            const int nf = static_cast<int>(g[4]);
            bool bShared = false;
            for (size_t j = 0; j < aGroup.size() && !bShared; ++j)
                bShared = j != i && SameFace(g, nf, aGroup[j].data(), static_cast<int>(aGroup[j][4]));
            if (bShared)
                continue;
            vtkIdType aCell[4];
            for (int j = 0; j < nf; ++j) {
                vtkIdType& r = aOut[static_cast<size_t>(g[j])];
                if (r < 0) {
                    r = pNewPts->InsertNextPoint(pPts->GetPoint(g[j]));
                    pPointIds->InsertNextValue(g[j]);
                }
                aCell[j] = r;
            }
            pPolys->InsertNextCell(nf, aCell);
            pCellIds->InsertNextValue(static_cast<vtkIdType>(aFace[aFirst[p] + i] >> 3));
        }
    }
    pSurf->SetPoints(pNewPts);
    pSurf->SetPolys(pPolys);
    pSurf->GetFieldData()->ShallowCopy(pGrid->GetFieldData());
    return true;
}

} // namespace

void KeptSurface::Make(vtkUnstructuredGrid* pGrid, vtkDataSetSurfaceFilter* pFilter, vtkPolyData* pOut)
{
    const GridShapeKey key = GridShapeKey::Of(pGrid);
    if (!m_pSurface || !(key == m_key)) {
        Clear();
        auto pSolid = vtkSmartPointer<vtkPolyData>::New();
        auto pSolidPointIds = vtkSmartPointer<vtkIdTypeArray>::New();
        auto pSolidCellIds = vtkSmartPointer<vtkIdTypeArray>::New();
        if (SolidBoundary(pGrid, pSolid, pSolidPointIds, pSolidCellIds)) {
            m_pSurface = pSolid;
            m_pPointIds = pSolidPointIds;
            m_pCellIds = pSolidCellIds;
            m_key = key;
        }
    }
    if (!m_pSurface) {
        // The filter first sees the grid's points and cells alone: the values of the surface are
        // then gathered as for a kept surface, and the filter sizes no value arrays by the grid.
        auto pShape = vtkSmartPointer<vtkUnstructuredGrid>::New();
        pShape->ShallowCopy(pGrid);
        pShape->GetPointData()->Initialize();
        pShape->GetCellData()->Initialize();
        pFilter->SetInputData(pShape);
        pFilter->PassThroughPointIdsOn();
        pFilter->PassThroughCellIdsOn();
        pFilter->Update();
        auto pSurf = vtkSmartPointer<vtkPolyData>::New();
        pSurf->ShallowCopy(pFilter->GetOutput());
        pFilter->SetInputData(nullptr);
        pFilter->GetOutput()->Initialize();
        pShape = nullptr;
        auto takeIds = [](vtkDataSetAttributes* pData, const char* pszName) {
            vtkSmartPointer<vtkIdTypeArray> pIds = vtkIdTypeArray::SafeDownCast(pData->GetArray(pszName));
            pData->RemoveArray(pszName);
            return pIds;
        };
        const auto pPointIds = takeIds(pSurf->GetPointData(), pFilter->GetOriginalPointIdsName());
        const auto pCellIds = takeIds(pSurf->GetCellData(), pFilter->GetOriginalCellIdsName());
        // Kept only when every surface point is a grid point and every face a grid cell's:
        // points the filter makes inside a face take interpolated values, and are filtered again
        // with the values.
        auto within = [](vtkIdTypeArray* pIds, vtkIdType nCount, vtkIdType nMax) {
            bool bIn = pIds && pIds->GetNumberOfTuples() == nCount;
            for (vtkIdType i = 0; bIn && i < nCount; ++i)
                bIn = pIds->GetValue(i) >= 0 && pIds->GetValue(i) < nMax;
            return bIn;
        };
        if (!within(pPointIds, pSurf->GetNumberOfPoints(), pGrid->GetNumberOfPoints()) ||
            !within(pCellIds, pSurf->GetNumberOfCells(), pGrid->GetNumberOfCells())) {
            pSurf = nullptr;
            pFilter->SetInputData(pGrid);
            pFilter->PassThroughPointIdsOff();
            pFilter->PassThroughCellIdsOff();
            pFilter->Update();
            pOut->DeepCopy(pFilter->GetOutput());
            return;
        }
        pSurf->GetPointData()->Initialize();
        pSurf->GetCellData()->Initialize();
        m_pSurface = pSurf;
        m_pPointIds = pPointIds;
        m_pCellIds = pCellIds;
        m_key = key;
    }
    auto pSurf = vtkSmartPointer<vtkPolyData>::New();
    pSurf->ShallowCopy(m_pSurface);
    auto gather = [](vtkDataSetAttributes* pFrom, vtkDataSetAttributes* pTo, vtkIdTypeArray* pIds) {
        const vtkIdType n = pIds->GetNumberOfTuples();
        pTo->CopyAllocate(pFrom, n);
        for (vtkIdType i = 0; i < n; ++i)
            pTo->CopyData(pFrom, pIds->GetValue(i), i);
    };
    gather(pGrid->GetPointData(), pSurf->GetPointData(), m_pPointIds);
    gather(pGrid->GetCellData(), pSurf->GetCellData(), m_pCellIds);
    pOut->DeepCopy(pSurf);
}

namespace {

// Cell arrays of VTK's own layout from plain offsets and connectivity.
vtkSmartPointer<vtkCellArray> CellArrayOf(const std::vector<vtkIdType>& aOffset, const std::vector<vtkIdType>& aConn)
{
    vtkNew<vtkIdTypeArray> pOff, pConn;
    pOff->SetNumberOfValues(static_cast<vtkIdType>(aOffset.size()));
    std::copy(aOffset.begin(), aOffset.end(), pOff->GetPointer(0));
    pConn->SetNumberOfValues(static_cast<vtkIdType>(aConn.size()));
    std::copy(aConn.begin(), aConn.end(), pConn->GetPointer(0));
    auto pCells = vtkSmartPointer<vtkCellArray>::New();
    pCells->SetData(pOff, pConn);
    return pCells;
}

// The cut of one plane in stages, as a cutter filter runs them: the cells the index gives are
// cut in turn (linear cells exactly, curved ones through VTK's cell contour), the faces lying in
// the plane are settled once every cell was seen, and the pieces, gathered in plain arrays, are
// handed to VTK once at the end.
//
// A cell touching the plane from one side gives a face only when every corner of one of its
// faces lies on it: three corners of a quadrilateral on the plane and the fourth a rounding
// off are no face, the cell across crossing the plane cuts that area. A face from below is cut
// at once; one from above waits until every cell was seen and is dropped where its twin by
// corners was cut below. Where faces still overlap (the two sides divide an area differently, a
// node off the plane makes a cell across cross it, a mesh does not conform), a face from below
// is cut less the crossing cells' polygons and a face from above less those and the faces from
// below, exactly, in coordinates from its own corner; a crossing cell with corners on the plane
// or beside a quadrilateral bent through it, that lies above, less such cells below (m_aBent). Every point of the plane
// counts once.
class PlaneCutter {
public:
    PlaneCutter(vtkUnstructuredGrid* pGrid, const PlaneCutIndex& index, const double origin[3],
                const double normal[3], PlaneCut& cut);
    // Cuts every cell the index gives, then the in-plane faces left waiting; the cells visited.
    vtkIdType CutCells();
    // The curved cells' pieces after the exact ones, then points, pieces, point and cell data
    // into the cut's output.
    void Finish();

private:
    vtkIdType NewPoint(const double x[3]);
    vtkIdType CutPoint(std::uint32_t a, std::uint32_t b, bool bEdge, double sa, double sb, double x[3]);
    void CutCell(size_t i, bool bPending);
    void CutLinear(vtkIdType c, const T_CELL_SHAPE& shape, const std::uint32_t* pCellPts);
    void AddCellPoint(vtkIdType nId, const double x[3]);
    void AddSegment(vtkIdType c);
    void AddPolygon(vtkIdType c);
    void AddHull(vtkIdType c);
    void CutCurved(vtkIdType c, double dSign);
    std::vector<double> FaceKey(const T_CELL_SHAPE& shape, const std::uint32_t* pCellPts) const;
    void Prefetch(size_t i) const;
    // The faces lying in the plane, once every cell was cut.
    struct T_FLAT;
    struct T_CLIPPED;
    void SettleFaces();
    bool FlatCorners(size_t i, T_FLAT& face) const;
    struct T_BENT {
        size_t nCell, nExact;
        bool bAbove;
    };
    bool BentPolygon(const T_BENT& bent, T_FLAT& face) const;
    const double* CornerXyz(const T_FLAT& face, int j) const;
    void FlatOf(const T_FLAT& face, const double* pRef, FlatPolygon& uv) const;
    bool FlatBox(T_FLAT& face) const;
    // x in the plane's axes from pRef: u = (x - ref) . m_u, v = (x - ref) . m_v.
    void InPlane(const double* x, const double* pRef, double uv[2]) const
    {
        const double d[3] = {x[0] - pRef[0], x[1] - pRef[1], x[2] - pRef[2]};
        uv[0] = d[0] * m_u[0] + d[1] * m_u[1] + d[2] * m_u[2];
        uv[1] = d[0] * m_v[0] + d[1] * m_v[1] + d[2] * m_v[2];
    }
    void ClipperOf(size_t nRef, const std::vector<T_FLAT>& aFace, const double* pRef, FlatPolygon& uv) const;
    std::vector<std::pair<size_t, size_t>> Overlaps(const std::vector<T_FLAT>& aFace, size_t nBelowFaces) const;
    void ClipFace(const T_FLAT& face, const std::vector<size_t>& aClip, const std::vector<T_FLAT>& aFace,
                  T_CLIPPED& out) const;
    void AddPieces(const T_FLAT& face, const T_CLIPPED& clipped);
    void DropPolygons();
    void AppendCurved();
    void CopyCellData();

    vtkUnstructuredGrid* m_pGrid;
    const PlaneCutIndex& m_index;
    const double* m_n; // the plane's normal
    const double* m_o; // and origin
    PlaneCut& m_cut;
    vtkPointData* m_pInPd;
    CCutValues m_values;
    CCutPointTable m_table;
    // Points and pieces gathered in plain arrays, handed to VTK once at the end.
    std::vector<double> m_aPt;
    std::vector<vtkIdType> m_aLineConn, m_aPolyOffset, m_aPolyConn;
    // In-plane axes u, v with u x v = n: polygon points are put in turn about n.
    double m_u[3], m_v[3];

    // The cell being cut: the plane's value at its points, its cut points and their turns.
    std::vector<double> m_aS;
    std::vector<vtkIdType> m_aIds;
    std::vector<double> m_aXyz;
    std::vector<std::pair<double, vtkIdType>> m_aTurn;

    // Curved cells go through VTK's cell contour into buffers of their own, appended at the end.
    vtkNew<vtkPoints> m_pFbPts;
    vtkNew<vtkPointData> m_pFbPd;
    vtkNew<vtkCellArray> m_pFbVerts, m_pFbLines, m_pFbPolys;
    vtkNew<vtkMergePoints> m_pLocator;
    vtkNew<vtkGenericCell> m_pCell;
    vtkNew<vtkDoubleArray> m_pCellScalars;
    vtkNew<vtkCellData> m_pNoCd, m_pNoCdOut;
    std::vector<vtkIdType> m_aFbLineCell, m_aFbPolyCell;
    bool m_bFbInit = false;

    // Faces lying in the plane, by the sorted coordinates of their corners: those cut by cells
    // touching the plane from below, and cells above waiting to know whether one was.
    std::set<std::vector<double>> m_claimed;
    std::vector<std::pair<std::vector<double>, size_t>> m_aPending;
    // The solid cells touching the plane from below and the ranges of the polygons each gave,
    // exact and curved; per polygon, whether it is such a cell's (2) or dropped for pieces (1).
    struct T_BELOW {
        size_t nCell;
        size_t nExact, nExactEnd, nFb, nFbEnd;
    };
    std::vector<T_BELOW> m_aBelow;
    // Linear solid cells crossing the plane with a corner on it: their one polygon, and whether
    // the cell lies mostly above. Across a quadrilateral bent through the plane (neighbouring
    // corners off it on either side, the others on it) the polygons of the cells on its two sides
    // both reach its corners on the plane; the polygon above is cut less those below.
    std::vector<T_BENT> m_aBent;
    // The corners of quadrilaterals bent through the plane: the crossing cells on either side of
    // one each reach across it, cells across it split in triangles too, and so count as bent
    // (m_aCrossing: the other crossing cells, until all are cut).
    std::unordered_set<std::uint32_t> m_bentCorners;
    std::vector<T_BENT> m_aCrossing;
    // In a grid of cells with quadrilateral and triangular faces, the edges of triangular faces
    // that cross the plane: where a quadrilateral's diagonal is one, the cells beside it are split
    // in triangles along it.
    std::unordered_set<std::uint64_t> m_split;
    void FindSplitEdges(const std::vector<size_t>& aCand);
    // The cell being cut: the crossed diagonals of its faces bent through the plane.
    std::vector<std::array<int, 2>> m_aDiagonal;
    // Per polygon so far: crossing (0), dropped for pieces (1), a face below (2), a bent cell's
    // above (3) or below (4).
    std::vector<char> m_aDropExact, m_aDropFb;

    // The grid's coordinates, three per point.
    const double* m_pXyz;
    const double* Xyz(std::uint32_t p) const { return m_pXyz + 3 * static_cast<size_t>(p); }
    // The first point array, asked for early with the points.
    const double* m_pVal0;
    size_t m_nVal0;
};

PlaneCutter::PlaneCutter(vtkUnstructuredGrid* pGrid, const PlaneCutIndex& index, const double origin[3],
                         const double normal[3], PlaneCut& cut)
    : m_pGrid(pGrid), m_index(index), m_n(normal), m_o(origin), m_cut(cut), m_pInPd(pGrid->GetPointData()),
      m_values(m_pInPd, pGrid->GetNumberOfPoints()), m_aPolyOffset(1, 0), m_pXyz(index.Points(pGrid)),
      m_pVal0(m_pInPd && m_pInPd->GetNumberOfArrays() > 0
                  ? DoubleValues(m_pInPd->GetArray(0), pGrid->GetNumberOfPoints())
                  : nullptr),
      m_nVal0(m_pVal0 ? static_cast<size_t>(m_pInPd->GetArray(0)->GetNumberOfComponents()) : 0)
{
    const double* n = m_n;
    int kMin = 0;
    for (int k = 1; k < 3; ++k)
        if (std::fabs(n[k]) < std::fabs(n[kMin]))
            kMin = k;
    double e[3] = {0, 0, 0};
    e[kMin] = 1.0;
    m_u[0] = n[1] * e[2] - n[2] * e[1];
    m_u[1] = n[2] * e[0] - n[0] * e[2];
    m_u[2] = n[0] * e[1] - n[1] * e[0];
    m_v[0] = n[1] * m_u[2] - n[2] * m_u[1];
    m_v[1] = n[2] * m_u[0] - n[0] * m_u[2];
    m_v[2] = n[0] * m_u[1] - n[1] * m_u[0];
    m_pFbPts->SetDataTypeToDouble();
}

vtkIdType PlaneCutter::NewPoint(const double x[3])
{
    m_aPt.insert(m_aPt.end(), x, x + 3);
    return static_cast<vtkIdType>(m_aPt.size() / 3 - 1);
}

// A point on the index's point a (b unused), or where edge a-b crosses the plane (b above the
// plane): interpolated from the end below, x = xa + t (xb - xa), so that every cell of the edge
// forms it alike. Keyed by grid ids.
vtkIdType PlaneCutter::CutPoint(std::uint32_t a, std::uint32_t b, bool bEdge, double sa, double sb, double x[3])
{
    const vtkIdType ga = static_cast<vtkIdType>(a), gb = bEdge ? static_cast<vtkIdType>(b) : -1;
    const vtkIdType k0 = bEdge ? std::min(ga, gb) : ga, k1 = bEdge ? std::max(ga, gb) : -1;
    vtkIdType nId = m_table.Find(k0, k1);
    if (nId >= 0) {
        std::copy_n(&m_aPt[3 * static_cast<size_t>(nId)], 3, x);
        return nId;
    }
    const double* xa = Xyz(a);
    if (!bEdge) {
        std::copy(xa, xa + 3, x);
        nId = NewPoint(x);
        m_values.Copy(ga, nId);
    } else {
        const double t = (0.0 - sa) / (sb - sa);
        const double* xb = Xyz(b);
        for (int k = 0; k < 3; ++k)
            x[k] = xa[k] + t * (xb[k] - xa[k]);
        nId = NewPoint(x);
        m_values.Interpolate(ga, gb, t, nId);
    }
    m_table.Insert(k0, k1, nId);
    return nId;
}

void PlaneCutter::CutCell(size_t i, bool bPending)
{
    const T_CELL_SHAPE shape = ShapeOf(m_index.CellType(i));
    const int nCellPts = m_index.CellSize(i);
    if (shape.nDim == 0 || nCellPts < shape.nCorner)
        return;
    const vtkIdType c = m_index.CellId(i);
    const std::uint32_t* pCellPts = m_index.CellPoints(i);
    m_aS.resize(static_cast<size_t>(nCellPts));
    int nNeg = 0, nPos = 0, nZeroCorner = 0;
    for (int j = 0; j < nCellPts; ++j) {
        const double s = PlaneValue(m_n, m_o, Xyz(pCellPts[j]));
        m_aS[static_cast<size_t>(j)] = s;
        nNeg += s < 0.0 ? 1 : 0;
        nPos += s > 0.0 ? 1 : 0;
        nZeroCorner += j < shape.nCorner && s == 0.0 ? 1 : 0;
    }
    if (bPending) {
        // A face on the grid's boundary, seen from the only cell it has.
        if (shape.bLinear)
            CutLinear(c, shape, pCellPts);
        else
            CutCurved(c, -1.0);
        return;
    }
    if (nNeg > 0 && nPos > 0) {
        if (!shape.bLinear) {
            CutCurved(c, 1.0);
            return;
        }
        const bool bBentQuad = shape.nDim == 3 && QuadBentThrough(m_index.CellType(i), m_aS.data(), pCellPts, m_split,
                                                                  m_bentCorners, m_aDiagonal);
        const size_t nExact = m_cut.aPolyCell.size();
        CutLinear(c, shape, pCellPts);
        m_aDiagonal.clear();
        if (m_cut.aPolyCell.size() > nExact) {
            double dSum = 0.0;
            for (int j = 0; j < shape.nCorner; ++j)
                dSum += m_aS[static_cast<size_t>(j)];
            const T_BENT bent{i, nExact, dSum > 0.0};
            if (bBentQuad || nZeroCorner > 0)
                m_aBent.push_back(bent);
            else
                m_aCrossing.push_back(bent);
        }
        return;
    }
    // Touching the plane from one side: only a whole face (edge of a 2-D cell) on it counts.
    if (nNeg + nPos == 0 || nZeroCorner < shape.nDim || ZeroFace(m_index.CellType(i), m_aS.data(), nullptr) == 0)
        return;
    if (nNeg > 0) {
        // From below: cut now, its pieces remembered.
        m_claimed.insert(FaceKey(shape, pCellPts));
        const size_t nExact = m_cut.aPolyCell.size(), nFb = m_aFbPolyCell.size();
        if (shape.bLinear)
            CutLinear(c, shape, pCellPts);
        else
            CutCurved(c, 1.0);
        if (shape.nDim == 3)
            m_aBelow.push_back({i, nExact, m_cut.aPolyCell.size(), nFb, m_aFbPolyCell.size()});
    } else {
        m_aPending.emplace_back(FaceKey(shape, pCellPts), i);
    }
}

// The exact cut of a linear cell: its points on the plane and the crossings of its edges.
void PlaneCutter::CutLinear(vtkIdType c, const T_CELL_SHAPE& shape, const std::uint32_t* pCellPts)
{
    m_aIds.clear();
    m_aXyz.clear();
    double x[3];
    for (int j = 0; j < shape.nCorner; ++j)
        if (m_aS[static_cast<size_t>(j)] == 0.0)
            AddCellPoint(CutPoint(pCellPts[j], 0, false, 0.0, 0.0, x), x);
    for (int e = 0; e < shape.nEdge; ++e) {
        int ja = shape.pEdge[e][0], jb = shape.pEdge[e][1];
        double sa = m_aS[static_cast<size_t>(ja)], sb = m_aS[static_cast<size_t>(jb)];
        if (!((sa < 0.0 && sb > 0.0) || (sa > 0.0 && sb < 0.0)))
            continue;
        if (sa > 0.0) {
            std::swap(ja, jb);
            std::swap(sa, sb);
        }
        AddCellPoint(CutPoint(pCellPts[ja], pCellPts[jb], true, sa, sb, x), x);
    }
    // Where the crossed diagonals of a quadrilateral bent through the plane meet it: a neighbour
    // split in triangles on that diagonal reaches as far, and no part of the face is left to
    // neither side. What the two sides then share is cut away once every cell was seen.
    for (auto [ja, jb] : m_aDiagonal) {
        double sa = m_aS[static_cast<size_t>(ja)], sb = m_aS[static_cast<size_t>(jb)];
        if (sa > 0.0) {
            std::swap(ja, jb);
            std::swap(sa, sb);
        }
        AddCellPoint(CutPoint(pCellPts[ja], pCellPts[jb], true, sa, sb, x), x);
    }
    if (shape.nDim == 2)
        AddSegment(c);
    else if (m_aDiagonal.empty())
        AddPolygon(c);
    else
        AddHull(c);
}

void PlaneCutter::AddCellPoint(vtkIdType nId, const double x[3])
{
    if (std::find(m_aIds.begin(), m_aIds.end(), nId) != m_aIds.end())
        return;
    m_aIds.push_back(nId);
    m_aXyz.insert(m_aXyz.end(), x, x + 3);
}

void PlaneCutter::AddSegment(vtkIdType c)
{
    const size_t m = m_aIds.size();
    if (m < 2)
        return;
    // A warped quadrilateral may give more than two points: keep the farthest pair.
    size_t i0 = 0, i1 = 1;
    double dBest = -1.0;
    for (size_t i = 0; i < m; ++i)
        for (size_t j = i + 1; j < m; ++j) {
            double d = 0.0;
            for (int k = 0; k < 3; ++k)
                d += (m_aXyz[3 * i + k] - m_aXyz[3 * j + k]) * (m_aXyz[3 * i + k] - m_aXyz[3 * j + k]);
            if (d > dBest) {
                dBest = d;
                i0 = i;
                i1 = j;
            }
        }
    m_aLineConn.push_back(m_aIds[i0]);
    m_aLineConn.push_back(m_aIds[i1]);
    m_cut.aLineCell.push_back(c);
}

void PlaneCutter::AddPolygon(vtkIdType c)
{
    const size_t m = m_aIds.size();
    if (m < 3)
        return;
    // The intersection of a convex cell with the plane is convex: its points in turn about
    // their mean.
    double cm[3] = {0, 0, 0};
    for (size_t i = 0; i < m; ++i)
        for (int k = 0; k < 3; ++k)
            cm[k] += m_aXyz[3 * i + static_cast<size_t>(k)] / static_cast<double>(m);
    m_aTurn.clear();
    for (size_t i = 0; i < m; ++i) {
        double d[3];
        for (int k = 0; k < 3; ++k)
            d[k] = m_aXyz[3 * i + static_cast<size_t>(k)] - cm[k];
        m_aTurn.emplace_back(Turn(d[0] * m_u[0] + d[1] * m_u[1] + d[2] * m_u[2],
                                  d[0] * m_v[0] + d[1] * m_v[1] + d[2] * m_v[2]),
                             m_aIds[i]);
    }
    std::sort(m_aTurn.begin(), m_aTurn.end());
    for (const auto& [a, nId] : m_aTurn)
        m_aPolyConn.push_back(nId);
    m_aPolyOffset.push_back(static_cast<vtkIdType>(m_aPolyConn.size()));
    m_cut.aPolyCell.push_back(c);
}

// The convex hull of the cell's cut points in turn about the normal, for points of which some
// may lie inside (a bent face's diagonal points): monotone chain in the plane's axes from the
// first point, collinear points left out.
void PlaneCutter::AddHull(vtkIdType c)
{
    const size_t m = m_aIds.size();
    if (m < 3)
        return;
    struct T_UV {
        double u, v;
        vtkIdType nId;
    };
    std::vector<T_UV> aPt;
    for (size_t i = 0; i < m; ++i) {
        double w[2];
        InPlane(&m_aXyz[3 * i], m_aXyz.data(), w);
        aPt.push_back({w[0], w[1], m_aIds[i]});
    }
    std::sort(aPt.begin(), aPt.end(),
              [](const T_UV& a, const T_UV& b) { return a.u < b.u || (a.u == b.u && a.v < b.v); });
    const auto turnsLeft = [](const T_UV& o, const T_UV& a, const T_UV& b) {
        return (a.u - o.u) * (b.v - o.v) - (a.v - o.v) * (b.u - o.u) > 0.0;
    };
    std::vector<T_UV> aHull(2 * m);
    size_t k = 0;
    for (size_t i = 0; i < m; ++i) {
        while (k >= 2 && !turnsLeft(aHull[k - 2], aHull[k - 1], aPt[i]))
            --k;
        aHull[k++] = aPt[i];
    }
    for (size_t i = m - 1, t = k + 1; i-- > 0;) {
        while (k >= t && !turnsLeft(aHull[k - 2], aHull[k - 1], aPt[i]))
            --k;
        aHull[k++] = aPt[i];
    }
    if (k < 4) // three corners and the first again
        return;
    for (size_t i = 0; i + 1 < k; ++i)
        m_aPolyConn.push_back(aHull[i].nId);
    m_aPolyOffset.push_back(static_cast<vtkIdType>(m_aPolyConn.size()));
    m_cut.aPolyCell.push_back(c);
}

void PlaneCutter::CutCurved(vtkIdType c, double dSign)
{
    if (!m_bFbInit) {
        m_pFbPd->InterpolateAllocate(m_pInPd, 1024, 1024);
        m_pLocator->InitPointInsertion(m_pFbPts, m_index.Bounds(), 1024);
        m_bFbInit = true;
    }
    m_pGrid->GetCell(c, m_pCell);
    m_pCellScalars->SetNumberOfTuples(static_cast<vtkIdType>(m_aS.size()));
    for (size_t j = 0; j < m_aS.size(); ++j)
        m_pCellScalars->SetValue(static_cast<vtkIdType>(j), dSign * m_aS[j]);
    const vtkIdType nL0 = m_pFbLines->GetNumberOfCells(), nP0 = m_pFbPolys->GetNumberOfCells();
    m_pCell->Contour(0.0, m_pCellScalars, m_pLocator, m_pFbVerts, m_pFbLines, m_pFbPolys, m_pInPd, m_pFbPd, m_pNoCd,
                     c, m_pNoCdOut);
    m_aFbLineCell.insert(m_aFbLineCell.end(), static_cast<size_t>(m_pFbLines->GetNumberOfCells() - nL0), c);
    m_aFbPolyCell.insert(m_aFbPolyCell.end(), static_cast<size_t>(m_pFbPolys->GetNumberOfCells() - nP0), c);
}

std::vector<double> PlaneCutter::FaceKey(const T_CELL_SHAPE& shape, const std::uint32_t* pCellPts) const
{
    std::vector<std::array<double, 3>> aCorner;
    for (int j = 0; j < shape.nCorner; ++j)
        if (m_aS[static_cast<size_t>(j)] == 0.0) {
            const double* x = Xyz(pCellPts[j]);
            aCorner.push_back({x[0], x[1], x[2]});
        }
    std::sort(aCorner.begin(), aCorner.end());
    std::vector<double> key;
    for (const auto& x : aCorner)
        key.insert(key.end(), x.begin(), x.end());
    return key;
}

void PlaneCutter::Prefetch(size_t i) const
{
    const std::uint32_t* pP = m_index.CellPoints(i);
    for (int j = 0; j < m_index.CellSize(i); ++j) {
        __builtin_prefetch(Xyz(pP[j]));
        if (m_pVal0)
            __builtin_prefetch(m_pVal0 + m_nVal0 * pP[j]);
    }
}

void PlaneCutter::FindSplitEdges(const std::vector<size_t>& aCand)
{
    bool bQuad = false, bTriangle = false;
    for (size_t i : aCand) {
        const int nType = m_index.CellType(i);
        bQuad = bQuad || nType == VTK_HEXAHEDRON || nType == VTK_VOXEL || nType == VTK_WEDGE || nType == VTK_PYRAMID;
        bTriangle = bTriangle || nType == VTK_TETRA || nType == VTK_WEDGE || nType == VTK_PYRAMID;
    }
    if (!bQuad || !bTriangle)
        return;
    for (size_t i : aCand) {
        const T_FACE_LIST* pFaces = SolidFacesOf(m_index.CellType(i));
        if (!pFaces || m_index.CellSize(i) < pFaces->nPoint)
            continue;
        const std::uint32_t* pPts = m_index.CellPoints(i);
        for (int f = 0; f < pFaces->nFace; ++f) {
            const int* pC = pFaces->aCorner[f];
            for (int j = 0; j < 3 && pC[3] < 0; ++j) {
                const std::uint32_t a = pPts[pC[j]], b = pPts[pC[(j + 1) % 3]];
                if (Opposite(PlaneValue(m_n, m_o, Xyz(a)), PlaneValue(m_n, m_o, Xyz(b))))
                    m_split.insert(EdgeKey(a, b));
            }
        }
    }
}

vtkIdType PlaneCutter::CutCells()
{
    vtkIdType nVisited = 0;
    // The candidates first, then their cuts with the points and values of a few cells ahead
    // asked for early: a plane's cells lie scattered through memory, and waiting on each in turn
    // would dominate the cut.
    std::vector<size_t> aCand;
    m_index.Visit(m_n, m_o, [&](size_t i) { aCand.push_back(i); });
    FindSplitEdges(aCand);
    constexpr size_t kAhead = 12;
    // Two stages: a cell's point list twice as far ahead as its points and values.
    for (size_t k = 0; k < aCand.size() && k < 2 * kAhead; ++k)
        __builtin_prefetch(m_index.CellPoints(aCand[k]));
    for (size_t k = 0; k < aCand.size() && k < kAhead; ++k)
        Prefetch(aCand[k]);
    for (size_t k = 0; k < aCand.size(); ++k) {
        if (k + 2 * kAhead < aCand.size())
            __builtin_prefetch(m_index.CellPoints(aCand[k + 2 * kAhead]));
        if (k + kAhead < aCand.size())
            Prefetch(aCand[k + kAhead]);
        ++nVisited;
        CutCell(aCand[k], false);
    }
    // Across a bent quadrilateral split in triangles, the cells with three corners of it are bent too.
    for (size_t k = 0; !m_bentCorners.empty() && k < m_aCrossing.size(); ++k) {
        const T_BENT& b = m_aCrossing[k];
        const std::uint32_t* pPts = m_index.CellPoints(b.nCell);
        const int nCorner = ShapeOf(m_index.CellType(b.nCell)).nCorner;
        int nOn = 0;
        for (int j = 0; j < nCorner; ++j)
            nOn += m_bentCorners.count(pPts[j]) ? 1 : 0;
        if (nOn >= 3)
            m_aBent.push_back(b);
    }
    SettleFaces();
    return nVisited;
}

// A solid cell's polygon lying in the plane: its corners on the plane (grid ids) in turn about
// the normal, its box in the two coordinates the plane is a graph over.
struct PlaneCutter::T_FLAT {
    enum Kind { kBelow, kAbove, kBent };
    Kind nKind = kBelow;
    size_t nCell = 0;
    int nCorner = 0;
    // Grid points; for a bent cell, points of the cut.
    std::uint32_t aCorner[12] = {};
    double dBox[4] = {0, 0, 0, 0};
    size_t nSource = 0; // its entry in m_aBelow, for a cell below; its polygon, for a bent cell
};

// What is left of a face: pieces, each within a triangle of the face's corners (indices in
// turn) that gives its points' values; bClipped when anything was taken off.
struct PlaneCutter::T_CLIPPED {
    bool bClipped = false;
    std::vector<std::array<int, 3>> aTri;
    std::vector<FlatPolygon> aPiece;
    std::vector<size_t> aPieceTri;
};

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

// A box (k0 min, k0 max, k1 min, k1 max) grown to hold x.
void GrowBox(double* b, const double* x, int k0, int k1)
{
    b[0] = std::min(b[0], x[k0]), b[1] = std::max(b[1], x[k0]);
    b[2] = std::min(b[2], x[k1]), b[3] = std::max(b[3], x[k1]);
}

bool FiniteBox(const double* b)
{
    return std::isfinite(b[0]) && std::isfinite(b[1]) && std::isfinite(b[2]) && std::isfinite(b[3]);
}

// The triangles of a star-shaped polygon of n corners in turn: a fan from a reflex corner when
// there is one (a dart), else from the first.
std::vector<std::array<int, 3>> FanTriangles(const FlatPolygon& uv)
{
    const int n = static_cast<int>(uv.size() / 2);
    int r = 0;
    for (int i = 0; i < n; ++i) {
        const double* a = &uv[2 * static_cast<size_t>((i + n - 1) % n)];
        const double* b = &uv[2 * static_cast<size_t>(i)];
        const double* c = &uv[2 * static_cast<size_t>((i + 1) % n)];
        if ((b[0] - a[0]) * (c[1] - a[1]) - (b[1] - a[1]) * (c[0] - a[0]) < 0.0)
            r = i;
    }
    std::vector<std::array<int, 3>> aTri;
    for (int k = 1; k + 1 < n; ++k)
        aTri.push_back({r, (r + k) % n, (r + k + 1) % n});
    return aTri;
}

} // namespace

// The face in the plane of the solid cell at i, touching the plane from either side.
bool PlaneCutter::FlatCorners(size_t i, T_FLAT& face) const
{
    const int nType = m_index.CellType(i);
    const T_CELL_SHAPE shape = ShapeOf(LinearTypeOf(nType));
    const std::uint32_t* pCellPts = m_index.CellPoints(i);
    if (shape.nDim != 3 || m_index.CellSize(i) < shape.nCorner)
        return false;
    double s[8];
    for (int j = 0; j < shape.nCorner; ++j)
        s[j] = PlaneValue(m_n, m_o, Xyz(pCellPts[j]));
    int aLocal[4];
    const int n = ZeroFace(nType, s, aLocal);
    if (n < 3)
        return false;
    face.nCell = i;
    face.nCorner = n;
    // In turn about the normal, as AddPolygon puts a cut's points.
    const double* x0 = Xyz(pCellPts[aLocal[0]]);
    std::array<std::pair<double, int>, 4> aTurn;
    double uv[4][2], cm[2] = {0, 0};
    for (int j = 0; j < n; ++j) {
        InPlane(Xyz(pCellPts[aLocal[j]]), x0, uv[j]);
        cm[0] += uv[j][0] / n;
        cm[1] += uv[j][1] / n;
    }
    for (int j = 0; j < n; ++j)
        aTurn[static_cast<size_t>(j)] = {Turn(uv[j][0] - cm[0], uv[j][1] - cm[1]), aLocal[j]};
    std::sort(aTurn.begin(), aTurn.begin() + n);
    for (int j = 0; j < n; ++j)
        face.aCorner[j] = pCellPts[aTurn[static_cast<size_t>(j)].second];
    return FlatBox(face);
}

const double* PlaneCutter::CornerXyz(const T_FLAT& face, int j) const
{
    return face.nKind == T_FLAT::kBent ? &m_aPt[3 * static_cast<size_t>(face.aCorner[j])] : Xyz(face.aCorner[j]);
}

// The polygon of a bent cell (crossing the plane with a corner on it) that lies above.
bool PlaneCutter::BentPolygon(const T_BENT& bent, T_FLAT& face) const
{
    const size_t p = bent.nExact;
    const auto n = m_aPolyOffset[p + 1] - m_aPolyOffset[p];
    if (n < 3 || n > 12)
        return false;
    face.nKind = T_FLAT::kBent;
    face.nCell = bent.nCell;
    face.nSource = p;
    face.nCorner = static_cast<int>(n);
    for (int j = 0; j < face.nCorner; ++j)
        face.aCorner[j] = static_cast<std::uint32_t>(m_aPolyConn[static_cast<size_t>(m_aPolyOffset[p] + j)]);
    return FlatBox(face);
}

// The face's box in the two coordinates the plane is a graph over; false when not finite.
bool PlaneCutter::FlatBox(T_FLAT& face) const
{
    int k0 = 0, k1 = 0;
    GraphAxes(m_n, k0, k1);
    double* b = face.dBox;
    b[0] = b[2] = HUGE_VAL;
    b[1] = b[3] = -HUGE_VAL;
    for (int j = 0; j < face.nCorner; ++j)
        GrowBox(b, CornerXyz(face, j), k0, k1);
    return FiniteBox(b);
}

// The face's corners in the plane's axes from pRef, as InPlane gives them.
void PlaneCutter::FlatOf(const T_FLAT& face, const double* pRef, FlatPolygon& uv) const
{
    uv.clear();
    for (int j = 0; j < face.nCorner; ++j) {
        double w[2];
        InPlane(CornerXyz(face, j), pRef, w);
        uv.insert(uv.end(), w, w + 2);
    }
}

// A clip polygon from pRef, counterclockwise: a face below (nRef < its count), else a crossing
// cell's polygon: exact ones first, then curved ones.
void PlaneCutter::ClipperOf(size_t nRef, const std::vector<T_FLAT>& aFace, const double* pRef, FlatPolygon& uv) const
{
    if (nRef < aFace.size()) {
        FlatOf(aFace[nRef], pRef, uv);
        return;
    }
    uv.clear();
    auto add = [&](const double* x) {
        double w[2];
        InPlane(x, pRef, w);
        uv.insert(uv.end(), w, w + 2);
    };
    const size_t p = nRef - aFace.size();
    const size_t nExact = m_aPolyOffset.size() - 1;
    if (p < nExact) {
        for (auto k = m_aPolyOffset[p]; k < m_aPolyOffset[p + 1]; ++k)
            add(&m_aPt[3 * static_cast<size_t>(m_aPolyConn[static_cast<size_t>(k)])]);
    } else {
        vtkIdType n = 0;
        const vtkIdType* pIds = nullptr;
        m_pFbPolys->GetCellAtId(static_cast<vtkIdType>(p - nExact), n, pIds);
        for (vtkIdType k = 0; k < n; ++k)
            add(m_pFbPts->GetPoint(pIds[k]));
    }
    if (uv.size() >= 6 && TwiceSignedArea(uv.data(), uv.size() / 2) < 0.0) {
        for (size_t i = 0, j = uv.size() / 2 - 1; i < j; ++i, --j) {
            std::swap(uv[2 * i], uv[2 * j]);
            std::swap(uv[2 * i + 1], uv[2 * j + 1]);
        }
    }
}

// The face less the clip polygons, triangle by triangle of its corners, in coordinates from
// its first corner.
void PlaneCutter::ClipFace(const T_FLAT& face, const std::vector<size_t>& aClip, const std::vector<T_FLAT>& aFace,
                           T_CLIPPED& out) const
{
    const double* pRef = CornerXyz(face, 0);
    FlatPolygon uv, clip;
    FlatOf(face, pRef, uv);
    double dScale2 = 0.0;
    for (size_t i = 0, j = uv.size() / 2 - 1; i < uv.size() / 2; j = i++)
        dScale2 = std::max(dScale2, (uv[2 * i] - uv[2 * j]) * (uv[2 * i] - uv[2 * j]) +
                                        (uv[2 * i + 1] - uv[2 * j + 1]) * (uv[2 * i + 1] - uv[2 * j + 1]));
    std::vector<FlatPolygon> aPart;
    for (size_t nRef : aClip) {
        ClipperOf(nRef, aFace, pRef, clip);
        ConvexParts(clip, aPart);
    }
    // Within one piece of one polygon (a face over a larger face below): nothing is left.
    for (const FlatPolygon& k : aPart)
        if (InsideConvex(uv, k)) {
            out.bClipped = true;
            return;
        }
    out.aTri = FanTriangles(uv);
    std::vector<FlatPolygon> aPieces, aNext;
    for (size_t t = 0; t < out.aTri.size(); ++t) {
        const auto& tri = out.aTri[t];
        aPieces.assign(1, {uv[2 * tri[0]], uv[2 * tri[0] + 1], uv[2 * tri[1]], uv[2 * tri[1] + 1], uv[2 * tri[2]],
                           uv[2 * tri[2] + 1]});
        for (const FlatPolygon& k : aPart) {
            aNext.clear();
            for (FlatPolygon& p : aPieces) {
                if (SubtractConvex(p, k, dScale2, aNext))
                    out.bClipped = true;
                else
                    aNext.push_back(std::move(p));
            }
            aPieces.swap(aNext);
        }
        for (FlatPolygon& p : aPieces) {
            out.aPiece.push_back(std::move(p));
            out.aPieceTri.push_back(t);
        }
    }
}

// The pieces of a clipped face as polygons of its cell: a corner of the face is its point,
// any other point is placed and valued within its triangle of the face.
void PlaneCutter::AddPieces(const T_FLAT& face, const T_CLIPPED& clipped)
{
    const bool bCutPoints = face.nKind == T_FLAT::kBent;
    double dRef[3], x[3][3];
    std::copy_n(CornerXyz(face, 0), 3, dRef); // new points move the cut's points
    FlatPolygon uv;
    FlatOf(face, dRef, uv);
    for (size_t k = 0; k < clipped.aPiece.size(); ++k) {
        const auto& tri = clipped.aTri[clipped.aPieceTri[k]];
        const double* t[3];
        vtkIdType g[3];
        for (int e = 0; e < 3; ++e) {
            g[e] = face.aCorner[tri[static_cast<size_t>(e)]];
            std::copy_n(CornerXyz(face, tri[static_cast<size_t>(e)]), 3, x[e]);
            t[e] = &uv[2 * static_cast<size_t>(tri[static_cast<size_t>(e)])];
        }
        const double e1[2] = {t[1][0] - t[0][0], t[1][1] - t[0][1]}, e2[2] = {t[2][0] - t[0][0], t[2][1] - t[0][1]};
        const double det = e1[0] * e2[1] - e1[1] * e2[0];
        const FlatPolygon& piece = clipped.aPiece[k];
        for (size_t j = 0; j < piece.size() / 2; ++j) {
            const double* p = &piece[2 * j];
            int nCorner = -1;
            for (int e = 0; e < 3; ++e)
                if (p[0] == t[e][0] && p[1] == t[e][1])
                    nCorner = e;
            double y[3];
            if (nCorner >= 0) {
                m_aPolyConn.push_back(bCutPoints ? g[nCorner]
                                                 : CutPoint(static_cast<std::uint32_t>(g[nCorner]), 0, false, 0.0, 0.0, y));
                continue;
            }
            const double d[2] = {p[0] - t[0][0], p[1] - t[0][1]};
            const double l1 = (d[0] * e2[1] - d[1] * e2[0]) / det, l2 = (e1[0] * d[1] - e1[1] * d[0]) / det;
            for (int c = 0; c < 3; ++c)
                y[c] = x[0][c] + l1 * (x[1][c] - x[0][c]) + l2 * (x[2][c] - x[0][c]);
            const vtkIdType nId = NewPoint(y);
            m_values.Barycentric(g, l1, l2, nId, bCutPoints);
            m_aPolyConn.push_back(nId);
        }
        m_aPolyOffset.push_back(static_cast<vtkIdType>(m_aPolyConn.size()));
        m_cut.aPolyCell.push_back(m_index.CellId(face.nCell));
    }
}

// The pairs (face, clip polygon as ClipperOf numbers them) whose boxes overlap, by face: a
// crossing cell's polygon and any face, a face below and a face above; none when nothing
// could overlap.
std::vector<std::pair<size_t, size_t>> PlaneCutter::Overlaps(const std::vector<T_FLAT>& aFace, size_t nBelowFaces) const
{
    std::vector<std::pair<size_t, size_t>> aPair;
    const size_t nExact = m_aDropExact.size(), nFb = m_aDropFb.size();
    const bool bAbove = std::any_of(aFace.begin(), aFace.end(), [](const T_FLAT& f) { return f.nKind == T_FLAT::kAbove; });
    auto crossing = [](char nCode) { return nCode != 1 && nCode != 2; };
    if (!bAbove && std::none_of(m_aDropExact.begin(), m_aDropExact.end(), crossing) &&
        std::none_of(m_aDropFb.begin(), m_aDropFb.end(), crossing))
        return aPair;
    std::vector<double> aBox;
    for (const T_FLAT& f : aFace)
        aBox.insert(aBox.end(), f.dBox, f.dBox + 4);
    FlatBoxTree tree;
    tree.Build(aBox);
    int k0 = 0, k1 = 0;
    GraphAxes(m_n, k0, k1);
    auto query = [&](size_t nRef, const double b[4]) {
        if (!FiniteBox(b))
            return;
        // A face takes every crossing polygon; a face above also the faces below; a bent cell
        // above the bent cells below.
        const char nClip = nRef < aFace.size() ? 2 : nRef - aFace.size() < nExact ? m_aDropExact[nRef - aFace.size()] : 0;
        tree.Query(b, [&](size_t f) {
            const T_FLAT::Kind nKind = aFace[f].nKind;
            if (nKind == T_FLAT::kBent ? nClip == 4 : nKind == T_FLAT::kAbove || nClip != 2)
                aPair.emplace_back(f, nRef);
        });
    };
    for (size_t p = 0; p < nExact + nFb; ++p) {
        if (!crossing(p < nExact ? m_aDropExact[p] : m_aDropFb[p - nExact]))
            continue;
        double b[4] = {HUGE_VAL, -HUGE_VAL, HUGE_VAL, -HUGE_VAL};
        if (p < nExact) {
            for (auto k = m_aPolyOffset[p]; k < m_aPolyOffset[p + 1]; ++k)
                GrowBox(b, &m_aPt[3 * static_cast<size_t>(m_aPolyConn[static_cast<size_t>(k)])], k0, k1);
        } else {
            vtkIdType n = 0;
            const vtkIdType* pIds = nullptr;
            m_pFbPolys->GetCellAtId(static_cast<vtkIdType>(p - nExact), n, pIds);
            for (vtkIdType k = 0; k < n; ++k)
                GrowBox(b, m_pFbPts->GetPoint(pIds[k]), k0, k1);
        }
        query(aFace.size() + p, b);
    }
    for (size_t f = 0; bAbove && f < nBelowFaces; ++f)
        query(f, aFace[f].dBox);
    std::stable_sort(aPair.begin(), aPair.end(), [](const auto& a, const auto& b) { return a.first < b.first; });
    return aPair;
}

// Faces lying in the plane, once every cell was cut. A face above is dropped where its twin by
// corners was cut below; the remaining faces above, the polygons of cells touching from below
// and those of bent cells above are cut less what overlaps them (a face above: every crossing
// polygon and face below; a face below: the crossing polygons; a bent cell above: the bent
// cells below), found through a tree of their boxes. What nothing overlaps is kept as cut; a
// face above then as its cell gives it.
void PlaneCutter::SettleFaces()
{
    // The faces above without a twin below, once each.
    std::vector<char> aTake(m_aPending.size(), 0);
    size_t nAbove = 0;
    {
        std::set<std::vector<double>> done;
        for (size_t k = 0; k < m_aPending.size(); ++k) {
            const auto& [key, i] = m_aPending[k];
            aTake[k] = !m_claimed.count(key) && done.insert(key).second ? 1 : 0;
            nAbove += aTake[k] && ShapeOf(m_index.CellType(i)).nDim == 3 ? 1 : 0;
        }
    }
    size_t nBelowPolys = 0;
    for (const T_BELOW& b : m_aBelow)
        nBelowPolys += b.nExactEnd - b.nExact + b.nFbEnd - b.nFb;
    const bool bCrossing = m_cut.aPolyCell.size() + m_aFbPolyCell.size() > nBelowPolys;
    // Faces below, cut less crossing polygons or cutting faces above; then the faces above.
    std::vector<T_FLAT> aFace;
    aFace.reserve(bCrossing || nAbove > 0 ? m_aBelow.size() + nAbove : 0);
    for (size_t b = 0; (bCrossing || nAbove > 0) && b < m_aBelow.size(); ++b) {
        T_FLAT f;
        f.nSource = b;
        if (FlatCorners(m_aBelow[b].nCell, f))
            aFace.push_back(f);
    }
    const size_t nBelowFaces = aFace.size();
    std::vector<size_t> aPendingFace(m_aPending.size(), SIZE_MAX);
    for (size_t k = 0; nAbove > 0 && k < m_aPending.size(); ++k) {
        T_FLAT f;
        f.nKind = T_FLAT::kAbove;
        if (aTake[k] && FlatCorners(m_aPending[k].second, f)) {
            aPendingFace[k] = aFace.size();
            aFace.push_back(f);
        }
    }
    // Bent cells above, when a bent cell lies below.
    const size_t nFlatFaces = aFace.size();
    const bool bBentBelow = std::any_of(m_aBent.begin(), m_aBent.end(), [](const T_BENT& b) { return !b.bAbove; });
    for (const T_BENT& b : m_aBent) {
        T_FLAT f;
        if (bBentBelow && b.bAbove && BentPolygon(b, f))
            aFace.push_back(f);
    }
    // Per face, its entry in aClipped when anything overlaps it.
    std::vector<T_CLIPPED> aClipped;
    std::vector<std::uint32_t> aClippedOf(aFace.size(), UINT32_MAX);
    auto clippedOf = [&](size_t f) {
        return aClippedOf[f] == UINT32_MAX || !aClipped[aClippedOf[f]].bClipped ? nullptr : &aClipped[aClippedOf[f]];
    };
    if (!aFace.empty()) {
        // The crossing cells' polygons: every polygon so far but those of cells touching from below.
        m_aDropExact.assign(m_cut.aPolyCell.size(), 0);
        m_aDropFb.assign(m_aFbPolyCell.size(), 0);
        for (const T_BELOW& b : m_aBelow) {
            std::fill(m_aDropExact.begin() + static_cast<std::ptrdiff_t>(b.nExact),
                      m_aDropExact.begin() + static_cast<std::ptrdiff_t>(b.nExactEnd), 2);
            std::fill(m_aDropFb.begin() + static_cast<std::ptrdiff_t>(b.nFb),
                      m_aDropFb.begin() + static_cast<std::ptrdiff_t>(b.nFbEnd), 2);
        }
        for (const T_BENT& b : m_aBent)
            m_aDropExact[b.nExact] = b.bAbove ? 3 : 4;
        const std::vector<std::pair<size_t, size_t>> aPair = Overlaps(aFace, nBelowFaces);
        size_t nOverlapped = 0;
        for (size_t k = 0; k < aPair.size(); ++k)
            nOverlapped += k == 0 || aPair[k].first != aPair[k - 1].first ? 1 : 0;
        aClipped.reserve(nOverlapped);
        std::vector<size_t> aClip;
        for (size_t k = 0; k < aPair.size();) {
            const size_t f = aPair[k].first;
            aClip.clear();
            for (; k < aPair.size() && aPair[k].first == f; ++k)
                aClip.push_back(aPair[k].second);
            aClippedOf[f] = static_cast<std::uint32_t>(aClipped.size());
            ClipFace(aFace[f], aClip, aFace, aClipped.emplace_back());
        }
    }
    for (size_t f = nFlatFaces; f < aFace.size(); ++f)
        if (const T_CLIPPED* pClipped = clippedOf(f)) {
            m_aDropExact[aFace[f].nSource] = 1;
            AddPieces(aFace[f], *pClipped);
        }
    for (size_t f = 0; f < nBelowFaces; ++f) {
        const T_CLIPPED* pClipped = clippedOf(f);
        if (!pClipped)
            continue;
        const T_BELOW& b = m_aBelow[aFace[f].nSource];
        std::fill(m_aDropExact.begin() + static_cast<std::ptrdiff_t>(b.nExact),
                  m_aDropExact.begin() + static_cast<std::ptrdiff_t>(b.nExactEnd), 1);
        std::fill(m_aDropFb.begin() + static_cast<std::ptrdiff_t>(b.nFb),
                  m_aDropFb.begin() + static_cast<std::ptrdiff_t>(b.nFbEnd), 1);
        AddPieces(aFace[f], *pClipped);
    }
    for (size_t k = 0; k < m_aPending.size(); ++k) {
        if (!aTake[k])
            continue;
        const size_t f = aPendingFace[k];
        if (f != SIZE_MAX && clippedOf(f))
            AddPieces(aFace[f], *clippedOf(f));
        else
            CutCell(m_aPending[k].second, true);
    }
}

void PlaneCutter::AppendCurved()
{
    if (!m_bFbInit || m_pFbPts->GetNumberOfPoints() == 0)
        return;
    const vtkIdType nBase = static_cast<vtkIdType>(m_aPt.size() / 3);
    for (vtkIdType p = 0; p < m_pFbPts->GetNumberOfPoints(); ++p) {
        const vtkIdType nId = NewPoint(m_pFbPts->GetPoint(p));
        m_values.CopyFrom(m_pFbPd, p, nId);
    }
    vtkIdType nn = 0;
    const vtkIdType* pIds = nullptr;
    for (m_pFbLines->InitTraversal(); m_pFbLines->GetNextCell(nn, pIds);)
        for (vtkIdType j = 0; j < 2 && nn == 2; ++j)
            m_aLineConn.push_back(nBase + pIds[j]);
    size_t q = 0;
    for (m_pFbPolys->InitTraversal(); m_pFbPolys->GetNextCell(nn, pIds); ++q) {
        if (q < m_aDropFb.size() && m_aDropFb[q] == 1)
            continue;
        for (vtkIdType j = 0; j < nn; ++j)
            m_aPolyConn.push_back(nBase + pIds[j]);
        m_aPolyOffset.push_back(static_cast<vtkIdType>(m_aPolyConn.size()));
        m_cut.aPolyCell.push_back(m_aFbPolyCell[q]);
    }
    m_cut.aLineCell.insert(m_cut.aLineCell.end(), m_aFbLineCell.begin(), m_aFbLineCell.end());
}

// Leaves out the exact polygons given up for pieces.
void PlaneCutter::DropPolygons()
{
    if (std::find(m_aDropExact.begin(), m_aDropExact.end(), 1) == m_aDropExact.end())
        return;
    size_t nTo = 0;
    std::vector<vtkIdType> aConn;
    for (size_t p = 0; p + 1 < m_aPolyOffset.size(); ++p) {
        if (p < m_aDropExact.size() && m_aDropExact[p] == 1)
            continue;
        aConn.insert(aConn.end(), m_aPolyConn.begin() + m_aPolyOffset[p], m_aPolyConn.begin() + m_aPolyOffset[p + 1]);
        m_aPolyOffset[nTo + 1] = static_cast<vtkIdType>(aConn.size());
        m_cut.aPolyCell[nTo++] = m_cut.aPolyCell[p];
    }
    m_aPolyOffset.resize(nTo + 1);
    m_cut.aPolyCell.resize(nTo);
    m_aPolyConn.swap(aConn);
}

void PlaneCutter::Finish()
{
    DropPolygons();
    AppendCurved();
    vtkPolyData* pOut = m_cut.pOutput;
    m_values.Finish(pOut->GetPointData());
    vtkNew<vtkDoubleArray> pXyz;
    pXyz->SetNumberOfComponents(3);
    pXyz->SetNumberOfTuples(static_cast<vtkIdType>(m_aPt.size() / 3));
    std::copy(m_aPt.begin(), m_aPt.end(), pXyz->GetPointer(0));
    vtkNew<vtkPoints> pPts;
    pPts->SetData(pXyz);
    pOut->SetPoints(pPts);
    if (!m_aLineConn.empty()) {
        std::vector<vtkIdType> aLineOffset(m_aLineConn.size() / 2 + 1);
        for (size_t i = 0; i < aLineOffset.size(); ++i)
            aLineOffset[i] = static_cast<vtkIdType>(2 * i);
        pOut->SetLines(CellArrayOf(aLineOffset, m_aLineConn));
    }
    if (m_aPolyOffset.size() > 1)
        pOut->SetPolys(CellArrayOf(m_aPolyOffset, m_aPolyConn));
    CopyCellData();
}

// Each piece takes the cell data of its grid cell: lines first, then polygons, as listed.
void PlaneCutter::CopyCellData()
{
    vtkCellData* pInCd = m_pGrid->GetCellData();
    if (!pInCd || pInCd->GetNumberOfArrays() == 0)
        return;
    vtkCellData* pOutCd = m_cut.pOutput->GetCellData();
    const vtkIdType nL = static_cast<vtkIdType>(m_cut.aLineCell.size());
    pOutCd->CopyAllocate(pInCd, nL + static_cast<vtkIdType>(m_cut.aPolyCell.size()));
    for (vtkIdType i = 0; i < nL; ++i)
        pOutCd->CopyData(pInCd, m_cut.aLineCell[static_cast<size_t>(i)], i);
    for (size_t i = 0; i < m_cut.aPolyCell.size(); ++i)
        pOutCd->CopyData(pInCd, m_cut.aPolyCell[i], nL + static_cast<vtkIdType>(i));
}

} // namespace

vtkIdType CutGridByPlane(vtkUnstructuredGrid* pGrid, const PlaneCutIndex& index, const double origin[3],
                         const double normal[3], PlaneCut& cut)
{
    cut.aLineCell.clear();
    cut.aPolyCell.clear();
    cut.pOutput = vtkSmartPointer<vtkPolyData>::New();
    {
        // An empty cut still has its (empty) points.
        vtkNew<vtkPoints> pNone;
        pNone->SetDataTypeToDouble();
        cut.pOutput->SetPoints(pNone);
    }
    if (!pGrid || !pGrid->GetPoints() || !index.Matches(pGrid))
        return 0;
    PlaneCutter cutter(pGrid, index, origin, normal, cut);
    const vtkIdType nVisited = cutter.CutCells();
    cutter.Finish();
    return nVisited;
}

} // namespace kvpvs::planecut
