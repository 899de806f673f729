// Fuzz entry of the result-file reading layer: arbitrary bytes become the '2' file, the '1'
// file and the direct file of one base path, then the keyed-file lookup, the record readers
// and both builds of the element-results entry run over them. Input layout: 8 parameter
// bytes, a 4-byte length and the '2' file, a 4-byte length and the '1' file, the rest the
// direct file number 1.
#include "recovery/drivers/element_results.h"
#include "recovery/drivers/family_dispatch.h"
#include "recovery/drivers/keyed_result_file.h"
#include "recovery/drivers/record_readers.h"

#include "result_file_input.h"

#include <DFORRT/DirectUnits.h>

#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string>
#include <unistd.h>

namespace {

using namespace kvpvs::recovery;

std::string base_path()
{
    static const std::string base = fuzz_input::base_path("rf");
    return base;
}

using fuzz_input::take_length;
using fuzz_input::write_file;

int g_node_base = 1;

// Family double: the readers' output for a 4-node element whose equations are node-based.
void reading_family(DriverBuildState& build, double* work, int /*axes_option*/)
{
    int equations[24];
    int nodes[4];
    for (int k = 0; k < 4; ++k) {
        nodes[k] = g_node_base + k;
        for (int d = 0; d < 6; ++d)
            equations[6 * k + d] = (k == 0 && d < 3) ? 0 : 6 * k + d + 1;
    }
    const int columns = value_columns(build);
    static double displacement[MAX_ELEMENT_DOFS * 16];
    static double axes[MAX_ELEMENT_DOFS * 16];
    read_element_data(build, displacement, axes, 24, equations, nodes, 4, 0);
    for (int i = 0; i < columns; ++i)
        for (int j = 0; j < 24; ++j)
            work[j + WORK_ROWS * i] = displacement[j + MAX_ELEMENT_DOFS * i] + axes[j + MAX_ELEMENT_DOFS * i];
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size < 8)
        return 0;
    uint8_t params[8];
    std::memcpy(params, data, 8);
    const uint8_t* p = data + 8;
    size_t n = size - 8;
    const std::string base = base_path();
    const uint32_t l2 = take_length(p, n);
    write_file(base + ".ka2", p, l2);
    p += l2;
    n -= l2;
    const uint32_t l1 = take_length(p, n);
    write_file(base + ".ka1", p, l1);
    p += l1;
    n -= l1;
    write_file(base + ".KAT1", p, n);

    for (auto b : {Build::history, Build::single_step})
        for (auto& r : family_table(b))
            r = reading_family;

    const int kind = 1 + params[0] % 9;             // 9 is out of range
    const int history = 1 + params[1] % 4;
    const int values = params[2] % 16;               // at most 16 columns (the double's arrays)
    const int step = static_cast<int8_t>(params[3]);
    const int mode = params[4] % 5;
    const int element = 1 + params[5] % 8;
    const int row = 1 + params[6] % 30;
    g_node_base = 1 + params[7] % 6;

    double out[16];
    history_build::element_results(base.c_str(), static_cast<int>(base.size()), kind, 0, row, history, values, 4,
                                   mode, out, 0, element);
    double one = 0;
    step_build::element_results(base.c_str(), static_cast<int>(base.size()), kind, 0, row, history, values, step, 4,
                                mode, &one, 0, element);

    int first, words, count, status;
    const std::string name = base + ".ka2";
    for (const char* key : {"THIF", "MATL", "ZZZZ"})
        open_keyed_file(77, name.c_str(), static_cast<int>(name.size()), 2, key, 3, first, words, count, status);
    dforrt::DirectUnits::Close(77);
    return 0;
}
