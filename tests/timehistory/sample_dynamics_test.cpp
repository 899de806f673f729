// The sample's shaking case read through the engine in both stored forms: modal superposition
// and direct integration of the same motion are two algorithms and must agree.
#include "timehistory/CPVSTHEngine.h"

#include "SampleDynamics.h"
#include "SampleProject.h"

#include <gtest/gtest.h>

#include <cmath>
#include <ostream>
#include <string>
#include <vector>

namespace {

using namespace kvpvs::sample;

struct SampleHistory {
    const char* name;
    int code, kind, component;
};

void PrintTo(const SampleHistory& c, std::ostream* os)
{
    *os << "code " << c.code << ", result kind " << c.kind << ", component " << c.component;
}

class SampleDynamicsHistory : public ::testing::TestWithParam<SampleHistory> {};

TEST_P(SampleDynamicsHistory, ModalAndDirectFormsAgree)
{
    CDBDoc doc;
    SampleSummary sample;
    ASSERT_TRUE(BuildSampleProject(doc, SampleOptions(), sample));
    CZORDocBase::SetCurDoc(&doc);
    DynamicsOptions opt;
    opt.nSteps = 120;
    DynamicsSummary dyn;
    ASSERT_TRUE(BuildSampleDynamics(doc, opt, dyn));
    EXPECT_FALSE(BuildSampleDynamics(doc, opt, dyn)); // the cases exist already
    const SampleHistory c = GetParam();
    T_THRD_D s;
    s.nCode = c.code;
    s.nResultKind = c.kind;
    s.nComponent = c.component;
    s.nEntityK = c.code == 0 ? dyn.nNodeK : (c.code == 1 ? dyn.nTrussK : dyn.nBeamK);
    CPVSTHEngine engine;
    s.nAcasK = kAcasQuakeModal;
    std::vector<double> modal(engine.Run(&s)->begin(), engine.Run(&s)->end());
    s.nAcasK = kAcasQuakeDirect;
    CArray<double, double>* p = engine.Run(&s);
    std::vector<double> direct(p->begin(), p->end());
    ASSERT_EQ(static_cast<int>(modal.size()), opt.nSteps);
    ASSERT_EQ(direct.size(), modal.size());
    double peak = 0.0;
    for (double v : modal)
        peak = std::fmax(peak, std::fabs(v));
    EXPECT_GT(peak, 0.0);
    for (size_t i = 0; i < modal.size(); ++i)
        EXPECT_NEAR(modal[i], direct[i], 1e-9 * peak) << "step " << i;
    CZORDocBase::SetCurDoc(nullptr);
}

INSTANTIATE_TEST_SUITE_P(NodeTrussBeam, SampleDynamicsHistory,
                         ::testing::Values(SampleHistory{"NodeDisplacementDX", 0, 0, 0},
                                           SampleHistory{"NodeVelocityDZ", 0, 1, 2},
                                           SampleHistory{"NodeAccelerationDX", 0, 2, 0},
                                           SampleHistory{"TrussForce", 1, 0, 0}, SampleHistory{"TrussStress", 1, 1, 0},
                                           SampleHistory{"BeamMomentY", 2, 0, 4},
                                           SampleHistory{"BeamBendingStress", 2, 1, 5}),
                         [](const ::testing::TestParamInfo<SampleHistory>& i) { return std::string(i.param.name); });

} // namespace
