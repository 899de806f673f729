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
