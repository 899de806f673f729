#include "visualmethods/CPVSVisualMethodFlowDiscWKVR.h"

#include "planecut/cut_integration.h"
#include "planecut/plane_direction.h"
#include "visualdata/HostEntryGuard.h"

#include "CustomSetting.h"
#include "DBDoc.h"
#include "MathFunc.h"
#include "PVSMeshMngrBrdgBase.h"
#include "PVSModelData.h"
#include "PVSRendererBase.h"
#include "PVSUtilFunc.h"
#include "PostVisualState.h"
#include "vtkQuadraticDataSetSurfaceFilter.h"

#include <vtkAppendPolyData.h>
#include <vtkCellArray.h>
#include <vtkCellData.h>
#include <vtkDataArray.h>
#include <vtkDataSetSurfaceFilter.h>
#include <vtkFeatureEdges.h>
#include <vtkNew.h>
#include <vtkPoints.h>
#include <vtkPolyData.h>
#include <vtkSmartPointer.h>
#include <vtkUnstructuredGrid.h>

#include <chrono>
#include <cmath>
#include <cstdio>

IMPLEMENT_DYNAMIC(CPVSVisualMethodFlowDiscWKVR, CPVSVisualMethodBase)

namespace {

constexpr double kTiny = 1e-15;

using TClock = std::chrono::steady_clock;
void AddSeconds(double& dTotal, TClock::time_point t0)
{
    dTotal += std::chrono::duration<double>(TClock::now() - t0).count();
}

Quantity_Color ColourOf(unsigned int nColor)
{
    double r = 0, g = 0, b = 0;
    CPVSUtilFunc::GetRgbF(nColor, r, g, b);
    return Quantity_Color(r, g, b, Quantity_TOC_RGB);
}

double Dot(const double a[3], const double b[3]) { return a[0] * b[0] + a[1] * b[1] + a[2] * b[2]; }

} // namespace

CPVSVisualMethodFlowDiscWKVR::CPVSVisualMethodFlowDiscWKVR(T_VM_PARAM_D& param) : CPVSVisualMethodBase(param) {}

CPVSVisualMethodFlowDiscWKVR::~CPVSVisualMethodFlowDiscWKVR() = default;

CPVSVisualDataFlowDiscWKVR* CPVSVisualMethodFlowDiscWKVR::GetFlowDiscVData()
{
    return dynamic_cast<CPVSVisualDataFlowDiscWKVR*>(GetVDTCtrl());
}

int CPVSVisualMethodFlowDiscWKVR::Render0(CPVSRendererBase*) { return 1; }

int CPVSVisualMethodFlowDiscWKVR::MakeLineProbeSubclass(vtkUnstructuredGrid*) { return 0; }

// An entry of the host's: whatever escapes the cutting leaves the empty display that a flow
// without values gives (Process has no failure value): no sections, outline, arrows or labels.
int CPVSVisualMethodFlowDiscWKVR::Process()
{
    return kvpvs::visualdata::GuardedEntry(
        1, [&] { return CutPlanes(); },
        [&] {
            m_aDischarge.RemoveAll();
            m_aResultPoint.RemoveAll();
            if (m_pAppendFilter) {
                m_pAppendFilter->Delete();
                m_pAppendFilter = nullptr;
            }
            m_cutIndex.Clear();
            m_surface.Clear();
            for (vtkDataSet* p : {m_pDataSetPre, m_pDataSetPst, m_pDataSetInactive})
                if (p)
                    p->Initialize();
        });
}

int CPVSVisualMethodFlowDiscWKVR::CutPlanes()
{
    InitializeDataSet();
    DeleteVslMethodExt();
    m_aDischarge.RemoveAll();
    m_aResultPoint.RemoveAll();
    for (double& t : m_dPhaseSeconds)
        t = 0.0;
    CPVSVisualDataFlowDiscWKVR* pVD = GetFlowDiscVData();
    if (!pVD)
        return 1;
    const double A = std::max(std::fabs(CPVSVisualDataBase::m_dVDataRsltMin),
                              std::fabs(CPVSVisualDataBase::m_dVDataRsltMax));
    if (!(A >= kTiny))
        return 1;

    const TClock::time_point tGrid = TClock::now();
    vtkNew<vtkUnstructuredGrid> pGrid;
    pVD->MakeVGeomData(pGrid, GetVS(), GetAS(), GetAnimEng(), GetMDTCtrl(), nullptr, nullptr, nullptr, nullptr);
    AddSeconds(m_dPhaseSeconds[kPhaseGrid], tGrid);
    if (pGrid->GetNumberOfCells() == 0)
        return 1;

    if (m_pAppendFilter)
        m_pAppendFilter->Delete();
    m_pAppendFilter = vtkAppendPolyData::New();
    T_VD_FLOWDISC_WPLKVR_D* pRec = pVD->GetFlowDiscData();
    for (int i = 0; i < pRec->aPlane.GetSize(); ++i)
        GetFlowDischargeByPlane(pRec->aPlane[i], pGrid);
    if (m_pAppendFilter->GetNumberOfInputConnections(0) > 0) {
        m_pAppendFilter->Update();
        m_pDataSetPst->DeepCopy(m_pAppendFilter->GetOutput());
    }
    // The base would release the filter again at destruction: forget it once released.
    m_pAppendFilter->Delete();
    m_pAppendFilter = nullptr;

    CPostVisualState* pState = CPostVisualState::Instance();
    const int nMode = pState->GetCurrentPA()->nDispMode;
    if (nMode == 2 || nMode == 4) {
        vtkNew<vtkQuadraticDataSetSurfaceFilter> pSurface;
        vtkNew<vtkPolyData> pSurfaceOut;
        m_surface.Make(pGrid, pSurface, pSurfaceOut);
        m_pDataSetPre->DeepCopy(pSurfaceOut);
    } else if (nMode == 3) {
        vtkNew<vtkDataSetSurfaceFilter> pSurface;
        pSurface->SetInputData(pGrid);
        vtkNew<vtkFeatureEdges> pEdges;
        pEdges->SetInputConnection(pSurface->GetOutputPort());
        pEdges->BoundaryEdgesOn();
        pEdges->ManifoldEdgesOff();
        pEdges->NonManifoldEdgesOn();
        pEdges->FeatureEdgesOn();
        pEdges->SetFeatureAngle(pState->GetCurrentPE()->dFeatureAngle);
        pEdges->ColoringOff();
        pEdges->Update();
        m_pDataSetPre->DeepCopy(pEdges->GetOutput());
    }
    return 1;
}

int CPVSVisualMethodFlowDiscWKVR::GetFlowDischargeByPlane(T_PVIST_PLNE_D& plane, vtkUnstructuredGrid* pGrid)
{
    if (!pGrid)
        return 1;
    vtkDataArray* pVel = pGrid->GetCellData()->GetVectors();
    // A zero or non-finite normal names no plane: no cut, no result. Any other is normalised
    // at any length for the flow through; the cut takes it as given, so that an exact normal
    // such as (1, 1, 1) decides sides exactly.
    double n[3];
    if (!kvpvs::planecut::UnitDirection(plane.dNormal, n))
        return 1;
    if (!m_cutIndex.Matches(pGrid)) {
        const TClock::time_point tIndex = TClock::now();
        m_cutIndex.Build(pGrid);
        AddSeconds(m_dPhaseSeconds[kPhaseIndex], tIndex);
    }
    const TClock::time_point tCut = TClock::now();
    kvpvs::planecut::PlaneCut cut;
    kvpvs::planecut::CutGridByPlane(pGrid, m_cutIndex, plane.dOrigin, plane.dNormal, cut);
    AddSeconds(m_dPhaseSeconds[kPhaseCut], tCut);
    const TClock::time_point tSum = TClock::now();
    vtkPolyData* pOut = cut.pOutput;
    vtkPoints* pPts = pOut ? pOut->GetPoints() : nullptr;
    if (!pOut || !pPts || !pVel) {
        AddSeconds(m_dPhaseSeconds[kPhaseSum], tSum);
        return 1;
    }

    // The flow through a piece: (v . n) x its length or area. v . n is cos(angle) |v| of the
    // angle between v and n, without the rounding of going through the angle; a piece of zero
    // velocity adds 0.
    auto flowOf = [&](vtkIdType nGridCell) {
        double v[3];
        pVel->GetTuple(nGridCell, v);
        return Dot(v, n);
    };
    auto addResult = [&](double dSum, const double dCentre[3], double dCount) {
        T_PVIST_PLNE_D rp;
        for (int k = 0; k < 3; ++k) {
            rp.dOrigin[k] = dCentre[k] / dCount;
            rp.dNormal[k] = plane.dNormal[k];
        }
        // A sum or centre that overflowed is no result: never inf or nan in a label.
        if (!std::isfinite(dSum) || !std::isfinite(rp.dOrigin[0] + rp.dOrigin[1] + rp.dOrigin[2]))
            return;
        m_aDischarge.Add(dSum);
        m_aResultPoint.Add(rp);
    };

    // Line pieces (two-dimensional elements): flow x length.
    {
        double dTotal = 0.0, dCentre[3] = {0, 0, 0}, dCount = 0.0;
        bool bAny = false;
        vtkCellArray* pLines = pOut->GetLines();
        vtkIdType nPts = 0;
        const vtkIdType* pIds = nullptr;
        size_t nLine = 0;
        for (pLines->InitTraversal(); pLines->GetNextCell(nPts, pIds); ++nLine) {
            double dLength = 0.0;
            double p0[3], p1[3];
            for (vtkIdType k = 0; k < nPts; ++k) {
                pPts->GetPoint(pIds[k], p1);
                if (k > 0)
                    dLength += CMathFunc::mathLength(p0, p1);
                for (int d = 0; d < 3; ++d)
                    dCentre[d] += p1[d];
                dCount += 1.0;
                p0[0] = p1[0], p0[1] = p1[1], p0[2] = p1[2];
            }
            if (nPts >= 2)
                bAny = true;
            dTotal += flowOf(cut.aLineCell[nLine]) * dLength;
        }
        if (bAny)
            addResult(dTotal, dCentre, dCount);
    }
    // Polygon pieces: flow x area over the fan triangles of each polygon.
    {
        double dTotal = 0.0, dCentre[3] = {0, 0, 0}, dCount = 0.0;
        bool bAny = false;
        kvpvs::planecut::ForEachFanTriangle(pOut->GetPolys(), [&](vtkIdType nPoly, const vtkIdType ids[3]) {
            double p[3][3];
            for (int e = 0; e < 3; ++e) {
                pPts->GetPoint(ids[e], p[e]);
                for (int d = 0; d < 3; ++d)
                    dCentre[d] += p[e][d];
                dCount += 1.0;
            }
            bAny = true;
            dTotal += CMathFunc::mathArea(p[0], p[1], p[2]) * flowOf(cut.aPolyCell[static_cast<size_t>(nPoly)]);
        });
        if (bAny)
            addResult(dTotal, dCentre, dCount);
    }

    if (!m_pAppendFilter) {
        AddSeconds(m_dPhaseSeconds[kPhaseSum], tSum);
        return 1;
    }
    vtkNew<vtkPolyData> pSection;
    pSection->SetPoints(pPts);
    pSection->SetVerts(pOut->GetVerts());
    pSection->SetLines(pOut->GetLines());
    pSection->SetPolys(pOut->GetPolys());
    m_pAppendFilter->AddInputData(pSection);
    AddSeconds(m_dPhaseSeconds[kPhaseSum], tSum);
    return 1;
}

int CPVSVisualMethodFlowDiscWKVR::MakeVectorPoint(const double dCentre[3], const double dNormal[3],
                                                  const double dSide[3], CArray<C3DPoint, C3DPoint&>& aPoint,
                                                  double dLength)
{
    double t[3];
    CMathFunc::mathCross(dNormal, dSide, t);
    CMathFunc::mathNormalize(t);
    const double L = std::fabs(dLength);
    const double a = 0.2 * L;
    aPoint.SetSize(6);
    aPoint[0] = C3DPoint(dCentre[0], dCentre[1], dCentre[2]);
    CPVSUtilFunc::GetVectorDirectionPoint(dNormal, L, 1.0, aPoint[0], aPoint[1]);
    C3DPoint B;
    CPVSUtilFunc::GetVectorDirectionPoint(dNormal, -a, 1.0, aPoint[1], B);
    CPVSUtilFunc::GetVectorDirectionPoint(dSide, a, 1.0, B, aPoint[2]);
    CPVSUtilFunc::GetVectorDirectionPoint(dSide, -a, 1.0, B, aPoint[3]);
    CPVSUtilFunc::GetVectorDirectionPoint(t, a, 1.0, B, aPoint[4]);
    CPVSUtilFunc::GetVectorDirectionPoint(t, -a, 1.0, B, aPoint[5]);
    return 1;
}

int CPVSVisualMethodFlowDiscWKVR::MakeVectorGeom(vtkPoints* pPoints, vtkCellArray* pCells, int& nPointId,
                                                 CArray<C3DPoint, C3DPoint&>& aPoint)
{
    if (aPoint.GetSize() != 6 || !pPoints || !pCells)
        return 0;
    const vtkIdType n0 = nPointId;
    for (int i = 0; i < 6; ++i)
        pPoints->InsertPoint(n0 + i, aPoint[i].x, aPoint[i].y, aPoint[i].z);
    const int aPair[5][2] = {{0, 1}, {1, 2}, {1, 3}, {1, 4}, {1, 5}};
    for (const auto& pr : aPair) {
        const vtkIdType ids[2] = {n0 + pr[0], n0 + pr[1]};
        pCells->InsertNextCell(2, ids);
    }
    nPointId += 6;
    return 1;
}

int CPVSVisualMethodFlowDiscWKVR::Render(CPVSRendererBase* pRenderer)
{
    // An entry of the host's: a drawing that fails gives Render's failure value.
    return kvpvs::visualdata::GuardedEntry(0, [&] { return Draw(pRenderer); });
}

int CPVSVisualMethodFlowDiscWKVR::Draw(CPVSRendererBase* pRenderer)
{
    if (!pRenderer)
        return 0;
    CPVSVisualDataFlowDiscWKVR* pVD = GetFlowDiscVData();
    T_VD_FLOWDISC_WPLKVR_D recDefault;
    recDefault.Initialize();
    T_VD_FLOWDISC_WPLKVR_D* pRec = pVD ? pVD->GetFlowDiscData() : &recDefault;
    CPostVisualState* pState = CPostVisualState::Instance();
    const T_PVIST_ALL_D* pVS = pState->GetCurrentPA();
    const T_PVIST_PETC_D* pPE = pState->GetCurrentPE();

    pRenderer->DrawDataSet(GetDataSetPst(), ColourOf(static_cast<unsigned int>(pRec->nSectColor)), 2);
    if (pVS->nDispMode == 2 || pVS->nDispMode == 4)
        pRenderer->DrawDataSet(GetDataSetPre(), ColourOf(pVS->nColor), pVS->nDispMode, 1, 6);
    else if (pVS->nDispMode == 3)
        pRenderer->DrawDataSet(GetDataSetPre(), ColourOf(pPE->nColor), pPE->nWidth, 1, 6);
    if (m_pDataSetInactive)
        m_pDataSetInactive->Initialize();
    if (m_aDischarge.GetSize() != m_aResultPoint.GetSize())
        return 0;
    // Without the view's bridge there is no model size for the arrows: none are drawn.
    CPVSMeshMngrBrdgBase* pBridge = CPVSMeshMngrBrdgBase::m_pMySelf;
    if (!pBridge || m_aDischarge.GetSize() == 0)
        return 1;
    double bb[6];
    pBridge->GetBounds(bb);
    const double c0[3] = {bb[0], bb[2], bb[4]}, c1[3] = {bb[1], bb[3], bb[5]};
    double L = CMathFunc::mathLength(c0, c1) / 20.0;
    if (std::fabs(pRec->dArrowScale) > kTiny)
        L *= pRec->dArrowScale;

    char szFormat[32];
    std::snprintf(szFormat, sizeof szFormat, pVS->vals.bExponential ? "%s%de" : "%s%df", "%.",
                  pVS->vals.nDecimal);
    vtkNew<vtkPoints> pPoints;
    pPoints->SetDataTypeToDouble();
    vtkNew<vtkCellArray> pCells;
    int nPointId = 0;
    CArray<gp_Pnt, gp_Pnt&> aPos;
    CArray<CString, CString&> aText;
    CArray<C3DPoint, C3DPoint&> aArrow;
    for (int i = 0; i < m_aResultPoint.GetSize(); ++i) {
        T_PVIST_PLNE_D& rp = m_aResultPoint[i];
        double n[3] = {rp.dNormal[0], rp.dNormal[1], rp.dNormal[2]};
        kvpvs::planecut::UnitDirection(rp.dNormal, n);
        const double gz[3] = {0, 0, 1}, gx[3] = {1, 0, 0};
        double ang = CMathFunc::mathCrossAngle(n, gz);
        if (ang > 90.0)
            ang -= 180.0;
        const double* ref = std::fabs(ang) < 10.0 ? gx : gz;
        double s[3];
        CMathFunc::mathCross(n, ref, s);
        CMathFunc::mathNormalize(s);
        MakeVectorPoint(rp.dOrigin, n, s, aArrow, L);
        MakeVectorGeom(pPoints, pCells, nPointId, aArrow);
        CString strLabel;
        strLabel.Format(szFormat, m_aDischarge[i]);
        gp_Pnt pos(aArrow[1].x, aArrow[1].y, aArrow[1].z);
        aPos.Add(pos);
        aText.Add(strLabel);
    }
    vtkNew<vtkPolyData> pArrows;
    pArrows->SetPoints(pPoints);
    pArrows->SetPolys(pCells);
    const Quantity_Color arrowColour = ColourOf(static_cast<unsigned int>(pRec->nArrowColor));
    if (m_pDataSetInactive) {
        m_pDataSetInactive->DeepCopy(pArrows);
        pRenderer->DrawDataSet(GetDataSetInactive(), arrowColour, 1, 1, 6);
    }
    const double dSize = (pVS->nFontSize / 12.0) * ICustomSetting::Instance()->GetLabelSizeFactor();
    pRenderer->DrawLabels(aPos, aText, 0, dSize, arrowColour);
    return 1;
}
