// Replays every file of a corpus folder through a fuzz entry point, so the sanitizer build
// checks the committed corpus without a libFuzzer toolchain.
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size);

int main(int argc, char** argv)
{
    if (argc < 2) {
        std::fprintf(stderr, "usage: %s corpus-folder\n", argv[0]);
        return 2;
    }
    int n = 0;
    for (const auto& e : std::filesystem::recursive_directory_iterator(argv[1])) {
        if (!e.is_regular_file())
            continue;
        std::ifstream in(e.path(), std::ios::binary);
        std::vector<uint8_t> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
        LLVMFuzzerTestOneInput(bytes.data(), bytes.size());
        ++n;
    }
    std::printf("replayed %d inputs\n", n);
    return n > 0 ? 0 : 1;
}
