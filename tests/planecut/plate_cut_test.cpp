// The cut of 2-D cells, against closed forms: a plate's face is cut as a solid's face is split
// (an exactly flat face whole, its edge nodes bending its edges; a warped quadrilateral on its
// diagonal from its least id; a warped face with edge nodes as the fan from its mean), each
// flat piece's crossings paired along the line of cut; an edge lying in the plane counts once
// by a rule the order of the cells does not change, from the plate below it in a wall cut along
// a row of its nodes, with that plate's sums; a corner touching the plane gives nothing.
// Both normals, and where cheap far from the origin and with nodes moved by ulps.
#include "CutMeshes.h"
#include "planecut/cut_integration.h"
#include "planecut/plane_cut.h"

#include <gtest/gtest.h>
#include <vtkCellArray.h>
#include <vtkCellType.h>
#include <vtkDoubleArray.h>
#include <vtkNew.h>
#include <vtkPointData.h>
#include <vtkPolyData.h>
#include <vtkSmartPointer.h>
#include <vtkUnstructuredGrid.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <random>
#include <string>
#include <utility>
#include <vector>

using namespace kvpvs::planecut;
using namespace kvpvs::test;

namespace {

using Segment = std::pair<Vec3, Vec3>;

// A cut's segments, each from its lesser end, with the grid cell of each.
struct PlateCut {
    std::vector<Segment> aSeg;
    std::vector<vtkIdType> aCell;
    // The length of the segments of cell c, of every cell for -1.
    double Length(vtkIdType c = -1) const
    {
        double d = 0.0;
        for (size_t k = 0; k < aSeg.size(); ++k)
            if (c < 0 || aCell[k] == c) {
                const auto& [a, b] = aSeg[k];
                d += std::hypot(b[0] - a[0], b[1] - a[1], b[2] - a[2]);
            }
        return d;
    }
};

PlateCut CutPlates(vtkUnstructuredGrid* grid, const Vec3& o, const Vec3& n)
{
    PlaneCutIndex index;
    EXPECT_TRUE(index.Build(grid)) << index.Refusal();
    PlaneCut cut;
    CutGridByPlane(grid, index, o.data(), n.data(), cut);
    PlateCut r;
    r.aCell = cut.aLineCell;
    vtkIdType m = 0;
    const vtkIdType* pIds = nullptr;
    if (vtkCellArray* pLines = cut.pOutput->GetLines())
        for (pLines->InitTraversal(); pLines->GetNextCell(m, pIds);) {
            Segment s;
            cut.pOutput->GetPoint(pIds[0], s.first.data());
            cut.pOutput->GetPoint(pIds[1], s.second.data());
            if (s.second < s.first)
                std::swap(s.first, s.second);
            r.aSeg.push_back(s);
        }
    return r;
}

// The segments match the expected ones moved by dShift along every axis (any order, either way
// round) within tol.
void ExpectSegments(PlateCut got, std::vector<Segment> want, double dShift, double tol, const std::string& what)
{
    for (auto& [a, b] : want) {
        for (int k = 0; k < 3; ++k)
            a[k] += dShift, b[k] += dShift;
        if (b < a)
            std::swap(a, b);
    }
    std::sort(got.aSeg.begin(), got.aSeg.end());
    std::sort(want.begin(), want.end());
    ASSERT_EQ(got.aSeg.size(), want.size()) << what;
    for (size_t k = 0; k < want.size(); ++k)
        for (int c = 0; c < 3; ++c) {
            EXPECT_NEAR(got.aSeg[k].first[c], want[k].first[c], tol) << what << ", segment " << k;
            EXPECT_NEAR(got.aSeg[k].second[c], want[k].second[c], tol) << what << ", segment " << k;
        }
}

} // namespace

// A 2 x 2 plate: 8-node quadrilaterals on [0, 1] x [0, 2], linear triangles beside them; the
// lower quadrilateral's edge node (1.45, 0.5, 0) bulges into its neighbour. Cut at x = 1.225:
// y in [0.25, 0.75] in that quadrilateral, [0, 0.25] and [0.75, 0.775] in the triangle beside
// it, [0, 2] in all (a fan from the triangle's mean folds there and counts 0.276 more). Both
// normals, 1e7 away, and with every node moved by an ulp within the plate's plane.
TEST(PlateCut, AnEdgeNodeBulgingIntoAFlatNeighbourIsCutOnItsStraightEdges)
{
    const std::vector<Vec3> base{{0, 0, 0}, {1, 0, 0},   {1, 1, 0},   {0, 1, 0},   {0.5, 0, 0}, {1.45, 0.5, 0},
                                 {0.5, 1, 0}, {0, 0.5, 0}, {2, 0, 0}, {2, 1, 0},   {1, 2, 0},   {0, 2, 0},
                                 {2, 2, 0}, {1, 1.5, 0}, {0.5, 2, 0}, {0, 1.5, 0}};
    const std::vector<std::pair<int, std::vector<vtkIdType>>> cells{
        {VTK_QUADRATIC_QUAD, {0, 1, 2, 3, 4, 5, 6, 7}},      {VTK_TRIANGLE, {1, 8, 2}}, {VTK_TRIANGLE, {8, 9, 2}},
        {VTK_QUADRATIC_QUAD, {3, 2, 10, 11, 6, 13, 14, 15}}, {VTK_TRIANGLE, {2, 9, 10}}, {VTK_TRIANGLE, {9, 12, 10}}};
    const double aLength[] = {0.5, 0.275, 0.225, 0.0, 0.775, 0.225};
    std::mt19937 rng(551);
    for (double dShift : {0.0, 1e7})
        for (bool bUlps : {false, true})
            for (double dSide : {1.0, -1.0}) {
                std::vector<Vec3> points;
                for (const Vec3& x : base) {
                    Vec3 y{x[0] + dShift, x[1] + dShift, x[2]};
                    for (int k = 0; bUlps && k < 2; ++k)
                        y[k] = std::nextafter(y[k], rng() % 2 ? HUGE_VAL : -HUGE_VAL);
                    points.push_back(y);
                }
                const PlateCut cut = CutPlates(Cells(points, cells), {1.225 + dShift, 0, 0}, {dSide, 0, 0});
                const std::string what = "shift " + std::to_string(dShift) + (bUlps ? ", ulps" : "") + ", normal " +
                                         std::to_string(dSide);
                // Far away, the nodes' own rounding (and the ulps they moved) is a few 1e-9.
                const double tol = dShift > 0 ? 8 * (std::nextafter(dShift, HUGE_VAL) - dShift) : 1e-14;
                for (vtkIdType c = 0; c < 6; ++c)
                    EXPECT_NEAR(cut.Length(c), aLength[c], tol) << what << ", cell " << c;
                EXPECT_NEAR(cut.Length(), 2.0, 2 * tol) << what;
            }
}

// Warped quadrilaterals split on the diagonal from their least id, as a solid's face: the
// saddle (0,0,0) (1,0,1) (1,1,0) (0,1,1) and the bent plate (0,0,1) (1,0,0) (1,1,0.2)
// (0,1,0), cut by z = 0.5, with each corner's id least in turn, either turn, both normals, near
// the origin and 1e7 away, and with every coordinate moved by an ulp either way: the segments of
// the two triangles in closed form.
TEST(PlateCut, AWarpedQuadrilateralIsCutOnItsSplitDiagonal)
{
    struct Case {
        std::vector<Vec3> corners;
        std::vector<Segment> diagonal02, diagonal13; // split from corner 0 or 2; from 1 or 3
    };
    const std::vector<Case> cases{
        {{{0, 0, 0}, {1, 0, 1}, {1, 1, 0}, {0, 1, 1}},
         {{{0.5, 0, 0.5}, {1, 0.5, 0.5}}, {{0.5, 1, 0.5}, {0, 0.5, 0.5}}},
         {{{1, 0.5, 0.5}, {0.5, 1, 0.5}}, {{0, 0.5, 0.5}, {0.5, 0, 0.5}}}},
        {{{0, 0, 1}, {1, 0, 0}, {1, 1, 0.2}, {0, 1, 0}},
         {{{0.5, 0, 0.5}, {0.625, 0.625, 0.5}}, {{0.625, 0.625, 0.5}, {0, 0.5, 0.5}}},
         {{{0.5, 0, 0.5}, {0, 0.5, 0.5}}}}};
    std::mt19937 rng(552);
    for (size_t nCase = 0; nCase < cases.size(); ++nCase)
        for (int nLeast = 0; nLeast < 4; ++nLeast)
            for (double dShift : {0.0, 1e7})
                for (int nVariant = 0; nVariant < 8; ++nVariant) {
                    const bool bFlip = nVariant & 1, bUlps = nVariant & 2;
                    const double dSide = nVariant & 4 ? -1.0 : 1.0;
                    const Case& c = cases[nCase];
                    std::vector<Vec3> points(4);
                    std::vector<vtkIdType> ids(4);
                    for (int j = 0; j < 4; ++j) {
                        ids[static_cast<size_t>(j)] = (j - nLeast + 4) % 4;
                        const Vec3& x = c.corners[static_cast<size_t>(j)];
                        Vec3& y = points[static_cast<size_t>(ids[static_cast<size_t>(j)])];
                        y = {x[0] + dShift, x[1] + dShift, x[2] + dShift};
                        for (int k = 0; bUlps && k < 3; ++k)
                            y[static_cast<size_t>(k)] =
                                std::nextafter(y[static_cast<size_t>(k)], rng() % 2 ? HUGE_VAL : -HUGE_VAL);
                    }
                    if (bFlip)
                        std::reverse(ids.begin() + 1, ids.end());
                    const auto grid = Cells(points, {{VTK_QUAD, ids}});
                    const std::string what = "case " + std::to_string(nCase) + ", least id at " +
                                             std::to_string(nLeast) + ", shift " + std::to_string(dShift) +
                                             (bFlip ? ", flipped" : "") + (bUlps ? ", ulps" : "") + ", normal " +
                                             std::to_string(dSide);
                    const double tol = dShift > 0 ? 4 * (std::nextafter(dShift, HUGE_VAL) - dShift) : 1e-15;
                    ExpectSegments(CutPlates(grid, {0, 0, 0.5 + dShift}, {0, 0, dSide}),
                                   nLeast % 2 ? c.diagonal13 : c.diagonal02, dShift, tol, what);
                }
}

// An 8-node shell crown: corners (0,0,0) (2,0,0) (2,1,0) (0,1,0), the edge nodes of its long
// edges raised to z = 0.5, cut by z = 0.25. Warped, it is the fan from the mean of its nodes,
// (1, 0.5, 0.125): each raised node's two triangles give a segment from its edges' crossings
// (0.5 or 1.5 from the end) to the spoke's (y 1/3 from the edge), four of sqrt(13) / 6.
TEST(PlateCut, AWarpedFaceWithEdgeNodesIsCutAsTheFanFromItsMean)
{
    const auto grid = Cells({{0, 0, 0},
                             {2, 0, 0},
                             {2, 1, 0},
                             {0, 1, 0},
                             {1, 0, 0.5},
                             {2, 0.5, 0},
                             {1, 1, 0.5},
                             {0, 0.5, 0}},
                            {{VTK_QUADRATIC_QUAD, {0, 1, 2, 3, 4, 5, 6, 7}}});
    const double third = 1.0 / 3;
    for (double dSide : {1.0, -1.0}) {
        const PlateCut cut = CutPlates(grid, {0, 0, 0.25}, {0, 0, dSide});
        ExpectSegments(cut,
                       {{{0.5, 0, 0.25}, {1, third, 0.25}},
                        {{1, third, 0.25}, {1.5, 0, 0.25}},
                        {{0.5, 1, 0.25}, {1, 1 - third, 0.25}},
                        {{1, 1 - third, 0.25}, {1.5, 1, 0.25}}},
                       0.0, 1e-15, "normal " + std::to_string(dSide));
        EXPECT_NEAR(cut.Length(), 4 * std::sqrt(13.0) / 6, 1e-14);
    }
}

// Two triangles sharing the edge (0,0,0) (1,0,0), which lies in z = 0: (0,0,0) (1,0,0)
// (0.5,0,1) and (1,0,0) (0,0,0) (0.5,1,1), on one side of the edge, or (1,0,0) (0,0,0)
// (0.5,0,-1), a flat plate across it. The edge counts once, length 1, with either normal (both
// cells above it, both cut, or one of each), the cells listed in either order, sharing the
// edge's points or each with points of its own. It is the least cell's.
TEST(PlateCut, AnEdgeInThePlaneCountsOnceFromTheLeastCell)
{
    const std::vector<Vec3> a{{0, 0, 0}, {1, 0, 0}, {0.5, 0, 1}};
    for (const Vec3& apex : {Vec3{0.5, 1, 1}, Vec3{0.5, 0, -1}})
        for (bool bSwap : {false, true})
            for (bool bOwnPoints : {false, true})
                for (double dSide : {1.0, -1.0}) {
                    std::vector<Vec3> points(a);
                    std::vector<vtkIdType> ib{1, 0, 3};
                    if (bOwnPoints) {
                        points.insert(points.end(), {a[1], a[0]});
                        ib = {3, 4, 5};
                    }
                    points.push_back(apex);
                    std::vector<std::pair<int, std::vector<vtkIdType>>> cells{{VTK_TRIANGLE, {0, 1, 2}},
                                                                              {VTK_TRIANGLE, ib}};
                    if (bSwap)
                        std::swap(cells[0], cells[1]);
                    const PlateCut cut = CutPlates(Cells(points, cells), {0, 0, 0}, {0, 0, dSide});
                    const std::string what = "apex " + ::testing::PrintToString(apex) +
                                             (bSwap ? ", swapped" : ", in order") +
                                             (bOwnPoints ? ", own points" : ", shared points") + ", normal " +
                                             std::to_string(dSide);
                    ExpectSegments(cut, {{{0, 0, 0}, {1, 0, 0}}}, 0.0, 0.0, what);
                    if (apex[2] > 0) {
                        EXPECT_EQ(cut.aCell, std::vector<vtkIdType>{0}) << what;
                    }
                }
}

// A wall of two plates in the plane y = 0, x in [0, 2], one below z = 0 and one above, each
// with points of its own (results are per element), 4- or 8-node quadrilaterals, cut by z = 0
// along the row of nodes they share. The row counts once, from the plate with points below the
// plane: the lower one for the normal +z, the upper for -z, whichever is listed first and
// wherever each starts its nodes. Its forces and moments at the row, linear along it, give the
// sums, the row's length times their mean: forces (11, 13, -14) and moments (-4, 2, 2) from the
// lower plate, (31, 33, -34) and (-39, 37, 37) from the upper. The same with the row an ulp off
// the plane on the normal's side (a point on the plane counts there), and 1e7 away.
TEST(PlateCut, AWallCutAlongTheRowItsPlatesShareCountsItFromThePlateBelow)
{
    // Forces and moments at the row's ends, x = 0 and 2, of the lower and the upper plate; their
    // sums over the row.
    const double row[2][2][6] = {{{5, 6, -7, -2, 1, 0}, {6, 7, -7, -2, 1, 2}},
                                 {{15, 16, -17, -19, 18, 17}, {16, 17, -17, -20, 19, 20}}};
    const double sum[2][6] = {{11, 13, -14, -4, 2, 2}, {31, 33, -34, -39, 37, 37}};
    PlateCutRules rules;
    rules.lengthOut = [](double d) { return d; };
    rules.thickness = [](vtkIdType, double& t) {
        t = 1.0;
        return true;
    };
    rules.elementAxes = [](vtkIdType, double[3][3]) { return true; };
    rules.law = +[](double*, double dPts[2][3], double*, double dForce[2][6], double dMoment[2][6], double dSum[6],
                    double(*)[3], double(*)[3]) {
        const double L = std::hypot(dPts[1][0] - dPts[0][0], dPts[1][1] - dPts[0][1], dPts[1][2] - dPts[0][2]);
        for (int k = 0; k < 3; ++k) {
            dSum[k] += L * (dForce[0][k] + dForce[1][k]) / 2;
            dSum[3 + k] += L * (dMoment[0][k] + dMoment[1][k]) / 2;
        }
        return 0;
    };
    for (const Vec3& shift : {Vec3{0, 0, 0}, Vec3{1e7, -3e6, 250}})
        for (int nVariant = 0; nVariant < 64; ++nVariant) {
            const bool bQuadratic = nVariant & 1, bUpperFirst = nVariant & 2, bUlp = nVariant & 4;
            const double dSide = nVariant & 8 ? -1.0 : 1.0;
            const int nStart = nVariant >> 4;
            const double z0 = bUlp ? std::nextafter(shift[2], dSide * HUGE_VAL) : shift[2]; // the row
            std::vector<Vec3> points;
            std::vector<std::array<double, 12>> values; // six forces, six moments
            std::vector<std::pair<int, std::vector<vtkIdType>>> cells;
            for (int nPlate : bUpperFirst ? std::vector<int>{1, 0} : std::vector<int>{0, 1}) {
                const double zLo = nPlate ? z0 : shift[2] - 1, zHi = nPlate ? shift[2] + 1 : z0;
                // Corners in turn, then the nodes midway along the edges.
                const double xz[8][2] = {{0, zLo}, {2, zLo},
                                         {2, zHi}, {0, zHi},
                                         {1, zLo}, {2, (zLo + zHi) / 2},
                                         {1, zHi}, {0, (zLo + zHi) / 2}};
                std::vector<vtkIdType> ids;
                for (int j = 0; j < (bQuadratic ? 8 : 4); ++j) {
                    const double* p = xz[j < 4 ? (j + nStart) % 4 : 4 + (j + nStart) % 4];
                    ids.push_back(static_cast<vtkIdType>(points.size()));
                    points.push_back({shift[0] + p[0], shift[1], p[1]});
                    const double *a = row[nPlate][0], *b = row[nPlate][1];
                    std::array<double, 12> v{};
                    for (int k = 0; k < 3; ++k) {
                        v[k] = p[1] == z0 ? a[k] + (b[k] - a[k]) * p[0] / 2 : 50.0 * nPlate;
                        v[6 + k] = p[1] == z0 ? a[3 + k] + (b[3 + k] - a[3 + k]) * p[0] / 2 : -10.0;
                    }
                    values.push_back(v);
                }
                cells.push_back({bQuadratic ? VTK_QUADRATIC_QUAD : VTK_QUAD, ids});
            }
            auto grid = Cells(points, cells);
            vtkNew<vtkDoubleArray> pValues;
            pValues->SetNumberOfComponents(12);
            for (const auto& v : values)
                pValues->InsertNextTuple(v.data());
            grid->GetPointData()->SetScalars(pValues);
            PlaneCutIndex index;
            ASSERT_TRUE(index.Build(grid));
            const double n[3] = {0, 0, dSide};
            PlaneCut cut;
            CutGridByPlane(grid, index, shift.data(), n, cut);
            const int nBelow = dSide > 0 ? 0 : 1;
            const vtkIdType nCell = bUpperFirst ? 1 - nBelow : nBelow;
            const std::string what = std::string(bQuadratic ? "8-node" : "4-node") +
                                     (bUpperFirst ? ", upper plate first" : ", lower plate first") + ", nodes from " +
                                     std::to_string(nStart) + ", normal " + std::to_string(dSide) +
                                     (bUlp ? ", row an ulp off" : "") + ", shift " + ::testing::PrintToString(shift);
            EXPECT_FALSE(cut.aLineCell.empty()) << what;
            for (vtkIdType c : cut.aLineCell)
                EXPECT_EQ(c, nCell) << what;
            // A row moved off the plane is cut that far from it, where the values differ by their
            // slope across the row (at most 67 / 0.5 on the 8-node plates) times the move.
            const double tol = 1e-12 + 2 * 134 * std::fabs(z0 - shift[2]);
            const CutSums sums = IntegratePlateCut(cut, rules);
            for (int k = 0; k < 6; ++k)
                EXPECT_NEAR(sums.dSum[k], sum[nBelow][k], tol) << what << ", sum " << k;
        }
}

// A plate touching the plane at one corner gives no segment: a triangle, a quadrilateral and an
// 8-node quadrilateral with one corner on z = 0, the rest above it, both normals.
TEST(PlateCut, ACornerTouchingThePlaneGivesNoSegment)
{
    const std::vector<Vec3> points{{0, 0, 0},     {1, 0, 0.5},      {1, 1, 1},    {0, 1, 0.5},
                                   {0.5, 0, 0.25}, {1, 0.5, 0.75}, {0.5, 1, 0.75}, {0, 0.5, 0.25}};
    for (const auto& cell : std::vector<std::pair<int, std::vector<vtkIdType>>>{
             {VTK_TRIANGLE, {0, 1, 2}}, {VTK_QUAD, {0, 1, 2, 3}}, {VTK_QUADRATIC_QUAD, {0, 1, 2, 3, 4, 5, 6, 7}}})
        for (double dSide : {1.0, -1.0}) {
            const PlateCut cut = CutPlates(Cells(points, {cell}), {0, 0, 0}, {0, 0, dSide});
            EXPECT_TRUE(cut.aSeg.empty()) << "type " << cell.first << ", normal " << dSide << ": "
                                          << cut.aSeg.size() << " segments";
        }
}
