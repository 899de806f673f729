#include "visualdata/CPVSVisualDataLDFS.h"

#include "planecut/cut_integration.h"
#include "visualdata/ElementCells.h"

#include "FactoryPVS.h"
#include "GlobalFunc.h"
#include "PostCtrlBase.h"
#include "PostCtrlGeoTechHelperBase.h"

#include <vtkCell.h>
#include <vtkCellArray.h>
#include <vtkDoubleArray.h>
#include <vtkIdTypeArray.h>
#include <vtkIdList.h>
#include <vtkNew.h>
#include <vtkPointData.h>
#include <vtkPoints.h>
#include <vtkSmartPointer.h>
#include <vtkUnsignedCharArray.h>
#include <vtkUnstructuredGrid.h>

#include <algorithm>
#include <cmath>
#include <iterator>
#include <unordered_map>
#include <vector>

IMPLEMENT_DYNAMIC(CPVSVisualDataLDFS, CPVSVisualDataBase)

namespace {

int HashSize(int nCount) { return std::max(nCount / 5, 1); }

bool IsSolidCellType(int t) { return t == 10 || t == 12 || t == 13 || t == 24 || t == 25 || t == 26 || t == 27; }
bool IsPlateCellType(int t) { return t == 5 || t == 9 || t == 22 || t == 23; }

// Node key -> index in the model data's node order. Keys of a model are mostly dense: a plain
// table when the largest key is within a few times the node count, a hash map otherwise.
class CNodeIndex {
public:
    CNodeIndex(CPVSModelDataFEM* pMD, int nNodeNum)
    {
        unsigned int nMax = 0;
        for (int i = 0; i < nNodeNum; ++i)
            nMax = std::max(nMax, pMD->GetNodeK(i));
        m_bTable = static_cast<size_t>(nMax) <= 4 * static_cast<size_t>(nNodeNum) + 1024;
        if (m_bTable) {
            m_aTable.assign(static_cast<size_t>(nMax) + 1, -1);
            // The first of equal keys wins, as with a map filled by emplace.
            for (int i = 0; i < nNodeNum; ++i) {
                int& r = m_aTable[pMD->GetNodeK(i)];
                if (r < 0)
                    r = i;
            }
        } else {
            m_map.reserve(static_cast<size_t>(nNodeNum));
            for (int i = 0; i < nNodeNum; ++i)
                m_map.emplace(pMD->GetNodeK(i), i);
        }
    }
    int Find(unsigned int nKey) const
    {
        if (m_bTable)
            return nKey < m_aTable.size() ? m_aTable[nKey] : -1;
        auto it = m_map.find(nKey);
        return it == m_map.end() ? -1 : it->second;
    }

private:
    bool m_bTable = false;
    std::vector<int> m_aTable;
    std::unordered_map<unsigned int, int> m_map;
};

} // namespace

template <class RECORD, class AXIS>
CPVSVisualDataLDFSCore<RECORD, AXIS>::CPVSVisualDataLDFSCore(unsigned int nType, T_VD_PARAM_D& param)
    : CPVSVisualDataBase(nType, param)
{
    m_pLdfsData = new RECORD;
    m_pLdfsData->Initialize();
    if (auto* pSrc = dynamic_cast<RECORD*>(param.pUserDefData))
        *m_pLdfsData = *pSrc;
}

template <class RECORD, class AXIS>
CPVSVisualDataLDFSCore<RECORD, AXIS>::~CPVSVisualDataLDFSCore()
{
    delete m_pLdfsData;
    DropCache();
}

template <class RECORD, class AXIS>
int CPVSVisualDataLDFSCore<RECORD, AXIS>::MakeVGeomData(vtkDataSet*, T_PVIST_ALL_D*, T_PVIST_ANIM_D*,
                                                       CAnimationEngine*, CPVSModelDataBase*, CArray<int, int>*,
                                                       CArray<int, int>*, CArray<int, int>*, CArray<int, int>*)
{
    return 1;
}

template <class RECORD, class AXIS>
int CPVSVisualDataLDFSCore<RECORD, AXIS>::MakeVTextData(CArray<T_VD_TEXT_PARAM_D, T_VD_TEXT_PARAM_D&>&,
                                                       T_PVIST_ALL_D*)
{
    return 1;
}

template <class RECORD, class AXIS>
void CPVSVisualDataLDFSCore<RECORD, AXIS>::InitVDataHashTable(int nCount)
{
    // Called by the host as well: a table that cannot be sized leaves every map empty.
    try {
        DropCache();
        for (int c = 0; c < kMaxComp; ++c) {
            m_aCompVData[c].RemoveAll();
            if (m_pLdfsData->nCompPVtifK[c] != 0)
                m_aCompVData[c].InitHashTable(static_cast<UINT>(HashSize(nCount)), TRUE);
        }
    } catch (...) {
        ClearVData();
    }
}

template <class RECORD, class AXIS>
void CPVSVisualDataLDFSCore<RECORD, AXIS>::ClearVData() noexcept
{
    DropCache();
    for (int c = 0; c < kMaxComp; ++c)
        m_aCompVData[c].RemoveAll();
}

template <class RECORD, class AXIS>
int CPVSVisualDataLDFSCore<RECORD, AXIS>::GetScalarCompCount() const
{
    const int nNeed = m_pLdfsData->nCutKind == 1 ? 12 : 6;
    return std::max(std::min(m_pLdfsData->nCompCount, kMaxComp), nNeed);
}

// An entry of the host's: whatever escapes the reading gives MakeVData's failure value, with
// no values kept (part of them would be read as a result).
template <class RECORD, class AXIS>
int CPVSVisualDataLDFSCore<RECORD, AXIS>::MakeVData(T_PVIST_ALL_D*, T_PVIST_ANIM_D*, int)
{
    try {
        return ReadVData();
    } catch (...) {
        ClearVData();
        return 0;
    }
}

template <class RECORD, class AXIS>
int CPVSVisualDataLDFSCore<RECORD, AXIS>::ReadVData()
{
    DropCache();
    const double dThreshold = std::fabs(m_dThreshold);
    CArray<unsigned int, unsigned int> aElemK;
    if (!GetActiveElemK(aElemK) || aElemK.GetSize() == 0)
        return 0;
    const int nCompCount = m_pLdfsData->nCompCount;
    // More components than the record holds rows for would read past them: refuse.
    if (nCompCount < 0 || nCompCount > kMaxComp)
        return 0;
    InitVDataHashTable(aElemK.GetSize());

    IQueryPVS* pQuery = IQueryPVS::Instance();
    if (!pQuery)
        return 0;
    CArray<unsigned int, unsigned int> aElemId;
    aElemId.SetSize(aElemK.GetSize());
    for (int i = 0; i < aElemK.GetSize(); ++i)
        aElemId[i] = pQuery->GetElemKeyOrId(aElemK[i], nullptr);
    if (aElemId.GetSize() == 0)
        return 0;

    // Node counts once, not once per component.
    std::vector<int> aNodeCount(static_cast<size_t>(aElemK.GetSize()), -1);
    for (int i = 0; i < aElemK.GetSize(); ++i) {
        T_ELEM_D e;
        if (m_clsElem.Get(aElemK[i], e))
            aNodeCount[static_cast<size_t>(i)] = e.GetNumberOfNodes();
    }

    // Elements with a value that is not finite, in any component: left out as elements without
    // values are (read as 0 they would report zero force as a result).
    std::vector<char> aNonFinite(static_cast<size_t>(aElemK.GetSize()), 0);
    CPostCtrlBase* pCtrl = GetPostCtrl();
    for (int c = 0; c < nCompCount; ++c) {
        const unsigned int nRowK = static_cast<unsigned int>(m_pLdfsData->nCompPVtifK[c]);
        if (nRowK == 0 || !pCtrl)
            continue;
        CMap<int, int, T_POST_VECT_ALL_D, T_POST_VECT_ALL_D&> mResult;
        int nValPerElem = 0;
        pCtrl->BeginQueryRow(nRowK);
        BOOL bRead = FALSE;
        try {
            bRead = pCtrl->GetElemResult(aElemId, nRowK, nValPerElem, mResult);
        } catch (...) {
            pCtrl->EndQueryRow(); // the query ends whatever the read does
            throw;
        }
        pCtrl->EndQueryRow();
        if (!bRead || nValPerElem == 0)
            continue;

        for (int i = 0; i < aElemK.GetSize(); ++i) {
            const int n = aNodeCount[static_cast<size_t>(i)];
            if (n < 0)
                continue;
            const T_POST_VECT_ALL_D* pVal = mResult.PLookup(static_cast<int>(aElemId[i]));
            if (!pVal || aNonFinite[static_cast<size_t>(i)])
                continue;
            const int nHeld = pVal->aValue.GetSize();
            // The values this element's nodes take: one per node after the element value, or
            // the element value alone.
            const bool bPerNode = nValPerElem >= n + 1;
            bool bFinite = true;
            for (int k = bPerNode ? 1 : 0; k <= (bPerNode ? n : 0) && k < nHeld; ++k)
                bFinite = bFinite && std::isfinite(pVal->aValue[k]);
            if (!bFinite) {
                aNonFinite[static_cast<size_t>(i)] = 1;
                for (int c0 = 0; c0 < c; ++c0)
                    m_aCompVData[c0].RemoveKey(static_cast<int>(aElemK[i]));
                continue;
            }
            auto value = [&](int k) {
                const double v = k < nHeld ? pVal->aValue[k] : 0.0;
                return std::fabs(v) > dThreshold ? v : 0.0;
            };
            T_VSUL_DATA_D node;
            node.aValue.SetSize(n);
            if (nValPerElem >= n + 1) {
                // Element value first, then one per node: skip the element value.
                if (nHeld > 1)
                    for (int j = 0; j < n; ++j)
                        node.aValue[j] = value(j + 1);
            } else {
                if (!(m_nValueMode == 2 || nValPerElem == 1))
                    continue;
                const double v0 = value(0);
                for (int j = 0; j < n; ++j)
                    node.aValue[j] = v0;
            }
            m_aCompVData[c][static_cast<int>(aElemK[i])] = node;
        }
    }
    return 1;
}

template <class RECORD, class AXIS>
int CPVSVisualDataLDFSCore<RECORD, AXIS>::GetElemVDataTable(unsigned int nElemK, int nNodeCount, int& nValueCount,
                                                           double dTable[kMaxNode][kMaxComp])
{
    return GetElemVDataRows(nElemK, nNodeCount, nValueCount, dTable, kMaxNode);
}

template <class RECORD, class AXIS>
int CPVSVisualDataLDFSCore<RECORD, AXIS>::GetElemVDataRows(unsigned int nElemK, int nNodeCount, int& nValueCount,
                                                          double dTable[kMaxNode][kMaxComp], int nClearRows)
{
    nValueCount = 0;
    nClearRows = std::clamp(nClearRows, 0, static_cast<int>(kMaxNode));
    for (int j = 0; j < nClearRows; ++j)
        for (int c = 0; c < kMaxComp; ++c)
            dTable[j][c] = 0.0;
    int nResult = 0;
    const int nCompCount = m_pLdfsData->nCompCount;
    // The table holds 20 nodes and 12 components; anything larger is refused, not read past.
    if (nNodeCount < 0 || nNodeCount > kMaxNode || nCompCount < 0 || nCompCount > kMaxComp)
        return 0;
    bool bAnyEntry = false;
    for (int c = 0; c < nCompCount; ++c) {
        const T_VSUL_DATA_D* pEntry = m_aCompVData[c].PLookup(static_cast<int>(nElemK));
        if (pEntry)
            bAnyEntry = true;
        const int nSize = pEntry ? pEntry->GetSize() : nNodeCount;
        if (nSize == 0)
            return 0;
        if (nSize == nNodeCount) {
            nValueCount = nNodeCount;
            for (int j = 0; j < nNodeCount; ++j)
                dTable[j][c] = pEntry ? pEntry->aValue[j] : 0.0;
            nResult = 1;
        }
    }
    // An element without values in any chosen component is not part of the result: averaging
    // it in as zeros would pull the values of nodes it shares (an excavation boundary) down.
    if (!bAnyEntry)
        return 0;
    return nResult;
}

template <class RECORD, class AXIS>
void CPVSVisualDataLDFSCore<RECORD, AXIS>::DropCache()
{
    m_pGridCache = nullptr;
    m_pCacheMD = nullptr;
    m_nCacheCutKind = -1;
    m_nCacheCompCount = -1;
}

template <class RECORD, class AXIS>
BOOL CPVSVisualDataLDFSCore<RECORD, AXIS>::FillFromCache(vtkUnstructuredGrid* pGrid, CPVSModelDataFEM* pMD)
{
    if (!m_pGridCache || m_pCacheMD != pMD || m_nCacheCutKind != m_pLdfsData->nCutKind ||
        m_nCacheCompCount != m_pLdfsData->nCompCount)
        return FALSE;
    pGrid->ShallowCopy(m_pGridCache);
    LdfsCopyCellMap(m_mCellElemK, m_mCellElemKCache);
    CacheSolidCellMap(FALSE);
    return TRUE;
}

template <class RECORD, class AXIS>
void CPVSVisualDataLDFSCore<RECORD, AXIS>::StoreCache(vtkUnstructuredGrid* pGrid, CPVSModelDataFEM* pMD)
{
    DropCache();
    m_pGridCache = vtkSmartPointer<vtkUnstructuredGrid>::New();
    m_pGridCache->ShallowCopy(pGrid);
    m_pCacheMD = pMD;
    m_nCacheCutKind = m_pLdfsData->nCutKind;
    m_nCacheCompCount = m_pLdfsData->nCompCount;
    LdfsCopyCellMap(m_mCellElemKCache, m_mCellElemK);
    CacheSolidCellMap(TRUE);
}

template <class RECORD, class AXIS>
int CPVSVisualDataLDFSCore<RECORD, AXIS>::MakeVGeomDataByPlane(AXIS& axis, T_PVIST_PLNE_D& plane,
                                                              vtkUnstructuredGrid* pGrid, T_PVIST_ALL_D* pVS,
                                                              T_PVIST_ANIM_D* pAS, CAnimationEngine* pAnim,
                                                              CPVSModelDataFEM* pMD, int nReserved)
{
    const int nElemNum = pMD ? pMD->GetElemNum() : 0;
    m_mCellElemK.RemoveAll();
    m_mCellElemK.InitHashTable(static_cast<UINT>(HashSize(nElemNum)));
    ClearSolidCellMap(HashSize(nElemNum));
    if (m_pLdfsData->nCutKind == 1)
        return MakeVGeomDataPlate(axis, plane, pGrid, pVS, pAS, pAnim, pMD, nReserved);
    if (!pGrid || !pMD)
        return 0;
    if (nElemNum == 0)
        return 1;
    if (m_pLdfsData->nCompCount < 0 || m_pLdfsData->nCompCount > kMaxComp)
        return 0;
    if (FillFromCache(pGrid, pMD))
        return 1;

    const int nComp = m_pLdfsData->nCompCount;
    const int nScalarComp = GetScalarCompCount();
    const int nNodeNum = pMD->GetNodeNum();
    CNodeIndex nodeIdx(pMD, nNodeNum);

    // Per node: number of contributing elements and the sums, component by component. The
    // elements' records and node indices are kept from this pass for the cell pass below.
    std::vector<int> aCount(static_cast<size_t>(nNodeNum), 0);
    const size_t nStride = static_cast<size_t>(std::max(nComp, 1));
    std::vector<double> aSum(static_cast<size_t>(nNodeNum) * nStride, 0.0);
    std::vector<char> aFailed(static_cast<size_t>(nElemNum), 0);
    std::vector<const T_ELEM_D*> aElem(static_cast<size_t>(nElemNum), nullptr);
    std::vector<size_t> aFirstNode(static_cast<size_t>(nElemNum) + 1, 0);
    std::vector<int> aElemNode;
    aElemNode.reserve(static_cast<size_t>(nElemNum) * 8);
    double dTable[kMaxNode][kMaxComp];
    for (int i = 0; i < nElemNum; ++i) {
        const unsigned int nElemK = pMD->GetElemK(i);
        const T_ELEM_D* e = pMD->FindElemD(nElemK);
        aElem[static_cast<size_t>(i)] = e;
        aFirstNode[static_cast<size_t>(i)] = aElemNode.size();
        if (e) {
            // Node indices of every element (-1: no such node), solid or not: the cell pass needs them.
            for (int j = 0; j < e->GetNumberOfNodes(); ++j)
                aElemNode.push_back(nodeIdx.Find(e->aNodeK[j]));
        }
        aFirstNode[static_cast<size_t>(i) + 1] = aElemNode.size();
        // A node list that does not fit its cell type would make VTK read past it: such an
        // element gives neither values nor a cell, like an element without values.
        if (e && !ElementCellFits(e->nCellType, e->GetNumberOfNodes())) {
            aFailed[static_cast<size_t>(i)] = 1;
            continue;
        }
        if (!e || !IsSolidCellType(e->nCellType))
            continue;
        int nValueCount = 0;
        const int n = e->GetNumberOfNodes();
        // Only the element's own rows are read below.
        if (!GetElemVDataRows(nElemK, n, nValueCount, dTable, n)) {
            aFailed[static_cast<size_t>(i)] = 1;
            continue;
        }
        const int* pNode = aElemNode.data() + aFirstNode[static_cast<size_t>(i)];
        for (int j = 0; j < n; ++j) {
            if (pNode[j] < 0)
                continue;
            const size_t idx = static_cast<size_t>(pNode[j]);
            aCount[idx] += 1;
            for (int c = 0; c < nComp; ++c)
                aSum[idx * nStride + static_cast<size_t>(c)] += dTable[j][c];
        }
    }

    vtkIdType nUsed = 0;
    for (int i = 0; i < nNodeNum; ++i)
        nUsed += aCount[static_cast<size_t>(i)] > 0 ? 1 : 0;
    // Sized once: the arrays hold exactly the values the inserting loop would give them.
    vtkNew<vtkDoubleArray> pScalars;
    pScalars->SetNumberOfComponents(nScalarComp);
    pScalars->SetNumberOfTuples(nUsed);
    vtkNew<vtkPoints> pPoints;
    pPoints->SetDataTypeToDouble();
    pPoints->SetNumberOfPoints(nUsed);
    std::vector<vtkIdType> aPointId(static_cast<size_t>(nNodeNum), -1);
    vtkIdType nNextId = 0;
    double* pXyzOut = vtkDoubleArray::SafeDownCast(pPoints->GetData())->GetPointer(0);
    double* pValOut = pScalars->GetPointer(0);
    for (int i = 0; i < nNodeNum; ++i) {
        const size_t idx = static_cast<size_t>(i);
        if (aCount[idx] < 1)
            continue;
        const T_NODE_D* pNode = pMD->FindNodeD(pMD->GetNodeK(i));
        std::copy(pNode->dXyz, pNode->dXyz + 3, pXyzOut + 3 * nNextId);
        // The mean over the elements that share the node.
        double* pTuple = pValOut + static_cast<size_t>(nNextId) * static_cast<size_t>(nScalarComp);
        for (int c = 0; c < nScalarComp; ++c)
            pTuple[c] = c < nComp ? aSum[idx * nStride + static_cast<size_t>(c)] / aCount[idx] : 0.0;
        aPointId[idx] = nNextId++;
    }

    // The cells' offsets, point ids and types written straight into the arrays InsertNextCell
    // would fill, in the same order.
    std::vector<vtkIdType> aOffset, aConn;
    std::vector<unsigned char> aType;
    aOffset.reserve(static_cast<size_t>(nElemNum) + 1);
    aConn.reserve(aElemNode.size());
    aType.reserve(static_cast<size_t>(nElemNum));
    aOffset.push_back(0);
    vtkIdType aIds[kMaxNode > 27 ? kMaxNode : 27];
    std::vector<vtkIdType> aIdsLarge;
    for (int i = 0; i < nElemNum; ++i) {
        if (aFailed[static_cast<size_t>(i)])
            continue;
        const T_ELEM_D* e = aElem[static_cast<size_t>(i)];
        if (!e || !ElementCellFits(e->nCellType, e->GetNumberOfNodes()))
            continue;
        const int n = e->GetNumberOfNodes();
        vtkIdType* pIds = aIds;
        if (n > static_cast<int>(std::size(aIds))) {
            aIdsLarge.resize(static_cast<size_t>(n));
            pIds = aIdsLarge.data();
        }
        const int* pNode = aElemNode.data() + aFirstNode[static_cast<size_t>(i)];
        bool bAll = n > 0;
        for (int j = 0; j < n && bAll; ++j) {
            if (pNode[j] < 0 || aPointId[static_cast<size_t>(pNode[j])] < 0)
                bAll = false;
            else
                pIds[j] = aPointId[static_cast<size_t>(pNode[j])];
        }
        if (!bAll)
            continue;
        const vtkIdType nCell = static_cast<vtkIdType>(aType.size());
        aType.push_back(static_cast<unsigned char>(e->nCellType));
        aConn.insert(aConn.end(), pIds, pIds + n);
        aOffset.push_back(static_cast<vtkIdType>(aConn.size()));
        OnSolidCellInserted(static_cast<int>(nCell), pMD->GetElemK(i));
    }
    vtkNew<vtkIdTypeArray> pOffsetArr;
    vtkNew<vtkIdTypeArray> pConnArr;
    vtkNew<vtkUnsignedCharArray> pTypeArr;
    pOffsetArr->SetNumberOfValues(static_cast<vtkIdType>(aOffset.size()));
    pConnArr->SetNumberOfValues(static_cast<vtkIdType>(aConn.size()));
    pTypeArr->SetNumberOfValues(static_cast<vtkIdType>(aType.size()));
    std::copy(aOffset.begin(), aOffset.end(), pOffsetArr->GetPointer(0));
    std::copy(aConn.begin(), aConn.end(), pConnArr->GetPointer(0));
    std::copy(aType.begin(), aType.end(), pTypeArr->GetPointer(0));
    vtkNew<vtkCellArray> pCells;
    pCells->SetData(pOffsetArr, pConnArr);
    pGrid->SetCells(pTypeArr, pCells);

    pGrid->SetPoints(pPoints);
    pGrid->GetPointData()->SetScalars(pScalars);
    StoreCache(pGrid, pMD);
    return 1;
}

template <class RECORD, class AXIS>
int CPVSVisualDataLDFSCore<RECORD, AXIS>::MakeVGeomDataPlate(AXIS&, T_PVIST_PLNE_D&, vtkUnstructuredGrid* pGrid,
                                                            T_PVIST_ALL_D*, T_PVIST_ANIM_D*, CAnimationEngine*,
                                                            CPVSModelDataFEM* pMD, int)
{
    if (!pGrid || !pMD)
        return 0;
    const int nElemNum = pMD->GetElemNum();
    if (nElemNum == 0)
        return 1;
    if (m_pLdfsData->nCompCount < 0 || m_pLdfsData->nCompCount > kMaxComp)
        return 0;
    if (FillFromCache(pGrid, pMD))
        return 1;
    const int nScalarComp = GetScalarCompCount();
    vtkNew<vtkDoubleArray> pScalars;
    pScalars->SetNumberOfComponents(nScalarComp);
    vtkNew<vtkPoints> pPoints;
    pPoints->SetDataTypeToDouble();
    pGrid->Allocate(std::max(nElemNum, 1));
    double dTable[kMaxNode][kMaxComp];
    std::vector<double> aTuple(static_cast<size_t>(nScalarComp), 0.0);
    vtkIdType nNextId = 0;
    for (int i = 0; i < nElemNum; ++i) {
        const unsigned int nElemK = pMD->GetElemK(i);
        const T_ELEM_D* e = pMD->FindElemD(nElemK);
        if (!e || !IsPlateCellType(e->nCellType) || !ElementCellFits(e->nCellType, e->GetNumberOfNodes()))
            continue;
        int nValueCount = 0;
        const int n = e->GetNumberOfNodes();
        if (!GetElemVDataRows(nElemK, n, nValueCount, dTable, n))
            continue;
        const auto pCell = vtkSmartPointer<vtkCell>::Take(pMD->CreateCell(nElemK));
        if (!pCell)
            continue;
        for (int j = 0; j < n; ++j) {
            pPoints->InsertPoint(nNextId, pCell->GetPoints()->GetPoint(j));
            pCell->GetPointIds()->SetId(j, nNextId);
            for (int c = 0; c < nScalarComp; ++c)
                aTuple[static_cast<size_t>(c)] = c < kMaxComp ? dTable[j][c] : 0.0;
            pScalars->InsertTuple(nNextId, aTuple.data());
            ++nNextId;
        }
        const vtkIdType nCell = pGrid->InsertNextCell(pCell->GetCellType(), pCell->GetPointIds());
        m_mCellElemK[static_cast<int>(nCell)] = nElemK;
    }
    pGrid->SetPoints(pPoints);
    pGrid->GetPointData()->SetScalars(pScalars);
    StoreCache(pGrid, pMD);
    return 1;
}

template class CPVSVisualDataLDFSCore<T_VD_LCLDIRSUM_HOB_D, T_VD_LCLDIRSUM_HOB_BASE_D>;
template class CPVSVisualDataLDFSCore<T_VD_LCLDIRSUM_KVR_D, T_VD_LCLDIRSUM_KVR_BASE_D>;

CPVSVisualDataLDFS::CPVSVisualDataLDFS(unsigned int nType, T_VD_PARAM_D& param) : CPVSVisualDataLDFSCore(nType, param)
{
}

int CPVSVisualDataLDFS::GetVisualMethodType(T_PVIST_ALL_D*) { return 15; }

int CPVSVisualDataLDFS::GetLclDirForSumByLine(double dCentre[3], double dPts[2][3], double dNormal[3],
                                              double dForce[2][6], double dMoment[2][6], double dSum[6],
                                              double dElemAxis[3][3], double dPlaneAxis[3][3])
{
    // Two-point Gauss rule along the segment, xi = -+1/sqrt(3), weight 1 each; dx = L/2 dxi.
    const double g = 1.0 / std::sqrt(3.0);
    const double dXi[2] = {-g, g};
    const double dx = dPts[1][0] - dPts[0][0], dy = dPts[1][1] - dPts[0][1], dz = dPts[1][2] - dPts[0][2];
    const double L = std::sqrt(dx * dx + dy * dy + dz * dz);
    const double* z = dElemAxis[2];
    const double c = dNormal[0] * z[0] + dNormal[1] * z[1] + dNormal[2] * z[2];
    // f = 1/sin: the cut normal's in-plane part has length sin, so tractions per unit length
    // of the segment scale by 1/sin.
    const double f = std::fabs(c) < 1.0 ? 1.0 / std::sqrt(1.0 - c * c) : 0.0;
    // nu = E n: the cut normal in element axes.
    double nu[3];
    for (int r = 0; r < 3; ++r)
        nu[r] = dElemAxis[r][0] * dNormal[0] + dElemAxis[r][1] * dNormal[1] + dElemAxis[r][2] * dNormal[2];
    for (double xi : dXi) {
        const double N0 = (1.0 - xi) / 2.0, N1 = (1.0 + xi) / 2.0;
        double p[6], q[6], r[3];
        for (int k = 0; k < 6; ++k) {
            p[k] = N0 * dForce[0][k] + N1 * dForce[1][k];
            q[k] = N0 * dMoment[0][k] + N1 * dMoment[1][k];
        }
        for (int k = 0; k < 3; ++k)
            r[k] = N0 * dPts[0][k] + N1 * dPts[1][k] - dCentre[k];
        const double tl[3] = {p[0] * nu[0] + p[3] * nu[1], p[3] * nu[0] + p[1] * nu[1],
                              p[5] * nu[0] + p[4] * nu[1] + p[2] * nu[2]};
        double t[3];
        for (int k = 0; k < 3; ++k)
            t[k] = f * (dElemAxis[0][k] * tl[0] + dElemAxis[1][k] * tl[1] + dElemAxis[2][k] * tl[2]);
        for (int k = 0; k < 3; ++k)
            dSum[k] += t[k] * L / 2.0;
        const double rt[3] = {r[1] * t[2] - r[2] * t[1], r[2] * t[0] - r[0] * t[2], r[0] * t[1] - r[1] * t[0]};
        for (int k = 0; k < 3; ++k)
            dSum[3 + k] += rt[k] * L / 2.0;
        // m = f E^T S E n, S the moment tensor in element axes.
        const double S[3][3] = {{q[0], q[3], q[5]}, {q[3], q[1], q[4]}, {q[5], q[4], q[2]}};
        double sn[3];
        for (int a = 0; a < 3; ++a)
            sn[a] = S[a][0] * nu[0] + S[a][1] * nu[1] + S[a][2] * nu[2];
        double m[3];
        for (int k = 0; k < 3; ++k)
            m[k] = f * (dElemAxis[0][k] * sn[0] + dElemAxis[1][k] * sn[1] + dElemAxis[2][k] * sn[2]);
        const double mz[3] = {m[1] * z[2] - m[2] * z[1], m[2] * z[0] - m[0] * z[2], m[0] * z[1] - m[1] * z[0]};
        for (int k = 0; k < 3; ++k)
            dSum[3 + k] += mz[k] * L / 2.0;
    }
    CPostCtrlGeoTechHelperBase::Global2UcsComp3(dSum, dPlaneAxis);
    CPostCtrlGeoTechHelperBase::Global2UcsComp3(dSum + 3, dPlaneAxis);
    return 0;
}

int CPVSVisualDataLDFS::GetLclDirForSumByTriangle(double dCentre[3], double dPts[3][3], double dNormal[3],
                                                  double dStress[3][6], double dSum[6], double dPlaneAxis[3][3])
{
    for (int k = 0; k < 3; ++k)
        dNormal[k] = dPlaneAxis[0][k];
    // Left out only when degenerate relative to its own size: the test the method applies to
    // the same points, so centre, sums and broadcast cells count the same triangles.
    if (kvpvs::planecut::IsDegenerateTriangle(dPts[0], dPts[1], dPts[2]))
        return 0;
    const double A = kvpvs::planecut::TwiceTriangleArea(dPts[0], dPts[1], dPts[2]) / 2.0;
    // Three-point rule at the edge-midpoint-weighted interior points, exact for quadratics.
    static const double N[3][3] = {{2.0 / 3.0, 1.0 / 6.0, 1.0 / 6.0},
                                   {1.0 / 6.0, 2.0 / 3.0, 1.0 / 6.0},
                                   {1.0 / 6.0, 1.0 / 6.0, 2.0 / 3.0}};
    for (int g = 0; g < 3; ++g) {
        double sg[6] = {0, 0, 0, 0, 0, 0}, r[3] = {0, 0, 0};
        for (int e = 0; e < 3; ++e) {
            for (int k = 0; k < 6; ++k)
                sg[k] += N[g][e] * dStress[e][k];
            for (int k = 0; k < 3; ++k)
                r[k] += N[g][e] * dPts[e][k];
        }
        for (int k = 0; k < 3; ++k)
            r[k] -= dCentre[k];
        const double S[3][3] = {{sg[0], sg[3], sg[5]}, {sg[3], sg[1], sg[4]}, {sg[5], sg[4], sg[2]}};
        double t[3];
        for (int k = 0; k < 3; ++k)
            t[k] = S[k][0] * dNormal[0] + S[k][1] * dNormal[1] + S[k][2] * dNormal[2];
        for (int k = 0; k < 3; ++k)
            dSum[k] += t[k] * A / 3.0;
        const double rt[3] = {r[1] * t[2] - r[2] * t[1], r[2] * t[0] - r[0] * t[2], r[0] * t[1] - r[1] * t[0]};
        for (int k = 0; k < 3; ++k)
            dSum[3 + k] += rt[k] * A / 3.0;
    }
    CPostCtrlGeoTechHelperBase::Global2UcsComp3(dSum, dPlaneAxis);
    CPostCtrlGeoTechHelperBase::Global2UcsComp3(dSum + 3, dPlaneAxis);
    return 0;
}
