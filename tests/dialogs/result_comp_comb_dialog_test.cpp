// The result-component combination dialog run modally as the user would: data rows take the
// symbols "A" to "Z", rows must match the first one, and each combination stored gets its
// result row in output set 999999; a bad expression stores nothing.
#include "dialogs/CDlgResultCompComb.h"
#include "dialogs/DialogControlIds.h"

#include "DBDoc.h"
#include "PostVisualState.h"
#include "afx_standin.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

namespace {

constexpr unsigned int kSet = 999999;

class ResultCompCombDialog : public ::testing::Test {
protected:
    void SetUp() override
    {
        CZORDocBase::SetCurDoc(&doc);
        ClearCombinations();
        Win32ClearMessageBoxJournal();
        AfxDriver::ClearModalScript();
        T_POSIF_D set;
        set.strName = "Static";
        CClassPOsif(doc.GetPostDB()).Set(1, set);
        T_PLSIF_D step;
        step.nOsifK = 1;
        step.strName = "Step 1";
        CClassPLsif(doc.GetPostDB()).Set(1, step);
        T_PENGR_D node, elem;
        node.nKind = 1;
        elem.nKind = 2;
        CClassPEngr(doc.GetPostDB()).Set(1, node);
        CClassPEngr(doc.GetPostDB()).Set(2, elem);
    }
    void TearDown() override
    {
        ClearCombinations();
        AfxDriver::ClearModalScript();
        CZORDocBase::SetCurDoc(nullptr);
    }
    static void ClearCombinations()
    {
        CArray<unsigned int, unsigned int> keys;
        CPostVisualState::Instance()->GetCompCombKeyList(keys);
        for (int i = 0; i < keys.GetSize(); ++i)
            CPostVisualState::Instance()->DelCompComb(keys[i]);
    }
    unsigned int AddRow(const char* pszName, int nClass, unsigned int nItem, unsigned int nEngrK = 1,
                        unsigned int nStepK = 1)
    {
        T_PVTIF_D row;
        row.strName = pszName;
        row.nResultClass = nClass;
        row.nItem = nItem;
        row.nEngrK = nEngrK;
        row.nStepK = nStepK;
        row.nDispType = 1;
        row.aComp.Add(nItem);
        row.aDgrmPos.Add(0.25);
        return CClassPVtif(doc.GetPostDB()).Add(row);
    }
    // Runs the dialog with one scripted action, then Close.
    int Run(const std::function<void(CDlgResultCompComb*)>& fn)
    {
        AfxDriver::ScriptModal([fn](CDialog* d) {
            fn(static_cast<CDlgResultCompComb*>(d));
            AfxDriver::Click(d, IDC_RCC_CLOSE);
        });
        CDlgResultCompComb dlg;
        return dlg.DoModal();
    }
    static void AddData(CDlgResultCompComb* d, int nRow)
    {
        ASSERT_TRUE(AfxDriver::Select(d, IDC_RCC_RESULT, nRow));
        ASSERT_TRUE(AfxDriver::Click(d, IDC_RCC_ADD_DATA));
    }
    static void AddComb(CDlgResultCompComb* d, const char* pszName, const char* pszExpr)
    {
        AfxDriver::SetText(d, IDC_RCC_NAME, pszName);
        AfxDriver::SetText(d, IDC_RCC_EXPRESSION, pszExpr);
        AfxDriver::Click(d, IDC_RCC_ADD_COMB);
    }
    static CListCtrl* List(CDlgResultCompComb* d, UINT nID) { return dynamic_cast<CListCtrl*>(d->GetDlgItem(nID)); }
    static std::string LastMessage()
    {
        const int n = Win32MessageBoxCount();
        return n ? Win32MessageBoxAt(n - 1)->pszText : "";
    }
    static int CombCount()
    {
        CArray<unsigned int, unsigned int> keys;
        CPostVisualState::Instance()->GetCompCombKeyList(keys);
        return keys.GetSize();
    }

    CDBDoc doc;
};

TEST_F(ResultCompCombDialog, TwentySeventhRowIsRefusedAndAFreedSymbolIsReused)
{
    for (int i = 0; i < 27; ++i)
        AddRow(("Row " + std::to_string(i)).c_str(), 1, 1);
    EXPECT_EQ(Run([](CDlgResultCompComb* d) {
                  for (int i = 0; i < 27; ++i)
                      AddData(d, i);
                  EXPECT_EQ(d->GetDataEntries().size(), 26u);
                  EXPECT_EQ(LastMessage(), "IDS_QB_PVS_Result_Comp_Comb_Error_Symbol_Out_of_Range");
                  CListCtrl* l = List(d, IDC_RCC_DATA_LIST);
                  ASSERT_EQ(l->GetItemCount(), 26);
                  EXPECT_EQ(l->GetItemText(25, 1), CString("Z"));
                  EXPECT_EQ(l->GetItemText(2, 0), CString("Row 2"));
                  EXPECT_EQ(l->GetItemText(2, 2), CString("Static"));
                  EXPECT_EQ(l->GetItemText(2, 3), CString("Step 1"));

                  ASSERT_TRUE(AfxDriver::SelectListRows(d, IDC_RCC_DATA_LIST, {2}));
                  AfxDriver::Click(d, IDC_RCC_DEL_DATA);
                  ASSERT_EQ(d->GetDataEntries().size(), 25u);
                  AddData(d, 26);
                  ASSERT_EQ(d->GetDataEntries().size(), 26u);
                  EXPECT_EQ(d->GetDataEntries().back().nSymbol, 2);
                  EXPECT_EQ(l->GetItemText(25, 0), CString("Row 26"));
                  EXPECT_EQ(l->GetItemText(25, 1), CString("C"));

                  AfxDriver::Click(d, IDC_RCC_DEL_ALL_DATA);
                  EXPECT_EQ(l->GetItemCount(), 0);
                  AddData(d, 5);
                  EXPECT_EQ(d->GetDataEntries().front().nSymbol, 0);
              }),
              IDOK);
}

struct PairCase {
    const char* label;
    int nClass1;
    unsigned int nItem1;
    unsigned int nEngr1;
    int nClass2;
    unsigned int nItem2;
    unsigned int nEngr2;
    const char* message;  // nullptr: accepted
};

class ResultCompCombPairs : public ResultCompCombDialog, public ::testing::WithParamInterface<PairCase> {};

TEST_P(ResultCompCombPairs, SecondRowMustMatchTheFirst)
{
    const PairCase& c = GetParam();
    AddRow("First", c.nClass1, c.nItem1, c.nEngr1);
    AddRow("Second", c.nClass2, c.nItem2, c.nEngr2);
    Run([&](CDlgResultCompComb* d) {
        AddData(d, 0);
        AddData(d, 1);
        EXPECT_EQ(d->GetDataEntries().size(), c.message ? 1u : 2u);
        EXPECT_EQ(LastMessage(), c.message ? c.message : "");
    });
}

const PairCase kPairs[] = {
    {"SameClassOtherItemAccepted", 1, 1, 1, 1, 2, 1, nullptr},
    {"Class3OtherItemAccepted", 3, 1, 2, 3, 7, 2, nullptr},
    {"Class2OtherItemRefused", 2, 1, 2, 2, 2, 2, "IDS_QB_PVS_Result_Comp_Comb_Error_Diff_result_comp"},
    {"Class4OtherItemRefused", 4, 1, 2, 4, 2, 2, "IDS_QB_PVS_Result_Comp_Comb_Error_Diff_result_comp"},
    {"Class5OtherItemRefused", 5, 3, 2, 5, 4, 2, "IDS_QB_PVS_Result_Comp_Comb_Error_Diff_result_comp"},
    {"Class5SameItemAccepted", 5, 3, 2, 5, 3, 2, nullptr},
    {"OtherClassRefused", 1, 1, 1, 3, 1, 1, "IDS_QB_PVS_Result_Comp_Comb_Error_Diff_result_type"},
    {"OtherEntityKindRefusedFirst", 1, 1, 1, 3, 1, 2, "IDS_QB_PVS_Result_Comp_Comb_Error_Diff_entity_type"},
};

INSTANTIATE_TEST_SUITE_P(Rules, ResultCompCombPairs, ::testing::ValuesIn(kPairs),
                         [](const ::testing::TestParamInfo<PairCase>& info) { return std::string(info.param.label); });

// A row whose entity cannot be read is refused without a message.
TEST_F(ResultCompCombDialog, UnreadableEntityAddsNothing)
{
    AddRow("First", 1, 1, 1);
    AddRow("Second", 1, 1, 77);
    Run([](CDlgResultCompComb* d) {
        AddData(d, 0);
        AddData(d, 1);
        EXPECT_EQ(d->GetDataEntries().size(), 1u);
        EXPECT_EQ(Win32MessageBoxCount(), 0);
    });
}

TEST_F(ResultCompCombDialog, StepWithoutOfferedRowsShowsNone)
{
    T_PLSIF_D empty;
    empty.nOsifK = 1;
    empty.strName = "Empty";
    CClassPLsif(doc.GetPostDB()).Set(2, empty);
    const unsigned int nRowK = AddRow("Excluded", 1, 55, 1, 2);
    Run([nRowK](CDlgResultCompComb* d) {
        ASSERT_TRUE(AfxDriver::Select(d, IDC_RCC_STEP, 1));
        auto* combo = dynamic_cast<CComboBox*>(d->GetDlgItem(IDC_RCC_RESULT));
        ASSERT_NE(combo, nullptr);
        ASSERT_EQ(combo->GetCount(), 1);  // one row, not excluded by the dialog
        EXPECT_EQ(combo->GetItemData(0), nRowK);
    });
    CCobxPVtifResultTypeCompComb combo;
    combo.m_pDoc = &doc;
    combo.ExcludeItem(55);
    combo.ListResultTypes(2);
    ASSERT_EQ(combo.GetCount(), 1);
    CString s;
    combo.GetLBText(0, s);
    EXPECT_EQ(s, CString("None"));
    EXPECT_EQ(combo.GetItemData(0), 0u);

    combo.ResetContent();
    combo.ListResultTypes(1);  // the step has no rows at all
    ASSERT_EQ(combo.GetCount(), 1);
    EXPECT_EQ(combo.GetItemData(0), 0u);
}

TEST_F(ResultCompCombDialog, NoneAddsNoData)
{
    Run([](CDlgResultCompComb* d) {
        AddData(d, 0);  // "None"
        EXPECT_TRUE(d->GetDataEntries().empty());
        EXPECT_EQ(Win32MessageBoxCount(), 0);
    });
}

TEST_F(ResultCompCombDialog, SumOfTwoRowsWritesTheCombinationRow)
{
    const unsigned int a = AddRow("DX", 4, 9, 2);
    const unsigned int b = AddRow("DY", 4, 9, 2);
    Run([](CDlgResultCompComb* d) {
        AddData(d, 0);
        AddData(d, 1);
        AddComb(d, "Sum", "A+B");
        CListCtrl* l = List(d, IDC_RCC_COMB_LIST);
        ASSERT_EQ(l->GetItemCount(), 1);
        EXPECT_EQ(l->GetItemText(0, 0), CString("Sum"));
        EXPECT_EQ(l->GetItemText(0, 1), CString("A+B"));
        EXPECT_EQ(l->GetItemData(0), 3u);
    });
    CArray<unsigned int, unsigned int> keys;
    CPostVisualState::Instance()->GetCompCombKeyList(keys);
    ASSERT_EQ(keys.GetSize(), 1);
    const unsigned int nKey = keys[0];
    EXPECT_EQ(nKey, 3u);  // the next free row key
    T_PCOMP_COMB_D comb;
    ASSERT_TRUE(CPostVisualState::Instance()->GetCompCombD(nKey, comb));
    EXPECT_EQ(comb.strName, CString("Sum"));
    EXPECT_EQ(comb.strExpression, CString("A+B"));
    ASSERT_EQ(comb.aPVtifK.GetSize(), 2);
    EXPECT_EQ(comb.aPVtifK[0], a);
    EXPECT_EQ(comb.aPVtifK[1], b);
    EXPECT_EQ(comb.aSymbol[0], 0);
    EXPECT_EQ(comb.aSymbol[1], 1);

    T_POSIF_D set;
    ASSERT_TRUE(CClassPOsif(doc.GetPostDB()).Get(kSet, set));
    EXPECT_EQ(set.strName, CString("Result Component Combination"));
    CArray<unsigned int, unsigned int> steps;
    CClassPLsif(doc.GetPostDB()).GetKeyListByPOsifK(kSet, steps, nullptr);
    ASSERT_EQ(steps.GetSize(), 1);
    T_PLSIF_D step;
    ASSERT_TRUE(CClassPLsif(doc.GetPostDB()).Get(steps[0], step));
    EXPECT_EQ(step.strName, CString("Dummy Step"));
    EXPECT_EQ(step.nStepKind, 1);

    T_PVTIF_D row;
    ASSERT_TRUE(CClassPVtif(doc.GetPostDB()).Get(nKey, row));
    EXPECT_EQ(row.strName, CString("Sum(A+B)"));
    EXPECT_EQ(row.nItem, 709u);
    EXPECT_EQ(row.nStepK, steps[0]);
    EXPECT_EQ(row.nDispType, 7);
    EXPECT_EQ(row.nResultClass, 4);
    EXPECT_EQ(row.nEngrK, 2u);
    EXPECT_EQ(row.aComp.GetSize(), 0);
    // Class 4 keeps the first row's values.
    ASSERT_EQ(row.aDgrmPos.GetSize(), 1);
    EXPECT_EQ(row.aDgrmPos[0], 0.25);

    // A second combination of another class reuses the set's step and drops the values.
    AddRow("S1", 1, 1, 1);
    Run([](CDlgResultCompComb* d) {
        AddData(d, 2);
        AddComb(d, "Twice", "2*A");
    });
    CPostVisualState::Instance()->GetCompCombKeyList(keys);
    ASSERT_EQ(keys.GetSize(), 2);
    ASSERT_TRUE(CClassPVtif(doc.GetPostDB()).Get(keys[1], row));
    EXPECT_EQ(row.nStepK, steps[0]);
    EXPECT_EQ(row.strName, CString("Twice(2*A)"));
    EXPECT_EQ(row.aDgrmPos.GetSize(), 0);
    CClassPLsif(doc.GetPostDB()).GetKeyListByPOsifK(kSet, steps, nullptr);
    EXPECT_EQ(steps.GetSize(), 1);
}

TEST_F(ResultCompCombDialog, MissingInputAddsNoCombination)
{
    AddRow("DX", 1, 1);
    Run([](CDlgResultCompComb* d) {
        AddComb(d, "Sum", "A");  // no data
        AddData(d, 0);
        AddComb(d, "", "A");
        AddComb(d, "Sum", "");
    });
    EXPECT_EQ(CombCount(), 0);
    EXPECT_EQ(Win32MessageBoxCount(), 0);
}

TEST_F(ResultCompCombDialog, FailingExpressionShowsTheCheckersTextAndStoresNothing)
{
    AddRow("DX", 1, 1);
    AddRow("DY", 1, 1);
    Run([](CDlgResultCompComb* d) {
        AddData(d, 0);
        AddData(d, 1);
        AddComb(d, "Bad", "A+C");
        EXPECT_EQ(List(d, IDC_RCC_COMB_LIST)->GetItemCount(), 0);
    });
    EXPECT_EQ(LastMessage(), "Unknown symbol 'C' at position 3");
    EXPECT_EQ(CombCount(), 0);
    EXPECT_FALSE(CClassPOsif(doc.GetPostDB()).Exist(kSet));
    EXPECT_EQ(CClassPVtif(doc.GetPostDB()).GetCount(), 2);
}

TEST_F(ResultCompCombDialog, DeletingCombinationsKeepsTheOutputSet)
{
    AddRow("DX", 1, 1);
    AddRow("DY", 1, 1);
    Run([](CDlgResultCompComb* d) {
        AddData(d, 0);
        AddData(d, 1);
        AddComb(d, "Sum", "A+B");
        AddComb(d, "Diff", "A-B");
        AddComb(d, "Prod", "A*B");
        ASSERT_EQ(List(d, IDC_RCC_COMB_LIST)->GetItemCount(), 3);
        ASSERT_TRUE(AfxDriver::SelectListRows(d, IDC_RCC_COMB_LIST, {1}));
        AfxDriver::Click(d, IDC_RCC_DEL_COMB);
        CListCtrl* l = List(d, IDC_RCC_COMB_LIST);
        ASSERT_EQ(l->GetItemCount(), 2);
        EXPECT_EQ(l->GetItemText(0, 0), CString("Sum"));
        EXPECT_EQ(l->GetItemText(1, 0), CString("Prod"));
    });
    EXPECT_EQ(CombCount(), 2);
    EXPECT_EQ(CClassPVtif(doc.GetPostDB()).GetCount(), 4);
    Run([](CDlgResultCompComb* d) {
        EXPECT_EQ(List(d, IDC_RCC_COMB_LIST)->GetItemCount(), 2);  // listed again on opening
        AfxDriver::Click(d, IDC_RCC_DEL_ALL_COMB);
        EXPECT_EQ(List(d, IDC_RCC_COMB_LIST)->GetItemCount(), 0);
    });
    EXPECT_EQ(CombCount(), 0);
    EXPECT_EQ(CClassPVtif(doc.GetPostDB()).GetCount(), 2);
    EXPECT_TRUE(CClassPOsif(doc.GetPostDB()).Exist(kSet));
}

TEST_F(ResultCompCombDialog, ClickingACombinationLoadsItLeavingOutSymbolsOutOfRange)
{
    const unsigned int a = AddRow("DX", 1, 1);
    const unsigned int b = AddRow("DY", 1, 1);
    T_PCOMP_COMB_D comb;
    comb.strName = "Stored";
    comb.strExpression = "B-A";
    const int symbols[] = {1, 26, -1, 0};
    const unsigned int rows[] = {a, b, a, b};
    for (int i = 0; i < 4; ++i) {
        comb.aPVtifK.Add(rows[i]);
        comb.aSymbol.Add(symbols[i]);
    }
    ASSERT_TRUE(CPostVisualState::Instance()->AddCompComb(50, comb));
    Run([&](CDlgResultCompComb* d) {
        ASSERT_TRUE(AfxDriver::SelectListRows(d, IDC_RCC_COMB_LIST, {0}, TRUE));
        const auto& e = d->GetDataEntries();
        ASSERT_EQ(e.size(), 2u);
        EXPECT_EQ(e[0].nPVtifK, a);
        EXPECT_EQ(e[0].nSymbol, 1);
        EXPECT_EQ(e[1].nPVtifK, b);
        EXPECT_EQ(e[1].nSymbol, 0);
        EXPECT_EQ(AfxDriver::GetText(d, IDC_RCC_NAME), CString("Stored"));
        EXPECT_EQ(AfxDriver::GetText(d, IDC_RCC_EXPRESSION), CString("B-A"));
        CListCtrl* l = List(d, IDC_RCC_DATA_LIST);
        ASSERT_EQ(l->GetItemCount(), 2);
        EXPECT_EQ(l->GetItemText(0, 1), CString("B"));
        EXPECT_EQ(l->GetItemText(1, 1), CString("A"));
        // The next row added takes the lowest free symbol.
        AddData(d, 0);
        EXPECT_EQ(e.back().nSymbol, 2);
    });
}

} // namespace
