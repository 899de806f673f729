#include "visualmethods/CPVSVisualMethodLDFS.h"
#include "visualmethods/CPVSVisualMethodLDFSD.h"

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
#include <vtkContourValues.h>
#include <vtkDoubleArray.h>
#include <vtkGenericCell.h>
#include <vtkHexahedron.h>
#include <vtkIdList.h>
#include <vtkIncrementalPointLocator.h>
#include <vtkMarchingCubesTriangleCases.h>
#include <vtkMergePoints.h>
#include <vtkNew.h>
#include <vtkPlane.h>
#include <vtkPointData.h>
#include <vtkPoints.h>
#include <vtkPolyData.h>
#include <vtkSmartPointer.h>
#include <vtkUnsignedCharArray.h>
#include <vtkUnstructuredGrid.h>

#include <algorithm>
#include <memory>
#include <chrono>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <unordered_map>
#include <vector>

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

// A fan triangle of a solid cut counts when no edge is shorter than 1e-12 and the angle at p0,
// folded into [-90, 90] degrees, is at least one degree: slivers would spoil the centre.
bool TriangleCounts(const double p0[3], const double p1[3], const double p2[3])
{
    if (CMathFunc::mathLength(p0, p1) < 1e-12 || CMathFunc::mathLength(p1, p2) < 1e-12 ||
        CMathFunc::mathLength(p0, p2) < 1e-12)
        return false;
    double e1[3] = {p1[0] - p0[0], p1[1] - p0[1], p1[2] - p0[2]};
    double e2[3] = {p2[0] - p0[0], p2[1] - p0[1], p2[2] - p0[2]};
    CMathFunc::mathNormalize(e1);
    CMathFunc::mathNormalize(e2);
    double a = CMathFunc::mathCrossAngle(e1, e2);
    if (a > 90.0)
        a -= 180.0;
    return std::fabs(a) >= 1.0;
}

// The contour of one linear hexahedron at value v, step for step as vtkHexahedron::Contour
// forms it: the marching-cubes case of the corner values, each edge interpolated from its
// lower-valued end (x = x1 + t (x2 - x1)), points merged by the locator, triangles with a
// repeated point dropped. Read from the grid's own arrays instead of a copied generic cell, so
// points, their order, the interpolated values and the triangles are those of the cell path.
template <class MERGE>
void ContourHexahedron(double v, const double s[8], const vtkIdType* pCellPts, const double* pXyz, vtkIdType nCellId,
                       MERGE& merge, vtkCellArray* pVerts, vtkCellArray* pLines, vtkCellArray* pPolys,
                       vtkPointData* pInPd, vtkPointData* pOutPd, vtkCellData* pInCd, vtkCellData* pOutCd)
{
    int index = 0;
    for (int i = 0; i < 8; ++i)
        if (s[i] >= v)
            index |= 1 << i;
    const EDGE_LIST* edge = vtkMarchingCubesTriangleCases::GetCases()[index].edges;
    if (edge[0] < 0)
        return;
    const vtkIdType nOffset = pVerts->GetNumberOfCells() + pLines->GetNumberOfCells();
    for (; edge[0] > -1; edge += 3) {
        vtkIdType pts[3];
        for (int i = 0; i < 3; ++i) {
            const vtkIdType* vert = vtkHexahedron::GetEdgeArray(edge[i]);
            double dDelta = s[vert[1]] - s[vert[0]];
            vtkIdType v1 = vert[0], v2 = vert[1];
            if (!(dDelta > 0)) {
                v1 = vert[1];
                v2 = vert[0];
                dDelta = -dDelta;
            }
            const double t = dDelta == 0.0 ? 0.0 : (v - s[v1]) / dDelta;
            const double* x1 = pXyz + 3 * pCellPts[v1];
            const double* x2 = pXyz + 3 * pCellPts[v2];
            double x[3];
            for (int j = 0; j < 3; ++j)
                x[j] = x1[j] + t * (x2[j] - x1[j]);
            if (merge.InsertUniquePoint(x, pts[i]))
                pOutPd->InterpolateEdge(pInPd, pts[i], pCellPts[v1], pCellPts[v2], t);
        }
        if (pts[0] != pts[1] && pts[0] != pts[2] && pts[1] != pts[2]) {
            const vtkIdType nNew = nOffset + pPolys->InsertNextCell(3, pts);
            pOutCd->CopyData(pInCd, nCellId, nNew);
        }
    }
}

// Point merging by exact coordinates, as vtkMergePoints merges: a point equal (==) in all three
// coordinates to one inserted before gets that point's id, any other the next id. An open-
// addressed table in place of the locator's buckets, which a plane's thin slice of the grid's
// bounds overfills; ids, order and coordinates of the points are the locator's.
class CExactMerge {
public:
    explicit CExactMerge(vtkPoints* pPoints) : m_pPoints(pPoints), m_aSlot(1024, -1) {}
    bool InsertUniquePoint(const double x[3], vtkIdType& nId)
    {
        size_t h = Hash(x) & (m_aSlot.size() - 1);
        for (;; h = (h + 1) & (m_aSlot.size() - 1)) {
            const vtkIdType nOld = m_aSlot[h];
            if (nOld < 0)
                break;
            const double* p = &m_aXyz[3 * static_cast<size_t>(nOld)];
            if (p[0] == x[0] && p[1] == x[1] && p[2] == x[2]) {
                nId = nOld;
                return false;
            }
        }
        nId = static_cast<vtkIdType>(m_aXyz.size() / 3);
        m_aXyz.insert(m_aXyz.end(), x, x + 3);
        m_aSlot[h] = nId;
        m_pPoints->InsertPoint(nId, x);
        if (2 * m_aXyz.size() / 3 > m_aSlot.size())
            Grow();
        return true;
    }

private:
    // -0.0 and 0.0 compare equal, so both hash as 0.0. Grid coordinates often end in zero
    // bits: the 64-bit finaliser spreads the high bits into the low ones the table uses.
    static size_t Hash(const double x[3])
    {
        std::uint64_t h = 0;
        for (int k = 0; k < 3; ++k) {
            const double d = x[k] + 0.0;
            std::uint64_t b = 0;
            std::memcpy(&b, &d, sizeof b);
            h = (h ^ b) * 0x9E3779B97F4A7C15ull;
            h ^= h >> 29;
        }
        h ^= h >> 33;
        h *= 0xFF51AFD7ED558CCDull;
        h ^= h >> 33;
        h *= 0xC4CEB9FE1A85EC53ull;
        h ^= h >> 33;
        return static_cast<size_t>(h);
    }
    void Grow()
    {
        m_aSlot.assign(m_aSlot.size() * 2, -1);
        const size_t nMask = m_aSlot.size() - 1;
        for (size_t i = 0; i < m_aXyz.size() / 3; ++i) {
            size_t h = Hash(&m_aXyz[3 * i]) & nMask;
            while (m_aSlot[h] >= 0)
                h = (h + 1) & nMask;
            m_aSlot[h] = static_cast<vtkIdType>(i);
        }
    }
    vtkPoints* m_pPoints;
    std::vector<vtkIdType> m_aSlot;
    std::vector<double> m_aXyz;
};

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

template <class VDATA, class RECORD, class AXIS, class PLANEREC>
int CPVSVisualMethodLDFSCore<VDATA, RECORD, AXIS, PLANEREC>::Process()
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

    m_bRunBoxReuse = TRUE;
    m_aRunBox.clear();
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
            m_bRunBoxReuse = FALSE;
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

    m_bRunBoxReuse = FALSE;
    m_aRunBox.clear();
    const TClock::time_point tAppend = TClock::now();
    if (m_pAppendFilter->GetNumberOfInputConnections(0) > 0) {
        m_pAppendFilter->Update();
        m_pDataSetPst->DeepCopy(m_pAppendFilter->GetOutput());
    }
    AddSeconds(m_dPhaseSeconds[kPhaseCut], tAppend);
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
                if (!pMD->GetElemD(nElemK, elem))
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
    pSurface->SetInputData(pGrid);
    pSurface->Update();
    m_pDataSetPre->DeepCopy(pSurface->GetOutput());
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
    const TClock::time_point tCut = TClock::now();

    // Cutter set-up, sized as the general cutter sizes its output.
    vtkNew<vtkPolyData> pOutput;
    vtkNew<vtkContourValues> pValues;
    pValues->SetValue(0, 0.0);
    vtkNew<vtkPlane> pPlane;
    pPlane->SetOrigin(plane.dOrigin);
    pPlane->SetNormal(axis.dAxis[0][0], axis.dAxis[0][1], axis.dAxis[0][2]);
    const vtkIdType nCells = pGrid->GetNumberOfCells();
    const int nContours = pValues->GetNumberOfContours();
    vtkIdType nEstimate = static_cast<vtkIdType>(std::pow(static_cast<double>(nCells), 0.75)) * nContours;
    nEstimate = nEstimate / 1024 * 1024;
    if (nEstimate < 1024)
        nEstimate = 1024;
    vtkNew<vtkPoints> pNewPts;
    pNewPts->SetDataTypeToDouble();
    pNewPts->Allocate(nEstimate, nEstimate / 2);
    vtkNew<vtkCellArray> pVerts;
    vtkNew<vtkCellArray> pLines;
    vtkNew<vtkCellArray> pPolys;
    pVerts->AllocateEstimate(nEstimate, 1);
    pLines->AllocateEstimate(nEstimate, 2);
    pPolys->AllocateEstimate(nEstimate, 3);
    vtkPointData* pInPd = pGrid->GetPointData();
    vtkCellData* pInCd = pGrid->GetCellData();
    vtkPointData* pOutPd = pOutput->GetPointData();
    vtkCellData* pOutCd = pOutput->GetCellData();
    pOutPd->InterpolateAllocate(pInPd, nEstimate, nEstimate / 2);
    pOutCd->CopyAllocate(pInCd, nEstimate, nEstimate / 2);
    vtkNew<vtkMergePoints> pLocator;

    // The cut scalars, n . (x - o) as vtkPlane::EvaluateFunction forms it, read straight from
    // the grid's double coordinates when it holds them.
    const vtkIdType nPts = pGrid->GetNumberOfPoints();
    // Every entry is written below: no zero fill.
    const auto pCutBuf = std::make_unique_for_overwrite<double[]>(static_cast<size_t>(std::max<vtkIdType>(nPts, 1)));
    double* const aCut = pCutBuf.get();
    double dN[3], dO[3];
    pPlane->GetNormal(dN);
    pPlane->GetOrigin(dO);
    vtkDoubleArray* pXyz = pGrid->GetPoints() ? vtkDoubleArray::SafeDownCast(pGrid->GetPoints()->GetData()) : nullptr;
    if (pXyz && pXyz->GetNumberOfComponents() == 3) {
        const double* x = pXyz->GetPointer(0);
        for (vtkIdType p = 0; p < nPts; ++p, x += 3)
            aCut[static_cast<size_t>(p)] = dN[0] * (x[0] - dO[0]) + dN[1] * (x[1] - dO[1]) + dN[2] * (x[2] - dO[2]);
    } else {
        for (vtkIdType p = 0; p < nPts; ++p) {
            double x[3];
            pGrid->GetPoint(p, x);
            aCut[static_cast<size_t>(p)] = pPlane->EvaluateFunction(x);
        }
    }

    std::unordered_map<vtkIdType, unsigned int> mLineElem, mPolyElem;
    if (bPlate)
        mLineElem.reserve(static_cast<size_t>(std::max<vtkIdType>(1, nCells / 5)));
    vtkNew<vtkGenericCell> pCell;
    vtkNew<vtkDoubleArray> pCellScalars;
    std::vector<double> aContour(static_cast<size_t>(nContours));
    for (int iv = 0; iv < nContours; ++iv)
        aContour[static_cast<size_t>(iv)] = pValues->GetValue(iv);
    // The cells' point lists straight from the grid's 64-bit cell storage when it uses it.
    vtkCellArray* pGridCells = pGrid->GetCells();
    const bool bDirect = pGridCells && pGridCells->IsStorage64Bit();
    const vtkTypeInt64* pOffsets = bDirect ? pGridCells->GetOffsetsArray64()->GetPointer(0) : nullptr;
    const vtkTypeInt64* pConn = bDirect ? pGridCells->GetConnectivityArray64()->GetPointer(0) : nullptr;
    static_assert(sizeof(vtkIdType) == sizeof(vtkTypeInt64));
    // Linear hexahedra on double coordinates are contoured from the grid's arrays directly.
    vtkUnsignedCharArray* pTypeArr = pGrid->GetCellTypesArray();
    const unsigned char* pTypes = bDirect && pTypeArr ? pTypeArr->GetPointer(0) : nullptr;
    const double* pXyzFast = pXyz && pXyz->GetNumberOfComponents() == 3 ? pXyz->GetPointer(0) : nullptr;
    // The segments or polygons a cell added belong to its element (plate; design solid).
    auto mapCutToElem = [&](vtkIdType c, vtkIdType nLines0, vtkIdType nPolys0) {
        unsigned int nElemK = 0;
        if (bPlate) {
            if (pVD->m_mCellElemK.Lookup(static_cast<int>(c), nElemK))
                for (vtkIdType l = nLines0; l < pLines->GetNumberOfCells(); ++l)
                    mLineElem[l] = nElemK;
        } else if constexpr (std::is_same_v<VDATA, CPVSVisualDataLDFSD>) {
            if (pVD->m_mSolidCellElemK.Lookup(static_cast<int>(c), nElemK))
                for (vtkIdType l = nPolys0; l < pPolys->GetNumberOfCells(); ++l)
                    mPolyElem[l] = nElemK;
        }
    };
    // A grid of linear hexahedra alone merges its cut points in the exact-coordinate table;
    // any other cell's contour needs the locator, and then every cell uses it.
    bool bAllHex = pTypes && pXyzFast;
    for (vtkIdType c = 0; c < nCells && bAllHex; ++c)
        bAllHex = pTypes[c] == VTK_HEXAHEDRON && pOffsets[c + 1] - pOffsets[c] == 8;
    CExactMerge exactMerge(pNewPts);
    if (!bAllHex) {
        // Sized for the cut, not the default 50^3 buckets: merging is by exact coordinates, so
        // the bucket layout does not change which points merge or their ids.
        pLocator->InitPointInsertion(pNewPts, pGrid->GetBounds(), nEstimate);
    }
    auto cutCell = [&](vtkIdType c) {
        vtkIdType nCellPts = 0;
        const vtkIdType* pCellPts = nullptr;
        if (bDirect) {
            nCellPts = static_cast<vtkIdType>(pOffsets[c + 1] - pOffsets[c]);
            pCellPts = reinterpret_cast<const vtkIdType*>(pConn + pOffsets[c]);
        } else {
            pGrid->GetCellPoints(c, nCellPts, pCellPts);
        }
        if (nCellPts == 0)
            return;
        double dMin = aCut[static_cast<size_t>(pCellPts[0])], dMax = dMin;
        for (vtkIdType j = 1; j < nCellPts; ++j) {
            const double w = aCut[static_cast<size_t>(pCellPts[j])];
            dMin = std::min(dMin, w);
            dMax = std::max(dMax, w);
        }
        for (int iv = 0; iv < nContours; ++iv) {
            const double v = aContour[static_cast<size_t>(iv)];
            if (!(dMin <= v && v <= dMax))
                continue;
            if (pTypes && pXyzFast && nCellPts == 8 && pTypes[c] == VTK_HEXAHEDRON) {
                double s[8];
                for (int j = 0; j < 8; ++j)
                    s[j] = aCut[static_cast<size_t>(pCellPts[j])];
                const vtkIdType nLines0 = pLines->GetNumberOfCells();
                const vtkIdType nPolys0 = pPolys->GetNumberOfCells();
                if (bAllHex)
                    ContourHexahedron(v, s, pCellPts, pXyzFast, c, exactMerge, pVerts, pLines, pPolys, pInPd, pOutPd,
                                      pInCd, pOutCd);
                else
                    ContourHexahedron(v, s, pCellPts, pXyzFast, c, *pLocator, pVerts, pLines, pPolys, pInPd, pOutPd,
                                      pInCd, pOutCd);
                mapCutToElem(c, nLines0, nPolys0);
                continue;
            }
            pGrid->GetCell(c, pCell);
            pCellScalars->SetNumberOfTuples(nCellPts);
            for (vtkIdType j = 0; j < nCellPts; ++j)
                pCellScalars->SetValue(j, aCut[static_cast<size_t>(pCellPts[j])]);
            const vtkIdType nLines0 = pLines->GetNumberOfCells();
            const vtkIdType nPolys0 = pPolys->GetNumberOfCells();
            pCell->Contour(v, pCellScalars, pLocator, pVerts, pLines, pPolys, pInPd, pOutPd, pInCd, c, pOutCd);
            mapCutToElem(c, nLines0, nPolys0);
        }
    };
    if (pXyzFast && bDirect) {
        // Runs of consecutive cells whose bounding box the plane misses are skipped whole. The
        // box's low corner (per axis, the end n_k weighs least) gives, by the same formula in the
        // same order, a value no larger than any of the run's corner values, since rounding is
        // monotone; the high corner likewise bounds them from above. A run is skipped only when
        // every contour value lies outside, i.e. exactly when each cell's own test would skip it.
        const std::vector<double>& aBox = RunBoxes(pGrid, pOffsets, pConn, pXyzFast);
        const vtkIdType nRuns = static_cast<vtkIdType>(aBox.size() / 6);
        for (vtkIdType r = 0; r < nRuns; ++r) {
            const double* b = &aBox[6 * static_cast<size_t>(r)];
            double lo[3], hi[3];
            for (int k = 0; k < 3; ++k) {
                lo[k] = dN[k] >= 0.0 ? b[2 * k] : b[2 * k + 1];
                hi[k] = dN[k] >= 0.0 ? b[2 * k + 1] : b[2 * k];
            }
            const double dLo = dN[0] * (lo[0] - dO[0]) + dN[1] * (lo[1] - dO[1]) + dN[2] * (lo[2] - dO[2]);
            const double dHi = dN[0] * (hi[0] - dO[0]) + dN[1] * (hi[1] - dO[1]) + dN[2] * (hi[2] - dO[2]);
            bool bMiss = true;
            for (int iv = 0; iv < nContours && bMiss; ++iv)
                bMiss = dLo > aContour[static_cast<size_t>(iv)] || dHi < aContour[static_cast<size_t>(iv)];
            if (bMiss)
                continue;
            const vtkIdType cEnd = std::min(nCells, (r + 1) * kCellRun);
            for (vtkIdType c = r * kCellRun; c < cEnd; ++c)
                cutCell(c);
        }
    } else {
        for (vtkIdType c = 0; c < nCells; ++c)
            cutCell(c);
    }
    AddSeconds(m_dPhaseSeconds[kPhaseCut], tCut);
    const TClock::time_point tIntegrate = TClock::now();

    CDBBase* pModelDB = pDoc ? pDoc->GetModelDB() : nullptr;
    CClassAttr clsAttr(pModelDB);
    CClassGpro clsGpro(pModelDB);
    CClassGmat clsGmat(pModelDB);
    CClassElem clsElem(pModelDB);
    vtkDataArray* pVal = pOutPd->GetScalars();
    const int nValComp = pVal ? pVal->GetNumberOfComponents() : 0;
    // Values and cut points read straight from double arrays when they are such.
    vtkDoubleArray* pValD = vtkDoubleArray::SafeDownCast(pVal);
    const double* pValFast = pValD && pValD->GetNumberOfTuples() > 0 ? pValD->GetPointer(0) : nullptr;
    auto readValues = [&](vtkIdType nId, int nFirst, double dOut[6]) {
        if (pValFast) {
            const double* t = pValFast + static_cast<size_t>(nId) * static_cast<size_t>(nValComp);
            for (int k = 0; k < 6; ++k)
                dOut[k] = nFirst + k < nValComp ? t[nFirst + k] : 0.0;
            return;
        }
        for (int k = 0; k < 6; ++k)
            dOut[k] = nFirst + k < nValComp ? pVal->GetComponent(nId, nFirst + k) : 0.0;
    };
    vtkDoubleArray* pCutXyzD = vtkDoubleArray::SafeDownCast(pNewPts->GetData());
    const double* pCutXyz =
        pCutXyzD && pNewPts->GetNumberOfPoints() > 0 ? pCutXyzD->GetPointer(0) : nullptr;
    auto readPoint = [&](vtkIdType nId, double p[3]) {
        if (pCutXyz)
            std::copy(pCutXyz + 3 * nId, pCutXyz + 3 * nId + 3, p);
        else
            pNewPts->GetPoint(nId, p);
    };
    // The unit control is the document's for the whole cut: looked up once, not per coordinate.
    CUnitCtrl* pUnit = CDocCtrl::GetUnitCtrl(pDoc);
    auto lengthOut = [pUnit](double d) { return pUnit ? pUnit->ConvertUnitLengthOut(d) : d; };
    auto toOut = [&](const double p[3], double q[3]) {
        for (int k = 0; k < 3; ++k)
            q[k] = lengthOut(p[k]);
    };

    double dSum[6] = {0, 0, 0, 0, 0, 0};
    double dCentre[3] = {0, 0, 0};
    bool bResult = false;
    CDenseIds denseIds;
    int nCellKey = 0;

    auto fillPlaneRecord = [&](const double dFirstMoment[3], double dTotal) {
        PLANEREC rec;
        for (int k = 0; k < 3; ++k) {
            dCentre[k] = dFirstMoment[k] / dTotal;
            rec.dCentre[k] = dCentre[k];
            rec.dXDir[k] = plane.dNormal[k];
            rec.dYDir[k] = axis.dAxis[1][k];
        }
        rec.strName = axis.strName;
        return rec;
    };

    PLANEREC planeRec;
    if (bPlate) {
        // Centre: area-weighted midpoints of the qualifying segments, area = thickness x length.
        double dTotal = 0.0, dFirst[3] = {0, 0, 0};
        vtkIdType nLine = 0;
        vtkIdType n = 0;
        const vtkIdType* pIds = nullptr;
        for (pLines->InitTraversal(); pLines->GetNextCell(n, pIds); ++nLine) {
            auto it = mLineElem.find(nLine);
            if (it == mLineElem.end() || n < 2)
                continue;
            T_ELEM_D elem;
            T_ATTR_D attr;
            T_GPRO_D gpro;
            if (!clsElem.Get(it->second, elem) || elem.nType != 4 || !clsAttr.Get(elem.nPropK, attr) ||
                !clsGpro.Get(attr.nGproK, gpro))
                continue;
            double p0[3], p1[3];
            pNewPts->GetPoint(pIds[0], p0);
            pNewPts->GetPoint(pIds[1], p1);
            const double t = gpro.dThickness;
            const double L = lengthOut(CMathFunc::mathLength(p0, p1));
            const double A = (t + t) * L / 2.0;
            dTotal += A;
            for (int k = 0; k < 3; ++k)
                dFirst[k] += A * (p0[k] + p1[k]) / 2.0;
        }
        // No area (no qualifying segment, zero thickness or length): no result, never a NaN.
        if (dTotal > 0.0 && std::isfinite(dTotal)) {
            bResult = true;
            bFound = 1;
            planeRec = fillPlaneRecord(dFirst, dTotal);
            double dRef[3];
            toOut(dCentre, dRef);
            nLine = 0;
            for (pLines->InitTraversal(); pLines->GetNextCell(n, pIds); ++nLine) {
                auto it = mLineElem.find(nLine);
                if (n != 2 || it == mLineElem.end())
                    continue;
                double dElemAxis[3][3] = {{0, 0, 0}, {0, 0, 0}, {0, 0, 0}};
                if (!clsElem.calcElemLocalVector(it->second, dElemAxis, 0))
                    continue;
                T_ELEM_D elem;
                T_ATTR_D attr;
                T_GPRO_D gpro;
                T_GMAT_D gmat;
                if (bDesign && (!clsElem.Get(it->second, elem) || elem.nType != 4 ||
                                !clsAttr.Get(elem.nPropK, attr) || !clsGpro.Get(attr.nGproK, gpro) ||
                                !clsGmat.Get(attr.nGmatK, gmat)))
                    continue;
                double dPts[2][3], dForce[2][6], dMoment[2][6];
                for (int e = 0; e < 2; ++e) {
                    double p[3];
                    pNewPts->GetPoint(pIds[e], p);
                    toOut(p, dPts[e]);
                    readValues(pIds[e], 0, dForce[e]);
                    readValues(pIds[e], 6, dMoment[e]);
                }
                if (bDesign) {
                    T_PLATE_CELL_D cell;
                    cell.nPoint1Id = denseIds.Get(pIds[0], dPts[0], *m_payload.pPoint);
                    cell.nPoint2Id = denseIds.Get(pIds[1], dPts[1], *m_payload.pPoint);
                    cell.dThickness = gpro.dThickness;
                    cell.dElasticModulus = gmat.dElast;
                    cell.dPoissonRatio = gmat.dPoisson;
                    cell.dWeightDensity = gmat.dWeight;
                    (*m_payload.pPlateCell)[nCellKey++] = cell;
                }
                double dNormal[3] = {axis.dAxis[0][0], axis.dAxis[0][1], axis.dAxis[0][2]};
                double dRes[6] = {0, 0, 0, 0, 0, 0};
                VDATA::GetLclDirForSumByLine(dRef, dPts, dNormal, dForce, dMoment, dRes, dElemAxis, axis.dAxis);
                for (int k = 0; k < 6; ++k)
                    dSum[k] += dRes[k];
            }
            for (double& s : dSum)
                if (std::fabs(s) < kTiny)
                    s = 0.0;
        }
    } else {
        double dTotal = 0.0, dFirst[3] = {0, 0, 0};
        vtkIdType n = 0;
        const vtkIdType* pIds = nullptr;
        // Whether each fan triangle counts, in traversal order, for the second pass.
        std::vector<char> aCounts;
        aCounts.reserve(static_cast<size_t>(pPolys->GetNumberOfConnectivityIds()));
        for (pPolys->InitTraversal(); pPolys->GetNextCell(n, pIds);) {
            for (vtkIdType k = 0; k + 2 < n; ++k) {
                double p0[3], p1[3], p2[3];
                readPoint(pIds[0], p0);
                readPoint(pIds[k + 1], p1);
                readPoint(pIds[k + 2], p2);
                const bool bCounts = TriangleCounts(p0, p1, p2);
                aCounts.push_back(bCounts ? 1 : 0);
                if (!bCounts)
                    continue;
                const double A = CMathFunc::mathArea(p0, p1, p2);
                dTotal += A;
                for (int d = 0; d < 3; ++d)
                    dFirst[d] += A * (p0[d] + p1[d] + p2[d]) / 3.0;
            }
        }
        if (dTotal > 0.0 && std::isfinite(dTotal)) {
            bResult = true;
            bFound = 1;
            planeRec = fillPlaneRecord(dFirst, dTotal);
            double dRef[3];
            toOut(dCentre, dRef);
            // The output-unit coordinates of each cut point, converted once.
            std::vector<double> aOut(3 * static_cast<size_t>(pNewPts->GetNumberOfPoints()));
            for (vtkIdType p = 0; p < pNewPts->GetNumberOfPoints(); ++p) {
                double x[3];
                readPoint(p, x);
                toOut(x, &aOut[3 * static_cast<size_t>(p)]);
            }
            vtkIdType nPoly = 0;
            size_t nTri = 0;
            for (pPolys->InitTraversal(); pPolys->GetNextCell(n, pIds); ++nPoly) {
                const size_t nTri0 = nTri;
                nTri += static_cast<size_t>(std::max<vtkIdType>(n - 2, 0));
                T_GMAT_D gmat;
                if (bDesign) {
                    auto it = mPolyElem.find(nPoly);
                    T_ELEM_D elem;
                    T_ATTR_D attr;
                    if (it == mPolyElem.end() || !clsElem.Get(it->second, elem) || !clsAttr.Get(elem.nPropK, attr) ||
                        !clsGmat.Get(attr.nGmatK, gmat))
                        continue;
                }
                for (vtkIdType k = 0; k + 2 < n; ++k) {
                    const vtkIdType ids[3] = {pIds[0], pIds[k + 1], pIds[k + 2]};
                    if (!aCounts[nTri0 + static_cast<size_t>(k)])
                        continue;
                    double dPts[3][3], dStress[3][6];
                    for (int e = 0; e < 3; ++e) {
                        std::copy_n(&aOut[3 * static_cast<size_t>(ids[e])], 3, dPts[e]);
                        readValues(ids[e], 0, dStress[e]);
                    }
                    if (bDesign) {
                        // Every counting fan triangle is a cell of its own.
                        T_SOLID_CELL_D cell;
                        cell.nPoint1Id = denseIds.Get(ids[0], dPts[0], *m_payload.pPoint);
                        cell.nPoint2Id = denseIds.Get(ids[1], dPts[1], *m_payload.pPoint);
                        cell.nPoint3Id = denseIds.Get(ids[2], dPts[2], *m_payload.pPoint);
                        cell.dElasticModulus = gmat.dElast;
                        cell.dPoissonRatio = gmat.dPoisson;
                        cell.dWeightDensity = gmat.dWeight;
                        (*m_payload.pSolidCell)[nCellKey++] = cell;
                    }
                    double dNormal[3] = {axis.dAxis[0][0], axis.dAxis[0][1], axis.dAxis[0][2]};
                    double dRes[6] = {0, 0, 0, 0, 0, 0};
                    VDATA::GetLclDirForSumByTriangle(dRef, dPts, dNormal, dStress, dRes, axis.dAxis);
                    for (int d = 0; d < 6; ++d)
                        dSum[d] += dRes[d];
                }
            }
        }
    }

    if (bResult) {
        if (bDesign) {
            T_FORCESUM_D& fs = *m_payload.pForceSum;
            fs.FX = dSum[0];
            fs.FY = dSum[1];
            fs.FZ = dSum[2];
            fs.MX = dSum[3];
            fs.MY = dSum[4];
            fs.MZ = dSum[5];
            T_LCLDIR_PLNE_KVR_D& bp = *m_payload.pPlane;
            bp.strName = axis.strName;
            for (int k = 0; k < 3; ++k) {
                // The listener works in output units; its Y direction is the plane's.
                bp.dCentre[k] = LengthOut(pDoc, dCentre[k]);
                bp.dXDir[k] = plane.dNormal[k];
                bp.dYDir[k] = axis.dAxis[1][k];
            }
        }
        for (int k = 0; k < 6; ++k)
            m_aValue[k].Add(dSum[k]);
        m_aPlaneResult.Add(planeRec);
    }

    pOutput->SetPoints(pNewPts);
    if (bPlate && pLines->GetNumberOfCells() > 0)
        pOutput->SetLines(pLines);
    if (!bPlate && pPolys->GetNumberOfCells() > 0)
        pOutput->SetPolys(pPolys);
    if (m_pAppendFilter)
        m_pAppendFilter->AddInputData(pOutput);

    AddSeconds(m_dPhaseSeconds[kPhaseIntegrate], tIntegrate);
    return 1;
}

template <class VDATA, class RECORD, class AXIS, class PLANEREC>
const std::vector<double>& CPVSVisualMethodLDFSCore<VDATA, RECORD, AXIS, PLANEREC>::RunBoxes(
    vtkUnstructuredGrid* pGrid, const vtkTypeInt64* pOffsets, const vtkTypeInt64* pConn, const double* pXyz)
{
    // Every plane of a Process cuts shallow copies of one kept grid, which nothing modifies while
    // the Process runs: within it the boxes are reused while the grid's arrays are the same.
    vtkObject* pPts = pGrid->GetPoints()->GetData();
    vtkObject* pCells = pGrid->GetCells();
    const T_RUN_BOX_KEY key{reinterpret_cast<std::uintptr_t>(pPts), pPts->GetMTime(),
                            reinterpret_cast<std::uintptr_t>(pCells), pCells->GetMTime(), pGrid->GetNumberOfCells()};
    if (m_bRunBoxReuse && key == m_runBoxKey && !m_aRunBox.empty())
        return m_aRunBox;
    const vtkIdType nCells = key.nCellCount;
    const vtkIdType nRuns = (nCells + kCellRun - 1) / kCellRun;
    m_aRunBox.assign(6 * static_cast<size_t>(nRuns), 0.0);
    for (vtkIdType r = 0; r < nRuns; ++r) {
        double b[6] = {HUGE_VAL, -HUGE_VAL, HUGE_VAL, -HUGE_VAL, HUGE_VAL, -HUGE_VAL};
        const vtkIdType cEnd = std::min(nCells, (r + 1) * kCellRun);
        for (vtkIdType c = r * kCellRun; c < cEnd; ++c)
            for (vtkTypeInt64 j = pOffsets[c]; j < pOffsets[c + 1]; ++j) {
                const double* x = pXyz + 3 * pConn[j];
                for (int k = 0; k < 3; ++k) {
                    b[2 * k] = std::min(b[2 * k], x[k]);
                    b[2 * k + 1] = std::max(b[2 * k + 1], x[k]);
                }
            }
        std::copy(b, b + 6, &m_aRunBox[6 * static_cast<size_t>(r)]);
    }
    m_runBoxKey = key;
    return m_aRunBox;
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
        double X[3] = {pr.dXDir[0], pr.dXDir[1], pr.dXDir[2]};
        CMathFunc::mathNormalize(X);
        const double gz[3] = {0, 0, 1}, gx[3] = {1, 0, 0};
        double ang = CMathFunc::mathCrossAngle(X, gz);
        if (ang > 90.0)
            ang -= 180.0;
        const double* ref = std::fabs(ang) < 10.0 ? gx : gz;
        double up[3];
        CMathFunc::mathCross(X, ref, up);
        CMathFunc::mathNormalize(up);
        double Z[3];
        CMathFunc::mathCross(pr.dXDir, pr.dYDir, Z);
        const double* dirs[3] = {X, pr.dYDir, Z};
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
        pUnit->GetUnitSystem(1, strForce);
        pUnit->GetUnitSystem(2, strLength);
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
        // Z from the stored directions, before they are normalised.
        CMathFunc::mathCross(X, Y, Z);
        CMathFunc::mathNormalize(X);
        CMathFunc::mathNormalize(Y);
        CMathFunc::mathNormalize(Z);
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
