// Demo step: the slope factor-of-safety dialog driven as a user drives it on the sample's slope
// cases. The user opens the dialog, asks for the minimum of the circle case (the critical circle
// with the trial-centre grid and the factor at every centre), then picks the polyline case and
// clicks its first slip surface; the host builds each requested display through the module's
// factory, draws it offscreen and saves the pictures "slope_fos_circle.png" and
// "slope_fos_polyline.png".
#include "demo_steps.h"
#include "demo_support.h"

#include "UserDefDisplayHost.h"

#include "DBDoc.h"
#include "DBModelRecords.h"
#include "PVSMeshMngrBrdg.h"
#include "PVSRendererBase.h"
#include "PostVisualState.h"
#include "SampleSlope.h"
#include "afx_standin.h"

#include "dialogs/DialogControlIds.h"

#include <dlfcn.h>

#include <cstdio>
#include <cstring>
#include <filesystem>
#include <memory>
#include <string>

namespace {

namespace fs = std::filesystem;

} // namespace

int RunSlopeDemo(CDBDoc& doc, const char* outDir)
{
    if (!outDir)
        return 0;
    kvpvs::sample::SlopeSummary slope;
    if (!kvpvs::sample::BuildSampleSlope(doc, slope)) {
        std::fprintf(stderr, "kvpvs-host: the sample's slope cases could not be written\n");
        return 0;
    }
    // The slope's records have no y (its section is y = 0): for this step the model stands on the
    // section, wherever it stands in y otherwise.
    auto& nodes = doc.GetModelDB()->Table<T_NODE_D>();
    const auto nodesBefore = nodes;
    for (auto& [nKey, node] : nodes) {
        (void)nKey;
        node.dXyz[1] -= SampleShift()[1];
    }
    CView* pViewBefore = doc.GetActiveView();
    CView view;
    view.CreateWindowCore(nullptr);
    view.MoveWindow(0, 120, 1000, 750);
    doc.SetActiveView(&view);

    CPVSMeshMngrBrdgBase* pBefore = CPVSMeshMngrBrdgBase::m_pMySelf;
    auto pBridge = std::make_unique<CPVSMeshMngrBrdg>();
    pBridge->SetWnd(&view);
    CPVSRendererVTK renderer(1000, 750);
    // Facing the section y = 0 from the front, the model's surface in light grey.
    const double dDir[3] = {0.25, 1.0, -0.15}, dUp[3] = {0, 0, 1};
    renderer.SetViewDirection(dDir, dUp);
    unsigned int& nSurface = CPostVisualState::Instance()->GetCurrentPE()->nColor;
    const unsigned int nSurfaceBefore = nSurface;
    nSurface = 0x00E0E0E0;
    kvpvs::host::CUserDefDisplayHost host(&renderer);
    host.Install(*pBridge);

    const fs::path out(outDir);
    int ok = 0;
    OpenModuleDialog("CDlgSlopeFOSResult");
    if (CWnd* pDlg = FindOwnedWindow(&view, "CDlgSlopeFOSResult")) {
        auto step = [&](bool b, const char* pszWhat) {
            if (ok && !b)
                std::fprintf(stderr, "kvpvs-host: slope demo: %s failed\n", pszWhat);
            ok = ok && b;
        };
        ok = 1;
        step(SelectByText(pDlg, IDC_SFOS_CASE, "Slope stability: circles"), "choosing the circle case");
        step(ok && AfxDriver::Click(pDlg, IDC_SFOS_MINIMUM) && host.GetShownCount() == 1, "showing the minimum");
        step(ok && renderer.SavePNG((out / "slope_fos_circle.png").string().c_str()), "saving the circle picture");
        renderer.Clear();
        step(ok && SelectByText(pDlg, IDC_SFOS_CASE, "Slope stability: polylines"), "choosing the polyline case");
        step(ok && AfxDriver::ClickListItem(pDlg, IDC_SFOS_LIST, 0) && host.GetShownCount() == 2,
             "showing the first polyline");
        step(ok && renderer.SavePNG((out / "slope_fos_polyline.png").string().c_str()), "saving the polyline picture");
        for (int i = 0; i < Win32MessageBoxCount(); ++i)
            std::printf("  message: %s\n", Win32MessageBoxAt(i)->pszText);
        AfxDriver::Click(pDlg, IDC_SFOS_CLOSE);
    } else {
        std::fprintf(stderr, "kvpvs-host: the slope factor-of-safety dialog did not open\n");
    }
    kvpvs::host::CUserDefDisplayHost::Uninstall(*pBridge);
    pBridge.reset();
    CPVSMeshMngrBrdgBase::m_pMySelf = pBefore;
    nSurface = nSurfaceBefore;
    doc.SetActiveView(pViewBefore);
    view.DestroyWindow();
    nodes = nodesBefore;
    return ok;
}
