// Demo step: the base slab's histories in the history-graph dialog. The host builds the sample
// project with its base slab (eight-node plates on the pit floor) and shaking in a document of its
// own, so that the other steps' model, files and pictures stay without it; writes the solver's
// result files with the slab's PLTH records, connects both shaking cases with them and stores
// the slab functions (the centre moment Mxx of the plate beside the wall, modal and direct). The
// user ticks them, adds them and applies; the module recomputes each from the files and the
// host's graph window writes the curves as CSV. The host checks that modal and direct agree.
#include "demo_steps.h"
#include "demo_support.h"

#include "GraphWindowsHost.h"
#include "MsgDll.h"
#include "SampleDynamics.h"
#include "SampleProject.h"
#include "SampleResultFiles.h"
#include "SampleSlab.h"
#include "ThisInfo.h"
#include "afx_standin.h"

#include "dialogs/DialogControlIds.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

namespace {

// The user's session: the slab functions ticked, added and applied; 1 when the graph reached
// the graph window with a curve per function and its file was written.
int DriveDialog(CDBDoc& doc, CView& view, kvpvs::host::CGraphWindowsHost& graphs,
                const std::vector<unsigned int>& aFuncK, std::vector<T_THRD_D>& ticked)
{
    if (OpenModuleDialog("CDlgHistoryGrphTKVR") != 1) {
        std::fprintf(stderr, "kvpvs-host: the module's launcher does not open the history-graph dialog\n");
        return 0;
    }
    CWnd* pDlg = FindOwnedWindow(&view, "CDlgHistoryGrphTKVR");
    if (!pDlg) {
        std::fprintf(stderr, "kvpvs-host: the history-graph dialog did not open\n");
        return 0;
    }
    auto* pFuncs = dynamic_cast<CCheckListBox*>(pDlg->GetDlgItem(IDC_HGRPH_FUNC_LIST));
    CClassThrd thrd(doc.GetModelDB());
    for (int i = 0; pFuncs && i < pFuncs->GetCount(); ++i) {
        const unsigned int nKey = static_cast<unsigned int>(pFuncs->GetItemData(i));
        T_THRD_D f;
        if (std::find(aFuncK.begin(), aFuncK.end(), nKey) != aFuncK.end() && thrd.Get(nKey, f)) {
            AfxDriver::CheckItem(pDlg, IDC_HGRPH_FUNC_LIST, i, 1);
            std::printf("  function: %s\n", f.strName.GetString());
            ticked.push_back(f);
        }
    }
    AfxDriver::Click(pDlg, IDC_HGRPH_ADD);
    auto* pPlot = dynamic_cast<CCheckListBox*>(pDlg->GetDlgItem(IDC_HGRPH_PLOT_LIST));
    for (int i = 0; pPlot && i < pPlot->GetCount(); ++i)
        AfxDriver::CheckItem(pDlg, IDC_HGRPH_PLOT_LIST, i, 1);
    const int nBoxes = Win32MessageBoxCount();
    AfxDriver::Click(pDlg, IDC_HGRPH_APPLY);
    for (int i = nBoxes; i < Win32MessageBoxCount(); ++i)
        std::printf("  message: %s\n", Win32MessageBoxAt(i)->pszText);
    const CXYGraphFuncView* pView = graphs.Find("Time History Graph");
    const T_GRAPH_D* pGraph = pView ? pView->GetGraphData() : nullptr;
    const int nTicked = static_cast<int>(ticked.size());
    const int ok = nTicked == static_cast<int>(aFuncK.size()) && pGraph && pGraph->aItem.GetSize() == 2 * nTicked &&
                   pView->GetLastWriteOk();
    if (pGraph)
        for (int i = 1; i < pGraph->aItem.GetSize(); i += 2)
            std::printf("  curve: %s against %s [%s], %d points\n", pGraph->aItem[i]->strName.GetString(),
                        pGraph->aItem[i - 1]->strName.GetString(), pGraph->aItem[i - 1]->strLabel.GetString(),
                        pGraph->aItem[i]->aValue.GetSize());
    if (!ok)
        std::fprintf(stderr, "kvpvs-host: the slab history graph was not shown (%d of %zu functions ticked)\n", nTicked,
                     aFuncK.size());
    AfxDriver::Click(pDlg, IDC_HGRPH_CLOSE);
    return ok;
}

// The sample project with its slab and shaking in a document of its own, the files written
// beside base; false with the reason printed.
bool BuildSlabProject(CDBDoc& doc, const std::string& base, kvpvs::sample::SlabSummary& slab,
                      kvpvs::sample::SampleResultFiles& files)
{
    using namespace kvpvs::sample;
    SampleSummary sum;
    DynamicsSummary dyn;
    std::string strError;
    SampleOptions opt;
    for (int k = 0; k < 3; ++k)
        opt.dShift[k] = SampleShift()[k];
    if (!BuildSampleProject(doc, opt, sum, &strError) || !BuildSampleSlab(doc, sum, slab, &strError) ||
        !BuildSampleDynamics(doc, DynamicsOptions(), dyn, &strError) ||
        !WriteSampleResultFiles(doc, base, DynamicsOptions(), &files, &strError)) {
        std::fprintf(stderr, "kvpvs-host: the project with the base slab could not be built: %s\n", strError.c_str());
        return false;
    }
    if (!ConnectSampleResultFiles(doc, kAcasQuakeModal, files) || !ConnectSampleResultFiles(doc, kAcasQuakeDirect, files)) {
        std::fprintf(stderr, "kvpvs-host: the shaking cases could not be connected with the result files\n");
        return false;
    }
    std::printf("base slab: %u eight-node plates (%u to %u) at z = %.1f m, t = %.2f m, %u mid-side nodes; plate %u "
                "beside the wall\n",
                slab.elems.Count(), slab.elems.nFirst, slab.elems.nLast, slab.dZ, slab.dThickness,
                slab.midsideNodes.Count(), slab.nWallK);
    std::printf("result files: %zu elements (%zu with PLTH records), %d equations: %s\n", files.elementNumber.size(),
                files.quadPlateRecord.size(), files.nEquations,
                std::filesystem::path(files.strElemFile).filename().string().c_str());
    std::printf("shaking cases %u and %u connected with them\n", kAcasQuakeModal, kAcasQuakeDirect);
    return true;
}

} // namespace

int RunSlabHistoryGraphDemo(const char* outDir)
{
    using namespace kvpvs::sample;
    if (!outDir)
        return 0;
    const std::filesystem::path dir = std::filesystem::path(outDir) / "result_files_slab";
    std::error_code ec;
    std::filesystem::create_directories(dir, ec);
    if (ec) {
        std::fprintf(stderr, "kvpvs-host: cannot create %s\n", dir.string().c_str());
        return 0;
    }
    CMsgDll::SetText(IDS_QB_PVS_Time_sec_, "Time (sec)");
    CMsgDll::SetText(IDS_QB_PVS_THST_TFunc_has_not_Time_History_Key, "The function %s has no time-history key.");
    CZORDocBase* pDocBefore = CZORDocBase::GetCurDoc();
    int ok = 0;
    {
        CDBDoc doc;
        CZORDocBase::SetCurDoc(&doc);
        SlabSummary slab;
        SampleResultFiles files;
        if (BuildSlabProject(doc, (dir / "sample").string(), slab, files)) {
            const std::vector<unsigned int> aFuncK = StoreSampleSlabFunctions(doc, slab);
            const std::filesystem::path csv = std::filesystem::path(outDir) / "history_graph_slab.csv";
            std::vector<T_THRD_D> ticked;
            {
                kvpvs::host::CGraphWindowsHost graphs(doc);
                graphs.SetOutputPath(csv.string());
                CView view;
                view.CreateWindowCore(nullptr);
                view.MoveWindow(0, 120, 1000, 750);
                doc.SetActiveView(&view);
                ok = DriveDialog(doc, view, graphs, aFuncK, ticked);
                doc.SetActiveView(nullptr);
                view.DestroyWindow();
            }
            ok = CompareModalDirect(ticked, true) && ok;
            if (ok)
                std::printf("slab history graph: %s\n", csv.string().c_str());
        }
        CZORDocBase::SetCurDoc(pDocBefore);
    }
    return ok;
}
