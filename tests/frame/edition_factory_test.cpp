// The other edition's factory, branch by branch: the row-driven choices (event codes first,
// diagrams, node and element sub-types with that edition's predicates), the type tables for
// visual data, methods, model data and settings records, and the colour table. Classes whose
// creators are not filled yet (line-event diagram, profile grid, event colour table) give null.
#include "frame/IFactoryWPLPVSImpl.h"
#include "visualdata/PVSUserDefRecords.h"

#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <ostream>
#include <string>

namespace {

struct EditionRow {
    const char* pszName;
    int nKind; // entity: 1 node, 2 element, other
    int nQuantity;
    int nDispType;
    int nDispType2;
    int nResultClass;
    unsigned int nItem;
    unsigned int nComp; // first of the component-code array
    int bVectAsData;
    const char* pszExpected;      // CreateVisualData
    const char* pszExpectedIso;   // CreateVisualDataByMutiIso
};

void PrintTo(const EditionRow& r, std::ostream* os) { *os << r.pszName; }

class EditionFactoryTest : public ::testing::Test {
protected:
    CDBDoc doc;
    IFactoryWPLPVSImpl factory;

    void SetUp() override { CZORDocBase::SetCurDoc(&doc); }
    void TearDown() override { CZORDocBase::SetCurDoc(nullptr); }

    unsigned int AddRow(const EditionRow& f)
    {
        T_PENGR_D e;
        e.nKind = f.nKind;
        T_PVTIF_D r;
        r.nEngrK = CClassPEngr(doc.GetPostDB()).Add(e);
        r.nQuantity = f.nQuantity;
        r.nDispType = f.nDispType;
        r.nDispType2 = f.nDispType2;
        r.nResultClass = f.nResultClass;
        r.nItem = f.nItem;
        r.nCompCode = f.nComp;
        r.aComp.Add(f.nComp);
        return CClassPVtif(doc.GetPostDB()).Add(r);
    }

    static std::string Describe(CPVSVisualDataBase* p)
    {
        std::unique_ptr<CPVSVisualDataBase> owned(p);
        if (!p)
            return "null";
        std::string name = p->GetRuntimeClass()->m_lpszClassName;
        if (auto* v = dynamic_cast<CPVSVisualDataCustomVectPlot*>(p))
            name += "/" + std::to_string(v->GetMode());
        return name;
    }
};

class EditionRowTest : public EditionFactoryTest, public ::testing::WithParamInterface<EditionRow> {};

TEST_P(EditionRowTest, BuildsTheEditionsVisualDataForTheRow)
{
    const EditionRow& f = GetParam();
    T_VD_PARAM_D p{&doc, AddRow(f), 0, nullptr, f.bVectAsData};
    EXPECT_EQ(Describe(factory.CreateVisualData(&p)), f.pszExpected);
    EXPECT_EQ(Describe(factory.CreateVisualDataByMutiIso(&p)), f.pszExpectedIso);
}

constexpr const char* kNode = "CPVSVisualDataNode";
constexpr const char* kElem = "CPVSVisualDataElem";
constexpr const char* kCell = "CPVSVisualDataElemCell";
constexpr const char* kDgrm = "CPVSVisualDataElemDgrm";
constexpr const char* kEvent = "CPVSVisualDataElemDgrmEvent";
constexpr const char* kV1 = "CPVSVisualDataCustomVectPlot/1";
constexpr const char* kV2 = "CPVSVisualDataCustomVectPlot/2";

INSTANTIATE_TEST_SUITE_P(
    Rows, EditionRowTest,
    ::testing::Values(
        // Event codes, line events first: 80101-80106 are in both sets.
        EditionRow{"LineEvent80104NotElementCells", 2, 0, 0, 0, 30, 0, 80104, 0, kEvent, kEvent},
        EditionRow{"LineEvent80014", 2, 0, 0, 0, 30, 0, 80014, 0, kEvent, kEvent},
        EditionRow{"ElemEvent80031", 2, 0, 0, 0, 30, 0, 80031, 0, kCell, kCell},
        EditionRow{"ElemEvent80112OnANode", 1, 3, 0, 0, 30, 0, 80112, 0, kCell, kCell},
        EditionRow{"Class30OtherCode", 2, 0, 0, 0, 30, 0, 80007, 0, kElem, kElem},
        EditionRow{"EventCodeOfAnotherClass", 2, 0, 0, 0, 29, 0, 80031, 0, kElem, kElem},
        // Diagrams.
        EditionRow{"CombinationDiagram", 1, 0, 7, 6, 5, 0, 0, 0, kDgrm, kNode},
        EditionRow{"DisplayType6", 1, 0, 6, 0, 0, 0, 0, 0, kDgrm, kDgrm},
        EditionRow{"CombinationWithoutDiagram", 2, 0, 7, 0, 5, 0, 0, 0, kElem, kElem},
        // Nodes.
        EditionRow{"NodeCustomVector", 1, 1, 0, 0, 1, 5, 0, 0, kV1, kNode},
        EditionRow{"NodeCustomVectorAsData", 1, 1, 0, 0, 1, 5, 0, 1, kNode, kNode},
        EditionRow{"NodeItem9IsNoCustomVectorHere", 1, 1, 0, 0, 1, 9, 0, 0, kNode, kNode},
        EditionRow{"NodeSubType3", 1, 3, 0, 0, 0, 0, 0, 0, kV2, kV2},
        EditionRow{"NodeSubType9Symbol", 1, 9, 0, 0, 4, 0, 0, 0, kV2, kNode},
        EditionRow{"NodeSubType9CustomIgnoresTheFlag", 1, 9, 0, 0, 2, 15, 0, 1, kV1, kNode},
        EditionRow{"NodeSubType9Plain", 1, 9, 0, 0, 5, 0, 0, 0, kNode, kNode},
        EditionRow{"NodeSubType16", 1, 16, 0, 0, 0, 0, 0, 0, "null", "null"},
        EditionRow{"NodeSeepageVector", 1, 17, 0, 0, 6, 0, 62, 0, kV1, kNode},
        EditionRow{"NodeNoSeepageVector", 1, 17, 0, 0, 6, 0, 65, 0, kNode, kNode},
        EditionRow{"NodeNoNodalSeepageData", 1, 7, 0, 0, 38, 7, 7, 0, kNode, kNode},
        // Elements.
        EditionRow{"ElemPrincipal8007", 2, 5, 0, 0, 17, 0, 8007, 0, kV1, kElem},
        EditionRow{"ElemPrincipal60058", 2, 7, 0, 0, 29, 0, 60058, 0, kV1, kElem},
        EditionRow{"ElemNotPrincipal", 2, 5, 0, 0, 17, 0, 8009, 0, kElem, kElem},
        EditionRow{"ElemSubType14", 2, 14, 0, 0, 0, 0, 0, 0, "null", "null"},
        EditionRow{"ElemSubType16", 2, 16, 0, 0, 0, 0, 0, 0, "null", "null"},
        EditionRow{"ElemSeepageVector", 2, 17, 0, 0, 35, 0, 73, 0, kV1, kElem},
        EditionRow{"ElemSeepageVectorClass31", 2, 17, 0, 0, 31, 0, 90013, 0, kV1, kElem},
        EditionRow{"ElemNoSeepageVector", 2, 17, 0, 0, 31, 0, 90014, 0, kElem, kElem},
        EditionRow{"ElemPileTipIsPlainHere", 2, 21, 0, 0, 0, 0, 0, 0, kElem, kElem},
        EditionRow{"OtherEntity", 3, 0, 0, 0, 0, 0, 0, 0, "null", "null"}),
    [](const ::testing::TestParamInfo<EditionRow>& i) { return std::string(i.param.pszName); });

TEST_F(EditionFactoryTest, MissingRowOrEntityGivesNull)
{
    T_VD_PARAM_D missing{&doc, 999, 0, nullptr, 0};
    EXPECT_EQ(Describe(factory.CreateVisualData(&missing)), "null");
    EXPECT_EQ(Describe(factory.CreateVisualDataByMutiIso(&missing)), "null");
    EXPECT_EQ(Describe(factory.CreateVisualData(nullptr)), "null");
}

TEST_F(EditionFactoryTest, ByTypeOffersFlowPathsDischargeAndProfileGridsButNoHistoriesOrSafety)
{
    T_VD_PARAM_D p{&doc, 0, 0, nullptr, 0};
    const char* expected[21] = {"CPVSVisualDataNone", "CPVSVisualDataFlowPathWKVR", "CPVSVisualDataMultiStepIsoSurf",
                                "null", "CPVSVisualDataFlowDiscWKVR", "CPVSVisualDataProfGrid"};
    for (unsigned int type = 0; type <= 20; ++type) {
        SCOPED_TRACE(type);
        EXPECT_EQ(Describe(factory.CreateVisualDataByType(type, &p)), expected[type] ? expected[type] : "null");
    }
    EXPECT_EQ(Describe(factory.CreateVisualDataByType(4, nullptr)), "null");
}

TEST_F(EditionFactoryTest, MethodsByCode)
{
    auto method = [&](int n) {
        T_VM_PARAM_D p;
        p.pDoc = &doc;
        p.nVMType = n;
        std::unique_ptr<CPVSVisualMethodBase> vm(factory.CreateVisualMethod(&p));
        return vm ? std::string(vm->GetRuntimeClass()->m_lpszClassName) : std::string("null");
    };
    for (int n : {0, 1, 2, 3, 4, 5, 7})
        EXPECT_EQ(method(n), "CPVSVisualMethodDefault") << n;
    EXPECT_EQ(method(6), "CPVSVisualMethodGlbFlowPath");
    EXPECT_EQ(method(8), "CPVSVisualMethodFlowDiscWKVR");
    EXPECT_EQ(method(9), "CPVSVisualMethodColorMap");
    EXPECT_EQ(method(15), "CPVSVisualMethodLDFS");
    EXPECT_EQ(method(19), "CPVSVisualMethodLDFSD");
    EXPECT_EQ(method(10), "CPVSVisualMethodGlbProfGrid");
    for (int n : {-1, 11, 12, 13, 14, 16, 17, 18, 20})
        EXPECT_EQ(method(n), "null") << n;
}

TEST_F(EditionFactoryTest, ModelDataByFlagAndType)
{
    for (unsigned int type = 0; type <= 14; ++type) {
        SCOPED_TRACE(type);
        T_MD_PARAM_D set{1, type};
        std::unique_ptr<CPVSModelDataBase> md(factory.CreateModelData(&set));
        const bool fem = type == 0 || type == 1 || type == 2 || type == 4 || type == 5 || type == 8 || type == 12;
        if (fem) {
            ASSERT_TRUE(md);
            EXPECT_STREQ(md->GetRuntimeClass()->m_lpszClassName, "CPVSModelDataFEM");
        } else {
            EXPECT_FALSE(md);
        }
        T_MD_PARAM_D unset{0, type};
        std::unique_ptr<CPVSModelDataBase> base(factory.CreateModelData(&unset));
        ASSERT_TRUE(base);
        EXPECT_STREQ(base->GetRuntimeClass()->m_lpszClassName, "CPVSModelDataBase");
    }
}

TEST_F(EditionFactoryTest, SettingsRecordsCopiedForTheEditionsTypes)
{
    T_VD_FLOWDISC_WPLKVR_D src;
    src.Initialize();
    src.nPVtifK = 17;
    src.nSectColor = 0x00FF00;
    src.dArrowScale = 2.5;
    T_PVIST_PLNE_D pl;
    pl.dNormal[1] = 1.0;
    src.aPlane.Add(pl);
    std::unique_ptr<T_VD_USERDEF_DATA> copy(factory.CreateAndCopyUserDefModeData(4, &src));
    auto* pDisc = dynamic_cast<T_VD_FLOWDISC_WPLKVR_D*>(copy.get());
    ASSERT_TRUE(pDisc);
    EXPECT_EQ(pDisc->nPVtifK, 17u);
    EXPECT_EQ(pDisc->nSectColor, 0x00FF00);
    EXPECT_EQ(pDisc->dArrowScale, 2.5);
    ASSERT_EQ(pDisc->aPlane.GetSize(), 1);
    EXPECT_EQ(pDisc->aPlane[0].dNormal[1], 1.0);

    T_VD_FLOWPATH_WPLKVR_D path;
    path.Initialize();
    T_VD_PROFGRID_D grid;
    grid.Initialize();
    T_VD_LCLDIRSUM_HOB_D sum;
    sum.Initialize();
    T_VD_LCLDIRSUM_KVR_D sumd;
    sumd.Initialize();
    T_VD_MULTIISO_WPLKVR_D iso;
    void* sources[13] = {nullptr, &path, &iso, nullptr, &src, &grid, nullptr, nullptr, &sum, nullptr, nullptr, nullptr, &sumd};
    for (int type = 0; type <= 14; ++type) {
        SCOPED_TRACE(type);
        std::unique_ptr<T_VD_USERDEF_DATA> r(
            factory.CreateAndCopyUserDefModeData(type, type < 13 ? sources[type] : nullptr));
        const bool made = type == 0 || type == 1 || type == 2 || type == 4 || type == 5 || type == 8 || type == 12;
        EXPECT_EQ(r != nullptr, made);
    }
}

TEST_F(EditionFactoryTest, ColourTableOfEventRowsAndOfEveryOtherRow)
{
    EditionRow event{"", 2, 0, 0, 0, 30, 0, 80014, 0, "", ""};
    EditionRow other{"", 2, 0, 0, 0, 30, 0, 80200, 0, "", ""};
    const unsigned int nEvent = AddRow(event);
    const unsigned int nOther = AddRow(other);
    std::unique_ptr<CPVSColorTableBase> pEvent(factory.CreateColorTable(nEvent));
    ASSERT_TRUE(pEvent);
    EXPECT_STREQ(pEvent->GetRuntimeClass()->m_lpszClassName, "CPVSColorTableEvent");
    EXPECT_EQ(pEvent->GetKey(), nEvent);
    std::unique_ptr<CPVSColorTableBase> pOther(factory.CreateColorTable(nOther));
    ASSERT_TRUE(pOther);
    EXPECT_STREQ(pOther->GetRuntimeClass()->m_lpszClassName, "CPVSColorTableBase");
    EXPECT_EQ(pOther->GetKey(), nOther);
    std::unique_ptr<CPVSColorTableBase> pMissing(factory.CreateColorTable(4711));
    ASSERT_TRUE(pMissing);
    CZORDocBase::SetCurDoc(nullptr);
    std::unique_ptr<CPVSColorTableBase> pNoDoc(factory.CreateColorTable(nEvent));
    ASSERT_TRUE(pNoDoc) << "without a document the host's base table";
    EXPECT_STREQ(pNoDoc->GetRuntimeClass()->m_lpszClassName, "CPVSColorTableBase");
}

TEST_F(EditionFactoryTest, ConstructingItMakesItTheInstanceUntilItGoes)
{
    IFactoryPVS* pBefore = IFactoryPVS::Instance();
    {
        IFactoryWPLPVSImpl second(factory);
        EXPECT_EQ(IFactoryPVS::Instance(), &second);
    }
    EXPECT_EQ(IFactoryPVS::Instance(), pBefore);
}

} // namespace
