// Plate design end to end with the real display: a plate strip under a pure in-plane shear
// n_xy = tau, cut across by a vertical plane of length L. The force-sum dialog shows the sum
// F = (0, tau L, 0) in kN; Design runs the design display in millimetres and newtons and must
// write tau L x 1000 N, with the cut in millimetres and the plate's section and material in
// N and mm, and the file must read back to what the display broadcast.
#include "ForceSumFixtures.h"
#include "ForceSumItemRows.h"
#include "UserDefDisplayHost.h"
#include "design_test_support.h"

#include "design/CDlgPlateSolidDesign.h"
#include "design/CYRPC_DataTool.h"
#include "dialogs/CDlgLclDirForSum.h"
#include "dialogs/DialogControlIds.h"

#include "PVSMeshMngrBrdg.h"
#include "afx_standin.h"

#include <gtest/gtest.h>

#include <array>
#include <memory>

using namespace kvpvs::test;

namespace {

// Keeps the last broadcast, as the design dialog receives it.
class Listener : public CDataUpdateConnector {
public:
    void OnUpdateData(int index, T_LCLDIR_PLNE_KVR_D& plane, CPointInfoMap& points, CPlateCellInfoMap& plates,
                      CSolidCellInfoMap&, T_FORCESUM_D& sum) override
    {
        ++nCalls;
        nIndex = index;
        last = sum;
        nPoints = points.GetCount();
        nPlates = plates.GetCount();
        strName = plane.strName;
    }
    int nCalls = 0, nIndex = -1, nPoints = 0, nPlates = 0;
    T_FORCESUM_D last{};
    CString strName;
};

TEST(DesignEndToEnd, InPlaneShearGivesTheForceSumDialogsSumInNewtons)
{
    const double tau = 12.5;  // kN/m
    const double L = 1.5;     // m, the strip's height
    ForceSumModel m;
    ProgramFolder folder;
    m.doc.SetProgramPath((folder.path() + "/").c_str());
    BuildPlateStrip(m, 4, 3, 1.0, 0.5, 0.0, 0.0, 0.0, 0.4);
    AddItemRows(m, 23, PlateForceItems(), [&](double, double, double) { return std::array<double, 6>{0, 0, tau, 0, 0, 0}; });
    T_PLSIF_D step;
    CClassPLsif(m.doc.GetPostDB()).Get(m.nStepK, step);
    step.nStepKind = 25;
    CClassPLsif(m.doc.GetPostDB()).Set(m.nStepK, step);
    AddCase(m.doc, 1, 5, "Construction Stages", 1);
    T_LDFS_D plane;
    plane.strName = "Across";
    plane.nElemType = 1;
    const double p[3][3] = {{2, 0, 0}, {2, 0, L}, {2.5, 0, L}};
    for (int k = 0; k < 3; ++k) {
        plane.dP1[k] = p[0][k];
        plane.dP2[k] = p[1][k];
        plane.dP3[k] = p[2][k];
    }
    CClassLdfs(m.doc.GetModelDB()).TR_Add(plane);

    CView view;
    view.CreateWindowCore(nullptr);
    m.doc.SetActiveView(&view);
    CPVSMeshMngrBrdg bridge;
    bridge.SetWnd(&view);
    const double bb[6] = {0, 4, 0, 0, 0, L};
    bridge.SetBounds(bb);
    kvpvs::host::CUserDefDisplayHost host(nullptr);
    host.Install(bridge);
    host.InstallDoc(m.doc);
    CPVSMeshMngrBrdgBase::m_bConsiderOnlyFaceOfSolid = 0;

    // The force-sum dialog: the sum in the model's units.
    CDlgLclDirForSum::CreateOrActivate(&view);
    CDlgLclDirForSum* pSum = CDlgLclDirForSum::m_pMySelf;
    ASSERT_NE(pSum, nullptr);
    ASSERT_EQ(pSum->GetPlaneCount(), 1);
    AfxDriver::CheckItem(pSum, IDC_LDFS_LIST, 0, 1);
    ASSERT_TRUE(AfxDriver::Click(pSum, IDC_LDFS_SHOW));
    auto* vm = dynamic_cast<CPVSVisualMethodLDFS*>(host.GetMethod());
    ASSERT_NE(vm, nullptr);
    ASSERT_EQ(vm->m_aValue[1].GetSize(), 1);
    double dDialog[6];
    for (int k = 0; k < 6; ++k)
        dDialog[k] = vm->m_aValue[k][0];
    EXPECT_NEAR(dDialog[1], tau * L, 1e-9) << "F = L (n.N n, d.N n, 0)";
    EXPECT_NEAR(dDialog[0], 0.0, 1e-9);
    pSum->DestroyWindow();

    // The design dialog: the same plane and step, Design.
    Listener listener;
    CDlgPlateSolidDesign::CreateOrActivate(&view);
    CDlgPlateSolidDesign* pDlg = CDlgPlateSolidDesign::m_pMySelf;
    ASSERT_NE(pDlg, nullptr);
    ASSERT_TRUE(AfxDriver::CheckItem(pDlg, IDC_PSDS_PLANES, 0, 1));
    ASSERT_TRUE(AfxDriver::CheckItem(pDlg, IDC_PSDS_STEPS, 0, 1));
    ASSERT_TRUE(AfxDriver::Click(pDlg, IDC_PSDS_DESIGN));
    ASSERT_EQ(listener.nCalls, 1);
    EXPECT_EQ(listener.nIndex, 0);
    EXPECT_EQ(listener.strName, "Across");
    // 1 kN = 1000 N; 1 kN m = 1e6 N mm.
    const double factor[6] = {1e3, 1e3, 1e3, 1e6, 1e6, 1e6};
    for (int k = 0; k < 6; ++k)
        EXPECT_NEAR((&listener.last.FX)[k], dDialog[k] * factor[k], 1e-6 * factor[k]) << k;

    CYRPC_DataTool reader;
    ASSERT_EQ(reader.ReadDesignFile(folder.file("KvrDesign.txt").c_str()), 1);
    const T_YRP_CONVERT_TABLE_D& t = reader.GetTables();
    EXPECT_EQ(t.nForceUnit, 2);
    EXPECT_EQ(t.nLengthUnit, 0);
    const T_YRP_CONVERT_PLANE* pPlane = t.mPlane.PLookup(1);
    ASSERT_NE(pPlane, nullptr);
    ASSERT_EQ(pPlane->aForceSum.GetSize(), 1);
    EXPECT_EQ(pPlane->aForceSum[0].strName, step.strName);
    for (int k = 0; k < 6; ++k)
        EXPECT_NEAR(pPlane->aForceSum[0].dSum[k], (&listener.last.FX)[k], 5e-4) << "printed to three decimals";
    EXPECT_NEAR(pPlane->aForceSum[0].dSum[1], tau * L * 1000.0, 5e-4);
    // The cut in millimetres: its points span the strip's height of 1500 mm at x = 2000 mm.
    ASSERT_EQ(pPlane->mPoint.GetCount(), listener.nPoints);
    double zMin = 1e300, zMax = -1e300;
    for (int k = 1; k <= pPlane->mPoint.GetCount(); ++k) {
        const T_YRP_CONVERT_POINT* q = pPlane->mPoint.PLookup(k);
        ASSERT_NE(q, nullptr);
        EXPECT_NEAR(q->X, 2000.0, 5e-4);
        zMin = std::min(zMin, q->Z);
        zMax = std::max(zMax, q->Z);
    }
    EXPECT_NEAR(zMax - zMin, 1500.0, 5e-4);
    // Section and material in N and mm: t = 400 mm, E = 3e7 kN/m2 = 30000 N/mm2.
    ASSERT_EQ(pPlane->mCell.GetCount(), listener.nPlates);
    EXPECT_DOUBLE_EQ(pPlane->mCell.PLookup(1)->dThickness, 400.0);
    EXPECT_DOUBLE_EQ(pPlane->mCell.PLookup(1)->dElasticModulus, 30000.0);
    EXPECT_EQ(folder.WaitForRecord(1).size(), 1u);

    pDlg->DestroyWindow();
    kvpvs::host::CUserDefDisplayHost::UninstallDoc(m.doc);
    kvpvs::host::CUserDefDisplayHost::Uninstall(bridge);
    view.DestroyWindow();
}

} // namespace
