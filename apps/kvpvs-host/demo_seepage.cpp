// Demo step: the seepage displays of the sample's last stage, driven as the host drives them.
// Flow paths from two start points around the wall tip, coloured by the flow magnitude, and
// their marks recorded as 20 frames while the phase advances as the flow-path dialog's timer
// advances it; then the discharge through two planes, with the other edition's factory
// constructed from the loaded module for the step (the only factory that offers it).
#include "demo_steps.h"

#include "AnimationEngine.h"
#include "DBDoc.h"
#include "FactoryPVS.h"
#include "PVSMeshMngrBrdg.h"
#include "PVSRendererBase.h"
#include "PostVisualState.h"
#include "SampleSchema.h"
#include "UserDefDisplayHost.h"

#include "frame/IFactoryWPLPVSImpl.h"
#include "visualdata/PVSUserDefRecords.h"
#include "visualmethods/CPVSVisualMethodFlowDiscWKVR.h"

#include <dlfcn.h>
#include <vtkDataSet.h>

#include <cmath>
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

// The animation as the flow-path dialog runs it: the phase goes step, 2 step, ... below the
// mark spacing 1 / N and starts again.
struct Phase {
    double* pFactor = nullptr; // the module's shared phase of the marks
    double dEnd = 0, dStep = 0, dInc = 0;
};
Phase g_phase;

int AdvancePhase()
{
    *g_phase.pFactor = g_phase.dInc;
    g_phase.dInc += g_phase.dStep;
    if (std::fabs(g_phase.dEnd - g_phase.dInc) < 1e-10 || g_phase.dEnd < g_phase.dInc)
        g_phase.dInc = g_phase.dStep;
    return 1;
}

// The model box as the view's bridge reports it, kept for the step and restored after.
class BridgeBox {
public:
    explicit BridgeBox(CDBDoc& doc)
    {
        if (!CPVSMeshMngrBrdgBase::m_pMySelf)
            m_pOwn = std::make_unique<CPVSMeshMngrBrdg>();
        m_pBridge = CPVSMeshMngrBrdgBase::m_pMySelf;
        m_pBridge->GetBounds(m_dSaved);
        double b[6];
        doc.GetModelBounds(b);
        const double bb[6] = {b[0], b[3], b[1], b[4], b[2], b[5]};
        m_pBridge->SetBounds(bb);
        for (int i = 0; i < 6; ++i)
            m_dBox[i] = bb[i];
    }
    ~BridgeBox() { m_pBridge->SetBounds(m_dSaved); }
    const double* Box() const { return m_dBox; }

private:
    std::unique_ptr<CPVSMeshMngrBrdg> m_pOwn;
    CPVSMeshMngrBrdgBase* m_pBridge = nullptr;
    double m_dSaved[6];
    double m_dBox[6];
};

// The settings record of flow paths as the dialog fills it (the record's reset values, then
// the choices), written field by field: the host does not link the module's record code.
void FillFlowPaths(T_VD_FLOWPATH_WPLKVR_D& rec, unsigned int nRowK, const double* box)
{
    rec.nFlowPVtifK = nRowK;
    rec.nColorMode = 0; // coloured by the flow magnitude
    rec.bKeepPrevious = 1;
    rec.nPathType = 0;
    rec.dTubeScale = 1.0;
    rec.nLineWidth = 2;
    rec.nPathColor = 0x000000FF;
    rec.dStepOption = 0.2;
    rec.bMarksOn = 1;
    rec.nSymbolKind = 1; // solid cones
    rec.dSymbolScale = 1.5;
    rec.nDivisions = 5;
    // Two start points in the saturated soil, either side of the wall, mid-width.
    const double y = 0.5 * (box[2] + box[3]);
    const double pts[2][3] = {{6.0, y, -8.0}, {14.0, y, -10.0}};
    for (const auto& p : pts) {
        rec.aStartX.Add(p[0]);
        rec.aStartY.Add(p[1]);
        rec.aStartZ.Add(p[2]);
    }
}

} // namespace

int RunSeepageDemo(CDBDoc& doc, const char* outDir)
{
    if (!outDir)
        return 0;
    const unsigned int nRowK = FlowVelocityRow(doc);
    auto* pPhase = static_cast<double*>(dlsym(RTLD_DEFAULT, "_ZN27CPVSVisualMethodGlbFlowPath18m_dIncrementFactorE"));
    using PFN_CTOR = void (*)(void*);
    auto pfnEdition = reinterpret_cast<PFN_CTOR>(dlsym(RTLD_DEFAULT, "_ZN18IFactoryWPLPVSImplC1Ev"));
    if (nRowK == 0 || !pPhase || !pfnEdition) {
        std::fprintf(stderr, "seepage: no flow-velocity row, or the module exports no flow-path phase or edition factory\n");
        return 0;
    }
    BridgeBox box(doc);
    T_PVIST_ALL_D* pVS = CPostVisualState::Instance()->GetCurrentPA();
    const T_PVIST_ALL_D savedVS = *pVS;
    pVS->nDispMode = 3; // the mesh's feature edges as outline
    int ok = 1;

    // Flow paths, coloured by magnitude.
    {
        T_VD_FLOWPATH_WPLKVR_D rec;
        FillFlowPaths(rec, nRowK, box.Box());
        CPVSRendererVTK renderer(1000, 750);
        kvpvs::host::CUserDefDisplayHost host(&renderer);
        ok = host.Show(T_PVS_DISPLAY_REQUEST_D{1, &rec, 1, 0, 0});
        const fs::path png = fs::path(outDir) / "flow_paths.png";
        ok = ok && renderer.SavePNG(png.string().c_str());
        CPVSVisualMethodBase* pMethod = host.GetMethod();
        const vtkIdType nPoints = pMethod && pMethod->GetDataSetPst() ? pMethod->GetDataSetPst()->GetNumberOfPoints() : 0;
        std::printf("flow paths: 2 start points, %lld path points: %s\n", static_cast<long long>(nPoints),
                    png.string().c_str());

        // The marks recorded in 20 frames, the phase advancing as the dialog's timer does.
        const fs::path dir = fs::path(outDir) / "flow_marks";
        std::error_code ec;
        fs::create_directories(dir, ec);
        g_phase.pFactor = pPhase;
        g_phase.dEnd = 1.0 / rec.nDivisions;
        g_phase.dStep = g_phase.dEnd / 10.0;
        g_phase.dInc = g_phase.dStep;
        CPVSRendererVTK frames(800, 600);
        int nWritten = 0;
        CAnimationEngineOnlyRecord::m_fnFrameHook = [&](CView*, int nFrame) {
            frames.Clear();
            if (!pMethod || !pMethod->Render(&frames))
                return;
            char name[32];
            std::snprintf(name, sizeof name, "frame_%02d.png", nFrame);
            nWritten += frames.SavePNG((dir / name).string().c_str()) ? 1 : 0;
        };
        CAnimationEngineOnlyRecord engine(doc.GetActiveView(), AdvancePhase, 20, CPostVisualState::Instance()->GetCurrentPAnim());
        engine.StartRecording();
        CAnimationEngineOnlyRecord::m_fnFrameHook = nullptr;
        *pPhase = 0.0;
        std::printf("flow marks: %d frames in %s\n", nWritten, dir.string().c_str());
        ok = ok && nWritten == 20;
    }

    // Discharge through two planes, by the other edition's factory.
    {
        alignas(IFactoryWPLPVSImpl) unsigned char storage[sizeof(IFactoryWPLPVSImpl)];
        pfnEdition(storage);
        auto* pEdition = reinterpret_cast<IFactoryPVS*>(storage);
        T_VD_FLOWDISC_WPLKVR_D rec;
        rec.nPVtifK = nRowK;
        rec.nSectColor = 0x0000A000;
        rec.nArrowColor = 0x00C00000;
        rec.dArrowScale = 1.0;
        rec.dFactor2 = 1.0;
        const double y = 0.5 * (box.Box()[2] + box.Box()[3]);
        T_PVIST_PLNE_D behind; // a vertical plane through the soil behind the wall, flow towards the wall
        behind.dOrigin[0] = 6.0;
        behind.dOrigin[1] = y;
        behind.dOrigin[2] = -10.0;
        behind.dNormal[0] = 1.0;
        T_PVIST_PLNE_D below; // a horizontal plane below the wall tip, flow upwards into the pit side
        below.dOrigin[0] = 10.0;
        below.dOrigin[1] = y;
        below.dOrigin[2] = -18.0;
        below.dNormal[2] = 1.0;
        rec.aPlane.Add(behind);
        rec.aPlane.Add(below);
        pVS->vals.nDecimal = 3;
        pVS->vals.bExponential = 1;
        CPVSRendererVTK renderer(1000, 750);
        {
            kvpvs::host::CUserDefDisplayHost host(&renderer);
            const int bShown = host.Show(T_PVS_DISPLAY_REQUEST_D{4, &rec, 1, 0, 0});
            CPVSVisualMethodBase* pMethod = host.GetMethod();
            if (bShown && pMethod &&
                std::strcmp(pMethod->GetRuntimeClass()->m_lpszClassName, "CPVSVisualMethodFlowDiscWKVR") == 0) {
                auto* pDisc = static_cast<CPVSVisualMethodFlowDiscWKVR*>(pMethod);
                for (int i = 0; i < pDisc->m_aDischarge.GetSize(); ++i) {
                    const T_PVIST_PLNE_D& p = pDisc->m_aResultPoint[i];
                    std::printf("discharge %d: %.6e m3/s through the plane with normal (%g, %g, %g), centre (%.3f, %.3f, %.3f)\n",
                                i + 1, pDisc->m_aDischarge[i], p.dNormal[0], p.dNormal[1], p.dNormal[2], p.dOrigin[0],
                                p.dOrigin[1], p.dOrigin[2]);
                }
                ok = ok && pDisc->m_aDischarge.GetSize() == 2;
            } else {
                ok = 0;
            }
        }
        const fs::path png = fs::path(outDir) / "flow_discharge.png";
        ok = renderer.SavePNG(png.string().c_str()) && ok;
        std::printf("flow discharge: %s\n", png.string().c_str());
        pEdition->~IFactoryPVS();
    }
    *pVS = savedVS;
    return ok;
}
