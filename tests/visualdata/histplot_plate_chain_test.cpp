// The stress history plot of a plate on real result files: a four-node plate stretched and
// bent by fields whose factors change from step to step shows, at step k, entry k of its
// stored plate function at the centre, for every unit force and stress component.
#include "visualdata/CPVSVisualDataHistoryPlotStrs.h"

#include "timehistory/CPVSTHEngine.h"
#include "timehistory/ElementResultsEntry.h"

#include "../recovery/drivers/plate_fixture.h"

#include "DBDoc.h"
#include "PostVisualState.h"
#include "THResultBuilder.h"

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

namespace {

namespace pl = kvpvs::testing::plate;

constexpr int kSteps = 4;
constexpr unsigned kCase = 31, kThisK = 7, kPlateK = 900;
// Size of the bending moments per length: E h^3 / 12 times the curvature 3e-3.
constexpr double kBending = pl::kE * pl::kH2 * pl::kH2 * pl::kH2 / 12.0 * 3e-3;

class PlatePlot : public pl::PlateFamilyTest {
protected:
    void SetUp() override { CZORDocBase::SetCurDoc(&doc); }
    void TearDown() override
    {
        kvpvs::timehistory::ResetElementResultsEntry();
        CZORDocBase::SetCurDoc(nullptr);
    }
    CDBDoc doc;
    CPVSTHEngine engine;
};

TEST_F(PlatePlot, StepValueIsTheStoredFunctionsEntry)
{
    const pl::Plate p = pl::parallelogram();
    const std::vector<double> gm = pl::to_global(p, pl::membrane_field(p, 1e-3, -4e-4, 7e-4, -2e-4));
    const std::vector<double> gc = pl::to_global(p, pl::curvature_field(p, 3e-3, -1e-3, 2e-3));
    std::vector<std::vector<double>> series;
    for (int i = 1; i <= kSteps; ++i) {
        std::vector<double> d(gm.size());
        for (std::size_t j = 0; j < d.size(); ++j)
            d[j] = std::cos(0.7 * i) * gm[j] + (0.5 + std::sin(0.4 * i)) * gc[j];
        series.push_back(d);
    }
    direct_history(series);
    add_plates({facts(p, 0)});
    ASSERT_TRUE(builder.write(base));
    T_ELEM_D e;
    e.nCellType = 9;
    for (int k = 0; k < p.corners(); ++k)
        e.aNodeK.Add(static_cast<unsigned>(FIRST_NODE + k));
    CClassElem(doc.GetModelDB()).Set(kPlateK, e);
    std::vector<double> times;
    for (int i = 1; i <= kSteps; ++i)
        times.push_back(0.02 * i);
    CTHResultBuilder b(doc, kCase, kThisK, 1, times, 1);
    b.ConnectResultFiles(builder.elem_file_name(base).c_str(), 1, {{kPlateK, {1, 1}}});
    b.Ctrl()->GetSeqIdInfo()->SetElemTypeCode(kPlateK, 5);

    // Unit forces (8 components) are the function's result kind 3, stresses (6) kind 2.
    for (int nType : {11, 12})
        for (int comp = 0; comp < (nType == 11 ? 8 : 6); ++comp) {
            T_THRD_D s;
            s.nCode = 4;
            s.nEntityK = kPlateK;
            s.nResultKind = nType == 11 ? 2 : 1;
            s.nPosition = 0;
            s.nComponent = comp;
            s.nAcasK = kCase;
            const CArray<double, double>* pSeries = engine.Run(&s);
            ASSERT_TRUE(pSeries);
            ASSERT_EQ(pSeries->GetSize(), kSteps);
            // Constant curvatures carry no transverse shear: Vxx and Vyy are zero, which the
            // history build of the library gives exactly and its single-step build to within
            // the rounding of the bending terms.
            const bool bShear = nType == 11 && comp >= 6;
            for (int k = 0; k < kSteps; ++k) {
                T_VD_HISTPLOT_TVCKVR_D rec;
                rec.Initialize();
                rec.m_nAcasKey = kCase;
                rec.m_nResultType = nType;
                rec.m_nComponent = comp;
                rec.m_nTimeStep = k;
                T_VD_PARAM_D prm;
                prm.pDoc = &doc;
                prm.pUserDefData = &rec;
                CPVSVisualDataHistoryPlotStrs vd(7, prm);
                T_PVIST_ALL_D vs;
                vs.bAverage = 0;
                ASSERT_EQ(vd.MakeVData(&vs, nullptr, 0), 1);
                if (bShear) {
                    EXPECT_EQ((*pSeries)[k], 0.0);
                    EXPECT_NEAR(vd.GetElemCenterVal(kPlateK), 0.0, 1e-12 * kBending) << "component " << comp;
                } else {
                    EXPECT_NE((*pSeries)[k], 0.0);
                    EXPECT_EQ(vd.GetElemCenterVal(kPlateK), (*pSeries)[k])
                        << "result type " << nType << ", component " << comp << ", step " << k;
                }
            }
        }
}

} // namespace
