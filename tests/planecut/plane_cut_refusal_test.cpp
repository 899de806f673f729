// What the cut refuses, and says why: a grid whose cells name points it does not have, points
// that are not finite or too far out, or kinds of cell no model element is, and a plane without
// a finite origin and direction. A normal of any finite length is taken as its direction, an
// exact one keeping the exact sides it gives.
#include "CutMeshes.h"
#include "planecut/cut_integration.h"
#include "planecut/plane_cut.h"

#include <gtest/gtest.h>
#include <vtkCellType.h>
#include <vtkNew.h>
#include <vtkPoints.h>
#include <vtkPolyData.h>
#include <vtkSmartPointer.h>
#include <vtkUnstructuredGrid.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstring>
#include <limits>
#include <ostream>
#include <string>
#include <tuple>
#include <vector>

using namespace kvpvs::planecut;
using namespace kvpvs::test;

namespace {

constexpr double kInf = std::numeric_limits<double>::infinity();
constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

// Two unit cubes along x, [0, 2] x [0, 1] x [0, 1]: points (i, j, k) at id (k * 2 + j) * 3 + i;
// the second a 20-node hexahedron when bQuadratic, its edge nodes at the middles.
vtkSmartPointer<vtkUnstructuredGrid> TwoCubes(bool bQuadratic)
{
    auto g = vtkSmartPointer<vtkUnstructuredGrid>::New();
    vtkNew<vtkPoints> p;
    p->SetDataTypeToDouble();
    for (int k = 0; k < 2; ++k)
        for (int j = 0; j < 2; ++j)
            for (int i = 0; i < 3; ++i)
                p->InsertNextPoint(i, j, k);
    auto id = [](int i, int j, int k) { return static_cast<vtkIdType>((k * 2 + j) * 3 + i); };
    std::vector<vtkIdType> a{id(0, 0, 0), id(1, 0, 0), id(1, 1, 0), id(0, 1, 0),
                             id(0, 0, 1), id(1, 0, 1), id(1, 1, 1), id(0, 1, 1)};
    std::vector<vtkIdType> b{id(1, 0, 0), id(2, 0, 0), id(2, 1, 0), id(1, 1, 0),
                             id(1, 0, 1), id(2, 0, 1), id(2, 1, 1), id(1, 1, 1)};
    if (bQuadratic) {
        const int kEdge[12][2] = {{0, 1}, {1, 2}, {2, 3}, {3, 0}, {4, 5}, {5, 6},
                                  {6, 7}, {7, 4}, {0, 4}, {1, 5}, {2, 6}, {3, 7}};
        for (const auto& e : kEdge) {
            double x[3], y[3];
            p->GetPoint(b[static_cast<size_t>(e[0])], x);
            p->GetPoint(b[static_cast<size_t>(e[1])], y);
            b.push_back(p->InsertNextPoint((x[0] + y[0]) / 2, (x[1] + y[1]) / 2, (x[2] + y[2]) / 2));
        }
    }
    g->SetPoints(p);
    g->InsertNextCell(VTK_HEXAHEDRON, 8, a.data());
    g->InsertNextCell(bQuadratic ? VTK_QUADRATIC_HEXAHEDRON : VTK_HEXAHEDRON, static_cast<vtkIdType>(b.size()),
                      b.data());
    return g;
}

struct Cut {
    vtkIdType nVisited = 0;
    std::string strRefusal;
    double dArea = 0.0;
};

Cut CutOf(vtkUnstructuredGrid* g, const double o[3], const double n[3], bool bRefused)
{
    PlaneCutIndex index;
    EXPECT_EQ(index.Build(g), !bRefused);
    PlaneCut cut;
    Cut c{CutGridByPlane(g, index, o, n, cut), cut.strRefusal, AreaOfCut(cut.pOutput).dArea};
    if (c.nVisited < 0) {
        EXPECT_EQ(cut.pOutput->GetNumberOfPoints(), 0);
    }
    return c;
}

} // namespace

// A point id past the points or below 0, in a corner or an edge node, or a grid with cells and
// no points: the index refuses it, naming the cell, and every cut of it is refused alike.
TEST(PlaneCutRefusal, CellsNamingPointsTheGridLacks)
{
    const double o[3] = {0.5, 0.5, 0.5}, n[3] = {1, 0, 0};
    for (bool bQuadratic : {false, true})
        for (vtkIdType nBad :
             {vtkIdType{-1}, vtkIdType{-1000}, vtkIdType{2147483647}, vtkIdType{1000048}, vtkIdType{-2}}) {
            auto g = TwoCubes(bQuadratic);
            if (nBad == -2)
                nBad = g->GetNumberOfPoints();
            vtkIdType nIds = 0;
            const vtkIdType* pIds = nullptr;
            g->GetCellPoints(1, nIds, pIds);
            std::vector<vtkIdType> ids(pIds, pIds + nIds);
            ids.back() = nBad; // a corner, or an edge node of the quadratic cell
            g->ReplaceCell(1, nIds, ids.data());
            const Cut c = CutOf(g, o, n, true);
            EXPECT_EQ(c.nVisited, -1);
            EXPECT_NE(c.strRefusal.find("cell 1:"), std::string::npos) << c.strRefusal;
            EXPECT_NE(c.strRefusal.find("point id " + std::to_string(nBad) + " is not among"), std::string::npos)
                << c.strRefusal;
        }
    auto g = TwoCubes(false);
    g->SetPoints(vtkNew<vtkPoints>());
    EXPECT_NE(CutOf(g, o, n, true).strRefusal.find("cell 0:"), std::string::npos);
}

// A point of a cell at -inf, +inf or nan in any coordinate refuses the grid, naming the first
// cell that uses it; a point no cell uses is not read.
TEST(PlaneCutRefusal, CellsWithPointsThatAreNotFinite)
{
    const double o[3] = {1.5, 0.5, 0.5}, n[3] = {1, 0, 0};
    for (double v : {-kInf, kInf, kNaN})
        for (int k = 0; k < 3; ++k) {
            auto g = TwoCubes(false);
            double x[3];
            g->GetPoint(2, x); // (2, 0, 0): the second cube's alone
            x[k] = v;
            g->GetPoints()->SetPoint(2, x);
            const Cut c = CutOf(g, o, n, true);
            EXPECT_EQ(c.nVisited, -1);
            EXPECT_NE(c.strRefusal.find("cell 1: its point 2 has a coordinate that is not finite"), std::string::npos)
                << c.strRefusal;
        }
    auto g = TwoCubes(false);
    g->GetPoints()->InsertNextPoint(kNaN, 0, 0);
    EXPECT_NEAR(CutOf(g, o, n, false).dArea, 1.0, 1e-15);
}

namespace {

constexpr double kMax = std::numeric_limits<double>::max();
constexpr double kBound = 0x1p127;
const double kPastBound = std::nextafter(kBound, kInf);

// A 3 x 3 x 2 block of unit hexahedra with one node moved far out: corner 6 of the middle
// bottom cell (cell 4, node (2, 2, 1)), or, in a block of 20-node hexahedra, the node on the
// bottom edge from (1, 0, 0) to (2, 0, 0) (cell 1's alone); or the whole block, every
// coordinate times to's.
enum class Far { Corner, EdgeNode, Block };
struct FarNode {
    const char* pszName;
    Far at;
    Vec3 to;
    bool bTaken; // its coordinates are at most 2^127 in size
};
struct FarPlane {
    const char* pszName;
    Vec3 o, n;
};
[[maybe_unused]] void PrintTo(const FarNode& f, std::ostream* os) { *os << f.pszName; }
[[maybe_unused]] void PrintTo(const FarPlane& f, std::ostream* os) { *os << f.pszName; }

class FarPoint : public ::testing::TestWithParam<std::tuple<FarNode, FarPlane>> {};

} // namespace

// A point with a coordinate beyond 2^127 in size is refused, naming its first cell and the
// point, whatever the plane: the cut's values of a point near the largest double overflow
// (cut points, areas and sums were inf or nan). Up to 2^127 the grid is cut as any other, with
// every point, the area and the sums finite, for cells as large as its reach too.
TEST_P(FarPoint, IsRefusedBeyond2To127)
{
    const auto& [far, plane] = GetParam();
    BlockSpec spec;
    spec.nx = spec.ny = 3;
    spec.nz = 2;
    spec.fill = [](int, int, int) { return Fill::Hexahedra; };
    spec.quadratic = [&](int, int, int) { return far.at == Far::EdgeNode; };
    spec.bMoveEdgeNodes = true;
    const Vec3 from = far.at == Far::EdgeNode ? Vec3{1.5, 0, 0} : Vec3{2, 2, 1};
    spec.move = [&](const Vec3& x) {
        return far.at == Far::Block ? Vec3{x[0] * far.to[0], x[1] * far.to[1], x[2] * far.to[2]}
               : x == from          ? far.to
                                    : x;
    };
    auto g = Block(spec);
    SetFields(g, {0, 0, 0});
    vtkIdType nFar = 0;
    while (far.at != Far::Block && Vec3{g->GetPoint(nFar)[0], g->GetPoint(nFar)[1], g->GetPoint(nFar)[2]} != far.to)
        ASSERT_LT(++nFar, g->GetNumberOfPoints());

    PlaneCutIndex index;
    EXPECT_EQ(index.Build(g), far.bTaken) << index.Refusal();
    PlaneCut cut;
    const vtkIdType nVisited = CutGridByPlane(g, index, plane.o.data(), plane.n.data(), cut);
    const CutTotals t = TotalsOf(cut, plane.n);
    if (!far.bTaken) {
        EXPECT_EQ(nVisited, -1);
        const std::string strWhy = "The plane cut refuses cell " + std::string(far.at == Far::EdgeNode ? "1" : "4") +
                                   ": its point " + std::to_string(nFar) + " has a coordinate beyond";
        EXPECT_EQ(cut.strRefusal.rfind(strWhy, 0), 0u) << cut.strRefusal;
        EXPECT_EQ(cut.pOutput->GetNumberOfPoints(), 0);
        EXPECT_EQ(t.dArea, 0.0);
        return;
    }
    EXPECT_GT(nVisited, 0) << cut.strRefusal;
    EXPECT_GT(cut.pOutput->GetNumberOfPoints(), 0);
    for (vtkIdType p = 0; p < cut.pOutput->GetNumberOfPoints(); ++p)
        for (int k = 0; k < 3; ++k)
            ASSERT_TRUE(std::isfinite(cut.pOutput->GetPoint(p)[k])) << "point " << p;
    EXPECT_GT(t.dArea, 0.0);
    EXPECT_TRUE(std::isfinite(t.dArea + t.dFlow));
    for (int k = 0; k < 3; ++k)
        EXPECT_TRUE(std::isfinite(t.centre[k] + t.F[k] + t.M[k])) << k;
}

INSTANTIATE_TEST_SUITE_P(
    Grids, FarPoint,
    ::testing::Combine(
        ::testing::Values(FarNode{"CornerAtTheLargestDouble", Far::Corner, {kMax, kMax, kMax}, false},
                          FarNode{"CornerAtMinusTheLargestDouble", Far::Corner, {-kMax, 0, 1}, false},
                          FarNode{"EdgeNodeAtTheLargestDouble", Far::EdgeNode, {kMax, 0, 0}, false},
                          FarNode{"CornerAt2To127", Far::Corner, {kBound, kBound, kBound}, true},
                          FarNode{"CornerAtMinus2To127", Far::Corner, {-kBound, -kBound, -kBound}, true},
                          FarNode{"EdgeNodeAt2To127", Far::EdgeNode, {kBound, 0, -kBound}, true},
                          FarNode{"CellsOf2To125", Far::Block, {0x1p125, -0x1p125, 0x1p125}, true},
                          FarNode{"CornerAnUlpPast2To127", Far::Corner, {kPastBound, 2, 1}, false},
                          FarNode{"CornerAnUlpPastMinus2To127", Far::Corner, {2, 2, -kPastBound}, false},
                          FarNode{"EdgeNodeAnUlpPast2To127", Far::EdgeNode, {1.5, kPastBound, 0}, false}),
        ::testing::Values(
            FarPlane{"Tilted", {1.3, 0, 0}, {-1 / std::sqrt(1.05), -0.1 / std::sqrt(1.05), -0.2 / std::sqrt(1.05)}},
            FarPlane{"HalfUp", {0, 0, 0.5}, {0, 0, 1}}, FarPlane{"HalfDown", {0, 0, 0.5}, {0, 0, -1}},
            FarPlane{"LayerUp", {0, 0, 1}, {0, 0, 1}}, FarPlane{"LayerDown", {0, 0, 1}, {0, 0, -1}})),
    [](const auto& info) {
        return std::string(std::get<0>(info.param).pszName) + "_" + std::get<1>(info.param).pszName;
    });

// Pixels and voxels are kinds no model element is (plates are triangles and quadrilaterals,
// solids tetrahedra, hexahedra, wedges and pyramids): a grid with one beside two hexahedra is
// refused, naming the cell and its kind.
TEST(PlaneCutRefusal, PixelsAndVoxels)
{
    for (const int nType : {VTK_PIXEL, VTK_VOXEL}) {
        auto g = TwoCubes(false);
        // A 2 x 1 pixel on the cubes' base, or the 2 x 1 x 1 voxel they fill; the plane x = 1
        // crosses it at its middle.
        const vtkIdType pixel[4] = {0, 2, 3, 5}, voxel[8] = {0, 2, 3, 5, 6, 8, 9, 11};
        g->InsertNextCell(nType, nType == VTK_PIXEL ? 4 : 8, nType == VTK_PIXEL ? pixel : voxel);
        const double o[3] = {1, 0.5, 0.5}, n[3] = {1, 0, 0};
        const Cut c = CutOf(g, o, n, true);
        EXPECT_EQ(c.nVisited, -1);
        EXPECT_EQ(c.strRefusal,
                  nType == VTK_PIXEL
                      ? "The plane cut refuses cell 2: it is a pixel (VTK cell type 8), a kind no model element has."
                      : "The plane cut refuses cell 2: it is a voxel (VTK cell type 11), a kind no model element has.");
    }
}

// A normal of length 1e-300 to 1e300 cuts as the unit one; a zero normal, a normal with any
// component not finite, or an origin with any coordinate not finite or beyond 2^127 in size, is
// refused saying which.
TEST(PlaneCutRefusal, PlanesWithoutAFiniteOriginAndDirection)
{
    auto g = TwoCubes(true);
    const double o[3] = {0.7, 0.3, 0.4};
    const double u[3] = {0.6, 0.0, 0.8};
    // The section spans x from 0 to where the plane leaves the base, across y in [0, 1].
    const double dArea = (0.7 + 0.4 * 0.8 / 0.6) / 0.8;
    for (double s : {1.0, 1e-300, 1e-200, 1e200, 1e300, 3.0, -1.0}) {
        const double n[3] = {u[0] * s, u[1] * s, u[2] * s};
        EXPECT_NEAR(CutOf(g, o, n, false).dArea, dArea, 1e-14) << s;
    }
    const char* kNotFinite = "its normal has a component that is not finite";
    const struct {
        double n[3];
        const char* pszWhy;
    } bad[] = {{{0, 0, 0}, "its normal is zero"},
               {{kNaN, 0, 1}, kNotFinite},
               {{0, kNaN, 1}, kNotFinite},
               {{1, kNaN, 0}, kNotFinite},
               {{1, 0, kNaN}, kNotFinite},
               {{0, 1, kNaN}, kNotFinite},
               {{1, 1, kNaN}, kNotFinite},
               {{1, kNaN, kNaN}, kNotFinite},
               {{0.6, kNaN, 0.8}, kNotFinite},
               {{kInf, 0, 0}, kNotFinite},
               {{1e308, 1e308, kInf}, kNotFinite}};
    for (const auto& b : bad) {
        const Cut c = CutOf(g, o, b.n, false);
        EXPECT_EQ(c.nVisited, -1);
        EXPECT_NE(c.strRefusal.find("refuses the plane"), std::string::npos) << c.strRefusal;
        EXPECT_NE(c.strRefusal.find(std::string(": ") + b.pszWhy + "."), std::string::npos) << c.strRefusal;
    }
    for (const auto& origin : {std::array<double, 3>{kNaN, 0.5, 0.5}, std::array<double, 3>{0, 0, kNaN},
                               std::array<double, 3>{0.5, -kInf, 0.5}}) {
        const Cut c = CutOf(g, origin.data(), u, false);
        EXPECT_EQ(c.nVisited, -1);
        EXPECT_NE(c.strRefusal.find(": its origin has a coordinate that is not finite"), std::string::npos)
            << c.strRefusal;
    }
    // An origin as far out as a point may lie is taken; beyond, its plane values could overflow.
    for (const auto& origin : {std::array<double, 3>{1e308, 1e308, 0}, std::array<double, 3>{kPastBound, 0, 0.5},
                               std::array<double, 3>{0.5, -kPastBound, 0.5}, std::array<double, 3>{0, 0, -kMax}}) {
        const Cut c = CutOf(g, origin.data(), u, false);
        EXPECT_EQ(c.nVisited, -1);
        EXPECT_NE(c.strRefusal.find(": its origin has a coordinate beyond"), std::string::npos) << c.strRefusal;
    }
    const double far[3] = {kBound, -kBound, 0.5}, up[3] = {0, 0, 1};
    EXPECT_EQ(CutOf(g, far, up, false).dArea, 2.0);
}

// A normal times any power of two from 2^-1020 to 2^1020 cuts bit for bit as the normal itself:
// the same points, made from the same ratios on the same edges, whether it is a unit vector or
// (1, 2, 2).
TEST(PlaneCutRefusal, PowersOfTwoOfANormalCutBitForBitAlike)
{
    auto g = TwoCubes(true);
    const double o[3] = {0.7, 0.3, 0.4};
    PlaneCutIndex index;
    ASSERT_TRUE(index.Build(g));
    auto points = [&](const double n[3]) {
        PlaneCut cut;
        EXPECT_GT(CutGridByPlane(g, index, o, n, cut), 0);
        std::vector<double> a(3 * static_cast<size_t>(cut.pOutput->GetNumberOfPoints()));
        for (vtkIdType p = 0; p < cut.pOutput->GetNumberOfPoints(); ++p)
            cut.pOutput->GetPoint(p, &a[3 * static_cast<size_t>(p)]);
        return a;
    };
    for (const auto& d : {std::array<double, 3>{0.6, 0.0, 0.8}, std::array<double, 3>{1, 2, -2}}) {
        const std::vector<double> ref = points(d.data());
        ASSERT_GT(ref.size(), 9u);
        for (int e : {-1020, -600, -1, 1, 3, 600, 1020}) {
            const double n[3] = {std::ldexp(d[0], e), std::ldexp(d[1], e), std::ldexp(d[2], e)};
            const std::vector<double> a = points(n);
            EXPECT_EQ(std::memcmp(a.data(), ref.data(), 8 * std::min(a.size(), ref.size())), 0) << e;
            EXPECT_EQ(a.size(), ref.size()) << e;
        }
    }
}

namespace {

// A 3 x 3 x 2 block of hexahedra sheared so that node (i, j, k) lies at i (1, -1, 0) +
// j (0, 1, -1) + k (1, 1, 1) + the shift: its node layers lie on x + y + z = 3k (shifted), each
// cell's face there of area |(1, -1, 0) x (0, 1, -1)| = sqrt 3; the area of the plane of normal
// n through node (k, k, k).
double ShearedLayerCut(int k, const double n[3], double dShift)
{
    BlockSpec spec;
    spec.nx = spec.ny = 3;
    spec.nz = 2;
    spec.fill = [](int, int, int) { return Fill::Hexahedra; };
    spec.move = [&](const Vec3& x) {
        return Vec3{x[0] + x[2] + dShift, -x[0] + x[1] + x[2] - 3 * dShift, -x[1] + x[2] + 5 * dShift};
    };
    auto g = Block(spec);
    const double o[3] = {k + dShift, k - 3 * dShift, k + 5 * dShift};
    PlaneCutIndex index;
    EXPECT_TRUE(index.Build(g));
    PlaneCut cut;
    EXPECT_GE(CutGridByPlane(g, index, o, n, cut), 0) << cut.strRefusal;
    return AreaOfCut(cut.pOutput).dArea;
}

const double kLayer = 9 * std::sqrt(3.0);

} // namespace

// A normal along (1, 1, 1) of any length or sense puts every node of a layer exactly on the
// plane: the layer's 9 sqrt 3, on the model's boundary too, near the origin and far from it.
TEST(ShearedLayer, ExactNormalsGiveTheWholeLayer)
{
    for (double s : {1.0, -1.0, 3.0, 1e-200, -1e200, 0x1p-1060})
        for (double dShift : {0.0, 1e6})
            for (int k = 0; k <= 2; ++k) {
                const double n[3] = {s, s, s};
                EXPECT_NEAR(ShearedLayerCut(k, n, dShift), kLayer, 1e-14 * kLayer)
                    << "normal " << s << " layer " << k << " shift " << dShift;
            }
}

// With one component an ulp off, the plane turns about a line of the inner layer: the cells on
// both sides cut it, and the section is the layer's to a rounding, whichever way it turns.
TEST(ShearedLayer, NormalsAnUlpOffLoseNothingInsideTheModel)
{
    for (double s : {1.0, -1.0})
        for (int c = 0; c < 3; ++c)
            for (double dToward : {-2.0, 2.0})
                for (double dShift : {0.0, 1e6}) {
                    double n[3] = {s, s, s};
                    n[c] = std::nextafter(s, dToward);
                    EXPECT_NEAR(ShearedLayerCut(1, n, dShift), kLayer, 1e-14 * kLayer)
                        << "normal " << n[0] << " " << n[1] << " " << n[2] << " shift " << dShift;
                }
}
