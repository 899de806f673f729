// The sample's base slab: eight-node plates that tile the pit floor between the centre line and
// the wall, share their mid-side nodes, and go into the result files as PLTH records that the
// production readers find under the node numbers, equations, section and material the document
// holds. The project without the slab keeps its files as they were (no PLTH data set).
#include "SampleDynamics.h"
#include "SampleProject.h"
#include "SampleResultFiles.h"
#include "SampleSchema.h"
#include "SampleSlab.h"
#include "TempDir.h"
#include "ThisInfo.h"

#include "recovery/drivers/keyed_result_file.h"

#include <DFORRT/DirectUnits.h>

#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <filesystem>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <vector>

namespace kvpvs::sample {
namespace {

using dforrt::DirectUnits;
using namespace kvpvs::recovery;

constexpr int UNIT = 46;

class SampleSlabGeometry : public ::testing::TestWithParam<int> {
protected:
    void SetUp() override
    {
        SampleOptions opt;
        opt.nRefine = GetParam();
        std::string err;
        ASSERT_TRUE(BuildSampleProject(doc, opt, sum, &err)) << err;
        ASSERT_TRUE(BuildSampleSlab(doc, sum, slab, &err)) << err;
    }
    T_NODE_D Node(unsigned int k)
    {
        T_NODE_D n;
        EXPECT_TRUE(CClassNode(doc.GetModelDB()).Get(k, n)) << "node " << k;
        return n;
    }

    CDBDoc doc;
    SampleSummary sum;
    SlabSummary slab;
};

TEST_P(SampleSlabGeometry, PlatesTileThePitFloorFromTheCentreLineToTheWall)
{
    const int r = GetParam();
    const unsigned int nx = static_cast<unsigned int>(5 * r), ny = static_cast<unsigned int>(4 * r); // 2 m / r cells
    ASSERT_EQ(slab.elems.Count(), nx * ny);
    // Sides of an nx x ny grid of cells: one mid-side node each.
    EXPECT_EQ(slab.midsideNodes.Count(), nx * (ny + 1) + ny * (nx + 1));
    EXPECT_GT(slab.midsideNodes.nFirst, sum.nodes.nLast);
    double area = 0.0;
    std::map<unsigned int, int> uses;
    for (unsigned int k = slab.elems.nFirst; k <= slab.elems.nLast; ++k) {
        T_ELEM_D e;
        ASSERT_TRUE(CClassElem(doc.GetModelDB()).Get(k, e));
        ASSERT_EQ(e.aNodeK.GetSize(), 8) << "plate " << k;
        EXPECT_EQ(e.nType, kElemPlate);
        EXPECT_EQ(e.nPropK, slab.nAttrK);
        EXPECT_EQ(e.nMatlK, slab.nMatlK);
        double c[4][3];
        for (int n = 0; n < 4; ++n) {
            EXPECT_TRUE(sum.nodes.Contains(e.aNodeK[n])) << "plate " << k << " corner " << n;
            const T_NODE_D p = Node(e.aNodeK[n]);
            for (int d = 0; d < 3; ++d)
                c[n][d] = p.dXyz[d];
            EXPECT_EQ(c[n][2], -9.0);
            EXPECT_GE(c[n][0], 0.0);
            EXPECT_LE(c[n][0], sum.dWallX);
        }
        // Shoelace area, positive when the corners run counter-clockwise seen from above.
        double a = 0.0;
        for (int n = 0; n < 4; ++n)
            a += c[n][0] * c[(n + 1) % 4][1] - c[(n + 1) % 4][0] * c[n][1];
        EXPECT_NEAR(a / 2.0, 4.0 / (r * r), 1e-12) << "plate " << k;
        area += a / 2.0;
        for (int s = 0; s < 4; ++s) {
            const unsigned int m = e.aNodeK[4 + s];
            EXPECT_TRUE(slab.midsideNodes.Contains(m)) << "plate " << k << " side " << s;
            ++uses[m];
            const T_NODE_D p = Node(m);
            for (int d = 0; d < 3; ++d)
                EXPECT_DOUBLE_EQ(p.dXyz[d], (c[s][d] + c[(s + 1) % 4][d]) / 2.0) << "plate " << k << " side " << s;
        }
    }
    EXPECT_NEAR(area, sum.dWallX * 8.0, 1e-9);
    // Inner sides belong to two plates, sides on the slab's edge to one.
    int inner = 0;
    for (const auto& [m, n] : uses) {
        EXPECT_TRUE(n == 1 || n == 2) << "node " << m;
        inner += n == 2;
    }
    EXPECT_EQ(static_cast<unsigned int>(uses.size()), slab.midsideNodes.Count());
    EXPECT_EQ(static_cast<unsigned int>(inner), (nx - 1) * ny + (ny - 1) * nx);
}

TEST_P(SampleSlabGeometry, PlateBesideTheWallHasTwoCornersOnItAndTheSlabsSection)
{
    T_ELEM_D e;
    ASSERT_TRUE(CClassElem(doc.GetModelDB()).Get(slab.nWallK, e));
    int onWall = 0;
    for (int n = 0; n < 4; ++n) {
        const T_NODE_D p = Node(e.aNodeK[n]);
        onWall += p.dXyz[0] == sum.dWallX;
        EXPECT_LE(p.dXyz[1], 2.0);
    }
    EXPECT_EQ(onWall, 2);
    T_GPRO_D sec;
    T_ATTR_D a;
    ASSERT_TRUE(CClassAttr(doc.GetModelDB()).Get(slab.nAttrK, a));
    EXPECT_EQ(a.nType, kAttrPlate);
    ASSERT_TRUE(CClassGpro(doc.GetModelDB()).Get(a.nGproK, sec));
    EXPECT_EQ(sec.dThickness, slab.dThickness);
}

TEST_P(SampleSlabGeometry, SecondSlabIsRefusedAndWritesNothing)
{
    const int nodes = CClassNode(doc.GetModelDB()).GetCount();
    const int attrs = CClassAttr(doc.GetModelDB()).GetCount();
    const int gpros = CClassGpro(doc.GetModelDB()).GetCount();
    SlabSummary again;
    std::string err;
    EXPECT_FALSE(BuildSampleSlab(doc, sum, again, &err));
    EXPECT_FALSE(err.empty());
    EXPECT_EQ(CClassNode(doc.GetModelDB()).GetCount(), nodes);
    EXPECT_EQ(CClassAttr(doc.GetModelDB()).GetCount(), attrs);
    EXPECT_EQ(CClassGpro(doc.GetModelDB()).GetCount(), gpros);
}

INSTANTIATE_TEST_SUITE_P(Refinements, SampleSlabGeometry, ::testing::Values(1, 2),
                         [](const ::testing::TestParamInfo<int>& i) { return "Refine" + std::to_string(i.param); });

TEST(SampleSlabInput, ProjectWithoutGridOrWallGetsNoSlab)
{
    CDBDoc doc;
    SampleSummary sum;
    SlabSummary slab;
    std::string err;
    EXPECT_FALSE(BuildSampleSlab(doc, sum, slab, &err));
    EXPECT_FALSE(err.empty());
    EXPECT_EQ(CClassNode(doc.GetModelDB()).GetCount(), 0);
    EXPECT_EQ(CClassGpro(doc.GetModelDB()).GetCount(), 0);
}

TEST(SampleSlabFunctions, OneCentreMomentOfThePlateBesideTheWallPerCase)
{
    CDBDoc doc;
    SlabSummary slab;
    slab.nWallK = 50005;
    const std::vector<unsigned int> keys = StoreSampleSlabFunctions(doc, slab);
    ASSERT_EQ(keys.size(), 2u);
    const unsigned int cases[2] = {kAcasQuakeModal, kAcasQuakeDirect};
    for (std::size_t i = 0; i < 2; ++i) {
        T_THRD_D f;
        ASSERT_TRUE(CClassThrd(doc.GetModelDB()).Get(keys[i], f));
        EXPECT_EQ(f.nCode, 4);
        EXPECT_EQ(f.nResultKind, 2);
        EXPECT_EQ(f.nPosition, 0);
        EXPECT_EQ(f.nComponent, 3);
        EXPECT_EQ(f.nEntityK, slab.nWallK);
        EXPECT_EQ(f.nAcasK, cases[i]);
    }
}

// The result files of the project with and without its slab.
class SampleSlabFiles : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        s_dir = std::make_unique<kvpvs::testing::TempDir>("kvpvs_sample_slab");
        DynamicsOptions opt;
        opt.nSteps = 5;
        std::string err;
        s_docPtr = std::make_unique<CDBDoc>();
        CDBDoc& doc = *s_docPtr;
        s_built = BuildSampleProject(doc, SampleOptions(), s_sum, &err) &&
                  WriteSampleResultFiles(doc, s_dir->file("plain"), opt, &s_plain, &err) &&
                  BuildSampleSlab(doc, s_sum, s_slab, &err) &&
                  WriteSampleResultFiles(doc, s_dir->file("slab"), opt, &s_files, &err);
        s_error = err;
    }
    static void TearDownTestSuite()
    {
        s_docPtr.reset();
        s_dir.reset();
    }
    void SetUp() override { ASSERT_TRUE(s_built) << s_error; }
    void TearDown() override { DirectUnits::Close(UNIT); }

    // First record of data set (key, sub-id 3) of a '2' file, the unit left open; 0 when absent.
    static int Locate(const std::string& name, const char* key, int& count)
    {
        int first = 0, words = 0, status = -1;
        count = 0;
        open_keyed_file(UNIT, name.data(), static_cast<int>(name.size()), 2, key, 3, first, words, count, status);
        return status == KEYED_FOUND ? first : 0;
    }

    static inline std::unique_ptr<CDBDoc> s_docPtr;
    static inline SampleSummary s_sum;
    static inline SlabSummary s_slab;
    static inline SampleResultFiles s_plain, s_files;
    static inline std::unique_ptr<kvpvs::testing::TempDir> s_dir;
    static inline bool s_built = false;
    static inline std::string s_error;
};

TEST_F(SampleSlabFiles, PlthRecordsHoldTheDocumentsNodesEquationsSectionAndMaterial)
{
    ASSERT_EQ(s_files.quadPlateRecord.size(), s_slab.elems.Count());
    int count = 0;
    const int first = Locate(s_files.strElemFile, "PLTH", count);
    ASSERT_NE(first, 0);
    EXPECT_EQ(count, static_cast<int>(s_slab.elems.Count()));
    T_GMAT_D m;
    ASSERT_TRUE(CClassGmat(s_docPtr->GetModelDB()).Get(s_slab.nMatlK, m));
    std::set<int> records;
    for (const auto& [k, nRecord] : s_files.quadPlateRecord) {
        ASSERT_TRUE(s_slab.elems.Contains(k));
        records.insert(nRecord);
        T_ELEM_D e;
        ASSERT_TRUE(CClassElem(s_docPtr->GetModelDB()).Get(k, e));
        double v[84];
        ASSERT_EQ(DirectUnits::ReadDoubles(UNIT, nRecord + first - 1, v, 84), dforrt::IO_OK);
        EXPECT_EQ(v[48], 48.0) << "plate " << k;   // equation count
        EXPECT_EQ(v[51], 8.0) << "plate " << k;    // node count
        for (int n = 0; n < 8; ++n) {
            EXPECT_EQ(v[52 + n], static_cast<double>(e.aNodeK[n])) << "plate " << k;
            const std::array<int, 6>& eq = s_files.equations.at(e.aNodeK[n]);
            for (int d = 0; d < 6; ++d)
                EXPECT_EQ(v[6 * n + d], static_cast<double>(eq[static_cast<std::size_t>(d)])) << "plate " << k;
        }
        EXPECT_EQ(v[60], s_slab.dThickness);
        EXPECT_EQ(v[61], s_slab.dThickness);
        EXPECT_EQ(v[71], m.dElast);
        EXPECT_EQ(v[72], m.dPoisson);
    }
    // Records 1.. in key order.
    EXPECT_EQ(*records.begin(), 1);
    EXPECT_EQ(*records.rbegin(), static_cast<int>(s_slab.elems.Count()));
    EXPECT_EQ(s_files.quadPlateRecord.at(s_slab.elems.nFirst), 1);
}

TEST_F(SampleSlabFiles, MidsideNodesHaveCoordinatesAndEquationsAfterTheProjectsOwn)
{
    int count = 0;
    const int first = Locate(s_files.strElemFile, "CORD", count);
    ASSERT_NE(first, 0);
    for (unsigned int k = s_slab.midsideNodes.nFirst; k <= s_slab.midsideNodes.nLast; ++k) {
        double v[3];
        ASSERT_EQ(DirectUnits::ReadDoubles(UNIT, k + first - 1, v, 3), dforrt::IO_OK);
        T_NODE_D n;
        ASSERT_TRUE(CClassNode(s_docPtr->GetModelDB()).Get(k, n));
        EXPECT_EQ(v[0], n.dXyz[0]);
        EXPECT_EQ(v[1], n.dXyz[1]);
        EXPECT_EQ(v[2], n.dXyz[2]);
    }
    // The project's nodes keep their equations; the slab's follow them; the slab's elements
    // follow the project's.
    for (const auto& [k, eq] : s_plain.equations)
        EXPECT_EQ(s_files.equations.at(k), eq) << "node " << k;
    for (const auto& [k, n] : s_plain.elementNumber)
        EXPECT_EQ(s_files.elementNumber.at(k), n) << "element " << k;
    EXPECT_GT(s_files.nEquations, s_plain.nEquations);
    EXPECT_EQ(s_files.plateRecord, s_plain.plateRecord);
    EXPECT_EQ(s_files.solidRecord, s_plain.solidRecord);
}

TEST_F(SampleSlabFiles, ProjectWithoutSlabHasNoPlthDataSet)
{
    EXPECT_TRUE(s_plain.quadPlateRecord.empty());
    int count = 0;
    EXPECT_EQ(Locate(s_plain.strElemFile, "PLTH", count), 0);
}

TEST_F(SampleSlabFiles, SlabPlateWithoutSectionIsReportedAndNoFileWritten)
{
    CDBDoc doc;
    SampleSummary sum;
    SlabSummary slab;
    ASSERT_TRUE(BuildSampleProject(doc, SampleOptions(), sum));
    ASSERT_TRUE(BuildSampleSlab(doc, sum, slab));
    T_ELEM_D e;
    ASSERT_TRUE(CClassElem(doc.GetModelDB()).Get(slab.nWallK, e));
    e.nPropK = 999999;
    CClassElem(doc.GetModelDB()).Set(slab.nWallK, e);
    DynamicsOptions opt;
    opt.nSteps = 2;
    std::string err;
    const std::string base = s_dir->file("broken");
    EXPECT_FALSE(WriteSampleResultFiles(doc, base, opt, nullptr, &err));
    EXPECT_NE(err.find(std::to_string(slab.nWallK)), std::string::npos) << err;
    EXPECT_FALSE(std::filesystem::exists(base + ".ka2"));
}

} // namespace
} // namespace kvpvs::sample
