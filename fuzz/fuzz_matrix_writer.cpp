// Fuzz entry of the library's table writer: PRTREG on a small matrix of ordinary, extreme,
// infinite and NaN values with an arbitrary title, format list, labels, triangle option, print
// options (scope 0, undone by each call's reset) and page size. Every stop is caught by the test
// stop handler; after each input the error state, the options and the page size are put back.
// Layout: byte 0 rows, 1 columns, 2 triangle, 3 page width, 4 page length, 5..12 four options
// (number, value), then texts separated by '|': title, format, row labels, column labels.
#include "NumericsStop.h"

#include "numerics/numerics.h"

#include <cstdint>
#include <limits>
#include <string>
#include <string_view>
#include <vector>

namespace {

using namespace kvpvs::numerics;

void Restore()
{
    int v = 0;
    const int zero = 0;
    WRTOPT(zero, v, zero);
    int width = 78, length = 60;
    PAGEOPT(-1, width);
    PAGEOPT(-2, length);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static kvpvs::test::NumericsCapture* capture = new kvpvs::test::NumericsCapture;  // lives for the run
    if (size < 13)
        return 0;
    const double inf = std::numeric_limits<double>::infinity();
    const double nan = std::numeric_limits<double>::quiet_NaN();
    static const double A[25] = {1.5,   -2.25, 1e9,  0.0,    nan,  3.0,   1e-7,  -inf, 123456.789, 42.0,
                                 -0.5,  inf,   7.0,  -1e12,  0.01, 2.0,   99.99, 1e30, -3.75,      5e-300,
                                 100.0, -7.0,  0.25, 6.5e-3, 8.0};
    const int nra = data[0] % 6;
    const int nca = data[1] % 6;
    const int itring = static_cast<int>(data[2] % 7) - 3;
    const int lda = 5;

    std::vector<std::string> parts(1);
    for (std::size_t i = 13; i < size; ++i) {
        if (data[i] == '|')
            parts.emplace_back();
        else
            parts.back().push_back(static_cast<char>(data[i]));
    }
    parts.resize(std::max<std::size_t>(parts.size(), 2));
    const std::string_view title = parts[0];
    const std::string_view fmt = parts[1];
    std::vector<std::string_view> rlabel, clabel;
    for (std::size_t i = 2; i < parts.size(); ++i)
        (i % 2 == 0 ? rlabel : clabel).push_back(parts[i]);
    if (rlabel.empty())
        rlabel.push_back("NUMBER");
    if (clabel.empty())
        clabel.push_back("NUMBER");
    std::vector<std::string> chwk(5);

    capture->run([&] {
        int width = 10 + data[3] % 120, length = 10 + data[4] % 60;
        PAGEOPT(-1, width);
        PAGEOPT(-2, length);
        for (int k = 0; k < 4; ++k) {
            const int option = -(1 + data[5 + 2 * k] % 16);
            int value = static_cast<int8_t>(data[6 + 2 * k]);
            if (option == -2)
                value = value < 0 ? 0 : value % 4;  // rows per block: 0 or a few
            const int zero = 0;
            WRTOPT(option, value, zero);
        }
        PRTREG(title, nra, nca, A, lda, itring, fmt, rlabel, clabel, chwk);
    });
    capture->run(Restore);
    capture->clear();
    capture->reset();
    return 0;
}
