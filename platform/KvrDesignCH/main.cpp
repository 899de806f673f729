// The design checker: started by the design dialogs from the program folder with an empty
// parameter text, it finds "KvrDesign.txt" in its own folder. This one checks nothing: it keeps
// a numbered copy of the file ("KvrDesign_1.txt", "KvrDesign_2.txt", ...) and appends one line
// per run to "KvrDesignCH.log" naming the copy and its arguments, so that a host or a test can
// see what it was given. The copy is complete before the record line appears.
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <system_error>

namespace fs = std::filesystem;

int main(int argc, char** argv)
{
    std::error_code ec;
    fs::path self = fs::read_symlink("/proc/self/exe", ec);
    if (ec)
        self = fs::absolute(argv[0], ec);
    const fs::path folder = self.parent_path();
    const fs::path source = folder / "KvrDesign.txt";
    const fs::path log = folder / "KvrDesignCH.log";

    int n = 1;
    while (fs::exists(folder / ("KvrDesign_" + std::to_string(n) + ".txt")))
        ++n;
    const fs::path copy = folder / ("KvrDesign_" + std::to_string(n) + ".txt");
    std::string strCopy = "none";
    if (fs::exists(source)) {
        const fs::path part = folder / ("KvrDesign_" + std::to_string(n) + ".part");
        fs::copy_file(source, part, fs::copy_options::overwrite_existing, ec);
        if (!ec)
            fs::rename(part, copy, ec);
        strCopy = ec ? "failed" : copy.filename().string();
    }

    std::string line = "run " + std::to_string(n) + ": copy " + strCopy + ", " + std::to_string(argc - 1) + " arguments";
    for (int i = 1; i < argc; ++i)
        line += std::string(" \"") + argv[i] + "\"";
    std::ofstream out(log, std::ios::app);
    out << line << "\n";
    return out.good() ? 0 : 1;
}
