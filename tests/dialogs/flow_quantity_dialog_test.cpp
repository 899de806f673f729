// The flow-quantity dialog on a 2 x 2 x 2 block (nodes 1 to 27) whose discharge row holds
// Q = k / 2 for nodes k = 1 to 10 only: typed and picked node lists are summed over the nodes
// that have values; the compact node-list text reads back what it writes.
#include "SeepageDialogFixtures.h"

#include "dialogs/CDlgFlowQuantityTKVR.h"
#include "dialogs/DialogControlIds.h"

#include "NodeListText.h"
#include "afx_standin.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace kvpvs::test;

namespace {

class FlowQuantityDialog : public ::testing::Test {
protected:
    void SetUp() override
    {
        AddVelocityRow(s.m, 1.0, 0.0, 0.0);
        AddNodeRow(s.m, "Discharge", kClassNodeSeepage, 3, [](unsigned int k, const double*) {
            return k <= 10 ? std::vector<double>{k / 2.0} : std::vector<double>{};
        });
        Win32ClearMessageBoxJournal();
    }
    void TearDown() override
    {
        if (IsWindow(hDlg))
            DestroyWindow(hDlg);
    }
    CDlgFlowQuantityTKVR* Open()
    {
        auto* dlg = new CDlgFlowQuantityTKVR(nullptr);
        EXPECT_TRUE(dlg->Create(nullptr));
        dlg->ShowWindow(SW_SHOW);
        hDlg = dlg->m_hWnd;
        return dlg;
    }
    CString Calculate(CDlgFlowQuantityTKVR* dlg, const char* pszNodes)
    {
        AfxDriver::SetText(dlg, IDC_FQ_NODES, pszNodes);
        AfxDriver::Click(dlg, IDC_FQ_CALCULATE);
        return AfxDriver::GetText(dlg, IDC_FQ_TOTAL);
    }
    std::string LastMessage() const
    {
        const int n = Win32MessageBoxCount();
        return n ? Win32MessageBoxAt(n - 1)->pszText : "";
    }

    SeepageScene s;
    HWND hDlg = nullptr;
};

TEST_F(FlowQuantityDialog, SumsOnlyTheNodesThatHaveValues)
{
    CDlgFlowQuantityTKVR* dlg = Open();
    EXPECT_EQ(dlg->GetSelectMode(), 1);
    // 1/2 + 2/2 + 3/2 + 9/2 = 7.5; node 20 has no value.
    EXPECT_EQ(Calculate(dlg, "1to3 9, 20"), CString("7.5"));
    EXPECT_EQ(Win32MessageBoxCount(), 0);
    // Nodes 1 to 10: 55 / 2.
    EXPECT_EQ(Calculate(dlg, "1to27"), CString("27.5"));
}

TEST_F(FlowQuantityDialog, ListsThatGiveNoValueSayWhyAndKeepTheTotal)
{
    CDlgFlowQuantityTKVR* dlg = Open();
    ASSERT_EQ(Calculate(dlg, "4"), CString("2"));
    const struct {
        const char* pszNodes;
        const char* pszMessage;
    } cases[] = {{"20 21", "Invalid nodes"}, {"", "Not exist nodes"}, {"1-3", "Invalid nodes"}, {"3to1", "Invalid nodes"},
                 {"0", "Invalid nodes"}, {"99999", "Invalid nodes"}, {" , ", "Not exist nodes"}};
    for (const auto& c : cases) {
        EXPECT_EQ(Calculate(dlg, c.pszNodes), CString("2")) << c.pszNodes;
        EXPECT_EQ(LastMessage(), c.pszMessage) << c.pszNodes;
    }
}

TEST_F(FlowQuantityDialog, StepWithoutRowsOrWithoutQuantitySaysSo)
{
    CDBBase* pPost = s.m.doc.GetPostDB();
    T_PLSIF_D empty;
    empty.nOsifK = 1;
    CClassPLsif(pPost).Set(2, empty);
    T_PLSIF_D velocity;
    velocity.nOsifK = 1;
    CClassPLsif(pPost).Set(3, velocity);
    AddVelocityRow(s.m, 1.0, 0.0, 0.0, 3);
    CDlgFlowQuantityTKVR* dlg = Open();
    AfxDriver::Select(dlg, IDC_FQ_STEP, 1);
    Calculate(dlg, "1");
    EXPECT_EQ(LastMessage(), "[Error] No result exist in current step");
    AfxDriver::Select(dlg, IDC_FQ_STEP, 2);
    Calculate(dlg, "1");
    EXPECT_EQ(LastMessage(), "[Error] No node flow quantity exist in current step");
    EXPECT_EQ(AfxDriver::GetText(dlg, IDC_FQ_TOTAL), CString(""));
}

TEST_F(FlowQuantityDialog, PickedNodesBecomeASortedCompactListAndResetKeepsTheTotal)
{
    CDlgFlowQuantityTKVR* dlg = Open();
    CArray<unsigned int, unsigned int> picked;
    for (unsigned int k : {5u, 2u, 3u})
        picked.Add(k);
    ASSERT_TRUE(dlg->PickMesh(picked));
    EXPECT_EQ(AfxDriver::GetText(dlg, IDC_FQ_NODES), CString("2 3 5"));
    picked.RemoveAll();
    picked.Add(4);
    dlg->PickMesh(picked);
    EXPECT_EQ(AfxDriver::GetText(dlg, IDC_FQ_NODES), CString("2to5"));
    AfxDriver::Click(dlg, IDC_FQ_CALCULATE);
    EXPECT_EQ(AfxDriver::GetText(dlg, IDC_FQ_TOTAL), CString("7"));

    AfxDriver::Click(dlg, IDC_FQ_RESET);
    EXPECT_EQ(AfxDriver::GetText(dlg, IDC_FQ_NODES), CString(""));
    EXPECT_EQ(AfxDriver::GetText(dlg, IDC_FQ_TOTAL), CString("7"));
    EXPECT_EQ(dlg->GetTemporarySelection().GetSize(), 0);
    EXPECT_EQ(dlg->GetSelectMode(), 1);
}

// The node-list text: what Optimize writes reads back unchanged, in its order.
struct RoundTrip {
    const char* pszName;
    std::vector<unsigned int> aNo;
    const char* pszText;
};

class NodeListText : public ::testing::TestWithParam<RoundTrip> {};

TEST_P(NodeListText, ReadsBackWhatItWrites)
{
    CArray<unsigned int, unsigned int> a, back;
    for (unsigned int n : GetParam().aNo)
        a.Add(n);
    const CString text = CNumericOptimizer::Optimize(a);
    EXPECT_EQ(text, CString(GetParam().pszText));
    ASSERT_TRUE(CStrParser::GetNodeList(text, back));
    ASSERT_EQ(back.GetSize(), a.GetSize());
    for (int i = 0; i < a.GetSize(); ++i)
        EXPECT_EQ(back[i], a[i]) << i;
}

INSTANTIATE_TEST_SUITE_P(
    Lists, NodeListText,
    ::testing::Values(RoundTrip{"Empty", {}, ""}, RoundTrip{"Single", {7}, "7"}, RoundTrip{"PairStaysApart", {7, 8}, "7 8"},
                      RoundTrip{"RunOfThree", {7, 8, 9}, "7to9"}, RoundTrip{"Mixed", {1, 3, 4, 5, 6, 10, 11}, "1 3to6 10 11"},
                      RoundTrip{"Repeated", {2, 2, 3, 4}, "2 2to4"}, RoundTrip{"Unsorted", {9, 8, 7}, "9 8 7"},
                      RoundTrip{"TopOfRange", {4294967294u, 4294967295u}, "4294967294 4294967295"}),
    [](const ::testing::TestParamInfo<RoundTrip>& i) { return std::string(i.param.pszName); });

TEST(NodeListTextMalformed, FailsAndLeavesNoNumbers)
{
    for (const char* psz : {"1;2", "a", "1to", "to3", "5to2", "0", "4294967296", "1to2to3", "-1", "1to20000000"}) {
        CArray<unsigned int, unsigned int> a;
        a.Add(99);
        EXPECT_FALSE(CStrParser::GetNodeList(psz, a)) << psz;
        EXPECT_EQ(a.GetSize(), 0) << psz;
    }
}

} // namespace
