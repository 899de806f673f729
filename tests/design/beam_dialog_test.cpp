// The beam-element design dialog driven as a user drives it, on a small model in metres and
// kilonewtons: beams 10, 20, 30 and a pile 35 beside a truss and a plate, two construction
// stages and a linear case. Design must write the beam variant in newtons and millimetres; the
// expected file is built here line by line from the file's formats and the closed unit factors
// (1 kN = 1000 N, 1 m = 1000 mm).
#include "design_test_support.h"

#include "design/CDlgBeamElementDesign.h"
#include "design/CYRPC_DataTool.h"

#include "DBModelRecords.h"
#include "DBValueUnits.h"
#include "MsgDll.h"
#include "UnitCtrl.h"
#include "afx_standin.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdarg>
#include <string>
#include <vector>

using namespace kvpvs::test;

namespace {

constexpr unsigned int kStage1 = 101, kStage2 = 102, kStageOther = 103;
constexpr double kN = 1000.0;   // N per kN
constexpr double kMm = 1000.0;  // mm per m

// One line of the expected file: the format applied, then the text-mode line end.
std::string Line(const char* pszFormat, ...) __attribute__((format(printf, 1, 2)));
std::string Line(const char* pszFormat, ...)
{
    char buf[1024];
    va_list args;
    va_start(args, pszFormat);
    std::vsnprintf(buf, sizeof buf, pszFormat, args);
    va_end(args);
    return std::string(buf) + "\r\n";
}

class BeamDesignTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        CZORDocBase::SetCurDoc(&doc);
        doc.SetProgramPath((folder.path() + "/").c_str());
        doc.SetPathName("/projects/pit, phase 2/model.kvp");
        view.CreateWindowCore(nullptr);
        doc.SetActiveView(&view);
        Win32ClearMessageBoxJournal();
        CMsgDll::SetText(IDS_KV_PVS_SELECTMGR_SELECT_BEAM_ELEMENT, "Select beam elements");
        CMsgDll::SetText(IDS_KV_PVS_SELECTMGR_BEAM_ELEMENTS_SELECTED, "%d beam elements selected");
        CMsgDll::SetText(IDS_LBC_NO_SELECTED_ELEMENT, "No element selected");
        BuildModel();
    }
    void TearDown() override
    {
        if (dlg && IsWindow(hDlg))
            dlg->DestroyWindow();
        view.DestroyWindow();
        CZORDocBase::SetCurDoc(nullptr);
    }

    void BuildModel()
    {
        CDBBase* pDB = doc.GetModelDB();
        T_GPRO_D h;
        h.strName = "H300";
        h.bShape = 1;
        h.dArea = 0.01;
        h.dIx = 1.0e-6;
        h.dIy = 2.0e-4;
        h.dIz = 6.0e-5;
        h.dAy = h.dAz = 0.005;
        const double dim[6] = {0.3, 0.3, 0.01, 0.015, 0, 0};
        for (int i = 0; i < 6; ++i)
            h.dDim[i] = dim[i];
        CClassGpro(pDB).Set(1, h);
        T_GPRO_D pipe;
        pipe.strName = "Pipe, 2";
        pipe.dArea = 0.02;
        CClassGpro(pDB).Set(2, pipe);
        T_GMAT_D steel;
        steel.strName = "S355, EN";
        steel.dElast = 2.0e8;
        steel.dPoisson = 0.3;
        steel.dWeight = 78.5;
        CClassGmat(pDB).Set(1, steel);
        const int types[4] = {102, 151, 101, 201};
        for (unsigned int a = 1; a <= 4; ++a) {
            T_ATTR_D attr;
            attr.nType = types[a - 1];
            attr.nGproK = a == 1 ? 1 : 2;
            attr.nGmatK = 1;
            CClassAttr(pDB).Set(a, attr);
        }
        auto elem = [&](unsigned int k, unsigned int nAttr) {
            T_ELEM_D e;
            e.nPropK = nAttr;
            CClassElem(pDB).Set(k, e);
        };
        elem(10, 1);
        elem(20, 1);
        elem(30, 1);
        elem(35, 2);
        elem(40, 3);
        elem(50, 4);

        AddCase(doc, 1, 5, "Stages", 1);
        AddCase(doc, 6, 5, "Stages not run", 3, 0);
        AddCase(doc, 2, 15, "Linear", 2);
        AddCase(doc, 3, 1, "Nonlinear", 4);
        AddCase(doc, 4, 15, "Linear not run", 5, 0);
        AddCase(doc, 5, 15, "Linear without control", 6, 1, false);
        AddStep(doc, kStage1, 1, "Stage 1, cut", 25);
        AddStep(doc, kStage2, 1, "Stage 2", 25);
        AddStep(doc, kStageOther, 1, "Stage 2 detail", 10);
        AddStep(doc, 201, 2, "LC1", 1);
        AddStep(doc, 202, 2, "LC1 final", 10);
        AddStep(doc, 203, 2, "LC1 iteration", 5);
        CTHResultBuilder::PostCtrl(doc); // attaches the post database for row reads

        // Stage 1 member forces (kN, kNm), end I to end J.
        AddRow(1, 51, 4, 5, DB_UNIT_FORCE, {{10, {-300, -250, -200}}, {20, {-120}}, {30, {5, 6}}, {35, {-800, -250}}});
        AddRow(2, 52, 4, 5, DB_UNIT_FORCE, {{10, {1, 2}}, {20, {3, 4}}});
        AddRow(3, 56, 4, 5, DB_UNIT_MOMENT, {{10, {9, 9}}, {20, {9, 9}}, {30, {9, 9}}});
        AddRow(4, 56, 4, 5, DB_UNIT_MOMENT, {{10, {1.5, -2.5}}, {20, {0.25, 0.75}}, {30, {-1, 1}}});
        std::vector<double> many;
        for (int i = 1; i <= 60; ++i)
            many.push_back(i);
        AddRow(5, 54, 4, 5, DB_UNIT_MOMENT, {{30, many}});
        AddRow(6, 53, 5, 5, DB_UNIT_FORCE, {{10, {77, 77}}});   // a stress row, not a member force
        AddRow(7, 57, 4, 5, DB_UNIT_FORCE, {{10, {77, 77}}});   // beyond Mz
        AddRow(8, 51, 4, 5, DB_UNIT_FORCE, {{10, {11, 12}}, {20, {13, INFINITY}}, {30, {1e125}}}, 201);
    }
    void AddRow(unsigned int nKey, unsigned int nItem, int nQty, int nClass, int nUnit,
                const std::vector<std::pair<unsigned int, std::vector<double>>>& values, unsigned int nStep = kStage1)
    {
        T_PVTIF_D r;
        r.nItem = nItem;
        r.nStepK = nStep;
        r.nQuantity = nQty;
        r.nResultClass = nClass;
        r.nUnitType = nUnit;
        CClassPVtif(doc.GetPostDB()).Set(nKey, r);
        T_PVAL_D v;
        for (const auto& [k, a] : values)
            v.Append(k, a.data(), static_cast<int>(a.size()));
        CClassPVal(doc.GetPostDB()).Set(nKey, v);
    }

    CDlgBeamElementDesign* Open()
    {
        dlg = new CDlgBeamElementDesign(&doc, &view);
        EXPECT_TRUE(dlg->Create(&view));
        dlg->ShowWindow(5);
        hDlg = dlg->m_hWnd;
        return dlg;
    }
    CString Caption() { return AfxDriver::GetText(dlg, IDC_BMDS_SELECT); }
    std::vector<std::string> Listed(UINT nID)
    {
        std::vector<std::string> a;
        if (auto* l = dynamic_cast<CListBox*>(dlg->GetDlgItem(nID)))
            for (int i = 0; i < l->GetCount(); ++i) {
                CString s;
                l->GetText(i, s);
                a.push_back(s.GetString());
            }
        if (auto* c = dynamic_cast<CComboBox*>(dlg->GetDlgItem(nID)))
            for (int i = 0; i < c->GetCount(); ++i) {
                CString s;
                c->GetLBText(i, s);
                a.push_back(s.GetString());
            }
        return a;
    }
    void Pick(std::initializer_list<unsigned int> keys)
    {
        CArray<unsigned int, unsigned int> a;
        for (unsigned int k : keys)
            a.Add(k);
        ASSERT_TRUE(dlg->PickElements(a));
    }
    void UnitIndex(int a[4]) { CDocCtrl::GetUnitCtrl(&doc)->GetUnitIndexCurrent(a); }
    std::string DesignFile() const { return FileBytes(folder.file("KvrDesign.txt")); }

    // The file as it must be for stages 1 and 2 and elements 10, 20, 30, 35.
    std::string ExpectedStageFile() const
    {
        const double a2 = kMm * kMm, a4 = a2 * a2;
        std::string s;
        s += Line("*Beam Element Design Result");
        s += Line("*UNIT ; Unit System");
        s += Line(";Force, Length");
        s += Line("%6s,%7s", "N", "mm");
        s += Line("*SECTION ; Section");
        s += Line(";   ID,   TYPE,    NAME,     Area,       Ix,       Iy,       Iz,       Ay,       Az,     Dim1"
                  ",     Dim2,     Dim3,     Dim4,     Dim5,     Dim6");
        const char* fmtSect =
            "%6d,%7s,%8s, %8.3f, %8.3f, %8.3f, %8.3f, %8.3f, %8.3f, %8.3f, %8.3f, %8.3f, %8.3f, %8.3f, %8.3f";
        s += Line(fmtSect, 1, "Shape", "H300", 0.01 * a2, 1.0e-6 * a4, 2.0e-4 * a4, 6.0e-5 * a4, 0.005 * a2,
                  0.005 * a2, 0.3 * kMm, 0.3 * kMm, 0.01 * kMm, 0.015 * kMm, 0.0, 0.0);
        s += Line(fmtSect, 2, "Value", "Pipe; 2", 0.02 * a2, 0.0, 0.0, 0.0, 0.0, 0.0, 0.0, 0.0, 0.0, 0.0, 0.0, 0.0);
        s += Line("*MATERIAL ; Material");
        s += Line(";   ID,    Name,           E, Poisson's Ratio, Weight Density");
        // kN/m2 to N/mm2: 1e-3; kN/m3 to N/mm3: 1e-6, which prints as 0.000.
        s += Line("%6d,%8s, %8.3f, %14.3f, %14.3f", 1, "S355; EN", 2.0e8 * 1e-3, 0.3, 78.5 * 1e-6);
        s += Line("*ATTRIBUTE ; Attribute");
        s += Line(";   ID, SECTION ID, MATERIAL ID");
        s += Line("%6d, %10d, %11d", 1, 1, 1);
        for (int a = 2; a <= 4; ++a)
            s += Line("%6d, %10d, %11d", a, 2, 1);
        s += Line("*ELEMENT ; Element");
        s += Line(";    ID, ATTRIBUTE ID");
        s += Line("%7d, %12d", 10, 1);
        s += Line("%7d, %12d", 20, 1);
        s += Line("%7d, %12d", 30, 1);
        s += Line("%7d, %12d", 35, 2);
        s += Line("*LOADCASE");
        s += Line(";   ID, Load Case Name");
        s += Line("%6d, %16s", 101, "Stage 1; cut");
        s += Line(";ElementID,      Fxi,      Fyi,      Fzi,      Mxi,      Myi,      Mzi,      Fxj,      Fyj,"
                  "      Fzj,      Mxj,      Myj,      Mzj");
        const char* fmtRow =
            "%10d, %8.3f, %8.3f, %8.3f, %8.3f, %8.3f, %8.3f, %8.3f, %8.3f, %8.3f, %8.3f, %8.3f, %8.3f";
        const double kNmm = kN * kMm;
        // Element 10: Fx -300 .. -200, Fy 1 .. 2, Mz of the later row 1.5 .. -2.5.
        s += Line(fmtRow, 10, -300 * kN, 1 * kN, 0.0, 0.0, 0.0, 1.5 * kNmm, -200 * kN, 2 * kN, 0.0, 0.0, 0.0,
                  -2.5 * kNmm);
        // Element 20: one Fx value is both ends.
        s += Line(fmtRow, 20, -120 * kN, 3 * kN, 0.0, 0.0, 0.0, 0.25 * kNmm, -120 * kN, 4 * kN, 0.0, 0.0, 0.0,
                  0.75 * kNmm);
        // Element 30: no Fy values (zeros); Mx keeps 50 of its 60 values, so end J is the 50th.
        s += Line(fmtRow, 30, 5 * kN, 0.0, 0.0, 1 * kNmm, 0.0, -1 * kNmm, 6 * kN, 0.0, 0.0, 50 * kNmm, 0.0,
                  1 * kNmm);
        s += Line(fmtRow, 35, -800 * kN, 0.0, 0.0, 0.0, 0.0, 0.0, -250 * kN, 0.0, 0.0, 0.0, 0.0, 0.0);
        s += Line("%6d, %16s", 102, "Stage 2");
        s += Line("*FILEPATH ; File Path");
        s += Line("%s", "/projects/pit, phase 2/model");
        s += Line("*ENDDATA");
        return s;
    }

    CDBDoc doc;
    CView view;
    ProgramFolder folder;
    CDlgBeamElementDesign* dlg = nullptr;
    HWND hDlg = nullptr;
};

TEST_F(BeamDesignTest, OffersStagesOfTheStageCaseAndCasesWithResults)
{
    Open();
    EXPECT_EQ(Listed(IDC_BMDS_ACAS), (std::vector<std::string>{"Stages"})) << "type 5 with results only";
    EXPECT_EQ(Listed(IDC_BMDS_CASES), (std::vector<std::string>{"Stage 1, cut", "Stage 2"})) << "steps of kind 25";
    EXPECT_EQ(Caption(), "Select beam elements");
    for (UINT nID : {IDC_BMDS_HIDDEN, IDC_BMDS_RCBEAM, IDC_BMDS_RCWALL, IDC_BMDS_NEWDOC})
        EXPECT_FALSE(dlg->GetDlgItem(nID)->IsWindowVisible()) << nID;

    AfxDriver::CheckItem(dlg, IDC_BMDS_CASES, 0, 1);
    ASSERT_TRUE(AfxDriver::Click(dlg, IDC_BMDS_KIND_LINEAR));
    EXPECT_FALSE(dlg->GetDlgItem(IDC_BMDS_ACAS)->IsWindowEnabled());
    EXPECT_EQ(Listed(IDC_BMDS_CASES), (std::vector<std::string>{"Linear", "Nonlinear"}))
        << "type 15, then type 1; none without a control or results";
    ASSERT_TRUE(AfxDriver::Click(dlg, IDC_BMDS_KIND_STAGE));
    EXPECT_TRUE(dlg->GetDlgItem(IDC_BMDS_ACAS)->IsWindowEnabled());
    EXPECT_EQ(Listed(IDC_BMDS_CASES), (std::vector<std::string>{"Stage 1, cut", "Stage 2"}));
    CArray<int, int> idx;
    CArray<unsigned int, unsigned int> data;
    EXPECT_EQ(dlg->GetCheckedCases(idx, data), 0) << "re-listed unchecked";
}

TEST_F(BeamDesignTest, TrussAndPlatePicksLeaveThePrompt)
{
    Open();
    Pick({40, 50});
    EXPECT_EQ(dlg->GetChosenElements().GetSize(), 0);
    EXPECT_EQ(Caption(), "Select beam elements");

    Pick({30, 10, 40, 20, 35});
    ASSERT_EQ(dlg->GetChosenElements().GetSize(), 4);
    EXPECT_EQ(dlg->GetChosenElements()[0], 30u) << "selection order kept";
    EXPECT_EQ(Caption(), "4 beam elements selected");
    const CAISContext* pContext = CAISContext::Of(&doc);
    ASSERT_EQ(pContext->GetTempObjects().size(), 1u);
    EXPECT_EQ(pContext->GetTempObjects()[0].nMode, 10000);
    EXPECT_EQ(pContext->GetTempObjects()[0].pObject->GetElemSelection().GetSize(), 4);

    Pick({10, 999});
    EXPECT_EQ(dlg->GetChosenElements().GetSize(), 4) << "an unreadable element cancels the pick";

    ASSERT_TRUE(AfxDriver::Click(dlg, IDC_BMDS_SELECT));
    EXPECT_EQ(Caption(), "Select beam elements");
    EXPECT_TRUE(pContext->GetTempObjects().empty()) << "a new selection removes the highlight";
}

TEST_F(BeamDesignTest, DesignWithNothingChosenWarnsAndWritesNothing)
{
    Open();
    AfxDriver::CheckItem(dlg, IDC_BMDS_CASES, 0, 1);
    ASSERT_TRUE(AfxDriver::Click(dlg, IDC_BMDS_DESIGN));
    ASSERT_EQ(Win32MessageBoxCount(), 1);
    EXPECT_STREQ(Win32MessageBoxAt(0)->pszText, "No element selected");
    EXPECT_FALSE(std::filesystem::exists(folder.file("KvrDesign.txt")));
    EXPECT_FALSE(CheckerStarted(folder.path())) << "no checker";
}

TEST_F(BeamDesignTest, StagesAreWrittenInNewtonsAndMillimetresAndTheCheckerFindsTheFile)
{
    ASSERT_TRUE(folder.HasChecker());
    const int own[4] = {2, 3, 7, 9};
    CDocCtrl::GetUnitCtrl(&doc)->SetUnitIndexCurrent(own, 1);
    Open();
    Pick({30, 10, 40, 20, 35});
    AfxDriver::CheckItem(dlg, IDC_BMDS_CASES, 0, 1);
    AfxDriver::CheckItem(dlg, IDC_BMDS_CASES, 1, 1);
    ASSERT_TRUE(AfxDriver::Click(dlg, IDC_BMDS_DESIGN));

    const std::string expected = ExpectedStageFile();
    EXPECT_EQ(DesignFile(), expected);
    int idx[4];
    UnitIndex(idx);
    EXPECT_EQ((std::vector<int>(idx, idx + 4)), (std::vector<int>{2, 3, 7, 9})) << "the saved index is back";
    EXPECT_EQ(CDBLib::GetLastProgram(), CString(folder.file("KvrDesignCH.exe")));
    EXPECT_EQ(CDBLib::GetLastProgramParameters(), CString());
    const std::vector<std::string> record = folder.WaitForRecord(1);
    ASSERT_EQ(record.size(), 1u);
    EXPECT_EQ(record[0], "run 1: copy KvrDesign_1.txt, 0 arguments");
    EXPECT_EQ(FileBytes(folder.file("KvrDesign_1.txt")), expected);

    // Read back: the reader's tables hold the model's values in the file's units.
    CYRPC_DataTool reader;
    ASSERT_EQ(reader.ReadDesignFile(folder.file("KvrDesign.txt").c_str()), 1);
    const T_YRP_CONVERT_TABLE_D& t = reader.GetTables();
    EXPECT_EQ(t.nForceUnit, 2);
    EXPECT_EQ(t.nLengthUnit, 0);
    EXPECT_EQ(t.strFilePath, "/projects/pit, phase 2/model");
    EXPECT_EQ(t.mElem.GetCount(), 4);
    const T_YRP_CONVERT_BEAM_LOAD* pLoad = t.mBeamLoad.PLookup(20);
    ASSERT_NE(pLoad, nullptr);
    ASSERT_EQ(pLoad->aLoadCase.GetSize(), 1) << "stage 2 has no rows";
    EXPECT_EQ(pLoad->aLoadCase[0].strName, "Stage 1; cut");
    EXPECT_DOUBLE_EQ(pLoad->aLoadCase[0].dForceJ[0], -120000.0);
}

TEST_F(BeamDesignTest, LinearCasesWriteTheirStepsOfKindOneAndTen)
{
    Open();
    Pick({10, 20, 30});
    ASSERT_TRUE(AfxDriver::Click(dlg, IDC_BMDS_KIND_LINEAR));
    AfxDriver::CheckItem(dlg, IDC_BMDS_CASES, 0, 1);
    ASSERT_TRUE(AfxDriver::Click(dlg, IDC_BMDS_DESIGN));
    const std::string s = DesignFile();
    EXPECT_NE(s.find(Line("%6d, %16s", 201, "LC1")), std::string::npos);
    EXPECT_NE(s.find(Line("%6d, %16s", 202, "LC1 final")), std::string::npos);
    EXPECT_EQ(s.find("LC1 iteration"), std::string::npos) << "kind 5 is not written";
    EXPECT_NE(s.find(Line("%10d, %8.3f, %8.3f, %8.3f, %8.3f, %8.3f, %8.3f, %8.3f, %8.3f, %8.3f, %8.3f, %8.3f, %8.3f",
                          10, 11 * kN, 0.0, 0.0, 0.0, 0.0, 0.0, 12 * kN, 0.0, 0.0, 0.0, 0.0, 0.0)),
              std::string::npos);
    EXPECT_EQ(s.find("\n        20, "), std::string::npos) << "a non-finite force leaves its row out";
    EXPECT_EQ(s.find("\n        30, "), std::string::npos) << "so does one whose text passes a field";
    EXPECT_EQ(CYRPC_DataTool().ReadDesignFile(folder.file("KvrDesign.txt").c_str()), 1);
}

TEST_F(BeamDesignTest, NoCheckedCaseStopsTheFileWithoutEndAndStartsNoChecker)
{
    Open();
    Pick({10});
    const int own[4] = {2, 3, 1, 1};
    CDocCtrl::GetUnitCtrl(&doc)->SetUnitIndexCurrent(own, 1);
    ASSERT_TRUE(AfxDriver::Click(dlg, IDC_BMDS_DESIGN));
    const std::string s = DesignFile();
    EXPECT_NE(s.find(Line(";   ID, Load Case Name")), std::string::npos);
    EXPECT_EQ(s.find("*ENDDATA"), std::string::npos);
    EXPECT_FALSE(CheckerStarted(folder.path())) << "a failed write starts no checker";
    int idx[4];
    UnitIndex(idx);
    EXPECT_EQ((std::vector<int>(idx, idx + 4)), (std::vector<int>{2, 3, 1, 1}));
}

TEST_F(BeamDesignTest, AnUnwritableFolderWritesNothing)
{
    doc.SetProgramPath(((folder.path() + "/") + "missing/").c_str());
    Open();
    Pick({10});
    AfxDriver::CheckItem(dlg, IDC_BMDS_CASES, 0, 1);
    EXPECT_EQ(dlg->WriteDesignFile(), 0);
    EXPECT_EQ(Win32MessageBoxCount(), 0);
}

// The FILEPATH line holds the model's path without its extension; the reader ends the line at a
// line feed, trims blanks, tabs and CRs from it and takes a line opening with '*' for a keyword.
// Each path reads back as itself, or Design fails as into an unwritable folder: no file, no
// checker and no message.
TEST_F(BeamDesignTest, TheModelPathReadsBackAsItselfOrDesignWritesNothing)
{
    struct Case {
        const char* pszModel;
        const char* pszRead; // null: the write fails
    };
    const Case cases[] = {
        {"/m/pit\nphase 2/model.kvp", nullptr},
        {"/m/pit\n*LOADCASE\n   7, 1, 2/model.kvp", nullptr},
        {"*model.kvp", nullptr},
        {" /m/model.kvp", nullptr},
        {"/m/model .kvp", nullptr},
        {"\t/m/model.kvp", nullptr},
        {"/m/model\t.kvp", nullptr},
        {"\r/m/model.kvp", nullptr},
        {"/m/model\r.kvp", nullptr},
        {";m/model.kvp", ";m/model"},
        {"/m/pit *2, ;\t\r/model.kvp", "/m/pit *2, ;\t\r/model"},
        {"", ""},
    };
    Open();
    Pick({10});
    AfxDriver::CheckItem(dlg, IDC_BMDS_CASES, 0, 1);
    int n = 0;
    for (const Case& c : cases) {
        const std::string program = folder.folder("case" + std::to_string(++n));
        doc.SetProgramPath((program + "/").c_str());
        doc.SetPathName(c.pszModel);
        ASSERT_TRUE(AfxDriver::Click(dlg, IDC_BMDS_DESIGN));
        CYRPC_DataTool reader;
        const int nRead = reader.ReadDesignFile((program + "/KvrDesign.txt").c_str());
        EXPECT_EQ(nRead, c.pszRead ? 1 : 0) << "case " << n;
        EXPECT_EQ(CheckerStarted(program), c.pszRead != nullptr) << "case " << n;
        if (c.pszRead)
            EXPECT_EQ(reader.GetTables().strFilePath, c.pszRead) << "case " << n;
        else
            EXPECT_FALSE(std::filesystem::exists(program + "/KvrDesign.txt")) << "case " << n;
    }
    EXPECT_EQ(Win32MessageBoxCount(), 0);
}

class BeamDialogClosesOn : public BeamDesignTest, public ::testing::WithParamInterface<int> {};

TEST_P(BeamDialogClosesOn, DocumentUpdate)
{
    Open();
    CDBUpdateConnector::Broadcast(nullptr, 3, nullptr);
    EXPECT_TRUE(IsWindow(hDlg)) << "another code leaves it open";
    CDBUpdateConnector::Broadcast(nullptr, GetParam(), nullptr);
    EXPECT_FALSE(IsWindow(hDlg));
    dlg = nullptr;
}

INSTANTIATE_TEST_SUITE_P(Codes, BeamDialogClosesOn, ::testing::Values(7, 32),
                         [](const ::testing::TestParamInfo<int>& i) { return "Code" + std::to_string(i.param); });

} // namespace
