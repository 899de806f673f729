// The run-time's file streams of the framework stand-in: reports are written only to regular
// files (or to a path where nothing is yet), so that a named pipe or a device at a report's
// path can neither hold the host nor receive the report.
#include "afxfile.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <future>
#include <iterator>
#include <string>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

class ScratchFolder {
public:
    ScratchFolder()
    {
        std::string t = (std::filesystem::temp_directory_path() / "kvpvs_afxfile_XXXXXX").string();
        path_ = ::mkdtemp(t.data()) ? t : std::string();
    }
    ~ScratchFolder()
    {
        std::error_code ec;
        std::filesystem::remove_all(path_, ec);
    }
    std::string file(const std::string& name) const { return path_ + "/" + name; }

private:
    std::string path_;
};

std::string Contents(const std::string& path)
{
    std::ifstream f(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(f), std::istreambuf_iterator<char>()};
}

class AfxTextFOpenPipe : public ::testing::TestWithParam<const char*> {};

TEST_P(AfxTextFOpenPipe, IsRefusedWithoutWaitingForTheOtherEnd)
{
    ScratchFolder dir;
    const std::string path = dir.file("LdfsFile.txt");
    ASSERT_EQ(::mkfifo(path.c_str(), 0600), 0);
    const std::string mode = GetParam();
    auto opening = std::async(std::launch::async, [&] { return AfxTextFOpen(path.c_str(), mode.c_str()); });
    if (opening.wait_for(std::chrono::seconds(5)) == std::future_status::timeout) {
        ADD_FAILURE() << "opening a named pipe with \"" << mode << "\" waits for its other end";
        // Release the waiting opening by arriving at the other end.
        const int other = ::open(path.c_str(), (mode[0] == 'r' ? O_WRONLY : O_RDONLY) | O_NONBLOCK);
        opening.wait();
        if (other >= 0)
            ::close(other);
    }
    FILE* f = opening.get();
    EXPECT_EQ(f, nullptr);
    if (f)
        std::fclose(f);
}

INSTANTIATE_TEST_SUITE_P(Modes, AfxTextFOpenPipe, ::testing::Values("wt", "at", "rt", "wb", "rb", "r+t", "w+b"),
                         [](const auto& info) {
                             std::string n;
                             for (const char* p = info.param; *p; ++p)
                                 n += *p == '+' ? std::string("Plus") : std::string(1, *p);
                             return n;
                         });

TEST(AfxTextFOpen, DevicesAndFoldersAreRefusedForReadingAndWriting)
{
    ScratchFolder dir;
    for (const char* mode : {"wt", "at", "rt", "wb"}) {
        EXPECT_EQ(AfxTextFOpen("/dev/null", mode), nullptr) << mode;
        EXPECT_EQ(AfxTextFOpen(dir.file("").c_str(), mode), nullptr) << mode;
    }
}

TEST(AfxTextFOpen, AReadErrorIsTheTextStreamsError)
{
    // Reading a process's memory file at offset 0 fails with EIO.
    FILE* f = AfxTextFOpen("/proc/self/mem", "rt");
    if (!f)
        GTEST_SKIP() << "no /proc/self/mem";
    EXPECT_EQ(std::fgetc(f), EOF);
    EXPECT_NE(std::ferror(f), 0);
    std::fclose(f);
}

TEST(AfxTextFOpen, RegularFilesAreWrittenReplacedAndAppendedAsBefore)
{
    ScratchFolder dir;
    const std::string path = dir.file("report.txt");
    EXPECT_EQ(AfxTextFOpen(path.c_str(), "rt"), nullptr) << "nothing to read yet";

    FILE* f = AfxTextFOpen(path.c_str(), "wt");
    ASSERT_NE(f, nullptr) << "a new file is created";
    std::fputs("old line\nsecond\n", f);
    std::fclose(f);

    f = AfxTextFOpen(path.c_str(), "wt");
    ASSERT_NE(f, nullptr);
    std::fputs("a\n", f);
    std::fclose(f);
    EXPECT_EQ(Contents(path), "a\r\n") << "writing replaces the earlier contents";

    f = AfxTextFOpen(path.c_str(), "at");
    ASSERT_NE(f, nullptr);
    std::fputs("b\n", f);
    std::fclose(f);
    EXPECT_EQ(Contents(path), "a\r\nb\r\n");

    // Through a link to a regular file, too.
    const std::string link = dir.file("link.txt");
    std::filesystem::create_symlink(path, link);
    f = AfxTextFOpen(link.c_str(), "rt");
    ASSERT_NE(f, nullptr);
    char line[16] = {};
    ASSERT_NE(std::fgets(line, sizeof line, f), nullptr);
    EXPECT_STREQ(line, "a\n");
    std::fclose(f);
}

} // namespace
