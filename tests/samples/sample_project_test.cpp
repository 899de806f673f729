// Consistency of the sample project: what every later display reads from it must hold
// together (rows point at entities, entities at model records, geometry where it belongs).
#include "SampleProject.h"
#include "SampleSchema.h"

#include <gtest/gtest.h>

#include <cmath>
#include <set>
#include <string>

namespace kvpvs::sample {
namespace {

class SampleProjectTest : public ::testing::TestWithParam<int> {
protected:
    void SetUp() override
    {
        SampleOptions opt;
        opt.nRefine = GetParam();
        std::string strError;
        ASSERT_TRUE(BuildSampleProject(m_doc, opt, m_sum, &strError)) << strError;
    }
    T_NODE_D Node(unsigned int k)
    {
        T_NODE_D n;
        EXPECT_TRUE(CClassNode(m_doc.GetModelDB()).Get(k, n)) << "node " << k;
        return n;
    }

    CDBDoc m_doc;
    SampleSummary m_sum;
};

TEST_P(SampleProjectTest, EveryRowPointsAtExistingEntitiesAndRecords)
{
    CClassPVtif rows(m_doc.GetPostDB());
    CClassPEngr engrs(m_doc.GetPostDB());
    CClassPVal vals(m_doc.GetPostDB());
    CClassNode nodes(m_doc.GetModelDB());
    CClassElem elems(m_doc.GetModelDB());
    CClassStage stages(m_doc.GetModelDB());
    ASSERT_EQ(static_cast<size_t>(rows.GetCount()), m_sum.aRowK.size());
    for (unsigned int k : m_sum.aRowK) {
        T_PVTIF_D row;
        T_PENGR_D engr;
        ASSERT_TRUE(rows.Get(k, row));
        ASSERT_TRUE(engrs.Get(row.nEngrK, engr)) << row.strName;
        EXPECT_TRUE(stages.Exist(row.nStepK)) << row.strName;
        T_PVAL_D v;
        if (!vals.Get(k, v))
            continue;
        for (int i = 0; i < v.GetEntityCount(); ++i) {
            unsigned int e = v.aEntK[i];
            int n = 0;
            const double* p = v.Find(e, n);
            ASSERT_NE(p, nullptr);
            for (int j = 0; j < n; ++j)
                ASSERT_TRUE(std::isfinite(p[j])) << row.strName << " entity " << e;
            if (engr.nKind == kEntNode) {
                EXPECT_TRUE(nodes.Exist(e)) << row.strName;
            } else if (engr.nKind == kEntElem) {
                T_ELEM_D elem;
                ASSERT_TRUE(elems.Get(e, elem)) << row.strName;
                // Plain element rows: centre value and one per node (+3 for a principal direction).
                if (row.nDispType == kDispPlain && (row.nResultClass == kClsSolidStress ||
                                                    row.nResultClass == kClsPlateForce)) {
                    EXPECT_TRUE(n == 1 + elem.aNodeK.GetSize() || n == 4 + elem.aNodeK.GetSize()) << row.strName;
                }
                if (row.nDispType == kDispDiagram || row.nDispType == kDispComb) {
                    EXPECT_EQ(n, row.aDgrmPos.GetSize()) << row.strName;
                }
            }
        }
    }
}

TEST_P(SampleProjectTest, ElementNodesExistAndAttributesResolve)
{
    CClassAttr attrs(m_doc.GetModelDB());
    CClassGmat matls(m_doc.GetModelDB());
    CClassGpro gpros(m_doc.GetModelDB());
    const auto& elems = m_doc.GetModelDB()->Table<T_ELEM_D>();
    EXPECT_EQ(elems.size(), m_sum.soil.Count() + m_sum.wall.Count() + m_sum.beamStruts.Count() +
                                m_sum.trussStruts.Count() + m_sum.piles.Count());
    for (const auto& [k, e] : elems) {
        const int nExpected = e.nType == kElemSolid ? 8 : (e.nType == kElemPlate ? 4 : 2);
        ASSERT_EQ(e.aNodeK.GetSize(), nExpected) << "element " << k;
        for (int n = 0; n < e.aNodeK.GetSize(); ++n)
            EXPECT_TRUE(m_sum.nodes.Contains(e.aNodeK[n])) << "element " << k;
        T_ATTR_D a;
        ASSERT_TRUE(attrs.Get(e.nPropK, a)) << "element " << k;
        EXPECT_EQ(a.nGmatK, e.nMatlK);
        EXPECT_TRUE(matls.Exist(a.nGmatK));
        if (e.nType != kElemSolid) {
            T_GPRO_D g;
            ASSERT_TRUE(gpros.Get(a.nGproK, g));
            EXPECT_GT(e.nType == kElemPlate ? g.dThickness : g.dArea, 0.0);
        }
        // Beams and piles are beams for member design (attribute types 102 and 151).
        EXPECT_EQ(e.nType == kElemBeam || e.nType == kElemPile, a.nType == 102 || a.nType == 151);
    }
}

// A layer of thickness t under the plan area A holds volume A t, and the layers add up to
// the block; summed from the hexahedra's own tetrahedral volumes.
TEST_P(SampleProjectTest, LayeredSoilVolumesAddUp)
{
    CClassElem elems(m_doc.GetModelDB());
    double dTotal = 0.0;
    for (const SoilLayer& layer : m_sum.layers) {
        double dVol = 0.0;
        for (unsigned int k = layer.elems.nFirst; k <= layer.elems.nLast; ++k) {
            T_ELEM_D e;
            ASSERT_TRUE(elems.Get(k, e));
            double xyz[8][3];
            for (int n = 0; n < 8; ++n) {
                T_NODE_D node = Node(e.aNodeK[n]);
                for (int d = 0; d < 3; ++d)
                    xyz[n][d] = node.dXyz[d];
                EXPECT_LE(node.dXyz[2], layer.dTop + 1e-9);
                EXPECT_GE(node.dXyz[2], layer.dBottom - 1e-9);
            }
            double v = HexVolume(xyz);
            ASSERT_GT(v, 0.0) << "element " << k << " is inverted";
            dVol += v;
        }
        EXPECT_NEAR(dVol, m_sum.dPlanArea * (layer.dTop - layer.dBottom), 1e-9 * dVol) << layer.strName;
        dTotal += dVol;
    }
    EXPECT_NEAR(dTotal, m_sum.dPlanArea * 24.0, 1e-9 * dTotal);
}

TEST_P(SampleProjectTest, PlatesLieInTheWallPlane)
{
    CClassElem elems(m_doc.GetModelDB());
    double dArea = 0.0;
    for (unsigned int k = m_sum.wall.nFirst; k <= m_sum.wall.nLast; ++k) {
        T_ELEM_D e;
        ASSERT_TRUE(elems.Get(k, e));
        ASSERT_EQ(e.nType, kElemPlate);
        T_NODE_D p[4];
        for (int n = 0; n < 4; ++n) {
            p[n] = Node(e.aNodeK[n]);
            EXPECT_DOUBLE_EQ(p[n].dXyz[0], m_sum.dWallX);
            EXPECT_GE(p[n].dXyz[2], m_sum.dWallBottom - 1e-9);
        }
        // Area = |(p3 - p1) × (p4 - p2)| / 2 of the quadrilateral; its normal is the x axis.
        double a[3], b[3];
        for (int d = 0; d < 3; ++d) {
            a[d] = p[2].dXyz[d] - p[0].dXyz[d];
            b[d] = p[3].dXyz[d] - p[1].dXyz[d];
        }
        double c[3] = {a[1] * b[2] - a[2] * b[1], a[2] * b[0] - a[0] * b[2], a[0] * b[1] - a[1] * b[0]};
        EXPECT_NEAR(c[1], 0.0, 1e-12);
        EXPECT_NEAR(c[2], 0.0, 1e-12);
        dArea += std::fabs(c[0]) / 2.0;
    }
    EXPECT_NEAR(dArea, 8.0 * -m_sum.dWallBottom, 1e-9); // wall 8 m wide, 15 m deep
}

INSTANTIATE_TEST_SUITE_P(Refinements, SampleProjectTest, ::testing::Values(1, 2),
                         [](const ::testing::TestParamInfo<int>& i) { return "Refinement" + std::to_string(i.param); });

// The rows reach every decision the factory makes on a row.
TEST(SampleSchemaTest, RowsCoverTheFactoryBranches)
{
    CDBDoc doc;
    SampleSummary sum;
    ASSERT_TRUE(BuildSampleProject(doc, SampleOptions(), sum));
    std::set<std::string> seen;
    CClassPVtif rows(doc.GetPostDB());
    CClassPEngr engrs(doc.GetPostDB());
    for (unsigned int k : sum.aRowK) {
        T_PVTIF_D r;
        T_PENGR_D e;
        rows.Get(k, r);
        engrs.Get(r.nEngrK, e);
        char sz[64];
        std::snprintf(sz, sizeof sz, "%d/%d/%d", e.nKind, r.nDispType, r.nQuantity);
        seen.insert(sz);
        if (r.nDispType == kDispComb)
            seen.insert("comb class " + std::to_string(r.nResultClass));
        seen.insert("class " + std::to_string(r.nResultClass) + " comp " + std::to_string(r.nCompCode));
    }
    for (const char* psz : {"1/0/1", "1/0/2", "1/0/3", "1/0/7", "1/0/16", "2/0/5", "2/0/7", "2/0/14", "2/0/16",
                            "2/0/17", "2/0/21", "2/0/6", "2/6/4", "3/0/2", "1/7/1", "1/7/3", "2/7/5",
                            "comb class 5", "class 8 comp 6", "class 8 comp 0", "class 39 comp 0",
                            "class 39 comp 3", "class 11 comp 6"})
        EXPECT_TRUE(seen.count(psz)) << psz;
}

TEST(SampleSchemaTest, SecondBuildIntoTheSameDocumentIsRefused)
{
    CDBDoc doc;
    SampleSummary sum;
    ASSERT_TRUE(BuildSampleProject(doc, SampleOptions(), sum));
    const int nRows = CClassPVtif(doc.GetPostDB()).GetCount();
    SampleSummary again;
    std::string strError;
    EXPECT_FALSE(BuildSampleProject(doc, SampleOptions(), again, &strError));
    EXPECT_FALSE(strError.empty());
    EXPECT_EQ(CClassPVtif(doc.GetPostDB()).GetCount(), nRows);
    SampleOptions bad;
    bad.nRefine = 0;
    CDBDoc empty;
    EXPECT_FALSE(BuildSampleProject(empty, bad, again));
    EXPECT_EQ(CClassNode(empty.GetModelDB()).GetCount(), 0);
}

// A parallelepiped spanned by a, b, c has volume det[a b c].
TEST(SampleMeshTest, HexVolumeOfAParallelepipedIsTheDeterminant)
{
    const double a[3] = {2.0, 0.0, 0.0}, b[3] = {0.5, 1.5, 0.0}, c[3] = {0.3, -0.2, 1.2};
    double xyz[8][3];
    const int corner[8][3] = {{0, 0, 0}, {1, 0, 0}, {1, 1, 0}, {0, 1, 0}, {0, 0, 1}, {1, 0, 1}, {1, 1, 1}, {0, 1, 1}};
    for (int n = 0; n < 8; ++n)
        for (int d = 0; d < 3; ++d)
            xyz[n][d] = corner[n][0] * a[d] + corner[n][1] * b[d] + corner[n][2] * c[d];
    const double det = a[0] * (b[1] * c[2] - b[2] * c[1]) - a[1] * (b[0] * c[2] - b[2] * c[0]) +
                       a[2] * (b[0] * c[1] - b[1] * c[0]);
    EXPECT_NEAR(HexVolume(xyz), det, 1e-14);
}

// σyy alone and the (xx, zz, zx) block: λ = (σxx + σzz)/2 ± sqrt(((σxx - σzz)/2)² + τ²);
// each direction satisfies σ d = λ d.
TEST(SampleFieldsTest, PrincipalValuesMatchTheClosedForm)
{
    const double s[6] = {-60.0, -45.0, -150.0, 0.0, 0.0, -25.0};
    double val[3], dir[3][3];
    PrincipalValues(s, val, dir);
    const double m = (s[0] + s[2]) / 2.0, r = std::sqrt(std::pow((s[0] - s[2]) / 2.0, 2) + s[5] * s[5]);
    EXPECT_NEAR(val[0], -45.0, 1e-10);
    EXPECT_NEAR(val[1], m + r, 1e-10);
    EXPECT_NEAR(val[2], m - r, 1e-10);
    const double t[3][3] = {{s[0], s[3], s[5]}, {s[3], s[1], s[4]}, {s[5], s[4], s[2]}};
    for (int n = 0; n < 3; ++n)
        for (int i = 0; i < 3; ++i) {
            double sd = t[i][0] * dir[0][n] + t[i][1] * dir[1][n] + t[i][2] * dir[2][n];
            EXPECT_NEAR(sd, val[n] * dir[i][n], 1e-9);
        }
}

} // namespace
} // namespace kvpvs::sample
