// Fuzz entry of the element families: arbitrary bytes become the '2' file, the '1' file and the
// direct file of one base path, and both builds of the element-results entry run the real family
// routines over them (element records, material, displacement history, kernels). Input layout as
// fuzz_result_file: 8 parameter bytes, a 4-byte length and the '2' file, a 4-byte length and the
// '1' file, the rest the direct file number 1. Every value returned must be a number or an
// infinity born of huge inputs, never a crash.
#include "recovery/drivers/element_results.h"

#include "result_file_input.h"

#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string>
#include <unistd.h>

namespace {

using namespace kvpvs::recovery;

std::string base_path()
{
    static const std::string base = fuzz_input::base_path("ef");
    return base;
}

using fuzz_input::take_length;
using fuzz_input::write_file;

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

    // Mostly plates (kind 3); the other kinds reach their families as they come.
    const int kind = params[0] < 160 ? 3 : 1 + params[0] % 9;
    const int history = 1 + params[1] % 3;
    const int values = params[2] % 16;
    const int step = static_cast<int8_t>(params[3]);
    const int mode = params[4] % 3;
    const int record = static_cast<int8_t>(params[5]) % 6;
    const int row = 1 + params[6] % 100;
    const int element = 1 + params[7] % 4;

    double out[16];
    history_build::element_results(base.c_str(), static_cast<int>(base.size()), kind, record, row, history, values, 4,
                                   mode, out, 0, element);
    double one = 0;
    step_build::element_results(base.c_str(), static_cast<int>(base.size()), kind, record, row, history, values, step,
                                4, mode, &one, 0, element);
    return 0;
}
