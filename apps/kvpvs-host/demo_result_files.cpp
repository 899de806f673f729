// Demo step: the solver's result files of the sample model, written into the output folder's
// "result_files" subfolder, so that histories can be recomputed from them.
#include "demo_steps.h"

#include "SampleResultFiles.h"

#include <cstdio>
#include <filesystem>
#include <string>
#include <system_error>

namespace {
kvpvs::sample::SampleResultFiles g_files;
bool g_bWritten = false;
} // namespace

const kvpvs::sample::SampleResultFiles* WrittenSampleResultFiles() { return g_bWritten ? &g_files : nullptr; }

int RunResultFilesDemo(CDBDoc& doc, const char* outDir)
{
    const std::filesystem::path dir = std::filesystem::path(outDir) / "result_files";
    std::error_code ec;
    std::filesystem::create_directories(dir, ec);
    if (ec) {
        std::fprintf(stderr, "kvpvs-host: cannot create %s\n", dir.string().c_str());
        return 0;
    }
    kvpvs::sample::SampleResultFiles files;
    std::string err;
    if (!kvpvs::sample::WriteSampleResultFiles(doc, (dir / "sample").string(), kvpvs::sample::DynamicsOptions(),
                                               &files, &err)) {
        std::fprintf(stderr, "kvpvs-host: result files: %s\n", err.c_str());
        return 0;
    }
    g_files = files;
    g_bWritten = true;
    std::printf("result files: %zu elements, %d equations, %d modes, %d steps: %s, %s, %s\n",
                files.elementNumber.size(), files.nEquations, files.nModes, files.nSteps,
                std::filesystem::path(files.strElemFile).filename().string().c_str(),
                std::filesystem::path(files.strResultFile).filename().string().c_str(),
                std::filesystem::path(files.strDirectFile).filename().string().c_str());
    return 1;
}
