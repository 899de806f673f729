// What the structured fuzz entries share: the input read as fixed-size values while it lasts
// (zero after its end), and the stop that tells the fuzzer an invariant broke.
#pragma once
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>

namespace fuzz {

struct CByteReader {
    const uint8_t* p;
    size_t n;
    template <class T>
    T Next()
    {
        T v{};
        if (n >= sizeof(T)) {
            std::memcpy(&v, p, sizeof(T));
            p += sizeof(T);
            n -= sizeof(T);
        }
        return v;
    }
};

inline void Require(bool b)
{
    if (!b)
        std::abort();
}

} // namespace fuzz
