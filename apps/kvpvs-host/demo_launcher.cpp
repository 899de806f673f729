// The module's dialog launcher from the host's side: every dialog of both tables opened by its
// name ("launcher.txt"), one combination A+B of two displacement rows through the modal dialog,
// the picture-export settings exported and imported again ("picture_settings.rpd"), and a batch
// of result pictures in views Iso and Front written by the demo host's document ("pictures/").
#include "demo_steps.h"

#include "dialogs/DialogControlIds.h"

#include "DBDoc.h"
#include "FactoryPVS.h"
#include "PVSRendererBase.h"
#include "PostCtrlBase.h"
#include "PostVisualState.h"
#include "SampleSchema.h"
#include "WdDoc.h"
#include "afx_standin.h"
#include "afxcmn.h"

#include <dlfcn.h>

#include <cxxabi.h>
#include <vtkCellArray.h>
#include <vtkDoubleArray.h>
#include <vtkPointData.h>
#include <vtkPoints.h>
#include <vtkSmartPointer.h>
#include <vtkUnstructuredGrid.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <typeinfo>
#include <vector>

namespace fs = std::filesystem;

namespace {

using PFN_MODELESS = int (*)(const char*, void*, void*);
using PFN_MODAL = int (*)(const char*, void*);

// The launcher's two entries, looked up once by name.
struct Launcher {
    PFN_MODELESS pfnModeless = nullptr;
    PFN_MODAL pfnModal = nullptr;
    static const Launcher& Get()
    {
        static const Launcher l = [] {
            Launcher r;
            r.pfnModeless = reinterpret_cast<PFN_MODELESS>(dlsym(RTLD_DEFAULT, "_ZN12IKVPvsDialog10DoModelessEPKcPvS2_"));
            r.pfnModal = reinterpret_cast<PFN_MODAL>(dlsym(RTLD_DEFAULT, "_ZN12IKVPvsDialog7DoModalEPKcPv"));
            return r;
        }();
        return l;
    }
};

const char* const kModelessNames[] = {"CDlgHistoryData",     "CDlgHistoryPlot",      "CDlgHistoryGrphTKVR",
                                      "CDlgFlowQuantityTKVR", "CDlgHistoryPlotTKVR", "CDlgFlowDiscWKVR",
                                      "CDlgProfileGridDef",  "CDlgProfileGridPlot",  "CDlgFlowPathWKVR",
                                      "CDlgSaveResultPic",   "CDlgSlopeFOSResult",   "CDlgBeamElementDesign",
                                      "CDlgLclDirForSum",    "CDlgPlateSolidDesign"};

std::string ClassOf(CWnd* p)
{
    int nStatus = 0;
    std::unique_ptr<char, void (*)(void*)> name(abi::__cxa_demangle(typeid(*p).name(), nullptr, nullptr, &nStatus),
                                                std::free);
    return nStatus == 0 && name ? name.get() : typeid(*p).name();
}

// Top-level windows owned by the view or the main window.
std::vector<HWND> OwnedWindows(CWnd* pView)
{
    std::vector<HWND> out;
    for (CWnd* pOwner : {pView, AfxGetMainWnd()}) {
        HWND a[128];
        const int n = pOwner ? Win32RelatedWindows(pOwner->m_hWnd, FALSE, a, 128) : 0;
        out.insert(out.end(), a, a + std::min(n, 128));
    }
    return out;
}

// Windows that appeared since the last call.
class WindowWatch {
public:
    explicit WindowWatch(CWnd* pView) : m_pView(pView) { Opened(); }
    std::vector<CWnd*> Opened()
    {
        std::vector<CWnd*> out;
        for (HWND h : OwnedWindows(m_pView))
            if (m_seen.insert(h).second)
                if (CWnd* p = static_cast<CWnd*>(Win32WindowObject(h)))
                    out.push_back(p);
        return out;
    }
    CWnd* Find(const char* pszClass)
    {
        for (HWND h : OwnedWindows(m_pView))
            if (CWnd* p = static_cast<CWnd*>(Win32WindowObject(h)); p && ClassOf(p) == pszClass)
                return p;
        return nullptr;
    }
    void CloseAllSince(const std::set<HWND>& keep)
    {
        for (HWND h : OwnedWindows(m_pView))
            if (!keep.count(h) && IsWindow(h))
                DestroyWindow(h);
    }
    std::set<HWND> Snapshot() const
    {
        const std::vector<HWND> v = OwnedWindows(m_pView);
        return std::set<HWND>(v.begin(), v.end());
    }

private:
    CWnd* m_pView;
    std::set<HWND> m_seen;
};

std::string Describe(const std::vector<CWnd*>& a)
{
    if (a.empty())
        return "-";
    std::string s;
    for (CWnd* p : a)
        s += (s.empty() ? "" : ",") + ClassOf(p);
    return s;
}

// Picks an entry of a combo box whose text is one of the names; its index, -1 when none.
int FindItem(CComboBox* pCombo, const std::set<std::string>& names, int nAfter = -1)
{
    for (int i = nAfter + 1; pCombo && i < pCombo->GetCount(); ++i) {
        CString s;
        pCombo->GetLBText(i, s);
        if (names.count(s.GetString()))
            return i;
    }
    return -1;
}

// The combination A+B of two displacement rows of the last stage, through the modal dialog.
int AddCombination(FILE* pLog)
{
    const Launcher& l = Launcher::Get();
    int nAdded = 0;
    AfxDriver::ScriptModal([&](CDialog* d) {
        auto* pSet = dynamic_cast<CComboBox*>(d->GetDlgItem(IDC_RCC_SET));
        auto* pStep = dynamic_cast<CComboBox*>(d->GetDlgItem(IDC_RCC_STEP));
        auto* pResult = dynamic_cast<CComboBox*>(d->GetDlgItem(IDC_RCC_RESULT));
        if (!pSet || !pStep || !pResult || pSet->GetCount() == 0)
            return;
        AfxDriver::Select(d, IDC_RCC_SET, 0);
        if (pStep->GetCount() > 0)
            AfxDriver::Select(d, IDC_RCC_STEP, pStep->GetCount() - 1);
        const std::set<std::string> disp = {"DX", "DY", "DZ"};
        const int a = FindItem(pResult, disp);
        const int b = FindItem(pResult, disp, a);
        if (a < 0 || b < 0)
            return;
        AfxDriver::Select(d, IDC_RCC_RESULT, a);
        AfxDriver::Click(d, IDC_RCC_ADD_DATA);
        AfxDriver::Select(d, IDC_RCC_RESULT, b);
        AfxDriver::Click(d, IDC_RCC_ADD_DATA);
        AfxDriver::SetText(d, IDC_RCC_NAME, "Sum");
        AfxDriver::SetText(d, IDC_RCC_EXPRESSION, "A+B");
        AfxDriver::Click(d, IDC_RCC_ADD_COMB);
        nAdded = 1;
    });
    AfxDriver::ScriptModal([](CDialog* d) { AfxDriver::Click(d, IDC_RCC_CLOSE); });
    const int nResult = l.pfnModal("CDlgResultCompComb", nullptr);
    AfxDriver::ClearModalScript();
    CArray<unsigned int, unsigned int> aKeys;
    CPostVisualState::Instance()->GetCompCombKeyList(aKeys);
    std::fprintf(pLog, "%-24s %3d  modal, %d combination(s) kept\n", "CDlgResultCompComb", nResult,
                 static_cast<int>(aKeys.GetSize()));
    std::printf("combination A+B %s; %d combination(s) kept\n", nAdded && aKeys.GetSize() > 0 ? "added" : "not added",
                static_cast<int>(aKeys.GetSize()));
    return nAdded && aKeys.GetSize() > 0 ? 1 : 0;
}

// Node rows of the last stage the batch shows: settlement and total displacement.
std::vector<unsigned int> PictureRows(CDBDoc& doc)
{
    CClassPVtif rows(doc.GetPostDB());
    CClassPEngr engrs(doc.GetPostDB());
    CArray<unsigned int, unsigned int> aKeys;
    rows.GetKeyList(aKeys);
    unsigned int nLastStep = 0;
    for (int i = 0; i < aKeys.GetSize(); ++i) {
        T_PVTIF_D row;
        T_PENGR_D engr;
        if (rows.Get(aKeys[i], row) && engrs.Get(row.nEngrK, engr) && engr.nKind == kvpvs::sample::kEntNode &&
            row.nResultClass == kvpvs::sample::kClsDisp && row.nItem == kvpvs::sample::kItemDZ)
            nLastStep = std::max(nLastStep, row.nStepK);
    }
    std::vector<unsigned int> out;
    for (int i = 0; i < aKeys.GetSize(); ++i) {
        T_PVTIF_D row;
        T_PENGR_D engr;
        if (rows.Get(aKeys[i], row) && row.nStepK == nLastStep && engrs.Get(row.nEngrK, engr) &&
            engr.nKind == kvpvs::sample::kEntNode && row.nResultClass == kvpvs::sample::kClsDisp &&
            (row.nItem == kvpvs::sample::kItemDZ || row.nItem == kvpvs::sample::kItemDXYZ))
            out.push_back(aKeys[i]);
    }
    return out;
}

// Checks the rows' items in the dialog's result tree (sets > steps > groups > rows), by the
// space bar on the selected item as the user would.
int CheckTreeRows(CWnd* pDlg, const std::vector<unsigned int>& aRowK)
{
    auto* pTree = dynamic_cast<CTreeCtrl*>(pDlg->GetDlgItem(IDC_SRP_TREE));
    if (!pTree)
        return 0;
    int nChecked = 0;
    for (HTREEITEM hSet = pTree->GetRootItem(); hSet; hSet = pTree->GetNextSiblingItem(hSet))
        for (HTREEITEM hStep = pTree->GetChildItem(hSet); hStep; hStep = pTree->GetNextSiblingItem(hStep))
            for (HTREEITEM hGroup = pTree->GetChildItem(hStep); hGroup; hGroup = pTree->GetNextSiblingItem(hGroup))
                for (HTREEITEM hRow = pTree->GetChildItem(hGroup); hRow; hRow = pTree->GetNextSiblingItem(hRow)) {
                    const unsigned int nRowK = static_cast<unsigned int>(pTree->GetItemData(hRow));
                    if (std::find(aRowK.begin(), aRowK.end(), nRowK) == aRowK.end())
                        continue;
                    pTree->Expand(hSet, TVE_EXPAND);
                    pTree->Expand(hStep, TVE_EXPAND);
                    pTree->Expand(hGroup, TVE_EXPAND);
                    pTree->SelectItem(hRow);
                    AfxDriver::PressKey(pTree, VK_SPACE);
                    ++nChecked;
                }
    return nChecked;
}

// The demo host's own display of a node row: the soil and wall cells coloured by the row's
// first value at each node.
vtkSmartPointer<vtkUnstructuredGrid> RowField(CDBDoc& doc, unsigned int nRowK)
{
    auto pGrid = vtkSmartPointer<vtkUnstructuredGrid>::New();
    auto pPoints = vtkSmartPointer<vtkPoints>::New();
    pPoints->SetDataTypeToDouble();
    auto pValues = vtkSmartPointer<vtkDoubleArray>::New();
    pValues->SetName("value");
    std::map<unsigned int, vtkIdType> mId;
    CPostCtrlBase* pCtrl = CPDataBaseNeutral::GetPostCtrl(doc.GetPostDB());
    if (!pCtrl)
        return pGrid;
    pCtrl->AttachPostDB(doc.GetPostDB());
    pCtrl->AttachModelDB(doc.GetModelDB());
    pCtrl->BeginQueryRow(nRowK);
    for (const auto& [nNodeK, node] : doc.GetModelDB()->Table<T_NODE_D>()) {
        double v[8] = {};
        int nCount = 0;
        if (!pCtrl->GetNodeResult(nNodeK, nRowK, nCount, v, 8) || nCount < 1)
            continue;
        mId[nNodeK] = pPoints->InsertNextPoint(node.dXyz);
        pValues->InsertNextValue(v[0]);
    }
    pCtrl->EndQueryRow();
    pGrid->SetPoints(pPoints);
    pGrid->GetPointData()->SetScalars(pValues);
    for (const auto& [nElemK, elem] : doc.GetModelDB()->Table<T_ELEM_D>()) {
        if (elem.nCellType != 12 && elem.nCellType != 9)
            continue;
        std::vector<vtkIdType> ids;
        for (int i = 0; i < elem.aNodeK.GetSize(); ++i) {
            const auto it = mId.find(elem.aNodeK[i]);
            if (it == mId.end())
                break;
            ids.push_back(it->second);
        }
        if (ids.size() == static_cast<size_t>(elem.aNodeK.GetSize()))
            pGrid->InsertNextCell(elem.nCellType, static_cast<vtkIdType>(ids.size()), ids.data());
    }
    return pGrid;
}

const char* const kImageExtensions[3] = {".PNG", ".JPG", ".BMP"};

} // namespace

int OpenModuleDialog(const char* pszName, void* pArgument)
{
    const Launcher& l = Launcher::Get();
    return l.pfnModeless ? l.pfnModeless(pszName, pArgument, nullptr) : -1;
}

void DemoHostDocument::SaveResultPictures(const CArray<unsigned int>& aCompKeys,
                                          const CStringArray& aFileNames, const T_VIEW_STATUS& viewStatus,
                                          CString strFolder)
{
    CDBDoc::SaveResultPictures(aCompKeys, aFileNames, viewStatus, strFolder);
    std::printf("demo host pictures: the views and the image format are honoured; the picture kind, the shape, "
                "the contour range and divisions and the scales are not\n");
    IFactoryPVS* pFactory = IFactoryPVS::Instance();
    const int nFormat = viewStatus.nImageFormat >= 0 && viewStatus.nImageFormat < 3 ? viewStatus.nImageFormat : 0;
    for (int i = 0; i < aFileNames.GetSize(); ++i) {
        if (aFileNames[i].IsEmpty() || i / 9 >= aCompKeys.GetSize())
            continue;
        const unsigned int nRowK = aCompKeys[i / 9];
        const int nView = i % 9;
        CPVSRendererVTK renderer(800, 600);
        // The row's display as the factory builds it; the host's generic methods draw nothing, so
        // the demo host then draws the row's values itself.
        if (pFactory) {
            T_VD_PARAM_D param{this, nRowK, 0, nullptr, 0};
            CPVSVisualDataBase::ResetVDataStatics();
            std::unique_ptr<CPVSVisualDataBase> pVData(pFactory->CreateVisualData(&param));
            if (pVData) {
                T_VM_PARAM_D vm;
                vm.pDoc = this;
                vm.pVData = pVData.get();
                vm.pVS = CPostVisualState::Instance()->GetCurrentPA();
                vm.pAS = CPostVisualState::Instance()->GetCurrentPAnim();
                vm.nVMType = pVData->GetVisualMethodType(vm.pVS);
                std::unique_ptr<CPVSVisualMethodBase> pMethod(pFactory->CreateVisualMethod(&vm));
                if (pMethod && pMethod->Process())
                    pMethod->Render(&renderer);
            }
        }
        vtkSmartPointer<vtkUnstructuredGrid> pField = RowField(*this, nRowK);
        renderer.DrawScalarSurface(pField, 0, 0);
        if (nView < 8)
            renderer.SetNamedView(nView);
        const CString strPath = strFolder + aFileNames[i] + kImageExtensions[nFormat];
        const BOOL bSaved = renderer.SaveImage(strPath.GetString(), nFormat);
        std::printf("  %s: %lld cells%s\n", aFileNames[i].GetString(), static_cast<long long>(pField->GetNumberOfCells()),
                    bSaved ? "" : " (not written)");
        if (bSaved)
            ++m_nPicturesWritten;
    }
}

int RunLauncherDemo(CDBDoc& doc, const char* outDir)
{
    const Launcher& l = Launcher::Get();
    if (!l.pfnModeless || !l.pfnModal) {
        std::fprintf(stderr, "kvpvs-host: the module exports no dialog launcher\n");
        return 0;
    }
    // No word processor in the demo host.
    CWdDoc::SetAvailable(false);
    const fs::path out(outDir);
    CView* pViewBefore = doc.GetActiveView();
    CView view;
    view.CreateWindowCore(nullptr);
    doc.SetActiveView(&view);
    WindowWatch watch(&view);
    const std::set<HWND> keep = watch.Snapshot();
    int nOk = 1;

    FILE* pLog = std::fopen((out / "launcher.txt").string().c_str(), "w");
    if (!pLog) {
        doc.SetActiveView(pViewBefore);
        return 0;
    }
    std::fprintf(pLog, "%-24s %3s  %-28s %s\n", "name", "res", "window opened", "second call");
    unsigned int nWord = 0;
    for (const char* pszName : kModelessNames) {
        const int n1 = l.pfnModeless(pszName, &nWord, nullptr);
        const std::string s1 = Describe(watch.Opened());
        const int n2 = l.pfnModeless(pszName, &nWord, nullptr);
        const std::vector<CWnd*> again = watch.Opened();
        const std::string s2 = !again.empty() ? "opened another " + Describe(again)
                               : s1 == "-"    ? "nothing opened (dialog not in this build)"
                                              : "activated the open one";
        std::fprintf(pLog, "%-24s %3d  %-28s %d, %s\n", pszName, n1, s1.c_str(), n2, s2.c_str());
        std::printf("%-24s %3d  %s\n", pszName, n1, s1.c_str());
        if (n1 != 1)
            nOk = 0;
    }
    std::fprintf(pLog, "%-24s %3d  unknown name\n", "CDlgUnknown", l.pfnModeless("CDlgUnknown", nullptr, nullptr));
    watch.CloseAllSince(keep);
    if (!AddCombination(pLog))
        nOk = 0;
    std::fclose(pLog);

    // Picture settings out and in, then the batch.
    l.pfnModeless("CDlgSaveResultPic", nullptr, nullptr);
    CWnd* pDlg = watch.Find("CDlgSaveResultPic");
    if (!pDlg) {
        std::fprintf(stderr, "kvpvs-host: the batch picture export dialog did not open\n");
        doc.SetActiveView(pViewBefore);
        return 0;
    }
    const fs::path settings = out / "picture_settings.rpd";
    AfxDriver::Click(pDlg, IDC_SRP_VIEW_ISO);
    AfxDriver::Click(pDlg, IDC_SRP_VIEW_ISO + 2);
    AfxDriver::ScriptFileDialog(IDOK, settings.string().c_str());
    AfxDriver::Click(pDlg, IDC_SRP_EXPORT);
    AfxDriver::Click(pDlg, IDC_SRP_VIEW_ISO); // changed, then restored by the import
    AfxDriver::ScriptFileDialog(IDOK, settings.string().c_str());
    AfxDriver::Click(pDlg, IDC_SRP_IMPORT);
    const bool bRestored = static_cast<CButton*>(pDlg->GetDlgItem(IDC_SRP_VIEW_ISO))->GetCheck() == 1;
    std::printf("picture settings exported to %s and imported again (Iso view %s)\n", settings.filename().c_str(),
                bRestored ? "restored" : "NOT restored");
    if (!fs::exists(settings) || !bRestored)
        nOk = 0;

    const std::vector<unsigned int> aRowK = PictureRows(doc);
    const int nChecked = CheckTreeRows(pDlg, aRowK);
    const fs::path pictures = out / "pictures";
    AfxDriver::SetText(pDlg, IDC_SRP_FOLDER, pictures.string().c_str());
    auto* pHost = dynamic_cast<DemoHostDocument*>(&doc);
    const int nBefore = pHost ? pHost->m_nPicturesWritten : 0;
    AfxDriver::Click(pDlg, IDOK);
    const int nWritten = pHost ? pHost->m_nPicturesWritten - nBefore : 0;
    std::printf("batch export: %d rows checked, %d pictures written into %s\n", nChecked, nWritten,
                pictures.filename().c_str());
    if (nChecked == 0 || nWritten != 2 * nChecked)
        nOk = 0;
    watch.CloseAllSince(keep);
    doc.SetActiveView(pViewBefore);
    view.DestroyWindow();
    return nOk;
}
