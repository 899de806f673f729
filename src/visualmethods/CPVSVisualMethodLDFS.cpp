#include "visualmethods/CPVSVisualMethodLDFS.h"
#include "visualmethods/CPVSVisualMethodLDFSD.h"

#include "planecut/cut_integration.h"
#include "planecut/plane_cut.h"
#include "planecut/plane_direction.h"
#include "visualdata/ElementCells.h"

#include "CustomSetting.h"
#include "DBModelRecords.h"
#include "FileCtrl.h"
#include "MathFunc.h"
#include "PVSLegendObjectUserDefMode.h"
#include "PVSMeshMngrBrdgBase.h"
#include "PVSRendererBase.h"
#include "PVSUtilFunc.h"
#include "UnitCtrl.h"
#include "afxfile.h"
#include "vtkQuadraticDataSetSurfaceFilter.h"

#include <vtkAppendPolyData.h>
#include <vtkCell.h>
#include <vtkCellArray.h>
#include <vtkCellData.h>
#include <vtkDataSet.h>
#include <vtkIdList.h>
#include <vtkNew.h>
#include <vtkPoints.h>
#include <vtkPolyData.h>
#include <vtkSmartPointer.h>
#include <vtkUnstructuredGrid.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdint>
#include <iterator>
#include <unordered_map>

IMPLEMENT_DYNAMIC(CPVSVisualMethodLDFS, CPVSVisualMethodBase)
IMPLEMENT_DYNAMIC(CPVSVisualMethodLDFSD, CPVSVisualMethodBase)

namespace {

constexpr double kTiny = 1e-15;

// Wall-clock seconds since t0, added to a stage's total.
using TClock = std::chrono::steady_clock;
void AddSeconds(double& dTotal, TClock::time_point t0)
{
    dTotal += std::chrono::duration<double>(TClock::now() - t0).count();
}

// The length conversion of the document's unit system (internal -> output).
double LengthOut(CDBDoc* pDoc, double d)
{
    CUnitCtrl* pUnit = CDocCtrl::GetUnitCtrl(pDoc);
    return pUnit ? pUnit->ConvertUnitLengthOut(d) : d;
}

BOOL ReportAppends(const T_VD_LCLDIRSUM_HOB_D&) { return FALSE; }
BOOL ReportAppends(const T_VD_LCLDIRSUM_KVR_D& r) { return r.bAppend != 0; }
BOOL ReportOpensEditor(const T_VD_LCLDIRSUM_HOB_D&) { return TRUE; }
BOOL ReportOpensEditor(const T_VD_LCLDIRSUM_KVR_D& r) { return r.bEditor != 0; }

// Dense point keys of one broadcast: cut point ids renumbered 0.. in order of first use, since
// the listener reads every map by the keys 0 to count - 1.
class CDenseIds {
public:
    int Get(vtkIdType nId, const double dOut[3], CPointInfoMap& mPoint)
    {
        auto [it, bNew] = m_map.emplace(nId, static_cast<int>(m_map.size()));
        if (bNew) {
            T_POINT_D p;
            p.X = dOut[0];
            p.Y = dOut[1];
            p.Z = dOut[2];
            mPoint[it->second] = p;
        }
        return it->second;
    }

private:
    std::unordered_map<vtkIdType, int> m_map;
};

using CCellElemMap = CMap<int, int, unsigned int, unsigned int>;

// The element of each piece of a cut: plate cells through the plate map; solid cells, for the
// design twin's material, through the solid map.
template <class VDATA>
const CCellElemMap* CellElemMap(VDATA* pVD, bool bPlate)
{
    if (bPlate)
        return &pVD->m_mCellElemK;
    if constexpr (std::is_same_v<VDATA, CPVSVisualDataLDFSD>)
        return &pVD->m_mSolidCellElemK;
    return nullptr;
}

// The element behind a grid cell of the cut, and its property, section and material, read from
// the document's model.
class CCutElements {
public:
    CCutElements(CDBBase* pModelDB, const CCellElemMap* pCellElem)
        : m_attr(pModelDB), m_gpro(pModelDB), m_gmat(pModelDB), m_elem(pModelDB), m_pCellElem(pCellElem)
    {
    }
    // A plate element (type 4) with its section; with its material too when pGmat is given.
    bool Plate(vtkIdType nCell, T_GPRO_D& gpro, T_GMAT_D* pGmat) const
    {
        unsigned int nElemK = 0;
        T_ELEM_D elem;
        T_ATTR_D attr;
        return Elem(nCell, nElemK) && m_elem.Get(nElemK, elem) && elem.nType == 4 && m_attr.Get(elem.nPropK, attr) &&
               m_gpro.Get(attr.nGproK, gpro) && (!pGmat || m_gmat.Get(attr.nGmatK, *pGmat));
    }
    bool Axes(vtkIdType nCell, double dElemAxis[3][3]) const
    {
        unsigned int nElemK = 0;
        return Elem(nCell, nElemK) && m_elem.calcElemLocalVector(nElemK, dElemAxis, 0);
    }
    bool Material(vtkIdType nCell, T_GMAT_D& gmat) const
    {
        unsigned int nElemK = 0;
        T_ELEM_D elem;
        T_ATTR_D attr;
        return Elem(nCell, nElemK) && m_elem.Get(nElemK, elem) && m_attr.Get(elem.nPropK, attr) &&
               m_gmat.Get(attr.nGmatK, gmat);
    }

private:
    bool Elem(vtkIdType nCell, unsigned int& nElemK) const
    {
        return m_pCellElem && m_pCellElem->Lookup(static_cast<int>(nCell), nElemK) != 0;
    }
    CClassAttr m_attr;
    CClassGpro m_gpro;
    CClassGmat m_gmat;
    CClassElem m_elem;
    const CCellElemMap* m_pCellElem;
};

// The design twin's cells of one cut, one per counted piece in turn: its points keyed densely
// in order of first use, its element's section and material.
class CPayloadCells {
public:
    CPayloadCells(const CCutElements& elems, T_LDFS_PAYLOAD_D& payload) : m_elems(elems), m_payload(payload) {}
    void AddPlate(const kvpvs::planecut::CutPiece& piece)
    {
        T_GPRO_D gpro;
        T_GMAT_D gmat;
        m_elems.Plate(piece.nCell, gpro, &gmat);
        T_PLATE_CELL_D cell;
        cell.nPoint1Id = Key(piece, 0);
        cell.nPoint2Id = Key(piece, 1);
        cell.dThickness = gpro.dThickness;
        cell.dElasticModulus = gmat.dElast;
        cell.dPoissonRatio = gmat.dPoisson;
        cell.dWeightDensity = gmat.dWeight;
        (*m_payload.pPlateCell)[m_nCellKey++] = cell;
    }
    // Every counting fan triangle is a cell of its own.
    void AddSolid(const kvpvs::planecut::CutPiece& piece)
    {
        T_GMAT_D gmat;
        m_elems.Material(piece.nCell, gmat);
        T_SOLID_CELL_D cell;
        cell.nPoint1Id = Key(piece, 0);
        cell.nPoint2Id = Key(piece, 1);
        cell.nPoint3Id = Key(piece, 2);
        cell.dElasticModulus = gmat.dElast;
        cell.dPoissonRatio = gmat.dPoisson;
        cell.dWeightDensity = gmat.dWeight;
        (*m_payload.pSolidCell)[m_nCellKey++] = cell;
    }

private:
    int Key(const kvpvs::planecut::CutPiece& piece, int e)
    {
        return m_denseIds.Get(piece.aIds[e], piece.dPts[e], *m_payload.pPoint);
    }
    const CCutElements& m_elems;
    T_LDFS_PAYLOAD_D& m_payload;
    CDenseIds m_denseIds;
    int m_nCellKey = 0;
};

// The cut's sums in the plane's axes dAxis: a plate cut's segments of plate elements, a solid
// cut's fan triangles. The design twin takes a piece only with its element's material (and a
// segment with its section), and broadcasts it.
template <class VDATA>
kvpvs::planecut::CutSums IntegrateCut(bool bPlate, const kvpvs::planecut::PlaneCut& cut,
                                      const kvpvs::planecut::LengthOutFn& lengthOut, const CCutElements& elems,
                                      CPayloadCells* pPayload, const double dAxis[3][3])
{
    if (!bPlate) {
        kvpvs::planecut::SolidCutRules rules;
        rules.lengthOut = lengthOut;
        rules.law = &VDATA::GetLclDirForSumByTriangle;
        std::copy_n(&dAxis[0][0], 9, &rules.dPlaneAxis[0][0]);
        if (pPayload) {
            rules.cellCounts = [&](vtkIdType nCell) {
                T_GMAT_D gmat;
                return elems.Material(nCell, gmat);
            };
            rules.counted = [pPayload](const kvpvs::planecut::CutPiece& piece) { pPayload->AddSolid(piece); };
        }
        return kvpvs::planecut::IntegrateSolidCut(cut, rules);
    }
    kvpvs::planecut::PlateCutRules rules;
    rules.lengthOut = lengthOut;
    rules.thickness = [&](vtkIdType nCell, double& dThickness) {
        T_GPRO_D gpro;
        if (!elems.Plate(nCell, gpro, nullptr))
            return false;
        dThickness = gpro.dThickness;
        return true;
    };
    rules.elementAxes = [&](vtkIdType nCell, double dElemAxis[3][3]) {
        T_GPRO_D gpro;
        T_GMAT_D gmat;
        return elems.Axes(nCell, dElemAxis) && (!pPayload || elems.Plate(nCell, gpro, &gmat));
    };
    rules.law = &VDATA::GetLclDirForSumByLine;
    std::copy_n(&dAxis[0][0], 9, &rules.dPlaneAxis[0][0]);
    if (pPayload)
        rules.counted = [pPayload](const kvpvs::planecut::CutPiece& piece) { pPayload->AddPlate(piece); };
    return kvpvs::planecut::IntegratePlateCut(cut, rules);
}

// The design twin's plane and force sum of one result.
template <class AXIS>
void SetPayloadPlane(const kvpvs::planecut::CutSums& sums, const AXIS& axis, const T_PVIST_PLNE_D& plane,
                     CDBDoc* pDoc, T_LDFS_PAYLOAD_D& payload)
{
    T_FORCESUM_D& fs = *payload.pForceSum;
    fs.FX = sums.dSum[0];
    fs.FY = sums.dSum[1];
    fs.FZ = sums.dSum[2];
    fs.MX = sums.dSum[3];
    fs.MY = sums.dSum[4];
    fs.MZ = sums.dSum[5];
    T_LCLDIR_PLNE_KVR_D& bp = *payload.pPlane;
    bp.strName = axis.strName;
    for (int k = 0; k < 3; ++k) {
        // The listener works in output units; its Y direction is the plane's.
        bp.dCentre[k] = LengthOut(pDoc, sums.dCentre[k]);
        bp.dXDir[k] = plane.dNormal[k];
        bp.dYDir[k] = axis.dAxis[1][k];
    }
}

} // namespace

template <class VDATA, class RECORD, class AXIS, class PLANEREC>
CPVSVisualMethodLDFSCore<VDATA, RECORD, AXIS, PLANEREC>::CPVSVisualMethodLDFSCore(T_VM_PARAM_D& param)
    : CPVSVisualMethodBase(param)
{
}

template <class VDATA, class RECORD, class AXIS, class PLANEREC>
CPVSVisualMethodLDFSCore<VDATA, RECORD, AXIS, PLANEREC>::~CPVSVisualMethodLDFSCore() = default;

template <class VDATA, class RECORD, class AXIS, class PLANEREC>
VDATA* CPVSVisualMethodLDFSCore<VDATA, RECORD, AXIS, PLANEREC>::GetLdfsVData()
{
    return dynamic_cast<VDATA*>(GetVDTCtrl());
}

template <class VDATA, class RECORD, class AXIS, class PLANEREC>
RECORD* CPVSVisualMethodLDFSCore<VDATA, RECORD, AXIS, PLANEREC>::GetRecord()
{
    VDATA* pVD = GetLdfsVData();
    return pVD ? pVD->m_pLdfsData : nullptr;
}

template <class VDATA, class RECORD, class AXIS, class PLANEREC>
int CPVSVisualMethodLDFSCore<VDATA, RECORD, AXIS, PLANEREC>::Render0(CPVSRendererBase*)
{
    return 1;
}

template <class VDATA, class RECORD, class AXIS, class PLANEREC>
int CPVSVisualMethodLDFSCore<VDATA, RECORD, AXIS, PLANEREC>::MakeLineProbeSubclass(vtkUnstructuredGrid*)
{
    return 0;
}

namespace {

// A data set's contents kept aside (sharing its arrays) and given back; empty for none.
vtkSmartPointer<vtkDataSet> KeepContents(vtkDataSet* p)
{
    if (!p)
        return nullptr;
    auto pKept = vtkSmartPointer<vtkDataSet>::Take(p->NewInstance());
    pKept->ShallowCopy(p);
    return pKept;
}

void GiveBackContents(vtkDataSet* p, vtkDataSet* pKept)
{
    if (p && pKept)
        p->ShallowCopy(pKept);
    else if (p)
        p->Initialize();
}

} // namespace

// An entry of the host's: whatever escapes the cutting (a failed allocation, a VTK or host
// exception) ends here. Process has no failure value, so it still gives 1, and the display
// keeps the cuts, values, legend and data sets of the last Process: nothing of the failed one
// is drawn. (Planes already broadcast by the design twin stay heard.)
template <class VDATA, class RECORD, class AXIS, class PLANEREC>
int CPVSVisualMethodLDFSCore<VDATA, RECORD, AXIS, PLANEREC>::Process()
{
    CArray<double, double> aValue[6];
    CArray<PLANEREC, PLANEREC&> aPlaneResult;
    CArray<CString, CString&> aLegend;
    vtkSmartPointer<vtkDataSet> pPre, pPst, pInactive;
    double dPhaseSeconds[kPhaseCount];
    try {
        for (int k = 0; k < 6; ++k)
            aValue[k].Copy(m_aValue[k]);
        aPlaneResult.Copy(m_aPlaneResult);
        aLegend.Copy(CPVSLegendObjectUserDefMode::m_arLegendDesc);
        pPre = KeepContents(m_pDataSetPre);
        pPst = KeepContents(m_pDataSetPst);
        pInactive = KeepContents(m_pDataSetInactive);
    } catch (...) {
        return 1; // nothing changed yet
    }
    std::copy(std::begin(m_dPhaseSeconds), std::end(m_dPhaseSeconds), dPhaseSeconds);
    try {
        return CutPlanes();
    } catch (...) {
    }
    try {
        m_cutIndex.Clear();
        m_surface.Clear();
        if (m_pAppendFilter) {
            m_pAppendFilter->Delete();
            m_pAppendFilter = nullptr;
        }
        GiveBackContents(m_pDataSetPre, pPre);
        GiveBackContents(m_pDataSetPst, pPst);
        GiveBackContents(m_pDataSetInactive, pInactive);
        for (int k = 0; k < 6; ++k)
            m_aValue[k].Copy(aValue[k]);
        m_aPlaneResult.Copy(aPlaneResult);
        CPVSLegendObjectUserDefMode::m_arLegendDesc.Copy(aLegend);
        std::copy(std::begin(dPhaseSeconds), std::end(dPhaseSeconds), m_dPhaseSeconds);
    } catch (...) {
        // What cannot be given back is left empty: values without their cuts would be drawn.
        for (int k = 0; k < 6; ++k)
            m_aValue[k].RemoveAll();
        m_aPlaneResult.RemoveAll();
        for (vtkDataSet* p : {m_pDataSetPre, m_pDataSetPst, m_pDataSetInactive})
            if (p)
                p->Initialize();
    }
    return 1;
}

template <class VDATA, class RECORD, class AXIS, class PLANEREC>
int CPVSVisualMethodLDFSCore<VDATA, RECORD, AXIS, PLANEREC>::CutPlanes()
{
    CPVSLegendObjectUserDefMode::m_arLegendDesc.RemoveAll();
    InitializeDataSet();
    DeleteVslMethodExt();

    VDATA* pVD = GetLdfsVData();
    RECORD* pRec = GetRecord();
    if (m_pAppendFilter)
        m_pAppendFilter->Delete();
    m_pAppendFilter = vtkAppendPolyData::New();
    for (int k = 0; k < 6; ++k)
        m_aValue[k].RemoveAll();
    m_aPlaneResult.RemoveAll();
    for (double& t : m_dPhaseSeconds)
        t = 0.0;
    if (!pVD || !pRec) {
        m_pAppendFilter->Delete();
        m_pAppendFilter = nullptr;
        return 1;
    }

    auto pGrid = vtkSmartPointer<vtkUnstructuredGrid>::New();
    // Planes and their axis entries go in pairs; a shorter axis list ends the planes.
    const int nPlane = std::min(pRec->aPlane.GetSize(), pRec->aAxis.GetSize());
    for (int i = 0; i < nPlane; ++i) {
        pGrid->Initialize();
        const TClock::time_point tGrid = TClock::now();
        const int bGrid = pVD->MakeVGeomDataByPlane(pRec->aAxis[i], pRec->aPlane[i], pGrid, GetVS(), GetAS(),
                                                    GetAnimEng(), GetMDTCtrl(), 0);
        AddSeconds(m_dPhaseSeconds[kPhaseGrid], tGrid);
        if (!bGrid)
            continue;
        if (pGrid->GetNumberOfCells() == 0) {
            m_pAppendFilter->Delete();
            m_pAppendFilter = nullptr;
            return 1;
        }
        if (m_payload.pPlane) {
            m_payload.pPoint->RemoveAll();
            m_payload.pPlateCell->RemoveAll();
            m_payload.pSolidCell->RemoveAll();
        }
        int bFound = 0;
        GetLclDirForSumByPlane(pRec->aAxis[i], pRec->aPlane[i], pGrid, bFound);
        // Synchronous: every listener has the payload of this plane before the next is cut.
        if (m_payload.pPlane && bFound)
            CNotifyListener::NotifyUpdate(i, *m_payload.pPlane, *m_payload.pPoint, *m_payload.pPlateCell,
                                          *m_payload.pSolidCell, *m_payload.pForceSum);
        if (i != nPlane - 1)
            pGrid = vtkSmartPointer<vtkUnstructuredGrid>::New();
    }

    const TClock::time_point tAppend = TClock::now();
    if (m_pAppendFilter->GetNumberOfInputConnections(0) > 0) {
        m_pAppendFilter->Update();
        m_pDataSetPst->DeepCopy(m_pAppendFilter->GetOutput());
    }
    AddSeconds(m_dPhaseSeconds[kPhaseAppend], tAppend);
    const TClock::time_point tSurface = TClock::now();

    vtkNew<vtkPoints> pPoints;
    pPoints->SetDataTypeToDouble();
    CPVSModelDataFEM* pMD = GetMDTCtrl();
    if (pRec->nCompCount == 0 && pMD) {
        // The wire mesh of the whole model.
        pGrid->Initialize();
        pGrid->Allocate(10000, 5000);
        std::unordered_map<unsigned int, vtkIdType> mNodePt;
        mNodePt.reserve(1000003);
        vtkIdType nNextId = 0;
        pMD->BeginMeshMode();
        for (int m = 0; m < pMD->GetMeshCount(); ++m) {
            pMD->SetCurrentMesh(m);
            for (int e = 0; e < pMD->GetElemNum(); ++e) {
                const unsigned int nElemK = pMD->GetElemK(e);
                T_ELEM_D elem;
                if (!pMD->GetElemD(nElemK, elem) || !ElementCellFits(elem.nCellType, elem.GetNumberOfNodes()))
                    continue;
                const auto pCell = vtkSmartPointer<vtkCell>::Take(pMD->CreateCell(nElemK));
                if (!pCell)
                    continue;
                for (int j = 0; j < elem.GetNumberOfNodes(); ++j) {
                    auto [it, bNew] = mNodePt.emplace(elem.aNodeK[j], nNextId);
                    if (bNew) {
                        T_NODE_D node;
                        pMD->GetNodeD(elem.aNodeK[j], node);
                        pPoints->InsertPoint(nNextId++, node.dXyz);
                    }
                    pCell->GetPointIds()->SetId(j, it->second);
                }
                if (pCell->GetCellType() == VTK_QUADRATIC_EDGE) {
                    const vtkIdType a[2] = {pCell->GetPointId(0), pCell->GetPointId(1)};
                    const vtkIdType b[2] = {pCell->GetPointId(1), pCell->GetPointId(2)};
                    pGrid->InsertNextCell(VTK_LINE, 2, a);
                    pGrid->InsertNextCell(VTK_LINE, 2, b);
                } else {
                    pGrid->InsertNextCell(pCell->GetCellType(), pCell->GetPointIds());
                }
            }
        }
        pGrid->SetPoints(pPoints);
        pMD->EndMeshMode();
    }

    vtkNew<vtkQuadraticDataSetSurfaceFilter> pSurface;
    vtkNew<vtkPolyData> pSurfaceOut;
    m_surface.Make(pGrid, pSurface, pSurfaceOut);
    m_pDataSetPre->DeepCopy(pSurfaceOut);
    AddSeconds(m_dPhaseSeconds[kPhaseSurface], tSurface);

    // The base would release the filter again at destruction: forget it once released.
    m_pAppendFilter->Delete();
    m_pAppendFilter = nullptr;
    return 1;
}

template <class VDATA, class RECORD, class AXIS, class PLANEREC>
int CPVSVisualMethodLDFSCore<VDATA, RECORD, AXIS, PLANEREC>::GetLclDirForSumByPlane(AXIS& axis,
                                                                                   T_PVIST_PLNE_D& plane,
                                                                                   vtkUnstructuredGrid* pGrid,
                                                                                   int& bFound)
{
    VDATA* pVD = GetLdfsVData();
    RECORD* pRec = GetRecord();
    if (!pVD || !pRec || !pGrid)
        return 1;
    const bool bPlate = pRec->nCutKind == 1;
    const bool bDesign = m_payload.pPlane != nullptr;
    CDBDoc* pDoc = GetDBDoc();

    // The index is built for the grid every plane cuts and kept while its shape is the same:
    // the cuts read new values from the grid itself.
    if (!m_cutIndex.Matches(pGrid)) {
        const TClock::time_point tIndex = TClock::now();
        m_cutIndex.Build(pGrid);
        AddSeconds(m_dPhaseSeconds[kPhaseIndex], tIndex);
    }
    const TClock::time_point tCut = TClock::now();
    // The axis rows as unit vectors, at any finite length (a normal of length 2 would double
    // every traction). A zero or non-finite row stays as given: a zero normal cuts nothing, so the
    // plane gets no result. The cut takes the normal row as given, so that an exact normal such
    // as (1, 1, 1) decides sides as exactly as the unit normal of a node layer does.
    double dAxis[3][3];
    for (int r = 0; r < 3; ++r)
        if (!kvpvs::planecut::UnitDirection(axis.dAxis[r], dAxis[r]))
            std::copy_n(axis.dAxis[r], 3, dAxis[r]);
    kvpvs::planecut::PlaneCut cut;
    kvpvs::planecut::CutGridByPlane(pGrid, m_cutIndex, plane.dOrigin, axis.dAxis[0], cut);
    vtkPolyData* pOutput = cut.pOutput;
    AddSeconds(m_dPhaseSeconds[kPhaseCut], tCut);
    const TClock::time_point tIntegrate = TClock::now();

    const CCutElements elems(pDoc ? pDoc->GetModelDB() : nullptr, CellElemMap(pVD, bPlate));
    // The unit control is the document's for the whole cut: looked up once, not per coordinate.
    CUnitCtrl* pUnit = CDocCtrl::GetUnitCtrl(pDoc);
    const kvpvs::planecut::LengthOutFn lengthOut = [pUnit](double d) {
        return pUnit ? pUnit->ConvertUnitLengthOut(d) : d;
    };
    CPayloadCells payloadCells(elems, m_payload);
    CPayloadCells* pPayload = bDesign ? &payloadCells : nullptr;
    const kvpvs::planecut::CutSums sums = IntegrateCut<VDATA>(bPlate, cut, lengthOut, elems, pPayload, dAxis);

    // Sums or a centre that are not finite (finite values can overflow) are no result: never
    // inf or nan in the legend, the report or a broadcast.
    bool bResult = sums.bCentre;
    for (int k = 0; k < 6 && bResult; ++k)
        bResult = std::isfinite(sums.dSum[k]) && (k >= 3 || std::isfinite(sums.dCentre[k]));
    bFound = bResult ? 1 : 0;
    if (bResult) {
        if (bDesign)
            SetPayloadPlane(sums, axis, plane, pDoc, m_payload);
        for (int k = 0; k < 6; ++k)
            m_aValue[k].Add(sums.dSum[k]);
        PLANEREC rec;
        for (int k = 0; k < 3; ++k) {
            rec.dCentre[k] = sums.dCentre[k];
            rec.dXDir[k] = plane.dNormal[k];
            rec.dYDir[k] = axis.dAxis[1][k];
        }
        rec.strName = axis.strName;
        m_aPlaneResult.Add(rec);
    }

    // Drawn: the plate mode's segments or the solid mode's polygons, every one of them.
    if (bPlate)
        pOutput->SetPolys(nullptr);
    else
        pOutput->SetLines(nullptr);
    if (m_pAppendFilter)
        m_pAppendFilter->AddInputData(pOutput);
    AddSeconds(m_dPhaseSeconds[kPhaseIntegrate], tIntegrate);
    return 1;
}

template <class VDATA, class RECORD, class AXIS, class PLANEREC>
int CPVSVisualMethodLDFSCore<VDATA, RECORD, AXIS, PLANEREC>::MakeVectorPoint(const double dStart[3],
                                                                            const double dDir[3], const double*,
                                                                            CArray<C3DPoint, C3DPoint&>& aSeg,
                                                                            double dLength)
{
    if (aSeg.GetSize() < 2)
        aSeg.SetSize(2);
    aSeg[0] = C3DPoint(dStart[0], dStart[1], dStart[2]);
    CPVSUtilFunc::GetVectorDirectionPoint(dDir, std::fabs(dLength), 1.0, aSeg[0], aSeg[1]);
    return 1;
}

template <class VDATA, class RECORD, class AXIS, class PLANEREC>
int CPVSVisualMethodLDFSCore<VDATA, RECORD, AXIS, PLANEREC>::MakeVectorGeom(vtkPoints* pPoints,
                                                                           vtkCellArray* pCells, int& nPointId,
                                                                           CArray<C3DPoint, C3DPoint&>& aSeg)
{
    if (aSeg.GetSize() != 2 || !pPoints || !pCells)
        return 0;
    const vtkIdType ids[2] = {nPointId, nPointId + 1};
    pPoints->InsertPoint(ids[0], aSeg[0].x, aSeg[0].y, aSeg[0].z);
    pPoints->InsertPoint(ids[1], aSeg[1].x, aSeg[1].y, aSeg[1].z);
    pCells->InsertNextCell(2, ids);
    nPointId += 2;
    return 1;
}

template <class VDATA, class RECORD, class AXIS, class PLANEREC>
int CPVSVisualMethodLDFSCore<VDATA, RECORD, AXIS, PLANEREC>::Render(CPVSRendererBase* pRenderer)
{
    // An entry of the host's: a drawing that fails gives Render's failure value.
    try {
        return DrawCuts(pRenderer);
    } catch (...) {
        return 0;
    }
}

template <class VDATA, class RECORD, class AXIS, class PLANEREC>
int CPVSVisualMethodLDFSCore<VDATA, RECORD, AXIS, PLANEREC>::DrawCuts(CPVSRendererBase* pRenderer)
{
    if (!pRenderer)
        return 0;
    T_PVIST_ALL_D* pVS = GetVS();
    T_PVIST_ALL_D vsDefault;
    if (!pVS)
        pVS = &vsDefault;
    double r = 0, g = 0, b = 0;
    CPVSUtilFunc::GetRgbF(CPostVisualState::Instance()->GetCurrentPE()->nColor, r, g, b);
    pRenderer->DrawDataSet(GetDataSetPst(), Quantity_Color(r, g, b, Quantity_TOC_RGB), 2);
    CPVSUtilFunc::GetRgbF(pVS->nColor, r, g, b);
    pRenderer->DrawDataSet(GetDataSetPre(), Quantity_Color(r, g, b, Quantity_TOC_RGB), pVS->nDispMode, 1, 6);
    if (m_pDataSetInactive)
        m_pDataSetInactive->Initialize();

    if (m_aPlaneResult.GetSize() != m_aValue[0].GetSize())
        return 0;
    RECORD* pRec = GetRecord();

    CPVSMeshMngrBrdgBase* pBridge = CPVSMeshMngrBrdgBase::m_pMySelf;
    double L = 0.0;
    if (pBridge) {
        double bb[6];
        pBridge->GetBounds(bb);
        const double p0[3] = {bb[0], bb[2], bb[4]}, p1[3] = {bb[1], bb[3], bb[5]};
        L = CMathFunc::mathLength(p0, p1) / 10.0;
        if (pRec && std::fabs(pRec->dArrowScale) > kTiny)
            L *= pRec->dArrowScale;
    }

    CPVSLegendObjectUserDefMode::m_arLegendDesc.RemoveAll();
    vtkNew<vtkPoints> pPts[3];
    vtkNew<vtkCellArray> pCells[3];
    int nIds[3] = {0, 0, 0};
    for (auto& p : pPts)
        p->SetDataTypeToDouble();
    CArray<gp_Pnt, gp_Pnt&> aPos;
    CArray<CString, CString&> aText;
    CArray<C3DPoint, C3DPoint&> aSeg;
    for (int i = 0; i < m_aPlaneResult.GetSize(); ++i) {
        PLANEREC& pr = m_aPlaneResult[i];
        double X[3] = {pr.dXDir[0], pr.dXDir[1], pr.dXDir[2]}, Y[3] = {pr.dYDir[0], pr.dYDir[1], pr.dYDir[2]};
        kvpvs::planecut::UnitDirection(pr.dXDir, X);
        kvpvs::planecut::UnitDirection(pr.dYDir, Y);
        const double gz[3] = {0, 0, 1}, gx[3] = {1, 0, 0};
        double ang = CMathFunc::mathCrossAngle(X, gz);
        if (ang > 90.0)
            ang -= 180.0;
        const double* ref = std::fabs(ang) < 10.0 ? gx : gz;
        double up[3];
        CMathFunc::mathCross(X, ref, up);
        CMathFunc::mathNormalize(up);
        double Z[3];
        CMathFunc::mathCross(X, Y, Z);
        kvpvs::planecut::UnitDirection(Z, Z);
        const double* dirs[3] = {X, Y, Z};
        // Without a live bridge there is no model size to scale the axes by: no axes.
        for (int a = 0; a < 3 && pBridge; ++a) {
            aSeg.SetSize(2);
            if (MakeVectorPoint(pr.dCentre, dirs[a], up, aSeg, L))
                MakeVectorGeom(pPts[a], pCells[a], nIds[a], aSeg);
        }
        gp_Pnt pos(pr.dCentre[0], pr.dCentre[1], pr.dCentre[2]);
        aPos.Add(pos);
        CString name = pr.strName;
        aText.Add(name);
        CString line;
        line.Format("%s(Fx:%.2e, Fy:%.2e, Fz:%.2e, Mx:%.2e, My:%.2e, Mz:%.2e)", pr.strName.GetString(),
                    m_aValue[0][i], m_aValue[1][i], m_aValue[2][i], m_aValue[3][i], m_aValue[4][i], m_aValue[5][i]);
        CPVSLegendObjectUserDefMode::m_arLegendDesc.Add(line);
    }
    const double rgb[3][3] = {{1, 0, 0}, {0, 1, 0}, {0, 0, 1}};
    for (int a = 0; a < 3; ++a) {
        vtkNew<vtkPolyData> pGroup;
        pGroup->SetPoints(pPts[a]);
        pGroup->SetPolys(pCells[a]);
        const Quantity_Color col(rgb[a][0], rgb[a][1], rgb[a][2], Quantity_TOC_RGB);
        if (a == 0 && m_pDataSetInactive) {
            m_pDataSetInactive->DeepCopy(pGroup);
            pRenderer->DrawDataSet(GetDataSetInactive(), col, 3, 1, 6);
        } else {
            pRenderer->DrawDataSet(pGroup, col, 3, 1, 6);
        }
    }
    CPVSUtilFunc::GetRgbF(pVS->nLabelColor, r, g, b);
    const double dSize = (pVS->nFontSize / 25.0) * ICustomSetting::Instance()->GetLabelSizeFactor();
    pRenderer->DrawLabels(aPos, aText, 0, dSize, Quantity_Color(r, g, b, Quantity_TOC_RGB));

    if (pRec && pRec->bIncludeText)
        TextLclDirForSum();
    return 1;
}

template <class VDATA, class RECORD, class AXIS, class PLANEREC>
int CPVSVisualMethodLDFSCore<VDATA, RECORD, AXIS, PLANEREC>::TextLclDirForSum()
{
    RECORD* pRec = GetRecord();
    if (!pRec || pRec->nCompCount == 0)
        return 0;
    CDBDoc* pDoc = CDBDoc::GetDocPoint();
    if (!pDoc)
        return 0;
    const BOOL bAppend = ReportAppends(*pRec);
    CFileCtrl fc;
    fc.SetFilePathNameExt(pDoc->GetPathName());
    CString strPath;
    strPath.Format("%sLdfsFile.txt", fc.GetFilePath().GetString());
    FILE* f = AfxTextFOpen(strPath, bAppend ? "at" : "wt");
    if (!f)
        return 0;

    CDBBase* pPostDB = pDoc->GetPostDB();
    CClassPVtif clsPVtif(pPostDB);
    CClassPLsif clsPLsif(pPostDB);
    CClassPOsif clsPOsif(pPostDB);
    T_PVTIF_D row;
    bool bRow = false;
    for (int c = 0; c < 12 && !bRow; ++c)
        bRow = clsPVtif.Get(static_cast<unsigned int>(pRec->nCompPVtifK[c]), row);
    T_PLSIF_D step;
    T_POSIF_D set;
    if (!bRow || !clsPLsif.Get(row.nStepK, step) || !clsPOsif.Get(step.nOsifK, set)) {
        std::fclose(f);
        return 0;
    }

    CString strForce = "", strLength = "";
    if (CUnitCtrl* pUnit = CDocCtrl::GetUnitCtrl(pDoc)) {
        pUnit->GetUnitSystemForce(strForce);
        pUnit->GetUnitSystemLength(strLength);
    }
    if (!bAppend) {
        std::fprintf(f, "-------------------------------------------------------\n");
        std::fprintf(f, " LOCAL DIRECTION FORCE SUM RESULT  \n");
        std::fprintf(f, "-------------------------------------------------------\n");
        std::fprintf(f, "                                          unit: %s, %s\n", strForce.GetString(),
                     strLength.GetString());
    }
    std::fprintf(f, "** Analysis Set  : %s\r\n", set.strName.GetString());
    std::fprintf(f, "** Analysis Step : %s\r\n", step.strName.GetString());
    for (int i = 0; i < m_aPlaneResult.GetSize() && i < m_aValue[0].GetSize(); ++i) {
        PLANEREC& pr = m_aPlaneResult[i];
        double X[3] = {pr.dXDir[0], pr.dXDir[1], pr.dXDir[2]};
        double Y[3] = {pr.dYDir[0], pr.dYDir[1], pr.dYDir[2]};
        double Z[3];
        // Rows of any finite length, as unit vectors; Z from the stored directions' units.
        kvpvs::planecut::UnitDirection(pr.dXDir, X);
        kvpvs::planecut::UnitDirection(pr.dYDir, Y);
        CMathFunc::mathCross(X, Y, Z);
        kvpvs::planecut::UnitDirection(Z, Z);
        std::fprintf(f, " \r\n");
        std::fprintf(f, " * Plane Name : %s\r\n", pr.strName.GetString());
        std::fprintf(f, " * Center Position : X=%.8g Y=%.8g Z=%.8g\r\n", LengthOut(pDoc, pr.dCentre[0]),
                     LengthOut(pDoc, pr.dCentre[1]), LengthOut(pDoc, pr.dCentre[2]));
        std::fprintf(f, " * X Direction : %.8g,%.8g,%.8g\r\n", X[0], X[1], X[2]);
        std::fprintf(f, " * Y Direction : %.8g,%.8g,%.8g\r\n", Y[0], Y[1], Y[2]);
        std::fprintf(f, " * Z Direction : %.8g,%.8g,%.8g\r\n", Z[0], Z[1], Z[2]);
        std::fprintf(f, " * Result \r\n");
        std::fprintf(f, "   Fx: %14.4e   Mx: %14.4e\r\n", m_aValue[0][i], m_aValue[3][i]);
        std::fprintf(f, "   Fy: %14.4e   My: %14.4e\r\n", m_aValue[1][i], m_aValue[4][i]);
        std::fprintf(f, "   Fz: %14.4e   Mz: %14.4e\r\n", m_aValue[2][i], m_aValue[5][i]);
        std::fprintf(f, "\n");
    }
    std::fclose(f);
    if (ReportOpensEditor(*pRec))
        CDBLib::RunTextEditor(strPath, "Local Direction Force Sum", 0);
    return 1;
}

template class CPVSVisualMethodLDFSCore<CPVSVisualDataLDFS, T_VD_LCLDIRSUM_HOB_D, T_VD_LCLDIRSUM_HOB_BASE_D,
                                        T_LCLDIR_PLNE_D>;
template class CPVSVisualMethodLDFSCore<CPVSVisualDataLDFSD, T_VD_LCLDIRSUM_KVR_D, T_VD_LCLDIRSUM_KVR_BASE_D,
                                        T_LCLDIR_PLNE_KVR_D>;

CPVSVisualMethodLDFS::CPVSVisualMethodLDFS(T_VM_PARAM_D& param) : CPVSVisualMethodLDFSCore(param) {}

CPVSVisualMethodLDFSD::CPVSVisualMethodLDFSD(T_VM_PARAM_D& param) : CPVSVisualMethodLDFSCore(param)
{
    m_payload.pPlane = &m_BroadcastPlane;
    m_payload.pPoint = &m_mPointInfo;
    m_payload.pPlateCell = &m_mPlateCellInfo;
    m_payload.pSolidCell = &m_mSolidCellInfo;
    m_payload.pForceSum = &m_ForceSum;
}
