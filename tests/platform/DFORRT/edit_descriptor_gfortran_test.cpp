// The internal formatted write against the reference Fortran compiler: format_grid.f90,
// compiled with gfortran when the test runs, writes every value of a grid with every
// descriptor of one family, and each of our texts must equal its field byte for byte
// (a descriptor gfortran refuses must get a status here).
#include "DFORRT/FormattedIO.h"

#include <gtest/gtest.h>

#include <bit>
#include <cfloat>
#include <cinttypes>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <limits>
#include <numbers>
#include <random>
#include <sstream>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;

struct GridCase {
    bool integer = false;
    std::uint64_t bits = 0;
    std::string descriptor;   // ours
    std::string reference;    // what gfortran gets
    bool d_letter = false;    // gfortran writes E where ours writes D
};

std::string ScaleText(int k, bool scaled) { return scaled ? std::to_string(k) + "P" : ""; }

// Values that exercise each rule: zeros of both signs, ties in binary (0.125, 2.5, 99999.5),
// carries into a new decade (9.5, 0.9995), G's bounds, values that are not ties in binary although they
// look so (0.15, 2.675), the ends of the range, non-finite values, and a seeded spread.
std::vector<double> RealValues()
{
    std::vector<double> v = {
        0.0, -0.0, 1.0, -1.0, 0.5, -0.5, 0.125, 0.375, -0.125, 2.5, 3.5, -2.5, 0.05, 0.15, 0.25, 1.5,
        9.5, 99.5, 999.5, 9999.5, 99999.5, 999999.5, 0.95, 0.995, 0.9995, 0.09999, 0.099999999, 0.0999,
        123.456, -123.456, 1e-5, 1.0 / 3.0, -2.0 / 3.0, std::numbers::pi, -std::numbers::pi, std::numbers::e, 0.1, 0.2, 0.3, 0.7, 2.675,
        10.0, 100.0, 1000.0, 9.999999, 99.99999, 0.001, 0.0005, -0.0005, 0.0015, 0.00049999, -0.04, 0.06,
        1e7, 1e8, 12345678.9, 1e10, 1e15, 1e22, 1e23, 9007199254740993.0, 9.223372036854775807e18,
        1e99, 9.9999e99, 1e100, -1e100, 1e-99, 1e-100, 1e300, -1e300, 1e-300, 1e-310,
        DBL_MAX, -DBL_MAX, DBL_MIN, std::numeric_limits<double>::denorm_min(),
        std::numeric_limits<double>::quiet_NaN(), std::numeric_limits<double>::infinity(),
        -std::numeric_limits<double>::infinity()};
    // G's choice between F and E at its bounds 10^j·(1 - 0.5·10^-d), and one ulp either side.
    for (double b : {0.095, 0.95, 9.95, 99.5, 0.0995, 0.995, 99.95, 999.95}) {
        v.push_back(b);
        v.push_back(std::nextafter(b, 0.0));
        v.push_back(std::nextafter(b, 1e3));
    }
    std::mt19937_64 gen(20240517);
    std::uniform_real_distribution<double> mantissa(1.0, 10.0);
    std::uniform_int_distribution<int> exponent(-12, 12);
    for (int i = 0; i < 24; ++i) {
        const double x = mantissa(gen) * std::pow(10.0, exponent(gen));
        v.push_back(i % 2 ? -x : x);
    }
    return v;
}

std::vector<long long> IntegerValues()
{
    return {0, 1, -1, 5, -5, 9, 10, 99, -99, 100, 12345, -12345, 99999, 100000, 2147483647, -2147483648LL,
            std::numeric_limits<long long>::max(), std::numeric_limits<long long>::min()};
}

void AddReals(std::vector<GridCase>& grid, const std::string& ours, const std::string& reference, bool d_letter)
{
    for (double x : RealValues())
        grid.push_back({false, std::bit_cast<std::uint64_t>(x), ours, reference, d_letter});
}

std::vector<GridCase> BuildGrid(char family)
{
    std::vector<GridCase> grid;
    const std::vector<std::pair<int, bool>> scales_f = {{0, false}, {0, true}, {1, true}, {-1, true}, {3, true}, {-2, true}};
    const std::vector<std::pair<int, bool>> scales_e = {{0, false}, {0, true}, {1, true}, {2, true}, {-1, true}, {-2, true}, {6, true}};
    switch (family) {
    case 'I':
        for (int w : {1, 2, 3, 5, 10, 11, 20})
            for (int m : {-1, 0, 1, 2, 5, w}) {
                if (m > w)
                    continue;
                const std::string d = "I" + std::to_string(w) + (m >= 0 ? "." + std::to_string(m) : "");
                for (long long x : IntegerValues())
                    grid.push_back({true, static_cast<std::uint64_t>(x), d, d, false});
            }
        break;
    case 'F':
        for (int w : {1, 2, 3, 4, 5, 6, 7, 8, 10, 12, 16, 24, 40})
            for (int dd : {0, 1, 2, 3, 4, 6, 10, 17})
                for (auto [k, scaled] : scales_f) {
                    const std::string d = ScaleText(k, scaled) + "F" + std::to_string(w) + "." + std::to_string(dd);
                    AddReals(grid, d, d, false);
                }
        break;
    case 'E':
        for (int w : {1, 6, 7, 8, 9, 10, 12, 15, 24})
            for (int dd : {0, 1, 3, 5, 15, 16})
                for (int e : {-1, 1, 2, 3})
                    for (auto [k, scaled] : scales_e) {
                        const std::string d = ScaleText(k, scaled) + "E" + std::to_string(w) + "." + std::to_string(dd) +
                                              (e > 0 ? "E" + std::to_string(e) : "");
                        AddReals(grid, d, d, false);
                    }
        break;
    case 'D':
        // gfortran knows Dw.d only; Dw.dEe is its Ew.dEe with the letter D.
        for (int w : {7, 9, 10, 12, 24})
            for (int dd : {0, 1, 3, 15})
                for (int e : {-1, 2, 3})
                    for (auto [k, scaled] : scales_e) {
                        const std::string tail = std::to_string(w) + "." + std::to_string(dd) +
                                                 (e > 0 ? "E" + std::to_string(e) : "");
                        AddReals(grid, ScaleText(k, scaled) + "D" + tail,
                                 ScaleText(k, scaled) + (e > 0 ? "E" : "D") + tail, e > 0);
                    }
        break;
    case 'G':
        for (int w : {1, 3, 5, 6, 7, 8, 10, 12, 15, 24})
            for (int dd : {0, 1, 2, 3, 5, 15})
                for (int e : {-1, 1, 2, 3})
                    for (auto [k, scaled] : scales_e) {
                        if (k == 6)
                            continue;
                        const std::string d = ScaleText(k, scaled) + "G" + std::to_string(w) + "." + std::to_string(dd) +
                                              (e > 0 ? "E" + std::to_string(e) : "");
                        AddReals(grid, d, d, false);
                    }
        break;
    case 'S':
        // Spellings: parentheses, blanks anywhere, lower case, a signed scale factor.
        for (const char* d : {"(0PF10. 2)", "(1PD12. 4)", "( F 8 . 3 )", "f10.3", "1pe12.4", "(g12.5e3)", "+1PE10.3",
                              "-1P E 12 . 4", "(I8)", "i 6 . 3"}) {
            const std::string s(d);
            if (s.find_first_of("Ii") != std::string::npos) {
                for (long long x : IntegerValues())
                    grid.push_back({true, static_cast<std::uint64_t>(x), s, s, false});
            } else {
                AddReals(grid, s, s, false);
            }
        }
        break;
    default:
        break;
    }
    return grid;
}

fs::path GridSource()
{
    if (const char* root = std::getenv("KVPVS_SOURCE_DIR"))
        return fs::path(root) / "tests/platform/DFORRT/format_grid.f90";
    return fs::path(__FILE__).parent_path() / "format_grid.f90";
}

std::string Quote(const fs::path& p) { return "'" + p.string() + "'"; }

// Runs the grid through gfortran's run-time library; one output line per case.
std::vector<std::string> ReferenceLines(const std::vector<GridCase>& grid, std::string& error)
{
    std::string dir_template = (fs::path(testing::TempDir()) / "format_grid_XXXXXX").string();
    if (!mkdtemp(dir_template.data())) {
        error = "no temporary directory";
        return {};
    }
    const fs::path dir(dir_template);
    const fs::path exe = dir / "format_grid";
    const std::string compile = "gfortran -O0 -o " + Quote(exe) + " " + Quote(GridSource()) + " 2>" +
                                Quote(dir / "gfortran.log");
    if (std::system(compile.c_str()) != 0) {
        error = "gfortran could not build " + GridSource().string() + " (is the gfortran package installed?)";
        return {};
    }
    {
        std::ofstream in(dir / "grid.in");
        char hex[17];
        for (const GridCase& c : grid) {
            std::snprintf(hex, sizeof hex, "%016" PRIX64, c.bits);
            in << (c.integer ? 'I' : 'R') << ' ' << hex << ' ' << c.reference << '\n';
        }
    }
    const std::string run = Quote(exe) + " <" + Quote(dir / "grid.in") + " >" + Quote(dir / "grid.out");
    if (std::system(run.c_str()) != 0) {
        error = "the gfortran grid writer failed";
        return {};
    }
    std::vector<std::string> lines;
    std::ifstream out(dir / "grid.out");
    for (std::string line; std::getline(out, line);)
        lines.push_back(line);
    fs::remove_all(dir);
    return lines;
}

std::string Describe(const GridCase& c)
{
    std::ostringstream s;
    s << c.descriptor << " of ";
    if (c.integer) {
        s << static_cast<long long>(c.bits);
    } else {
        char buf[40];
        std::snprintf(buf, sizeof buf, "%.17g", std::bit_cast<double>(c.bits));
        s << buf;
    }
    return s.str();
}

class FormatterAgreesWithGfortran : public testing::TestWithParam<char> {};

TEST_P(FormatterAgreesWithGfortran, ForEveryValueAndDescriptorOfTheFamily)
{
    const std::vector<GridCase> grid = BuildGrid(GetParam());
    std::string error;
    const std::vector<std::string> lines = ReferenceLines(grid, error);
    ASSERT_TRUE(error.empty()) << error;
    ASSERT_EQ(lines.size(), grid.size());
    int mismatches = 0;
    int refused = 0;
    for (std::size_t i = 0; i < grid.size(); ++i) {
        const GridCase& c = grid[i];
        std::string text = "untouched";
        const int status = c.integer ? dforrt::FormatInteger(c.descriptor, static_cast<long long>(c.bits), text)
                                     : dforrt::FormatReal(c.descriptor, std::bit_cast<double>(c.bits), text);
        std::string expected = lines[i];
        bool agrees;
        if (expected == "ERR") {
            ++refused;
            agrees = status != dforrt::FMT_OK && text == "untouched";
        } else {
            // "OK <field>|"
            expected = expected.substr(3, expected.size() - 4);
            if (c.d_letter) {
                const std::size_t e = expected.rfind('E');
                if (e != std::string::npos)
                    expected[e] = 'D';
            }
            agrees = status == dforrt::FMT_OK && text == expected;
        }
        if (!agrees && ++mismatches <= 25)
            ADD_FAILURE() << Describe(c) << ": gfortran [" << lines[i] << "], ours status " << status << " ["
                          << text << "]";
    }
    EXPECT_EQ(mismatches, 0) << "of " << grid.size() << " cases";
    std::printf("%zu cases compared, %d refused by both\n", grid.size(), refused);
}

INSTANTIATE_TEST_SUITE_P(Families, FormatterAgreesWithGfortran, testing::Values('I', 'F', 'E', 'D', 'G', 'S'),
                         [](const testing::TestParamInfo<char>& info) {
                             switch (info.param) {
                             case 'I': return std::string("Iw_m");
                             case 'F': return std::string("Fw_d");
                             case 'E': return std::string("Ew_dEe");
                             case 'D': return std::string("Dw_dEe");
                             case 'G': return std::string("Gw_dEe");
                             default: return std::string("Spellings");
                             }
                         });

} // namespace
