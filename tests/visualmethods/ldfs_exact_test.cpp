// Force sums against an exact reference written here: a block of hexahedra under a stress
// linear in the coordinates, cut by planes of every kind (oblique, through and near node layers,
// grazing a face, cutting one corner, lying on a boundary face), at millimetre, metre and
// kilometre sizes. The reference clips the block's box with the plane and integrates the
// closed-form traction over the polygon; no slivers, no unit, no side of a face may lose force.
#include "ForceSumFixtures.h"
#include "ForceSumReference.h"

#include <gtest/gtest.h>

#include <cmath>
#include <ostream>
#include <string>
#include <tuple>

using namespace kvpvs::test;

namespace {

struct ExactPlane {
    const char* pszName;
    Vec3 origin; // in block units (scaled with the block)
    Vec3 normal;
};

struct Scale {
    const char* pszName;
    double dFactor;
};

// The block: 6 x 4 x 5 cells of 1 x 1.25 x 0.8 block units.
constexpr int kNx = 6, kNy = 4, kNz = 5;
constexpr double kDx = 1.0, kDy = 1.25, kDz = 0.8;

// Plane axes: X along the normal, Y and Z completing a right-handed frame.
void Axes(const Vec3& nIn, double axis[3][3])
{
    const double l = std::sqrt(nIn[0] * nIn[0] + nIn[1] * nIn[1] + nIn[2] * nIn[2]);
    const Vec3 n{nIn[0] / l, nIn[1] / l, nIn[2] / l};
    Vec3 e{0, 0, 1};
    if (std::fabs(n[2]) > 0.9)
        e = {1, 0, 0};
    Vec3 y{n[1] * e[2] - n[2] * e[1], n[2] * e[0] - n[0] * e[2], n[0] * e[1] - n[1] * e[0]};
    const double ly = std::sqrt(y[0] * y[0] + y[1] * y[1] + y[2] * y[2]);
    for (double& v : y)
        v /= ly;
    const Vec3 z{n[1] * y[2] - n[2] * y[1], n[2] * y[0] - n[0] * y[2], n[0] * y[1] - n[1] * y[0]};
    for (int k = 0; k < 3; ++k) {
        axis[0][k] = n[k];
        axis[1][k] = y[k];
        axis[2][k] = z[k];
    }
}

// A linear field with every component and gradient in play, gradients per block unit.
LinearStress Field(double dScale)
{
    LinearStress s;
    s.s0 = {-120, -80, -200, 15, -7, 22};
    const std::array<double, 6> g[3] = {{3, -1, 2, 0.5, 0.25, -0.75}, {-2, 4, 1, -0.5, 1.5, 0.3}, {1, 2, -6, 0.8, -1, 2}};
    for (int k = 0; k < 3; ++k)
        for (int c = 0; c < 6; ++c)
            s.d[k][c] = g[k][c] / dScale;
    return s;
}

struct Result {
    double F[3], M[3], C[3];
    bool bFound;
};

Result RunModule(const ExactPlane& p, double dScale, const LinearStress& field)
{
    ForceSumModel m;
    BuildHexBlock(m, HexBlockGrid{kNx, kNy, kNz, kDx * dScale, kDy * dScale, kDz * dScale});
    AddStressRows(m, [&](double x, double y, double z) { return field.At(x, y, z); });
    T_TEST_PLANE tp{{p.origin[0] * dScale, p.origin[1] * dScale, p.origin[2] * dScale}, {}, p.pszName};
    Axes(p.normal, tp.dAxis);
    LdfsDisplay d;
    FillRecord(d.rec, m, 0, {tp});
    d.rec.bIncludeText = 0;
    d.Build(m, 8);
    d.pVM->Process();
    Result r{};
    r.bFound = d.pVM->m_aValue[0].GetSize() == 1;
    if (r.bFound)
        for (int k = 0; k < 3; ++k) {
            r.F[k] = d.pVM->m_aValue[k][0];
            r.M[k] = d.pVM->m_aValue[3 + k][0];
            r.C[k] = d.pVM->m_aPlaneResult[0].dCentre[k];
        }
    return r;
}

// Failure messages name the case, not its bytes.
[[maybe_unused]] void PrintTo(const ExactPlane& p, std::ostream* os) { *os << p.pszName; }
[[maybe_unused]] void PrintTo(const Scale& s, std::ostream* os) { *os << s.pszName; }

class ExactForceSum : public ::testing::TestWithParam<std::tuple<ExactPlane, Scale>> {};

} // namespace

// Sums, moments and centre against the exact reference: errors within 1e-12 of the largest
// force, of the largest force times the block's diagonal, and of the diagonal.
TEST_P(ExactForceSum, MatchesTheClosedFormAtEveryScale)
{
    const auto& [p, sc] = GetParam();
    const double f = sc.dFactor;
    const LinearStress field = Field(f);
    const Vec3 lo{0, 0, 0}, hi{kNx * kDx * f, kNy * kDy * f, kNz * kDz * f};
    const Vec3 o{p.origin[0] * f, p.origin[1] * f, p.origin[2] * f};
    double axis[3][3];
    Axes(p.normal, axis);
    const Vec3 n{axis[0][0], axis[0][1], axis[0][2]};
    const PolygonMoments ref = MomentsOf(ClipBoxByPlane(lo, hi, o, n));
    ASSERT_GT(ref.dArea, 0.0);
    const Vec3 C = ref.Centre();
    Vec3 F, M;
    ForceAndMoment(ref, field, n, C, F, M);
    double Fl[3], Ml[3];
    for (int r = 0; r < 3; ++r) {
        Fl[r] = axis[r][0] * F[0] + axis[r][1] * F[1] + axis[r][2] * F[2];
        Ml[r] = axis[r][0] * M[0] + axis[r][1] * M[1] + axis[r][2] * M[2];
    }
    const double dFmax = std::max({std::fabs(F[0]), std::fabs(F[1]), std::fabs(F[2])});
    const double dDiag = std::sqrt(hi[0] * hi[0] + hi[1] * hi[1] + hi[2] * hi[2]);

    const Result r = RunModule(p, f, field);
    ASSERT_TRUE(r.bFound) << "the plane must give a result";
    for (int k = 0; k < 3; ++k) {
        EXPECT_NEAR(r.F[k], Fl[k], 1e-12 * dFmax) << "F" << "xyz"[k];
        EXPECT_NEAR(r.M[k], Ml[k], 1e-12 * dFmax * dDiag) << "M" << "xyz"[k];
        EXPECT_NEAR(r.C[k], C[k], 1e-12 * dDiag) << "centre " << "xyz"[k];
    }
}

INSTANTIATE_TEST_SUITE_P(
    Planes, ExactForceSum,
    ::testing::Combine(
        ::testing::Values(ExactPlane{"Oblique", {2.37, 2.11, 1.43}, {1, 0.3, 0.2}},
                          ExactPlane{"Steep", {3.1, 2.6, 2.0}, {0.2, -1, 0.45}},
                          ExactPlane{"ThroughNodeLayer", {3, 0, 0}, {1, 0, 0}},
                          ExactPlane{"ThroughNodeDiagonal", {0, 0, 0}, {1.25, -1, 0}},
                          ExactPlane{"NearNodeLayer", {3 + 1e-9, 0, 0}, {1, 1e-7, 0}},
                          ExactPlane{"MovedOffNodeLayer", {3.001, 0, 0}, {1, 0, 0}},
                          ExactPlane{"GrazingTopFace", {3, 2.5, kNz * kDz - 1e-4}, {1e-4, 0, 1}},
                          ExactPlane{"CuttingOneCorner", {0.3, 0, 0}, {1, 1, 1}},
                          ExactPlane{"OnBoundaryFaceMeshAbove", {0, 0, 0}, {1, 0, 0}},
                          ExactPlane{"OnBoundaryFaceMeshBelow", {kNx * kDx, 0, 0}, {1, 0, 0}},
                          ExactPlane{"OnTopFaceNormalDown", {0, 0, kNz * kDz}, {0, 0, -1}}),
        ::testing::Values(Scale{"mm", 1e-3}, Scale{"m", 1.0}, Scale{"km", 1e3})),
    [](const auto& info) {
        return std::string(std::get<0>(info.param).pszName) + "_" + std::get<1>(info.param).pszName;
    });

// The unit cube under unit isotropic stress, cut by x + y + z = 1.01: the normal force is the
// whole hexagon's area (0.88317...), the thin fan triangles near the corners included.
TEST(ForceSumSliver, UnitCubeNearItsCornerPlaneKeepsTheWholeArea)
{
    ForceSumModel m;
    BuildHexBlock(m, HexBlockGrid{1, 1, 1});
    AddStressRows(m, [](double, double, double) { return std::array<double, 6>{1, 1, 1, 0, 0, 0}; });
    T_TEST_PLANE tp{{1.01, 0, 0}, {}, "Sliver"};
    Axes({1, 1, 1}, tp.dAxis);
    LdfsDisplay d;
    FillRecord(d.rec, m, 0, {tp});
    d.rec.bIncludeText = 0;
    d.Build(m, 8);
    d.pVM->Process();
    ASSERT_EQ(d.pVM->m_aValue[0].GetSize(), 1);
    const double A = MomentsOf(ClipBoxByPlane({0, 0, 0}, {1, 1, 1}, {1.01, 0, 0}, {1, 1, 1})).dArea;
    EXPECT_NEAR(A, 0.88317, 1e-5);
    EXPECT_NEAR(d.pVM->m_aValue[0][0], A, 1e-12 * A);
}

// A 3 x 3 x 2 block of unit hexahedra sheared so that its node layers lie on x + y + z = 3k,
// under unit isotropic stress: the normal force on a layer is its area, 9 sqrt 3. The normal row
// (1, 1, 1) as given puts the boundary layers' nodes exactly on the plane: none of their faces
// is lost.
TEST(ForceSumSheared, IntegerNormalOnABoundaryLayerKeepsItWhole)
{
    ForceSumModel m;
    HexBlockGrid grid{3, 3, 2};
    grid.bSheared = true;
    BuildHexBlock(m, grid);
    AddStressRows(m, [](double, double, double) { return std::array<double, 6>{1, 1, 1, 0, 0, 0}; });
    for (double s : {1.0, -1.0})
        for (double k : {0.0, 2.0}) {
            LdfsDisplay d;
            FillRecord(d.rec, m, 0, {{{k, k, k}, {{s, s, s}, {1, -1, 0}, {1, 1, -2}}, "Layer"}});
            d.rec.bIncludeText = 0;
            d.Build(m, 8);
            d.pVM->Process();
            ASSERT_EQ(d.pVM->m_aValue[0].GetSize(), 1);
            EXPECT_NEAR(d.pVM->m_aValue[0][0], 9 * std::sqrt(3.0), 1e-13) << "layer " << k << " sense " << s;
        }
}

namespace {

struct SolidCells {
    double dArea = 0.0;
    double F = 0.0;
    int nCount = 0;
};
SolidCells g_cells;

class CellListener : public CDataUpdateConnector {
public:
    CellListener() { Connect(); }
    ~CellListener() override { Disconnect(); }
    void OnUpdateData(int, T_LCLDIR_PLNE_KVR_D&, CPointInfoMap& pts, CPlateCellInfoMap&, CSolidCellInfoMap& solid,
                      T_FORCESUM_D& sum) override
    {
        g_cells = {};
        g_cells.F = sum.FX;
        for (int k = 0; k < solid.GetCount(); ++k) {
            T_SOLID_CELL_D c;
            if (!solid.Lookup(k, c))
                continue;
            T_POINT_D p[3];
            pts.Lookup(c.nPoint1Id, p[0]);
            pts.Lookup(c.nPoint2Id, p[1]);
            pts.Lookup(c.nPoint3Id, p[2]);
            const Vec3 a{p[1].X - p[0].X, p[1].Y - p[0].Y, p[1].Z - p[0].Z};
            const Vec3 b{p[2].X - p[0].X, p[2].Y - p[0].Y, p[2].Z - p[0].Z};
            const Vec3 w{a[1] * b[2] - a[2] * b[1], a[2] * b[0] - a[0] * b[2], a[0] * b[1] - a[1] * b[0]};
            g_cells.dArea += std::sqrt(w[0] * w[0] + w[1] * w[1] + w[2] * w[2]) / 2;
            ++g_cells.nCount;
        }
    }
};

} // namespace

// The design twin broadcasts exactly the triangles that are summed: on the sliver cut their
// areas add up to the cut's, and the force sum is that area under unit stress.
TEST(ForceSumSliver, DesignBroadcastCellsAreTheSummedTriangles)
{
    ForceSumModel m;
    BuildHexBlock(m, HexBlockGrid{1, 1, 1});
    AddStressRows(m, [](double, double, double) { return std::array<double, 6>{1, 1, 1, 0, 0, 0}; });
    T_TEST_PLANE tp{{1.01, 0, 0}, {}, "Sliver"};
    Axes({1, 1, 1}, tp.dAxis);
    CellListener listener;
    g_cells = {};
    LdfsdDisplay d;
    FillRecord(d.rec, m, 0, {tp});
    d.rec.bIncludeText = 0;
    d.Build(m, 12);
    d.pVM->Process();
    const double A = MomentsOf(ClipBoxByPlane({0, 0, 0}, {1, 1, 1}, {1.01, 0, 0}, {1, 1, 1})).dArea;
    ASSERT_GT(g_cells.nCount, 0);
    EXPECT_NEAR(g_cells.dArea, A, 1e-12 * A);
    EXPECT_NEAR(g_cells.F, A, 1e-12 * A);
}

namespace {

struct ShallowCut {
    const char* pszName;
    double dDeg; // angle of the cut normal from the strip's length, in the strip's plane
};
[[maybe_unused]] void PrintTo(const ShallowCut& c, std::ostream* os) { *os << c.pszName; }
class PlateShallowCut : public ::testing::TestWithParam<ShallowCut> {};

} // namespace

// A strip 40 long and 1 high in the plane y = 0 under a membrane force N along its length,
// cut by a plane whose line crosses the strip at a shallow angle through many elements: the
// force is N times the height whatever the angle, and there is no moment about the centre.
TEST_P(PlateShallowCut, ForceIsNTimesHeight)
{
    const double phi = GetParam().dDeg * M_PI / 180.0;
    ForceSumModel m;
    BuildPlateStrip(m, 40, 1, 1.0, 1.0, 0.0, 0.0, 0.0, 0.3);
    const double N = 75.0;
    AddPlateRows(m, [&](double, double, double) { return std::array<double, 12>{N, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0}; });
    const Vec3 n{std::cos(phi), 0, std::sin(phi)};
    T_TEST_PLANE tp{{20.0, 0.0, 0.5}, {}, "Shallow"};
    for (int k = 0; k < 3; ++k)
        tp.dAxis[0][k] = n[k];
    tp.dAxis[1][1] = 1.0;
    // Z = X x Y with Y = +Y: (-n_z, 0, n_x).
    tp.dAxis[2][0] = -n[2];
    tp.dAxis[2][2] = n[0];
    LdfsDisplay d;
    FillRecord(d.rec, m, 1, {tp});
    d.rec.bIncludeText = 0;
    d.Build(m, 8);
    d.pVM->Process();
    ASSERT_EQ(d.pVM->m_aValue[0].GetSize(), 1);
    // Global force (N H, 0, 0) in plane axes.
    const double F = N * 1.0;
    for (int r = 0; r < 3; ++r)
        EXPECT_NEAR(d.pVM->m_aValue[r][0], tp.dAxis[r][0] * F, 1e-12 * F) << "F" << "xyz"[r];
    for (int r = 3; r < 6; ++r)
        EXPECT_NEAR(d.pVM->m_aValue[r][0], 0.0, 1e-12 * F * 40.0) << "M" << "xyz"[r - 3];
}

INSTANTIATE_TEST_SUITE_P(Angles, PlateShallowCut,
                         ::testing::Values(ShallowCut{"Across", 0.0}, ShallowCut{"Degrees80", 80.0},
                                           ShallowCut{"Degrees88", 88.0}, ShallowCut{"Degrees88_5", 88.5}),
                         [](const auto& info) { return std::string(info.param.pszName); });

// Plate forces jump from element to element: two plates stacked in a strip, N = 10 below and
// N = 30 above, cut across both. Each segment takes its own element's values at the point the
// two share, so the force is 10 + 30 (not 30, with one element's value on the other's end).
TEST(ForceSumPlate, EachSegmentKeepsItsOwnElementsValuesAtSharedPoints)
{
    ForceSumModel m;
    BuildPlateStrip(m, 1, 2, 1.0, 1.0, 0.0, 0.0, 0.0, 0.2);
    AddPlateRows(m, [](double, double, double) { return std::array<double, 12>{10, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0}; });
    SetElementValues(m, 0, m.aElemK[1], {30, 30, 30, 30, 30});
    for (unsigned int nFirst : {0u, 1u}) {
        LdfsDisplay d;
        FillRecord(d.rec, m, 1, {{{0.5, 0, 1.0}, {{1, 0, 0}, {0, 1, 0}, {0, 0, 1}}, "Across"}});
        d.rec.bIncludeText = 0;
        if (nFirst == 1) {
            // The same cut with the upper element first in the model's order.
            CClassElem ce(m.doc.GetModelDB());
            T_ELEM_D e0, e1;
            ce.Get(m.aElemK[0], e0);
            ce.Get(m.aElemK[1], e1);
            ce.Set(m.aElemK[0], e1);
            ce.Set(m.aElemK[1], e0);
            SetElementValues(m, 0, m.aElemK[0], {30, 30, 30, 30, 30});
            SetElementValues(m, 0, m.aElemK[1], {10, 10, 10, 10, 10});
        }
        d.Build(m, 8);
        d.pVM->Process();
        ASSERT_EQ(d.pVM->m_aValue[0].GetSize(), 1);
        EXPECT_NEAR(d.pVM->m_aValue[0][0], 40.0, 1e-12 * 40.0) << "element order " << nFirst;
    }
}
