#include "visualmethods/CPVSVisualMethodGlbProfGrid.h"
#include "visualdata/HostEntryGuard.h"
#include "visualmethods/MovedPoints.h"
#include "visualmethods/UsedPart.h"

#include "3DPoint.h"
#include "CustomSetting.h"
#include "MathFunc.h"
#include "PVSMeshMngrBrdgBase.h"
#include "PVSUtilFunc.h"
#include "PostGeneralTable.h"
#include "UnitCtrl.h"
#include "vtkGenBandedPolyDataContourFilter.h"
#include "vtkQuadraticDataSetSurfaceFilter.h"

#include <vtkCell.h>
#include <vtkCellArray.h>
#include <vtkDataSetSurfaceFilter.h>
#include <vtkDoubleArray.h>
#include <vtkFeatureEdges.h>
#include <vtkIdList.h>
#include <vtkIdTypeArray.h>
#include <vtkPointData.h>
#include <vtkPoints.h>
#include <vtkPolyData.h>
#include <vtkNew.h>
#include <vtkProbeFilter.h>
#include <vtkSmartPointer.h>
#include <vtkUnstructuredGrid.h>

#include <algorithm>
#include <chrono>
#include <cmath>

IMPLEMENT_DYNAMIC(CPVSVisualMethodGlbProfGrid, CPVSVisualMethodBase)

namespace {

using kvpvs::profgrid::GridFits;
using kvpvs::profgrid::LineFits;
using kvpvs::visualmethods::UsedPart;

constexpr double kDblMax = 1.7976931348623157e308;

double Seconds(std::chrono::steady_clock::time_point t0)
{
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
}

// |m| below 1e-15 scales as 1: a flat result must not blow the diagrams up.
double GuardExtreme(double m) { return m > -1e-15 && m < 1e-15 ? 1.0 : m; }

Quantity_Color Colour(unsigned int nColor)
{
    double r = 0, g = 0, b = 0;
    CPVSUtilFunc::GetRgbF(nColor, r, g, b);
    return Quantity_Color(r, g, b, Quantity_TOC_RGB);
}

CString Number(double d)
{
    CString s;
    s.Format("%.10g", d);
    return s;
}

// A four-point cell of the first four node numbers of each grid element; a cell naming a node
// the grid does not have is left out.
vtkSmartPointer<vtkCellArray> GridQuads(const CArray<T_ELEM_D, T_ELEM_D&>& aElem, int nNode)
{
    auto pQuads = vtkSmartPointer<vtkCellArray>::New();
    for (int e = 0; e < aElem.GetSize(); ++e) {
        const T_ELEM_D& el = aElem[e];
        if (el.aNodeK.GetSize() < 4)
            continue;
        vtkIdType ids[4];
        bool bInside = true;
        for (int k = 0; k < 4; ++k) {
            ids[k] = static_cast<vtkIdType>(el.aNodeK[k]);
            bInside = bInside && el.aNodeK[k] < static_cast<unsigned int>(nNode);
        }
        if (bInside)
            pQuads->InsertNextCell(4, ids);
    }
    return pQuads;
}

vtkSmartPointer<vtkPoints> DoublePoints()
{
    auto pPoints = vtkSmartPointer<vtkPoints>::New();
    pPoints->SetDataTypeToDouble();
    return pPoints;
}

vtkSmartPointer<vtkPoints> NodePoints(const CArray<T_NODE_D, T_NODE_D&>& aNode)
{
    auto pPoints = DoublePoints();
    pPoints->SetNumberOfPoints(aNode.GetSize());
    for (int i = 0; i < aNode.GetSize(); ++i)
        pPoints->SetPoint(i, aNode[i].dXyz);
    return pPoints;
}

// The filter's tolerance where it computes its own: a thousandth of the diagonal of the cell
// of pSource at x; -1 when no cell holds x.
double CellTolerance(vtkDataSet* pSource, double x[3], std::vector<double>& aWeight)
{
    aWeight.resize(static_cast<size_t>(std::max(pSource->GetMaxCellSize(), 1)));
    int nSub = 0;
    double pcoords[3];
    const vtkIdType c = pSource->FindCell(x, nullptr, -1, 0.0, nSub, pcoords, aWeight.data());
    return c < 0 ? -1.0 : 1e-3 * std::sqrt(pSource->GetCell(c)->GetLength2());
}

// pPoints with those outside pSource's bounding box by no more than the probe's tolerance (per
// coordinate) moved onto the box. The filter probes nothing when the points' own box misses the
// source's, though it takes a point as far beyond a face inside the box: a grid lying one rounding
// above a flat top face, or an index line one rounding beyond a side face, would lose every value.
// Points farther out keep their place and stay out.
vtkSmartPointer<vtkPoints> OntoBox(vtkPoints* pPoints, vtkDataSet* pSource, double dTolerance)
{
    vtkSmartPointer<vtkPoints> pOut = pPoints;
    if (pSource->GetNumberOfCells() == 0)
        return pOut;
    double b[6];
    pSource->GetBounds(b);
    // A computed tolerance follows the cell, whose diagonal is at most the box's.
    const double dBound = dTolerance >= 0.0 ? dTolerance : 1e-3 * pSource->GetLength();
    std::vector<double> aWeight;
    for (vtkIdType i = 0; i < pPoints->GetNumberOfPoints(); ++i) {
        double p[3], q[3];
        pPoints->GetPoint(i, p);
        double dExcess = 0.0;
        for (int k = 0; k < 3; ++k) {
            q[k] = std::clamp(p[k], b[2 * k], b[2 * k + 1]);
            dExcess = std::max(dExcess, std::fabs(q[k] - p[k]));
        }
        if (!(dExcess > 0.0 && dExcess <= dBound))
            continue;
        if (dTolerance < 0.0 && !(dExcess <= CellTolerance(pSource, q, aWeight)))
            continue;
        if (pOut.Get() == pPoints) {
            pOut = DoublePoints();
            pOut->DeepCopy(pPoints);
        }
        pOut->SetPoint(i, q);
    }
    return pOut;
}

// The probe filter's output at pPoints, given as vertices, in pSource; a tolerance of 0 or more
// replaces the filter's own (a thousandth of the cell's diagonal).
vtkSmartPointer<vtkProbeFilter> Probe(vtkPoints* pPoints, vtkDataSet* pSource, double dTolerance = -1.0)
{
    const vtkIdType n = pPoints->GetNumberOfPoints();
    vtkNew<vtkCellArray> pVerts;
    for (vtkIdType i = 0; i < n; ++i)
        pVerts->InsertNextCell(1, &i);
    vtkNew<vtkPolyData> pInput;
    pInput->SetPoints(OntoBox(pPoints, pSource, dTolerance));
    pInput->SetVerts(pVerts);
    auto pProbe = vtkSmartPointer<vtkProbeFilter>::New();
    pProbe->SetInputData(pInput);
    pProbe->SetSourceData(pSource);
    if (dTolerance >= 0.0) {
        pProbe->ComputeToleranceOff();
        pProbe->SetTolerance(dTolerance);
    }
    pProbe->Update();
    return pProbe;
}

// The point the probes work about: per axis, the centre of the model's box where the box lies at
// least its own width from zero, else 0. Moved by the centre, the box's points, and a grid's or
// line's near it, keep their value exactly (x - c is exact for c / 2 <= x <= 2 c), and the
// filter's cell search and weights no longer lose a small cell's digits to a large offset. A
// model at or about the origin is probed as given, to the bit. pModel is the model's used part: a
// node that no cell uses has no say in the box.
void ProbeReference(vtkDataSet* pModel, double c[3])
{
    double b[6];
    pModel->GetBounds(b);
    for (int k = 0; k < 3; ++k) {
        const double lo = b[2 * k], hi = b[2 * k + 1], w = hi - lo;
        c[k] = lo >= w || hi <= -w ? 0.5 * (lo + hi) : 0.0;
    }
}

bool AtOrigin(const double c[3]) { return c[0] == 0.0 && c[1] == 0.0 && c[2] == 0.0; }

// The data set about c, as the flow paths trace theirs; itself when c is the origin.
template <class TSet>
vtkSmartPointer<TSet> AboutReference(TSet* pSet, const double c[3])
{
    if (AtOrigin(c))
        return pSet;
    return kvpvs::visualmethods::AboutCentre<TSet>(pSet, c);
}

// Point array of a probed grid: 1 at a node without a value (outside the model, value 0), 0
// elsewhere. Interpolated at a point, it is the share of such nodes in the grid's value there.
constexpr const char* kNoValueShare = "NoValueShare";

template <class PROBE>
vtkSmartPointer<vtkDoubleArray> NoValueShare(const std::vector<PROBE>& aProbe)
{
    auto pShare = vtkSmartPointer<vtkDoubleArray>::New();
    pShare->SetName(kNoValueShare);
    pShare->SetNumberOfValues(static_cast<vtkIdType>(aProbe.size()));
    for (size_t i = 0; i < aProbe.size(); ++i)
        pShare->SetValue(static_cast<vtkIdType>(i), aProbe[i].bValid ? 0.0 : 1.0);
    return pShare;
}

// One segment of a profile diagram between two consecutive valid points of an index line.
struct T_VD_LINE_D {
    double dP1[3] = {0, 0, 0};
    double dP2[3] = {0, 0, 0};
    double dV1 = 0;
    double dV2 = 0;
    int nLine = 0;
};

} // namespace

CPVSVisualMethodGlbProfGrid::CPVSVisualMethodGlbProfGrid(T_VM_PARAM_D& param) : CPVSVisualMethodBase(param)
{
    m_settings.Initialize();
    if (auto* pVD = dynamic_cast<CPVSVisualDataProfGrid*>(GetVDTCtrl()))
        m_settings = *pVD->GetRecord();
    for (vtkSmartPointer<vtkPolyData>* p : {&m_pCurves, &m_pSurface, &m_pUndeformed, &m_pConnect})
        *p = vtkSmartPointer<vtkPolyData>::New();
}

CPVSVisualMethodGlbProfGrid::~CPVSVisualMethodGlbProfGrid() = default;

void CPVSVisualMethodGlbProfGrid::InitializeDataSet()
{
    CPVSVisualMethodBase::InitializeDataSet();
    for (vtkPolyData* p : {m_pCurves.Get(), m_pSurface.Get(), m_pUndeformed.Get(), m_pConnect.Get()})
        p->Initialize();
    m_aLabelPos.RemoveAll();
    m_aLabelText.RemoveAll();
}

vtkSmartPointer<vtkUnstructuredGrid> CPVSVisualMethodGlbProfGrid::MakeModelGrid()
{
    CPostVisualState* pState = CPostVisualState::Instance();
    CPVSMeshMngrBrdgBase* pBridge = CPVSMeshMngrBrdgBase::m_pMySelf;
    CPVSVisualDataBase* pVD = GetVDTCtrl();
    if (!pVD)
        return nullptr;
    auto pGrid = vtkSmartPointer<vtkUnstructuredGrid>::New();
    pVD->MakeVGeomData(pGrid, pState->GetCurrentPA(), pState->GetCurrentPAnim(),
                       pBridge ? pBridge->GetAnimationEngine() : nullptr, GetMDTCtrl(), nullptr, nullptr, nullptr,
                       nullptr);
    if (pGrid->GetNumberOfPoints() == 0 || pGrid->GetNumberOfCells() == 0)
        return nullptr;
    return pGrid;
}

CClassSpfg CPVSVisualMethodGlbProfGrid::OpenSpfgTable()
{
    CDBDoc* pDoc = CDBDoc::GetDocPoint();
    return CClassSpfg(CDocCtrl::GetDBMain(pDoc));
}

BOOL CPVSVisualMethodGlbProfGrid::ReadGrid(CClassSpfg& spfg, T_SPFG_D& grid, CArray<T_NODE_D, T_NODE_D&>& aNode,
                                           CArray<T_ELEM_D, T_ELEM_D&>& aElem)
{
    // The counts are checked before the geometry is asked for: a stored grid beyond the limits
    // would cost gigabytes.
    return spfg.Get(m_settings.nSpfgK, grid) && GridFits(grid.nDivX, grid.nDivY) &&
           spfg.GetGeomData(m_settings.nSpfgK, aNode, aElem) && aNode.GetSize() > 0 && aElem.GetSize() > 0;
}

BOOL CPVSVisualMethodGlbProfGrid::GetModelSize(double& dSize) const
{
    CPVSMeshMngrBrdgBase* pBridge = CPVSMeshMngrBrdgBase::m_pMySelf;
    if (!pBridge)
        return FALSE;
    double b[6];
    pBridge->GetBounds(b);
    dSize = std::fabs(b[1] - b[0]);
    if (std::fabs(b[3] - b[2]) > dSize)
        dSize = std::fabs(b[3] - b[2]);
    if (std::fabs(b[5] - b[4]) > dSize)
        dSize = std::fabs(b[5] - b[4]);
    return TRUE;
}

int CPVSVisualMethodGlbProfGrid::ProbePoints(vtkPoints* pUserPoints, const double c[3], vtkDataSet* pSource,
                                             vtkDataSet* pModel, std::vector<T_PROBE_D>& aProbe)
{
    vtkSmartPointer<vtkPoints> pPoints = pUserPoints;
    if (!AtOrigin(c)) {
        const double d[3] = {-c[0], -c[1], -c[2]};
        pPoints = kvpvs::visualmethods::MovedPoints(pUserPoints, d);
    }
    const vtkIdType n = pPoints->GetNumberOfPoints();
    aProbe.assign(static_cast<size_t>(n), T_PROBE_D());
    // aAt[j]: the index in pPoints of probed point j.
    std::vector<vtkIdType> aAt;
    vtkSmartPointer<vtkProbeFilter> pProbe, pInModel;
    if (pModel) {
        // Where the model is not the source, only the points that lie in it (its boundary
        // included: the probe finds points on a cell's faces) are probed in the source: outside
        // the model a point has no result, whatever the source interpolates there.
        pInModel = Probe(pPoints, pModel);
        vtkIdTypeArray* pIn = pInModel->GetValidPoints();
        vtkSmartPointer<vtkPoints> pInside = DoublePoints();
        for (vtkIdType v = 0; pIn && v < pIn->GetNumberOfTuples(); ++v)
            if (const vtkIdType i = pIn->GetValue(v); i >= 0 && i < n) {
                aAt.push_back(i);
                pInside->InsertNextPoint(pPoints->GetPoint(i));
            }
        // The points lie on the source's cells to rounding. Its own tolerance would grow with a
        // cell: a stored grid of huge cells would have every point tried against every cell.
        pProbe = Probe(pInside, pSource, 1e-6 * pModel->GetLength());
    } else {
        for (vtkIdType i = 0; i < n; ++i)
            aAt.push_back(i);
        pProbe = Probe(pPoints, pSource);
    }
    vtkDataSet* pOut = pProbe->GetOutput();
    vtkDataArray* pScalars = pOut->GetPointData()->GetScalars();
    vtkDataArray* pVectors = pOut->GetPointData()->GetVectors();
    vtkIdTypeArray* pValid = pProbe->GetValidPoints();
    const vtkIdType nProbed = pValid ? pValid->GetNumberOfTuples() : 0;
    const vtkIdType nAt = static_cast<vtkIdType>(aAt.size());
    // The share of the source's nodes without a value at each point, and the model's own values
    // there, probed as the source's nodes were.
    vtkDataArray* pShare = pOut->GetPointData()->GetArray(kNoValueShare);
    vtkDataSet* pOwn = pInModel ? pInModel->GetOutput() : nullptr;
    vtkDataArray* pOwnScalars = pOwn ? pOwn->GetPointData()->GetScalars() : nullptr;
    vtkDataArray* pOwnVectors = pOwn ? pOwn->GetPointData()->GetVectors() : nullptr;
    int nValid = 0;
    for (vtkIdType v = 0; v < nProbed; ++v) {
        const vtkIdType j = pValid->GetValue(v);
        if (j < 0 || j >= nAt)
            continue;
        ++nValid;
        const vtkIdType i = aAt[static_cast<size_t>(j)];
        T_PROBE_D& p = aProbe[static_cast<size_t>(i)];
        p.bValid = 1;
        p.dValue = pScalars ? pScalars->GetComponent(j, 0) : 0.0;
        // A source without vectors gives zero vectors.
        if (pVectors)
            for (int k = 0; k < 3; ++k)
                p.dVect[k] = pVectors->GetComponent(j, k);
        // A point inside the model whose grid value leans on a node without a value would be
        // drawn towards that node's placeholder 0: it takes the model's value, probed as the
        // grid's nodes are. An index line runs along cell edges, where such a node of the cell
        // beside has a share of 0 up to the rounding of the cell's weights: a share of a
        // millionth or less leaves the grid's value, so that rounding decides nothing.
        if (pShare && pOwn && pShare->GetComponent(j, 0) > 1e-6) {
            p.dValue = pOwnScalars ? pOwnScalars->GetComponent(i, 0) : 0.0;
            for (int k = 0; k < 3; ++k)
                p.dVect[k] = pOwnVectors ? pOwnVectors->GetComponent(i, k) : 0.0;
        }
    }
    return nValid;
}

int CPVSVisualMethodGlbProfGrid::Process()
{
    // An entry of the host's: a failure (an allocation of a large model or grid) leaves no
    // display rather than half of one.
    return kvpvs::visualdata::GuardedEntry(
        0, [&] { return Build(); }, [&] { InitializeDataSet(); });
}

int CPVSVisualMethodGlbProfGrid::Build()
{
    InitializeDataSet();
    for (double& d : m_dStageSeconds)
        d = 0.0;
    // The model's size scales the deformation and the diagrams: no bridge, no display.
    if (!CPVSMeshMngrBrdgBase::m_pMySelf)
        return 0;
    T_PVIST_ALL_D* pVS = CPostVisualState::Instance()->GetCurrentPA();
    auto t0 = std::chrono::steady_clock::now();
    vtkSmartPointer<vtkUnstructuredGrid> pModel = MakeModelGrid();
    m_dStageSeconds[kStageModelGrid] = Seconds(t0);
    if (!pModel)
        return 0;

    if (pVS->nDispMode == 2) {
        vtkNew<vtkQuadraticDataSetSurfaceFilter> pSurf;
        pSurf->SetInputData(pModel);
        pSurf->Update();
        GetDataSetPre()->DeepCopy(pSurf->GetOutput());
    } else if (pVS->nDispMode == 3) {
        vtkNew<vtkDataSetSurfaceFilter> pSurf;
        pSurf->SetInputData(pModel);
        vtkNew<vtkFeatureEdges> pEdges;
        pEdges->SetInputConnection(pSurf->GetOutputPort());
        pEdges->BoundaryEdgesOn();
        pEdges->ManifoldEdgesOff();
        pEdges->NonManifoldEdgesOn();
        pEdges->FeatureEdgesOn();
        pEdges->SetFeatureAngle(CPostVisualState::Instance()->GetCurrentPE()->dFeatureAngle);
        pEdges->ColoringOff();
        pEdges->Update();
        GetDataSetPre()->DeepCopy(pEdges->GetOutput());
    }

    BuildGrid(pModel);
    return 1;
}

void CPVSVisualMethodGlbProfGrid::BuildGrid(vtkUnstructuredGrid* pWhole)
{
    CPostVisualState* pState = CPostVisualState::Instance();
    T_PVIST_ALL_D* pVS = pState->GetCurrentPA();
    CClassSpfg spfg = OpenSpfgTable();
    T_SPFG_D grid;
    CArray<T_NODE_D, T_NODE_D&> aNode;
    CArray<T_ELEM_D, T_ELEM_D&> aElem;
    if (!ReadGrid(spfg, grid, aNode, aElem))
        return;
    const int nNode = aNode.GetSize();

    auto t0 = std::chrono::steady_clock::now();
    const vtkSmartPointer<vtkUnstructuredGrid> pModel = UsedPart(pWhole);
    double c[3];
    ProbeReference(pModel, c);
    const vtkSmartPointer<vtkUnstructuredGrid> pModelAt = AboutReference(pModel.Get(), c);
    std::vector<T_PROBE_D> aProbe;
    ProbePoints(NodePoints(aNode), c, pModelAt, nullptr, aProbe);
    double dMin = kDblMax, dMax = -kDblMax;
    bool bAnyValid = false;
    for (const T_PROBE_D& p : aProbe)
        if (p.bValid) {
            bAnyValid = true;
            if (p.dValue < dMin)
                dMin = p.dValue;
            if (p.dValue > dMax)
                dMax = p.dValue;
        }
    if (!bAnyValid)
        dMin = dMax = 0.0;
    m_dStageSeconds[kStageProbe] = Seconds(t0);

    double dSize = 0.0;
    GetModelSize(dSize);
    const double m = GuardExtreme(std::fabs(dMin) > std::fabs(dMax) ? std::fabs(dMin) : std::fabs(dMax));
    const double dScale = dSize / (m * 20.0);
    const int nMode = pVS->nShapeMode;
    const bool bDeform = nMode == 2 || nMode == 3;
    const double dShift = dScale * pVS->dDeformScale;

    auto pDrawn = DoublePoints();
    auto pOwn = DoublePoints();
    vtkNew<vtkDoubleArray> pValues;
    vtkNew<vtkDoubleArray> pVectors;
    pVectors->SetNumberOfComponents(3);
    auto pLinePts = DoublePoints();
    vtkNew<vtkDoubleArray> pLineValues;
    vtkNew<vtkCellArray> pLines;
    for (int i = 0; i < nNode; ++i) {
        const T_PROBE_D& p = aProbe[static_cast<size_t>(i)];
        const double* own = aNode[i].dXyz;
        double drawn[3] = {own[0], own[1], own[2]};
        if (bDeform)
            for (int k = 0; k < 3; ++k)
                drawn[k] = own[k] + dShift * p.dVect[k];
        pDrawn->InsertNextPoint(drawn);
        pOwn->InsertNextPoint(own);
        pValues->InsertNextValue(p.dValue);
        pVectors->InsertNextTuple(p.dVect);
        if (nMode == 3) {
            vtkIdType ids[2];
            ids[0] = pLinePts->InsertNextPoint(drawn);
            ids[1] = pLinePts->InsertNextPoint(own);
            pLineValues->InsertNextValue(p.dValue);
            pLineValues->InsertNextValue(p.dValue);
            pLines->InsertNextCell(2, ids);
        }
    }
    vtkSmartPointer<vtkCellArray> pQuads = GridQuads(aElem, nNode);

    vtkNew<vtkPolyData> pSurface;
    pSurface->SetPoints(pDrawn);
    pSurface->SetPolys(pQuads);
    pSurface->GetPointData()->SetScalars(pValues);
    vtkNew<vtkPolyData> pUndeformed;
    pUndeformed->SetPoints(pOwn);
    pUndeformed->SetPolys(pQuads);
    pUndeformed->GetPointData()->SetScalars(pValues);
    pUndeformed->GetPointData()->SetVectors(pVectors);
    if (nMode == 3) {
        m_pConnect->SetPoints(pLinePts);
        m_pConnect->SetLines(pLines);
        m_pConnect->GetPointData()->SetScalars(pLineValues);
    }

    t0 = std::chrono::steady_clock::now();
    if (m_settings.bBandContour) {
        // The filter writes single-precision points: it bands the grid about its centre.
        double g[3];
        kvpvs::visualmethods::BoxCentre(pSurface, g);
        vtkNew<vtkGenBandedPolyDataContourFilter> pBand;
        pBand->SetInputData(kvpvs::visualmethods::AboutCentre<vtkPolyData>(pSurface, g));
        GenerateContour(pBand, pVS->cont.GetBandNum(), CPVSVisualDataBase::m_dVDataRsltMin,
                        CPVSVisualDataBase::m_dVDataRsltMax);
        pBand->Update();
        kvpvs::visualmethods::CopyMovedBack(GetDataSetPst(), pBand->GetOutput(), g);
    }
    m_dStageSeconds[kStageBands] = Seconds(t0);

    m_pSurface->DeepCopy(pSurface);
    if (nMode == 3)
        m_pUndeformed->DeepCopy(pUndeformed);

    pUndeformed->GetPointData()->AddArray(NoValueShare(aProbe));
    t0 = std::chrono::steady_clock::now();
    BuildProfileCurves(m, pUndeformed, pModelAt, c);
    m_dStageSeconds[kStageCurves] = Seconds(t0);
}

BOOL CPVSVisualMethodGlbProfGrid::MakeIndexLinePoints(CClassSpfg& spfg, const T_SPFG_D& grid,
                                                     const T_SPFG_GRID_IDX_BASE& line, vtkPoints* pPoints)
{
    double S[3], E[3], plane[2];
    const bool bX = line.nDirection == 0;
    if (!spfg.GetCoorByGridIdx(m_settings.nSpfgK, bX ? line.nGridIndex : 0, bX ? 0 : line.nGridIndex, S, plane) ||
        !spfg.GetCoorByGridIdx(m_settings.nSpfgK, bX ? line.nGridIndex : grid.nDivX, bX ? grid.nDivY : line.nGridIndex,
                               E, plane))
        return FALSE;
    if (CUnitCtrl* pUnit = CDocCtrl::GetUnitCtrl(CDBDoc::GetDocPoint()))
        for (int k = 0; k < 3; ++k) {
            S[k] = pUnit->ConvertUnitLengthIn(S[k]);
            E[k] = pUnit->ConvertUnitLengthIn(E[k]);
        }
    const int nCount = line.nDivision;
    pPoints->SetNumberOfPoints(nCount + 1);
    for (int k = 0; k <= nCount; ++k) {
        double p[3];
        for (int c = 0; c < 3; ++c)
            p[c] = S[c] + k * (E[c] - S[c]) / nCount;
        pPoints->SetPoint(k, p);
    }
    return TRUE;
}

void CPVSVisualMethodGlbProfGrid::BuildProfileCurves(double dExtreme, vtkPolyData* pUndeformed, vtkDataSet* pModelAt,
                                                     const double c[3])
{
    const CArray<T_SPFG_GRID_IDX_BASE, T_SPFG_GRID_IDX_BASE&>& aIdx = m_settings.GridIdx.aIdx;
    CClassSpfg spfg = OpenSpfgTable();
    T_SPFG_D grid;
    if (aIdx.GetSize() == 0 || !spfg.Get(m_settings.nSpfgK, grid) || !GridFits(grid.nDivX, grid.nDivY))
        return;
    T_PVIST_ALL_D* pVS = CPostVisualState::Instance()->GetCurrentPA();
    T_PVIST_SYMB_D* pSymb = CPostVisualState::Instance()->GetCurrentPS();

    double dSize = 0.0;
    GetModelSize(dSize);
    const double m = GuardExtreme(dExtreme);
    const double dScale = dSize / (std::fabs(m) * 20.0);
    const bool bDeform = pVS->nShapeMode == 2 || pVS->nShapeMode == 3;

    std::vector<T_VD_LINE_D> aSeg;
    double dMin = kDblMax, dMax = -kDblMax;
    int nLine = 0;
    auto pLinePts = DoublePoints();
    const vtkSmartPointer<vtkPolyData> pGridAt = AboutReference(pUndeformed, c);
    for (int l = 0; l < aIdx.GetSize(); ++l) {
        const T_SPFG_GRID_IDX_BASE& line = aIdx[l];
        if (!LineFits(line.nDivision) || !MakeIndexLinePoints(spfg, grid, line, pLinePts))
            continue;
        ++nLine;
        std::vector<T_PROBE_D> aProbe;
        ProbePoints(pLinePts, c, pGridAt, pModelAt, aProbe);
        int nPrev = -1;
        size_t nBefore = aSeg.size();
        for (int k = 0; k < static_cast<int>(aProbe.size()); ++k) {
            if (!aProbe[static_cast<size_t>(k)].bValid)
                continue;
            if (nPrev >= 0) {
                T_VD_LINE_D seg;
                const T_PROBE_D& a = aProbe[static_cast<size_t>(nPrev)];
                const T_PROBE_D& b = aProbe[static_cast<size_t>(k)];
                pLinePts->GetPoint(nPrev, seg.dP1);
                pLinePts->GetPoint(k, seg.dP2);
                if (bDeform)
                    for (int c = 0; c < 3; ++c) {
                        seg.dP1[c] += dScale * pVS->dDeformScale * a.dVect[c];
                        seg.dP2[c] += dScale * pVS->dDeformScale * b.dVect[c];
                    }
                seg.dV1 = a.dValue;
                seg.dV2 = b.dValue;
                seg.nLine = nLine;
                for (double v : {seg.dV1, seg.dV2}) {
                    if (v < dMin)
                        dMin = v;
                    if (v > dMax)
                        dMax = v;
                }
                aSeg.push_back(seg);
            }
            nPrev = k;
        }
        // A line without segments resets the tracked extremes; the tracking goes on from 0.
        if (aSeg.size() == nBefore)
            dMin = dMax = 0.0;
    }

    const double mSeg = GuardExtreme(std::fabs(dMin) > std::fabs(dMax) ? std::fabs(dMin) : std::fabs(dMax));
    const double dDgrmScale = dSize / (mSeg * 20.0) * pSymb->dDgrmScale;
    double dDir[3] = {0, 0, 0};
    spfg.GetPlaneNormal(m_settings.nSpfgK, dDir);
    if (pSymb->bDgrmReverse)
        for (double& d : dDir)
            d = -d;

    auto pPts = DoublePoints();
    vtkNew<vtkCellArray> pEdges;
    vtkNew<vtkDoubleArray> pValues;
    CArray<C3DPoint, C3DPoint&> aOff1, aOff2;
    auto anchor = [&]() {
        const int i = aOff1.GetSize() / 2;
        if (i < aOff1.GetSize()) {
            gp_Pnt pos((aOff1[i][0] + aOff2[i][0]) / 2.0, (aOff1[i][1] + aOff2[i][1]) / 2.0,
                       (aOff1[i][2] + aOff2[i][2]) / 2.0);
            m_aLabelPos.Add(pos);
        }
    };
    for (size_t s = 0; s < aSeg.size(); ++s) {
        const T_VD_LINE_D& seg = aSeg[s];
        C3DPoint p1(seg.dP1[0], seg.dP1[1], seg.dP1[2]), p2(seg.dP2[0], seg.dP2[1], seg.dP2[2]);
        C3DPoint o1, o2;
        CPVSUtilFunc::GetVectorDirectionPoint(dDir, seg.dV1, dDgrmScale, p1, o1);
        CPVSUtilFunc::GetVectorDirectionPoint(dDir, seg.dV2, dDgrmScale, p2, o2);
        vtkIdType ids[4];
        ids[0] = pPts->InsertNextPoint(p1[0], p1[1], p1[2]);
        ids[1] = pPts->InsertNextPoint(p2[0], p2[1], p2[2]);
        ids[2] = pPts->InsertNextPoint(o2[0], o2[1], o2[2]);
        ids[3] = pPts->InsertNextPoint(o1[0], o1[1], o1[2]);
        pValues->InsertNextValue(seg.dV1);
        pValues->InsertNextValue(seg.dV2);
        pValues->InsertNextValue(seg.dV2);
        pValues->InsertNextValue(seg.dV1);
        for (int k = 0; k < 4; ++k) {
            const vtkIdType edge[2] = {ids[k], ids[(k + 1) % 4]};
            pEdges->InsertNextCell(2, edge);
        }
        aOff1.Add(o1);
        aOff2.Add(o2);
        if (s + 1 < aSeg.size() && aSeg[s + 1].nLine != seg.nLine) {
            anchor();
            aOff1.RemoveAll();
            aOff2.RemoveAll();
        }
    }

    if (m_settings.bArea && !aSeg.empty()) {
        anchor();
        std::vector<double> aArea;
        double dSum = 0.0;
        for (size_t s = 0; s < aSeg.size(); ++s) {
            const T_VD_LINE_D& seg = aSeg[s];
            const double L = CMathFunc::mathLength(seg.dP1, seg.dP2);
            const double a = std::fabs(seg.dV1), b = std::fabs(seg.dV2);
            if (a < 1e-15 && b < 1e-15) {
                dSum += 0.0;
            } else if (seg.dV1 * seg.dV2 < 0.0) {
                // Split at the zero crossing: a triangle on each side.
                const double r = a / (a + b);
                dSum += 0.5 * a * (L * r) + 0.5 * b * (L - L * r);
            } else {
                dSum += 0.5 * (a + b) * L;
            }
            if (s + 1 == aSeg.size() || aSeg[s + 1].nLine != seg.nLine) {
                aArea.push_back(dSum);
                dSum = 0.0;
            }
        }
        if (static_cast<size_t>(m_aLabelPos.GetSize()) == aArea.size()) {
            CString strNum;
            strNum.Format(pVS->vals.bExponential ? "%s%de" : "%s%df", "%.", pVS->vals.nDecimal);
            CString strFmt;
            strFmt.Format("Area : %s", strNum.GetString());
            for (double d : aArea) {
                CString s;
                s.Format(strFmt.GetString(), d);
                m_aLabelText.Add(s);
            }
        } else {
            m_aLabelPos.RemoveAll();
        }
    } else {
        m_aLabelPos.RemoveAll();
    }

    m_pCurves->SetPoints(pPts);
    m_pCurves->SetPolys(pEdges);
    m_pCurves->GetPointData()->SetScalars(pValues);
}

int CPVSVisualMethodGlbProfGrid::Render(CPVSRendererBase* pRenderer)
{
    // An entry of the host's: a drawing that fails gives Render's failure value.
    return kvpvs::visualdata::GuardedEntry(0, [&] { return Draw(pRenderer); });
}

int CPVSVisualMethodGlbProfGrid::Draw(CPVSRendererBase* pRenderer)
{
    if (!pRenderer)
        return 1;
    CPostVisualState* pState = CPostVisualState::Instance();
    T_PVIST_ALL_D* pVS = pState->GetCurrentPA();
    T_PVIST_SYMB_D* pSymb = pState->GetCurrentPS();
    if (pVS->nShapeMode == 3) {
        pRenderer->DrawLines(m_pUndeformed, Colour(pVS->nUndeformColor), 0, pVS->nUndeformWidth, 0);
        pRenderer->DrawLines(m_pConnect, Colour(pVS->nUndeformColor), m_settings.bBandContour ? 1 : 0,
                             pVS->nUndeformWidth, 0);
    }
    pRenderer->DrawScalarSurface(GetDataSetPst(), 0, 0);
    pRenderer->DrawLines(m_pCurves, Colour(pSymb->nDgrmColor), pSymb->bDgrmColorByValue == 1 ? 1 : 0,
                         pSymb->nDgrmWidth, 0);
    pRenderer->DrawLines(m_pSurface, Colour(pVS->nColor), 0, pVS->nLineWidth, 0);
    if (pVS->nDispMode == 2 || pVS->nDispMode == 4)
        pRenderer->DrawLines(GetDataSetPre(), Colour(pVS->nColor), 0, pVS->nLineWidth, 0);
    else if (pVS->nDispMode == 3)
        pRenderer->DrawLines(GetDataSetPre(), Colour(pVS->nColor), 0, pState->GetCurrentPE()->nWidth, 0);
    if (m_aLabelPos.GetSize() > 0) {
        const double dSize = pVS->nFontSize / 12.0 * ICustomSetting::Instance()->GetLabelSizeFactor();
        pRenderer->DrawLabels(m_aLabelPos, m_aLabelText, 0, dSize, Colour(pVS->nLabelColor));
    }
    return 1;
}

int CPVSVisualMethodGlbProfGrid::MakeProfGridTable(int nMode, const T_VD_PROFGRID_D& settings, int bShow)
{
    // An entry of the host's: a failure leaves the tables stored so far and gives 0.
    return kvpvs::visualdata::GuardedEntry(
        0, [&] { return GridTable(nMode, settings, bShow); }, [&] { m_pLineModel = nullptr; });
}

int CPVSVisualMethodGlbProfGrid::GridTable(int nMode, const T_VD_PROFGRID_D& settings, int bShow)
{
    m_settings = settings;
    InitializeDataSet();
    const vtkSmartPointer<vtkUnstructuredGrid> pModel = UsedPart(MakeModelGrid());
    if (!pModel)
        return 0;
    CClassSpfg spfg = OpenSpfgTable();
    T_SPFG_D grid;
    CArray<T_NODE_D, T_NODE_D&> aNode;
    CArray<T_ELEM_D, T_ELEM_D&> aElem;
    if (!ReadGrid(spfg, grid, aNode, aElem))
        return 0;
    const int nNode = aNode.GetSize();
    vtkSmartPointer<vtkPoints> pNodePts = NodePoints(aNode);
    double c[3];
    ProbeReference(pModel, c);
    std::vector<T_PROBE_D> aProbe;
    ProbePoints(pNodePts, c, AboutReference(pModel.Get(), c), nullptr, aProbe);

    if (nMode == 1) {
        const int nx = grid.nDivX + 1, ny = grid.nDivY + 1;
        T_POST_GENR_TABL_D table;
        table.Allocate(ny, nx + 1);
        table.aColTitle[0] = "";
        table.aColKind[0] = 3;
        table.aColUnit[0] = 0;
        for (int c = 1; c <= nx; ++c) {
            table.aColTitle[c].Format("X%d", c);
            table.aColKind[c] = 2;
            table.aColUnit[c] = m_settings.bLengthUnit;
        }
        for (int r = 0; r < ny; ++r) {
            table.Cell(r, 0).Format("Y%d", ny - r);
            for (int c = 1; c <= nx; ++c)
                table.Cell(r, c) = "0";
        }
        // Nodes beyond nx x ny have no cell of the table.
        const int nIn = nNode < nx * ny ? nNode : nx * ny;
        for (int k = 0; k < nIn; ++k) {
            const T_PROBE_D& p = aProbe[static_cast<size_t>(k)];
            if (p.bValid)
                table.Cell(ny - 1 - k / nx, k % nx + 1) = Number(p.dValue);
        }
        const unsigned int nKey = IPostGeneralTableData::Instance()->AddTable(table);
        ICustomPostDB::Instance()->ShowTable(nKey, grid.strName, 0, 0);
    } else if (nMode == 2) {
        vtkNew<vtkDoubleArray> pValues;
        for (int i = 0; i < nNode; ++i)
            pValues->InsertNextValue(aProbe[static_cast<size_t>(i)].bValid ? aProbe[static_cast<size_t>(i)].dValue : 0.0);
        vtkNew<vtkPolyData> pPoly;
        pPoly->SetPoints(pNodePts);
        pPoly->SetPolys(GridQuads(aElem, nNode));
        pPoly->GetPointData()->SetScalars(pValues);
        pPoly->GetPointData()->AddArray(NoValueShare(aProbe));
        // The index lines are told apart from the model with the model grid already made.
        m_pLineModel = pModel;
        MakeGridIndexTables(pPoly, &m_settings, bShow);
        m_pLineModel = nullptr;
    }
    return 1;
}

int CPVSVisualMethodGlbProfGrid::MakeGridIndexTables(vtkPolyData* pGrid, const T_VD_PROFGRID_D*, int bShow)
{
    return kvpvs::visualdata::GuardedEntry(0, [&] { return IndexLineTables(pGrid, bShow); });
}

int CPVSVisualMethodGlbProfGrid::IndexLineTables(vtkPolyData* pGrid, int bShow)
{
    const CArray<T_SPFG_GRID_IDX_BASE, T_SPFG_GRID_IDX_BASE&>& aIdx = m_settings.GridIdx.aIdx;
    if (aIdx.GetSize() == 0 || !pGrid)
        return 0;
    CClassSpfg spfg = OpenSpfgTable();
    T_SPFG_D grid;
    if (!spfg.Get(m_settings.nSpfgK, grid) || !GridFits(grid.nDivX, grid.nDivY))
        return 0;
    // Without a model no line point lies in it: the lines then give no table.
    vtkSmartPointer<vtkUnstructuredGrid> pModel = m_pLineModel;
    if (!pModel)
        pModel = UsedPart(MakeModelGrid());
    double c[3] = {0, 0, 0};
    if (pModel)
        ProbeReference(pModel, c);
    const vtkSmartPointer<vtkUnstructuredGrid> pModelAt = pModel ? AboutReference(pModel.Get(), c) : nullptr;
    const vtkSmartPointer<vtkPolyData> pGridAt = AboutReference(pGrid, c);
    CUnitCtrl* pUnit = CDocCtrl::GetUnitCtrl(CDBDoc::GetDocPoint());
    auto out = [pUnit](double d) { return pUnit ? pUnit->ConvertUnitLengthOut(d) : d; };

    CArray<unsigned int, unsigned int> aKey;
    CArray<CString, CString&> aName;
    auto pLinePts = DoublePoints();
    for (int l = 0; l < aIdx.GetSize() && pModel; ++l) {
        const T_SPFG_GRID_IDX_BASE& line = aIdx[l];
        if (!LineFits(line.nDivision) || !MakeIndexLinePoints(spfg, grid, line, pLinePts))
            continue;
        std::vector<T_PROBE_D> aProbe;
        const int nValid = ProbePoints(pLinePts, c, pGridAt, pModelAt, aProbe);
        if (nValid < 1)
            continue;
        T_POST_GENR_TABL_D table;
        table.Allocate(nValid, 3);
        const char* pszTitle[3] = {"Dist. from Start Point", "Displacement", "Incline"};
        const int nUnit[3] = {1, m_settings.bLengthUnit, 0};
        for (int c = 0; c < 3; ++c) {
            table.aColTitle[c] = pszTitle[c];
            table.aColKind[c] = 2;
            table.aColUnit[c] = nUnit[c];
        }
        double p0[3] = {0, 0, 0}, pPrev[3] = {0, 0, 0};
        double sPrev = 0.0;
        int r = 0;
        for (int k = 0; k < static_cast<int>(aProbe.size()); ++k) {
            const T_PROBE_D& p = aProbe[static_cast<size_t>(k)];
            if (!p.bValid)
                continue;
            double pt[3];
            pLinePts->GetPoint(k, pt);
            double dDist = 0.0, dIncline = 0.0;
            if (r == 0) {
                for (int c = 0; c < 3; ++c)
                    p0[c] = pt[c];
            } else {
                dDist = out(CMathFunc::mathLength(pt, p0));
                const double dStep = out(CMathFunc::mathLength(pt, pPrev));
                dIncline = std::fabs(dStep) > 1e-15 ? (p.dValue - sPrev) / dStep : 0.0;
            }
            table.Cell(r, 0) = Number(dDist);
            table.Cell(r, 1) = Number(p.dValue);
            table.Cell(r, 2) = Number(dIncline);
            for (int c = 0; c < 3; ++c)
                pPrev[c] = pt[c];
            sPrev = p.dValue;
            ++r;
        }
        aKey.Add(IPostGeneralTableData::Instance()->AddTable(table));
        CString strName;
        strName.Format(line.nDirection == 0 ? "X Grid Index %d" : "Y Grid Index %d", line.nGridIndex + 1);
        aName.Add(strName);
    }
    if (bShow && aKey.GetSize() > 0)
        ICustomPostDB::Instance()->ShowTables(aKey, aName, grid.strName, 0);
    return 1;
}
