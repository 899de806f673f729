#include "visualdata/CPVSVisualDataHistoryPlotTKVR.h"
#include "visualdata/HistPlotProgress.h"
#include "visualdata/HostEntryGuard.h"

#include "PVSModelData.h"
#include "PostCtrlGeoTech.h"
#include "UnitCtrl.h"

#include <vtkDoubleArray.h>
#include <vtkIdList.h>
#include <vtkNew.h>
#include <vtkPointData.h>
#include <vtkPoints.h>
#include <vtkSmartPointer.h>
#include <vtkUnstructuredGrid.h>

#include <cmath>

IMPLEMENT_DYNAMIC(CPVSVisualDataHistoryPlotTKVR, CPVSVisualDataNodeValues)

CPVSVisualDataHistoryPlotTKVR::CPVSVisualDataHistoryPlotTKVR(unsigned int nType, T_VD_PARAM_D& param)
    : CPVSVisualDataNodeValues(nType, param), m_pUserDefData(new T_VD_HISTPLOT_TVCKVR_D)
{
    m_pUserDefData->Initialize();
    if (const auto* p = dynamic_cast<const T_VD_HISTPLOT_TVCKVR_D*>(param.pUserDefData))
        *m_pUserDefData = *p;
}

CPVSVisualDataHistoryPlotTKVR::~CPVSVisualDataHistoryPlotTKVR() { delete m_pUserDefData; }

int CPVSVisualDataHistoryPlotTKVR::GetVisualMethodType(T_PVIST_ALL_D*) { return 1; }

// The entries of the host's give their failure values for whatever escapes them, the node
// values or grid empty.
int CPVSVisualDataHistoryPlotTKVR::MakeVData(T_PVIST_ALL_D*, T_PVIST_ANIM_D*, int)
{
    return kvpvs::visualdata::GuardedEntry(
        0, [&] { return ReadVData(); }, [&] { m_mVData.RemoveAll(); });
}

int CPVSVisualDataHistoryPlotTKVR::ReadVData()
{
    CArray<unsigned int, unsigned int> aNodeK;
    if (!GetActiveNodeK(aNodeK) || aNodeK.GetSize() == 0)
        return 0;
    InitVDataHashTable(static_cast<int>(aNodeK.GetSize()));
    auto* pPost = dynamic_cast<CPostCtrlGeoTech*>(GetPostCtrl());
    if (!pPost)
        return 0;
    T_LCOM_D comb;
    if (!pPost->MakeLoadComb(4, m_pUserDefData->m_nAcasKey, comb))
        return 0;
    const int nType = m_pUserDefData->m_nResultType;
    const int nComp = m_pUserDefData->m_nComponent;
    // Displacement, velocity and acceleration are the readers 3, 2 and 1.
    const int nReader = nType == 0 ? 3 : (nType == 1 ? 2 : 1);
    const CUnitCtrl* pUnit = CDocCtrl::GetUnitCtrl(GetDoc());
    pPost->BeginQueryResult(comb, 1, 0);
    const kvpvs::visualdata::CScopeEnd endQuery([&] { pPost->EndQueryResult(); });
    const int nCount = static_cast<int>(aNodeK.GetSize());
    CHistPlotProgress progress(nCount);
    for (int i = 0; i < nCount; ++i) {
        const unsigned int nNodeK = aNodeK[i];
        T_PDISP_D rec;
        if (!pPost->GetDispHistory(m_pUserDefData->m_nTimeStep, nNodeK, rec, nReader))
            continue;
        double d[3] = {rec.dDx, rec.dDy, rec.dDz};
        if (pUnit) {
            for (double& v : d) {
                if (nType == 0)
                    v = pUnit->ConvertUnitLengthOut(v);
                else
                    v = pUnit->ConvertUnitDataOut(nType == 1 ? 22 : 21, v);
            }
        }
        progress.At(i);
        const double all[6] = {d[0], d[1], d[2], rec.dRx, rec.dRy, rec.dRz};
        double out[4] = {0, 0, 0, 0};
        if (nComp >= 0 && nComp <= 5) {
            out[0] = all[nComp];
            out[1 + nComp % 3] = all[nComp];
        } else if (nComp == 6 || nComp == 7) {
            const double* p = all + (nComp - 6) * 3;
            out[0] = std::sqrt(p[0] * p[0] + p[1] * p[1] + p[2] * p[2]);
            out[1] = p[0];
            out[2] = p[1];
            out[3] = p[2];
        } else {
            return 0;
        }
        T_VSUL_DATA_D vals;
        vals.aValue.SetSize(4);
        for (int k = 0; k < 4; ++k)
            vals.aValue[k] = out[k];
        m_mVData.SetAt(static_cast<int>(nNodeK), vals);
        const double v = out[0];
        m_bVDataRsltSet = TRUE;
        if (v > m_dVDataRsltMax)
            m_dVDataRsltMax = v;
        if (v < m_dVDataRsltMin)
            m_dVDataRsltMin = v;
        if (std::fabs(v) > m_dVDataDispMax)
            m_dVDataDispMax = std::fabs(v);
    }
    progress.End();
    return 1;
}

int CPVSVisualDataHistoryPlotTKVR::GetScalar(unsigned int nNodeK, double& dValue, int nOption)
{
    // The stored values are read in place: no copy, nothing to fail.
    const T_VSUL_DATA_D* pVals = m_mVData.PLookup(static_cast<int>(nNodeK));
    if (pVals && pVals->aValue.GetSize() > 0) {
        dValue = pVals->GetNodeScalar(0);
        return 1;
    }
    dValue = 0.0;
    switch (nOption) {
    case 1: dValue = m_dVDataRsltMin; return 1;
    case 2: dValue = m_dVDataRsltMax; return 1;
    case 4: case 5: case 6: return 0;
    default: return 1;
    }
}

int CPVSVisualDataHistoryPlotTKVR::GetVector(unsigned int nNodeK, double* pVect, int)
{
    pVect[0] = pVect[1] = pVect[2] = 0.0;
    const T_VSUL_DATA_D* pVals = m_mVData.PLookup(static_cast<int>(nNodeK));
    if (!pVals || pVals->aValue.GetSize() != 4)
        return 0;
    for (int k = 0; k < 3; ++k)
        pVect[k] = pVals->aValue[k + 1];
    return 1;
}

void CPVSVisualDataHistoryPlotTKVR::DisplaceNodePoint(unsigned int nNodeK, int nOption, T_PVIST_ALL_D* pVS,
                                                      double dFactor, double* p)
{
    const double dScale = pVS ? pVS->dDeformScale : 1.0;
    const int bReal = pVS ? pVS->bRealDeform : 0;
    double v[3];
    if (m_pUserDefData->m_bDeformed && GetVector(nNodeK, v, nOption)) {
        for (int c = 0; c < 3; ++c)
            p[c] += bReal ? v[c] * dFactor * dScale : v[c] * m_dVDataDispFactor * dFactor * dScale;
    }
}

int CPVSVisualDataHistoryPlotTKVR::MakeVGeomData(vtkDataSet* pDataSet, T_PVIST_ALL_D* pVS, T_PVIST_ANIM_D* pAS,
                                                 CAnimationEngine* pAnim, CPVSModelDataBase* pMD, CArray<int, int>*,
                                                 CArray<int, int>*, CArray<int, int>*, CArray<int, int>*)
{
    return kvpvs::visualdata::GuardedEntry(
        0, [&] { return BuildGeom(pDataSet, pVS, pAS, pAnim, pMD); },
        [&] {
            if (pDataSet)
                pDataSet->Initialize();
        });
}

int CPVSVisualDataHistoryPlotTKVR::BuildGeom(vtkDataSet* pDataSet, T_PVIST_ALL_D* pVS, T_PVIST_ANIM_D* pAS,
                                             CAnimationEngine* pAnim, CPVSModelDataBase* pMD)
{
    auto* pFEM = dynamic_cast<CPVSModelDataFEM*>(pMD);
    if (pFEM && pFEM->GetNodeNum() == 0)
        return 1;
    auto* pGrid = vtkUnstructuredGrid::SafeDownCast(pDataSet);
    if (!pGrid || !pFEM)
        return 0;
    const int nElem = pFEM->GetElemNum();
    const int nNode = pFEM->GetNodeNum();
    auto pPoints = vtkSmartPointer<vtkPoints>::Take(vtkPoints::New(VTK_DOUBLE));
    vtkNew<vtkDoubleArray> pScalars;
    pGrid->Allocate(nElem, 2 * nElem);
    pPoints->Allocate(nNode, 2 * nNode);
    pScalars->Allocate(nNode, 2 * nNode);
    CMap<unsigned int, unsigned int, vtkIdType, vtkIdType> mPointOf;
    mPointOf.InitHashTable(1000003);
    InsertNodePoints(pFEM, pVS, pAS, GetAnimFactor(pAS, pAnim), pPoints, pScalars, mPointOf);
    vtkNew<vtkIdList> pIds;
    for (int i = 0; i < nElem; ++i) {
        const unsigned int nElemK = pFEM->GetElemK(i);
        const T_ELEM_D* pElem = pFEM->FindElemD(nElemK);
        if (!pElem || !ElemPointIds(*pElem, mPointOf, pIds))
            continue;
        pGrid->InsertNextCell(pElem->nCellType, pIds);
        MakeLineContourOfCell(pMD, nElemK, *pElem, pScalars, pIds);
    }
    pGrid->SetPoints(pPoints);
    pGrid->GetPointData()->SetScalars(pScalars);
    return 1;
}

int CPVSVisualDataHistoryPlotTKVR::MakeVTextData(CArray<T_VD_TEXT_PARAM_D, T_VD_TEXT_PARAM_D&>& aText,
                                                 T_PVIST_ALL_D* pVS)
{
    return MakeNodeLabels(aText, pVS, GetModelData());
}
