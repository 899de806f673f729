// Force-sum visual data: the integration routines against closed forms, and the element
// values and grids that the visual data builds from result rows.
#include "ForceSumFixtures.h"

#include <gtest/gtest.h>
#include <vtkDoubleArray.h>
#include <vtkPointData.h>
#include <vtkUnstructuredGrid.h>
#include <vtkSmartPointer.h>

#include <cmath>
#include <ostream>
#include <string>

using namespace kvpvs::test;

namespace {

// Plane axes: X along the cutting normal, the others turned about it by an angle.
void PlaneAxes(const double n[3], double deg, double axis[3][3])
{
    double x[3] = {n[0], n[1], n[2]};
    const double l = std::sqrt(x[0] * x[0] + x[1] * x[1] + x[2] * x[2]);
    for (double& v : x)
        v /= l;
    double a[3] = {0, 0, 1};
    if (std::fabs(x[2]) > 0.9)
        a[0] = 1, a[2] = 0;
    double y0[3] = {x[1] * a[2] - x[2] * a[1], x[2] * a[0] - x[0] * a[2], x[0] * a[1] - x[1] * a[0]};
    const double ly = std::sqrt(y0[0] * y0[0] + y0[1] * y0[1] + y0[2] * y0[2]);
    for (double& v : y0)
        v /= ly;
    double z0[3] = {x[1] * y0[2] - x[2] * y0[1], x[2] * y0[0] - x[0] * y0[2], x[0] * y0[1] - x[1] * y0[0]};
    const double c = std::cos(deg * M_PI / 180.0), s = std::sin(deg * M_PI / 180.0);
    for (int k = 0; k < 3; ++k) {
        axis[0][k] = x[k];
        axis[1][k] = c * y0[k] + s * z0[k];
        axis[2][k] = -s * y0[k] + c * z0[k];
    }
}

struct TriangleCase {
    const char* name;
    double sigma[6]; // xx, yy, zz, xy, yz, zx
    double normal[3];
    double deg;
};

void PrintTo(const TriangleCase& c, std::ostream* os)
{
    *os << "stress (" << c.sigma[0] << ' ' << c.sigma[1] << ' ' << c.sigma[2] << ' ' << c.sigma[3] << ' ' << c.sigma[4]
        << ' ' << c.sigma[5] << "), normal (" << c.normal[0] << ' ' << c.normal[1] << ' ' << c.normal[2]
        << "), axes turned " << c.deg << " degrees";
}

class ConstantStressTriangle : public ::testing::TestWithParam<TriangleCase> {};

} // namespace

// A triangle of area A under a constant stress S: force = A S n in plane axes; about the
// triangle's centroid the moment vanishes.
TEST_P(ConstantStressTriangle, ForceIsAreaTimesTraction)
{
    const TriangleCase& tc = GetParam();
    double axis[3][3];
    PlaneAxes(tc.normal, tc.deg, axis);
    // A triangle in the plane through the origin: two in-plane vectors from the axes.
    double pts[3][3];
    for (int k = 0; k < 3; ++k) {
        pts[0][k] = 0.3 * axis[1][k] - 0.2 * axis[2][k];
        pts[1][k] = 2.1 * axis[1][k] + 0.4 * axis[2][k];
        pts[2][k] = 0.5 * axis[1][k] + 1.7 * axis[2][k];
    }
    double centroid[3];
    for (int k = 0; k < 3; ++k)
        centroid[k] = (pts[0][k] + pts[1][k] + pts[2][k]) / 3.0;
    double e1[3], e2[3];
    for (int k = 0; k < 3; ++k) {
        e1[k] = pts[1][k] - pts[0][k];
        e2[k] = pts[2][k] - pts[0][k];
    }
    const double cr[3] = {e1[1] * e2[2] - e1[2] * e2[1], e1[2] * e2[0] - e1[0] * e2[2], e1[0] * e2[1] - e1[1] * e2[0]};
    const double A = 0.5 * std::sqrt(cr[0] * cr[0] + cr[1] * cr[1] + cr[2] * cr[2]);
    double stress[3][6];
    for (auto& s : stress)
        for (int k = 0; k < 6; ++k)
            s[k] = tc.sigma[k];
    const double* q = tc.sigma;
    const double S[3][3] = {{q[0], q[3], q[5]}, {q[3], q[1], q[4]}, {q[5], q[4], q[2]}};
    double t[3];
    for (int r = 0; r < 3; ++r)
        t[r] = S[r][0] * axis[0][0] + S[r][1] * axis[0][1] + S[r][2] * axis[0][2];
    double n[3] = {9, 9, 9};
    double sum[6] = {0, 0, 0, 0, 0, 0};
    CPVSVisualDataLDFS::GetLclDirForSumByTriangle(centroid, pts, n, stress, sum, axis);
    for (int r = 0; r < 3; ++r) {
        const double expect = A * (axis[r][0] * t[0] + axis[r][1] * t[1] + axis[r][2] * t[2]);
        EXPECT_NEAR(sum[r], expect, 1e-12 * (1 + std::fabs(expect)));
        EXPECT_NEAR(sum[3 + r], 0.0, 1e-12);
        EXPECT_EQ(n[r], axis[0][r]); // the worker hands back the normal it used
    }
}

INSTANTIATE_TEST_SUITE_P(
    StressStates, ConstantStressTriangle,
    ::testing::Values(TriangleCase{"UniaxialXxOnPlaneNormalToX", {10, 0, 0, 0, 0, 0}, {1, 0, 0}, 0},
                      TriangleCase{"GeneralOnObliquePlane", {-5, 3, 7, 2, -1, 4}, {1, 2, 3}, 25},
                      TriangleCase{"ShearXyOnPlaneNormalToZ", {0, 0, 0, 6, 0, 0}, {0, 0, 1}, 80},
                      TriangleCase{"HydrostaticOnObliquePlane", {1, 1, 1, 0, 0, 0}, {-2, 1, 0.5}, 135}),
    [](const ::testing::TestParamInfo<TriangleCase>& i) { return std::string(i.param.name); });

TEST(ForceSumTriangle, CoincidentVerticesContributeNothing)
{
    double axis[3][3] = {{1, 0, 0}, {0, 1, 0}, {0, 0, 1}};
    double pts[3][3] = {{0, 0, 0}, {0, 1, 0}, {0, 1, 0}};
    double stress[3][6] = {{5, 5, 5, 5, 5, 5}, {5, 5, 5, 5, 5, 5}, {5, 5, 5, 5, 5, 5}};
    double c[3] = {0, 0, 0}, n[3];
    // A sum that is not in plane axes yet stays exactly as handed in.
    double sum[6] = {1, 2, 3, 4, 5, 6};
    CPVSVisualDataLDFS::GetLclDirForSumByTriangle(c, pts, n, stress, sum, axis);
    for (int k = 0; k < 6; ++k)
        EXPECT_EQ(sum[k], k + 1.0);
}

// Thin and small triangles are real: a sliver with an angle of about 1e-4 degrees, and a
// triangle of a millimetre cut expressed in metres (area 5e-7), give area x traction exactly.
TEST(ForceSumTriangle, ThinAndSmallTrianglesContributeTheirForce)
{
    double axis[3][3] = {{0, 0, 1}, {1, 0, 0}, {0, 1, 0}};
    double stress[3][6];
    for (auto& s : stress)
        for (int k = 0; k < 6; ++k)
            s[k] = k == 2 ? -250.0 : 0.0; // szz: traction along -z on the plane z = const
    for (double L : {1e-3, 1.0, 1e3}) {
        for (double h : {1e-6 * L, L}) {
            double pts[3][3] = {{0, 0, 0}, {L, 0, 0}, {L / 2, h, 0}};
            double c[3] = {L / 2, h / 3, 0}, n[3];
            double sum[6] = {0, 0, 0, 0, 0, 0};
            CPVSVisualDataLDFS::GetLclDirForSumByTriangle(c, pts, n, stress, sum, axis);
            const double A = L * h / 2;
            EXPECT_NEAR(sum[0], -250.0 * A, 1e-12 * 250.0 * A) << "L " << L << ", h " << h;
        }
    }
}

// A straight cut of length L across a plate under a constant membrane force N: F = N L, and
// a constant bending moment m gives the moment m L about the cut's own axis.
TEST(ForceSumLine, ConstantMembraneForceGivesNTimesLength)
{
    // Plate in the plane y = 0: element x = +X, y = +Z, z = -Y. Cut normal +X at x = 1.
    double elem[3][3] = {{1, 0, 0}, {0, 0, 1}, {0, -1, 0}};
    double plane[3][3] = {{1, 0, 0}, {0, 1, 0}, {0, 0, 1}};
    const double L = 2.5, N = 40.0, m = 7.0;
    double pts[2][3] = {{1, 0, 0}, {1, 0, L}};
    double centre[3] = {1, 0, L / 2};
    double f[2][6] = {{N, 0, 0, 0, 0, 0}, {N, 0, 0, 0, 0, 0}};
    double mo[2][6] = {{m, 0, 0, 0, 0, 0}, {m, 0, 0, 0, 0, 0}};
    double n[3] = {1, 0, 0};
    double sum[6] = {0, 0, 0, 0, 0, 0};
    CPVSVisualDataLDFS::GetLclDirForSumByLine(centre, pts, n, f, mo, sum, elem, plane);
    EXPECT_NEAR(sum[0], N * L, 1e-12);
    EXPECT_NEAR(sum[1], 0.0, 1e-12);
    EXPECT_NEAR(sum[2], 0.0, 1e-12);
    // m acts on the cut as E^T S E n = m X; (m X) x z = m X x (-Y) = -m Z.
    EXPECT_NEAR(sum[3], 0.0, 1e-12);
    EXPECT_NEAR(sum[4], 0.0, 1e-12);
    EXPECT_NEAR(sum[5], -m * L, 1e-12);
}

TEST(ForceSumLine, CutNormalAlongElementZAddsNothing)
{
    double elem[3][3] = {{1, 0, 0}, {0, 0, 1}, {0, -1, 0}};
    double plane[3][3] = {{0, -1, 0}, {1, 0, 0}, {0, 0, -1}};
    double pts[2][3] = {{0, 0, 0}, {1, 0, 0}};
    double centre[3] = {0, 0, 0};
    double f[2][6] = {{3, 3, 3, 3, 3, 3}, {3, 3, 3, 3, 3, 3}};
    double n[3] = {0, -1, 0};
    double sum[6] = {0, 0, 0, 0, 0, 0};
    CPVSVisualDataLDFS::GetLclDirForSumByLine(centre, pts, n, f, f, sum, elem, plane);
    for (double s : sum)
        EXPECT_EQ(s, 0.0);
}

// One value per element stands at every node; a value as large as the threshold counts as 0.
TEST(ForceSumValues, ElementValueAndThreshold)
{
    ForceSumModel m;
    BuildHexBlock(m, HexBlockGrid{1, 1, 1});
    AddStressRows(m, [](double, double, double) { return std::array<double, 6>{1, 2, 3, 4, 5, 6}; });
    // Component 0 holds one value per element; component 1 holds exactly the threshold.
    SetElementValues(m, 0, m.aElemK[0], {12.5});
    SetElementValues(m, 1, m.aElemK[0], {0.5, -0.5, 0.5, 0.5, 0.5, 0.5, 0.5, 0.5, 0.7});
    LdfsDisplay d;
    FillRecord(d.rec, m, 0, {});
    T_VD_PARAM_D vp;
    vp.pDoc = &m.doc;
    vp.pUserDefData = &d.rec;
    CPVSVisualDataLDFS vd(8, vp);
    vd.SetThreshold(-0.5);
    ASSERT_EQ(vd.MakeVData(&d.vs, &d.as, 0), 1);
    int nCount = 0;
    double table[20][12];
    ASSERT_EQ(vd.GetElemVDataTable(m.aElemK[0], 8, nCount, table), 1);
    EXPECT_EQ(nCount, 8);
    for (int j = 0; j < 8; ++j) {
        EXPECT_EQ(table[j][0], 12.5);
        EXPECT_EQ(table[j][1], j == 7 ? 0.7 : 0.0);
        EXPECT_EQ(table[j][2], 3.0);
    }
}

// The value count that decides between node values and the element value is the longest run
// of the whole element list, also for a list longer than the host is asked for at once.
TEST(ForceSumValues, ValueCountIsTheWholeListsLongestRun)
{
    ForceSumModel m;
    BuildHexBlock(m, HexBlockGrid{41, 20, 10}); // 8,200 elements
    AddStressRows(m, [](double, double, double) { return std::array<double, 6>{1, 2, 3, 4, 5, 6}; });
    const size_t nLast = m.aElemK.size() - 1;
    // Row 0: element values only, not finite for the first element, node values for the last;
    // row 1: node values for the first element only.
    for (int c = 0; c < 2; ++c) {
        T_PVAL_D val;
        for (size_t i = 0; i <= nLast; ++i) {
            std::vector<double> v = {c == 0 && i == 0 ? NAN : 7.5};
            if ((c == 0 && i == nLast) || (c == 1 && i == 0))
                v.assign(9, 2.5);
            val.Append(m.aElemK[i], v.data(), static_cast<int>(v.size()));
        }
        CClassPVal(m.doc.GetPostDB()).Set(static_cast<unsigned int>(m.nRowK[c]), val);
    }
    LdfsDisplay d;
    FillRecord(d.rec, m, 0, {});
    d.Build(m, 8);
    int nCount = 0;
    double table[20][12];
    // Nine values per element: the element values are skipped (the not finite one too), and a
    // run of one value gives zeros at the nodes.
    for (size_t i : {size_t{0}, nLast}) {
        ASSERT_EQ(d.pVD->GetElemVDataTable(m.aElemK[i], 8, nCount, table), 1) << i;
        for (int j = 0; j < 8; ++j) {
            EXPECT_EQ(table[j][0], i == 0 ? 0.0 : 2.5) << i;
            EXPECT_EQ(table[j][1], i == 0 ? 2.5 : 0.0) << i;
            EXPECT_EQ(table[j][2], 3.0) << i;
        }
    }
}

// Node values are the mean over the solid elements at the node; an element without values in
// any chosen row is left out of the grid instead of counting as zeros.
TEST(ForceSumGrid, SharedNodesAverageAndElementsWithoutValuesAreLeftOut)
{
    ForceSumModel m;
    BuildHexBlock(m, HexBlockGrid{2, 1, 1});
    AddStressRows(m, [](double x, double, double) { return std::array<double, 6>{x, 0, 0, 0, 0, 0}; });
    // The first element carries 10 at every node, the second 20: the shared face averages 15.
    for (int c = 0; c < 6; ++c) {
        SetElementValues(m, c, m.aElemK[0], {10, 10, 10, 10, 10, 10, 10, 10, 10});
        SetElementValues(m, c, m.aElemK[1], {20, 20, 20, 20, 20, 20, 20, 20, 20});
    }
    LdfsDisplay d;
    FillRecord(d.rec, m, 0, {{{0.5, 0, 0}, {{1, 0, 0}, {0, 1, 0}, {0, 0, 1}}, "P"}});
    d.Build(m, 8);
    auto grid = vtkSmartPointer<vtkUnstructuredGrid>::New();
    ASSERT_EQ(d.pVD->MakeVGeomDataByPlane(d.rec.aAxis[0], d.rec.aPlane[0], grid, &d.vs, &d.as, nullptr,
                                          d.pVM->GetMDTCtrl(), 0),
              1);
    EXPECT_EQ(grid->GetNumberOfCells(), 2);
    EXPECT_EQ(grid->GetNumberOfPoints(), 12);
    vtkDataArray* s = grid->GetPointData()->GetScalars();
    ASSERT_NE(s, nullptr);
    EXPECT_EQ(s->GetNumberOfComponents(), 6);
    for (vtkIdType p = 0; p < grid->GetNumberOfPoints(); ++p) {
        const double x = grid->GetPoint(p)[0];
        EXPECT_EQ(s->GetComponent(p, 0), x == 0 ? 10.0 : (x == 1 ? 15.0 : 20.0));
    }

    // Remove the second element from every row: its cell and its own nodes go.
    CClassPVal cls(m.doc.GetPostDB());
    for (int c = 0; c < 6; ++c) {
        T_PVAL_D val;
        cls.Get(static_cast<unsigned int>(m.nRowK[c]), val);
        T_PVAL_D out;
        int n = 0;
        const double* p = val.Find(m.aElemK[0], n);
        out.Append(m.aElemK[0], p, n);
        cls.Set(static_cast<unsigned int>(m.nRowK[c]), out);
    }
    // The values handed out with the first grid are still held: the refresh fills others.
    const vtkSmartPointer<vtkDataArray> pHeld = s;
    d.pVD->MakeVData(&d.vs, &d.as, 0);
    grid->Initialize();
    d.pVD->MakeVGeomDataByPlane(d.rec.aAxis[0], d.rec.aPlane[0], grid, &d.vs, &d.as, nullptr, d.pVM->GetMDTCtrl(), 0);
    EXPECT_EQ(grid->GetNumberOfCells(), 1);
    s = grid->GetPointData()->GetScalars();
    for (vtkIdType p = 0; p < grid->GetNumberOfPoints(); ++p)
        EXPECT_EQ(s->GetComponent(p, 0), 10.0) << "shared nodes keep the value of the element that has one";
    ASSERT_EQ(pHeld->GetNumberOfTuples(), 12);
    EXPECT_EQ(pHeld->GetComponent(11, 0), 20.0);
}

TEST(ForceSumGrid, DesignVariantMapsEverySolidCellToItsElement)
{
    ForceSumModel m;
    BuildHexBlock(m, HexBlockGrid{3, 2, 1});
    AddStressRows(m, [](double, double, double) { return std::array<double, 6>{1, 0, 0, 0, 0, 0}; });
    LdfsdDisplay d;
    FillRecord(d.rec, m, 0, {{{0.5, 0, 0}, {{1, 0, 0}, {0, 1, 0}, {0, 0, 1}}, "P"}});
    d.Build(m, 12);
    EXPECT_EQ(d.pVD->GetVisualMethodType(nullptr), 19);
    auto grid = vtkSmartPointer<vtkUnstructuredGrid>::New();
    d.pVD->MakeVGeomDataByPlane(d.rec.aAxis[0], d.rec.aPlane[0], grid, &d.vs, &d.as, nullptr, d.pVM->GetMDTCtrl(), 0);
    ASSERT_EQ(grid->GetNumberOfCells(), 6);
    for (vtkIdType c = 0; c < 6; ++c) {
        unsigned int k = 0;
        ASSERT_TRUE(d.pVD->m_mSolidCellElemK.Lookup(static_cast<int>(c), k));
        EXPECT_EQ(k, m.aElemK[static_cast<size_t>(c)]);
    }
    d.pVD->m_pLdfsData->nCutKind = 1;
    grid->Initialize();
    d.pVD->MakeVGeomDataByPlane(d.rec.aAxis[0], d.rec.aPlane[0], grid, &d.vs, &d.as, nullptr, d.pVM->GetMDTCtrl(), 0);
    EXPECT_EQ(d.pVD->m_mSolidCellElemK.GetCount(), 0);
}

TEST(ForceSumValues, ComponentCountAboveTwelveIsRefused)
{
    ForceSumModel m;
    BuildHexBlock(m, HexBlockGrid{1, 1, 1});
    AddStressRows(m, [](double, double, double) { return std::array<double, 6>{1, 0, 0, 0, 0, 0}; });
    LdfsDisplay d;
    FillRecord(d.rec, m, 0, {});
    d.rec.nCompCount = 13;
    T_VD_PARAM_D vp;
    vp.pDoc = &m.doc;
    vp.pUserDefData = &d.rec;
    CPVSVisualDataLDFS vd(8, vp);
    EXPECT_EQ(vd.MakeVData(&d.vs, &d.as, 0), 0);
    int n = 0;
    double table[20][12];
    EXPECT_EQ(vd.GetElemVDataTable(m.aElemK[0], 8, n, table), 0);
    EXPECT_EQ(vd.GetElemVDataTable(m.aElemK[0], 21, n, table), 0);
}
