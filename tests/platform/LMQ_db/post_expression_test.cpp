// The combination expression checker: what it accepts, and the first fault it names.
#include "PostExpression.h"
#include "PostVisualState.h"
#include "DBDoc.h"
#include "DBModelRecords.h"
#include "PostCtrlBase.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <utility>
#include <vector>

namespace {

void Symbols(CStringArray& a, std::initializer_list<const char*> names)
{
    for (const char* n : names)
        a.Add(n);
}

struct ExprCase {
    const char* label;
    const char* expr;
    const char* error;  // nullptr: valid
};

class PostExpressionCheck : public ::testing::TestWithParam<ExprCase> {};

TEST_P(PostExpressionCheck, AnswersValidOrFirstFault)
{
    const ExprCase& c = GetParam();
    CStringArray symbols;
    Symbols(symbols, {"A", "B", "C", "D"});
    CString err = "stale";
    const BOOL ok = CPostExpression::CheckExpression(c.expr, symbols, err);
    if (c.error == nullptr) {
        EXPECT_TRUE(ok) << err.GetString();
        EXPECT_TRUE(err.IsEmpty());
    } else {
        EXPECT_FALSE(ok);
        EXPECT_STREQ(err.GetString(), c.error);
    }
}

const ExprCase kCases[] = {
    {"DialogExample", "_sqrt(A*A + B*B) / C - 2.0*_abs(D) /3.0", nullptr},
    {"Sum", "A+B", nullptr},
    {"UnaryMinusChain", "--A*-B", nullptr},
    {"NestedFunctions", "_sin(_cos(_tan(A)))-(-(1.5e-3))", nullptr},
    {"LeadingPointNumber", ".5*A", nullptr},
    {"TrailingPointNumber", "5.*A", nullptr},
    {"Blanks", "  A \t+ B  ", nullptr},
    {"Empty", "", "Empty expression"},
    {"OnlyBlanks", "   ", "Empty expression"},
    {"SymbolNotPassed", "A+E", "Unknown symbol 'E' at position 3"},
    {"SymbolCaseMatters", "a+B", "Unknown symbol 'a' at position 1"},
    {"UnknownFunction", "_log(A)", "Unknown symbol '_log' at position 1"},
    {"FunctionWithoutParenthesis", "_sqrt A", "'(' expected after function '_sqrt' at position 1"},
    {"MissingOperand", "A+", "Unexpected end of expression"},
    {"DoubleOperator", "A*/B", "Unexpected character '/' at position 3"},
    {"UnaryPlusRefused", "+A", "Unexpected character '+' at position 1"},
    {"MissingClose", "(A+B", "Missing ')'"},
    {"MissingCloseInFunction", "_abs(A B)", "Missing ')' 'B' at position 8"},
    {"UnmatchedClose", "A+B)", "Unmatched ')' ')' at position 4"},
    {"EmptyParentheses", "()", "Unexpected character ')' at position 2"},
    {"JuxtaposedSymbols", "A B", "Unexpected character 'B' at position 3"},
    {"BareExponent", "1e+", "Invalid number '1' at position 1"},
    {"NumberGluedToName", "2A", "Invalid number '2' at position 1"},
    {"LonePoint", ".", "Invalid number '.' at position 1"},
    {"OtherCharacter", "A^2", "Unexpected character '^' at position 2"},
};

INSTANTIATE_TEST_SUITE_P(Expressions, PostExpressionCheck, ::testing::ValuesIn(kCases),
                         [](const ::testing::TestParamInfo<ExprCase>& info) { return std::string(info.param.label); });

TEST(PostExpressionCheck, DeepNestingIsAFaultNotACrash)
{
    CStringArray symbols;
    Symbols(symbols, {"A"});
    CString err;
    std::string deep(100000, '(');
    deep += "A";
    deep += std::string(100000, ')');
    EXPECT_FALSE(CPostExpression::CheckExpression(deep.c_str(), symbols, err));
    EXPECT_NE(std::string(err.GetString()).find("nested too deeply"), std::string::npos);

    std::string minus(100000, '-');
    minus += "A";
    EXPECT_FALSE(CPostExpression::CheckExpression(minus.c_str(), symbols, err));

    std::string moderate(50, '(');
    moderate += "A";
    moderate += std::string(50, ')');
    EXPECT_TRUE(CPostExpression::CheckExpression(moderate.c_str(), symbols, err)) << err.GetString();
}

TEST(PostExpressionCheck, NoSymbolsAcceptsNumbersOnly)
{
    const CStringArray none;
    CString err;
    EXPECT_TRUE(CPostExpression::CheckExpression("1+2*3", none, err));
    EXPECT_FALSE(CPostExpression::CheckExpression("A", none, err));
}

T_PCOMP_COMB_D Comb(const char* name, std::initializer_list<unsigned int> keys)
{
    T_PCOMP_COMB_D c;
    c.strName = name;
    c.strExpression = "A+B";
    int s = 0;
    for (unsigned int k : keys) {
        c.aPVtifK.Add(k);
        c.aSymbol.Add(s++);
    }
    return c;
}

TEST(PostVisualStateCompComb, StoresReplacesAndDeletesByKey)
{
    CPostVisualState state;
    EXPECT_FALSE(state.AddCompComb(0, Comb("Zero", {1})));
    ASSERT_TRUE(state.AddCompComb(7, Comb("Sum", {3, 4})));
    ASSERT_TRUE(state.AddCompComb(5, Comb("Diff", {4})));
    ASSERT_TRUE(state.AddCompComb(7, Comb("Sum2", {9})));  // replaces, keeps its place

    CArray<unsigned int, unsigned int> keys;
    state.GetCompCombKeyList(keys);
    ASSERT_EQ(keys.GetSize(), 2);
    EXPECT_EQ(keys[0], 7u);
    EXPECT_EQ(keys[1], 5u);

    T_PCOMP_COMB_D got;
    ASSERT_TRUE(state.GetCompCombD(7, got));
    EXPECT_STREQ(got.strName.GetString(), "Sum2");
    ASSERT_EQ(got.aPVtifK.GetSize(), 1);
    EXPECT_EQ(got.aPVtifK[0], 9u);

    EXPECT_TRUE(state.DelCompComb(7));
    EXPECT_FALSE(state.DelCompComb(7));
    EXPECT_FALSE(state.GetCompCombD(7, got));
    state.GetCompCombKeyList(keys);
    ASSERT_EQ(keys.GetSize(), 1);
    EXPECT_EQ(keys[0], 5u);
}

TEST(DBTableNewKey, IsOnePastTheLargestKey)
{
    CDBBase db;
    CClassPOsif sets(&db);
    EXPECT_EQ(sets.GetNewKey(), 1u);
    T_POSIF_D s;
    ASSERT_TRUE(sets.Set(41, s));
    EXPECT_EQ(sets.GetNewKey(), 42u);
    EXPECT_EQ(sets.GetNewKey(), 42u);  // asking takes nothing
    EXPECT_EQ(sets.Add(s), 42u);
    EXPECT_EQ(CClassPOsif().GetNewKey(), 0u);
}

TEST(ClassPVtifName, DropsControlCharacters)
{
    EXPECT_STREQ(CClassPVtif::RemoveSpecialStringInName("Disp\tX\r\n(total)").GetString(), "DispX(total)");
    EXPECT_STREQ(CClassPVtif::RemoveSpecialStringInName("").GetString(), "");
}

// A read into a map that a previous read filled answers as a read into a fresh map: the same
// entries, values and value count, in the same iteration order, whatever keys the map held.
TEST(PostCtrlRowRead, ReusedMapAnswersLikeAFreshOne)
{
    CDBBase db;
    T_PVTIF_D row;
    const unsigned int nRowK = CClassPVtif(&db).Add(row);
    T_PVAL_D val;
    for (unsigned int k = 2; k <= 12; k += 2) {
        const double v[3] = {k + 0.1, k + 0.2, k + 0.3};
        val.Append(k, v, k == 6 ? 1 : 3);  // one shorter run
    }
    CClassPVal(&db).Set(nRowK, val);
    CPostCtrlBase ctrl;
    ctrl.AttachPostDB(&db);
    ctrl.BeginQueryRow(nRowK);
    using Map = CMap<int, int, T_POST_VECT_ALL_D, T_POST_VECT_ALL_D&>;
    unsigned int nReadK = nRowK;
    auto read = [&](std::initializer_list<unsigned int> ids, Map& m) {
        CArray<unsigned int, unsigned int> a;
        for (unsigned int id : ids)
            a.Add(id);
        int nCount = -1;
        EXPECT_TRUE(ctrl.GetElemResult(a, nReadK, nCount, m));
        std::vector<std::pair<int, std::vector<double>>> out;
        int k = 0;
        T_POST_VECT_ALL_D v;
        for (POSITION pos = m.GetStartPosition(); pos;) {
            m.GetNextAssoc(pos, k, v);
            out.emplace_back(k, std::vector<double>(v.aValue.begin(), v.aValue.end()));
        }
        out.emplace_back(-1, std::vector<double>{static_cast<double>(nCount)});
        return out;
    };
    const std::initializer_list<unsigned int> lists[] = {
        {2, 4, 6, 8},      // the first fill
        {2, 4, 6, 8},      // the same list: rewritten in place
        {2, 4, 6},         // fewer
        {2, 4, 6, 8, 10},  // more
        {4, 2, 6, 8},      // other order
        {2, 4, 4, 2, 6},   // repeated ids keep their first place
        {2, 4, 6},         // after repeated ids
        {3, 2, 5, 4, 7},   // ids without a run between
        {6},               // the short run alone sets the count
        {5, 7},            // no entry at all
        {12, 10},
    };
    Map reused;
    for (const auto& ids : lists) {
        Map fresh;
        EXPECT_EQ(read(ids, reused), read(ids, fresh));
    }
    // A map with the list's keys but not in the list's order, after the caller's own edits.
    read({2, 4, 6}, reused);
    reused.RemoveKey(2);
    reused[2];
    Map fresh;
    EXPECT_EQ(read({2, 4, 6}, reused), read({2, 4, 6}, fresh));
    // A failed read empties the map.
    CArray<unsigned int, unsigned int> a;
    a.Add(2);
    int nCount = -1;
    EXPECT_FALSE(ctrl.GetElemResult(a, nRowK + 1, nCount, reused));
    EXPECT_EQ(reused.GetCount(), 0);
    // Another row without a run of 4, read into the map the first row filled: 4 has no entry.
    T_PVAL_D val2;
    for (unsigned int k : {2u, 6u, 8u}) {
        const double v[3] = {k + 0.5, k + 0.6, k + 0.7};
        val2.Append(k, v, 3);
    }
    const unsigned int nRow2 = CClassPVtif(&db).Add(row);
    CClassPVal(&db).Set(nRow2, val2);
    read({2, 4, 6, 8}, reused);
    nReadK = nRow2;
    ctrl.BeginQueryRow(nRow2);
    Map fresh2;
    EXPECT_EQ(read({2, 4, 6, 8}, reused), read({2, 4, 6, 8}, fresh2));
}

// A node row read for elements: per node its four values and coordinates. A long list reads
// as each element alone does, whichever way the nodes are found.
TEST(PostCtrlRowRead, NodeRowOfALongListReadsAsElementsAlone)
{
    CDBBase model, post;
    T_PENGR_D engr;
    engr.nKind = 1;
    T_PVTIF_D row;
    row.nEngrK = CDBTable<T_PENGR_D>(&post).Add(engr);
    const unsigned int nRowK = CClassPVtif(&post).Add(row);
    T_PVAL_D val;
    constexpr unsigned int kNodes = 3000;
    for (unsigned int k = 1; k <= kNodes; ++k) {
        T_NODE_D n;
        n.dXyz[0] = k;
        n.dXyz[2] = -0.5 * k;
        model.Table<T_NODE_D>()[k] = n;
        const double v[4] = {k + 0.25, k + 0.5, -1.0 * k, 7.0};
        if (k % 97 != 0) // some nodes without values: their elements have none
            val.Append(k, v, k % 5 == 0 ? 2 : 4);
    }
    CClassPVal(&post).Set(nRowK, val);
    CArray<unsigned int, unsigned int> aAll;
    for (unsigned int e = 1; e < kNodes; ++e) {
        T_ELEM_D elem;
        // Nodes out of order, as a solid's are.
        for (unsigned int n : {e + 1, e, (e * 7919) % kNodes + 1})
            elem.aNodeK.Add(n);
        model.Table<T_ELEM_D>()[e] = elem;
        aAll.Add((e * 31) % (kNodes - 1) + 1);
    }
    CPostCtrlBase ctrl;
    ctrl.AttachPostDB(&post);
    ctrl.AttachModelDB(&model);
    ctrl.BeginQueryRow(nRowK);
    using Map = CMap<int, int, T_POST_VECT_ALL_D, T_POST_VECT_ALL_D&>;
    Map all;
    int nCount = 0;
    ASSERT_TRUE(ctrl.GetElemResult(aAll, nRowK, nCount, all));
    EXPECT_EQ(nCount, 21);
    int nFound = 0;
    for (int i = 0; i < aAll.GetSize(); ++i) {
        CArray<unsigned int, unsigned int> aOne;
        aOne.Add(aAll[i]);
        Map one;
        int nOne = 0;
        ASSERT_TRUE(ctrl.GetElemResult(aOne, nRowK, nOne, one));
        const T_POST_VECT_ALL_D* pAll = all.PLookup(static_cast<int>(aAll[i]));
        const T_POST_VECT_ALL_D* pOne = one.PLookup(static_cast<int>(aAll[i]));
        ASSERT_EQ(pAll != nullptr, pOne != nullptr) << aAll[i];
        if (pAll) {
            ++nFound;
            EXPECT_TRUE(std::equal(pAll->aValue.begin(), pAll->aValue.end(), pOne->aValue.begin(), pOne->aValue.end()))
                << aAll[i];
        }
    }
    EXPECT_GT(nFound, 2000);
    EXPECT_LT(nFound, static_cast<int>(kNodes) - 1);
}

}  // namespace
