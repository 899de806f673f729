// The points of one plane's cut. A point is made once, keyed by where it lies (a grid point, an
// edge's crossing by its ends' ids, a face's point by its sorted corner ids), so every cell
// sharing the edge or face takes it. Made points carry coordinates, plane value and values
// alike.
#pragma once
#include "planecut/cut_index.h"

#include <vtkType.h>

#include <array>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

class vtkPolyData;
class vtkUnstructuredGrid;

namespace kvpvs::planecut {

// Where a cut point lies: a point itself (b = -1), or the crossing of the edge (a, b), a < b.
struct EdgeKey {
    vtkIdType a = 0, b = 0;
    static EdgeKey Point(vtkIdType p) { return {p, -1}; }
    static EdgeKey Edge(vtkIdType p, vtkIdType q) { return p < q ? EdgeKey{p, q} : EdgeKey{q, p}; }
    bool operator==(const EdgeKey&) const = default;
};

// A face by its corner ids, sorted, the fourth UINT32_MAX for a triangle. Ids fit 32 bits: the
// index takes at most 2^27 points, and a cut makes at most a point a face and a cell.
struct FaceKey {
    std::array<std::uint32_t, 4> aId{};
    static FaceKey Of(const vtkIdType* pIds, int n);
    bool operator==(const FaceKey&) const = default;
    bool operator<(const FaceKey& o) const { return aId < o.aId; }
};

class CutPoints {
public:
    CutPoints(vtkUnstructuredGrid* pGrid, const PlaneCutIndex& index, const double n[3], const double o[3]);
    ~CutPoints();
    CutPoints(const CutPoints&) = delete;
    CutPoints& operator=(const CutPoints&) = delete;

    // Points by id: the grid's, then those made in faces and cells.
    const double* Xyz(vtkIdType p) const
    {
        return p < m_nGrid ? m_pXyz + 3 * static_cast<size_t>(p) : &m_aMadeXyz[3 * static_cast<size_t>(p - m_nGrid)];
    }
    // The plane's value at a point; a made point's is the mean of its points' values.
    double S(vtkIdType p) const
    {
        return p < m_nGrid ? PlaneValue(m_n, m_o, Xyz(p)) : m_aMadeS[static_cast<size_t>(p - m_nGrid)];
    }
    // A point made as the mean of n points, summed in the order of their ids so that whichever
    // cell makes it makes the same point.
    vtkIdType Mean(const vtkIdType* pIds, int n);
    // The point of a face (its loop of m points, corners and edge nodes), made once.
    vtkIdType FacePoint(const FaceKey& key, const vtkIdType* pLoop, int m);

    // Cut points, made once: at point p itself; where the edge between a and b crosses the plane
    // (plane values sa, sb when known).
    vtkIdType At(vtkIdType p);
    vtkIdType Crossing(vtkIdType a, vtkIdType b) { return Crossing(a, b, S(a), S(b)); }
    vtkIdType Crossing(vtkIdType a, vtkIdType b, double sa, double sb);
    // A new cut point in the triangle of points g at l1 (g1 - g0) + l2 (g2 - g0) from g0.
    vtkIdType InTriangle(const vtkIdType g[3], double l1, double l2);
    const double* Out(vtkIdType nId) const { return &m_aPt[3 * static_cast<size_t>(nId)]; }

    void Prefetch(vtkIdType p) const;
    // The cut points and their values into pOut.
    void Finish(vtkPolyData* pOut);

private:
    vtkIdType NewPoint(const double x[3]);
    struct Impl;
    const double* m_n;
    const double* m_o;
    const double* m_pXyz;
    vtkIdType m_nGrid;
    std::vector<double> m_aMadeXyz, m_aMadeS; // points made in faces and cells
    std::vector<double> m_aPt;                // cut points, three coordinates each
    std::unique_ptr<Impl> m_p;
};

} // namespace kvpvs::planecut
