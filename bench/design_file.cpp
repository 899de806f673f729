// The design text file reader against its bound: a beam file of 20,000 elements and 10 load
// cases and a solid file of 200 planes, written in the set-up with the file's formats, read by
// CYRPC_DataTool::ReadDesignFile; in the same run, a plain read of the same bytes followed by a
// strtod pass over every number in them (what no reader of this text can beat). Figures in
// MB/s and their ratio; the tables are checksummed so the reads cannot be skipped.
#include "design/CYRPC_DataTool.h"

#include "afxfile.h"

#include <benchmark/benchmark.h>

#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <map>
#include <string>
#include <vector>

namespace {

constexpr int kElements = 20000;
constexpr int kCases = 10;
constexpr int kPlanes = 200;

std::string Scratch(const char* pszName)
{
    const char* dir = access("/dev/shm", W_OK) == 0 ? "/dev/shm" : "/tmp";
    return std::string(dir) + "/kvpvs_bench_" + std::to_string(getpid()) + "_" + pszName;
}

const std::string g_beam = Scratch("beam.txt");
const std::string g_solid = Scratch("solid.txt");

void WriteBeamFile()
{
    FILE* f = AfxTextFOpen(g_beam.c_str(), "wt");
    std::fprintf(f, "*Beam Element Design Result\n*UNIT ; Unit System\n;Force, Length\n%6s,%7s\n", "N", "mm");
    std::fprintf(f, "*SECTION ; Section\n;   ID,   TYPE,    NAME,     Area,       Ix,       Iy,       Iz,       Ay,"
                    "       Az,     Dim1,     Dim2,     Dim3,     Dim4,     Dim5,     Dim6\n");
    for (int s = 1; s <= 20; ++s)
        std::fprintf(f, "%6d,%7s,%8s, %8.3f, %8.3f, %8.3f, %8.3f, %8.3f, %8.3f, %8.3f, %8.3f, %8.3f, %8.3f, %8.3f, %8.3f\n",
                     s, "Shape", "H400", 21800.0 + s, 3.8e6, 6.66e8, 2.24e8, 10900.0, 10900.0, 400.0, 400.0, 13.0, 21.0,
                     0.0, 0.0);
    std::fprintf(f, "*MATERIAL ; Material\n;   ID,    Name,           E, Poisson's Ratio, Weight Density\n");
    for (int m = 1; m <= 5; ++m)
        std::fprintf(f, "%6d,%8s, %8.3f, %14.3f, %14.3f\n", m, "Steel", 210000.0, 0.3, 0.0);
    std::fprintf(f, "*ATTRIBUTE ; Attribute\n;   ID, SECTION ID, MATERIAL ID\n");
    for (int a = 1; a <= 20; ++a)
        std::fprintf(f, "%6d, %10d, %11d\n", a, a, 1 + a % 5);
    std::fprintf(f, "*ELEMENT ; Element\n;    ID, ATTRIBUTE ID\n");
    for (int e = 1; e <= kElements; ++e)
        std::fprintf(f, "%7d, %12d\n", e, 1 + e % 20);
    std::fprintf(f, "*LOADCASE\n;   ID, Load Case Name\n");
    for (int c = 1; c <= kCases; ++c) {
        std::fprintf(f, "%6d, %16s\n", c, ("Stage " + std::to_string(c)).c_str());
        std::fprintf(f, ";ElementID,      Fxi,      Fyi,      Fzi,      Mxi,      Myi,      Mzi,      Fxj,      Fyj,"
                        "      Fzj,      Mxj,      Myj,      Mzj\n");
        for (int e = 1; e <= kElements; ++e) {
            const double v = -1000.0 * c - 0.001 * e;
            std::fprintf(f, "%10d, %8.3f, %8.3f, %8.3f, %8.3f, %8.3f, %8.3f, %8.3f, %8.3f, %8.3f, %8.3f, %8.3f, %8.3f\n",
                         e, v, 2.0 * c, -3.5, 0.0, 1.0e6 + e, -2.0e5, v + 1.0, 2.0 * c, -3.5, 0.0, -1.0e6 - e, 2.0e5);
        }
    }
    std::fprintf(f, "*FILEPATH ; File Path\n/projects/bench/model\n*ENDDATA\n");
    std::fclose(f);
}

// 200 solid planes, each the rectangle 24 m by 8 m cut through 12 x 4 hexahedra: 65 points and
// 96 triangles, a boundary of 32 points, the section and ten load cases.
void WriteSolidFile()
{
    FILE* f = AfxTextFOpen(g_solid.c_str(), "wt");
    for (int p = 1; p <= kPlanes; ++p) {
        std::fprintf(f, "*Solid/Plate Element Design Result\n*UNIT ; Unit System\n;Force, Length\n%6s,%7s\n", "N", "mm");
        std::fprintf(f, "*SOLIDFORCESUM, count, %d\n", p);
        std::fprintf(f, ";    Name,      ORG X,      ORG Y,      ORG Z,    DIR X,    DIR Y,    DIR Z \n");
        std::fprintf(f, "%9s, %10.3f, %10.3f, %10.3f, %8.3f, %8.3f, %8.3f\n", ("Cut" + std::to_string(p)).c_str(),
                     1000.0 * p + 300.0, 4000.0, -12000.0, 1.0, 0.0, 0.0);
        std::fprintf(f, "*POINT\n;      ID,             X,             Y,             Z\n");
        for (int j = 0; j <= 4; ++j)
            for (int i = 0; i <= 12; ++i)
                std::fprintf(f, "%9d,%14.3f,%14.3f,%14.3f\n", j * 13 + i + 1, 1000.0 * p + 300.0, 2000.0 * j,
                             -24000.0 + 2000.0 * i);
        std::fprintf(f, "*CELL\n;      ID, POINT1 ID, POINT2 ID, POINT3 ID, Elastic Modulus, Poisson Ratio, Weight Density\n");
        int nCell = 0;
        for (int j = 0; j < 4; ++j)
            for (int i = 0; i < 12; ++i) {
                const int a = j * 13 + i + 1, b = a + 1, c = a + 14, d = a + 13;
                std::fprintf(f, "%9d, %9d, %9d, %9d, %15.3f, %13.3f, %14.3f\n", ++nCell, a, b, c, 80.0, 0.3, 0.0);
                std::fprintf(f, "%9d, %9d, %9d, %9d, %15.3f, %13.3f, %14.3f\n", ++nCell, a, c, d, 80.0, 0.3, 0.0);
            }
        std::fprintf(f, "*Boundary Edge Point\n;Point ID\n");
        for (int k = 0; k < 33; ++k)
            std::fprintf(f, "%9d\n", 1 + k % 32);
        std::fprintf(f, "*SECTION; section\n;%20s,%20s,%20s\n", "AREA", "h", "b");
        std::fprintf(f, " %20.3f,%20.3f,%20.3f\n", 24000.0 * 8000.0, 24000.0, 8000.0);
        std::fprintf(f, "*FORCESUM\n;      Load Case Name,             FX,             FY,             FZ,             MX,"
                        "             MY,             MZ\n");
        for (int c = 1; c <= kCases; ++c)
            std::fprintf(f, "%21s, %14.3f, %14.3f, %14.3f, %14.3f, %14.3f, %14.3f\n", ("Stage " + std::to_string(c)).c_str(),
                         -2.1e7 * c - p, 0.0, -1.18e6, 0.0, 7.47e10 + p, -0.004);
    }
    std::fprintf(f, "*FILEPATH ; File Path\n/projects/bench/model\n*ENDDATA\n");
    std::fclose(f);
}

std::uintmax_t Size(const std::string& s) { return std::filesystem::file_size(s); }

// FNV-1a over the bytes of a double.
void Mix(std::uint64_t& h, double v)
{
    std::uint64_t w = 0;
    std::memcpy(&w, &v, sizeof w);
    for (int b = 0; b < 8; ++b) {
        h ^= (w >> (8 * b)) & 0xffU;
        h *= 1099511628211ULL;
    }
}

std::uint64_t TableChecksum(const T_YRP_CONVERT_TABLE_D& t)
{
    std::uint64_t h = 1469598103934665603ULL;
    for (POSITION pos = t.mBeamLoad.GetStartPosition(); pos;) {
        int k = 0;
        T_YRP_CONVERT_BEAM_LOAD l;
        t.mBeamLoad.GetNextAssoc(pos, k, l);
        Mix(h, k);
        for (const T_YRP_CONVERT_BEAM_LOADCASE& c : l.aLoadCase)
            for (int i = 0; i < 6; ++i) {
                Mix(h, c.dForceI[i]);
                Mix(h, c.dForceJ[i]);
            }
    }
    for (POSITION pos = t.mPlane.GetStartPosition(); pos;) {
        int k = 0;
        T_YRP_CONVERT_PLANE p;
        t.mPlane.GetNextAssoc(pos, k, p);
        Mix(h, k);
        Mix(h, p.dSection[0]);
        Mix(h, p.mPoint.GetCount());
        Mix(h, p.mCell.GetCount());
        for (const T_YRP_CONVERT_FORCESUM& r : p.aForceSum)
            for (double d : r.dSum)
                Mix(h, d);
    }
    Mix(h, t.mElem.GetCount());
    return h;
}

std::map<std::string, std::uint64_t> g_checksum;

void Reader(benchmark::State& state, const std::string* pPath)
{
    CYRPC_DataTool tool;
    for (auto _ : state) {
        const int ok = tool.ReadDesignFile(pPath->c_str());
        benchmark::DoNotOptimize(ok);
    }
    g_checksum[*pPath] = TableChecksum(tool.GetTables());
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) * static_cast<std::int64_t>(Size(*pPath)));
}

// The bound: the bytes read at once, then every number in them converted once with strtod.
void PlainReadAndStrtod(benchmark::State& state, const std::string* pPath)
{
    double dSum = 0.0;
    for (auto _ : state) {
        std::ifstream in(*pPath, std::ios::binary);
        std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
        const char* p = bytes.c_str();
        const char* end = p + bytes.size();
        while (p < end) {
            if ((*p >= '0' && *p <= '9') || *p == '-' || *p == '.') {
                char* q = nullptr;
                dSum += std::strtod(p, &q);
                p = q > p ? q : p + 1;
            } else
                ++p;
        }
        benchmark::DoNotOptimize(dSum);
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) * static_cast<std::int64_t>(Size(*pPath)));
}

class RateReporter : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& runs) override
    {
        ConsoleReporter::ReportRuns(runs);
        for (const Run& r : runs) {
            const auto c = r.counters.find("bytes_per_second");
            if (c != r.counters.end())
                rate[r.benchmark_name()] = c->second.value;
        }
    }
    std::map<std::string, double> rate;
};

} // namespace

int main(int argc, char** argv)
{
    benchmark::Initialize(&argc, argv);
    WriteBeamFile();
    WriteSolidFile();
    std::printf("beam file %.1f MB (%d elements, %d cases), solid file %.1f MB (%d planes)\n",
                static_cast<double>(Size(g_beam)) / 1e6, kElements, kCases, static_cast<double>(Size(g_solid)) / 1e6,
                kPlanes);
    benchmark::RegisterBenchmark("Reader/beam", Reader, &g_beam)->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark("PlainReadAndStrtod/beam", PlainReadAndStrtod, &g_beam)->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark("Reader/solid", Reader, &g_solid)->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark("PlainReadAndStrtod/solid", PlainReadAndStrtod, &g_solid)->Unit(benchmark::kMillisecond);
    RateReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    for (const char* pszKind : {"beam", "solid"}) {
        const double r = reporter.rate[std::string("Reader/") + pszKind];
        const double b = reporter.rate[std::string("PlainReadAndStrtod/") + pszKind];
        if (r > 0.0 && b > 0.0)
            std::printf("%s file: reader %.1f MB/s, plain read + strtod %.1f MB/s, ratio %.2f, table checksum %016llx\n",
                        pszKind, r / 1e6, b / 1e6, r / b,
                        static_cast<unsigned long long>(g_checksum[std::string(pszKind) == "beam" ? g_beam : g_solid]));
    }
    std::filesystem::remove(g_beam);
    std::filesystem::remove(g_solid);
    benchmark::Shutdown();
    return 0;
}
