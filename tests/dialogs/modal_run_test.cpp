// The modal run and the spin control of the window-less dialog layer, which the modal dialogs'
// tests and the demo host rely on: the user's scripted actions go to the dialog on top, the run
// ends with EndDialog's result, and a spin step asks the parent first.
#include "afx_standin.h"
#include "afxcmn.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

enum : UINT { IDD_MODAL_PROBE = 950, ID_PROBE_OK = 951, ID_PROBE_SPIN = 952, ID_PROBE_INNER = 953 };

std::vector<std::string> g_log;

const bool g_bTemplate = [] {
    AfxRegisterDialogTemplate(IDD_MODAL_PROBE, AFX_DLGTEMPLATE_D{"probe",
                                                                 100,
                                                                 {{ID_PROBE_OK, AFX_CTL_BUTTON, "OK", 0},
                                                                  {ID_PROBE_SPIN, AFX_CTL_SPIN, "", 0},
                                                                  {ID_PROBE_INNER, AFX_CTL_BUTTON, "Inner", 0}}});
    return true;
}();

class ProbeDlg : public CDialog {
    DECLARE_MESSAGE_MAP()
public:
    explicit ProbeDlg(std::string name, int nEndAtInit = 0)
        : CDialog(IDD_MODAL_PROBE), m_name(std::move(name)), m_nEndAtInit(nEndAtInit)
    {}
    CSpinButtonCtrl m_spin;
    LRESULT m_nRefuse = 0;
    int m_nInnerResult = 0;

protected:
    void DoDataExchange(CDataExchange* pDX) override { DDX_Control(pDX, ID_PROBE_SPIN, m_spin); }
    BOOL OnInitDialog() override
    {
        CDialog::OnInitDialog();
        m_spin.SetRange(1, 5);
        m_spin.SetPos(3);
        g_log.push_back(m_name + " init");
        if (m_nEndAtInit)
            EndDialog(m_nEndAtInit);
        return TRUE;
    }
    void OnOKButton() { EndDialog(IDOK); }
    void OnInner()
    {
        ProbeDlg inner("inner");
        m_nInnerResult = inner.DoModal();
    }
    void OnDeltapos(NMHDR* pHdr, LRESULT* pResult)
    {
        const auto* p = reinterpret_cast<const NMUPDOWN*>(pHdr);
        g_log.push_back(m_name + " delta " + std::to_string(p->iPos) + " " + std::to_string(p->iDelta));
        *pResult = m_nRefuse;
    }
    void OnDestroy() override { g_log.push_back(m_name + " destroyed"); }

private:
    std::string m_name;
    int m_nEndAtInit;
};

BEGIN_MESSAGE_MAP(ProbeDlg, CDialog)
ON_BN_CLICKED(ID_PROBE_OK, OnOKButton)
ON_BN_CLICKED(ID_PROBE_INNER, OnInner)
ON_NOTIFY(UDN_DELTAPOS, ID_PROBE_SPIN, OnDeltapos)
END_MESSAGE_MAP()

class ModalRunTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        (void)g_bTemplate;
        g_log.clear();
        AfxDriver::ClearModalScript();
    }
    void TearDown() override { AfxDriver::ClearModalScript(); }
};

TEST_F(ModalRunTest, ActionsGoToTheDialogOnTopAndEachRunEndsWithItsResult)
{
    ProbeDlg outer("outer");
    AfxDriver::ScriptModal([](CDialog* d) { AfxDriver::Click(d, ID_PROBE_INNER); });
    AfxDriver::ScriptModal([](CDialog* d) { AfxDriver::Click(d, ID_PROBE_OK); }); // to the inner one
    AfxDriver::ScriptModal([](CDialog* d) { AfxDriver::Click(d, IDCANCEL); });
    EXPECT_EQ(outer.DoModal(), IDCANCEL);
    EXPECT_EQ(outer.m_nInnerResult, IDOK);
    EXPECT_EQ(g_log, (std::vector<std::string>{"outer init", "inner init", "inner destroyed", "outer destroyed"}));
    EXPECT_EQ(outer.m_hWnd, nullptr);
    EXPECT_EQ(AfxDriver::ModalScriptLength(), 0);
}

TEST_F(ModalRunTest, EndedDuringInitialisationPlaysNoAction)
{
    ProbeDlg dlg("dlg", IDOK);
    AfxDriver::ScriptModal([](CDialog*) { g_log.push_back("action"); });
    EXPECT_EQ(dlg.DoModal(), IDOK);
    EXPECT_EQ(AfxDriver::ModalScriptLength(), 1);
    EXPECT_EQ(g_log, (std::vector<std::string>{"dlg init", "dlg destroyed"}));
}

TEST_F(ModalRunTest, DialogThatCannotBeCreatedGivesMinusOne)
{
    ProbeDlg dlg("dlg");
    AfxStandInFailNextDialogCreate();
    EXPECT_EQ(dlg.DoModal(), -1);
    EXPECT_TRUE(g_log.empty());
    // Without a script the user closes it: Cancel.
    EXPECT_EQ(dlg.DoModal(), IDCANCEL);
}

TEST_F(ModalRunTest, SpinAsksTheParentAndStaysInRangeUnlessRefused)
{
    ProbeDlg dlg("dlg");
    std::vector<int> pos;
    AfxDriver::ScriptModal([&](CDialog* d) {
        auto* p = static_cast<ProbeDlg*>(d);
        for (int delta : {1, 1, 1, -1}) {
            EXPECT_TRUE(AfxDriver::Spin(d, ID_PROBE_SPIN, delta));
            pos.push_back(p->m_spin.GetPos());
        }
        p->m_nRefuse = 1;
        AfxDriver::Spin(d, ID_PROBE_SPIN, -1);
        pos.push_back(p->m_spin.GetPos());
    });
    dlg.DoModal();
    EXPECT_EQ(pos, (std::vector<int>{4, 5, 5, 4, 4}));
    EXPECT_EQ(g_log[3], "dlg delta 5 1") << "the step at the range's end is still offered";
}

} // namespace
