// Nodal seepage: the values of a nodal seepage row (one value, or the total then X, Y and Z)
// on every active node, drawn as a contour over the model's nodes, with labels, tool tip and
// probe text.
#pragma once
#include "core/KVPvsExport.h"

#include "visualdata/CPVSVisualDataNodeValues.h"

class KV_PVS_API CPVSVisualDataNodeSepg : public CPVSVisualDataNodeValues {
    DECLARE_DYNAMIC(CPVSVisualDataNodeSepg)
public:
    explicit CPVSVisualDataNodeSepg(T_VD_PARAM_D& param);
    CPVSVisualDataNodeSepg(int nType, T_VD_PARAM_D& param);
    ~CPVSVisualDataNodeSepg() override;

    int GetVisualMethodType(T_PVIST_ALL_D* pVS) override;
    int MakeVData(T_PVIST_ALL_D* pVS, T_PVIST_ANIM_D* pAS, int bFlag) override;
    // The host's slot: no line data set.
    int MakeVGeomData(vtkDataSet* pDataSet, T_PVIST_ALL_D* pVS, T_PVIST_ANIM_D* pAS, CAnimationEngine* pAnim,
                      CPVSModelDataBase* pMD, CArray<int, int>* pA1, CArray<int, int>* pA2, CArray<int, int>* pA3,
                      CArray<int, int>* pA4) override;
    // pLineData, when given, receives the grid's cells that are not in the element map.
    int MakeVGeomData(vtkDataSet* pDataSet, T_PVIST_ALL_D* pVS, T_PVIST_ANIM_D* pAS, CAnimationEngine* pAnim,
                      CPVSModelDataBase* pMD, CArray<int, int>* pA1, CArray<int, int>* pA2, vtkDataSet* pData1,
                      vtkDataSet* pLineData);
    int MakeVTextData(CArray<T_VD_TEXT_PARAM_D, T_VD_TEXT_PARAM_D&>& aText, T_PVIST_ALL_D* pVS,
                      CPVSModelDataBase* pMD) override;
    int MakeVTextData(CArray<T_VD_TEXT_PARAM_D, T_VD_TEXT_PARAM_D&>& aText, T_PVIST_ALL_D* pVS) override;
    int GetScalar(unsigned int nNodeK, double& dValue, int nMode) override;
    int GetVector(unsigned int nNodeK, double* pVect, int nOption) override;

private:
    int MethodType();
    int ReadVData(int bFlag);
    int BuildGeom(vtkDataSet* pDataSet, T_PVIST_ALL_D* pVS, T_PVIST_ANIM_D* pAS, CAnimationEngine* pAnim,
                  CPVSModelDataBase* pMD, vtkDataSet* pLineData);
    int VectorOf(unsigned int nNodeK, double* pVect);
};
