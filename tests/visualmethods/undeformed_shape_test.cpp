// The flow-path and factor-of-safety methods draw the undeformed shape under their result when,
// and only when, the visual state's shape mode is 3; the first pass draws nothing else.
#include "visualmethods/CPVSVisualMethodFOS.h"
#include "visualmethods/CPVSVisualMethodGlbFlowPath.h"

#include "PVSRendererBase.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

template <class METHOD>
class ShapeSpy : public METHOD {
public:
    using METHOD::METHOD;
    int RenderUndeformedShape(CPVSRendererBase* pRenderer) override
    {
        aDrawnInto.push_back(pRenderer);
        return 1;
    }
    std::vector<CPVSRendererBase*> aDrawnInto;
};

template <class METHOD>
class UndeformedShape : public ::testing::Test {};

using Methods = ::testing::Types<CPVSVisualMethodGlbFlowPath, CPVSVisualMethodFOS>;
TYPED_TEST_SUITE(UndeformedShape, Methods);

TYPED_TEST(UndeformedShape, DrawnUnderTheResultInShapeModeThreeOnly)
{
    T_PVIST_ALL_D vs;
    T_PVIST_ANIM_D as;
    T_VM_PARAM_D mp;
    mp.pVS = &vs;
    mp.pAS = &as;
    ShapeSpy<TypeParam> vm(mp);
    CPVSRendererRecorder r;
    for (int nMode : {0, 1, 2, 3, 4}) {
        vs.nShapeMode = nMode;
        vm.aDrawnInto.clear();
        EXPECT_EQ(vm.Render0(&r), 1);
        EXPECT_EQ(vm.aDrawnInto, nMode == 3 ? std::vector<CPVSRendererBase*>{&r} : std::vector<CPVSRendererBase*>{})
            << "shape mode " << nMode;
    }
    EXPECT_TRUE(r.m_aCalls.empty());
    T_VM_PARAM_D none;
    ShapeSpy<TypeParam> bare(none);
    EXPECT_EQ(bare.Render0(&r), 1) << "without a visual state";
    EXPECT_TRUE(bare.aDrawnInto.empty());
}

} // namespace
