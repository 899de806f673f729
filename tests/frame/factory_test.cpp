// The factory's decisions, checked by the class it builds (run-time class name) and, for
// vector plots, the mode it asks for.
#include "frame/IFactoryPVSImpl.h"
#include "visualdata/PVSUserDefRecords.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <memory>
#include <ostream>
#include <string>

namespace {

// The fields of one display-item row the factory reads, with its entity's kind.
struct RowFields {
    int nKind;          // entity: 1 node, 2 element, other
    int nQuantity;
    int nDispType;
    int nResultClass;
    unsigned int nItem;
    std::uint64_t nComp;
};

class FactoryTest : public ::testing::Test {
protected:
    CDBDoc doc;
    IFactoryPVSImpl factory;

    unsigned int AddRow(const RowFields& f)
    {
        CClassPEngr engr(doc.GetPostDB());
        T_PENGR_D e;
        e.nKind = f.nKind;
        unsigned int ek = engr.Add(e);
        CClassPVtif vtif(doc.GetPostDB());
        T_PVTIF_D r;
        r.nEngrK = ek;
        r.nQuantity = f.nQuantity;
        r.nDispType = f.nDispType;
        r.nResultClass = f.nResultClass;
        r.nItem = f.nItem;
        r.nCompCode = f.nComp;
        return vtif.Add(r);
    }

    // "null", a class name, or "CPVSVisualDataCustomVectPlot/<mode>".
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

    std::string FromRow(const RowFields& f, int bVectAsData = 0)
    {
        T_VD_PARAM_D p{&doc, AddRow(f), 0, nullptr, bVectAsData};
        return Describe(factory.CreateVisualData(&p));
    }

    std::string FromRowMultiIso(const RowFields& f)
    {
        T_VD_PARAM_D p{&doc, AddRow(f), 0, nullptr, 0};
        return Describe(factory.CreateVisualDataByMutiIso(&p));
    }
};

struct RowCase {
    const char* name;
    RowFields row;
    int bVectAsData;
    const char* expected;
    const char* expectedMultiIso;
};

void PrintTo(const RowCase& c, std::ostream* os)
{
    const RowFields& r = c.row;
    *os << "kind " << r.nKind << ", quantity " << r.nQuantity << ", display " << r.nDispType << ", class "
        << r.nResultClass << ", item " << r.nItem << ", components " << r.nComp;
    if (c.bVectAsData)
        *os << ", vector as data";
}

class FactoryRowTest : public FactoryTest, public ::testing::WithParamInterface<RowCase> {};

TEST_P(FactoryRowTest, ChoosesClassFromTheRow)
{
    const RowCase& c = GetParam();
    EXPECT_EQ(FromRow(c.row, c.bVectAsData), c.expected);
    EXPECT_EQ(FromRowMultiIso(c.row), c.expectedMultiIso);
}

// Rows of every kind, with the host class or module class each one gets.
const RowCase kRowCases[] = {
    {"ElemDiagramDisplay", {2, 0, 6, 8, 1, 0}, 0, "CPVSVisualDataElemDgrm", "CPVSVisualDataElemDgrm"},
    {"CombinationDiagramOnNode", {1, 0, 7, 5, 1, 0}, 0, "CPVSVisualDataElemDgrm", "CPVSVisualDataNode"},
    {"CombinationClass4OnElement", {2, 0, 7, 4, 1, 0}, 0, "CPVSVisualDataElemDgrm", "CPVSVisualDataElem"},
    {"NodeCombinationVector", {1, 3, 7, 9, 1, 0}, 0, "CPVSVisualDataCustomVectPlot/2", "CPVSVisualDataNode"},
    {"NodeCombinationScalar", {1, 2, 7, 9, 1, 0}, 0, "CPVSVisualDataNode", "CPVSVisualDataNode"},
    {"NodeCustomVector", {1, 1, 0, 1, 3, 0}, 0, "CPVSVisualDataCustomVectPlot/1", "CPVSVisualDataNode"},
    {"NodeCustomVectorAsData", {1, 1, 0, 1, 3, 0}, 1, "CPVSVisualDataNode", "CPVSVisualDataNode"},
    {"NodeItemOutsideCustomRange", {1, 1, 0, 1, 12, 0}, 0, "CPVSVisualDataNode", "CPVSVisualDataNode"},
    {"NodeVectorQuantity", {1, 3, 0, 1, 12, 0}, 0, "CPVSVisualDataCustomVectPlot/2", "CPVSVisualDataCustomVectPlot/2"},
    {"NodeQuantity16", {1, 16, 0, 1, 1, 0}, 0, "null", "null"},
    {"NodalSeepage", {1, 2, 0, 38, 1, 0}, 0, "CPVSVisualDataNodeSepg", "CPVSVisualDataNodeSepg"},
    {"NodeOtherCustomVector", {1, 2, 0, 1, 5, 0}, 0, "CPVSVisualDataCustomVectPlot/1", "CPVSVisualDataNode"},
    {"NodeOtherCustomVectorAsData", {1, 2, 0, 1, 5, 0}, 1, "CPVSVisualDataNode", "CPVSVisualDataNode"},
    {"NodeOther", {1, 2, 0, 2, 5, 0}, 0, "CPVSVisualDataNode", "CPVSVisualDataNode"},
    {"ElemCombination", {2, 5, 7, 9, 1, 6}, 0, "CPVSVisualDataElem", "CPVSVisualDataElem"},
    {"ElemPrincipal", {2, 5, 0, 8, 1, 6}, 0, "CPVSVisualDataCustomVectPlot/1", "CPVSVisualDataElem"},
    {"ElemPrincipalQuantity7", {2, 7, 0, 7, 1, 17}, 0, "CPVSVisualDataCustomVectPlot/1", "CPVSVisualDataElem"},
    {"ElemNotPrincipal", {2, 5, 0, 8, 1, 5}, 0, "CPVSVisualDataElem", "CPVSVisualDataElem"},
    {"ElemClass23NeverPrincipal", {2, 5, 0, 23, 1, 6}, 0, "CPVSVisualDataElem", "CPVSVisualDataElem"},
    {"ElemQuantity14", {2, 14, 0, 8, 1, 0}, 0, "null", "null"},
    {"ElemQuantity16", {2, 16, 0, 8, 1, 0}, 0, "null", "null"},
    {"ElemSeepageVector", {2, 17, 0, 39, 1, 0}, 0, "CPVSVisualDataCustomVectPlot/1", "CPVSVisualDataElem"},
    {"ElemSeepageNotVector", {2, 17, 0, 39, 1, 11}, 0, "CPVSVisualDataElem", "CPVSVisualDataElem"},
    {"ElemPileTip", {2, 21, 0, 8, 1, 0}, 0, "CPVSVisualDataPileTipElement", "CPVSVisualDataElem"},
    {"ElemOther", {2, 4, 0, 8, 1, 0}, 0, "CPVSVisualDataElem", "CPVSVisualDataElem"},
    {"UnknownEntityKind", {3, 4, 0, 8, 1, 0}, 0, "null", "null"},
};

INSTANTIATE_TEST_SUITE_P(Rows, FactoryRowTest, ::testing::ValuesIn(kRowCases),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(FactoryTest, MissingRowOrEntityGivesNull)
{
    T_VD_PARAM_D missingRow{&doc, 999, 0, nullptr, 0};
    EXPECT_EQ(Describe(factory.CreateVisualData(&missingRow)), "null");
    EXPECT_EQ(Describe(factory.CreateVisualDataByMutiIso(&missingRow)), "null");

    CClassPVtif vtif(doc.GetPostDB());
    T_PVTIF_D r;
    r.nEngrK = 4242; // no such entity
    T_VD_PARAM_D orphan{&doc, vtif.Add(r), 0, nullptr, 0};
    EXPECT_EQ(Describe(factory.CreateVisualData(&orphan)), "null");
    T_VD_PARAM_D noDoc{nullptr, 1, 0, nullptr, 0};
    EXPECT_EQ(Describe(factory.CreateVisualData(&noDoc)), "null");
}

TEST_F(FactoryTest, ByTypeBuildsHostClassesAndNullForModuleClassesNotYetBuilt)
{
    T_VD_PARAM_D p{&doc, 0, 0, nullptr, 0};
    for (unsigned int type = 0; type <= 20; ++type) {
        std::unique_ptr<CPVSVisualDataBase> vd(factory.CreateVisualDataByType(type, &p));
        SCOPED_TRACE(type);
        if (type == 0) {
            ASSERT_TRUE(vd);
            EXPECT_STREQ(vd->GetRuntimeClass()->m_lpszClassName, "CPVSVisualDataNone");
            EXPECT_EQ(vd->GetVDType(), 0u);
        } else if (type == 2) {
            ASSERT_TRUE(vd);
            EXPECT_STREQ(vd->GetRuntimeClass()->m_lpszClassName, "CPVSVisualDataMultiStepIsoSurf");
            EXPECT_EQ(vd->GetVDType(), 2u);
        } else if (type == 1) {
            ASSERT_TRUE(vd);
            EXPECT_STREQ(vd->GetRuntimeClass()->m_lpszClassName, "CPVSVisualDataFlowPathWKVR");
            EXPECT_EQ(vd->GetVisualMethodType(nullptr), 6);
        } else if (type == 6) {
            ASSERT_TRUE(vd) << "element-diagram history plot";
            EXPECT_STREQ(vd->GetRuntimeClass()->m_lpszClassName, "CPVSVisualDataHistoryPlotDgrm");
            EXPECT_EQ(vd->GetVisualMethodType(nullptr), 4);
        } else if (type == 11) {
            ASSERT_TRUE(vd) << "slope factor of safety";
            EXPECT_STREQ(vd->GetRuntimeClass()->m_lpszClassName, "CPVSVisualDataFOS");
            EXPECT_EQ(vd->GetVisualMethodType(nullptr), 17);
        } else if (type == 3 || type == 7) {
            ASSERT_TRUE(vd) << "history plots";
            EXPECT_STREQ(vd->GetRuntimeClass()->m_lpszClassName,
                         type == 3 ? "CPVSVisualDataHistoryPlotTKVR" : "CPVSVisualDataHistoryPlotStrs");
            EXPECT_EQ(vd->GetVDType(), type);
        } else if (type == 4 || type == 9 || type == 10 || type > 12) {
            EXPECT_FALSE(vd) << "code outside the table";
        }
    }
}

struct MethodCase {
    int nType;
    const char* expected; // class, or "null"; "" for a module class not built yet (null too)
};

void PrintTo(const MethodCase& c, std::ostream* os) { *os << "code " << c.nType << " builds " << c.expected; }

class FactoryMethodTest : public FactoryTest, public ::testing::WithParamInterface<MethodCase> {};

TEST_P(FactoryMethodTest, ChoosesMethodByCode)
{
    T_VM_PARAM_D p;
    p.pDoc = &doc;
    p.nVMType = GetParam().nType;
    std::unique_ptr<CPVSVisualMethodBase> vm(factory.CreateVisualMethod(&p));
    const std::string expected = GetParam().expected;
    if (expected == "null" || expected.empty())
        EXPECT_FALSE(vm);
    else {
        ASSERT_TRUE(vm);
        EXPECT_EQ(vm->GetRuntimeClass()->m_lpszClassName, expected);
    }
}

INSTANTIATE_TEST_SUITE_P(Codes, FactoryMethodTest,
                         ::testing::Values(MethodCase{0, "CPVSVisualMethodDefault"}, MethodCase{5, "CPVSVisualMethodDefault"},
                                           MethodCase{6, "CPVSVisualMethodGlbFlowPath"},
                                           MethodCase{7, "CPVSVisualMethodDefault"}, MethodCase{8, "null"},
                                           MethodCase{9, "CPVSVisualMethodColorMap"}, MethodCase{11, "null"},
                                           MethodCase{12, "null"}, MethodCase{13, "null"},
                                           MethodCase{14, "CPVSVisualMethodPointElement"}, MethodCase{16, "null"}, MethodCase{17, "CPVSVisualMethodFOS"},
                                           MethodCase{18, "null"}, MethodCase{20, "null"}, MethodCase{-1, "null"}),
                         [](const ::testing::TestParamInfo<MethodCase>& i) {
                             const int n = i.param.nType;
                             std::string built = i.param.expected;
                             const std::size_t prefix = std::strlen("CPVSVisualMethod");
                             built = built == "null" || built.empty() ? "Null" : built.substr(prefix);
                             return (n < 0 ? "CodeMinus" + std::to_string(-n) : "Code" + std::to_string(n)) + built;
                         });

TEST_F(FactoryTest, ModelDataByFlagAndType)
{
    for (unsigned int type = 0; type <= 14; ++type) {
        T_MD_PARAM_D set{1, type};
        std::unique_ptr<CPVSModelDataBase> md(factory.CreateModelData(&set));
        const bool fem = type <= 3 || type == 5 || type == 6 || type == 7 || type == 8 || type == 11 || type == 12;
        SCOPED_TRACE(type);
        if (fem) {
            ASSERT_TRUE(md);
            EXPECT_STREQ(md->GetRuntimeClass()->m_lpszClassName, "CPVSModelDataFEM");
        } else {
            EXPECT_FALSE(md);
        }
        T_MD_PARAM_D unset{0, type};
        std::unique_ptr<CPVSModelDataBase> def(factory.CreateModelData(&unset));
        ASSERT_TRUE(def) << "flag 0 defers to the host default";
        EXPECT_STREQ(def->GetRuntimeClass()->m_lpszClassName, "CPVSModelDataBase");
    }
}

TEST_F(FactoryTest, ColorTableIsTheHostDefault)
{
    std::unique_ptr<CPVSColorTableBase> t(factory.CreateColorTable(7));
    ASSERT_TRUE(t);
    EXPECT_EQ(t->GetKey(), 7u);
}

TEST(FactoryPredicates, SeepageVectorSets)
{
    T_PVTIF_D r;
    r.nResultClass = 39;
    for (std::uint64_t c : {0, 1, 2, 10}) {
        r.nCompCode = c;
        EXPECT_TRUE(IFactoryPVSImpl::IsSeepageVector(&r)) << c;
    }
    r.nCompCode = 11;
    EXPECT_FALSE(IFactoryPVSImpl::IsSeepageVector(&r));
    r.nResultClass = 44;
    EXPECT_TRUE(IFactoryPVSImpl::IsSeepageVector(&r));
    r.nResultClass = 45;
    r.nCompCode = 0;
    EXPECT_FALSE(IFactoryPVSImpl::IsSeepageVector(&r));
}

TEST(FactoryPredicates, PrincipalSetsByClass)
{
    struct { int cls; std::uint64_t yes, no; } cases[] = {
        {8, 6, 5}, {37, 8, 9}, {6, 11, 5}, {22, 3, 6}, {7, 17, 8}, {10, 4, 6}, {24, 3, 5},
        {11, 7, 8}, {25, 6, 3}, {81, 23, 24}, {83, 18, 17}, {85, 24, 23}, {87, 29, 30},
        {89, 15, 21}, {91, 20, 14},
    };
    for (const auto& c : cases) {
        T_PVTIF_D r;
        r.nResultClass = c.cls;
        r.nCompCode = c.yes;
        EXPECT_TRUE(IFactoryPVSImpl::IsPrincipalResult(&r)) << c.cls;
        r.nCompCode = c.no;
        EXPECT_FALSE(IFactoryPVSImpl::IsPrincipalResult(&r)) << c.cls;
    }
    T_PVTIF_D r;
    r.nResultClass = 8;
    r.nCompCode = (std::uint64_t(1) << 32) | 6; // the whole 64-bit code is compared
    EXPECT_FALSE(IFactoryPVSImpl::IsPrincipalResult(&r));
}

TEST(FactoryPredicates, CustomVectorAndNodalSeepage)
{
    T_PVTIF_D r;
    r.nResultClass = 1;
    r.nItem = 11;
    EXPECT_TRUE(IFactoryPVSImpl::IsCustomVector(&r));
    r.nItem = 0;
    EXPECT_FALSE(IFactoryPVSImpl::IsCustomVector(&r));
    r.nResultClass = 38;
    EXPECT_TRUE(IFactoryPVSImpl::IsNodalSeepage(&r));
    r.nDispType = 7;
    r.nResultClass = 5;
    EXPECT_TRUE(IFactoryPVSImpl::IsCompCombDiagram(&r));
    r.nResultClass = 6;
    EXPECT_FALSE(IFactoryPVSImpl::IsCompCombDiagram(&r));
}

} // namespace
