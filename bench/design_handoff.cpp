// The hand-off of beam design files to the design program's data library: files of 2,000 and
// 20,000 elements with 4 load cases each, read and converted into RC-beam records, stored with
// key 0 each (AddUrbeList) and written to the exchange file, per record. In the same run, the
// bound: the same records copied into a std::map and the same exchange-file bytes written, and a
// second bound that also formats those bytes' doubles with the library's hexadecimal writer.
// The keys the store hands out are checked against the rule as written (the smallest free key
// from 1 upward at each store, searched from 1 each time) by a checksum over keys and names;
// that search as written, once per probe through the library's key list, is timed on the first
// 300 records (it grows with the cube of the count).
#include "design/CYRPC_DataTool.h"
#include "design/CYRPDataCtrl.h"

#include "DBDoc.h"
#include "HexDouble.h"
#include "TempDir.h"
#include "UnitCtrl.h"
#include "windows.h"

#include <benchmark/benchmark.h>

#include <unistd.h>

#include <algorithm>
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

constexpr int kCases = 4;
const int kSizes[2] = {2000, 20000};

std::string g_folder;
CDBDoc* g_pDoc = nullptr;

std::string BeamFile(int n) { return g_folder + "/beam_" + std::to_string(n) + ".txt"; }

void WriteBeamFile(int n)
{
    FILE* f = std::fopen(BeamFile(n).c_str(), "w");
    std::fprintf(f, "*Beam Element Design Result\n*UNIT ; Unit System\n;Force, Length\n%6s,%7s\n", "N", "mm");
    std::fprintf(f, "*SECTION ; Section\n;   ID, ...\n");
    for (int s = 1; s <= 20; ++s)
        std::fprintf(f, "%6d,%7s,%8s, %8.3f, %8.3f, %8.3f, %8.3f, %8.3f, %8.3f, %8.3f, %8.3f, %8.3f, %8.3f, %8.3f, %8.3f\n",
                     s, "Value", "R", 1.0, 1.0, 1.0, 1.0, 1.0, 1.0, 300.0 + s, 600.0 + s, 0.0, 0.0, 0.0, 0.0);
    std::fprintf(f, "*MATERIAL ; Material\n;   ID, ...\n");
    for (int m = 1; m <= 5; ++m)
        std::fprintf(f, "%6d,%8s, %8.3f, %14.3f, %14.3f\n", m, "C30", 30000.0 + m, 0.2, 0.000024);
    std::fprintf(f, "*ATTRIBUTE ; Attribute\n;   ID, SECTION ID, MATERIAL ID\n");
    for (int a = 1; a <= 20; ++a)
        std::fprintf(f, "%6d, %10d, %11d\n", a, a, 1 + a % 5);
    std::fprintf(f, "*ELEMENT ; Element\n;    ID, ATTRIBUTE ID\n");
    for (int e = 1; e <= n; ++e)
        std::fprintf(f, "%7d, %12d\n", e, 1 + e % 20);
    std::fprintf(f, "*LOADCASE\n;   ID, Load Case Name\n");
    for (int c = 1; c <= kCases; ++c) {
        std::fprintf(f, "%6d, %16s\n", c, ("Stage " + std::to_string(c)).c_str());
        std::fprintf(f, ";ElementID, ...\n");
        for (int e = 1; e <= n; ++e)
            std::fprintf(f, "%10d, %8.3f, %8.3f, %8.3f, %8.3f, %8.3f, %8.3f, %8.3f, %8.3f, %8.3f, %8.3f, %8.3f, %8.3f\n", e,
                         1.0 * c, 2.0 * e, 3.0, 4.0, 5.0, 6.0, 7.0, 8.0, 9.0, 10.0, 11.0, 12.0 * c);
    }
    std::fprintf(f, "*FILEPATH ; File Path\n/projects/bench/model\n*ENDDATA\n");
    std::fclose(f);
}

uint64_t Mix(uint64_t h, uint64_t v)
{
    h ^= v + 0x9e3779b97f4a7c15ull + (h << 6) + (h >> 2);
    return h;
}

// Keys and names of the stored records, in key order.
uint64_t StoreChecksum(CYRPDataCtrl& ctrl)
{
    CArray<UINT, UINT> keys;
    ctrl.GetUrbeKeyList(keys);
    uint64_t h = 0;
    for (UINT k : keys) {
        T_URBE_D r;
        ctrl.GetLibrary()->Get_Urbe(static_cast<int>(k), r);
        h = Mix(h, k);
        for (char c : r.strName.str())
            h = Mix(h, static_cast<unsigned char>(c));
    }
    return h;
}

// The rule as written: for each record, the smallest key from 1 upward that is not in use,
// searched from 1 each time; names "Elem_<n>" in ascending element order.
uint64_t RuleChecksum(int n)
{
    std::vector<bool> used(static_cast<size_t>(n) + 2, false);
    std::vector<std::pair<UINT, std::string>> stored;
    for (int e = 1; e <= n; ++e) {
        UINT k = 1;
        while (used[k])
            ++k;
        used[k] = true;
        stored.emplace_back(k, "Elem_" + std::to_string(e));
    }
    std::sort(stored.begin(), stored.end());
    uint64_t h = 0;
    for (const auto& [k, name] : stored) {
        h = Mix(h, k);
        for (char c : name)
            h = Mix(h, static_cast<unsigned char>(c));
    }
    return h;
}

std::map<int, uint64_t> g_storeSum;
std::map<int, std::vector<T_URBE_D>> g_records;
std::map<int, std::string> g_exchangeBytes;

// The exchange file as its text between doubles and the doubles themselves: each double stands
// at nAt and the text resumes at nNext.
struct Piece {
    size_t nAt;
    size_t nNext;
    double d;
};
std::map<int, std::vector<Piece>> g_pieces;

uint64_t BytesChecksum(const std::string& s)
{
    uint64_t h = 0xcbf29ce484222325ull;
    for (char c : s)
        h = (h ^ static_cast<unsigned char>(c)) * 0x100000001b3ull;
    return h;
}

// Every token that reads as a hexadecimal double and is written back the same by the writer.
std::vector<Piece> SplitDoubles(const std::string& s)
{
    std::vector<Piece> pieces;
    for (size_t i = 0; i < s.size(); ++i) {
        const bool bStart = i == 0 || s[i - 1] == ' ' || s[i - 1] == '\n';
        if (!bStart || (s.compare(i, 2, "0x") != 0 && s.compare(i, 3, "-0x") != 0))
            continue;
        const size_t nEnd = std::min(s.find_first_of(" \n", i), s.size());
        const std::string t = s.substr(i, nEnd - i);
        char sz[YrpArchive::kHexDoubleMax];
        const double d = std::strtod(t.c_str(), nullptr);
        if (std::string(sz, static_cast<size_t>(YrpArchive::WriteHexDouble(d, sz))) != t)
            continue;
        pieces.push_back({i, nEnd, d});
        i = nEnd - 1;
    }
    return pieces;
}

// The bytes again, the text copied and the doubles formatted; returns their count.
size_t Format(const std::string& text, const std::vector<Piece>& pieces, char* out)
{
    char* p = out;
    size_t nFrom = 0;
    for (const Piece& c : pieces) {
        std::memcpy(p, text.data() + nFrom, c.nAt - nFrom);
        p += c.nAt - nFrom;
        p += YrpArchive::WriteHexDouble(c.d, p);
        nFrom = c.nNext;
    }
    std::memcpy(p, text.data() + nFrom, text.size() - nFrom);
    return static_cast<size_t>(p - out) + text.size() - nFrom;
}

void HandOff(benchmark::State& state)
{
    const int n = static_cast<int>(state.range(0));
    CYRPDataCtrl ctrl;
    CYRPC_DataTool tool;
    tool.SetOwner(&ctrl);
    const std::string path = BeamFile(n);
    for (auto _ : state) {
        ctrl.DelAllData(1);
        if (!tool.MakeUrbeData(path.c_str()) || !ctrl.WriteMediateFile(0)) {
            state.SkipWithError("hand-off failed");
            return;
        }
    }
    g_storeSum[n] = StoreChecksum(ctrl);
    // What the bound copies and writes: the stored records and the exchange file's bytes.
    std::vector<T_URBE_D>& recs = g_records[n];
    recs.clear();
    for (int k = 1; k <= n; ++k) {
        T_URBE_D r;
        ctrl.GetLibrary()->Get_Urbe(k, r);
        recs.push_back(r);
    }
    CString strPath;
    ctrl.GetMediateFilePath(strPath, 0);
    std::string p = strPath.str();
    for (char& c : p)
        if (c == '\\')
            c = '/';
    std::ifstream in(p, std::ios::binary);
    g_exchangeBytes[n].assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    g_pieces[n] = SplitDoubles(g_exchangeBytes[n]);
    state.SetItemsProcessed(static_cast<int64_t>(state.iterations()) * n);
}

// One pass of a bound: the records copied into a std::map and the bytes written to the file.
void MapAndWrite(const std::vector<T_URBE_D>& recs, const char* pBytes, size_t nBytes, const std::string& path)
{
    std::map<UINT, T_URBE_D> m;
    for (size_t i = 0; i < recs.size(); ++i)
        m.emplace(static_cast<UINT>(i + 1), recs[i]);
    FILE* f = std::fopen(path.c_str(), "wb");
    std::fwrite(pBytes, 1, nBytes, f);
    std::fclose(f);
    benchmark::DoNotOptimize(m);
}

void Bound(benchmark::State& state)
{
    const int n = static_cast<int>(state.range(0));
    const std::vector<T_URBE_D>& recs = g_records[n];
    const std::string& bytes = g_exchangeBytes[n];
    const std::string path = g_folder + "/bound.bin";
    if (static_cast<int>(recs.size()) != n || bytes.empty()) {
        state.SkipWithError("no hand-off to compare with");
        return;
    }
    for (auto _ : state)
        MapAndWrite(recs, bytes.data(), bytes.size(), path);
    state.SetItemsProcessed(static_cast<int64_t>(state.iterations()) * n);
}

// The bound with the doubles formatted: the text between them copied, each double written by
// the library's writer, then the same bytes written to the file.
void FormattedBound(benchmark::State& state)
{
    const int n = static_cast<int>(state.range(0));
    const std::vector<T_URBE_D>& recs = g_records[n];
    const std::string& bytes = g_exchangeBytes[n];
    const std::vector<Piece>& pieces = g_pieces[n];
    const std::string path = g_folder + "/bound.bin";
    std::vector<char> buf(bytes.size());
    if (static_cast<int>(recs.size()) != n || bytes.empty() || Format(bytes, pieces, buf.data()) != bytes.size() ||
        std::memcmp(buf.data(), bytes.data(), bytes.size()) != 0) {
        state.SkipWithError("no hand-off to compare with, or its bytes not formatted the same");
        return;
    }
    for (auto _ : state)
        MapAndWrite(recs, buf.data(), Format(bytes, pieces, buf.data()), path);
    state.SetItemsProcessed(static_cast<int64_t>(state.iterations()) * n);
}

// The new key searched as written, once per record through the library's key list.
void AsWrittenKeys(benchmark::State& state)
{
    const int n = static_cast<int>(state.range(0));
    CYRPDataCtrl ctrl;
    const std::vector<T_URBE_D>& recs = g_records[kSizes[0]];
    if (static_cast<int>(recs.size()) < n) {
        state.SkipWithError("no hand-off records");
        return;
    }
    for (auto _ : state) {
        ctrl.DelAllData(1);
        for (int i = 0; i < n; ++i) {
            UINT k = 1;
            while (ctrl.ExistUrbeKey(k))
                ++k;
            T_URBE_D r(recs[static_cast<size_t>(i)]);
            ctrl.GetLibrary()->Add_Urbe(static_cast<int>(k), r);
        }
    }
    state.SetItemsProcessed(static_cast<int64_t>(state.iterations()) * n);
}

class PerRecordReporter : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& runs) override
    {
        ConsoleReporter::ReportRuns(runs);
        for (const Run& r : runs) {
            const auto c = r.counters.find("items_per_second");
            if (c != r.counters.end() && c->second.value > 0.0)
                us[r.benchmark_name()] = 1e6 / c->second.value;
        }
    }
    std::map<std::string, double> us;
};

} // namespace

int main(int argc, char** argv)
{
    benchmark::Initialize(&argc, argv);
    kvpvs::testing::TempDir dir{"kvpvs_bench_handoff"}; // outlives the document
    g_folder = dir.path();
    // The data library beside the design program, built next to the benchmarks.
    std::filesystem::path exe = std::filesystem::canonical("/proc/self/exe");
    Win32SetModuleFolder((exe.parent_path().parent_path() / "yrp").string().c_str());
    CDBDoc doc;
    g_pDoc = &doc;
    doc.SetProgramPath((g_folder + "/").c_str());
    CZORDocBase::SetCurDoc(&doc);
    for (int n : kSizes)
        WriteBeamFile(n);

    for (int n : kSizes) {
        // Several passes even at 20,000, so that one slow pass on a shared machine does not stand alone.
        benchmark::RegisterBenchmark(("HandOff/" + std::to_string(n)).c_str(), HandOff)
            ->Arg(n)
            ->MinTime(2.0)
            ->Unit(benchmark::kMillisecond);
        benchmark::RegisterBenchmark(("MapAndBytes/" + std::to_string(n)).c_str(), Bound)->Arg(n)->Unit(benchmark::kMillisecond);
        benchmark::RegisterBenchmark(("MapAndFormattedBytes/" + std::to_string(n)).c_str(), FormattedBound)
            ->Arg(n)
            ->Unit(benchmark::kMillisecond);
    }
    benchmark::RegisterBenchmark("AsWrittenNewKeys/300", AsWrittenKeys)->Arg(300)->Iterations(3)->Unit(benchmark::kMillisecond);
    PerRecordReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    for (int n : kSizes) {
        const double h = reporter.us["HandOff/" + std::to_string(n) + "/" + std::to_string(n) + "/min_time:2.000"];
        const double b = reporter.us["MapAndBytes/" + std::to_string(n) + "/" + std::to_string(n)];
        const double f = reporter.us["MapAndFormattedBytes/" + std::to_string(n) + "/" + std::to_string(n)];
        const uint64_t got = g_storeSum[n], rule = RuleChecksum(n);
        std::printf("%d elements x %d cases: hand-off %.2f us/record, std::map + same bytes %.3f us/record, ratio %.1f; "
                    "std::map + same bytes formatted (%zu doubles) %.3f us/record, ratio %.1f; keys checksum %016llx, "
                    "rule as written %016llx (%s); exchange file %zu bytes, checksum %016llx\n",
                    n, kCases, h, b, b > 0.0 ? h / b : 0.0, g_pieces[n].size(), f, f > 0.0 ? h / f : 0.0,
                    static_cast<unsigned long long>(got), static_cast<unsigned long long>(rule),
                    got == rule ? "identical" : "DIFFERENT", g_exchangeBytes[n].size(),
                    static_cast<unsigned long long>(BytesChecksum(g_exchangeBytes[n])));
    }
    const double w = reporter.us["AsWrittenNewKeys/300/300/iterations:3"];
    if (w > 0.0)
        std::printf("new keys searched from 1 through the key list at each probe: %.1f us/record for 300 records (store "
                    "only)\n", w);
    CZORDocBase::SetCurDoc(nullptr);
    std::filesystem::remove_all(g_folder);
    benchmark::Shutdown();
    return 0;
}
