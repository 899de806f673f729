// The sample's stored plate functions on its own result files: a short shaking written as files
// and as the document's cases, each case connected with the files, and the wall plate's histories
// recomputed through the engine. Modal superposition and direct integration give the same
// series; the nodal force is the plate's own matrix times its displacements in element axes,
// built here from the shaking's closed form; every plate and soil component converts with the
// unit of what it is.
#include "timehistory/CPVSTHEngine.h"

#include "SampleDynamics.h"
#include "SampleProject.h"
#include "SampleResultFiles.h"
#include "TempDir.h"

#include "DBModelRecords.h"
#include "ThisInfo.h"
#include "UnitCtrl.h"
#include "result_files/reference_elements.h"
#include "result_files/reference_shell.h"

#include <gtest/gtest.h>

#include <cmath>
#include <map>
#include <string>
#include <vector>

namespace {

using namespace kvpvs::sample;
namespace rf = kvpvs::resultfiles;

class SamplePlateHistory : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(BuildSampleProject(doc, SampleOptions(), sample));
        CZORDocBase::SetCurDoc(&doc);
        opt.nSteps = 30;
        ASSERT_TRUE(BuildSampleDynamics(doc, opt, dyn));
        ASSERT_NE(dyn.nPlateK, 0u);
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
    DynamicsOptions opt;
    DynamicsSummary dyn;
    kvpvs::testing::TempDir dir{"kvpvs_sample_plate"};
    SampleResultFiles files;
    CPVSTHEngine engine;
};

TEST_F(SamplePlateHistory, StoredPlateFunctionsAgreeBetweenModalAndDirect)
{
    CClassThrd thrd(doc.GetModelDB());
    CArray<unsigned int, unsigned int> keys;
    thrd.GetKeyList(keys);
    std::vector<T_THRD_D> plates[2];
    for (int i = 0; i < keys.GetSize(); ++i) {
        T_THRD_D f;
        ASSERT_TRUE(thrd.Get(keys[i], f));
        if (f.nCode == 4)
            plates[f.nAcasK == kAcasQuakeModal ? 0 : 1].push_back(f);
    }
    ASSERT_EQ(plates[0].size(), 2u); // centre Mxx and a nodal force per case
    ASSERT_EQ(plates[1].size(), 2u);
    for (std::size_t j = 0; j < 2; ++j) {
        const std::vector<double> modal = Run(plates[0][j]);
        const std::vector<double> direct = Run(plates[1][j]);
        ASSERT_EQ(static_cast<int>(modal.size()), opt.nSteps) << plates[0][j].strName.GetString();
        ASSERT_EQ(direct.size(), modal.size());
        double peak = 0.0;
        for (double v : modal)
            peak = std::fmax(peak, std::fabs(v));
        EXPECT_GT(peak, 0.0);
        for (std::size_t i = 0; i < modal.size(); ++i)
            EXPECT_NEAR(modal[i], direct[i], 1e-12 * peak) << plates[0][j].strName.GetString() << " step " << i;
    }
}

TEST_F(SamplePlateHistory, NodalForcesAreThePlatesMatrixTimesTheShakingsDisplacements)
{
    T_ELEM_D e;
    ASSERT_TRUE(CClassElem(doc.GetModelDB()).Get(dyn.nPlateK, e));
    ASSERT_EQ(e.aNodeK.GetSize(), 4);
    T_GMAT_D m;
    T_ATTR_D a;
    T_GPRO_D sec;
    ASSERT_TRUE(CClassGmat(doc.GetModelDB()).Get(e.nMatlK, m));
    ASSERT_TRUE(CClassAttr(doc.GetModelDB()).Get(e.nPropK, a));
    ASSERT_TRUE(CClassGpro(doc.GetModelDB()).Get(a.nGproK, sec));
    std::vector<rf::Point3> corners;
    for (int k = 0; k < 4; ++k) {
        T_NODE_D n;
        ASSERT_TRUE(CClassNode(doc.GetModelDB()).Get(e.aNodeK[k], n));
        corners.push_back({n.dXyz[0], n.dXyz[1], n.dXyz[2]});
    }
    const rf::Axes3 T = rf::flat_element_axes(corners);
    const std::vector<double> K =
        rf::shell_stiffness_local(corners, T, {m.dElast, m.dPoisson, sec.dThickness, sec.dThickness});
    double kmax = 0.0;
    for (double v : K)
        kmax = std::fmax(kmax, std::fabs(v));
    for (int pos = 0; pos < 4; ++pos)
        for (int comp = 0; comp < 6; ++comp) {
            T_THRD_D s;
            s.nCode = 4;
            s.nEntityK = dyn.nPlateK;
            s.nPosition = pos;
            s.nComponent = comp;
            s.nAcasK = kAcasQuakeDirect;
            const std::vector<double> got = Run(s);
            ASSERT_EQ(static_cast<int>(got.size()), opt.nSteps);
            for (int step = 1; step <= opt.nSteps; ++step) {
                // Global displacements of the shaking (held freedoms at rest), turned into element axes.
                std::vector<double> L(24, 0.0);
                double umax = 0.0;
                for (int k = 0; k < 4; ++k) {
                    double g[6] = {};
                    for (int d = 1; d <= 6; ++d) {
                        if (files.equations.at(e.aNodeK[k])[static_cast<std::size_t>(d - 1)] == 0)
                            continue;
                        for (int mode = 1; mode <= opt.nModes; ++mode) {
                            double q, v, acc;
                            QuakeModalCoordinate(mode - 1, opt.dDt * step, q, v, acc);
                            g[d - 1] += q * SampleModeShape(mode, corners[static_cast<std::size_t>(k)].data(),
                                                            files.dBaseZ, files.dHeight, d);
                        }
                    }
                    for (int half = 0; half < 2; ++half)
                        for (std::size_t r = 0; r < 3; ++r) {
                            double& l = L[static_cast<std::size_t>(6 * k + 3 * half) + r];
                            for (std::size_t c = 0; c < 3; ++c)
                                l += T[r][c] * g[3 * half + static_cast<int>(c)];
                            umax = std::fmax(umax, std::fabs(l));
                        }
                }
                double f = 0.0;
                const std::size_t row = static_cast<std::size_t>(6 * pos + comp);
                for (std::size_t c = 0; c < 24; ++c)
                    f += K[row + 24 * c] * L[c];
                EXPECT_NEAR(got[static_cast<std::size_t>(step - 1)], f, 1e-10 * kmax * umax * 24)
                    << "node " << pos << ", component " << comp << ", step " << step;
            }
        }
}

TEST_F(SamplePlateHistory, StoredSoilFunctionsAgreeBetweenModalAndDirect)
{
    ASSERT_NE(dyn.nSoilK, 0u);
    ASSERT_EQ(files.solidRecord.count(dyn.nSoilK), 1u);
    CClassThrd thrd(doc.GetModelDB());
    CArray<unsigned int, unsigned int> keys;
    thrd.GetKeyList(keys);
    std::vector<T_THRD_D> soil[2];
    for (int i = 0; i < keys.GetSize(); ++i) {
        T_THRD_D f;
        ASSERT_TRUE(thrd.Get(keys[i], f));
        if (f.nCode == 5)
            soil[f.nAcasK == kAcasQuakeModal ? 0 : 1].push_back(f);
    }
    ASSERT_EQ(soil[0].size(), 1u);
    ASSERT_EQ(soil[1].size(), 1u);
    const std::vector<double> modal = Run(soil[0][0]);
    const std::vector<double> direct = Run(soil[1][0]);
    ASSERT_EQ(static_cast<int>(modal.size()), opt.nSteps);
    ASSERT_EQ(direct.size(), modal.size());
    double peak = 0.0;
    for (double v : modal)
        peak = std::fmax(peak, std::fabs(v));
    EXPECT_GT(peak, 0.0);
    for (std::size_t i = 0; i < modal.size(); ++i)
        EXPECT_NEAR(modal[i], direct[i], 1e-12 * peak) << "step " << i;
}

TEST_F(SamplePlateHistory, SoilCentreStressIsTheReferenceHexahedronsRowTimesTheShakingsDisplacements)
{
    T_ELEM_D e;
    ASSERT_TRUE(CClassElem(doc.GetModelDB()).Get(dyn.nSoilK, e));
    ASSERT_EQ(e.aNodeK.GetSize(), 8);
    T_GMAT_D m;
    ASSERT_TRUE(CClassGmat(doc.GetModelDB()).Get(e.nMatlK, m));
    std::vector<rf::Point3> corners;
    for (int k = 0; k < 8; ++k) {
        T_NODE_D n;
        ASSERT_TRUE(CClassNode(doc.GetModelDB()).Get(e.aNodeK[k], n));
        corners.push_back({n.dXyz[0], n.dXyz[1], n.dXyz[2]});
    }
    const rf::StoredMatrix R = rf::solid_reference_matrix(corners, m.dElast, m.dPoisson);
    T_THRD_D s;
    s.nCode = 5;
    s.nEntityK = dyn.nSoilK;
    s.nResultKind = 1;
    s.nComponent = 2; // Sig-zz at the centre: the matrix's row 27
    s.nAcasK = kAcasQuakeDirect;
    const std::vector<double> got = Run(s);
    ASSERT_EQ(static_cast<int>(got.size()), opt.nSteps);
    double peak = 0.0;
    for (int step = 1; step <= opt.nSteps; ++step) {
        double sum = 0.0, bound = 0.0;
        for (int k = 0; k < 8; ++k)
            for (int d = 1; d <= 3; ++d) {
                if (files.equations.at(e.aNodeK[k])[static_cast<std::size_t>(d - 1)] == 0)
                    continue;
                double u = 0.0;
                for (int mode = 1; mode <= opt.nModes; ++mode) {
                    double q, v, acc;
                    QuakeModalCoordinate(mode - 1, opt.dDt * step, q, v, acc);
                    u += q * SampleModeShape(mode, corners[static_cast<std::size_t>(k)].data(), files.dBaseZ,
                                             files.dHeight, d);
                }
                sum += R(27, 6 * k + d) * u;
                bound += std::fabs(R(27, 6 * k + d) * u);
            }
        peak = std::fmax(peak, std::fabs(sum));
        EXPECT_NEAR(got[static_cast<std::size_t>(step - 1)], sum, 1e-10 * bound) << "step " << step;
    }
    EXPECT_GT(peak, 0.0);
}

TEST_F(SamplePlateHistory, OnlyTheShakingCasesConnect)
{
    EXPECT_FALSE(ConnectSampleResultFiles(doc, 777, files));
}

// Every result kind, position and component of the wall plate and of the soil hexahedron, read
// from the files once in the model's units and once with a factor of its own for every unit
// type: the second is the first times the factor of what the component is (forces, moments,
// stresses, forces and moments per length; strains carry no unit).
TEST_F(SamplePlateHistory, EveryComponentConvertsWithTheUnitOfWhatItIs)
{
    struct Family {
        const char* name;
        int stored_code;
        unsigned elem;
        int positions[3], components[3];
        int (*unit)(int kind, int c);
    };
    const Family families[] = {
        {"plate", 4, dyn.nPlateK, {4, 5, 5}, {6, 6, 8},
         [](int k, int c) { return k == 1 ? (c < 3 ? 2 : 12) : k == 2 ? 17 : (c >= 3 && c <= 5 ? 13 : 14); }},
        {"solid", 5, dyn.nSoilK, {8, 9, 9}, {3, 6, 6}, [](int k, int) { return k == 1 ? 2 : k == 2 ? 17 : 0; }},
    };
    const std::map<int, double> factors = {{0, 1.0}, {1, 3.0}, {2, 5.0}, {12, 7.0}, {13, 11.0}, {14, 13.0}, {17, 17.0}};
    CUnitCtrl* u = CDocCtrl::GetUnitCtrl(&doc);
    for (const Family& f : families)
        for (int kind = 1; kind <= 3; ++kind)
            for (int pos = 0; pos < f.positions[kind - 1]; ++pos)
                for (int comp = 0; comp < f.components[kind - 1]; ++comp) {
                    T_THRD_D s;
                    s.nCode = f.stored_code;
                    s.nEntityK = f.elem;
                    s.nResultKind = kind - 1;
                    s.nPosition = pos;
                    s.nComponent = comp;
                    s.nAcasK = kAcasQuakeModal;
                    for (const auto& [type, factor] : factors)
                        u->SetFactor(type, 1.0);
                    const std::vector<double> model = Run(s);
                    for (const auto& [type, factor] : factors)
                        u->SetFactor(type, factor);
                    const std::vector<double> out = Run(s);
                    ASSERT_EQ(static_cast<int>(model.size()), opt.nSteps) << f.name;
                    ASSERT_EQ(out.size(), model.size());
                    const double factor = factors.at(f.unit(kind, comp));
                    for (std::size_t i = 0; i < out.size(); ++i)
                        EXPECT_NEAR(out[i], factor * model[i], 1e-12 * std::fabs(factor * model[i]) + 1e-12)
                            << f.name << ", result kind " << kind << ", position " << pos << ", component " << comp
                            << ", step " << i + 1;
                }
}

} // namespace
