// Demo step: member design from the two design dialogs, driven as a user drives them. The
// host's program folder is the output folder, with the design checker copied into it. Beam
// design: pick the upper struts, the pile and a truss (which the dialog drops), check the two
// strut stages, Design. Plate/solid design, after the force-sum step: add a plate plane across
// the wall and a solid plane through the soil at x = 15.3 by picked points, design each. Each
// Design writes "KvrDesign.txt" into the folder and starts the checker, which keeps a numbered
// copy and a line in "KvrDesignCH.log".
#include "demo_steps.h"
#include "demo_support.h"

#include "UserDefDisplayHost.h"

#include "DBDoc.h"
#include "DBModelRecords.h"
#include "GeomDialog.h"
#include "MsgDll.h"
#include "PVSMeshMngrBrdg.h"
#include "SampleSchema.h"
#include "afx_standin.h"

#include "design/CDlgBeamElementDesign.h"
#include "design/DesignControlIds.h"
#include "dialogs/DialogControlIds.h"

#include <dlfcn.h>

#include <algorithm>
#include <array>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>
#include <thread>
#include <vector>

namespace {

namespace fs = std::filesystem;
using P3 = std::array<double, 3>;

// Ticks the entries of a check list whose texts are given.
int CheckByText(CWnd* pDlg, UINT nID, const std::vector<std::string>& texts)
{
    auto* pList = dynamic_cast<CListBox*>(pDlg->GetDlgItem(nID));
    int n = 0;
    for (int i = 0; pList && i < pList->GetCount(); ++i) {
        CString s;
        pList->GetText(i, s);
        const bool bWanted = std::find(texts.begin(), texts.end(), s.GetString()) != texts.end();
        AfxDriver::CheckItem(pDlg, nID, i, bWanted ? 1 : 0);
        n += bWanted ? 1 : 0;
    }
    return n;
}

std::vector<unsigned int> ElementsOfType(CDBDoc& doc, int nType)
{
    CClassElem cls(doc.GetModelDB());
    CArray<unsigned int, unsigned int> keys;
    cls.GetKeyList(keys);
    std::vector<unsigned int> a;
    for (int i = 0; i < keys.GetSize(); ++i) {
        T_ELEM_D e;
        if (cls.Get(keys[i], e) && e.nType == nType)
            a.push_back(keys[i]);
    }
    return a;
}

// The names of the stages that have struts: the last two of the construction stages.
std::vector<std::string> StrutStages(CDBDoc& doc)
{
    CClassPLsif cls(doc.GetPostDB());
    CArray<unsigned int, unsigned int> keys;
    cls.GetKeyListByPOsifK(kvpvs::sample::kOsetStages, keys, nullptr);
    std::vector<std::string> names;
    for (int i = 0; i < keys.GetSize(); ++i) {
        T_PLSIF_D s;
        if (cls.Get(keys[i], s) && s.nStepKind == kvpvs::sample::kStepKindStage)
            names.push_back(s.strName.GetString());
    }
    if (names.size() > 2)
        names.erase(names.begin(), names.end() - 2);
    return names;
}

size_t RecordLines(const fs::path& log)
{
    std::ifstream in(log);
    size_t n = 0;
    for (std::string s; std::getline(in, s);)
        ++n;
    return n;
}

// The checker runs on its own: wait for its record line (up to 10 s).
bool WaitForChecker(const fs::path& log, size_t nLines)
{
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while (RecordLines(log) < nLines) {
        if (std::chrono::steady_clock::now() > deadline)
            return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    return true;
}

void PrintMessages(int nFrom)
{
    for (int i = nFrom; i < Win32MessageBoxCount(); ++i)
        std::printf("  message: %s\n", Win32MessageBoxAt(i)->pszText);
}

int DesignBeams(CDBDoc& doc, CView& view, const fs::path& log)
{
    // The launcher makes a new one under the active view on every call; it frees itself on close.
    if (OpenModuleDialog("CDlgBeamElementDesign") != 1) {
        std::fprintf(stderr, "kvpvs-host: the module's launcher does not open the beam design dialog\n");
        return 0;
    }
    auto* pDlg = dynamic_cast<CGeomDialog*>(FindOwnedWindow(&view, "CDlgBeamElementDesign"));
    if (!pDlg) {
        std::fprintf(stderr, "kvpvs-host: the beam design dialog did not open\n");
        return 0;
    }

    CArray<unsigned int, unsigned int> picks;
    for (int nType : {kvpvs::sample::kElemBeam, kvpvs::sample::kElemPile})
        for (unsigned int k : ElementsOfType(doc, nType))
            picks.Add(k);
    const std::vector<unsigned int> trusses = ElementsOfType(doc, kvpvs::sample::kElemTruss);
    if (!trusses.empty())
        picks.Add(trusses.front());
    AfxDriver::Click(pDlg, IDC_BMDS_SELECT);
    pDlg->PickElements(picks);
    CString strCaption = AfxDriver::GetText(pDlg, IDC_BMDS_SELECT);
    std::printf("  beam dialog: %d picked, button \"%s\"\n", picks.GetSize(), strCaption.GetString());
    const std::vector<std::string> stages = StrutStages(doc);
    const int nChecked = CheckByText(pDlg, IDC_BMDS_CASES, stages);
    const size_t nBefore = RecordLines(log);
    AfxDriver::Click(pDlg, IDC_BMDS_DESIGN);
    const bool ok = nChecked == 2 && WaitForChecker(log, nBefore + 1);
    pDlg->DestroyWindow();
    return ok ? 1 : 0;
}

// Add, then in the plane dialog: the element type, the name, three points picked, OK.
bool AddPlane(CWnd* pDlg, int bPlate, const char* pszName, const P3& a, const P3& b, const P3& c)
{
    if (!AfxDriver::Click(pDlg, IDC_PSDS_ADD))
        return false;
    auto* pPlane = dynamic_cast<CGeomDialog*>(FindOwnedWindow(pDlg, "CPVSDlgDefThreePointPlane"));
    if (!pPlane)
        return false;
    AfxDriver::Check(pPlane, bPlate ? IDC_THREEPT_PLATE : IDC_THREEPT_SOLID, 1);
    AfxDriver::SetText(pPlane, IDC_THREEPT_NAME, pszName);
    if (!AfxDriver::Focus(pPlane, IDC_THREEPT_PNT1))
        return false;
    for (const P3& p : {a, b, c})
        if (!pPlane->GetEventHandler() || !pPlane->GetEventHandler()->Pick(gp_Pnt(p[0], p[1], p[2])))
            return false;
    AfxDriver::Click(pPlane, IDC_THREEPT_OK);
    return FindOwnedWindow(pDlg, "CPVSDlgDefThreePointPlane") == nullptr;
}

int DesignPlanes(CDBDoc& doc, CView& view, const fs::path& log)
{
    if (OpenModuleDialog("CDlgPlateSolidDesign") != 1) {
        std::fprintf(stderr, "kvpvs-host: the module's launcher does not open the plate/solid design dialog\n");
        return 0;
    }
    CWnd* pDlg = FindOwnedWindow(AfxGetMainWnd(), "CDlgPlateSolidDesign");
    if (!pDlg) {
        std::fprintf(stderr, "kvpvs-host: the plate/solid design dialog did not open\n");
        return 0;
    }
    // A horizontal cut across the wall (x = 10) at z = -7.25, between node rows: first axis
    // along +Y, third point above, so the plate normal is +Z. A solid cut through the soil at
    // x = 15.3, between node columns: its section is the soil's whole y-z rectangle.
    const double z = -7.25, x = 15.3;
    bool ok = AddPlane(pDlg, 1, "Wall z=-7.25", Moved(10, 0, z), Moved(10, 8, z), Moved(10, 8, z + 1));
    ok = ok && AddPlane(pDlg, 0, "Soil section", Moved(x, 0, -24), Moved(x, 8, -24), Moved(x, 0, 0));
    const std::vector<std::string> stages = StrutStages(doc);
    int nDone = 0;
    for (const char* pszPlane : {"Wall z=-7.25", "Soil section"}) {
        if (!ok)
            break;
        ok = CheckByText(pDlg, IDC_PSDS_PLANES, {pszPlane}) == 1 && CheckByText(pDlg, IDC_PSDS_STEPS, stages) == 2;
        const size_t nBefore = RecordLines(log);
        AfxDriver::Click(pDlg, IDC_PSDS_DESIGN);
        ok = ok && WaitForChecker(log, nBefore + 1);
        if (ok)
            std::printf("  plate/solid dialog: \"%s\" designed over %zu stages\n", pszPlane, stages.size());
        nDone += ok ? 1 : 0;
    }
    if (CWnd* p = FindOwnedWindow(AfxGetMainWnd(), "CDlgPlateSolidDesign"))
        AfxDriver::Click(p, IDC_PSDS_CLOSE);
    return nDone == 2 ? 1 : 0;
}

} // namespace

int RunDesignDemo(CDBDoc& doc, const char* outDir, const char* hostPath)
{
    if (!outDir || !hostPath)
        return 0;
    const fs::path out = fs::absolute(outDir);
    // The checker is built beside the host: build/<flavour>/platform/KvrDesignCH.
    const fs::path checker = fs::path(hostPath).parent_path().parent_path() / "platform" / "KvrDesignCH" / "KvrDesignCH.exe";
    std::error_code ec;
    fs::copy_file(checker, out / "KvrDesignCH.exe", fs::copy_options::overwrite_existing, ec);
    if (ec) {
        std::fprintf(stderr, "kvpvs-host: the design checker %s cannot be placed: %s\n", checker.string().c_str(),
                     ec.message().c_str());
        return 0;
    }
    // A fresh record: earlier runs' copies and lines are removed.
    for (const auto& e : fs::directory_iterator(out, ec))
        if (e.path().filename().string().rfind("KvrDesign_", 0) == 0)
            fs::remove(e.path(), ec);
    const fs::path log = out / "KvrDesignCH.log";
    fs::remove(log, ec);
    const CString strProgramBefore = doc.GetProgramPath();
    doc.SetProgramPath((out.string() + "/").c_str());

    CView* pViewBefore = doc.GetActiveView();
    CView view;
    view.CreateWindowCore(nullptr);
    view.MoveWindow(0, 120, 1000, 750);
    doc.SetActiveView(&view);
    kvpvs::host::CUserDefDisplayHost host(nullptr);
    host.InstallDoc(doc);
    const int nBoxes = Win32MessageBoxCount();
    // The host's message table for the texts the design dialogs show.
    CMsgDll::SetText(IDS_KV_PVS_SELECTMGR_SELECT_BEAM_ELEMENT, "Select beam elements");
    CMsgDll::SetText(IDS_KV_PVS_SELECTMGR_BEAM_ELEMENTS_SELECTED, "%d beam elements selected");
    CMsgDll::SetText(IDS_LBC_NO_SELECTED_ELEMENT, "No element is selected.");
    CMsgDll::SetText(IDS_KV_PVS_NOT_RECTANGLE_PLANE, "The plane's section is not a rectangle.");

    int ok = DesignBeams(doc, view, log);
    ok = DesignPlanes(doc, view, log) && ok;
    PrintMessages(nBoxes);

    kvpvs::host::CUserDefDisplayHost::UninstallDoc(doc);
    doc.SetActiveView(pViewBefore);
    view.DestroyWindow();
    doc.SetProgramPath(strProgramBefore);
    std::ifstream in(log);
    for (std::string s; std::getline(in, s);)
        std::printf("  checker: %s\n", s.c_str());
    std::printf("member design: %s, %s\n", (out / "KvrDesign.txt").string().c_str(), log.string().c_str());
    return ok;
}
