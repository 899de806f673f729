// The whole sample far from the origin: the demo host run on the sample project moved to a
// national-grid position and to 1e8, with every point it types moved alike, against the run at
// the origin. Every number of its reports, tables and printout is the origin's (within the
// rounding of the moved coordinates, to the digits it is written with) or the origin's moved by
// a component of the shift; every picture differs from the origin's in at most 1 % of its pixels.
// Binary files (the sample's result files) are the sample's input, not compared.
#include "DisplayRequired.h"
#include "TempDir.h"

#include <vtkImageData.h>
#include <vtkNew.h>
#include <vtkPNGReader.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <future>
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

bool IsBlank(const std::vector<Token>& line)
{
    return std::all_of(line.begin(), line.end(), [](const Token& t) { return !t.bNumber && NoBlanks(t.text).empty(); });
}

// The size of the terms of each line's values: the largest magnitude of the non-integer numbers
// of its block (lines between blank ones: a report's plane, a table) at the origin.
std::vector<double> TermSizes(const std::vector<std::vector<Token>>& lines)
{
    std::vector<double> aSize(lines.size(), 0.0);
    for (size_t i = 0; i < lines.size();) {
        size_t j = i;
        double T = 0.0;
        for (; j < lines.size() && !IsBlank(lines[j]); ++j)
            for (const Token& t : lines[j])
                if (t.bNumber && !IsInteger(t) && std::isfinite(t.v))
                    T = std::max(T, std::fabs(t.v));
        for (size_t k = i; k < j; ++k)
            aSize[k] = T;
        i = j + 1;
    }
    return aSize;
}

// Differences of a text file from the origin's, one per offending line, at most nMax. A value
// may differ by the rounding of coordinates of size R carried into terms of size T; a
// coordinate is the origin's moved by a component of the shift, written in metres or
// millimetres, to that rounding; both to the digits they are written with.
std::vector<std::string> TextDifferences(const std::string& a, const std::string& b, const Shift& s, size_t nMax)
{
    const double R = std::max({std::fabs(s.d[0]), std::fabs(s.d[1]), std::fabs(s.d[2])});
    const std::vector<std::vector<Token>> la = Tokens(a), lb = Tokens(b);
    std::vector<std::string> out;
    if (la.size() != lb.size())
        return {"has " + std::to_string(lb.size()) + " lines, the origin's " + std::to_string(la.size())};
    const std::vector<double> aTerm = TermSizes(la);
    for (size_t i = 0; i < la.size() && out.size() < nMax; ++i) {
        const std::vector<Token>&ra = la[i], &rb = lb[i];
        bool bSame = ra.size() == rb.size();
        for (size_t k = 0; k < ra.size() && bSame; ++k) {
            const Token &ta = ra[k], &tb = rb[k];
            if (ta.bNumber != tb.bNumber || !ta.bNumber) {
                // Numbers written to a width take the blanks beside them.
                bSame = ta.bNumber == tb.bNumber && NoBlanks(ta.text) == NoBlanks(tb.text);
                continue;
            }
            if (ta.text == tb.text)
                continue;
            const double dWritten = ta.dHalfDigit + tb.dHalfDigit;
            bool bOk = std::fabs(tb.v - ta.v) <= 64 * kEps * R * aTerm[i] + dWritten;
            for (double f : {1.0, 1000.0})
                for (int c = 0; c < 3 && !bOk; ++c)
                    bOk = s.d[c] != 0.0 && std::fabs(tb.v - (ta.v + f * s.d[c])) <= 64 * kEps * R * f + dWritten;
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

// The share of pixels that differ, or -1 when a picture cannot be read or the sizes differ.
double PixelShare(const fs::path& a, const fs::path& b)
{
    vtkNew<vtkPNGReader> ra, rb;
    ra->SetFileName(a.string().c_str());
    rb->SetFileName(b.string().c_str());
    ra->Update();
    rb->Update();
    vtkImageData* ia = ra->GetOutput();
    vtkImageData* ib = rb->GetOutput();
    int da[3], db[3];
    ia->GetDimensions(da);
    ib->GetDimensions(db);
    if (ia->GetNumberOfPoints() == 0 || da[0] != db[0] || da[1] != db[1] || da[2] != db[2] ||
        ia->GetScalarType() != VTK_UNSIGNED_CHAR || ib->GetScalarType() != VTK_UNSIGNED_CHAR ||
        ia->GetNumberOfScalarComponents() != ib->GetNumberOfScalarComponents())
        return -1.0;
    const auto* pa = static_cast<const unsigned char*>(ia->GetScalarPointer());
    const auto* pb = static_cast<const unsigned char*>(ib->GetScalarPointer());
    const int nComp = ia->GetNumberOfScalarComponents();
    const vtkIdType n = ia->GetNumberOfPoints();
    vtkIdType nDiff = 0;
    for (vtkIdType i = 0; i < n; ++i)
        nDiff += std::equal(pa + i * nComp, pa + (i + 1) * nComp, pb + i * nComp) ? 0 : 1;
    return static_cast<double>(nDiff) / static_cast<double>(n);
}

// The curve fit's graph is left out: its x axis reads the moved x, so its ticks stand elsewhere
// and say other numbers; the values it draws are compared in the curve fit's report.
bool IsPicture(const fs::path& p)
{
    std::string e = p.extension().string();
    std::transform(e.begin(), e.end(), e.begin(), [](unsigned char c) { return std::tolower(c); });
    return e == ".png" && p.filename() != "curve_fit.png";
}

// The design program's log is left out: its process ids and the timing of the link's messages
// differ from run to run.
bool IsText(const fs::path& p)
{
    const std::string e = p.extension().string();
    return p.filename() != "YRP_log.txt" &&
           (e == ".txt" || e == ".csv" || e == ".log" || e == ".rpd" || e == ".yrb");
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
    for (int i = 1; i < 3; ++i) {
        const Shift& s = shifts[i];
        SCOPED_TRACE(s.pszName);
        const fs::path moved = tmp.file(s.pszName);
        std::vector<std::pair<fs::path, fs::path>> files{{origin.string() + ".log", moved.string() + ".log"}};
        for (const auto& e : fs::recursive_directory_iterator(origin))
            if (e.is_regular_file())
                files.emplace_back(e.path(), moved / fs::relative(e.path(), origin));
        int nPictures = 0, nTexts = 0;
        for (const auto& [a, b] : files) {
            const std::string name = fs::relative(a, tmp.path()).string();
            ASSERT_TRUE(fs::exists(b)) << name << " was not written";
            if (IsPicture(a)) {
                ++nPictures;
                const double dShare = PixelShare(a, b);
                EXPECT_TRUE(dShare >= 0.0 && dShare <= 0.01) << name << ": " << 100 * dShare << " % of pixels differ";
            } else if (IsText(a)) {
                ++nTexts;
                for (const std::string& d :
                     TextDifferences(ReadText(a, origin.string()), ReadText(b, moved.string()), s, 5))
                    ADD_FAILURE() << name << " " << d;
            }
        }
        EXPECT_GE(nPictures, 30);
        EXPECT_GE(nTexts, 25);
    }
}
