// Result files crafted to make the readers work for nothing: directory entries and history
// words that claim huge counts over the holes of a sparse file (a few kilobytes on disk,
// gigabytes long), and a directory that chains back to itself. Each lookup or entry call
// must answer as for absent data within milliseconds and without memory beyond the model's
// own counts.
#include "independent_reader.h"
#include "result_set_fixture.h"

#include "recovery/drivers/keyed_result_file.h"

#include <DFORRT/DirectUnits.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string>
#include <vector>

#include <sys/resource.h>

namespace {

using kvpvs::resultfiles::HistoryFacts;
using kvpvs::resultfiles::KeyedFileWriter;
using namespace kvpvs::testing;

constexpr std::uintmax_t GiB = std::uintmax_t{1} << 30;

// Byte offset of the directory entry (key, sub-id) in a keyed file's bytes.
std::size_t entry_at(const std::vector<unsigned char>& b, const std::string& key, int sub_id)
{
    std::size_t header = 0;
    for (int block = 0; block < 100; ++block) {
        for (std::size_t e = 1; e <= 20; ++e) {
            const std::size_t at = header + 20 * e;
            if (std::string(reinterpret_cast<const char*>(b.data() + at), 4) == key && word_at(b, at + 4) == sub_id)
                return at;
        }
        const std::int32_t next = word_at(b, header + 16);
        if (next <= 0)
            break;
        header = static_cast<std::size_t>(next - 1) * 20;
    }
    ADD_FAILURE() << "no entry " << key;
    return 0;
}

void put_word(std::vector<unsigned char>& b, std::size_t at, std::int32_t v)
{
    for (int i = 0; i < 4; ++i)
        b[at + static_cast<std::size_t>(i)] = static_cast<unsigned char>(static_cast<std::uint32_t>(v) >> (8 * i));
}

// Entry words: 1 sub-id, 2 first record, 3 last record, 4 record length in words.
void set_entry(std::vector<unsigned char>& b, const std::string& key, int sub_id, int word, std::int32_t v)
{
    put_word(b, entry_at(b, key, sub_id) + 4 * static_cast<std::size_t>(word), v);
}

// Writes the bytes and lengthens the file to `length` bytes with a hole.
void write_sparse(const std::string& path, const std::vector<unsigned char>& b, std::uintmax_t length)
{
    {
        std::ofstream f(path, std::ios::binary | std::ios::trunc);
        f.write(reinterpret_cast<const char*>(b.data()), static_cast<std::streamsize>(b.size()));
    }
    std::filesystem::resize_file(path, length);
}

struct Cost {
    double milliseconds;
    long grown_kib;  // growth of the process's peak resident size
};

Cost cost_of(const std::function<void()>& call)
{
    rusage before{};
    getrusage(RUSAGE_SELF, &before);
    const auto t0 = std::chrono::steady_clock::now();
    call();
    const auto t1 = std::chrono::steady_clock::now();
    rusage after{};
    getrusage(RUSAGE_SELF, &after);
    return {std::chrono::duration<double, std::milli>(t1 - t0).count(), after.ru_maxrss - before.ru_maxrss};
}

// Far more than the few reads each crafted call needs, far less than a scan of the holes.
constexpr double TIME_BOUND_MS = 250.0;
constexpr long MEMORY_BOUND_KIB = 32 * 1024;

void expect_cheap(const Cost& c, const char* what)
{
    std::printf("%s: %.2f ms, peak resident size +%ld KiB\n", what, c.milliseconds, c.grown_kib);
    EXPECT_LT(c.milliseconds, TIME_BOUND_MS) << what;
    EXPECT_LT(c.grown_kib, MEMORY_BOUND_KIB) << what;
}

class CraftedFiles : public ResultSetTest {
protected:
    static void open_keyed(const std::string& path, const char* key, int& first, int& words, int& count, int& status)
    {
        kvpvs::recovery::open_keyed_file(UNIT, path.c_str(), static_cast<int>(path.size()), 2, key, 1, first, words,
                                         count, status);
        dforrt::DirectUnits::Close(UNIT);
    }
    static constexpr int UNIT = 78;
    // The '2' file as the builder lays it out, for patching.
    std::vector<unsigned char> elem_bytes()
    {
        builder.assemble();
        EXPECT_TRUE(builder.write(base));
        return builder.elem_file().bytes();
    }
    std::string elem_name() const { return builder.elem_file_name(base); }
};

TEST_F(CraftedFiles, DirectoryChainedToItselfInASixteenGibFileEndsAtTheFirstRevisit)
{
    // One full block of entries (the head and 19 data sets), whose next block is itself: the
    // key looked for is in none of them.
    KeyedFileWriter w;
    for (int k = 0; k < 19; ++k)
        w.add_data_set("DS" + std::string(1, static_cast<char>('A' + k)) + "X", 1, 1, {kvpvs::resultfiles::ints_record({k})});
    KeyedFileWriter::HeaderOverride loop;
    loop.next_block = 1;
    w.override_header(0, loop);
    const std::string path = dir.file("loop.ka2");
    write_sparse(path, w.bytes(), 16 * GiB);
    int first = -1, words = -1, count = -1, status = -1;
    expect_cheap(cost_of([&] { open_keyed(path, "ZZZZ", first, words, count, status); }),
                 "self-chained directory, 16 GiB");
    EXPECT_EQ(status, kvpvs::recovery::KEYED_DIRECTORY_UNREADABLE);
    EXPECT_EQ(first, 0);
    // Keys of the block itself are still found.
    open_keyed(path, "DSCX", first, words, count, status);
    EXPECT_EQ(status, kvpvs::recovery::KEYED_FOUND);
    EXPECT_EQ(count, 1);
    std::filesystem::remove(path);
}

TEST_F(CraftedFiles, MaterialTableOverHolesEndsAtItsFirstRecord)
{
    builder.add_material(1, 3.0e7, 0.2);
    builder.set_element(1, 7);  // material 7 is in no record
    HistoryFacts h;
    h.type = 2;
    builder.set_history(1, h);
    builder.set_direct_series(1, 1, {1.0});
    std::vector<unsigned char> b = elem_bytes();
    // MATL moved into the hole after the written bytes and claiming a billion materials.
    const std::int32_t first = static_cast<std::int32_t>(b.size() / 104 + 10);
    set_entry(b, "MATL", 3, 2, first);
    set_entry(b, "MATL", 3, 3, first + 1000000000);
    write_sparse(elem_name(), b, 16 * GiB);
    kvpvs::recovery::shared_blocks().material_block.elastic_modulus = 2.1e5; // an earlier element's steel
    std::vector<double> e;
    expect_cheap(cost_of([&] { e = history(ROW_E, 1); }), "material scan over holes, 16 GiB");
    EXPECT_EQ(e, (std::vector<double>{2.1e5})) << "no material found: the block keeps what it held";
}

TEST_F(CraftedFiles, SupportListOverHolesEndsAtItsFirstPair)
{
    // A direct history under multi-support excitation whose MSES data set lies in the hole
    // of a 2 GiB file and claims a pair in each of its records.
    spy().equations[0] = 0;
    HistoryFacts h;
    h.type = 2;
    builder.set_history(1, h);
    builder.add_support_motion(1, 1, 1, {0.5, 0.6});
    for (int e = 2; e <= 24; ++e)
        builder.set_direct_series(1, e, {1.0 * e, 2.0 * e});
    std::vector<unsigned char> b = elem_bytes();
    const std::int32_t first = static_cast<std::int32_t>(b.size() / 8 + 10);
    set_entry(b, "MSES", 1, 2, first);
    set_entry(b, "MSES", 1, 3, 2147483647);
    write_sparse(elem_name(), b, 2 * GiB);
    std::vector<double> restrained;
    expect_cheap(cost_of([&] { restrained = history(ROW_DISPLACEMENT, 2); }), "support list over holes, 2 GiB");
    EXPECT_EQ(restrained, (std::vector<double>{0.0, 0.0})) << "no pair names the support";
    EXPECT_EQ(history(ROW_DISPLACEMENT + 1, 2), (std::vector<double>{2.0, 4.0})) << "free freedoms still read";
}

TEST_F(CraftedFiles, ModeCountBeyondTheEquationsIsNoCountOfTheModel)
{
    // A modal history of 3 modes over 24 equations, whose history word claims a million modes
    // and whose mode-shape records are made long enough to hold them (8 MB each, in holes).
    HistoryFacts h;
    h.type = 1;
    h.case_or_file = 1;
    h.steps_per_mode = 4;
    h.modes = 3;
    builder.set_history(1, h);
    builder.set_modal_coordinates(1, 3, 4, std::vector<double>(12, 1.0));
    for (int e = 1; e <= 24; ++e)
        builder.set_mode_shape(e, {1.0, 1.0, 1.0});
    std::vector<unsigned char> b = elem_bytes();
    ASSERT_EQ(history(ROW_DISPLACEMENT + 6, 2), (std::vector<double>{3.0, 3.0})) << "the honest file";
    const std::size_t thif = entry_at(b, "THIF", 3);
    const std::size_t thif_record = static_cast<std::size_t>(word_at(b, thif + 8) - 1) * 20;
    put_word(b, thif_record + 12, 1000000);
    set_entry(b, "MSHP", 3, 4, 2000000);
    const std::uintmax_t mshp_end = static_cast<std::uintmax_t>(word_at(b, entry_at(b, "MSHP", 3) + 12)) * 8000000;
    write_sparse(elem_name(), b, std::max<std::uintmax_t>(mshp_end, 16 * GiB));
    std::vector<double> v;
    expect_cheap(cost_of([&] { v = history(ROW_DISPLACEMENT + 6, 4); }), "a million modes over 24 equations");
    EXPECT_EQ(v, (std::vector<double>(4, 0.0))) << "mode shapes of no mode count of the model stay 0";
}

} // namespace
