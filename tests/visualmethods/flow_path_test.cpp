// Flow paths: straight paths in a uniform field on hexahedra and on a flat quadrilateral mesh,
// point for point against VTK's plain stream tracer with the same settings; the flow field's
// node rules (coincident nodes, tiny and several vectors, missing nodes, contour range, short
// and long answers); and the marks along a path: fractions with the phase, symbol geometry,
// degenerate segments.
#include "ForceSumFixtures.h"

#include "visualdata/CPVSVisualDataFlowPathWKVR.h"
#include "visualmethods/CPVSVisualMethodGlbFlowPath.h"

#include "PVSMeshMngrBrdg.h"
#include "PVSRendererBase.h"

#include <gtest/gtest.h>

#include <vtkCellArray.h>
#include <vtkDoubleArray.h>
#include <vtkFloatArray.h>
#include <vtkMergePoints.h>
#include <vtkNew.h>
#include <vtkPointData.h>
#include <vtkPoints.h>
#include <vtkPolyData.h>
#include <vtkRungeKutta2.h>
#include <vtkStreamTracer.h>
#include <vtkUnstructuredGrid.h>

#include <algorithm>
#include <cmath>
#include <memory>
#include <vector>

using namespace kvpvs::test;

namespace {

// The flow-path display of one model as the host builds it, with the view's bridge spanning
// the model.
struct FlowPathDisplay {
    T_VD_FLOWPATH_WPLKVR_D rec;
    T_PVIST_ALL_D vs;
    T_PVIST_ANIM_D as;
    std::unique_ptr<CPVSVisualDataFlowPathWKVR> pVD;
    std::unique_ptr<CPVSVisualMethodGlbFlowPath> pVM;

    FlowPathDisplay() { rec.Initialize(); }
    int Build(ForceSumModel& m, CPVSMeshMngrBrdg& bridge)
    {
        double b[6];
        m.doc.GetModelBounds(b);
        const double bb[6] = {b[0], b[3], b[1], b[4], b[2], b[5]};
        bridge.SetBounds(bb);
        CPVSVisualDataBase::ResetVDataStatics();
        T_VD_PARAM_D vp;
        vp.pDoc = &m.doc;
        vp.pUserDefData = &rec;
        pVD = std::make_unique<CPVSVisualDataFlowPathWKVR>(1, vp);
        const int bData = pVD->MakeVData(&vs, &as, 0);
        T_VM_PARAM_D mp;
        mp.pDoc = &m.doc;
        mp.pVData = pVD.get();
        mp.pVS = &vs;
        mp.pAS = &as;
        mp.nVMType = 6;
        pVM = std::make_unique<CPVSVisualMethodGlbFlowPath>(mp);
        T_MD_PARAM_D md{1, 1};
        pVM->SetMDTCtrl(new CPVSModelDataFEM(md, &m.doc));
        return bData;
    }
};

struct Mesh {
    const char* pszName;
    bool bHex;
};

void PrintTo(const Mesh& mesh, std::ostream* os) { *os << mesh.pszName; }

// The model of a mesh: a 4 x 2 x 2 block of unit hexahedra, or a 4 x 2 strip of unit
// quadrilaterals in the plane y = o, from the corner (o, o, o).
void BuildMesh(ForceSumModel& m, const Mesh& mesh, double o = 0.0)
{
    if (mesh.bHex)
        BuildHexBlock(m, HexBlockGrid{4, 2, 2, 1.0, 1.0, 1.0, o, o, o});
    else
        BuildPlateStrip(m, 4, 2, 1.0, 1.0, o, o, o, 0.1);
}

// The grid the flow paths are traced in, built here from the model about the point c: the
// nodes less c with the unit field direction, every element as its cell.
vtkSmartPointer<vtkUnstructuredGrid> ReferenceGrid(ForceSumModel& m, const double dir[3], const double c[3])
{
    auto pGrid = vtkSmartPointer<vtkUnstructuredGrid>::New();
    vtkNew<vtkPoints> pPts;
    pPts->SetDataTypeToDouble();
    vtkNew<vtkDoubleArray> pVec;
    pVec->SetNumberOfComponents(3);
    CClassNode clsNode(m.doc.GetModelDB());
    CArray<unsigned int, unsigned int> aNodeK;
    clsNode.GetKeyList(aNodeK);
    std::map<unsigned int, vtkIdType> mId;
    for (int i = 0; i < aNodeK.GetSize(); ++i) {
        T_NODE_D n;
        clsNode.Get(aNodeK[i], n);
        mId[aNodeK[i]] = pPts->InsertNextPoint(n.dXyz[0] - c[0], n.dXyz[1] - c[1], n.dXyz[2] - c[2]);
        pVec->InsertNextTuple(dir);
    }
    CClassElem clsElem(m.doc.GetModelDB());
    for (unsigned int k : m.aElemK) {
        T_ELEM_D e;
        clsElem.Get(k, e);
        std::vector<vtkIdType> ids;
        for (int j = 0; j < e.GetNumberOfNodes(); ++j)
            ids.push_back(mId[e.aNodeK[j]]);
        pGrid->InsertNextCell(e.nCellType, static_cast<vtkIdType>(ids.size()), ids.data());
    }
    pGrid->SetPoints(pPts);
    pGrid->GetPointData()->SetVectors(pVec);
    return pGrid;
}

// The points moved by c, sorted.
std::vector<std::array<double, 3>> SortedPoints(vtkPolyData* p, const double c[3])
{
    std::vector<std::array<double, 3>> a;
    for (vtkIdType i = 0; i < p->GetNumberOfPoints(); ++i) {
        std::array<double, 3> x;
        p->GetPoint(i, x.data());
        a.push_back({x[0] + c[0], x[1] + c[1], x[2] + c[2]});
    }
    std::sort(a.begin(), a.end());
    return a;
}

class UniformFlowTest : public ::testing::TestWithParam<Mesh> {};

TEST_P(UniformFlowTest, TwoStraightPathsPerSeedEndingAtTheBoundaryLikeThePlainTracer)
{
    ForceSumModel m;
    BuildMesh(m, GetParam());
    // v = 2 along x everywhere: the paths are the lines y = y0, z = z0 across the model.
    const unsigned int nRowK = AddNodeVelocityRow(m, [](double, double, double) { return std::array<double, 3>{2, 0, 0}; });
    CPVSMeshMngrBrdg bridge;
    FlowPathDisplay d;
    d.rec.nFlowPVtifK = nRowK;
    const double seed[3] = {1.3, GetParam().bHex ? 0.7 : 0.0, 1.2};
    d.rec.aStartX.Add(seed[0]);
    d.rec.aStartY.Add(seed[1]);
    d.rec.aStartZ.Add(seed[2]);
    ASSERT_EQ(d.Build(m, bridge), 1);
    ASSERT_EQ(d.pVM->Process(), 1);
    auto* pPaths = vtkPolyData::SafeDownCast(d.pVM->GetDataSetPst());
    ASSERT_TRUE(pPaths);
    ASSERT_EQ(pPaths->GetNumberOfLines(), 2);

    double b[6];
    m.doc.GetModelBounds(b);
    const double L = std::sqrt((b[3] - b[0]) * (b[3] - b[0]) + (b[4] - b[1]) * (b[4] - b[1]) +
                               (b[5] - b[2]) * (b[5] - b[2]));
    const double dStep = L * 0.001;
    double xMin = 1e300, xMax = -1e300;
    vtkDataArray* pMag = pPaths->GetPointData()->GetScalars();
    ASSERT_TRUE(pMag);
    for (vtkIdType i = 0; i < pPaths->GetNumberOfPoints(); ++i) {
        double x[3];
        pPaths->GetPoint(i, x);
        // The tracer writes single-precision points.
        EXPECT_NEAR(x[1], seed[1], 1e-7);
        EXPECT_NEAR(x[2], seed[2], 1e-7);
        xMin = std::min(xMin, x[0]);
        xMax = std::max(xMax, x[0]);
        EXPECT_NEAR(pMag->GetTuple1(i), 2.0, 1e-12) << "the paths carry the flow magnitude";
    }
    EXPECT_LE(xMin, 0.0 + dStep);
    EXPECT_GE(xMin, 0.0 - dStep);
    EXPECT_GE(xMax, 4.0 - dStep);
    EXPECT_LE(xMax, 4.0 + dStep);

    // The plain tracer with the same settings on the same field, traced about the model's
    // centre c and moved back by c: its single-precision points hold no projected coordinates.
    const double dir[3] = {1, 0, 0};
    const double c[3] = {0.5 * (b[0] + b[3]), 0.5 * (b[1] + b[4]), 0.5 * (b[2] + b[5])};
    auto pGrid = ReferenceGrid(m, dir, c);
    vtkNew<vtkPolyData> pSeeds;
    vtkNew<vtkPoints> pSeedPts;
    pSeedPts->SetDataTypeToDouble();
    pSeedPts->InsertNextPoint(seed[0] - c[0], seed[1] - c[1], seed[2] - c[2]);
    pSeeds->SetPoints(pSeedPts);
    vtkNew<vtkStreamTracer> pPlain;
    pPlain->SetInputData(pGrid);
    pPlain->SetSourceData(pSeeds);
    pPlain->SetMaximumPropagation(L);
    pPlain->SetIntegrationStepUnit(vtkStreamTracer::LENGTH_UNIT);
    pPlain->SetInitialIntegrationStep(dStep);
    pPlain->SetMinimumIntegrationStep(dStep);
    pPlain->SetMaximumIntegrationStep(dStep);
    pPlain->SetIntegrationDirectionToBoth();
    pPlain->SetIntegrator(vtkNew<vtkRungeKutta2>());
    pPlain->SetComputeVorticity(false);
    pPlain->Update();
    const double none[3] = {0, 0, 0};
    const auto aModule = SortedPoints(pPaths, none);
    const auto aPlain = SortedPoints(pPlain->GetOutput(), c);
    ASSERT_EQ(aModule.size(), aPlain.size());
    for (size_t i = 0; i < aModule.size(); ++i)
        for (int k = 0; k < 3; ++k)
            ASSERT_NEAR(aModule[i][k], aPlain[i][k], 1e-12) << "point " << i;
}

INSTANTIATE_TEST_SUITE_P(Meshes, UniformFlowTest, ::testing::Values(Mesh{"Hexahedra", true}, Mesh{"FlatQuads", false}),
                         [](const ::testing::TestParamInfo<Mesh>& i) { return std::string(i.param.pszName); });

// What a display draws of the flow in v = (2, 0, 0) through the block from (o, o, o), from the
// start point (o + 1.25, o + 0.75, o + 1.25): the paths' points as lines and as tubes, and the
// points of the arrows, cones and spheres along the lines.
struct DrawnPaths {
    std::vector<std::array<double, 3>> aLine, aTube, aMark;
    vtkIdType nLines = 0;
};

std::vector<std::array<double, 3>> PointsOf(vtkDataSet* p)
{
    std::vector<std::array<double, 3>> a(static_cast<size_t>(p->GetNumberOfPoints()));
    for (vtkIdType i = 0; i < p->GetNumberOfPoints(); ++i)
        p->GetPoint(i, a[static_cast<size_t>(i)].data());
    return a;
}

DrawnPaths DrawAtOffset(double o)
{
    ForceSumModel m;
    BuildMesh(m, Mesh{"Hexahedra", true}, o);
    CPVSMeshMngrBrdg bridge;
    FlowPathDisplay d;
    d.rec.nFlowPVtifK = AddNodeVelocityRow(m, [](double, double, double) { return std::array<double, 3>{2, 0, 0}; });
    // A start point that every offset holds exactly: at 1e8 a double steps by 1.5e-8.
    d.rec.aStartX.Add(o + 1.25);
    d.rec.aStartY.Add(o + 0.75);
    d.rec.aStartZ.Add(o + 1.25);
    DrawnPaths r;
    if (d.Build(m, bridge) != 1 || d.pVM->Process() != 1)
        return r;
    auto* pPaths = vtkPolyData::SafeDownCast(d.pVM->GetDataSetPst());
    r.nLines = pPaths->GetNumberOfLines();
    r.aLine = PointsOf(pPaths);
    for (int nKind : {0, 1, 2}) {
        d.pVM->GetSettings()->nSymbolKind = nKind;
        CPVSRendererRecorder rec;
        d.pVM->RenderMarking(&rec);
        if (!rec.m_aCalls.empty()) {
            const auto a = PointsOf(rec.m_aCalls[0].pData);
            r.aMark.insert(r.aMark.end(), a.begin(), a.end());
        }
    }
    d.pVM->GetSettings()->nPathType = 1;
    if (d.pVM->Process() == 1)
        r.aTube = PointsOf(d.pVM->GetDataSetPst());
    return r;
}

TEST(FlowPathOffset, AtProjectedCoordinatesPathsTubesAndMarksAreThoseAtTheOriginMoved)
{
    const double L = std::sqrt(4.0 * 4.0 + 2.0 * 2.0 + 2.0 * 2.0);
    const double dTol = 1e-9 * L;
    const DrawnPaths o = DrawAtOffset(0.0);
    // At the origin: two paths on the straight line y = 0.75, z = 1.25 from the inflow face
    // x = 0 to the outflow face x = 4, each within a step L / 1000 of its face.
    ASSERT_EQ(o.nLines, 2);
    ASSERT_FALSE(o.aMark.empty());
    ASSERT_FALSE(o.aTube.empty());
    double xMin = 1e300, xMax = -1e300;
    for (const auto& p : o.aLine) {
        EXPECT_NEAR(p[1], 0.75, dTol);
        EXPECT_NEAR(p[2], 1.25, dTol);
        xMin = std::min(xMin, p[0]);
        xMax = std::max(xMax, p[0]);
    }
    EXPECT_NEAR(xMin, 0.0, L * 0.001);
    EXPECT_NEAR(xMax, 4.0, L * 0.001);

    for (double dOffset : {1e5, 1e6, 5123456.789, 1e8}) {
        SCOPED_TRACE(dOffset);
        const DrawnPaths f = DrawAtOffset(dOffset);
        EXPECT_EQ(f.nLines, o.nLines);
        // The largest distance of a point from its counterpart at the origin moved by the offset.
        auto worst = [dOffset](const std::vector<std::array<double, 3>>& aFar,
                               const std::vector<std::array<double, 3>>& aNear) {
            double d = aFar.size() == aNear.size() ? 0.0 : HUGE_VAL;
            for (size_t i = 0; i < aFar.size() && i < aNear.size(); ++i)
                for (int k = 0; k < 3; ++k)
                    d = std::max(d, std::fabs(aFar[i][k] - (aNear[i][k] + dOffset)));
            return d;
        };
        EXPECT_EQ(f.aLine.size(), o.aLine.size());
        EXPECT_LE(worst(f.aLine, o.aLine), dTol);
        EXPECT_LE(worst(f.aTube, o.aTube), dTol);
        // A mark is built where it stands, so its points carry one rounding of a coordinate
        // there: a unit in the last place, 1.5e-8 at 1e8.
        const double dUlp = std::nextafter(dOffset + 4.0, HUGE_VAL) - (dOffset + 4.0);
        EXPECT_LE(worst(f.aMark, o.aMark), dTol + dUlp);
    }
}

// The field of a 2 x 1 x 1 block with a chosen velocity per node key.
struct FieldCase : ::testing::Test {
    ForceSumModel m;
    unsigned int nRowK = 0;
    std::vector<unsigned int> aNodeK;
    void SetUp() override
    {
        BuildHexBlock(m, HexBlockGrid{2, 1, 1, 1.0, 1.0, 1.0});
        nRowK = AddNodeVelocityRow(m, [](double, double, double) { return std::array<double, 3>{0, 0, 3}; });
        CArray<unsigned int, unsigned int> a;
        CClassNode(m.doc.GetModelDB()).GetKeyList(a);
        aNodeK.assign(a.begin(), a.end());
    }
    // MakeVData, then the field on a fresh grid.
    struct Field {
        vtkNew<vtkUnstructuredGrid> grid;
        vtkNew<vtkPoints> points;
        vtkNew<vtkDoubleArray> vectors, scalars;
        int nCount = 0;
        int bData = 0;
    };
    void Make(FlowPathDisplay& d, Field& f)
    {
        d.rec.nFlowPVtifK = nRowK;
        CPVSMeshMngrBrdg bridge;
        f.bData = d.Build(m, bridge);
        double b[6];
        m.doc.GetModelBounds(b);
        const double bb[6] = {b[0] - 1, b[3] + 1, b[1] - 1, b[4] + 1, b[2] - 1, b[5] + 1};
        vtkNew<vtkMergePoints> loc;
        f.points->SetDataTypeToDouble();
        loc->InitPointInsertion(f.points, bb);
        f.vectors->SetNumberOfComponents(3);
        double dTotal = 0;
        T_MD_PARAM_D md{1, 1};
        CPVSModelDataFEM model(md, &m.doc);
        d.pVD->MakeVGeomDataNode(f.grid, &d.vs, &d.as, nullptr, &model, nullptr, nullptr, nullptr, nullptr, f.nCount,
                                 dTotal, f.points, f.vectors, f.scalars, loc, nullptr);
    }
};

TEST_F(FieldCase, EveryNodeGivesAUnitDirectionAndItsMagnitude)
{
    FlowPathDisplay d;
    Field f;
    Make(d, f);
    ASSERT_EQ(f.bData, 1);
    EXPECT_EQ(f.grid->GetNumberOfCells(), 2);
    EXPECT_EQ(f.nCount, 12);
    for (vtkIdType i = 0; i < f.points->GetNumberOfPoints(); ++i) {
        EXPECT_DOUBLE_EQ(f.scalars->GetTuple1(i), 3.0);
        EXPECT_DOUBLE_EQ(f.vectors->GetTuple3(i)[2], 1.0);
    }
    EXPECT_DOUBLE_EQ(CPVSVisualDataBase::m_dVDataRsltMax, 3.0);
    EXPECT_DOUBLE_EQ(CPVSVisualDataBase::m_dVDataRsltSum, 36.0);
    EXPECT_DOUBLE_EQ(CPVSVisualDataBase::m_dVDataRsltNum, 12.0);
}

TEST_F(FieldCase, TinyFlowGivesNoDirectionButKeepsItsMagnitude)
{
    SetEntityValues(m, nRowK, aNodeK[0], {0, 1e-21, 0, 0, 0, 0, 0});
    FlowPathDisplay d;
    Field f;
    Make(d, f);
    // Node 0 is the first point inserted.
    EXPECT_DOUBLE_EQ(f.scalars->GetTuple1(0), 1e-21);
    const double* v = f.vectors->GetTuple3(0);
    EXPECT_EQ(v[0], 0.0);
    EXPECT_EQ(v[1], 0.0);
    EXPECT_EQ(v[2], 0.0);
}

TEST_F(FieldCase, SeveralVectorsAtANodeAllCountButOnlyTheFirstFlows)
{
    SetEntityValues(m, nRowK, aNodeK[0], {0, 1, 0, 0, 0, 0, 0, 0, 0, 0, 20, 0, 0, 0});
    FlowPathDisplay d;
    Field f;
    Make(d, f);
    EXPECT_DOUBLE_EQ(f.vectors->GetTuple3(0)[0], 1.0);
    EXPECT_DOUBLE_EQ(f.scalars->GetTuple1(0), 1.0);
    EXPECT_DOUBLE_EQ(CPVSVisualDataBase::m_dVDataRsltNum, 13.0);
    EXPECT_DOUBLE_EQ(CPVSVisualDataBase::m_dVDataRsltMax, 20.0);
    EXPECT_DOUBLE_EQ(CPVSVisualDataBase::m_dVDataRsltMin, 1.0);
}

TEST_F(FieldCase, ANodeWithoutFlowTakesItsElementsOut)
{
    // Node 0 belongs to the first element only.
    SetEntityValues(m, nRowK, aNodeK[0], {});
    FlowPathDisplay d;
    Field f;
    Make(d, f);
    EXPECT_EQ(f.nCount, 11);
    EXPECT_EQ(f.grid->GetNumberOfCells(), 1);
}

TEST_F(FieldCase, ShortAndLongAnswersAreReadInWholeGroupsWithinTheBuffer)
{
    // Ten values: one whole group; seventy: the query's fifty hold seven groups.
    SetEntityValues(m, nRowK, aNodeK[0], {0, 2, 0, 0, 0, 0, 0, 9, 9, 9});
    std::vector<double> aLong;
    for (int g = 0; g < 10; ++g)
        aLong.insert(aLong.end(), {0, 0, 0, 1.0 + g, 0, 0, 0});
    SetEntityValues(m, nRowK, aNodeK[1], aLong);
    FlowPathDisplay d;
    Field f;
    Make(d, f);
    EXPECT_DOUBLE_EQ(CPVSVisualDataBase::m_dVDataRsltNum, 10.0 + 1.0 + 7.0);
    EXPECT_DOUBLE_EQ(CPVSVisualDataBase::m_dVDataRsltMax, 7.0) << "the eighth group is beyond the buffer";
}

TEST_F(FieldCase, AFlowThatIsNotANumberLeavesTheNodeOut)
{
    SetEntityValues(m, nRowK, aNodeK[0], {0, std::nan(""), 0, 0, 0, 0, 0});
    FlowPathDisplay d;
    Field f;
    Make(d, f);
    EXPECT_EQ(f.nCount, 11);
    EXPECT_TRUE(std::isfinite(CPVSVisualDataBase::m_dVDataRsltSum));
}

TEST_F(FieldCase, CoincidentNodesShareOnePointTheLaterSetsIt)
{
    // A second node on the position of the first, later in model order, with its own flow.
    T_NODE_D n;
    CClassNode(m.doc.GetModelDB()).Get(aNodeK[0], n);
    const unsigned int nTwin = CClassNode(m.doc.GetModelDB()).Add(n);
    SetEntityValues(m, nRowK, nTwin, {0, 0, 5, 0, 0, 0, 0});
    FlowPathDisplay d;
    Field f;
    Make(d, f);
    EXPECT_EQ(f.points->GetNumberOfPoints(), 12);
    EXPECT_EQ(f.nCount, 13);
    EXPECT_DOUBLE_EQ(f.scalars->GetTuple1(0), 5.0);
    EXPECT_DOUBLE_EQ(f.vectors->GetTuple3(0)[1], 1.0);
}

TEST_F(FieldCase, WithAContourTheFlowDoesNotSetTheRange)
{
    // A plain node row of another result: the factory gives the host's node data for it.
    T_PVTIF_D row;
    CClassPVtif(m.doc.GetPostDB()).Get(nRowK, row);
    row.nResultClass = 1;
    row.nQuantity = 2;
    row.nItem = 40;
    FlowPathDisplay d;
    d.rec.bDrawContour = 1;
    d.rec.nContourPVtifK = CClassPVtif(m.doc.GetPostDB()).Add(row);
    Field f;
    Make(d, f);
    ASSERT_TRUE(d.pVD->GetOtherVD());
    EXPECT_FALSE(CPVSVisualDataBase::m_bVDataRsltSet);
    EXPECT_DOUBLE_EQ(CPVSVisualDataBase::m_dVDataRsltNum, 12.0);
}

TEST_F(FieldCase, AnElementRowGathersNoFlow)
{
    T_PENGR_D e;
    e.nKind = 2;
    T_PVTIF_D row;
    CClassPVtif(m.doc.GetPostDB()).Get(nRowK, row);
    row.nEngrK = CClassPEngr(m.doc.GetPostDB()).Add(e);
    CClassPVtif(m.doc.GetPostDB()).Set(nRowK, row);
    FlowPathDisplay d;
    Field f;
    Make(d, f);
    EXPECT_EQ(f.bData, 1);
    EXPECT_EQ(f.nCount, 0);
}

TEST_F(FieldCase, ProcessNeedsTheBridgeAndMakesNoPathsWithoutStartPoints)
{
    FlowPathDisplay d;
    d.rec.nFlowPVtifK = nRowK;
    {
        CPVSMeshMngrBrdg bridge;
        d.Build(m, bridge);
        EXPECT_EQ(d.pVM->Process(), 1);
        EXPECT_EQ(d.pVM->GetDataSetPst()->GetNumberOfCells(), 0);
    }
    EXPECT_EQ(d.pVM->Process(), 0) << "no view, no model box";
}

struct TubeCase {
    const char* pszName;
    std::array<double, 3> v;
};
void PrintTo(const TubeCase& c, std::ostream* os) { *os << c.pszName; }
class TubeTest : public FieldCase, public ::testing::WithParamInterface<TubeCase> {};

TEST_P(TubeTest, TubesAreDrawnValueColouredAndCarryNoMarks)
{
    const auto v = GetParam().v;
    nRowK = AddNodeVelocityRow(m, [&](double, double, double) { return v; });
    FlowPathDisplay d;
    d.rec.nFlowPVtifK = nRowK;
    d.rec.nPathType = 1;
    d.rec.nColorMode = 1;
    d.rec.aStartX.Add(0.5);
    d.rec.aStartY.Add(0.5);
    d.rec.aStartZ.Add(0.5);
    CPVSMeshMngrBrdg bridge;
    d.Build(m, bridge);
    ASSERT_EQ(d.pVM->Process(), 1);
    EXPECT_GT(d.pVM->GetDataSetPst()->GetNumberOfCells(), 0);
    CPVSRendererRecorder rec;
    d.pVM->Render(&rec);
    ASSERT_EQ(rec.m_aCalls.size(), 1u);
    EXPECT_EQ(rec.m_aCalls[0].nKind, T_RENDER_CALL_D::kScalarSurface);
}

INSTANTIATE_TEST_SUITE_P(Directions, TubeTest,
                         ::testing::Values(TubeCase{"Horizontal", {3, 0, 0}}, TubeCase{"Vertical", {0, 0, 3}},
                                           TubeCase{"Oblique", {1, 1, 1}}),
                         [](const ::testing::TestParamInfo<TubeCase>& i) { return std::string(i.param.pszName); });

// Marks along one straight path from (0, 0, 0) to (10, 0, 0) with points at x = 0, 3, 6, 10
// and the value x at each point, in a model box of diagonal 100.
struct MarkCase : ::testing::Test {
    ForceSumModel m;
    CPVSMeshMngrBrdg bridge;
    FlowPathDisplay d;
    void SetUp() override
    {
        BuildHexBlock(m, HexBlockGrid{1, 1, 1, 1.0, 1.0, 1.0});
        d.rec.nFlowPVtifK = AddNodeVelocityRow(m, [](double, double, double) { return std::array<double, 3>{1, 0, 0}; });
        d.Build(m, bridge);
        const double bb[6] = {0, 100, 0, 0, 0, 0};
        bridge.SetBounds(bb);
        CPVSVisualMethodGlbFlowPath::m_dIncrementFactor = 0.0;
    }
    void TearDown() override { CPVSVisualMethodGlbFlowPath::m_dIncrementFactor = 0.0; }
    void SetPath(const std::vector<double>& xs)
    {
        vtkNew<vtkPolyData> p;
        vtkNew<vtkPoints> pts;
        vtkNew<vtkDoubleArray> val;
        vtkNew<vtkCellArray> lines;
        std::vector<vtkIdType> ids;
        for (double x : xs) {
            ids.push_back(pts->InsertNextPoint(x, 0, 0));
            val->InsertNextValue(x);
        }
        lines->InsertNextCell(static_cast<vtkIdType>(ids.size()), ids.data());
        p->SetPoints(pts);
        p->SetLines(lines);
        p->GetPointData()->SetScalars(val);
        d.pVM->InitializeDataSet();
        d.pVM->GetDataSetPst()->DeepCopy(p);
    }
    // The marks' tips (arrows: the middle point of each three-point line) and values.
    std::vector<std::pair<double, double>> ArrowTips()
    {
        CPVSRendererRecorder r;
        d.pVM->RenderMarking(&r);
        std::vector<std::pair<double, double>> a;
        if (r.m_aCalls.empty())
            return a;
        auto* p = vtkPolyData::SafeDownCast(r.m_aCalls[0].pData);
        vtkNew<vtkIdList> ids;
        vtkDataArray* v = p->GetPointData()->GetScalars();
        for (p->GetLines()->InitTraversal(); p->GetLines()->GetNextCell(ids);)
            a.emplace_back(p->GetPoint(ids->GetId(1))[0], v->GetTuple1(ids->GetId(1)));
        std::sort(a.begin(), a.end());
        return a;
    }
};

struct PhaseCase {
    const char* pszName;
    double dPhase;
    int nDivisions;
    std::vector<double> aTip; // x of the marks, ascending
};

void PrintTo(const PhaseCase& c, std::ostream* os) { *os << c.pszName; }

class MarkPhaseTest : public MarkCase, public ::testing::WithParamInterface<PhaseCase> {};

TEST_P(MarkPhaseTest, MarksSitAtTheFractionsShiftedByThePhase)
{
    SetPath({0, 3, 6, 10});
    d.pVM->GetSettings()->nDivisions = GetParam().nDivisions;
    CPVSVisualMethodGlbFlowPath::m_dIncrementFactor = GetParam().dPhase;
    const auto tips = ArrowTips();
    ASSERT_EQ(tips.size(), GetParam().aTip.size());
    for (size_t i = 0; i < tips.size(); ++i) {
        EXPECT_NEAR(tips[i].first, GetParam().aTip[i], 1e-12);
        EXPECT_NEAR(tips[i].second, GetParam().aTip[i], 1e-12) << "the value interpolated along the segment";
    }
}

INSTANTIATE_TEST_SUITE_P(
    Phases, MarkPhaseTest,
    ::testing::Values(PhaseCase{"Phase0FourDivisions", 0.0, 4, {2.5, 5, 7.5, 10}},
                      PhaseCase{"QuarterPhaseFourDivisions", 0.25, 4, {2.5, 5, 7.5, 10}},
                      PhaseCase{"TenthPhaseFourDivisions", 0.1, 4, {1, 3.5, 6, 8.5}},
                      PhaseCase{"OneDivisionAtTheEnd", 0.0, 1, {10}}, PhaseCase{"NoDivisions", 0.0, 0, {}}),
    [](const ::testing::TestParamInfo<PhaseCase>& i) { return std::string(i.param.pszName); });

TEST_F(MarkCase, AFractionOnASegmentBoundaryGivesOneMark)
{
    SetPath({0, 5, 10});
    d.pVM->GetSettings()->nDivisions = 2;
    const auto tips = ArrowTips();
    ASSERT_EQ(tips.size(), 2u);
    EXPECT_DOUBLE_EQ(tips[0].first, 5.0);
}

TEST_F(MarkCase, SegmentsAndPathsOfNoLengthTakeNoMark)
{
    // A repeated point: its zero-length segment passes its fractions on.
    SetPath({0, 0, 10});
    d.pVM->GetSettings()->nDivisions = 4;
    EXPECT_EQ(ArrowTips().size(), 4u);
    SetPath({3, 3});
    EXPECT_TRUE(ArrowTips().empty());
    SetPath({3});
    EXPECT_TRUE(ArrowTips().empty());
}

TEST_F(MarkCase, TubesOrMarksOffGiveNoMarks)
{
    SetPath({0, 10});
    d.pVM->GetSettings()->nPathType = 1;
    EXPECT_TRUE(ArrowTips().empty());
    d.pVM->GetSettings()->nPathType = 0;
    d.pVM->GetSettings()->bMarksOn = 0;
    EXPECT_TRUE(ArrowTips().empty());
}

TEST_F(MarkCase, ConeApexHalfARadiusAheadBaseOneAndAHalfBehind)
{
    const double L = 100.0;
    d.pVM->GetSettings()->dSymbolScale = 2.0;
    const double r = L / 100.0 * 2.0 * 0.6;
    vtkNew<vtkCellArray> cells;
    vtkNew<vtkPoints> pts;
    vtkNew<vtkFloatArray> vals;
    double dir[3] = {1, 1, 1};
    double q[3] = {5, -2, 7};
    double v = 4.5;
    d.pVM->MakeConeSymbol(L, cells, pts, vals, dir, q, v);
    ASSERT_GT(pts->GetNumberOfPoints(), 0);
    const double u = 1.0 / std::sqrt(3.0);
    double tMin = 1e300, tMax = -1e300, radial = 0;
    for (vtkIdType i = 0; i < pts->GetNumberOfPoints(); ++i) {
        double p[3];
        pts->GetPoint(i, p);
        const double w[3] = {p[0] - q[0], p[1] - q[1], p[2] - q[2]};
        const double t = (w[0] + w[1] + w[2]) * u;
        tMin = std::min(tMin, t);
        tMax = std::max(tMax, t);
        radial = std::max(radial, std::sqrt(std::max(w[0] * w[0] + w[1] * w[1] + w[2] * w[2] - t * t, 0.0)));
        EXPECT_FLOAT_EQ(vals->GetValue(i), 4.5f);
    }
    // The cone source's points are single precision.
    EXPECT_NEAR(tMax, 0.5 * r, 1e-6 * r);
    EXPECT_NEAR(tMin, -1.5 * r, 1e-6 * r);
    EXPECT_NEAR(radial, 0.8 * r, 1e-6 * r);
}

TEST_F(MarkCase, SphereOfTheMarkRadius)
{
    const double L = 100.0;
    const double r = L / 100.0 * 0.6;
    vtkNew<vtkCellArray> cells;
    vtkNew<vtkPoints> pts;
    vtkNew<vtkFloatArray> vals;
    double q[3] = {1, 2, 3};
    double v = 1.0;
    d.pVM->MakeRoundSymbol(L, cells, pts, vals, q, v);
    ASSERT_GT(cells->GetNumberOfCells(), 0);
    for (vtkIdType i = 0; i < pts->GetNumberOfPoints(); ++i) {
        double p[3];
        pts->GetPoint(i, p);
        EXPECT_NEAR(std::sqrt((p[0] - 1) * (p[0] - 1) + (p[1] - 2) * (p[1] - 2) + (p[2] - 3) * (p[2] - 3)), r, 1e-6 * r);
    }
}

TEST_F(MarkCase, ArrowHeadOpensBehindTheTipAndCollapsesOnAVerticalFlow)
{
    const double L = 70.0;
    const double h = L / 70.0 * 0.6;
    vtkNew<vtkCellArray> cells;
    vtkNew<vtkPoints> pts;
    vtkNew<vtkFloatArray> vals;
    double q[3] = {0, 0, 0};
    double v = 1.0;
    double east[3] = {2, 0, 0};
    d.pVM->MakeArrowVector(L, cells, pts, vals, east, q, v);
    ASSERT_EQ(pts->GetNumberOfPoints(), 3);
    // n = x cross z = -y: the wings at (-h, -+h, 0).
    double p1[3], p2[3];
    pts->GetPoint(1, p1);
    pts->GetPoint(2, p2);
    EXPECT_FLOAT_EQ(p1[0], -h);
    EXPECT_FLOAT_EQ(p1[1], -h);
    EXPECT_FLOAT_EQ(p2[1], h);
    double up[3] = {0, 0, 1};
    d.pVM->MakeArrowVector(L, cells, pts, vals, up, q, v);
    ASSERT_EQ(pts->GetNumberOfPoints(), 6);
    pts->GetPoint(4, p1);
    pts->GetPoint(5, p2);
    EXPECT_FLOAT_EQ(p1[2], -h);
    EXPECT_EQ(p1[0], p2[0]);
    EXPECT_EQ(p1[1], p2[1]);
    double none[3] = {0, 0, 0};
    d.pVM->MakeArrowVector(L, cells, pts, vals, none, q, v);
    EXPECT_EQ(pts->GetNumberOfPoints(), 6) << "no direction, no arrow";
}

TEST(FlowPathFrame, FirstAxisAlongTheSegmentAndAnOrthonormalFrameForVerticalAndZeroSegments)
{
    double s[3] = {1, 1, 1};
    for (const std::array<double, 3> e : {std::array<double, 3>{1, 1, 5}, std::array<double, 3>{4, -2, 3}}) {
        double end[3] = {e[0], e[1], e[2]};
        double F[3][3];
        ASSERT_EQ(CPVSVisualMethodGlbFlowPath::calcFrameLocalVector(s, end, 30.0, F), 1);
        const double l = std::sqrt((e[0] - 1) * (e[0] - 1) + (e[1] - 1) * (e[1] - 1) + (e[2] - 1) * (e[2] - 1));
        for (int k = 0; k < 3; ++k)
            EXPECT_NEAR(F[0][k], (e[k] - 1) / l, 1e-15);
        for (int a = 0; a < 3; ++a)
            for (int b = 0; b < 3; ++b)
                EXPECT_NEAR(F[a][0] * F[b][0] + F[a][1] * F[b][1] + F[a][2] * F[b][2], a == b ? 1.0 : 0.0, 1e-14);
    }
    double F[3][3];
    EXPECT_EQ(CPVSVisualMethodGlbFlowPath::calcFrameLocalVector(s, s, 0.0, F), 0);
}

} // namespace
