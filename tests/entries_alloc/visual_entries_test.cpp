// The force-sum display's entries with each allocation failing in turn, on a 2x2x2 block under
// uniform stress szz = 10 cut at z = 1 (force = area x stress: Fz = 4 x 10 along the normal):
// MakeVData gives 0 and keeps no values; Process gives 1 and the display keeps the cuts,
// values, legend and data sets of the last Process.
#include "sweep.h"

#include "ForceSumFixtures.h"
#include "ProfileGridFixtures.h"
#include "PVSLegendObjectUserDefMode.h"

#include <gtest/gtest.h>

#include <vtkDataSet.h>
#include <vtkObject.h>
#include <vtkPolyData.h>

#include <array>
#include <vector>

namespace {

using namespace kvpvs::test;
using entries_test::SweepAllocations;

constexpr std::size_t kLargeAllocation = 520;

struct Cut {
    std::vector<double> aValue[6];
    vtkIdType nPstPoints = 0, nPreCells = 0;
    int nPlanes = 0, nLegend = 0;
};

Cut CutOf(CPVSVisualMethodLDFS& vm)
{
    Cut c;
    for (int k = 0; k < 6; ++k)
        c.aValue[k].assign(vm.m_aValue[k].begin(), vm.m_aValue[k].end());
    c.nPstPoints = vm.GetDataSetPst()->GetNumberOfPoints();
    c.nPreCells = vm.GetDataSetPre()->GetNumberOfCells();
    c.nPlanes = vm.m_aPlaneResult.GetSize();
    c.nLegend = CPVSLegendObjectUserDefMode::m_arLegendDesc.GetSize();
    return c;
}

void ExpectSame(const Cut& a, const Cut& b)
{
    for (int k = 0; k < 6; ++k)
        EXPECT_EQ(a.aValue[k], b.aValue[k]) << "component " << k;
    EXPECT_EQ(a.nPstPoints, b.nPstPoints);
    EXPECT_EQ(a.nPreCells, b.nPreCells);
    EXPECT_EQ(a.nPlanes, b.nPlanes);
    EXPECT_EQ(a.nLegend, b.nLegend);
}

class ForceSumDisplayEntries : public ::testing::Test {
protected:
    void SetUp() override
    {
        // A VTK object whose construction fails complains of its reference count while it goes.
        vtkObject::GlobalWarningDisplayOff();
        BuildHexBlock(m, HexBlockGrid{});
        AddStressRows(m, [](double, double, double) { return std::array<double, 6>{0, 0, 10, 0, 0, 0}; });
        FillRecord(d.rec, m, 0, {T_TEST_PLANE{{0, 0, 1}, {{0, 0, 1}, {1, 0, 0}, {0, 1, 0}}, "z = 1"}});
        d.rec.bIncludeText = 0;
        d.Build(m, 8);
    }
    void TearDown() override { vtkObject::GlobalWarningDisplayOn(); }
    ForceSumModel m;
    LdfsDisplay d;
};

TEST_F(ForceSumDisplayEntries, MakeVDataKeepsNoValuesWhileAnAllocationFails)
{
    int nResult = -1;
    const long long n = SweepAllocations([&] { nResult = d.pVD->MakeVData(&d.vs, &d.as, 0); },
                                         [&](long long) {
                                             EXPECT_EQ(nResult, 0);
                                             for (int c = 0; c < 12; ++c)
                                                 EXPECT_EQ(d.pVD->m_aCompVData.GetCount(c), 0) << "component " << c;
                                         });
    EXPECT_GT(n, 0);
    EXPECT_EQ(nResult, 1);
    EXPECT_EQ(d.pVD->m_aCompVData.GetCount(2), 8) << "szz of the eight hexahedra";
}

TEST_F(ForceSumDisplayEntries, ProcessKeepsTheLastCutWhileAnAllocationFails)
{
    ASSERT_EQ(d.pVM->Process(), 1);
    const Cut last = CutOf(*d.pVM);
    ASSERT_EQ(last.aValue[0].size(), 1u);
    EXPECT_NEAR(last.aValue[0][0], 40.0, 1e-9) << "Fx along the plane's first axis, the normal: area 4 x szz 10";
    ASSERT_GT(last.nPstPoints, 0);

    // The next Process of a plane at z = 0.5 meets the failures.
    d.pVD->m_pLdfsData->aPlane[0].dOrigin[2] = 0.5;
    // VTK's garbage collector allocates inside destructors, where no caller could catch: the
    // sweep fails the allocations above half a kilobyte (grids, arrays, the cut's buffers).
    int nResult = -1;
    const long long n = SweepAllocations([&] { nResult = d.pVM->Process(); },
                                         [&](long long) {
                                             EXPECT_EQ(nResult, 1);
                                             ExpectSame(CutOf(*d.pVM), last);
                                         },
                                         kLargeAllocation);
    // At least the cut's point table and the index that a failure leaves to be rebuilt.
    EXPECT_GE(n, 3) << "the cut allocates";
    EXPECT_EQ(nResult, 1);
    ASSERT_EQ(d.pVM->m_aPlaneResult.GetSize(), 1);
    EXPECT_DOUBLE_EQ(d.pVM->m_aPlaneResult[0].dCentre[2], 0.5);
}

// The profile-grid display over a 4 x 4 x 4 box with bands and an index line with its area: while
// an allocation fails, Process gives 0 and leaves no display.
TEST(ProfileGridDisplayEntries, ProcessLeavesNoDisplayWhileAnAllocationFails)
{
    vtkObject::GlobalWarningDisplayOff();
    ProfileGridModel m;
    m.BuildBlock(MeshKind::Box, 4, 4, 4, 1.0);
    LinearField f;
    f.a = -0.01;
    f.g = {-0.002, 0.0, 0.0};
    ProfileGridDisplay d;
    d.rec.Initialize();
    d.rec.nPVtifK = m.AddNodeRow(f);
    d.rec.nSpfgK = m.AddGrid("G", {0.5, 0.5, 2.0}, {3.5, 0.5, 2.0}, {0.5, 3.5, 2.0}, 6, 6);
    d.rec.bBandContour = 1;
    d.rec.bArea = 1;
    T_SPFG_GRID_IDX_BASE line{1, 3, 12, 0.0};
    d.rec.GridIdx.aIdx.Add(line);
    d.Build(m);
    int nResult = -1;
    const long long n = SweepAllocations([&] { nResult = d.pVM->Process(); },
                                         [&](long long) {
                                             EXPECT_EQ(nResult, 0);
                                             EXPECT_EQ(d.pVM->GetGridSurface()->GetNumberOfPoints(), 0);
                                             EXPECT_EQ(d.pVM->GetProfileCurves()->GetNumberOfPoints(), 0);
                                             EXPECT_EQ(d.pVM->GetDataSetPst()->GetNumberOfCells(), 0);
                                             EXPECT_EQ(d.pVM->GetLabelTexts().GetSize(), 0);
                                         },
                                         kLargeAllocation);
    vtkObject::GlobalWarningDisplayOn();
    EXPECT_GT(n, 3);
    EXPECT_EQ(nResult, 1);
    EXPECT_EQ(d.pVM->GetLabelTexts().GetSize(), 1);
}

} // namespace
