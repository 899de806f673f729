// Demo step: the local-direction force-sum dialog driven as a user drives it. The host opens the
// dialog beside its view, the user picks the last construction step, adds two planes through
// the soil by three picked points each, ticks them and the include-text box and presses Show;
// the host builds the requested display through the module's factory, draws it offscreen and
// saves the picture. The report goes to a folder of its own, then beside the other outputs.
#include "demo_steps.h"
#include "demo_support.h"

#include "UserDefDisplayHost.h"

#include "DBDoc.h"
#include "DBModelRecords.h"
#include "GeomDialog.h"
#include "PVSMeshMngrBrdg.h"
#include "PVSRendererBase.h"
#include "SampleSchema.h"
#include "afx_standin.h"

#include "dialogs/DialogControlIds.h"

#include <dlfcn.h>

#include <algorithm>
#include <array>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <memory>
#include <string>

namespace {

namespace fs = std::filesystem;
using P3 = std::array<double, 3>;

// The model's bounding box (the bridge scales the plane axes by it).
void ModelBounds(CDBDoc& doc, double bb[6])
{
    CClassNode cls(doc.GetModelDB());
    CArray<unsigned int, unsigned int> keys;
    cls.GetKeyList(keys);
    for (int k = 0; k < 3; ++k) {
        bb[2 * k] = 0.0;
        bb[2 * k + 1] = 0.0;
    }
    for (int i = 0; i < keys.GetSize(); ++i) {
        T_NODE_D n;
        cls.Get(keys[i], n);
        for (int k = 0; k < 3; ++k) {
            bb[2 * k] = i == 0 ? n.dXyz[k] : std::min(bb[2 * k], n.dXyz[k]);
            bb[2 * k + 1] = i == 0 ? n.dXyz[k] : std::max(bb[2 * k + 1], n.dXyz[k]);
        }
    }
}

// Add, then in the plane dialog: solid, the name, three points picked in the view, OK.
bool AddSolidPlane(CWnd* pDlg, const char* pszName, const P3& a, const P3& b, const P3& c)
{
    if (!AfxDriver::Click(pDlg, IDC_LDFS_ADD))
        return false;
    auto* pPlane = dynamic_cast<CGeomDialog*>(FindOwnedWindow(pDlg, "CPVSDlgDefThreePointPlane"));
    if (!pPlane)
        return false;
    AfxDriver::Check(pPlane, IDC_THREEPT_SOLID, 1);
    AfxDriver::SetText(pPlane, IDC_THREEPT_NAME, pszName);
    if (!AfxDriver::Focus(pPlane, IDC_THREEPT_PNT1))
        return false;
    for (const P3& p : {a, b, c})
        if (!pPlane->GetEventHandler() || !pPlane->GetEventHandler()->Pick(gp_Pnt(p[0], p[1], p[2])))
            return false;
    AfxDriver::Click(pPlane, IDC_THREEPT_OK);
    // OK stores the plane and closes the plane dialog; a refused plane leaves it open.
    return FindOwnedWindow(pDlg, "CPVSDlgDefThreePointPlane") == nullptr;
}

// The user's session with the dialog; 1 when the force sums were shown and the picture saved.
int DriveDialog(CDBDoc& doc, CView& view, const std::string& strStep, const fs::path& png)
{

    CPVSRendererVTK renderer(1000, 750);
    kvpvs::host::CUserDefDisplayHost host(&renderer);
    BridgeScope bridge(&view);
    double bb[6];
    ModelBounds(doc, bb);
    bridge.Get().SetBounds(bb);
    host.Install(bridge.Get());

    if (OpenModuleDialog("CDlgLclDirForSum") != 1) {
        std::fprintf(stderr, "kvpvs-host: the module's launcher does not open the force-sum dialog\n");
        return 0;
    }
    CWnd* pDlg = FindOwnedWindow(AfxGetMainWnd(), "CDlgLclDirForSum");
    if (!pDlg) {
        std::fprintf(stderr, "kvpvs-host: the force-sum dialog did not open\n");
        return 0;
    }
    const int nBoxes = Win32MessageBoxCount();
    int ok = SelectByText(pDlg, IDC_LDFS_CASE, "Construction Stages") && SelectByText(pDlg, IDC_LDFS_STEP, strStep.c_str());
    if (!ok)
        std::fprintf(stderr, "kvpvs-host: step \"%s\" is not offered by the dialog\n", strStep.c_str());

    // Points picked on the model's outline: a vertical plane through the soil behind the wall
    // (normal +X) and a horizontal one below the pit's floor (normal +Z); the dialog takes the
    // first axis along P2 - P1 and the normal along (P2 - P1) x (P3 - P1).
    const double x = 15.3 + SampleShift()[0], z = -10.2 + SampleShift()[2];
    ok = ok && AddSolidPlane(pDlg, "Soil x=15.3", {x, bb[2], bb[4]}, {x, bb[3], bb[4]}, {x, bb[2], bb[5]});
    ok = ok && AddSolidPlane(pDlg, "Soil z=-10.2", {bb[0], bb[2], z}, {bb[1], bb[2], z}, {bb[0], bb[3], z});
    if (ok) {
        auto* pList = dynamic_cast<CCheckListBox*>(pDlg->GetDlgItem(IDC_LDFS_LIST));
        for (int i = 0; pList && i < pList->GetCount(); ++i)
            AfxDriver::CheckItem(pDlg, IDC_LDFS_LIST, i, 1);
        AfxDriver::Check(pDlg, IDC_LDFS_INCLUDE_TEXT, 1);
        const int nShown = host.GetShownCount();
        AfxDriver::Click(pDlg, IDC_LDFS_SHOW);
        ok = host.GetShownCount() == nShown + 1;
    }
    for (int i = nBoxes; i < Win32MessageBoxCount(); ++i)
        std::printf("  message: %s\n", Win32MessageBoxAt(i)->pszText);
    ok = ok && renderer.SavePNG(png.string().c_str());

    // Close: the dialog leaves its display and tells the main window.
    if (CWnd* p = FindOwnedWindow(AfxGetMainWnd(), "CDlgLclDirForSum"))
        AfxDriver::Click(p, IDC_LDFS_CLOSE);
    kvpvs::host::CUserDefDisplayHost::Uninstall(bridge.Get());
    return ok ? 1 : 0;
}

// The plane names and sums of the report, as the user reads them.
void PrintSums(const fs::path& report)
{
    std::ifstream in(report);
    std::string line;
    while (std::getline(in, line)) {
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        if (line.find("Plane Name") != std::string::npos || line.rfind("   F", 0) == 0)
            std::printf("  %s\n", line.c_str());
    }
}

} // namespace

int RunForceSumDialogDemo(CDBDoc& doc, const char* outDir)
{
    if (!outDir)
        return 0;
    const unsigned int nLastStep = EnsureForceSumStepRecords(doc);
    T_PLSIF_D lastStep;
    const std::string strStep = nLastStep && CClassPLsif(doc.GetPostDB()).Get(nLastStep, lastStep)
                                    ? std::string(lastStep.strName.GetString())
                                    : std::string();
    if (strStep.empty()) {
        std::fprintf(stderr, "kvpvs-host: the sample has no force-sum rows\n");
        return 0;
    }
    // The report is written next to the model file: give the model a folder of its own so the
    // other steps' reports stay as they are.
    const fs::path out(outDir);
    const fs::path folder = out / "force_sum_dialog";
    std::error_code ec;
    fs::create_directories(folder, ec);
    const CString strPathBefore = doc.GetPathName();
    doc.SetPathName((folder / "sample.kvp").string().c_str());
    CView* pViewBefore = doc.GetActiveView();
    CView view;
    view.CreateWindowCore(nullptr);
    view.MoveWindow(0, 120, 1000, 750);
    doc.SetActiveView(&view);

    const fs::path png = out / "force_sum_dialog.png";
    int ok = DriveDialog(doc, view, strStep, png);

    doc.SetActiveView(pViewBefore);
    view.DestroyWindow();
    doc.SetPathName(strPathBefore);
    const fs::path report = out / "LdfsFile_dialog.txt";
    fs::copy_file(folder / "LdfsFile.txt", report, fs::copy_options::overwrite_existing, ec);
    ok = ok && !ec;
    PrintSums(report);
    fs::remove_all(folder, ec);
    std::printf("force sums from the dialog: %s, %s\n", report.string().c_str(), png.string().c_str());
    return ok;
}
