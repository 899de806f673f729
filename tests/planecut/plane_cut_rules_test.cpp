// The plane cut's rules, read from its output alone (its points, its polygons and the cell of
// each) rather than from its totals: every point is made once; the two cells of a shared face
// give one chord on it, so the polygons form a conforming mesh of the section; the cut is the
// same whatever the cells' order and wherever each cell's node list starts; a quadratic face
// lying in an oblique plane is cut exactly; a cell listed twice counts twice. On the random
// valid meshes of the property test, near and far from the origin.
#include "CutMeshes.h"
#include "ForceSumReference.h"
#include "planecut/cut_integration.h"
#include "planecut/plane_cut.h"

#include <gtest/gtest.h>
#include <vtkCellArray.h>
#include <vtkCellType.h>
#include <vtkPointData.h>
#include <vtkPoints.h>
#include <vtkPolyData.h>
#include <vtkSmartPointer.h>
#include <vtkUnstructuredGrid.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <limits>
#include <map>
#include <memory>
#include <numeric>
#include <random>
#include <string>
#include <utility>
#include <vector>

using namespace kvpvs::planecut;
using namespace kvpvs::test;

namespace {

// A cut read back: its points and their values (every array's components in turn), its
// polygons as point ids and the grid cell of each.
struct CutRead {
    std::vector<Vec3> aPt;
    std::vector<std::vector<double>> aValue;
    std::vector<std::vector<vtkIdType>> aPoly;
    std::vector<vtkIdType> aCell;
};

CutRead Read(const PlaneCut& cut)
{
    CutRead r;
    r.aPt.resize(static_cast<size_t>(cut.pOutput->GetNumberOfPoints()));
    for (size_t p = 0; p < r.aPt.size(); ++p)
        cut.pOutput->GetPoint(static_cast<vtkIdType>(p), r.aPt[p].data());
    vtkPointData* pData = cut.pOutput->GetPointData();
    r.aValue.resize(r.aPt.size());
    for (int a = 0; a < pData->GetNumberOfArrays(); ++a)
        for (size_t p = 0; p < r.aPt.size(); ++p)
            for (int k = 0; k < pData->GetArray(a)->GetNumberOfComponents(); ++k)
                r.aValue[p].push_back(pData->GetArray(a)->GetComponent(static_cast<vtkIdType>(p), k));
    vtkIdType m = 0;
    const vtkIdType* pIds = nullptr;
    if (vtkCellArray* pPolys = cut.pOutput->GetPolys())
        for (pPolys->InitTraversal(); pPolys->GetNextCell(m, pIds);)
            r.aPoly.emplace_back(pIds, pIds + m);
    r.aCell = cut.aPolyCell;
    return r;
}

PlaneCut CutOf(vtkUnstructuredGrid* grid, const PlaneCutIndex& index, const Vec3& o, const Vec3& n)
{
    PlaneCut cut;
    CutGridByPlane(grid, index, o.data(), n.data(), cut);
    return cut;
}

double Distance(const Vec3& a, const Vec3& b)
{
    return std::sqrt((a[0] - b[0]) * (a[0] - b[0]) + (a[1] - b[1]) * (a[1] - b[1]) + (a[2] - b[2]) * (a[2] - b[2]));
}

// The grid with its points numbered at random, so that faces are split on other diagonals;
// drawn again until the split is valid, else the grid itself.
vtkSmartPointer<vtkUnstructuredGrid> Renumbered(vtkUnstructuredGrid* grid, std::mt19937& rng)
{
    const vtkIdType nPts = grid->GetNumberOfPoints();
    std::vector<vtkIdType> aNew(static_cast<size_t>(nPts));
    std::iota(aNew.begin(), aNew.end(), 0);
    for (int nTry = 0; nTry < 20; ++nTry) {
        std::shuffle(aNew.begin(), aNew.end(), rng);
        std::vector<Vec3> points(aNew.size());
        for (vtkIdType p = 0; p < nPts; ++p)
            grid->GetPoint(p, points[static_cast<size_t>(aNew[static_cast<size_t>(p)])].data());
        std::vector<std::pair<int, std::vector<vtkIdType>>> cells;
        for (vtkIdType c = 0; c < grid->GetNumberOfCells(); ++c) {
            vtkIdType m = 0;
            const vtkIdType* pIds = nullptr;
            grid->GetCellPoints(c, m, pIds);
            std::vector<vtkIdType> ids;
            for (vtkIdType j = 0; j < m; ++j)
                ids.push_back(aNew[static_cast<size_t>(pIds[j])]);
            cells.push_back({grid->GetCellType(c), ids});
        }
        auto out = Cells(points, cells);
        if (SplitIsValid(out))
            return out;
    }
    return grid;
}

// Whether every node of the grid lies on the plane or at least 1e-6 off it.
bool NodesClearOfThePlane(vtkUnstructuredGrid* grid, const Vec3& o, const Vec3& n)
{
    for (vtkIdType p = 0; p < grid->GetNumberOfPoints(); ++p) {
        const double s = PlaneValue(n.data(), o.data(), grid->GetPoint(p));
        if (s != 0.0 && std::fabs(s) < 1e-6)
            return false;
    }
    return true;
}

// Random tiled boxes (CutMeshes.h): the four linear kinds mixed; hexahedra and pyramids,
// wedges, tetrahedra, each linear and quadratic; one quadratic kind; hexahedra and pyramids
// with their edge nodes moved, and all linear. At the origin and 1e7 away, inner nodes moved by
// up to 0.1 or 1e-3, all but the first family numbered at random (as the property test's are
// not: there a face's least and greatest corner ids always lie on one diagonal). Each with the
// property test's planes (on a layer, some of its nodes left on it; tilted off it; through a
// node; not through an edge, which passes within a rounding of a node), both normals, where
// every node lies on the plane or at least 1e-6 off it: distinct crossings are then well apart,
// and no piece of the section is within a rounding of a point or a line. Drawn once, for the
// tests to share; the grids hold the fields of CutMeshes.h.
struct RandomCut {
    vtkSmartPointer<vtkUnstructuredGrid> grid;
    std::shared_ptr<PlaneCutIndex> index;
    TiledBox box;
    Vec3 o, n;
    std::string what;
};

const std::vector<RandomCut>& RandomCuts()
{
    static const std::vector<RandomCut> aCut = [] {
        std::vector<RandomCut> a;
        std::mt19937 rng(501);
        int nRedrawn = 0;
        for (int nFamily = 0; nFamily < 7; ++nFamily)
            for (double dShift : {0.0, 1e7}) {
                TiledBox t;
                t.nFamily = nFamily >= 5 ? 1 : nFamily;
                t.bMoveEdgeNodes = nFamily == 5;
                t.bLinear = nFamily == 6;
                t.dShift = dShift;
                t.dScale = (nFamily + (dShift > 0 ? 1 : 0)) % 2 ? 1e-3 : 0.1;
                t.k0 = 1 + static_cast<int>(rng() % 2);
                t.bKeepLayer = true;
                auto grid = RandomTiledBox(rng, t, nRedrawn);
                if (!grid) {
                    ADD_FAILURE() << "no valid mesh drawn";
                    continue;
                }
                std::vector<std::pair<Vec3, Vec3>> planes;
                for (int nPlane = 0; nPlane < 3; ++nPlane)
                    for (const auto& plane : TiledBoxPlanes(rng, grid, t, nPlane))
                        planes.push_back(plane);
                if (nFamily > 0) // faces split as their two cells see them, whatever the numbering
                    grid = Renumbered(grid, rng);
                SetFields(grid, {dShift, dShift, dShift});
                auto index = std::make_shared<PlaneCutIndex>();
                index->Build(grid);
                for (const auto& [o, n] : planes)
                    if (NodesClearOfThePlane(grid, o, n))
                        a.push_back({grid, index, t, o, n,
                                     "family " + std::to_string(nFamily) + ", shift " + std::to_string(dShift) +
                                         ", plane through " + ::testing::PrintToString(o) + ", normal " +
                                         ::testing::PrintToString(n)});
            }
        return a;
    }();
    return aCut;
}

// The first pair of points of the cut nearer than tol (exactly equal for tol 0); {-1, -1} for none.
std::pair<vtkIdType, vtkIdType> NearPoints(const std::vector<Vec3>& aPt, double tol)
{
    std::vector<vtkIdType> order(aPt.size());
    std::iota(order.begin(), order.end(), 0);
    std::sort(order.begin(), order.end(), [&](vtkIdType a, vtkIdType b) { return aPt[a] < aPt[b]; });
    for (size_t i = 0; i < order.size(); ++i)
        for (size_t j = i + 1; j < order.size() && aPt[order[j]][0] - aPt[order[i]][0] <= tol; ++j)
            if (Distance(aPt[order[i]], aPt[order[j]]) <= tol)
                return {order[i], order[j]};
    return {-1, -1};
}

} // namespace

// Every point is made once: no two points of a cut lie within 1e-12 of the model's size, or a
// few roundings of their coordinates, of each other.
TEST(PlaneCutRules, EveryPointIsMadeOnce)
{
    for (const RandomCut& c : RandomCuts()) {
        const CutRead cut = Read(CutOf(c.grid, *c.index, c.o, c.n));
        const double tol = 3e-12 + 16 * std::numeric_limits<double>::epsilon() * (c.box.dShift + 3);
        const auto near = NearPoints(cut.aPt, tol);
        EXPECT_EQ(near.first, -1) << c.what << ": points " << near.first << " and " << near.second << " within " << tol;
    }
}

// The two cells of a shared face give the same chord on it: the polygons form a conforming mesh
// of the section, every edge (by point ids) used by two polygons in opposite turns, but for the
// edges on the model's boundary, used once.
TEST(PlaneCutRules, TheCellsOfAFaceGiveOneChordOnIt)
{
    for (const RandomCut& c : RandomCuts()) {
        const CutRead cut = Read(CutOf(c.grid, *c.index, c.o, c.n));
        std::map<std::pair<vtkIdType, vtkIdType>, int> uses;
        for (const auto& poly : cut.aPoly)
            for (size_t k = 0; k < poly.size(); ++k)
                ++uses[{poly[k], poly[(k + 1) % poly.size()]}];
        auto onBoundary = [&](vtkIdType a, vtkIdType b) {
            const Vec3 &xa = cut.aPt[static_cast<size_t>(a)], &xb = cut.aPt[static_cast<size_t>(b)];
            for (int k = 0; k < 3; ++k)
                if (xa[k] == xb[k] && (xa[k] == c.box.dShift || xa[k] == c.box.dShift + 3))
                    return true;
            return false;
        };
        int nBad = 0;
        for (const auto& [e, nUses] : uses) {
            const auto back = uses.find({e.second, e.first});
            const int nBack = back == uses.end() ? 0 : back->second;
            const bool bGood =
                e.first != e.second && nUses == 1 && (nBack == 1 || (nBack == 0 && onBoundary(e.first, e.second)));
            if (!bGood && nBad++ < 3)
                ADD_FAILURE() << c.what << ": edge " << e.first << " " << ::testing::PrintToString(cut.aPt[e.first])
                              << " - " << e.second << " " << ::testing::PrintToString(cut.aPt[e.second]) << " used "
                              << nUses << " times, back " << nBack;
        }
    }
}

namespace {

// The grid with its cells in a random order (aOld[new cell] = old cell), each cell's nodes
// turned by a random symmetry of its kind that keeps its orientation, its edge nodes following
// their edges.
vtkSmartPointer<vtkUnstructuredGrid> Shuffled(vtkUnstructuredGrid* grid, std::mt19937& rng,
                                              std::vector<vtkIdType>& aOld)
{
    // Generators of each kind's turns: new corner j is old corner turn[j].
    static const std::map<int, std::vector<std::vector<int>>> kTurns{
        {VTK_HEXAHEDRON, {{1, 2, 3, 0, 5, 6, 7, 4}, {4, 5, 1, 0, 7, 6, 2, 3}}},
        {VTK_WEDGE, {{1, 2, 0, 4, 5, 3}, {3, 5, 4, 0, 2, 1}}},
        {VTK_PYRAMID, {{1, 2, 3, 0, 4}}},
        {VTK_TETRA, {{1, 2, 0, 3}, {1, 0, 3, 2}}}};
    static const std::map<int, int> kLinear{{VTK_QUADRATIC_HEXAHEDRON, VTK_HEXAHEDRON},
                                            {VTK_QUADRATIC_WEDGE, VTK_WEDGE},
                                            {VTK_QUADRATIC_PYRAMID, VTK_PYRAMID},
                                            {VTK_QUADRATIC_TETRA, VTK_TETRA}};
    aOld.resize(static_cast<size_t>(grid->GetNumberOfCells()));
    std::iota(aOld.begin(), aOld.end(), 0);
    std::shuffle(aOld.begin(), aOld.end(), rng);
    auto out = vtkSmartPointer<vtkUnstructuredGrid>::New();
    out->SetPoints(grid->GetPoints());
    out->GetPointData()->ShallowCopy(grid->GetPointData());
    for (vtkIdType c : aOld) {
        const int nType = grid->GetCellType(c);
        const auto linear = kLinear.find(nType);
        const auto& turns = kTurns.at(linear == kLinear.end() ? nType : linear->second);
        vtkIdType m = 0;
        const vtkIdType* pIds = nullptr;
        grid->GetCellPoints(c, m, pIds);
        const auto& edges = QuadraticEdges(nType);
        const size_t nCorner = turns[0].size();
        std::vector<vtkIdType> ids(pIds, pIds + nCorner);
        for (int k = 0; k < 4; ++k) {
            const std::vector<int>& turn = turns[rng() % turns.size()];
            const std::vector<vtkIdType> was = ids;
            for (size_t j = 0; j < nCorner; ++j)
                ids[j] = was[static_cast<size_t>(turn[j])];
        }
        std::map<std::pair<vtkIdType, vtkIdType>, vtkIdType> edgeNode;
        for (size_t e = 0; e < edges.size(); ++e)
            edgeNode[std::minmax(pIds[edges[e][0]], pIds[edges[e][1]])] = pIds[nCorner + e];
        for (const auto& e : edges)
            ids.push_back(edgeNode.at(std::minmax(ids[static_cast<size_t>(e[0])], ids[static_cast<size_t>(e[1])])));
        out->InsertNextCell(nType, m, ids.data());
    }
    return out;
}

// A cut by coordinates alone: its points with their values, sorted; its polygons, each with its
// grid cell (through aOld) from its least point on, in turn, sorted.
struct CutShape {
    std::vector<std::pair<Vec3, std::vector<double>>> aPt;
    std::vector<std::pair<vtkIdType, std::vector<Vec3>>> aPoly;
};

CutShape ShapeOf(const CutRead& cut, const std::vector<vtkIdType>& aOld)
{
    CutShape s;
    for (size_t p = 0; p < cut.aPt.size(); ++p)
        s.aPt.emplace_back(cut.aPt[p], cut.aValue[p]);
    std::sort(s.aPt.begin(), s.aPt.end());
    for (size_t q = 0; q < cut.aPoly.size(); ++q) {
        std::vector<Vec3> loop;
        for (vtkIdType p : cut.aPoly[q])
            loop.push_back(cut.aPt[static_cast<size_t>(p)]);
        std::rotate(loop.begin(), std::min_element(loop.begin(), loop.end()), loop.end());
        const vtkIdType c = cut.aCell[q];
        s.aPoly.push_back({aOld.empty() ? c : aOld[static_cast<size_t>(c)], loop});
    }
    std::sort(s.aPoly.begin(), s.aPoly.end());
    return s;
}

} // namespace

// The cut is the same whatever the cells' order and wherever each cell's node list starts: its
// points, coordinate for coordinate and value for value; its polygons as loops of coordinates,
// each with its cell; its area, force, moment and flow to rounding.
TEST(PlaneCutRules, TheCutIsTheSameWhateverTheCellsOrderAndTheirNodesTurn)
{
    std::mt19937 shuffle(503);
    vtkSmartPointer<vtkUnstructuredGrid> grid, other; // a random cut's grid, shuffled once
    std::vector<vtkIdType> aOld;
    PlaneCutIndex otherIndex;
    for (const RandomCut& c : RandomCuts()) {
        if (c.grid != grid) {
            grid = c.grid;
            other = Shuffled(grid, shuffle, aOld);
            otherIndex.Build(other);
        }
        const PlaneCut cutA = CutOf(c.grid, *c.index, c.o, c.n), cutB = CutOf(other, otherIndex, c.o, c.n);
        const CutShape a = ShapeOf(Read(cutA), {}), b = ShapeOf(Read(cutB), aOld);
        EXPECT_EQ(a.aPt.size(), b.aPt.size()) << c.what;
        const auto pt = std::mismatch(a.aPt.begin(), a.aPt.end(), b.aPt.begin(), b.aPt.end());
        EXPECT_TRUE(pt.first == a.aPt.end() && pt.second == b.aPt.end())
            << c.what << ": point " << ::testing::PrintToString(pt.first == a.aPt.end() ? Vec3{} : pt.first->first)
            << " becomes " << ::testing::PrintToString(pt.second == b.aPt.end() ? Vec3{} : pt.second->first);
        EXPECT_EQ(a.aPoly.size(), b.aPoly.size()) << c.what;
        const auto poly = std::mismatch(a.aPoly.begin(), a.aPoly.end(), b.aPoly.begin(), b.aPoly.end());
        EXPECT_TRUE(poly.first == a.aPoly.end() && poly.second == b.aPoly.end())
            << c.what << ": a polygon of cell " << (poly.first == a.aPoly.end() ? -1 : poly.first->first) << " changes";
        const CutTotals ta = TotalsOf(cutA, c.n), tb = TotalsOf(cutB, c.n);
        // The polygons' fans may start at other points: the same sums to the rounding of the
        // points' coordinates (as in the property test).
        const double tol = ShiftedTolerance(c.box.dShift, 1e-12);
        EXPECT_NEAR(ta.dArea, tb.dArea, tol * 9) << c.what;
        EXPECT_NEAR(ta.dFlow, tb.dFlow, tol * 30) << c.what;
        for (int k = 0; k < 3; ++k) {
            EXPECT_NEAR(ta.centre[k], tb.centre[k], tol * 3) << c.what;
            EXPECT_NEAR(ta.F[k], tb.F[k], tol * 400) << c.what;
            EXPECT_NEAR(ta.M[k], tb.M[k], tol * 1200) << c.what;
        }
    }
}

namespace {

// o + a u + b v on the plane n . (x - o) = 0, moved by ulps along the axis that n weighs most
// until the plane value is exactly 0; false where rounding steps over 0.
bool OnThePlane(const Vec3& n, const Vec3& o, const Vec3& u, const Vec3& v, double a, double b, Vec3& x)
{
    int kMax = 0;
    for (int k = 0; k < 3; ++k) {
        x[k] = o[k] + a * u[k] + b * v[k];
        kMax = std::fabs(n[k]) > std::fabs(n[kMax]) ? k : kMax;
    }
    for (int nStep = 0; nStep < 8; ++nStep) {
        const double s = PlaneValue(n.data(), o.data(), x.data());
        if (s == 0.0)
            return true;
        x[kMax] = std::nextafter(x[kMax], (s > 0) == (n[kMax] > 0) ? -HUGE_VAL : HUGE_VAL);
    }
    return false;
}

// One or two quadratic cells (20-node hexahedra or 10-node tetrahedra) on either side of a face
// lying in the plane n . (x - o) = 0, its corners and edge nodes exactly on it (the edge nodes
// off their midpoints within it), the mean of its nodes off it in every order they are summed
// in; the other nodes 1 off. aFace gets the face's nodes in turn.
vtkSmartPointer<vtkUnstructuredGrid> CellsOnAnInPlaneFace(const Vec3& n, const Vec3& o, bool bHex, bool bPair,
                                                          std::mt19937& rng, std::vector<Vec3>& aFace)
{
    auto uni = [&](double a, double b) { return std::uniform_real_distribution<double>(a, b)(rng); };
    const Vec3 u = {n[1], -n[0], 0}; // in the plane, |u| about 1
    const Vec3 v = {n[1] * u[2] - n[2] * u[1], n[2] * u[0] - n[0] * u[2], n[0] * u[1] - n[1] * u[0]};
    const std::vector<std::array<double, 2>> corners =
        bHex ? std::vector<std::array<double, 2>>{{0, 0}, {1, 0}, {1.1, 0.9}, {-0.1, 1}}
             : std::vector<std::array<double, 2>>{{0, 0}, {1, 0}, {0.3, 1}};
    const size_t m = corners.size();
    // A node near (a, b), exactly on the plane.
    auto place = [&](double a, double b) {
        Vec3 x;
        while (!OnThePlane(n, o, u, v, a + uni(-0.01, 0.01), b + uni(-0.01, 0.01), x)) {
        }
        return x;
    };
    for (bool bOn = false; !bOn;) {
        aFace.clear();
        for (size_t j = 0; j < m; ++j) {
            const auto &p = corners[j], &q = corners[(j + 1) % m];
            aFace.push_back(place(p[0], p[1]));
            aFace.push_back(place((p[0] + q[0]) / 2 + uni(-0.05, 0.05), (p[1] + q[1]) / 2 + uni(-0.05, 0.05)));
        }
        bOn = true;
        // The face point as the cut might sum it: from any node, either way round, or by id.
        for (int nWay = 0; bOn && nWay < 2 * static_cast<int>(aFace.size()) + 1; ++nWay) {
            Vec3 mean{0, 0, 0};
            for (size_t j = 0; j < aFace.size(); ++j) {
                const size_t k = nWay == 2 * static_cast<int>(aFace.size())
                                     ? (j < m ? 2 * j : 2 * (j - m) + 1) // corners first, as their ids run
                                     : (nWay % 2 ? nWay / 2 + j : nWay / 2 + aFace.size() - j) % aFace.size();
                for (int c = 0; c < 3; ++c)
                    mean[c] += aFace[k][c];
            }
            for (double& c : mean)
                c /= static_cast<double>(aFace.size());
            bOn = PlaneValue(n.data(), o.data(), mean.data()) != 0.0;
        }
    }
    // Points: the face's corners and edge nodes, then each cell's other corners and edge nodes.
    std::vector<Vec3> points;
    for (size_t j = 0; j < m; ++j)
        points.push_back(aFace[2 * j]);
    for (size_t j = 0; j < m; ++j)
        points.push_back(aFace[2 * j + 1]);
    std::vector<std::pair<int, std::vector<vtkIdType>>> cells;
    for (double h : bPair ? std::vector<double>{1.0, -1.0} : std::vector<double>{1.0}) {
        // The face turning about the side the cell lies on, the other corners h along n.
        std::vector<vtkIdType> ids;
        for (size_t j = 0; j < m; ++j)
            ids.push_back(static_cast<vtkIdType>(h > 0 ? j : (m - j) % m));
        Vec3 c{0, 0, 0};
        for (size_t j = 0; j < m; ++j)
            for (int k = 0; k < 3; ++k)
                c[k] += aFace[2 * j][k] / static_cast<double>(m);
        for (size_t j = 0; j < (bHex ? m : 1); ++j) {
            const Vec3& x = bHex ? points[static_cast<size_t>(ids[j])] : c;
            ids.push_back(static_cast<vtkIdType>(points.size()));
            points.push_back({x[0] + h * n[0], x[1] + h * n[1], x[2] + h * n[2]});
        }
        const int nType = bHex ? VTK_QUADRATIC_HEXAHEDRON : VTK_QUADRATIC_TETRA;
        for (const auto& e : QuadraticEdges(nType)) {
            const vtkIdType a = ids[static_cast<size_t>(e[0])], b = ids[static_cast<size_t>(e[1])];
            const auto key = std::minmax(a, b);
            if (key.second < static_cast<vtkIdType>(m)) { // on the face: the node after its lower corner in turn
                ids.push_back(static_cast<vtkIdType>(m) + (key.second - key.first == 1 ? key.first : key.second));
                continue;
            }
            const Vec3 &xa = points[static_cast<size_t>(a)], &xb = points[static_cast<size_t>(b)];
            ids.push_back(static_cast<vtkIdType>(points.size()));
            points.push_back({(xa[0] + xb[0]) / 2, (xa[1] + xb[1]) / 2, (xa[2] + xb[2]) / 2});
        }
        cells.push_back({nType, ids});
    }
    return Cells(points, cells);
}

} // namespace

// A quadratic face lying in an oblique plane, its nodes exactly on it (the mean of its nodes'
// coordinates not, in any order they are summed in): 20-node hexahedra and 10-node tetrahedra,
// one cell (the face on the model's boundary) or two (the face between them), both normals,
// near and far from the origin. The section is the polygon of the face's nodes: its area to
// 1e-14, its force and flow too (1e7 away, to the rounding of the made points' coordinates); no
// piece of it is a sliver.
TEST(PlaneCutRules, AQuadraticFaceInAnObliquePlaneIsCutExactly)
{
    std::mt19937 rng(504);
    const Vec3 n0{0.48, 0.6, 0.64}; // unit: its length computes to 1 exactly
    for (double dShift : {0.0, 1e7})
        for (bool bHex : {true, false})
            for (bool bPair : {false, true}) {
                const Vec3 o{0.25 + dShift, -0.5 + dShift, 0.125 + dShift};
                std::vector<Vec3> face;
                const auto grid = CellsOnAnInPlaneFace(n0, o, bHex, bPair, rng, face);
                ASSERT_TRUE(SplitIsValid(grid));
                const Vec3 corner{dShift, dShift, dShift};
                SetFields(grid, corner);
                for (Vec3& x : face)
                    for (int k = 0; k < 3; ++k)
                        x[k] -= corner[k];
                const PolygonMoments exact = MomentsOf(face);
                PlaneCutIndex index;
                index.Build(grid);
                for (double dSide : {1.0, -1.0}) {
                    const Vec3 n{dSide * n0[0], dSide * n0[1], dSide * n0[2]};
                    const std::string what = std::string(bHex ? "hexahedra" : "tetrahedra") +
                                             (bPair ? ", two" : ", one") + ", shift " + std::to_string(dShift) +
                                             ", normal " + std::to_string(dSide);
                    // The face's points and values are exact; made points 1e7 away are rounded
                    // in their coordinates, not in their values.
                    const CutTotals got = TotalsOf(grid, index, o, n);
                    EXPECT_NEAR(got.dArea, exact.dArea, 1e-14 * exact.dArea) << what;
                    ExpectTotals(got, exact, corner, n, ShiftedTolerance(dShift, 1e-14), what);
                    const CutRead r = Read(CutOf(grid, index, o, n));
                    for (const auto& poly : r.aPoly) {
                        double dTwice = 0.0, dLongest = 0.0;
                        for (size_t j = 0; j < poly.size(); ++j) {
                            dLongest =
                                std::max(dLongest, Distance(r.aPt[static_cast<size_t>(poly[j])],
                                                            r.aPt[static_cast<size_t>(poly[(j + 1) % poly.size()])]));
                            if (j + 2 < poly.size())
                                dTwice += TwiceTriangleArea(r.aPt[static_cast<size_t>(poly[0])].data(),
                                                            r.aPt[static_cast<size_t>(poly[j + 1])].data(),
                                                            r.aPt[static_cast<size_t>(poly[j + 2])].data());
                        }
                        EXPECT_GT(dTwice, 1e-3 * dLongest * dLongest)
                            << what << ": a sliver of " << poly.size() << " points";
                    }
                }
            }
}

// A cell listed twice is two cells, as VTK's cutter takes it: a block of 3 x 3 x 3 boxes of
// hexahedra, tetrahedra, wedges or pyramids, linear or quadratic, the cells of its middle box
// and of its corner box listed again at the end. Planes through the middle box (through its
// inside, through its corner node, across its layer tilted by 0.1) and along the block's base,
// both normals, near and far from the origin: the section of the block plus those of the two
// boxes, with their force and flow; no point is made twice.
TEST(PlaneCutRules, ACellListedTwiceCountsTwice)
{
    std::mt19937 rng(505);
    auto uni = [&](double a, double b) { return std::uniform_real_distribution<double>(a, b)(rng); };
    for (Fill fill : {Fill::Hexahedra, Fill::Tetrahedra, Fill::Wedges, Fill::Pyramids})
        for (bool bQuadratic : {false, true})
            for (double dShift : {0.0, 1e7}) {
                BlockSpec spec;
                spec.nx = spec.ny = spec.nz = 3;
                spec.corner = {dShift, dShift, dShift};
                spec.fill = [&](int, int, int) { return fill; };
                spec.quadratic = [&](int, int, int) { return bQuadratic; };
                auto grid = Block(spec);
                const vtkIdType nPerBox = grid->GetNumberOfCells() / 27;
                for (vtkIdType nBox : {0, 13})
                    for (vtkIdType c = nBox * nPerBox; c < (nBox + 1) * nPerBox; ++c) {
                        vtkIdType m = 0;
                        const vtkIdType* pIds = nullptr;
                        grid->GetCellPoints(c, m, pIds);
                        const std::vector<vtkIdType> ids(pIds, pIds + m);
                        grid->InsertNextCell(grid->GetCellType(c), m, ids.data());
                    }
                SetFields(grid, spec.corner);
                PlaneCutIndex index;
                index.Build(grid);
                const Vec3 r{uni(-1, 1), uni(-1, 1), uni(-1, 1)};
                const double l = std::sqrt(r[0] * r[0] + r[1] * r[1] + r[2] * r[2]);
                const Vec3 tilted{std::sin(0.1), 0, std::cos(0.1)};
                for (const auto& [o, n0] : {std::pair<Vec3, Vec3>{{uni(1.2, 1.8), uni(1.2, 1.8), uni(1.2, 1.8)},
                                                                  {r[0] / l, r[1] / l, r[2] / l}},
                                            std::pair<Vec3, Vec3>{{1, 1, 1}, {r[0] / l, r[1] / l, r[2] / l}},
                                            std::pair<Vec3, Vec3>{{1.43, 1.5, 1.61}, tilted},
                                            std::pair<Vec3, Vec3>{{0.3, 0.4, 0.0}, {0, 0, 1}}})
                    for (double dSide : {1.0, -1.0}) {
                        const Vec3 n{dSide * n0[0], dSide * n0[1], dSide * n0[2]};
                        PolygonMoments exact = MomentsOf(ClipBoxByPlane({0, 0, 0}, {3, 3, 3}, o, n));
                        exact.Add(MomentsOf(ClipBoxByPlane({1, 1, 1}, {2, 2, 2}, o, n)));
                        exact.Add(MomentsOf(ClipBoxByPlane({0, 0, 0}, {1, 1, 1}, o, n)));
                        const Vec3 at{o[0] + dShift, o[1] + dShift, o[2] + dShift};
                        const std::string what = FillName(fill) + (bQuadratic ? ", quadratic" : "") + ", shift " +
                                                 std::to_string(dShift) + ", through " + ::testing::PrintToString(o) +
                                                 ", normal " + ::testing::PrintToString(n);
                        const double tol = ShiftedTolerance(dShift, 1e-9);
                        ExpectTotals(TotalsOf(grid, index, at, n), exact, spec.corner, n, tol, what);
                        const auto same = NearPoints(Read(CutOf(grid, index, at, n)).aPt, 0.0);
                        EXPECT_EQ(same.first, -1) << what << ": points " << same.first << " and " << same.second;
                    }
            }
}

// Two hexahedra on either side of an exactly flat oblique face, a parallelogram whose corners
// have 20 fractional bits (so that the floating determinant of its corners is a rounding, not
// 0), each cell listing the face from a corner of its own, ids drawn at random, near the origin
// and 2^20 away: 200 planes through the face in random directions. Both cells see the face
// whole, so their chords on it are one: in each cell's polygon the points both cells use run
// in one piece.
TEST(PlaneCutRules, AnExactlyFlatObliqueFaceIsWholeForBothItsCells)
{
    std::mt19937 rng(506);
    auto grain = [&](double r) { // a multiple of 2^-20 in [-r, r)
        return std::ldexp(static_cast<double>(std::uniform_int_distribution<int>(-(1 << 20), (1 << 20) - 1)(rng)), -20) * r;
    };
    auto cross = [](const Vec3& p, const Vec3& q) {
        return Vec3{p[1] * q[2] - p[2] * q[1], p[2] * q[0] - p[0] * q[2], p[0] * q[1] - p[1] * q[0]};
    };
    auto dot = [](const Vec3& p, const Vec3& q) { return p[0] * q[0] + p[1] * q[1] + p[2] * q[2]; };
    for (int nTrial = 0; nTrial < 200; ++nTrial) {
        const double dShift = nTrial % 2 ? 1048576.0 : 0.0;
        Vec3 a, u, v, e;
        do {
            for (int k = 0; k < 3; ++k)
                a[k] = dShift + grain(2), u[k] = grain(1), v[k] = grain(1), e[k] = grain(1);
        } while (dot(cross(u, v), cross(u, v)) < 0.25 * dot(u, u) * dot(v, v) ||
                 dot(cross(u, v), e) < 0.3 * std::sqrt(dot(cross(u, v), cross(u, v)) * dot(e, e)));
        // The face a, b, d, c in turn about u x v, with d = b + c - a exactly.
        std::vector<Vec3> face{a, {a[0] + u[0], a[1] + u[1], a[2] + u[2]},
                               {a[0] + u[0] + v[0], a[1] + u[1] + v[1], a[2] + u[2] + v[2]},
                               {a[0] + v[0], a[1] + v[1], a[2] + v[2]}};
        std::vector<Vec3> points;
        for (double h : {-1.0, 0.0, 1.0})
            for (const Vec3& x : face)
                points.push_back({x[0] + h * e[0], x[1] + h * e[1], x[2] + h * e[2]});
        std::vector<vtkIdType> id(12);
        std::iota(id.begin(), id.end(), 0);
        std::shuffle(id.begin(), id.end(), rng);
        std::vector<Vec3> numbered(12);
        for (size_t p = 0; p < 12; ++p)
            numbered[static_cast<size_t>(id[p])] = points[p];
        std::vector<std::pair<int, std::vector<vtkIdType>>> cells;
        for (int nLayer = 0; nLayer < 2; ++nLayer) {
            const int r = static_cast<int>(rng() % 4); // the corner the cell starts from
            std::vector<vtkIdType> ids;
            for (int nSide = 0; nSide < 2; ++nSide)
                for (int j = 0; j < 4; ++j)
                    ids.push_back(id[static_cast<size_t>(4 * (nLayer + nSide) + (j + r) % 4)]);
            cells.push_back({VTK_HEXAHEDRON, ids});
        }
        const auto grid = Cells(numbered, cells);
        PlaneCutIndex index;
        index.Build(grid);
        const double s = 0.2 + 0.6 * (grain(0.5) + 0.5), t = 0.2 + 0.6 * (grain(0.5) + 0.5);
        const Vec3 o{a[0] + s * u[0] + t * v[0], a[1] + s * u[1] + t * v[1], a[2] + s * u[2] + t * v[2]};
        const Vec3 n{grain(1), grain(1), grain(1)};
        const CutRead cut = Read(CutOf(grid, index, o, n));
        std::map<vtkIdType, int> users; // point: the cells (bits) whose polygons use it
        for (size_t q = 0; q < cut.aPoly.size(); ++q)
            for (vtkIdType p : cut.aPoly[q])
                users[p] |= 1 << cut.aCell[q];
        for (size_t q = 0; q < cut.aPoly.size(); ++q) {
            const auto& poly = cut.aPoly[q];
            int nRuns = 0;
            for (size_t k = 0; k < poly.size(); ++k)
                nRuns += users[poly[k]] == 3 && users[poly[(k + 1) % poly.size()]] != 3 ? 1 : 0;
            EXPECT_LE(nRuns, 1) << "trial " << nTrial << ": the polygon of cell " << cut.aCell[q]
                                << " leaves the face's chord " << nRuns << " times";
        }
    }
}
