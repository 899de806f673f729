// Pile tips: which piles give a symbol, at which node and with which value, the symbol size
// from the model box, and which elements are drawn inactive.
#include "visualdata/CPVSVisualDataPileTipElement.h"

#include "PVSMeshMngrBrdgBase.h"
#include "PVSModelData.h"
#include "PostCtrlBase.h"
#include "PostCtrlGeoTech.h"

#include <gtest/gtest.h>
#include <gp_Pnt.hxx>
#include <vtkSmartPointer.h>
#include <vtkUnstructuredGrid.h>

#include <memory>

namespace {

class PileTips : public ::testing::Test {
protected:
    void SetUp() override
    {
        CZORDocBase::SetCurDoc(&doc);
        CClassNode nodes(doc.GetModelDB());
        for (int i = 0; i < 6; ++i) {
            T_NODE_D n;
            n.dXyz[0] = 5.0 * i;
            n.dXyz[2] = -1.0 * i;
            nodes.Add(n);
        }
        CClassElem elems(doc.GetModelDB());
        auto element = [&](int nType, unsigned int a, unsigned int b) {
            T_ELEM_D e;
            e.nType = nType;
            e.nCellType = 3;
            e.aNodeK.Add(a);
            e.aNodeK.Add(b);
            return elems.Add(e);
        };
        pile1 = element(60, 1, 2);
        beam = element(5, 2, 3);
        pile2 = element(60, 3, 4);
        pile3 = element(60, 5, 4);
        pile4 = element(60, 5, 6);
        ctrl = std::make_shared<CPostCtrlGeoTech>();
        CPDataBaseNeutral::SetPostCtrl(doc.GetPostDB(), ctrl);
        T_PENGR_D engr;
        engr.nKind = 2;
        T_PVTIF_D row;
        row.nEngrK = CClassPEngr(doc.GetPostDB()).Add(engr);
        row.nQuantity = 21;
        row.nCompCode = 1;
        rowK = CClassPVtif(doc.GetPostDB()).Add(row);
        CPVSVisualDataBase::ResetVDataStatics();
    }
    void TearDown() override { CZORDocBase::SetCurDoc(nullptr); }

    CDBDoc doc;
    std::shared_ptr<CPostCtrlGeoTech> ctrl;
    unsigned int pile1 = 0, beam = 0, pile2 = 0, pile3 = 0, pile4 = 0, rowK = 0;
};

} // namespace

// Component 1 is the record's element 2. Pile 2 and 3 end at node 4 (the later wins); pile 4
// has tip 0 and pile 1 a record too short for component 1.
TEST_F(PileTips, LaterPileOnOneTipWinsAndTipsAtOrBelowZeroGiveNoSymbol)
{
    ctrl->SetPile(pile1, {2.0, 10.0});
    ctrl->SetPile(pile2, {4.0, 1.0, -3.5});
    ctrl->SetPile(pile3, {4.0, 1.0, 7.25});
    ctrl->SetPile(pile4, {0.0, 1.0, 99.0});
    T_VD_PARAM_D p{&doc, rowK, 0, nullptr, 0};
    CPVSVisualDataPileTipElement vd(p);
    ASSERT_EQ(vd.MakeVData(nullptr, nullptr, 0), 1);
    EXPECT_EQ(ctrl->GetSeqIdInfo()->GetSeqIdNode(4), 4);
    double v = 123.0;
    EXPECT_EQ(vd.GetScalar(4, v, 0), 1);
    EXPECT_EQ(v, 7.25);
    v = 123.0;
    EXPECT_EQ(vd.GetScalar(2, v, 0), 0) << "component outside the record";
    EXPECT_EQ(vd.GetScalar(0, v, 0), 0) << "tip 0";
    EXPECT_EQ(v, 123.0);
    EXPECT_EQ(CPVSVisualDataBase::m_dVDataRsltMin, -3.5) << "both piles on node 4 enter the range";
    EXPECT_EQ(CPVSVisualDataBase::m_dVDataRsltMax, 7.25) << "tip-0 pile's 99 stays out";

    // Model box 25 x 0 x 5 (from the bridge): size 25 x 0.0333333 x 2.
    CPVSMeshMngrBrdgBase bridge;
    const double b[6] = {0, 25, 0, 0, -5, 0};
    bridge.SetBounds(b);
    CPostVisualState::Instance()->GetCurrentPE()->dSymbolScale = 2.0;
    CPostVisualState::Instance()->GetCurrentPE()->nInactiveDisp = 3;
    T_MD_PARAM_D mp;
    CPVSModelDataFEM md(mp, &doc);
    auto grid = vtkSmartPointer<vtkUnstructuredGrid>::New();
    auto inactive = vtkSmartPointer<vtkUnstructuredGrid>::New();
    CArray<unsigned int, unsigned int> aKey;
    CArray<gp_Pnt, gp_Pnt&> aPnt;
    CArray<double, double&> aVal;
    float fSize = 0.0f;
    ASSERT_EQ(vd.MakeVGeomData(grid, nullptr, nullptr, nullptr, &md, nullptr, nullptr, inactive, nullptr, aKey, aPnt,
                               aVal, &fSize),
              1);
    CPostVisualState::Instance()->GetCurrentPE()->dSymbolScale = 1.0;
    CPostVisualState::Instance()->GetCurrentPE()->nInactiveDisp = 1;
    EXPECT_EQ(fSize, static_cast<float>(25.0 * 0.0333333 * 2.0));
    ASSERT_EQ(aPnt.GetSize(), 1);
    EXPECT_EQ(aPnt[0].X(), 15.0);
    EXPECT_EQ(aPnt[0].Z(), -3.0);
    EXPECT_EQ(aVal[0], 7.25);
    ASSERT_EQ(aKey.GetSize(), 4) << "every pile, tip 0 included, is drawn as a pile";
    EXPECT_EQ(aKey[3], pile4);
    EXPECT_EQ(vd.m_nInactiveStyle, 2);
    EXPECT_EQ(vd.m_nInactiveCount, 1) << "only the beam";
    EXPECT_EQ(grid->GetNumberOfPoints(), 0);
}

TEST_F(PileTips, SolverNodeNumbersLeadToTheSymbol)
{
    ctrl->SetPile(pile2, {40.0, 0.0, 2.0});
    ctrl->GetSeqIdInfo()->SetNode(4, 40);
    T_VD_PARAM_D p{&doc, rowK, 0, nullptr, 0};
    CPVSVisualDataPileTipElement vd(p);
    ASSERT_EQ(vd.MakeVData(nullptr, nullptr, 0), 1);
    T_MD_PARAM_D mp;
    CPVSModelDataFEM md(mp, &doc);
    auto grid = vtkSmartPointer<vtkUnstructuredGrid>::New();
    CArray<unsigned int, unsigned int> aKey;
    CArray<gp_Pnt, gp_Pnt&> aPnt;
    CArray<double, double&> aVal;
    float fSize = -1.0f;
    ASSERT_EQ(vd.MakeVGeomData(grid, nullptr, nullptr, nullptr, &md, nullptr, nullptr, nullptr, nullptr, aKey, aPnt,
                               aVal, &fSize),
              1);
    ASSERT_EQ(aPnt.GetSize(), 1);
    EXPECT_EQ(aPnt[0].X(), 15.0);
    EXPECT_EQ(aVal[0], 2.0);
    EXPECT_EQ(vd.m_nInactiveStyle, 0) << "no inactive data set given";
    EXPECT_EQ(ctrl->GetQueryDepth(), 0);
}

TEST_F(PileTips, NoPilesMissingRowOrModelGiveFailure)
{
    T_VD_PARAM_D missing{&doc, 999, 0, nullptr, 0};
    CPVSVisualDataPileTipElement noRow(missing);
    EXPECT_EQ(noRow.MakeVData(nullptr, nullptr, 0), 0);
    double v = 1.0;
    EXPECT_EQ(noRow.GetScalar(4, v, 0), 0);

    CClassElem elems(doc.GetModelDB());
    for (unsigned int k : {pile1, pile2, pile3, pile4})
        elems.Delete(k);
    T_VD_PARAM_D p{&doc, rowK, 0, nullptr, 0};
    CPVSVisualDataPileTipElement noPiles(p);
    EXPECT_EQ(noPiles.MakeVData(nullptr, nullptr, 0), 0);
    EXPECT_EQ(noPiles.GetVisualMethodType(nullptr), 14);
    CArray<unsigned int, unsigned int> aKey;
    CArray<gp_Pnt, gp_Pnt&> aPnt;
    CArray<double, double&> aVal;
    float f = 0.0f;
    auto grid = vtkSmartPointer<vtkUnstructuredGrid>::New();
    EXPECT_EQ(noPiles.MakeVGeomData(grid, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, aKey,
                                    aPnt, aVal, &f),
              0);
}
