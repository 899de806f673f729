// Every family beside the others: one result set holding an element of each plane and solid
// family. No family's retained state reaches the next element, the single-step build gives
// the history build's values step by step, and damaged records give zero rows.
#include "family_fixture.h"

#include "recovery/drivers/result_units.h"
#include "result_files/reference_shell.h"

#include <DFORRT/DirectUnits.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <optional>

namespace {

using namespace kvpvs::testing;
namespace rf = kvpvs::resultfiles;

struct Member {
    int kind;
    int element_type;
    int axes_option;
    const char* name;
};

// The elements of the set; the PSOH data set holds a 20-node hexahedron and a 10-node
// tetrahedron. Plates take option 0, as the history functions pass it for their kinds.
const Member MEMBERS[] = {{2, 1, 1, "LinearPlaneStrain"},    {1, 1, 0, "LinearPlaneStress"},
                          {4, 1, 0, "LinearSolid"},          {5, 1, 0, "QuadraticPlaneStress"},
                          {6, 1, 1, "QuadraticPlaneStrain"}, {8, 1, 0, "QuadraticHexahedron"},
                          {8, 2, 1, "QuadraticTetrahedron"}, {3, 1, 0, "LinearPlate"},
                          {7, 1, 0, "QuadraticPlate"}};

std::vector<double> numbers(int first, int count)
{
    std::vector<double> v;
    for (int i = 0; i < count; ++i)
        v.push_back(first + i);
    return v;
}

// Family records of the set, by data set key, before they are written.
struct Zoo {
    std::vector<std::pair<std::string, std::vector<std::vector<double>>>> sets;

    std::vector<std::vector<double>>& operator[](const std::string& key)
    {
        for (auto& s : sets)
            if (s.first == key)
                return s.second;
        sets.push_back({key, {}});
        return sets.back().second;
    }
};

class FamilySet : public FamilyTest {
protected:
    // Records and nodes of every member; equations of each element from its own base.
    Zoo make_zoo(int moving_from = 1, int moving_to = 900)
    {
        Zoo zoo;
        // Linear plane elements: a parallelogram in a tilted plane, nodes 1..4.
        const auto R = rotation({0.0, 0.6, 0.8}, 0.5);
        std::vector<Point3> quad;
        for (const Point3& p : std::vector<Point3>{{0, 0, 0}, {2, 0, 0}, {2.5, 1.5, 0}, {0.5, 1.5, 0}})
            quad.push_back(turn_point(R, p));
        set_nodes(quad, 1);
        for (int strain = 0; strain < 2; ++strain) {
            rf::PlaneRecordFacts f;
            f.equations = rf::node_equations(4, 1);
            f.matrix = rf::plane_reference_matrix(quad, E, NU, 0.2, strain == 1);
            f.node_count = 4;
            f.nodes = {1, 2, 3, 4};
            for (std::size_t k = 0; k < 4; ++k)
                f.xyz[k] = quad[k];
            f.section[0] = f.section[1] = 0.2;
            f.material = {E, NU, 0, {}};
            f.code = strain;
            zoo[strain ? "PSRN" : "PSTR"].push_back(rf::plane_record_values(f));
        }
        // Linear solid: the reference hexahedron, a turned frame.
        {
            std::vector<Point3> hex;
            const double sx[8] = {-1, 1, 1, -1, -1, 1, 1, -1}, sy[8] = {-1, -1, 1, 1, -1, -1, 1, 1},
                         sz[8] = {1, 1, 1, 1, -1, -1, -1, -1};
            for (int k = 0; k < 8; ++k)
                hex.push_back({1 + sx[k], 0.75 * (1 + sy[k]), 0.5 * (1 + sz[k])});
            rf::SolidRecordFacts f;
            f.equations = rf::node_equations(8, 101);
            f.matrix = rf::solid_reference_matrix(hex, E, NU);
            f.T = rotation({0.48, 0.6, 0.64}, 0.3);
            zoo["SOLD"].push_back(rf::solid_record_values(f));
        }
        // Quadratic plane stress: an 8-node parallelogram, nodes 21..28.
        {
            const double xi[8] = {-1, 1, 1, -1, 0, 1, 0, -1}, eta[8] = {-1, -1, 1, 1, -1, 0, 1, 0};
            std::vector<Point3> x;
            for (int k = 0; k < 8; ++k)
                x.push_back(turn_point(R, {1 + xi[k] + 0.3 * eta[k], 0.8 * (1 + eta[k]), 0.0}));
            set_nodes(x, 21);
            rf::QuadraticPlaneFacts f;
            f.equations = rf::node_equations(8, 201);
            f.nodes = numbers(21, 8);
            f.section[0] = 0.3;
            f.material = {E, NU, 0, {}};
            zoo["PSTH"].push_back(rf::plane_stress_record_values(f));
        }
        // Quadratic plane strain: a 6-node triangle in the X-Z plane, nodes 31..36.
        {
            const double c[6][2] = {{0, 0}, {2, 0}, {0.5, 1.5}, {1, 0}, {1.25, 0.75}, {0.25, 0.75}};
            std::vector<Point3> x;
            for (const auto& p : c)
                x.push_back({p[0], 0.4, p[1]});
            set_nodes(x, 31);
            rf::QuadraticPlaneFacts f;
            f.equations = rf::node_equations(6, 301);
            f.node_count = 6;
            f.nodes = numbers(31, 6);
            f.material = {E, NU, 0, {}};
            f.axis_indices = {1, 3, 2};
            f.axis_vector = {1, 0, 0};
            zoo["PSRH"].push_back(rf::plane_strain_record_values(f));
        }
        // Quadratic solids: a 20-node hexahedron (nodes 41..60), a 10-node tetrahedron (61..70).
        {
            set_nodes(hexahedron20({0, 0, 0}, {2, 1.5, 1}), 41);
            set_nodes(tetrahedron10({1, 1, 1}, {1, 2, 1.5}), 61);
            rf::QuadraticSolidFacts f;
            f.equations = rf::node_equations(20, 401);
            f.node_count = 20;
            f.nodes = numbers(41, 20);
            f.material = {E, NU, 0, {}};
            zoo["PSOH"].push_back(rf::quadratic_solid_record_values(f));
            f.equations = rf::node_equations(10, 601);
            f.node_count = 10;
            f.nodes = numbers(61, 10);
            zoo["PSOH"].push_back(rf::quadratic_solid_record_values(f));
        }
        // A flat shell on the linear plane elements' nodes (equations 701..724) and an 8-node
        // rectangular plate in the tilted plane, nodes 71..78 (equations 801..848).
        {
            rf::PlateRecordFacts f;
            f.equations = numbers(701, 24);
            std::vector<rf::Point3> corners(quad.begin(), quad.end());
            f.matrix = rf::shell_stiffness_global(corners, rf::flat_element_axes(corners), {E, NU, 0.2, 0.25});
            f.matrix_rows = 24;
            f.stored_nodes = 4;
            for (std::size_t k = 0; k < 4; ++k) {
                f.nodes[k] = static_cast<double>(k + 1);
                f.xyz[k] = quad[k];
            }
            f.section[0] = 0.2;
            f.section[1] = 0.25;
            f.E = E;
            f.nu = NU;
            zoo["PLAT"].push_back(rf::plate_record_values(f));
            const double xi[8] = {-1, 1, 1, -1, 0, 1, 0, -1}, eta[8] = {-1, -1, 1, 1, -1, 0, 1, 0};
            std::vector<Point3> x;
            for (int k = 0; k < 8; ++k)
                x.push_back(turn_point(R, {3 + xi[k], 2 + 0.6 * eta[k], 0.5}));
            set_nodes(x, 71);
            rf::QuadPlateRecordFacts q;
            q.equations = numbers(801, 48);
            q.node_count = 8;
            for (std::size_t k = 0; k < 8; ++k)
                q.nodes[k] = static_cast<double>(71 + k);
            q.section[0] = 0.2;
            q.section[1] = 0.25;
            q.E = E;
            q.nu = NU;
            zoo["PLTH"].push_back(rf::plth_record_values(q));
        }
        // Every equation moves: a smooth, non-rigid series over three steps.
        for (int e = moving_from; e <= moving_to; ++e) {
            std::vector<double> series;
            for (int s = 1; s <= 3; ++s)
                series.push_back(1e-4 * std::sin(0.37 * e + 0.9 * s));
            builder.set_direct_series(1, e, series);
        }
        return zoo;
    }
    void write_zoo(const Zoo& zoo)
    {
        for (const auto& [key, records] : zoo.sets)
            rf::add_element_records(builder, key, 3, records);
        write();
    }
};

TEST_F(FamilySet, EveryFamilyAfterEveryOtherGivesWhatItGivesAlone)
{
    write_zoo(make_zoo());
    for (Build b : {Build::history, Build::single_step}) {
        auto go = [&](const Member& m) {
            return b == Build::history ? run(m.kind, m.element_type, m.axes_option, 3).work
                                       : run_step(m.kind, m.element_type, m.axes_option, 3, 2).work;
        };
        for (const Member& later : MEMBERS) {
            const std::vector<double> alone = go(later);
            ASSERT_TRUE(std::any_of(alone.begin(), alone.end(), [](double v) { return v != 0.0; })) << later.name;
            // Also within a display's hold on the files, which keeps them open from call to call.
            for (bool held : {false, true}) {
                std::optional<kvpvs::recovery::ResultFileSession> session;
                if (held)
                    session.emplace();
                for (const Member& earlier : MEMBERS) {
                    go(earlier);
                    EXPECT_EQ(go(later), alone) << later.name << " after " << earlier.name
                                                << (b == Build::history ? " (history)" : " (single step)")
                                                << (held ? " held" : "");
                }
            }
        }
    }
}

TEST_F(FamilySet, SingleStepBuildGivesTheHistoryValueOfEachStep)
{
    write_zoo(make_zoo());
    for (const Member& m : MEMBERS) {
        const std::vector<double> history = run(m.kind, m.element_type, m.axes_option, 3).work;
        for (int s = 1; s <= 3; ++s) {
            const std::vector<double> one = run_step(m.kind, m.element_type, m.axes_option, 3, s).work;
            ASSERT_EQ(one.size(), 350u);
            double scale = 0.0;
            for (int r = 0; r < 350; ++r)
                scale = std::max(scale, std::fabs(history[static_cast<std::size_t>(r + 350 * (s - 1))]));
            ASSERT_GT(scale, 0.0) << m.name;
            for (int r = 0; r < 350; ++r)
                EXPECT_NEAR(one[static_cast<std::size_t>(r)], history[static_cast<std::size_t>(r + 350 * (s - 1))], 1e-12 * scale)
                    << m.name << " step " << s << " row " << r + 1;
        }
    }
}

// A damaged second record of a family's data set, read after the family's good first one.
struct Damage {
    const char* name;
    const char* key;
    int kind;
    int word;      // 0-based word of the record to overwrite
    double value;
};

void PrintTo(const Damage& d, std::ostream* os) { *os << d.name; }

class DamagedRecord : public FamilySet, public ::testing::WithParamInterface<Damage> {};

TEST_P(DamagedRecord, GivesZeroRowsAfterAGoodElement)
{
    const Damage d = GetParam();
    Zoo zoo = make_zoo();
    std::vector<double> bad = zoo[d.key].front();
    bad[static_cast<std::size_t>(d.word)] = d.value;
    zoo[d.key].resize(1);
    zoo[d.key].push_back(bad);
    write_zoo(zoo);
    for (int option : {0, 1}) {
        const Captured& good = run(d.kind, 1, option, 3);
        ASSERT_TRUE(std::any_of(good.work.begin(), good.work.end(), [](double v) { return v != 0.0; }));
        const Captured& w = run(d.kind, 2, option, 3);
        EXPECT_TRUE(std::all_of(w.work.begin(), w.work.end(), [](double v) { return v == 0.0; })) << "history build";
        run_step(d.kind, 1, option, 3, 2);
        const Captured& one = run_step(d.kind, 2, option, 3, 2);
        EXPECT_TRUE(std::all_of(one.work.begin(), one.work.end(), [](double v) { return v == 0.0; })) << "single step";
    }
}

const double NOT_A_NUMBER = std::nan("");

INSTANTIATE_TEST_SUITE_P(
    Records, DamagedRecord,
    ::testing::Values(Damage{"PlaneDofCountAbove24", "PSRN", 2, 672, 25}, Damage{"PlaneRowCountAbove27", "PSRN", 2, 673, 28},
                      Damage{"PlaneNodeCountFive", "PSTR", 1, 675, 5}, Damage{"PlaneNodeCountTwo", "PSTR", 1, 675, 2},
                      Damage{"PlaneMatrixValueNotANumber", "PSRN", 2, 40, NOT_A_NUMBER},
                      Damage{"SolidNodeCountNine", "SOLD", 4, 3795, 9}, Damage{"SolidColumnsAbove48", "SOLD", 4, 3792, 49},
                      Damage{"SolidRowsAbove78", "SOLD", 4, 3793, 79}, Damage{"SolidRowsNegative", "SOLD", 4, 3793, -1},
                      Damage{"PlaneStressNodeCountSeven", "PSTH", 5, 51, 7}, Damage{"PlaneStressDofsAbove48", "PSTH", 5, 48, 49},
                      Damage{"PlaneStressRowsAbove60", "PSTH", 5, 49, 61},
                      Damage{"PlaneStressNodeWithoutCoordinates", "PSTH", 5, 53, 999},
                      Damage{"PlaneStrainAxesEqual", "PSRH", 6, 61, 1}, Damage{"PlaneStrainAxisZero", "PSRH", 6, 60, 0},
                      Damage{"PlaneStrainAxisFour", "PSRH", 6, 61, 4}, Damage{"PlaneStrainCountHuge", "PSRH", 6, 51, 1e300},
                      Damage{"QuadraticSolidNodeCountTwentyOne", "PSOH", 8, 123, 21},
                      Damage{"QuadraticSolidDofsAbove120", "PSOH", 8, 120, 121},
                      Damage{"QuadraticSolidNodeWithoutCoordinates", "PSOH", 8, 130, -3},
                      Damage{"QuadraticSolidModulusNotANumber", "PSOH", 8, 144, NOT_A_NUMBER}),
    [](const ::testing::TestParamInfo<Damage>& i) { return std::string(i.param.name); });

struct Absent {
    const char* name;
    int kind;
    int element_type;
};

void PrintTo(const Absent& a, std::ostream* os) { *os << a.name; }

class MissingRecord : public FamilySet, public ::testing::WithParamInterface<Absent> {};

TEST_P(MissingRecord, GivesZeroRows)
{
    const Absent a = GetParam();
    Zoo zoo = make_zoo();
    // Without a data set of the family at all when the element type is 1.
    if (a.element_type == 1)
        for (auto& s : zoo.sets)
            s.second.clear();
    Zoo kept;
    for (auto& s : zoo.sets)
        if (!s.second.empty())
            kept[s.first] = s.second;
    write_zoo(kept);
    const Captured& w = run(a.kind, a.element_type, 0, 2);
    EXPECT_TRUE(std::all_of(w.work.begin(), w.work.end(), [](double v) { return v == 0.0; }));
}

INSTANTIATE_TEST_SUITE_P(Records, MissingRecord,
                         ::testing::Values(Absent{"NoPlaneDataSet", 2, 1}, Absent{"NoSolidDataSet", 4, 1},
                                           Absent{"NoQuadraticSolidDataSet", 8, 1}, Absent{"PlaneIndexBeyondTheSet", 2, 2},
                                           Absent{"SolidIndexZero", 4, 0}, Absent{"PlaneStressIndexNegative", 5, -1},
                                           Absent{"PlaneStrainIndexBeyondTheSet", 6, 2},
                                           Absent{"QuadraticSolidIndexBeyondTheSet", 8, 3}),
                         [](const ::testing::TestParamInfo<Absent>& i) { return std::string(i.param.name); });

TEST_F(FamilySet, TruncatedLastRecordGivesZeroRows)
{
    Zoo zoo = make_zoo();
    // The PSOH data set last in the file: cut its second record short.
    std::stable_partition(zoo.sets.begin(), zoo.sets.end(), [](const auto& s) { return s.first != "PSOH"; });
    write_zoo(zoo);
    builder.assemble();
    const std::size_t size = builder.elem_file().bytes().size();
    builder.elem_file().truncate_to(size - 100);
    ASSERT_TRUE(builder.elem_file().write(builder.elem_file_name(base)));
    for (bool held : {false, true}) {
        std::optional<kvpvs::recovery::ResultFileSession> session;
        if (held)
            session.emplace();
        const Captured& good = run(8, 1, 0, 2);
        ASSERT_TRUE(std::any_of(good.work.begin(), good.work.end(), [](double v) { return v != 0.0; }));
        const Captured& w = run(8, 2, 0, 2);
        EXPECT_TRUE(std::all_of(w.work.begin(), w.work.end(), [](double v) { return v == 0.0; })) << held;
    }
}

// Seeds of the element-families fuzz target: one element of each family in the target's
// input layout (8 parameter bytes; the '2' file, then the '1' file, each after its 4-byte
// length; the rest the direct file 1). Parameter byte 0 chooses the kind (1 + b % 9), byte 2
// the step count, byte 3 the step, byte 6 the row (1 + b % 30). Written into the folder that
// KVPVS_WRITE_FUZZ_SEEDS names; every seed is checked to give a non-zero row.
TEST_F(FamilySet, FuzzSeedsHoldOneElementOfEachFamily)
{
    struct Seed {
        const char* name;
        const char* key;
        int kind;
        int first_equation;
        int equations;
        int row;
    };
    const Seed seeds[] = {{"linear_plane_strain", "PSRN", 2, 1, 24, 14},   {"linear_plane_stress", "PSTR", 1, 1, 24, 13},
                          {"linear_solid", "SOLD", 4, 101, 48, 26},        {"quadratic_plane_stress", "PSTH", 5, 201, 48, 25},
                          {"quadratic_plane_strain", "PSRH", 6, 301, 36, 25}, {"quadratic_solid", "PSOH", 8, 401, 120, 1}};
    const char* folder = std::getenv("KVPVS_WRITE_FUZZ_SEEDS");
    for (const Seed& seed : seeds) {
        fresh_set();
        Zoo zoo = make_zoo(seed.first_equation, seed.first_equation + seed.equations - 1);
        Zoo one;
        one[seed.key] = zoo[seed.key];
        if (std::string(seed.key) == "PSOH")
            one[seed.key].resize(1);
        write_zoo(one);
        const std::vector<unsigned char> two = builder.elem_file().bytes();
        const std::vector<unsigned char> result = builder.result_file().bytes();
        const std::vector<unsigned char> direct = builder.direct_file(1).bytes();
        const unsigned char params[8] = {static_cast<unsigned char>(seed.kind - 1), 0, 3, 2, 0, 0,
                                         static_cast<unsigned char>(seed.row - 1), 0};
        std::vector<unsigned char> input(params, params + 8);
        for (const auto* file : {&two, &result}) {
            const std::uint32_t n = static_cast<std::uint32_t>(file->size());
            for (int b = 0; b < 4; ++b)
                input.push_back(static_cast<unsigned char>(n >> (8 * b)));
            input.insert(input.end(), file->begin(), file->end());
        }
        input.insert(input.end(), direct.begin(), direct.end());
        // The seed's element gives a value in its row.
        const Captured& w = run(seed.kind, 1, 0, 3);
        EXPECT_NE(w(seed.row, 2), 0.0) << seed.name;
        if (folder) {
            const std::string name = std::string(folder) + "/seed-" + seed.name;
            if (FILE* f = std::fopen(name.c_str(), "wb")) {
                std::fwrite(input.data(), 1, input.size(), f);
                std::fclose(f);
            }
        }
    }
}

} // namespace
