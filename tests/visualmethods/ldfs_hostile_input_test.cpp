// Force sums under malformed models and values: elements whose node lists do not fit their
// cell types, plane axes that are not unit vectors, stresses that are not finite. Each case is
// a block of two unit hexahedra under a known stress, with the fault added; the answer is the
// one the block gives without the fault, or no result.
#include "ForceSumFixtures.h"
#include "ForceSumReference.h"

#include <gtest/gtest.h>
#include <vtkPolyData.h>
#include <vtkSmartPointer.h>
#include <vtkUnstructuredGrid.h>

#include <cmath>
#include <limits>
#include <ostream>
#include <string>

using namespace kvpvs::test;

namespace {

std::array<double, 6> Iso(double p) { return {p, p, p, 0, 0, 0}; }

// The plane x = x0 with unit axes X, Y, Z.
T_TEST_PLANE PlaneX(double x0, const char* pszName)
{
    return T_TEST_PLANE{{x0, 0.5, 0.5}, {{1, 0, 0}, {0, 1, 0}, {0, 0, 1}}, pszName};
}

struct BadElement {
    const char* pszName;
    int nCellType;
    int nNodes;   // the first nodes of the chosen hexahedron
    int nOnHex;   // which hexahedron of the block lends its nodes
};
[[maybe_unused]] void PrintTo(const BadElement& b, std::ostream* os) { *os << b.pszName; }

class MisfitElement : public ::testing::TestWithParam<BadElement> {};

// Adds the element after the block's own, with the nodes of one of its hexahedra.
unsigned int AddBadElement(ForceSumModel& m, const BadElement& b)
{
    CClassElem ce(m.doc.GetModelDB());
    T_ELEM_D hex;
    ce.Get(m.aElemK[static_cast<size_t>(b.nOnHex)], hex);
    T_ELEM_D e = hex;
    e.nCellType = b.nCellType;
    e.aNodeK.RemoveAll();
    for (int j = 0; j < b.nNodes; ++j)
        e.aNodeK.Add(hex.aNodeK[j % 8]);
    return ce.Add(e);
}

} // namespace

// An element whose node count is not its cell type's, or whose type is no VTK cell type, is
// left out: the grid holds the two hexahedra alone, each cut gives its unit area under unit
// stress, and the wire mesh is the block's.
TEST_P(MisfitElement, IsLeftOutOfGridsSumsAndMesh)
{
    const BadElement& b = GetParam();
    ForceSumModel m;
    BuildHexBlock(m, HexBlockGrid{2, 1, 1});
    const unsigned int nBad = AddBadElement(m, b);
    AddStressRows(m, [](double, double, double) { return Iso(1.0); });
    // Values of the misfit element that would show if it counted.
    std::vector<double> v(static_cast<size_t>(b.nNodes) + 1, 50.0);
    for (int c = 0; c < 3; ++c)
        SetElementValues(m, c, nBad, v);

    LdfsDisplay d;
    FillRecord(d.rec, m, 0, {PlaneX(0.5, "First"), PlaneX(1.5, "Second")});
    d.rec.bIncludeText = 0;
    d.Build(m, 8);
    auto grid = vtkSmartPointer<vtkUnstructuredGrid>::New();
    ASSERT_EQ(d.pVD->MakeVGeomDataByPlane(d.rec.aAxis[0], d.rec.aPlane[0], grid, &d.vs, &d.as, nullptr,
                                          d.pVM->GetMDTCtrl(), 0),
              1);
    EXPECT_EQ(grid->GetNumberOfCells(), 2);
    d.pVM->Process();
    ASSERT_EQ(d.pVM->m_aValue[0].GetSize(), 2);
    EXPECT_NEAR(d.pVM->m_aValue[0][0], 1.0, 1e-12);
    EXPECT_NEAR(d.pVM->m_aValue[0][1], 1.0, 1e-12);

    LdfsDisplay mesh;
    FillRecord(mesh.rec, m, 0, {});
    mesh.rec.nCompCount = 0;
    mesh.Build(m, 8);
    mesh.pVM->Process();
    // The block's surface: ten unit squares.
    EXPECT_EQ(mesh.pVM->GetDataSetPre()->GetNumberOfCells(), 10);
}

INSTANTIATE_TEST_SUITE_P(Elements, MisfitElement,
                         ::testing::Values(BadElement{"QuadraticHexahedronWithEightNodes", 25, 8, 0},
                                           BadElement{"HexahedronWithFourNodes", 12, 4, 0},
                                           BadElement{"WedgeWithFiveNodes", 13, 5, 1},
                                           BadElement{"TypeBeyondAByte", 268, 8, 1}),
                         [](const auto& info) { return std::string(info.param.pszName); });

// A plate element with fewer nodes than its quadrilateral type is left out of the plate grid.
TEST(MisfitPlate, QuadrilateralWithThreeNodesIsLeftOut)
{
    ForceSumModel m;
    BuildPlateStrip(m, 2, 1, 1.0, 1.0, 0.0, 0.0, 0.0, 0.5);
    CClassElem ce(m.doc.GetModelDB());
    T_ELEM_D e;
    ce.Get(m.aElemK[0], e);
    e.aNodeK.RemoveAt(3);
    ce.Add(e);
    AddPlateRows(m, [](double, double, double) { return std::array<double, 12>{10, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0}; });
    LdfsDisplay d;
    FillRecord(d.rec, m, 1, {PlaneX(0.5, "Wall")});
    d.rec.bIncludeText = 0;
    d.Build(m, 8);
    auto grid = vtkSmartPointer<vtkUnstructuredGrid>::New();
    d.pVD->MakeVGeomDataByPlane(d.rec.aAxis[0], d.rec.aPlane[0], grid, &d.vs, &d.as, nullptr, d.pVM->GetMDTCtrl(), 0);
    EXPECT_EQ(grid->GetNumberOfCells(), 2);
    d.pVM->Process();
    ASSERT_EQ(d.pVM->m_aValue[0].GetSize(), 1);
    EXPECT_NEAR(d.pVM->m_aValue[0][0], 10.0, 1e-12);
}

namespace {

struct AxisScale {
    const char* pszName;
    double dX, dY, dZ; // lengths the plane's axis rows are given with
    int nCutKind;
};
[[maybe_unused]] void PrintTo(const AxisScale& a, std::ostream* os) { *os << a.pszName; }
class UnnormalisedAxes : public ::testing::TestWithParam<AxisScale> {};

// Sums of an oblique plane with its axis rows scaled as given.
std::array<double, 6> SumsWithAxes(const AxisScale& a, bool bScaled)
{
    ForceSumModel m;
    if (a.nCutKind == 0) {
        BuildHexBlock(m, HexBlockGrid{3, 2, 2});
        AddStressRows(m, [](double x, double y, double z) {
            return std::array<double, 6>{-30 + x, -12 + 2 * y, -50 + z, 4, 2 - x, -6};
        });
    } else {
        BuildPlateStrip(m, 4, 2, 1.0, 1.0, 0.0, 0.0, 0.0, 0.4);
        AddPlateRows(m, [](double x, double, double z) {
            return std::array<double, 12>{40 + x, 5, 0, 3 * z, 0, 0, 2, 1, 0, 0.5, 0, 0};
        });
    }
    const double s = std::sqrt(0.8 * 0.8 + 0.36 + 0.0);
    T_TEST_PLANE tp{{1.3, 0.0, 0.7}, {{0.8 / s, 0.0, 0.6 / s}, {0, 1, 0}, {-0.6 / s, 0, 0.8 / s}}, "Oblique"};
    if (bScaled)
        for (int k = 0; k < 3; ++k) {
            tp.dAxis[0][k] *= a.dX;
            tp.dAxis[1][k] *= a.dY;
            tp.dAxis[2][k] *= a.dZ;
        }
    LdfsDisplay d;
    FillRecord(d.rec, m, a.nCutKind, {tp});
    d.rec.bIncludeText = 0;
    d.Build(m, 8);
    d.pVM->Process();
    std::array<double, 6> out{};
    if (d.pVM->m_aValue[0].GetSize() == 1)
        for (int k = 0; k < 6; ++k)
            out[static_cast<size_t>(k)] = d.pVM->m_aValue[k][0];
    return out;
}

} // namespace

// Axis rows of any non-zero length act as the unit rows: a normal of length 2 does not give
// four times the force.
TEST_P(UnnormalisedAxes, GiveTheSumsOfUnitAxes)
{
    const std::array<double, 6> unit = SumsWithAxes(GetParam(), false);
    const std::array<double, 6> scaled = SumsWithAxes(GetParam(), true);
    double dMax = 0;
    for (double v : unit)
        dMax = std::max(dMax, std::fabs(v));
    ASSERT_GT(dMax, 1.0);
    for (size_t k = 0; k < 6; ++k)
        EXPECT_NEAR(scaled[k], unit[k], 1e-12 * dMax * 5) << "component " << k;
}

INSTANTIATE_TEST_SUITE_P(Lengths, UnnormalisedAxes,
                         ::testing::Values(AxisScale{"SolidNormalTwice", 2, 1, 1, 0},
                                           AxisScale{"SolidAllRowsScaled", 2, 3, 0.5, 0},
                                           AxisScale{"PlateNormalTenth", 0.1, 1, 1, 1},
                                           AxisScale{"PlateAllRowsScaled", 7, 0.25, 4, 1},
                                           AxisScale{"SolidRowsTinyAndHuge", 1e-300, 1e300, 1e-200, 0},
                                           AxisScale{"PlateRowsHugeAndTiny", 1e300, 1e-300, 1e200, 1}),
                         [](const auto& info) { return std::string(info.param.pszName); });

// 3 x 2 x 2 unit hexahedra under (xx, yy, zz, xy, yz, zx) = (-10 + x, -4 + y, -25 + z, 3, -2, 1.5),
// cut through (1.5, 0.7, 0.9) with axis rows (s d, (0, 0, 1), (0, -1, 0)): a normal row of any
// finite length s, subnormal to near the largest double, gives the sums of the unit row d / |d|.
// Across x = 1.5 the section 2 x 2 carries (-8.5, 3, 1.5) per area, no moment: [-34, 6, -12, 0,
// 0, 0]; tilted, the exact section's.
TEST(AxisRowLength, NormalRowOfAnyLengthGivesTheUnitRowsSums)
{
    LinearStress field;
    field.s0 = {-10, -4, -25, 3, -2, 1.5};
    for (int k = 0; k < 3; ++k)
        field.d[k][static_cast<size_t>(k)] = 1.0;
    const Vec3 o{1.5, 0.7, 0.9};
    for (const Vec3& d : {Vec3{1, 0, 0}, Vec3{1, 1, 1}}) {
        const double l = std::sqrt(d[0] * d[0] + d[1] * d[1] + d[2] * d[2]);
        const Vec3 n{d[0] / l, d[1] / l, d[2] / l};
        const PolygonMoments sec = MomentsOf(ClipBoxByPlane({0, 0, 0}, {3, 2, 2}, o, n));
        Vec3 F, M;
        ForceAndMoment(sec, field, n, sec.Centre(), F, M);
        const Vec3 rows[3] = {n, {0, 0, 1}, {0, -1, 0}};
        std::array<double, 6> ref{};
        for (size_t r = 0; r < 3; ++r)
            for (size_t k = 0; k < 3; ++k) {
                ref[r] += rows[r][k] * F[k];
                ref[3 + r] += rows[r][k] * M[k];
            }
        if (d[1] == 0)
            ref = {-34, 6, -12, 0, 0, 0};
        for (double s : {1.0, 1e-310, 5e-324, 3e-170, 1e-160, 1e140, 1e300}) {
            ForceSumModel m;
            BuildHexBlock(m, HexBlockGrid{3, 2, 2});
            AddStressRows(m, [&](double x, double y, double z) { return field.At(x, y, z); });
            LdfsDisplay disp;
            FillRecord(disp.rec, m, 0,
                       {{{o[0], o[1], o[2]}, {{s * d[0], s * d[1], s * d[2]}, {0, 0, 1}, {0, -1, 0}}, "Row"}});
            disp.rec.bIncludeText = 0;
            disp.Build(m, 8);
            disp.pVM->Process();
            ASSERT_EQ(disp.pVM->m_aValue[0].GetSize(), 1) << "length " << s;
            for (int k = 0; k < 6; ++k)
                EXPECT_NEAR(disp.pVM->m_aValue[k][0], ref[static_cast<size_t>(k)], 1e-12 * 34 * (k < 3 ? 1 : 4))
                    << "row " << d[0] << " " << d[1] << " " << d[2] << " length " << s << " component " << k;
        }
    }
}

// A zero normal gives no result; a zero second or third row leaves its components at zero.
TEST(ZeroAxes, ZeroNormalGivesNoResultAndZeroRowsZeroComponents)
{
    ForceSumModel m;
    BuildHexBlock(m, HexBlockGrid{2, 1, 1});
    AddStressRows(m, [](double, double, double) { return std::array<double, 6>{-10, -4, -6, 3, 1, 2}; });
    T_TEST_PLANE zero{{0.5, 0.5, 0.5}, {{0, 0, 0}, {0, 1, 0}, {0, 0, 1}}, "Zero"};
    T_TEST_PLANE rows{{0.5, 0.5, 0.5}, {{2, 0, 0}, {0, 0, 0}, {0, 0, 0}}, "Rows"};
    LdfsDisplay d;
    FillRecord(d.rec, m, 0, {zero, rows});
    d.rec.bIncludeText = 0;
    d.Build(m, 8);
    d.pVM->Process();
    ASSERT_EQ(d.pVM->m_aValue[0].GetSize(), 1);
    EXPECT_EQ(d.pVM->m_aPlaneResult[0].strName, "Rows");
    EXPECT_NEAR(d.pVM->m_aValue[0][0], -10.0, 1e-12);
    for (int k : {1, 2, 4, 5})
        EXPECT_EQ(d.pVM->m_aValue[k][0], 0.0) << k;
}

namespace {

struct NonFinite {
    const char* pszName;
    double dValue;
};
[[maybe_unused]] void PrintTo(const NonFinite& v, std::ostream* os) { *os << v.pszName; }
class NonFiniteStress : public ::testing::TestWithParam<NonFinite> {};

} // namespace

// The second hexahedron's xx stress is not finite at its far nodes: it is left out as an
// element without values. The first keeps its exact force; a plane through the second alone
// gets no result (not zeros, not inf or nan).
TEST_P(NonFiniteStress, LeavesTheElementOut)
{
    const double bad = GetParam().dValue;
    ForceSumModel m;
    BuildHexBlock(m, HexBlockGrid{2, 1, 1});
    AddStressRows(m, [&](double x, double, double) {
        return std::array<double, 6>{x > 1.5 ? bad : -8.0, -8, -8, 0, 0, 0};
    });
    LdfsDisplay d;
    FillRecord(d.rec, m, 0, {PlaneX(0.5, "First"), PlaneX(1.5, "Second")});
    d.rec.bIncludeText = 0;
    d.Build(m, 8);
    d.pVM->Process();
    ASSERT_EQ(d.pVM->m_aValue[0].GetSize(), 1);
    EXPECT_EQ(d.pVM->m_aPlaneResult[0].strName, "First");
    EXPECT_NEAR(d.pVM->m_aValue[0][0], -8.0, 1e-12);
}

const auto kNonFiniteValues =
    ::testing::Values(NonFinite{"NaN", std::numeric_limits<double>::quiet_NaN()},
                      NonFinite{"PlusInfinity", std::numeric_limits<double>::infinity()},
                      NonFinite{"MinusInfinity", -std::numeric_limits<double>::infinity()});
const auto kNonFiniteName = [](const auto& info) { return std::string(info.param.pszName); };

INSTANTIATE_TEST_SUITE_P(Values, NonFiniteStress, kNonFiniteValues, kNonFiniteName);

namespace {

int g_nBroadcasts = 0;
class CountingListener : public CDataUpdateConnector {
public:
    CountingListener() { Connect(); }
    ~CountingListener() override { Disconnect(); }
    void OnUpdateData(int, T_LCLDIR_PLNE_KVR_D&, CPointInfoMap&, CPlateCellInfoMap&, CSolidCellInfoMap&,
                      T_FORCESUM_D&) override
    {
        ++g_nBroadcasts;
    }
};

} // namespace

// Finite stresses whose sum overflows: no result and no broadcast, never inf in a report.
TEST(NonFiniteSum, OverflowingSumGivesNoResult)
{
    for (int nCutKind : {0, 1}) {
        ForceSumModel m;
        if (nCutKind == 0) {
            BuildHexBlock(m, HexBlockGrid{2, 2, 2});
            AddStressRows(m, [](double, double, double) { return Iso(1e308); });
        } else {
            BuildPlateStrip(m, 2, 2, 1.0, 1.0, 0.0, 0.0, 0.0, 0.3);
            AddPlateRows(m, [](double, double, double) {
                return std::array<double, 12>{1e308, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0};
            });
        }
        CountingListener listener;
        g_nBroadcasts = 0;
        LdfsdDisplay d;
        FillRecord(d.rec, m, nCutKind, {PlaneX(0.5, "Overflow")});
        d.rec.bIncludeText = 0;
        d.Build(m, 12);
        d.pVM->Process();
        EXPECT_EQ(d.pVM->m_aValue[0].GetSize(), 0) << "cut kind " << nCutKind;
        EXPECT_EQ(d.pVM->m_aPlaneResult.GetSize(), 0) << "cut kind " << nCutKind;
        EXPECT_EQ(g_nBroadcasts, 0) << "cut kind " << nCutKind;
    }
}

namespace {

class NonFiniteNode : public ::testing::TestWithParam<NonFinite> {};

} // namespace

// The block's centre node lies at x = -inf, +inf or nan, or at the largest double either way:
// the cut refuses the grid, so neither plane gets a result, and nothing is broadcast.
TEST_P(NonFiniteNode, GivesNoPlaneAResult)
{
    ForceSumModel m;
    BuildHexBlock(m, HexBlockGrid{2, 2, 2});
    AddStressRows(m, [](double, double, double) { return Iso(-5.0); });
    CClassNode nodes(m.doc.GetModelDB());
    for (unsigned int k = 1; k < nodes.GetNewKey(); ++k) {
        T_NODE_D n;
        if (nodes.Get(k, n) && n.dXyz[0] == 1.0 && n.dXyz[1] == 1.0 && n.dXyz[2] == 1.0) {
            n.dXyz[0] = GetParam().dValue;
            nodes.Set(k, n);
        }
    }
    g_nBroadcasts = 0;
    CountingListener listener;
    LdfsdDisplay d;
    FillRecord(d.rec, m, 0, {PlaneX(0.5, "First"), PlaneX(1.5, "Second")});
    d.rec.bIncludeText = 0;
    d.Build(m, 12);
    d.pVM->Process();
    EXPECT_EQ(d.pVM->m_aValue[0].GetSize(), 0);
    EXPECT_EQ(d.pVM->m_aPlaneResult.GetSize(), 0);
    EXPECT_EQ(g_nBroadcasts, 0);
}

INSTANTIATE_TEST_SUITE_P(Values, NonFiniteNode, kNonFiniteValues, kNonFiniteName);
INSTANTIATE_TEST_SUITE_P(FarOut, NonFiniteNode,
                         ::testing::Values(NonFinite{"LargestDouble", std::numeric_limits<double>::max()},
                                           NonFinite{"MinusLargestDouble", -std::numeric_limits<double>::max()}),
                         kNonFiniteName);
