// Demo step: the crack states of the sample's beam struts as a line-event element diagram, built
// as the other edition's host builds a result row's display: its factory (constructed from the
// loaded module) makes the visual data and the event colour table of the row, the host's
// element-diagram method draws it. The module's event legend is drawn over the picture, and its
// shares of the four states are printed.
#include "demo_steps.h"

#include "DBDoc.h"
#include "FactoryPVS.h"
#include "PVSLegendObjectBase.h"
#include "PVSRendererBase.h"
#include "PostVisualState.h"
#include "SampleEventRows.h"
#include "XGL_ToolSet.h"

#include "frame/IFactoryWPLPVSImpl.h"

#include <dlfcn.h>
#include <vtkDataSet.h>
#include <vtkFreeTypeTools.h>
#include <vtkImageData.h>
#include <vtkPNGReader.h>
#include <vtkPNGWriter.h>
#include <vtkPointData.h>
#include <vtkPolyData.h>
#include <vtkSmartPointer.h>
#include <vtkTextProperty.h>
#include <vtkTextRenderer.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <new>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;

template <class T>
struct VirtualDelete {
    void operator()(T* p) const { delete p; }
};
template <class T>
using Owned = std::unique_ptr<T, VirtualDelete<T>>;

const char* const kStateName[4] = {"Elastic", "Crack", "Yielding", "Crushing"};

// Counts the states of the drawn vertices as the host's colouring does, when the method drew
// none: the data set the visual data makes for the method.
void CountDrawnStates(CPVSVisualDataBase& vd, CPVSColorTableBase& table, CPVSModelDataBase* pMD)
{
    auto* pDgrm = dynamic_cast<CPVSVisualDataElemDgrm*>(&vd);
    if (!pDgrm)
        return;
    auto pd = vtkSmartPointer<vtkPolyData>::New();
    CArray<unsigned int, unsigned int> drawn;
    if (!pDgrm->MakeVGeomData(pd, nullptr, nullptr, nullptr, pMD, nullptr, nullptr, nullptr, nullptr, drawn))
        return;
    vtkDataArray* pScalars = pd->GetPointData()->GetScalars();
    table.BeginPercent();
    float r = 0, g = 0, b = 0;
    for (vtkIdType i = 0; pScalars && i < pScalars->GetNumberOfTuples(); ++i)
        table.GetColByVal(pScalars->GetTuple1(i), r, g, b, 0, 1);
}

constexpr int kPictureWidth = 1000, kPictureHeight = 750;

// The host's painting of its tool set's record over a saved picture: pixels counted from the top
// left; Begin2D_Local_FromRT puts the local origin x pixels left of the right edge, y below the
// top. Rectangles take their first corner and stop short of the second.
class ToolSetPainter {
public:
    explicit ToolSetPainter(vtkImageData* pImage) : m_pImage(pImage) { pImage->GetDimensions(m_nDim); }

    void Replay(const std::vector<std::string>& aCalls)
    {
        for (const std::string& call : aCalls) {
            const char* c = call.c_str();
            int x1 = 0, y1 = 0, x2 = 0, y2 = 0, n = 0;
            double a = 1.0;
            char name[64] = {};
            if (std::sscanf(c, "SetColor3 %lf %lf %lf", &m_rgb[0], &m_rgb[1], &m_rgb[2]) == 3)
                m_alpha = 1.0;
            else if (std::sscanf(c, "SetColor4 %lf %lf %lf %lf", &m_rgb[0], &m_rgb[1], &m_rgb[2], &a) == 4)
                m_alpha = m_bBlend ? a : 1.0;
            else if (call == "SetBlend")
                m_bBlend = true;
            else if (call == "ResetBlend")
                m_bBlend = false;
            else if (std::sscanf(c, "Begin2D_Local_FromRT %d %d", &x1, &y1) == 2)
                m_x0 = m_nDim[0] - x1, m_y0 = y1;
            else if (std::sscanf(c, "BeginText %63s %d", name, &n) == 2)
                m_nFont = n;
            else if (std::sscanf(c, "DrawRectFill %d %d %d %d", &x1, &y1, &x2, &y2) == 4)
                Fill(x1, y1, x2, y2);
            else if (std::sscanf(c, "DrawRect %d %d %d %d", &x1, &y1, &x2, &y2) == 4) {
                Fill(x1, y1, x2, y1 + 1);
                Fill(x1, y2 - 1, x2, y2);
                Fill(x1, y1, x1 + 1, y2);
                Fill(x2 - 1, y1, x2, y2);
            } else if (std::sscanf(c, "DrawLine %d %d %d %d", &x1, &y1, &x2, &y2) == 4)
                Line(x1, y1, x2, y2);
            else if (std::sscanf(c, "TextToWindow %d %d [%n", &x1, &y1, &n) == 2 && call.back() == ']')
                Text(x1, y1, call.substr(static_cast<size_t>(n), call.size() - static_cast<size_t>(n) - 1));
        }
    }

private:
    // One pixel of the local frame, blended with the current colour at opacity a.
    void Blend(int x, int y, const double rgb[3], double a)
    {
        const int px = m_x0 + x, py = m_y0 + y;
        if (px < 0 || py < 0 || px >= m_nDim[0] || py >= m_nDim[1])
            return;
        auto* p = static_cast<unsigned char*>(m_pImage->GetScalarPointer(px, m_nDim[1] - 1 - py, 0));
        for (int k = 0; k < 3; ++k)
            p[k] = static_cast<unsigned char>(std::clamp(p[k] * (1.0 - a) + 255.0 * rgb[k] * a + 0.5, 0.0, 255.0));
    }
    void Fill(int x1, int y1, int x2, int y2)
    {
        for (int y = std::min(y1, y2); y < std::max(y1, y2); ++y)
            for (int x = std::min(x1, x2); x < std::max(x1, x2); ++x)
                Blend(x, y, m_rgb, m_alpha);
    }
    void Line(int x1, int y1, int x2, int y2)
    {
        const int n = std::max(std::abs(x2 - x1), std::abs(y2 - y1));
        for (int i = 0; i <= n; ++i)
            Blend(x1 + (n ? (x2 - x1) * i / n : 0), y1 + (n ? (y2 - y1) * i / n : 0), m_rgb, m_alpha);
    }
    // Text standing on the baseline y, in the tool set's font size.
    void Text(int x, int y, const std::string& s)
    {
        vtkFreeTypeTools* pFT = vtkFreeTypeTools::GetInstance();
        auto prop = vtkSmartPointer<vtkTextProperty>::New();
        prop->SetFontFamilyToTimes();
        prop->SetFontSize(m_nFont);
        prop->SetColor(m_rgb[0], m_rgb[1], m_rgb[2]);
        vtkTextRenderer::Metrics metrics;
        auto glyphs = vtkSmartPointer<vtkImageData>::New();
        int dims[2] = {0, 0};
        if (!pFT->GetMetrics(prop, s, 72, metrics) || !pFT->RenderString(prop, s, 72, glyphs, dims))
            return;
        // The rendered rows run upwards from the bottom of the text's box, which lies the
        // descent below the baseline.
        const int nBottom = y - metrics.Descent[1];
        int gd[3];
        glyphs->GetDimensions(gd);
        for (int j = 0; j < std::min(dims[1], gd[1]); ++j)
            for (int i = 0; i < std::min(dims[0], gd[0]); ++i) {
                const auto* g = static_cast<unsigned char*>(glyphs->GetScalarPointer(i, j, 0));
                if (g[3] > 0) {
                    const double rgb[3] = {g[0] / 255.0, g[1] / 255.0, g[2] / 255.0};
                    Blend(x + i, nBottom - j, rgb, g[3] / 255.0);
                }
            }
    }

    vtkImageData* m_pImage;
    int m_nDim[3] = {0, 0, 0};
    int m_x0 = 0, m_y0 = 0, m_nFont = 12;
    double m_rgb[3] = {0.0, 0.0, 0.0};
    double m_alpha = 1.0;
    bool m_bBlend = false;
};

// The module's event legend, made and drawn as the host draws it over the active view (the
// picture's size), painted into the saved picture. 0 when the module has no legend or the
// picture cannot be read or written.
int DrawEventLegend(CDBDoc& doc, const fs::path& png)
{
    using PFN_LEGEND = void (*)(void*, XGL_ToolSet*);
    auto pfnLegend = reinterpret_cast<PFN_LEGEND>(dlsym(RTLD_DEFAULT, "_ZN21CPVSLegendObjectEventC1EP11XGL_ToolSet"));
    if (!pfnLegend) {
        std::fprintf(stderr, "event diagram: the module exports no event legend\n");
        return 0;
    }
    XGL_ToolSet tools;
    tools.m_aViewport[2] = kPictureWidth;
    tools.m_aViewport[3] = kPictureHeight;
    CView* pViewBefore = doc.GetActiveView();
    CView view;
    view.CreateWindowCore(nullptr);
    view.MoveWindow(0, 0, kPictureWidth, kPictureHeight);
    doc.SetActiveView(&view);
    // The module's legend adds no data to the host's legend base.
    alignas(CPVSLegendObjectBase) unsigned char storage[sizeof(CPVSLegendObjectBase)];
    pfnLegend(storage, &tools);
    auto* pLegend = std::launder(reinterpret_cast<CPVSLegendObjectBase*>(storage));
    pLegend->Draw();
    pLegend->~CPVSLegendObjectBase();
    doc.SetActiveView(pViewBefore);

    auto reader = vtkSmartPointer<vtkPNGReader>::New();
    reader->SetFileName(png.string().c_str());
    reader->Update();
    vtkImageData* pImage = reader->GetOutput();
    if (pImage->GetNumberOfPoints() == 0 || pImage->GetScalarType() != VTK_UNSIGNED_CHAR ||
        pImage->GetNumberOfScalarComponents() < 3) {
        std::fprintf(stderr, "event diagram: %s not read back for the legend\n", png.string().c_str());
        return 0;
    }
    ToolSetPainter(pImage).Replay(tools.m_aCalls);
    auto writer = vtkSmartPointer<vtkPNGWriter>::New();
    writer->SetFileName(png.string().c_str());
    writer->SetInputData(pImage);
    writer->Write();
    return writer->GetErrorCode() == 0 ? 1 : 0;
}

} // namespace

int RunEventDiagramDemo(CDBDoc& doc, const kvpvs::sample::SampleSummary& sum, const char* outDir)
{
    if (!outDir)
        return 0;
    using PFN_CTOR = void (*)(void*);
    auto pfnEdition = reinterpret_cast<PFN_CTOR>(dlsym(RTLD_DEFAULT, "_ZN18IFactoryWPLPVSImplC1Ev"));
    kvpvs::sample::SampleSummary summary = sum;
    kvpvs::sample::EventRows rows;
    if (!pfnEdition || !kvpvs::sample::AddEventRows(doc, summary, rows)) {
        std::fprintf(stderr, "event diagram: the module exports no edition factory, or the sample has no beam struts\n");
        return 0;
    }
    alignas(IFactoryWPLPVSImpl) unsigned char storage[sizeof(IFactoryWPLPVSImpl)];
    pfnEdition(storage);
    auto* pEdition = reinterpret_cast<IFactoryPVS*>(storage);
    T_PVIST_ALL_D* pVS = CPostVisualState::Instance()->GetCurrentPA();
    T_PVIST_ANIM_D* pAS = CPostVisualState::Instance()->GetCurrentPAnim();
    T_PVIST_SYMB_D* pSB = CPostVisualState::Instance()->GetCurrentPS();
    const T_PVIST_ALL_D savedVS = *pVS;
    const T_PVIST_SYMB_D savedSB = *pSB;
    pVS->bLegendPercent = 1;
    pSB->dDgrmScale = 0.02; // the struts' moments (kNm) to metres of band
    int ok = 1;
    {
        CPVSVisualDataBase::ResetVDataStatics();
        T_VD_PARAM_D vp;
        vp.pDoc = &doc;
        vp.nPVtifK = rows.nEvent1K;
        Owned<CPVSVisualDataBase> pVD(pEdition->CreateVisualData(&vp));
        Owned<CPVSColorTableBase> pTable(pEdition->CreateColorTable(rows.nEvent1K));
        ok = pVD && pTable && pVD->MakeVData(pVS, pAS, 0);
        if (ok) {
            pTable->Generate(0.0, 3.0, 4, 1, 0, 0);
            doc.SetCurPostColorTable(pTable.get());
            T_VM_PARAM_D mp;
            mp.pDoc = &doc;
            mp.pVData = pVD.get();
            mp.pVS = pVS;
            mp.pAS = pAS;
            mp.nVMType = pVD->GetVisualMethodType(pVS);
            Owned<CPVSVisualMethodBase> pVM(pEdition->CreateVisualMethod(&mp));
            T_MD_PARAM_D md;
            md.bFlag = 1;
            auto* pFEM = new CPVSModelDataFEM(md, &doc);
            CPVSRendererVTK renderer(kPictureWidth, kPictureHeight);
            pTable->BeginPercent();
            if (pVM) {
                pVM->SetMDTCtrl(pFEM);
                ok = pVM->Process();
                if (!ok)
                    std::fprintf(stderr, "event diagram: the method made nothing\n");
                ok = ok && pVM->Render(&renderer);
            } else {
                delete pFEM;
                ok = 0;
            }
            const fs::path png = fs::path(outDir) / "event_diagram.png";
            if (ok && !renderer.SavePNG(png.string().c_str())) {
                std::fprintf(stderr, "event diagram: %s not written\n", png.string().c_str());
                ok = 0;
            }
            double total = 0.0;
            for (int i = 0; i < 4; ++i)
                total += pTable->GetPercentByIndex(i);
            const bool bByMethod = total > 0.0;
            if (!bByMethod && pVM)
                CountDrawnStates(*pVD, *pTable, pVM->GetMDTCtrl());
            std::printf("event diagram: %zu struts, method type %d: %s\n", rows.aElemK.size(), mp.nVMType,
                        png.string().c_str());
            std::printf("event legend shares (%s):", bByMethod ? "coloured by the method" : "of the drawn vertices");
            for (int i = 3; i >= 0; --i)
                std::printf(" %s %3.1f%%", kStateName[i], pTable->GetPercentByIndex(i) * 100.0);
            std::printf("\n");
            ok = ok && DrawEventLegend(doc, png);
            doc.SetCurPostColorTable(nullptr);
        }
    }
    *pVS = savedVS;
    *pSB = savedSB;
    pEdition->~IFactoryPVS();
    return ok;
}
