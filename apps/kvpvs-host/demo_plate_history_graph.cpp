// Demo steps: plate and solid histories in the history-graph dialog. After the solver's result
// files are written the host connects both shaking cases with them; the user ticks the sample's
// stored plate functions (a wall plate's centre moment Mxx and a nodal force, modal and direct)
// or its soil functions (the centre Sig-zz of a soil element beside the wall, modal and direct),
// adds them and applies; the module recomputes each from the files and the host's graph window
// writes the curves as CSV. The host checks that the modal and direct series agree.
#include "demo_steps.h"
#include "demo_support.h"

#include "GraphWindowsHost.h"
#include "MsgDll.h"
#include "SampleDynamics.h"
#include "SampleResultFiles.h"
#include "ThisInfo.h"
#include "afx_standin.h"

#include "dialogs/DialogControlIds.h"

#include <dlfcn.h>

#include <cmath>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

namespace {

// The user's session: the functions of one stored code ticked, added and applied; 1 when the
// graph reached the graph window with a curve per function (nExpected of them) and its file was
// written.
int DriveDialog(CDBDoc& doc, CView& view, kvpvs::host::CGraphWindowsHost& graphs, int nCode, int nExpected,
                const char* pszWhat, std::vector<T_THRD_D>& ticked)
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
        T_THRD_D f;
        if (thrd.Get(static_cast<unsigned int>(pFuncs->GetItemData(i)), f) && f.nCode == nCode) {
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
    int ok = nTicked == nExpected && pGraph && pGraph->aItem.GetSize() == 2 * nTicked && pView->GetLastWriteOk();
    if (pGraph)
        for (int i = 1; i < pGraph->aItem.GetSize(); i += 2)
            std::printf("  curve: %s against %s [%s], %d points\n", pGraph->aItem[i]->strName.GetString(),
                        pGraph->aItem[i - 1]->strName.GetString(), pGraph->aItem[i - 1]->strLabel.GetString(),
                        pGraph->aItem[i]->aValue.GetSize());
    if (!ok)
        std::fprintf(stderr, "kvpvs-host: the %s history graph was not shown (%d functions ticked)\n", pszWhat,
                     nTicked);
    AfxDriver::Click(pDlg, IDC_HGRPH_CLOSE);
    return ok;
}

// The shaking cases connected with the written files, the functions of one stored code applied
// through the dialog into outDir/pszCsv, modal and direct compared.
int RunElementHistoryGraph(CDBDoc& doc, const char* outDir, int nCode, int nExpected, const char* pszWhat,
                           const char* pszCsv)
{
    using namespace kvpvs::sample;
    const SampleResultFiles* pFiles = WrittenSampleResultFiles();
    if (!outDir || !pFiles) {
        std::fprintf(stderr, "kvpvs-host: no result files were written for the %s histories\n", pszWhat);
        return 0;
    }
    CMsgDll::SetText(IDS_QB_PVS_Time_sec_, "Time (sec)");
    CMsgDll::SetText(IDS_QB_PVS_THST_TFunc_has_not_Time_History_Key, "The function %s has no time-history key.");
    if (!EnsureSampleDynamics(doc))
        return 0;
    if (!ConnectSampleResultFiles(doc, kAcasQuakeModal, *pFiles) ||
        !ConnectSampleResultFiles(doc, kAcasQuakeDirect, *pFiles)) {
        std::fprintf(stderr, "kvpvs-host: the shaking cases could not be connected with the result files\n");
        return 0;
    }
    std::printf("shaking cases %u and %u connected with %s (%zu wall plates, %zu soil hexahedra)\n", kAcasQuakeModal,
                kAcasQuakeDirect, std::filesystem::path(pFiles->strElemFile).filename().string().c_str(),
                pFiles->plateRecord.size(), pFiles->solidRecord.size());
    const std::filesystem::path csv = std::filesystem::path(outDir) / pszCsv;
    std::vector<T_THRD_D> ticked;
    int ok = 0;
    {
        kvpvs::host::CGraphWindowsHost graphs(doc);
        graphs.SetOutputPath(csv.string());
        CView* pViewBefore = doc.GetActiveView();
        CView view;
        view.CreateWindowCore(nullptr);
        view.MoveWindow(0, 120, 1000, 750);
        doc.SetActiveView(&view);
        ok = DriveDialog(doc, view, graphs, nCode, nExpected, pszWhat, ticked);
        doc.SetActiveView(pViewBefore);
        view.DestroyWindow();
    }
    ok = CompareModalDirect(ticked, false) && ok;
    if (ok)
        std::printf("%s history graph: %s\n", pszWhat, csv.string().c_str());
    return ok;
}

} // namespace

int RunPlateHistoryGraphDemo(CDBDoc& doc, const char* outDir)
{
    // Stored code 4: plates; a centre moment and a nodal force per case.
    return RunElementHistoryGraph(doc, outDir, 4, 4, "plate", "history_graph_plate.csv");
}

int RunSolidHistoryGraphDemo(CDBDoc& doc, const char* outDir)
{
    // Stored code 5: solids; the soil element's centre Sig-zz per case.
    return RunElementHistoryGraph(doc, outDir, 5, 2, "solid", "history_graph_solid.csv");
}
