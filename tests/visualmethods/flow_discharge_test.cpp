// Flow discharge through planes: the closed forms of a uniform flow through a block and along
// a line of a flat mesh, planes across cells and through element faces against VTK's own cut
// and attribute integration, zero-velocity pieces, the velocity value of an element, velocities
// whose squares overflow, hostile normals and values, and what Render draws (arrow reference
// axes, label format).
#include "ForceSumFixtures.h"

#include "frame/IFactoryWPLPVSImpl.h"
#include "visualdata/CPVSVisualDataFlowDiscWKVR.h"
#include "visualmethods/CPVSVisualMethodFlowDiscWKVR.h"

#include "CustomSetting.h"
#include "PVSMeshMngrBrdg.h"
#include "PVSRendererBase.h"
#include "UserDefDisplayHost.h"

#include <gtest/gtest.h>

#include <vtkCellData.h>
#include <vtkCutter.h>
#include <vtkDoubleArray.h>
#include <vtkNew.h>
#include <vtkPlane.h>
#include <vtkPoints.h>
#include <vtkPolyData.h>
#include <vtkUnstructuredGrid.h>
#include <vtkUnstructuredGridAlgorithm.h>

#include <array>
#include <cmath>
#include <map>
#include <memory>
#include <vector>

using namespace kvpvs::test;

namespace {

using V3 = std::array<double, 3>;

struct DiscDisplay {
    T_VD_FLOWDISC_WPLKVR_D rec;
    T_PVIST_ALL_D vs;
    T_PVIST_ANIM_D as;
    std::unique_ptr<CPVSVisualDataFlowDiscWKVR> pVD;
    std::unique_ptr<CPVSVisualMethodFlowDiscWKVR> pVM;

    DiscDisplay() { rec.Initialize(); }
    void AddPlane(const V3& o, const V3& n)
    {
        T_PVIST_PLNE_D p;
        for (int k = 0; k < 3; ++k) {
            p.dOrigin[k] = o[static_cast<size_t>(k)];
            p.dNormal[k] = n[static_cast<size_t>(k)];
        }
        rec.aPlane.Add(p);
    }
    int Run(ForceSumModel& m)
    {
        CPVSVisualDataBase::ResetVDataStatics();
        T_VD_PARAM_D vp;
        vp.pDoc = &m.doc;
        vp.pUserDefData = &rec;
        pVD = std::make_unique<CPVSVisualDataFlowDiscWKVR>(4, vp);
        if (!pVD->MakeVData(&vs, &as, 0))
            return 0;
        T_VM_PARAM_D mp;
        mp.pDoc = &m.doc;
        mp.pVData = pVD.get();
        mp.pVS = &vs;
        mp.pAS = &as;
        mp.nVMType = pVD->GetVisualMethodType(&vs);
        pVM = std::make_unique<CPVSVisualMethodFlowDiscWKVR>(mp);
        T_MD_PARAM_D md{1, 4};
        pVM->SetMDTCtrl(new CPVSModelDataFEM(md, &m.doc));
        return pVM->Process();
    }
    std::vector<double> Discharges() const
    {
        return std::vector<double>(pVM->m_aDischarge.begin(), pVM->m_aDischarge.end());
    }
};

// A 3 x 4 x 2 block of unit hexahedra: cross-section 3 x 4 across z.
void Block(ForceSumModel& m) { BuildHexBlock(m, HexBlockGrid{3, 4, 2, 1.0, 1.0, 1.0}); }

struct ClosedForm {
    const char* pszName;
    V3 origin, normal;
    double dExpected;
};

void PrintTo(const ClosedForm& c, std::ostream* os) { *os << c.pszName; }

class UniformBlockTest : public ::testing::TestWithParam<ClosedForm> {};

TEST_P(UniformBlockTest, DischargeIsAreaTimesNormalVelocity)
{
    ForceSumModel m;
    Block(m);
    DiscDisplay d;
    d.rec.nPVtifK = AddNodeVelocityRow(m, [](double, double, double) { return V3{0, 0, 2}; });
    d.AddPlane(GetParam().origin, GetParam().normal);
    ASSERT_EQ(d.Run(m), 1);
    const auto q = d.Discharges();
    ASSERT_EQ(q.size(), 1u) << "one polygon result, no line result";
    EXPECT_NEAR(q[0], GetParam().dExpected, 1e-12);
}

INSTANTIATE_TEST_SUITE_P(
    Planes, UniformBlockTest,
    ::testing::Values(ClosedForm{"AcrossCellsUp", {0, 0, 0.5}, {0, 0, 1}, 24.0},
                      ClosedForm{"ThroughElementFacesUp", {0, 0, 1}, {0, 0, 1}, 24.0},
                      ClosedForm{"ThroughElementFacesDown", {0, 0, 1}, {0, 0, -1}, -24.0},
                      ClosedForm{"UnnormalisedNormal", {0, 0, 1.3}, {0, 0, 7}, 24.0},
                      // Tilted planes across every column carry all the flow, at any length.
                      ClosedForm{"TiltedTiny", {1.5, 2, 1}, {1e-301, 2e-301, 1e-300}, 24.0},
                      ClosedForm{"TiltedHuge", {1.5, 2, 1}, {1e299, 2e299, 1e300}, 24.0},
                      ClosedForm{"Subnormal", {0, 0, 0.5}, {0, 0, 5e-324}, 24.0},
                      ClosedForm{"ParallelToTheFlow", {1.5, 0, 0}, {1, 0, 0}, 0.0}),
    [](const ::testing::TestParamInfo<ClosedForm>& i) { return std::string(i.param.pszName); });

TEST(FlowDischarge, LineOfAFlatMeshTimesTheNormalComponent)
{
    // A 4 x 5 strip of unit quadrilaterals in y = 0; v of magnitude 2 at 60 degrees to x; the
    // plane x = 2.5 meets the strip along a line of length 5.
    ForceSumModel m;
    BuildPlateStrip(m, 4, 5, 1.0, 1.0, 0.0, 0.0, 0.0, 0.1);
    DiscDisplay d;
    const double a = M_PI / 3.0;
    d.rec.nPVtifK = AddNodeVelocityRow(m, [&](double, double, double) { return V3{2 * std::cos(a), 0, 2 * std::sin(a)}; });
    d.AddPlane({2.5, 0, 0}, {1, 0, 0});
    ASSERT_EQ(d.Run(m), 1);
    const auto q = d.Discharges();
    ASSERT_EQ(q.size(), 1u);
    EXPECT_NEAR(q[0], 5.0, 1e-12);
    EXPECT_NEAR(d.pVM->m_aResultPoint[0].dOrigin[0], 2.5, 1e-12);
    EXPECT_NEAR(d.pVM->m_aResultPoint[0].dOrigin[2], 2.5, 1e-12);
}

TEST(FlowDischarge, PiecesOfZeroVelocityAddNothing)
{
    // Elements take the velocity of their first node (the lowest corner): the third column of
    // elements (first node at x = 2) has none, the other two carry 2 up.
    ForceSumModel m;
    Block(m);
    DiscDisplay d;
    d.rec.nPVtifK = AddNodeVelocityRow(m, [](double x, double, double) { return V3{0, 0, x < 1.5 ? 2.0 : 0.0}; });
    d.AddPlane({0, 0, 0.5}, {0, 0, 1});
    ASSERT_EQ(d.Run(m), 1);
    const auto q = d.Discharges();
    ASSERT_EQ(q.size(), 1u);
    EXPECT_EQ(q[0], 16.0);
}

TEST(FlowDischarge, VelocityValueIsItsMagnitudeInRangeSumAndCount)
{
    ForceSumModel m;
    BuildHexBlock(m, HexBlockGrid{1, 1, 1, 1.0, 1.0, 1.0});
    DiscDisplay d;
    d.rec.nPVtifK = AddNodeVelocityRow(m, [](double, double, double) { return V3{3, 4, 12}; });
    ASSERT_EQ(d.Run(m), 1);
    // One group per element node: eight values of 13.
    EXPECT_EQ(CPVSVisualDataBase::m_dVDataRsltMin, 13.0);
    EXPECT_EQ(CPVSVisualDataBase::m_dVDataRsltMax, 13.0);
    EXPECT_EQ(CPVSVisualDataBase::m_dVDataRsltSum, 104.0);
    EXPECT_EQ(CPVSVisualDataBase::m_dVDataRsltNum, 8.0);
    int n = 0;
    std::vector<double> val, vec, pos;
    ASSERT_EQ(d.pVD->GetElemData(m.aElemK[0], n, val, vec, pos), 1);
    EXPECT_EQ(n, 8);
    EXPECT_EQ(vec[0], 3.0);
    EXPECT_EQ(vec[2], 12.0);
    EXPECT_EQ(d.pVD->GetVisualMethodType(nullptr), 8);
}

TEST(FlowDischarge, AnElementWithoutResultsOrWithNonNumbersIsLeftOut)
{
    ForceSumModel m;
    BuildHexBlock(m, HexBlockGrid{3, 1, 1, 1.0, 1.0, 1.0});
    DiscDisplay d;
    d.rec.nPVtifK = AddNodeVelocityRow(m, [](double, double, double) { return V3{0, 0, 1}; });
    CArray<unsigned int, unsigned int> aNodeK;
    CClassNode(m.doc.GetModelDB()).GetKeyList(aNodeK);
    // Node 0 belongs to the first element only, node 3 to the last only.
    SetEntityValues(m, d.rec.nPVtifK, aNodeK[0], {});
    SetEntityValues(m, d.rec.nPVtifK, aNodeK[3], {1, 0, 0, std::nan(""), 0, 0, 0});
    d.AddPlane({0, 0, 0.5}, {0, 0, 1});
    ASSERT_EQ(d.Run(m), 1);
    EXPECT_EQ(CPVSVisualDataBase::m_dVDataRsltNum, 8.0);
    const auto q = d.Discharges();
    ASSERT_EQ(q.size(), 1u);
    EXPECT_NEAR(q[0], 1.0, 1e-12) << "only the middle element is cut";
}

// Velocities whose squares overflow, through the 2 x 2 x 2 block of unit hexahedra cut at
// z = 0.5 (cross-section 4): the discharge is 4 x v . n, the magnitude |v| in the range. Where
// the magnitude is beyond the largest double (the first column of nodes, x = 0), it stays out of
// the range and the count, and the vertical flow of those elements still counts.
struct HugeFlow {
    const char* pszName;
    V3 vAtZeroX, v; // at the nodes x = 0, at the others
    double dNormalZ;
    double dDischarge, dMagnitude, dCount;
};

void PrintTo(const HugeFlow& c, std::ostream* os) { *os << c.pszName; }

class HugeFlowTest : public ::testing::TestWithParam<HugeFlow> {};

TEST_P(HugeFlowTest, DischargeIsAreaTimesNormalVelocity)
{
    const HugeFlow c = GetParam();
    ForceSumModel m;
    BuildHexBlock(m, HexBlockGrid{});
    DiscDisplay d;
    d.rec.nPVtifK = AddNodeVelocityRow(m, [&](double x, double, double) { return x < 0.5 ? c.vAtZeroX : c.v; });
    d.AddPlane({0, 0, 0.5}, {0, 0, c.dNormalZ});
    ASSERT_EQ(d.Run(m), 1);
    EXPECT_EQ(d.Discharges(), std::vector<double>{c.dDischarge});
    EXPECT_DOUBLE_EQ(CPVSVisualDataBase::m_dVDataRsltMax, c.dMagnitude);
    EXPECT_DOUBLE_EQ(CPVSVisualDataBase::m_dVDataRsltMin, c.dMagnitude);
    EXPECT_EQ(CPVSVisualDataBase::m_dVDataRsltNum, c.dCount) << "one value per element node";
}

INSTANTIATE_TEST_SUITE_P(
    Velocities, HugeFlowTest,
    ::testing::Values(HugeFlow{"AlongThePlaneUp", {1e200, 0, 2}, {1e200, 0, 2}, 1.0, 8.0, 1e200, 64.0},
                      HugeFlow{"DiagonalDown", {-1e300, 1e300, 2}, {-1e300, 1e300, 2}, -1.0, -8.0,
                               1e300 * M_SQRT2, 64.0},
                      HugeFlow{"BeyondTheLargestDouble", {1.5e308, -1.5e308, 2}, {1e200, 0, 2}, 1.0, 8.0, 1e200,
                               48.0}),
    [](const ::testing::TestParamInfo<HugeFlow>& i) { return std::string(i.param.pszName); });

// A 3 x 3 x 2 block of unit hexahedra sheared so that its node layers lie on x + y + z = 3k
// (each of area 9 sqrt 3), under the flow v = (1, 1, 1): through a boundary layer along its
// normal as given, (1, 1, 1) or (-1, -1, -1), |v| 9 sqrt 3 = 27, whole.
TEST(FlowDischarge, IntegerNormalOnABoundaryLayerKeepsItWhole)
{
    ForceSumModel m;
    HexBlockGrid grid{3, 3, 2};
    grid.bSheared = true;
    BuildHexBlock(m, grid);
    DiscDisplay d;
    d.rec.nPVtifK = AddNodeVelocityRow(m, [](double, double, double) { return V3{1, 1, 1}; });
    for (double s : {1.0, -1.0})
        for (double k : {0.0, 2.0})
            d.AddPlane({k, k, k}, {s, s, s});
    ASSERT_EQ(d.Run(m), 1);
    const auto q = d.Discharges();
    ASSERT_EQ(q.size(), 4u);
    for (size_t i = 0; i < 4; ++i)
        EXPECT_NEAR(q[i], i < 2 ? 27.0 : -27.0, 1e-13) << i;
}

TEST(FlowDischarge, APlaneWithoutANormalOrMissingTheGridGivesNoResult)
{
    ForceSumModel m;
    Block(m);
    DiscDisplay d;
    d.rec.nPVtifK = AddNodeVelocityRow(m, [](double, double, double) { return V3{0, 0, 2}; });
    d.AddPlane({0, 0, 0.5}, {0, 0, 0});
    d.AddPlane({0, 0, 0.5}, {std::nan(""), 0, 1});
    d.AddPlane({0, 0, 50}, {0, 0, 1});
    d.AddPlane({0x1p128, 0, 0.5}, {0, 0, 1}); // an origin too far out for the cut
    d.AddPlane({0, 0, 0.5}, {0, 0, 1});
    ASSERT_EQ(d.Run(m), 1);
    EXPECT_EQ(d.Discharges(), std::vector<double>{24.0});
}

TEST(FlowDischarge, NoValueRangeBuildsNothing)
{
    ForceSumModel m;
    Block(m);
    DiscDisplay d;
    d.rec.nPVtifK = AddNodeVelocityRow(m, [](double, double, double) { return V3{0, 0, 0}; });
    d.AddPlane({0, 0, 0.5}, {0, 0, 1});
    ASSERT_EQ(d.Run(m), 1);
    EXPECT_TRUE(d.Discharges().empty());
    EXPECT_EQ(d.pVM->GetDataSetPst()->GetNumberOfCells(), 0);
}

// VTK's cut and attribute integration of the same grid with the same cell velocities.
double VtkDischarge(ForceSumModel& m, const V3& v, const V3& o, const V3& n)
{
    vtkNew<vtkUnstructuredGrid> grid;
    vtkNew<vtkPoints> pts;
    pts->SetDataTypeToDouble();
    std::map<unsigned int, vtkIdType> mId;
    CClassNode clsNode(m.doc.GetModelDB());
    CArray<unsigned int, unsigned int> aNodeK;
    clsNode.GetKeyList(aNodeK);
    for (int i = 0; i < aNodeK.GetSize(); ++i) {
        T_NODE_D node;
        clsNode.Get(aNodeK[i], node);
        mId[aNodeK[i]] = pts->InsertNextPoint(node.dXyz);
    }
    vtkNew<vtkDoubleArray> vel;
    vel->SetName("v");
    vel->SetNumberOfComponents(3);
    for (unsigned int k : m.aElemK) {
        T_ELEM_D e;
        CClassElem(m.doc.GetModelDB()).Get(k, e);
        std::vector<vtkIdType> ids;
        for (int j = 0; j < e.GetNumberOfNodes(); ++j)
            ids.push_back(mId[e.aNodeK[j]]);
        grid->InsertNextCell(e.nCellType, static_cast<vtkIdType>(ids.size()), ids.data());
        vel->InsertNextTuple(v.data());
    }
    grid->SetPoints(pts);
    grid->GetCellData()->AddArray(vel);
    vtkNew<vtkPlane> plane;
    plane->SetOrigin(o.data());
    plane->SetNormal(n.data());
    vtkNew<vtkCutter> cutter;
    cutter->SetCutFunction(plane);
    cutter->SetInputData(grid);
    cutter->SetOutputPointsPrecision(vtkAlgorithm::DOUBLE_PRECISION);
    vtkSmartPointer<vtkUnstructuredGridAlgorithm> integ;
    integ.TakeReference(NewVtkIntegrateAttributes());
    if (!integ)
        return std::nan("");
    integ->SetInputConnection(cutter->GetOutputPort());
    integ->Update();
    // The integral of the cell velocity over the cut, dotted with the unit normal.
    const double l = std::sqrt(n[0] * n[0] + n[1] * n[1] + n[2] * n[2]);
    vtkDataArray* q = integ->GetOutput()->GetCellData()->GetArray("v");
    return (q->GetComponent(0, 0) * n[0] + q->GetComponent(0, 1) * n[1] + q->GetComponent(0, 2) * n[2]) / l;
}

struct ObliqueCase {
    const char* pszName;
    V3 origin, normal;
};
void PrintTo(const ObliqueCase& c, std::ostream* os) { *os << c.pszName; }
class AgainstVtkTest : public ::testing::TestWithParam<ObliqueCase> {};

TEST_P(AgainstVtkTest, UniformFlowThroughAnObliquePlaneAsVtkCutsAndIntegrates)
{
    ForceSumModel m;
    BuildHexBlock(m, HexBlockGrid{5, 4, 3, 1.0, 1.25, 0.8});
    const V3 v{1.0, -2.0, 3.5};
    DiscDisplay d;
    d.rec.nPVtifK = AddNodeVelocityRow(m, [&](double, double, double) { return v; });
    d.AddPlane(GetParam().origin, GetParam().normal);
    ASSERT_EQ(d.Run(m), 1);
    const auto q = d.Discharges();
    ASSERT_EQ(q.size(), 1u);
    const double ref = VtkDischarge(m, v, GetParam().origin, GetParam().normal);
    ASSERT_TRUE(std::isfinite(ref));
    // VTK's cut loses a few 1e-9 of thin pieces' areas: compared at 1e-8.
    EXPECT_NEAR(q[0], ref, 1e-8 * std::fabs(ref));
}

INSTANTIATE_TEST_SUITE_P(Planes, AgainstVtkTest,
                         ::testing::Values(ObliqueCase{"Oblique", {2.6, 2.4, 1.1}, {1, 0.3, 0.2}},
                                           ObliqueCase{"InTheXyPlane", {2.3, 2.1, 1.4}, {1, 0.25, 0}},
                                           ObliqueCase{"ThroughANodeLayer", {3.0, 2.5, 1.2}, {1, 0, 0}}),
                         [](const ::testing::TestParamInfo<ObliqueCase>& i) { return std::string(i.param.pszName); });

// Render of results placed by hand: arrows along each normal from its centre, the label at
// the tip in the visual state's format.
struct RenderCase : ::testing::Test {
    ForceSumModel m;
    CPVSMeshMngrBrdg bridge;
    DiscDisplay d;
    T_PVIST_ALL_D saved;
    void SetUp() override
    {
        Block(m);
        d.rec.nPVtifK = AddNodeVelocityRow(m, [](double, double, double) { return V3{0, 0, 2}; });
        d.AddPlane({0, 0, 0.5}, {0, 0, 1});
        d.Run(m);
        const double bb[6] = {0, 20, 0, 0, 0, 0};
        bridge.SetBounds(bb);
        saved = *CPostVisualState::Instance()->GetCurrentPA();
    }
    void TearDown() override { *CPostVisualState::Instance()->GetCurrentPA() = saved; }
};

TEST_F(RenderCase, LabelInTheStatesFormatAtTheArrowTip)
{
    T_PVIST_ALL_D* pVS = CPostVisualState::Instance()->GetCurrentPA();
    pVS->vals.nDecimal = 3;
    pVS->vals.bExponential = 0;
    d.pVM->m_aDischarge[0] = 1.23456;
    CPVSRendererRecorder r;
    ASSERT_EQ(d.pVM->Render(&r), 1);
    const T_RENDER_CALL_D& labels = r.m_aCalls.back();
    ASSERT_EQ(labels.nKind, T_RENDER_CALL_D::kLabels);
    ASSERT_EQ(labels.aText.size(), 1u);
    EXPECT_EQ(labels.aText[0], "1.235");
    // Arrow length: the box diagonal 20 / 20 along the normal from the centre (1.5, 2, 0.5).
    EXPECT_NEAR(labels.aPos[0].Z(), 1.5, 1e-12);
    EXPECT_NEAR(labels.aPos[0].X(), 1.5, 1e-12);
    pVS->vals.bExponential = 1;
    pVS->vals.nDecimal = 2;
    CPVSRendererRecorder r2;
    d.pVM->Render(&r2);
    EXPECT_EQ(r2.m_aCalls.back().aText[0], "1.23e+00");
}

struct AxisCase {
    const char* pszName;
    V3 normal;
};
void PrintTo(const AxisCase& c, std::ostream* os) { *os << c.pszName; }
class ArrowAxisTest : public RenderCase, public ::testing::WithParamInterface<AxisCase> {};

TEST_P(ArrowAxisTest, HeadOpensAcrossTheNormal)
{
    // (0, 0, 1) takes X as reference, (1, 0, 0) takes Z: either way the head is not collapsed.
    for (int k = 0; k < 3; ++k)
        d.pVM->m_aResultPoint[0].dNormal[k] = GetParam().normal[static_cast<size_t>(k)];
    CPVSRendererRecorder r;
    d.pVM->Render(&r);
    auto* arrows = vtkPolyData::SafeDownCast(d.pVM->GetDataSetInactive());
    ASSERT_TRUE(arrows);
    ASSERT_EQ(arrows->GetNumberOfPoints(), 6);
    ASSERT_EQ(arrows->GetNumberOfPolys(), 5);
    double p2[3], p3[3], p4[3], p5[3];
    arrows->GetPoint(2, p2);
    arrows->GetPoint(3, p3);
    arrows->GetPoint(4, p4);
    arrows->GetPoint(5, p5);
    const double a = 0.2 * 1.0;
    EXPECT_NEAR(std::sqrt((p2[0] - p3[0]) * (p2[0] - p3[0]) + (p2[1] - p3[1]) * (p2[1] - p3[1]) + (p2[2] - p3[2]) * (p2[2] - p3[2])), 2 * a, 1e-12);
    EXPECT_NEAR(std::sqrt((p4[0] - p5[0]) * (p4[0] - p5[0]) + (p4[1] - p5[1]) * (p4[1] - p5[1]) + (p4[2] - p5[2]) * (p4[2] - p5[2])), 2 * a, 1e-12);
}

INSTANTIATE_TEST_SUITE_P(Normals, ArrowAxisTest,
                         ::testing::Values(AxisCase{"AlongZ", {0, 0, 1}}, AxisCase{"AlongX", {1, 0, 0}},
                                           AxisCase{"Down", {0, 0, -1}}, AxisCase{"Tiny", {0, 1e-300, 1e-300}}),
                         [](const ::testing::TestParamInfo<AxisCase>& i) { return std::string(i.param.pszName); });

TEST(FlowDischarge, WithoutTheBridgeNoArrowsAreDrawn)
{
    ForceSumModel m;
    Block(m);
    DiscDisplay d;
    d.rec.nPVtifK = AddNodeVelocityRow(m, [](double, double, double) { return V3{0, 0, 2}; });
    d.AddPlane({0, 0, 0.5}, {0, 0, 1});
    ASSERT_EQ(d.Run(m), 1);
    CPVSRendererRecorder r;
    EXPECT_EQ(d.pVM->Render(&r), 1);
    for (const auto& c : r.m_aCalls)
        EXPECT_NE(c.nKind, T_RENDER_CALL_D::kLabels);
}

TEST(FlowDischarge, TheOtherEditionShowsItThroughTheHost)
{
    ForceSumModel m;
    Block(m);
    CPVSMeshMngrBrdg bridge;
    IFactoryWPLPVSImpl edition;
    T_VD_FLOWDISC_WPLKVR_D rec;
    rec.Initialize();
    rec.nPVtifK = AddNodeVelocityRow(m, [](double, double, double) { return V3{0, 0, 2}; });
    T_PVIST_PLNE_D p;
    p.dOrigin[2] = 1.0;
    p.dNormal[2] = 1.0;
    rec.aPlane.Add(p);
    CPVSRendererRecorder r;
    kvpvs::host::CUserDefDisplayHost host(&r);
    ASSERT_EQ(host.Show(T_PVS_DISPLAY_REQUEST_D{4, &rec, 1, 0, 0}), 1);
    auto* pVM = dynamic_cast<CPVSVisualMethodFlowDiscWKVR*>(host.GetMethod());
    ASSERT_TRUE(pVM);
    ASSERT_EQ(pVM->m_aDischarge.GetSize(), 1);
    EXPECT_NEAR(pVM->m_aDischarge[0], 24.0, 1e-12);
}

} // namespace

// A display stepping through results reuses its grid, index and surface, yet each refresh
// shows another step's velocities, an element leaving the active set and moved nodes.
TEST(FlowDischarge, RefreshShowsNewStepActiveSetAndMesh)
{
    ForceSumModel m;
    Block(m);
    DiscDisplay d;
    d.rec.nPVtifK = AddNodeVelocityRow(m, [](double, double, double) { return V3{0, 0, 2}; });
    d.AddPlane({0, 0, 0.5}, {0, 0, 1});
    ASSERT_EQ(d.Run(m), 1);
    auto refresh = [&] {
        CPVSVisualDataBase::ResetVDataStatics();
        EXPECT_EQ(d.pVD->MakeVData(&d.vs, &d.as, 0), 1);
        EXPECT_EQ(d.pVM->Process(), 1);
        const auto q = d.Discharges();
        EXPECT_EQ(q.size(), 1u);
        return q.empty() ? 0.0 : q[0];
    };
    d.pVD->GetFlowDiscData()->nPVtifK = AddNodeVelocityRow(m, [](double, double, double) { return V3{0, 0, 3}; });
    EXPECT_NEAR(refresh(), 36.0, 1e-12) << "another step";

    auto& elems = m.doc.GetModelDB()->Table<T_ELEM_D>();
    const unsigned int nCutK = m.aElemK[1]; // on the plane's way
    const T_ELEM_D cut = elems[nCutK];
    elems.erase(nCutK);
    EXPECT_NEAR(refresh(), 33.0, 1e-12) << "an element left the active set";
    elems[nCutK] = cut;
    EXPECT_NEAR(refresh(), 36.0, 1e-12) << "and came back";

    for (auto& [k, node] : m.doc.GetModelDB()->Table<T_NODE_D>())
        node.dXyz[1] *= 2.0;
    d.pVM->GetMDTCtrl()->Attach(&m.doc);
    EXPECT_NEAR(refresh(), 72.0, 1e-12) << "moved nodes";
}
