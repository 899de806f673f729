// Requests that a careless or corrupt host can make of the history functions: nodes it does not
// have, request words at the ends of their range, keys beyond 2^31. Each gets a clear failure
// or the right order, never a series that looks like a result.
#include "timehistory/CPVSTHCalcDispFunc.h"

#include "single_dof_model.h"

#include <gtest/gtest.h>

#include <climits>
#include <string>
#include <vector>

namespace {

using namespace thtest;

// A node without results: neither in the modal node records nor in the direct histories.
constexpr unsigned kNoNode = 99;

struct MissingNodeCase {
    const char* name;
    unsigned acas;
    int storedDispType; // 0 as stored, 1 with the ground motion, 2 relative to the second node
    unsigned node, second;
};

class MissingNode : public SingleDofModel, public ::testing::WithParamInterface<MissingNodeCase> {};

// With the ground motion on, a direct reading that ignored the host's failure gave the ground
// motion itself; relative to a second node it gave minus the second node's motion.
TEST_P(MissingNode, GivesNoSeries)
{
    const MissingNodeCase c = GetParam();
    EXPECT_TRUE(Run(Disp(c.acas, 0, 0, c.storedDispType, c.node, c.second)).empty());
    ASSERT_FALSE(Run(Disp(c.acas, 0, 0, c.storedDispType, 1, 2)).empty()); // the same request of a node that exists
}

INSTANTIATE_TEST_SUITE_P(
    ModalAndDirect, MissingNode,
    ::testing::Values(MissingNodeCase{"DirectWithGroundMotion", kDirectCase, 1, kNoNode, 0},
                      MissingNodeCase{"DirectAsStored", kDirectCase, 0, kNoNode, 0},
                      MissingNodeCase{"DirectRelativeToANode", kDirectCase, 2, kNoNode, 1},
                      MissingNodeCase{"DirectRelativeToAMissingNode", kDirectCase, 2, 1, kNoNode},
                      MissingNodeCase{"ModalWithGroundMotion", kModalCase, 1, kNoNode, 0},
                      MissingNodeCase{"ModalRelativeToANode", kModalCase, 2, kNoNode, 1}),
    [](const ::testing::TestParamInfo<MissingNodeCase>& info) { return std::string(info.param.name); });

// The function itself reports the failure: Calculate and the report reading give 0 and no values.
TEST_F(SingleDofModel, MissingNodeIsTheFunctionsFailure)
{
    CPostCtrlGeoTech* post = CTHResultBuilder::PostCtrl(doc);
    T_LCOM_D comb;
    post->MakeLoadComb(4, kDirectCase, comb);
    post->BeginQueryResult(comb, 1, 0);
    CPVSTHCalcDispFunc f;
    f.SetAnalTypeCtrl(ctrl[1]);
    T_THRD_D req; // run form: ground motion added, displacement
    req.nAcasK = kDirectCase;
    req.nEntityK = kNoNode;
    req.nResultKind = 1;
    req.nDispType = 2;
    ASSERT_EQ(f.Init(req), 1);
    EXPECT_EQ(f.Calculate(), 0);
    EXPECT_EQ(f.GetResultCount(), 0);
    CArray<double, double> out;
    double mx = 0, mn = 0;
    int smx = 0, smn = 0;
    EXPECT_EQ(f.CalcMaxMin(2, 2, 0, kNoNode, 0, out, mx, smx, mn, smn, 0, kSteps, 1), 0);
    EXPECT_EQ(out.GetSize(), 0);
    EXPECT_EQ(f.CalcMaxMin(2, 3, kNoNode, 1, 0, out, mx, smx, mn, smn, 0, kSteps, 1), 0);
    EXPECT_EQ(out.GetSize(), 0);
    req.nEntityK = 1;
    ASSERT_EQ(f.Init(req), 1);
    EXPECT_EQ(f.Calculate(), 1);
    EXPECT_EQ(f.GetResultCount(), kSteps);
    post->EndQueryResult();
}

} // namespace
