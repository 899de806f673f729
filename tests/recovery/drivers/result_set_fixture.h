// A result set written by the ResultSetBuilder into a scratch folder, and a family double
// that runs the readers for a 4-node element and lays their output into work-array rows:
// rows 1..24 the displacement of each degree of freedom, 121..144 the same in nodal axes,
// 301.. the facts the entry and the readers left in the shared blocks.
#pragma once

#include "TempDir.h"

#include "recovery/drivers/element_results.h"
#include "recovery/drivers/family_dispatch.h"
#include "recovery/drivers/record_readers.h"
#include "result_files/result_file_writer.h"

#include <gtest/gtest.h>

#include <array>
#include <vector>

namespace kvpvs::testing {

using recovery::Build;
using recovery::DriverBuildState;

enum SpyRow : int {
    ROW_DISPLACEMENT = 1,
    ROW_AXES = 121,
    ROW_E = 301,
    ROW_NU,
    ROW_MATERIAL_TYPE,
    ROW_THLG,
    ROW_MSES,
    ROW_HISTORY_TYPE,
    ROW_FAMILY,
    ROW_AXES_OPTION,
    ROW_VALUE_COUNT,
    ROW_CONSTANT_9,
};

struct FamilySpy {
    int calls = 0;
    int dof_count = 24;
    std::array<int, 24> equations{};
    std::array<int, 4> nodes{1, 2, 3, 4};
    int skip_axes = 0;
    double prefill = 0.0;  // what the reader's arrays hold before the call
};

inline FamilySpy& spy()
{
    static FamilySpy s;
    return s;
}

template <int Family>
void spy_family(DriverBuildState& build, double* work, int axes_option)
{
    FamilySpy& s = spy();
    ++s.calls;
    const int columns = recovery::value_columns(build);
    std::vector<double> displacement(static_cast<std::size_t>(recovery::MAX_ELEMENT_DOFS) * static_cast<std::size_t>(std::max(columns, 1)), s.prefill);
    std::vector<double> axes(displacement.size(), s.prefill);
    recovery::read_element_data(build, displacement.data(), axes.data(), s.dof_count, s.equations.data(), s.nodes.data(), 4,
                                s.skip_axes);
    const recovery::SharedBlocks& blocks = recovery::shared_blocks();
    for (int i = 0; i < columns; ++i) {
        double* col = work + static_cast<std::size_t>(recovery::WORK_ROWS) * static_cast<std::size_t>(i);
        for (int j = 0; j < 24; ++j) {
            col[ROW_DISPLACEMENT - 1 + j] = displacement[static_cast<std::size_t>(j + recovery::MAX_ELEMENT_DOFS * i)];
            col[ROW_AXES - 1 + j] = axes[static_cast<std::size_t>(j + recovery::MAX_ELEMENT_DOFS * i)];
        }
        col[ROW_E - 1] = blocks.material_block.elastic_modulus;
        col[ROW_NU - 1] = blocks.material_block.poisson_ratio;
        col[ROW_MATERIAL_TYPE - 1] = blocks.material_block.material_type;
        col[ROW_CONSTANT_9 - 1] = blocks.material_block.material_constants[8];
        col[ROW_THLG - 1] = blocks.entry_block.thlg_value;
        col[ROW_MSES - 1] = blocks.entry_block.mses_present;
        col[ROW_HISTORY_TYPE - 1] = blocks.entry_block.history_type;
        col[ROW_FAMILY - 1] = Family;
        col[ROW_AXES_OPTION - 1] = axes_option;
        col[ROW_VALUE_COUNT - 1] = blocks.entry_block.value_count;
    }
}

class ResultSetTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        saved_[0] = recovery::family_table(Build::history);
        saved_[1] = recovery::family_table(Build::single_step);
        const recovery::FamilyTable spies = {spy_family<1>, spy_family<2>, spy_family<3>, spy_family<4>,
                                             spy_family<5>, spy_family<6>, spy_family<7>};
        recovery::family_table(Build::history) = spies;
        recovery::family_table(Build::single_step) = spies;
        spy() = FamilySpy{};
        // The blocks survive calls, as the module keeps them; each test starts from a fresh load.
        recovery::shared_blocks() = recovery::SharedBlocks{};
        // Node-based equation numbers: degree of freedom d of node k is equation 6(k-1)+d.
        for (int j = 0; j < 24; ++j)
            spy().equations[static_cast<std::size_t>(j)] = j + 1;
    }
    void TearDown() override
    {
        recovery::family_table(Build::history) = saved_[0];
        recovery::family_table(Build::single_step) = saved_[1];
    }

    // history build: row `row` for n steps of element `element` (kind 3 unless given).
    std::vector<double> history(int row, int n, int history_id = 1, int element = 1, int kind = 3, int mode = 0,
                                int selector = 4)
    {
        std::vector<double> out(static_cast<std::size_t>(std::max(n, 0)) + 1, -99.0);
        recovery::history_build::element_results(base.data(), static_cast<int>(base.size()), kind, 0, row, history_id, n,
                                                 selector, mode, out.data(), 0, element);
        out.pop_back();
        return out;
    }
    double step(int row, int n, int s, int history_id = 1, int element = 1, int kind = 3, int mode = 0)
    {
        double out = -99.0;
        recovery::step_build::element_results(base.data(), static_cast<int>(base.size()), kind, 0, row, history_id, n, s, 4,
                                              mode, &out, 0, element);
        return out;
    }

    TempDir dir;
    std::string base = dir.file("model");
    resultfiles::ResultSetBuilder builder;

private:
    std::array<recovery::FamilyTable, 2> saved_{};
};

} // namespace kvpvs::testing
