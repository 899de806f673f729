// The plate/solid design dialog driven as a user drives it, with the host's display replaced by
// a double that broadcasts scripted planes for every display request (the real display is in
// design_end_to_end_test). Expected files are built here from the file's formats.
#include "design_test_support.h"

#include "design/CDlgPlateSolidDesign.h"
#include "design/CYRPC_DataTool.h"
#include "design/DesignBoundary.h"
#include "dialogs/CPVSDlgDefThreePointPlane.h"
#include "dialogs/DialogControlIds.h"

#include "ClassLdfs.h"
#include "MsgDll.h"
#include "PVSMeshMngrBrdg.h"
#include "UnitCtrl.h"
#include "afx_standin.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdarg>
#include <functional>
#include <set>
#include <string>
#include <vector>

using namespace kvpvs::test;

namespace {

constexpr unsigned int kStage1 = 101, kStage2 = 102, kStage3 = 103;

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

// What the double broadcasts for plane i of request r.
struct Payload {
    T_LCLDIR_PLNE_KVR_D plane;
    CPointInfoMap points;
    CPlateCellInfoMap plates;
    CSolidCellInfoMap solids;
    T_FORCESUM_D sum{};
};

T_FORCESUM_D Sums(int i, int r)
{
    T_FORCESUM_D s;
    s.FX = 100.0 * (i + 1) + r;
    s.FY = -2.5 * (i + 1);
    s.FZ = 0.125;
    s.MX = 1000.0 + r;
    s.MY = -3.0;
    s.MZ = 7.5 * i;
    return s;
}

class PlateSolidDesignTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        CZORDocBase::SetCurDoc(&doc);
        doc.SetProgramPath((folder.path() + "/").c_str());
        doc.SetPathName("/projects/pit/wall.kvp");
        view.CreateWindowCore(nullptr);
        view.MoveWindow(0, 40, 800, 600);
        doc.SetActiveView(&view);
        bridge = std::make_unique<CPVSMeshMngrBrdg>();
        bridge->SetWnd(&view);
        CClassLdfs::SetRefuse(FALSE);
        Win32ClearMessageBoxJournal();
        AfxStandInMainWndCommands().clear();
        CMsgDll::SetText(IDS_KV_PVS_SELECTED_PLANE_ERR, "Planes of different element types");
        CMsgDll::SetText(IDS_KV_PVS_NO_RESULT_EXIST_CURRENT_STEP, "No result in the step");
        CMsgDll::SetText(IDS_KV_PVS_No_RESULT_CDFS, "No force-sum result");
        CMsgDll::SetText(IDS_KV_PVS_NOT_RECTANGLE_PLANE, "Not a rectangle");
        AddCase(doc, 1, 5, "Stages", 1);
        AddStep(doc, kStage1, 1, "Stage 1", 25);
        AddStep(doc, kStage2, 1, "Stage 2, dig", 25);
        AddStep(doc, kStage3, 1, "Stage 3", 25);
        doc.m_fnDisplayHandler = [this](const T_DOC_DISPLAY_REQUEST_D& r) { return Broadcast(r); };
    }
    void TearDown() override
    {
        if (CDlgPlateSolidDesign::m_pMySelf)
            CDlgPlateSolidDesign::m_pMySelf->DestroyWindow();
        bridge.reset();
        view.DestroyWindow();
        CZORDocBase::SetCurDoc(nullptr);
    }

    // The double: every plane of the request, with the script's payload.
    int Broadcast(const T_DOC_DISPLAY_REQUEST_D& r)
    {
        const auto& rec = *static_cast<const T_VD_LCLDIRSUM_KVR_D*>(r.pUserData);
        requests.push_back(rec);
        if (rec.aPlane.GetSize() == 0)
            return 1;
        const int nReq = nRuns++;
        for (int i = 0; i < rec.aPlane.GetSize(); ++i) {
            Payload p = script(i, nReq, rec);
            // A plane that the display cannot cut gets no call.
            if (p.points.GetCount() == 0)
                continue;
            p.plane.strName = rec.aAxis[i].strName;
            CNotifyListener::NotifyUpdate(i, p.plane, p.points, p.plates, p.solids, p.sum);
        }
        return 1;
    }
    static Payload PlatePayload(int i, int r, const T_VD_LCLDIRSUM_KVR_D&)
    {
        Payload p;
        p.plane.dCentre[0] = 1000.0 * i;
        p.plane.dCentre[2] = -750.0;
        p.plane.dXDir[0] = 1.0;
        p.plane.dYDir[2] = 1.0;
        p.points[0] = T_POINT_D{1000.0 * i, 0.0, 0.0};
        p.points[1] = T_POINT_D{1000.0 * i, 0.0, -1500.0};
        p.plates[0] = T_PLATE_CELL_D{0, 1, 800.0, 30000.0, 0.2, 0.000025};
        p.sum = Sums(i, r);
        return p;
    }
    // Two triangles (0 1 2) and (0 2 3) of the square 1000 x 500 in the plane x = 0.
    static Payload SquarePayload(int i, int r, const T_VD_LCLDIRSUM_KVR_D&)
    {
        Payload p;
        p.plane.dCentre[1] = 500.0;
        p.plane.dCentre[2] = 250.0;
        p.plane.dXDir[0] = 1.0;
        p.points[0] = T_POINT_D{0, 0, 0};
        p.points[1] = T_POINT_D{0, 1000, 0};
        p.points[2] = T_POINT_D{0, 1000, 500};
        p.points[3] = T_POINT_D{0, 0, 500};
        p.solids[0] = T_SOLID_CELL_D{0, 1, 2, 80.0, 0.3, 0.00002};
        p.solids[1] = T_SOLID_CELL_D{0, 2, 3, 80.0, 0.3, 0.00002};
        p.sum = Sums(i, r);
        return p;
    }

    void AddPlaneRow(const char* pszName, int nType, std::array<double, 9> p)
    {
        T_LDFS_D row;
        row.strName = pszName;
        row.nElemType = nType;
        for (int k = 0; k < 3; ++k) {
            row.dP1[k] = p[static_cast<size_t>(k)];
            row.dP2[k] = p[3 + static_cast<size_t>(k)];
            row.dP3[k] = p[6 + static_cast<size_t>(k)];
        }
        CClassLdfs(doc.GetModelDB()).TR_Add(row);
    }
    void AddRows(unsigned int nStep, std::vector<unsigned int> items)
    {
        for (unsigned int it : items) {
            T_PVTIF_D r;
            r.nItem = it;
            r.nStepK = nStep;
            CClassPVtif(doc.GetPostDB()).Add(r);
        }
    }
    void PlateRows(unsigned int nStep) { AddRows(nStep, {85, 86, 87, 91, 92, 93}); }
    void SolidRows(unsigned int nStep) { AddRows(nStep, {141, 142, 143, 144, 145, 146}); }

    CDlgPlateSolidDesign* Open()
    {
        CDlgPlateSolidDesign::CreateOrActivate(&view);
        return CDlgPlateSolidDesign::m_pMySelf;
    }
    void Check(CDlgPlateSolidDesign* dlg, UINT nID, std::initializer_list<int> items)
    {
        for (int i : items)
            ASSERT_TRUE(AfxDriver::CheckItem(dlg, nID, i, 1)) << nID << " " << i;
    }
    std::vector<std::string> Planes(CDlgPlateSolidDesign* dlg)
    {
        std::vector<std::string> a;
        auto* l = dynamic_cast<CListBox*>(dlg->GetDlgItem(IDC_PSDS_PLANES));
        for (int i = 0; l && i < l->GetCount(); ++i) {
            CString s;
            l->GetText(i, s);
            a.push_back(s.GetString());
        }
        return a;
    }
    const T_PLATE_SOLID_DESIGN_D* Record(CDlgPlateSolidDesign* dlg, unsigned int i, unsigned int s)
    {
        CDesignKey k(i, s);
        return dlg->GetDesignMap().PLookup(k);
    }
    std::vector<int> UnitIndex()
    {
        int a[4];
        CDocCtrl::GetUnitCtrl(&doc)->GetUnitIndexCurrent(a);
        return std::vector<int>(a, a + 4);
    }
    bool DesignFileExists() const { return std::filesystem::exists(folder.file("KvrDesign.txt")); }

    CDBDoc doc;
    CView view;
    std::unique_ptr<CPVSMeshMngrBrdg> bridge;
    ProgramFolder folder;
    std::vector<T_VD_LCLDIRSUM_KVR_D> requests;
    int nRuns = 0;
    std::function<Payload(int, int, const T_VD_LCLDIRSUM_KVR_D&)> script = PlatePayload;
};

TEST_F(PlateSolidDesignTest, OpensOnceWithTheEmptyDisplayAndListsThePlanes)
{
    AddPlaneRow("Wall A", 1, {10, 0, 0, 10, 0, -15, 11, 0, -15});
    AddPlaneRow("Straight", 1, {0, 0, 0, 1, 0, 0, 2, 0, 0});   // collinear plate plane
    AddPlaneRow("Flat", 0, {0, 0, 0, 1, 0, 0, 3, 0, 0});       // collinear solid plane: no normal
    AddPlaneRow("Soil", 0, {15, 0, 0, 15, 8, 0, 15, 0, -24});
    CDlgPlateSolidDesign* dlg = Open();
    ASSERT_NE(dlg, nullptr);
    EXPECT_EQ(dlg->m_nInitY, 40) << "level with the launcher's window";
    ASSERT_EQ(requests.size(), 1u);
    EXPECT_EQ(doc.m_aDisplayRequests[0].nVDType, 12u);
    EXPECT_EQ(requests[0].aPlane.GetSize(), 0);
    EXPECT_EQ(doc.m_displayView.m_nRefreshes, 1);
    EXPECT_EQ(Planes(dlg), (std::vector<std::string>{"Wall A", "Soil"})) << "planes spanning no plane are not listed";
    // Plate frame: X = P2 - P1 = -Z, Q = normalise((P3 - P2) x X) = +Y, normal = X x Q = +X.
    const T_VD_LCLDIRSUM_KVR_BASE_D& f = dlg->GetPlaneFrame(0);
    EXPECT_NEAR(f.dAxis[0][0], 1.0, 1e-15);
    EXPECT_NEAR(f.dAxis[1][2], -1.0, 1e-15);
    EXPECT_NEAR(f.dAxis[2][1], 1.0, 1e-15);
    for (UINT nID : {IDC_PSDS_HIDDEN, IDC_PSDS_RCBEAM, IDC_PSDS_RCWALL, IDC_PSDS_NEWDOC})
        EXPECT_FALSE(dlg->GetDlgItem(nID)->IsWindowVisible()) << nID;

    CDlgPlateSolidDesign::CreateOrActivate(&view);
    EXPECT_EQ(CDlgPlateSolidDesign::m_pMySelf, dlg);
    EXPECT_EQ(requests.size(), 1u) << "activated, not opened again";
}

TEST_F(PlateSolidDesignTest, PlanesAreAddedByPickedPointsDeletedAndRefreshedOnPlaneCommands)
{
    CDlgPlateSolidDesign* dlg = Open();
    ASSERT_TRUE(AfxDriver::Click(dlg, IDC_PSDS_ADD));
    CPVSDlgDefThreePointPlane* p = dlg->GetPlaneDialog();
    ASSERT_NE(p, nullptr);
    EXPECT_EQ(p->GetParent(), dlg);
    AfxDriver::Check(p, IDC_THREEPT_PLATE, 1);
    AfxDriver::SetText(p, IDC_THREEPT_NAME, "Picked");
    ASSERT_TRUE(AfxDriver::Focus(p, IDC_THREEPT_PNT1));
    for (const gp_Pnt& q : {gp_Pnt(10, 0, 0), gp_Pnt(10, 0, -15), gp_Pnt(11, 0, -15)})
        ASSERT_TRUE(p->GetEventHandler()->Pick(q));
    AfxDriver::Click(p, IDC_THREEPT_OK);
    EXPECT_EQ(dlg->GetPlaneDialog(), nullptr) << "OK stored the plane and closed the plane dialog";
    EXPECT_EQ(Planes(dlg), (std::vector<std::string>{"Picked"}));
    AddPlaneRow("Second", 1, {0, 0, 0, 0, 0, -1, 1, 0, -1});

    // A modification of other data (MFD) leaves the list; a geometry change (MFS) refreshes it.
    CDBChangeHint* pHint = CClassLdfs::HintOf(doc.GetModelDB());
    CDBUpdateConnector::Broadcast(nullptr, 3, pHint);
    EXPECT_EQ(Planes(dlg), (std::vector<std::string>{"Picked", "Second"})) << "the add command refreshes";
    T_LDFS_D row;
    CClassLdfs tbl(doc.GetModelDB());
    ASSERT_TRUE(tbl.Get(2, row));
    row.strName = "Renamed";
    ASSERT_TRUE(tbl.TR_Modify(2, row, CClassLdfs::UR_LDFS_MFD));
    CDBUpdateConnector::Broadcast(nullptr, 3, pHint);
    EXPECT_EQ(Planes(dlg), (std::vector<std::string>{"Picked", "Second"}));
    ASSERT_TRUE(tbl.TR_Modify(2, row, CClassLdfs::UR_LDFS_MFS));
    CDBUpdateConnector::Broadcast(nullptr, 3, pHint);
    EXPECT_EQ(Planes(dlg), (std::vector<std::string>{"Picked", "Renamed"}));

    Check(dlg, IDC_PSDS_PLANES, {0});
    ASSERT_TRUE(AfxDriver::Click(dlg, IDC_PSDS_DELETE));
    EXPECT_EQ(Planes(dlg), (std::vector<std::string>{"Renamed"}));
    EXPECT_FALSE(tbl.Exist(1));

    // A refused plane keeps the plane dialog open after OK.
    ASSERT_TRUE(AfxDriver::Click(dlg, IDC_PSDS_ADD));
    p = dlg->GetPlaneDialog();
    ASSERT_NE(p, nullptr);
    CClassLdfs::SetRefuse(TRUE);
    AfxDriver::Click(p, IDC_THREEPT_OK);
    EXPECT_NE(dlg->GetPlaneDialog(), nullptr);
    CClassLdfs::SetRefuse(FALSE);
}

TEST_F(PlateSolidDesignTest, OneRecordPerPlaneAndStepAndTheFirstBroadcastStays)
{
    AddPlaneRow("A", 1, {0, 0, 0, 0, 0, -1, 1, 0, -1});
    AddPlaneRow("B", 1, {1, 0, 0, 1, 0, -1, 2, 0, -1});
    AddPlaneRow("C", 1, {2, 0, 0, 2, 0, -1, 3, 0, -1});
    PlateRows(kStage1);
    PlateRows(kStage2);
    script = [](int i, int r, const T_VD_LCLDIRSUM_KVR_D& rec) {
        Payload p = PlatePayload(i, r, rec);
        return p;
    };
    CDlgPlateSolidDesign* dlg = Open();
    Check(dlg, IDC_PSDS_PLANES, {0, 1, 2});
    Check(dlg, IDC_PSDS_STEPS, {0, 1});
    ASSERT_EQ(dlg->RunForceSums(), 1);
    EXPECT_EQ(dlg->GetDesignMap().GetCount(), 6);
    for (unsigned int i = 0; i < 3; ++i)
        for (unsigned int s = 0; s < 2; ++s) {
            const T_PLATE_SOLID_DESIGN_D* pRec = Record(dlg, i, s);
            ASSERT_NE(pRec, nullptr) << i << "," << s;
            EXPECT_DOUBLE_EQ(pRec->sum.FX, 100.0 * (i + 1) + s);
        }
    EXPECT_EQ(Record(dlg, 2, 1)->plane.strName, "C");

    // A second broadcast of plane 1 in the last step changes nothing.
    Payload again = PlatePayload(1, 99, requests.back());
    again.plane.strName = "Other";
    CNotifyListener::NotifyUpdate(1, again.plane, again.points, again.plates, again.solids, again.sum);
    EXPECT_DOUBLE_EQ(Record(dlg, 1, 1)->sum.FX, 201.0);
    EXPECT_EQ(Record(dlg, 1, 1)->plane.strName, "B");

    // Planes A and C alone: their indexes in the run are 0 and 1.
    dlg->GetDesignMap().RemoveAll();
    AfxDriver::CheckItem(dlg, IDC_PSDS_PLANES, 1, 0);
    ASSERT_EQ(dlg->RunForceSums(), 1);
    EXPECT_EQ(dlg->m_nPlaneCount, 2);
    EXPECT_EQ(Record(dlg, 1, 0)->plane.strName, "C");
    EXPECT_EQ(Record(dlg, 2, 0), nullptr);
}

TEST_F(PlateSolidDesignTest, AnAnalysisCaseWithoutStepsUsesUpItsIndex)
{
    AddPlaneRow("A", 1, {0, 0, 0, 0, 0, -1, 1, 0, -1});
    AddCase(doc, 2, 15, "Linear", 2);
    AddCase(doc, 3, 15, "Empty", 3);
    AddCase(doc, 4, 15, "Linear 2", 4);
    AddStep(doc, 201, 2, "LC1", 1);
    AddStep(doc, 202, 2, "LC1 last", 1);
    AddStep(doc, 401, 4, "LC2", 1);
    PlateRows(202);
    PlateRows(401);
    CDlgPlateSolidDesign* dlg = Open();
    ASSERT_TRUE(AfxDriver::Click(dlg, IDC_PSDS_KIND_LINEAR));
    Check(dlg, IDC_PSDS_PLANES, {0});
    Check(dlg, IDC_PSDS_STEPS, {0, 1, 2});
    ASSERT_TRUE(AfxDriver::Click(dlg, IDC_PSDS_DESIGN));
    EXPECT_NE(Record(dlg, 0, 0), nullptr);
    EXPECT_EQ(Record(dlg, 0, 1), nullptr);
    EXPECT_NE(Record(dlg, 0, 2), nullptr);
    EXPECT_EQ(requests.size(), 3u) << "the empty display and one per case with steps";
    // Each case writes one row named after its last step.
    const std::string s = FileBytes(folder.file("KvrDesign.txt"));
    EXPECT_NE(s.find(Line("%16s, %14.3f, %14.3f, %14.3f, %14.3f, %14.3f, %14.3f", "LC1 last", 100.0, -2.5, 0.125,
                          1000.0, -3.0, 0.0)),
              std::string::npos)
        << s;
    EXPECT_NE(s.find(Line("%16s, %14.3f, %14.3f, %14.3f, %14.3f, %14.3f, %14.3f", "LC2", 101.0, -2.5, 0.125, 1001.0,
                          -3.0, 0.0)),
              std::string::npos);
}

// The plate variant, whole: the unit line names the design units while Design runs.
TEST_F(PlateSolidDesignTest, PlateVariantIsWrittenPlaneByPlaneAndStartsTheChecker)
{
    ASSERT_TRUE(folder.HasChecker());
    AddPlaneRow("A", 1, {0, 0, 0, 0, 0, -1, 1, 0, -1});
    AddPlaneRow("B, upper", 1, {1, 0, 0, 1, 0, -1, 2, 0, -1});
    PlateRows(kStage1);
    PlateRows(kStage2);
    // Plane B is cut in the second step only; A's sum of the second step is not finite.
    script = [](int i, int r, const T_VD_LCLDIRSUM_KVR_D& rec) {
        Payload p = PlatePayload(i, r, rec);
        if (i == 1 && r == 0)
            p.points.RemoveAll();
        if (i == 0 && r == 1)
            p.sum.MY = std::nan("");
        return p;
    };
    CDlgPlateSolidDesign* dlg = Open();
    Check(dlg, IDC_PSDS_PLANES, {0, 1});
    Check(dlg, IDC_PSDS_STEPS, {0, 1});
    ASSERT_TRUE(AfxDriver::Click(dlg, IDC_PSDS_DESIGN));
    EXPECT_EQ(UnitIndex(), (std::vector<int>{2, 3, 0, 0}));

    std::string e;
    e += Line("*Solid/Plate Element Design Result");
    e += Line("*UNIT ; Unit System");
    e += Line(";Force, Length");
    e += Line("%6s,%7s", "N", "mm");
    for (int i = 0; i < 2; ++i) {
        e += Line("*PLATEFORCESUM, count, %d", i + 1);
        e += Line(";    Name,      ORG X,      ORG Y,      ORG Z,    DIR X,    DIR Y,    DIR Z ");
        e += Line("%9s, %10.3f, %10.3f, %10.3f, %8.3f, %8.3f, %8.3f", i == 0 ? "A" : "B; upper", 1000.0 * i, 0.0, -750.0,
                  1.0, 0.0, 0.0);
        e += Line("*POINT");
        e += Line(";      ID,             X,             Y,             Z");
        e += Line("%9d,%14.3f,%14.3f,%14.3f", 1, 1000.0 * i, 0.0, 0.0);
        e += Line("%9d,%14.3f,%14.3f,%14.3f", 2, 1000.0 * i, 0.0, -1500.0);
        e += Line("*CELL");
        e += Line(";      ID, POINT1 ID, POINT2 ID, Thickness, Elastic Modulus, Poisson Ratio, Weight Density");
        e += Line("%9d, %9d, %9d, %8.3f, %15.3f, %13.3f, %14.3f", 1, 1, 2, 800.0, 30000.0, 0.2, 0.000025);
        e += Line("*FORCESUM");
        e += Line(";      Load Case Name,             FX,             FY,             FZ,             MX,             MY,"
                  "             MZ");
        // A's row of the second step is left out (its sum is not finite); B has a record of the
        // second step only: its plane and row come from there.
        const T_FORCESUM_D f = Sums(i, i);
        e += Line("%21s, %14.3f, %14.3f, %14.3f, %14.3f, %14.3f, %14.3f", i == 0 ? "Stage 1" : "Stage 2; dig", f.FX,
                  f.FY, f.FZ, f.MX, f.MY, f.MZ);
    }
    e += Line("*FILEPATH ; File Path");
    e += Line("/projects/pit/wall");
    e += Line("*ENDDATA");
    EXPECT_EQ(FileBytes(folder.file("KvrDesign.txt")), e);
    const std::vector<std::string> record = folder.WaitForRecord(1);
    ASSERT_EQ(record.size(), 1u);
    EXPECT_EQ(record[0], "run 1: copy KvrDesign_1.txt, 0 arguments");

    CYRPC_DataTool reader;
    ASSERT_EQ(reader.ReadDesignFile(folder.file("KvrDesign.txt").c_str()), 1);
    const T_YRP_CONVERT_TABLE_D& t = reader.GetTables();
    EXPECT_EQ(t.nVariant, 3);
    ASSERT_EQ(t.mPlane.GetCount(), 2);
    const T_YRP_CONVERT_PLANE* pB = t.mPlane.PLookup(2);
    ASSERT_NE(pB, nullptr);
    EXPECT_EQ(pB->strName, "B; upper");
    ASSERT_EQ(pB->aForceSum.GetSize(), 1);
    EXPECT_EQ(pB->aForceSum[0].strName, "Stage 2; dig");
    EXPECT_DOUBLE_EQ(pB->aForceSum[0].dSum[0], 201.0);
    EXPECT_DOUBLE_EQ(pB->mCell.PLookup(1)->dThickness, 800.0);
}

TEST_F(PlateSolidDesignTest, SolidVariantWritesTheBoundaryLoopAndTheRectangle)
{
    ASSERT_TRUE(folder.HasChecker());
    AddPlaneRow("Soil", 0, {0, 0, 0, 0, 1, 0, 0, 0, 1});
    SolidRows(kStage1);
    script = SquarePayload;
    CDlgPlateSolidDesign* dlg = Open();
    Check(dlg, IDC_PSDS_PLANES, {0});
    Check(dlg, IDC_PSDS_STEPS, {0});
    ASSERT_TRUE(AfxDriver::Click(dlg, IDC_PSDS_DESIGN));
    CYRPC_DataTool reader;
    ASSERT_EQ(reader.ReadDesignFile(folder.file("KvrDesign.txt").c_str()), 1);
    ASSERT_EQ(reader.GetTables().nVariant, 2);
    const T_YRP_CONVERT_PLANE* p = reader.GetTables().mPlane.PLookup(1);
    ASSERT_NE(p, nullptr);
    EXPECT_EQ(p->mCell.GetCount(), 2);
    // Section: area h b with {h, b} the sides 1000 and 500.
    EXPECT_DOUBLE_EQ(p->dSection[0], 500000.0);
    EXPECT_EQ((std::multiset<double>{p->dSection[1], p->dSection[2]}), (std::multiset<double>{1000.0, 500.0}));

    // The boundary block: a closed walk along the four sides (1-based ids of the square).
    const std::string s = FileBytes(folder.file("KvrDesign.txt"));
    const size_t a = s.find("*Boundary Edge Point\r\n;Point ID\r\n");
    ASSERT_NE(a, std::string::npos);
    std::vector<int> walk;
    for (size_t i = a + 32; s.compare(i, 8, "*SECTION") != 0; i = s.find("\r\n", i) + 2)
        walk.push_back(std::atoi(s.c_str() + i));
    ASSERT_EQ(walk.size(), 5u);
    EXPECT_EQ(walk.front(), walk.back());
    std::set<std::pair<int, int>> sides;
    for (size_t i = 0; i + 1 < walk.size(); ++i)
        sides.insert({std::min(walk[i], walk[i + 1]), std::max(walk[i], walk[i + 1])});
    EXPECT_EQ(sides, (std::set<std::pair<int, int>>{{1, 2}, {2, 3}, {3, 4}, {1, 4}}));
    // The cells and the section titles as the formats give them.
    EXPECT_NE(s.find(Line("%9d, %9d, %9d, %9d, %15.3f, %13.3f, %14.3f", 2, 1, 3, 4, 80.0, 0.3, 0.00002)),
              std::string::npos);
    EXPECT_NE(s.find(Line(";%20s,%20s,%20s", "AREA", "h", "b")), std::string::npos);
    EXPECT_EQ(folder.WaitForRecord(1).size(), 1u);
}

TEST_F(PlateSolidDesignTest, ANonRectangularSolidCutFailsWithItsMessage)
{
    AddPlaneRow("Soil", 0, {0, 0, 0, 0, 1, 0, 0, 0, 1});
    SolidRows(kStage1);
    script = [](int i, int r, const T_VD_LCLDIRSUM_KVR_D& rec) {
        Payload p = SquarePayload(i, r, rec);
        p.points[2] = T_POINT_D{0, 1000, 600}; // a trapezium
        return p;
    };
    CDlgPlateSolidDesign* dlg = Open();
    Check(dlg, IDC_PSDS_PLANES, {0});
    Check(dlg, IDC_PSDS_STEPS, {0});
    ASSERT_TRUE(AfxDriver::Click(dlg, IDC_PSDS_DESIGN));
    ASSERT_EQ(Win32MessageBoxCount(), 1);
    EXPECT_STREQ(Win32MessageBoxAt(0)->pszText, "Not a rectangle");
    EXPECT_EQ(FileBytes(folder.file("KvrDesign.txt")).find("*ENDDATA"), std::string::npos);
    EXPECT_EQ(UnitIndex(), (std::vector<int>{2, 3, 0, 0}));
}

struct Refusal {
    const char* pszCase;
    const char* pszMessage;
};

class RunRefusal : public PlateSolidDesignTest, public ::testing::WithParamInterface<Refusal> {};

TEST_P(RunRefusal, ShowsItsMessageAndDesignWritesNothing)
{
    const std::string c = GetParam().pszCase;
    AddPlaneRow("Plate", 1, {0, 0, 0, 0, 0, -1, 1, 0, -1});
    AddPlaneRow("Solid", 0, {0, 0, 0, 0, 1, 0, 0, 0, 1});
    if (c == "no force-sum rows")
        AddRows(kStage1, {85, 86, 87, 91, 92, 999});
    CDlgPlateSolidDesign* dlg = Open();
    Check(dlg, IDC_PSDS_PLANES, {0});
    if (c == "mixed planes")
        Check(dlg, IDC_PSDS_PLANES, {1});
    Check(dlg, IDC_PSDS_STEPS, {0});
    const int own[4] = {2, 3, 5, 6};
    CDocCtrl::GetUnitCtrl(&doc)->SetUnitIndexCurrent(own, 1);
    ASSERT_TRUE(AfxDriver::Click(dlg, IDC_PSDS_DESIGN));
    ASSERT_EQ(Win32MessageBoxCount(), 1);
    EXPECT_STREQ(Win32MessageBoxAt(0)->pszText, GetParam().pszMessage);
    EXPECT_FALSE(DesignFileExists());
    EXPECT_EQ(UnitIndex(), (std::vector<int>{2, 3, 5, 6}));
    EXPECT_FALSE(CheckerStarted(folder.path()));
}

INSTANTIATE_TEST_SUITE_P(Runs, RunRefusal,
                         ::testing::Values(Refusal{"mixed planes", "Planes of different element types"},
                                           Refusal{"no rows", "No result in the step"},
                                           Refusal{"no force-sum rows", "No force-sum result"}),
                         [](const ::testing::TestParamInfo<Refusal>& i) {
                             std::string s = i.param.pszCase;
                             std::replace(s.begin(), s.end(), ' ', '_');
                             std::replace(s.begin(), s.end(), '-', '_');
                             return s;
                         });

TEST_F(PlateSolidDesignTest, AModelPathThatWouldNotReadBackWritesNothing)
{
    doc.SetPathName("/projects/pit\n*ENDDATA\n/wall.kvp");
    AddPlaneRow("A", 1, {0, 0, 0, 0, 0, -1, 1, 0, -1});
    PlateRows(kStage1);
    CDlgPlateSolidDesign* dlg = Open();
    Check(dlg, IDC_PSDS_PLANES, {0});
    Check(dlg, IDC_PSDS_STEPS, {0});
    ASSERT_TRUE(AfxDriver::Click(dlg, IDC_PSDS_DESIGN));
    EXPECT_EQ(nRuns, 1) << "the force sums ran";
    EXPECT_FALSE(DesignFileExists());
    EXPECT_FALSE(CheckerStarted(folder.path()));
    EXPECT_EQ(Win32MessageBoxCount(), 0);
}

TEST_F(PlateSolidDesignTest, NothingCheckedRunsNothing)
{
    AddPlaneRow("Plate", 1, {0, 0, 0, 0, 0, -1, 1, 0, -1});
    PlateRows(kStage1);
    CDlgPlateSolidDesign* dlg = Open();
    ASSERT_TRUE(AfxDriver::Click(dlg, IDC_PSDS_DESIGN));
    Check(dlg, IDC_PSDS_PLANES, {0});
    ASSERT_TRUE(AfxDriver::Click(dlg, IDC_PSDS_DESIGN));
    EXPECT_EQ(requests.size(), 1u);
    EXPECT_FALSE(DesignFileExists());
    EXPECT_EQ(Win32MessageBoxCount(), 0);
}

TEST_F(PlateSolidDesignTest, TextOutputAppendsAfterTheFirstStepAndOpensTheEditorAtTheLast)
{
    AddPlaneRow("A", 1, {0, 0, 0, 0, 0, -1, 1, 0, -1});
    for (unsigned int s : {kStage1, kStage2, kStage3})
        PlateRows(s);
    CDlgPlateSolidDesign* dlg = Open();
    Check(dlg, IDC_PSDS_PLANES, {0});
    Check(dlg, IDC_PSDS_STEPS, {0, 1, 2});
    ASSERT_TRUE(AfxDriver::Click(dlg, IDC_PSDS_TEXT));
    ASSERT_EQ(requests.size(), 4u);
    for (int s = 0; s < 3; ++s) {
        const T_VD_LCLDIRSUM_KVR_D& r = requests[static_cast<size_t>(s) + 1];
        EXPECT_EQ(r.bIncludeText, 1);
        EXPECT_EQ(r.bAppend, s == 0 ? 0 : 1) << s;
        EXPECT_EQ(r.bEditor, s == 2 ? 1 : 0) << s;
        EXPECT_EQ(r.nCutKind, 1);
        EXPECT_EQ(r.nCompCount, 12);
        EXPECT_EQ(r.nPlaneColor, 0xFDFCBF);
        EXPECT_DOUBLE_EQ(r.dArrowScale, 1.0);
        EXPECT_EQ(r.nValueDecimal, 6);
    }
    // Plate rows go to the tensor slots xx, yy, xy of forces and moments.
    EXPECT_NE(requests[1].nCompPVtifK[3], 0);
    EXPECT_EQ(requests[1].nCompPVtifK[4], 0);
    EXPECT_FALSE(DesignFileExists()) << "text output writes no design file";
    ASSERT_TRUE(AfxDriver::Click(dlg, IDC_PSDS_DESIGN));
    EXPECT_EQ(requests[4].bIncludeText, 0) << "Design runs without the report";
}

class CloseCommand : public PlateSolidDesignTest, public ::testing::WithParamInterface<int> {};

TEST_P(CloseCommand, FollowsTheBridgeMode)
{
    bridge->SetBrdgMode(GetParam());
    CDlgPlateSolidDesign* dlg = Open();
    ASSERT_TRUE(AfxDriver::Click(dlg, IDC_PSDS_ADD));
    const HWND hPlane = dlg->GetPlaneDialog()->m_hWnd;
    const int nClose = bridge->m_nCloseCalls;
    ASSERT_TRUE(AfxDriver::Click(dlg, IDC_PSDS_CLOSE));
    EXPECT_EQ(CDlgPlateSolidDesign::m_pMySelf, nullptr);
    EXPECT_FALSE(IsWindow(hPlane)) << "the plane dialog goes with it";
    EXPECT_EQ(bridge->m_nCloseCalls, nClose + 1);
    ASSERT_FALSE(AfxStandInMainWndCommands().empty());
    EXPECT_EQ(AfxStandInMainWndCommands().back().wParam, GetParam() ? 0x8420u : 0x8322u);
}

INSTANTIATE_TEST_SUITE_P(Modes, CloseCommand, ::testing::Values(0, 1),
                         [](const ::testing::TestParamInfo<int>& i) { return i.param ? "BridgeMode" : "Plain"; });

// Boundary loops and the rectangle test on their own.
struct Outline {
    const char* pszName;
    std::vector<std::array<double, 3>> points;
    std::vector<std::array<int, 3>> triangles;
    bool bLoop;       // one closed loop
    bool bRectangle;
};

// An outline's triangles through the module's own steps: single edges, loops, corners.
struct Section {
    CPointInfoMap points;
    CEdgeMap edges;
    CArray<int, int> loop, ends;
    bool bClosed = false;
    explicit Section(const Outline& o)
    {
        CSolidCellInfoMap cells;
        for (size_t i = 0; i < o.points.size(); ++i)
            points[static_cast<int>(i)] = T_POINT_D{o.points[i][0], o.points[i][1], o.points[i][2]};
        for (size_t i = 0; i < o.triangles.size(); ++i)
            cells[static_cast<int>(i)] = T_SOLID_CELL_D{o.triangles[i][0], o.triangles[i][1], o.triangles[i][2], 1, 0, 0};
        kvpvs::design::CollectSingleEdges(cells, edges);
        bClosed = kvpvs::design::BuildLoops(edges, loop, ends);
    }
    bool Rectangle() const
    {
        double corner[4][3];
        return kvpvs::design::RectangleCorners(loop, points, corner);
    }
};

class BoundaryOutline : public ::testing::TestWithParam<Outline> {};

TEST_P(BoundaryOutline, LoopsAndCorners)
{
    const Outline& o = GetParam();
    const Section s(o);
    EXPECT_EQ(s.bClosed && s.ends.GetSize() == 1, o.bLoop);
    if (!o.bLoop)
        return;
    EXPECT_EQ(s.loop.GetSize(), s.edges.GetCount() + 1) << "each boundary point once, the first again at the end";
    EXPECT_EQ(s.loop[0], s.loop[s.loop.GetSize() - 1]);
    EXPECT_EQ(s.Rectangle(), o.bRectangle);
}

// A corner of a parallelogram with angle a at the origin: sides along x and at angle a.
Outline Parallelogram(const char* pszName, double dDeg, bool bRectangle)
{
    const double r = dDeg * 3.14159265358979323846 / 180.0;
    const double ux = 3.0 * std::cos(r), uy = 3.0 * std::sin(r);
    return {pszName, {{0, 0, 0}, {4, 0, 0}, {4 + ux, uy, 0}, {ux, uy, 0}}, {{0, 1, 2}, {0, 2, 3}}, true, bRectangle};
}

INSTANTIATE_TEST_SUITE_P(
    Outlines, BoundaryOutline,
    ::testing::Values(
        Outline{"SquareOfTwoTriangles", {{0, 0, 0}, {1, 0, 0}, {1, 1, 0}, {0, 1, 0}}, {{0, 1, 2}, {0, 2, 3}}, true, true},
        Outline{"CollinearSidePoints",
                {{0, 0, 0}, {1, 0, 0}, {2, 0, 0}, {2, 1, 0}, {1, 1, 0}, {0, 1, 0}},
                {{0, 1, 4}, {0, 4, 5}, {1, 2, 3}, {1, 3, 4}},
                true,
                true},
        Parallelogram("Corner90point0000005", 90.0000005, true), Parallelogram("Corner90point00001", 90.00001, false),
        Outline{"FifthCorner",
                {{0, 0, 0}, {2, 0, 0}, {2, 1, 0}, {1, 1, 0}, {1, 2, 0}, {0, 2, 0}},
                {{0, 1, 2}, {0, 2, 3}, {0, 3, 5}, {3, 4, 5}},
                true,
                false},
        // Three triangles on one edge: that edge is inner, and point 0 has three boundary edges.
        Outline{"OpenBoundary", {{0, 0, 0}, {1, 0, 0}, {0, 1, 0}, {0, -1, 0}, {0, 0, 1}}, {{0, 1, 2}, {0, 1, 3}, {0, 1, 4}},
                false, false},
        Outline{"TwoLoops",
                {{0, 0, 0}, {1, 0, 0}, {1, 1, 0}, {5, 0, 0}, {6, 0, 0}, {6, 1, 0}},
                {{0, 1, 2}, {3, 4, 5}},
                false,
                false}),
    [](const ::testing::TestParamInfo<Outline>& i) { return std::string(i.param.pszName); });

// A 6 x 3 section turned by theta about z at the origin o, its second side at phi to its first,
// with nodes every 0.75 along each side: node (i, j) = o + 0.75 i c + 0.75 j s, c and s the
// sides' directions. Exact: c rounded to multiples of 2^-12 and s = c turned by 90 degrees, so
// every node is a double and b - a = c - b along a side. Computed: c and s as they come, the
// nodes rounded. Triangles fan out from the centre.
Outline TurnedOutline(const std::array<double, 3>& o, double theta, double phi, bool bExact)
{
    constexpr double kPi = 3.14159265358979323846;
    constexpr int m = 8, n = 4;
    double c[2] = {std::cos(theta * kPi / 180.0), std::sin(theta * kPi / 180.0)};
    double s[2] = {std::cos((theta + phi) * kPi / 180.0), std::sin((theta + phi) * kPi / 180.0)};
    if (bExact) {
        for (double& d : c)
            d = std::round(d * 4096.0) / 4096.0;
        s[0] = -c[1];
        s[1] = c[0];
    }
    auto node = [&](double i, double j) {
        return std::array<double, 3>{o[0] + 0.75 * i * c[0] + 0.75 * j * s[0], o[1] + 0.75 * i * c[1] + 0.75 * j * s[1], o[2]};
    };
    Outline out{"Turned", {node(m / 2.0, n / 2.0)}, {}, true, true};
    for (int i = 0; i < m; ++i)
        out.points.push_back(node(i, 0));
    for (int j = 0; j < n; ++j)
        out.points.push_back(node(m, j));
    for (int i = m; i > 0; --i)
        out.points.push_back(node(i, n));
    for (int j = n; j > 0; --j)
        out.points.push_back(node(0, j));
    const int nBoundary = static_cast<int>(out.points.size()) - 1;
    for (int k = 1; k <= nBoundary; ++k)
        out.triangles.push_back({0, k, k % nBoundary + 1});
    return out;
}

// Sections turned in 400 steps of 0.9 degrees, at the origin and at a national-grid northing:
// nodes on a side are collinear, so each is a rectangle, exactly collinear or computed; a
// corner 5e-7 degrees off the right angle still passes, one 1e-5 off fails.
class TurnedSection : public ::testing::TestWithParam<double> {};

TEST_P(TurnedSection, NodesAlongTheSidesLeaveARectangle)
{
    const std::array<double, 3> o = {GetParam(), GetParam(), 2.0};
    for (int k = 0; k < 400; ++k) {
        const double theta = 0.9 * k;
        EXPECT_TRUE(Section(TurnedOutline(o, theta, 90.0, true)).Rectangle()) << "exact, turned " << theta;
        EXPECT_TRUE(Section(TurnedOutline(o, theta, 90.0, false)).Rectangle()) << "computed, turned " << theta;
        EXPECT_TRUE(Section(TurnedOutline(o, theta, 90.0000005, false)).Rectangle()) << "90.0000005, turned " << theta;
        EXPECT_FALSE(Section(TurnedOutline(o, theta, 90.00001, false)).Rectangle()) << "90.00001, turned " << theta;
    }
}

INSTANTIATE_TEST_SUITE_P(Origins, TurnedSection, ::testing::Values(0.0, 5e6),
                         [](const ::testing::TestParamInfo<double>& i) { return i.param == 0.0 ? "Origin" : "Northing5e6"; });

} // namespace
