// A small reader of keyed result files written for the tests alone: it walks the directory
// of a file's bytes and returns data-set records, so that the writer is checked against
// something other than the production reader.
#pragma once

#include <cstdint>
#include <cstring>
#include <optional>
#include <string>
#include <vector>

namespace kvpvs::testing {

struct IndependentEntry {
    std::string key;
    std::int32_t sub_id, first, last, words;
};

inline std::int32_t word_at(const std::vector<unsigned char>& b, std::size_t at)
{
    return static_cast<std::int32_t>(std::uint32_t(b[at]) | std::uint32_t(b[at + 1]) << 8 | std::uint32_t(b[at + 2]) << 16
                                     | std::uint32_t(b[at + 3]) << 24);
}

// All entries of all blocks, in directory order, stopping at a blank key.
inline std::vector<IndependentEntry> directory_of(const std::vector<unsigned char>& b)
{
    std::vector<IndependentEntry> out;
    std::size_t header = 0;
    for (int guard = 0; guard < 100; ++guard) {
        for (int e = 1; e <= 20; ++e) {
            const std::size_t at = header + 20 * static_cast<std::size_t>(e);
            std::string key(reinterpret_cast<const char*>(b.data() + at), 4);
            if (key == "    ")
                return out;
            out.push_back({key, word_at(b, at + 4), word_at(b, at + 8), word_at(b, at + 12), word_at(b, at + 16)});
        }
        const std::int32_t next = word_at(b, header + 16);
        if (next == 0)
            return out;
        header = static_cast<std::size_t>(next - 1) * 20;
    }
    return out;
}

inline double double_at(const std::vector<unsigned char>& b, std::size_t at)
{
    std::uint64_t w = std::uint64_t(std::uint32_t(word_at(b, at))) | std::uint64_t(std::uint32_t(word_at(b, at + 4))) << 32;
    double d;
    std::memcpy(&d, &w, 8);
    return d;
}

// Value v (0-based) of record k (1-based, in the data set's record length) of an entry.
inline double record_double(const std::vector<unsigned char>& b, const IndependentEntry& e, int k, int v)
{
    return double_at(b, static_cast<std::size_t>(e.first + k - 2) * 4 * static_cast<std::size_t>(e.words) + 8 * static_cast<std::size_t>(v));
}

inline std::int32_t record_int(const std::vector<unsigned char>& b, const IndependentEntry& e, int k, int v)
{
    return word_at(b, static_cast<std::size_t>(e.first + k - 2) * 4 * static_cast<std::size_t>(e.words) + 4 * static_cast<std::size_t>(v));
}

} // namespace kvpvs::testing
