// Demo step: the seepage dialogs of the sample's last stage, driven as a user drives them. In the
// flow-path dialog the user chooses the stage, sets how the paths are drawn, types two start
// points around the wall tip and plots them, plays the marks for a while, stops them and records
// 20 frames; the host's recording engine hands each frame to the host, which draws the display
// into a picture. In the flow-discharge dialog the user defines two planes with the plane
// dialog, adds and ticks them and shows the discharge; the display is the other edition's, whose
// factory the host constructs from the loaded module for the step (the only factory that offers
// it).
#include "demo_steps.h"
#include "demo_support.h"

#include "AnimationEngine.h"
#include "DBDoc.h"
#include "FactoryPVS.h"
#include "PVSMeshMngrBrdg.h"
#include "PVSRendererBase.h"
#include "PostVisualState.h"
#include "SampleSchema.h"
#include "UserDefDisplayHost.h"
#include "ZORViewBase.h"
#include "afx_standin.h"

#include "dialogs/DialogControlIds.h"
#include "frame/IFactoryWPLPVSImpl.h"
#include "visualmethods/CPVSVisualMethodFlowDiscWKVR.h"

#include <dlfcn.h>
#include <vtkDataSet.h>

#include <cstdio>
#include <cstring>
#include <filesystem>
#include <memory>
#include <string>

namespace {

namespace fs = std::filesystem;

// The nodal flow-velocity row of the last step that has one: 0 when there is none.
unsigned int FlowVelocityRow(CDBDoc& doc)
{
    CClassPVtif cls(doc.GetPostDB());
    CArray<unsigned int, unsigned int> keys;
    cls.GetKeyList(keys);
    unsigned int nRowK = 0;
    for (int i = 0; i < keys.GetSize(); ++i) {
        T_PVTIF_D r;
        if (cls.Get(keys[i], r) && r.nResultClass == kvpvs::sample::kClsNodeSeep && r.nCompCode == 7)
            nRowK = keys[i];
    }
    return nRowK;
}

// The view the user works in: the model box as its bridge reports it, the display of the
// latest request only (each request clears what the one before drew).
class SeepageView {
public:
    SeepageView(CDBDoc& doc, CPVSRendererVTK& renderer) : m_view(doc), m_host(&renderer)
    {
        m_pBridge = std::make_unique<BridgeScope>(&m_view.Get());
        m_pBridge->SetModelBox(doc);
        m_pBridge->Get().m_fnDisplayHandler = [&renderer, this](const T_PVS_DISPLAY_REQUEST_D& r) {
            renderer.Clear();
            return m_host.Show(r);
        };
    }
    ~SeepageView() { m_pBridge.reset(); }
    SeepageView(const SeepageView&) = delete;
    SeepageView& operator=(const SeepageView&) = delete;

    CView& View() { return m_view.Get(); }
    kvpvs::host::CUserDefDisplayHost& Host() { return m_host; }
    double MidY() const { return 0.5 * (m_pBridge->Box()[2] + m_pBridge->Box()[3]); }

private:
    DemoView<CZORViewBase> m_view;
    kvpvs::host::CUserDefDisplayHost m_host;
    std::unique_ptr<BridgeScope> m_pBridge;
};

// Flow paths, their marks played and recorded; 1 when the picture and the 20 frames were written.
int FlowPaths(CDBDoc& doc, const CString& strSet, const CString& strStep, const fs::path& out)
{
    CPVSRendererVTK renderer(1000, 750);
    SeepageView scene(doc, renderer);
    CWnd* pDlg = OpenFlowPathDialog(scene.View(), strSet, strStep);
    if (!pDlg) {
        std::fprintf(stderr, "kvpvs-host: the flow-path dialog did not open on the last stage\n");
        return 0;
    }
    const HWND hDlg = pDlg->m_hWnd;
    // Coloured by the flow magnitude, lines 2 wide, marks as solid cones 1.5 times the size;
    // each new start point keeps the paths before it.
    int ok = AfxDriver::Click(pDlg, IDC_FP_CONTOUR) && AfxDriver::Check(pDlg, IDC_FP_KEEP, 1) &&
             AfxDriver::SetText(pDlg, IDC_FP_LINE_WIDTH, "2") && AfxDriver::Click(pDlg, IDC_FP_CONE) &&
             AfxDriver::SetText(pDlg, IDC_FP_SYMBOL_SCALE, "1.5");
    // Two start points in the saturated soil, either side of the wall, mid-width.
    const double y = scene.MidY(), *S = SampleShift();
    const double pts[2][3] = {{6.0 + S[0], y, -8.0 + S[2]}, {14.0 + S[0], y, -10.0 + S[2]}};
    for (const auto& p : pts)
        ok = ok && PlotFlowPathFrom(pDlg, p);
    CPVSVisualMethodBase* pMethod = scene.Host().GetMethod();
    ok = ok && pMethod && scene.Host().GetShownCount() == 2;
    const fs::path png = out / "flow_paths.png";
    ok = ok && renderer.SavePNG(png.string().c_str());
    const vtkIdType nPoints = pMethod && pMethod->GetDataSetPst() ? pMethod->GetDataSetPst()->GetNumberOfPoints() : 0;
    std::printf("flow paths: 2 start points, %lld path points: %s\n", static_cast<long long>(nPoints),
                png.string().c_str());

    // Play for a third of a second, then Stop.
    auto* pPhase = static_cast<double*>(dlsym(RTLD_DEFAULT, "_ZN27CPVSVisualMethodGlbFlowPath18m_dIncrementFactorE"));
    ok = ok && pPhase && AfxDriver::Click(pDlg, IDC_FP_PLAY) && Win32TimerCount(hDlg) == 1;
    if (ok) {
        for (int nTick = 1; nTick <= 3; ++nTick) {
            Win32AdvanceClock(100);
            std::printf("  playing, tick %d: mark phase %.2f\n", nTick, *pPhase);
        }
        ok = AfxDriver::Click(pDlg, IDC_FP_STOP) && Win32TimerCount(hDlg) == 0 && *pPhase == 0.0;
        std::printf("  stopped: mark phase %.2f\n", pPhase ? *pPhase : -1.0);
    }

    // Record: the host's engine asks the host for each frame; the host draws the display.
    const fs::path dir = out / "flow_marks";
    std::error_code ec;
    fs::create_directories(dir, ec);
    CPVSRendererVTK frames(800, 600);
    int nWritten = 0;
    CAnimationEngineOnlyRecord::m_fnFrameHook = [&](CView*, int nFrame) {
        frames.Clear();
        CPVSVisualMethodBase* pShown = scene.Host().GetMethod();
        if (!pShown || !pShown->Render(&frames))
            return;
        char name[32];
        std::snprintf(name, sizeof name, "frame_%02d.png", nFrame);
        nWritten += frames.SavePNG((dir / name).string().c_str()) ? 1 : 0;
    };
    ok = ok && AfxDriver::Click(pDlg, IDC_FP_RECORD);
    CAnimationEngineOnlyRecord::m_fnFrameHook = nullptr;
    std::printf("flow marks: %d frames in %s\n", nWritten, dir.string().c_str());
    ok = ok && nWritten == 20;
    if (IsWindow(hDlg))
        DestroyWindow(hDlg);
    return ok;
}

// One plane through the plane dialog: the axis it is normal to and the position on that axis.
bool AddPlane(CWnd* pDlg, const char* pszName, UINT nAxis, UINT nPosition, double dPosition)
{
    if (!AfxDriver::Click(pDlg, IDC_FD_DEFINE))
        return false;
    CWnd* pPlane = FindOwnedWindow(pDlg, "CKVPVSDlgDefPlane");
    char szPosition[32];
    std::snprintf(szPosition, sizeof szPosition, "%.17g", dPosition);
    return pPlane && AfxDriver::Click(pPlane, nAxis) && AfxDriver::SetText(pPlane, nPosition, szPosition) &&
           AfxDriver::Click(pPlane, IDC_DEFPLANE_APPLY) && AfxDriver::SetText(pDlg, IDC_FD_NAME, pszName) &&
           AfxDriver::Click(pDlg, IDC_FD_ADD);
}

// The discharge through two planes; 1 when both were computed and the picture written.
int FlowDischarge(CDBDoc& doc, const CString& strSet, const CString& strStep, const fs::path& out)
{
    using PFN_CTOR = void (*)(void*);
    auto pfnEdition = reinterpret_cast<PFN_CTOR>(dlsym(RTLD_DEFAULT, "_ZN18IFactoryWPLPVSImplC1Ev"));
    if (!pfnEdition) {
        std::fprintf(stderr, "seepage: the module exports no edition factory\n");
        return 0;
    }
    alignas(IFactoryWPLPVSImpl) unsigned char storage[sizeof(IFactoryWPLPVSImpl)];
    pfnEdition(storage);
    auto* pEdition = reinterpret_cast<IFactoryPVS*>(storage);
    int ok = 0;
    {
        CPVSRendererVTK renderer(1000, 750);
        SeepageView scene(doc, renderer);
        CWnd* pDlg = nullptr;
        if (OpenModuleDialog("CDlgFlowDiscWKVR") == 1)
            pDlg = FindOwnedWindow(&scene.View(), "CDlgFlowDiscWKVR");
        ok = pDlg && SelectByText(pDlg, IDC_FD_CASE, strSet) && SelectByText(pDlg, IDC_FD_STEP, strStep);
        // A vertical plane through the soil behind the wall, flow towards the wall; a horizontal
        // plane below the wall tip, flow upwards into the pit side.
        ok = ok && AddPlane(pDlg, "Behind the wall", IDC_DEFPLANE_AXIS_X, IDC_DEFPLANE_POS_X, 6 + SampleShift()[0]) &&
             AddPlane(pDlg, "Below the wall tip", IDC_DEFPLANE_AXIS_Z, IDC_DEFPLANE_POS_Z, -18 + SampleShift()[2]);
        if (ok) {
            PickColour(pDlg, IDC_FD_PLANE_COLOUR, 0x0000A000);
            PickColour(pDlg, IDC_FD_ARROW_COLOUR, 0x00C00000);
            ok = AfxDriver::CheckItem(pDlg, IDC_FD_LIST, 0, 1) && AfxDriver::CheckItem(pDlg, IDC_FD_LIST, 1, 1) &&
                 AfxDriver::Click(pDlg, IDC_FD_SHOW);
        }
        CPVSVisualMethodBase* pMethod = scene.Host().GetMethod();
        if (ok && pMethod &&
            std::strcmp(pMethod->GetRuntimeClass()->m_lpszClassName, "CPVSVisualMethodFlowDiscWKVR") == 0) {
            auto* pDisc = static_cast<CPVSVisualMethodFlowDiscWKVR*>(pMethod);
            for (int i = 0; i < pDisc->m_aDischarge.GetSize(); ++i) {
                const T_PVIST_PLNE_D& p = pDisc->m_aResultPoint[i];
                std::printf("discharge %d: %.6e m3/s through the plane with normal (%g, %g, %g), centre (%.3f, %.3f, %.3f)\n",
                            i + 1, pDisc->m_aDischarge[i], p.dNormal[0], p.dNormal[1], p.dNormal[2], p.dOrigin[0],
                            p.dOrigin[1], p.dOrigin[2]);
            }
            ok = pDisc->m_aDischarge.GetSize() == 2;
        } else {
            std::fprintf(stderr, "kvpvs-host: the flow-discharge dialog showed no discharge\n");
            ok = 0;
        }
        const fs::path png = out / "flow_discharge.png";
        ok = renderer.SavePNG(png.string().c_str()) && ok;
        std::printf("flow discharge: %s\n", png.string().c_str());
        if (CWnd* p = FindOwnedWindow(&scene.View(), "CDlgFlowDiscWKVR"))
            AfxDriver::Click(p, IDC_FD_CLOSE);
    }
    pEdition->~IFactoryPVS();
    return ok;
}

} // namespace

int RunSeepageDemo(CDBDoc& doc, const char* outDir)
{
    if (!outDir)
        return 0;
    EnsureForceSumStepRecords(doc);
    const unsigned int nRowK = FlowVelocityRow(doc);
    T_PVTIF_D row;
    CString strSet, strStep;
    if (nRowK == 0 || !CClassPVtif(doc.GetPostDB()).Get(nRowK, row) || !StepNames(doc, row.nStepK, strSet, strStep)) {
        std::fprintf(stderr, "seepage: no flow-velocity row on a step the dialogs list\n");
        return 0;
    }
    T_PVIST_ALL_D* pVS = CPostVisualState::Instance()->GetCurrentPA();
    const T_PVIST_ALL_D savedVS = *pVS;
    pVS->nDispMode = 3; // the mesh's feature edges as outline
    const int nBoxes = Win32MessageBoxCount();
    const fs::path out(outDir);
    int ok = FlowPaths(doc, strSet, strStep, out);
    pVS->vals.nDecimal = 3;
    pVS->vals.bExponential = 1;
    ok = FlowDischarge(doc, strSet, strStep, out) && ok;
    for (int i = nBoxes; i < Win32MessageBoxCount(); ++i)
        std::printf("  message: %s\n", Win32MessageBoxAt(i)->pszText);
    *pVS = savedVS;
    return ok;
}
