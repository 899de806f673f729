// Opening the 3-D cutting-plane dialog through the plane-dialog interface.
#include "dialogs/KVPVSDlgDefPlane.h"
#include "frame/IPvsDlgImpl.h"

#include "DBDoc.h"
#include "PVSMeshMngrBrdg.h"

#include <gtest/gtest.h>

#include <cstring>

namespace {

double g_destroyedOrigin[3];
double g_destroyedNormal[3];
int g_destroyCalls = 0;

void OnDraw(double*, double*, int) {}
void OnDestroyed(double* normal, double* origin)
{
    ++g_destroyCalls;
    std::memcpy(g_destroyedOrigin, origin, sizeof g_destroyedOrigin);
    std::memcpy(g_destroyedNormal, normal, sizeof g_destroyedNormal);
}

class PlaneDialogTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        g_destroyCalls = 0;
        CZORDocBase::SetCurDoc(&doc);
        view.CreateWindowCore(nullptr);
        bridge.SetWnd(&view);
        plane.dOrigin[0] = 1;
        plane.dOrigin[1] = 2;
        plane.dOrigin[2] = 3;
        plane.dNormal[2] = 1;
    }
    void TearDown() override
    {
        if (dlg && IsWindow(hOpened))
            DestroyWindow(hOpened);
        CZORDocBase::SetCurDoc(nullptr);
    }
    int Open() { return IPvsDlg::Instance()->DoModelessPVSDefPlane3D(&dlg, plane, (void*)&OnDraw, (void*)&OnDestroyed, 0); }

    CDBDoc doc;
    CWnd view;
    CPVSMeshMngrBrdg bridge;
    T_PVIST_PLNE_D plane;
    CDialog* dlg = nullptr;
    HWND hOpened = nullptr;
};

TEST_F(PlaneDialogTest, OpensOnceAndReopensAfterItsWindowIsDestroyed)
{
    ASSERT_EQ(Open(), 1);
    ASSERT_TRUE(dlg);
    hOpened = dlg->m_hWnd;
    auto* plDlg = dynamic_cast<CKVPVSDlgDefPlane*>(dlg);
    ASSERT_TRUE(plDlg);
    EXPECT_TRUE(dlg->IsWindowVisible());
    EXPECT_EQ(dlg->GetParent(), &view);
    EXPECT_EQ(plDlg->GetOrigin()[1], 2);
    EXPECT_EQ(plDlg->GetNormal()[2], 1);

    CDialog* first = dlg;
    EXPECT_EQ(Open(), 0) << "already open";
    EXPECT_EQ(dlg, first);

    ASSERT_TRUE(DestroyWindow(hOpened)); // the dialog frees itself; dlg now dangles
    EXPECT_EQ(g_destroyCalls, 1);
    EXPECT_EQ(g_destroyedOrigin[2], 3);
    EXPECT_EQ(g_destroyedNormal[2], 1);

    ASSERT_EQ(Open(), 1);
    hOpened = dlg->m_hWnd;
    EXPECT_TRUE(IsWindow(hOpened));
}

TEST_F(PlaneDialogTest, RefusesWithoutDocumentOrBridge)
{
    CZORDocBase::SetCurDoc(nullptr);
    EXPECT_EQ(Open(), 0);
    EXPECT_EQ(dlg, nullptr);
    CZORDocBase::SetCurDoc(&doc);
    {
        CPVSMeshMngrBrdgBase* saved = CPVSMeshMngrBrdgBase::m_pMySelf;
        CPVSMeshMngrBrdgBase::m_pMySelf = nullptr;
        EXPECT_EQ(Open(), 0);
        CPVSMeshMngrBrdgBase::m_pMySelf = saved;
    }
    EXPECT_EQ(dlg, nullptr);
}

TEST_F(PlaneDialogTest, UntypedBlockReadsOriginAndNormalAfterSixteenBytes)
{
    unsigned char block[16 + 6 * sizeof(double)];
    std::memset(block, 0xFF, 16);
    const double values[6] = {10, 20, 30, 0, 1, 0};
    std::memcpy(block + 16, values, sizeof values);
    auto* impl = dynamic_cast<IPvsDlgImpl*>(IPvsDlg::Instance());
    ASSERT_TRUE(impl);
    ASSERT_EQ(impl->DoModelessPVSDefPlane3D(&dlg, static_cast<void*>(block), (void*)&OnDraw, (void*)&OnDestroyed), 1);
    hOpened = dlg->m_hWnd;
    auto* plDlg = static_cast<CKVPVSDlgDefPlane*>(dlg);
    EXPECT_EQ(plDlg->GetOrigin()[0], 10);
    EXPECT_EQ(plDlg->GetOrigin()[2], 30);
    EXPECT_EQ(plDlg->GetNormal()[1], 1);
}

} // namespace
