// Nodal history plot as a picture: points on the undeformed or deformed shape, cells of the
// elements whose nodes all have points, line contours of two-node elements, value labels, and
// the value at a step against the engine's nodal displacement function on the sample.
#include "visualdata/CPVSVisualDataHistoryPlotTKVR.h"

#include "timehistory/CPVSTHEngine.h"

#include "DBDoc.h"
#include "PostGeneralTable.h"
#include "PVSModelData.h"
#include "SampleDynamics.h"
#include "SampleProject.h"
#include "SampleSchema.h"
#include "THResultBuilder.h"

#include <gtest/gtest.h>
#include <vtkCell.h>
#include <vtkDataArray.h>
#include <vtkPointData.h>
#include <vtkSmartPointer.h>
#include <vtkUnstructuredGrid.h>

#include <array>
#include <memory>
#include <string>
#include <vector>

namespace {

constexpr unsigned kAcas = 3;
using P3 = std::array<double, 3>;

// A unit square (quadrilateral 1-2-3-4) and a line from its corner 2 to node 5; nodes 1-4 move
// at step 1 by (3, 4, 0) times their number, node 5 has no history.
class NodalPlotPicture : public ::testing::Test {
protected:
    void SetUp() override
    {
        CZORDocBase::SetCurDoc(&doc);
        CClassNode nodes(doc.GetModelDB());
        for (const P3& p : xyz) {
            T_NODE_D n;
            for (int c = 0; c < 3; ++c)
                n.dXyz[c] = p[static_cast<std::size_t>(c)];
            nodeK.push_back(nodes.Add(n));
        }
        CClassElem elems(doc.GetModelDB());
        T_ELEM_D quad;
        quad.nCellType = 9;
        for (int i = 0; i < 4; ++i)
            quad.aNodeK.Add(nodeK[static_cast<std::size_t>(i)]);
        quadK = elems.Add(quad);
        T_ELEM_D line;
        line.nCellType = 3;
        line.aNodeK.Add(nodeK[1]);
        line.aNodeK.Add(nodeK[4]);
        lineK = elems.Add(line);
        builder = std::make_unique<CTHResultBuilder>(doc, kAcas, 1, 1, std::vector<double>{0.1, 0.2}, 1);
        for (int i = 0; i < 4; ++i) {
            std::vector<T_PDISP_D> h(2);
            h[1].dDx = 3.0 * (i + 1);
            h[1].dDy = 4.0 * (i + 1);
            builder->Data().nodeHistory[2][nodeK[static_cast<std::size_t>(i)]] = h;
        }
        CPVSVisualDataBase::ResetVDataStatics();
        T_MD_PARAM_D md;
        md.bFlag = 1;
        model = std::make_unique<CPVSModelDataFEM>(md, &doc);
    }
    void TearDown() override { CZORDocBase::SetCurDoc(nullptr); }

    std::unique_ptr<CPVSVisualDataHistoryPlotTKVR> Make(int bDeformed)
    {
        T_VD_HISTPLOT_TVCKVR_D rec;
        rec.Initialize();
        rec.m_nAcasKey = kAcas;
        rec.m_nComponent = 6;
        rec.m_nTimeStep = 1;
        rec.m_bDeformed = bDeformed;
        T_VD_PARAM_D p;
        p.pDoc = &doc;
        p.pUserDefData = &rec;
        auto vd = std::make_unique<CPVSVisualDataHistoryPlotTKVR>(3, p);
        EXPECT_EQ(vd->MakeVData(&vs, &as, 0), 1);
        return vd;
    }
    vtkSmartPointer<vtkUnstructuredGrid> Geometry(CPVSVisualDataHistoryPlotTKVR& vd)
    {
        auto g = vtkSmartPointer<vtkUnstructuredGrid>::New();
        EXPECT_EQ(vd.MakeVGeomData(g, &vs, &as, nullptr, model.get(), nullptr, nullptr, nullptr, nullptr), 1);
        return g;
    }
    static P3 Point(vtkUnstructuredGrid* g, vtkIdType i)
    {
        P3 p;
        g->GetPoint(i, p.data());
        return p;
    }

    CDBDoc doc;
    const std::vector<P3> xyz = {{0, 0, 0}, {1, 0, 0}, {1, 1, 0}, {0, 1, 0}, {2, 0, 0}};
    std::vector<unsigned int> nodeK;
    unsigned int quadK = 0, lineK = 0;
    std::unique_ptr<CTHResultBuilder> builder;
    std::unique_ptr<CPVSModelDataFEM> model;
    T_PVIST_ALL_D vs;
    T_PVIST_ANIM_D as;
};

TEST_F(NodalPlotPicture, UndeformedShapeWhateverTheScale)
{
    vs.dDeformScale = 7.0;
    auto vd = Make(0);
    auto g = Geometry(*vd);
    ASSERT_EQ(g->GetNumberOfPoints(), 5); // option 0: node 5 drawn with the fallback 0
    for (vtkIdType i = 0; i < 5; ++i)
        EXPECT_EQ(Point(g, i), xyz[static_cast<std::size_t>(i)]) << i;
    vtkDataArray* s = g->GetPointData()->GetScalars();
    ASSERT_TRUE(s);
    for (int i = 0; i < 4; ++i)
        EXPECT_DOUBLE_EQ(s->GetComponent(i, 0), 5.0 * (i + 1)) << i; // |(3, 4, 0)| (i + 1)
    EXPECT_EQ(s->GetComponent(4, 0), 0.0);
    ASSERT_EQ(g->GetNumberOfCells(), 2);
    EXPECT_EQ(g->GetCellType(0), 9);
    EXPECT_EQ(g->GetCellType(1), 3);
}

TEST_F(NodalPlotPicture, DeformedShapeMovesByTheVector)
{
    vs.dDeformScale = 2.0;
    auto vd = Make(1);
    CPVSVisualDataBase::m_dVDataDispFactor = 0.5;
    auto g = Geometry(*vd);
    // Factor x scale = 1: node i (from 0) moves by (3, 4, 0)(i + 1); node 5 has no vector.
    for (int i = 0; i < 4; ++i) {
        const P3& x = xyz[static_cast<std::size_t>(i)];
        EXPECT_EQ(Point(g, i), (P3{x[0] + 3.0 * (i + 1), x[1] + 4.0 * (i + 1), 0.0})) << i;
    }
    EXPECT_EQ(Point(g, 4), xyz[4]);

    vs.bRealDeform = 1; // the real deformation ignores the display factor
    g = Geometry(*vd);
    EXPECT_EQ(Point(g, 1), (P3{1.0 + 2.0 * 6.0, 2.0 * 8.0, 0.0}));

    vs.bRealDeform = 0;
    as.bAnimate = 1;
    as.dPhase = 0.25; // a quarter of the way: moves and values scaled alike
    g = Geometry(*vd);
    EXPECT_EQ(Point(g, 0), (P3{0.75, 1.0, 0.0}));
    EXPECT_DOUBLE_EQ(g->GetPointData()->GetScalars()->GetComponent(0, 0), 1.25);
}

TEST_F(NodalPlotPicture, NodesWithoutValueTakeNoPointAndTheirElementsNoCell)
{
    vs.nScalarOption = 4;
    auto vd = Make(0);
    auto g = Geometry(*vd);
    ASSERT_EQ(g->GetNumberOfPoints(), 4);
    ASSERT_EQ(g->GetNumberOfCells(), 1); // the line reaches node 5
    vtkCell* c = g->GetCell(0);
    for (vtkIdType k = 0; k < 4; ++k)
        EXPECT_EQ(c->GetPointId(k), k);
    EXPECT_EQ(vd->m_aLineContour.GetSize(), 0);
}

TEST_F(NodalPlotPicture, TwoNodeElementHandsItsEndValuesToTheLineContour)
{
    auto vd = Make(0);
    Geometry(*vd);
    ASSERT_EQ(vd->m_aLineContour.GetSize(), 1);
    EXPECT_EQ(vd->m_aLineContour[0].nElemK, lineK);
    EXPECT_DOUBLE_EQ(vd->m_aLineContour[0].dVal[0], 10.0);
    EXPECT_EQ(vd->m_aLineContour[0].dVal[1], 0.0);
}

TEST_F(NodalPlotPicture, EmptyModelBuildsNothingAndMissingInputsFail)
{
    auto vd = Make(0);
    auto g = vtkSmartPointer<vtkUnstructuredGrid>::New();
    EXPECT_EQ(vd->MakeVGeomData(nullptr, &vs, &as, nullptr, model.get(), nullptr, nullptr, nullptr, nullptr), 0);
    EXPECT_EQ(vd->MakeVGeomData(g, &vs, &as, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr), 0);
    CDBDoc empty;
    T_MD_PARAM_D md;
    CPVSModelDataFEM none(md, &empty);
    EXPECT_EQ(vd->MakeVGeomData(nullptr, &vs, &as, nullptr, &none, nullptr, nullptr, nullptr, nullptr), 1);
    EXPECT_EQ(g->GetNumberOfPoints(), 0);
}

TEST_F(NodalPlotPicture, ProgressStepsAfterReadNodes)
{
    auto& runs = ICustomPostDB::Instance()->m_aProgress;
    const std::size_t before = runs.size();
    Make(0);
    ASSERT_EQ(runs.size(), before + 1);
    // Five nodes, five steps of stride 1; nodes 1 to 3 (from 0) are read after the mark, node 4
    // has no record and takes no step.
    EXPECT_EQ(runs.back().nSteps, 5);
    EXPECT_EQ(runs.back().nAdvanced, 3);
    EXPECT_TRUE(runs.back().bEnded);
}

TEST_F(NodalPlotPicture, ValueLabelsInTheStatesFormat)
{
    auto vd = Make(0);
    CArray<T_VD_TEXT_PARAM_D, T_VD_TEXT_PARAM_D&> a;
    EXPECT_EQ(vd->MakeVTextData(a, &vs), 0); // no model data yet
    vd->SetModelData(model.get());
    vs.vals.nDecimal = 2;
    ASSERT_EQ(vd->MakeVTextData(a, &vs), 1);
    ASSERT_EQ(a.GetSize(), 5);
    EXPECT_EQ(std::string(a[1].strText), "10.00");
    EXPECT_EQ(a[2].dPos[0], 1.0);
    EXPECT_EQ(a[2].dPos[1], 1.0);
    EXPECT_EQ(std::string(a[4].strText), "0.00");
    vs.vals.bExponential = 1;
    vs.nScalarOption = 5;
    ASSERT_EQ(vd->MakeVTextData(a, &vs), 1);
    ASSERT_EQ(a.GetSize(), 4);
    EXPECT_EQ(std::string(a[3].strText), "2.00e+01");
}

// On the sample's shaking, the plot at step k shows entry k of the stored nodal function's
// series (both in output units), for displacement, velocity and acceleration.
TEST(NodalPlotOnTheSample, StepValueIsTheFunctionsEntry)
{
    CDBDoc doc;
    kvpvs::sample::SampleSummary sample;
    ASSERT_TRUE(kvpvs::sample::BuildSampleProject(doc, kvpvs::sample::SampleOptions(), sample));
    CZORDocBase::SetCurDoc(&doc);
    kvpvs::sample::DynamicsOptions opt;
    opt.nSteps = 12;
    kvpvs::sample::DynamicsSummary dyn;
    ASSERT_TRUE(kvpvs::sample::BuildSampleDynamics(doc, opt, dyn));
    CPVSTHEngine engine;
    for (int nType = 0; nType <= 2; ++nType)
        for (int nComp : {0, 2}) {
            T_THRD_D s;
            s.nCode = 0;
            s.nResultKind = nType;
            s.nComponent = nComp;
            s.nEntityK = dyn.nNodeK;
            s.nAcasK = kvpvs::sample::kAcasQuakeModal;
            CArray<double, double>* pSeries = engine.Run(&s);
            ASSERT_TRUE(pSeries);
            ASSERT_EQ(pSeries->GetSize(), opt.nSteps);
            double peak = 0.0;
            for (int k = 0; k < opt.nSteps; ++k)
                peak = std::max(peak, std::fabs((*pSeries)[k]));
            ASSERT_GT(peak, 0.0);
            for (int k : {0, 5, opt.nSteps - 1}) {
                T_VD_HISTPLOT_TVCKVR_D rec;
                rec.Initialize();
                rec.m_nAcasKey = kvpvs::sample::kAcasQuakeModal;
                rec.m_nResultType = nType;
                rec.m_nComponent = nComp;
                rec.m_nTimeStep = k;
                T_VD_PARAM_D p;
                p.pDoc = &doc;
                p.pUserDefData = &rec;
                CPVSVisualDataHistoryPlotTKVR vd(3, p);
                ASSERT_EQ(vd.MakeVData(nullptr, nullptr, 0), 1);
                double v = 0.0;
                ASSERT_EQ(vd.GetScalar(dyn.nNodeK, v, 4), 1);
                EXPECT_NEAR(v, (*pSeries)[k], 1e-12 * peak) << "type " << nType << ", component " << nComp << ", step " << k;
            }
        }
    CZORDocBase::SetCurDoc(nullptr);
}

} // namespace
