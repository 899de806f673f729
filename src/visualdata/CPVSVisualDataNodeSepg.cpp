#include "visualdata/CPVSVisualDataNodeSepg.h"
#include "visualdata/HostEntryGuard.h"

#include "FactoryPVS.h"
#include "GlobalFunc.h"
#include "PVSModelData.h"
#include "PostCtrlBase.h"

#include <vtkCell.h>
#include <vtkDoubleArray.h>
#include <vtkIdList.h>
#include <vtkNew.h>
#include <vtkPointData.h>
#include <vtkPoints.h>
#include <vtkSmartPointer.h>
#include <vtkUnstructuredGrid.h>

#include <algorithm>

IMPLEMENT_DYNAMIC(CPVSVisualDataNodeSepg, CPVSVisualDataNodeValues)

namespace {

unsigned int NodeKeyOrId(unsigned int nNodeK)
{
    IQueryPVS* pQuery = IQueryPVS::Instance();
    return pQuery ? pQuery->GetNodeKeyOrId(nNodeK, nullptr) : nNodeK;
}

// Element kinds drawn as contour cells.
bool IsContourElemType(int nType)
{
    switch (nType) {
    case 1: case 2: case 6: case 7: case 8: case 9: case 10: case 11: return true;
    default: return false;
    }
}

} // namespace

CPVSVisualDataNodeSepg::CPVSVisualDataNodeSepg(T_VD_PARAM_D& param) : CPVSVisualDataNodeValues(param) {}
CPVSVisualDataNodeSepg::CPVSVisualDataNodeSepg(int nType, T_VD_PARAM_D& param)
    : CPVSVisualDataNodeValues(static_cast<unsigned int>(nType), param)
{
}
CPVSVisualDataNodeSepg::~CPVSVisualDataNodeSepg() = default;

// The entries of the host's give their failure values for whatever escapes them, the node
// values, grid or labels empty.
int CPVSVisualDataNodeSepg::GetVisualMethodType(T_PVIST_ALL_D*)
{
    return kvpvs::visualdata::GuardedEntry(0, [&] { return MethodType(); });
}

int CPVSVisualDataNodeSepg::MethodType()
{
    CDBDoc* pDoc = GetDoc();
    if (!pDoc)
        return 0;
    T_PVTIF_D row;
    T_PENGR_D engr;
    if (!CClassPVtif(pDoc->GetPostDB()).Get(GetPVtifK(), row) || !CClassPEngr(pDoc->GetPostDB()).Get(row.nEngrK, engr))
        return 0;
    switch (row.nQuantity) {
    case 1: case 2: case 4: case 5: case 7: case 8: case 9: case 16: case 17: return 1;
    default: return 0;
    }
}

int CPVSVisualDataNodeSepg::MakeVData(T_PVIST_ALL_D*, T_PVIST_ANIM_D*, int bFlag)
{
    return kvpvs::visualdata::GuardedEntry(
        0, [&] { return ReadVData(bFlag); }, [&] { m_mVData.RemoveAll(); });
}

int CPVSVisualDataNodeSepg::ReadVData(int bFlag)
{
    CArray<unsigned int, unsigned int> aNodeK;
    if (!GetActiveNodeK(aNodeK) || aNodeK.GetSize() == 0)
        return 0;
    CArray<unsigned int, unsigned int> aNodeId;
    aNodeId.SetSize(aNodeK.GetSize());
    for (int i = 0; i < aNodeK.GetSize(); ++i)
        aNodeId[i] = NodeKeyOrId(aNodeK[i]);
    InitVDataHashTable(aNodeId.GetSize());
    CPostCtrlBase* pCtrl = GetPostCtrl();
    if (!pCtrl)
        return 0;
    int nValueCount = 0;
    CMap<int, int, T_POST_VECT_ALL_D, T_POST_VECT_ALL_D&> mResult;
    BOOL bRead = FALSE;
    {
        pCtrl->BeginQueryRow(GetPVtifK());
        const kvpvs::visualdata::CScopeEnd endRow([&] { pCtrl->EndQueryRow(); });
        bRead = pCtrl->GetNodeResult(aNodeId, GetPVtifK(), nValueCount, mResult);
    }
    if (!bRead || nValueCount == 0)
        return 0;
    for (int i = 0; i < aNodeId.GetSize(); ++i) {
        T_POST_VECT_ALL_D v;
        if (!mResult.Lookup(static_cast<int>(aNodeId[i]), v))
            continue;
        // As many values as the node's answer holds: the count is the longest answer's.
        const int n = std::min(nValueCount, static_cast<int>(v.aValue.GetSize()));
        T_VSUL_DATA_D d;
        d.aValue.SetSize(n);
        for (int k = 0; k < n; ++k)
            d.aValue[k] = v.aValue[k];
        m_mVData.SetAt(static_cast<int>(aNodeK[i]), d);
        if (n == 0)
            continue;
        if (bFlag == 0)
            SetMinMaxVal(aNodeK[i], d.aValue[0], 1);
        else if (d.aValue[0] > m_dVDataDispMax)
            m_dVDataDispMax = d.aValue[0];
    }
    return 1;
}

int CPVSVisualDataNodeSepg::GetScalar(unsigned int nNodeK, double& dValue, int nMode)
{
    // The stored values are read in place: no copy, nothing to fail.
    if (const T_VSUL_DATA_D* d = m_mVData.PLookup(static_cast<int>(nNodeK))) {
        if (d->GetSize() == 0)
            return 0;
        dValue = d->GetNodeScalar(0);
        return 1;
    }
    switch (nMode) {
    case 1: dValue = m_dVDataRsltMin; return 1;
    case 2: dValue = m_dVDataRsltMax; return 1;
    case 4: case 5: case 6: return 0;
    default: dValue = 0.0; return 1;
    }
}

int CPVSVisualDataNodeSepg::GetVector(unsigned int nNodeK, double* pVect, int)
{
    return kvpvs::visualdata::GuardedEntry(
        0, [&] { return VectorOf(nNodeK, pVect); }, [&] { pVect[0] = pVect[1] = pVect[2] = 0.0; });
}

int CPVSVisualDataNodeSepg::VectorOf(unsigned int nNodeK, double* pVect)
{
    pVect[0] = pVect[1] = pVect[2] = 0.0;
    T_VSUL_DATA_D d;
    if (!m_mVData.Lookup(static_cast<int>(nNodeK), d) || d.GetSize() == 0)
        return 0;
    T_PVTIF_D row;
    if (!GetDoc() || !CClassPVtif(GetDoc()->GetPostDB()).Get(GetPVtifK(), row))
        return 0;
    if (row.nDispType == 2 || row.nDispType == 7) {
        if (d.GetSize() != 4)
            return 0;
        for (int c = 0; c < 3; ++c)
            pVect[c] = d.aValue[c + 1];
        return 1;
    }
    if (row.nDispType != 1 || d.GetSize() != 1)
        return 0;
    // Only the codes the row holds: a row may carry fewer than three.
    for (int c = 0; c < 3 && c < row.aComp.GetSize(); ++c)
        if (row.aComp[c] == GetDispCompCode()) {
            pVect[c] = d.aValue[0];
            break;
        }
    return 1;
}

int CPVSVisualDataNodeSepg::MakeVGeomData(vtkDataSet* pDataSet, T_PVIST_ALL_D* pVS, T_PVIST_ANIM_D* pAS,
                                          CAnimationEngine* pAnim, CPVSModelDataBase* pMD, CArray<int, int>* pA1,
                                          CArray<int, int>* pA2, CArray<int, int>*, CArray<int, int>*)
{
    return MakeVGeomData(pDataSet, pVS, pAS, pAnim, pMD, pA1, pA2, static_cast<vtkDataSet*>(nullptr),
                         static_cast<vtkDataSet*>(nullptr));
}

int CPVSVisualDataNodeSepg::MakeVGeomData(vtkDataSet* pDataSet, T_PVIST_ALL_D* pVS, T_PVIST_ANIM_D* pAS,
                                          CAnimationEngine* pAnim, CPVSModelDataBase* pMD, CArray<int, int>*,
                                          CArray<int, int>*, vtkDataSet*, vtkDataSet* pLineData)
{
    return kvpvs::visualdata::GuardedEntry(
        0, [&] { return BuildGeom(pDataSet, pVS, pAS, pAnim, pMD, pLineData); },
        [&] {
            for (vtkDataSet* p : {pDataSet, pLineData})
                if (p)
                    p->Initialize();
        });
}

int CPVSVisualDataNodeSepg::BuildGeom(vtkDataSet* pDataSet, T_PVIST_ALL_D* pVS, T_PVIST_ANIM_D* pAS,
                                      CAnimationEngine* pAnim, CPVSModelDataBase* pMD, vtkDataSet* pLineData)
{
    auto* pFEM = dynamic_cast<CPVSModelDataFEM*>(pMD);
    if (pFEM && pFEM->GetNodeNum() == 0)
        return 1;
    auto* pGrid = vtkUnstructuredGrid::SafeDownCast(pDataSet);
    if (!pGrid || !pFEM)
        return 0;
    auto* pLine = vtkUnstructuredGrid::SafeDownCast(pLineData);
    const int nNode = pFEM->GetNodeNum();
    const int nElem = pFEM->GetElemNum();
    CMap<unsigned int, unsigned int, vtkIdType, vtkIdType> mPointOf;
    mPointOf.InitHashTable(GF_GetHashSizeByCount(std::max(nNode / 5, 1)));
    CMap<unsigned int, unsigned int, unsigned int, unsigned int> mElem;
    if (pLine)
        mElem.InitHashTable(GF_GetHashSizeByCount(std::max(nElem / 5, 1)));

    auto pPoints = vtkSmartPointer<vtkPoints>::Take(vtkPoints::New(VTK_DOUBLE));
    vtkNew<vtkDoubleArray> pScalars;
    pGrid->Allocate(nElem, 2 * nElem);
    pScalars->Allocate(nNode, 2 * nNode);
    pPoints->Allocate(nNode, 2 * nNode);
    if (pLine)
        pLine->Allocate(10, 20);

    vtkIdType nNext = InsertNodePoints(pFEM, pVS, pAS, GetAnimFactor(pAS, pAnim), pPoints, pScalars, mPointOf);
    // Only the points used: undefined points past them would enter the picture's bounds.
    pPoints->SetNumberOfPoints(nNext);
    pScalars->SetNumberOfTuples(nNext);

    vtkNew<vtkIdList> pIds;
    int nCellCount = 0;
    for (int i = 0; i < nElem; ++i) {
        const unsigned int nElemK = pFEM->GetElemK(i);
        const T_ELEM_D* pElem = pFEM->FindElemD(nElemK);
        if (!pElem || !IsContourElemType(m_clsElem.GetElemType(nElemK)) || !ElemPointIds(*pElem, mPointOf, pIds))
            continue;
        const int nMade = InsertNextCell4Contour(pElem->nCellType, pIds, pGrid, pScalars, nullptr, pPoints, nNext,
                                                 nCellCount, pLine ? &mElem : nullptr);
        if (pLine && nMade > 0)
            pLine->InsertNextCell(pElem->nCellType, pIds);
        MakeLineContourOfCell(pMD, nElemK, *pElem, pScalars, pIds);
    }
    pGrid->SetPoints(pPoints);
    pGrid->GetPointData()->SetScalars(pScalars);
    pGrid->Squeeze();
    if (pLine && mElem.GetCount() > 0) {
        pLine->SetPoints(pPoints);
        pLine->GetPointData()->SetScalars(pScalars);
        vtkNew<vtkIdList> pCellIds;
        pCellIds->Allocate(512);
        for (vtkIdType c = 0; c < pGrid->GetNumberOfCells(); ++c) {
            unsigned int nDummy = 0;
            if (mElem.Lookup(static_cast<unsigned int>(c), nDummy))
                continue;
            // Each cell's ids are copied in a list of their own size.
            pGrid->GetCellPoints(c, pCellIds);
            pLine->InsertNextCell(pGrid->GetCellType(c), pCellIds);
        }
        pLine->Squeeze();
    }
    return 1;
}

int CPVSVisualDataNodeSepg::MakeVTextData(CArray<T_VD_TEXT_PARAM_D, T_VD_TEXT_PARAM_D&>& aText, T_PVIST_ALL_D* pVS,
                                          CPVSModelDataBase* pMD)
{
    return MakeNodeLabels(aText, pVS, pMD);
}

int CPVSVisualDataNodeSepg::MakeVTextData(CArray<T_VD_TEXT_PARAM_D, T_VD_TEXT_PARAM_D&>& aText, T_PVIST_ALL_D* pVS)
{
    return MakeVTextData(aText, pVS, GetModelData());
}
