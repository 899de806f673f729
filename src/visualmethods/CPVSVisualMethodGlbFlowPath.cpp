#include "visualmethods/CPVSVisualMethodGlbFlowPath.h"
#include "visualdata/HostEntryGuard.h"
#include "visualmethods/MovedPoints.h"

#include "DBDoc.h"
#include "MathFunc.h"
#include "PVSMeshMngrBrdgBase.h"
#include "PVSModelData.h"
#include "PVSRendererBase.h"
#include "PVSUtilFunc.h"
#include "PostVisualState.h"
#include "QSort.h"
#include "vtkCustomizeStreamLine.h"
#include "vtkQuadraticDataSetSurfaceFilter.h"

#include <vtkCellArray.h>
#include <vtkConeSource.h>
#include <vtkDataSetSurfaceFilter.h>
#include <vtkDoubleArray.h>
#include <vtkFeatureEdges.h>
#include <vtkFloatArray.h>
#include <vtkGeneralTransform.h>
#include <vtkMatrix4x4.h>
#include <vtkMergePoints.h>
#include <vtkNew.h>
#include <vtkPointData.h>
#include <vtkPoints.h>
#include <vtkPolyData.h>
#include <vtkRungeKutta2.h>
#include <vtkSmartPointer.h>
#include <vtkSphereSource.h>
#include <vtkTransformPolyDataFilter.h>
#include <vtkTriangleFilter.h>
#include <vtkTubeFilter.h>
#include <vtkUnstructuredGrid.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <memory>

IMPLEMENT_DYNAMIC(CPVSVisualMethodGlbFlowPath, CPVSVisualMethodBase)

double CPVSVisualMethodGlbFlowPath::m_dIncrementFactor = 0.0;

namespace {

using kvpvs::visualmethods::AboutCentre;
using kvpvs::visualmethods::BoxCentre;
using kvpvs::visualmethods::CopyMovedBack;

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
    Quantity_Color c;
    c.SetValues(r, g, b, Quantity_TOC_RGB);
    return c;
}

// Appends the points (each with the value) and polygons of a poly data to the containers.
void AppendPolys(vtkPolyData* pSrc, vtkCellArray* pCells, vtkPoints* pPoints, vtkFloatArray* pValues, double dValue)
{
    if (!pSrc || !pSrc->GetPoints())
        return;
    const vtkIdType nOffset = pPoints->GetNumberOfPoints();
    for (vtkIdType i = 0; i < pSrc->GetNumberOfPoints(); ++i) {
        pPoints->InsertNextPoint(pSrc->GetPoint(i));
        pValues->InsertNextValue(static_cast<float>(dValue));
    }
    vtkCellArray* pPolys = pSrc->GetPolys();
    vtkNew<vtkIdList> pIds;
    for (pPolys->InitTraversal(); pPolys->GetNextCell(pIds);) {
        for (vtkIdType k = 0; k < pIds->GetNumberOfIds(); ++k)
            pIds->SetId(k, pIds->GetId(k) + nOffset);
        pCells->InsertNextCell(pIds);
    }
}

} // namespace

CPVSVisualMethodGlbFlowPath::CPVSVisualMethodGlbFlowPath(T_VM_PARAM_D& param) : CPVSVisualMethodBase(param)
{
    m_pSettings = new T_VD_FLOWPATH_WPLKVR_D;
    if (CPVSVisualDataFlowPathWKVR* pVD = GetFlowPathVData())
        *m_pSettings = *pVD->GetFlowPathData();
    else
        m_pSettings->Initialize();
}

CPVSVisualMethodGlbFlowPath::~CPVSVisualMethodGlbFlowPath()
{
    DeleteOtherResult();
    delete m_pSettings;
}

CPVSVisualDataFlowPathWKVR* CPVSVisualMethodGlbFlowPath::GetFlowPathVData()
{
    return dynamic_cast<CPVSVisualDataFlowPathWKVR*>(GetVDTCtrl());
}

int CPVSVisualMethodGlbFlowPath::DeleteOtherResult()
{
    for (int i = 0; i < m_aSibling.GetSize(); ++i)
        delete m_aSibling[i];
    m_aSibling.RemoveAll();
    return 1;
}

double CPVSVisualMethodGlbFlowPath::ModelDiagonal(double dBounds[6])
{
    CPVSMeshMngrBrdgBase* pBridge = CPVSMeshMngrBrdgBase::m_pMySelf;
    if (!pBridge)
        return 0.0;
    pBridge->GetBounds(dBounds);
    const double p0[3] = {dBounds[0], dBounds[2], dBounds[4]}, p1[3] = {dBounds[1], dBounds[3], dBounds[5]};
    return CMathFunc::mathLength(p0, p1);
}

// An entry of the host's: whatever escapes the tracing gives Process's failure value with no
// paths, outline or contour of a second result.
int CPVSVisualMethodGlbFlowPath::Process()
{
    return kvpvs::visualdata::GuardedEntry(
        0, [&] { return Trace(); },
        [&] {
            DeleteOtherResult();
            for (vtkDataSet* p : {m_pDataSetPre, m_pDataSetPst, m_pDataSetInactive})
                if (p)
                    p->Initialize();
        });
}

int CPVSVisualMethodGlbFlowPath::Trace()
{
    InitializeDataSet();
    for (double& t : m_dPhaseSeconds)
        t = 0.0;
    CPVSVisualDataFlowPathWKVR* pVD = GetFlowPathVData();
    CPVSMeshMngrBrdgBase* pBridge = CPVSMeshMngrBrdgBase::m_pMySelf;
    CDBDoc* pDoc = CDBDoc::GetDocPoint();
    CPVSModelDataFEM* pMD = GetMDTCtrl();
    // Without the view's bridge there is no model box to trace in.
    if (!pVD || !pBridge || !pDoc || !pMD)
        return 0;
    double dBounds[6];
    const double L = ModelDiagonal(dBounds);
    // The locator's box covers every node, whatever the bridge reports: a point outside it
    // would be filed outside the locator's buckets.
    for (int i = 0; i < pMD->GetNodeNum(); ++i)
        if (const T_NODE_D* pNode = pMD->FindNodeD(pMD->GetNodeK(i)))
            for (int k = 0; k < 3; ++k) {
                dBounds[2 * k] = std::min(dBounds[2 * k], pNode->dXyz[k]);
                dBounds[2 * k + 1] = std::max(dBounds[2 * k + 1], pNode->dXyz[k]);
            }
    CPostVisualState* pState = CPostVisualState::Instance();
    T_PVIST_ALL_D* pVS = pState->GetCurrentPA();
    T_PVIST_ANIM_D* pAS = pState->GetCurrentPAnim();
    T_PVIST_PETC_D* pPE = pState->GetCurrentPE();
    CAnimationEngine* pAnim = pBridge->GetAnimationEngine();

    vtkNew<vtkUnstructuredGrid> pGrid;
    vtkNew<vtkPoints> pPoints;
    pPoints->SetDataTypeToDouble();
    vtkNew<vtkDoubleArray> pVectors;
    pVectors->SetName(CPVSVisualDataFlowPathWKVR::kVectorName);
    pVectors->SetNumberOfComponents(3);
    vtkNew<vtkDoubleArray> pScalars;
    pScalars->SetName(CPVSVisualDataFlowPathWKVR::kScalarName);
    vtkNew<vtkMergePoints> pLocator;
    const int n = std::max(CClassElem(pDoc->GetModelDB()).GetCount(), 1);
    const int m = std::max(CClassNode(pDoc->GetModelDB()).GetCount(), 1);
    pGrid->Allocate(n, 2 * n);
    pPoints->Allocate(m, 2 * m);
    pLocator->InitPointInsertion(pPoints, dBounds);

    DeleteOtherResult();
    if (CPVSVisualDataBase* pOther = pVD->GetOtherVD()) {
        T_VM_PARAM_D param;
        param.pDoc = pDoc;
        param.nMeshK = pOther->GetMeshK();
        param.pVData = pOther;
        param.pVS = pVS;
        param.pAS = pAS;
        param.nVMType = pOther->GetVisualMethodType(pVS);
        // Held until listed: a failure on the way frees it.
        if (std::unique_ptr<CPVSVisualMethodBase> pMethod{CPVSVisualMethodBase::CreateVisualMethod(param)}) {
            pOther->SetModelData(pMethod->GetMDTCtrl());
            pMethod->Process();
            m_aSibling.Add(pMethod.get());
            pMethod.release();
        }
    }

    int nCount = 0;
    double dTotal = 0.0;
    const TClock::time_point tGrid = TClock::now();
    pVD->MakeVGeomDataNode(pGrid, pVS, pAS, pAnim, pMD, nullptr, nullptr, nullptr, nullptr, nCount, dTotal, pPoints,
                           pVectors, pScalars, pLocator, nullptr);
    if (pGrid->GetNumberOfCells() == 0)
        return 0;
    pGrid->SetPoints(pPoints);
    pGrid->GetPointData()->SetScalars(pScalars);
    pGrid->GetPointData()->SetVectors(pVectors);
    AddSeconds(m_dPhaseSeconds[kPhaseGrid], tGrid);

    const TClock::time_point tOutline = TClock::now();
    if (pVS->nDispMode == 2) {
        vtkNew<vtkQuadraticDataSetSurfaceFilter> pSurface;
        pSurface->SetInputData(pGrid);
        pSurface->Update();
        m_pDataSetPre->DeepCopy(pSurface->GetOutput());
    } else if (pVS->nDispMode == 3) {
        vtkNew<vtkDataSetSurfaceFilter> pSurface;
        pSurface->SetInputData(pGrid);
        vtkNew<vtkFeatureEdges> pEdges;
        pEdges->SetInputConnection(pSurface->GetOutputPort());
        pEdges->BoundaryEdgesOn();
        pEdges->ManifoldEdgesOff();
        pEdges->NonManifoldEdgesOn();
        pEdges->FeatureEdgesOn();
        pEdges->SetFeatureAngle(pPE->dFeatureAngle);
        pEdges->ColoringOff();
        pEdges->Update();
        m_pDataSetPre->DeepCopy(pEdges->GetOutput());
    }
    AddSeconds(m_dPhaseSeconds[kPhaseOutline], tOutline);

    if (!(CPVSVisualDataBase::m_dVDataRsltNum > 0.0) || nCount <= 0)
        return 0;
    const double A = std::max(std::fabs(CPVSVisualDataBase::m_dVDataRsltMin),
                              std::fabs(CPVSVisualDataBase::m_dVDataRsltMax));
    if (!(A >= kTiny) || !(L >= kTiny))
        return 1;

    // One seed per start point; arrays of different lengths give as many as the shortest.
    const int nSeed = std::min({m_pSettings->aStartX.GetSize(), m_pSettings->aStartY.GetSize(),
                                m_pSettings->aStartZ.GetSize()});
    if (nSeed == 0)
        return 1;
    // Traced about the centre of the flow grid and moved back: the tracer writes
    // single-precision points, which at projected coordinates (northings near 5e6) step by
    // half a metre.
    const TClock::time_point tTrace = TClock::now();
    double c[3];
    BoxCentre(pGrid, c);
    vtkNew<vtkPolyData> pSeeds;
    vtkNew<vtkPoints> pSeedPoints;
    pSeedPoints->SetDataTypeToDouble();
    vtkNew<vtkCellArray> pSeedVerts;
    for (int i = 0; i < nSeed; ++i) {
        const vtkIdType nId = pSeedPoints->InsertNextPoint(
            m_pSettings->aStartX[i] - c[0], m_pSettings->aStartY[i] - c[1], m_pSettings->aStartZ[i] - c[2]);
        pSeedVerts->InsertNextCell(1, &nId);
    }
    pSeeds->SetPoints(pSeedPoints);
    pSeeds->SetVerts(pSeedVerts);

    vtkNew<vtkCustomizeStreamLine> pTracer;
    const vtkSmartPointer<vtkUnstructuredGrid> pShifted = AboutCentre<vtkUnstructuredGrid>(pGrid, c);
    pTracer->SetInputData(pShifted);
    pTracer->SetSourceData(pSeeds);
    pTracer->SetMaximumPropagationTime(L);
    // Unit field vectors: a step of L / 1000 in time is one of that length along the path.
    pTracer->SetStepLength(L * 0.001);
    pTracer->SetIntegrationDirectionToIntegrateBothDirections();
    pTracer->SetIntegrator(vtkNew<vtkRungeKutta2>());
    pTracer->SpeedScalarsOff();
    pTracer->OrientationScalarsOff();
    if (m_pSettings->nPathType == 1) {
        // Tubes scale with the display's largest value, the contour's when there is one.
        const double R = CPVSVisualDataBase::m_dVDataSymbolFactor * m_pSettings->dTubeScale * A * 0.1;
        vtkNew<vtkTubeFilter> pTube;
        // Normals slide along each path: the one default normal (0, 0, 1) is parallel to a
        // vertical path, which then gets no tube at all.
        pTube->UseDefaultNormalOff();
        pTube->SetInputConnection(pTracer->GetOutputPort());
        pTube->SetRadius(R);
        pTube->SetNumberOfSides(6);
        pTube->SetVaryRadiusToVaryRadiusOff();
        vtkNew<vtkTriangleFilter> pTriangles;
        pTriangles->SetInputConnection(pTube->GetOutputPort());
        pTriangles->Update();
        CopyMovedBack(m_pDataSetPst, pTriangles->GetOutput(), c);
    } else {
        pTracer->Update();
        CopyMovedBack(m_pDataSetPst, pTracer->GetOutput(), c);
    }
    AddSeconds(m_dPhaseSeconds[kPhaseTrace], tTrace);
    return 1;
}

int CPVSVisualMethodGlbFlowPath::Render0(CPVSRendererBase* pRenderer)
{
    return kvpvs::visualdata::GuardedEntry(0, [&] {
        if (GetVS() && GetVS()->nShapeMode == 3)
            RenderUndeformedShape(pRenderer);
        return 1;
    });
}

int CPVSVisualMethodGlbFlowPath::Render(CPVSRendererBase* pRenderer)
{
    // An entry of the host's: a drawing that fails gives Render's failure value.
    return kvpvs::visualdata::GuardedEntry(0, [&] { return Draw(pRenderer); });
}

int CPVSVisualMethodGlbFlowPath::Draw(CPVSRendererBase* pRenderer)
{
    if (!pRenderer)
        return 0;
    RenderMarking(pRenderer);
    const Quantity_Color colour = ColourOf(static_cast<unsigned int>(m_pSettings->nPathColor));
    const int bByValue = m_pSettings->nColorMode == 0 ? 1 : 0;
    if (m_aSibling.GetSize() > 0 || m_pSettings->nPathType == 0) {
        if (m_pSettings->nLineWidth < 0)
            m_pSettings->nLineWidth = 1;
        pRenderer->DrawLines(GetDataSetPst(), colour, bByValue, m_pSettings->nLineWidth, 1);
        for (int i = 0; i < m_aSibling.GetSize(); ++i)
            m_aSibling[i]->Render(pRenderer);
    } else {
        pRenderer->DrawScalarSurface(GetDataSetPst(), 1, 1);
    }
    CPostVisualState* pState = CPostVisualState::Instance();
    const T_PVIST_ALL_D* pVS = pState->GetCurrentPA();
    const T_PVIST_PETC_D* pPE = pState->GetCurrentPE();
    if (pVS->nDispMode == 2)
        pRenderer->DrawDataSet(GetDataSetPre(), ColourOf(pVS->nColor), pVS->nLineWidth, 1, 6);
    else if (pVS->nDispMode == 3)
        pRenderer->DrawDataSet(GetDataSetPre(), ColourOf(pPE->nColor), pPE->nWidth, 1, 6);
    return 1;
}

void CPVSVisualMethodGlbFlowPath::RenderMarking(CPVSRendererBase* pRenderer)
{
    if (!pRenderer || m_pSettings->nPathType != 0 || !m_pSettings->bMarksOn)
        return;
    double dBounds[6];
    const double L = ModelDiagonal(dBounds);
    const int N = m_pSettings->nDivisions;
    if (N <= 0 || !(L > 0.0))
        return;
    CArray<double, double> aFraction;
    aFraction.SetSize(N);
    for (int i = 0; i < N; ++i) {
        double f = static_cast<double>(N - i) / static_cast<double>(N) + m_dIncrementFactor;
        if (f > 1.0)
            f -= 1.0;
        aFraction[i] = f;
    }
    CQSort::QSortDbl(aFraction);
    std::reverse(aFraction.begin(), aFraction.end());

    auto* pPaths = vtkPolyData::SafeDownCast(GetDataSetPst());
    if (!pPaths || !pPaths->GetPoints() || pPaths->GetNumberOfCells() == 0)
        return;
    vtkPoints* pPathPts = pPaths->GetPoints();
    vtkDataArray* pPathVal = pPaths->GetPointData()->GetScalars();

    vtkNew<vtkPolyData> pMarks;
    vtkNew<vtkCellArray> pCells;
    // Double points: marks at projected coordinates sit on the paths, not on a float's grid.
    vtkNew<vtkPoints> pPoints;
    pPoints->SetDataTypeToDouble();
    vtkNew<vtkFloatArray> pValues;
    pCells->AllocateEstimate(1000, 1);
    pPoints->Allocate(1000, 1000);
    pValues->Allocate(1000, 1000);

    vtkNew<vtkIdList> pIds;
    vtkCellArray* pLines = pPaths->GetLines();
    for (pLines->InitTraversal(); pLines->GetNextCell(pIds);) {
        // Fractions still free on this path, descending: the smallest is at the back.
        std::vector<double> aFree(aFraction.begin(), aFraction.end());
        const vtkIdType nPts = pIds->GetNumberOfIds();
        double T = 0.0;
        for (vtkIdType j = 0; j + 1 < nPts; ++j) {
            double p0[3], p1[3];
            pPathPts->GetPoint(pIds->GetId(j), p0);
            pPathPts->GetPoint(pIds->GetId(j + 1), p1);
            T += CMathFunc::mathLength(p0, p1);
        }
        // A path of no length has no fractions to place marks at.
        if (!(T > 0.0))
            continue;
        double a = 0.0;
        for (vtkIdType j = 0; j + 1 < nPts && !aFree.empty(); ++j) {
            double p0[3], p1[3];
            pPathPts->GetPoint(pIds->GetId(j), p0);
            pPathPts->GetPoint(pIds->GetId(j + 1), p1);
            const double s = CMathFunc::mathLength(p0, p1);
            double t0 = a / T, t1 = (a + s) / T;
            if (std::fabs(t0) < kTiny)
                t0 = 0.0;
            if (std::fabs(t1 - 1.0) < kTiny)
                t1 = 1.0;
            a += s;
            // A segment of no length has no direction: its fractions go to the next one.
            if (!(s > 0.0) || !(t1 > t0))
                continue;
            const double v0 = pPathVal ? pPathVal->GetTuple1(pIds->GetId(j)) : 0.0;
            const double v1 = pPathVal ? pPathVal->GetTuple1(pIds->GetId(j + 1)) : 0.0;
            for (auto it = aFree.rbegin(); it != aFree.rend();) {
                const double f = *it;
                if (f < t0 || f > t1) {
                    ++it;
                    continue;
                }
                const double u = (f - t0) / (t1 - t0);
                double dValue = v0 + (v1 - v0) * u;
                double d[3] = {p1[0] - p0[0], p1[1] - p0[1], p1[2] - p0[2]};
                CMathFunc::mathNormalize(d);
                double q[3] = {p0[0] + (p1[0] - p0[0]) * u, p0[1] + (p1[1] - p0[1]) * u,
                               p0[2] + (p1[2] - p0[2]) * u};
                switch (m_pSettings->nSymbolKind) {
                case 1: MakeConeSymbol(L, pCells, pPoints, pValues, d, q, dValue); break;
                case 2: MakeRoundSymbol(L, pCells, pPoints, pValues, q, dValue); break;
                default: MakeArrowVector(L, pCells, pPoints, pValues, d, q, dValue); break;
                }
                // One mark per fraction: on the first of two segments it bounds.
                it = std::make_reverse_iterator(aFree.erase(std::next(it).base()));
            }
        }
    }

    const bool bArrows = m_pSettings->nSymbolKind != 1 && m_pSettings->nSymbolKind != 2;
    if (bArrows)
        pMarks->SetLines(pCells);
    else
        pMarks->SetPolys(pCells);
    pMarks->SetPoints(pPoints);
    pMarks->GetPointData()->SetScalars(pValues);
    const Quantity_Color colour = ColourOf(static_cast<unsigned int>(m_pSettings->nPathColor));
    if (bArrows)
        pRenderer->DrawLines(pMarks, colour, m_pSettings->nColorMode == 0 ? 1 : 0, m_pSettings->nLineWidth, 1);
    else if (m_pSettings->nColorMode == 0)
        pRenderer->DrawScalarSurface(pMarks, 1, 1);
    else
        pRenderer->DrawDataSet(pMarks, colour, 1);
}

void CPVSVisualMethodGlbFlowPath::MakeArrowVector(double dSize, vtkCellArray* pCells, vtkPoints* pPoints,
                                                  vtkFloatArray* pValues, double* pDirection, double* pPosition,
                                                  double& dValue)
{
    double d[3] = {pDirection[0], pDirection[1], pDirection[2]};
    if (CMathFunc::mathNormalize(d) <= 0.0)
        return;
    const double z[3] = {0.0, 0.0, 1.0};
    double n[3];
    CMathFunc::mathCross(d, z, n);
    const double h = dSize / 70.0 * m_pSettings->dSymbolScale * 0.6;
    const C3DPoint Q(pPosition[0], pPosition[1], pPosition[2]);
    C3DPoint B, P1, P2;
    CPVSUtilFunc::GetVectorDirectionPoint(d, -h, 1.0, Q, B);
    CPVSUtilFunc::GetVectorDirectionPoint(n, h, 1.0, B, P1);
    CPVSUtilFunc::GetVectorDirectionPoint(n, -h, 1.0, B, P2);
    const vtkIdType nQ = pPoints->InsertNextPoint(Q.x, Q.y, Q.z);
    const vtkIdType n1 = pPoints->InsertNextPoint(P1.x, P1.y, P1.z);
    const vtkIdType n2 = pPoints->InsertNextPoint(P2.x, P2.y, P2.z);
    for (int i = 0; i < 3; ++i)
        pValues->InsertNextValue(static_cast<float>(dValue));
    const vtkIdType ids[3] = {n1, nQ, n2};
    pCells->InsertNextCell(3, ids);
}

void CPVSVisualMethodGlbFlowPath::MakeConeSymbol(double dSize, vtkCellArray* pCells, vtkPoints* pPoints,
                                                 vtkFloatArray* pValues, double* pDirection, double* pPosition,
                                                 double& dValue)
{
    const double r = dSize / 100.0 * m_pSettings->dSymbolScale * 0.6;
    double S[3] = {0.0, 0.0, 0.0};
    double F[3][3];
    if (!calcFrameLocalVector(S, pDirection, 0.0, F))
        return;
    vtkNew<vtkMatrix4x4> M1;
    for (int row = 0; row < 3; ++row) {
        for (int col = 0; col < 3; ++col)
            M1->SetElement(row, col, F[col][row]);
        M1->SetElement(row, 3, pPosition[row]);
    }
    vtkNew<vtkMatrix4x4> M2;
    M2->SetElement(0, 3, -r / 2.0);
    vtkNew<vtkGeneralTransform> pTransform;
    pTransform->PreMultiply();
    pTransform->Concatenate(M1);
    pTransform->Concatenate(M2);

    vtkNew<vtkConeSource> pCone;
    pCone->SetHeight(2.0 * r);
    pCone->SetRadius(0.8 * r);
    pCone->SetResolution(8);
    pCone->SetCenter(0.0, 0.0, 0.0);
    pCone->SetDirection(1.0, 0.0, 0.0);
    vtkNew<vtkTransformPolyDataFilter> pFilter;
    pFilter->SetOutputPointsPrecision(vtkAlgorithm::DOUBLE_PRECISION);
    pFilter->SetTransform(pTransform);
    pFilter->SetInputConnection(pCone->GetOutputPort());
    pFilter->Update();
    AppendPolys(pFilter->GetOutput(), pCells, pPoints, pValues, dValue);
}

void CPVSVisualMethodGlbFlowPath::MakeRoundSymbol(double dSize, vtkCellArray* pCells, vtkPoints* pPoints,
                                                  vtkFloatArray* pValues, double* pPosition, double& dValue)
{
    const double r = dSize / 100.0 * m_pSettings->dSymbolScale * 0.6;
    vtkNew<vtkSphereSource> pSphere;
    pSphere->SetCenter(pPosition);
    pSphere->SetRadius(r);
    pSphere->SetThetaResolution(6);
    pSphere->SetPhiResolution(6);
    pSphere->SetOutputPointsPrecision(vtkAlgorithm::DOUBLE_PRECISION);
    vtkNew<vtkTriangleFilter> pTriangles;
    pTriangles->SetInputConnection(pSphere->GetOutputPort());
    pTriangles->Update();
    AppendPolys(pTriangles->GetOutput(), pCells, pPoints, pValues, dValue);
}

int CPVSVisualMethodGlbFlowPath::calcFrameLocalVector(double* pStart, double* pEnd, double dAngle,
                                                      double dFrame[3][3])
{
    const double d[3] = {pEnd[0] - pStart[0], pEnd[1] - pStart[1], pEnd[2] - pStart[2]};
    const double l = std::sqrt(d[0] * d[0] + d[1] * d[1] + d[2] * d[2]);
    double R[3] = {pStart[0], pStart[1], pStart[2]};
    // The reference leaves the segment's line: X for a vertical segment, Z otherwise.
    R[CPVSVisualDataBase::IsVertical(pStart, pEnd) ? 0 : 2] += l;
    if (std::fabs(dAngle) > 0.0) {
        double u[3] = {d[0], d[1], d[2]};
        if (CMathFunc::mathNormalize(u) > 0.0) {
            double r[3] = {R[0] - pStart[0], R[1] - pStart[1], R[2] - pStart[2]};
            CMathFunc::mathRotate(r, u, dAngle, r);
            for (int k = 0; k < 3; ++k)
                R[k] = pStart[k] + r[k];
        }
    }
    for (int k = 0; k < 3; ++k) {
        dFrame[0][k] = d[k];
        dFrame[2][k] = R[k] - pStart[k];
    }
    if (!CMathFunc::Normalize(dFrame[0]) || !CMathFunc::Normalize(dFrame[2]))
        return 0;
    CMathFunc::mathNormal(dFrame[2], dFrame[0], dFrame[1]);
    if (!CMathFunc::Normalize(dFrame[1]))
        return 0;
    CMathFunc::mathNormal(dFrame[0], dFrame[1], dFrame[2]);
    return 1;
}
