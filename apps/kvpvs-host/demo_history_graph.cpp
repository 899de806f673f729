// Demo step: the history-graph dialog driven as a user drives it. The host opens the dialog
// through the module's exported entry, the user ticks the sample's stored displacement and truss
// functions of both shaking cases, adds them to the plot list and applies; the dialog computes
// each with the module's engine and hands the curves against time to the host's graph window,
// which writes them as CSV, a column per item headed by its name and unit label.
#include "demo_steps.h"
#include "demo_support.h"

#include "GraphWindowsHost.h"
#include "MsgDll.h"
#include "SampleDynamics.h"
#include "ThisInfo.h"
#include "afx_standin.h"

#include "dialogs/DialogControlIds.h"

#include <dlfcn.h>

#include <cstdio>
#include <cstring>
#include <filesystem>
#include <string>

namespace {

// The user's session; 1 when the graph reached the graph window and its file was written.
int DriveDialog(CDBDoc& doc, CView& view, kvpvs::host::CGraphWindowsHost& graphs)
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
    // Tick the displacement and truss functions (stored codes 0 and 1), add them, tick them all.
    auto* pFuncs = dynamic_cast<CCheckListBox*>(pDlg->GetDlgItem(IDC_HGRPH_FUNC_LIST));
    CClassThrd thrd(doc.GetModelDB());
    int nTicked = 0;
    for (int i = 0; pFuncs && i < pFuncs->GetCount(); ++i) {
        T_THRD_D f;
        if (thrd.Get(static_cast<unsigned int>(pFuncs->GetItemData(i)), f) && (f.nCode == 0 || f.nCode == 1)) {
            AfxDriver::CheckItem(pDlg, IDC_HGRPH_FUNC_LIST, i, 1);
            std::printf("  function: %s\n", f.strName.GetString());
            ++nTicked;
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
    int ok = nTicked == 4 && pGraph && pGraph->aItem.GetSize() == 2 * nTicked && pView->GetLastWriteOk();
    if (pGraph)
        for (int i = 1; i < pGraph->aItem.GetSize(); i += 2)
            std::printf("  curve: %s against %s [%s], %d points\n", pGraph->aItem[i]->strName.GetString(),
                        pGraph->aItem[i - 1]->strName.GetString(), pGraph->aItem[i - 1]->strLabel.GetString(),
                        pGraph->aItem[i]->aValue.GetSize());
    if (!ok)
        std::fprintf(stderr, "kvpvs-host: the history graph was not shown (%d functions ticked)\n", nTicked);
    AfxDriver::Click(pDlg, IDC_HGRPH_CLOSE);
    return ok;
}

} // namespace

int RunHistoryGraphDemo(CDBDoc& doc, const char* outDir)
{
    using namespace kvpvs::sample;
    if (!outDir)
        return 0;
    // The host's texts of the dialog's messages.
    CMsgDll::SetText(IDS_QB_PVS_Time_sec_, "Time (sec)");
    CMsgDll::SetText(IDS_QB_PVS_THST_TFunc_has_not_Time_History_Key, "The function %s has no time-history key.");
    // The shaking cases and their stored functions, unless an earlier step built them.
    if (!EnsureSampleDynamics(doc))
        return 0;
    const std::filesystem::path csv = std::filesystem::path(outDir) / "history_graph_displacement.csv";
    kvpvs::host::CGraphWindowsHost graphs(doc);
    graphs.SetOutputPath(csv.string());
    CView* pViewBefore = doc.GetActiveView();
    CView view;
    view.CreateWindowCore(nullptr);
    view.MoveWindow(0, 120, 1000, 750);
    doc.SetActiveView(&view);
    const int ok = DriveDialog(doc, view, graphs);
    doc.SetActiveView(pViewBefore);
    view.DestroyWindow();
    if (ok)
        std::printf("history graph: %s\n", csv.string().c_str());
    return ok;
}
