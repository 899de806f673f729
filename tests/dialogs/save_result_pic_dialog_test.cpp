// The batch picture export dialog driven as the user: rows checked in the tree, views and shape
// chosen, OK pressed; the batch the document receives (names, view record, folder), the two
// refusals, the word-processor step, the folder picker, the spin and the settings-file buttons.
// Expected names and records are written out by hand from the rows' names.
#include "dialogs/CDlgSaveResultPic.h"
#include "dialogs/DialogControlIds.h"

#include "Comp2ResultType.h"
#include "DBDoc.h"
#include "MsgDll.h"
#include "PostVisualState.h"
#include "TempDir.h"
#include "WdDoc.h"
#include "afx_standin.h"
#include "afxdlgs.h"
#include "shlobj.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

namespace {

constexpr int kIso = 0, kFront = 2, kTop = 4;

class SaveResultPicDialog : public ::testing::Test {
protected:
    void SetUp() override
    {
        *CPostVisualState::Instance()->GetCurrentPA() = T_PVIST_ALL_D();
        *CPostVisualState::Instance()->GetCurrentPS() = T_PVIST_SYMB_D();
        doc.SetPathName("/projects/dam.kvb");
        CZORDocBase::SetCurDoc(&doc);
        CDBBase* db = doc.GetPostDB();
        T_POSIF_D set;
        set.strName = "Set1";
        CClassPOsif(db).Set(1, set);
        T_PLSIF_D step;
        step.nOsifK = 1;
        step.strName = "Step2";
        CClassPLsif(db).Set(10, step);
        // Displacement rows (item codes 3 and 1), a solid stress row.
        AddRow(100, 10, 3, "DZ");
        AddRow(101, 10, 1, "DX");
        AddRow(102, 10, 141, "SXX");
        CMsgDll::SetText(IDS_ZOR_PVS_Error_No_result_component_is_selected, "No result component is selected.");
        CMsgDll::SetText(IDS_ZOR_PVS_Error_No_view_point_is_selected, "No view point is selected.");
        CMsgDll::SetText("IDS_ZOR_PVS_VIEW_FRONT", "Front view");
        Win32ClearMessageBoxJournal();
        Win32ClearBrowseJournal();
        AfxStandInClearFileDialogs();
        CWdDoc::Journals().clear();
        CWdDoc::SetAvailable(true);
    }
    void TearDown() override
    {
        if (CDlgSaveResultPic::m_pMySelf)
            CDlgSaveResultPic::m_pMySelf->DestroyWindow();
        CZORDocBase::SetCurDoc(nullptr);
        *CPostVisualState::Instance()->GetCurrentPA() = T_PVIST_ALL_D();
        *CPostVisualState::Instance()->GetCurrentPS() = T_PVIST_SYMB_D();
    }
    void AddRow(UINT nKey, UINT nStepK, UINT nItem, const char* pszName, CDBBase* db = nullptr)
    {
        T_PVTIF_D row;
        row.nStepK = nStepK;
        row.nItem = nItem;
        row.strName = pszName;
        CClassPVtif(db ? db : doc.GetPostDB()).Set(nKey, row);
    }
    CDlgSaveResultPic* Open()
    {
        CDlgSaveResultPic::CreateOrActivate(nullptr);
        return CDlgSaveResultPic::m_pMySelf;
    }
    // The tree item of a result row.
    HTREEITEM RowItem(CDlgSaveResultPic* dlg, UINT nRowK)
    {
        CTreeCtrlPVS& tree = dlg->GetTree();
        POSITION pos = tree.m_mapRowItems.GetStartPosition();
        while (pos) {
            HTREEITEM h = nullptr;
            UINT k = 0;
            tree.m_mapRowItems.GetNextAssoc(pos, h, k);
            if (k == nRowK)
                return h;
        }
        return nullptr;
    }
    void CheckRow(CDlgSaveResultPic* dlg, UINT nRowK) { dlg->GetTree().ToggleCheck(RowItem(dlg, nRowK)); }
    void ChooseView(CDlgSaveResultPic* dlg, int nView)
    {
        AfxDriver::Click(dlg, CDlgSaveResultPic::kViewButtons[nView]);
    }
    std::string LastMessage() const
    {
        const int n = Win32MessageBoxCount();
        return n ? Win32MessageBoxAt(n - 1)->pszText : "";
    }
    static std::vector<std::string> Names(const CStringArray& a)
    {
        std::vector<std::string> out;
        for (int i = 0; i < a.GetSize(); ++i)
            out.emplace_back(a[i].GetString());
        return out;
    }

    CDBDoc doc;
};

TEST_F(SaveResultPicDialog, ExampleBatchReachesTheDocument)
{
    // Prefix P, model dam, Set1, Step2, DZ, Front, Deformed: every part of name and caption.
    CDlgSaveResultPic* dlg = Open();
    ASSERT_NE(dlg, nullptr);
    CheckRow(dlg, 100);
    ChooseView(dlg, kFront);
    AfxDriver::Click(dlg, IDC_SRP_DEFORMED);
    AfxDriver::SetText(dlg, IDC_SRP_PREFIX, "P");
    AfxDriver::SetText(dlg, IDC_SRP_FOLDER, "C:\\out");
    AfxDriver::Click(dlg, IDOK);

    ASSERT_EQ(doc.m_aPictureBatches.size(), 1u);
    const T_DOC_PICTURE_BATCH_D& b = doc.m_aPictureBatches[0];
    EXPECT_EQ(b.aCompKeys, (std::vector<unsigned int>{100}));
    ASSERT_EQ(b.aFileNames.size(), 9u);
    for (int v = 0; v < 9; ++v)
        EXPECT_EQ(std::string(b.aFileNames[v].GetString()), v == kFront ? "P_dam_Set1_Step2_DZ_Front_Deformed" : "")
            << v;
    EXPECT_EQ(std::string(b.strFolder.GetString()), "C:\\out\\");
    EXPECT_EQ(std::string(dlg->GetCaptions()[kFront].GetString()), "Set1, Step2, DZ, Deformed Shape (Front View)");
    EXPECT_EQ(dlg->GetCaptions().GetSize(), 9);
    EXPECT_TRUE(dlg->IsWindowVisible());
    EXPECT_EQ(Win32MessageBoxCount(), 0);
    // The views were brought up to date before the batch.
    ASSERT_GE(doc.GetUpdateHints().GetSize(), 1);
    EXPECT_EQ(doc.GetUpdateHints()[0].lHint, 0);
}

TEST_F(SaveResultPicDialog, WithoutPrefixNamesBeginWithTheModel)
{
    CDlgSaveResultPic* dlg = Open();
    CheckRow(dlg, 101);
    ChooseView(dlg, kIso);
    AfxDriver::Click(dlg, IDOK);
    ASSERT_EQ(doc.m_aPictureBatches.size(), 1u);
    EXPECT_EQ(std::string(doc.m_aPictureBatches[0].aFileNames[kIso].GetString()), "dam_Set1_Step2_DX_Iso_Undeformed");
    EXPECT_EQ(std::string(dlg->GetCaptions()[kIso].GetString()), "Set1, Step2, DX (Iso View)");
}

TEST_F(SaveResultPicDialog, SeparatorsBecomeDashesButCaptionsKeepThem)
{
    T_PLSIF_D step;
    step.nOsifK = 1;
    step.strName = "Stage 3: a/b\\c";
    CClassPLsif(doc.GetPostDB()).Set(11, step);
    AddRow(120, 11, 3, "U:z");
    CDlgSaveResultPic* dlg = Open();
    CheckRow(dlg, 120);
    ChooseView(dlg, kTop);
    AfxDriver::Click(dlg, IDOK);
    ASSERT_EQ(doc.m_aPictureBatches.size(), 1u);
    EXPECT_EQ(std::string(doc.m_aPictureBatches[0].aFileNames[kTop].GetString()),
              "dam_Set1_Stage 3- a-b-c_U-z_Top_Undeformed");
    EXPECT_EQ(std::string(dlg->GetCaptions()[kTop].GetString()), "Set1, Stage 3: a/b\\c, U:z (Top View)");
}

TEST_F(SaveResultPicDialog, TwoRowsThreeViewsGiveEighteenEntriesAndSixPictures)
{
    CDlgSaveResultPic* dlg = Open();
    CheckRow(dlg, 100);
    CheckRow(dlg, 101);
    for (int v : {kIso, kFront, 8})
        ChooseView(dlg, v);
    AfxDriver::Select(dlg, IDC_SRP_FORMAT, 1);
    AfxDriver::SetText(dlg, IDC_SRP_FOLDER, "D:\\pics");
    AfxDriver::Click(dlg, IDC_SRP_WORD);

    ASSERT_EQ(doc.m_aPictureBatches.size(), 1u);
    const auto& names = doc.m_aPictureBatches[0].aFileNames;
    ASSERT_EQ(names.size(), 18u);
    int nNamed = 0;
    for (const CString& s : names)
        nNamed += s.IsEmpty() ? 0 : 1;
    EXPECT_EQ(nNamed, 6);
    // Component then view; both rows are displacements, listed in key order (DZ 100, DX 101).
    ASSERT_EQ(CWdDoc::Journals().size(), 1u);
    const CWdDoc::T_JOURNAL_D& w = CWdDoc::Journals()[0];
    EXPECT_EQ(w.nInit, 1);
    EXPECT_EQ(w.aCalls, (std::vector<std::string>{"SetAlignment 1", "SetBold 1", "AddPicture", "CleanWordEnv"}));
    ASSERT_EQ(w.aPictures.size(), 1u);
    EXPECT_EQ(w.aPictures[0].nArg1, 1);
    EXPECT_EQ(w.aPictures[0].nArg2, 0);
    EXPECT_EQ(w.aPictures[0].aPaths,
              (std::vector<std::string>{"D:\\pics\\dam_Set1_Step2_DZ_Iso_Undeformed.JPG",
                                        "D:\\pics\\dam_Set1_Step2_DZ_Front_Undeformed.JPG",
                                        "D:\\pics\\dam_Set1_Step2_DZ_Current_Undeformed.JPG",
                                        "D:\\pics\\dam_Set1_Step2_DX_Iso_Undeformed.JPG",
                                        "D:\\pics\\dam_Set1_Step2_DX_Front_Undeformed.JPG",
                                        "D:\\pics\\dam_Set1_Step2_DX_Current_Undeformed.JPG"}));
    EXPECT_EQ(w.aPictures[0].aCaptions,
              (std::vector<std::string>{"Set1, Step2, DZ (Iso View)", "Set1, Step2, DZ (Front View)",
                                        "Set1, Step2, DZ (Current View)", "Set1, Step2, DX (Iso View)",
                                        "Set1, Step2, DX (Front View)", "Set1, Step2, DX (Current View)"}));
}

TEST_F(SaveResultPicDialog, CheckingTheStepTakesEveryRowBelowIt)
{
    CDlgSaveResultPic* dlg = Open();
    CTreeCtrlPVS& tree = dlg->GetTree();
    tree.ToggleCheck(tree.GetChildItem(tree.GetRootItem()));
    dlg->GetDataFromControls();
    // Groups in display order: Displacement (100, 101), then Solid Stresses (102).
    const CArray<UINT>& keys = dlg->GetSetting().aCompKeys;
    ASSERT_EQ(keys.GetSize(), 3);
    EXPECT_EQ(keys[0], 100u);
    EXPECT_EQ(keys[1], 101u);
    EXPECT_EQ(keys[2], 102u);
}

TEST_F(SaveResultPicDialog, WordStepWithoutWordProcessorEndsAfterThePictures)
{
    CWdDoc::SetAvailable(false);
    CDlgSaveResultPic* dlg = Open();
    CheckRow(dlg, 100);
    ChooseView(dlg, kIso);
    AfxDriver::Click(dlg, IDC_SRP_WORD);
    EXPECT_EQ(doc.m_aPictureBatches.size(), 1u);
    ASSERT_EQ(CWdDoc::Journals().size(), 1u);
    EXPECT_EQ(CWdDoc::Journals()[0].nInit, 0);
    EXPECT_TRUE(CWdDoc::Journals()[0].aCalls.empty());
}

TEST_F(SaveResultPicDialog, RefusalsShowTheirMessageAndRenderNothing)
{
    CDlgSaveResultPic* dlg = Open();
    ChooseView(dlg, kIso);
    AfxDriver::Click(dlg, IDC_SRP_WORD);
    EXPECT_EQ(LastMessage(), "No result component is selected.");
    EXPECT_EQ(Win32MessageBoxAt(0)->nType, static_cast<UINT>(MB_OK));
    EXPECT_EQ(dlg->GetCaptions().GetSize(), 0);
    EXPECT_TRUE(CWdDoc::Journals().empty());
    EXPECT_TRUE(dlg->IsWindowVisible());

    ChooseView(dlg, kIso); // off again
    CheckRow(dlg, 100);
    AfxDriver::Click(dlg, IDOK);
    EXPECT_EQ(LastMessage(), "No view point is selected.");
    EXPECT_EQ(dlg->GetCaptions().GetSize(), 0);
    EXPECT_TRUE(doc.m_aPictureBatches.empty());
    EXPECT_EQ(Win32MessageBoxCount(), 2);
}

TEST_F(SaveResultPicDialog, ViewStatusRecordCarriesEverySetting)
{
    CDlgSaveResultPic* dlg = Open();
    CheckRow(dlg, 100);
    ChooseView(dlg, kFront);
    ChooseView(dlg, 8);
    AfxDriver::Select(dlg, IDC_SRP_FORMAT, 2);
    AfxDriver::Click(dlg, IDC_SRP_AUTO_RANGE); // off: the user's range
    AfxDriver::SetText(dlg, IDC_SRP_MAX, "12.5");
    AfxDriver::SetText(dlg, IDC_SRP_MIN, "-3");
    AfxDriver::SetText(dlg, IDC_SRP_DIVISIONS, "9");
    AfxDriver::SetText(dlg, IDC_SRP_VECTOR_SCALE, "2.5");
    AfxDriver::SetText(dlg, IDC_SRP_DIAGRAM_SCALE, "0.25");
    AfxDriver::SetText(dlg, IDC_SRP_DEFORM_SCALE, "40");
    AfxDriver::Select(dlg, IDC_SRP_IMAGE_TYPE, 3);
    AfxDriver::Click(dlg, IDC_SRP_DEFORMED);
    AfxDriver::Select(dlg, IDC_SRP_DEFORMED_DATA, 3);
    AfxDriver::Click(dlg, IDC_SRP_WITH_UNDEFORMED);
    AfxDriver::Click(dlg, IDOK);

    ASSERT_EQ(doc.m_aPictureBatches.size(), 1u);
    const T_VIEW_STATUS& s = doc.m_aPictureBatches[0].viewStatus;
    EXPECT_EQ(s.nImageType, 3);
    EXPECT_EQ(std::vector<int>(s.aViews, s.aViews + 9), (std::vector<int>{0, 0, 1, 0, 0, 0, 0, 0, 1}));
    EXPECT_EQ(s.nShapeMode, 2);
    EXPECT_EQ(s.nDeformedData, 10);
    EXPECT_EQ(s.bAutoRange, 0);
    EXPECT_EQ(s.dMax, 12.5);
    EXPECT_EQ(s.dMin, -3.0);
    EXPECT_EQ(s.nDivisions, 9);
    EXPECT_EQ(s.dVectorScale, 2.5);
    EXPECT_EQ(s.dDiagramScale, 0.25);
    EXPECT_EQ(s.bRealDisp, 0);
    EXPECT_EQ(s.dDeformScale, 40.0);
    EXPECT_EQ(s.nImageFormat, 2);
    EXPECT_EQ(std::string(doc.m_aPictureBatches[0].aFileNames[kFront].GetString()),
              "dam_Set1_Step2_DZ_Front_Deformed+Undeformed");
    EXPECT_EQ(std::string(dlg->GetCaptions()[8].GetString()),
              "Set1, Step2, DZ, Deformed+Undeformed Shape (Current View)");
}

TEST_F(SaveResultPicDialog, AutoRangeSendsDefaultsWhateverTheEditsShow)
{
    // The visual state's user range opens the dialog with auto range off and that range shown.
    T_PVIST_CONT_D& cont = CPostVisualState::Instance()->GetCurrentPA()->cont;
    cont.bUserRange = 1;
    cont.dRangeMax = 5.0;
    cont.dRangeMin = -5.0;
    cont.nBandNum = 8;
    CDlgSaveResultPic* dlg = Open();
    EXPECT_EQ(AfxDriver::GetText(dlg, IDC_SRP_MAX), "5");
    EXPECT_EQ(AfxDriver::GetText(dlg, IDC_SRP_DIVISIONS), "8");
    EXPECT_TRUE(dlg->GetDlgItem(IDC_SRP_MAX)->IsWindowEnabled());
    AfxDriver::Click(dlg, IDC_SRP_AUTO_RANGE);
    EXPECT_FALSE(dlg->GetDlgItem(IDC_SRP_MAX)->IsWindowEnabled());
    EXPECT_FALSE(dlg->GetDlgItem(IDC_SRP_DIVISIONS)->IsWindowEnabled());
    CheckRow(dlg, 100);
    ChooseView(dlg, kIso);
    AfxDriver::Click(dlg, IDOK);
    ASSERT_EQ(doc.m_aPictureBatches.size(), 1u);
    const T_VIEW_STATUS& s = doc.m_aPictureBatches[0].viewStatus;
    EXPECT_EQ(s.bAutoRange, 1);
    EXPECT_EQ(s.dMax, 0.0);
    EXPECT_EQ(s.dMin, 0.0);
    EXPECT_EQ(s.nDivisions, 16);
    EXPECT_EQ(s.nShapeMode, 0);
    EXPECT_EQ(s.nDeformedData, 0);
}

TEST_F(SaveResultPicDialog, RealDisplacementSendsUnitDeformScale)
{
    CPostVisualState::Instance()->GetCurrentPA()->dDeformScale = 25.0;
    CDlgSaveResultPic* dlg = Open();
    EXPECT_EQ(AfxDriver::GetText(dlg, IDC_SRP_DEFORM_SCALE), "25");
    AfxDriver::Click(dlg, IDC_SRP_REAL_DISP);
    EXPECT_FALSE(dlg->GetDlgItem(IDC_SRP_DEFORM_SCALE)->IsWindowEnabled());
    CheckRow(dlg, 100);
    ChooseView(dlg, kIso);
    AfxDriver::Click(dlg, IDOK);
    ASSERT_EQ(doc.m_aPictureBatches.size(), 1u);
    EXPECT_EQ(doc.m_aPictureBatches[0].viewStatus.bRealDisp, 1);
    EXPECT_EQ(doc.m_aPictureBatches[0].viewStatus.dDeformScale, 1.0);
    EXPECT_EQ(dlg->GetSetting().dDeformScale, 1.0);
}

TEST_F(SaveResultPicDialog, OpeningShowsStateFolderImagesAndTips)
{
    CPostVisualState::Instance()->GetCurrentPS()->dVectorScale = 3.0;
    CPostVisualState::Instance()->GetCurrentPS()->dDgrmScale = 0.5;
    CDlgSaveResultPic* dlg = Open();
    EXPECT_EQ(AfxDriver::GetText(dlg, IDC_SRP_FOLDER), "/projects/\\Image\\");
    EXPECT_EQ(AfxDriver::GetText(dlg, IDC_SRP_PREFIX), "");
    EXPECT_EQ(AfxDriver::GetText(dlg, IDC_SRP_VECTOR_SCALE), "3");
    EXPECT_EQ(AfxDriver::GetText(dlg, IDC_SRP_DIAGRAM_SCALE), "0.5");
    EXPECT_EQ(AfxDriver::GetText(dlg, IDC_SRP_DIVISIONS), "12");
    auto* pAuto = static_cast<CButton*>(dlg->GetDlgItem(IDC_SRP_AUTO_RANGE));
    EXPECT_EQ(pAuto->GetCheck(), 1);
    EXPECT_FALSE(dlg->GetDlgItem(IDC_SRP_DEFORMED_DATA)->IsWindowEnabled());
    EXPECT_FALSE(dlg->GetDlgItem(IDC_SRP_WITH_UNDEFORMED)->IsWindowEnabled());
    auto* pFront = static_cast<CButton*>(dlg->GetDlgItem(CDlgSaveResultPic::kViewButtons[kFront]));
    EXPECT_EQ(reinterpret_cast<uintptr_t>(pFront->GetBitmap()), 14021u);
    EXPECT_TRUE(pFront->m_nStyle & BS_PUSHLIKE);
    EXPECT_EQ(dlg->GetToolTip().GetToolCount(), 9);
    EXPECT_EQ(std::string(dlg->GetToolTip().GetToolText(pFront).GetString()), "Front view");
    auto* pBrowse = static_cast<CCoolButton*>(dlg->GetDlgItem(IDC_SRP_BROWSE));
    EXPECT_EQ(pBrowse->GetImage(), static_cast<UINT>(IDB_SRP_BROWSE));
    // The deformed check opens the shape choices.
    AfxDriver::Click(dlg, IDC_SRP_DEFORMED);
    EXPECT_TRUE(dlg->GetDlgItem(IDC_SRP_DEFORMED_DATA)->IsWindowEnabled());
    EXPECT_TRUE(dlg->GetDlgItem(IDC_SRP_WITH_UNDEFORMED)->IsWindowEnabled());
}

TEST_F(SaveResultPicDialog, MissingViewBitmapEndsOpeningEarly)
{
    AfxStandInMissingBitmap(14026, true);
    CDlgSaveResultPic* dlg = Open();
    AfxStandInMissingBitmap(14026, false);
    ASSERT_NE(dlg, nullptr);
    EXPECT_EQ(AfxDriver::GetText(dlg, IDC_SRP_FOLDER), "");
    EXPECT_EQ(dlg->GetToolTip().GetToolCount(), 0);
}

TEST_F(SaveResultPicDialog, OpenedOnceAndNotWithoutDocument)
{
    CDlgSaveResultPic* dlg = Open();
    ASSERT_NE(dlg, nullptr);
    const int nActivations = CDBDlgBase::ActivationCount(CDlgSaveResultPic::m_reg.nRegID);
    CDlgSaveResultPic::CreateOrActivate(nullptr);
    EXPECT_EQ(CDlgSaveResultPic::m_pMySelf, dlg);
    EXPECT_EQ(CDBDlgBase::ActivationCount(CDlgSaveResultPic::m_reg.nRegID), nActivations + 1);
    AfxDriver::Click(dlg, IDCANCEL);
    EXPECT_EQ(CDlgSaveResultPic::m_pMySelf, nullptr);
    CZORDocBase::SetCurDoc(nullptr);
    CDlgSaveResultPic::CreateOrActivate(nullptr);
    EXPECT_EQ(CDlgSaveResultPic::m_pMySelf, nullptr);
}

TEST_F(SaveResultPicDialog, FolderPickerPreselectsAndAppendsSeparator)
{
    CDlgSaveResultPic* dlg = Open();
    AfxDriver::SetText(dlg, IDC_SRP_FOLDER, "/tmp/start");
    Win32ScriptBrowseFolder("/data/pictures");
    AfxDriver::Click(dlg, IDC_SRP_BROWSE);
    EXPECT_EQ(AfxDriver::GetText(dlg, IDC_SRP_FOLDER), "/data/pictures\\");
    ASSERT_EQ(Win32BrowseCount(), 1);
    EXPECT_STREQ(Win32BrowseAt(0)->szSelection, "/tmp/start");
    EXPECT_EQ(Win32BrowseAt(0)->ulFlags & BIF_RETURNONLYFSDIRS, static_cast<UINT>(BIF_RETURNONLYFSDIRS));
    EXPECT_EQ(Win32OpenItemListCount(), 0);
    // Cancel keeps the folder.
    Win32ScriptBrowseFolder(nullptr);
    AfxDriver::Click(dlg, IDC_SRP_BROWSE);
    EXPECT_EQ(AfxDriver::GetText(dlg, IDC_SRP_FOLDER), "/data/pictures\\");
    EXPECT_STREQ(Win32BrowseAt(1)->szSelection, "/data/pictures\\");
}

TEST(SaveResultPicBrowse, EmptyInitialFolderPreselectsCurrentFolder)
{
    Win32ClearBrowseJournal();
    char szCwd[MAX_PATH] = {};
    ASSERT_GT(GetCurrentDirectory(MAX_PATH, szCwd), 0u);
    CString strOut = "kept";
    CDlgSaveResultPic::BrowseForFolder(strOut, "");
    EXPECT_EQ(std::string(strOut.GetString()), "kept");
    ASSERT_EQ(Win32BrowseCount(), 1);
    EXPECT_STREQ(Win32BrowseAt(0)->szSelection, szCwd);
}

TEST_F(SaveResultPicDialog, SpinStepsTheDivisions)
{
    CDlgSaveResultPic* dlg = Open();
    AfxDriver::Click(dlg, IDC_SRP_AUTO_RANGE);
    AfxDriver::SetText(dlg, IDC_SRP_DIVISIONS, "10");
    AfxDriver::Spin(dlg, IDC_SRP_DIVISIONS_SPIN, 1);
    EXPECT_EQ(AfxDriver::GetText(dlg, IDC_SRP_DIVISIONS), "11");
    AfxDriver::Spin(dlg, IDC_SRP_DIVISIONS_SPIN, -1);
    AfxDriver::Spin(dlg, IDC_SRP_DIVISIONS_SPIN, -1);
    EXPECT_EQ(AfxDriver::GetText(dlg, IDC_SRP_DIVISIONS), "9");
}

// A typed number the settings file would refuse is refused where it is typed: no file dialog,
// no batch; the number the user then types exports a file that imports.
TEST_F(SaveResultPicDialog, TypedNumbersTheFileCannotHoldAreRefused)
{
    kvpvs::testing::TempDir tmp("srp");
    CDlgSaveResultPic* dlg = Open();
    CheckRow(dlg, 100);
    ChooseView(dlg, kIso);
    AfxDriver::Click(dlg, IDC_SRP_AUTO_RANGE); // off: the user's range
    const struct {
        UINT nID;
        const char* pszText;
        const char* pszMessage;
    } aCases[] = {{IDC_SRP_DIVISIONS, "0", "Please enter an integer between 1 and 2147483647."},
                  {IDC_SRP_DIVISIONS, "-5", "Please enter an integer between 1 and 2147483647."},
                  {IDC_SRP_DIVISIONS, "99999999999", "Please enter an integer."},
                  {IDC_SRP_DIVISIONS, "1O0", "Please enter an integer."},
                  {IDC_SRP_MIN, "-inf", "Please enter a number."},
                  {IDC_SRP_DIAGRAM_SCALE, "nan", "Please enter a number."}};
    for (const auto& c : aCases) {
        AfxDriver::SetText(dlg, IDC_SRP_DIVISIONS, " 7 ");
        AfxDriver::SetText(dlg, IDC_SRP_MIN, "-1");
        AfxDriver::SetText(dlg, IDC_SRP_DIAGRAM_SCALE, "1");
        AfxDriver::SetText(dlg, c.nID, c.pszText);
        Win32ClearMessageBoxJournal();
        AfxDriver::Click(dlg, IDC_SRP_EXPORT);
        AfxDriver::Click(dlg, IDOK);
        ASSERT_EQ(Win32MessageBoxCount(), 2) << c.pszText;
        EXPECT_STREQ(Win32MessageBoxAt(0)->pszText, c.pszMessage);
        EXPECT_EQ(CWnd::GetFocus(), dlg->GetDlgItem(c.nID)) << c.pszText;
    }
    EXPECT_EQ(AfxStandInFileDialogCount(), 0);
    EXPECT_TRUE(doc.m_aPictureBatches.empty());

    AfxDriver::SetText(dlg, IDC_SRP_DIAGRAM_SCALE, "1");
    AfxDriver::ScriptFileDialog(IDOK, tmp.file("typed").c_str());
    AfxDriver::Click(dlg, IDC_SRP_EXPORT);
    T_RESULT_PIC_SETTING_D back;
    back.Initialize();
    ASSERT_TRUE(ImportResultPicSettings(tmp.file("typed.rpd").c_str(), back));
    EXPECT_EQ(back.nDivisions, 7);
}

TEST_F(SaveResultPicDialog, SettingsFileButtonsExportAndImport)
{
    kvpvs::testing::TempDir tmp("srp");
    CDlgSaveResultPic* dlg = Open();
    ChooseView(dlg, kTop);
    AfxDriver::Select(dlg, IDC_SRP_FORMAT, 1);
    AfxDriver::ScriptFileDialog(IDOK, tmp.file("saved").c_str());
    AfxDriver::Click(dlg, IDC_SRP_EXPORT);
    ASSERT_EQ(AfxStandInFileDialogCount(), 1);
    EXPECT_FALSE(AfxStandInFileDialogAt(0)->bOpen);
    EXPECT_EQ(std::string(AfxStandInFileDialogAt(0)->strDefExt.GetString()), "rpd");
    EXPECT_EQ(AfxStandInFileDialogAt(0)->nFlags, static_cast<DWORD>(OFN_HIDEREADONLY | OFN_OVERWRITEPROMPT));
    std::ifstream in(tmp.file("saved.rpd"), std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    EXPECT_NE(text.str().find("Image_Format = JPG\r\n"), std::string::npos);
    EXPECT_NE(text.str().find("TOP = TRUE\r\n"), std::string::npos);

    // A file choosing only the Iso view and DZ: the controls follow it.
    {
        std::ofstream out(tmp.file("iso.rpd"), std::ios::binary);
        out << "ISO = TRUE\r\ndeformed = true\r\nDeformed_Data = DZ\r\n";
    }
    AfxDriver::ScriptFileDialog(IDOK, tmp.file("iso.rpd").c_str());
    AfxDriver::Click(dlg, IDC_SRP_IMPORT);
    EXPECT_TRUE(AfxStandInFileDialogAt(1)->bOpen);
    EXPECT_EQ(std::string(AfxStandInFileDialogAt(1)->strDefExt.GetString()), "");
    auto check = [&](UINT nID) { return static_cast<CButton*>(dlg->GetDlgItem(nID))->GetCheck(); };
    EXPECT_EQ(check(CDlgSaveResultPic::kViewButtons[kIso]), 1);
    EXPECT_EQ(check(CDlgSaveResultPic::kViewButtons[kTop]), 0);
    EXPECT_EQ(check(IDC_SRP_DEFORMED), 1);
    EXPECT_EQ(static_cast<CComboBox*>(dlg->GetDlgItem(IDC_SRP_DEFORMED_DATA))->GetCurSel(), 2);
    EXPECT_EQ(static_cast<CComboBox*>(dlg->GetDlgItem(IDC_SRP_FORMAT))->GetCurSel(), 0);

    // An invalid file changes no control; a cancelled dialog reads nothing.
    {
        std::ofstream out(tmp.file("bad.rpd"), std::ios::binary);
        out << "TOP = TRUE\r\nAuto_Range = YES\r\n";
    }
    AfxDriver::ScriptFileDialog(IDOK, tmp.file("bad.rpd").c_str());
    AfxDriver::Click(dlg, IDC_SRP_IMPORT);
    EXPECT_EQ(check(CDlgSaveResultPic::kViewButtons[kTop]), 0);
    EXPECT_EQ(check(CDlgSaveResultPic::kViewButtons[kIso]), 1);
    EXPECT_EQ(Win32MessageBoxCount(), 1);
    AfxDriver::Click(dlg, IDC_SRP_IMPORT);
    EXPECT_EQ(AfxStandInFileDialogCount(), 4);
    EXPECT_EQ(Win32MessageBoxCount(), 1);
}

} // namespace
