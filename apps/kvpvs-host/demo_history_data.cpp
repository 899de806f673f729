// Demo step: the stored result graphs of the sample's shaking in the history-data, history-plot
// and hysteresis dialogs, driven as a user drives them. In the history-data dialog the user ticks
// the time graphs and applies, then switches to hysteresis graphs, ticks the ground's loop, names
// the graph and applies again; the host's graph windows write what they were given as CSV. In the
// history-plot dialog the user picks the ground acceleration as input wave, expands the dialog,
// picks the strut node's response and opens the hysteresis dialog; the host writes the points of
// the three small graphs.
#include "demo_steps.h"
#include "demo_support.h"

#include "GraphWindowsHost.h"
#include "GraphWnd_standin.h"
#include "afx_standin.h"

#include "dialogs/DialogControlIds.h"

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>

namespace {

namespace fs = std::filesystem;

// Ticks every graph the list offers; their names are printed.
int TickAll(CWnd* pDlg)
{
    auto* pList = dynamic_cast<CCheckListBox*>(pDlg->GetDlgItem(IDC_HDATA_LIST));
    int n = 0;
    for (int i = 0; pList && i < pList->GetCount(); ++i) {
        CString s;
        pList->GetText(i, s);
        AfxDriver::Select(pDlg, IDC_HDATA_LIST, i);
        n += AfxDriver::CheckItem(pDlg, IDC_HDATA_LIST, i, 1) ? 1 : 0;
        std::printf("  ticked: %s\n", s.GetString());
    }
    return n;
}

// Applies the dialog's graph into its own graph window, written to csv; 1 when it arrived.
int Apply(CWnd* pDlg, kvpvs::host::CGraphWindowsHost& graphs, const fs::path& csv, int nCurves)
{
    graphs.SetOutputPath(csv.string());
    const CString strTitle = AfxDriver::GetText(pDlg, IDC_HDATA_TITLE);
    if (!AfxDriver::Click(pDlg, IDC_HDATA_APPLY))
        return 0;
    const CXYGraphFuncView* pView = graphs.Find(strTitle.GetString());
    const T_GRAPH_D* pGraph = pView ? pView->GetGraphData() : nullptr;
    if (!pGraph || pGraph->aItem.GetSize() != 2 * nCurves || !pView->GetLastWriteOk())
        return 0;
    std::printf("  graph \"%s\", x axis \"%s\", y axis \"%s\":\n", strTitle.GetString(),
                AfxDriver::GetText(pDlg, IDC_HDATA_X_TITLE).GetString(),
                AfxDriver::GetText(pDlg, IDC_HDATA_Y_TITLE).GetString());
    for (int i = 1; i < pGraph->aItem.GetSize(); i += 2)
        std::printf("    %s, %d points\n", pGraph->aItem[i]->strName.GetString(), pGraph->aItem[i]->aValue.GetSize());
    std::printf("  -> %s\n", csv.string().c_str());
    return 1;
}

int HistoryData(CView& view, kvpvs::host::CGraphWindowsHost& graphs, const fs::path& out)
{
    CWnd* pDlg = OpenModuleDialog("CDlgHistoryData") == 1 ? FindOwnedWindow(&view, "CDlgHistoryData") : nullptr;
    if (!pDlg) {
        std::fprintf(stderr, "kvpvs-host: the history-data dialog did not open\n");
        return 0;
    }
    // Time graphs of two kinds of value: the y axis gets a title of its own.
    const int nTime = TickAll(pDlg);
    int ok = nTime > 0 && AfxDriver::SetText(pDlg, IDC_HDATA_Y_TITLE, "Value") && Apply(pDlg, graphs, out / "history_data_time.csv", nTime);
    ok = ok && AfxDriver::Click(pDlg, IDC_HDATA_HYST_GRAPH);
    const int nLoops = ok ? TickAll(pDlg) : 0;
    ok = ok && nLoops > 0 && AfxDriver::SetText(pDlg, IDC_HDATA_TITLE, "Ground loop") &&
         Apply(pDlg, graphs, out / "history_data_hysteresis.csv", nLoops);
    AfxDriver::Click(pDlg, IDC_HDATA_CLOSE);
    return ok;
}

void WriteGraph(std::ostream& os, const char* pszGraph, const CString& strCurve, CWnd* pDlg, size_t nGraph)
{
    const std::vector<CGraphWnd*> g = GraphWndStandIn::FindIn(pDlg);
    if (nGraph >= g.size())
        return;
    const std::vector<T_GRPH_D>& pts = GraphWndStandIn::Data(*g[nGraph]);
    std::printf("  %s graph: %s, %zu points\n", pszGraph, strCurve.GetString(), pts.size());
    char line[128];
    for (const T_GRPH_D& p : pts) {
        std::snprintf(line, sizeof line, "%s,\"%s\",%.9g,%.9g\n", pszGraph, strCurve.GetString(), p.dX, p.dY);
        os << line;
    }
}

int HistoryPlot(CView& view, const fs::path& csv)
{
    BridgeScope bridge(&view);
    CWnd* pDlg = OpenModuleDialog("CDlgHistoryPlot") == 1 ? FindOwnedWindow(&view, "CDlgHistoryPlot") : nullptr;
    if (!pDlg) {
        std::fprintf(stderr, "kvpvs-host: the history-plot dialog did not open\n");
        return 0;
    }
    const char* pszInput = "Ground acceleration X";
    const char* pszResponse = "DX wall strut node";
    int ok = SelectByText(pDlg, IDC_HPLOT_INPUT, pszInput) && AfxDriver::Click(pDlg, IDC_HPLOT_EXPAND) &&
             SelectByText(pDlg, IDC_HPLOT_RESPONSE, pszResponse) && AfxDriver::Click(pDlg, IDC_HPLOT_HYSTERESIS);
    CWnd* pHyst = ok ? FindOwnedWindow(pDlg, "CDlgHistoryPlotHyst") : nullptr;
    if (pHyst) {
        std::ofstream file(csv);
        file << "graph,curve,x,y\n";
        WriteGraph(file, "input", pszInput, pDlg, 0);
        WriteGraph(file, "response", pszResponse, pDlg, 1);
        CString strLoop;
        auto* pLoops = dynamic_cast<CComboBox*>(pHyst->GetDlgItem(IDC_HYST_GRAPH));
        if (pLoops && pLoops->GetCurSel() >= 0)
            pLoops->GetLBText(pLoops->GetCurSel(), strLoop);
        WriteGraph(file, "hysteresis", strLoop, pHyst, 0);
        ok = file.good();
        std::printf("  -> %s\n", csv.string().c_str());
    } else {
        std::fprintf(stderr, "kvpvs-host: the history-plot dialog does not offer the sample's graphs\n");
        ok = 0;
    }
    pDlg->DestroyWindow();
    return ok;
}

} // namespace

int RunHistoryDataDemo(CDBDoc& doc, const char* outDir)
{
    if (!outDir)
        return 0;
    if (!EnsureSampleDynamics(doc))
        return 0;
    DemoView<> view(doc);
    int ok = 0;
    {
        kvpvs::host::CGraphWindowsHost graphs(doc);
        ok = HistoryData(view.Get(), graphs, fs::path(outDir));
    }
    return HistoryPlot(view.Get(), fs::path(outDir) / "history_plot_graphs.csv") && ok;
}
