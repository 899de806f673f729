// Input layout shared by the fuzz targets that feed the result-file readers: the fuzzer's bytes
// become the files of one base path in a scratch folder (shared memory where there is one).
#pragma once

#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string>
#include <unistd.h>

namespace fuzz_input {

// One base path per process, named with the target's tag.
inline std::string base_path(const char* tag)
{
    const char* shm = access("/dev/shm", W_OK) == 0 ? "/dev/shm" : "/tmp";
    return std::string(shm) + "/kvpvs_fuzz_" + tag + "_" + std::to_string(getpid());
}

inline void write_file(const std::string& name, const uint8_t* p, size_t n)
{
    if (FILE* f = std::fopen(name.c_str(), "wb")) {
        if (n)
            std::fwrite(p, 1, n, f);
        std::fclose(f);
    }
}

// A 4-byte length from the input, cut to what remains of it.
inline uint32_t take_length(const uint8_t*& p, size_t& n)
{
    uint32_t v = 0;
    if (n >= 4) {
        std::memcpy(&v, p, 4);
        p += 4;
        n -= 4;
    }
    if (v > n)
        v = static_cast<uint32_t>(n);
    return v;
}

} // namespace fuzz_input
