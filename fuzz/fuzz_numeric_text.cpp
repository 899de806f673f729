// Fuzz entry of the numerical library's text handling: the bytes become texts for the text to
// integer reader, the field reader and writer and the ranged copy, and a descriptor and a
// value for the run-time library's formatter; every stop is caught by the test stop handler
// and the error state reset after each input. Layout: byte 0 selects the split point, the
// next 8 bytes are the value (and the integers of the copy), the rest is split into two texts.
#include "NumericsStop.h"

#include "numerics/numerics.h"

#include <DFORRT/FormattedIO.h>

#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    using namespace kvpvs::numerics;
    static kvpvs::test::NumericsCapture* capture = new kvpvs::test::NumericsCapture;  // lives for the run
    if (size < 9)
        return 0;
    const std::size_t cut_byte = data[0];
    double value = 0.0;
    std::memcpy(&value, data + 1, 8);
    long long ivalue = 0;
    std::memcpy(&ivalue, data + 1, 8);
    const std::string_view rest(reinterpret_cast<const char*>(data + 9), size - 9);
    const std::size_t cut = rest.empty() ? 0 : cut_byte % (rest.size() + 1);
    const std::string_view a = rest.substr(0, cut);
    const std::string_view b = rest.substr(cut);

    capture->run([&] {
        int n = 0;
        TXTINT(a, n);
    });
    capture->run([&] {
        int n = 0;
        TXTINT(b, n);
    });
    int n = 0, status = 0;
    STRINT(a, n, status);
    STRINT(b, n, status);
    char field[12];
    INTSTR(static_cast<int>(ivalue), std::span<char>(field, cut_byte % 13), status);
    std::string target(b);
    const int i1 = static_cast<int8_t>(data[1]), i2 = static_cast<int8_t>(data[2]);
    const int j1 = static_cast<int8_t>(data[3]), j2 = static_cast<int8_t>(data[4]);
    TXCOPY(a, i1, i2, target, j1, j2, status);
    TXCOPY(target, i1, i2, target, j1, j2, status);  // overlapping ranges of one text

    std::string text;
    dforrt::FormatReal(a, value, text);
    dforrt::FormatInteger(a, ivalue, text);
    capture->clear();
    capture->reset();
    return 0;
}
