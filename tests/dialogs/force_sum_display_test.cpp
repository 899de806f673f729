// The force-sum dialog showing the real display: planes are picked in the plane dialog, ticked
// and shown; the bridge's request is built by the host through the module's factory (visual
// data type 8, its method, Process, Render into a recorder). The sums are compared with the
// closed forms of a block under constant stress and a plate strip under membrane forces.
// Lengths are shown in output units twice the model's, so the sums are in output units too:
// a solid cut's area counts f^2, a plate cut's length f with f = 2.
#include "ForceSumFixtures.h"
#include "ForceSumItemRows.h"
#include "UserDefDisplayHost.h"

#include "dialogs/CDlgLclDirForSum.h"
#include "dialogs/CPVSDlgDefThreePointPlane.h"
#include "dialogs/DialogControlIds.h"

#include "PVSMeshMngrBrdg.h"
#include "PVSRendererBase.h"
#include "UnitCtrl.h"
#include "afx_standin.h"

#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <cstdio>
#include <memory>
#include <ostream>
#include <string>

using namespace kvpvs::test;

namespace {

using P3 = std::array<double, 3>;

constexpr double kLengthOut = 2.0; // output length units per model length unit

double Dot(const P3& a, const P3& b) { return a[0] * b[0] + a[1] * b[1] + a[2] * b[2]; }

class ForceSumDialogDisplay : public ::testing::Test {
protected:
    void SetUp() override
    {
        CDocCtrl::GetUnitCtrl(&m.doc)->SetFactor(1, kLengthOut);
        bridge = std::make_unique<CPVSMeshMngrBrdg>();
        view.CreateWindowCore(nullptr);
        bridge->SetWnd(&view);
        const double bb[6] = {0, 4, 0, 2, 0, 4};
        bridge->SetBounds(bb);
        m.doc.SetActiveView(&view);
        host.Install(*bridge);
        CClassLdfs::SetRefuse(FALSE);
        Win32ClearMessageBoxJournal();
    }
    void TearDown() override
    {
        if (CDlgLclDirForSum::m_pMySelf)
            CDlgLclDirForSum::m_pMySelf->DestroyWindow();
        CPVSMeshMngrBrdgBase::m_bConsiderOnlyFaceOfSolid = 0;
        kvpvs::host::CUserDefDisplayHost::Uninstall(*bridge);
        bridge.reset();
        view.DestroyWindow();
    }
    CDlgLclDirForSum* Open()
    {
        CDlgLclDirForSum::CreateOrActivate(&view);
        return CDlgLclDirForSum::m_pMySelf;
    }
    // Add, then in the plane dialog: element type, name, three picked points (model units), OK.
    void AddPlane(CDlgLclDirForSum* dlg, int bPlate, const char* pszName, const P3& a, const P3& b, const P3& c)
    {
        ASSERT_TRUE(AfxDriver::Click(dlg, IDC_LDFS_ADD));
        CPVSDlgDefThreePointPlane* p = dlg->GetPlaneDialog();
        ASSERT_NE(p, nullptr);
        AfxDriver::Check(p, bPlate ? IDC_THREEPT_PLATE : IDC_THREEPT_SOLID, 1);
        AfxDriver::SetText(p, IDC_THREEPT_NAME, pszName);
        ASSERT_TRUE(AfxDriver::Focus(p, IDC_THREEPT_PNT1));
        for (const P3& q : {a, b, c})
            ASSERT_TRUE(p->GetEventHandler()->Pick(gp_Pnt(q[0], q[1], q[2])));
        AfxDriver::Click(p, IDC_THREEPT_OK);
        ASSERT_EQ(dlg->GetPlaneDialog(), nullptr) << "OK stored the plane and closed the plane dialog";
    }
    // Ticks every listed plane and the include-text box, then Show.
    CPVSVisualMethodLDFS* ShowAll(CDlgLclDirForSum* dlg)
    {
        for (int i = 0; i < dlg->GetPlaneCount(); ++i)
            AfxDriver::CheckItem(dlg, IDC_LDFS_LIST, i, 1);
        AfxDriver::Check(dlg, IDC_LDFS_INCLUDE_TEXT, 1);
        const int before = host.GetShownCount();
        AfxDriver::Click(dlg, IDC_LDFS_SHOW);
        EXPECT_EQ(host.GetShownCount(), before + 1) << "Show builds one display";
        return dynamic_cast<CPVSVisualMethodLDFS*>(host.GetMethod());
    }
    void ExpectFrame(CDlgLclDirForSum* dlg, int i, const P3& n, const P3& first, const P3& second)
    {
        const T_VD_LCLDIRSUM_HOB_BASE_D& f = dlg->GetPlaneFrame(i);
        for (int k = 0; k < 3; ++k) {
            EXPECT_NEAR(f.dAxis[0][k], n[k], 1e-15) << "normal, plane " << i;
            EXPECT_NEAR(f.dAxis[1][k], first[k], 1e-15) << "first axis, plane " << i;
            EXPECT_NEAR(f.dAxis[2][k], second[k], 1e-15) << "second axis, plane " << i;
        }
    }

    ForceSumModel m;
    CView view;
    std::unique_ptr<CPVSMeshMngrBrdg> bridge;
    CPVSRendererRecorder renderer;
    kvpvs::host::CUserDefDisplayHost host{&renderer};
};

// A 3 x 2 x 4 block of hexahedra under a constant stress, cut at x = 1.5 and at y = 1: the
// force over each cut is area x (S n), given in the plane's axes; no moment about its centre.
TEST_F(ForceSumDialogDisplay, SolidBlockUnderConstantStressGivesAreaTimesTraction)
{
    BuildHexBlock(m, HexBlockGrid{3, 2, 4, 1.0, 1.0, 1.0});
    const std::array<double, 6> s{-30, -12, -50, 4, 2, -6}; // xx, yy, zz, xy, yz, zx
    AddStressRows(m, [&](double, double, double) { return s; });
    CPVSMeshMngrBrdgBase::m_bConsiderOnlyFaceOfSolid = 1;
    CDlgLclDirForSum* dlg = Open();
    ASSERT_NE(dlg, nullptr);
    EXPECT_EQ(host.GetShownCount(), 1) << "opening shows the empty display";
    AddPlane(dlg, 0, "Cut-X", {1.5, 0, 0}, {1.5, 1, 0}, {1.5, 0, 1});
    AddPlane(dlg, 0, "Cut-Y", {0, 1, 0}, {0, 1, 2}, {1, 1, 0});
    ASSERT_EQ(dlg->GetPlaneCount(), 2);
    // Solid frame: first = P2 - P1, normal = first x (P3 - P1), second = normal x first.
    const P3 X{1, 0, 0}, Y{0, 1, 0}, Z{0, 0, 1};
    ExpectFrame(dlg, 0, X, Y, Z);
    ExpectFrame(dlg, 1, Y, Z, X);

    CPVSVisualMethodLDFS* vm = ShowAll(dlg);
    ASSERT_NE(vm, nullptr);
    ASSERT_EQ(vm->m_aValue[0].GetSize(), 2);
    struct Cut {
        P3 n, first, second;
        double dArea;
    };
    const double f2 = kLengthOut * kLengthOut;
    const Cut cuts[2] = {{X, Y, Z, 2.0 * 4.0 * f2}, {Y, Z, X, 3.0 * 4.0 * f2}};
    for (int i = 0; i < 2; ++i) {
        const Cut& c = cuts[i];
        // t = S n with S symmetric from (xx, yy, zz, xy, yz, zx).
        const P3 t{s[0] * c.n[0] + s[3] * c.n[1] + s[5] * c.n[2], s[3] * c.n[0] + s[1] * c.n[1] + s[4] * c.n[2],
                   s[5] * c.n[0] + s[4] * c.n[1] + s[2] * c.n[2]};
        const P3 F{c.dArea * Dot(t, c.n), c.dArea * Dot(t, c.first), c.dArea * Dot(t, c.second)};
        for (int k = 0; k < 3; ++k) {
            EXPECT_NEAR(vm->m_aValue[k][i], F[k], 1e-9) << "force " << k << ", plane " << i;
            EXPECT_NEAR(vm->m_aValue[3 + k][i], 0.0, 1e-9) << "moment " << k << ", plane " << i;
        }
    }

    // The picture names both planes; the report, asked for by the include-text box, lists them.
    const T_RENDER_CALL_D* pLabels = nullptr;
    for (const T_RENDER_CALL_D& call : renderer.m_aCalls)
        if (call.nKind == T_RENDER_CALL_D::kLabels)
            pLabels = &call;
    ASSERT_NE(pLabels, nullptr);
    ASSERT_EQ(pLabels->aText.size(), 2u);
    EXPECT_EQ(pLabels->aText[0], "Cut-X");
    EXPECT_EQ(pLabels->aText[1], "Cut-Y");
    const std::string report = ReadBytes(m.strFolder + "LdfsFile.txt");
    EXPECT_NE(report.find(" * Plane Name : Cut-X"), std::string::npos);
    EXPECT_NE(report.find(" * Plane Name : Cut-Y"), std::string::npos);
    char line[64];
    std::snprintf(line, sizeof line, "   Fx: %14.4e", cuts[0].dArea * s[0]);
    EXPECT_NE(report.find(line), std::string::npos) << line;
    EXPECT_EQ(Win32MessageBoxCount(), 0);
}

struct Membrane {
    const char* pszCase;
    double dNxx, dNyy, dNxy;
    double dCutX0, dCutX1; // the cut line runs from (x0, 0, 0) to (x1, 0, 1.5)
};

void PrintTo(const Membrane& m, std::ostream* os)
{
    *os << "Nxx " << m.dNxx << ", Nyy " << m.dNyy << ", Nxy " << m.dNxy << ", cut x " << m.dCutX0 << " to " << m.dCutX1;
}

class PlateStripThroughDialog : public ForceSumDialogDisplay, public ::testing::WithParamInterface<Membrane> {};

// A plate strip in the plane y = 0 (local x = X, y = Z, z = -Y), 4 long in X and 1.5 wide in
// Z, under constant membrane forces N, cut along a line across it of length L and unit
// direction d = (dx, 0, dz). The plate plane's frame: first axis d, normal n = (dz, 0, -dx) in
// the plate, second axis the plate normal -Y. The traction on the cut is N n in the plate, so
// F = L (n.N n, d.N n, 0): an in-plane shear force stays in the plate's plane and never shows
// as an out-of-plane force, whatever the cut's angle.
TEST_P(PlateStripThroughDialog, MembraneForcesSumInThePlateOfTheCut)
{
    const Membrane& p = GetParam();
    BuildPlateStrip(m, 4, 3, 1.0, 0.5, 0.0, 0.0, 0.0, 0.4);
    const std::array<double, 6> f{p.dNxx, p.dNyy, p.dNxy, 0, 0, 0};
    AddItemRows(m, 23, PlateForceItems(), [&](double, double, double) { return f; });
    CPVSMeshMngrBrdgBase::m_bConsiderOnlyFaceOfSolid = 0;
    CDlgLclDirForSum* dlg = Open();
    ASSERT_NE(dlg, nullptr);
    const P3 p1{p.dCutX0, 0, 0}, p2{p.dCutX1, 0, 1.5}, p3{p.dCutX1 + 0.5, 0, 1.5};
    AddPlane(dlg, 1, "Across", p1, p2, p3);
    ASSERT_EQ(dlg->GetPlaneCount(), 1);
    const double dLength = std::hypot(p2[0] - p1[0], p2[2] - p1[2]);
    const double dx = (p2[0] - p1[0]) / dLength, dz = (p2[2] - p1[2]) / dLength;
    ExpectFrame(dlg, 0, {dz, 0, -dx}, {dx, 0, dz}, {0, -1, 0});

    CPVSVisualMethodLDFS* vm = ShowAll(dlg);
    ASSERT_NE(vm, nullptr);
    ASSERT_EQ(vm->m_aValue[0].GetSize(), 1);
    // In the local axes (x = X, y = Z): n = (dz, -dx), d = (dx, dz).
    const double n[2] = {dz, -dx}, d[2] = {dx, dz};
    const double t[2] = {p.dNxx * n[0] + p.dNxy * n[1], p.dNxy * n[0] + p.dNyy * n[1]};
    const double L = dLength * kLengthOut;
    EXPECT_NEAR(vm->m_aValue[0][0], L * (n[0] * t[0] + n[1] * t[1]), 1e-9) << "normal force";
    EXPECT_NEAR(vm->m_aValue[1][0], L * (d[0] * t[0] + d[1] * t[1]), 1e-9) << "in-plane force along the cut line";
    EXPECT_NEAR(vm->m_aValue[2][0], 0.0, 1e-9) << "no force out of the plate's plane";
    for (int k = 3; k < 6; ++k)
        EXPECT_NEAR(vm->m_aValue[k][0], 0.0, 1e-9) << "constant forces along the cut: no moment, k = " << k;
    EXPECT_EQ(Win32MessageBoxCount(), 0);
}

INSTANTIATE_TEST_SUITE_P(ForceSum, PlateStripThroughDialog,
                         ::testing::Values(Membrane{"PureInPlaneShearStraightCut", 0, 0, 50, 2.5, 2.5},
                                           Membrane{"PureInPlaneShearObliqueCut", 0, 0, 50, 2.0, 3.0},
                                           Membrane{"NormalForceStraightCut", 120, 0, 0, 2.5, 2.5},
                                           Membrane{"AllThreeObliqueCut", 120, -40, 50, 1.5, 3.5}),
                         [](const ::testing::TestParamInfo<Membrane>& i) { return std::string(i.param.pszCase); });

// A request the factory cannot build keeps no display and says so.
TEST_F(ForceSumDialogDisplay, RequestWithoutRecordBuildsNothing)
{
    BuildHexBlock(m, HexBlockGrid{1, 1, 1, 1.0, 1.0, 1.0});
    EXPECT_EQ(bridge->ShowUserDefModeDisplay(8, nullptr, 1, 0, 0), 0);
    EXPECT_EQ(host.GetMethod(), nullptr);
    EXPECT_EQ(host.GetRequestCount(), 1);
    EXPECT_EQ(host.GetShownCount(), 0);
}

} // namespace
