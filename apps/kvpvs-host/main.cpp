// The demo host: plays the product's host around libKV_pvs.so. It loads the module at run
// time, calls its initialisation, builds the sample project into a document and runs a list
// of demo steps on it; each step prints what it did and writes its file into the output folder.
#include "FactoryPVS.h"
#include "PostVisualState.h"
#include "SampleProject.h"
#include "SampleSchema.h"
#include "demo_steps.h"
#include "demo_support.h"

#include <dlfcn.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iostream>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

namespace {

using namespace kvpvs::sample;

struct HostContext {
    std::filesystem::path outDir;
    CDBDoc* pDoc = nullptr;
    SampleSummary summary;
    std::string strHostPath; // this program, as started
};

struct DemoStep {
    const char* pszName;
    std::function<int(HostContext&)> run; // 1 done, 0 failed
};

// Deletes a product of the factory through its virtual destructor.
template <class T>
struct VirtualDelete {
    void operator()(T* p) const { delete p; }
};
template <class T>
using Owned = std::unique_ptr<T, VirtualDelete<T>>;

const char* ClassName(const CObject* p) { return p ? p->GetRuntimeClass()->m_lpszClassName : "null"; }

// The class name, with the mode of the host's vector plot.
std::string VDataName(CPVSVisualDataBase* p)
{
    std::string s = ClassName(p);
    if (p && s == "CPVSVisualDataCustomVectPlot")
        s += " (" + std::to_string(static_cast<CPVSVisualDataCustomVectPlot*>(p)->GetMode()) + ")";
    return s;
}

const char* EntityName(int nKind)
{
    switch (nKind) {
    case kEntNode: return "node";
    case kEntElem: return "element";
    default: return "other";
    }
}

// One line per result row: the factory's visual data, its method type and the method class.
int FactoryDecisions(HostContext& ctx)
{
    IFactoryPVS* pFactory = IFactoryPVS::Instance();
    if (!pFactory) {
        std::fprintf(stderr, "kvpvs-host: the module registered no factory\n");
        return 0;
    }
    T_PVIST_ALL_D* pVS = CPostVisualState::Instance()->GetCurrentPA();
    T_PVIST_ANIM_D* pAS = CPostVisualState::Instance()->GetCurrentPAnim();
    std::ostringstream table;
    char line[512];
    std::snprintf(line, sizeof line, "%-5s %-20s %-7s %4s %4s %4s %4s %-36s %-6s %s\n", "row", "name", "entity",
                  "cls", "qty", "disp", "comp", "visual data", "method", "visual method");
    table << line;

    CClassPVtif rows(ctx.pDoc->GetPostDB());
    CClassPEngr engrs(ctx.pDoc->GetPostDB());
    auto method = [&](CPVSVisualDataBase* pVData, int& nType) -> std::string {
        nType = -1;
        if (!pVData)
            return "-";
        nType = pVData->GetVisualMethodType(pVS);
        T_VM_PARAM_D vm;
        vm.pDoc = ctx.pDoc;
        vm.pVData = pVData;
        vm.pVS = pVS;
        vm.pAS = pAS;
        vm.nVMType = nType;
        Owned<CPVSVisualMethodBase> pMethod(pFactory->CreateVisualMethod(&vm));
        return ClassName(pMethod.get());
    };
    for (unsigned int nKey : ctx.summary.aRowK) {
        T_PVTIF_D row;
        T_PENGR_D engr;
        rows.Get(nKey, row);
        engrs.Get(row.nEngrK, engr);
        T_VD_PARAM_D param{ctx.pDoc, nKey, 0, nullptr, 0};
        CPVSVisualDataBase::ResetVDataStatics();
        Owned<CPVSVisualDataBase> pVData(pFactory->CreateVisualData(&param));
        int nType = -1;
        std::string strMethod = method(pVData.get(), nType);
        std::snprintf(line, sizeof line, "%-5u %-20s %-7s %4d %4d %4d %4llu %-36s %-6s %s\n", nKey,
                      row.strName.GetString(), EntityName(engr.nKind), row.nResultClass, row.nQuantity,
                      row.nDispType, static_cast<unsigned long long>(row.nCompCode), VDataName(pVData.get()).c_str(),
                      nType < 0 ? "-" : std::to_string(nType).c_str(), strMethod.c_str());
        table << line;
    }
    table << "\n";
    std::snprintf(line, sizeof line, "%-5s %-36s %-6s %s\n", "type", "visual data by type", "method", "visual method");
    table << line;
    for (unsigned int nCode = 0; nCode <= 12; ++nCode) {
        T_VD_PARAM_D param{ctx.pDoc, 0, 0, nullptr, 0};
        CPVSVisualDataBase::ResetVDataStatics();
        Owned<CPVSVisualDataBase> pVData(pFactory->CreateVisualDataByType(nCode, &param));
        int nType = -1;
        std::string strMethod = method(pVData.get(), nType);
        std::snprintf(line, sizeof line, "%-5u %-36s %-6s %s\n", nCode, VDataName(pVData.get()).c_str(),
                      nType < 0 ? "-" : std::to_string(nType).c_str(), strMethod.c_str());
        table << line;
    }
    std::cout << table.str();
    std::ofstream out(ctx.outDir / "factory_decisions.txt");
    out << table.str();
    return out.good() ? 1 : 0;
}

// Later steps (pictures, reports, series) are appended here, in the order they run.
std::vector<DemoStep> DemoSteps()
{
    return {{"factory decisions", FactoryDecisions},
            {"result files", [](HostContext& c) { return RunResultFilesDemo(*c.pDoc, c.outDir.string().c_str()); }},
            {"force sums from the dialog", [](HostContext& c) { return RunForceSumDialogDemo(*c.pDoc, c.outDir.string().c_str()); }},
            {"force sums", [](HostContext& c) { return RunForceSumDemo(*c.pDoc, c.outDir.string().c_str()); }},
            {"time histories", [](HostContext& c) { return RunTimeHistoryDemo(*c.pDoc, c.outDir.string().c_str()); }},
            {"history graph", [](HostContext& c) { return RunHistoryGraphDemo(*c.pDoc, c.outDir.string().c_str()); }},
            {"plate history graph", [](HostContext& c) { return RunPlateHistoryGraphDemo(*c.pDoc, c.outDir.string().c_str()); }},
            {"solid history graph", [](HostContext& c) { return RunSolidHistoryGraphDemo(*c.pDoc, c.outDir.string().c_str()); }},
            {"slab history graph", [](HostContext& c) { return RunSlabHistoryGraphDemo(c.outDir.string().c_str()); }},
            {"member design", [](HostContext& c) { return RunDesignDemo(*c.pDoc, c.outDir.string().c_str(), c.strHostPath.c_str()); }},
            {"member-design program", [](HostContext& c) { return RunDesignLinkDemo(*c.pDoc, c.outDir.string().c_str(), c.strHostPath.c_str()); }},
            {"curve fit", [](HostContext& c) { return RunCurveFitDemo(*c.pDoc, c.summary, c.outDir.string().c_str()); }},
            {"seepage", [](HostContext& c) { return RunSeepageDemo(*c.pDoc, c.outDir.string().c_str()); }},
            {"seepage dialogs", [](HostContext& c) { return RunSeepageDialogsDemo(*c.pDoc, c.outDir.string().c_str()); }},
            {"slope factor of safety", [](HostContext& c) { return RunSlopeDemo(*c.pDoc, c.outDir.string().c_str()); }},
            {"history plot dialog", [](HostContext& c) { return RunHistoryPlotDialogDemo(*c.pDoc, c.outDir.string().c_str()); }},
            {"history data and plots", [](HostContext& c) { return RunHistoryDataDemo(*c.pDoc, c.outDir.string().c_str()); }},
            {"event diagram", [](HostContext& c) { return RunEventDiagramDemo(*c.pDoc, c.summary, c.outDir.string().c_str()); }},
            {"result-tree pictures", [](HostContext& c) { return RunHistoryPicturesDemo(*c.pDoc, c.outDir.string().c_str()); }},
            {"profile grid", [](HostContext& c) { return RunProfileGridDemo(*c.pDoc, c.outDir.string().c_str()); }},
            {"dialog launcher", [](HostContext& c) { return RunLauncherDemo(*c.pDoc, c.outDir.string().c_str()); }}};
}

int Usage()
{
    std::fprintf(stderr, "usage: kvpvs-host --module <libKV_pvs.so> --out <folder> [--shift x,y,z]\n"
                         "  --shift moves the sample project, and every point the demo types, by (x, y, z)\n");
    return 1;
}

// Three finite numbers separated by commas, nothing else.
bool ParseShift(const char* psz, double d[3])
{
    for (int k = 0; k < 3; ++k) {
        char* pEnd = nullptr;
        d[k] = std::strtod(psz, &pEnd);
        if (pEnd == psz || !std::isfinite(d[k]) || *pEnd != (k < 2 ? ',' : '\0'))
            return false;
        psz = pEnd + 1;
    }
    return true;
}

} // namespace

int main(int argc, char** argv)
{
    std::string strModule, strOut;
    SampleOptions opt;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--module") == 0 && i + 1 < argc)
            strModule = argv[++i];
        else if (std::strcmp(argv[i], "--out") == 0 && i + 1 < argc)
            strOut = argv[++i];
        else if (std::strcmp(argv[i], "--shift") == 0 && i + 1 < argc && ParseShift(argv[i + 1], opt.dShift))
            ++i;
        else
            return Usage();
    }
    SetSampleShift(opt.dShift);
    if (strModule.empty() || strOut.empty())
        return Usage();

    std::error_code ec;
    std::filesystem::create_directories(strOut, ec);
    if (ec) {
        std::fprintf(stderr, "kvpvs-host: cannot create the output folder %s: %s\n", strOut.c_str(),
                     ec.message().c_str());
        return 1;
    }

    void* pLib = dlopen(strModule.c_str(), RTLD_NOW | RTLD_GLOBAL);
    if (!pLib) {
        std::fprintf(stderr, "kvpvs-host: cannot load the module %s: %s\n", strModule.c_str(), dlerror());
        return 1;
    }
    using InitFn = void* (*)();
    auto pInit = reinterpret_cast<InitFn>(dlsym(pLib, "Init_KV_pvsdll"));
    if (!pInit) {
        std::fprintf(stderr, "kvpvs-host: the module %s has no Init_KV_pvsdll\n", strModule.c_str());
        dlclose(pLib);
        return 1;
    }
    if (!pInit()) {
        std::fprintf(stderr, "kvpvs-host: Init_KV_pvsdll of %s failed; the module is not loaded\n",
                     strModule.c_str());
        dlclose(pLib);
        return 1;
    }

    int nResult = 0;
    {
        HostContext ctx;
        ctx.outDir = strOut;
        ctx.strHostPath = std::filesystem::canonical("/proc/self/exe", ec).string();
        DemoHostDocument doc;
        ctx.pDoc = &doc;
        std::string strError;
        if (!BuildSampleProject(doc, opt, ctx.summary, &strError)) {
            std::fprintf(stderr, "kvpvs-host: the sample project could not be built: %s\n", strError.c_str());
            nResult = 1;
        } else {
            CZORDocBase::SetCurDoc(&doc);
            std::printf("Sample project: %u nodes, %u soil, %u plate, %u beam, %u truss, %u pile elements, %zu "
                        "result rows\n\n",
                        ctx.summary.nodes.Count(), ctx.summary.soil.Count(), ctx.summary.wall.Count(),
                        ctx.summary.beamStruts.Count(), ctx.summary.trussStruts.Count(), ctx.summary.piles.Count(),
                        ctx.summary.aRowK.size());
            for (const DemoStep& step : DemoSteps()) {
                std::printf("== %s\n", step.pszName);
                if (!step.run(ctx)) {
                    std::fprintf(stderr, "kvpvs-host: demo step \"%s\" failed\n", step.pszName);
                    nResult = 1;
                }
                std::printf("\n");
            }
            CZORDocBase::SetCurDoc(nullptr);
        }
    }
    // The module stays loaded until exit, as in the host: its singletons outlive every display.
    return nResult;
}
