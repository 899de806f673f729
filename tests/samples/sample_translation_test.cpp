// The whole sample far from the origin: the demo host run on the sample project moved to a
// national-grid position and to 1e8, with every point it types moved alike, against the run at
// the origin. Every number of its reports, tables and printout is the origin's, to the digits
// the origin writes it with and the rounding of the moved coordinates carried into its own
// terms, or the origin's moved by a component of the shift; every picture differs from the
// origin's in at most 1 % of the pixels its display draws. What it leaves out, it says, and why.
#include "DisplayRequired.h"
#include "TempDir.h"

#include <vtkImageData.h>
#include <vtkNew.h>
#include <vtkPNGReader.h>
#include <vtkSmartPointer.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <future>
#include <iterator>
#include <limits>
#include <sstream>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;

constexpr double kEps = std::numeric_limits<double>::epsilon();

struct Shift {
    const char* pszName;
    double d[3];
};

// Runs the demo host on the sample moved by the shift, its printout beside the folder; its exit
// status.
int RunHost(const std::string& out, const double d[3])
{
    char szShift[128];
    std::snprintf(szShift, sizeof szShift, "%.17g,%.17g,%.17g", d[0], d[1], d[2]);
    const std::string cmd = std::string("'") + KVPVS_HOST_PATH + "' --module '" + KVPVS_MODULE_PATH + "' --out '" +
                            out + "' --shift " + szShift + " > '" + out + ".log' 2>&1";
    return std::system(cmd.c_str());
}

std::string NoBlanks(std::string s)
{
    s.erase(std::remove_if(s.begin(), s.end(), [](unsigned char c) { return std::isspace(c); }), s.end());
    return s;
}

std::string ReadText(const fs::path& p, const std::string& folder)
{
    std::ifstream in(p, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    std::string t = s.str();
    // Paths name the run's own folder.
    for (size_t at = t.find(folder); at != std::string::npos; at = t.find(folder, at))
        t.replace(at, folder.size(), "OUT");
    // The curve fit lists its coefficients about a reference x0 near the data, which moves with
    // them: what they give, the values and slopes, is compared, not the list.
    std::istringstream lines(t);
    std::string line, kept;
    while (std::getline(lines, line)) {
        const std::string w = NoBlanks(line);
        if (w.rfind("X^", 0) != 0 && w.rfind("(X-x0)^", 0) != 0 && w.rfind("x0=", 0) != 0)
            kept += line + "\n";
    }
    return kept;
}

struct Token {
    bool bNumber = false;
    std::string text;
    double v = 0.0;
    double dHalfDigit = 0.0; // half a unit in the last digit written
};

// Half a unit in the last digit of a decimal number as written ("1.25e+03": 0.5e1). A number
// without a point or an exponent is read as "%g" writes one, to six significant digits (a count
// or a key is then still told from its neighbour); a longer one as "%.0f".
double HalfDigit(const std::string& t)
{
    if (t.size() > 1 && (t[1] == 'x' || t[1] == 'X' || (t.size() > 2 && (t[2] == 'x' || t[2] == 'X'))))
        return 0.0; // hexadecimal: exact
    if (t.find_first_of(".eE") == std::string::npos) {
        const auto nDigits = static_cast<int>(std::count_if(t.begin(), t.end(), [](unsigned char c) { return std::isdigit(c); }));
        return 0.5 * std::pow(10.0, std::min(nDigits, 6) - 6);
    }
    const size_t e = t.find_first_of("eE");
    const std::string mant = t.substr(0, e);
    const int nExp = e == std::string::npos ? 0 : std::atoi(t.c_str() + e + 1);
    const size_t dot = mant.find('.');
    const int nDecimals = dot == std::string::npos ? 0 : static_cast<int>(mant.size() - dot - 1);
    return 0.5 * std::pow(10.0, nExp - nDecimals);
}

// Numbers (decimal or hexadecimal) and the text between them, line by line.
std::vector<std::vector<Token>> Tokens(const std::string& text)
{
    std::vector<std::vector<Token>> lines(1);
    const char* p = text.c_str();
    std::string word;
    auto flush = [&] {
        if (!word.empty())
            lines.back().push_back(Token{false, word});
        word.clear();
    };
    while (*p) {
        const bool bStart = std::isdigit(static_cast<unsigned char>(*p)) ||
                            ((*p == '-' || *p == '+' || *p == '.') && std::isdigit(static_cast<unsigned char>(p[1]))) ||
                            ((*p == '-' || *p == '+') && p[1] == '.' && std::isdigit(static_cast<unsigned char>(p[2])));
        if (*p == '\n') {
            flush();
            lines.emplace_back();
            ++p;
        } else if (bStart) {
            char* pEnd = nullptr;
            const double v = std::strtod(p, &pEnd);
            flush();
            const std::string t(p, static_cast<size_t>(pEnd - p));
            lines.back().push_back(Token{true, t, v, HalfDigit(t)});
            p = pEnd;
        } else {
            word += *p++;
        }
    }
    flush();
    return lines;
}

bool IsInteger(const Token& t) { return t.text.find_first_of(".eExX") == std::string::npos; }

// Written as zero: no digit of its mantissa is another ("0.000", "-0.0000e+00").
bool IsWrittenZero(const Token& t)
{
    const std::string m = t.text.substr(0, t.text.find_first_of("eE"));
    return m.find_first_of("123456789") == std::string::npos;
}

size_t CountNumbers(const std::vector<Token>& line)
{
    return static_cast<size_t>(std::count_if(line.begin(), line.end(), [](const Token& t) { return t.bNumber; }));
}

// What a number adds to another's size: integers (counts, keys, ids) add nothing.
double SizeOf(const Token& t) { return IsInteger(t) || !std::isfinite(t.v) ? 0.0 : std::fabs(t.v); }

// The size of the terms of each number of the origin's text, by line and by number: its own
// magnitude, or the largest of its column in its table (a run of lines with as many numbers
// each: a report's force and moment columns, a history's series), so that a value passing
// through zero is held to the size of its column. A value the origin writes as zero has no
// size of its own: the terms that cancelled to it are as large as the others on its line (a
// design file's moment about a plane's centre, of forces times levers). Not the largest of a
// block: a force beside a moment a thousand times larger keeps its own digits.
std::vector<std::vector<double>> TermSizes(const std::vector<std::vector<Token>>& lines)
{
    std::vector<std::vector<double>> aSize(lines.size());
    for (size_t i = 0; i < lines.size();) {
        const size_t n = CountNumbers(lines[i]);
        size_t j = i;
        while (j < lines.size() && CountNumbers(lines[j]) == n)
            ++j;
        std::vector<double> aColumn(n, 0.0);
        for (size_t r = i; r < j; ++r) {
            size_t c = 0;
            for (const Token& t : lines[r])
                if (t.bNumber) {
                    aColumn[c] = std::max(aColumn[c], SizeOf(t));
                    ++c;
                }
        }
        for (size_t r = i; r < j; ++r) {
            double dLine = 0.0;
            for (const Token& t : lines[r])
                if (t.bNumber)
                    dLine = std::max(dLine, SizeOf(t));
            size_t c = 0;
            for (const Token& t : lines[r]) {
                if (!t.bNumber)
                    continue;
                const double T = std::max(std::fabs(t.v), aColumn[c++]);
                aSize[r].push_back(IsWrittenZero(t) ? std::max(T, dLine) : T);
            }
        }
        i = j;
    }
    return aSize;
}

// Lines whose numbers are written to a fixed count of significant digits that the test
// accepts, far away, as the origin's digits.
struct T_FIXED_DIGITS {
    const char* pszFile; // how the file's name starts
    const char* pszLine; // how the line starts, without blanks
    int nDigits;
    const char* pszReason;
};
const T_FIXED_DIGITS kFixedDigits[] = {
    {"LdfsFile", "*CenterPosition", 8,
     "the force-sum report writes a plane's centre with %.8g, a format its readers may rely on (README): "
     "far away it is rounded to 8 significant digits"},
};

const T_FIXED_DIGITS* FixedDigits(const std::string& file, const std::vector<Token>& line)
{
    std::string start;
    for (const Token& t : line)
        start += t.bNumber ? "#" : NoBlanks(t.text);
    for (const T_FIXED_DIGITS& f : kFixedDigits)
        if (file.rfind(f.pszFile, 0) == 0 && start.rfind(f.pszLine, 0) == 0)
            return &f;
    return nullptr;
}

// An origin's text, read once for both moved runs: its lines and the term sizes of their
// numbers.
struct T_ORIGIN_TEXT {
    std::string file; // the file's name
    std::vector<std::vector<Token>> lines;
    std::vector<std::vector<double>> aTerm;
};

// Differences of a text file from the origin's, one per offending line, at most nMax. A number
// may differ from the origin's by half a unit of the origin's last written digit, twice (the
// origin's rounding and the moved file's, which writes at least as many): a moved file that
// writes fewer digits fails. A value may further differ by the rounding of coordinates of size
// R carried into terms of its size T. A coordinate is the origin's moved by a component of the
// shift, in metres or the design files' millimetres, to the rounding of the moved value.
std::vector<std::string> TextDifferences(const T_ORIGIN_TEXT& o, const std::string& b, const Shift& s, size_t nMax)
{
    const double R = std::max({std::fabs(s.d[0]), std::fabs(s.d[1]), std::fabs(s.d[2])});
    const std::vector<std::vector<Token>>& la = o.lines;
    const std::vector<std::vector<Token>> lb = Tokens(b);
    const std::vector<std::vector<double>>& aTerm = o.aTerm;
    std::vector<std::string> out;
    if (la.size() != lb.size())
        return {"has " + std::to_string(lb.size()) + " lines, the origin's " + std::to_string(la.size())};
    for (size_t i = 0; i < la.size() && out.size() < nMax; ++i) {
        const std::vector<Token>&ra = la[i], &rb = lb[i];
        const T_FIXED_DIGITS* pFixed = FixedDigits(o.file, ra);
        bool bSame = ra.size() == rb.size();
        for (size_t k = 0, n = 0; k < ra.size() && bSame; ++k) {
            const Token &ta = ra[k], &tb = rb[k];
            if (ta.bNumber != tb.bNumber || !ta.bNumber) {
                // Numbers written to a width take the blanks beside them.
                bSame = ta.bNumber == tb.bNumber && NoBlanks(ta.text) == NoBlanks(tb.text);
                continue;
            }
            const double T = aTerm[i][n++];
            if (ta.text == tb.text)
                continue;
            double dWritten = 2 * ta.dHalfDigit;
            if (pFixed && tb.v != 0.0)
                dWritten = ta.dHalfDigit +
                           0.5 * std::pow(10.0, std::floor(std::log10(std::fabs(tb.v))) - (pFixed->nDigits - 1));
            bool bOk = std::fabs(tb.v - ta.v) <= 64 * kEps * R * T + dWritten;
            for (double f : {1.0, 1000.0})
                for (int c = 0; c < 3 && !bOk; ++c) {
                    const double dMoved = ta.v + f * s.d[c];
                    bOk = s.d[c] != 0.0 && std::fabs(tb.v - dMoved) <= 4 * kEps * std::fabs(dMoved) + dWritten;
                }
            bSame = bOk;
        }
        if (!bSame) {
            std::string sa, sb;
            for (const Token& t : ra)
                sa += t.text;
            for (const Token& t : rb)
                sb += t.text;
            out.push_back("line " + std::to_string(i + 1) + ":\n    origin: " + sa + "\n    moved:  " + sb);
        }
    }
    return out;
}

vtkSmartPointer<vtkImageData> ReadPicture(const fs::path& path)
{
    vtkNew<vtkPNGReader> r;
    r->SetFileName(path.string().c_str());
    r->Update();
    // Apart from the reader's pipeline, which goes with the reader.
    auto p = vtkSmartPointer<vtkImageData>::New();
    p->ShallowCopy(r->GetOutput());
    return p;
}

// Pixels of the moved run's picture that differ from the origin's, against the pixels the
// display draws in either run (those not of the background, the origin's corner colour), or -1
// when a picture cannot be read or the sizes differ. A pixel differs when a channel does by
// more than one level: a colour ramp shades a value that moved by a rounding a level apart.
double DrawnShare(vtkImageData* ia, vtkImageData* ib)
{
    int da[3], db[3];
    ia->GetDimensions(da);
    ib->GetDimensions(db);
    if (ia->GetNumberOfPoints() == 0 || da[0] != db[0] || da[1] != db[1] || da[2] != db[2] ||
        ia->GetScalarType() != VTK_UNSIGNED_CHAR || ib->GetScalarType() != VTK_UNSIGNED_CHAR ||
        ia->GetNumberOfScalarComponents() != ib->GetNumberOfScalarComponents())
        return -1.0;
    const auto* pa = static_cast<const unsigned char*>(ia->GetScalarPointer());
    const auto* pb = static_cast<const unsigned char*>(ib->GetScalarPointer());
    const auto nComp = static_cast<size_t>(ia->GetNumberOfScalarComponents());
    const auto n = static_cast<size_t>(ia->GetNumberOfPoints());
    if (std::memcmp(pa, pb, n * nComp) == 0)
        return 0.0;
    // The background is the origin's first pixel, a corner.
    size_t nDiff = 0, nDrawn = 0;
    for (size_t i = 0; i < n * nComp; i += nComp) {
        bool bDiff = false, bDrawn = false;
        for (size_t c = 0; c < nComp; ++c) {
            const int d = pa[i + c] - pb[i + c];
            bDiff = bDiff || d > 1 || d < -1;
            bDrawn = bDrawn || pa[i + c] != pa[c] || pb[i + c] != pa[c];
        }
        nDiff += bDiff ? 1 : 0;
        nDrawn += bDrawn ? 1 : 0;
    }
    return nDiff == 0 ? 0.0 : static_cast<double>(nDiff) / static_cast<double>(nDrawn);
}

// Outputs the test leaves out, each with its reason: a file, or a folder ending in '/'.
struct T_LEFT_OUT {
    const char* pszPath;
    const char* pszReason;
};
const T_LEFT_OUT kLeftOut[] = {
    {"YRP_log.txt", "the design program's log: its process ids and the timing of the link's messages differ from "
                    "run to run"},
    {"curve_fit.png", "its x axis reads the moved x, so its ticks stand elsewhere and say other numbers; the values "
                      "it draws are compared in curve_fit.txt"},
    {"KvrDesignCH.exe", "the design checker, copied beside the design files: a program, not an output"},
    {"result_files/", "the sample's solver result files: the module's input, binary"},
    {"result_files_slab/", "the sample's solver result files with the base slab: the module's input, binary"},
};
// Left out of the texts (ReadText).
const char* const kLeftOutLines = "the curve fit's coefficient rows ('x0 = ', 'X^k', '(X-x0)^k'): far away they are "
                                  "about a reference x0 near the data, which moves with them; the values and slopes "
                                  "they give are compared";

const T_LEFT_OUT* LeftOut(const std::string& relative)
{
    for (const T_LEFT_OUT& l : kLeftOut) {
        const std::string p = l.pszPath;
        if (p.back() == '/' ? relative.rfind(p, 0) == 0 : relative == p)
            return &l;
    }
    return nullptr;
}

bool IsPicture(const fs::path& p)
{
    std::string e = p.extension().string();
    std::transform(e.begin(), e.end(), e.begin(), [](unsigned char c) { return std::tolower(c); });
    return e == ".png";
}

bool IsText(const fs::path& p)
{
    const std::string e = p.extension().string();
    return e == ".txt" || e == ".csv" || e == ".log" || e == ".rpd" || e == ".yrb";
}

} // namespace

TEST(SampleTranslation, TheDemoFarFromTheOriginIsTheDemoAtTheOriginMoved)
{
    KVPVS_REQUIRE_DISPLAY();
    kvpvs::testing::TempDir tmp("kvpvs_translation");
    const Shift shifts[3] = {{"origin", {0, 0, 0}},
                             {"projected", {5123456.789, 4234567.891, 321.987}},
                             {"far", {1e8, 1e8, 1e8}}};
    std::vector<std::future<int>> runs;
    for (const Shift& s : shifts)
        runs.push_back(std::async(std::launch::async, [&tmp, &s] { return RunHost(tmp.file(s.pszName), s.d); }));
    for (size_t i = 0; i < runs.size(); ++i)
        EXPECT_EQ(runs[i].get(), 0) << "the demo host at " << shifts[i].pszName << " failed; its printout is in "
                                    << tmp.file(shifts[i].pszName) << ".log";

    const fs::path origin = tmp.file("origin");
    std::printf("left out of the texts: %s\n", kLeftOutLines);
    for (const T_FIXED_DIGITS& f : kFixedDigits)
        std::printf("to %d digits: %s*, lines '%s': %s\n", f.nDigits, f.pszFile, f.pszLine, f.pszReason);
    std::vector<std::pair<fs::path, std::string>> files{{origin.string() + ".log", "the printout"}};
    for (const auto& e : fs::recursive_directory_iterator(origin))
        if (e.is_regular_file())
            files.emplace_back(e.path(), fs::relative(e.path(), origin).string());
    std::vector<int> aLeftOut(std::size(kLeftOut), 0);
    for (const auto& [a, rel] : files)
        if (const T_LEFT_OUT* l = LeftOut(rel))
            ++aLeftOut[static_cast<size_t>(l - kLeftOut)];
        else if (!IsPicture(a) && !IsText(a))
            ADD_FAILURE() << rel << " is neither compared nor left out";
    for (size_t k = 0; k < std::size(kLeftOut); ++k)
        if (aLeftOut[k] > 0)
            std::printf("left out: %s (%d): %s\n", kLeftOut[k].pszPath, aLeftOut[k], kLeftOut[k].pszReason);

    // Each output of the origin is read once and compared with both moved runs.
    int nPictures = 0, nTexts = 0;
    for (const auto& [a, rel] : files) {
        if (LeftOut(rel))
            continue;
        const bool bPicture = IsPicture(a);
        if (!bPicture && !IsText(a))
            continue;
        ++(bPicture ? nPictures : nTexts);
        vtkSmartPointer<vtkImageData> pOrigin;
        T_ORIGIN_TEXT text;
        if (bPicture) {
            pOrigin = ReadPicture(a);
        } else {
            text.file = a.filename().string();
            text.lines = Tokens(ReadText(a, origin.string()));
            text.aTerm = TermSizes(text.lines);
        }
        for (int i = 1; i < 3; ++i) {
            const Shift& s = shifts[i];
            const fs::path moved = tmp.file(s.pszName);
            const fs::path b = a == files.front().first ? fs::path(moved.string() + ".log") : moved / rel;
            if (!fs::exists(b)) {
                ADD_FAILURE() << s.pszName << ": " << rel << " was not written";
                continue;
            }
            if (bPicture) {
                const double dShare = DrawnShare(pOrigin, ReadPicture(b));
                EXPECT_TRUE(dShare >= 0.0 && dShare <= 0.01)
                    << s.pszName << ": " << rel << ": " << 100 * dShare << " % of the pixels drawn differ";
            } else {
                for (const std::string& d : TextDifferences(text, ReadText(b, moved.string()), s, 5))
                    ADD_FAILURE() << s.pszName << ": " << rel << " " << d;
            }
        }
    }
    EXPECT_GE(nPictures, 30);
    EXPECT_GE(nTexts, 25);
}
