// One result value at the tip of every pile element, drawn as a point symbol at the tip node.
#pragma once
#include "MapEx.h"
#include "PVSVisualDataBase.h"

class CPVSVisualDataPileTipElement : public CPVSVisualDataPointElement {
    DECLARE_DYNAMIC(CPVSVisualDataPileTipElement)
public:
    explicit CPVSVisualDataPileTipElement(T_VD_PARAM_D& param);
    ~CPVSVisualDataPileTipElement() override;

    int MakeVData(T_PVIST_ALL_D* pVS, T_PVIST_ANIM_D* pAS, int bVector) override;
    using CPVSVisualDataPointElement::MakeVGeomData;
    int MakeVGeomData(vtkDataSet* pDataSet, T_PVIST_ALL_D* pVS, T_PVIST_ANIM_D* pAS, CAnimationEngine* pAnim,
                      CPVSModelDataBase* pMD, CArray<int, int>* pA1, CArray<int, int>* pA2, vtkDataSet* pD1,
                      vtkDataSet* pD2, CArray<unsigned int, unsigned int>& aKey, CArray<gp_Pnt, gp_Pnt&>& aPnt,
                      CArray<double, double&>& aVal, float* pSize) override;
    int GetScalar(unsigned int nNodeNo, double& dVal, int nOption) override;

private:
    int ReadVData();
    int BuildSymbols(vtkDataSet* pDataSet, CPVSModelDataBase* pMD, CArray<int, int>* pA1, CArray<int, int>* pA2,
                     vtkDataSet* pD1, CArray<unsigned int, unsigned int>& aKey, CArray<gp_Pnt, gp_Pnt&>& aPnt,
                     CArray<double, double&>& aVal, float* pSize);

    CMapEx<unsigned int, unsigned int, double, double&> m_mTipVal;          // tip node number -> value
    CMapEx<unsigned int, unsigned int, unsigned int, unsigned int> m_mPile; // pile element keys
};
