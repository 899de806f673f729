// The plane cut and the integration over it, on VTK grids built here: blocks of hexahedra, of
// tetrahedra, of wedges and of pyramids against the exact clipped polygon of the block; random
// valid meshes of every kind, linear and quadratic, their nodes moved, cut on and off node
// layers, through nodes and edges, near and far from the origin, with their area, force and
// flow; faces lying in the plane, covering each other in part; the degeneracy test; the force
// sums of solid and plate cuts with the caller's element rules; the index's promise that a
// plane visits the cells near it, not the grid; and the kept surface of linear solids against
// VTK's surface filter.
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
#include <initializer_list>
#include <iterator>
#include <ostream>
#include <limits>
#include <map>
#include <random>
#include <string>
#include <utility>
#include <vector>

using namespace kvpvs::planecut;
using kvpvs::test::ClipBoxByPlane;
using kvpvs::test::ForceAndMoment;
using kvpvs::test::LinearStress;
using kvpvs::test::PolygonMoments;
using kvpvs::test::MomentsOf;
using kvpvs::test::Vec3;

namespace {

enum class Fill { Hexahedra, Tetrahedra, Wedges, WedgesOtherDiagonal, Pyramids };

// The corners of the edge nodes in the order quadratic cells list them.
const std::vector<std::array<int, 2>>& QuadraticEdges(int nType)
{
    static const std::vector<std::array<int, 2>> hex{{0, 1}, {1, 2}, {2, 3}, {3, 0}, {4, 5}, {5, 6},
                                                     {6, 7}, {7, 4}, {0, 4}, {1, 5}, {2, 6}, {3, 7}};
    static const std::vector<std::array<int, 2>> wedge{{0, 1}, {1, 2}, {2, 0}, {3, 4}, {4, 5},
                                                       {5, 3}, {0, 3}, {1, 4}, {2, 5}};
    static const std::vector<std::array<int, 2>> pyramid{{0, 1}, {1, 2}, {2, 3}, {3, 0}, {0, 4}, {1, 4}, {2, 4}, {3, 4}};
    static const std::vector<std::array<int, 2>> tetra{{0, 1}, {1, 2}, {2, 0}, {0, 3}, {1, 3}, {2, 3}};
    static const std::vector<std::array<int, 2>> none;
    switch (nType) {
    case VTK_QUADRATIC_HEXAHEDRON: return hex;
    case VTK_QUADRATIC_WEDGE: return wedge;
    case VTK_QUADRATIC_PYRAMID: return pyramid;
    case VTK_QUADRATIC_TETRA: return tetra;
    default: return none;
    }
}

// A block of nx x ny x nz boxes of size h from corner, filled per box (i, j, k) with a
// hexahedron, six tetrahedra around the box's diagonal 0-6 (faces split as in the neighbours),
// two wedges split on the diagonal 0-2 of the box's bottom (as the tetrahedra) or on the other
// one, or six pyramids on the box's faces with their apex at its centre; node (i, j, k) at
// (i h, j h, z(i, j, k)) from corner. Quadratic boxes' cells have a node on each edge, one per
// edge, at its middle; a linear cell beside them shares the edge without. move, when given,
// places every point (edge nodes when bMoveEdgeNodes) from where it would be from corner.
// Point scalars f = 3 + 2x - y + 0.5z, x from corner as placed before any move.
struct BlockSpec {
    int nx = 1, ny = 1, nz = 1;
    double h = 1.0;
    Vec3 corner{0, 0, 0};
    std::function<Fill(int i, int j, int k)> fill;
    std::function<double(int i, int j, int k)> z; // default k h
    std::function<bool(int i, int j, int k)> quadratic;
    std::function<Vec3(const Vec3& x)> move;
    bool bMoveEdgeNodes = false;
    bool Inside(const Vec3& x) const
    {
        return x[0] > 0 && x[0] < nx * h && x[1] > 0 && x[1] < ny * h && x[2] > 0 && x[2] < nz * h;
    }
};

vtkSmartPointer<vtkUnstructuredGrid> Block(const BlockSpec& spec)
{
    const int nx = spec.nx, ny = spec.ny, nz = spec.nz;
    const double h = spec.h;
    auto grid = vtkSmartPointer<vtkUnstructuredGrid>::New();
    vtkNew<vtkPoints> pts;
    pts->SetDataTypeToDouble();
    vtkNew<vtkDoubleArray> f;
    f->SetName("f");
    auto addPoint = [&](double x, double y, double z, bool bMove = true) {
        if (bMove && spec.move)
            pts->InsertNextPoint(spec.move({x, y, z}).data());
        else
            pts->InsertNextPoint(spec.corner[0] + x, spec.corner[1] + y, spec.corner[2] + z);
        f->InsertNextValue(3 + 2 * x - y + 0.5 * z);
        return pts->GetNumberOfPoints() - 1;
    };
    auto id = [&](int i, int j, int k) { return static_cast<vtkIdType>((k * (ny + 1) + j) * (nx + 1) + i); };
    for (int k = 0; k <= nz; ++k)
        for (int j = 0; j <= ny; ++j)
            for (int i = 0; i <= nx; ++i)
                addPoint(i * h, j * h, spec.z ? spec.z(i, j, k) : k * h);
    grid->SetPoints(pts);
    grid->GetPointData()->SetScalars(f);
    std::map<std::pair<vtkIdType, vtkIdType>, vtkIdType> edgeNode;
    bool bQuadratic = false;
    auto add = [&](int nType, std::initializer_list<vtkIdType> corners) {
        std::vector<vtkIdType> ids(corners);
        const int nQuadratic = nType == VTK_HEXAHEDRON ? VTK_QUADRATIC_HEXAHEDRON
                               : nType == VTK_WEDGE    ? VTK_QUADRATIC_WEDGE
                               : nType == VTK_PYRAMID  ? VTK_QUADRATIC_PYRAMID
                                                       : VTK_QUADRATIC_TETRA;
        for (const auto& e : QuadraticEdges(bQuadratic ? nQuadratic : nType)) {
            const auto key = std::minmax(ids[static_cast<size_t>(e[0])], ids[static_cast<size_t>(e[1])]);
            auto it = edgeNode.find(key);
            if (it == edgeNode.end()) {
                double a[3], b[3];
                pts->GetPoint(key.first, a);
                pts->GetPoint(key.second, b);
                Vec3 m;
                for (int k = 0; k < 3; ++k)
                    m[k] = (a[k] + b[k]) / 2 - spec.corner[k];
                it = edgeNode.emplace(key, addPoint(m[0], m[1], m[2], spec.bMoveEdgeNodes)).first;
            }
            ids.push_back(it->second);
        }
        grid->InsertNextCell(bQuadratic ? nQuadratic : nType, static_cast<vtkIdType>(ids.size()), ids.data());
    };
    for (int k = 0; k < nz; ++k)
        for (int j = 0; j < ny; ++j)
            for (int i = 0; i < nx; ++i) {
                const vtkIdType c[8] = {id(i, j, k),         id(i + 1, j, k),     id(i + 1, j + 1, k),
                                        id(i, j + 1, k),     id(i, j, k + 1),     id(i + 1, j, k + 1),
                                        id(i + 1, j + 1, k + 1), id(i, j + 1, k + 1)};
                const Fill fill = spec.fill(i, j, k);
                bQuadratic = spec.quadratic && spec.quadratic(i, j, k);
                if (fill == Fill::Hexahedra) {
                    add(VTK_HEXAHEDRON, {c[0], c[1], c[2], c[3], c[4], c[5], c[6], c[7]});
                } else if (fill == Fill::Wedges) {
                    add(VTK_WEDGE, {c[0], c[1], c[2], c[4], c[5], c[6]});
                    add(VTK_WEDGE, {c[0], c[2], c[3], c[4], c[6], c[7]});
                } else if (fill == Fill::WedgesOtherDiagonal) {
                    add(VTK_WEDGE, {c[1], c[2], c[3], c[5], c[6], c[7]});
                    add(VTK_WEDGE, {c[1], c[3], c[0], c[5], c[7], c[4]});
                } else if (fill == Fill::Pyramids) {
                    const vtkIdType apex = addPoint((i + 0.5) * h, (j + 0.5) * h, (k + 0.5) * h);
                    const int faces[6][4] = {{4, 5, 1, 0}, {1, 2, 3, 0}, {3, 7, 4, 0}, {5, 6, 2, 1}, {6, 7, 3, 2}, {7, 6, 5, 4}};
                    for (const auto& q : faces)
                        add(VTK_PYRAMID, {c[q[0]], c[q[1]], c[q[2]], c[q[3]], apex});
                } else {
                    // Six tetrahedra around the diagonal 0-6: they fill the box.
                    const int t[6][4] = {{0, 1, 2, 6}, {0, 2, 3, 6}, {0, 3, 7, 6}, {0, 7, 4, 6}, {0, 4, 5, 6}, {0, 5, 1, 6}};
                    for (const auto& q : t)
                        add(VTK_TETRA, {c[q[0]], c[q[1]], c[q[2]], c[q[3]]});
                }
            }
    return grid;
}

// Layers from nUpperFrom up filled as upper.
vtkSmartPointer<vtkUnstructuredGrid> Block(int nx, int ny, int nz, double h, Fill fill, Fill upper, int nUpperFrom)
{
    BlockSpec spec;
    spec.nx = nx, spec.ny = ny, spec.nz = nz, spec.h = h;
    spec.fill = [=](int, int, int k) { return k >= nUpperFrom ? upper : fill; };
    return Block(spec);
}

vtkSmartPointer<vtkUnstructuredGrid> Block(int nx, int ny, int nz, double h, Fill fill)
{
    return Block(nx, ny, nz, h, fill, fill, nz);
}

struct CutCase {
    const char* pszName;
    Vec3 origin;
    Vec3 normal;
};

[[maybe_unused]] void PrintTo(const CutCase& c, std::ostream* os) { *os << c.pszName; }

class CutOfBlock : public ::testing::TestWithParam<std::tuple<CutCase, Fill>> {};

std::string FillName(Fill f)
{
    return f == Fill::Hexahedra    ? "Hexahedra"
           : f == Fill::Tetrahedra ? "Tetrahedra"
           : f == Fill::Wedges     ? "Wedges"
           : f == Fill::Pyramids   ? "Pyramids"
                                   : "WedgesOtherDiagonal";
}
[[maybe_unused]] void PrintTo(Fill f, std::ostream* os) { *os << FillName(f); }

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

namespace {

// A stress field linear in the coordinates from a grid's corner.
LinearStress Field()
{
    LinearStress s;
    s.s0 = {-10, -20, -30, 2, 3, 4};
    s.d[0] = {1, 0.5, -2, 0.3, 0, 1};
    s.d[1] = {-1, 2, 0.5, 0, 0.7, -0.2};
    s.d[2] = {0.4, -0.6, 3, 1, -1, 0.5};
    return s;
}

// A velocity linear in the coordinates from a grid's corner.
Vec3 Velocity(const Vec3& x)
{
    return {0.5 + 0.1 * x[0], -0.25 + 0.2 * x[1] - 0.05 * x[2], 2 + 0.3 * x[2] - 0.1 * x[0]};
}

// The field's stresses at the grid's points as their six point scalars, the velocity as the
// point vectors "v".
void SetFields(vtkUnstructuredGrid* grid, const Vec3& corner)
{
    const LinearStress field = Field();
    vtkNew<vtkDoubleArray> stress, v;
    stress->SetNumberOfComponents(6);
    v->SetNumberOfComponents(3);
    v->SetName("v");
    for (vtkIdType p = 0; p < grid->GetNumberOfPoints(); ++p) {
        const double* x = grid->GetPoint(p);
        const Vec3 d{x[0] - corner[0], x[1] - corner[1], x[2] - corner[2]};
        stress->InsertNextTuple(field.At(d[0], d[1], d[2]).data());
        v->InsertNextTuple(Velocity(d).data());
    }
    grid->GetPointData()->SetScalars(stress);
    grid->GetPointData()->AddArray(v);
}

// What the displays sum over a cut: its area; the force and moment about its centre of the
// stress point values (three points of weight A / 3 per triangle, exact for a linear field);
// the flow, the integral of v . n.
struct CutTotals {
    double dArea = 0.0, dFlow = 0.0;
    Vec3 centre{0, 0, 0}, F{0, 0, 0}, M{0, 0, 0};
};

CutTotals TotalsOf(vtkUnstructuredGrid* grid, const PlaneCutIndex& index, const Vec3& o, const Vec3& n)
{
    PlaneCut cut;
    CutGridByPlane(grid, index, o.data(), n.data(), cut);
    SolidCutRules rules;
    rules.lengthOut = [](double d) { return d; };
    rules.law = +[](double dRef[3], double dPts[3][3], double* dN, double dStress[3][6], double dSum[6], double(*)[3]) {
        const double A = TwiceTriangleArea(dPts[0], dPts[1], dPts[2]) / 2.0;
        for (int q = 0; q < 3; ++q) {
            double w[3] = {1.0 / 6, 1.0 / 6, 1.0 / 6}, s[6] = {0, 0, 0, 0, 0, 0}, r[3] = {0, 0, 0};
            w[q] = 2.0 / 3;
            for (int e = 0; e < 3; ++e) {
                for (int c = 0; c < 6; ++c)
                    s[c] += w[e] * dStress[e][c];
                for (int k = 0; k < 3; ++k)
                    r[k] += w[e] * (dPts[e][k] - dRef[k]);
            }
            const double t[3] = {s[0] * dN[0] + s[3] * dN[1] + s[5] * dN[2], s[3] * dN[0] + s[1] * dN[1] + s[4] * dN[2],
                                 s[5] * dN[0] + s[4] * dN[1] + s[2] * dN[2]};
            const double m[3] = {r[1] * t[2] - r[2] * t[1], r[2] * t[0] - r[0] * t[2], r[0] * t[1] - r[1] * t[0]};
            for (int k = 0; k < 3; ++k) {
                dSum[k] += t[k] * A / 3;
                dSum[3 + k] += m[k] * A / 3;
            }
        }
        return 0;
    };
    std::copy(n.begin(), n.end(), rules.dPlaneAxis[0]);
    const CutSums sums = IntegrateSolidCut(cut, rules);
    CutTotals t;
    t.dArea = AreaOfCut(cut.pOutput).dArea;
    for (int k = 0; k < 3; ++k) {
        t.centre[k] = sums.dCentre[k];
        t.F[k] = sums.dSum[k];
        t.M[k] = sums.dSum[3 + k];
    }
    std::vector<double> flow;
    if (IntegratePointArray(cut.pOutput, cut.pOutput->GetPointData()->GetArray("v"), flow))
        t.dFlow = flow[0] * n[0] + flow[1] * n[1] + flow[2] * n[2];
    return t;
}

// The totals against those of the exact section (its moments from the grid's corner, the
// field's force and moment about its centre, the flow of the velocity) within tol relative to
// the area, the section's size and the fields' sizes (stress 40, velocity 3). The centre, in
// the grid's coordinates, and the moment about it, within a few roundings of those more.
void ExpectTotals(const CutTotals& got, const PolygonMoments& exact, const Vec3& corner, const Vec3& n, double tol,
                  const std::string& what)
{
    Vec3 F, M;
    const Vec3 c = exact.Centre(), v = Velocity(c);
    ForceAndMoment(exact, Field(), n, c, F, M);
    const double A = exact.dArea, size = std::sqrt(A);
    const double far = std::max({std::fabs(corner[0]), std::fabs(corner[1]), std::fabs(corner[2])});
    const double dRounding = 4 * (std::nextafter(far, HUGE_VAL) - far);
    EXPECT_NEAR(got.dArea, A, tol * A) << what;
    EXPECT_NEAR(got.dFlow, A * (v[0] * n[0] + v[1] * n[1] + v[2] * n[2]), tol * 3 * A) << what;
    for (int k = 0; k < 3; ++k) {
        EXPECT_NEAR(got.centre[k] - corner[k], c[k], tol * size + dRounding) << what;
        EXPECT_NEAR(got.F[k], F[k], tol * 40 * A) << what;
        EXPECT_NEAR(got.M[k], M[k], (tol * size + dRounding) * 40 * A) << what;
    }
}

// A grid of the given points and cells.
vtkSmartPointer<vtkUnstructuredGrid> Cells(const std::vector<Vec3>& points,
                                           const std::vector<std::pair<int, std::vector<vtkIdType>>>& cells)
{
    auto grid = vtkSmartPointer<vtkUnstructuredGrid>::New();
    vtkNew<vtkPoints> pts;
    pts->SetDataTypeToDouble();
    for (const Vec3& x : points)
        pts->InsertNextPoint(x.data());
    grid->SetPoints(pts);
    for (const auto& [nType, ids] : cells)
        grid->InsertNextCell(nType, static_cast<vtkIdType>(ids.size()), ids.data());
    return grid;
}

// A prism of the polygon (x, y) from z0 to z1: a hexahedron over a quadrilateral, a wedge over
// a triangle; its points appended.
std::pair<int, std::vector<vtkIdType>> Prism(std::vector<Vec3>& points, const std::vector<std::array<double, 2>>& base,
                                             double z0, double z1)
{
    std::vector<vtkIdType> ids;
    for (double z : {z0, z1})
        for (const auto& b : base) {
            ids.push_back(static_cast<vtkIdType>(points.size()));
            points.push_back({b[0], b[1], z});
        }
    return {base.size() == 4 ? VTK_HEXAHEDRON : VTK_WEDGE, ids};
}

} // namespace

namespace {

// Whether every piece of the cut's split has a volume of one sign in each cell: its faces as
// triangles (a quadrilateral on the diagonal from its least id, a face with edge nodes as a
// fan from their mean), each with the mean of the cell's nodes.
bool SplitIsValid(vtkUnstructuredGrid* g)
{
    std::map<std::pair<vtkIdType, vtkIdType>, vtkIdType> edgeNode;
    for (vtkIdType c = 0; c < g->GetNumberOfCells(); ++c) {
        vtkCell* pCell = g->GetCell(c);
        const auto& edges = QuadraticEdges(pCell->GetCellType());
        const vtkIdType nCorner = pCell->GetNumberOfPoints() - static_cast<vtkIdType>(edges.size());
        for (size_t e = 0; e < edges.size(); ++e)
            edgeNode[std::minmax(pCell->GetPointId(edges[e][0]), pCell->GetPointId(edges[e][1]))] =
                pCell->GetPointId(nCorner + static_cast<vtkIdType>(e));
    }
    auto at = [&](vtkIdType p) {
        Vec3 x;
        g->GetPoint(p, x.data());
        return x;
    };
    auto sub = [](const Vec3& a, const Vec3& b) { return Vec3{a[0] - b[0], a[1] - b[1], a[2] - b[2]}; };
    for (vtkIdType c = 0; c < g->GetNumberOfCells(); ++c) {
        vtkCell* pCell = g->GetCell(c);
        Vec3 centre{0, 0, 0};
        for (vtkIdType j = 0; j < pCell->GetNumberOfPoints(); ++j)
            for (int k = 0; k < 3; ++k)
                centre[k] += at(pCell->GetPointId(j))[k] / static_cast<double>(pCell->GetNumberOfPoints());
        int nSign = 0;
        for (int f = 0; f < pCell->GetNumberOfFaces(); ++f) {
            vtkCell* pFace = pCell->GetFace(f);
            const int nPts = static_cast<int>(pFace->GetNumberOfPoints());
            const int n = nPts == 6 || nPts == 3 ? 3 : 4;
            std::vector<vtkIdType> loop;
            for (int j = 0; j < n; ++j) {
                const vtkIdType a = pFace->GetPointId(j), b = pFace->GetPointId((j + 1) % n);
                loop.push_back(a);
                const auto it = edgeNode.find(std::minmax(a, b));
                if (nPts > n)
                    loop.push_back(pFace->GetPointId(n + j));
                else if (it != edgeNode.end())
                    loop.push_back(it->second);
            }
            std::vector<std::array<Vec3, 3>> tris;
            const size_t m = loop.size();
            if (m == 3) {
                tris.push_back({at(loop[0]), at(loop[1]), at(loop[2])});
            } else if (m == 4 && n == 4) {
                const size_t r = static_cast<size_t>(std::min_element(loop.begin(), loop.end()) - loop.begin());
                tris.push_back({at(loop[r]), at(loop[(r + 1) % 4]), at(loop[(r + 2) % 4])});
                tris.push_back({at(loop[r]), at(loop[(r + 2) % 4]), at(loop[(r + 3) % 4])});
            } else {
                Vec3 mean{0, 0, 0};
                for (vtkIdType p : loop)
                    for (int k = 0; k < 3; ++k)
                        mean[k] += at(p)[k] / static_cast<double>(m);
                for (size_t j = 0; j < m; ++j)
                    tris.push_back({mean, at(loop[j]), at(loop[(j + 1) % m])});
            }
            for (const auto& t : tris) {
                const Vec3 a = sub(t[1], t[0]), b = sub(t[2], t[0]), d = sub(centre, t[0]);
                const double v = (a[1] * b[2] - a[2] * b[1]) * d[0] + (a[2] * b[0] - a[0] * b[2]) * d[1] +
                                 (a[0] * b[1] - a[1] * b[0]) * d[2];
                if (v == 0.0 || (nSign != 0 && (v > 0) != (nSign > 0)))
                    return false;
                nSign = v > 0 ? 1 : -1;
            }
        }
    }
    return true;
}

} // namespace

// A box tiled by any valid mesh has the box's section: random meshes of 3 x 3 x 3 boxes of every
// kind, linear (the four kinds mixed), linear and quadratic mixed within one kind (edge nodes
// midway) or quadratic (edge nodes moved too), their inner nodes moved in x, y and z by 1 ulp
// to 0.2 of a box, drawn again until the split is valid; cut on a node layer (some of its nodes
// left on it, the origin also 4e8 away in the plane), tilted off it by 1e-12 to 1e-3, through a
// node and through an edge, both normals, the model at the origin or shifted by 1e7. The area,
// the force and moment of a linear stress field and the flow of a linear velocity are the
// section's within 1e-9, shifted within 64 eps 1e7 / h (h = 0.5, the pyramids' height).
TEST(PlaneCutProperty, ABoxTiledByAnyValidMeshCutsToItsSection)
{
    std::mt19937 rng(45);
    auto uni = [&](double a, double b) { return std::uniform_real_distribution<double>(a, b)(rng); };
    const double aScale[] = {0.0, 1e-12, 1e-6, 1e-3, 0.2}; // 0: one ulp
    int nRedrawn = 0;
    for (int nFamily = 0; nFamily < 5; ++nFamily)
        for (double dShift : {0.0, 1e7})
            for (int nPlane = 0; nPlane < 4; ++nPlane)
                for (double dScale : aScale) {
                    const int k0 = 1 + static_cast<int>(rng() % 2);
                    vtkSmartPointer<vtkUnstructuredGrid> grid;
                    BlockSpec spec;
                    spec.nx = spec.ny = spec.nz = 3;
                    spec.corner = {dShift, dShift, dShift};
                    // 0: the four linear kinds; 1-3: one kind, linear and quadratic; 4: quadratic.
                    const Fill aKind[] = {Fill::Hexahedra, Fill::Wedges, Fill::Tetrahedra, Fill::Pyramids};
                    const Fill family = nFamily == 2 ? Fill::Wedges : nFamily == 3 ? Fill::Tetrahedra : Fill::Hexahedra;
                    spec.bMoveEdgeNodes = nFamily == 4;
                    for (int nTry = 0;; ++nTry) {
                        ASSERT_LT(nTry, 50) << "no valid mesh drawn";
                        std::vector<std::pair<Fill, bool>> aBox;
                        const Fill quadraticKind = aKind[rng() % 4];
                        for (int b = 0; b < 27; ++b) {
                            const Fill kind = family == Fill::Hexahedra && rng() % 2 ? Fill::Pyramids : family;
                            aBox.push_back(nFamily == 0   ? std::pair{aKind[rng() % 4], false}
                                           : nFamily == 4 ? std::pair{quadraticKind, true}
                                                          : std::pair{kind, rng() % 2 == 0});
                        }
                        auto box = [&](int i, int j, int k) { return aBox[static_cast<size_t>((k * 3 + j) * 3 + i)]; };
                        spec.fill = [=](int i, int j, int k) { return box(i, j, k).first; };
                        spec.quadratic = [=](int i, int j, int k) { return box(i, j, k).second; };
                        spec.move = [&](const Vec3& x) {
                            const bool bKeepZ = nPlane < 2 && x[2] == k0 && rng() % 2;
                            Vec3 y{x[0] + dShift, x[1] + dShift, x[2] + dShift};
                            if (!spec.Inside(x))
                                return y;
                            for (int k = 0; k < 3; ++k) {
                                if (k == 2 && bKeepZ)
                                    continue;
                                y[k] = dScale == 0.0 ? std::nextafter(y[k], (rng() % 2 ? 1 : -1) * HUGE_VAL)
                                                     : y[k] + dScale * uni(-1, 1);
                            }
                            return y;
                        };
                        grid = Block(spec);
                        if (SplitIsValid(grid))
                            break;
                        ++nRedrawn;
                    }
                    const Vec3 corner{dShift, dShift, dShift};
                    SetFields(grid, corner);
                    PlaneCutIndex index;
                    index.Build(grid);
                    // Planes in the model's coordinates.
                    std::vector<std::pair<Vec3, Vec3>> aPlane; // origin, normal
                    const double sh = dShift;
                    if (nPlane == 0) {
                        aPlane.push_back({{1.5 + sh, 1.5 + sh, k0 + sh}, {0, 0, 1}});
                        aPlane.push_back({{-3e8, 5e8, k0 + sh}, {0, 0, 1}});
                    } else if (nPlane == 1) {
                        const double t = std::pow(10.0, uni(-12, -3)), phi = uni(0, 6.283185307179586);
                        aPlane.push_back({{1.5 + sh, 1.5 + sh, k0 + sh}, {std::sin(t) * std::cos(phi), std::sin(t) * std::sin(phi), std::cos(t)}});
                    } else {
                        // Through an inner node, and through it and a neighbour along an edge.
                        const vtkIdType a = static_cast<vtkIdType>((k0 * 4 + 1 + rng() % 2) * 4 + 1 + rng() % 2);
                        Vec3 xa, xb, r{uni(-1, 1), uni(-1, 1), uni(-1, 1)}, n;
                        grid->GetPoint(a, xa.data());
                        grid->GetPoint(a + 1, xb.data());
                        if (nPlane == 3) {
                            const Vec3 e{xb[0] - xa[0], xb[1] - xa[1], xb[2] - xa[2]};
                            r = {e[1] * r[2] - e[2] * r[1], e[2] * r[0] - e[0] * r[2], e[0] * r[1] - e[1] * r[0]};
                        }
                        const double l = std::sqrt(r[0] * r[0] + r[1] * r[1] + r[2] * r[2]);
                        n = {r[0] / l, r[1] / l, r[2] / l};
                        aPlane.push_back({xa, n});
                    }
                    const double tol = dShift == 0.0 ? 1e-9 : 64 * std::numeric_limits<double>::epsilon() * dShift / 0.5;
                    for (const auto& [o, n0] : aPlane)
                        for (double dSide : {1.0, -1.0}) {
                            const Vec3 n{dSide * n0[0], dSide * n0[1], dSide * n0[2]};
                            const PolygonMoments exact = MomentsOf(ClipBoxByPlane(
                                {0, 0, 0}, {3, 3, 3}, {o[0] - sh, o[1] - sh, o[2] - sh}, n));
                            ExpectTotals(TotalsOf(grid, index, o, n), exact, corner, n, tol,
                                         "family " + std::to_string(nFamily) + ", shift " + std::to_string(dShift) +
                                             ", plane " + std::to_string(nPlane) + ", scale " +
                                             ::testing::PrintToString(dScale) + ", side " + std::to_string(dSide));
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
