// Visual data of the slope factor-of-safety display (type 11): a private copy of the settings
// record that the slope factor-of-safety dialog filled, nothing more. The visual method
// CPVSVisualMethodFOS reads the record and does all the drawing.
#pragma once
#include "core/KVPvsExport.h"
#include "visualdata/PVSUserDefRecords.h"

#include "PVSVisualDataBase.h"

class KV_PVS_API CPVSVisualDataFOS : public CPVSVisualDataBase {
    DECLARE_DYNAMIC(CPVSVisualDataFOS)
public:
    // param.pUserDefData must point to a T_VD_FOS_TVCKVR_D.
    CPVSVisualDataFOS(int nType, T_VD_PARAM_D& param);
    ~CPVSVisualDataFOS() override;

    int GetVisualMethodType(T_PVIST_ALL_D* pVS) override;
    int MakeVData(T_PVIST_ALL_D* pVS, T_PVIST_ANIM_D* pAS, int bVector) override;
    int MakeVGeomData(vtkDataSet* pDataSet, T_PVIST_ALL_D* pVS, T_PVIST_ANIM_D* pAS, CAnimationEngine* pAnim,
                      CPVSModelDataBase* pMD, CArray<int, int>* pA1, CArray<int, int>* pA2, CArray<int, int>* pA3,
                      CArray<int, int>* pA4) override;
    int MakeVTextData(CArray<T_VD_TEXT_PARAM_D, T_VD_TEXT_PARAM_D&>& aText, T_PVIST_ALL_D* pVS,
                      CPVSModelDataBase* pMD) override;
    int MakeVTextData(CArray<T_VD_TEXT_PARAM_D, T_VD_TEXT_PARAM_D&>& aText, T_PVIST_ALL_D* pVS) override;
    int GetPostOutput4ToolTip(int nKind, unsigned int nKey, CArray<CString, CString&>& aText) override;
    int GetPostOutput4Probe(int nKind, unsigned int nKey, CArray<CString, CString&>& aText, int nOption) override;
    int MakeArcData();

    T_VD_FOS_TVCKVR_D* m_pFOSData = nullptr;
};
