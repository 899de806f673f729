// A scratch folder per test, removed afterwards.
#pragma once

#include <filesystem>
#include <string>
#include <unistd.h>

namespace kvpvs::testing {

class TempDir {
public:
    TempDir()
    {
        std::string t = (std::filesystem::temp_directory_path() / "kvpvs_rf_XXXXXX").string();
        path_ = ::mkdtemp(t.data()) ? t : std::string();
    }
    ~TempDir()
    {
        std::error_code ec;
        std::filesystem::remove_all(path_, ec);
    }
    std::string file(const std::string& name) const { return path_ + "/" + name; }

private:
    std::string path_;
};

} // namespace kvpvs::testing
