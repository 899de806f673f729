// The plane cut and the integration over it, on VTK grids built here and in CutMeshes.h: blocks
// of hexahedra, of tetrahedra, of wedges and of pyramids against the exact clipped polygon of
// the block; random valid meshes of every kind, linear and quadratic, their nodes moved, cut on
// and off node layers, through nodes and edges, near and far from the origin, with their area,
// force and flow; a cell beside a curved neighbour; the model's faces moved off the plane; faces
// lying in the plane, covering each other in part; the degeneracy test; the force
// sums of solid and plate cuts with the caller's element rules; and the index's promises that a
// plane visits the cells near it, not the grid, and that it lists triangular faces' edges only
// where a quadrilateral can be split on one.
#include "CutMeshes.h"
#include "ForceSumReference.h"
#include "planecut/cut_integration.h"
#include "planecut/plane_cut.h"

#include <gtest/gtest.h>
#include <vtkCellArray.h>
#include <vtkCellData.h>
#include <vtkCell.h>
#include <vtkCellType.h>
#include <vtkCutter.h>
#include <vtkDataSetSurfaceFilter.h>
#include <vtkDoubleArray.h>
#include <vtkIdList.h>
#include <vtkNew.h>
#include <vtkPointData.h>
#include <vtkPlane.h>
#include <vtkPoints.h>
#include <vtkPolyData.h>
#include <vtkSmartPointer.h>
#include <vtkUnstructuredGrid.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <functional>
#include <limits>
#include <ostream>
#include <random>
#include <set>
#include <string>
#include <utility>
#include <vector>

using namespace kvpvs::planecut;
using namespace kvpvs::test;

namespace {

struct CutCase {
    const char* pszName;
    Vec3 origin;
    Vec3 normal;
};

[[maybe_unused]] void PrintTo(const CutCase& c, std::ostream* os) { *os << c.pszName; }

class CutOfBlock : public ::testing::TestWithParam<std::tuple<CutCase, Fill>> {};

} // namespace

// Area, centre and the integral of a linear point field over the cut equal those of the exact
// polygon within 1e-12 of the area (the centre within 1e-12 of the block's size).
TEST_P(CutOfBlock, AreaCentreAndIntegralAreExact)
{
    const auto& [c, fill] = GetParam();
    auto grid = Block(5, 4, 3, 1.0, fill);
    PlaneCutIndex index;
    index.Build(grid);
    PlaneCut cut;
    CutGridByPlane(grid, index, c.origin.data(), c.normal.data(), cut);
    const auto ref = MomentsOf(ClipBoxByPlane({0, 0, 0}, {5, 4, 3}, c.origin, c.normal));
    ASSERT_GT(ref.dArea, 0.0);
    const CutArea area = AreaOfCut(cut.pOutput);
    EXPECT_NEAR(area.dArea, ref.dArea, 1e-12 * ref.dArea);
    double centre[3];
    ASSERT_TRUE(area.Centre(centre));
    const Vec3 rc = ref.Centre();
    for (int k = 0; k < 3; ++k)
        EXPECT_NEAR(centre[k], rc[k], 1e-12 * 7.1);
    std::vector<double> integral;
    ASSERT_TRUE(IntegratePointArray(cut.pOutput, cut.pOutput->GetPointData()->GetScalars(), integral));
    ASSERT_EQ(integral.size(), 1u);
    const double exact = ref.dArea * (3 + 2 * rc[0] - rc[1] + 0.5 * rc[2]);
    EXPECT_NEAR(integral[0], exact, 1e-12 * std::fabs(exact));
    // Every piece knows its cell.
    EXPECT_EQ(cut.aPolyCell.size(), static_cast<size_t>(cut.pOutput->GetNumberOfPolys()));
}

INSTANTIATE_TEST_SUITE_P(
    Planes, CutOfBlock,
    ::testing::Combine(::testing::Values(CutCase{"Oblique", {2.3, 2.1, 1.4}, {1, 0.25, 0.1}},
                                         CutCase{"ThroughNodeLayer", {2, 0, 0}, {1, 0, 0}},
                                         CutCase{"ThroughNodeDiagonal", {0, 0, 0}, {1, -1, 0}},
                                         CutCase{"CornerSliver", {0.01, 0, 0}, {1, 1, 1}},
                                         CutCase{"BoundaryFaceMeshAbove", {0, 0, 0}, {0, 0, 1}},
                                         CutCase{"BoundaryFaceMeshBelow", {0, 0, 3}, {0, 0, 1}}),
                       ::testing::Values(Fill::Hexahedra, Fill::Tetrahedra, Fill::Wedges)),
    [](const auto& info) { return std::string(std::get<0>(info.param).pszName) + "_" + FillName(std::get<1>(info.param)); });

// The grid without the cells of its lowest layer beyond x = 2: the faces above them at z = 1
// lie on the grid's boundary, beside faces the layer below covers.
vtkSmartPointer<vtkUnstructuredGrid> Stepped(vtkUnstructuredGrid* pIn)
{
    auto grid = vtkSmartPointer<vtkUnstructuredGrid>::New();
    grid->SetPoints(pIn->GetPoints());
    grid->GetPointData()->ShallowCopy(pIn->GetPointData());
    for (vtkIdType c = 0; c < pIn->GetNumberOfCells(); ++c) {
        const double* b = pIn->GetCell(c)->GetBounds();
        if (b[0] < 2.0 || b[4] >= 1.0)
            grid->InsertNextCell(pIn->GetCellType(c), pIn->GetCell(c)->GetPointIds());
    }
    return grid;
}

// An area of the grid lying in the plane is cut once: from the cells below it, or from the
// cells above where there are none below (the boundary, also beside faces covered from below),
// however the two sides divide it into faces: hexahedra against wedges or tetrahedra either way
// up, wedges against tetrahedra on the other diagonal (each triangle half covered by two), both
// normals. The area is the exact one, on the interface also VTK's cutter's on the same grid.
TEST(PlaneCutFaces, InPlaneAreaIsCutOnceWhateverTheFacesOnEitherSide)
{
    const Fill pairs[][2] = {{Fill::Hexahedra, Fill::Hexahedra},  {Fill::Hexahedra, Fill::Wedges},
                             {Fill::Wedges, Fill::Hexahedra},     {Fill::Hexahedra, Fill::Tetrahedra},
                             {Fill::Tetrahedra, Fill::Hexahedra}, {Fill::WedgesOtherDiagonal, Fill::Tetrahedra},
                             {Fill::Tetrahedra, Fill::WedgesOtherDiagonal}};
    for (const auto& pair : pairs)
        for (bool bStepped : {false, true}) {
            auto grid = Block(3, 2, 2, 1.0, pair[0], pair[1], 1);
            if (bStepped)
                grid = Stepped(grid);
            PlaneCutIndex index;
            index.Build(grid);
            for (double z : {0.0, 1.0, 2.0})
                for (double nz : {1.0, -1.0}) {
                    const std::string what = FillName(pair[0]) + " under " + FillName(pair[1]) +
                                             (bStepped ? " stepped" : "") + ", z = " + std::to_string(z) +
                                             ", normal " + std::to_string(nz);
                    const double o[3] = {0, 0, z}, n[3] = {0, 0, nz};
                    PlaneCut cut;
                    CutGridByPlane(grid, index, o, n, cut);
                    EXPECT_NEAR(AreaOfCut(cut.pOutput).dArea, bStepped && z == 0.0 ? 4.0 : 6.0, 1e-14) << what;
                    if (z != 1.0 || bStepped)
                        continue; // VTK's cutter leaves out a boundary face with the grid above it
                    vtkNew<vtkPlane> plane;
                    plane->SetOrigin(o[0], o[1], o[2]);
                    plane->SetNormal(n[0], n[1], n[2]);
                    vtkNew<vtkCutter> cutter;
                    cutter->SetCutFunction(plane);
                    cutter->SetInputData(grid);
                    cutter->Update();
                    EXPECT_NEAR(AreaOfCut(cutter->GetOutput()).dArea, 6.0, 1e-6) << what << " (VTK)";
                }
        }
}

// A box tiled by any valid mesh has the box's section: random meshes of 3 x 3 x 3 boxes of every
// kind, linear (the four kinds mixed), linear and quadratic mixed within one kind (edge nodes
// midway, or moved with the inner nodes, either way across the faces between linear and
// quadratic cells, by 1e-6 to 0.1 and cut on and tilted off the layer, where a plane meets
// their bulges alone) or quadratic (edge nodes moved too), their inner nodes moved in x, y and z
// by 1 ulp to 0.2 of a box, drawn again until the split is valid; cut on a node layer (some of
// its nodes left on it, the origin also 4e8 away in the plane), tilted off it by 1e-12 to 1e-3,
// through a node and through an edge, both normals, the model at the origin or shifted by 1e7.
// The area, the force and moment of a linear stress field and the flow of a linear velocity are
// the section's within 1e-9, shifted within 64 eps 1e7 / h (h = 0.5, the pyramids' height).
TEST(PlaneCutProperty, ABoxTiledByAnyValidMeshCutsToItsSection)
{
    std::mt19937 rng(45);
    const double aScale[] = {0.0, 1e-12, 1e-6, 1e-3, 0.2}; // 0: one ulp
    int nRedrawn = 0;
    for (int nFamily = 0; nFamily < 8; ++nFamily)
        for (double dShift : {0.0, 1e7})
            for (int nPlane = 0; nPlane < 4; ++nPlane)
                for (double dScale : aScale) {
                    if (nFamily >= 5 && (dScale == 0.0 || dScale == 1e-12 || nPlane >= 2))
                        continue;
                    TiledBox t; // families 5-7: 1-3 with their edge nodes moved
                    t.nFamily = nFamily < 5 ? nFamily : nFamily - 4, t.dShift = dShift;
                    t.bMoveEdgeNodes = nFamily >= 5;
                    // At 0.2 few meshes whose linear cells take moved edge nodes are valid.
                    t.dScale = t.bMoveEdgeNodes ? std::min(dScale, 0.1) : dScale;
                    t.k0 = 1 + static_cast<int>(rng() % 2);
                    t.bKeepLayer = nPlane < 2;
                    const auto grid = RandomTiledBox(rng, t, nRedrawn);
                    ASSERT_TRUE(grid) << "no valid mesh drawn";
                    const Vec3 corner{dShift, dShift, dShift};
                    SetFields(grid, corner);
                    PlaneCutIndex index;
                    index.Build(grid);
                    const double tol = ShiftedTolerance(dShift, 1e-9);
                    for (const auto& [o, n] : TiledBoxPlanes(rng, grid, t, nPlane)) {
                        const PolygonMoments exact = MomentsOf(
                            ClipBoxByPlane({0, 0, 0}, {3, 3, 3}, {o[0] - dShift, o[1] - dShift, o[2] - dShift}, n));
                        ExpectTotals(TotalsOf(grid, index, o, n), exact, corner, n, tol,
                                     "family " + std::to_string(nFamily) + ", shift " + std::to_string(dShift) +
                                         ", plane " + std::to_string(nPlane) + ", scale " +
                                         ::testing::PrintToString(t.dScale) + ", normal " +
                                         ::testing::PrintToString(n));
                    }
                }
    RecordProperty("redrawn", nRedrawn);
}

// Cases once wrong: two quadratic hexahedra stacked with a corner of the face between them a
// rounding off the plane (either side, the normal away from it); 2 x 2 x 2 of them with the
// layer's centre node off it; a linear hexahedron under a quadratic one, their face a saddle of
// +-1e-9; two hexahedra side by side, a face between them warped with a corner on the plane;
// quadratic hexahedra cut at the model's base and top; a coarse wedge pair over fine hexahedra
// covering half of it (an overhang). Both normals: the box's section, its force and flow.
TEST(PlaneCutProperty, OnceWrongCasesCutToTheSection)
{
    struct T_CASE {
        const char* pszName;
        int nx, ny, nz;
        std::function<bool(int, int, int)> quadratic;
        std::function<Vec3(const Vec3&)> move;
        double z;
    };
    auto at = [](const Vec3& p, const Vec3& to) { return [=](const Vec3& x) { return x == p ? to : x; }; };
    auto hex20 = [](int, int, int) { return true; };
    auto saddle = [](const Vec3& x) {
        return x[2] == 1 ? Vec3{x[0], x[1], 1 + ((x[0] + x[1]) == 1 ? -1e-9 : 1e-9)} : x;
    };
    const T_CASE aCase[] = {
        {"stacked, corner below", 1, 1, 2, hex20, at({0, 0, 1}, {0, 0, 1 - 1e-9}), 1},
        {"stacked, corner above", 1, 1, 2, hex20, at({0, 0, 1}, {0, 0, 1 + 1e-9}), 1},
        {"2 x 2 x 2, centre below", 2, 2, 2, hex20, at({1, 1, 1}, {1, 1, 1 - 1e-9}), 1},
        {"linear under quadratic, saddle", 1, 1, 2, [](int, int, int k) { return k == 1; }, saddle, 1},
        {"side by side, warped face", 2, 1, 2, [](int, int, int) { return false; }, at({1, 1, 1}, {1.3, 1, 1.2}), 1},
        {"base", 2, 2, 2, hex20, nullptr, 0},
        {"top", 2, 2, 2, hex20, nullptr, 2}};
    for (const T_CASE& c : aCase) {
        BlockSpec spec;
        spec.nx = c.nx, spec.ny = c.ny, spec.nz = c.nz;
        spec.fill = [](int, int, int) { return Fill::Hexahedra; };
        spec.quadratic = c.quadratic;
        spec.move = c.move;
        auto grid = Block(spec);
        ASSERT_TRUE(SplitIsValid(grid)) << c.pszName;
        SetFields(grid, {0, 0, 0});
        PlaneCutIndex index;
        index.Build(grid);
        for (double nz : {1.0, -1.0}) {
            const Vec3 n{0, 0, nz};
            const PolygonMoments exact = MomentsOf(ClipBoxByPlane({0, 0, 0}, {double(c.nx), double(c.ny), double(c.nz)}, {0, 0, c.z}, n));
            ExpectTotals(TotalsOf(grid, index, {0, 0, c.z}, n), exact, {0, 0, 0}, n, 1e-9,
                         std::string(c.pszName) + ", normal " + std::to_string(nz));
        }
    }
    // 8 x 8 hexahedra of 1/8 under half of a wedge pair over [0, 2] x [0, 1].
    std::vector<Vec3> points;
    std::vector<std::pair<int, std::vector<vtkIdType>>> cells;
    for (int j = 0; j < 8; ++j)
        for (int i = 0; i < 8; ++i)
            cells.push_back(Prism(points, {{i / 8.0, j / 8.0}, {(i + 1) / 8.0, j / 8.0}, {(i + 1) / 8.0, (j + 1) / 8.0}, {i / 8.0, (j + 1) / 8.0}}, 0.875, 1));
    cells.push_back(Prism(points, {{0, 0}, {2, 0}, {2, 1}}, 1, 2));
    cells.push_back(Prism(points, {{0, 0}, {2, 1}, {0, 1}}, 1, 2));
    auto grid = Cells(points, cells);
    SetFields(grid, {0, 0, 0});
    PlaneCutIndex index;
    index.Build(grid);
    for (double nz : {1.0, -1.0}) {
        const Vec3 n{0, 0, nz};
        ExpectTotals(TotalsOf(grid, index, {0, 0, 1}, n), MomentsOf(ClipBoxByPlane({0, 0, 0}, {2, 1, 2}, {0, 0, 1}, n)),
                     {0, 0, 0}, n, 1e-9, "coarse face over a fine grid, normal " + std::to_string(nz));
    }
}

// A cell beside a curved quadratic one is cut where the curve bulges into it: two unit boxes
// along x, one filled with quadratic cells, the other with linear ones (hexahedra, wedges and
// pyramids, whose faces on x = 1 are one quadrilateral, beside each other; tetrahedra beside
// tetrahedra), one edge node on their face x = 1 moved by 0.01 along x into either box (within
// the model's face where the edge lies on it). Both cells of the face take the node, so their
// union is still the box [0, 2] x [0, 1]^2: planes x = 1 -+ 0.002 and 0.005 through the bulge,
// both normals, cut the unit square with its force and flow.
TEST(PlaneCutProperty, ACellIsCutWhereACurvedNeighbourBulgesIntoIt)
{
    const Fill pairs[][2] = {{Fill::Hexahedra, Fill::Hexahedra},  {Fill::Hexahedra, Fill::Pyramids},
                             {Fill::Hexahedra, Fill::Wedges},     {Fill::Wedges, Fill::Pyramids},
                             {Fill::Wedges, Fill::Wedges},        {Fill::Pyramids, Fill::Pyramids},
                             {Fill::Tetrahedra, Fill::Tetrahedra}};
    const double d = 0.01;
    for (const auto& pair : pairs)
        for (int nQuadratic : {0, 1})
            for (const Vec3 mid :
                 {Vec3{1, 0, 0.5}, Vec3{1, 1, 0.5}, Vec3{1, 0.5, 0}, Vec3{1, 0.5, 1}, Vec3{1, 0.5, 0.5}})
                for (double dInto : {-d, d}) {
                    if (mid[1] == 0.5 && mid[2] == 0.5 && pair[0] != Fill::Tetrahedra)
                        continue; // only tetrahedra have an edge across the face
                    BlockSpec spec;
                    spec.nx = 2;
                    spec.fill = [&](int i, int, int) { return pair[i]; };
                    spec.quadratic = [&](int i, int, int) { return i == nQuadratic; };
                    spec.bMoveEdgeNodes = true;
                    spec.move = [&](const Vec3& x) { return x == mid ? Vec3{1 + dInto, x[1], x[2]} : x; };
                    auto grid = Block(spec);
                    ASSERT_TRUE(SplitIsValid(grid));
                    SetFields(grid, spec.corner);
                    PlaneCutIndex index;
                    index.Build(grid);
                    for (double dAt : {0.2 * dInto, 0.5 * dInto})
                        for (double nx : {1.0, -1.0}) {
                            const Vec3 o{1 + dAt, 0, 0}, n{nx, 0, 0};
                            ExpectTotals(TotalsOf(grid, index, o, n),
                                         MomentsOf(ClipBoxByPlane({0, 0, 0}, {2, 1, 1}, o, n)), spec.corner, n, 1e-9,
                                         FillName(pair[0]) + " beside " + FillName(pair[1]) + ", quadratic " +
                                             std::to_string(nQuadratic) + ", node " + ::testing::PrintToString(mid) +
                                             " moved " + std::to_string(dInto) + ", x = " + std::to_string(o[0]) +
                                             ", normal " + std::to_string(nx));
                        }
                }
}

// The model's base or top moved off a plane on which most of its nodes stay, so that the solid
// fills the whole face at its height: two unit hexahedra side by side, their shared top corner
// (1, 1, 1) moved to (1.3, 1, 1.2) (the top bulges, at z = 1 only along its edges), cut at
// z = 1; random tiled boxes of every family with a quarter of their base's and top's nodes
// moved out of the model by 1 ulp to 0.2, cut at z = 0 and z = 3. Both normals: the whole face,
// its force and flow.
TEST(PlaneCutProperty, AModelFaceMovedOffThePlaneIsCutWhole)
{
    BlockSpec spec;
    spec.nx = 2;
    spec.fill = [](int, int, int) { return Fill::Hexahedra; };
    spec.move = [](const Vec3& x) { return x == Vec3{1, 1, 1} ? Vec3{1.3, 1, 1.2} : x; };
    auto grid = Block(spec);
    SetFields(grid, spec.corner);
    PlaneCutIndex index;
    index.Build(grid);
    for (double nz : {1.0, -1.0}) {
        const Vec3 o{0, 0, 1}, n{0, 0, nz};
        ExpectTotals(TotalsOf(grid, index, o, n), MomentsOf(ClipBoxByPlane({0, 0, 0}, {2, 1, 1}, o, n)), spec.corner, n,
                     1e-9, "two hexahedra, normal " + std::to_string(nz));
    }
    std::mt19937 rng(50);
    int nRedrawn = 0;
    for (int nFamily = 0; nFamily < 5; ++nFamily)
        for (double dShift : {0.0, 1e7})
            for (double dScale : {0.0, 1e-3, 0.2}) {
                TiledBox t;
                t.nFamily = nFamily, t.dShift = dShift, t.dScale = dScale;
                t.bMoveFaces = true;
                const auto box = RandomTiledBox(rng, t, nRedrawn);
                ASSERT_TRUE(box) << "no valid mesh drawn";
                const Vec3 corner{dShift, dShift, dShift};
                SetFields(box, corner);
                index.Build(box);
                const double tol = ShiftedTolerance(dShift, 1e-9);
                for (double z : {0.0, 3.0})
                    for (double nz : {1.0, -1.0}) {
                        const Vec3 n{0, 0, nz};
                        ExpectTotals(TotalsOf(box, index, {1.5 + dShift, 1.5 + dShift, z + dShift}, n),
                                     MomentsOf(ClipBoxByPlane({0, 0, 0}, {3, 3, 3}, {1.5, 1.5, z}, n)), corner, n, tol,
                                     "family " + std::to_string(nFamily) + ", shift " + std::to_string(dShift) +
                                         ", scale " + ::testing::PrintToString(dScale) + ", z = " + std::to_string(z) +
                                         ", normal " + std::to_string(nz));
                    }
            }
}

// The 2 x 2 x 2 block of unit hexahedra cut at z = 1 with one node of that layer moved off it
// (the centre, a corner, the middle of an edge; 2^-52 to 0.1, up or down), both normals: the
// section, 4, its force under the linear field and the flow of a velocity (0, 0, 2), +-8.
TEST(PlaneCutProperty, TwoByTwoBlockWithOneNodeOffTheLayer)
{
    const PolygonMoments exact = MomentsOf(ClipBoxByPlane({0, 0, 0}, {2, 2, 2}, {0, 0, 1}, {0, 0, 1}));
    for (const std::array<int, 2> node : {std::array<int, 2>{1, 1}, {0, 0}, {1, 0}})
        for (double dMove : {0x1p-52, 1e-12, 1e-9, 1e-6, 1e-3, 0.1, -0x1p-52, -1e-12, -1e-9, -1e-6, -1e-3, -0.1}) {
            BlockSpec spec;
            spec.nx = spec.ny = spec.nz = 2;
            spec.fill = [](int, int, int) { return Fill::Hexahedra; };
            spec.z = [&](int i, int j, int k) { return k + (i == node[0] && j == node[1] && k == 1 ? dMove : 0.0); };
            auto grid = Block(spec);
            SetFields(grid, spec.corner);
            PlaneCutIndex index;
            index.Build(grid);
            for (double nz : {1.0, -1.0})
                ExpectTotals(TotalsOf(grid, index, {0, 0, 1}, {0, 0, nz}), exact, spec.corner, {0, 0, nz}, 1e-9,
                             "node " + std::to_string(node[0]) + "," + std::to_string(node[1]) + " moved " +
                                 ::testing::PrintToString(dMove) + ", normal " + std::to_string(nz));
        }
}

// Hexahedra over wedges or tetrahedra, 2 x 2 boxes of size h placed at x = y = X, cut on their
// interface by a plane typed at (0, 0, h): the section, 4 h^2 (from the coordinates as stored),
// whatever the distance, with its force and flow.
TEST(PlaneCutProperty, APlaneTypedFarFromTheModelCutsItsSection)
{
    const struct {
        double X, h;
    } aCase[] = {{1e8, 1}, {1e7, 0.1}, {1e8, 0.001}, {5e6, 0.5}};
    for (const auto& c : aCase)
        for (Fill lower : {Fill::Wedges, Fill::Tetrahedra}) {
            BlockSpec spec;
            spec.nx = spec.ny = spec.nz = 2;
            spec.h = c.h;
            spec.corner = {c.X, c.X, 0};
            spec.fill = [&](int, int, int k) { return k == 0 ? lower : Fill::Hexahedra; };
            auto grid = Block(spec);
            SetFields(grid, spec.corner);
            const double* b = grid->GetBounds();
            const PolygonMoments exact =
                MomentsOf(ClipBoxByPlane({0, 0, 0}, {b[1] - c.X, b[3] - c.X, 2 * c.h}, {0, 0, c.h}, {0, 0, 1}));
            PlaneCutIndex index;
            index.Build(grid);
            for (double nz : {1.0, -1.0})
                ExpectTotals(TotalsOf(grid, index, {0, 0, c.h}, {0, 0, nz}), exact, spec.corner, {0, 0, nz}, 1e-9,
                             FillName(lower) + " at " + std::to_string(c.X) + ", size " + std::to_string(c.h) +
                                 ", normal " + std::to_string(nz));
        }
}

// Faces in the plane that cover each other in part (meshes that do not conform): a unit cube
// over another moved by 1 - f along x (f = 0.5, 0.4, 0.25, 0.75 of the face shared), a 2 x 1
// box over a unit cube, a box over a wedge covering half its face, and a box over a trapezoid
// (0,0) (3,0) (2,1) (0,1) over a wedge covering 60 % or 40 % of it. Both normals give the union
// of the faces with the force of the linear field over it and the flow of (0.3, -0.4, 2).
TEST(PlaneCutFaces, FacesCoveredInPartCountTheirUnionOnce)
{
    using Base = std::vector<std::array<double, 2>>;
    const auto rect = [](double x0, double x1) { return Base{{x0, 0}, {x1, 0}, {x1, 1}, {x0, 1}}; };
    const Base trapezoid{{0, 0}, {3, 0}, {2, 1}, {0, 1}};
    const struct {
        Base below, above, unite;
    } aCase[] = {{rect(0, 1), rect(0.5, 1.5), rect(0, 1.5)},
                 {rect(0, 1), rect(0.6, 1.6), rect(0, 1.6)},
                 {rect(0, 1), rect(0.75, 1.75), rect(0, 1.75)},
                 {rect(0, 1), rect(0.25, 1.25), rect(0, 1.25)},
                 {rect(0, 1), rect(0, 2), rect(0, 2)},
                 {{{0, 0}, {1, 0}, {0, 1}}, rect(0, 1), rect(0, 1)},
                 {{{0, 0}, {3, 0}, {0, 1}}, trapezoid, trapezoid},
                 {{{0, 0}, {2, 1}, {0, 1}}, trapezoid, trapezoid}};
    for (const auto& c : aCase) {
        std::vector<Vec3> points;
        const auto lower = Prism(points, c.below, 0, 1);
        const auto upper = Prism(points, c.above, 1, 2);
        auto grid = Cells(points, {lower, upper});
        SetFields(grid, {0, 0, 0});
        std::vector<Vec3> unite;
        for (const auto& b : c.unite)
            unite.push_back({b[0], b[1], 1});
        const PolygonMoments exact = MomentsOf(unite);
        PlaneCutIndex index;
        index.Build(grid);
        for (double nz : {1.0, -1.0})
            ExpectTotals(TotalsOf(grid, index, {0, 0, 1}, {0, 0, nz}), exact, {0, 0, 0}, {0, 0, nz},
                         1e-12,
                         "union " + std::to_string(exact.dArea) + " below " + std::to_string(c.below.size()) +
                             " corners, normal " + std::to_string(nz));
    }
}

// Cells the plane only touches along an edge or at a corner give nothing; a plane beside the
// grid gives an empty cut.
TEST(PlaneCutFaces, TouchingAtEdgeOrCornerOrMissingGivesNothing)
{
    auto grid = Block(1, 1, 1, 1.0, Fill::Hexahedra);
    PlaneCutIndex index;
    index.Build(grid);
    const struct {
        double o[3], n[3];
    } planes[] = {{{1, 1, 0}, {1, 1, 0}}, {{1, 1, 1}, {1, 1, 1}}, {{0, 0, 0}, {-1, -1, -1}}, {{5, 0, 0}, {1, 0, 0}}};
    for (const auto& p : planes) {
        PlaneCut cut;
        CutGridByPlane(grid, index, p.o, p.n, cut);
        EXPECT_EQ(AreaOfCut(cut.pOutput).dArea, 0.0);
    }
}

// Degenerate relative to its own size: a triangle thinner than rounding is, a thin one with a
// real area (an angle far under a degree) is not, at any length unit.
TEST(CutIntegration, DegeneracyIsRelativeToTheTriangle)
{
    for (double s : {1e-6, 1e-3, 1.0, 1e3, 1e6}) {
        const double a[3] = {0, 0, 0}, b[3] = {s, 0, 0};
        const double thin[3] = {s / 2, s * 1e-6, 0};   // angle about 1e-4 degrees
        const double flat[3] = {s / 3, 0, 0};            // on the segment
        const double nearFlat[3] = {s / 2, s * 1e-17, 0}; // within rounding of it
        EXPECT_FALSE(IsDegenerateTriangle(a, b, thin)) << s;
        EXPECT_NEAR(TwiceTriangleArea(a, b, thin), s * s * 1e-6, 1e-15 * s * s * 1e-6) << s;
        EXPECT_TRUE(IsDegenerateTriangle(a, b, flat)) << s;
        EXPECT_TRUE(IsDegenerateTriangle(a, b, nearFlat)) << s;
        EXPECT_TRUE(IsDegenerateTriangle(a, a, b)) << s;
    }
    const double nan = std::numeric_limits<double>::quiet_NaN(), inf = std::numeric_limits<double>::infinity();
    const double p0[3] = {0, 0, 0}, p1[3] = {1, 0, 0}, pn[3] = {nan, 1, 0}, pi[3] = {inf, 1, 0};
    EXPECT_TRUE(IsDegenerateTriangle(p0, p1, pn));
    EXPECT_TRUE(IsDegenerateTriangle(p0, p1, pi));
}

// Two unit cubes side by side cut at z = 0.5, lengths out in mm, only the first cube's cells
// counting: the centre is the whole cut's, (1, 0.5, 0.5) in the grid's units; the sums and the
// counted triangles are the first square's, in mm. The test law sums per triangle its area,
// the integral of f = 3 + 2x - y + 0.5z (exact for a linear field: area x mean 3.75) and the
// first moment in x about the centre handed to it, (0.5 - 1) m x area.
TEST(CutIntegration, SolidCutCentresOnTheWholeCutAndSumsTheCellsThatCount)
{
    auto grid = Block(2, 1, 1, 1.0, Fill::Hexahedra);
    PlaneCutIndex index;
    index.Build(grid);
    const double o[3] = {0, 0, 0.5}, n[3] = {0, 0, 1};
    PlaneCut cut;
    CutGridByPlane(grid, index, o, n, cut);
    SolidCutRules rules;
    rules.lengthOut = [](double d) { return 1000.0 * d; };
    rules.cellCounts = [](vtkIdType nCell) { return nCell == 0; };
    std::vector<CutPiece> counted;
    rules.counted = [&](const CutPiece& piece) { counted.push_back(piece); };
    rules.law = +[](double dRef[3], double dPts[3][3], double*, double dStress[3][6], double dSum[6], double(*)[3]) {
        const double A = TwiceTriangleArea(dPts[0], dPts[1], dPts[2]) / 2.0;
        dSum[0] += A;
        dSum[1] += A * (dStress[0][0] + dStress[1][0] + dStress[2][0]) / 3.0;
        dSum[2] += A * ((dPts[0][0] + dPts[1][0] + dPts[2][0]) / 3.0 - dRef[0]);
        return 0;
    };
    const CutSums sums = IntegrateSolidCut(cut, rules);
    ASSERT_TRUE(sums.bCentre);
    EXPECT_NEAR(sums.dCentre[0], 1.0, 1e-15);
    EXPECT_NEAR(sums.dCentre[1], 0.5, 1e-15);
    EXPECT_NEAR(sums.dCentre[2], 0.5, 1e-15);
    EXPECT_NEAR(sums.dSum[0], 1e6, 1e-9);
    EXPECT_NEAR(sums.dSum[1], 3.75e6, 1e-8);
    EXPECT_NEAR(sums.dSum[2], -500.0 * 1e6, 1e-6);
    ASSERT_EQ(counted.size(), 2u);
    for (const CutPiece& piece : counted) {
        EXPECT_EQ(piece.nCell, 0);
        for (int e = 0; e < 3; ++e) {
            double x[3];
            cut.pOutput->GetPoint(piece.aIds[e], x);
            for (int k = 0; k < 3; ++k)
                EXPECT_EQ(piece.dPts[e][k], 1000.0 * x[k]);
        }
    }
}

// Two plates in z = 0, y in [0, 1] 1 thick and y in [1, 2] 3 thick, cut at x = 0.5: the centre
// weighs the segments' midpoints by thickness x length, y = (1 x 0.5 + 3 x 1.5) / 4 = 1.25; only
// the plate with element axes counts towards the sums; a sum of rounding size (1e-16) is 0.
TEST(CutIntegration, PlateCutCentresByThicknessAndSumsThePlatesWithAxes)
{
    auto grid = vtkSmartPointer<vtkUnstructuredGrid>::New();
    vtkNew<vtkPoints> pts;
    pts->SetDataTypeToDouble();
    for (const double y : {0.0, 1.0, 2.0})
        for (const double x : {0.0, 1.0})
            pts->InsertNextPoint(x, y, 0.0);
    grid->SetPoints(pts);
    const vtkIdType q0[4] = {0, 1, 3, 2}, q1[4] = {2, 3, 5, 4};
    grid->InsertNextCell(VTK_QUAD, 4, q0);
    grid->InsertNextCell(VTK_QUAD, 4, q1);
    PlaneCutIndex index;
    index.Build(grid);
    const double o[3] = {0.5, 0, 0}, n[3] = {1, 0, 0};
    PlaneCut cut;
    CutGridByPlane(grid, index, o, n, cut);
    PlateCutRules rules;
    rules.lengthOut = [](double d) { return 1000.0 * d; };
    rules.thickness = [](vtkIdType nCell, double& t) {
        t = nCell == 0 ? 1.0 : 3.0;
        return true;
    };
    rules.elementAxes = [](vtkIdType nCell, double[3][3]) { return nCell == 0; };
    rules.law = +[](double*, double dPts[2][3], double*, double(*)[6], double(*)[6], double dSum[6], double(*)[3],
                    double(*)[3]) {
        dSum[0] += std::fabs(dPts[1][1] - dPts[0][1]); // the segment runs along y
        dSum[1] += 1e-16;
        return 0;
    };
    const CutSums sums = IntegratePlateCut(cut, rules);
    ASSERT_TRUE(sums.bCentre);
    EXPECT_NEAR(sums.dCentre[0], 0.5, 1e-15);
    EXPECT_NEAR(sums.dCentre[1], 1.25, 1e-15);
    EXPECT_EQ(sums.dSum[0], 1000.0);
    EXPECT_EQ(sums.dSum[1], 0.0);
}

// Cost that follows the cut: in a 40 x 40 x 40 block a plane across it visits about the two
// layers of cells it meets (a few thousand), not the 64,000 of the grid.
TEST(PlaneCutIndexCost, APlaneVisitsTheCellsNearItNotTheGrid)
{
    auto grid = Block(40, 40, 40, 1.0, Fill::Hexahedra);
    PlaneCutIndex index;
    index.Build(grid);
    const double o[3] = {17.3, 0, 0}, n[3] = {1, 0.2, 0.1};
    PlaneCut cut;
    const vtkIdType nVisited = CutGridByPlane(grid, index, o, n, cut);
    const vtkIdType nCut = cut.pOutput->GetNumberOfPolys();
    EXPECT_GT(nCut, 1600);
    EXPECT_LE(nVisited, 2 * nCut);
    // A grid whose points change is not the one indexed.
    EXPECT_TRUE(index.Matches(grid));
    grid->GetPoints()->Modified();
    EXPECT_FALSE(index.Matches(grid));
}

// A grid the index was not built for, or one without points, gives an empty cut with points.
TEST(PlaneCutIndexCost, UnindexedGridGivesAnEmptyCut)
{
    auto grid = Block(2, 2, 2, 1.0, Fill::Hexahedra);
    PlaneCutIndex index;
    const double o[3] = {1.5, 0, 0}, n[3] = {1, 0, 0};
    PlaneCut cut;
    EXPECT_EQ(CutGridByPlane(grid, index, o, n, cut), 0);
    ASSERT_NE(cut.pOutput->GetPoints(), nullptr);
    EXPECT_EQ(cut.pOutput->GetNumberOfPoints(), 0);
    EXPECT_EQ(AreaOfCut(cut.pOutput).dArea, 0.0);
}

namespace {

// Every diagonal of a linear quadrilateral (a solid's face or a plate) is a triangle edge to the
// index exactly when it is an edge of a triangular face of a solid, read through VTK's own
// faces; the count of those that are.
int ExpectTriangleDiagonals(vtkUnstructuredGrid* grid, const PlaneCutIndex& index, const std::string& strWhat)
{
    std::set<std::pair<vtkIdType, vtkIdType>> triangleEdges;
    std::vector<std::pair<vtkIdType, vtkIdType>> aDiagonal;
    auto add = [](auto& to, vtkCell* p, int a, int b) {
        to.insert(to.end(), std::minmax(p->GetPointId(a), p->GetPointId(b)));
    };
    for (vtkIdType c = 0; c < grid->GetNumberOfCells(); ++c) {
        vtkCell* pCell = grid->GetCell(c);
        if (pCell->GetCellType() == VTK_QUAD) {
            add(aDiagonal, pCell, 0, 2);
            add(aDiagonal, pCell, 1, 3);
        }
        for (int f = 0; pCell->GetCellDimension() == 3 && f < pCell->GetNumberOfFaces(); ++f) {
            vtkCell* pFace = pCell->GetFace(f);
            const vtkIdType n = pFace->GetNumberOfPoints();
            for (int j = 0; (n == 3 || n == 6) && j < 3; ++j)
                add(triangleEdges, pFace, j, (j + 1) % 3);
            for (int j = 0; n == 4 && j < 2; ++j)
                add(aDiagonal, pFace, j, j + 2);
        }
    }
    int nTriangleEdges = 0;
    for (const auto& [a, b] : aDiagonal) {
        const bool bEdge = triangleEdges.count({a, b}) > 0;
        nTriangleEdges += bEdge ? 1 : 0;
        EXPECT_EQ(index.IsTriangleEdge(static_cast<std::uint32_t>(a), static_cast<std::uint32_t>(b)), bEdge)
            << strWhat << ", diagonal " << a << "-" << b;
    }
    return nTriangleEdges;
}

} // namespace

// The split of a quadrilateral beside triangular faces reads the index's triangle edges: they
// answer for every diagonal in random meshes of the four kinds mixed, of hexahedra and pyramids,
// of wedges, of tetrahedra, linear or quadratic, and for plates on tetrahedra's faces or on an
// edge alone. A mesh without quadrilaterals, or without triangular faces, holds none (a table of
// every triangle's edges made the index of tetrahedra several times slower and larger).
TEST(PlaneCutIndexCost, TriangleEdgesAreHeldWhereAQuadrilateralAsksForThem)
{
    std::mt19937 rng(55);
    int nRedrawn = 0, nTriangleEdges = 0;
    for (int nFamily = 0; nFamily < 4; ++nFamily)
        for (int nDraw = 0; nDraw < 3; ++nDraw) {
            TiledBox t;
            t.nFamily = nFamily;
            t.dScale = 0.1;
            const auto grid = RandomTiledBox(rng, t, nRedrawn);
            ASSERT_TRUE(grid);
            PlaneCutIndex index;
            ASSERT_TRUE(index.Build(grid));
            nTriangleEdges += ExpectTriangleDiagonals(
                grid, index, "family " + std::to_string(nFamily) + ", draw " + std::to_string(nDraw));
        }
    EXPECT_GT(nTriangleEdges, 0);

    // Plates on the base of a block of tetrahedra, linear or quadratic, quadrilaterals listed
    // from either corner of a diagonal: the base's diagonals of the boxes are the tetrahedra's
    // edges.
    BlockSpec tetrahedra;
    tetrahedra.nx = tetrahedra.ny = 3;
    tetrahedra.fill = [](int, int, int) { return Fill::Tetrahedra; };
    PlaneCutIndex index;
    for (bool bQuadratic : {false, true}) {
        tetrahedra.quadratic = [=](int, int, int) { return bQuadratic; };
        auto plated = Block(tetrahedra);
        const auto id = [](int i, int j) { return static_cast<vtkIdType>(j * 4 + i); };
        for (int i = 0; i < 3; ++i)
            for (int j = 0; j < 3; ++j) {
                const vtkIdType q[4] = {id(i, j), id(i + 1, j), id(i + 1, j + 1), id(i, j + 1)};
                const vtkIdType r[4] = {q[1], q[2], q[3], q[0]};
                plated->InsertNextCell(VTK_QUAD, 4, (i + j) % 2 ? r : q);
            }
        ASSERT_TRUE(index.Build(plated));
        EXPECT_EQ(ExpectTriangleDiagonals(plated, index, "plates on tetrahedra"), 9) << bQuadratic;
    }

    // A plate that meets a tetrahedron along its diagonal alone.
    auto lone = vtkSmartPointer<vtkUnstructuredGrid>::New();
    vtkNew<vtkPoints> pts;
    for (const Vec3& x : {Vec3{0, 0, 0}, {1, 0, 0}, {0, 1, 0}, {0, 0, 1}, {0.5, -1, 0.5}, {0.5, -1, -0.5}})
        pts->InsertNextPoint(x.data());
    lone->SetPoints(pts);
    const vtkIdType tet[4] = {0, 1, 2, 3}, plate[4] = {0, 4, 1, 5};
    lone->InsertNextCell(VTK_TETRA, 4, tet);
    lone->InsertNextCell(VTK_QUAD, 4, plate);
    ASSERT_TRUE(index.Build(lone));
    EXPECT_EQ(ExpectTriangleDiagonals(lone, index, "a plate on a tetrahedron's edge"), 1);

    tetrahedra.nz = 3; // quadratic, as the loop left it
    for (const auto& grid :
         {Block(4, 4, 4, 1.0, Fill::Tetrahedra), Block(tetrahedra), Block(4, 4, 4, 1.0, Fill::Hexahedra)}) {
        ASSERT_TRUE(index.Build(grid));
        EXPECT_FALSE(index.HasTriangleEdges());
    }
}
