// Demo step: displays chosen from the result tree, drawn by the host's generic methods through
// the module's factory: the total head of the last stage as a nodal seepage contour, the pile
// tips as symbols coloured by their tip resistance over the model's outline; then flow paths
// over the total-head contour, asked for in the flow-path dialog with the total head as its
// other result.
#include "demo_steps.h"
#include "demo_support.h"

#include "DBDoc.h"
#include "PVSModelData.h"
#include "PVSRendererBase.h"
#include "PVSVisualMethodBase.h"
#include "PostVisualState.h"
#include "SampleSchema.h"
#include "UserDefDisplayHost.h"
#include "ZORViewBase.h"
#include "afx_standin.h"

#include "dialogs/DialogControlIds.h"

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

// Selects the entry of a combo box whose item data is nData, as the user would.
bool SelectByItemData(CWnd* pDlg, UINT nID, DWORD_PTR nData)
{
    auto* pCombo = dynamic_cast<CComboBox*>(pDlg->GetDlgItem(nID));
    for (int i = 0; pCombo && i < pCombo->GetCount(); ++i)
        if (pCombo->GetItemData(i) == nData)
            return AfxDriver::Select(pDlg, nID, i) != FALSE;
    return false;
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

// The user's session in the flow-path dialog; 1 when the display was shown and written.
int FlowPathsOverTotalHead(CDBDoc& doc, unsigned int nVelocityK, unsigned int nHeadK, const fs::path& png)
{
    T_PVTIF_D row;
    CString strSet, strStep;
    if (nVelocityK == 0 || nHeadK == 0 || !CClassPVtif(doc.GetPostDB()).Get(nVelocityK, row) ||
        !StepNames(doc, row.nStepK, strSet, strStep))
        return 0;
    DemoView<CZORViewBase> view(doc);
    int ok = 0;
    {
        BridgeScope bridge(&view.Get());
        bridge.SetModelBox(doc);
        const double* box = bridge.Box();
        CPVSRendererVTK renderer(1000, 750);
        kvpvs::host::CUserDefDisplayHost host(&renderer);
        // The model as its outline, so that the paths inside the soil show through the
        // contour; the flow-path display reads the host's current visual state.
        T_PVIST_ALL_D* pCurrent = CPostVisualState::Instance()->GetCurrentPA();
        const int nSavedMode = pCurrent->nDispMode;
        pCurrent->nDispMode = 3;
        host.VisualState().nDispMode = 3;
        bridge.Get().m_fnDisplayHandler = [&renderer, &host](const T_PVS_DISPLAY_REQUEST_D& r) {
            renderer.Clear();
            return host.Show(r);
        };
        if (CWnd* pDlg = OpenFlowPathDialog(view.Get(), strSet, strStep)) {
            ok = AfxDriver::Click(pDlg, IDC_FP_OTHER) && SelectByItemData(pDlg, IDC_FP_OTHER_COMBO, nHeadK) &&
                 AfxDriver::SetText(pDlg, IDC_FP_LINE_WIDTH, "3") && AfxDriver::Check(pDlg, IDC_FP_MARKING, 0) &&
                 AfxDriver::SetText(pDlg, IDC_FP_DIVISIONS, "0") && AfxDriver::Check(pDlg, IDC_FP_KEEP, 1);
            PickColour(pDlg, IDC_FP_COLOUR, 0x00000000);
            const double y = 0.5 * (box[2] + box[3]);
            const double* S = SampleShift();
            const double pts[2][3] = {{6.0 + S[0], y, -8.0 + S[2]}, {14.0 + S[0], y, -10.0 + S[2]}};
            for (const auto& p : pts)
                ok = ok && PlotFlowPathFrom(pDlg, p);
            ok = ok && host.GetShownCount() == 2 && renderer.SavePNG(png.string().c_str());
            pDlg->DestroyWindow();
        }
        pCurrent->nDispMode = nSavedMode;
    }
    return ok;
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
        // Flow paths from two start points either side of the wall, over the total head: in the
        // flow-path dialog the user ticks the other result, picks the total head, black lines 3
        // wide without marks, and plots the two points.
        const fs::path png = fs::path(outDir) / "flow_paths_total_head.png";
        ok = FlowPathsOverTotalHead(doc, nVelocityK, nHeadK, png) && ok;
        std::printf("flow paths over the total head: %s\n", ok ? png.string().c_str() : "not shown");
    }
    return ok;
}
