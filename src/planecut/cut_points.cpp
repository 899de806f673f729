#include "planecut/cut_points.h"

#include "planecut/cut_predicates.h"

#include <vtkCellArray.h>
#include <vtkDoubleArray.h>
#include <vtkNew.h>
#include <vtkPointData.h>
#include <vtkPoints.h>
#include <vtkPolyData.h>
#include <vtkUnstructuredGrid.h>

#include <algorithm>

namespace kvpvs::planecut {

namespace {

// Ids of points by their keys, open addressing: the cut asks for every crossing, and most are
// made by two or more cells.
template <class KEY>
class CKeyedIds {
public:
    CKeyedIds() : m_aSlot(1024) {}
    // The id stored for the key, or -1 with the slot remembered for Insert.
    vtkIdType Find(const KEY& key)
    {
        const size_t nMask = m_aSlot.size() - 1;
        for (size_t h = Hash(key) & nMask;; h = (h + 1) & nMask) {
            const T_SLOT& s = m_aSlot[h];
            if (s.nId < 0) {
                m_nFree = h;
                return -1;
            }
            if (s.key == key)
                return s.nId;
        }
    }
    void Insert(const KEY& key, vtkIdType nId)
    {
        m_aSlot[m_nFree] = {key, nId};
        if (2 * ++m_nUsed > m_aSlot.size())
            Grow();
    }

private:
    struct T_SLOT {
        KEY key{};
        vtkIdType nId = -1;
    };
    static size_t Hash(const EdgeKey& k)
    {
        return Mix(static_cast<std::uint64_t>(k.a), static_cast<std::uint64_t>(k.b));
    }
    static size_t Hash(const FaceKey& k)
    {
        return Mix(static_cast<std::uint64_t>(k.aId[0]) << 32 ^ static_cast<std::uint64_t>(k.aId[1]),
                   static_cast<std::uint64_t>(k.aId[2]) << 32 ^ static_cast<std::uint64_t>(k.aId[3]));
    }
    static size_t Mix(std::uint64_t a, std::uint64_t b)
    {
        std::uint64_t h = a * 0x9E3779B97F4A7C15ull;
        h ^= b + 0x7F4A7C159E3779B9ull + (h << 6) + (h >> 2);
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
            size_t h = Hash(s.key) & nMask;
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

} // namespace

FaceKey FaceKey::Of(const vtkIdType* pIds, int n)
{
    FaceKey k;
    k.aId.fill(UINT32_MAX);
    for (int i = 0; i < n && i < 4; ++i)
        k.aId[static_cast<size_t>(i)] = static_cast<std::uint32_t>(pIds[i]);
    std::sort(k.aId.begin(), k.aId.end());
    return k;
}

struct CutPoints::Impl {
    Impl(vtkUnstructuredGrid* pGrid) : values(pGrid->GetPointData(), pGrid->GetNumberOfPoints()) {}
    CCutValues values;
    CKeyedIds<EdgeKey> cut;   // the cut's points
    CKeyedIds<FaceKey> faces; // points made in faces
};

CutPoints::CutPoints(vtkUnstructuredGrid* pGrid, const PlaneCutIndex& index, const double n[3], const double o[3])
    : m_n(n), m_o(o), m_pXyz(index.Points(pGrid)), m_nGrid(pGrid->GetNumberOfPoints()),
      m_p(std::make_unique<Impl>(pGrid))
{}

CutPoints::~CutPoints() = default;

// Coordinates, plane value and values alike, so that a face lying in the plane has its point in
// the plane.
vtkIdType CutPoints::Mean(const vtkIdType* pIds, int n)
{
    std::array<vtkIdType, 27> aSorted{};
    std::copy(pIds, pIds + n, aSorted.begin());
    std::sort(aSorted.begin(), aSorted.begin() + n);
    double x[3] = {0, 0, 0}, s = 0.0;
    for (int i = 0; i < n; ++i) {
        for (int k = 0; k < 3; ++k)
            x[k] += Xyz(aSorted[static_cast<size_t>(i)])[k];
        s += S(aSorted[static_cast<size_t>(i)]);
    }
    for (double& v : x)
        m_aMadeXyz.push_back(v / n);
    m_aMadeS.push_back(s / n);
    m_p->values.Mean(aSorted.data(), n);
    return m_nGrid + static_cast<vtkIdType>(m_aMadeS.size() - 1);
}

vtkIdType CutPoints::FacePoint(const FaceKey& key, const vtkIdType* pLoop, int m)
{
    vtkIdType p = m_p->faces.Find(key);
    if (p < 0) {
        p = Mean(pLoop, m);
        m_p->faces.Insert(key, p);
    }
    return p;
}

vtkIdType CutPoints::NewPoint(const double x[3])
{
    m_aPt.insert(m_aPt.end(), x, x + 3);
    return static_cast<vtkIdType>(m_aPt.size() / 3 - 1);
}

vtkIdType CutPoints::At(vtkIdType p)
{
    vtkIdType nId = m_p->cut.Find(EdgeKey::Point(p));
    if (nId < 0) {
        nId = NewPoint(Xyz(p));
        m_p->values.Copy(p);
        m_p->cut.Insert(EdgeKey::Point(p), nId);
    }
    return nId;
}

// Interpolated from the end below, x = xa + t (xb - xa), so that every cell makes the same
// point; the end above itself when it lies on the plane.
vtkIdType CutPoints::Crossing(vtkIdType a, vtkIdType b, double sa, double sb)
{
    if (Above(sa)) {
        std::swap(a, b);
        std::swap(sa, sb);
    }
    if (sb == 0.0)
        return At(b);
    const EdgeKey key = EdgeKey::Edge(a, b);
    vtkIdType nId = m_p->cut.Find(key);
    if (nId >= 0)
        return nId;
    const double t = (0.0 - sa) / (sb - sa);
    const double *xa = Xyz(a), *xb = Xyz(b);
    const double x[3] = {xa[0] + t * (xb[0] - xa[0]), xa[1] + t * (xb[1] - xa[1]), xa[2] + t * (xb[2] - xa[2])};
    nId = NewPoint(x);
    m_p->values.Lerp(a, b, t);
    m_p->cut.Insert(key, nId);
    return nId;
}

vtkIdType CutPoints::InTriangle(const vtkIdType g[3], double l1, double l2)
{
    const double *x0 = Xyz(g[0]), *x1 = Xyz(g[1]), *x2 = Xyz(g[2]);
    double y[3];
    for (int k = 0; k < 3; ++k)
        y[k] = x0[k] + l1 * (x1[k] - x0[k]) + l2 * (x2[k] - x0[k]);
    m_p->values.Barycentric(g, l1, l2);
    return NewPoint(y);
}

void CutPoints::Prefetch(vtkIdType p) const
{
    __builtin_prefetch(Xyz(p));
    m_p->values.Prefetch(p);
}

void CutPoints::Finish(vtkPolyData* pOut)
{
    m_p->values.Finish(pOut->GetPointData());
    vtkNew<vtkDoubleArray> pXyz;
    pXyz->SetNumberOfComponents(3);
    pXyz->SetNumberOfTuples(static_cast<vtkIdType>(m_aPt.size() / 3));
    std::copy(m_aPt.begin(), m_aPt.end(), pXyz->GetPointer(0));
    vtkNew<vtkPoints> pPts;
    pPts->SetData(pXyz);
    pOut->SetPoints(pPts);
}

} // namespace kvpvs::planecut
