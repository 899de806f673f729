// Nodal seepage: the method by the row's sub-type, the vector by its display type, the node
// values as a contour grid whose points are exactly the nodes with values, and the texts.
#include "visualdata/CPVSVisualDataNodeSepg.h"

#include "DBDoc.h"
#include "DBModelRecords.h"
#include "PVSModelData.h"

#include <gtest/gtest.h>
#include <vtkCell.h>
#include <vtkDataArray.h>
#include <vtkPointData.h>
#include <vtkSmartPointer.h>
#include <vtkUnstructuredGrid.h>

#include <memory>
#include <string>
#include <vector>

namespace {

CArray<int, int>* const kNoList = nullptr;

// Six nodes along x; a quadrilateral (kind 1) on nodes 1-4, a second one (kind 8) on nodes 3-6
// and a line (kind 3, not a contour kind) on nodes 1-2. Node values: node i (from 1) has
// runs of the row's length, except where a test leaves a node out.
class NodeSeepage : public ::testing::Test {
protected:
    void SetUp() override
    {
        CZORDocBase::SetCurDoc(&doc);
        CClassNode nodes(doc.GetModelDB());
        for (int i = 0; i < 6; ++i) {
            T_NODE_D n;
            n.dXyz[0] = i;
            n.dXyz[1] = i % 2;
            nodeK.push_back(nodes.Add(n));
        }
        CClassElem elems(doc.GetModelDB());
        auto add = [&](int nType, int nCell, std::vector<int> idx) {
            T_ELEM_D e;
            e.nType = nType;
            e.nCellType = nCell;
            for (int i : idx)
                e.aNodeK.Add(nodeK[static_cast<std::size_t>(i)]);
            return elems.Add(e);
        };
        quad1 = add(1, 9, {0, 1, 3, 2});
        quad2 = add(8, 9, {2, 3, 5, 4});
        line = add(3, 3, {0, 1});
        CPVSVisualDataBase::ResetVDataStatics();
        T_MD_PARAM_D md;
        md.bFlag = 1;
        model = std::make_unique<CPVSModelDataFEM>(md, &doc);
    }
    void TearDown() override { CZORDocBase::SetCurDoc(nullptr); }

    // A node row: sub-type, display type, component codes, and per node its run (empty: none).
    unsigned int AddRow(int nQuantity, int nDispType, std::vector<unsigned int> comps,
                        const std::vector<std::vector<double>>& runs)
    {
        T_PENGR_D e;
        e.nKind = 1;
        T_PVTIF_D r;
        r.nEngrK = CClassPEngr(doc.GetPostDB()).Add(e);
        r.nQuantity = nQuantity;
        r.nDispType = nDispType;
        r.nResultClass = 38;
        for (unsigned int c : comps)
            r.aComp.Add(c);
        const unsigned int k = CClassPVtif(doc.GetPostDB()).Add(r);
        T_PVAL_D v;
        for (std::size_t i = 0; i < runs.size(); ++i)
            if (!runs[i].empty())
                v.Append(nodeK[i], runs[i].data(), static_cast<int>(runs[i].size()));
        CClassPVal(doc.GetPostDB()).Set(k, v);
        return k;
    }
    std::unique_ptr<CPVSVisualDataNodeSepg> Make(unsigned int nRowK)
    {
        T_VD_PARAM_D p;
        p.pDoc = &doc;
        p.nPVtifK = nRowK;
        return std::make_unique<CPVSVisualDataNodeSepg>(p);
    }
    static std::vector<std::vector<double>> Heads() { return {{1}, {2}, {3}, {4}, {5}, {6}}; }

    CDBDoc doc;
    std::vector<unsigned int> nodeK;
    unsigned int quad1 = 0, quad2 = 0, line = 0;
    std::unique_ptr<CPVSModelDataFEM> model;
    T_PVIST_ALL_D vs;
    T_PVIST_ANIM_D as;
};

TEST_F(NodeSeepage, MethodTypeBySubType)
{
    for (int q = -1; q <= 20; ++q) {
        const bool contour = q == 1 || q == 2 || q == 4 || q == 5 || q == 7 || q == 8 || q == 9 || q == 16 || q == 17;
        EXPECT_EQ(Make(AddRow(q, 0, {}, Heads()))->GetVisualMethodType(&vs), contour ? 1 : 0) << "sub-type " << q;
    }
    EXPECT_EQ(Make(12345)->GetVisualMethodType(&vs), 0) << "missing row";
}

TEST_F(NodeSeepage, ValuesRangeAndFlaggedMaximum)
{
    auto vd = Make(AddRow(1, 0, {}, {{1}, {-2}, {}, {4}, {5}, {6}}));
    ASSERT_EQ(vd->MakeVData(&vs, &as, 0), 1);
    EXPECT_EQ(CPVSVisualDataBase::m_dVDataRsltMin, -2.0);
    EXPECT_EQ(CPVSVisualDataBase::m_dVDataRsltMax, 6.0);
    double v = 0;
    EXPECT_EQ(vd->GetScalar(nodeK[1], v, 0), 1);
    EXPECT_EQ(v, -2.0);
    CPVSVisualDataBase::ResetVDataStatics();
    CPVSVisualDataBase::m_dVDataDispMax = 5.5;
    ASSERT_EQ(vd->MakeVData(&vs, &as, 1), 1);
    EXPECT_EQ(CPVSVisualDataBase::m_dVDataDispMax, 6.0);
    EXPECT_FALSE(CPVSVisualDataBase::m_bVDataRsltSet);
    EXPECT_EQ(Make(AddRow(1, 0, {}, {}))->MakeVData(&vs, &as, 0), 0) << "no values at all";
}

TEST_F(NodeSeepage, ScalarFallbacksOfANodeWithoutValues)
{
    auto vd = Make(AddRow(1, 0, {}, {{1}, {2}, {}, {4}, {5}, {6}}));
    ASSERT_EQ(vd->MakeVData(&vs, &as, 0), 1);
    double v = -7;
    for (int mode : {4, 5, 6}) {
        EXPECT_EQ(vd->GetScalar(nodeK[2], v, mode), 0);
        EXPECT_EQ(v, -7.0) << "unchanged";
    }
    EXPECT_EQ(vd->GetScalar(nodeK[2], v, 1), 1);
    EXPECT_EQ(v, 1.0);
    EXPECT_EQ(vd->GetScalar(nodeK[2], v, 2), 1);
    EXPECT_EQ(v, 6.0);
    for (int mode : {0, 3, 9}) {
        v = -7;
        EXPECT_EQ(vd->GetScalar(nodeK[2], v, mode), 1);
        EXPECT_EQ(v, 0.0);
    }
}

struct VectorCase {
    const char* name;
    int nDispType;
    std::vector<double> run;      // of every node
    unsigned int nDispComp;       // the display's component code
    int nResult;
    std::vector<double> want;
};

class NodeSeepageVector : public NodeSeepage, public ::testing::WithParamInterface<VectorCase> {};

TEST_P(NodeSeepageVector, ByDisplayType)
{
    const VectorCase& c = GetParam();
    auto vd = Make(AddRow(7, c.nDispType, {21, 22, 23}, std::vector<std::vector<double>>(6, c.run)));
    ASSERT_EQ(vd->MakeVData(&vs, &as, 0), 1);
    vd->SetDispCompCode(c.nDispComp);
    double v[3] = {9, 9, 9};
    EXPECT_EQ(vd->GetVector(nodeK[0], v, 0), c.nResult);
    EXPECT_EQ(std::vector<double>(v, v + 3), c.want);
}

INSTANTIATE_TEST_SUITE_P(
    Rows, NodeSeepageVector,
    ::testing::Values(VectorCase{"TotalAndComponents2", 2, {5, 3, 4, 0}, 0, 1, {3, 4, 0}},
                      VectorCase{"TotalAndComponents7", 7, {5, 3, 4, 0}, 0, 1, {3, 4, 0}},
                      VectorCase{"Type2NeedsFourValues", 2, {5}, 0, 0, {0, 0, 0}},
                      VectorCase{"OneComponentGoesToItsAxis", 1, {2.5}, 22, 1, {0, 2.5, 0}},
                      VectorCase{"NoMatchingCodeGivesZero", 1, {2.5}, 99, 1, {0, 0, 0}},
                      VectorCase{"Type1NeedsOneValue", 1, {5, 3, 4, 0}, 22, 0, {0, 0, 0}},
                      VectorCase{"OtherDisplayType", 3, {5, 3, 4, 0}, 0, 0, {0, 0, 0}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(NodeSeepage, GridHasConsecutivePointsOfTheNodesWithValues)
{
    auto vd = Make(AddRow(1, 0, {}, {{1}, {2}, {}, {4}, {5}, {6}}));
    ASSERT_EQ(vd->MakeVData(&vs, &as, 0), 1);
    vs.nScalarOption = 4; // a node without values is left out
    auto g = vtkSmartPointer<vtkUnstructuredGrid>::New();
    ASSERT_EQ(vd->MakeVGeomData(g, &vs, &as, nullptr, model.get(), nullptr, nullptr, kNoList, kNoList), 1);
    ASSERT_EQ(g->GetNumberOfPoints(), 5);
    ASSERT_EQ(g->GetPointData()->GetScalars()->GetNumberOfTuples(), 5);
    const double want[5] = {1, 2, 4, 5, 6};
    const int node[5] = {0, 1, 3, 4, 5};
    for (int i = 0; i < 5; ++i) {
        EXPECT_EQ(g->GetPointData()->GetScalars()->GetComponent(i, 0), want[i]);
        EXPECT_EQ(g->GetPoint(i)[0], node[i]);
    }
    // Bounds are those of the nodes drawn: nothing undefined past the last point.
    double b[6];
    g->GetBounds(b);
    EXPECT_EQ(b[0], 0.0);
    EXPECT_EQ(b[1], 5.0);
    EXPECT_EQ(b[2], 0.0);
    EXPECT_EQ(b[3], 1.0);
    EXPECT_EQ(b[4], 0.0);
    EXPECT_EQ(b[5], 0.0);
    // Both quadrilaterals touch node 3; the line is not a contour kind.
    EXPECT_EQ(g->GetNumberOfCells(), 0);

    vs.nScalarOption = 0; // drawn with the fallback 0: every node, both quadrilaterals
    auto h = vtkSmartPointer<vtkUnstructuredGrid>::New();
    ASSERT_EQ(vd->MakeVGeomData(h, &vs, &as, nullptr, model.get(), nullptr, nullptr, kNoList, kNoList), 1);
    EXPECT_EQ(h->GetNumberOfPoints(), 6);
    ASSERT_EQ(h->GetNumberOfCells(), 2);
    EXPECT_EQ(h->GetCell(1)->GetPointId(3), 4);
}

TEST_F(NodeSeepage, LineDataSetGetsTheElementsCells)
{
    auto vd = Make(AddRow(1, 0, {}, Heads()));
    ASSERT_EQ(vd->MakeVData(&vs, &as, 0), 1);
    auto g = vtkSmartPointer<vtkUnstructuredGrid>::New();
    auto l = vtkSmartPointer<vtkUnstructuredGrid>::New();
    ASSERT_EQ(vd->MakeVGeomData(g, &vs, &as, nullptr, model.get(), nullptr, nullptr, nullptr, l), 1);
    EXPECT_EQ(g->GetNumberOfCells(), 2);
    EXPECT_EQ(l->GetNumberOfCells(), 2);
    EXPECT_EQ(vd->MakeVGeomData(nullptr, &vs, &as, nullptr, model.get(), nullptr, nullptr, nullptr, l), 0);
}

TEST_F(NodeSeepage, LabelsToolTipAndProbe)
{
    auto vd = Make(AddRow(7, 2, {}, {{5, 3, 4, 0}, {}, {1}, {1}, {1}, {1}}));
    ASSERT_EQ(vd->MakeVData(&vs, &as, 0), 1);
    CArray<CString, CString&> a;
    ASSERT_EQ(vd->GetPostOutput4ToolTip(1, nodeK[0], a), 1);
    ASSERT_EQ(a.GetSize(), 5);
    EXPECT_EQ(std::string(a[0]), "Node No. " + std::to_string(nodeK[0]));
    EXPECT_EQ(std::string(a[1]), "Total Value : 5");
    EXPECT_EQ(std::string(a[4]), "Z Value : 0");
    ASSERT_EQ(vd->GetPostOutput4ToolTip(1, nodeK[2], a), 1);
    ASSERT_EQ(a.GetSize(), 2);
    EXPECT_EQ(std::string(a[1]), "Value : 1");
    EXPECT_EQ(vd->GetPostOutput4ToolTip(2, nodeK[0], a), 0);
    EXPECT_EQ(vd->GetPostOutput4ToolTip(1, nodeK[1], a), 0);
    ASSERT_EQ(vd->GetPostOutput4Probe(1, nodeK[0], a, 0), 1);
    ASSERT_EQ(a.GetSize(), 1);
    EXPECT_EQ(std::string(a[0]), "5");
    EXPECT_EQ(vd->GetPostOutput4Probe(2, nodeK[0], a, 0), 0);

    CArray<T_VD_TEXT_PARAM_D, T_VD_TEXT_PARAM_D&> t;
    EXPECT_EQ(vd->MakeVTextData(t, &vs), 0); // no model data
    vs.vals.nDecimal = 1;
    vs.nScalarOption = 6;
    ASSERT_EQ(vd->MakeVTextData(t, &vs, model.get()), 1);
    ASSERT_EQ(t.GetSize(), 5);
    EXPECT_EQ(std::string(t[0].strText), "5.0");
    EXPECT_EQ(t[1].dPos[0], 2.0);
}

} // namespace
