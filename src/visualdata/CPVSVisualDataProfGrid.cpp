#include "visualdata/CPVSVisualDataProfGrid.h"
#include "visualdata/HostEntryGuard.h"

#include "visualdata/ElementCells.h"

#include "FactoryPVS.h"
#include "PostCtrlBase.h"

#include <vtkCellType.h>
#include <vtkDoubleArray.h>
#include <vtkIdList.h>
#include <vtkNew.h>
#include <vtkPointData.h>
#include <vtkPoints.h>
#include <vtkUnstructuredGrid.h>

#include <cmath>
#include <unordered_map>
#include <vector>

IMPLEMENT_DYNAMIC(CPVSVisualDataProfGrid, CPVSVisualDataNode)

CPVSVisualDataProfGrid::CPVSVisualDataProfGrid(unsigned int nType, T_VD_PARAM_D& param)
    : CPVSVisualDataNode(nType, param)
{
    m_pProfGridData = new T_VD_PROFGRID_D;
    m_pProfGridData->Initialize();
    if (auto* pSrc = dynamic_cast<T_VD_PROFGRID_D*>(param.pUserDefData))
        *m_pProfGridData = *pSrc;
    // The base works on the row the record names.
    m_param.nPVtifK = 0;
    if (CDBDoc* pDoc = GetDoc()) {
        T_PVTIF_D row;
        if (CClassPVtif(pDoc->GetPostDB()).Get(m_pProfGridData->nPVtifK, row))
            m_param.nPVtifK = m_pProfGridData->nPVtifK;
    }
}

CPVSVisualDataProfGrid::~CPVSVisualDataProfGrid() { delete m_pProfGridData; }

int CPVSVisualDataProfGrid::GetVisualMethodType(T_PVIST_ALL_D*) { return 10; }

// The entries of the host's give their failure values for whatever escapes them, the node
// values or grid empty.
int CPVSVisualDataProfGrid::MakeVData(T_PVIST_ALL_D*, T_PVIST_ANIM_D*, int bVector)
{
    return kvpvs::visualdata::GuardedEntry(
        0, [&] { return ReadVData(bVector); }, [&] { m_mVData.RemoveAll(); });
}

int CPVSVisualDataProfGrid::ReadVData(int bVector)
{
    CArray<unsigned int, unsigned int> aNodeK;
    if (!GetActiveNodeK(aNodeK) || aNodeK.GetSize() == 0)
        return 0;
    IQueryPVS* pQuery = IQueryPVS::Instance();
    if (!pQuery)
        return 0;
    CArray<unsigned int, unsigned int> aNodeId;
    aNodeId.SetSize(aNodeK.GetSize());
    for (int i = 0; i < aNodeK.GetSize(); ++i)
        aNodeId[i] = pQuery->GetNodeKeyOrId(aNodeK[i], nullptr);
    if (aNodeId.GetSize() == 0)
        return 0;
    InitVDataHashTable(aNodeId.GetSize());

    CPostCtrlBase* pCtrl = GetPostCtrl();
    if (!pCtrl)
        return 0;
    const unsigned int nRowK = m_pProfGridData->nPVtifK;
    int nComp = 0;
    CMap<int, int, T_POST_VECT_ALL_D, T_POST_VECT_ALL_D&> mResult;
    BOOL bRead = FALSE;
    {
        pCtrl->BeginQueryRow(nRowK);
        const kvpvs::visualdata::CScopeEnd endRow([&] { pCtrl->EndQueryRow(); });
        bRead = pCtrl->GetNodeResult(aNodeId, nRowK, nComp, mResult);
    }
    if (!bRead || nComp == 0)
        return 0;

    for (int i = 0; i < aNodeK.GetSize(); ++i) {
        const T_POST_VECT_ALL_D* pVal = mResult.PLookup(static_cast<int>(aNodeId[i]));
        if (!pVal)
            continue;
        T_VSUL_DATA_D data;
        data.aValue.SetSize(nComp);
        for (int c = 0; c < nComp; ++c)
            data.aValue[c] = c < pVal->aValue.GetSize() ? pVal->aValue[c] : 0.0;
        m_mVData[static_cast<int>(aNodeK[i])] = data;
        if (!bVector) {
            SetMinMaxVal(aNodeK[i], data.aValue[0], 1);
        } else {
            double dSum = 0.0;
            for (int c = 0; c < nComp; ++c)
                dSum += data.aValue[c] * data.aValue[c];
            const double dMag = std::sqrt(dSum);
            if (m_dVDataDispMax < dMag)
                m_dVDataDispMax = dMag;
        }
    }
    return 1;
}

int CPVSVisualDataProfGrid::MakeVGeomData(vtkDataSet* pDataSet, T_PVIST_ALL_D* pVS, T_PVIST_ANIM_D* pAS,
                                          CAnimationEngine* pAnim, CPVSModelDataBase* pMDBase, CArray<int, int>*,
                                          CArray<int, int>*, CArray<int, int>*, CArray<int, int>*)
{
    return kvpvs::visualdata::GuardedEntry(
        0, [&] { return BuildGeom(pDataSet, pVS, pAS, pAnim, pMDBase); },
        [&] {
            if (pDataSet)
                pDataSet->Initialize();
        });
}

int CPVSVisualDataProfGrid::BuildGeom(vtkDataSet* pDataSet, T_PVIST_ALL_D* pVS, T_PVIST_ANIM_D* pAS,
                                      CAnimationEngine* pAnim, CPVSModelDataBase* pMDBase)
{
    auto* pMD = dynamic_cast<CPVSModelDataFEM*>(pMDBase);
    if (pMD && pMD->GetNodeNum() == 0)
        return 1;
    auto* pGrid = vtkUnstructuredGrid::SafeDownCast(pDataSet);
    if (!pGrid || !pMD)
        return 0;

    const int nNodeNum = pMD->GetNodeNum();
    const int nElemNum = pMD->GetElemNum();
    // Held by smart pointers: a failed allocation on the way leaks nothing.
    vtkNew<vtkPoints> pPoints;
    pPoints->SetDataTypeToDouble();
    pPoints->Allocate(nNodeNum, 2 * nNodeNum);
    vtkNew<vtkDoubleArray> pScalars;
    pScalars->SetNumberOfComponents(1);
    pScalars->Allocate(nNodeNum, 2 * nNodeNum);
    vtkNew<vtkDoubleArray> pVectors;
    pVectors->SetNumberOfComponents(3);
    pVectors->Allocate(3 * static_cast<vtkIdType>(nNodeNum), 6 * static_cast<vtkIdType>(nNodeNum));
    pGrid->Allocate(nElemNum, 2 * nElemNum);
    std::unordered_map<unsigned int, vtkIdType> mPointIdx(1000003);

    const double dFactor = GetAnimFactor(pAS, pAnim);
    for (int i = 0; i < nNodeNum; ++i) {
        const unsigned int nNodeK = pMD->GetNodeK(i);
        const T_NODE_D* pNode = pMD->FindNodeD(nNodeK);
        double dVect[3] = {0, 0, 0};
        if (!pNode || !GetVector(nNodeK, dVect))
            continue;
        const double dScalar = GetSubFrameVal(pAS, GetScalar(nNodeK, pVS), dFactor);
        const vtkIdType nId = pPoints->InsertNextPoint(pNode->dXyz);
        pScalars->InsertNextValue(dScalar);
        pVectors->InsertNextTuple(dVect);
        mPointIdx.emplace(nNodeK, nId);
    }

    vtkNew<vtkIdList> pIds;
    for (int e = 0; e < nElemNum; ++e) {
        const T_ELEM_D* pElem = pMD->FindElemD(pMD->GetElemK(e));
        if (!pElem)
            continue;
        const int n = pElem->GetNumberOfNodes();
        // A cell VTK would read past is left out, as an element without values is.
        if (!ElementCellFits(pElem->nCellType, n))
            continue;
        pIds->SetNumberOfIds(n);
        bool bAll = true;
        for (int k = 0; k < n && bAll; ++k) {
            auto it = mPointIdx.find(pElem->aNodeK[k]);
            bAll = it != mPointIdx.end();
            if (bAll)
                pIds->SetId(k, it->second);
        }
        if (bAll)
            pGrid->InsertNextCell(pElem->nCellType, pIds);
    }

    pGrid->SetPoints(pPoints);
    pGrid->GetPointData()->SetVectors(pVectors);
    pGrid->GetPointData()->SetScalars(pScalars);
    return 1;
}

int CPVSVisualDataProfGrid::MakeVTextData(CArray<T_VD_TEXT_PARAM_D, T_VD_TEXT_PARAM_D&>&, T_PVIST_ALL_D*)
{
    return 0;
}
