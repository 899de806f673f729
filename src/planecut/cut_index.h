// The bounding-volume index of the plane cut: a grid's cells in the order of a space-filling
// curve with a tree of their boxes, built once per grid shape, so that every plane visits only
// the cells whose boxes it meets. Building it checks the grid once for what a cut cannot read.
#pragma once
#include <vtkType.h>

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

class vtkUnstructuredGrid;

namespace kvpvs::planecut {

// A grid's points and cells as objects and their modification times: equal keys, the same
// shape, whatever the grid's point values.
struct GridShapeKey {
    std::uintptr_t nPoints = 0, nCells = 0;
    vtkMTimeType nPointsTime = 0, nCellsTime = 0;
    vtkIdType nCellCount = -1;
    static GridShapeKey Of(vtkUnstructuredGrid* pGrid);
    bool operator==(const GridShapeKey&) const = default;
};

// Cells ordered along a space-filling curve of their box centres, grouped 32 to a leaf, with
// a binary tree of boxes over the leaves and each cell's box in floats rounded outwards. The
// boxes hold the cells' coordinates, so the plane's value at a box corner bounds the values at
// the cells' points, and a linear cell's box the edge nodes its quadratic
// neighbours put on its edges, which its cut takes: a cell is left out only when the plane
// misses every point its cut uses.
class PlaneCutIndex {
public:
    static constexpr int kLeafCells = 32;

    // False when the grid is refused: a cell with a point id outside the grid's points, a point
    // that is not finite or not WithinReach (a cut would read past the points, leave the cell
    // out, or overflow), a pixel or voxel, or more cells or points than 32-bit counts index.
    // Refusal() then names the first such cell.
    bool Build(vtkUnstructuredGrid* pGrid);
    const std::string& Refusal() const { return m_strRefusal; }
    // Whether the index was built, or refused, for this grid's points and cells, unchanged
    // since. The point arrays are the grid's own, read where a cut needs them: new values need
    // no new index.
    bool Matches(vtkUnstructuredGrid* pGrid) const;
    void Clear() { *this = PlaneCutIndex(); }
    // The bytes the index holds.
    size_t Bytes() const;

    // The positions (in curve order) of every cell whose box the plane n . (x - o) = 0 meets or
    // touches: every cell with a point on the plane or points on both sides is among them.
    void Visit(const double n[3], const double o[3], std::vector<size_t>& aOut) const;

    // The cell at position i: its grid id and type, its points' grid ids.
    vtkIdType CellId(size_t i) const { return static_cast<vtkIdType>(m_aOrder[i]); }
    int CellType(size_t i) const { return m_aType[i]; }
    int CellSize(size_t i) const { return static_cast<int>(m_aCellStart[i + 1] - m_aCellStart[i]); }
    const std::uint32_t* CellPoints(size_t i) const { return m_aConn.data() + m_aCellStart[i]; }
    // The coordinates of the matching grid's points, three per grid id: its own double array,
    // or the index's copy of points held otherwise.
    const double* Points(vtkUnstructuredGrid* pGrid) const;
    // The node a quadratic cell puts on the edge between grid points a and b; -1 for none.
    vtkIdType EdgeNode(std::uint32_t a, std::uint32_t b) const;
    bool HasEdgeNodes() const { return !m_aEdgeNode.empty(); }
    // Whether grid points a and b are the ends of an edge of a triangular face of a solid cell:
    // a quadrilateral face with them as a diagonal is split there by its neighbours. Answered for
    // the diagonals of linear cells' quadrilaterals; any other pair may read false.
    bool IsTriangleEdge(std::uint32_t a, std::uint32_t b) const;
    bool HasTriangleEdges() const { return !m_aTriangleEdge.empty(); }

private:
    bool Refuse(vtkUnstructuredGrid* pGrid, const char* pszWhy);
    bool Check(vtkUnstructuredGrid* pGrid, const double* pXyz, std::vector<std::uint8_t>& aOnQuad);
    void Order(vtkUnstructuredGrid* pGrid, const double* pXyz);
    void Boxes(vtkUnstructuredGrid* pGrid, const double* pXyz);
    void AddTriangleEdges(const vtkIdType* pIds, vtkIdType n, int nType, const std::vector<std::uint8_t>& aOnQuad);

    GridShapeKey m_key;
    std::string m_strRefusal;
    std::vector<std::uint32_t> m_aOrder; // cells in curve order
    std::vector<float> m_aCellBox;       // their boxes, in the same order
    // The cells' point ids in curve order; the points themselves are read from the grid.
    std::vector<std::uint32_t> m_aCellStart; // per cell, its first entry in m_aConn
    std::vector<std::uint32_t> m_aConn;
    std::vector<std::uint8_t> m_aType;
    std::vector<double> m_aXyz; // the grid's points when they are not a double array
    std::vector<std::pair<std::uint64_t, std::uint32_t>> m_aEdgeNode; // edge (ids, sorted) -> node
    std::vector<std::uint64_t> m_aTriangleEdge;                       // triangles' edges a quad may split on
    std::vector<std::vector<double>> m_aLevel;                        // level 0: leaf boxes; last: the root box
};

// How far out the cut takes a grid's point or a plane's origin: each coordinate at most 2^127 in
// size (NaN is not), one rule for both, so that every value the cut forms of them is finite:
// - The index keeps each cell's box in floats rounded outwards. FLT_MAX is below 2^128, so
//   2^127 is the farthest power of two whose boxes stay finite.
// - Within it (B = 2^127), the scaled normal's components being below 2: differences of points
//   and origins are at most 2^128, plane values below 3 x 2 x 2^128 < 2^131; crossings, means
//   and points placed in triangles lie among the points they are made of; in-plane coordinates
//   along unit axes are below 2^129. Cross products of differences (areas, face normals) stay
//   below 2^258; their squared lengths and the fan test's products of four in-plane
//   differences below 2^524; the products of three (exact coplanarity, a cell's turn, the
//   crossings' places along a plate's line of cut) below 2^393; the integration's first
//   moments, over fewer than 2^35 triangles (at most 2^27 cells), below 2^420. Output units (a
//   millimetre is 2^-10 m) add at most 10 to these exponents per length.
// - The highest, of degree four, would reach DBL_MAX (about 2^1024) only beyond about 2^242.
//   The margin below it is left to the field values that the sums weigh areas and moment arms
//   by: a stress up to 2^560 still sums finitely.
constexpr double kFarthest = 0x1p127;
inline constexpr const char* kBeyondReach =
    "has a coordinate beyond 2^127 (1.7e38) in size, too far out for the cut's values";
inline bool WithinReach(const double x[3])
{
    return std::fabs(x[0]) <= kFarthest && std::fabs(x[1]) <= kFarthest && std::fabs(x[2]) <= kFarthest;
}

// The plane's value at x, in the one order every test and cut uses: n0 (x0 - o0) + n1 (x1 - o1)
// + n2 (x2 - o2). Rounding is monotone in each coordinate, which the index's skipping relies on.
inline double PlaneValue(const double n[3], const double o[3], const double x[3])
{
    return n[0] * (x[0] - o[0]) + n[1] * (x[1] - o[1]) + n[2] * (x[2] - o[2]);
}

} // namespace kvpvs::planecut
