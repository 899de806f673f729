// The sample's base slab through the engine: a short shaking written as files and as the
// document's cases, each case connected with the files, the slab's stored functions recomputed
// from its PLTH records. Modal superposition and direct integration give the same series, and
// the nodal forces of a slab plate balance at every step, as the forces of any free element under
// any displacements do.
#include "timehistory/CPVSTHEngine.h"

#include "SampleDynamics.h"
#include "SampleProject.h"
#include "SampleResultFiles.h"
#include "SampleSlab.h"
#include "TempDir.h"

#include "ThisInfo.h"

#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <string>
#include <vector>

namespace {

using namespace kvpvs::sample;

class SampleSlabHistory : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(BuildSampleProject(doc, SampleOptions(), sample));
        ASSERT_TRUE(BuildSampleSlab(doc, sample, slab));
        CZORDocBase::SetCurDoc(&doc);
        opt.nSteps = 30;
        ASSERT_TRUE(BuildSampleDynamics(doc, opt, dyn));
        functions = StoreSampleSlabFunctions(doc, slab);
        std::string err;
        ASSERT_TRUE(WriteSampleResultFiles(doc, dir.file("sample"), opt, &files, &err)) << err;
        ASSERT_TRUE(ConnectSampleResultFiles(doc, kAcasQuakeModal, files));
        ASSERT_TRUE(ConnectSampleResultFiles(doc, kAcasQuakeDirect, files));
    }
    void TearDown() override { CZORDocBase::SetCurDoc(nullptr); }

    std::vector<double> Run(const T_THRD_D& s)
    {
        CArray<double, double>* p = engine.Run(&s);
        return std::vector<double>(p->GetData(), p->GetData() + p->GetSize());
    }

    CDBDoc doc;
    SampleSummary sample;
    SlabSummary slab;
    DynamicsOptions opt;
    DynamicsSummary dyn;
    std::vector<unsigned int> functions;
    kvpvs::testing::TempDir dir{"kvpvs_sample_slab_history"};
    SampleResultFiles files;
    CPVSTHEngine engine;
};

TEST_F(SampleSlabHistory, StoredSlabFunctionsAgreeBetweenModalAndDirect)
{
    ASSERT_EQ(functions.size(), 2u);
    T_THRD_D modal, direct;
    ASSERT_TRUE(CClassThrd(doc.GetModelDB()).Get(functions[0], modal));
    ASSERT_TRUE(CClassThrd(doc.GetModelDB()).Get(functions[1], direct));
    ASSERT_EQ(modal.nAcasK, kAcasQuakeModal);
    ASSERT_EQ(direct.nAcasK, kAcasQuakeDirect);
    const std::vector<double> a = Run(modal);
    const std::vector<double> b = Run(direct);
    ASSERT_EQ(static_cast<int>(a.size()), opt.nSteps);
    ASSERT_EQ(b.size(), a.size());
    double peak = 0.0;
    for (double v : a)
        peak = std::fmax(peak, std::fabs(v));
    // The slab bends: its mid-side and condensed centre nodes follow the shaking's transverse
    // motion, so the moment is far above round-off of the section's stiffness.
    EXPECT_GT(peak, 1e-3);
    for (std::size_t i = 0; i < a.size(); ++i)
        EXPECT_NEAR(a[i], b[i], 1e-12 * peak) << "step " << i + 1;
}

TEST_F(SampleSlabHistory, NodalForcesOfTheSlabPlateBalanceAtEveryStep)
{
    T_ELEM_D e;
    ASSERT_TRUE(CClassElem(doc.GetModelDB()).Get(slab.nWallK, e));
    ASSERT_EQ(e.aNodeK.GetSize(), 8);
    // The slab lies in a plane z = const with its first side along +x: element axes are global.
    std::array<std::array<double, 3>, 8> xyz{};
    for (int n = 0; n < 8; ++n) {
        T_NODE_D p;
        ASSERT_TRUE(CClassNode(doc.GetModelDB()).Get(e.aNodeK[n], p));
        for (std::size_t d = 0; d < 3; ++d)
            xyz[static_cast<std::size_t>(n)][d] = p.dXyz[d];
    }
    // f[node][component][step]: Fx, Fy, Fz, Mx, My, Mz at each node.
    std::vector<std::vector<std::vector<double>>> f(8, std::vector<std::vector<double>>(6));
    for (int pos = 0; pos < 8; ++pos)
        for (int comp = 0; comp < 6; ++comp) {
            T_THRD_D s;
            s.nCode = 4;
            s.nEntityK = slab.nWallK;
            s.nResultKind = 0;
            s.nPosition = pos;
            s.nComponent = comp;
            s.nAcasK = kAcasQuakeDirect;
            f[static_cast<std::size_t>(pos)][static_cast<std::size_t>(comp)] = Run(s);
            ASSERT_EQ(static_cast<int>(f[static_cast<std::size_t>(pos)][static_cast<std::size_t>(comp)].size()),
                      opt.nSteps);
        }
    double largest = 0.0;
    for (std::size_t i = 0; i < static_cast<std::size_t>(opt.nSteps); ++i) {
        // Sums of the forces, and of the moments about the x and y axes through node 1 (the
        // drilling freedom about the normal is left out: a sub-plate's drilling stiffness need not
        // vanish under a rigid turn in the plane).
        double sum[5] = {}, bound[5] = {};
        for (std::size_t n = 0; n < 8; ++n) {
            double F[6];
            for (std::size_t c = 0; c < 6; ++c)
                F[c] = f[n][c][i];
            const double dy = xyz[n][1] - xyz[0][1], dz = xyz[n][2] - xyz[0][2], dx = xyz[n][0] - xyz[0][0];
            const double terms[5][3] = {{F[0], 0, 0},
                                        {F[1], 0, 0},
                                        {F[2], 0, 0},
                                        {F[3], dy * F[2], -dz * F[1]},
                                        {F[4], dz * F[0], -dx * F[2]}};
            for (int k = 0; k < 5; ++k)
                for (double t : terms[k]) {
                    sum[k] += t;
                    bound[k] += std::fabs(t);
                }
        }
        for (int k = 0; k < 5; ++k) {
            largest = std::fmax(largest, bound[k]);
            EXPECT_NEAR(sum[k], 0.0, 1e-9 * bound[k] + 1e-300) << "sum " << k << ", step " << i + 1;
        }
    }
    EXPECT_GT(largest, 0.0);
}

} // namespace
