// Force sums and flow discharge through a plane lying on an interface where the two sides
// divide the faces differently: a 3 x 2 x 2 block of unit boxes, every node shared, one layer
// of hexahedra and the other of two wedges or six tetrahedra per box, either way up, cut by
// z = 1 with either normal. The area in the plane counts once, as in the all-hexahedron block.
#include "ForceSumFixtures.h"
#include "ForceSumReference.h"

#include "visualdata/CPVSVisualDataFlowDiscWKVR.h"
#include "visualmethods/CPVSVisualMethodFlowDiscWKVR.h"

#include <gtest/gtest.h>

#include <vtkCellType.h>

#include <array>
#include <cmath>
#include <memory>
#include <string>
#include <vector>

using namespace kvpvs::test;

namespace {

enum class Fill { Hexahedra, Wedges, Tetrahedra };

struct Mix {
    const char* pszName;
    int nLayer; // the layer (0 below the plane, 1 above) whose boxes are divided
    Fill fill;
};

constexpr Mix kMixes[] = {{"AllHexahedra", 0, Fill::Hexahedra},    {"HexahedraUnderWedges", 1, Fill::Wedges},
                          {"WedgesUnderHexahedra", 0, Fill::Wedges}, {"HexahedraUnderTetrahedra", 1, Fill::Tetrahedra},
                          {"TetrahedraUnderHexahedra", 0, Fill::Tetrahedra}};

constexpr int kNx = 3, kNy = 2, kNz = 2;

// The block of hexahedra with the boxes of one layer divided as the mix says.
void BuildMixedBlock(ForceSumModel& m, const Mix& mix)
{
    BuildHexBlock(m, HexBlockGrid{kNx, kNy, kNz});
    if (mix.fill == Fill::Hexahedra)
        return;
    CClassElem cls(m.doc.GetModelDB());
    const size_t nPerLayer = kNx * kNy;
    const std::vector<unsigned int> aHex = m.aElemK;
    for (size_t e = nPerLayer * static_cast<size_t>(mix.nLayer); e < nPerLayer * (mix.nLayer + 1); ++e) {
        T_ELEM_D hex;
        cls.Get(aHex[e], hex);
        const unsigned int* c = &hex.aNodeK[0];
        std::vector<std::vector<unsigned int>> parts;
        if (mix.fill == Fill::Wedges) {
            parts = {{c[0], c[1], c[2], c[4], c[5], c[6]}, {c[0], c[2], c[3], c[4], c[6], c[7]}};
        } else {
            for (const auto& t : {std::array{0, 1, 2, 6}, {0, 2, 3, 6}, {0, 3, 7, 6}, {0, 7, 4, 6}, {0, 4, 5, 6}, {0, 5, 1, 6}})
                parts.push_back({c[t[0]], c[t[1]], c[t[2]], c[t[3]]});
        }
        for (size_t p = 0; p < parts.size(); ++p) {
            T_ELEM_D part = hex;
            part.nCellType = mix.fill == Fill::Wedges ? VTK_WEDGE : VTK_TETRA;
            part.aNodeK.RemoveAll();
            for (unsigned int n : parts[p])
                part.aNodeK.Add(n);
            if (p == 0)
                cls.Set(aHex[e], part);
            else
                m.aElemK.push_back(cls.Add(part));
        }
    }
}

// Plane axes of z = 1: X along the normal, right-handed.
T_TEST_PLANE PlaneZ1(double nz)
{
    T_TEST_PLANE p{{0, 0, 1}, {}, "Interface"};
    const double up[3][3] = {{0, 0, 1}, {1, 0, 0}, {0, 1, 0}}, down[3][3] = {{0, 0, -1}, {0, 1, 0}, {1, 0, 0}};
    for (int r = 0; r < 3; ++r)
        for (int k = 0; k < 3; ++k)
            p.dAxis[r][k] = nz > 0 ? up[r][k] : down[r][k];
    return p;
}

template <class DISPLAY>
std::array<double, 6> RunForceSum(ForceSumModel& m, const T_TEST_PLANE& plane, unsigned int nType)
{
    DISPLAY d;
    FillRecord(d.rec, m, 0, {plane});
    d.rec.bIncludeText = 0;
    d.Build(m, nType);
    d.pVM->Process();
    std::array<double, 6> r{};
    r.fill(std::nan(""));
    if (d.pVM->m_aValue[0].GetSize() == 1)
        for (int k = 0; k < 6; ++k)
            r[static_cast<size_t>(k)] = d.pVM->m_aValue[k][0];
    return r;
}

// The discharge results of one plane.
std::vector<double> RunDischarge(ForceSumModel& m, unsigned int nVelocityRowK, double nz)
{
    T_VD_FLOWDISC_WPLKVR_D rec;
    rec.Initialize();
    rec.nPVtifK = nVelocityRowK;
    T_PVIST_PLNE_D p;
    for (int k = 0; k < 3; ++k) {
        p.dOrigin[k] = k == 2 ? 1.0 : 0.0;
        p.dNormal[k] = k == 2 ? nz : 0.0;
    }
    rec.aPlane.Add(p);
    T_PVIST_ALL_D vs;
    T_PVIST_ANIM_D as;
    CPVSVisualDataBase::ResetVDataStatics();
    T_VD_PARAM_D vp;
    vp.pDoc = &m.doc;
    vp.pUserDefData = &rec;
    CPVSVisualDataFlowDiscWKVR vd(4, vp);
    if (!vd.MakeVData(&vs, &as, 0))
        return {};
    T_VM_PARAM_D mp;
    mp.pDoc = &m.doc;
    mp.pVData = &vd;
    mp.pVS = &vs;
    mp.pAS = &as;
    mp.nVMType = vd.GetVisualMethodType(&vs);
    CPVSVisualMethodFlowDiscWKVR vm(mp);
    T_MD_PARAM_D md{1, 4};
    vm.SetMDTCtrl(new CPVSModelDataFEM(md, &m.doc));
    if (vm.Process() != 1)
        return {};
    return std::vector<double>(vm.m_aDischarge.begin(), vm.m_aDischarge.end());
}

std::string CaseName(const Mix& mix, double nz) { return std::string(mix.pszName) + (nz > 0 ? ", normal up" : ", normal down"); }

} // namespace

// Under a stress linear in the coordinates, both force-sum variants give the closed-form force
// and moment about the centre of the 3 x 2 face set, in the plane's axes, within 1e-12 of the
// largest force (times the block's diagonal for moments).
TEST(MixedInterface, ForceSumsCountThePlaneOnce)
{
    LinearStress s;
    s.s0 = {-120, -80, -200, 15, -7, 22};
    s.d[0] = {3, -1, 2, 0.5, 0.25, -0.75};
    s.d[1] = {-2, 4, 1, -0.5, 1.5, 0.3};
    s.d[2] = {1, 2, -6, 0.8, -1, 2};
    for (const Mix& mix : kMixes)
        for (double nz : {1.0, -1.0}) {
            ForceSumModel m;
            BuildMixedBlock(m, mix);
            AddStressRows(m, [&](double x, double y, double z) { return s.At(x, y, z); });
            const T_TEST_PLANE plane = PlaneZ1(nz);
            const Vec3 n{0, 0, nz};
            const PolygonMoments ref = MomentsOf(ClipBoxByPlane({0, 0, 0}, {kNx, kNy, kNz}, {0, 0, 1}, n));
            ASSERT_NEAR(ref.dArea, 6.0, 1e-14);
            Vec3 F, M;
            ForceAndMoment(ref, s, n, ref.Centre(), F, M);
            std::array<double, 6> expected{};
            for (int r = 0; r < 3; ++r)
                for (int k = 0; k < 3; ++k) {
                    expected[static_cast<size_t>(r)] += plane.dAxis[r][k] * F[static_cast<size_t>(k)];
                    expected[static_cast<size_t>(3 + r)] += plane.dAxis[r][k] * M[static_cast<size_t>(k)];
                }
            const double dFmax = std::max({std::fabs(F[0]), std::fabs(F[1]), std::fabs(F[2])});
            const double dDiag = std::sqrt(kNx * kNx + kNy * kNy + kNz * kNz);
            const std::array<double, 6> sums[2] = {RunForceSum<LdfsDisplay>(m, plane, 8),
                                                   RunForceSum<LdfsdDisplay>(m, plane, 12)};
            for (int v = 0; v < 2; ++v)
                for (size_t k = 0; k < 6; ++k)
                    EXPECT_NEAR(sums[v][k], expected[k], 1e-12 * dFmax * (k < 3 ? 1.0 : dDiag))
                        << CaseName(mix, nz) << (v == 0 ? ", force sum" : ", design force sum") << ", sum " << k;
        }
}

// A uniform flow of 2 across the plane: the discharge is the flow through the 3 x 2 face set,
// 12, signed by the normal.
TEST(MixedInterface, DischargeIsTheFlowThroughThePlane)
{
    for (const Mix& mix : kMixes)
        for (double nz : {1.0, -1.0}) {
            ForceSumModel m;
            BuildMixedBlock(m, mix);
            const unsigned int nRowK = AddNodeVelocityRow(m, [](double, double, double) { return std::array<double, 3>{0, 0, 2}; });
            const std::vector<double> q = RunDischarge(m, nRowK, nz);
            ASSERT_EQ(q.size(), 1u) << CaseName(mix, nz);
            EXPECT_NEAR(q[0], 12.0 * nz, 1e-12) << CaseName(mix, nz);
        }
}
