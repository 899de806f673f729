// Demo step: the crack states of the sample's beam struts as a line-event element diagram, built
// as the other edition's host builds a result row's display: its factory (constructed from the
// loaded module) makes the visual data and the event colour table of the row, the host's
// element-diagram method draws it. The legend's shares of the four states are printed.
#include "demo_steps.h"

#include "DBDoc.h"
#include "FactoryPVS.h"
#include "PVSRendererBase.h"
#include "PostVisualState.h"
#include "SampleEventRows.h"

#include "frame/IFactoryWPLPVSImpl.h"

#include <dlfcn.h>
#include <vtkDataSet.h>
#include <vtkPointData.h>
#include <vtkPolyData.h>
#include <vtkSmartPointer.h>

#include <cstdio>
#include <filesystem>
#include <memory>

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
            CPVSRendererVTK renderer(1000, 750);
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
            doc.SetCurPostColorTable(nullptr);
        }
    }
    *pVS = savedVS;
    *pSB = savedSB;
    pEdition->~IFactoryPVS();
    return ok;
}
