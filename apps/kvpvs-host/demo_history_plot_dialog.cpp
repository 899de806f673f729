// Demo step: the TKVR history-plot dialog driven as a user drives it on the sample's shaking.
// The host opens the dialog beside its view; the user picks the modal shaking case and one time
// step, then shows the nodal displacement on the deformed shape, a beam moment diagram and a
// solid stress plot; the host builds each requested display through the module's factory, draws
// it offscreen and saves the picture.
#include "demo_steps.h"
#include "demo_support.h"

#include "UserDefDisplayHost.h"

#include "ClassThfc.h"
#include "DBDoc.h"
#include "GraphWnd_standin.h"
#include "MsgDll.h"
#include "PVSMeshMngrBrdg.h"
#include "PVSRendererBase.h"
#include "PostVisualState.h"
#include "SampleDynamics.h"
#include "SampleResultFiles.h"
#include "ThisInfo.h"
#include "afx_standin.h"

#include "dialogs/DialogControlIds.h"

#include <cstdio>
#include <cstring>
#include <filesystem>
#include <memory>
#include <string>

namespace {

namespace fs = std::filesystem;

struct Shot {
    const char* pszType;      // result-type entry
    const char* pszComponent; // component entry
    const char* pszFile;
};

int DriveDialog(CView& view, const fs::path& out)
{
    CPVSRendererVTK renderer(1000, 750);
    kvpvs::host::CUserDefDisplayHost host(&renderer);
    BridgeScope bridge(&view);
    // The view shows the display of the latest request only, as the host's view does: each
    // request clears what the one before drew (choosing a result type draws its first component
    // before the shot's component is chosen).
    bridge.Get().m_fnDisplayHandler = [&renderer, &host](const T_PVS_DISPLAY_REQUEST_D& r) {
        renderer.Clear();
        return host.Show(r);
    };

    CWnd* pDlg = nullptr;
    if (OpenModuleDialog("CDlgHistoryPlotTKVR") != 1)
        std::fprintf(stderr, "kvpvs-host: the module's launcher does not open the history-plot dialog\n");
    else
        pDlg = FindOwnedWindow(&view, "CDlgHistoryPlotTKVR");
    if (!pDlg)
        pDlg = FindOwnedWindow(AfxGetMainWnd(), "CDlgHistoryPlotTKVR");
    if (!pDlg) {
        std::fprintf(stderr, "kvpvs-host: the history-plot dialog did not open\n");
        kvpvs::host::CUserDefDisplayHost::Uninstall(bridge.Get());
        return 0;
    }
    // The case, the forcing function in the input graph and the step at 1.5 s; the picture
    // follows each choice at once (immediate display).
    int ok = SelectByText(pDlg, IDC_HPTK_CASE, "Quake (modal)") &&
             SelectByText(pDlg, IDC_HPTK_INPUT, "Damped sine 1.3 Hz") && SelectByText(pDlg, IDC_HPTK_STEP, "1.5");
    if (!ok)
        std::fprintf(stderr, "kvpvs-host: the dialog does not offer the shaking case, the sine or the step\n");
    if (ok) {
        const auto graphs = GraphWndStandIn::FindIn(pDlg);
        if (!graphs.empty())
            std::printf("  input graph: %zu points of the damped sine, mark at %g s\n",
                        GraphWndStandIn::Data(*graphs[0]).size(), GraphWndStandIn::MarkX(*graphs[0]));
    }
    AfxDriver::Check(pDlg, IDC_HPTK_DEFORMED, 1);
    const Shot shots[] = {{"Displacement", "DXYZ", "history_plot_displacement.png"},
                          {"Beam Forces", "Moment-z", "history_plot_beam_moment.png"},
                          {"Solid Stresses", "Szz", "history_plot_solid_stress.png"}};
    for (const Shot& s : shots) {
        if (!ok)
            break;
        const int nRequests = host.GetRequestCount(), nShown = host.GetShownCount();
        ok = SelectByText(pDlg, IDC_HPTK_RESULT_TYPE, s.pszType) &&
             SelectByText(pDlg, IDC_HPTK_COMPONENT, s.pszComponent);
        ok = ok && host.GetRequestCount() > nRequests;
        if (!ok) {
            std::fprintf(stderr, "kvpvs-host: %s %s was not requested\n", s.pszType, s.pszComponent);
            break;
        }
        // Until the module's factory makes the history-plot displays the picture stays blank.
        if (host.GetShownCount() == nShown)
            std::printf("  %s %s: requested, not built by this module version (blank picture)\n", s.pszType,
                        s.pszComponent);
        ok = renderer.SavePNG((out / s.pszFile).string().c_str());
        std::printf("  %s %s: %s\n", s.pszType, s.pszComponent, (out / s.pszFile).string().c_str());
    }
    AfxDriver::Click(pDlg, IDC_HPTK_CLOSE);
    kvpvs::host::CUserDefDisplayHost::Uninstall(bridge.Get());
    return ok ? 1 : 0;
}

} // namespace

int RunHistoryPlotDialogDemo(CDBDoc& doc, const char* outDir)
{
    using namespace kvpvs::sample;
    if (!outDir)
        return 0;
    CMsgDll::SetText(IDS_PVS_Displacement, "Displacement");
    CMsgDll::SetText(IDS_PVS_Velocity, "Velocity");
    CMsgDll::SetText(IDS_PVS_Acceleration, "Acceleration");
    if (!EnsureSampleDynamics(doc))
        return 0;
    // The solid stresses are recomputed from the solver's files when the files step wrote them.
    if (const SampleResultFiles* pFiles = WrittenSampleResultFiles())
        ConnectSampleResultFiles(doc, kAcasQuakeModal, *pFiles);
    else
        std::printf("  no result files written: the solid stress plot has no values\n");
    CView* pViewBefore = doc.GetActiveView();
    CView view;
    view.CreateWindowCore(nullptr);
    view.MoveWindow(0, 120, 1000, 750);
    doc.SetActiveView(&view);
    // The struts' moments (tens of kNm) to metres of band, so that the diagrams of the two
    // strut lines 4 m apart stay apart.
    T_PVIST_SYMB_D* pSB = CPostVisualState::Instance()->GetCurrentPS();
    const T_PVIST_SYMB_D savedSB = *pSB;
    pSB->dDgrmScale = 0.05;
    const int ok = DriveDialog(view, fs::path(outDir));
    *pSB = savedSB;
    doc.SetActiveView(pViewBefore);
    view.DestroyWindow();
    return ok;
}
