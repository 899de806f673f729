// The host's generic methods as pictures: contour codes 1, 2 and 4 draw the grid their visual
// data fills, point code 14 the symbols it lists, each coloured through the display's colour
// table; displays reached through the module's factory from a request or a result row.
#include "frame/IFactoryPVSImpl.h"
#include "visualdata/CPVSVisualDataHistoryPlotTKVR.h"
#include "visualdata/PVSUserDefRecords.h"

#include "DBDoc.h"
#include "DBModelRecords.h"
#include "PVSColorTable.h"
#include "PVSModelData.h"
#include "PVSRendererBase.h"
#include "THResultBuilder.h"
#include "UserDefDisplayHost.h"

#include <gtest/gtest.h>
#include <gp_Pnt.hxx>
#include <vtkDataArray.h>
#include <vtkDataSet.h>
#include <vtkLookupTable.h>
#include <vtkPointData.h>

#include <cmath>
#include <memory>
#include <string>
#include <vector>

namespace {

// Colour of a value in a blue-to-red table over [lo, hi] of n colours: the hue runs from
// 2/3 (blue) at lo to 0 (red) at hi, full saturation and value; each channel then follows the
// table's S-shaped ramp, 127.5 (1 + cos((1 - c) pi)), stored in 8 bits.
std::vector<double> BlueToRed(double v, double lo, double hi, int n)
{
    int i = static_cast<int>((v - lo) * (n / (hi - lo)));
    i = i < 0 ? 0 : (i >= n ? n - 1 : i);
    const double h = (2.0 / 3.0) * (1.0 - static_cast<double>(i) / (n - 1)) * 6.0; // sextant
    const int s = static_cast<int>(h);
    const double f = h - s;
    std::vector<double> rgb;
    switch (s) {
    case 0: rgb = {1, f, 0}; break;
    case 1: rgb = {1 - f, 1, 0}; break;
    case 2: rgb = {0, 1, f}; break;
    case 3: rgb = {0, 1 - f, 1}; break;
    default: rgb = {f, 0, 1}; break;
    }
    for (double& c : rgb)
        c = std::floor(127.5 * (1.0 + std::cos((1.0 - c) * 3.14159265358979323846))) / 255.0;
    return rgb;
}

// A square of two triangles and a line; node values 1 (node 1) to 4 (node 4).
class GenericPictures : public ::testing::Test {
protected:
    void SetUp() override
    {
        CZORDocBase::SetCurDoc(&doc);
        CClassNode nodes(doc.GetModelDB());
        const double xy[4][2] = {{0, 0}, {1, 0}, {1, 1}, {0, 1}};
        for (const auto& p : xy) {
            T_NODE_D n;
            n.dXyz[0] = p[0];
            n.dXyz[1] = p[1];
            nodeK.push_back(nodes.Add(n));
        }
        CClassElem elems(doc.GetModelDB());
        for (auto idx : {std::vector<int>{0, 1, 2}, std::vector<int>{0, 2, 3}}) {
            T_ELEM_D e;
            e.nType = 1;
            e.nCellType = 5;
            for (int i : idx)
                e.aNodeK.Add(nodeK[static_cast<std::size_t>(i)]);
            elems.Add(e);
        }
        CPVSVisualDataBase::ResetVDataStatics();
    }
    void TearDown() override { CZORDocBase::SetCurDoc(nullptr); }

    unsigned int AddSeepageRow(int nQuantity)
    {
        T_PENGR_D e;
        e.nKind = 1;
        T_PVTIF_D r;
        r.nEngrK = CClassPEngr(doc.GetPostDB()).Add(e);
        r.nQuantity = nQuantity;
        r.nResultClass = 38;
        r.nItem = 1;
        const unsigned int k = CClassPVtif(doc.GetPostDB()).Add(r);
        T_PVAL_D v;
        for (int i = 0; i < 4; ++i) {
            const double d = i + 1.0;
            v.Append(nodeK[static_cast<std::size_t>(i)], &d, 1);
        }
        CClassPVal(doc.GetPostDB()).Set(k, v);
        return k;
    }

    CDBDoc doc;
    IFactoryPVSImpl factory;
    std::vector<unsigned int> nodeK;
};

TEST_F(GenericPictures, SeepageRowDrawnThroughTheColourTable)
{
    CPVSRendererRecorder rec;
    kvpvs::host::CUserDefDisplayHost host(&rec);
    ASSERT_EQ(host.ShowRow(AddSeepageRow(2)), 1);
    EXPECT_STREQ(host.GetData()->GetRuntimeClass()->m_lpszClassName, "CPVSVisualDataNodeSepg");
    ASSERT_EQ(rec.m_aCalls.size(), 1u);
    const T_RENDER_CALL_D& c = rec.m_aCalls[0];
    EXPECT_EQ(c.nKind, T_RENDER_CALL_D::kTableDataSet);
    EXPECT_EQ(c.dRange[0], 1.0);
    EXPECT_EQ(c.dRange[1], 4.0);
    ASSERT_TRUE(c.pData);
    EXPECT_EQ(c.pData->GetNumberOfCells(), 2);
    ASSERT_EQ(c.aPointRgb.size(), 12u);
    vtkDataArray* s = c.pData->GetPointData()->GetScalars();
    for (int i = 0; i < 4; ++i) {
        const std::vector<double> want = BlueToRed(s->GetComponent(i, 0), 1.0, 4.0, 12);
        for (int k = 0; k < 3; ++k)
            EXPECT_NEAR(c.aPointRgb[static_cast<std::size_t>(3 * i + k)], want[static_cast<std::size_t>(k)], 1e-12)
                << "point " << i << " channel " << k;
    }
    // Lowest blue, highest red.
    EXPECT_NEAR(c.aPointRgb[2], 1.0, 1e-6);
    EXPECT_NEAR(c.aPointRgb[9], 1.0, 1e-6);
}

TEST_F(GenericPictures, SeepageRowOfAnotherSubTypeIsNotAContour)
{
    CPVSRendererRecorder rec;
    kvpvs::host::CUserDefDisplayHost host(&rec);
    host.ShowRow(AddSeepageRow(6)); // method code 0: recorded only
    for (const T_RENDER_CALL_D& c : rec.m_aCalls)
        EXPECT_NE(c.nKind, T_RENDER_CALL_D::kTableDataSet);
}

TEST_F(GenericPictures, LabelsFollowTheVisualState)
{
    CPVSRendererRecorder rec;
    kvpvs::host::CUserDefDisplayHost host(&rec);
    host.VisualState().vals.bShow = 1;
    host.VisualState().vals.nDecimal = 1;
    ASSERT_EQ(host.ShowRow(AddSeepageRow(2)), 1);
    ASSERT_EQ(rec.m_aCalls.size(), 2u);
    const T_RENDER_CALL_D& l = rec.m_aCalls[1];
    EXPECT_EQ(l.nKind, T_RENDER_CALL_D::kLabels);
    EXPECT_EQ(l.aText, (std::vector<std::string>{"1.0", "2.0", "3.0", "4.0"}));
}

TEST_F(GenericPictures, NodalHistoryPlotRequestShowsTheDeformedContour)
{
    CTHResultBuilder builder(doc, 4, 1, 1, std::vector<double>{0.1}, 1);
    for (int i = 0; i < 4; ++i) {
        std::vector<T_PDISP_D> h(1);
        h[0].dDz = -(i + 1.0);
        builder.Data().nodeHistory[2][nodeK[static_cast<std::size_t>(i)]] = h;
    }
    T_VD_HISTPLOT_TVCKVR_D plot;
    plot.Initialize();
    plot.m_nAcasKey = 4;
    plot.m_nComponent = 2;
    plot.m_bDeformed = 1;
    CPVSRendererRecorder rec;
    kvpvs::host::CUserDefDisplayHost host(&rec);
    host.VisualState().bRealDeform = 1;
    ASSERT_EQ(host.Show(T_PVS_DISPLAY_REQUEST_D{3, &plot, 1, 0, 0}), 1);
    ASSERT_EQ(rec.m_aCalls.size(), 1u);
    const T_RENDER_CALL_D& c = rec.m_aCalls[0];
    // The range runs from the statics' reset 0, which the plot only widens.
    EXPECT_EQ(c.dRange[0], -4.0);
    EXPECT_EQ(c.dRange[1], 0.0);
    ASSERT_EQ(c.pData->GetNumberOfPoints(), 4);
    for (vtkIdType i = 0; i < 4; ++i)
        EXPECT_EQ(c.pData->GetPoint(i)[2], -(i + 1.0));
}

TEST_F(GenericPictures, TypedRequestsOfTheStressAndNodalPlotsAreBuilt)
{
    T_VD_PARAM_D p;
    p.pDoc = &doc;
    for (unsigned int t : {3u, 7u}) {
        std::unique_ptr<CPVSVisualDataBase> vd(factory.CreateVisualDataByType(t, &p));
        ASSERT_TRUE(vd) << t;
        EXPECT_STREQ(vd->GetRuntimeClass()->m_lpszClassName,
                     t == 3 ? "CPVSVisualDataHistoryPlotTKVR" : "CPVSVisualDataHistoryPlotStrs");
    }
}

// Element values as the element contour shows them: each element its own points.
class ElemValues : public CPVSVisualDataElem {
public:
    using CPVSVisualDataElem::CPVSVisualDataElem;
    void Set(unsigned int nElemK, std::vector<double> v, double dCentre)
    {
        T_VSUL_DATA_D d;
        for (double x : v)
            d.aValue.Add(x);
        m_mVData.SetAt(static_cast<int>(nElemK), d);
        m_mElemCenterVal.SetAt(static_cast<int>(nElemK), dCentre);
        SetMinMaxVal(nElemK, dCentre, 1);
    }
};

TEST_F(GenericPictures, ElementContourAndCentreLabels)
{
    T_VD_PARAM_D p;
    p.pDoc = &doc;
    ElemValues vd(p);
    CArray<unsigned int, unsigned int> keys;
    CClassElem(doc.GetModelDB()).GetKeyList(keys);
    vd.Set(keys[1], {7, 8, 9}, 8);
    T_PVIST_ALL_D vs;
    vs.bAverage = 0;
    vs.vals.bShow = 1;
    T_PVIST_ANIM_D as;
    T_VM_PARAM_D mp;
    mp.pDoc = &doc;
    mp.pVData = &vd;
    mp.pVS = &vs;
    mp.pAS = &as;
    mp.nVMType = 2;
    CPVSVisualMethodDefault vm(mp);
    T_MD_PARAM_D md;
    md.bFlag = 1;
    vm.SetMDTCtrl(new CPVSModelDataFEM(md, &doc));
    ASSERT_EQ(vm.Process(), 1);
    CPVSRendererRecorder rec;
    ASSERT_EQ(vm.Render(&rec), 1);
    ASSERT_EQ(rec.m_aCalls.size(), 2u);
    const T_RENDER_CALL_D& c = rec.m_aCalls[0];
    ASSERT_EQ(c.pData->GetNumberOfCells(), 1);
    ASSERT_EQ(c.pData->GetNumberOfPoints(), 3);
    EXPECT_EQ(c.pData->GetPoint(2)[1], 1.0); // the element's third node (0, 1)
    EXPECT_EQ(c.pData->GetPointData()->GetScalars()->GetComponent(2, 0), 9.0);
    EXPECT_EQ(c.dRange[1], 9.0); // a flat range (8) is widened by 1
    ASSERT_EQ(rec.m_aCalls[1].aText.size(), 1u);
    EXPECT_EQ(rec.m_aCalls[1].aText[0], "8");
    EXPECT_NEAR(rec.m_aCalls[1].aPos[0].X(), 1.0 / 3.0, 1e-15);
}

// Symbols of a point display: two listed points with values.
class TwoSymbols : public CPVSVisualDataPointElement {
public:
    using CPVSVisualDataPointElement::CPVSVisualDataPointElement;
    using CPVSVisualDataPointElement::MakeVGeomData;
    int MakeVGeomData(vtkDataSet*, T_PVIST_ALL_D*, T_PVIST_ANIM_D*, CAnimationEngine*, CPVSModelDataBase*,
                      CArray<int, int>*, CArray<int, int>*, vtkDataSet*, vtkDataSet*,
                      CArray<unsigned int, unsigned int>& aKey, CArray<gp_Pnt, gp_Pnt&>& aPnt,
                      CArray<double, double&>& aVal, float* pSize) override
    {
        aKey.RemoveAll();
        aKey.Add(11u);
        gp_Pnt a(1, 2, 3), b(4, 5, 6);
        aPnt.Add(a);
        aPnt.Add(b);
        double v1 = -2.0, v2 = 6.0;
        aVal.Add(v1);
        aVal.Add(v2);
        *pSize = 0.5f;
        return 1;
    }
};

TEST_F(GenericPictures, PointSymbolsColouredByValue)
{
    T_VD_PARAM_D p;
    p.pDoc = &doc;
    TwoSymbols vd(p);
    T_PVIST_ALL_D vs;
    T_PVIST_ANIM_D as;
    T_VM_PARAM_D mp{&doc, 0, &vd, &vs, &as, 14, nullptr};
    std::unique_ptr<CPVSVisualMethodBase> vm(factory.CreateVisualMethod(&mp));
    ASSERT_TRUE(vm);
    auto* pm = dynamic_cast<CPVSVisualMethodPointElement*>(vm.get());
    ASSERT_TRUE(pm);
    T_MD_PARAM_D md;
    md.bFlag = 1;
    vm->SetMDTCtrl(new CPVSModelDataFEM(md, &doc));
    ASSERT_EQ(vm->Process(), 1);
    EXPECT_EQ(pm->GetSymbolSize(), 0.5f);
    EXPECT_EQ(pm->GetSymbolKeys().GetSize(), 1);
    CPVSRendererRecorder rec;
    ASSERT_EQ(vm->Render(&rec), 1);
    ASSERT_EQ(rec.m_aCalls.size(), 1u);
    const T_RENDER_CALL_D& c = rec.m_aCalls[0];
    ASSERT_EQ(c.pData->GetNumberOfPoints(), 2);
    EXPECT_EQ(c.pData->GetPoint(1)[2], 6.0);
    EXPECT_EQ(c.dRange[0], -2.0);
    EXPECT_EQ(c.dRange[1], 6.0);
    ASSERT_EQ(c.aPointRgb.size(), 6u);
    EXPECT_NEAR(c.aPointRgb[2], 1.0, 1e-6); // blue
    EXPECT_NEAR(c.aPointRgb[3], 1.0, 1e-6); // red
    EXPECT_NEAR(c.aPointRgb[5], 0.0, 1e-6);
}

TEST_F(GenericPictures, MethodWithoutDataOrModelDrawsNothing)
{
    T_PVIST_ALL_D vs;
    T_VM_PARAM_D mp;
    mp.pDoc = &doc;
    mp.pVS = &vs;
    mp.nVMType = 1;
    CPVSVisualMethodDefault vm(mp);
    EXPECT_EQ(vm.Process(), 1);
    CPVSRendererRecorder rec;
    EXPECT_EQ(vm.Render(&rec), 1);
    EXPECT_TRUE(rec.m_aCalls.empty());
}

} // namespace
