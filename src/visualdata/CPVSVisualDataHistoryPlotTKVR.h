// Nodal history plot (visual-data type 3): displacement, velocity or acceleration of every
// active node of a time-history case at one step. Each node with a value keeps four doubles:
// the scalar shown, then the vector (X, Y, Z) of the deformed shape and the tool tip.
#pragma once
#include "core/KVPvsExport.h"
#include "visualdata/PVSUserDefRecords.h"

#include "visualdata/CPVSVisualDataNodeValues.h"

class KV_PVS_API CPVSVisualDataHistoryPlotTKVR : public CPVSVisualDataNodeValues {
    DECLARE_DYNAMIC(CPVSVisualDataHistoryPlotTKVR)
public:
    CPVSVisualDataHistoryPlotTKVR(unsigned int nType, T_VD_PARAM_D& param);
    ~CPVSVisualDataHistoryPlotTKVR() override;
    CPVSVisualDataHistoryPlotTKVR(const CPVSVisualDataHistoryPlotTKVR&) = delete;
    CPVSVisualDataHistoryPlotTKVR& operator=(const CPVSVisualDataHistoryPlotTKVR&) = delete;

    int GetVisualMethodType(T_PVIST_ALL_D* pVS) override;
    int MakeVData(T_PVIST_ALL_D* pVS, T_PVIST_ANIM_D* pAS, int bVector) override;
    int MakeVGeomData(vtkDataSet* pDataSet, T_PVIST_ALL_D* pVS, T_PVIST_ANIM_D* pAS, CAnimationEngine* pAnim,
                      CPVSModelDataBase* pMD, CArray<int, int>* pA1, CArray<int, int>* pA2, CArray<int, int>* pA3,
                      CArray<int, int>* pA4) override;
    using CPVSVisualDataBase::MakeVTextData;
    int MakeVTextData(CArray<T_VD_TEXT_PARAM_D, T_VD_TEXT_PARAM_D&>& aText, T_PVIST_ALL_D* pVS) override;
    int GetScalar(unsigned int nNodeK, double& dValue, int nOption) override;
    int GetVector(unsigned int nNodeK, double* pVect, int nOption) override;

    const T_VD_HISTPLOT_TVCKVR_D& GetUserDefData() const { return *m_pUserDefData; }

protected:
    // With the deformed shape asked for, the node's vector moves its point.
    void DisplaceNodePoint(unsigned int nNodeK, int nOption, T_PVIST_ALL_D* pVS, double dFactor, double* p) override;
    int ReadVData();
    int BuildGeom(vtkDataSet* pDataSet, T_PVIST_ALL_D* pVS, T_PVIST_ANIM_D* pAS, CAnimationEngine* pAnim,
                  CPVSModelDataBase* pMD);

    T_VD_HISTPLOT_TVCKVR_D* m_pUserDefData = nullptr;
};
