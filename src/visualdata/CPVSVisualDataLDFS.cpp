#include "visualdata/CPVSVisualDataLDFS.h"

#include "planecut/cut_integration.h"
#include "visualdata/ElementCells.h"
#include "visualdata/OrderedLookup.h"

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
#include <limits>
#include <stdexcept>
#include <unordered_map>
#include <vector>

IMPLEMENT_DYNAMIC(CPVSVisualDataLDFS, CPVSVisualDataBase)

namespace {

int HashSize(int nCount) { return std::max(nCount / 5, 1); }

bool IsSolidCellType(int t) { return t == 10 || t == 12 || t == 13 || t == 24 || t == 25 || t == 26 || t == 27; }
bool IsPlateCellType(int t) { return t == 5 || t == 9 || t == 22 || t == 23; }

} // namespace

void CLdfsCompValues::Reset(const unsigned int* pElemK, const int* pNodeCount, int nElem)
{
    for (bool& b : m_bUsed)
        b = false;
    // The last of equal keys wins, as with a map assigned in turn.
    m_index.Build(nElem, [pElemK](int i) { return pElemK[i]; }, true);
    m_aFirst.resize(static_cast<size_t>(nElem) + 1);
    m_aFirst[0] = 0;
    for (size_t i = 0; i < static_cast<size_t>(nElem); ++i)
        m_aFirst[i + 1] = m_aFirst[i] + static_cast<size_t>(std::max(pNodeCount[i], 0));
    // Arrays sized for another list are dropped rather than resized: they would be copied.
    for (int c = 0; c < kMaxComp; ++c)
        if (m_aValue[c].size() != m_aFirst.back() || m_aHas[c].size() != static_cast<size_t>(nElem)) {
            std::vector<double>().swap(m_aValue[c]);
            std::vector<std::uint8_t>().swap(m_aHas[c]);
        }
}

void CLdfsCompValues::Clear() noexcept
{
    m_index.Clear();
    std::vector<size_t>().swap(m_aFirst);
    for (int c = 0; c < kMaxComp; ++c) {
        m_bUsed[c] = false;
        std::vector<double>().swap(m_aValue[c]);
        std::vector<std::uint8_t>().swap(m_aHas[c]);
    }
}

void CLdfsCompValues::Use(int c)
{
    // Values are read only under an entry, and an entry's values are written in full.
    m_aValue[c].resize(m_aFirst.back());
    m_aHas[c].assign(m_aFirst.size() - 1, 0);
    m_bUsed[c] = true;
}

int CLdfsCompValues::GetCount(int c) const
{
    return m_bUsed[c] ? static_cast<int>(std::count(m_aHas[c].begin(), m_aHas[c].end(), std::uint8_t{1})) : 0;
}

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
    // Called by the host as well: no values until MakeVData has read them; the flat arrays are
    // sized by the elements read, not by a count given ahead, and kept for the next read.
    (void)nCount;
    DropCache();
    for (int c = 0; c < kMaxComp; ++c)
        m_aCompVData.RemoveAll(c);
}

template <class RECORD, class AXIS>
void CPVSVisualDataLDFSCore<RECORD, AXIS>::ClearVData() noexcept
{
    DropCache();
    m_aCompVData.Clear();
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
    const int nElem = aElemK.GetSize();
    CArray<unsigned int, unsigned int> aElemId;
    aElemId.SetSize(nElem);
    for (int i = 0; i < nElem; ++i)
        aElemId[i] = pQuery->GetElemKeyOrId(aElemK[i], nullptr);

    // Node counts once, not once per component; one record copied into, not one per element.
    std::vector<int> aNodeCount(static_cast<size_t>(nElem), -1);
    T_ELEM_D e;
    for (int i = 0; i < nElem; ++i)
        if (m_clsElem.Get(aElemK[i], e))
            aNodeCount[static_cast<size_t>(i)] = e.GetNumberOfNodes();

    m_aCompVData.Reset(aElemK.GetData(), aNodeCount.data(), nElem);

    // The ids are read a block at a time, every component of a block in turn: the host's map
    // holds one block, and its entries serve the block's next components. An element's values
    // depend on the value count of the whole list (the longest run of any element), known only
    // after the last block: a block whose own count differs is read again with it. That does
    // not happen when every element has runs of one length.
    constexpr int kBlock = 1024;
    const int nBlocks = (nElem + kBlock - 1) / kBlock;
    std::vector<int> aBlockValues(static_cast<size_t>(nBlocks) * kMaxComp, 0);
    int aValPerElem[kMaxComp] = {};
    bool aFailed[kMaxComp] = {};
    // Per element, the components in which a node value is not finite: such an element is left
    // out of every component, as elements without values are (read as 0 they would report
    // zero force as a result).
    std::vector<std::uint16_t> aNonFinite(static_cast<size_t>(nElem), 0);
    CPostCtrlBase* pCtrl = GetPostCtrl();
    CMap<int, int, T_POST_VECT_ALL_D, T_POST_VECT_ALL_D&> mResult;
    CArray<unsigned int, unsigned int> aBlockId;
    auto readBlock = [&](int c, int nBlock, int& nValPerElem) {
        const unsigned int nRowK = static_cast<unsigned int>(m_pLdfsData->nCompPVtifK[c]);
        const int nFirst = nBlock * kBlock, nEnd = std::min(nElem, nFirst + kBlock);
        aBlockId.SetSize(nEnd - nFirst);
        std::copy(aElemId.GetData() + nFirst, aElemId.GetData() + nEnd, aBlockId.GetData());
        nValPerElem = 0;
        pCtrl->BeginQueryRow(nRowK);
        BOOL bRead = FALSE;
        try {
            bRead = pCtrl->GetElemResult(aBlockId, nRowK, nValPerElem, mResult);
        } catch (...) {
            pCtrl->EndQueryRow(); // the query ends whatever the read does
            throw;
        }
        pCtrl->EndQueryRow();
        return bRead != FALSE;
    };
    // The block's elements of component c from mResult, as a read of the whole list with
    // nValPerElem values per element gives them.
    auto storeBlock = [&](int c, int nBlock, int nValPerElem) {
        const std::uint16_t nBit = static_cast<std::uint16_t>(1u << c);
        COrderedLookup lookup(mResult);
        const int nFirst = nBlock * kBlock, nEnd = std::min(nElem, nFirst + kBlock);
        m_aCompVData.Remove(c, nFirst, nEnd);
        for (int i = nFirst; i < nEnd; ++i) {
            const int n = aNodeCount[static_cast<size_t>(i)];
            aNonFinite[static_cast<size_t>(i)] &= static_cast<std::uint16_t>(~nBit);
            const T_POST_VECT_ALL_D* pVal = lookup.Find(static_cast<int>(aElemId[i]));
            if (n < 0 || !pVal)
                continue;
            const int nHeld = pVal->aValue.GetSize();
            const double* pHeld = pVal->aValue.GetData();
            // The values this element's nodes take: one per node after the element value, or
            // the element value alone.
            const bool bPerNode = nValPerElem >= n + 1;
            bool bFinite = true;
            for (int k = bPerNode ? 1 : 0, nLast = std::min(bPerNode ? n : 0, nHeld - 1); k <= nLast; ++k)
                bFinite &= std::isfinite(pHeld[k]);
            if (!bFinite) {
                aNonFinite[static_cast<size_t>(i)] |= nBit;
                continue;
            }
            if (!bPerNode && !(m_nValueMode == 2 || nValPerElem == 1))
                continue;
            double* pNode = m_aCompVData.Set(c, i);
            auto kept = [dThreshold](double v) { return std::fabs(v) > dThreshold ? v : 0.0; };
            if (bPerNode) {
                // Element value first, then one per node: skip the element value. Nodes past
                // the held values take 0.
                const int nHeldNodes = nHeld > 1 ? std::min(n, nHeld - 1) : 0;
                for (int j = 0; j < nHeldNodes; ++j)
                    pNode[j] = kept(pHeld[j + 1]);
                std::fill(pNode + nHeldNodes, pNode + n, 0.0);
            } else {
                std::fill(pNode, pNode + n, kept(nHeld > 0 ? pHeld[0] : 0.0));
            }
        }
    };
    auto chosen = [&](int c) { return m_pLdfsData->nCompPVtifK[c] != 0 && pCtrl; };
    for (int b = 0; b < nBlocks; ++b)
        for (int c = 0; c < nCompCount; ++c) {
            int& nValPerElem = aBlockValues[static_cast<size_t>(b) * kMaxComp + static_cast<size_t>(c)];
            if (!chosen(c) || aFailed[c])
                continue;
            // A failed read of any block fails the component, as a failed read of the list.
            aFailed[c] = !readBlock(c, b, nValPerElem);
            aValPerElem[c] = std::max(aValPerElem[c], nValPerElem);
            if (!aFailed[c])
                storeBlock(c, b, nValPerElem);
        }
    for (int c = 0; c < nCompCount; ++c) {
        if (!chosen(c))
            continue;
        if (aFailed[c] || aValPerElem[c] == 0) {
            // A component whose read fails or yields no values is left empty.
            m_aCompVData.RemoveAll(c);
            for (std::uint16_t& m : aNonFinite)
                m &= static_cast<std::uint16_t>(~(1u << c));
            continue;
        }
        for (int b = 0; b < nBlocks; ++b) {
            int nValPerElem = aBlockValues[static_cast<size_t>(b) * kMaxComp + static_cast<size_t>(c)];
            if (nValPerElem == aValPerElem[c])
                continue;
            if (!readBlock(c, b, nValPerElem))
                throw std::runtime_error("a row read failed on its second reading");
            storeBlock(c, b, aValPerElem[c]);
        }
    }
    for (int i = 0; i < nElem; ++i)
        if (aNonFinite[static_cast<size_t>(i)])
            for (int c = 0; c < nCompCount; ++c)
                m_aCompVData.Remove(c, i);
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
    nClearRows = std::clamp(nClearRows, 0, static_cast<int>(kMaxNode));
    for (int j = 0; j < nClearRows; ++j)
        for (int c = 0; c < kMaxComp; ++c)
            dTable[j][c] = 0.0;
    const double* pCol[kMaxComp] = {};
    const int nResult = GetElemColumns(nElemK, nNodeCount, nValueCount, pCol);
    for (int c = 0; c < kMaxComp; ++c)
        if (pCol[c])
            for (int j = 0; j < nNodeCount; ++j)
                dTable[j][c] = pCol[c][j];
    return nResult;
}

template <class RECORD, class AXIS>
int CPVSVisualDataLDFSCore<RECORD, AXIS>::GetElemColumns(unsigned int nElemK, int nNodeCount, int& nValueCount,
                                                        const double* pCol[kMaxComp]) const
{
    nValueCount = 0;
    int nResult = 0;
    const int nCompCount = m_pLdfsData->nCompCount;
    // The table holds 20 nodes and 12 components; anything larger is refused, not read past.
    if (nNodeCount < 0 || nNodeCount > kMaxNode || nCompCount < 0 || nCompCount > kMaxComp)
        return 0;
    bool bAnyEntry = false;
    const int nIndex = m_aCompVData.IndexOf(nElemK);
    for (int c = 0; c < nCompCount; ++c) {
        int nSize = 0;
        const double* pEntry = m_aCompVData.At(c, nIndex, nSize);
        if (pEntry)
            bAnyEntry = true;
        else
            nSize = nNodeCount;
        if (nSize == 0)
            return 0;
        if (nSize == nNodeCount) {
            nValueCount = nNodeCount;
            pCol[c] = pEntry ? pEntry : kZeroColumn;
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

    if (!ShapeMatches(pMD))
        BuildShape(pMD);
    T_SOLID_SHAPE& sh = m_shape;
    const int nComp = m_pLdfsData->nCompCount;
    const int nScalarComp = GetScalarCompCount();
    const size_t nNodeNum = sh.aNodeK.size();

    // Per node: number of contributing elements and the sums, component by component, summed
    // in the scalar array itself (a node's tuple, then moved down to its point's). The last
    // fill's array is filled again when nothing else holds it: a refresh then neither allocates
    // nor touches new memory.
    std::vector<int> aCount(nNodeNum, 0);
    const size_t nStride = static_cast<size_t>(nScalarComp);
    if (!sh.pScalars || sh.pScalars->GetReferenceCount() > 1 || sh.pScalars->GetNumberOfComponents() != nScalarComp) {
        sh.pScalars = vtkSmartPointer<vtkDoubleArray>::New();
        sh.pScalars->SetNumberOfComponents(nScalarComp);
    }
    vtkDoubleArray* pScalars = sh.pScalars;
    pScalars->SetNumberOfTuples(static_cast<vtkIdType>(nNodeNum));
    pScalars->Modified();
    double* const aSum = pScalars->GetPointer(0);
    std::fill_n(aSum, nNodeNum * nStride, 0.0);
    std::vector<char> aFailed(static_cast<size_t>(nElemNum), 0);
    for (size_t i = 0; i < static_cast<size_t>(nElemNum); ++i) {
        // A node list that does not fit its cell type would make VTK read past it: such an
        // element gives neither values nor a cell, like an element without values.
        if (sh.aKind[i] == kMisfit) {
            aFailed[i] = 1;
            continue;
        }
        if (sh.aKind[i] != kSolid)
            continue;
        int nValueCount = 0;
        const int n = static_cast<int>(sh.aFirstNode[i + 1] - sh.aFirstNode[i]);
        // The element's table, column by column, without copying it.
        const double* pCol[kMaxComp] = {};
        if (!GetElemColumns(sh.aElemK[i], n, nValueCount, pCol)) {
            aFailed[i] = 1;
            continue;
        }
        // A column the table leaves alone adds zeros, as the table's cleared column would.
        for (int c = 0; c < nComp; ++c)
            if (!pCol[c])
                pCol[c] = kZeroColumn;
        const int* pNode = sh.aElemNode.data() + sh.aFirstNode[i];
        for (int j = 0; j < n; ++j) {
            if (pNode[j] < 0)
                continue;
            const size_t idx = static_cast<size_t>(pNode[j]);
            aCount[idx] += 1;
            double* pSum = aSum + idx * nStride;
            if (nComp == 6) { // the solid's six stresses, unrolled
                for (int c = 0; c < 6; ++c)
                    pSum[c] += pCol[c][j];
            } else {
                for (int c = 0; c < nComp; ++c)
                    pSum[c] += pCol[c][j];
            }
        }
    }
    // Points and cells follow from the elements that gave values: kept while those are the same.
    if (!sh.pTopo || aFailed != sh.aFailed)
        BuildTopology(pMD, aFailed, aCount);

    // Points are numbered in node order, so a point's tuple is never past its node's: moved
    // down in place, in turn.
    for (size_t idx = 0; idx < nNodeNum; ++idx) {
        const vtkIdType nId = sh.aPointId[idx];
        if (nId < 0)
            continue;
        // The mean over the elements that share the node.
        const double* pSum = aSum + idx * nStride;
        double* pTuple = aSum + static_cast<size_t>(nId) * nStride;
        for (size_t c = 0; c < nStride; ++c)
            pTuple[c] = c < static_cast<size_t>(nComp) ? pSum[c] / aCount[idx] : 0.0;
    }
    pScalars->SetNumberOfTuples(sh.pTopo->GetNumberOfPoints());
    pGrid->ShallowCopy(sh.pTopo);
    pGrid->GetPointData()->SetScalars(pScalars);
    for (size_t c = 0; c < sh.aCellElemK.size(); ++c)
        OnSolidCellInserted(static_cast<int>(c), sh.aCellElemK[c]);
    StoreCache(pGrid, pMD);
    return 1;
}

template <class RECORD, class AXIS>
bool CPVSVisualDataLDFSCore<RECORD, AXIS>::ShapeMatches(CPVSModelDataFEM* pMD) const
{
    const T_SOLID_SHAPE& sh = m_shape;
    const size_t nElem = sh.aElemK.size();
    if (sh.pMD != pMD || !sh.bKeep || static_cast<size_t>(pMD->GetElemNum()) != nElem ||
        static_cast<size_t>(pMD->GetNodeNum()) != sh.aNodeK.size())
        return false;
    for (size_t i = 0; i < nElem; ++i) {
        const T_ELEM_D* e = pMD->FindElemD(sh.aElemK[i]);
        if (pMD->GetElemK(static_cast<int>(i)) != sh.aElemK[i] || !e || e->nCellType != sh.aCellType[i] ||
            static_cast<size_t>(e->GetNumberOfNodes()) != sh.aFirstNode[i + 1] - sh.aFirstNode[i])
            return false;
        const int* pNode = sh.aElemNode.data() + sh.aFirstNode[i];
        const unsigned int* pNodeK = e->aNodeK.GetData();
        for (int j = 0; j < e->GetNumberOfNodes(); ++j)
            if (sh.aNodeK[static_cast<size_t>(pNode[j])] != pNodeK[j])
                return false;
    }
    // The nodes, and the coordinates of those that are points: the only node data the grid
    // holds. The topology's points are doubles: BuildTopology made them.
    const double* pXyz =
        sh.pTopo ? vtkDoubleArray::SafeDownCast(sh.pTopo->GetPoints()->GetData())->GetPointer(0) : nullptr;
    for (size_t idx = 0; idx < sh.aNodeK.size(); ++idx) {
        if (pMD->GetNodeK(static_cast<int>(idx)) != sh.aNodeK[idx])
            return false;
        const vtkIdType nId = pXyz ? sh.aPointId[idx] : -1;
        if (nId < 0)
            continue;
        const T_NODE_D* pNode = pMD->FindNodeD(sh.aNodeK[idx]);
        if (!pNode || !std::equal(pXyz + 3 * nId, pXyz + 3 * nId + 3, pNode->dXyz))
            return false;
    }
    return true;
}

template <class RECORD, class AXIS>
void CPVSVisualDataLDFSCore<RECORD, AXIS>::BuildShape(CPVSModelDataFEM* pMD)
{
    m_shape = T_SOLID_SHAPE{};
    T_SOLID_SHAPE& sh = m_shape;
    const int nElemNum = pMD->GetElemNum();
    const int nNodeNum = pMD->GetNodeNum();
    sh.aNodeK.resize(static_cast<size_t>(nNodeNum));
    for (int i = 0; i < nNodeNum; ++i)
        sh.aNodeK[static_cast<size_t>(i)] = pMD->GetNodeK(i);
    CLdfsKeyIndex nodeIdx;
    nodeIdx.Build(nNodeNum, [&sh](int i) { return sh.aNodeK[static_cast<size_t>(i)]; });
    sh.aElemK.resize(static_cast<size_t>(nElemNum));
    sh.aKind.assign(static_cast<size_t>(nElemNum), kNoCell);
    sh.aCellType.assign(static_cast<size_t>(nElemNum), 0);
    sh.aFirstNode.assign(static_cast<size_t>(nElemNum) + 1, 0);
    sh.aElemNode.reserve(static_cast<size_t>(nElemNum) * 8);
    bool bAllNodes = true;
    for (int i = 0; i < nElemNum; ++i) {
        const size_t u = static_cast<size_t>(i);
        sh.aElemK[u] = pMD->GetElemK(i);
        const T_ELEM_D* e = pMD->FindElemD(sh.aElemK[u]);
        sh.aFirstNode[u] = static_cast<std::uint32_t>(sh.aElemNode.size());
        sh.aFirstNode[u + 1] = sh.aFirstNode[u];
        if (!e)
            continue;
        // Node lists are counted in 32 bits.
        if (sh.aElemNode.size() + static_cast<size_t>(e->GetNumberOfNodes()) > std::numeric_limits<std::uint32_t>::max())
            throw std::length_error("too many element nodes for one grid");
        // Node indices of every element (-1: no such node), solid or not: the cell pass needs them.
        for (int j = 0; j < e->GetNumberOfNodes(); ++j) {
            sh.aElemNode.push_back(nodeIdx.Find(e->aNodeK[j]));
            bAllNodes = bAllNodes && sh.aElemNode.back() >= 0;
        }
        sh.aFirstNode[u + 1] = static_cast<std::uint32_t>(sh.aElemNode.size());
        sh.aCellType[u] = e->nCellType;
        if (!ElementCellFits(e->nCellType, e->GetNumberOfNodes()))
            sh.aKind[u] = kMisfit;
        else
            sh.aKind[u] = IsSolidCellType(e->nCellType) ? kSolid : kCellOnly;
    }
    sh.pMD = pMD;
    // A node list naming a node the model lacks cannot be checked by index: never kept.
    sh.bKeep = bAllNodes;
}

template <class RECORD, class AXIS>
void CPVSVisualDataLDFSCore<RECORD, AXIS>::BuildTopology(CPVSModelDataFEM* pMD, const std::vector<char>& aFailed,
                                                         const std::vector<int>& aCount)
{
    T_SOLID_SHAPE& sh = m_shape;
    sh.pTopo = nullptr;
    sh.aCellElemK.clear();
    const size_t nNodeNum = sh.aNodeK.size();
    const size_t nElemNum = sh.aElemK.size();
    vtkIdType nUsed = 0;
    for (size_t i = 0; i < nNodeNum; ++i)
        nUsed += aCount[i] > 0 ? 1 : 0;
    vtkNew<vtkPoints> pPoints;
    pPoints->SetDataTypeToDouble();
    pPoints->SetNumberOfPoints(nUsed);
    sh.aPointId.assign(nNodeNum, -1);
    vtkIdType nNextId = 0;
    double* pXyzOut = vtkDoubleArray::SafeDownCast(pPoints->GetData())->GetPointer(0);
    for (size_t idx = 0; idx < nNodeNum; ++idx) {
        if (aCount[idx] < 1)
            continue;
        const T_NODE_D* pNode = pMD->FindNodeD(sh.aNodeK[idx]);
        std::copy(pNode->dXyz, pNode->dXyz + 3, pXyzOut + 3 * nNextId);
        sh.aPointId[idx] = static_cast<std::int32_t>(nNextId++);
    }

    // The cells' offsets, point ids and types written straight into the arrays InsertNextCell
    // would fill, in the same order.
    vtkNew<vtkIdTypeArray> pOffsetArr;
    vtkNew<vtkIdTypeArray> pConnArr;
    vtkNew<vtkUnsignedCharArray> pTypeArr;
    size_t nCells = 0, nConn = 0;
    auto cellIds = [&](size_t i, vtkIdType* pIds) {
        if (aFailed[i] || sh.aKind[i] == kNoCell || sh.aKind[i] == kMisfit)
            return 0;
        const int n = static_cast<int>(sh.aFirstNode[i + 1] - sh.aFirstNode[i]);
        const int* pNode = sh.aElemNode.data() + sh.aFirstNode[i];
        // Every node checked before any id is written: a left-out element writes nothing, so
        // the next cell's ids are not overwritten and the last's do not run past the array.
        for (int j = 0; j < n; ++j)
            if (pNode[j] < 0 || sh.aPointId[static_cast<size_t>(pNode[j])] < 0)
                return 0;
        if (pIds)
            for (int j = 0; j < n; ++j)
                pIds[j] = sh.aPointId[static_cast<size_t>(pNode[j])];
        return n;
    };
    for (size_t i = 0; i < nElemNum; ++i)
        if (const int n = cellIds(i, nullptr); n > 0) {
            ++nCells;
            nConn += static_cast<size_t>(n);
        }
    pOffsetArr->SetNumberOfValues(static_cast<vtkIdType>(nCells + 1));
    pConnArr->SetNumberOfValues(static_cast<vtkIdType>(nConn));
    pTypeArr->SetNumberOfValues(static_cast<vtkIdType>(nCells));
    vtkIdType* pOffset = pOffsetArr->GetPointer(0);
    vtkIdType* pConn = pConnArr->GetPointer(0);
    unsigned char* pType = pTypeArr->GetPointer(0);
    pOffset[0] = 0;
    size_t nCell = 0;
    for (size_t i = 0; i < nElemNum; ++i) {
        const int n = cellIds(i, pConn + pOffset[nCell]);
        if (n <= 0)
            continue;
        pType[nCell] = sh.aCellType[i];
        pOffset[nCell + 1] = pOffset[nCell] + n;
        sh.aCellElemK.push_back(sh.aElemK[i]);
        ++nCell;
    }
    vtkNew<vtkCellArray> pCells;
    pCells->SetData(pOffsetArr, pConnArr);
    auto pTopo = vtkSmartPointer<vtkUnstructuredGrid>::New();
    pTopo->SetCells(pTypeArr, pCells);
    pTopo->SetPoints(pPoints);
    sh.pTopo = pTopo;
    sh.aFailed = aFailed;
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
