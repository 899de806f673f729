// Fuzz entry of the numerical library's functions of numbers: the incomplete beta, t and F
// distributions, the gamma family, the value format and the polynomial fit, on raw doubles and
// ints from the input, so that extreme, infinite and NaN arguments and every int width reach
// them. Every stop is caught by the test stop handler; every call must return (run with a
// -timeout). Layout: byte 0 picks the routine, then 8-byte doubles; the value format reads two
// ints after its double; the fit reads its degree from byte 1 and (x, y) pairs from byte 2 on.
#include "NumericsStop.h"

#include "numerics/numerics.h"

#include <cstdint>
#include <cstring>
#include <vector>

namespace {

double number(const uint8_t* data, std::size_t size, std::size_t k)
{
    double v = 0.0;
    if (1 + 8 * (k + 1) <= size)
        std::memcpy(&v, data + 1 + 8 * k, 8);
    return v;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    using namespace kvpvs::numerics;
    static kvpvs::test::NumericsCapture* capture = new kvpvs::test::NumericsCapture;  // lives for the run
    if (size < 1)
        return 0;
    const double a = number(data, size, 0), b = number(data, size, 1), c = number(data, size, 2);
    capture->run([&] {
        switch (data[0] % 8) {
        case 0: DBETAI(a, b, c); break;
        case 1: TDIST(a, b); break;
        case 2: FDIST(a, b, c); break;
        case 3: DLBETA(a, b); break;
        case 4:
            DGAMMA(a);
            DLNGAM(b);
            DERFC(c);
            break;
        case 5: {
            int w = 0, d = 0;
            if (size >= 17) {
                std::memcpy(&w, data + 9, 4);
                std::memcpy(&d, data + 13, 4);
            }
            FMTMAT(a, w, d);
            break;
        }
        default: {
            const int ndeg = size > 1 ? data[1] % 10 : 0;
            std::vector<double> x, y;
            for (std::size_t at = 2; at + 16 <= size && x.size() < 64; at += 16) {
                double v[2];
                std::memcpy(v, data + at, 16);
                x.push_back(v[0]);
                y.push_back(v[1]);
            }
            std::vector<double> coef(static_cast<std::size_t>(ndeg + 1)), seqss(coef.size()), stats(10);
            PFIT(static_cast<int>(x.size()), x.data(), y.data(), ndeg, coef.data(), seqss.data(), stats.data());
            break;
        }
        }
    });
    capture->clear();
    capture->reset();
    return 0;
}
