// The history-data dialog driven as a user drives it, on stored graphs whose arrays are known:
// time graphs against time or against another graph's values, hysteresis graphs from their
// own pair of arrays. Expected value texts are built with the C library's "%e".
#include "dialogs/CDlgHistoryData.h"
#include "dialogs/DialogControlIds.h"

#include "ClassPGrph.h"
#include "Comp2ResultType.h"
#include "GraphWindowsHost.h"
#include "THResultBuilder.h"
#include "XYGraphFuncView.h"
#include "afx_standin.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

namespace {

const char* const kTitle = "History Data";

CString Fmt(double v)
{
    CString s;
    s.Format("%e", v);
    return s;
}

class HistoryDataDialogTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        CZORDocBase::SetCurDoc(&doc);
        CTHResultBuilder::PostCtrl(doc);
        view.CreateWindowCore(nullptr);
        doc.SetActiveView(&view);
        host = std::make_unique<kvpvs::host::CGraphWindowsHost>(doc);
        Win32ClearMessageBoxJournal();
    }
    void TearDown() override
    {
        if (CDlgHistoryData::m_pMySelf)
            CDlgHistoryData::m_pMySelf->DestroyWindow();
        host.reset();
        EXPECT_EQ(T_GRAPH_D::GetLiveCount(), 0) << "graph data left behind";
        view.DestroyWindow();
        CZORDocBase::SetCurDoc(nullptr);
    }
    // A stored graph with its arrays (none when bData is false).
    unsigned Store(const char* pszName, int nType, const std::vector<double>& a1, const std::vector<double>& a2,
                   bool bData = true, unsigned c1 = 0, unsigned c2 = 0)
    {
        T_PGRPH_D g;
        g.strName = pszName;
        g.nType = nType;
        g.nComID[0] = c1;
        g.nComID[1] = c2;
        const unsigned k = CClassPGrph(doc.GetPostDB()).Add(g);
        if (bData) {
            T_PGRPH_DATA_D d;
            for (double v : a1)
                d.aFirst.Add(v);
            for (double v : a2)
                d.aSecond.Add(v);
            CClassPGrphData(doc.GetPostDB()).Set(k, d);
        }
        return k;
    }
    CDlgHistoryData* Open()
    {
        CDlgHistoryData::CreateOrActivate(&view);
        return CDlgHistoryData::m_pMySelf;
    }
    CCheckListBox* List() { return dynamic_cast<CCheckListBox*>(dlg->GetDlgItem(IDC_HDATA_LIST)); }
    CComboBox* XGraph() { return dynamic_cast<CComboBox*>(dlg->GetDlgItem(IDC_HDATA_XGRAPH)); }
    std::vector<unsigned> ListKeys()
    {
        std::vector<unsigned> v;
        for (int i = 0; i < List()->GetCount(); ++i)
            v.push_back(static_cast<unsigned>(List()->GetItemData(i)));
        return v;
    }
    int IndexOf(unsigned k)
    {
        for (int i = 0; i < List()->GetCount(); ++i)
            if (List()->GetItemData(i) == k)
                return i;
        return -1;
    }
    void Tick(std::initializer_list<unsigned> keys)
    {
        for (unsigned k : keys)
            ASSERT_TRUE(AfxDriver::CheckItem(dlg, IDC_HDATA_LIST, IndexOf(k), 1));
    }
    void SelectX(unsigned k)
    {
        for (int i = 0; i < XGraph()->GetCount(); ++i) {
            if (XGraph()->GetItemData(i) == k) {
                ASSERT_TRUE(AfxDriver::Select(dlg, IDC_HDATA_XGRAPH, i));
            }
        }
    }
    CXYGraphFuncView* View() const { return host->Find(kTitle); }
    const T_GRAPH_D* Graph() const { return View() ? View()->GetGraphData() : nullptr; }
    static std::vector<CString> Texts(const T_GRAPH_ITEM_D& it)
    {
        return std::vector<CString>(it.aValue.GetData(), it.aValue.GetData() + it.aValue.GetSize());
    }
    static std::vector<CString> Expected(const std::vector<double>& v)
    {
        std::vector<CString> s;
        for (double x : v)
            s.push_back(Fmt(x));
        return s;
    }

    CDBDoc doc;
    CView view;
    std::unique_ptr<kvpvs::host::CGraphWindowsHost> host;
    CDlgHistoryData* dlg = nullptr;
};

TEST_F(HistoryDataDialogTest, TypeFilterListsTimeGraphsOrOnlyHysteresisGraphs)
{
    const unsigned t1 = Store("disp", 1, {0.1, 0.2}, {1, 2});
    const unsigned h = Store("loop", 2, {1, 2}, {3, 4});
    const unsigned t6 = Store("input wave", 6, {0.1, 0.2}, {5, 6});
    dlg = Open();
    ASSERT_NE(dlg, nullptr);
    EXPECT_STREQ(AfxDriver::GetText(dlg, IDC_HDATA_TITLE), "History Data");
    EXPECT_STREQ(AfxDriver::GetText(dlg, IDC_HDATA_X_TITLE), "Time");
    EXPECT_STREQ(AfxDriver::GetText(dlg, IDC_HDATA_Y_TITLE), "Y Axis");
    EXPECT_EQ(ListKeys(), (std::vector<unsigned>{t1, t6})) << "time graphs: every type but 2";
    ASSERT_EQ(XGraph()->GetCount(), 3);
    CString s;
    XGraph()->GetLBText(0, s);
    EXPECT_STREQ(s, "Time");
    EXPECT_EQ(XGraph()->GetItemData(0), 0u);
    EXPECT_EQ(XGraph()->GetItemData(2), t6);
    EXPECT_EQ(XGraph()->GetCurSel(), 0);
    EXPECT_TRUE(XGraph()->IsWindowEnabled());

    ASSERT_TRUE(AfxDriver::Click(dlg, IDC_HDATA_HYST_GRAPH));
    EXPECT_EQ(ListKeys(), (std::vector<unsigned>{h}));
    EXPECT_EQ(XGraph()->GetCount(), 0);
    EXPECT_FALSE(XGraph()->IsWindowEnabled());

    ASSERT_TRUE(AfxDriver::Click(dlg, IDC_HDATA_TIME_GRAPH));
    EXPECT_EQ(ListKeys(), (std::vector<unsigned>{t1, t6}));
    EXPECT_TRUE(XGraph()->IsWindowEnabled());

    const UINT nRegID = CDlgHistoryData::m_reg.nRegID;
    CDlgHistoryData::CreateOrActivate(&view);
    EXPECT_EQ(CDlgHistoryData::m_pMySelf, dlg) << "a second request activates the first";
    EXPECT_EQ(CDlgHistoryData::m_reg.nRegID, nRegID);
    ASSERT_TRUE(AfxDriver::Click(dlg, IDC_HDATA_CLOSE));
    EXPECT_EQ(CDlgHistoryData::m_pMySelf, nullptr) << "Close ends the dialog";
}

TEST_F(HistoryDataDialogTest, NoDocumentOpensNothing)
{
    CZORDocBase::SetCurDoc(nullptr);
    EXPECT_EQ(Open(), nullptr);
}

TEST_F(HistoryDataDialogTest, SelectionsNameTheAxes)
{
    const unsigned a = Store("disp", 1, {0.1}, {1});
    const unsigned x = Store("force", 1, {0.1}, {2});
    CWKVRComp2ResultType::SetComName(701, "Displacement DX");
    CWKVRComp2ResultType::SetComName(702, "Force FX");
    const unsigned h = Store("loop", 2, {1}, {3}, true, 701, 702);
    dlg = Open();
    ASSERT_TRUE(AfxDriver::Select(dlg, IDC_HDATA_LIST, IndexOf(a)));
    EXPECT_STREQ(AfxDriver::GetText(dlg, IDC_HDATA_Y_TITLE), "disp");
    ASSERT_TRUE(AfxDriver::SetText(dlg, IDC_HDATA_TITLE, "typed title"));
    SelectX(x);
    EXPECT_STREQ(AfxDriver::GetText(dlg, IDC_HDATA_X_TITLE), "force");
    EXPECT_STREQ(AfxDriver::GetText(dlg, IDC_HDATA_TITLE), "typed title") << "typed text survives the selection";

    ASSERT_TRUE(AfxDriver::Click(dlg, IDC_HDATA_HYST_GRAPH));
    ASSERT_TRUE(AfxDriver::Select(dlg, IDC_HDATA_LIST, IndexOf(h)));
    EXPECT_STREQ(AfxDriver::GetText(dlg, IDC_HDATA_X_TITLE), "Displacement DX");
    EXPECT_STREQ(AfxDriver::GetText(dlg, IDC_HDATA_Y_TITLE), "Force FX");
}

TEST_F(HistoryDataDialogTest, TimeGraphsAgainstTimeCarryTheirOwnArrays)
{
    const std::vector<double> t = {0.5, 1.0, 1.5}, y = {-1.25, 3.0, 7.5e-7};
    const unsigned a = Store("disp", 1, t, y);
    const unsigned b = Store("short", 1, {0.5, 1.0, 1.5}, {4.0, 5.0});
    dlg = Open();
    Tick({a, b});
    ASSERT_TRUE(AfxDriver::Click(dlg, IDC_HDATA_APPLY));
    const T_GRAPH_D* g = Graph();
    ASSERT_NE(g, nullptr);
    ASSERT_EQ(g->aItem.GetSize(), 4);
    EXPECT_STREQ(g->aItem[0]->strName, "disp");
    EXPECT_STREQ(g->aItem[1]->strName, "disp");
    EXPECT_STREQ(g->aItem[0]->strLabel, "");
    EXPECT_EQ(g->aItem[0]->nKind, 2);
    EXPECT_EQ(Texts(*g->aItem[0]), Expected(t));
    EXPECT_EQ(Texts(*g->aItem[1]), Expected(y));
    EXPECT_EQ(Texts(*g->aItem[2]), Expected({0.5, 1.0})) << "cut to the shorter array";
    EXPECT_EQ(Texts(*g->aItem[3]), Expected({4.0, 5.0}));
    EXPECT_EQ(View()->GetStyle(), 0x220000u);
    EXPECT_STREQ(View()->m_strXFormat, "%.4f");
    EXPECT_STREQ(View()->m_strYFormat, "%.4f");
    EXPECT_STREQ(View()->m_strTitle, "History Data");
    EXPECT_STREQ(View()->m_strXTitle, "Time");
}

TEST_F(HistoryDataDialogTest, TheXGraphCutsTheCurvesToItsLength)
{
    const unsigned x = Store("force", 1, {0.1, 0.2}, {10.0, 20.0});
    const unsigned a = Store("disp", 1, {0.1, 0.2, 0.3, 0.4}, {1.0, 2.0, 3.0, 4.0});
    dlg = Open();
    SelectX(x);
    Tick({a});
    ASSERT_TRUE(AfxDriver::SetText(dlg, IDC_HDATA_X_DECIMAL, "2"));
    ASSERT_TRUE(AfxDriver::Check(dlg, IDC_HDATA_Y_EXPONENTIAL, 1));
    ASSERT_TRUE(AfxDriver::Click(dlg, IDC_HDATA_APPLY));
    const T_GRAPH_D* g = Graph();
    ASSERT_NE(g, nullptr);
    ASSERT_EQ(g->aItem.GetSize(), 2);
    EXPECT_EQ(Texts(*g->aItem[0]), Expected({10.0, 20.0})) << "the X graph's second array";
    EXPECT_EQ(Texts(*g->aItem[1]), Expected({1.0, 2.0}));
    EXPECT_STREQ(View()->m_strXFormat, "%.2f");
    EXPECT_STREQ(View()->m_strYFormat, "%.4e");
    EXPECT_EQ(View()->m_nXPlaces, 2);
    EXPECT_EQ(View()->m_bYExponential, 1);
}

TEST_F(HistoryDataDialogTest, AnXGraphWithoutArraysShowsNothing)
{
    const unsigned x = Store("force", 1, {}, {}, false);
    const unsigned a = Store("disp", 1, {0.1}, {1.0});
    dlg = Open();
    SelectX(x);
    Tick({a});
    ASSERT_TRUE(AfxDriver::Click(dlg, IDC_HDATA_APPLY));
    EXPECT_EQ(View(), nullptr);
    EXPECT_EQ(Win32MessageBoxCount(), 0);
}

TEST_F(HistoryDataDialogTest, NothingTickedDoesNothing)
{
    Store("disp", 1, {0.1}, {1.0});
    dlg = Open();
    ASSERT_TRUE(AfxDriver::Click(dlg, IDC_HDATA_APPLY));
    EXPECT_EQ(host->GetRequestCount(), 0);
    ASSERT_TRUE(AfxDriver::Click(dlg, IDC_HDATA_HYST_GRAPH));
    ASSERT_TRUE(AfxDriver::Click(dlg, IDC_HDATA_APPLY));
    EXPECT_EQ(host->GetRequestCount(), 0);
}

TEST_F(HistoryDataDialogTest, UnreadableGraphsAreLeftOutAndAllSkippedHandsOverAnEmptyGraph)
{
    const unsigned none = Store("no arrays", 1, {}, {}, false);
    const unsigned empty = Store("empty", 1, {0.1}, {});
    const unsigned a = Store("disp", 1, {0.1}, {1.0});
    dlg = Open();
    Tick({none, empty, a});
    ASSERT_TRUE(AfxDriver::Click(dlg, IDC_HDATA_APPLY));
    ASSERT_NE(Graph(), nullptr);
    ASSERT_EQ(Graph()->aItem.GetSize(), 2);
    EXPECT_STREQ(Graph()->aItem[0]->strName, "disp");

    ASSERT_TRUE(AfxDriver::CheckItem(dlg, IDC_HDATA_LIST, IndexOf(a), 0));
    ASSERT_TRUE(AfxDriver::Click(dlg, IDC_HDATA_APPLY));
    ASSERT_NE(Graph(), nullptr);
    EXPECT_EQ(Graph()->aItem.GetSize(), 0);
    EXPECT_EQ(View()->GetGraphDataCount(), 2);
}

TEST_F(HistoryDataDialogTest, HysteresisGraphsPairTheirOwnArrays)
{
    const unsigned h = Store("loop", 2, {-1.0, 0.0, 1.0, 0.0}, {-2.0, 0.5, 2.0});
    dlg = Open();
    ASSERT_TRUE(AfxDriver::Click(dlg, IDC_HDATA_HYST_GRAPH));
    Tick({h});
    ASSERT_TRUE(AfxDriver::Click(dlg, IDC_HDATA_APPLY));
    ASSERT_NE(Graph(), nullptr);
    ASSERT_EQ(Graph()->aItem.GetSize(), 2);
    EXPECT_EQ(Texts(*Graph()->aItem[0]), Expected({-1.0, 0.0, 1.0}));
    EXPECT_EQ(Texts(*Graph()->aItem[1]), Expected({-2.0, 0.5, 2.0}));
}

struct BadPlaces {
    const char* pszName;
    UINT nID;
    const char* pszText;
    const char* pszMessage;
};

class HistoryDataBadPlaces : public HistoryDataDialogTest, public ::testing::WithParamInterface<BadPlaces> {};

TEST_P(HistoryDataBadPlaces, FailTheExchangeWithTheFrameworksMessageAndShowNothing)
{
    const unsigned a = Store("disp", 1, {0.1}, {1.0});
    dlg = Open();
    Tick({a});
    ASSERT_TRUE(AfxDriver::SetText(dlg, GetParam().nID, GetParam().pszText));
    ASSERT_TRUE(AfxDriver::Click(dlg, IDC_HDATA_APPLY));
    EXPECT_EQ(host->GetRequestCount(), 0);
    ASSERT_EQ(Win32MessageBoxCount(), 1);
    EXPECT_STREQ(Win32MessageBoxAt(0)->pszText, GetParam().pszMessage);
    EXPECT_STREQ(AfxDriver::GetText(dlg, GetParam().nID), GetParam().pszText) << "the typed text stays";
}

INSTANTIATE_TEST_SUITE_P(
    Texts, HistoryDataBadPlaces,
    ::testing::Values(BadPlaces{"FormatInjection", IDC_HDATA_Y_DECIMAL, "4s%n", "Please enter an integer."},
                      BadPlaces{"Fraction", IDC_HDATA_X_DECIMAL, "2.5", "Please enter an integer."},
                      BadPlaces{"Empty", IDC_HDATA_X_DECIMAL, "", "Please enter an integer."},
                      BadPlaces{"Negative", IDC_HDATA_Y_DECIMAL, "-1", "Please enter an integer between 0 and 15."},
                      BadPlaces{"TooMany", IDC_HDATA_X_DECIMAL, "16", "Please enter an integer between 0 and 15."}),
    [](const ::testing::TestParamInfo<BadPlaces>& i) { return std::string(i.param.pszName); });

} // namespace
