// Time-history engine throughput: a nodal displacement history by modal superposition over
// 100,000 steps and 200 modes, and a beam moment history by direct integration over 100,000
// steps. Prints ns per (step x mode), host calls per step and a checksum of each series, which
// any change of the engine's loops must leave unchanged (the series are bit-identical or the
// change is wrong).
#include "timehistory/CPVSTHEngine.h"

#include "DBDoc.h"
#include "THResultBuilder.h"

#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <vector>

namespace {

constexpr int STEPS = 100000;
constexpr int MODES = 200;
constexpr unsigned MODAL_CASE = 1, DIRECT_CASE = 2, NODE = 1, BEAM = 10;

CDBDoc* g_pDoc = nullptr;
CPostCtrlAnlTypeTHIS* g_pCtrl[2] = {};
std::vector<double> g_stepWave, g_modeWeight;

// FNV-1a over the bytes of the series: equal only for bit-identical values.
std::uint64_t Checksum(const CArray<double, double>& a)
{
    std::uint64_t h = 1469598103934665603ull;
    for (int i = 0; i < a.GetSize(); ++i) {
        unsigned char b[sizeof(double)];
        double v = a[i];
        std::memcpy(b, &v, sizeof b);
        for (unsigned char c : b)
            h = (h ^ c) * 1099511628211ull;
    }
    return h;
}

void Build()
{
    static CDBDoc doc;
    g_pDoc = &doc;
    CZORDocBase::SetCurDoc(&doc);
    std::vector<double> times(STEPS);
    g_stepWave.resize(STEPS);
    for (int s = 0; s < STEPS; ++s) {
        times[static_cast<size_t>(s)] = 0.001 * (s + 1);
        g_stepWave[static_cast<size_t>(s)] = std::sin(0.0137 * s);
    }
    g_modeWeight.resize(MODES);
    for (int k = 0; k < MODES; ++k)
        g_modeWeight[static_cast<size_t>(k)] = 1.0 / (1.0 + k);
    // Modal case: one node with six equations, 200 mode shapes, modal coordinates from a
    // source (a stored table of 20 million records would measure memory, not the engine).
    CTHResultBuilder modal(doc, MODAL_CASE, MODAL_CASE, 1, times, MODES);
    _NDSP_BN node;
    for (int j = 0; j < 6; ++j) {
        node.dEqn[j] = j + 1;
        std::vector<double> shape(MODES);
        for (int k = 0; k < MODES; ++k)
            shape[static_cast<size_t>(k)] = std::cos(0.1 * (j + 1) * (k + 1));
        modal.SetModeShape(j + 1, shape);
    }
    for (int i = 0; i < 21; ++i)
        node.dTrans[i] = 0.1 * (i + 1); // a full transformation, so every term counts
    modal.SetNode(NODE, node);
    modal.Data().modalSource = [](int k, int s, _MDSP_BN& q) {
        q.dDisp = g_modeWeight[static_cast<size_t>(k)] * g_stepWave[static_cast<size_t>(s)];
    };
    g_pCtrl[0] = modal.Ctrl();
    // Direct case: one beam between two nodes of twelve equations, displacements from a source.
    CTHResultBuilder direct(doc, DIRECT_CASE, DIRECT_CASE, 2, times, 1);
    direct.SetMethod(2);
    direct.SetEquationCount(12);
    direct.Data().eqDispSource = [](int s, int e) { return g_stepWave[static_cast<size_t>(s)] * (0.5 + 0.1 * e); };
    std::vector<double> a(327, 0.0);
    for (int d = 0; d < 12; ++d) {
        a[static_cast<size_t>(d)] = d + 1;
        for (int c = 0; c < 26; ++c)
            a[static_cast<size_t>(12 + c + 26 * d)] = std::cos(0.3 * (c + 1) + 0.7 * d);
    }
    a[324] = 12;
    a[325] = 26;
    direct.SetBeam(BEAM, a);
    g_pCtrl[1] = direct.Ctrl();
}

T_THRD_D Request(int nCase)
{
    T_THRD_D s;
    s.nAcasK = nCase == 0 ? MODAL_CASE : DIRECT_CASE;
    s.nEntityK = nCase == 0 ? NODE : BEAM;
    s.nCode = nCase == 0 ? 0 : 2;
    s.nComponent = nCase == 0 ? 0 : 4; // DX of the node; moment y at end I of the beam
    return s;
}

std::uint64_t g_sum[2] = {};
long long g_calls[2] = {};

void BM_NodalModal(benchmark::State& state)
{
    CPVSTHEngine engine;
    const T_THRD_D req = Request(0);
    for (auto _ : state) {
        g_pCtrl[0]->Data().nCalls = 0;
        CArray<double, double>* p = engine.Run(&req);
        benchmark::DoNotOptimize(p->GetData());
        g_sum[0] = Checksum(*p);
        g_calls[0] = g_pCtrl[0]->Data().nCalls;
    }
    state.counters["ns_per_step_mode"] = benchmark::Counter(
        static_cast<double>(state.iterations()) * STEPS * MODES, benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}

void BM_BeamDirect(benchmark::State& state)
{
    CPVSTHEngine engine;
    const T_THRD_D req = Request(1);
    for (auto _ : state) {
        g_pCtrl[1]->Data().nCalls = 0;
        CArray<double, double>* p = engine.Run(&req);
        benchmark::DoNotOptimize(p->GetData());
        g_sum[1] = Checksum(*p);
        g_calls[1] = g_pCtrl[1]->Data().nCalls;
    }
    state.counters["ns_per_step"] = benchmark::Counter(
        static_cast<double>(state.iterations()) * STEPS, benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}

BENCHMARK(BM_NodalModal)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_BeamDirect)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv)
{
    Build();
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    std::printf("nodal modal history (%d steps x %d modes): %.2f host calls per step, checksum %016llx\n", STEPS, MODES,
                static_cast<double>(g_calls[0]) / STEPS, static_cast<unsigned long long>(g_sum[0]));
    std::printf("direct beam history (%d steps): %.2f host calls per step, checksum %016llx\n", STEPS,
                static_cast<double>(g_calls[1]) / STEPS, static_cast<unsigned long long>(g_sum[1]));
    CZORDocBase::SetCurDoc(nullptr);
    return 0;
}
