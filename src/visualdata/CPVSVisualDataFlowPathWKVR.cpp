#include "visualdata/CPVSVisualDataFlowPathWKVR.h"

#include "visualdata/ElementCells.h"
#include "visualdata/HostEntryGuard.h"

#include "FactoryPVS.h"
#include "MathFunc.h"
#include "PVSModelData.h"
#include "PostCtrlBase.h"

#include <vtkDoubleArray.h>
#include <vtkIdList.h>
#include <vtkMergePoints.h>
#include <vtkNew.h>
#include <vtkPoints.h>
#include <vtkUnstructuredGrid.h>

#include <algorithm>
#include <cmath>
#include <unordered_map>
#include <vector>

IMPLEMENT_DYNAMIC(CPVSVisualDataFlowPathWKVR, CPVSVisualDataBase)

CPVSVisualDataFlowPathWKVR::CPVSVisualDataFlowPathWKVR(unsigned int nType, T_VD_PARAM_D& param)
    : CPVSVisualDataBase(nType, param)
{
    m_pFlowPathData = new T_VD_FLOWPATH_WPLKVR_D;
    if (auto* pSrc = dynamic_cast<T_VD_FLOWPATH_WPLKVR_D*>(param.pUserDefData))
        *m_pFlowPathData = *pSrc;
    else
        m_pFlowPathData->Initialize();
    if (m_pFlowPathData->bDrawContour) {
        T_VD_PARAM_D other;
        other.pDoc = param.pDoc;
        other.nPVtifK = m_pFlowPathData->nContourPVtifK;
        other.nMeshK = param.nMeshK;
        if (IFactoryPVS* pFactory = IFactoryPVS::Instance())
            m_pOtherVD = pFactory->CreateVisualData(&other);
    }
}

CPVSVisualDataFlowPathWKVR::~CPVSVisualDataFlowPathWKVR()
{
    delete m_pOtherVD;
    delete m_pFlowPathData;
}

int CPVSVisualDataFlowPathWKVR::GetVisualMethodType(T_PVIST_ALL_D*) { return 6; }

int CPVSVisualDataFlowPathWKVR::MakeVGeomData(vtkDataSet*, T_PVIST_ALL_D*, T_PVIST_ANIM_D*, CAnimationEngine*,
                                             CPVSModelDataBase*, CArray<int, int>*, CArray<int, int>*,
                                             CArray<int, int>*, CArray<int, int>*)
{
    return 1;
}

int CPVSVisualDataFlowPathWKVR::MakeVTextData(CArray<T_VD_TEXT_PARAM_D, T_VD_TEXT_PARAM_D&>&, T_PVIST_ALL_D*)
{
    return 1;
}

int CPVSVisualDataFlowPathWKVR::MakeVGeomDataNode(vtkDataSet*, T_PVIST_ALL_D*, T_PVIST_ANIM_D*, CAnimationEngine*,
                                                 CPVSModelDataBase*, CArray<int, int>*, CArray<int, int>*,
                                                 vtkDataSet*, vtkDataSet*, int)
{
    return 1;
}

int CPVSVisualDataFlowPathWKVR::MakeVTextDataNode(CArray<T_VD_TEXT_PARAM_D, T_VD_TEXT_PARAM_D&>&, T_PVIST_ALL_D*)
{
    return 1;
}

// An entry of the host's: whatever escapes the reading gives the failure value with no node
// values kept (a part of the field would be traced as the whole).
int CPVSVisualDataFlowPathWKVR::MakeVData(T_PVIST_ALL_D* pVS, T_PVIST_ANIM_D* pAS, int bVector)
{
    return kvpvs::visualdata::GuardedEntry(
        0, [&] { return ReadVData(pVS, pAS, bVector); }, [&] { m_mVData.RemoveAll(); });
}

int CPVSVisualDataFlowPathWKVR::ReadVData(T_PVIST_ALL_D* pVS, T_PVIST_ANIM_D* pAS, int bVector)
{
    CDBDoc* pDoc = CDBDoc::GetDocPoint();
    if (!pDoc)
        return 0;
    CClassPVtif clsPVtif(pDoc->GetPostDB());
    CClassPEngr clsPEngr(pDoc->GetPostDB());
    T_PVTIF_D row;
    T_PENGR_D engr;
    if (!clsPVtif.Get(m_pFlowPathData->nFlowPVtifK, row) || !clsPEngr.Get(row.nEngrK, engr))
        return 0;
    if (m_pOtherVD)
        m_pOtherVD->MakeVData(pVS, pAS, bVector);
    if (engr.nKind == 1)
        return MakeVDataNode(pVS, pAS, bVector);
    return 1;
}

int CPVSVisualDataFlowPathWKVR::MakeVDataNode(T_PVIST_ALL_D*, T_PVIST_ANIM_D*, int)
{
    m_mVData.RemoveAll();
    CArray<unsigned int, unsigned int> aNodeK;
    if (!GetActiveNodeK(aNodeK))
        return 0;
    InitVDataHashTable(aNodeK.GetSize());
    CPostCtrlBase* pCtrl = GetPostCtrl();
    if (!pCtrl)
        return 0;
    const unsigned int nRowK = m_pFlowPathData->nFlowPVtifK;
    pCtrl->BeginQueryRow(nRowK);
    const kvpvs::visualdata::CScopeEnd endRow([&] { pCtrl->EndQueryRow(); });
    IQueryPVS* pQuery = IQueryPVS::Instance();
    double dBuffer[kQueryBuffer];
    for (int i = 0; i < aNodeK.GetSize(); ++i) {
        const unsigned int nNodeK = aNodeK[i];
        const unsigned int nId = pQuery ? pQuery->GetNodeKeyOrId(nNodeK, nullptr) : nNodeK;
        int nCount = 0;
        if (!pCtrl->GetNodeResult(nId, nRowK, nCount, dBuffer, kQueryBuffer) || nCount <= 0)
            continue;
        // A short answer is read in whole groups; a group that is not finite ends the node's
        // values there, so no NaN reaches the range or the field.
        const int nGroups = std::min(nCount, kQueryBuffer) / kGroup;
        int nKept = 0;
        for (; nKept < nGroups; ++nKept) {
            const double* g = dBuffer + kGroup * nKept;
            if (!std::all_of(g + 1, g + 4, [](double v) { return std::isfinite(v); }))
                break;
        }
        if (nKept == 0)
            continue;
        T_VSUL_DATA_D list;
        list.aValue.SetSize(kGroup * nKept);
        for (int n = 0; n < nKept; ++n) {
            double* g = dBuffer + kGroup * n;
            g[0] = std::sqrt(g[1] * g[1] + g[2] * g[2] + g[3] * g[3]);
            if (!std::isfinite(g[0])) {
                nKept = n;
                break;
            }
            for (int k = 0; k < kGroup; ++k)
                list.aValue[kGroup * n + k] = g[k];
        }
        if (nKept == 0)
            continue;
        list.aValue.SetSize(kGroup * nKept);
        m_mVData[static_cast<int>(nNodeK)] = list;
        for (int n = 0; n < nKept; ++n) {
            // With a contour of a second result the display's range is that result's.
            if (!m_pOtherVD)
                SetMinMaxVal(nNodeK, dBuffer[kGroup * n], 1);
            m_dVDataRsltSum += dBuffer[kGroup * n];
            m_dVDataRsltNum += 1.0;
        }
    }
    return 1;
}

int CPVSVisualDataFlowPathWKVR::GetVectorData(unsigned int nNodeK, int& nCount, double* pMagnitude,
                                             double* pComponent, double* pExtra)
{
    nCount = 0;
    const T_VSUL_DATA_D* pList = m_mVData.PLookup(static_cast<int>(nNodeK));
    if (!pList || pList->GetSize() < kGroup)
        return 0;
    nCount = std::min(pList->GetSize() / kGroup, kMaxVectors);
    for (int n = 0; n < nCount; ++n) {
        const int o = kGroup * n;
        pMagnitude[n] = pList->aValue[o];
        for (int k = 0; k < 3; ++k) {
            pComponent[3 * n + k] = pList->aValue[o + 1 + k];
            pExtra[3 * n + k] = pList->aValue[o + 4 + k];
        }
    }
    return 1;
}

int CPVSVisualDataFlowPathWKVR::MakeVGeomDataNode(vtkDataSet* pDataSet, T_PVIST_ALL_D*, T_PVIST_ANIM_D*,
                                                 CAnimationEngine*, CPVSModelDataBase* pModel, CArray<int, int>*,
                                                 CArray<int, int>*, vtkDataSet*, vtkDataSet*, int& nCount, double&,
                                                 vtkPoints* pPoints, vtkDoubleArray* pVectors,
                                                 vtkDoubleArray* pScalars, vtkMergePoints* pLocator,
                                                 vtkUnstructuredGrid* pCopy)
{
    auto* pGrid = vtkUnstructuredGrid::SafeDownCast(pDataSet);
    auto* pMD = dynamic_cast<CPVSModelDataFEM*>(pModel);
    if (!pGrid || !pMD || !pPoints || !pVectors || !pScalars || !pLocator)
        return 0;
    const int nElemNum = pMD->GetElemNum();
    if (nElemNum == 0)
        return 1;
    if (pCopy) {
        pCopy->Reset();
        pCopy->Allocate(nElemNum, 2 * nElemNum);
    }
    if (pVectors->GetNumberOfComponents() != 3)
        pVectors->SetNumberOfComponents(3);

    std::unordered_map<unsigned int, vtkIdType> mPointId;
    mPointId.reserve(1000003);
    double dMag[kMaxVectors], dComp[3 * kMaxVectors], dExtra[3 * kMaxVectors];
    const int nNodeNum = pMD->GetNodeNum();
    for (int i = 0; i < nNodeNum; ++i) {
        const unsigned int nNodeK = pMD->GetNodeK(i);
        const T_NODE_D* pNode = pMD->FindNodeD(nNodeK);
        int nVect = 0;
        if (!pNode || !GetVectorData(nNodeK, nVect, dMag, dComp, dExtra))
            continue;
        vtkIdType nId = -1;
        pLocator->InsertUniquePoint(pNode->dXyz, nId);
        pScalars->InsertTuple1(nId, dMag[0]);
        // Unit directions: the paths advance by distance, the scalars keep the magnitudes.
        double d[3] = {0.0, 0.0, 0.0};
        if (dMag[0] > 1e-20) {
            d[0] = dComp[0];
            d[1] = dComp[1];
            d[2] = dComp[2];
            CMathFunc::mathNormalize(d);
        }
        pVectors->InsertTuple(nId, d);
        ++nCount;
        mPointId[nNodeK] = nId;
    }

    vtkNew<vtkIdList> pIds;
    for (int e = 0; e < nElemNum; ++e) {
        const T_ELEM_D* pElem = pMD->FindElemD(pMD->GetElemK(e));
        if (!pElem || !ElementCellFits(pElem->nCellType, pElem->GetNumberOfNodes()))
            continue;
        const int n = pElem->GetNumberOfNodes();
        pIds->SetNumberOfIds(n);
        bool bAll = true;
        for (int j = 0; j < n && bAll; ++j) {
            auto it = mPointId.find(pElem->aNodeK[j]);
            bAll = it != mPointId.end();
            if (bAll)
                pIds->SetId(j, it->second);
        }
        if (!bAll)
            continue;
        pGrid->InsertNextCell(pElem->nCellType, pIds);
        if (pCopy)
            pCopy->InsertNextCell(pElem->nCellType, pIds);
    }
    if (pCopy)
        pCopy->SetPoints(pPoints);
    return 1;
}
