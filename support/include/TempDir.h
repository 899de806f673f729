// A scratch folder of its own for a test, a benchmark or a demo run: made fresh under the system's
// temporary folder (TMPDIR), removed with all it holds when the object goes. Tests, benchmarks
// and the demo host take their scratch paths from one of these instead of naming a system folder.
#pragma once

#include <filesystem>
#include <stdexcept>
#include <string>
#include <unistd.h>

namespace kvpvs::testing {

class TempDir {
public:
    // prefix starts the folder's name, so that a left-over folder tells whose it was.
    explicit TempDir(const std::string& prefix = "kvpvs")
    {
        std::string t = (std::filesystem::temp_directory_path() / (prefix + "_XXXXXX")).string();
        // A failure must not leave an empty path: file("x") would then name "/x".
        if (!::mkdtemp(t.data()))
            throw std::runtime_error("cannot make a scratch folder from " + t);
        path_ = t;
    }
    ~TempDir()
    {
        std::error_code ec;
        std::filesystem::remove_all(path_, ec);
    }
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    // The folder, without a trailing '/'.
    const std::string& path() const { return path_; }
    // A path inside the folder; nothing is created.
    std::string file(const std::string& name) const { return path_ + "/" + name; }
    // A sub-folder (with any folders between), made if missing.
    std::string folder(const std::string& name) const
    {
        const std::string p = file(name);
        std::filesystem::create_directories(p);
        return p;
    }

private:
    std::string path_;
};

} // namespace kvpvs::testing
