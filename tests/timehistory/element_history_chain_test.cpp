// Plane and solid histories end to end: stored functions run by the engine (and the plane-stress
// function, which no code makes, run directly), the element-results entry, the families and
// their kernels, on single elements written to real result files. Each element is stretched by
// a uniform strain eps whose factor changes from step to step, so that at every step, in output
// units, the stresses are D eps at the centre and every node, the strains eps, and the nodal
// forces of the linear elements the tractions sigma n on their edges or faces shared equally
// among the edge's or face's nodes.
#include "timehistory/CPVSTHCalcPlstrsFunc.h"
#include "timehistory/CPVSTHEngine.h"
#include "timehistory/ElementResultsEntry.h"

#include "../recovery/drivers/family_fixture.h"

#include "THResultBuilder.h"
#include "TempDir.h"
#include "UnitCtrl.h"

#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <functional>
#include <map>
#include <string>
#include <vector>

namespace {

namespace rf = kvpvs::resultfiles;
using kvpvs::testing::Point3;

constexpr double kE = 2.0e7, kNu = 0.3, kThick = 0.2;
constexpr double kForceF = 3.0, kStressF = 13.0;
constexpr int kSteps = 5;
constexpr unsigned kAcas = 41, kThis = 9, kElemK = 700;
double StepFactor(int i) { return std::cos(0.8 * i) + 0.2; }

// Engineering strains xx, yy, zz, xy, yz, zx.
using Strain = std::array<double, 6>;
const Strain kEps = {2e-4, -1e-4, 1.5e-4, 3e-4, -2e-4, 1e-4};
const Strain kPlaneEps = {2e-4, -1e-4, 0.0, 3e-4, 0.0, 0.0};

enum class Family { PlaneStrain, PlaneStress, Solid };

struct ChainCase {
    const char* name;
    int kind;              // the library's
    Family family;
    const char* key;       // data set
    int nodes;
    bool quadratic;
};

void PrintTo(const ChainCase& c, std::ostream* os) { *os << c.name; }

// Nodes of the element: a 2 x 1.5 rectangle in the X-Y plane or a 2 x 1.5 x 1 box, corners in
// the families' orders, then the mid-side nodes.
std::vector<Point3> ElementNodes(const ChainCase& c)
{
    if (c.family == Family::Solid) {
        if (c.quadratic)
            return kvpvs::testing::hexahedron20({0, 0, 0}, {2, 1.5, 1});
        // Nodes 1-4 on the top face, 5-8 below them.
        const double sx[8] = {-1, 1, 1, -1, -1, 1, 1, -1}, sy[8] = {-1, -1, 1, 1, -1, -1, 1, 1},
                     sz[8] = {1, 1, 1, 1, -1, -1, -1, -1};
        std::vector<Point3> x;
        for (int k = 0; k < 8; ++k)
            x.push_back({1 + sx[k], 0.75 * (1 + sy[k]), 0.5 * (1 + sz[k])});
        return x;
    }
    const double xi[8] = {-1, 1, 1, -1, 0, 1, 0, -1}, eta[8] = {-1, -1, 1, 1, -1, 0, 1, 0};
    std::vector<Point3> x;
    for (int k = 0; k < c.nodes; ++k)
        x.push_back({1 + xi[k], 0.75 * (1 + eta[k]), 0.0});
    return x;
}

// Stresses of the uniform strain: xx, yy, zz, xy, yz, zx (plane stress: zz 0).
std::array<double, 6> Stress(Family f, double g)
{
    if (f == Family::Solid) {
        Strain e = kEps;
        for (double& v : e)
            v *= g;
        return kvpvs::testing::solid_stress(e, kE, kNu);
    }
    const double ex = g * kPlaneEps[0], ey = g * kPlaneEps[1], gxy = g * kPlaneEps[3];
    const double G = kE / (2 * (1 + kNu));
    if (f == Family::PlaneStress) {
        const double c = kE / (1 - kNu * kNu);
        return {c * (ex + kNu * ey), c * (kNu * ex + ey), 0.0, G * gxy, 0.0, 0.0};
    }
    const double c = kE / ((1 + kNu) * (1 - 2 * kNu));
    const double sx = c * ((1 - kNu) * ex + kNu * ey), sy = c * (kNu * ex + (1 - kNu) * ey);
    return {sx, sy, kNu * (sx + sy), G * gxy, 0.0, 0.0};
}

// Nodal forces of a linear element under uniform stress s: per edge (thickness t) or face, the
// traction s n over its length or area, equal shares to its nodes.
std::vector<double> TractionForces(const ChainCase& c, const std::vector<Point3>& x, const std::array<double, 6>& s)
{
    std::vector<double> F(static_cast<std::size_t>(3 * c.nodes), 0.0);
    // Full stress tensor.
    const double S[3][3] = {{s[0], s[3], s[5]}, {s[3], s[1], s[4]}, {s[5], s[4], s[2]}};
    // Outward normal and measure of each boundary piece through the nodes lying on it.
    auto add = [&](const std::vector<int>& on, const Point3& n, double measure) {
        for (int k : on)
            for (int i = 0; i < 3; ++i) {
                double t = 0.0;
                for (int j = 0; j < 3; ++j)
                    t += S[i][j] * n[static_cast<std::size_t>(j)];
                F[static_cast<std::size_t>(3 * k + i)] += t * measure / static_cast<double>(on.size());
            }
    };
    double lo[3] = {1e30, 1e30, 1e30}, hi[3] = {-1e30, -1e30, -1e30};
    for (const Point3& p : x)
        for (int i = 0; i < 3; ++i) {
            lo[i] = std::fmin(lo[i], p[static_cast<std::size_t>(i)]);
            hi[i] = std::fmax(hi[i], p[static_cast<std::size_t>(i)]);
        }
    const int dims = c.family == Family::Solid ? 3 : 2;
    for (int a = 0; a < dims; ++a)
        for (int side = 0; side < 2; ++side) {
            std::vector<int> on;
            for (int k = 0; k < c.nodes; ++k)
                if (std::fabs(x[static_cast<std::size_t>(k)][static_cast<std::size_t>(a)] - (side ? hi[a] : lo[a])) < 1e-12)
                    on.push_back(k);
            Point3 n{0, 0, 0};
            n[static_cast<std::size_t>(a)] = side ? 1.0 : -1.0;
            double measure = dims == 2 ? kThick : 1.0;
            for (int b = 0; b < dims; ++b)
                if (b != a)
                    measure *= hi[b] - lo[b];
            add(on, n, measure);
        }
    return F;
}

class ElementChain : public ::testing::TestWithParam<ChainCase> {
protected:
    void SetUp() override
    {
        CZORDocBase::SetCurDoc(&doc);
        CUnitCtrl* u = CDocCtrl::GetUnitCtrl(&doc);
        u->SetFactor(1, 1000.0);
        u->SetFactor(2, kForceF);
        u->SetFactor(17, kStressF);
    }
    void TearDown() override
    {
        kvpvs::timehistory::ResetElementResultsEntry();
        CZORDocBase::SetCurDoc(nullptr);
    }

    // The element's record 1, its nodes 1.., element record 1 with material 1, and a direct
    // history of the uniform strain; the element connected with the case.
    void Write(const ChainCase& c)
    {
        x = ElementNodes(c);
        for (std::size_t k = 0; k < x.size(); ++k)
            builder.set_node(static_cast<int>(k + 1), x[k][0], x[k][1], x[k][2]);
        builder.add_material(1, kE, kNu);
        builder.set_element(1, 1);
        std::vector<double> nodes;
        for (int k = 1; k <= c.nodes; ++k)
            nodes.push_back(k);
        const std::vector<double> eq = rf::node_equations(c.nodes);
        std::vector<double> record;
        if (c.family == Family::Solid && !c.quadratic) {
            rf::SolidRecordFacts f;
            f.equations = eq;
            f.matrix = rf::solid_reference_matrix(x, kE, kNu);
            record = rf::solid_record_values(f);
        } else if (c.family == Family::Solid) {
            rf::QuadraticSolidFacts f;
            f.equations = eq;
            f.node_count = c.nodes;
            f.nodes = nodes;
            f.material = {kE, kNu, 0, {}};
            record = rf::quadratic_solid_record_values(f);
        } else if (!c.quadratic) {
            rf::PlaneRecordFacts f;
            f.equations = eq;
            f.matrix = rf::plane_reference_matrix(x, kE, kNu, kThick, c.family == Family::PlaneStrain);
            f.node_count = c.nodes;
            for (std::size_t k = 0; k < 4; ++k) {
                f.nodes[k] = static_cast<double>(k + 1);
                f.xyz[k] = x[k];
            }
            f.section[0] = f.section[1] = kThick;
            f.material = {kE, kNu, 0, {}};
            f.code = c.family == Family::PlaneStrain ? 1 : 0;
            record = rf::plane_record_values(f);
        } else {
            rf::QuadraticPlaneFacts f;
            f.equations = eq;
            f.node_count = c.nodes;
            f.nodes = nodes;
            f.section[0] = kThick;
            f.material = {kE, kNu, 0, {}};
            f.axis_vector = {1, 0, 0};
            record = c.family == Family::PlaneStrain ? rf::plane_strain_record_values(f)
                                                     : rf::plane_stress_record_values(f);
        }
        rf::add_element_records(builder, c.key, 3, {record});
        rf::HistoryFacts h;
        h.type = 2;
        h.case_or_file = 1;
        builder.set_history(1, h);
        const Strain& e = c.family == Family::Solid ? kEps : kPlaneEps;
        for (int k = 0; k < c.nodes; ++k) {
            const Point3& p = x[static_cast<std::size_t>(k)];
            // u = eps x with half the shears each way: no rotation.
            const double u[3] = {e[0] * p[0] + e[3] / 2 * p[1] + e[5] / 2 * p[2],
                                 e[3] / 2 * p[0] + e[1] * p[1] + e[4] / 2 * p[2],
                                 e[5] / 2 * p[0] + e[4] / 2 * p[1] + e[2] * p[2]};
            for (int d = 0; d < 6; ++d) {
                std::vector<double> series;
                for (int i = 1; i <= kSteps; ++i)
                    series.push_back(d < 3 ? StepFactor(i) * u[d] : 0.0);
                builder.set_direct_series(1, 6 * k + d + 1, series);
            }
        }
        ASSERT_TRUE(builder.write(base));
        T_ELEM_D el;
        for (int k = 1; k <= c.nodes; ++k)
            el.aNodeK.Add(static_cast<unsigned>(k));
        CClassElem(doc.GetModelDB()).Set(kElemK, el);
        std::vector<double> times;
        for (int i = 1; i <= kSteps; ++i)
            times.push_back(0.05 * i);
        CTHResultBuilder b(doc, kAcas, kThis, 1, times, 1);
        b.ConnectResultFiles(builder.elem_file_name(base).c_str(), 1, {{kElemK, {1, 1}}});
        ctrl = b.Ctrl();
    }

    // The stored function's series (stored form: code and result kind from 0); the plane-stress
    // function is constructed and run as the engine runs a function.
    std::vector<double> Run(const ChainCase& c, int kind, int pos, int comp)
    {
        T_THRD_D s;
        s.nCode = c.family == Family::Solid ? 5 : 3;
        s.nEntityK = kElemK;
        s.nResultKind = kind - 1;
        s.nPosition = pos;
        s.nComponent = comp;
        s.nAcasK = kAcas;
        if (c.family != Family::PlaneStress) {
            CArray<double, double>* a = engine.Run(&s);
            return std::vector<double>(a->GetData(), a->GetData() + a->GetSize());
        }
        T_THRD_D req;
        CPVSTHEngine::MakeThrdData(&s, &req);
        CPVSTHCalcPlstrsFunc f;
        f.SetAnalTypeCtrl(ctrl);
        f.Init(req);
        EXPECT_EQ(f.Calculate(), 1);
        const CArray<double, double>* a = f.GetResults();
        return std::vector<double>(a->GetData(), a->GetData() + a->GetSize());
    }

    CDBDoc doc;
    CPVSTHEngine engine;
    CPostCtrlAnlTypeTHIS* ctrl = nullptr;
    kvpvs::testing::TempDir dir{"kvpvs_element_chain"};
    std::string base = dir.file("model");
    rf::ResultSetBuilder builder;
    std::vector<Point3> x;
};

TEST_P(ElementChain, StressesStrainsAndForcesFollowTheUniformStrainInOutputUnits)
{
    const ChainCase& c = GetParam();
    Write(c);
    const bool solid = c.family == Family::Solid;
    // Stress components of the result vector, by family: indices into (xx, yy, zz, xy, yz, zx).
    const std::vector<int> comps = solid ? std::vector<int>{0, 1, 2, 3, 4, 5}
                                         : (c.family == Family::PlaneStrain ? std::vector<int>{0, 1, 2, 3}
                                                                            : std::vector<int>{0, 1, 3});
    const Strain& e = solid ? kEps : kPlaneEps;
    const double scale = kE * 3e-4 * kStressF;
    for (int pos = 0; pos <= c.nodes; ++pos)
        for (std::size_t j = 0; j < comps.size(); ++j) {
            const std::vector<double> s = Run(c, 2, pos, static_cast<int>(j));
            ASSERT_EQ(static_cast<int>(s.size()), kSteps) << "stress " << j << " at " << pos;
            for (int i = 1; i <= kSteps; ++i)
                EXPECT_NEAR(s[static_cast<std::size_t>(i - 1)],
                            kStressF * Stress(c.family, StepFactor(i))[static_cast<std::size_t>(comps[j])], 1e-9 * scale)
                    << "stress " << j << " at position " << pos << ", step " << i;
            if (c.family == Family::PlaneStress)
                continue;
            // Strains carry no unit; plane strain has no out-of-plane strain.
            const std::vector<double> t = Run(c, 3, pos, static_cast<int>(j));
            ASSERT_EQ(static_cast<int>(t.size()), kSteps);
            for (int i = 1; i <= kSteps; ++i)
                EXPECT_NEAR(t[static_cast<std::size_t>(i - 1)], StepFactor(i) * e[static_cast<std::size_t>(comps[j])],
                            1e-12)
                    << "strain " << j << " at position " << pos << ", step " << i;
        }
    if (c.quadratic)
        return; // their forces are checked family by family
    for (int i = 1; i <= kSteps; ++i) {
        const std::vector<double> F = TractionForces(c, x, Stress(c.family, StepFactor(i)));
        for (int pos = 0; pos < c.nodes; ++pos)
            for (int d = 0; d < (solid ? 3 : 2); ++d) {
                const std::vector<double> f = Run(c, 1, pos, d);
                ASSERT_EQ(static_cast<int>(f.size()), kSteps);
                EXPECT_NEAR(f[static_cast<std::size_t>(i - 1)], kForceF * F[static_cast<std::size_t>(3 * pos + d)],
                            1e-9 * kE * 3e-4 * kForceF)
                    << "force " << d << " of node " << pos << ", step " << i;
            }
    }
}

INSTANTIATE_TEST_SUITE_P(
    Elements, ElementChain,
    ::testing::Values(ChainCase{"LinearPlaneStrainKind2", 2, Family::PlaneStrain, "PSRN", 4, false},
                      ChainCase{"LinearSolidKind4", 4, Family::Solid, "SOLD", 8, false},
                      ChainCase{"QuadraticPlaneStrainKind6", 6, Family::PlaneStrain, "PSRH", 8, true},
                      ChainCase{"QuadraticSolidKind8", 8, Family::Solid, "PSOH", 20, true},
                      ChainCase{"LinearPlaneStressKind1", 1, Family::PlaneStress, "PSTR", 4, false},
                      ChainCase{"QuadraticPlaneStressKind5", 5, Family::PlaneStress, "PSTH", 8, true}),
    [](const ::testing::TestParamInfo<ChainCase>& i) { return std::string(i.param.name); });

} // namespace
