// The sample's result files read back through the production readers: element and material
// records and coordinates as the document holds them, and the shaking's displacement history
// the same from the modal and the direct history and equal to its closed form.
#include "SampleDynamics.h"
#include "SampleProject.h"
#include "SampleResultFiles.h"
#include "SampleSchema.h"
#include "TempDir.h"

#include "recovery/drivers/element_results.h"
#include "recovery/drivers/family_dispatch.h"
#include "recovery/drivers/keyed_result_file.h"
#include "recovery/drivers/record_readers.h"

#include <DFORRT/DirectUnits.h>

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <filesystem>
#include <memory>
#include <ostream>
#include <string>

namespace kvpvs::sample {
namespace {

using namespace kvpvs::recovery;
using dforrt::DirectUnits;

constexpr int UNIT = 45;

// The sample's shaking, cut to its first 40 steps.
DynamicsOptions ShortShaking()
{
    DynamicsOptions o;
    o.nSteps = 40;
    return o;
}

// The element whose history the family double reads: its node keys and equations.
struct ReadElement {
    int nodes[4] = {};
    int equations[24] = {};
};
ReadElement g_read;

// Family double: the readers' part of a family routine; rows 1..24 the displacements, rows
// 25..48 the same in nodal axes.
void reading_family(DriverBuildState& build, double* work, int /*axes_option*/)
{
    const int columns = value_columns(build);
    std::vector<double> d(static_cast<std::size_t>(MAX_ELEMENT_DOFS) * static_cast<std::size_t>(columns));
    std::vector<double> a(d.size());
    read_element_data(build, d.data(), a.data(), 24, g_read.equations, g_read.nodes, 4, 0);
    for (int i = 0; i < columns; ++i)
        for (int j = 0; j < 24; ++j) {
            work[j + WORK_ROWS * i] = d[static_cast<std::size_t>(j + MAX_ELEMENT_DOFS * i)];
            work[24 + j + WORK_ROWS * i] = a[static_cast<std::size_t>(j + MAX_ELEMENT_DOFS * i)];
        }
}

class SampleResultFilesTest : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        s_dir = std::make_unique<kvpvs::testing::TempDir>("kvpvs_sample_rf");
        s_base = std::make_unique<std::string>(s_dir->file("sample"));
        s_doc = std::make_unique<CDBDoc>();
        s_sum = std::make_unique<SampleSummary>();
        s_files = std::make_unique<SampleResultFiles>();
        std::string err;
        s_built = BuildSampleProject(*s_doc, SampleOptions(), *s_sum, &err)
                  && WriteSampleResultFiles(*s_doc, *s_base, ShortShaking(), s_files.get(), &err);
        s_error = err;
    }
    static void TearDownTestSuite()
    {
        s_doc.reset();
        s_dir.reset();
    }
    void SetUp() override { ASSERT_TRUE(s_built) << s_error; }
    void TearDown() override
    {
        DirectUnits::Close(UNIT);
        family_table(Build::history).fill(nullptr);
        family_table(Build::single_step).fill(nullptr);
    }

    // Opens data set (key, sub-id 3) of the '2' file on the test's unit; its first record.
    int locate(const char* key)
    {
        const std::string& name = s_files->strElemFile;
        int first = 0, words = 0, count = 0, status = -1;
        open_keyed_file(UNIT, name.data(), static_cast<int>(name.size()), 2, key, 3, first, words, count, status);
        EXPECT_EQ(status, KEYED_FOUND) << key;
        return first;
    }
    T_ELEM_D element(unsigned int k)
    {
        T_ELEM_D e;
        EXPECT_TRUE(CClassElem(s_doc->GetModelDB()).Get(k, e));
        return e;
    }
    T_NODE_D node(unsigned int k)
    {
        T_NODE_D n;
        EXPECT_TRUE(CClassNode(s_doc->GetModelDB()).Get(k, n));
        return n;
    }
    // The wall plate's or soil element's first four nodes with their equations.
    void choose(unsigned int elemK)
    {
        const T_ELEM_D e = element(elemK);
        for (int k = 0; k < 4; ++k) {
            g_read.nodes[k] = static_cast<int>(e.aNodeK[k]);
            const std::array<int, 6>& eq = s_files->equations.at(e.aNodeK[k]);
            for (int d = 0; d < 6; ++d)
                g_read.equations[6 * k + d] = eq[static_cast<std::size_t>(d)];
        }
    }
    // Closed form of the shaking: u = sum over modes of q(m, t) s(m, node, d).
    double closed_form(int nodeK, int d, int step)
    {
        const T_NODE_D n = node(static_cast<unsigned int>(nodeK));
        double u = 0.0;
        for (int m = 1; m <= s_files->nModes; ++m) {
            double q = 0.0, v = 0.0, a = 0.0;
            QuakeModalCoordinate(m - 1, s_files->dDt * step, q, v, a);
            u += q * SampleModeShape(m, n.dXyz, s_files->dBaseZ, s_files->dHeight, d);
        }
        return u;
    }
    std::vector<double> history(int row, int historyId, int kind, unsigned int elemK)
    {
        std::vector<double> out(static_cast<std::size_t>(s_files->nSteps), -1.0);
        history_build::element_results(s_base->data(), static_cast<int>(s_base->size()), kind, 0, row, historyId,
                                       s_files->nSteps, kResultProduct, 0, out.data(), 0,
                                       s_files->elementNumber.at(elemK));
        return out;
    }
    double step(int row, int historyId, int kind, unsigned int elemK, int s)
    {
        double v = -1.0;
        step_build::element_results(s_base->data(), static_cast<int>(s_base->size()), kind, 0, row, historyId,
                                    s_files->nSteps, s, kResultProduct, 0, &v, 0, s_files->elementNumber.at(elemK));
        return v;
    }

    static inline std::unique_ptr<kvpvs::testing::TempDir> s_dir;
    static inline std::unique_ptr<std::string> s_base;
    static inline std::unique_ptr<CDBDoc> s_doc;
    static inline std::unique_ptr<SampleSummary> s_sum;
    static inline std::unique_ptr<SampleResultFiles> s_files;
    static inline bool s_built = false;
    static inline std::string s_error;
};

TEST_F(SampleResultFilesTest, ElementRecordsHoldTheDocumentsMaterialAndNodes)
{
    const int first = locate("ELMT");
    // A soil hexahedron of each layer, a wall plate, a beam and a truss strut, a pile.
    std::vector<unsigned int> keys;
    for (const SoilLayer& l : s_sum->layers)
        keys.push_back(l.elems.nFirst);
    keys.insert(keys.end(), {s_sum->wall.nLast, s_sum->beamStruts.nFirst, s_sum->trussStruts.nLast, s_sum->piles.nFirst});
    for (unsigned int k : keys) {
        const T_ELEM_D e = element(k);
        std::int32_t w[10];
        ASSERT_EQ(DirectUnits::ReadInts(UNIT, s_files->elementNumber.at(k) + first - 1, w, 10), dforrt::IO_OK);
        EXPECT_EQ(w[0], static_cast<std::int32_t>(e.nMatlK)) << "element " << k;
        ASSERT_EQ(w[1], e.aNodeK.GetSize()) << "element " << k;
        for (int j = 0; j < w[1]; ++j)
            EXPECT_EQ(w[2 + j], static_cast<std::int32_t>(e.aNodeK[j])) << "element " << k;
    }
    // Element numbers run 1.. in key order over every element of the model.
    EXPECT_EQ(static_cast<int>(s_files->elementNumber.size()), CClassElem(s_doc->GetModelDB()).GetCount());
    EXPECT_EQ(s_files->elementNumber.begin()->second, 1);
}

TEST_F(SampleResultFilesTest, ElementRecordReaderFindsTheLayersMaterial)
{
    // The entry reads the element's material before the family: E and nu of the layer's soil
    // and of the wall's concrete, as the document's material records give them.
    family_table(Build::history).fill(nullptr);
    CClassGmat matls(s_doc->GetModelDB());
    for (unsigned int k : {s_sum->layers[0].elems.nFirst, s_sum->layers[2].elems.nLast, s_sum->wall.nFirst}) {
        T_GMAT_D m;
        ASSERT_TRUE(matls.Get(element(k).nMatlK, m));
        history(1, kResultHistoryDirect, k >= s_sum->wall.nFirst ? 3 : 4, k);
        EXPECT_EQ(shared_blocks().material_block.elastic_modulus, m.dElast) << "element " << k;
        EXPECT_EQ(shared_blocks().material_block.poisson_ratio, m.dPoisson) << "element " << k;
        EXPECT_EQ(shared_blocks().material_block.material_type, 0);
    }
}

TEST_F(SampleResultFilesTest, CentreLineAndBaseAreHeldAsTheShakingHoldsThem)
{
    // Symmetry on x = 0 holds u, theta-y and theta-z; the base holds all six; others are free.
    int held = 0;
    for (const auto& [k, eq] : s_files->equations) {
        const T_NODE_D n = node(k);
        const bool base = n.dXyz[2] == s_files->dBaseZ;
        const bool centre = n.dXyz[0] == 0.0;
        for (int d = 0; d < 6; ++d) {
            const bool expectHeld = base || (centre && (d == 0 || d == 4 || d == 5));
            EXPECT_EQ(eq[static_cast<std::size_t>(d)] == 0, expectHeld) << "node " << k << " dof " << d + 1;
            held += eq[static_cast<std::size_t>(d)] == 0;
        }
    }
    EXPECT_EQ(s_files->nEquations + held, 6 * static_cast<int>(s_files->equations.size()));
}

TEST_F(SampleResultFilesTest, CoordinatesAreTheNodes)
{
    const int first = locate("CORD");
    for (unsigned int k : {s_sum->nodes.nFirst, s_sum->nPileTipNodeK, s_sum->nodes.nLast}) {
        double v[3];
        ASSERT_EQ(DirectUnits::ReadDoubles(UNIT, k + first - 1, v, 3), dforrt::IO_OK);
        const T_NODE_D n = node(k);
        EXPECT_EQ(v[0], n.dXyz[0]);
        EXPECT_EQ(v[1], n.dXyz[1]);
        EXPECT_EQ(v[2], n.dXyz[2]);
    }
}

// Rows of the family double: displacement j at row j, in nodal axes at row 24 + j.
struct HistoryCase {
    const char* name;
    int historyId;
};

void PrintTo(const HistoryCase& c, std::ostream* os) { *os << c.name << " history " << c.historyId; }

class SampleHistory : public SampleResultFilesTest, public ::testing::WithParamInterface<HistoryCase> {};

TEST_P(SampleHistory, WallPlateMovesAsTheClosedFormOfTheShaking)
{
    family_table(Build::history).fill(reading_family);
    family_table(Build::single_step).fill(reading_family);
    const unsigned int plate = s_sum->wall.nLast;  // at the surface
    choose(plate);
    // Node 1's x translation, node 3's y translation and rotation about y.
    for (int j : {1, 14, 17}) {
        const std::vector<double> h = history(j, GetParam().historyId, 3, plate);
        const std::vector<double> axes = history(24 + j, GetParam().historyId, 3, plate);
        const int k = (j - 1) / 6;
        const int d = (j - 1) % 6 + 1;
        for (int s : {1, 17, s_files->nSteps}) {
            const double u = closed_form(g_read.nodes[k], d, s);
            EXPECT_NEAR(h[static_cast<std::size_t>(s - 1)], u, 1e-15) << "dof " << j << " step " << s;
            // Identity nodal axes.
            EXPECT_EQ(axes[static_cast<std::size_t>(s - 1)], h[static_cast<std::size_t>(s - 1)]);
            // The single-step build gives the history's value of that step.
            EXPECT_EQ(step(j, GetParam().historyId, 3, plate, s), h[static_cast<std::size_t>(s - 1)]);
        }
        EXPECT_NE(h[16], 0.0);
    }
}

TEST_P(SampleHistory, SoilOnTheBaseStaysAtRest)
{
    family_table(Build::history).fill(reading_family);
    const unsigned int soil = s_sum->layers.back().elems.nFirst;  // bottom face on the base
    choose(soil);
    ASSERT_EQ(s_files->equations.at(static_cast<unsigned int>(g_read.nodes[0]))[0], 0);
    for (int j = 1; j <= 24; ++j)
        for (double v : history(j, GetParam().historyId, 4, soil))
            EXPECT_EQ(v, 0.0) << "dof " << j;
}

INSTANTIATE_TEST_SUITE_P(Histories, SampleHistory,
                         ::testing::Values(HistoryCase{"Modal", kResultHistoryModal},
                                           HistoryCase{"Direct", kResultHistoryDirect}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(SampleResultFilesTest, ModalAndDirectHistoriesAgreeBitForBit)
{
    family_table(Build::history).fill(reading_family);
    const unsigned int soil = s_sum->layers.front().elems.nLast;  // at the surface, far side
    choose(soil);
    for (int j = 1; j <= 24; ++j)
        EXPECT_EQ(history(j, kResultHistoryModal, 4, soil), history(j, kResultHistoryDirect, 4, soil)) << "dof " << j;
}

TEST_F(SampleResultFilesTest, EntryWithoutFamilyRoutinesReturnsZerosAndClosesTheFiles)
{
    // The family routines come later: every kind of the sample's elements answers zeros.
    for (auto [k, kind] : {std::pair{s_sum->soil.nFirst, 4}, std::pair{s_sum->wall.nFirst, 3}}) {
        for (int id : {kResultHistoryModal, kResultHistoryDirect}) {
            for (double v : history(25, id, kind, k))
                EXPECT_EQ(v, 0.0);
            EXPECT_EQ(step(25, id, kind, k, 3), 0.0);
        }
    }
    EXPECT_FALSE(DirectUnits::IsOpen(32));
    EXPECT_FALSE(DirectUnits::IsOpen(36));
    EXPECT_FALSE(DirectUnits::IsOpen(63));
}

TEST(SampleResultFilesOptions, OutOfRangeOrEmptyModelWritesNothing)
{
    CDBDoc doc;
    std::string err;
    const kvpvs::testing::TempDir dir("kvpvs_sample_rf");
    const std::string base = dir.file("none");
    EXPECT_FALSE(WriteSampleResultFiles(doc, base, ShortShaking(), nullptr, &err));
    EXPECT_FALSE(err.empty());
    DynamicsOptions bad = ShortShaking();
    bad.nModes = 9;
    EXPECT_FALSE(WriteSampleResultFiles(doc, base, bad, nullptr, &err));
    EXPECT_FALSE(std::filesystem::exists(base + ".ka2"));
}

} // namespace
} // namespace kvpvs::sample
