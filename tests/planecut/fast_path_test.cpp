// The fast path of convex cells against the loops every cell can take: on random cells of every
// linear kind, affine images of their reference cells (flat faces) and cells with corners moved
// (warped faces), cut by random planes and by planes through their corners, both give the same
// points and the same polygons, so the fast path is only a shortcut.
#include "planecut/cut_integration.h"
#include "planecut/plane_cut.h"

#include <gtest/gtest.h>
#include <vtkCellArray.h>
#include <vtkCellType.h>
#include <vtkNew.h>
#include <vtkPoints.h>
#include <vtkPolyData.h>
#include <vtkSmartPointer.h>
#include <vtkUnstructuredGrid.h>

#include <algorithm>
#include <array>
#include <random>
#include <vector>

using namespace kvpvs::planecut;

namespace {

using Vec3 = std::array<double, 3>;
using Polygon = std::vector<Vec3>;

struct Kind {
    int nType;
    std::vector<Vec3> aRef; // corners of the reference cell
};

const std::vector<Kind>& Kinds()
{
    static const std::vector<Kind> k{
        {VTK_HEXAHEDRON, {{0, 0, 0}, {1, 0, 0}, {1, 1, 0}, {0, 1, 0}, {0, 0, 1}, {1, 0, 1}, {1, 1, 1}, {0, 1, 1}}},
        {VTK_WEDGE, {{0, 0, 0}, {1, 0, 0}, {0, 1, 0}, {0, 0, 1}, {1, 0, 1}, {0, 1, 1}}},
        {VTK_PYRAMID, {{0, 0, 0}, {1, 0, 0}, {1, 1, 0}, {0, 1, 0}, {0.5, 0.5, 1}}},
        {VTK_TETRA, {{0, 0, 0}, {1, 0, 0}, {0, 1, 0}, {0, 0, 1}}}};
    return k;
}

// The cut's polygons as cycles of coordinates, each turned to start at its least point, sorted.
std::vector<Polygon> Polygons(vtkPolyData* pOut)
{
    std::vector<Polygon> a;
    vtkIdType n = 0;
    const vtkIdType* pIds = nullptr;
    vtkCellArray* pPolys = pOut->GetPolys();
    for (pPolys->InitTraversal(); pPolys->GetNextCell(n, pIds);) {
        Polygon p;
        for (vtkIdType j = 0; j < n; ++j) {
            Vec3 x;
            pOut->GetPoint(pIds[j], x.data());
            p.push_back(x);
        }
        std::rotate(p.begin(), std::min_element(p.begin(), p.end()), p.end());
        a.push_back(p);
    }
    std::sort(a.begin(), a.end());
    return a;
}

std::vector<Vec3> Points(vtkPolyData* pOut)
{
    std::vector<Vec3> a(static_cast<size_t>(pOut->GetNumberOfPoints()));
    for (size_t i = 0; i < a.size(); ++i)
        pOut->GetPoint(static_cast<vtkIdType>(i), a[i].data());
    std::sort(a.begin(), a.end());
    return a;
}

} // namespace

TEST(PlaneCutFastPath, GivesTheLoopsPointsAndPolygons)
{
    std::mt19937_64 rng(20261208);
    std::uniform_real_distribution<double> u(-1.0, 1.0);
    int nCases = 0, nCut = 0;
    for (const Kind& kind : Kinds())
        for (int nDraw = 0; nDraw < 300; ++nDraw) {
            // x = A ref + b, A near a rotation and scale; every other cell's corners moved too.
            double A[3][3];
            for (auto& row : A)
                for (double& a : row)
                    a = 0.4 * u(rng);
            for (int k = 0; k < 3; ++k)
                A[k][k] += 1.0 + 0.5 * u(rng);
            const bool bWarp = nDraw % 2 == 1;
            auto grid = vtkSmartPointer<vtkUnstructuredGrid>::New();
            vtkNew<vtkPoints> pts;
            pts->SetDataTypeToDouble();
            std::vector<Vec3> aX;
            for (const Vec3& r : kind.aRef) {
                Vec3 x{};
                for (int k = 0; k < 3; ++k)
                    x[k] = A[k][0] * r[0] + A[k][1] * r[1] + A[k][2] * r[2] + 100.0 + (bWarp ? 0.08 * u(rng) : 0.0);
                aX.push_back(x);
                pts->InsertNextPoint(x.data());
            }
            grid->SetPoints(pts);
            std::vector<vtkIdType> ids(kind.aRef.size());
            for (size_t j = 0; j < ids.size(); ++j)
                ids[j] = static_cast<vtkIdType>(j);
            grid->InsertNextCell(kind.nType, static_cast<vtkIdType>(ids.size()), ids.data());
            PlaneCutIndex index;
            ASSERT_TRUE(index.Build(grid));
            // A random plane through the cell, and one through a corner.
            Vec3 n{u(rng), u(rng), u(rng)}, o = aX[static_cast<size_t>(nDraw) % aX.size()];
            if (nDraw % 3 != 0)
                for (int k = 0; k < 3; ++k)
                    o[k] = 100.0 + 0.5 + 0.3 * u(rng);
            PlaneCut fast, loops;
            CutGridByPlane(grid, index, o.data(), n.data(), fast, true);
            CutGridByPlane(grid, index, o.data(), n.data(), loops, false);
            ++nCases;
            nCut += fast.pOutput->GetNumberOfPolys() > 0 ? 1 : 0;
            EXPECT_EQ(Points(fast.pOutput), Points(loops.pOutput)) << kind.nType << " draw " << nDraw;
            EXPECT_EQ(Polygons(fast.pOutput), Polygons(loops.pOutput)) << kind.nType << " draw " << nDraw;
            const double a = AreaOfCut(fast.pOutput).dArea, b = AreaOfCut(loops.pOutput).dArea;
            EXPECT_NEAR(a, b, 1e-13 * std::max(1.0, b)) << kind.nType << " draw " << nDraw;
        }
    EXPECT_GT(nCut, nCases / 2);
}

// A loop starts where its least point lies, not where the cell's node list does: a warped
// hexahedron cut through the loops gives the same polygon, point for point from the same first
// point, and so the same area to the last bit, under the turns of its node list.
TEST(PlaneCutLoops, StartAtTheirLeastPointWhereverTheNodeListStarts)
{
    std::mt19937_64 rng(8);
    std::uniform_real_distribution<double> u(-1.0, 1.0);
    const std::vector<Vec3>& ref = Kinds()[0].aRef;
    // Generators of the hexahedron's turns: new corner j is old corner turn[j].
    const int kTurn[2][8] = {{1, 2, 3, 0, 5, 6, 7, 4}, {4, 5, 1, 0, 7, 6, 2, 3}};
    for (int nDraw = 0; nDraw < 40; ++nDraw) {
        auto pts = vtkSmartPointer<vtkPoints>::New();
        pts->SetDataTypeToDouble();
        for (const Vec3& r : ref)
            pts->InsertNextPoint(r[0] + 0.15 * u(rng), r[1] + 0.15 * u(rng), r[2] + 0.15 * u(rng));
        const Vec3 o{0.5 + 0.2 * u(rng), 0.5 + 0.2 * u(rng), 0.5 + 0.2 * u(rng)}, n{u(rng), u(rng), u(rng)};
        std::vector<vtkIdType> ids{0, 1, 2, 3, 4, 5, 6, 7};
        std::vector<Polygon> first;
        double dFirst = 0.0;
        for (int nTurn = 0; nTurn < 12; ++nTurn) {
            // Walk the group: three quarter turns about one axis, then a turn about another.
            const int* t = kTurn[nTurn % 4 == 3 ? 1 : 0];
            std::vector<vtkIdType> turned(8);
            for (size_t j = 0; j < 8; ++j)
                turned[j] = ids[static_cast<size_t>(t[j])];
            ids = turned;
            auto grid = vtkSmartPointer<vtkUnstructuredGrid>::New();
            grid->SetPoints(pts);
            grid->InsertNextCell(VTK_HEXAHEDRON, 8, ids.data());
            PlaneCutIndex index;
            index.Build(grid);
            PlaneCut cut;
            CutGridByPlane(grid, index, o.data(), n.data(), cut, false);
            std::vector<Polygon> polys;
            vtkIdType m = 0;
            const vtkIdType* p = nullptr;
            for (cut.pOutput->GetPolys()->InitTraversal(); cut.pOutput->GetPolys()->GetNextCell(m, p);) {
                polys.emplace_back();
                for (vtkIdType j = 0; j < m; ++j)
                    polys.back().push_back({cut.pOutput->GetPoint(p[j])[0], cut.pOutput->GetPoint(p[j])[1],
                                            cut.pOutput->GetPoint(p[j])[2]});
            }
            std::sort(polys.begin(), polys.end());
            const double dArea = AreaOfCut(cut.pOutput).dArea;
            if (nTurn == 0) {
                first = polys;
                dFirst = dArea;
            }
            EXPECT_EQ(polys, first) << "draw " << nDraw << ", turn " << nTurn;
            EXPECT_EQ(dArea, dFirst) << "draw " << nDraw << ", turn " << nTurn;
        }
    }
}
