// Six- and eight-node plate histories end to end: the stored plate function run by the engine
// reads the element's centre (rows 49 and 55 of the library's result vector) from a PLTH record
// on real result files. Stretched in its plane and bent to constant curvature with factors that
// change from step to step, the plate gives at its centre, in output units, the surface stress
// D eps - (h2 / 2) D k, the membrane force h1 D eps and the moment (h2^3 / 12) D k.
#include "timehistory/CPVSTHEngine.h"
#include "timehistory/ElementResultsEntry.h"

#include "../recovery/drivers/plate_fixture.h"

#include "THResultBuilder.h"
#include "UnitCtrl.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

namespace {

namespace qp = kvpvs::testing::quadplate;
namespace pl = kvpvs::testing::plate;

constexpr double kStressF = 13.0, kForceLenF = 11.0, kMomentLenF = 7.0;
constexpr int kSteps = 4;
constexpr unsigned kAcas = 51, kThis = 8, kSlabK = 910;
double MembraneFactor(int i) { return std::cos(0.6 * i); }
double CurvatureFactor(int i) { return 0.4 + std::sin(0.5 * i); }
// u = a x + b y, v = b x + d y (no rotation about the normal); curvatures.
constexpr double kA = 1e-3, kB = -4e-4, kD = -2e-4;
constexpr double kKx = 3e-3, kKy = -1e-3, kKxy = 2e-3;

struct QuadCase {
    const char* name;
    pl::Plate (*element)();
};

void PrintTo(const QuadCase& c, std::ostream* os) { *os << c.name; }

class QuadPlateChain : public qp::QuadPlateTest, public ::testing::WithParamInterface<QuadCase> {
protected:
    void SetUp() override
    {
        CZORDocBase::SetCurDoc(&doc);
        CUnitCtrl* u = CDocCtrl::GetUnitCtrl(&doc);
        u->SetFactor(1, 1000.0);
        u->SetFactor(13, kMomentLenF);
        u->SetFactor(14, kForceLenF);
        u->SetFactor(17, kStressF);
    }
    void TearDown() override
    {
        kvpvs::timehistory::ResetElementResultsEntry();
        CZORDocBase::SetCurDoc(nullptr);
    }
    std::vector<double> Run(int kind, int component)
    {
        T_THRD_D s;
        s.nCode = 4;
        s.nEntityK = kSlabK;
        s.nResultKind = kind - 1;
        s.nPosition = 0; // the centre
        s.nComponent = component;
        s.nAcasK = kAcas;
        CArray<double, double>* a = engine.Run(&s);
        return std::vector<double>(a->GetData(), a->GetData() + a->GetSize());
    }

    CDBDoc doc;
    CPVSTHEngine engine;
};

TEST_P(QuadPlateChain, CentreStressForceAndMomentInOutputUnits)
{
    const pl::Plate p = GetParam().element();
    const std::vector<double> gm = pl::to_global(p, pl::membrane_field(p, kA, kB, kB, kD));
    const std::vector<double> gc = pl::to_global(p, pl::curvature_field(p, kKx, kKy, kKxy));
    std::vector<std::vector<double>> series;
    for (int i = 1; i <= kSteps; ++i) {
        std::vector<double> d(gm.size());
        for (std::size_t j = 0; j < d.size(); ++j)
            d[j] = MembraneFactor(i) * gm[j] + CurvatureFactor(i) * gc[j];
        series.push_back(d);
    }
    direct_series(series);
    builder.add_plth_records({quad_facts(p)});
    ASSERT_TRUE(builder.write(base));
    T_ELEM_D e;
    for (int k = 0; k < p.corners(); ++k)
        e.aNodeK.Add(static_cast<unsigned>(21 + k));
    CClassElem(doc.GetModelDB()).Set(kSlabK, e);
    std::vector<double> times;
    for (int i = 1; i <= kSteps; ++i)
        times.push_back(0.1 * i);
    CTHResultBuilder b(doc, kAcas, kThis, 1, times, 1);
    b.ConnectResultFiles(builder.elem_file_name(base).c_str(), 1, {{kSlabK, {1, 1}}});

    // Sig-xx(Top) (row 49), Fxx (row 55) and Mxx (row 58) at the centre.
    const std::vector<double> top = Run(2, 0);
    const std::vector<double> fxx = Run(3, 0);
    const std::vector<double> mxx = Run(3, 3);
    ASSERT_EQ(static_cast<int>(top.size()), kSteps);
    ASSERT_EQ(static_cast<int>(fxx.size()), kSteps);
    ASSERT_EQ(static_cast<int>(mxx.size()), kSteps);
    const auto Dp = pl::plane_stress(qp::kE, qp::kNu);
    for (int i = 1; i <= kSteps; ++i) {
        const double gm1 = MembraneFactor(i), gc1 = CurvatureFactor(i);
        const auto sigma = pl::apply(Dp, {gm1 * kA, gm1 * kD, gm1 * 2.0 * kB});
        const auto Dk = pl::apply(Dp, {gc1 * kKx, gc1 * kKy, gc1 * kKxy});
        const double scale = std::fabs(sigma[0]) + qp::kH2 * std::fabs(Dk[0]);
        const std::size_t s = static_cast<std::size_t>(i - 1);
        EXPECT_NEAR(top[s], kStressF * (sigma[0] - qp::kH2 / 2.0 * Dk[0]), 1e-9 * kStressF * scale) << "step " << i;
        EXPECT_NEAR(fxx[s], kForceLenF * qp::kH1 * sigma[0], 1e-9 * kForceLenF * qp::kH1 * scale) << "step " << i;
        EXPECT_NEAR(mxx[s], kMomentLenF * qp::kH2 * qp::kH2 * qp::kH2 / 12.0 * Dk[0],
                    1e-9 * kMomentLenF * qp::kH2 * qp::kH2 * scale)
            << "step " << i;
    }
}

INSTANTIATE_TEST_SUITE_P(Plates, QuadPlateChain,
                         ::testing::Values(QuadCase{"EightNodes", qp::rectangle8},
                                           QuadCase{"SixNodes", qp::triangle6}),
                         [](const ::testing::TestParamInfo<QuadCase>& i) { return std::string(i.param.name); });

} // namespace
