// The dialog launcher: each name of its tables opens its dialog (the class of the window that
// appears is checked), the openers that keep one instance activate it on a second call, the
// directly created dialogs are new on every call, and the modal combination dialog leaves the
// combination output set only while a combination remains.
#include "frame/IKVPvsDialog.h"

#include "dialogs/DialogControlIds.h"

#include "DBDoc.h"
#include "PostVisualState.h"
#include "afx_standin.h"

#include <cxxabi.h>
#include <gtest/gtest.h>

#include <cstdlib>
#include <memory>
#include <set>
#include <string>
#include <typeinfo>
#include <vector>

namespace {

struct LauncherCase {
    const char* pszName;
    const char* pszClass; // the window that opens
    bool bSingle;         // opened at most once
};

const LauncherCase kCases[] = {
    {"CDlgHistoryData", "CDlgHistoryData", true},
    {"CDlgHistoryPlot", "CDlgHistoryPlot", true},
    {"CDlgHistoryGrphTKVR", "CDlgHistoryGrphTKVR", true},
    {"CDlgFlowQuantityTKVR", "CDlgFlowQuantityTKVR", false},
    {"CDlgHistoryPlotTKVR", "CDlgHistoryPlotTKVR", true},
    {"CDlgFlowDiscWKVR", "CDlgFlowDiscWKVR", true},
    {"CDlgProfileGridDef", "CDlgProfileGridDef", false},
    {"CDlgProfileGridPlot", "CDlgProfileGridPlot", true},
    {"CDlgFlowPathWKVR", "CDlgFlowPathWKVR", false},
    {"CDlgSaveResultPic", "CDlgSaveResultPic", true},
    {"CDlgSlopeFOSResult", "CDlgSlopeFOSResult", true},
    {"CDlgBeamElementDesign", "CDlgBeamElementDesign", false},
    {"CDlgLclDirForSum", "CDlgLclDirForSum", true},
    {"CDlgPlateSolidDesign", "CDlgPlateSolidDesign", true},
};

std::string ClassOf(CWnd* p)
{
    int nStatus = 0;
    std::unique_ptr<char, void (*)(void*)> name(abi::__cxa_demangle(typeid(*p).name(), nullptr, nullptr, &nStatus),
                                                std::free);
    return nStatus == 0 && name ? name.get() : typeid(*p).name();
}

class DialogLauncher : public ::testing::Test {
protected:
    void SetUp() override
    {
        view.CreateWindowCore(nullptr);
        doc.SetActiveView(&view);
        CZORDocBase::SetCurDoc(&doc);
        AfxDriver::ClearModalScript();
        Before();
        initial = seen;
    }
    void TearDown() override
    {
        CloseAll();
        CZORDocBase::SetCurDoc(nullptr);
        view.DestroyWindow();
        AfxDriver::ClearModalScript();
    }
    // Top-level windows owned by the view or the main window.
    std::vector<HWND> Owned() const
    {
        std::vector<HWND> out;
        for (HWND hOwner : {view.m_hWnd, AfxGetMainWnd()->m_hWnd}) {
            HWND a[64];
            const int n = Win32RelatedWindows(hOwner, FALSE, a, 64);
            out.insert(out.end(), a, a + n);
        }
        return out;
    }
    void Before()
    {
        seen.clear();
        for (HWND h : Owned())
            seen.insert(h);
    }
    // Classes of the windows that opened since the last look.
    std::vector<std::string> Opened()
    {
        std::vector<std::string> out;
        for (HWND h : Owned())
            if (seen.insert(h).second)
                out.push_back(ClassOf(static_cast<CWnd*>(Win32WindowObject(h))));
        return out;
    }
    void CloseAll()
    {
        for (HWND h : Owned())
            if (IsWindow(h) && !initial.count(h))
                DestroyWindow(h);
        Before();
    }

    CDBDoc doc;
    CView view;
    std::set<HWND> seen;
    std::set<HWND> initial;
};

TEST_F(DialogLauncher, EveryNameOpensItsDialogInTableOrder)
{
    std::vector<std::string> aOpened;
    unsigned int nWord = 0x00010007u;
    for (const LauncherCase& c : kCases) {
        EXPECT_EQ(IKVPvsDialog::DoModeless(c.pszName, &nWord, nullptr), 1) << c.pszName;
        const std::vector<std::string> now = Opened();
        EXPECT_EQ(now.size(), 1u) << c.pszName;
        if (!now.empty()) {
            EXPECT_EQ(now[0], c.pszClass);
            aOpened.push_back(now[0]);
        }
    }
    EXPECT_GE(aOpened.size(), 10u);
    CloseAll();
}

TEST_F(DialogLauncher, OtherNamesAreRefusedWithoutEffect)
{
    for (const char* psz : {"cdlgsaveresultpic", "CDLGFLOWDISCWKVR", "CDlgSaveResultPic ", "CDlgResultCompComb",
                            "CDlgUnknown", ""}) {
        EXPECT_EQ(IKVPvsDialog::DoModeless(psz, nullptr, nullptr), -1) << psz;
        EXPECT_TRUE(Opened().empty()) << psz;
    }
    EXPECT_EQ(IKVPvsDialog::DoModeless(nullptr, nullptr, nullptr), -1);
    EXPECT_EQ(IKVPvsDialog::DoModal("CDlgSaveResultPic", nullptr), -1);
    EXPECT_EQ(IKVPvsDialog::DoModal("cdlgresultcompcomb", nullptr), -1);
    EXPECT_EQ(IKVPvsDialog::DoModal(nullptr, nullptr), -1);
    EXPECT_EQ(doc.GetUpdateHints().GetSize(), 0);
}

TEST_F(DialogLauncher, SecondModelessCallActivatesTheOpenDialog)
{
    for (const LauncherCase& c : kCases) {
        if (!c.bSingle)
            continue;
        ASSERT_EQ(IKVPvsDialog::DoModeless(c.pszName, nullptr, nullptr), 1);
        EXPECT_EQ(Opened().size(), 1u) << c.pszName;
        EXPECT_EQ(IKVPvsDialog::DoModeless(c.pszName, nullptr, nullptr), 1);
        EXPECT_TRUE(Opened().empty()) << c.pszName;
    }
    CloseAll();
}

TEST_F(DialogLauncher, DirectlyCreatedDialogsAreNewOnEveryCall)
{
    unsigned int nWord = 3;
    for (const LauncherCase& c : kCases) {
        if (c.bSingle)
            continue;
        ASSERT_EQ(IKVPvsDialog::DoModeless(c.pszName, &nWord, nullptr), 1);
        ASSERT_EQ(IKVPvsDialog::DoModeless(c.pszName, &nWord, nullptr), 1);
        EXPECT_EQ(Opened(), (std::vector<std::string>{c.pszClass, c.pszClass})) << c.pszName;
    }
    CloseAll();
}

TEST_F(DialogLauncher, NullOrUnalignedArgumentIsSafe)
{
    EXPECT_EQ(IKVPvsDialog::DoModeless("CDlgFlowPathWKVR", nullptr, nullptr), 1);
    EXPECT_EQ(IKVPvsDialog::DoModeless("CDlgProfileGridDef", nullptr, nullptr), 1);
    // A word that does not start on a 4-byte boundary is read as well.
    alignas(4) unsigned char buf[8] = {0, 0x34, 0x12, 0xAB, 0xCD};
    EXPECT_EQ(IKVPvsDialog::DoModeless("CDlgFlowPathWKVR", buf + 1, nullptr), 1);
    EXPECT_EQ(Opened().size(), 3u);
    CloseAll();
}

TEST_F(DialogLauncher, WithoutDocumentNothingOpens)
{
    CZORDocBase::SetCurDoc(nullptr);
    unsigned int nWord = 1;
    for (const LauncherCase& c : kCases) {
        EXPECT_EQ(IKVPvsDialog::DoModeless(c.pszName, &nWord, nullptr), 1) << c.pszName;
        EXPECT_TRUE(Opened().empty()) << c.pszName;
    }
    AfxDriver::ScriptModal([](CDialog* p) { p->EndDialog(IDOK); });
    EXPECT_EQ(IKVPvsDialog::DoModal("CDlgResultCompComb", nullptr), IDCANCEL);
    EXPECT_EQ(AfxDriver::ModalScriptLength(), 1);
}

TEST_F(DialogLauncher, FailedCreationDeletesTheDialog)
{
    // The stand-in's failed creation makes no window; the object goes (ASan watches the leak).
    AfxStandInFailNextDialogCreate();
    EXPECT_EQ(IKVPvsDialog::DoModeless("CDlgBeamElementDesign", nullptr, nullptr), 1);
    EXPECT_TRUE(Opened().empty());
    AfxStandInFailNextDialogCreate();
    EXPECT_EQ(IKVPvsDialog::DoModeless("CDlgFlowQuantityTKVR", nullptr, nullptr), 1);
    EXPECT_TRUE(Opened().empty());
}

class DialogLauncherModal : public DialogLauncher {
protected:
    void SetUp() override
    {
        DialogLauncher::SetUp();
        T_POSIF_D set;
        set.strName = "Result Component Combination";
        CClassPOsif(doc.GetPostDB()).Set(999999, set);
        set.strName = "Stages";
        CClassPOsif(doc.GetPostDB()).Set(1, set);
    }
    void TearDown() override
    {
        CPostVisualState::Instance()->DelCompComb(77);
        DialogLauncher::TearDown();
    }
    bool HasCombSet() { return CClassPOsif(doc.GetPostDB()).Exist(999999) != 0; }
};

TEST_F(DialogLauncherModal, NoCombinationLeftDeletesTheSet)
{
    AfxDriver::ScriptModal([](CDialog* p) { AfxDriver::Click(p, IDC_RCC_CLOSE); });
    EXPECT_EQ(IKVPvsDialog::DoModal("CDlgResultCompComb", nullptr), IDOK);
    EXPECT_FALSE(HasCombSet());
    EXPECT_TRUE(CClassPOsif(doc.GetPostDB()).Exist(1));
    ASSERT_EQ(doc.GetUpdateHints().GetSize(), 1);
    EXPECT_EQ(doc.GetUpdateHints()[0].pSender, nullptr);
    EXPECT_EQ(doc.GetUpdateHints()[0].lHint, 39);
    EXPECT_EQ(doc.GetUpdateHints()[0].pHint, nullptr);
}

TEST_F(DialogLauncherModal, CombinationLeftKeepsTheSetAndCancelIsReturned)
{
    T_PCOMP_COMB_D comb;
    comb.strName = "Sum";
    comb.strExpression = "A+B";
    CPostVisualState::Instance()->AddCompComb(77, comb);
    AfxDriver::ScriptModal([](CDialog* p) { p->EndDialog(IDCANCEL); });
    EXPECT_EQ(IKVPvsDialog::DoModal("CDlgResultCompComb", nullptr), IDCANCEL);
    EXPECT_TRUE(HasCombSet());
    ASSERT_EQ(doc.GetUpdateHints().GetSize(), 1);
    EXPECT_EQ(doc.GetUpdateHints()[0].lHint, 39);
}

} // namespace
