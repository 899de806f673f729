#include "planecut/plane_cut.h"

#include "planecut/flat_clip.h"

#include <vtkCellArray.h>
#include <vtkCellData.h>
#include <vtkCellType.h>
#include <vtkDataSetSurfaceFilter.h>
#include <vtkDoubleArray.h>
#include <vtkFieldData.h>
#include <vtkIdTypeArray.h>
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

namespace kvpvs::planecut {

namespace {

// Edges of the cells as pairs of corner indices; a quadratic cell's edge nodes follow its
// corners in this order.
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

struct T_CELL_SHAPE {
    int nDim = 0;    // 0: not cut
    int nCorner = 0; // corner points, the first ones of the cell
    int nEdge = 0;
    const int (*pEdge)[2] = nullptr;
    int nLinear = 0;         // the linear type whose corners and faces it has
    bool bQuadratic = false; // a node on each edge
    int Nodes() const { return nCorner + (bQuadratic ? nEdge : 0); }
};

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

// An edge by its ends' ids, in either order.
std::uint64_t EdgeKey(std::uint32_t a, std::uint32_t b)
{
    return static_cast<std::uint64_t>(std::min(a, b)) << 32 | std::max(a, b);
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

// Points keyed by where they lie: a point itself (b = -1) or the crossing of the
// edge (a, b), a < b, of grid points or points made in faces and cells. Cells sharing an edge
// share its point; cells with points of their own (plates) keep their own values there.
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

// The grid's point arrays at the cut's points and at the points the cut makes in faces and
// cells (ids from the grid's point count on), each value formed as the point's coordinates
// are. Every array keeps its type and attribute role.
class CCutValues {
public:
    CCutValues(vtkPointData* pIn, vtkIdType nGridPts) : m_pIn(pIn), m_nGrid(nGridPts)
    {
        for (int a = 0; pIn && a < pIn->GetNumberOfArrays(); ++a) {
            vtkDataArray* pArr = pIn->GetArray(a);
            if (!pArr || pArr->GetNumberOfTuples() < nGridPts)
                continue;
            T_ARR arr;
            arr.pIn = pArr;
            arr.nComp = static_cast<size_t>(pArr->GetNumberOfComponents());
            arr.nOff = m_nTotal;
            arr.pInD = DoubleValues(pArr, nGridPts);
            if (!arr.pInD) {
                arr.aCopy.resize(static_cast<size_t>(nGridPts) * arr.nComp);
                for (vtkIdType p = 0; p < nGridPts; ++p)
                    pArr->GetTuple(p, &arr.aCopy[static_cast<size_t>(p) * arr.nComp]);
                arr.pInD = arr.aCopy.data();
            }
            m_nTotal += arr.nComp;
            m_aArr.push_back(std::move(arr));
        }
    }
    void Prefetch(vtkIdType p) const
    {
        if (!m_aArr.empty())
            __builtin_prefetch(m_aArr[0].pInD + static_cast<size_t>(p) * m_aArr[0].nComp);
    }
    // Output point: the values of point p.
    void Copy(vtkIdType p)
    {
        for (const T_ARR& a : m_aArr)
            m_aOut.insert(m_aOut.end(), Src(a, p), Src(a, p) + a.nComp);
    }
    // Output point: va + t (vb - va).
    void Lerp(vtkIdType pa, vtkIdType pb, double t)
    {
        for (const T_ARR& a : m_aArr) {
            const double *va = Src(a, pa), *vb = Src(a, pb);
            for (size_t k = 0; k < a.nComp; ++k)
                m_aOut.push_back(va[k] + t * (vb[k] - va[k]));
        }
    }
    // Output point: v0 + l1 (v1 - v0) + l2 (v2 - v0).
    void Barycentric(const vtkIdType p[3], double l1, double l2)
    {
        for (const T_ARR& a : m_aArr) {
            const double *v0 = Src(a, p[0]), *v1 = Src(a, p[1]), *v2 = Src(a, p[2]);
            for (size_t k = 0; k < a.nComp; ++k)
                m_aOut.push_back(v0[k] + l1 * (v1[k] - v0[k]) + l2 * (v2[k] - v0[k]));
        }
    }
    // A made point: the mean of n points.
    void Mean(const vtkIdType* p, int n)
    {
        const size_t nAt = m_aMade.size();
        m_aMade.resize(nAt + m_nTotal, 0.0);
        for (const T_ARR& a : m_aArr)
            for (size_t k = 0; k < a.nComp; ++k) {
                double d = 0.0;
                for (int i = 0; i < n; ++i)
                    d += Src(a, p[i])[k];
                m_aMade[nAt + a.nOff + k] = d / n;
            }
    }
    void Finish(vtkPointData* pOut)
    {
        const size_t nPts = m_nTotal ? m_aOut.size() / m_nTotal : 0;
        for (const T_ARR& a : m_aArr) {
            auto pArr = vtkSmartPointer<vtkDataArray>::Take(a.pIn->NewInstance());
            pArr->SetNumberOfComponents(static_cast<int>(a.nComp));
            pArr->SetName(a.pIn->GetName());
            pArr->SetNumberOfTuples(static_cast<vtkIdType>(nPts));
            for (size_t p = 0; p < nPts; ++p)
                pArr->SetTuple(static_cast<vtkIdType>(p), &m_aOut[p * m_nTotal + a.nOff]);
            const int nIdx = pOut->AddArray(pArr);
            for (int k = 0; k < vtkDataSetAttributes::NUM_ATTRIBUTES; ++k)
                if (m_pIn->GetAttribute(k) == a.pIn)
                    pOut->SetActiveAttribute(nIdx, k);
        }
    }

private:
    struct T_ARR {
        vtkDataArray* pIn = nullptr;
        const double* pInD = nullptr;
        size_t nComp = 1, nOff = 0;
        std::vector<double> aCopy; // the values as doubles, when they are not
    };
    const double* Src(const T_ARR& a, vtkIdType p) const
    {
        return p < m_nGrid ? a.pInD + static_cast<size_t>(p) * a.nComp
                           : &m_aMade[static_cast<size_t>(p - m_nGrid) * m_nTotal + a.nOff];
    }
    vtkPointData* m_pIn;
    vtkIdType m_nGrid;
    std::vector<T_ARR> m_aArr;
    size_t m_nTotal = 0;
    std::vector<double> m_aOut, m_aMade; // m_nTotal values per point
};

// Whether four points lie in one plane, decided exactly: by the floating determinant where it
// is clearly not 0, else by the sum of its 24 products of three coordinates, each held exactly
// as four doubles and added without rounding.
bool Coplanar(const double* a, const double* b, const double* c, const double* d)
{
    for (int k = 0; k < 3; ++k)
        if (a[k] == b[k] && a[k] == c[k] && a[k] == d[k])
            return true;
    double ad[3], bd[3], cd[3];
    for (int k = 0; k < 3; ++k)
        ad[k] = a[k] - d[k], bd[k] = b[k] - d[k], cd[k] = c[k] - d[k];
    const double det = ad[0] * (bd[1] * cd[2] - bd[2] * cd[1]) + bd[0] * (cd[1] * ad[2] - cd[2] * ad[1]) +
                       cd[0] * (ad[1] * bd[2] - ad[2] * bd[1]);
    const double perm = (std::fabs(bd[1] * cd[2]) + std::fabs(bd[2] * cd[1])) * std::fabs(ad[0]) +
                        (std::fabs(cd[1] * ad[2]) + std::fabs(cd[2] * ad[1])) * std::fabs(bd[0]) +
                        (std::fabs(ad[1] * bd[2]) + std::fabs(ad[2] * bd[1])) * std::fabs(cd[0]);
    if (std::fabs(det) > 1e-15 * perm)
        return false;
    // The determinant of the differences from a when they are exact, else of [p 1] over the
    // rows a, b, c, d: sums over the permutations of the rows given to x, y, z.
    const double* p[4] = {a, b, c, d};
    double dd[3][3];
    int nRows = 3;
    for (int i = 0; i < 3; ++i)
        for (int k = 0; k < 3; ++k) {
            const double x = p[i + 1][k], y = a[k], s = x - y, bv = x - s, av = s + bv;
            dd[i][k] = s;
            if ((x - av) + (bv - y) != 0.0) // the rounding of x - y (two-diff)
                nRows = 4;
        }
    const double* q[4] = {dd[0], dd[1], dd[2], nullptr};
    if (nRows == 4)
        std::copy(p, p + 4, q);
    std::array<double, 97> e{};
    size_t n = 0;
    auto grow = [&](double t) { // e + t exactly (two-sum along the expansion), zeros left out
        size_t m = 0;
        for (size_t i = 0; i < n; ++i) {
            const double s = t + e[i], bv = s - t, av = s - bv, h = (t - av) + (e[i] - bv);
            t = s;
            if (h != 0.0)
                e[m++] = h;
        }
        if (t != 0.0)
            e[m++] = t;
        n = m;
    };
    int r[4] = {0, 1, 2, 3};
    do {
        int nInv = 0;
        for (int i = 0; i < nRows; ++i)
            for (int j = i + 1; j < nRows; ++j)
                nInv += r[i] > r[j] ? 1 : 0;
        const double sg = nInv % 2 ? -1.0 : 1.0;
        const double x = q[r[0]][0], y = q[r[1]][1], z = q[r[2]][2];
        const double h = x * y, l = std::fma(x, y, -h);
        const double h1 = h * z, h2 = l * z;
        for (double t : {h1, std::fma(h, z, -h1), h2, std::fma(l, z, -h2)})
            grow(sg * t);
    } while (std::next_permutation(r, r + nRows));
    return n == 0;
}


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

vtkIdType PlaneCutIndex::EdgeNode(std::uint32_t a, std::uint32_t b) const
{
    const std::uint64_t key = EdgeKey(a, b);
    const auto it = std::lower_bound(m_aEdgeNode.begin(), m_aEdgeNode.end(), std::make_pair(key, std::uint32_t{0}));
    return it != m_aEdgeNode.end() && it->first == key ? static_cast<vtkIdType>(it->second) : -1;
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
    std::vector<std::pair<std::uint64_t, std::uint32_t>>().swap(m_aEdgeNode);
    m_aLevel.clear();
    for (double& b : m_dBounds)
        b = 0.0;
}

size_t PlaneCutIndex::MemoryBytes() const
{
    size_t n = (m_aOrder.capacity() + m_aCellStart.capacity() + m_aConn.capacity()) *
                   sizeof(std::uint32_t) +
               m_aCellBox.capacity() * sizeof(float) + m_aType.capacity() + m_aXyz.capacity() * sizeof(double) +
               m_aEdgeNode.capacity() * sizeof(m_aEdgeNode[0]);
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
        const T_CELL_SHAPE shape = ShapeOf(nType);
        for (int e = 0; shape.bQuadratic && nPts >= shape.Nodes() && e < shape.nEdge; ++e)
            m_aEdgeNode.push_back({EdgeKey(static_cast<std::uint32_t>(pIds[shape.pEdge[e][0]]),
                                           static_cast<std::uint32_t>(pIds[shape.pEdge[e][1]])),
                                   static_cast<std::uint32_t>(pIds[shape.nCorner + e])});
    }
    std::sort(m_aEdgeNode.begin(), m_aEdgeNode.end());
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

// A face lying in the plane, of a cell above it: its corners' grid ids sorted (the last
// UINT32_MAX for a triangle), its cell and face number. An edge of a 2-D cell: its ends'
// coordinates sorted, since plates give each element points of its own.
struct T_INPLANE {
    std::array<std::uint32_t, 4> aKey{};
    size_t nCell = 0;
    int nFace = 0;
};
using EdgeCoords = std::array<double, 6>;

// The cut of one plane. Every point, the grid's and those made in faces and cells, lies on
// one side: below when its plane value is negative, above otherwise, with no third state. A
// cell is cut where its faces, split into triangles the same way from both of their cells
// (a quadrilateral along the diagonal from its least corner id, a face with edge nodes through
// a point made once in it), have points on both sides; each crossing is one point, made once
// for every cell by the edge's ends, the point itself where the end above lies on the plane.
// A convex linear cell whose crossed faces are planar keeps one polygon of its crossings; any
// other cell's polygons are the loops its triangles' chords close (whole where the fan from one
// of their points covers them, else by ears), failing that the pieces of the tetrahedra between
// its triangles and its centre. Faces lying in the plane are thus cut by the cells below them;
// a face of a cell above counts where nothing was.
class PlaneCutter {
public:
    PlaneCutter(vtkUnstructuredGrid* pGrid, const PlaneCutIndex& index, const double origin[3],
                const double normal[3], PlaneCut& cut);
    // Cuts every cell the index gives, then the faces lying in the plane; the cells visited.
    vtkIdType CutCells();
    // Points, pieces, point and cell data into the cut's output.
    void Finish();

private:
    using Tri = std::array<vtkIdType, 3>;
    // Points by id: the grid's, then those made in faces and cells.
    const double* Xyz(vtkIdType p) const
    {
        return p < m_nGrid ? m_pXyz + 3 * static_cast<size_t>(p) : &m_aMadeXyz[3 * static_cast<size_t>(p - m_nGrid)];
    }
    double S(vtkIdType p) const
    {
        return p < m_nGrid ? PlaneValue(m_n, m_o, Xyz(p)) : m_aMadeS[static_cast<size_t>(p - m_nGrid)];
    }
    static bool Above(double s) { return !(s < 0.0); }
    vtkIdType MadePoint(const vtkIdType* pIds, int n);
    vtkIdType EdgeNode(const T_CELL_SHAPE& shape, const std::uint32_t* pPts, int ja, int jb) const;
    int FaceLoop(const T_CELL_SHAPE& shape, const std::uint32_t* pPts, const int* pCorner, int n, vtkIdType* pLoop) const;
    void FaceTriangles(const T_CELL_SHAPE& shape, const std::uint32_t* pPts, const int* pCorner, int n,
                       std::vector<Tri>& aTri);
    vtkIdType NewPoint(const double x[3]);
    vtkIdType OutPoint(vtkIdType p);
    // Plane values given when known: they are S(a) and S(b).
    vtkIdType Crossing(vtkIdType a, vtkIdType b) { return Crossing(a, b, S(a), S(b)); }
    vtkIdType Crossing(vtkIdType a, vtkIdType b, double sa, double sb);
    void CutCell(size_t i);
    void InPlane(size_t i, const T_CELL_SHAPE& shape, const std::uint32_t* pPts, bool bAbove);
    void CutPlate(vtkIdType c, const T_CELL_SHAPE& shape, const std::uint32_t* pPts);
    bool CutConvex(vtkIdType c, const T_CELL_SHAPE& shape, const std::uint32_t* pPts);
    void CutGeneral(vtkIdType c, const T_CELL_SHAPE& shape, const std::uint32_t* pPts);
    bool ChordLoops(vtkIdType c);
    void AddCellPoint(vtkIdType nId);
    void Ring();
    bool RingTurns(std::ptrdiff_t k, double dSign) const;
    bool Ears(double dSign);
    void AddRing(vtkIdType c, bool bReverse);
    void AddSegment(vtkIdType a, vtkIdType b, vtkIdType c);
    void InPlane2(double uv[2], const double* x, const double* pRef) const
    {
        const double d[3] = {x[0] - pRef[0], x[1] - pRef[1], x[2] - pRef[2]};
        uv[0] = d[0] * m_u[0] + d[1] * m_u[1] + d[2] * m_u[2];
        uv[1] = d[0] * m_v[0] + d[1] * m_v[1] + d[2] * m_v[2];
    }
    void SettleFaces();
    void AddFace(const T_INPLANE& face, const std::vector<size_t>& aClip);
    void Prefetch(size_t i) const;

    vtkUnstructuredGrid* m_pGrid;
    const PlaneCutIndex& m_index;
    const double* m_n; // the plane's normal
    const double* m_o; // and origin
    PlaneCut& m_cut;
    const double* m_pXyz; // the grid's coordinates, three per point
    vtkIdType m_nGrid;
    CCutValues m_values;
    // Points made in faces (keyed by their sorted corner ids) and cells: coordinates, plane values.
    std::vector<double> m_aMadeXyz, m_aMadeS;
    CCutPointTable m_facePoints;
    CCutPointTable m_table; // the cut's points
    // Points and pieces gathered in plain arrays, handed to VTK once at the end.
    std::vector<double> m_aPt;
    std::vector<vtkIdType> m_aLineConn, m_aPolyOffset, m_aPolyConn;
    // In-plane axes u, v with u x v = n: polygon points are put in turn about n.
    double m_u[3], m_v[3];

    // The cell being cut: its nodes' plane values, its cut points, their ring about the normal.
    std::vector<double> m_aS;
    std::vector<vtkIdType> m_aIds;
    struct T_RING {
        double dTurn;
        vtkIdType nId;
        double uv[2];
        bool operator<(const T_RING& o) const { return dTurn < o.dTurn || (dTurn == o.dTurn && nId < o.nId); }
    };
    std::vector<T_RING> m_aRing;
    vtkIdType m_aEdgeCut[8][8];
    std::vector<Tri> m_aTri;
    // A triangle's chord: from the crossing of one edge (its ends' ids) to that of another.
    struct T_CHORD {
        std::pair<vtkIdType, vtkIdType> from, to;
        vtkIdType nFrom, nTo;
    };
    std::vector<T_CHORD> m_aChord;
    std::vector<vtkIdType> m_aLoop, m_aPieceConn;
    std::vector<size_t> m_aStart, m_aPieceOff;
    std::vector<char> m_aUsed;

    // Faces (edges of 2-D cells) lying in the plane: of cells above, and of cells cut.
    std::vector<T_INPLANE> m_aAbove;
    std::vector<std::array<std::uint32_t, 4>> m_aBelow;
    std::vector<std::pair<EdgeCoords, std::pair<vtkIdType, vtkIdType>>> m_aAboveEdge;
    std::vector<EdgeCoords> m_aBelowEdge;
};

PlaneCutter::PlaneCutter(vtkUnstructuredGrid* pGrid, const PlaneCutIndex& index, const double origin[3],
                         const double normal[3], PlaneCut& cut)
    : m_pGrid(pGrid), m_index(index), m_n(normal), m_o(origin), m_cut(cut), m_pXyz(index.Points(pGrid)),
      m_nGrid(pGrid->GetNumberOfPoints()), m_values(pGrid->GetPointData(), pGrid->GetNumberOfPoints()),
      m_aPolyOffset(1, 0)
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
}

// A point made as the mean of points: coordinates, plane value and values alike, so that a
// face lying in the plane has its point in the plane.
vtkIdType PlaneCutter::MadePoint(const vtkIdType* pIds, int n)
{
    double x[3] = {0, 0, 0}, s = 0.0;
    for (int i = 0; i < n; ++i) {
        for (int k = 0; k < 3; ++k)
            x[k] += Xyz(pIds[i])[k];
        s += S(pIds[i]);
    }
    for (double& v : x)
        m_aMadeXyz.push_back(v / n);
    m_aMadeS.push_back(s / n);
    m_values.Mean(pIds, n);
    return m_nGrid + static_cast<vtkIdType>(m_aMadeS.size() - 1);
}

// The node on the edge between corners ja, jb: the cell's own, or one a quadratic neighbour
// puts there; -1 for none.
vtkIdType PlaneCutter::EdgeNode(const T_CELL_SHAPE& shape, const std::uint32_t* pPts, int ja, int jb) const
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

// A face's points in turn (corners and the nodes on its edges); their count.
int PlaneCutter::FaceLoop(const T_CELL_SHAPE& shape, const std::uint32_t* pPts, const int* pCorner, int n,
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

// A face as triangles in its turn, split the same way from both of its cells.
void PlaneCutter::FaceTriangles(const T_CELL_SHAPE& shape, const std::uint32_t* pPts, const int* pCorner, int n,
                                std::vector<Tri>& aTri)
{
    vtkIdType l[8];
    const int m = FaceLoop(shape, pPts, pCorner, n, l);
    if (m == 3) {
        aTri.push_back({l[0], l[1], l[2]});
    } else if (m == 4 && n == 4) {
        const int r = static_cast<int>(std::min_element(l, l + 4) - l);
        aTri.push_back({l[r], l[(r + 1) % 4], l[(r + 2) % 4]});
        aTri.push_back({l[r], l[(r + 2) % 4], l[(r + 3) % 4]});
    } else {
        std::array<std::uint32_t, 4> key{UINT32_MAX, UINT32_MAX, UINT32_MAX, UINT32_MAX};
        for (int j = 0; j < n; ++j)
            key[static_cast<size_t>(j)] = pPts[pCorner[j]];
        std::sort(key.begin(), key.end());
        const vtkIdType a = static_cast<vtkIdType>(std::uint64_t{key[0]} << 32 | key[1]);
        const vtkIdType b = static_cast<vtkIdType>(std::uint64_t{key[2]} << 32 | key[3]);
        vtkIdType p = m_facePoints.Find(a, b);
        if (p < 0) {
            p = MadePoint(l, m);
            m_facePoints.Insert(a, b, p);
        }
        for (int j = 0; j < m; ++j)
            aTri.push_back({p, l[j], l[(j + 1) % m]});
    }
}

vtkIdType PlaneCutter::NewPoint(const double x[3])
{
    m_aPt.insert(m_aPt.end(), x, x + 3);
    return static_cast<vtkIdType>(m_aPt.size() / 3 - 1);
}

// The cut point at point p itself.
vtkIdType PlaneCutter::OutPoint(vtkIdType p)
{
    vtkIdType nId = m_table.Find(p, -1);
    if (nId < 0) {
        nId = NewPoint(Xyz(p));
        m_values.Copy(p);
        m_table.Insert(p, -1, nId);
    }
    return nId;
}

// Where the edge between a and b, on either side, crosses the plane: interpolated from the end
// below, x = xa + t (xb - xa), the end above itself when it lies on the plane.
vtkIdType PlaneCutter::Crossing(vtkIdType a, vtkIdType b, double sa, double sb)
{
    if (Above(sa)) {
        std::swap(a, b);
        std::swap(sa, sb);
    }
    if (sb == 0.0)
        return OutPoint(b);
    vtkIdType nId = m_table.Find(std::min(a, b), std::max(a, b));
    if (nId >= 0)
        return nId;
    const double t = (0.0 - sa) / (sb - sa);
    const double *xa = Xyz(a), *xb = Xyz(b);
    const double x[3] = {xa[0] + t * (xb[0] - xa[0]), xa[1] + t * (xb[1] - xa[1]), xa[2] + t * (xb[2] - xa[2])};
    nId = NewPoint(x);
    m_values.Lerp(a, b, t);
    m_table.Insert(std::min(a, b), std::max(a, b), nId);
    return nId;
}

void PlaneCutter::CutCell(size_t i)
{
    const T_CELL_SHAPE shape = ShapeOf(m_index.CellType(i));
    const int nNodes = shape.Nodes();
    if (shape.nDim == 0 || m_index.CellSize(i) < nNodes)
        return;
    const std::uint32_t* pPts = m_index.CellPoints(i);
    m_aS.resize(static_cast<size_t>(nNodes));
    int nBelow = 0, nZero = 0, nAll = nNodes;
    for (int j = 0; j < nNodes; ++j) {
        const double s = PlaneValue(m_n, m_o, Xyz(pPts[j]));
        m_aS[static_cast<size_t>(j)] = s;
        nBelow += s < 0.0 ? 1 : 0;
        nZero += s == 0.0 ? 1 : 0;
    }
    // A linear cell beside quadratic ones has their edge nodes on its faces.
    bool bMids = false;
    for (int e = 0; !shape.bQuadratic && m_index.HasEdgeNodes() && e < shape.nEdge; ++e) {
        const vtkIdType nMid = m_index.EdgeNode(pPts[shape.pEdge[e][0]], pPts[shape.pEdge[e][1]]);
        if (nMid < 0)
            continue;
        const double s = S(nMid);
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
            InPlane(i, shape, pPts, true);
        return;
    }
    if (nZero >= shape.nDim)
        InPlane(i, shape, pPts, false);
    const vtkIdType c = m_index.CellId(i);
    if (shape.nDim == 2)
        CutPlate(c, shape, pPts);
    else if (shape.bQuadratic || bMids || !CutConvex(c, shape, pPts))
        CutGeneral(c, shape, pPts);
}

// The faces of a 3-D cell (edges of a 2-D cell) whose every node lies on the plane: of a cell
// above, waiting; of a cell cut, what it cut there.
void PlaneCutter::InPlane(size_t i, const T_CELL_SHAPE& shape, const std::uint32_t* pPts, bool bAbove)
{
    auto zero = [&](const vtkIdType* l, int m) {
        return std::all_of(l, l + m, [&](vtkIdType p) { return S(p) == 0.0; });
    };
    if (shape.nDim == 2) {
        for (int e = 0; e < shape.nEdge; ++e) {
            const int* pe = shape.pEdge[e];
            const vtkIdType l[3] = {pPts[pe[0]], pPts[pe[1]], EdgeNode(shape, pPts, pe[0], pe[1])};
            if (!zero(l, l[2] >= 0 ? 3 : 2))
                continue;
            const double *xa = Xyz(pPts[pe[0]]), *xb = Xyz(pPts[pe[1]]);
            EdgeCoords key{xa[0], xa[1], xa[2], xb[0], xb[1], xb[2]};
            if (std::lexicographical_compare(xb, xb + 3, xa, xa + 3))
                key = {xb[0], xb[1], xb[2], xa[0], xa[1], xa[2]};
            if (bAbove)
                m_aAboveEdge.push_back({key, {static_cast<vtkIdType>(i), e}});
            else
                m_aBelowEdge.push_back(key);
        }
        return;
    }
    const T_FACE_LIST* pFaces = SolidFacesOf(shape.nLinear);
    for (int f = 0; f < pFaces->nFace; ++f) {
        const int* pc = pFaces->aCorner[f];
        const int n = pc[3] < 0 ? 3 : 4;
        vtkIdType l[8];
        if (!zero(l, FaceLoop(shape, pPts, pc, n, l)))
            continue;
        T_INPLANE face;
        face.aKey.fill(UINT32_MAX);
        for (int j = 0; j < n; ++j)
            face.aKey[static_cast<size_t>(j)] = pPts[pc[j]];
        std::sort(face.aKey.begin(), face.aKey.end());
        face.nCell = i;
        face.nFace = f;
        if (bAbove)
            m_aAbove.push_back(face);
        else
            m_aBelow.push_back(face.aKey);
    }
}

void PlaneCutter::AddSegment(vtkIdType a, vtkIdType b, vtkIdType c)
{
    if (a == b)
        return;
    m_aLineConn.push_back(a);
    m_aLineConn.push_back(b);
    m_cut.aLineCell.push_back(c);
}

// A 2-D cell: the chord between the crossings of its boundary when there are two, else the
// chords of its triangles.
void PlaneCutter::CutPlate(vtkIdType c, const T_CELL_SHAPE& shape, const std::uint32_t* pPts)
{
    int aCorner[4] = {-1, -1, -1, -1};
    for (int e = 0; e < shape.nEdge; ++e)
        aCorner[e] = shape.pEdge[e][0];
    vtkIdType l[9];
    const int m = FaceLoop(shape, pPts, aCorner, shape.nEdge, l);
    vtkIdType x[2] = {-1, -1};
    int nCross = 0;
    for (int j = 0; j < m; ++j)
        if (Above(S(l[j])) != Above(S(l[(j + 1) % m])) && nCross++ < 2)
            x[nCross - 1] = Crossing(l[j], l[(j + 1) % m]);
    if (nCross == 2) {
        AddSegment(x[0], x[1], c);
        return;
    }
    m_aTri.clear();
    FaceTriangles(shape, pPts, aCorner, shape.nEdge, m_aTri);
    for (const Tri& t : m_aTri) {
        nCross = 0;
        for (int j = 0; j < 3; ++j)
            if (Above(S(t[static_cast<size_t>(j)])) != Above(S(t[static_cast<size_t>((j + 1) % 3)])))
                x[nCross++] = Crossing(t[static_cast<size_t>(j)], t[static_cast<size_t>((j + 1) % 3)]);
        if (nCross == 2)
            AddSegment(x[0], x[1], c);
    }
}

void PlaneCutter::AddCellPoint(vtkIdType nId)
{
    if (std::find(m_aIds.begin(), m_aIds.end(), nId) == m_aIds.end())
        m_aIds.push_back(nId);
}

// The cell's cut points in turn about the normal, about their mean.
void PlaneCutter::Ring()
{
    const size_t m = m_aIds.size();
    double cm[3] = {0, 0, 0};
    for (vtkIdType nId : m_aIds)
        for (int k = 0; k < 3; ++k)
            cm[k] += m_aPt[3 * static_cast<size_t>(nId) + static_cast<size_t>(k)] / static_cast<double>(m);
    m_aRing.clear();
    for (vtkIdType nId : m_aIds) {
        double uv[2];
        InPlane2(uv, &m_aPt[3 * static_cast<size_t>(nId)], cm);
        m_aRing.push_back({Turn(uv[0], uv[1]), nId, {uv[0], uv[1]}});
    }
    std::sort(m_aRing.begin(), m_aRing.end());
}

namespace {

// Whether b - a then c - o turn dSign's way (> 0: about the normal), up to rounding.
bool Turns(const double* a, const double* b, const double* c, const double* o, double dSign)
{
    const double e[2] = {b[0] - a[0], b[1] - a[1]}, f[2] = {c[0] - o[0], c[1] - o[1]};
    const double dCross = dSign * (e[0] * f[1] - e[1] * f[0]);
    const double dTol = 16 * std::numeric_limits<double>::epsilon();
    return dCross >= 0.0 || dCross * dCross <= dTol * dTol * (e[0] * e[0] + e[1] * e[1]) * (f[0] * f[0] + f[1] * f[1]);
}

} // namespace

// Whether the fan of the ring from its point k turns one way (dSign > 0: about the normal), so
// that it covers the ring once; with k < 0, whether the ring turns so at each point.
bool PlaneCutter::RingTurns(std::ptrdiff_t k, double dSign) const
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

void PlaneCutter::AddRing(vtkIdType c, bool bReverse)
{
    if (bReverse) // from the same first point, whose fan covers the polygon
        std::reverse(m_aRing.begin() + 1, m_aRing.end());
    for (const T_RING& r : m_aRing)
        m_aPolyConn.push_back(r.nId);
    m_aPolyOffset.push_back(static_cast<vtkIdType>(m_aPolyConn.size()));
    m_cut.aPolyCell.push_back(c);
}

// A linear cell whose polygon is its crossings in turn: every crossed face adds one chord
// between two neighbours of the turn, straight since the face is planar or both crossings lie
// in one of its triangles, and the turn is convex. False, nothing added, otherwise.
bool PlaneCutter::CutConvex(vtkIdType c, const T_CELL_SHAPE& shape, const std::uint32_t* pPts)
{
    m_aIds.clear();
    const auto above = [&](int j) { return Above(m_aS[static_cast<size_t>(j)]); };
    for (int e = 0; e < shape.nEdge; ++e) {
        const int ja = shape.pEdge[e][0], jb = shape.pEdge[e][1];
        if (above(ja) == above(jb))
            continue;
        const vtkIdType nId = Crossing(pPts[ja], pPts[jb], m_aS[static_cast<size_t>(ja)], m_aS[static_cast<size_t>(jb)]);
        m_aEdgeCut[ja][jb] = m_aEdgeCut[jb][ja] = nId;
        AddCellPoint(nId);
    }
    const T_FACE_LIST* pFaces = SolidFacesOf(shape.nLinear);
    std::pair<vtkIdType, vtkIdType> aChord[6];
    int nChord = 0;
    for (int f = 0; f < pFaces->nFace; ++f) {
        const int* pc = pFaces->aCorner[f];
        const int n = pc[3] < 0 ? 3 : 4;
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
            int r = 0;
            for (int j = 1; j < 4; ++j)
                r = pPts[pc[j]] < pPts[pc[r]] ? j : r;
            if (above(pc[r]) != above(pc[(r + 2) % 4]) &&
                !Coplanar(Xyz(pPts[pc[0]]), Xyz(pPts[pc[1]]), Xyz(pPts[pc[2]]), Xyz(pPts[pc[3]])))
                return false;
        }
        if (x[0] != x[1])
            aChord[nChord++] = {x[0], x[1]};
    }
    if (m_aIds.size() < 3)
        return true;
    Ring();
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
    AddRing(c, false);
    return true;
}

// Any cut cell: its faces' triangles, their chords chained into loops; the tetrahedra between
// the triangles and its centre where the loops are not convex polygons of one turn.
void PlaneCutter::CutGeneral(vtkIdType c, const T_CELL_SHAPE& shape, const std::uint32_t* pPts)
{
    m_aTri.clear();
    const T_FACE_LIST* pFaces = SolidFacesOf(shape.nLinear);
    for (int f = 0; f < pFaces->nFace; ++f)
        FaceTriangles(shape, pPts, pFaces->aCorner[f], pFaces->aCorner[f][3] < 0 ? 3 : 4, m_aTri);
    // A triangle's chord runs with the plane's normal on its left as the triangle turns about its
    // outside (or, for cells listed inside out, all the other way): chords chain into loops.
    m_aChord.clear();
    for (const Tri& t : m_aTri) {
        const bool up[3] = {Above(S(t[0])), Above(S(t[1])), Above(S(t[2]))};
        if (up[0] == up[1] && up[1] == up[2])
            continue;
        const int i = up[0] != up[1] && up[0] != up[2] ? 0 : up[1] != up[0] ? 1 : 2;
        const vtkIdType a = t[static_cast<size_t>(i)], b = t[static_cast<size_t>((i + 1) % 3)],
                        d = t[static_cast<size_t>((i + 2) % 3)];
        T_CHORD ch{{std::min(a, d), std::max(a, d)}, {std::min(a, b), std::max(a, b)}, Crossing(a, d), Crossing(a, b)};
        if (up[i]) {
            std::swap(ch.from, ch.to);
            std::swap(ch.nFrom, ch.nTo);
        }
        m_aChord.push_back(ch);
    }
    if (ChordLoops(c))
        return;
    std::vector<vtkIdType> aNode(pPts, pPts + shape.Nodes());
    const vtkIdType nCentre = MadePoint(aNode.data(), shape.Nodes());
    for (const Tri& t : m_aTri) {
        const vtkIdType v[4] = {t[0], t[1], t[2], nCentre};
        m_aIds.clear();
        for (int p = 0; p < 4; ++p)
            for (int q = p + 1; q < 4; ++q)
                if (Above(S(v[p])) != Above(S(v[q])))
                    AddCellPoint(Crossing(v[p], v[q]));
        if (m_aIds.size() >= 3) {
            Ring();
            AddRing(c, false);
        }
    }
}

// The chords' loops as polygons, when every loop closes, meets itself nowhere and all turn one
// way: a loop that comes back along itself (no area) adds nothing. False, nothing added,
// otherwise.
bool PlaneCutter::ChordLoops(vtkIdType c)
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
            while (j < n && (m_aUsed[j] || m_aChord[j].from != m_aChord[k].to))
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
    for (size_t l = 0; l + 1 < m_aStart.size(); ++l) {
        size_t b = m_aStart[l], e = m_aStart[l + 1];
        while (e - b > 1 && m_aLoop[e - 1] == m_aLoop[b])
            --e;
        if (e - b < 3)
            continue;
        m_aRing.clear();
        double dArea = 0.0;
        for (size_t k = b; k < e; ++k) {
            double uv[2];
            InPlane2(uv, &m_aPt[3 * static_cast<size_t>(m_aLoop[k])], &m_aPt[3 * static_cast<size_t>(m_aLoop[b])]);
            if (k > b)
                dArea += m_aRing.back().uv[0] * uv[1] - m_aRing.back().uv[1] * uv[0];
            m_aRing.push_back({0.0, m_aLoop[k], {uv[0], uv[1]}});
            for (size_t j = b; j < k; ++j)
                if (m_aLoop[j] == m_aLoop[k])
                    return false; // the loop meets itself at a point
        }
        if (dArea == 0.0)
            continue;
        if (dSign * dArea < 0.0)
            return false;
        dSign = dArea > 0.0 ? 1.0 : -1.0;
        // Whole when its fan from one of its points covers it (first the first point, then a
        // corner turning the other way), else cut into triangles ear by ear.
        const size_t m = m_aRing.size();
        size_t nFrom = 0;
        while (nFrom < m && !RingTurns(static_cast<std::ptrdiff_t>(nFrom), dSign))
            ++nFrom;
        if (nFrom == m && !Ears(dSign))
            return false;
        for (size_t k = 0; nFrom < m && k < m; ++k)
            m_aPieceConn.push_back(m_aRing[(nFrom + k) % m].nId);
        if (nFrom < m)
            m_aPieceOff.push_back(m_aPieceConn.size());
    }
    for (size_t p = 0; p + 1 < m_aPieceOff.size(); ++p) {
        m_aRing.clear();
        for (size_t k = m_aPieceOff[p]; k < m_aPieceOff[p + 1]; ++k)
            m_aRing.push_back({0.0, m_aPieceConn[k], {0.0, 0.0}});
        AddRing(c, dSign < 0.0);
    }
    return true;
}

// The ring, a simple polygon turning dSign's way, cut into triangles: each an ear, a corner
// turning that way whose triangle holds no other point; a corner in line with its neighbours
// is dropped. False when neither is left, or when the ring comes back to a point it passed (a
// crossing a rounding from a node), where ears are not sure.
bool PlaneCutter::Ears(double dSign)
{
    // Points apart by no more than the rounding of their coordinates are one.
    std::vector<T_RING> r;
    double dScale = 0.0;
    for (const T_RING& q : m_aRing) {
        if (r.empty() || q.uv[0] != r.back().uv[0] || q.uv[1] != r.back().uv[1])
            r.push_back(q);
        for (int k = 0; k < 3; ++k)
            dScale = std::max({dScale, std::fabs(m_aPt[3 * static_cast<size_t>(q.nId) + static_cast<size_t>(k)]),
                               std::fabs(q.uv[k % 2])});
    }
    const double dTol = 64 * std::numeric_limits<double>::epsilon() * dScale;
    for (size_t i = 0; i < r.size(); ++i)
        for (size_t j = i + 2; j < r.size() && j + (i == 0 ? 1 : 0) < r.size(); ++j) {
            const double du = r[i].uv[0] - r[j].uv[0], dv = r[i].uv[1] - r[j].uv[1];
            if (du * du + dv * dv <= dTol * dTol)
                return false;
        }
    auto turn = [&](const T_RING& a, const T_RING& b, const T_RING& c) {
        return dSign * ((b.uv[0] - a.uv[0]) * (c.uv[1] - a.uv[1]) - (b.uv[1] - a.uv[1]) * (c.uv[0] - a.uv[0]));
    };
    auto add = [&](const T_RING& a, const T_RING& b, const T_RING& c) {
        m_aPieceConn.insert(m_aPieceConn.end(), {a.nId, b.nId, c.nId});
        m_aPieceOff.push_back(m_aPieceConn.size());
    };
    while (r.size() > 3) {
        const size_t m = r.size();
        size_t k = 0;
        for (; k < m; ++k) {
            const T_RING &a = r[(k + m - 1) % m], &b = r[k], &c = r[(k + 1) % m];
            bool bEar = turn(a, b, c) > 0.0;
            for (size_t j = (k + 2) % m; bEar && j != (k + m - 1) % m; j = (j + 1) % m)
                bEar = turn(a, b, r[j]) < 0.0 || turn(b, c, r[j]) < 0.0 || turn(c, a, r[j]) < 0.0;
            if (bEar)
                break;
        }
        if (k < m) {
            add(r[(k + m - 1) % m], r[k], r[(k + 1) % m]);
        } else {
            k = 0;
            while (k < m && turn(r[(k + m - 1) % m], r[k], r[(k + 1) % m]) != 0.0)
                ++k;
            if (k == m)
                return false;
        }
        r.erase(r.begin() + static_cast<std::ptrdiff_t>(k));
    }
    add(r[0], r[1], r[2]);
    return true;
}

void PlaneCutter::Prefetch(size_t i) const
{
    const std::uint32_t* pP = m_index.CellPoints(i);
    for (int j = 0; j < m_index.CellSize(i); ++j) {
        __builtin_prefetch(Xyz(pP[j]));
        m_values.Prefetch(pP[j]);
    }
}

vtkIdType PlaneCutter::CutCells()
{
    vtkIdType nVisited = 0;
    // The candidates first, then their cuts with the points of a few cells ahead asked for
    // early: a plane's cells lie scattered through memory, and waiting on each in turn would
    // dominate the cut.
    std::vector<size_t> aCand;
    m_index.Visit(m_n, m_o, [&](size_t i) { aCand.push_back(i); });
    constexpr size_t kAhead = 12;
    // Two stages: a cell's point list twice as far ahead as its points.
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
        CutCell(aCand[k]);
    }
    SettleFaces();
    return nVisited;
}

// Faces of cells above lying in the plane, once every cell was cut: a face that a cell cut
// too (its twin by corner ids) is dropped, as is the second of twins; the rest count less the
// polygons cut over them, found through a tree of the faces' boxes, box against box. Edges of
// 2-D cells above are dropped where a cell cut an edge of the same ends.
void PlaneCutter::SettleFaces()
{
    std::sort(m_aBelowEdge.begin(), m_aBelowEdge.end());
    std::stable_sort(m_aAboveEdge.begin(), m_aAboveEdge.end(),
                     [](const auto& a, const auto& b) { return a.first < b.first; });
    for (size_t k = 0; k < m_aAboveEdge.size(); ++k) {
        const auto& [key, at] = m_aAboveEdge[k];
        if ((k > 0 && m_aAboveEdge[k - 1].first == key) ||
            std::binary_search(m_aBelowEdge.begin(), m_aBelowEdge.end(), key))
            continue;
        const size_t i = static_cast<size_t>(at.first);
        const T_CELL_SHAPE shape = ShapeOf(m_index.CellType(i));
        const std::uint32_t* pPts = m_index.CellPoints(i);
        const int* pe = shape.pEdge[at.second];
        const vtkIdType a = OutPoint(pPts[pe[0]]), b = OutPoint(pPts[pe[1]]);
        const vtkIdType nMid = EdgeNode(shape, pPts, pe[0], pe[1]);
        const vtkIdType c = m_index.CellId(i);
        if (nMid < 0) {
            AddSegment(a, b, c);
        } else {
            const vtkIdType m = OutPoint(nMid);
            AddSegment(a, m, c);
            AddSegment(m, b, c);
        }
    }
    std::sort(m_aBelow.begin(), m_aBelow.end());
    std::stable_sort(m_aAbove.begin(), m_aAbove.end(),
                     [](const T_INPLANE& a, const T_INPLANE& b) { return a.aKey < b.aKey; });
    std::vector<T_INPLANE> aFace;
    for (size_t k = 0; k < m_aAbove.size(); ++k)
        if (!(k > 0 && m_aAbove[k - 1].aKey == m_aAbove[k].aKey) &&
            !std::binary_search(m_aBelow.begin(), m_aBelow.end(), m_aAbove[k].aKey))
            aFace.push_back(m_aAbove[k]);
    if (aFace.empty())
        return;
    int k0 = 0, k1 = 0;
    GraphAxes(m_n, k0, k1);
    auto grow = [&](double* b, const double* x) {
        b[0] = std::min(b[0], x[k0]), b[1] = std::max(b[1], x[k0]);
        b[2] = std::min(b[2], x[k1]), b[3] = std::max(b[3], x[k1]);
    };
    std::vector<double> aBox;
    for (const T_INPLANE& f : aFace) {
        const T_CELL_SHAPE shape = ShapeOf(m_index.CellType(f.nCell));
        const int* pc = SolidFacesOf(shape.nLinear)->aCorner[f.nFace];
        vtkIdType l[8];
        const int m = FaceLoop(shape, m_index.CellPoints(f.nCell), pc, pc[3] < 0 ? 3 : 4, l);
        double b[4] = {HUGE_VAL, -HUGE_VAL, HUGE_VAL, -HUGE_VAL};
        for (int j = 0; j < m; ++j)
            grow(b, Xyz(l[j]));
        aBox.insert(aBox.end(), b, b + 4);
    }
    FlatBoxTree tree;
    tree.Build(aBox);
    std::vector<std::pair<size_t, size_t>> aPair;
    const size_t nPolys = m_aPolyOffset.size() - 1;
    for (size_t p = 0; p < nPolys; ++p) {
        double b[4] = {HUGE_VAL, -HUGE_VAL, HUGE_VAL, -HUGE_VAL};
        for (auto k = m_aPolyOffset[p]; k < m_aPolyOffset[p + 1]; ++k)
            grow(b, &m_aPt[3 * static_cast<size_t>(m_aPolyConn[static_cast<size_t>(k)])]);
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

// A face of a cell above lying in the plane, less the polygons aClip: whole, as one polygon
// (a face with edge nodes as its triangles), when nothing overlaps it; else the pieces of each
// triangle, in coordinates from the face's first point, their new points placed and valued
// within their triangle.
void PlaneCutter::AddFace(const T_INPLANE& face, const std::vector<size_t>& aClip)
{
    const T_CELL_SHAPE shape = ShapeOf(m_index.CellType(face.nCell));
    const std::uint32_t* pPts = m_index.CellPoints(face.nCell);
    const vtkIdType c = m_index.CellId(face.nCell);
    const int* pc = SolidFacesOf(shape.nLinear)->aCorner[face.nFace];
    const int n = pc[3] < 0 ? 3 : 4;
    vtkIdType l[8];
    const int m = FaceLoop(shape, pPts, pc, n, l);
    if (aClip.empty() && m == n) {
        m_aIds.clear();
        for (int j = 0; j < n; ++j)
            AddCellPoint(OutPoint(l[j]));
        Ring();
        AddRing(c, false);
        return;
    }
    m_aTri.clear();
    FaceTriangles(shape, pPts, pc, n, m_aTri);
    const double* pRef = Xyz(l[0]);
    double dScale2 = 0.0;
    for (int j = 0; j < m; ++j) {
        double a[2], b[2];
        InPlane2(a, Xyz(l[j]), pRef);
        InPlane2(b, Xyz(l[(j + 1) % m]), pRef);
        dScale2 = std::max(dScale2, (a[0] - b[0]) * (a[0] - b[0]) + (a[1] - b[1]) * (a[1] - b[1]));
    }
    // The clips, counterclockwise; one that is not convex as the fan from its first point.
    std::vector<FlatPolygon> aClipUv, aPieces;
    FlatPolygon uv;
    for (size_t p : aClip) {
        uv.clear();
        for (auto k = m_aPolyOffset[p]; k < m_aPolyOffset[p + 1]; ++k) {
            double w[2];
            InPlane2(w, &m_aPt[3 * static_cast<size_t>(m_aPolyConn[static_cast<size_t>(k)])], pRef);
            uv.insert(uv.end(), w, w + 2);
        }
        const size_t n = uv.size() / 2;
        bool bConvex = true;
        for (size_t i = 0; i < n && bConvex; ++i) {
            const double* a = &uv[2 * ((i + n - 1) % n)];
            const double* b = &uv[2 * i];
            const double* q = &uv[2 * ((i + 1) % n)];
            bConvex = (b[0] - a[0]) * (q[1] - b[1]) - (b[1] - a[1]) * (q[0] - b[0]) >= 0.0;
        }
        for (size_t i = 1; !bConvex && i + 1 < n; ++i)
            aClipUv.push_back({uv[0], uv[1], uv[2 * i], uv[2 * i + 1], uv[2 * i + 2], uv[2 * i + 3]});
        if (bConvex)
            aClipUv.push_back(uv);
    }
    for (const Tri& t : m_aTri) {
        vtkIdType gc[3] = {t[0], t[1], t[2]};
        double tc[3][2];
        for (int e = 0; e < 3; ++e)
            InPlane2(tc[e], Xyz(gc[e]), pRef);
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
                    m_aPolyConn.push_back(OutPoint(gc[nCorner]));
                    continue;
                }
                const double d[2] = {p[0] - tc[0][0], p[1] - tc[0][1]};
                const double l1 = (d[0] * e2[1] - d[1] * e2[0]) / det, l2 = (e1[0] * d[1] - e1[1] * d[0]) / det;
                const double *x0 = Xyz(gc[0]), *x1 = Xyz(gc[1]), *x2 = Xyz(gc[2]);
                double y[3];
                for (int k = 0; k < 3; ++k)
                    y[k] = x0[k] + l1 * (x1[k] - x0[k]) + l2 * (x2[k] - x0[k]);
                m_aPolyConn.push_back(NewPoint(y));
                m_values.Barycentric(gc, l1, l2);
            }
            m_aPolyOffset.push_back(static_cast<vtkIdType>(m_aPolyConn.size()));
            m_cut.aPolyCell.push_back(c);
        }
    }
}

void PlaneCutter::Finish()
{
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
    // Each piece takes the cell data of its grid cell: lines first, then polygons, as listed.
    vtkCellData* pInCd = m_pGrid->GetCellData();
    if (!pInCd || pInCd->GetNumberOfArrays() == 0)
        return;
    vtkCellData* pOutCd = pOut->GetCellData();
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
