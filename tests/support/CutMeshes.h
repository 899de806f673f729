// Meshes and totals the plane-cut tests share: blocks of boxes filled with hexahedra,
// tetrahedra, wedges or pyramids, linear or quadratic, their nodes placed at will; random valid
// meshes of a 3 x 3 x 3 box; the split every cell's cut uses, checked for positive pieces; and
// the area, force, moment and flow of a cut against those of the exact section.
#pragma once
#include "ForceSumReference.h"
#include "planecut/cut_integration.h"
#include "planecut/plane_cut.h"

#include <gtest/gtest.h>
#include <vtkCell.h>
#include <vtkCellType.h>
#include <vtkDoubleArray.h>
#include <vtkNew.h>
#include <vtkPointData.h>
#include <vtkPoints.h>
#include <vtkPolyData.h>
#include <vtkSmartPointer.h>
#include <vtkUnstructuredGrid.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <functional>
#include <initializer_list>
#include <limits>
#include <map>
#include <ostream>
#include <random>
#include <string>
#include <utility>
#include <vector>

namespace kvpvs::test {

enum class Fill { Hexahedra, Tetrahedra, Wedges, WedgesOtherDiagonal, Pyramids };

// The corners of the edge nodes in the order quadratic cells list them.
inline const std::vector<std::array<int, 2>>& QuadraticEdges(int nType)
{
    static const std::vector<std::array<int, 2>> hex{{0, 1}, {1, 2}, {2, 3}, {3, 0}, {4, 5}, {5, 6},
                                                     {6, 7}, {7, 4}, {0, 4}, {1, 5}, {2, 6}, {3, 7}};
    static const std::vector<std::array<int, 2>> wedge{{0, 1}, {1, 2}, {2, 0}, {3, 4}, {4, 5},
                                                       {5, 3}, {0, 3}, {1, 4}, {2, 5}};
    static const std::vector<std::array<int, 2>> pyramid{{0, 1}, {1, 2}, {2, 3}, {3, 0},
                                                         {0, 4}, {1, 4}, {2, 4}, {3, 4}};
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

inline vtkSmartPointer<vtkUnstructuredGrid> Block(const BlockSpec& spec)
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
                const vtkIdType c[8] = {
                    id(i, j, k),     id(i + 1, j, k),     id(i + 1, j + 1, k),     id(i, j + 1, k),
                    id(i, j, k + 1), id(i + 1, j, k + 1), id(i + 1, j + 1, k + 1), id(i, j + 1, k + 1)};
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
                    const int faces[6][4] = {{4, 5, 1, 0}, {1, 2, 3, 0}, {3, 7, 4, 0},
                                             {5, 6, 2, 1}, {6, 7, 3, 2}, {7, 6, 5, 4}};
                    for (const auto& q : faces)
                        add(VTK_PYRAMID, {c[q[0]], c[q[1]], c[q[2]], c[q[3]], apex});
                } else {
                    // Six tetrahedra around the diagonal 0-6: they fill the box.
                    const int t[6][4] = {{0, 1, 2, 6}, {0, 2, 3, 6}, {0, 3, 7, 6},
                                         {0, 7, 4, 6}, {0, 4, 5, 6}, {0, 5, 1, 6}};
                    for (const auto& q : t)
                        add(VTK_TETRA, {c[q[0]], c[q[1]], c[q[2]], c[q[3]]});
                }
            }
    return grid;
}

// Layers from nUpperFrom up filled as upper.
inline vtkSmartPointer<vtkUnstructuredGrid> Block(int nx, int ny, int nz, double h, Fill fill, Fill upper,
                                                  int nUpperFrom)
{
    BlockSpec spec;
    spec.nx = nx, spec.ny = ny, spec.nz = nz, spec.h = h;
    spec.fill = [=](int, int, int k) { return k >= nUpperFrom ? upper : fill; };
    return Block(spec);
}

inline vtkSmartPointer<vtkUnstructuredGrid> Block(int nx, int ny, int nz, double h, Fill fill)
{
    return Block(nx, ny, nz, h, fill, fill, nz);
}

inline std::string FillName(Fill f)
{
    return f == Fill::Hexahedra    ? "Hexahedra"
           : f == Fill::Tetrahedra ? "Tetrahedra"
           : f == Fill::Wedges     ? "Wedges"
           : f == Fill::Pyramids   ? "Pyramids"
                                   : "WedgesOtherDiagonal";
}
inline void PrintTo(Fill f, std::ostream* os) { *os << FillName(f); }

// A stress field linear in the coordinates from a grid's corner.
inline LinearStress Field()
{
    LinearStress s;
    s.s0 = {-10, -20, -30, 2, 3, 4};
    s.d[0] = {1, 0.5, -2, 0.3, 0, 1};
    s.d[1] = {-1, 2, 0.5, 0, 0.7, -0.2};
    s.d[2] = {0.4, -0.6, 3, 1, -1, 0.5};
    return s;
}

// A velocity linear in the coordinates from a grid's corner.
inline Vec3 Velocity(const Vec3& x)
{
    return {0.5 + 0.1 * x[0], -0.25 + 0.2 * x[1] - 0.05 * x[2], 2 + 0.3 * x[2] - 0.1 * x[0]};
}

// The field's stresses at the grid's points as their six point scalars, the velocity as the
// point vectors "v".
inline void SetFields(vtkUnstructuredGrid* grid, const Vec3& corner)
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

// The totals of a cut whose plane has the normal n; of the grid's cut by the plane (o, n).
inline CutTotals TotalsOf(const planecut::PlaneCut& cut, const Vec3& n)
{
    planecut::SolidCutRules rules;
    rules.lengthOut = [](double d) { return d; };
    rules.law = +[](double dRef[3], double dPts[3][3], double* dN, double dStress[3][6], double dSum[6], double(*)[3]) {
        const double A = planecut::TwiceTriangleArea(dPts[0], dPts[1], dPts[2]) / 2.0;
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
    const planecut::CutSums sums = planecut::IntegrateSolidCut(cut, rules);
    CutTotals t;
    t.dArea = planecut::AreaOfCut(cut.pOutput).dArea;
    for (int k = 0; k < 3; ++k) {
        t.centre[k] = sums.dCentre[k];
        t.F[k] = sums.dSum[k];
        t.M[k] = sums.dSum[3 + k];
    }
    std::vector<double> flow;
    if (planecut::IntegratePointArray(cut.pOutput, cut.pOutput->GetPointData()->GetArray("v"), flow))
        t.dFlow = flow[0] * n[0] + flow[1] * n[1] + flow[2] * n[2];
    return t;
}

inline CutTotals TotalsOf(vtkUnstructuredGrid* grid, const planecut::PlaneCutIndex& index, const Vec3& o, const Vec3& n)
{
    planecut::PlaneCut cut;
    planecut::CutGridByPlane(grid, index, o.data(), n.data(), cut);
    return TotalsOf(cut, n);
}

// The totals against those of the exact section (its moments from the grid's corner, the
// field's force and moment about its centre, the flow of the velocity) within tol relative to
// the area, the section's size and the fields' sizes (stress 40, velocity 3). The centre, in
// the grid's coordinates, and the moment about it, within a few roundings of those more.
inline void ExpectTotals(const CutTotals& got, const PolygonMoments& exact, const Vec3& corner, const Vec3& n,
                         double tol, const std::string& what)
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

// The tolerance of totals relative to their sizes: near at the origin; 64 eps shift / 0.5 for a
// model shifted far (the rounding of coordinates there over the smallest cell height, 0.5).
inline double ShiftedTolerance(double dShift, double dNear)
{
    return dShift == 0.0 ? dNear : 64 * std::numeric_limits<double>::epsilon() * dShift / 0.5;
}

// A grid of the given points and cells.
inline vtkSmartPointer<vtkUnstructuredGrid> Cells(const std::vector<Vec3>& points,
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
inline std::pair<int, std::vector<vtkIdType>>
Prism(std::vector<Vec3>& points, const std::vector<std::array<double, 2>>& base, double z0, double z1)
{
    std::vector<vtkIdType> ids;
    for (double z : {z0, z1})
        for (const auto& b : base) {
            ids.push_back(static_cast<vtkIdType>(points.size()));
            points.push_back({b[0], b[1], z});
        }
    return {base.size() == 4 ? VTK_HEXAHEDRON : VTK_WEDGE, ids};
}

// The split every cell's cut uses, as tetrahedra per cell: its faces as triangles (a
// quadrilateral on the diagonal from its least id, a face with edge nodes, its own or a
// quadratic neighbour's, as a fan from their mean), each with the mean of the cell's nodes.
inline std::vector<std::vector<std::array<Vec3, 4>>> SplitTetrahedra(vtkUnstructuredGrid* g)
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
    std::vector<std::vector<std::array<Vec3, 4>>> aCell(static_cast<size_t>(g->GetNumberOfCells()));
    for (vtkIdType c = 0; c < g->GetNumberOfCells(); ++c) {
        vtkCell* pCell = g->GetCell(c);
        Vec3 centre{0, 0, 0};
        for (vtkIdType j = 0; j < pCell->GetNumberOfPoints(); ++j)
            for (int k = 0; k < 3; ++k)
                centre[k] += at(pCell->GetPointId(j))[k] / static_cast<double>(pCell->GetNumberOfPoints());
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
            auto& tets = aCell[static_cast<size_t>(c)];
            const size_t m = loop.size();
            if (m == 3) {
                tets.push_back({at(loop[0]), at(loop[1]), at(loop[2]), centre});
            } else if (m == 4 && n == 4) {
                const size_t r = static_cast<size_t>(std::min_element(loop.begin(), loop.end()) - loop.begin());
                tets.push_back({at(loop[r]), at(loop[(r + 1) % 4]), at(loop[(r + 2) % 4]), centre});
                tets.push_back({at(loop[r]), at(loop[(r + 2) % 4]), at(loop[(r + 3) % 4]), centre});
            } else {
                Vec3 mean{0, 0, 0};
                for (vtkIdType p : loop)
                    for (int k = 0; k < 3; ++k)
                        mean[k] += at(p)[k] / static_cast<double>(m);
                for (size_t j = 0; j < m; ++j)
                    tets.push_back({mean, at(loop[j]), at(loop[(j + 1) % m]), centre});
            }
        }
    }
    return aCell;
}

// Whether every piece of the cut's split has a volume of one sign in each cell.
inline bool SplitIsValid(vtkUnstructuredGrid* g)
{
    auto sub = [](const Vec3& a, const Vec3& b) { return Vec3{a[0] - b[0], a[1] - b[1], a[2] - b[2]}; };
    for (const auto& tets : SplitTetrahedra(g)) {
        int nSign = 0;
        for (const auto& t : tets) {
            const Vec3 a = sub(t[1], t[0]), b = sub(t[2], t[0]), d = sub(t[3], t[0]);
            const double v = (a[1] * b[2] - a[2] * b[1]) * d[0] + (a[2] * b[0] - a[0] * b[2]) * d[1] +
                             (a[0] * b[1] - a[1] * b[0]) * d[2];
            if (v == 0.0 || (nSign != 0 && (v > 0) != (nSign > 0)))
                return false;
            nSign = v > 0 ? 1 : -1;
        }
    }
    return true;
}

// A random mesh of 3 x 3 x 3 unit boxes from (dShift, dShift, dShift), family 0: the four
// linear kinds mixed; 1-3: hexahedra and pyramids, wedges, tetrahedra, each box linear or
// quadratic (edge nodes midway, or moved with the inner nodes when bMoveEdgeNodes); 4: one kind,
// quadratic, edge nodes moved. Inner nodes are moved in x, y and z by up to dScale (0: one ulp),
// half of layer k0's keeping their z when bKeepLayer; with bMoveFaces, a quarter of the nodes
// of the model's base and top are moved down or up, out of the model, the rest left in place.
struct TiledBox {
    int nFamily = 0;
    double dShift = 0.0;
    double dScale = 0.0;
    int k0 = 1;
    bool bKeepLayer = false;
    bool bMoveEdgeNodes = false;
    bool bMoveFaces = false;
    bool bLinear = false; // families 1-3 linear only
};

// Drawn again until its split is valid (nRedrawn counts the draws left); null after 50 draws.
inline vtkSmartPointer<vtkUnstructuredGrid> RandomTiledBox(std::mt19937& rng, const TiledBox& t, int& nRedrawn)
{
    auto uni = [&](double a, double b) { return std::uniform_real_distribution<double>(a, b)(rng); };
    BlockSpec spec;
    spec.nx = spec.ny = spec.nz = 3;
    spec.corner = {t.dShift, t.dShift, t.dShift};
    const Fill aKind[] = {Fill::Hexahedra, Fill::Wedges, Fill::Tetrahedra, Fill::Pyramids};
    const Fill family = t.nFamily == 2 ? Fill::Wedges : t.nFamily == 3 ? Fill::Tetrahedra : Fill::Hexahedra;
    spec.bMoveEdgeNodes = t.nFamily == 4 || t.bMoveEdgeNodes;
    for (int nTry = 0; nTry < 50; ++nTry) {
        std::vector<std::pair<Fill, bool>> aBox;
        const Fill quadraticKind = aKind[rng() % 4];
        for (int b = 0; b < 27; ++b) {
            const Fill kind = family == Fill::Hexahedra && rng() % 2 ? Fill::Pyramids : family;
            aBox.push_back(t.nFamily == 0   ? std::pair{aKind[rng() % 4], false}
                           : t.nFamily == 4 ? std::pair{quadraticKind, true}
                                            : std::pair{kind, rng() % 2 == 0 && !t.bLinear});
        }
        auto box = [&](int i, int j, int k) { return aBox[static_cast<size_t>((k * 3 + j) * 3 + i)]; };
        spec.fill = [=](int i, int j, int k) { return box(i, j, k).first; };
        spec.quadratic = [=](int i, int j, int k) { return box(i, j, k).second; };
        spec.move = [&](const Vec3& x) {
            const bool bKeepZ = t.bKeepLayer && x[2] == t.k0 && rng() % 2;
            Vec3 y{x[0] + t.dShift, x[1] + t.dShift, x[2] + t.dShift};
            if (t.bMoveFaces && (x[2] == 0 || x[2] == 3) && rng() % 4 == 0) {
                const double dOut = x[2] == 0 ? -HUGE_VAL : HUGE_VAL;
                y[2] = t.dScale == 0.0 ? std::nextafter(y[2], dOut) : y[2] + std::copysign(t.dScale * uni(0, 1), dOut);
            }
            if (!spec.Inside(x))
                return y;
            for (int k = 0; k < 3; ++k) {
                if (k == 2 && bKeepZ)
                    continue;
                y[k] = t.dScale == 0.0 ? std::nextafter(y[k], (rng() % 2 ? 1 : -1) * HUGE_VAL)
                                       : y[k] + t.dScale * uni(-1, 1);
            }
            return y;
        };
        auto grid = Block(spec);
        if (SplitIsValid(grid))
            return grid;
        ++nRedrawn;
    }
    return nullptr;
}

// Planes through a tiled box's layer k0, in the model's coordinates, each with both normals
// (origin, normal): nPlane 0, on the layer, from its middle and from 4e8 away; 1, tilted off it
// by 1e-12 to 1e-3; 2, through an inner node of it in a random direction; 3, through that node
// and its neighbour along x.
inline std::vector<std::pair<Vec3, Vec3>> TiledBoxPlanes(std::mt19937& rng, vtkUnstructuredGrid* grid,
                                                         const TiledBox& t, int nPlane)
{
    auto uni = [&](double a, double b) { return std::uniform_real_distribution<double>(a, b)(rng); };
    std::vector<std::pair<Vec3, Vec3>> aPlane;
    const double sh = t.dShift;
    if (nPlane == 0) {
        aPlane.push_back({{1.5 + sh, 1.5 + sh, t.k0 + sh}, {0, 0, 1}});
        aPlane.push_back({{-3e8, 5e8, t.k0 + sh}, {0, 0, 1}});
    } else if (nPlane == 1) {
        const double a = std::pow(10.0, uni(-12, -3)), phi = uni(0, 6.283185307179586);
        aPlane.push_back(
            {{1.5 + sh, 1.5 + sh, t.k0 + sh}, {std::sin(a) * std::cos(phi), std::sin(a) * std::sin(phi), std::cos(a)}});
    } else {
        const vtkIdType a = static_cast<vtkIdType>((t.k0 * 4 + 1 + rng() % 2) * 4 + 1 + rng() % 2);
        Vec3 xa, xb, r{uni(-1, 1), uni(-1, 1), uni(-1, 1)};
        grid->GetPoint(a, xa.data());
        grid->GetPoint(a + 1, xb.data());
        if (nPlane == 3) {
            const Vec3 e{xb[0] - xa[0], xb[1] - xa[1], xb[2] - xa[2]};
            r = {e[1] * r[2] - e[2] * r[1], e[2] * r[0] - e[0] * r[2], e[0] * r[1] - e[1] * r[0]};
        }
        const double l = std::sqrt(r[0] * r[0] + r[1] * r[1] + r[2] * r[2]);
        aPlane.push_back({xa, {r[0] / l, r[1] / l, r[2] / l}});
    }
    std::vector<std::pair<Vec3, Vec3>> aBoth;
    for (const auto& [o, v] : aPlane) {
        aBoth.push_back({o, v});
        aBoth.push_back({o, {-v[0], -v[1], -v[2]}});
    }
    return aBoth;
}

} // namespace kvpvs::test
