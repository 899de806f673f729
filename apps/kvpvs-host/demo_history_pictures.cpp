// Demo step: displays chosen from the result tree, drawn by the host's generic methods through
// the module's factory: the total head of the last stage as a nodal seepage contour, the pile
// tips as symbols coloured by their tip resistance over the model's outline, and flow paths
// over the total-head contour that the flow-path display makes as its companion.
#include "demo_steps.h"

#include "DBDoc.h"
#include "PVSMeshMngrBrdg.h"
#include "PVSModelData.h"
#include "PVSRendererBase.h"
#include "PVSVisualMethodBase.h"
#include "PostVisualState.h"
#include "SampleSchema.h"
#include "UserDefDisplayHost.h"

#include "visualdata/PVSUserDefRecords.h"

#include <vtkDataSet.h>
#include <vtkIdList.h>
#include <vtkPoints.h>
#include <vtkSmartPointer.h>
#include <vtkUnstructuredGrid.h>

#include <cstdio>
#include <filesystem>
#include <memory>
#include <unordered_map>

namespace {

namespace fs = std::filesystem;

// The last row (in key order, so of the last stage that has one) of a result class and item
// (0: any item).
unsigned int LastRow(CDBDoc& doc, int nClass, unsigned int nItem)
{
    CClassPVtif cls(doc.GetPostDB());
    CArray<unsigned int, unsigned int> keys;
    cls.GetKeyList(keys);
    unsigned int nRowK = 0;
    for (int i = 0; i < keys.GetSize(); ++i) {
        T_PVTIF_D r;
        if (cls.Get(keys[i], r) && r.nResultClass == nClass && (nItem == 0 || r.nItem == nItem))
            nRowK = keys[i];
    }
    return nRowK;
}

// The model's elements as a grid, for an outline under symbols.
vtkSmartPointer<vtkUnstructuredGrid> ModelGrid(CDBDoc& doc)
{
    T_MD_PARAM_D md;
    md.bFlag = 1;
    CPVSModelDataFEM model(md, &doc);
    auto grid = vtkSmartPointer<vtkUnstructuredGrid>::New();
    auto points = vtkSmartPointer<vtkPoints>::New();
    points->SetDataTypeToDouble();
    std::unordered_map<unsigned int, vtkIdType> index;
    for (int i = 0; i < model.GetNodeNum(); ++i) {
        const unsigned int k = model.GetNodeK(i);
        if (const T_NODE_D* p = model.FindNodeD(k))
            index[k] = points->InsertNextPoint(p->dXyz);
    }
    auto ids = vtkSmartPointer<vtkIdList>::New();
    for (int i = 0; i < model.GetElemNum(); ++i) {
        const T_ELEM_D* e = model.FindElemD(model.GetElemK(i));
        if (!e || e->nCellType <= 0)
            continue;
        ids->Reset();
        for (int n = 0; n < e->aNodeK.GetSize(); ++n)
            ids->InsertNextId(index[e->aNodeK[n]]);
        grid->InsertNextCell(e->nCellType, ids);
    }
    grid->SetPoints(points);
    return grid;
}

// A display of a result row into a picture; 1 when shown and written.
int RowPicture(unsigned int nRowK, const fs::path& png, CPVSRendererVTK& renderer, const char* what)
{
    kvpvs::host::CUserDefDisplayHost host(&renderer);
    if (nRowK == 0 || !host.ShowRow(nRowK)) {
        std::fprintf(stderr, "%s: the row is missing or was not shown\n", what);
        return 0;
    }
    const char* pszData = host.GetData()->GetRuntimeClass()->m_lpszClassName;
    vtkDataSet* pShown = host.GetMethod()->GetDataSetPst();
    const long long nPoints = pShown ? static_cast<long long>(pShown->GetNumberOfPoints()) : 0;
    std::printf("%s: %s, %lld points, values %g to %g: %s\n", what, pszData, nPoints, CPVSVisualDataBase::m_dVDataRsltMin,
                CPVSVisualDataBase::m_dVDataRsltMax, png.string().c_str());
    return renderer.SavePNG(png.string().c_str()) ? 1 : 0;
}

} // namespace

int RunHistoryPicturesDemo(CDBDoc& doc, const char* outDir)
{
    if (!outDir)
        return 0;
    const unsigned int nHeadK = LastRow(doc, kvpvs::sample::kClsNodeSeep, 1);
    const unsigned int nVelocityK = LastRow(doc, kvpvs::sample::kClsNodeSeep, 7);
    const unsigned int nPileK = LastRow(doc, kvpvs::sample::kClsPile, 0);
    int ok = 1;

    {
        CPVSRendererVTK renderer(1000, 750);
        ok = RowPicture(nHeadK, fs::path(outDir) / "nodal_seepage.png", renderer, "nodal seepage (total head)") && ok;
    }
    {
        CPVSRendererVTK renderer(1000, 750);
        renderer.DrawDataSet(ModelGrid(doc), Quantity_Color(0.6, 0.6, 0.6, Quantity_TOC_RGB), 1, 0, 0);
        ok = RowPicture(nPileK, fs::path(outDir) / "pile_tips.png", renderer, "pile tips (tip resistance)") && ok;
    }
    {
        // Flow paths from two start points either side of the wall, over the total head.
        std::unique_ptr<CPVSMeshMngrBrdg> pOwn;
        if (!CPVSMeshMngrBrdgBase::m_pMySelf)
            pOwn = std::make_unique<CPVSMeshMngrBrdg>();
        CPVSMeshMngrBrdgBase* pBridge = CPVSMeshMngrBrdgBase::m_pMySelf;
        double saved[6], b[6];
        pBridge->GetBounds(saved);
        doc.GetModelBounds(b);
        const double box[6] = {b[0], b[3], b[1], b[4], b[2], b[5]};
        pBridge->SetBounds(box);
        T_VD_FLOWPATH_WPLKVR_D rec;
        rec.nFlowPVtifK = nVelocityK;
        rec.nColorMode = 1; // one colour over the contour
        rec.bKeepPrevious = 1;
        rec.nPathType = 0;
        rec.dTubeScale = 1.0;
        rec.nLineWidth = 3;
        rec.nPathColor = 0x00000000;
        rec.dStepOption = 0.2;
        rec.bDrawContour = 1;
        rec.nContourPVtifK = nHeadK;
        rec.nSymbolKind = 0;
        rec.dSymbolScale = 1.0;
        rec.nDivisions = 0;
        const double y = 0.5 * (box[2] + box[3]);
        const double pts[2][3] = {{6.0, y, -8.0}, {14.0, y, -10.0}};
        for (const auto& p : pts) {
            rec.aStartX.Add(p[0]);
            rec.aStartY.Add(p[1]);
            rec.aStartZ.Add(p[2]);
        }
        CPVSRendererVTK renderer(1000, 750);
        kvpvs::host::CUserDefDisplayHost host(&renderer);
        // The model as its outline, so that the paths inside the soil show through the
        // contour; the flow-path display reads the host's current visual state.
        T_PVIST_ALL_D* pCurrent = CPostVisualState::Instance()->GetCurrentPA();
        const int nSavedMode = pCurrent->nDispMode;
        pCurrent->nDispMode = 3;
        host.VisualState().nDispMode = 3;
        const fs::path png = fs::path(outDir) / "flow_paths_total_head.png";
        const int bShown = nVelocityK != 0 && nHeadK != 0 && host.Show(T_PVS_DISPLAY_REQUEST_D{1, &rec, 1, 0, 0});
        const int bSaved = bShown && renderer.SavePNG(png.string().c_str());
        std::printf("flow paths over the total head: %s\n", bSaved ? png.string().c_str() : "not shown");
        ok = ok && bSaved;
        pCurrent->nDispMode = nSavedMode;
        pBridge->SetBounds(saved);
    }
    return ok;
}
