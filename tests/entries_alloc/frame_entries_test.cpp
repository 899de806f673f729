// The frame's entries with each allocation failing in turn: a factory operation gives null (and
// frees what it had made), the library initialisation gives null, the plane-dialog interface
// gives 0 with no window, no registry entry and no call of the caller's destroy function; once
// nothing fails, each gives what it gives without the failure.
#include "sweep.h"

#include "frame/IFactoryPVSImpl.h"
#include "frame/IFactoryWPLPVSImpl.h"
#include "frame/IPvsDlgImpl.h"
#include "visualdata/PVSUserDefRecords.h"

#include "DBDoc.h"
#include "PVSMeshMngrBrdg.h"
#include "afx_standin.h"

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <ostream>
#include <string>

extern "C" void* Init_KV_pvsdll();

namespace {

using entries_test::SweepAllocations;

class FactoryEntries : public ::testing::Test {
protected:
    unsigned int AddElementRow()
    {
        T_PENGR_D e;
        e.nKind = 2;
        T_PVTIF_D r;
        r.nEngrK = CClassPEngr(doc.GetPostDB()).Add(e);
        r.nQuantity = 1;
        return CClassPVtif(doc.GetPostDB()).Add(r);
    }
    CDBDoc doc;
    IFactoryPVSImpl factory;
    IFactoryWPLPVSImpl edition;
};

// One operation of the module's factory or of the other edition's: makes its object, frees it,
// and says whether there was one.
struct FactoryCase {
    const char* name;
    std::function<bool(IFactoryPVS&, CDBDoc&, unsigned int nRowK, void* pRecord)> make;
    bool bEdition = false;
};

void PrintTo(const FactoryCase& c, std::ostream* os) { *os << c.name; }

template <class T>
bool Made(T* p)
{
    std::unique_ptr<T> owned(p);
    return owned != nullptr;
}

class FactoryOperation : public FactoryEntries, public ::testing::WithParamInterface<FactoryCase> {};

TEST_P(FactoryOperation, GivesNullWhileAnAllocationFails)
{
    const unsigned int nRowK = AddElementRow();
    // A force-sum settings record with three planes, for the copying operation.
    T_VD_LCLDIRSUM_HOB_D record;
    record.Initialize();
    T_PVIST_PLNE_D plane;
    T_VD_LCLDIRSUM_HOB_BASE_D axis;
    axis.strName = "a plane whose name does not fit a short string";
    for (int i = 0; i < 3; ++i) {
        record.aPlane.Add(plane);
        record.aAxis.Add(axis);
    }
    const auto& make = GetParam().make;
    IFactoryPVS& f = GetParam().bEdition ? static_cast<IFactoryPVS&>(edition) : factory;
    ASSERT_TRUE(make(f, doc, nRowK, &record)) << "the operation makes an object";
    bool bMade = false;
    const long long n =
        SweepAllocations([&] { bMade = make(f, doc, nRowK, &record); }, [&](long long) { EXPECT_FALSE(bMade); });
    EXPECT_GT(n, 0) << "the operation allocates";
    EXPECT_TRUE(bMade);
}

T_VD_PARAM_D Param(CDBDoc& doc, unsigned int nRowK) { return T_VD_PARAM_D{&doc, nRowK, 0, nullptr, 0}; }

const FactoryCase kFactoryCases[] = {
    {"ForceSumDisplayByType",
     [](IFactoryPVS& f, CDBDoc& d, unsigned k, void*) {
         T_VD_PARAM_D p = Param(d, k);
         return Made(f.CreateVisualDataByType(8, &p));
     }},
    {"DesignForceSumDisplayByType",
     [](IFactoryPVS& f, CDBDoc& d, unsigned k, void*) {
         T_VD_PARAM_D p = Param(d, k);
         return Made(f.CreateVisualDataByType(12, &p));
     }},
    {"ElementDisplayFromItsRow",
     [](IFactoryPVS& f, CDBDoc& d, unsigned k, void*) {
         T_VD_PARAM_D p = Param(d, k);
         return Made(f.CreateVisualData(&p));
     }},
    {"ElementDisplayOfSeveralIsoSurfaces",
     [](IFactoryPVS& f, CDBDoc& d, unsigned k, void*) {
         T_VD_PARAM_D p = Param(d, k);
         return Made(f.CreateVisualDataByMutiIso(&p));
     }},
    {"ForceSumMethod",
     [](IFactoryPVS& f, CDBDoc& d, unsigned, void*) {
         T_VM_PARAM_D p;
         p.pDoc = &d;
         p.nVMType = 15;
         return Made(f.CreateVisualMethod(&p));
     }},
    {"DesignForceSumMethod",
     [](IFactoryPVS& f, CDBDoc& d, unsigned, void*) {
         T_VM_PARAM_D p;
         p.pDoc = &d;
         p.nVMType = 19;
         return Made(f.CreateVisualMethod(&p));
     }},
    {"FiniteElementModelData",
     [](IFactoryPVS& f, CDBDoc&, unsigned, void*) {
         T_MD_PARAM_D p{1, 0};
         return Made(f.CreateModelData(&p));
     }},
    {"CopyOfAForceSumRecordWithPlanes",
     [](IFactoryPVS& f, CDBDoc&, unsigned, void* pRecord) { return Made(f.CreateAndCopyUserDefModeData(8, pRecord)); }},
    {"ColourTable", [](IFactoryPVS& f, CDBDoc&, unsigned, void*) { return Made(f.CreateColorTable(3)); }},
    // The other edition's own work: the row read, the host constructors, the record copy and
    // the colour table's row read (from the current document).
    {"EditionElementDisplayFromItsRow",
     [](IFactoryPVS& f, CDBDoc& d, unsigned k, void*) {
         T_VD_PARAM_D p = Param(d, k);
         return Made(f.CreateVisualData(&p));
     },
     true},
    {"EditionElementDisplayOfSeveralIsoSurfaces",
     [](IFactoryPVS& f, CDBDoc& d, unsigned k, void*) {
         T_VD_PARAM_D p = Param(d, k);
         return Made(f.CreateVisualDataByMutiIso(&p));
     },
     true},
    {"EditionCopyOfAForceSumRecordWithPlanes",
     [](IFactoryPVS& f, CDBDoc&, unsigned, void* pRecord) { return Made(f.CreateAndCopyUserDefModeData(8, pRecord)); },
     true},
    {"EditionFlowDischargeByType",
     [](IFactoryPVS& f, CDBDoc& d, unsigned k, void*) {
         T_VD_FLOWDISC_WPLKVR_D rec;
         rec.Initialize();
         T_VD_PARAM_D p = Param(d, k);
         p.pUserDefData = &rec;
         return Made(f.CreateVisualDataByType(4, &p));
     },
     true},
    {"EditionFlowDischargeMethod",
     [](IFactoryPVS& f, CDBDoc& d, unsigned, void*) {
         T_VM_PARAM_D p;
         p.pDoc = &d;
         p.nVMType = 8;
         return Made(f.CreateVisualMethod(&p));
     },
     true},
    {"EditionFiniteElementModelData",
     [](IFactoryPVS& f, CDBDoc&, unsigned, void*) {
         T_MD_PARAM_D p{1, 4};
         return Made(f.CreateModelData(&p));
     },
     true},
    {"EditionColourTableOfARow",
     [](IFactoryPVS& f, CDBDoc& d, unsigned k, void*) {
         CZORDocBase::SetCurDoc(&d);
         const bool bMade = Made(f.CreateColorTable(k));
         CZORDocBase::SetCurDoc(nullptr);
         return bMade;
     },
     true},
};

INSTANTIATE_TEST_SUITE_P(Operations, FactoryOperation, ::testing::ValuesIn(kFactoryCases),
                         [](const ::testing::TestParamInfo<FactoryCase>& i) { return std::string(i.param.name); });

TEST(LibraryInitialisation, GivesNullWhileTheLibraryRecordCannotBeMade)
{
    const int nBefore = AfxStandInDynLinkLibraryCount();
    void* p = nullptr;
    SweepAllocations([&] { p = Init_KV_pvsdll(); },
                     [&](long long) {
                         EXPECT_EQ(p, nullptr);
                         EXPECT_EQ(AfxStandInDynLinkLibraryCount(), nBefore) << "no record is left in the chain";
                     });
    ASSERT_NE(p, nullptr);
    EXPECT_EQ(AfxStandInDynLinkLibraryCount(), nBefore + 1);
    delete static_cast<CDynLinkLibrary*>(p);
}

int g_destroyCalls = 0;
void OnDraw(double*, double*, int) {}
void OnDestroyed(double*, double*) { ++g_destroyCalls; }

// The dialog owns a VTK plane widget, and VTK's constructors are not exception-safe: a small
// allocation failing inside one ends in VTK's garbage collector whatever the caller does. So
// only allocations of at least this size fail here, as in the visual entries' sweep.
constexpr std::size_t kVtkSafeBytes = 520;

TEST(PlaneDialogInterface, OpensNothingWhileAnAllocationFails)
{
    CDBDoc doc;
    CWnd view;
    CPVSMeshMngrBrdg bridge;
    CZORDocBase::SetCurDoc(&doc);
    view.CreateWindowCore(nullptr);
    bridge.SetWnd(&view);
    T_PVIST_PLNE_D plane;
    plane.dNormal[2] = 1;
    g_destroyCalls = 0;

    CDialog* const pNone = reinterpret_cast<CDialog*>(0x1);
    CDialog* pDlg = pNone;
    int nResult = -1;
    const int nWindows = Win32LiveWindowCount();
    SweepAllocations(
        [&] { nResult = IPvsDlg::Instance()->DoModelessPVSDefPlane3D(&pDlg, plane, (void*)&OnDraw, (void*)&OnDestroyed, 0); },
        [&](long long) {
            EXPECT_EQ(nResult, 0);
            EXPECT_EQ(pDlg, pNone) << "the caller's pointer is left as it was";
            EXPECT_EQ(Win32LiveWindowCount(), nWindows) << "no window stays";
            EXPECT_EQ(g_destroyCalls, 0) << "the caller hears of no dialog";
        },
        kVtkSafeBytes);
    ASSERT_EQ(nResult, 1);
    ASSERT_NE(pDlg, pNone);
    const HWND h = pDlg->m_hWnd;
    EXPECT_TRUE(IsWindow(h));
    EXPECT_EQ(IPvsDlg::Instance()->DoModelessPVSDefPlane3D(&pDlg, plane, (void*)&OnDraw, (void*)&OnDestroyed, 0), 0)
        << "the opened dialog is registered: a second request opens none";
    DestroyWindow(h);
    EXPECT_EQ(g_destroyCalls, 1);
    view.DestroyWindow();
    CZORDocBase::SetCurDoc(nullptr);
}

} // namespace
