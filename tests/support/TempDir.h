// A scratch folder per test, removed afterwards; its path ends in '/', so it can serve as a
// program folder.
#pragma once

#include <unistd.h>

#include <filesystem>
#include <string>

namespace kvpvs::test {

class TempDir {
public:
    TempDir()
    {
        std::string t = (std::filesystem::temp_directory_path() / "kvpvs_XXXXXX").string();
        m_strPath = ::mkdtemp(t.data()) ? t + "/" : std::string();
    }
    ~TempDir()
    {
        std::error_code ec;
        if (!m_strPath.empty())
            std::filesystem::remove_all(m_strPath, ec);
    }
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;
    const std::string& Path() const { return m_strPath; }
    std::string File(const std::string& strName) const { return m_strPath + strName; }

private:
    std::string m_strPath;
};

} // namespace kvpvs::test
