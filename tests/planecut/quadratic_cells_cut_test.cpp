// 15-node wedges and 13-node pyramids are cut through their edge nodes, as the flat pieces their
// faces split into: curved cells beside linear ones against VTK's cutter on those pieces, and a
// stress that is not linear along a straight cell's edges against the closed form of a corner's
// section. Every node order of the cells, both normals, near the origin and far from it.
#include "CutMeshes.h"
#include "planecut/plane_cut.h"

#include <gtest/gtest.h>
#include <vtkCellArray.h>
#include <vtkCellType.h>
#include <vtkCutter.h>
#include <vtkDoubleArray.h>
#include <vtkIdList.h>
#include <vtkNew.h>
#include <vtkPlane.h>
#include <vtkPointData.h>
#include <vtkPolyData.h>
#include <vtkSmartPointer.h>
#include <vtkUnstructuredGrid.h>

#include <cmath>
#include <map>
#include <string>
#include <tuple>
#include <vector>

using namespace kvpvs::planecut;
using namespace kvpvs::test;

namespace {

// Ways to list a wedge's or a pyramid's corners (new corner j is corner pi[j]): turned about
// its axis, a wedge also upside down, and last one inside out.
const std::vector<std::vector<int>>& Orders(Fill kind)
{
    static const std::vector<std::vector<int>> wedge{{0, 1, 2, 3, 4, 5}, {1, 2, 0, 4, 5, 3}, {2, 0, 1, 5, 3, 4},
                                                     {3, 5, 4, 0, 2, 1}, {4, 3, 5, 1, 0, 2}, {5, 4, 3, 2, 1, 0},
                                                     {0, 2, 1, 3, 5, 4}};
    static const std::vector<std::vector<int>> pyramid{
        {0, 1, 2, 3, 4}, {1, 2, 3, 0, 4}, {2, 3, 0, 1, 4}, {3, 0, 1, 2, 4}, {0, 3, 2, 1, 4}};
    return kind == Fill::Wedges ? wedge : pyramid;
}

// The grid with the corners of every cell of the kind listed in the order pi, each edge node
// following its edge.
vtkSmartPointer<vtkUnstructuredGrid> Renumbered(vtkUnstructuredGrid* g, Fill kind, const std::vector<int>& pi)
{
    const int nLinear = kind == Fill::Wedges ? VTK_WEDGE : VTK_PYRAMID;
    const int nQuadratic = kind == Fill::Wedges ? VTK_QUADRATIC_WEDGE : VTK_QUADRATIC_PYRAMID;
    auto out = vtkSmartPointer<vtkUnstructuredGrid>::New();
    out->SetPoints(g->GetPoints());
    out->GetPointData()->ShallowCopy(g->GetPointData());
    vtkNew<vtkIdList> ids;
    for (vtkIdType c = 0; c < g->GetNumberOfCells(); ++c) {
        const int nType = g->GetCellType(c);
        g->GetCellPoints(c, ids);
        if (nType != nLinear && nType != nQuadratic) {
            out->InsertNextCell(nType, ids);
            continue;
        }
        std::vector<vtkIdType> v;
        for (int j : pi)
            v.push_back(ids->GetId(j));
        const auto& edges = QuadraticEdges(nQuadratic);
        std::map<std::pair<vtkIdType, vtkIdType>, vtkIdType> edgeNode;
        for (size_t e = 0; nType == nQuadratic && e < edges.size(); ++e)
            edgeNode[std::minmax(ids->GetId(edges[e][0]), ids->GetId(edges[e][1]))] =
                ids->GetId(static_cast<vtkIdType>(pi.size() + e));
        for (size_t e = 0; nType == nQuadratic && e < edges.size(); ++e)
            v.push_back(
                edgeNode.at(std::minmax(v[static_cast<size_t>(edges[e][0])], v[static_cast<size_t>(edges[e][1])])));
        out->InsertNextCell(nType, static_cast<vtkIdType>(v.size()), v.data());
    }
    return out;
}

// The section of the grid's split (SplitTetrahedra) cut by VTK's cutter: its moments.
PolygonMoments SectionOfSplit(vtkUnstructuredGrid* g, const Vec3& o, const Vec3& n)
{
    std::vector<Vec3> points;
    std::vector<std::pair<int, std::vector<vtkIdType>>> tets;
    for (const auto& cell : SplitTetrahedra(g))
        for (const auto& t : cell) {
            tets.push_back({VTK_TETRA, {}});
            for (const Vec3& x : t) {
                tets.back().second.push_back(static_cast<vtkIdType>(points.size()));
                points.push_back(x);
            }
        }
    vtkNew<vtkPlane> plane;
    plane->SetOrigin(o.data());
    plane->SetNormal(n.data());
    vtkNew<vtkCutter> cutter;
    cutter->SetCutFunction(plane);
    // Cut values kept: VTK's general path, in doubles (its fast path for linear grids agrees
    // only to about 1e-9).
    cutter->SetOutputPointsPrecision(vtkAlgorithm::DOUBLE_PRECISION);
    cutter->GenerateCutScalarsOn();
    cutter->SetInputData(Cells(points, tets));
    cutter->Update();
    vtkPolyData* pCut = cutter->GetOutput();
    PolygonMoments m;
    vtkIdType nPts = 0;
    const vtkIdType* pIds = nullptr;
    vtkCellArray* pPolys = pCut->GetPolys();
    for (pPolys->InitTraversal(); pPolys->GetNextCell(nPts, pIds);) {
        std::vector<Vec3> poly(static_cast<size_t>(nPts));
        for (vtkIdType k = 0; k < nPts; ++k)
            pCut->GetPoint(pIds[k], poly[static_cast<size_t>(k)].data());
        m.Add(MomentsOf(poly));
    }
    return m;
}

Vec3 Shifted(const Vec3& x, const Vec3& d) { return {x[0] + d[0], x[1] + d[1], x[2] + d[2]}; }

// The unit normal along v, turned to side.
Vec3 Normal(const Vec3& v, double side)
{
    const double l = side * std::sqrt(v[0] * v[0] + v[1] * v[1] + v[2] * v[2]);
    return {v[0] / l, v[1] / l, v[2] / l};
}

const Vec3 kFar{1e7, -3e6, 250};

class CurvedQuadraticCell : public ::testing::TestWithParam<std::tuple<Fill, Fill>> {};
class StraightQuadraticCell : public ::testing::TestWithParam<Fill> {};

std::string KindName(Fill f) { return f == Fill::Wedges ? "Wedges" : "Pyramids"; }

} // namespace

// Two unit boxes along x: [0, 1]^3 of 15-node wedges (split on the diagonal of its base) or of
// six 13-node pyramids about its centre, beside [1, 2] x [0, 1]^2 of linear hexahedra, wedges or
// pyramids. Three edge nodes on the model's faces bulge out of it: (0, 0, 0.5) to (-0.15, -0.1,
// 0.5), (1, 0, 0.5), on the face the boxes share, to (1, -0.2, 0.55) (the linear cells beside
// take it), (0.5, 1, 1) to (0.5, 1.1, 1.15). Each cell is the solid of its faces' flat pieces
// (a face with edge nodes is the fan from their mean), so the section is that of those pieces
// as tetrahedra, cut by VTK: planes across the bulges, one through them alone outside the
// boxes, both normals, every node order, at the origin and far from it. The area, the force and
// moment of a linear stress and the flow of a linear velocity within 1e-12, far away within the
// rounding of the coordinates. Cut as linear cells, the bulges are lost.
TEST_P(CurvedQuadraticCell, IsCutAsTheFlatPiecesThroughItsEdgeNodes)
{
    const auto [kind, neighbour] = GetParam();
    const std::map<Vec3, Vec3> bulge{
        {{0, 0, 0.5}, {-0.15, -0.1, 0.5}}, {{1, 0, 0.5}, {1, -0.2, 0.55}}, {{0.5, 1, 1}, {0.5, 1.1, 1.15}}};
    const std::vector<std::pair<Vec3, Vec3>> planes{{{0.5, 0.5, 0.3}, {0, 0, 1}},
                                                    {{0.5, 0.5, 0.45}, {0.2, -0.3, 1}},
                                                    {{0.35, 0.5, 0.5}, {1, 0.25, -0.4}},
                                                    {{0.6, 1.05, 0.9}, {0.1, 1, 0.3}},
                                                    {{0, -0.04, 0}, {0, 1, 0.1}}};
    auto model = [&, kind = kind, neighbour = neighbour](const Vec3& shift) {
        BlockSpec spec;
        spec.nx = 2;
        spec.corner = shift;
        spec.fill = [=](int i, int, int) { return i == 0 ? kind : neighbour; };
        spec.quadratic = [](int i, int, int) { return i == 0; };
        spec.bMoveEdgeNodes = true;
        spec.move = [&](const Vec3& x) {
            const auto it = bulge.find(x);
            return Shifted(it == bulge.end() ? x : it->second, shift);
        };
        return Block(spec);
    };
    std::vector<std::pair<Vec3, PolygonMoments>> sections; // by plane and side
    const auto atOrigin = model({0, 0, 0});
    ASSERT_TRUE(SplitIsValid(atOrigin));
    for (const auto& [o, n0] : planes)
        for (double side : {1.0, -1.0}) {
            sections.push_back({Normal(n0, side), SectionOfSplit(atOrigin, o, Normal(n0, side))});
            ASSERT_GT(sections.back().second.dArea, 0.0) << ::testing::PrintToString(o);
        }
    for (const Vec3& shift : {Vec3{0, 0, 0}, kFar}) {
        const auto block = model(shift);
        SetFields(block, shift);
        const double tol = shift == kFar ? ShiftedTolerance(1e7, 0.0) : 1e-12;
        for (const auto& order : Orders(kind)) {
            const auto grid = Renumbered(block, kind, order);
            PlaneCutIndex index;
            ASSERT_TRUE(index.Build(grid));
            for (size_t k = 0; k < sections.size(); ++k) {
                const Vec3& o = planes[k / 2].first;
                const auto& [n, exact] = sections[k];
                ExpectTotals(TotalsOf(grid, index, Shifted(o, shift), n), exact, shift, n, tol,
                             "order " + ::testing::PrintToString(order) + ", plane " + ::testing::PrintToString(o) +
                                 ", normal " + ::testing::PrintToString(n) + ", shift " +
                                 ::testing::PrintToString(shift));
            }
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Kinds, CurvedQuadraticCell,
                         ::testing::Combine(::testing::Values(Fill::Wedges, Fill::Pyramids),
                                            ::testing::Values(Fill::Hexahedra, Fill::Wedges, Fill::Pyramids)),
                         [](const auto& info) {
                             return KindName(std::get<0>(info.param)) + "Beside" + FillName(std::get<1>(info.param));
                         });

// The box [0, 1]^3 of 15-node wedges or 13-node pyramids as above, straight, beside linear
// hexahedra, under a stress that is the linear one near the corner (0, 1, 0): there, at the
// edge nodes of the edges from it and at the box's centre, the linear field; at the corners
// next to it along the box's edges the field plus 10 in every component, so that it is
// quadratic along those edges; at the other edge nodes of the faces about the corner, the field
// less 10 (20 on the wedge's base diagonal), so that the nodes of each such face average to the
// field there, as the fan of its pieces takes them. The pieces about the corner then carry the
// linear field: planes cutting the corner off within the first half of its edges, both normals,
// every node order, at the origin and far from it, give the corner's triangle with the force
// and moment of the linear stress within 1e-12. A cell cut as its linear cell takes 10 t more
// at a crossing t along an edge.
TEST_P(StraightQuadraticCell, TakesTheValuesAtItsEdgeNodes)
{
    const Fill kind = GetParam();
    // Off the linear field, in tens, by the point (from the model's corner).
    std::map<Vec3, double> off{{{1, 1, 0}, 1},    {{0, 0, 0}, 1},    {{0, 1, 1}, 1},   {{1, 1, 0.5}, -1},
                               {{0.5, 1, 1}, -1}, {{0, 0, 0.5}, -1}, {{0, 0.5, 1}, -1}};
    if (kind == Fill::Wedges) {
        off[{0.5, 0.5, 0}] = -2; // the base's diagonal, on the triangle about the corner
    } else {
        off[{0.5, 0, 0}] = off[{1, 0.5, 0}] = -1; // the base's square about the corner
        for (const Vec3& x : {Vec3{0.75, 0.75, 0.25}, Vec3{0.25, 0.25, 0.25}, Vec3{0.25, 0.75, 0.75}})
            off[x] = -1; // the edges from the centre to the corners next to the corner
    }
    const std::vector<std::pair<Vec3, Vec3>> planes{
        {{0.3, 1, 0}, {1, -0.8, 1.2}}, {{0.4, 1, 0}, {0.7, -1, 0.9}}, {{0.2, 1, 0}, {1, -1, 1}}};
    for (const Vec3& shift : {Vec3{0, 0, 0}, kFar}) {
        BlockSpec spec;
        spec.nx = 2;
        spec.corner = shift;
        spec.fill = [&](int i, int, int) { return i == 0 ? kind : Fill::Hexahedra; };
        spec.quadratic = [](int i, int, int) { return i == 0; };
        const auto block = Block(spec);
        SetFields(block, shift);
        vtkDataArray* pStress = block->GetPointData()->GetScalars();
        for (vtkIdType p = 0; p < block->GetNumberOfPoints(); ++p) {
            const double* x = block->GetPoint(p);
            const auto it = off.find({x[0] - shift[0], x[1] - shift[1], x[2] - shift[2]});
            for (int c = 0; it != off.end() && c < 6; ++c)
                pStress->SetComponent(p, c, pStress->GetComponent(p, c) + 10 * it->second);
        }
        const double tol = shift == kFar ? ShiftedTolerance(1e7, 0.0) : 1e-12;
        for (const auto& order : Orders(kind)) {
            const auto grid = Renumbered(block, kind, order);
            PlaneCutIndex index;
            ASSERT_TRUE(index.Build(grid));
            for (const auto& [o, n0] : planes)
                for (double side : {1.0, -1.0}) {
                    const Vec3 n = Normal(n0, side);
                    const PolygonMoments exact = MomentsOf(ClipBoxByPlane({0, 0, 0}, {2, 1, 1}, o, n));
                    ExpectTotals(TotalsOf(grid, index, Shifted(o, shift), n), exact, shift, n, tol,
                                 "order " + ::testing::PrintToString(order) + ", plane " + ::testing::PrintToString(o) +
                                     ", normal " + ::testing::PrintToString(n) + ", shift " +
                                     ::testing::PrintToString(shift));
                }
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Kinds, StraightQuadraticCell, ::testing::Values(Fill::Wedges, Fill::Pyramids),
                         [](const auto& info) { return KindName(info.param); });
