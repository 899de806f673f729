// History-plot settings record: its copy rules and the result vocabulary it names, checked
// row by row against the vocabulary written out here, with unit names that say their type.
#include "visualdata/PVSUserDefRecords.h"

#include "DBDoc.h"
#include "UnitCtrl.h"

#include <gtest/gtest.h>

#include <ostream>
#include <string>
#include <vector>

namespace {

const int kUnitTypes[] = {1, 2, 5, 12, 13, 14, 17, 21, 22, 32, 49};

// Gives every unit type the name "u<type>" so that a wrong unit type shows in the text.
class HistVocabulary : public ::testing::Test {
protected:
    void SetUp() override
    {
        CZORDocBase::SetCurDoc(&m_doc);
        m_pUnit = CDocCtrl::GetUnitCtrl(&m_doc);
        ASSERT_NE(m_pUnit, nullptr);
        for (int t : kUnitTypes)
            m_pUnit->SetUnitName(t, ("u" + std::to_string(t)).c_str());
    }
    void TearDown() override { CZORDocBase::SetCurDoc(nullptr); }
    static void Query(int nType, int nComp, int bGlobal, std::string& type, std::string& comp, std::string& unit)
    {
        T_VD_HISTPLOT_TVCKVR_D r;
        r.Initialize();
        r.m_nResultType = nType;
        r.m_nComponent = nComp;
        r.m_bGlobal = bGlobal;
        CString t = "x", c = "x", u = "x";
        r.GetResultTypeCompUnit(t, c, u);
        type = static_cast<const char*>(t);
        comp = static_cast<const char*>(c);
        unit = static_cast<const char*>(u);
    }
    CDBDoc m_doc;
    CUnitCtrl* m_pUnit = nullptr;
};

struct Row {
    int nType;
    const char* pszLocal;
    const char* pszGlobal;
    std::vector<std::pair<const char*, int>> comps;
};

std::vector<std::pair<const char*, int>> Nodal(int t, int r)
{
    return {{"DX", t}, {"DY", t}, {"DZ", t}, {"RX", r}, {"RY", r}, {"RZ", r}, {"DXYZ", t}, {"RXYZ", r}};
}

std::vector<std::pair<const char*, int>> Same(std::vector<const char*> names, int u)
{
    std::vector<std::pair<const char*, int>> v;
    for (const char* n : names)
        v.emplace_back(n, u);
    return v;
}

std::vector<Row> Rows()
{
    return {
        {0, "DISPLACEMENT", "DISPLACEMENT", Nodal(1, 5)},
        {1, "VELOCITY", "VELOCITY", Nodal(22, 32)},
        {2, "ACCELERATION", "ACCELERATION", Nodal(21, 49)},
        {3, "TRUSS FORCE", "TRUSS FORCE", {{"Axial", 2}}},
        {4, "TRUSS STRESS", "TRUSS STRESS", {{"Axial", 17}}},
        {5, "BEAM FORCE", "BEAM FORCE",
         {{"Axial", 2}, {"Shear y", 2}, {"Shear z", 2}, {"Torsion", 12}, {"Moment y", 12}, {"Moment z", 12}}},
        {6, "BEAM STRESS", "BEAM STRESS",
         Same({"Sax", "Ssy", "Ssz", "Sby+", "Sby-", "Sbz+", "Sbz-", "Comb", "Comb 1", "Comb 2", "Comb 3", "Comb 4"}, 17)},
        {7, "PLSTRN STRS(L)", "PLSTRN STRS(G)", Same({"Sxx", "Syy", "Szz", "Sxy"}, 17)},
        {8, "PLSTRN STRN(L)", "PLSTRN STRN(G)", Same({"Exx", "Eyy", "Ezz", "Exy"}, 0)},
        {9, "SOLID STRS(L)", "SOLID STRS(G)", Same({"Sxx", "Syy", "Szz", "Sxy", "Syz", "Sxz"}, 17)},
        {10, "SOLID STRN(L)", "SOLID STRN(G)", Same({"Exx", "Eyy", "Ezz", "Exy", "Eyz", "Exz"}, 0)},
        {11, "PLATE UNIT FORCE", "PLATE UNIT FORCE",
         {{"Fxx", 14}, {"Fyy", 14}, {"Fxy", 14}, {"Mxx", 13}, {"Myy", 13}, {"Mxy", 13}, {"Vxx", 14}, {"Vyy", 14}}},
        {12, "PLATE STRESS", "PLATE STRESS", Same({"SxxT", "SyyT", "SxyT", "SxxB", "SyyB", "SxyB"}, 17)},
    };
}

std::string UnitText(int nUnitType) { return nUnitType == 0 ? "" : "u" + std::to_string(nUnitType); }

TEST_F(HistVocabulary, EveryRowAndComponentInBothAxes)
{
    for (const Row& row : Rows()) {
        for (int g : {0, 1, -3}) {
            for (size_t i = 0; i < row.comps.size(); ++i) {
                std::string t, c, u;
                Query(row.nType, static_cast<int>(i), g, t, c, u);
                SCOPED_TRACE("type " + std::to_string(row.nType) + " comp " + std::to_string(i) + " global " +
                             std::to_string(g));
                EXPECT_EQ(t, g != 0 ? row.pszGlobal : row.pszLocal);
                EXPECT_EQ(c, row.comps[i].first);
                EXPECT_EQ(u, UnitText(row.comps[i].second));
            }
        }
    }
}

TEST_F(HistVocabulary, ComponentOutsideTheRowKeepsNoneWithoutUnit)
{
    for (const Row& row : Rows()) {
        if (row.nType == 3 || row.nType == 4)
            continue;
        for (int comp : {-1, static_cast<int>(row.comps.size()), 100}) {
            std::string t, c, u;
            Query(row.nType, comp, 0, t, c, u);
            EXPECT_EQ(t, row.pszLocal) << row.nType << " " << comp;
            EXPECT_EQ(c, "None") << row.nType << " " << comp;
            EXPECT_EQ(u, "") << row.nType << " " << comp;
        }
    }
}

TEST_F(HistVocabulary, TrussRowsTakeTheirOneComponentForAnyIndex)
{
    for (int comp : {-7, 0, 1, 5, 1000}) {
        std::string t, c, u;
        Query(3, comp, 0, t, c, u);
        EXPECT_EQ(t, "TRUSS FORCE");
        EXPECT_EQ(c, "Axial");
        EXPECT_EQ(u, "u2");
        Query(4, comp, 1, t, c, u);
        EXPECT_EQ(t, "TRUSS STRESS");
        EXPECT_EQ(c, "Axial");
        EXPECT_EQ(u, "u17");
    }
}

TEST_F(HistVocabulary, ResultTypeOutsideTheTableGivesNone)
{
    for (int type : {-1, 13, 99, -2147483647 - 1}) {
        std::string t, c, u;
        Query(type, 0, 1, t, c, u);
        EXPECT_EQ(t, "None") << type;
        EXPECT_EQ(c, "None") << type;
        EXPECT_EQ(u, "") << type;
    }
}

TEST(HistPlotRecord, AssignmentCopiesTheSevenFieldsAndKeepsTheBase)
{
    T_VD_HISTPLOT_TVCKVR_D a;
    a.Initialize();
    a.nReserved = 11;
    a.m_nAcasKey = 1;
    a.m_nResultType = 2;
    a.m_bGlobal = 3;
    a.m_nComponent = 4;
    a.m_nReserved = 5;
    a.m_bDeformed = 6;
    a.m_nTimeStep = 7;
    T_VD_HISTPLOT_TVCKVR_D b;
    b.Initialize();
    b.nReserved = 42;
    b = a;
    EXPECT_EQ(b.nReserved, 42);
    EXPECT_EQ(b.m_nAcasKey, 1u);
    EXPECT_EQ(b.m_nResultType, 2);
    EXPECT_EQ(b.m_bGlobal, 3);
    EXPECT_EQ(b.m_nComponent, 4);
    EXPECT_EQ(b.m_nReserved, 5);
    EXPECT_EQ(b.m_bDeformed, 6);
    EXPECT_EQ(b.m_nTimeStep, 7);
    b.Initialize();
    EXPECT_EQ(b.m_nAcasKey, 0u);
    EXPECT_EQ(b.m_nResultType + b.m_bGlobal + b.m_nComponent + b.m_nReserved + b.m_bDeformed + b.m_nTimeStep, 0);
}

} // namespace
