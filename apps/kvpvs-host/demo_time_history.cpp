// Demo step: time histories of the sample's shaking case, run through the module's
// time-history engine as the history-graph dialog runs them: a nodal displacement, a truss
// force and a beam moment, each in its modal and its direct form, written as CSV.
// The host reaches the engine through the members that libKV_pvs.so exports, looked up in the
// loaded module: the host is not linked against the module.
#include "demo_steps.h"
#include "demo_support.h"

#include "SampleDynamics.h"

#include <dlfcn.h>

#include <cmath>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

namespace {

struct History {
    const char* pszFile;
    const char* pszWhat;
    T_THRD_D stored; // its analysis case is set per form
};

// Writes time, modal and direct columns; false when the file cannot be written.
bool WriteCsv(const std::filesystem::path& path, const char* pszColumn, const std::vector<double>& t,
              const std::vector<double>& modal, const std::vector<double>& direct)
{
    FILE* fp = std::fopen(path.string().c_str(), "w");
    if (!fp)
        return false;
    std::fprintf(fp, "time,%s modal,%s direct\n", pszColumn, pszColumn);
    for (size_t i = 0; i < t.size(); ++i)
        std::fprintf(fp, "%.4f,%.9e,%.9e\n", t[i], modal[i], direct[i]);
    return std::fclose(fp) == 0;
}

} // namespace

int RunTimeHistoryDemo(CDBDoc& doc, const char* outDir)
{
    using namespace kvpvs::sample;
    DynamicsSummary dyn;
    std::string strError;
    if (!BuildSampleDynamics(doc, DynamicsOptions(), dyn, &strError)) {
        std::fprintf(stderr, "kvpvs-host: the dynamic cases could not be built: %s\n", strError.c_str());
        return 0;
    }
    std::printf("Shaking case: %d modes, %d steps, %d equations; modal case %u, direct case %u\n", dyn.nModes,
                dyn.nSteps, dyn.nEquations, kAcasQuakeModal, kAcasQuakeDirect);
    ModuleEngine engine;
    if (!engine.IsLive()) {
        std::fprintf(stderr, "kvpvs-host: the module exports no time-history engine: %s\n", dlerror());
        return 0;
    }
    // Stored form: codes, result kinds and displacement types count from 0.
    std::vector<History> list(3);
    list[0] = {"th_node_displacement.csv", "DX", {}};
    list[0].stored.strName = "DX of the strut node at the wall";
    list[0].stored.nEntityK = dyn.nNodeK;
    list[0].stored.nCode = 0; // displacement, as stored (relative)
    list[1] = {"th_truss_force.csv", "N_I", {}};
    list[1].stored.strName = "Axial force of the lower strut at the wall";
    list[1].stored.nEntityK = dyn.nTrussK;
    list[1].stored.nCode = 1; // truss force at end I
    list[2] = {"th_beam_moment.csv", "My_I", {}};
    list[2].stored.strName = "Moment y of the upper strut at the wall";
    list[2].stored.nEntityK = dyn.nBeamK;
    list[2].stored.nCode = 2;      // beam
    list[2].stored.nComponent = 4; // moment y at end I
    int nResult = 1;
    for (History& h : list) {
        h.stored.nAcasK = kAcasQuakeModal;
        std::vector<double> modal = engine.Run(h.stored);
        std::vector<double> t = engine.Times();
        h.stored.nAcasK = kAcasQuakeDirect;
        std::vector<double> direct = engine.Run(h.stored);
        if (modal.empty() || modal.size() != direct.size() || modal.size() != t.size()) {
            std::fprintf(stderr, "kvpvs-host: %s: the engine gave %zu modal and %zu direct values for %zu steps\n",
                         static_cast<const char*>(h.stored.strName), modal.size(), direct.size(), t.size());
            nResult = 0;
            continue;
        }
        double dPeak = 0.0, dDiff = 0.0;
        for (size_t i = 0; i < modal.size(); ++i) {
            dPeak = std::fmax(dPeak, std::fabs(modal[i]));
            dDiff = std::fmax(dDiff, std::fabs(modal[i] - direct[i]));
        }
        std::filesystem::path path = std::filesystem::path(outDir) / h.pszFile;
        if (!WriteCsv(path, h.pszWhat, t, modal, direct)) {
            std::fprintf(stderr, "kvpvs-host: cannot write %s\n", path.string().c_str());
            nResult = 0;
            continue;
        }
        std::printf("%-44s element/node %6u: %zu steps, peak |value| %.4e, modal - direct at most %.2e -> %s\n",
                    static_cast<const char*>(h.stored.strName), h.stored.nEntityK, modal.size(), dPeak, dDiff,
                    h.pszFile);
    }
    return nResult;
}
