#include "visualdata/CPVSVisualDataFlowDiscWKVR.h"

#include "visualdata/ElementCells.h"
#include "visualdata/HostEntryGuard.h"
#include "visualdata/OrderedLookup.h"

#include "FactoryPVS.h"
#include "PVSModelData.h"
#include "PostCtrlBase.h"

#include <vtkCell.h>
#include <vtkCellData.h>
#include <vtkDoubleArray.h>
#include <vtkIdList.h>
#include <vtkNew.h>
#include <vtkPoints.h>
#include <vtkSmartPointer.h>
#include <vtkUnstructuredGrid.h>

#include <algorithm>
#include <cfloat>
#include <cmath>
#include <unordered_map>
#include <vector>

IMPLEMENT_DYNAMIC(CPVSVisualDataFlowDiscWKVR, CPVSVisualDataBase)

namespace {

// |v|: the square root of the sum of squares where the squares stay in the normal range, else
// scaled by the largest component (std::hypot), so that finite velocities such as (1e200, 0, 2)
// have a finite magnitude. Infinite only beyond the largest double.
double Magnitude(const double* v)
{
    const double s = v[0] * v[0] + v[1] * v[1] + v[2] * v[2];
    return s >= DBL_MIN && s <= DBL_MAX ? std::sqrt(s) : std::hypot(v[0], v[1], v[2]);
}

} // namespace

CPVSVisualDataFlowDiscWKVR::CPVSVisualDataFlowDiscWKVR(unsigned int nType, T_VD_PARAM_D& param)
    : CPVSVisualDataBase(nType, param)
{
    m_pFlowDiscData = new T_VD_FLOWDISC_WPLKVR_D;
    m_pFlowDiscData->Initialize();
    if (auto* pSrc = dynamic_cast<T_VD_FLOWDISC_WPLKVR_D*>(param.pUserDefData))
        *m_pFlowDiscData = *pSrc;
}

CPVSVisualDataFlowDiscWKVR::~CPVSVisualDataFlowDiscWKVR() { delete m_pFlowDiscData; }

int CPVSVisualDataFlowDiscWKVR::GetVisualMethodType(T_PVIST_ALL_D*) { return 8; }

int CPVSVisualDataFlowDiscWKVR::MakeVTextData(CArray<T_VD_TEXT_PARAM_D, T_VD_TEXT_PARAM_D&>&, T_PVIST_ALL_D*)
{
    return 1;
}

// An entry of the host's: whatever escapes the reading gives the failure value with no blocks
// kept (a part of them would be cut as the whole flow).
int CPVSVisualDataFlowDiscWKVR::MakeVData(T_PVIST_ALL_D*, T_PVIST_ANIM_D*, int)
{
    return kvpvs::visualdata::GuardedEntry(
        0, [&] { return ReadVData(); }, [&] { m_mVData.RemoveAll(); });
}

int CPVSVisualDataFlowDiscWKVR::ReadVData()
{
    CDBDoc* pDoc = CDBDoc::GetDocPoint();
    if (!pDoc)
        return 0;
    CClassPVtif clsPVtif(pDoc->GetPostDB());
    CClassPEngr clsPEngr(pDoc->GetPostDB());
    T_PVTIF_D row;
    T_PENGR_D engr;
    if (!clsPVtif.Get(m_pFlowDiscData->nPVtifK, row) || !clsPEngr.Get(row.nEngrK, engr))
        return 0;
    CArray<unsigned int, unsigned int> aElemK;
    if (!GetActiveElemK(aElemK) || aElemK.GetSize() == 0)
        return 0;
    InitVDataHashTable(aElemK.GetSize());
    CPostCtrlBase* pCtrl = GetPostCtrl();
    if (!pCtrl)
        return 0;

    IQueryPVS* pQuery = IQueryPVS::Instance();
    CArray<unsigned int, unsigned int> aElemId;
    aElemId.SetSize(aElemK.GetSize());
    for (int i = 0; i < aElemK.GetSize(); ++i)
        aElemId[i] = pQuery ? pQuery->GetElemKeyOrId(aElemK[i], nullptr) : aElemK[i];
    const unsigned int nRowK = m_pFlowDiscData->nPVtifK;
    CMap<int, int, T_POST_VECT_ALL_D, T_POST_VECT_ALL_D&> mResult;
    int nValueCount = 0;
    BOOL bRead = FALSE;
    {
        pCtrl->BeginQueryRow(nRowK);
        const kvpvs::visualdata::CScopeEnd endRow([&] { pCtrl->EndQueryRow(); });
        bRead = pCtrl->GetElemResult(aElemId, nRowK, nValueCount, mResult);
    }
    if (!bRead)
        return 1;

    // An element's block is formed in one buffer kept for the whole read, and copied once into
    // its entry: no array of its own per element.
    std::vector<double> aBlock;
    COrderedLookup lookup(mResult);
    for (int i = 0; i < aElemK.GetSize(); ++i) {
        const T_POST_VECT_ALL_D* pVal = lookup.Find(static_cast<int>(aElemId[i]));
        if (!pVal)
            continue;
        // Whole groups only; an element with a velocity or position that is not finite has no
        // block, as an element without results (read as numbers it would put NaN into every
        // sum). The host's first value of a group is replaced, whatever it holds.
        const int nGroups = pVal->aValue.GetSize() / kGroup;
        if (nGroups == 0)
            continue;
        const double* pHeld = pVal->aValue.GetData();
        aBlock.assign(pHeld, pHeld + kGroup * nGroups);
        bool bFinite = true;
        for (size_t k = 0; k < aBlock.size(); ++k)
            bFinite = bFinite && (k % kGroup == 0 || std::isfinite(aBlock[k]));
        if (!bFinite)
            continue;
        for (int n = 0; n < nGroups; ++n) {
            double* g = &aBlock[static_cast<size_t>(kGroup * n)];
            g[0] = Magnitude(g + 1);
        }
        CArray<double, double>& aEntry = m_mVData[static_cast<int>(aElemK[i])].aValue;
        aEntry.SetSize(kGroup * nGroups);
        std::copy(aBlock.begin(), aBlock.end(), aEntry.GetData());
        for (int n = 0; n < nGroups; ++n) {
            // A magnitude beyond the largest double stays out of the range, sum and count; the
            // element's flow v . n, finite, is still cut.
            const double v = aBlock[static_cast<size_t>(kGroup * n)];
            if (!std::isfinite(v))
                continue;
            SetMinMaxVal(aElemK[i], v, 1);
            m_dVDataRsltSum += v;
            m_dVDataRsltNum += 1.0;
        }
    }
    return 1;
}

int CPVSVisualDataFlowDiscWKVR::GetElemData(unsigned int nElemK, int& nCount, std::vector<double>& aValue,
                                           std::vector<double>& aVector, std::vector<double>& aPosition)
{
    nCount = 0;
    const T_VSUL_DATA_D* pBlock = m_mVData.PLookup(static_cast<int>(nElemK));
    if (!pBlock || pBlock->GetSize() < kGroup)
        return 0;
    nCount = pBlock->GetSize() / kGroup;
    aValue.resize(static_cast<size_t>(nCount));
    aVector.resize(3 * static_cast<size_t>(nCount));
    aPosition.resize(3 * static_cast<size_t>(nCount));
    for (int j = 0; j < nCount; ++j) {
        const size_t o = static_cast<size_t>(kGroup * j);
        aValue[static_cast<size_t>(j)] = pBlock->aValue[static_cast<int>(o)];
        for (size_t k = 0; k < 3; ++k) {
            aVector[3 * static_cast<size_t>(j) + k] = pBlock->aValue[static_cast<int>(o + 1 + k)];
            aPosition[3 * static_cast<size_t>(j) + k] = pBlock->aValue[static_cast<int>(o + 4 + k)];
        }
    }
    return 1;
}

// An entry of the host's: whatever escapes gives the failure value with an empty grid.
int CPVSVisualDataFlowDiscWKVR::MakeVGeomData(vtkDataSet* pDataSet, T_PVIST_ALL_D*, T_PVIST_ANIM_D*,
                                             CAnimationEngine*, CPVSModelDataBase* pModel, CArray<int, int>* pA1,
                                             CArray<int, int>* pA2, CArray<int, int>*, CArray<int, int>*)
{
    return kvpvs::visualdata::GuardedEntry(
        0, [&] { return MakeGrid(pDataSet, pModel, pA1, pA2); },
        [&] {
            if (pDataSet)
                pDataSet->Initialize();
        });
}

int CPVSVisualDataFlowDiscWKVR::MakeGrid(vtkDataSet* pDataSet, CPVSModelDataBase* pModel, CArray<int, int>* pA1,
                                         CArray<int, int>* pA2)
{
    CDBDoc* pDoc = CDBDoc::GetDocPoint();
    auto* pGrid = vtkUnstructuredGrid::SafeDownCast(pDataSet);
    auto* pMD = dynamic_cast<CPVSModelDataFEM*>(pModel);
    if (!pDoc || !pGrid || !pMD)
        return 0;
    T_PVTIF_D row;
    T_PENGR_D engr;
    if (!CClassPVtif(pDoc->GetPostDB()).Get(m_pFlowDiscData->nPVtifK, row) ||
        !CClassPEngr(pDoc->GetPostDB()).Get(row.nEngrK, engr))
        return 0;
    const int nElemNum = pMD->GetElemNum();
    if (nElemNum == 0)
        return 0;
    if (pA1)
        pA1->RemoveAll();
    if (pA2)
        pA2->RemoveAll();
    // The elements with values, in model order, and the vector of their first result point.
    std::vector<char> aData(static_cast<size_t>(nElemNum), 0);
    std::vector<double> aDataVector;
    int nCount = 0;
    std::vector<double> aValue, aVector, aPosition;
    for (int e = 0; e < nElemNum; ++e) {
        const T_ELEM_D* pElem = pMD->FindElemD(pMD->GetElemK(e));
        if (!pElem || !ElementCellFits(pElem->nCellType, pElem->GetNumberOfNodes()) ||
            !GetElemData(pMD->GetElemK(e), nCount, aValue, aVector, aPosition))
            continue;
        aData[static_cast<size_t>(e)] = 1;
        aDataVector.insert(aDataVector.end(), aVector.begin(), aVector.begin() + 3);
    }
    vtkNew<vtkDoubleArray> pVectors;
    pVectors->SetName(kVectorName);
    pVectors->SetNumberOfComponents(3);
    if (!KeptGridMatches(pMD, aData))
        KeepGrid(pMD, aData);
    // One vector per cell: an element whose nodes are not all in the model has none.
    pVectors->SetNumberOfTuples(m_kept.pGrid->GetNumberOfCells());
    vtkIdType nCell = 0;
    for (size_t e = 0, d = 0; e < aData.size(); ++e) {
        if (!aData[e])
            continue;
        if (m_kept.aCell[e])
            pVectors->SetTypedTuple(nCell++, &aDataVector[3 * d]);
        ++d;
    }
    pGrid->ShallowCopy(m_kept.pGrid);
    pGrid->GetCellData()->SetVectors(pVectors);
    return 1;
}

bool CPVSVisualDataFlowDiscWKVR::KeptGridMatches(CPVSModelDataFEM* pMD, const std::vector<char>& aData)
{
    const T_KEPT_GRID& k = m_kept;
    if (!k.pGrid || k.pMD != pMD || k.aData != aData || k.aElemK.size() != aData.size())
        return false;
    size_t nConn = 0;
    for (size_t e = 0; e < aData.size(); ++e) {
        if (pMD->GetElemK(static_cast<int>(e)) != k.aElemK[e])
            return false;
        if (!aData[e])
            continue;
        const T_ELEM_D* pElem = pMD->FindElemD(k.aElemK[e]);
        if (!pElem || pElem->nCellType != k.aCellType[e] || !k.aCell[e])
            return false;
        for (int j = 0; j < pElem->GetNumberOfNodes(); ++j)
            if (nConn >= k.aCellNodeK.size() || k.aCellNodeK[nConn++] != pElem->aNodeK[j])
                return false;
    }
    if (nConn != k.aCellNodeK.size())
        return false;
    vtkPoints* pPts = k.pGrid->GetPoints();
    for (size_t p = 0; p < k.aPointNodeK.size(); ++p) {
        const T_NODE_D* pNode = pMD->FindNodeD(k.aPointNodeK[p]);
        double x[3];
        pPts->GetPoint(static_cast<vtkIdType>(p), x);
        if (!pNode || !std::equal(x, x + 3, pNode->dXyz))
            return false;
    }
    return true;
}

void CPVSVisualDataFlowDiscWKVR::KeepGrid(CPVSModelDataFEM* pMD, const std::vector<char>& aData)
{
    m_kept = T_KEPT_GRID{};
    T_KEPT_GRID& k = m_kept;
    const int nElemNum = pMD->GetElemNum();
    auto pGrid = vtkSmartPointer<vtkUnstructuredGrid>::New();
    pGrid->Allocate(2 * nElemNum, nElemNum);
    vtkNew<vtkPoints> pPoints;
    pPoints->SetDataTypeToDouble();
    const int nNodeNum = pMD->GetNodeNum();
    pPoints->Allocate(2 * static_cast<vtkIdType>(nNodeNum), nNodeNum);
    std::unordered_map<unsigned int, vtkIdType> mPointId;
    mPointId.reserve(1000003);
    k.aElemK.resize(static_cast<size_t>(nElemNum));
    k.aCellType.assign(static_cast<size_t>(nElemNum), 0);
    k.aCell.assign(static_cast<size_t>(nElemNum), 0);
    vtkNew<vtkIdList> pIds;
    vtkIdType nNextId = 0;
    bool bAllNodes = true;
    for (int e = 0; e < nElemNum; ++e) {
        const size_t u = static_cast<size_t>(e);
        k.aElemK[u] = pMD->GetElemK(e);
        if (!aData[u])
            continue;
        const T_ELEM_D* pElem = pMD->FindElemD(k.aElemK[u]);
        k.aCellType[u] = pElem->nCellType;
        const int n = pElem->GetNumberOfNodes();
        pIds->SetNumberOfIds(n);
        bool bAll = true;
        for (int j = 0; j < n && bAll; ++j) {
            const unsigned int nNodeK = pElem->aNodeK[j];
            auto [it, bNew] = mPointId.emplace(nNodeK, nNextId);
            if (bNew) {
                const T_NODE_D* pNode = pMD->FindNodeD(nNodeK);
                if (!pNode) {
                    mPointId.erase(it);
                    bAll = false;
                    break;
                }
                pPoints->InsertPoint(nNextId++, pNode->dXyz);
                k.aPointNodeK.push_back(nNodeK);
            }
            pIds->SetId(j, it->second);
        }
        bAllNodes = bAllNodes && bAll;
        if (!bAll)
            continue;
        pGrid->InsertNextCell(pElem->nCellType, pIds);
        k.aCell[u] = 1;
        k.aCellNodeK.insert(k.aCellNodeK.end(), pElem->aNodeK.GetData(), pElem->aNodeK.GetData() + n);
    }
    pGrid->SetPoints(pPoints);
    k.pGrid = pGrid;
    k.pMD = pMD;
    k.aData = aData;
    // An element naming a node the model lacks is checked by no kept node: built anew each time.
    if (!bAllNodes)
        k.pMD = nullptr;
}
